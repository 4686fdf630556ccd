// The record `ovuictl connect` queues for a scanned network: the secret each kind of security
// takes and refuses, the 802.1X methods, hidden networks, and the fields the survey's direct
// connection fills (the survey's own builder).
#include <gtest/gtest.h>

#include "cli/connect_record.h"
#include "driver/ndis_types.h"
#include "driver/oid/bssid_list.h"
#include "nativewifi/eap_fast_blob.h"

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

survey::ChosenNetwork Security(int securityClass, bool secured, const char* cipher = "AES",
                               uint32_t infrastructureMode = Ndis802_11Infrastructure) {
  survey::ChosenNetwork n;
  n.ssid = "Net";
  n.securityClass = securityClass;
  n.secured = secured;
  n.cipherText = cipher;
  n.infrastructureMode = infrastructureMode;
  n.bssid = {0x02, 0x5A, 0x0F, 0x10, 0x00, 1};
  n.frequencyKHz = 2437000;
  return n;
}

survey::ChosenNetwork Network(const std::vector<uint8_t>& entry) {
  auto network = survey::DescribeNetwork(entry);
  EXPECT_TRUE(network);
  return network.value_or(survey::ChosenNetwork{});
}

// The entry's network with the security a scan would have decoded from its elements.
survey::ChosenNetwork Secured(survey::ChosenNetwork n, int securityClass) {
  n.securityClass = securityClass;
  n.secured = true;
  n.cipherText = "AES";
  return n;
}

const std::vector<uint8_t> kCertHash(20, 0x0F);

struct SecretCase {
  const char* name;
  survey::ChosenNetwork security;
  ConnectSecrets secrets;
  bool accepted;
  int32_t authMode;
  int32_t cipherMode;
};

void PrintTo(const SecretCase& c, std::ostream* os) { *os << c.name; }

class ConnectRecordTest : public ::testing::TestWithParam<SecretCase> {};

TEST_P(ConnectRecordTest, SecretsOfEachKind) {
  const SecretCase& c = GetParam();
  std::string problem;
  const std::optional<StationProfile> record =
      BuildConnectRecord(c.security, std::nullopt, c.secrets, 1, &problem);
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
        SecretCase{"PeapWithTooLongIdentityIsRefused", Security(4, true),
                   {"pw", std::string(128, 'a')}, false, 0, 0},
        SecretCase{"Leap", Security(4, true), {"Carol-Pass-1", "carol", EapChoice::Leap}, true,
                   kAuthWpa2, kCipherAes},
        SecretCase{"LeapWithoutPasswordIsRefused", Security(1, true, "TKIP"),
                   {"", "carol", EapChoice::Leap}, false, 0, 0},
        SecretCase{"TlsWithCertificate", Security(1, true, "TKIP"),
                   {"", "bob", EapChoice::Tls, kCertHash}, true, kAuthWpa, kCipherTkip},
        SecretCase{"TlsWithoutCertificateIsRefused", Security(4, true), {"", "bob", EapChoice::Tls},
                   false, 0, 0},
        SecretCase{"TlsWithoutIdentityIsRefused", Security(4, true),
                   {"", "", EapChoice::Tls, kCertHash}, false, 0, 0},
        SecretCase{"PeapGtc", Security(1, true, "TKIP"), {"Erin-Token-1", "erin", EapChoice::PeapGtc},
                   true, kAuthWpa, kCipherTkip},
        SecretCase{"PeapGtcWithoutPasswordIsRefused", Security(4, true),
                   {"", "erin", EapChoice::PeapGtc}, false, 0, 0},
        SecretCase{"PeapTlsWithCertificate", Security(4, true),
                   {"", "bob", EapChoice::PeapTls, kCertHash}, true, kAuthWpa2, kCipherAes},
        SecretCase{"PeapTlsWithoutCertificateIsRefused", Security(4, true),
                   {"", "bob", EapChoice::PeapTls}, false, 0, 0},
        SecretCase{"PeapTlsWithoutIdentityIsRefused", Security(4, true),
                   {"", "", EapChoice::PeapTls, kCertHash}, false, 0, 0},
        // EAP-FAST's server knows the outer identity only: no user name needed.
        SecretCase{"FastWithoutIdentity", Security(4, true), {"", "", EapChoice::Fast}, true,
                   kAuthWpa2, kCipherAes},
        SecretCase{"FastWithTooLongOuterIdentityIsRefused", Security(4, true),
                   {"", "", EapChoice::Fast, {}, std::string(256, 'a')}, false, 0, 0},
        SecretCase{"FastOuterIdentityOf255", Security(1, true, "TKIP"),
                   {"", "", EapChoice::Fast, {}, std::string(255, 'a')}, true, kAuthWpa, kCipherTkip},
        SecretCase{"WpaNoneAdhoc", Security(3, true, "TKIP", Ndis802_11IBSS), {"adhoc passphrase", ""},
                   true, kAuthWpaNone, kCipherTkip},
        SecretCase{"WpaNoneAdhocAes", Security(3, true, "AES", Ndis802_11IBSS), {"adhoc passphrase", ""},
                   true, kAuthWpaNone, kCipherAes},
        SecretCase{"WpaPskInAnAdhocCellIsWpaNone", Security(2, true, "TKIP", Ndis802_11IBSS),
                   {"adhoc passphrase", ""}, true, kAuthWpaNone, kCipherTkip},
        SecretCase{"Wpa2PskInAnAdhocCellStaysWpa2Psk", Security(5, true, "AES", Ndis802_11IBSS),
                   {"adhoc passphrase", ""}, true, kAuthWpa2Psk, kCipherAes},
        SecretCase{"WpaNoneShortPassphraseIsRefused", Security(3, true, "TKIP", Ndis802_11IBSS),
                   {"short", ""}, false, 0, 0},
        SecretCase{"WpaNoneOnAnAccessPointIsRefused", Security(3, true), {"whatever1", ""}, false, 0, 0},
        SecretCase{"WapiIsRefused", Security(6, true), {"wapi psk 12345", ""}, false, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConnectRecord, FieldsOfTheSurveysDirectConnection) {
  const std::vector<uint8_t> infra = Entry("Net", Ndis802_11Infrastructure, -40, 7);
  std::optional<StationProfile> record =
      BuildConnectRecord(Secured(Network(infra), 5), std::nullopt, {"orvane-sim-2", ""}, 1, nullptr);
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
  record = BuildConnectRecord(Secured(Network(adhoc), 0), std::nullopt, {"0F5A0F5A01", ""}, 0, nullptr);
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

TEST(ConnectRecord, EachEapMethodFillsItsOwnFields) {
  std::optional<StationProfile> peap =
      BuildConnectRecord(Security(4, true), std::nullopt, {"Alice-Pass-1", "alice"}, 0, nullptr);
  ASSERT_TRUE(peap);
  EXPECT_EQ(peap->use8021X, 1u);
  EXPECT_EQ(peap->authenProtocol, kEapPeap);
  EXPECT_EQ(peap->tunnelProtocol, kInnerMsChapV2);
  EXPECT_EQ(peap->tunnelIdentity, "alice");
  EXPECT_EQ(peap->tunnelPassword, "Alice-Pass-1");
  EXPECT_TRUE(peap->password.empty());

  std::optional<StationProfile> leap = BuildConnectRecord(
      Security(4, true), std::nullopt, {"Carol-Pass-1", "carol", EapChoice::Leap}, 0, nullptr);
  ASSERT_TRUE(leap);
  EXPECT_EQ(leap->authenProtocol, kEapLeap);
  EXPECT_EQ(leap->identity, "carol");
  EXPECT_EQ(leap->password, "Carol-Pass-1");
  EXPECT_EQ(leap->passwordMode, 1u) << "the password travels in the profile";
  EXPECT_TRUE(leap->tunnelPassword.empty());

  std::optional<StationProfile> tls = BuildConnectRecord(
      Security(4, true), std::nullopt, {"ignored", "bob", EapChoice::Tls, kCertHash}, 0, nullptr);
  ASSERT_TRUE(tls);
  EXPECT_EQ(tls->authenProtocol, kEapTls);
  EXPECT_EQ(tls->tunnelIdentity, "bob");
  EXPECT_EQ(tls->useClientCert, 1u);
  EXPECT_EQ(tls->clientCertData, kCertHash);
  EXPECT_TRUE(tls->password.empty() && tls->tunnelPassword.empty()) << "no password for EAP-TLS";

  // The static-password form of PEAP with GTC: both inner values travel in the profile.
  std::optional<StationProfile> gtc = BuildConnectRecord(
      Security(4, true), std::nullopt, {"Erin-Token-1", "erin", EapChoice::PeapGtc}, 0, nullptr);
  ASSERT_TRUE(gtc);
  EXPECT_EQ(gtc->authenProtocol, kEapPeap);
  EXPECT_EQ(gtc->tunnelProtocol, kInnerGtc);
  EXPECT_EQ(gtc->passwordMode, 1u);
  EXPECT_EQ(gtc->tunnelIdentity, "erin");
  EXPECT_EQ(gtc->tunnelPassword, "Erin-Token-1");

  std::optional<StationProfile> peapTls = BuildConnectRecord(
      Security(4, true), std::nullopt, {"", "bob", EapChoice::PeapTls, kCertHash}, 0, nullptr);
  ASSERT_TRUE(peapTls);
  EXPECT_EQ(peapTls->authenProtocol, kEapPeap);
  EXPECT_EQ(peapTls->tunnelProtocol, kInnerTls);
  EXPECT_EQ(peapTls->tunnelIdentity, "bob");
  EXPECT_EQ(peapTls->useClientCert, 1u);
  EXPECT_EQ(peapTls->clientCertData, kCertHash);
  EXPECT_TRUE(peapTls->tunnelPassword.empty());
}

// EAP-FAST carries the blob the EAP host's dialog gives when only its outer identity is typed.
TEST(ConnectRecord, FastCarriesTheDialogsDefaultSettings) {
  const struct {
    const char* name;
    std::string outerIdentity;
  } rows[] = {{"default outer identity", ""}, {"typed outer identity", "guest@orvane.example"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ConnectSecrets secrets;
    secrets.eap = EapChoice::Fast;
    secrets.outerIdentity = row.outerIdentity;
    std::optional<StationProfile> fast =
        BuildConnectRecord(Security(4, true), std::nullopt, secrets, 0, nullptr);
    ASSERT_TRUE(fast);
    EXPECT_EQ(fast->use8021X, 1);
    EXPECT_EQ(fast->authenProtocol, kEapFast);
    const std::optional<EapFastSettings> settings = DecodeEapFastBlob(fast->eapBlob);
    ASSERT_TRUE(settings) << "the blob is one the dialog could have given";
    EapFastSettings expected;
    expected.outerIdentity = row.outerIdentity;
    EXPECT_EQ(*settings, expected);
    EXPECT_TRUE(settings->flags & kEapFastAllowUnauthenticatedProvisioning);
    EXPECT_TRUE(fast->password.empty() && fast->tunnelPassword.empty());
  }
}

TEST(ConnectRecord, TlsNeedsNoSecretOtherMethodsDo) {
  EXPECT_EQ(SecretNeeded(Security(4, true), EapChoice::Tls), SecretKind::None);
  EXPECT_EQ(SecretNeeded(Security(1, true), EapChoice::Leap), SecretKind::Password);
  EXPECT_EQ(SecretNeeded(Security(3, true, "TKIP", Ndis802_11IBSS), EapChoice::Peap),
            SecretKind::Passphrase);
  EXPECT_EQ(SecretNeeded(Security(0, true), EapChoice::Tls), SecretKind::WepKey);
  EXPECT_EQ(ParseEapChoice("leap"), EapChoice::Leap);
  EXPECT_EQ(ParseEapChoice("ttls"), std::nullopt);
  EXPECT_EQ(ParseEapChoice("PEAP"), std::nullopt);
  EXPECT_EQ(SecretNeeded(Security(4, true), EapChoice::PeapTls), SecretKind::None);
  EXPECT_EQ(SecretNeeded(Security(4, true), EapChoice::Fast), SecretKind::None);
  EXPECT_EQ(SecretNeeded(Security(1, true), EapChoice::PeapGtc), SecretKind::Password);
}

TEST(ConnectRecord, MethodNamesOfferedAndRefused) {
  const struct {
    const char* text;
    std::optional<EapChoice> choice;
    bool refusedWithReason;
  } rows[] = {
      {"peap", EapChoice::Peap, false},        {"peap-gtc", EapChoice::PeapGtc, false},
      {"peap-tls", EapChoice::PeapTls, false}, {"tls", EapChoice::Tls, false},
      {"leap", EapChoice::Leap, false},        {"fast", EapChoice::Fast, false},
      {"ttls", std::nullopt, true},            {"md5", std::nullopt, true},
      {"FAST", std::nullopt, false},           {"peap-mschapv2", std::nullopt, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(ParseEapChoice(row.text), row.choice);
    EXPECT_EQ(RefusedEapMethod(row.text).has_value(), row.refusedWithReason);
  }
}

TEST(ConnectRecord, AHiddenNetworkIsJoinedByTheGivenNameWithoutItsBssid) {
  const std::vector<uint8_t> hidden = Entry("", Ndis802_11Infrastructure, -40, 9);
  const std::optional<StationProfile> record = BuildConnectRecord(
      Network(hidden), std::string("Orvane-Hidden"), {"open sesame", ""}, 0, nullptr);
  ASSERT_TRUE(record);
  EXPECT_EQ(NdisSsidText(record->ssid), "Orvane-Hidden");
  EXPECT_EQ(record->useBssid, 0);
  EXPECT_EQ(record->networkType, 1u);
  EXPECT_EQ(record->connectRequested, 1u);
}

TEST(ConnectRecord, TheStrongestHiddenEntryOrTheOneAsked) {
  std::vector<uint8_t> list(kBssidListBufferSize);
  BssidListWriter writer(list);
  ASSERT_TRUE(writer.Append(Entry("", Ndis802_11Infrastructure, -70, 1)));
  ASSERT_TRUE(writer.Append(Entry("", Ndis802_11Infrastructure, -50, 2)));
  ASSERT_TRUE(writer.Append(Entry("", Ndis802_11IBSS, -10, 3)));
  ASSERT_TRUE(writer.Append(Entry("Shown", Ndis802_11Infrastructure, -5, 4)));
  auto last = [](std::optional<std::span<const uint8_t>> entry) {
    NDIS_WLAN_BSSID_EX fixed;
    return entry && DecodeNdisWlanBssidEx(*entry, fixed) ? fixed.MacAddress[5] : 0;
  };
  EXPECT_EQ(last(FindHiddenNetwork(list, std::nullopt)), 2) << "ad hoc cells and shown names do not count";
  EXPECT_EQ(last(FindHiddenNetwork(list, MacAddress{0x02, 0x5A, 0x0F, 0x10, 0x00, 1})), 1);
  EXPECT_FALSE(FindHiddenNetwork(list, MacAddress{0x02, 0x5A, 0x0F, 0x10, 0x00, 4}));
}

}  // namespace
}  // namespace ov::cli
