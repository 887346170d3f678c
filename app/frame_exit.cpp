// Ending the client from the tray menu: the end profile goes to the server
// first, and the force answer decides when the process ends.
#include <optional>

#include "app/main_frame.h"
#include "net/relay_answer.h"
#include "text_ids.h"

using namespace fon;

void CMainFrame::CancelAllDialogs() {
  for (CDialogSlot* slot : {&m_dlgLogin, &m_dlgDialout, &m_dlgConfig, &m_dlgActiveProfile, &m_dlgExitWarning})
    slot->Cancel();
}

void CMainFrame::OnExitCommand() {
  CancelAllDialogs();
  if (settings_.ReadDword("End Profile Checkbox") != 1) {
    platform_.Timers().SetTimer(this, ID_TIMER_EXIT, kExitDelayMs);
    return;
  }
  const std::string userId = std::to_string(settings_.ReadDword("User ID"));
  const std::string endProfile = settings_.ReadString("End Profile");
  if (endProfile.empty()) {
    platform_.Timers().SetTimer(this, ID_TIMER_EXIT, kExitDelayMs);
    return;
  }

  // The last entry of that name counts; without one the forced profile is
  // released instead.
  const std::optional<int> profileId = profiles_.FindProfileId(endProfile);
  const std::string request = profileId ? "FORCEPROFILE|" + userId + "|" + std::to_string(*profileId)
                                        : "CLEARFORCEDPROFILE|" + userId + "|";

  m_bExiting = 1;
  if (SendRelayRequest(request, ID_TIMER_RELAY_FORCE)) return;  // the answer or timer 15 goes on
  m_bExiting = 0;
  if (ExitWarningConfirmed()) platform_.Timers().SetTimer(this, ID_TIMER_EXIT, kExitDelayMs);
}

bool CMainFrame::ExitWarningConfirmed() {
  // The user asked to exit; without the warning dialog that is taken as
  // confirmed.
  Debug("Exit warning not available in this build: exiting without the end profile\n");
  return true;
}

void CMainFrame::OnForceProfileAnswer(const std::string& answer) {
  relay_.Finish(kRelayForce);
  Debug("Relay answers to SETACTIVE request: " + answer + "\n");

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
  if (timedOut && m_bExiting) {
    m_bExiting = 0;
    if (ExitWarningConfirmed()) platform_.Timers().SetTimer(this, ID_TIMER_EXIT, kExitDelayMs);
    return true;
  }
  if (idle_.TakeForceFailure(timedOut)) return true;
  // A connect that fails at exit: the exit warning follows instead.
  return m_bExiting != 0;
}
