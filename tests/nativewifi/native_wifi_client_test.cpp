// NativeWifiClient against a scripted wireless service and a recording driver: opening,
// notifications and the scan worker, profiles and connections, queries, IHV requests and the
// diagnostic texts.
#include <gtest/gtest.h>

#include "driver/oid/oid_constants.h"
#include "driver/oid/oid_requests.h"
#include "nativewifi/ihv_request.h"
#include "nativewifi/native_wifi_client.h"
#include "platform/time/monitor_messages.h"
#include "platform/time/virtual_clock.h"
#include "shell/native_wifi_connection.h"
#include "tests/nativewifi/fake_wlan_service.h"

namespace ov {
namespace {

using namespace ov::wlan;
using test::FakeWlanService;
using test::ManualLauncher;
using test::MessageInbox;
using test::RecordingDriver;

constexpr char kAdapter[] = "Orvane WXP4 Wireless LAN PCI Adapter";
const Guid kGuid = test::MakeGuid(1);

StationProfile Record(const std::string& ssid, int32_t authMode, int32_t cipherMode, uint32_t networkType = 1) {
  StationProfile r;
  r.ssid = MakeNdisSsid(ssid);
  r.networkType = networkType;
  r.authMode = authMode;
  r.cipherMode = cipherMode;
  return r;
}

StationProfile Peap(const std::string& user, const std::string& password) {
  StationProfile r = Record("Corp", kAuthWpa2, kCipherAes);
  r.use8021X = 1;
  r.authenProtocol = kEapPeap;
  r.tunnelProtocol = kInnerMsChapV2;
  r.identity = "anonymous";
  r.tunnelIdentity = user;
  r.tunnelPassword = password;
  return r;
}

std::string OwnProfileXml(const std::string& name, bool diagnostics = false) {
  return "<?xml version=\"1.0\"?><WLANProfile xmlns=\"http://www.microsoft.com/networking/WLAN/profile/v1\">"
         "<name>" + name + "</name><IHV><connectivity><CCX xmlns=\"http://www.cisco.com/CCX\"><OrvaneProfile/>" +
         (diagnostics ? "<Diagnostics><AuthorizedProfile>true</AuthorizedProfile></Diagnostics>" : "") +
         "</CCX></connectivity></IHV></WLANProfile>";
}

std::string ForeignProfileXml(const std::string& name) {
  return "<?xml version=\"1.0\"?><WLANProfile xmlns=\"http://www.microsoft.com/networking/WLAN/profile/v1\">"
         "<name>" + name + "</name><SSIDConfig><SSID><name>" + name + "</name></SSID></SSIDConfig></WLANProfile>";
}

class NativeWifiClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    service->interfaces = {{test::MakeGuid(9), "Another Adapter", wlan_interface_state_connected},
                           {kGuid, kAdapter, wlan_interface_state_disconnected}};
  }

  NativeWifiClientServices services() {
    NativeWifiClientServices s;
    s.service = service;
    s.driver = &driver;
    s.timers = &clock;
    s.addressRenewal = renewal;
    s.startWorker = launcher.launcher();
    return s;
  }
  NativeWifiClient& open(bool allUsers = false) {
    client = std::make_unique<NativeWifiClient>(services());
    EXPECT_EQ(client->Open(kAdapter, MessageTarget(inbox), allUsers), ERROR_SUCCESS);
    return *client;
  }

  struct CountingRenewal : AddressRenewal {
    void RenewAddress() override { ++count; }
    int count = 0;
  };

  std::shared_ptr<FakeWlanService> service = std::make_shared<FakeWlanService>();
  RecordingDriver driver;
  VirtualClock clock;
  std::shared_ptr<CountingRenewal> renewal = std::make_shared<CountingRenewal>();
  ManualLauncher launcher;
  std::shared_ptr<MessageInbox> inbox = std::make_shared<MessageInbox>();
  std::unique_ptr<NativeWifiClient> client;
};

// ---- Opening ----

TEST_F(NativeWifiClientTest, OpenMatchesTheInterfaceByItsExactDescription) {
  const struct {
    const char* name;
    std::string deviceName;
    bool matched;
  } cases[] = {
      {"exact", kAdapter, true},
      {"other letter case", "orvane wxp4 wireless lan pci adapter", false},
      {"prefix", "Orvane WXP4", false},
      {"trailing blank", std::string(kAdapter) + " ", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    NativeWifiClient client(services());
    EXPECT_EQ(client.Open(c.deviceName, MessageTarget(inbox), false), ERROR_SUCCESS);
    EXPECT_TRUE(client.InterfaceFound());
    EXPECT_EQ(client.InterfaceMatched(), c.matched);
    EXPECT_EQ(client.Interface().guid, c.matched ? kGuid : Guid{});
  }
}

TEST_F(NativeWifiClientTest, OpenRegistersForAcmMsmAndIhvAndReopeningClosesTheOldHandle) {
  NativeWifiClient& c = open();
  EXPECT_EQ(service->registeredMask, 0x58u);
  EXPECT_TRUE(service->registeredIgnoreDuplicate);
  EXPECT_TRUE(c.IsOpen());
  const ClientHandle first = service->nextHandle - 1;
  EXPECT_EQ(c.Open(kAdapter, MessageTarget(inbox), false), ERROR_SUCCESS);
  EXPECT_EQ(service->closed, std::vector<ClientHandle>{first});
  c.Close();
  EXPECT_FALSE(c.IsOpen());
  EXPECT_EQ(service->closed.size(), 2u);
  EXPECT_FALSE(service->callback);
}

TEST_F(NativeWifiClientTest, AFailedEnumerationOrHandleIsReported) {
  service->enumStatus = ERROR_SERVICE_NOT_ACTIVE;
  NativeWifiClient c(services());
  EXPECT_EQ(c.Open(kAdapter, MessageTarget(inbox), false), ERROR_SERVICE_NOT_ACTIVE);
  EXPECT_FALSE(c.InterfaceFound());
  EXPECT_FALSE(c.InterfaceMatched());
  service->enumStatus = ERROR_SUCCESS;
  service->openStatus = ERROR_SERVICE_NOT_ACTIVE;
  EXPECT_EQ(c.Open(kAdapter, MessageTarget(inbox), false), ERROR_SERVICE_NOT_ACTIVE);
  EXPECT_FALSE(c.IsOpen());
  EXPECT_EQ(c.Scan(), ERROR_INVALID_HANDLE);
}

// ---- Notifications and the scan worker ----

Notification ScanComplete(const Guid& guid = kGuid) {
  Notification n;
  n.source = WLAN_NOTIFICATION_SOURCE_ACM;
  n.code = wlan_notification_acm_scan_complete;
  n.interfaceGuid = guid;
  return n;
}

TEST_F(NativeWifiClientTest, NotificationsBecomeTheMonitorsMessages) {
  open();
  Notification disconnected;
  disconnected.source = WLAN_NOTIFICATION_SOURCE_ACM;
  disconnected.code = wlan_notification_acm_disconnected;
  disconnected.interfaceGuid = kGuid;
  service->notify(disconnected);
  disconnected.interfaceGuid = test::MakeGuid(9);
  service->notify(disconnected);
  EXPECT_EQ(inbox->drain(), (std::vector<Message>{{WM_MON_DISCONNECTED, 0, 0}}));
}

TEST_F(NativeWifiClientTest, ScanCompleteRunsOneScanWorkerAtATime) {
  NativeWifiClient& c = open();
  BssEntry bss;
  bss.ssid = Ssid::FromText("Cafe");
  bss.bssid = {2, 0, 0, 0, 0, 1};
  bss.centerFrequencyKHz = 2412000;
  service->bss = {bss};
  AvailableNetwork network;
  network.ssid = bss.ssid;
  service->networks = {network};

  service->notify(ScanComplete());
  service->notify(ScanComplete());  // dropped: the first worker has not finished
  EXPECT_EQ(launcher.pending(), 1u);
  std::vector<uint8_t> monitorList(kBssidListBufferSize);
  EXPECT_FALSE(c.CopyScanList(monitorList)) << "a list before the worker ran";
  launcher.runAll();
  EXPECT_EQ(inbox->drain(), (std::vector<Message>{{WM_MON_SCAN_DONE, 0, 0}}));
  ASSERT_TRUE(c.CopyScanList(monitorList));
  ASSERT_EQ(BssidListEntries(monitorList).size(), 1u);

  // Once the worker has posted, the next scan starts a new one.
  service->notify(ScanComplete());
  EXPECT_EQ(launcher.pending(), 1u);
  launcher.runAll();
  EXPECT_EQ(inbox->drain().size(), 1u);
}

TEST_F(NativeWifiClientTest, AScanWorkerOutlivesItsClient) {
  open();
  service->notify(ScanComplete());
  client.reset();
  service.reset();  // the worker holds only what it needs; the service went away with the client
  launcher.runAll();
  EXPECT_EQ(inbox->drain(), (std::vector<Message>{{WM_MON_SCAN_DONE, 0, 0}}));
}

// ---- Profiles and connections ----

TEST_F(NativeWifiClientTest, SetProfileAndConnectChoosesWhoseProfileItIs) {
  const uint32_t kUser = WLAN_PROFILE_USER;
  const struct {
    const char* name;
    bool allUsersClient;
    StationProfile record;
    uint32_t flags;
  } cases[] = {
      {"per-user data folder", false, Record("Cafe", kAuthOpen, kCipherNone), kUser},
      {"shared data folder", true, Record("Cafe", kAuthOpen, kCipherNone), 0},
      {"diagnostic profile", false, [] { auto r = Record("Cafe", kAuthOpen, kCipherNone); r.useDiagnostic = 1; return r; }(), 0},
      {"802.1X with single sign-on", false, [] { auto r = Peap("alice", "pw"); r.ssoFlags = kSsoEnabled; return r; }(), 0},
      {"802.1X without single sign-on", false, [] { auto r = Peap("alice", "pw"); r.ssoFlags = kSsoAfterLogon; return r; }(), kUser},
      {"single sign-on bit without 802.1X", false, [] { auto r = Record("Cafe", kAuthOpen, kCipherNone); r.ssoFlags = kSsoEnabled; return r; }(), kUser},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    service->setProfiles.clear();
    NativeWifiClient& client = open(c.allUsersClient);
    EXPECT_EQ(client.SetProfileAndConnect(c.record, false, nullptr), ERROR_SUCCESS);
    ASSERT_EQ(service->setProfiles.size(), 1u);
    EXPECT_EQ(service->setProfiles[0].flags, c.flags);
    EXPECT_TRUE(service->setProfiles[0].overwrite);
  }
}

TEST_F(NativeWifiClientTest, SetProfileAndConnectDeletesStoresSetsCredentialsAndConnects) {
  NativeWifiClient& c = open();
  service->profiles = {{"Corp", ForeignProfileXml("Corp"), 0}};
  service->calls.clear();
  EXPECT_EQ(c.SetProfileAndConnect(Peap("alice", "Alice-Pass-1"), true, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(service->calls, (std::vector<std::string>{"DeleteProfile Corp", "SetProfile",
                                                      "SetProfileEapXmlUserData", "Connect"}));
  ASSERT_EQ(service->eapUserData.size(), 1u);
  EXPECT_EQ(service->eapUserData[0].first, "Corp");
  EXPECT_NE(service->eapUserData[0].second.find("alice"), std::string::npos);
  ASSERT_EQ(service->connects.size(), 1u);
  const ConnectionParameters& p = service->connects[0];
  EXPECT_EQ(p.mode, wlan_connection_mode_profile);
  EXPECT_EQ(p.profile, "Corp");
  EXPECT_EQ(p.bssType, dot11_BSS_type_infrastructure);
  EXPECT_EQ(p.flags, WLAN_CONNECTION_ADHOC_JOIN_ONLY);
  EXPECT_TRUE(p.desiredBssids.empty());
}

TEST_F(NativeWifiClientTest, UserCredentialsOnlyFor8021XWithoutSmartCardAndWithADocument) {
  const struct {
    const char* name;
    StationProfile record;
    bool userData;
  } cases[] = {
      {"PEAP with a password", Peap("alice", "pw"), true},
      {"PEAP with a smart card", [] { auto r = Peap("alice", "pw"); r.useSmartCard = 1; return r; }(), false},
      {"802.1X whose method has no credentials document",
       [] { auto r = Record("Corp", kAuthWpa2, kCipherAes); r.use8021X = 1; r.authenProtocol = kEapFast; return r; }(), false},
      {"WPA2-PSK", [] { auto r = Record("Home", kAuthWpa2Psk, kCipherAes); r.psk = "home passphrase"; return r; }(), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    service->eapUserData.clear();
    NativeWifiClient& client = open();
    client.SetProfileAndConnect(c.record, false, nullptr);
    EXPECT_EQ(service->eapUserData.size(), c.userData ? 1u : 0u);
  }
}

TEST_F(NativeWifiClientTest, ARefusedProfileIsReportedAndTheFailedConnectTellsTheMonitor) {
  NativeWifiClient& c = open();
  service->setProfileStatus = ERROR_BAD_PROFILE;
  service->connectStatus = ERROR_NOT_FOUND;
  EXPECT_EQ(c.SetProfileAndConnect(Record("Cafe", kAuthOpen, kCipherNone), false, nullptr), ERROR_BAD_PROFILE);
  EXPECT_EQ(inbox->drain(), (std::vector<Message>{{WM_MON_CONNECT_FAILED, 0, 0}}));
}

TEST_F(NativeWifiClientTest, ConnectInItsFourModes) {
  const Ssid kSsid = Ssid::FromText("Cafe");
  const struct {
    const char* name;
    uint32_t mode;
    ConnectFlags flags;
    ConnectionMode expectedMode;
    std::string profile;
    std::optional<Ssid> ssid;
    uint32_t expectedFlags;
  } cases[] = {
      {"profile", kConnectProfile, {}, wlan_connection_mode_profile, "Cafe", std::nullopt, 0},
      {"profile, join only", kConnectProfile, {true, false}, wlan_connection_mode_profile, "Cafe", std::nullopt, 2},
      {"profile ignores hidden", kConnectProfile, {false, true}, wlan_connection_mode_profile, "Cafe", std::nullopt, 0},
      {"temporary", kConnectTemporaryProfile, {true, false}, wlan_connection_mode_temporary_profile, "<WLANProfile/>",
       std::nullopt, 2},
      {"discovery secure", kConnectDiscoverySecure, {}, wlan_connection_mode_discovery_secure, "", kSsid, 0},
      {"discovery secure ignores hidden", kConnectDiscoverySecure, {false, true},
       wlan_connection_mode_discovery_secure, "", kSsid, 0},
      {"discovery unsecure", kConnectDiscoveryUnsecure, {true, false}, wlan_connection_mode_discovery_unsecure, "",
       kSsid, 2},
      {"discovery unsecure, hidden", kConnectDiscoveryUnsecure, {true, true},
       wlan_connection_mode_discovery_unsecure, "", kSsid, 1},
  };
  NativeWifiClient& c = open();
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    service->connects.clear();
    const std::string given = row.mode == kConnectTemporaryProfile ? "<WLANProfile/>" : "Cafe";
    EXPECT_EQ(c.Connect(row.mode, given, dot11_BSS_type_independent, kSsid, row.flags), ERROR_SUCCESS);
    ASSERT_EQ(service->connects.size(), 1u);
    const ConnectionParameters& p = service->connects[0];
    EXPECT_EQ(p.mode, row.expectedMode);
    EXPECT_EQ(p.profile, row.profile);
    EXPECT_EQ(p.ssid, row.ssid);
    EXPECT_EQ(p.flags, row.expectedFlags);
    EXPECT_EQ(p.bssType, dot11_BSS_type_independent);
    EXPECT_TRUE(p.desiredBssids.empty());
  }
  EXPECT_TRUE(inbox->drain().empty());
}

TEST_F(NativeWifiClientTest, AFailedConnectPostsConnectFailed) {
  NativeWifiClient& c = open();
  service->connectStatus = ERROR_NDIS_DOT11_POWER_STATE_INVALID;
  EXPECT_EQ(c.Connect(kConnectProfile, "Cafe", 1, {}, {}), ERROR_NDIS_DOT11_POWER_STATE_INVALID);
  EXPECT_EQ(c.Connect(7, "Cafe", 1, {}, {}), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(inbox->drain(), (std::vector<Message>{{WM_MON_CONNECT_FAILED, 0, 0}, {WM_MON_CONNECT_FAILED, 0, 0}}));
}

struct ApplyCase {
  const char* name;
  uint32_t force;
  StationProfile record;
  std::vector<uint32_t> oids;
};

TEST_F(NativeWifiClientTest, ApplyProfileSendsThePerConnectionOidsThenConnects) {
  NDIS_802_11_CONFIGURATION config;
  config.Length = 32;
  config.BeaconPeriod = 100;
  config.DSConfig = 2412000;
  const auto configBytes = EncodeNdisConfiguration(config);
  driver.answers[OID_VND_CONFIGURATION.query] = {configBytes.begin(), configBytes.end()};

  auto infra = [] {
    auto r = Record("Home", kAuthWpa2Psk, kCipherAes);
    r.psk = "home passphrase";
    r.preambleType = 0;
    r.txPowerLevel = 2;
    return r;
  };
  auto adhoc = [] {
    auto r = Record("Cell", kAuthOpen, kCipherNone, 0);
    r.preambleType = 1;
    r.channelFrequency = 2462000;
    r.txPowerLevel = 1;
    return r;
  };
  const uint32_t flag = OID_VND_CONNECT_FLAG.set, preamble = OID_VND_PREAMBLE.set,
                 bssid = OID_DOT11_DESIRED_BSSID_LIST, configuration = OID_VND_CONFIGURATION.set,
                 power = OID_VND_TX_POWER.set;
  const ApplyCase cases[] = {
      {"infrastructure", 0, infra(), {flag, preamble, power}},
      {"infrastructure, forced", 1, infra(), {flag, preamble, configuration, power}},
      {"infrastructure with a BSSID", 0, [&] { auto r = infra(); r.useBssid = 1; r.bssid = {2, 1, 2, 3, 4, 5}; return r; }(),
       {flag, preamble, bssid, power}},
      {"ad hoc", 0, adhoc(), {flag, preamble, configuration, power}},
  };
  for (const ApplyCase& c : cases) {
    SCOPED_TRACE(c.name);
    driver.sets.clear();
    service->connects.clear();
    service->profiles = {{"Old own", OwnProfileXml("Old own"), 0}, {"Foreign", ForeignProfileXml("Foreign"), 0}};
    StationProfile record = c.record;
    NativeWifiClient& client = open();
    EXPECT_TRUE(client.ApplyProfile(c.force, record, false, nullptr));
    EXPECT_EQ(driver.oids(), c.oids);
    EXPECT_EQ(driver.sets[0].u32(), c.force);
    const uint32_t expectedPreamble = record.networkType == 1 ? 2 : c.record.preambleType;
    EXPECT_EQ(record.preambleType, expectedPreamble);
    EXPECT_EQ(driver.sets[1].u32(), expectedPreamble);
    EXPECT_EQ(driver.sets.back().u32(), static_cast<uint32_t>(TxPowerForLevel(static_cast<int32_t>(c.record.txPowerLevel))));
    for (const auto& set : driver.sets) {
      if (set.oid == configuration) {
        NDIS_802_11_CONFIGURATION sent;
        ASSERT_TRUE(DecodeNdisConfiguration(set.data, sent));
        EXPECT_EQ(sent.DSConfig, c.record.channelFrequency);
        EXPECT_EQ(sent.BeaconPeriod, 100u) << "the rest of the configuration goes back as read";
      }
      if (set.oid == bssid) {
        DOT11_BSSID_LIST list;
        ASSERT_TRUE(DecodeDot11BssidList(set.data, list));
        EXPECT_EQ(list.BSSIDs, c.record.bssid);
      }
    }
    // Its own old profiles went, the foreign one stayed; then the new one was stored and used.
    ASSERT_EQ(service->profiles.size(), 1u);
    EXPECT_EQ(service->profiles[0].name, "Foreign");
    ASSERT_EQ(service->connects.size(), 1u);
    EXPECT_EQ(service->connects[0].profile, NdisSsidText(c.record.ssid));
    EXPECT_EQ(service->connects[0].bssType, record.networkType == 1 ? dot11_BSS_type_infrastructure
                                                                    : dot11_BSS_type_independent);
    EXPECT_TRUE(client.DeferredSettingsPending());
  }
}

TEST_F(NativeWifiClientTest, DeferredSettingsAfterTheConnectionCompletes) {
  const struct {
    const char* name;
    uint32_t networkType;
    uint32_t powerSave;
    uintptr_t wParam;
    bool applyFirst;
    std::vector<uint32_t> oids;
    uint32_t level;
  } cases[] = {
      {"infrastructure from a profile", 1, 1, 1, true,
       {OID_DOT11_POWER_MGMT_REQUEST, OID_DOT11_RTS_THRESHOLD, OID_DOT11_FRAGMENTATION_THRESHOLD}, 16},
      {"fast power saving", 1, 2, 1, true,
       {OID_DOT11_POWER_MGMT_REQUEST, OID_DOT11_RTS_THRESHOLD, OID_DOT11_FRAGMENTATION_THRESHOLD}, 8},
      {"maximum power saving, not from a profile", 1, 3, 0, true, {OID_DOT11_POWER_MGMT_REQUEST}, 24},
      {"no power saving", 1, 0, 1, true,
       {OID_DOT11_POWER_MGMT_REQUEST, OID_DOT11_RTS_THRESHOLD, OID_DOT11_FRAGMENTATION_THRESHOLD}, 0},
      {"an unknown code saves nothing", 1, 9, 0, true, {OID_DOT11_POWER_MGMT_REQUEST}, 0},
      {"ad hoc from a profile", 0, 1, 1, true, {OID_DOT11_RTS_THRESHOLD, OID_DOT11_FRAGMENTATION_THRESHOLD}, 0},
      {"nothing pending", 0, 1, 1, false, {}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    NativeWifiClient& client = open();
    if (c.applyFirst) {
      StationProfile r = Record("Home", kAuthOpen, kCipherNone, c.networkType);
      r.powerSave = c.powerSave;
      r.rtsThreshold = 2000;
      r.fragThreshold = 1800;
      client.ApplyProfile(0, r, false, nullptr);
    }
    driver.sets.clear();
    client.ApplyDeferredSettings(c.wParam);
    EXPECT_EQ(driver.oids(), c.oids);
    for (const auto& set : driver.sets) {
      const uint32_t expected = set.oid == OID_DOT11_POWER_MGMT_REQUEST ? c.level
                                : set.oid == OID_DOT11_RTS_THRESHOLD ? 2000u
                                                                     : 1800u;
      EXPECT_EQ(set.u32(), expected) << set.oid;
    }
    EXPECT_FALSE(client.DeferredSettingsPending());
    // The thresholds go once; the power saving of an infrastructure profile at every completion.
    driver.sets.clear();
    client.ApplyDeferredSettings(1);
    EXPECT_EQ(driver.oids().size(), c.applyFirst && c.networkType == 1 ? 1u : 0u);
  }
}

TEST_F(NativeWifiClientTest, TheActionQueueReachesTheClientThroughItsConnectionClient) {
  NativeWifiConnectionClient queueSide(open());
  EXPECT_TRUE(queueSide.Scan());
  service->scanStatus = ERROR_NDIS_DOT11_POWER_STATE_INVALID;
  EXPECT_FALSE(queueSide.Scan()) << "a refused scan sends no completion, so the queue must know";
  EXPECT_FALSE(queueSide.IsConnected());
  StationProfile record = Record("Home", kAuthOpen, kCipherNone);
  EXPECT_TRUE(queueSide.ApplyProfile(1, record, false, nullptr));
  EXPECT_EQ(record.preambleType, 2u);
  EXPECT_EQ(driver.sets.at(0).u32(), 1u);
  service->connectStatus = ERROR_NOT_FOUND;
  EXPECT_FALSE(queueSide.ApplyProfile(0, record, false, nullptr));
}

// ---- Service profiles ----

TEST(ProfileXmlHasNode, FindsThePathsOnlyInWellFormedDocuments) {
  const struct {
    const char* name;
    std::string xml;
    bool own;
    bool diagnostics;
  } cases[] = {
      {"own profile", OwnProfileXml("a"), true, false},
      {"own with diagnostics", OwnProfileXml("a", true), true, true},
      {"foreign", ForeignProfileXml("a"), false, false},
      {"not XML", "<WLANProfile><IHV>", false, false},
      {"empty", "", false, false},
      {"marker in another place",
       "<WLANProfile><IHV><CCX><OrvaneProfile/></CCX></IHV></WLANProfile>", false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ProfileXmlHasNode(c.xml, kOwnProfileNodePath), c.own);
    EXPECT_EQ(ProfileXmlHasNode(c.xml, kDiagnosticsNodePath), c.diagnostics);
  }
  EXPECT_FALSE(ProfileXmlHasNode(OwnProfileXml("a"), "/WLANProfile[")) << "a malformed path";
}

TEST_F(NativeWifiClientTest, ProfileOperations) {
  NativeWifiClient& c = open();
  service->profiles = {{"Own", OwnProfileXml("Own"), 0},
                       {"Diag", OwnProfileXml("Diag", true), 0},
                       {"Foreign", ForeignProfileXml("Foreign"), 2},
                       {std::string(39, 'L'), ForeignProfileXml("L"), 0},
                       {"Broken", "<WLANProfile", 0}};
  EXPECT_TRUE(c.IsOwnProfile("Own"));
  EXPECT_FALSE(c.IsOwnProfile("Foreign"));
  EXPECT_FALSE(c.IsOwnProfile("Broken"));
  EXPECT_FALSE(c.IsOwnProfile("Missing"));
  EXPECT_TRUE(c.HasDiagnosticsSection("Diag"));
  EXPECT_FALSE(c.HasDiagnosticsSection("Own"));
  // Names compare whole and exactly.
  EXPECT_TRUE(c.ServiceProfileExists("Foreign"));
  EXPECT_FALSE(c.ServiceProfileExists("foreign"));
  EXPECT_FALSE(c.ServiceProfileExists("Fore"));
  EXPECT_TRUE(c.ServiceProfileExists(std::string(39, 'L')));
  EXPECT_FALSE(c.ServiceProfileExists(std::string(40, 'L'))) << "a longer name is another name";
  std::string xml;
  EXPECT_EQ(c.GetServiceProfileXml("Foreign", &xml), ERROR_SUCCESS);
  EXPECT_EQ(xml, ForeignProfileXml("Foreign"));

  EXPECT_EQ(c.DeleteOwnProfiles(), 2u);
  EXPECT_EQ(c.DeleteServiceProfile("Missing"), ERROR_NOT_FOUND);
  EXPECT_FALSE(c.ServiceProfileExists("Own"));
  EXPECT_TRUE(c.ServiceProfileExists("Broken"));
  EXPECT_EQ(c.DeleteAllProfiles(), 3u);
  EXPECT_TRUE(service->profiles.empty());
}

// ---- Interface queries ----

TEST_F(NativeWifiClientTest, QueriesReadTheCurrentConnection) {
  NativeWifiClient& c = open();
  InterfaceQueryResult state;
  state.state = wlan_interface_state_connected;
  service->queryAnswers[wlan_intf_opcode_interface_state] = state;
  InterfaceQueryResult connection;
  connection.connection.state = wlan_interface_state_connected;
  connection.connection.mode = wlan_connection_mode_discovery_secure;
  connection.connection.profileName = "Home";
  connection.connection.association.ssid = Ssid::FromText("Home");
  connection.connection.association.bssid = {2, 9, 8, 7, 6, 5};
  connection.connection.association.bssType = dot11_BSS_type_independent;
  connection.connection.security.authAlgorithm = DOT11_AUTH_ALGO_RSNA_PSK;
  connection.connection.security.cipherAlgorithm = DOT11_CIPHER_ALGO_CCMP;
  service->queryAnswers[wlan_intf_opcode_current_connection] = connection;
  InterfaceQueryResult channel;
  channel.channel = 11;
  service->queryAnswers[wlan_intf_opcode_channel_number] = channel;

  EXPECT_TRUE(c.IsConnected());
  NDIS_802_11_SSID ssid;
  EXPECT_TRUE(c.GetCurrentSsid(ssid));
  EXPECT_EQ(NdisSsidText(ssid), "Home");
  MacAddress bssid{};
  EXPECT_TRUE(c.GetCurrentBssid(bssid));
  EXPECT_EQ(bssid, (MacAddress{2, 9, 8, 7, 6, 5}));
  uint32_t value = 0;
  EXPECT_TRUE(c.GetAuthAlgorithm(value));
  EXPECT_EQ(value, DOT11_AUTH_ALGO_RSNA_PSK);
  EXPECT_TRUE(c.GetCipherAlgorithm(value));
  EXPECT_EQ(value, DOT11_CIPHER_ALGO_CCMP);
  EXPECT_TRUE(c.GetBssType(value));
  EXPECT_EQ(value, dot11_BSS_type_independent);
  EXPECT_FALSE(c.IsInfrastructure());
  EXPECT_TRUE(c.GetConnectionMode(value));
  EXPECT_EQ(value, wlan_connection_mode_discovery_secure);
  std::string name;
  EXPECT_TRUE(c.GetProfileName(name));
  EXPECT_EQ(name, "Home");
  EXPECT_TRUE(c.GetChannel(value));
  EXPECT_EQ(value, 11u);

  for (BssType type : {dot11_BSS_type_infrastructure, dot11_BSS_type_any}) {
    service->queryAnswers[wlan_intf_opcode_current_connection].connection.association.bssType = type;
    EXPECT_TRUE(c.IsInfrastructure()) << type;
  }
}

TEST_F(NativeWifiClientTest, FailedQueriesLeaveTheDefaults) {
  NativeWifiClient& c = open();  // the service answers every query with "not connected"
  EXPECT_FALSE(c.IsConnected());
  NDIS_802_11_SSID ssid = MakeNdisSsid("stale");
  EXPECT_FALSE(c.GetCurrentSsid(ssid));
  EXPECT_EQ(ssid.SsidLength, 0u);
  MacAddress bssid{1, 1, 1, 1, 1, 1};
  EXPECT_FALSE(c.GetCurrentBssid(bssid));
  EXPECT_EQ(bssid, MacAddress{});
  uint32_t channel = 5;
  EXPECT_FALSE(c.GetChannel(channel));
  EXPECT_EQ(channel, 0u);
  bool software = true, hardware = false;
  EXPECT_FALSE(c.GetRadioState(software, hardware));
  EXPECT_FALSE(software);
  EXPECT_TRUE(hardware);
  EXPECT_FALSE(c.IsInfrastructure());
  EXPECT_FALSE(c.SupportsAdhocWpa2Psk());
}

TEST_F(NativeWifiClientTest, RadioStateIsDecidedByTheFirstPhyThatSaysSomething) {
  using P = PhyRadioState;
  const RadioState kOn = dot11_radio_state_on, kOff = dot11_radio_state_off, kUnknown = dot11_radio_state_unknown;
  const struct {
    const char* name;
    std::vector<PhyRadioState> phys;
    bool software;
    bool hardware;
  } cases[] = {
      {"no PHY", {}, false, true},
      {"on and on", {P{0, kOn, kOn}}, true, true},
      {"software off on every PHY", {P{0, kOff, kOn}, P{1, kOff, kOn}}, false, true},
      {"software unknown", {P{0, kUnknown, kOn}, P{1, kOn, kOn}}, true, false},
      {"hardware switch off", {P{0, kOn, kOff}}, false, false},
      {"off PHYs are skipped until one is on", {P{0, kOff, kOn}, P{1, kOn, kOn}}, true, true},
      {"off PHYs are skipped until the switch is seen", {P{0, kOff, kOn}, P{1, kOff, kOff}}, false, false},
  };
  NativeWifiClient& c = open();
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    InterfaceQueryResult q;
    q.radio = row.phys;
    service->queryAnswers[wlan_intf_opcode_radio_state] = q;
    bool software = !row.software, hardware = !row.hardware;
    EXPECT_TRUE(c.GetRadioState(software, hardware));
    EXPECT_EQ(software, row.software);
    EXPECT_EQ(hardware, row.hardware);
  }
}

TEST_F(NativeWifiClientTest, SoftwareRadioIsSetOnEveryPhyKeepingTheSwitchState) {
  NativeWifiClient& c = open();
  InterfaceQueryResult q;
  q.radio = {{0, dot11_radio_state_on, dot11_radio_state_on}, {1, dot11_radio_state_on, dot11_radio_state_off}};
  service->queryAnswers[wlan_intf_opcode_radio_state] = q;
  EXPECT_TRUE(c.SetSoftwareRadio(false));
  EXPECT_EQ(service->radioSets, (std::vector<PhyRadioState>{{0, dot11_radio_state_off, dot11_radio_state_on},
                                                            {1, dot11_radio_state_off, dot11_radio_state_off}}));
  service->setInterfaceStatus = ERROR_ACCESS_DENIED;
  EXPECT_FALSE(c.SetSoftwareRadio(true));
}

TEST_F(NativeWifiClientTest, AdhocWpa2PskNeedsTheRsnaPskCcmpPair) {
  const struct {
    const char* name;
    std::vector<AuthCipherPair> pairs;
    bool supported;
  } cases[] = {
      {"listed", {{DOT11_AUTH_ALGO_80211_OPEN, DOT11_CIPHER_ALGO_NONE}, {DOT11_AUTH_ALGO_RSNA_PSK, DOT11_CIPHER_ALGO_CCMP}}, true},
      {"only with TKIP", {{DOT11_AUTH_ALGO_RSNA_PSK, DOT11_CIPHER_ALGO_TKIP}}, false},
      {"CCMP with another authentication", {{DOT11_AUTH_ALGO_WPA_PSK, DOT11_CIPHER_ALGO_CCMP}}, false},
  };
  NativeWifiClient& c = open();
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    InterfaceQueryResult q;
    q.pairs = row.pairs;
    service->queryAnswers[wlan_intf_opcode_supported_adhoc_auth_cipher_pairs] = q;
    EXPECT_EQ(c.SupportsAdhocWpa2Psk(), row.supported);
  }
}

// ---- The IHV extension ----

TEST(IhvRequest, Layout) {
  const auto enable = EncodeIhvRequest(kIhvRequestNormalMode);
  ASSERT_TRUE(enable);
  IhvRequest expected{};
  expected[1] = 0x40;
  expected[2] = 0x96;
  expected[3] = 0x01;
  expected[4] = 0x01;
  EXPECT_EQ(*enable, expected);

  const auto diagnose = EncodeIhvRequest(kIhvRequestDiagnose, "Caf\xC3\xA9 \xF0\x9F\x93\xB6");
  ASSERT_TRUE(diagnose);
  const std::vector<uint8_t> name(diagnose->begin() + 8, diagnose->begin() + 24);
  EXPECT_EQ(name, (std::vector<uint8_t>{'C', 0, 'a', 0, 'f', 0, 0xE9, 0, ' ', 0, 0x3D, 0xD8, 0xF6, 0xDC, 0, 0}));
  EXPECT_EQ((*diagnose)[4], 0);
  EXPECT_TRUE(std::all_of(diagnose->begin() + 24, diagnose->end(), [](uint8_t b) { return b == 0; }));

  EXPECT_TRUE(EncodeIhvRequest(kIhvRequestDiagnose, std::string(127, 'n')));
  EXPECT_FALSE(EncodeIhvRequest(kIhvRequestDiagnose, std::string(128, 'n'))) << "a cut name names another profile";
  // A name with bytes that are not UTF-8 carries them as Latin-1, as the profile documents do.
  EXPECT_EQ(Utf8ToUtf16("A\xFF"), (std::u16string{u'A', u'\u00FF'}));
}

TEST_F(NativeWifiClientTest, CcxRequestsGoToTheExtension) {
  NativeWifiClient& c = open();
  EXPECT_EQ(c.SendCcxEnable(), ERROR_SUCCESS);
  EXPECT_EQ(c.SendCcxProfile("Corp"), ERROR_SUCCESS);
  EXPECT_EQ(c.SendCcxProfile("Corp", false), ERROR_SUCCESS);
  EXPECT_EQ(c.SendCcxProfile(std::string(200, 'x')), ERROR_INVALID_PARAMETER);
  ASSERT_EQ(service->ihv.size(), 3u);
  EXPECT_EQ(service->ihv[0].outSize, 0u);
  EXPECT_EQ(service->ihv[0].in[4], 1);
  EXPECT_EQ(service->ihv[1].outSize, 37u);
  EXPECT_EQ(service->ihv[1].in.size(), 264u);
  EXPECT_EQ(service->ihv[1].in[4], 0);
  EXPECT_EQ(service->ihv[1].in[8], 'C');
  EXPECT_EQ(service->securitySettings,
            (std::vector<std::pair<SecurableObject, std::string>>{{wlan_secure_ihv_control, kIhvControlSddlGrant},
                                                                 {wlan_secure_ihv_control, kIhvControlSddlReadOnly}}));
}

TEST_F(NativeWifiClientTest, DiagnosticMessagesAndTheAddressRenewal) {
  const struct {
    uint32_t code;
    const char* text;
  } cases[] = {
      {1, "[DiagServ]The SSID is invalid."},
      {15, "[DiagServ]Beginning DHCP test."},
      {27, "[DiagServ]Test request refused by  the client."},
      {33, "[DiagServ]The WLAN authentication method is not correct."},
      {0x80000004, "Exited diagnostic mode."},
      {0x80000005, "Received DNS ping test request."},
      {0x80000010, "Network has concluded all tests."},
  };
  NativeWifiClient& c = open();
  for (const auto& row : cases) {
    SCOPED_TRACE(row.code);
    std::string text = "old";
    EXPECT_TRUE(c.FormatDiagnosticMessage(row.code, text));
    EXPECT_EQ(text, row.text);
  }
  for (uint32_t code : {0u, 34u, 0x80000000u, 0x80000003u, 0x80000011u}) {
    SCOPED_TRACE(code);
    std::string text = "old";
    EXPECT_FALSE(c.FormatDiagnosticMessage(code, text));
    EXPECT_EQ(text, "old");
  }
  // Event 15 above asked for the renewal: it comes one second after it, once.
  clock.advance(999);
  EXPECT_EQ(renewal->count, 0);
  clock.advance(1);
  EXPECT_EQ(renewal->count, 1);
  clock.advance(5000);
  EXPECT_EQ(renewal->count, 1);
  // Announcements within the second renew once, a second after the last.
  std::string text;
  c.FormatDiagnosticMessage(15, text);
  clock.advance(600);
  c.FormatDiagnosticMessage(15, text);
  clock.advance(999);
  EXPECT_EQ(renewal->count, 1);
  clock.advance(1);
  EXPECT_EQ(renewal->count, 2);
  // A client that goes away takes its pending renewal with it.
  c.FormatDiagnosticMessage(15, text);
  client.reset();
  clock.advance(2000);
  EXPECT_EQ(renewal->count, 2);
}

}  // namespace
}  // namespace ov
