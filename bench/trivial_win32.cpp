// The yardstick for the Wine figures: a window, a message loop and nothing
// else. It writes one timestamped line to the file named first on its
// command line once its loop runs; then it ends, or, given a number of
// seconds as a second argument, idles that long in its loop first.
#include <windows.h>

#include <cstdio>
#include <cstring>

static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR cmdLine, int) {
  char path[MAX_PATH] = {};
  unsigned stay = 0;
  std::sscanf(cmdLine, "%259s %u", path, &stay);
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
      if (FILE* f = std::fopen(path, "a")) {
        std::fprintf(f, "%04d-%02d-%02d %02d:%02d:%02d.%03d ready\n", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                     t.wSecond, t.wMilliseconds);
        std::fclose(f);
      }
      if (stay == 0)
        DestroyWindow(hwnd);
      else
        SetTimer(hwnd, 1, stay * 1000, nullptr);
      continue;
    }
    if (msg.message == WM_TIMER) {
      DestroyWindow(hwnd);
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
