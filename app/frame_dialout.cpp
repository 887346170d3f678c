// The frame's side of dial-out beyond the hotkey: phone links handed to the
// client, the user's recent calls and the tray sub-menu that calls them
// back.
#include "app/main_frame.h"
#include "calls/cti_message.h"
#include "common/debug_text.h"
#include "dialout/dialout_dialog.h"
#include "dialout/normalize_number.h"
#include "dialout/phone_link.h"

using namespace fon;

namespace {

// Enough of a link for the log; the rest is not a number anyway.
constexpr std::size_t kLinkLogChars = 200;

}  // namespace

void CMainFrame::RunDialoutDialog(const std::string& number, bool fromHotkey) {
  // The plain command is single: it brings the open dialog to the front,
  // whatever opened it, with the number it shows. A number (the hotkey's
  // selection, a link, a recent call) or a hotkey press is a new request and
  // replaces the dialog open now.
  if (!fromHotkey && number.empty() && m_dlgDialout.BringToFront()) return;
  CDialoutDialog dialog(*this, profiles_.Devices(), m_lstExtraCallers, profiles_.DeviceMode(), fromHotkey);
  if (!number.empty()) dialog.SetCalled(number);
  m_dlgDialout.Run(dialog);
}

void CMainFrame::ApplyPhoneLinks() {
  const bool on = settings_.ReadDword(kPhoneLinksSetting, 1) != 0;
  const std::string executable = platform_.Process().ExecutablePath();
  if (executable.empty()) return;
  long rc = RegisterPhoneLinks(platform_.Registry(), executable, on);
  if (rc != 0) DebugPrintf(DebugOut(), "Phone link registration failed: %ld\n", rc);
}

bool CMainFrame::PhoneLinksChosenElsewhere() { return !OtherPhoneLinkChoice(platform_.Registry()).empty(); }

void CMainFrame::OpenDefaultApps() { platform_.Shell().OpenSettingsPage(kDefaultAppsPage); }

bool CMainFrame::HandOverLaunchLink() {
  const std::string link = platform_.Process().LaunchLink();
  if (link.empty()) return false;
  const bool taken = platform_.Process().HandLinkToRunningClient(link);
  Debug(taken ? "Phone link handed to the running client\n" : "No running client took the phone link\n");
  return taken;
}

void CMainFrame::OpenLaunchLink() {
  const std::string link = platform_.Process().LaunchLink();
  if (link.empty()) return;
  // Once the start-up is over and the message loop runs.
  std::shared_ptr<bool> alive = aliveFlag_;
  platform_.Loop().Post([this, alive, link] {
    if (*alive) OnPhoneLink(link);
  });
}

void CMainFrame::OnPhoneLink(const std::string& link) {
  if (DeferWhileSending(DeferredCommand::kPhoneLink, [this, link] { OnPhoneLink(link); })) return;
  Debug("Phone link: " + link.substr(0, kLinkLogChars) + "\n");
  if (IsQuitting()) return;
  std::optional<std::string> number = PhoneLinkNumber(link);
  if (!number) return;
  RunDialoutDialog(*number);
}

void CMainFrame::NoteRecentCall(const CtiFields& fields, const std::string& time, bool unseen) {
  // A call without the caller's number cannot be called back.
  if (fields.isErr || fields.callerNo.empty()) return;
  std::int32_t userId = 0;
  std::int32_t parentId = 0;
  settings_.QueryRegDword(kMainKey, "User ID", &userId);
  settings_.QueryRegDword(kMainKey, "Parent User ID", &parentId);
  const int messageUserId = fields.messageUserId;
  if (userId != messageUserId && !(parentId == messageUserId && parentId > 0)) return;
  std::string when = time;
  while (!when.empty() && (when.back() == '\n' || when.back() == '\r')) when.pop_back();
  recentCalls_.Add({when, fields.callerName, fields.callerNo, unseen});
}

std::vector<MenuItem> CMainFrame::RecentCallMenuItems() {
  std::vector<MenuItem> items;
  recentMenuNumbers_.clear();
  const int slots = ID_MENU_RECENT_LAST - ID_MENU_RECENT_FIRST + 1;
  for (const RecentCall& call : recentCalls_.Calls()) {
    if (static_cast<int>(items.size()) == slots) break;
    items.push_back({ID_MENU_RECENT_FIRST + static_cast<int>(items.size()), CRecentCalls::MenuText(call)});
    recentMenuNumbers_.push_back(call.callerNo);
  }
  return items;
}

void CMainFrame::OnRecentCallCommand(int id) {
  // The numbers as the menu showed them: a call that came in meanwhile
  // does not shift the choice.
  const std::size_t index = static_cast<std::size_t>(id - ID_MENU_RECENT_FIRST);
  if (index >= recentMenuNumbers_.size()) return;
  RunDialoutDialog(NormalizeNumber(recentMenuNumbers_[index]));
}
