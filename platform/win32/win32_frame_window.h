// The hidden main frame: owner of the tray icon, the hotkey and the tray
// menu, and the receiver of their messages.
#pragma once

#include "platform/platform.h"
#include "platform/win32/win32_handles.h"

#include <deque>
#include <functional>
#include <string>

namespace fon::win32 {

class Win32FrameWindow final : public IFrameWindow {
 public:
  // `onGone` is told which window no longer exists, so that the shell stops
  // using its handle.
  Win32FrameWindow(HINSTANCE instance, IFrameEvents* events, std::function<void(HWND)> onGone);
  ~Win32FrameWindow() override;

  WindowHandle Handle() const override { return FromHwnd(window_.Get()); }
  void Show(bool visible) override;
  void Destroy() override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  // Lock and unlock of the session reach the window while it is registered.
  class SessionNotification {
   public:
    SessionNotification() = default;
    ~SessionNotification() { Reset(); }
    SessionNotification(const SessionNotification&) = delete;
    SessionNotification& operator=(const SessionNotification&) = delete;
    void Register(HWND window);
    void Reset();

   private:
    HWND window_ = nullptr;
  };

  IFrameEvents* events_;
  std::function<void(HWND)> onGone_;
  UINT taskbarCreated_;
  // Links handed over by other processes, waiting for their own message.
  std::deque<std::string> pendingLinks_;
  UniqueWindow window_;
  // Declared after the window: it is unregistered before the window goes.
  SessionNotification session_;
};

}  // namespace fon::win32
