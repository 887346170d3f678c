#include "platform/win32/win32_event_loop.h"

#include <algorithm>
#include <ctime>

namespace fon::win32 {

namespace {
constexpr UINT kRunTaskMessage = WM_APP + 1;
}

Win32EventLoop::Win32EventLoop(HINSTANCE instance)
    : window_(instance, [this](UINT message, WPARAM, LPARAM, LRESULT* result) {
        *result = 0;
        return OnMessage(message);
      }) {}

bool Win32EventLoop::PumpOne(int* quitCode) {
  MSG msg{};
  BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
  if (got == 0 || got == -1) {
    *quitCode = got == 0 ? static_cast<int>(msg.wParam) : -1;
    return false;
  }
  // A dialog's IsDialogMessage may dispatch into code that destroys dialogs,
  // so walk a copy of the list.
  std::vector<HWND> dialogs = dialogs_;
  for (HWND dialog : dialogs) {
    if (::IsWindow(dialog) && ::IsDialogMessageA(dialog, &msg)) return true;
  }
  ::TranslateMessage(&msg);
  ::DispatchMessageA(&msg);
  return true;
}

bool Win32EventLoop::RunUntil(const std::function<bool()>& done) {
  while (!done()) {
    int code = 0;
    if (!PumpOne(&code)) {
      // The quit belongs to the outermost loop: leave it on the queue for it.
      ::PostQuitMessage(code);
      return false;
    }
  }
  return true;
}

int Win32EventLoop::Run() {
  int code = 0;
  while (PumpOne(&code)) {
  }
  return code;
}

void Win32EventLoop::Sleep(unsigned ms) { ::Sleep(ms); }

void Win32EventLoop::Post(std::function<void()> task) {
  if (!task) return;
  tasks_.push_back(std::move(task));
  // One message per task: a task that runs a nested loop still lets the
  // tasks queued behind it run in order.
  ::PostMessageA(window_.Handle(), kRunTaskMessage, 0, 0);
}

bool Win32EventLoop::OnMessage(UINT message) {
  if (message != kRunTaskMessage) return false;
  if (tasks_.empty()) return true;
  std::function<void()> task = std::move(tasks_.front());
  tasks_.pop_front();
  task();
  return true;
}

std::uint64_t Win32EventLoop::NowMs() const { return ::GetTickCount64(); }

std::string Win32EventLoop::CtimeNow() const {
  std::time_t now = std::time(nullptr);
  const char* text = std::ctime(&now);
  return text ? std::string(text) : std::string();
}

void Win32EventLoop::Quit(int code) { ::PostQuitMessage(code); }

void Win32EventLoop::AddDialog(HWND dialog) {
  if (dialog && std::find(dialogs_.begin(), dialogs_.end(), dialog) == dialogs_.end()) dialogs_.push_back(dialog);
}

void Win32EventLoop::RemoveDialog(HWND dialog) {
  dialogs_.erase(std::remove(dialogs_.begin(), dialogs_.end(), dialog), dialogs_.end());
}

}  // namespace fon::win32
