#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "driver/ndis_types.h"  // WPS_AUTH_..., WPS_ENCR_...
#include "driver/oid/ndis_records.h"
#include "driver/oid/wps_records.h"
#include "profiles/profile_store.h"
#include "profiles/secret_codec.h"

// The WPS credential store: the process-wide credential table in the driver's layout and the WPS
// page's settings, kept in the profile store's WPS settings file ("_wsc", sections "Common" and
// "Profile0".."Profile7") and the "WSC" value of the active configuration.
namespace ov {

inline constexpr std::string_view kWpsCommonSection = "Common";
inline constexpr std::string_view kWpsProfileSectionFormat = "Profile%d";
inline constexpr std::string_view kWpsNumberOfProfileKey = "NumberofProfile";
inline constexpr std::string_view kWpsConfigModeKey = "ConfigMode";
inline constexpr std::string_view kWpsWirelessModeKey = "Wireless Mode";
inline constexpr std::string_view kWpsPinCodeKey = "PinCode";
inline constexpr std::string_view kWpsChannelKey = "Channel";
inline constexpr std::string_view kWpsSsidKey = "SSID";
inline constexpr std::string_view kWpsAuthTypeKey = "AuthType";
inline constexpr std::string_view kWpsEncryTypeKey = "EncryType";
inline constexpr std::string_view kWpsKeyIndexKey = "KeyIndex";
inline constexpr std::string_view kWpsKeyLengthKey = "KeyLength";
inline constexpr std::string_view kWpsKeyKey = "Key";
inline constexpr std::string_view kWpsMacAddressKey = "MacAddress";

// The WPS page's settings kept beside the table.
struct WpsSettings {
  int32_t ConfigMode = 0;    // 0 enrollee, 1 registrar
  int32_t WirelessMode = 0;  // 0 2.4 GHz, 1 5 GHz; sent as OID_VND_WPS_WIRELESS_MODE
  int32_t PinCode = 0;       // the 8-digit PIN as a number
  int32_t Channel = 1;       // channel of the last successful run
  bool operator==(const WpsSettings&) const = default;
};

// The process-wide WPS state: where the active configuration comes from, the settings, the
// credential table and the peer address.
struct WpsStoreState {
  // "WSC" of the active configuration: 1 while the WPS store's credential is the active
  // configuration rather than a station profile.
  int32_t WpsProfileInUse = 0;
  WpsSettings Settings;
  WpsCredentialTable Table;
  MacAddress PeerAddress{};
};

// What saving needs from the wireless service: the service profiles a replaced credential
// leaves behind are deleted by their name (the credential's SSID).
class WpsServiceProfiles {
 public:
  virtual ~WpsServiceProfiles() = default;
  virtual bool ServiceProfileExists(std::string_view name) = 0;
  virtual bool DeleteServiceProfile(std::string_view name) = 0;
};

// Keeps a table inside its layout whatever it was read from: at most 8 credentials, SSIDs of at
// most 32 bytes, keys of at most 64; the slots past the count are zeroed so that nothing stale
// is applied or saved from them.
void ClampWpsCredentialTable(WpsCredentialTable& table);

// Empties the table and the peer address and sets the channel to 1 (adapter set-up).
void ResetWpsCredentials(WpsStoreState& state);

// Takes a table the driver answered after a successful run, clamped.
void TakeDriverCredentialTable(WpsStoreState& state, const WpsCredentialTable& table);

// Reads "WSC" of the active configuration, the settings of "Common" and the credentials of the
// first "NumberofProfile" slots (at most 8). Empty or missing values leave what was there; the
// channel starts at 1 and the table and peer address are zeroed first. A key text longer than
// its "KeyLength" gives only that many characters; a "KeyLength" longer than the key text read
// shrinks to it. `codec` decrypts the "Key" values (null: they are taken as stored).
void LoadWpsStore(const ProfileStore& store, SecretCodec* codec, WpsStoreState& state);

// Writes "Common" and all eight "Profile%d" sections; slots past the count are written empty.
// With `replace`, the service profile named by each slot's previously stored SSID is deleted
// first (when `service` knows it). The "Key" values go through `codec` while the store encrypts
// secrets (null: clear text).
void SaveWpsStore(ProfileStore& store, SecretCodec* codec, const WpsStoreState& state,
                  bool replace, WpsServiceProfiles* service);

// Writes "WSC" (WpsProfileInUse) into the active configuration and "Channel" into "Common".
void MarkWpsUse(ProfileStore& store, const WpsStoreState& state);

// "Profile%d" of slot n.
std::string WpsProfileSection(int slot);
// "%02X%02X%02X%02X%02X%02X", and back: exactly 12 hexadecimal digits, else nothing.
std::string FormatWpsMacAddress(const MacAddress& mac);
std::optional<MacAddress> ParseWpsMacAddress(std::string_view text);

}  // namespace ov
