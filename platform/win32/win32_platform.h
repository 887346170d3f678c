// The Windows implementation of the platform services, for fonaris.exe.
#pragma once

#include "platform/platform.h"
#include "platform/win32/gdi_cache.h"
#include "platform/win32/popup_window_pool.h"
#include "platform/win32/win32_clipboard.h"
#include "platform/win32/win32_debug_output.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_event_loop.h"
#include "platform/win32/win32_input.h"
#include "platform/win32/win32_network.h"
#include "platform/win32/win32_process.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_resources.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_timers.h"
#include "platform/win32/win32_tray.h"

#include <memory>

namespace fon::win32 {

class Win32Platform final : public IPlatform {
 public:
  struct Options {
    HINSTANCE instance = nullptr;  // where resources come from
    std::string logPath;           // optional copy of the debug texts
    // Popup windows made ahead, once the frame exists (see PopupWindowPool).
    std::size_t sparePopupWindows = 0;
    std::string launchLink;  // the phone link the program was started for
  };

  // Null when the hidden windows that carry timers, tasks and socket
  // notifications cannot be made. Windows Sockets must be started already.
  static std::unique_ptr<Win32Platform> Create(const Options& options);

  ITimers& Timers() override { return timers_; }
  IEventLoop& Loop() override { return loop_; }
  INetwork& Network() override { return network_; }
  IRegistry& Registry() override { return registry_; }
  IRegistry& MachineRegistry() override { return machineRegistry_; }
  ITray& Tray() override { return tray_; }
  IInput& Input() override { return input_; }
  IDesktop& Desktop() override { return desktop_; }
  IShell& Shell() override { return shell_; }
  IResources& Resources() override { return resources_; }
  IProcess& Process() override { return process_; }
  IClipboard& Clipboard() override { return clipboard_; }
  IDebugOutput& Debug() override { return debug_; }
  std::unique_ptr<IFrameWindow> CreateFrameWindow(IFrameEvents* events) override;
  std::unique_ptr<IPopupWindow> CreatePopupWindow(IPopupEvents* events, WindowHandle parent) override;
  std::unique_ptr<IDialogWindow> CreateDialogWindow(IDialogEvents* events) override;

  // The outer message loop of the process; returns the code of WM_QUIT.
  int RunMessageLoop() { return loop_.Run(); }

  // The popup windows kept for reuse, and what they paint with.
  PopupWindowPool& PopupWindows() { return popupWindows_; }
  GdiCache& Gdi() { return gdi_; }

 private:
  explicit Win32Platform(const Options& options);
  void SetFrame(HWND frame);

  HINSTANCE instance_;
  std::size_t sparePopupWindows_;
  Win32DebugOutput debug_;
  Win32EventLoop loop_;
  Win32Timers timers_;
  Win32Network network_;
  Win32Registry registry_;
  Win32Registry machineRegistry_;
  Win32Tray tray_;
  Win32Input input_;
  Win32Desktop desktop_;
  Win32Shell shell_;
  Win32Resources resources_;
  Win32Process process_;
  Win32Clipboard clipboard_;
  GdiCache gdi_;
  PopupWindowPool popupWindows_;
};

}  // namespace fon::win32
