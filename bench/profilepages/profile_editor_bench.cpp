// The profile editor opened by Edit on one of 1000 stored profiles: the section read from the
// store, the four tabs filled, the panel shown in the main window (offscreen). Each iteration
// opens another profile, so every section is read afresh (the store's file stays cached while
// it is unchanged, as in the program).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "profilepages/profile_editor.h"
#include "profilepages/profile_editor_entry.h"
#include "profiles/profile_store.h"
#include "profiles/store_encoding.h"
#include "shell/ui/control_ids.h"
#include "shell/ui/main_window.h"

namespace {

constexpr const char* kId = "{6B29FC40-CA47-1067-B31D-00DD010662DA}";
constexpr int kProfiles = 1000;

std::string Folder() {
  static const std::string folder = [] {
    auto dir = std::filesystem::temp_directory_path() /
               ("ovui-bench-editor-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::atexit([] { std::filesystem::remove_all(Folder()); });
    return dir.string() + "/";
  }();
  return folder;
}

// 1000 WPA2-PSK profiles with every key of a section, as the store writes them.
void WriteStore(const ov::ProfileStore& store) {
  std::ofstream out(store.FileName(ov::StoreFileKind::Profiles), std::ios::binary);
  for (int p = 0; p < kProfiles; ++p) {
    out << "[Profile" << p << "]\r\n";
    for (std::string_view key : ov::ProfileKeyList) {
      std::string value = "0";
      if (key == "SSID") value = ov::HexLower("network-" + std::to_string(p));
      if (key == "SSID_inHex" || key == "NetworkType") value = "1";
      if (key == "AuthMode") value = "7";
      if (key == "CipherMode") value = "6";
      if (key == "WPAPSK") value = "pass phrase " + std::to_string(p);
      if (key == "RtsThresh") value = "2347";
      if (key == "FragThresh") value = "2346";
      if (key == "TunnelProtocol") value = "26";
      if (key == "EapConfigBlob") continue;
      out << key << "=" << value << "\r\n";
    }
  }
}

// `rewriteFirst`: each open follows a write to the store, so the file is parsed again, as after
// a save.
void OpenEditor(benchmark::State& state, bool rewriteFirst) {
  int argc = 1;
  char name[] = "profile_editor_bench";
  char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication app(argc, argv);

  ov::ProfileStore store({Folder(), 6, kId});
  WriteStore(store);
  ov::ShellState shell;
  shell.WpaReady = true;
  ov::MainWindowHost host;
  ov::PageRegistry registry;
  registry.RegisterLowerPanel(ov::LOWER_PANEL_PROFILE_EDITOR, ov::MakeProfileEditorPanel);
  ov::COvUI2007Dlg::Options options;
  options.services.store = &store;
  options.availableScreen = QRect(0, 0, 1280, 1024);
  ov::COvUI2007Dlg window(shell, host, registry, options);
  window.show();

  int next = 0;
  for (auto _ : state) {
    if (rewriteFirst) {
      state.PauseTiming();
      store.WriteStoreValue(ov::StoreFileKind::Profiles, "Profile999", "UseDiagnostic",
                            std::to_string(next % 2));
      state.ResumeTiming();
    }
    const bool opened = ov::OpenProfileEditorForEdit(window, "Profile" + std::to_string(next));
    benchmark::DoNotOptimize(opened);
    if (!opened) state.SkipWithError("the editor did not open");
    window.ShowLowerPanel(ov::LOWER_PANEL_LINK_STATUS);
    next = (next + 337) % kProfiles;
  }
}
void BM_OpenEditorOnOneOf1000(benchmark::State& state) { OpenEditor(state, false); }
void BM_OpenEditorOnOneOf1000AfterAWrite(benchmark::State& state) { OpenEditor(state, true); }
BENCHMARK(BM_OpenEditorOnOneOf1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenEditorOnOneOf1000AfterAWrite)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
