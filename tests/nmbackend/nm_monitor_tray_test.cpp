// The monitor over NetworkManager's backend against dbusmock's NetworkManager on a private bus,
// on the virtual clock: the adapter is the mocked Wi-Fi device (no vendor driver), and the tray
// follows the device's state and the associated access point's strength.
#include <gtest/gtest.h>

#include <QApplication>
#include <filesystem>
#include <fstream>

#include "nativewifi/native_wifi_client.h"
#include "nativewifi/nm/nm_wlan_service.h"
#include "platform/registry/registry.h"
#include "platform/time/message_service.h"
#include "platform/time/virtual_clock.h"
#include "shell/hide_dlg.h"
#include "shell/monitor_logic.h"
#include "shell/monitor_native_wifi.h"
#include "shell/service_interface_adapter.h"
#include "tests/monitor/monitor_doubles.h"
#include "tests/nmbackend/nm_mock_bus.h"
#include "tests/shellui/qt_app_environment.h"
#include "tests/support/temp_dir.h"

namespace ov::test {
namespace {

namespace fs = std::filesystem;
using namespace ov::wlan;

const char kCafeProfile[] =
    "<?xml version=\"1.0\"?><WLANProfile xmlns=\"http://www.microsoft.com/networking/WLAN/profile/v1\">"
    "<name>Cafe</name><SSIDConfig><SSID><name>Cafe</name></SSID></SSIDConfig>"
    "<connectionType>ESS</connectionType><connectionMode>manual</connectionMode><MSM><security>"
    "<authEncryption><authentication>open</authentication><encryption>none</encryption>"
    "<useOneX>false</useOneX></authEncryption></security></MSM></WLANProfile>";

class NmMonitorTrayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!NmMockBus::DbusmockInstalled()) GTEST_SKIP() << "python3-dbusmock is not installed for /usr/bin/python3";
    std::string failure;
    ASSERT_TRUE(mock_.Start(&failure)) << failure;
    std::ifstream in(fs::path(OVUI_SOURCE_DIR) / "data/OvUI.INI");
    std::ofstream out(program_.path() / "OvUI.INI");
    out << in.rdbuf() << "[Account]\nWarningMessageForGenUser=0\n";
    out.close();

    service_ = std::make_shared<nm::NmWlanService>(mock_.address());
    adapter_ = std::make_unique<ServiceInterfaceAdapter>(service_);
    NativeWifiClientServices clientServices;
    clientServices.service = service_;
    clientServices.driver = &adapter_->Driver();
    clientServices.registry = &registry_;
    clientServices.timers = &clock_;
    client_wifi_ = std::make_unique<NativeWifiClient>(clientServices);
    wifi_ = std::make_unique<NativeWifiMonitorWifi>(*client_wifi_, service_, true);

    MonitorServices s;
    s.timers = &clock_;
    s.messages = &messages_;
    s.adapter = adapter_.get();
    s.wifi = wifi_.get();
    s.tray = &tray_;
    s.desktop = &desktop_;
    s.session = &session_;
    s.registry = &registry_;
    s.queue.client = &client_;
    MonitorOptions o;
    o.programDir = program_.path().string() + "/";
    o.programIniPath = (program_.path() / "OvUI.INI").string();
    o.dataDir = (root_.path() / "data").string() + "/";
    fs::create_directories(root_.path() / "data");
    o.isAdmin = true;
    monitor_ = std::make_unique<CHideDlg>(s, o);
    wifi_->SetMessageTarget(monitor_->Target());
    monitor_->OnInitDialog();
    messages_.deliverAll();
    ASSERT_TRUE(monitor_->AdapterPresent());
    EXPECT_EQ(monitor_->Adapter().description, "wlan0");
    EXPECT_TRUE(monitor_->Adapter().noVendorDriver);
  }
  void TearDown() override {
    if (client_wifi_) client_wifi_->Close();
    monitor_.reset();
  }

  void Tick() {
    clock_.advance(kMainTickMs);
    messages_.deliverAll();
  }
  std::optional<TrayState> Tray() const { return monitor_->CurrentTrayState(); }

  // Another program connects the device to "Cafe" (70 %).
  void ConnectCafe() {
    ClientHandle h = 0;
    ASSERT_EQ(service_->OpenHandle(kClientVersion2, nullptr, &h), ERROR_SUCCESS);
    std::vector<InterfaceInfo> interfaces;
    ASSERT_EQ(service_->EnumInterfaces(h, &interfaces), ERROR_SUCCESS);
    ASSERT_EQ(interfaces.size(), 1u);
    ConnectionParameters p;
    p.mode = wlan_connection_mode_temporary_profile;
    p.profile = kCafeProfile;
    ASSERT_EQ(service_->Connect(h, interfaces[0].guid, p), ERROR_SUCCESS);
    service_->CloseHandle(h);
  }

  TempDir root_;
  ScopedMachineRoot scopedRoot_{root_.path()};
  TempDir program_;
  NmMockBus mock_;
  VirtualClock clock_;
  ManualMessageService messages_;
  RecordingTray tray_;
  RecordingDesktop desktop_;
  ScriptedSession session_;
  DirectRegistryWriter registry_;
  RecordingConnectionClient client_;
  std::shared_ptr<nm::NmWlanService> service_;
  std::unique_ptr<ServiceInterfaceAdapter> adapter_;
  std::unique_ptr<NativeWifiClient> client_wifi_;
  std::unique_ptr<NativeWifiMonitorWifi> wifi_;
  std::unique_ptr<CHideDlg> monitor_;
};

TEST_F(NmMonitorTrayTest, TrayFollowsTheMockedDevice) {
  Tick();
  EXPECT_EQ(Tray(), TrayState::Lost) << "the device is disconnected";

  ConnectCafe();
  Tick();
  EXPECT_EQ(Tray(), TrayStateForPercent(70)) << "the service's signal quality, not a driver's RSSI";
  EXPECT_EQ(monitor_->TrayTip().toStdString(), "Orvane Wireless - Connected to Cafe (signal normal)");

  ASSERT_EQ(mock_.SetProperty(kMockCafe, "org.freedesktop.NetworkManager.AccessPoint", "Strength", "<byte 90>"), 0);
  Tick();
  EXPECT_EQ(Tray(), TrayState::Good);
  ASSERT_EQ(mock_.SetProperty(kMockCafe, "org.freedesktop.NetworkManager.AccessPoint", "Strength", "<byte 20>"), 0);
  Tick();
  EXPECT_EQ(Tray(), TrayState::Weak);

  ASSERT_EQ(mock_.Call(kMockManager, "org.freedesktop.DBus.Mock.SetDeviceDisconnected", {kMockDevice}), 0);
  Tick();
  EXPECT_EQ(Tray(), TrayState::Lost);
  EXPECT_EQ(monitor_->CurrentTrayState(), TrayState::Lost);
  EXPECT_TRUE(monitor_->AdapterPresent()) << "a disconnected device is still the adapter";
}

TEST_F(NmMonitorTrayTest, RemovedDeviceIsNoAdapter) {
  Tick();
  // dbusmock removes the device object; the manager no longer lists it.
  ASSERT_EQ(mock_.Call(kMockManager, "org.freedesktop.DBus.Mock.RemoveObject", {kMockDevice}), 0);
  ASSERT_EQ(mock_.SetProperty(kMockManager, "org.freedesktop.NetworkManager", "Devices", "<@ao []>"), 0);
  Tick();
  Tick();
  EXPECT_FALSE(monitor_->AdapterPresent());
  EXPECT_EQ(Tray(), TrayState::NotExist);
}

}  // namespace
}  // namespace ov::test

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  testing::AddGlobalTestEnvironment(new ov::test::QtAppEnvironment<QApplication>);
  return RUN_ALL_TESTS();
}
