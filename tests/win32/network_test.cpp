// Sockets against a listener in the same process: notifications, blocking
// calls that keep the loop running, and no notification after a close.
#include "platform/win32/win32_handles.h"
#include "test_support.h"

#include <string>
#include <vector>

namespace fon::win32 {
namespace {

using testing::MakePlatform;
using testing::PumpFor;
using testing::RunUntilOr;

// A loopback listener. Connections wait in its backlog until accepted, so
// one thread can play both ends.
class Listener {
 public:
  Listener() : socket_(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
    ::bind(socket_.Get(), reinterpret_cast<sockaddr*>(&address), sizeof(address));
    ::listen(socket_.Get(), 4);
    int size = sizeof(address);
    ::getsockname(socket_.Get(), reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ::ntohs(address.sin_port);
  }
  int Port() const { return port_; }
  UniqueSocket Accept() { return UniqueSocket(::accept(socket_.Get(), nullptr, nullptr)); }

 private:
  UniqueSocket socket_;
  int port_ = 0;
};

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

class NetworkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_ = MakePlatform();
    ASSERT_TRUE(platform_);
  }
  std::unique_ptr<ISocket> NewSocket(Events* events) {
    int error = -1;
    auto socket = platform_->Network().CreateSocket(events, &error);
    EXPECT_TRUE(socket);
    EXPECT_EQ(error, 0);
    return socket;
  }
  // Connects `socket` to the listener asynchronously and accepts.
  UniqueSocket Connect(ISocket& socket, Events& events) {
    EXPECT_EQ(socket.ConnectAsync("127.0.0.1", listener_.Port()), 0);
    EXPECT_TRUE(RunUntilOr(*platform_, [&] { return events.Count('C') > 0; }, 3000));
    return listener_.Accept();
  }
  static void Send(const UniqueSocket& peer, const std::string& data) {
    ::send(peer.Get(), data.data(), static_cast<int>(data.size()), 0);
  }

  std::unique_ptr<Win32Platform> platform_;
  Listener listener_;
};

TEST_F(NetworkTest, AsyncConnectThenReadThenPeerClose) {
  Events events;
  auto socket = NewSocket(&events);
  std::string received;
  events.hook = [&](char kind) {
    if (kind != 'R') return;
    char buffer[4096];
    int n = socket->Receive(buffer, 4095);
    if (n > 0) received.append(buffer, static_cast<std::size_t>(n));
  };
  UniqueSocket peer = Connect(*socket, events);
  ASSERT_TRUE(peer);
  Send(peer, "4711|M\xfcller|0815|200|7|");
  ASSERT_TRUE(RunUntilOr(*platform_, [&] { return events.Count('R') > 0; }, 3000));
  EXPECT_EQ(received, "4711|M\xfcller|0815|200|7|");
  peer.Reset();
  ASSERT_TRUE(RunUntilOr(*platform_, [&] { return events.Count('X') > 0; }, 3000));
  ASSERT_GE(events.log.size(), 3u);
  EXPECT_EQ(events.log.front(), (Event{'C', 0}));
  EXPECT_EQ(events.log.back(), (Event{'X', 0}));
}

TEST_F(NetworkTest, HostNamesResolve) {
  Events events;
  auto socket = NewSocket(&events);
  ASSERT_EQ(socket->ConnectAsync("localhost", listener_.Port()), 0);
  ASSERT_TRUE(RunUntilOr(*platform_, [&] { return events.Count('C') > 0; }, 3000));
  EXPECT_EQ(events.log.front(), (Event{'C', 0}));
}

TEST_F(NetworkTest, BadTargetsFailAtOnceWithoutNotification) {
  Events events;
  auto socket = NewSocket(&events);
  EXPECT_EQ(socket->ConnectAsync("", listener_.Port()), kWsaHostNotFound);
  EXPECT_EQ(socket->ConnectAsync("127.0.0.1", 0), kWsaEInval);
  EXPECT_EQ(socket->ConnectAsync("127.0.0.1", 65536), kWsaEInval);
  EXPECT_EQ(socket->ConnectAsync("127.0.0.1", -5), kWsaEInval);
  EXPECT_NE(socket->ConnectAsync("no-such-host.invalid", listener_.Port()), 0);
  EXPECT_NE(socket->LastError(), 0);
  PumpFor(*platform_, 150);
  EXPECT_TRUE(events.log.empty());
  // The socket is still usable afterwards.
  EXPECT_EQ(socket->ConnectAsync("127.0.0.1", listener_.Port()), 0);
  EXPECT_TRUE(RunUntilOr(*platform_, [&] { return events.Count('C') > 0; }, 3000));
}

TEST_F(NetworkTest, RefusedConnectIsReportedWithItsCode) {
  int closedPort = 0;
  {
    Listener gone;  // bound once, then closed: nobody listens there now
    closedPort = gone.Port();
  }
  Events events;
  auto socket = NewSocket(&events);
  int lastErrorSeen = 0;
  events.hook = [&](char) { lastErrorSeen = platform_->Network().LastError(); };
  ASSERT_EQ(socket->ConnectAsync("127.0.0.1", closedPort), 0);
  ASSERT_TRUE(RunUntilOr(*platform_, [&] { return !events.log.empty(); }, 5000));
  EXPECT_EQ(events.log.front(), (Event{'C', kWsaEConnRefused}));
  EXPECT_EQ(lastErrorSeen, kWsaEConnRefused);
}

TEST_F(NetworkTest, BlockingConnectAndSendDeliverEveryByte) {
  Events events;
  auto socket = NewSocket(&events);
  ASSERT_EQ(socket->ConnectBlocking("127.0.0.1", listener_.Port(), 3000), 0);
  UniqueSocket peer = listener_.Accept();
  ASSERT_TRUE(peer);
  const std::string request("GETDEVICES|7\0", 13);
  ASSERT_EQ(socket->SendAll(request.data(), request.size(), 3000), 0);
  char buffer[64] = {};
  int n = ::recv(peer.Get(), buffer, sizeof(buffer), 0);
  EXPECT_EQ(std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0), request);
  PumpFor(*platform_, 50);
  // A blocking connect reports through its result, not through OnConnect.
  EXPECT_EQ(events.Count('C'), 0u);
}

TEST_F(NetworkTest, BlockingSendKeepsTheLoopRunningAndHonoursItsBound) {
  Events events;
  auto socket = NewSocket(&events);
  UniqueSocket peer = Connect(*socket, events);
  ASSERT_TRUE(peer);  // never reads: the send buffers fill up
  testing::Ticker ticker;
  platform_->Timers().SetTimer(&ticker, 1, 20);
  std::string block(64 * 1024 * 1024, 'x');
  std::uint64_t start = platform_->Loop().NowMs();
  int rc = socket->SendAll(block.data(), block.size(), 300);
  std::uint64_t elapsed = platform_->Loop().NowMs() - start;
  platform_->Timers().KillAllTimers(&ticker);
  EXPECT_EQ(rc, kWsaETimedOut);
  EXPECT_EQ(socket->LastError(), kWsaETimedOut);
  EXPECT_GE(elapsed, 250u);
  EXPECT_LT(elapsed, 3000u);
  EXPECT_GE(ticker.ticks, 3);  // timers ran while the send waited
}

TEST_F(NetworkTest, OwnNotificationsWaitUntilTheBlockingCallReturns) {
  Events events;
  auto socket = NewSocket(&events);
  UniqueSocket peer = Connect(*socket, events);
  ASSERT_TRUE(peer);
  Send(peer, "early answer");
  ::Sleep(100);  // its read notification is queued before the send starts
  std::size_t readsDuringSend = 0;
  testing::Ticker ticker;
  platform_->Timers().SetTimer(&ticker, 1, 20);
  std::string block(64 * 1024 * 1024, 'x');
  EXPECT_EQ(socket->SendAll(block.data(), block.size(), 200), kWsaETimedOut);
  readsDuringSend = events.Count('R');
  platform_->Timers().KillAllTimers(&ticker);
  EXPECT_GT(ticker.ticks, 0);  // other messages were handled meanwhile
  EXPECT_EQ(readsDuringSend, 0u);
  EXPECT_TRUE(RunUntilOr(*platform_, [&] { return events.Count('R') > 0; }, 2000));
}

TEST_F(NetworkTest, ASocketClosedDuringItsOwnBlockingSendEndsTheWait) {
  Events events;
  auto socket = NewSocket(&events);
  UniqueSocket peer = Connect(*socket, events);
  ASSERT_TRUE(peer);
  class Closer final : public TimerSink {
   public:
    std::function<void()> action;
    void OnTimer(unsigned) override { action(); }
  } closer;
  closer.action = [&] {
    platform_->Timers().KillAllTimers(&closer);
    socket.reset();  // an owner's timeout deleting its pending socket
  };
  platform_->Timers().SetTimer(&closer, 1, 50);
  ISocket* raw = socket.get();
  std::string block(64 * 1024 * 1024, 'x');
  std::uint64_t start = platform_->Loop().NowMs();
  int rc = raw->SendAll(block.data(), block.size(), 5000);
  EXPECT_EQ(rc, WSAENOTSOCK);
  EXPECT_LT(platform_->Loop().NowMs() - start, 2000u);
  EXPECT_FALSE(socket);
}

TEST_F(NetworkTest, NothingArrivesAfterClose) {
  Events events;
  auto socket = NewSocket(&events);
  UniqueSocket peer = Connect(*socket, events);
  ASSERT_TRUE(peer);
  Send(peer, "pending");
  peer.Reset();
  ::Sleep(100);  // the read and close notifications are queued by now
  socket->Close();
  PumpFor(*platform_, 150);
  EXPECT_EQ(events.Count('R'), 0u);
  EXPECT_EQ(events.Count('X'), 0u);
  char buffer[8];
  EXPECT_EQ(socket->Receive(buffer, sizeof(buffer)), -1);
  EXPECT_NE(socket->LastError(), 0);
}

TEST_F(NetworkTest, ANewSocketNeverGetsTheOldOnesNotifications) {
  Events oldEvents;
  auto oldSocket = NewSocket(&oldEvents);
  UniqueSocket peer = Connect(*oldSocket, oldEvents);
  ASSERT_TRUE(peer);
  peer.Reset();
  ::Sleep(100);  // the old socket's close notification is queued by now
  oldSocket.reset();
  // The system likes to hand out the freed handle value again at once.
  Events newEvents;
  auto newSocket = NewSocket(&newEvents);
  PumpFor(*platform_, 150);
  EXPECT_TRUE(newEvents.log.empty());
  EXPECT_EQ(oldEvents.log.size(), 1u);  // its connect, nothing after the close
}

TEST_F(NetworkTest, ASocketDeletedInItsOwnCallbackIsNeverTouchedAgain) {
  Events events;
  auto socket = NewSocket(&events);
  UniqueSocket peer = Connect(*socket, events);
  ASSERT_TRUE(peer);
  events.hook = [&](char kind) {
    if (kind == 'R') socket.reset();  // what a relay answer handler does
  };
  Send(peer, "+OK|first part");
  ::Sleep(50);
  Send(peer, "second part");
  peer.Reset();
  PumpFor(*platform_, 200);
  EXPECT_EQ(events.Count('R'), 1u);
  EXPECT_EQ(events.Count('X'), 0u);
  EXPECT_FALSE(socket);
}

TEST_F(NetworkTest, AReadNotificationWithNothingLeftIsDropped) {
  Events events;
  auto socket = NewSocket(&events);
  UniqueSocket peer = Connect(*socket, events);
  ASSERT_TRUE(peer);
  Send(peer, "abc");
  ::Sleep(100);
  char buffer[16];
  ASSERT_EQ(socket->Receive(buffer, sizeof(buffer)), 3);  // read before the notification
  PumpFor(*platform_, 150);
  EXPECT_EQ(events.Count('R'), 0u);
  EXPECT_EQ(socket->Receive(buffer, sizeof(buffer)), -1);
  EXPECT_EQ(socket->LastError(), kWsaEWouldBlock);
}

TEST_F(NetworkTest, AReadNotificationAtTheEndOfTheStreamStillReachesTheOwner) {
  // Nothing left to read, but the peer has gone: a read then finds the end
  // of the stream, and the owner must get to see it.
  Events events;
  auto socket = NewSocket(&events);
  UniqueSocket peer = Connect(*socket, events);
  ASSERT_TRUE(peer);
  std::vector<int> reads;
  events.hook = [&](char kind) {
    char buffer[16];
    if (kind == 'R') reads.push_back(socket->Receive(buffer, sizeof(buffer)));
  };
  Send(peer, "abc");
  peer.Reset();
  ::Sleep(100);
  char buffer[16];
  ASSERT_EQ(socket->Receive(buffer, sizeof(buffer)), 3);  // read before the notification
  ASSERT_TRUE(RunUntilOr(*platform_, [&] { return !reads.empty(); }, 3000));
  EXPECT_EQ(reads.front(), 0);
}

}  // namespace
}  // namespace fon::win32
