#include "radio/page_advance.h"

#include "profilepages/profile_editor_entry.h"
#include "widgets/accessibility.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cstdio>

#include "driver/oid/bssid_list.h"
#include "driver/oid/oid_requests.h"
#include "driver/params/adapter_params.h"
#include "driver/params/debug_trace.h"
#include "platform/registry/registry.h"
#include "shell/action_queue.h"
#include "shell/radio_page_host.h"
#include "shell/ui/control_ids.h"
#include "shell/ui/main_window.h"
#include "shell/ui/ui_text.h"

namespace ov {

using namespace param;

namespace {

constexpr uint32_t kAccessDenied = 5;

QButtonGroup* RadioRow(QGridLayout* grid, int row, const char* caption,
                       std::initializer_list<const char*> choices, QWidget* parent) {
  grid->addWidget(new QLabel(QString::fromLatin1(caption), parent), row, 0);
  auto* group = new QButtonGroup(parent);
  int id = 0;
  for (const char* choice : choices) {
    auto* button = new QRadioButton(QString::fromLatin1(choice), parent);
    group->addButton(button, id);
    grid->addWidget(button, row, 1 + id);
    ++id;
  }
  return group;
}

void CheckId(QButtonGroup* group, int id) {
  if (QAbstractButton* button = group->button(id)) button->setChecked(true);
}

int CheckedId(QButtonGroup* group) { return std::max(0, group->checkedId()); }

LanguageKey BgProtectionKey(int32_t choice) {
  return choice == 1 ? IDS_ON : choice == 2 ? IDS_OFF : IDS_AUTO;
}

std::optional<uint32_t> ReadTcpValue(const char* name) {
  return RegReadDword(HKEY_LOCAL_MACHINE, kTcpipParametersPath, name);
}

}  // namespace

CPageAdvanceDlg::CPageAdvanceDlg(const PageContext& context, QWidget* parent)
    : PageWidget(context, parent) {
  setObjectName(ControlName(IDD_PAGE_ADVANCE));
  BuildControls();
  Initialise();
}

RadioPageHost* CPageAdvanceDlg::Radio() const { return Host().RadioPages(); }

WirelessMode CPageAdvanceDlg::Mode() const {
  return Radio() ? Radio()->Radio().plan.wirelessMode : BandToMode(fields_.band, State().Adapter.htCapable);
}
bool CPageAdvanceDlg::Bw40Allowed24() const { return Radio() && Radio()->Bw40Allowed24(); }
bool CPageAdvanceDlg::Bw40Allowed5() const { return Radio() && Radio()->Bw40Allowed5(); }
bool CPageAdvanceDlg::RegionChangeable24() const {
  return Radio() && Radio()->Radio().plan.region.regionChangeable24;
}
bool CPageAdvanceDlg::RegionChangeable5() const {
  return Radio() && Radio()->Radio().plan.region.regionChangeable5;
}
bool CPageAdvanceDlg::HtSettingOn() const { return Radio() && Radio()->ProgramSettingsNow().htSetting; }

void CPageAdvanceDlg::BuildControls() {
  // Options on the left, the 802.11n panel on the right, the two region lists across the
  // bottom (the 5 GHz entries are long).
  auto* page = new QVBoxLayout(this);
  page->setContentsMargins(16, 8, 16, 6);
  page->setSpacing(4);
  auto* columns = new QHBoxLayout;
  page->addLayout(columns, 1);
  auto* left = new QGridLayout;
  left->setVerticalSpacing(3);
  columns->addLayout(left, 1);

  int row = 0;
  bandLabel_ = new QLabel(UiText(IDS_WIRELESS_MODE), this);
  band_ = new QComboBox(this);
  left->addWidget(bandLabel_, row, 0);
  left->addWidget(band_, row++, 1, 1, 2);

  bgLabel_ = new QLabel(UiText(IDS_BGPROTECTION), this);
  bgButton_ = new QPushButton(this);
  bgButton_->setAutoDefault(false);
  bgMenu_ = new QMenu(this);
  for (int32_t choice = 0; choice <= 2; ++choice) {
    bgMenu_->addAction(UiText(BgProtectionKey(choice)), this,
                       [this, choice] { ChooseBgProtection(choice); });
  }
  connect(bgButton_, &QPushButton::clicked, this,
          [this] { bgMenu_->popup(bgButton_->mapToGlobal(QPoint(0, bgButton_->height()))); });
  left->addWidget(bgLabel_, row, 0);
  left->addWidget(bgButton_, row++, 1, 1, 2);

  txRateLabel_ = new QLabel(UiText(IDS_TXRATE), this);
  txRate_ = new QComboBox(this);
  left->addWidget(txRateLabel_, row, 0);
  left->addWidget(txRate_, row++, 1, 1, 2);

  txBurst_ = new QCheckBox(UiText(IDS_ENABLE_TX_BURST), this);
  left->addWidget(txBurst_, row++, 0, 1, 3);
  tcpWindow_ = new QCheckBox(UiText(IDS_ENABLE_TCP_WINDOW), this);
  left->addWidget(tcpWindow_, row++, 0, 1, 3);

  fastRoaming_ = new QCheckBox(UiText(IDS_FAST_ROAMING), this);
  threshold_ = new QLineEdit(this);
  threshold_->setValidator(new QIntValidator(-999, 999, threshold_));
  threshold_->setMaximumWidth(60);
  // Its label is the check box before it, which a screen reader does not take as its name.
  threshold_->setAccessibleName(WithoutMnemonic(UiText(IDS_FAST_ROAMING)));
  dbmLabel_ = new QLabel(UiText(IDS_FAST_ROAMING_DBM), this);
  left->addWidget(fastRoaming_, row, 0);
  left->addWidget(threshold_, row, 1);
  left->addWidget(dbmLabel_, row++, 2);
  connect(fastRoaming_, &QCheckBox::clicked, this, [this] { OnFastRoamingClick(); });
  connect(threshold_, &QLineEdit::textEdited, this, &CPageAdvanceDlg::OnThresholdEdit);

  showAuth_ = new QCheckBox(UiText(IDS_SHOW_AUTH_STATUS), this);
  left->addWidget(showAuth_, row++, 0, 1, 3);

  regionGroup_ = new QGroupBox(UiText(IDS_COUNTRY_REGION), this);
  auto* regions = new QGridLayout(regionGroup_);
  regions->setContentsMargins(8, 4, 8, 4);
  regions->setVerticalSpacing(2);
  regionBgLabel_ = new QLabel(UiText(IDS_STATIC_COUNTRY_REGION_11BG), regionGroup_);
  regionBg_ = new QComboBox(regionGroup_);
  regionALabel_ = new QLabel(UiText(IDS_STATIC_COUNTRY_REGION_11A), regionGroup_);
  regionA_ = new QComboBox(regionGroup_);
  for (QComboBox* list : {regionBg_, regionA_}) {
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    list->setMinimumContentsLength(20);
  }
  regions->addWidget(regionBgLabel_, 0, 0);
  regions->addWidget(regionBg_, 0, 1);
  regions->addWidget(regionALabel_, 1, 0);
  regions->addWidget(regionA_, 1, 1);
  regions->setColumnStretch(1, 1);
  left->setRowStretch(row, 1);
  left->setColumnStretch(1, 1);

  // The 802.11n panel keeps the layout's own texts.
  auto* right = new QVBoxLayout;
  columns->addLayout(right, 1);
  htPanel_ = new QGroupBox(QStringLiteral("HT Physical Mode"), this);
  auto* ht = new QGridLayout(htPanel_);
  ht->setVerticalSpacing(2);
  htMode_ = RadioRow(ht, 0, "HT Mode >>", {"MM", "GF", "11b", "11g"}, htPanel_);
  bw_ = RadioRow(ht, 1, "BW >>", {"20", "Auto"}, htPanel_);
  gi_ = RadioRow(ht, 2, "GI >>", {"long", "Auto"}, htPanel_);
  stbc_ = RadioRow(ht, 3, "STBC >>", {"None", "Auto"}, htPanel_);
  ht->addWidget(new QLabel(QStringLiteral("MCS >>"), htPanel_), 4, 0);
  mcs_ = new QComboBox(htPanel_);
  ht->addWidget(mcs_, 4, 1, 1, 2);
  // Present in the layout, never shown.
  extRow_ = new QWidget(htPanel_);
  auto* extGrid = new QGridLayout(extRow_);
  extGrid->setContentsMargins(0, 0, 0, 0);
  ext_ = RadioRow(extGrid, 0, "Ext Channel >>", {"None", "Above", "Below"}, extRow_);
  extRow_->hide();
  rateLabel_ = new QLabel(htPanel_);
  ht->addWidget(rateLabel_, 5, 0, 1, 5);
  right->addWidget(htPanel_);
  right->addStretch(1);
  auto* bottom = new QHBoxLayout;
  page->addLayout(bottom);
  bottom->addWidget(regionGroup_, 1);
  apply_ = new QPushButton(UiText(IDS_APPLY), this);
  apply_->setAutoDefault(false);
  bottom->addWidget(apply_, 0, Qt::AlignBottom);

  connect(band_, &QComboBox::activated, this, [this] { OnBandChange(); });
  connect(regionBg_, &QComboBox::activated, this, [this] { OnRegionBgChange(); });
  connect(mcs_, &QComboBox::activated, this, [this] { ReadControls(); RefreshRateLabel(); });
  connect(bw_, &QButtonGroup::idClicked, this, [this] { ReadControls(); RefreshRateLabel(); });
  connect(gi_, &QButtonGroup::idClicked, this, [this] { ReadControls(); RefreshRateLabel(); });
  connect(htMode_, &QButtonGroup::idClicked, this, [this] { ReadControls(); });
  connect(stbc_, &QButtonGroup::idClicked, this, [this] { ReadControls(); });
  connect(apply_, &QPushButton::clicked, this, &CPageAdvanceDlg::Apply);
}

void CPageAdvanceDlg::Initialise() {
  rates_.Build();
  const AdapterInfo& adapter = State().Adapter;
  if (!adapter.htCapable) htPanel_->hide();

  const bool aBand = Radio() && Radio()->ABandCapable();
  for (Band band : ov::BandList(aBand)) band_->addItem(UiText(BandTextKey(band)), static_cast<int>(band));
  for (const std::string& entry : RegionList24(adapter.chipFamily)) regionBg_->addItem(QString::fromStdString(entry));
  for (const std::string& entry : RegionList5(adapter.chipFamily)) regionA_->addItem(QString::fromStdString(entry));

  if (!RegionChangeable24()) {
    regionBgLabel_->setEnabled(false);
    regionBg_->setEnabled(false);
    if (!RegionChangeable5()) regionGroup_->setEnabled(false);
  }
  if (!RegionChangeable5()) {
    regionALabel_->setEnabled(false);
    regionA_->setEnabled(false);
  }
  if (!aBand) {
    regionALabel_->hide();
    regionA_->hide();
  }
  // The host's TCP parameters exist from the seventh version code on; the code here is 11.

  LoadPage();
  if (!RegionChangeable24() && fields_.regionBg > kRegionBgMax) {
    regionBg_->addItem(QString::number(fields_.regionBg));
  }
  mcs_->addItem(UiText(IDS_AUTO));
  for (const std::string& number : McsNumbers()) mcs_->addItem(QString::fromStdString(number));

  WriteControls();
  OnBandChange();
  WriteControls();

  if (Radio()) {
    AdvancePageMemory& memory = Radio()->AdvanceMemory();
    memory.indicesKnown = true;
    memory.region24 = regionBg_->currentIndex();
    memory.region5 = regionA_->currentIndex();
    memory.band = band_->currentIndex();
  }
}

void CPageAdvanceDlg::LoadValues() {
  LoadPage();
  WriteControls();
  ApplyRegionRows(BandToMode(fields_.band, State().Adapter.htCapable));
}

void CPageAdvanceDlg::Refresh() {
  const WirelessMode mode = BandToMode(fields_.band, State().Adapter.htCapable);
  if (IsHtWirelessMode(mode)) ApplyVisibility(HtSettingOn(), mode);
}

void CPageAdvanceDlg::LoadPage() {
  const AdapterInfo& adapter = State().Adapter;
  fields_.tcpWindow = ReadTcpValue(kTcpWindowValueNames[0]).has_value();

  const std::string& key = adapter.adapterKeyPath;
  HKEY opened = nullptr;
  if (key.empty() || RegOpenKeyEx(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &opened) != 0) {
    DebugTrace("RegOpenKeyEx '%s' failed\n", key.c_str());
    return;
  }
  RegCloseKey(opened);
  const bool ht = adapter.htCapable;
  const bool aBand = Radio() && Radio()->ABandCapable();

  if (const auto mode = ReadDecimalParam(key, kWirelessMode)) {
    fields_.band = ModeToBand(*mode, ht);
  }
  fields_.band = ModeToBand(NormaliseWirelessMode(BandToMode(fields_.band, ht), aBand, ht), ht);
  const WirelessMode mode = BandToMode(fields_.band, ht);
  if (Radio()) Radio()->Radio().plan.wirelessMode = mode;
  ApplyRegionRows(mode);

  if (ht) {
    if (const auto word = ReadTransmitSetting(key)) {
      fields_.ht = HtFieldsFromTransmitSetting(*word, mode, Bw40Allowed24(), Bw40Allowed5());
      if (Radio()) Radio()->Radio().transmitSetting = *word;
    }
  }
  if (const auto burst = ReadDecimalParam(key, kTxBurst)) fields_.txBurst = *burst != 0;
  if (const auto bg = ReadDecimalParam(key, kBgProtection)) fields_.bgProtection = *bg;

  const uint32_t word = Radio() ? Radio()->Radio().plan.region.regionWord : 0;
  if (RegionChangeable24()) {
    if (const auto region = ReadDecimalParam(key, kCountryRegion)) fields_.regionBg = *region & 0x7F;
  } else {
    fields_.regionBg = static_cast<int32_t>(word & 0x7F);
  }
  if (RegionChangeable5()) {
    if (const auto region = ReadDecimalParam(key, kCountryRegionABand)) fields_.regionA = *region & 0x7F;
  } else {
    fields_.regionA = static_cast<int32_t>((word >> 8) & 0x7F);
  }
  if (const auto rate = ReadDecimalParam(key, kTransRate)) fields_.txRateIndex = std::max(0, *rate);
  fields_.showAuthStatus = ReadDecimalParam(key, kShowAuthStatus).value_or(0) != 0;
  if (Radio()) Radio()->AdvanceMemory().showAuthStatus = fields_.showAuthStatus;

  if (const auto ccx = ReadWordParam(key, kCcx2Control)) {
    ccxWord_ = *ccx;
    const Roaming roaming = DecodeRoaming(*ccx);
    fields_.fastRoaming = roaming.fastRoaming;
    fields_.roamThreshold = roaming.threshold;
  }
}

void CPageAdvanceDlg::ReadControls() {
  if (writingControls_) return;
  if (band_->currentIndex() >= 0) fields_.band = static_cast<Band>(band_->currentData().toInt());
  fields_.txRateIndex = std::max(0, txRate_->currentIndex());
  fields_.txBurst = txBurst_->isChecked();
  fields_.tcpWindow = tcpWindow_->isChecked();
  fields_.fastRoaming = fastRoaming_->isChecked();
  fields_.roamThreshold = threshold_->text().toInt();
  fields_.showAuthStatus = showAuth_->isChecked();
  if (regionBg_->currentIndex() >= 0) {
    // The extra entry of a fixed code past the named list holds the code itself.
    fields_.regionBg = regionBg_->currentIndex() > kRegionBgMax ? regionBg_->currentText().toInt()
                                                                : regionBg_->currentIndex();
  }
  if (regionA_->currentIndex() >= 0) fields_.regionA = regionA_->currentIndex();
  fields_.ht.htMode = CheckedId(htMode_);
  fields_.ht.bw = CheckedId(bw_);
  fields_.ht.gi = CheckedId(gi_);
  fields_.ht.stbc = CheckedId(stbc_);
  fields_.ht.extChannel = CheckedId(ext_);
  if (mcs_->currentIndex() >= 0) {
    fields_.ht.mcs = McsFromText(mcs_->currentText().toStdString(), LangText(IDS_AUTO));
  }
}

void CPageAdvanceDlg::WriteControls() {
  writingControls_ = true;
  const int band = band_->findData(static_cast<int>(fields_.band));
  band_->setCurrentIndex(band >= 0 ? band : 0);
  if (fields_.txRateIndex < txRate_->count()) txRate_->setCurrentIndex(fields_.txRateIndex);
  bgButton_->setText(UiText(BgProtectionKey(fields_.bgProtection)));
  txBurst_->setChecked(fields_.txBurst);
  tcpWindow_->setChecked(fields_.tcpWindow);
  fastRoaming_->setChecked(fields_.fastRoaming);
  threshold_->setText(QString::number(fields_.roamThreshold));
  threshold_->setEnabled(fields_.fastRoaming);
  showAuth_->setChecked(fields_.showAuthStatus);
  if (fields_.regionBg < regionBg_->count() && fields_.regionBg <= kRegionBgMax) {
    regionBg_->setCurrentIndex(fields_.regionBg);
  } else {
    const int extra = regionBg_->findText(QString::number(fields_.regionBg));
    if (extra >= 0) regionBg_->setCurrentIndex(extra);
  }
  if (fields_.regionA < regionA_->count()) regionA_->setCurrentIndex(fields_.regionA);
  CheckId(htMode_, fields_.ht.htMode);
  CheckId(bw_, fields_.ht.bw);
  CheckId(gi_, fields_.ht.gi);
  CheckId(stbc_, fields_.ht.stbc);
  CheckId(ext_, fields_.ht.extChannel);
  if (mcs_->count() > 0) {
    const QString text = fields_.ht.mcs == kMcsAuto ? UiText(IDS_AUTO) : QString::number(fields_.ht.mcs);
    const int index = mcs_->findText(text);
    mcs_->setCurrentIndex(index >= 0 ? index : 0);
    if (index < 0) fields_.ht.mcs = kMcsAuto;
  }
  writingControls_ = false;
}

void CPageAdvanceDlg::ApplyRegionRows(WirelessMode mode) {
  const bool aBand = Radio() && Radio()->ABandCapable();
  const auto show = [](QLabel* label, QComboBox* list, bool shown) {
    label->setVisible(shown);
    list->setVisible(shown);
  };
  switch (RegionRowsFor(mode)) {
    case RegionRows::Only5:
      show(regionALabel_, regionA_, aBand);
      show(regionBgLabel_, regionBg_, false);
      break;
    case RegionRows::Both:
      show(regionALabel_, regionA_, aBand);
      show(regionBgLabel_, regionBg_, true);
      break;
    case RegionRows::Unchanged:
      break;
    case RegionRows::Only24:
      show(regionALabel_, regionA_, false);
      show(regionBgLabel_, regionBg_, true);
      break;
  }
}

void CPageAdvanceDlg::ApplyVisibility(bool panelOn, WirelessMode mode) {
  txRateLabel_->hide();
  txRate_->hide();
  const bool bgHidden = State().Adapter.htCapable && !(Radio() && Radio()->ProgramSettingsNow().bgProtection);
  bgLabel_->setVisible(!bgHidden);
  bgButton_->setVisible(!bgHidden);
  if (!State().Adapter.htCapable) return;  // no 802.11n panel at all
  htPanel_->setVisible(panelOn);
  if (!panelOn) return;
  const bool forbidden = Bw40Forbidden(mode, Bw40Allowed24(), Bw40Allowed5());
  for (QButtonGroup* group : {htMode_, bw_, gi_, stbc_}) {
    for (QAbstractButton* button : group->buttons()) button->setEnabled(true);
  }
  mcs_->setEnabled(true);
  bw_->button(1)->setEnabled(!forbidden);
  if (forbidden && fields_.ht.bw != 0) {
    fields_.ht.bw = 0;
    CheckId(bw_, 0);
    RefreshRateLabel();
  }
}

void CPageAdvanceDlg::OnBandChange() {
  ReadControls();
  txRate_->clear();
  const WirelessMode mode = BandToMode(fields_.band, State().Adapter.htCapable);
  ApplyVisibility(false, mode);
  ApplyRegionRows(mode);
  fields_.txRateIndex = ClampTxRateIndex(mode, fields_.txRateIndex);
  for (LanguageKey key : ov::TxRateList(mode)) txRate_->addItem(UiText(key));
  if (IsHtWirelessMode(mode)) {
    RefreshRateLabel();
    ApplyVisibility(HtSettingOn(), mode);
  }
  WriteControls();
  OnRegionBgChange();
}

void CPageAdvanceDlg::OnRegionBgChange() {
  ReadControls();
  const std::string entry = regionBg_->currentText().toStdString();
  fields_.ht.bw = BandwidthForRegion(entry, Mode(), Bw40Allowed24(), Bw40Allowed5());
  WriteControls();
  RefreshRateLabel();
}

void CPageAdvanceDlg::ChooseBgProtection(int32_t choice) {
  ReadControls();
  fields_.bgProtection = choice;
  bgButton_->setText(UiText(BgProtectionKey(choice)));
}

void CPageAdvanceDlg::RefreshRateLabel() {
  double rate = 0;
  const bool found = rates_.Lookup(fields_.ht.bw, fields_.ht.gi, fields_.ht.mcs, rate);
  rateLabel_->setText(QString::fromStdString(RateLabelText(found ? std::optional(rate) : std::nullopt)));
}

void CPageAdvanceDlg::OnFastRoamingClick() {
  ReadControls();
  if (!fields_.fastRoaming) fields_.roamThreshold = kDefaultRoamThreshold;
  WriteControls();
}

void CPageAdvanceDlg::OnThresholdEdit(const QString& text) {
  if (!text.isEmpty()) return;
  ReadControls();
  fields_.roamThreshold = 0;
  WriteControls();
}

void CPageAdvanceDlg::Apply() {
  ReadControls();
  if (!RoamThresholdValid(fields_.roamThreshold)) {
    RejectInput(UiText(IDS_INVALID_DBM), threshold_);
    return;
  }
  RadioPageHost* radio = Radio();
  const int region24 = regionBg_->currentIndex();
  const int region5 = regionA_->currentIndex();
  const int band = band_->currentIndex();
  const bool changed = radio != nullptr && radio->AdvanceMemory().indicesKnown &&
                       (region24 != radio->AdvanceMemory().region24 ||
                        region5 != radio->AdvanceMemory().region5 || band != radio->AdvanceMemory().band);

  RememberedConnection remembered;
  RadioConnection* connection = radio ? radio->Connection() : nullptr;
  if (changed) {
    if (connection != nullptr && connection->IsConnected()) {
      remembered.connected = true;
      connection->GetConnectionMode(remembered.connectionMode);
      connection->GetProfileName(remembered.profileName);
      connection->GetBssType(remembered.bssType);
      connection->GetCurrentSsid(remembered.ssid);
      connection->GetAuthAlgorithm(remembered.authAlgorithm);
      connection->GetCipherAlgorithm(remembered.cipherAlgorithm);
      connection->Disconnect();
    }
    if (Services().driver) SetFlushBssList(*Services().driver);
  }

  const bool saved = SavePage();
  if (saved) PushOids();

  if (changed) {
    if (remembered.connected) {
      Reconnect(remembered);
    } else if (radio) {
      radio->ApplyActiveConfiguration();
    }
  }
  // The site survey's Rescan.
  State().Survey.rescanPending = true;
  Host().QueueScan();
  // An open profile editor offers the channels of the new band and regions.
  NotifyProfileEditorOfRadioSettings(Window());
  if (radio) {
    radio->AdvanceMemory().region24 = region24;
    radio->AdvanceMemory().region5 = region5;
    radio->AdvanceMemory().band = band;
    radio->AdvanceMemory().indicesKnown = true;
  }
  if (!saved) ShowPageMessage(QString::fromLatin1(kNoAdministratorText));
}

void CPageAdvanceDlg::Reconnect(const RememberedConnection& remembered) {
  bool adhocVisible = false;
  if (remembered.bssType == 2) {
    NDIS_802_11_SSID ssid{};
    ssid.SsidLength = static_cast<uint32_t>(std::min(remembered.ssid.size(), ssid.Ssid.size()));
    std::copy_n(remembered.ssid.begin(), ssid.SsidLength, ssid.Ssid.begin());
    adhocVisible = AdhocSsidVisible(Host().ScanList(), ssid);
  }
  const ReconnectRequest request = PlanReconnect(remembered, adhocVisible);
  Radio()->Connection()->Connect(request.mode, request.profileName, request.bssType, request.ssid,
                                 request.adhocJoinOnly);
}

uint32_t CPageAdvanceDlg::CcxWordToSave() const {
  const std::string& key = State().Adapter.adapterKeyPath;
  const uint32_t current = ReadWordParam(key, kCcx2Control).value_or(0);
  return EncodeRoaming(current, Roaming{fields_.fastRoaming, fields_.roamThreshold});
}

void CPageAdvanceDlg::SaveTcpWindow() {
  RegistryWriter* writer = Services().registry;
  if (writer == nullptr) return;
  TcpWindowValues current;
  for (size_t i = 0; i < current.size(); ++i) current[i] = ReadTcpValue(kTcpWindowValueNames[i]);
  const std::string& key = State().Adapter.adapterKeyPath;
  std::optional<TcpWindowValues> backup;
  RegValue stored;
  if (!key.empty() && RegReadValue(HKEY_LOCAL_MACHINE, key, kTcpWindowBackupName, &stored) == 0 &&
      stored.type == REG_BINARY) {
    backup = DecodeTcpWindowBackup(stored.data);
  }
  const TcpWindowChange change = PlanTcpWindowSave(fields_.tcpWindow, current, backup);
  // The record first: values are never changed without it.
  if (change.newBackup && !key.empty()) {
    if (writer->SetValue(HKEY_LOCAL_MACHINE, key, kTcpWindowBackupName, REG_BINARY,
                         EncodeTcpWindowBackup(*change.newBackup)) != 0) {
      DebugTrace("RegSetValueEx TcpWindowBefore failed\n");
      return;
    }
  }
  for (const auto& [name, value] : change.writes) {
    if (writer->SetValue(HKEY_LOCAL_MACHINE, kTcpipParametersPath, name, REG_DWORD,
                         EncodeWordValue(value)) != 0) {
      DebugTrace("RegSetValueEx %s failed\n", name.c_str());
    }
  }
  for (const std::string& name : change.deletes) {
    if (writer->DeleteValue(HKEY_LOCAL_MACHINE, kTcpipParametersPath, name) != 0) {
      DebugTrace("RegDeleteValue %s failed\n", name.c_str());
    }
  }
  if (change.dropBackup && !key.empty()) {
    writer->DeleteValue(HKEY_LOCAL_MACHINE, key, kTcpWindowBackupName);
  }
}

bool CPageAdvanceDlg::SavePage() {
  const AdapterInfo& adapter = State().Adapter;
  const bool ht = adapter.htCapable;
  const bool aBand = Radio() && Radio()->ABandCapable();
  fields_.txRateIndex = std::max(0, txRate_->currentIndex());
  fields_.band = ModeToBand(NormaliseWirelessMode(BandToMode(fields_.band, ht), aBand, ht), ht);
  const WirelessMode mode = BandToMode(fields_.band, ht);
  if (Radio()) Radio()->Radio().plan.wirelessMode = mode;

  SaveTcpWindow();

  const SaveCorrections corrected = CorrectForSave(mode, aBand, fields_.bgProtection, fields_.txRateIndex);
  fields_.bgProtection = corrected.bgProtection;
  fields_.txRateIndex = corrected.txRateIndex;
  ccxWord_ = CcxWordToSave();

  RegistryWriter* writer = Services().registry;
  const std::string& key = adapter.adapterKeyPath;
  HKEY opened = nullptr;
  if (writer == nullptr || key.empty() ||
      RegOpenKeyEx(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &opened) != 0) {
    DebugTrace("RegOpenKeyEx '%s' failed\n", key.c_str());
    return true;
  }
  RegCloseKey(opened);

  const uint32_t first = WriteDecimalParam(*writer, key, kShowAuthStatus, fields_.showAuthStatus ? 1 : 0);
  if (first != 0) fields_.showAuthStatus = false;
  if (Radio()) Radio()->AdvanceMemory().showAuthStatus = fields_.showAuthStatus;
  if (first == kAccessDenied) return false;  // the rest would be refused alike

  WriteDecimalParam(*writer, key, kWirelessMode, mode);
  WriteDecimalParam(*writer, key, kTxBurst, fields_.txBurst ? 1 : 0);
  WriteDecimalParam(*writer, key, kBgProtection, fields_.bgProtection);
  if (RegionChangeable24()) WriteDecimalParam(*writer, key, kCountryRegion, fields_.regionBg);
  if (RegionChangeable5()) WriteDecimalParam(*writer, key, kCountryRegionABand, fields_.regionA);
  if (const auto adhoc = WirelessModeToAdhocRateMode(mode)) {
    WriteDecimalParam(*writer, key, kAdhocOfdm, static_cast<int32_t>(*adhoc));
  }
  WriteDecimalParam(*writer, key, kTransRate, fields_.txRateIndex);
  WriteWordParam(*writer, key, kCcx2Control, ccxWord_);
  if (ht) {
    const uint32_t word = TransmitSettingFromFields(mode, fields_.ht);
    WriteWordParam(*writer, key, kTransmitSetting, word);
    if (Radio()) Radio()->Radio().transmitSetting = word;
  }
  return true;
}

void CPageAdvanceDlg::PushOids() {
  OidRequester* driver = Services().driver;
  if (driver == nullptr) return;
  const WirelessMode mode = BandToMode(fields_.band, State().Adapter.htCapable);
  SetPhyMode(*driver, mode);

  if (State().Adapter.htCapable) {
    HtPhySettings settings;
    settings.PhyMode = static_cast<uint32_t>(mode);
    settings.TransmitNo = kAdvanceTransmitNo;
    settings.HtMode = static_cast<uint8_t>(fields_.ht.htMode);
    settings.MCS = static_cast<uint8_t>(fields_.ht.mcs);
    settings.BW = static_cast<uint8_t>(fields_.ht.bw);
    settings.STBC = static_cast<uint8_t>(fields_.ht.stbc);
    settings.SHORTGI = static_cast<uint8_t>(fields_.ht.gi);
    if (Radio() && Radio()->ProgramSettingsNow().openFile) Radio()->AppendDebugTrace(HtSetOidTraceLine(mode, fields_.ht));
    UpdateHtPhyMode(*driver, settings);
  }

  StaConfig now;
  const SetResult staResult = UpdateStaConfig(
      *driver,
      StaConfigChanges{fields_.txBurst ? 1u : 0u, std::nullopt, static_cast<uint32_t>(fields_.bgProtection),
                       std::nullopt, WirelessModeToAdhocRateMode(mode)},
      &now);
  if (staResult == SetResult::Sent && Radio()) Radio()->Radio().staConfig = now;

  if (RegionChangeable24() || RegionChangeable5()) {
    SetCountryRegion(*driver, static_cast<uint32_t>(fields_.regionBg), static_cast<uint32_t>(fields_.regionA),
                     RegionChangeable24(), RegionChangeable5());
    if (Radio()) Radio()->RunChannelPlan();
  }

  NDIS_802_11_RATES rates{};
  const auto bytes = AdvanceDesiredRates(mode, fields_.txRateIndex, fields_.ht.mcs);
  std::copy(bytes.begin(), bytes.end(), rates.Rates.begin());
  SetDesiredRates(*driver, rates);

  // By SSID (1) unless the current profile names its access point.
  SetCcxControl(*driver, Radio() && Radio()->CurrentProfileUsesBssid() ? 0 : 1, ccxWord_);
}

// The etched line along the top edge.
void CPageAdvanceDlg::paintEvent(QPaintEvent* event) {
  PageWidget::paintEvent(event);
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::Dark));
  painter.drawLine(0, 0, width() - 1, 0);
  painter.setPen(palette().color(QPalette::Light));
  painter.drawLine(0, 1, width() - 1, 1);
}

// Enter and Escape would end the main window's dialog; the page swallows them.
void CPageAdvanceDlg::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
    event->accept();
    return;
  }
  PageWidget::keyPressEvent(event);
}

QWidget* MakeAdvancePage(const PageContext& context, QWidget* parent) {
  return new CPageAdvanceDlg(context, parent);
}

}  // namespace ov
