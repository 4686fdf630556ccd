// The utility's profile documents (BuildWlanProfile) against the simulated service on the
// default scenario: what the builder writes for each kind of network is stored, and connects
// exactly when the record's secrets are the network's.
#include <gtest/gtest.h>

#include "nativewifi/eap_fast_blob.h"
#include "nativewifi/wlan_profile_xml.h"
#include "sim/scenario.h"
#include "sim/wlan_service_core.h"

namespace ov::sim {
namespace {

using namespace ov::wlan;
using namespace ov::wlan::protocol;

class ManualClock final : public SimClock {
 public:
  int64_t nowMs() const override { return ms; }
  int64_t ms = 5000000;
};

StationProfile Record(const std::string& ssid, int32_t authMode, int32_t cipherMode) {
  StationProfile r;
  r.ssid.SsidLength = static_cast<uint32_t>(ssid.size());
  std::copy(ssid.begin(), ssid.end(), r.ssid.Ssid.begin());
  r.networkType = 1;
  r.authMode = authMode;
  r.cipherMode = cipherMode;
  return r;
}
StationProfile Psk(const std::string& ssid, int32_t authMode, int32_t cipherMode, const std::string& key) {
  StationProfile r = Record(ssid, authMode, cipherMode);
  r.psk = key;
  return r;
}
StationProfile Wep(const std::string& ssid, int32_t authMode, size_t index, std::vector<uint8_t> key,
                   uint32_t networkType = 1) {
  StationProfile r = Record(ssid, authMode, kCipherWep);
  r.networkType = networkType;
  r.wepKeys[index] = KeyBlock{static_cast<uint32_t>(index) | kTransmitKeyBit, std::move(key)};
  return r;
}
StationProfile Peap(const std::string& user, const std::string& password) {
  StationProfile r = Record("Orvane-Corp", kAuthWpa2, kCipherAes);
  r.use8021X = 1;
  r.authenProtocol = kEapPeap;
  r.tunnelProtocol = kInnerMsChapV2;
  r.identity = "anonymous";
  r.tunnelIdentity = user;
  r.tunnelPassword = password;
  return r;
}
StationProfile Tls(std::vector<uint8_t> certificateHash) {
  StationProfile r = Record("Orvane-Corp", kAuthWpa2, kCipherAes);
  r.use8021X = 1;
  r.authenProtocol = kEapTls;
  r.tunnelIdentity = "bob@orvane.example";
  r.clientCertData = std::move(certificateHash);
  return r;
}
StationProfile PeapGtc(uint32_t passwordMode, const std::string& user, const std::string& password) {
  StationProfile r = Peap(user, password);
  r.tunnelProtocol = kInnerGtc;
  r.passwordMode = passwordMode;
  return r;
}
StationProfile PeapTls(std::vector<uint8_t> certificateHash) {
  StationProfile r = Tls(std::move(certificateHash));
  r.authenProtocol = kEapPeap;
  r.tunnelProtocol = kInnerTls;
  r.identity = "anonymous";
  return r;
}
StationProfile Fast(const EapFastSettings& settings) {
  StationProfile r = Record("Orvane-Corp", kAuthWpa2, kCipherAes);
  r.use8021X = 1;
  r.authenProtocol = kEapFast;
  r.tunnelProtocol = kInnerMsChapV2;
  r.eapBlob = EncodeEapFastBlob(settings);
  return r;
}
StationProfile Unwritten(uint32_t method) {
  StationProfile r = Peap("alice", "Alice-Pass-1");
  r.authenProtocol = method;
  return r;
}
StationProfile Leap(const std::string& password) {
  StationProfile r = Record("Orvane-CCKM", kAuthCckm, kCipherTkip);
  r.use8021X = 1;
  r.authenProtocol = kEapLeap;
  r.passwordMode = 1;
  r.identity = "carol";
  r.password = password;
  return r;
}

class BuilderInteropTest : public ::testing::Test {
 protected:
  BuilderInteropTest() {
    std::string error;
    EXPECT_TRUE(LoadScenarioFile(std::string(OVUI_SOURCE_DIR) + "/data/scenarios/default.json", &scenario_, &error))
        << error;
    adapter_ = std::make_unique<SimulatedAdapter>(scenario_.adapters.at(0), clock_);
    core_.addInterface(adapter_.get());
    for (const AccessPointSpec& ap : scenario_.accessPoints) EXPECT_TRUE(core_.addAccessPoint(ap, &error));
    handle_ = core_.openHandle(1, {2}).handle;
    core_.registerNotification(1, {handle_, WLAN_NOTIFICATION_SOURCE_ACM, false});
    guid_ = *ParseGuid(scenario_.adapters[0].guid);
  }

  // Builds, stores and connects as the client's SetProfileAndConnect does; the reason of the
  // connection-complete notification.
  uint32_t activate(const StationProfile& record) {
    WlanProfileDocuments documents = BuildWlanProfile(record, WlanProfileEnvironment{});
    SetProfileResponse stored = core_.setProfile(1, {handle_, guid_, 0, documents.profileXml, true});
    EXPECT_EQ(stored.status, ERROR_SUCCESS) << ReasonCodeText(stored.reasonCode) << "\n" << documents.profileXml;
    if (!documents.userCredentialsXml.empty()) {
      EXPECT_EQ(core_.setProfileEapXmlUserData(1, {handle_, guid_, documents.profileName, 0,
                                                   documents.userCredentialsXml})
                    .status,
                ERROR_SUCCESS)
          << documents.userCredentialsXml;
    }
    ConnectionParameters parameters;
    parameters.profile = documents.profileName;
    parameters.bssType = static_cast<BssType>(documents.bssType);
    EXPECT_EQ(core_.connect(1, {handle_, guid_, parameters}).status, ERROR_SUCCESS);
    clock_.ms += 10000;
    core_.advance();
    uint32_t reason = 0xFFFFFFFF;
    for (const OutgoingNotification& n : core_.takeNotifications()) {
      if (n.notification.code == wlan_notification_acm_connection_complete) {
        reason = n.notification.connection->reasonCode;
      }
    }
    return reason;
  }

  ManualClock clock_;
  Scenario scenario_;
  std::unique_ptr<SimulatedAdapter> adapter_;
  WlanServiceCore core_{clock_};
  ClientHandle handle_ = 0;
  Guid guid_{};
};

TEST_F(BuilderInteropTest, BuiltProfilesConnectExactlyWithTheNetworksSecrets) {
  // SHA-1 of data/scenarios/eap/client.pem's DER form.
  const std::vector<uint8_t> bobsCertificate = {0xd4, 0xbd, 0x3a, 0xb7, 0xaf, 0x5b, 0x9b, 0xfd, 0xac, 0xbc,
                                                0x3b, 0xb0, 0x4c, 0xe3, 0x80, 0x6c, 0x8a, 0x3f, 0x81, 0x06};
  EapFastSettings noProvisioning;
  noProvisioning.flags = kEapFastUsePac;
  EapFastSettings pacOnly = noProvisioning;
  pacOnly.pacFilePath = "/home/user/office.pac";
  EapFastSettings guest;
  guest.outerIdentity = "guest";
  StationProfile noBlob = Fast(EapFastSettings{});
  noBlob.eapBlob.clear();
  struct Case {
    const char* name;
    StationProfile record;
    uint32_t reason;
  };
  const Case cases[] = {
      {"open", Record("Orvane-Open", kAuthOpen, kCipherNone), WLAN_REASON_CODE_SUCCESS},
      {"WEP open system", Wep("Orvane-WEP-Open", kAuthOpen, 0, {0x0F, 0x5A, 0x0F, 0x5A, 0x0F, 0x5A, 0x0F, 0x5A, 0x0F, 0x5A, 0x0F, 0x5A, 0x0F}),
       WLAN_REASON_CODE_SUCCESS},
      {"WEP shared key at index 1", Wep("Orvane-WEP-Shared", kAuthShared, 1, {0x0F, 0x5A, 0x51, 0xD0, 0x01}),
       WLAN_REASON_CODE_SUCCESS},
      {"WEP shared key at index 0", Wep("Orvane-WEP-Shared", kAuthShared, 0, {0x0F, 0x5A, 0x51, 0xD0, 0x01}),
       WLAN_REASON_CODE_KEY_MISMATCH},
      {"WPA-PSK TKIP", Psk("Orvane-WPA-TKIP", kAuthWpaPsk, kCipherTkip, "tkip passphrase 1"), WLAN_REASON_CODE_SUCCESS},
      {"WPA2-PSK AES", Psk("Orvane-WPA2-AES", kAuthWpa2Psk, kCipherAes, "orvane-sim-2"), WLAN_REASON_CODE_SUCCESS},
      {"WPA2-PSK wrong passphrase", Psk("Orvane-WPA2-AES", kAuthWpa2Psk, kCipherAes, "orvane-sim-3"),
       WLAN_REASON_CODE_MSMSEC_PSK_MISMATCH_SUSPECTED},
      {"mixed network by WPA2", Psk("Orvane-Mixed", kAuthWpa2Psk, kCipherAes, "mixed mode key"), WLAN_REASON_CODE_SUCCESS},
      {"mixed network by WPA", Psk("Orvane-Mixed", kAuthWpaPsk, kCipherTkip, "mixed mode key"), WLAN_REASON_CODE_SUCCESS},
      {"hidden network", Psk("Orvane-Hidden", kAuthWpa2Psk, kCipherAes, "hidden network"), WLAN_REASON_CODE_SUCCESS},
      {"5 GHz HT40", Psk("Orvane-5G-HT40", kAuthWpa2Psk, kCipherAes, "five gigahertz"), WLAN_REASON_CODE_SUCCESS},
      {"WPS push-button network by its key", Psk("Orvane-WPS-PBC", kAuthWpa2Psk, kCipherAes, "wps push button"),
       WLAN_REASON_CODE_SUCCESS},
      {"PEAP MS-CHAP v2", Peap("alice", "Alice-Pass-1"), WLAN_REASON_CODE_SUCCESS},
      {"PEAP wrong password", Peap("alice", "Alice-Pass-2"), ONEX_REASON_CODE_EAP_FAILURE_RECEIVED},
      {"EAP-TLS", Tls(bobsCertificate), WLAN_REASON_CODE_SUCCESS},
      {"EAP-TLS other certificate", Tls(std::vector<uint8_t>(20, 0x11)), ONEX_REASON_CODE_EAP_FAILURE_RECEIVED},
      {"PEAP GTC static password", PeapGtc(1, "erin", "Erin-Token-1"), WLAN_REASON_CODE_SUCCESS},
      {"PEAP GTC wrong password", PeapGtc(1, "erin", "Erin-Token-2"), ONEX_REASON_CODE_EAP_FAILURE_RECEIVED},
      {"PEAP GTC password from a token", PeapGtc(0, "erin", "Erin-Token-1"), ONEX_REASON_CODE_IDENTITY_NOT_FOUND},
      {"PEAP GTC password asked of the user", PeapGtc(3, "erin", "Erin-Token-1"),
       ONEX_REASON_CODE_IDENTITY_NOT_FOUND},
      {"PEAP MS-CHAP v2 with the GTC account", Peap("erin", "Erin-Token-1"), ONEX_REASON_CODE_EAP_FAILURE_RECEIVED},
      {"PEAP TLS", PeapTls(bobsCertificate), WLAN_REASON_CODE_SUCCESS},
      {"PEAP TLS other certificate", PeapTls(std::vector<uint8_t>(20, 0x11)), ONEX_REASON_CODE_EAP_FAILURE_RECEIVED},
      {"EAP-FAST with the dialog's defaults", Fast(EapFastSettings{}), WLAN_REASON_CODE_SUCCESS},
      {"EAP-FAST with a PAC file, no provisioning", Fast(pacOnly), WLAN_REASON_CODE_SUCCESS},
      {"EAP-FAST without provisioning or PAC", Fast(noProvisioning), ONEX_REASON_CODE_EAP_FAILURE_RECEIVED},
      {"EAP-FAST unknown outer identity", Fast(guest), ONEX_REASON_CODE_EAP_FAILURE_RECEIVED},
      {"EAP-FAST without its settings", noBlob, ONEX_REASON_CODE_PROFILE_DISALLOWED_EAP_TYPE},
      {"TTLS (no EAP configuration written)", Unwritten(kEapTtls), ONEX_REASON_CODE_PROFILE_DISALLOWED_EAP_TYPE},
      {"MD5-Challenge (no EAP configuration written)", Unwritten(kEapMd5),
       ONEX_REASON_CODE_PROFILE_DISALLOWED_EAP_TYPE},
      {"CCKM with LEAP", Leap("Carol-Pass-1"), WLAN_REASON_CODE_SUCCESS},
      {"CCKM with a wrong LEAP password", Leap("Carol-Pass-9"), ONEX_REASON_CODE_EAP_FAILURE_RECEIVED},
      {"ad hoc WEP", Wep("Orvane-AdHoc", kAuthOpen, 0, {0x0F, 0x5A, 0x0F, 0x5A, 0x01}, 0), WLAN_REASON_CODE_SUCCESS},
      {"WPA2-PSK on an open network", Psk("Orvane-Open", kAuthWpa2Psk, kCipherAes, "orvane-sim-2"),
       WLAN_REASON_CODE_NETWORK_NOT_COMPATIBLE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    uint32_t reason = activate(c.record);
    EXPECT_EQ(reason, c.reason) << "expected " << ReasonCodeText(c.reason) << ", came " << ReasonCodeText(reason);
  }
}

}  // namespace
}  // namespace ov::sim
