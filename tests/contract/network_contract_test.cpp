// Sockets against loopback servers: connect outcomes and their codes,
// notifications, blocking calls that keep the loop running, and nothing
// after a close.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "harness.h"

namespace fon::contract {
namespace {

struct Event {
  char kind;  // 'C'onnect, 'R'eceive, 'X' close
  int error;
  bool operator==(const Event& other) const { return kind == other.kind && error == other.error; }
};

class Events final : public ISocketEvents {
 public:
  void OnConnect(int error) override { Record('C', error); }
  void OnReceive(int error) override { Record('R', error); }
  void OnClose(int error) override { Record('X', error); }
  std::size_t Count(char kind) const {
    std::size_t n = 0;
    for (const Event& e : log) n += e.kind == kind;
    return n;
  }
  std::vector<Event> log;
  std::function<void(char)> hook;

 private:
  void Record(char kind, int error) {
    log.push_back(Event{kind, error});
    if (hook) hook(kind);
  }
};

class NetworkContract : public ::testing::Test {
 protected:
  void SetUp() override {
    harness_ = MakeHarness();
    listener_ = harness_->Listen();
  }
  IPlatform& P() { return harness_->Platform(); }
  std::unique_ptr<ISocket> NewSocket(Events* events) {
    int error = -1;
    auto socket = P().Network().CreateSocket(events, &error);
    EXPECT_TRUE(socket);
    EXPECT_EQ(error, 0);
    return socket;
  }
  // Connects `socket` to `listener` asynchronously; the server's end.
  std::unique_ptr<Peer> Connect(ISocket& socket, Events& events, Listener& listener) {
    EXPECT_EQ(socket.ConnectAsync("127.0.0.1", listener.Port()), 0);
    EXPECT_TRUE(harness_->RunUntil([&] { return events.Count('C') > 0; }, 3000));
    EXPECT_EQ(events.log.at(0), (Event{'C', 0}));
    return listener.Accept();
  }
  std::unique_ptr<Peer> Connect(ISocket& socket, Events& events) { return Connect(socket, events, *listener_); }
  // Runs `call`, a blocking call bounded to 300 ms that cannot succeed, and
  // checks its bound and that a timer and another socket's read were
  // handled while it waited.
  void ExpectBoundedWaitThatKeepsTheLoopRunning(ISocket& socket, const std::function<int()>& call) {
    Events otherEvents;
    auto other = NewSocket(&otherEvents);
    auto otherPeer = Connect(*other, otherEvents);
    ASSERT_TRUE(otherPeer);
    otherPeer->Send("for the other socket");
    harness_->Settle();
    Ticker ticker;
    P().Timers().SetTimer(&ticker, 1, 20);
    const std::uint64_t start = harness_->Now();
    EXPECT_EQ(call(), kWsaETimedOut);
    const std::uint64_t elapsed = harness_->Now() - start;
    P().Timers().KillAllTimers(&ticker);
    EXPECT_EQ(socket.LastError(), kWsaETimedOut);
    EXPECT_GE(elapsed, 250u);
    EXPECT_LT(elapsed, 3000u);
    EXPECT_GE(ticker.ticks, 3);
    EXPECT_EQ(otherEvents.Count('R'), 1u);
  }

  std::unique_ptr<Harness> harness_;
  std::unique_ptr<Listener> listener_;
};

TEST_F(NetworkContract, AsyncConnectThenReadThenPeerClose) {
  Events events;
  auto socket = NewSocket(&events);
  std::string received;
  events.hook = [&](char kind) {
    if (kind != 'R') return;
    char buffer[4096];
    int n = socket->Receive(buffer, 4095);
    if (n > 0) received.append(buffer, static_cast<std::size_t>(n));
  };
  auto peer = Connect(*socket, events);
  ASSERT_TRUE(peer);
  peer->Send("4711|M\xfcller|0815|200|7|");
  ASSERT_TRUE(harness_->RunUntil([&] { return events.Count('R') > 0; }, 3000));
  EXPECT_EQ(received, "4711|M\xfcller|0815|200|7|");
  peer->Close();
  ASSERT_TRUE(harness_->RunUntil([&] { return events.Count('X') > 0; }, 3000));
  EXPECT_EQ(events.log.back(), (Event{'X', 0}));
}

TEST_F(NetworkContract, BadTargetsFailAtOnceWithTheirCodeAndWithoutNotification) {
  const int port = listener_->Port();
  const struct {
    const char* host;
    int port;
    int error;
  } cases[] = {
      {"", port, kWsaHostNotFound},  // no name is a name that does not resolve
      {"", 0, kWsaHostNotFound},     // ... and is told before the port
      {"no-such-host.invalid", port, kWsaHostNotFound},
      {"300.1.1.1", port, kWsaHostNotFound},
      {"127.0.0.1", 0, kWsaEInval},
      {"127.0.0.1", 65536, kWsaEInval},
      {"127.0.0.1", -5, kWsaEInval},
      {"no-such-host.invalid", 70000, kWsaEInval},
  };
  for (const auto& c : cases) {
    Events events;
    auto socket = NewSocket(&events);
    EXPECT_EQ(socket->ConnectAsync(c.host, c.port), c.error) << c.host << ":" << c.port;
    EXPECT_EQ(socket->LastError(), c.error) << c.host << ":" << c.port;
    EXPECT_EQ(socket->ConnectBlocking(c.host, c.port, 500), c.error) << c.host << ":" << c.port;
    harness_->Pump(100);
    EXPECT_TRUE(events.log.empty()) << c.host << ":" << c.port;
    // The socket is still usable afterwards; host names resolve.
    EXPECT_EQ(socket->ConnectAsync("localhost", port), 0);
    EXPECT_TRUE(harness_->RunUntil([&] { return events.Count('C') > 0; }, 3000));
    EXPECT_EQ(events.log.at(0), (Event{'C', 0}));
  }
}

TEST_F(NetworkContract, RefusedConnectIsReportedWithItsCode) {
  const int refused = harness_->RefusedPort();
  Events events;
  auto socket = NewSocket(&events);
  int lastErrorSeen = 0;
  events.hook = [&](char) { lastErrorSeen = P().Network().LastError(); };
  ASSERT_EQ(socket->ConnectAsync("127.0.0.1", refused), 0);
  ASSERT_TRUE(harness_->RunUntil([&] { return !events.log.empty(); }, 5000));
  EXPECT_EQ(events.log, (std::vector<Event>{{'C', kWsaEConnRefused}}));
  EXPECT_EQ(lastErrorSeen, kWsaEConnRefused);

  Events blockingEvents;
  auto blocking = NewSocket(&blockingEvents);
  EXPECT_EQ(blocking->ConnectBlocking("127.0.0.1", refused, 5000), kWsaEConnRefused);
  EXPECT_EQ(blocking->LastError(), kWsaEConnRefused);
  harness_->Pump(50);
  EXPECT_TRUE(blockingEvents.log.empty());
}

TEST_F(NetworkContract, BlockingConnectAndSendDeliverEveryByte) {
  Events events;
  auto socket = NewSocket(&events);
  ASSERT_EQ(socket->ConnectBlocking("127.0.0.1", listener_->Port(), 3000), 0);
  const std::string request("GETDEVICES|7\0", 13);
  ASSERT_EQ(socket->SendAll(request.data(), request.size(), 3000), 0);
  harness_->Settle();
  auto peer = listener_->Accept();
  ASSERT_TRUE(peer);
  EXPECT_TRUE(harness_->RunUntil([&] { return peer->Received() == request; }, 3000));
  harness_->Pump(50);
  // A blocking connect reports through its result, not through OnConnect.
  EXPECT_EQ(events.Count('C'), 0u);
}

TEST_F(NetworkContract, BlockingConnectHonoursItsBoundAndKeepsTimersAndOtherSocketsRunning) {
  const int silent = harness_->SilentPort();
  Events events;
  auto socket = NewSocket(&events);
  ExpectBoundedWaitThatKeepsTheLoopRunning(*socket, [&] { return socket->ConnectBlocking("127.0.0.1", silent, 300); });
  EXPECT_TRUE(events.log.empty());
}

TEST_F(NetworkContract, BlockingSendToAPeerThatNeverReadsHonoursItsBoundAndKeepsTheLoopRunning) {
  auto deaf = harness_->Listen(false);
  Events events;
  auto socket = NewSocket(&events);
  auto peer = Connect(*socket, events, *deaf);
  ASSERT_TRUE(peer);
  // What the buffers take is sent at once.
  EXPECT_EQ(socket->SendAll("+OK", 3, 300), 0);
  const std::string block(64 * 1024 * 1024, 'x');
  ExpectBoundedWaitThatKeepsTheLoopRunning(*socket, [&] { return socket->SendAll(block.data(), block.size(), 300); });
}

TEST_F(NetworkContract, OwnNotificationsWaitUntilTheBlockingCallReturns) {
  auto deaf = harness_->Listen(false);
  Events events;
  auto socket = NewSocket(&events);
  auto peer = Connect(*socket, events, *deaf);
  ASSERT_TRUE(peer);
  peer->Send("early answer");
  harness_->Settle();  // its read notification is queued before the send starts
  Ticker ticker;
  P().Timers().SetTimer(&ticker, 1, 20);
  const std::string block(64 * 1024 * 1024, 'x');
  EXPECT_EQ(socket->SendAll(block.data(), block.size(), 200), kWsaETimedOut);
  const std::size_t readsDuringSend = events.Count('R');
  P().Timers().KillAllTimers(&ticker);
  EXPECT_GT(ticker.ticks, 0);  // other messages were handled meanwhile
  EXPECT_EQ(readsDuringSend, 0u);
  EXPECT_TRUE(harness_->RunUntil([&] { return events.Count('R') > 0; }, 2000));
}

TEST_F(NetworkContract, ASocketDeletedDuringItsOwnBlockingSendEndsTheWait) {
  auto deaf = harness_->Listen(false);
  Events events;
  auto socket = NewSocket(&events);
  auto peer = Connect(*socket, events, *deaf);
  ASSERT_TRUE(peer);
  class Closer final : public TimerSink {
   public:
    std::function<void()> action;
    void OnTimer(unsigned) override { action(); }
  } closer;
  closer.action = [&] {
    P().Timers().KillAllTimers(&closer);
    socket.reset();  // an owner's timeout deleting its pending socket
  };
  P().Timers().SetTimer(&closer, 1, 50);
  ISocket* raw = socket.get();
  const std::string block(64 * 1024 * 1024, 'x');
  const std::uint64_t start = harness_->Now();
  EXPECT_EQ(raw->SendAll(block.data(), block.size(), 5000), kWsaENotSock);
  EXPECT_LT(harness_->Now() - start, 2000u);
  EXPECT_FALSE(socket);
}

TEST_F(NetworkContract, NothingArrivesAfterClose) {
  Events events;
  auto socket = NewSocket(&events);
  auto peer = Connect(*socket, events);
  ASSERT_TRUE(peer);
  peer->Send("pending");
  peer->Close();
  harness_->Settle();  // the read and close notifications are queued by now
  socket->Close();
  harness_->Pump(150);
  EXPECT_EQ(events.log.size(), 1u);  // its connect only
  char buffer[8];
  EXPECT_EQ(socket->Receive(buffer, sizeof(buffer)), -1);
  EXPECT_EQ(socket->LastError(), kWsaENotSock);
  EXPECT_EQ(socket->SendAll("x", 1, 100), kWsaENotSock);
}

TEST_F(NetworkContract, ANewSocketNeverGetsTheOldOnesNotifications) {
  Events oldEvents;
  auto oldSocket = NewSocket(&oldEvents);
  auto peer = Connect(*oldSocket, oldEvents);
  ASSERT_TRUE(peer);
  peer->Close();
  harness_->Settle();  // the old socket's close notification is queued by now
  oldSocket.reset();
  // The system likes to hand out the freed handle value again at once.
  Events newEvents;
  auto newSocket = NewSocket(&newEvents);
  harness_->Pump(150);
  EXPECT_TRUE(newEvents.log.empty());
  EXPECT_EQ(oldEvents.log.size(), 1u);  // its connect, nothing after the close
}

TEST_F(NetworkContract, ASocketDeletedInItsOwnCallbackIsNeverTouchedAgain) {
  Events events;
  auto socket = NewSocket(&events);
  auto peer = Connect(*socket, events);
  ASSERT_TRUE(peer);
  events.hook = [&](char kind) {
    if (kind == 'R') socket.reset();  // what a relay answer handler does
  };
  peer->Send("+OK|first part");
  harness_->Settle();
  peer->Send("second part");
  peer->Close();
  harness_->Pump(200);
  EXPECT_EQ(events.Count('R'), 1u);
  EXPECT_EQ(events.Count('X'), 0u);
  EXPECT_FALSE(socket);
}

TEST_F(NetworkContract, AReadNotificationWithNothingLeftIsDropped) {
  Events events;
  auto socket = NewSocket(&events);
  auto peer = Connect(*socket, events);
  ASSERT_TRUE(peer);
  peer->Send("abc");
  harness_->Settle();
  char buffer[16];
  ASSERT_EQ(socket->Receive(buffer, sizeof(buffer)), 3);  // read before the notification
  harness_->Pump(150);
  EXPECT_EQ(events.Count('R'), 0u);
  EXPECT_EQ(socket->Receive(buffer, sizeof(buffer)), -1);
  EXPECT_EQ(socket->LastError(), kWsaEWouldBlock);
}

TEST_F(NetworkContract, AReadNotificationAtTheEndOfTheStreamStillReachesTheOwner) {
  // Nothing left to read, but the peer has gone: a read then finds the end
  // of the stream, and the owner must get to see it.
  Events events;
  auto socket = NewSocket(&events);
  auto peer = Connect(*socket, events);
  ASSERT_TRUE(peer);
  std::vector<int> reads;
  events.hook = [&](char kind) {
    char buffer[16];
    if (kind == 'R') reads.push_back(socket->Receive(buffer, sizeof(buffer)));
  };
  peer->Send("abc");
  peer->Close();
  harness_->Settle();
  char buffer[16];
  ASSERT_EQ(socket->Receive(buffer, sizeof(buffer)), 3);  // read before the notification
  ASSERT_TRUE(harness_->RunUntil([&] { return !reads.empty(); }, 3000));
  EXPECT_EQ(reads.front(), 0);
  EXPECT_TRUE(harness_->RunUntil([&] { return events.Count('X') > 0; }, 3000));
}

// What a CTI client relies on when the server writes and then closes: an
// owner that reads in its read notifications gets every byte, then a read
// finds the end of the stream (0), also in any read notification still to
// come, and the close is told exactly once, also when the owner found the end
// with a read before the close notification came. The close may come while
// bytes are still unread (the simulation tells it at once, as Windows may;
// Wine once all is read): they stay readable after it.
TEST_F(NetworkContract, AfterThePeerClosesEveryByteIsReadAndTheCloseIsToldOnce) {
  for (const std::string& sent : {std::string(), std::string(20000, 'e') + "|last\n"}) {
    for (bool readTheEndBeforehand : {false, true}) {
      SCOPED_TRACE(std::to_string(sent.size()) + (readTheEndBeforehand ? " read beforehand" : ""));
      Events events;
      auto socket = NewSocket(&events);
      auto peer = Connect(*socket, events);
      ASSERT_TRUE(peer);
      std::string received;
      int last = -2;  // what the last read returned
      auto read = [&] {
        char buffer[4095];
        last = socket->Receive(buffer, sizeof(buffer));
        if (last > 0) received.append(buffer, static_cast<std::size_t>(last));
        return last;
      };
      events.hook = [&](char kind) {
        EXPECT_TRUE(kind != 'R' || read() > 0 || (last == 0 && received == sent)) << last;
      };
      peer->Send(sent);
      peer->Close();
      harness_->Settle();
      while (readTheEndBeforehand && read() > 0) {
      }
      ASSERT_TRUE(harness_->RunUntil([&] { return events.Count('X') > 0; }, 3000));
      while (read() > 0) {
      }
      harness_->Pump(300);
      EXPECT_EQ(events.Count('X'), 1u);
      for (const Event& e : events.log) EXPECT_TRUE(e.kind != 'X' || e.error == 0);
      EXPECT_EQ(received, sent);
      EXPECT_EQ(last, 0);  // the end, not an error
    }
  }
}

}  // namespace
}  // namespace fon::contract
