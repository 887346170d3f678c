// What would open a modal dialog while a relay request is being connected
// or sent waits until the last such send has returned, then runs once. A
// dialog opened inside the blocking connect would keep that send from
// returning until the user closed it: the tray menu, the rest of the
// connect sequence and every later profile switch would wait with it.
#pragma once

#include <functional>
#include <map>
#include <memory>

#include "platform/event_loop.h"

// One entry per kind of command: a second one of a kind replaces the first.
enum class DeferredCommand : int {
  kHotkey,
  kPhoneLink,
  kMenuCommand,
  kActiveProfile,
  kExitWarning,
  kConfigAfterProfiles,
};

class CDeferredCommands {
 public:
  // `sending` tells whether a relay send is under way now.
  CDeferredCommands(fon::IEventLoop& loop, std::function<bool()> sending)
      : loop_(loop), sending_(std::move(sending)) {}
  ~CDeferredCommands() { *alive_ = false; }
  CDeferredCommands(const CDeferredCommands&) = delete;
  CDeferredCommands& operator=(const CDeferredCommands&) = delete;

  // true when `action` was held back (a send is under way); false: the
  // caller goes on now.
  bool Defer(DeferredCommand command, std::function<void()> action);
  // The last send has returned: what was held back runs from the message
  // loop, each once (and waits again if a new send has begun by then).
  void OnSendsDone();
  bool Holds(DeferredCommand command) const { return held_.count(command) != 0; }
  bool Empty() const { return held_.empty(); }

 private:
  fon::IEventLoop& loop_;
  std::function<bool()> sending_;
  std::map<DeferredCommand, std::function<void()>> held_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
