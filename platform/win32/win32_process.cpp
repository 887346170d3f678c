#include "platform/win32/win32_process.h"

namespace fon::win32 {

namespace {

constexpr char kFrameClass[] = "FonarisFrame";
constexpr UINT kHandOverTimeoutMs = 5000;

// The frame of the client of another process (this process has a frame of
// its own by now).
HWND RunningClientFrame() {
  struct Search {
    DWORD self;
    HWND found;
  } search{::GetCurrentProcessId(), nullptr};
  ::EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        char name[32] = {};
        ::GetClassNameA(window, name, sizeof(name));
        DWORD process = 0;
        ::GetWindowThreadProcessId(window, &process);
        if (process == s->self || ::lstrcmpA(name, kFrameClass) != 0) return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

bool Win32Process::CreateInstanceMutex(const std::string& name) {
  UniqueKernelHandle mutex(::CreateMutexA(nullptr, TRUE, name.c_str()));
  bool existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
  if (mutex) mutexes_.push_back(std::move(mutex));
  return existed;
}

bool Win32Process::HandLinkToRunningClient(const std::string& link) {
  if (link.empty() || link.size() > kPhoneLinkMaxBytes) return false;
  HWND frame = RunningClientFrame();
  if (!frame) return false;
  // The running client may open its dialog only when it may take the
  // foreground: this process has the right now, as the one the user started.
  DWORD process = 0;
  ::GetWindowThreadProcessId(frame, &process);
  ::AllowSetForegroundWindow(process);
  COPYDATASTRUCT data{};
  data.dwData = kPhoneLinkCopyData;
  data.cbData = static_cast<DWORD>(link.size());
  data.lpData = const_cast<char*>(link.data());
  DWORD_PTR result = 0;
  return ::SendMessageTimeoutA(frame, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                               kHandOverTimeoutMs, &result) != 0 &&
         result == 1;
}

std::string Win32Process::ExecutablePath() {
  char path[MAX_PATH + 1] = {};
  DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::string();
  return std::string(path, length);
}

}  // namespace fon::win32
