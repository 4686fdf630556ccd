// One key read from a profiles file of 1000 sections x 60 keys: served from the cache, and with
// the file re-opened and re-parsed for every read.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "platform/ini/ini.h"
#include "platform/ini/ini_file_store.h"

namespace {

std::string ProfilesFile() {
  static const std::string path = [] {
    std::string p = (std::filesystem::temp_directory_path() /
                     ("ovui-bench-profiles-" + std::to_string(getpid()) + ".ini")).string();
    std::ofstream out(p, std::ios::binary);
    for (int s = 0; s < 1000; ++s) {
      out << "[Profile" << s << "]\r\n";
      for (int k = 0; k < 60; ++k) out << "Key" << k << "=value of key " << k << "\r\n";
    }
    std::atexit([] { std::filesystem::remove(path); });
    return p;
  }();
  return path;
}

void CachedKeyRead(benchmark::State& state) {
  std::string file = ProfilesFile();
  char buffer[256];
  ov::GetPrivateProfileString("Profile500", "Key30", "", buffer, sizeof buffer, file.c_str());
  for (auto _ : state) {
    uint32_t n = ov::GetPrivateProfileString("Profile731", "Key42", "", buffer, sizeof buffer,
                                             file.c_str());
    benchmark::DoNotOptimize(n);
  }
}
BENCHMARK(CachedKeyRead);

void ReparsedKeyRead(benchmark::State& state) {
  std::string file = ProfilesFile();
  char buffer[256];
  for (auto _ : state) {
    ov::ini_detail::FlushCache();
    uint32_t n = ov::GetPrivateProfileString("Profile731", "Key42", "", buffer, sizeof buffer,
                                             file.c_str());
    benchmark::DoNotOptimize(n);
  }
}
BENCHMARK(ReparsedKeyRead)->Unit(benchmark::kMicrosecond);

void KeyWrite(benchmark::State& state) {
  std::string file = ProfilesFile();
  int i = 0;
  for (auto _ : state) {
    bool ok = ov::IniWriteString(file, "Profile731", "Key42", std::to_string(i++ & 1));
    benchmark::DoNotOptimize(ok);
  }
}
BENCHMARK(KeyWrite)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
