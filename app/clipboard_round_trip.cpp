#include "app/clipboard_round_trip.h"

using namespace fon;

namespace {

// The clipboard sends no message to a program that does not own it, so its
// sequence number is looked at on a short timer.
constexpr unsigned kPollTimer = 1;
constexpr unsigned kPollMs = 5;

}  // namespace

CClipboardRoundTrip::CClipboardRoundTrip(IPlatform& platform) : platform_(platform) {
  IClipboard& clipboard = platform_.Clipboard();
  if (clipboard.Open()) {
    saved_ = clipboard.GetText().value_or(std::string());
    clipboard.Empty();
    clipboard.Close();
  }
  sequence_ = clipboard.SequenceNumber();
}

CClipboardRoundTrip::~CClipboardRoundTrip() {
  platform_.Timers().KillTimer(this, kPollTimer);
  IClipboard& clipboard = platform_.Clipboard();
  if (clipboard.Open()) {
    clipboard.Empty();
    clipboard.SetText(saved_);
    clipboard.Close();
  }
}

bool CClipboardRoundTrip::Pause(unsigned ms) { return PumpUntil(ms, false); }

bool CClipboardRoundTrip::WaitForChange(unsigned ms) { return PumpUntil(ms, true); }

bool CClipboardRoundTrip::PumpUntil(unsigned ms, bool stopOnChange) {
  IClipboard& clipboard = platform_.Clipboard();
  const std::uint64_t deadline = platform_.Loop().NowMs() + ms;
  auto done = [&] {
    if (stopOnChange && clipboard.SequenceNumber() != sequence_) return true;
    return platform_.Loop().NowMs() >= deadline;
  };
  if (done()) return true;
  platform_.Timers().SetTimer(this, kPollTimer, kPollMs);
  bool running = platform_.Loop().RunUntil(done);
  platform_.Timers().KillTimer(this, kPollTimer);
  return running;
}

std::optional<std::string> CClipboardRoundTrip::ReadText() {
  IClipboard& clipboard = platform_.Clipboard();
  if (!clipboard.Open()) return std::nullopt;
  std::optional<std::string> text = clipboard.GetText();
  clipboard.Close();
  return text;
}

// The timer only wakes the waiting loop, which looks at the clipboard.
void CClipboardRoundTrip::OnTimer(unsigned) {}
