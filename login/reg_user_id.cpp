#include "login/reg_user_id.h"

#include <string>

#include "dialogs/wait_for_connect_dlg.h"
#include "login/login_protocol.h"
#include "net/relay_kinds.h"
#include "settings/value_rules.h"
#include "text_ids.h"

namespace {

// The CTI port of a fresh registration: the server's usual one, whatever
// was configured before.
constexpr int kRegisteredCtiPort = 12346;

struct Label {
  int id;
  int text;
};

constexpr Label kLabels[] = {
    {IDC_REGISTER_TITLE, fon::text::kLoginTitle},
    {IDC_REGISTER_INTRO, fon::text::kLoginPrompt},
    {IDC_REGISTER_USER_LABEL, fon::text::kUserNameLabel},
    {IDC_REGISTER_PASSWORD_LABEL, fon::text::kPasswordLabel},
    {IDC_REGISTER_SERVER_HINT, fon::text::kLoginServerHint},
    {IDC_REGISTER_SERVER_LABEL, fon::text::kLoginServerAddressLabel},
    {IDC_REGISTER_PORT_LABEL, fon::text::kLoginRelayPortLabel},
    {fon::kIdOk, fon::text::kOkButton},
    {fon::kIdCancel, fon::text::kAbortButton},
};

}  // namespace

CRegUserID::CRegUserID(IDialogHost& host)
    : CCommandDialog(host, kTemplate),
      relay_(host, *this, kRelayRegistration),
      m_strLoginName(host.Platform().Shell().UserName()),
      m_strServerAddress(fon::ServerAddressOnLoad(host.Settings().ReadString("Server IP Address"))),
      m_nRelayPort(fon::RegPortAtRegistration(host.Settings().ReadDword("Relay port"))) {}

void CRegUserID::OnInit() {
  fon::IDialogWindow& window = Window();
  for (const Label& label : kLabels) window.SetItemText(label.id, LangText(label.text));
  window.SetItemText(IDC_REGISTER_USER, m_strLoginName);
  window.SetItemText(IDC_REGISTER_PASSWORD, m_strPassword);
  window.SetItemText(IDC_REGISTER_SERVER, m_strServerAddress);
  window.SetItemText(IDC_REGISTER_PORT, std::to_string(m_nRelayPort));
  // The name is usually known from Windows: the password comes first then.
  window.FocusItem(m_strLoginName.empty() ? IDC_REGISTER_USER : IDC_REGISTER_PASSWORD);
}

void CRegUserID::OnOK() {
  int port = 0;
  if (!ReadIntegerField(IDC_REGISTER_PORT, &port)) return;
  m_strLoginName = Window().GetItemText(IDC_REGISTER_USER);
  m_strPassword = Window().GetItemText(IDC_REGISTER_PASSWORD);
  m_strServerAddress = Window().GetItemText(IDC_REGISTER_SERVER);
  m_nRelayPort = port;
  m_strRequest = fon::LoginRequest(m_strLoginName, m_strPassword);

  // The connect below blocks the dialog: the notice is painted before it
  // starts, so that the user sees why nothing moves.
  CWaitForConnectDlg wait(Platform(), Settings());
  wait.CreateAndShow(Window().Handle());
  relay_.Send(m_strRequest, m_strServerAddress, m_nRelayPort, fon::LoginRequestShown(m_strLoginName));
  wait.Hide();
}

void CRegUserID::OnDialogRelayAnswer(const std::string& answer) {
  const fon::LoginReaction reaction = fon::ReactToRegistrationAnswer(answer);
  if (reaction.stores) {
    fon::SettingsStore& settings = Settings();
    settings.CreateRegKey(fon::kMainKey);
    settings.SetRegDword(fon::kMainKey, "User ID", reaction.userId);
    // REG_SZ data counts its terminating zero.
    settings.SetRegValue(fon::kMainKey, "Server IP Address", m_strServerAddress + '\0', fon::kRegSz);
    settings.SetRegDword(fon::kMainKey, "Relay Port", m_nRelayPort);
    settings.SetRegDword(fon::kMainKey, "Server Port", kRegisteredCtiPort);
  }
  for (const std::string& line : reaction.debug) Debug(line);
  for (int text : reaction.texts) InfoPopup(text);
  if (reaction.closes) EndDialog(fon::kIdOk);
}
