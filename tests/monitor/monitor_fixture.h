#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "driver/oid/oid_constants.h"
#include "driver/params/registry_writer.h"
#include "platform/registry/registry.h"
#include "platform/time/message_service.h"
#include "platform/time/virtual_clock.h"
#include "shell/hide_dlg.h"
#include "tests/monitor/monitor_doubles.h"
#include "tests/support/temp_dir.h"

// The monitor on the virtual clock with recording doubles behind every seam, in a sandbox
// machine root (the registry is real).
namespace ov::test {

inline constexpr char kAdapterKey[] =
    "System\\CurrentControlSet\\Control\\Class\\{4d36e972-e325-11ce-bfc1-08002be10318}\\0007";
inline constexpr char kHardwareId[] = "PCI\\VEN_0F5A&DEV_0601";
inline constexpr char kDescription[] = "Orvane Test Adapter";
inline const MacAddress kBssid{0x02, 0x5A, 0x0F, 0x10, 0x00, 0x01};

class MonitorFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    adapter_.found.chipFamily = static_cast<ChipFamily>(4);
    adapter_.found.hardwareId = kHardwareId;
    adapter_.found.description = kDescription;
    adapter_.found.netCfgInstanceId = "{0F5A51D0-0000-4000-8000-025A0F000601}";
    adapter_.found.devicePath = "\\\\.\\{0F5A51D0-0000-4000-8000-025A0F000601}";
    adapter_.found.adapterKeyPath = kAdapterKey;
    adapter_.found.htCapable = true;
    ScriptedDriver& d = adapter_.driver;
    d.SetU32(OID_VND_NIC_READY.query, 1);
    d.SetU32(OID_VND_EXTRA_INFO.query, 0);
    d.SetI32(OID_VND_RSSI0.query, -60);
    d.SetU32(OID_VND_OP_MODE.query, 0);
    WriteParam("Radio", "0");
    WriteParam("OpMode", "0");
    WriteParam("Channel", "6");
    WriteIni("[Account]\nWarningMessageForGenUser=0\n");
  }
  void TearDown() override { monitor_.reset(); }

  void WriteParam(const std::string& name, const std::string& value,
                  const std::string& subKey = kAdapterKey) {
    ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, subKey, name, value), 0u);
  }
  std::optional<std::string> ReadParam(const std::string& name,
                                       const std::string& subKey = kAdapterKey) {
    return RegReadString(HKEY_LOCAL_MACHINE, subKey, name);
  }
  void WriteIni(const std::string& text) {
    std::ofstream(program_.path() / "OvUI.INI") << text;
  }
  void AddSiblings() {
    std::ofstream(program_.path() / kSwitchToolName) << "#!/bin/sh\n";
    std::ofstream(program_.path() / kApUtilityName) << "#!/bin/sh\n";
  }

  MonitorOptions Options() {
    MonitorOptions o;
    o.programDir = program_.path().string() + "/";
    o.programIniPath = (program_.path() / "OvUI.INI").string();
    o.dataDir = (root_.path() / "data").string() + "/";
    std::filesystem::create_directories(root_.path() / "data");
    o.openMainOnStart = false;
    o.isAdmin = isAdmin_;
    return o;
  }

  void Start() {
    MonitorServices s;
    s.timers = &clock_;
    s.messages = &messages_;
    s.adapter = &adapter_;
    s.wifi = &wifi_;
    s.tray = &tray_;
    s.desktop = &desktop_;
    s.session = &session_;
    s.registry = &registry_;
    s.pages = pages_;
    s.queue.client = &client_;
    s.certificates = certificates_;
    s.queue.runEnded = [this] { ++queueRuns_; };
    s.log = [this](std::string_view line) { log_.emplace_back(line); };
    monitor_ = std::make_unique<CHideDlg>(s, Options());
    desktop_.busyDuringMessage = &monitor_->State().Busy;
    monitor_->SetEndHandler([this] { ++ends_; });
    monitor_->OnInitDialog();
    messages_.deliverAll();
  }

  // The wireless client reports a link to `ssid`.
  void Connect(const std::string& ssid) {
    wifi_.connected = true;
    wifi_.ssid = ssid;
    wifi_.bssid = kBssid;
  }

  // Time passes by whole main ticks; posted messages are handled after each.
  void Tick(int ticks = 1) {
    for (int i = 0; i < ticks; ++i) {
      clock_.advance(kMainTickMs);
      messages_.deliverAll();
    }
  }
  std::optional<TrayState> Tray() const { return monitor_->CurrentTrayState(); }

  TempDir root_;
  ScopedMachineRoot scopedRoot_{root_.path()};
  TempDir program_;
  VirtualClock clock_;
  ManualMessageService messages_;
  ScriptedAdapter adapter_;
  ScriptedWifi wifi_;
  RecordingTray tray_;
  RecordingDesktop desktop_;
  ScriptedSession session_;
  DirectRegistryWriter registry_;
  RecordingConnectionClient client_;
  bool isAdmin_ = true;
  const PageRegistry* pages_ = nullptr;
  CertificateManagerModule* certificates_ = nullptr;
  int ends_ = 0;
  int queueRuns_ = 0;
  std::vector<std::string> log_;
  std::unique_ptr<CHideDlg> monitor_;
};

}  // namespace ov::test
