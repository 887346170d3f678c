// The frame's five popups: which slot a new popup takes, how a fresh popup
// is set up in it and stacked on the popups already shown, the sticky
// information popup, and the last call that a click on the tray shows again.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "calls/popup.h"
#include "common/id_string_list.h"
#include "platform/platform.h"

namespace fon {

inline constexpr int kPopupSlots = 5;

// Font, colour and text rectangle of every popup; the rectangle follows the
// skin's size.
void ApplyPopupTextLook(CPopup& popup);

}  // namespace fon

class CPopupStack final : public IPopupOwner {
 public:
  // `texts` looks up a text entry in the current language; `ownerWindow`
  // is the window the popups belong to.
  CPopupStack(fon::IPlatform& platform, std::function<std::string(int)> texts,
              std::function<fon::WindowHandle()> ownerWindow);
  ~CPopupStack();
  CPopupStack(const CPopupStack&) = delete;
  CPopupStack& operator=(const CPopupStack&) = delete;

  // The popup of a slot, or nullptr (no popup, or no such slot).
  CPopup* PopupInSlot(int slot) const;

  // Picks the slot for a new popup: the least recently used one whose popup
  // is no longer alive, or the least recently used one when all are alive.
  // Takes the slot out of the slot list, unlinks and destroys its old popup
  // and puts a fresh, created popup in its place (m_nCurPopup names it).
  CPopup& TakeSlot();
  // Skin (with the Info button when crmUrl is given), address, text look
  // and stacking of a fresh popup.
  void SetUp(CPopup& popup, const std::string* crmUrl);
  // The slot was used: it becomes the most recently used one, and one more
  // popup has been shown.
  void ReturnSlot(int slot);
  // The popup of `slot` stays a day and replaces an earlier sticky one.
  void MakeSticky(CPopup& popup, int slot);
  // The sticky popup, if one is still shown, stays at most `ms` longer.
  void CutStickyStay(int ms);
  // Shows every popup still on screen again without activating it.
  void ShowAgain();

  void RememberCall(const std::string& callerName, const std::string& callerNo, const std::string& calledNo,
                    const std::string& time);
  void OnLastCallShown() { m_bLastCallClosed = 0; }

  int PopupCount() const { return m_nPopupCount; }
  int CurPopup() const { return m_nCurPopup; }
  int StickyPopup() const { return m_nStickyPopup; }
  bool LastCallClosed() const { return m_bLastCallClosed == 1; }
  const std::string& LastCallerName() const { return m_strLastCallerName; }
  const std::string& LastCallerNo() const { return m_strLastCallerNo; }
  const std::string& LastCalledNo() const { return m_strLastCalledNo; }
  const std::string& LastTime() const { return m_strLastTime; }
  const CIdStringList& Slots() const { return m_lstPopupSlots; }

  // IPopupOwner
  std::string LoadLangText(int id) override { return texts_(id); }
  fon::WindowHandle OwnerWindow() const override { return ownerWindow_(); }
  void OnLastCallClosed() override { m_bLastCallClosed = 1; }
  // Call back: the dial-out dialog, with the caller's number. Copy: the
  // number on the clipboard. Open in CRM: the call's page, as Info opens it.
  void OnPopupMenuCommand(int command, const std::string& number, const std::string& url) override;
  // Who opens the dial-out dialog for a number (the frame).
  void SetCallBack(std::function<void(const std::string&)> callBack) { callBack_ = std::move(callBack); }

 private:
  bool IsAliveSlot(int slot) const;
  void LinkOnTop(CPopup& popup);

  fon::IPlatform& platform_;
  std::function<std::string(int)> texts_;
  std::function<fon::WindowHandle()> ownerWindow_;
  std::function<void(const std::string&)> callBack_;
  // Tasks posted by the stack check it: they may outlive it.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

  std::array<std::unique_ptr<CPopup>, fon::kPopupSlots> m_apPopups;
  CIdStringList m_lstPopupSlots;
  int m_nPopupCount = 0;
  int m_nCurPopup = 0;
  int m_nStickyPopup = 6;  // none
  int m_bLastCallClosed = 1;
  std::string m_strLastCallerName = "---";
  std::string m_strLastCallerNo = "---";
  std::string m_strLastCalledNo = "---";
  std::string m_strLastTime = "---";
};
