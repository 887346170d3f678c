#include "platform/sim/sim_clipboard.h"

namespace fon::sim {

namespace {

// Where the system's numbers for named formats begin.
constexpr unsigned kFirstNamedFormat = 0xC000;

}  // namespace

unsigned SimClipboard::RegisterFormat(const std::string& name) {
  if (name.empty()) return 0;
  auto [it, added] = names_.emplace(name, kFirstNamedFormat + static_cast<unsigned>(names_.size()));
  return it->second;
}

std::optional<std::string> SimClipboard::GetData(unsigned format) {
  if (!open) return std::nullopt;
  for (const ClipboardItem& item : items)
    if (item.format == format) return item.data;
  return std::nullopt;
}

bool SimClipboard::SetData(unsigned format, const std::string& data) {
  if (!open) return false;
  ++sequence;
  for (ClipboardItem& item : items) {
    if (item.format == format) {
      item.data = data;
      return true;
    }
  }
  items.push_back({format, data});
  return true;
}

void SimClipboard::CopyFromOther(std::optional<std::string> t) {
  items.clear();
  if (t) items.push_back({kClipboardText, *t + '\0'});
  ++sequence;
}

std::optional<std::string> SimClipboard::Text() const {
  for (const ClipboardItem& item : items)
    if (item.format == kClipboardText) return item.data.substr(0, item.data.find('\0'));
  return std::nullopt;
}

}  // namespace fon::sim
