// A hidden message-only window that hands its messages to one handler.
// Timers, posted tasks and socket notifications each get one, so that all of
// them arrive through the thread's ordinary message loop.
#pragma once

#include "platform/win32/win32_handles.h"

#include <functional>

namespace fon::win32 {

class MessageWindow {
 public:
  // Returns true when it handled the message and stored the result.
  using Handler = std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)>;

  MessageWindow(HINSTANCE instance, Handler handler);
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;
  ~MessageWindow();

  HWND Handle() const { return window_.Get(); }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  Handler handler_;
  UniqueWindow window_;
};

}  // namespace fon::win32
