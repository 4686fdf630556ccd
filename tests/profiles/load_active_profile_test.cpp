// LoadActiveProfile: the source choice, every field of the record, and the values that must not
// be loaded as they stand.
#include <gtest/gtest.h>

#include "nativewifi/station_profile.h"
#include "profiles/key_material.h"
#include "profiles/load_active_profile.h"
#include "profiles/store_encoding.h"
#include "tests/profiles/store_test_support.h"

namespace ov {
namespace {

class LoadTest : public ::testing::Test {
 protected:
  // Writes `values` into a fresh profile section and loads it as the selected profile, with the
  // rest of `context`.
  StationProfile Load(const std::vector<ProfileStore::KeyValue>& values,
                      ActiveProfileContext context = Admin()) {
    section++;
    std::string name = "P" + std::to_string(section);
    store.WriteStoreValues(StoreFileKind::Profiles, name, values);
    context.isAdmin = false;
    context.allowStandardUserSetProfile = false;
    context.selectedProfileName = name;
    StationProfile record;
    record.ccx2Control = ccx2Control;
    LoadActiveProfile(store, context, record);
    return record;
  }
  static ActiveProfileContext Admin() {
    ActiveProfileContext c;
    c.isAdmin = true;
    c.wpaReady = true;
    c.ndisVersion = 0x0600;
    return c;
  }

  int section = 0;
  uint32_t ccx2Control = 0;
  test::TempDir dir;
  test::MarkerSecretCodec codec;
  ProfileStore store{test::LocationIn(dir), &codec, true};
};

TEST_F(LoadTest, SourceIsTheActiveConfigurationOrTheSelectedProfile) {
  store.WriteStoreValues(StoreFileKind::Station, "Config", {{"SSID", "active"}, {"NetworkType", "1"},
                                                            {"EapConfigBlobLen", "1"}});
  store.WriteStoreValue(StoreFileKind::StationBlob, "Config", "EapConfigBlob", "AA");
  store.WriteStoreValues(StoreFileKind::Profiles, "Chosen", {{"SSID", "chosen"}, {"NetworkType", "1"},
                                                             {"EapConfigBlobLen", "1"}});
  store.WriteStoreValue(StoreFileKind::ProfilesBlob, "Chosen", "EapConfigBlob", "BB");
  struct Row {
    const char* name;
    bool admin, allowStandard;
    const char* ssid;
    uint8_t blob;
  } rows[] = {{"administrator", true, false, "active", 0xAA},
              {"standard user allowed to set profiles", false, true, "active", 0xAA},
              {"standard user", false, false, "chosen", 0xBB}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ActiveProfileContext c;
    c.isAdmin = row.admin;
    c.allowStandardUserSetProfile = row.allowStandard;
    c.selectedProfileName = "Chosen";
    StationProfile record;
    LoadActiveProfile(store, c, record);
    EXPECT_EQ(NdisSsidText(record.ssid), row.ssid);
    EXPECT_EQ(record.eapBlob, std::vector<uint8_t>{row.blob});
    EXPECT_EQ(record.loaded, 1u);
  }
}

TEST_F(LoadTest, RadioAndModeFields) {
  struct Row {
    const char* name;
    std::vector<ProfileStore::KeyValue> values;
    uint32_t preamble, rts, frag;
    int32_t authMode;
  } rows[] = {
      {"empty section: defaults", {}, 0, 2347, 2346, 0},
      {"stored preamble 1 loads as 2", {{"PreambleType", "1"}}, 2, 2347, 2346, 0},
      {"long preamble kept", {{"PreambleType", "0"}}, 0, 2347, 2346, 0},
      {"RTS off ignores its value", {{"UseRts", "0"}, {"RtsThresh", "500"}}, 0, 2347, 2346, 0},
      {"RTS on", {{"UseRts", "1"}, {"RtsThresh", "500"}}, 0, 500, 2346, 0},
      {"fragmentation on", {{"UseFrag", "1"}, {"FragThresh", "1000"}}, 0, 2347, 1000, 0},
      {"AuthMode 99 loads as 0", {{"AuthMode", "99"}}, 0, 2347, 2346, 0},
      {"AuthMode 8 stays", {{"AuthMode", "8"}}, 0, 2347, 2346, 8},
      {"AuthMode 10 (CCKM) stays", {{"AuthMode", "10"}}, 0, 2347, 2346, 10},
      {"AuthMode 11 (CCX) stays", {{"AuthMode", "11"}}, 0, 2347, 2346, 11},
      {"AuthMode 512 stays", {{"AuthMode", "512"}}, 0, 2347, 2346, 512},
      {"AuthMode -1 loads as 0", {{"AuthMode", "-1"}}, 0, 2347, 2346, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    StationProfile r = Load(row.values);
    EXPECT_EQ(r.preambleType, row.preamble);
    EXPECT_EQ(r.rtsThreshold, row.rts);
    EXPECT_EQ(r.fragThreshold, row.frag);
    EXPECT_EQ(r.authMode, row.authMode);
  }
}

TEST_F(LoadTest, InfrastructureAndAdhocParts) {
  StationProfile infra = Load({{"SSID", "corp"}, {"NetworkType", "1"}, {"ProfilePSMode", "3"},
                               {"ACPowerCam", "1"}, {"SSOInfoInProf", "5"}, {"UseDiagnostic", "1"},
                               {"DiagnosticSSID", "diag"}, {"Channel", "6"}, {"TXPower", "4"}});
  EXPECT_EQ(infra.networkType, 1u);
  EXPECT_EQ(infra.powerSave, 1u);
  EXPECT_EQ(infra.acPowerCam, 1u);
  EXPECT_EQ(infra.ssoFlags, 5u);
  EXPECT_EQ(infra.useDiagnostic, 1);
  EXPECT_EQ(NdisSsidText(infra.diagnosticSsid), "diag");
  EXPECT_EQ(infra.channelFrequency, 0u);  // the channel counts for ad hoc only
  EXPECT_EQ(infra.txPowerLevel, 4u);

  ActiveProfileContext oldDriver = Admin();
  oldDriver.ndisVersion = 0x0500;
  EXPECT_EQ(Load({{"NetworkType", "1"}, {"ACPowerCam", "1"}}, oldDriver).acPowerCam, 0u);

  int remembered = 0;
  ActiveProfileContext c = Admin();
  c.rememberAdhocBssid = [&] { ++remembered; };
  StationProfile adhoc = Load({{"NetworkType", "0"}, {"Channel", "11"}, {"SSOInfoInProf", "5"},
                               {"ProfilePSMode", "1"}}, c);
  EXPECT_EQ(remembered, 1);
  EXPECT_EQ(adhoc.channelFrequency, 2462000u);
  EXPECT_EQ(adhoc.ssoFlags, 0u);
  EXPECT_EQ(adhoc.powerSave, 0u);
  EXPECT_EQ(Load({{"NetworkType", "0"}, {"Channel", "15"}}).channelFrequency, 0u);
  EXPECT_EQ(Load({{"NetworkType", "0"}, {"Channel", "36"}}).channelFrequency, 5180000u);
}

TEST_F(LoadTest, WepKeysForSharedOrWepProfilesOnly) {
  std::vector<ProfileStore::KeyValue> keys = {
      {"WEPKeyUse", "3"},
      {"WEPKey1", "0102030405"},
      {"WEPKey2", "a"},
      {"WEPKey3", "0102030405060708090a0b0c0d"},
      {"WEPKey4", "0102030405f"},
  };
  auto with = [&](std::vector<ProfileStore::KeyValue> extra) {
    extra.insert(extra.end(), keys.begin(), keys.end());
    return Load(extra);
  };
  StationProfile wep = with({{"AuthMode", "0"}, {"CipherMode", "0"}});
  ASSERT_TRUE(wep.wepKeys[0]);
  EXPECT_EQ(wep.wepKeys[0]->material.size(), 5u);
  EXPECT_FALSE(wep.wepKeys[0]->isTransmitKey());
  EXPECT_FALSE(wep.wepKeys[1]);  // one character: no key
  ASSERT_TRUE(wep.wepKeys[2]);
  EXPECT_EQ(wep.wepKeys[2]->keyIndex, kTransmitKeyBit | 2);
  EXPECT_EQ(wep.wepKeys[2]->material.size(), 13u);
  ASSERT_TRUE(wep.wepKeys[3]);
  EXPECT_EQ(wep.wepKeys[3]->material, (std::vector<uint8_t>{1, 2, 3, 4, 5}));

  EXPECT_TRUE(with({{"AuthMode", "1"}, {"CipherMode", "1"}}).wepKeys[0]);  // shared
  EXPECT_FALSE(with({{"AuthMode", "0"}, {"CipherMode", "1"}}).wepKeys[0]); // open, no WEP
  EXPECT_FALSE(with({{"AuthMode", "0"}, {"CipherMode", "0"}, {"LeapEnabled", "1"}}).wepKeys[0]);
}

TEST_F(LoadTest, PreSharedKeysAndTheAdhocKeyBlock) {
  StationProfile psk = Load({{"AuthMode", "7"}, {"CipherMode", "6"}, {"WPAPSK", "  spaced pass  "}});
  EXPECT_EQ(psk.psk, "  spaced pass  ");
  EXPECT_FALSE(psk.adhocKey);

  StationProfile wapi = Load({{"AuthMode", "256"}, {"WPAPSK", "wapi-key"}, {"WAPIPSK_KEYTYPE", "1"}});
  EXPECT_EQ(wapi.psk, "wapi-key");
  EXPECT_EQ(wapi.wapiPskKeyType, 1u);

  StationProfile none = Load({{"SSID", "IEEE"}, {"NetworkType", "0"}, {"AuthMode", "5"},
                              {"CipherMode", "4"}, {"WPAPSK", "password"}});
  EXPECT_EQ(none.psk, "");
  ASSERT_TRUE(none.adhocKey);
  EXPECT_EQ(none.adhocKey->encodedSize(), 71u);
  EXPECT_EQ(HexLower(none.adhocKey->material),
            "f42c6fc52df0ebef9ebb4b90b38a5f902e83fe1b135a70e23aed762e9710a12e");

  std::string hex64(64, 'e');
  StationProfile full = Load({{"AuthMode", "4"}, {"WPAPSK", hex64}});
  EXPECT_EQ(full.psk, hex64);  // 64 characters fill the field
}

TEST_F(LoadTest, EnterpriseFieldsNeedWpaReadyAndEight02Dot1X) {
  std::vector<ProfileStore::KeyValue> values = {
      {"AuthMode", "6"},        {"CipherMode", "6"},        {"Use8021X", "1"},
      {"AuthenProtocol", "0"},  {"TunnelProtocol", "26"},   {"ProvisioningTunnel", "13"},
      {"ID", "outer"},          {"Password", "outer-pw"},   {"TunnelID", "inner"},
      {"TunnelPassword", "in"}, {"SessionResumption", "1"}, {"PasswordMode", "1"},
      {"UseClientCert", "1"},   {"UseSmartCard", "0"},      {"ClientCertLen", "20"},
      {"ClientCertData", std::string(40, 'c')},             {"UseServerCert", "1"},
      {"ServerCertLen", "3"},   {"ServerCertData", "0a0b0c0d"},
      {"UsePAC", "1"},          {"ProvisionMode", "1"},     {"PACFilePath", "/tmp/x.pac"},
      {"ServerName", "radius"}, {"NameRule", "1"},          {"IntermediateCert", "1"},
  };
  StationProfile r = Load(values);
  EXPECT_EQ(r.use8021X, 1);
  EXPECT_EQ(r.tunnelProtocol, 26u);
  EXPECT_EQ(r.provisioningTunnel, 13u);
  EXPECT_EQ(r.identity, "outer");
  EXPECT_EQ(r.password, "outer-pw");
  EXPECT_EQ(r.tunnelIdentity, "inner");
  EXPECT_EQ(r.tunnelPassword, "in");
  EXPECT_EQ(r.sessionResumption, 1u);
  EXPECT_EQ(r.passwordMode, 1u);
  EXPECT_EQ(r.clientCertData, std::vector<uint8_t>(20, 0xCC));
  EXPECT_EQ(r.serverCertData, (std::vector<uint8_t>{0x0A, 0x0B, 0x0C}));  // its stored length
  EXPECT_EQ(r.usePac, 1u);
  EXPECT_EQ(r.provisionMode, 1u);
  EXPECT_EQ(r.pacFilePath, "/tmp/x.pac");
  EXPECT_EQ(r.serverName, "radius");
  EXPECT_EQ(r.nameRule, 1u);
  EXPECT_EQ(r.intermediateCert, 1u);

  ActiveProfileContext notReady = Admin();
  notReady.wpaReady = false;
  EXPECT_EQ(Load(values, notReady).identity, "");

  values.push_back({"AuthenProtocol", "2"});  // TTLS: the inner method goes elsewhere
  StationProfile ttls = Load(values);
  EXPECT_EQ(ttls.ttlsInnerMethod, 26u);
  EXPECT_EQ(ttls.tunnelProtocol, 0u);
}

TEST_F(LoadTest, ValuesThatDoNotFitTheirFieldsAreNotLoaded) {
  std::string longText(128, 'x');
  StationProfile r = Load({{"AuthMode", "3"}, {"Use8021X", "1"}, {"ID", longText},
                           {"Password", std::string(127, 'p')}, {"TunnelPassword", longText},
                           {"UseClientCert", "1"}, {"ClientCertLen", "500"},
                           {"ClientCertData", std::string(400, 'a')},
                           {"UseServerCert", "1"}, {"ServerCertLen", "20"},
                           {"ServerCertData", "abcd"}});
  EXPECT_EQ(r.identity, "");                       // 128 bytes do not fit 128 with the NUL
  EXPECT_EQ(r.password, std::string(127, 'p'));    // 127 do
  EXPECT_EQ(r.tunnelPassword, "");
  EXPECT_EQ(r.clientCertData.size(), 152u);        // clamped to the field
  EXPECT_EQ(r.serverCertData.size(), 2u);          // clamped to the bytes stored

  StationProfile psk = Load({{"AuthMode", "7"}, {"WPAPSK", std::string(65, 'k')}});
  EXPECT_EQ(psk.psk, "");

  for (const char* length : {"4000", "-1", "0"}) {
    SCOPED_TRACE(length);
    StationProfile blob = Load({{"NetworkType", "1"}, {"EapConfigBlobLen", length}});
    EXPECT_TRUE(blob.eapBlob.empty());
  }
}

TEST_F(LoadTest, LeapProfiles) {
  ccx2Control = 0x2;
  StationProfile r = Load({{"LeapEnabled", "257"}, {"Use8021X", "1"}, {"LeapUserName", "bob"},
                           {"LeapPassword", "secret"}});
  EXPECT_EQ(r.leapEnabled, 1);  // the low byte
  EXPECT_EQ(r.leapCckm, 1);
  EXPECT_EQ(r.use8021X, 0);
  EXPECT_EQ(r.leapUserName, "bob");
  EXPECT_EQ(r.leapUserNameLength, 255u);
  EXPECT_EQ(r.leapPassword, "secret");

  ccx2Control = 0;
  EXPECT_EQ(Load({{"LeapEnabled", "1"}}).leapCckm, 0);
  EXPECT_EQ(Load({{"LeapEnabled", "256"}, {"Use8021X", "1"}}).use8021X, 1);  // low byte 0
}

TEST_F(LoadTest, WapiCertificatePathsComeFromTheLoadedSection) {
  store.WriteStoreValues(StoreFileKind::Station, "Config",
                         {{"AuthMode", "512"}, {"UserCertPath", "/certs/active-user.cer"},
                          {"ASCertPath", "/certs/active-as.cer"}});
  store.WriteStoreValues(StoreFileKind::Profiles, "Own",
                         {{"AuthMode", "512"}, {"UserCertPath", "/certs/own-user.cer"},
                          {"ASCertPath", "/certs/own-as.cer"}});
  struct Row {
    const char* name;
    bool admin, allowStandard;
    const char* user;
    const char* as;
  } rows[] = {{"administrator: the active configuration", true, false, "/certs/active-user.cer",
               "/certs/active-as.cer"},
              {"standard user allowed to set profiles: the active configuration", false, true,
               "/certs/active-user.cer", "/certs/active-as.cer"},
              {"standard user: the own profile", false, false, "/certs/own-user.cer",
               "/certs/own-as.cer"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ActiveProfileContext c;
    c.isAdmin = row.admin;
    c.allowStandardUserSetProfile = row.allowStandard;
    c.selectedProfileName = "Own";
    StationProfile record;
    LoadActiveProfile(store, c, record);
    EXPECT_EQ(record.userCertPath, row.user);
    EXPECT_EQ(record.asCertPath, row.as);
  }
  EXPECT_EQ(Load({{"AuthMode", "256"}, {"UserCertPath", "/certs/u.cer"}}).userCertPath, "")
      << "only WAPI-CA profiles name certificates";
}

TEST_F(LoadTest, SecretsAreDecrypted) {
  StationProfile r = Load({{"AuthMode", "7"}, {"WPAPSK", "encrypted on disk"}});
  EXPECT_EQ(r.psk, "encrypted on disk");
  EXPECT_GT(codec.encryptCalls, 0);
}

}  // namespace
}  // namespace ov
