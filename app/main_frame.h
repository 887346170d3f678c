// The hidden main frame: the hub that holds the parts of the client (the
// CTI link, the tray icon, the popups, its own relay requests) together with
// the hotkey, the tray menu and every frame timer. It lives for the whole
// process. Each part keeps its own state; the frame decides what follows
// from the events of one part for the others.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/deferred_commands.h"
#include "app/frame_ids.h"
#include "app/frame_relay.h"
#include "app/tray_icon.h"
#include "calls/cti_message.h"
#include "calls/popup_stack.h"
#include "calls/quiet_hold.h"
#include "common/deferred_release.h"
#include "common/id_string_list.h"
#include "dialogs/conect_dialog.h"
#include "dialogs/dialog_host.h"
#include "dialogs/dialog_slot.h"
#include "dialogs/wait_for_connect_dlg.h"
#include "dialout/recent_calls.h"
#include "net/cti_link.h"
#include "platform/platform.h"
#include "profiles/idle_timer.h"
#include "profiles/profile_state.h"
#include "profiles/profile_switch.h"
#include "settings/settings_store.h"


class CClipboardRoundTrip;
class CPopup;

class CMainFrame : public fon::TimerSink,
                   public fon::IFrameEvents,
                   public ICtiLinkEvents,
                   public IDialogHost,
                   public IIdleHost,
                   public ISwitchClient,
                   public IConectDialogOwner {
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
  virtual void ShowTrayMenu(int x, int y);
  void OnTrayNotify(unsigned mouseMessage) override;
  void OnHotKey(int id) override;
  void OnCommand(int id) override;
  void OnClose() override;
  void OnTaskbarCreated() override;
  void OnSessionChange(bool locked) override;
  void OpenWebsite();
  void OnExitCommand();
  // Windows ends the session (log-off or shut-down): the end profile still
  // goes to the server, within a short bound and without asking anybody.
  void OnEndSession() override;

  // ---- popups
  void ShowInfoPopup(int kind, const std::string& text, int sticky) override;
  void OnCtiMessage(const std::string& message, const std::string& time) override;
  // The popup of a call event for the user, when some window has the focus;
  // true when the call was held back because the user presents.
  bool ShowCallPopup(const fon::CtiFields& fields, const std::string& time);
  // The quiet state ended: one popup names the calls missed, then the held
  // information popups follow. False when that has to wait.
  bool DeliverQuietHold();
  // The tray tip's second line: the calls held, or the last call.
  void UpdateTrayDetail();
  // A popup's "Call back": the dial-out dialog with the number normalised.
  void CallBackFromPopup(const std::string& number);
  const CQuietHold& Quiet() const { return quiet_; }
  // The CRM address template filled with the last call's values.
  std::string BuildCrmUrl();
  // Colours a call popup by the administrator's text rules; false when the
  // rules key could not be opened.
  bool ApplyColourRules(CPopup& popup);

  // ---- timers and supervision
  void OnTimer(unsigned id) override;
  void ReconnectCtiPort() override;
  void ApplySettings() override;

  // ---- CTI port
  void ConnectCtiPort();
  void OnCtiConnected() override;
  void OnCtiConnectFailed() override;
  void OnCtiClosed() override;

  // ---- relay
  int SendRelayRequest(const UserRequest& request, unsigned timerId) { return relay_.Send(request, timerId); }
  void OnProfileListAnswer(const std::string& answer);
  void OnDevicesAnswer(const std::string& answer);
  void OnActiveForcedProfileAnswer(const std::string& answer);
  // A login succeeded: the forced profile is to be told again, and the
  // three lists are asked for at once.
  void AskListsAfterLogin();
  // Sends the list request `command` for the user stored when it goes out.
  void AskForUser(const std::string& command, unsigned timerId);
  void OnForceProfileAnswer(const std::string& answer);
  // The force request timed out.
  void OnForceRequestFailed(bool timedOut);
  // What became of a profile switch (the exit's, the idle timer's, the
  // dialog's).
  void OnSwitchDone(SwitchPurpose purpose, SwitchOutcome outcome, const std::string& answer) override;
  // The exit waits for the end profile's answer.
  bool IsExiting() const { return switch_.IsOut(SwitchPurpose::kExit); }
  // The relay part read the server's address and relay port.
  void NoteServer(const std::string& address, int port);
  // No relay request is being connected or sent any more.
  void OnRelaySendsDone();

  // ---- the command dialogs; each runs modally where the client has it,
  // and until then only notes that it would run. One slot per dialog: a
  // second command brings the open one to the front.
  CDialogSlot& LoginDialog() { return m_dlgLogin; }
  CDialogSlot& DialoutDialog() { return m_dlgDialout; }
  CDialogSlot& ConfigDialog() { return m_dlgConfig; }
  CDialogSlot& ActiveProfileDialog() { return m_dlgActiveProfile; }
  CDialogSlot& ExitWarningDialog() { return m_dlgExitWarning; }
  // Cancels every open command dialog (the exit); nothing they hold is
  // stored.
  void CancelAllDialogs();
  // The dial-out dialog, with the number to dial (may be empty);
  // `fromHotkey`: the number is a selection copied by the hotkey.
  virtual void RunDialoutDialog(const std::string& number, bool fromHotkey = false);

  // ---- dial-out: phone links and recent calls
  // Registers or removes the client as the user's tel:/callto: handler, as
  // the setting says.
  void ApplyPhoneLinks();
  // A second start for a link gives it to the running client; true when
  // that client took it.
  bool HandOverLaunchLink();
  // A first start for a link opens the dialog for it once running.
  void OpenLaunchLink();
  void OnPhoneLink(const std::string& link) override;
  // Every call event of the user, shown or not, becomes a recent call.
  void NoteRecentCall(const fon::CtiFields& fields, const std::string& time, bool unseen = false);
  std::vector<fon::MenuItem> RecentCallMenuItems();
  void OnRecentCallCommand(int id);
  const fon::CRecentCalls& RecentCalls() const { return recentCalls_; }
  virtual void RunConfigDialog();
  virtual void RunLoginDialog();
  // The active-profile dialog for the forced profile `profile`.
  virtual void RunActiveProfileDialog(const std::string& profile);
  // The exit warning: true when the user chose to end all the same.
  virtual bool ExitWarningConfirmed();

  // ---- what the configuration dialog reads of the frame
  const CIdStringList& ConfigProfiles() const override { return profiles_.Profiles(); }
  const CIdStringList& ConfigDevices() const override { return profiles_.Devices(); }
  int ConfigDeviceMode() const override { return profiles_.DeviceMode(); }
  void AddConfigDevice(const std::string& number) override { profiles_.AddDevice(number); }
  bool PhoneLinksChosenElsewhere() override;
  void OpenDefaultApps() override;

  // ---- the parts
  CCtiLink& Link() { return link_; }
  CTrayIcon& Tray() { return tray_; }
  CPopupStack& PopupStack() { return popups_; }
  CFrameRelay& Relay() { return relay_; }
  const CCtiLink& Link() const { return link_; }
  const CProfileState& Profiles() const { return profiles_; }
  const CIdleTimer& Idle() const { return idle_; }
  const CProfileSwitch& Switch() const { return switch_; }
  const CDeferredCommands& Deferred() const { return deferred_; }

  // ---- access for the pieces the frame owns
  fon::IPlatform& Platform() override { return platform_; }
  fon::SettingsStore& Settings() override { return settings_; }
  fon::IDebugOutput& DebugOut() { return platform_.Debug(); }
  fon::WindowHandle Handle() const override;
  std::string LoadLangText(int id) override;
  bool IsCtiLinkUp() const override { return link_.IsLinked(); }
  void RaiseRelayBusy() override { relay_.RaiseBusy(); }
  void LowerRelayBusy() override { relay_.LowerBusy(); }
  void Debug(const std::string& text) { platform_.Debug().Write(text); }
  CCtiPortSocket* CtiSocket() const { return link_.Socket(); }
  bool IsQuitting() const { return m_bQuit != 0; }

 private:
  fon::IPlatform& platform_;
  fon::SettingsStore settings_;
  std::unique_ptr<fon::IFrameWindow> window_;

 public:
  // ---- state (named as the rest of the client knows it)
  // The server as last read, by the CTI connect or by a relay request.
  int m_nServerPort = 0;
  std::string m_strServerAddress;

  int m_nMenuX = 0;
  int m_nMenuY = 0;
  int m_bDoubleClick = 0;
  int m_nTrayMenu = 0;  // menu resource loaded at start-up, 0 = none

  int m_nLanguageIndex = 1;
  std::string m_strCrmRequest;
  int m_bCrmRequest = 0;
  std::string m_strWebsite;

  CIdStringList m_lstExtraCallers;

  // The fields of the call being shown, for its CRM address.
  int m_nDisplayTime = 0;
  std::string m_strRedirInfo;
  std::string m_strCallId;
  std::string m_strCalledUserId;
  std::string m_strParentUserIdText;

  int m_bConfigAfterProfiles = 0;

  // The session is ending: the end profile is on its way, nothing is shown.
  int m_bSessionEnding = 0;

 private:
  // ---- what the idle timer asks of the frame
  void AskForcedProfile() override;
  void RequestSwitch(SwitchPurpose purpose, UserRequest request) override;
  bool SwitchClosed() const override { return switch_.Closed(); }
  void WithdrawSwitch(SwitchPurpose purpose) override { switch_.Withdraw(purpose); }
  void ShowSwitchFailed() override;
  void CutStickyPopup() override;
  void ShowAway(bool away) override;

  // The configuration a registration asked for, once no relay request is
  // being sent.
  void OpenConfigAfterProfiles();
  void DisposeWaitDialog();
  void RegisterDialoutHotkey(bool atStart);
  void RegisterHotkeyAfterConnect();
  // Nothing blocks any more: what was held back runs.
  void RunDeferred();
  void ReadLanguageIndexSetting();
  // The tray menu of the language index (kept for an index without one).
  void SelectTrayMenu();
  void EndProcess();
  // The request that sets the end profile at exit; false when none is
  // configured (then nothing is sent).
  bool EndProfileRequest(UserRequest* request);
  // The end profile did not reach the server: the user decides.
  void ExitNotDone(SwitchOutcome outcome);
  // Held back while a relay send is under way (see CDeferredCommands).
  bool DeferWhileSending(DeferredCommand command, std::function<void()> action) {
    return deferred_.Defer(command, std::move(action));
  }

  // Tasks posted by the frame check it: they may outlive the frame.
  std::shared_ptr<bool> aliveFlag_ = std::make_shared<bool>(true);
  CCtiLink link_;
  CTrayIcon tray_;
  CPopupStack popups_;
  CQuietHold quiet_{platform_, [this] { return settings_.ReadDword(fon::kQuietValue, 1) != 0; },
                    [this] { return DeliverQuietHold(); }};
  CFrameRelay relay_;
  CProfileState profiles_;
  CIdleTimer idle_;
  CProfileSwitch switch_{relay_, *this};
  // Held back while a relay send blocks, or while the hotkey waits for the
  // copy of the selection: a dialog opened inside either would hold it up.
  CDeferredCommands deferred_{platform_.Loop(), [this] { return relay_.RelayBusy() != 0 || hotkeyCopying_; }};
  std::unique_ptr<CWaitForConnectDlg> m_pWaitDlg;
  CDialogSlot m_dlgLogin;
  CDialogSlot m_dlgDialout;
  CDialogSlot m_dlgConfig;
  CDialogSlot m_dlgActiveProfile;
  CDialogSlot m_dlgExitWarning;
  // Wait dialogs finished inside their own notifications; destroyed from
  // the message loop right after.
  fon::DeferredRelease<CWaitForConnectDlg> retiredWaitDialogs_{platform_.Loop()};
  int m_bQuit = 0;
  // New hotkey settings came while a connect was under way.
  bool hotkeyAfterConnect_ = false;
  // The hotkey is waiting for the foreground application's copy.
  bool hotkeyCopying_ = false;
  // The hotkey's clipboard round trip under way (the innermost), if any.
  CClipboardRoundTrip* clipboardTrip_ = nullptr;
  fon::CRecentCalls recentCalls_{platform_.Registry()};
  // The numbers of the recent calls' menu items as last shown.
  std::vector<std::string> recentMenuNumbers_;
};
