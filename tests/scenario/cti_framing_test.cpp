// Events whole across reads: whatever way TCP cuts or joins the server's
// bytes, the CTI socket hands on each event once, whole and in order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/cti_port_socket.h"
#include "platform/sim/sim_platform.h"

namespace fon::test {
namespace {

constexpr char kE1[] = "X|17|Anna|0301234|0302222|5|\n";
constexpr char kE2[] = "X|18|Bert|0401234|0402222|6|Hotline Sales\n";

// What the server does: write bytes (each write is read on its own, in
// reads of at most 4095 bytes), let time pass, or close its end.
struct Step {
  enum Kind { kWrite, kWait, kClose } kind;
  std::string bytes;
  unsigned ms = 0;
};
Step W(std::string bytes) { return {Step::kWrite, std::move(bytes)}; }
template <std::size_t N>
Step W(const char (&bytes)[N]) {  // NUL bytes included
  return W(std::string(bytes, N - 1));
}
Step Wait(unsigned ms) { return {Step::kWait, {}, ms}; }
Step Close() { return {Step::kClose, {}}; }
const Step kSilence = Wait(CCtiPortSocket::kTailWaitMs);

std::vector<Step> Bytewise(const std::string& text) {
  std::vector<Step> steps;
  for (char c : text) steps.push_back(W(std::string(1, c)));
  return steps;
}
std::vector<std::string> Pieces(const std::string& text) {
  std::vector<std::string> out;
  for (std::size_t at = 0; at < text.size(); at += 4095) out.push_back(text.substr(at, 4095));
  return out;
}

struct Case {
  std::string name;
  std::vector<Step> steps;
  std::vector<std::string> events;  // as the owner is handed them
  bool ended = false;               // the owner was told the end
  bool bye = false;                 // the client shut its sending direction
};

class Recorder final : public ICtiPortOwner {
 public:
  void OnCtiPortConnected(CCtiPortSocket&) override {}
  void OnCtiPortConnectFailed(CCtiPortSocket&) override {}
  void OnCtiPortMessage(const std::string& message, const std::string&) override { events.push_back(message); }
  void OnCtiPortClosed(CCtiPortSocket& socket) override {
    ++ends;
    socket.Close();  // as the link does
  }
  std::vector<std::string> events;
  int ends = 0;
};

void Replay(const Case& c) {
  SCOPED_TRACE(c.name);
  sim::SimPlatform sim;
  sim.network.Listen("127.0.0.1", 12346);
  Recorder owner;
  CCtiPortSocket socket(sim, &owner);
  ASSERT_EQ(socket.Create(), 0);
  socket.Connect("127.0.0.1", 12346);
  sim.loop.RunFor(5);
  auto conn = sim.network.LastConnectionOnPort(12346);
  ASSERT_TRUE(conn);
  for (const Step& step : c.steps) {
    // Writes and the close only queue their notifications: what the client
    // reads in one go is what came in before the loop ran.
    if (step.kind == Step::kWrite) conn->Send(step.bytes);
    if (step.kind == Step::kClose) conn->Close();
    if (step.kind == Step::kWait) sim.loop.RunFor(step.ms);
  }
  sim.loop.RunPending();
  ASSERT_EQ(owner.events.size(), c.events.size());
  for (std::size_t i = 0; i < c.events.size(); ++i) EXPECT_EQ(owner.events[i], c.events[i]) << "event " << i;
  EXPECT_EQ(owner.ends, c.ended ? 1 : 0);
  EXPECT_EQ(conn->clientShutdownSend(), c.bye);
}

TEST(CtiFraming, EveryEventWholeOnceAndInOrderHoweverTheBytesArrive) {
  const std::string both = std::string(kE1) + kE2;
  std::string burst;  // 64 KiB of events in one write
  std::vector<std::string> burstEvents;
  while (burst.size() < 64 * 1024) {
    burst += burstEvents.emplace_back(std::string(burstEvents.size() % 2 ? kE1 : kE2));
  }
  const std::string mebibyte(1 << 20, 'a');
  std::vector<std::string> mebibyteThenEvent = Pieces(mebibyte);
  mebibyteThenEvent.back() += kE1;

  std::vector<Case> cases = {
      {"two events in one read", {W(both)}, {kE1, kE2}},
      {"one byte a read", Bytewise(both), {kE1, kE2}},
      {"64 KiB in one write", {W(burst)}, burstEvents},
      {"NUL bytes carry no text", {W("X|17|An\0na|0301234|0302222|5|\n\0")}, {kE1}},
      {"NUL at a read boundary", {W("X|17|An\0"), W("\0na|0301234|0302222|5|\n")}, {kE1}},
      {"the rest of an event follows before the bound", {W(std::string(kE1) + "X|18|Be"), Wait(150), W(kE2 + 7)},
       {kE1, kE2}},
      {"a tail waits up to the bound", {W(std::string(kE1) + "X|9|no end"), Wait(CCtiPortSocket::kTailWaitMs - 10)},
       {kE1}},
      {"a tail then silence", {W(std::string(kE1) + "X|9|no end"), kSilence}, {kE1, "X|9|no end"}},
      {"events without any line feed", {W("X|1|a|1|2|5|"), kSilence, W("X|2|b|1|2|5|"), kSilence},
       {"X|1|a|1|2|5|", "X|2|b|1|2|5|"}},
      {"a tail then close", {W(std::string(kE1) + "X|9|no end"), Close()}, {kE1, "X|9|no end"}, true},
      {"close with bytes unread", {W(burst + "tail"), Close()}, [&] {
         auto events = burstEvents;
         events.push_back("tail");
         return events;
       }(), true},
      {"close alone", {Close()}, {}, true},
      {"bye alone", {W("bye"), kSilence}, {"bye"}, false, true},
      {"bye in any case, split", {W("b"), W("yE"), kSilence}, {"byE"}, false, true},
      {"bye behind an event in one read", {W(std::string(kE1) + "BYE"), kSilence}, {kE1, "BYE"}, false, true},
      {"bye then close", {W("bye"), Close()}, {"bye"}, true, true},
      {"a line bye is a message", {W("bye\n")}, {"bye\n"}},
      {"bye starting an event is no farewell", {W("bye"), W("X|1|a|1|2|5|\n")}, {"byeX|1|a|1|2|5|\n"}},
      {"a mebibyte without line feed", {W(mebibyte), kSilence}, Pieces(mebibyte)},
      {"a mebibyte behind a tail", {W("aa"), W(mebibyte.substr(2) + kE1)}, mebibyteThenEvent},
  };
  // A read boundary at every position inside either event.
  for (std::size_t at = 1; at < both.size(); ++at)
    cases.push_back({"split at " + std::to_string(at), {W(both.substr(0, at)), W(both.substr(at))}, {kE1, kE2}});
  for (const Case& c : cases) Replay(c);
}

}  // namespace
}  // namespace fon::test
