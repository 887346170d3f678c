// A client on the simulation platform with a scripted server beside it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/main_frame.h"
#include "platform/sim/sim_platform.h"
#include "settings/settings_store.h"

namespace fon::test {

inline constexpr char kServer[] = "127.0.0.1";
inline constexpr int kCtiPort = 12346;
inline constexpr int kRelayPort = 12345;

class FrameTest : public ::testing::Test {
 protected:
  sim::SimPlatform sim;
  std::unique_ptr<CMainFrame> frame;

  // A registered user with a configured server, as after a first login.
  void SeedRegisteredUser(int userId = 42) {
    sim.registry.CreateKey(kMainKey);
    sim.registry.SetDword(kMainKey, "User ID", userId);
    sim.registry.SetString(kMainKey, "Server IP Address", kServer);
    sim.registry.SetDword(kMainKey, "Server Port", kCtiPort);
    sim.registry.SetDword(kMainKey, "Relay Port", kRelayPort);
  }

  // The server's CTI port accepts connections.
  sim::SimListener& ServeCti() { return sim.network.Listen(kServer, kCtiPort); }
  void StopCti() { sim.network.StopListening(kServer, kCtiPort); }

  // Starts the client and lets the start-up's immediate events run.
  void Start() {
    frame = std::make_unique<CMainFrame>(sim);
    ASSERT_EQ(frame->Create(), 0);
    sim.loop.RunFor(10);
  }

  std::shared_ptr<sim::SimConnection> CtiConnection() { return sim.network.LastConnectionOnPort(kCtiPort); }
  // The server writes one event (one read on the client's side).
  void SendEvent(const std::string& bytes) {
    auto conn = CtiConnection();
    ASSERT_TRUE(conn);
    conn->Send(bytes);
    sim.loop.RunFor(1);
  }
  bool Logged(const std::string& text) const { return sim.debug.Contains(text); }
  int LoggedCount(const std::string& text) const { return sim.debug.Count(text); }
  bool Linked() const { return frame->Link().IsLinked(); }
};

}  // namespace fon::test
