// The few services the portable core takes from the operating system.
//
// Everything the client needs from Windows goes through these interfaces, so
// that the same core runs as fonaris.exe (platform/win32) and inside native
// scenario tests on a virtual clock (platform/sim). Each concern has its
// interface of its own; IPlatform hands them out.
#pragma once

#include <memory>

#include "platform/clipboard.h"
#include "platform/debug_output.h"
#include "platform/desktop.h"
#include "platform/event_loop.h"
#include "platform/input.h"
#include "platform/network.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/resources.h"
#include "platform/shell.h"
#include "platform/timers.h"
#include "platform/tray.h"
#include "platform/types.h"
#include "platform/windowing.h"

namespace fon {

class IPlatform {
 public:
  virtual ~IPlatform() = default;
  virtual ITimers& Timers() = 0;
  virtual IEventLoop& Loop() = 0;
  virtual INetwork& Network() = 0;
  virtual IRegistry& Registry() = 0;
  // The machine-wide hive: defaults an administrator set for every user.
  virtual IRegistry& MachineRegistry() = 0;
  virtual ITray& Tray() = 0;
  virtual IInput& Input() = 0;
  virtual IDesktop& Desktop() = 0;
  virtual IShell& Shell() = 0;
  virtual IResources& Resources() = 0;
  virtual IProcess& Process() = 0;
  virtual IClipboard& Clipboard() = 0;
  virtual IDebugOutput& Debug() = 0;
  virtual std::unique_ptr<IFrameWindow> CreateFrameWindow(IFrameEvents* events) = 0;
  virtual std::unique_ptr<IPopupWindow> CreatePopupWindow(IPopupEvents* events, WindowHandle parent) = 0;
  virtual std::unique_ptr<IDialogWindow> CreateDialogWindow(IDialogEvents* events) = 0;
};

}  // namespace fon
