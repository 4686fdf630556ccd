// The profile list page in the monitor's main window against the real ovsimd on the default
// scenario: Apply connects through the action queue and the wireless service, the active row's
// image follows the link on the page's 3-second timer, and Delete keeps or removes the service's
// WLAN profile and re-activates the next profile for the same SSID. Every timer is virtual; only
// the connection itself waits for the simulator, a real process.
#include <gtest/gtest.h>

#include <QIcon>
#include <QPushButton>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "driver/discovery/device_id_table.h"
#include "driver/os_version.h"
#include "nativewifi/native_wifi_client.h"
#include "nativewifi/wlansvc/wlan_service_client.h"
#include "platform/time/virtual_clock.h"
#include "profilepages/page_profile.h"
#include "profilepages/peap_setting_dlg.h"
#include "shell/ui/control_ids.h"
#include "shell/hide_dlg.h"
#include "shell/monitor_adapter.h"
#include "shell/monitor_native_wifi.h"
#include "shell/native_wifi_connection.h"
#include "tests/monitor/monitor_doubles.h"
#include "tests/support/simulator_process.h"
#include "tests/support/temp_dir.h"

namespace ov::test {
namespace {

namespace fs = std::filesystem;
using namespace ov::wlan;

const fs::path kDefaultScenario = fs::path(OVUI_SOURCE_DIR) / "data/scenarios/default.json";
constexpr char kWpa2Ssid[] = "Orvane-WPA2-AES";

class ProfilePageSimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(simulator_.ready()) << simulator_.output();
    std::ifstream in(fs::path(OVUI_SOURCE_DIR) / "data/OvUI.INI");
    std::ofstream out(program_.path() / "OvUI.INI");
    out << in.rdbuf();
    out.close();
    adapter_ = std::make_unique<DriverMonitorAdapter>(
        clock_, LoadDeviceIdTables((program_.path() / "OvUI.INI").string()), kLinuxOsVersionCode,
        nullptr);
    service_ = std::make_shared<WlanServiceClient>();
    NativeWifiClientServices clientServices;
    clientServices.service = service_;
    clientServices.driver = &adapter_->Driver();
    clientServices.registry = &registry_;
    clientServices.timers = &clock_;
    wifiClient_ = std::make_unique<NativeWifiClient>(clientServices);
    wifi_ = std::make_unique<NativeWifiMonitorWifi>(*wifiClient_, service_, true);
    connection_ = std::make_unique<NativeWifiConnectionClient>(*wifiClient_);
    pages_.RegisterPage(TabButton::Profile, MakeProfilePage);

    MonitorServices s;
    s.timers = &clock_;
    s.messages = &messages_;
    s.adapter = adapter_.get();
    s.wifi = wifi_.get();
    s.tray = &tray_;
    s.desktop = &desktop_;
    s.session = &session_;
    s.registry = &registry_;
    s.pages = &pages_;
    s.pageClient = wifiClient_.get();
    s.queue.client = connection_.get();
    MonitorOptions o;
    o.programDir = program_.path().string() + "/";
    o.programIniPath = (program_.path() / "OvUI.INI").string();
    o.dataDir = (root_.path() / "data").string() + "/";
    fs::create_directories(root_.path() / "data");
    o.openMainOnStart = false;
    o.isAdmin = true;
    monitor_ = std::make_unique<CHideDlg>(s, o);
    wifi_->SetMessageTarget(monitor_->Target());
    monitor_->OnInitDialog();
    for (int i = 0; i <= kNotReadyAttempts && !monitor_->AdapterPresent(); ++i) Tick();
    ASSERT_TRUE(monitor_->AdapterPresent());
    ASSERT_NE(monitor_->Store(), nullptr);
  }
  void TearDown() override {
    if (wifiClient_) wifiClient_->Close();
    monitor_.reset();
  }

  void Tick() {
    clock_.advance(kMainTickMs);
    messages_.deliverAll();
  }
  void Put(const std::string& name, const std::string& ssid, const std::string& passphrase) {
    ASSERT_TRUE(monitor_->Store()->WriteStoreValues(
        StoreFileKind::Profiles, name,
        {{"SSID", ssid}, {"NetworkType", "1"}, {"AuthMode", "7"}, {"CipherMode", "6"},
         {"WPAPSK", passphrase}}));
  }
  void OpenPage() {
    monitor_->OpenMainWindow();
    ASSERT_NE(monitor_->MainWindow(), nullptr);
    monitor_->MainWindow()->ShowPage(TabButton::Profile);
    ASSERT_NE(Page(), nullptr);
  }
  CPageProfileDlg* Page() {
    return dynamic_cast<CPageProfileDlg*>(monitor_->MainWindow()->Page(TabButton::Profile));
  }
  size_t Row(const std::string& name) {
    for (size_t i = 0; i < Page()->Rows().size(); ++i) {
      if (Page()->Rows()[i].Name == name) return i;
    }
    ADD_FAILURE() << "no row " << name;
    return 0;
  }
  int StateImage(const std::string& name) {
    const QVariant cell = Page()->List()->model()->index(static_cast<int>(Row(name)), 0)
                              .data(Qt::DecorationRole);
    if (!cell.isValid()) return -1;
    const qint64 key = cell.value<QIcon>().cacheKey();
    for (int i = 0; i < kProfileImageCount; ++i) {
      if (!ProfileImage(i).isNull() && ProfileImage(i).cacheKey() == key) return i;
    }
    return -2;
  }
  // Apply on the named row, then the service's answer (a real process) handed to the monitor.
  void Apply(const std::string& name) {
    Page()->SelectRow(Row(name));
    Page()->Button(IDC_PROF_ACTIVATE)->click();
  }
  // Waits for the simulator's answer about the connection to `ssid`; false when none came.
  bool WaitConnected(const std::string& ssid) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
      messages_.deliverAll();
      NDIS_802_11_SSID current;
      if (wifiClient_->IsConnected() && wifiClient_->GetCurrentSsid(current) &&
          NdisSsidText(current) == ssid) {
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }
  std::string Active() {
    return monitor_->Store()->ReadStoreValue(StoreFileKind::Station, kActiveSection, kCurProfileKey);
  }

  TempDir root_;
  ScopedMachineRoot scopedRoot_{root_.path()};
  SimulatorProcess simulator_{OVUI_BIN_DIR, kDefaultScenario, root_.path()};
  TempDir program_;
  VirtualClock clock_;
  ManualMessageService messages_;
  RecordingTray tray_;
  RecordingDesktop desktop_;
  ScriptedSession session_;
  DirectRegistryWriter registry_;
  PageRegistry pages_;
  std::unique_ptr<DriverMonitorAdapter> adapter_;
  std::shared_ptr<WlanServiceClient> service_;
  std::unique_ptr<NativeWifiClient> wifiClient_;
  std::unique_ptr<NativeWifiMonitorWifi> wifi_;
  std::unique_ptr<NativeWifiConnectionClient> connection_;
  std::unique_ptr<CHideDlg> monitor_;
};

TEST_F(ProfilePageSimTest, ApplyConnectsAndTheActiveImageFollowsTheLink) {
  Put("Home", kWpa2Ssid, "orvane-sim-2");
  Put("Wrong", kWpa2Ssid, "not the passphrase");
  OpenPage();
  Apply("Home");
  ASSERT_TRUE(WaitConnected(kWpa2Ssid));
  EXPECT_EQ(Active(), "Home");
  clock_.advance(kActiveIconPeriodMs);
  EXPECT_EQ(StateImage("Home"), kProfileImageActiveConnected);
  EXPECT_EQ(StateImage("Wrong"), -1);

  // The same network with the wrong key: active, but the link it asked for never comes.
  Apply("Wrong");
  EXPECT_EQ(Active(), "Wrong");
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  while (std::chrono::steady_clock::now() < until && wifiClient_->IsConnected()) {
    messages_.deliverAll();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ASSERT_FALSE(wifiClient_->IsConnected());
  clock_.advance(kActiveIconPeriodMs);
  EXPECT_EQ(StateImage("Wrong"), kProfileImageActiveNotConnected);
  EXPECT_EQ(StateImage("Home"), -1);
}

TEST_F(ProfilePageSimTest, DeletingTheActiveProfileActivatesTheNextForTheSameSsid) {
  Put("A", kWpa2Ssid, "orvane-sim-2");
  Put("B", kWpa2Ssid, "orvane-sim-2");
  Put("C", "Orvane-Open", "");
  OpenPage();
  Apply("B");
  ASSERT_TRUE(WaitConnected(kWpa2Ssid));
  Apply("A");
  ASSERT_TRUE(WaitConnected(kWpa2Ssid));
  ASSERT_EQ(Active(), "A");

  Page()->SelectRow(Row("A"));
  Page()->Button(IDC_PROF_DEL)->click();
  EXPECT_EQ(monitor_->Store()->ListProfileNames(), (std::vector<std::string>{"B", "C"}));
  EXPECT_EQ(Active(), "B") << "B was active before and takes A's place";
  EXPECT_EQ(Page()->CurrentName(), "B");
  ASSERT_TRUE(WaitConnected(kWpa2Ssid));
  EXPECT_TRUE(wifiClient_->ServiceProfileExists(kWpa2Ssid));
  clock_.advance(kActiveIconPeriodMs);
  EXPECT_EQ(StateImage("B"), kProfileImageActiveConnected);
  EXPECT_EQ(Page()->SelectedRow(), std::optional<size_t>(0)) << "the row at A's place";
}

TEST_F(ProfilePageSimTest, DeletingAnotherProfileOfTheActiveSsidKeepsTheServiceProfile) {
  Put("A", kWpa2Ssid, "orvane-sim-2");
  Put("B", kWpa2Ssid, "orvane-sim-2");
  OpenPage();
  Apply("A");
  ASSERT_TRUE(WaitConnected(kWpa2Ssid));
  Page()->SelectRow(Row("B"));
  Page()->Button(IDC_PROF_DEL)->click();
  EXPECT_EQ(monitor_->Store()->ListProfileNames(), std::vector<std::string>{"A"});
  EXPECT_TRUE(wifiClient_->ServiceProfileExists(kWpa2Ssid));
  EXPECT_EQ(Active(), "A");
  messages_.deliverAll();
  EXPECT_TRUE(wifiClient_->IsConnected());

  // The active one itself, the last row: its service profile goes and nothing is active.
  Page()->Button(IDC_PROF_DEL)->click();
  EXPECT_TRUE(monitor_->Store()->ListProfileNames().empty());
  EXPECT_FALSE(wifiClient_->ServiceProfileExists(kWpa2Ssid));
  EXPECT_EQ(Active(), "");
  EXPECT_EQ(monitor_->Queue().activation().StationProfileInUse, 0);
  EXPECT_FALSE(Page()->Button(IDC_PROF_ACTIVATE)->isEnabled());
}

// A PEAP profile stored without its tunnel password: Apply asks for it in the credential prompt
// (lower panel 8) and the answer reaches the service's authentication server; a declined prompt
// applies nothing.
TEST_F(ProfilePageSimTest, ApplyAsksForTheMissingPeapPasswordAndConnectsWithTheAnswer) {
  pages_.RegisterLowerPanel(LOWER_PANEL_PEAP_SETTING, MakePeapSettingPanel);
  ASSERT_TRUE(monitor_->Store()->WriteStoreValues(
      StoreFileKind::Profiles, "Corp",
      {{"SSID", "Orvane-Corp"}, {"NetworkType", "1"}, {"AuthMode", "6"}, {"CipherMode", "6"},
       {"Use8021X", "1"}, {"AuthenProtocol", "0"}, {"TunnelProtocol", "26"},
       {"PasswordMode", "1"}, {"ID", "alice"}, {"TunnelID", "alice"}, {"TunnelPassword", ""}}));
  OpenPage();
  auto prompt = [&] {
    return dynamic_cast<CPeapSettingDlg*>(monitor_->MainWindow()->LowerPanel(LOWER_PANEL_PEAP_SETTING));
  };

  // Declined: nothing is applied.
  QTimer::singleShot(0, monitor_->MainWindow(), [&] { prompt()->CancelButton()->click(); });
  Apply("Corp");
  EXPECT_EQ(Active(), "");
  EXPECT_FALSE(wifiClient_->IsConnected());

  std::string title;
  bool identityEnabled = true;
  QTimer::singleShot(0, monitor_->MainWindow(), [&] {
    title = prompt()->TitleLabel()->text().toStdString();
    identityEnabled = prompt()->IdentityEdit()->isEnabled();
    prompt()->PasswordEdit()->setText("Alice-Pass-1");
    prompt()->OkButton()->click();
  });
  Apply("Corp");
  EXPECT_EQ(title, "Enter your new password");
  EXPECT_FALSE(identityEnabled);
  EXPECT_EQ(Active(), "Corp");
  ASSERT_TRUE(WaitConnected("Orvane-Corp"));
  EXPECT_EQ(monitor_->Store()->ReadStoreValue(StoreFileKind::Profiles, "Corp", "TunnelPassword"), "")
      << "the answer is not stored in the profile";
}

}  // namespace
}  // namespace ov::test
