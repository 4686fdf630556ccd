#include "driver/oid/radio_records.h"

#include <iterator>

#include "driver/chip_family.h"
#include "driver/oid/byte_codec.h"

namespace ov {

using namespace byte_codec;

// ---- RegisterAccess ----

std::array<uint8_t, kRegisterAccessSize> EncodeRegisterAccess(const RegisterAccess& access) {
  std::array<uint8_t, kRegisterAccessSize> out{};
  PutU32(out, 0, access.kind);
  PutU32(out, 4, access.address);
  PutU32(out, 8, access.value);
  return out;
}

bool DecodeRegisterAccess(std::span<const uint8_t> bytes, RegisterAccess& access) {
  if (bytes.size() < kRegisterAccessSize) return false;
  access.kind = GetU32(bytes, 0);
  access.address = GetU32(bytes, 4);
  access.value = GetU32(bytes, 8);
  return true;
}

// ---- LinkStatus ----

uint32_t LinkStatusSize(int32_t chipFamily) {
  switch (chipFamily) {
    case WXP1:
    case WXU1:
    case WXP3:
    case WXU3:
      return kLinkStatusShortSize;
    case WXP4:
    case WXU4:
    case WXU5:
    case WXU6:
    case WXP5:
      return kLinkStatusSize;
    default:
      return 0;
  }
}

std::array<uint8_t, kLinkStatusSize> EncodeLinkStatus(const LinkStatus& status) {
  std::array<uint8_t, kLinkStatusSize> out{};
  PutU32(out, 0, status.CurrentTxRate);
  PutU32(out, 4, status.LinkQuality);
  PutU32(out, 8, status.TxByteCount);
  PutU32(out, 12, status.RxByteCount);
  PutU32(out, 16, status.CentralChannel);
  return out;
}

bool DecodeLinkStatus(std::span<const uint8_t> bytes, LinkStatus& status) {
  if (bytes.size() < kLinkStatusShortSize) return false;
  status.CurrentTxRate = GetU32(bytes, 0);
  status.LinkQuality = GetU32(bytes, 4);
  status.TxByteCount = GetU32(bytes, 8);
  status.RxByteCount = GetU32(bytes, 12);
  status.CentralChannel = bytes.size() >= kLinkStatusSize ? GetU32(bytes, 16) : 0;
  return true;
}

// ---- HtTransmitSetting ----

HtTransmitSetting DecodeHtTransmitSetting(uint32_t word) {
  HtTransmitSetting s;
  s.MCS = static_cast<uint8_t>(word & 0x7F);
  s.BW = static_cast<uint8_t>((word >> 7) & 1);
  s.ShortGI = static_cast<uint8_t>((word >> 8) & 1);
  s.STBC = static_cast<uint8_t>((word >> 9) & 3);
  s.PhyMode = static_cast<uint8_t>((word >> 14) & 3);
  return s;
}

uint16_t EncodeHtTransmitSetting(const HtTransmitSetting& s) {
  return static_cast<uint16_t>((s.MCS & 0x7Fu) | (s.BW & 1u) << 7 | (s.ShortGI & 1u) << 8 |
                               (s.STBC & 3u) << 9 | (s.PhyMode & 3u) << 14);
}

// ---- Country region word ----

CountryRegion DecodeCountryRegionWord(uint32_t word) {
  CountryRegion r;
  r.Region24 = static_cast<uint8_t>(word & kRegionCodeMask);
  r.Fixed24 = (word & kRegionFixedBit) != 0;
  r.Region5 = static_cast<uint8_t>((word >> 8) & kRegionCodeMask);
  r.Fixed5 = ((word >> 8) & kRegionFixedBit) != 0;
  return r;
}

uint32_t EncodeCountryRegionWord(const CountryRegion& r) {
  uint32_t word = (r.Region24 & kRegionCodeMask) | (r.Fixed24 ? kRegionFixedBit : 0);
  word |= ((r.Region5 & kRegionCodeMask) | (r.Fixed5 ? kRegionFixedBit : 0)) << 8;
  return word;
}

uint32_t CountryRegionSetWord(uint32_t region24, uint32_t region5) {
  return (region5 & kRegionCodeMask) << 8 | (region24 & kRegionCodeMask);
}

// ---- HtPhyMode ----

std::array<uint8_t, kHtPhyModeSize> EncodeHtPhyMode(const HtPhyMode& m) {
  std::array<uint8_t, kHtPhyModeSize> out{};
  PutU32(out, 0, m.PhyMode);
  PutU8(out, 4, m.TransmitNo);
  PutU8(out, 5, m.HtMode);
  PutU8(out, 6, m.Byte6);
  PutU8(out, 7, m.MCS);
  PutU8(out, 8, m.BW);
  PutU8(out, 9, m.STBC);
  PutU8(out, 10, m.SHORTGI);
  PutU8(out, 11, m.Byte11);
  return out;
}

bool DecodeHtPhyMode(std::span<const uint8_t> bytes, HtPhyMode& m) {
  if (bytes.size() < kHtPhyModeSize) return false;
  m.PhyMode = GetU32(bytes, 0);
  m.TransmitNo = GetU8(bytes, 4);
  m.HtMode = GetU8(bytes, 5);
  m.Byte6 = GetU8(bytes, 6);
  m.MCS = GetU8(bytes, 7);
  m.BW = GetU8(bytes, 8);
  m.STBC = GetU8(bytes, 9);
  m.SHORTGI = GetU8(bytes, 10);
  m.Byte11 = GetU8(bytes, 11);
  return true;
}

void ApplyHtPhySettings(HtPhyMode& m, const HtPhySettings& s) {
  m.PhyMode = s.PhyMode;
  m.TransmitNo = s.TransmitNo;
  m.HtMode = s.HtMode;
  m.MCS = s.MCS;
  m.BW = s.BW;
  m.STBC = s.STBC;
  m.SHORTGI = s.SHORTGI;
}

HtPhySettings DecodeTransmitSetting(uint32_t w) {
  HtPhySettings s;
  s.PhyMode = w & 0xF;
  s.MCS = static_cast<uint8_t>((w >> 4) & 0x7F);
  s.BW = static_cast<uint8_t>((w >> 11) & 1);
  s.SHORTGI = static_cast<uint8_t>((w >> 12) & 1);
  s.STBC = static_cast<uint8_t>((w >> 13) & 1);
  s.TransmitNo = static_cast<uint8_t>((w >> 14) & 3);
  s.HtMode = static_cast<uint8_t>((w >> 16) & 3);
  return s;
}

uint8_t TransmitSettingByte6(uint32_t w) { return static_cast<uint8_t>((w >> 18) & 3); }

uint32_t EncodeTransmitSetting(const HtPhySettings& s, uint8_t byte6) {
  return (s.PhyMode & 0xFu) | (s.MCS & 0x7Fu) << 4 | (s.BW & 1u) << 11 | (s.SHORTGI & 1u) << 12 |
         (s.STBC & 1u) << 13 | (s.TransmitNo & 3u) << 14 | (s.HtMode & 3u) << 16 |
         (byte6 & 3u) << 18;
}

// ---- StaConfig ----

std::array<uint8_t, kStaConfigSize> EncodeStaConfig(const StaConfig& c) {
  std::array<uint8_t, kStaConfigSize> out{};
  const uint32_t fields[] = {c.TxBurst,       c.TurboRate, c.BgProtection, c.ShortSlot,
                             c.AdhocRateMode, c.Offset20,  c.Offset24,     c.Offset28};
  for (size_t i = 0; i < 8; ++i) PutU32(out, 4 * i, fields[i]);
  return out;
}

bool DecodeStaConfig(std::span<const uint8_t> bytes, StaConfig& c) {
  if (bytes.size() < kStaConfigSize) return false;
  c.TxBurst = GetU32(bytes, 0);
  c.TurboRate = GetU32(bytes, 4);
  c.BgProtection = GetU32(bytes, 8);
  c.ShortSlot = GetU32(bytes, 12);
  c.AdhocRateMode = GetU32(bytes, 16);
  c.Offset20 = GetU32(bytes, 20);
  c.Offset24 = GetU32(bytes, 24);
  c.Offset28 = GetU32(bytes, 28);
  return true;
}

// ---- Driver statistics ----

std::array<uint8_t, kDriverStatisticsSize> EncodeDriverStatistics(const DriverStatistics& stats) {
  std::array<uint8_t, kDriverStatisticsSize> out{};
  for (size_t i = 0; i < DriverStatistics::kCounterCount; ++i)
    PutU64(out, 8 * i, stats.counters[i]);
  return out;
}

bool DecodeDriverStatistics(std::span<const uint8_t> bytes, DriverStatistics& stats) {
  if (bytes.size() < kDriverStatisticsSize) return false;
  for (size_t i = 0; i < DriverStatistics::kCounterCount; ++i)
    stats.counters[i] = GetU64(bytes, 8 * i);
  return true;
}

// ---- Transmit power and CCX control ----

int32_t TxPowerForLevel(int32_t levelIndex) {
  static constexpr int32_t kPercent[] = {-1, 100, 75, 50, 25, 10, 6};
  if (levelIndex < 0 || levelIndex >= static_cast<int32_t>(std::size(kPercent))) return -1;
  return kPercent[levelIndex];
}

uint32_t CcxControlWordToSend(uint32_t bySsidFlag, uint32_t value) {
  if (bySsidFlag == 1) return value;
  return (value & ~kCcxClearedWhenByBssid) | kCcxSetWhenByBssid;
}

}  // namespace ov
