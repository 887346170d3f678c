// What the client knows of the user's profiles and devices: the two lists
// from the server, the device mode, which profile the server reported as
// forced, and a restore request still to be sent. The answers change it
// through this interface; everyone else reads it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "common/id_string_list.h"
#include "net/user_request.h"

class CProfileState {
 public:
  // ---- answers (`rest` is the text after the status)
  // A successful profile list replaces the old one and counts as loaded;
  // an error answer only empties it.
  void TakeProfileList(std::string_view rest);
  void DropProfileList() { m_lstProfiles.RemoveAll(); }
  void TakeDeviceList(std::string_view rest);
  void DropDeviceList() { m_lstDevices.RemoveAll(); }
  // A number the user typed as the own default joins the devices.
  void AddDevice(std::string device) { m_lstDevices.AddHead(0, 0, std::move(device)); }
  // The server's forced profile ("" = none). The first report after a
  // start or a login is checked; later ones only refresh it.
  void TakeForcedProfile(std::string profile);
  // True when `profile` is to be shown to the user: one is forced and it
  // has not been checked since the start or the last login.
  bool IsNews(const std::string& profile) const { return !profile.empty() && !m_bForcedChecked; }
  // A login: the forced profile is to be checked (and shown) again.
  void ForgetForcedCheck() { m_bForcedChecked = 0; }

  // A forced profile held back until the configuration dialog closes.
  void HoldForDisplay(std::string profile) { m_strInformProfile = std::move(profile); }
  const std::string& HeldForDisplay() const { return m_strInformProfile; }

  // A restore request whose send failed; it goes out after the next connect.
  void KeepPending(UserRequest request) { m_pendingRequest = std::move(request); }
  void ClearPending() { m_pendingRequest.reset(); }
  bool HasPending() const { return m_pendingRequest.has_value(); }
  const std::optional<UserRequest>& PendingRequest() const { return m_pendingRequest; }

  // ---- lookups (the last entry of a name counts; "" when none)
  std::optional<int> FindProfileId(std::string_view name) const;
  std::string ProfileNameById(int id) const;

  const CIdStringList& Profiles() const { return m_lstProfiles; }
  const CIdStringList& Devices() const { return m_lstDevices; }
  int DeviceMode() const { return m_nDeviceMode; }
  bool ProfilesLoaded() const { return m_bProfilesLoaded != 0; }
  bool DevicesLoaded() const { return m_bDevicesLoaded != 0; }
  bool ForcedChecked() const { return m_bForcedChecked != 0; }
  const std::string& ForcedProfile() const { return m_strForcedProfile; }

 private:
  CIdStringList m_lstProfiles;
  CIdStringList m_lstDevices;
  int m_nDeviceMode = 0;
  int m_bProfilesLoaded = 0;
  int m_bDevicesLoaded = 0;
  int m_bForcedChecked = 0;
  std::string m_strForcedProfile;
  std::string m_strInformProfile;
  std::optional<UserRequest> m_pendingRequest;
};
