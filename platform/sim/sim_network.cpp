#include "platform/sim/sim_network.h"

#include <algorithm>
#include <cstring>

namespace fon::sim {
namespace {

// How long a connect to an address that swallows packets takes to fail on
// its own, as the system's TCP stack would report it.
constexpr std::uint64_t kSystemConnectTimeoutMs = 21000;
// What the system's send and receive buffers of one loopback connection
// hold before a sender has to wait for a server that does not read.
constexpr std::size_t kUnreadBufferBytes = 4 * 1024 * 1024;

bool IsDottedQuad(const std::string& host) {
  int parts = 0;
  std::size_t i = 0;
  while (i < host.size()) {
    std::size_t start = i;
    int value = 0;
    while (i < host.size() && host[i] >= '0' && host[i] <= '9') {
      value = value * 10 + (host[i] - '0');
      if (value > 255) return false;
      ++i;
    }
    if (i == start) return false;
    ++parts;
    if (i == host.size()) break;
    if (host[i] != '.') return false;
    ++i;
    if (i == host.size()) return false;
  }
  return parts == 4;
}

}  // namespace

// ---------------------------------------------------------- connection ----

void SimConnection::Send(const std::string& bytes) {
  if (closedByServer_ || closedByClient_ || client_ == nullptr) return;
  client_->segments_.push_back(bytes);
  client_->QueueRead();
}

void SimConnection::Close() {
  if (closedByServer_) return;
  closedByServer_ = true;
  if (client_ == nullptr || closedByClient_) return;
  client_->peerClosed_ = true;
  client_->Deliver([](ISocketEvents* e) { e->OnClose(0); });
}

void SimConnection::CloseAfterEmptyRead() {
  if (closedByServer_) return;
  closedByServer_ = true;
  if (client_ == nullptr || closedByClient_) return;
  client_->peerClosed_ = true;
  client_->DeliverEndOfStream();
}

// -------------------------------------------------------------- socket ----

SimSocket::~SimSocket() {
  *alive_ = false;
  if (conn_) {
    conn_->closedByClient_ = true;
    conn_->client_ = nullptr;
  }
  --net_.socketsAlive;
}

void SimSocket::Notify(std::function<void()> notification) {
  std::shared_ptr<bool> alive = alive_;
  net_.loop().Post([this, alive, notification = std::move(notification)]() {
    if (!*alive) return;
    // The owner is not called back under its own blocking call.
    if (inBlockingCall_) {
      heldBack_.push_back(notification);
      return;
    }
    notification();
  });
}

void SimSocket::Deliver(std::function<void(ISocketEvents*)> call) {
  Notify([this, call = std::move(call)]() {
    // A socket closed meanwhile gets no more notifications.
    if (state_ == State::kClosed) return;
    call(events_);
  });
}

void SimSocket::QueueRead() {
  if (readQueued_) return;
  readQueued_ = true;
  Notify([this]() {
    readQueued_ = false;
    // A read that finds nothing is not reported, unless it would find the
    // end of the stream.
    if (state_ == State::kClosed || (segments_.empty() && !peerClosed_)) return;
    events_->OnReceive(0);
  });
}

void SimSocket::DeliverEndOfStream() {
  Notify([this]() {
    if (state_ == State::kClosed) return;
    // Behind the data still unread.
    if (!segments_.empty()) return DeliverEndOfStream();
    std::shared_ptr<bool> alive = alive_;
    events_->OnReceive(0);
    if (*alive) Deliver([](ISocketEvents* e) { e->OnClose(0); });
  });
}

bool SimSocket::Wait(const std::function<bool()>& done, unsigned timeoutMs) {
  std::shared_ptr<bool> alive = alive_;
  SimNetwork& net = net_;
  inBlockingCall_ = true;
  ++net.blockingCalls;
  net.loop().RunUntilFor([&]() { return !*alive || state_ == State::kClosed || done(); }, timeoutMs);
  --net.blockingCalls;
  net.lastBlockingEndMs = net.loop().NowMs();
  if (!*alive) return false;
  inBlockingCall_ = false;
  std::vector<std::function<void()>> held;
  held.swap(heldBack_);
  for (auto& notification : held) Notify(std::move(notification));
  return state_ != State::kClosed;
}

int SimSocket::StartConnect(const std::string& host, int port, bool notify) {
  if (state_ == State::kClosed) return lastError_ = kWsaENotSock;
  if (state_ != State::kIdle) return lastError_ = kWsaEInval;
  // As Windows Sockets: no name at all is a name that does not resolve, and
  // that is told before the port is looked at.
  if (host.empty()) return lastError_ = kWsaHostNotFound;
  if (port <= 0 || port > 65535) return lastError_ = kWsaEInval;
  std::string address = host == "localhost" ? "127.0.0.1" : host;
  bool resolvable = IsDottedQuad(address) ||
                    std::find(net_.knownHosts.begin(), net_.knownHosts.end(), host) != net_.knownHosts.end();
  if (!resolvable) return lastError_ = kWsaHostNotFound;

  state_ = State::kConnecting;
  connectResult_ = -1;
  SimListener* listener = net_.FindListener(address, port);
  ListenMode mode = listener ? listener->mode : ListenMode::kRefuse;
  std::uint64_t delay = listener ? listener->connectDelayMs : 1;
  if (mode == ListenMode::kBlackhole) delay = kSystemConnectTimeoutMs;
  std::shared_ptr<bool> alive = alive_;
  net_.loop().Schedule(delay, [this, alive, address, port, mode, notify]() {
    if (!*alive || state_ != State::kConnecting) return;
    int result = 0;
    if (mode == ListenMode::kRefuse) result = kWsaEConnRefused;
    if (mode == ListenMode::kBlackhole) result = kWsaETimedOut;
    SimListener* l = net_.FindListener(address, port);
    if (mode == ListenMode::kAccept && l == nullptr) result = kWsaEConnRefused;  // went away meanwhile
    connectResult_ = result;
    if (result == 0) {
      state_ = State::kConnected;
      conn_ = std::make_shared<SimConnection>(address, port);
      conn_->client_ = this;
      net_.connections.push_back(conn_);
      if (l->onAccept) l->onAccept(conn_);
    } else {
      state_ = State::kIdle;
      // The notification's error is also the thread's last error.
      lastError_ = net_.lastError_ = result;
    }
    if (notify && *alive) events_->OnConnect(result);
  });
  return 0;
}

int SimSocket::ConnectAsync(const std::string& host, int port) { return StartConnect(host, port, true); }

int SimSocket::ConnectBlocking(const std::string& host, int port, unsigned timeoutMs) {
  int rc = StartConnect(host, port, false);
  if (rc != 0) return rc;
  if (!Wait([this]() { return connectResult_ != -1; }, timeoutMs)) return kWsaENotSock;
  if (connectResult_ == -1) {
    state_ = State::kIdle;  // give up; a late completion is ignored
    return lastError_ = kWsaETimedOut;
  }
  return connectResult_;
}

int SimSocket::SendAll(const char* data, std::size_t len, unsigned timeoutMs) {
  if (state_ == State::kClosed) return lastError_ = kWsaENotSock;
  if (state_ != State::kConnected || !conn_) return lastError_ = kWsaENotConn;
  std::shared_ptr<SimConnection> conn = conn_;
  SimListener* listener = net_.FindListener(conn->host(), conn->port());
  if (listener && listener->neverReads) {
    // What the buffers take goes at once; the rest waits for a read that
    // never comes.
    std::size_t room = kUnreadBufferBytes - std::min(unreadBytes_, kUnreadBufferBytes);
    unreadBytes_ += std::min(room, len);
    if (len <= room) return 0;
    if (!Wait([]() { return false; }, timeoutMs)) return kWsaENotSock;
    return lastError_ = kWsaETimedOut;
  }
  std::string bytes(data, len);
  conn->received += bytes;
  conn->writes.push_back(bytes);
  // The server side answers from the loop, as a real server would, never
  // inside the client's send.
  SimNetwork& net = net_;
  net_.loop().Post([&net, conn, bytes]() {
    SimListener* l = net.FindListener(conn->host(), conn->port());
    if (l && l->onData) l->onData(conn, bytes);
  });
  return 0;
}

int SimSocket::Receive(char* buf, int len) {
  if (state_ == State::kClosed) {
    lastError_ = kWsaENotSock;
    return -1;
  }
  if (state_ != State::kConnected) {
    lastError_ = kWsaENotConn;
    return -1;
  }
  if (segments_.empty()) {
    if (peerClosed_) return 0;
    lastError_ = kWsaEWouldBlock;
    return -1;
  }
  std::string& front = segments_.front();
  int n = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(len), front.size()));
  std::memcpy(buf, front.data(), static_cast<std::size_t>(n));
  front.erase(0, static_cast<std::size_t>(n));
  if (front.empty()) segments_.pop_front();
  if (!segments_.empty()) QueueRead();
  return n;
}

void SimSocket::ShutdownSend() {
  if (conn_) conn_->shutdownSend_ = true;
}

void SimSocket::Close() {
  if (state_ == State::kClosed) return;
  state_ = State::kClosed;
  if (conn_) {
    conn_->closedByClient_ = true;
    conn_->client_ = nullptr;
  }
}

// ------------------------------------------------------------- network ----

std::unique_ptr<ISocket> SimNetwork::CreateSocket(ISocketEvents* events, int* error) {
  if (failNextCreate != 0) {
    *error = lastError_ = failNextCreate;
    failNextCreate = 0;
    return nullptr;
  }
  ++socketsCreated;
  ++socketsAlive;
  *error = 0;
  return std::make_unique<SimSocket>(*this, events);
}

SimListener& SimNetwork::Listen(const std::string& host, int port) { return listeners_[{host, port}]; }

SimListener* SimNetwork::FindListener(const std::string& host, int port) {
  auto it = listeners_.find({host, port});
  return it == listeners_.end() ? nullptr : &it->second;
}

std::vector<std::shared_ptr<SimConnection>> SimNetwork::ConnectionsOnPort(int port) const {
  std::vector<std::shared_ptr<SimConnection>> out;
  for (const auto& c : connections)
    if (c->port() == port) out.push_back(c);
  return out;
}

std::shared_ptr<SimConnection> SimNetwork::LastConnectionOnPort(int port) const {
  for (auto it = connections.rbegin(); it != connections.rend(); ++it)
    if ((*it)->port() == port) return *it;
  return nullptr;
}

}  // namespace fon::sim
