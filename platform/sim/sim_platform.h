// The simulation platform: every interface of platform.h on a virtual clock,
// an in-memory registry, in-memory connections to scripted servers and a
// desktop that records what the client shows. Native tests drive whole
// scenarios through it.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/sim_loop.h"
#include "platform/sim/sim_network.h"

namespace fon::sim {

// ------------------------------------------------------------ timers ------
class SimTimers : public ITimers {
 public:
  explicit SimTimers(SimLoop& loop) : loop_(loop) {}
  void SetTimer(TimerSink* sink, unsigned id, unsigned ms) override;
  void KillTimer(TimerSink* sink, unsigned id) override;
  void KillAllTimers(TimerSink* sink) override;
  bool IsTimerRunning(TimerSink* sink, unsigned id) const override;
  // Interval of a running timer, 0 when not running.
  unsigned Interval(TimerSink* sink, unsigned id) const;

 private:
  struct Entry {
    unsigned interval;
    std::uint64_t ticket;
  };
  void Arm(TimerSink* sink, unsigned id);
  SimLoop& loop_;
  std::map<std::pair<TimerSink*, unsigned>, Entry> timers_;
};

// ---------------------------------------------------------- registry ------
class SimRegistry : public IRegistry {
 public:
  long CreateKey(const std::string& path) override;
  long OpenKey(const std::string& path) override;
  long QueryValue(const std::string& path, const std::string& name, std::uint32_t* type, std::string* data,
                  std::size_t bufferSize) override;
  long SetValue(const std::string& path, const std::string& name, std::uint32_t type,
                const std::string& data) override;

  // Test helpers.
  void SetString(const std::string& path, const std::string& name, const std::string& text);
  void SetDword(const std::string& path, const std::string& name, std::int32_t value);
  std::optional<std::string> GetString(const std::string& path, const std::string& name) const;
  std::optional<std::int32_t> GetDword(const std::string& path, const std::string& name) const;
  bool HasKey(const std::string& path) const;
  // A key the user may read but not write: every open fails.
  void DenyAccess(const std::string& path) { denied_.insert(Lower(path)); }

 private:
  struct Value {
    std::uint32_t type;
    std::string data;
  };
  static std::string Lower(std::string s);
  std::map<std::string, std::map<std::string, Value>> keys_;
  std::set<std::string> denied_;
};

// --------------------------------------------------------- desktop --------

// What the simulated shell shows; shared by every simulated process of one
// desktop, so that a second instance sees the first one's mutex.
struct SimDesktop {
  std::set<std::string> mutexes;
  std::map<int, std::pair<unsigned, unsigned>> hotkeysTakenByOthers;  // id ignored: (mod, vk)
};

struct TrayCall {
  int message;
  int icon;
  std::string tip;
};

class SimShell : public IShell {
 public:
  explicit SimShell(std::shared_ptr<SimDesktop> desktop) : desktop_(std::move(desktop)) {}

  bool NotifyIcon(int message, int iconResource, const std::string& tip) override;
  bool RegisterHotKey(int id, unsigned modifiers, unsigned virtualKey) override;
  void UnregisterHotKey(int id) override { hotkeys.erase(id); }
  int TrackTrayMenu(int menuResource, Point at) override;
  WindowHandle GetForegroundWindow() override { return foreground; }
  bool SetForegroundWindow(WindowHandle window) override {
    foregroundSets.push_back(window);
    foreground = window;
    return true;
  }
  Point GetCursorPos() override { return cursor; }
  unsigned GetDoubleClickTime() override { return doubleClickTime; }
  bool IsKeyDown(int virtualKey) override { return keysDown.count(virtualKey) != 0; }
  void SendCopyKeys() override {
    ++copyKeyPresses;
    if (onCopyKeys) onCopyKeys();
  }
  void OpenInBrowser(const std::string& address) override { browserOpened.push_back(address); }
  bool GetTaskbarRect(Rect* rect) override {
    if (!taskbar) return false;
    *rect = *taskbar;
    return true;
  }
  int ScreenWidth() override { return screen.right; }
  Rect WorkArea() override { return workArea; }
  bool CreateInstanceMutex(const std::string& name) override;
  void MessageBox(const std::string& text, const std::string& caption) override {
    messageBoxes.push_back(caption + ": " + text);
  }
  std::string LoadString(int id) override;
  std::string UserName() override { return userName; }
  std::string ModulePath() override { return "C:\\Program Files\\Fonaris\\fonaris.exe"; }

  // ---- state, readable and settable by tests
  std::vector<TrayCall> trayCalls;
  std::map<int, TrayCall> trayIcons;  // icon resource -> the add that shows it
  bool failNextNotify = false;
  // No shell to take icons (not started yet, or restarting): every call fails.
  bool shellUnavailable = false;
  std::map<int, std::pair<unsigned, unsigned>> hotkeys;
  std::vector<std::pair<int, Point>> menusShown;
  // Answer of the next menus: a command id, 0 = dismissed. A function lets
  // a test act while the menu's nested loop would run.
  std::deque<std::function<int()>> menuScript;
  WindowHandle foreground = 0x5000;  // some other application has the focus
  std::vector<WindowHandle> foregroundSets;
  Point cursor{640, 500};
  unsigned doubleClickTime = 500;
  std::set<int> keysDown;
  int copyKeyPresses = 0;
  std::function<void()> onCopyKeys;
  std::vector<std::string> browserOpened;
  Rect screen{0, 0, 1280, 1024};
  std::optional<Rect> taskbar = Rect{0, 994, 1280, 1024};
  Rect workArea{0, 0, 1280, 994};
  std::vector<std::string> messageBoxes;
  std::string userName = "tester";
  std::map<int, std::string> extraStrings;  // overrides of string-table entries

  // The tray icon shown now (its resource), 0 when none.
  int VisibleTrayIcon() const { return trayIcons.empty() ? 0 : trayIcons.rbegin()->first; }
  std::string VisibleTrayTip() const { return trayIcons.empty() ? "" : trayIcons.rbegin()->second.tip; }

 private:
  std::shared_ptr<SimDesktop> desktop_;
  std::set<std::string> ownMutexes_;

 public:
  ~SimShell() override;
};

class SimClipboard : public IClipboard {
 public:
  bool Open() override {
    if (open || lockedByOther) return false;
    open = true;
    return true;
  }
  void Close() override { open = false; }
  bool Empty() override {
    if (!open) return false;
    text.reset();
    return true;
  }
  std::optional<std::string> GetText() override { return open ? text : std::nullopt; }
  bool SetText(const std::string& t) override {
    if (!open) return false;
    text = t;
    return true;
  }
  bool open = false;
  bool lockedByOther = false;
  std::optional<std::string> text;
};

class SimDebug : public IDebugOutput {
 public:
  void Write(const std::string& text) override { lines.push_back(text); }
  bool Contains(const std::string& text) const;
  int Count(const std::string& text) const;
  std::vector<std::string> lines;
};

// --------------------------------------------------------- windows --------
class SimFrameWindow : public IFrameWindow {
 public:
  explicit SimFrameWindow(SimLoop& loop, IFrameEvents* events) : loop_(loop), events(events) {}
  WindowHandle Handle() const override { return 0x1000; }
  void Show(bool shown) override { visible = shown; }
  void Destroy() override {
    destroyed = true;
    loop_.Quit(0);
  }
  SimLoop& loop_;
  IFrameEvents* events;
  bool destroyed = false;
  bool visible = false;
};

struct SimPopupRecord;

class SimPopupWindow : public IPopupWindow {
 public:
  SimPopupWindow(std::shared_ptr<SimPopupRecord> record, IPopupEvents* events);
  ~SimPopupWindow() override;
  bool LoadSkin(int bitmap, int* width, int* height) override;
  void SetLook(const PopupLook& look) override;
  void Place(int x, int y, int width, int height) override;
  void ShowNoActivate() override;
  void Hide() override;
  void Redraw() override;
  WindowHandle Handle() const override;

 private:
  std::shared_ptr<SimPopupRecord> record_;
};

// What a test can see of one popup window, also after it was destroyed.
struct SimPopupRecord {
  WindowHandle handle = 0;
  IPopupEvents* events = nullptr;  // null once the window is gone
  bool alive = true;
  bool visible = false;
  int skin = 0;
  PopupLook look;
  Rect rect;
  std::vector<Rect> placements;
  int showCount = 0;
  int redraws = 0;
};

struct SimDialogRecord;

class SimDialogWindow : public IDialogWindow {
 public:
  SimDialogWindow(class SimPlatform& platform, std::shared_ptr<SimDialogRecord> record, IDialogEvents* events);
  ~SimDialogWindow() override;
  bool CreateModeless(int templateId, WindowHandle parent) override;
  int DoModal(int templateId, WindowHandle parent) override;
  void EndDialog(int code) override;
  void SetItemText(int id, const std::string& text) override;
  std::string GetItemText(int id) override;
  void SetLabelWhite(int id, bool white) override;
  void Center() override;
  void Show(bool visible) override;
  void RedrawNow() override;
  void BringToFront() override;
  void Destroy() override;
  WindowHandle Handle() const override;

 private:
  SimPlatform& platform_;
  std::shared_ptr<SimDialogRecord> record_;
};

struct SimDialogRecord {
  WindowHandle handle = 0;
  IDialogEvents* events = nullptr;
  int templateId = 0;
  bool created = false;
  bool modal = false;
  bool visible = false;
  bool centered = false;
  bool destroyed = false;
  bool ended = false;
  int endCode = 0;
  int redraws = 0;
  int broughtToFront = 0;
  std::map<int, std::string> items;
  std::set<int> whiteLabels;
  // Presses a button of the dialog as the user would.
  void Press(int id) {
    if (events && !ended) events->OnCommand(id);
  }
};

// ---------------------------------------------------------- platform ------
class SimPlatform : public IPlatform {
 public:
  explicit SimPlatform(std::shared_ptr<SimDesktop> desktop = std::make_shared<SimDesktop>());

  ITimers& Timers() override { return timers; }
  IEventLoop& Loop() override { return loop; }
  INetwork& Network() override { return network; }
  IRegistry& Registry() override { return registry; }
  IShell& Shell() override { return shell; }
  IClipboard& Clipboard() override { return clipboard; }
  IDebugOutput& Debug() override { return debug; }
  std::unique_ptr<IFrameWindow> CreateFrameWindow(IFrameEvents* events) override;
  std::unique_ptr<IPopupWindow> CreatePopupWindow(IPopupEvents* events, WindowHandle parent) override;
  std::unique_ptr<IDialogWindow> CreateDialogWindow(IDialogEvents* events) override;

  SimLoop loop;
  SimTimers timers{loop};
  SimNetwork network{loop};
  SimRegistry registry;
  SimShell shell;
  SimClipboard clipboard;
  SimDebug debug;

  SimFrameWindow* frame = nullptr;
  std::vector<std::shared_ptr<SimPopupRecord>> popups;    // every popup window ever made
  std::vector<std::shared_ptr<SimDialogRecord>> dialogs;  // every dialog window ever made
  // Scripts for modal dialogs by template: run once the dialog is
  // initialised, inside its modal loop. Without a script a modal dialog is
  // cancelled at once.
  std::map<int, std::function<void(SimDialogRecord&)>> modalScripts;

  // Popup windows that exist and are visible now.
  std::vector<std::shared_ptr<SimPopupRecord>> VisiblePopups() const;

 private:
  WindowHandle nextHandle_ = 0x2000;
  friend class SimDialogWindow;
  friend class SimPopupWindow;

 public:
  WindowHandle NewHandle() { return nextHandle_ += 0x10; }
};

}  // namespace fon::sim
