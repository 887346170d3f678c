// Drives the CTI socket's framing with arbitrary bytes cut into arbitrary
// reads, with pauses, and checks what its owner is handed: together, the
// events are exactly the bytes written less their NUL bytes, in order; each
// event is at most one read long and holds a line feed only at its end;
// an event ends without a line feed only when it is a full piece, or nothing
// followed it for the wait bound, or the connection ended; the end is told
// once, after the last event.
//
// Input: byte 0: bit 0 closes the connection at the end; bits 1..6 the
// number of cut records. Each cut record is two bytes: a write length
// (low 7 bits, times 97 when the high bit is set, plus one) and a pause after
// the write (0, 1, 150 ms or the wait bound). Then the bytes the server
// writes; what the cuts leave goes in one last write.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "net/cti_port_socket.h"
#include "platform/sim/sim_platform.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

class Recorder final : public ICtiPortOwner {
 public:
  explicit Recorder(fon::sim::SimLoop& loop) : loop_(loop) {}
  void OnCtiPortConnected(CCtiPortSocket&) override {}
  void OnCtiPortConnectFailed(CCtiPortSocket&) override {}
  void OnCtiPortMessage(const std::string& message, const std::string&) override {
    Check(ends == 0);
    events.push_back(message);
    at.push_back(loop_.NowMs());
  }
  void OnCtiPortClosed(CCtiPortSocket& socket) override {
    ++ends;
    socket.Close();
  }
  std::vector<std::string> events;
  std::vector<std::uint64_t> at;  // virtual time each event was handed on
  int ends = 0;

 private:
  fon::sim::SimLoop& loop_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const bool closeAtEnd = data[0] & 1;
  std::size_t cuts = (data[0] >> 1) & 0x3F;
  std::size_t pos = 1;
  struct Cut {
    std::size_t length;
    unsigned pauseMs;
  };
  std::vector<Cut> plan;
  static const unsigned kPauses[] = {0, 1, 150, CCtiPortSocket::kTailWaitMs};
  for (; cuts > 0 && pos + 2 <= size; --cuts, pos += 2) {
    const std::size_t length = static_cast<std::size_t>(data[pos] & 0x7F) * (data[pos] & 0x80 ? 97 : 1) + 1;
    plan.push_back({length, kPauses[data[pos + 1] % 4]});
  }
  const std::string stream(reinterpret_cast<const char*>(data + pos), size - pos);

  fon::sim::SimPlatform sim;
  sim.network.Listen("127.0.0.1", 12346);
  Recorder owner(sim.loop);
  CCtiPortSocket socket(sim, &owner);
  Check(socket.Create() == 0);
  socket.Connect("127.0.0.1", 12346);
  sim.loop.RunFor(5);
  auto conn = sim.network.LastConnectionOnPort(12346);
  Check(conn != nullptr);

  // When each write went out, to tell which tails may stand alone.
  std::vector<std::uint64_t> writtenAt;
  std::size_t at = 0;
  for (const Cut& cut : plan) {
    if (at >= stream.size()) break;
    const std::string bytes = stream.substr(at, cut.length);
    conn->Send(bytes);
    at += bytes.size();
    writtenAt.push_back(sim.loop.NowMs());
    sim.loop.RunFor(cut.pauseMs);
  }
  if (at < stream.size()) {
    conn->Send(stream.substr(at));
    writtenAt.push_back(sim.loop.NowMs());
  }
  if (closeAtEnd) conn->Close();
  sim.loop.RunFor(CCtiPortSocket::kTailWaitMs);

  std::string expected;
  for (char c : stream)
    if (c != '\0') expected += c;
  std::string joined;
  for (std::size_t i = 0; i < owner.events.size(); ++i) {
    const std::string& e = owner.events[i];
    Check(!e.empty() && e.size() <= static_cast<std::size_t>(CCtiPortSocket::kMaxRead));
    const std::size_t lf = e.find('\n');
    Check(lf == std::string::npos || lf + 1 == e.size());
    const bool whole = lf != std::string::npos || e.size() == static_cast<std::size_t>(CCtiPortSocket::kMaxRead);
    // A tail stands alone only at the end, or when nothing was written
    // for the full bound before it was handed on.
    if (!whole && !(closeAtEnd && i + 1 == owner.events.size())) {
      std::uint64_t lastWrite = 0;
      for (std::uint64_t w : writtenAt)
        if (w <= owner.at[i]) lastWrite = w;
      Check(owner.at[i] >= lastWrite + CCtiPortSocket::kTailWaitMs);
    }
    joined += e;
  }
  Check(joined == expected);
  Check(owner.ends == (closeAtEnd ? 1 : 0));
  return 0;
}
