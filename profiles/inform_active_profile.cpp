#include "profiles/inform_active_profile.h"

#include "common/c_atoi.h"
#include "net/relay_answer.h"
#include "net/relay_kinds.h"
#include "res/resource.h"
#include "text_ids.h"

using namespace fon;

namespace {
constexpr int kDefaultRelayPort = 12345;
}  // namespace

CInformActiveProfile::CInformActiveProfile(IDialogHost& host, const CProfileState& profiles,
                                           CProfileSwitch& profileSwitch, std::string server)
    : CCommandDialog(host, IDD_ACTIVE_PROFILE),
      profiles_(profiles),
      switch_(profileSwitch),
      m_strServer(std::move(server)),
      relay_(host, *this, kRelayInformForce) {}

void CInformActiveProfile::SetActiveProfile(const std::string& profileId) {
  m_strActiveName = profiles_.ProfileNameById(Atoi(profileId));
  m_strChoice = m_strActiveName;
}

void CInformActiveProfile::OnInit() {
  IDialogWindow& window = Window();
  window.SetItemText(IDC_ACTIVE_TITLE, LangText(text::kProfileActiveTitle));
  window.SetItemText(IDC_ACTIVE_TEXT, LangText(text::kProfileActiveFound));
  window.SetItemText(IDC_ACTIVE_HINT, LangText(text::kProfileActiveChoice));
  window.SetItemText(kIdOk, LangText(text::kOkButton));
  window.SetItemText(kIdCancel, LangText(text::kAbortButton));
  window.SetItemText(IDC_ACTIVE_NAME, m_strActiveName);

  window.ComboReset(IDC_ACTIVE_CHOICE);
  profiles_.Profiles().ForEachFromTail(
      [&](const IdStringEntry& entry) { window.ComboAdd(IDC_ACTIVE_CHOICE, entry.strText); });
  // Its leading blank sorts the release entry first.
  const std::string release = LangText(text::kNoProfile);
  window.ComboAdd(IDC_ACTIVE_CHOICE, release);
  if (m_strChoice.empty()) m_strChoice = release;
  window.ComboSelect(IDC_ACTIVE_CHOICE, window.ComboFindExact(IDC_ACTIVE_CHOICE, m_strChoice));
  // The name above is read-only: the choice is what the user acts on.
  window.FocusItem(IDC_ACTIVE_CHOICE);
}

std::string CInformActiveProfile::ChosenName() {
  const int index = Window().ComboSelection(IDC_ACTIVE_CHOICE);
  return index < 0 ? Window().GetItemText(IDC_ACTIVE_CHOICE) : Window().ComboText(IDC_ACTIVE_CHOICE, index);
}

void CInformActiveProfile::OnOK() {
  m_strChoice = ChosenName();
  const std::string userId = std::to_string(Settings().ReadDword("User ID"));
  if (m_strChoice != LangText(text::kNoProfile)) {
    const int id = profiles_.FindProfileId(m_strChoice).value_or(0);
    m_strRequest = "FORCEPROFILE|" + userId + "|" + std::to_string(id);
  } else {
    m_strChoice.clear();
    m_strRequest = "CLEARFORCEDPROFILE|" + userId;
  }
  // Nothing changes: nothing to tell the server.
  if (m_strChoice == m_strActiveName) {
    EndDialog(kIdOk);
    return;
  }
  // The exit has the last word on the profile: no choice after it.
  if (!switch_.Claim(SwitchPurpose::kChoice)) return;
  // Whatever happens to the request, the dialog stays open until an answer
  // of "+OK" or the user's Cancel.
  relay_.Send(m_strRequest, m_strServer, Settings().ReadDword("Relay port", kDefaultRelayPort));
}

void CInformActiveProfile::OnEnd() {
  relay_.Cancel();
  switch_.Release(SwitchPurpose::kChoice);
}

void CInformActiveProfile::OnDialogRelayAnswer(const std::string& answer) {
  Debug("Relay answers to FORCEPROFILE request (informactiveprofile): " + answer + "\n");
  switch_.Release(SwitchPurpose::kChoice);
  // Only the exact answer counts here.
  if (answer == "+OK") {
    EndDialog(kIdOk);
    return;
  }
  Debug("Error at SETPROFILE: " + SplitRelayAnswer(answer).rest);
  InfoPopup(text::kProfileActivationError);
}
