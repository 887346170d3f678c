// The contract harness on the Win32 layer: real time, plain loopback sockets
// as servers, a scratch key in the user's hive.
#include "harness.h"
#include "platform/win32/win32_handles.h"
#include "test_support.h"

#include <vector>

namespace fon::contract {
namespace {

using win32::UniqueSocket;

UniqueSocket BoundListener(int backlog, int* port) {
  UniqueSocket socket(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
  ::bind(socket.Get(), reinterpret_cast<sockaddr*>(&address), sizeof(address));
  ::listen(socket.Get(), backlog);
  int size = sizeof(address);
  ::getsockname(socket.Get(), reinterpret_cast<sockaddr*>(&address), &size);
  *port = ::ntohs(address.sin_port);
  return socket;
}

class Win32Peer final : public Peer {
 public:
  explicit Win32Peer(UniqueSocket socket) : socket_(std::move(socket)) {
    u_long nonBlocking = 1;
    ::ioctlsocket(socket_.Get(), FIONBIO, &nonBlocking);
  }
  void Send(const std::string& bytes) override {
    ::send(socket_.Get(), bytes.data(), static_cast<int>(bytes.size()), 0);
  }
  void Close() override { socket_.Reset(); }
  std::string Received() override {
    char buffer[4096];
    int n = 0;
    while (socket_ && (n = ::recv(socket_.Get(), buffer, sizeof(buffer), 0)) > 0)
      received_.append(buffer, static_cast<std::size_t>(n));
    return received_;
  }

 private:
  UniqueSocket socket_;
  std::string received_;
};

// Connections wait in the backlog until accepted, so one thread can play
// both ends.
class Win32Listener final : public Listener {
 public:
  Win32Listener() : socket_(BoundListener(8, &port_)) {}
  int Port() const override { return port_; }
  std::unique_ptr<Peer> Accept() override {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(socket_.Get(), &set);
    timeval wait{1, 0};
    if (::select(0, &set, nullptr, nullptr, &wait) != 1) return nullptr;
    UniqueSocket peer(::accept(socket_.Get(), nullptr, nullptr));
    if (!peer) return nullptr;
    return std::make_unique<Win32Peer>(std::move(peer));
  }

 private:
  int port_ = 0;
  UniqueSocket socket_;
};

class Win32Harness final : public Harness {
 public:
  Win32Harness()
      : platform_(win32::testing::MakePlatform()),
        scratch_("Software\\FonarisContract\\" + std::to_string(::GetCurrentProcessId())) {}
  ~Win32Harness() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, scratch_.c_str()); }

  IPlatform& Platform() override { return *platform_; }
  std::unique_ptr<Listener> Listen(bool /*reads*/) override {
    // A server that never reads is one that is never asked to.
    return std::make_unique<Win32Listener>();
  }
  int RefusedPort() override {
    int port = 0;
    BoundListener(1, &port);  // bound once, then closed: nobody listens there now
    return port;
  }
  int SilentPort() override {
    // A listener whose backlog is full drops further connection requests:
    // the client's system retries them for a long while.
    int port = 0;
    silent_ = BoundListener(0, &port);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
    address.sin_port = ::htons(static_cast<u_short>(port));
    for (int i = 0; i < 4; ++i) {
      UniqueSocket filler(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
      u_long nonBlocking = 1;
      ::ioctlsocket(filler.Get(), FIONBIO, &nonBlocking);
      ::connect(filler.Get(), reinterpret_cast<sockaddr*>(&address), sizeof(address));
      fillers_.push_back(std::move(filler));
    }
    ::Sleep(100);
    return port;
  }
  void Settle() override { ::Sleep(100); }
  bool RunUntil(const std::function<bool()>& done, unsigned timeoutMs) override {
    return win32::testing::RunUntilOr(*platform_, done, timeoutMs);
  }
  std::string ScratchKey() override { return scratch_ + "\\Fonaris"; }
  void Click(IDialogWindow& dialog, int id) override {
    // BM_CLICK does what a mouse click does: an auto check box toggles,
    // then the dialog is told.
    // The system sends a disabled control no mouse input at all.
    HWND control = ::GetDlgItem(win32::ToHwnd(dialog.Handle()), id);
    if (::IsWindowEnabled(control)) ::SendMessageA(control, BM_CLICK, 0, 0);
  }
  void Choose(IDialogWindow& dialog, int id, int index) override {
    HWND window = win32::ToHwnd(dialog.Handle());
    HWND combo = ::GetDlgItem(window, id);
    ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    // What a combo box sends when the user picks an entry.
    ::SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
  }
  int FocusedControl(IDialogWindow& dialog) override {
    HWND window = win32::ToHwnd(dialog.Handle());
    HWND focus = ::GetFocus();
    // The edit inside an editable combo box stands for the combo box.
    while (focus && ::GetParent(focus) != window) focus = ::GetParent(focus);
    return focus ? ::GetDlgCtrlID(focus) : 0;
  }

 private:
  std::unique_ptr<win32::Win32Platform> platform_;
  std::string scratch_;
  UniqueSocket silent_;
  std::vector<UniqueSocket> fillers_;
};

}  // namespace

std::unique_ptr<Harness> MakeHarness() { return std::make_unique<Win32Harness>(); }

}  // namespace fon::contract
