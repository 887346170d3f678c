#include "platform/win32/popup_window_pool.h"

#include <algorithm>

namespace fon::win32 {

PopupWindowPool::PopupWindowPool(HINSTANCE instance, GdiCache& gdi) : instance_(instance), gdi_(gdi) {}

PopupWindowPool::~PopupWindowPool() {
  pending_.clear();
  ready_.clear();
}

void PopupWindowPool::DropDestroyed() {
  auto gone = [](const std::unique_ptr<PopupSurface>& s) { return !s->Window(); };
  ready_.erase(std::remove_if(ready_.begin(), ready_.end(), gone), ready_.end());
  pending_.erase(std::remove_if(pending_.begin(), pending_.end(), gone), pending_.end());
}

std::unique_ptr<PopupSurface> PopupWindowPool::Acquire(HWND owner, IPopupEvents* events) {
  DropDestroyed();
  std::unique_ptr<PopupSurface> surface;
  auto it = std::find_if(ready_.begin(), ready_.end(),
                         [owner](const std::unique_ptr<PopupSurface>& s) { return s->Owner() == owner; });
  if (it != ready_.end()) {
    surface = std::move(*it);
    ready_.erase(it);
  } else {
    surface = std::make_unique<PopupSurface>(instance_, gdi_, owner);
  }
  surface->SetEvents(events);
  return surface;
}

void PopupWindowPool::Prewarm(HWND owner, std::size_t count) {
  DropDestroyed();
  if (!owner || !::IsWindow(owner)) return;
  count = std::min(count, kMaxSpare);
  auto ready = static_cast<std::size_t>(
      std::count_if(ready_.begin(), ready_.end(),
                    [owner](const std::unique_ptr<PopupSurface>& s) { return s->Owner() == owner; }));
  for (; ready < count && ready_.size() + pending_.size() < kMaxSpare; ++ready) {
    auto surface = std::make_unique<PopupSurface>(instance_, gdi_, owner);
    if (!surface->Window()) return;
    ready_.push_back(std::move(surface));
  }
}

void PopupWindowPool::Release(std::unique_ptr<PopupSurface> surface) {
  if (!surface) return;
  surface->SetEvents(nullptr);
  DropDestroyed();
  // Enough spares already: this one goes now, as it would without a pool.
  if (!surface->Window() || ready_.size() + pending_.size() >= kMaxSpare) return;
  PopupSurface* raw = surface.get();
  if (!raw->Defer([this, raw] { PutAway(raw); })) {
    raw->Reset();
    ready_.push_back(std::move(surface));
    return;
  }
  pending_.push_back(std::move(surface));
}

void PopupWindowPool::PutAway(PopupSurface* surface) {
  auto it = std::find_if(pending_.begin(), pending_.end(),
                         [surface](const std::unique_ptr<PopupSurface>& s) { return s.get() == surface; });
  if (it == pending_.end()) return;
  std::unique_ptr<PopupSurface> owned = std::move(*it);
  pending_.erase(it);
  owned->Reset();
  // Kept even if its window went meanwhile: this runs inside that window's
  // own message, and DropDestroyed deletes it later.
  ready_.push_back(std::move(owned));
}

}  // namespace fon::win32
