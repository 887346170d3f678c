// Start-up of the client: instance check, language, user id, timers, hotkey.
#include <gtest/gtest.h>

#include "app/frame_ids.h"
#include "frame_fixture.h"

namespace fon::test {
namespace {

class StartupTest : public FrameTest {};

TEST_F(StartupTest, RegisteredStartShowsTheOfflineIconConnectsAndArmsSupervision) {
  SeedRegisteredUser();
  ServeCti();
  Start();
  ASSERT_FALSE(sim.debug.lines.empty());
  EXPECT_EQ(sim.debug.lines.front(), "\n\nFonaris started\n");
  // The icon is added offline first, then replaced once the link is up.
  ASSERT_FALSE(sim.shell.trayCalls.empty());
  EXPECT_EQ(sim.shell.trayCalls.front().message, kTrayAdd);
  EXPECT_EQ(sim.shell.trayCalls.front().icon, IDI_TRAY_OFFLINE);
  EXPECT_EQ(sim.shell.trayCalls.front().tip, "CTI - offline");
  EXPECT_EQ(sim.shell.VisibleTrayIcon(), IDI_TRAY_ONLINE);
  EXPECT_EQ(sim.shell.VisibleTrayTip(), "CTI - online");
  EXPECT_TRUE(Linked());
  EXPECT_EQ(sim.timers.Interval(frame.get(), ID_TIMER_RECONNECT), 30000u);
  EXPECT_EQ(sim.timers.Interval(frame.get(), ID_TIMER_RESTART), 120000u);
  EXPECT_FALSE(sim.timers.IsTimerRunning(frame.get(), ID_TIMER_IDLE));
  EXPECT_TRUE(Logged("Hotkey-registration successfull\n"));
  EXPECT_EQ(sim.shell.hotkeys[ID_HOTKEY_DIALOUT], std::make_pair(0u, 119u));
  // The start pauses a second while the connect is under way.
  EXPECT_GE(sim.loop.NowMs(), 1000u);
}

TEST_F(StartupTest, LanguageNameChoosesIndexAndTrayMenu) {
  struct Case {
    const char* language;
    int index;
    int menu;
  } cases[] = {{"English", 2, IDR_TRAYMENU_EN},
               {"Deutsch", 1, IDR_TRAYMENU_DE},
               {"", 1, IDR_TRAYMENU_DE},
               {"english", 1, IDR_TRAYMENU_DE},
               {"Klingon", 1, IDR_TRAYMENU_DE}};
  for (const Case& c : cases) {
    sim::SimPlatform fresh;
    fresh.registry.CreateKey(kMainKey);
    fresh.registry.SetDword(kMainKey, "User ID", 42);
    fresh.registry.SetString(kMainKey, "Language", c.language);
    CMainFrame f(fresh);
    ASSERT_EQ(f.Create(), 0);
    EXPECT_EQ(f.m_nLanguageIndex, c.index) << c.language;
    EXPECT_EQ(fresh.registry.GetDword(kMainKey, "Language Index"), c.index) << c.language;
    EXPECT_EQ(f.m_nTrayMenu, c.menu) << c.language;
  }
}

TEST_F(StartupTest, UnregisteredUserEndsAboutASecondLaterWithoutIcon) {
  for (std::optional<int> userId : {std::optional<int>(0), std::optional<int>(), std::optional<int>(-3),
                                    std::optional<int>(1000001)}) {
    sim::SimPlatform fresh;
    fresh.registry.CreateKey(kMainKey);
    fresh.registry.CreateKey(kDialOutKey);
    fresh.registry.SetDword(kDialOutKey, "Entrys", 7);
    fresh.registry.SetDword(kDialOutKey, "LastChanged", 3);
    if (userId) fresh.registry.SetDword(kMainKey, "User ID", *userId);
    fresh.network.Listen(kServer, kCtiPort);
    CMainFrame f(fresh);
    ASSERT_EQ(f.Create(), 0);
    EXPECT_EQ(fresh.registry.GetDword(kDialOutKey, "Entrys"), 0);
    EXPECT_EQ(fresh.registry.GetDword(kDialOutKey, "LastChanged"), 0);
    fresh.loop.RunFor(900);
    EXPECT_FALSE(fresh.frame->destroyed);
    fresh.loop.RunFor(200);
    EXPECT_TRUE(fresh.frame->destroyed);
    EXPECT_TRUE(fresh.shell.trayCalls.empty() ||
                (fresh.shell.trayCalls.size() == 1 && fresh.shell.trayCalls[0].message == kTrayDelete));
    EXPECT_TRUE(fresh.shell.trayIcons.empty());
    EXPECT_TRUE(fresh.network.connections.empty());
  }
}

TEST_F(StartupTest, UserIdsAtTheEdgesOfTheRangeAreRegistered) {
  for (int userId : {1, 1000000}) {
    sim::SimPlatform fresh;
    fresh.registry.CreateKey(kMainKey);
    fresh.registry.CreateKey(kDialOutKey);
    fresh.registry.SetDword(kDialOutKey, "Entrys", 7);
    fresh.registry.SetDword(kMainKey, "User ID", userId);
    CMainFrame f(fresh);
    ASSERT_EQ(f.Create(), 0);
    EXPECT_EQ(fresh.registry.GetDword(kDialOutKey, "Entrys"), 7) << userId;
    EXPECT_FALSE(f.IsQuitting());
    EXPECT_EQ(fresh.shell.VisibleTrayIcon(), IDI_TRAY_OFFLINE);
  }
}

TEST_F(StartupTest, SecondInstanceLeavesNoTraceAndEnds) {
  SeedRegisteredUser();
  ServeCti();
  Start();
  const std::size_t connections = sim.network.connections.size();
  const std::size_t trayCalls = sim.shell.trayCalls.size();

  // Same desktop, same user, same network: the mutex already exists.
  CMainFrame other(sim);
  ASSERT_EQ(other.Create(), 0);
  EXPECT_TRUE(other.IsQuitting());
  sim.loop.RunFor(900);
  EXPECT_FALSE(sim.frame->destroyed);
  sim.loop.RunFor(200);
  EXPECT_TRUE(sim.frame->destroyed);
  // The only tray call of the second instance is the delete of its end.
  ASSERT_EQ(sim.shell.trayCalls.size(), trayCalls + 1);
  EXPECT_EQ(sim.shell.trayCalls.back().message, kTrayDelete);
  EXPECT_EQ(LoggedCount("Hotkey-registration successfull\n"), 1);
  EXPECT_EQ(sim.network.connections.size(), connections);
  EXPECT_EQ(sim.dialogs.size(), 1u);
}

// The connect and the tray icon are under way before the start's pause:
// both complete at its end, not a second later.
TEST_F(StartupTest, TheStartPausesASecondAfterTheConnectAndTheTrayAdd) {
  SeedRegisteredUser();
  ServeCti().connectDelayMs = 1000;
  sim.shell.failNextNotify = true;  // the add fails; its retry is due a second after it
  frame = std::make_unique<CMainFrame>(sim);
  ASSERT_EQ(frame->Create(), 0);
  EXPECT_EQ(sim.loop.NowMs(), 1000u);
  EXPECT_EQ(sim.shell.trayCalls.size(), 1u);
  sim.loop.RunPending();
  EXPECT_TRUE(Linked());
  EXPECT_FALSE(sim.timers.IsTimerRunning(frame.get(), ID_TIMER_TRAY_RETRY));
  EXPECT_EQ(sim.timers.Interval(frame.get(), ID_TIMER_RECONNECT), 30000u);
}

TEST_F(StartupTest, SharedDesktopMutexIsReleasedWithTheProcess) {
  auto desktop = std::make_shared<sim::SimDesktop>();
  {
    sim::SimPlatform first(desktop);
    EXPECT_FALSE(first.shell.CreateInstanceMutex("Fonaris"));
    sim::SimPlatform second(desktop);
    EXPECT_TRUE(second.shell.CreateInstanceMutex("Fonaris"));
  }
  sim::SimPlatform later(desktop);
  EXPECT_FALSE(later.shell.CreateInstanceMutex("Fonaris"));
}

TEST_F(StartupTest, IdleLimitIsCheckedAtStart) {
  // No minutes at all switch the idle timer off.
  struct Case {
    int stored;
    int used;
  } cases[] = {{1442, 30}, {-1, 30}, {1441, 1441}, {0, 0}, {15, 15}};
  for (const Case& c : cases) {
    sim::SimPlatform fresh;
    fresh.registry.CreateKey(kMainKey);
    fresh.registry.SetDword(kMainKey, "User ID", 42);
    fresh.registry.SetDword(kMainKey, "Idle Timer Checkbox", 1);
    fresh.registry.SetDword(kMainKey, "Idle Timer", c.stored);
    CMainFrame f(fresh);
    ASSERT_EQ(f.Create(), 0);
    EXPECT_EQ(f.Idle().Minutes(), c.used) << c.stored;
    EXPECT_EQ(fresh.debug.Contains("Activate IDLE TIMER\n"), c.used > 0);
    EXPECT_EQ(fresh.timers.IsTimerRunning(&f, ID_TIMER_IDLE), c.used > 0);
  }
}

TEST_F(StartupTest, StoredHotkeyIsRegisteredUnlessOutOfRange) {
  struct Case {
    int modifier;
    int key;
    unsigned wantModifier;
    unsigned wantKey;
  } cases[] = {{10001, 65, 0, 119}, {2, 10001, 0, 119}, {10000, 10000, 10000, 10000}, {2, 65, 2, 65}};
  for (const Case& c : cases) {
    sim::SimPlatform fresh;
    fresh.registry.CreateKey(kMainKey);
    fresh.registry.SetDword(kMainKey, "User ID", 42);
    fresh.registry.SetDword(kMainKey, "Hotkey - Modifier", c.modifier);
    fresh.registry.SetDword(kMainKey, "Hotkey - Virtual Key", c.key);
    CMainFrame f(fresh);
    ASSERT_EQ(f.Create(), 0);
    EXPECT_EQ(fresh.shell.hotkeys[ID_HOTKEY_DIALOUT], std::make_pair(c.wantModifier, c.wantKey));
  }
}

TEST_F(StartupTest, HotkeyTakenByAnotherProgramOnlyWritesTheFailure) {
  auto desktop = std::make_shared<sim::SimDesktop>();
  desktop->hotkeysTakenByOthers[1] = {0, 119};
  sim::SimPlatform fresh(desktop);
  fresh.registry.CreateKey(kMainKey);
  fresh.registry.SetDword(kMainKey, "User ID", 42);
  CMainFrame f(fresh);
  ASSERT_EQ(f.Create(), 0);
  EXPECT_TRUE(fresh.debug.Contains("Fehler beim Registrieren des Hotkeys\n"));
  EXPECT_TRUE(fresh.shell.hotkeys.empty());
  EXPECT_EQ(fresh.shell.VisibleTrayIcon(), IDI_TRAY_OFFLINE);
}

TEST_F(StartupTest, CrmTemplateIsTakenWhenReadable) {
  SeedRegisteredUser();
  sim.registry.SetString(kMainKey, "CRM HTML Request", "http://crm/?n={CALLERNO}");
  Start();
  EXPECT_EQ(frame->m_bCrmRequest, 1);
  EXPECT_EQ(frame->m_strCrmRequest, "http://crm/?n={CALLERNO}");

  sim::SimPlatform tooLong;
  tooLong.registry = sim.registry;
  tooLong.registry.SetString(kMainKey, "CRM HTML Request", std::string(1024, 'x'));
  CMainFrame f(tooLong);
  ASSERT_EQ(f.Create(), 0);
  EXPECT_EQ(f.m_bCrmRequest, 0);
}

TEST_F(StartupTest, WaitNoticeIsShownInTheStoredLanguageUntilTheFirstOutcome) {
  SeedRegisteredUser();
  sim.registry.SetString(kMainKey, "Language", "English");
  auto& cti = ServeCti();
  cti.connectDelayMs = 3000;  // a slow server: the notice stays meanwhile
  frame = std::make_unique<CMainFrame>(sim);
  ASSERT_EQ(frame->Create(), 0);
  ASSERT_EQ(sim.dialogs.size(), 1u);
  auto notice = sim.dialogs[0];
  EXPECT_EQ(notice->templateId, 110);
  EXPECT_FALSE(notice->dragByFace);  // a notice stays where it is put
  EXPECT_TRUE(notice->visible);
  EXPECT_TRUE(notice->centered);
  EXPECT_GE(notice->redraws, 1);
  EXPECT_EQ(notice->items[1061], "Please wait a moment. The Fonaris is trying to connect to the server.");
  sim.loop.RunFor(2500);
  EXPECT_FALSE(notice->visible);
  EXPECT_TRUE(notice->destroyed);
  EXPECT_TRUE(Linked());
}

TEST_F(StartupTest, CloseRequestRemovesTheIconAndEnds) {
  SeedRegisteredUser();
  ServeCti();
  Start();
  frame->OnClose();
  EXPECT_TRUE(sim.shell.trayIcons.empty());
  EXPECT_TRUE(sim.frame->destroyed);
  EXPECT_FALSE(sim.timers.IsTimerRunning(frame.get(), ID_TIMER_RECONNECT));
}

}  // namespace
}  // namespace fon::test
