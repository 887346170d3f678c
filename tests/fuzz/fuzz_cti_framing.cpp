// Drives the CTI socket's framing with arbitrary bytes cut into arbitrary
// writes and pauses, and checks what its owner is handed: together the
// events are exactly the bytes written less their NUL bytes, in order; each
// is at most one read long with a line feed only at its end; one without a
// line feed is a full piece, or came after the wait bound without a write,
// or is the last before the end; the end is told once, after every event.
//
// Input: byte 0: bit 0 closes the connection at the end, bits 1..6 the
// number of cuts. Each cut is two bytes: a write length (low 7 bits, times 97
// with the high bit, plus one) and a pause after it (0, 1, 150 ms or the
// bound). Then the bytes; what the cuts leave goes in one last write.
#include <cstdint>

#include "tests/support/cti_recorder.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  constexpr unsigned kBound = CCtiPortSocket::kTailWaitMs;
  constexpr std::size_t kPiece = CCtiPortSocket::kMaxRead;
  const bool close = data[0] & 1;
  std::size_t pos = 1 + 2 * std::min<std::size_t>((data[0] >> 1) & 0x3F, (size - 1) / 2);
  const std::string stream(reinterpret_cast<const char*>(data + pos), size - pos);

  fon::test::CtiRecorder client;
  auto conn = client.Connect();
  Check(conn != nullptr);
  std::vector<std::uint64_t> writes;  // when each write went out
  std::size_t at = 0;
  for (std::size_t cut = 1; cut < pos && at < stream.size(); cut += 2) {
    const std::size_t length = static_cast<std::size_t>(data[cut] & 0x7F) * (data[cut] & 0x80 ? 97 : 1) + 1;
    conn->Send(stream.substr(at, length));
    at += length;
    writes.push_back(client.sim.loop.NowMs());
    static const unsigned kPauses[] = {0, 1, 150, kBound};
    client.sim.loop.RunFor(kPauses[data[cut + 1] % 4]);
  }
  if (at < stream.size()) {
    conn->Send(stream.substr(at));
    writes.push_back(client.sim.loop.NowMs());
  }
  if (close) conn->Close();
  client.sim.loop.RunFor(kBound);

  std::string expected, joined;
  for (char c : stream)
    if (c != '\0') expected += c;
  for (std::size_t i = 0; i < client.events.size(); ++i) {
    const std::string& e = client.events[i];
    const std::size_t lf = e.find('\n');
    Check(!e.empty() && e.size() <= kPiece && (lf == std::string::npos || lf + 1 == e.size()));
    if (lf == std::string::npos && e.size() < kPiece && !(close && i + 1 == client.events.size())) {
      // A write at the very moment of the event came after it.
      std::uint64_t lastWrite = 0;
      for (std::uint64_t w : writes) lastWrite = w < client.at[i] ? w : lastWrite;
      Check(client.at[i] >= lastWrite + kBound);
    }
    joined += e;
  }
  Check(joined == expected);
  Check(client.ends == (close ? 1 : 0));
  return 0;
}
