#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "driver/ndis_types.h"
#include "platform/system/mac_address.h"

// The published NDIS 802.11 and native-wireless records that travel over the OID channel, in
// the platform's layouts. Every record has an Encode (to its exact bytes) and a Decode (from a
// buffer and its byte count; false, with the record untouched, when the buffer is shorter than
// the record). All integers are little-endian.
namespace ov {

// ---- NDIS_802_11_SSID (36 bytes): ULONG SsidLength, 32 octets ----
struct NDIS_802_11_SSID {
  uint32_t SsidLength = 0;  // decoded lengths above 32 are cut to 32
  std::array<uint8_t, kNdisSsidMaxLength> Ssid{};
  bool operator==(const NDIS_802_11_SSID&) const = default;
};
constexpr size_t kNdis80211SsidSize = kNdisSsidSize;
std::array<uint8_t, kNdis80211SsidSize> EncodeNdisSsid(const NDIS_802_11_SSID& ssid);
bool DecodeNdisSsid(std::span<const uint8_t> bytes, NDIS_802_11_SSID& ssid);
// An SSID record from text; more than 32 bytes are cut.
NDIS_802_11_SSID MakeNdisSsid(std::string_view text);
// The SsidLength bytes as text.
std::string_view NdisSsidText(const NDIS_802_11_SSID& ssid);

// ---- NDIS_802_11_RATES (8 bytes): rates in 500 kbit/s units, bit 7 a basic rate ----
struct NDIS_802_11_RATES {
  std::array<uint8_t, kNdisRatesSize> Rates{};
  bool operator==(const NDIS_802_11_RATES&) const = default;
};
std::array<uint8_t, kNdisRatesSize> EncodeNdisRates(const NDIS_802_11_RATES& rates);
bool DecodeNdisRates(std::span<const uint8_t> bytes, NDIS_802_11_RATES& rates);

// ---- NDIS_802_11_CONFIGURATION (32 bytes) ----
struct NDIS_802_11_CONFIGURATION_FH {
  uint32_t Length = 0;
  uint32_t HopPattern = 0;
  uint32_t HopSet = 0;
  uint32_t DwellTime = 0;
  bool operator==(const NDIS_802_11_CONFIGURATION_FH&) const = default;
};
struct NDIS_802_11_CONFIGURATION {
  uint32_t Length = 0;
  uint32_t BeaconPeriod = 0;
  uint32_t ATIMWindow = 0;
  uint32_t DSConfig = 0;  // byte offset 12: channel centre frequency in kHz
  NDIS_802_11_CONFIGURATION_FH FHConfig;
  bool operator==(const NDIS_802_11_CONFIGURATION&) const = default;
};
constexpr size_t kNdis80211ConfigurationSize = kNdisConfigurationSize;
std::array<uint8_t, kNdis80211ConfigurationSize> EncodeNdisConfiguration(
    const NDIS_802_11_CONFIGURATION& config);
bool DecodeNdisConfiguration(std::span<const uint8_t> bytes, NDIS_802_11_CONFIGURATION& config);

// ---- NDIS_OBJECT_HEADER (4 bytes): UCHAR Type, UCHAR Revision, USHORT Size ----
constexpr uint8_t NDIS_OBJECT_TYPE_DEFAULT = 0x80;
constexpr uint8_t kDot11HeaderRevision = 1;
struct NDIS_OBJECT_HEADER {
  uint8_t Type = 0;
  uint8_t Revision = 0;
  uint16_t Size = 0;
  bool operator==(const NDIS_OBJECT_HEADER&) const = default;
};
constexpr size_t kNdisObjectHeaderSize = 4;
std::array<uint8_t, kNdisObjectHeaderSize> EncodeNdisObjectHeader(const NDIS_OBJECT_HEADER& header);
bool DecodeNdisObjectHeader(std::span<const uint8_t> bytes, NDIS_OBJECT_HEADER& header);
// The header every native-wireless set carries: type 0x80, revision 1, the record's size.
constexpr NDIS_OBJECT_HEADER MakeDot11Header(uint16_t recordSize) {
  return {NDIS_OBJECT_TYPE_DEFAULT, kDot11HeaderRevision, recordSize};
}

// ---- DOT11_PHY_TYPE values ----
enum DOT11_PHY_TYPE : uint32_t {
  dot11_phy_type_unknown = 0,
  dot11_phy_type_fhss = 1,
  dot11_phy_type_dsss = 2,
  dot11_phy_type_irbaseband = 3,
  dot11_phy_type_ofdm = 4,  // the 5 GHz PHY: its presence marks an adapter that can use 5 GHz
  dot11_phy_type_hrdsss = 5,
  dot11_phy_type_erp = 6,
  dot11_phy_type_ht = 7,
};

// ---- DOT11_POWER_SAVING levels of OID_DOT11_POWER_MGMT_REQUEST ----
constexpr uint32_t DOT11_POWER_SAVING_NO_POWER_SAVING = 0;
constexpr uint32_t DOT11_POWER_SAVING_FAST_PSP = 8;
constexpr uint32_t DOT11_POWER_SAVING_MAX_PSP = 16;
constexpr uint32_t DOT11_POWER_SAVING_MAXIMUM_LEVEL = 24;

// ---- DOT11_SUPPORTED_PHY_TYPES, asked for with room for 64 entries (264 bytes) ----
struct DOT11_SUPPORTED_PHY_TYPES {
  static constexpr size_t kMaxEntries = 64;
  uint32_t uNumOfEntries = 0;  // decoded counts above 64 are cut to 64
  uint32_t uTotalNumOfEntries = 0;
  std::array<uint32_t, kMaxEntries> dot11PHYType{};
  bool operator==(const DOT11_SUPPORTED_PHY_TYPES&) const = default;
};
constexpr size_t kDot11SupportedPhyTypesSize = 264;
std::array<uint8_t, kDot11SupportedPhyTypesSize> EncodeDot11SupportedPhyTypes(
    const DOT11_SUPPORTED_PHY_TYPES& types);
bool DecodeDot11SupportedPhyTypes(std::span<const uint8_t> bytes, DOT11_SUPPORTED_PHY_TYPES& types);
// Whether one of the first uNumOfEntries entries is `phyType`.
bool ListsPhyType(const DOT11_SUPPORTED_PHY_TYPES& types, uint32_t phyType);

// ---- DOT11_BSSID_LIST with one entry (20 bytes: header, two ULONGs, one MAC, 2 padding) ----
struct DOT11_BSSID_LIST {
  NDIS_OBJECT_HEADER Header;
  uint32_t uNumOfEntries = 0;
  uint32_t uTotalNumOfEntries = 0;
  MacAddress BSSIDs{};  // the one entry this system sends
  bool operator==(const DOT11_BSSID_LIST&) const = default;
};
constexpr size_t kDot11BssidListSize = 20;
std::array<uint8_t, kDot11BssidListSize> EncodeDot11BssidList(const DOT11_BSSID_LIST& list);
bool DecodeDot11BssidList(std::span<const uint8_t> bytes, DOT11_BSSID_LIST& list);
// The list of one BSSID with its header filled: type 0x80, revision 1, size 20, counts 1 and 1.
DOT11_BSSID_LIST MakeDesiredBssidList(const MacAddress& bssid);

}  // namespace ov
