#include <gtest/gtest.h>

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
      {"WEP", Profile("open", "WEP", "0102030405", "networkKey"), WLAN_REASON_CODE_UNSUPPORTED_SECURITY_SET},
      {"802.1X", Profile("WPA2", "AES"), WLAN_REASON_CODE_UNSUPPORTED_SECURITY_SET},
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

}  // namespace
}  // namespace ov::wlan::nm
