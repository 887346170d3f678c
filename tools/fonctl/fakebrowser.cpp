// Stands in for the web browser in end-to-end tests: records how it was
// started, one line per start, and does nothing else.
#include <windows.h>

#include <cstring>

int main() {
  char path[MAX_PATH] = {};
  DWORD n = ::GetEnvironmentVariableA("FONARIS_BROWSER_LOG", path, sizeof(path));
  if (n == 0 || n >= sizeof(path)) ::lstrcpynA(path, "C:\\fakebrowser.log", sizeof(path));

  HANDLE log = ::CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  if (log == INVALID_HANDLE_VALUE) return 1;
  const char* line = ::GetCommandLineA();
  DWORD written = 0;
  BOOL ok = ::WriteFile(log, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr) &&
            ::WriteFile(log, "\n", 1, &written, nullptr);
  ::CloseHandle(log);
  return ok ? 0 : 1;
}
