#include "calls/popup_stack.h"

#include "calls/colour_rules.h"

namespace fon {

void ApplyPopupTextLook(CPopup& popup) {
  popup.SetTextFont("Arial", 75, 0);
  popup.SetTextColors(0);
  popup.SetTextRect(20, 55, popup.Width() - 20, popup.Height() - 15);
}

}  // namespace fon

using namespace fon;

namespace {

constexpr int kNoColourRule = -1;

// Puts `popup` on top of `older`. A popup that older had on top of it before
// is no longer alive (only alive popups are stacked on); it leaves the stack
// so that links stay mutual.
void StackOn(CPopup& popup, CPopup& older) {
  if (older.m_pNewer && older.m_pNewer != &popup && older.m_pNewer->m_pOlder == &older)
    older.m_pNewer->m_pOlder = nullptr;
  popup.m_pOlder = &older;
  older.m_pNewer = &popup;
}

}  // namespace

CPopupStack::CPopupStack(IPlatform& platform, std::function<std::string(int)> texts,
                         std::function<WindowHandle()> ownerWindow)
    : platform_(platform), texts_(std::move(texts)), ownerWindow_(std::move(ownerWindow)) {
  for (auto& popup : m_apPopups) popup = std::make_unique<CPopup>(platform_);
  for (int slot = 0; slot < kPopupSlots; ++slot) m_lstPopupSlots.AddHead(0, slot, std::string());
}

CPopupStack::~CPopupStack() {
  // Popups unlink from each other as they go; older ones first is fine
  // because each keeps only plain pointers.
  for (auto& popup : m_apPopups) popup.reset();
}

CPopup* CPopupStack::PopupInSlot(int slot) const {
  if (slot < 0 || slot >= kPopupSlots) return nullptr;
  return m_apPopups[static_cast<std::size_t>(slot)].get();
}

bool CPopupStack::IsAliveSlot(int slot) const {
  const CPopup* popup = PopupInSlot(slot);
  return popup && popup->IsAlive();
}

// Stacks a fresh popup on the most recently shown popup that is still alive.
void CPopupStack::LinkOnTop(CPopup& popup) {
  CIdStringList& slots = m_lstPopupSlots;
  if (!IsAliveSlot(slots.HeadId())) {
    int empty = 0;
    for (const auto& p : m_apPopups)
      if (!p) ++empty;
    // Recently used slots whose popups are gone move to the tail, so that
    // they are the first to be taken again.
    while (empty < kPopupSlots && slots.GetCount() > 0) {
      const int head = slots.HeadId();
      slots.AddTail(0, head, std::string());
      slots.RemoveById(head);
      ++empty;
      if (IsAliveSlot(slots.HeadId())) break;
    }
  }
  popup.m_pOlder = nullptr;
  if (IsAliveSlot(slots.HeadId())) {
    CPopup* older = PopupInSlot(slots.HeadId());
    if (older != &popup) StackOn(popup, *older);
  }
}

CPopup& CPopupStack::TakeSlot() {
  CIdStringList& slots = m_lstPopupSlots;
  // Between two popups the list holds all five slots; an emptied list is
  // refilled rather than read past its end.
  if (slots.GetCount() == 0) {
    for (int slot = 0; slot < kPopupSlots; ++slot) slots.AddHead(0, slot, std::string());
  }

  int chosen = slots.TailId();
  bool inStack = true;
  if (!PopupInSlot(chosen)) {
    slots.TakeTail();
    inStack = false;
  } else if (IsAliveSlot(chosen)) {
    // Walk the whole list once (it ends as it was), looking for the least
    // recently used popup that is no longer alive.
    int found = -1;
    const int count = slots.GetCount();
    for (int i = 0; i < count; ++i) {
      IdStringEntry entry = slots.TakeTail();
      if (found < 0 && PopupInSlot(entry.nId) && !IsAliveSlot(entry.nId)) found = entry.nId;
      slots.AddHead(entry.nData, entry.nId, std::move(entry.strText));
    }
    chosen = found >= 0 ? found : slots.TailId();
  }

  if (inStack) {
    slots.RemoveById(chosen);
    // The least recently used popup left has nothing older below it.
    if (CPopup* oldest = PopupInSlot(slots.TailId()); oldest && oldest->m_pOlder) {
      if (oldest->m_pOlder->m_pNewer == oldest) oldest->m_pOlder->m_pNewer = nullptr;
      oldest->m_pOlder = nullptr;
    }
    if (CPopup* old = PopupInSlot(chosen)) old->Unlink();
  }

  if (chosen < 0 || chosen >= kPopupSlots) chosen = 0;
  m_nCurPopup = chosen;
  auto& entry = m_apPopups[static_cast<std::size_t>(chosen)];
  entry.reset();
  entry = std::make_unique<CPopup>(platform_);
  entry->Create(this, chosen);
  return *entry;
}

void CPopupStack::SetUp(CPopup& popup, const std::string* crmUrl) {
  popup.SetSkin(ColourSkinId(kNoColourRule, crmUrl != nullptr));
  if (crmUrl) popup.SetUrl(*crmUrl);
  ApplyPopupTextLook(popup);
  popup.m_pNewer = nullptr;
  LinkOnTop(popup);
}

void CPopupStack::ReturnSlot(int slot) {
  m_lstPopupSlots.AddHead(0, slot, std::string());
  ++m_nPopupCount;
}

void CPopupStack::MakeSticky(CPopup& popup, int slot) {
  if (CPopup* previous = PopupInSlot(m_nStickyPopup); previous && previous->m_bSticky) previous->ClosePopup();
  popup.m_nStayLeft = kPopupStayPinnedMs;
  popup.m_bSticky = 1;
  m_nStickyPopup = slot;
}

void CPopupStack::CutStickyStay(int ms) {
  // Only the sticky information popup: a popup that took its slot since,
  // or one the user pinned with a click, keeps its time.
  CPopup* sticky = PopupInSlot(m_nStickyPopup);
  if (sticky && sticky->m_bSticky && sticky->m_nStayLeft > ms) sticky->m_nStayLeft = ms;
}

void CPopupStack::ShowAgain() {
  // Slots are reused out of order, so every slot is looked at; a popup that
  // is not on screen ignores the request.
  if (m_nPopupCount == 0) return;
  for (auto& popup : m_apPopups)
    if (popup) popup->ShowNoActivate();
}

void CPopupStack::RememberCall(const std::string& callerName, const std::string& callerNo,
                               const std::string& calledNo, const std::string& time) {
  m_strLastCallerName = callerName;
  m_strLastCallerNo = callerNo;
  m_strLastCalledNo = calledNo;
  m_strLastTime = time;
}
