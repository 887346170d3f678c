#include "platform/win32/message_window.h"

#include "platform/win32/window_class.h"

namespace fon::win32 {

namespace {
constexpr char kClassName[] = "FonarisMessageWindow";
}

MessageWindow::MessageWindow(HINSTANCE instance, Handler handler) : handler_(std::move(handler)) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &MessageWindow::WindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = kClassName;
  if (!EnsureWindowClass(wc)) return;
  window_.Reset(::CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, this));
}

MessageWindow::~MessageWindow() {
  // Detach first: messages sent during destruction must not reach a handler
  // whose owner is half gone.
  if (window_) ::SetWindowLongPtrA(window_.Get(), GWLP_USERDATA, 0);
}

LRESULT CALLBACK MessageWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<MessageWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self && self->handler_) {
    LRESULT result = 0;
    if (self->handler_(message, wParam, lParam, &result)) return result;
  }
  return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace fon::win32
