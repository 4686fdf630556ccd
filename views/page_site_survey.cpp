#include "views/page_site_survey.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>
#include <functional>

#include "driver/signal_strength.h"
#include "nativewifi/native_wifi_client.h"
#include "driver/params/adapter_params.h"
#include "platform/time/monitor_messages.h"
#include "profilepages/profile_editor_entry.h"
#include "profiles/profile_store.h"
#include "shell/ui/control_ids.h"
#include "shell/ui/main_window.h"
#include "shell/ui/ui_text.h"
#include "views/ap_detail_dlg.h"
#include "views/ap_detail_rules.h"
#include "widgets/signal_bar_delegate.h"
#include "widgets/virtual_list_model.h"

namespace ov {

namespace {

constexpr const char* kIconFiles[] = {"adhoc",      "access_point", "band_a",  "band_b",
                                      "band_g",     "key",          "connected", "grey_arrow",
                                      "wps",        "band_n",       "padlock"};
constexpr int kSignalTextColumn = 9;
constexpr int kSignalBarColumn = 10;

// Runs `action` on every double click in a list, on a row or not.
class DoubleClickFilter final : public QObject {
 public:
  DoubleClickFilter(QObject* parent, std::function<void()> action) : QObject(parent), action_(std::move(action)) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonDblClick) action_();
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> action_;
};

}  // namespace

// The rows as the list asks for them, cell by cell.
class CPageSiteSurveyDlg::SurveyRowSource final : public RowSource {
 public:
  SurveyRowSource(const std::vector<survey::SurveyEntry>& rows, const ShellState& state)
      : rows_(rows), state_(state) {}
  size_t RowCount() const override { return rows_.size(); }
  ListCell Cell(size_t row, int column) const override {
    const survey::SurveyEntry& r = rows_[row];
    ListCell cell;
    if (auto icon = survey::ColumnIcon(r, column)) cell.icon = *icon;
    switch (column) {
      case 1: cell.text = r.ssid; break;
      case 3: cell.text = r.channelText; break;
      case kSignalTextColumn: cell.text = survey::SignalCellText(r.rssi, state_.ShowDbm); break;
      case kSignalBarColumn: {
        const int percent = RssiToPercent(r.rssi);
        cell.percent = percent;
        cell.colourRef = survey::SignalBarColour(percent);
        break;
      }
      default: break;
    }
    return cell;
  }

 private:
  const std::vector<survey::SurveyEntry>& rows_;
  const ShellState& state_;
};

CPageSiteSurveyDlg::CPageSiteSurveyDlg(const PageContext& context, QWidget* parent)
    : PageWidget(context, parent) {
  setObjectName(ControlName(IDD_PAGE_SITE_SURVEY_DLG));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 6, 8, 6);
  layout->addWidget(new QLabel(UiText(IDS_SITESUR_AP_LIST), this));

  source_ = std::make_unique<SurveyRowSource>(rows_, State());
  model_ = new VirtualListModel(*source_, QStringList(survey::kSurveyColumnCount, QString()), this);
  model_->setIconLookup([](int icon) {
    if (icon < 0 || icon >= static_cast<int>(std::size(kIconFiles))) return QIcon();
    return QIcon(QStringLiteral(":/icons/survey/%1.svg").arg(QLatin1String(kIconFiles[icon])));
  });
  list_ = new QTableView(this);
  list_->setModel(model_);
  list_->horizontalHeader()->hide();
  list_->verticalHeader()->hide();
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setShowGrid(false);
  list_->setIconSize(QSize(16, 16));
  list_->verticalHeader()->setDefaultSectionSize(20);
  list_->setItemDelegateForColumn(kSignalBarColumn, new SignalBarDelegate(list_));
  // Icon columns fit a 16-pixel icon; the SSID and the signal bar share what is left, whatever
  // the list's width when it is laid out.
  QHeaderView* columns = list_->horizontalHeader();
  columns->setMinimumSectionSize(8);
  for (int c = 0; c < survey::kSurveyColumnCount; ++c) {
    columns->setSectionResizeMode(c, QHeaderView::Fixed);
    list_->setColumnWidth(c, 22);
  }
  list_->setColumnWidth(3, 40);
  list_->setColumnWidth(kSignalTextColumn, 72);
  columns->setSectionResizeMode(1, QHeaderView::Stretch);
  columns->setSectionResizeMode(kSignalBarColumn, QHeaderView::Stretch);
  list_->setAccessibleName(UiText(IDS_SITESUR_AP_LIST));
  list_->viewport()->installEventFilter(new DoubleClickFilter(list_, [this] { OnListDoubleClick(); }));
  layout->addWidget(list_, 1);

  auto* controls = new QHBoxLayout;
  controls->addWidget(new QLabel(UiText(IDS_SITESUR_SORTBY), this));
  sortGroup_ = new QButtonGroup(this);
  const LanguageKey sortLabels[] = {IDS_SITESUR_SSID, IDS_SITESUR_CHANNEL, IDS_SITESUR_SIGNAL};
  for (int key = 0; key < 3; ++key) {
    auto* radio = new QRadioButton(UiText(sortLabels[key]), this);
    sortGroup_->addButton(radio, key);
    controls->addWidget(radio);
  }
  sortGroup_->button(0)->setChecked(true);
  // A new order is taken at the next refresh, as a rebuild.
  connect(sortGroup_, &QButtonGroup::idClicked, this, [this](int) { State().Survey.rescanPending = true; });
  showDbm_ = new QCheckBox(UiText(IDS_SHOW_DBM), this);
  showDbm_->setChecked(State().ShowDbm);
  connect(showDbm_, &QCheckBox::toggled, this, [this](bool on) {
    State().ShowDbm = on;
    if (!rows_.empty()) emit model_->dataChanged(model_->index(0, kSignalTextColumn),
                                                  model_->index(static_cast<int>(rows_.size()) - 1,
                                                                kSignalTextColumn));
  });
  controls->addWidget(showDbm_);
  controls->addStretch(1);
  rescan_ = new QPushButton(UiText(IDS_SITESUR_RESCAN), this);
  rescan_->setAutoDefault(false);
  connect(rescan_, &QPushButton::clicked, this, &CPageSiteSurveyDlg::Rescan);
  controls->addWidget(rescan_);
  addToProfile_ = new QPushButton(UiText(IDS_SITESUR_ADDPRO), this);
  addToProfile_->setAutoDefault(false);
  connect(addToProfile_, &QPushButton::clicked, this, &CPageSiteSurveyDlg::OnAddToProfile);
  controls->addWidget(addToProfile_);
  connect_ = new QPushButton(UiText(IDS_SITESUR_CONNECT), this);
  connect_->setAutoDefault(false);
  connect(connect_, &QPushButton::clicked, this, &CPageSiteSurveyDlg::OnConnect);
  controls->addWidget(connect_);
  layout->addLayout(controls);

  // A row taken (by click or keys) gives the security class the buttons weigh.
  connect(list_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            if (!current.isValid() || static_cast<size_t>(current.row()) >= rows_.size()) return;
            State().Survey.securityClass = survey::ClickedRowSecurityClass(rows_[current.row()]);
            RefreshButtons();
          });

  if (State().RadioOn) Rescan();
  RefreshButtons();
}

CPageSiteSurveyDlg::~CPageSiteSurveyDlg() = default;

survey::SortKey CPageSiteSurveyDlg::Key() const {
  return static_cast<survey::SortKey>(std::max(0, sortGroup_->checkedId()));
}

void CPageSiteSurveyDlg::Rescan() {
  State().Survey.rescanPending = true;
  Host().QueueScan();
  RefreshButtons();
}

void CPageSiteSurveyDlg::RebuildList() {
  std::span<uint8_t> list = Host().ScanList();
  if (!list.empty()) survey::SortScanList(list, Key());
  rows_ = State().RadioOn ? survey::BuildSurveyRows(list) : std::vector<survey::SurveyEntry>{};
  MarkConnectedRow();
  model_->Reset();
}

void CPageSiteSurveyDlg::MarkConnectedRow() {
  for (survey::SurveyEntry& row : rows_) row.connected = 0;
  NativeWifiClient* wifi = Services().wifi;
  if (!wifi || !State().RadioOn || wifi->QueryInterfaceConnected() != true) return;
  survey::CurrentLink link;
  if (!wifi->GetCurrentBssid(link.bssid)) return;
  NDIS_802_11_SSID ssid;
  if (wifi->GetCurrentSsid(ssid)) link.ssid = std::string(NdisSsidText(ssid));
  uint32_t channel = 0;
  if (wifi->GetChannel(channel)) link.channel = channel;
  // Infrastructure or any type, and a failed query, count as infrastructure.
  uint32_t bssType = 0;
  link.infrastructure = !wifi->GetBssType(bssType) || bssType != wlan::dot11_BSS_type_independent;
  if (auto row = survey::FindConnectedRow(rows_, link)) rows_[*row].connected = 1;
}

void CPageSiteSurveyDlg::Refresh() {
  if (State().Survey.rescanPending) {
    if (Host().ScanInProgress()) return;
    RebuildList();
    State().Survey.rescanPending = false;
  } else {
    MarkConnectedRow();
    if (connectAwaited_ && Services().wifi && Services().wifi->QueryInterfaceConnected() == true) {
      connectAwaited_ = false;
    }
    if (!rows_.empty()) emit model_->dataChanged(model_->index(0, 0), model_->index(static_cast<int>(rows_.size()) - 1, 0));
  }
  if (!State().RadioOn && !rows_.empty()) {
    rows_.clear();
    model_->Reset();
  }
  RefreshButtons();
}

void CPageSiteSurveyDlg::RefreshButtons() {
  const bool service = Host().WirelessServiceAvailable();
  const bool usable = service && State().RadioOn && !State().Survey.rescanPending;
  rescan_->setEnabled(usable);
  showDbm_->setEnabled(usable);
  for (QAbstractButton* radio : sortGroup_->buttons()) radio->setEnabled(usable);

  const MainWindowHost::ConnectPolicy policy = Host().SurveyConnectPolicy();
  survey::ConnectButtonInputs in;
  in.serviceAvailable = service;
  in.rescanPending = State().Survey.rescanPending;
  in.radioOn = State().RadioOn;
  in.hasRows = !rows_.empty();
  in.wpaReady = policy.wpaReady;
  in.wapiSupported = policy.wapiSupported;
  in.isAdmin = State().Adapter.isAdmin;
  in.standardUserMayManageProfiles = policy.standardUserMayManageProfiles;
  in.securityClass = State().Survey.securityClass;
  const survey::ConnectButtonStates states = survey::ConnectButtons(in);
  connect_->setEnabled(states.connect);
  addToProfile_->setEnabled(states.addToProfile);
}

std::optional<size_t> CPageSiteSurveyDlg::SelectedRow() const {
  const QModelIndexList selected = list_->selectionModel()->selectedRows();
  if (selected.isEmpty()) return std::nullopt;
  const int row = selected.front().row();
  if (row < 0 || static_cast<size_t>(row) >= rows_.size()) return std::nullopt;
  return static_cast<size_t>(row);
}

bool CPageSiteSurveyDlg::ChooseSelected() {
  const std::optional<size_t> row = SelectedRow();
  if (!row) {
    ShowPageMessage(UiText(IDS_NOSELECTEDITEM));
    return false;
  }
  chosen_ = survey::ChooseNetwork(Host().ScanList(), rows_[*row]);
  if (!chosen_) {
    // The list was replaced under the rows and no longer has this network.
    ShowPageMessage(UiText(IDS_NOSELECTEDITEM));
    return false;
  }
  return true;
}

void CPageSiteSurveyDlg::ExpandWindow() {
  if (!State().Expanded) Window().ToggleMoreLess();
}

void CPageSiteSurveyDlg::OnConnect() {
  State().Survey.ClearConnectMarks();
  if (!SelectedRow()) {
    ShowPageMessage(UiText(IDS_NOSELECTEDITEM));
    return;
  }
  RefreshButtons();
  if (!connect_->isEnabled()) return;
  if (!ChooseSelected()) return;
  State().Survey.securityClass = chosen_->securityClass;
  switch (survey::RouteConnect(*chosen_, Host().SurveyConnectPolicy().wpaReady)) {
    case survey::ConnectRoute::Nothing:
      return;
    case survey::ConnectRoute::HiddenSsidPrompt:
      State().Survey.hiddenSsidInUse = true;
      Window().ShowLowerPanel(LOWER_PANEL_HIDDEN_SSID);
      ExpandWindow();
      return;
    case survey::ConnectRoute::SecurityEditor:
      OpenSecurityEditor(chosen_->entry);
      return;
    case survey::ConnectRoute::ConnectNow:
      ConnectDirectly();
      return;
  }
}

void CPageSiteSurveyDlg::OpenSecurityEditor(std::span<const uint8_t> entry) {
  if (!OpenSecurityEditorForConnect(Window(), entry)) {
    // Nothing connects without the settings only the editor asks for.
    ShowPageMessage(UiText(IDS_SITESUR_NO_SECURITY_EDITOR));
    return;
  }
  ExpandWindow();
}

void CPageSiteSurveyDlg::ContinueWithHiddenSsid(const std::string& ssid) {
  if (!chosen_) return;
  hiddenSsid_ = ssid;
  State().Survey.hiddenSsidInUse = true;
  if (survey::RouteAfterHiddenSsid(*chosen_) == survey::ConnectRoute::SecurityEditor) {
    const std::vector<uint8_t> named = survey::EntryWithSsid(*chosen_, ssid);
    if (!OpenSecurityEditorForConnect(Window(), named)) {
      Window().ShowLowerPanel(LOWER_PANEL_LINK_STATUS);
      ShowPageMessage(UiText(IDS_SITESUR_NO_SECURITY_EDITOR));
      return;
    }
    ExpandWindow();
    return;
  }
  ConnectDirectly();
  Window().ShowLowerPanel(LOWER_PANEL_LINK_STATUS);
}

void CPageSiteSurveyDlg::CancelHiddenSsid() {
  State().Survey.hiddenSsidInUse = false;
  Window().ShowLowerPanel(LOWER_PANEL_LINK_STATUS);
}

void CPageSiteSurveyDlg::ConnectDirectly() {
  if (!chosen_) return;
  std::optional<std::string> hidden;
  if (State().Survey.hiddenSsidInUse) hidden = hiddenSsid_;
  const std::string& key = State().Adapter.adapterKeyPath;
  const int32_t psMode = key.empty() ? 0 : ReadDecimalParam(key, param::kPsMode).value_or(0);
  auto record = std::make_unique<StationProfile>(
      survey::BuildDirectConnectProfile(*chosen_, hidden, psMode));
  if (Services().store) Services().store->ResetActiveConfig();
  connectAwaited_ = true;
  const bool appliedNow = Host().ApplyStationProfile(std::move(record));
  // A document the service refused is known at once; a failed attempt arrives as 0x40A/0x40B.
  if (appliedNow && Services().wifi && Services().wifi->LastProfileRefusal()) ShowConnectFailure();
}

void CPageSiteSurveyDlg::ShowConnectFailure() {
  if (!connectAwaited_) return;
  connectAwaited_ = false;
  NativeWifiClient* wifi = Services().wifi;
  const std::string reason =
      survey::ConnectFailureReason(wifi ? wifi->LastProfileRefusal() : std::nullopt,
                                   wifi ? wifi->LastConnectionFailure() : std::nullopt);
  std::string name;
  if (chosen_) name = State().Survey.hiddenSsidInUse ? hiddenSsid_ : chosen_->ssid;
  ShowPageMessage(UiText(IDS_SITESUR_CONNECT_FAILED) + QStringLiteral("\n\n") +
                  QString::fromStdString(name + ": " + reason));
}

void CPageSiteSurveyDlg::OnAddToProfile() {
  if (!ChooseSelected()) return;
  State().Survey.securityClass = chosen_->securityClass;
  if (!OpenProfileEditorFromSurvey(Window(), chosen_->entry)) {
    ShowPageMessage(UiText(IDS_SITESUR_NO_PROFILE_EDITOR));
    return;
  }
  ExpandWindow();
}

void CPageSiteSurveyDlg::OnListDoubleClick() {
  const QModelIndexList selected = list_->selectionModel()->selectedRows();
  if (selected.isEmpty() || selected.front().row() >= static_cast<int>(rows_.size())) {
    ShowPageMessage(UiText(IDS_NOSELECTEDITEM));
    return;
  }
  const survey::SurveyEntry& row = rows_[static_cast<size_t>(selected.front().row())];
  if (auto entry = ap_detail::FindScanEntry(Host().ScanList(), row.listIndex, row.bssid)) {
    OpenApDetail(Window(), *entry);
  }
}

void CPageSiteSurveyDlg::OnMonitorMessage(const Message& message) {
  if (message.message == WM_MON_CONNECT_FAILED || message.message == WM_MON_ATTEMPT_FAILED) {
    ShowConnectFailure();
    return;
  }
  if (message.message == WM_MON_EAP_CONFIG) {
    NotifySecurityEditorOfEapDialog(Window());
    return;
  }
  if (message.message != WM_MON_SCAN_DONE) return;
  RebuildList();
  State().Survey.rescanPending = false;
  RefreshButtons();
}

QWidget* MakeSiteSurveyPage(const PageContext& context, QWidget* parent) {
  return new CPageSiteSurveyDlg(context, parent);
}

}  // namespace ov
