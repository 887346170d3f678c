// Call events per second: parsing alone, and whole events through a started
// client on the simulation platform, for calls of the user (popup set-up
// included) and of someone else.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "app/main_frame.h"
#include "calls/cti_message.h"
#include "platform/sim/sim_platform.h"
#include "settings/settings_store.h"

namespace {

constexpr char kServer[] = "127.0.0.1";
constexpr char kTime[] = "Tue Dec  8 09:05:03 2026\n";
constexpr char kOwnCall[] = "X|17|Anna Beispiel|0301234|0302222|5|Hotline Sales\n";
constexpr char kOtherCall[] = "X|17|Anna Beispiel|0301234|0302222|6|Hotline Sales\n";

// A client of user 5, connected, with a relay that answers every request.
class StartedClient {
 public:
  explicit StartedClient(bool withCrmAndColours) {
    sim_.registry.CreateKey(fon::kMainKey);
    sim_.registry.SetDword(fon::kMainKey, "User ID", 5);
    sim_.registry.SetString(fon::kMainKey, "Server IP Address", kServer);
    sim_.registry.SetDword(fon::kMainKey, "Server Port", 12346);
    sim_.registry.SetDword(fon::kMainKey, "Relay Port", 12345);
    if (withCrmAndColours) {
      sim_.registry.SetString(fon::kMainKey, "CRM HTML Request",
                              "http://crm/?no={CALLERNO}&n={CALLERNAME}&id={CALLID}&u={USERID}&h={MTHOST}");
      sim_.registry.SetString(fon::kColorsKey, "RED", "support");
      sim_.registry.SetString(fon::kColorsKey, "TEAL", "sales");
    }
    sim_.network.Listen(kServer, 12346);
    sim_.network.Listen(kServer, 12345).onData = [](std::shared_ptr<fon::sim::SimConnection> c,
                                                    const std::string&) { c->Send("+OK"); };
    frame_ = std::make_unique<CMainFrame>(sim_);
    frame_->Create();
    sim_.loop.RunFor(100);
  }
  void Event(const char* message) {
    frame_->OnCtiMessage(message, kTime);
    // The simulated debugger keeps every line; keep the figures about the
    // client, not about a growing log.
    if (sim_.debug.lines.size() > 4096) sim_.debug.lines.clear();
  }
  int PopupCount() const { return frame_->PopupStack().PopupCount(); }
  // The server writes `events` events, `perWrite` of them joined in one
  // write; the client reads, frames and decides each.
  void Wire(const std::string& event, int events, int perWrite) {
    auto conn = sim_.network.LastConnectionOnPort(12346);
    std::string joined;
    for (int i = 0; i < perWrite; ++i) joined += event;
    for (int sent = 0; sent < events; sent += perWrite) conn->Send(joined);
    sim_.loop.RunFor(1);
    if (sim_.debug.lines.size() > 4096) sim_.debug.lines.clear();
  }

 private:
  fon::sim::SimPlatform sim_;
  std::unique_ptr<CMainFrame> frame_;
};

void BM_ParseOnly(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(fon::ParseCtiMessage(kOwnCall));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ParseOnly);

// range(0): 1 = a call of the user (popup made), 0 = someone else's call.
// range(1): 1 = with CRM template and colour rules.
void BM_CallEvent(benchmark::State& state) {
  const bool own = state.range(0) != 0;
  StartedClient client(state.range(1) != 0);
  for (auto _ : state) client.Event(own ? kOwnCall : kOtherCall);
  state.SetItemsProcessed(state.iterations());
  state.counters["popups"] = client.PopupCount();
}
BENCHMARK(BM_CallEvent)->ArgNames({"own", "crm"})->Args({0, 0})->Args({1, 0})->Args({1, 1});

// Whole events from the server's writes through the CTI socket's reads and
// framing to the popup decision: 300 events, range(0) of them per write
// (1: a write per event; 300: the whole burst in one write, read in
// 4095-byte blocks). range(1): 1 = calls of the user (popups made).
void BM_EventsFromTheWire(benchmark::State& state) {
  const int perWrite = static_cast<int>(state.range(0));
  const bool own = state.range(1) != 0;
  StartedClient client(false);
  for (auto _ : state) client.Wire(own ? kOwnCall : kOtherCall, 300, perWrite);
  state.SetItemsProcessed(state.iterations() * 300);
}
BENCHMARK(BM_EventsFromTheWire)->ArgNames({"perWrite", "own"})->Args({1, 0})->Args({300, 0})->Args({1, 1})->Args({300, 1});

}  // namespace

BENCHMARK_MAIN();
