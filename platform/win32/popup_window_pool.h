// Popup windows kept for reuse.
//
// The core makes a fresh popup for every call notification and destroys the
// one it replaces. Under Wine, creating a window and destroying one take
// milliseconds of the user-interface thread, in the path between the
// server's event and the popup on the screen, so the windows are kept: a
// popup that goes away hands its window back, and the next popup gets it in
// the state of a new window (hidden, at 0,0 with size 0, no skin, the
// default look).
//
// A window handed back disappears from the screen right after the message
// that released it has been handled, so that putting it away costs nothing
// in the path of the notification that replaced its popup. Until then it
// keeps its picture and takes no clicks.
#pragma once

#include <memory>
#include <vector>

#include "platform/win32/gdi_cache.h"
#include "platform/win32/popup_surface.h"

namespace fon::win32 {

class PopupWindowPool {
 public:
  PopupWindowPool(HINSTANCE instance, GdiCache& gdi);
  ~PopupWindowPool();
  PopupWindowPool(const PopupWindowPool&) = delete;
  PopupWindowPool& operator=(const PopupWindowPool&) = delete;

  // A window owned by `owner` for `events`: a spare one when there is one,
  // else a new one. When no window can be made the surface has none (every
  // call on it does nothing), as a window whose creation failed.
  std::unique_ptr<PopupSurface> Acquire(HWND owner, IPopupEvents* events);
  // Takes a window back. Its owner gets no more clicks from it.
  void Release(std::unique_ptr<PopupSurface> surface);
  // Makes spare windows for `owner` until `count` of them are ready (at most
  // kMaxSpare), so that the first popups do not wait for theirs.
  void Prewarm(HWND owner, std::size_t count);

  // Windows kept at most, ready or on their way to being ready: the core's
  // five popup slots and the one on its way back.
  static constexpr std::size_t kMaxSpare = 6;

  std::size_t ReadyCount() const { return ready_.size(); }
  std::size_t PendingCount() const { return pending_.size(); }

 private:
  void PutAway(PopupSurface* surface);
  // Forgets windows that are gone (their owner was destroyed).
  void DropDestroyed();

  HINSTANCE instance_;
  GdiCache& gdi_;
  std::vector<std::unique_ptr<PopupSurface>> ready_;    // hidden, reset
  std::vector<std::unique_ptr<PopupSurface>> pending_;  // released, not yet hidden
};

}  // namespace fon::win32
