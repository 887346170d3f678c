// A CTI socket on the simulation platform, connected to a server end, with
// an owner that records what it is handed.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "net/cti_port_socket.h"
#include "platform/sim/sim_platform.h"

namespace fon::test {

struct CtiRecorder final : ICtiPortOwner {
  void OnCtiPortConnected(CCtiPortSocket&) override {}
  void OnCtiPortConnectFailed(CCtiPortSocket&) override {}
  void OnCtiPortMessage(const std::string& message, const std::string&) override {
    events.push_back(message);
    at.push_back(sim.loop.NowMs());
  }
  void OnCtiPortClosed(CCtiPortSocket& s) override {
    ++ends;
    s.Close();  // as the link does
  }
  // The server's end, once connected.
  std::shared_ptr<sim::SimConnection> Connect() {
    sim.network.Listen("127.0.0.1", 12346);
    socket.Create();
    socket.Connect("127.0.0.1", 12346);
    sim.loop.RunFor(5);
    return sim.network.LastConnectionOnPort(12346);
  }

  sim::SimPlatform sim;
  CCtiPortSocket socket{sim, this};
  std::vector<std::string> events;
  std::vector<std::uint64_t> at;  // virtual time each event was handed on
  int ends = 0;
};

}  // namespace fon::test
