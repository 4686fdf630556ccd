#pragma once
#include <QPointer>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "driver/adapter_info.h"
#include "driver/params/registry_writer.h"
#include "platform/time/message_service.h"
#include "platform/time/monitor_messages.h"
#include "platform/time/timer_service.h"
#include "platform/time/window_timers.h"
#include "profiles/profile_store.h"
#include "shell/action_queue.h"
#include "shell/adapter_setup.h"
#include "shell/monitor_seams.h"
#include "shell/radio_page_host.h"
#include "shell/ui/main_window.h"
#include "shell/ui/message_box.h"
#include "shell/ui/shell_state.h"
#include "siblings/certmgr_client.h"

// The hidden monitor window: it lives for the whole run, owns the tray icon, the periodic
// adapter and connection checks, the main window, the action queue and the process-wide adapter
// state, and ends the program when it closes. Everything here runs on the UI thread; other
// threads reach it only through posted messages.
namespace ov {

// Timer ids of the window.
inline constexpr int kMonitorTimerMain = 1;           // 2000 ms tick
inline constexpr int kMonitorTimerExtraTick = 3;      // started by the action queue
inline constexpr int kMonitorTimerWpsCheck = 4;
inline constexpr int kMonitorTimerWpsPbcStarted = 5;
inline constexpr int kMonitorTimerWpsPoll = 6;
inline constexpr int kMonitorTimerSurveyRescan = 8;
inline constexpr int kMonitorTimerReapply = 9;
inline constexpr int kMonitorTimerResume = 13;
inline constexpr int kMonitorTimerMoreLess = 15;
inline constexpr int kMonitorTimerOneShot16 = 16;
inline constexpr int kMonitorTimerSession = 17;

inline constexpr uint32_t kMainTickMs = 2000;
inline constexpr uint32_t kWpsPbcPollMs = 1000;
inline constexpr uint32_t kWpsStatusPollMs = 200;
inline constexpr uint32_t kWpsCheckMs = 10000;
inline constexpr uint32_t kResumeWaitMs = 2000;
inline constexpr uint32_t kMoreLessSyncMs = 200;
inline constexpr uint32_t kSessionCheckMs = 2000;
inline constexpr int kResumeReadyRetries = 3;

// The scan lists: the current list, the previous one and a working copy, zero-filled.
inline constexpr size_t kScanListBytes = 64 * 1024;
enum ScanListBuffer { kScanListCurrent = 0, kScanListPrevious = 1, kScanListWorking = 2 };

// The site-survey page's rescan command.
inline constexpr uint32_t IDC_SITESURVEY_RESCAN = 1015;

// PageMessageSink, which forwarded messages reach, is part of the page contract
// (shell/ui/page_contract.h).

// Sibling programs of the access-point switch, in the program folder.
inline constexpr char kSwitchToolName[] = "OvSwap";
inline constexpr char kApUtilityName[] = "DeZA";

struct MonitorOptions {
  std::string programDir;      // with its trailing separator
  std::string programIniPath;  // OvUI.INI beside the program
  std::string dataDir;         // the profile store's folder, with its trailing separator
  bool openMainOnStart = true;
  bool isAdmin = false;
  bool isWow64 = false;
  int desktopHeight = 768;
};

// The outside things the window uses; all must outlive it. `queue` gets the driver, registry
// and the window's timers filled in by the window.
struct MonitorServices {
  TimerService* timers = nullptr;
  MessageService* messages = nullptr;
  MonitorAdapter* adapter = nullptr;
  MonitorWifi* wifi = nullptr;
  TrayIcon* tray = nullptr;
  MonitorDesktop* desktop = nullptr;
  SessionSource* session = nullptr;
  RegistryWriter* registry = nullptr;
  SecretCodec* secretCodec = nullptr;  // the store's secrets; null stores clear text
  const PageRegistry* pages = nullptr; // null: a main window without pages
  NativeWifiClient* pageClient = nullptr;  // the wireless client the pages use (null in tests)
  ActionQueueServices queue;           // client, WAPI, certificates, scan list, trace
  // libOvCertMgr.so, loaded by the WAPI check at adapter set-up (null: WAPI stays off); the
  // queue's certificate manager and the pages reach it once loaded.
  CertificateManagerModule* certificates = nullptr;
  std::function<void(std::string_view)> log;  // one line to the program's log
};

class CHideDlg final : public MainWindowHost, public RadioPageHost {
 public:
  CHideDlg(MonitorServices services, MonitorOptions options);
  ~CHideDlg() override;
  CHideDlg(const CHideDlg&) = delete;
  CHideDlg& operator=(const CHideDlg&) = delete;

  // Initialisation: discovery, adapter set-up, timer 1 and the tray icon.
  void OnInitDialog();
  // Ends when the window closes (Exit, or the switch to access-point mode).
  void SetEndHandler(std::function<void()> handler) { endHandler_ = std::move(handler); }
  bool Ended() const { return ended_; }

  // Where other threads and the tray post to.
  MessageTarget Target() const;
  // A posted message or a command, as the window procedure takes it.
  void OnMessage(const Message& message);
  void OnCommand(uint32_t command);
  void OnTimer(int id);
  void OnSuspend();
  void OnResume();

  void OpenMainWindow();
  void SetTrayState(TrayState state);
  void ShowLowerPanel(int panel);
  // The items of the tray menu as it would open now.
  std::vector<TrayMenuItem> TrayMenuItems() const;
  // The same for a menu the desktop opens on its own (a notification area that shows the icon's
  // menu itself): none while Busy, as a right click then does nothing.
  std::vector<TrayMenuItem> ContextMenuItems() const;

  // State for pages, the program and tests.
  ShellState& State() { return state_; }
  const AdapterInfo& Adapter() const { return state_.Adapter; }
  bool AdapterPresent() const { return adapterPresent_; }
  bool WpaReady() const { return wpaReady_; }
  bool WapiSupported() const { return wapiSupported_; }
  bool TrayIconAdded() const { return trayIconAdded_; }
  std::optional<TrayState> CurrentTrayState() const { return trayState_; }
  const QString& TrayTip() const { return trayTip_; }
  bool ApSwitchDone() const { return apSwitchDone_; }
  COvUI2007Dlg* MainWindow() const { return mainWindow_.data(); }
  // Made when the switch to access-point mode first needs it (start-up does not pay for it).
  CMessageBoxDlg& NoticeDialog() {
    if (!notice_) notice_ = std::make_unique<CMessageBoxDlg>();
    return *notice_;
  }
  bool NoticeShown() const { return notice_ && notice_->isVisible(); }
  WindowTimers& Timers() { return *timers_; }
  ActionQueue& Queue() { return *queue_; }
  ProfileStore* Store() { return store_.get(); }
  const std::string& CurrentSsid() const { return currentSsid_; }
  const std::string& CurrentProfileName() const { return currentProfileName_; }
  // Adapter facts read at set-up for the pages.
  bool Ieee80211h() const { return facts_.ieee80211h; }
  int32_t PsMode() const { return facts_.psMode; }
  uint16_t NdisVersion() const { return facts_.ndisVersion; }
  // The program INI's options, read at initialisation.
  const ProgramOptions& ProgramSettings() const { return programOptions_; }
  std::vector<uint8_t>& ScanList(ScanListBuffer which) { return scanLists_[which]; }
  int ResumeRetries() const { return resumeRetries_; }
  const MonitorOptions& Options() const { return options_; }
  const MonitorServices& Services() const { return services_; }
  // The switch to access-point mode sets this before the window ends.
  void SetApSwitchDone() { apSwitchDone_ = true; }
  // The Exit command's work without the Busy check (the switch to access-point mode runs it).
  void CloseMonitor();

  // MainWindowHost
  bool AdapterConnected() override;
  bool RadioParameterOn() override;
  void SwitchRadio(bool radioOn) override;
  std::span<uint8_t> ScanList() override { return scanLists_[kScanListCurrent]; }
  void QueueScan() override { queue_->QueueScan(); }
  bool ScanInProgress() override { return queue_->MonitorBusy(); }
  bool WirelessServiceAvailable() override;
  ConnectPolicy SurveyConnectPolicy() override;
  bool SsoInstalled() override;
  bool ApplyStationProfile(std::unique_ptr<StationProfile> record) override;
  RadioPageHost* RadioPages() override { return this; }

  // RadioPageHost
  bool ABandCapable() const override { return facts_.aBandCapable; }
  bool Bw40Allowed24() const override { return facts_.bw40.allowed24; }
  bool Bw40Allowed5() const override { return facts_.bw40.allowed5; }
  RadioSettingsState& Radio() override { return queue_->radio(); }
  void RunChannelPlan() override { queue_->RunChannelPlan(); }
  void ApplyActiveConfiguration() override { queue_->ApplyActiveConfiguration(0, 1, 0); }
  bool CurrentProfileUsesBssid() const override;
  ProgramOptions ProgramSettingsNow() override;
  void AppendDebugTrace(std::string_view text) override;
  RadioConnection* Connection() override;
  AdvancePageMemory& AdvanceMemory() override { return advanceMemory_; }
  // The main window's question (WMM page), answered as the radio pages' one.
  bool CurrentProfileUsesBssid() override {
    return static_cast<const CHideDlg&>(*this).CurrentProfileUsesBssid();
  }
  ActionQueue* ActivationQueue() override { return queue_.get(); }
  bool ShowActiveProfileIcon() override { return programOptions_.activeProfileIcon; }
  void NoteAppliedProfile(const std::string& name) override { currentProfileName_ = name; }
  MessageTarget MonitorTarget() override { return Target(); }

 private:
  void AdapterSetup(bool openMainWindow);
  bool CheckAdapter();
  void UpdateTrayState();
  // A desktop notice when the link the tray shows came up or was lost.
  void NotifyLinkChange(bool up);
  void DestroyMainWindow();
  // What the pages of a main window made now reach (the store follows the adapter).
  PageServices PageServicesNow();
  void RefreshQueueContext();
  // CheckWapiSupport: the certificate manager loaded from the program folder and the option
  // [AuthEncry] "SupportWAPI" set turn WAPI support on for the rest of the run.
  void CheckWapiSupport();
  void OnTray(intptr_t mouseMessage);
  void SessionCheck();
  void WpsPbcStartedCheck();
  void WpsStatusPoll();
  void WpsConnectionCheck();
  bool ConnectionMatchesCredential();
  void PostToPage(TabButton page, const Message& message);
  void Log(std::string_view line);
  bool SiblingsPresent() const;

  MonitorServices services_;
  MonitorOptions options_;
  ShellState state_;
  std::unique_ptr<WindowTimers> timers_;
  std::unique_ptr<MessageReceiver> receiver_;
  std::unique_ptr<ActionQueue> queue_;
  std::unique_ptr<ProfileStore> store_;
  std::unique_ptr<CMessageBoxDlg> notice_;
  QPointer<COvUI2007Dlg> mainWindow_;
  PageRegistry emptyPages_;
  std::function<void()> endHandler_;

  bool adapterPresent_ = false;
  bool adapterSetUp_ = false;  // adapter set-up ran: its timers belong to the running state
  bool wpaReady_ = false;
  bool wapiSupported_ = false;
  AdapterFacts facts_;
  ProgramOptions programOptions_;
  bool trayIconAdded_ = false;
  bool trayUnavailableLogged_ = false;
  bool apSwitchDone_ = false;
  bool ended_ = false;
  bool closing_ = false;
  int resumeRetries_ = 0;
  uint32_t startSession_ = 0;
  uint32_t lastSession_ = 0;
  std::string currentProfileName_;
  std::string currentSsid_;
  MacAddress currentBssid_{};
  std::optional<TrayState> trayState_;
  std::optional<bool> linkShownUp_;
  QString trayTip_;
  std::array<std::vector<uint8_t>, 3> scanLists_;
  AdvancePageMemory advanceMemory_;
  std::unique_ptr<NativeWifiRadioConnection> radioConnection_;
};

}  // namespace ov
