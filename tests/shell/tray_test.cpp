// The tray icon's states, clicks and menu, keeping the icon on the taskbar,
// and the dial-out hotkey.
#include <gtest/gtest.h>

#include "tests/shell/shell_fixture.h"

namespace fon::test {
namespace {

class TrayTest : public ShellTest {
 protected:
  static int IconOf(int state) {
    return state == TrayOnline ? IDI_TRAY_ONLINE : state == TrayAway ? IDI_TRAY_AWAY : IDI_TRAY_OFFLINE;
  }
};

TEST_F(TrayTest, StateMachineFollowsTheTable) {
  constexpr int D = kTrayDelete, A = kTrayAdd;
  enum Event { kConnected, kConnectFailed, kClosed, kAway, kBack };
  struct Case {
    int state;
    bool away;
    bool linked;
    Event event;
    std::vector<std::pair<int, int>> calls;
    int newState;
  } cases[] = {
      // With the link up.
      {2, false, true, kConnected, {}, 2},
      {2, false, true, kClosed, {{D, 168}, {D, 165}, {A, 165}}, 1},
      {3, true, true, kClosed, {}, 3},
      {2, false, true, kAway, {{D, 165}, {D, 168}, {A, 167}}, 3},
      {3, true, true, kBack, {{D, 167}, {A, 168}}, 2},
      // With the link down.
      {1, false, false, kConnected, {{D, 165}, {D, 168}, {A, 168}}, 2},
      {3, true, false, kConnected, {}, 3},
      {2, false, false, kConnectFailed, {{D, 168}, {D, 165}, {A, 165}}, 1},
      {1, false, false, kConnectFailed, {}, 1},
      {3, true, false, kConnectFailed, {}, 3},
      {1, false, false, kClosed, {{D, 168}, {D, 165}, {A, 165}}, 1},
      {3, true, false, kBack, {{D, 167}, {A, 165}}, 1},
  };
  const char* tips[] = {"", "CTI - offline", "CTI - online", "CTI - away"};
  ServeCti();
  StartRecording();
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.state) + " event " + std::to_string(c.event));
    if (!c.linked) frame->Link().Drop();
    ASSERT_EQ(frame->Link().IsLinked(), c.linked);
    CTrayIcon& tray = frame->Tray();
    if (c.away) {
      tray.EnterAway();
    } else {
      tray.LeaveAway(c.state == TrayOnline);
      tray.FollowLink(c.state == TrayOnline);
    }
    ASSERT_EQ(tray.State(), c.state);
    sim.shell.trayIcons = {{IconOf(c.state), {kTrayAdd, IconOf(c.state), tips[c.state]}}};
    std::size_t mark = sim.shell.trayCalls.size();
    if (c.event == kConnected) frame->OnCtiConnected();
    if (c.event == kConnectFailed) frame->OnCtiConnectFailed();
    if (c.event == kClosed) frame->OnCtiClosed();
    if (c.event == kAway) static_cast<IIdleHost&>(*frame).ShowAway(true);
    if (c.event == kBack) static_cast<IIdleHost&>(*frame).ShowAway(false);
    std::vector<std::pair<int, int>> calls;
    for (std::size_t i = mark; i < sim.shell.trayCalls.size(); ++i)
      calls.emplace_back(sim.shell.trayCalls[i].message, sim.shell.trayCalls[i].icon);
    EXPECT_EQ(calls, c.calls);
    EXPECT_EQ(frame->Tray().State(), c.newState);
    EXPECT_EQ(sim.shell.VisibleTrayTip(), tips[c.newState]);
    EXPECT_EQ(frame->Tray().IsAway(), c.newState == TrayAway);
  }
}

TEST_F(TrayTest, SingleClickShowsTheLastCallAndADoubleClickOnlyTheWebsite) {
  sim.shell.doubleClickTime = 400;
  StartRecording();
  frame->OnTrayNotify(kWmLButtonDown);
  frame->OnTrayNotify(kWmLButtonUp);
  sim.loop.RunFor(399);
  EXPECT_TRUE(Shown().empty());
  sim.loop.RunFor(1);
  EXPECT_EQ(Shown(), (Popups{{0, "", 0}}));

  frame->OnTrayNotify(kWmLButtonDown);
  sim.loop.RunFor(150);
  frame->OnTrayNotify(kWmLButtonDblClk);
  sim.loop.RunFor(1000);
  EXPECT_EQ(Shown().size(), 1u);
  EXPECT_EQ(sim.shell.browserOpened, std::vector<std::string>{"http://tsg.example/tpm"});
  EXPECT_EQ(frame->m_strWebsite, "http://tsg.example/tpm");
  EXPECT_FALSE(Running(ID_TIMER_TRAY_CLICK));
}

TEST_F(TrayTest, RightClickMenuAndItsCommands) {
  StartRecording();
  sim.shell.cursor = {1200, 990};
  int commands[] = {ID_MENU_DIALOUT, ID_MENU_CONFIG, ID_MENU_LOGIN, 0, ID_MENU_EXIT};
  for (int command : commands) {
    sim.shell.menuScript.push_back([command] { return command; });
    frame->OnTrayNotify(kWmRButtonDown);
  }
  // The commands arrive once the menu has closed, not inside its callback.
  EXPECT_TRUE(Dialogs().empty());
  sim.loop.RunPending();
  EXPECT_EQ(Dialogs(), (std::vector<std::string>{"dialout ", "configuration", "login"}));
  ASSERT_EQ(sim.shell.menusShown.size(), 5u);
  EXPECT_EQ(sim.shell.menusShown[0].first, IDR_TRAYMENU_EN);
  EXPECT_EQ(sim.shell.menusShown[0].second.x, 1200);
  EXPECT_EQ(sim.shell.menusShown[0].second.y, 990);
  EXPECT_EQ(sim.shell.foregroundSets.back(), frame->Handle());
  sim.loop.RunFor(500);
  EXPECT_TRUE(sim.frame->destroyed);  // Exit without an end profile
}

TEST_F(TrayTest, MenuAskedForDuringARelaySendOpensHalfASecondAfterIt) {
  ServeRelay().connectDelayMs = 3000;
  StartRecording();
  sim.loop.Schedule(1000, [&] { frame->OnTrayNotify(kWmRButtonDown); });
  ASSERT_EQ(frame->SendRelayRequest({"GETDEVICES", ""}, 18), 1);
  EXPECT_TRUE(sim.shell.menusShown.empty());
  sim.loop.RunFor(499);
  EXPECT_TRUE(sim.shell.menusShown.empty());
  sim.loop.RunFor(1);
  EXPECT_EQ(sim.shell.menusShown.size(), 1u);
  EXPECT_FALSE(Running(ID_TIMER_TRAY_MENU));
}

TEST_F(TrayTest, IconComesBackAfterAShellRestartAndAFailedAdd) {
  sim.shell.shellUnavailable = true;  // the shell is not up at start
  StartRecording();
  sim.loop.RunFor(3000);
  EXPECT_TRUE(sim.shell.trayIcons.empty());
  sim.shell.shellUnavailable = false;
  sim.loop.RunFor(1000);
  EXPECT_EQ(sim.shell.VisibleTrayIcon(), IDI_TRAY_OFFLINE);
  EXPECT_FALSE(Running(ID_TIMER_TRAY_RETRY));

  static_cast<IIdleHost&>(*frame).ShowAway(true);
  sim.shell.trayIcons.clear();  // explorer restarted and forgot every icon
  sim.frame->events->OnTaskbarCreated();
  EXPECT_EQ(sim.shell.VisibleTrayTip(), "CTI - away");

  // A shell that stays away: the retries end after a minute, and the
  // taskbar's message still brings the icon back.
  sim.shell.trayIcons.clear();
  sim.shell.shellUnavailable = true;
  sim.frame->events->OnTaskbarCreated();
  sim.loop.RunFor(60000);
  EXPECT_TRUE(Logged("Tray icon could not be added\n"));
  std::size_t calls = sim.shell.trayCalls.size();
  sim.loop.RunFor(5000);
  EXPECT_EQ(sim.shell.trayCalls.size(), calls);
  sim.shell.shellUnavailable = false;
  sim.frame->events->OnTaskbarCreated();
  EXPECT_EQ(sim.shell.VisibleTrayIcon(), IDI_TRAY_AWAY);
}

TEST_F(TrayTest, RetryLeavesAnIconThatAConnectAddedMeanwhile) {
  sim.shell.failNextNotify = true;
  ServeCti();
  StartRecording();
  sim.loop.RunFor(2000);
  EXPECT_EQ(sim.shell.VisibleTrayIcon(), IDI_TRAY_ONLINE);
  EXPECT_FALSE(Running(ID_TIMER_TRAY_RETRY));
}

TEST_F(TrayTest, HotkeyTakesTheSelectionAndGivesTheClipboardBack) {
  constexpr int kNever = -1;
  using Items = std::vector<ClipboardItem>;
  auto text = [](const std::string& t) { return Items{{kClipboardText, t + '\0'}}; };
  const Items old = text("old");
  // Formatted text beside a picture, as an office program copies them.
  const Items rich = {{kClipboardText, std::string("old\0", 4)}, {0xC001, "{\\rtf1 old}"}, {kClipboardDib, "BM\x28\0"}};
  struct Case {
    Items before;                       // the user's clipboard
    std::optional<std::string> copied;  // what the application copies
    int copyAfterMs;                    // after the strokes; kNever: no change at all
    int holdsOpenMs;                    // the application keeps the clipboard open so long
    bool busyAtFirst;                   // another program holds the clipboard
    std::optional<std::string> userCopy;  // copied by the user while the dialog is open
    std::string selection;
    std::uint64_t dialogAtMs;  // from the press
    Items after;
  } cases[] = {
      {old, "030 1234", 0, 0, false, {}, "030 1234", 50, old},
      {old, "030 1234", 120, 0, false, {}, "030 1234", 170, old},
      {old, std::nullopt, 0, 0, false, {}, "", 50, old},  // emptied only: nothing selected
      {old, std::nullopt, kNever, 0, false, {}, "", 550, old},
      {old, "late", 600, 0, false, {}, "", 550, text("late")},  // the application's, after ours
      {{}, "0301234", 0, 0, false, {}, "0301234", 50, {}},
      {old, "0301234", 0, 0, true, {}, "0301234", 50, text("0301234")},  // nothing could be kept
      {old, std::string(100000, '5'), 0, 0, false, {}, std::string(100000, '5'), 50, old},
      {old, std::string("03\0" "01", 5), 0, 0, false, {}, "03", 50, old},
      {rich, "0301234", 10, 300, false, {}, "0301234", 360, rich},
      {rich, "0301234", 10, 600, false, {}, "", 550, text("0301234")},  // held open too long
      {rich, "0301234", 0, 0, false, "new", "0301234", 50, text("new")},
  };
  StartRecording();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.selection.substr(0, 20) + " after " + std::to_string(c.copyAfterMs));
    sim.clipboard.CopyFromOther(c.before);
    sim.clipboard.lockedByOther = c.busyAtFirst;
    std::uint64_t start = sim.loop.NowMs();
    sim.shell.onCopyKeys = [&] {
      EXPECT_EQ(sim.loop.NowMs() - start, 50u);
      EXPECT_EQ(!sim.clipboard.items.empty(), c.busyAtFirst && !c.before.empty());  // emptied first
      EXPECT_FALSE(sim.clipboard.open);
      sim.clipboard.lockedByOther = false;
      if (c.copyAfterMs == kNever) return;
      sim.loop.Schedule(c.copyAfterMs, [&] {
        sim.clipboard.CopyFromOther(c.copied);
        sim.clipboard.lockedByOther = c.holdsOpenMs > 0;
        sim.loop.Schedule(c.holdsOpenMs, [&] { sim.clipboard.lockedByOther = false; });
      });
    };
    rec->duringDialog = [&] {
      EXPECT_EQ(sim.loop.NowMs() - start, c.dialogAtMs);
      EXPECT_FALSE(sim.clipboard.open);  // other programs may copy and paste meanwhile
      EXPECT_TRUE(rec->dialoutFromHotkey);
      if (c.userCopy) sim.clipboard.CopyFromOther(c.userCopy);
    };
    frame->OnHotKey(ID_HOTKEY_DIALOUT);
    sim.loop.RunFor(1000);  // a late copy lands after the restore and is the application's
    EXPECT_EQ(rec->dialogs.back(), "dialout " + c.selection);
    EXPECT_EQ(sim.clipboard.items, c.after);
    EXPECT_FALSE(sim.clipboard.open);
  }
  frame->OnHotKey(ID_HOTKEY_DIALOUT + 1);  // not ours
  EXPECT_EQ(sim.shell.copyKeyPresses, 12);
}

}  // namespace
}  // namespace fon::test
