// The frame's five popup slots: which slot a new popup takes, how a fresh
// popup is set up in it and stacked on the popups already shown.
#pragma once

#include <string>

class CMainFrame;
class CPopup;

namespace fon {

inline constexpr int kPopupSlots = 5;

// The popup of a slot, or nullptr (no popup, or no such slot).
CPopup* PopupInSlot(CMainFrame& frame, int slot);

// Picks the slot for a new popup: the least recently used one whose popup is
// no longer alive, or the least recently used one when all are alive. Takes
// the slot out of the slot list, unlinks and destroys its old popup and puts
// a fresh, created popup in its place (m_nCurPopup names the slot).
CPopup& TakePopupSlot(CMainFrame& frame);

// Skin (with the Info button when crmUrl is given), address, text look and
// stacking of a fresh popup.
void SetUpPopup(CMainFrame& frame, CPopup& popup, const std::string* crmUrl);

// Font, colour and text rectangle of every popup; the rectangle follows the
// skin's size.
void ApplyPopupTextLook(CPopup& popup);

// The slot was used: it becomes the most recently used one, and one more
// popup has been shown.
void ReturnPopupSlot(CMainFrame& frame, int slot);

}  // namespace fon
