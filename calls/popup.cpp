#include "calls/popup.h"

CPopup::CPopup(fon::IPlatform& platform) : platform_(platform) {}

CPopup::~CPopup() { platform_.Timers().KillAllTimers(this); }

void CPopup::ShowNoActivate() {
  if (window_) window_->ShowNoActivate();
}

void CPopup::OnTimer(unsigned /*id*/) {}
void CPopup::OnLButtonDown(int /*x*/, int /*y*/) {}
void CPopup::OnLButtonDblClk(int /*x*/, int /*y*/) {}
