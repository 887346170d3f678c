// fonctl: drives a running fonaris.exe from inside the same Wine prefix, for
// end-to-end tests. Every command prints plain text lines and exits 0 on
// success, 1 when its window is not found or its wait timed out, 2 on a
// usage error.
//
//   windows                              top-level windows, one per line:
//                                        handle <TAB> class <TAB> visible <TAB> l,t,r,b <TAB> title
//   wait-window [--visible] CLASS [TITLE] TIMEOUT-MS
//                                        waits until such a window exists (is visible)
//   wait-gone CLASS [TITLE] TIMEOUT-MS   waits until no such window exists
//   tray MSG                             tray callback to the frame; MSG is lbuttondown,
//                                        lbuttonup, lbuttondblclk, rbuttondown, rbuttonup,
//                                        mousemove or a number
//   hotkey [ID]                          WM_HOTKEY to the frame (default id 4096)
//   hotkey-timed CONTROL TIMEOUT-MS      WM_HOTKEY, then waits for a visible dialog with the
//                                        control; prints the milliseconds it took
//   command ID                           WM_COMMAND to the frame
//   close                                WM_CLOSE to the frame
//   click CLASS INDEX X Y                left click at a client point of the INDEX-th
//                                        (from 0, topmost first) visible window of CLASS
//   dblclick CLASS INDEX X Y             the same as a double click
//   dlg-set DIALOG ID TEXT               sets a control's text
//   dlg-click DIALOG ID                  clicks a button (BM_CLICK, posted)
//   dlg-text DIALOG ID                   prints a control's text
//   dlg-check DIALOG ID 0|1              sets a check box by clicking it when it differs,
//                                        so that the dialog hears of the change
//   dlg-choose DIALOG ID ENTRY           chooses the entry with the text ENTRY (or #N, the
//                                        entry N from 0) of a combo box as the user would
//                                        (the dialog hears of the change)
//   dlg-state DIALOG ID                  prints "enabled visible checked" as 0/1 each
//   cursor X Y                           moves the mouse cursor to a screen point
//   session lock|unlock                  the session change notification to the frame
//   dlg-hotkey DIALOG ID VK FLAGS        sets a hotkey control (HKM_SETHOTKEY)
//   end-session                          tells the frame the Windows session ends
//                                        (WM_ENDSESSION, posted)
//   clip-get                             prints the clipboard's text (exit 1 when none)
//   clip-set TEXT                        puts a text on the clipboard
//   clip-set-rich TEXT                   puts TEXT as text and as formatted text (RTF) and
//                                        a 16 x 16 picture (CF_DIB) on the clipboard
//   clip-formats                         prints every format the clipboard holds, one per line:
//                                        id <TAB> name <TAB> size <TAB> checksum of the data
//   focus                                prints the control that has the keyboard focus in the
//                                        window in front: dialog id <TAB> class (an editable
//                                        combo box's edit counts as the combo box)
//   file-version PATH                    prints the version resource of an executable as
//                                        the file's properties show it: ProductName,
//                                        ProductVersion, CompanyName and FileVersion,
//                                        one "Name=value" line each
//   manifest PATH                        prints the application manifest (RT_MANIFEST 1)
//                                        an executable carries
//   dpi CLASS                            "DPI AWARENESS" of the first visible window of CLASS:
//                                        its monitor's dots per inch and its awareness
//                                        (0 unaware, 1 system, 2 per monitor)
//   text-fit DIALOG|CPopup               one line per text label of the dialog (or per visible
//                                        popup): id <TAB> fits|cut|unknown <TAB> w x h <TAB> text,
//                                        as the program noted when it last drew the text
//   menu-pick N                          picks the N-th selectable item (from 1; separators
//                                        do not count) of the open popup menu with the
//                                        keyboard: N times Down, then Enter
//   fullscreen MS                        shows a window over the whole screen in front for MS
//                                        milliseconds (a slide show), then ends; prints
//                                        "shown" once it is the foreground window
//   alert-watch MS                       for MS milliseconds, one line per EVENT_SYSTEM_ALERT of
//                                        any process: "alert CLASS role=R name=NAME", read
//                                        through the event's accessible object
//   notification-state                   what SHQueryUserNotificationState says ("hr state")
//   acc CLASS INDEX                      the accessible object of the INDEX-th visible window
//                                        of CLASS: "role=R name=NAME", then one line per
//                                        child "child N role=R name=NAME"
//
// DIALOG is a visible dialog named by its title, by its window class, by
// "has:ID" (the first visible dialog with a control ID) or by a handle "0x...".
// Messages to the program are posted, not sent: a command may open a modal
// dialog or a menu in the program, and fonctl must not wait for it to end.
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>
#include <shellapi.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/tray.h"
#include "platform/win32/label_format.h"

namespace {

constexpr char kFrameClass[] = "FonarisFrame";
constexpr char kDialogClass[] = "#32770";
constexpr char kMenuClass[] = "#32768";
using fon::kTrayCallbackMessage;
constexpr int kHotkeyDialout = 4096;
constexpr DWORD kTextTimeoutMs = 2000;

int Usage() {
  std::fprintf(stderr, "usage: fonctl COMMAND ARGS... (see the head of fonctl.cpp)\n");
  return 2;
}

std::string ClassOf(HWND window) {
  char name[256] = {};
  ::GetClassNameA(window, name, sizeof(name));
  return name;
}

std::string TitleOf(HWND window) {
  char title[512] = {};
  ::GetWindowTextA(window, title, sizeof(title));
  return title;
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  ::EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// Windows of a class (and title, when given), topmost first.
std::vector<HWND> Find(const std::string& cls, const std::string* title, bool visibleOnly) {
  std::vector<HWND> found;
  for (HWND window : TopLevelWindows()) {
    if (ClassOf(window) != cls) continue;
    if (title && TitleOf(window) != *title) continue;
    if (visibleOnly && !::IsWindowVisible(window)) continue;
    found.push_back(window);
  }
  return found;
}

HWND Frame() {
  HWND frame = ::FindWindowA(kFrameClass, nullptr);
  if (!frame) std::printf("no window of class %s\n", kFrameClass);
  return frame;
}

bool ParseInt(const char* text, long* value) {
  char* end = nullptr;
  long v = std::strtol(text, &end, 0);
  if (!end || end == text || *end != '\0') return false;
  *value = v;
  return true;
}

void PrintHandle(HWND window) { std::printf("0x%08llx\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window))); }

int CmdWindows() {
  for (HWND window : TopLevelWindows()) {
    RECT r{};
    ::GetWindowRect(window, &r);
    std::printf("0x%08llx\t%s\t%d\t%ld,%ld,%ld,%ld\t%s\n",
                static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)), ClassOf(window).c_str(),
                ::IsWindowVisible(window) ? 1 : 0, r.left, r.top, r.right, r.bottom, TitleOf(window).c_str());
  }
  return 0;
}

// wait-window / wait-gone: CLASS [TITLE] TIMEOUT-MS
int CmdWait(std::vector<std::string> args, bool gone) {
  bool visibleOnly = false;
  if (!args.empty() && args[0] == "--visible") {
    visibleOnly = true;
    args.erase(args.begin());
  }
  if (args.size() != 2 && args.size() != 3) return Usage();
  long timeout = 0;
  if (!ParseInt(args.back().c_str(), &timeout) || timeout < 0) return Usage();
  const std::string* title = args.size() == 3 ? &args[1] : nullptr;
  ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(timeout);
  for (;;) {
    std::vector<HWND> found = Find(args[0], title, visibleOnly);
    if (!gone && !found.empty()) {
      PrintHandle(found.front());
      return 0;
    }
    if (gone && found.empty()) {
      std::printf("gone\n");
      return 0;
    }
    if (::GetTickCount64() >= deadline) {
      std::printf("timeout\n");
      return 1;
    }
    ::Sleep(50);
  }
}

int CmdTray(const std::string& name) {
  static const struct {
    const char* name;
    UINT message;
  } kMessages[] = {{"lbuttondown", WM_LBUTTONDOWN}, {"lbuttonup", WM_LBUTTONUP},
                   {"lbuttondblclk", WM_LBUTTONDBLCLK}, {"rbuttondown", WM_RBUTTONDOWN},
                   {"rbuttonup", WM_RBUTTONUP}, {"mousemove", WM_MOUSEMOVE}};
  long message = -1;
  for (const auto& m : kMessages) {
    if (name == m.name) message = static_cast<long>(m.message);
  }
  if (message < 0 && !ParseInt(name.c_str(), &message)) return Usage();
  HWND frame = Frame();
  if (!frame) return 1;
  return ::PostMessageA(frame, kTrayCallbackMessage, 1, message) ? 0 : 1;
}

int CmdPostToFrame(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND frame = Frame();
  if (!frame) return 1;
  return ::PostMessageA(frame, message, wParam, lParam) ? 0 : 1;
}

int CmdClick(const std::vector<std::string>& args, bool doubleClick) {
  if (args.size() != 4) return Usage();
  long index = 0, x = 0, y = 0;
  if (!ParseInt(args[1].c_str(), &index) || !ParseInt(args[2].c_str(), &x) || !ParseInt(args[3].c_str(), &y) ||
      index < 0) {
    return Usage();
  }
  std::vector<HWND> found = Find(args[0], nullptr, true);
  if (static_cast<std::size_t>(index) >= found.size()) {
    std::printf("no visible window %ld of class %s\n", index, args[0].c_str());
    return 1;
  }
  HWND window = found[static_cast<std::size_t>(index)];
  LPARAM point = MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
  ::PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, point);
  ::PostMessageA(window, WM_LBUTTONUP, 0, point);
  if (doubleClick) {
    ::PostMessageA(window, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
    ::PostMessageA(window, WM_LBUTTONUP, 0, point);
  }
  return 0;
}

HWND FindDialog(const std::string& name) {
  if (name.rfind("0x", 0) == 0) {
    HWND window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(name.c_str(), nullptr, 16)));
    return ::IsWindow(window) ? window : nullptr;
  }
  long id = 0;
  bool byControl = name.rfind("has:", 0) == 0 && ParseInt(name.c_str() + 4, &id);
  for (HWND window : TopLevelWindows()) {
    if (!::IsWindowVisible(window)) continue;
    if (byControl) {
      if (ClassOf(window) == kDialogClass && ::GetDlgItem(window, static_cast<int>(id))) return window;
    } else if (TitleOf(window) == name || ClassOf(window) == name) {
      return window;
    }
  }
  return nullptr;
}

HWND FindControl(const std::string& dialogName, const std::string& idText) {
  long id = 0;
  if (!ParseInt(idText.c_str(), &id)) return nullptr;
  HWND dialog = FindDialog(dialogName);
  if (!dialog) {
    std::printf("no dialog %s\n", dialogName.c_str());
    return nullptr;
  }
  HWND control = ::GetDlgItem(dialog, static_cast<int>(id));
  if (!control) std::printf("no control %ld in dialog %s\n", id, dialogName.c_str());
  return control;
}

int CmdDlgSet(const std::vector<std::string>& args) {
  if (args.size() != 3) return Usage();
  HWND control = FindControl(args[0], args[1]);
  if (!control) return 1;
  DWORD_PTR result = 0;
  // WM_SETTEXT carries its text across processes; GetWindowText/SetWindowText
  // of another program's control do not.
  if (!::SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args[2].c_str()), SMTO_ABORTIFHUNG,
                             kTextTimeoutMs, &result)) {
    return 1;
  }
  return 0;
}

int CmdDlgClick(const std::vector<std::string>& args) {
  if (args.size() != 2) return Usage();
  HWND control = FindControl(args[0], args[1]);
  if (!control) return 1;
  return ::PostMessageA(control, BM_CLICK, 0, 0) ? 0 : 1;
}

int CmdDlgText(const std::vector<std::string>& args) {
  if (args.size() != 2) return Usage();
  HWND control = FindControl(args[0], args[1]);
  if (!control) return 1;
  char text[4096] = {};
  DWORD_PTR copied = 0;
  if (!::SendMessageTimeoutA(control, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                             kTextTimeoutMs, &copied)) {
    return 1;
  }
  std::printf("%s\n", text);
  return 0;
}

int CmdDlgCheck(const std::vector<std::string>& args) {
  long want = 0;
  if (args.size() != 3 || !ParseInt(args[2].c_str(), &want)) return Usage();
  HWND control = FindControl(args[0], args[1]);
  if (!control) return 1;
  DWORD_PTR state = 0;
  if (!::SendMessageTimeoutA(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kTextTimeoutMs, &state)) return 1;
  if ((state == BST_CHECKED) == (want != 0)) return 0;
  return ::PostMessageA(control, BM_CLICK, 0, 0) ? 0 : 1;
}

int CmdDlgChoose(const std::vector<std::string>& args) {
  if (args.size() != 3) return Usage();
  HWND control = FindControl(args[0], args[1]);
  if (!control) return 1;
  const std::string& entry = args[2];
  long index = 0;
  if (entry.size() > 1 && entry[0] == '#') {
    if (!ParseInt(entry.c_str() + 1, &index)) return Usage();
  } else {
    DWORD_PTR found = 0;
    if (!::SendMessageTimeoutA(control, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                               reinterpret_cast<LPARAM>(entry.c_str()), SMTO_ABORTIFHUNG, kTextTimeoutMs, &found) ||
        static_cast<LRESULT>(found) == CB_ERR) {
      std::printf("no entry %s\n", entry.c_str());
      return 1;
    }
    index = static_cast<long>(found);
  }
  DWORD_PTR result = 0;
  if (!::SendMessageTimeoutA(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0, SMTO_ABORTIFHUNG, kTextTimeoutMs,
                             &result) ||
      static_cast<LRESULT>(result) == CB_ERR) {
    return 1;
  }
  // CB_SETCURSEL notifies nobody; a choice from the list does.
  const int id = ::GetDlgCtrlID(control);
  return ::PostMessageA(::GetParent(control), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                        reinterpret_cast<LPARAM>(control))
             ? 0
             : 1;
}

int CmdDlgHotkey(const std::vector<std::string>& args) {
  long vk = 0, flags = 0;
  if (args.size() != 4 || !ParseInt(args[2].c_str(), &vk) || !ParseInt(args[3].c_str(), &flags)) return Usage();
  HWND control = FindControl(args[0], args[1]);
  if (!control) return 1;
  DWORD_PTR result = 0;
  return ::SendMessageTimeoutA(control, HKM_SETHOTKEY, MAKEWORD(vk, flags), 0, SMTO_ABORTIFHUNG, kTextTimeoutMs,
                               &result)
             ? 0
             : 1;
}

int CmdDlgState(const std::vector<std::string>& args) {
  if (args.size() != 2) return Usage();
  HWND control = FindControl(args[0], args[1]);
  if (!control) return 1;
  DWORD_PTR checked = 0;
  ::SendMessageTimeoutA(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kTextTimeoutMs, &checked);
  std::printf("%d %d %d\n", ::IsWindowEnabled(control) ? 1 : 0, ::IsWindowVisible(control) ? 1 : 0,
              checked == BST_CHECKED ? 1 : 0);
  return 0;
}

// The clipboard is opened for one command and always closed again.
class ClipboardSession {
 public:
  ClipboardSession() {
    // Another program (the client itself) may hold it for a moment.
    for (int attempt = 0; attempt < 40 && !open_; ++attempt) {
      open_ = ::OpenClipboard(nullptr) != FALSE;
      if (!open_) ::Sleep(50);
    }
  }
  ClipboardSession(const ClipboardSession&) = delete;
  ClipboardSession& operator=(const ClipboardSession&) = delete;
  ~ClipboardSession() {
    if (open_) ::CloseClipboard();
  }
  bool Open() const { return open_; }

 private:
  bool open_ = false;
};

class GlobalLockScope {
 public:
  explicit GlobalLockScope(HGLOBAL memory) : memory_(memory), data_(::GlobalLock(memory)) {}
  GlobalLockScope(const GlobalLockScope&) = delete;
  GlobalLockScope& operator=(const GlobalLockScope&) = delete;
  ~GlobalLockScope() {
    if (data_) ::GlobalUnlock(memory_);
  }
  char* Data() const { return static_cast<char*>(data_); }

 private:
  HGLOBAL memory_;
  void* data_;
};

int CmdClipGet() {
  ClipboardSession clipboard;
  if (!clipboard.Open()) {
    std::printf("clipboard busy\n");
    return 1;
  }
  HANDLE data = ::GetClipboardData(CF_TEXT);
  if (!data) {
    std::printf("no text\n");
    return 1;
  }
  GlobalLockScope lock(data);
  if (!lock.Data()) return 1;
  std::size_t size = ::GlobalSize(data);
  std::size_t length = 0;
  while (length < size && lock.Data()[length] != '\0') ++length;
  std::fwrite(lock.Data(), 1, length, stdout);
  std::printf("\n");
  return 0;
}

// Global memory for the clipboard, freed unless the clipboard took it.
class ClipboardMemory {
 public:
  explicit ClipboardMemory(std::size_t size) : memory_(::GlobalAlloc(GMEM_MOVEABLE, size)) {}
  ClipboardMemory(const ClipboardMemory&) = delete;
  ClipboardMemory& operator=(const ClipboardMemory&) = delete;
  ~ClipboardMemory() {
    if (memory_) ::GlobalFree(memory_);
  }
  HGLOBAL Get() const { return memory_; }
  void HandOver() { memory_ = nullptr; }

 private:
  HGLOBAL memory_;
};

int CmdClipSet(const std::string& text) {
  ClipboardSession clipboard;
  if (!clipboard.Open()) {
    std::printf("clipboard busy\n");
    return 1;
  }
  ::EmptyClipboard();
  ClipboardMemory memory(text.size() + 1);
  if (!memory.Get()) return 1;
  {
    GlobalLockScope lock(memory.Get());
    if (!lock.Data()) return 1;
    std::memcpy(lock.Data(), text.c_str(), text.size() + 1);
  }
  if (!::SetClipboardData(CF_TEXT, memory.Get())) return 1;
  memory.HandOver();
  return 0;
}

bool PutOnClipboard(UINT format, const void* bytes, std::size_t size) {
  ClipboardMemory memory(size);
  if (!memory.Get()) return false;
  {
    GlobalLockScope lock(memory.Get());
    if (!lock.Data()) return false;
    std::memcpy(lock.Data(), bytes, size);
  }
  if (!::SetClipboardData(format, memory.Get())) return false;
  memory.HandOver();
  return true;
}

int CmdClipSetRich(const std::string& text) {
  ClipboardSession clipboard;
  if (!clipboard.Open()) return 1;
  ::EmptyClipboard();
  const std::string rtf = "{\\rtf1\\ansi {\\b " + text + "}}";
  // A 16 x 16 picture of 24 bits, a gradient.
  BITMAPINFOHEADER header{};
  header.biSize = sizeof(header);
  header.biWidth = 16;
  header.biHeight = 16;
  header.biPlanes = 1;
  header.biBitCount = 24;
  std::string dib(reinterpret_cast<const char*>(&header), sizeof(header));
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) dib += {static_cast<char>(x * 16), static_cast<char>(y * 16), '\x80'};
  bool ok = PutOnClipboard(CF_TEXT, text.c_str(), text.size() + 1) &&
            PutOnClipboard(::RegisterClipboardFormatA("Rich Text Format"), rtf.c_str(), rtf.size() + 1) &&
            PutOnClipboard(CF_DIB, dib.data(), dib.size());
  return ok ? 0 : 1;
}

int CmdClipFormats() {
  ClipboardSession clipboard;
  if (!clipboard.Open()) return 1;
  for (UINT format = ::EnumClipboardFormats(0); format != 0; format = ::EnumClipboardFormats(format)) {
    char name[128] = "-";
    ::GetClipboardFormatNameA(format, name, sizeof(name));
    // Handles that are no memory (bitmaps, palettes, metafiles) have no bytes to compare.
    if (format == CF_BITMAP || format == CF_PALETTE || format == CF_METAFILEPICT || format == CF_ENHMETAFILE) {
      std::printf("%u\t%s\t-\t-\n", format, name);
      continue;
    }
    HANDLE data = ::GetClipboardData(format);
    GlobalLockScope lock(data);
    const std::size_t size = data ? ::GlobalSize(data) : 0;
    std::uint32_t sum = 2166136261u;  // FNV-1a
    for (std::size_t i = 0; lock.Data() && i < size; ++i)
      sum = (sum ^ static_cast<unsigned char>(lock.Data()[i])) * 16777619u;
    std::printf("%u\t%s\t%zu\t%08x\n", format, name, size, sum);
  }
  return 0;
}

int CmdFocus() {
  HWND front = ::GetForegroundWindow();
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!front || !::GetGUIThreadInfo(::GetWindowThreadProcessId(front, nullptr), &info) || !info.hwndFocus) {
    std::printf("none\n");
    return 1;
  }
  HWND control = info.hwndFocus;
  HWND top = ::GetAncestor(control, GA_ROOT);
  while (control != top && ::GetParent(control) != top) control = ::GetParent(control);
  std::printf("%d\t%s\n", control == top ? 0 : ::GetDlgCtrlID(control), ClassOf(control).c_str());
  return 0;
}

// The time from the hotkey to its dialog, seen from outside the client.
int CmdHotkeyTimed(const std::vector<std::string>& args) {
  long control = 0;
  long timeout = 0;
  if (args.size() != 2 || !ParseInt(args[0].c_str(), &control) || !ParseInt(args[1].c_str(), &timeout)) return Usage();
  const std::string name = "has:" + args[0];
  LARGE_INTEGER frequency{}, start{}, now{};
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&start);
  if (CmdPostToFrame(WM_HOTKEY, kHotkeyDialout, MAKELPARAM(0, VK_F8)) != 0) return 1;
  for (;;) {
    ::QueryPerformanceCounter(&now);
    double ms = static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
    if (FindDialog(name)) {
      std::printf("%.1f\n", ms);
      return 0;
    }
    if (ms > static_cast<double>(timeout)) return 1;
    ::Sleep(1);
  }
}

int CmdMenuPick(const std::string& nText) {
  long n = 0;
  if (!ParseInt(nText.c_str(), &n) || n < 1) return Usage();
  std::vector<HWND> menus = Find(kMenuClass, nullptr, true);
  if (menus.empty()) {
    std::printf("no open menu\n");
    return 1;
  }
  // The menu's own loop reads the keys from its thread's queue.
  HWND menu = menus.front();
  for (long i = 0; i < n; ++i) {
    ::PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 1);
    ::PostMessageA(menu, WM_KEYUP, VK_DOWN, 0xC0000001);
  }
  ::PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 1);
  ::PostMessageA(menu, WM_KEYUP, VK_RETURN, 0xC0000001);
  return 0;
}

// The strings of the first translation of the version resource.
int CmdFileVersion(const std::string& path) {
  DWORD ignored = 0;
  DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0) return 1;
  std::vector<char> info(size);
  if (!::GetFileVersionInfoA(path.c_str(), 0, size, info.data())) return 1;
  struct Translation {
    WORD language;
    WORD codePage;
  }* translation = nullptr;
  UINT length = 0;
  if (!::VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                        &length) ||
      length < sizeof(Translation)) {
    return 1;
  }
  for (const char* name : {"ProductName", "ProductVersion", "CompanyName", "FileVersion"}) {
    char query[96];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", translation->language,
                  translation->codePage, name);
    char* text = nullptr;
    UINT textLength = 0;
    if (::VerQueryValueA(info.data(), query, reinterpret_cast<void**>(&text), &textLength) && text) {
      std::printf("%s=%s\n", name, text);
    }
  }
  return 0;
}

int CmdManifest(const std::string& path) {
  HMODULE module = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return 1;
  HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
  HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
  const char* bytes = loaded ? static_cast<const char*>(::LockResource(loaded)) : nullptr;
  if (bytes) std::fwrite(bytes, 1, ::SizeofResource(module, found), stdout);
  ::FreeLibrary(module);
  return bytes ? 0 : 1;
}

template <class Fn>
Fn User32(const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("user32.dll"), name)));
}

int CmdDpi(const std::string& cls) {
  std::vector<HWND> windows = Find(cls, nullptr, true);
  if (windows.empty()) return 1;
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  using GetContextFn = HANDLE(WINAPI*)(HWND);
  using AwarenessFn = int(WINAPI*)(HANDLE);
  auto getDpi = User32<GetDpiForWindowFn>("GetDpiForWindow");
  auto getContext = User32<GetContextFn>("GetWindowDpiAwarenessContext");
  auto awareness = User32<AwarenessFn>("GetAwarenessFromDpiAwarenessContext");
  if (!getDpi || !getContext || !awareness) return 1;
  std::printf("%u %d\n", getDpi(windows[0]), awareness(getContext(windows[0])));
  return 0;
}

int CmdTextFit(const std::string& name) {
  std::vector<HWND> targets;
  if (name == "CPopup") {
    targets = Find(name, nullptr, true);
  } else if (HWND dialog = FindDialog(name)) {
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
      if (ClassOf(child) == "Static" && ::IsWindowVisible(child) && ::GetWindowTextLengthA(child) > 0)
        targets.push_back(child);
    }
  }
  if (targets.empty()) return 1;
  for (HWND window : targets) {
    RECT r{};
    ::GetClientRect(window, &r);
    const auto fit = reinterpret_cast<INT_PTR>(::GetPropA(window, fon::win32::kTextFitProperty));
    std::printf("%d\t%s\t%ldx%ld\t%s\n", ::GetDlgCtrlID(window), fit == 1 ? "fits" : fit == 2 ? "cut" : "unknown",
                r.right, r.bottom, TitleOf(window).c_str());
  }
  return 0;
}

// IID_IAccessible, spelled out: MinGW's oleacc import library resolves the
// name to an import thunk.
const GUID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// Prints what assistive technology reads of one accessible element.
void PrintAccessible(IAccessible* acc, long child, const char* prefix) {
  VARIANT id{};
  id.vt = VT_I4;
  id.lVal = child;
  VARIANT role{};
  long roleValue = -1;
  if (SUCCEEDED(acc->get_accRole(id, &role)) && role.vt == VT_I4) roleValue = role.lVal;
  BSTR name = nullptr;
  std::string text;
  if (SUCCEEDED(acc->get_accName(id, &name)) && name) {
    int n = ::WideCharToMultiByte(CP_ACP, 0, name, -1, nullptr, 0, nullptr, nullptr);
    if (n > 1) {
      text.resize(static_cast<std::size_t>(n - 1));
      ::WideCharToMultiByte(CP_ACP, 0, name, -1, text.data(), n, nullptr, nullptr);
    }
    ::SysFreeString(name);
  }
  std::printf("%srole=%ld name=%s\n", prefix, roleValue, text.c_str());
}

void CALLBACK OnAlert(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD) {
  IAccessible* acc = nullptr;
  VARIANT found{};
  char cls[64] = {};
  ::GetClassNameA(window, cls, sizeof cls);
  if (SUCCEEDED(::AccessibleObjectFromEvent(window, static_cast<DWORD>(object), static_cast<DWORD>(child), &acc,
                                            &found)) && acc) {
    std::string prefix = std::string("alert ") + cls + " ";
    PrintAccessible(acc, found.vt == VT_I4 ? found.lVal : CHILDID_SELF, prefix.c_str());
    acc->Release();
  } else {
    std::printf("alert %s (no accessible object)\n", cls);
  }
  std::fflush(stdout);
}

// Dispatches this process's messages (window events, hooks) for `ms`.
void PumpMessagesFor(long ms) {
  const DWORD end = ::GetTickCount() + static_cast<DWORD>(ms);
  MSG msg{};
  while (static_cast<LONG>(end - ::GetTickCount()) > 0) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
  }
}

int CmdAlertWatch(const std::string& msText) {
  long ms = 0;
  if (!ParseInt(msText.c_str(), &ms)) return Usage();
  ::CoInitialize(nullptr);
  HWINEVENTHOOK hook =
      ::SetWinEventHook(EVENT_SYSTEM_ALERT, EVENT_SYSTEM_ALERT, nullptr, OnAlert, 0, 0, WINEVENT_OUTOFCONTEXT);
  if (!hook) return 1;
  std::printf("watching\n");
  std::fflush(stdout);
  PumpMessagesFor(ms);
  ::UnhookWinEvent(hook);
  ::CoUninitialize();
  return 0;
}

int CmdAcc(const std::vector<std::string>& args) {
  long index = 0;
  if (args.size() != 2 || !ParseInt(args[1].c_str(), &index) || index < 0) return Usage();
  std::vector<HWND> found = Find(args[0], nullptr, true);
  if (static_cast<std::size_t>(index) >= found.size()) return 1;
  ::CoInitialize(nullptr);
  IAccessible* acc = nullptr;
  int rc = 1;
  if (SUCCEEDED(::AccessibleObjectFromWindow(found[static_cast<std::size_t>(index)], static_cast<DWORD>(OBJID_CLIENT),
                                             kIidAccessible, reinterpret_cast<void**>(&acc))) && acc) {
    PrintAccessible(acc, CHILDID_SELF, "");
    long children = 0;
    acc->get_accChildCount(&children);
    for (long i = 1; i <= children; ++i) {
      std::string prefix = "child " + std::to_string(i) + " ";
      PrintAccessible(acc, i, prefix.c_str());
    }
    acc->Release();
    rc = 0;
  }
  ::CoUninitialize();
  return rc;
}

LRESULT CALLBACK FullScreenProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(window, &ps);
    ::FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(::GetStockObject(DKGRAY_BRUSH)));
    ::EndPaint(window, &ps);
    return 0;
  }
  return ::DefWindowProcA(window, message, wParam, lParam);
}

int CmdFullScreen(const std::string& msText) {
  long ms = 0;
  if (!ParseInt(msText.c_str(), &ms)) return Usage();
  WNDCLASSA wc{};
  wc.lpfnWndProc = FullScreenProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.lpszClassName = "FonctlFullScreen";
  ::RegisterClassA(&wc);
  HWND window = ::CreateWindowExA(0, wc.lpszClassName, "Slide show", WS_POPUP | WS_VISIBLE, 0, 0,
                                  ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                  wc.hInstance, nullptr);
  if (!window) return 1;
  // "shown" only once the window is in front, as a slide show is.
  for (int i = 0; i < 200 && ::GetForegroundWindow() != window; ++i) {
    ::SetForegroundWindow(window);
    MSG pending{};
    while (::PeekMessageA(&pending, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&pending);
    ::Sleep(10);
  }
  std::printf(::GetForegroundWindow() == window ? "shown\n" : "not in front\n");
  std::fflush(stdout);
  PumpMessagesFor(ms);
  ::DestroyWindow(window);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  std::string command = argv[1];
  std::vector<std::string> args(argv + 2, argv + argc);
  long value = 0;

  if (command == "windows") return CmdWindows();
  if (command == "wait-window") return CmdWait(args, false);
  if (command == "wait-gone") return CmdWait(args, true);
  if (command == "tray" && args.size() == 1) return CmdTray(args[0]);
  if (command == "hotkey" && args.size() <= 1) {
    value = kHotkeyDialout;
    if (args.size() == 1 && !ParseInt(args[0].c_str(), &value)) return Usage();
    return CmdPostToFrame(WM_HOTKEY, static_cast<WPARAM>(value), MAKELPARAM(0, VK_F8));
  }
  if (command == "hotkey-timed") return CmdHotkeyTimed(args);
  if (command == "command" && args.size() == 1 && ParseInt(args[0].c_str(), &value)) {
    return CmdPostToFrame(WM_COMMAND, static_cast<WPARAM>(value), 0);
  }
  if (command == "close" && args.empty()) return CmdPostToFrame(WM_CLOSE, 0, 0);
  if (command == "click") return CmdClick(args, false);
  if (command == "dblclick") return CmdClick(args, true);
  if (command == "dlg-set") return CmdDlgSet(args);
  if (command == "dlg-click") return CmdDlgClick(args);
  if (command == "dlg-text") return CmdDlgText(args);
  if (command == "dlg-check") return CmdDlgCheck(args);
  if (command == "dlg-choose") return CmdDlgChoose(args);
  if (command == "dlg-state") return CmdDlgState(args);
  long x = 0, y = 0;
  if (command == "cursor" && args.size() == 2 && ParseInt(args[0].c_str(), &x) && ParseInt(args[1].c_str(), &y))
    return ::SetCursorPos(static_cast<int>(x), static_cast<int>(y)) ? 0 : 1;
  // WM_WTSSESSION_CHANGE with WTS_SESSION_LOCK (7) or WTS_SESSION_UNLOCK (8).
  if (command == "session" && args.size() == 1 && (args[0] == "lock" || args[0] == "unlock"))
    return CmdPostToFrame(0x02B1, args[0] == "lock" ? 7 : 8, 0);
  if (command == "dlg-hotkey") return CmdDlgHotkey(args);
  if (command == "end-session" && args.empty()) return CmdPostToFrame(WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  if (command == "clip-get" && args.empty()) return CmdClipGet();
  if (command == "clip-set" && args.size() == 1) return CmdClipSet(args[0]);
  if (command == "clip-set-rich" && args.size() == 1) return CmdClipSetRich(args[0]);
  if (command == "clip-formats" && args.empty()) return CmdClipFormats();
  if (command == "focus" && args.empty()) return CmdFocus();
  if (command == "menu-pick" && args.size() == 1) return CmdMenuPick(args[0]);
  if (command == "file-version" && args.size() == 1) return CmdFileVersion(args[0]);
  if (command == "manifest" && args.size() == 1) return CmdManifest(args[0]);
  if (command == "dpi" && args.size() == 1) return CmdDpi(args[0]);
  if (command == "text-fit" && args.size() == 1) return CmdTextFit(args[0]);
  if (command == "fullscreen" && args.size() == 1) return CmdFullScreen(args[0]);
  if (command == "alert-watch" && args.size() == 1) return CmdAlertWatch(args[0]);
  if (command == "acc") return CmdAcc(args);
  if (command == "notification-state" && args.empty()) {
    QUERY_USER_NOTIFICATION_STATE state{};
    HRESULT hr = ::SHQueryUserNotificationState(&state);
    std::printf("0x%08lx %d\n", static_cast<unsigned long>(hr), static_cast<int>(state));
    return SUCCEEDED(hr) ? 0 : 1;
  }
  return Usage();
}
