#include "platform/win32/win32_platform.h"

#include "platform/win32/win32_dialog_window.h"
#include "platform/win32/win32_frame_window.h"
#include "platform/win32/win32_popup_window.h"

namespace fon::win32 {

Win32Platform::Win32Platform(const Options& options)
    : instance_(options.instance ? options.instance : ::GetModuleHandleA(nullptr)),
      sparePopupWindows_(options.sparePopupWindows),
      debug_(options.logPath),
      loop_(instance_),
      timers_(instance_),
      network_(instance_, loop_),
      registry_(HKEY_CURRENT_USER),
      machineRegistry_(HKEY_LOCAL_MACHINE, Win32Registry::Access::kReadOnly),
      tray_(instance_),
      resources_(instance_),
      process_(options.launchLink),
      gdi_(instance_),
      popupWindows_(instance_, gdi_) {}

std::unique_ptr<Win32Platform> Win32Platform::Create(const Options& options) {
  std::unique_ptr<Win32Platform> platform(new Win32Platform(options));
  if (!platform->loop_.Ready() || !platform->timers_.Ready() || !platform->network_.Ready()) return nullptr;
  return platform;
}

void Win32Platform::SetFrame(HWND frame) {
  tray_.SetFrame(frame);
  input_.SetFrame(frame);
  clipboard_.SetOwner(frame);
}

std::unique_ptr<IFrameWindow> Win32Platform::CreateFrameWindow(IFrameEvents* events) {
  // The tray, the hotkey and the clipboard work for the frame: the icon,
  // hotkey and menu belong to its window, and forget it when it is gone.
  auto frame = std::make_unique<Win32FrameWindow>(instance_, events, [this](HWND gone) {
    if (tray_.Frame() == gone) SetFrame(nullptr);
  });
  HWND frameWindow = ToHwnd(frame->Handle());
  SetFrame(frameWindow);
  // The popups' windows are made once the start-up message has been handled,
  // well before the first call arrives.
  if (sparePopupWindows_ > 0 && frameWindow) {
    loop_.Post([this, frameWindow] { popupWindows_.Prewarm(frameWindow, sparePopupWindows_); });
  }
  return frame;
}

std::unique_ptr<IPopupWindow> Win32Platform::CreatePopupWindow(IPopupEvents* events, WindowHandle parent) {
  return std::make_unique<Win32PopupWindow>(popupWindows_, events, ToHwnd(parent));
}

std::unique_ptr<IDialogWindow> Win32Platform::CreateDialogWindow(IDialogEvents* events) {
  return std::make_unique<Win32DialogWindow>(instance_, loop_, events, [this] { return tray_.Frame(); });
}

}  // namespace fon::win32
