// ovui_editor_preview: the main window with the profile editor or the security editor in its
// lower frame, over a made-up scan list and a store in a temporary folder, for a look at the
// editors (no adapter, no monitor). Options:
//   --tab=N        the profile editor's tab N (0 system config, 1 security, 2 802.1X, 3 WAPI)
//   --wpa2         the security tab preset for a WPA2-PSK network with a pass phrase typed
//   --connect      the security editor's prompt for a WPA2-PSK network of the survey
//   --peap         the credential prompt (lower panel 8) asking for a one-time password
//   --wapi-certs=D with --tab=3: the profile's certificates D/user.cer and D/as.cer loaded as Edit
//                  loads them (installed into libWAPIDLL.so and described)
//   --screenshot=F save the window as the PNG file F a moment after start, then end
#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QTimer>
#include <filesystem>
#include <string>
#include <vector>

#include "driver/oid/bssid_list.h"
#include "lang/language_table.h"
#include "profilepages/page_auth_encry.h"
#include "profilepages/peap_setting_dlg.h"
#include "profilepages/page_wapi.h"
#include "profilepages/profile_editor.h"
#include "profilepages/security_editor.h"
#include "profiles/profile_store.h"
#include "shell/ui/control_ids.h"
#include "shell/ui/main_window.h"
#include "widgets/filtering_edit.h"

namespace {

// CCMP group and pairwise cipher, PSK key management.
const std::vector<uint8_t> kRsnPsk = {0x30, 20,   1,    0,    0x00, 0x0F, 0xAC, 4, 1, 0, 0x00,
                                      0x0F, 0xAC, 4,    1,    0,    0x00, 0x0F, 0xAC, 2, 0, 0};

std::vector<uint8_t> Entry(const char* ssid, uint8_t last, bool privacy, uint32_t kHz,
                           const std::vector<uint8_t>& elements = {}) {
  ov::BssDescription bss;
  bss.bssid = {0x02, 0x5A, 0x0F, 0x10, 0x00, last};
  bss.ssid = ssid;
  bss.privacy = privacy;
  bss.dsConfigKHz = kHz;
  bss.informationElements = elements;
  return ov::MakeBssidEntry(bss);
}

class PreviewHost : public ov::MainWindowHost {
 public:
  std::span<uint8_t> ScanList() override { return list; }
  std::vector<uint8_t> list = std::vector<uint8_t>(ov::kBssidListBufferSize);
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ov::InstallLanguageTable(ov::LoadLanguageTableFrom(
      std::filesystem::path(argv[0]).parent_path(), "0409"));
  int tab = 0;
  bool wpa2 = false, connect = false, peap = false;
  QString screenshot;
  std::string wapiCerts;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--tab=", 0) == 0) tab = std::stoi(arg.substr(6));
    else if (arg == "--wpa2") wpa2 = true;
    else if (arg == "--connect") connect = true;
    else if (arg == "--peap") peap = true;
    else if (arg.rfind("--wapi-certs=", 0) == 0) wapiCerts = arg.substr(13);
    else if (arg.rfind("--screenshot=", 0) == 0) screenshot = QString::fromStdString(arg.substr(13));
  }

  const auto folder = std::filesystem::temp_directory_path() / "ovui-editor-preview";
  std::filesystem::create_directories(folder);
  ov::ProfileStore store({folder.string() + "/", 4, "{0F5A51D0-0000-4000-8000-025A0F000601}"});
  PreviewHost host;
  const auto wpa2Entry = Entry("Orvane-WPA2-AES", 5, true, 2437000, kRsnPsk);
  ov::BssidListWriter writer(host.list);
  writer.Append(wpa2Entry);
  writer.Append(Entry("Orvane-Open", 1, false, 2412000));

  ov::ShellState state;
  state.WpaReady = true;
  state.ShowPasswordOption = true;
  state.Adapter.chipFamily = static_cast<ov::ChipFamily>(4);
  state.WapiSupported = tab == ov::kTabWapi;  // the WAPI tab is offered only with WAPI support
  ov::PageRegistry registry;
  registry.RegisterLowerPanel(ov::LOWER_PANEL_PROFILE_EDITOR, ov::MakeProfileEditorPanel);
  registry.RegisterLowerPanel(ov::LOWER_PANEL_SECURITY_EDITOR, ov::MakeSecurityEditorPanel);
  registry.RegisterLowerPanel(ov::LOWER_PANEL_PEAP_SETTING, ov::MakePeapSettingPanel);
  ov::COvUI2007Dlg::Options options(std::filesystem::path(argv[0]).parent_path());
  options.services.store = &store;
  ov::COvUI2007Dlg window(state, host, registry, options);
  state.Expanded = false;
  window.ToggleMoreLess();
  window.show();

  if (peap) {
    // The prompt waits in its own loop; typing and the screenshot happen inside it.
    QTimer::singleShot(0, [&] {
      auto* prompt = dynamic_cast<ov::CPeapSettingDlg*>(window.LowerPanel(ov::LOWER_PANEL_PEAP_SETTING));
      if (prompt) prompt->PasswordEdit()->setText("482913");
    });
    if (!screenshot.isEmpty()) {
      QTimer::singleShot(600, [&] {
        window.grab().save(screenshot);
        std::filesystem::remove_all(folder);
        app.quit();
      });
    }
    ov::RunPeapSettingPrompt(window, ov::PeapPromptRequest{"token-user", false, false, false});
    return 0;
  }
  if (connect) {
    ov::OpenSecurityEditorForConnect(window, wpa2Entry);
  } else if (wpa2) {
    ov::OpenProfileEditorFromSurvey(window, wpa2Entry);
    auto* editor = dynamic_cast<ov::CProfileEditorDlg*>(window.LowerPanel(ov::LOWER_PANEL_PROFILE_EDITOR));
    editor->AuthEncry()->PskEdit()->setText("orvane-sim-2");
    editor->SelectTab(ov::kTabAuthEncry);
  } else {
    ov::OpenProfileEditorForAdd(window);
    auto* editor = dynamic_cast<ov::CProfileEditorDlg*>(window.LowerPanel(ov::LOWER_PANEL_PROFILE_EDITOR));
    if (tab == ov::kTabWapi) editor->AuthEncry()->ChooseAuth(ov::AuthChoice::WapiCa);
    if (tab == ov::kTab8021X) editor->AuthEncry()->ChooseAuth(ov::AuthChoice::Wpa2);  // PEAP
    if (tab == ov::kTabWapi && !wapiCerts.empty()) {
      editor->Wapi()->ReapplyLoaded({wapiCerts + "/user.cer", wapiCerts + "/as.cer"});
    }
    editor->SelectTab(tab);
  }
  if (!screenshot.isEmpty()) {
    QTimer::singleShot(600, [&] {
      window.grab().save(screenshot);
      std::filesystem::remove_all(folder);
      app.quit();
    });
  }
  return app.exec();
}
