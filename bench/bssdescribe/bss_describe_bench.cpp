// DescribeBss, forms 0-3, over a full 64 KB scan list filled with the captured beacons and probe
// responses, and, when tshark is on PATH, tshark's field decoding of the same frames in the same
// run. Both report the time per entry ("per_entry"); tshark's is given with its start-up (the
// time of a one-frame run) taken off, so that only its per-frame work is compared, and with it
// ("per_entry_with_startup"), as a caller that ran tshark on one scan would see it.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/captured_beacons.h"
#include "driver/oid/bssid_list.h"
#include "driver/oid/byte_codec.h"
#include "views/bss_describe.h"
#include "views/pcap_beacons.h"

namespace {

namespace fs = std::filesystem;

// The scan list and its entries, made once.
struct ScanList {
  std::vector<uint8_t> buffer = std::vector<uint8_t>(ov::kBssidListBufferSize);
  std::vector<std::span<const uint8_t>> entries;
};

const ScanList& FullScanList() {
  static const ScanList list = [] {
    ScanList l;
    const auto captured = ov::bench::CapturedBeaconEntries();
    ov::BssidListWriter writer(l.buffer);
    for (size_t i = 0; writer.Append(captured[i % captured.size()]); ++i) {
    }
    l.entries = ov::BssidListEntries(l.buffer);
    return l;
  }();
  return list;
}

void SetPerEntry(benchmark::State& state, size_t entriesPerIteration) {
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * entriesPerIteration));
  state.counters["entries"] = static_cast<double>(entriesPerIteration);
  state.counters["per_entry"] = benchmark::Counter(static_cast<double>(state.iterations() * entriesPerIteration),
                                                   benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_DescribeBssForm(benchmark::State& state) {
  const auto& list = FullScanList();
  const int form = static_cast<int>(state.range(0));
  for (auto _ : state) {
    for (const auto& entry : list.entries) benchmark::DoNotOptimize(ov::DescribeBss(entry, form));
  }
  SetPerEntry(state, list.entries.size());
}
BENCHMARK(BM_DescribeBssForm)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

// What a page does per row when it wants everything: the four forms and the MCS set.
void BM_DescribeBssForms0To3(benchmark::State& state) {
  const auto& list = FullScanList();
  std::array<uint8_t, ov::kHtMcsSetSize> mcs;
  for (auto _ : state) {
    for (const auto& entry : list.entries) {
      for (int form = ov::kBssFormSecurity; form <= ov::kBssFormHt; ++form) {
        benchmark::DoNotOptimize(ov::DescribeBss(entry, form, &mcs));
      }
    }
  }
  SetPerEntry(state, list.entries.size());
}
BENCHMARK(BM_DescribeBssForms0To3)->Unit(benchmark::kMicrosecond);

// The same four forms from one walk over the elements, as a page that shows them all can do.
void BM_DecodeOnceFormatForms0To3(benchmark::State& state) {
  const auto& list = FullScanList();
  for (auto _ : state) {
    for (const auto& entry : list.entries) {
      const ov::BssElements elements = ov::DecodeBssElements(entry);
      for (int form = ov::kBssFormSecurity; form <= ov::kBssFormHt; ++form) {
        benchmark::DoNotOptimize(ov::FormatBssForm(elements, form));
      }
    }
  }
  SetPerEntry(state, list.entries.size());
}
BENCHMARK(BM_DecodeOnceFormatForms0To3)->Unit(benchmark::kMicrosecond);

// ---- tshark ----

std::string FindOnPath(const char* program) {
  const char* path = std::getenv("PATH");
  if (!path) return {};
  std::string dirs = path;
  for (size_t start = 0; start <= dirs.size();) {
    const size_t end = std::min(dirs.find(':', start), dirs.size());
    const fs::path candidate = fs::path(dirs.substr(start, end - start)) / program;
    std::error_code ec;
    if (!candidate.parent_path().empty() && fs::is_regular_file(candidate, ec) &&
        access(candidate.c_str(), X_OK) == 0) {
      return candidate.string();
    }
    start = end + 1;
  }
  return {};
}

void PutLe32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
}

// A pcap file (bare 802.11 frames) with one beacon per entry: the entry's BSSID, beacon period,
// capability bits and elements, which is all tshark's field decoding looks at.
void WriteBeacons(const fs::path& file, const std::vector<std::span<const uint8_t>>& entries) {
  std::string out;
  PutLe32(out, 0xA1B2C3D4);
  out += std::string("\x02\x00\x04\x00", 4);
  PutLe32(out, 0);
  PutLe32(out, 0);
  PutLe32(out, 65535);
  PutLe32(out, ov::kLinkTypeIeee80211);
  for (const auto& entry : entries) {
    ov::NDIS_WLAN_BSSID_EX fixed;
    ov::DecodeNdisWlanBssidEx(entry, fixed);
    const auto elements = ov::BssidEntryElements(entry);
    std::string frame("\x80\x00\x00\x00", 4);
    frame.append(6, '\xFF');
    frame.append(fixed.MacAddress.begin(), fixed.MacAddress.end());
    frame.append(fixed.MacAddress.begin(), fixed.MacAddress.end());
    frame.append(2, '\0');
    frame.append(8, '\0');
    const uint16_t interval = static_cast<uint16_t>(fixed.Configuration.BeaconPeriod);
    const uint16_t capability = static_cast<uint16_t>((fixed.InfrastructureMode ? 0x0001 : 0x0002) |
                                                      (fixed.Privacy ? 0x0010 : 0));
    frame.push_back(static_cast<char>(interval));
    frame.push_back(static_cast<char>(interval >> 8));
    frame.push_back(static_cast<char>(capability));
    frame.push_back(static_cast<char>(capability >> 8));
    frame.append(elements.begin(), elements.end());
    PutLe32(out, 0);
    PutLe32(out, 0);
    PutLe32(out, static_cast<uint32_t>(frame.size()));
    PutLe32(out, static_cast<uint32_t>(frame.size()));
    out += frame;
  }
  std::ofstream(file, std::ios::binary) << out;
}

// The fields of the four forms: security suites, WPS attributes, HT capabilities and operation.
constexpr const char* kTsharkFields =
    " -e wlan.bssid -e wlan.ssid -e wlan.fixed.capabilities.privacy -e wlan.rsn.gcs.type"
    " -e wlan.rsn.pcs.type -e wlan.rsn.akms.type -e wlan.wfa.ie.wpa.mcs.type -e wlan.wfa.ie.wpa.ucs.type"
    " -e wlan.wfa.ie.wpa.akms.type -e wps.config_methods -e wps.device_password_id -e wps.selected_registrar"
    " -e wps.wifi_protected_setup_state -e wps.version -e wps.ap_setup_locked -e wps.uuid_e -e wps.rf_bands"
    " -e wlan.ht.capabilities -e wlan.ht.ampduparam -e wlan.ht.mcsset.rxbitmask.0to7"
    " -e wlan.ht.info.primarychannel -e wlan.ht.info.delim1 -e wlan.ht.info.delim2 -e wlan.ht.info.delim3"
    " -e wlan.extcap.b0";

constexpr int kTsharkRepeats = 50;

double RunTshark(const std::string& tshark, const fs::path& file) {
  const std::string command = "'" + tshark + "' -n -r '" + file.string() + "' -T fields" + kTsharkFields +
                              " > /dev/null 2> /dev/null";
  const auto start = std::chrono::steady_clock::now();
  const int status = std::system(command.c_str());
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  if (status != 0) return -1;
  return elapsed.count();
}

void BM_TsharkFieldDecoding(benchmark::State& state, std::string tshark) {
  const auto& list = FullScanList();
  const fs::path dir = fs::temp_directory_path();
  const fs::path all = dir / ("bss_describe_bench_" + std::to_string(getpid()) + "_all.pcap");
  const fs::path one = dir / ("bss_describe_bench_" + std::to_string(getpid()) + "_one.pcap");
  // The list's frames fifty times over, so that tshark's per-frame work outweighs the noise of
  // its start-up, which the one-frame run measures and takes off.
  std::vector<std::span<const uint8_t>> repeated;
  for (int i = 0; i < kTsharkRepeats; ++i) repeated.insert(repeated.end(), list.entries.begin(), list.entries.end());
  WriteBeacons(all, repeated);
  WriteBeacons(one, {list.entries.front()});
  double perEntrySum = 0, wholeRunSum = 0;
  for (auto _ : state) {
    const double tAll = RunTshark(tshark, all);
    const double tOne = RunTshark(tshark, one);
    if (tAll < 0 || tOne < 0) {
      state.SkipWithError("tshark failed");
      break;
    }
    state.SetIterationTime(tAll);
    perEntrySum += (tAll - tOne) / static_cast<double>(repeated.size() - 1);
    wholeRunSum += tAll / static_cast<double>(repeated.size());
  }
  fs::remove(all);
  fs::remove(one);
  const double n = static_cast<double>(state.iterations());
  state.counters["entries"] = static_cast<double>(repeated.size());
  // Seconds per entry; the reporter prints them with the benchmark's unit prefixes.
  state.counters["per_entry"] = n ? perEntrySum / n : 0;
  state.counters["per_entry_with_startup"] = n ? wholeRunSum / n : 0;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  const std::string tshark = FindOnPath("tshark");
  if (!tshark.empty()) {
    benchmark::RegisterBenchmark("BM_TsharkFieldDecoding", BM_TsharkFieldDecoding, tshark)
        ->UseManualTime()
        ->Iterations(3)
        ->Unit(benchmark::kMillisecond);
  } else {
    std::fprintf(stderr, "tshark is not on PATH: only DescribeBss is measured\n");
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
