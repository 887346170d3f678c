#include "app/main_frame.h"

#include <algorithm>

#include "calls/popup.h"
#include "common/debug_text.h"
#include "dialogs/wait_for_connect_dlg.h"
#include "net/cti_port_socket.h"
#include "net/relay_socket.h"
#include "settings/lang_text.h"
#include "settings/texts.h"
#include "settings/value_rules.h"

using namespace fon;

namespace {

constexpr char kInstanceMutex[] = "Fonaris";
constexpr unsigned kStartPauseMs = 1000;

}  // namespace

CMainFrame::CMainFrame(IPlatform& platform)
    : platform_(platform), settings_(platform.Registry(), platform.MachineRegistry()) {
  Debug("\n\nFonaris started\n");
  for (auto& popup : m_apPopups) popup = std::make_unique<CPopup>(platform_);
  m_ptLastCursor = platform_.Input().GetCursorPos();
  for (int slot = 0; slot < 5; ++slot) m_lstPopupSlots.AddHead(0, slot, std::string());
  MakeCtiSocket("Failed to create client socket: %d!");
}

CMainFrame::~CMainFrame() {
  *aliveFlag_ = false;
  platform_.Timers().KillAllTimers(this);
  for (int state = TrayOffline; state <= TrayAway; ++state) SetTrayState(kTrayDelete, state);
  platform_.Input().UnregisterHotKey(ID_HOTKEY_DIALOUT);
  if (m_pCtiSocket) m_pCtiSocket->Close();
  m_pCtiSocket.reset();
  // Popups unlink from each other as they go; older ones first is fine
  // because each keeps only plain pointers.
  for (auto& popup : m_apPopups) popup.reset();
  m_pWaitDlg.reset();
  retiredSockets_.clear();
  retiredWaitDialogs_.clear();
}

WindowHandle CMainFrame::Handle() const { return window_ ? window_->Handle() : 0; }

std::string CMainFrame::LoadLangText(int id) { return fon::LoadLangText(settings_, platform_.Resources(), id); }

int CMainFrame::Create() {
  window_ = platform_.CreateFrameWindow(this);
  if (!window_) return -1;
  return OnCreate();
}

int CMainFrame::OnCreate() {
  settings_.CreateRegKey(kMainKey);

  // 1. One client per user: a second instance only waits for its end.
  if (platform_.Process().CreateInstanceMutex(kInstanceMutex)) {
    platform_.Timers().SetTimer(this, ID_TIMER_QUIT, kQuitDelayMs);
    m_bQuit = 1;
  }

  // 2.-3. The language index follows the stored language name.
  std::string language = settings_.ReadString("Language");
  m_nLanguageIndex = LanguageIndexFromName(platform_.Resources().LoadString(173), language);
  settings_.WriteDword("Language Index", m_nLanguageIndex);

  // 4. The CRM address template, when an administrator has set one.
  std::string crm;
  if (settings_.QueryRegString(kMainKey, "CRM HTML Request", &crm) == 0) {
    m_strCrmRequest = crm;
    m_bCrmRequest = 1;
  }

  // 5. Without a valid user id the client cannot recognise the user's calls.
  std::int32_t userId = 0;
  settings_.QueryRegDword(kMainKey, "User ID", &userId);
  if (!IsRegisteredUserId(userId)) {
    settings_.CreateRegKey(kDialOutKey);
    settings_.SetRegDword(kDialOutKey, "Entrys", 0);
    settings_.SetRegDword(kDialOutKey, "LastChanged", 0);
    // Registering needs the login dialog, which this build does not have
    // yet: the start goes on as if the user had cancelled it.
    platform_.Timers().SetTimer(this, ID_TIMER_QUIT, kQuitDelayMs);
    m_bQuit = 1;
  }

  // 6. A client that is to quit does nothing more until timer 2 ends it.
  if (m_bQuit) return 0;

  // 7.-8. Periodic restart and, when switched on, the idle timer.
  platform_.Timers().SetTimer(this, ID_TIMER_RESTART, kRestartIntervalMs);
  if (settings_.ReadDword("Idle Timer Checkbox") == 1) {
    Debug("Activate IDLE TIMER\n");
    m_nIdleMinutes = IdleMinutesAtStart(settings_.ReadDword("Idle Timer"));
    platform_.Timers().SetTimer(this, ID_TIMER_IDLE, 1000);
    m_bIdleTimerRunning = 1;
  }

  // 9.-10. The frame has no visible bars: it stays hidden for good.

  // 11. The dial-out hotkey.
  RegisterDialoutHotkey(true);

  // 12. Connect to the CTI port, showing the wait notice.
  ConnectCtiPort();

  // 13. The tray icon stands for the hidden frame.
  SetTrayState(kTrayAdd, m_nTrayState);

  // 14.-15. Language index (clamped) and the tray menu of that language.
  ReadLanguageIndexSetting();
  if (m_nLanguageIndex == 1) m_nTrayMenu = kTrayMenuGerman;
  if (m_nLanguageIndex == 2) m_nTrayMenu = kTrayMenuEnglish;

  // 16.-17. A pause, then supervision starts.
  platform_.Loop().Sleep(kStartPauseMs);
  platform_.Timers().SetTimer(this, ID_TIMER_RECONNECT, kReconnectIntervalMs);
  return 0;
}

void CMainFrame::ReadLanguageIndexSetting() {
  m_nLanguageIndex = LanguageIndexClamp(settings_.ReadDword("Language Index"));
  m_strLanguageIndex = std::to_string(m_nLanguageIndex);
}

void CMainFrame::RegisterDialoutHotkey(bool atStart) {
  // A value that cannot be read leaves F8 without modifier.
  std::uint16_t modifier = 0;
  std::uint16_t virtualKey = kDefaultHotkeyVk;
  settings_.QueryRegWord(kMainKey, "Hotkey - Modifier", &modifier);
  settings_.QueryRegWord(kMainKey, "Hotkey - Virtual Key", &virtualKey);
  Hotkey key = atStart ? HotkeyAtStart(modifier, virtualKey) : Hotkey{modifier, virtualKey};
  if (platform_.Input().RegisterHotKey(ID_HOTKEY_DIALOUT, key.modifier, key.virtualKey))
    Debug(atStart ? "Hotkey-registration successfull\n" : "Hotkey registration successfull\n");
  else
    Debug("Fehler beim Registrieren des Hotkeys\n");
}

void CMainFrame::OnSize(int sizeType) {
  if (sizeType != SIZE_MINIMIZED) return;
  // Slots are reused out of order, so every slot is looked at; a popup that
  // is not on screen ignores the request.
  if (m_nPopupCount == 0) return;
  for (auto& popup : m_apPopups)
    if (popup) popup->ShowNoActivate();
}

bool CMainFrame::SetTrayState(int message, int state) {
  int icon = 0;
  std::string tip;
  switch (state) {
    case TrayOffline:
      icon = kTrayIconOffline;
      tip = "CTI - offline";
      break;
    case TrayOnline:
      icon = kTrayIconOnline;
      tip = "CTI - online";
      break;
    case TrayAway:
      icon = kTrayIconAway;
      tip = "CTI - away";
      break;
    default:
      break;
  }
  bool done = platform_.Tray().NotifyIcon(message, icon, tip.substr(0, 63));
  if (message == kTrayAdd && !done) StartTrayIconRetry();
  return done;
}

void CMainFrame::EndProcess() {
  SetTrayState(kTrayDelete, m_nTrayState);
  if (window_) window_->Destroy();
}

void CMainFrame::ScheduleCleanup() {
  if (cleanupPosted_) return;
  cleanupPosted_ = true;
  std::shared_ptr<bool> alive = aliveFlag_;
  platform_.Loop().Post([this, alive]() {
    if (!*alive) return;
    cleanupPosted_ = false;
    retiredSockets_.clear();
    retiredWaitDialogs_.clear();
    retiredRelaySockets_.clear();
  });
}
