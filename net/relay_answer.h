#pragma once

#include <string>
#include <string_view>

namespace fon {

// A relay answer split at its first "|".
struct RelayStatus {
  std::string status;  // text before the first "|", or the whole answer
  std::string rest;    // text after the first "|", or the whole answer
  bool ok;             // status is exactly "+OK"
};

RelayStatus SplitRelayAnswer(std::string_view answer);

}  // namespace fon
