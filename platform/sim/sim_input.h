// Hotkeys, keyboard and mouse as a test sets them.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <utility>

#include "platform/input.h"
#include "platform/sim/sim_desktop.h"

namespace fon::sim {

class SimInput : public IInput {
 public:
  explicit SimInput(std::shared_ptr<SimDesktop> desktop) : desktop_(std::move(desktop)) {}
  bool RegisterHotKey(int id, unsigned modifiers, unsigned virtualKey) override;
  void UnregisterHotKey(int id) override { hotkeys.erase(id); }
  // A press and release since the last query shows once; a key held down
  // all the time never does (GetAsyncKeyState gives 0x8000 for it, not 1).
  bool IsKeyDown(int virtualKey) override {
    ++keyQueries;
    return keysPressed.erase(virtualKey) != 0;
  }
  std::optional<Point> GetCursorPos() override {
    ++cursorQueries;
    if (cursorUnreadable) return std::nullopt;
    return cursor;
  }
  unsigned GetDoubleClickTime() override { return doubleClickTime; }
  void SendCopyKeys() override;

  std::map<int, std::pair<unsigned, unsigned>> hotkeys;
  Point cursor{640, 500};
  // The desktop is locked: the cursor cannot be read.
  bool cursorUnreadable = false;
  unsigned doubleClickTime = 500;
  // Keys pressed and released since their last query.
  std::set<int> keysPressed;
  long long keyQueries = 0;
  long long cursorQueries = 0;
  int copyKeyPresses = 0;
  std::function<void()> onCopyKeys;

 protected:
  ~SimInput() override = default;

 private:
  std::shared_ptr<SimDesktop> desktop_;
};

}  // namespace fon::sim
