// The dial-out hotkey of the main frame, key and mouse state, and the copy
// keystrokes sent to the foreground application.
#pragma once

#include "platform/input.h"
#include "platform/win32/windows_headers.h"

namespace fon::win32 {

class Win32Input final : public IInput {
 public:
  // Hotkeys belong to the hidden frame.
  void SetFrame(HWND frame) { frame_ = frame; }

  bool RegisterHotKey(int id, unsigned modifiers, unsigned virtualKey) override;
  void UnregisterHotKey(int id) override;
  bool IsKeyDown(int virtualKey) override;
  std::optional<Point> GetCursorPos() override;
  unsigned GetDoubleClickTime() override;
  void SendCopyKeys() override;

 private:
  HWND frame_ = nullptr;
};

}  // namespace fon::win32
