// The scale of a monitor or of a window, in dots per inch (96 = 100 %).
//
// The program declares itself aware of each monitor's scale (its manifest),
// so Windows draws nothing of it enlarged: every window lays itself out for
// the scale of the monitor it is on. The functions that tell that scale
// came with Windows 8.1 and 10; on older systems (and whenever they fail)
// the one scale of the whole session is the answer.
#pragma once

#include "platform/win32/windows_headers.h"

namespace fon::win32 {

// The session's scale, as GDI reports it for the screen.
int SystemDpi();
// The scale of `monitor` (effective, as the user set it).
int MonitorDpi(HMONITOR monitor);
// The scale of the monitor a window is on, as the window itself sees it.
int WindowDpi(HWND window);

}  // namespace fon::win32
