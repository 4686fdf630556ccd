// The profile list page made, shown and filled over a store of 100 and 1000 profiles, offscreen:
// the store read (every row's values), the list's visible rows and the details pane painted.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "platform/time/virtual_clock.h"
#include "profilepages/page_profile.h"
#include "profiles/profile_store.h"
#include "profiles/store_encoding.h"
#include "shell/action_queue.h"
#include "shell/ui/main_window.h"
#include "tests/shellui/shell_test_support.h"

namespace {

constexpr const char* kId = "{6B29FC40-CA47-1067-B31D-00DD010662DA}";

std::string Folder(int count) {
  auto dir = std::filesystem::temp_directory_path() /
             ("ovui-bench-profile-page-" + std::to_string(getpid()) + "-" + std::to_string(count));
  std::filesystem::create_directories(dir);
  return dir.string() + "/";
}

// `count` profiles with every key of a section, written as the store writes them; one active.
std::unique_ptr<ov::ProfileStore> MakeStore(int count) {
  auto store = std::make_unique<ov::ProfileStore>(ov::StoreLocation{Folder(count), 6, kId});
  std::ofstream out(store->FileName(ov::StoreFileKind::Profiles), std::ios::binary);
  for (int p = 0; p < count; ++p) {
    out << "[Profile" << p << "]\r\n";
    for (std::string_view key : ov::ProfileKeyList) {
      std::string value = "1";
      if (key == "SSID") value = ov::HexLower("network-" + std::to_string(p % 37));
      if (key == "AuthMode") value = std::to_string(p % 8);
      if (key == "CipherMode") value = p % 3 == 0 ? "1" : "6";
      if (key == "ActiveTime") value = "2026, 12, 1, 10, 0, " + std::to_string(p % 60);
      if (key == "EapConfigBlob" || key == "EapConfigBlobLen") continue;
      out << key << "=" << value << "\r\n";
    }
  }
  out.close();
  store->WriteStoreValue(ov::StoreFileKind::Station, ov::kActiveSection, ov::kCurProfileKey,
                         "Profile" + std::to_string(count / 2));
  return store;
}

class BenchHost final : public ov::MainWindowHost {
 public:
  ov::ActionQueue* queue = nullptr;
  ov::ActionQueue* ActivationQueue() override { return queue; }
};

void BM_ProfilePageShownAndFilled(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  auto store = MakeStore(count);
  ov::test::InstallKeyNameTexts();
  ov::VirtualClock clock;
  ov::ShellState shell;
  shell.RadioOn = true;
  shell.Adapter.isAdmin = true;
  BenchHost host;
  ov::ActionQueueServices queueServices;
  queueServices.store = store.get();
  ov::ActionQueue queue(queueServices);
  queue.adapter().isAdmin = true;
  queue.adapter().wpaReady = true;
  host.queue = &queue;
  ov::PageRegistry registry;
  ov::COvUI2007Dlg::Options options{std::filesystem::temp_directory_path()};
  options.services.store = store.get();
  options.services.timers = &clock;
  options.availableScreen = QRect(0, 0, 1280, 1024);
  ov::COvUI2007Dlg window(shell, host, registry, options);
  window.show();
  const ov::PageContext context{window, shell, host, options.services};
  // A store read once before, as the page's show finds it: the file is in the INI cache.
  (void)store->ListProfileNames();

  for (auto _ : state) {
    auto* page = new ov::CPageProfileDlg(context, window.Body());
    page->setGeometry(window.PageArea());
    page->show();
    page->SelectRow(0);
    QPixmap painted = page->grab();  // the visible rows and the details, painted
    benchmark::DoNotOptimize(painted);
    if (page->Rows().size() != static_cast<size_t>(count)) state.SkipWithError("rows missing");
    delete page;
  }
  state.counters["profiles"] = count;
  std::filesystem::remove_all(Folder(count));
}
BENCHMARK(BM_ProfilePageShownAndFilled)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
