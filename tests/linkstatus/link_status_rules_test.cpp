// The link-status panel's rules: what each driver and service answer becomes on the panel.
#include <gtest/gtest.h>

#include <string>

#include "driver/signal_strength.h"
#include "radio/ht_table.h"
#include "views/link_status_rules.h"

namespace ov::link_status {
namespace {

TEST(LinkStatusTexts, CodesBecomeTheirTexts) {
  EXPECT_EQ(ExtraInfoText(0), "Link is Up");
  EXPECT_EQ(ExtraInfoText(2), "Hardware radio off");
  EXPECT_EQ(ExtraInfoText(10), "EAP succeed");
  EXPECT_EQ(ExtraInfoText(11), "");
  EXPECT_EQ(ExtraInfoText(std::nullopt), "");

  const struct {
    std::optional<int32_t> percent;
    const char* text;
  } power[] = {{std::nullopt, ""}, {100, "100%"}, {-1, "100%"}, {0, "Lowest"}, {6, "Lowest"},
               {7, "7%"},          {50, "50%"},   {-5, "-5%"}};
  for (const auto& row : power) EXPECT_EQ(TxPowerText(row.percent), row.text);

  const MacAddress bssid{0x02, 0x5A, 0x0F, 0x10, 0x00, 0x0A};
  EXPECT_EQ(StatusText("Home", bssid, std::array<uint8_t, 4>{192, 0, 2, 1}),
            "Home <--> 02-5A-0F-10-00-0A [192.0.2.1]");
  EXPECT_EQ(StatusText("Home", bssid, std::array<uint8_t, 4>{0, 0, 0, 0}),
            "Home <--> 02-5A-0F-10-00-0A");
  EXPECT_EQ(StatusText("Home", bssid, std::nullopt), "Home <--> 02-5A-0F-10-00-0A");

  EXPECT_EQ(NetworkTypeText(1), "Infrastructure");
  EXPECT_EQ(NetworkTypeText(3), "Infrastructure");
  EXPECT_EQ(NetworkTypeText(2), "IBSS");
  EXPECT_EQ(NetworkTypeText(std::nullopt), "Infrastructure");

  const struct {
    uint32_t code;
    const char* auth;
    const char* cipher;
  } security[] = {{1, "Open", "NONE"},         {2, "Shared", "TKIP"},      {4, "WPA-PSK", "AES"},
                  {7, "WPA2-PSK", "NONE"},     {0x101, "Open", "WEP"},     {0x80000001, "CCKM", "TKIP"},
                  {0x80000002, "Open", "AES"}, {0x80000003, "Open", "SMS4"},
                  {0x80000102, "WAPI-PSK", "NONE"}, {0x80000103, "WAPI-CA", "NONE"}, {99, "Open", "NONE"}};
  for (const auto& row : security) {
    EXPECT_EQ(AuthenticationText(row.code), row.auth) << row.code;
    EXPECT_EQ(EncryptionText(row.code), row.cipher) << row.code;
  }

  EXPECT_EQ(ChannelText(std::nullopt), "");
  EXPECT_EQ(ChannelText(6), "6 <--> 2437 MHz");
  EXPECT_EQ(ChannelText(36), "36 <--> 5180 MHz");
  EXPECT_EQ(ChannelText(15), "15") << "a channel the table does not list has no frequency";
}

TEST(LinkStatusRates, ByFamilyAndByTransmitSetting) {
  EXPECT_EQ(LegacyRxRate(0), 1.0);
  EXPECT_EQ(LegacyRxRate(2), 5.5);
  EXPECT_EQ(LegacyRxRate(11), 54.0);
  EXPECT_EQ(LegacyRxRate(12), 1.0);
  EXPECT_EQ(LegacyRxRate(std::nullopt), 1.0);

  CHTTable table;
  table.Build();
  auto word = [](uint32_t phy, uint32_t mcs, bool bw40 = false, bool sgi = false, uint32_t stbc = 0) {
    return phy << 14 | stbc << 9 | (sgi ? 1u : 0u) << 8 | (bw40 ? 1u : 0u) << 7 | mcs;
  };
  const struct {
    const char* name;
    uint32_t word;
    double rate;
  } rows[] = {
      {"failed query reads as CCK 1", 0, 1.0},
      {"CCK 11", word(0, 3), 11.0},
      {"CCK short preamble 5.5", word(0, 10), 5.5},
      {"CCK code 4 is none", word(0, 4), 0.0},
      {"OFDM 54", word(1, 7), 54.0},
      {"OFDM past 7", word(1, 8), 0.0},
      {"HT MCS 7 20 MHz long GI", word(2, 7), 65.0},
      {"HT MCS 15 40 MHz short GI", word(3, 15, true, true), 300.0},
      {"MCS 32 at 20 MHz is not in the table", word(2, 32), 0.0},
      {"MCS 32 at 40 MHz", word(2, 32, true), 6.0},
  };
  for (const auto& row : rows) {
    EXPECT_DOUBLE_EQ(HtSettingRate(DecodeHtSetting(row.word), table), row.rate) << row.name;
  }
  EXPECT_TRUE(IsLegacy(DecodeHtSetting(word(1, 3))));
  EXPECT_FALSE(IsLegacy(DecodeHtSetting(word(2, 3))));

  const HtTexts texts = HtSettingTexts(DecodeHtSetting(word(2, 9, true, false, 2) | 0x3000));
  EXPECT_EQ(texts.bw, "40");
  EXPECT_EQ(texts.gi, "long");
  EXPECT_EQ(texts.stbc, "used");
  EXPECT_EQ(texts.mcs, "9");
  EXPECT_EQ(RateText(5.5), "5.5 Mbps");
  EXPECT_EQ(RateText(300), "300.0 Mbps");
}

TEST(LinkStatusBars, QualitySignalAndColours) {
  // Signal percentages as the bars show them.
  const struct {
    int32_t dBm;
    int percent;
  } signal[] = {{-50, 100}, {-51, 99}, {-80, 24}, {-81, 23}, {-90, 0}, {-91, 0}};
  for (const auto& row : signal) EXPECT_EQ(RssiToPercent(row.dBm), row.percent) << row.dBm;

  EXPECT_EQ(LinkQualityPercent(75, 0), 100);
  EXPECT_EQ(LinkQualityPercent(0, 0), 10);
  EXPECT_EQ(LinkQualityPercent(200, 0), 100) << "capped";
  EXPECT_EQ(LinkQualityPercent(50, 60), 65) << "(70 + 60) / 2";
  EXPECT_EQ(LinkQualityPercent(51, 60), 66) << "(71 + 60) / 2 = 65.5 rounds up";
  EXPECT_EQ(Smooth(43, 0), 43);
  EXPECT_EQ(Smooth(40, 43), 42);

  EXPECT_EQ(SignalColour(0), kRed);
  EXPECT_EQ(SignalColour(34), kRed);
  EXPECT_EQ(SignalColour(35), kYellow);
  EXPECT_EQ(SignalColour(69), kYellow);
  EXPECT_EQ(SignalColour(70), kGreen);
  EXPECT_EQ(SignalColour(100), kGreen);
}

TEST(LinkStatusThroughput, CountersTextAndHistory) {
  EXPECT_DOUBLE_EQ(ThroughputMbps(1000, 1000 + 125000), 0.5);
  EXPECT_EQ(ThroughputText(ThroughputMbps(1000, 1000 + 125000)), "500.000 Kbps");
  EXPECT_EQ(ThroughputText(ThroughputMbps(0, 250000)), "1.000 Mbps");
  EXPECT_EQ(ThroughputMbps(5000, 4000), 0.0) << "a counter that went back";
  EXPECT_EQ(ThroughputText(ThroughputMbps(5000, 4000)), "0.000 Kbps");
  EXPECT_DOUBLE_EQ(ThroughputMbps(0xFFFFFF00u, 0x00000100u), 512.0 / 250 / 1000)
      << "a wrap of the 32-bit counter is a small advance";

  ThroughputHistory history;
  EXPECT_EQ(history.Maximum(), 0.0);
  history.Push(3.0);
  history.Push(1.0);
  EXPECT_EQ(history.Maximum(), 3.0);
  EXPECT_EQ(history.Samples().back(), 1.0);
  for (size_t i = 0; i < kThroughputHistoryLength - 1; ++i) history.Push(0.5);
  EXPECT_EQ(history.Maximum(), 1.0) << "the 3.0 has left the 29 samples";
  history.Push(0.5);
  EXPECT_EQ(history.Maximum(), 0.5);
}

TEST(LinkStatusNoise, FamilyRulesAndColours) {
  const struct {
    const char* name;
    NoiseInputs in;
    int32_t dBm;
    int percent;
    uint32_t colour;
  } rows[] = {
      {"legacy family: raw less 143", {4, 50u, {}, {}}, -93, 23, kGreen},
      {"legacy family, failed query", {4, std::nullopt, {}, {}}, -143, 0, kGreen},
      {"legacy family, loud", {1, 120u, {}, {}}, -23, 100, kRed},
      {"legacy family, -90 dBm: 33 %, still green", {4, 53u, {}, {}}, -90, 33, kGreen},
      {"legacy family, -87 dBm: 43 %, yellow", {4, 56u, {}, {}}, -87, 43, kYellow},
      {"HT family, strong chain", {6, 0u, {-60, -75, -80}, {20u, 25u}}, -92, 26, kGreen},
      {"HT family, weak: chain less the weaker SNR",
       {7, 0u, {-80, -75, -85}, {20u, 12u}}, -87, 43, kYellow},
      {"HT family, failed chains left out", {8, 0u, {std::nullopt, -78, std::nullopt}, {std::nullopt, 10u}},
       -88, 40, kYellow},
      {"HT family, nothing answered", {9, 0u, {}, {}}, -92, 26, kGreen},
      {"HT family, very weak signal", {10, 0u, {-71, -90, -90}, {0u, 0u}}, -71, 96, kRed},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const NoiseReading n = Noise(row.in);
    EXPECT_EQ(n.dBm, row.dBm);
    EXPECT_EQ(n.percent, row.percent);
    EXPECT_EQ(n.colour, row.colour);
  }
}

}  // namespace
}  // namespace ov::link_status

#include "views/statistics_rules.h"

namespace ov::statistics {
namespace {

TEST(StatisticsValues, CountersAsTheRowsShowThem) {
  DriverStatistics stats;
  stats.SetCounter(STAT_TX_SUCCESS, 100);
  stats.SetCounter(STAT_TX_RETRIED, 130);  // more retries than frames: the hidden row goes negative
  stats.SetCounter(STAT_TX_FAIL_ALL_RETRIES, 3);
  stats.SetCounter(STAT_RTS_SUCCESS, 7);
  stats.SetCounter(STAT_RTS_FAILURE, 1);
  stats.SetCounter(STAT_RX_SUCCESS, 0x1'0000'0005ull);  // past 2^32: its low 32 bits
  stats.SetCounter(STAT_RX_CRC_ERROR, 9);
  stats.SetCounter(STAT_RX_DUPLICATE, 2);
  const Values v = FormatStatistics(stats, 4u);
  EXPECT_EQ(v.transmit, (std::array<std::string, 6>{"100", "-30", "130", "3", "7", "1"}));
  EXPECT_EQ(v.receive, (std::array<std::string, 4>{"5", "9", "4", "2"}));

  const Values failed = FormatStatistics(std::nullopt, std::nullopt);
  for (const std::string& t : failed.transmit) EXPECT_EQ(t, "0");
  for (const std::string& t : failed.receive) EXPECT_EQ(t, "0");
  EXPECT_TRUE(kTransmitRows[1].hidden);
  EXPECT_EQ(ZeroValues().receive[0], "0");
}

}  // namespace
}  // namespace ov::statistics
