// Entry point of fonaris.exe: starts the system libraries, makes the
// platform and the main frame, and runs the message loop until the frame is
// destroyed.
#include "platform/win32/windows_headers.h"
#include <commctrl.h>
#include <ole2.h>

#include "platform/win32/command_line.h"
#include "platform/win32/main_frame_runner.h"
#include "platform/win32/win32_platform.h"
#include "res/resource.h"

namespace {

constexpr int kOleFailedText = IDS_OLE_INIT_FAILED;
constexpr int kSocketsFailedText = IDS_SOCKETS_INIT_FAILED;
constexpr char kCaption[] = "Fonaris";

// The message of a failed start; the string table may hold no text for it.
void ShowStartError(HINSTANCE instance, int textId, const char* fallback) {
  char text[1024] = {};
  if (::LoadStringA(instance, static_cast<UINT>(textId), text, sizeof(text)) <= 0) {
    ::lstrcpynA(text, fallback, sizeof(text));
  }
  ::MessageBoxA(nullptr, text, kCaption, MB_OK | MB_ICONEXCLAMATION);
}

class OleSession {
 public:
  OleSession() : ok_(SUCCEEDED(::OleInitialize(nullptr))) {}
  OleSession(const OleSession&) = delete;
  OleSession& operator=(const OleSession&) = delete;
  ~OleSession() {
    if (ok_) ::OleUninitialize();
  }
  bool Ok() const { return ok_; }

 private:
  bool ok_;
};

class SocketsSession {
 public:
  SocketsSession() {
    WSADATA data{};
    ok_ = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }
  SocketsSession(const SocketsSession&) = delete;
  SocketsSession& operator=(const SocketsSession&) = delete;
  ~SocketsSession() {
    if (ok_) ::WSACleanup();
  }
  bool Ok() const { return ok_; }

 private:
  bool ok_ = false;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_WIN95_CLASSES;  // includes the hotkey control
  ::InitCommonControlsEx(&controls);

  OleSession ole;
  if (!ole.Ok()) {
    ShowStartError(instance, kOleFailedText, "OLE initialization failed.");
    return 1;
  }
  SocketsSession sockets;
  if (!sockets.Ok()) {
    ShowStartError(instance, kSocketsFailedText, "Windows Sockets initialization failed.");
    return 1;
  }

  fon::win32::Win32Platform::Options options;
  options.instance = instance;
  options.logPath = fon::win32::LogFileOption(commandLine ? commandLine : "");
  options.launchLink = fon::win32::LinkOption(commandLine ? commandLine : "");
  options.sparePopupWindows = fon::win32::PopupWindowPool::kMaxSpare;
  std::unique_ptr<fon::win32::Win32Platform> platform = fon::win32::Win32Platform::Create(options);
  if (!platform) return 1;

  // The frame goes before the platform it uses.
  return fon::win32::RunMainFrame(*platform, [&platform] { return platform->RunMessageLoop(); });
}
