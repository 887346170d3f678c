#include "platform/win32/win32_popup_window.h"

namespace fon::win32 {

Win32PopupWindow::Win32PopupWindow(PopupWindowPool& pool, IPopupEvents* events, HWND parent)
    : pool_(pool), surface_(pool.Acquire(parent, events)) {}

Win32PopupWindow::~Win32PopupWindow() { pool_.Release(std::move(surface_)); }

}  // namespace fon::win32
