// The record `ovuictl connect` queues for a scanned network: the secret each kind of security
// takes and refuses, and the fields the survey's direct connection fills.
#include <gtest/gtest.h>

#include "cli/connect_record.h"
#include "driver/ndis_types.h"
#include "driver/oid/bssid_list.h"

namespace ov::cli {
namespace {

std::vector<uint8_t> Entry(const char* ssid, uint32_t infrastructureMode = Ndis802_11Infrastructure,
                           int32_t rssi = -50, uint8_t last = 1) {
  BssDescription bss;
  bss.bssid = {0x02, 0x5A, 0x0F, 0x10, 0x00, last};
  bss.ssid = ssid;
  bss.rssi = rssi;
  bss.dsConfigKHz = 2437000;
  bss.infrastructureMode = infrastructureMode;
  return MakeBssidEntry(bss);
}

NetworkSecurity Security(int securityClass, bool secured, const char* cipher = "AES") {
  NetworkSecurity s;
  s.securityClass = securityClass;
  s.secured = secured;
  s.cipherText = cipher;
  return s;
}

struct SecretCase {
  const char* name;
  NetworkSecurity security;
  ConnectSecrets secrets;
  bool accepted;
  int32_t authMode;
  int32_t cipherMode;
};

void PrintTo(const SecretCase& c, std::ostream* os) { *os << c.name; }

class ConnectRecordTest : public ::testing::TestWithParam<SecretCase> {};

TEST_P(ConnectRecordTest, SecretsOfEachKind) {
  const SecretCase& c = GetParam();
  const std::vector<uint8_t> entry = Entry("Net");
  std::string problem;
  const std::optional<StationProfile> record =
      BuildConnectRecord(entry, c.security, c.secrets, 1, &problem);
  ASSERT_EQ(record.has_value(), c.accepted) << problem;
  if (!record) {
    EXPECT_FALSE(problem.empty());
    return;
  }
  EXPECT_EQ(record->authMode, c.authMode);
  EXPECT_EQ(record->cipherMode, c.cipherMode);
}

const std::string k64Hex(64, 'a');

INSTANTIATE_TEST_SUITE_P(
    Secrets, ConnectRecordTest,
    ::testing::Values(
        SecretCase{"Open", Security(0, false), {}, true, kAuthOpen, kCipherNone},
        SecretCase{"Wep10Hex", Security(0, true), {"0F5A0F5A01", ""}, true, kAuthOpen, kCipherWep},
        SecretCase{"Wep26Hex", Security(0, true), {"0F5A0F5A0F5A0F5A0F5A0F5A0F", ""}, true,
                   kAuthOpen, kCipherWep},
        SecretCase{"Wep5Text", Security(0, true), {"abcde", ""}, true, kAuthOpen, kCipherWep},
        SecretCase{"Wep10NotHexIsRefused", Security(0, true), {"0F5A0F5A0G", ""}, false, 0, 0},
        SecretCase{"Wep11IsRefused", Security(0, true), {"0F5A0F5A01A", ""}, false, 0, 0},
        SecretCase{"Wpa2Passphrase", Security(5, true), {"orvane-sim-2", ""}, true, kAuthWpa2Psk,
                   kCipherAes},
        SecretCase{"WpaTkip", Security(2, true, "TKIP"), {"tkip passphrase", ""}, true,
                   kAuthWpaPsk, kCipherTkip},
        SecretCase{"MixedCipherTakesAes", Security(5, true, "TKIP+AES"), {"mixed mode key", ""},
                   true, kAuthWpa2Psk, kCipherAes},
        SecretCase{"Passphrase64Hex", Security(5, true), {k64Hex, ""}, true, kAuthWpa2Psk, kCipherAes},
        SecretCase{"Passphrase64NotHexIsRefused", Security(5, true),
                   {std::string(63, 'a') + "z", ""}, false, 0, 0},
        SecretCase{"Passphrase63", Security(5, true), {std::string(63, 'x'), ""}, true,
                   kAuthWpa2Psk, kCipherAes},
        SecretCase{"Passphrase7IsRefused", Security(5, true), {"1234567", ""}, false, 0, 0},
        SecretCase{"PassphraseControlCharacterIsRefused", Security(5, true), {"abc\tdefgh", ""},
                   false, 0, 0},
        SecretCase{"Peap", Security(4, true), {"Alice-Pass-1", "alice"}, true, kAuthWpa2, kCipherAes},
        SecretCase{"PeapWithoutIdentityIsRefused", Security(4, true), {"pw", ""}, false, 0, 0},
        SecretCase{"PeapWithoutPasswordIsRefused", Security(1, true), {"", "alice"}, false, 0, 0},
        SecretCase{"WpaNoneIsRefused", Security(3, true), {"whatever1", ""}, false, 0, 0},
        SecretCase{"WapiIsRefused", Security(6, true), {"wapi psk 12345", ""}, false, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConnectRecord, FieldsOfTheSurveysDirectConnection) {
  const std::vector<uint8_t> infra = Entry("Net", Ndis802_11Infrastructure, -40, 7);
  std::optional<StationProfile> record =
      BuildConnectRecord(infra, Security(5, true), {"orvane-sim-2", ""}, 1, nullptr);
  ASSERT_TRUE(record);
  EXPECT_EQ(NdisSsidText(record->ssid), "Net");
  EXPECT_EQ(record->useBssid, 1);
  EXPECT_EQ(record->bssid, (MacAddress{0x02, 0x5A, 0x0F, 0x10, 0x00, 7}));
  EXPECT_EQ(record->networkType, 1u);
  EXPECT_EQ(record->channelFrequency, 2437000u);
  EXPECT_EQ(record->preambleType, 2u);
  EXPECT_EQ(record->rtsThreshold, 2347u);
  EXPECT_EQ(record->powerSave, 1u);
  EXPECT_EQ(record->connectRequested, 1u);
  EXPECT_EQ(record->psk, "orvane-sim-2");

  const std::vector<uint8_t> adhoc = Entry("Peer", Ndis802_11IBSS);
  record = BuildConnectRecord(adhoc, Security(0, true), {"0F5A0F5A01", ""}, 0, nullptr);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->networkType, 0u);
  EXPECT_EQ(record->useBssid, 0) << "an ad hoc network is joined by SSID";
  ASSERT_TRUE(record->wepKeys[0]);
  EXPECT_EQ(record->wepKeys[0]->material, (std::vector<uint8_t>{0x0F, 0x5A, 0x0F, 0x5A, 0x01}));
  EXPECT_TRUE(record->wepKeys[0]->isTransmitKey());
}

TEST(ConnectRecord, TheStrongestEntryWithExactlyTheSsid) {
  std::vector<uint8_t> list(kBssidListBufferSize);
  BssidListWriter writer(list);
  ASSERT_TRUE(writer.Append(Entry("Net", Ndis802_11Infrastructure, -70, 1)));
  ASSERT_TRUE(writer.Append(Entry("Net", Ndis802_11Infrastructure, -45, 2)));
  ASSERT_TRUE(writer.Append(Entry("Network", Ndis802_11Infrastructure, -20, 3)));
  ASSERT_TRUE(writer.Append(Entry("net", Ndis802_11Infrastructure, -10, 4)));
  const auto found = FindNetwork(list, "Net");
  ASSERT_TRUE(found);
  NDIS_WLAN_BSSID_EX fixed;
  ASSERT_TRUE(DecodeNdisWlanBssidEx(*found, fixed));
  EXPECT_EQ(fixed.MacAddress[5], 2);
  EXPECT_FALSE(FindNetwork(list, "Ne"));
}

}  // namespace
}  // namespace ov::cli
