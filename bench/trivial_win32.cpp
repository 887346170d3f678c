// The yardstick for start-up figures: a window, a message loop and nothing
// else. It writes one timestamped line to the file named on its command line
// once its loop runs, and ends.
#include <windows.h>

#include <cstdio>

static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR cmdLine, int) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.lpszClassName = "TrivialWin32";
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowA("TrivialWin32", "trivial", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                            instance, nullptr);
  PostMessageA(hwnd, WM_USER, 0, 0);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_USER) {
      SYSTEMTIME t;
      GetLocalTime(&t);
      if (FILE* f = std::fopen(cmdLine, "a")) {
        std::fprintf(f, "%04d-%02d-%02d %02d:%02d:%02d.%03d ready\n", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                     t.wSecond, t.wMilliseconds);
        std::fclose(f);
      }
      DestroyWindow(hwnd);
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
