// BuildWlanProfile on the exact text: the rules of the security settings, the EAP documents, the
// IHV part with the WAPI values, the record without an SSID, hostile SSIDs and the limits.
#include <gtest/gtest.h>

#include "driver/oid/bssid_list.h"
#include "nativewifi/eap_fast_blob.h"
#include "nativewifi/wlan_profile_xml.h"
#include "platform/registry/registry.h"
#include "tests/wlanxml/wlanxml_test_support.h"

namespace ov {
namespace {

using test::Enterprise;
using test::Key;
using test::Record;

bool Has(const std::string& text, const std::string& piece) {
  return text.find(piece) != std::string::npos;
}

#define EXPECT_HAS(text, piece) EXPECT_TRUE(Has(text, piece)) << "missing " << (piece) << "\nin " << (text)
#define EXPECT_LACKS(text, piece) EXPECT_FALSE(Has(text, piece)) << "unexpected " << (piece) << "\nin " << (text)

WlanProfileDocuments Build(const StationProfile& r) { return BuildWlanProfile(r, {}); }

TEST(WlanProfileText, SkeletonOfAnOpenNetwork) {
  WlanProfileDocuments d = Build(Record("cafe", 1, kAuthOpen, kCipherNone));
  EXPECT_EQ(d.profileName, "cafe");
  EXPECT_EQ(d.profileXml.rfind("<?xml version=\"1.0\"?><WLANProfile xmlns=\"http://www.microsoft.com/"
                               "networking/WLAN/profile/v1\"><name><![CDATA[",
                               0),
            0u);
  EXPECT_HAS(d.profileXml,
             "<name><![CDATA[cafe]]></name><SSIDConfig><SSID><hex>63616665</hex><name>cafe</name>"
             "</SSID><nonBroadcast>true</nonBroadcast></SSIDConfig><connectionType>ESS"
             "</connectionType><connectionMode>auto</connectionMode><autoSwitch>false</autoSwitch>"
             "<MSM><security><authEncryption><authentication>open</authentication><encryption>none"
             "</encryption><useOneX>false</useOneX></authEncryption></security></MSM><IHV>");
  EXPECT_LACKS(d.profileXml, "sharedKey");
  EXPECT_LACKS(d.profileXml, "keyIndex");
  EXPECT_LACKS(d.profileXml, "<OneX");
  EXPECT_HAS(d.profileXml, "<OrvaneProfile/>");
  EXPECT_EQ(d.profileXml.find('\n'), std::string::npos);
  EXPECT_EQ(d.userCredentialsXml, "");
}

TEST(WlanProfileText, AuthenticationAndEncryptionByMode) {
  struct Row {
    int32_t auth, cipher;
    const char* authentication;
    const char* encryption;
  } rows[] = {
      {0, 0, "open", "WEP"},    {0, 1, "open", "none"},   {0, 4, "open", "TKIP"},
      {0, 6, "open", "AES"},    {0, 8, "open", "none"},   {1, 0, "shared", "WEP"},
      {2, 0, "open", "none"},   {3, 0, "WPA", "WEP"},     {3, 4, "WPA", "TKIP"},
      {3, 8, "WPA", "TKIP"},    {3, 10, "WPA", "AES"},    {3, 256, "WPA", "none"},
      {4, 4, "WPAPSK", "TKIP"}, {4, 0, "WPAPSK", "none"}, {4, 8, "WPAPSK", "none"},
      {5, 6, "WPAPSK", "AES"},  {6, 6, "WPA2", "AES"},    {6, 10, "WPA2", "AES"},
      {7, 4, "WPA2PSK", "TKIP"}, {7, 6, "WPA2PSK", "AES"}, {8, 6, "open", "none"},
      {9, 6, "open", "none"},   {10, 4, "WPA", "TKIP"},   {10, 6, "WPA2", "AES"},
      {10, 0, "open", "WEP"},   {10, 1, "open", "none"},  {11, 1, "WPA", "TKIP"},
      {256, 256, "open", "none"}, {512, 256, "open", "none"}, {-1, 6, "open", "none"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.auth) + "/" + std::to_string(row.cipher));
    StationProfile r = Record("n", 1, row.auth, row.cipher);
    r.use8021X = 1;  // keeps the shared key out of the way
    std::string xml = Build(r).profileXml;
    EXPECT_HAS(xml, std::string("<authentication>") + row.authentication +
                        "</authentication><encryption>" + row.encryption + "</encryption>");
  }
}

TEST(WlanProfileText, BssTypeAndSecurityFlag) {
  struct Row {
    uint32_t networkType;
    int32_t auth, cipher, use8021X;
    uint32_t bssType;
    bool secured;
  } rows[] = {
      {1, 0, 1, 0, 1, false}, {0, 0, 2, 0, 2, false}, {2, 0, 3, 0, 3, false},
      {1, 0, 0, 0, 1, true},  {1, 0, 1, 1, 1, true},  {1, 1, 1, 0, 1, true},
      {1, 7, 6, 0, 1, true},
  };
  for (const Row& row : rows) {
    StationProfile r = Record("n", row.networkType, row.auth, row.cipher);
    r.use8021X = row.use8021X;
    r.useBssid = 1;
    WlanProfileDocuments d = Build(r);
    EXPECT_EQ(d.bssType, row.bssType);
    EXPECT_EQ(d.securityEnabled, row.secured);
    EXPECT_EQ(d.useBssid, 1);
  }
}

TEST(WlanProfileText, WepUsesTheFirstTransmitKey) {
  StationProfile r = Record("lab", 1, kAuthOpen, kCipherWep);
  r.wepKeys[0] = Key(0, 5, false);
  r.wepKeys[2] = KeyBlock{kTransmitKeyBit | 2, {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08,
                                                0x09, 0x0A, 0xAB, 0xCD, 0xEF}};
  r.wepKeys[3] = Key(3, 5, true);
  EXPECT_HAS(Build(r).profileXml,
             "<sharedKey><keyType>networkKey</keyType><protected>false</protected><keyMaterial>"
             "0102030405060708090AABCDEF</keyMaterial></sharedKey><keyIndex>2</keyIndex>");
}

TEST(WlanProfileText, BuildingLeavesTheRecordWhole) {
  // The record's owner releases it: building twice gives the same key both times.
  StationProfile r = Record("lab", 1, kAuthShared, kCipherWep);
  r.wepKeys[0] = Key(0, 13, true);
  r.eapBlob = EncodeEapFastBlob({});
  StationProfile copy = r;
  std::string first = Build(r).profileXml;
  EXPECT_EQ(Build(r).profileXml, first);
  EXPECT_EQ(r, copy);
}

TEST(WlanProfileText, PreSharedKeys) {
  StationProfile r = Record("home", 1, kAuthWpa2Psk, kCipherAes);
  r.psk = std::string(64, 'f');
  EXPECT_HAS(Build(r).profileXml, "<keyType>networkKey</keyType><protected>false</protected>"
                                  "<keyMaterial>" + std::string(64, 'f') + "</keyMaterial>");
  r.psk = "twelve chars";
  EXPECT_HAS(Build(r).profileXml, "<keyType>passPhrase</keyType><protected>false</protected>"
                                  "<keyMaterial>twelve&#32;chars</keyMaterial>");
  r.psk = "a&b<c>d\"e'f";
  EXPECT_HAS(Build(r).profileXml, "<keyMaterial>a&amp;b&lt;c&gt;d&quot;e&apos;f</keyMaterial>");
  // 802.1X profiles carry no shared key.
  r.use8021X = 1;
  EXPECT_LACKS(Build(r).profileXml, "sharedKey");
}

TEST(WlanProfileText, AdhocWpaNoneCarriesItsMasterKey) {
  StationProfile r = Record("IEEE", 0, kAuthWpaNone, kCipherTkip);
  r.adhocKey = KeyBlock{kTransmitKeyBit, std::vector<uint8_t>(32, 0x0F)};
  WlanProfileDocuments d = Build(r);
  EXPECT_HAS(d.profileXml, "<connectionType>IBSS</connectionType><connectionMode>manual"
                           "</connectionMode>");
  EXPECT_HAS(d.profileXml, "<authentication>WPAPSK</authentication><encryption>TKIP</encryption>");
  std::string pmkHex;
  for (int i = 0; i < 32; ++i) pmkHex += "0f";
  EXPECT_HAS(d.profileXml, "<sharedKey><keyType>networkKey</keyType><protected>false</protected>"
                           "<keyMaterial>" + pmkHex + "</keyMaterial></sharedKey>");
  EXPECT_LACKS(d.profileXml, "<IHV>");
  EXPECT_LACKS(d.profileXml, "nonBroadcast");
  EXPECT_EQ(d.bssType, kBssTypeIndependent);
  // Without its key block the record has no key to give: no shared key at all.
  r.adhocKey.reset();
  EXPECT_LACKS(Build(r).profileXml, "sharedKey");
}

TEST(WlanProfileText, Wpa2EnterpriseWithPeap) {
  WlanProfileDocuments d = Build(Enterprise(kEapPeap, kInnerMsChapV2));
  EXPECT_HAS(d.profileXml, "<PMKCacheMode>enabled</PMKCacheMode><PMKCacheTTL>720</PMKCacheTTL>"
                           "<PMKCacheSize>128</PMKCacheSize><preAuthMode>enabled</preAuthMode>"
                           "<preAuthThrottle>3</preAuthThrottle><OneX xmlns=\"http://www.microsoft"
                           ".com/networking/OneX/v1\"><EAPConfig><EapHostConfig ");
  EXPECT_LACKS(d.profileXml, "<security><CCX");
  EXPECT_HAS(d.profileXml, "<msPeap:ServerNames>radius.example.org</msPeap:ServerNames>"
                           "<msPeap:TrustedRootCA>0123456789abcdef00112233445566778899aabb"
                           "</msPeap:TrustedRootCA>");
  EXPECT_HAS(d.profileXml, "<msPeap:FastReconnect>false</msPeap:FastReconnect>");
  EXPECT_HAS(d.userCredentialsXml, "<MsPeap:RoutingIdentity>outer@example.org</MsPeap:RoutingIdentity>");
  EXPECT_HAS(d.userCredentialsXml, "<MsChapV2:Username>inner-user</MsChapV2:Username>"
                                   "<MsChapV2:Password>inner&lt;pw&gt;&amp;&apos;&quot;"
                                   "</MsChapV2:Password>");
  // PMK caching belongs to WPA2 alone.
  StationProfile wpa = Enterprise(kEapPeap, kInnerMsChapV2);
  wpa.authMode = kAuthWpa;
  EXPECT_LACKS(Build(wpa).profileXml, "PMKCache");
}

TEST(WlanProfileText, UserCredentialsByMethod) {
  struct Row {
    const char* name;
    uint32_t method, inner, smartCard;
    const char* rootTag;  // empty: no document
  } rows[] = {
      {"PEAP MS-CHAP v2", kEapPeap, kInnerMsChapV2, 0, "MsChapV2:Username"},
      {"PEAP GTC", kEapPeap, kInnerGtc, 0, ""},
      {"PEAP TLS", kEapPeap, kInnerTls, 0, "eapTls:UserCert"},
      {"PEAP TLS smart card", kEapPeap, kInnerTls, 1, ""},
      {"TLS", kEapTls, 0, 0, "eapTls:UserCert"},
      {"TLS smart card", kEapTls, 0, 1, ""},
      {"EAP-FAST", kEapFast, 0, 0, ""},
      {"LEAP", kEapLeap, 0, 0, ""},
      {"TTLS", kEapTtls, 0, 0, ""},
      {"PEAP unknown inner", kEapPeap, 99, 0, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    StationProfile r = Enterprise(row.method, row.inner);
    r.useSmartCard = row.smartCard;
    std::string creds = Build(r).userCredentialsXml;
    if (*row.rootTag == '\0') {
      EXPECT_EQ(creds, "");
    } else {
      EXPECT_HAS(creds, row.rootTag);
      EXPECT_EQ(creds.rfind("<?xml version=\"1.0\"?><EapHostUserCredentials ", 0), 0u);
    }
  }
  std::string tls = Build(Enterprise(kEapTls)).userCredentialsXml;
  EXPECT_HAS(tls, "<eapTls:Username>inner-user</eapTls:Username><eapTls:UserCert>"
                  "fedcba98765432100f1e2d3c4b5a69788796a5b4</eapTls:UserCert>");
}

TEST(WlanProfileText, ExactEapConfigurationTexts) {
  StationProfile tls = Enterprise(kEapTls);
  EXPECT_HAS(Build(tls).profileXml,
             "<eapTls:ServerValidation> <eapTls:DisableUserPromptForServerValidation>true"
             "</eapTls:DisableUserPromptForServerValidation><eapTls:ServerNames>radius.example.org"
             "</eapTls:ServerNames>");
  StationProfile gtc = Enterprise(kEapPeap, kInnerGtc);
  gtc.passwordMode = 0;
  gtc.useServerCert = 0;
  EXPECT_HAS(Build(gtc).profileXml,
             "<doNotValidateServerCertificate /><unprotectedIdentityPattern encryptContent=\"false\">"
             "anonymous</unprotectedIdentityPattern><disableFastReconnect/><authMethods>"
             "<builtinMethods><authenticateWithToken><tokenSource><passwordFromOtherToken />"
             "</tokenSource><methods><eapGtc /> </methods></authenticateWithToken></builtinMethods>");
  StationProfile leap = Enterprise(kEapLeap);
  EXPECT_HAS(Build(leap).profileXml,
             "<eapLeap xmlns=\"http://www.cisco.com/CCX\"><unprotectedIdentityPattern "
             "encryptContent=\"false\">outer@example.org</unprotectedIdentityPattern><passwordSource>"
             "<passwordFromProfile encryptContent=\"false\">outer&#32;pw</passwordFromProfile>"
             "</passwordSource></eapLeap>");
}

TEST(WlanProfileText, SingleSignOnBits) {
  StationProfile r = Enterprise(kEapPeap, kInnerMsChapV2);
  r.ssoFlags = kSsoEnabled | kSsoAfterLogon;
  EXPECT_HAS(Build(r).profileXml,
             "<OneX xmlns=\"http://www.microsoft.com/networking/OneX/v1\"><cacheUserData>true"
             "</cacheUserData><maxAuthFailures>3</maxAuthFailures><authMode>user</authMode>"
             "<singleSignOn><type>postLogon</type><maxDelay>10</maxDelay></singleSignOn><EAPConfig>");
  r.ssoFlags = kSsoEnabled | kSsoMachineOrUser;
  EXPECT_HAS(Build(r).profileXml, "<authMode>machineOrUser</authMode><singleSignOn><type>preLogon");
  r.ssoFlags = kSsoMachineOrUser | kSsoAfterLogon;  // not enabled
  EXPECT_LACKS(Build(r).profileXml, "singleSignOn");
}

TEST(WlanProfileText, IhvSecurityParts) {
  struct Row {
    const char* name;
    int32_t auth, cipher;
    const char* part;  // empty: no security part
  } rows[] = {
      {"CCKM TKIP", kAuthCckm, kCipherTkip,
       "<security><CCX xmlns=\"http://www.cisco.com/CCX\"><authenticatingNetwork><cckm>"
       "<encryption>TKIP</encryption></cckm></authenticatingNetwork></CCX></security>"
       "<useMSOneX>true</useMSOneX>"},
      {"CCKM AES", kAuthCckm, kCipherAes, "<cckm><encryption>AES</encryption>"},
      {"CCKM other", kAuthCckm, kCipherNone, "<cckm><encryption>WEP</encryption>"},
      {"CCX", kAuthCcx, kCipherTkip, "<CCX xmlns=\"http://www.cisco.com/CCX\"><openNetwork /></CCX>"},
      {"WPA2 AES MFP", kAuthWpa2, kCipherAesMfp, "<wpa2><encryption>AES</encryption></wpa2>"},
      {"WPA2 TKIP MFP", kAuthWpa2, kCipherTkipMfp, "<wpa2><encryption>TKIP</encryption></wpa2>"},
      {"WPA2 SMS4", kAuthWpa2, kCipherSms4, "<wpa2><encryption></encryption></wpa2>"},
      {"WPA2 AES", kAuthWpa2, kCipherAes, ""},
      {"WPA", kAuthWpa, kCipherTkipMfp, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    StationProfile r = Enterprise(kEapPeap, kInnerMsChapV2);
    r.authMode = row.auth;
    r.cipherMode = row.cipher;
    std::string xml = Build(r).profileXml;
    if (*row.part == '\0') {
      EXPECT_LACKS(xml, "<security><CCX");
    } else {
      EXPECT_HAS(xml, row.part);
    }
  }
}

TEST(WlanProfileText, DiagnosticChannelProfile) {
  StationProfile r = Record("ccx-diag", 1, kAuthOpen, kCipherNone);
  r.useDiagnostic = 1;
  std::string xml = Build(r).profileXml;
  EXPECT_HAS(xml, "<connectionMode>manual</connectionMode>");
  EXPECT_HAS(xml, "<OrvaneProfile/><Diagnostics><AuthorizedProfile>true</AuthorizedProfile><Channel>"
                  "<SSID>Diagnostic Channel</SSID><EnableClientReporting>true"
                  "</EnableClientReporting></Channel></Diagnostics></CCX></connectivity>");
}

TEST(WlanProfileText, SsidBytesBelow0x10KeepTheirLeadingZero) {
  std::string xml = Build(Record(std::string("\x01\x0f\x10", 3), 1, kAuthOpen, kCipherNone)).profileXml;
  EXPECT_HAS(xml, "<hex>010f10</hex>");
}

std::string ParsedName(const std::string& xml) {
  pugi::xml_document doc;
  if (!test::WellFormed(xml, doc)) return "<malformed>";
  return test::ElementText(doc.child("WLANProfile").child("name"));
}

TEST(WlanProfileText, EverySsidByteGivesAValidDocument) {
  std::map<std::string, std::string> documents;
  std::vector<std::string> ssids;
  for (int start = 1; start < 256; start += 32) {
    std::string ssid;
    for (int b = start; b < start + 32 && b < 256; ++b) ssid.push_back(static_cast<char>(b));
    ssids.push_back(ssid);
  }
  ssids.push_back("]]>");
  ssids.push_back("a]]>]]]>b\r\n\t<&>");
  ssids.push_back("\xc3\xa9t\xc3\xa9 \xe2\x82\xac \xf0\x9f\x93\xb6");  // UTF-8 text stays as it is
  for (size_t i = 0; i < ssids.size(); ++i) {
    SCOPED_TRACE(i);
    WlanProfileDocuments d = Build(Record(ssids[i], 1, kAuthOpen, kCipherNone));
    EXPECT_EQ(ParsedName(d.profileXml), d.profileName);
    pugi::xml_document doc;
    ASSERT_TRUE(test::WellFormed(d.profileXml, doc));
    std::string hex = doc.child("WLANProfile").child("SSIDConfig").child("SSID").child_value("hex");
    std::string expectedHex;
    for (unsigned char c : ssids[i]) {
      static const char* digits = "0123456789abcdef";
      expectedHex += digits[c >> 4];
      expectedHex += digits[c & 15];
    }
    EXPECT_EQ(hex, expectedHex);
    documents["ssid" + std::to_string(i)] = d.profileXml;
  }
  EXPECT_EQ(Build(Record("\xc3\xa9t\xc3\xa9", 1, 0, 1)).profileName, "\xc3\xa9t\xc3\xa9");
  OV_SKIP_WITHOUT_PUBLISHED_SCHEMAS();
  test::Validation v = test::ValidateWithSchema(documents);
  ASSERT_TRUE(v.ran);
  for (const auto& [name, ok] : v.valid) EXPECT_TRUE(ok) << name << "\n" << v.output;
}

TEST(WlanProfileText, WapiParametersAndRegistryValues) {
  test::FakeCertificateManager certificates;
  test::RecordingRegistryWriter registry;
  WlanProfileEnvironment env{{}, &certificates, &registry};
  std::string cert = std::string(kWapiAuthKeyPath) + "\\Cert";
  std::string x509 = std::string(kWapiAuthKeyPath) + "\\X509Cert0";

  StationProfile psk = Record("wapi", 1, kAuthWapiPsk, kCipherSms4);
  psk.psk = "wapi pass";
  psk.wapiPskKeyType = 0;
  std::string xml = BuildWlanProfile(psk, env).profileXml;
  EXPECT_HAS(xml, "<security><IhvSecurity xmlns=\"http://www.iwncomm.com/wlan/profile\">"
                  "<IHVUsesFullSecurity>TRUE</IHVUsesFullSecurity><IHVAuthentication>IWNAuthV1"
                  "</IHVAuthentication><IHVEncryption>WPISMS4</IHVEncryption><IHVSecurityParam1>2"
                  "</IHVSecurityParam1><IHVSecurityParam2>1</IHVSecurityParam2><IHVSecurityParam3>"
                  "0a1b2c</IHVSecurityParam3><IHVSecurityParam4>f00f</IHVSecurityParam4>"
                  "</IhvSecurity></security>");
  EXPECT_LACKS(xml, "sharedKey");  // the key goes to the IHV extension only
  ASSERT_EQ(certificates.pskCalls.size(), 1u);
  EXPECT_EQ(certificates.pskCalls[0], (std::pair<int, std::string>{1, "wapi pass"}));
  struct Value {
    std::string key;
    uint32_t type;
    std::string data;
  };
  std::vector<Value> pskValues = {
      {cert + "|cert_already", REG_SZ, std::string("1\0", 2)},
      {cert + "|CertGBWNum", REG_SZ, std::string("0\0", 2)},
      {cert + "|CertX509Num", REG_SZ, std::string("0\0", 2)},
      {cert + "|WAPI", REG_SZ, std::string("\0", 1)},
      {cert + "|CurrentCert", REG_DWORD, std::string("\xff\xff\xff\xff", 4)},
      {cert + "|CurrentCertType", REG_DWORD, std::string("\x03\0\0\0", 4)},
      {cert + "|pskvalue", REG_BINARY, "\x0a\x1b\x2c"},
      {cert + "|pskmac", REG_BINARY, "\xf0\x0f"},
  };
  for (const Value& v : pskValues) {
    SCOPED_TRACE(v.key);
    ASSERT_EQ(registry.values.count(v.key), 1u);
    EXPECT_EQ(registry.values[v.key].type, v.type);
    EXPECT_EQ(registry.values[v.key].data, v.data);
  }
  EXPECT_EQ(registry.values.count(x509 + "|CertState"), 0u);

  psk.wapiPskKeyType = 1;
  EXPECT_HAS(BuildWlanProfile(psk, env).profileXml, "<IHVSecurityParam2>0</IHVSecurityParam2>");
  EXPECT_EQ(certificates.pskCalls.back().first, 0);
  psk.wapiPskKeyType = 7;
  size_t calls = certificates.pskCalls.size();
  std::string other = BuildWlanProfile(psk, env).profileXml;
  EXPECT_LACKS(other, "IHVSecurityParam2");
  EXPECT_HAS(other, "<IHVSecurityParam3></IHVSecurityParam3><IHVSecurityParam4></IHVSecurityParam4>");
  EXPECT_EQ(certificates.pskCalls.size(), calls);

  registry.values.clear();
  StationProfile ca = Record("wapi-ca", 1, kAuthWapiCa, kCipherSms4);
  ca.userCertPath = "/certs/user.cer";
  ca.asCertPath = "/certs/as.cer";
  EXPECT_HAS(BuildWlanProfile(ca, env).profileXml,
             "<IHVSecurityParam1>1</IHVSecurityParam1><IHVSecurityParam2></IHVSecurityParam2>"
             "<IHVSecurityParam3></IHVSecurityParam3><IHVSecurityParam4></IHVSecurityParam4>");
  ASSERT_EQ(certificates.certCalls.size(), 1u);
  EXPECT_EQ(certificates.certCalls[0].first, "/certs/user.cer");
  std::vector<Value> caValues = {
      {cert + "|CertX509Num", REG_SZ, std::string("1\0", 2)},
      {cert + "|UserCertPath", REG_SZ, std::string("/certs/user.cer\0", 16)},
      {cert + "|ASCertPath", REG_SZ, std::string("/certs/as.cer\0", 14)},
      {x509 + "|CertState", REG_SZ, std::string("20\0", 3)},
      {x509 + "|SetPwd", REG_SZ, std::string("0\0", 2)},
      {x509 + "|value", REG_BINARY, "\xce\x27"},
      {x509 + "|mac", REG_BINARY, "\x3a"},
  };
  for (const Value& v : caValues) {
    SCOPED_TRACE(v.key);
    ASSERT_EQ(registry.values.count(v.key), 1u);
    EXPECT_EQ(registry.values[v.key].data, v.data);
  }
  EXPECT_EQ(registry.values.count(cert + "|pskvalue"), 0u);

  // Without the certificate manager the parameters stay empty and the values are still written.
  registry.values.clear();
  psk.wapiPskKeyType = 0;
  WlanProfileEnvironment bare{{}, nullptr, &registry};
  EXPECT_HAS(BuildWlanProfile(psk, bare).profileXml,
             "<IHVSecurityParam3></IHVSecurityParam3><IHVSecurityParam4></IHVSecurityParam4>");
  EXPECT_EQ(registry.values[cert + "|pskvalue"].data, "");
  // An ad hoc WAPI record has no IHV part and writes nothing.
  registry.values.clear();
  psk.networkType = 0;
  EXPECT_LACKS(BuildWlanProfile(psk, env).profileXml, "IHV");
  EXPECT_TRUE(registry.values.empty());
}

// ---- the record without an SSID ----

std::vector<uint8_t> ScanList(const std::vector<BssDescription>& entries) {
  std::vector<uint8_t> buffer(kBssidListBufferSize);
  BssidListWriter writer(buffer);
  for (const BssDescription& bss : entries) EXPECT_TRUE(writer.Append(MakeBssidEntry(bss)));
  return buffer;
}

BssDescription Bss(std::string_view ssid, int32_t rssi) {
  BssDescription b;
  b.ssid = ssid;
  b.rssi = rssi;
  return b;
}

TEST(WlanProfileText, EmptySsidTakesTheStrongestOpenNetwork) {
  static const uint8_t rsn[] = {48, 2, 1, 0};
  static const uint8_t wpa[] = {221, 4, 0x00, 0x50, 0xF2, 0x01};
  static const uint8_t wmm[] = {221, 4, 0x00, 0x50, 0xF2, 0x02};
  BssDescription secured = Bss("privacy", -20);
  secured.privacy = true;
  BssDescription withRsn = Bss("rsn", -21);
  withRsn.informationElements = rsn;
  BssDescription withWpa = Bss("wpa", -22);
  withWpa.informationElements = wpa;
  BssDescription adhoc = Bss("adhoc", -23);
  adhoc.infrastructureMode = Ndis802_11IBSS;
  BssDescription withWmm = Bss("open-wmm", -60);
  withWmm.informationElements = wmm;
  std::vector<uint8_t> list = ScanList({secured, withRsn, withWpa, adhoc, Bss("weak", -80), withWmm,
                                        Bss("equal-later", -60), Bss("floor", -250)});
  WlanProfileEnvironment env;
  env.lastScanList = list;
  StationProfile r = Record("", 1, kAuthWpa2Psk, kCipherAes);
  r.psk = "ignored";
  r.use8021X = 1;
  WlanProfileDocuments d = BuildWlanProfile(r, env);
  EXPECT_EQ(d.profileName, "open-wmm");
  EXPECT_EQ(d.bssType, kBssTypeInfrastructure);
  EXPECT_FALSE(d.securityEnabled);
  EXPECT_HAS(d.profileXml, "<SSIDConfig><SSID><hex>6f70656e2d776d6d</hex><name>open-wmm</name></SSID>"
                           "<nonBroadcast>true</nonBroadcast></SSIDConfig><connectionType>ESS"
                           "</connectionType><connectionMode>manual</connectionMode>");
  EXPECT_HAS(d.profileXml, "<authentication>open</authentication><encryption>none</encryption>"
                           "<useOneX>false</useOneX></authEncryption></security></MSM></WLANProfile>");
  EXPECT_EQ(d.userCredentialsXml, "");

  std::vector<uint8_t> none = ScanList({secured, Bss("too-weak", -250)});
  env.lastScanList = none;
  WlanProfileDocuments empty = BuildWlanProfile(r, env);
  EXPECT_EQ(empty.profileName, "");
  EXPECT_EQ(empty.profileXml, "");
  env.lastScanList = {};
  EXPECT_EQ(BuildWlanProfile(r, env).profileXml, "");
}

// ---- limits ----

TEST(WlanProfileText, DocumentsPastTheirLimitAreNotProducedCut) {
  StationProfile r = Enterprise(kEapPeap, kInnerGtc);
  r.serverName = std::string(255, '&');
  r.tunnelIdentity = std::string(127, '"');
  r.tunnelPassword = std::string(127, '\'');
  r.ssoFlags = kSsoEnabled;
  r.serverCertData.assign(152, 0xAB);
  WlanProfileDocuments big = Build(r);
  EXPECT_TRUE(big.profileTooLong);
  EXPECT_EQ(big.profileXml, "");
  EXPECT_EQ(big.profileName, "corp-net");

  // The same record with a short server name fits, and its values are whole.
  r.serverName = "radius";
  WlanProfileDocuments fits = Build(r);
  EXPECT_FALSE(fits.profileTooLong);
  EXPECT_LE(fits.profileXml.size(), kWlanDocumentMaxChars);
  EXPECT_HAS(fits.profileXml, "<passwordFromProfile encryptContent=\"false\">" +
                                  [] {
                                    std::string s;
                                    for (int i = 0; i < 127; ++i) s += "&apos;";
                                    return s;
                                  }() + "</passwordFromProfile>");

  StationProfile creds = Enterprise(kEapPeap, kInnerMsChapV2);
  creds.identity = std::string(1000, '<');  // longer than any stored identity
  creds.tunnelIdentity = std::string(1000, '<');
  creds.tunnelPassword = std::string(1000, '<');
  WlanProfileDocuments c = Build(creds);
  EXPECT_TRUE(c.userCredentialsTooLong);
  EXPECT_EQ(c.userCredentialsXml, "");
}

TEST(WlanProfileText, EapFastConfigurationPastItsLimitIsLeftOut) {
  StationProfile r = Enterprise(kEapFast);
  EapFastSettings s;
  s.flags = kEapFastValidateServer;
  s.serverName = std::string(255, '&');
  s.pacFilePath = std::string(255, '&');
  s.outerIdentity = std::string(255, '&');
  s.trustedRootHash.assign(152, 0x11);
  r.eapBlob = EncodeEapFastBlob(s);
  WlanProfileDocuments dropped = Build(r);
  EXPECT_FALSE(dropped.profileTooLong);  // the profile itself stays, without its EAP part
  EXPECT_HAS(dropped.profileXml, "<useOneX>true</useOneX>");
  EXPECT_LACKS(dropped.profileXml, "EAPConfig");
  s.outerIdentity = "anon";
  s.pacFilePath = "corp.pac";
  r.eapBlob = EncodeEapFastBlob(s);
  std::string xml = Build(r).profileXml;
  EXPECT_HAS(xml, "<EAPConfig><EapHostConfig xmlns=\"http://www.microsoft.com/provisioning/"
                  "EapHostConfig\"><EapMethod><Type xmlns=\"http://www.microsoft.com/provisioning/"
                  "EapCommon\">43</Type>");
  EXPECT_HAS(xml, "<AuthorId xmlns=\"http://www.microsoft.com/provisioning/EapCommon\">9</AuthorId>");
  // A blob that is not understood leaves the OneX element out as well.
  r.eapBlob = {1, 2, 3};
  EXPECT_LACKS(Build(r).profileXml, "<OneX");
}

}  // namespace
}  // namespace ov
