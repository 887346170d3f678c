#include "profiles/list_parsers.h"

#include "common/c_atoi.h"

namespace fon {

namespace {

// Walks "|"-separated fields without copying them; a trailing bar yields a
// last empty field, and no field at all is left once the text is used up.
class FieldReader {
 public:
  explicit FieldReader(std::string_view text) : text_(text) {}
  bool Next(std::string_view& field) {
    if (done_) return false;
    const std::size_t bar = text_.find('|', pos_);
    if (bar == std::string_view::npos) {
      field = text_.substr(pos_);
      done_ = true;
    } else {
      field = text_.substr(pos_, bar - pos_);
      pos_ = bar + 1;
    }
    return true;
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
  bool done_ = false;
};

}  // namespace

void ParseProfileList(std::string_view rest, CIdStringList& profiles) {
  FieldReader fields(rest);
  std::string_view id;
  std::string_view name;
  while (fields.Next(id) && fields.Next(name) && !name.empty())
    profiles.AddHead(0, Atoi(id), std::string(name));
}

std::optional<int> ParseDeviceList(std::string_view rest, CIdStringList& devices) {
  if (rest.find('|') == std::string_view::npos) return std::nullopt;
  FieldReader fields(rest);
  std::string_view mode;
  fields.Next(mode);
  std::string_view ignored;
  std::string_view device;
  while (fields.Next(ignored) && fields.Next(device) && !device.empty())
    devices.AddHead(0, 0, std::string(device));
  return Atoi(mode);
}

std::string ParseActiveForcedProfile(std::string_view answer) {
  const std::size_t bar = answer.find('|');
  if (bar == std::string_view::npos) return std::string();
  std::string_view profile = answer.substr(bar + 1);
  // "+OK|+OK" is read as no profile as well.
  if (profile == "+OK") return std::string();
  return std::string(profile);
}

}  // namespace fon
