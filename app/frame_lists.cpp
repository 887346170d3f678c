// Answers to the frame's three list questions: the profiles, the devices
// and the profile forced at the moment.
#include <string_view>
#include <vector>

#include "app/main_frame.h"
#include "common/c_atoi.h"
#include "net/relay_answer.h"
#include "text_ids.h"

using namespace fon;

namespace {

// "|"-separated fields; a trailing bar gives a last empty field.
std::vector<std::string> SplitFields(std::string_view text) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    std::size_t bar = text.find('|', start);
    if (bar == std::string_view::npos) {
      fields.emplace_back(text.substr(start));
      return fields;
    }
    fields.emplace_back(text.substr(start, bar - start));
    start = bar + 1;
  }
}

// Pairs of id and name; an empty name or a missing one ends the list.
void ParseProfiles(const std::string& rest, CIdStringList& profiles) {
  std::vector<std::string> fields = SplitFields(rest);
  for (std::size_t i = 0; i + 1 < fields.size() && !fields[i + 1].empty(); i += 2)
    profiles.AddHead(0, Atoi(fields[i]), fields[i + 1]);
}

// The mode (only when a bar follows it), then pairs whose second field is
// the device; an empty or missing device ends the list.
void ParseDevices(const std::string& rest, int& deviceMode, CIdStringList& devices) {
  if (rest.find('|') == std::string::npos) return;
  std::vector<std::string> fields = SplitFields(rest);
  deviceMode = Atoi(fields[0]);
  for (std::size_t i = 1; i + 1 < fields.size() && !fields[i + 1].empty(); i += 2)
    devices.AddHead(0, 0, fields[i + 1]);
}

}  // namespace

void CMainFrame::OnProfileListAnswer(const std::string& answer) {
  relay_.Finish(kRelayProfileList);
  Debug("Relay answers to GETPROFILELIST request: " + answer + "\n");

  RelayStatus split = SplitRelayAnswer(answer);
  m_lstProfiles.RemoveAll();
  if (!split.ok) {
    ShowInfoPopup(2, LoadLangText(text::kProfileListError), 0);
    Debug("Error at GETPROFILELIST: " + split.rest + "\n");
    return;
  }
  ParseProfiles(split.rest, m_lstProfiles);
  if (m_bConfigAfterProfiles) RunConfigDialog();
  m_bProfilesLoaded = 1;
}

void CMainFrame::OnDevicesAnswer(const std::string& answer) {
  relay_.Finish(kRelayDevices);
  Debug("Relay answers to GETDEVICES request: " + answer + "\n");

  RelayStatus split = SplitRelayAnswer(answer);
  m_lstDevices.RemoveAll();
  if (!split.ok) {
    ShowInfoPopup(2, LoadLangText(text::kDeviceListError), 0);
    Debug("Error at GETDEVICES: " + split.rest + "\n");
    return;
  }
  ParseDevices(split.rest, m_nDeviceMode, m_lstDevices);
  m_bDevicesLoaded = 1;
}

void CMainFrame::OnActiveForcedProfileAnswer(const std::string& answer) {
  relay_.Finish(kRelayActiveProfile);
  Debug("Relay answers to GETACTIVEFORCEDPROFILE request: " + answer + "\n");

  RelayStatus split = SplitRelayAnswer(answer);
  // Everything after the first bar is the profile; "+OK" alone: none.
  std::string profile = split.rest == "+OK" ? std::string() : split.rest;
  if (!split.ok) {
    Debug("Error at GETACTIVEFORCEDPROFILE: " + split.rest);
    return;
  }
  // The user hears about a forced profile once per start or login.
  if (!profile.empty() && !m_bForcedChecked && !m_bInformDlgOpen) {
    if (m_dlgConfig.IsOpen()) {
      m_strInformProfile = profile;
      platform_.Timers().SetTimer(this, ID_TIMER_INFORM_PROFILE, kInformProfileRetryMs);
    } else {
      RunActiveProfileDialog(profile);
    }
  }
  m_bForcedChecked = 1;
  m_strForcedProfile = profile;
}
