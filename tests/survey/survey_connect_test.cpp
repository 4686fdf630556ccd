// The site survey's Connect rules over hand-made scan entries: which buttons may be used, where
// Connect leads, the hidden name, the direct connection's record, the failure text and the
// link status's central-channel rule.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/oid/bssid_list.h"
#include "driver/wireless_mode.h"
#include "nativewifi/wlansvc/wlan_types.h"
#include "tests/bssdescribe/element_builder.h"
#include "views/survey_connect.h"

#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace ov::survey {
namespace {

using test::Bytes;
namespace ie = ov::ie;

struct Net {
  const char* ssid = "net";
  bool privacy = false;
  Bytes elements;
  uint32_t infrastructure = Ndis802_11Infrastructure;
  uint8_t last = 1;
};

Bytes Entry(const Net& n) {
  BssDescription bss;
  bss.bssid = {0x02, 0x5A, 0x0F, 0x10, 0x00, n.last};
  bss.ssid = n.ssid;
  bss.privacy = n.privacy;
  bss.rssi = -50;
  bss.networkTypeInUse = Ndis802_11OFDM24;
  bss.dsConfigKHz = 2437000;
  bss.infrastructureMode = n.infrastructure;
  bss.informationElements = n.elements;
  return MakeBssidEntry(bss);
}

std::vector<uint8_t> List(const std::vector<Net>& nets) {
  std::vector<Bytes> entries;
  for (const Net& n : nets) entries.push_back(Entry(n));
  return test::ScanListOf(entries);
}

const Bytes kWpa2Psk = test::RsnElement(test::Rsn(ie::kCipherCcmp), {test::Rsn(ie::kCipherCcmp)},
                                        {test::Rsn(ie::kAkmPsk)});
const Bytes kWapiPsk = test::WapiElement({test::Suite(ie::kOuiWapi, ie::kWapiAkmPsk)},
                                         {test::Suite(ie::kOuiWapi, ie::kWapiCipherSms4)});

ChosenNetwork Choose(const Net& n) {
  const std::vector<uint8_t> list = List({n});
  const auto rows = BuildSurveyRows(list);
  EXPECT_EQ(rows.size(), 1u);
  auto chosen = ChooseNetwork(list, rows.at(0));
  EXPECT_TRUE(chosen.has_value());
  return chosen.value_or(ChosenNetwork{});
}

TEST(SurveyConnect, ButtonsFollowServiceListAndSecurityClass) {
  struct Row {
    const char* name;
    ConnectButtonInputs in;
    ConnectButtonStates expected;
  };
  ConnectButtonInputs ready{.serviceAvailable = true, .radioOn = true, .hasRows = true,
                            .wpaReady = true, .wapiSupported = true, .isAdmin = true};
  auto with = [&](auto change) {
    ConnectButtonInputs in = ready;
    change(in);
    return in;
  };
  const Row rows[] = {
      {"all there, admin", ready, {true, true}},
      {"service away", with([](auto& i) { i.serviceAvailable = false; }), {false, false}},
      {"rescan pending", with([](auto& i) { i.rescanPending = true; }), {false, false}},
      {"radio off", with([](auto& i) { i.radioOn = false; }), {false, false}},
      {"empty list", with([](auto& i) { i.hasRows = false; }), {false, false}},
      {"WPA class without WPA", with([](auto& i) { i.wpaReady = false; i.securityClass = 5; }), {false, false}},
      {"open class without WPA", with([](auto& i) { i.wpaReady = false; i.securityClass = 0; }), {true, true}},
      {"WAPI-CA without WAPI", with([](auto& i) { i.wapiSupported = false; i.securityClass = 7; }), {false, false}},
      {"WPA class without WAPI", with([](auto& i) { i.wapiSupported = false; i.securityClass = 4; }), {true, true}},
      {"standard user", with([](auto& i) { i.isAdmin = false; }), {true, false}},
      {"standard user allowed profiles",
       with([](auto& i) { i.isAdmin = false; i.standardUserMayManageProfiles = true; }), {true, true}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ConnectButtons(row.in), row.expected);
  }
}

TEST(SurveyConnect, ChosenNetworkCarriesItsSecuritySummary) {
  const ChosenNetwork wpa2 = Choose({.ssid = "corp", .privacy = true, .elements = kWpa2Psk});
  EXPECT_EQ(wpa2.ssid, "corp");
  EXPECT_EQ(wpa2.authText, "WPA2-PSK");
  EXPECT_EQ(wpa2.cipherText, "AES");
  EXPECT_TRUE(wpa2.secured);
  EXPECT_EQ(wpa2.securityClass, 5);
  EXPECT_EQ(wpa2.frequencyKHz, 2437000u);

  const ChosenNetwork open = Choose({.ssid = "cafe"});
  EXPECT_EQ(open.authText, "Unknown");
  EXPECT_EQ(open.cipherText, "None");
  EXPECT_FALSE(open.secured);
  EXPECT_EQ(open.securityClass, 0);

  EXPECT_TRUE(Choose({.ssid = "wep", .privacy = true}).secured) << "privacy alone secures";
}

TEST(SurveyConnect, ChooseNetworkFollowsTheBssWhenTheListWasReplaced) {
  const std::vector<uint8_t> old = List({{.ssid = "a", .last = 1}, {.ssid = "b", .last = 2}});
  const SurveyEntry rowB = BuildSurveyRows(old).at(1);
  // A new scan came in, in another order, before the rows were rebuilt.
  const std::vector<uint8_t> replaced =
      List({{.ssid = "b", .last = 2}, {.ssid = "c", .last = 3}, {.ssid = "a", .last = 1}});
  auto chosen = ChooseNetwork(replaced, rowB);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(chosen->ssid, "b");
  EXPECT_EQ(chosen->bssid[5], 2);

  const std::vector<uint8_t> gone = List({{.ssid = "c", .last = 3}});
  EXPECT_FALSE(ChooseNetwork(gone, rowB).has_value()) << "never another network in its place";
}

TEST(SurveyConnect, RouteOfConnect) {
  struct Row {
    const char* name;
    Net net;
    bool wpaReady;
    ConnectRoute expected;
  };
  const Row rows[] = {
      {"open", {.ssid = "cafe"}, true, ConnectRoute::ConnectNow},
      {"secured", {.ssid = "corp", .privacy = true, .elements = kWpa2Psk}, true, ConnectRoute::SecurityEditor},
      {"WEP", {.ssid = "wep", .privacy = true}, false, ConnectRoute::SecurityEditor},
      {"WPA2 without WPA", {.ssid = "corp", .privacy = true, .elements = kWpa2Psk}, false, ConnectRoute::Nothing},
      {"hidden open", {.ssid = ""}, true, ConnectRoute::HiddenSsidPrompt},
      {"hidden secured asks the name first", {.ssid = "", .privacy = true, .elements = kWpa2Psk}, true,
       ConnectRoute::HiddenSsidPrompt},
      {"hidden ad hoc is no prompt", {.ssid = "", .infrastructure = Ndis802_11IBSS}, true, ConnectRoute::ConnectNow},
      {"WAPI-PSK ad hoc", {.ssid = "w", .privacy = true, .elements = kWapiPsk, .infrastructure = Ndis802_11IBSS},
       true, ConnectRoute::Nothing},
      {"WAPI-PSK access point", {.ssid = "w", .privacy = true, .elements = kWapiPsk}, true,
       ConnectRoute::SecurityEditor},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(RouteConnect(Choose(row.net), row.wpaReady), row.expected);
  }
  EXPECT_EQ(RouteAfterHiddenSsid(Choose({.ssid = ""})), ConnectRoute::ConnectNow);
  EXPECT_EQ(RouteAfterHiddenSsid(Choose({.ssid = "", .privacy = true, .elements = kWpa2Psk})),
            ConnectRoute::SecurityEditor);
}

TEST(SurveyConnect, HiddenSsidIsTrimmedAndBounded) {
  struct Row {
    std::string typed;
    std::string ssid;
    HiddenSsidProblem problem;
  };
  const Row rows[] = {
      {"", "", HiddenSsidProblem::Empty},
      {" \t ", "", HiddenSsidProblem::Empty},
      {"  home net\t", "home net", HiddenSsidProblem::None},
      {std::string(32, 'x'), std::string(32, 'x'), HiddenSsidProblem::None},
      // 17 two-byte characters: within the box's 32 characters, beyond an SSID's 32 bytes.
      {std::string(34, '\xC3'), std::string(34, '\xC3'), HiddenSsidProblem::TooLong},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.typed);
    const HiddenSsidInput input = CheckHiddenSsid(row.typed);
    EXPECT_EQ(input.problem, row.problem);
    if (row.problem == HiddenSsidProblem::None) EXPECT_EQ(input.ssid, row.ssid);
  }
}

TEST(SurveyConnect, DirectConnectionRecord) {
  const ChosenNetwork visible = Choose({.ssid = "cafe", .last = 7});
  const StationProfile p = BuildDirectConnectProfile(visible, std::nullopt, 2);
  EXPECT_EQ(NdisSsidText(p.ssid), "cafe");
  EXPECT_EQ(p.useBssid, 1);
  EXPECT_EQ(p.bssid, visible.bssid);
  EXPECT_EQ(p.networkType, 1u);
  EXPECT_EQ(p.channelFrequency, 2437000u);
  EXPECT_EQ(p.preambleType, 2u);
  EXPECT_EQ(p.rtsThreshold, 2347u);
  EXPECT_EQ(p.powerSave, 2u);
  EXPECT_EQ(p.authMode, kAuthOpen);
  EXPECT_EQ(p.cipherMode, kCipherNone);
  EXPECT_EQ(p.connectRequested, 1u) << "the queue connects only a record that asks for it";

  const StationProfile hidden =
      BuildDirectConnectProfile(Choose({.ssid = ""}), std::string("secret net"), 0);
  EXPECT_EQ(NdisSsidText(hidden.ssid), "secret net");
  EXPECT_EQ(hidden.useBssid, 0) << "a hidden network is found by its name";
  EXPECT_EQ(hidden.bssid, MacAddress{});

  const StationProfile adhoc = BuildDirectConnectProfile(
      Choose({.ssid = "cell", .infrastructure = Ndis802_11IBSS}), std::nullopt, 0);
  EXPECT_EQ(adhoc.networkType, 0u);
  EXPECT_EQ(adhoc.useBssid, 0);
}

TEST(SurveyConnect, EntryWithTypedSsidKeepsTheRest) {
  const ChosenNetwork hidden = Choose({.ssid = "", .privacy = true, .elements = kWpa2Psk});
  const std::vector<uint8_t> named = EntryWithSsid(hidden, "secret");
  ASSERT_EQ(named.size(), hidden.entry.size());
  NDIS_WLAN_BSSID_EX before, after;
  ASSERT_TRUE(DecodeNdisWlanBssidEx(hidden.entry, before));
  ASSERT_TRUE(DecodeNdisWlanBssidEx(named, after));
  EXPECT_EQ(NdisSsidText(after.Ssid), "secret");
  EXPECT_EQ(after.MacAddress, before.MacAddress);
  EXPECT_EQ(after.Privacy, before.Privacy);
  EXPECT_TRUE(std::equal(named.begin() + kNdisWlanBssidExFixedSize, named.end(),
                         hidden.entry.begin() + kNdisWlanBssidExFixedSize))
      << "the elements are the entry's own";
}

TEST(SurveyConnect, FailureReasonPrefersTheRefusalOfTheDocument) {
  using namespace wlan;
  EXPECT_EQ(ConnectFailureReason(WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA,
                                 WLAN_REASON_CODE_NETWORK_NOT_AVAILABLE),
            ReasonCodeText(WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA));
  EXPECT_EQ(ConnectFailureReason(std::nullopt, WLAN_REASON_CODE_NETWORK_NOT_AVAILABLE),
            ReasonCodeText(WLAN_REASON_CODE_NETWORK_NOT_AVAILABLE));
  EXPECT_EQ(ReasonCodeText(WLAN_REASON_CODE_NETWORK_NOT_AVAILABLE).find("Unknown reason"),
            std::string::npos)
      << "a reason the user can read";
  EXPECT_FALSE(ConnectFailureReason(std::nullopt, std::nullopt).empty());
}

TEST(SurveyConnect, FortyMegahertzFlagFromTheHtOperation) {
  struct Row {
    const char* name;
    Bytes elements;
    bool forty;
  };
  const Row rows[] = {
      {"no HT", {}, false},
      {"secondary above, any width", test::HtOperation(36, 0x05, 0, 0), true},
      {"secondary below, any width", test::HtOperation(40, 0x07, 0, 0), true},
      {"secondary above, 20 MHz only", test::HtOperation(36, 0x01, 0, 0), false},
      {"no secondary, any width", test::HtOperation(36, 0x04, 0, 0), false},
      {"reserved offset 2", test::HtOperation(36, 0x06, 0, 0), false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const auto rows = BuildSurveyRows(List({{.elements = row.elements}}));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].fortyMhz, row.forty);
  }
}

TEST(SurveyConnect, CentralChannelSuffixRule) {
  auto rowsWith = [](std::vector<std::pair<int, bool>> marks) {
    std::vector<SurveyEntry> rows;
    for (auto [connected, forty] : marks) {
      SurveyEntry e;
      e.connected = connected;
      e.fortyMhz = forty;
      rows.push_back(e);
    }
    return rows;
  };
  struct Row {
    const char* name;
    std::optional<int32_t> mode;
    bool htCapable;
    std::vector<SurveyEntry> rows;
    bool expected;
  };
  const Row rows[] = {
      {"n mode, connected 40 MHz", WIRELESS_MODE_ABGN_MIXED, true, rowsWith({{0, false}, {1, true}}), true},
      {"bgn mode", WIRELESS_MODE_BGN_MIXED, true, rowsWith({{1, true}}), true},
      {"an mode", WIRELESS_MODE_AN_MIXED, true, rowsWith({{1, true}}), true},
      {"connected 20 MHz", WIRELESS_MODE_ABGN_MIXED, true, rowsWith({{1, false}}), false},
      {"a 40 MHz row not connected", WIRELESS_MODE_ABGN_MIXED, true, rowsWith({{0, true}, {1, false}}), false},
      {"only the first connected row counts", WIRELESS_MODE_ABGN_MIXED, true,
       rowsWith({{1, false}, {1, true}}), false},
      {"no connected row", WIRELESS_MODE_ABGN_MIXED, true, rowsWith({{0, true}}), false},
      {"bg mixed", WIRELESS_MODE_BG_MIXED, true, rowsWith({{1, true}}), false},
      {"abg mixed", WIRELESS_MODE_ABG_MIXED, true, rowsWith({{1, true}}), false},
      // The advanced page shows an out-of-range code on an 802.11n adapter as b/g/n.
      {"g only shown as bgn", WIRELESS_MODE_G_ONLY, true, rowsWith({{1, true}}), true},
      {"unreadable mode", std::nullopt, true, rowsWith({{1, true}}), false},
      {"not an 802.11n adapter", WIRELESS_MODE_ABGN_MIXED, false, rowsWith({{1, true}}), false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(CentralChannelSuffixApplies(row.mode, row.htCapable, row.rows), row.expected);
  }
}

}  // namespace
}  // namespace ov::survey
