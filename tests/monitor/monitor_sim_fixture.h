#pragma once
// The monitor with its main window against the real ovsimd: the driver and the wireless service
// are the simulator's, every timer of the utility is virtual (the test moves it), and only the
// simulator's own answers are waited for, because it is a real process. Tests of pages that act
// on the service derive from it and register the pages they need.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QTimer>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "driver/discovery/device_id_table.h"
#include "driver/os_version.h"
#include "nativewifi/native_wifi_client.h"
#include "nativewifi/wlansvc/wlan_service_client.h"
#include "platform/time/virtual_clock.h"
#include "shell/hide_dlg.h"
#include "shell/monitor_adapter.h"
#include "shell/monitor_native_wifi.h"
#include "shell/ui/message_box.h"
#include "shell/native_wifi_connection.h"
#include "tests/monitor/monitor_doubles.h"
#include "tests/support/simulator_process.h"
#include "tests/support/temp_dir.h"

namespace ov::test {

inline const std::filesystem::path kDefaultScenarioFile =
    std::filesystem::path(OVUI_SOURCE_DIR) / "data/scenarios/default.json";

class MonitorOnSimulatorTest : public ::testing::Test {
 protected:
  explicit MonitorOnSimulatorTest(const std::filesystem::path& scenario = kDefaultScenarioFile)
      : simulator_(OVUI_BIN_DIR, scenario, root_.path()) {}

  // The pages and panels the test's main window has; none by default.
  virtual void RegisterPages(PageRegistry&) {}
  // Who carries out the action queue's connections: the wireless client by default.
  virtual ConnectionClient* QueueClient() { return connection_.get(); }
  // What the wireless client gets beyond the service, the driver, the registry and the clock
  // (an EAP host, how its workers start); nothing by default.
  virtual void AddClientServices(NativeWifiClientServices&) {}

  void SetUp() override {
    namespace fs = std::filesystem;
    ASSERT_TRUE(simulator_.ready()) << simulator_.output();
    std::ifstream in(fs::path(OVUI_SOURCE_DIR) / "data/OvUI.INI");
    std::ofstream out(program_.path() / "OvUI.INI");
    out << in.rdbuf();
    out.close();
    adapter_ = std::make_unique<DriverMonitorAdapter>(
        clock_, LoadDeviceIdTables((program_.path() / "OvUI.INI").string()), kLinuxOsVersionCode,
        nullptr);
    service_ = std::make_shared<wlan::WlanServiceClient>();
    NativeWifiClientServices clientServices;
    clientServices.service = service_;
    clientServices.driver = &adapter_->Driver();
    clientServices.registry = &registry_;
    clientServices.timers = &clock_;
    AddClientServices(clientServices);
    wifiClient_ = std::make_unique<NativeWifiClient>(clientServices);
    wifi_ = std::make_unique<NativeWifiMonitorWifi>(*wifiClient_, service_, true);
    connection_ = std::make_unique<NativeWifiConnectionClient>(*wifiClient_);
    RegisterPages(pages_);

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
    s.queue.client = QueueClient();
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
    messageBoxWatch_.reset();
    monitor_.reset();
  }

  // From now on every message box the pages show is closed from inside its modal loop, and its
  // text kept in shownMessages_.
  void RecordMessageBoxes() {
    messageBoxWatch_ = std::make_unique<QTimer>();
    QObject::connect(messageBoxWatch_.get(), &QTimer::timeout, [this] {
      if (auto* box = dynamic_cast<CMessageBoxDlg*>(QApplication::activeModalWidget())) {
        shownMessages_.push_back(box->Message().toStdString());
        box->accept();
      }
    });
    messageBoxWatch_->start(1);
  }

  // Ticks of the monitor's main timer, each with the messages it posted.
  void Tick(int ticks = 1) {
    for (int i = 0; i < ticks; ++i) {
      clock_.advance(kMainTickMs);
      messages_.deliverAll();
    }
  }
  // Delivers the simulator's messages, and what the monitor queued for the pages, until `done`
  // holds or `seconds` of real time passed; false when it never held.
  bool WaitFor(const std::function<bool()>& done, int seconds = 10) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
      messages_.deliverAll();
      QCoreApplication::processEvents();
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }
  // Waits for the simulator's answer about the connection to `ssid`; false when none came.
  bool WaitConnected(const std::string& ssid) {
    return WaitFor([&] {
      NDIS_802_11_SSID current;
      return wifiClient_->IsConnected() && wifiClient_->GetCurrentSsid(current) &&
             NdisSsidText(current) == ssid;
    });
  }

  TempDir root_;
  ScopedMachineRoot scopedRoot_{root_.path()};
  SimulatorProcess simulator_;
  TempDir program_;
  VirtualClock clock_;
  ManualMessageService messages_;
  RecordingTray tray_;
  RecordingDesktop desktop_;
  ScriptedSession session_;
  DirectRegistryWriter registry_;
  PageRegistry pages_;
  std::vector<std::string> shownMessages_;
  std::unique_ptr<QTimer> messageBoxWatch_;
  std::unique_ptr<DriverMonitorAdapter> adapter_;
  std::shared_ptr<wlan::WlanServiceClient> service_;
  std::unique_ptr<NativeWifiClient> wifiClient_;
  std::unique_ptr<NativeWifiMonitorWifi> wifi_;
  std::unique_ptr<NativeWifiConnectionClient> connection_;
  std::unique_ptr<CHideDlg> monitor_;
};

}  // namespace ov::test
