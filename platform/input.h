// The global hotkey, keyboard and mouse state, and keystrokes sent to the
// foreground application.
#pragma once

#include <optional>

#include "platform/types.h"

namespace fon {

class IInput {
 public:
  virtual ~IInput() = default;
  // Hotkeys belong to the main frame window.
  virtual bool RegisterHotKey(int id, unsigned modifiers, unsigned virtualKey) = 0;
  virtual void UnregisterHotKey(int id) = 0;
  // True when the key was pressed since the previous query (the low bit of
  // GetAsyncKeyState), not while it is merely held down.
  virtual bool IsKeyDown(int virtualKey) = 0;
  // None when the cursor cannot be read (a locked or switched desktop).
  virtual std::optional<Point> GetCursorPos() = 0;
  virtual unsigned GetDoubleClickTime() = 0;
  // Makes the foreground application copy its selection (Ctrl+C strokes).
  virtual void SendCopyKeys() = 0;
};

}  // namespace fon
