// The site survey's rules over hand-made scan lists: rows, the order the sort writes back, icons,
// the signal cell, the security class and the connected row.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "driver/oid/bssid_list.h"
#include "driver/signal_strength.h"
#include "tests/bssdescribe/element_builder.h"
#include "views/survey_rules.h"

// Networks are written as designated initializers naming only what differs from the default.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace ov::survey {
namespace {

using test::Bytes;

struct Net {
  const char* ssid = "net";
  uint32_t channelKHz = 2437000;
  int32_t rssi = -60;
  uint32_t type = Ndis802_11OFDM24;
  Bytes rates = {0x82, 0x84, 0x8B, 0x96, 0x0C, 0x12, 0x18, 0x24};  // b/g: only the b rates basic
  bool privacy = false;
  Bytes elements;
  MacAddress bssid = test::kTestBssid;
  uint32_t infrastructure = Ndis802_11Infrastructure;
};

Bytes Entry(const Net& n) {
  BssDescription bss;
  bss.bssid = n.bssid;
  bss.ssid = n.ssid;
  bss.privacy = n.privacy;
  bss.rssi = n.rssi;
  bss.networkTypeInUse = n.type;
  bss.dsConfigKHz = n.channelKHz;
  bss.infrastructureMode = n.infrastructure;
  bss.rates = n.rates;
  bss.informationElements = n.elements;
  return MakeBssidEntry(bss);
}

std::vector<uint8_t> List(const std::vector<Net>& nets) {
  std::vector<uint8_t> list(kBssidListBufferSize);
  BssidListWriter writer(list);
  for (const Net& n : nets) EXPECT_TRUE(writer.Append(Entry(n)));
  return list;
}

std::vector<std::string> Ssids(std::span<const uint8_t> list) {
  std::vector<std::string> out;
  for (const SurveyEntry& row : BuildSurveyRows(list)) out.push_back(row.ssid);
  return out;
}

MacAddress Mac(uint8_t last) { return {0x02, 0x5A, 0x0F, 0x10, 0x00, last}; }

TEST(SurveySort, StableByEachKeyAndWrittenBack) {
  Net a{.ssid = "beta", .channelKHz = 2462000, .rssi = -70, .bssid = Mac(1)};
  Net b{.ssid = "Alpha", .channelKHz = 2412000, .rssi = -50, .bssid = Mac(2)};
  Net c{.ssid = "alpha", .channelKHz = 2462000, .rssi = -70, .bssid = Mac(3)};
  Net d{.ssid = "ALPHA", .channelKHz = 5180000, .rssi = -40, .bssid = Mac(4)};
  const std::vector<Net> nets = {a, b, c, d};

  const struct {
    const char* name;
    SortKey key;
    std::vector<std::string> order;
    std::vector<std::pair<uint32_t, uint32_t>> origins;
  } rows[] = {
      {"SSID ignores case, equal names keep the driver's order", SortKey::Ssid,
       {"Alpha", "alpha", "ALPHA", "beta"}, {{0, 1}, {1, 2}, {2, 3}, {3, 0}}},
      {"channel ascending, ties in order", SortKey::Channel,
       {"Alpha", "beta", "alpha", "ALPHA"}, {{0, 1}, {1, 0}, {2, 2}, {3, 3}}},
      {"signal strongest first, ties in order", SortKey::Signal,
       {"ALPHA", "Alpha", "beta", "alpha"}, {{0, 3}, {1, 1}, {2, 0}, {3, 2}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<uint8_t> list = List(nets);
    EXPECT_EQ(SortScanList(list, row.key), row.origins);
    EXPECT_EQ(Ssids(list), row.order);
    uint32_t count = 0;
    std::memcpy(&count, list.data(), 4);
    EXPECT_EQ(count, 4u);
  }
}

TEST(SurveyRows, SignalCellAndBarColour) {
  const struct {
    int32_t rssi;
    bool showDbm;
    const char* text;
    uint32_t colour;
  } rows[] = {
      {-40, false, "100%", 0xC87814}, {-85, false, "13%", 0x2828F0},
      {-85, true, "-85 dBm", 0x2828F0}, {-70, false, "50%", 0x32E6FA}, {-60, false, "76%", 0xC87814},
      {-65, false, "63%", 0x46F064},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.rssi);
    const auto rows_ = BuildSurveyRows(List({Net{.rssi = row.rssi}}));
    ASSERT_EQ(rows_.size(), 1u);
    EXPECT_EQ(SignalCellText(rows_[0].rssi, row.showDbm), row.text);
    EXPECT_EQ(SignalBarColour(RssiToPercent(rows_[0].rssi)), row.colour);
  }
  // The reading is kept modulo 101, as the row record has it.
  EXPECT_EQ(BuildSurveyRows(List({Net{.rssi = -150}}))[0].rssi, -49);
}

TEST(SurveyRows, BandAndSecurityIcons) {
  using test::Element;
  const Bytes wps = test::WpsElement({test::WpsAttribute(0x104A, {0x10})});
  const Bytes rsnPsk = test::RsnElement(test::Rsn(ie::kCipherCcmp), {test::Rsn(ie::kCipherCcmp)},
                                        {test::Rsn(ie::kAkmPsk)});
  const Bytes wapiPsk = test::WapiElement({test::Suite(ie::kOuiWapi, ie::kWapiAkmPsk)},
                                          {test::Suite(ie::kOuiWapi, ie::kWapiCipherSms4)});
  const Bytes htOperation = test::HtOperation(6, 0, 0, 0);
  const struct {
    const char* name;
    Net net;
    std::vector<std::optional<int>> icons;  // columns 4 to 8
  } rows[] = {
      {"b/g network: b and g", Net{}, {std::nullopt, kIconBandB, kIconBandG, std::nullopt, std::nullopt}},
      {"g only (OFDM basic rates): g without b",
       Net{.rates = {0x8C, 0x12, 0x98, 0x24}},
       {std::nullopt, std::nullopt, kIconBandG, std::nullopt, std::nullopt}},
      {"802.11b: b", Net{.type = Ndis802_11DS, .rates = {0x82, 0x84}},
       {std::nullopt, kIconBandB, std::nullopt, std::nullopt, std::nullopt}},
      {"5 GHz with HT: a and n", Net{.channelKHz = 5180000, .type = Ndis802_11OFDM5, .elements = htOperation},
       {kIconBandA, std::nullopt, std::nullopt, kIconBandN, std::nullopt}},
      {"WEP: the key", Net{.privacy = true},
       {std::nullopt, kIconBandB, kIconBandG, std::nullopt, kIconKey}},
      {"WPA2-PSK with WPS: WPS over the key", Net{.privacy = true, .elements = test::Cat({rsnPsk, wps})},
       {std::nullopt, kIconBandB, kIconBandG, std::nullopt, kIconWps}},
      {"WAPI with WPS: the padlock over both", Net{.privacy = true, .elements = test::Cat({wapiPsk, wps})},
       {std::nullopt, kIconBandB, kIconBandG, std::nullopt, kIconPadlock}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const auto built = BuildSurveyRows(List({row.net}));
    ASSERT_EQ(built.size(), 1u);
    std::vector<std::optional<int>> icons;
    for (int column = 4; column <= 8; ++column) icons.push_back(ColumnIcon(built[0], column));
    EXPECT_EQ(icons, row.icons);
  }
  const auto wapi = BuildSurveyRows(List({Net{.privacy = true, .elements = wapiPsk}}))[0];
  EXPECT_EQ(wapi.wapiKind, 1);
  EXPECT_EQ(ClickedRowSecurityClass(wapi), 1);
  const auto open = BuildSurveyRows(List({Net{}}))[0];
  EXPECT_EQ(open.secured, 0);
  EXPECT_EQ(ColumnIcon(open, 2), kIconAccessPoint);
  EXPECT_EQ(ColumnIcon(BuildSurveyRows(List({Net{.infrastructure = Ndis802_11IBSS}}))[0], 2), kIconAdhoc);
}

TEST(SurveyRows, ShortEntriesAreSkippedAndChannelsListed) {
  std::vector<uint8_t> list = List({Net{.ssid = "first"}, Net{.ssid = "second", .channelKHz = 2413000},
                                   Net{.ssid = "third"}});
  // Make the first entry claim more elements than its Length holds.
  uint32_t ieLength = 0;
  std::memcpy(&ieLength, list.data() + 4 + 112, 4);
  ieLength += 1;
  std::memcpy(list.data() + 4 + 112, &ieLength, 4);
  const auto rows = BuildSurveyRows(list);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].ssid, "second");
  EXPECT_EQ(rows[0].listIndex, 1u);
  EXPECT_EQ(rows[0].channelText, "") << "a frequency the table does not list";
  EXPECT_EQ(rows[1].channelText, "6");
}

TEST(SurveyRows, SecurityClassOfAnAuthText) {
  const std::pair<const char*, int> rows[] = {
      {"WPA", 1},      {"WPA-PSK", 2},          {"WPA-NONE", 3},  {"WPA2", 4},
      {"WPA+WPA2", 4}, {"WPA2-PSK", 5},         {"WPA2-NONE", 5}, {"WPA-PSK+WPA2-PSK", 5},
      {"WAPI-PSK", 6}, {"WAPI-CA", 7},          {"Unknown", 0},   {"wpa", 0}};
  for (const auto& [text, code] : rows) EXPECT_EQ(SurveySecurityCode(text), code) << text;
}

TEST(SurveyConnectedRow, OneBssidOnTwoChannels) {
  const std::vector<Net> nets = {Net{.ssid = "Home", .channelKHz = 2412000, .bssid = Mac(9)},
                                 Net{.ssid = "Other", .bssid = Mac(7)},
                                 Net{.ssid = "Home", .channelKHz = 2437000, .bssid = Mac(9)}};
  const auto rows = BuildSurveyRows(List(nets));
  const struct {
    const char* name;
    CurrentLink link;
    std::optional<size_t> row;
  } cases[] = {
      {"on channel 1: the first", {Mac(9), "Home", 1u, 1}, 0},
      {"on channel 6: the second", {Mac(9), "Home", 6u, 1}, 2},
      {"on a channel neither has: the last candidate", {Mac(9), "Home", 11u, 1}, 2},
      {"another SSID on channel 1: the last candidate", {Mac(9), "Guest", 1u, 1}, 2},
      {"a hidden SSID matches any", {Mac(9), "", 1u, 1}, 0},
      {"an ad hoc link is not an access point's row", {Mac(9), "Home", 1u, 0}, std::nullopt},
      {"a BSSID nobody has", {Mac(1), "Home", 1u, 1}, std::nullopt},
      {"all-zero BSSID", {MacAddress{}, "Home", 1u, 1}, std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(FindConnectedRow(rows, c.link), c.row) << c.name;
}

}  // namespace
}  // namespace ov::survey
