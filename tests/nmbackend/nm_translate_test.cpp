#include <gtest/gtest.h>

#include <cstring>

#include "nativewifi/nm/nm_access_point.h"
#include "nativewifi/nm/nm_codes.h"
#include "nativewifi/nm/nm_wifi_settings.h"

namespace ov::wlan::nm {
namespace {

using Bytes = std::vector<uint8_t>;

// The element with `id` in a run of elements, or nothing.
std::optional<Bytes> Element(const Bytes& ies, uint8_t id) {
  for (size_t i = 0; i + 2 <= ies.size() && i + 2 + ies[i + 1] <= ies.size(); i += 2 + ies[i + 1])
    if (ies[i] == id) return Bytes(ies.begin() + i + 2, ies.begin() + i + 2 + ies[i + 1]);
  return std::nullopt;
}

TEST(NmAccessPoint, OpenNetworkOn24GHz) {
  AccessPointProperties ap;
  ap.ssid = {'c', 'a', 'f', 'e'};
  ap.hwAddress = "02:1A:2B:3C:4D:5E";
  ap.frequencyMHz = 2437;
  ap.strength = 70;
  ap.mode = kModeInfra;
  const BssEntry e = BssEntryFromAccessPoint(ap);
  EXPECT_EQ(e.ssid.text(), "cafe");
  EXPECT_EQ(e.bssid, (MacAddress{0x02, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}));
  EXPECT_EQ(e.rssi, -65);
  EXPECT_EQ(e.linkQuality, 70u);
  EXPECT_EQ(e.centerFrequencyKHz, 2437000u);
  EXPECT_EQ(e.phyType, dot11_phy_type_erp);
  EXPECT_EQ(e.capabilityInformation, 0x0001);
  EXPECT_EQ(Element(e.informationElements, 0), (Bytes{'c', 'a', 'f', 'e'}));
  EXPECT_EQ(Element(e.informationElements, 3), (Bytes{6}));
  EXPECT_FALSE(Element(e.informationElements, 48));
  EXPECT_FALSE(Element(e.informationElements, 221));
}

TEST(NmAccessPoint, Wpa2PskBecomesRsnElement) {
  AccessPointProperties ap;
  ap.ssid = {'h', 'o', 'm', 'e'};
  ap.frequencyMHz = 5180;
  ap.flags = kApFlagsPrivacy;
  ap.rsnFlags = kSecPairCcmp | kSecGroupCcmp | kSecKeyMgmtPsk;
  const BssEntry e = BssEntryFromAccessPoint(ap);
  EXPECT_EQ(e.capabilityInformation, 0x0011);
  EXPECT_EQ(e.phyType, dot11_phy_type_ofdm);
  EXPECT_FALSE(Element(e.informationElements, 3));  // no DS parameter set at 5 GHz
  const Bytes rsn = {0x01, 0x00,                          // version
                     0x00, 0x0F, 0xAC, 0x04,              // group CCMP
                     0x01, 0x00, 0x00, 0x0F, 0xAC, 0x04,  // pairwise CCMP
                     0x01, 0x00, 0x00, 0x0F, 0xAC, 0x02,  // AKM PSK
                     0x00, 0x00};
  EXPECT_EQ(Element(e.informationElements, 48), rsn);
}

TEST(NmAccessPoint, WpaEnterpriseBecomesVendorElement) {
  AccessPointProperties ap;
  ap.ssid = {'c', 'o'};
  ap.frequencyMHz = 2412;
  ap.flags = kApFlagsPrivacy;
  ap.wpaFlags = kSecPairTkip | kSecPairCcmp | kSecGroupTkip | kSecKeyMgmt8021x;
  const BssEntry e = BssEntryFromAccessPoint(ap);
  const Bytes wpa = {0x00, 0x50, 0xF2, 0x01, 0x01, 0x00,  // OUI, type, version
                     0x00, 0x50, 0xF2, 0x02,              // group TKIP
                     0x02, 0x00, 0x00, 0x50, 0xF2, 0x04, 0x00, 0x50, 0xF2, 0x02,
                     0x01, 0x00, 0x00, 0x50, 0xF2, 0x01};
  EXPECT_EQ(Element(e.informationElements, 221), wpa);
  EXPECT_FALSE(Element(e.informationElements, 48));
}

TEST(NmAccessPoint, OddInputStaysBounded) {
  AccessPointProperties ap;
  ap.ssid.assign(40, 'x');        // longer than an SSID may be
  ap.hwAddress = "02:1A:2B:3C:4D";  // short
  ap.strength = 250;              // beyond a percentage
  ap.mode = kModeAdhoc;
  const BssEntry e = BssEntryFromAccessPoint(ap);
  EXPECT_EQ(e.ssid.bytes.size(), kMaxSsidLength);
  EXPECT_EQ(e.bssid, MacAddress{});
  EXPECT_EQ(e.linkQuality, 100u);
  EXPECT_EQ(e.rssi, -50);
  EXPECT_EQ(e.bssType, dot11_BSS_type_independent);
  EXPECT_EQ(e.capabilityInformation, 0x0002);
  EXPECT_EQ(Element(e.informationElements, 0)->size(), kMaxSsidLength);
}

TEST(NmAccessPoint, ChannelOfFrequency) {
  const std::pair<uint32_t, uint32_t> rows[] = {
      {2412, 1}, {2472, 13}, {2484, 14}, {5180, 36}, {5825, 165}, {5955, 1}, {0, 0}, {3000, 0}};
  for (auto [f, ch] : rows) EXPECT_EQ(ChannelOfFrequency(f), ch) << f;
}

TEST(NmAccessPoint, AvailableNetworksGroupBySsidTypeAndSecurity) {
  auto ap = [](const char* ssid, uint32_t freq, uint8_t strength, uint32_t flags, uint32_t rsn, uint32_t wpa) {
    AccessPointProperties p;
    p.ssid.assign(ssid, ssid + std::strlen(ssid));
    p.frequencyMHz = freq;
    p.strength = strength;
    p.flags = flags;
    p.rsnFlags = rsn;
    p.wpaFlags = wpa;
    p.mode = kModeInfra;
    return p;
  };
  const uint32_t rsnPsk = kSecPairCcmp | kSecGroupCcmp | kSecKeyMgmtPsk;
  const std::vector<AccessPointProperties> aps = {
      ap("home", 2412, 40, kApFlagsPrivacy, rsnPsk, 0),
      ap("home", 5180, 80, kApFlagsPrivacy, rsnPsk, 0),   // same network, second band
      ap("home", 2437, 30, 0, 0, 0),                      // an open "home" is another network
      ap("corp", 2462, 50, kApFlagsPrivacy, 0, kSecPairTkip | kSecGroupTkip | kSecKeyMgmt8021x),
      ap("old", 2412, 10, kApFlagsPrivacy, 0, 0),
  };
  const std::vector<uint8_t> connected = {'c', 'o', 'r', 'p'};
  const std::vector<AvailableNetwork> n = AvailableNetworksFromAccessPoints(aps, &connected);
  ASSERT_EQ(n.size(), 4u);
  EXPECT_EQ(n[0].ssid.text(), "home");
  EXPECT_EQ(n[0].numberOfBssids, 2u);
  EXPECT_EQ(n[0].signalQuality, 80u);
  EXPECT_EQ(n[0].phyTypes, (std::vector<PhyType>{dot11_phy_type_erp, dot11_phy_type_ofdm}));
  EXPECT_EQ(n[0].defaultAuth, DOT11_AUTH_ALGO_RSNA_PSK);
  EXPECT_EQ(n[0].defaultCipher, DOT11_CIPHER_ALGO_CCMP);
  EXPECT_FALSE(n[1].securityEnabled);
  EXPECT_EQ(n[1].defaultCipher, DOT11_CIPHER_ALGO_NONE);
  EXPECT_EQ(n[2].defaultAuth, DOT11_AUTH_ALGO_WPA);
  EXPECT_EQ(n[2].defaultCipher, DOT11_CIPHER_ALGO_TKIP);
  EXPECT_EQ(n[2].flags, WLAN_AVAILABLE_NETWORK_CONNECTED);
  EXPECT_EQ(n[3].defaultCipher, DOT11_CIPHER_ALGO_WEP);
  for (size_t i : {0u, 1u, 3u}) EXPECT_EQ(n[i].flags, 0u) << i;
}

std::string Profile(const std::string& auth, const std::string& cipher, const std::string& key = {},
                    const std::string& keyType = "passPhrase", const std::string& ssid = "<hex>686F6D65</hex><name>home</name>",
                    const std::string& type = "ESS") {
  std::string shared;
  if (!key.empty())
    shared = "<sharedKey><keyType>" + keyType + "</keyType><protected>false</protected><keyMaterial>" +
             key + "</keyMaterial></sharedKey>";
  return "<?xml version=\"1.0\"?><WLANProfile xmlns=\"http://www.microsoft.com/networking/WLAN/profile/v1\">"
         "<name>home</name><SSIDConfig><SSID>" + ssid + "</SSID><nonBroadcast>true</nonBroadcast></SSIDConfig>"
         "<connectionType>" + type + "</connectionType><connectionMode>auto</connectionMode><MSM><security>"
         "<authEncryption><authentication>" + auth + "</authentication><encryption>" + cipher +
         "</encryption><useOneX>false</useOneX></authEncryption>" + shared + "</security></MSM></WLANProfile>";
}

TEST(NmWifiSettings, TranslatesOpenAndPsk) {
  const TranslateResult open = TranslateProfile(Profile("open", "none"));
  ASSERT_EQ(open.error, ERROR_SUCCESS);
  EXPECT_EQ(open.settings.profileName, "home");
  EXPECT_EQ(open.settings.ssid, (std::vector<uint8_t>{'h', 'o', 'm', 'e'}));
  EXPECT_TRUE(open.settings.hidden);
  EXPECT_TRUE(open.settings.autoconnect);
  EXPECT_FALSE(open.settings.adhoc);
  EXPECT_EQ(open.settings.keyMgmt, "");

  const TranslateResult psk = TranslateProfile(Profile("WPA2PSK", "AES", "correct horse"));
  ASSERT_EQ(psk.error, ERROR_SUCCESS);
  EXPECT_EQ(psk.settings.keyMgmt, "wpa-psk");
  EXPECT_EQ(psk.settings.psk, "correct horse");

  const std::string hexKey(64, 'a');
  const TranslateResult raw = TranslateProfile(Profile("WPAPSK", "TKIP", hexKey, "networkKey"));
  ASSERT_EQ(raw.error, ERROR_SUCCESS);
  EXPECT_EQ(raw.settings.psk, hexKey);
}

TEST(NmWifiSettings, RefusesWhatHasNoCounterpart) {
  struct Row {
    const char* what;
    std::string xml;
    uint32_t reason;
  };
  const Row rows[] = {
      {"not XML", "<WLANProfile", WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA},
      {"another root", "<x/>", WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA},
      {"WPA without 802.1X", Profile("WPA2", "AES"), WLAN_REASON_CODE_MSMSEC_PROFILE_ONEX_DISABLED},
      {"WPA-None", Profile("WPA2PSK", "AES", "correct horse", "passPhrase", "<name>home</name>", "IBSS"),
       WLAN_REASON_CODE_UNSUPPORTED_SECURITY_SET},
      {"WAPI", Profile("WAI", "SMS4"), WLAN_REASON_CODE_UNSUPPORTED_SECURITY_SET},
      {"WEP without key", Profile("open", "WEP"), WLAN_REASON_CODE_MSMSEC_PROFILE_WRONG_KEYTYPE},
      {"WEP key of 6", Profile("shared", "WEP", "abcdef", "networkKey"), WLAN_REASON_CODE_MSMSEC_PROFILE_KEY_LENGTH},
      {"WEP 10 non-hex", Profile("open", "WEP", "01020304zz", "networkKey"), WLAN_REASON_CODE_MSMSEC_PROFILE_KEYMATERIAL_CHAR},
      {"WEP as passphrase", Profile("open", "WEP", "abcde", "passPhrase"), WLAN_REASON_CODE_MSMSEC_PROFILE_WRONG_KEYTYPE},
      {"PSK without key", Profile("WPA2PSK", "AES"), WLAN_REASON_CODE_MSMSEC_PROFILE_WRONG_KEYTYPE},
      {"short passphrase", Profile("WPA2PSK", "AES", "1234567"), WLAN_REASON_CODE_MSMSEC_PROFILE_PSK_LENGTH},
      {"long passphrase", Profile("WPA2PSK", "AES", std::string(64, 'p')), WLAN_REASON_CODE_MSMSEC_PROFILE_PSK_LENGTH},
      {"control in passphrase", Profile("WPA2PSK", "AES", "12345678&#9;"), WLAN_REASON_CODE_MSMSEC_PROFILE_PASSPHRASE_CHAR},
      {"non-hex key", Profile("WPA2PSK", "AES", std::string(63, 'a') + "g", "networkKey"), WLAN_REASON_CODE_MSMSEC_PROFILE_KEYMATERIAL_CHAR},
      {"odd hex SSID", Profile("open", "none", "", "", "<hex>686</hex>"), WLAN_REASON_CODE_PROFILE_SSID_INVALID},
      {"empty SSID", Profile("open", "none", "", "", "<name></name>"), WLAN_REASON_CODE_PROFILE_SSID_INVALID},
      {"long SSID", Profile("open", "none", "", "", "<name>" + std::string(33, 's') + "</name>"), WLAN_REASON_CODE_PROFILE_SSID_INVALID},
      {"bad BSS type", Profile("open", "none", "", "", "<name>home</name>", "mesh"), WLAN_REASON_CODE_INVALID_BSS_TYPE},
  };
  for (const Row& row : rows) {
    const TranslateResult r = TranslateProfile(row.xml);
    EXPECT_EQ(r.error, ERROR_BAD_PROFILE) << row.what;
    EXPECT_EQ(r.reasonCode, row.reason) << row.what;
  }
}

// A WEP document with its key index after the shared key, as the profile builder writes it.
std::string WepProfile(const std::string& auth, const std::string& key, const std::string& index) {
  std::string xml = Profile(auth, "WEP", key, "networkKey");
  if (!index.empty())
    xml.insert(xml.find("</security>"), "<keyIndex>" + index + "</keyIndex>");
  return xml;
}

TEST(NmWifiSettings, TranslatesStaticWep) {
  struct Row {
    std::string auth, key, index;
    uint32_t reason;  // 0: translated with the key at `index` (0 when none)
  };
  const Row rows[] = {
      {"open", "0102030405", "", 0},
      {"shared", "abcde", "2", 0},
      {"open", "0102030405060708090A0B0C0D", "3", 0},
      {"open", "thirteen char", "0", 0},
      {"open", "0102030405", "4", WLAN_REASON_CODE_MSMSEC_PROFILE_INVALID_KEY_INDEX},
      {"open", "0102030405", "-1", WLAN_REASON_CODE_MSMSEC_PROFILE_INVALID_KEY_INDEX},
  };
  for (const Row& row : rows) {
    const TranslateResult r = TranslateProfile(WepProfile(row.auth, row.key, row.index));
    EXPECT_EQ(r.reasonCode, row.reason) << row.key << " " << row.index;
    if (row.reason != 0) continue;
    ASSERT_EQ(r.error, ERROR_SUCCESS);
    EXPECT_EQ(r.settings.keyMgmt, "none");
    EXPECT_EQ(r.settings.authAlg, row.auth);
    EXPECT_EQ(r.settings.wepKey, row.key);
    EXPECT_EQ(r.settings.wepKeyIndex, row.index.empty() ? 0u : uint32_t(row.index[0] - '0'));
    EXPECT_FALSE(r.settings.oneX);
  }
}

constexpr const char* kEapCommon = "http://www.microsoft.com/provisioning/EapCommon";

// An 802.1X document with `config` as its EapHostConfig's Config and the method `type`/`author`.
std::string OneXProfile(const std::string& auth, const std::string& cipher, int type, int author,
                        const std::string& config) {
  std::string xml = Profile(auth, cipher);
  xml.replace(xml.find("<useOneX>false"), 14, "<useOneX>true");
  const std::string oneX =
      std::string("<OneX xmlns=\"http://www.microsoft.com/networking/OneX/v1\"><EAPConfig>"
                  "<EapHostConfig xmlns=\"http://www.microsoft.com/provisioning/EapHostConfig\"><EapMethod>"
                  "<Type xmlns=\"") + kEapCommon + "\">" + std::to_string(type) + "</Type><AuthorId xmlns=\"" +
      kEapCommon + "\">" + std::to_string(author) + "</AuthorId></EapMethod><Config>" + config +
      "</Config></EapHostConfig></EAPConfig></OneX>";
  xml.insert(xml.find("</security>"), oneX);
  return xml;
}

const std::string kPeapMsChapV2 =
    "<baseEap:Eap xmlns:baseEap=\"b\" xmlns:msPeap=\"p\"><baseEap:Type>25</baseEap:Type><msPeap:EapType>"
    "<msPeap:ServerValidation><msPeap:ServerNames>radius.example.org</msPeap:ServerNames>"
    "<msPeap:TrustedRootCA>00ff</msPeap:TrustedRootCA></msPeap:ServerValidation>"
    "<baseEap:Eap><baseEap:Type>26</baseEap:Type></baseEap:Eap></msPeap:EapType></baseEap:Eap>";
const std::string kPeapTls =
    "<Eap><Type>25</Type><EapType><Eap><Type>13</Type></Eap></EapType></Eap>";
const std::string kPeapGtc =
    "<eapPeap xmlns=\"c\"><doNotValidateServerCertificate/><unprotectedIdentityPattern>anonymous"
    "</unprotectedIdentityPattern><authMethods><builtinMethods><authenticateWithPassword>"
    "<protectedIdentityPattern>alice</protectedIdentityPattern><passwordSource><passwordFromProfile>"
    "s3cret</passwordFromProfile></passwordSource><methods><eapGtc/></methods>"
    "</authenticateWithPassword></builtinMethods></authMethods></eapPeap>";
const std::string kTtlsPap =
    "<EapTtls><ServerValidation><ServerNames>a.example;b.example</ServerNames></ServerValidation>"
    "<Phase2Authentication><PAPAuthentication/></Phase2Authentication><Phase1Identity>"
    "<IdentityPrivacy>true</IdentityPrivacy><AnonymousIdentity>anon</AnonymousIdentity></Phase1Identity></EapTtls>";
const std::string kTtlsInnerEap =
    "<EapTtls><Phase2Authentication><EapHostConfig/></Phase2Authentication></EapTtls>";
const std::string kLeap =
    "<eapLeap><unprotectedIdentityPattern>bob</unprotectedIdentityPattern><passwordSource>"
    "<passwordFromProfile>pw</passwordFromProfile></passwordSource></eapLeap>";

TEST(NmWifiSettings, Translates8021X) {
  struct Row {
    const char* what;
    std::string xml;
    std::string keyMgmt;
    EapSettings eap;
  };
  const Row rows[] = {
      {"WPA2 PEAP-MSCHAPv2", OneXProfile("WPA2", "AES", 25, 0, kPeapMsChapV2), "wpa-eap",
       {"peap", "mschapv2", true, "radius.example.org", "", "", ""}},
      {"WPA PEAP-GTC", OneXProfile("WPA", "TKIP", 25, 9, kPeapGtc), "wpa-eap",
       {"peap", "gtc", false, "", "alice", "anonymous", "s3cret"}},
      {"WPA2 TTLS-PAP", OneXProfile("WPA2", "AES", 21, 311, kTtlsPap), "wpa-eap",
       {"ttls", "pap", true, "a.example;b.example", "", "anon", ""}},
      {"TTLS without phase 2", OneXProfile("WPA2", "AES", 21, 311, ""), "wpa-eap",
       {"ttls", "mschapv2", false, "", "", "", ""}},
      {"dynamic WEP LEAP", OneXProfile("open", "WEP", 17, 9, kLeap), "ieee8021x",
       {"leap", "", false, "", "bob", "", "pw"}},
  };
  for (const Row& row : rows) {
    const TranslateResult r = TranslateProfile(row.xml);
    ASSERT_EQ(r.error, ERROR_SUCCESS) << row.what << ": " << r.why;
    EXPECT_EQ(r.settings.keyMgmt, row.keyMgmt) << row.what;
    ASSERT_TRUE(r.settings.oneX) << row.what;
    const EapSettings& e = r.settings.eap;
    EXPECT_EQ(e.method, row.eap.method) << row.what;
    EXPECT_EQ(e.phase2Auth, row.eap.phase2Auth) << row.what;
    EXPECT_EQ(e.validateServer, row.eap.validateServer) << row.what;
    EXPECT_EQ(e.domainSuffixMatch, row.eap.domainSuffixMatch) << row.what;
    EXPECT_EQ(e.identity, row.eap.identity) << row.what;
    EXPECT_EQ(e.anonymousIdentity, row.eap.anonymousIdentity) << row.what;
    EXPECT_EQ(e.password, row.eap.password) << row.what;
  }
}

TEST(NmWifiSettings, Refuses8021XWithoutCounterpart) {
  struct Row {
    const char* what;
    std::string xml;
    uint32_t reason;
  };
  const Row rows[] = {
      {"EAP-TLS", OneXProfile("WPA2", "AES", 13, 0, ""), WLAN_REASON_CODE_UNSUPPORTED_SECURITY_SET},
      {"PEAP-TLS", OneXProfile("WPA2", "AES", 25, 0, kPeapTls), WLAN_REASON_CODE_UNSUPPORTED_SECURITY_SET},
      {"EAP-FAST", OneXProfile("WPA2", "AES", 43, 9, ""), WLAN_REASON_CODE_UNSUPPORTED_SECURITY_SET},
      {"TTLS with inner EAP", OneXProfile("WPA2", "AES", 21, 311, kTtlsInnerEap), WLAN_REASON_CODE_UNSUPPORTED_SECURITY_SET},
      {"PEAP vendor without GTC", OneXProfile("WPA2", "AES", 25, 9, "<eapPeap/>"), WLAN_REASON_CODE_UNSUPPORTED_SECURITY_SET},
      {"unknown method", OneXProfile("WPA2", "AES", 4, 0, ""), WLAN_REASON_CODE_UNSUPPORTED_SECURITY_SET},
      {"PSK with 802.1X", OneXProfile("WPA2PSK", "AES", 25, 0, kPeapMsChapV2), WLAN_REASON_CODE_MSMSEC_PROFILE_ONEX_ENABLED},
      {"802.1X ad hoc", [] {
         std::string x = OneXProfile("WPA2", "AES", 25, 0, kPeapMsChapV2);
         x.replace(x.find(">ESS<"), 5, ">IBSS<");
         return x;
       }(), WLAN_REASON_CODE_UNSUPPORTED_SECURITY_SET},
      {"OneX missing", [] {
         std::string x = Profile("WPA2", "AES");
         x.replace(x.find("<useOneX>false"), 14, "<useOneX>true");
         return x;
       }(), WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA},
  };
  for (const Row& row : rows) {
    const TranslateResult r = TranslateProfile(row.xml);
    EXPECT_EQ(r.error, ERROR_BAD_PROFILE) << row.what;
    EXPECT_EQ(r.reasonCode, row.reason) << row.what;
    EXPECT_FALSE(r.why.empty()) << row.what;
  }
}

TEST(NmEapSettings, Credentials) {
  const std::string peap =
      "<EapHostUserCredentials><Credentials><Eap><Type>25</Type><EapType><RoutingIdentity>outer@example"
      "</RoutingIdentity><Eap><Type>26</Type><EapType><Username>alice</Username><Password>pw&amp;1"
      "</Password></EapType></Eap></EapType></Eap></Credentials></EapHostUserCredentials>";
  EapTranslation t = TranslateEapCredentials(peap);
  ASSERT_EQ(t.reasonCode, 0u) << t.why;
  EXPECT_EQ(t.settings.identity, "alice");
  EXPECT_EQ(t.settings.anonymousIdentity, "outer@example");
  EXPECT_EQ(t.settings.password, "pw&1");

  t = TranslateEapCredentials("<Credentials><RoutingIdentity>only</RoutingIdentity></Credentials>");
  ASSERT_EQ(t.reasonCode, 0u);
  EXPECT_EQ(t.settings.identity, "only");
  EXPECT_EQ(t.settings.anonymousIdentity, "");

  const std::pair<std::string, uint32_t> refused[] = {
      {"<Credentials><Username>a</Username><UserCert>00ff</UserCert></Credentials>",
       WLAN_REASON_CODE_UNSUPPORTED_SECURITY_SET},
      {"<Credentials><Password>p</Password></Credentials>", WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA},
      {"<Credentials", WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA},
      {std::string(kMaxProfileXml + 1, ' '), WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA},
  };
  for (const auto& [xml, reason] : refused) EXPECT_EQ(TranslateEapCredentials(xml).reasonCode, reason) << xml.substr(0, 40);
}

}  // namespace
}  // namespace ov::wlan::nm
