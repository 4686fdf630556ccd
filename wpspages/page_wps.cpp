#include "wpspages/page_wps.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <array>
#include <random>

#include "driver/oid/oid_requests.h"
#include "nativewifi/native_wifi_client.h"
#include "platform/system/mac_address.h"
#include "platform/time/monitor_messages.h"
#include "profiles/profile_store.h"
#include "shell/action_queue.h"
#include "shell/ui/control_ids.h"
#include "shell/ui/main_window.h"
#include "shell/ui/ui_text.h"
#include "views/ap_detail_dlg.h"
#include "widgets/info_wnd.h"
#include "widgets/progress_ctrl_x.h"
#include "wps/wps_credential_rules.h"
#include "wps/wps_pin.h"
#include "wpspages/wps_import.h"
#include "wpspages/wps_profile_panel.h"
#include "wps/wps_registrar.h"
#include "wps/wps_service_profiles.h"
#include "wps/wps_session_rules.h"
#include "wps/wps_status_text.h"

namespace ov {

namespace {

// The texts the layout carries itself: the two start buttons are named by their acronyms in
// every language.
constexpr char kPinButtonText[] = "PIN";
constexpr char kPbcButtonText[] = "PBC";
constexpr char kStartPbcText[] = "Start PBC connection";
constexpr char kStartPinText[] = "Start PIN connection - %1";
constexpr char kInvalidPinNote[] = "Invaild Pin Code";
constexpr char kPinChecksumMessage[] = "Pin Code error";

// Bar colours of the three progress bands: starting, exchanging, finishing.
const std::array<QColor, 3> kBandColours = {QColor(0xD0, 0x40, 0x30), QColor(0xE0, 0xA0, 0x20),
                                            QColor(0x30, 0xA0, 0x40)};

// PINs and registrar keys are secrets: from the system's random source, not from the clock.
uint8_t RandomByte() {
  static std::random_device source;
  return static_cast<uint8_t>(source());
}

QPushButton* MakeButton(const QString& text, int id, QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(ControlName(id));
  button->setAutoDefault(false);
  return button;
}

QTreeWidget* MakeList(int id, int columns, QWidget* parent) {
  auto* list = new QTreeWidget(parent);
  list->setObjectName(ControlName(id));
  list->setColumnCount(columns);
  list->setRootIsDecorated(false);
  list->setUniformRowHeights(true);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setIconSize(QSize(14, 14));
  list->header()->setStretchLastSection(false);
  list->header()->setMinimumSectionSize(8);
  return list;
}

}  // namespace

CPageWPSDlg::CPageWPSDlg(const PageContext& context, QWidget* parent)
    : PageWidget(context, parent), ownActivation_(std::make_unique<ActivationState>()) {
  setObjectName(ControlName(IDD_PAGE_WPS));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(6, 2, 6, 2);
  layout->setSpacing(6);
  auto* left = new QVBoxLayout;
  left->setSpacing(2);
  left->addWidget(MakeApGroup(), 1);

  auto* progressRow = new QHBoxLayout;
  progress_ = new CProgressCtrlX(this, Services().timers);
  progress_->setObjectName(ControlName(IDC_WPS_PROGRESS));
  progress_->setCaption(QStringLiteral("%d%%"), CProgressCtrlX::CaptionMode::Percent);
  progress_->setAccessibleName(UiText(IDS_WPS_STATE));
  progress_->setFixedWidth(110);
  progressRow->addWidget(progress_);
  status_ = new QLabel(QString::fromLatin1(WpsStatusCodeText(wps_status::kNotUsed).data()), this);
  status_->setObjectName(ControlName(IDC_WPS_STATUS));
  status_->setMinimumWidth(100);
  progressRow->addWidget(status_, 1);
  left->addLayout(progressRow);
  left->addWidget(MakeProfileGroup(), 1);
  layout->addLayout(left, 1);
  layout->addWidget(MakeSettingsGroup());

  if (Services().timers) note_ = new CInfoWnd(*Services().timers, this);
  SetProgress(0);

  // A page that has never run gets its PIN now, so the access point's user can be told it.
  uint32_t stored = 0;
  if (CheckWpsPin(FormatWpsPin(static_cast<uint32_t>(Wps().Settings.PinCode)), &stored) !=
      WpsPinCheck::Valid || stored == 0) {
    GeneratePin();
  }
  if (Timers()) Timers()->start(kWpsTimerPbcStarted, kWpsPbcStartedMs, [this] { CheckDriverPbcStarted(); });
  LoadValues();
}

CPageWPSDlg::~CPageWPSDlg() = default;

QWidget* CPageWPSDlg::MakeApGroup() {
  auto* box = new QWidget(this);
  auto* v = new QVBoxLayout(box);
  v->setContentsMargins(0, 0, 0, 0);
  v->setSpacing(2);
  auto* label = new QLabel(UiText(IDS_SEPARATOR_WPS_AP_LIST), box);
  v->addWidget(label);
  apList_ = MakeList(IDC_WPS_AP_LIST, 6, box);
  apList_->setHeaderHidden(true);
  apList_->setAccessibleName(UiText(IDS_SEPARATOR_WPS_AP_LIST));
  QHeaderView* columns = apList_->header();
  columns->setSectionResizeMode(QHeaderView::Fixed);
  apList_->setColumnWidth(0, 110);
  columns->setSectionResizeMode(1, QHeaderView::Stretch);
  apList_->setColumnWidth(2, 130);
  apList_->setColumnWidth(3, 30);
  apList_->setColumnWidth(kWpsApPushButtonColumn, 22);
  apList_->setColumnWidth(kWpsApLockedColumn, 22);
  connect(apList_, &QTreeWidget::itemSelectionChanged, this, [this] { RefreshButtons(); });
  v->addWidget(apList_, 1);

  auto* buttons = new QHBoxLayout;
  rescan_ = MakeButton(UiText(IDS_SITESUR_RESCAN), IDC_WPS_RESCAN, box);
  connect(rescan_, &QPushButton::clicked, this, &CPageWPSDlg::Rescan);
  information_ = MakeButton(UiText(IDS_WPS_INFO), IDC_WPS_INFORMATION, box);
  connect(information_, &QPushButton::clicked, this, &CPageWPSDlg::OnInformation);
  pin_ = MakeButton(QString::fromLatin1(kPinButtonText), IDC_WPS_PIN, box);
  connect(pin_, &QPushButton::clicked, this, &CPageWPSDlg::StartPin);
  pbc_ = MakeButton(QString::fromLatin1(kPbcButtonText), IDC_WPS_PBC, box);
  connect(pbc_, &QPushButton::clicked, this, &CPageWPSDlg::StartPbc);
  for (QPushButton* b : {rescan_, information_, pin_, pbc_}) buttons->addWidget(b);
  buttons->addStretch(1);
  v->addLayout(buttons);
  return box;
}

QWidget* CPageWPSDlg::MakeProfileGroup() {
  auto* box = new QWidget(this);
  auto* v = new QVBoxLayout(box);
  v->setContentsMargins(0, 0, 0, 0);
  v->setSpacing(2);
  v->addWidget(new QLabel(UiText(IDS_SEPARATOR_WPS_PROFILE_LIST), box));
  profileList_ = MakeList(IDC_WPS_PROFILE_LIST, 4, box);
  profileList_->setHeaderHidden(true);
  profileList_->setAccessibleName(UiText(IDS_SEPARATOR_WPS_PROFILE_LIST));
  QHeaderView* columns = profileList_->header();
  columns->setSectionResizeMode(QHeaderView::Fixed);
  columns->setSectionResizeMode(0, QHeaderView::Stretch);
  profileList_->setColumnWidth(1, 90);
  profileList_->setColumnWidth(2, 70);
  profileList_->setColumnWidth(3, 130);
  connect(profileList_, &QTreeWidget::itemSelectionChanged, this, [this] { RefreshButtons(); });
  v->addWidget(profileList_, 1);

  auto* buttons = new QHBoxLayout;
  buttons->setSpacing(3);
  profileDetail_ = MakeButton(UiText(IDS_WPS_PROFILE_DETAIL), IDC_WPS_PROFILE_DETAIL, box);
  connect(profileDetail_, &QPushButton::clicked, this, [this] {
    if (const auto row = SelectedProfileRow()) emit ProfileDetailRequested(*row);
  });
  connect_ = MakeButton(UiText(IDS_SITESUR_CONNECT), IDC_WPS_CONNECT, box);
  connect(connect_, &QPushButton::clicked, this, &CPageWPSDlg::OnConnect);
  rotate_ = MakeButton(UiText(IDS_WPS_ROTATE), IDC_WPS_ROTATE, box);
  connect(rotate_, &QPushButton::clicked, this, &CPageWPSDlg::OnRotate);
  disconnect_ = MakeButton(UiText(IDS_WPS_DISCONNECT), IDC_WPS_DISCONNECT, box);
  connect(disconnect_, &QPushButton::clicked, this, &CPageWPSDlg::Disconnect);
  delete_ = MakeButton(UiText(IDS_PROF_DEL), IDC_WPS_DELETE, box);
  connect(delete_, &QPushButton::clicked, this, &CPageWPSDlg::OnDelete);
  importProfile_ = MakeButton(UiText(IDS_IMPORT_PROFILE), IDC_WPS_IMPORT_PROFILE, box);
  connect(importProfile_, &QPushButton::clicked, this, [this] {
    // An empty table has nothing to import.
    if (Wps().Table.Count > 0) emit ImportProfileRequested();
  });
  connect(this, &CPageWPSDlg::ProfileDetailRequested, this, &CPageWPSDlg::OnProfileDetail);
  connect(this, &CPageWPSDlg::ImportProfileRequested, this, &CPageWPSDlg::OnImportProfile);
  for (QPushButton* b : {profileDetail_, connect_, rotate_, disconnect_, delete_, importProfile_}) {
    buttons->addWidget(b);
  }
  buttons->addStretch(1);
  v->addLayout(buttons);
  return box;
}

QWidget* CPageWPSDlg::MakeSettingsGroup() {
  auto* box = new QWidget(this);
  box->setFixedWidth(190);
  auto* v = new QVBoxLayout(box);
  v->setContentsMargins(0, 0, 0, 0);
  v->setSpacing(3);

  auto* pinGroup = new QGroupBox(UiText(IDS_PIN_CODE), box);
  auto* pinRow = new QHBoxLayout(pinGroup);
  pinRow->setContentsMargins(4, 2, 4, 2);
  pinEdit_ = new QLineEdit(pinGroup);
  pinEdit_->setObjectName(ControlName(IDC_WPS_PIN_EDIT));
  pinEdit_->setMaxLength(8);
  pinEdit_->setAccessibleName(UiText(IDS_PIN_CODE));
  pinRow->addWidget(pinEdit_, 1);
  renew_ = MakeButton(UiText(IDS_WPS_RENEW), IDC_WPS_RENEW, pinGroup);
  connect(renew_, &QPushButton::clicked, this, &CPageWPSDlg::OnRenew);
  pinRow->addWidget(renew_);
  v->addWidget(pinGroup);

  auto* grid = new QGridLayout;
  grid->setSpacing(3);
  auto* modeLabel = new QLabel(UiText(IDS_CONFIG_MODE), box);
  configMode_ = new QComboBox(box);
  configMode_->setObjectName(ControlName(IDC_WPS_CONFIG_MODE));
  configMode_->addItem(UiText(IDS_ENROLLEE));
  configMode_->addItem(UiText(IDS_REGISTRAR));
  modeLabel->setBuddy(configMode_);
  grid->addWidget(modeLabel, 0, 0);
  grid->addWidget(configMode_, 1, 0);
  auto* bandLabel = new QLabel(UiText(IDS_WIRELESS_MODE), box);
  wirelessMode_ = new QComboBox(box);
  wirelessMode_->setObjectName(ControlName(IDC_WPS_WIRELESS_MODE));
  wirelessMode_->addItem(UiText(IDS_PHY_24G));
  wirelessMode_->addItem(UiText(IDS_PHY_5G));
  bandLabel->setBuddy(wirelessMode_);
  grid->addWidget(bandLabel, 2, 0);
  grid->addWidget(wirelessMode_, 3, 0);
  v->addLayout(grid);
  connect(configMode_, &QComboBox::activated, this, &CPageWPSDlg::OnConfigModeChanged);
  connect(wirelessMode_, &QComboBox::activated, this, &CPageWPSDlg::OnWirelessModeChanged);

  autoSelect_ = new QCheckBox(UiText(IDS_WPS_AUTO_SELECT), box);
  autoSelect_->setObjectName(ControlName(IDC_WPS_AUTO_SELECT));
  autoSelect_->hide();
  connect(autoSelect_, &QCheckBox::toggled, this, [this] { RefreshButtons(); });
  v->addWidget(autoSelect_);
  assocIe_ = new QCheckBox(UiText(IDS_WPS_ASSOCIATE_IE), box);
  assocIe_->setObjectName(ControlName(IDC_WPS_ASSOC_IE));
  assocIe_->setChecked(true);
  v->addWidget(assocIe_);
  probeIe_ = new QCheckBox(UiText(IDS_WPS_PROBE_IE), box);
  probeIe_->setObjectName(ControlName(IDC_WPS_PROBE_IE));
  probeIe_->setChecked(true);
  v->addWidget(probeIe_);
  v->addStretch(1);
  return box;
}

// ---- State ----

ActionQueue* CPageWPSDlg::Queue() const { return Host().ActivationQueue(); }

WpsStoreState& CPageWPSDlg::Wps() {
  ActionQueue* queue = Queue();
  return queue ? queue->wps() : ownWps_;
}

ActivationState& CPageWPSDlg::Activation() {
  ActionQueue* queue = Queue();
  return queue ? queue->activation() : *ownActivation_;
}

void CPageWPSDlg::SaveStore(bool replace) {
  ProfileStore* store = Services().store;
  if (!store) return;
  ActionQueue* queue = Queue();
  SecretCodec* codec = queue ? queue->services().secretCodec : nullptr;
  std::optional<NativeWifiServiceProfiles> service;
  if (Services().wifi) service.emplace(*Services().wifi);
  SaveWpsStore(*store, codec, Wps(), replace, service ? &*service : nullptr);
}

void CPageWPSDlg::MarkUse() {
  if (Services().store) MarkWpsUse(*Services().store, Wps());
}

void CPageWPSDlg::GeneratePin() {
  const uint32_t pin = MakeWpsPin(RandomByte(), RandomByte(), RandomByte());
  Wps().Settings.PinCode = static_cast<int32_t>(pin);
  if (pinEdit_) pinEdit_->setText(QString::fromStdString(FormatWpsPin(pin)));
  SaveStore(false);
}

bool CPageWPSDlg::ValidatePin(uint32_t* pin) {
  switch (CheckWpsPin(pinEdit_->text().toStdString(), pin)) {
    case WpsPinCheck::Valid:
      Wps().Settings.PinCode = static_cast<int32_t>(*pin);
      SaveStore(false);
      return true;
    case WpsPinCheck::WrongFormat:
      pinEdit_->setFocus(Qt::OtherFocusReason);
      if (note_) note_->ShowNear(pinEdit_, QString::fromLatin1(kInvalidPinNote));
      return false;
    case WpsPinCheck::ChecksumError:
      return RejectInput(QString::fromLatin1(kPinChecksumMessage), pinEdit_);
  }
  return false;
}

// ---- Showing ----

void CPageWPSDlg::LoadValues() {
  const WpsSettings& settings = Wps().Settings;
  const bool registrar = settings.ConfigMode == kWpsConfigRegistrar;
  configMode_->setCurrentIndex(registrar ? 1 : 0);
  wirelessMode_->setCurrentIndex(settings.WirelessMode == 1 ? 1 : 0);
  pinEdit_->setText(QString::fromStdString(FormatWpsPin(static_cast<uint32_t>(settings.PinCode))));
  // The enrollee's PIN is generated; a registrar types the access point's.
  pinEdit_->setReadOnly(!registrar);
  RebuildApList();
  FillProfileList();
}

void CPageWPSDlg::RebuildApList() {
  const std::optional<int> selected = SelectedApRow();
  MacAddress selectedBssid{};
  if (selected) selectedBssid = apRows_[static_cast<size_t>(*selected)].bssid;
  apRows_ = State().RadioOn ? WpsApRowsFromScan(Host().ScanList()) : std::vector<WpsApRow>{};
  apList_->clear();
  for (const WpsApRow& row : apRows_) {
    auto* item = new QTreeWidgetItem(apList_);
    item->setText(0, QString::fromStdString(row.idText));
    item->setText(1, QString::fromStdString(row.ssid));
    item->setText(2, QString::fromStdString(FormatMacAddress(row.bssid)));
    item->setText(3, QString::number(row.channel));
    if (row.pushButton) item->setIcon(kWpsApPushButtonColumn, QIcon(QStringLiteral(":/icons/survey/wps.svg")));
    if (row.setupLocked) item->setIcon(kWpsApLockedColumn, QIcon(QStringLiteral(":/icons/survey/padlock.svg")));
    if (selected && row.bssid == selectedBssid) item->setSelected(true);
  }
  RefreshButtons();
}

void CPageWPSDlg::OnProfileDetail(int row) {
  if (!ShowWpsProfileDetail(Window(), Wps().Table, row, configMode_->currentIndex())) return;
  // The registrar editor saves credential 0 there; the list follows.
  if (auto* panel = dynamic_cast<CPageWPSProfile*>(Window().LowerPanel(LOWER_PANEL_WPS_PROFILE))) {
    connect(panel, &CPageWPSProfile::credentialSaved, this, &CPageWPSDlg::OnCredentialSaved,
            Qt::UniqueConnection);
  }
}

void CPageWPSDlg::OnImportProfile() { ImportWpsCredentials(Window(), Wps().Table); }

void CPageWPSDlg::OnCredentialSaved() {
  FillProfileList();
  RefreshButtons();
}

void CPageWPSDlg::FillProfileList() {
  const std::optional<int> selected = SelectedProfileRow();
  const WpsCredentialTable& table = Wps().Table;
  profileList_->clear();
  for (uint32_t i = 0; i < table.Count && i < WpsCredentialTable::kMaxCredentials; ++i) {
    const WpsCredentialDetail detail = DescribeWpsCredential(table.Credentials[i]);
    auto* item = new QTreeWidgetItem(profileList_);
    item->setText(0, QString::fromStdString(detail.ssid));
    item->setText(1, QString::fromStdString(detail.auth));
    item->setText(2, QString::fromStdString(detail.encryption));
    item->setText(3, QString::fromStdString(detail.mac));
    if (selected && *selected == static_cast<int>(i)) item->setSelected(true);
  }
  MarkAppliedRow(appliedConnected_);
  RefreshButtons();
}

void CPageWPSDlg::MarkAppliedRow(std::optional<bool> connected) {
  appliedConnected_ = connected;
  const int applied = static_cast<int>(Activation().AppliedCredentialIndex);
  for (int row = 0; row < profileList_->topLevelItemCount(); ++row) {
    QTreeWidgetItem* item = profileList_->topLevelItem(row);
    const bool mark = connected.value_or(false) && row == applied;
    item->setIcon(0, mark ? QIcon(QStringLiteral(":/icons/survey/connected.svg")) : QIcon());
    item->setData(0, Qt::UserRole, mark);
  }
}

bool CPageWPSDlg::RowMarkedConnected(int row) const {
  QTreeWidgetItem* item = profileList_->topLevelItem(row);
  return item != nullptr && item->data(0, Qt::UserRole).toBool();
}

std::optional<int> CPageWPSDlg::SelectedApRow() const {
  const QList<QTreeWidgetItem*> items = apList_->selectedItems();
  if (items.isEmpty()) return std::nullopt;
  const int row = apList_->indexOfTopLevelItem(items.front());
  if (row < 0 || static_cast<size_t>(row) >= apRows_.size()) return std::nullopt;
  return row;
}

std::optional<int> CPageWPSDlg::SelectedProfileRow() const {
  const QList<QTreeWidgetItem*> items = profileList_->selectedItems();
  if (items.isEmpty()) return std::nullopt;
  const int row = profileList_->indexOfTopLevelItem(items.front());
  if (row < 0) return std::nullopt;
  return row;
}

void CPageWPSDlg::RefreshButtons() {
  WpsPageButtonInputs in;
  in.apSelected = SelectedApRow().has_value();
  in.autoSelect = autoSelect_->isChecked();
  in.profileSelected = SelectedProfileRow().has_value();
  in.mayManageProfiles = State().Adapter.isAdmin || Host().SurveyConnectPolicy().standardUserMayManageProfiles;
  in.credentialCount = Wps().Table.Count;
  in.registrar = Wps().Settings.ConfigMode == kWpsConfigRegistrar;
  in.polling = polling_;
  const WpsPageButtons b = ComputeWpsPageButtons(in);
  information_->setEnabled(b.information);
  pin_->setEnabled(b.pin);
  pbc_->setEnabled(b.pbc);
  wirelessMode_->setEnabled(b.wirelessMode);
  profileDetail_->setEnabled(b.profileDetail);
  connect_->setEnabled(b.connect);
  delete_->setEnabled(b.deleteEnabled);
  delete_->setVisible(b.deleteShown);
  rotate_->setEnabled(b.rotate);
  rescan_->setEnabled(!polling_);
}

void CPageWPSDlg::SetStatus(const QString& text) { status_->setText(text); }

void CPageWPSDlg::SetProgress(int percent) {
  progress_->setPosition(percent);
  progress_->setBarColour(kBandColours[static_cast<size_t>(WpsProgressBand(percent))]);
}

// ---- Commands ----

void CPageWPSDlg::Rescan() {
  SetStatus(UiText(IDS_RESCANNING));
  Host().QueueScan();
}

void CPageWPSDlg::OnInformation() {
  const std::optional<int> row = SelectedApRow();
  if (!row) return;
  if (!OpenApDetail(Window(), apRows_[static_cast<size_t>(*row)].entry)) return;
  if (auto* detail = dynamic_cast<CAPDetailInfoDlg*>(Window().LowerPanel(LOWER_PANEL_AP_DETAIL))) {
    detail->Tabs()->setCurrentIndex(CAPDetailInfoDlg::kTabWps);
  }
}

void CPageWPSDlg::OnRenew() { GeneratePin(); }

void CPageWPSDlg::LeaveNetwork() {
  // The service's disconnect also ends its automatic connection on the interface until the next
  // connect request.
  if (Services().wifi) Services().wifi->Disconnect();
  if (Services().driver) SetWpsWirelessMode(*Services().driver, static_cast<uint32_t>(Wps().Settings.WirelessMode));
}

void CPageWPSDlg::ClearCredentials() {
  Wps().Table = WpsCredentialTable{};
  Wps().PeerAddress = MacAddress{};
  appliedConnected_.reset();
  SaveStore(true);
  FillProfileList();
}

void CPageWPSDlg::SendRunStart(const WpsStart& start) {
  OidRequester* driver = Services().driver;
  if (!driver) return;
  SetWpsStart(*driver, start);
  SetWpsProfileTable(*driver, Wps().Table);
  SetWpsAssocIe(*driver, assocIe_->isChecked() ? 1 : 0);
  SetWpsProbeIe(*driver, probeIe_->isChecked() ? 1 : 0);
}

void CPageWPSDlg::StartPolling(WpsRunOrigin origin) {
  origin_ = origin;
  polling_ = true;
  tick_ = 1;
  SetProgress(5);
  RefreshButtons();
  if (Timers()) Timers()->start(kWpsTimerPoll, kWpsPollMs, [this] { Poll(); });
}

void CPageWPSDlg::StartPbc() {
  sessionMode_ = kWpsSessionPbc;
  monitorActive_ = true;
  LeaveNetwork();
  const bool registrar = Wps().Settings.ConfigMode == kWpsConfigRegistrar;
  if (!registrar) ClearCredentials();
  SetStatus(QString::fromLatin1(kStartPbcText));
  SendRunStart(MakePbcStart(registrar ? WPS_ROLE_REGISTRAR : WPS_ROLE_ENROLLEE));
  StartPolling(WpsRunOrigin::Page);
}

void CPageWPSDlg::StartPin() {
  uint32_t pin = 0;
  if (!ValidatePin(&pin)) return;
  sessionMode_ = kWpsSessionPin;
  monitorActive_ = true;
  PinSessionStep();
}

// A PIN session from its step 2: the access point to try, then the start. Auto-select comes back
// here for each next access point.
void CPageWPSDlg::PinSessionStep() {
  if (autoSelect_->isChecked()) {
    if (Timers()) {
      if (!Timers()->isActive(kWpsTimerOverallLimit)) {
        Timers()->startOnce(kWpsTimerOverallLimit, kWpsOverallLimitMs, [this] { OverallLimitReached(); });
      }
      Timers()->start(kWpsTimerNextAp, kWpsNextApMs, [this] { NextApTimeout(); });
    }
    std::vector<std::string> ids;
    for (const WpsApRow& row : apRows_) ids.push_back(row.idText);
    currentApIndex_ = NextAutoSelectRow(ids, currentApIndex_);
    if (currentApIndex_ < 0) {
      if (Timers()) {
        Timers()->kill(kWpsTimerNextAp);
        Timers()->kill(kWpsTimerPoll);
      }
      polling_ = false;
      sessionMode_ = kWpsSessionIdle;
      RefreshButtons();
      SetStatus(UiText(IDS_RESCANNING));
      Host().QueueScan();
      return;
    }
  } else {
    currentApIndex_ = SelectedApRow().value_or(-1);
  }

  LeaveNetwork();
  if (currentApIndex_ < 0 || static_cast<size_t>(currentApIndex_) >= apRows_.size()) {
    sessionMode_ = kWpsSessionIdle;
    return;
  }
  const bool registrar = Wps().Settings.ConfigMode == kWpsConfigRegistrar;
  if (!registrar) {
    ClearCredentials();
  } else if (Wps().Table.Count > 0) {
    PrepareRegistrarPinCredential(Wps().Table.Credentials[0]);
  }
  const WpsApRow& row = apRows_[static_cast<size_t>(currentApIndex_)];
  const WpsStart start = MakePinStart(row, static_cast<uint32_t>(Wps().Settings.PinCode),
                                      registrar ? WPS_ROLE_REGISTRAR : WPS_ROLE_ENROLLEE);
  SetStatus(QString::fromLatin1(kStartPinText).arg(QString::fromStdString(row.ssid)));
  if (Services().driver) SetWpsAutoSelect(*Services().driver, autoSelect_->isChecked() ? 1 : 0);
  SendRunStart(start);
  StartPolling(WpsRunOrigin::Page);
}

// ---- Following a run ----

void CPageWPSDlg::Poll() {
  OidRequester* driver = Services().driver;
  WpsStatus status;
  if (!driver || !QueryWpsStatus(*driver, status)) return;
  const WpsStatusView view = DescribeWpsStatusWord(EncodeWpsStatus(status));
  SetStatus(QString::fromStdString(view.text));
  if (view.progress) SetProgress(*view.progress);

  WpsPollContext context;
  context.origin = origin_;
  context.sessionMode = sessionMode_;
  context.autoSelect = autoSelect_->isChecked();
  context.registrar = Wps().Settings.ConfigMode == kWpsConfigRegistrar;
  context.currentApIndex = currentApIndex_;
  context.apRowCount = apRows_.size();
  const WpsPollReaction reaction = ReactToWpsStatus(view, context);

  if (reaction.tryNextAp) {
    if (Timers()) Timers()->kill(kWpsTimerNextAp);
    PinSessionStep();
    return;
  }
  if (reaction.forgetApIndex) currentApIndex_ = -1;
  if (reaction.stopSession) {
    Disconnect();
    return;
  }
  if (reaction.stopPolling) {
    if (Timers()) Timers()->kill(kWpsTimerPoll);
    polling_ = false;
    sessionMode_ = kWpsSessionIdle;
  }
  if (reaction.takeCredentials) {
    TakeCredentials();
  } else if (reaction.showCompletion) {
    // The monitor takes the driver's table; the connection monitor shows it once it is there.
    SetProgress(100);
    FillProfileList();
    StartConnectionMonitor();
  }
  if (reaction.reenableControls) RefreshButtons();
}

void CPageWPSDlg::TakeCredentials() {
  if (Timers()) {
    Timers()->kill(kWpsTimerOverallLimit);
    Timers()->kill(kWpsTimerNextAp);
  }
  currentApIndex_ = -1;
  sessionMode_ = kWpsSessionIdle;
  SetProgress(100);
  OidRequester* driver = Services().driver;
  WpsStoreState& wps = Wps();
  if (driver) {
    WpsCredentialTable table;
    if (QueryWpsProfileTable(*driver, table)) TakeDriverCredentialTable(wps, table);
    uint32_t channel = 0;
    if (QueryWpsChannel(*driver, channel)) wps.Settings.Channel = static_cast<int32_t>(channel);
  }
  SaveStore(true);
  appliedConnected_.reset();
  if (wps.Table.Count == 0) {
    FillProfileList();
    return;
  }
  Activation().CredentialCycling = false;
  rotating_ = false;
  ApplyCredential(0);
  FillProfileList();
  StartConnectionMonitor();
}

void CPageWPSDlg::ApplyCredential(uint32_t index) {
  ActivationState& a = Activation();
  a.AppliedCredentialIndex = index;
  a.NextCredentialIndex = index;
  if (ActionQueue* queue = Queue()) {
    queue->ApplyWpsCredential();
    a.StationProfileInUse = 0;
  } else {
    Wps().WpsProfileInUse = 1;
  }
  MarkUse();
  MarkAppliedRow(false);
}

void CPageWPSDlg::StartConnectionMonitor() {
  tick_ = 1;
  if (Timers()) Timers()->start(kWpsTimerConnection, kWpsConnectionMs, [this] { ConnectionTick(); });
}

void CPageWPSDlg::ConnectionTick() {
  // A run the monitor completed brings its table in the meantime.
  if (profileList_->topLevelItemCount() != static_cast<int>(Wps().Table.Count)) FillProfileList();
  WpsConnectionTickInputs in;
  in.connected = Services().wifi && Services().wifi->QueryInterfaceConnected() == true;
  in.monitorActive = monitorActive_;
  in.rotating = rotating_;
  in.tick = tick_;
  in.credentialCount = Wps().Table.Count;
  const WpsConnectionTick t = DecideWpsConnectionTick(in);
  ++tick_;
  if (t.stopTimer && Timers()) Timers()->kill(kWpsTimerConnection);
  if (in.credentialCount == 0) return;
  MarkAppliedRow(t.markConnected);
  if (t.connectedSeen) {
    rotating_ = false;
    RefreshButtons();
  }
  if (t.clearStatus) {
    SetStatus(QString());
    SetProgress(0);
  }
  if (t.applyCredential) ApplyCredential(*t.applyCredential);
}

void CPageWPSDlg::CheckDriverPbcStarted() {
  OidRequester* driver = Services().driver;
  uint32_t started = 0;
  if (!driver || polling_ || !QueryWpsPbcStarted(*driver, started) || started == 0) return;
  // The button on the adapter started a push-button run: follow it, the monitor completes it.
  sessionMode_ = kWpsSessionPbc;
  monitorActive_ = true;
  if (Services().wifi) Services().wifi->Disconnect();
  ClearCredentials();
  SetStatus(QString::fromLatin1(kStartPbcText));
  StartPolling(WpsRunOrigin::Driver);
}

void CPageWPSDlg::OverallLimitReached() {
  Disconnect();
  RefreshButtons();
}

void CPageWPSDlg::NextApTimeout() {
  if (Services().wifi && Services().wifi->QueryInterfaceConnected() == true) return;
  RefreshButtons();
  PinSessionStep();
}

// ---- Stopping ----

void CPageWPSDlg::Disconnect() {
  sessionMode_ = kWpsSessionIdle;
  if (Timers()) {
    Timers()->kill(kWpsTimerNextAp);
    Timers()->kill(kWpsTimerOverallLimit);
    Timers()->kill(kWpsTimerPoll);
  }
  polling_ = false;
  currentApIndex_ = -1;
  monitorActive_ = false;
  rotating_ = false;
  // A start record with neither mode bit ends the driver's run.
  if (OidRequester* driver = Services().driver) {
    WpsStart stop;
    stop.Mode = 0;
    SetWpsStart(*driver, stop);
  }
  StopSequence();
  if (OidRequester* driver = Services().driver) SetDisconnectRequest(*driver);
}

void CPageWPSDlg::StopSequence() {
  rescan_->setEnabled(true);
  SetProgress(0);
  Activation().CredentialCycling = false;
  Wps().WpsProfileInUse = 0;
  MarkUse();
  if (Services().wifi) Services().wifi->Disconnect();
  SetStatus(QString());
  MarkAppliedRow(std::nullopt);
  RefreshButtons();
}

void CPageWPSDlg::OnConnect() {
  const std::optional<int> row = SelectedProfileRow();
  if (!row || static_cast<uint32_t>(*row) >= Wps().Table.Count) return;
  monitorActive_ = true;
  rotating_ = false;
  Activation().CredentialCycling = false;
  ApplyCredential(static_cast<uint32_t>(*row));
  StartConnectionMonitor();
}

void CPageWPSDlg::OnRotate() {
  if (Wps().Table.Count == 0) return;
  monitorActive_ = true;
  rotating_ = true;
  ActivationState& a = Activation();
  a.CredentialCycling = true;
  if (ActionQueue* queue = Queue()) {
    queue->ApplyWpsCredential();
    a.StationProfileInUse = 0;
  }
  MarkUse();
  MarkAppliedRow(false);
  StartConnectionMonitor();
}

void CPageWPSDlg::OnDelete() {
  const std::optional<int> row = SelectedProfileRow();
  if (!row) return;
  const uint32_t index = static_cast<uint32_t>(*row);
  WpsStoreState& wps = Wps();
  if (index >= wps.Table.Count) return;
  const ActivationState& a = Activation();
  if (!a.CredentialCycling && wps.WpsProfileInUse == 1 && index == a.AppliedCredentialIndex) {
    const std::string name(WpsCredentialSsid(wps.Table.Credentials[index]));
    StopSequence();
    if (Services().wifi) Services().wifi->DeleteServiceProfile(name);
  }
  RemoveWpsCredential(wps, index);
  SaveStore(false);
  profileList_->clearSelection();
  FillProfileList();
}

// ---- Settings ----

void CPageWPSDlg::OnConfigModeChanged(int mode) {
  if (mode == Wps().Settings.ConfigMode) return;
  Disconnect();
  MacAddress mac{};
  if (Services().driver) QueryCurrentAddress(*Services().driver, mac);
  std::array<uint8_t, 32> random{};
  for (uint8_t& b : random) b = RandomByte();
  appliedConnected_.reset();
  ChangeWpsConfigMode(Wps(), mode, mac, random);
  const bool registrar = mode == kWpsConfigRegistrar;
  pinEdit_->setReadOnly(!registrar);
  if (!registrar) pinEdit_->setText(QString::fromStdString(FormatWpsPin(static_cast<uint32_t>(Wps().Settings.PinCode))));
  SaveStore(false);
  FillProfileList();
}

void CPageWPSDlg::OnWirelessModeChanged(int mode) {
  Wps().Settings.WirelessMode = mode;
  SaveStore(false);
}

void CPageWPSDlg::OnMonitorMessage(const Message& message) {
  if (message.message != WM_MON_SCAN_DONE && message.message != WM_MON_SCAN_FAILED) return;
  if (status_->text() == UiText(IDS_RESCANNING)) SetStatus(QString());
  RebuildApList();
}

QWidget* MakeWpsPage(const PageContext& context, QWidget* parent) {
  return new CPageWPSDlg(context, parent);
}

}  // namespace ov
