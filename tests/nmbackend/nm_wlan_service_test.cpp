// NmWlanService against dbusmock's NetworkManager (extended by nm_mock.py) on a private bus.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "nativewifi/nm/nm_wlan_service.h"
#include "tests/nmbackend/nm_mock_bus.h"

namespace ov::wlan::nm {
namespace {

// Notifications as the backend's thread delivers them.
class Recorder {
 public:
  void Push(const Notification& n) {
    std::lock_guard lock(mutex_);
    seen_.push_back(n);
    cv_.notify_all();
  }
  // The codes received once `count` arrived (or the deadline for an outside process passed).
  std::vector<uint32_t> WaitCodes(size_t count) {
    std::unique_lock lock(mutex_);
    cv_.wait_for(lock, std::chrono::seconds(10), [&] { return seen_.size() >= count; });
    std::vector<uint32_t> codes;
    for (const Notification& n : seen_) codes.push_back(n.code);
    return codes;
  }
  Notification At(size_t i) {
    std::lock_guard lock(mutex_);
    return seen_.at(i);
  }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  std::vector<Notification> seen_;
};

std::string Profile(const std::string& name, const std::string& auth, const std::string& cipher,
                    const std::string& passphrase) {
  std::string shared;
  if (!passphrase.empty())
    shared = "<sharedKey><keyType>passPhrase</keyType><protected>false</protected><keyMaterial>" +
             passphrase + "</keyMaterial></sharedKey>";
  return "<?xml version=\"1.0\"?><WLANProfile xmlns=\"http://www.microsoft.com/networking/WLAN/profile/v1\">"
         "<name>" + name + "</name><SSIDConfig><SSID><name>" + name + "</name></SSID></SSIDConfig>"
         "<connectionType>ESS</connectionType><connectionMode>manual</connectionMode><MSM><security>"
         "<authEncryption><authentication>" + auth + "</authentication><encryption>" + cipher +
         "</encryption><useOneX>false</useOneX></authEncryption>" + shared +
         "</security></MSM></WLANProfile>";
}

class NmWlanServiceTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!test::NmMockBus::DbusmockInstalled())
      GTEST_SKIP() << "python3-dbusmock is not installed for /usr/bin/python3";
    std::string failure;
    ASSERT_TRUE(mock_.Start(&failure)) << failure;
    address_ = mock_.address();
    service_ = std::make_unique<NmWlanService>(address_);
    ASSERT_TRUE(service_->Available());
    ASSERT_EQ(service_->OpenHandle(2, nullptr, &handle_), ERROR_SUCCESS);
    ASSERT_EQ(service_->RegisterNotification(handle_, WLAN_NOTIFICATION_SOURCE_ACM, false,
                                             [this](const Notification& n) { recorder_.Push(n); },
                                             nullptr),
              ERROR_SUCCESS);
    std::vector<InterfaceInfo> interfaces;
    ASSERT_EQ(service_->EnumInterfaces(handle_, &interfaces), ERROR_SUCCESS);
    ASSERT_EQ(interfaces.size(), 1u);
    EXPECT_EQ(interfaces[0].description, "wlan0");
    EXPECT_EQ(interfaces[0].state, wlan_interface_state_disconnected);
    guid_ = interfaces[0].guid;
  }

  void TearDown() override { service_.reset(); }

  test::NmMockBus mock_;
  std::string address_;
  std::unique_ptr<NmWlanService> service_;
  ClientHandle handle_ = 0;
  Guid guid_{};
  Recorder recorder_;
};

TEST_F(NmWlanServiceTest, ScanEndsWhenLastScanChangesAndListsBothNetworks) {
  ASSERT_EQ(service_->Scan(handle_, guid_, std::nullopt, {}), ERROR_SUCCESS);
  EXPECT_EQ(recorder_.WaitCodes(1), std::vector<uint32_t>{wlan_notification_acm_scan_complete});
  EXPECT_EQ(recorder_.At(0).interfaceGuid, guid_);

  std::vector<BssEntry> entries;
  ASSERT_EQ(service_->GetNetworkBssList(handle_, guid_, std::nullopt, dot11_BSS_type_any, false, &entries),
            ERROR_SUCCESS);
  ASSERT_EQ(entries.size(), 2u);
  std::sort(entries.begin(), entries.end(), [](auto& a, auto& b) { return a.ssid.bytes < b.ssid.bytes; });
  EXPECT_EQ(entries[0].ssid.text(), "Cafe");
  EXPECT_EQ(entries[0].bssid, (MacAddress{0x02, 0, 0, 0, 0, 0x01}));
  EXPECT_EQ(entries[0].capabilityInformation & 0x0010, 0);
  EXPECT_EQ(entries[0].rssi, -65);
  EXPECT_EQ(entries[1].ssid.text(), "Locked");
  EXPECT_EQ(entries[1].centerFrequencyKHz, 5180000u);
  EXPECT_EQ(entries[1].capabilityInformation & 0x0010, 0x0010);
  const auto& ies = entries[1].informationElements;
  const uint8_t akmPsk[] = {0x00, 0x0F, 0xAC, 0x02};
  EXPECT_NE(std::search(ies.begin(), ies.end(), std::begin(akmPsk), std::end(akmPsk)), ies.end())
      << "RSN element with the PSK key management";

  // A list for one network holds only its entries.
  ASSERT_EQ(service_->GetNetworkBssList(handle_, guid_, Ssid::FromText("Locked"), dot11_BSS_type_infrastructure,
                                        true, &entries),
            ERROR_SUCCESS);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].ssid.text(), "Locked");
}

TEST_F(NmWlanServiceTest, OpenConnectionCompletes) {
  ConnectionParameters p;
  p.mode = wlan_connection_mode_temporary_profile;
  p.profile = Profile("Cafe", "open", "none", "");
  ASSERT_EQ(service_->Connect(handle_, guid_, p), ERROR_SUCCESS);
  EXPECT_EQ(recorder_.WaitCodes(2), (std::vector<uint32_t>{wlan_notification_acm_connection_start,
                                                           wlan_notification_acm_connection_complete}));
  const Notification complete = recorder_.At(1);
  ASSERT_TRUE(complete.connection);
  EXPECT_EQ(complete.connection->profileName, "Cafe");
  EXPECT_EQ(complete.connection->reasonCode, WLAN_REASON_CODE_SUCCESS);

  InterfaceQueryResult state;
  ASSERT_EQ(service_->QueryInterface(handle_, guid_, wlan_intf_opcode_interface_state, &state), ERROR_SUCCESS);
  EXPECT_EQ(state.state, wlan_interface_state_connected);
}

TEST_F(NmWlanServiceTest, PskConnectionFailsWithItsReason) {
  ConnectionParameters p;
  p.mode = wlan_connection_mode_temporary_profile;
  p.profile = Profile("Locked", "WPA2PSK", "AES", "wrong passphrase");
  ASSERT_EQ(service_->Connect(handle_, guid_, p), ERROR_SUCCESS);
  EXPECT_EQ(recorder_.WaitCodes(3), (std::vector<uint32_t>{wlan_notification_acm_connection_start,
                                                           wlan_notification_acm_connection_attempt_fail,
                                                           wlan_notification_acm_connection_complete}));
  for (size_t i : {1u, 2u}) {
    const Notification n = recorder_.At(i);
    ASSERT_TRUE(n.connection);
    EXPECT_EQ(n.connection->profileName, "Locked");
    EXPECT_TRUE(n.connection->securityEnabled);
    EXPECT_EQ(n.connection->reasonCode, WLAN_REASON_CODE_MSMSEC_PSK_MISMATCH_SUSPECTED);
  }
  // The device falling back to disconnected after the failure is no disconnection of its own:
  // the next notification is the scan's.
  ASSERT_EQ(service_->Scan(handle_, guid_, std::nullopt, {}), ERROR_SUCCESS);
  EXPECT_EQ(recorder_.WaitCodes(4).back(), wlan_notification_acm_scan_complete);
}

TEST_F(NmWlanServiceTest, ProfilesAreOnlyOwnConnections) {
  // A connection of the user's own, not made by this utility.
  ASSERT_EQ(mock_.Call("/org/freedesktop/NetworkManager/Settings",
                       "org.freedesktop.NetworkManager.Settings.AddConnection",
                       {"{'connection': {'id': <'Users own'>, 'type': <'802-11-wireless'>}}"}),
            0);
  uint32_t reason = 0;
  ASSERT_EQ(service_->SetProfile(handle_, guid_, 0, Profile("Cafe", "open", "none", ""), false, &reason),
            ERROR_SUCCESS);
  EXPECT_EQ(service_->SetProfile(handle_, guid_, 0, Profile("Cafe", "open", "none", ""), false, &reason),
            ERROR_ALREADY_EXISTS);
  EXPECT_EQ(service_->SetProfile(handle_, guid_, 0, Profile("Tls", "WPA2", "AES", ""), true, &reason),
            ERROR_BAD_PROFILE);
  EXPECT_EQ(reason, WLAN_REASON_CODE_MSMSEC_PROFILE_ONEX_DISABLED);

  std::vector<ProfileInfo> profiles;
  ASSERT_EQ(service_->GetProfileList(handle_, guid_, &profiles), ERROR_SUCCESS);
  EXPECT_EQ(profiles, (std::vector<ProfileInfo>{{"Cafe", 0}}));
  EXPECT_EQ(service_->DeleteProfile(handle_, guid_, "Users own"), ERROR_NOT_FOUND);
  EXPECT_EQ(service_->DeleteProfile(handle_, guid_, "Cafe"), ERROR_SUCCESS);
  ASSERT_EQ(service_->GetProfileList(handle_, guid_, &profiles), ERROR_SUCCESS);
  EXPECT_TRUE(profiles.empty());
}

TEST_F(NmWlanServiceTest, RefusesUnknownHandlesAndInterfaces) {
  std::vector<InterfaceInfo> interfaces;
  EXPECT_EQ(service_->EnumInterfaces(handle_ + 100, &interfaces), ERROR_INVALID_HANDLE);
  Guid other = guid_;
  other[0] ^= 0xFF;
  EXPECT_EQ(service_->Scan(handle_, other, std::nullopt, {}), ERROR_NOT_FOUND);
  std::vector<uint8_t> out;
  EXPECT_EQ(service_->IhvControl(handle_, guid_, wlan_ihv_control_type_driver, {1}, 8, &out), ERROR_NOT_SUPPORTED);
}

TEST_F(NmWlanServiceTest, SignalQualityAndRadioFollowTheMock) {
  Recorder msm;
  ClientHandle other = 0;
  ASSERT_EQ(service_->OpenHandle(2, nullptr, &other), ERROR_SUCCESS);
  ASSERT_EQ(service_->RegisterNotification(other, WLAN_NOTIFICATION_SOURCE_MSM, false,
                                           [&msm](const Notification& n) { msm.Push(n); }, nullptr),
            ERROR_SUCCESS);
  InterfaceQueryResult q;
  EXPECT_EQ(service_->QueryInterface(handle_, guid_, wlan_intf_opcode_current_connection, &q), ERROR_INVALID_STATE)
      << "no connection yet";

  ConnectionParameters p;
  p.mode = wlan_connection_mode_temporary_profile;
  p.profile = Profile("Cafe", "open", "none", "");
  ASSERT_EQ(service_->Connect(handle_, guid_, p), ERROR_SUCCESS);
  ASSERT_EQ(recorder_.WaitCodes(2).size(), 2u);
  ASSERT_EQ(service_->QueryInterface(handle_, guid_, wlan_intf_opcode_current_connection, &q), ERROR_SUCCESS);
  EXPECT_EQ(q.connection.state, wlan_interface_state_connected);
  EXPECT_EQ(q.connection.association.ssid.text(), "Cafe");
  EXPECT_EQ(q.connection.association.bssid, (MacAddress{0x02, 0, 0, 0, 0, 0x01}));
  EXPECT_EQ(q.connection.association.signalQuality, 70u);
  EXPECT_FALSE(q.connection.security.securityEnabled);
  ASSERT_EQ(service_->QueryInterface(handle_, guid_, wlan_intf_opcode_rssi, &q), ERROR_SUCCESS);
  EXPECT_EQ(q.rssi, -65);
  ASSERT_EQ(service_->QueryInterface(handle_, guid_, wlan_intf_opcode_channel_number, &q), ERROR_SUCCESS);
  EXPECT_EQ(q.channel, 6u);

  // The associated access point's strength is the signal quality notification's.
  ASSERT_EQ(mock_.SetProperty(test::kMockCafe, "org.freedesktop.NetworkManager.AccessPoint", "Strength", "<byte 25>"), 0);
  ASSERT_EQ(msm.WaitCodes(1), std::vector<uint32_t>{wlan_notification_msm_signal_quality_change});
  EXPECT_EQ(msm.At(0).interfaceGuid, guid_);
  EXPECT_EQ(msm.At(0).data, (std::vector<uint8_t>{25, 0, 0, 0}));

  // The software radio is NetworkManager's Wi-Fi switch, and its change the radio notification.
  PhyRadioState off;
  off.software = dot11_radio_state_off;
  ASSERT_EQ(service_->SetInterface(handle_, guid_, wlan_intf_opcode_radio_state, off), ERROR_SUCCESS);
  ASSERT_EQ(msm.WaitCodes(2).back(), wlan_notification_msm_radio_state_change);
  ASSERT_TRUE(msm.At(1).radio);
  EXPECT_EQ(msm.At(1).radio->software, dot11_radio_state_off);
  EXPECT_EQ(msm.At(1).radio->hardware, dot11_radio_state_on);
  ASSERT_EQ(service_->QueryInterface(handle_, guid_, wlan_intf_opcode_radio_state, &q), ERROR_SUCCESS);
  ASSERT_EQ(q.radio.size(), 1u);
  EXPECT_EQ(q.radio[0].software, dot11_radio_state_off);
  PhyRadioState unknown;
  EXPECT_EQ(service_->SetInterface(handle_, guid_, wlan_intf_opcode_radio_state, unknown), ERROR_INVALID_PARAMETER);
  service_->CloseHandle(other);
}

TEST_F(NmWlanServiceTest, EnterpriseProfileTakesItsAccountFromTheUserData) {
  std::string xml = Profile("Corp", "WPA2", "AES", "");
  xml.replace(xml.find("<useOneX>false"), 14, "<useOneX>true");
  xml.insert(xml.find("</security>"),
             "<OneX xmlns=\"http://www.microsoft.com/networking/OneX/v1\"><EAPConfig><EapHostConfig "
             "xmlns=\"http://www.microsoft.com/provisioning/EapHostConfig\"><EapMethod><Type>25</Type>"
             "<AuthorId>0</AuthorId></EapMethod><Config><Eap><Type>25</Type><EapType><Eap><Type>26</Type>"
             "</Eap></EapType></Eap></Config></EapHostConfig></EAPConfig></OneX>");
  uint32_t reason = 0;
  ASSERT_EQ(service_->SetProfile(handle_, guid_, 0, xml, false, &reason), ERROR_SUCCESS) << reason;
  const std::string credentials =
      "<EapHostUserCredentials><Credentials><Eap><Type>25</Type><EapType><RoutingIdentity>anon"
      "</RoutingIdentity><Eap><Type>26</Type><EapType><Username>alice</Username><Password>pw</Password>"
      "</EapType></Eap></EapType></Eap></Credentials></EapHostUserCredentials>";
  ASSERT_EQ(service_->SetProfileEapXmlUserData(handle_, guid_, "Corp", 0, credentials), ERROR_SUCCESS);
  EXPECT_EQ(service_->SetProfileEapXmlUserData(handle_, guid_, "Nobody", 0, credentials), ERROR_NOT_FOUND);
  EXPECT_EQ(service_->SetProfileEapXmlUserData(handle_, guid_, "Corp", 0, "<Credentials><UserCert>00</UserCert></Credentials>"),
            ERROR_BAD_PROFILE);

  const std::string settings = mock_.CallOutput("/org/freedesktop/NetworkManager/Settings/0",
                                                "org.freedesktop.NetworkManager.Settings.Connection.GetSettings");
  EXPECT_NE(settings.find("'OvUI: Corp'"), std::string::npos) << settings;
  EXPECT_NE(settings.find("'wpa-eap'"), std::string::npos) << settings;
  EXPECT_NE(settings.find("['peap']"), std::string::npos) << settings;
  EXPECT_NE(settings.find("'phase2-auth': <'mschapv2'>"), std::string::npos) << settings;
  EXPECT_NE(settings.find("'identity': <'alice'>"), std::string::npos) << settings;
  EXPECT_NE(settings.find("'anonymous-identity': <'anon'>"), std::string::npos) << settings;
}

}  // namespace
}  // namespace ov::wlan::nm

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);  // QtDBus needs one
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
