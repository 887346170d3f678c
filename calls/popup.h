// The notification popup: a borderless, always-on-top window painted with a
// skin, which slides out of the taskbar, stays a while and slides back.
// One object shows exactly one notification; the frame makes a fresh one for
// every notification and destroys it when its slot is reused.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"

class CMainFrame;

enum PopupKind : int { POPUP_CALL = 0, POPUP_LAST_CALL = 1, POPUP_INFO = 3 };
enum PopupEdge : int { EDGE_LEFT = 0, EDGE_TOP = 1, EDGE_RIGHT = 2, EDGE_BOTTOM = 3 };
enum PopupState : int { PS_IDLE = 0, PS_APPEARING = 1, PS_STAYING = 2, PS_HIDING = 3 };

class CPopup : public fon::TimerSink, public fon::IPopupEvents {
 public:
  explicit CPopup(fon::IPlatform& platform);
  ~CPopup();
  CPopup(const CPopup&) = delete;
  CPopup& operator=(const CPopup&) = delete;

  bool Create(CMainFrame* parent, int slot);
  bool SetSkin(int bitmap);
  void SetUrl(const std::string& url);
  void SetTextFont(const std::string& face, int tenthsOfPoint, int style);
  void SetTextColors(std::uint32_t textColor);
  void SetTextRect(int left, int top, int right, int bottom);
  void SetKind(int kind);
  void Show(const std::string& text, unsigned staySeconds, unsigned appearMs, unsigned hideMs);
  void ClosePopup();
  void PushAway();
  void CloseGap();
  // Shows the window again without activating it (the frame was minimised).
  void ShowNoActivate();

  // ---- window messages
  void OnTimer(unsigned id) override;
  void OnLButtonDown(int x, int y) override;
  void OnLButtonDblClk(int x, int y) override;

  bool IsAlive() const { return m_nStayLeft != 0; }
  int Width() const { return m_nWidth; }
  int Height() const { return m_nHeight; }
  int Kind() const { return m_nKind; }
  int State() const { return m_nState; }
  int Slot() const { return m_nSlot; }

  CPopup* m_pOlder = nullptr;
  CPopup* m_pNewer = nullptr;
  int m_nStayLeft = 0;
  int m_bSticky = 0;

  // The remaining members are implementation state of the popup; they are
  // public so that the frame and tests can look at them, as the frame does
  // with its own members.
  CMainFrame* m_pParent = nullptr;
  int m_nSlot = 0;
  int m_nWidth = 0;
  int m_nHeight = 0;
  int m_nKind = POPUP_CALL;
  int m_nState = PS_IDLE;

 private:
  fon::IPlatform& platform_;
  std::unique_ptr<fon::IPopupWindow> window_;
};
