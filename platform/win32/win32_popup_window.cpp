#include "platform/win32/win32_popup_window.h"

#include "platform/win32/window_class.h"

#include <windowsx.h>

#include <cstring>
#include "platform/win32/temp_prof.h"

namespace fon::win32 {

namespace {

constexpr char kClassName[] = "CPopup";
constexpr std::size_t kMaxTitle = 29;
constexpr COLORREF kTitleColor = RGB(255, 255, 255);

// The title band of every skin: left 8, top 20, right edge 10 pixels in.
RECT TitleRect(int skinWidth) { return RECT{8, 20, skinWidth - 10, 40}; }

}  // namespace

Win32PopupWindow::Win32PopupWindow(HINSTANCE instance, IPopupEvents* events, HWND parent)
    : instance_(instance), events_(events) {
  prof::Scope ps(prof::kCreate);
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS | CS_SAVEBITS;
  wc.lpfnWndProc = &Win32PopupWindow::WindowProc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kClassName;
  if (!EnsureWindowClass(wc)) return;
  { prof::Scope ps2(prof::kCwin); window_.Reset(
      ::CreateWindowExA(WS_EX_TOPMOST, kClassName, "", WS_POPUP, 0, 0, 0, 0, parent, nullptr, instance, this)); }
  prof::Scope ps3(prof::kFont);
  UpdateFont();
}

Win32PopupWindow::~Win32PopupWindow() {
  prof::Scope ps(prof::kDestroy);
  events_ = nullptr;
  prof::Scope ps2(prof::kDwin);
  window_.Reset();
}

bool Win32PopupWindow::LoadSkin(int bitmap, int* width, int* height) {
  prof::Scope ps(prof::kSkin);
  UniqueBitmap loaded(::LoadBitmapA(instance_, MAKEINTRESOURCEA(bitmap)));
  if (!loaded) return false;
  BITMAP info{};
  if (::GetObjectA(loaded.Get(), sizeof(info), &info) == 0) return false;
  skin_ = std::move(loaded);
  skinWidth_ = info.bmWidth;
  skinHeight_ = info.bmHeight;
  if (width) *width = skinWidth_;
  if (height) *height = skinHeight_;
  return true;
}

void Win32PopupWindow::SetLook(const PopupLook& look) {
  prof::Scope ps(prof::kLook);
  look_ = look;
  UpdateFont();
}

void Win32PopupWindow::UpdateFont() {
  if (font_ && look_.fontFace == fontFace_ && look_.fontTenthsPt == fontTenthsPt_ && look_.fontStyle == fontStyle_)
    return;
  // A point font: the height follows the screen's vertical resolution.
  int pixelsPerInch = 96;
  {
    ScopedWindowDc screen(nullptr);
    if (screen.Dc()) pixelsPerInch = ::GetDeviceCaps(screen.Dc(), LOGPIXELSY);
  }
  LOGFONTA lf{};
  lf.lfHeight = -(pixelsPerInch * look_.fontTenthsPt / 720);
  lf.lfWeight = (look_.fontStyle & 1) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (look_.fontStyle & 2) ? TRUE : FALSE;
  lf.lfUnderline = FALSE;
  lf.lfCharSet = DEFAULT_CHARSET;
  std::strncpy(lf.lfFaceName, look_.fontFace.c_str(), LF_FACESIZE - 1);
  font_.Reset(::CreateFontIndirectA(&lf));
  fontFace_ = look_.fontFace;
  fontTenthsPt_ = look_.fontTenthsPt;
  fontStyle_ = look_.fontStyle;
}

void Win32PopupWindow::Place(int x, int y, int width, int height) {
  prof::Scope ps(prof::kPlace);
  if (window_) ::SetWindowPos(window_.Get(), HWND_TOPMOST, x, y, width, height, SWP_NOACTIVATE);
}

void Win32PopupWindow::ShowNoActivate() {
  prof::Scope ps(prof::kShowHide);
  if (window_) ::ShowWindow(window_.Get(), SW_SHOWNOACTIVATE);
}

void Win32PopupWindow::Hide() {
  prof::Scope ps(prof::kShowHide);
  if (window_) ::ShowWindow(window_.Get(), SW_HIDE);
}

void Win32PopupWindow::Redraw() {
  prof::Scope ps(prof::kRedraw);
  if (window_) ::RedrawWindow(window_.Get(), nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
}

void Win32PopupWindow::EraseBackground(HDC dc) {
  // The skin from its top-left corner, as much of it as is out of the
  // taskbar: the window grows over the skin while it appears.
  UniqueMemoryDc memory(::CreateCompatibleDC(dc));
  if (!memory) return;
  ScopedSelect select(memory.Get(), skin_.Get());
  ::BitBlt(dc, 0, 0, look_.visibleWidth, look_.visibleHeight, memory.Get(), 0, 0, SRCCOPY);
}

void Win32PopupWindow::Paint(HWND window) {
  prof::Scope ps(prof::kPaint);
  ScopedPaint paint(window);
  HDC dc = paint.Dc();
  if (!dc) return;
  HFONT font = font_ ? font_.Get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  ScopedSelect select(dc, font);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, look_.textColor);
  RECT textRect{look_.textRect.left, look_.textRect.top, look_.textRect.right, look_.textRect.bottom};
  ::DrawTextA(dc, look_.text.data(), static_cast<int>(look_.text.size()), &textRect, look_.textFormat);
  ::SetTextColor(dc, kTitleColor);
  RECT titleRect = TitleRect(skinWidth_);
  std::size_t titleLength = look_.title.size() < kMaxTitle ? look_.title.size() : kMaxTitle;
  ::DrawTextA(dc, look_.title.data(), static_cast<int>(titleLength), &titleRect, look_.titleFormat);
}

LRESULT CALLBACK Win32PopupWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32PopupWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    if (self) self->window_.Release();
    return ::DefWindowProcA(window, message, wParam, lParam);
  }
  if (!self) return ::DefWindowProcA(window, message, wParam, lParam);
  return self->OnMessage(window, message, wParam, lParam);
}

LRESULT Win32PopupWindow::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
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
    // The core may destroy this popup from the callbacks; return at once.
    case WM_LBUTTONDOWN:
      if (events_) events_->OnLButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_LBUTTONDBLCLK:
      if (events_) events_->OnLButtonDblClk(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    default:
      break;
  }
  return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace fon::win32
