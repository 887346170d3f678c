// Ending the client from the tray menu: the end profile goes to the server
// first, and the force answer decides when the process ends.
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
  bool found = false;
  int profileId = 0;
  m_lstProfiles.ForEachFromTail([&](const IdStringEntry& entry) {
    if (entry.strText == endProfile) {
      found = true;
      profileId = entry.nId;
    }
  });
  const std::string request = found ? "FORCEPROFILE|" + userId + "|" + std::to_string(profileId)
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
  if (!split.ok) {
    Debug("Error at FORCEPROFILE: " + split.rest + "\n");
    if (m_bIdleActivating) {
      Debug("Could not activate Idle Timer");
      m_nIdleSeconds = 0;
      ShowInfoPopup(2, LoadLangText(text::kIdleTimerNotActivated), 1);
    } else if (!m_bExiting) {
      ShowInfoPopup(2, LoadLangText(text::kProfileActivationError), 0);
    } else {
      m_bExiting = 0;
      if (ExitWarningConfirmed()) {
        EndProcess();
        return;
      }
    }
  } else if (m_bIdleActivating) {
    Debug("Idle Timer active\n");
    EnterAwayTray();
  }
  if (m_bExiting) platform_.Timers().SetTimer(this, ID_TIMER_EXIT, kExitDelayMs);
  m_bIdleActivating = 0;
}

bool CMainFrame::OnForceRequestFailed(bool timedOut) {
  if (timedOut && m_bExiting) {
    m_bExiting = 0;
    if (ExitWarningConfirmed()) platform_.Timers().SetTimer(this, ID_TIMER_EXIT, kExitDelayMs);
    return true;
  }
  if (m_bIdleActivating) {
    Debug(timedOut ? "Could not activate Idle Timer" : "Could not activate Idle Timer\n");
    m_nIdleSeconds = 0;
    m_bIdleActivating = 0;
    ShowInfoPopup(2, LoadLangText(text::kIdleTimerNotActivated), 1);
    return true;
  }
  // A connect that fails at exit: the exit warning follows instead.
  return m_bExiting != 0;
}
