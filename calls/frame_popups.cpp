// Call events and information popups of the frame.
#include "app/main_frame.h"

using namespace fon;

void CMainFrame::OnCtiMessage(const std::string& message, const std::string& time) {
  Debug("Message from CTI-Port: " + message + " at " + time);
}

void CMainFrame::ShowInfoPopup(int /*kind*/, const std::string& /*text*/, int /*sticky*/) {}
