// Call events and information popups of the frame.
#include <cstdint>
#include <functional>

#include "app/main_frame.h"
#include "calls/crm_url.h"
#include "calls/cti_message.h"
#include "calls/popup.h"
#include "calls/popup_speech.h"
#include "calls/popup_stack.h"
#include "calls/quiet_hold.h"
#include "common/debug_text.h"
#include "dialout/normalize_number.h"
#include "settings/lang_text.h"
#include "settings/texts.h"
#include "settings/value_rules.h"
#include "text_ids.h"

using namespace fon;

namespace {

constexpr int kInfoKindLastCall = 0;
constexpr unsigned kAppearMs = 200;
constexpr unsigned kHideMs = 200;
// The decision always behaves as "show own calls only"; the stored choice
// takes no part in it, and the debug line shows the fixed value.
constexpr int kShowOwnCallsOnly = 1;
// A name in the tray tip or the summary of missed calls is cut here.
constexpr std::size_t kNamedCallerChars = 24;

std::string TrimmedTime(const std::string& time) {
  const std::size_t first = time.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return time.substr(first, time.find_last_not_of(' ') - first + 1);
}

// The four lines of a call popup in the current language; the redirection
// line is always there, empty or not.
std::string CallPopupText(const std::function<std::string(int)>& texts, const std::string& callerName,
                          const std::string& calledNo, const std::string& time, const std::string& redirInfo) {
  return texts(text::kFrom) + " " + callerName + "\r\n" + texts(text::kTo) + " " + calledNo + "\r\n" +
         texts(text::kTime) + " " + time + "\r\n" + texts(text::kOver) + " " + redirInfo;
}

}  // namespace

void CMainFrame::OnCtiMessage(const std::string& message, const std::string& time) {
  Debug("Message from CTI-Port: " + message + " at " + time);
  const CtiFields fields = ParseCtiMessage(message);
  const bool held = ShowCallPopup(fields, time);
  // Afterwards: writing the registry and telling the shell must not hold
  // the popup back.
  NoteRecentCall(fields, time, held);
  UpdateTrayDetail();
}

bool CMainFrame::ShowCallPopup(const CtiFields& fields, const std::string& time) {
  IDesktop& desktop = platform_.Desktop();
  const WindowHandle foreground = desktop.GetForegroundWindow();
  if (foreground == 0) {
    Debug("Avoid null window\n");
    return false;
  }

  m_strRedirInfo.clear();
  m_strCallId = fields.callId;
  if (fields.isErr) return false;
  m_strRedirInfo = fields.redirInfo;
  m_strCalledUserId = fields.calledUserId;

  // The texts of one event in one language: the setting is read once for
  // all of them (every read is a round trip to the registry).
  const int language = ReadLanguageIndex(settings_);
  const std::function<std::string(int)> texts = [this, language](int id) {
    return CutLangText(platform_.Resources().LoadString(id), language);
  };
  const std::string receiveTime = ReceiveTimeOfDay(time);
  const std::string callerName = fields.callerName.empty() ? texts(text::kUnknown) : fields.callerName;
  const std::string calledNo = fields.calledNo.empty() ? texts(text::kUnknown) : fields.calledNo;

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

  bool held = false;
  if (forUser && quiet_.IsQuiet()) {
    // The user presents: the call waits, counted, for the end of it; the
    // tray still shows it on a click.
    popups_.RememberCall(callerName, fields.callerNo, calledNo, receiveTime);
    quiet_.HoldCall(callerName);
    Debug("Popup held: the user presents\n");
    held = true;
  } else if (forUser) {
    const std::string text = CallPopupText(texts, callerName, calledNo, receiveTime, m_strRedirInfo);
    popups_.RememberCall(callerName, fields.callerNo, calledNo, receiveTime);

    CPopup& popup = popups_.TakeSlot();
    const int slot = popups_.CurPopup();
    if (m_bCrmRequest) {
      const std::string url = BuildCrmUrl();
      popups_.SetUp(popup, &url);
    } else {
      popups_.SetUp(popup, nullptr);
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

    popup.SetCallNumber(fields.callerNo);
    popup.SetAccessibility(
        CallAccessibility(texts, false, callerName, calledNo, receiveTime, m_strRedirInfo, popup.HasUrl()));
    popup.Show(text, static_cast<unsigned>(m_nDisplayTime), kAppearMs, kHideMs);
    popups_.ReturnSlot(slot);
  }

  // The popup must never keep the focus.
  desktop.SetForegroundWindow(foreground);
  return held;
}

void CMainFrame::ShowInfoPopup(int kind, const std::string& text, int sticky) {
  // While the last call is shown, nothing else is.
  if (!popups_.LastCallClosed()) return;

  const bool lastCall = kind == kInfoKindLastCall;
  // The client's own messages wait while the user presents; the last call
  // is shown because the user asked for it.
  if (!lastCall && quiet_.IsQuiet()) {
    quiet_.HoldInfo(text, sticky);
    return;
  }
  std::string popupText = text;
  std::string url;
  if (lastCall) {
    popupText = CallPopupText([this](int id) { return LoadLangText(id); }, popups_.LastCallerName(),
                              popups_.LastCalledNo(), popups_.LastTime(), m_strRedirInfo);
    if (m_bCrmRequest == 1) url = BuildCrmUrl();
  }

  CPopup& popup = popups_.TakeSlot();
  const int slot = popups_.CurPopup();
  // The Info skin follows the template alone: an information popup gets it
  // with an empty address.
  popups_.SetUp(popup, m_bCrmRequest ? &url : nullptr);

  const auto texts = [this](int id) { return LoadLangText(id); };
  if (lastCall) {
    popup.SetCallNumber(popups_.LastCallerNo() == "---" ? std::string() : popups_.LastCallerNo());
    popup.SetAccessibility(CallAccessibility(texts, true, popups_.LastCallerName(), popups_.LastCalledNo(),
                                             popups_.LastTime(), m_strRedirInfo, popup.HasUrl()));
  } else {
    popup.SetAccessibility(InfoAccessibility(texts, popupText, popup.HasUrl()));
  }
  const int seconds = InfoPopupSeconds(settings_.ReadDword("Display Time", 0));
  popup.Show(popupText, static_cast<unsigned>(seconds), kAppearMs, kHideMs);

  if (sticky) popups_.MakeSticky(popup, slot);

  if (lastCall) {
    popup.SetKind(POPUP_LAST_CALL);
    popups_.OnLastCallShown();
  } else {
    popup.SetKind(POPUP_INFO);
  }
  popups_.ReturnSlot(slot);
}

std::string CMainFrame::BuildCrmUrl() {
  CrmValues values;
  values.callerNo = popups_.LastCallerNo();
  values.callerName = popups_.LastCallerName();
  values.calledNo = popups_.LastCalledNo();
  values.redirInfo = m_strRedirInfo;
  values.callId = m_strCallId;
  values.calledUserId = m_strCalledUserId;
  values.parentUserIdText = m_strParentUserIdText;
  values.userId = relay_.UserId();
  values.serverAddress = m_strServerAddress;
  return fon::BuildCrmUrl(m_strCrmRequest, values);
}

bool CMainFrame::DeliverQuietHold() {
  // An open last-call popup lets nothing else show; the summary waits.
  if (!popups_.LastCallClosed()) return false;
  const int unseen = quiet_.UnseenCount();
  const std::deque<std::string> names = quiet_.Names();
  const std::deque<CQuietHold::HeldInfo> infos = quiet_.Infos();
  quiet_.Clear();
  if (unseen > 0) {
    std::string text = FillTemplate(LoadLangText(unseen == 1 ? text::kOneCallWhilePresenting : text::kCallsWhilePresenting),
                                    unseen) + ":";
    for (std::size_t i = 0; i < names.size(); ++i)
      text += (i == 0 ? "\r\n" : ", ") + CleanForSpeech(names[i], kNamedCallerChars);
    ShowInfoPopup(2, text, 0);
  }
  for (const CQuietHold::HeldInfo& info : infos) ShowInfoPopup(2, info.text, info.sticky);
  UpdateTrayDetail();
  return true;
}

void CMainFrame::UpdateTrayDetail() {
  const int unseen = quiet_.UnseenCount();
  std::string detail;
  if (unseen > 0) {
    detail = FillTemplate(LoadLangText(unseen == 1 ? text::kOneCallWhilePresenting : text::kCallsWhilePresenting),
                          unseen);
  } else if (popups_.LastCallerName() != "---") {
    detail = LoadLangText(text::kLastCallTitle) + ": " + CleanForSpeech(popups_.LastCallerName(), kNamedCallerChars) +
             " " + TrimmedTime(popups_.LastTime());
  }
  tray_.SetDetail(detail);
}

void CMainFrame::CallBackFromPopup(const std::string& number) {
  if (IsQuitting()) return;
  RunDialoutDialog(NormalizeNumber(number));
}
