#include "profilepages/profile_editor.h"

#include <QPushButton>
#include <QStackedWidget>
#include <algorithm>

#include "driver/oid/bssid_list.h"
#include "driver/oid/oid_requests.h"
#include "driver/params/adapter_params.h"
#include "nativewifi/native_wifi_client.h"
#include "profilepages/profile_list_rules.h"
#include "profilepages/page_auth_encry.h"
#include "profilepages/profile_editor_controls.h"
#include "profilepages/page_sys_config.h"
#include "profilepages/eap_setup_launch.h"
#include "profilepages/page_8021x.h"
#include "profilepages/page_wapi.h"
#include "profilepages/security_editor_scan_entry.h"
#include "profiles/profile_store.h"
#include "shell/ui/control_ids.h"
#include "shell/ui/main_window.h"
#include "shell/ui/ui_text.h"
#include "widgets/bar_button.h"

namespace ov {
namespace {

constexpr LanguageKey kTabCaptions[kEditorTabCount] = {IDS_TAB_SYSCONFIG, IDS_AUTH_ENCRY,
                                                       IDS_TAB8021X, IDS_TAB_WAPI};
// The certificate hashes are stored as hex text longer than an ordinary value.
constexpr size_t kCertDataReadSize = 2 * kCertHashMaxLength + 1;

}  // namespace

CProfileEditorDlg::CProfileEditorDlg(const PageContext& context, QWidget* parent)
    : PageWidget(context, parent) {
  setFont(PageFont());
  BuildLayout();
}

CProfileEditorDlg::~CProfileEditorDlg() = default;

void CProfileEditorDlg::BuildLayout() {
  for (int tab = 0; tab < kEditorTabCount; ++tab) {
    auto* button = MakeTabButton(kTabCaptions[tab], tab, this);
    connect(button, &QPushButton::clicked, this, [this, tab] { SelectTab(tab); });
    tabButtons_[tab] = button;
  }
  ok_ = MakeOkButton(this);
  cancel_ = MakeCancelButton(this);
  connect(ok_, &QPushButton::clicked, this, [this] { OnOK(); });
  connect(cancel_, &QPushButton::clicked, this, [this] { OnCancel(); });

  stack_ = new QStackedWidget(this);
  stack_->setGeometry(kEditorPageArea);
  sysConfig_ = new CPageSystemConfigDlg([this] { return ChannelInputs(); }, stack_);
  CPage8021XDlg::Inputs eapInputs;
  eapInputs.showPasswordOption = [this] { return State().ShowPasswordOption; };
  eapInputs.eapFastEnhancement = [this] { return State().EapFastEnhancement; };
  eap_ = new CPage8021XDlg(std::move(eapInputs), stack_);
  CPageAuthEncryDlg::Inputs inputs;
  inputs.context = [this] { return SecurityNow(); };
  inputs.showPasswordOption = [this] { return State().ShowPasswordOption; };
  inputs.eapMethod = [this]() -> uint32_t& { return eap_->EapMethod(); };
  authEncry_ = new CPageAuthEncryDlg(true, Services().timers, std::move(inputs), stack_);
  wapi_ = new CPageWAPIDlg(WapiTabInputsOf(*this), stack_);
  stack_->addWidget(sysConfig_);
  stack_->addWidget(authEncry_);
  stack_->addWidget(eap_);
  stack_->addWidget(wapi_);

  connect(sysConfig_, &CPageSystemConfigDlg::networkTypeChanged, this, [this](bool infrastructure) {
    authEncry_->SetInfrastructure(infrastructure);
  });
  connect(authEncry_, &CPageAuthEncryDlg::tabsChanged, this, &CProfileEditorDlg::OnTabsChanged);
  connect(authEncry_, &CPageAuthEncryDlg::bringForward, this, [this] { SelectTab(kTabAuthEncry); });
  tabButtons_[kTab8021X]->setEnabled(false);
  SelectTab(kTabSysConfig);
}

void CProfileEditorDlg::OnTabsChanged(bool tab8021XEnabled, bool tabWapiEnabled) {
  tabButtons_[kTab8021X]->setEnabled(tab8021XEnabled);
  tabButtons_[kTabWapi]->setEnabled(tabWapiEnabled);
}

void CProfileEditorDlg::SelectTab(int tab) {
  if (tab < 0 || tab >= kEditorTabCount) return;
  currentTab_ = tab;
  stack_->setCurrentIndex(tab);
  for (int t = 0; t < kEditorTabCount; ++t) tabButtons_[t]->setChecked(t == tab);
}

void CProfileEditorDlg::LoadValues() {
  tabButtons_[kTabWapi]->setVisible(State().WapiSupported);
  SelectTab(kTabSysConfig);
}

SecurityContext CProfileEditorDlg::SecurityNow() const {
  return SecurityContextNow(State(), Services().wifi);
}

ChannelListInputs CProfileEditorDlg::ChannelInputs() const {
  ChannelListInputs in;
  const AdapterInfo& adapter = State().Adapter;
  in.chipFamily = adapter.chipFamily;
  if (OidRequester* driver = Services().driver) {
    CountryRegion region;
    if (QueryCountryRegion(*driver, region)) in.countryRegionWord = EncodeCountryRegionWord(region);
  }
  if (!adapter.adapterKeyPath.empty()) {
    in.wirelessMode = static_cast<uint32_t>(
        ReadWirelessMode(adapter.adapterKeyPath, WirelessMode{}, true, adapter.htCapable));
    in.ieee80211h = ReadDecimalParam(adapter.adapterKeyPath, param::kIeee80211h) == 1;
  }
  return in;
}

void CProfileEditorDlg::RadioSettingsApplied() {
  if (!sysConfig_->isVisible()) return;
  sysConfig_->SetAdhocWirelessMode(ReadAdhocWirelessMode());
  sysConfig_->RebuildChannelList();
}

uint32_t CProfileEditorDlg::ReadAdhocWirelessMode() const {
  StaConfig config;
  if (Services().driver && QueryStaConfig(*Services().driver, config)) return config.AdhocRateMode;
  return 1;
}

int CProfileEditorDlg::ReadPsMode() const {
  const std::string& key = State().Adapter.adapterKeyPath;
  if (key.empty()) return 0;
  return ReadDecimalParam(key, param::kPsMode).value_or(0) != 0 ? 1 : 0;
}

std::string CProfileEditorDlg::NextDefaultName() const {
  std::vector<std::string> names;
  if (Services().store) names = Services().store->ListProfileNames();
  return NextDefaultProfileName(names, LangText(IDS_PROF));
}

void CProfileEditorDlg::OpenForAdd() {
  isNewProfile_ = true;
  originalName_.clear();
  sysConfig_->FillSsids(Host().ScanList());
  sysConfig_->PrepareNewProfile(NextDefaultName(), ReadPsMode(), ReadAdhocWirelessMode());
  authEncry_->ResetForAdd();
  eap_->Reset();
  wapi_->Reset();
}

void CProfileEditorDlg::OpenFromSurvey(std::span<const uint8_t> scanEntry) {
  isNewProfile_ = true;
  originalName_.clear();
  const SurveyedNetwork network = DescribeSurveyedNetwork(scanEntry);
  sysConfig_->FillSsids(Host().ScanList());
  sysConfig_->PrepareFromSurvey(NextDefaultName(), network.ssid, network.security.infrastructure,
                                network.frequencyKHz, ReadPsMode(), ReadAdhocWirelessMode());
  eap_->Reset();
  wapi_->Reset();
  authEncry_->PresetFromSurvey(network.security, true);
}

bool CProfileEditorDlg::OpenForEdit(const std::string& profileName) {
  ProfileStore* store = Services().store;
  if (!store || profileName.empty() || !store->ProfileNameExists(profileName)) return false;
  isNewProfile_ = false;
  originalName_ = profileName;
  EditorFields loaded = LoadProfileFields([store, &profileName](std::string_view key) {
    const bool certData = key == "ClientCertData" || key == "ServerCertData";
    return store->ReadStoreValue(StoreFileKind::Profiles, profileName, key,
                                 certData ? kCertDataReadSize : kStoreValueBufferSize);
  });
  loaded.sys.profileName = profileName;
  sysConfig_->FillSsids(Host().ScanList());
  sysConfig_->SetFields(loaded.sys);
  sysConfig_->PrepareForEdit(ReadAdhocWirelessMode());
  eap_->ReapplyLoaded(loaded.eap);
  // Only a WAPI-CA profile's paths are certificates to install; other profiles store none.
  wapi_->ReapplyLoaded(loaded.security.auth == AuthChoice::WapiCa ? loaded.wapi : WapiFields{});
  authEncry_->ReapplyLoaded(loaded.security);
  return true;
}

bool CProfileEditorDlg::AddWithoutShowing(const std::string& ssid,
                                          const AuthEncryState& security) {
  OpenForAdd();
  SysConfigFields sys = sysConfig_->Fields();
  sys.ssid = ssid;
  sysConfig_->SetFields(sys);
  authEncry_->ReapplyLoaded(security);
  if (OnOK()) return true;
  // A key the security tab refuses is named in a note beside it, which a hidden editor cannot
  // show: the editor comes up and the check runs again with that tab in front.
  Window().ShowLowerPanel(LOWER_PANEL_PROFILE_EDITOR);
  const int refusedTab = currentTab_;
  SelectTab(kTabAuthEncry);
  if (authEncry_->Validate()) SelectTab(refusedTab);
  return false;
}

bool CProfileEditorDlg::Refuse(const EditorRefusal& refusal) {
  switch (refusal.target) {
    case EditorTarget::SysConfigTab:
      SelectTab(kTabSysConfig);
      break;
    case EditorTarget::SecurityTab:
      SelectTab(kTabAuthEncry);
      break;
    case EditorTarget::Eap8021XTab:
      SelectTab(kTab8021X);
      break;
    case EditorTarget::WapiUserCert:
    case EditorTarget::WapiAsCert:
      SelectTab(kTabWapi);
      wapi_->SelectCertTab(refusal.target == EditorTarget::WapiUserCert ? WapiCertKind::User
                                                                        : WapiCertKind::As);
      break;
    case EditorTarget::AdvancedPage:
      Window().ShowPage(TabButton::Advance);
      break;
  }
  ShowPageMessage(UiText(refusal.message));
  return false;
}

bool CProfileEditorDlg::OnOK() {
  EditorFields fields;
  fields.sys = sysConfig_->Fields();
  fields.security = authEncry_->Fields();
  fields.wapi = wapi_->Fields();
  fields.eap = eap_->Fields();

  EditorCheckContext context;
  context.isNewProfile = isNewProfile_;
  context.originalName = originalName_;
  ProfileStore* store = Services().store;
  context.nameExists = [store](std::string_view name) {
    return store && store->ProfileNameExists(name);
  };
  context.checkUserCert = WapiCertCheck(Services().certificates, WapiCertKind::User);
  context.checkAsCert = WapiCertCheck(Services().certificates, WapiCertKind::As);
  if (auto refusal = FirstEditorRefusal(fields, context)) return Refuse(*refusal);
  if (Uses8021XTab(fields)) {
    if (const std::optional<QString> refusal = eap_->Validate()) {
      SelectTab(kTab8021X);
      ShowPageMessage(*refusal);
      return false;
    }
  }
  if (!authEncry_->Validate()) return false;
  fields.security = authEncry_->Fields();
  if (IsAdhocSecurityRejected(fields.sys.networkType, fields.security.auth, fields.security.cipher)) {
    SelectTab(kTabAuthEncry);
    ShowPageMessage(QString::fromLatin1(kAdhocSecurityRefusedText));
    return false;
  }
  if (fields.sys.networkType != 0 && fields.security.auth == AuthChoice::Leap &&
      !TrimLeapCredentials(fields.security))
    return Refuse({IDS_CHECKRULE8, EditorTarget::SecurityTab});
  if (!store) return false;
  SaveProfile(fields);
  ReturnToProfileList();
  if (NeedsEapSetup(fields))
    StartEapSetupWorker(Host().MonitorTarget(), Services().wifi, *store, fields.sys.profileName);
  return true;
}

void CProfileEditorDlg::SaveProfile(const EditorFields& fields) {
  ProfileStore& store = *Services().store;
  store.ClearProfileSection(fields.sys.profileName, isNewProfile_);
  store.WriteStoreValues(StoreFileKind::Profiles, fields.sys.profileName,
                         SaveProfileValues(fields, State().WpaReady));
}

void CProfileEditorDlg::ReturnToProfileList() {
  COvUI2007Dlg& window = Window();
  window.ShowLowerPanel(LOWER_PANEL_LINK_STATUS);
  for (int step = 0; step < kVisibleTabSlots; ++step) {
    const BarButton* button = window.Button(TabButton::Profile);
    if (!button || button->isVisible()) break;
    window.OnCommand(IDC_SCROLL_LEFT);
  }
  window.ShowPage(TabButton::Profile);
  // The list re-reads the store (it reloads on every show; it may be on show already).
  if (auto* list = dynamic_cast<PageWidget*>(window.Page(TabButton::Profile))) list->LoadValues();
}

void CProfileEditorDlg::OnCancel() { Window().ShowLowerPanel(LOWER_PANEL_LINK_STATUS); }

QWidget* MakeProfileEditorPanel(const PageContext& context, QWidget* parent) {
  return new CProfileEditorDlg(context, parent);
}

}  // namespace ov
