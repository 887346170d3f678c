// The active-profile dialog: what the user chooses and what the server says.
#include <gtest/gtest.h>

#include "res/resource.h"
#include "tests/shell/shell_fixture.h"

namespace fon::test {
namespace {

const Popups kText213{{2, "Could not activate the profile - relay socket did not answer.", 0}};
const Popups kText230{{2, "Error at connecting. Please check the configuration", 0}};

struct Case {
  const char* active;  // the forced profile's id
  std::string choice;  // "": OK on the list as it opens
  const char* answer;  // nullptr: no answer
  int link;            // 0 up, 1 down and back at once, 2 down for good
  std::string sent;    // "" nothing
  int endCode;
  Popups shown;
};
const Case kCases[] = {{"2", "Office", "+OK", 0, "", kIdOk, {}},
                       {"2", "", "+OK", 0, "", kIdOk, {}},
                       {"2", "Home", "+OK", 0, "FORCEPROFILE|42|1", kIdOk, {}},
                       {"2", " Deactivate profile", "+OK", 0, "CLEARFORCEDPROFILE|42", kIdOk, {}},
                       {"9", " Deactivate profile", "+OK", 0, "", kIdOk, {}},
                       {"2", "Home", "+OK|done", 0, "FORCEPROFILE|42|1", kIdCancel, {{2, kText212, 0}}},
                       {"2", "Home", nullptr, 0, "FORCEPROFILE|42|1", kIdCancel, kText213},
                       {"2", "Home", "+OK", 1, "FORCEPROFILE|42|1", kIdOk, {}},
                       {"2", "Home", "+OK", 2, "", kIdCancel, kText230}};

class InformDialogTest : public ShellTest, public ::testing::WithParamInterface<std::size_t> {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    ServeCti();
    ServeRelay();
    relayAnswers = {{"GETDEVICES", "+OK|0"},
                    {"GETPROFILELIST", "+OK|2|Office|1|Home"},
                    {"GETACTIVEFORCEDPROFILE", "+OK"}};
    StartRecording();
  }
};

TEST_P(InformDialogTest, ChoicesAndAnswers) {
  const Case& c = kCases[GetParam()];
  if (c.answer) relayAnswers["FORCEPROFILE"] = relayAnswers["CLEARFORCEDPROFILE"] = c.answer;
  if (c.link == 2) StopCti();
  if (c.link != 0) {
    CtiConnection()->Close();
    sim.loop.RunFor(1);
  }
  sim::SimDialogRecord* dialog = nullptr;
  sim.modalScripts[IDD_ACTIVE_PROFILE] = [&](sim::SimDialogRecord& record) {
    dialog = &record;
    EXPECT_EQ(record.Entries(IDC_ACTIVE_CHOICE),
              (std::vector<std::string>{" Deactivate profile", "Home", "Office"}));
    EXPECT_EQ(record.items[IDC_ACTIVE_NAME], std::string(c.active) == "2" ? "Office" : "");
    // A second report while it is open brings it forward.
    frame->CMainFrame::RunActiveProfileDialog(c.active);
    EXPECT_EQ(record.broughtToFront, 1);
    ASSERT_TRUE(c.choice.empty() || record.ChooseText(IDC_ACTIVE_CHOICE, c.choice));
    record.Press(kIdOk);
    sim.loop.Schedule(12000, [&record] { record.Press(kIdCancel); });
  };
  frame->CMainFrame::RunActiveProfileDialog(c.active);
  ASSERT_TRUE(dialog);
  EXPECT_EQ(dialog->endCode, c.endCode);
  EXPECT_EQ(RelayRequests().size(), c.sent.empty() ? 3u : 4u);  // the connect's, and the choice
  EXPECT_TRUE(c.sent.empty() || RelayRequests().back() == c.sent + '\0') << c.sent;
  EXPECT_EQ(Shown(), c.shown);
  EXPECT_EQ(frame->Relay().RelayBusy(), 0);
}

INSTANTIATE_TEST_SUITE_P(Choices, InformDialogTest, ::testing::Range<std::size_t>(0, std::size(kCases)));

}  // namespace
}  // namespace fon::test
