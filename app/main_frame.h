// The hidden main frame: the hub that owns the CTI connection, the relay
// requests of its own, the popups, the tray icon and menu, the hotkey and
// every frame timer. It lives for the whole process.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/frame_ids.h"
#include "common/id_string_list.h"
#include "net/relay_socket.h"
#include "platform/platform.h"
#include "settings/settings_store.h"

class CCtiPortSocket;
class CWaitForConnectDlg;
class CPopup;
class CRelaySocket;

class CMainFrame : public fon::TimerSink, public fon::IFrameEvents, public IRelayOwner {
 public:
  explicit CMainFrame(fon::IPlatform& platform);
  virtual ~CMainFrame();
  CMainFrame(const CMainFrame&) = delete;
  CMainFrame& operator=(const CMainFrame&) = delete;

  // Creates the hidden window and runs the start-up (OnCreate). 0 when the
  // client runs, -1 when the start failed.
  int Create();

  // ---- start-up and window
  int OnCreate();
  void OnSize(int sizeType) override;

  // ---- tray, menu, hotkey
  bool SetTrayState(int message, int state);
  virtual void ShowTrayMenu(int x, int y);
  void OnTrayNotify(unsigned mouseMessage) override;
  void OnHotKey(int id) override;
  void OnCommand(int id) override;
  void OnClose() override;
  void OnTaskbarCreated() override;
  void OpenWebsite();
  void OnExitCommand();
  // The away icon while the idle profile is forced, and back to the icon of
  // the link when the user returns.
  void EnterAwayTray();
  void LeaveAwayTray();

  // ---- popups
  virtual void ShowInfoPopup(int kind, const std::string& text, int sticky);
  void OnCtiMessage(const std::string& message, const std::string& time);
  // The CRM address template filled with the last call's values.
  std::string BuildCrmUrl();
  // Colours a call popup by the administrator's text rules; false when the
  // rules key could not be opened.
  bool ApplyColourRules(CPopup& popup);

  // ---- timers and supervision
  void OnTimer(unsigned id) override;
  void ReconnectCtiPort();
  void ApplySettings();

  // ---- CTI port
  void ConnectCtiPort();
  void OnCtiConnected();
  void OnCtiConnectFailed();
  void OnCtiClosed();
  // The CTI socket reports that it is finished (server closed); the frame
  // disposes of it once the notification has returned.
  void ReleaseCtiSocket(CCtiPortSocket* socket);

  // ---- relay
  int SendRelayRequest(const std::string& request, unsigned timerId);
  void OnRelayAnswer(CRelaySocket& socket, const std::string& answer) override;
  void OnRelayClosed(CRelaySocket& socket) override;
  void OnProfileListAnswer(const std::string& answer);
  void OnDevicesAnswer(const std::string& answer);
  void OnActiveForcedProfileAnswer(const std::string& answer);
  void OnForceProfileAnswer(const std::string& answer);

  // ---- access for the pieces the frame owns
  fon::IPlatform& Platform() { return platform_; }
  fon::SettingsStore& Settings() { return settings_; }
  fon::IDebugOutput& DebugOut() { return platform_.Debug(); }
  fon::WindowHandle Handle() const;
  std::string LoadLangText(int id);
  void Debug(const std::string& text) { platform_.Debug().Write(text); }
  CCtiPortSocket* CtiSocket() const { return m_pCtiSocket.get(); }
  bool IsQuitting() const { return m_bQuit != 0; }

  // ---- state (named as the rest of the client knows it)
  std::string m_strLinkState;
  int m_bConnecting = 0;
  int m_nReconnectMode = 0;
  int m_nServerPort = 0;
  std::string m_strServerAddress;

  int m_nRelayBusy = 0;
  int m_bForceBusy = 0;
  int m_nUserId = 0;

  int m_nTrayState = fon::TrayOffline;
  int m_nMenuX = 0;
  int m_nMenuY = 0;
  int m_bDoubleClick = 0;
  int m_nTrayMenu = 0;  // menu resource loaded at start-up, 0 = none

  int m_nLanguageIndex = 1;
  std::string m_strLanguageIndex;
  std::string m_strCrmRequest;
  int m_bCrmRequest = 0;
  std::string m_strWebsite;

  CIdStringList m_lstProfiles;
  CIdStringList m_lstDevices;
  CIdStringList m_lstExtraCallers;
  CIdStringList m_lstPopupSlots;

  std::array<std::unique_ptr<CPopup>, 5> m_apPopups;
  int m_nPopupCount = 0;
  std::string m_strLastCallerName = "---";
  std::string m_strLastCallerNo = "---";
  std::string m_strLastCalledNo = "---";
  std::string m_strLastTime = "---";
  int m_bLastCallClosed = 1;
  int m_nStickyPopup = 6;
  int m_nCurPopup = 0;
  int m_nDisplayTime = 0;
  std::string m_strRedirInfo;
  std::string m_strCallId;
  std::string m_strCalledUserId;
  std::string m_strParentUserIdText;

  int m_bDialoutOpen = 0;
  int m_bHotkeyDialoutOpen = 0;
  int m_bHotkeyDialout = 0;
  int m_bLoginOpen = 0;
  int m_bConfigDlgOpen = 0;
  int m_bInformDlgOpen = 0;

  int m_bProfilesLoaded = 0;
  int m_bDevicesLoaded = 0;
  int m_bForcedChecked = 0;
  int m_nDeviceMode = 0;
  std::string m_strForcedProfile;
  std::string m_strInformProfile;
  int m_bConfigAfterProfiles = 0;
  int m_bPendingRequest = 0;
  std::string m_strPendingRequest;

  int m_bExiting = 0;

  int m_bAway = 0;
  int m_bIdleActivating = 0;
  int m_bIdleTimerRunning = 0;
  int m_nIdleMinutes = 0;
  int m_nIdleSeconds = 0;
  fon::Point m_ptLastCursor;

  // The frame's four pending relay requests.
  std::unique_ptr<CRelaySocket> m_pForceSocket;
  std::unique_ptr<CRelaySocket> m_pActiveProfileSocket;
  std::unique_ptr<CRelaySocket> m_pProfileListSocket;
  std::unique_ptr<CRelaySocket> m_pDeviceListSocket;

 private:
  // Makes a fresh CTI socket (disposing of the old one) and creates its
  // handle. Writes the failure text and returns false when that fails.
  bool MakeCtiSocket(const char* createFailureText);
  void DisposeCtiSocket();
  void DisposeWaitDialog();
  void RegisterDialoutHotkey(bool atStart);
  void ReadLanguageIndexSetting();
  void EndProcess();
  std::unique_ptr<CRelaySocket>* RelaySlot(int kind);
  // Closes a pending request's socket; it is destroyed from the message loop.
  void DisposeRelaySocket(std::unique_ptr<CRelaySocket>& slot);
  void ReportRelayConnectFailure(int kind);
  void OnRelayTimeout(unsigned timerId);
  // Stands in for the exit warning dialog: true when the user chose to end.
  bool ExitWarningConfirmed();
  void StartTrayIconRetry();
  void OnTrayIconRetry();
  int trayRetriesLeft_ = 0;

  fon::IPlatform& platform_;
  fon::SettingsStore settings_;
  std::unique_ptr<fon::IFrameWindow> window_;
  std::unique_ptr<CCtiPortSocket> m_pCtiSocket;
  std::unique_ptr<CWaitForConnectDlg> m_pWaitDlg;
  // Sockets and dialogs finished inside their own notifications; they are
  // destroyed from the message loop right after.
  std::vector<std::unique_ptr<CCtiPortSocket>> retiredSockets_;
  std::vector<std::unique_ptr<CWaitForConnectDlg>> retiredWaitDialogs_;
  std::vector<std::unique_ptr<CRelaySocket>> retiredRelaySockets_;
  bool cleanupPosted_ = false;
  // Tasks posted by the frame check it: they may outlive the frame.
  std::shared_ptr<bool> aliveFlag_ = std::make_shared<bool>(true);
  int m_bQuit = 0;
  void ScheduleCleanup();
};
