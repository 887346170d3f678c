// Phone links (registration, hand-over from a second start) and the recent
// calls with their tray sub-menu.
#include <gtest/gtest.h>

#include "dialout/phone_link.h"
#include "tests/shell/shell_fixture.h"

namespace fon::test {
namespace {

class DialoutLinksTest : public ShellTest {};

TEST_F(DialoutLinksTest, RegistrationFollowsTheSettingAndSparesAnotherHandler) {
  const std::string command = "\"C:\\Program Files\\Fonaris\\fonaris.exe\" --link \"%1\"";
  const std::string telCommand = "Software\\Classes\\tel\\shell\\open\\command";
  ServeCti();
  StartRecording();  // on by default
  for (const char* scheme : {"tel", "callto"}) {
    const std::string key = std::string("Software\\Classes\\") + scheme;
    EXPECT_EQ(sim.registry.GetString(key, ""), std::string("URL:") + scheme);
    EXPECT_EQ(sim.registry.GetString(key, "URL Protocol"), "");
    EXPECT_EQ(sim.registry.GetString(key + "\\shell\\open\\command", ""), command);
  }
  sim.registry.SetDword(kMainKey, kPhoneLinksSetting, 0);
  frame->ApplySettings();
  EXPECT_FALSE(sim.registry.HasKey("Software\\Classes\\tel"));
  EXPECT_FALSE(sim.registry.HasKey("Software\\Classes\\callto\\shell"));
  EXPECT_TRUE(sim.registry.HasKey("Software\\Classes"));

  // Switched off, another program's handler stays; on again, ours wins.
  sim.registry.CreateKey(telCommand);
  sim.registry.SetString(telCommand, "", "other.exe %1");
  frame->ApplySettings();
  EXPECT_EQ(sim.registry.GetString(telCommand, ""), "other.exe %1");
  sim.registry.SetDword(kMainKey, kPhoneLinksSetting, 1);
  frame->ApplySettings();
  EXPECT_EQ(sim.registry.GetString(telCommand, ""), command);
}

TEST_F(DialoutLinksTest, ASecondStartHandsItsLinkOverAndEnds) {
  ServeCti();
  StartRecording();
  struct Case {
    std::string link;
    std::vector<std::string> dialogs;
  } cases[] = {
      {"tel:+49-30-123;ext=5", {"dialout 004930123"}},
      {"callto:%2B49%20(0)30%201234", {"dialout 0049301234"}},
      {"tel:garbage", {}},
      {"", {}},
  };
  for (const Case& c : cases) {
    Dialogs().clear();
    sim.shell.launchLink = c.link;
    CMainFrame second(sim);
    ASSERT_EQ(second.Create(), 0);
    EXPECT_TRUE(second.IsQuitting());
    sim.loop.RunFor(10);
    EXPECT_EQ(Dialogs(), c.dialogs) << c.link;
  }
  EXPECT_EQ(LoggedCount("Phone link handed to the running client\n"), 3);
}

TEST_F(DialoutLinksTest, AFirstStartForALinkOpensTheDialogOnceRunning) {
  ServeCti();
  sim.shell.launchLink = "tel:0301234567";
  StartRecording();
  EXPECT_EQ(Dialogs(), std::vector<std::string>{"dialout 0301234567"});
  EXPECT_EQ(LoggedCount("No running client took the phone link\n"), 0);
}

TEST_F(DialoutLinksTest, RecentCallsKeepTwentyAcrossRestartsAndCallBackFromTheMenu) {
  ServeCti();
  sim.registry.SetDword(kMainKey, "Parent User ID", 7);
  StartRecording();
  sim.shell.foreground = 0;  // no window has the focus: no popup, still a recent call
  auto call = [&](const std::string& name, const std::string& number, int user) {
    frame->OnCtiMessage("X|17|" + name + "|" + number + "|0302222|" + std::to_string(user) + "|\n",
                        "Tue Dec  8 07:05:03 2026\n");
  };
  call("Other", "0309999", 99);  // not the user's
  call("NoNumber", "", 42);      // cannot be called back
  call("Parent", "0307777", 7);
  for (int i = 0; i < 21; ++i) call("A&B " + std::to_string(i), "+49 (0)30 " + std::to_string(1000 + i), 42);
  EXPECT_EQ(LoggedCount("Avoid null window\n"), 24);  // nothing was shown
  ASSERT_EQ(frame->RecentCalls().Calls().size(), 20u);
  EXPECT_EQ(frame->RecentCalls().Calls().front().callerName, "A&B 20");
  EXPECT_EQ(frame->RecentCalls().Calls().back().callerName, "A&B 1");

  // A new run reads them back.
  EXPECT_EQ(CRecentCalls(sim.registry).Calls(), frame->RecentCalls().Calls());

  // The menu shows them newest first and calls the chosen one back.
  sim.shell.menuScript.push_back([] { return ID_MENU_RECENT_FIRST + 1; });
  frame->ShowTrayMenu(10, 10);
  sim.loop.RunPending();
  const auto& items = sim.shell.lastSubMenuItems;
  ASSERT_EQ(items.size(), 20u);
  EXPECT_EQ(items.front().command, ID_MENU_RECENT_FIRST);
  EXPECT_EQ(items.back().command, ID_MENU_RECENT_LAST);
  EXPECT_EQ(items[1].text, "Tue 07:05  A&&B 19  +49 (0)30 1019");
  EXPECT_EQ(Dialogs().back(), "dialout 0049301019");
}

}  // namespace
}  // namespace fon::test
