#include "platform/win32/popup_surface.h"

#include <windowsx.h>

#include <algorithm>

#include "platform/win32/label_format.h"
#include "platform/win32/window_class.h"

namespace fon::win32 {

namespace {

constexpr char kClassName[] = "CPopup";
constexpr std::size_t kMaxTitle = 29;
constexpr COLORREF kTitleColor = RGB(255, 255, 255);
// Posted to the window itself for Defer.
constexpr UINT kDeferredTaskMessage = WM_APP + 0x40;

// The title band of every skin: left 8, top 20, right edge 10 pixels in,
// at 100 %; as much larger as the skin at other scales.
RECT TitleRect(int skinWidth, int dpi) {
  return RECT{ScaleToDpi(8, dpi), ScaleToDpi(20, dpi), skinWidth - ScaleToDpi(10, dpi), ScaleToDpi(40, dpi)};
}
// WM_DPICHANGED (winuser.h of Windows 8.1 and later).
constexpr UINT kDpiChangedMessage = 0x02E0;

bool SameRect(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool SameLook(const PopupLook& a, const PopupLook& b) {
  return a.skin == b.skin && a.text == b.text && a.title == b.title && a.fontFace == b.fontFace &&
         a.fontTenthsPt == b.fontTenthsPt && a.fontStyle == b.fontStyle && a.textColor == b.textColor &&
         SameRect(a.textRect, b.textRect) && a.textFormat == b.textFormat && a.titleFormat == b.titleFormat &&
         a.visibleWidth == b.visibleWidth && a.visibleHeight == b.visibleHeight && a.dpi == b.dpi;
}

}  // namespace

PopupSurface::PopupSurface(HINSTANCE instance, GdiCache& gdi, HWND owner) : gdi_(gdi), owner_(owner) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS | CS_SAVEBITS;
  wc.lpfnWndProc = &PopupSurface::WindowProc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kClassName;
  if (!EnsureWindowClass(wc)) return;
  window_.Reset(
      ::CreateWindowExA(WS_EX_TOPMOST, kClassName, "", WS_POPUP, 0, 0, 0, 0, owner, nullptr, instance, this));
  UpdateFont();
}

PopupSurface::~PopupSurface() {
  events_ = nullptr;
  deferred_ = nullptr;
  window_.Reset();
  DropAccessible();
}

void PopupSurface::DropAccessible() {
  if (!accessible_) return;
  accessible_->Disconnect();
  accessible_->Release();
  accessible_ = nullptr;
}

void PopupSurface::SetAccessibility(const PopupAccessibility& accessibility) {
  accessibility_ = accessibility;
  if (accessible_) accessible_->SetContent(accessibility_);
}

void PopupSurface::AnnounceAlert() {
  if (window_) ::NotifyWinEvent(EVENT_SYSTEM_ALERT, window_.Get(), OBJID_CLIENT, CHILDID_SELF);
}

int PopupSurface::TrackContextMenu(Point at, const std::vector<MenuItem>& items) {
  if (!window_ || items.empty()) return 0;
  UniqueMenu menu(::CreatePopupMenu());
  if (!menu) return 0;
  for (const MenuItem& item : items)
    ::AppendMenuA(menu.Get(), MF_STRING, static_cast<UINT_PTR>(item.command), item.text.c_str());
  // The popup is never made the foreground window: the program the user
  // works in keeps the focus while the menu is open.
  return static_cast<int>(::TrackPopupMenu(menu.Get(), TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y,
                                           0, window_.Get(), nullptr));
}

LRESULT PopupSurface::AccessibleObject(WPARAM wParam) {
  if (!accessible_) {
    HWND window = window_.Get();
    accessible_ = new PopupAccessible(window, [window](int x, int y) {
      // Pressed by assistive technology: the same message a click sends.
      ::SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    });
    accessible_->SetContent(accessibility_);
  }
  return ::LresultFromObject(kIidAccessible, wParam, accessible_);
}

void PopupSurface::Reset() {
  events_ = nullptr;
  deferred_ = nullptr;
  if (window_) {
    ::SetWindowPos(window_.Get(), nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOOWNERZORDER);
    ::ValidateRect(window_.Get(), nullptr);
    DropQueuedClicks();
  }
  look_ = PopupLook{};
  SetAccessibility(PopupAccessibility{});
  skin_.reset();
  UpdateFont();
  ++lookSerial_;
}

void PopupSurface::DropQueuedClicks() {
  // A click meant for the popup that had this window before must not reach
  // the next one. Only this window's mouse messages are taken, and sent
  // messages are left alone.
  MSG msg{};
  while (::PeekMessageA(&msg, window_.Get(), WM_MOUSEFIRST, WM_MOUSELAST,
                        PM_REMOVE | PM_NOYIELD | PM_QS_INPUT | PM_QS_POSTMESSAGE)) {
  }
}

bool PopupSurface::Defer(std::function<void()> task) {
  if (!window_ || !task) return false;
  deferred_ = std::move(task);
  if (::PostMessageA(window_.Get(), kDeferredTaskMessage, 0, 0)) return true;
  deferred_ = nullptr;
  return false;
}

bool PopupSurface::LoadSkin(int bitmap, int dpi, int* width, int* height) {
  SharedSkin skin = gdi_.Skin(bitmap, dpi);
  if (!skin) return false;
  skin_ = std::move(skin);
  ++lookSerial_;
  if (width) *width = skin_->width;
  if (height) *height = skin_->height;
  return true;
}

void PopupSurface::SetLook(const PopupLook& look) {
  const bool sameVisible =
      look.visibleWidth == look_.visibleWidth && look.visibleHeight == look_.visibleHeight;
  PopupLook sized = look_;
  sized.visibleWidth = look.visibleWidth;
  sized.visibleHeight = look.visibleHeight;
  const bool sameRest = SameLook(sized, look);
  look_ = look;
  UpdateFont();
  if (!sameRest) ++lookSerial_;
  if (!sameVisible) visibleKept_ = false;
  coveredKept_ = coveredKept_ && Covered();
}

bool PopupSurface::Covered() const {
  RECT client{};
  if (!window_ || !skin_ || !::GetClientRect(window_.Get(), &client)) return false;
  return client.right <= std::min(look_.visibleWidth, skin_->width) &&
         client.bottom <= std::min(look_.visibleHeight, skin_->height);
}

void PopupSurface::UpdateFont() {
  if (font_ && look_.fontFace == fontFace_ && look_.fontTenthsPt == fontTenthsPt_ &&
      look_.fontStyle == fontStyle_ && look_.dpi == fontDpi_)
    return;
  font_ = gdi_.Font(look_.fontFace, look_.fontTenthsPt, look_.fontStyle, look_.dpi);
  fontFace_ = look_.fontFace;
  fontTenthsPt_ = look_.fontTenthsPt;
  fontStyle_ = look_.fontStyle;
  fontDpi_ = look_.dpi;
}

void PopupSurface::Place(int x, int y, int width, int height) {
  if (!window_) return;
  ::SetWindowPos(window_.Get(), HWND_TOPMOST, x, y, width, height, SWP_NOACTIVATE);
  coveredKept_ = coveredKept_ && Covered();
}

void PopupSurface::ShowNoActivate() {
  if (window_) ::ShowWindow(window_.Get(), SW_SHOWNOACTIVATE);
}

void PopupSurface::Hide() {
  if (window_) ::ShowWindow(window_.Get(), SW_HIDE);
}

void PopupSurface::Redraw() {
  if (!window_) return;
  HWND window = window_.Get();
  if (paintedLook_ != lookSerial_ || !(visibleKept_ || coveredKept_)) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
    paintedLook_ = lookSerial_;
    visibleKept_ = true;
    coveredKept_ = Covered();
    ++fullRedraws_;
    return;
  }
  // The animation redraws at every step, mostly while only the position or
  // the grown part changes; repainting the whole skin each time would cost
  // every step a full paint. What the system invalidated meanwhile is
  // painted now, erased first (see Paint), exactly as the full repaint would
  // paint it.
  ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW);
}

void PopupSurface::EraseBackground(HDC dc) {
  // The skin from its top-left corner, as much of it as is out of the
  // taskbar: the window grows over the skin while it appears.
  erased_ = true;
  UniqueMemoryDc memory(::CreateCompatibleDC(dc));
  if (!memory) return;
  ScopedSelect select(memory.Get(), skin_->bitmap.Get());
  ::BitBlt(dc, 0, 0, look_.visibleWidth, look_.visibleHeight, memory.Get(), 0, 0, SRCCOPY);
}

void PopupSurface::Paint(HWND window) {
  erased_ = false;
  ScopedPaint paint(window);
  HDC dc = paint.Dc();
  if (!dc) return;
  // Text is drawn transparently: drawn again over the old picture it would
  // thicken. Whatever part is painted gets its background first, also when
  // the system invalidated it without asking for that.
  if (!erased_) {
    if (skin_) {
      EraseBackground(dc);
    } else {
      RECT client{};
      ::GetClientRect(window, &client);
      ::FillRect(dc, &client, reinterpret_cast<HBRUSH>(::GetClassLongPtrA(window, GCLP_HBRBACKGROUND)));
    }
  }
  HFONT font = font_ ? font_->Get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  ScopedSelect select(dc, font);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, look_.textColor);
  RECT textRect{look_.textRect.left, look_.textRect.top, look_.textRect.right, look_.textRect.bottom};
  DrawTextNotingFit(window, dc, look_.text, textRect, look_.textFormat);
  ::SetTextColor(dc, kTitleColor);
  RECT titleRect = TitleRect(skin_ ? skin_->width : 0, look_.dpi);
  std::size_t titleLength = look_.title.size() < kMaxTitle ? look_.title.size() : kMaxTitle;
  ::DrawTextA(dc, look_.title.data(), static_cast<int>(titleLength), &titleRect, look_.titleFormat);
}

LRESULT CALLBACK PopupSurface::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<PopupSurface*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    ::RemovePropA(window, kTextFitProperty);
    if (self) {
      self->window_.Release();
      self->deferred_ = nullptr;
      self->DropAccessible();
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
  }
  if (!self) return ::DefWindowProcA(window, message, wParam, lParam);
  return self->OnMessage(window, message, wParam, lParam);
}

LRESULT PopupSurface::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kDeferredTaskMessage: {
      // The task may hand this surface on; nothing of it is used after.
      std::function<void()> task = std::move(deferred_);
      deferred_ = nullptr;
      if (task) task();
      return 0;
    }
    case kDpiChangedMessage:
      // The popup decides its own size and place from the new scale; the
      // rectangle the system suggests is not taken.
      if (events_) events_->OnDpiChanged(HIWORD(wParam));
      return 0;
    case WM_MOUSEACTIVATE:
      // A click must not take the focus from the program the user works in.
      return MA_NOACTIVATE;
    case WM_ERASEBKGND:
      if (!skin_) break;
      EraseBackground(reinterpret_cast<HDC>(wParam));
      return 1;
    case WM_PAINT:
      Paint(window);
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT) {
        ::SetCursor(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));  // IDC_HAND
        return TRUE;
      }
      break;
    // The core may destroy its popup from the callbacks; return at once.
    case WM_LBUTTONDOWN:
      if (events_) events_->OnLButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_LBUTTONDBLCLK:
      if (events_) events_->OnLButtonDblClk(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_RBUTTONDOWN:
      return 0;
    case WM_RBUTTONUP:
      if (events_) events_->OnRButtonUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_GETOBJECT:
      if (static_cast<LONG>(lParam) == static_cast<LONG>(OBJID_CLIENT)) return AccessibleObject(wParam);
      break;
    default:
      break;
  }
  return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace fon::win32
