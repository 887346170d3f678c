// The dial-out dialog in virtual time: its OK paths against the relay port,
// the history, the callers, and how the hotkey and the tray open it.
#include <gtest/gtest.h>

#include "tests/scenario/frame_fixture.h"
#include "text_ids.h"

namespace fon::test {
namespace {

struct Shown {
  std::string text;
  std::uint64_t atMs;
};

class DialoutFrame final : public CMainFrame {
 public:
  using CMainFrame::CMainFrame;
  void ShowInfoPopup(int, const std::string& text, int) override {
    shown.push_back({text, Platform().Loop().NowMs()});
  }
  std::vector<Shown> shown;
};

class DialoutDialogTest : public FrameTest {
 protected:
  DialoutFrame* df = nullptr;
  std::string answer;  // to QUICKCALL; empty: none
  sim::SimListener* relay = nullptr;

  void StartClient(bool ctiUp = true) {
    SeedRegisteredUser();
    sim.registry.SetString(kMainKey, "Language", "English");
    sim.registry.SetString(kMainKey, "Phone number", "301");
    if (ctiUp) ServeCti();
    ServeQuickcall();
    auto f = std::make_unique<DialoutFrame>(sim);
    df = f.get();
    frame = std::move(f);
    ASSERT_EQ(frame->Create(), 0);
    sim.loop.RunFor(100);
    frame->m_lstDevices.AddHead(0, 1, "301");
    frame->m_lstDevices.AddHead(0, 2, "302");
    df->shown.clear();
  }
  void ServeQuickcall() {
    relay = &sim.network.Listen(kServer, kRelayPort);
    relay->onData = [this](std::shared_ptr<sim::SimConnection> conn, const std::string& bytes) {
      // The frame's own requests get a plain success: they show nothing.
      if (bytes.rfind("QUICKCALL|", 0) != 0)
        conn->Send("+OK");
      else if (!answer.empty())
        conn->Send(answer);
    };
  }
  std::vector<std::string> Quickcalls() const {
    std::vector<std::string> out;
    for (const auto& conn : sim.network.ConnectionsOnPort(kRelayPort))
      for (const auto& write : conn->writes)
        if (write.rfind("QUICKCALL|", 0) == 0) out.push_back(write);
    return out;
  }
  std::string Text(int id) { return frame->LoadLangText(id); }
  std::shared_ptr<sim::SimDialogRecord> DialoutRecord() const {
    for (auto it = sim.dialogs.rbegin(); it != sim.dialogs.rend(); ++it)
      if ((*it)->templateId == IDD_DIALOUT) return *it;
    return nullptr;
  }
  // The user opens the dialog, types, presses OK once and, when it is still
  // open 15 s later, cancels it. Returns the dialog's end code.
  int DialOnce(const std::string& caller, const std::string& called) {
    sim.modalScripts[IDD_DIALOUT] = [this, caller, called](sim::SimDialogRecord& r) {
      if (!caller.empty()) r.Type(IDC_DIALOUT_CALLER, caller);
      r.Type(IDC_DIALOUT_CALLED, called);
      okAt = sim.loop.NowMs();
      r.Press(kIdOk);
      sim.loop.Schedule(15000, [&r] { r.Press(kIdCancel); });
    };
    frame->RunDialoutDialog(std::string());
    return DialoutRecord()->endCode;
  }
  std::uint64_t okAt = 0;
};

TEST_F(DialoutDialogTest, OkPaths) {
  struct Case {
    const char* what;
    std::string caller, called, answer;
    bool linkUp, ctiBack, relayUp;
    std::string request;  // "" = nothing sent
    int text;
    std::uint64_t textAfterMs;
    int endCode;
  } cases[] = {
      {"+OKAY counts", "301", "+49 (0)30 123", "+OKAY", true, true, true, "QUICKCALL|301|004930123|42", text::kCallTakesPlace,
       0, kIdOk},
      {"error answer", "301", "0301234", "-ERR|busy", true, true, true, "QUICKCALL|301|0301234|42",
       text::kDialoutConnectError, 0, kIdCancel},
      {"no answer", "301", "0301234", "", true, true, true, "QUICKCALL|301|0301234|42", text::kDialoutNoAnswer, 10000,
       kIdCancel},
      {"relay away", "301", "0301234", "+OK", true, true, false, "", text::kConnectError, 0, kIdCancel},
      {"link back in time", "301", "0301234", "", false, true, true, "QUICKCALL|301|0301234|42",
       text::kDialoutNoAnswer, 2000, kIdCancel},
      {"link stays down", "301", "0301234", "+OK", false, false, true, "", text::kConnectError, 1000, kIdCancel},
      {"caller cleaned", "301-2", "0301234", "+OK", true, true, true, "", text::kNumberCorrected, 0, kIdCancel},
      {"called too short", "301", "1", "+OK", true, true, true, "", text::kNumberTooShort, 0, kIdCancel},
  };
  StartClient();
  frame->m_nDeviceMode = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    answer = c.answer;
    if (!c.relayUp) sim.network.StopListening(kServer, kRelayPort);
    if (!c.ctiBack) StopCti();
    if (!c.linkUp) frame->Link().Drop();
    const std::size_t before = Quickcalls().size();
    df->shown.clear();
    EXPECT_EQ(DialOnce(c.caller, c.called), c.endCode);
    std::vector<std::string> sent = Quickcalls();
    sent.erase(sent.begin(), sent.begin() + static_cast<std::ptrdiff_t>(before));
    if (c.request.empty()) {
      EXPECT_TRUE(sent.empty());
    } else {
      EXPECT_EQ(sent, std::vector<std::string>{c.request + '\0'});
    }
    ASSERT_FALSE(df->shown.empty());
    EXPECT_EQ(df->shown.back().text, Text(c.text));
    EXPECT_NEAR(static_cast<double>(df->shown.back().atMs - okAt), c.textAfterMs, 5.0);
    EXPECT_EQ(frame->Relay().RelayBusy(), 0);
    // Everything back for the next case.
    if (!c.relayUp) ServeQuickcall();
    if (!c.ctiBack) ServeCti();
    if (!Linked()) frame->ReconnectCtiPort();
    sim.loop.RunFor(100);
    ASSERT_TRUE(Linked());
  }
}

}  // namespace
}  // namespace fon::test

namespace fon::test {
namespace {

TEST_F(DialoutDialogTest, HistoryGrowsWrapsAtTenAndKeepsNoDuplicate) {
  StartClient();
  answer = "+OK";
  for (int i = 1; i <= 12; ++i) DialOnce("301", "03010" + std::to_string(i));
  DialOnce("301", "030105");  // listed already
  auto item = [&](int n) { return sim.registry.GetString(kDialOutKey, "Item" + std::to_string(n)).value_or("-"); };
  EXPECT_EQ(sim.registry.GetDword(kDialOutKey, "Entrys"), 10);
  EXPECT_EQ(sim.registry.GetDword(kDialOutKey, "LastChanged"), 2);
  EXPECT_EQ(item(1), "0301011");
  EXPECT_EQ(item(2), "0301012");
  EXPECT_EQ(item(3), "030103");
  EXPECT_EQ(item(10), "0301010");
  EXPECT_EQ(DialoutRecord()->Entries(IDC_DIALOUT_CALLED).size(), 10u);

  // With "LastChanged" at 10 the next number goes to Item1.
  sim.registry.SetDword(kDialOutKey, "LastChanged", 10);
  DialOnce("301", "0309999");
  EXPECT_EQ(item(1), "0309999");
  EXPECT_EQ(sim.registry.GetDword(kDialOutKey, "LastChanged"), 1);
  EXPECT_EQ(sim.registry.GetDword(kDialOutKey, "Entrys"), 10);
}

TEST_F(DialoutDialogTest, CallersByDeviceModeAndThePreset) {
  StartClient();
  answer = "+OK";
  struct Case {
    int mode;
    std::string phoneNumber;
    std::string typed;  // mode 1: typed caller
    int hidden;
    std::string shownCaller;
    std::vector<std::string> callersNextTime;
  } cases[] = {
      {0, "302", "", IDC_DIALOUT_CALLER, "302", {"301", "302"}},
      {0, std::string(31, '3'), "", IDC_DIALOUT_CALLER, "", {"301", "302"}},
      {1, std::string(30, '3'), "", IDC_DIALOUT_CALLER_LIST, std::string(30, '3'), {"301", "302", std::string(30, '3')}},
      {1, "301", "555", IDC_DIALOUT_CALLER_LIST, "301",
       {"301", "302", std::string(30, '3'), "555"}},
      {1, "301", "555", IDC_DIALOUT_CALLER_LIST, "301",
       {"301", "302", std::string(30, '3'), "555", "555"}},  // dialled twice, listed twice
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    frame->m_nDeviceMode = c.mode;
    sim.registry.SetString(kMainKey, "Phone number", c.phoneNumber);
    sim.modalScripts[IDD_DIALOUT] = [&](sim::SimDialogRecord& r) {
      EXPECT_TRUE(r.hidden.count(c.hidden));
      EXPECT_EQ(r.items[c.mode == 0 ? IDC_DIALOUT_CALLER_LIST : IDC_DIALOUT_CALLER], c.shownCaller);
      EXPECT_TRUE(r.topmost);
      EXPECT_EQ(r.focus, IDC_DIALOUT_CALLED);  // nothing to call yet
      EXPECT_EQ(r.faceText.text, "Dialout");
      if (c.mode == 0) r.ChooseText(IDC_DIALOUT_CALLER_LIST, "302");
      if (!c.typed.empty()) r.Type(IDC_DIALOUT_CALLER, c.typed);
      r.Type(IDC_DIALOUT_CALLED, "0301234");
      r.Press(kIdOk);
    };
    frame->RunDialoutDialog(std::string());
    sim.modalScripts[IDD_DIALOUT] = [](sim::SimDialogRecord& r) { r.Press(kIdCancel); };
    frame->RunDialoutDialog(std::string());
    EXPECT_EQ(DialoutRecord()->Entries(IDC_DIALOUT_CALLER), c.callersNextTime);
    EXPECT_EQ(DialoutRecord()->Entries(IDC_DIALOUT_CALLER_LIST), c.callersNextTime);
  }
}

TEST_F(DialoutDialogTest, TheHotkeyReplacesAnOpenDialogAndTheTrayCommandOnlyRaisesIt) {
  StartClient();
  std::vector<std::string> calledShown;
  int raised = 0;
  sim.shell.onCopyKeys = [&] { sim.clipboard.CopyFromOther("+49 (0)30 1234-5"); };
  sim.modalScripts[IDD_DIALOUT] = [&](sim::SimDialogRecord& r) {
    calledShown.push_back(r.items[IDC_DIALOUT_CALLED]);
    if (calledShown.size() == 1) {
      sim.loop.Schedule(10, [&] { frame->OnCommand(ID_MENU_DIALOUT); });  // raises this one
      sim.loop.Schedule(20, [&] {
        raised = DialoutRecord()->broughtToFront;
        frame->OnHotKey(ID_HOTKEY_DIALOUT);
      });
    } else if (calledShown.size() == 2) {
      sim.loop.Schedule(10, [&] { frame->OnHotKey(ID_HOTKEY_DIALOUT); });  // an earlier hotkey dialog goes too
    } else {
      r.Press(kIdCancel);
    }
  };
  sim.clipboard.text = "user's text";
  frame->OnCommand(ID_MENU_DIALOUT);
  EXPECT_EQ(calledShown, (std::vector<std::string>{"", "00493012345", "00493012345"}));
  EXPECT_EQ(raised, 2);  // once as it opened, once for the second command
  EXPECT_FALSE(frame->DialoutDialog().IsOpen());
  EXPECT_EQ(sim.clipboard.text, "user's text");
}

}  // namespace
}  // namespace fon::test
