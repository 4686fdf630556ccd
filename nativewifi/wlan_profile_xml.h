#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "nativewifi/certificate_manager.h"
#include "nativewifi/station_profile.h"

namespace ov {
class RegistryWriter;
}

// BuildWlanProfile: one StationProfile as the documents the wireless service takes, the WLAN
// profile and, for 802.1X profiles, the EAP user credentials. The builder keeps no state and
// never changes or releases the record it is given; its owner does that.
namespace ov {

// Each document holds at most this many UTF-16 characters.
constexpr size_t kWlanDocumentMaxChars = 5000;
// The EAP-FAST "<EAPConfig>...</EAPConfig>" text holds at most this many bytes.
constexpr size_t kEapFastConfigMaxBytes = 5000;
// Working buffers of the escaped values, in bytes. The SSID's and the pre-shared key's hold
// every escaped value their fields allow; identities, passwords and the server name get room
// for their longest escaped field too, so that a credential is never cut into a different one.
constexpr size_t kEscapedSsidMaxBytes = 250;
constexpr size_t kEscapedPskMaxBytes = 450;
constexpr size_t kEscapedCredentialMaxBytes = 6 * kServerNameMaxLength;

// The IHV extension's registry key for WAPI, under the classes root.
inline constexpr const char* kWapiAuthKeyPath =
    "CLSID\\{5B7E2C10-3D4A-4F61-9A2E-7C0D1E8B4F53}\\Wapi_auth";

struct WlanProfileEnvironment {
  // The monitor's last scan list (BssidListBuffer), for a record without an SSID.
  std::span<const uint8_t> lastScanList;
  // The certificate-manager library, for WAPI profiles; null when it is not loaded.
  CertificateManager* certificateManager = nullptr;
  // Where the WAPI values for the IHV extension go (the registry broker); null writes none.
  RegistryWriter* registry = nullptr;
};

// BSS types for the connection (DOT11_BSS_TYPE).
constexpr uint32_t kBssTypeInfrastructure = 1;
constexpr uint32_t kBssTypeIndependent = 2;
constexpr uint32_t kBssTypeAny = 3;

struct WlanProfileDocuments {
  std::string profileName;         // the SSID as text, as the document's name element parses
  std::string profileXml;          // empty when there is nothing to store (see below)
  std::string userCredentialsXml;  // empty unless the EAP method has one
  uint32_t bssType = kBssTypeInfrastructure;
  bool securityEnabled = false;
  int32_t useBssid = 0;
  // A document that would pass its limit is not produced (cut, it would no longer be XML).
  bool profileTooLong = false;
  bool userCredentialsTooLong = false;
};

// Builds the documents. A record with an empty SSID takes the strongest open infrastructure
// network of the last scan list and fills the SSID from it; with no such network the profile
// name and the profile XML stay empty.
WlanProfileDocuments BuildWlanProfile(const StationProfile& record,
                                      const WlanProfileEnvironment& environment);

}  // namespace ov
