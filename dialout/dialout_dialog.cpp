#include "dialout/dialout_dialog.h"

#include "dialout/dial_history.h"
#include "dialout/dial_input.h"
#include "dialout/normalize_number.h"
#include "text_ids.h"
#include "net/relay_kinds.h"
#include "res/resource.h"
#include "settings/value_rules.h"

using namespace fon;

namespace {

// Only this much of an answer decides; "+OKAY" counts as "+OK".
constexpr std::size_t kStatusChars = 3;

}  // namespace

CDialoutDialog::CDialoutDialog(IDialogHost& host, const CIdStringList& devices, CIdStringList& extraCallers,
                               int deviceMode, bool fromHotkey)
    : CCommandDialog(host, IDD_DIALOUT),
      devices_(devices),
      extraCallers_(extraCallers),
      deviceMode_(deviceMode),
      fromHotkey_(fromHotkey),
      relay_(host, *this, kRelayDialout) {
  m_nUserId = Settings().ReadDword("User ID");
  m_strCaller = Settings().ReadString("Phone number");
}

CDialoutDialog::~CDialoutDialog() { relay_.Cancel(); }

void CDialoutDialog::OnInit() {
  IDialogWindow& window = Window();
  window.SetItemText(IDC_DIALOUT_TITLE, LangText(text::kDialoutTitle));
  window.SetItemText(IDC_DIALOUT_CALLER_LABEL, LangText(text::kCallerLabel));
  window.SetItemText(IDC_DIALOUT_CALLED_LABEL, LangText(text::kCalledLabel));
  window.SetItemText(kIdOk, LangText(text::kDialButton));
  window.SetItemText(kIdCancel, LangText(text::kAbortButton));
  // The title label is the dialog's one title: a word painted on the face
  // as well would land a pixel beside it and smear it.
  SetTitleWhite(IDC_DIALOUT_TITLE);

  // The user's devices in the server's order, then the callers typed before.
  auto offer = [&window](const IdStringEntry& entry) {
    window.ComboAdd(IDC_DIALOUT_CALLER, entry.strText);
    window.ComboAdd(IDC_DIALOUT_CALLER_LIST, entry.strText);
  };
  devices_.ForEachFromTail(offer);
  extraCallers_.ForEachFromTail(offer);

  m_strCaller = CallerPreset(Settings().ReadString("Phone number"));
  m_strCallerChoice = m_strCaller;

  // Opened by a hotkey or a link while another program is in front.
  window.SetTopmost(true);
  BringToFront();
  window.SetTopmost(true);

  if (fromHotkey_) NormalizeNumberInPlace(m_strCalled);
  for (const std::string& number : ReadDialHistory(Settings())) window.ComboAdd(IDC_DIALOUT_CALLED, number);

  window.ShowItem(deviceMode_ == 0 ? IDC_DIALOUT_CALLER : IDC_DIALOUT_CALLER_LIST, false);
  ToControls();
}

void CDialoutDialog::ToControls() {
  IDialogWindow& window = Window();
  window.SetItemText(IDC_DIALOUT_CALLER, m_strCaller);
  window.ComboSelect(IDC_DIALOUT_CALLER_LIST, window.ComboFindExact(IDC_DIALOUT_CALLER_LIST, m_strCallerChoice));
  window.SetItemText(IDC_DIALOUT_CALLED, m_strCalled);
  // Nothing to call yet: the user types it first.
  if (m_strCalled.empty()) window.FocusItem(IDC_DIALOUT_CALLED);
}

void CDialoutDialog::FromControls() {
  IDialogWindow& window = Window();
  m_strCaller = window.GetItemText(IDC_DIALOUT_CALLER);
  m_strCallerChoice = window.GetItemText(IDC_DIALOUT_CALLER_LIST);
  m_strCalled = window.GetItemText(IDC_DIALOUT_CALLED);
}

bool CDialoutDialog::IsDevice(const std::string& caller) const {
  bool found = false;
  devices_.ForEachFromTail([&](const IdStringEntry& entry) { found = found || entry.strText == caller; });
  return found;
}

bool CDialoutDialog::InHistoryList(const std::string& number) {
  IDialogWindow& window = Window();
  for (int i = 0, n = window.ComboCount(IDC_DIALOUT_CALLED); i < n; ++i)
    if (window.ComboText(IDC_DIALOUT_CALLED, i) == number) return true;
  return false;
}

void CDialoutDialog::OnOK() {
  FromControls();
  std::string& caller = deviceMode_ == 0 ? m_strCallerChoice : m_strCaller;
  switch (PrepareDialNumbers(m_strCalled, caller)) {
    case DialInput::kCallerCorrected:
      InfoPopup(text::kNumberCorrected);
      ToControls();
      return;
    case DialInput::kTooShort:
      InfoPopup(text::kNumberTooShort);
      return;
    case DialInput::kReady:
      break;
  }

  const std::string address = Settings().ReadString("Server IP Address");
  const int port = Settings().ReadDword("Relay Port", kRelayPortDefault);
  m_nUserId = Settings().ReadDword("User ID");

  if (deviceMode_ == 1 && !IsDevice(caller)) extraCallers_.AddHead(0, 0, caller);
  if (!InHistoryList(m_strCalled)) StoreDialHistory(Settings(), m_strCalled);

  m_strRequest = "QUICKCALL|" + caller + "|" + m_strCalled + "|" + std::to_string(m_nUserId);
  relay_.Send(m_strRequest, address, port);
}

void CDialoutDialog::OnDialogRelayAnswer(const std::string& answer) {
  Debug("Relay answers to DIALOUT request: " + answer + "\n");
  std::string status = answer.substr(0, kStatusChars);
  if (status == "+OK") {
    InfoPopup(text::kCallTakesPlace);
    EndDialog(kIdOk);
    return;
  }
  std::string::size_type bar = status.find('|');
  if (bar != std::string::npos) status.erase(0, bar + 1);
  Debug("Error at Connecting (Dialout): " + status);
  InfoPopup(text::kDialoutConnectError);
}

void CDialoutDialog::OnEnd() { relay_.Cancel(); }
