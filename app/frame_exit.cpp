// Ending the client from the tray menu: the end profile goes to the server
// first, and the force answer decides when the process ends. The end of the
// Windows session sends it too, but waits only briefly and asks nothing.
#include <optional>

#include "app/exit_error_dlg.h"
#include "app/main_frame.h"
#include "net/relay_answer.h"
#include "text_ids.h"

using namespace fon;

void CMainFrame::CancelAllDialogs() {
  for (CDialogSlot* slot : {&m_dlgLogin, &m_dlgDialout, &m_dlgConfig, &m_dlgActiveProfile, &m_dlgExitWarning})
    slot->Cancel();
}

bool CMainFrame::EndProfileRequest(std::string* request) {
  if (settings_.ReadDword("End Profile Checkbox") != 1) return false;
  const std::string userId = std::to_string(settings_.ReadDword("User ID"));
  const std::string endProfile = settings_.ReadString("End Profile");
  if (endProfile.empty()) return false;

  // The last entry of that name counts; without one the forced profile is
  // released instead.
  const std::optional<int> profileId = profiles_.FindProfileId(endProfile);
  *request = profileId ? "FORCEPROFILE|" + userId + "|" + std::to_string(*profileId)
                       : "CLEARFORCEDPROFILE|" + userId + "|";
  return true;
}

void CMainFrame::OnExitCommand() {
  CancelAllDialogs();
  std::string request;
  if (!EndProfileRequest(&request)) {
    platform_.Timers().SetTimer(this, ID_TIMER_EXIT, kExitDelayMs);
    return;
  }
  m_bExiting = 1;
  if (SendRelayRequest(request, ID_TIMER_RELAY_FORCE)) return;  // the answer or timer 15 goes on
  m_bExiting = 0;
  if (ExitWarningConfirmed()) platform_.Timers().SetTimer(this, ID_TIMER_EXIT, kExitDelayMs);
}

void CMainFrame::OnEndSession() {
  if (m_bSessionEnding) return;
  m_bSessionEnding = 1;
  Debug("Session ends\n");
  CancelAllDialogs();
  // An exit waiting for its answer is overtaken: nobody is asked any more.
  m_bExiting = 0;

  IEventLoop& loop = platform_.Loop();
  const std::uint64_t deadline = loop.NowMs() + kSessionEndBoundMs;
  std::string request;
  if (EndProfileRequest(&request) && relay_.Send(request, ID_TIMER_RELAY_FORCE, kSessionEndBoundMs)) {
    // The connect and send took their share of the bound; the answer gets
    // the rest. The timer only wakes the loop to look at the clock.
    const std::uint64_t now = loop.NowMs();
    if (now < deadline) {
      platform_.Timers().SetTimer(this, ID_TIMER_SESSION_END, static_cast<unsigned>(deadline - now));
      loop.RunUntil([&] { return !relay_.Pending(kRelayForce) || loop.NowMs() >= deadline; });
      platform_.Timers().KillTimer(this, ID_TIMER_SESSION_END);
    }
    if (relay_.Pending(kRelayForce)) Debug("Session ends without an answer to the end profile\n");
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
  // At the end of the session the answer only ends the wait.
  if (m_bSessionEnding) return;

  RelayStatus split = SplitRelayAnswer(answer);
  if (!split.ok) Debug("Error at FORCEPROFILE: " + split.rest + "\n");
  // The switch to the idle profile is the idle timer's to judge.
  const bool idleSwitch = idle_.TakeForceAnswer(split.ok);
  if (!split.ok && !idleSwitch) {
    if (!m_bExiting) {
      ShowInfoPopup(2, LoadLangText(text::kProfileActivationError), 0);
    } else {
      m_bExiting = 0;
      if (ExitWarningConfirmed()) {
        EndProcess();
        return;
      }
    }
  }
  if (m_bExiting) platform_.Timers().SetTimer(this, ID_TIMER_EXIT, kExitDelayMs);
}

bool CMainFrame::OnForceRequestFailed(bool timedOut) {
  if (m_bSessionEnding) return true;
  if (timedOut && m_bExiting) {
    m_bExiting = 0;
    if (ExitWarningConfirmed()) platform_.Timers().SetTimer(this, ID_TIMER_EXIT, kExitDelayMs);
    return true;
  }
  if (idle_.TakeForceFailure(timedOut)) return true;
  // A connect that fails at exit: the exit warning follows instead.
  return m_bExiting != 0;
}
