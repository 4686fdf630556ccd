#pragma once
#include <string>
#include <vector>

#include "shell/radio_page_host.h"
#include "tests/shellui/shell_test_support.h"

// A main-window host with the monitor's radio values, recording what the advanced page asks.
namespace ov::test {

class FakeConnection final : public RadioConnection {
 public:
  bool connected = false;
  uint32_t mode = 0;
  uint32_t auth = 1;
  uint32_t cipher = 0;
  std::vector<std::string> calls;
  struct ConnectCall { uint32_t mode; std::string profile; uint32_t bssType; std::vector<uint8_t> ssid; bool joinOnly; };
  std::vector<ConnectCall> connects;

  bool IsConnected() override { return connected; }
  bool GetConnectionMode(uint32_t& m) override { m = mode; return true; }
  bool GetProfileName(std::string& name) override { name = "Home"; return true; }
  bool GetBssType(uint32_t& bss) override { bss = 1; return true; }
  bool GetCurrentSsid(std::vector<uint8_t>& ssid) override { ssid = {'O', 'v'}; return true; }
  bool GetAuthAlgorithm(uint32_t& a) override { a = auth; return true; }
  bool GetCipherAlgorithm(uint32_t& c) override { c = cipher; return true; }
  uint32_t Disconnect() override { calls.push_back("disconnect"); connected = false; return 0; }
  uint32_t Connect(uint32_t m, const std::string& profile, uint32_t bss, const std::vector<uint8_t>& ssid,
                   bool joinOnly) override {
    calls.push_back("connect");
    connects.push_back({m, profile, bss, ssid, joinOnly});
    return 0;
  }
};

class AdvanceHost final : public RecordingHost, public RadioPageHost {
 public:
  RadioSettingsState radio;
  AdvancePageMemory memory;
  FakeConnection connection;
  ProgramOptions options;
  bool aBand = true;
  bool allowed24 = true;
  bool allowed5 = true;
  bool usesBssid = false;  // the current profile names its access point
  int applies = 0;
  int scans = 0;
  int channelPlans = 0;
  std::vector<std::string> traced;

  RadioPageHost* RadioPages() override { return this; }
  void QueueScan() override { ++scans; }
  bool ABandCapable() const override { return aBand; }
  bool Bw40Allowed24() const override { return allowed24; }
  bool Bw40Allowed5() const override { return allowed5; }
  RadioSettingsState& Radio() override { return radio; }
  void RunChannelPlan() override { ++channelPlans; }
  void ApplyActiveConfiguration() override { ++applies; }
  bool CurrentProfileUsesBssid() const override { return usesBssid; }
  ProgramOptions ProgramSettingsNow() override { return options; }
  void AppendDebugTrace(std::string_view text) override { traced.emplace_back(text); }
  RadioConnection* Connection() override { return &connection; }
  AdvancePageMemory& AdvanceMemory() override { return memory; }
};

}  // namespace ov::test
