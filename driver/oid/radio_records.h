#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

// Vendor records of the radio, link and counter requests: register access, link status, the HT
// transmit setting word, the country region word, the HT PHY mode record with its registry form,
// the station configuration, the driver statistics, and the value mappings of the transmit power
// and CCX control sets. Byte records have Encode (exact bytes) and Decode (false, record
// untouched, when the buffer is shorter than the record); little-endian throughout.
namespace ov {

// ---- RegisterAccess (12 bytes): ULONG kind, ULONG address, ULONG value ----
enum RegisterKind : uint32_t {
  REGISTER_KIND_MAC = 0,     // 32-bit value
  REGISTER_KIND_BBP = 1,     // 8-bit value, address 0-255
  REGISTER_KIND_RF = 2,      // 8-bit value
  REGISTER_KIND_EEPROM = 3,  // 16-bit word, even byte addresses
};
// The EEPROM word whose bits 8 and 9, when clear, allow 40 MHz in the 2.4 and 5 GHz bands.
constexpr uint32_t kEepromBandwidthWordAddress = 0x36;
constexpr uint32_t kEepromNoReading = 0xFFFF;

struct RegisterAccess {
  uint32_t kind = 0;
  uint32_t address = 0;
  uint32_t value = 0;
  bool operator==(const RegisterAccess&) const = default;
};
constexpr size_t kRegisterAccessSize = 12;
std::array<uint8_t, kRegisterAccessSize> EncodeRegisterAccess(const RegisterAccess& access);
bool DecodeRegisterAccess(std::span<const uint8_t> bytes, RegisterAccess& access);

// ---- LinkStatus (16 or 20 bytes by chip family) ----
struct LinkStatus {
  uint32_t CurrentTxRate = 0;  // 500 kbit/s units
  uint32_t LinkQuality = 0;    // raw
  uint32_t TxByteCount = 0;
  uint32_t RxByteCount = 0;
  uint32_t CentralChannel = 0;  // only in the 20-byte form
  bool operator==(const LinkStatus&) const = default;
};
constexpr size_t kLinkStatusShortSize = 16;
constexpr size_t kLinkStatusSize = 20;
// The size the request asks for: 16 for families 0, 1, 4, 5; 20 for 6 to 10; 0 for 2, 3 and any
// other value (those drivers answer nothing useful).
uint32_t LinkStatusSize(int32_t chipFamily);
// All five fields; a 16-byte answer is the first 16 bytes of this.
std::array<uint8_t, kLinkStatusSize> EncodeLinkStatus(const LinkStatus& status);
// Needs the 16-byte form; CentralChannel is read when 20 bytes are given, else set to 0.
bool DecodeLinkStatus(std::span<const uint8_t> bytes, LinkStatus& status);

// ---- HtTransmitSetting: the low 16 bits of the last TX/RX rate answers ----
enum HtTransmitPhyMode : uint8_t {
  HT_PHY_CCK = 0,
  HT_PHY_OFDM = 1,
  HT_PHY_HT_MIXED = 2,
  HT_PHY_HT_GREENFIELD = 3,
};
struct HtTransmitSetting {
  uint8_t MCS = 0;      // bits 0-6
  uint8_t BW = 0;       // bit 7, 1 = 40 MHz
  uint8_t ShortGI = 0;  // bit 8
  uint8_t STBC = 0;     // bits 9-10
  uint8_t PhyMode = 0;  // bits 14-15
  bool operator==(const HtTransmitSetting&) const = default;
};
// Reads the low 16 bits; the rest of the word is not part of the setting.
HtTransmitSetting DecodeHtTransmitSetting(uint32_t word);
uint16_t EncodeHtTransmitSetting(const HtTransmitSetting& setting);

// ---- Country region word of OID_VND_COUNTRY_REGION ----
// Byte 0: 2.4 GHz region code in bits 0-6, bit 7 set when the hardware fixes it; byte 1 likewise
// for 5 GHz.
struct CountryRegion {
  uint8_t Region24 = 0;
  bool Fixed24 = false;
  uint8_t Region5 = 0;
  bool Fixed5 = false;
  bool operator==(const CountryRegion&) const = default;
};
constexpr uint32_t kRegionCodeMask = 0x7F;
constexpr uint32_t kRegionFixedBit = 0x80;
CountryRegion DecodeCountryRegionWord(uint32_t word);
// The word as the driver answers it, fixed bits included.
uint32_t EncodeCountryRegionWord(const CountryRegion& region);
// The word a set sends: (5 GHz code << 8) | 2.4 GHz code. Each code is cut to its 7 bits so that
// an out-of-range code can neither spill into the other band nor raise a fixed bit.
uint32_t CountryRegionSetWord(uint32_t region24, uint32_t region5);

// ---- HtPhyMode (12 bytes) ----
struct HtPhyMode {
  uint32_t PhyMode = 0;    // WirelessMode code
  uint8_t TransmitNo = 0;  // byte 4
  uint8_t HtMode = 0;      // byte 5
  uint8_t Byte6 = 0;       // byte 6: a two-bit value the driver owns (TransmitSetting bits 18-19)
  uint8_t MCS = 0;         // byte 7
  uint8_t BW = 0;          // byte 8
  uint8_t STBC = 0;        // byte 9
  uint8_t SHORTGI = 0;     // byte 10
  uint8_t Byte11 = 0;      // byte 11: unused, returned as the driver gave it
  bool operator==(const HtPhyMode&) const = default;
};
constexpr size_t kHtPhyModeSize = 12;
std::array<uint8_t, kHtPhyModeSize> EncodeHtPhyMode(const HtPhyMode& mode);
bool DecodeHtPhyMode(std::span<const uint8_t> bytes, HtPhyMode& mode);

// The HtPhyMode fields this system manages; bytes 6 and 11 stay the driver's.
struct HtPhySettings {
  uint32_t PhyMode = 0;
  uint8_t TransmitNo = 0;
  uint8_t HtMode = 0;
  uint8_t MCS = 0;
  uint8_t BW = 0;
  uint8_t STBC = 0;
  uint8_t SHORTGI = 0;
  bool operator==(const HtPhySettings&) const = default;
};
void ApplyHtPhySettings(HtPhyMode& mode, const HtPhySettings& settings);

// The "TransmitSetting" registry word: bits 0-3 PhyMode, 4-10 MCS, 11 BW, 12 SHORTGI, 13 STBC,
// 14-15 TransmitNo, 16-17 HtMode, 18-19 the HtPhyMode byte 6 value.
HtPhySettings DecodeTransmitSetting(uint32_t word);
uint8_t TransmitSettingByte6(uint32_t word);
// Only the bits above are written; fields wider than their bits are cut.
uint32_t EncodeTransmitSetting(const HtPhySettings& settings, uint8_t byte6);
constexpr uint32_t kTransmitSettingBandwidthBit = 1u << 11;
constexpr uint8_t kHtMcsAuto = 33;

// ---- StaConfig (32 bytes, eight ULONGs) ----
struct StaConfig {
  uint32_t TxBurst = 0;        // offset 0: 0 off, 1 on ("TXBurst")
  uint32_t TurboRate = 0;      // offset 4 ("TurboRate")
  uint32_t BgProtection = 0;   // offset 8: 0 auto, 1 on, 2 off ("BGProtection")
  uint32_t ShortSlot = 0;      // offset 12 ("ShortSlot")
  uint32_t AdhocRateMode = 0;  // offset 16: from the wireless mode
  uint32_t Offset20 = 0;       // the driver's; returned unchanged
  uint32_t Offset24 = 0;       // always written as 0 before a set
  uint32_t Offset28 = 0;       // the driver's; returned unchanged
  bool operator==(const StaConfig&) const = default;
};
constexpr size_t kStaConfigSize = 32;
std::array<uint8_t, kStaConfigSize> EncodeStaConfig(const StaConfig& config);
bool DecodeStaConfig(std::span<const uint8_t> bytes, StaConfig& config);

// ---- Driver statistics (184 bytes of 64-bit counters) ----
enum DriverStatisticsOffset : size_t {
  STAT_TX_SUCCESS = 8,
  STAT_TX_FAIL_ALL_RETRIES = 24,
  STAT_TX_RETRIED = 32,
  STAT_RTS_SUCCESS = 48,
  STAT_RTS_FAILURE = 56,
  STAT_RX_DUPLICATE = 72,
  STAT_RX_CRC_ERROR = 96,
  STAT_RX_SUCCESS = 176,  // the page shows its low 32 bits
};
struct DriverStatistics {
  static constexpr size_t kCounterCount = 23;  // counter i at byte offset 8 * i
  std::array<uint64_t, kCounterCount> counters{};

  uint64_t Counter(DriverStatisticsOffset offset) const { return counters[offset / 8]; }
  void SetCounter(DriverStatisticsOffset offset, uint64_t value) { counters[offset / 8] = value; }
  bool operator==(const DriverStatistics&) const = default;
};
constexpr size_t kDriverStatisticsSize = 184;
std::array<uint8_t, kDriverStatisticsSize> EncodeDriverStatistics(const DriverStatistics& stats);
bool DecodeDriverStatistics(std::span<const uint8_t> bytes, DriverStatistics& stats);

// ---- Transmit power ----
// The percent sent for a profile's level index: 0..6 give -1, 100, 75, 50, 25, 10, 6; any other
// index gives -1 (the driver's "full power").
int32_t TxPowerForLevel(int32_t levelIndex);

// ---- CCX control word ----
// The word OID_VND_CCX_CONTROL sends: unchanged when the by-SSID flag is 1; otherwise (the
// profile names the access point to join) bits 0x520 cleared and bits 0xFA00 set.
constexpr uint32_t kCcxClearedWhenByBssid = 0x520;
constexpr uint32_t kCcxSetWhenByBssid = 0xFA00;
uint32_t CcxControlWordToSend(uint32_t bySsidFlag, uint32_t value);

// ---- Readings with a "no reading" value ----
constexpr uint32_t kSnrNoReading = 44;
constexpr int32_t kRssiNoReading = -200;
constexpr int32_t kNoiseRawOffset = 143;  // noise dBm = raw - 143 (families other than 6 to 10)

}  // namespace ov
