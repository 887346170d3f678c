// The dial-out hotkey: the selection of the foreground application reaches
// the client through the clipboard, whose text is given back afterwards.
#include <optional>

#include "app/clipboard_round_trip.h"
#include "app/main_frame.h"

using namespace fon;

namespace {

// Time for the hotkey's own keys to be released before the copy strokes,
// and the longest the foreground application may take to copy.
constexpr unsigned kBeforeCopyMs = 50;
constexpr unsigned kCopyTimeoutMs = 500;

}  // namespace

void CMainFrame::OnHotKey(int id) {
  // Messages flow while the copy is awaited; a second press then is the
  // same request.
  if (id != ID_HOTKEY_DIALOUT || hotkeyCopying_) return;
  if (DeferWhileSending(DeferredCommand::kHotkey, [this, id] { OnHotKey(id); })) return;
  hotkeyCopying_ = true;
  std::optional<std::string> selection;
  bool running = false;
  {
    CClipboardRoundTrip trip(platform_, clipboardTrip_);
    running = trip.Pause(kBeforeCopyMs);
    if (running) {
      platform_.Input().SendCopyKeys();
      running = trip.ReadSelection(kCopyTimeoutMs, &selection);
    }
    hotkeyCopying_ = false;
    RunDeferred();
    Debug("Hotkey selection: " + selection.value_or(std::string()) + "\n");
    if (running) RunDialoutDialog(selection.value_or(std::string()), true);
  }
}
