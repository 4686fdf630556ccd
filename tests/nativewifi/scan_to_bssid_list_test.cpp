// The service's BSS entries as scan-list entries, and the filling of the 64 KB scan list.
#include <gtest/gtest.h>

#include "driver/oid/bssid_list.h"
#include "nativewifi/scan_to_bssid_list.h"
#include "tests/nativewifi/fake_wlan_service.h"

namespace ov {
namespace {

using namespace ov::wlan;
using test::FakeWlanService;

BssEntry Bss(const std::string& ssid, uint8_t last, BssType type = dot11_BSS_type_infrastructure,
             bool privacy = false) {
  BssEntry e;
  e.ssid = Ssid::FromText(ssid);
  e.bssid = {0x02, 0x5A, 0x0F, 0x10, 0x00, last};
  e.bssType = type;
  e.phyType = dot11_phy_type_erp;
  e.rssi = -50;
  e.beaconPeriod = 100;
  e.capabilityInformation = privacy ? 0x0011 : 0x0001;
  e.centerFrequencyKHz = 2437000;
  e.rates = {0x8002, 0x8004, 0x000B, 0x0016};
  e.informationElements = {0x00, static_cast<uint8_t>(ssid.size())};
  e.informationElements.insert(e.informationElements.end(), ssid.begin(), ssid.end());
  return e;
}

NDIS_WLAN_BSSID_EX Fixed(const std::vector<uint8_t>& entry) {
  NDIS_WLAN_BSSID_EX f;
  EXPECT_TRUE(DecodeNdisWlanBssidEx(entry, f));
  return f;
}

TEST(BssEntryToBssidEntry, CopiesTheFixedFieldsAndTheElements) {
  BssEntry e = Bss("Cafe", 7, dot11_BSS_type_infrastructure, true);
  e.rssi = -67;
  e.beaconPeriod = 250;
  e.centerFrequencyKHz = 5180000;
  e.informationElements = {0x00, 0x04, 'C', 'a', 'f', 'e', 0xDD, 0x01, 0x42};
  const std::vector<uint8_t> entry = BssEntryToBssidEntry(e);
  ASSERT_EQ(entry.size(), 116u + 9u);
  const NDIS_WLAN_BSSID_EX f = Fixed(entry);
  EXPECT_EQ(f.Length, 125u);
  EXPECT_EQ(f.MacAddress, e.bssid);
  EXPECT_EQ(NdisSsidText(f.Ssid), "Cafe");
  EXPECT_EQ(f.Privacy, 1u);
  EXPECT_EQ(f.Rssi, -67);
  EXPECT_EQ(f.Configuration.Length, 32u);
  EXPECT_EQ(f.Configuration.BeaconPeriod, 250u);
  EXPECT_EQ(f.Configuration.DSConfig, 5180000u);
  EXPECT_EQ(f.Configuration.ATIMWindow, 0u);
  EXPECT_EQ(f.IELength, 9u);
  EXPECT_EQ(std::vector<uint8_t>(entry.begin() + 116, entry.end()), e.informationElements);
}

TEST(BssEntryToBssidEntry, PrivacyIsBitFourOfTheCapabilityInformation) {
  const struct {
    uint16_t capability;
    uint32_t privacy;
  } cases[] = {{0x0000, 0}, {0x0010, 1}, {0xFFEF, 0}, {0x0431, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.capability);
    BssEntry e = Bss("x", 1);
    e.capabilityInformation = c.capability;
    EXPECT_EQ(Fixed(BssEntryToBssidEntry(e)).Privacy, c.privacy);
  }
}

TEST(BssEntryToBssidEntry, NetworkTypeFollowsThePhyAndForHtTheBand) {
  const struct {
    const char* name;
    PhyType phy;
    uint32_t frequencyKHz;
    uint32_t networkType;
  } cases[] = {
      {"OFDM is the 5 GHz type", dot11_phy_type_ofdm, 5180000, Ndis802_11OFDM5},
      {"HR-DSSS is the DS type", dot11_phy_type_hrdsss, 2412000, Ndis802_11DS},
      {"ERP is the 2.4 GHz OFDM type", dot11_phy_type_erp, 2437000, Ndis802_11OFDM24},
      {"HT on channel 6", dot11_phy_type_ht, 2437000, Ndis802_11OFDM24},
      {"HT on channel 14 is still 2.4 GHz", dot11_phy_type_ht, 2484000, Ndis802_11OFDM24},
      {"HT on channel 36", dot11_phy_type_ht, 5180000, Ndis802_11OFDM5},
      {"HT just above channel 14", dot11_phy_type_ht, 2484001, Ndis802_11OFDM5},
      {"DSSS has no NDIS type", dot11_phy_type_dsss, 2412000, Ndis802_11NetworkTypeMax},
      {"unknown PHY", dot11_phy_type_unknown, 2412000, Ndis802_11NetworkTypeMax},
      {"an IHV PHY", static_cast<PhyType>(0x80000001u), 2412000, Ndis802_11NetworkTypeMax},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BssEntry e = Bss("x", 1);
    e.phyType = c.phy;
    e.centerFrequencyKHz = c.frequencyKHz;
    EXPECT_EQ(Fixed(BssEntryToBssidEntry(e)).NetworkTypeInUse, c.networkType);
  }
}

TEST(BssEntryToBssidEntry, InfrastructureModeFollowsTheBssType) {
  const struct {
    BssType type;
    uint32_t mode;
  } cases[] = {{dot11_BSS_type_infrastructure, 1}, {dot11_BSS_type_independent, 0}, {dot11_BSS_type_any, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    BssEntry e = Bss("x", 1, c.type);
    EXPECT_EQ(Fixed(BssEntryToBssidEntry(e)).InfrastructureMode, c.mode);
  }
}

TEST(BssEntryToBssidEntry, RatesBecomeOctetsWithTheBasicBitAtBitSeven) {
  using Octets = std::array<uint8_t, 16>;
  const struct {
    const char* name;
    std::vector<uint16_t> rates;
    Octets octets;
  } cases[] = {
      {"basic and other rates", {0x8002, 0x8004, 0x000B, 0x0016, 0x006C},
       {0x82, 0x84, 0x0B, 0x16, 0x6C}},
      {"zero rates are no rates, a zero basic rate neither", {0x0000, 0x8000, 0x000C, 0x0000, 0x0012},
       {0x0C, 0x12}},
      {"the first 16 of 20 rates",
       {2, 4, 11, 22, 12, 18, 24, 36, 48, 72, 96, 108, 0x8002, 0x8004, 0x800B, 0x8016, 1, 3, 5, 7},
       {2, 4, 11, 22, 12, 18, 24, 36, 48, 72, 96, 108, 0x82, 0x84, 0x8B, 0x96}},
      {"zeros among more than 16 do not take a place",
       {0, 2, 0, 4, 11, 22, 12, 18, 24, 36, 48, 72, 96, 108, 1, 3, 5, 7, 9, 13},
       {2, 4, 11, 22, 12, 18, 24, 36, 48, 72, 96, 108, 1, 3, 5, 7}},
      {"a rate no octet can hold is left out, not wrapped", {0x8002, 0x0080, 0x00FF, 0x007F},
       {0x82, 0x7F}},
      {"no rates", {}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BssEntry e = Bss("x", 1);
    e.rates = c.rates;
    EXPECT_EQ(Fixed(BssEntryToBssidEntry(e)).SupportedRates, c.octets);
  }
}

TEST(BssEntryToBssidEntry, AnSsidOfThirtyTwoBytesIsKept) {
  BssEntry e = Bss(std::string(32, 'S'), 1);
  EXPECT_EQ(NdisSsidText(Fixed(BssEntryToBssidEntry(e)).Ssid), std::string(32, 'S'));
}

class ScanToBssidListTest : public ::testing::Test {
 protected:
  std::vector<std::string> listedSsids() {
    std::vector<std::string> out;
    for (auto entry : BssidListEntries(buffer)) out.emplace_back(NdisSsidText(Fixed({entry.begin(), entry.end()}).Ssid));
    return out;
  }
  ScanListFill fill() { return ScanToBssidList(service, 1, test::MakeGuid(1), buffer); }

  FakeWlanService service;
  std::vector<uint8_t> buffer = std::vector<uint8_t>(kBssidListBufferSize, 0xEE);
};

AvailableNetwork Network(const std::string& ssid, BssType type, bool security, uint32_t flags = 0,
                         const std::string& profile = "") {
  AvailableNetwork n;
  n.ssid = Ssid::FromText(ssid);
  n.bssType = type;
  n.securityEnabled = security;
  n.flags = flags;
  n.profileName = profile;
  return n;
}

TEST_F(ScanToBssidListTest, EachNetworkOnceWithEveryBssAndHiddenOnesAfter) {
  service.bss = {Bss("Home", 1, dot11_BSS_type_infrastructure, true), Bss("Cafe", 2),
                 Bss("Home", 3, dot11_BSS_type_infrastructure, true), Bss("", 4, dot11_BSS_type_infrastructure, true),
                 Bss("Cell", 5, dot11_BSS_type_independent)};
  service.networks = {
      Network("Home", dot11_BSS_type_infrastructure, true, WLAN_AVAILABLE_NETWORK_HAS_PROFILE, "Home"),
      Network("Home", dot11_BSS_type_infrastructure, true),
      Network("Cafe", dot11_BSS_type_infrastructure, false),
      Network("Cell", dot11_BSS_type_independent, false),
  };
  const ScanListFill f = fill();
  EXPECT_EQ(f.status, ERROR_SUCCESS);
  EXPECT_FALSE(f.full);
  EXPECT_EQ(f.entries, 5u);
  EXPECT_EQ(listedSsids(), (std::vector<std::string>{"Home", "Home", "Cafe", "Cell", ""}));
  // The profile's entry asks for nothing; each network asks with its own SSID.
  ASSERT_EQ(service.bssListSsids.size(), 4u);
  EXPECT_EQ(service.bssListSsids[0], Ssid::FromText("Home"));
  EXPECT_EQ(service.bssListSsids[2], Ssid::FromText("Cell"));
  EXPECT_EQ(service.bssListSsids[3], std::nullopt);
  // The bytes after the list are zero, whatever the buffer held before.
  const auto entries = BssidListEntries(buffer);
  const size_t used = static_cast<size_t>(entries.back().data() + entries.back().size() - buffer.data());
  EXPECT_TRUE(std::all_of(buffer.begin() + static_cast<ptrdiff_t>(used), buffer.end(), [](uint8_t b) { return b == 0; }));
}

TEST_F(ScanToBssidListTest, AFailedNetworkListLeavesAnEmptyList) {
  service.bss = {Bss("Cafe", 2)};
  service.networksStatus = ERROR_INVALID_STATE;
  const ScanListFill f = fill();
  EXPECT_EQ(f.status, ERROR_INVALID_STATE);
  EXPECT_EQ(f.entries, 0u);
  EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](uint8_t b) { return b == 0; }));
}

TEST_F(ScanToBssidListTest, AnOversizedScanStopsAtTheFirstEntryThatDoesNotFit) {
  // 40 BSSs of 2000 element bytes each: about 83 KB of entries for a 64 KB list.
  for (uint8_t i = 0; i < 40; ++i) {
    BssEntry e = Bss("Big" + std::to_string(i), i);
    e.informationElements.resize(2000, 0xDD);
    service.bss.push_back(e);
    service.networks.push_back(Network(e.ssid.text(), dot11_BSS_type_infrastructure, false));
  }
  const ScanListFill f = fill();
  EXPECT_TRUE(f.full);
  const size_t entrySize = 116 + 2000;
  const uint32_t fitting = static_cast<uint32_t>((kBssidListBufferSize - 4) / entrySize);
  EXPECT_EQ(f.entries, fitting);
  const auto entries = BssidListEntries(buffer);
  ASSERT_EQ(entries.size(), fitting);
  for (size_t i = 0; i < entries.size(); ++i) {
    SCOPED_TRACE(i);
    const NDIS_WLAN_BSSID_EX fixed = Fixed({entries[i].begin(), entries[i].end()});
    EXPECT_EQ(fixed.Length, entrySize);
    EXPECT_EQ(fixed.IELength, 2000u);
    EXPECT_EQ(NdisSsidText(fixed.Ssid), "Big" + std::to_string(i));
  }
  // Nothing of the entry that did not fit was written.
  const size_t used = 4 + fitting * entrySize;
  EXPECT_TRUE(std::all_of(buffer.begin() + static_cast<ptrdiff_t>(used), buffer.end(), [](uint8_t b) { return b == 0; }));
}

TEST(ScanListSlot, HandsOverTheLatestWholeList) {
  ScanListSlot slot;
  std::vector<uint8_t> monitor(kBssidListBufferSize, 0xAA);
  EXPECT_FALSE(slot.CopyTo(monitor));
  EXPECT_EQ(monitor[0], 0xAA);
  std::vector<uint8_t> first(kBssidListBufferSize, 0);
  first[0] = 1;
  std::vector<uint8_t> second(kBssidListBufferSize, 0);
  second[0] = 2;
  slot.Publish(first);
  slot.Publish(second);
  EXPECT_EQ(slot.generation(), 2u);
  ASSERT_TRUE(slot.CopyTo(monitor));
  EXPECT_EQ(monitor, second);
}

}  // namespace
}  // namespace ov
