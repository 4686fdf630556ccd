// Every document the builder produces for a table of security combinations validates against the
// published WLAN profile schemas, parses, and matches its committed golden text.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "nativewifi/eap_fast_blob.h"
#include "nativewifi/wlan_profile_xml.h"
#include "tests/wlanxml/wlanxml_test_support.h"

namespace ov {
namespace {

using test::Enterprise;
using test::Key;
using test::Record;

struct Case {
  std::string name;
  std::function<StationProfile()> make;
};

StationProfile WithSso(uint32_t flags) {
  StationProfile r = Enterprise(kEapPeap, kInnerMsChapV2);
  r.ssoFlags = flags;
  return r;
}

std::vector<Case> Cases() {
  std::vector<Case> cases = {
      {"open", [] { return Record("cafe", 1, kAuthOpen, kCipherNone); }},
      {"open_adhoc", [] {
         StationProfile r = Record("party", 0, kAuthOpen, kCipherNone);
         r.channelFrequency = 2437000;
         return r;
       }},
      {"open_wep_key3_13_bytes", [] {
         StationProfile r = Record("lab", 1, kAuthOpen, kCipherWep);
         r.wepKeys[0] = Key(0, 5, false);
         r.wepKeys[2] = Key(2, 13, true);
         return r;
       }},
      {"adhoc_wep", [] {
         StationProfile r = Record("adhoc-wep", 0, kAuthOpen, kCipherWep);
         r.wepKeys[0] = Key(0, 13, true);
         return r;
       }},
      {"wep_without_transmit_key", [] {
         StationProfile r = Record("lab", 1, kAuthShared, kCipherWep);
         r.wepKeys[1] = Key(1, 5, false);
         return r;
       }},
      {"wpa_psk_tkip", [] {
         StationProfile r = Record("home", 1, kAuthWpaPsk, kCipherTkip);
         r.psk = "twelve chars";
         return r;
       }},
      {"wpa2_psk_aes_passphrase", [] {
         StationProfile r = Record("home", 1, kAuthWpa2Psk, kCipherAes);
         r.psk = "pass phrase <&>\"'";
         return r;
       }},
      {"wpa2_psk_aes_64_digits", [] {
         StationProfile r = Record("home", 1, kAuthWpa2Psk, kCipherAes);
         r.psk = "00112233445566778899aabbccddeeff00112233445566778899aabbccddeeff";
         return r;
       }},
      {"wpa2_psk_adhoc", [] {
         StationProfile r = Record("adhoc-aes", 0, kAuthWpa2Psk, kCipherAes);
         r.psk = "ad hoc pass";
         return r;
       }},
      {"wpa_none_adhoc", [] {
         StationProfile r = Record("IEEE", 0, kAuthWpaNone, kCipherTkip);
         r.adhocKey = KeyBlock{kTransmitKeyBit, std::vector<uint8_t>(32, 0x5C)};
         return r;
       }},
      {"wpa2_peap_mschapv2", [] { return Enterprise(kEapPeap, kInnerMsChapV2); }},
      {"wpa2_peap_mschapv2_no_server_check", [] {
         StationProfile r = Enterprise(kEapPeap, kInnerMsChapV2);
         r.useServerCert = 0;
         r.sessionResumption = 1;
         return r;
       }},
      {"wpa2_peap_tls", [] { return Enterprise(kEapPeap, kInnerTls); }},
      {"wpa2_peap_tls_smart_card", [] {
         StationProfile r = Enterprise(kEapPeap, kInnerTls);
         r.useSmartCard = 1;
         return r;
       }},
      {"wpa2_eap_tls", [] { return Enterprise(kEapTls); }},
      {"wpa2_eap_tls_smart_card_no_server_check", [] {
         StationProfile r = Enterprise(kEapTls);
         r.useSmartCard = 1;
         r.useServerCert = 0;
         return r;
       }},
      {"wpa_leap", [] {
         StationProfile r = Enterprise(kEapLeap);
         r.authMode = kAuthWpa;
         r.cipherMode = kCipherTkip;
         return r;
       }},
      {"wpa2_eap_fast", [] {
         StationProfile r = Enterprise(kEapFast);
         EapFastSettings s;
         s.flags = kEapFastAllowUnauthenticatedProvisioning | kEapFastUsePac | kEapFastValidateServer;
         s.pacFilePath = "/home/user/corp.pac";
         s.serverName = "radius.example.org";
         s.trustedRootHash = std::vector<uint8_t>(20, 0x3C);
         r.eapBlob = EncodeEapFastBlob(s);
         return r;
       }},
      {"wpa2_eap_fast_without_blob", [] { return Enterprise(kEapFast); }},
      {"wpa2_ttls_has_no_eap_configuration", [] { return Enterprise(kEapTtls); }},
      {"open_8021x_md5", [] {
         StationProfile r = Enterprise(kEapMd5);
         r.authMode = kAuthOpen;
         r.cipherMode = kCipherWep;
         return r;
       }},
      {"cckm_tkip", [] {
         StationProfile r = Enterprise(kEapPeap, kInnerMsChapV2);
         r.authMode = kAuthCckm;
         r.cipherMode = kCipherTkip;
         return r;
       }},
      {"cckm_aes", [] {
         StationProfile r = Enterprise(kEapLeap);
         r.authMode = kAuthCckm;
         r.cipherMode = kCipherAes;
         return r;
       }},
      {"cckm_wep", [] {
         StationProfile r = Enterprise(kEapLeap);
         r.authMode = kAuthCckm;
         r.cipherMode = kCipherWep;
         return r;
       }},
      {"ccx_open_network", [] {
         StationProfile r = Enterprise(kEapPeap, kInnerMsChapV2);
         r.authMode = kAuthCcx;
         r.cipherMode = kCipherTkip;
         return r;
       }},
      {"wpa2_aes_mfp", [] {
         StationProfile r = Enterprise(kEapPeap, kInnerMsChapV2);
         r.cipherMode = kCipherAesMfp;
         return r;
       }},
      {"wpa2_tkip_mfp", [] {
         StationProfile r = Enterprise(kEapTls);
         r.cipherMode = kCipherTkipMfp;
         return r;
       }},
      {"wapi_psk_passphrase", [] {
         StationProfile r = Record("wapi-net", 1, kAuthWapiPsk, kCipherSms4);
         r.psk = "wapi passphrase";
         r.wapiPskKeyType = 0;
         return r;
       }},
      {"wapi_psk_hex", [] {
         StationProfile r = Record("wapi-net", 1, kAuthWapiPsk, kCipherSms4);
         r.psk = "0123456789abcdef";
         r.wapiPskKeyType = 1;
         return r;
       }},
      {"wapi_ca", [] {
         StationProfile r = Record("wapi-ca", 1, kAuthWapiCa, kCipherSms4);
         r.userCertPath = "/certs/user.cer";
         r.asCertPath = "/certs/as.cer";
         return r;
       }},
      {"sso_pre_logon_user", [] { return WithSso(kSsoEnabled); }},
      {"sso_post_logon_user", [] { return WithSso(kSsoEnabled | kSsoAfterLogon); }},
      {"sso_pre_logon_machine_or_user", [] { return WithSso(kSsoEnabled | kSsoMachineOrUser); }},
      {"sso_bits_without_enable", [] { return WithSso(kSsoMachineOrUser | kSsoAfterLogon); }},
      {"sso_without_8021x", [] {
         StationProfile r = Record("home", 1, kAuthWpa2Psk, kCipherAes);
         r.psk = "passphrase";
         r.ssoFlags = kSsoEnabled | kSsoAfterLogon;
         return r;
       }},
      {"diagnostic_channel", [] {
         StationProfile r = Record("ccx-diag", 1, kAuthOpen, kCipherNone);
         r.useDiagnostic = 1;
         r.diagnosticSsid = MakeNdisSsid("diag");
         return r;
       }},
      {"ssid_with_low_bytes", [] { return Record(std::string("\x01\x0f\x10 a", 5), 1, kAuthOpen, kCipherNone); }},
  };
  for (int gtc = 0; gtc <= 4; ++gtc) {
    cases.push_back({"wpa2_peap_gtc_password_mode_" + std::to_string(gtc), [gtc] {
                       StationProfile r = Enterprise(kEapPeap, kInnerGtc);
                       r.passwordMode = static_cast<uint32_t>(gtc);
                       r.useServerCert = gtc % 2;
                       return r;
                     }});
  }
  for (int mode = 0; mode <= 3; ++mode) {
    cases.push_back({"wpa_leap_password_mode_" + std::to_string(mode), [mode] {
                       StationProfile r = Enterprise(kEapLeap);
                       r.authMode = kAuthWpa;
                       r.cipherMode = kCipherTkip;
                       r.passwordMode = static_cast<uint32_t>(mode);
                       return r;
                     }});
  }
  for (int key = 0; key < 4; ++key) {
    cases.push_back({"shared_wep_transmit_key_" + std::to_string(key + 1), [key] {
                       StationProfile r = Record("office", 1, kAuthShared, kCipherWep);
                       for (int k = 0; k < 4; ++k) {
                         r.wepKeys[static_cast<size_t>(k)] = Key(static_cast<uint32_t>(k),
                                                                 k % 2 ? 13 : 5, k == key);
                       }
                       return r;
                     }});
  }
  return cases;
}

std::string Golden(const std::string& name) {
  return std::string(OVUI_SOURCE_DIR) + "/tests/wlanxml/golden/" + name + ".xml";
}

class WlanProfileDocumentsTest : public ::testing::Test {
 protected:
  WlanProfileDocuments Build(const StationProfile& r) {
    WlanProfileEnvironment env;
    env.certificateManager = &certificates;
    env.registry = &registry;
    return BuildWlanProfile(r, env);
  }
  test::FakeCertificateManager certificates;
  test::RecordingRegistryWriter registry;
};

TEST_F(WlanProfileDocumentsTest, EveryCombinationValidatesAgainstThePublishedSchemas) {
  OV_SKIP_WITHOUT_PUBLISHED_SCHEMAS();
  std::map<std::string, std::string> profiles;
  for (const Case& c : Cases()) {
    WlanProfileDocuments docs = Build(c.make());
    ASSERT_FALSE(docs.profileXml.empty()) << c.name;
    profiles[c.name] = docs.profileXml;
  }
  test::Validation v = test::ValidateWithSchema(profiles);
  ASSERT_TRUE(v.ran);
  for (const auto& [name, ok] : v.valid) {
    EXPECT_TRUE(ok) << name << " does not validate:\n" << v.output << "\n" << profiles[name];
  }
}

TEST_F(WlanProfileDocumentsTest, EveryDocumentParsesAndMatchesItsGolden) {
  bool update = std::getenv("OVUI_UPDATE_GOLDEN") != nullptr;
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    WlanProfileDocuments docs = Build(c.make());
    pugi::xml_document profile;
    ASSERT_TRUE(test::WellFormed(docs.profileXml, profile));
    EXPECT_EQ(test::ElementText(profile.child("WLANProfile").child("name")), docs.profileName);
    if (!docs.userCredentialsXml.empty()) {
      pugi::xml_document credentials;
      ASSERT_TRUE(test::WellFormed(docs.userCredentialsXml, credentials));
      EXPECT_STREQ(credentials.document_element().name(), "EapHostUserCredentials");
    }
    std::string text = docs.profileXml + "\n" + docs.userCredentialsXml + "\n";
    if (update) {
      test::WriteFileBytes(Golden(c.name), text);
      continue;
    }
    EXPECT_EQ(text, test::ReadFileBytes(Golden(c.name)))
        << "regenerate on purpose with OVUI_UPDATE_GOLDEN=1";
  }
}

}  // namespace
}  // namespace ov
