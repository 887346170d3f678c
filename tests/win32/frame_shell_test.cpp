// The hidden frame and the shell services that work for it: tray icon,
// hotkey, tray menu, clipboard, resources and desktop queries.
#include "platform/win32/browser_command.h"
#include "test_resources.h"
#include "test_support.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <cctype>
#include <string>
#include <vector>

namespace fon::win32 {
namespace {

using testing::MakePlatform;
using testing::PumpFor;
using testing::RunUntilOr;
using testing::TakeQuit;

class FrameEvents final : public IFrameEvents {
 public:
  void OnTrayNotify(unsigned mouseMessage) override { log.push_back("tray " + std::to_string(mouseMessage)); }
  void OnHotKey(int id) override { log.push_back("hotkey " + std::to_string(id)); }
  void OnCommand(int id) override { log.push_back("command " + std::to_string(id)); }
  void OnClose() override { log.push_back("close"); }
  void OnSize(int sizeType) override { log.push_back("size " + std::to_string(sizeType)); }
  void OnTaskbarCreated() override { log.push_back("taskbar"); }
  void OnSessionChange(bool locked) override { log.push_back(locked ? "lock" : "unlock"); }
  void OnPhoneLink(const std::string& link) override { log.push_back("link " + link); }
  void OnEndSession() override { log.push_back("end session"); }
  std::vector<std::string> log;
};

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_ = MakePlatform();
    ASSERT_TRUE(platform_);
    frame_ = platform_->CreateFrameWindow(&events_);
    ASSERT_TRUE(frame_);
    window_ = ToHwnd(frame_->Handle());
    ASSERT_TRUE(window_);
  }
  void TearDown() override {
    frame_.reset();
    TakeQuit();
  }

  FrameEvents events_;
  std::unique_ptr<Win32Platform> platform_;
  std::unique_ptr<IFrameWindow> frame_;
  HWND window_ = nullptr;
};

TEST_F(FrameTest, IsAHiddenTopLevelWindowOfItsOwnClass) {
  EXPECT_EQ(::FindWindowA("FonarisFrame", "CTI application"), window_);
  EXPECT_FALSE(::IsWindowVisible(window_));
  EXPECT_EQ(::GetParent(window_), nullptr);
}

TEST_F(FrameTest, ForwardsTrayHotkeyCommandSizeAndTaskbarMessages) {
  ::SendMessageA(window_, kTrayCallbackMessage, 1, WM_RBUTTONDOWN);
  ::SendMessageA(window_, kTrayCallbackMessage, 1, MAKELPARAM(WM_LBUTTONDBLCLK, 0x55));  // high word is not the message
  ::SendMessageA(window_, WM_HOTKEY, 4096, MAKELPARAM(0, VK_F8));
  ::SendMessageA(window_, WM_COMMAND, MAKEWPARAM(32783, 0), 0);
  ::SendMessageA(window_, WM_SIZE, SIZE_MINIMIZED, 0);
  ::SendMessageA(window_, ::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  EXPECT_EQ(events_.log, (std::vector<std::string>{"tray 516", "tray 515", "hotkey 4096", "command 32783", "size 1",
                                                   "taskbar"}));
}

TEST_F(FrameTest, CloseIsTheCoresDecision) {
  ::SendMessageA(window_, WM_CLOSE, 0, 0);
  EXPECT_EQ(events_.log, std::vector<std::string>{"close"});
  EXPECT_TRUE(::IsWindow(window_));
  EXPECT_FALSE(TakeQuit());
}

TEST_F(FrameTest, DestroyEndsTheMessageLoopAndTheShellForgetsTheFrame) {
  EXPECT_TRUE(platform_->Input().RegisterHotKey(4097, MOD_CONTROL | MOD_ALT | MOD_SHIFT, VK_F11));
  frame_->Destroy();
  EXPECT_FALSE(::IsWindow(window_));
  EXPECT_EQ(frame_->Handle(), 0u);
  EXPECT_TRUE(TakeQuit());
  // Nothing is registered for a window that is gone.
  EXPECT_FALSE(platform_->Input().RegisterHotKey(4098, MOD_CONTROL | MOD_ALT | MOD_SHIFT, VK_F10));
  EXPECT_FALSE(platform_->Tray().NotifyIcon(kTrayAdd, IDI_TEST_TRAY, "CTI - offline"));
}

TEST_F(FrameTest, HotkeysAreRegisteredOnTheFrame) {
  IInput& input = platform_->Input();
  ASSERT_TRUE(input.RegisterHotKey(4096, MOD_CONTROL | MOD_ALT | MOD_SHIFT, VK_F12));
  // The same key combination cannot be had twice.
  EXPECT_FALSE(input.RegisterHotKey(4100, MOD_CONTROL | MOD_ALT | MOD_SHIFT, VK_F12));
  input.UnregisterHotKey(4096);
  EXPECT_TRUE(input.RegisterHotKey(4100, MOD_CONTROL | MOD_ALT | MOD_SHIFT, VK_F12));
  input.UnregisterHotKey(4100);
}

// The tips the notification area shows now: the texts of the tooltip
// windows of the shell's process, read through memory of that process (a
// tooltip's text cannot be asked for across processes otherwise).
std::vector<std::string> ShellTrayTips() {
  std::vector<std::string> tips;
  DWORD shellProcess = 0;
  HWND taskbar = ::FindWindowA("Shell_TrayWnd", nullptr);
  if (!taskbar || !::GetWindowThreadProcessId(taskbar, &shellProcess)) return tips;
  UniqueKernelHandle process(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                                           shellProcess));
  if (!process) return tips;
  struct Remote {
    TTTOOLINFOW info;
    WCHAR text[256];
  };
  auto* remote = static_cast<Remote*>(
      ::VirtualAllocEx(process.Get(), nullptr, sizeof(Remote), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  if (!remote) return tips;
  for (HWND tip = ::FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr); tip;
       tip = ::FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr)) {
    DWORD owner = 0;
    if (!::GetWindowThreadProcessId(tip, &owner) || owner != shellProcess) continue;
    auto count = ::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      Remote local{};
      local.info.cbSize = sizeof(TTTOOLINFOW);
      local.info.lpszText = remote->text;
      if (!::WriteProcessMemory(process.Get(), remote, &local, sizeof(local), nullptr)) continue;
      if (!::SendMessageW(tip, TTM_ENUMTOOLSW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&remote->info)))
        continue;
      if (!::ReadProcessMemory(process.Get(), remote, &local, sizeof(local), nullptr)) continue;
      local.text[255] = L'\0';
      char text[512] = {};
      ::WideCharToMultiByte(CP_ACP, 0, local.text, -1, text, sizeof(text), nullptr, nullptr);
      tips.emplace_back(text);
    }
  }
  ::VirtualFreeEx(process.Get(), remote, 0, MEM_RELEASE);
  return tips;
}

bool Shows(const std::vector<std::string>& tips, const std::string& tip) {
  return std::find(tips.begin(), tips.end(), tip) != tips.end();
}

TEST_F(FrameTest, TrayIconAddModifyDelete) {
  ITray& tray = platform_->Tray();
  // A tip longer than the record holds is cut, not refused: the shell
  // shows its first 63 characters.
  ASSERT_TRUE(tray.NotifyIcon(kTrayAdd, IDI_TEST_TRAY, std::string(100, 'T')));
  ASSERT_TRUE(RunUntilOr(*platform_, [] { return Shows(ShellTrayTips(), std::string(63, 'T')); }, 3000));
  EXPECT_FALSE(Shows(ShellTrayTips(), std::string(64, 'T')));
  EXPECT_TRUE(tray.NotifyIcon(kTrayModify, IDI_TEST_TRAY, "CTI - online"));
  EXPECT_TRUE(RunUntilOr(*platform_, [] { return Shows(ShellTrayTips(), "CTI - online"); }, 3000));
  EXPECT_TRUE(tray.NotifyIcon(kTrayDelete, IDI_TEST_TRAY, ""));
  EXPECT_FALSE(tray.NotifyIcon(kTrayDelete, IDI_TEST_TRAY, ""));  // already gone
}

// Picks from an open popup menu as a user with the keyboard would.
class MenuPicker final : public TimerSink {
 public:
  explicit MenuPicker(std::vector<WPARAM> keys) : keys_(std::move(keys)) {}
  void OnTimer(unsigned) override {
    HWND menu = ::FindWindowA("#32768", nullptr);
    if (!menu || !::IsWindowVisible(menu) || sent_) return;
    sent_ = true;
    for (WPARAM key : keys_) ::PostMessageA(menu, WM_KEYDOWN, key, 1);
  }
  bool Sent() const { return sent_; }

 private:
  std::vector<WPARAM> keys_;
  bool sent_ = false;
};

TEST_F(FrameTest, TrayMenuReturnsTheChosenCommand) {
  MenuPicker picker({VK_DOWN, VK_DOWN, VK_RETURN});
  platform_->Timers().SetTimer(&picker, 1, 20);
  int command = platform_->Tray().TrackTrayMenu(IDM_TEST_MENU, Point{300, 300}, {});
  platform_->Timers().KillAllTimers(&picker);
  EXPECT_TRUE(picker.Sent());
  EXPECT_EQ(command, 32783);
  // The command is the result; it does not arrive again as WM_COMMAND.
  PumpFor(*platform_, 50);
  EXPECT_TRUE(events_.log.empty());
}

TEST_F(FrameTest, DismissedOrMissingTrayMenuGivesNoCommand) {
  MenuPicker picker({VK_ESCAPE});
  platform_->Timers().SetTimer(&picker, 1, 20);
  EXPECT_EQ(platform_->Tray().TrackTrayMenu(IDM_TEST_MENU, Point{300, 300}, {}), 0);
  platform_->Timers().KillAllTimers(&picker);
  EXPECT_EQ(platform_->Tray().TrackTrayMenu(12345, Point{300, 300}, {}), 0);
}

TEST_F(FrameTest, ClipboardTextIsWhatOtherProgramsSee) {
  IClipboard& clipboard = platform_->Clipboard();
  const std::string text = "Gr\xfc\xdf" "e +49 (0)221 0815";
  ASSERT_TRUE(clipboard.Open());
  EXPECT_TRUE(clipboard.Empty());
  EXPECT_TRUE(clipboard.SetText(text));
  clipboard.Close();

  ASSERT_TRUE(::OpenClipboard(nullptr));
  std::string seen;
  if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
    ScopedGlobalLock lock(data);
    if (lock.Data()) seen = static_cast<const char*>(lock.Data());
  }
  ::CloseClipboard();
  EXPECT_EQ(seen, text);
}

TEST(Shell, ResourcesAndProcessFacts) {
  auto platform = MakePlatform();
  ASSERT_TRUE(platform);
  IShell& shell = platform->Shell();
  EXPECT_EQ(platform->Resources().LoadString(IDS_TEST_TEXT), "Gr\xfc\xdf" "e aus K\xf6ln");
  EXPECT_EQ(platform->Resources().LoadString(4321), "");

  std::string path = shell.ModulePath();
  std::transform(path.begin(), path.end(), path.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  ASSERT_GE(path.size(), 4u);
  EXPECT_EQ(path.substr(path.size() - 4), ".exe");
  EXPECT_LE(path.size(), 255u);
  EXPECT_EQ(path.find('\0'), std::string::npos);

  std::string user = shell.UserName();
  EXPECT_FALSE(user.empty());
  EXPECT_LE(user.size(), 19u);

  std::string name = "FonarisTest-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(::GetTickCount64());
  EXPECT_FALSE(platform->Process().CreateInstanceMutex(name));
  EXPECT_TRUE(platform->Process().CreateInstanceMutex(name));
}

TEST(Shell, DesktopGeometryAndInput) {
  auto platform = MakePlatform();
  ASSERT_TRUE(platform);
  IDesktop& desktop = platform->Desktop();
  EXPECT_EQ(desktop.ScreenWidth(), ::GetSystemMetrics(SM_CXSCREEN));
  Rect work = desktop.WorkArea();
  EXPECT_FALSE(work.IsEmpty());
  EXPECT_LE(work.right, ::GetSystemMetrics(SM_CXSCREEN));
  EXPECT_LE(work.bottom, ::GetSystemMetrics(SM_CYSCREEN));

  Rect taskbar{1, 2, 3, 4};
  HWND tray = ::FindWindowA("Shell_TrayWnd", nullptr);
  RECT r{};
  bool expected = tray && ::GetWindowRect(tray, &r) && r.right > r.left && r.bottom > r.top;
  EXPECT_EQ(desktop.GetTaskbarRect(&taskbar), expected);
  if (expected) {
    EXPECT_EQ(taskbar.left, r.left);
    EXPECT_EQ(taskbar.bottom, r.bottom);
  }

  ASSERT_TRUE(::SetCursorPos(123, 45));
  Point cursor = platform->Input().GetCursorPos().value_or(Point{});
  EXPECT_EQ(cursor.x, 123);
  EXPECT_EQ(cursor.y, 45);
  EXPECT_EQ(platform->Input().GetDoubleClickTime(), ::GetDoubleClickTime());
}

TEST(Shell, TheDefaultBrowserIsAProgram) {
  std::string browser = Win32Shell::DefaultBrowser();
  std::transform(browser.begin(), browser.end(), browser.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  ASSERT_GE(browser.size(), 4u);
  EXPECT_EQ(browser.substr(browser.size() - 4), ".exe");
}

std::string Directory(const std::string& path) { return path.substr(0, path.find_last_of("\\/") + 1); }

TEST(Shell, TheBrowserGetsTheAddressAsItsOnlyArgument) {
  // The stand-in browser, built next to this test, records its command line.
  std::string self;
  {
    Win32Shell probe;
    self = probe.ModulePath();
  }
  std::string browser = Directory(self) + FAKEBROWSER_FROM_TEST_DIR;
  std::replace(browser.begin(), browser.end(), '/', '\\');
  ASSERT_NE(::GetFileAttributesA(browser.c_str()), INVALID_FILE_ATTRIBUTES) << browser;
  char temp[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, temp);
  std::string log = std::string(temp) + "fonaris-browser-" + std::to_string(::GetCurrentProcessId()) + ".log";
  ::DeleteFileA(log.c_str());
  ASSERT_TRUE(::SetEnvironmentVariableA("FONARIS_BROWSER_LOG", log.c_str()));

  Win32Shell shell([&] { return browser; });
  const std::string address = "http://crm/call?name=M\xfcller \"Chef\" & co&no=0815\\";
  shell.OpenInBrowser(address);

  std::string line;
  for (int i = 0; i < 100 && line.empty(); ++i) {
    ::Sleep(50);
    std::ifstream in(log, std::ios::binary);
    std::getline(in, line);
  }
  ::DeleteFileA(log.c_str());
  ::SetEnvironmentVariableA("FONARIS_BROWSER_LOG", nullptr);
  ASSERT_FALSE(line.empty()) << "the browser was not started";

  int wideLength = ::MultiByteToWideChar(CP_ACP, 0, line.c_str(), -1, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, line.c_str(), -1, wide.data(), wideLength);
  int argc = 0;
  LPWSTR* argv = ::CommandLineToArgvW(wide.c_str(), &argc);
  ASSERT_EQ(argc, 2) << line;
  char argument[1024] = {};
  ::WideCharToMultiByte(CP_ACP, 0, argv[1], -1, argument, sizeof(argument), nullptr, nullptr);
  ::LocalFree(argv);
  EXPECT_STREQ(argument, "http://crm/call?name=M\xfcller %22Chef%22 & co&no=0815\\");
}

TEST(Shell, CopyKeysAreSeenAsAKeyPressedSinceTheLastQuery) {
  auto platform = MakePlatform();
  ASSERT_TRUE(platform);
  IInput& input = platform->Input();
  input.IsKeyDown('C');  // forget earlier presses
  input.SendCopyKeys();
  PumpFor(*platform, 50);
  // C went down and up again: activity, once.
  EXPECT_TRUE(input.IsKeyDown('C'));
  EXPECT_FALSE(input.IsKeyDown('C'));
  EXPECT_FALSE(input.IsKeyDown(VK_F13));
}

}  // namespace
}  // namespace fon::win32
