#include "driver/oid/bssid_list.h"

#include <algorithm>

#include "driver/channel_frequency.h"
#include "driver/oid/byte_codec.h"

namespace ov {

using namespace byte_codec;
namespace off = bssid_entry_offset;

std::array<uint8_t, kNdisWlanBssidExFixedSize> EncodeNdisWlanBssidEx(const NDIS_WLAN_BSSID_EX& entry) {
  std::array<uint8_t, kNdisWlanBssidExFixedSize> out{};
  std::span<uint8_t> bytes(out);
  PutU32(bytes, off::kLength, entry.Length);
  PutBytes(bytes, off::kMacAddress, entry.MacAddress);
  PutBytes(bytes, off::kMacAddress + kNdisMacAddressSize, entry.Reserved);
  PutBytes(bytes, off::kSsid, EncodeNdisSsid(entry.Ssid));
  PutU32(bytes, off::kPrivacy, entry.Privacy);
  PutI32(bytes, off::kRssi, entry.Rssi);
  PutU32(bytes, off::kNetworkTypeInUse, entry.NetworkTypeInUse);
  PutBytes(bytes, off::kConfiguration, EncodeNdisConfiguration(entry.Configuration));
  PutU32(bytes, off::kInfrastructureMode, entry.InfrastructureMode);
  PutBytes(bytes, off::kSupportedRates, entry.SupportedRates);
  PutU32(bytes, off::kIELength, entry.IELength);
  return out;
}

bool DecodeNdisWlanBssidEx(std::span<const uint8_t> bytes, NDIS_WLAN_BSSID_EX& entry) {
  if (bytes.size() < kNdisWlanBssidExFixedSize) return false;
  NDIS_WLAN_BSSID_EX e;
  e.Length = GetU32(bytes, off::kLength);
  e.MacAddress = GetBytes<kNdisMacAddressSize>(bytes, off::kMacAddress);
  e.Reserved = GetBytes<2>(bytes, off::kMacAddress + kNdisMacAddressSize);
  DecodeNdisSsid(bytes.subspan(off::kSsid, kNdisSsidSize), e.Ssid);
  e.Privacy = GetU32(bytes, off::kPrivacy);
  e.Rssi = GetI32(bytes, off::kRssi);
  e.NetworkTypeInUse = GetU32(bytes, off::kNetworkTypeInUse);
  DecodeNdisConfiguration(bytes.subspan(off::kConfiguration, kNdisConfigurationSize), e.Configuration);
  e.InfrastructureMode = GetU32(bytes, off::kInfrastructureMode);
  e.SupportedRates = GetBytes<kNdisRatesExSize>(bytes, off::kSupportedRates);
  e.IELength = GetU32(bytes, off::kIELength);
  entry = e;
  return true;
}

std::span<const uint8_t> BssidEntryElements(std::span<const uint8_t> entry) {
  if (entry.size() < kNdisWlanBssidExFixedSize) return {};
  const size_t length = GetU32(entry, off::kLength);
  // The entry ends at its Length or at the end of what we were given, whichever comes first.
  const size_t end = std::min(length, entry.size());
  if (end <= off::kIEs) return {};
  const size_t ieLength = std::min<size_t>(GetU32(entry, off::kIELength), end - off::kIEs);
  return entry.subspan(off::kIEs, ieLength);
}

std::vector<uint8_t> MakeBssidEntry(const BssDescription& bss) {
  NDIS_WLAN_BSSID_EX e;
  e.Length = static_cast<uint32_t>(kNdisWlanBssidExFixedSize + bss.informationElements.size());
  e.MacAddress = bss.bssid;
  e.Ssid = MakeNdisSsid(bss.ssid);
  e.Privacy = bss.privacy ? 1 : 0;
  e.Rssi = bss.rssi;
  e.NetworkTypeInUse = bss.networkTypeInUse;
  e.Configuration.Length = kNdisConfigurationSize;
  e.Configuration.BeaconPeriod = bss.beaconPeriod;
  e.Configuration.DSConfig = bss.dsConfigKHz;
  e.InfrastructureMode = bss.infrastructureMode;
  size_t rateCount = 0;
  for (uint8_t rate : bss.rates) {
    if (rate == 0) continue;
    if (rateCount == e.SupportedRates.size()) break;
    e.SupportedRates[rateCount++] = rate;
  }
  e.IELength = static_cast<uint32_t>(bss.informationElements.size());

  std::vector<uint8_t> out(e.Length);
  const auto fixed = EncodeNdisWlanBssidEx(e);
  std::copy(fixed.begin(), fixed.end(), out.begin());
  std::copy(bss.informationElements.begin(), bss.informationElements.end(),
            out.begin() + static_cast<ptrdiff_t>(kNdisWlanBssidExFixedSize));
  return out;
}

uint32_t NetworkTypeForPhy(uint32_t phyType, uint32_t centreFrequencyKHz) {
  switch (phyType) {
    case dot11_phy_type_ofdm: return Ndis802_11OFDM5;
    case dot11_phy_type_hrdsss: return Ndis802_11DS;
    case dot11_phy_type_erp: return Ndis802_11OFDM24;
    case dot11_phy_type_ht:
      return IsBand24Frequency(centreFrequencyKHz) ? Ndis802_11OFDM24 : Ndis802_11OFDM5;
    default: return Ndis802_11NetworkTypeMax;
  }
}

BssidListWriter::BssidListWriter(std::span<uint8_t> buffer) : buffer_(buffer) {
  std::fill(buffer_.begin(), buffer_.end(), uint8_t{0});
  used_ = std::min(buffer_.size(), kBssidListHeaderSize);
}

bool BssidListWriter::Append(std::span<const uint8_t> entry) {
  if (buffer_.size() < kBssidListHeaderSize) return false;
  if (!Fits(buffer_.size(), used_, entry.size())) return false;
  std::copy(entry.begin(), entry.end(), buffer_.begin() + static_cast<ptrdiff_t>(used_));
  used_ += entry.size();
  PutU32(buffer_, 0, ++count_);
  return true;
}

std::vector<std::span<const uint8_t>> BssidListEntries(std::span<const uint8_t> list) {
  std::vector<std::span<const uint8_t>> entries;
  if (list.size() < kBssidListHeaderSize) return entries;
  const uint32_t count = GetU32(list, 0);
  size_t at = kBssidListHeaderSize;
  for (uint32_t i = 0; i < count; ++i) {
    if (!Fits(list.size(), at, 4)) break;
    const size_t length = GetU32(list, at);
    // A Length under 4 would never move the walk on; one past the end has no bytes to show.
    if (length < 4 || !Fits(list.size(), at, length)) break;
    entries.push_back(list.subspan(at, length));
    at += length;
  }
  return entries;
}

}  // namespace ov
