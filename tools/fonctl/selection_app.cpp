// Stands in for the application in front when the dial-out hotkey is
// pressed: a window whose edit field holds a selected text, focused, so
// that Ctrl+C copies it the way a real program does (its own
// OpenClipboard, EmptyClipboard, SetClipboardData).
//
//   selectionapp TEXT [LIFETIME-MS]     (default 120000 ms)
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

constexpr char kClass[] = "FonarisSelectionApp";
constexpr UINT_PTR kEndTimer = 1;
HWND g_edit = nullptr;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETFOCUS:
      if (g_edit) ::SetFocus(g_edit);
      return 0;
    case WM_TIMER:
      if (wParam == kEndTimer) ::DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string text = argv[1];
  const UINT lifetime = argc > 2 ? static_cast<UINT>(std::strtoul(argv[2], nullptr, 10)) : 120000;
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = kClass;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  if (!::RegisterClassA(&wc)) return 1;
  HWND window = ::CreateWindowExA(0, kClass, "Selection", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 420, 160,
                                  nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  g_edit = ::CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL,
                             10, 10, 380, 90, window, nullptr, instance, nullptr);
  if (!g_edit) return 1;
  ::SendMessageA(g_edit, EM_SETLIMITTEXT, 0, 0);
  ::SetWindowTextA(g_edit, text.c_str());
  ::SendMessageA(g_edit, EM_SETSEL, 0, -1);
  ::SetForegroundWindow(window);
  ::SetFocus(g_edit);
  ::SetTimer(window, kEndTimer, lifetime, nullptr);
  MSG msg;
  while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return 0;
}
