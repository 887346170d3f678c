// The clipboard in memory; another application may hold it open.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

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
    items.clear();
    ++sequence;
    return true;
  }
  std::optional<std::string> GetText() override { return open ? Text() : std::nullopt; }
  bool SetText(const std::string& t) override { return SetData(kClipboardText, t + '\0'); }
  unsigned SequenceNumber() override { return sequence; }
  unsigned RegisterFormat(const std::string& name) override;
  std::optional<std::string> GetData(unsigned format) override;
  bool SetData(unsigned format, const std::string& data) override;
  std::vector<ClipboardItem> GetAll() override { return open ? items : std::vector<ClipboardItem>{}; }

  // Another program puts `t` on the clipboard as its text (or empties it).
  void CopyFromOther(std::optional<std::string> t);
  void CopyFromOther(std::vector<ClipboardItem> all) {
    items = std::move(all);
    ++sequence;
  }
  // The text format's data up to its terminator, whoever holds the clipboard.
  std::optional<std::string> Text() const;

  bool open = false;
  bool lockedByOther = false;
  std::vector<ClipboardItem> items;
  unsigned sequence = 1;

 private:
  std::map<std::string, unsigned> names_;
};

}  // namespace fon::sim
