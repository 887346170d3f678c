// The message loop of the user-interface thread: the outer loop of the
// process, the nested loops of modal dialogs and blocking socket calls, and
// tasks posted to run after the current message.
#pragma once

#include "platform/platform.h"
#include "platform/win32/message_window.h"

#include <deque>
#include <vector>

namespace fon::win32 {

class Win32EventLoop final : public IEventLoop {
 public:
  explicit Win32EventLoop(HINSTANCE instance);

  bool Ready() const { return window_.Handle() != nullptr; }

  bool RunUntil(const std::function<bool()>& done) override;
  void Sleep(unsigned ms) override;
  void Post(std::function<void()> task) override;
  std::uint64_t NowMs() const override;
  std::string CtimeNow() const override;
  void Quit(int code) override;

  // The outermost loop; returns the exit code carried by WM_QUIT.
  int Run();

  // Dialogs that run without the system's modal loop need IsDialogMessage
  // for keyboard navigation (Tab, Enter, Esc).
  void AddDialog(HWND dialog);
  void RemoveDialog(HWND dialog);

 private:
  // Returns false when WM_QUIT was taken off the queue (in *quitCode).
  bool PumpOne(int* quitCode);
  bool OnMessage(UINT message);

  std::deque<std::function<void()>> tasks_;
  std::vector<HWND> dialogs_;
  MessageWindow window_;
};

}  // namespace fon::win32
