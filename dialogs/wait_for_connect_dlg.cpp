#include "dialogs/wait_for_connect_dlg.h"

#include "settings/texts.h"
#include "text_ids.h"

CWaitForConnectDlg::CWaitForConnectDlg(fon::IPlatform& platform, fon::SettingsStore& settings)
    : platform_(platform) {
  m_nLanguageIndex = fon::ReadLanguageIndex(settings);
  m_strLanguage = std::to_string(m_nLanguageIndex);
  m_strMessage = fon::LoadLangText(settings, platform.Resources(), fon::text::kWaitForConnect);
}

CWaitForConnectDlg::~CWaitForConnectDlg() {
  if (window_) window_->Destroy();
}

bool CWaitForConnectDlg::CreateAndShow(fon::WindowHandle parent) {
  window_ = platform_.CreateDialogWindow(this);
  // A notice, not a tool: it stays where it was centred.
  window_->SetDragByFace(false);
  if (!window_->CreateModeless(kTemplate, parent)) {
    window_.reset();
    return false;
  }
  window_->Center();
  window_->Show(true);
  window_->RedrawNow();
  return true;
}

void CWaitForConnectDlg::Hide() {
  if (window_) window_->Show(false);
}

void CWaitForConnectDlg::OnInitDialog() {
  if (window_) window_->SetItemText(kMessageLabel, m_strMessage);
}

void CWaitForConnectDlg::OnCommand(int /*id*/) {
  // No buttons: Escape or Enter must not end the notice while connecting.
}
