// Registry enumeration at several sizes in one run, so that the figure to read is the growth
// from one size to the next, not this machine's speed: listing a key's values and subkeys (what
// `ovuictl reg query` and `reg export` do), walking them by index as RegEnumValue callers do,
// and reading one named value of a big key (`reg query KEY NAME`). Linear listing and walking
// keep the time per item flat across sizes; the single read stays flat in total.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <map>
#include <string>

#include "bench/bench_machine_root.h"
#include "platform/registry/registry.h"

namespace {

// One machine root (on disk) for the whole run, with a key of N values and a key of N subkeys
// for every size asked for.
class Sizes {
 public:
  static Sizes& get() {
    static Sizes sizes;
    return sizes;
  }
  std::string valuesKey(int n) {
    const std::string key = "SOFTWARE\\Values" + std::to_string(n);
    if (made_.insert({key, true}).second) {
      std::vector<ov::RegChange> changes;
      for (int i = 0; i < n; ++i) {
        changes.push_back({ov::RegChange::Kind::SetValue, ov::HKEY_LOCAL_MACHINE, key,
                           "Value" + std::to_string(i), ov::REG_SZ,
                           ov::EncodeString("data of value " + std::to_string(i))});
      }
      if (ov::RegApplyChanges(changes, nullptr) != 0) std::abort();
    }
    return key;
  }
  std::string subkeysKey(int n) {
    const std::string key = "SOFTWARE\\Keys" + std::to_string(n);
    if (made_.insert({key, true}).second) {
      std::vector<ov::RegChange> changes;
      for (int i = 0; i < n; ++i) {
        changes.push_back({ov::RegChange::Kind::CreateKey, ov::HKEY_LOCAL_MACHINE,
                           key + "\\Sub" + std::to_string(i), "", ov::REG_NONE, ""});
      }
      if (ov::RegApplyChanges(changes, nullptr) != 0) std::abort();
    }
    return key;
  }

 private:
  Sizes() = default;
  ov::bench::BenchMachineRoot root_;
  std::map<std::string, bool> made_;
};

ov::RegKey Open(const std::string& path) {
  ov::RegKey key;
  if (key.open(ov::HKEY_LOCAL_MACHINE, path) != 0) std::abort();
  return key;
}

void BM_ListValues(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  ov::RegKey key = Open(Sizes::get().valuesKey(n));
  std::vector<ov::RegValue> values;
  for (auto _ : state) {
    if (ov::RegListValues(key.get(), &values) != 0 || values.size() != static_cast<size_t>(n)) {
      state.SkipWithError("listing failed");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_ListValues)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_EnumValuesByIndex(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  ov::RegKey key = Open(Sizes::get().valuesKey(n));
  char name[64];
  uint8_t data[64];
  for (auto _ : state) {
    uint32_t index = 0;
    for (;; ++index) {
      uint32_t nameChars = sizeof name, dataSize = sizeof data, type = 0;
      if (ov::RegEnumValue(key.get(), index, name, &nameChars, nullptr, &type, data,
                           &dataSize) != 0) {
        break;
      }
    }
    if (index != static_cast<uint32_t>(n)) state.SkipWithError("walk stopped early");
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_EnumValuesByIndex)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// By path, as `reg query KEY NAME` does after opening the key.
void BM_QueryOneValueOfBigKey(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::string path = Sizes::get().valuesKey(n);
  ov::RegKey key = Open(path);
  const std::string name = "Value" + std::to_string(n / 2);
  for (auto _ : state) {
    ov::RegValue value;
    if (ov::RegReadValue(key.get(), "", name, &value) != 0) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(value);
  }
}
BENCHMARK(BM_QueryOneValueOfBigKey)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_ListSubKeys(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  ov::RegKey key = Open(Sizes::get().subkeysKey(n));
  std::vector<std::string> names;
  for (auto _ : state) {
    if (ov::RegListSubKeys(key.get(), &names) != 0 || names.size() != static_cast<size_t>(n)) {
      state.SkipWithError("listing failed");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_ListSubKeys)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_EnumSubKeysByIndex(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  ov::RegKey key = Open(Sizes::get().subkeysKey(n));
  char name[300];
  for (auto _ : state) {
    uint32_t index = 0;
    for (;; ++index) {
      uint32_t chars = sizeof name;
      if (ov::RegEnumKeyEx(key.get(), index, name, &chars, nullptr, nullptr, nullptr, nullptr)) {
        break;
      }
    }
    if (index != static_cast<uint32_t>(n)) state.SkipWithError("walk stopped early");
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_EnumSubKeysByIndex)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
