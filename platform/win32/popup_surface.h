// One call notification window: a borderless topmost window painted with a
// skin bitmap, with text and title drawn over it. It never takes the focus.
//
// The window outlives the popup that shows it: the pool (popup_window_pool.h)
// hands it to one popup after another. While no popup holds it, clicks on it
// go nowhere, and it keeps its last picture until it is hidden.
#pragma once

#include <functional>

#include "platform/platform.h"
#include "platform/win32/gdi_cache.h"
#include "platform/win32/popup_accessible.h"
#include "platform/win32/win32_handles.h"

namespace fon::win32 {

class PopupSurface {
 public:
  // Makes the window: hidden, at 0,0 with size 0, owned by `owner`.
  PopupSurface(HINSTANCE instance, GdiCache& gdi, HWND owner);
  ~PopupSurface();
  PopupSurface(const PopupSurface&) = delete;
  PopupSurface& operator=(const PopupSurface&) = delete;

  HWND Window() const { return window_.Get(); }
  HWND Owner() const { return owner_; }

  // The popup that gets the clicks from now on; null for none.
  void SetEvents(IPopupEvents* events) { events_ = events; }
  IPopupEvents* Events() const { return events_; }

  // Puts the window back into the state of a new one: hidden, at 0,0 with
  // size 0, no skin, the default look, no clicks left in the queue for it.
  void Reset();

  // Runs `task` from the message loop once the current message has been
  // handled (it is posted to the window itself), unless the window goes
  // first. One at a time: a later call replaces a task that has not run.
  // False when it cannot be posted.
  bool Defer(std::function<void()> task);

  bool LoadSkin(int bitmap, int dpi, int* width, int* height);
  void SetLook(const PopupLook& look);
  void Place(int x, int y, int width, int height);
  void ShowNoActivate();
  void Hide();
  void Redraw();
  void SetAccessibility(const PopupAccessibility& accessibility);
  void AnnounceAlert();
  int TrackContextMenu(Point at, const std::vector<MenuItem>& items);

  // Full repaints forced by Redraw so far (the rest only painted what the
  // system had invalidated).
  unsigned FullRedraws() const { return fullRedraws_; }
  const PopupLook& Look() const { return look_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void EraseBackground(HDC dc);
  void Paint(HWND window);
  void UpdateFont();
  void DropQueuedClicks();
  // The window lies within the visible part of the skin: every pixel of it
  // is skin, text or title, whatever the visible size.
  bool Covered() const;
  // Answers WM_GETOBJECT for the client area with the popup's alert.
  LRESULT AccessibleObject(WPARAM wParam);
  void DropAccessible();

  GdiCache& gdi_;
  HWND owner_;
  IPopupEvents* events_ = nullptr;
  PopupLook look_;
  SharedSkin skin_;
  SharedFont font_;
  std::string fontFace_;
  int fontTenthsPt_ = -1;
  int fontStyle_ = -1;
  int fontDpi_ = -1;
  // What the screen shows was last painted in full for look number
  // `paintedLook_`; every change of the look other than its visible size
  // gets a new number. Since that repaint the visible size has stayed as it
  // was (`visibleKept_`), or the window has never been larger than the
  // visible part of the skin (`coveredKept_`): while either holds, a pixel's
  // colour is still what the full repaint made of it, and a redraw only has
  // to paint what the system invalidated (a part uncovered or grown).
  unsigned lookSerial_ = 1;
  unsigned paintedLook_ = 0;
  bool visibleKept_ = false;
  bool coveredKept_ = false;
  unsigned fullRedraws_ = 0;
  // The background of the paint in progress has been drawn.
  bool erased_ = false;
  std::function<void()> deferred_;
  PopupAccessibility accessibility_;
  // Made when a client first asks; shared with it by reference counting.
  PopupAccessible* accessible_ = nullptr;
  UniqueWindow window_;
};

}  // namespace fon::win32
