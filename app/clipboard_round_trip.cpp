#include "app/clipboard_round_trip.h"

using namespace fon;

namespace {

// The clipboard sends no message to a program that does not own it, so its
// sequence number is looked at on a short timer.
constexpr unsigned kPollTimer = 1;
constexpr unsigned kPollMs = 5;

}  // namespace

CClipboardRoundTrip::CClipboardRoundTrip(IPlatform& platform, CClipboardRoundTrip*& current)
    : platform_(platform), current_(current), outer_(current) {
  current_ = this;
  const unsigned now = platform_.Clipboard().SequenceNumber();
  // Copied anew while the outer trip's dialog was open: the outer trip must
  // not take it away at its end; this trip keeps it.
  if (outer_ && now != outer_->restorePoint_) outer_->givesBack_ = false;
  TrySave();
  beforeCopy_ = restorePoint_ = platform_.Clipboard().SequenceNumber();
}

CClipboardRoundTrip::~CClipboardRoundTrip() {
  platform_.Timers().KillTimer(this, kPollTimer);
  const bool changed = platform_.Clipboard().SequenceNumber() != restorePoint_;
  if (!changed && givesBack_) GiveBack();
  if (outer_) {
    // What this trip left is the client's own doing; a copy of the user's
    // is not.
    if (changed) outer_->givesBack_ = false;
    outer_->restorePoint_ = platform_.Clipboard().SequenceNumber();
  }
  current_ = outer_;
}

void CClipboardRoundTrip::GiveBack() {
  if (!saved_) return;  // nothing could be kept: the clipboard stays as it is
  IClipboard& clipboard = platform_.Clipboard();
  if (!clipboard.Open()) return;
  clipboard.Empty();
  for (const ClipboardItem& item : *saved_) clipboard.SetData(item.format, item.data);
  clipboard.Close();
}

bool CClipboardRoundTrip::TrySave() {
  IClipboard& clipboard = platform_.Clipboard();
  if (saved_) return true;
  if (!clipboard.Open()) return false;
  saved_ = clipboard.GetAll();
  clipboard.Empty();
  clipboard.Close();
  return true;
}

bool CClipboardRoundTrip::TryRead(std::optional<std::string>* text) {
  IClipboard& clipboard = platform_.Clipboard();
  if (!clipboard.Open()) return false;
  *text = clipboard.GetText();
  clipboard.Close();
  // Reading may have made the copying program render its data: the
  // clipboard as it is now is the client's starting point.
  restorePoint_ = clipboard.SequenceNumber();
  return true;
}

bool CClipboardRoundTrip::Pause(unsigned ms) {
  const std::uint64_t deadline = platform_.Loop().NowMs() + ms;
  bool running = PumpUntil([&] {
    TrySave();
    return platform_.Loop().NowMs() >= deadline;
  });
  beforeCopy_ = restorePoint_ = platform_.Clipboard().SequenceNumber();
  return running;
}

bool CClipboardRoundTrip::ReadSelection(unsigned ms, std::optional<std::string>* text) {
  IClipboard& clipboard = platform_.Clipboard();
  const std::uint64_t deadline = platform_.Loop().NowMs() + ms;
  bool read = false;
  // The copying program raises the sequence number at its EmptyClipboard
  // and holds the clipboard open until it has put everything on it: the
  // selection can be read once the clipboard opens again.
  bool running = PumpUntil([&] {
    if (clipboard.SequenceNumber() != beforeCopy_ && TryRead(text)) return read = true;
    return platform_.Loop().NowMs() >= deadline;
  });
  if (running && !read && clipboard.SequenceNumber() == beforeCopy_) TryRead(text);
  return running;
}

bool CClipboardRoundTrip::PumpUntil(const std::function<bool()>& done) {
  if (done()) return true;
  platform_.Timers().SetTimer(this, kPollTimer, kPollMs);
  bool running = platform_.Loop().RunUntil(done);
  platform_.Timers().KillTimer(this, kPollTimer);
  return running;
}

// The timer only wakes the waiting loop, which looks at the clipboard.
void CClipboardRoundTrip::OnTimer(unsigned) {}
