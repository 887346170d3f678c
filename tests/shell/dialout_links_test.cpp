// Phone links (registration, hand-over from a second start) and the recent
// calls with their tray sub-menu.
#include <gtest/gtest.h>

#include <tuple>

#include "dialout/phone_link.h"
#include "tests/shell/shell_fixture.h"

namespace fon::test {
namespace {

class DialoutLinksTest : public ShellTest {};

TEST_F(DialoutLinksTest, RegistrationFollowsTheSettingAndSparesAnotherHandler) {
  const std::string ours = "\"C:\\Program Files\\Fonaris\\fonaris.exe\" --link \"%1\"";
  const std::string tel = "Software\\Classes\\tel", callto = "Software\\Classes\\callto";
  auto command = [&](const std::string& key) { return sim.registry.GetString(key + "\\shell\\open\\command", ""); };
  auto apply = [&](int on) { sim.registry.SetDword(kMainKey, kPhoneLinksSetting, on), frame->ApplySettings(); };
  ServeCti();
  StartRecording();  // on by default
  EXPECT_EQ(std::make_tuple(command(tel), command(callto), sim.registry.GetString(callto, "")),
            std::make_tuple(ours, ours, "URL:callto"));
  EXPECT_EQ(sim.registry.GetString(tel, "URL Protocol"), "");
  // Listed among Windows' default apps: capabilities, ProgIds, the entry.
  const std::string capabilities = std::string(kMainKey) + "\\Capabilities";
  const std::string progId = "Software\\Classes\\Fonaris.callto";
  EXPECT_EQ(sim.registry.GetString(capabilities + "\\URLAssociations", "callto"), "Fonaris.callto");
  EXPECT_EQ(command(progId), ours);
  EXPECT_EQ(sim.registry.GetString("Software\\RegisteredApplications", "Fonaris"), capabilities);
  apply(0);
  EXPECT_FALSE(sim.registry.HasKey(tel) || sim.registry.HasKey(callto) || sim.registry.HasKey(progId) ||
               sim.registry.HasKey(capabilities));
  EXPECT_EQ(sim.registry.GetString("Software\\RegisteredApplications", "Fonaris"), std::nullopt);
  sim.registry.CreateKey(tel + "\\shell\\open\\command");
  sim.registry.SetString(tel + "\\shell\\open\\command", "", "other.exe %1");
  apply(0);  // another program's handler stays
  EXPECT_EQ(command(tel), "other.exe %1");
  apply(1);
  EXPECT_EQ(command(tel), ours);
}

TEST_F(DialoutLinksTest, ALinkOfASecondStartReachesTheRunningClientAndOfAFirstStartItself) {
  sim.shell.launchLink = "tel:0301234567";
  ServeCti();
  StartRecording();
  struct Case {
    std::string link;
    std::vector<std::string> dialogs;
  } cases[] = {
      {"tel:+49-30-123;ext=5", {"dialout 004930123"}},
      {"tel:+49%20(0)30%201234-5", {"dialout 00493012345"}},
      {"TEL:0301234567", {"dialout 0301234567"}},
      {"callto://+49 30 1234", {"dialout 0049301234"}},
      {"\"tel:030/12345?x=1#frag\"", {"dialout 03012345"}},
      {"callto:%2B4930123", {"dialout 004930123"}},  // an escaped plus is a plus
      {"tel:%3B0301", {"dialout 0301"}},             // an escaped ";" separates nothing
      {"tel:%zz12%4", {"dialout 124"}},
      {"tel:" + std::string(100000, '7'), {"dialout " + std::string(253, '7')}},
      {"tel:" + std::string(100000, '%'), {}},
      {"tel:abc", {}},
      {"http://tel:0301234", {}},
      {"", {}},
  };
  EXPECT_EQ(Dialogs(), std::vector<std::string>{"dialout 0301234567"});
  for (const Case& c : cases) {
    Dialogs().clear();
    sim.shell.launchLink = c.link;
    CMainFrame second(sim);
    ASSERT_EQ(second.Create(), 0);
    EXPECT_TRUE(second.IsQuitting());
    sim.loop.RunFor(10);
    EXPECT_EQ(Dialogs(), c.dialogs) << c.link.substr(0, 30);
  }
  EXPECT_EQ(LoggedCount("Phone link handed to the running client\n"), 12);
}

TEST_F(DialoutLinksTest, RecentCallsKeepTwentyAcrossRestartsAndCallBackFromTheMenu) {
  sim.registry.SetDword(kMainKey, "Parent User ID", 7);
  ServeCti();
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
  const std::vector<RecentCall>& calls = frame->RecentCalls().Calls();
  ASSERT_EQ(calls.size(), 20u);
  EXPECT_EQ(calls.front().callerName + "," + calls.back().callerName, "A&B 20,A&B 1");
  EXPECT_EQ(CRecentCalls(sim.registry).Calls(), calls);  // what the next run reads
  // A slot that cannot be read is dropped, and the next call closes the hole.
  sim.registry.SetString(kRecentCallsKey, "Call7", "damaged");
  CRecentCalls damaged(sim.registry);
  ASSERT_EQ(damaged.Calls().size(), 19u);
  damaged.Add({"Wed Dec  9 08:00:00 2026", "New", "0301"});
  EXPECT_EQ(CRecentCalls(sim.registry).Calls(), damaged.Calls());

  sim.shell.menuScript.push_back([] { return ID_MENU_RECENT_FIRST + 1; });
  frame->ShowTrayMenu(10, 10);
  sim.loop.RunPending();
  const auto& items = sim.shell.lastSubMenuItems;
  ASSERT_EQ(items.size(), 20u);
  EXPECT_EQ(items.back().command, ID_MENU_RECENT_LAST);
  EXPECT_EQ(items[1], (MenuItem{ID_MENU_RECENT_FIRST + 1, "Tue 07:05  A&&B 19  +49 (0)30 1019"}));
  EXPECT_EQ(Dialogs().back(), "dialout 0049301019");
}

}  // namespace
}  // namespace fon::test
