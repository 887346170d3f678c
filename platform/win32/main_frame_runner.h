// The one place where the executable meets the core's main frame. It is
// compiled apart from the Windows headers, whose macros (SIZE_MINIMIZED,
// MessageBox, ...) would clash with the core's own names.
#pragma once

#include "platform/platform.h"

#include <functional>

namespace fon::win32 {

// Makes the main frame, runs `messageLoop` while the frame lives and
// destroys the frame before returning. Returns 1 when the frame could not
// start, else the message loop's exit code.
int RunMainFrame(IPlatform& platform, const std::function<int()>& messageLoop);

}  // namespace fon::win32
