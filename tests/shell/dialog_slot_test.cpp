// Command dialogs in the frame's slots: replaced, cancelled from outside and
// refusing a field, while their modal loops nest.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/command_dialog.h"
#include "res/resource.h"
#include "tests/scenario/frame_fixture.h"

namespace fon::test {
namespace {

constexpr int kField = 1019;

// A dialog whose OK needs an integer in one field.
class NumberDialog final : public CCommandDialog {
 public:
  NumberDialog(IDialogHost& host, int templateId) : CCommandDialog(host, templateId) {}
  int value = -1;
  int ends = 0;

 protected:
  void OnOK() override {
    if (ReadIntegerField(kField, &value)) EndDialog(kIdOk);
  }
  void OnEnd() override { ++ends; }
};

class DialogSlotTest : public FrameTest {
 protected:
  void SetUp() override {
    SeedRegisteredUser();
    ServeCti();
    Start();
  }
};

TEST_F(DialogSlotTest, ASecondDialogInTheSlotCancelsTheFirstWhichEndsWhenTheLoopsUnwind) {
  NumberDialog first(*frame, IDD_DIALOUT);
  NumberDialog second(*frame, IDD_LOGIN);
  int secondCode = 0;
  sim.modalScripts[IDD_DIALOUT] = [&](sim::SimDialogRecord&) {
    sim.loop.Schedule(10, [&] { secondCode = frame->DialoutDialog().Run(second); });
  };
  sim.modalScripts[IDD_LOGIN] = [&](sim::SimDialogRecord& record) {
    EXPECT_FALSE(first.IsOpen());  // cancelled before the second showed
    record.Type(kField, " 42\t");
    record.Press(kIdOk);
  };
  EXPECT_EQ(frame->DialoutDialog().Run(first), kIdCancel);
  EXPECT_EQ(secondCode, kIdOk);
  EXPECT_EQ(second.value, 42);
  EXPECT_EQ(first.ends, 1);
  EXPECT_EQ(second.ends, 1);
  EXPECT_FALSE(frame->DialoutDialog().IsOpen());
}

TEST_F(DialogSlotTest, CancellingAllEndsNestedDialogsOfEverySlotOnceAndKeepsNothingTyped) {
  NumberDialog config(*frame, IDD_CONFIG);
  NumberDialog login(*frame, IDD_LOGIN);
  int loginCode = 0;
  sim.modalScripts[IDD_CONFIG] = [&](sim::SimDialogRecord&) {
    sim.loop.Schedule(10, [&] { loginCode = frame->LoginDialog().Run(login); });
  };
  sim.modalScripts[IDD_LOGIN] = [&](sim::SimDialogRecord& record) {
    record.Type(kField, "7");
    sim.loop.Schedule(10, [&] {
      EXPECT_TRUE(frame->LoginDialog().BringToFront());
      frame->CancelAllDialogs();
      frame->CancelAllDialogs();  // a second exit command finds nothing open
    });
  };
  EXPECT_EQ(frame->ConfigDialog().Run(config), kIdCancel);
  EXPECT_EQ(loginCode, kIdCancel);
  EXPECT_EQ(login.value, -1);
  EXPECT_EQ(config.ends + login.ends, 2);
}

TEST_F(DialogSlotTest, AFieldWithoutAnIntegerIsRefusedAndTheDialogStaysOpen) {
  NumberDialog dialog(*frame, IDD_REGISTER);
  sim::SimDialogRecord* shown = nullptr;
  sim.modalScripts[IDD_REGISTER] = [&](sim::SimDialogRecord& record) {
    shown = &record;
    for (const char* typed : {"abc", "", "12a", "+0", "99999999999"}) {
      record.Type(kField, typed);
      record.Press(kIdOk);
    }
    EXPECT_TRUE(dialog.IsOpen());
    record.Type(kField, "-5");
    record.Press(kIdOk);
  };
  EXPECT_EQ(dialog.DoModal(), kIdOk);
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(dialog.value, -5);
  ASSERT_EQ(shown->rejected.size(), 5u);
  EXPECT_EQ(shown->rejected.front(), std::make_pair(kField, std::string("Please enter an integer.")));
  EXPECT_EQ(shown->focus, kField);
}

}  // namespace
}  // namespace fon::test
