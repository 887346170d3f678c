#include "platform/sim/sim_input.h"

namespace fon::sim {

bool SimInput::RegisterHotKey(int id, unsigned modifiers, unsigned virtualKey) {
  for (const auto& [otherId, combo] : desktop_->hotkeysTakenByOthers) {
    (void)otherId;
    if (combo.first == modifiers && combo.second == virtualKey) return false;
  }
  if (hotkeys.count(id)) return false;
  hotkeys[id] = {modifiers, virtualKey};
  return true;
}

void SimInput::SendCopyKeys() {
  ++copyKeyPresses;
  if (onCopyKeys) onCopyKeys();
}

}  // namespace fon::sim
