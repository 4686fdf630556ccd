// End to end: NativeWifiClient over the socket client against the real ovsimd on the default
// scenario, in a sandbox root. Messages arrive from the client's threads; the waits for them are
// bounded by real time only because a real process answers, and nothing asserted depends on how
// long anything took.
#include <gtest/gtest.h>

#include "driver/oid/oid_requests.h"
#include "nativewifi/native_wifi_client.h"
#include "nativewifi/wlansvc/wlan_service_client.h"
#include "platform/deviceio/device_io.h"
#include "platform/system/machine_root.h"
#include "platform/time/monitor_messages.h"
#include "sim/access_point.h"
#include "sim/scenario.h"
#include "tests/nativewifi/fake_wlan_service.h"
#include "tests/support/simulator_process.h"
#include "tests/support/temp_dir.h"

namespace ov {
namespace {

namespace fs = std::filesystem;
using namespace ov::wlan;
using test::MessageInbox;

const fs::path kDefaultScenario = fs::path(OVUI_SOURCE_DIR) / "data/scenarios/default.json";
constexpr char kDescription[] = "Orvane WXP4 Wireless LAN PCI Adapter";
constexpr char kDevicePath[] = "\\\\.\\{0F5A51D0-0000-4000-8000-025A0F000601}";
constexpr auto kWait = std::chrono::seconds(20);

// The OID channel over the adapter's device socket, for the per-connection OIDs.
class SocketRequester final : public OidRequester {
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

StationProfile Wpa2Psk(const std::string& ssid, const std::string& passphrase) {
  StationProfile r;
  r.ssid = MakeNdisSsid(ssid);
  r.networkType = 1;
  r.authMode = kAuthWpa2Psk;
  r.cipherMode = kCipherAes;
  r.psk = passphrase;
  r.txPowerLevel = 1;
  r.rtsThreshold = 2347;
  r.fragThreshold = 2346;
  return r;
}

class NativeWifiEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(sim::LoadScenarioFile(kDefaultScenario.string(), &scenario_, &error)) << error;
    startSimulator();
    NativeWifiClientServices services;
    services.service = std::make_shared<WlanServiceClient>(UnderRoot("run/ovui/wlansvc").string());
    services.driver = &driver_;
    client_.emplace(services);
    ASSERT_EQ(client_->Open(kDescription, MessageTarget(inbox_), false), ERROR_SUCCESS);
    ASSERT_TRUE(client_->InterfaceMatched());
    ASSERT_EQ(FormatGuid(client_->Interface().guid), "{0F5A51D0-0000-4000-8000-025A0F000601}");
  }
  void TearDown() override { client_.reset(); }

  void startSimulator() {
    simulator_.reset();
    simulator_.emplace(OVUI_BIN_DIR, kDefaultScenario, dir_.path());
    ASSERT_TRUE(simulator_->ready()) << simulator_->output();
  }

  // Scans and returns the scan list as the monitor would hold it.
  std::vector<uint8_t> scan() {
    std::vector<uint8_t> list(kBssidListBufferSize);
    EXPECT_EQ(client_->Scan(), ERROR_SUCCESS);
    EXPECT_TRUE(inbox_->next(WM_MON_SCAN_DONE, kWait)) << "no scan-done message";
    EXPECT_TRUE(client_->CopyScanList(list));
    return list;
  }

  test::TempDir dir_;
  test::ScopedMachineRoot root_{dir_.path()};
  sim::Scenario scenario_;
  std::optional<test::SimulatorProcess> simulator_;
  SocketRequester driver_;
  std::shared_ptr<MessageInbox> inbox_ = std::make_shared<MessageInbox>();
  std::optional<NativeWifiClient> client_;
};

TEST_F(NativeWifiEndToEnd, ScanListsEveryScenarioNetworkOnce) {
  const std::vector<uint8_t> list = scan();
  const auto entries = BssidListEntries(list);
  ASSERT_EQ(entries.size(), scenario_.accessPoints.size());
  for (const sim::AccessPointSpec& ap : scenario_.accessPoints) {
    SCOPED_TRACE(ap.ssid);
    size_t found = 0;
    NDIS_WLAN_BSSID_EX f;
    for (auto entry : entries) {
      NDIS_WLAN_BSSID_EX e;
      ASSERT_TRUE(DecodeNdisWlanBssidEx(entry, e));
      if (e.MacAddress == ap.bssid) {
        f = e;
        ++found;
        EXPECT_EQ(e.Length, entry.size());
        EXPECT_EQ(e.Length, 116 + e.IELength);
      }
    }
    ASSERT_EQ(found, 1u);
    EXPECT_EQ(NdisSsidText(f.Ssid), ap.hidden ? "" : ap.ssid);
    EXPECT_EQ(f.InfrastructureMode, ap.adhoc ? 0u : 1u);
    EXPECT_EQ(f.Configuration.DSConfig, sim::AccessPointFrequencyKHz(ap));
    EXPECT_EQ(f.Privacy, ap.security == sim::ApSecurity::Open ? 0u : 1u);
    EXPECT_NEAR(f.Rssi, ap.signalDbm, 3);
    EXPECT_EQ(f.NetworkTypeInUse, sim::IsAccessPoint5GHz(ap) ? Ndis802_11OFDM5 : Ndis802_11OFDM24);
    EXPECT_NE(f.SupportedRates[0], 0);
  }
}

TEST_F(NativeWifiEndToEnd, Wpa2PskConnectsOnlyWithTheRightPassphrase) {
  // A wrong passphrase: the attempt fails, and no connection-done message comes before the scan
  // that follows it.
  StationProfile wrong = Wpa2Psk("Orvane-WPA2-AES", "not the passphrase");
  ASSERT_TRUE(client_->ApplyProfile(0, wrong, false, nullptr));
  ASSERT_TRUE(inbox_->next(WM_MON_ATTEMPT_FAILED, kWait));
  scan();
  for (const Message& m : inbox_->skipped) EXPECT_NE(m.message, WM_MON_CONNECT_DONE);
  EXPECT_FALSE(client_->IsConnected());

  // The right one: connected from the stored profile.
  inbox_->skipped.clear();
  StationProfile right = Wpa2Psk("Orvane-WPA2-AES", "orvane-sim-2");
  ASSERT_TRUE(client_->ApplyProfile(0, right, false, nullptr));
  const auto done = inbox_->next(WM_MON_CONNECT_DONE, kWait);
  ASSERT_TRUE(done);
  EXPECT_EQ(done->wParam, 1u);
  EXPECT_TRUE(std::any_of(inbox_->skipped.begin(), inbox_->skipped.end(),
                          [](const Message& m) { return m.message == WM_MON_CONNECTING; }));
  client_->ApplyDeferredSettings(done->wParam);
  EXPECT_FALSE(client_->DeferredSettingsPending());

  EXPECT_TRUE(client_->IsConnected());
  NDIS_802_11_SSID ssid;
  ASSERT_TRUE(client_->GetCurrentSsid(ssid));
  EXPECT_EQ(NdisSsidText(ssid), "Orvane-WPA2-AES");
  uint32_t channel = 0, auth = 0, cipher = 0;
  ASSERT_TRUE(client_->GetChannel(channel));
  EXPECT_EQ(channel, 6u);
  ASSERT_TRUE(client_->GetAuthAlgorithm(auth));
  EXPECT_EQ(auth, DOT11_AUTH_ALGO_RSNA_PSK);
  ASSERT_TRUE(client_->GetCipherAlgorithm(cipher));
  EXPECT_EQ(cipher, DOT11_CIPHER_ALGO_CCMP);
  EXPECT_TRUE(client_->IsInfrastructure());
  EXPECT_TRUE(client_->IsOwnProfile("Orvane-WPA2-AES"));
  EXPECT_FALSE(client_->HasDiagnosticsSection("Orvane-WPA2-AES"));

  ASSERT_EQ(client_->Disconnect(), ERROR_SUCCESS);
  EXPECT_TRUE(inbox_->next(WM_MON_DISCONNECTED, kWait));
}

TEST_F(NativeWifiEndToEnd, MalformedProfilesAreRefusedByTheService) {
  // A passphrase of seven characters makes a document the service refuses.
  EXPECT_EQ(client_->SetProfileAndConnect(Wpa2Psk("Orvane-WPA2-AES", "seven77"), false, nullptr),
            ERROR_BAD_PROFILE);
  EXPECT_TRUE(inbox_->next(WM_MON_CONNECT_FAILED, kWait));
  EXPECT_FALSE(client_->ServiceProfileExists("Orvane-WPA2-AES"));
  // A temporary profile that is not XML.
  EXPECT_EQ(client_->Connect(kConnectTemporaryProfile, "<WLANProfile", dot11_BSS_type_infrastructure, {}, {}),
            ERROR_BAD_PROFILE);
  const auto failed = inbox_->next(WM_MON_CONNECT_FAILED, kWait);
  ASSERT_TRUE(failed);
  EXPECT_EQ(failed->wParam, 0u);
}

TEST_F(NativeWifiEndToEnd, RadioSwitchAndTheExtensionsEvents) {
  ASSERT_TRUE(client_->SetSoftwareRadio(false));
  EXPECT_TRUE(inbox_->next(WM_MON_RADIO_OFF, kWait));
  bool software = true, hardware = false;
  ASSERT_TRUE(client_->GetRadioState(software, hardware));
  EXPECT_FALSE(software);
  EXPECT_TRUE(hardware);
  EXPECT_NE(client_->Scan(), ERROR_SUCCESS) << "no scan with the radio off";
  ASSERT_TRUE(client_->SetSoftwareRadio(true));
  EXPECT_TRUE(inbox_->next(WM_MON_RADIO_ON, kWait));

  // The diagnostic test with a profile the service does not have: the extension refuses it.
  EXPECT_EQ(client_->SendCcxProfile("No such profile"), ERROR_SUCCESS);
  const auto refused = inbox_->next(WM_MON_IHV_CHANNEL, kWait);
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->lParam, 0);
  EXPECT_EQ(client_->SendCcxEnable(), ERROR_SUCCESS);
}

TEST_F(NativeWifiEndToEnd, TheClientSurvivesARestartOfTheService) {
  startSimulator();  // stops the running ovsimd and starts a new one on the same root
  // The first request after the restart waits for the reconnection; a few may still fail.
  uint32_t status = ERROR_SERVICE_NOT_ACTIVE;
  const auto end = std::chrono::steady_clock::now() + kWait;
  while (status != ERROR_SUCCESS && std::chrono::steady_clock::now() < end) status = client_->Scan();
  ASSERT_EQ(status, ERROR_SUCCESS);
  // The registration came along: the new service's notifications reach the monitor.
  ASSERT_TRUE(inbox_->next(WM_MON_SCAN_DONE, kWait));
  std::vector<uint8_t> list(kBssidListBufferSize);
  ASSERT_TRUE(client_->CopyScanList(list));
  EXPECT_EQ(BssidListEntries(list).size(), scenario_.accessPoints.size());
  StationProfile right = Wpa2Psk("Orvane-WPA2-AES", "orvane-sim-2");
  ASSERT_TRUE(client_->ApplyProfile(0, right, false, nullptr));
  const auto done = inbox_->next(WM_MON_CONNECT_DONE, kWait);
  ASSERT_TRUE(done);
  EXPECT_EQ(done->wParam, 1u);
}

}  // namespace
}  // namespace ov
