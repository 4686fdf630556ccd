// OvUI: the utility. One instance per session: a second start asks the running one to open its
// window and ends. The hidden monitor window is the program's whole life; Exit in the tray menu
// (or the switch to access-point mode) ends it.
#include <QApplication>
#include <QScreen>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "driver/discovery/device_id_table.h"
#include "driver/os_version.h"
#include "driver/params/debug_trace.h"
#include "lang/language_table.h"
#include "nativewifi/wlansvc/wlan_service_client.h"
#include "platform/time/qt_message_service.h"
#include "platform/time/qt_timer_service.h"
#include "shell/ui/control_ids.h"
#include "profiles/ov_encrypt_codec.h"
#include "shell/action_queue.h"
#include "shell/hide_dlg.h"
#include "shell/monitor_adapter.h"
#include "shell/monitor_qt.h"
#include "shell/monitor_native_wifi.h"
#include "shell/native_wifi_connection.h"
#include "shell/ovui_pages.h"
#include "nativewifi/eap_host/qt_eap_host.h"
#include "nativewifi/loaded_certificate_manager.h"
#include "nativewifi/native_wifi_client.h"
#include "nativewifi/nm/wlan_backend_choice.h"
#include "shell/registry_broker.h"
#include "shell/service_interface_adapter.h"
#include "shell/ui/control_ids.h"
#include "shell/ui/sel_card_dlg.h"
#include "shell/ui/shell_icons.h"
#include "shell/ui/startup.h"
#include "platform/system/guarded_main.h"

static int RunProgram(int argc, char** argv) {
  QApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(false);
  app.setApplicationName(QStringLiteral("OvUI"));
  app.setDesktopFileName(QStringLiteral("ovui"));
  app.setWindowIcon(ov::AppIcon());

  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);

  ov::COvUI2007 shell;
  return ov::RunApplication(shell, args, [&](ov::COvUI2007& started) {
    ov::LoadLanguageTable();
    const ov::OsVersionCode code = ov::CurrentOsVersionCode();
    const bool isAdmin = ov::IsAdmin(code);

    ov::QtTimerService timers;
    ov::QtMessageService messages;
    ov::DriverMonitorAdapter adapter(timers, ov::LoadDeviceIdTables(started.ProgramIniPath()), code,
                                     nullptr);
    ov::RegistryBroker broker(started.ProgramIniPath(), isAdmin);
    // The simulator's service or the machine's NetworkManager (OVUI_WLAN_BACKEND, the program
    // INI, else whichever is there). NetworkManager's interfaces have no vendor driver behind
    // them: the adapter is then the service's interface and the driver answers nothing.
    const ov::wlan::ChosenWlanService chosen = ov::wlan::MakeChosenWlanService(started.ProgramIniPath());
    std::fprintf(stderr, "OvUI: wireless service: %s\n", chosen.why.c_str());
    std::shared_ptr<ov::wlan::WlanService> service = chosen.service;
    ov::ServiceInterfaceAdapter serviceAdapter(service);
    ov::MonitorAdapter& monitorAdapter =
        chosen.backend == ov::wlan::WlanBackend::NetworkManager ? static_cast<ov::MonitorAdapter&>(serviceAdapter)
                                                                : adapter;
    // The monitor's scan list, filled on each scan-complete message; the client's profile
    // builder reads it.
    std::function<std::span<const uint8_t>()> scanList;
    ov::NativeWifiClientServices clientServices;
    clientServices.service = service;
    clientServices.driver = &monitorAdapter.Driver();
    clientServices.registry = &broker;
    clientServices.lastScanList = [&] { return scanList ? scanList() : std::span<const uint8_t>(); };
    clientServices.timers = &timers;
    auto renewal = std::make_shared<ov::AdapterAddressRenewal>();
    clientServices.addressRenewal = renewal;
    clientServices.eapHost = std::make_shared<ov::QtEapHost>();
    ov::NativeWifiClient client(clientServices);
    ov::NativeWifiConnectionClient connection(client);
    ov::NativeWifiMonitorWifi wifi(client, service, started.DataDir().shared, renewal);
    ov::QtTrayIcon tray;
    ov::QtMonitorDesktop desktop;
    ov::LogindSession session;
    ov::OvEncryptSecretCodec codec;
    ov::WapiLibrary wapi;
    ov::CertificateManagerModule certificates;  // loaded at adapter set-up
    ov::LoadedCertificateManager certificateManager(certificates);

    // The pages of the main window.
    ov::PageRegistry pages;
    ov::RegisterProgramPages(pages);

    ov::MonitorServices services;
    services.timers = &timers;
    services.messages = &messages;
    services.adapter = &monitorAdapter;
    services.wifi = &wifi;
    services.tray = &tray;
    services.desktop = &desktop;
    services.session = &session;
    services.registry = &broker;
    services.pages = &pages;
    services.pageClient = &client;
    services.secretCodec = &codec;
    services.queue.wapi = &wapi;
    services.queue.certificateManager = &certificateManager;
    services.certificates = &certificates;
    services.queue.client = &connection;
    services.queue.appendDebugTraceFile = [&](std::string_view text) {
      ov::AppendDebugTraceFile(started.ProgramIniPath(), text);
    };
    services.log = [](std::string_view line) {
      std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
    };

    ov::MonitorOptions options;
    options.programDir = started.ProgramDir();
    options.programIniPath = started.ProgramIniPath();
    options.dataDir = started.DataDir().path;
    if (!options.dataDir.empty() && options.dataDir.back() != '/') options.dataDir += '/';
    options.openMainOnStart = started.OpenMainOnStart();
    options.isAdmin = isAdmin;
    options.isWow64 = ov::IsWow64(code, std::nullopt);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
      options.desktopHeight = screen->geometry().height();

    ov::CHideDlg monitor(services, options);
    scanList = [&] {
      return std::span<const uint8_t>(monitor.ScanList(ov::kScanListCurrent));
    };
    // The adapter choice is modal: the monitor's ticks wait while it is open.
    ov::SelCardOnDemand selCard;
    ov::BusyWhileChoosing chooser(selCard, monitor.State().Busy);
    adapter.Discovery().setChooser(&chooser);

    wifi.SetMessageTarget(monitor.Target());
    tray.Connect(monitor.Target(), [&] { return monitor.ContextMenuItems(); });
    session.OnSleep([&](bool sleeping) {
      if (sleeping) monitor.OnSuspend(); else monitor.OnResume();
    });
    started.SetCommandHandler([&](uint32_t command) { monitor.OnCommand(command); });
    monitor.SetEndHandler([] { QCoreApplication::quit(); });

    monitor.OnInitDialog();
    std::printf("OvUI running: ProgramDir %s, DataDir %s, adapter %s\n",
                started.ProgramDir().c_str(), options.dataDir.c_str(),
                monitor.AdapterPresent() ? monitor.Adapter().description.c_str() : "none");
    std::fflush(stdout);
    const int result = monitor.Ended() ? 0 : app.exec();
    client.Close();
    return result;
  });
}

int main(int argc, char** argv) {
  return ov::GuardedMain("OvUI", [&] { return RunProgram(argc, argv); });
}
