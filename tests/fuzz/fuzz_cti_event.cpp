// Feeds arbitrary CTI events, clicks, information popups and passing time
// to a started client on the simulation platform.
//
// Input: byte 0 chooses the user (1..9) and parent (0..3) ids, byte 1 a few
// settings; then records of an operation byte, a 12-bit little-endian length
// and that many payload bytes.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "app/main_frame.h"
#include "calls/popup.h"
#include "calls/popup_stack.h"
#include "platform/sim/sim_platform.h"
#include "settings/settings_store.h"
#include "tests/support/popup_stack_check.h"

namespace {

constexpr char kServer[] = "127.0.0.1";
constexpr int kCtiPort = 12346;
constexpr int kRelayPort = 12345;

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

void CheckPopups(fon::sim::SimPlatform& sim, CMainFrame& frame) {
  int windows = 0;
  for (const auto& record : sim.popups) windows += record->alive ? 1 : 0;
  Check(fon::test::PopupStackFault(frame.PopupStack(), windows).empty());
}

void Configure(fon::sim::SimPlatform& sim, std::uint8_t who, std::uint8_t flags) {
  auto& reg = sim.registry;
  reg.CreateKey(fon::kMainKey);
  reg.SetDword(fon::kMainKey, "User ID", 1 + who % 9);
  reg.SetDword(fon::kMainKey, "Parent User ID", (who / 9) % 4);
  reg.SetString(fon::kMainKey, "Server IP Address", kServer);
  reg.SetDword(fon::kMainKey, "Server Port", kCtiPort);
  reg.SetDword(fon::kMainKey, "Relay Port", kRelayPort);
  if (flags & 1)
    reg.SetString(fon::kMainKey, "CRM HTML Request",
                  "http://crm/?{CALLERNO}&{CALLERNAME}&{CALLEDNO}&{REDIRINFO}&{CALLID}&{CALLEDUSERID}"
                  "&{CALLEDPARENTUSERID}&{USERID}&{MTHOST}");
  if (flags & 2) {
    reg.SetString(fon::kColorsKey, "RED", "a");
    reg.SetString(fon::kColorsKey, "VIOLET", "0");
  }
  if (flags & 4) reg.SetDword(fon::kMainKey, "Language Index", 2);
  reg.SetDword(fon::kMainKey, "Display Time", (flags >> 3) & 3);
  switch ((flags >> 5) & 7) {
    case 1:
      sim.shell.taskbar = fon::Rect{0, 0, 1280, 30};
      break;
    case 2:
      sim.shell.taskbar = fon::Rect{0, 0, 60, 1024};
      break;
    case 3:
      sim.shell.taskbar = fon::Rect{1220, 0, 1280, 1024};
      break;
    case 4:
      sim.shell.taskbar.reset();
      break;
    default:
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  fon::sim::SimPlatform sim;
  Configure(sim, data[0], data[1]);
  sim.network.Listen(kServer, kCtiPort);
  sim.network.Listen(kServer, kRelayPort).onData = [](std::shared_ptr<fon::sim::SimConnection> c,
                                                      const std::string&) { c->Send("+OK"); };
  auto frame = std::make_unique<CMainFrame>(sim);
  if (frame->Create() != 0) return 0;
  sim.loop.RunFor(100);

  std::size_t at = 2;
  while (at + 3 <= size) {
    const std::uint8_t op = data[at];
    const unsigned length = (data[at + 1] | (data[at + 2] << 8)) & 0x0FFF;
    at += 3;
    const std::size_t take = std::min<std::size_t>(length, size - at);
    const std::string payload(reinterpret_cast<const char*>(data + at), take);
    at += take;
    switch (op % 5) {
      case 0:
        frame->OnCtiMessage(payload, sim.loop.CtimeNow());
        break;
      case 1:
        sim.loop.RunFor(length);
        break;
      case 2:
        if (CPopup* popup = frame->PopupStack().PopupInSlot(static_cast<int>(length % 5))) {
          const int x = static_cast<int>(length % 213);
          const int y = static_cast<int>((length / 213) % 120);
          if (op & 0x80)
            popup->OnLButtonDblClk(x, y);
          else
            popup->OnLButtonDown(x, y);
        }
        break;
      case 3:
        frame->ShowInfoPopup(static_cast<int>(length % 3), payload, static_cast<int>(length & 1));
        break;
      default:
        if (auto connection = sim.network.LastConnectionOnPort(kCtiPort); connection && !payload.empty()) {
          connection->Send(payload);
          sim.loop.RunFor(1);
        }
        break;
    }
    CheckPopups(sim, *frame);
  }
  sim.loop.RunFor(3000);
  CheckPopups(sim, *frame);
  return 0;
}
