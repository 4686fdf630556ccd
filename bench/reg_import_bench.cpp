// `ovuictl reg import` of a file of 2,000 and 20,000 keys (three values each): reading the file
// and applying it as one transaction into a hive on disk. The target is 20,000 keys under 1 s;
// the two sizes show the cost grows with the file and no faster.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/bench_machine_root.h"
#include "cli/reg_command.h"
#include "cli/reg_file.h"
#include "platform/registry/registry.h"

namespace {

std::string FileOfKeys(int keys) {
  std::string text = "Windows Registry Editor Version 5.00\n";
  for (int k = 0; k < keys; ++k) {
    const std::string n = std::to_string(k);
    text += "\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane\\Bench\\Key" + n + "]\n";
    text += "\"Name\"=\"profile " + n + "\"\n";
    text += "\"Count\"=dword:0000002a\n";
    text += "\"Blob\"=hex:01,02,03,04,05,06,07,08\n";
  }
  return text;
}

void BM_ImportRegFile(benchmark::State& state) {
  ov::bench::BenchMachineRoot root;
  const std::string text = FileOfKeys(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    ov::SHDeleteKey(ov::HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvane");
    state.ResumeTiming();
    ov::cli::RegFile file;
    ov::cli::RegFileError error;
    ov::cli::ImportReport report;
    if (!ov::cli::ParseRegFile(text, &file, &error) || ov::cli::ApplyRegFile(file, &report) != 0) {
      state.SkipWithError("import failed");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetLabel("keys");
}
BENCHMARK(BM_ImportRegFile)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
