// The few services the portable core takes from the operating system.
//
// Everything the client needs from Windows goes through these interfaces, so
// that the same core runs as fonaris.exe (platform/win32) and inside native
// scenario tests on a virtual clock (platform/sim). Text is single-byte ANSI
// (Windows-1252) throughout; std::string holds raw bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace fon {

using WindowHandle = std::uintptr_t;  // opaque; 0 = none

struct Point {
  int x = 0;
  int y = 0;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
};

// ---------------------------------------------------------------- timers ----

// An object that owns window timers (the frame, a popup, a dialog). Ids are
// per owner, as window timers are per window.
class TimerSink {
 public:
  virtual void OnTimer(unsigned id) = 0;

 protected:
  ~TimerSink() = default;
};

class ITimers {
 public:
  virtual ~ITimers() = default;
  // Starts or restarts timer `id` of `sink`; repeats every `ms` until killed.
  virtual void SetTimer(TimerSink* sink, unsigned id, unsigned ms) = 0;
  virtual void KillTimer(TimerSink* sink, unsigned id) = 0;
  // Every timer of a sink that goes away.
  virtual void KillAllTimers(TimerSink* sink) = 0;
  virtual bool IsTimerRunning(TimerSink* sink, unsigned id) const = 0;
};

// ------------------------------------------------------------ event loop ----

class IEventLoop {
 public:
  virtual ~IEventLoop() = default;
  // Runs a nested message loop until `done` returns true (checked after
  // every dispatched event) or the application quits. Returns false when the
  // loop ended because of a quit request.
  virtual bool RunUntil(const std::function<bool()>& done) = 0;
  // Blocks the user-interface thread; nothing is dispatched meanwhile.
  virtual void Sleep(unsigned ms) = 0;
  // Runs `task` from the message loop soon, after the current event returns.
  virtual void Post(std::function<void()> task) = 0;
  // Milliseconds of a monotonic clock.
  virtual std::uint64_t NowMs() const = 0;
  // Current local time in the C runtime's ctime() layout, newline included.
  virtual std::string CtimeNow() const = 0;
  // Ends the outermost message loop (the main window was destroyed).
  virtual void Quit(int code) = 0;
};

// --------------------------------------------------------------- sockets ----

// Notifications of a socket; they arrive from the message loop.
class ISocketEvents {
 public:
  virtual void OnConnect(int error) = 0;
  virtual void OnReceive(int error) = 0;
  virtual void OnClose(int error) = 0;

 protected:
  ~ISocketEvents() = default;
};

class ISocket {
 public:
  virtual ~ISocket() = default;
  // Starts a connect; the outcome arrives in OnConnect. Returns 0 when the
  // attempt is under way, else a Windows Sockets error code (empty or
  // unresolvable host, port out of range, ...) and no notification follows.
  virtual int ConnectAsync(const std::string& host, int port) = 0;
  // Connects and waits, keeping the message loop running, at most
  // `timeoutMs`. Returns 0 or an error code (WSAETIMEDOUT for the bound).
  // The outcome is only this result: no OnConnect notification follows.
  virtual int ConnectBlocking(const std::string& host, int port, unsigned timeoutMs) = 0;
  // Sends every byte, keeping the message loop running while the peer does
  // not take them, at most `timeoutMs`. Returns 0 or an error code.
  virtual int SendAll(const char* data, std::size_t len, unsigned timeoutMs) = 0;
  // Reads what is there without blocking: bytes read, 0 at end of stream,
  // -1 on error (see LastError).
  virtual int Receive(char* buf, int len) = 0;
  virtual void ShutdownSend() = 0;
  // Closes the handle; no notification follows.
  virtual void Close() = 0;
  virtual int LastError() const = 0;
};

class INetwork {
 public:
  virtual ~INetwork() = default;
  // A stream socket with all notifications going to `events`. On failure
  // returns nullptr and stores the Windows Sockets error in *error.
  virtual std::unique_ptr<ISocket> CreateSocket(ISocketEvents* events, int* error) = 0;
  virtual int LastError() const = 0;
};

// ------------------------------------------------------------- registry -----

enum RegType : std::uint32_t { kRegNone = 0, kRegSz = 1, kRegExpandSz = 2, kRegBinary = 3, kRegDword = 4 };

// The per-user registry hive, reduced to what the settings store needs.
// Results are Windows error codes (0 = success).
class IRegistry {
 public:
  virtual ~IRegistry() = default;
  virtual long CreateKey(const std::string& path) = 0;
  // Opens the key for reading and writing and closes it again.
  virtual long OpenKey(const std::string& path) = 0;
  // Reads a value into `data` (raw bytes, terminator included as stored).
  // A value larger than `bufferSize` gives ERROR_MORE_DATA (234).
  virtual long QueryValue(const std::string& path, const std::string& name, std::uint32_t* type,
                          std::string* data, std::size_t bufferSize) = 0;
  virtual long SetValue(const std::string& path, const std::string& name, std::uint32_t type,
                        const std::string& data) = 0;
};

// ------------------------------------------------------ desktop & shell -----

enum TrayMessage { kTrayAdd = 0, kTrayModify = 1, kTrayDelete = 2 };

// Mouse messages of the tray icon callback.
enum : unsigned {
  kWmLButtonDown = 0x0201,
  kWmLButtonUp = 0x0202,
  kWmLButtonDblClk = 0x0203,
  kWmRButtonDown = 0x0204,
  kWmRButtonUp = 0x0205,
};

class IShell {
 public:
  virtual ~IShell() = default;
  // Shell_NotifyIcon for icon id 1 of the frame window.
  virtual bool NotifyIcon(int message, int iconResource, const std::string& tip) = 0;
  virtual bool RegisterHotKey(int id, unsigned modifiers, unsigned virtualKey) = 0;
  virtual void UnregisterHotKey(int id) = 0;
  // Shows a tray menu resource at a screen point and returns the chosen
  // command (0 when dismissed). Runs a nested loop while the menu is open.
  virtual int TrackTrayMenu(int menuResource, Point at) = 0;
  virtual WindowHandle GetForegroundWindow() = 0;
  virtual bool SetForegroundWindow(WindowHandle window) = 0;
  virtual Point GetCursorPos() = 0;
  virtual unsigned GetDoubleClickTime() = 0;
  // True when the key was pressed since the previous query (the low bit of
  // GetAsyncKeyState), not while it is merely held down.
  virtual bool IsKeyDown(int virtualKey) = 0;
  // Makes the foreground application copy its selection (Ctrl+C strokes).
  virtual void SendCopyKeys() = 0;
  // Opens an address in a new browser window. The address is only ever an
  // argument to the browser, never a command.
  virtual void OpenInBrowser(const std::string& address) = 0;
  // The taskbar window's rectangle; false when there is none.
  virtual bool GetTaskbarRect(Rect* rect) = 0;
  virtual int ScreenWidth() = 0;
  virtual Rect WorkArea() = 0;
  // Creates the named single-instance mutex (owned for the process life).
  // Returns true when another process had already created it.
  virtual bool CreateInstanceMutex(const std::string& name) = 0;
  virtual void MessageBox(const std::string& text, const std::string& caption) = 0;
  virtual std::string LoadString(int id) = 0;
  virtual std::string UserName() = 0;
  virtual std::string ModulePath() = 0;
};

class IClipboard {
 public:
  virtual ~IClipboard() = default;
  virtual bool Open() = 0;
  virtual void Close() = 0;
  virtual bool Empty() = 0;
  virtual std::optional<std::string> GetText() = 0;
  virtual bool SetText(const std::string& text) = 0;
};

// --------------------------------------------------------------- windows ----

// Messages the hidden main frame receives.
class IFrameEvents {
 public:
  virtual void OnTrayNotify(unsigned mouseMessage) = 0;
  virtual void OnHotKey(int id) = 0;
  virtual void OnCommand(int id) = 0;
  virtual void OnClose() = 0;
  virtual void OnSize(int sizeType) = 0;
  // The shell (re)created its taskbar: the tray icon must be added again.
  virtual void OnTaskbarCreated() = 0;

 protected:
  ~IFrameEvents() = default;
};

class IFrameWindow {
 public:
  virtual ~IFrameWindow() = default;
  virtual WindowHandle Handle() const = 0;
  // Shows or hides the frame window (without activating it).
  virtual void Show(bool visible) = 0;
  // Destroying the main frame ends the message loop and the process.
  virtual void Destroy() = 0;
};

// Painting state of a notification popup; the platform draws from it.
struct PopupLook {
  int skin = 0;                 // bitmap resource
  std::string text;             // message text
  std::string title;            // title band text
  std::string fontFace = "Arial";
  int fontTenthsPt = 75;
  int fontStyle = 0;            // bit 0 bold, bit 1 italic
  std::uint32_t textColor = 0;  // COLORREF
  Rect textRect;
  // DrawText flags: centred, word-wrapped, ellipsis at the end. DT_NOPREFIX
  // (0x800) as well: a caller named "Smith & Co" must not lose its "&" to
  // an underline.
  unsigned textFormat = 0x8815;
  unsigned titleFormat = 0x8814;
  int visibleWidth = 0;         // part of the skin shown (grows while appearing)
  int visibleHeight = 0;
};

class IPopupEvents {
 public:
  virtual void OnLButtonDown(int x, int y) = 0;
  virtual void OnLButtonDblClk(int x, int y) = 0;

 protected:
  ~IPopupEvents() = default;
};

class IPopupWindow {
 public:
  virtual ~IPopupWindow() = default;
  // Loads a skin; returns false when it does not exist. Size in *w, *h.
  virtual bool LoadSkin(int bitmap, int* width, int* height) = 0;
  virtual void SetLook(const PopupLook& look) = 0;
  // Topmost, never activated.
  virtual void Place(int x, int y, int width, int height) = 0;
  virtual void ShowNoActivate() = 0;
  virtual void Hide() = 0;
  virtual void Redraw() = 0;
  virtual WindowHandle Handle() const = 0;
};

class IDialogEvents {
 public:
  virtual void OnInitDialog() = 0;
  virtual void OnCommand(int id) = 0;

 protected:
  ~IDialogEvents() = default;
};

enum : int { kIdOk = 1, kIdCancel = 2 };

class IDialogWindow {
 public:
  virtual ~IDialogWindow() = default;
  virtual bool CreateModeless(int templateId, WindowHandle parent) = 0;
  // Runs the dialog in a nested loop until EndDialog; returns its code
  // (-1 when the template cannot be shown).
  virtual int DoModal(int templateId, WindowHandle parent) = 0;
  virtual void EndDialog(int code) = 0;
  virtual void SetItemText(int id, const std::string& text) = 0;
  virtual std::string GetItemText(int id) = 0;
  // Labels drawn transparently on the skin; white for titles on dark bands.
  virtual void SetLabelWhite(int id, bool white) = 0;
  virtual void Center() = 0;
  virtual void Show(bool visible) = 0;
  virtual void RedrawNow() = 0;
  virtual void BringToFront() = 0;
  virtual void Destroy() = 0;
  virtual WindowHandle Handle() const = 0;
};

// ----------------------------------------------------------- diagnostics ----

class IDebugOutput {
 public:
  virtual ~IDebugOutput() = default;
  // One debug text, exactly as given (OutputDebugStringA).
  virtual void Write(const std::string& text) = 0;
};

// ------------------------------------------------------------- aggregate ----

class IPlatform {
 public:
  virtual ~IPlatform() = default;
  virtual ITimers& Timers() = 0;
  virtual IEventLoop& Loop() = 0;
  virtual INetwork& Network() = 0;
  virtual IRegistry& Registry() = 0;
  virtual IShell& Shell() = 0;
  virtual IClipboard& Clipboard() = 0;
  virtual IDebugOutput& Debug() = 0;
  virtual std::unique_ptr<IFrameWindow> CreateFrameWindow(IFrameEvents* events) = 0;
  virtual std::unique_ptr<IPopupWindow> CreatePopupWindow(IPopupEvents* events, WindowHandle parent) = 0;
  virtual std::unique_ptr<IDialogWindow> CreateDialogWindow(IDialogEvents* events) = 0;
};

// Windows Sockets error codes the core refers to.
enum : int {
  kWsaEWouldBlock = 10035,
  kWsaEInval = 10022,
  kWsaETimedOut = 10060,
  kWsaEConnRefused = 10061,
  kWsaHostNotFound = 11001,
  kWsaENotConn = 10057,
};

}  // namespace fon
