#include "profilepages/security_editor.h"

#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>

#include "driver/params/adapter_params.h"
#include "nativewifi/eap_fast_workers.h"
#include "nativewifi/native_wifi_client.h"
#include "nativewifi/wlansvc/wlan_types.h"
#include "profilepages/eap_setup_launch.h"
#include "profilepages/page_auth_encry.h"
#include "profilepages/profile_editor_controls.h"
#include "profilepages/profile_editor_rules.h"
#include "profilepages/page_8021x.h"
#include "profilepages/page_wapi.h"
#include "profiles/profile_store.h"
#include "shell/ui/control_ids.h"
#include "shell/ui/main_window.h"
#include "shell/ui/ui_text.h"
#include "widgets/filtering_edit.h"

namespace ov {
namespace {

constexpr LanguageKey kTabCaptions[kSecurityEditorTabCount] = {IDS_AUTH_ENCRY, IDS_TAB8021X,
                                                               IDS_TAB_WAPI};
enum : int { kTabSecurity = 0, kTabEap = 1, kTabWapi = 2 };

}  // namespace

CSecurityEditorDlg::CSecurityEditorDlg(const PageContext& context, QWidget* parent)
    : PageWidget(context, parent) {
  setFont(PageFont());
  BuildLayout();
}

CSecurityEditorDlg::~CSecurityEditorDlg() { StopWatch(); }

void CSecurityEditorDlg::BuildLayout() {
  for (int tab = 0; tab < kSecurityEditorTabCount; ++tab) {
    auto* button = MakeTabButton(kTabCaptions[tab], tab, this);
    connect(button, &QPushButton::clicked, this, [this, tab] { SelectTab(tab); });
    tabButtons_[tab] = button;
  }
  networkLabel_ = new QLabel(this);
  networkLabel_->setGeometry(440, 2, 170, 26);
  networkLabel_->setTextFormat(Qt::PlainText);
  ok_ = MakeOkButton(this);
  cancel_ = MakeCancelButton(this);
  connect(ok_, &QPushButton::clicked, this, [this] { OnOK(); });
  connect(cancel_, &QPushButton::clicked, this, [this] { OnCancel(); });

  stack_ = new QStackedWidget(this);
  stack_->setGeometry(kEditorPageArea);
  CPage8021XDlg::Inputs eapInputs;
  eapInputs.showPasswordOption = [this] { return State().ShowPasswordOption; };
  eapInputs.eapFastEnhancement = [this] { return State().EapFastEnhancement; };
  eap_ = new CPage8021XDlg(std::move(eapInputs), stack_);
  CPageAuthEncryDlg::Inputs inputs;
  inputs.context = [this] { return SecurityContextNow(State(), Services().wifi); };
  inputs.showPasswordOption = [this] { return State().ShowPasswordOption; };
  inputs.eapMethod = [this]() -> uint32_t& { return eap_->EapMethod(); };
  authEncry_ = new CPageAuthEncryDlg(false, Services().timers, std::move(inputs), stack_);
  wapi_ = new CPageWAPIDlg(WapiTabInputsOf(*this), stack_);
  stack_->addWidget(authEncry_);
  stack_->addWidget(eap_);
  stack_->addWidget(wapi_);
  connect(authEncry_, &CPageAuthEncryDlg::tabsChanged, this, [this](bool eapOn, bool wapiOn) {
    tabButtons_[kTabEap]->setEnabled(eapOn);
    tabButtons_[kTabWapi]->setEnabled(wapiOn);
  });
  connect(authEncry_, &CPageAuthEncryDlg::bringForward, this, [this] { SelectTab(kTabSecurity); });
  tabButtons_[kTabEap]->setEnabled(false);
  SelectTab(kTabSecurity);
}

void CSecurityEditorDlg::SelectTab(int tab) {
  if (tab < 0 || tab >= kSecurityEditorTabCount) return;
  currentTab_ = tab;
  stack_->setCurrentIndex(tab);
  for (int t = 0; t < kSecurityEditorTabCount; ++t) tabButtons_[t]->setChecked(t == tab);
}

void CSecurityEditorDlg::LoadValues() {
  tabButtons_[kTabWapi]->setVisible(State().WapiSupported);
  SelectTab(kTabSecurity);
}

void CSecurityEditorDlg::OpenForConnect(std::span<const uint8_t> scanEntry) {
  network_ = DescribeSurveyedNetwork(scanEntry);
  networkLabel_->setText(QString::fromStdString(network_.ssid));
  eap_->Reset();
  wapi_->Reset();
  authEncry_->PresetFromSurvey(network_.security, false);
  SelectTab(kTabSecurity);
  // The prompt: the secret the network wants has the focus.
  const AuthEncryState& s = authEncry_->Fields();
  if (s.pskEnabled) authEncry_->PskEdit()->setFocus();
  else if (s.keysEnabled) authEncry_->KeyEdit(s.keyIndex)->setFocus();
}

StationProfile CSecurityEditorDlg::ConnectionRecord() {
  StationProfile r;
  r.ssid = MakeNdisSsid(network_.ssid);
  r.networkType = network_.security.infrastructure ? 1 : 0;
  if (network_.security.infrastructure && !network_.ssid.empty()) {
    r.bssid = network_.bssid;
    r.useBssid = 1;
  }
  r.channelFrequency = network_.frequencyKHz;
  r.preambleType = 2;
  r.rtsThreshold = 2347;
  r.fragThreshold = 2346;
  const std::string& key = State().Adapter.adapterKeyPath;
  r.powerSave = key.empty() ? 0 : static_cast<uint32_t>(ReadDecimalParam(key, param::kPsMode).value_or(0));
  EditorFields fields;
  fields.sys.networkType = static_cast<int>(r.networkType);
  fields.security = authEncry_->Fields();
  fields.eap = eap_->Fields();
  fields.wapi = wapi_->Fields();
  FillConnectionSecurity(fields, State().WpaReady, r);
  return r;
}

bool CSecurityEditorDlg::OnOK() {
  if (!network_.valid) return false;
  const AuthEncryState& security = authEncry_->Fields();
  if (security.auth == AuthChoice::WapiCa) {
    const WapiFields wapi = wapi_->Fields();
    if (wapi.userCertPath.empty() || wapi.asCertPath.empty()) {
      SelectTab(kTabWapi);
      wapi_->SelectCertTab(wapi.userCertPath.empty() ? WapiCertKind::User : WapiCertKind::As);
      ShowPageMessage(UiText(wapi.userCertPath.empty() ? IDS_NO_USER_CERT : IDS_NO_AS_CERT));
      return false;
    }
  }
  EditorFields inUse;
  inUse.sys.networkType = network_.security.infrastructure ? 1 : 0;
  inUse.security = security;
  const std::optional<QString> refusal = Uses8021XTab(inUse) ? eap_->Validate() : std::nullopt;
  if (refusal) {
    SelectTab(kTabEap);
    ShowPageMessage(*refusal);
    return false;
  }
  if (!authEncry_->Validate()) return false;
  AuthEncryState checked = authEncry_->Fields();
  if (network_.security.infrastructure && checked.auth == AuthChoice::Leap &&
      !TrimLeapCredentials(checked)) {
    SelectTab(kTabSecurity);
    ShowPageMessage(UiText(IDS_CHECKRULE8));
    return false;
  }
  StationProfile record = ConnectionRecord();
  if (checked.auth == AuthChoice::Leap) {
    record.leapUserName = checked.leapUserName;
    record.leapUserNameLength = static_cast<uint32_t>(checked.leapUserName.size());
    record.leapPassword = checked.leapPassword;
    record.leapDomainName = checked.leapDomainName;
  }
  if (ProfileStore* store = Services().store) store->ResetActiveConfig();
  State().Survey.ClearConnectMarks();
  Window().ShowLowerPanel(LOWER_PANEL_LINK_STATUS);

  EditorFields used = inUse;
  used.eap = eap_->Fields();
  if (NeedsEapSetup(used)) {
    // The network's EAP-FAST settings come from the EAP host's dialog; the connection goes
    // ahead when its 0x412 arrives.
    pendingRecord_ = std::make_unique<StationProfile>(std::move(record));
    eapDialogResult_ = std::make_shared<EapFastDialogResult>();
    StartEapDialogWorker(Host().MonitorTarget(), Services().wifi, eapDialogResult_);
    return true;
  }
  return Connect(record);
}

void CSecurityEditorDlg::EapDialogClosed() {
  if (!pendingRecord_) return;
  std::unique_ptr<StationProfile> record = std::move(pendingRecord_);
  std::shared_ptr<EapFastDialogResult> result = std::move(eapDialogResult_);
  // Without settings (cancelled, failed, no EAP host) the service's defaults for the method apply.
  if (result) {
    if (auto blob = result->Take()) record->eapBlob = std::move(*blob);
  }
  Connect(*record);
}

bool CSecurityEditorDlg::Connect(StationProfile& record) {
  NativeWifiClient* wifi = Services().wifi;
  if (!wifi) return false;
  watchedSsid_ = network_.ssid;
  if (!wifi->ApplyProfile(1, record, false, nullptr)) {
    const auto reason = wifi->LastProfileRefusal();
    ShowPageMessage(ConnectFailureText(watchedSsid_, reason.value_or(0)));
    return false;
  }
  StartWatch();
  return true;
}

void CSecurityEditorDlg::OnCancel() { Window().ShowLowerPanel(LOWER_PANEL_LINK_STATUS); }

QString CSecurityEditorDlg::ConnectFailureText(const std::string& ssid, uint32_t reasonCode) {
  QString text = QStringLiteral("Could not connect to \"%1\".").arg(QString::fromStdString(ssid));
  if (reasonCode != 0)
    text += QLatin1Char('\n') + QString::fromStdString(wlan::ReasonCodeText(reasonCode));
  return text;
}

void CSecurityEditorDlg::StartWatch() {
  StopWatch();
  TimerService* timers = Services().timers;
  if (!timers) return;
  watchSteps_ = 0;
  watchTimer_ = timers->startRepeating(kConnectWatchMs, [this] { WatchStep(); });
}

void CSecurityEditorDlg::StopWatch() {
  if (watchTimer_ != 0 && Services().timers) Services().timers->kill(watchTimer_);
  watchTimer_ = 0;
}

void CSecurityEditorDlg::WatchStep() {
  NativeWifiClient* wifi = Services().wifi;
  if (!wifi || ++watchSteps_ > kConnectWatchSteps) {
    StopWatch();
    return;
  }
  auto failure = wifi->LastConnectionFailure();
  if (!failure) failure = wifi->LastProfileRefusal();
  if (failure) {
    StopWatch();
    ShowPageMessage(ConnectFailureText(watchedSsid_, *failure));
    return;
  }
  NDIS_802_11_SSID current;
  if (wifi->IsConnected() && wifi->GetCurrentSsid(current) && NdisSsidText(current) == watchedSsid_)
    StopWatch();
}

QWidget* MakeSecurityEditorPanel(const PageContext& context, QWidget* parent) {
  return new CSecurityEditorDlg(context, parent);
}

}  // namespace ov
