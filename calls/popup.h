// The notification popup: a borderless, always-on-top window painted with a
// skin, which slides out of the taskbar, stays a while and slides back.
// One object shows exactly one notification; the frame makes a fresh one for
// every notification and destroys it when its slot is reused.
//
// Popups stack away from the taskbar, newest nearest to it. Each one knows
// its neighbours (m_pOlder further out, m_pNewer nearer the taskbar): a new
// popup pushes the older ones one place away, and a popup that leaves lets
// them close the gap. A popup never takes the focus.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/platform.h"

// What a popup needs from the one that owns it.
class IPopupOwner {
 public:
  // A text entry in the current language.
  virtual std::string LoadLangText(int id) = 0;
  // The window the popup belongs to.
  virtual fon::WindowHandle OwnerWindow() const = 0;
  // An open last-call popup was closed or destroyed.
  virtual void OnLastCallClosed() = 0;
  // An entry of a popup's context menu was chosen (kPopupMenu...), with the
  // popup's number and CRM address; the popup may be gone by now.
  virtual void OnPopupMenuCommand(int /*command*/, const std::string& /*number*/, const std::string& /*url*/) {}

 protected:
  ~IPopupOwner() = default;
};

enum PopupKind : int { POPUP_CALL = 0, POPUP_LAST_CALL = 1, POPUP_INFO = 3 };
enum PopupEdge : int { EDGE_LEFT = 0, EDGE_TOP = 1, EDGE_RIGHT = 2, EDGE_BOTTOM = 3 };
enum PopupState : int { PS_IDLE = 0, PS_APPEARING = 1, PS_STAYING = 2, PS_HIDING = 3 };

// Window timers of a popup (ids are per popup window).
enum PopupTimer : unsigned {
  ID_TIMER_APPEAR = 1,
  ID_TIMER_STAY = 2,
  ID_TIMER_HIDE = 3,
  ID_TIMER_CLOSE_GAP = 4,
  ID_TIMER_PUSH_RETRY = 5,
};

// Commands of a call popup's context menu.
enum PopupMenuCommand : int { kPopupMenuCallBack = 1, kPopupMenuCopyNumber = 2, kPopupMenuOpenInCrm = 3 };

inline constexpr int kPopupStayTickMs = 1000;
inline constexpr int kPopupPushRetryMs = 100;
// A pinned or sticky popup stays a day.
inline constexpr int kPopupStayPinnedMs = 86400000;
// Shortest animation timer interval (the client runs on NT-family systems).
inline constexpr int kPopupMinIntervalMs = 10;

class CPopup final : public fon::TimerSink, public fon::IPopupEvents {
 public:
  explicit CPopup(fon::IPlatform& platform);
  ~CPopup();
  CPopup(const CPopup&) = delete;
  CPopup& operator=(const CPopup&) = delete;

  bool Create(IPopupOwner* owner, int slot);
  bool SetSkin(int bitmap);
  void SetUrl(const std::string& url);
  void SetTextFont(const std::string& face, int tenthsOfPoint, int style);
  void SetTextColors(std::uint32_t textColor);
  void SetTextRect(int left, int top, int right, int bottom);
  void SetKind(int kind);
  // The caller's number a call popup offers to call back and copy; none
  // for an information popup.
  void SetCallNumber(const std::string& number) { m_strCallNumber = number; }
  // What screen readers learn of the popup; announced when it slides in.
  void SetAccessibility(const fon::PopupAccessibility& accessibility);
  void Show(const std::string& text, unsigned staySeconds, unsigned appearMs, unsigned hideMs);
  void ClosePopup();
  void PushAway();
  void CloseGap();
  // Shows the window again without activating it (the frame was minimised).
  void ShowNoActivate();
  // Takes the popup out of the stack, joining its neighbours.
  void Unlink();

  // ---- window messages
  void OnTimer(unsigned id) override;
  void OnLButtonDown(int x, int y) override;
  void OnLButtonDblClk(int x, int y) override;
  // Skin, text rectangle and everything the popup measured are taken to
  // the new scale, in place: the popup keeps its distance from the taskbar
  // in proportion and goes on moving as it was.
  void OnDpiChanged(int dpi) override;

  // `layout` pixels at 100 % in pixels at the popup's scale.
  int Scaled(int layout) const { return fon::ScaleToDpi(layout, m_nDpi); }
  int Dpi() const { return m_nDpi; }
  // The context menu: pins the popup as a click does and offers the call
  // back, the number and the CRM page.
  void OnRButtonUp(int x, int y) override;

  bool IsAlive() const { return m_nStayLeft != 0; }
  int Width() const { return m_nWidth; }
  int Height() const { return m_nHeight; }
  int Kind() const { return m_nKind; }
  int State() const { return m_nState; }
  int Slot() const { return m_nSlot; }
  int Edge() const { return m_nEdge; }
  bool IsPinned() const { return m_bPinned != 0; }
  bool HasUrl() const { return m_bHasUrl != 0; }
  const std::string& Url() const { return m_strUrl; }
  const fon::PopupLook& Look() const { return look_; }
  int TargetHeight() const { return m_nTargetHeight; }
  int TargetWidth() const { return m_nTargetWidth; }

  CPopup* m_pOlder = nullptr;
  CPopup* m_pNewer = nullptr;
  int m_nStayLeft = 0;
  int m_bSticky = 0;

  // The remaining members are implementation state of the popup; they are
  // public so that tests can look at them.
  IPopupOwner* m_pOwner = nullptr;
  int m_nSlot = 0;
  int m_nWidth = 0;
  int m_nHeight = 0;
  int m_nKind = POPUP_CALL;
  int m_nState = PS_IDLE;

 private:
  // ---- motion (popup_motion.cpp)
  void AppearTick();
  void StayTick();
  void HideTick();
  void CloseGapTick();
  void PushRetryTick();
  // Reads the taskbar again and keeps the side (horizontal or vertical)
  // chosen by Show; only which of the two edges of that side may change.
  void RefreshEdge();
  // Moves the window to its current position: at its visible size while it
  // grows out of the taskbar, at full size otherwise.
  void PlaceWindow(bool atVisibleSize);

  // ---- leaving
  // The close button, a double click or a second click: older popups move
  // into the place this one leaves, then it closes.
  void CloseByUser();
  // Lets the older popups close the gap this popup leaves, once.
  void LetOlderCloseGap();

  void Redraw();
  void UpdateTitle();
  void PushLook();

  fon::IPlatform& platform_;
  std::unique_ptr<fon::IPopupWindow> window_;

  fon::PopupLook look_;
  fon::PopupLook pushedLook_;
  bool lookPushed_ = false;

  std::string m_strUrl;
  int m_bHasUrl = 0;
  std::string m_strCallNumber;

  int m_nTargetHeight = 0;  // vertical target extent
  int m_nTargetWidth = 0;   // horizontal target extent
  int m_nPendingHeight = 0;
  int m_nPendingWidth = 0;
  int m_nX = 0;
  int m_nY = 0;
  int m_nVisibleWidth = 0;
  int m_nVisibleHeight = 0;
  int m_nEdge = EDGE_BOTTOM;
  int m_nStayTime = 0;
  int m_nAppearInterval = 0;
  int m_nHideInterval = 0;
  int m_nAppearStep = 0;
  int m_nHideStep = 0;
  int m_bShowMode = 0;
  int m_bMoving = 0;
  int m_bPinned = 0;
  // The scale the popup is drawn for (dots per inch), chosen with its skin.
  int m_nDpi = fon::kDefaultDpi;
  // Show has run and the popup has not been closed since.
  bool shown_ = false;
  // The older popups were already told to close the gap of this one.
  bool gapHandedOver_ = false;
};
