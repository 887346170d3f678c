// Answers to the frame's three list questions (the profiles, the devices
// and the profile forced at the moment), and what the profile parts ask of
// the frame.
#include "app/main_frame.h"
#include "net/relay_answer.h"
#include "profiles/inform_active_profile.h"
#include "profiles/list_parsers.h"
#include "text_ids.h"

using namespace fon;

void CMainFrame::OnProfileListAnswer(const std::string& answer) {
  relay_.Finish(kRelayProfileList);
  Debug("Relay answers to GETPROFILELIST request: " + answer + "\n");

  RelayStatus split = SplitRelayAnswer(answer);
  if (!split.ok) {
    profiles_.DropProfileList();
    ShowInfoPopup(2, LoadLangText(text::kProfileListError), 0);
    Debug("Error at GETPROFILELIST: " + split.rest + "\n");
    return;
  }
  profiles_.TakeProfileList(split.rest);
  if (m_bConfigAfterProfiles) OpenConfigAfterProfiles();
}

void CMainFrame::OpenConfigAfterProfiles() {
  // Not inside the answer: it arrives while the other list requests of this
  // connect are still being sent, and a modal dialog there would hold them
  // back until the user closes it. It opens once the sends are done.
  std::shared_ptr<bool> alive = aliveFlag_;
  platform_.Loop().Post([this, alive] {
    if (!*alive || !m_bConfigAfterProfiles) return;
    if (DeferWhileSending(DeferredCommand::kConfigAfterProfiles, [this] { OpenConfigAfterProfiles(); })) return;
    RunConfigDialog();
  });
}

void CMainFrame::OnDevicesAnswer(const std::string& answer) {
  relay_.Finish(kRelayDevices);
  Debug("Relay answers to GETDEVICES request: " + answer + "\n");

  RelayStatus split = SplitRelayAnswer(answer);
  if (!split.ok) {
    profiles_.DropDeviceList();
    ShowInfoPopup(2, LoadLangText(text::kDeviceListError), 0);
    Debug("Error at GETDEVICES: " + split.rest + "\n");
    return;
  }
  profiles_.TakeDeviceList(split.rest);
}

void CMainFrame::OnActiveForcedProfileAnswer(const std::string& answer) {
  relay_.Finish(kRelayActiveProfile);
  Debug("Relay answers to GETACTIVEFORCEDPROFILE request: " + answer + "\n");

  RelayStatus split = SplitRelayAnswer(answer);
  if (!split.ok) {
    Debug("Error at GETACTIVEFORCEDPROFILE: " + split.rest);
    return;
  }
  std::string profile = ParseActiveForcedProfile(answer);
  // The user hears about a forced profile once per start or login. The
  // report counts before the dialog runs: answers that arrive while it is
  // open only refresh the profile.
  const bool tell = profiles_.IsNews(profile) && !m_dlgActiveProfile.IsOpen();
  profiles_.TakeForcedProfile(profile);
  if (!tell) return;
  if (m_dlgConfig.IsOpen()) {
    profiles_.HoldForDisplay(profile);
    platform_.Timers().SetTimer(this, ID_TIMER_INFORM_PROFILE, kInformProfileRetryMs);
  } else {
    RunActiveProfileDialog(profile);
  }
}

void CMainFrame::RunActiveProfileDialog(const std::string& profile) {
  if (DeferWhileSending(DeferredCommand::kActiveProfile, [this, profile] { RunActiveProfileDialog(profile); }))
    return;
  // One at a time: a second report brings the open one forward.
  if (m_dlgActiveProfile.BringToFront()) return;
  CInformActiveProfile dialog(*this, profiles_, switch_, m_strServerAddress);
  dialog.SetActiveProfile(profile);
  m_dlgActiveProfile.Run(dialog);
}

void CMainFrame::AskListsAfterLogin() {
  profiles_.ForgetForcedCheck();
  m_lstExtraCallers.RemoveAll();
  AskForUser("GETDEVICES", ID_TIMER_RELAY_DEVICES);
  AskForUser("GETPROFILELIST", ID_TIMER_RELAY_PROFILES);
  AskForcedProfile();
}

void CMainFrame::AskForUser(const std::string& command, unsigned timerId) {
  SendRelayRequest(UserRequest{command, ""}, timerId);
}

// ---- the idle timer's requests and notices

void CMainFrame::AskForcedProfile() { AskForUser("GETACTIVEFORCEDPROFILE", ID_TIMER_RELAY_ACTIVE); }

void CMainFrame::RequestSwitch(SwitchPurpose purpose, UserRequest request) {
  switch_.Request(purpose, std::move(request), kRelayConnectTimeoutMs);
}

void CMainFrame::ShowSwitchFailed() { ShowInfoPopup(2, LoadLangText(text::kIdleTimerNotActivated), 1); }

void CMainFrame::CutStickyPopup() { popups_.CutStickyStay(kStickyStayOnReturnMs); }

void CMainFrame::OnSessionChange(bool locked) { idle_.OnSessionChange(locked); }
