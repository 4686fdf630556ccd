#include "radio/page_80211n.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "driver/oid/oid_requests.h"
#include "driver/params/adapter_params.h"
#include "radio/block_ack_panels.h"
#include "radio/block_ack_rules.h"
#include "radio/text_rows_list.h"
#include "shell/ui/control_ids.h"
#include "shell/ui/main_window.h"
#include "shell/ui/ui_text.h"

namespace ov {

namespace {

constexpr int kListWidth = 420;

QStringList AgreementHeaders() {
  QStringList headers{QStringLiteral("MAC Address")};
  for (int tid = 0; tid < 8; ++tid) headers << QString::number(tid);
  return headers;
}

std::vector<double> AgreementShares() {
  std::vector<double> shares{14.0 / 30.0};
  for (int tid = 0; tid < 8; ++tid) shares.push_back(1.0 / 15.0);
  return shares;
}

void FillList(TextRowsList& list, const std::vector<BlockAckRow>& rows) {
  list.Rows().rows.clear();
  for (const BlockAckRow& row : rows) list.Rows().rows.emplace_back(row.begin(), row.end());
  list.Reset();
}

}  // namespace

CPage80211nSettingDlg::CPage80211nSettingDlg(const PageContext& context, QWidget* parent)
    : PageWidget(context, parent) {
  setObjectName(ControlName(IDD_PAGE_80211N_DLG));
  auto* top = new QHBoxLayout(this);
  top->setContentsMargins(12, 8, 12, 8);
  top->setSpacing(14);

  // The options.
  auto* options = new QVBoxLayout;
  options->setSpacing(4);
  amsdu_ = new QCheckBox(QStringLiteral("A-MSDU"), this);
  connect(amsdu_, &QCheckBox::clicked, this, &CPage80211nSettingDlg::OnAmsduClick);
  options->addWidget(amsdu_);
  amsduSizeGroup_ = new QButtonGroup(this);
  auto* sizes = new QHBoxLayout;
  sizes->setContentsMargins(20, 0, 0, 0);
  const char* sizeTexts[2] = {"Max: 3839", "Max: 7935"};
  for (int i = 0; i < 2; ++i) {
    amsduSize_[i] = new QRadioButton(QString::fromLatin1(sizeTexts[i]), this);
    amsduSizeGroup_->addButton(amsduSize_[i], i);
    sizes->addWidget(amsduSize_[i]);
  }
  // The larger size is in the layout but not offered.
  amsduSize_[1]->hide();
  sizes->addStretch();
  options->addLayout(sizes);

  auto* smpsBox = new QGroupBox(QStringLiteral("Spatial Multiplexing Power Save"), this);
  auto* smpsLayout = new QVBoxLayout(smpsBox);
  smpsLayout->setContentsMargins(8, 4, 8, 4);
  smpsLayout->setSpacing(2);
  smpsGroup_ = new QButtonGroup(this);
  const char* smpsTexts[3] = {"SM enable", "Static SMPS", "Dynamic SMPS"};
  for (int i = 0; i < 3; ++i) {
    smps_[i] = new QRadioButton(QString::fromLatin1(smpsTexts[i]), smpsBox);
    smpsGroup_->addButton(smps_[i], i);
    smpsLayout->addWidget(smps_[i]);
  }
  options->addWidget(smpsBox);

  aggregation_ = new QCheckBox(QStringLiteral("MPDU Aggregation"), this);
  connect(aggregation_, &QCheckBox::clicked, this, &CPage80211nSettingDlg::OnAggregationClick);
  options->addWidget(aggregation_);
  auto* mode = new QHBoxLayout;
  mode->setContentsMargins(20, 0, 0, 0);
  manual_ = new QRadioButton(UiText(IDS_BLOCKACK_MANUAL), this);
  auto_ = new QRadioButton(UiText(IDS_BLOCKACK_AUTO), this);
  auto* modeGroup = new QButtonGroup(this);
  modeGroup->addButton(manual_, 0);
  modeGroup->addButton(auto_, 1);
  // Manual and Auto only change the fields: the buttons follow at the next Apply or show.
  connect(modeGroup, &QButtonGroup::idClicked, this, [this] { ReadControls(); });
  mode->addWidget(manual_);
  mode->addWidget(auto_);
  mode->addStretch();
  options->addLayout(mode);
  auto* densityRow = new QHBoxLayout;
  densityRow->setContentsMargins(20, 0, 0, 0);
  densityLabel_ = new QLabel(UiText(IDS_BLOCKACK_DENSITY), this);
  density_ = new QComboBox(this);
  density_->setEditable(true);
  for (int i = 0; i <= kMaxMpduDensity; ++i) density_->addItem(QString::number(i));
  // Typed densities stay within what the registry word can keep.
  density_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-7]")), density_));
  density_->setFixedWidth(56);
  densityRow->addWidget(densityLabel_);
  densityRow->addWidget(density_);
  densityRow->addStretch();
  options->addLayout(densityRow);
  options->addStretch();
  apply_ = new QPushButton(UiText(IDS_APPLY), this);
  apply_->setAutoDefault(false);
  apply_->setFixedWidth(100);
  connect(apply_, &QPushButton::clicked, this, &CPage80211nSettingDlg::Apply);
  options->addWidget(apply_);
  top->addLayout(options);

  // The agreements.
  auto* lists = new QGridLayout;
  lists->setHorizontalSpacing(6);
  lists->setVerticalSpacing(2);
  const auto addSide = [&](int row, LanguageKey title, TextRowsList*& list, QPushButton** plus,
                           QPushButton*& minus) {
    auto* heading = new QHBoxLayout;
    auto* titleLabel = new QLabel(UiText(title), this);
    titleLabel->setStyleSheet(QStringLiteral("font-weight: bold"));
    heading->addWidget(titleLabel);
    heading->addStretch();
    lists->addLayout(heading, row, 0);
    auto* labels = new QHBoxLayout;
    auto* macLabel = new QLabel(UiText(IDS_MAC_ADDR), this);
    macLabel->setFixedWidth(kListWidth * 14 / 30);
    labels->addWidget(macLabel);
    labels->addWidget(new QLabel(QStringLiteral("TID"), this), 0, Qt::AlignHCenter);
    labels->setContentsMargins(0, 0, 0, 0);
    lists->addLayout(labels, row + 1, 0);
    list = new TextRowsList(AgreementHeaders(), AgreementShares(), kListWidth, true, this);
    list->setFixedHeight(96);
    lists->addWidget(list, row + 2, 0);
    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(4);
    if (plus != nullptr) {
      *plus = new QPushButton(QStringLiteral("+"), this);
      (*plus)->setFixedSize(34, 26);
      (*plus)->setAutoDefault(false);
      buttons->addWidget(*plus);
    }
    minus = new QPushButton(QStringLiteral("-"), this);
    minus->setFixedSize(34, 26);
    minus->setAutoDefault(false);
    buttons->addWidget(minus);
    buttons->addStretch();
    lists->addLayout(buttons, row + 2, 1);
  };
  addSide(0, IDS_BLOCKACK_ORIGINATOR, originator_, &originatorPlus_, originatorMinus_);
  addSide(3, IDS_BLOCKACK_RECIPIENT, recipient_, nullptr, recipientMinus_);
  lists->setRowStretch(6, 1);
  top->addLayout(lists);
  top->addStretch();

  connect(originatorPlus_, &QPushButton::clicked, this, &CPage80211nSettingDlg::OnPlus);
  connect(originatorMinus_, &QPushButton::clicked, this, [this] { OnMinus(Side::Originator); });
  connect(recipientMinus_, &QPushButton::clicked, this, [this] { OnMinus(Side::Recipient); });

  WriteControls();
  UpdateEnableStates();
}

void CPage80211nSettingDlg::LoadValues() {
  FillList(*originator_, {});
  FillList(*recipient_, {});
  const std::string& key = State().Adapter.adapterKeyPath;
  if (!key.empty()) {
    if (const std::optional<uint32_t> word = ReadWordParam(key, param::kBaCapability)) {
      DecodeHtSettings(DecodeBaCapability(*word), fields_);
    }
  }
  if (OidRequester* driver = Services().driver) SetHtOptions(*driver, EncodeHtSettings(fields_));
  UpdateEnableStates();
  WriteControls();
}

void CPage80211nSettingDlg::Refresh() {
  OidRequester* driver = Services().driver;
  if (driver == nullptr) return;
  BlockAckTable table;
  uint32_t returned = 0;
  QueryBaTable(*driver, table, returned);
  // A driver that said nothing leaves the rows as they were.
  if (returned == 0) return;
  FillList(*originator_, BlockAckRows(table.Originator, table.OriginatorCount));
  FillList(*recipient_, BlockAckRows(table.Recipient, table.RecipientCount));
}

void CPage80211nSettingDlg::Apply() {
  ReadControls();
  const HtOptions options = EncodeHtSettings(fields_);
  if (OidRequester* driver = Services().driver) SetHtOptions(*driver, options);
  const std::string& key = State().Adapter.adapterKeyPath;
  if (RegistryWriter* registry = Services().registry; registry != nullptr && !key.empty()) {
    WriteWordParam(*registry, key, param::kBaCapability, EncodeBaCapability(options));
  }
  UpdateEnableStates();
}

void CPage80211nSettingDlg::OnAmsduClick() {
  ReadControls();
  UpdateEnableStates();
}

void CPage80211nSettingDlg::OnAggregationClick() {
  ReadControls();
  UpdateEnableStates();
}

void CPage80211nSettingDlg::ReadControls() {
  fields_.AmsduEnable = amsdu_->isChecked() ? 1 : 0;
  fields_.AmsduSize = std::max(0, amsduSizeGroup_->checkedId());
  fields_.SmpsMode = std::max(0, smpsGroup_->checkedId());
  fields_.AggregationEnable = aggregation_->isChecked() ? 1 : 0;
  fields_.AutoBlockAck = auto_->isChecked() ? 1 : 0;
  fields_.MpduDensity = density_->currentText().toStdString();
}

void CPage80211nSettingDlg::WriteControls() {
  amsdu_->setChecked(fields_.AmsduEnable == 1);
  if (fields_.AmsduSize >= 0 && fields_.AmsduSize < 2) amsduSize_[fields_.AmsduSize]->setChecked(true);
  if (fields_.SmpsMode >= 0 && fields_.SmpsMode < 3) smps_[fields_.SmpsMode]->setChecked(true);
  aggregation_->setChecked(fields_.AggregationEnable == 1);
  (fields_.AutoBlockAck == 1 ? auto_ : manual_)->setChecked(true);
  density_->setEditText(QString::fromStdString(fields_.MpduDensity));
}

void CPage80211nSettingDlg::UpdateEnableStates() {
  const HtSettingsEnables enables = HtSettingsEnableStates(fields_);
  manual_->setEnabled(enables.blockAckMode);
  auto_->setEnabled(enables.blockAckMode);
  density_->setEnabled(enables.blockAckMode);
  densityLabel_->setEnabled(enables.blockAckMode);
  originatorPlus_->setEnabled(enables.agreements);
  originatorMinus_->setEnabled(enables.agreements);
  recipientMinus_->setEnabled(enables.agreements);
  amsduSize_[0]->setEnabled(enables.amsduSize);
  amsduSize_[1]->setEnabled(enables.amsduSize);
}

// The panel takes the lower frame, and the window opens it up.
void CPage80211nSettingDlg::OpenPanel(int panel) {
  Window().ShowLowerPanel(panel);
  State().Expanded = false;
  Window().ToggleMoreLess();
}

void CPage80211nSettingDlg::OnPlus() {
  auto* add = dynamic_cast<CAddBlockAckDlg*>(Window().LowerPanel(LOWER_PANEL_ADD_BLOCK_ACK));
  if (add == nullptr) return;
  add->SetOriginator(true);
  OpenPanel(LOWER_PANEL_ADD_BLOCK_ACK);
}

void CPage80211nSettingDlg::OnMinus(Side side) {
  auto* remove = dynamic_cast<CDeleteBlockAckDlg*>(Window().LowerPanel(LOWER_PANEL_DELETE_BLOCK_ACK));
  if (remove == nullptr) return;
  remove->SetOriginator(side == Side::Originator);
  remove->SetSingle(true);
  OpenPanel(LOWER_PANEL_DELETE_BLOCK_ACK);
}

QWidget* Make80211nPage(const PageContext& context, QWidget* parent) {
  return new CPage80211nSettingDlg(context, parent);
}

}  // namespace ov
