// End to end: the wireless service's socket client against the real ovsimd on the default
// scenario, in a sandbox root. Waits are bounded by real time because a real process answers;
// what the tests assert never depends on how long anything took.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

#include "driver/oid/oid_constants.h"
#include "driver/oid/oid_requests.h"
#include "nativewifi/loaded_certificate_manager.h"
#include "nativewifi/wlan_profile_xml.h"
#include "nativewifi/wlansvc/wlan_service_client.h"
#include "nativewifi/wlansvc/wlan_protocol.h"
#include "platform/deviceio/device_io.h"
#include "platform/deviceio/socket_io.h"
#include "platform/registry/hive_store.h"
#include "platform/system/machine_root.h"
#include "shell/registry_broker.h"
#include "siblings/certmgr_client.h"
#include "sim/element_constants.h"
#include "sim/pcap_beacon.h"
#include "sim/scenario.h"
#include "sim/sim_control_client.h"
#include "sim/wlan_service_core.h"
#include "tests/support/simulator_process.h"
#include "tests/support/temp_dir.h"

namespace ov::wlan {
namespace {

namespace fs = std::filesystem;

constexpr auto kWait = std::chrono::seconds(15);
const fs::path kDefaultScenario = fs::path(OVUI_SOURCE_DIR) / "data/scenarios/default.json";
constexpr char kDescription[] = "Orvane WXP4 Wireless LAN PCI Adapter";
constexpr char kDevicePath[] = "\\\\.\\{0F5A51D0-0000-4000-8000-025A0F000601}";

// Notifications as the callback receives them, for the test thread to wait on.
class Inbox {
 public:
  void push(const Notification& n) {
    std::lock_guard lock(mutex_);
    all_.push_back(n);
    changed_.notify_all();
  }
  // Waits for the next notification from `source` with `code` after the ones taken already;
  // the ones skipped on the way are kept in order for sequence checks.
  std::optional<Notification> next(uint32_t source, uint32_t code) {
    std::unique_lock lock(mutex_);
    std::optional<Notification> found;
    changed_.wait_for(lock, kWait, [&] {
      for (; taken_ < all_.size(); ++taken_) {
        if (all_[taken_].source == source && all_[taken_].code == code) {
          found = all_[taken_++];
          return true;
        }
      }
      return false;
    });
    return found;
  }
  // The ACM codes seen so far, in order.
  std::vector<uint32_t> acmCodes() {
    std::lock_guard lock(mutex_);
    std::vector<uint32_t> codes;
    for (const Notification& n : all_) {
      if (n.source == WLAN_NOTIFICATION_SOURCE_ACM) codes.push_back(n.code);
    }
    return codes;
  }
  void clear() {
    std::lock_guard lock(mutex_);
    all_.clear();
    taken_ = 0;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Notification> all_;
  size_t taken_ = 0;
};

// The OID channel's query over the adapter's device socket.
class SocketRequester : public OidRequester {
 public:
  bool QueryOid(uint32_t oid, uint8_t* buffer, uint32_t size, uint32_t* bytesReturned) override {
    auto device = io_.open(kDevicePath);
    return device && device->control(IOCTL_NDIS_QUERY_GLOBAL_STATS, oid, buffer, size, bytesReturned);
  }
  bool SetOid(uint32_t oid, uint8_t* buffer, uint32_t size, uint32_t* bytesReturned, int) override {
    return QueryOid(oid | OidSetMask, buffer, size, bytesReturned);
  }

 private:
  SocketDeviceIo io_;
};

// A WPA2-PSK profile written the way the host exports one.
std::string Wpa2PskProfile(const std::string& ssid, const std::string& passphrase) {
  std::string hex;
  for (unsigned char c : ssid) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    hex += kHex[c >> 4];
    hex += kHex[c & 0xF];
  }
  return R"(<?xml version="1.0"?>
<WLANProfile xmlns="http://www.microsoft.com/networking/WLAN/profile/v1">
  <name>)" + ssid + R"(</name>
  <SSIDConfig>
    <SSID>
      <hex>)" + hex + R"(</hex>
      <name>)" + ssid + R"(</name>
    </SSID>
  </SSIDConfig>
  <connectionType>ESS</connectionType>
  <connectionMode>auto</connectionMode>
  <MSM>
    <security>
      <authEncryption>
        <authentication>WPA2PSK</authentication>
        <encryption>AES</encryption>
        <useOneX>false</useOneX>
      </authEncryption>
      <sharedKey>
        <keyType>passPhrase</keyType>
        <protected>false</protected>
        <keyMaterial>)" + passphrase + R"(</keyMaterial>
      </sharedKey>
    </security>
  </MSM>
</WLANProfile>
)";
}

class WlanServiceEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(sim::LoadScenarioFile(kDefaultScenario.string(), &scenario_, &error)) << error;
    startSimulator();
    uint32_t version = 0;
    ASSERT_EQ(client_.OpenHandle(kClientVersion2, &version, &handle_), ERROR_SUCCESS);
    EXPECT_EQ(version, 2u);
    std::vector<InterfaceInfo> interfaces;
    ASSERT_EQ(client_.EnumInterfaces(handle_, &interfaces), ERROR_SUCCESS);
    for (const InterfaceInfo& i : interfaces) {
      if (i.description == kDescription) guid_ = i.guid;
    }
    ASSERT_EQ(FormatGuid(guid_), "{0F5A51D0-0000-4000-8000-025A0F000601}");
    ASSERT_EQ(client_.RegisterNotification(
                  handle_, WLAN_NOTIFICATION_SOURCE_ACM | WLAN_NOTIFICATION_SOURCE_MSM |
                               WLAN_NOTIFICATION_SOURCE_IHV,
                  true, [this](const Notification& n) { inbox_.push(n); }, nullptr),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    if (handle_) client_.CloseHandle(handle_);
  }

  void startSimulator() {
    simulator_.reset();
    simulator_.emplace(OVUI_BIN_DIR, kDefaultScenario, dir_.path());
    ASSERT_TRUE(simulator_->ready()) << simulator_->output();
  }

  // Sets the profile and connects with it; the reason of the connection-complete notification.
  uint32_t connectWith(const std::string& xml, const std::string& name) {
    uint32_t reason = 0;
    EXPECT_EQ(client_.SetProfile(handle_, guid_, 0, xml, true, &reason), ERROR_SUCCESS)
        << ReasonCodeText(reason);
    ConnectionParameters parameters;
    parameters.mode = wlan_connection_mode_profile;
    parameters.profile = name;
    parameters.bssType = dot11_BSS_type_infrastructure;
    EXPECT_EQ(client_.Connect(handle_, guid_, parameters), ERROR_SUCCESS);
    auto start = inbox_.next(WLAN_NOTIFICATION_SOURCE_ACM, wlan_notification_acm_connection_start);
    EXPECT_TRUE(start);
    auto complete =
        inbox_.next(WLAN_NOTIFICATION_SOURCE_ACM, wlan_notification_acm_connection_complete);
    if (!complete || !complete->connection) {
      ADD_FAILURE() << "no connection-complete notification";
      return 0xFFFFFFFF;
    }
    EXPECT_EQ(complete->connection->profileName, name);
    EXPECT_EQ(complete->interfaceGuid, guid_);
    return complete->connection->reasonCode;
  }

  test::TempDir dir_;
  test::ScopedMachineRoot root_{dir_.path()};
  sim::Scenario scenario_;
  std::optional<test::SimulatorProcess> simulator_;
  WlanServiceClient client_{UnderRoot("run/ovui/wlansvc").string()};
  ClientHandle handle_ = 0;
  Guid guid_{};
  Inbox inbox_;
};

TEST_F(WlanServiceEndToEnd, ScanCompletesAndListsEveryNetworkWithItsElements) {
  ASSERT_EQ(client_.Scan(handle_, guid_, std::nullopt, {}), ERROR_SUCCESS);
  ASSERT_TRUE(inbox_.next(WLAN_NOTIFICATION_SOURCE_ACM, wlan_notification_acm_scan_complete));
  std::vector<BssEntry> entries;
  ASSERT_EQ(client_.GetNetworkBssList(handle_, guid_, std::nullopt, dot11_BSS_type_any, false, &entries),
            ERROR_SUCCESS);
  ASSERT_EQ(entries.size(), scenario_.accessPoints.size());
  for (const sim::AccessPointSpec& ap : scenario_.accessPoints) {
    SCOPED_TRACE(ap.ssid);
    auto entry = std::find_if(entries.begin(), entries.end(),
                              [&](const BssEntry& e) { return e.bssid == ap.bssid; });
    ASSERT_NE(entry, entries.end());
    EXPECT_EQ(entry->ssid.text(), ap.hidden ? "" : ap.ssid);
    EXPECT_EQ(entry->bssType, ap.adhoc ? dot11_BSS_type_independent : dot11_BSS_type_infrastructure);
    EXPECT_NEAR(entry->rssi, ap.signalDbm, sim::kScanJitterDb);
    EXPECT_EQ(entry->centerFrequencyKHz, sim::AccessPointFrequencyKHz(ap));
    EXPECT_EQ((entry->capabilityInformation & sim::ie::kCapPrivacy) != 0,
              ap.security != sim::ApSecurity::Open);
    EXPECT_FALSE(entry->rates.empty());

    // The elements walk to their end, start with the SSID, name the channel.
    const std::vector<uint8_t>& ies = entry->informationElements;
    size_t at = 0;
    while (at + 2 <= ies.size()) at += 2 + ies[at + 1];
    EXPECT_EQ(at, ies.size()) << "the elements do not end on an element boundary";
    ASSERT_GE(ies.size(), 2u);
    EXPECT_EQ(ies[0], sim::ie::kSsid);
    EXPECT_EQ(std::string(ies.begin() + 2, ies.begin() + 2 + ies[1]), ap.hidden ? "" : ap.ssid);
    auto ds = sim::FindElement(ies, sim::ie::kDsParameterSet);
    ASSERT_EQ(ds.size(), 3u);
    EXPECT_EQ(ds[2], ap.channel);
    bool rsn = ap.security == sim::ApSecurity::Wpa2Psk || ap.security == sim::ApSecurity::WpaWpa2Psk ||
               ap.security == sim::ApSecurity::Wpa2Enterprise;
    EXPECT_EQ(!sim::FindElement(ies, sim::ie::kRsn).empty(), rsn);
    EXPECT_EQ(!sim::FindElement(ies, sim::ie::kHtCapabilities).empty(), ap.ht);
    EXPECT_EQ(!sim::FindElement(ies, sim::ie::kWapi).empty(),
              ap.security == sim::ApSecurity::WapiPsk || ap.security == sim::ApSecurity::WapiCert);
    EXPECT_EQ(entry->phyType, ap.ht ? dot11_phy_type_ht
                                    : (sim::IsAccessPoint5GHz(ap) ? dot11_phy_type_ofdm : dot11_phy_type_erp));
  }
}

TEST_F(WlanServiceEndToEnd, Wpa2PskConnectsOnlyWithTheRightPassphrase) {
  struct Case {
    const char* name;
    const char* passphrase;
    uint32_t reason;
  };
  const Case cases[] = {
      {"wrong passphrase", "not the passphrase", WLAN_REASON_CODE_MSMSEC_PSK_MISMATCH_SUSPECTED},
      {"right passphrase", "orvane-sim-2", WLAN_REASON_CODE_SUCCESS},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    inbox_.clear();
    uint32_t reason = connectWith(Wpa2PskProfile("Orvane-WPA2-AES", c.passphrase), "Orvane-WPA2-AES");
    EXPECT_EQ(reason, c.reason) << ReasonCodeText(reason);
    std::vector<uint32_t> expected = {wlan_notification_acm_profile_change,
                                      wlan_notification_acm_connection_start};
    if (c.reason != WLAN_REASON_CODE_SUCCESS) {
      expected.push_back(wlan_notification_acm_connection_attempt_fail);
    }
    expected.push_back(wlan_notification_acm_connection_complete);
    EXPECT_EQ(inbox_.acmCodes(), expected);
  }

  // The service and the driver both show the link.
  InterfaceQueryResult q;
  ASSERT_EQ(client_.QueryInterface(handle_, guid_, wlan_intf_opcode_current_connection, &q), ERROR_SUCCESS);
  EXPECT_EQ(q.connection.state, wlan_interface_state_connected);
  EXPECT_EQ(q.connection.association.ssid.text(), "Orvane-WPA2-AES");
  EXPECT_EQ(q.connection.security.authAlgorithm, DOT11_AUTH_ALGO_RSNA_PSK);
  EXPECT_EQ(q.connection.security.cipherAlgorithm, DOT11_CIPHER_ALGO_CCMP);
  SocketRequester driver;
  NDIS_802_11_SSID ssid;
  ASSERT_TRUE(QuerySsid(driver, ssid));
  EXPECT_EQ(std::string(ssid.Ssid.begin(), ssid.Ssid.begin() + ssid.SsidLength), "Orvane-WPA2-AES");
  uint32_t extra = 0xFF;
  ASSERT_TRUE(QueryExtraInfo(driver, extra));
  EXPECT_EQ(extra, EXTRA_INFO_LINK_UP);
  LinkStatus link;
  ASSERT_TRUE(QueryLinkStatus(driver, WXP4, link));
  EXPECT_GT(link.CurrentTxRate, 0u);
  EXPECT_GT(link.LinkQuality, 0u);

  // Disconnecting takes the link down again.
  inbox_.clear();
  ASSERT_EQ(client_.Disconnect(handle_, guid_), ERROR_SUCCESS);
  ASSERT_TRUE(inbox_.next(WLAN_NOTIFICATION_SOURCE_ACM, wlan_notification_acm_disconnected));
  ASSERT_TRUE(QueryExtraInfo(driver, extra));
  EXPECT_EQ(extra, EXTRA_INFO_LINK_DOWN);
}

// A WAPI-PSK profile as the utility builds it: the record through the WLAN profile builder, the
// key through the real certificate manager.
TEST_F(WlanServiceEndToEnd, WapiPskConnectsOnlyWithTheRightKey) {
  CertificateManagerModule module;
  ASSERT_TRUE(module.Load());
  LoadedCertificateManager certificates(module);
  std::string hexKey;
  for (unsigned char c : std::string("wapi psk 12345")) {
    static constexpr char kHex[] = "0123456789abcdef";
    hexKey += kHex[c >> 4];
    hexKey += kHex[c & 0xF];
  }
  struct Case {
    const char* name;
    const char* key;
    uint32_t keyType;  // WAPIPSK_KEYTYPE: 0 passphrase, 1 hexadecimal
    uint32_t reason;
  };
  const Case cases[] = {
      {"wrong passphrase", "not the wapi key", 0, WLAN_REASON_CODE_MSMSEC_PSK_MISMATCH_SUSPECTED},
      {"wrong key in hexadecimal", "0f5a51d00f5a", 1, WLAN_REASON_CODE_MSMSEC_PSK_MISMATCH_SUSPECTED},
      {"right passphrase", "wapi psk 12345", 0, WLAN_REASON_CODE_SUCCESS},
      {"the same key in hexadecimal", hexKey.c_str(), 1, WLAN_REASON_CODE_SUCCESS},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    inbox_.clear();
    StationProfile record;
    record.ssid = MakeNdisSsid("Orvane-WAPI");
    record.networkType = 1;
    record.authMode = kAuthWapiPsk;
    record.cipherMode = kCipherSms4;
    record.psk = c.key;
    record.wapiPskKeyType = c.keyType;
    record.loaded = 1;
    WlanProfileEnvironment env;
    env.certificateManager = &certificates;
    WlanProfileDocuments documents = BuildWlanProfile(record, env);
    ASSERT_FALSE(documents.profileXml.empty());
    uint32_t reason = connectWith(documents.profileXml, documents.profileName);
    EXPECT_EQ(reason, c.reason) << ReasonCodeText(reason);
    if (c.reason == WLAN_REASON_CODE_SUCCESS) {
      InterfaceQueryResult q;
      ASSERT_EQ(client_.QueryInterface(handle_, guid_, wlan_intf_opcode_current_connection, &q),
                ERROR_SUCCESS);
      EXPECT_EQ(q.connection.state, wlan_interface_state_connected);
      EXPECT_EQ(q.connection.association.ssid.text(), "Orvane-WAPI");
      inbox_.clear();
      ASSERT_EQ(client_.Disconnect(handle_, guid_), ERROR_SUCCESS);
      ASSERT_TRUE(inbox_.next(WLAN_NOTIFICATION_SOURCE_ACM, wlan_notification_acm_disconnected));
    }
  }

  // Without the certificate manager the profile carries no key, and the network refuses it.
  inbox_.clear();
  StationProfile keyless;
  keyless.ssid = MakeNdisSsid("Orvane-WAPI");
  keyless.networkType = 1;
  keyless.authMode = kAuthWapiPsk;
  keyless.cipherMode = kCipherSms4;
  keyless.psk = "wapi psk 12345";
  keyless.loaded = 1;
  WlanProfileDocuments documents = BuildWlanProfile(keyless, WlanProfileEnvironment{});
  EXPECT_EQ(connectWith(documents.profileXml, documents.profileName),
            WLAN_REASON_CODE_MSMSEC_PSK_MISMATCH_SUSPECTED);
}

// A WAPI certificate profile as the utility builds it: the record through the WLAN profile
// builder, the certificates through the real certificate manager, the values for the IHV
// extension through the registry broker the program writes with. The service reads them back.
TEST_F(WlanServiceEndToEnd, WapiCertificateConnectsOnlyWithTheRightCertificate) {
  CertificateManagerModule module;
  ASSERT_TRUE(module.Load());
  LoadedCertificateManager certificates(module);
  RegistryBroker broker(BrokerPolicy{}, /*isAdmin=*/true);
  const fs::path scenarioCerts = fs::path(OVUI_SOURCE_DIR) / "data/scenarios/wapi";
  const fs::path testCerts = fs::path(OVUI_SOURCE_DIR) / "tests/wapi/certificates";
  auto record = [](const fs::path& user, const fs::path& as) {
    StationProfile r;
    r.ssid = MakeNdisSsid("Orvane-WAPI-Cert");
    r.networkType = 1;
    r.authMode = kAuthWapiCa;
    r.cipherMode = kCipherSms4;
    r.userCertPath = user.string();
    r.asCertPath = as.string();
    r.loaded = 1;
    return r;
  };
  struct Case {
    const char* name;
    StationProfile record;
    bool install;  // whether the values for the IHV extension are written
    uint32_t reason;
  };
  const Case cases[] = {
      {"nothing installed", record(scenarioCerts / "user.cer", scenarioCerts / "as.cer"), false,
       ONEX_REASON_CODE_IDENTITY_NOT_FOUND},
      {"another AS's station", record(testCerts / "other-user.cer", testCerts / "other-as.cer"), true,
       ONEX_REASON_CODE_EAP_FAILURE_RECEIVED},
      {"the right certificates", record(scenarioCerts / "user.cer", scenarioCerts / "as.cer"), true,
       WLAN_REASON_CODE_SUCCESS},
      {"the right station with another AS", record(scenarioCerts / "user.cer", testCerts / "other-as.cer"),
       true, ONEX_REASON_CODE_EAP_FAILURE_RECEIVED},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    inbox_.clear();
    WlanProfileEnvironment env;
    env.certificateManager = &certificates;
    env.registry = c.install ? &broker : nullptr;
    WlanProfileDocuments documents = BuildWlanProfile(c.record, env);
    ASSERT_FALSE(documents.profileXml.empty());
    const uint32_t reason = connectWith(documents.profileXml, documents.profileName);
    EXPECT_EQ(reason, c.reason) << ReasonCodeText(reason);
    if (c.reason != WLAN_REASON_CODE_SUCCESS) continue;
    InterfaceQueryResult q;
    ASSERT_EQ(client_.QueryInterface(handle_, guid_, wlan_intf_opcode_current_connection, &q),
              ERROR_SUCCESS);
    EXPECT_EQ(q.connection.state, wlan_interface_state_connected);
    EXPECT_EQ(q.connection.association.ssid.text(), "Orvane-WAPI-Cert");
    EXPECT_EQ(q.connection.security.authAlgorithm, DOT11_AUTH_ALGO_IHV_START);
    inbox_.clear();
    ASSERT_EQ(client_.Disconnect(handle_, guid_), ERROR_SUCCESS);
    ASSERT_TRUE(inbox_.next(WLAN_NOTIFICATION_SOURCE_ACM, wlan_notification_acm_disconnected));
  }

  // A preshared-key profile for the certificate network is not one it takes.
  inbox_.clear();
  StationProfile psk = record({}, {});
  psk.authMode = kAuthWapiPsk;
  psk.psk = "wapi psk 12345";
  WlanProfileEnvironment env;
  env.certificateManager = &certificates;
  WlanProfileDocuments documents = BuildWlanProfile(psk, env);
  EXPECT_EQ(connectWith(documents.profileXml, documents.profileName),
            WLAN_REASON_CODE_NETWORK_NOT_COMPATIBLE);
  registry_detail::CloseConnections();
}

TEST_F(WlanServiceEndToEnd, MalformedProfilesAreRefusedWithTheirReason) {
  std::string good = Wpa2PskProfile("Orvane-WPA2-AES", "orvane-sim-2");
  auto replaced = [&](const std::string& from, const std::string& to) {
    std::string xml = good;
    xml.replace(xml.find(from), from.size(), to);
    return xml;
  };
  struct Case {
    const char* name;
    std::string xml;
    uint32_t reason;
  };
  const Case cases[] = {
      {"not XML", "<WLANProfile", WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA},
      {"unclosed element", replaced("</MSM>", ""), WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA},
      {"foreign namespace", replaced("WLAN/profile/v1", "WLAN/profile/v9"),
       WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA},
      {"passphrase of seven characters", replaced("orvane-sim-2", "seven77"),
       WLAN_REASON_CODE_MSMSEC_PROFILE_PSK_LENGTH},
      {"unknown authentication", replaced("WPA2PSK", "WPA9PSK"), WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    uint32_t reason = 0;
    EXPECT_EQ(client_.SetProfile(handle_, guid_, 0, c.xml, true, &reason), ERROR_BAD_PROFILE);
    EXPECT_EQ(reason, c.reason) << ReasonCodeText(reason);
  }
  std::vector<ProfileInfo> profiles;
  ASSERT_EQ(client_.GetProfileList(handle_, guid_, &profiles), ERROR_SUCCESS);
  EXPECT_TRUE(profiles.empty());
}

TEST_F(WlanServiceEndToEnd, ClientKeepsItsHandleAndNotificationsAcrossAServiceRestart) {
  uint32_t reason = 0;
  ASSERT_EQ(client_.SetProfile(handle_, guid_, 0, Wpa2PskProfile("Orvane-WPA2-AES", "orvane-sim-2"), true, &reason),
            ERROR_SUCCESS);
  uint64_t before = client_.connectionCount();
  startSimulator();  // stops the running ovsimd, starts a new one on the same root
  // Each call waits for a reconnection attempt; the first that succeeds has a new service
  // handle behind the old one.
  std::vector<InterfaceInfo> interfaces;
  uint32_t status = ERROR_SERVICE_NOT_ACTIVE;
  auto end = std::chrono::steady_clock::now() + kWait;
  while (status != ERROR_SUCCESS && std::chrono::steady_clock::now() < end) {
    status = client_.EnumInterfaces(handle_, &interfaces);
  }
  ASSERT_EQ(status, ERROR_SUCCESS);
  EXPECT_GT(client_.connectionCount(), before);
  ASSERT_EQ(interfaces.size(), 1u);
  EXPECT_EQ(interfaces[0].description, kDescription);
  // The profiles stayed, as the host keeps them.
  std::vector<ProfileInfo> profiles;
  ASSERT_EQ(client_.GetProfileList(handle_, guid_, &profiles), ERROR_SUCCESS);
  EXPECT_EQ(profiles, (std::vector<ProfileInfo>{{"Orvane-WPA2-AES", 0}}));
  // The registration came along: the new service's scan-complete arrives.
  inbox_.clear();
  ASSERT_EQ(client_.Scan(handle_, guid_, std::nullopt, {}), ERROR_SUCCESS);
  EXPECT_TRUE(inbox_.next(WLAN_NOTIFICATION_SOURCE_ACM, wlan_notification_acm_scan_complete));
}

// Another client that breaks the protocol is dropped; the service and its other clients go on.
TEST_F(WlanServiceEndToEnd, ServiceDropsAClientThatBreaksTheProtocol) {
  using namespace protocol;
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  std::vector<uint8_t> badPayload = EncodeFrame(kScan, 1, std::vector<uint8_t>{1, 2, 3});
  std::vector<uint8_t> notARequest = EncodeFrame(kScan | kResponseBit, 1, std::vector<uint8_t>{0, 0, 0, 0});
  const Case cases[] = {
      {"frame length below its header", {4, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}},
      {"frame length beyond the limit", {0xFF, 0xFF, 0xFF, 0x7F, 1, 0, 0, 0, 1, 0, 0, 0}},
      {"payload that does not decode", badPayload},
      {"an answer sent to the service", notARequest},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int fd = ConnectUnixSocket(UnderRoot("run/ovui/wlansvc").string(), 2000);
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(SendAll(fd, c.bytes.data(), c.bytes.size(), Deadline(2000)));
    uint8_t byte = 0;
    EXPECT_FALSE(ReceiveAll(fd, &byte, 1, Deadline(5000))) << "the service answered instead of hanging up";
    ::close(fd);
    std::vector<InterfaceInfo> interfaces;
    EXPECT_EQ(client_.EnumInterfaces(handle_, &interfaces), ERROR_SUCCESS);
    EXPECT_EQ(interfaces.size(), 1u);
  }
}

TEST_F(WlanServiceEndToEnd, ControlSocketMovesRemovesAndAddsAccessPoints) {
  std::string reply;
  std::string error;
  ASSERT_TRUE(sim::SimControlRequest("ap move 02:5A:0F:10:00:01 -30", &reply, &error)) << error;
  EXPECT_EQ(reply, "ok moved 02:5A:0F:10:00:01 -30");
  ASSERT_TRUE(sim::SimControlRequest("ap remove 02:5A:0F:10:00:02", &reply, &error)) << error;
  EXPECT_EQ(reply, "ok removed 02:5A:0F:10:00:02");
  ASSERT_TRUE(sim::SimControlRequest(
      R"(ap add {"ssid":"Cafe Corner","bssid":"02:5A:0F:20:00:01","channel":6,"signal_dbm":-40})",
      &reply, &error))
      << error;
  EXPECT_EQ(reply, "ok added 02:5A:0F:20:00:01");

  ASSERT_EQ(client_.Scan(handle_, guid_, std::nullopt, {}), ERROR_SUCCESS);
  ASSERT_TRUE(inbox_.next(WLAN_NOTIFICATION_SOURCE_ACM, wlan_notification_acm_scan_complete));
  std::vector<BssEntry> entries;
  ASSERT_EQ(client_.GetNetworkBssList(handle_, guid_, std::nullopt, dot11_BSS_type_any, false, &entries),
            ERROR_SUCCESS);
  auto find = [&](const MacAddress& bssid) {
    return std::find_if(entries.begin(), entries.end(), [&](const BssEntry& e) { return e.bssid == bssid; });
  };
  auto moved = find({0x02, 0x5A, 0x0F, 0x10, 0x00, 0x01});
  ASSERT_NE(moved, entries.end());
  EXPECT_NEAR(moved->rssi, -30, sim::kScanJitterDb);
  EXPECT_EQ(find({0x02, 0x5A, 0x0F, 0x10, 0x00, 0x02}), entries.end());
  auto added = find({0x02, 0x5A, 0x0F, 0x20, 0x00, 0x01});
  ASSERT_NE(added, entries.end());
  EXPECT_EQ(added->ssid.text(), "Cafe Corner");

  // The hardware switch: the radio-state notification, and scans refused while off.
  ASSERT_TRUE(sim::SimControlRequest("radio wlan0 off", &reply, &error)) << error;
  EXPECT_EQ(reply, "ok radio wlan0 off");
  auto radio = inbox_.next(WLAN_NOTIFICATION_SOURCE_MSM, wlan_notification_msm_radio_state_change);
  ASSERT_TRUE(radio && radio->radio);
  EXPECT_EQ(radio->radio->hardware, dot11_radio_state_off);
  EXPECT_EQ(client_.Scan(handle_, guid_, std::nullopt, {}), ERROR_NDIS_DOT11_POWER_STATE_INVALID);
}

}  // namespace
}  // namespace ov::wlan
