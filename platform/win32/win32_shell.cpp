#include "platform/win32/win32_shell.h"

#include "platform/win32/browser_command.h"
#include "platform/win32/win32_frame_window.h"

#include <shellapi.h>
#include <shlwapi.h>

namespace fon::win32 {

namespace {

constexpr UINT kTrayIconId = 1;
constexpr char kFallbackBrowser[] = "iexplore.exe";

}  // namespace

bool Win32Shell::NotifyIcon(int message, int iconResource, const std::string& tip) {
  if (!frame_) return false;
  // The old fixed-size record: every shell version accepts it, and the tip
  // is limited to 63 characters and the terminator.
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = frame_;
  data.uID = kTrayIconId;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kTrayCallbackMessage;
  // Icons loaded from resources by LoadIcon are shared and never destroyed.
  data.hIcon = ::LoadIconA(instance_, MAKEINTRESOURCEA(iconResource));
  ::lstrcpynA(data.szTip, tip.c_str(), 64);
  return ::Shell_NotifyIconA(static_cast<DWORD>(message), &data) != FALSE;
}

bool Win32Shell::RegisterHotKey(int id, unsigned modifiers, unsigned virtualKey) {
  return frame_ && ::RegisterHotKey(frame_, id, modifiers, virtualKey) != FALSE;
}

void Win32Shell::UnregisterHotKey(int id) {
  if (frame_) ::UnregisterHotKey(frame_, id);
}

int Win32Shell::TrackTrayMenu(int menuResource, Point at) {
  UniqueMenu menu(::LoadMenuA(instance_, MAKEINTRESOURCEA(menuResource)));
  if (!menu) return 0;
  HMENU popup = ::GetSubMenu(menu.Get(), 0);
  if (!popup) return 0;
  // A tray menu closes on a click elsewhere only when its owner is the
  // foreground window, and only after the owner saw one more message.
  ::SetForegroundWindow(frame_);
  int command = static_cast<int>(::TrackPopupMenu(popup, TPM_BOTTOMALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x,
                                                  at.y, 0, frame_, nullptr));
  ::PostMessageA(frame_, WM_NULL, 0, 0);
  return command;
}

WindowHandle Win32Shell::GetForegroundWindow() { return FromHwnd(::GetForegroundWindow()); }

bool Win32Shell::SetForegroundWindow(WindowHandle window) { return ::SetForegroundWindow(ToHwnd(window)) != FALSE; }

Point Win32Shell::GetCursorPos() {
  POINT pt{};
  ::GetCursorPos(&pt);
  return Point{pt.x, pt.y};
}

unsigned Win32Shell::GetDoubleClickTime() { return ::GetDoubleClickTime(); }

bool Win32Shell::IsKeyDown(int virtualKey) {
  // Activity is a key that went down since the last query and is up again
  // (GetAsyncKeyState gives exactly 1); a key held down the whole time is
  // not activity.
  return ::GetAsyncKeyState(virtualKey) == 1;
}

void Win32Shell::SendCopyKeys() {
  ::keybd_event(VK_CONTROL, 0, 0, 0);
  ::keybd_event('C', 0, 0, 0);
  ::keybd_event('C', 0, KEYEVENTF_KEYUP, 0);
  ::keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
}

std::string Win32Shell::DefaultBrowser() {
  char path[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  HRESULT hr = ::AssocQueryStringA(ASSOCF_NONE, ASSOCSTR_EXECUTABLE, "http", "open", path, &size);
  if (FAILED(hr) || path[0] == '\0') return kFallbackBrowser;
  return path;
}

void Win32Shell::OpenInBrowser(const std::string& address) {
  // The address is never the "file" of ShellExecute: the shell would run a
  // program or document named by it. It goes to the browser as one argument.
  std::string browser = locateBrowser_ ? locateBrowser_() : DefaultBrowser();
  std::string parameters = BrowserParameters(browser, address);
  ::ShellExecuteA(nullptr, "open", browser.c_str(), parameters.c_str(), "", SW_SHOW);
}

bool Win32Shell::GetTaskbarRect(Rect* rect) {
  HWND taskbar = ::FindWindowA("Shell_TrayWnd", nullptr);
  if (!taskbar) return false;
  RECT r{};
  if (!::GetWindowRect(taskbar, &r)) return false;
  Rect result{r.left, r.top, r.right, r.bottom};
  if (result.IsEmpty()) return false;
  if (rect) *rect = result;
  return true;
}

int Win32Shell::ScreenWidth() { return ::GetSystemMetrics(SM_CXSCREEN); }

Rect Win32Shell::WorkArea() {
  RECT r{};
  if (!::SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0)) {
    r = RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  }
  return Rect{r.left, r.top, r.right, r.bottom};
}

bool Win32Shell::CreateInstanceMutex(const std::string& name) {
  UniqueKernelHandle mutex(::CreateMutexA(nullptr, TRUE, name.c_str()));
  bool existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
  if (mutex) mutexes_.push_back(std::move(mutex));
  return existed;
}

void Win32Shell::MessageBox(const std::string& text, const std::string& caption) {
  ::MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK);
}

std::string Win32Shell::LoadString(int id) {
  char buffer[1024] = {};
  int n = ::LoadStringA(instance_, static_cast<UINT>(id), buffer, sizeof(buffer));
  return std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

std::string Win32Shell::UserName() {
  char buffer[20] = {};
  DWORD size = sizeof(buffer);
  if (!::GetUserNameA(buffer, &size)) return std::string();
  return std::string(buffer);
}

std::string Win32Shell::ModulePath() {
  // At most 255 characters: the autostart value has always been written
  // from a buffer of that size.
  char buffer[256] = {};
  if (::GetModuleFileNameA(nullptr, buffer, sizeof(buffer)) == 0) return std::string();
  buffer[255] = '\0';
  return std::string(buffer);
}

}  // namespace fon::win32
