// The message loop of the user-interface thread and its clock.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace fon {

class IEventLoop {
 public:
  virtual ~IEventLoop() = default;
  // Runs a nested message loop until `done` returns true (checked after
  // every dispatched event) or the application quits. Returns false when the
  // loop ended because of a quit request.
  virtual bool RunUntil(const std::function<bool()>& done) = 0;
  // Blocks the user-interface thread; nothing is dispatched meanwhile.
  virtual void Sleep(unsigned ms) = 0;
  // Runs `task` from the message loop soon, after the current event returns.
  virtual void Post(std::function<void()> task) = 0;
  // Milliseconds of a monotonic clock.
  virtual std::uint64_t NowMs() const = 0;
  // Current local time in the C runtime's ctime() layout, newline included.
  virtual std::string CtimeNow() const = 0;
  // Ends the outermost message loop (the main window was destroyed).
  virtual void Quit(int code) = 0;
};

}  // namespace fon
