// The site survey's rebuild as a scan-complete message runs it: the page sorts the monitor's
// scan list in place (SSID order, the default), decodes every entry into a row and resets its
// list model; "paint" also lets the view lay out and draw the visible rows. The list is put back
// in its scanned order before each run (not timed), so every run sorts a shuffled list.
//
// Lists: captured beacons and probe responses (real element sets, about 300 bytes each) up to
// a full 64 KB list, and a full list of the smallest entries (SSID, rates and DS elements), the
// most rows a 64 KB list can hold.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTableView>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/captured_beacons.h"
#include "driver/oid/bssid_list.h"
#include "platform/time/monitor_messages.h"
#include "shell/ui/main_window.h"
#include "views/page_site_survey.h"

namespace {

class ScanHost final : public ov::MainWindowHost {
 public:
  std::vector<uint8_t> list = std::vector<uint8_t>(ov::kBssidListBufferSize);
  std::span<uint8_t> ScanList() override { return list; }
  void OpenUrl(const QUrl&, std::function<void()>) override {}
};

std::vector<uint8_t> SmallEntry(int i) {
  const std::string ssid = "net-" + std::to_string(i);
  std::vector<uint8_t> elements = {0, static_cast<uint8_t>(ssid.size())};
  elements.insert(elements.end(), ssid.begin(), ssid.end());
  const uint8_t more[] = {1, 4, 0x82, 0x84, 0x8B, 0x96, 3, 1, 6};
  elements.insert(elements.end(), std::begin(more), std::end(more));
  ov::BssDescription bss;
  bss.bssid = {0x02, 0x5A, 0x0F, static_cast<uint8_t>(i >> 8), static_cast<uint8_t>(i), 1};
  bss.ssid = ssid;
  bss.dsConfigKHz = 2437000;
  bss.informationElements = elements;
  return ov::MakeBssidEntry(bss);
}

// A scan list of `count` entries (0: as many as fit) in a shuffled order, each with its own
// signal and channel so that every sort key has work.
std::vector<uint8_t> MakeList(bool small, size_t count) {
  static const auto captured = ov::bench::CapturedBeaconEntries();
  std::mt19937 random(7);
  std::vector<std::vector<uint8_t>> pool;
  for (size_t i = 0; count == 0 ? pool.size() < 600 : pool.size() < count; ++i) {
    std::vector<uint8_t> e = small ? SmallEntry(static_cast<int>(i)) : captured[i % captured.size()];
    const int32_t rssi = -40 - static_cast<int32_t>(random() % 55);
    std::memcpy(e.data() + ov::bssid_entry_offset::kRssi, &rssi, 4);
    const uint32_t khz = 2412000 + 5000 * static_cast<uint32_t>(random() % 13);
    std::memcpy(e.data() + ov::bssid_entry_offset::kConfiguration + 12, &khz, 4);  // DSConfig
    pool.push_back(std::move(e));
  }
  std::shuffle(pool.begin(), pool.end(), random);
  std::vector<uint8_t> list(ov::kBssidListBufferSize);
  ov::BssidListWriter writer(list);
  for (const auto& e : pool) {
    if (!writer.Append(e)) break;
  }
  return list;
}

struct SurveyWindow {
  ov::ShellState state;
  ScanHost host;
  ov::PageRegistry registry;
  std::unique_ptr<ov::COvUI2007Dlg> window;
  SurveyWindow() {
    state.RadioOn = true;
    registry.RegisterPage(ov::TabButton::SiteSurvey, ov::MakeSiteSurveyPage);
    ov::COvUI2007Dlg::Options options;
    options.availableScreen = QRect(0, 0, 1280, 1024);
    window = std::make_unique<ov::COvUI2007Dlg>(state, host, registry, options);
    window->show();
    window->ShowPage(ov::TabButton::SiteSurvey);
    QApplication::processEvents();
  }
  ov::CPageSiteSurveyDlg* Page() {
    return static_cast<ov::CPageSiteSurveyDlg*>(window->Page(ov::TabButton::SiteSurvey));
  }
};

// Made on first use, taken down before the application object.
std::unique_ptr<SurveyWindow> survey;

// range(0): 1 small entries, 0 captured; range(1): entries, 0 = a full list; range(2): paint.
void BM_SurveyRebuild(benchmark::State& state) {
  if (!survey) survey = std::make_unique<SurveyWindow>();
  const std::vector<uint8_t> scanned = MakeList(state.range(0) != 0, static_cast<size_t>(state.range(1)));
  const bool paint = state.range(2) != 0;
  for (auto _ : state) {
    state.PauseTiming();
    survey->host.list = scanned;
    state.ResumeTiming();
    survey->Page()->OnMonitorMessage(ov::Message{ov::WM_MON_SCAN_DONE, 0, 0});
    if (paint) {
      survey->Page()->List()->viewport()->repaint();
    }
  }
  uint32_t count = 0;
  std::memcpy(&count, scanned.data(), 4);
  state.counters["entries"] = count;
  state.counters["rows"] = static_cast<double>(survey->Page()->Rows().size());
}
BENCHMARK(BM_SurveyRebuild)
    ->ArgNames({"small", "entries", "paint"})
    ->Args({0, 16, 0})
    ->Args({0, 64, 0})
    ->Args({0, 128, 0})
    ->Args({0, 0, 0})
    ->Args({1, 0, 0})
    ->Args({0, 0, 1})
    ->Args({1, 0, 1})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  survey.reset();
  return 0;
}
