// The profile editor's rules: the channel list, OK's refusal order, the ad hoc security rule,
// SaveProfile's keys in their order and what LoadProfile makes of them.
#include <gtest/gtest.h>

#include <map>

#include "profilepages/profile_editor_rules.h"

namespace ov {
namespace {

using A = AuthChoice;
using C = CipherChoice;

std::vector<uint8_t> Range(int first, int last, int step = 1) {
  std::vector<uint8_t> out;
  for (int c = first; c <= last; c += step) out.push_back(static_cast<uint8_t>(c));
  return out;
}
std::vector<uint8_t> Join(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

struct ChannelRow {
  const char* name;
  ChannelListInputs in;
  std::vector<uint8_t> channels;
};

class BuildChannelListTest : public ::testing::TestWithParam<ChannelRow> {};

TEST_P(BuildChannelListTest, GivesTheRegionsChannels) {
  EXPECT_EQ(BuildChannelList(GetParam().in), GetParam().channels);
}

// Inputs: infrastructure, wireless mode, ad hoc mode, ad hoc flag, region word, family, 802.11h.
INSTANTIATE_TEST_SUITE_P(
    Rows, BuildChannelListTest,
    ::testing::Values(
        ChannelRow{"TableARegion2", {true, 0, 1, false, 2, 0, false}, Range(1, 13)},
        ChannelRow{"TableBRegion2", {true, 0, 1, false, 2, 4, false}, Range(10, 11)},
        ChannelRow{"TableBRegion5", {true, 0, 1, false, 5, 6, false}, Range(1, 14)},
        ChannelRow{"TableARegion5", {true, 0, 1, false, 5, 1, false}, Range(14, 14)},
        ChannelRow{"Region31AdhocStopsAt11", {false, 0, 1, true, 31, 4, false}, Range(1, 11)},
        ChannelRow{"Region31InfrastructureTo14", {true, 0, 1, false, 31, 4, false}, Range(1, 14)},
        ChannelRow{"UnknownRegionIs1To11", {true, 0, 1, false, 20, 4, false}, Range(1, 11)},
        ChannelRow{"Families2And3AddNo24", {true, 0, 1, false, 0, 2, false}, {}},
        ChannelRow{"AOnlyInfrastructureSkips24", {true, 2, 1, false, 0x0100, 4, false},
                   Join(Range(36, 64, 4), Range(100, 140, 4))},
        ChannelRow{"AbgBothBands", {true, 3, 1, false, 0x0601, 4, false},
                   Join(Range(1, 13), {36, 40, 44, 48})},
        ChannelRow{"AdhocModeThreeSkips24", {false, 0, 3, true, 0x0800, 6, false},
                   {52, 56, 60, 64}},
        ChannelRow{"Region9OlderFamily", {true, 2, 1, false, 0x0900, 5, false}, {34, 38, 42, 46}},
        ChannelRow{"Region11Family4Empty", {true, 2, 1, false, 0x0B00, 4, false}, {}},
        ChannelRow{"Region11Family7", {true, 2, 1, false, 0x0B00, 7, false},
                   Join(Join(Range(36, 64, 4), Range(100, 120, 4)), Range(149, 161, 4))},
        ChannelRow{"Region7Has24Channels", {true, 2, 1, false, 0x0700, 7, false},
                   Join(Join(Range(36, 64, 4), Range(100, 140, 4)), Range(149, 165, 4))},
        ChannelRow{"Ieee80211hAdhocDropsRadarChannels", {false, 0, 4, true, 0x0100, 4, true},
                   Join(Range(1, 11), {36, 40, 44, 48})},
        ChannelRow{"Ieee80211hOffKeepsThem", {false, 0, 4, true, 0x0100, 4, false},
                   Join(Range(1, 11), Join(Range(36, 64, 4), Range(100, 140, 4)))},
        ChannelRow{"Ieee80211hInfrastructureKeepsThem", {true, 2, 1, false, 0x0100, 4, true},
                   Join(Range(36, 64, 4), Range(100, 140, 4))},
        ChannelRow{"HighRegionIsTheDefault5", {true, 2, 1, false, 0x1400, 4, false},
                   {36, 40, 44, 48, 52, 56, 60, 64, 149, 153, 157, 161, 165}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ChannelListItems, SkipsChannels34To46AndSelectsTheStoredChannel) {
  const auto items = ChannelListItems({34, 36, 38, 40, 42, 44, 46, 48});
  EXPECT_EQ(items, (std::vector<std::string>{"36", "40", "44", "48"}));
  EXPECT_EQ(ChannelItemToSelect(items, "44"), 2);
  EXPECT_EQ(ChannelItemToSelect(items, "6"), 0);
  EXPECT_EQ(ChannelItemToSelect({}, "6"), -1);
}

TEST(Thresholds, TypedNumbersAreClampedIntoTheSliderRange) {
  EXPECT_EQ(ClampRtsThreshold(5000), 2347);
  EXPECT_EQ(ClampRtsThreshold(-1), 0);
  EXPECT_EQ(ClampFragThreshold(100), 256);
  EXPECT_EQ(ClampFragThreshold(99999999999LL), 2346);
}

EditorFields ValidFields() {
  EditorFields f;
  f.sys.profileName = "home";
  f.sys.ssid = "net";
  f.sys.networkType = 1;
  f.sys.channel = "1";
  f.security = ResetAuthEncry(true);
  return f;
}

struct RefusalRow {
  const char* name;
  std::function<void(EditorFields&, EditorCheckContext&)> change;
  std::optional<EditorRefusal> refusal;
};

class FirstEditorRefusalTest : public ::testing::TestWithParam<RefusalRow> {};

TEST_P(FirstEditorRefusalTest, RefusesInOrder) {
  EditorFields f = ValidFields();
  EditorCheckContext context;
  context.nameExists = [](std::string_view name) { return name == "office" || name == "home2"; };
  GetParam().change(f, context);
  EXPECT_EQ(FirstEditorRefusal(f, context), GetParam().refusal);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FirstEditorRefusalTest,
    ::testing::Values(
        RefusalRow{"Valid", [](EditorFields&, EditorCheckContext&) {}, std::nullopt},
        RefusalRow{"NameBeforeSsid",
                   [](EditorFields& f, EditorCheckContext&) { f.sys.profileName.clear(); f.sys.ssid.clear(); },
                   EditorRefusal{IDS_INPUTPROFILENAME, EditorTarget::SysConfigTab}},
        RefusalRow{"WapiUserCertBeforeSsid",
                   [](EditorFields& f, EditorCheckContext&) { f.security.auth = A::WapiCa; f.sys.ssid.clear(); },
                   EditorRefusal{IDS_NO_USER_CERT, EditorTarget::WapiUserCert}},
        RefusalRow{"WapiAsCert",
                   [](EditorFields& f, EditorCheckContext&) { f.security.auth = A::WapiCa; f.wapi.userCertPath = "u.cer"; },
                   EditorRefusal{IDS_NO_AS_CERT, EditorTarget::WapiAsCert}},
        RefusalRow{"SsidBeforeDuplicate",
                   [](EditorFields& f, EditorCheckContext&) { f.sys.profileName = "office"; f.sys.ssid.clear(); },
                   EditorRefusal{IDS_ADHOCINPUTSSID, EditorTarget::SysConfigTab}},
        RefusalRow{"DuplicateNewName",
                   [](EditorFields& f, EditorCheckContext&) { f.sys.profileName = "office"; },
                   EditorRefusal{IDS_DUPLIPROF, EditorTarget::SysConfigTab}},
        RefusalRow{"OtherCaseIsNoDuplicate",
                   [](EditorFields& f, EditorCheckContext&) { f.sys.profileName = "Office"; }, std::nullopt},
        RefusalRow{"EditKeepingItsNameSaves",
                   [](EditorFields& f, EditorCheckContext& c) {
                     c.isNewProfile = false; c.originalName = "office"; f.sys.profileName = "office"; },
                   std::nullopt},
        RefusalRow{"EditRenamedOntoAnotherProfileIsRefused",
                   [](EditorFields& f, EditorCheckContext& c) {
                     c.isNewProfile = false; c.originalName = "office"; f.sys.profileName = "home2"; },
                   EditorRefusal{IDS_DUPLIPROF, EditorTarget::SysConfigTab}},
        RefusalRow{"IllegalUserCert",
                   [](EditorFields& f, EditorCheckContext& c) {
                     f.security.auth = A::WapiCa; f.wapi = {"u.cer", "as.cer"};
                     c.checkUserCert = [](const std::string&) { return false; }; },
                   EditorRefusal{IDS_ILLEGAL_USER_CERT, EditorTarget::WapiUserCert}},
        RefusalRow{"IllegalAsCert",
                   [](EditorFields& f, EditorCheckContext& c) {
                     f.security.auth = A::WapiCa; f.wapi = {"u.cer", "as.cer"};
                     c.checkUserCert = [](const std::string&) { return true; };
                     c.checkAsCert = [](const std::string&) { return false; }; },
                   EditorRefusal{IDS_ILLEGAL_AS_CERT, EditorTarget::WapiAsCert}},
        RefusalRow{"NoCertificateCheckSkipsIt",
                   [](EditorFields& f, EditorCheckContext&) { f.security.auth = A::WapiCa; f.wapi = {"u.cer", "as.cer"}; },
                   std::nullopt},
        RefusalRow{"AdhocWithoutChannel",
                   [](EditorFields& f, EditorCheckContext&) { f.sys.networkType = 0; f.sys.channel.clear(); },
                   EditorRefusal{IDS_SYSCONFIG_NO_CHANN_4_ADHOC, EditorTarget::AdvancedPage}},
        RefusalRow{"InfrastructureNeedsNoChannel",
                   [](EditorFields& f, EditorCheckContext&) { f.sys.channel.clear(); }, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AdhocSecurity, OnlyOpenAndWpa2PskAesAreAccepted) {
  struct Row { int type; A auth; C cipher; bool rejected; };
  const Row rows[] = {
      {0, A::Open, C::None, false},    {0, A::Open, C::Wep, false},
      {0, A::Wpa2Psk, C::Aes, false},  {0, A::Wpa2Psk, C::Tkip, true},
      {0, A::WpaPsk, C::Tkip, true},   {0, A::Shared, C::Wep, true},
      {0, A::WpaNone, C::Aes, true},   {0, A::Open, C::Aes, true},
      {1, A::WpaPsk, C::Tkip, false},  {1, A::Shared, C::Wep, false},
  };
  for (const Row& r : rows)
    EXPECT_EQ(IsAdhocSecurityRejected(r.type, r.auth, r.cipher), r.rejected)
        << r.type << " " << static_cast<int>(r.auth) << " " << static_cast<int>(r.cipher);
}

TEST(WepKeyText, AsciiKeysAreStoredAsTheirOwnCharacterCodes) {
  struct Row { const char* key; bool hex; const char* stored; const char* reloaded; };
  const Row rows[] = {
      {"0F5A51D001", true, "0F5A51D001", "0F5A51D001"},
      {"Ab1~ ", false, "4162317e20", "Ab1~ "},
      {"abcdefghijklm", false, "6162636465666768696a6b6c6d", "abcdefghijklm"},
      // A short key that is not the one in use: only its own three characters, nothing after.
      {"abc", false, "616263", ""},
      {"", false, "", ""},
      {"", true, "", ""},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(StoredWepKeyText(r.key, r.hex), r.stored) << r.key;
    EXPECT_EQ(LoadedWepKeyText(StoredWepKeyText(r.key, r.hex), r.hex), r.reloaded) << r.key;
  }
  EXPECT_EQ(LoadedWepKeyText("61626364656667", false), "") << "14 digits reload empty";
  EXPECT_EQ(LoadedWepKeyText("zz62636465", false), "") << "not hexadecimal";
  EXPECT_EQ(WepKeyBytes("0F5A51D001", true), (std::vector<uint8_t>{0x0F, 0x5A, 0x51, 0xD0, 0x01}));
  EXPECT_EQ(WepKeyBytes("abcde", false), (std::vector<uint8_t>{'a', 'b', 'c', 'd', 'e'}));
  EXPECT_FALSE(WepKeyBytes("", true).has_value());
}

std::vector<std::string> Keys(const StoreValues& values) {
  std::vector<std::string> keys;
  for (const auto& [key, value] : values) keys.push_back(key);
  return keys;
}
std::map<std::string, std::string> AsMap(const StoreValues& values) {
  return {values.begin(), values.end()};
}

TEST(SaveProfile, WritesEveryKeyInItsOrder) {
  EditorFields f = ValidFields();
  f.sys.useDiagnostic = true;
  f.sys.diagnosticSsid = "diag";
  const std::vector<std::string> expected = {
      "SSID", "Channel", "NetworkType", "PreambleType", "ACPowerCam", "ProfilePSMode", "TXPower",
      "UseRts", "RtsThresh", "UseFrag", "FragThresh", "SSOInfoInProf", "UseDiagnostic",
      "DiagnosticSSID", "AuthMode", "CipherMode", "LeapEnabled", "LeapUserName", "LeapPassword",
      "LeapDomainName", "LeapEncryType", "WPAPSK", "WAPIPSK_KEYTYPE", "WEPKeyUse", "WEPKey1Type",
      "WEPKey2Type", "WEPKey3Type", "WEPKey4Type", "WEPKey1", "WEPKey2", "WEPKey3", "WEPKey4",
      "Use8021X", "AuthenProtocol", "TunnelProtocol", "ProvisioningTunnel", "ID", "Password",
      "DomainName", "TunnelID", "TunnelPassword", "SessionResumption", "PasswordMode",
      "UseClientCert", "UseSmartCard", "UseServerCert", "UsePAC", "ProvisionMode", "PACFilePath",
      "ClientCertLen", "ClientCertData", "ServerCertLen", "ServerCertData", "ServerName",
      "NameRule", "IntermediateCert", "UserCertPath", "ASCertPath"};
  EXPECT_EQ(Keys(SaveProfileValues(f, true)), expected);

  f.sys.useDiagnostic = false;
  auto keys = Keys(SaveProfileValues(f, true));
  EXPECT_EQ(std::count(keys.begin(), keys.end(), "DiagnosticSSID"), 0);
}

TEST(SaveProfile, ThresholdsOffAreStoredAtTheirMaximum) {
  EditorFields f = ValidFields();
  f.sys.useRts = false;
  f.sys.rtsThreshold = 500;
  f.sys.useFrag = false;
  f.sys.fragThreshold = 700;
  auto stored = AsMap(SaveProfileValues(f, true));
  EXPECT_EQ(stored["RtsThresh"], "2347");
  EXPECT_EQ(stored["FragThresh"], "2346");
  f.sys.useRts = true;
  f.sys.useFrag = true;
  stored = AsMap(SaveProfileValues(f, true));
  EXPECT_EQ(stored["RtsThresh"], "500");
  EXPECT_EQ(stored["FragThresh"], "700");
  EXPECT_EQ(stored["PreambleType"], "2") << "Auto";
}

TEST(SaveProfile, EapFieldsOnlyWhenThe8021XTabIsInUse) {
  EditorFields f = ValidFields();
  f.eap.authenProtocol = kEapTtls;
  f.eap.ttlsInnerMethod = 1;
  f.eap.identity = "user";
  f.eap.clientCert = {0x01, 0xab};
  f.eap.ssoFlags = 5;
  auto open = AsMap(SaveProfileValues(f, true));
  EXPECT_EQ(open["ID"], "");
  EXPECT_EQ(open["TunnelProtocol"], "26");
  EXPECT_EQ(open["SSOInfoInProf"], "5");

  uint32_t eap = kEapTtls;
  ApplyAuthChoice(f.security, A::Wpa2, eap);
  auto wpa2 = AsMap(SaveProfileValues(f, true));
  EXPECT_EQ(wpa2["Use8021X"], "1");
  EXPECT_EQ(wpa2["ID"], "user");
  EXPECT_EQ(wpa2["TunnelProtocol"], "1") << "TTLS stores its inner method";
  EXPECT_EQ(wpa2["ClientCertLen"], "2");
  EXPECT_EQ(wpa2["ClientCertData"], "01ab");
  EXPECT_EQ(AsMap(SaveProfileValues(f, false))["ID"], "") << "without WpaReady";
}

// Every security combination the editor makes without 802.1X, and a few with it, come back
// from the store as they went in.
struct RoundTripRow {
  const char* name;
  int networkType;
  A auth;
  C cipher;
  std::function<void(EditorFields&)> fill;
};

class SaveLoadRoundTrip : public ::testing::TestWithParam<RoundTripRow> {};

TEST_P(SaveLoadRoundTrip, LoadsWhatItSaved) {
  const RoundTripRow& row = GetParam();
  EditorFields f = ValidFields();
  f.sys.networkType = row.networkType;
  f.sys.channel = "6";
  f.sys.preamble = row.networkType == 0 ? kPagePreambleLong : kPagePreambleAuto;
  f.sys.txPower = kTx50;
  f.sys.useRts = true;
  f.sys.rtsThreshold = 1000;
  f.security.infrastructure = row.networkType != 0;
  f.security.auth = row.auth;
  f.security.cipher = row.cipher;
  if (row.fill) row.fill(f);
  const auto stored = AsMap(SaveProfileValues(f, true));
  EditorFields loaded = LoadProfileFields([&stored](std::string_view key) {
    auto it = stored.find(std::string(key));
    return it == stored.end() ? std::string() : it->second;
  });
  loaded.sys.profileName = f.sys.profileName;
  EXPECT_EQ(loaded.sys, f.sys);
  EXPECT_EQ(loaded.security.auth, f.security.auth);
  EXPECT_EQ(loaded.security.cipher, f.security.cipher);
  EXPECT_EQ(loaded.security.keyIndex, f.security.keyIndex);
  EXPECT_EQ(loaded.security.keyHex, f.security.keyHex);
  EXPECT_EQ(loaded.security.keys, f.security.keys);
  EXPECT_EQ(loaded.security.psk, Uses8021XTab(f) ? "" : f.security.psk);
  EXPECT_EQ(loaded.security.use8021X, f.security.use8021X);
  EXPECT_EQ(loaded.security.leapUserName, f.security.leapUserName);
  EXPECT_EQ(loaded.security.leapEncryption, f.security.leapEncryption);
  if (Uses8021XTab(f)) {
    EXPECT_EQ(loaded.eap, f.eap);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SaveLoadRoundTrip,
    ::testing::Values(
        RoundTripRow{"Open", 1, A::Open, C::None, nullptr},
        RoundTripRow{"OpenWepKey3Ascii", 1, A::Open, C::Wep,
                     [](EditorFields& f) {
                       f.security.keyIndex = 2;
                       f.security.keyHex = {1, 0, 0, 1};
                       f.security.keys = {"0123456789", "abc", "hello", ""};
                       f.security.keys[1] = "";  // a short unused ASCII key reloads empty
                     }},
        RoundTripRow{"SharedWep104", 1, A::Shared, C::Wep,
                     [](EditorFields& f) { f.security.keys[0] = "0F5A0F5A0F5A0F5A0F5A0F5A0F"; }},
        RoundTripRow{"WpaPskTkip", 1, A::WpaPsk, C::Tkip,
                     [](EditorFields& f) { f.security.psk = "tkip passphrase 1"; }},
        RoundTripRow{"Wpa2PskAes", 1, A::Wpa2Psk, C::Aes,
                     [](EditorFields& f) { f.security.psk = "orvane-sim-2"; }},
        RoundTripRow{"Wpa2AesMfp", 1, A::Wpa2Psk, C::AesMfp,
                     [](EditorFields& f) { f.security.psk = "orvane-sim-2"; }},
        RoundTripRow{"AdhocOpenWep", 0, A::Open, C::Wep,
                     [](EditorFields& f) { f.security.keys[0] = "0F5A0F5A01"; }},
        RoundTripRow{"AdhocWpa2PskAes", 0, A::Wpa2Psk, C::Aes,
                     [](EditorFields& f) { f.security.psk = "adhoc key 1"; }},
        RoundTripRow{"Leap", 1, A::Leap, C::Wep,
                     [](EditorFields& f) {
                       f.security.leap = true;
                       f.security.leapUserName = "me";
                       f.security.leapPassword = "pw";
                       f.security.leapEncryption = 2;
                     }},
        RoundTripRow{"Wpa2PeapKeepsItsEapFields", 1, A::Wpa2, C::Aes,
                     [](EditorFields& f) {
                       f.security.use8021X = true;
                       f.eap.authenProtocol = kEapPeap;
                       f.eap.identity = "corp user";
                       f.eap.password = "pw";
                       f.eap.serverCert = {0xde, 0xad, 0x00};
                       f.eap.useServerCert = 1;
                     }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LoadProfile, ToleratesMissingAndOutOfRangeValues) {
  const std::map<std::string, std::string> stored = {
      {"AuthMode", "99"}, {"CipherMode", "10"}, {"ProfilePSMode", "7"}, {"UseRts", "1"},
      {"RtsThresh", "9999"}, {"UseFrag", "1"}, {"FragThresh", "12"}, {"WEPKeyUse", "9"},
      {"Channel", "011"}, {"ClientCertLen", "1"}, {"ClientCertData", "abcd"}};
  const EditorFields f = LoadProfileFields([&stored](std::string_view key) {
    auto it = stored.find(std::string(key));
    return it == stored.end() ? std::string() : it->second;
  });
  EXPECT_EQ(f.security.auth, A::Open);
  EXPECT_EQ(f.security.cipher, C::AesMfp);
  EXPECT_EQ(f.sys.psMode, 1);
  EXPECT_EQ(f.sys.rtsThreshold, 2347);
  EXPECT_EQ(f.sys.fragThreshold, 256);
  EXPECT_EQ(f.security.keyIndex, 3);
  EXPECT_EQ(f.sys.channel, "11");
  EXPECT_EQ(f.sys.networkType, 0);
  EXPECT_EQ(f.sys.preamble, kPagePreambleLong) << "a missing PreambleType reads as 0, Long";
  EXPECT_EQ(f.eap.clientCert, (std::vector<uint8_t>{0xab})) << "at most the stored length";
}

TEST(LoadProfile, LeapPresetsItsEncryptionFromTheCipherUnlessStored) {
  std::map<std::string, std::string> stored = {
      {"AuthMode", "0"}, {"LeapEnabled", "1"}, {"CipherMode", "4"}, {"Use8021X", "1"}};
  auto read = [&stored](std::string_view key) {
    auto it = stored.find(std::string(key));
    return it == stored.end() ? std::string() : it->second;
  };
  EditorFields f = LoadProfileFields(read);
  EXPECT_EQ(f.security.auth, A::Leap);
  EXPECT_EQ(f.security.leapEncryption, 1);
  EXPECT_FALSE(f.security.use8021X);
  stored["LeapEncryType"] = "2";
  EXPECT_EQ(LoadProfileFields(read).security.leapEncryption, 2);
}

TEST(ConnectionRecord, CarriesTheSecretOfTheChoice) {
  EditorFields f = ValidFields();
  f.security.auth = A::Shared;
  f.security.cipher = C::Wep;
  f.security.keyIndex = 1;
  f.security.keys = {"", "0F5A51D001", "abcde", ""};
  f.security.keyHex = {1, 1, 0, 1};
  StationProfile wep;
  FillConnectionSecurity(f, true, wep);
  EXPECT_EQ(wep.authMode, kAuthShared);
  EXPECT_EQ(wep.cipherMode, kCipherWep);
  EXPECT_FALSE(wep.wepKeys[0].has_value());
  ASSERT_TRUE(wep.wepKeys[1].has_value());
  EXPECT_TRUE(wep.wepKeys[1]->isTransmitKey());
  EXPECT_EQ(wep.wepKeys[1]->material.size(), 5u);
  ASSERT_TRUE(wep.wepKeys[2].has_value());
  EXPECT_FALSE(wep.wepKeys[2]->isTransmitKey());
  EXPECT_EQ(wep.wepKeys[2]->keyIndex, 2u);
  EXPECT_TRUE(wep.psk.empty());

  f.security.auth = A::Wpa2Psk;
  f.security.cipher = C::Aes;
  f.security.psk = "orvane-sim-2";
  StationProfile psk;
  FillConnectionSecurity(f, true, psk);
  EXPECT_EQ(psk.authMode, kAuthWpa2Psk);
  EXPECT_EQ(psk.cipherMode, kCipherAes);
  EXPECT_EQ(psk.psk, "orvane-sim-2");
  EXPECT_FALSE(psk.wepKeys[1].has_value());
}

TEST(LeapCredentials, AreTrimmedAndRequired) {
  AuthEncryState s;
  s.leapUserName = "  me ";
  s.leapPassword = "\tpw ";
  s.leapDomainName = " corp ";
  EXPECT_TRUE(TrimLeapCredentials(s));
  EXPECT_EQ(s.leapUserName, "me");
  EXPECT_EQ(s.leapPassword, "pw");
  EXPECT_EQ(s.leapDomainName, "corp");
  s.leapPassword = "   ";
  EXPECT_FALSE(TrimLeapCredentials(s));
}

TEST(EapSetup, OnlyForEapFastThroughThe8021XTab) {
  EditorFields f = ValidFields();
  uint32_t eap = kEapFast;
  f.eap.authenProtocol = kEapFast;
  EXPECT_FALSE(NeedsEapSetup(f));
  ApplyAuthChoice(f.security, A::Wpa2, eap);
  EXPECT_TRUE(NeedsEapSetup(f));
  f.sys.networkType = 0;
  EXPECT_FALSE(NeedsEapSetup(f));
}

}  // namespace
}  // namespace ov
