#include "platform/win32/win32_frame_window.h"

#include <wtsapi32.h>

#include "platform/win32/win32_process.h"
#include "platform/win32/window_class.h"

namespace fon::win32 {

namespace {
constexpr char kClassName[] = "FonarisFrame";
constexpr char kTitle[] = "CTI application";
constexpr UINT kPendingLinkMessage = WM_APP + 7;
}  // namespace

Win32FrameWindow::Win32FrameWindow(HINSTANCE instance, IFrameEvents* events, std::function<void(HWND)> onGone)
    : events_(events), onGone_(std::move(onGone)), taskbarCreated_(::RegisterWindowMessageA("TaskbarCreated")) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &Win32FrameWindow::WindowProc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kClassName;
  if (!EnsureWindowClass(wc)) return;
  // A top-level window (not message-only): it has to receive the shell's
  // "TaskbarCreated" broadcast. It is never shown.
  window_.Reset(::CreateWindowExA(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this));
  if (window_) session_.Register(window_.Get());
}

void Win32FrameWindow::SessionNotification::Register(HWND window) {
  Reset();
  // Without it (no terminal services) the client only misses lock events.
  if (::WTSRegisterSessionNotification(window, NOTIFY_FOR_THIS_SESSION)) window_ = window;
}

void Win32FrameWindow::SessionNotification::Reset() {
  if (window_) ::WTSUnRegisterSessionNotification(window_);
  window_ = nullptr;
}

Win32FrameWindow::~Win32FrameWindow() {
  // The events object is going away with the core's frame; a message sent
  // while the window is destroyed must not reach it.
  events_ = nullptr;
  session_.Reset();
  window_.Reset();
}

void Win32FrameWindow::Show(bool visible) {
  if (window_) ::ShowWindow(window_.Get(), visible ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void Win32FrameWindow::Destroy() {
  session_.Reset();
  window_.Reset();
}

LRESULT CALLBACK Win32FrameWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32FrameWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    if (self) {
      self->window_.Release();  // already going; nothing left to destroy
      if (self->onGone_) self->onGone_(window);
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
  }
  if (!self) return ::DefWindowProcA(window, message, wParam, lParam);
  return self->OnMessage(window, message, wParam, lParam);
}

LRESULT Win32FrameWindow::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // Every handler returns right after its callback: the core may destroy
  // this object from inside it.
  if (events_) {
    if (message == kTrayCallbackMessage) {
      events_->OnTrayNotify(LOWORD(lParam));
      return 0;
    }
    if (message == taskbarCreated_ && taskbarCreated_ != 0) {
      events_->OnTaskbarCreated();
      return 0;
    }
    switch (message) {
      case WM_HOTKEY:
        events_->OnHotKey(static_cast<int>(wParam));
        return 0;
      case WM_COMMAND:
        events_->OnCommand(LOWORD(wParam));
        return 0;
      case WM_CLOSE:
        // The core decides whether and when the frame goes.
        events_->OnClose();
        return 0;
      case WM_SIZE:
        events_->OnSize(static_cast<int>(wParam));
        return 0;
      case WM_WTSSESSION_CHANGE:
        if (wParam == WTS_SESSION_LOCK || wParam == WTS_SESSION_UNLOCK) {
          events_->OnSessionChange(wParam == WTS_SESSION_LOCK);
          return 0;
        }
        break;
      case WM_COPYDATA: {
        // Sent by a second start of the program for a phone link; anything
        // else that arrives this way is not ours.
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (!data || data->dwData != kPhoneLinkCopyData || !data->lpData || data->cbData == 0 ||
            data->cbData > kPhoneLinkMaxBytes) {
          return 0;
        }
        // Handled after the sender has been answered: the dialog it opens
        // runs a loop of its own.
        pendingLinks_.emplace_back(static_cast<const char*>(data->lpData), data->cbData);
        ::PostMessageA(window, kPendingLinkMessage, 0, 0);
        return 1;
      }
      case kPendingLinkMessage: {
        if (pendingLinks_.empty()) return 0;
        std::string link = std::move(pendingLinks_.front());
        pendingLinks_.pop_front();
        events_->OnPhoneLink(link);
        return 0;
      }
      case WM_QUERYENDSESSION:
        // The client never holds the session up; it acts on the end itself.
        return TRUE;
      case WM_ENDSESSION:
        if (wParam) events_->OnEndSession();
        return 0;
      default:
        break;
    }
  }
  if (message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace fon::win32
