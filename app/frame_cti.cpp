// The frame's side of the CTI-port connection: connecting, and what follows
// a connect, a failed connect and a closed connection.
#include "app/main_frame.h"
#include "common/debug_text.h"
#include "dialogs/wait_for_connect_dlg.h"

using namespace fon;

namespace {
constexpr int kDefaultCtiPort = 12346;
constexpr unsigned kPauseBeforeForcedProfileMs = 100;
}  // namespace

void CMainFrame::DisposeWaitDialog() {
  if (!m_pWaitDlg) return;
  retiredWaitDialogs_.Release(std::move(m_pWaitDlg));
}

void CMainFrame::ConnectCtiPort() {
  settings_.CreateRegKey(kMainKey);
  NoteServer(settings_.ReadString("Server IP Address"), settings_.ReadDword("Server port", kDefaultCtiPort));

  DisposeWaitDialog();
  m_pWaitDlg = std::make_unique<CWaitForConnectDlg>(platform_, settings_);
  if (link_.ReconnectMode() == kConnectAtStart) m_pWaitDlg->CreateAndShow(Handle());

  link_.Connect(m_strServerAddress, m_nServerPort);
}

void CMainFrame::RegisterHotkeyAfterConnect() {
  if (!hotkeyAfterConnect_) return;
  hotkeyAfterConnect_ = false;
  platform_.Input().UnregisterHotKey(ID_HOTKEY_DIALOUT);
  RegisterDialoutHotkey(false);
}

void CMainFrame::OnCtiConnected() {
  Debug("Connection to TSG (CTI-Port) ready\n");
  RegisterHotkeyAfterConnect();
  if (link_.ReconnectMode() == kConnectAtStart && m_pWaitDlg) m_pWaitDlg->Hide();
  DisposeWaitDialog();
  tray_.FollowLink(true);
  // The lists once, and again on every periodic restart; the forced profile
  // until it has been checked; a restore that could not be sent before.
  const bool restart = link_.ReconnectMode() == kPeriodicRestart;
  if (!profiles_.DevicesLoaded() || restart) AskForUser("GETDEVICES", ID_TIMER_RELAY_DEVICES);
  if (!profiles_.ProfilesLoaded() || restart) AskForUser("GETPROFILELIST", ID_TIMER_RELAY_PROFILES);
  platform_.Loop().Sleep(kPauseBeforeForcedProfileMs);
  if (!profiles_.ForcedChecked()) AskForcedProfile();
  idle_.SendPendingRestore();
  idle_.OnLinkUp();
}

void CMainFrame::OnCtiConnectFailed() {
  DebugPrintf(DebugOut(), "Failed to connect to TSG (CTI-Port): %d.\n", link_.LastError());
  RegisterHotkeyAfterConnect();
  tray_.FollowLink(false);
  if (link_.ReconnectMode() == kConnectAtStart && m_pWaitDlg) m_pWaitDlg->Hide();
  idle_.OnLinkFailed();
  DisposeWaitDialog();
}

void CMainFrame::OnCtiClosed() { tray_.FollowLink(false, true); }
