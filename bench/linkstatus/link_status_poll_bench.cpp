// One 2 s link-status poll (LinkStatusPoller::Poll) of a connected 802.11n adapter: the OID
// requests it makes and its CPU time, against the simulated driver in this process (the poll's
// own work) and against ovsimd over the device socket, opening the device for each request as
// the program's channel does. The wireless service answers from memory in both (its questions
// are counted apart); the address lookup is the system's own (getifaddrs, /proc/net/route).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "driver/chip_family.h"
#include "driver/oid/oid_constants.h"
#include "driver/oid_channel.h"
#include "platform/deviceio/device_io.h"
#include "platform/system/adapter_addresses.h"
#include "platform/system/machine_root.h"
#include "platform/time/virtual_clock.h"
#include "sim/scenario.h"
#include "sim/sim_clock.h"
#include "sim/simulated_adapter.h"
#include "tests/support/simulator_process.h"
#include "tests/support/temp_dir.h"
#include "views/link_status_poll.h"

namespace {

using namespace ov;
using namespace ov::link_status;

constexpr const char* kDevicePath = "\\\\.\\{0F5A51D0-0000-4000-8000-025A0F000601}";
const std::filesystem::path kScenario =
    std::filesystem::path(OVUI_SOURCE_DIR) / "data/scenarios/default.json";

// Counts what passes through to the driver.
class CountingRequester final : public OidRequester {
 public:
  explicit CountingRequester(OidRequester& inner) : inner_(inner) {}
  bool QueryOid(uint32_t oid, uint8_t* buffer, uint32_t size, uint32_t* returned) override {
    ++requests;
    return inner_.QueryOid(oid, buffer, size, returned);
  }
  bool SetOid(uint32_t oid, uint8_t* buffer, uint32_t size, uint32_t* returned, int retries) override {
    ++requests;
    return inner_.SetOid(oid, buffer, size, returned, retries);
  }
  uint64_t requests = 0;

 private:
  OidRequester& inner_;
};

// The default scenario's adapter as a driver in this process, associated to an HT 40 MHz AP.
class InProcessDriver final : public OidRequester {
 public:
  InProcessDriver() {
    sim::Scenario scenario;
    std::string error;
    if (!sim::LoadScenarioFile(kScenario.string(), &scenario, &error)) std::abort();
    adapter_ = std::make_unique<sim::SimulatedAdapter>(scenario.adapters.at(0), clock_);
    adapter_->start(sim::AdapterParameters{});
    sim::Association link;
    link.ssid = {'O', 'r', 'v', 'a', 'n', 'e'};
    link.frequencyKHz = 5180000;
    link.signalDbm = -57;
    link.linkQuality = 80;
    link.txRate = 600;
    link.ht = true;
    link.fortyMhz = true;
    link.mcs = 15;
    adapter_->setAssociation(link);
  }
  bool QueryOid(uint32_t oid, uint8_t* buffer, uint32_t size, uint32_t* returned) override {
    std::vector<uint8_t> answer(buffer, buffer + size);
    const uint32_t status = adapter_->handleRequest(IOCTL_NDIS_QUERY_GLOBAL_STATS, oid, answer, returned);
    std::copy(answer.begin(), answer.end(), buffer);
    return status == 0;
  }
  bool SetOid(uint32_t oid, uint8_t* buffer, uint32_t size, uint32_t* returned, int) override {
    return QueryOid(oid | OidSetMask, buffer, size, returned);
  }

 private:
  sim::SteadySimClock clock_;
  std::unique_ptr<sim::SimulatedAdapter> adapter_;
};

// A connected link as the wireless service reports it; counts the questions.
class CountingWifi final : public LinkStatusWifi {
 public:
  std::optional<bool> QueryConnected() override { return ++questions, true; }
  void CurrentLink(std::string* ssid, MacAddress* bssid) override {
    ++questions;
    *ssid = "Orvane-5G-HT40";
    *bssid = {0x02, 0x5A, 0x0F, 0x10, 0x00, 0x0C};
  }
  std::optional<uint32_t> BssType() override { return ++questions, 1u; }
  uint32_t AuthAlgorithm() override { return ++questions, 7u; }
  uint32_t CipherAlgorithm() override { return ++questions, 4u; }
  std::optional<uint32_t> Channel() override { return ++questions, 36u; }
  bool ServiceAvailable() override { return ++questions, true; }
  uint64_t questions = 0;
};

std::optional<AdapterAddresses> SystemAddresses(const MacAddress& mac) {
  auto found = FindInterfaceAddresses(mac);
  if (!found) return std::nullopt;
  return AdapterAddresses{found->ip, found->mask, found->gateway};
}

PollInputs Connected80211n() {
  PollInputs in;
  in.chipFamily = WXP4;  // the default scenario's adapter: the 20-byte link status, HT OIDs
  in.htCapable = true;
  in.centralChannelSuffix = true;
  return in;
}

void RunPolls(benchmark::State& state, OidRequester& driver) {
  CountingRequester counted(driver);
  CountingWifi wifi;
  LinkStatusPoller poller(counted, wifi, SystemAddresses);
  poller.Initialise();
  poller.OnShow();
  const PollInputs in = Connected80211n();
  benchmark::DoNotOptimize(poller.Poll(in));  // the first poll only stores the counters
  counted.requests = 0;
  wifi.questions = 0;
  for (auto _ : state) benchmark::DoNotOptimize(poller.Poll(in));
  const double polls = static_cast<double>(state.iterations());
  state.counters["oid_requests"] = static_cast<double>(counted.requests) / polls;
  state.counters["service_questions"] = static_cast<double>(wifi.questions) / polls;
}

void PollInProcessDriver(benchmark::State& state) {
  InProcessDriver driver;
  RunPolls(state, driver);
}
BENCHMARK(PollInProcessDriver)->Unit(benchmark::kMicrosecond);

struct Simulator {
  test::TempDir root;
  std::unique_ptr<test::SimulatorProcess> process;
  Simulator() {
    setenv("OVUI_ROOT", root.path().c_str(), 1);
    process = std::make_unique<test::SimulatorProcess>(ProgramFolder(), kScenario, root.path());
  }
};

void PollOverDeviceSocket(benchmark::State& state) {
  static Simulator simulator;
  if (!simulator.process->ready()) {
    state.SkipWithError("ovsimd did not start");
    return;
  }
  SocketDeviceIo io;
  VirtualClock clock;
  OidChannel channel(io, clock);
  channel.setDevicePath(kDevicePath);
  RunPolls(state, channel);
}
BENCHMARK(PollOverDeviceSocket)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
