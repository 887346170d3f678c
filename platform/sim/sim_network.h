// In-memory TCP for the simulation: scripted servers listen on (host, port),
// the client's sockets connect to them through the virtual-time loop.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/network.h"
#include "platform/sim/sim_loop.h"

namespace fon::sim {

class SimNetwork;

// The server's end of one connection.
class SimConnection : public std::enable_shared_from_this<SimConnection> {
 public:
  SimConnection(std::string host, int port) : host_(std::move(host)), port_(port) {}
  // One write of the server: the client reads it in reads of its own
  // (never merged with another write).
  void Send(const std::string& bytes);
  // Closes the server end; the client is notified after what was sent.
  void Close();
  // Closes the server end while a read notification is on its way: once
  // what was sent has been read, that read finds the end of the stream
  // (0 bytes) before the close notification comes, as on Windows when an
  // FD_READ is still queued at the server's close.
  void CloseAfterEmptyRead();
  bool closedByServer() const { return closedByServer_; }
  bool closedByClient() const { return closedByClient_; }
  bool clientShutdownSend() const { return shutdownSend_; }
  int port() const { return port_; }
  const std::string& host() const { return host_; }
  // Everything the client sent, and the separate SendAll calls.
  std::string received;
  std::vector<std::string> writes;

 private:
  friend class SimSocket;
  friend class SimNetwork;
  std::string host_;
  int port_;
  class SimSocket* client_ = nullptr;
  bool closedByServer_ = false;
  bool closedByClient_ = false;
  bool shutdownSend_ = false;
};

// How a listener treats a connect.
enum class ListenMode {
  kAccept,     // connect succeeds
  kRefuse,     // WSAECONNREFUSED
  kBlackhole,  // the connect never completes (packets swallowed)
};

struct SimListener {
  ListenMode mode = ListenMode::kAccept;
  std::uint64_t connectDelayMs = 1;
  // A server that accepts and never reads: once the system's buffers of the
  // connection are full, a client's send has to wait.
  bool neverReads = false;
  // Called for each accepted connection.
  std::function<void(std::shared_ptr<SimConnection>)> onAccept;
  // Called for each write the client makes on a connection.
  std::function<void(std::shared_ptr<SimConnection>, const std::string&)> onData;
};

class SimSocket : public ISocket {
 public:
  SimSocket(SimNetwork& net, ISocketEvents* events) : net_(net), events_(events) {}
  ~SimSocket() override;
  int ConnectAsync(const std::string& host, int port) override;
  int ConnectBlocking(const std::string& host, int port, unsigned timeoutMs) override;
  int SendAll(const char* data, std::size_t len, unsigned timeoutMs) override;
  int Receive(char* buf, int len) override;
  void ShutdownSend() override;
  void Close() override;
  int LastError() const override { return lastError_; }

 private:
  friend class SimConnection;
  friend class SimNetwork;
  enum class State { kIdle, kConnecting, kConnected, kClosed };
  int StartConnect(const std::string& host, int port, bool notify);
  void Deliver(std::function<void(ISocketEvents*)> call);
  void QueueRead();
  void DeliverEndOfStream();
  // Runs the loop for a blocking call of this socket until `done`, the
  // socket is closed or destroyed, or `timeoutMs`. The socket's own
  // notifications wait until the call returns. False when the socket was
  // closed or destroyed meanwhile (then `this` must not be touched).
  bool Wait(const std::function<bool()>& done, unsigned timeoutMs);
  void Notify(std::function<void()> notification);

  SimNetwork& net_;
  ISocketEvents* events_;
  State state_ = State::kIdle;
  int connectResult_ = -1;  // -1 pending
  std::shared_ptr<SimConnection> conn_;
  std::deque<std::string> segments_;
  bool peerClosed_ = false;
  bool readQueued_ = false;
  bool inBlockingCall_ = false;
  std::vector<std::function<void()>> heldBack_;
  std::size_t unreadBytes_ = 0;  // sent to a server that never reads
  int lastError_ = 0;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

class SimNetwork : public INetwork {
 public:
  explicit SimNetwork(SimLoop& loop) : loop_(loop) {}
  std::unique_ptr<ISocket> CreateSocket(ISocketEvents* events, int* error) override;
  int LastError() const override { return lastError_; }

  // ---- test side
  SimListener& Listen(const std::string& host, int port);
  void StopListening(const std::string& host, int port) { listeners_.erase({host, port}); }
  SimListener* FindListener(const std::string& host, int port);
  // Every connection accepted so far, oldest first.
  std::vector<std::shared_ptr<SimConnection>> connections;
  std::vector<std::shared_ptr<SimConnection>> ConnectionsOnPort(int port) const;
  std::shared_ptr<SimConnection> LastConnectionOnPort(int port) const;
  // Host names that resolve (besides dotted addresses).
  std::vector<std::string> knownHosts{"localhost", "tsg.example"};
  // Makes the next CreateSocket fail with this error (0 = none).
  int failNextCreate = 0;
  int socketsCreated = 0;
  int socketsAlive = 0;
  // Blocking connects and sends waiting right now (their loops run the
  // rest of the client), and when the last one returned.
  int blockingCalls = 0;
  std::uint64_t lastBlockingEndMs = 0;

  SimLoop& loop() { return loop_; }

 private:
  friend class SimSocket;
  SimLoop& loop_;
  std::map<std::pair<std::string, int>, SimListener> listeners_;
  int lastError_ = 0;
};

}  // namespace fon::sim
