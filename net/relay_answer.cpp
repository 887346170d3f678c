#include "net/relay_answer.h"

namespace fon {

RelayStatus SplitRelayAnswer(std::string_view answer) {
  RelayStatus result{std::string(answer), std::string(answer), false};
  const std::size_t bar = answer.find('|');
  if (bar != std::string_view::npos) {
    result.status = std::string(answer.substr(0, bar));
    result.rest = std::string(answer.substr(bar + 1));
  }
  result.ok = result.status == "+OK";
  return result;
}

}  // namespace fon
