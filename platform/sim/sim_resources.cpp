#include "platform/sim/sim_resources.h"

namespace fon::sim {
namespace {

struct StringRow {
  int id;
  const char* text;
};

// The same bytes the executable's string table holds.
constexpr StringRow kStringTable[] = {
#include "res/string_table.inc"
};

}  // namespace

std::string SimResources::LoadString(int id) {
  auto extra = extraStrings.find(id);
  if (extra != extraStrings.end()) return extra->second;
  for (const auto& row : kStringTable)
    if (row.id == id) return row.text;
  return std::string();
}

}  // namespace fon::sim
