// Objects that finish inside their own notification (a socket whose close or
// answer is being handled, a dialog ending itself) cannot be destroyed there:
// the notification still runs on them. They are kept here and destroyed from
// the message loop right after the current event has returned.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "platform/event_loop.h"

namespace fon {

template <class T>
class DeferredRelease {
 public:
  explicit DeferredRelease(IEventLoop& loop) : loop_(loop) {}
  ~DeferredRelease() { *alive_ = false; }
  DeferredRelease(const DeferredRelease&) = delete;
  DeferredRelease& operator=(const DeferredRelease&) = delete;

  void Release(std::unique_ptr<T> object) {
    if (!object) return;
    retired_.push_back(std::move(object));
    if (posted_) return;
    posted_ = true;
    loop_.Post([this, alive = alive_]() {
      if (!*alive) return;
      posted_ = false;
      // Destroying one may retire another: that one waits for the next turn.
      std::vector<std::unique_ptr<T>> batch = std::move(retired_);
      retired_.clear();
    });
  }

 private:
  IEventLoop& loop_;
  std::vector<std::unique_ptr<T>> retired_;
  bool posted_ = false;
  // The posted task may outlive its owner.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace fon
