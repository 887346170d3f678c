// The hotkey's way of reading the foreground application's selection: what
// the user had on the clipboard (every format) is kept, the application is
// made to copy, and the kept contents go back onto the clipboard when the
// round trip ends, whatever happened in between, unless somebody copied
// something new since the client last touched the clipboard: that stays.
//
// The frame must not sit in a blocking wait while it owns the emptied
// clipboard: the application's own EmptyClipboard sends the owner a
// message and waits for it, so a sleeping frame holds up the copy it is
// waiting for. Every wait here keeps messages flowing, and the clipboard is
// open only for the moments it is read or written.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

class CClipboardRoundTrip : public fon::TimerSink {
 public:
  // Keeps the clipboard's contents and empties it (a clipboard that another
  // program holds open is tried again during Pause). `current` is the
  // caller's note of the trip under way: a trip made while another one's
  // dialog is open nests in it, and the outer one gives back at the end.
  CClipboardRoundTrip(fon::IPlatform& platform, CClipboardRoundTrip*& current);
  // Gives the kept contents back, unless the clipboard changed since the
  // client's own last change of it.
  ~CClipboardRoundTrip();
  CClipboardRoundTrip(const CClipboardRoundTrip&) = delete;
  CClipboardRoundTrip& operator=(const CClipboardRoundTrip&) = delete;

  // Lets `ms` pass with messages flowing. False when the application is
  // quitting.
  bool Pause(unsigned ms);
  // Waits with messages flowing, at most `ms`, until some program has
  // changed the clipboard and closed it again, and reads its text into
  // `text` (none when it holds none or stays held open). False when
  // quitting.
  bool ReadSelection(unsigned ms, std::optional<std::string>* text);

  void OnTimer(unsigned id) override;

 private:
  bool PumpUntil(const std::function<bool()>& done);
  bool TrySave();
  bool TryRead(std::optional<std::string>* text);
  void GiveBack();

  fon::IPlatform& platform_;
  CClipboardRoundTrip*& current_;
  CClipboardRoundTrip* const outer_;
  std::optional<std::vector<fon::ClipboardItem>> saved_;
  // The clipboard's sequence number before the copy strokes, and after the
  // client's own last change (the point the contents are given back from).
  unsigned beforeCopy_ = 0;
  unsigned restorePoint_ = 0;
  // False once the user copied something of their own meanwhile.
  bool givesBack_ = true;
};
