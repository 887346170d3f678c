// The program's own resources beyond windows and skins: the string table.
#pragma once

#include <string>

namespace fon {

class IResources {
 public:
  virtual ~IResources() = default;
  // A string-table entry as stored; empty when there is none.
  virtual std::string LoadString(int id) = 0;
};

}  // namespace fon
