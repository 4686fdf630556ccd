// The AP detail window's texts of one scan-list entry. The captured beacons' expected values are
// read off tshark's decodes kept beside the captures (rates, channel, beacon interval, HT
// capabilities); the HT rates are the 802.11n rates of the MCS and width those decodes give.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "lang/language_table.h"
#include "radio/ht_table.h"
#include "tests/bssdescribe/element_builder.h"
#include "tests/support/test_data.h"
#include "views/ap_detail_rules.h"
#include "views/pcap_beacons.h"

namespace ov {
namespace {

using test::Bytes;

class ApDetailTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    LanguageTable table;
    table.Texts[IDS_SUPPORT_RATE] = "Supported Rates (Mbps)";
    table.Texts[IDS_11N_MAX_SUPPORT_RATE] = "802.11n Max Supported Rate (Mbps)";
    InstallLanguageTable(std::move(table));
  }
  ApDetailTest() { table.Build(); }
  CHTTable table;
};

const std::vector<uint8_t>& CapturedEntry(const std::string& file, uint32_t frame) {
  static std::map<std::string, PcapBeacons> cache;
  auto found = cache.find(file);
  if (found == cache.end()) {
    PcapBeacons beacons;
    std::string error;
    EXPECT_TRUE(ReadPcapBeacons((test::TestData() / "captures" / file).string(), beacons, error)) << error;
    found = cache.emplace(file, std::move(beacons)).first;
  }
  for (const CapturedBss& b : found->second.frames) {
    if (b.frameNumber == frame) return b.entry;
  }
  static const std::vector<uint8_t> none;
  ADD_FAILURE() << file << " frame " << frame << " is not a beacon";
  return none;
}

const std::string kErpRates = "1, 2, 5.5, 6, 9, 11, 12, 18, 24, 36, 48, 54";
const std::string kRatesHeading = "Supported Rates (Mbps): ";
const std::string kHtHeading = "\n\n802.11n Max Supported Rate (Mbps): ";

struct CapturedDetail {
  const char* file;
  uint32_t frame;
  ap_detail::GeneralTab general;
  std::string rates;
  std::array<std::string, 8> wps;  // as the WPS tab shows them
  bool htTab;
  std::string primaryChannel;  // the 802.11n tree's "Primary Channel" row
};

class CapturedDetailTest : public ApDetailTest, public testing::WithParamInterface<CapturedDetail> {};

TEST_P(CapturedDetailTest, FillsEveryTab) {
  const CapturedDetail& want = GetParam();
  const auto& entry = CapturedEntry(want.file, want.frame);
  ASSERT_FALSE(entry.empty());
  const ap_detail::ApDetail got = ap_detail::DescribeApDetail(entry, table);

  const ap_detail::GeneralTab& g = got.general;
  EXPECT_EQ(g.ssid, want.general.ssid);
  EXPECT_EQ(g.macAddress, want.general.macAddress);
  EXPECT_EQ(g.authentication, want.general.authentication);
  EXPECT_EQ(g.encryption, want.general.encryption);
  EXPECT_EQ(g.channel, want.general.channel);
  EXPECT_EQ(g.networkType, want.general.networkType);
  EXPECT_EQ(g.beaconInterval, want.general.beaconInterval);
  EXPECT_EQ(g.signalPercent, want.general.signalPercent);
  EXPECT_EQ(g.signalColour, want.general.signalColour);
  EXPECT_EQ(got.rates, want.rates);

  EXPECT_EQ(got.ccx.cckm, "FALSE");
  EXPECT_EQ(got.ccx.cmic, "FALSE");
  EXPECT_EQ(got.ccx.ckip, "FALSE");
  EXPECT_EQ(got.wps.authentication, want.general.authentication);
  EXPECT_EQ(got.wps.encryption, want.general.encryption);
  for (size_t i = 0; i < want.wps.size(); ++i) EXPECT_EQ(got.wps.fields[i], want.wps[i]) << "WPS field " << i;

  EXPECT_EQ(got.showHtTab, want.htTab);
  const auto primary = std::find_if(got.htTree.begin(), got.htTree.end(),
                                    [](const ap_detail::HtTreeRow& r) { return r.property == "Primary Channel"; });
  ASSERT_NE(primary, got.htTree.end());
  EXPECT_EQ(primary->value, want.primaryChannel);
}

const std::array<std::string, 8> kNoWps = {"Unknown", "", "Unknown", "Unknown", "Unknown", "Unknown", "Unknown", "Unknown"};
const std::array<std::string, 8> kAvmWps = {"0x2388", "", "Unknown", "Configured", "1.0", "Unknown",
                                            "D56C6368B016F7C309223481C4E7991B", "0x01 (2.4GHz)"};
constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kGreen = 0x00FF00;  // a capture without a signal reading gives 0 dBm

INSTANTIATE_TEST_SUITE_P(
    Captures, CapturedDetailTest,
    testing::Values(
        // 20/40 MHz, short GI at 40, MCS 0-7: 150 Mbit/s. -86 dBm is 10 %.
        CapturedDetail{"test1.pcap", 1,
                       {"Smile)", "F8-1A-67-E5-05-62", "WPA-PSK+WPA2-PSK", "AES", "6 <--> 2437 MHz",
                        "Infrastructure", "100", 10, kRed},
                       kRatesHeading + kErpRates + kHtHeading + "150.0",
                       {"0x0086", "", "Unknown", "Configured", "1.0", "TRUE", "00000000000010000000F81A67E50510",
                        "0x01 (2.4GHz)"},
                       true, "6"},
        // 20 MHz only, short GI at 20, MCS 0-7: 72.2. -76 dBm is 34 %, the last red.
        CapturedDetail{"test1.pcap", 2,
                       {"ogogo", "28-10-7B-94-BB-29", "WPA2-PSK", "AES", "6 <--> 2437 MHz", "Infrastructure",
                        "100", 34, kRed},
                       kRatesHeading + kErpRates + kHtHeading + "72.2",
                       {"0x0084", "", "FALSE", "Configured", "1.0", "Unknown", "3810A5F931DB4BB8F5FE8737C4FB3D90",
                        "0x01 (2.4GHz)"},
                       true, "6"},
        // Three streams at 40 MHz with short GI: the table's highest is MCS 15, 300.
        CapturedDetail{"test1.pcap", 19,
                       {"tmpAP", "00-0D-58-EF-88-09", "WPA2-PSK", "AES", "6 <--> 2437 MHz", "Infrastructure",
                        "1600", 100, kGreen},
                       kRatesHeading + kErpRates + kHtHeading + "300.0", kAvmWps, true, "5"},
        // Privacy without any cipher suite: WEP. No HT: no 802.11n line, the tab hidden, n/a.
        CapturedDetail{"wep.open.system.authentication.cap", 1,
                       {"teddy", "00-14-6C-7E-40-80", "Unknown", "WEP", "9 <--> 2452 MHz", "Infrastructure",
                        "100", 100, kGreen},
                       kRatesHeading + "1, 2, 5.5, 11", kNoWps, false, "n/a"},
        CapturedDetail{"wpa-psk-linksys.cap", 9,
                       {"linksys", "00-0B-86-C2-A4-85", "WPA-PSK", "TKIP", "1 <--> 2412 MHz", "Infrastructure",
                        "100", 100, kGreen},
                       kRatesHeading + "1, 2, 5.5, 11", kNoWps, false, "n/a"},
        CapturedDetail{"wpa.cap", 1,
                       {"test", "00-0D-93-EB-B0-8C", "WPA-PSK", "TKIP", "7 <--> 2442 MHz", "Infrastructure",
                        "100", 100, kGreen},
                       kRatesHeading + kErpRates, kNoWps, false, "n/a"}),
    [](const testing::TestParamInfo<CapturedDetail>& info) {
      std::string name = info.param.file;
      name = name.substr(0, name.find('.'));
      std::replace(name.begin(), name.end(), '-', '_');
      return name + "_frame" + std::to_string(info.param.frame);
    });

// An entry around `elements` with the fields the General tab reads.
Bytes Entry(const Bytes& elements, bool privacy = false, uint32_t dsConfigKHz = 2437000,
            uint32_t mode = Ndis802_11Infrastructure, std::vector<uint8_t> rates = {0x82, 0x84, 0x0B, 0x16}) {
  BssDescription bss;
  bss.bssid = test::kTestBssid;
  bss.ssid = "net";
  bss.privacy = privacy;
  bss.rssi = -60;
  bss.beaconPeriod = 100;
  bss.dsConfigKHz = dsConfigKHz;
  bss.infrastructureMode = mode;
  bss.rates = rates;
  bss.informationElements = elements;
  return MakeBssidEntry(bss);
}

TEST_F(ApDetailTest, GeneralTabRules) {
  const Bytes tkip = test::WpaElement(test::Wfa(2), {test::Wfa(2)}, {test::Wfa(2)});
  struct Case {
    const char* name;
    Bytes entry;
    std::string encryption, channel, networkType;
  } cases[] = {
      {"open", Entry({}), "None", "6 <--> 2437 MHz", "Infrastructure"},
      {"privacy without suites is WEP", Entry({}, true), "WEP", "6 <--> 2437 MHz", "Infrastructure"},
      {"privacy with a cipher keeps it", Entry(tkip, true), "TKIP", "6 <--> 2437 MHz", "Infrastructure"},
      {"5 GHz", Entry({}, false, 5180000), "None", "36 <--> 5180 MHz", "Infrastructure"},
      {"unlisted frequency: the frequency alone", Entry({}, false, 2000000), "None", "2000 MHz", "Infrastructure"},
      {"no frequency", Entry({}, false, 0), "None", "", "Infrastructure"},
      {"ad hoc", Entry({}, false, 2437000, Ndis802_11IBSS), "None", "6 <--> 2437 MHz", "IBSS"},
      {"other mode", Entry({}, false, 2437000, 2), "None", "6 <--> 2437 MHz", "Unknown"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto g = ap_detail::DescribeApDetail(c.entry, table).general;
    EXPECT_EQ(g.encryption, c.encryption);
    EXPECT_EQ(g.channel, c.channel);
    EXPECT_EQ(g.networkType, c.networkType);
  }
}

TEST(ApDetailRates, SupportedRatesText) {
  struct Case {
    const char* name;
    std::vector<uint8_t> octets;
    const char* text;
  } cases[] = {
      {"basic bits cleared, ascending", {0x96, 0x0C, 0x82, 0x8B, 0x84}, "1, 2, 5.5, 6, 11"},
      {"stops at the first zero", {0x02, 0x04, 0x00, 0x0B}, "1, 2"},
      {"a basic bit alone is zero", {0x02, 0x80, 0x04}, "1"},
      {"none", {}, ""},
      {"all sixteen, the largest octet",
       {0xFF, 0x02, 0x04, 0x0B, 0x16, 0x0C, 0x12, 0x18, 0x24, 0x30, 0x48, 0x60, 0x6C, 0x03, 0x05, 0x07},
       "1, 1.5, 2, 2.5, 3.5, 5.5, 6, 9, 11, 12, 18, 24, 36, 48, 54, 63.5"},
  };
  for (const Case& c : cases) EXPECT_EQ(ap_detail::SupportedRatesText(c.octets), c.text) << c.name;
}

TEST_F(ApDetailTest, HighestHtRate) {
  auto set = [](std::initializer_list<int> mcs) {
    std::array<uint8_t, kHtMcsSetSize> bits{};
    for (int m : mcs) bits[m / 8] |= static_cast<uint8_t>(1u << (m % 8));
    return bits;
  };
  struct Case {
    const char* name;
    std::array<uint8_t, kHtMcsSetSize> mcs;
    bool width40, shortGi;
    std::optional<double> rate;
  } cases[] = {
      {"one stream 20 MHz long GI", set({0, 1, 2, 3, 4, 5, 6, 7}), false, false, 65.0},
      {"two streams 40 MHz short GI", set({0, 7, 8, 15}), true, true, 300.0},
      {"the largest, not the last", set({7, 8}), false, true, 72.2},
      {"MCS 32 has no 20 MHz rate", set({32}), false, false, std::nullopt},
      {"MCS 32 at 40 MHz", set({32}), true, false, 6.0},
      {"indexes the table lacks", set({16, 31, 76, 127}), true, true, std::nullopt},
      {"nothing set", set({}), true, true, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto rate = ap_detail::HighestHtRate(c.mcs, c.width40, c.shortGi, table);
    ASSERT_EQ(rate.has_value(), c.rate.has_value());
    if (rate) {
      EXPECT_DOUBLE_EQ(*rate, *c.rate);
    }
  }
}

TEST_F(ApDetailTest, RatesBoxHtLine) {
  Bytes mcs07(16, 0);
  mcs07[0] = 0xFF;
  Bytes ht = test::HtCapabilities(0x0002 | 0x0040, 0, mcs07);  // 20/40, short GI at 40
  EXPECT_EQ(ap_detail::DescribeApDetail(Entry(ht), table).rates,
            kRatesHeading + "1, 2, 5.5, 11" + kHtHeading + "150.0");
  // Short GI at 20 only does not count when the AP offers 40 MHz.
  ht = test::HtCapabilities(0x0002 | 0x0020, 0, mcs07);
  EXPECT_EQ(ap_detail::DescribeApDetail(Entry(ht), table).rates, kRatesHeading + "1, 2, 5.5, 11" + kHtHeading + "135.0");
  // HT capabilities with an empty MCS set: the heading without a number.
  ht = test::HtCapabilities(0, 0, Bytes(16, 0));
  EXPECT_EQ(ap_detail::DescribeApDetail(Entry(ht), table).rates, kRatesHeading + "1, 2, 5.5, 11" + kHtHeading);
  // An HT Capabilities element of the wrong length is no HT at all.
  Bytes wrong = test::ElementClaiming(ie::kHtCapabilities, 28, Bytes(28, 0xFF));
  EXPECT_EQ(ap_detail::DescribeApDetail(Entry(wrong), table).rates, kRatesHeading + "1, 2, 5.5, 11");
}

TEST(ApDetailColours, SignalBarThresholds) {
  const std::pair<int, uint32_t> cases[] = {{0, 0x0000FF},   {34, 0x0000FF}, {35, 0x32E6FA},
                                            {69, 0x32E6FA},  {70, 0x00FF00}, {100, 0x00FF00}};
  for (const auto& [percent, colour] : cases) EXPECT_EQ(ap_detail::SignalColour(percent), colour) << percent;
}

TEST_F(ApDetailTest, HtTreeHeadingsAndValues) {
  // HT information only: the tab shows, and the tree carries the decoder's values.
  const Bytes info = test::HtOperation(11, 0x07, 0x0004, 0, {});
  const auto detail = ap_detail::DescribeApDetail(Entry(info), table);
  EXPECT_TRUE(detail.showHtTab);
  std::vector<std::string> headings;
  std::map<std::string, std::string> firstValue;
  size_t properties = 0;
  for (const auto& row : detail.htTree) {
    if (row.heading) {
      headings.push_back(row.property);
      EXPECT_EQ(row.value, "") << row.property;
    } else {
      ++properties;
      firstValue.emplace(row.property, row.value);
    }
  }
  EXPECT_EQ(headings, (std::vector<std::string>{
                          "Secondary Channel Offset element", "Extended Capabilities information element",
                          "Neighbor Report element", "HT Capabilities element", "A-MPDU Parameters field",
                          "Supported MCS Set field", "HT Capabilities Info", "A-MPDU Parameters",
                          "HT Extended Capabilities", "HT Information element"}));
  EXPECT_EQ(properties, 54u) << "fields 0 to 53; the presence flag is not a row";
  EXPECT_EQ(detail.htTree.front().property, "Secondary Channel Offset element");
  EXPECT_EQ(detail.htTree.back().property, "Basic MCS Set 3");
  EXPECT_EQ(firstValue["Primary Channel"], "11");
  EXPECT_EQ(firstValue["HT Information Secondary Channel Offset"], "3");
  EXPECT_EQ(firstValue["STA Channel Width"], "1");
  EXPECT_EQ(firstValue["Non-greenfield STAs Present"], "TRUE");
  EXPECT_EQ(firstValue["HT Capability"], "FALSE");

  // Without HT information every property is n/a, whatever else the entry has.
  const Bytes capsOnly = test::HtCapabilities(0x0002, 0, Bytes(16, 0xFF));
  const auto none = ap_detail::DescribeApDetail(Entry(capsOnly), table);
  EXPECT_FALSE(none.showHtTab);
  ASSERT_EQ(none.htTree.size(), detail.htTree.size());
  for (const auto& row : none.htTree) EXPECT_EQ(row.value, row.heading ? "" : "n/a") << row.property;
  // A field list of the wrong size is not read.
  for (const auto& row : ap_detail::BuildHtTree({"0", "TRUE"})) EXPECT_EQ(row.value, row.heading ? "" : "n/a");
}

TEST_F(ApDetailTest, WpsDevicePasswordIdShownWhenSent) {
  const Bytes wps = test::WpsElement({test::WpsAttribute(0x1012, test::Be16(4)), test::WpsAttribute(0x1044, {2})});
  const auto detail = ap_detail::DescribeApDetail(Entry(wps), table);
  EXPECT_EQ(detail.wps.fields[kWpsDevicePasswordId], "0x0004");
  EXPECT_EQ(detail.wps.fields[kWpsState], "Configured");
  EXPECT_EQ(detail.wps.fields[kWpsConfigMethods], "Unknown");
}

// Any cut of a real entry, and element lengths that lie, give texts and never a read past the
// bytes: every prefix of a captured HT beacon, and each of its length octets set to 255.
TEST_F(ApDetailTest, CutAndLyingEntriesAreSafe) {
  const std::vector<uint8_t>& entry = CapturedEntry("test1.pcap", 1);
  ASSERT_GT(entry.size(), 116u);
  for (size_t size = 0; size <= entry.size(); ++size) {
    std::vector<uint8_t> cut(entry.begin(), entry.begin() + static_cast<std::ptrdiff_t>(size));
    const auto detail = ap_detail::DescribeApDetail(cut, table);
    if (size < 116) {
      EXPECT_EQ(detail.general.ssid, "") << size;
      EXPECT_EQ(detail.rates, "") << size;
      EXPECT_EQ(detail.general.authentication, "Unknown") << size;
    }
  }
  for (size_t at = 117; at < entry.size(); ++at) {
    std::vector<uint8_t> lying = entry;
    lying[at] = 0xFF;
    const auto detail = ap_detail::DescribeApDetail(lying, table);
    EXPECT_EQ(detail.general.ssid, "Smile)") << at;  // the fixed part is untouched
  }
}

TEST(ApDetailScanEntry, FindsTheRowsNetwork) {
  std::vector<uint8_t> list(kBssidListBufferSize);
  BssidListWriter writer(list);
  auto add = [&](uint8_t last) {
    BssDescription bss;
    bss.bssid = {0x02, 0x5A, 0x0F, 0x10, 0x00, last};
    bss.ssid = "n";
    ASSERT_TRUE(writer.Append(MakeBssidEntry(bss)));
  };
  add(1);
  add(2);
  add(3);
  auto bssidAt = [](std::optional<std::span<const uint8_t>> entry) {
    NDIS_WLAN_BSSID_EX fixed;
    return entry && DecodeNdisWlanBssidEx(*entry, fixed) ? fixed.MacAddress[5] : 0;
  };
  const MacAddress second = {0x02, 0x5A, 0x0F, 0x10, 0x00, 2};
  EXPECT_EQ(bssidAt(ap_detail::FindScanEntry(list, 1, second)), 2) << "at its place";
  EXPECT_EQ(bssidAt(ap_detail::FindScanEntry(list, 0, second)), 2) << "moved by a sort";
  EXPECT_EQ(bssidAt(ap_detail::FindScanEntry(list, 7, second)), 2) << "place past the list";
  EXPECT_FALSE(ap_detail::FindScanEntry(list, 1, {0x02, 0x5A, 0x0F, 0x10, 0x00, 9}).has_value()) << "gone";
  EXPECT_FALSE(ap_detail::FindScanEntry({}, 0, second).has_value()) << "no list";
}

}  // namespace
}  // namespace ov
