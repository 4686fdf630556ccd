#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "driver/oid/ndis_records.h"

// StationProfile: the in-memory form of one station configuration. The profile store fills it,
// the action queue sends its radio part to the driver, and the WLAN profile builder turns it into
// the service's documents. It lives here, below the profile store, because the native wireless
// client and the builder consume it and may not reach up into profiles/.
//
// The record owns everything it holds (strings, vectors, optional key blocks), so a copy is a deep
// copy and destruction releases it; nobody else frees its parts.
namespace ov {

// ---- NDIS_802_11_KEY: the driver's key record ----
// Length (u32) = KeyLength + 39, KeyIndex (u32), KeyLength (u32), BSSID (6 bytes, all 0xFF),
// 2 bytes of padding, KeyRSC (u64, zero) at offset 24, material from offset 32. The block is
// KeyLength + 39 bytes long, as the driver sizes it.
constexpr size_t kKeyBlockMaterialOffset = 32;
constexpr size_t kKeyBlockOverhead = 39;
constexpr uint32_t kTransmitKeyBit = 0x80000000u;
constexpr size_t kWepKey40Length = 5;
constexpr size_t kWepKey104Length = 13;
constexpr size_t kPmkLength = 32;
constexpr size_t kAdhocKeyBlockSize = kPmkLength + kKeyBlockOverhead;  // 71

struct KeyBlock {
  uint32_t keyIndex = 0;          // bit 31 marks the transmit key
  std::vector<uint8_t> material;  // KeyLength bytes
  bool operator==(const KeyBlock&) const = default;

  size_t encodedSize() const { return material.size() + kKeyBlockOverhead; }
  bool isTransmitKey() const { return (keyIndex & kTransmitKeyBit) != 0; }
};

std::vector<uint8_t> EncodeKeyBlock(const KeyBlock& key);
// False (key untouched) when the block is shorter than its header, its Length field disagrees
// with KeyLength, or the material would run past the block.
bool DecodeKeyBlock(std::span<const uint8_t> bytes, KeyBlock& key);

// ---- Field limits: the fixed buffers the record stands for ----
constexpr size_t kSsidMaxLength = 32;
constexpr size_t kIdentityMaxLength = 127;  // 128-byte fields with their NUL
constexpr size_t kPskMaxLength = 64;        // a 64-character key fills the field, no NUL
constexpr size_t kPathMaxLength = 255;      // 256-byte fields
constexpr size_t kServerNameMaxLength = 255;
constexpr size_t kLeapTextMaxLength = 255;
constexpr size_t kCertHashMaxLength = 152;
constexpr size_t kEapBlobMaxLength = 3999;

// Stored "AuthMode" codes.
enum ProfileAuthMode : int32_t {
  kAuthOpen = 0,
  kAuthShared = 1,
  kAuthAutoSwitch = 2,
  kAuthWpa = 3,
  kAuthWpaPsk = 4,
  kAuthWpaNone = 5,
  kAuthWpa2 = 6,
  kAuthWpa2Psk = 7,
  kAuthCckm = 10,
  kAuthCcx = 11,
  kAuthWapiPsk = 256,
  kAuthWapiCa = 512,
};

// Stored "CipherMode" codes.
enum ProfileCipherMode : int32_t {
  kCipherWep = 0,
  kCipherNone = 1,
  kCipherTkip = 4,
  kCipherAes = 6,
  kCipherTkipMfp = 8,
  kCipherAesMfp = 10,
  kCipherSms4 = 256,
};

// Stored "AuthenProtocol" codes (EAP method).
enum EapMethodCode : uint32_t {
  kEapPeap = 0,
  kEapTls = 1,
  kEapTtls = 2,
  kEapFast = 3,
  kEapMd5 = 4,
  kEapLeap = 5,
};

// Inner EAP types stored as "TunnelProtocol" for PEAP and EAP-FAST.
enum InnerEapType : uint32_t {
  kInnerGtc = 6,
  kInnerTls = 13,
  kInnerMsChapV2 = 26,
};

// "SSOInfoInProf" bits.
constexpr uint32_t kSsoEnabled = 1u << 0;
constexpr uint32_t kSsoMachineOrUser = 1u << 1;
constexpr uint32_t kSsoAfterLogon = 1u << 2;

struct StationProfile {
  int32_t useBssid = 0;
  NDIS_802_11_SSID ssid;
  MacAddress bssid{};
  uint32_t networkType = 0;  // 0 ad hoc, 1 infrastructure
  uint32_t preambleType = 0;
  uint32_t rtsThreshold = 0;
  uint32_t fragThreshold = 0;
  int32_t authMode = 0;
  int32_t cipherMode = 0;
  uint32_t txPowerLevel = 0;
  std::optional<KeyBlock> adhocKey;            // AuthMode 5 only
  std::array<std::optional<KeyBlock>, 4> wepKeys;
  uint32_t powerSave = 0;
  uint32_t acPowerCam = 0;
  uint32_t channelFrequency = 0;  // kHz, ad hoc only
  uint32_t loaded = 0;
  int32_t useDiagnostic = 0;
  NDIS_802_11_SSID diagnosticSsid;
  uint32_t radioApply = 0;
  std::array<uint8_t, 8> desiredRates{};
  std::array<uint8_t, 32> staConfigBlock{};
  uint32_t ccx2Control = 0;
  uint32_t countryRegion = 0;
  int32_t use8021X = 0;
  uint32_t authenProtocol = 0;
  uint32_t tunnelProtocol = 0;
  uint32_t provisioningTunnel = 0;
  uint32_t ttlsInnerMethod = 0;
  uint32_t sessionResumption = 0;
  uint32_t useClientCert = 0;
  uint32_t useSmartCard = 0;
  uint32_t useServerCert = 0;
  uint32_t usePac = 0;
  uint32_t provisionMode = 0;
  std::string pacFilePath;
  uint32_t intermediateCert = 0;
  uint32_t nameRule = 0;
  std::string identity;
  std::string password;
  std::string tunnelIdentity;
  std::string tunnelPassword;
  std::string serverName;
  std::string psk;  // PskLength is its size
  uint32_t wapiPskKeyType = 0;
  uint32_t passwordMode = 0;
  std::vector<uint8_t> serverCertData;  // ServerCertLength is its size
  std::vector<uint8_t> clientCertData;
  uint8_t leapEnabled = 0;
  uint8_t leapCckm = 0;
  std::string leapUserName;
  uint32_t leapUserNameLength = 0;  // the loader sets 255; the survey's connect the name's length
  std::string leapPassword;
  std::string leapDomainName;
  std::vector<uint8_t> eapBlob;  // EapBlobLength is its size
  uint32_t ssoFlags = 0;
  uint32_t connectRequested = 0;
  uint32_t skipPhyMode = 0;
  std::string userCertPath;
  std::string asCertPath;

  bool operator==(const StationProfile&) const = default;
};

}  // namespace ov
