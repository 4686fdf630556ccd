#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "profilepages/peap_prompt_rules.h"
#include "profiles/profile_store.h"

// The profile list's rules without widgets: the rows and their images, the active row and its
// connection state, the details pane, the default name of a new profile, and the two actions
// that change what is active (activation and deletion), which the page and `ovuictl` share.
namespace ov {

class ActionQueue;

// Images of the list (16-pixel cells; the numbers the list shows).
inline constexpr int kProfileImageAdhoc = 0;
inline constexpr int kProfileImageInfrastructure = 1;
inline constexpr int kProfileImageSecured = 5;
inline constexpr int kProfileImageActiveConnected = 6;
inline constexpr int kProfileImageActiveNotConnected = 7;
inline constexpr int kProfileImageWapi = 10;
inline constexpr int kProfileImageCount = 11;

// ProfileRow::State.
inline constexpr int32_t kRowNotActive = -1;
inline constexpr int32_t kRowActiveConnected = 0;
inline constexpr int32_t kRowActiveNotConnected = 1;

struct ProfileRow {
  int32_t State = kRowNotActive;
  std::string Name;
  std::string Ssid;
  bool Secured = false;
  bool Infrastructure = false;
  bool Wapi = false;
};

// What the list reads from one profile section, as stored.
struct ProfileRowValues {
  std::string ssid;
  int32_t authMode = 0;
  int32_t use8021x = 0;
  int32_t cipherMode = 0;
  int32_t networkType = 0;
};

// One row: AuthMode 256 and 512 are the WAPI choices, other values outside 0..7 count as open;
// Use8021X counts only for open or shared authentication with WPA ready.
ProfileRow MakeProfileRow(std::string name, const ProfileRowValues& values, bool wpaReady);

// Every stored profile, in the store's order, none active.
std::vector<ProfileRow> ReadProfileRows(const ProfileStore& store, bool wpaReady);

// Whether activation writes the store (an administrator, or a standard user the policy lets
// change profiles); otherwise it only names the selected profile.
inline bool ActivationWritesStore(bool isAdmin, bool allowStandardUserSetProfile) {
  return isAdmin || allowStandardUserSetProfile;
}

// The name of the profile in effect: "CurProfile" when activation writes the store, otherwise
// the selected profile, which is the section the loader reads for such a user.
std::string ActiveProfileName(const ProfileStore& store, bool activationWritesStore,
                              const std::string& selectedProfileName);

// The row whose name equals `name` without regard to case; none for an empty name.
std::optional<size_t> FindActiveRow(const std::vector<ProfileRow>& rows, std::string_view name);

// Cell images, -1 for none.
int StateImage(const ProfileRow& row, bool showActiveIcon);
int SecurityImage(const ProfileRow& row);
int NetworkTypeImage(const ProfileRow& row);

// The link as the active-icon timer sees it.
struct LinkFacts {
  bool connected = false;
  bool bssidNonZero = false;
  int32_t stationProfileInUse = 0;
  int32_t wpsProfileInUse = 0;
  std::string currentSsid;
};

// Connected (0) when the link came from this list and its SSID is the row's (or the row names
// none); otherwise not connected (1).
int32_t ActiveRowState(const ProfileRow& row, const LinkFacts& link);

// Gives the active row `state` and every other row kRowNotActive.
void MarkActiveRow(std::vector<ProfileRow>& rows, std::optional<size_t> active, int32_t state);

// The row Edit, Delete, Apply and Export act on: the selected one, or the only row.
std::optional<size_t> TargetRow(std::optional<size_t> selected, size_t rowCount);

// The name for a new profile: `prefix` followed by one more than the largest number that
// follows the prefix (exact case) in a stored name, trimmed of blanks; 1 with none.
std::string NextDefaultProfileName(const std::vector<std::string>& names, std::string_view prefix);

// The eleven values of the details pane.
struct ProfileDetails {
  std::string name;
  std::string ssid;
  std::string networkType;
  std::string authentication;
  std::string encryption;
  std::string use8021x;
  std::string txPower;
  std::string channel;
  std::string powerSave;
  std::string rtsThreshold;
  std::string fragThreshold;
};

// The details of a stored profile. Stored codes outside the text tables show nothing rather
// than a text read from beyond them.
ProfileDetails ReadProfileDetails(const ProfileStore& store, const std::string& name);

// Texts of the tables, "" for a code the table does not hold.
std::string NetworkTypeText(int32_t networkType);
std::string AuthenticationText(int32_t authMode);
std::string EncryptionText(int32_t cipherMode);
std::string TxPowerText(int32_t txPower);
std::string LeapEncryptionText(int32_t leapEncryType);

// The service's WLAN profiles, as deletion needs them.
struct ServiceProfiles {
  std::function<bool(const std::string& name)> exists;
  std::function<void(const std::string& name)> remove;
};

// What deleting a profile needs to know and may change.
struct DeleteContext {
  std::string activeName;            // the profile in effect ("" none)
  int32_t* stationProfileInUse = nullptr;  // cleared when the profile in use is deleted
  int32_t wpsProfileInUse = 0;
  std::string wpsCredentialSsid;     // SSID of the WPS store's current credential
  bool wpaReady = false;
  ServiceProfiles service;           // empty functions: no service
};

struct DeleteOutcome {
  bool deleted = false;
  bool wasActive = false;
  bool activeConfigurationReset = false;
  bool serviceProfileRemoved = false;
  // The row for the same SSID that takes the deleted row's place and was active before: to be
  // activated next.
  std::optional<std::string> reactivate;
  std::vector<ProfileRow> rows;       // the list after the deletion
  std::optional<size_t> selectRow;    // the row to select afterwards; none when the list is empty
};

// Deletes row `index` of `rows` (the list as shown): resets the active configuration when it
// was the profile in use, removes the service's WLAN profile of its SSID unless the active
// profile or the WPS credential still uses that SSID, deletes the section, and says which row
// to activate and select next.
DeleteOutcome DeleteProfileRow(ProfileStore& store, const std::vector<ProfileRow>& rows,
                               size_t index, const DeleteContext& context);

// Activation of a stored profile: the store (or, for a user who may not write it, the selected
// name) records it, the WPS credential stops being in use, and the action queue loads and
// applies it. `radioApply` 1 also sends the radio settings (a process that has not sent them
// yet). False when the store could not be written; nothing is applied then.
// `activeValues` (the credential prompt's answer) are written over the active configuration's
// copy before it is applied; the profile's own section keeps what it had.
bool ActivateStoredProfile(ActionQueue& queue, ProfileStore& store, const std::string& name,
                           bool writesStore, uint32_t radioApply,
                           const std::vector<ProfileStore::KeyValue>& activeValues = {});

// The stored values that decide whether applying the profile asks for credentials first.
PeapPromptProfile ReadPeapPromptProfile(const ProfileStore& store, const std::string& name);

}  // namespace ov
