#include "profiles/profile_state.h"

#include "profiles/list_parsers.h"

void CProfileState::TakeProfileList(std::string_view rest) {
  m_lstProfiles.RemoveAll();
  fon::ParseProfileList(rest, m_lstProfiles);
  m_bProfilesLoaded = 1;
}

void CProfileState::TakeDeviceList(std::string_view rest) {
  m_lstDevices.RemoveAll();
  if (auto mode = fon::ParseDeviceList(rest, m_lstDevices)) m_nDeviceMode = *mode;
  m_bDevicesLoaded = 1;
}

void CProfileState::TakeForcedProfile(std::string profile) {
  m_bForcedChecked = 1;
  m_strForcedProfile = std::move(profile);
}

std::optional<int> CProfileState::FindProfileId(std::string_view name) const {
  std::optional<int> id;
  m_lstProfiles.ForEachFromTail([&](const IdStringEntry& entry) {
    if (entry.strText == name) id = entry.nId;
  });
  return id;
}

std::string CProfileState::ProfileNameById(int id) const {
  std::string name;
  m_lstProfiles.ForEachFromTail([&](const IdStringEntry& entry) {
    if (entry.nId == id) name = entry.strText;
  });
  return name;
}
