// Stands in for the web browser in end-to-end tests: records how it was
// started, one line per start, and does nothing else.
#include <windows.h>

#include <string>

namespace {

class File {
 public:
  explicit File(HANDLE handle) : handle_(handle) {}
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File() {
    if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
  }
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace

int main() {
  char path[MAX_PATH] = {};
  DWORD n = ::GetEnvironmentVariableA("FONARIS_BROWSER_LOG", path, sizeof(path));
  if (n == 0 || n >= sizeof(path)) ::lstrcpynA(path, "C:\\fakebrowser.log", sizeof(path));

  File log(::CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr));
  if (log.Get() == INVALID_HANDLE_VALUE) return 1;
  // One write per start, so that starts close together never interleave.
  std::string line = ::GetCommandLineA();
  line += '\n';
  DWORD written = 0;
  BOOL ok = ::WriteFile(log.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  return ok && written == line.size() ? 0 : 1;
}
