#include "platform/win32/win32_shell.h"

#include "platform/win32/browser_command.h"

#include <shellapi.h>
#include <shlwapi.h>

namespace fon::win32 {

namespace {
constexpr char kFallbackBrowser[] = "iexplore.exe";
}  // namespace

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

void Win32Shell::OpenSettingsPage(const std::string& page) {
  // The shell hands an ms-settings: address to the Settings app.
  ::ShellExecuteA(nullptr, "open", page.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void Win32Shell::MessageBox(const std::string& text, const std::string& caption) {
  ::MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK);
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
