// Tray icon callbacks, the tray menu and the dial-out hotkey.
#include "app/main_frame.h"
#include "common/debug_text.h"

using namespace fon;

void CMainFrame::OnTrayNotify(unsigned /*mouseMessage*/) {}

void CMainFrame::ShowTrayMenu(int /*x*/, int /*y*/) {}

void CMainFrame::OnHotKey(int /*id*/) {}

void CMainFrame::OnCommand(int /*id*/) {}

void CMainFrame::OnTaskbarCreated() {}
