#include "platform/win32/main_frame_runner.h"

#include "app/main_frame.h"

namespace fon::win32 {

int RunMainFrame(IPlatform& platform, const std::function<int()>& messageLoop) {
  CMainFrame frame(platform);
  if (frame.Create() == -1) return 1;
  return messageLoop();
}

}  // namespace fon::win32
