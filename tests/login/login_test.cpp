// The tray's login and the registration at a first start, against a relay
// port that answers, splits, stalls or closes, in virtual time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "res/resource.h"
#include "tests/shell/shell_fixture.h"

namespace fon::test {
namespace {

const std::string kOk = "\r\nLogin successfull", kFail = "\r\nError at login", kConnect =
    "Error at connecting. Please check the configuration", kSilent =
    "The server did not answer to the request. Please check server and port.";
enum Link { kUp, kBack, kDown };

struct Exchange {
  const char* name;
  std::vector<std::string> writes;  // the relay's writes, 1 ms apart, after `delay` ms
  int delay = 0;
  bool close = false;  // the relay closes after its writes
  std::vector<std::string> popups;
  int code = kIdCancel;
  int userId = 5, parentId = 3;  // as stored afterwards (5 and 3 before)
  Link link = kUp;
  unsigned endAt = 5000;  // the user gives up this long after OK
  std::string address = kServer;
  unsigned connectMs = 1;
  std::string port = "12345";  // typed into the registration
};

void PrintTo(const Exchange& c, std::ostream* os) { *os << c.name; }
std::string CaseName(const ::testing::TestParamInfo<Exchange>& info) {
  std::string name;
  for (const char* p = info.param.name; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
  return name;
}

class LoginTest : public ShellTest, public ::testing::WithParamInterface<Exchange> {
 protected:
  struct Frame : RecordingFrame {
    using RecordingFrame::RecordingFrame;
    void RunLoginDialog() override { CMainFrame::RunLoginDialog(); }
  };
  // Serves the relay as `c` says and types `fields` into `dialog`, then OK.
  void Script(const Exchange& c, int dialog, std::map<int, std::string> fields) {
    sim::SimListener& relay = sim.network.Listen(c.address, kRelayPort);
    relay.connectDelayMs = c.connectMs;
    relay.onData = [this, c](std::shared_ptr<sim::SimConnection> conn, const std::string& line) {
      if (line.rfind("CTILOGIN", 0) != 0) return;
      for (std::size_t i = 0; i <= c.writes.size(); ++i)
        sim.loop.Schedule(c.delay + i, [conn, c, i] {
          if (i < c.writes.size()) conn->Send(c.writes[i]);
          else if (c.close) conn->Close();
        });
    };
    sim.modalScripts[dialog] = [this, c, fields](sim::SimDialogRecord& d) {
      if (c.link == kBack) ServeCti();
      for (const auto& [id, text] : fields) d.Type(id, text);
      sim.loop.Schedule(c.endAt, [&d] { d.Press(kIdCancel); });
      d.Press(kIdOk);
    };
  }
  // The information popups so far, as texts (every one of kind 2, not sticky).
  std::vector<std::string> Texts() {
    std::vector<std::string> out;
    for (const InfoPopup& p : Shown()) out.push_back(p.kind == 2 && p.sticky == 0 ? p.text : "?");
    return out;
  }
  sim::SimDialogRecord& Dialog(int templateId) {
    for (auto it = sim.dialogs.rbegin(); it != sim.dialogs.rend(); ++it)
      if ((*it)->templateId == templateId) return **it;
    return *sim.dialogs.front();
  }
  void CheckNoPasswordAndNothingLeft(const char* name, int templateId) {
    EXPECT_EQ(LoggedCount("secret"), 0) << name;
    EXPECT_EQ(frame->Relay().RelayBusy(), 0) << name;
    EXPECT_TRUE(Dialog(templateId).ended) << name;
  }
};

const std::string kLong(5000, 'x');
const Exchange kLogins[] = {
    {"both ids", {"+OK|42|7"}, 0, false, {kOk}, kIdOk, 42, 7},
    {"no parent", {"+OK|42"}, 0, false, {kOk}, kIdOk, 42, 0},
    {"fields beyond", {"+OK|42|7|junk"}, 0, false, {kOk}, kIdOk, 42, 7},
    {"id not a number", {"+OK|abc|1"}, 0, false, {kOk, kFail}, kIdOk, 0, 1},
    {"bar, nothing after", {"+OK|"}, 0, false, {kFail}},
    {"status alone", {"+OK"}, 0, false, {kFail}},
    {"refused", {"-ERR|wrong password"}, 0, false, {kFail}},
    {"garbage", {"\x01\xfe|\x7f"}, 0, false, {kFail}},
    {"split, success in the first piece", {"+OK|4", "2|7"}, 0, false, {kOk}, kIdOk, 4, 0},
    {"split refusal: each piece fails", {"-ERR", "|x"}, 0, false, {kFail, kFail}},
    {"4 KB and more: two reads", {"-ERR|" + kLong}, 0, false, {kFail, kFail}},
    {"closed at once", {}, 0, true, {}},
    {"never answers", {}, 0, false, {kSilent}},
    {"answer after the 1 s timeout", {"+OK|42|7"}, 1500, false, {kSilent}},
    {"deferred: 10 s to answer", {"+OK|42|7"}, 3000, false, {kOk}, kIdOk, 42, 7, kBack},
    {"deferred, link still down", {"+OK|42|7"}, 0, false, {kConnect}, kIdCancel, 5, 3, kDown},
    {"cancelled while connecting", {"+OK|42|7"}, 0, false, {}, kIdCancel, 5, 3, kUp, 500, kServer, 3000},
};

TEST_P(LoginTest, TrayLogin) {
  const Exchange& c = GetParam();
  sim.registry.SetDword(kMainKey, "User ID", 5);
  sim.registry.SetDword(kMainKey, "Parent User ID", 3);
  if (c.link == kUp) ServeCti();
  auto f = std::make_unique<Frame>(sim);
  rec = f.get();
  frame = std::move(f);
  ASSERT_EQ(frame->Create(), 0);
  sim.loop.RunFor(10);
  Script(c, IDD_LOGIN, {{IDC_LOGIN_USER, "demo"}, {IDC_LOGIN_PASSWORD, "secret"}});
  Shown().clear();
  frame->OnCommand(ID_MENU_LOGIN);
  EXPECT_EQ(Texts(), c.popups) << c.name;
  sim.loop.RunFor(20000);
  EXPECT_EQ(Dialog(IDD_LOGIN).endCode, c.code) << c.name;
  EXPECT_EQ(sim.registry.GetDword(kMainKey, "User ID"), c.userId) << c.name;
  EXPECT_EQ(sim.registry.GetDword(kMainKey, "Parent User ID"), c.parentId) << c.name;
  auto requests = RelayRequests();
  const bool sent = c.link != kDown && c.connectMs == 1;
  EXPECT_EQ(std::count(requests.begin(), requests.end(), "CTILOGIN|demo|secret"), sent) << c.name;
  EXPECT_EQ(LoggedCount("Message sent: CTILOGIN|demo|********\n"), sent) << c.name;
  EXPECT_EQ(CountRequests("GETACTIVEFORCEDPROFILE|" + std::to_string(c.userId)), c.code == kIdOk) << c.name;
  CheckNoPasswordAndNothingLeft(c.name, IDD_LOGIN);
}
INSTANTIATE_TEST_SUITE_P(Answers, LoginTest, ::testing::ValuesIn(kLogins), CaseName);

const Exchange kRegistrations[] = {
    {"accepted", {"+OK|42|7"}, 0, false, {kOk}, kIdOk, 42},
    {"accepted as user 0", {"+OK|0"}, 0, false, {kOk}, kIdOk, 0},
    {"answer after 9 s", {"+OK|42"}, 9000, false, {kOk}, kIdOk, 42, 0, kUp, 12000},
    {"status without bar", {"+OK"}, 0, false, {kFail}},
    {"refused", {"ERR|unknown user"}, 0, false, {kFail}},
    {"closed at once", {}, 0, true, {}},
    {"never answers", {}, 0, false, {kSilent}, kIdCancel, 5, 3, kUp, 12000},
    {"address does not resolve", {}, 0, false, {kConnect}, kIdCancel, 5, 3, kUp, 5000, "nowhere.invalid"},
    {"port not a number", {"+OK|42"}, 0, false, {}, kIdCancel, 5, 3, kUp, 5000, kServer, 1, "12a"},
};

class RegistrationTest : public LoginTest {};

TEST_P(RegistrationTest, FirstStart) {
  const Exchange& c = GetParam();
  sim.registry.SetDword(kMainKey, "User ID", 1000001);
  sim.registry.SetString(kMainKey, "Server IP Address", std::string(31, '1'));
  sim.registry.SetDword(kMainKey, "Relay Port", 0);
  sim.registry.SetDword(kMainKey, "Server Port", 4000);
  ServeCti();
  Script(c, IDD_REGISTER, {{IDC_REGISTER_PASSWORD, "secret"}, {IDC_REGISTER_SERVER, c.address},
                           {IDC_REGISTER_PORT, c.port}});
  std::map<int, std::string> presets;
  auto script = sim.modalScripts[IDD_REGISTER];
  sim.modalScripts[IDD_REGISTER] = [&](sim::SimDialogRecord& d) { presets = d.items, script(d); };
  StartRecording();
  EXPECT_EQ(Texts(), c.popups) << c.name;
  EXPECT_EQ(presets, (std::map<int, std::string>{{IDC_REGISTER_USER, "tester"}, {IDC_REGISTER_PASSWORD, ""},
      {IDC_REGISTER_SERVER, ""}, {IDC_REGISTER_PORT, "12345"}, {IDC_REGISTER_TITLE, "Login"},
      {IDC_REGISTER_INTRO, "The Fonaris could not find your User ID. Please log in:"},
      {IDC_REGISTER_USER_LABEL, "Username:"}, {IDC_REGISTER_PASSWORD_LABEL, "Password:"},
      {IDC_REGISTER_SERVER_HINT, "To check username and password ip-address of TSG and relay port are requiered."},
      {IDC_REGISTER_SERVER_LABEL, "IP-Address TSG:"}, {IDC_REGISTER_PORT_LABEL, "Port (Relay):"},
      {kIdOk, "Ok"}, {kIdCancel, "Cancel"}}));
  const bool ok = c.code == kIdOk, sent = c.address == kServer && c.port == "12345";
  EXPECT_EQ(Dialog(IDD_REGISTER).rejected.size(), c.port != "12345") << c.name;
  EXPECT_EQ(LoggedCount("Message sent: CTILOGIN|tester|********\n"), sent) << c.name;
  // The notice over the blocking connect, then the one of the start's own connect.
  auto waits = std::count_if(sim.dialogs.begin(), sim.dialogs.end(), [](auto& d) {
    return d->templateId == IDD_WAIT && d->centered && d->redraws > 0 && !d->visible;
  });
  EXPECT_EQ(waits, (c.port == "12345") + ok) << c.name;
  EXPECT_EQ(frame->m_bConfigAfterProfiles, ok) << c.name;
  EXPECT_EQ(sim.registry.GetDword(kMainKey, "User ID"), ok ? c.userId : 1000001) << c.name;
  EXPECT_EQ(sim.registry.GetDword(kMainKey, "Server Port"), ok ? 12346 : 4000) << c.name;
  EXPECT_EQ(sim.registry.GetDword(kMainKey, "Relay Port"), ok ? 12345 : 0) << c.name;
  EXPECT_EQ(sim.registry.GetString(kMainKey, "Server IP Address"), ok ? kServer : std::string(31, '1'));
  EXPECT_FALSE(sim.registry.GetDword(kMainKey, "Parent User ID")) << c.name;
  sim.loop.RunFor(1100);
  EXPECT_EQ(sim.frame->destroyed, !ok) << c.name;
  EXPECT_EQ(sim.shell.VisibleTrayIcon() != 0, ok) << c.name;
  CheckNoPasswordAndNothingLeft(c.name, IDD_REGISTER);
}
INSTANTIATE_TEST_SUITE_P(Answers, RegistrationTest, ::testing::ValuesIn(kRegistrations), CaseName);

}  // namespace
}  // namespace fon::test
