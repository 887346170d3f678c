// Ending the client from the tray menu: the end profile goes to the server
// first, and the force answer decides when the process ends. The end of the
// Windows session sends it too, but waits only briefly and asks nothing.
#include <optional>

#include "app/exit_error_dlg.h"
#include "app/main_frame.h"
#include "net/relay_socket.h"
#include "net/relay_answer.h"
#include "text_ids.h"

using namespace fon;

void CMainFrame::CancelAllDialogs() {
  for (CDialogSlot* slot : {&m_dlgLogin, &m_dlgDialout, &m_dlgConfig, &m_dlgActiveProfile, &m_dlgExitWarning})
    slot->Cancel();
}

bool CMainFrame::EndProfileRequest(UserRequest* request) {
  if (settings_.ReadDword("End Profile Checkbox") != 1) return false;
  const std::string endProfile = settings_.ReadString("End Profile");
  if (endProfile.empty()) return false;

  // The last entry of that name counts; without one the forced profile is
  // released instead.
  const std::optional<int> profileId = profiles_.FindProfileId(endProfile);
  *request = profileId ? UserRequest::ForProfile("FORCEPROFILE", std::to_string(*profileId))
                       : UserRequest{"CLEARFORCEDPROFILE", "|"};
  return true;
}

void CMainFrame::OnExitCommand() {
  // Already waiting for the end profile's answer, or for the user's word
  // on the warning: the first Exit goes on.
  if (switch_.Closed()) return;
  CancelAllDialogs();
  UserRequest request;
  if (!EndProfileRequest(&request)) {
    platform_.Timers().SetTimer(this, ID_TIMER_EXIT, kExitDelayMs);
    return;
  }
  // The answer, the timeout or the failed send decides (OnSwitchDone).
  switch_.Request(SwitchPurpose::kExit, std::move(request), kRelayConnectTimeoutMs);
}

void CMainFrame::OnEndSession() {
  if (m_bSessionEnding) return;
  m_bSessionEnding = 1;
  Debug("Session ends\n");
  CancelAllDialogs();

  IEventLoop& loop = platform_.Loop();
  const std::uint64_t deadline = loop.NowMs() + kSessionEndBoundMs;
  UserRequest request;
  if (EndProfileRequest(&request)) {
    // Overtakes an exit waiting for its answer: nobody is asked any more.
    switch_.Request(SwitchPurpose::kSessionEnd, std::move(request), kSessionEndBoundMs);
    // The connect and send took their share of the bound; the answer gets
    // the rest. The timer only wakes the loop to look at the clock.
    const std::uint64_t now = loop.NowMs();
    if (switch_.IsOut(SwitchPurpose::kSessionEnd) && now < deadline) {
      platform_.Timers().SetTimer(this, ID_TIMER_SESSION_END, static_cast<unsigned>(deadline - now));
      loop.RunUntil([&] { return !switch_.IsOut(SwitchPurpose::kSessionEnd) || loop.NowMs() >= deadline; });
      platform_.Timers().KillTimer(this, ID_TIMER_SESSION_END);
    }
    if (switch_.IsOut(SwitchPurpose::kSessionEnd)) Debug("Session ends without an answer to the end profile\n");
  }
  EndProcess();
}

bool CMainFrame::ExitWarningConfirmed() {
  CExitErrorDlg dialog(*this);
  return m_dlgExitWarning.Run(dialog) == kIdOk;
}

void CMainFrame::OnForceProfileAnswer(const std::string& answer) {
  relay_.Finish(kRelayForce);
  Debug("Relay answers to SETACTIVE request: " + answer + "\n");
  RelayStatus split = SplitRelayAnswer(answer);
  if (!split.ok) Debug("Error at FORCEPROFILE: " + split.rest + "\n");
  switch_.OnAnswer(split.ok, answer);
}

void CMainFrame::OnForceRequestFailed(bool timedOut) { switch_.OnFailure(timedOut); }

void CMainFrame::OnSwitchDone(SwitchPurpose purpose, SwitchOutcome outcome, const std::string& /*answer*/) {
  // At the end of the session nothing is shown any more.
  if (m_bSessionEnding) return;
  switch (purpose) {
    case SwitchPurpose::kIdle:
      idle_.OnSwitchDone(purpose, outcome);
      return;
    case SwitchPurpose::kRestore:
      if (outcome == SwitchOutcome::kError) ShowInfoPopup(2, LoadLangText(text::kProfileActivationError), 0);
      if (outcome == SwitchOutcome::kTimedOut) ShowInfoPopup(2, LoadLangText(text::kProfileNotActivated), 0);
      if (outcome == SwitchOutcome::kNotSent) ShowInfoPopup(2, LoadLangText(text::kProfileNotChanged), 0);
      idle_.OnSwitchDone(purpose, outcome);
      return;
    case SwitchPurpose::kChoice:
      // The exit overtook the dialog's request: the dialog goes with it.
      if (outcome == SwitchOutcome::kPreempted) m_dlgActiveProfile.Cancel();
      return;
    case SwitchPurpose::kExit:
      if (outcome == SwitchOutcome::kOk)
        platform_.Timers().SetTimer(this, ID_TIMER_EXIT, kExitDelayMs);
      else if (outcome != SwitchOutcome::kPreempted && outcome != SwitchOutcome::kRefused)
        ExitNotDone(outcome);
      return;
    case SwitchPurpose::kSessionEnd:
    case SwitchPurpose::kNone:
      return;
  }
}

void CMainFrame::ExitNotDone(SwitchOutcome outcome) {
  // Not from inside a blocking send: the warning runs once it has returned,
  // and only if the exit is still the user's last word by then.
  if (DeferWhileSending(DeferredCommand::kExitWarning, [this, outcome] { ExitNotDone(outcome); })) return;
  if (m_bSessionEnding || !switch_.Closed() || switch_.IsOut(SwitchPurpose::kExit)) return;
  if (!ExitWarningConfirmed()) {
    // Staying: the client goes on as before, profile switches included.
    switch_.ReopenAfterExit();
    return;
  }
  // An error answer ends at once; a timeout or a failed send after the
  // usual half second.
  if (outcome == SwitchOutcome::kError)
    EndProcess();
  else
    platform_.Timers().SetTimer(this, ID_TIMER_EXIT, kExitDelayMs);
}
