// ovui_shell_preview: the start-up path and the main window without the monitor behind it, for
// a look at the shell. Options of its own (the rest is the utility's command line):
//   --small      the caption-less layout of a low desktop
//   --expanded   open with the lower frame shown
//   --message=T  show T in the message box over the window
//   --select     show the adapter selection dialog with three made-up adapters
//   --page=N     press the bar button with command number N (6252: the about page)
//   --scroll=N   scroll the bar N buttons to the right
//   --screenshot=F  save the screen as the PNG file F a moment after start, then end
// Closing the window ends the preview; a second start hands off to the first, as the utility's.
#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "lang/language_table.h"
#include "platform/time/monitor_messages.h"
#include "radio/page_about.h"
#include "shell/ui/control_ids.h"
#include "shell/ui/main_window.h"
#include "shell/ui/message_box.h"
#include "shell/ui/sel_card_dlg.h"
#include "shell/ui/shell_icons.h"
#include "shell/ui/startup.h"

namespace {

struct PreviewOptions {
  bool small = false;
  bool expanded = false;
  bool select = false;
  int page = 0;
  int scroll = 0;
  QString message;
  QString screenshot;
};

std::vector<ov::AdapterCandidate> PreviewCandidates() {
  return {
      {0, "Orvane Wireless PCI Adapter", "Orvane 802.11n PCI Adapter", "PCI\\VEN_0F5A&DEV_0601",
       "PCI bus 3, device 0, function 0", "Orvane"},
      {1, "", "Orvane 802.11g USB Adapter", "USB\\VID_0F5A&PID_0701", "Port_#0002.Hub_#0003",
       "Orvane"},
      {2, "Orvane Wireless USB Adapter", "Orvane 802.11n USB Adapter", "USB\\VID_0F5A&PID_0901",
       "Port_#0001.Hub_#0004", "Orvane"},
  };
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(false);
  app.setWindowIcon(ov::AppIcon());
  ov::LoadLanguageTable();

  PreviewOptions preview;
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--small") {
      preview.small = true;
    } else if (arg == "--expanded") {
      preview.expanded = true;
    } else if (arg == "--select") {
      preview.select = true;
    } else if (arg.rfind("--screenshot=", 0) == 0) {
      preview.screenshot = QString::fromStdString(arg.substr(13));
    } else if (arg.rfind("--scroll=", 0) == 0) {
      preview.scroll = std::atoi(arg.c_str() + 9);
    } else if (arg.rfind("--page=", 0) == 0) {
      preview.page = std::atoi(arg.c_str() + 7);
    } else if (arg.rfind("--message=", 0) == 0) {
      preview.message = QString::fromStdString(arg.substr(10));
    } else {
      args.push_back(arg);
    }
  }

  ov::COvUI2007 shell;
  return ov::RunApplication(shell, args, [&](ov::COvUI2007& started) {
    std::printf("ovui_shell_preview: ProgramDir %s, DataDir %s%s\n", started.ProgramDir().c_str(),
                started.DataDir().path.c_str(), started.DataDir().shared ? " (shared)" : "");
    std::fflush(stdout);

    ov::ShellState state;
    const QScreen* screen = QGuiApplication::primaryScreen();
    state.SmallScreen = preview.small || (screen && ov::IsSmallScreen(screen->geometry().height()));
    state.RadioOn = true;
    ov::MainWindowHost host;
    ov::PageRegistry registry;
    // The pages that exist so far, without an adapter behind them.
    registry.RegisterPage(ov::TabButton::About, ov::MakeAboutPage);
    ov::COvUI2007Dlg window(state, host, registry, {std::filesystem::path(started.ProgramDir())});
    QObject::connect(&window, &QDialog::rejected, &app, &QCoreApplication::quit);

    auto openMainWindow = [&] {
      // As the monitor opens it: marked expanded, then toggled once into the collapsed layout.
      state.Expanded = true;
      window.ToggleMoreLess();
      if (preview.expanded) window.ToggleMoreLess();
      window.show();
      window.raise();
      window.activateWindow();
    };
    started.SetCommandHandler([&](uint32_t command) {
      if (command == ov::IDM_TRAY_LAUNCH) openMainWindow();
      if (command == ov::IDM_TRAY_EXIT) app.quit();
    });
    if (started.OpenMainOnStart()) openMainWindow();
    for (int i = 0; i < preview.scroll; ++i) window.OnCommand(ov::IDC_SCROLL_RIGHT);
    if (preview.page != 0) window.OnCommand(preview.page);

    if (!preview.message.isEmpty()) {
      QTimer::singleShot(0, &window, [&] { ov::ShowMessage(preview.message, &window); });
    }
    if (preview.select) {
      QTimer::singleShot(0, &window, [&] {
        ov::CSelCardDlg dialog(&window);
        const auto candidates = PreviewCandidates();
        const auto chosen = dialog.ChooseAdapter(candidates);
        std::printf("ovui_shell_preview: chose %s\n",
                    chosen ? std::to_string(*chosen).c_str() : "nothing");
        std::fflush(stdout);
      });
    }
    if (!preview.screenshot.isEmpty()) {
      // Long enough for the windows to be mapped and painted by the display server.
      QTimer::singleShot(800, &app, [&] {
        QScreen* shot = QGuiApplication::primaryScreen();
        const bool saved = shot && shot->grabWindow(0).save(preview.screenshot, "PNG");
        QCoreApplication::exit(saved ? 0 : 1);
      });
    }
    return app.exec();
  });
}
