#include "profilepages/page_sys_config.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QSlider>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <cstdio>

#include "driver/channel_frequency.h"
#include "driver/oid/bssid_list.h"
#include "nativewifi/station_profile.h"
#include "profiles/profile_keys.h"
#include "profilepages/profile_editor_controls.h"
#include "shell/ui/page_contract.h"
#include "shell/ui/ui_text.h"
#include "widgets/accessibility.h"
#include "widgets/slider_link.h"

namespace ov {
namespace {

constexpr LanguageKey kTxCaptions[kTxPowerCount] = {IDS_AUTO,       IDS_100PERCENT, IDS_75PERCENT,
                                                    IDS_50PERCENT,  IDS_25PERCENT,  IDS_10PERCENT,
                                                    IDS_LOWEST};
constexpr int kTxCommands[kTxPowerCount] = {32881, 32891, 32882, 32883, 32884, 32885, 32886};

std::string BssidText(const MacAddress& mac) {
  char text[13];
  std::snprintf(text, sizeof text, "%02X%02X%02X%02X%02X%02X", mac[0], mac[1], mac[2], mac[3],
                mac[4], mac[5]);
  return text;
}

}  // namespace

CPageSystemConfigDlg::CPageSystemConfigDlg(ChannelInputsSource channelInputs, QWidget* parent)
    : QWidget(parent), channelInputs_(std::move(channelInputs)) {
  setFont(PageFont());
  BuildLayout();
  ShowFields();
}

CPageSystemConfigDlg::~CPageSystemConfigDlg() = default;

void CPageSystemConfigDlg::BuildLayout() {
  MakeLabel(IDS_PROF_PROFILE, QRect(8, 6, 130, 22), this);
  name_ = new QLineEdit(this);
  name_->setGeometry(140, 4, 220, 26);
  name_->setMaxLength(static_cast<int>(kProfileNameMaxLength));
  MakeLabel(IDS_SSID, QRect(380, 6, 90, 22), this);
  ssid_ = new QComboBox(this);
  ssid_->setEditable(true);
  ssid_->setInsertPolicy(QComboBox::NoInsert);
  ssid_->lineEdit()->setMaxLength(static_cast<int>(kSsidMaxLength));
  ssid_->setGeometry(470, 4, 298, 26);

  MakeLabel(IDS_SYS_NETWORKTYPE, QRect(8, 36, 130, 22), this);
  QMenu* menu = nullptr;
  networkType_ = MakeDropDown(QRect(140, 34, 160, 26), &menu, this);
  menu->addAction(UiText(IDS_ADHOC), this, [this] { ChooseNetworkType(false); })->setData(32878);
  menu->addAction(UiText(IDS_INFRA), this, [this] { ChooseNetworkType(true); })->setData(32877);

  channelLabel_ = MakeLabel(IDS_CHANNEL, QRect(320, 36, 70, 22), this);
  channel_ = new QComboBox(this);
  channel_->setGeometry(390, 34, 80, 26);

  MakeLabel(IDS_SYS_TXPOWER, QRect(8, 66, 130, 22), this);
  txPower_ = MakeDropDown(QRect(140, 64, 160, 26), &menu, this);
  for (int code = 0; code < kTxPowerCount; ++code)
    menu->addAction(UiText(kTxCaptions[code]), this, [this, code] { ChooseTxPower(code); })
        ->setData(kTxCommands[code]);

  MakeLabel(IDS_SYS_PREAMBLE, QRect(320, 66, 70, 22), this);
  preamble_ = MakeDropDown(QRect(390, 64, 80, 26), &menu, this);
  menu->addAction(UiText(IDS_SYS_AUTO), this, [this] { ChoosePreamble(kPagePreambleAuto); })
      ->setData(32879);
  menu->addAction(UiText(IDS_SYS_LONG), this, [this] { ChoosePreamble(kPagePreambleLong); })
      ->setData(32880);

  auto* psGroup = new QButtonGroup(this);
  cam_ = new QRadioButton(UiText(IDS_SYS_CAM), this);
  cam_->setGeometry(490, 36, 278, 24);
  psm_ = new QRadioButton(UiText(IDS_SYS_PSM), this);
  psm_->setGeometry(490, 64, 278, 24);
  psGroup->addButton(cam_, 0);
  psGroup->addButton(psm_, 1);

  useRts_ = new QCheckBox(UiText(IDS_SYS_CHECK_RTS), this);
  useRts_->setGeometry(8, 96, 220, 24);
  rts_ = new SliderLink(this);
  rts_->setRange(kRtsMin, kRtsMax);
  rts_->setSteps(kThresholdLineStep, kThresholdPageStep);
  rts_->setGeometry(230, 96, 300, 24);
  useFrag_ = new QCheckBox(UiText(IDS_SYS_CHECK_FRAG), this);
  useFrag_->setGeometry(8, 124, 220, 24);
  frag_ = new SliderLink(this);
  frag_->setRange(kFragMin, kFragMax);
  frag_->setSteps(kThresholdLineStep, kThresholdPageStep);
  frag_->setGeometry(230, 124, 300, 24);
  // The check box before each pair says what the threshold is; a screen reader takes it as the
  // pair's name.
  for (auto [box, link] : {std::pair{useRts_, rts_}, std::pair{useFrag_, frag_}}) {
    link->slider()->setAccessibleName(WithoutMnemonic(box->text()));
    link->edit()->setAccessibleName(WithoutMnemonic(box->text()));
  }
  for (QCheckBox* box : {useRts_, useFrag_})
    connect(box, &QCheckBox::clicked, this, [this] {
      ReadControls();
      // Clearing a box puts its threshold back at the value that means "off".
      if (!fields_.useRts) fields_.rtsThreshold = kRtsMax;
      if (!fields_.useFrag) fields_.fragThreshold = kFragMax;
      ShowFields();
    });

  diagnostic_ = new QCheckBox(UiText(IDS_PROF_DIAGNOSTIC_CAP), this);
  diagnostic_->setGeometry(8, 150, 500, 22);
  diagnosticSsid_ = new QLineEdit(this);
  diagnosticSsid_->setVisible(false);
}

void CPageSystemConfigDlg::FillSsids(std::span<const uint8_t> scanList) {
  ssid_->clear();
  for (std::span<const uint8_t> bytes : BssidListEntries(scanList)) {
    NDIS_WLAN_BSSID_EX entry;
    if (!DecodeNdisWlanBssidEx(bytes, entry)) continue;
    ssid_->addItem(QString::fromStdString(std::string(NdisSsidText(entry.Ssid))),
                   QString::fromStdString(BssidText(entry.MacAddress)));
  }
  ssid_->setCurrentIndex(-1);
  ssid_->setEditText(QString());
}

void CPageSystemConfigDlg::ReadControls() {
  fields_.profileName = name_->text().toStdString();
  fields_.ssid = ssid_->currentText().toStdString();
  fields_.psMode = psm_->isChecked() ? 1 : 0;
  fields_.channel = channel_->currentText().toStdString();
  fields_.useRts = useRts_->isChecked();
  fields_.rtsThreshold = rts_->value();
  fields_.useFrag = useFrag_->isChecked();
  fields_.fragThreshold = frag_->value();
  fields_.useDiagnostic = diagnostic_->isChecked();
  fields_.diagnosticSsid = diagnosticSsid_->text().toStdString();
}

void CPageSystemConfigDlg::EnableThresholds() {
  rts_->setEnabled(fields_.useRts);
  frag_->setEnabled(fields_.useFrag);
}

void CPageSystemConfigDlg::ShowFields() {
  const SysConfigFields& f = fields_;
  name_->setText(QString::fromStdString(f.profileName));
  if (ssid_->currentText().toStdString() != f.ssid) ssid_->setEditText(QString::fromStdString(f.ssid));
  const bool infrastructure = f.networkType != 0;
  networkType_->setText(UiText(infrastructure ? IDS_INFRA : IDS_ADHOC));
  channelLabel_->setVisible(!infrastructure);
  channel_->setVisible(!infrastructure);
  cam_->setEnabled(infrastructure);
  psm_->setEnabled(infrastructure);
  (f.psMode ? psm_ : cam_)->setChecked(true);
  txPower_->setText(UiText(kTxCaptions[std::clamp(f.txPower, 0, kTxPowerCount - 1)]));
  preamble_->setText(UiText(f.preamble == kPagePreambleLong ? IDS_SYS_LONG : IDS_SYS_AUTO));
  preamble_->setEnabled(!infrastructure);
  useRts_->setChecked(f.useRts);
  rts_->setValue(f.rtsThreshold);
  useFrag_->setChecked(f.useFrag);
  frag_->setValue(f.fragThreshold);
  EnableThresholds();
  diagnostic_->setChecked(f.useDiagnostic);
  diagnosticSsid_->setText(QString::fromStdString(f.diagnosticSsid));
}

void CPageSystemConfigDlg::SelectSsid(const std::string& ssid, bool addWhenMissing) {
  const int found = ssid_->findText(QString::fromStdString(ssid), Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (found >= 0) {
    ssid_->setCurrentIndex(found);
  } else if (addWhenMissing && !ssid.empty()) {
    ssid_->addItem(QString::fromStdString(ssid));
    ssid_->setCurrentIndex(ssid_->count() - 1);
  } else {
    ssid_->setEditText(QString::fromStdString(ssid));
  }
}

void CPageSystemConfigDlg::PrepareNewProfile(const std::string& name, int psMode,
                                             uint32_t adhocWirelessMode) {
  fields_ = SysConfigFields{};
  fields_.profileName = name;
  fields_.psMode = psMode;
  fields_.adhocWirelessMode = adhocWirelessMode;
  ShowFields();
  ChooseNetworkType(true);
  ChooseTxPower(kTxAuto);
  ChoosePreamble(kPagePreambleAuto);
}

void CPageSystemConfigDlg::PrepareFromSurvey(const std::string& name, const std::string& ssid,
                                             bool infrastructure, uint32_t frequencyKHz,
                                             int psMode, uint32_t adhocWirelessMode) {
  fields_ = SysConfigFields{};
  fields_.profileName = name;
  fields_.psMode = psMode;
  fields_.adhocWirelessMode = adhocWirelessMode;
  ShowFields();
  SelectSsid(ssid, false);
  fields_.ssid = ssid;
  ChooseNetworkType(infrastructure);
  ChooseTxPower(kTxAuto);
  ChoosePreamble(kPagePreambleAuto);
  if (const uint32_t channel = FrequencyToChannel(frequencyKHz); channel != 0) {
    fields_.channel = std::to_string(channel);
    RebuildChannelList();
  }
}

void CPageSystemConfigDlg::SetAdhocWirelessMode(uint32_t mode) { fields_.adhocWirelessMode = mode; }

void CPageSystemConfigDlg::PrepareForEdit(uint32_t adhocWirelessMode) {
  SelectSsid(fields_.ssid, true);
  fields_.adhocWirelessMode = adhocWirelessMode;
  const int preamble = fields_.preamble;  // the network type forces Auto on infrastructure
  const int txPower = fields_.txPower;
  ChooseNetworkType(fields_.networkType != 0);
  fields_.txPower = txPower;
  fields_.preamble = preamble;
  ShowFields();
  RebuildChannelList();
}

void CPageSystemConfigDlg::SetFields(const SysConfigFields& fields) {
  fields_ = fields;
  ShowFields();
}

const SysConfigFields& CPageSystemConfigDlg::Fields() {
  ReadControls();
  return fields_;
}

void CPageSystemConfigDlg::ChooseNetworkType(bool infrastructure) {
  ReadControls();
  fields_.networkType = infrastructure ? 1 : 0;
  if (infrastructure) fields_.preamble = kPagePreambleAuto;
  ShowFields();
  if (!infrastructure) RebuildChannelList();
  emit networkTypeChanged(infrastructure);
}

void CPageSystemConfigDlg::ChooseTxPower(int code) {
  ReadControls();
  fields_.txPower = std::clamp(code, 0, kTxPowerCount - 1);
  ShowFields();
}

void CPageSystemConfigDlg::ChoosePreamble(int pagePreamble) {
  ReadControls();
  fields_.preamble = pagePreamble == kPagePreambleLong ? kPagePreambleLong : kPagePreambleAuto;
  ShowFields();
}

void CPageSystemConfigDlg::RebuildChannelList() {
  ChannelListInputs in = channelInputs_ ? channelInputs_() : ChannelListInputs{};
  in.infrastructure = fields_.networkType != 0;
  in.adhoc = !in.infrastructure;
  in.adhocWirelessMode = fields_.adhocWirelessMode;
  const auto items = ChannelListItems(BuildChannelList(in));
  channel_->clear();
  for (const std::string& item : items) channel_->addItem(QString::fromStdString(item));
  channel_->setCurrentIndex(ChannelItemToSelect(items, fields_.channel));
  fields_.channel = channel_->currentText().toStdString();
}

}  // namespace ov
