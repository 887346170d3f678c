// How a popup moves: appearing out of the taskbar, staying, hiding, making
// room for a newer popup and closing the gap an older one's neighbour left.
#include <algorithm>

#include "calls/popup.h"
#include "calls/taskbar_edge.h"

namespace {

unsigned Interval(int ms) { return static_cast<unsigned>(std::max(ms, kPopupMinIntervalMs)); }

}  // namespace

void CPopup::OnTimer(unsigned id) {
  switch (id) {
    case ID_TIMER_APPEAR:
      AppearTick();
      break;
    case ID_TIMER_STAY:
      StayTick();
      break;
    case ID_TIMER_HIDE:
      HideTick();
      break;
    case ID_TIMER_CLOSE_GAP:
      CloseGapTick();
      break;
    case ID_TIMER_PUSH_RETRY:
      PushRetryTick();
      break;
    default:
      break;
  }
}

void CPopup::AppearTick() {
  m_nState = PS_APPEARING;
  bool finished = false;
  // While a hide or close-gap movement runs it owns the position; the
  // appearance waits for it.
  if (!m_bMoving) {
    const int step = m_nAppearStep;
    switch (m_nEdge) {
      case EDGE_BOTTOM:
        if (m_nVisibleHeight >= m_nTargetHeight) {
          finished = true;
        } else {
          m_nY -= step;
          m_nVisibleHeight += step;
        }
        break;
      case EDGE_TOP:
        if (m_nVisibleHeight >= m_nTargetHeight) {
          finished = true;
        } else {
          // Growing out of a top taskbar keeps the top edge where it is.
          if (!m_bShowMode) m_nY += step;
          m_nVisibleHeight += step;
        }
        break;
      case EDGE_RIGHT:
        if (m_nVisibleWidth + step < m_nTargetWidth) {
          m_nX -= step;
          m_nVisibleWidth += step;
        } else {
          m_nX -= m_nTargetWidth - m_nVisibleWidth;
          m_nVisibleWidth = m_nTargetWidth;
          finished = true;
        }
        break;
      default:  // EDGE_LEFT
        if (m_nVisibleWidth + step < m_nTargetWidth) {
          if (!m_bShowMode) m_nX += step;
          m_nVisibleWidth += step;
        } else {
          if (!m_bShowMode) m_nX += m_nTargetWidth - m_nVisibleWidth;
          m_nVisibleWidth = m_nTargetWidth;
          finished = true;
        }
        break;
    }
  }
  if (finished) {
    platform_.Timers().KillTimer(this, ID_TIMER_APPEAR);
    platform_.Timers().SetTimer(this, ID_TIMER_STAY, kPopupStayTickMs);
    m_nState = PS_STAYING;
  }
  PlaceWindow(m_bShowMode != 0);
  Redraw();
}

void CPopup::StayTick() {
  m_nStayLeft -= kPopupStayTickMs;
  if (m_nStayLeft > 0) return;
  m_nStayLeft = 0;
  platform_.Timers().KillTimer(this, ID_TIMER_STAY);
  LetOlderCloseGap();
  platform_.Timers().SetTimer(this, ID_TIMER_HIDE, Interval(m_nHideInterval));
  Redraw();
}

void CPopup::HideTick() {
  m_nState = PS_HIDING;
  m_bMoving = 1;
  bool finished = false;
  const int step = m_nHideStep;
  switch (m_nEdge) {
    case EDGE_BOTTOM:
      if (m_nTargetHeight > 0) {
        m_nY += step;
        m_nTargetHeight -= step;
      } else {
        finished = true;
      }
      break;
    case EDGE_TOP:
      if (m_nVisibleHeight > 0) {
        m_nVisibleHeight -= step;
        m_nY -= step;
      } else {
        finished = true;
      }
      break;
    case EDGE_LEFT:
      if (m_nVisibleWidth > step) {
        m_nX -= step;
        m_nVisibleWidth -= step;
      } else {
        m_nX -= m_nVisibleWidth;
        m_nVisibleWidth = 0;
        finished = true;
      }
      break;
    default:  // EDGE_RIGHT
      if (m_nVisibleWidth > step) {
        m_nX += step;
        m_nVisibleWidth -= step;
      } else {
        m_nX += m_nVisibleWidth;
        m_nVisibleWidth = 0;
        finished = true;
      }
      break;
  }
  PlaceWindow(false);
  if (finished) {
    platform_.Timers().KillTimer(this, ID_TIMER_HIDE);
    m_bMoving = 0;
    ClosePopup();
  }
}

void CPopup::CloseGapTick() {
  m_bMoving = 1;
  bool done = false;
  const int step = m_nHideStep;
  switch (m_nEdge) {
    case EDGE_BOTTOM:
    case EDGE_TOP:
      if (m_nPendingHeight > 0) {
        m_nPendingHeight -= step;
        m_nY += m_nEdge == EDGE_BOTTOM ? step : -step;
        m_nVisibleHeight -= step;
      } else {
        done = true;
      }
      break;
    default: {  // EDGE_LEFT, EDGE_RIGHT: the last step takes the rest
      const int move = m_nPendingWidth > step ? step : m_nPendingWidth;
      m_nPendingWidth -= move;
      m_nX += m_nEdge == EDGE_RIGHT ? move : -move;
      // The visible width is the distance from the taskbar; it shrinks by
      // the rest too, or the next push would fall short by that much.
      m_nVisibleWidth -= move;
      done = m_nPendingWidth <= 0;
      break;
    }
  }
  if (done) {
    platform_.Timers().KillTimer(this, ID_TIMER_CLOSE_GAP);
    m_bMoving = 0;
  }
  PlaceWindow(false);
}

void CPopup::PushRetryTick() {
  if (m_nState != PS_STAYING) return;
  platform_.Timers().KillTimer(this, ID_TIMER_STAY);
  platform_.Timers().KillTimer(this, ID_TIMER_PUSH_RETRY);
  PushAway();
}

void CPopup::PushAway() {
  if (!IsAlive()) {
    if (window_) window_->Hide();
    return;
  }
  // Still growing out of the taskbar: push once that has finished.
  if (m_nState == PS_APPEARING && m_bShowMode) {
    platform_.Timers().SetTimer(this, ID_TIMER_PUSH_RETRY, kPopupPushRetryMs);
    return;
  }
  if (m_pOlder) m_pOlder->PushAway();
  m_bShowMode = 0;
  RefreshEdge();
  const bool vertical = m_nEdge == EDGE_TOP || m_nEdge == EDGE_BOTTOM;
  const int target = vertical ? m_nTargetHeight + m_nHeight : m_nTargetWidth + m_nWidth;
  // A popup pushed past the far side of the work area would leave the
  // screen (large scales, a taskbar at the side): it goes instead. Older
  // ones were pushed first and went before it.
  fon::IDesktop& desktop = platform_.Desktop();
  if (target > fon::RoomFromTaskbar(fon::TaskbarRectOrDefault(desktop), desktop.WorkArea(), m_nEdge)) {
    ClosePopup();
    return;
  }
  if (vertical)
    m_nTargetHeight = target;
  else
    m_nTargetWidth = target;
  // The stay countdown goes on while the popup moves.
  if (window_) window_->ShowNoActivate();
  platform_.Timers().SetTimer(this, ID_TIMER_APPEAR, Interval(m_nAppearInterval));
  if (m_nState == PS_APPEARING) Redraw();
}

void CPopup::CloseGap() {
  if (m_pOlder) {
    m_pOlder->m_nPendingHeight += m_nHeight;
    m_pOlder->m_nPendingWidth += m_nWidth;
    m_pOlder->CloseGap();
  }
  if (!IsAlive()) {
    if (window_) window_->Hide();
    return;
  }
  RefreshEdge();
  if (m_nEdge == EDGE_TOP || m_nEdge == EDGE_BOTTOM)
    m_nTargetHeight -= m_nHeight;
  else
    m_nTargetWidth -= m_nWidth;
  if (window_) window_->ShowNoActivate();
  platform_.Timers().SetTimer(this, ID_TIMER_CLOSE_GAP, Interval(m_nAppearInterval));
  Redraw();
}

void CPopup::RefreshEdge() {
  const fon::Rect taskbar = fon::TaskbarRectOrDefault(platform_.Desktop());
  if (m_nEdge == EDGE_TOP || m_nEdge == EDGE_BOTTOM)
    m_nEdge = fon::HorizontalEdge(taskbar);
  else
    m_nEdge = fon::VerticalEdge(taskbar);
}

void CPopup::PlaceWindow(bool atVisibleSize) {
  // The skin is drawn from its top-left corner at the visible size, which
  // never exceeds the skin itself.
  look_.visibleWidth = std::clamp(m_nVisibleWidth, 0, m_nWidth);
  look_.visibleHeight = std::clamp(m_nVisibleHeight, 0, m_nHeight);
  PushLook();
  if (!window_) return;
  if (atVisibleSize)
    window_->Place(m_nX, m_nY, std::max(m_nVisibleWidth, 0), std::max(m_nVisibleHeight, 0));
  else
    window_->Place(m_nX, m_nY, m_nWidth, m_nHeight);
}

void CPopup::OnDpiChanged(int dpi) {
  if (dpi <= 0 || dpi == m_nDpi || !window_ || look_.skin == 0) return;
  int width = 0;
  int height = 0;
  if (!window_->LoadSkin(look_.skin, dpi, &width, &height)) return;
  const int from = m_nDpi;
  auto scale = [dpi, from](int value) { return fon::ScaleBetween(value, dpi, from); };
  m_nDpi = dpi;
  look_.dpi = dpi;
  m_nWidth = width;
  m_nHeight = height;
  m_nTargetWidth = scale(m_nTargetWidth);
  m_nTargetHeight = scale(m_nTargetHeight);
  m_nPendingWidth = scale(m_nPendingWidth);
  m_nPendingHeight = scale(m_nPendingHeight);
  m_nVisibleWidth = scale(m_nVisibleWidth);
  m_nVisibleHeight = scale(m_nVisibleHeight);
  m_nAppearStep = std::max(1, scale(m_nAppearStep));
  m_nHideStep = std::max(1, scale(m_nHideStep));
  const fon::Rect& text = look_.textRect;
  look_.textRect = fon::Rect{scale(text.left), scale(text.top), scale(text.right), scale(text.bottom)};
  // Across the stack the popup stays aligned with the taskbar's end; along
  // it, its distance from the taskbar scales with everything else.
  const fon::Rect taskbar = fon::TaskbarRectOrDefault(platform_.Desktop());
  switch (m_nEdge) {
    case EDGE_BOTTOM:
      m_nX = taskbar.right - m_nWidth;
      m_nY = taskbar.top - scale(taskbar.top - m_nY);
      break;
    case EDGE_TOP:
      m_nX = taskbar.right - m_nWidth;
      m_nY = taskbar.bottom + scale(m_nY - taskbar.bottom);
      break;
    case EDGE_RIGHT:
      m_nY = taskbar.bottom - m_nHeight;
      m_nX = taskbar.left - scale(taskbar.left - m_nX);
      break;
    default:  // EDGE_LEFT
      m_nY = taskbar.bottom - m_nHeight;
      m_nX = taskbar.right + scale(m_nX - taskbar.right);
      break;
  }
  if (!shown_) {
    PushLook();
    return;
  }
  PlaceWindow(m_nState == PS_APPEARING && m_bShowMode);
  Redraw();
}
