// The tray's login and the registration at a first start, against a relay
// that answers, splits, stalls or closes, in virtual time.
#include <gtest/gtest.h>

#include <algorithm>

#include "res/resource.h"
#include "tests/shell/shell_fixture.h"

namespace fon::test {
namespace {

const std::string kOk = "\r\nLogin successfull", kFail = "\r\nError at login",
                  kLong(5000, 'x'), kConnect = "Error at connecting. Please check the configuration",
                  kSilent = "The server did not answer to the request. Please check server and port.";
enum Link { kUp, kBack, kDown };
// The relay's writes (1 ms apart, `delay` ms after the request), the popups,
// the dialog's end and the values stored; the user gives up `endAt` ms
// after OK.
struct Exchange {
  const char* name;
  std::vector<std::string> writes;
  int delay;
  bool close;
  std::vector<std::string> popups;
  int code = kIdCancel;
  std::string stored = "";  // "" = as before
  Link link = kUp;
  unsigned endAt = 5000, connectMs = 1;
  std::string address = kServer, port = "12345";
};
void PrintTo(const Exchange& c, std::ostream* os) { *os << c.name; }

class LoginTest : public ShellTest, public ::testing::WithParamInterface<Exchange> {
 protected:
  // Serves the relay as the case says; the dialog gets `fields` typed, then OK.
  void Script(int dialog, std::map<int, std::string> fields) {
    const Exchange& c = GetParam();
    sim::SimListener& relay = sim.network.Listen(c.address, kRelayPort);
    relay.connectDelayMs = c.connectMs;
    relay.onData = [this, c](std::shared_ptr<sim::SimConnection> conn, const std::string& line) {
      for (std::size_t i = 0; line.starts_with("CTILOGIN") && i <= c.writes.size(); ++i)
        sim.loop.Schedule(c.delay + i, [conn, c, i] {
          i < c.writes.size() ? conn->Send(c.writes[i]) : c.close ? conn->Close() : void();
        });
    };
    sim.modalScripts[dialog] = [this, c, fields](sim::SimDialogRecord& d) {
      if (c.link == kBack) ServeCti();
      dialog_ = &d, presets = d.items;
      for (const auto& [id, text] : fields) d.Type(id, text);
      sim.loop.Schedule(c.endAt, [&d] { d.Press(kIdCancel); });
      d.Press(kIdOk);
    };
  }
  // What every exchange must leave: its popups and values, the request on
  // the wire only, nothing busy.
  void Check(const std::string& user, std::initializer_list<const char*> values, const std::string& before) {
    const Exchange& c = GetParam();
    std::vector<std::string> texts;
    for (const InfoPopup& p : Shown()) texts.push_back(p.kind == 2 && p.sticky == 0 ? p.text : "?");
    EXPECT_EQ(texts, c.popups);
    EXPECT_EQ(dialog_->endCode, c.code);
    const bool sent = c.link != kDown && c.connectMs == 1 && c.address == kServer && c.port == "12345";
    auto requests = RelayRequests();
    EXPECT_EQ(std::count(requests.begin(), requests.end(), "CTILOGIN|" + user + "|secret"), sent);
    EXPECT_EQ(LoggedCount("Message sent: CTILOGIN|" + user + "|********\n"), sent);
    EXPECT_EQ(LoggedCount("secret"), 0);
    EXPECT_EQ(frame->Relay().RelayBusy(), 0);
    std::string stored;
    for (const char* name : values) {
      auto v = sim.registry.GetDword(kMainKey, name);
      stored += (v ? std::to_string(*v) : "-") + " ";
    }
    EXPECT_EQ(stored + *sim.registry.GetString(kMainKey, "Server IP Address"),
              c.stored.empty() ? before : c.stored);
  }
  sim::SimDialogRecord* dialog_ = nullptr;
  std::map<int, std::string> presets;
};

// clang-format off
const Exchange kLogins[] = {
    {"both ids", {"+OK|42|7"}, 0, false, {kOk}, kIdOk, "42 7 127.0.0.1"},
    {"no parent", {"+OK|42"}, 0, false, {kOk}, kIdOk, "42 0 127.0.0.1"},
    {"fields beyond", {"+OK|42|7|junk"}, 0, false, {kOk}, kIdOk, "42 7 127.0.0.1"},
    {"id not a number", {"+OK|abc|1"}, 0, false, {kOk, kFail}, kIdOk, "0 1 127.0.0.1"},
    {"bar, nothing after", {"+OK|"}, 0, false, {kFail}},
    {"status alone", {"+OK"}, 0, false, {kFail}},
    {"refused", {"-ERR|wrong password"}, 0, false, {kFail}},
    {"garbage", {"\x01\xfe|\x7f"}, 0, false, {kFail}},
    {"split, success in the first piece", {"+OK|4", "2|7"}, 0, false, {kOk}, kIdOk, "4 0 127.0.0.1"},
    {"split refusal: each piece fails", {"-ERR", "|x"}, 0, false, {kFail, kFail}},
    {"4 KB and more: two reads", {"-ERR|" + kLong}, 0, false, {kFail, kFail}},
    {"closed at once", {}, 0, true, {}},
    {"never answers", {}, 0, false, {kSilent}},
    {"answer after the 1 s timeout", {"+OK|42|7"}, 1500, false, {kSilent}},
    {"deferred: 10 s to answer", {"+OK|42|7"}, 3000, false, {kOk}, kIdOk, "42 7 127.0.0.1", kBack},
    {"deferred, link still down", {"+OK|42|7"}, 0, false, {kConnect}, kIdCancel, "", kDown},
    {"cancelled while connecting", {"+OK|42|7"}, 0, false, {}, kIdCancel, "", kUp, 500, 3000},
};
const Exchange kRegistrations[] = {
    {"accepted", {"+OK|42|7"}, 0, false, {kOk}, kIdOk, "42 12346 12345 - 127.0.0.1"},
    {"accepted as user 0", {"+OK|0"}, 0, false, {kOk}, kIdOk, "0 12346 12345 - 127.0.0.1"},
    {"answer after 9 s", {"+OK|42"}, 9000, false, {kOk}, kIdOk, "42 12346 12345 - 127.0.0.1", kUp, 12000},
    {"status without bar", {"+OK"}, 0, false, {kFail}},
    {"refused", {"ERR|unknown user"}, 0, false, {kFail}},
    {"closed at once", {}, 0, true, {}},
    {"never answers", {}, 0, false, {kSilent}, kIdCancel, "", kUp, 12000},
    {"address does not resolve", {}, 0, false, {kConnect}, kIdCancel, "", kUp, 5000, 1, "nowhere.invalid"},
    {"port not a number", {"+OK|42"}, 0, false, {}, kIdCancel, "", kUp, 5000, 1, kServer, "12a"},
};
// clang-format on

TEST_P(LoginTest, TrayLogin) {
  sim.registry.SetDword(kMainKey, "User ID", 5);
  sim.registry.SetDword(kMainKey, "Parent User ID", 3);
  if (GetParam().link == kUp) ServeCti();
  StartRecording();
  rec->record = false;
  Script(IDD_LOGIN, {{IDC_LOGIN_USER, "demo"}, {IDC_LOGIN_PASSWORD, "secret"}});
  Shown().clear();
  frame->OnCommand(ID_MENU_LOGIN);
  Check("demo", {"User ID", "Parent User ID"}, "5 3 127.0.0.1");
  // After a login the lists and the forced profile are asked for afresh.
  auto id = std::to_string(sim.registry.GetDword(kMainKey, "User ID").value_or(0));
  EXPECT_EQ(CountRequests("GETACTIVEFORCEDPROFILE|" + id), GetParam().code == kIdOk);
}
INSTANTIATE_TEST_SUITE_P(Answers, LoginTest, ::testing::ValuesIn(kLogins));

class RegistrationTest : public LoginTest {};
TEST_P(RegistrationTest, FirstStart) {
  const Exchange& c = GetParam();
  const bool ok = c.code == kIdOk;
  sim.registry.SetDword(kMainKey, "User ID", 1000001);
  sim.registry.SetString(kMainKey, "Server IP Address", std::string(31, '1'));
  sim.registry.SetDword(kMainKey, "Relay Port", 0);
  sim.registry.SetDword(kMainKey, "Server Port", 4000);
  ServeCti();
  Script(IDD_REGISTER,
         {{IDC_REGISTER_PASSWORD, "secret"}, {IDC_REGISTER_SERVER, c.address}, {IDC_REGISTER_PORT, c.port}});
  StartRecording();
  Check("tester", {"User ID", "Server Port", "Relay Port", "Parent User ID"},
        "1000001 4000 0 - " + std::string(31, '1'));
  EXPECT_EQ(presets[IDC_REGISTER_USER] + presets[IDC_REGISTER_SERVER] + "|" + presets[IDC_REGISTER_PORT] +
                "|" + presets[IDC_REGISTER_INTRO],
            "tester|12345|The Fonaris could not find your User ID. Please log in:");
  EXPECT_EQ(dialog_->rejected.size(), c.port != "12345");
  // The notice over the blocking connect, then the one of the start's own connect.
  EXPECT_EQ(std::count_if(sim.dialogs.begin(), sim.dialogs.end(),
                          [](auto& d) {
                            return d->templateId == IDD_WAIT && d->centered && d->redraws && !d->visible;
                          }),
            (c.port == "12345") + ok);
  EXPECT_EQ(frame->m_bConfigAfterProfiles, ok);
  sim.loop.RunFor(1100);
  EXPECT_EQ(sim.frame->destroyed, !ok);
  EXPECT_EQ(sim.shell.VisibleTrayIcon() != 0, ok);
}
INSTANTIATE_TEST_SUITE_P(Answers, RegistrationTest, ::testing::ValuesIn(kRegistrations));

}  // namespace
}  // namespace fon::test
