// The hotkey's way of reading the foreground application's selection: the
// user's clipboard text is kept, the application is made to copy, and the
// kept text goes back onto the clipboard when the round trip ends, whatever
// happened in between.
//
// The frame must not sit in a blocking wait while it owns the emptied
// clipboard: the application's own EmptyClipboard sends the owner a
// message and waits for it, so a sleeping frame holds up the copy it is
// waiting for. Every wait here keeps messages flowing, and the clipboard is
// open only for the moments it is read or written.
#pragma once

#include <optional>
#include <string>

#include "platform/platform.h"

class CClipboardRoundTrip : public fon::TimerSink {
 public:
  // Keeps the clipboard's text and empties the clipboard. A clipboard that
  // another program holds open is left as it is.
  explicit CClipboardRoundTrip(fon::IPlatform& platform);
  // Gives the kept text back (an empty text when there was none).
  ~CClipboardRoundTrip();
  CClipboardRoundTrip(const CClipboardRoundTrip&) = delete;
  CClipboardRoundTrip& operator=(const CClipboardRoundTrip&) = delete;

  // Lets `ms` pass with messages flowing. False when the application is
  // quitting.
  bool Pause(unsigned ms);
  // Waits with messages flowing until some program has changed the
  // clipboard since it was emptied, at most `ms`. False when quitting.
  bool WaitForChange(unsigned ms);
  // The clipboard's text now (none when it holds no text or is held open
  // by another program); the clipboard is closed again at once.
  std::optional<std::string> ReadText();

  void OnTimer(unsigned id) override;

 private:
  bool PumpUntil(unsigned ms, bool stopOnChange);

  fon::IPlatform& platform_;
  std::string saved_;
  unsigned sequence_ = 0;
};
