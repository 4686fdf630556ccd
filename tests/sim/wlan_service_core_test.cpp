// The simulated wireless service in-process, on a clock the test moves: scans, connections and
// their notifications in order, the radio, profiles, the IHV extension's diagnostic test, and
// the simulated driver following the link.
#include <gtest/gtest.h>

#include "driver/oid/oid_requests.h"
#include "sim/wlan_service_core.h"
#include "tests/sim/sim_test_support.h"
#include "tests/support/temp_dir.h"

namespace ov::sim {
namespace {

using namespace ov::wlan;
using namespace ov::wlan::protocol;

class ManualClock final : public SimClock {
 public:
  int64_t nowMs() const override { return ms; }
  int64_t ms = 1000000;
};

const Guid kGuid = *ParseGuid("{0F5A51D0-0000-4000-8000-025A0F000601}");
constexpr ClientId kClient = 1;

std::string Hex(const std::string& s) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : s) {
    out += kHex[c >> 4];
    out += kHex[c & 0xF];
  }
  return out;
}

// A profile document: `security` is the MSM security element's content, `extra` follows MSM.
std::string ProfileXml(const std::string& ssid, const std::string& security, bool nonBroadcast = false,
                       const std::string& extra = "", const std::string& type = "ESS") {
  return R"(<?xml version="1.0"?><WLANProfile xmlns="http://www.microsoft.com/networking/WLAN/profile/v1"><name>)" +
         ssid + "</name><SSIDConfig><SSID><hex>" + Hex(ssid) + "</hex><name>" + ssid + "</name></SSID>" +
         (nonBroadcast ? "<nonBroadcast>true</nonBroadcast>" : "") + "</SSIDConfig><connectionType>" + type +
         "</connectionType><connectionMode>" + (type == "IBSS" ? "manual" : "auto") +
         "</connectionMode><MSM><security>" + security + "</security></MSM>" + extra + "</WLANProfile>";
}
std::string Psk(const std::string& auth, const std::string& cipher, const std::string& passphrase) {
  return "<authEncryption><authentication>" + auth + "</authentication><encryption>" + cipher +
         "</encryption><useOneX>false</useOneX></authEncryption><sharedKey><keyType>passPhrase</keyType>"
         "<protected>false</protected><keyMaterial>" + passphrase + "</keyMaterial></sharedKey>";
}
const std::string kOpen =
    "<authEncryption><authentication>open</authentication><encryption>none</encryption>"
    "<useOneX>false</useOneX></authEncryption>";
const std::string kPeap =
    "<authEncryption><authentication>WPA2</authentication><encryption>AES</encryption><useOneX>true</useOneX>"
    "</authEncryption><OneX xmlns=\"http://www.microsoft.com/networking/OneX/v1\"><EAPConfig><EapHostConfig "
    "xmlns=\"http://www.microsoft.com/provisioning/EapHostConfig\"><EapMethod><Type "
    "xmlns=\"http://www.microsoft.com/provisioning/EapCommon\">25</Type></EapMethod></EapHostConfig>"
    "</EAPConfig></OneX>";
const std::string kDiagnosticsIhv =
    "<IHV><OUIHeader><OUI>004096</OUI><type>00</type></OUIHeader><connectivity><CCX "
    "xmlns=\"http://www.cisco.com/CCX\"><OrvaneProfile/><Diagnostics><AuthorizedProfile>true"
    "</AuthorizedProfile></Diagnostics></CCX></connectivity></IHV>";
std::string Credentials(const std::string& user, const std::string& password) {
  return "<EapHostUserCredentials xmlns=\"http://www.microsoft.com/provisioning/EapHostUserCredentials\" "
         "xmlns:eapCommon=\"http://www.microsoft.com/provisioning/EapCommon\"><EapMethod><eapCommon:Type>25"
         "</eapCommon:Type></EapMethod><Credentials><Eap><EapType><Eap><EapType><Username>" + user +
         "</Username><Password>" + password + "</Password></EapType></Eap></EapType></Eap></Credentials>"
         "</EapHostUserCredentials>";
}

class WlanServiceCoreTest : public ::testing::Test {
 protected:
  WlanServiceCoreTest() {
    adapter_.start(DefaultAdapterParameters(adapter_.spec()));
    core_.addInterface(&adapter_);
    for (const char* json : {
             R"({"ssid":"Open","bssid":"02:00:00:00:00:01","channel":1,"signal_dbm":-50})",
             R"({"ssid":"Home","bssid":"02:00:00:00:00:02","channel":6,"signal_dbm":-45,"security":"wpa2-psk","passphrase":"home key 1","ht":{"width_mhz":20}})",
             R"({"ssid":"Home","bssid":"02:00:00:00:00:03","channel":11,"signal_dbm":-70,"security":"wpa2-psk","passphrase":"home key 1"})",
             R"({"ssid":"Hidden","bssid":"02:00:00:00:00:04","channel":8,"signal_dbm":-60,"hidden":true})",
             R"({"ssid":"Corp","bssid":"02:00:00:00:00:05","channel":1,"signal_dbm":-55,"security":"wpa2-enterprise","users":[{"method":"peap-mschapv2","identity":"alice","password":"Alice-1"}]})",
             R"({"ssid":"Far5","bssid":"02:00:00:00:00:06","channel":36,"signal_dbm":-65})",
         }) {
      AccessPointSpec spec;
      std::string error;
      EXPECT_TRUE(ParseAccessPointJson(json, "", &spec, &error)) << error;
      EXPECT_TRUE(core_.addAccessPoint(spec, &error)) << error;
    }
    OpenHandleResponse opened = core_.openHandle(kClient, {2});
    handle_ = opened.handle;
    EXPECT_EQ(core_.registerNotification(kClient, {handle_, WLAN_NOTIFICATION_SOURCE_ACM |
                                                                 WLAN_NOTIFICATION_SOURCE_MSM |
                                                                 WLAN_NOTIFICATION_SOURCE_IHV,
                                                   true})
                  .status,
              ERROR_SUCCESS);
  }

  // Moves the clock and runs what fell due; the notifications since the last call.
  std::vector<Notification> after(int64_t ms) {
    clock_.ms += ms;
    core_.advance();
    std::vector<Notification> out;
    for (OutgoingNotification& n : core_.takeNotifications()) {
      EXPECT_EQ(n.client, kClient);
      EXPECT_EQ(n.handle, handle_);
      out.push_back(std::move(n.notification));
    }
    return out;
  }
  static std::vector<uint32_t> Codes(const std::vector<Notification>& ns) {
    std::vector<uint32_t> codes;
    for (const Notification& n : ns) codes.push_back(n.code);
    return codes;
  }
  uint32_t setProfile(const std::string& xml) {
    return core_.setProfile(kClient, {handle_, kGuid, 0, xml, true}).status;
  }
  uint32_t connect(const std::string& name, uint32_t flags = 0) {
    ConnectionParameters p;
    p.profile = name;
    p.flags = flags;
    return core_.connect(kClient, {handle_, kGuid, p}).status;
  }
  // Connects with a stored profile and lets the attempt run out.
  std::vector<Notification> connectAndWait(const std::string& name) {
    EXPECT_EQ(connect(name), ERROR_SUCCESS);
    return after(kAssociationMs + kKeyHandshakeMs + kEapExchangeMs);
  }
  uint32_t extraInfo() {
    test::DirectRequester driver(adapter_);
    uint32_t code = 0xFF;
    EXPECT_TRUE(QueryExtraInfo(driver, code));
    return code;
  }

  ManualClock clock_;
  SimulatedAdapter adapter_{test::MakeSpec(), clock_};
  WlanServiceCore core_{clock_};
  ClientHandle handle_ = 0;
};

TEST_F(WlanServiceCoreTest, ScanEndsAfterItsDurationWithTheNetworksInRange) {
  ASSERT_EQ(core_.scan(kClient, {handle_, kGuid, std::nullopt, {}}).status, ERROR_SUCCESS);
  EXPECT_EQ(core_.nextEventMs(), clock_.ms + kScanDurationMs);
  EXPECT_TRUE(after(kScanDurationMs - 1).empty());
  std::vector<Notification> done = after(1);
  EXPECT_EQ(Codes(done), std::vector<uint32_t>{wlan_notification_acm_scan_complete});
  BssListResponse list = core_.getNetworkBssList(kClient, {handle_, kGuid, std::nullopt, dot11_BSS_type_any, false});
  ASSERT_EQ(list.status, ERROR_SUCCESS);
  EXPECT_EQ(list.entries.size(), 6u);
  // A network's own list: only its BSSs, matched by SSID, type and privacy.
  list = core_.getNetworkBssList(kClient, {handle_, kGuid, Ssid::FromText("Home"), dot11_BSS_type_infrastructure, true});
  EXPECT_EQ(list.entries.size(), 2u);
  list = core_.getNetworkBssList(kClient, {handle_, kGuid, Ssid::FromText("Home"), dot11_BSS_type_infrastructure, false});
  EXPECT_TRUE(list.entries.empty());
}

TEST_F(WlanServiceCoreTest, ConnectionsReportInTheHostsOrder) {
  ASSERT_EQ(setProfile(ProfileXml("Home", Psk("WPA2PSK", "AES", "home key 1"))), ERROR_SUCCESS);
  ASSERT_EQ(setProfile(ProfileXml("Open", kOpen)), ERROR_SUCCESS);
  ASSERT_EQ(setProfile(ProfileXml("Gone", kOpen)), ERROR_SUCCESS);
  after(0);
  struct Step {
    const char* name;
    std::function<uint32_t()> act;
    std::vector<uint32_t> codes;
    uint32_t lastReason;
  };
  const Step steps[] = {
      {"connect", [&] { return connect("Home"); },
       {wlan_notification_acm_connection_start, wlan_notification_acm_connection_complete}, 0},
      {"connect elsewhere while connected", [&] { return connect("Open"); },
       {wlan_notification_acm_disconnected, wlan_notification_acm_connection_start,
        wlan_notification_acm_connection_complete}, 0},
      {"network out of range",
       [&] { return connect("Gone"); },
       {wlan_notification_acm_disconnected, wlan_notification_acm_connection_start,
        wlan_notification_acm_connection_attempt_fail, wlan_notification_acm_connection_complete},
       WLAN_REASON_CODE_NETWORK_NOT_AVAILABLE},
      {"disconnect when not connected", [&] { return core_.disconnect(kClient, {handle_, kGuid}).status; }, {}, 0},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    ASSERT_EQ(s.act(), ERROR_SUCCESS);
    std::vector<Notification> ns = after(kAssociationMs + kKeyHandshakeMs);
    EXPECT_EQ(Codes(ns), s.codes);
    if (!ns.empty()) {
      ASSERT_TRUE(ns.back().connection);
      EXPECT_EQ(ns.back().connection->reasonCode, s.lastReason);
      EXPECT_EQ(ns.back().interfaceGuid, kGuid);
    }
  }
}

TEST_F(WlanServiceCoreTest, ConnectionCompletesWhenItsHandshakesAreDone) {
  ASSERT_EQ(setProfile(ProfileXml("Home", Psk("WPA2PSK", "AES", "home key 1"))), ERROR_SUCCESS);
  after(0);
  ASSERT_EQ(connect("Home"), ERROR_SUCCESS);
  EXPECT_EQ(Codes(after(kAssociationMs + kKeyHandshakeMs - 1)),
            std::vector<uint32_t>{wlan_notification_acm_connection_start});
  EXPECT_EQ(Codes(after(1)), std::vector<uint32_t>{wlan_notification_acm_connection_complete});
  // The strongest BSS of the network.
  QueryInterfaceResponse q = core_.queryInterface(kClient, {handle_, kGuid, wlan_intf_opcode_current_connection});
  ASSERT_EQ(q.status, ERROR_SUCCESS);
  EXPECT_EQ(q.result.connection.association.bssid, (MacAddress{2, 0, 0, 0, 0, 2}));
  EXPECT_EQ(q.result.connection.association.phyType, dot11_phy_type_ht);
  EXPECT_EQ(q.result.connection.profileName, "Home");
  EXPECT_EQ(q.result.connection.mode, wlan_connection_mode_profile);
  EXPECT_EQ(core_.queryInterface(kClient, {handle_, kGuid, wlan_intf_opcode_channel_number}).result.channel, 6u);
}

TEST_F(WlanServiceCoreTest, HiddenNetworkIsJoinedOnlyByANonBroadcastProfile) {
  struct Case {
    const char* name;
    bool nonBroadcast;
    uint32_t reason;
  };
  for (const Case& c : {Case{"broadcast profile", false, WLAN_REASON_CODE_NETWORK_NOT_AVAILABLE},
                        Case{"non-broadcast profile", true, WLAN_REASON_CODE_SUCCESS}}) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(setProfile(ProfileXml("Hidden", kOpen, c.nonBroadcast)), ERROR_SUCCESS);
    std::vector<Notification> ns = connectAndWait("Hidden");
    ASSERT_FALSE(ns.empty());
    ASSERT_TRUE(ns.back().connection);
    EXPECT_EQ(ns.back().connection->reasonCode, c.reason);
  }
  // A scan that probes for the name learns it.
  ASSERT_EQ(core_.scan(kClient, {handle_, kGuid, Ssid::FromText("Hidden"), {}}).status, ERROR_SUCCESS);
  after(kScanDurationMs);
  BssListResponse list = core_.getNetworkBssList(kClient, {handle_, kGuid, Ssid::FromText("Hidden"), dot11_BSS_type_infrastructure, false});
  ASSERT_EQ(list.entries.size(), 1u);
}

TEST_F(WlanServiceCoreTest, EnterpriseNetworkTakesTheStoredUserCredentials) {
  ASSERT_EQ(setProfile(ProfileXml("Corp", kPeap)), ERROR_SUCCESS);
  struct Case {
    const char* name;
    std::string credentials;
    uint32_t reason;
  };
  const Case cases[] = {
      {"no credentials", "", ONEX_REASON_CODE_IDENTITY_NOT_FOUND},
      {"wrong password", Credentials("alice", "nope"), ONEX_REASON_CODE_EAP_FAILURE_RECEIVED},
      {"right password", Credentials("alice", "Alice-1"), WLAN_REASON_CODE_SUCCESS},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(core_.setProfileEapXmlUserData(kClient, {handle_, kGuid, "Corp", 0, c.credentials}).status,
              ERROR_SUCCESS);
    std::vector<Notification> ns = connectAndWait("Corp");
    ASSERT_FALSE(ns.empty());
    ASSERT_TRUE(ns.back().connection);
    EXPECT_EQ(ns.back().code, wlan_notification_acm_connection_complete);
    EXPECT_EQ(ns.back().connection->reasonCode, c.reason) << ReasonCodeText(ns.back().connection->reasonCode);
  }
  EXPECT_EQ(core_.setProfileEapXmlUserData(kClient, {handle_, kGuid, "Corp", 0, "<broken"}).status, ERROR_BAD_PROFILE);
  EXPECT_EQ(core_.setProfileEapXmlUserData(kClient, {handle_, kGuid, "Nobody", 0, ""}).status, ERROR_NOT_FOUND);
}

TEST_F(WlanServiceCoreTest, DriverFollowsTheLink) {
  ASSERT_EQ(setProfile(ProfileXml("Home", Psk("WPA2PSK", "AES", "home key 1"))), ERROR_SUCCESS);
  EXPECT_EQ(extraInfo(), EXTRA_INFO_LINK_DOWN);
  connectAndWait("Home");
  test::DirectRequester driver(adapter_);
  EXPECT_EQ(extraInfo(), EXTRA_INFO_LINK_UP);
  NDIS_802_11_SSID ssid;
  ASSERT_TRUE(QuerySsid(driver, ssid));
  EXPECT_EQ(std::string(ssid.Ssid.begin(), ssid.Ssid.begin() + ssid.SsidLength), "Home");
  LinkStatus link;
  ASSERT_TRUE(QueryLinkStatus(driver, adapter_.spec().family, link));
  EXPECT_EQ(link.CurrentTxRate, 2u * 144u);  // 144.4 Mbit/s (two streams, short guard) in 500 kbit/s
  EXPECT_EQ(link.LinkQuality, 100u);        // -45 dBm
  uint32_t bytesBefore = link.RxByteCount;
  clock_.ms += 1000;
  ASSERT_TRUE(QueryLinkStatus(driver, adapter_.spec().family, link));
  EXPECT_EQ(link.RxByteCount - bytesBefore, kRxBytesPerSecond + kLinkRxBytesPerSecond);

  // Moving away: the driver's signal follows; removing the access point drops the link.
  ASSERT_TRUE(core_.moveAccessPoint({2, 0, 0, 0, 0, 2}, -80));
  int32_t rssi = 0;
  ASSERT_TRUE(QueryRssi0(driver, rssi));
  EXPECT_EQ(rssi, -80);
  ASSERT_TRUE(core_.removeAccessPoint({2, 0, 0, 0, 0, 2}));
  std::vector<Notification> ns = after(0);
  EXPECT_EQ(Codes(ns), std::vector<uint32_t>{wlan_notification_acm_disconnected});
  EXPECT_EQ(ns[0].connection->reasonCode, WLAN_REASON_CODE_NETWORK_NOT_AVAILABLE);
  EXPECT_EQ(extraInfo(), EXTRA_INFO_LINK_DOWN);
}

TEST_F(WlanServiceCoreTest, RadioOffDropsTheLinkAndRefusesScansAndConnections) {
  ASSERT_EQ(setProfile(ProfileXml("Open", kOpen)), ERROR_SUCCESS);
  connectAndWait("Open");
  QueryInterfaceResponse radio = core_.queryInterface(kClient, {handle_, kGuid, wlan_intf_opcode_radio_state});
  ASSERT_EQ(radio.result.radio.size(), 5u);  // DSSS, HR-DSSS, ERP, OFDM, HT
  for (uint32_t phy = 0; phy < radio.result.radio.size(); ++phy) {
    ASSERT_EQ(core_.setInterface(kClient, {handle_, kGuid, wlan_intf_opcode_radio_state,
                                           {phy, dot11_radio_state_off, dot11_radio_state_unknown}})
                  .status,
              ERROR_SUCCESS);
  }
  std::vector<Notification> ns = after(0);
  // The link goes with the last PHY; every PHY reports its change.
  std::vector<uint32_t> expected(4, wlan_notification_msm_radio_state_change);
  expected.push_back(wlan_notification_acm_disconnected);
  expected.push_back(wlan_notification_msm_radio_state_change);
  EXPECT_EQ(Codes(ns), expected);
  EXPECT_EQ(ns.back().radio->software, dot11_radio_state_off);
  EXPECT_EQ(extraInfo(), EXTRA_INFO_SW_RADIO_OFF);
  EXPECT_EQ(core_.scan(kClient, {handle_, kGuid, std::nullopt, {}}).status, ERROR_NDIS_DOT11_POWER_STATE_INVALID);
  EXPECT_EQ(connect("Open"), ERROR_NDIS_DOT11_POWER_STATE_INVALID);
  // The hardware state is the switch's.
  EXPECT_EQ(core_.setInterface(kClient, {handle_, kGuid, wlan_intf_opcode_radio_state,
                                         {0, dot11_radio_state_on, dot11_radio_state_off}})
                .status,
            ERROR_ACCESS_DENIED);
  ASSERT_TRUE(core_.setHardwareRadio("wlan0", false));
  EXPECT_EQ(extraInfo(), EXTRA_INFO_HW_RADIO_OFF);
}

TEST_F(WlanServiceCoreTest, DiagnosticTestRunsInTheIhvExtension) {
  auto request = [&](uint32_t code, const std::u16string& name) {
    std::vector<uint8_t> in(kIhvRequestSize, 0);
    in[0] = 0x00;
    in[1] = 0x40;
    in[2] = 0x96;
    in[3] = 0x01;
    in[4] = static_cast<uint8_t>(code);
    for (size_t i = 0; i < name.size(); ++i) {
      in[8 + 2 * i] = static_cast<uint8_t>(name[i]);
      in[9 + 2 * i] = static_cast<uint8_t>(name[i] >> 8);
    }
    return core_.ihvControl(kClient, {handle_, kGuid, wlan_ihv_control_type_service, in, 37});
  };
  auto events = [](const std::vector<Notification>& ns) {
    std::vector<uint32_t> codes;
    for (const Notification& n : ns) {
      EXPECT_EQ(n.source, WLAN_NOTIFICATION_SOURCE_IHV);
      EXPECT_EQ(n.data.size(), 4u);
      codes.push_back(n.data[0] | n.data[1] << 8 | n.data[2] << 16 | static_cast<uint32_t>(n.data[3]) << 24);
    }
    return codes;
  };
  ASSERT_EQ(setProfile(ProfileXml("Open", kOpen, false, kDiagnosticsIhv)), ERROR_SUCCESS);
  ASSERT_EQ(setProfile(ProfileXml("Home", Psk("WPA2PSK", "AES", "home key 1"))), ERROR_SUCCESS);
  after(0);

  IhvControlResponse r = request(kIhvRequestDiagnose, u"Open");
  ASSERT_EQ(r.status, ERROR_SUCCESS);
  EXPECT_EQ(r.out.size(), 37u);
  EXPECT_EQ(events(after(10000)),
            (std::vector<uint32_t>{kIhvEventDiagChannelConnected, 14, 15, 17, 21, 22, kIhvEventExitedDiagMode}));

  ASSERT_EQ(request(kIhvRequestDiagnose, u"Home").status, ERROR_SUCCESS);
  EXPECT_EQ(events(after(10000)), std::vector<uint32_t>{kIhvEventDiagChannelFailed});

  // Leaving diagnostic mode in the middle of a test ends it.
  ASSERT_EQ(request(kIhvRequestDiagnose, u"Open").status, ERROR_SUCCESS);
  EXPECT_EQ(events(after(500)), std::vector<uint32_t>{kIhvEventDiagChannelConnected});
  ASSERT_EQ(request(kIhvRequestNormalMode, u"").status, ERROR_SUCCESS);
  EXPECT_EQ(events(after(10000)), std::vector<uint32_t>{kIhvEventExitedDiagMode});

  EXPECT_EQ(request(7, u"").status, ERROR_NOT_SUPPORTED);
  std::vector<uint8_t> foreign(kIhvRequestSize, 0);
  EXPECT_EQ(core_.ihvControl(kClient, {handle_, kGuid, wlan_ihv_control_type_service, foreign, 0}).status,
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(core_.ihvControl(kClient, {handle_, kGuid, wlan_ihv_control_type_driver, foreign, 0}).status,
            ERROR_NOT_SUPPORTED);
}

TEST_F(WlanServiceCoreTest, ProfilesAreStoredListedAndDeleted) {
  const std::string home = ProfileXml("Home", Psk("WPA2PSK", "AES", "home key 1"));
  ASSERT_EQ(core_.setProfile(kClient, {handle_, kGuid, WLAN_PROFILE_USER, home, true}).status, ERROR_SUCCESS);
  ASSERT_EQ(setProfile(ProfileXml("Open", kOpen)), ERROR_SUCCESS);
  EXPECT_EQ(Codes(after(0)), std::vector<uint32_t>(2, wlan_notification_acm_profile_change));
  EXPECT_EQ(core_.setProfile(kClient, {handle_, kGuid, 0, home, false}).status, ERROR_ALREADY_EXISTS);
  EXPECT_EQ(core_.setProfile(kClient, {handle_, kGuid, WLAN_PROFILE_GROUP_POLICY, home, true}).status,
            ERROR_ACCESS_DENIED);
  ProfileListResponse list = core_.getProfileList(kClient, {handle_, kGuid});
  EXPECT_EQ(list.profiles, (std::vector<ProfileInfo>{{"Home", WLAN_PROFILE_USER}, {"Open", 0}}));
  GetProfileResponse got = core_.getProfile(kClient, {handle_, kGuid, "Home"});
  EXPECT_EQ(got.profileXml, home);
  EXPECT_EQ(got.flags, WLAN_PROFILE_USER);
  EXPECT_EQ(core_.getProfile(kClient, {handle_, kGuid, "home"}).status, ERROR_NOT_FOUND);
  EXPECT_EQ(core_.deleteProfile(kClient, {handle_, kGuid, "Home"}).status, ERROR_SUCCESS);
  EXPECT_EQ(core_.deleteProfile(kClient, {handle_, kGuid, "Home"}).status, ERROR_NOT_FOUND);
  EXPECT_EQ(core_.getProfileList(kClient, {handle_, kGuid}).profiles.size(), 1u);
  // Someone else's handle, an unknown interface.
  EXPECT_EQ(core_.getProfileList(kClient + 1, {handle_, kGuid}).status, ERROR_INVALID_HANDLE);
  EXPECT_EQ(core_.getProfileList(kClient, {handle_, Guid{}}).status, ERROR_NOT_FOUND);
  core_.clientGone(kClient);
  EXPECT_EQ(core_.getProfileList(kClient, {handle_, kGuid}).status, ERROR_INVALID_HANDLE);
}

TEST_F(WlanServiceCoreTest, AvailableNetworksShowProfilesAndTheConnection) {
  ASSERT_EQ(setProfile(ProfileXml("Home", Psk("WPA2PSK", "AES", "home key 1"))), ERROR_SUCCESS);
  ASSERT_EQ(core_.scan(kClient, {handle_, kGuid, std::nullopt, {}}).status, ERROR_SUCCESS);
  after(kScanDurationMs);
  connectAndWait("Home");
  AvailableNetworkListResponse list = core_.getAvailableNetworkList(kClient, {handle_, kGuid, 0});
  ASSERT_EQ(list.status, ERROR_SUCCESS);
  auto home = std::find_if(list.networks.begin(), list.networks.end(),
                           [](const AvailableNetwork& n) { return n.profileName == "Home"; });
  ASSERT_NE(home, list.networks.end());
  EXPECT_EQ(home->flags, WLAN_AVAILABLE_NETWORK_HAS_PROFILE | WLAN_AVAILABLE_NETWORK_CONNECTED);
  EXPECT_EQ(home->numberOfBssids, 2u);
  EXPECT_EQ(home->defaultAuth, DOT11_AUTH_ALGO_RSNA_PSK);
  // Every named network once without a profile; the hidden one has no name to list.
  size_t plain = std::count_if(list.networks.begin(), list.networks.end(),
                               [](const AvailableNetwork& n) { return n.profileName.empty(); });
  EXPECT_EQ(plain, 4u);  // Open, Home, Corp, Far5
}

TEST_F(WlanServiceCoreTest, UnpluggedAdapterTakesItsInterfaceAway) {
  core_.setInterfacePresent("wlan0", false);
  EXPECT_EQ(Codes(after(0)), std::vector<uint32_t>{wlan_notification_acm_interface_removal});
  EXPECT_TRUE(core_.enumInterfaces(kClient, {handle_}).interfaces.empty());
  EXPECT_EQ(core_.scan(kClient, {handle_, kGuid, std::nullopt, {}}).status, ERROR_NOT_FOUND);
  core_.setInterfacePresent("wlan0", true);
  EXPECT_EQ(Codes(after(0)), std::vector<uint32_t>{wlan_notification_acm_interface_arrival});
  EnumInterfacesResponse e = core_.enumInterfaces(kClient, {handle_});
  ASSERT_EQ(e.interfaces.size(), 1u);
  EXPECT_EQ(e.interfaces[0].description, "Test Adapter");
  EXPECT_EQ(e.interfaces[0].state, wlan_interface_state_disconnected);
}

TEST_F(WlanServiceCoreTest, ProfilesAndTheirCredentialsOutliveTheService) {
  ov::test::TempDir dir;
  core_.setProfileFolder(dir.path().string());
  ASSERT_EQ(setProfile(ProfileXml("Corp", kPeap)), ERROR_SUCCESS);
  ASSERT_EQ(core_.setProfileEapXmlUserData(kClient, {handle_, kGuid, "Corp", 0, Credentials("alice", "Alice-1")}).status,
            ERROR_SUCCESS);
  ASSERT_EQ(core_.setProfile(kClient, {handle_, kGuid, WLAN_PROFILE_USER, ProfileXml("Open", kOpen), true}).status,
            ERROR_SUCCESS);
  ASSERT_EQ(setProfile(ProfileXml("Home", Psk("WPA2PSK", "AES", "home key 1"))), ERROR_SUCCESS);
  ASSERT_EQ(core_.deleteProfile(kClient, {handle_, kGuid, "Home"}).status, ERROR_SUCCESS);

  // A new service on the same folder: the same list, and the stored credentials still work.
  WlanServiceCore again(clock_);
  again.addInterface(&adapter_);
  again.setProfileFolder(dir.path().string());
  for (const AccessPointSpec& ap : core_.accessPoints()) {
    std::string error;
    ASSERT_TRUE(again.addAccessPoint(ap, &error)) << error;
  }
  ClientHandle h = again.openHandle(kClient, {2}).handle;
  again.registerNotification(kClient, {h, WLAN_NOTIFICATION_SOURCE_ACM, false});
  EXPECT_EQ(again.getProfileList(kClient, {h, kGuid}).profiles,
            (std::vector<ProfileInfo>{{"Corp", 0}, {"Open", WLAN_PROFILE_USER}}));
  ConnectionParameters p;
  p.profile = "Corp";
  ASSERT_EQ(again.connect(kClient, {h, kGuid, p}).status, ERROR_SUCCESS);
  clock_.ms += 10000;
  again.advance();
  std::vector<OutgoingNotification> ns = again.takeNotifications();
  ASSERT_FALSE(ns.empty());
  EXPECT_EQ(ns.back().notification.code, wlan_notification_acm_connection_complete);
  EXPECT_EQ(ns.back().notification.connection->reasonCode, WLAN_REASON_CODE_SUCCESS);
}

TEST_F(WlanServiceCoreTest, DamagedProfileFilesGiveWhatIsSoundInThem) {
  ov::test::TempDir dir;
  std::string good = ProfileXml("Open", kOpen);
  std::string bad = "<WLANProfile/>";
  auto record = [](const std::string& xml) {
    return "profile 0 " + std::to_string(xml.size()) + " 0\n" + xml;
  };
  struct Case {
    const char* name;
    std::string content;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {"another format", "something else\n" + record(good), {}},
      {"a refused document among good ones", std::string("ovsimd-profiles 1\n") + record(bad) + record(good), {"Open"}},
      {"cut off in the middle", std::string("ovsimd-profiles 1\n") + record(good).substr(0, 40), {}},
      {"a length beyond the file", "ovsimd-profiles 1\nprofile 0 999999 0\n" + good, {}},
      {"flags the service never sets", "ovsimd-profiles 1\nprofile 1 " + std::to_string(good.size()) + " 0\n" + good, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ov::test::WriteFileBytes(dir.path() / "{0F5A51D0-0000-4000-8000-025A0F000601}.profiles", c.content);
    WlanServiceCore core(clock_);
    core.addInterface(&adapter_);
    core.setProfileFolder(dir.path().string());
    ClientHandle h = core.openHandle(kClient, {2}).handle;
    std::vector<std::string> names;
    for (const ProfileInfo& info : core.getProfileList(kClient, {h, kGuid}).profiles) names.push_back(info.name);
    EXPECT_EQ(names, c.names);
  }
}

TEST_F(WlanServiceCoreTest, MalformedRequestsAreRefused) {
  std::vector<uint8_t> answer;
  EXPECT_FALSE(core_.handleRequest(kClient, kScan, std::vector<uint8_t>{1, 2, 3}, &answer));
  EXPECT_FALSE(core_.handleRequest(kClient, 999, {}, &answer));
  EXPECT_FALSE(core_.handleRequest(kClient, kScan | kResponseBit, {}, &answer));
  ASSERT_TRUE(core_.handleRequest(kClient, kEnumInterfaces, EncodePayload(EnumInterfacesRequest{handle_}), &answer));
  EnumInterfacesResponse response;
  ASSERT_TRUE(DecodePayload(answer, &response));
  EXPECT_EQ(response.interfaces.size(), 1u);
}

}  // namespace
}  // namespace ov::sim
