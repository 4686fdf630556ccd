// Registry costs: one value read (target under 20 us) and one value write in its own
// transaction, with the per-process kept connection and with a connection opened per call.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "bench/bench_machine_root.h"
#include "platform/registry/hive_store.h"
#include "platform/registry/registry.h"

namespace {

constexpr const char* kAdapterKey =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e972-e325-11ce-bfc1-08002be10318}\\0007";

// A machine root of its own under the temp folder (on disk, not in memory), with an adapter key
// holding a realistic number of parameters.
class BenchRoot {
 public:
  BenchRoot() {
    for (int i = 0; i < 40; ++i) {
      ov::RegWriteString(ov::HKEY_LOCAL_MACHINE, kAdapterKey, "Param" + std::to_string(i),
                         std::to_string(i));
    }
    ov::RegWriteDword(ov::HKEY_LOCAL_MACHINE, kAdapterKey, "BACapability", 0x1234);
    ov::RegWriteString(ov::HKEY_LOCAL_MACHINE, kAdapterKey, "WirelessMode", "9");
  }

 private:
  ov::bench::BenchMachineRoot root_;
};

// state.range(0): 1 = kept connection, 0 = a connection per call.
void SetCaching(benchmark::State& state) {
  ov::registry_detail::SetConnectionCaching(state.range(0) != 0);
  state.SetLabel(state.range(0) ? "kept connection" : "connection per call");
}

void BM_QueryValueOpenKey(benchmark::State& state) {
  BenchRoot root;
  SetCaching(state);
  ov::RegKey key;
  if (key.open(ov::HKEY_LOCAL_MACHINE, kAdapterKey) != 0) std::abort();
  for (auto _ : state) {
    uint32_t value = 0, size = sizeof value, type = 0;
    uint32_t err = ov::RegQueryValueEx(key.get(), "BACapability", nullptr, &type,
                                       reinterpret_cast<uint8_t*>(&value), &size);
    benchmark::DoNotOptimize(err);
    benchmark::DoNotOptimize(value);
  }
  ov::registry_detail::SetConnectionCaching(true);
}
BENCHMARK(BM_QueryValueOpenKey)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

// Open the adapter key by its full path, read one string, close: what most callers do.
void BM_QueryValueByPath(benchmark::State& state) {
  BenchRoot root;
  SetCaching(state);
  for (auto _ : state) {
    auto text = ov::RegReadString(ov::HKEY_LOCAL_MACHINE, kAdapterKey, "WirelessMode");
    benchmark::DoNotOptimize(text);
  }
  ov::registry_detail::SetConnectionCaching(true);
}
BENCHMARK(BM_QueryValueByPath)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

// One value written in its own transaction (durable on disk before the call returns).
void BM_SetValue(benchmark::State& state) {
  BenchRoot root;
  SetCaching(state);
  ov::RegKey key;
  if (key.open(ov::HKEY_LOCAL_MACHINE, kAdapterKey, ov::KEY_ALL_ACCESS) != 0) std::abort();
  uint32_t counter = 0;
  for (auto _ : state) {
    ++counter;
    uint32_t err = ov::RegSetValueEx(key.get(), "Channel", 0, ov::REG_DWORD,
                                     reinterpret_cast<const uint8_t*>(&counter), 4);
    benchmark::DoNotOptimize(err);
  }
  ov::registry_detail::SetConnectionCaching(true);
}
BENCHMARK(BM_SetValue)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
