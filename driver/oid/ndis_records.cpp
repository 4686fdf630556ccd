#include "driver/oid/ndis_records.h"

#include <algorithm>

#include "driver/oid/byte_codec.h"

namespace ov {

using namespace byte_codec;

// ---- NDIS_802_11_SSID ----

std::array<uint8_t, kNdis80211SsidSize> EncodeNdisSsid(const NDIS_802_11_SSID& ssid) {
  std::array<uint8_t, kNdis80211SsidSize> out{};
  PutU32(out, 0, ssid.SsidLength);
  PutBytes(out, 4, ssid.Ssid);
  return out;
}

bool DecodeNdisSsid(std::span<const uint8_t> bytes, NDIS_802_11_SSID& ssid) {
  if (bytes.size() < kNdis80211SsidSize) return false;
  // Readers copy SsidLength bytes out of the 32; a longer length would run past them.
  ssid.SsidLength = std::min<uint32_t>(GetU32(bytes, 0), kNdisSsidMaxLength);
  ssid.Ssid = GetBytes<kNdisSsidMaxLength>(bytes, 4);
  return true;
}

NDIS_802_11_SSID MakeNdisSsid(std::string_view text) {
  NDIS_802_11_SSID ssid;
  const size_t length = std::min(text.size(), kNdisSsidMaxLength);
  std::copy_n(text.begin(), length, ssid.Ssid.begin());
  ssid.SsidLength = static_cast<uint32_t>(length);
  return ssid;
}

std::string_view NdisSsidText(const NDIS_802_11_SSID& ssid) {
  const size_t length = std::min<size_t>(ssid.SsidLength, kNdisSsidMaxLength);
  return {reinterpret_cast<const char*>(ssid.Ssid.data()), length};
}

// ---- NDIS_802_11_RATES ----

std::array<uint8_t, kNdisRatesSize> EncodeNdisRates(const NDIS_802_11_RATES& rates) {
  return rates.Rates;
}

bool DecodeNdisRates(std::span<const uint8_t> bytes, NDIS_802_11_RATES& rates) {
  if (bytes.size() < kNdisRatesSize) return false;
  rates.Rates = GetBytes<kNdisRatesSize>(bytes, 0);
  return true;
}

// ---- NDIS_802_11_CONFIGURATION ----

std::array<uint8_t, kNdis80211ConfigurationSize> EncodeNdisConfiguration(
    const NDIS_802_11_CONFIGURATION& config) {
  std::array<uint8_t, kNdis80211ConfigurationSize> out{};
  PutU32(out, 0, config.Length);
  PutU32(out, 4, config.BeaconPeriod);
  PutU32(out, 8, config.ATIMWindow);
  PutU32(out, 12, config.DSConfig);
  PutU32(out, 16, config.FHConfig.Length);
  PutU32(out, 20, config.FHConfig.HopPattern);
  PutU32(out, 24, config.FHConfig.HopSet);
  PutU32(out, 28, config.FHConfig.DwellTime);
  return out;
}

bool DecodeNdisConfiguration(std::span<const uint8_t> bytes, NDIS_802_11_CONFIGURATION& config) {
  if (bytes.size() < kNdis80211ConfigurationSize) return false;
  config.Length = GetU32(bytes, 0);
  config.BeaconPeriod = GetU32(bytes, 4);
  config.ATIMWindow = GetU32(bytes, 8);
  config.DSConfig = GetU32(bytes, 12);
  config.FHConfig.Length = GetU32(bytes, 16);
  config.FHConfig.HopPattern = GetU32(bytes, 20);
  config.FHConfig.HopSet = GetU32(bytes, 24);
  config.FHConfig.DwellTime = GetU32(bytes, 28);
  return true;
}

// ---- NDIS_OBJECT_HEADER ----

std::array<uint8_t, kNdisObjectHeaderSize> EncodeNdisObjectHeader(
    const NDIS_OBJECT_HEADER& header) {
  std::array<uint8_t, kNdisObjectHeaderSize> out{};
  PutU8(out, 0, header.Type);
  PutU8(out, 1, header.Revision);
  PutU16(out, 2, header.Size);
  return out;
}

bool DecodeNdisObjectHeader(std::span<const uint8_t> bytes, NDIS_OBJECT_HEADER& header) {
  if (bytes.size() < kNdisObjectHeaderSize) return false;
  header.Type = GetU8(bytes, 0);
  header.Revision = GetU8(bytes, 1);
  header.Size = GetU16(bytes, 2);
  return true;
}

// ---- DOT11_SUPPORTED_PHY_TYPES ----

std::array<uint8_t, kDot11SupportedPhyTypesSize> EncodeDot11SupportedPhyTypes(
    const DOT11_SUPPORTED_PHY_TYPES& types) {
  std::array<uint8_t, kDot11SupportedPhyTypesSize> out{};
  PutU32(out, 0, types.uNumOfEntries);
  PutU32(out, 4, types.uTotalNumOfEntries);
  for (size_t i = 0; i < DOT11_SUPPORTED_PHY_TYPES::kMaxEntries; ++i) {
    PutU32(out, 8 + 4 * i, types.dot11PHYType[i]);
  }
  return out;
}

bool DecodeDot11SupportedPhyTypes(std::span<const uint8_t> bytes,
                                  DOT11_SUPPORTED_PHY_TYPES& types) {
  if (bytes.size() < kDot11SupportedPhyTypesSize) return false;
  // A driver with more PHY types than the buffer holds still reports its full count.
  types.uNumOfEntries =
      std::min<uint32_t>(GetU32(bytes, 0), DOT11_SUPPORTED_PHY_TYPES::kMaxEntries);
  types.uTotalNumOfEntries = GetU32(bytes, 4);
  for (size_t i = 0; i < DOT11_SUPPORTED_PHY_TYPES::kMaxEntries; ++i) {
    types.dot11PHYType[i] = GetU32(bytes, 8 + 4 * i);
  }
  return true;
}

bool ListsPhyType(const DOT11_SUPPORTED_PHY_TYPES& types, uint32_t phyType) {
  const size_t count =
      std::min<size_t>(types.uNumOfEntries, DOT11_SUPPORTED_PHY_TYPES::kMaxEntries);
  return std::find(types.dot11PHYType.begin(), types.dot11PHYType.begin() + count, phyType) !=
         types.dot11PHYType.begin() + count;
}

// ---- DOT11_BSSID_LIST ----

std::array<uint8_t, kDot11BssidListSize> EncodeDot11BssidList(const DOT11_BSSID_LIST& list) {
  std::array<uint8_t, kDot11BssidListSize> out{};
  PutBytes(out, 0, EncodeNdisObjectHeader(list.Header));
  PutU32(out, 4, list.uNumOfEntries);
  PutU32(out, 8, list.uTotalNumOfEntries);
  PutBytes(out, 12, list.BSSIDs);
  return out;  // bytes 18-19: alignment padding, zero
}

bool DecodeDot11BssidList(std::span<const uint8_t> bytes, DOT11_BSSID_LIST& list) {
  if (bytes.size() < kDot11BssidListSize) return false;
  DecodeNdisObjectHeader(bytes, list.Header);
  list.uNumOfEntries = GetU32(bytes, 4);
  list.uTotalNumOfEntries = GetU32(bytes, 8);
  list.BSSIDs = GetBytes<6>(bytes, 12);
  return true;
}

DOT11_BSSID_LIST MakeDesiredBssidList(const MacAddress& bssid) {
  DOT11_BSSID_LIST list;
  list.Header = MakeDot11Header(kDot11BssidListSize);
  list.uNumOfEntries = 1;
  list.uTotalNumOfEntries = 1;
  list.BSSIDs = bssid;
  return list;
}

}  // namespace ov
