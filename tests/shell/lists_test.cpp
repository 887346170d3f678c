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
    ASSERT_EQ(frame->SendRelayRequest({word, ""}, timer), 1);
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
  // Nothing has loaded at the first connect (no answers): errors load nothing.
  for (const Case& c : cases) {
    if (!c.loaded) Ask(c.timer, c.timer == 17 ? "GETPROFILELIST" : "GETDEVICES", c.answer);
    EXPECT_FALSE(frame->Profiles().ProfilesLoaded() || frame->Profiles().DevicesLoaded()) << c.answer;
  }
  const CProfileState& state = frame->Profiles();
  for (const Case& c : cases) {
    // After lists with a stale entry and device mode 9: what replaces them.
    const bool profiles = c.timer == 17;
    Ask(17, "GETPROFILELIST", "+OK|5|stale");
    Ask(18, "GETDEVICES", "+OK|9|x|stale");
    Ask(c.timer, profiles ? "GETPROFILELIST" : "GETDEVICES", c.answer);
    EXPECT_EQ(Walk(profiles ? state.Profiles() : state.Devices()), c.list) << c.answer;
    EXPECT_EQ(state.DeviceMode(), c.mode) << c.answer;
    EXPECT_TRUE(state.ProfilesLoaded() && state.DevicesLoaded());
  }
  EXPECT_TRUE(Logged("Error at GETPROFILELIST: unknown user\n"));
  EXPECT_TRUE(Logged("Error at GETDEVICES: -ERR\n"));
  EXPECT_EQ(Shown(), (Popups{{2, kText221, 0}, {2, kText221, 0}, {2, kText241, 0},  // loaded nothing
                             {2, kText221, 0}, {2, kText221, 0}, {2, kText241, 0}}));
}

TEST_F(ListsTest, ForcedProfileIsToldOnceAndWaitsForTheConfiguration) {
  Ask(16, "GETACTIVEFORCEDPROFILE", "+OK|2");
  Ask(16, "GETACTIVEFORCEDPROFILE", "+OK|2");
  EXPECT_EQ(Dialogs(), std::vector<std::string>{"active profile 2"});
  EXPECT_EQ(frame->Profiles().ForcedProfile(), "2");
  Ask(16, "GETACTIVEFORCEDPROFILE", "+OK");
  EXPECT_EQ(frame->Profiles().ForcedProfile(), "");
  Ask(16, "GETACTIVEFORCEDPROFILE", "+ERR|no user");
  EXPECT_TRUE(Logged("Error at GETACTIVEFORCEDPROFILE: no user"));

  // After a login the profile is told again, once the configuration closes;
  // the lists are asked for again without conditions.
  relayAnswers = {{"GETDEVICES", "+OK|0"}, {"GETPROFILELIST", "+OK"}, {"GETACTIVEFORCEDPROFILE", "+OK|3"}};
  sim.modalScripts[IDD_CONFIG] = [&](sim::SimDialogRecord& config) {
    const int asked = CountRequests("GETDEVICES|42") + CountRequests("GETPROFILELIST|42");
    frame->AskListsAfterLogin();
    sim.loop.RunFor(1);
    EXPECT_EQ(CountRequests("GETDEVICES|42") + CountRequests("GETPROFILELIST|42"), asked + 2);
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
