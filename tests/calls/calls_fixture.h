// A running client of user 5 with its CTI link up, and ways to look at its
// popups.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "calls/popup.h"
#include "calls/popup_stack.h"
#include "frame_fixture.h"
#include "tests/support/popup_stack_check.h"

namespace fon::test {

inline constexpr int kUser = 5;
inline constexpr char kTuesday8th[] = "Tue Dec  8 09:05:03 2026\n";

class CallsTest : public FrameTest {
 protected:
  void SetUp() override {
    SeedRegisteredUser(kUser);
    ServeCti();
    // A relay that answers every request with a plain success, so that the
    // start-up shows no notices of its own.
    sim.network.Listen(kServer, kRelayPort).onData = [](std::shared_ptr<sim::SimConnection> connection,
                                                        const std::string&) { connection->Send("+OK"); };
    Start();
    ASSERT_TRUE(Linked());
    sim.loop.RunFor(100);
    ASSERT_EQ(frame->PopupStack().PopupCount(), 0);
  }

  void Call(const std::string& message, const std::string& time = kTuesday8th) {
    frame->OnCtiMessage(message, time);
  }
  // A call for the user with the given caller name.
  void CallFor(int user, const std::string& name = "Anna") {
    Call("X|17|" + name + "|0301234|0302222|" + std::to_string(user) + "|\n");
  }

  CPopup* Popup(int slot) { return frame->PopupStack().PopupInSlot(slot); }
  CPopup& Current() { return *Popup(frame->PopupStack().CurPopup()); }

  // The window record of a popup.
  std::shared_ptr<sim::SimPopupRecord> Window(const CPopup* popup) const {
    for (const auto& record : sim.popups)
      if (record->alive && record->events == static_cast<const IPopupEvents*>(popup)) return record;
    return nullptr;
  }
  int WindowsAlive() const {
    int n = 0;
    for (const auto& record : sim.popups) n += record->alive ? 1 : 0;
    return n;
  }
  int OnScreen() const { return static_cast<int>(sim.VisiblePopups().size()); }

  static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find("\r\n", from)) != std::string::npos; from = at + 2)
      out.push_back(text.substr(from, at - from));
    out.push_back(text.substr(from));
    return out;
  }

  void ExpectSoundStack() { EXPECT_EQ(PopupStackFault(frame->PopupStack(), WindowsAlive()), ""); }
};

}  // namespace fon::test
