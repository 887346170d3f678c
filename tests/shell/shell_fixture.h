// The client with its information popups recorded, beside a CTI port and a
// scriptable relay port.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/frame_ids.h"
#include "tests/scenario/frame_fixture.h"

namespace fon::test {

// The English halves of the texts the shell shows.
inline const std::string kText212 = "\r\nError at activating the profile";
inline const std::string kText216 = "\r\nCould not activate idle timer";
inline const std::string kText217 = "Could not activate the profile. Please check the relay configuration.";
inline const std::string kText218 = "Could not transfer your profiles. Please check the relay configuration.";
inline const std::string kText221 = "An error occured at transferring the profile list.";
inline const std::string kText232 = "Could not change your profile. Please check the relay configuration.";
inline const std::string kText233 =
    "Could not transfer your profile list. Please check the relay configuration.";
inline const std::string kText239 = "Could not transfer your devices. Please check the relay configuration.";
inline const std::string kText241 = "an error occured at transfering the device list";

struct InfoPopup {
  int kind;
  std::string text;
  int sticky;
  friend bool operator==(const InfoPopup&, const InfoPopup&) = default;
};
using Popups = std::vector<InfoPopup>;

// The frame with its popup operation observed instead of shown.
class RecordingFrame : public CMainFrame {
 public:
  using CMainFrame::CMainFrame;
  void ShowInfoPopup(int kind, const std::string& text, int sticky) override {
    popups.push_back({kind, text, sticky});
    shownAt.push_back(Platform().Loop().NowMs());
  }
  void RunDialoutDialog(const std::string& number, bool fromHotkey) override {
    if (!record) return CMainFrame::RunDialoutDialog(number, fromHotkey);
    dialogs.push_back("dialout " + number);
    dialoutFromHotkey = fromHotkey;
    if (duringDialog) duringDialog();
  }
  void RunConfigDialog() override { dialogs.push_back("configuration"); }
  void RunLoginDialog() override { record ? dialogs.push_back("login") : CMainFrame::RunLoginDialog(); }
  void RunActiveProfileDialog(const std::string& profile) override { dialogs.push_back("active profile " + profile); }
  bool ExitWarningConfirmed() override {
    dialogs.push_back("exit warning");
    return true;
  }
  Popups popups;
  std::vector<std::uint64_t> shownAt;  // when each popup came
  // Off: the dial-out and login dialogs run as in the product.
  bool record = true;
  // Runs inside the dial-out dialog, as the user would while it is shown.
  std::function<void()> duringDialog;
  bool dialoutFromHotkey = false;  // of the last dial-out request
  // The dialogs run, in order.
  std::vector<std::string> dialogs;
};

class ShellTest : public FrameTest {
 protected:
  RecordingFrame* rec = nullptr;
  // Answers by command word; a word without an entry gets no answer.
  std::map<std::string, std::string> relayAnswers;

  void SetUp() override {
    SeedRegisteredUser();
    sim.registry.SetString(kMainKey, "Language", "English");
    sim.registry.SetString(kMainKey, "Website", "http://tsg.example/tpm");
  }
  void StartRecording() {
    auto f = std::make_unique<RecordingFrame>(sim);
    rec = f.get();
    frame = std::move(f);
    ASSERT_EQ(frame->Create(), 0);
    sim.loop.RunFor(10);
    sim.loop.RunPending();  // answers to the requests of the first connect
  }
  sim::SimListener& ServeRelay() {
    sim::SimListener& relay = sim.network.Listen(kServer, kRelayPort);
    relay.onData = [this](std::shared_ptr<sim::SimConnection> conn, const std::string& bytes) {
      std::string line(bytes.c_str());
      auto it = relayAnswers.find(line.substr(0, line.find('|')));
      if (it != relayAnswers.end()) conn->Send(it->second);
    };
    return relay;
  }
  // Every request line the relay port received, as sent (zero byte kept).
  std::vector<std::string> RelayRequests() const {
    std::vector<std::string> out;
    for (const auto& conn : sim.network.ConnectionsOnPort(kRelayPort))
      for (const auto& write : conn->writes) out.push_back(write);
    return out;
  }
  int CountRequests(const std::string& line) const {
    int n = 0;
    for (const auto& r : RelayRequests()) n += r == line + '\0';
    return n;
  }
  std::shared_ptr<sim::SimDialogRecord> LastDialog(int templateId) const {
    return *std::find_if(sim.dialogs.rbegin(), sim.dialogs.rend(), [=](auto& d) { return d->templateId == templateId; });
  }
  bool Running(unsigned id) const { return sim.timers.IsTimerRunning(frame.get(), id); }
  Popups& Shown() { return rec->popups; }
  std::vector<std::string>& Dialogs() { return rec->dialogs; }
};

}  // namespace fon::test
