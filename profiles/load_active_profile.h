#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "nativewifi/station_profile.h"
#include "profiles/profile_store.h"

// Loading the active configuration from the store into a StationProfile.
namespace ov {

// What the load needs from the rest of the program (the monitor window's process-wide state).
struct ActiveProfileContext {
  bool isAdmin = false;
  bool allowStandardUserSetProfile = false;
  // The activated profile for a user whose activation does not copy into the active
  // configuration.
  std::string selectedProfileName;
  bool wpaReady = false;
  // The driver's NDIS version word; "ACPowerCam" is loaded only above 0x0500.
  uint16_t ndisVersion = 0;
  // Called for an ad hoc profile: the program remembers the BSSID of the interface's current
  // connection as the current ad hoc BSSID.
  std::function<void()> rememberAdhocBssid;
};

// Fills `record`, which the caller has zeroed and whose radio part (Ccx2Control and, with
// RadioApply, the rest) LoadRadioSettings has filled. The source is the active configuration
// (section "Config", blob file kind 4) for an administrator or when standard users may set
// profiles, otherwise the selected profile's own section (blob file kind 5).
//
// Values that do not fit their fields are not loaded (the field keeps its default) rather than
// cut: identities and passwords of more than 127 bytes, a pre-shared key of more than 64, a blob
// length outside 1..3999; certificate lengths are clamped to 152 and to the bytes stored.
void LoadActiveProfile(const ProfileStore& store, const ActiveProfileContext& context,
                       StationProfile& record);

}  // namespace ov
