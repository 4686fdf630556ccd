#include "shell/hide_dlg.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <algorithm>
#include <filesystem>

#include "driver/oid/oid_constants.h"
#include "driver/oid/oid_requests.h"
#include "driver/oid/wps_records.h"
#include "driver/params/adapter_params.h"
#include "driver/params/debug_trace.h"
#include "driver/params/parameter_sets.h"
#include "driver/signal_strength.h"
#include "lang/language_table.h"
#include "platform/registry/registry.h"
#include "platform/system/error_codes.h"
#include "profiles/sso_registry.h"
#include "shell/adapter_setup.h"
#include "shell/ap_switch.h"
#include "shell/monitor_logic.h"
#include "nativewifi/native_wifi_client.h"
#include "shell/ui/ui_text.h"
#include "siblings/wapi_exports.h"

namespace ov {

namespace {

bool AllZero(const MacAddress& mac) {
  for (uint8_t b : mac)
    if (b) return false;
  return true;
}

}  // namespace

CHideDlg::CHideDlg(MonitorServices services, MonitorOptions options)
    : services_(std::move(services)), options_(std::move(options)) {
  timers_ = std::make_unique<WindowTimers>(*services_.timers, [this](int id) { OnTimer(id); });
  receiver_ = services_.messages->createReceiver([this](const Message& m) { OnMessage(m); });
  for (auto& list : scanLists_) list.assign(kScanListBytes, 0);
  ActionQueueServices q = services_.queue;
  if (!q.scanList) {
    q.scanList = [this] {
      return std::span<const uint8_t>(scanLists_[kScanListCurrent]);
    };
  }
  q.driver = &services_.adapter->Driver();
  q.registry = services_.registry;
  q.monitorTimers = timers_.get();
  q.secretCodec = services_.secretCodec;
  queue_ = std::make_unique<ActionQueue>(std::move(q));
  BindMessageBusyFlag(&state_.Busy);
}

CHideDlg::~CHideDlg() {
  // Nothing may call back into a half-destroyed window.
  timers_->killAll();
  receiver_.reset();
  UnbindMessageBusyFlag(&state_.Busy);
  if (mainWindow_) delete mainWindow_.data();
}

MessageTarget CHideDlg::Target() const { return receiver_->target(); }

void CHideDlg::Log(std::string_view line) {
  if (services_.log) services_.log(line);
}

void CHideDlg::OnInitDialog() {
  LoadLanguageTable();
  startSession_ = lastSession_ = services_.session->ActiveSession();
  timers_->start(kMonitorTimerSession, kSessionCheckMs);
  state_.SmallScreen = IsSmallScreen(options_.desktopHeight);

  state_.Adapter.isAdmin = options_.isAdmin;
  state_.Adapter.isWow64 = options_.isWow64;
  programOptions_ = ReadProgramOptions(options_.programIniPath);
  state_.ShowPasswordOption = programOptions_.showPassword;
  state_.EapFastEnhancement = programOptions_.eapFastEnhancement;
  if (!options_.isAdmin && programOptions_.warningMessageForGenUser) {
    ScopedBusy busy(state_);
    services_.desktop->ShowModalMessage(QStringLiteral(
        "You have no 'Administrator' privilege, so some features may not work successfully"));
  }
  RefreshQueueContext();

  adapterPresent_ = services_.adapter->DiscoverAdapter(state_.Adapter);
  if (adapterPresent_) AdapterSetup(options_.openMainOnStart);

  timers_->start(kMonitorTimerMain, kMainTickMs);
  SetTrayState(adapterPresent_ ? TrayState::Lost : TrayState::NotExist);
}

void CHideDlg::AdapterSetup(bool openMainWindow) {
  // The pages of a window made for the previous set-up hold its store and adapter facts.
  if (mainWindow_) DestroyMainWindow();
  AdapterSetupInputs inputs;
  inputs.driver = &services_.adapter->Driver();
  inputs.registry = services_.registry;
  inputs.adapter = &state_.Adapter;
  inputs.options = programOptions_;
  inputs.isAdmin = options_.isAdmin;
  inputs.dataDir = options_.dataDir;
  inputs.secretCodec = services_.secretCodec;
  inputs.handBackFromApMode = [this] { HandBackFromApMode(*this); };
  // Without a vendor driver there is no adapter key to hold the parameter sets.
  inputs.writeParameterSets = !state_.Adapter.noVendorDriver;
  inputs.busy = &state_.Busy;
  inputs.bw40 = facts_.bw40;
  AdapterSetupResult setup = SetUpAdapter(inputs, *queue_);
  facts_ = setup.facts;
  store_ = std::move(setup.store);
  if (!setup.currentProfileName.empty()) currentProfileName_ = setup.currentProfileName;

  state_.RadioOn = facts_.radioOn;
  if (facts_.mac) services_.wifi->SetAdapterAddress(*facts_.mac);
  services_.wifi->OpenInterface(state_.Adapter.description);
  services_.wifi->SetSoftwareRadio(state_.RadioOn);

  RefreshQueueContext();
  if (state_.RadioOn) {
    wpaReady_ = true;
    CheckWapiSupport();
    RefreshQueueContext();
    timers_->start(kMonitorTimerSurveyRescan, 4000);
    queue_->ApplyActiveConfiguration(1, 0, facts_.supportedPhyTypesResult);
  }
  adapterSetUp_ = true;
  Log("OvUI: adapter set up: " + state_.Adapter.description);
  if (openMainWindow) OpenMainWindow();
  timers_->start(kMonitorTimerWpsPbcStarted, kWpsPbcPollMs);
}

void CHideDlg::RefreshQueueContext() {
  AdapterContext& a = queue_->adapter();
  FillAdapterContext(state_.Adapter, facts_, programOptions_, options_.isAdmin, a);
  a.radioOn = state_.RadioOn;  // the radio command changes it between set-ups
  a.wpaReady = wpaReady_;
  state_.WpaReady = wpaReady_;
  a.wapiSupported = wapiSupported_;
  state_.WapiSupported = wapiSupported_;
}

void CHideDlg::CheckWapiSupport() {
  if (services_.certificates == nullptr) return;
  const bool loaded = services_.certificates->Load(std::filesystem::path(options_.programDir) /
                                                   wapi::kCertMgrLibraryName);
  if (loaded && programOptions_.supportWapi) wapiSupported_ = true;
}

void CHideDlg::OnTimer(int id) {
  switch (id) {
    case kMonitorTimerMoreLess:
      if (mainWindow_) mainWindow_->SyncMoreLessButton();
      return;
    case kMonitorTimerSession:
      SessionCheck();
      return;
    case kMonitorTimerResume: {
      timers_->kill(kMonitorTimerResume);
      uint32_t ready = 0;
      const bool answered = QueryNicReady(services_.adapter->Driver(), ready);
      if ((!answered || ready != 1) && resumeRetries_ < kResumeReadyRetries) {
        ++resumeRetries_;
        timers_->start(kMonitorTimerResume, kResumeWaitMs);
      } else {
        resumeRetries_ = 0;
        queue_->QueueScan();
      }
      return;
    }
    case kMonitorTimerOneShot16:
      timers_->kill(kMonitorTimerOneShot16);
      return;
    case kMonitorTimerMain:
      timers_->start(kMonitorTimerMain, kMainTickMs);
      break;
    default:
      break;
  }
  if (state_.Busy) return;
  if (!CheckAdapter()) return;
  if (id == kMonitorTimerReapply) {
    timers_->kill(kMonitorTimerReapply);
    queue_->ApplyActiveConfiguration(0, 1, 0);
  }
  if (id == kMonitorTimerSurveyRescan) {
    timers_->kill(kMonitorTimerSurveyRescan);
    if (mainWindow_ && state_.RadioOn)
      PostToPage(TabButton::SiteSurvey, Message{WM_COMMAND, IDC_SITESURVEY_RESCAN, 0});
  }
  wpaReady_ = true;
  queue_->adapter().wpaReady = true;
  state_.WpaReady = true;
  if (id == kMonitorTimerWpsCheck) {
    WpsConnectionCheck();
    return;
  }
  if (id == kMonitorTimerWpsPbcStarted) WpsPbcStartedCheck();
  if (id == kMonitorTimerWpsPoll) WpsStatusPoll();
  if (ended_) return;
  UpdateTrayState();
}

bool CHideDlg::CheckAdapter() {
  if (adapterPresent_ && services_.adapter->IsDevicePresent()) {
    if (mainWindow_.isNull() && timers_->isActive(kMonitorTimerMoreLess))
      timers_->kill(kMonitorTimerMoreLess);
    return true;
  }
  timers_->kill(kMonitorTimerMain);
  DestroyMainWindow();
  if (NoticeShown()) notice_->hide();
  state_.Adapter.adapterKeyPath.clear();
  adapterPresent_ = services_.adapter->DiscoverAdapter(state_.Adapter);
  timers_->start(kMonitorTimerMain, kMainTickMs);
  if (adapterPresent_) {
    SetTrayState(TrayState::Lost);
    AdapterSetup(false);
    return true;
  }
  if (adapterSetUp_) Log("OvUI: the adapter is gone");
  adapterSetUp_ = false;
  SetTrayState(TrayState::NotExist);
  services_.adapter->ClearUsbMatch();
  return false;
}

void CHideDlg::UpdateTrayState() {
  currentSsid_.clear();
  currentBssid_ = {};
  MonitorWifi& wifi = *services_.wifi;
  std::optional<bool> connected = wifi.QueryConnected();
  if (!connected) {
    if (!services_.adapter->IsDevicePresent()) {
      state_.Adapter.adapterKeyPath.clear();
      adapterPresent_ = services_.adapter->DiscoverAdapter(state_.Adapter);
      if (adapterPresent_) {
        SetTrayState(TrayState::Lost);
        AdapterSetup(false);
      }
    }
    wifi.OpenInterface(state_.Adapter.description);
  }
  wifi.CurrentLink(&currentSsid_, &currentBssid_);
  const bool linkUp = connected.value_or(false);

  OidRequester& driver = services_.adapter->Driver();
  uint32_t extra = 0;
  const bool hardwareRadioOff = QueryExtraInfo(driver, extra) && extra == EXTRA_INFO_HW_RADIO_OFF;
  const bool shownUp = !(hardwareRadioOff || !linkUp || AllZero(currentBssid_));
  if (!shownUp) {
    SetTrayState(TrayState::Lost);
  } else if (state_.Adapter.noVendorDriver) {
    // No driver to ask for the RSSI: the service's signal quality, already a percentage.
    SetTrayState(TrayStateForPercent(static_cast<int>(wifi.CurrentSignalQuality().value_or(0))));
  } else {
    // The chains that answered; no answer at all reads as 0 dBm.
    int32_t dBm = 0;
    QueryCombinedRssi(driver, dBm);
    SetTrayState(TrayStateForPercent(RssiToPercent(dBm)));
  }
  NotifyLinkChange(shownUp);
  if (mainWindow_) {
    mainWindow_->UpdateWpsButton();
    mainWindow_->UpdateWmmButton();
  }
}

void CHideDlg::NotifyLinkChange(bool up) {
  // The first look only records the link: a notice at start would say what the icon says.
  const bool changed = linkShownUp_.has_value() && *linkShownUp_ != up;
  linkShownUp_ = up;
  if (!changed || !programOptions_.notify) return;
  if (mainWindow_ && mainWindow_->isVisible() && mainWindow_->isActiveWindow()) return;
  services_.tray->ShowNotification(UiText(IDS_ORVANE_CONFIG_TITLE), trayTip_);
}

void CHideDlg::SetTrayState(TrayState state) {
  const std::string tip = (state == TrayState::Lost || state == TrayState::NotExist)
                              ? FormatTrayTip(LangText(TrayTipKey(state)), "")
                              : FormatTrayTip(LangText(TrayTipKey(state)), currentSsid_);
  trayTip_ = QString::fromUtf8(tip.data(), static_cast<qsizetype>(tip.size()));
  trayState_ = state;
  TrayIcon& tray = *services_.tray;
  if (!trayIconAdded_ || !tray.Modify(state, trayTip_)) {
    if (trayIconAdded_) tray.Remove();
    trayIconAdded_ = tray.Add(state, trayTip_);
    if (!trayIconAdded_ && !trayUnavailableLogged_) {
      trayUnavailableLogged_ = true;
      Log("OvUI: the desktop has no notification area; running without a tray icon "
          "(start OvUI again to open its window)");
    }
  }
  if (mainWindow_) {
    mainWindow_->setWindowIcon(TrayStateIcon(state));
    mainWindow_->SetStatusText(trayTip_);
  }
}

void CHideDlg::DestroyMainWindow() {
  if (mainWindow_ && !mainWindow_->TornDown()) {
    // Deleted once no modal loop of its pages runs any more.
    mainWindow_->Teardown();
  }
  mainWindow_.clear();
  timers_->kill(kMonitorTimerMoreLess);
}

void CHideDlg::OpenMainWindow() {
  if (state_.Busy) return;
  if (!adapterPresent_) {
    ScopedBusy busy(state_);
    services_.desktop->ShowModalMessage(UiText(IDS_DRIVER_NOTOK));
    return;
  }
  if (!mainWindow_ || mainWindow_->TornDown()) {
    const PageRegistry& pages = services_.pages ? *services_.pages : emptyPages_;
    COvUI2007Dlg::Options windowOptions(std::filesystem::path(options_.programDir));
    windowOptions.services = PageServicesNow();
    mainWindow_ = new COvUI2007Dlg(state_, *this, pages, std::move(windowOptions));
    mainWindow_->setAttribute(Qt::WA_DeleteOnClose, false);
    if (trayState_) {
      mainWindow_->setWindowIcon(TrayStateIcon(*trayState_));
      mainWindow_->SetStatusText(trayTip_);
    }
  }
  timers_->start(kMonitorTimerMoreLess, kMoreLessSyncMs);
  state_.Expanded = true;
  mainWindow_->ToggleMoreLess();
  mainWindow_->show();
  mainWindow_->raise();
  mainWindow_->activateWindow();
}

PageServices CHideDlg::PageServicesNow() {
  PageServices page;
  page.driver = &services_.adapter->Driver();
  page.registry = services_.registry;
  page.wifi = services_.pageClient;
  page.store = store_.get();
  page.timers = services_.timers;
  if (services_.certificates && services_.certificates->Loaded()) page.certificates = services_.certificates;
  return page;  // messages through ShowMessage, which holds Busy
}

bool CHideDlg::WirelessServiceAvailable() {
  if (services_.pageClient) return services_.pageClient->IsOpen() && services_.pageClient->InterfaceFound();
  return services_.wifi && services_.wifi->ServiceRunning();
}

MainWindowHost::ConnectPolicy CHideDlg::SurveyConnectPolicy() {
  ConnectPolicy policy;
  policy.wpaReady = wpaReady_;
  policy.wapiSupported = queue_->adapter().wapiSupported;
  policy.standardUserMayManageProfiles = programOptions_.allowStandardUserSetProfile;
  return policy;
}

bool CHideDlg::SsoInstalled() {
  return ov::SsoInstalled(options_.isAdmin, programOptions_.allowStandardUserSetProfile);
}

bool CHideDlg::ApplyStationProfile(std::unique_ptr<StationProfile> record) {
  const bool runNow = queue_->QueueAction(kActionApplyProfile, std::move(record));
  if (runNow) queue_->ActionExec();
  queue_->activation().StationProfileInUse = 0;
  queue_->wps().WpsProfileInUse = 0;
  return runNow;
}

void CHideDlg::ShowLowerPanel(int panel) {
  state_.LowerPanel = panel;
  if (mainWindow_) mainWindow_->ShowLowerPanel(panel);
}

void CHideDlg::PostToPage(TabButton page, const Message& message) {
  if (!mainWindow_) return;
  QWidget* widget = mainWindow_->Page(page);
  auto* sink = dynamic_cast<PageMessageSink*>(widget);
  if (!sink) return;
  QPointer<QWidget> guard(widget);
  QMetaObject::invokeMethod(
      widget,
      [guard, sink, message] {
        if (guard) sink->OnMonitorMessage(message);
      },
      Qt::QueuedConnection);
}

void CHideDlg::OnMessage(const Message& m) {
  switch (m.message) {
    case WM_COMMAND:
      OnCommand(static_cast<uint32_t>(m.wParam & 0xFFFF));
      return;
    case WM_MON_TRAY:
      OnTray(m.lParam);
      return;
    case WM_MON_CONNECT_DONE:
      services_.wifi->ConnectionComplete(m.wParam == 1);
      if (mainWindow_ && state_.RadioOn)
        PostToPage(TabButton::SiteSurvey, Message{WM_COMMAND, IDC_SITESURVEY_RESCAN, 0});
      // The profile list stops waiting for the connection its Apply asked for.
      if (mainWindow_) PostToPage(TabButton::Profile, m);
      return;
    case WM_MON_SCAN_DONE:
      queue_->ClearMonitorBusy();
      services_.wifi->CopyScanList(scanLists_[kScanListCurrent]);
      if (mainWindow_) {
        PostToPage(TabButton::SiteSurvey, m);
        PostToPage(TabButton::Wps, m);
      }
      return;
    case WM_MON_SCAN_FAILED:
      queue_->ClearMonitorBusy();
      if (mainWindow_) {
        // The list's first word is its number of entries.
        const auto list = queue_->services().scanList();
        if (list.size() < 4 || (list[0] | list[1] | list[2] | list[3]) == 0)
          PostToPage(TabButton::SiteSurvey, Message{WM_MON_SCAN_DONE, 0, 0});
        PostToPage(TabButton::Wps, m);
      }
      return;
    case WM_MON_EAP_UI_DONE:
      // The whole window waits for the EAP dialog; the profile list also keeps its buttons
      // disabled until the dialog has closed.
      if (mainWindow_) {
        mainWindow_->setEnabled(m.wParam == 1);
        PostToPage(TabButton::Profile, m);
      }
      return;
    case WM_MON_RADIO_ON:
      timers_->start(kMonitorTimerReapply, 4000);
      timers_->start(kMonitorTimerSurveyRescan, 8000);
      return;
    case WM_MON_RADIO_OFF:
      if (mainWindow_) {
        std::fill(scanLists_[kScanListCurrent].begin(), scanLists_[kScanListCurrent].end(), 0);
        std::fill(scanLists_[kScanListPrevious].begin(), scanLists_[kScanListPrevious].end(), 0);
        PostToPage(TabButton::SiteSurvey, Message{WM_MON_SCAN_DONE, 0, 0});
        PostToPage(TabButton::Wps, Message{WM_MON_SCAN_DONE, 0, 0});
      }
      return;
    case WM_MON_CONNECT_FAILED:
      timers_->start(kMonitorTimerReapply, 10000);
      // The survey and the profile list tell the user why a connection they started failed.
      if (mainWindow_) {
        PostToPage(TabButton::SiteSurvey, m);
        PostToPage(TabButton::Profile, m);
      }
      return;
    case WM_MON_ATTEMPT_FAILED:
      if (mainWindow_) {
        PostToPage(TabButton::SiteSurvey, m);
        PostToPage(TabButton::Profile, m);
      }
      return;
    case WM_MON_CONNECTING:
      timers_->kill(kMonitorTimerReapply);
      return;
    case WM_MON_EAP_CONFIG:
      if (mainWindow_) PostToPage(TabButton::SiteSurvey, m);
      return;
    default:
      break;
  }
  if (IsIhvEventMessage(m.message)) {
    // The CCX page decides itself whether it is in diagnostic mode.
    if (mainWindow_) PostToPage(TabButton::CcxConfig, m);
  }
}

void CHideDlg::OnTray(intptr_t mouseMessage) {
  if (state_.Busy) return;
  if (mouseMessage == WM_LBUTTONDBLCLK) {
    if (adapterPresent_) OpenMainWindow();
  } else if (mouseMessage == WM_RBUTTONDOWN) {
    services_.tray->PopupMenu(TrayMenuItems());
  }
}

bool CHideDlg::SiblingsPresent() const {
  namespace fs = std::filesystem;
  std::error_code ec;
  return fs::exists(fs::path(options_.programDir) / kSwitchToolName, ec) &&
         fs::exists(fs::path(options_.programDir) / kApUtilityName, ec);
}

std::vector<TrayMenuItem> CHideDlg::TrayMenuItems() const {
  std::vector<TrayMenuItem> items;
  items.push_back({IDM_TRAY_LAUNCH, UiText(IDS_TRAY_LAUNCH), true});
  if (TrayMenuResource(SiblingsPresent(), state_.Adapter.chipFamily, adapterPresent_,
                       options_.isAdmin) == kTrayMenuWithApSwitch) {
    items.push_back({IDM_TRAY_SWITCH_AP_MODE, UiText(IDS_TRAY_SWITCH_AP_MODE),
                     !NoticeShown()});
  }
  items.push_back({IDM_TRAY_EXIT, UiText(IDS_TRAY_EXIT), true});
  return items;
}

std::vector<TrayMenuItem> CHideDlg::ContextMenuItems() const {
  if (state_.Busy) return {};
  return TrayMenuItems();
}

void CHideDlg::OnCommand(uint32_t command) {
  switch (command) {
    case IDM_TRAY_LAUNCH:
      if (state_.Busy) return;
      if (adapterPresent_ && services_.adapter->IsDevicePresent()) OpenMainWindow();
      return;
    case IDM_TRAY_EXIT:
      if (state_.Busy) return;
      CloseMonitor();
      return;
    case IDM_TRAY_SWITCH_AP_MODE:
      SwitchToApMode(*this);
      return;
    default:
      return;
  }
}

void CHideDlg::CloseMonitor() {
  if (ended_ || closing_) return;
  closing_ = true;
  DestroyMainWindow();
  if (NoticeShown()) notice_->hide();
  services_.tray->Remove();
  trayIconAdded_ = false;
  for (int id = 0; id <= 13; ++id) timers_->kill(id);
  timers_->killAll();

  // The window's destruction: the station parameters are kept for the next start unless the
  // adapter was just handed to the access-point utility.
  if (!apSwitchDone_ && adapterPresent_ && !state_.Adapter.adapterKeyPath.empty())
    SaveDefaults(*services_.registry, state_.Adapter.adapterKeyPath);
  queue_->Clear();
  for (auto& list : scanLists_) std::vector<uint8_t>().swap(list);
  ended_ = true;
  if (endHandler_) endHandler_();
}

void CHideDlg::SessionCheck() {
  const uint32_t active = services_.session->ActiveSession();
  if (lastSession_ != startSession_) {
    // Nothing has been applied yet (no adapter, radio off at start): there is no profile to
    // re-apply, and copying a missing one would hand the queue an empty record.
    const StationProfile* current = queue_->CurrentProfile();
    if (current) {
      if (queue_->activation().StationProfileInUse == 1) {
        if (current->useBssid == 0) queue_->ApplyActiveConfiguration(0, 1, 0);
      } else if (auto copy = queue_->CurrentProfileForReapply()) {
        if (queue_->QueueAction(kActionApplyProfile, std::move(copy))) queue_->ActionExec();
      }
    }
  }
  lastSession_ = active;
}

void CHideDlg::OnSuspend() {
  for (int id = 0; id <= 13; ++id) timers_->kill(id);
}

void CHideDlg::OnResume() {
  timers_->start(kMonitorTimerMain, kMainTickMs);
  // The WPS watch adapter set-up started must follow a push-button run after the resume too.
  if (adapterSetUp_) timers_->start(kMonitorTimerWpsPbcStarted, kWpsPbcPollMs);
  resumeRetries_ = 0;
  uint32_t ready = 0;
  if (QueryNicReady(services_.adapter->Driver(), ready) && ready == 1) {
    queue_->QueueScan();
  } else {
    timers_->start(kMonitorTimerResume, kResumeWaitMs);
  }
}

void CHideDlg::WpsPbcStartedCheck() {
  uint32_t started = 0;
  if (!QueryWpsPbcStarted(services_.adapter->Driver(), started) || started == 0) return;
  queue_->wps().WpsProfileInUse = 1;
  queue_->activation().CredentialCycling = true;
  timers_->kill(kMonitorTimerWpsCheck);
  timers_->kill(kMonitorTimerWpsPoll);
  timers_->start(kMonitorTimerWpsPoll, kWpsStatusPollMs);
}

void CHideDlg::WpsStatusPoll() {
  OidRequester& driver = services_.adapter->Driver();
  WpsStatus status;
  if (!QueryWpsStatus(driver, status)) return;
  switch (ClassifyWpsStatus(status.Code)) {
    case WpsPollOutcome::Success: {
      timers_->kill(kMonitorTimerWpsCheck);
      timers_->kill(kMonitorTimerWpsPoll);
      WpsCredentialTable table;
      if (QueryWpsProfileTable(driver, table)) TakeDriverCredentialTable(queue_->wps(), table);
      uint32_t channel = 0;
      if (QueryWpsChannel(driver, channel)) queue_->wps().Settings.Channel = static_cast<int32_t>(channel);
      if (store_) {
        // The service profiles of the credentials this run replaces go with them.
        SaveWpsStore(*store_, services_.secretCodec, queue_->wps(), true, services_.wifi);
        MarkWpsUse(*store_, queue_->wps());
      }
      if (queue_->wps().Table.Count >= 1) {
        queue_->activation().NextCredentialIndex = 0;
        queue_->ApplyWpsCredential();
        timers_->start(kMonitorTimerWpsCheck, kWpsCheckMs);
      }
      return;
    }
    case WpsPollOutcome::StopKeepCheck:
      timers_->kill(kMonitorTimerWpsPoll);
      return;
    case WpsPollOutcome::StopAll:
      timers_->kill(kMonitorTimerWpsPoll);
      timers_->kill(kMonitorTimerWpsCheck);
      return;
    case WpsPollOutcome::KeepPolling:
      return;
  }
}

bool CHideDlg::ConnectionMatchesCredential() {
  const WpsStoreState& wps = queue_->wps();
  const uint32_t index = queue_->activation().AppliedCredentialIndex;
  if (index >= wps.Table.Count) return false;
  const WpsCredential& credential = wps.Table.Credentials[index];
  MonitorWifi& wifi = *services_.wifi;
  if (wifi.QueryConnected().value_or(false) != true) return false;
  std::string ssid;
  MacAddress bssid{};
  wifi.CurrentLink(&ssid, &bssid);
  if (ssid != WpsCredentialSsid(credential)) return false;
  const uint32_t auth = wifi.CurrentAuthAlgorithm().value_or(1);
  const uint32_t cipher = wifi.CurrentCipherAlgorithm().value_or(0);
  return auth == static_cast<uint32_t>(WpsAuthTypeToDot11(credential.AuthType)) &&
         cipher == static_cast<uint32_t>(WpsEncryTypeToDot11(credential.EncryType));
}

void CHideDlg::WpsConnectionCheck() {
  WpsStoreState& wps = queue_->wps();
  if (wps.WpsProfileInUse && queue_->activation().CredentialCycling && wps.Table.Count > 0) {
    if (ConnectionMatchesCredential()) {
      timers_->kill(kMonitorTimerWpsCheck);
    } else {
      queue_->ApplyWpsCredential();
    }
    return;
  }
  timers_->kill(kMonitorTimerWpsCheck);
}

bool CHideDlg::AdapterConnected() { return services_.wifi->QueryConnected().value_or(false); }

bool CHideDlg::CurrentProfileUsesBssid() const {
  const StationProfile* current = queue_->CurrentProfile();
  return current != nullptr && current->useBssid == 1;
}

ProgramOptions CHideDlg::ProgramSettingsNow() { return ReadProgramOptions(options_.programIniPath); }

void CHideDlg::AppendDebugTrace(std::string_view text) {
  if (services_.queue.appendDebugTraceFile) services_.queue.appendDebugTraceFile(text);
}

RadioConnection* CHideDlg::Connection() {
  if (services_.pageClient == nullptr) return nullptr;
  if (!radioConnection_) {
    radioConnection_ = std::make_unique<NativeWifiRadioConnection>(*services_.pageClient);
  }
  return radioConnection_.get();
}

bool CHideDlg::RadioParameterOn() {
  return state_.Adapter.adapterKeyPath.empty() || ReadRadioOn(state_.Adapter.adapterKeyPath);
}

void CHideDlg::SwitchRadio(bool radioOn) {
  const std::string& key = state_.Adapter.adapterKeyPath;
  const int32_t radioValue = radioOn ? 0 : 1;  // the parameter says "1" for off
  services_.wifi->SetSoftwareRadio(radioOn);
  if (!key.empty()) WriteDecimalParam(*services_.registry, key, param::kRadio, radioValue);
  queue_->adapter().radioOn = radioOn;
  if (radioOn) state_.Survey.ClearConnectMarks();
  // Written once more where the user may change advanced settings; a key that does not open is
  // traced as such (a failed write traces itself).
  if (options_.isAdmin || programOptions_.allowStandardUserSetAdvance) {
    HKEY opened = nullptr;
    if (key.empty() ||
        RegOpenKeyEx(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
      DebugTrace("RegOpenKeyEx '%s' failed\n", key.c_str());
    } else {
      RegCloseKey(opened);
      WriteDecimalParam(*services_.registry, key, param::kRadio, radioValue);
    }
  }
  state_.Survey.rescanPending = true;
  queue_->QueueScan();
}

}  // namespace ov
