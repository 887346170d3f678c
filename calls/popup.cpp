// Set-up, showing, closing and the mouse of a notification popup.
#include "calls/popup.h"

#include <algorithm>
#include <vector>

#include "calls/taskbar_edge.h"
#include "text_ids.h"

namespace {

constexpr char kShowSignature[] =
    "void CPopup::Show(LPCTSTR szCaption,DWORD dwTimeToStay, DWORD dwTimeToShow, DWORD dwTimeToHide)\n";

// Title band and buttons of the skin, in client coordinates.
constexpr int kButtonRowBottom = 14;  // rows 0..13
constexpr int kInfoButtonLeft = 176;
constexpr int kCloseButtonLeft = 200;
constexpr std::size_t kMaxTitleLength = 29;

// Longest stay Show accepts; keeps the stay in milliseconds within an int.
constexpr unsigned kMaxStaySeconds = 2000000;

bool SameLook(const fon::PopupLook& a, const fon::PopupLook& b) {
  return a.skin == b.skin && a.text == b.text && a.title == b.title && a.fontFace == b.fontFace &&
         a.fontTenthsPt == b.fontTenthsPt && a.fontStyle == b.fontStyle && a.textColor == b.textColor &&
         a.textRect.left == b.textRect.left && a.textRect.top == b.textRect.top &&
         a.textRect.right == b.textRect.right && a.textRect.bottom == b.textRect.bottom &&
         a.textFormat == b.textFormat && a.titleFormat == b.titleFormat && a.visibleWidth == b.visibleWidth &&
         a.visibleHeight == b.visibleHeight && a.dpi == b.dpi;
}

int TitleTextId(int kind) {
  switch (kind) {
    case POPUP_CALL:
      return fon::text::kIncomingCallTitle;
    case POPUP_LAST_CALL:
      return fon::text::kLastCallTitle;
    case POPUP_INFO:
      return fon::text::kInformationTitle;
    default:
      return 0;
  }
}

}  // namespace

CPopup::CPopup(fon::IPlatform& platform) : platform_(platform) {}

CPopup::~CPopup() {
  // No timer of a destroyed popup may fire, and no neighbour may keep
  // pointing at it.
  platform_.Timers().KillAllTimers(this);
  Unlink();
  // A last-call popup replaced while still open must not block the next
  // "show last call" for good.
  if (shown_ && m_nKind == POPUP_LAST_CALL && m_pOwner) m_pOwner->OnLastCallClosed();
}

bool CPopup::Create(IPopupOwner* owner, int slot) {
  m_pOwner = owner;
  m_nSlot = slot;
  window_ = platform_.CreatePopupWindow(this, owner ? owner->OwnerWindow() : 0);
  return window_ != nullptr;
}

bool CPopup::SetSkin(int bitmap) {
  if (!window_) return false;
  int width = 0;
  int height = 0;
  const int dpi = fon::PopupDpi(platform_.Desktop());
  if (!window_->LoadSkin(bitmap, dpi, &width, &height)) return false;
  m_nDpi = dpi;
  look_.dpi = dpi;
  look_.skin = bitmap;
  m_nWidth = width;
  m_nHeight = height;
  m_nTargetWidth = width;
  m_nTargetHeight = height;
  look_.textRect = fon::Rect{0, 0, width, height};
  PushLook();
  return true;
}

void CPopup::SetUrl(const std::string& url) {
  m_strUrl = url;
  m_bHasUrl = 1;
}

void CPopup::SetTextFont(const std::string& face, int tenthsOfPoint, int style) {
  look_.fontFace = face;
  look_.fontTenthsPt = tenthsOfPoint;
  look_.fontStyle = style & 3;  // bold, italic
  PushLook();
}

void CPopup::SetTextColors(std::uint32_t textColor) {
  look_.textColor = textColor;
  PushLook();
  Redraw();
}

void CPopup::SetTextRect(int left, int top, int right, int bottom) {
  look_.textRect = fon::Rect{left, top, right, bottom};
  PushLook();
}

void CPopup::SetKind(int kind) {
  m_nKind = kind;
  UpdateTitle();
  PushLook();
}

void CPopup::Show(const std::string& text, unsigned staySeconds, unsigned appearMs, unsigned hideMs) {
  m_bShowMode = 1;
  platform_.Debug().Write(kShowSignature);
  if (m_pOlder && staySeconds != 0 && m_pOlder->IsAlive()) m_pOlder->PushAway();

  look_.text = text;
  UpdateTitle();
  m_nStayTime = static_cast<int>(std::min(staySeconds, kMaxStaySeconds) * 1000u);
  m_nStayLeft = m_nStayTime;
  if (m_nStayLeft == 0) {
    PushLook();
    if (window_) window_->Hide();
    return;
  }

  fon::IDesktop& desktop = platform_.Desktop();
  const fon::Rect taskbar = fon::TaskbarRectOrDefault(desktop);
  const int screenWidth = desktop.ScreenWidth();
  m_nEdge = fon::TaskbarEdge(taskbar, screenWidth);
  const int extent = fon::IsHorizontalTaskbar(taskbar, screenWidth) ? m_nHeight : m_nWidth;
  const int appear = static_cast<int>(std::min(appearMs, 60000u));
  const int hide = static_cast<int>(std::min(hideMs, 60000u));
  const fon::AnimationSteps appearSteps = fon::ComputeSteps(appear, kPopupMinIntervalMs, extent);
  const fon::AnimationSteps hideSteps = fon::ComputeSteps(hide, kPopupMinIntervalMs, extent);
  m_nAppearInterval = appearSteps.intervalMs;
  m_nAppearStep = appearSteps.step;
  m_nHideInterval = hideSteps.intervalMs;
  m_nHideStep = hideSteps.step;

  switch (m_nEdge) {
    case EDGE_BOTTOM:
      m_nX = taskbar.right - m_nWidth;
      m_nY = taskbar.top;
      m_nVisibleWidth = m_nWidth;
      m_nVisibleHeight = 0;
      break;
    case EDGE_TOP:
      m_nX = taskbar.right - m_nWidth;
      m_nY = taskbar.bottom;
      m_nVisibleWidth = m_nWidth;
      m_nVisibleHeight = 0;
      break;
    case EDGE_RIGHT:
      m_nX = taskbar.left;
      m_nY = taskbar.bottom - m_nHeight;
      m_nVisibleWidth = 0;
      m_nVisibleHeight = m_nHeight;
      break;
    default:  // EDGE_LEFT
      m_nX = taskbar.right;
      m_nY = taskbar.bottom - m_nHeight;
      m_nVisibleWidth = 0;
      m_nVisibleHeight = m_nHeight;
      break;
  }

  shown_ = true;
  gapHandedOver_ = false;
  m_nState = PS_APPEARING;
  // Start from the taskbar edge with nothing visible, never from wherever
  // the window happened to be.
  PlaceWindow(true);
  if (window_) window_->ShowNoActivate();
  platform_.Timers().SetTimer(this, ID_TIMER_APPEAR, static_cast<unsigned>(m_nAppearInterval));
  if (window_) window_->AnnounceAlert();
}

void CPopup::SetAccessibility(const fon::PopupAccessibility& accessibility) {
  if (window_) window_->SetAccessibility(accessibility);
}

void CPopup::OnRButtonUp(int x, int y) {
  if (!shown_ || !m_pOwner) return;
  // Whoever reaches for the menu wants the popup to stay, as after a click;
  // it never closes by a right click.
  m_nStayLeft = kPopupStayPinnedMs;
  m_bPinned = 1;
  std::vector<fon::MenuItem> items;
  if (!m_strCallNumber.empty()) {
    items.push_back({kPopupMenuCallBack, m_pOwner->LoadLangText(fon::text::kPopupCallBack)});
    items.push_back({kPopupMenuCopyNumber, m_pOwner->LoadLangText(fon::text::kPopupCopyNumber)});
  }
  if (m_bHasUrl && !m_strUrl.empty()) items.push_back({kPopupMenuOpenInCrm, m_pOwner->LoadLangText(fon::text::kPopupOpenInCrm)});
  if (items.empty() || !window_) return;
  // The menu runs a loop of its own, in which a new call may replace this
  // popup: what the command needs is taken along.
  IPopupOwner* owner = m_pOwner;
  const std::string number = m_strCallNumber;
  const std::string url = m_strUrl;
  const int command = window_->TrackContextMenu(fon::Point{m_nX + x, m_nY + y}, items);
  if (command != 0) owner->OnPopupMenuCommand(command, number, url);
}

void CPopup::ClosePopup() {
  fon::ITimers& timers = platform_.Timers();
  for (unsigned id = ID_TIMER_APPEAR; id <= ID_TIMER_PUSH_RETRY; ++id) timers.KillTimer(this, id);
  Unlink();
  m_nStayLeft = 0;
  // Only the close of an open last-call popup frees the way for the next.
  if (shown_ && m_nKind == POPUP_LAST_CALL && m_pOwner) m_pOwner->OnLastCallClosed();
  if (window_) {
    window_->Place(0, 0, 0, 0);
    window_->Hide();
  }
  m_nState = PS_IDLE;
  m_bMoving = 0;
  shown_ = false;
}

void CPopup::ShowNoActivate() {
  // A closed popup is an empty, hidden window: nothing to show again.
  if (window_ && shown_) window_->ShowNoActivate();
}

void CPopup::OnLButtonDown(int x, int y) {
  // A click queued before the popup closed finds nothing to act on.
  if (!shown_) return;
  // The buttons lie where the skin drawn for this scale has them.
  if (y < Scaled(kButtonRowBottom) && x >= Scaled(kInfoButtonLeft)) {
    if (x >= Scaled(kCloseButtonLeft)) {
      CloseByUser();
    } else if (m_bHasUrl) {
      // An information popup shown while a CRM template exists carries the
      // Info skin with an empty address; the browser is started all the same.
      platform_.Shell().OpenInBrowser(m_strUrl);
    }
    return;
  }
  if (m_bPinned) {
    CloseByUser();
  } else {
    m_nStayLeft = kPopupStayPinnedMs;
    m_bPinned = 1;
  }
}

void CPopup::OnLButtonDblClk(int /*x*/, int /*y*/) {
  if (shown_) CloseByUser();
}

void CPopup::CloseByUser() {
  LetOlderCloseGap();
  m_nStayLeft = 0;
  ClosePopup();
}

void CPopup::LetOlderCloseGap() {
  // A popup leaves once: when its stay ran out and it is still sliding back,
  // a click on it must not move the older popups a second time.
  if (gapHandedOver_) return;
  gapHandedOver_ = true;
  if (!m_pOlder) return;
  m_pOlder->m_nPendingHeight += m_nHeight;
  m_pOlder->m_nPendingWidth += m_nWidth;
  m_pOlder->CloseGap();
}

void CPopup::Unlink() {
  // Links are kept symmetric (a's older is b exactly when b's newer is a),
  // so rewiring both neighbours leaves nothing pointing at this popup.
  if (m_pOlder && m_pOlder->m_pNewer == this) m_pOlder->m_pNewer = m_pNewer;
  if (m_pNewer && m_pNewer->m_pOlder == this) m_pNewer->m_pOlder = m_pOlder;
  m_pOlder = nullptr;
  m_pNewer = nullptr;
}

void CPopup::Redraw() {
  if (window_) window_->Redraw();
}

void CPopup::UpdateTitle() {
  const int id = TitleTextId(m_nKind);
  std::string title = (id != 0 && m_pOwner) ? m_pOwner->LoadLangText(id) : std::string();
  if (title.size() > kMaxTitleLength) title.resize(kMaxTitleLength);
  look_.title = std::move(title);
}

void CPopup::PushLook() {
  if (!window_) return;
  if (lookPushed_ && SameLook(look_, pushedLook_)) return;
  window_->SetLook(look_);
  pushedLook_ = look_;
  lookPushed_ = true;
}
