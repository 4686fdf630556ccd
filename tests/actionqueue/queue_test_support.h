#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "driver/ndis_types.h"
#include "driver/oid/bssid_list.h"
#include "driver/oid/oid_constants.h"
#include "driver/oid/radio_records.h"
#include "driver/params/adapter_params.h"
#include "platform/time/virtual_clock.h"
#include "platform/time/window_timers.h"
#include "shell/action_queue.h"
#include "tests/oid/recording_requester.h"
#include "tests/params/registry_sandbox.h"

namespace ov::test {

// The wireless client behind the seam: records each call with what it was given.
class RecordingClient final : public ConnectionClient {
 public:
  struct Applied {
    uint32_t force = 0;
    std::string ssid;
    bool joinOnly = false;
    int32_t authMode = 0;
    int32_t cipherMode = 0;
  };
  std::vector<std::string> calls;  // "scan", "apply <ssid>", "connected?"
  std::vector<Applied> applied;
  bool scanAccepted = true;
  bool connected = false;

  bool Scan() override {
    calls.push_back("scan");
    return scanAccepted;
  }
  bool ApplyProfile(uint32_t force, StationProfile& record, bool joinOnly,
                    CertificateManager*) override {
    std::string ssid(NdisSsidText(record.ssid));
    calls.push_back("apply " + ssid);
    applied.push_back({force, ssid, joinOnly, record.authMode, record.cipherMode});
    return true;
  }
  bool IsConnected() override {
    calls.push_back("connected?");
    return connected;
  }
};

class RecordingWapi final : public WapiControl {
 public:
  std::vector<std::string> calls;
  void AccessUserCancel() override { calls.push_back("WAPIAPIAccessUserCancle"); }
  void DisAssociate() override { calls.push_back("WAPIAPIDisAssociate"); }
};

// One scan-list entry.
struct ScanEntry {
  MacAddress bssid{};
  std::string ssid;
  uint32_t frequencyKHz = 2437000;
  uint32_t infrastructureMode = Ndis802_11Infrastructure;
};

inline std::vector<uint8_t> MakeScanList(const std::vector<ScanEntry>& entries) {
  std::vector<uint8_t> buffer(kBssidListBufferSize);
  BssidListWriter writer(buffer);
  for (const ScanEntry& e : entries) {
    BssDescription bss;
    bss.bssid = e.bssid;
    bss.ssid = e.ssid;
    bss.dsConfigKHz = e.frequencyKHz;
    bss.infrastructureMode = e.infrastructureMode;
    EXPECT_TRUE(writer.Append(MakeBssidEntry(bss)));
  }
  return buffer;
}

inline std::unique_ptr<StationProfile> Profile(const std::string& ssid, uint32_t networkType = 1) {
  auto p = std::make_unique<StationProfile>();
  p->ssid = MakeNdisSsid(ssid);
  p->networkType = networkType;
  p->authMode = kAuthWpa2Psk;
  p->cipherMode = kCipherAes;
  p->connectRequested = 1;
  p->loaded = 1;
  return p;
}

inline std::string Hex(const std::vector<uint8_t>& bytes) {
  std::string s;
  char b[4];
  for (uint8_t v : bytes) {
    std::snprintf(b, sizeof b, "%02X", v);
    s += b;
  }
  return s;
}

// A queue over a recording driver, client, WAPI library and registry writer, a virtual clock
// with the monitor's timers, and an adapter key in a sandbox registry.
class QueueFixture : public RegistrySandbox {
 public:
  QueueFixture() {
    RegKey key;
    EXPECT_EQ(key.create(HKEY_LOCAL_MACHINE, kAdapterKey), ERROR_SUCCESS);
    services.driver = &driver;
    services.registry = &writer;
    services.client = &client;
    services.wapi = &wapi;
    services.monitorTimers = &timers;
    services.scanList = [this] { return std::span<const uint8_t>(scanList); };
    services.appendDebugTraceFile = [this](std::string_view line) { traceFile.emplace_back(line); };
    services.runEnded = [this] { ++runsEnded; };
    queue = std::make_unique<ActionQueue>(services);
    AdapterContext& a = queue->adapter();
    a.adapterKeyPath = kAdapterKey;
    a.chipFamily = 6;
    a.radioOn = true;
    a.isAdmin = true;
    a.wpaReady = true;
  }

  // The OIDs of the sets since the last call, in order.
  std::vector<uint32_t> TakeSetOids() {
    std::vector<uint32_t> oids;
    for (const auto& c : driver.calls) {
      if (c.isSet) oids.push_back(c.oid);
    }
    driver.calls.clear();
    return oids;
  }
  std::vector<RecordingRequester::Call> SetsOf(uint32_t oid) const {
    std::vector<RecordingRequester::Call> sets;
    for (const auto& c : driver.calls) {
      if (c.isSet && c.oid == oid) sets.push_back(c);
    }
    return sets;
  }
  void AnswerHtPhyMode(const HtPhyMode& mode) {
    auto bytes = EncodeHtPhyMode(mode);
    driver.answers[OID_VND_HT_PHY_MODE.query] = {bytes.begin(), bytes.end()};
  }
  void AnswerStaConfig(const StaConfig& config) {
    auto bytes = EncodeStaConfig(config);
    driver.answers[OID_VND_STA_CONFIG.query] = {bytes.begin(), bytes.end()};
  }
  void AnswerRegionWord(uint32_t word) {
    driver.answers[OID_VND_COUNTRY_REGION.query] = {static_cast<uint8_t>(word),
                                                    static_cast<uint8_t>(word >> 8), 0, 0};
  }

  RecordingRequester driver;
  RecordingWriter writer;
  RecordingClient client;
  RecordingWapi wapi;
  VirtualClock clock;
  std::vector<int> firedTimers;
  WindowTimers timers{clock, [this](int id) { firedTimers.push_back(id); }};
  std::vector<uint8_t> scanList = MakeScanList({});
  std::vector<std::string> traceFile;
  int runsEnded = 0;
  ActionQueueServices services;
  std::unique_ptr<ActionQueue> queue;
};

}  // namespace ov::test
