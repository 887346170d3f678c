// The string table of the executable, compiled in.
#pragma once

#include <map>
#include <string>

#include "platform/resources.h"

namespace fon::sim {

class SimResources : public IResources {
 public:
  std::string LoadString(int id) override;
  std::map<int, std::string> extraStrings;  // overrides of string-table entries

 protected:
  ~SimResources() override = default;
};

}  // namespace fon::sim
