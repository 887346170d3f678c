#include "app/deferred_commands.h"

#include <utility>

bool CDeferredCommands::Defer(DeferredCommand command, std::function<void()> action) {
  if (!sending_()) return false;
  held_[command] = std::move(action);
  return true;
}

void CDeferredCommands::OnSendsDone() {
  std::map<DeferredCommand, std::function<void()>> due;
  due.swap(held_);
  for (auto& entry : due) {
    std::shared_ptr<bool> alive = alive_;
    loop_.Post([alive, action = std::move(entry.second)] {
      if (*alive) action();
    });
  }
}
