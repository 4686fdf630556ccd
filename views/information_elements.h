#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

// What the scan list's information elements mean, by the standards that define them. Element
// ids and their clauses are IEEE 802.11-2012 (clause 8.4.2, "Information elements") unless said
// otherwise; suite selectors are the OUI and type octets of a cipher or AKM suite; WPS
// attribute types are those of the Wi-Fi Simple Configuration specification (clause 12,
// "Data Element Definitions"). Offsets count from an element's id octet.
namespace ov::ie {

// ---- Element layout ----
constexpr size_t kHeaderSize = 2;  // Element ID, Length
constexpr size_t kIdOffset = 0;
constexpr size_t kLengthOffset = 1;
constexpr size_t kBodyOffset = 2;

// ---- Element IDs ----
enum ElementId : uint8_t {
  kSsid = 0,                       // 8.4.2.2 SSID element
  kSupportedRates = 1,             // 8.4.2.3 Supported Rates element
  kDsParameterSet = 3,             // 8.4.2.4 DSSS Parameter Set element
  kTim = 5,                        // 8.4.2.7 TIM element
  kCountry = 7,                    // 8.4.2.10 Country element
  kErp = 42,                       // 8.4.2.14 ERP element
  kHtCapabilities = 45,            // 8.4.2.58 HT Capabilities element
  kRsn = 48,                       // 8.4.2.27 RSNE
  kExtendedSupportedRates = 50,    // 8.4.2.15 Extended Supported Rates element
  kNeighborReport = 52,            // 8.4.2.39 Neighbor Report element
  kMobilityDomain = 54,            // 8.4.2.49 Mobility Domain element (MDE)
  kHtOperation = 61,               // 8.4.2.59 HT Operation element (802.11n drafts: HT Information)
  kSecondaryChannelOffset = 62,    // 8.4.2.22 Secondary Channel Offset element
  kWapi = 68,                      // WAPI parameter set element (GB 15629.11; 802.11 gives 68 to
                                   // BSS AC Access Delay, which no beacon here carries)
  kOverlappingBssScanParameters = 74,  // 8.4.2.61 Overlapping BSS Scan Parameters element
  kExtendedCapabilities = 127,     // 8.4.2.29 Extended Capabilities element
  kVendorSpecific = 221,           // 8.4.2.28 Vendor Specific element
};

// ---- Organisation identifiers and suite selectors ----
using Oui = std::array<uint8_t, 3>;
constexpr Oui kOuiIeee80211 = {0x00, 0x0F, 0xAC};    // 8.4.2.27.2 RSN suite selectors
constexpr Oui kOuiWifiAlliance = {0x00, 0x50, 0xF2}; // WPA, WMM and WPS vendor elements
constexpr Oui kOuiCisco = {0x00, 0x40, 0x96};        // CCX: CKIP/CMIC ciphers, CCKM key management
constexpr Oui kOuiWpaNone = {0x00, 0x00, 0x42};      // AKM OUI some ad hoc WPA stations send
constexpr Oui kOuiWapi = {0x00, 0x14, 0x72};         // WAPI suite selectors
constexpr Oui kOuiBroadcom = {0x00, 0x90, 0x4C};     // pre-standard 802.11n elements
constexpr size_t kSuiteSize = 4;                     // OUI and type
constexpr size_t kSuiteCountSize = 2;                // little-endian

// RSN cipher suite types (IEEE 802.11 Table 8-99), used as well by the WPA element under the
// Wi-Fi Alliance OUI.
enum CipherSuiteType : uint8_t {
  kCipherUseGroup = 0,
  kCipherWep40 = 1,
  kCipherTkip = 2,
  kCipherWrap = 3,  // AES in OCB mode, from the 802.11i drafts
  kCipherCcmp = 4,  // AES in CCM mode
  kCipherWep104 = 5,
};

// RSN AKM suite types (IEEE 802.11 Table 8-101), also the WPA element's.
enum AkmSuiteType : uint8_t {
  kAkmNone = 0,  // what some ad hoc WPA stations send for their preshared key
  kAkm8021X = 1,
  kAkmPsk = 2,
};

// Cisco's cipher types in a WPA element's group suite.
enum CiscoCipherType : uint8_t {
  kCiscoCkip = 0,
  kCiscoCkipCmic = 1,
  kCiscoCmic = 2,
};

// WAPI suite types.
enum WapiSuiteType : uint8_t {
  kWapiAkmCertificate = 1,  // WAI certificate authentication
  kWapiAkmPsk = 2,          // WAI preshared key
  kWapiCipherSms4 = 1,
};

// Vendor-specific element types behind their OUI (the octet after it).
enum VendorElementType : uint8_t {
  kWifiAllianceWpa = 1,      // WPA information element
  kWifiAllianceWmm = 2,      // WMM/WME information and parameter elements
  kWifiAllianceWps = 4,      // Wi-Fi Simple Configuration element
  kBroadcomHtCapabilities = 0x33,  // 802.11n D1.10 HT Capabilities under Broadcom's OUI
  kBroadcomHtInformation = 0x34,   // 802.11n D1.00 HT additional capabilities
};

// ---- Element layouts this program reads ----

// RSNE: Version, Group Data Cipher Suite, Pairwise Cipher Suite Count and List, AKM Suite
// Count and List.
namespace rsn {
constexpr size_t kGroupSuite = 4;
constexpr size_t kPairwiseCount = 8;
constexpr size_t kPairwiseList = 10;
constexpr uint8_t kMinLength = 12;  // up to one pairwise suite
}  // namespace rsn

// WPA element: OUI and type, Version, Multicast Cipher Suite, Unicast Count and List, AKM
// Count and List, laid out as the RSNE four octets further on.
namespace wpa {
constexpr size_t kOuiAndType = 2;
constexpr size_t kGroupSuite = 8;
constexpr size_t kPairwiseCount = 12;
constexpr size_t kPairwiseList = 14;
constexpr uint8_t kMinLength = 16;
}  // namespace wpa

// WAPI parameter set: Version, AKM Suite Count and List, Unicast Cipher Suite Count and List,
// Multicast Cipher Suite, WAPI Capabilities.
namespace wapi {
constexpr size_t kAkmCount = 4;
constexpr size_t kAkmList = 6;
}  // namespace wapi

// HT Capabilities element (8.4.2.58): HT Capabilities Info, A-MPDU Parameters, Supported MCS
// Set, HT Extended Capabilities, Transmit Beamforming Capabilities, ASEL Capabilities.
namespace ht_capabilities {
constexpr uint8_t kLength = 26;
constexpr size_t kCapabilitiesInfo = 2;  // 16 bits, little-endian
constexpr size_t kAmpduParameters = 4;
constexpr size_t kSupportedMcsSet = 5;   // 16 octets
constexpr size_t kMcsSetSize = 16;
constexpr size_t kTxMcsSetOctet = 12;    // of the MCS set: Tx MCS Set Defined is its bit 0
}  // namespace ht_capabilities

// HT Capabilities Info bits.
enum HtCapabilityBit : uint16_t {
  kHtCapLdpc = 1u << 0,
  kHtCapChannelWidthSet = 1u << 1,
  kHtCapSmPowerSaveShift = 2,  // two bits
  kHtCapGreenfield = 1u << 4,
  kHtCapShortGi20 = 1u << 5,
  kHtCapShortGi40 = 1u << 6,
  kHtCapTxStbc = 1u << 7,
  kHtCapRxStbcShift = 8,  // two bits
  kHtCapDelayedBlockAck = 1u << 10,
  kHtCapMaxAmsduLength = 1u << 11,
  kHtCapDsssCck40 = 1u << 12,
  kHtCapPsmp = 1u << 13,
  kHtCapFortyMhzIntolerant = 1u << 14,
  kHtCapLsigTxopProtection = 1u << 15,
};

// HT Operation element (8.4.2.59): Primary Channel, three HT Operation Information subsets
// (1, 2 and 2 octets), Basic MCS Set (16 octets).
namespace ht_operation {
constexpr uint8_t kMinLength = 22;
constexpr size_t kPrimaryChannel = 2;
constexpr size_t kSubset1 = 3;
constexpr size_t kSubset2 = 4;  // 16 bits
constexpr size_t kSubset3 = 6;  // 16 bits
constexpr size_t kBasicMcsSet = 8;
constexpr size_t kBasicMcsSetSize = 16;
// Subset 3 bits.
constexpr unsigned kDualBeaconBit = 6;
constexpr unsigned kDualCtsProtectionBit = 7;
constexpr unsigned kStbcBeaconBit = 8;  // the secondary beacon
constexpr unsigned kLsigTxopFullSupportBit = 9;
constexpr unsigned kPcoActiveBit = 10;
constexpr unsigned kPcoPhaseBit = 11;
}  // namespace ht_operation

// Neighbor Report element (8.4.2.39): BSSID, BSSID Information (32 bits), Operating Class,
// Channel Number, PHY Type, optional subelements.
namespace neighbor_report {
constexpr uint8_t kMinLength = 13;
constexpr size_t kBssidInformation = 8;
constexpr unsigned kMobilityDomainBit = 10;
constexpr unsigned kHighThroughputBit = 11;
}  // namespace neighbor_report

// Extended Capabilities: bit 0 is 20/40 BSS Coexistence Management Support, which the 802.11n
// drafts called HT Information Exchange Support.
constexpr uint8_t kExtCapHtInformationExchange = 0x01;

// Capability Information field bits (8.4.1.4).
enum CapabilityBit : uint16_t {
  kCapEss = 1u << 0,
  kCapIbss = 1u << 1,
  kCapPrivacy = 1u << 4,
};

// Pre-standard HT elements under Broadcom's OUI.
constexpr uint8_t kBroadcomHtCapabilitiesLength = 30;
constexpr uint8_t kBroadcomHtInformationMinLength = 26;

// ---- Wi-Fi Simple Configuration (WPS) ----
namespace wps {
constexpr size_t kFirstAttribute = 6;   // after OUI and type
constexpr size_t kAttributeHeaderSize = 4;  // Type and Length, both big-endian

enum AttributeType : uint16_t {
  kConfigMethods = 0x1008,
  kDevicePasswordId = 0x1012,
  kEnrolleeNonce = 0x101A,
  kRfBands = 0x103C,
  kSelectedRegistrar = 0x1041,
  kWifiProtectedSetupState = 0x1044,
  kUuidE = 0x1047,
  kVersion = 0x104A,
  kSelectedRegistrarConfigMethods = 0x1053,
  kApSetupLocked = 0x1057,
};

enum SetupState : uint8_t { kUnconfigured = 1, kConfigured = 2 };
enum RfBand : uint8_t { kBand24GHz = 1, kBand5GHz = 2 };
constexpr size_t kUuidSize = 16;
constexpr size_t kNonceSize = 16;
}  // namespace wps

}  // namespace ov::ie
