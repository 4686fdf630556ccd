#include "radio/page_wmm.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "driver/oid/oid_requests.h"
#include "nativewifi/native_wifi_client.h"
#include "radio/connection_restart.h"
#include "radio/text_rows_list.h"
#include "shell/ui/control_ids.h"
#include "shell/ui/main_window.h"
#include "shell/ui/ui_text.h"
#include "widgets/accessibility.h"
#include "widgets/filtering_edit.h"

namespace ov {

namespace {

constexpr int kListWidth = 300;

const std::array<const AdapterParam*, 4> kCategoryParams = {&param::kApsdAcBe, &param::kApsdAcBk,
                                                            &param::kApsdAcVi, &param::kApsdAcVo};

// The boxes in the order the layout shows them.
constexpr std::array<WmmAccessCategory, 4> kCategoryBoxOrder = {kAcBk, kAcBe, kAcVi, kAcVo};

}  // namespace

CPageWMMDlg::CPageWMMDlg(const PageContext& context, QWidget* parent) : PageWidget(context, parent) {
  setObjectName(ControlName(IDD_PAGE_WMM_DLG));
  auto* top = new QHBoxLayout(this);
  top->setContentsMargins(12, 6, 12, 6);
  top->setSpacing(14);
  auto* left = new QVBoxLayout;
  left->setSpacing(4);

  auto* statusBox = new QGroupBox(UiText(IDS_WMM_SETUP_STATUS), this);
  auto* statusGrid = new QGridLayout(statusBox);
  statusGrid->setContentsMargins(8, 2, 8, 2);
  statusGrid->setVerticalSpacing(0);
  const std::array<QString, 3> statusLabels = {QStringLiteral("WMM >>"), UiText(IDS_POWER_SAVE_STATUS),
                                               UiText(IDS_DL)};
  QLabel** statusValues[3] = {&wmmStatus_, &powerSaveStatus_, &dlsStatus_};
  for (int i = 0; i < 3; ++i) {
    statusGrid->addWidget(new QLabel(statusLabels[i], statusBox), i, 0);
    *statusValues[i] = new QLabel(statusBox);
    (*statusValues[i])->setTextFormat(Qt::PlainText);
    statusGrid->addWidget(*statusValues[i], i, 1);
  }
  statusGrid->setColumnStretch(1, 1);
  left->addWidget(statusBox);

  wmm_ = new QCheckBox(UiText(IDS_WMM_Enable), this);
  connect(wmm_, &QCheckBox::clicked, this, &CPageWMMDlg::OnWmmEnable);
  left->addWidget(wmm_);
  auto* powerRow = new QHBoxLayout;
  powerSave_ = new QCheckBox(UiText(IDS_POWER_SAVE), this);
  connect(powerSave_, &QCheckBox::clicked, this, &CPageWMMDlg::OnPsEnable);
  powerRow->addWidget(powerSave_);
  for (WmmAccessCategory category : kCategoryBoxOrder) {
    categories_[category] = new QCheckBox(QString::fromLatin1(kWmmCategoryNames[category]), this);
    connect(categories_[category], &QCheckBox::clicked, this, &CPageWMMDlg::OnAcClick);
    powerRow->addWidget(categories_[category]);
  }
  powerRow->addStretch();
  left->addLayout(powerRow);
  dls_ = new QCheckBox(UiText(IDS_DLS_ENABLE), this);
  connect(dls_, &QCheckBox::clicked, this, &CPageWMMDlg::OnDlsEnable);
  left->addWidget(dls_);

  auto* addressRow = new QHBoxLayout;
  addressRow->setSpacing(2);
  addressRow->setContentsMargins(20, 0, 0, 0);
  addressLabel_ = new QLabel(UiText(IDS_MAC_ADDRESS), this);
  addressLabel_->setFixedWidth(110);
  addressRow->addWidget(addressLabel_);
  for (size_t i = 0; i < address_.size(); ++i) {
    if (i > 0) addressRow->addWidget(new QLabel(QStringLiteral("-"), this));
    auto* edit = new FilteringEdit(CharacterClass::Hex, this);
    edit->setMaxLength(2);
    edit->setFixedWidth(30);
    edit->setAlignment(Qt::AlignCenter);
    // One label for six pairs: each pair is named with its place.
    edit->setAccessibleName(QStringLiteral("%1 %2/%3")
                                .arg(WithoutMnemonic(UiText(IDS_MAC_ADDRESS)))
                                .arg(i + 1)
                                .arg(address_.size()));
    address_[i] = edit;
    addressRow->addWidget(edit);
  }
  // Typing an address runs on from one pair into the next.
  for (size_t i = 0; i + 1 < address_.size(); ++i) {
    QLineEdit* next = address_[i + 1];
    connect(address_[i], &QLineEdit::textEdited, this, [next](const QString& text) {
      if (text.size() == 2) {
        next->setFocus(Qt::TabFocusReason);
        next->selectAll();
      }
    });
  }
  addressRow->addStretch();
  left->addLayout(addressRow);
  auto* timeoutRow = new QHBoxLayout;
  timeoutRow->setContentsMargins(20, 0, 0, 0);
  timeoutLabel_ = new QLabel(UiText(IDS_TIMEOUT_VALUE), this);
  timeoutLabel_->setFixedWidth(110);
  timeout_ = new FilteringEdit(CharacterClass::Decimal, this);
  timeout_->setMaxLength(10);
  timeout_->setFixedWidth(70);
  secondsLabel_ = new QLabel(UiText(IDS_SECOND), this);
  timeoutRow->addWidget(timeoutLabel_);
  timeoutRow->addWidget(timeout_);
  timeoutRow->addWidget(secondsLabel_);
  timeoutRow->addStretch();
  left->addLayout(timeoutRow);
  left->addStretch();
  top->addLayout(left);

  auto* right = new QVBoxLayout;
  list_ = new TextRowsList(QStringList{QStringLiteral("MAC Address"), QStringLiteral("Timeout")},
                           {0.3, 0.7}, kListWidth, false, this);
  // The address needs its width more than the timeout does.
  list_->setColumnWidth(0, 150);
  list_->setColumnWidth(1, kListWidth - 150 - 2 * list_->frameWidth() - 16);
  connect(list_, &QAbstractItemView::clicked, this, &CPageWMMDlg::OnListClick);
  connect(list_, &QAbstractItemView::doubleClicked, this, &CPageWMMDlg::OnListDoubleClick);
  right->addWidget(list_, 1);
  auto* buttons = new QHBoxLayout;
  setup_ = new QPushButton(UiText(IDS_APPLY), this);
  tearDown_ = new QPushButton(UiText(IDS_TEAR_DOWN), this);
  for (QPushButton* button : {setup_, tearDown_}) {
    button->setAutoDefault(false);
    buttons->addWidget(button);
  }
  connect(setup_, &QPushButton::clicked, this, &CPageWMMDlg::OnSetup);
  connect(tearDown_, &QPushButton::clicked, this, &CPageWMMDlg::OnTearDown);
  right->addLayout(buttons);
  top->addLayout(right);

  WriteControls();
  ApplyStates();
}

// ---- Show and the timer ----

void CPageWMMDlg::LoadValues() {
  const std::string& key = State().Adapter.adapterKeyPath;
  if (!key.empty()) {
    if (auto v = ReadDecimalParam(key, param::kWmmCapable)) fields_.WmmEnable = *v;
    if (auto v = ReadDecimalParam(key, param::kApsdCapable)) fields_.PsEnable = *v;
    if (auto v = ReadDecimalParam(key, param::kDlsCapable)) fields_.DlsEnable = *v;
  }
  if (OidRequester* driver = Services().driver) {
    uint32_t word = 0;
    QueryWmmFlags(*driver, word);
    const WmmCategories set = CategoriesSetIn(word);
    for (size_t i = 0; i < set.size(); ++i) {
      if (set[i]) fields_.Ac[i] = true;
    }
  }
  std::optional<std::string> stored;
  if (!key.empty()) stored = ReadTextParam(key, param::kWmmMacAddr);
  fields_.MacParts = SplitStoredPeer(stored.value_or(std::string()));
  WriteControls();
  ApplyStates();
}

void CPageWMMDlg::Refresh() {
  OidRequester* driver = Services().driver;
  if (driver == nullptr) return;
  DlsTable table;
  QueryDlsTable(*driver, table);
  list_->Rows().rows.clear();
  for (const DlsRow& row : DlsRows(table)) list_->Rows().rows.push_back({row.address, row.timeout});
  list_->Reset();
}

// ---- Switches ----

void CPageWMMDlg::OnWmmEnable() {
  ReadControls();
  if (fields_.WmmEnable == 0) {
    fields_.PsEnable = 0;
    fields_.DlsEnable = 0;
    fields_.TimeoutText = kDefaultDlsTimeout;
    WriteControls();
  }
  ApplyStates();

  OidRequester* driver = Services().driver;
  uint32_t word = 0;
  if (driver != nullptr) QueryWmmFlags(*driver, word);
  word = WmmFlagsAfterWmmSwitch(word, fields_.WmmEnable == 1, fields_.PsEnable == 1);
  if (fields_.WmmEnable == 1) {
    WriteParam(param::kWmmCapable, 1);
  } else {
    WriteParam(param::kApsdCapable, 0);
    WriteParam(param::kDlsCapable, 0);
    WriteParam(param::kWmmCapable, 0);
  }
  if (driver != nullptr) {
    SetWmmFlags(*driver, word);
    SetDlsEnable(*driver, static_cast<uint32_t>(fields_.DlsEnable));
    SetWmmByteSwitch(*driver, static_cast<uint8_t>(fields_.WmmEnable));
  }
  Reconnect(false);
  // The survey's list shows the networks as the changed association sees them.
  if (State().RadioOn) {
    State().Survey.rescanPending = true;
    Host().QueueScan();
  }
}

void CPageWMMDlg::OnPsEnable() {
  ReadControls();
  uint32_t word = 0;
  if (OidRequester* driver = Services().driver) QueryWmmFlags(*driver, word);
  word = WmmFlagsAfterPowerSaveSwitch(word, fields_.PsEnable == 1);
  powerSaveStatus_->setText(UiText(fields_.PsEnable == 1 ? IDS_ENABLED : IDS_DISABLED));
  for (QCheckBox* box : categories_) box->setEnabled(fields_.PsEnable == 1);
  if (OidRequester* driver = Services().driver) SetWmmFlags(*driver, word);
  WriteParam(param::kApsdCapable, fields_.PsEnable);
}

void CPageWMMDlg::OnAcClick() {
  ReadControls();
  ShowPowerSaveStatus();
  OidRequester* driver = Services().driver;
  if (driver != nullptr) SetWmmFlags(*driver, WmmFlagsOfCategories(fields_.Ac));
  for (size_t i = 0; i < kCategoryParams.size(); ++i) {
    WriteParam(*kCategoryParams[i], fields_.Ac[i] ? 1 : 0);
  }
  if (driver == nullptr) return;
  // The categories are negotiated at association: associate again with the same network.
  NDIS_802_11_SSID ssid;
  QuerySsid(*driver, ssid);
  SetDisassociate(*driver);
  SetSsid(*driver, ssid);
  const std::string& key = State().Adapter.adapterKeyPath;
  if (!key.empty()) {
    if (const std::optional<uint32_t> ccx = ReadWordParam(key, param::kCcx2Control)) {
      SetCcxControl(*driver, Host().CurrentProfileUsesBssid() ? 0 : 1, *ccx);
    }
  }
  Host().QueueScan();
}

void CPageWMMDlg::OnDlsEnable() {
  ReadControls();
  dlsStatus_->setText(UiText(fields_.DlsEnable == 1 ? IDS_ENABLED : IDS_DISABLED));
  SetDlsControlsEnabled(fields_.DlsEnable == 1);
  WriteParam(param::kDlsCapable, fields_.DlsEnable);
  if (OidRequester* driver = Services().driver) {
    SetDlsEnable(*driver, static_cast<uint32_t>(fields_.DlsEnable));
  }
  Reconnect(true);
}

// ---- Direct links ----

void CPageWMMDlg::OnSetup() {
  ReadControls();
  OidRequester* driver = Services().driver;
  std::optional<MacAddress> own;
  MacAddress address{};
  if (driver != nullptr && QueryCurrentAddress(*driver, address)) own = address;
  const DlsPeer peer = CheckDlsPeer(fields_.MacParts, own);
  if (peer.check == DlsPeerCheck::InvalidAddress) {
    RejectInput(UiText(IDS_INVALIDMACADDR), address_[0]);
    return;
  }
  if (peer.check == DlsPeerCheck::GroupAddress) {
    RejectInput(UiText(IDS_NOTACCEPTB), address_[0]);
    return;
  }
  const std::string& key = State().Adapter.adapterKeyPath;
  if (RegistryWriter* registry = Services().registry; registry != nullptr && !key.empty()) {
    WriteTextParam(*registry, key, param::kWmmMacAddr, peer.storedText);
  }
  const std::optional<uint16_t> timeout = ParseDlsTimeout(fields_.TimeoutText);
  if (!timeout) {
    RejectInput(UiText(IDS_INVALIDTIMEOUT), timeout_);
    return;
  }
  DlsEntry request;
  request.TimeoutSeconds = *timeout;
  request.Peer = peer.address;
  request.Wanted = 1;
  if (driver != nullptr) SetDlsTable(*driver, request);
}

void CPageWMMDlg::OnTearDown() {
  if (selectedRow_ < 0) {
    ShowPageMessage(UiText(IDS_NOSELECTEDITEM));
    return;
  }
  OidRequester* driver = Services().driver;
  if (driver == nullptr) return;
  DlsTable table;
  QueryDlsTable(*driver, table);
  if (const std::optional<DlsEntry> request = DlsTearDownRequest(table, selectedMac_)) {
    SetDlsTable(*driver, *request);
  }
}

void CPageWMMDlg::OnListClick() {
  selectedRow_ = list_->SelectedRow();
  selectedMac_ = selectedRow_ >= 0 ? list_->CellText(selectedRow_, 0).toStdString() : std::string();
}

void CPageWMMDlg::OnListDoubleClick() {
  OnListClick();
  if (selectedRow_ < 0) return;
  const QStringList parts = list_->CellText(selectedRow_, 0).split(QLatin1Char('-'));
  for (size_t i = 0; i < address_.size(); ++i) {
    address_[i]->setText(static_cast<int>(i) < parts.size() ? parts[static_cast<int>(i)] : QString());
  }
  timeout_->setText(list_->CellText(selectedRow_, 1));
  ReadControls();
}

// ---- Controls ----

void CPageWMMDlg::ReadControls() {
  fields_.WmmEnable = wmm_->isChecked() ? 1 : 0;
  fields_.PsEnable = powerSave_->isChecked() ? 1 : 0;
  fields_.DlsEnable = dls_->isChecked() ? 1 : 0;
  for (size_t i = 0; i < categories_.size(); ++i) fields_.Ac[i] = categories_[i]->isChecked();
  for (size_t i = 0; i < address_.size(); ++i) fields_.MacParts[i] = address_[i]->text().toStdString();
  fields_.TimeoutText = timeout_->text().toStdString();
}

void CPageWMMDlg::WriteControls() {
  wmm_->setChecked(fields_.WmmEnable == 1);
  powerSave_->setChecked(fields_.PsEnable == 1);
  dls_->setChecked(fields_.DlsEnable == 1);
  for (size_t i = 0; i < categories_.size(); ++i) categories_[i]->setChecked(fields_.Ac[i]);
  for (size_t i = 0; i < address_.size(); ++i) {
    address_[i]->setText(QString::fromStdString(fields_.MacParts[i]));
  }
  timeout_->setText(QString::fromStdString(fields_.TimeoutText));
}

void CPageWMMDlg::ApplyStates() {
  const bool wmm = fields_.WmmEnable == 1;
  wmmStatus_->setText(UiText(wmm ? IDS_ENABLED : IDS_DISABLED));
  powerSave_->setEnabled(wmm);
  dls_->setEnabled(wmm);
  for (QCheckBox* box : categories_) box->setEnabled(wmm && fields_.PsEnable == 1);
  SetDlsControlsEnabled(wmm && fields_.DlsEnable == 1);
  if (!wmm) {
    powerSaveStatus_->setText(UiText(IDS_DISABLED));
    dlsStatus_->setText(UiText(IDS_DISABLED));
    return;
  }
  dlsStatus_->setText(UiText(fields_.DlsEnable == 1 ? IDS_ENABLED : IDS_DISABLED));
  ShowPowerSaveStatus();
}

void CPageWMMDlg::ShowPowerSaveStatus() {
  powerSaveStatus_->setText(QString::fromStdString(
      PowerSaveStatusText(fields_.PsEnable == 1, fields_.Ac, LangText(IDS_ENABLED), LangText(IDS_DISABLED))));
}

void CPageWMMDlg::SetDlsControlsEnabled(bool enabled) {
  for (QLineEdit* edit : address_) edit->setEnabled(enabled);
  addressLabel_->setEnabled(enabled);
  timeout_->setEnabled(enabled);
  timeoutLabel_->setEnabled(enabled);
  secondsLabel_->setEnabled(enabled);
  setup_->setEnabled(enabled);
  tearDown_->setEnabled(enabled);
  list_->setEnabled(enabled);
}

void CPageWMMDlg::WriteParam(const AdapterParam& param, int32_t value) {
  const std::string& key = State().Adapter.adapterKeyPath;
  RegistryWriter* registry = Services().registry;
  if (registry != nullptr && !key.empty()) WriteDecimalParam(*registry, key, param, value);
}

void CPageWMMDlg::Reconnect(bool tkipOrCcmpOnly) {
  NativeWifiClient* wifi = Services().wifi;
  if (wifi == nullptr) return;
  const std::optional<RememberedLink> connection = RememberLink(*wifi);
  if (!connection) return;
  if (tkipOrCcmpOnly && !CipherNeedsReassociation(connection->cipherAlgorithm)) return;
  RestartLink(*wifi, *connection, Host().ScanList());
}

QWidget* MakeWmmPage(const PageContext& context, QWidget* parent) {
  return new CPageWMMDlg(context, parent);
}

}  // namespace ov
