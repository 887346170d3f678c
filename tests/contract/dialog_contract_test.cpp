// Dialog controls: what the command dialogs rely on, the same in the
// simulation as on Windows.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "control_ids.h"
#include "harness.h"

namespace fon::contract {
namespace {

class Listener final : public IDialogEvents {
 public:
  void OnInitDialog() override {
    if (onInit) onInit();
  }
  void OnCommand(int id) override { commands.push_back(id); }
  void OnSelectionChange(int id) override { selections.push_back(id); }
  std::function<void()> onInit;
  std::vector<int> commands;
  std::vector<int> selections;
};

class DialogContract : public ::testing::Test {
 protected:
  void SetUp() override {
    harness_ = MakeHarness();
    dialog_ = harness_->Platform().CreateDialogWindow(&events_);
    ASSERT_TRUE(dialog_->CreateModeless(IDD_CONTRACT_CONTROLS, 0));
    dialog_->Show(true);
  }
  void TearDown() override { dialog_.reset(); }
  std::unique_ptr<Harness> harness_;
  Listener events_;
  std::unique_ptr<IDialogWindow> dialog_;
};

TEST_F(DialogContract, SortedComboFindsWithoutCaseAndReadsTheChosenEntry) {
  IDialogWindow& d = *dialog_;
  d.ComboReset(IDC_CONTRACT_LIST);
  // A leading blank sorts first; case does not count.
  for (const char* entry : {"weekend", "Office", " Deactivate profile", "home"}) d.ComboAdd(IDC_CONTRACT_LIST, entry);
  ASSERT_EQ(d.ComboCount(IDC_CONTRACT_LIST), 4);
  std::vector<std::string> order;
  for (int i = 0; i < 4; ++i) order.push_back(d.ComboText(IDC_CONTRACT_LIST, i));
  EXPECT_EQ(order, (std::vector<std::string>{" Deactivate profile", "home", "Office", "weekend"}));
  EXPECT_EQ(d.ComboFindExact(IDC_CONTRACT_LIST, "OFFICE"), 2);
  EXPECT_EQ(d.ComboFindExact(IDC_CONTRACT_LIST, "Offic"), -1);  // exact, not a prefix
  EXPECT_EQ(d.ComboText(IDC_CONTRACT_LIST, 9), "");
  EXPECT_EQ(d.ComboSelection(IDC_CONTRACT_LIST), -1);

  // Chosen by the program: no notification; by the user: one.
  d.ComboSelect(IDC_CONTRACT_LIST, 1);
  EXPECT_EQ(d.GetItemText(IDC_CONTRACT_LIST), "home");
  EXPECT_TRUE(events_.selections.empty());
  harness_->Choose(d, IDC_CONTRACT_LIST, 3);
  EXPECT_EQ(d.ComboSelection(IDC_CONTRACT_LIST), 3);
  EXPECT_EQ(d.GetItemText(IDC_CONTRACT_LIST), "weekend");
  EXPECT_EQ(events_.selections, std::vector<int>{IDC_CONTRACT_LIST});
  EXPECT_TRUE(events_.commands.empty());

  d.ComboReset(IDC_CONTRACT_LIST);
  EXPECT_EQ(d.ComboCount(IDC_CONTRACT_LIST), 0);
  EXPECT_EQ(d.ComboSelection(IDC_CONTRACT_LIST), -1);
}

TEST_F(DialogContract, CheckBoxesToggleOnClickAndDisabledControlsTakeNoClick) {
  IDialogWindow& d = *dialog_;
  EXPECT_FALSE(d.IsChecked(IDC_CONTRACT_CHECK));
  harness_->Click(d, IDC_CONTRACT_CHECK);
  EXPECT_TRUE(d.IsChecked(IDC_CONTRACT_CHECK));
  EXPECT_EQ(events_.commands, std::vector<int>{IDC_CONTRACT_CHECK});
  d.SetChecked(IDC_CONTRACT_CHECK, false);  // by the program: no notification
  EXPECT_FALSE(d.IsChecked(IDC_CONTRACT_CHECK));
  EXPECT_EQ(events_.commands.size(), 1u);

  d.EnableItem(IDC_CONTRACT_BUTTON, false);
  EXPECT_FALSE(d.IsItemEnabled(IDC_CONTRACT_BUTTON));
  harness_->Click(d, IDC_CONTRACT_BUTTON);
  EXPECT_EQ(events_.commands.size(), 1u);
  d.EnableItem(IDC_CONTRACT_BUTTON, true);
  harness_->Click(d, IDC_CONTRACT_BUTTON);
  EXPECT_EQ(events_.commands.back(), IDC_CONTRACT_BUTTON);

  d.ShowItem(IDC_CONTRACT_EDIT, false);
  EXPECT_FALSE(d.IsItemVisible(IDC_CONTRACT_EDIT));
  d.ShowItem(IDC_CONTRACT_EDIT, true);
  EXPECT_TRUE(d.IsItemVisible(IDC_CONTRACT_EDIT));
}

TEST_F(DialogContract, EditAndHotkeyKeepWhatWasPutIn) {
  IDialogWindow& d = *dialog_;
  const std::string text = "Gr\xfc\xdf" "e | 0301234567";
  d.SetItemText(IDC_CONTRACT_EDIT, text);
  EXPECT_EQ(d.GetItemText(IDC_CONTRACT_EDIT), text);

  struct Case {
    unsigned vk, flags;
  };
  // F8 alone; Ctrl+Alt+D; Shift with an extended key (the flag is kept).
  for (Case c : {Case{0x77, 0}, Case{'D', kHotkeyControl | kHotkeyAlt}, Case{0x2D, kHotkeyShift | kHotkeyExtended}}) {
    d.SetHotkey(IDC_CONTRACT_HOTKEY, c.vk, c.flags);
    unsigned vk = 0, flags = 0;
    d.GetHotkey(IDC_CONTRACT_HOTKEY, &vk, &flags);
    EXPECT_EQ(vk, c.vk);
    EXPECT_EQ(flags, c.flags);
  }
}

// WM_INITDIALOG's rule: a dialog that chose no focus in its initialisation
// gets it on its first visible, enabled tab stop; one that chose keeps it.
TEST(DialogFocusContract, TheFocusAfterInitialisation) {
  struct Case {
    int hidden, disabled, focused, expected;
  } cases[] = {{0, 0, 0, IDC_CONTRACT_EDIT},
               {IDC_CONTRACT_EDIT, 0, 0, IDC_CONTRACT_LIST},
               {IDC_CONTRACT_EDIT, IDC_CONTRACT_LIST, 0, IDC_CONTRACT_CHECK},
               {0, 0, IDC_CONTRACT_HOTKEY, IDC_CONTRACT_HOTKEY}};
  for (const Case& c : cases) {
    auto harness = MakeHarness();
    Listener events;
    std::unique_ptr<IDialogWindow> dialog = harness->Platform().CreateDialogWindow(&events);
    events.onInit = [&] {
      if (c.hidden) dialog->ShowItem(c.hidden, false);
      if (c.disabled) dialog->EnableItem(c.disabled, false);
      if (c.focused) dialog->FocusItem(c.focused);
    };
    ASSERT_TRUE(dialog->CreateModeless(IDD_CONTRACT_CONTROLS, 0));
    dialog->Show(true);
    harness->Pump(50);
    EXPECT_EQ(harness->FocusedControl(*dialog), c.expected) << c.hidden << " " << c.disabled << " " << c.focused;
  }
}

}  // namespace
}  // namespace fon::contract
