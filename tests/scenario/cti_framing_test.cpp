// Events whole across reads: whatever way TCP cuts or joins the server's
// bytes, the CTI socket hands on each event once, whole and in order.
#include <gtest/gtest.h>

#include "tests/support/cti_recorder.h"

namespace fon::test {
namespace {

constexpr char kE1[] = "X|17|Anna|0301234|0302222|5|\n";
constexpr char kE2[] = "X|18|Bert|0401234|0402222|6|Hotline Sales\n";
constexpr unsigned kBound = CCtiPortSocket::kTailWaitMs;
constexpr unsigned kClose = ~0u;

// What the server does: a write (each is read on its own, in reads of at
// most 4095 bytes; NUL bytes count), a pause (time passes), or its close.
struct Step {
  std::string bytes;
  unsigned pauseMs = 0;
  template <std::size_t N>
  Step(const char (&text)[N]) : bytes(text, N - 1) {}
  Step(std::string text) : bytes(std::move(text)) {}
  Step(unsigned ms) : pauseMs(ms) {}
};
struct Case {
  std::string name;
  std::vector<Step> steps;
  std::vector<std::string> events;  // as the owner is handed them
  bool ended = false;               // the owner was told the end
  bool bye = false;                 // the client shut its sending direction
};

std::vector<std::string> Pieces(const std::string& text) {
  std::vector<std::string> out;
  for (std::size_t at = 0; at < text.size(); at += 4095) out.push_back(text.substr(at, 4095));
  return out;
}

TEST(CtiFraming, EveryEventWholeOnceAndInOrderHoweverTheBytesArrive) {
  const std::string both = std::string(kE1) + kE2, mebibyte(1 << 20, 'a');
  std::string burst;  // 64 KiB of events in one write
  std::vector<std::string> burstEvents, bytewise, mebibyteThenEvent = Pieces(mebibyte);
  while (burst.size() < 64 * 1024) burst += burstEvents.emplace_back(burstEvents.size() % 2 ? kE1 : kE2);
  for (char c : both) bytewise.emplace_back(1, c);
  mebibyteThenEvent.back() += kE1;
  std::vector<Case> cases = {
      {"two events in one read", {both}, {kE1, kE2}},
      {"one byte a read", {bytewise.begin(), bytewise.end()}, {kE1, kE2}},
      {"64 KiB in one write", {burst}, burstEvents},
      {"NUL bytes carry no text", {"X|17|An\0na|0301234|0302222|5|\n\0"}, {kE1}},
      {"NUL at a read boundary", {"X|17|An\0", "\0na|0301234|0302222|5|\n"}, {kE1}},
      {"the rest follows within the bound", {std::string(kE1) + "X|18|Be", 150u, std::string(kE2 + 7)}, {kE1, kE2}},
      {"a tail waits for the bound", {std::string(kE1) + "X|9|no end", kBound - 10}, {kE1}},
      {"a tail then silence", {std::string(kE1) + "X|9|no end", kBound}, {kE1, "X|9|no end"}},
      {"events without line feeds", {"X|1|", kBound, "X|2|", kBound}, {"X|1|", "X|2|"}},
      {"a tail then close", {std::string(kE1) + "X|9|no end", kClose}, {kE1, "X|9|no end"}, true},
      {"close with bytes unread", {burst, kClose}, burstEvents, true},
      {"bye alone", {"bye", kBound}, {"bye"}, false, true},
      {"bye in any case, split", {"b", "yE", kBound}, {"byE"}, false, true},
      {"bye behind an event in one read", {std::string(kE1) + "BYE", kBound}, {kE1, "BYE"}, false, true},
      {"bye then close", {"bye", kClose}, {"bye"}, true, true},
      {"a line bye is a message", {"bye\n"}, {"bye\n"}},
      {"bye starting an event is no farewell", {"bye", "X|1|\n"}, {"byeX|1|\n"}},
      {"a mebibyte without line feed", {mebibyte, kBound}, Pieces(mebibyte)},
      {"a mebibyte behind a tail", {"aa", mebibyte.substr(2) + kE1}, mebibyteThenEvent},
  };
  for (std::size_t at = 1; at < both.size(); ++at)  // a read boundary at every position
    cases.push_back({"split at " + std::to_string(at), {both.substr(0, at), both.substr(at)}, {kE1, kE2}});

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CtiRecorder client;
    auto conn = client.Connect();
    ASSERT_TRUE(conn);
    // Writes and the close only queue their notifications: one read takes
    // what came in before the loop ran.
    for (const Step& step : c.steps) {
      if (step.pauseMs == kClose) conn->Close();
      else if (step.pauseMs) client.sim.loop.RunFor(step.pauseMs);
      else conn->Send(step.bytes);
    }
    client.sim.loop.RunPending();
    EXPECT_EQ(client.events, c.events);
    EXPECT_EQ(client.ends, c.ended ? 1 : 0);
    EXPECT_EQ(conn->clientShutdownSend(), c.bye);
  }
}

}  // namespace
}  // namespace fon::test
