// The answers to GETPROFILELIST, GETDEVICES and GETACTIVEFORCEDPROFILE.
#include <gtest/gtest.h>

#include "tests/shell/shell_fixture.h"

namespace fon::test {
namespace {

class ListsTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    ServeRelay();
    StartRecording();
  }
  void Ask(unsigned timer, const std::string& word, const std::string& answer) {
    relayAnswers[word] = answer;
    ASSERT_EQ(frame->SendRelayRequest(word + "|42", timer), 1);
    sim.loop.RunFor(1);
    EXPECT_FALSE(Running(timer));
    EXPECT_TRUE(Logged("Relay answers to " + word + " request: " + answer + "\n"));
  }
  static std::string Walk(const CIdStringList& list) {
    std::string out;
    list.ForEachFromTail(
        [&](const IdStringEntry& e) { out += std::to_string(e.nId) + ":" + e.strText + " "; });
    return out;
  }
};

TEST_F(ListsTest, ProfileAndDeviceAnswers) {
  struct Case {
    unsigned timer;
    const char* answer;
    std::string list;  // tail to head: the server's order
    int loaded;
    int mode;  // device mode after the answer, from 9
  } cases[] = {
      {17, "+OK", "", 1, 9},
      {17, "+OK|1|Home|2|Office|", "1:Home 2:Office ", 1, 9},
      {17, "+OK|1|Home|2|Office", "1:Home 2:Office ", 1, 9},
      {17, "+OK|1|Home|2", "1:Home ", 1, 9},
      {17, "+OK|1||2|Office", "", 1, 9},
      {17, "+OK|x|Caf\xE9", "0:Caf\xE9 ", 1, 9},
      {17, "+ERR|unknown user", "", 0, 9},
      {17, "+ok|1|Home", "", 0, 9},
      {18, "+OK|1|d1|301|d2|302", "0:301 0:302 ", 1, 1},
      {18, "+OK|0|d1|301|d2", "0:301 ", 1, 0},
      {18, "+OK|1", "", 1, 9},
      {18, "+OK|1|d1||d2|302", "", 1, 1},
      {18, "-ERR", "", 0, 9},
  };
  for (const Case& c : cases) {
    frame->m_bProfilesLoaded = frame->m_bDevicesLoaded = 0;
    frame->m_nDeviceMode = 9;
    frame->m_lstProfiles.AddHead(0, 5, "stale");
    frame->m_lstDevices.AddHead(0, 0, "stale");
    bool profiles = c.timer == 17;
    Ask(c.timer, profiles ? "GETPROFILELIST" : "GETDEVICES", c.answer);
    EXPECT_EQ(Walk(profiles ? frame->m_lstProfiles : frame->m_lstDevices), c.list) << c.answer;
    EXPECT_EQ(profiles ? frame->m_bProfilesLoaded : frame->m_bDevicesLoaded, c.loaded) << c.answer;
    EXPECT_EQ(frame->m_nDeviceMode, c.mode) << c.answer;
  }
  EXPECT_TRUE(Logged("Error at GETPROFILELIST: unknown user\n"));
  EXPECT_TRUE(Logged("Error at GETDEVICES: -ERR\n"));
  EXPECT_EQ(Shown(), (Popups{{2, kText221, 0}, {2, kText221, 0}, {2, kText241, 0}}));
}

TEST_F(ListsTest, ForcedProfileIsToldOnceAndWaitsForTheConfiguration) {
  Ask(16, "GETACTIVEFORCEDPROFILE", "+OK|2");
  Ask(16, "GETACTIVEFORCEDPROFILE", "+OK|2");
  EXPECT_EQ(Dialogs(), std::vector<std::string>{"active profile 2"});
  EXPECT_EQ(frame->m_strForcedProfile, "2");
  Ask(16, "GETACTIVEFORCEDPROFILE", "+OK");
  EXPECT_EQ(frame->m_strForcedProfile, "");
  Ask(16, "GETACTIVEFORCEDPROFILE", "+ERR|no user");
  EXPECT_TRUE(Logged("Error at GETACTIVEFORCEDPROFILE: no user"));

  // After a login the profile is told again, once the configuration closes.
  frame->m_bForcedChecked = 0;
  sim.modalScripts[IDD_CONFIG] = [&](sim::SimDialogRecord& config) {
    Ask(16, "GETACTIVEFORCEDPROFILE", "+OK|3");
    EXPECT_EQ(sim.timers.Interval(frame.get(), ID_TIMER_INFORM_PROFILE), 1000u);
    sim.loop.RunFor(5000);
    EXPECT_TRUE(Running(ID_TIMER_INFORM_PROFILE));
    EXPECT_EQ(Dialogs().size(), 1u);
    config.Press(kIdCancel);
  };
  frame->CMainFrame::RunConfigDialog();
  sim.loop.RunFor(1000);
  EXPECT_EQ(Dialogs(), (std::vector<std::string>{"active profile 2", "active profile 3"}));
  EXPECT_FALSE(Running(ID_TIMER_INFORM_PROFILE));
  EXPECT_TRUE(Shown().empty());

  frame->m_bConfigAfterProfiles = 1;
  Ask(17, "GETPROFILELIST", "+OK|1|Home");
  EXPECT_EQ(Dialogs().back(), "configuration");
  EXPECT_EQ(frame->m_bConfigAfterProfiles, 1);  // only the settings' OK clears it
}

}  // namespace
}  // namespace fon::test
