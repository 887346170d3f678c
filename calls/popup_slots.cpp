#include "calls/popup_slots.h"

#include <memory>

#include "app/main_frame.h"
#include "calls/colour_rules.h"
#include "calls/popup.h"

namespace fon {

namespace {

constexpr int kNoColourRule = -1;

bool IsAliveSlot(CMainFrame& frame, int slot) {
  const CPopup* popup = PopupInSlot(frame, slot);
  return popup && popup->IsAlive();
}

// Puts `popup` on top of `older`. A popup that older had on top of it before
// is no longer alive (only alive popups are stacked on); it leaves the stack
// so that links stay mutual.
void StackOn(CPopup& popup, CPopup& older) {
  if (older.m_pNewer && older.m_pNewer != &popup && older.m_pNewer->m_pOlder == &older)
    older.m_pNewer->m_pOlder = nullptr;
  popup.m_pOlder = &older;
  older.m_pNewer = &popup;
}

// Stacks a fresh popup on the most recently shown popup that is still alive.
void LinkOnTop(CMainFrame& frame, CPopup& popup) {
  CIdStringList& slots = frame.m_lstPopupSlots;
  if (!IsAliveSlot(frame, slots.HeadId())) {
    int empty = 0;
    for (const auto& p : frame.m_apPopups)
      if (!p) ++empty;
    // Recently used slots whose popups are gone move to the tail, so that
    // they are the first to be taken again.
    while (empty < kPopupSlots && slots.GetCount() > 0) {
      const int head = slots.HeadId();
      slots.AddTail(0, head, std::string());
      slots.RemoveById(head);
      ++empty;
      if (IsAliveSlot(frame, slots.HeadId())) break;
    }
  }
  popup.m_pOlder = nullptr;
  if (IsAliveSlot(frame, slots.HeadId())) {
    CPopup* older = PopupInSlot(frame, slots.HeadId());
    if (older != &popup) StackOn(popup, *older);
  }
}

}  // namespace

CPopup* PopupInSlot(CMainFrame& frame, int slot) {
  if (slot < 0 || slot >= kPopupSlots) return nullptr;
  return frame.m_apPopups[static_cast<std::size_t>(slot)].get();
}

CPopup& TakePopupSlot(CMainFrame& frame) {
  CIdStringList& slots = frame.m_lstPopupSlots;
  // Between two popups the list holds all five slots; an emptied list is
  // refilled rather than read past its end.
  if (slots.GetCount() == 0) {
    for (int slot = 0; slot < kPopupSlots; ++slot) slots.AddHead(0, slot, std::string());
  }

  int chosen = slots.TailId();
  bool inStack = true;
  if (!PopupInSlot(frame, chosen)) {
    slots.TakeTail();
    inStack = false;
  } else if (IsAliveSlot(frame, chosen)) {
    // Walk the whole list once (it ends as it was), looking for the least
    // recently used popup that is no longer alive.
    int found = -1;
    const int count = slots.GetCount();
    for (int i = 0; i < count; ++i) {
      IdStringEntry entry = slots.TakeTail();
      if (found < 0 && PopupInSlot(frame, entry.nId) && !IsAliveSlot(frame, entry.nId)) found = entry.nId;
      slots.AddHead(entry.nData, entry.nId, std::move(entry.strText));
    }
    chosen = found >= 0 ? found : slots.TailId();
  }

  if (inStack) {
    slots.RemoveById(chosen);
    // The least recently used popup left has nothing older below it.
    if (CPopup* oldest = PopupInSlot(frame, slots.TailId()); oldest && oldest->m_pOlder) {
      if (oldest->m_pOlder->m_pNewer == oldest) oldest->m_pOlder->m_pNewer = nullptr;
      oldest->m_pOlder = nullptr;
    }
    if (CPopup* old = PopupInSlot(frame, chosen)) old->Unlink();
  }

  if (chosen < 0 || chosen >= kPopupSlots) chosen = 0;
  frame.m_nCurPopup = chosen;
  auto& entry = frame.m_apPopups[static_cast<std::size_t>(chosen)];
  entry.reset();
  entry = std::make_unique<CPopup>(frame.Platform());
  entry->Create(&frame, chosen);
  return *entry;
}

void ApplyPopupTextLook(CPopup& popup) {
  popup.SetTextFont("Arial", 75, 0);
  popup.SetTextColors(0);
  popup.SetTextRect(20, 55, popup.Width() - 20, popup.Height() - 15);
}

void SetUpPopup(CMainFrame& frame, CPopup& popup, const std::string* crmUrl) {
  popup.SetSkin(ColourSkinId(kNoColourRule, crmUrl != nullptr));
  if (crmUrl) popup.SetUrl(*crmUrl);
  ApplyPopupTextLook(popup);
  popup.m_pNewer = nullptr;
  LinkOnTop(frame, popup);
}

void ReturnPopupSlot(CMainFrame& frame, int slot) {
  frame.m_lstPopupSlots.AddHead(0, slot, std::string());
  ++frame.m_nPopupCount;
}

}  // namespace fon
