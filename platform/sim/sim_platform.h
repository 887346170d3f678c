// The simulation platform: every interface of platform.h on a virtual clock,
// an in-memory registry, in-memory connections to scripted servers and a
// desktop that records what the client shows. Native tests drive whole
// scenarios through it.
#pragma once

#include <memory>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/sim_clipboard.h"
#include "platform/sim/sim_debug_output.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_dialog_window.h"
#include "platform/sim/sim_frame_window.h"
#include "platform/sim/sim_input.h"
#include "platform/sim/sim_loop.h"
#include "platform/sim/sim_network.h"
#include "platform/sim/sim_popup_window.h"
#include "platform/sim/sim_process.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_resources.h"
#include "platform/sim/sim_shell.h"
#include "platform/sim/sim_timers.h"
#include "platform/sim/sim_tray.h"

namespace fon::sim {

// The user's session as a test sees it: tray, input, desktop, shell,
// resources and process in one object, so that a test reaches everything
// the client shows or asks of the desktop through one name.
class SimSession final : public SimTray,
                         public SimInput,
                         public SimDesktopView,
                         public SimShell,
                         public SimResources,
                         public SimProcess {
 public:
  explicit SimSession(const std::shared_ptr<SimDesktop>& desktop) : SimInput(desktop), SimProcess(desktop) {}
};

class SimPlatform final : public IPlatform {
 public:
  explicit SimPlatform(std::shared_ptr<SimDesktop> desktop = std::make_shared<SimDesktop>());

  ITimers& Timers() override { return timers; }
  IEventLoop& Loop() override { return loop; }
  INetwork& Network() override { return network; }
  IRegistry& Registry() override { return registry; }
  IRegistry& MachineRegistry() override { return machineRegistry; }
  ITray& Tray() override { return shell; }
  IInput& Input() override { return shell; }
  IDesktop& Desktop() override { return shell; }
  IShell& Shell() override { return shell; }
  IResources& Resources() override { return shell; }
  IProcess& Process() override { return shell; }
  IClipboard& Clipboard() override { return clipboard; }
  IDebugOutput& Debug() override { return debug; }
  std::unique_ptr<IFrameWindow> CreateFrameWindow(IFrameEvents* events) override;
  std::unique_ptr<IPopupWindow> CreatePopupWindow(IPopupEvents* events, WindowHandle parent) override;
  std::unique_ptr<IDialogWindow> CreateDialogWindow(IDialogEvents* events) override;

  SimLoop loop;
  SimTimers timers{loop};
  SimNetwork network{loop};
  SimRegistry registry;
  SimRegistry machineRegistry;  // seeded by tests as an administrator would
  SimSession shell;
  SimClipboard clipboard;
  SimDebug debug;

  SimFrameWindow* frame = nullptr;
  std::vector<std::shared_ptr<SimPopupRecord>> popups;    // every popup window ever made
  std::vector<std::shared_ptr<SimDialogRecord>> dialogs;  // every dialog window ever made
  SimModalScripts modalScripts;
  // Tests add those of their own templates.
  SimTabStops tabStops = ProgramTabStops();

  // Popup windows that exist and are visible now.
  std::vector<std::shared_ptr<SimPopupRecord>> VisiblePopups() const;
  WindowHandle NewHandle() { return nextHandle_ += 0x10; }

 private:
  WindowHandle nextHandle_ = 0x2000;
};

}  // namespace fon::sim
