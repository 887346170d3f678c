// The soundness of a client's popup stack, shared by the tests and the fuzz
// target: at most five popup windows alive, every slot holding a popup and
// listed once, links mutual, leading only to the stack's own popups and
// never round in a loop.
#pragma once

#include <string>

#include "calls/popup_stack.h"

namespace fon::test {

// Empty when the stack is sound, otherwise what is wrong with it.
inline std::string PopupStackFault(const CPopupStack& stack, int windowsAlive) {
  auto owned = [&](const CPopup* p) {
    for (int slot = 0; slot < kPopupSlots; ++slot)
      if (stack.PopupInSlot(slot) == p) return true;
    return false;
  };
  if (windowsAlive > kPopupSlots) return std::to_string(windowsAlive) + " popup windows";
  if (stack.Slots().GetCount() != kPopupSlots) return "slot list of " + std::to_string(stack.Slots().GetCount());
  for (int slot = 0; slot < kPopupSlots; ++slot) {
    const std::string where = " at slot " + std::to_string(slot);
    const CPopup* p = stack.PopupInSlot(slot);
    if (p == nullptr) return "no popup" + where;
    if (p->m_pOlder && (!owned(p->m_pOlder) || p->m_pOlder->m_pNewer != p)) return "bad older link" + where;
    if (p->m_pNewer && (!owned(p->m_pNewer) || p->m_pNewer->m_pOlder != p)) return "bad newer link" + where;
    int steps = 0;
    for (const CPopup* q = p; q && steps <= kPopupSlots; q = q->m_pOlder) ++steps;
    if (steps > kPopupSlots) return "loop" + where;
  }
  return std::string();
}

}  // namespace fon::test
