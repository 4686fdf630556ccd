#pragma once
#include <cstddef>
#include <cstdint>

// The published NDIS 802.11 and native-wireless (DOT11) enumerations and record sizes that
// travel over the OID channel and the wireless service. Values are the platform's; keep them.
namespace ov {

// NDIS_802_11_AUTHENTICATION_MODE
enum NdisAuthenticationMode : uint32_t {
  Ndis802_11AuthModeOpen = 0,
  Ndis802_11AuthModeShared = 1,
  Ndis802_11AuthModeAutoSwitch = 2,
  Ndis802_11AuthModeWPA = 3,
  Ndis802_11AuthModeWPAPSK = 4,
  Ndis802_11AuthModeWPANone = 5,
  Ndis802_11AuthModeWPA2 = 6,
  Ndis802_11AuthModeWPA2PSK = 7,
};

// NDIS_802_11_ENCRYPTION_STATUS
enum NdisEncryptionStatus : uint32_t {
  Ndis802_11WEPEnabled = 0,
  Ndis802_11WEPDisabled = 1,
  Ndis802_11WEPKeyAbsent = 2,
  Ndis802_11WEPNotSupported = 3,
  Ndis802_11Encryption2Enabled = 4,  // TKIP
  Ndis802_11Encryption2KeyAbsent = 5,
  Ndis802_11Encryption3Enabled = 6,  // AES
  Ndis802_11Encryption3KeyAbsent = 7,
};

// NDIS_802_11_NETWORK_TYPE, as NetworkTypeInUse of a scan entry.
enum NdisNetworkType : uint32_t {
  Ndis802_11FH = 0,
  Ndis802_11DS = 1,
  Ndis802_11OFDM5 = 2,
  Ndis802_11OFDM24 = 3,
  Ndis802_11Automode = 4,
  Ndis802_11NetworkTypeMax = 5,  // also the value for a PHY type with no NDIS equivalent
};

// NDIS_802_11_NETWORK_INFRASTRUCTURE, as InfrastructureMode of a scan entry.
enum NdisNetworkInfrastructure : uint32_t {
  Ndis802_11IBSS = 0,
  Ndis802_11Infrastructure = 1,
  Ndis802_11AutoUnknown = 2,
};

// Record sizes in bytes.
constexpr size_t kNdisSsidSize = 36;              // NDIS_802_11_SSID: u32 length, 32 octets
constexpr size_t kNdisSsidMaxLength = 32;
constexpr size_t kNdisMacAddressSize = 6;         // NDIS_802_11_MAC_ADDRESS
constexpr size_t kNdisRatesSize = 8;              // NDIS_802_11_RATES, 500 kbit/s units
constexpr size_t kNdisRatesExSize = 16;           // the scan entry's SupportedRates
constexpr uint8_t kNdisBasicRateFlag = 0x80;      // bit 7 of a rate octet
constexpr size_t kNdisConfigurationSize = 32;     // NDIS_802_11_CONFIGURATION
constexpr size_t kNdisWlanBssidExFixedSize = 116; // NDIS_WLAN_BSSID_EX before its elements

// DOT11_AUTH_ALGORITHM
enum Dot11AuthAlgorithm : uint32_t {
  DOT11_AUTH_ALGO_80211_OPEN = 1,
  DOT11_AUTH_ALGO_80211_SHARED_KEY = 2,
  DOT11_AUTH_ALGO_WPA = 3,
  DOT11_AUTH_ALGO_WPA_PSK = 4,
  DOT11_AUTH_ALGO_WPA_NONE = 5,
  DOT11_AUTH_ALGO_RSNA = 6,
  DOT11_AUTH_ALGO_RSNA_PSK = 7,
};

// DOT11_CIPHER_ALGORITHM
enum Dot11CipherAlgorithm : uint32_t {
  DOT11_CIPHER_ALGO_NONE = 0x00,
  DOT11_CIPHER_ALGO_WEP40 = 0x01,
  DOT11_CIPHER_ALGO_TKIP = 0x02,
  DOT11_CIPHER_ALGO_CCMP = 0x04,
  DOT11_CIPHER_ALGO_WEP104 = 0x05,
  DOT11_CIPHER_ALGO_WEP = 0x101,
};

// WPS credential flags (AuthType, EncryType of a WPS credential).
constexpr uint32_t WPS_AUTH_OPEN = 0x0001;
constexpr uint32_t WPS_AUTH_WPAPSK = 0x0002;
constexpr uint32_t WPS_AUTH_SHARED = 0x0004;
constexpr uint32_t WPS_AUTH_WPA = 0x0008;
constexpr uint32_t WPS_AUTH_WPA2 = 0x0010;
constexpr uint32_t WPS_AUTH_WPA2PSK = 0x0020;
constexpr uint32_t WPS_ENCR_NONE = 0x0001;
constexpr uint32_t WPS_ENCR_WEP = 0x0002;
constexpr uint32_t WPS_ENCR_TKIP = 0x0004;
constexpr uint32_t WPS_ENCR_AES = 0x0008;

// What the wireless service reports for a connection made from a WPS credential: used to tell
// whether a WPS result led to the connection now up. Exact values only, as the driver sends
// them; mixed WPA/WPA2-PSK (0x22) counts as WPA-PSK, TKIP|AES (0x0C) as TKIP.
Dot11AuthAlgorithm WpsAuthTypeToDot11(uint32_t wpsAuthType);
Dot11CipherAlgorithm WpsEncryTypeToDot11(uint32_t wpsEncryType);

}  // namespace ov
