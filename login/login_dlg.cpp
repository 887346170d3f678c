#include "login/login_dlg.h"

#include "login/login_protocol.h"
#include "net/relay_kinds.h"
#include "text_ids.h"

namespace {

// The relay port when none is stored, as for the frame's own requests.
constexpr int kDefaultRelayPort = 12345;

}  // namespace

CLoginDlg::CLoginDlg(IDialogHost& host)
    : CCommandDialog(host, kTemplate),
      relay_(host, *this, kRelayLogin),
      m_strTitle(host.LoadLangText(fon::text::kLoginTitle)),
      m_strUserLabel(host.LoadLangText(fon::text::kUserNameLabel)),
      m_strPasswordLabel(host.LoadLangText(fon::text::kPasswordLabel)) {
  SetTitleWhite(IDC_LOGIN_TITLE);
}

void CLoginDlg::OnInit() {
  fon::IDialogWindow& window = Window();
  window.SetItemText(IDC_LOGIN_TITLE, m_strTitle);
  window.SetItemText(IDC_LOGIN_USER_LABEL, m_strUserLabel);
  window.SetItemText(IDC_LOGIN_PASSWORD_LABEL, m_strPasswordLabel);
  window.SetItemText(fon::kIdOk, LangText(fon::text::kOkButton));
  window.SetItemText(fon::kIdCancel, LangText(fon::text::kAbortButton));
  window.SetItemText(IDC_LOGIN_USER, m_strUserName);
  window.SetItemText(IDC_LOGIN_PASSWORD, m_strPassword);
  window.FocusItem(m_strUserName.empty() ? IDC_LOGIN_USER : IDC_LOGIN_PASSWORD);
}

void CLoginDlg::OnOK() {
  m_strUserName = Window().GetItemText(IDC_LOGIN_USER);
  m_strPassword = Window().GetItemText(IDC_LOGIN_PASSWORD);
  m_strRequest = fon::LoginRequest(m_strUserName, m_strPassword);
  m_strServerAddress = Settings().ReadString("Server IP Address");
  m_nRelayPort = Settings().ReadDword("Relay port", kDefaultRelayPort);
  // Sent at once while the CTI link is up, else a second after asking it
  // back; the relay tells the user of every failure and of the timeout.
  relay_.Send(m_strRequest, m_strServerAddress, m_nRelayPort, fon::LoginRequestShown(m_strUserName));
}

void CLoginDlg::OnDialogRelayAnswer(const std::string& answer) {
  const fon::LoginReaction reaction = fon::ReactToLoginAnswer(answer);
  if (reaction.stores) {
    fon::SettingsStore& settings = Settings();
    settings.CreateRegKey(fon::kMainKey);
    settings.SetRegDword(fon::kMainKey, "User ID", reaction.userId);
    settings.SetRegDword(fon::kMainKey, "Parent User ID", reaction.parentUserId);
  }
  for (const std::string& line : reaction.debug) Debug(line);
  for (int text : reaction.texts) InfoPopup(text);
  if (reaction.closes) EndDialog(fon::kIdOk);
}
