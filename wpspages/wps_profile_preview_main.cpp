// ovui_wps_profile_preview: the main window with the WPS credential panel in its lower frame,
// for a look at it (no adapter, no monitor, nothing written). Options:
//   --detail       a received WEP credential's Profile Detail instead of the registrar editor
//   --screenshot=F save the window as the PNG file F a moment after start, then end
#include <QApplication>
#include <QPixmap>
#include <QTimer>
#include <filesystem>
#include <string>

#include "lang/language_table.h"
#include "shell/ui/control_ids.h"
#include "shell/ui/main_window.h"
#include "wps/wps_registrar.h"
#include "wpspages/wps_profile_panel.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ov::InstallLanguageTable(ov::LoadLanguageTableFrom(
      std::filesystem::path(argv[0]).parent_path(), "0409"));
  bool detail = false;
  QString screenshot;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--detail") detail = true;
    else if (arg.rfind("--screenshot=", 0) == 0) screenshot = QString::fromStdString(arg.substr(13));
  }

  ov::WpsCredentialTable table;
  const uint8_t random[32] = {0x3C, 0x91, 0x5E, 0x07, 0xA2, 0x48, 0xD3, 0x6F, 0x11, 0xB4, 0x2A,
                              0x9D, 0x70, 0xC5, 0x38, 0xE6, 0x5B, 0x04, 0x8F, 0xD1, 0x27, 0x6A,
                              0xF3, 0x1E, 0x99, 0x42, 0xBD, 0x0C, 0x63, 0xA8, 0x57, 0xEE};
  const ov::MacAddress adapterMac = {0x02, 0x5A, 0x0F, 0x00, 0x06, 0x01};
  table.Credentials[0] = ov::MakeRegistrarCredential(adapterMac, random);
  if (detail) {
    // A WEP credential as a received one looks in the list.
    const ov::RegistrarEditorInput wep{.ssid = "Orvane-WPS-PIN", .auth = ov::RegistrarAuth::Open,
                                       .wep = true, .aes = false, .wepKeyLengthChoice = 0,
                                       .keyIndex = 0, .key = "Orv4n"};
    table.Credentials[0] = ov::BuildRegistrarCredential(wep, table.Credentials[0]);
    table.Credentials[0].MacAddr = {0x02, 0x5A, 0x0F, 0x10, 0x00, 0x21};
  }
  table.Count = 1;

  ov::ShellState state;
  state.ShowPasswordOption = true;
  ov::MainWindowHost host;
  ov::PageRegistry registry;
  registry.RegisterLowerPanel(ov::LOWER_PANEL_WPS_PROFILE, ov::MakeWpsProfilePanel);
  ov::COvUI2007Dlg::Options options(std::filesystem::path(argv[0]).parent_path());
  ov::COvUI2007Dlg window(state, host, registry, options);
  window.show();
  ov::ShowWpsProfileDetail(window, table, 0,
                           detail ? ov::kWpsConfigEnrollee : ov::kWpsConfigRegistrar);

  if (!screenshot.isEmpty()) {
    QTimer::singleShot(600, [&] {
      window.grab().save(screenshot);
      app.quit();
    });
  }
  return app.exec();
}
