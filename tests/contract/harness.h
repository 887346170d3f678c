// What the platform contract tests need around one implementation: the
// platform itself, a way to let time pass with the loop running, loopback
// servers to talk to, and a scratch registry key. Each implementation has
// its harness (sim_harness.cpp, win32_harness.cpp); the tests are the same.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/platform.h"

namespace fon::contract {

// The server's end of one accepted connection.
class Peer {
 public:
  virtual ~Peer() = default;
  virtual void Send(const std::string& bytes) = 0;
  // Closes the server's end.
  virtual void Close() = 0;
  // Everything the server has read so far.
  virtual std::string Received() = 0;
};

class Listener {
 public:
  virtual ~Listener() = default;
  virtual int Port() const = 0;
  // The oldest connection that reached the listener and is not yet taken;
  // null when there is none.
  virtual std::unique_ptr<Peer> Accept() = 0;
};

class Harness {
 public:
  virtual ~Harness() = default;
  virtual IPlatform& Platform() = 0;
  // A listening server on 127.0.0.1. One that never reads lets the
  // system's buffers of a connection fill up.
  virtual std::unique_ptr<Listener> Listen(bool reads = true) = 0;
  // A port on 127.0.0.1 where nobody listens.
  virtual int RefusedPort() = 0;
  // A port on 127.0.0.1 where a connect gets no answer for a long while.
  virtual int SilentPort() = 0;
  // Waits until what the peer sent or did has reached the client's side,
  // without running the loop: its notifications are queued by then.
  virtual void Settle() = 0;
  // Runs the loop until `done` or `timeoutMs` have passed; returns done().
  virtual bool RunUntil(const std::function<bool()>& done, unsigned timeoutMs) = 0;
  void Pump(unsigned ms) {
    RunUntil([] { return false; }, ms);
  }
  std::uint64_t Now() { return Platform().Loop().NowMs(); }
  // A registry key below the user's hive that is removed afterwards.
  virtual std::string ScratchKey() = 0;
  // What the user does to a control of a shown dialog: clicks it (a check
  // box toggles), or picks entry `index` from a combo box's list.
  virtual void Click(IDialogWindow& dialog, int id) = 0;
  virtual void Choose(IDialogWindow& dialog, int id, int index) = 0;
  // The control of a shown dialog that has the keyboard focus; 0 for none.
  virtual int FocusedControl(IDialogWindow& dialog) = 0;
};

std::unique_ptr<Harness> MakeHarness();

// A timer sink that keeps a loop busy while a test waits on it.
class Ticker final : public TimerSink {
 public:
  void OnTimer(unsigned) override { ++ticks; }
  int ticks = 0;
};

}  // namespace fon::contract
