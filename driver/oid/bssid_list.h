#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "driver/ndis_types.h"
#include "driver/oid/ndis_records.h"

// The scan list in the driver's 802.11 BSSID-list layout (NDIS_802_11_BSSID_LIST_EX): a u32 item
// count followed by variable-length NDIS_WLAN_BSSID_EX entries, each a 116-byte fixed part and
// then its information elements. The elements follow the fixed part directly: unlike the
// driver's own list, these entries carry no timestamp, beacon interval or capability bytes
// before them. Every reader here stays inside the buffer it is given and inside each entry's
// Length, whatever the counts and lengths in the bytes say.
namespace ov {

// The process-wide scan list never grows past this.
constexpr size_t kBssidListBufferSize = 65536;
constexpr size_t kBssidListHeaderSize = 4;  // NumberOfItems

// Byte offsets of the fixed part.
namespace bssid_entry_offset {
constexpr size_t kLength = 0;
constexpr size_t kMacAddress = 4;  // 6 bytes, then 2 reserved
constexpr size_t kSsid = 12;       // NDIS_802_11_SSID, 36 bytes
constexpr size_t kPrivacy = 48;
constexpr size_t kRssi = 52;
constexpr size_t kNetworkTypeInUse = 56;
constexpr size_t kConfiguration = 60;  // NDIS_802_11_CONFIGURATION, 32 bytes
constexpr size_t kInfrastructureMode = 92;
constexpr size_t kSupportedRates = 96;  // 16 bytes
constexpr size_t kIELength = 112;
constexpr size_t kIEs = 116;
}  // namespace bssid_entry_offset

// The fixed part of one entry.
struct NDIS_WLAN_BSSID_EX {
  uint32_t Length = 0;  // bytes of the whole entry: 116 + IELength when well formed
  std::array<uint8_t, kNdisMacAddressSize> MacAddress{};
  std::array<uint8_t, 2> Reserved{};
  NDIS_802_11_SSID Ssid;
  uint32_t Privacy = 0;  // 1 when the capability information asks for privacy
  int32_t Rssi = 0;      // dBm
  uint32_t NetworkTypeInUse = 0;  // NdisNetworkType
  NDIS_802_11_CONFIGURATION Configuration;
  uint32_t InfrastructureMode = 0;  // NdisNetworkInfrastructure
  std::array<uint8_t, kNdisRatesExSize> SupportedRates{};  // 500 kbit/s units, bit 7 basic
  uint32_t IELength = 0;
  bool operator==(const NDIS_WLAN_BSSID_EX&) const = default;
};

// The 116 fixed bytes, written as given (Length and IELength included).
std::array<uint8_t, kNdisWlanBssidExFixedSize> EncodeNdisWlanBssidEx(const NDIS_WLAN_BSSID_EX& entry);
// Reads the fixed part; false, with the record untouched, when fewer than 116 bytes are given.
bool DecodeNdisWlanBssidEx(std::span<const uint8_t> bytes, NDIS_WLAN_BSSID_EX& entry);

// The information elements of an entry: the IELength bytes after the fixed part, cut to what
// lies inside both the entry's Length and the bytes given. Empty when the entry is too short to
// hold any.
std::span<const uint8_t> BssidEntryElements(std::span<const uint8_t> entry);

// What the scan worker knows about one BSS; MakeBssidEntry lays it out as an entry.
struct BssDescription {
  MacAddress bssid{};
  std::string_view ssid;  // more than 32 bytes are cut
  bool privacy = false;
  int32_t rssi = 0;  // dBm
  uint32_t networkTypeInUse = Ndis802_11DS;
  uint32_t beaconPeriod = 0;    // time units, as the beacon interval field
  uint32_t dsConfigKHz = 0;     // channel centre frequency
  uint32_t infrastructureMode = Ndis802_11Infrastructure;
  // Rate octets in 500 kbit/s units, bit 7 for a basic rate. Zero octets are skipped and at
  // most 16 are kept, the rest of the field stays zero.
  std::span<const uint8_t> rates;
  std::span<const uint8_t> informationElements;  // copied as they are
};

// One entry: Length 116 + the element bytes, Configuration with its length 32, the beacon period
// and DSConfig filled and the other configuration fields zero.
std::vector<uint8_t> MakeBssidEntry(const BssDescription& bss);

// The network type the scan worker reports for a PHY type (DOT11_PHY_TYPE): OFDM is the 5 GHz
// type, HR-DSSS the DS type, ERP the 2.4 GHz OFDM type, HT either OFDM type by band; anything
// else has no NDIS type.
uint32_t NetworkTypeForPhy(uint32_t phyType, uint32_t centreFrequencyKHz);

// Fills a scan-list buffer: the count at the front, entries one after the other. An entry that
// would not fit is refused and leaves the buffer as it was, so a caller can stop there.
class BssidListWriter {
 public:
  // Zeroes the buffer and sets the count to 0. A buffer shorter than the count holds nothing.
  explicit BssidListWriter(std::span<uint8_t> buffer);

  bool Append(std::span<const uint8_t> entry);
  uint32_t count() const { return count_; }
  size_t bytesUsed() const { return used_; }

 private:
  std::span<uint8_t> buffer_;
  size_t used_ = 0;
  uint32_t count_ = 0;
};

// The entries of a scan list, each as the Length bytes at its place, in order, up to the item
// count. The walk ends early at an entry whose Length could not be stepped over (under 4 bytes)
// or that runs past the buffer. Entries shorter than the fixed part are still listed: callers
// decide what to do with them, as they step over them by Length.
std::vector<std::span<const uint8_t>> BssidListEntries(std::span<const uint8_t> list);

}  // namespace ov
