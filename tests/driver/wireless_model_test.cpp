#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "driver/channel_frequency.h"
#include "driver/chip_family.h"
#include "driver/ndis_types.h"
#include "driver/signal_strength.h"
#include "driver/wireless_mode.h"

namespace ov {
namespace {

TEST(RssiToPercentTest, Table) {
  struct Row {
    int32_t dBm;
    int32_t percent;
  };
  const Row rows[] = {
      {INT_MAX, 100}, {0, 100},   {-30, 100}, {-50, 100}, {-51, 99},  {-52, 96}, {-53, 94},
      {-55, 89},      {-60, 76},  {-65, 63},  {-70, 50},  {-75, 37},  {-79, 26}, {-80, 24},
      {-81, 23},      {-85, 13},  {-89, 2},   {-90, 0},   {-91, 0},   {-120, 0}, {INT_MIN, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.dBm);
    EXPECT_EQ(RssiToPercent(row.dBm), row.percent);
  }
}

TEST(RssiToPercentTest, NeverRisesAsTheSignalFalls) {
  for (int32_t dBm = 10; dBm > -110; --dBm) {
    SCOPED_TRACE(dBm);
    EXPECT_GE(RssiToPercent(dBm), RssiToPercent(dBm - 1));
  }
}

// Written out row by row, in the table's search order.
const std::vector<ChannelFrequency> kExpectedChannels = {
    {1, 2412000},   {2, 2417000},   {3, 2422000},   {4, 2427000},   {5, 2432000},
    {6, 2437000},   {7, 2442000},   {8, 2447000},   {9, 2452000},   {10, 2457000},
    {11, 2462000},  {12, 2467000},  {13, 2472000},  {14, 2484000},  {34, 5170000},
    {36, 5180000},  {38, 5190000},  {40, 5200000},  {42, 5210000},  {44, 5220000},
    {46, 5230000},  {48, 5240000},  {52, 5260000},  {56, 5280000},  {60, 5300000},
    {64, 5320000},  {100, 5500000}, {104, 5520000}, {108, 5540000}, {112, 5560000},
    {116, 5580000}, {120, 5600000}, {124, 5620000}, {128, 5640000}, {132, 5660000},
    {136, 5680000}, {140, 5700000}, {149, 5745000}, {153, 5765000}, {157, 5785000},
    {161, 5805000}, {165, 5825000}, {184, 4920000}, {188, 4940000}, {192, 4960000},
    {196, 4980000},
};

TEST(ChannelFrequencyTest, TableHoldsEveryRowInOrder) {
  ASSERT_EQ(ChannelFrequencyTable.size(), kExpectedChannels.size());
  for (size_t i = 0; i < kExpectedChannels.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(ChannelFrequencyTable[i].channel, kExpectedChannels[i].channel);
    EXPECT_EQ(ChannelFrequencyTable[i].frequencyKHz, kExpectedChannels[i].frequencyKHz);
  }
}

TEST(ChannelFrequencyTest, EveryRowConvertsBothWays) {
  for (const ChannelFrequency& row : kExpectedChannels) {
    SCOPED_TRACE(row.channel);
    EXPECT_EQ(ChannelToFrequency(row.channel), row.frequencyKHz);
    EXPECT_EQ(FrequencyToChannel(row.frequencyKHz), row.channel);
  }
}

TEST(ChannelFrequencyTest, UnlistedValues) {
  for (uint32_t channel : {0u, 15u, 32u, 35u, 50u, 144u, 166u, 183u, 200u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(channel);
    EXPECT_EQ(ChannelToFrequency(channel), 2412000u);
  }
  for (uint32_t frequency : {0u, 2411000u, 2413000u, 2477000u, 2482000u, 5165000u, 5175000u,
                             5835000u, 4915000u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(frequency);
    EXPECT_EQ(FrequencyToChannel(frequency), 0u);
  }
}

TEST(ChannelFrequencyTest, BandLimitIsChannel14) {
  EXPECT_TRUE(IsBand24Frequency(2412000));
  EXPECT_TRUE(IsBand24Frequency(2484000));
  EXPECT_FALSE(IsBand24Frequency(2484001));
  EXPECT_FALSE(IsBand24Frequency(ChannelToFrequency(184)));
  EXPECT_FALSE(IsBand24Frequency(ChannelToFrequency(36)));
}

TEST(WpsToDot11Test, AuthenticationTypes) {
  struct Row {
    uint32_t wps;
    uint32_t expected;
  };
  const Row rows[] = {
      {0x0002, 4}, {0x0022, 4}, {0x0004, 2}, {0x0008, 3}, {0x0010, 6},          {0x0020, 7},
      {0x0001, 1}, {0x0000, 1}, {0x0018, 1}, {0x0030, 1}, {0x0040, 1}, {0xFFFFFFFF, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.wps);
    EXPECT_EQ(static_cast<uint32_t>(WpsAuthTypeToDot11(row.wps)), row.expected);
  }
}

TEST(WpsToDot11Test, EncryptionTypes) {
  struct Row {
    uint32_t wps;
    uint32_t expected;
  };
  const Row rows[] = {
      {0x0002, 0x101}, {0x0004, 2}, {0x000C, 2}, {0x0008, 4}, {0x0001, 0},
      {0x0000, 0},     {0x0006, 0}, {0x000A, 0}, {0x0010, 0}, {0xFFFFFFFF, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.wps);
    EXPECT_EQ(static_cast<uint32_t>(WpsEncryTypeToDot11(row.wps)), row.expected);
  }
}

TEST(WirelessModeTest, AdhocRateMode) {
  struct Row {
    WirelessMode mode;
    std::optional<uint32_t> expected;
  };
  const Row rows[] = {
      {0, 1u}, {1, 0u}, {2, 3u}, {3, 4u}, {4, 2u}, {5, 5u}, {6, 6u},
      {7, std::nullopt}, {8, 8u}, {9, 9u}, {10, std::nullopt}, {-1, std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.mode);
    EXPECT_EQ(WirelessModeToAdhocRateMode(row.mode), row.expected);
    // A code outside the mapping leaves the record's field as it was.
    EXPECT_EQ(WirelessModeToAdhocRateMode(row.mode, 77u), row.expected.value_or(77u));
  }
}

TEST(WirelessModeTest, HtModes) {
  for (WirelessMode mode = -1; mode <= 10; ++mode) {
    SCOPED_TRACE(mode);
    EXPECT_EQ(IsHtWirelessMode(mode), mode == 5 || mode == 6 || mode == 8 || mode == 9);
  }
}

TEST(ChipFamilyTest, NamesBusAndFamilyRules) {
  struct Row {
    int32_t family;
    const char* name;
    AdapterBus bus;
    bool htPossible, firstGeneration, htDisplay, firmware, txBurst;
  };
  const Row rows[] = {
      {-1, "", AdapterBus::None, false, false, false, false, false},
      {0, "WXP1", AdapterBus::Pci, false, true, false, false, false},
      {1, "WXU1", AdapterBus::Usb, false, true, false, false, false},
      {2, "WXP2", AdapterBus::Pci, false, false, false, false, false},
      {3, "WXU2", AdapterBus::Usb, false, false, false, false, false},
      {4, "WXP3", AdapterBus::Pci, false, false, false, true, false},
      {5, "WXU3", AdapterBus::Usb, false, false, false, true, false},
      {6, "WXP4", AdapterBus::Pci, true, false, true, true, true},
      {7, "WXU4", AdapterBus::Usb, true, false, true, true, true},
      {8, "WXU5", AdapterBus::Usb, false, false, true, true, true},
      {9, "WXU6", AdapterBus::Usb, true, false, true, true, true},
      {10, "WXP5", AdapterBus::Pci, true, false, true, true, true},
      {11, "", AdapterBus::None, false, false, false, false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.family);
    EXPECT_EQ(ChipFamilyName(row.family), row.name);
    EXPECT_EQ(ChipFamilyBus(row.family), row.bus);
    EXPECT_EQ(IsUsbFamily(row.family), row.bus == AdapterBus::Usb);
    EXPECT_EQ(FamilySupportsHt(row.family), row.htPossible);
    EXPECT_EQ(IsFirstGeneration(row.family), row.firstGeneration);
    EXPECT_EQ(IsHtGenerationForDisplay(row.family), row.htDisplay);
    EXPECT_EQ(HasFirmwareVersion(row.family), row.firmware);
    EXPECT_EQ(TxBurstDefaultOn(row.family), row.txBurst);
    if (*row.name != '\0') {
      EXPECT_EQ(ChipFamilyFromName(row.name), row.family);
    }
  }
  EXPECT_EQ(ChipFamilyFromName("wxp1"), std::nullopt);
  EXPECT_EQ(ChipFamilyFromName("WXP6"), std::nullopt);
  EXPECT_EQ(ChipFamilyFromName(""), std::nullopt);
}

}  // namespace
}  // namespace ov
