// Tray icon, hotkey, tray menu, desktop queries and the other shell services.
#pragma once

#include "platform/platform.h"
#include "platform/win32/win32_handles.h"

#include <functional>
#include <vector>

namespace fon::win32 {

class Win32Shell final : public IShell {
 public:
  // Finds the browser executable; the system's registered "http" handler
  // unless a test supplies a stand-in.
  using BrowserLocator = std::function<std::string()>;

  explicit Win32Shell(HINSTANCE instance, BrowserLocator locateBrowser = &Win32Shell::DefaultBrowser)
      : instance_(instance), locateBrowser_(std::move(locateBrowser)) {}

  // The hidden frame owns the tray icon, the hotkey and the tray menu.
  void SetFrame(HWND frame) { frame_ = frame; }
  HWND Frame() const { return frame_; }

  bool NotifyIcon(int message, int iconResource, const std::string& tip) override;
  bool RegisterHotKey(int id, unsigned modifiers, unsigned virtualKey) override;
  void UnregisterHotKey(int id) override;
  int TrackTrayMenu(int menuResource, Point at) override;
  WindowHandle GetForegroundWindow() override;
  bool SetForegroundWindow(WindowHandle window) override;
  Point GetCursorPos() override;
  unsigned GetDoubleClickTime() override;
  bool IsKeyDown(int virtualKey) override;
  void SendCopyKeys() override;
  void OpenInBrowser(const std::string& address) override;
  bool GetTaskbarRect(Rect* rect) override;
  int ScreenWidth() override;
  Rect WorkArea() override;
  bool CreateInstanceMutex(const std::string& name) override;
  void MessageBox(const std::string& text, const std::string& caption) override;
  std::string LoadString(int id) override;
  std::string UserName() override;
  std::string ModulePath() override;

  // The browser executable registered for "http" addresses.
  static std::string DefaultBrowser();

 private:
  HINSTANCE instance_;
  BrowserLocator locateBrowser_;
  HWND frame_ = nullptr;
  // Instance mutexes stay owned for the life of the process.
  std::vector<UniqueKernelHandle> mutexes_;
};

}  // namespace fon::win32
