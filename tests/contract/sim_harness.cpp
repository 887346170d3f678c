// The contract harness on the simulation: virtual time, scripted servers.
#include <deque>

#include "harness.h"

#include <gtest/gtest.h>

#include "control_ids.h"
#include "platform/sim/sim_platform.h"

namespace fon::contract {
namespace {

constexpr char kLoopback[] = "127.0.0.1";

class SimPeer final : public Peer {
 public:
  explicit SimPeer(std::shared_ptr<sim::SimConnection> connection) : connection_(std::move(connection)) {}
  void Send(const std::string& bytes) override { connection_->Send(bytes); }
  void Close() override { connection_->Close(); }
  std::string Received() override { return connection_->received; }

 private:
  std::shared_ptr<sim::SimConnection> connection_;
};

class SimListenerHandle final : public Listener {
 public:
  SimListenerHandle(sim::SimNetwork& network, int port, bool reads) : network_(network), port_(port) {
    sim::SimListener& listener = network_.Listen(kLoopback, port);
    listener.neverReads = !reads;
    listener.onAccept = [this](std::shared_ptr<sim::SimConnection> c) { pending_.push_back(std::move(c)); };
  }
  ~SimListenerHandle() override { network_.StopListening(kLoopback, port_); }
  int Port() const override { return port_; }
  std::unique_ptr<Peer> Accept() override {
    if (pending_.empty()) return nullptr;
    auto peer = std::make_unique<SimPeer>(pending_.front());
    pending_.pop_front();
    return peer;
  }

 private:
  sim::SimNetwork& network_;
  int port_;
  std::deque<std::shared_ptr<sim::SimConnection>> pending_;
};

class SimHarness final : public Harness {
 public:
  SimHarness() {
    // The tab stops of the contract template (tests/win32/test_resources.rc).
    sim_.tabStops[IDD_CONTRACT_CONTROLS] = {{IDC_CONTRACT_EDIT, true},
                                            {IDC_CONTRACT_LIST, true},
                                            {IDC_CONTRACT_CHECK, true},
                                            {IDC_CONTRACT_HOTKEY, true},
                                            {IDC_CONTRACT_BUTTON, true}};
  }
  IPlatform& Platform() override { return sim_; }
  std::unique_ptr<Listener> Listen(bool reads) override {
    return std::make_unique<SimListenerHandle>(sim_.network, nextPort_++, reads);
  }
  int RefusedPort() override { return nextPort_++; }
  int SilentPort() override {
    int port = nextPort_++;
    sim_.network.Listen(kLoopback, port).mode = sim::ListenMode::kBlackhole;
    return port;
  }
  void Settle() override {}
  bool RunUntil(const std::function<bool()>& done, unsigned timeoutMs) override {
    sim_.loop.RunUntilFor(done, timeoutMs);
    return done();
  }
  std::string ScratchKey() override { return "Software\\FonarisContract\\Scratch"; }
  void Click(IDialogWindow& dialog, int id) override {
    // The simulation knows no control classes: the test's check box is the
    // one control that toggles.
    sim::SimDialogRecord& record = Record(dialog);
    if (id == IDC_CONTRACT_CHECK)
      record.Toggle(id);
    else
      record.Press(id);
  }
  void Choose(IDialogWindow& dialog, int id, int index) override { Record(dialog).Choose(id, index); }
  int FocusedControl(IDialogWindow& dialog) override { return Record(dialog).focus; }

 private:
  sim::SimDialogRecord& Record(IDialogWindow& dialog) {
    for (auto& record : sim_.dialogs)
      if (record->handle == dialog.Handle()) return *record;
    ADD_FAILURE() << "no such dialog";
    return *sim_.dialogs.back();
  }

  sim::SimPlatform sim_;
  int nextPort_ = 40000;
};

}  // namespace

std::unique_ptr<Harness> MakeHarness() { return std::make_unique<SimHarness>(); }

}  // namespace fon::contract
