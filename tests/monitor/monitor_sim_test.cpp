// The monitor against the real ovsimd on the default scenario, on the virtual clock: the tray
// follows the simulated link, the hardware radio switch, unplugging and plugging the adapter.
// Only the link's set-up waits on the simulator's own notification (a real process answers);
// every tick of the monitor is virtual.
#include <gtest/gtest.h>

#include <QApplication>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "driver/discovery/device_id_table.h"
#include "driver/os_version.h"
#include "nativewifi/wlansvc/wlan_service_client.h"
#include "platform/registry/registry.h"
#include "platform/time/message_service.h"
#include "platform/time/virtual_clock.h"
#include "shell/hide_dlg.h"
#include "shell/monitor_adapter.h"
#include "nativewifi/native_wifi_client.h"
#include "shell/monitor_native_wifi.h"
#include "sim/sim_control_client.h"
#include "tests/monitor/monitor_doubles.h"
#include "tests/monitor/monitor_sim_fixture.h"
#include "tests/shellui/qt_app_environment.h"
#include "tests/support/simulator_process.h"
#include "tests/support/temp_dir.h"

namespace ov::test {
namespace {

namespace fs = std::filesystem;
using namespace ov::wlan;

constexpr char kOpenBssid[] = "02:5A:0F:10:00:01";
constexpr char kDescription[] = "Orvane WXP4 Wireless LAN PCI Adapter";

std::string OpenProfile(const std::string& ssid) {
  std::string hex;
  for (unsigned char c : ssid) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    hex += kHex[c >> 4];
    hex += kHex[c & 0xF];
  }
  return R"(<?xml version="1.0"?>
<WLANProfile xmlns="http://www.microsoft.com/networking/WLAN/profile/v1">
  <name>)" + ssid + R"(</name>
  <SSIDConfig><SSID><hex>)" + hex + R"(</hex><name>)" + ssid + R"(</name></SSID></SSIDConfig>
  <connectionType>ESS</connectionType>
  <connectionMode>manual</connectionMode>
  <MSM><security><authEncryption><authentication>open</authentication>
    <encryption>none</encryption><useOneX>false</useOneX></authEncryption></security></MSM>
</WLANProfile>
)";
}

void Control(const std::string& line) {
  std::string reply;
  std::string error;
  ASSERT_TRUE(sim::SimControlRequest(line, &reply, &error)) << line << ": " << error;
  ASSERT_EQ(reply.rfind("ok", 0), 0u) << line << ": " << reply;
}

// The test's own client of the simulated service: it connects the adapter as a user would with
// another tool, and waits for the service to say the connection completed.
class LinkMaker {
 public:
  LinkMaker() {
    uint32_t version = 0;
    ok_ = service_.OpenHandle(kClientVersion2, &version, &handle_) == ERROR_SUCCESS;
    if (!ok_) return;
    service_.RegisterNotification(
        handle_, WLAN_NOTIFICATION_SOURCE_ACM, false,
        [this](const Notification& n) {
          std::lock_guard lock(mutex_);
          if (n.code == wlan_notification_acm_connection_complete) ++completions_;
          changed_.notify_all();
        },
        nullptr);
  }
  ~LinkMaker() {
    if (ok_) service_.CloseHandle(handle_);
  }

  // True when the connection completed with success.
  bool Connect(const std::string& ssid) {
    std::vector<InterfaceInfo> interfaces;
    if (service_.EnumInterfaces(handle_, &interfaces) != ERROR_SUCCESS) return false;
    std::optional<Guid> guid;
    for (const auto& i : interfaces)
      if (i.description == kDescription) guid = i.guid;
    if (!guid) return false;
    uint32_t reason = 0;
    if (service_.SetProfile(handle_, *guid, 0, OpenProfile(ssid), true, &reason) != ERROR_SUCCESS)
      return false;
    int before;
    {
      std::lock_guard lock(mutex_);
      before = completions_;
    }
    ConnectionParameters p;
    p.profile = ssid;
    if (service_.Connect(handle_, *guid, p) != ERROR_SUCCESS) return false;
    std::unique_lock lock(mutex_);
    if (!changed_.wait_for(lock, std::chrono::seconds(15), [&] { return completions_ > before; }))
      return false;
    InterfaceQueryResult state;
    lock.unlock();
    return service_.QueryInterface(handle_, *guid, wlan_intf_opcode_interface_state, &state) ==
               ERROR_SUCCESS &&
           state.state == wlan_interface_state_connected;
  }

 private:
  WlanServiceClient service_;
  ClientHandle handle_{};
  bool ok_ = false;
  std::mutex mutex_;
  std::condition_variable changed_;
  int completions_ = 0;
};

class MonitorSimTest : public MonitorOnSimulatorTest {
 protected:
  ConnectionClient* QueueClient() override { return &client_; }
  void SetUp() override {
    // The driver reports "not ready" for its first moments: discovery takes it after its
    // readiness attempts, one per tick (in the fixture's set-up).
    MonitorOnSimulatorTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_EQ(monitor_->Adapter().description, kDescription);
  }

  std::optional<TrayState> Tray() const { return monitor_->CurrentTrayState(); }

  RecordingConnectionClient client_;
};

TEST_F(MonitorSimTest, TrayFollowsTheSimulatedSignal) {
  Tick();
  EXPECT_EQ(Tray(), TrayState::Lost) << "no link yet";
  LinkMaker link;
  ASSERT_TRUE(link.Connect("Orvane-Open"));
  const struct {
    int dBm;
    TrayState state;
    const char* tip;
  } cases[] = {
      {-60, TrayState::Good, "Orvane Wireless - Connected to Orvane-Open (signal good)"},
      {-70, TrayState::Normal, "Orvane Wireless - Connected to Orvane-Open (signal normal)"},
      {-80, TrayState::Weak, "Orvane Wireless - Connected to Orvane-Open (signal weak)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dBm);
    Control("ap move " + std::string(kOpenBssid) + " " + std::to_string(c.dBm));
    Tick();
    EXPECT_EQ(Tray(), c.state);
    EXPECT_EQ(monitor_->TrayTip().toStdString(), c.tip);
  }
}

TEST_F(MonitorSimTest, HardwareRadioOffIsLost) {
  LinkMaker link;
  ASSERT_TRUE(link.Connect("Orvane-Open"));
  Tick();
  EXPECT_EQ(Tray(), TrayState::Good);
  Control("radio wlan0 off");
  Tick();
  EXPECT_EQ(Tray(), TrayState::Lost);
  EXPECT_EQ(monitor_->TrayTip().toStdString(), "Orvane Wireless - Not connected");
}

// Only a query that fails makes the tick rediscover and reopen the interface; an adapter without
// a link must answer "not connected", or the idle tray reopens its service handle every tick.
TEST_F(MonitorSimTest, TheLinkQueryTellsNoLinkFromNoAnswer) {
  Tick();
  EXPECT_EQ(wifi_->QueryConnected(), std::optional<bool>(false)) << "idle, no link";
  LinkMaker link;
  ASSERT_TRUE(link.Connect("Orvane-Open"));
  EXPECT_EQ(wifi_->QueryConnected(), std::optional<bool>(true)) << "linked";
  wifiClient_->Close();
  EXPECT_EQ(wifi_->QueryConnected(), std::nullopt) << "no interface open: no answer";
}

TEST_F(MonitorSimTest, UnplugAndReplug) {
  monitor_->OnCommand(IDM_TRAY_LAUNCH);
  ASSERT_NE(monitor_->MainWindow(), nullptr);
  Control("unplug wlan0");
  Tick();
  EXPECT_EQ(Tray(), TrayState::NotExist);
  EXPECT_EQ(monitor_->MainWindow(), nullptr) << "the main window is gone at the next tick";
  EXPECT_FALSE(monitor_->AdapterPresent());

  Control("plug wlan0");
  // The replugged driver starts "not ready": the monitor takes it after its readiness attempts.
  const size_t before = tray_.calls.size();
  for (int i = 0; i <= kNotReadyAttempts + 1 && !monitor_->AdapterPresent(); ++i) Tick();
  ASSERT_TRUE(monitor_->AdapterPresent());
  std::optional<TrayState> firstAfterPlug;
  for (size_t i = before; i < tray_.calls.size(); ++i) {
    if (tray_.calls[i].state && *tray_.calls[i].state != TrayState::NotExist) {
      firstAfterPlug = tray_.calls[i].state;
      break;
    }
  }
  EXPECT_EQ(firstAfterPlug, TrayState::Lost);

  LinkMaker link;
  ASSERT_TRUE(link.Connect("Orvane-Open"));
  Tick();
  EXPECT_EQ(Tray(), TrayState::Good) << "then the signal state";
}

}  // namespace
}  // namespace ov::test

[[maybe_unused]] static auto* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new ov::test::QtAppEnvironment<QApplication>);
