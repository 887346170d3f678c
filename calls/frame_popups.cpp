// Call events and information popups of the frame.
#include <cstdint>

#include "app/main_frame.h"
#include "calls/crm_url.h"
#include "calls/cti_message.h"
#include "calls/popup.h"
#include "calls/popup_slots.h"
#include "common/debug_text.h"
#include "settings/value_rules.h"

using namespace fon;

namespace {

constexpr int kTextUnknown = 238;
constexpr int kTextFrom = 227;
constexpr int kTextTo = 228;
constexpr int kTextTime = 229;
constexpr int kTextOver = 245;
constexpr int kInfoKindLastCall = 0;
constexpr unsigned kAppearMs = 200;
constexpr unsigned kHideMs = 200;
// The decision always behaves as "show own calls only"; the stored choice
// takes no part in it, and the debug line shows the fixed value.
constexpr int kShowOwnCallsOnly = 1;

// The four lines of a call popup in the current language; the redirection
// line is always there, empty or not.
std::string CallPopupText(CMainFrame& frame, const std::string& callerName, const std::string& calledNo,
                          const std::string& time, const std::string& redirInfo) {
  return frame.LoadLangText(kTextFrom) + " " + callerName + "\r\n" + frame.LoadLangText(kTextTo) + " " +
         calledNo + "\r\n" + frame.LoadLangText(kTextTime) + " " + time + "\r\n" +
         frame.LoadLangText(kTextOver) + " " + redirInfo;
}

}  // namespace

void CMainFrame::OnCtiMessage(const std::string& message, const std::string& time) {
  Debug("Message from CTI-Port: " + message + " at " + time);
  IDesktop& desktop = platform_.Desktop();
  const WindowHandle foreground = desktop.GetForegroundWindow();
  if (foreground == 0) {
    Debug("Avoid null window\n");
    return;
  }

  m_strRedirInfo.clear();
  const CtiFields fields = ParseCtiMessage(message);
  m_strCallId = fields.callId;
  if (fields.isErr) return;
  m_strRedirInfo = fields.redirInfo;
  m_strCalledUserId = fields.calledUserId;

  const std::string receiveTime = ReceiveTimeOfDay(time);
  const std::string callerName = fields.callerName.empty() ? LoadLangText(kTextUnknown) : fields.callerName;
  const std::string calledNo = fields.calledNo.empty() ? LoadLangText(kTextUnknown) : fields.calledNo;

  // Read at every message, so that a new login counts at once.
  std::int32_t userId = 0;
  std::int32_t parentId = 0;
  settings_.QueryRegDword(kMainKey, "User ID", &userId);
  settings_.QueryRegDword(kMainKey, "Parent User ID", &parentId);
  m_strParentUserIdText = FormatBounded("%i", parentId);

  const int messageUserId = fields.messageUserId;
  DebugPrintf(
      DebugOut(),
      "Do we have to make a PopUp? (nCurrentUserId == nMessageUserId [%d==%d]) || ((nCurrentParentUserId "
      "== nMessageUserId [%d==%d]) && (nCurrentParentUserId > 0 [%d>0])) || (reg[Show Calls "
      "RadioButton]==0 [%d==0])",
      userId, messageUserId, parentId, messageUserId, parentId, kShowOwnCallsOnly);
  const bool forUser = userId == messageUserId || (parentId == messageUserId && parentId > 0);

  if (forUser) {
    const std::string text = CallPopupText(*this, callerName, calledNo, receiveTime, m_strRedirInfo);
    m_strLastCallerName = callerName;
    m_strLastCallerNo = fields.callerNo;
    m_strLastCalledNo = calledNo;
    m_strLastTime = receiveTime;

    CPopup& popup = TakePopupSlot(*this);
    const int slot = m_nCurPopup;
    if (m_bCrmRequest) {
      const std::string url = BuildCrmUrl();
      SetUpPopup(*this, popup, &url);
    } else {
      SetUpPopup(*this, popup, nullptr);
    }

    m_nDisplayTime = CallPopupSeconds(settings_.ReadDword("Display Time", 0));
    // A template changed meanwhile serves from the next call on.
    std::string crm;
    if (settings_.QueryRegString(kMainKey, "CRM HTML Request", &crm) == 0) {
      m_strCrmRequest = crm;
      m_bCrmRequest = 1;
    }
    // A colour skin resets the text rectangle.
    if (ApplyColourRules(popup)) ApplyPopupTextLook(popup);

    popup.Show(text, static_cast<unsigned>(m_nDisplayTime), kAppearMs, kHideMs);
    ReturnPopupSlot(*this, slot);
  }

  // The popup must never keep the focus.
  desktop.SetForegroundWindow(foreground);
}

void CMainFrame::ShowInfoPopup(int kind, const std::string& text, int sticky) {
  // While the last call is shown, nothing else is.
  if (m_bLastCallClosed != 1) return;

  const bool lastCall = kind == kInfoKindLastCall;
  std::string popupText = text;
  std::string url;
  if (lastCall) {
    popupText = CallPopupText(*this, m_strLastCallerName, m_strLastCalledNo, m_strLastTime, m_strRedirInfo);
    if (m_bCrmRequest == 1) url = BuildCrmUrl();
  }

  CPopup& popup = TakePopupSlot(*this);
  const int slot = m_nCurPopup;
  // The Info skin follows the template alone: an information popup gets it
  // with an empty address.
  SetUpPopup(*this, popup, m_bCrmRequest ? &url : nullptr);

  const int seconds = InfoPopupSeconds(settings_.ReadDword("Display Time", 0));
  popup.Show(popupText, static_cast<unsigned>(seconds), kAppearMs, kHideMs);

  if (sticky) {
    if (CPopup* previous = PopupInSlot(*this, m_nStickyPopup); previous && previous->m_bSticky)
      previous->ClosePopup();
    popup.m_nStayLeft = kPopupStayPinnedMs;
    popup.m_bSticky = 1;
    m_nStickyPopup = slot;
  }

  if (lastCall) {
    popup.SetKind(POPUP_LAST_CALL);
    m_bLastCallClosed = 0;
  } else {
    popup.SetKind(POPUP_INFO);
  }
  ReturnPopupSlot(*this, slot);
}

std::string CMainFrame::BuildCrmUrl() {
  CrmValues values;
  values.callerNo = m_strLastCallerNo;
  values.callerName = m_strLastCallerName;
  values.calledNo = m_strLastCalledNo;
  values.redirInfo = m_strRedirInfo;
  values.callId = m_strCallId;
  values.calledUserId = m_strCalledUserId;
  values.parentUserIdText = m_strParentUserIdText;
  values.userId = m_nUserId;
  values.serverAddress = m_strServerAddress;
  return fon::BuildCrmUrl(m_strCrmRequest, values);
}
