#include "app/main_frame.h"

#include <algorithm>

#include "calls/popup.h"
#include "common/debug_text.h"
#include "dialogs/wait_for_connect_dlg.h"
#include "login/reg_user_id.h"
#include "res/resource.h"
#include "settings/lang_text.h"
#include "settings/texts.h"
#include "settings/value_rules.h"
#include "text_ids.h"

using namespace fon;

namespace {

constexpr char kInstanceMutex[] = "Fonaris";
constexpr unsigned kStartPauseMs = 1000;

}  // namespace

CMainFrame::CMainFrame(IPlatform& platform)
    : platform_(platform),
      settings_(platform.Registry(), platform.MachineRegistry()),
      link_(platform_, *this),
      tray_(platform_, *this),
      popups_(
          platform_, [this](int id) { return LoadLangText(id); }, [this] { return Handle(); }),
      relay_(platform_, settings_, *this),
      idle_(platform_, settings_, *this, ID_TIMER_IDLE, profiles_, *this) {
  Debug("\n\nFonaris started\n");
  popups_.SetCallBack([this](const std::string& number) { CallBackFromPopup(number); });
  link_.MakeSocket("Failed to create client socket: %d!");
}

CMainFrame::~CMainFrame() {
  *aliveFlag_ = false;
  platform_.Timers().KillAllTimers(this);
  tray_.RemoveAll();
  platform_.Input().UnregisterHotKey(ID_HOTKEY_DIALOUT);
  m_pWaitDlg.reset();
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
    // Started for a phone link: the running client dials it.
    HandOverLaunchLink();
  }

  // 2.-3. The language index follows the stored language name.
  std::string language = settings_.ReadString("Language");
  m_nLanguageIndex = LanguageIndexFromName(platform_.Resources().LoadString(text::kLanguages), language);
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
    CRegUserID registration(*this);
    if (registration.DoModal() == kIdOk) {
      // The user has a server now, but no settings of their own yet.
      m_bConfigAfterProfiles = 1;
    } else {
      platform_.Timers().SetTimer(this, ID_TIMER_QUIT, kQuitDelayMs);
      m_bQuit = 1;
    }
  }

  // 6. A client that is to quit does nothing more until timer 2 ends it.
  if (m_bQuit) return 0;

  // 7.-8. Periodic restart and, when switched on, the idle timer.
  platform_.Timers().SetTimer(this, ID_TIMER_RESTART, kRestartIntervalMs);
  idle_.StartAtCreate();

  // 9.-10. The frame has no visible bars: it stays hidden for good.

  // 11. The dial-out hotkey.
  RegisterDialoutHotkey(true);

  // 12. Connect to the CTI port, showing the wait notice.
  ConnectCtiPort();

  // 13. The tray icon stands for the hidden frame.
  tray_.Add();

  // 14.-15. Language index (clamped) and the tray menu of that language.
  ReadLanguageIndexSetting();
  SelectTrayMenu();

  // 16.-17. A pause, then supervision starts.
  platform_.Loop().Sleep(kStartPauseMs);
  platform_.Timers().SetTimer(this, ID_TIMER_RECONNECT, kReconnectIntervalMs);

  // Phone links reach this client from now on; one it was started for opens.
  ApplyPhoneLinks();
  OpenLaunchLink();
  return 0;
}

void CMainFrame::ReadLanguageIndexSetting() {
  m_nLanguageIndex = LanguageIndexClamp(settings_.ReadDword("Language Index"));
}

void CMainFrame::SelectTrayMenu() {
  if (m_nLanguageIndex == 1) m_nTrayMenu = IDR_TRAYMENU_DE;
  if (m_nLanguageIndex == 2) m_nTrayMenu = IDR_TRAYMENU_EN;
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
  // A minimised frame is hidden; its popups stay on screen.
  if (window_) window_->Show(false);
  popups_.ShowAgain();
}

void CMainFrame::EndProcess() {
  tray_.Remove();
  if (window_) window_->Destroy();
}

void CMainFrame::NoteServer(const std::string& address, int port) {
  m_strServerAddress = address;
  m_nServerPort = port;
}
