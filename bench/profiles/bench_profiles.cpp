// Two figures about the idle timer on the simulation platform:
//  - the tick: heap allocations and time per tick while nobody moves,
//    beside a yardstick of 257 plain virtual calls (one cursor query and
//    256 key queries, with nothing else done);
//  - a soak: seven days of virtual time with the idle cycle (still for the
//    idle minutes, the switch, away, a mouse move, the restore), the
//    periodic restarts and a dropped CTI connection every third cycle; live
//    heap blocks, sockets and queued events after the first hour and at the
//    end.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>

#include "app/frame_ids.h"
#include "app/main_frame.h"
#include "platform/sim/sim_platform.h"
#include "settings/settings_store.h"

namespace {
long long g_news = 0;
long long g_deletes = 0;
}  // namespace

void* operator new(std::size_t size) {
  ++g_news;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept {
  if (!p) return;
  ++g_deletes;
  std::free(p);
}
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }

namespace {

using Clock = std::chrono::steady_clock;
constexpr char kServer[] = "127.0.0.1";
constexpr int kIdleMinutes = 20;
constexpr std::uint64_t kHourMs = 3600ull * 1000;

class Yardstick {
 public:
  virtual ~Yardstick() = default;
  // Not inlined: the figure is of real calls.
  [[gnu::noinline]] virtual int Query(int key) { return key & 1; }
};

struct Client {
  fon::sim::SimPlatform sim;
  std::unique_ptr<CMainFrame> frame;

  Client() {
    sim.registry.CreateKey(fon::kMainKey);
    sim.registry.SetDword(fon::kMainKey, "User ID", 42);
    sim.registry.SetString(fon::kMainKey, "Server IP Address", kServer);
    sim.registry.SetDword(fon::kMainKey, "Server Port", 12346);
    sim.registry.SetDword(fon::kMainKey, "Relay Port", 12345);
    sim.registry.SetDword(fon::kMainKey, "Idle Timer Checkbox", 1);
    sim.registry.SetDword(fon::kMainKey, "Idle Timer", kIdleMinutes);
    sim.registry.SetString(fon::kMainKey, "Idle Timer Profile", "Away");
    sim.network.Listen(kServer, 12346);
    sim.network.Listen(kServer, 12345).onData = [](std::shared_ptr<fon::sim::SimConnection> c,
                                                   const std::string& request) {
      const std::string word = request.substr(0, request.find('|'));
      c->Send(word == "GETPROFILELIST" ? "+OK|1|Home|3|Away" : word == "GETDEVICES" ? "+OK|1|d|301" : "+OK");
    };
    frame = std::make_unique<CMainFrame>(sim);
    frame->Create();
    sim.loop.RunFor(100);
  }
  // The simulation's own records of what happened (every connection, log
  // line and tray call) grow with time; they are not the client's.
  void ForgetHistory() {
    restarts += sim.debug.Count("Trying to restart the connection\n");
    sim.debug.lines.clear();
    sim.shell.trayCalls.clear();
    std::erase_if(sim.network.connections,
                  [](const auto& c) { return c->closedByClient() || c->closedByServer(); });
    std::erase_if(sim.dialogs, [](const auto& d) { return d->destroyed; });
  }
  long long Live() const { return g_news - g_deletes; }
  int restarts = 0;
};

void TickFigures() {
  Client client;
  constexpr int kTicks = 1000;  // below the idle minutes: no switch
  const long long before = g_news;
  const auto start = Clock::now();
  for (int i = 0; i < kTicks; ++i) client.frame->OnTimer(fon::ID_TIMER_IDLE);
  const double tickNs = std::chrono::duration<double, std::nano>(Clock::now() - start).count() / kTicks;

  std::unique_ptr<Yardstick> owned = std::make_unique<Yardstick>();
  // Through a volatile pointer: the calls stay virtual calls.
  Yardstick* volatile yard = owned.get();
  volatile int sink = 0;
  const auto y0 = Clock::now();
  for (int i = 0; i < kTicks; ++i)
    for (int key = 0; key < 257; ++key) sink = sink + yard->Query(key);
  const double yardNs = std::chrono::duration<double, std::nano>(Clock::now() - y0).count() / kTicks;
  std::printf(
      "idle tick (still): %.2f heap allocations, %.0f ns a tick; yardstick 257 virtual calls: %.0f ns\n",
      static_cast<double>(g_news - before) / kTicks, tickNs, yardNs);
}

void SoakFigures() {
  Client client;
  auto& sim = client.sim;
  int cycles = 0, away = 0;
  long long liveHour = -1;
  int socketsHour = 0;
  std::size_t eventsHour = 0;
  const auto start = Clock::now();
  while (sim.loop.NowMs() < 7 * 24 * kHourMs) {
    sim.loop.RunFor((kIdleMinutes * 60 + 5) * 1000ull);  // still: the switch
    away += client.frame->Idle().IsAway();
    sim.loop.RunFor(10 * 60 * 1000ull);
    sim.shell.cursor.x ^= 1;  // back
    sim.loop.RunFor(2000);
    if (++cycles % 3 == 0) {
      if (auto cti = sim.network.LastConnectionOnPort(12346)) cti->Close();
      sim.loop.RunFor(1000);
    }
    client.ForgetHistory();
    if (liveHour < 0 && sim.loop.NowMs() >= kHourMs) {
      liveHour = client.Live();
      socketsHour = sim.network.socketsAlive;
      eventsHour = sim.loop.PendingEvents();
    }
  }
  const double wallS = std::chrono::duration<double>(Clock::now() - start).count();
  std::printf("soak, 7 days virtual in %.1f s: %d idle cycles (%d reached away), %d restarts logged\n", wallS,
              cycles, away, client.restarts);
  std::printf("  after the first hour: %lld live heap blocks, %d sockets, %zu queued events\n", liveHour,
              socketsHour, eventsHour);
  std::printf("  after seven days:     %lld live heap blocks, %d sockets, %zu queued events\n", client.Live(),
              sim.network.socketsAlive, sim.loop.PendingEvents());
}

}  // namespace

int main() {
  TickFigures();
  SoakFigures();
  return 0;
}
