// One OID query against the simulated driver over its device socket: opening the device for
// each request as the channel does, and over a connection kept open.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "driver/oid/oid_constants.h"
#include "driver/oid_channel.h"
#include "platform/deviceio/device_io.h"
#include "platform/deviceio/device_protocol.h"
#include "platform/system/machine_root.h"
#include "platform/time/virtual_clock.h"
#include "tests/support/simulator_process.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr const char* kDevicePath = "\\\\.\\{0F5A51D0-0000-4000-8000-025A0F000601}";

// One simulator for the whole run, on the default scenario, under a private root.
struct Simulator {
  ov::test::TempDir root;
  std::unique_ptr<ov::test::SimulatorProcess> process;
  Simulator() {
    setenv("OVUI_ROOT", root.path().c_str(), 1);
    auto source = std::filesystem::path(OVUI_SOURCE_DIR);
    process = std::make_unique<ov::test::SimulatorProcess>(
        ov::ProgramFolder(), source / "data/scenarios/default.json", root.path());
  }
};

Simulator& TheSimulator() {
  static Simulator simulator;
  return simulator;
}

void QueryOpeningPerRequest(benchmark::State& state) {
  if (!TheSimulator().process->ready()) {
    state.SkipWithError("ovsimd did not start");
    return;
  }
  ov::SocketDeviceIo io;
  ov::VirtualClock clock;
  ov::OidChannel channel(io, clock);
  channel.setDevicePath(kDevicePath);
  uint8_t buffer[4];
  uint32_t returned = 0;
  for (auto _ : state) {
    bool ok = channel.QueryOid(ov::OID_VND_RSSI0.query, buffer, sizeof buffer, &returned);
    if (!ok) state.SkipWithError("query failed");
  }
}
BENCHMARK(QueryOpeningPerRequest)->Unit(benchmark::kMicrosecond);

void QueryKeptOpen(benchmark::State& state) {
  if (!TheSimulator().process->ready()) {
    state.SkipWithError("ovsimd did not start");
    return;
  }
  ov::SocketDeviceIo io;
  auto device = io.open(kDevicePath);
  if (!device) {
    state.SkipWithError("device does not open");
    return;
  }
  uint8_t buffer[4];
  uint32_t returned = 0;
  for (auto _ : state) {
    bool ok = device->control(ov::IOCTL_NDIS_QUERY_GLOBAL_STATS, ov::OID_VND_RSSI0.query, buffer,
                              sizeof buffer, &returned);
    if (!ok) state.SkipWithError("query failed");
  }
}
BENCHMARK(QueryKeptOpen)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
