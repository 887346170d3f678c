#include "platform/win32/win32_dialog_window.h"

#include "platform/win32/dialog_template.h"
#include "platform/win32/gdi_cache.h"
#include "platform/win32/label_format.h"
#include "platform/win32/monitor_dpi.h"
#include "platform/win32/win32_event_loop.h"

#include <commctrl.h>

#include <cstring>

namespace fon::win32 {

namespace {

constexpr UINT_PTR kLabelSubclassId = 1;
constexpr UINT_PTR kSkinSubclassId = 2;
constexpr COLORREF kWhite = RGB(255, 255, 255);
// WM_DPICHANGED (Windows 8.1 and later), and a message of our own that
// fits the skin once the dialog manager has laid the dialog out anew.
constexpr UINT kDpiChangedMessage = 0x02E0;
constexpr UINT kFitSkinMessage = WM_APP + 0x41;

std::string WindowText(HWND window) {
  int length = ::GetWindowTextLengthA(window);
  if (length <= 0) return std::string();
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  int copied = ::GetWindowTextA(window, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

bool IsStatic(HWND window) {
  char name[16] = {};
  return ::GetClassNameA(window, name, sizeof(name)) > 0 && ::lstrcmpiA(name, "Static") == 0;
}

}  // namespace

Win32DialogWindow::Win32DialogWindow(HINSTANCE instance, Win32EventLoop& loop, IDialogEvents* events,
                                     std::function<HWND()> defaultOwner)
    : instance_(instance), loop_(loop), events_(events), defaultOwner_(std::move(defaultOwner)) {}

Win32DialogWindow::~Win32DialogWindow() {
  *alive_ = false;
  events_ = nullptr;
  EnableOwner();
  window_.Reset();
}

bool Win32DialogWindow::Create(int templateId, HWND parent) {
  window_.Reset();
  ended_ = false;
  result_ = 0;
  skinBitmapId_ = TemplateBackgroundBitmap(instance_, templateId);
  skinWindow_ = nullptr;
  skinDpi_ = 0;  // not fitted yet
  // WM_INITDIALOG stores the handle before the core's OnInitDialog runs.
  HWND created = ::CreateDialogParamA(instance_, MAKEINTRESOURCEA(templateId), parent, &Win32DialogWindow::DialogProc,
                                      reinterpret_cast<LPARAM>(this));
  if (!created) return false;
  loop_.AddDialog(created);
  return true;
}

bool Win32DialogWindow::CreateModeless(int templateId, WindowHandle parent) {
  modal_ = false;
  return Create(templateId, ToHwnd(parent));
}

int Win32DialogWindow::DoModal(int templateId, WindowHandle parent) {
  HWND owner = parent ? ToHwnd(parent) : (defaultOwner_ ? defaultOwner_() : nullptr);
  modal_ = true;
  if (!Create(templateId, owner)) {
    modal_ = false;
    return -1;
  }
  // Like the system's modal loop: the owner takes no input meanwhile, but
  // its timers, sockets and posted messages go on.
  if (owner && ::IsWindowEnabled(owner)) {
    ::EnableWindow(owner, FALSE);
    disabledOwner_ = owner;
  }
  if (window_ && !ended_) ::ShowWindow(window_.Get(), SW_SHOW);

  std::shared_ptr<bool> alive = alive_;
  bool running = loop_.RunUntil([this, alive] { return !*alive || ended_ || !window_; });
  if (!*alive) return -1;  // deleted inside its own loop

  int code = (running && ended_) ? result_ : -1;
  // The owner first, so that activation returns to it and not to some
  // other program's window.
  EnableOwner();
  window_.Reset();
  modal_ = false;
  return code;
}

void Win32DialogWindow::EnableOwner() {
  if (disabledOwner_) {
    ::EnableWindow(disabledOwner_, TRUE);
    disabledOwner_ = nullptr;
  }
}

void Win32DialogWindow::EndDialog(int code) {
  result_ = code;
  ended_ = true;
  // The dialog disappears at once even when its modal loop can only return
  // later (a nested loop of another dialog is running above it).
  EnableOwner();
  if (window_) ::ShowWindow(window_.Get(), SW_HIDE);
}

void Win32DialogWindow::SetItemText(int id, const std::string& text) {
  if (window_) ::SetDlgItemTextA(window_.Get(), id, text.c_str());
}

std::string Win32DialogWindow::GetItemText(int id) {
  if (!window_) return std::string();
  HWND item = ::GetDlgItem(window_.Get(), id);
  return item ? WindowText(item) : std::string();
}

HWND Win32DialogWindow::Item(int id) const { return window_ ? ::GetDlgItem(window_.Get(), id) : nullptr; }

LRESULT Win32DialogWindow::SendItem(int id, UINT message, WPARAM wParam, LPARAM lParam) const {
  HWND item = Item(id);
  return item ? ::SendMessageA(item, message, wParam, lParam) : CB_ERR;
}

void Win32DialogWindow::EnableItem(int id, bool enabled) {
  if (HWND item = Item(id)) ::EnableWindow(item, enabled ? TRUE : FALSE);
}

bool Win32DialogWindow::IsItemEnabled(int id) {
  HWND item = Item(id);
  return item && ::IsWindowEnabled(item);
}

void Win32DialogWindow::ShowItem(int id, bool visible) {
  if (HWND item = Item(id)) ::ShowWindow(item, visible ? SW_SHOW : SW_HIDE);
}

bool Win32DialogWindow::IsItemVisible(int id) {
  HWND item = Item(id);
  return item && (::GetWindowLongA(item, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32DialogWindow::FocusItem(int id) {
  // WM_NEXTDLGCTL, not SetFocus: the dialog manager then also moves the
  // default button and selects an edit's text, as for a tab.
  if (HWND item = Item(id)) ::SendMessageA(window_.Get(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
  if (initialising_) focusSetInInit_ = true;
}

bool Win32DialogWindow::IsChecked(int id) {
  return window_ && ::IsDlgButtonChecked(window_.Get(), id) == BST_CHECKED;
}

void Win32DialogWindow::SetChecked(int id, bool checked) {
  if (window_) ::CheckDlgButton(window_.Get(), id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void Win32DialogWindow::ComboReset(int id) { SendItem(id, CB_RESETCONTENT, 0, 0); }

int Win32DialogWindow::ComboAdd(int id, const std::string& text) {
  auto index = static_cast<int>(SendItem(id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
  return index < 0 ? -1 : index;
}

int Win32DialogWindow::ComboCount(int id) {
  auto count = static_cast<int>(SendItem(id, CB_GETCOUNT, 0, 0));
  return count < 0 ? 0 : count;
}

std::string Win32DialogWindow::ComboText(int id, int index) {
  auto length = static_cast<int>(SendItem(id, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0));
  if (length <= 0) return std::string();
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  auto copied = static_cast<int>(SendItem(id, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                          reinterpret_cast<LPARAM>(text.data())));
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

int Win32DialogWindow::ComboFindExact(int id, const std::string& text) {
  // From the start (-1): the search wraps round, so every entry is seen.
  auto index = static_cast<int>(
      SendItem(id, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str())));
  return index < 0 ? -1 : index;
}

int Win32DialogWindow::ComboSelection(int id) {
  auto index = static_cast<int>(SendItem(id, CB_GETCURSEL, 0, 0));
  return index < 0 ? -1 : index;
}

void Win32DialogWindow::ComboSelect(int id, int index) {
  SendItem(id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void Win32DialogWindow::SetHotkey(int id, unsigned virtualKey, unsigned flags) {
  SendItem(id, HKM_SETHOTKEY, MAKEWORD(virtualKey & 0xFF, flags & 0xFF), 0);
}

void Win32DialogWindow::GetHotkey(int id, unsigned* virtualKey, unsigned* flags) {
  auto value = static_cast<unsigned>(SendItem(id, HKM_GETHOTKEY, 0, 0));
  if (Item(id) == nullptr) value = 0;
  if (virtualKey) *virtualKey = LOBYTE(LOWORD(value));
  if (flags) *flags = HIBYTE(LOWORD(value));
}

void Win32DialogWindow::RejectInput(int id, const std::string& message) {
  if (!window_) return;
  ::MessageBoxA(window_.Get(), message.c_str(), nullptr, MB_OK | MB_ICONEXCLAMATION);
  if (!window_) return;  // ended while the message box ran
  if (HWND item = Item(id)) {
    ::SetFocus(item);
    ::SendMessageA(item, EM_SETSEL, 0, -1);
  }
}

void Win32DialogWindow::SetTopmost(bool topmost) {
  if (window_) {
    ::SetWindowPos(window_.Get(), topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void Win32DialogWindow::SetLabelWhite(int id, bool white) {
  whiteLabels_[id] = white;
  if (!window_) return;
  if (HWND item = ::GetDlgItem(window_.Get(), id)) ::InvalidateRect(item, nullptr, FALSE);
}

void Win32DialogWindow::Center() {
  if (!window_) return;
  HWND dialog = window_.Get();
  RECT own{};
  ::GetWindowRect(dialog, &own);
  RECT work{};
  if (!::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) {
    work = RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  }
  // Over a visible owner, else (the hidden frame) in the middle of the screen.
  RECT area = work;
  HWND owner = ::GetWindow(dialog, GW_OWNER);
  if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) ::GetWindowRect(owner, &area);
  int width = own.right - own.left;
  int height = own.bottom - own.top;
  int x = area.left + ((area.right - area.left) - width) / 2;
  int y = area.top + ((area.bottom - area.top) - height) / 2;
  if (x + width > work.right) x = work.right - width;
  if (y + height > work.bottom) y = work.bottom - height;
  if (x < work.left) x = work.left;
  if (y < work.top) y = work.top;
  ::SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32DialogWindow::Show(bool visible) {
  if (window_) ::ShowWindow(window_.Get(), visible ? SW_SHOW : SW_HIDE);
}

void Win32DialogWindow::RedrawNow() {
  // Transparent labels never erase what is under them: the whole dialog
  // has to be drawn again, children included.
  if (window_) {
    ::RedrawWindow(window_.Get(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  }
}

void Win32DialogWindow::BringToFront() {
  if (!window_) return;
  ::BringWindowToTop(window_.Get());
  ::SetForegroundWindow(window_.Get());
}

void Win32DialogWindow::Destroy() { window_.Reset(); }

INT_PTR CALLBACK Win32DialogWindow::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) ::SetWindowLongPtrA(window, GWLP_USERDATA, lParam);
  auto* self = reinterpret_cast<Win32DialogWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self) return FALSE;
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    self->loop_.RemoveDialog(window);
    self->labels_.clear();
    if (self->window_.Get() == window) self->window_.Release();
    return FALSE;
  }
  return self->OnMessage(window, message, wParam, lParam);
}

INT_PTR Win32DialogWindow::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      window_.Reset(window);
      SubclassLabels(window);
      FitSkin(window);
      std::shared_ptr<bool> alive = alive_;
      initialising_ = true;
      focusSetInInit_ = false;
      if (events_) events_->OnInitDialog();  // may end or destroy the dialog
      if (!*alive) return FALSE;
      initialising_ = false;
      // TRUE lets the dialog manager put the focus on the first tab stop.
      return focusSetInInit_ ? FALSE : TRUE;
    }
    case WM_COMMAND: {
      // Clicks (and the dialog manager's IDOK/IDCANCEL for Enter and
      // Escape) and selection changes of combo boxes; edit notifications are
      // not commands. Without a control (lParam 0) the code says menu (0) or
      // accelerator (1), not a selection change.
      unsigned code = HIWORD(wParam);
      int id = LOWORD(wParam);
      if (lParam != 0 && code == CBN_SELCHANGE) {
        if (events_) events_->OnSelectionChange(id);
        return TRUE;
      }
      if (code != BN_CLICKED && lParam != 0) return FALSE;
      if (events_) events_->OnCommand(id);
      return TRUE;
    }
    case WM_NCHITTEST: {
      if (!dragByFace_) return FALSE;
      LRESULT hit = ::DefWindowProcA(window, message, wParam, lParam);
      if (hit == HTCLIENT || hit == HTBORDER) hit = HTCAPTION;
      ::SetWindowLongPtrA(window, DWLP_MSGRESULT, hit);
      return TRUE;
    }
    case kDpiChangedMessage:
      // The dialog manager lays the dialog out for the new scale (moving it
      // where the system suggests); the skin follows afterwards.
      ::PostMessageA(window, kFitSkinMessage, 0, 0);
      return FALSE;
    case kFitSkinMessage:
      FitSkin(window);
      return TRUE;
    case WM_CTLCOLORSTATIC: {
      HWND control = reinterpret_cast<HWND>(lParam);
      if (labels_.count(control) == 0) return FALSE;
      ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      return reinterpret_cast<INT_PTR>(::GetStockObject(NULL_BRUSH));
    }
    default:
      return FALSE;
  }
}

void Win32DialogWindow::SubclassLabels(HWND dialog) {
  for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (!IsStatic(child)) continue;
    auto style = static_cast<std::uint32_t>(::GetWindowLongA(child, GWL_STYLE));
    if ((style & SS_TYPEMASK) == SS_BITMAP) {
      if (!skinWindow_) skinWindow_ = child;
      // The skin covers the face: a text on the face is drawn after it.
      ::SetWindowSubclass(child, &Win32DialogWindow::SkinProc, kSkinSubclassId, reinterpret_cast<DWORD_PTR>(this));
      continue;
    }
    if (!IsTextLabelStyle(style)) continue;  // other pictures
    if (::SetWindowSubclass(child, &Win32DialogWindow::LabelProc, kLabelSubclassId,
                            reinterpret_cast<DWORD_PTR>(this))) {
      labels_.insert(child);
    }
  }
}

LRESULT CALLBACK Win32DialogWindow::LabelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR refData) {
  auto* self = reinterpret_cast<Win32DialogWindow*>(refData);
  switch (message) {
    case WM_PAINT:
      self->PaintLabel(label);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the skin underneath stays visible
    case WM_NCDESTROY:
      ::RemoveWindowSubclass(label, &Win32DialogWindow::LabelProc, kLabelSubclassId);
      ::RemovePropA(label, kTextFitProperty);
      self->labels_.erase(label);
      break;
    default:
      break;
  }
  return ::DefSubclassProc(label, message, wParam, lParam);
}

void Win32DialogWindow::SetFaceText(Rect rect, const std::string& text, std::uint32_t colour) {
  faceRect_ = rect;
  faceText_ = text;
  faceColour_ = static_cast<COLORREF>(colour);
  if (window_) ::InvalidateRect(window_.Get(), nullptr, TRUE);
}

LRESULT CALLBACK Win32DialogWindow::SkinProc(HWND skin, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                             DWORD_PTR refData) {
  auto* self = reinterpret_cast<Win32DialogWindow*>(refData);
  if (message == WM_NCDESTROY) {
    ::RemoveWindowSubclass(skin, &Win32DialogWindow::SkinProc, kSkinSubclassId);
  } else if (message == WM_PAINT) {
    LRESULT result = ::DefSubclassProc(skin, message, wParam, lParam);
    self->PaintFaceText(skin);
    return result;
  }
  return ::DefSubclassProc(skin, message, wParam, lParam);
}

void Win32DialogWindow::PaintFaceText(HWND skin) {
  if (faceText_.empty() || !window_) return;
  HDC dc = ::GetDC(skin);
  if (!dc) return;
  // Dialog client pixels at 100 %, at the skin's scale, into the skin's own.
  const int dpi = skinDpi_ > 0 ? skinDpi_ : kDefaultDpi;
  RECT rect{ScaleToDpi(faceRect_.left, dpi), ScaleToDpi(faceRect_.top, dpi), ScaleToDpi(faceRect_.right, dpi),
            ScaleToDpi(faceRect_.bottom, dpi)};
  ::MapWindowPoints(window_.Get(), skin, reinterpret_cast<POINT*>(&rect), 2);
  {
    auto font = reinterpret_cast<HFONT>(::SendMessageA(window_.Get(), WM_GETFONT, 0, 0));
    ScopedSelect select(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, faceColour_);
    ::DrawTextA(dc, faceText_.data(), static_cast<int>(faceText_.size()), &rect,
                DT_END_ELLIPSIS | DT_WORDBREAK | DT_VCENTER);
  }
  ::ReleaseDC(skin, dc);
}

void Win32DialogWindow::FitSkin(HWND dialog) {
  if (!skinWindow_ || skinBitmapId_ == 0) return;
  const int dpi = WindowDpi(dialog);
  if (dpi == skinDpi_) return;
  SkinBitmap scaled = LoadScaledBitmap(instance_, skinBitmapId_, dpi);
  if (!scaled.bitmap) return;
  auto previous = reinterpret_cast<HBITMAP>(::SendMessageA(skinWindow_, STM_SETIMAGE, IMAGE_BITMAP,
                                                           reinterpret_cast<LPARAM>(scaled.bitmap.Get())));
  // The template's own image was loaded by the static for itself; an image
  // handed to it is its sender's to delete.
  if (previous && previous != skinBitmap_.Get()) ::DeleteObject(previous);
  skinBitmap_ = std::move(scaled.bitmap);
  skinDpi_ = dpi;
  ::SetWindowPos(skinWindow_, nullptr, 0, 0, scaled.width, scaled.height, SWP_NOZORDER | SWP_NOACTIVATE);
  // The face is the skin: the client area takes the skin's size, which the
  // dialog units of the template only come near.
  RECT outer{};
  RECT client{};
  ::GetWindowRect(dialog, &outer);
  ::GetClientRect(dialog, &client);
  const int frameWidth = (outer.right - outer.left) - client.right;
  const int frameHeight = (outer.bottom - outer.top) - client.bottom;
  ::SetWindowPos(dialog, nullptr, 0, 0, scaled.width + frameWidth, scaled.height + frameHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::InvalidateRect(dialog, nullptr, TRUE);
}

void Win32DialogWindow::PaintLabel(HWND label) {
  ScopedPaint paint(label);
  HDC dc = paint.Dc();
  if (!dc) return;
  RECT client{};
  ::GetClientRect(label, &client);
  std::string text = WindowText(label);
  auto font = reinterpret_cast<HFONT>(::SendMessageA(label, WM_GETFONT, 0, 0));
  ScopedSelect select(dc, font);
  auto style = static_cast<std::uint32_t>(::GetWindowLongA(label, GWL_STYLE));
  ::SetBkMode(dc, TRANSPARENT);
  auto white = whiteLabels_.find(::GetDlgCtrlID(label));
  if (white != whiteLabels_.end() && white->second) ::SetTextColor(dc, kWhite);
  DrawTextNotingFit(label, dc, text, client, LabelDrawFormat(style));
}

}  // namespace fon::win32
