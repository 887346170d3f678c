// The dial-out dialog in virtual time: its OK paths against the relay port,
// the history, the callers, and how the hotkey and the tray open it.
#include <gtest/gtest.h>

#include "tests/shell/shell_fixture.h"
#include "text_ids.h"

namespace fon::test {
namespace {

class DialoutDialogTest : public ShellTest {
 protected:
  std::uint64_t okAt = 0;

  void SetUp() override {
    ShellTest::SetUp();
    sim.registry.SetString(kMainKey, "Phone number", "301");
    ServeCti();
    ServeRelay();
    // The frame's own requests get a plain success: they show nothing.
    relayAnswers = {{"GETDEVICES", "+OK"}, {"GETPROFILELIST", "+OK"}, {"GETACTIVEFORCEDPROFILE", "+OK"}};
    StartRecording();
    rec->record = false;
    SetDeviceMode(1);
  }
  // The server's device list: mode, then the two devices 301 and 302.
  void SetDeviceMode(int mode) { frame->OnDevicesAnswer("+OK|" + std::to_string(mode) + "|1|301|2|302"); }
  void Answer(const std::string& a) {
    if (a.empty()) relayAnswers.erase("QUICKCALL"); else relayAnswers["QUICKCALL"] = a;
  }
  std::vector<std::string> Quickcalls() const {
    std::vector<std::string> out;
    for (const std::string& r : RelayRequests()) if (r.starts_with("QUICKCALL|")) out.push_back(r);
    return out;
  }
  std::shared_ptr<sim::SimDialogRecord> Dialog() const { return LastDialog(IDD_DIALOUT); }
  // Opens the dialog, types, presses OK once and cancels 15 s later if the
  // dialog is still open. Returns its end code.
  int DialOnce(const std::string& caller, const std::string& called) {
    sim.modalScripts[IDD_DIALOUT] = [this, caller, called](sim::SimDialogRecord& r) {
      r.Type(IDC_DIALOUT_CALLER, caller);
      r.Type(IDC_DIALOUT_CALLED, called);
      okAt = sim.loop.NowMs();
      r.Press(kIdOk);
      sim.loop.Schedule(15000, [&r] { r.Press(kIdCancel); });
    };
    frame->RunDialoutDialog(std::string());
    return Dialog()->endCode;
  }
};

TEST_F(DialoutDialogTest, OkPaths) {
  struct Case {
    const char* what;
    std::string caller, called, answer;
    bool linkUp, ctiBack, relayUp;
    std::string request;  // "" = nothing sent
    int text, textAfterMs, endCode;
  } cases[] = {
      {"+OKAY counts", "301", "+49 (0)30 123", "+OKAY", 1, 1, 1, "301|004930123", text::kCallTakesPlace, 0, kIdOk},
      {"error answer", "301", "0301234", "-ERR|busy", 1, 1, 1, "301|0301234", text::kDialoutConnectError, 0, 2},
      {"no answer", "301", "0301234", "", 1, 1, 1, "301|0301234", text::kDialoutNoAnswer, 10000, 2},
      {"relay away", "301", "0301234", "+OK", 1, 1, 0, "", text::kConnectError, 0, 2},
      {"link back in time", "301", "0301234", "", 0, 1, 1, "301|0301234", text::kDialoutNoAnswer, 2000, 2},
      {"link stays down", "301", "0301234", "+OK", 0, 0, 1, "", text::kConnectError, 1000, 2},
      {"caller cleaned", "301-2", "0301234", "+OK", 1, 1, 1, "", text::kNumberCorrected, 0, 2},
      {"called too short", "301", "1", "+OK", 1, 1, 1, "", text::kNumberTooShort, 0, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Answer(c.answer);
    if (!c.relayUp) sim.network.StopListening(kServer, kRelayPort);
    if (!c.ctiBack) StopCti();
    if (!c.linkUp) frame->Link().Drop();
    const std::size_t sent = Quickcalls().size();
    Shown().clear(), rec->shownAt.clear();
    EXPECT_EQ(DialOnce(c.caller, c.called), c.endCode);
    const std::vector<std::string> quickcalls = Quickcalls();
    EXPECT_EQ(std::vector(quickcalls.begin() + sent, quickcalls.end()), std::vector<std::string>(!c.request.empty(), "QUICKCALL|" + c.request + "|42" + '\0'));
    ASSERT_FALSE(Shown().empty());
    EXPECT_EQ(Shown().back().text, frame->LoadLangText(c.text));
    EXPECT_NEAR(static_cast<double>(rec->shownAt.back() - okAt), c.textAfterMs, 5.0);
    EXPECT_EQ(frame->Relay().RelayBusy(), 0);
    if (!c.relayUp) ServeRelay();
    if (!c.ctiBack) ServeCti();
    if (!Linked()) frame->ReconnectCtiPort();
    sim.loop.RunFor(100);
    ASSERT_TRUE(Linked());
  }
}

TEST_F(DialoutDialogTest, HistoryGrowsWrapsAtTenAndKeepsNoDuplicate) {
  Answer("+OK");
  for (int i = 1; i <= 12; ++i) DialOnce("301", "03010" + std::to_string(i));
  DialOnce("301", "030105");  // listed already
  auto item = [&](int n) { return sim.registry.GetString(kDialOutKey, "Item" + std::to_string(n)).value_or("-"); };
  auto dword = [&](const char* name) { return sim.registry.GetDword(kDialOutKey, name).value_or(-1); };
  EXPECT_EQ(std::vector<std::string>({item(1), item(2), item(3), item(10)}),
            std::vector<std::string>({"0301011", "0301012", "030103", "0301010"}));
  EXPECT_EQ(std::make_pair(dword("Entrys"), dword("LastChanged")), std::make_pair(10, 2));
  EXPECT_EQ(Dialog()->Entries(IDC_DIALOUT_CALLED).size(), 10u);
  sim.registry.SetDword(kDialOutKey, "LastChanged", 10);  // the next goes to Item1
  DialOnce("301", "0309999");
  EXPECT_EQ(item(1), "0309999");
  EXPECT_EQ(std::make_pair(dword("Entrys"), dword("LastChanged")), std::make_pair(10, 1));
}

TEST_F(DialoutDialogTest, CallersByDeviceModeAndThePreset) {
  Answer("+OK");
  const std::string n30(30, '3');
  struct Case {
    int mode;
    std::string phoneNumber, typed;
    int hidden;
    std::string shownCaller;
    std::vector<std::string> callersNextTime;
  } cases[] = {
      {0, std::string(31, '3'), "", IDC_DIALOUT_CALLER, "", {"301", "302"}},
      {1, n30, "", IDC_DIALOUT_CALLER_LIST, n30, {"301", "302", n30}},
      {1, "301", "555", IDC_DIALOUT_CALLER_LIST, "301", {"301", "302", n30, "555"}},
      {1, "301", "555", IDC_DIALOUT_CALLER_LIST, "301", {"301", "302", n30, "555", "555"}},  // twice dialled
  };
  for (const Case& c : cases) {
    SetDeviceMode(c.mode);
    sim.registry.SetString(kMainKey, "Phone number", c.phoneNumber);
    sim.modalScripts[IDD_DIALOUT] = [&](sim::SimDialogRecord& r) {
      EXPECT_TRUE(r.hidden.count(c.hidden));
      EXPECT_EQ(r.items[c.mode == 0 ? IDC_DIALOUT_CALLER_LIST : IDC_DIALOUT_CALLER], c.shownCaller);
      EXPECT_TRUE(r.topmost);
      EXPECT_EQ(r.focus, IDC_DIALOUT_CALLED);  // nothing to call yet
      EXPECT_EQ(r.faceText.text, "");  // the title label alone
      EXPECT_EQ(r.items[IDC_DIALOUT_TITLE], "Dialout");
      if (c.mode == 0) r.ChooseText(IDC_DIALOUT_CALLER_LIST, "302");
      if (!c.typed.empty()) r.Type(IDC_DIALOUT_CALLER, c.typed);
      r.Type(IDC_DIALOUT_CALLED, "0301234");
      r.Press(kIdOk);
    };
    frame->RunDialoutDialog(std::string());
    sim.modalScripts[IDD_DIALOUT] = [](sim::SimDialogRecord& r) { r.Press(kIdCancel); };
    frame->RunDialoutDialog(std::string());
    EXPECT_EQ(Dialog()->Entries(IDC_DIALOUT_CALLER), c.callersNextTime);
    EXPECT_EQ(Dialog()->Entries(IDC_DIALOUT_CALLER_LIST), c.callersNextTime);
  }
}

TEST_F(DialoutDialogTest, TheHotkeyReplacesAnOpenDialogAndTheTrayCommandOnlyRaisesIt) {
  std::vector<std::string> calledShown;
  int raised = 0;
  int raisedHotkeyDialog = 0;
  sim.shell.onCopyKeys = [&] {  // a second press while the copy is awaited is the same request
    sim.loop.Schedule(1, [&] { frame->OnHotKey(ID_HOTKEY_DIALOUT); });
    sim.loop.Schedule(2, [&] { sim.clipboard.CopyFromOther("+49 (0)30 1234-5"); });
  };
  sim.modalScripts[IDD_DIALOUT] = [&](sim::SimDialogRecord& r) {
    calledShown.push_back(r.items[IDC_DIALOUT_CALLED]);
    if (calledShown.size() == 1) {
      sim.loop.Schedule(10, [&] { frame->OnCommand(ID_MENU_DIALOUT); });  // raises this one
      sim.loop.Schedule(20, [&] { raised = Dialog()->broughtToFront, frame->OnHotKey(ID_HOTKEY_DIALOUT); });
    } else if (calledShown.size() == 2) {
      // The tray command raises the hotkey's dialog too, its number kept.
      sim.loop.Schedule(5, [&] { frame->OnCommand(ID_MENU_DIALOUT); });
      sim.loop.Schedule(10, [&] {
        raisedHotkeyDialog = Dialog()->broughtToFront;
        frame->OnHotKey(ID_HOTKEY_DIALOUT);  // an earlier hotkey dialog goes too
      });
    } else {
      r.Press(kIdCancel);
    }
  };
  sim.clipboard.CopyFromOther("user's text");
  frame->OnCommand(ID_MENU_DIALOUT);
  EXPECT_EQ(calledShown, (std::vector<std::string>{"", "00493012345", "00493012345"}));
  EXPECT_EQ(raised, 2);  // once as it opened, once for the second command
  EXPECT_EQ(raisedHotkeyDialog, 2);
  EXPECT_EQ(sim.shell.copyKeyPresses, 2);
  EXPECT_FALSE(frame->DialoutDialog().IsOpen());
  EXPECT_EQ(sim.clipboard.Text(), "user's text");
}

}  // namespace
}  // namespace fon::test
