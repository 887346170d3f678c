// The clipboard in memory; another application may hold it open.
#pragma once

#include <optional>
#include <string>

#include "platform/clipboard.h"

namespace fon::sim {

class SimClipboard final : public IClipboard {
 public:
  bool Open() override {
    // Opening again while open is the same session, as for the system.
    if (lockedByOther) return false;
    open = true;
    return true;
  }
  void Close() override { open = false; }
  bool Empty() override {
    if (!open) return false;
    text.reset();
    ++sequence;
    return true;
  }
  std::optional<std::string> GetText() override { return open ? text : std::nullopt; }
  bool SetText(const std::string& t) override {
    if (!open) return false;
    text = t;
    ++sequence;
    return true;
  }
  unsigned SequenceNumber() override { return sequence; }
  // Another program puts `t` on the clipboard (or empties it).
  void CopyFromOther(std::optional<std::string> t) {
    text = std::move(t);
    ++sequence;
  }
  bool open = false;
  bool lockedByOther = false;
  std::optional<std::string> text;
  unsigned sequence = 1;
};

}  // namespace fon::sim
