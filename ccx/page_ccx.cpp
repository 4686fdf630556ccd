#include "ccx/page_ccx.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "ccx/authen_status_dlg.h"
#include "driver/oid/oid_requests.h"
#include "driver/params/debug_trace.h"
#include "driver/params/registry_writer.h"
#include "platform/registry/registry.h"
#include "platform/time/monitor_messages.h"
#include "profiles/profile_store.h"
#include "shell/ui/main_window.h"
#include "shell/ui/ui_text.h"
#include "widgets/accessibility.h"

namespace ov {

namespace {

constexpr char kCcx2Control[] = "CCX2Control";
constexpr int kProfileNameChars = 32;
constexpr std::array<const char*, 3> kMfpCaptions = {"None", "Optional", "Required"};

QCheckBox* MakeBox(QWidget* parent, int id, LanguageKey key) {
  auto* box = new QCheckBox(UiText(key), parent);
  box->setObjectName(ControlName(id));
  return box;
}

QLabel* MakeValue(QWidget* parent, int id) {
  auto* label = new QLabel(parent);
  label->setObjectName(ControlName(id));
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

}  // namespace

CPageCCXConfigDlg::CPageCCXConfigDlg(const PageContext& context, QWidget* parent,
                                     std::unique_ptr<CcxDiagnostics> diagnostics)
    : PageWidget(context, parent), diagnosticsOverride_(std::move(diagnostics)) {
  setObjectName(ControlName(IDD_PAGE_CCX_CONFIG));
  setWindowTitle(QStringLiteral("CCX Config"));
  setFont(PageFont());
  auto* top = new QHBoxLayout(this);
  top->setContentsMargins(10, 6, 10, 6);

  // ---- Options ----
  auto* options = new QVBoxLayout;
  ccx_ = MakeBox(this, 1112, IDS_CCX20);
  cckm_ = MakeBox(this, 1110, IDS_LEAP_CCKM);
  radio_ = MakeBox(this, 1114, IDS_RADIO_MEASURE);
  nonServing_ = MakeBox(this, 1115, IDS_NON_SERVING_CHANNEL_MEASURE);
  networkEap_ = MakeBox(this, 1118, IDS_NETWORKEAP);
  cac_ = MakeBox(this, 1116, IDS_ENABLE_CAC);
  rotate_ = MakeBox(this, 1117, IDS_ROTATE_PROFILE);
  rfRoam_ = MakeBox(this, 1120, IDS_RF_ROAM_ENABLE);
  bit29_ = new QCheckBox(this);
  bit29_->setObjectName(ControlName(1111));
  limit_ = new QLineEdit(this);
  limit_->setObjectName(ControlName(1220));
  limit_->setMaxLength(4);
  limit_->setMaximumWidth(70);
  limit_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), limit_));
  limit_->setAccessibleName(UiText(IDS_NON_SERVING_CHANNEL_MEASURE));
  limitUnit_ = new QLabel(UiText(IDS_CCX_MEASURE_TIME_UNIT), this);
  auto* mfpLabel = new QLabel(UiText(IDS_MFP), this);
  mfp_ = new QPushButton(this);
  mfp_->setObjectName(ControlName(1137));
  // Kept but not offered: their bits are stored and sent as read.
  for (QWidget* hidden : std::initializer_list<QWidget*>{cckm_, rotate_, bit29_, mfp_, mfpLabel}) {
    hidden->hide();
  }
  options->addWidget(ccx_);
  options->addWidget(radio_);
  auto* nonServingRow = new QHBoxLayout;
  nonServingRow->addSpacing(20);
  nonServingRow->addWidget(nonServing_);
  options->addLayout(nonServingRow);
  auto* limitRow = new QHBoxLayout;
  limitRow->addSpacing(40);
  limitRow->addWidget(limit_);
  limitRow->addWidget(limitUnit_);
  limitRow->addStretch(1);
  options->addLayout(limitRow);
  options->addWidget(networkEap_);
  options->addWidget(cac_);
  options->addWidget(rfRoam_);
  apply_ = new QPushButton(UiText(IDS_APPLY), this);
  apply_->setObjectName(ControlName(1136));
  apply_->setAutoDefault(false);
  auto* applyRow = new QHBoxLayout;
  applyRow->addWidget(apply_);
  applyRow->addStretch(1);
  options->addLayout(applyRow);

  // ---- Admission control ----
  auto* cacLabel = new QLabel(UiText(IDS_CAC), this);
  cacCombo_ = new QComboBox(this);
  cacCombo_->setObjectName(ControlName(1391));
  for (const char* item : kCacComboItems) cacCombo_->addItem(QString::fromLatin1(item));
  cacCombo_->setCurrentIndex(0);
  cacCombo_->setAccessibleName(UiText(IDS_CAC));
  cacLabel->setBuddy(cacCombo_);  // a combo box is read by its label, its name being its entry
  cacSet_ = new QPushButton(UiText(IDS_CAC_APPLY), this);
  cacSet_->setObjectName(ControlName(1138));
  cacSet_->setAutoDefault(false);
  auto* cacRow = new QHBoxLayout;
  cacRow->addWidget(cacLabel);
  cacRow->addWidget(cacCombo_);
  cacRow->addWidget(cacSet_);
  cacRow->addStretch(1);
  options->addLayout(cacRow);
  options->addStretch(1);
  top->addLayout(options, 1);

  // ---- Diagnostics ----
  diagGroup_ = new QGroupBox(UiText(IDS_PROF_DIAGNOSTIC), this);
  auto* diag = new QGridLayout(diagGroup_);
  auto* selectLabel = new QLabel(UiText(IDS_CCX_SELECT_PROFILE), diagGroup_);
  profiles_ = new QComboBox(diagGroup_);
  profiles_->setObjectName(ControlName(1340));
  profiles_->setAccessibleName(UiText(IDS_CCX_SELECT_PROFILE));
  selectLabel->setBuddy(profiles_);
  diag->addWidget(selectLabel, 0, 0);
  diag->addWidget(profiles_, 0, 1);
  auto* info = new QGroupBox(UiText(IDS_STATIC_PROFILE_INFORMATION), diagGroup_);
  auto* infoGrid = new QGridLayout(info);
  nameValue_ = MakeValue(info, 1355);
  ssidValue_ = MakeValue(info, 1357);
  capableValue_ = MakeValue(info, 1359);
  const std::array<std::pair<LanguageKey, QLabel*>, 3> pairs = {
      std::pair{IDS_STATIC_PROFILENAME, nameValue_}, std::pair{IDS_SSID, ssidValue_},
      std::pair{IDS_PROF_DIAGNOSTIC_CAP_HEADER, capableValue_}};
  for (int row = 0; row < 3; ++row) {
    auto* label = new QLabel(UiText(pairs[row].first), info);
    infoGrid->addWidget(label, row, 0);
    infoGrid->addWidget(pairs[row].second, row, 1);
    pairs[row].second->setAccessibleName(WithoutMnemonic(UiText(pairs[row].first)));
  }
  diag->addWidget(info, 1, 0, 1, 2);
  diagnose_ = new QPushButton(UiText(IDS_PROF_DIAGNOSTIC_CONNECT), diagGroup_);
  diagnose_->setObjectName(ControlName(1150));
  diagnose_->setAutoDefault(false);
  diag->addWidget(diagnose_, 2, 1, Qt::AlignRight);
  top->addWidget(diagGroup_, 1);
  optionLabels_ = {limitUnit_};

  connect(ccx_, &QCheckBox::clicked, this, &CPageCCXConfigDlg::OnCcxClicked);
  connect(radio_, &QCheckBox::clicked, this, &CPageCCXConfigDlg::OnRadioMeasurementClicked);
  connect(nonServing_, &QCheckBox::clicked, this, &CPageCCXConfigDlg::OnNonServingClicked);
  connect(limit_, &QLineEdit::textEdited, this, [this] {
    options_.measurementLimit = limit_->text().toInt();
  });
  connect(apply_, &QPushButton::clicked, this, &CPageCCXConfigDlg::ApplyOptions);
  connect(profiles_, &QComboBox::currentIndexChanged, this,
          [this] { if (!pushing_) ShowSelectedProfile(); });
  connect(diagnose_, &QPushButton::clicked, this, &CPageCCXConfigDlg::StartDiagnosticTest);
  connect(cacSet_, &QPushButton::clicked, this, &CPageCCXConfigDlg::OnCacSet);

  PushControls();
  UpdateControls();
}

CPageCCXConfigDlg::~CPageCCXConfigDlg() {
  if (Timers()) Timers()->kill(kCcxWatchdogTimer);
}

void CPageCCXConfigDlg::LoadValues() {
  LoadOptions();
  FillDiagnosticProfiles();
  UpdateControls();
}

void CPageCCXConfigDlg::LoadOptions() {
  const std::string& key = State().Adapter.adapterKeyPath;
  HKEY opened = nullptr;
  if (key.empty() || RegOpenKeyEx(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &opened) != 0) {
    DebugTrace("RegOpenKeyEx '%s' failed\n", key.c_str());
    return;
  }
  RegCloseKey(opened);
  if (const auto word = RegReadDword(HKEY_LOCAL_MACHINE, key, kCcx2Control)) {
    options_ = SplitCcxWord(*word);
  } else {
    DebugTrace("RegQueryValueEx 'REGSTR_CCX2_CONTROL' failed\n");
  }
  PushControls();
}

void CPageCCXConfigDlg::ReadControls() {
  options_.ccxEnabled = ccx_->isChecked();
  options_.cckm = cckm_->isChecked();
  options_.radioMeasurement = radio_->isChecked();
  options_.nonServingMeasurement = nonServing_->isChecked();
  options_.networkEap = networkEap_->isChecked();
  options_.cacEnabled = cac_->isChecked();
  options_.rotateProfile = rotate_->isChecked();
  options_.rfRoam = rfRoam_->isChecked();
  options_.bit29Option = bit29_->isChecked();
  options_.measurementLimit = limit_->text().toInt();
}

void CPageCCXConfigDlg::PushControls() {
  ccx_->setChecked(options_.ccxEnabled);
  cckm_->setChecked(options_.cckm);
  radio_->setChecked(options_.radioMeasurement);
  nonServing_->setChecked(options_.nonServingMeasurement);
  networkEap_->setChecked(options_.networkEap);
  cac_->setChecked(options_.cacEnabled);
  rotate_->setChecked(options_.rotateProfile);
  rfRoam_->setChecked(options_.rfRoam);
  bit29_->setChecked(options_.bit29Option);
  limit_->setText(QString::number(options_.measurementLimit));
  const int mfp = options_.mfpMode;
  mfp_->setText(mfp >= 0 && mfp < 3 ? QString::fromLatin1(kMfpCaptions[mfp]) : QString());
}

void CPageCCXConfigDlg::UpdateControls() {
  const CcxControlStates states = ControlStatesFor(options_);
  for (QWidget* w : std::initializer_list<QWidget*>{cckm_, radio_, networkEap_, cac_, rotate_,
                                                    mfp_, rfRoam_, bit29_}) {
    w->setEnabled(states.options);
  }
  nonServing_->setEnabled(states.nonServing);
  limit_->setEnabled(states.limit);
  limitUnit_->setEnabled(states.limit);
  diagGroup_->setEnabled(states.diagnostics);
  diagnose_->setEnabled(states.diagnostics && !testRunning_);
}

void CPageCCXConfigDlg::OnCcxClicked() {
  ReadControls();
  options_ = OnCcxToggled(options_);
  PushControls();
  UpdateControls();
}

void CPageCCXConfigDlg::OnRadioMeasurementClicked() {
  ReadControls();
  options_ = OnRadioMeasurementToggled(options_);
  PushControls();
  UpdateControls();
}

void CPageCCXConfigDlg::OnNonServingClicked() {
  ReadControls();
  options_ = OnNonServingToggled(options_);
  PushControls();
  UpdateControls();
}

void CPageCCXConfigDlg::ApplyOptions() {
  ReadControls();
  if (!MeasurementLimitValid(options_.measurementLimit)) {
    RejectInput(UiText(IDS_INVALID_MEASURE_TIME), limit_);
    return;
  }
  const std::string& key = State().Adapter.adapterKeyPath;
  auto readWord = [&key] {
    return key.empty() ? 0u : RegReadDword(HKEY_LOCAL_MACHINE, key, kCcx2Control).value_or(0);
  };
  const uint32_t word = ComposeWord(options_, readWord());
  RegistryWriter* writer = Services().registry;
  HKEY opened = nullptr;
  if (key.empty() || RegOpenKeyEx(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &opened) != 0) {
    DebugTrace("RegOpenKeyEx '%s' failed\n", key.c_str());
  } else {
    RegCloseKey(opened);
    const char bytes[4] = {static_cast<char>(word & 0xFF), static_cast<char>((word >> 8) & 0xFF),
                           static_cast<char>((word >> 16) & 0xFF),
                           static_cast<char>((word >> 24) & 0xFF)};
    if (writer == nullptr ||
        writer->SetValue(HKEY_LOCAL_MACHINE, key, kCcx2Control, REG_DWORD,
                         std::string_view(bytes, 4)) != 0) {
      DebugTrace("RegSetValueEx REGSTR_CCX2_CONTROL '%s' failed\n", key.c_str());
    }
  }
  // Sent as composed from what the registry now holds (the word just written when it was).
  if (OidRequester* driver = Services().driver) {
    const uint32_t sent = ComposeWord(options_, readWord());
    SetCcxControl(*driver, Host().CurrentProfileUsesBssid() ? 0u : 1u, sent);
  }
}

// ---- Diagnostics ----

CcxDiagnostics& CPageCCXConfigDlg::Diagnostics() {
  if (diagnosticsOverride_) return *diagnosticsOverride_;
  clientDiagnostics_ = MakeClientCcxDiagnostics(Services().wifi);
  return *clientDiagnostics_;
}

void CPageCCXConfigDlg::FillDiagnosticProfiles() {
  pushing_ = true;
  rows_.clear();
  profiles_->clear();
  if (ProfileStore* store = Services().store) {
    for (const std::string& name : store->ListProfileNames()) {
      DiagProfileRow row;
      row.name = name;
      row.ssid = store->ReadStoreValue(StoreFileKind::Profiles, name, "SSID");
      // The service names its copy of a stored profile by the SSID.
      row.capable = !row.ssid.empty() && Diagnostics().HasDiagnosticsSection(row.ssid);
      rows_.push_back(row);
      profiles_->addItem(QString::fromStdString(name.substr(0, kProfileNameChars)));
    }
  }
  profiles_->setCurrentIndex(rows_.empty() ? -1 : 0);
  pushing_ = false;
  ShowSelectedProfile();
}

void CPageCCXConfigDlg::ShowSelectedProfile() {
  const int index = profiles_->currentIndex();
  if (index < 0 || index >= static_cast<int>(rows_.size())) {
    nameValue_->clear();
    ssidValue_->clear();
    capableValue_->clear();
    return;
  }
  const DiagProfileRow& row = rows_[index];
  nameValue_->setText(QString::fromStdString(row.name));
  ssidValue_->setText(QString::fromStdString(row.ssid));
  capableValue_->setText(row.capable ? QStringLiteral("YES") : QStringLiteral("NO"));
}

void CPageCCXConfigDlg::StartDiagnosticTest() {
  const int index = profiles_->currentIndex();
  if (index < 0 || index >= static_cast<int>(rows_.size())) {
    ShowPageMessage(QStringLiteral("Please select a profile"));
    return;
  }
  const DiagProfileRow& row = rows_[index];
  if (row.ssid.empty() || !Diagnostics().ServiceProfileExists(row.ssid)) {
    ShowPageMessage(QStringLiteral("Please activate the profile before diagnosing"));
    return;
  }
  if (!row.capable) {
    ShowPageMessage(QStringLiteral("Please enable diagnostic function"));
    return;
  }
  testRunning_ = true;
  diagnose_->setEnabled(false);
  testTicks_ = 0;
  if (Timers()) Timers()->start(kCcxWatchdogTimer, kCcxWatchdogPeriodMs, [this] { OnWatchdogTick(); });
  Diagnostics().SendCcxProfile(row.ssid);
  Log(QStringLiteral("Test Started"));
  RevealLog();
}

void CPageCCXConfigDlg::OnWatchdogTick() {
  if (++testTicks_ > kCcxWatchdogMaxTicks) {
    if (Timers()) Timers()->kill(kCcxWatchdogTimer);
    OnMonitorMessage(Message{WM_MON_IHV_CHANNEL, 0, 0});
  }
}

void CPageCCXConfigDlg::StopDiagnosticTest() {
  if (testRunning_) {
    if (Timers()) Timers()->kill(kCcxWatchdogTimer);
    Diagnostics().SendCcxEnable();
  }
  EndTest();
}

void CPageCCXConfigDlg::EndTest() {
  testRunning_ = false;
  if (Timers()) Timers()->kill(kCcxWatchdogTimer);
  UpdateControls();
}

void CPageCCXConfigDlg::OnMonitorMessage(const Message& message) {
  // The monitor forwards every extension event; only a running test's belong in the log.
  if (!testRunning_) return;
  switch (message.message) {
    case WM_MON_IHV_CHANNEL:
      if (message.lParam != 0) {
        // Connected: the watchdog's work is done; the test runs until it finishes or is cancelled.
        if (Timers()) Timers()->kill(kCcxWatchdogTimer);
        Log(QStringLiteral("Connect to the Diagnostic Channel successfully"));
      } else {
        Log(QStringLiteral("Could not connect to the Diagnostic Channel. Please try again later"));
        StopDiagnosticTest();
      }
      break;
    case WM_MON_IHV_TEST_FINISHED:
      Log(QStringLiteral("Test finished"));
      EndTest();
      break;
    case WM_MON_IHV_DIAG_EVENT: {
      std::string text;
      if (!Diagnostics().FormatDiagnosticMessage(static_cast<uint32_t>(message.wParam), text)) {
        text.clear();
      }
      Log(QString::fromStdString(text));
      break;
    }
    case WM_MON_IHV_TEST_FAILED:
      Log(QStringLiteral("The test could not be run"));
      EndTest();
      break;
    default:
      return;
  }
  RevealLog();
}

CAuthenStatusDlg* CPageCCXConfigDlg::StatusLog() {
  return dynamic_cast<CAuthenStatusDlg*>(Window().LowerPanel(LOWER_PANEL_AUTHEN_STATUS));
}

void CPageCCXConfigDlg::Log(const QString& line) {
  if (CAuthenStatusDlg* log = StatusLog()) log->AddLogLine(line);
}

void CPageCCXConfigDlg::RevealLog() {
  Window().ShowLowerPanel(LOWER_PANEL_AUTHEN_STATUS);
  State().Expanded = false;
  Window().ToggleMoreLess();
}

// ---- Admission control ----

void CPageCCXConfigDlg::OnCacSet() {
  const auto request = CacRequestForComboIndex(cacCombo_->currentIndex());
  OidRequester* driver = Services().driver;
  if (!request || driver == nullptr) return;
  SetCcxTspec(*driver, *request);
}

QWidget* MakeCcxConfigPage(const PageContext& context, QWidget* parent) {
  return new CPageCCXConfigDlg(context, parent);
}

}  // namespace ov
