// WPS credentials as profiles: the conversion, FindChannelFrequency, ApplyWpsCredential with
// its credential-cycling indexes, and ApplyActiveConfiguration on both of its paths.
#include <gtest/gtest.h>

#include "shell/wps_credential_profile.h"
#include "tests/actionqueue/queue_test_support.h"
#include "tests/profiles/store_test_support.h"

namespace ov::test {
namespace {

WpsCredential Credential(const std::string& ssid, uint32_t auth, uint32_t encr,
                         const std::string& key, uint32_t keyIndex = 0) {
  WpsCredential c;
  c.SsidLength = static_cast<uint32_t>(ssid.size());
  std::copy(ssid.begin(), ssid.end(), c.Ssid.begin());
  c.AuthType = auth;
  c.EncryType = encr;
  c.KeyIndex = keyIndex;
  c.KeyLength = static_cast<uint32_t>(key.size());
  std::copy(key.begin(), key.end(), c.Key.begin());
  c.MacAddr = {0x02, 0x11, 0x22, 0x33, 0x44, 0x55};
  return c;
}

TEST(WpsConversion, AuthenticationAndEncryptionTypes) {
  struct Row {
    uint32_t auth, encr;
    int32_t authMode, cipherMode;
  } rows[] = {
      {1, 1, kAuthOpen, kCipherNone},      {2, 4, kAuthWpaPsk, kCipherTkip},
      {4, 2, kAuthShared, kCipherWep},     {8, 4, kAuthWpa, kCipherTkip},
      {16, 8, kAuthWpa2, kCipherAes},      {32, 8, kAuthWpa2Psk, kCipherAes},
      {34, 12, kAuthWpaPsk, kCipherTkip},  // mixed WPA/WPA2-PSK with TKIP/AES
      {0, 0, kAuthOpen, kCipherNone},      {64, 16, kAuthOpen, kCipherNone},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("AuthType " + std::to_string(row.auth) + " EncryType " +
                 std::to_string(row.encr));
    const StationProfile p =
        BuildProfileFromCredential(Credential("net", row.auth, row.encr, "passphrase"), 0, 0);
    EXPECT_EQ(p.authMode, row.authMode);
    EXPECT_EQ(p.cipherMode, row.cipherMode);
  }
}

TEST(WpsConversion, PskProfileFromAMixedCredential) {
  const WpsCredential c = Credential("HomeNet", 34, 12, "correct horse battery");
  const StationProfile p = BuildProfileFromCredential(c, 2, 2437000);
  EXPECT_EQ(p.authMode, kAuthWpaPsk);
  EXPECT_EQ(p.cipherMode, kCipherTkip);
  EXPECT_EQ(p.psk, "correct horse battery");
  EXPECT_EQ(NdisSsidText(p.ssid), "HomeNet");
  EXPECT_EQ(p.bssid, c.MacAddr);
  EXPECT_EQ(p.useBssid, 0);
  EXPECT_EQ(p.networkType, 1u);
  EXPECT_EQ(p.preambleType, 2u);
  EXPECT_EQ(p.rtsThreshold, 2347u);
  EXPECT_EQ(p.fragThreshold, 2346u) << "fragmentation off, never threshold 0";
  EXPECT_EQ(p.powerSave, 2u);
  EXPECT_EQ(p.radioApply, 0u);
  EXPECT_EQ(p.channelFrequency, 2437000u);
  EXPECT_EQ(p.connectRequested, 1u);
  EXPECT_EQ(p.loaded, 1u);
  for (const auto& k : p.wepKeys) EXPECT_FALSE(k.has_value());
}

TEST(WpsConversion, WepKeyBlocks) {
  struct Row {
    const char* name;
    std::string key;
    uint32_t keyIndex;
    int slot;  // -1: no key
    std::vector<uint8_t> material;
  } rows[] = {
      {"26 hexadecimal characters: 13 bytes", "0102030405060708090A0B0C0D", 0, 0,
       {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}},
      {"10 hexadecimal characters: 5 bytes", "a1b2c3d4e5", 1, 1, {0xA1, 0xB2, 0xC3, 0xD4, 0xE5}},
      {"13 characters as they are", "abcdefghijklm", 3, 3,
       {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm'}},
      {"5 characters as they are", "abcde", 2, 2, {'a', 'b', 'c', 'd', 'e'}},
      {"16 characters: no key the driver takes", "abcdefghijklmnop", 0, -1, {}},
      {"26 characters that are not hexadecimal", "zz02030405060708090A0B0C0D", 0, -1, {}},
      {"key index above 3", "abcde", 4, -1, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const StationProfile p = BuildProfileFromCredential(
        Credential("wep", WPS_AUTH_OPEN, WPS_ENCR_WEP, row.key, row.keyIndex), 0, 0);
    EXPECT_EQ(p.cipherMode, kCipherWep);
    EXPECT_TRUE(p.psk.empty());
    for (int slot = 0; slot < 4; ++slot) {
      if (slot != row.slot) {
        EXPECT_FALSE(p.wepKeys[slot].has_value()) << slot;
        continue;
      }
      ASSERT_TRUE(p.wepKeys[slot].has_value());
      EXPECT_EQ(p.wepKeys[slot]->material, row.material);
      EXPECT_EQ(p.wepKeys[slot]->keyIndex, row.keyIndex | kTransmitKeyBit);
      const auto encoded = EncodeKeyBlock(*p.wepKeys[slot]);
      EXPECT_EQ(encoded.size(), row.material.size() + kKeyBlockOverhead);
    }
  }
}

TEST(WpsConversion, FindChannelFrequencyTakesTheScanEntryInTheWpsChannelsBand) {
  const MacAddress ap = {0x02, 0x11, 0x22, 0x33, 0x44, 0x55};
  const MacAddress other = {0x02, 0x99, 0x22, 0x33, 0x44, 0x55};
  struct Row {
    const char* name;
    std::vector<ScanEntry> scan;
    uint32_t wpsChannel;
    uint32_t expected;
  } rows[] = {
      {"entry in the same band", {{ap, "n", 2462000}}, 1, 2462000},
      {"entry in the other band is passed over", {{ap, "n", 5180000}}, 6, 2437000},
      {"first matching entry in the band", {{ap, "n", 5180000}, {ap, "n", 5745000}}, 36, 5180000},
      {"other BSSIDs are ignored", {{other, "n", 2462000}}, 11, 2462000},
      {"5 GHz channel with a 2.4 GHz entry", {{ap, "n", 2412000}}, 149, 5745000},
      {"unknown channel starts at channel 1", {}, 15, 2412000},
      {"channel 14 counts as 2.4 GHz", {{ap, "n", 2484000}}, 3, 2484000},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const auto list = MakeScanList(row.scan);
    EXPECT_EQ(FindChannelFrequency(list, row.wpsChannel, ap), row.expected);
  }
}

class WpsApplyTest : public QueueFixture {
 protected:
  void SetTable(std::initializer_list<WpsCredential> credentials) {
    WpsCredentialTable table;
    for (const WpsCredential& c : credentials) table.Credentials[table.Count++] = c;
    queue->wps().Table = table;
  }
};

TEST_F(WpsApplyTest, EmptyTableQueuesNothingButMarksTheWpsStoreInUse) {
  EXPECT_FALSE(queue->ApplyWpsCredential());
  EXPECT_EQ(queue->wps().WpsProfileInUse, 1);
  EXPECT_TRUE(driver.calls.empty());
  EXPECT_TRUE(client.calls.empty());
}

TEST_F(WpsApplyTest, SendsTheDesiredBssidThenAppliesTheCredential) {
  SetTable({Credential("first", 32, 8, "passphrase1")});
  queue->wps().Settings.Channel = 11;
  PutString(kAdapterKey, "PSMode", "3");
  queue->radio().staConfig = StaConfig{};
  EXPECT_TRUE(queue->ApplyWpsCredential());
  const auto sets = SetsOf(OID_DOT11_DESIRED_BSSID_LIST);
  ASSERT_EQ(sets.size(), 1u);
  DOT11_BSSID_LIST sent;
  ASSERT_TRUE(DecodeDot11BssidList(sets[0].bytes, sent));
  EXPECT_EQ(sent.BSSIDs, (MacAddress{0x02, 0x11, 0x22, 0x33, 0x44, 0x55}));
  EXPECT_EQ(driver.calls.front().oid, OID_DOT11_DESIRED_BSSID_LIST) << "before the apply";
  ASSERT_EQ(client.applied.size(), 1u);
  EXPECT_EQ(client.applied[0].ssid, "first");
  EXPECT_EQ(client.applied[0].force, 1u);
  EXPECT_EQ(client.applied[0].authMode, kAuthWpa2Psk);
  EXPECT_EQ(queue->CurrentProfile()->powerSave, 3u);
  EXPECT_EQ(queue->CurrentProfile()->channelFrequency, 2462000u);
}

TEST_F(WpsApplyTest, CyclingWalksTheCredentialsAndWraps) {
  SetTable({Credential("c0", 32, 8, "passphrase"), Credential("c1", 32, 8, "passphrase"),
            Credential("c2", 32, 8, "passphrase")});
  ActivationState& a = queue->activation();
  a.CredentialCycling = true;
  std::vector<std::string> applied;
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(queue->ApplyWpsCredential());
    applied.push_back(client.applied.back().ssid);
    EXPECT_LT(a.AppliedCredentialIndex, 3u);
    EXPECT_LT(a.NextCredentialIndex, 3u);
  }
  EXPECT_EQ(applied, (std::vector<std::string>{"c0", "c1", "c2", "c0", "c1"}));

  // Without cycling the applied credential is applied again and the next index follows it.
  a.CredentialCycling = false;
  ASSERT_TRUE(queue->ApplyWpsCredential());
  EXPECT_EQ(client.applied.back().ssid, "c1");
  EXPECT_EQ(a.NextCredentialIndex, a.AppliedCredentialIndex);
}

TEST_F(WpsApplyTest, IndexesLeftFromALargerTableStayBelowTheCount) {
  SetTable({Credential("only", 32, 8, "passphrase")});
  ActivationState& a = queue->activation();
  for (bool cycling : {false, true}) {
    SCOPED_TRACE(cycling ? "cycling" : "not cycling");
    a.CredentialCycling = cycling;
    a.AppliedCredentialIndex = 6;
    a.NextCredentialIndex = 7;
    ASSERT_TRUE(queue->ApplyWpsCredential());
    EXPECT_EQ(client.applied.back().ssid, "only");
    EXPECT_EQ(a.AppliedCredentialIndex, 0u);
    EXPECT_EQ(a.NextCredentialIndex, 0u);
  }
  // A count the driver or a file made too large is clamped before any credential is picked.
  queue->wps().Table.Count = 200;
  a.AppliedCredentialIndex = 150;
  ASSERT_TRUE(queue->ApplyWpsCredential());
  EXPECT_LT(a.AppliedCredentialIndex, WpsCredentialTable::kMaxCredentials);
}

class ActiveConfigurationTest : public QueueFixture {
 protected:
  ActiveConfigurationTest() {
    services.store = &store;
    services.secretCodec = &codec;
    queue = std::make_unique<ActionQueue>(services);
    AdapterContext& a = queue->adapter();
    a.adapterKeyPath = kAdapterKey;
    a.chipFamily = 6;
    a.radioOn = true;
    a.isAdmin = true;
    a.wpaReady = true;
    queue->radio().plan.wirelessMode = 0;
    PutString(kAdapterKey, "WirelessMode", "0");
  }
  void WriteActiveProfile(const std::string& ssid) {
    store.WriteStoreValues(StoreFileKind::Station, "Config",
                           {{"SSID", ssid}, {"NetworkType", "1"}, {"AuthMode", "7"},
                            {"CipherMode", "6"}, {"WPAPSK", "secret-passphrase"}});
  }
  void WriteWpsStore(int count) {
    store.WriteStoreValue(StoreFileKind::Station, "Config", "WSC", "1");
    WpsStoreState state;
    for (int i = 0; i < count; ++i) {
      state.Table.Credentials[i] =
          Credential("wps" + std::to_string(i), 32, 8, "wps-passphrase");
    }
    state.Table.Count = static_cast<uint32_t>(count);
    state.Settings.Channel = 6;
    SaveWpsStore(store, &codec, state, false, nullptr);
  }

  MarkerSecretCodec codec;
  ProfileStore store{LocationIn(dir, 6), &codec, true};
};

TEST_F(ActiveConfigurationTest, StationProfilePathLoadsAndConnects) {
  WriteActiveProfile("office");
  queue->ApplyActiveConfiguration(1, 0, 0);
  EXPECT_EQ(queue->activation().StationProfileInUse, 1);
  EXPECT_EQ(queue->wps().WpsProfileInUse, 0);
  ASSERT_EQ(client.applied.size(), 1u);
  EXPECT_EQ(client.applied[0].ssid, "office");
  EXPECT_EQ(client.applied[0].force, 0u);
  EXPECT_EQ(queue->CurrentProfile()->psk, "secret-passphrase");
  EXPECT_EQ(queue->CurrentProfile()->radioApply, 1u);
  EXPECT_FALSE(SetsOf(OID_VND_PHY_MODE.set).empty()) << "radio settings sent";
  EXPECT_FALSE(timers.isActive(kTimerWpsCheck));
  EXPECT_TRUE(queue->Queue().empty());
}

TEST_F(ActiveConfigurationTest, ConnectRequestedUnlessConnectedAndNotForced) {
  WriteActiveProfile("office");
  struct Row {
    bool connected;
    uint32_t force;
    bool connects;
  } rows[] = {{false, 0, true}, {true, 0, false}, {true, 1, true}, {false, 1, true}};
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.connected ? "connected" : "not connected") +
                 (row.force ? ", forced" : ""));
    client.applied.clear();
    client.connected = row.connected;
    queue->ApplyActiveConfiguration(0, row.force, 0);
    EXPECT_EQ(client.applied.size(), row.connects ? 1u : 0u);
    EXPECT_EQ(queue->CurrentProfile()->connectRequested, row.connects ? 1u : 0u);
  }
}

TEST_F(ActiveConfigurationTest, WpsPathAppliesTheFirstCredentialAndStartsTimer4) {
  WriteActiveProfile("office");
  WriteWpsStore(2);
  queue->ApplyActiveConfiguration(1, 1, 0);
  EXPECT_EQ(queue->wps().WpsProfileInUse, 1);
  EXPECT_EQ(queue->activation().StationProfileInUse, 0);
  EXPECT_TRUE(queue->activation().CredentialCycling);
  EXPECT_EQ(queue->wps().Table.Count, 2u);
  ASSERT_EQ(client.applied.size(), 1u) << "the radio-only record does not connect";
  EXPECT_EQ(client.applied[0].ssid, "wps0");
  EXPECT_EQ(queue->activation().NextCredentialIndex, 1u);
  EXPECT_TRUE(timers.isActive(kTimerWpsCheck));
  // The record queued last carries the radio settings only.
  EXPECT_EQ(queue->CurrentProfile()->ssid.SsidLength, 0u);
  EXPECT_EQ(queue->CurrentProfile()->radioApply, 1u);
  EXPECT_EQ(queue->CurrentProfile()->connectRequested, 0u);
}

TEST_F(ActiveConfigurationTest, WpsInUseWithAnEmptyTableConnectsNothing) {
  WriteActiveProfile("office");
  WriteWpsStore(0);
  queue->ApplyActiveConfiguration(0, 1, 0);
  EXPECT_EQ(queue->wps().WpsProfileInUse, 1);
  EXPECT_EQ(queue->activation().StationProfileInUse, 0);
  EXPECT_TRUE(client.applied.empty());
  EXPECT_FALSE(timers.isActive(kTimerWpsCheck));
  EXPECT_TRUE(queue->Queue().empty()) << "the radio record was still applied";
}

TEST_F(ActiveConfigurationTest, RadioOffSendsNothing) {
  WriteActiveProfile("office");
  queue->adapter().radioOn = false;
  queue->adapter().htCapable = true;
  for (int wpsCredentials : {-1, 2}) {
    SCOPED_TRACE(wpsCredentials < 0 ? "station profile" : "WPS credential");
    if (wpsCredentials >= 0) WriteWpsStore(wpsCredentials);
    driver.calls.clear();
    queue->ApplyActiveConfiguration(1, 1, 0);
    for (const auto& c : driver.calls) EXPECT_FALSE(c.isSet) << std::hex << c.oid;
    EXPECT_TRUE(client.applied.empty());
    EXPECT_TRUE(queue->Queue().empty());
  }
}

}  // namespace
}  // namespace ov::test
