#include "profilepages/page_profile.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <utility>

#include "nativewifi/native_wifi_client.h"
#include "platform/time/monitor_messages.h"
#include "profilepages/profile_editor_entry.h"
#include "profiles/profile_store.h"
#include "shell/action_queue.h"
#include "shell/ui/control_ids.h"
#include "shell/ui/main_window.h"
#include "shell/ui/ui_text.h"
#include "views/survey_connect.h"
#include "widgets/modal_guard.h"
#include "widgets/virtual_list_model.h"

namespace ov {

namespace {

constexpr int kColumnState = 0;
constexpr int kColumnName = 1;
constexpr int kColumnSsid = 2;
constexpr int kColumnSecurity = 3;
constexpr int kColumnNetworkType = 4;
constexpr int kColumnCount = 5;

}  // namespace

const QIcon& ProfileImage(int image) {
  static const std::array<QIcon, kProfileImageCount> kImages = [] {
    std::array<QIcon, kProfileImageCount> images;
    auto load = [&](int number, const char* file) {
      images[number] = QIcon(QStringLiteral(":/icons/profile/%1.svg").arg(QLatin1String(file)));
    };
    load(kProfileImageAdhoc, "adhoc");
    load(kProfileImageInfrastructure, "infrastructure");
    load(kProfileImageSecured, "secured");
    load(kProfileImageActiveConnected, "active_connected");
    load(kProfileImageActiveNotConnected, "active_not_connected");
    load(kProfileImageWapi, "wapi");
    return images;
  }();
  static const QIcon kNone;
  if (image < 0 || image >= kProfileImageCount) return kNone;
  return kImages[image];
}

namespace {

constexpr const char* kProfFilter = "PROF (*.prof)";

}  // namespace

ProfileFileDialogs DesktopProfileFileDialogs() {
  ProfileFileDialogs dialogs;
  auto run = [](QWidget* parent, QFileDialog::AcceptMode mode) -> std::optional<std::string> {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setNameFilter(QString::fromLatin1(kProfFilter));
    dialog.setDefaultSuffix(QStringLiteral("prof"));
    // The page asks about replacing a file itself.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (RunModal(&dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
      return std::nullopt;
    }
    return dialog.selectedFiles().front().toStdString();
  };
  dialogs.importPath = [run](QWidget* parent) { return run(parent, QFileDialog::AcceptOpen); };
  dialogs.exportPath = [run](QWidget* parent) { return run(parent, QFileDialog::AcceptSave); };
  dialogs.confirmOverwrite = [](const QString& question, QWidget* parent) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("OvUI"), question,
                    QMessageBox::Ok | QMessageBox::Cancel, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Cancel);
    return RunModal(&box) == QMessageBox::Ok;
  };
  return dialogs;
}

// The rows as the list asks for them.
class CPageProfileDlg::ProfileRowSource final : public RowSource {
 public:
  ProfileRowSource(const std::vector<ProfileRow>& rows, const bool& showActiveIcon)
      : rows_(rows), showActiveIcon_(showActiveIcon) {}
  size_t RowCount() const override { return rows_.size(); }
  ListCell Cell(size_t row, int column) const override {
    const ProfileRow& r = rows_[row];
    ListCell cell;
    switch (column) {
      case kColumnState: cell.icon = StateImage(r, showActiveIcon_); break;
      case kColumnName: cell.text = r.Name; break;
      case kColumnSsid: cell.text = r.Ssid; break;
      case kColumnSecurity: cell.icon = SecurityImage(r); break;
      case kColumnNetworkType: cell.icon = NetworkTypeImage(r); break;
      default: break;
    }
    return cell;
  }

 private:
  const std::vector<ProfileRow>& rows_;
  const bool& showActiveIcon_;
};

CPageProfileDlg::CPageProfileDlg(const PageContext& context, QWidget* parent)
    : PageWidget(context, parent), dialogs_(DesktopProfileFileDialogs()) {
  setObjectName(ControlName(IDD_PAGE_PROFILE));
  showActiveIcon_ = Host().ShowActiveProfileIcon();

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(8, 6, 8, 6);
  layout->setSpacing(10);

  auto* left = new QVBoxLayout;
  auto* caption = new QLabel(UiText(IDS_PROFILE_LIST), this);
  caption->setObjectName(ControlName(IDC_PROFILE_LIST_CAPTION));
  left->addWidget(caption);

  source_ = std::make_unique<ProfileRowSource>(rows_, showActiveIcon_);
  model_ = new VirtualListModel(*source_, QStringList{QString(), QStringLiteral("NAME"),
                                                      QStringLiteral("SSID"), QString(), QString()},
                                this);
  model_->setIconLookup([](int image) { return ProfileImage(image); });
  list_ = new QTableView(this);
  list_->setObjectName(ControlName(IDC_PROFILE_LIST));
  list_->setModel(model_);
  list_->verticalHeader()->hide();
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setShowGrid(false);
  list_->setIconSize(QSize(16, 16));
  list_->verticalHeader()->setDefaultSectionSize(20);
  list_->setAccessibleName(UiText(IDS_PROFILE_LIST));
  QHeaderView* columns = list_->horizontalHeader();
  columns->setMinimumSectionSize(8);
  for (int c = 0; c < kColumnCount; ++c) {
    columns->setSectionResizeMode(c, QHeaderView::Fixed);
    list_->setColumnWidth(c, 22);
  }
  // NAME and SSID share what is left, 28 : 56 as the layout has them.
  list_->setColumnWidth(kColumnName, 130);
  columns->setSectionResizeMode(kColumnSsid, QHeaderView::Stretch);
  list_->setMaximumWidth(440);
  left->addWidget(list_, 1);

  auto* buttons = new QHBoxLayout;
  auto makeButton = [&](int id, LanguageKey text, void (CPageProfileDlg::*handler)()) {
    auto* button = new QPushButton(UiText(text), this);
    button->setObjectName(ControlName(id));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, handler);
    buttons->addWidget(button);
    return button;
  };
  add_ = makeButton(IDC_PROF_ADD, IDS_PROF_ADD, &CPageProfileDlg::OnAdd);
  edit_ = makeButton(IDC_PROF_EDIT, IDS_PROF_EDIT, &CPageProfileDlg::OnEdit);
  delete_ = makeButton(IDC_PROF_DEL, IDS_PROF_DEL, &CPageProfileDlg::OnDelete);
  import_ = makeButton(IDC_PROF_IMPORT, IDS_PROF_IMPORT, &CPageProfileDlg::OnImport);
  export_ = makeButton(IDC_PROF_EXPORT, IDS_PROF_EXPORT, &CPageProfileDlg::OnExport);
  apply_ = makeButton(IDC_PROF_ACTIVATE, IDS_PROF_ACTIVATE, &CPageProfileDlg::OnApply);
  left->addLayout(buttons);
  layout->addLayout(left, 1);

  auto* details = new QGridLayout;
  details->setVerticalSpacing(2);
  details->setHorizontalSpacing(6);
  static constexpr std::array<LanguageKey, 11> kLabels = {
      IDS_PROF_PROFILE, IDS_PROF_SSID,   IDS_PROF_NETTYPE,        IDS_PROF_AUTH,
      IDS_PROF_ENCRYP,  IDS_PROF_USE8021X, IDS_PROF_TX_POWER,     IDS_PROF_CHANNEL,
      IDS_PROF_POWER_SAVE_MODE, IDS_PROF_RTS_THRESHOLD, IDS_PROF_FRAG_THRESHOLD};
  for (size_t i = 0; i < kLabels.size(); ++i) {
    auto* label = new QLabel(UiText(kLabels[i]), this);
    auto* value = new QLabel(this);
    value->setObjectName(ControlName(kProfileDetailValueIds[i]));
    value->setTextFormat(Qt::PlainText);
    value->setMinimumWidth(110);
    value->setWordWrap(true);  // long texts ("CAM (Constantly Awake Mode)") wrap, never cut
    details->addWidget(label, static_cast<int>(i), 0);
    details->addWidget(value, static_cast<int>(i), 1);
    detailValues_[i] = value;
  }
  details->setRowStretch(static_cast<int>(kLabels.size()), 1);
  layout->addLayout(details, 1);

  connect(list_, &QTableView::clicked, this, [this](const QModelIndex&) { ShowDetails(); });
  connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this](const QItemSelection&, const QItemSelection&) { ShowDetails(); });

  RefreshList();
  ApplyRights();
  ShowDetailsOfTarget();
}

CPageProfileDlg::~CPageProfileDlg() = default;

ActionQueue* CPageProfileDlg::Queue() const { return Host().ActivationQueue(); }

bool CPageProfileDlg::MayChangeProfiles() const {
  ActionQueue* queue = Queue();
  return ActivationWritesStore(State().Adapter.isAdmin,
                               queue && queue->adapter().allowStandardUserSetProfile);
}

QPushButton* CPageProfileDlg::Button(int controlId) const {
  switch (controlId) {
    case IDC_PROF_ADD: return add_;
    case IDC_PROF_EDIT: return edit_;
    case IDC_PROF_DEL: return delete_;
    case IDC_PROF_ACTIVATE: return apply_;
    case IDC_PROF_IMPORT: return import_;
    case IDC_PROF_EXPORT: return export_;
    default: return nullptr;
  }
}

std::optional<size_t> CPageProfileDlg::SelectedRow() const {
  const QModelIndexList rows = list_->selectionModel()->selectedRows();
  if (rows.isEmpty()) return std::nullopt;
  return static_cast<size_t>(rows.front().row());
}

void CPageProfileDlg::SelectRow(std::optional<size_t> row) {
  const QSignalBlocker quiet(list_->selectionModel());
  if (!row || *row >= rows_.size()) {
    list_->clearSelection();
  } else {
    list_->selectRow(static_cast<int>(*row));
  }
  ShowDetailsOfTarget();
}

// Showing the page or refilling the list shows the row there is one to show; otherwise the
// buttons stay as the list left them, so a click without a selection asks for one.
void CPageProfileDlg::ShowDetailsOfTarget() {
  if (TargetRow(SelectedRow(), rows_.size())) {
    ShowDetails();
  } else {
    ClearDetails();
  }
}

void CPageProfileDlg::LoadValues() {
  showActiveIcon_ = Host().ShowActiveProfileIcon();
  const std::optional<size_t> selected = SelectedRow();
  RefreshList();
  SelectRow(selected);
  ApplyRights();
}

void CPageProfileDlg::SetButtons(bool edit, bool del, bool apply, bool exportEnabled) {
  edit_->setEnabled(edit);
  delete_->setEnabled(del);
  apply_->setEnabled(apply);
  export_->setEnabled(exportEnabled);
}

// A standard user whom the policy does not let change profiles may only apply.
void CPageProfileDlg::ApplyRights() {
  if (MayChangeProfiles()) return;
  for (QPushButton* button : {add_, edit_, delete_, import_, export_}) button->setEnabled(false);
}

void CPageProfileDlg::RefreshList() {
  ActionQueue* queue = Queue();
  const bool wpaReady = queue && queue->adapter().wpaReady;
  rows_.clear();
  if (ProfileStore* store = Services().store) {
    const std::string active = ActiveProfileName(
        *store, MayChangeProfiles(), queue ? queue->activation().SelectedProfileName : std::string());
    if (!active.empty()) currentName_ = active;
    rows_ = ReadProfileRows(*store, wpaReady);
  }
  model_->Reset();
  if (rows_.empty()) {
    SetButtons(false, false, false, false);
  } else {
    if (!FindActiveRow(rows_, currentName_)) currentName_.clear();
    const bool may = MayChangeProfiles() && !eapBusy_;
    SetButtons(may, may, !eapBusy_, may);
  }
  // The active row's image is right at once rather than at the next tick.
  UpdateActiveIcon();
}

void CPageProfileDlg::ClearDetails() {
  for (QLabel* value : detailValues_) value->clear();
}

void CPageProfileDlg::ShowDetails() {
  const std::optional<size_t> row = TargetRow(SelectedRow(), rows_.size());
  ProfileStore* store = Services().store;
  if (!row || !store) {
    ClearDetails();
    SetButtons(false, false, false, false);
    return;
  }
  if (!eapBusy_) SetButtons(true, true, true, true);
  ActionQueue* queue = Queue();
  const std::string active = ActiveProfileName(
      *store, MayChangeProfiles(), queue ? queue->activation().SelectedProfileName : std::string());
  if (!active.empty()) currentName_ = active;

  const ProfileDetails d = ReadProfileDetails(*store, rows_[*row].Name);
  const std::array<const std::string*, 11> values = {
      &d.name,     &d.ssid,    &d.networkType, &d.authentication, &d.encryption,  &d.use8021x,
      &d.txPower,  &d.channel, &d.powerSave,   &d.rtsThreshold,   &d.fragThreshold};
  for (size_t i = 0; i < values.size(); ++i) {
    detailValues_[i]->setText(QString::fromStdString(*values[i]));
  }
  if (!MayChangeProfiles()) {
    edit_->setEnabled(false);
    delete_->setEnabled(false);
    export_->setEnabled(false);
  }
}

void CPageProfileDlg::RedrawStateColumn() {
  if (rows_.empty()) return;
  emit model_->dataChanged(model_->index(0, kColumnState),
                           model_->index(static_cast<int>(rows_.size()) - 1, kColumnState));
}

void CPageProfileDlg::UpdateActiveIcon() {
  if (currentName_.empty() || !showActiveIcon_) return;
  const std::optional<size_t> active = FindActiveRow(rows_, currentName_);
  if (!active) return;
  LinkFacts link;
  if (ActionQueue* queue = Queue()) {
    link.stationProfileInUse = queue->activation().StationProfileInUse;
    link.wpsProfileInUse = queue->wps().WpsProfileInUse;
  }
  if (NativeWifiClient* wifi = Services().wifi; wifi && wifi->IsConnected()) {
    link.connected = true;
    MacAddress bssid{};
    link.bssidNonZero = wifi->GetCurrentBssid(bssid) && bssid != MacAddress{};
    NDIS_802_11_SSID ssid{};
    if (wifi->GetCurrentSsid(ssid)) link.currentSsid = std::string(NdisSsidText(ssid));
  }
  MarkActiveRow(rows_, active, ActiveRowState(rows_[*active], link));
  RedrawStateColumn();
}

std::optional<size_t> CPageProfileDlg::TargetOrComplain() {
  const std::optional<size_t> row = TargetRow(SelectedRow(), rows_.size());
  if (!row) ShowPageMessage(UiText(IDS_NOSELECTEDITEM));
  return row;
}

void CPageProfileDlg::OnAdd() {
  if (!State().RadioOn) return;
  if (!OpenProfileEditorForAdd(Window())) {
    ShowPageMessage(QStringLiteral("The profile editor is missing from this program: "
                                   "profiles cannot be added here yet."));
  }
}

void CPageProfileDlg::OnEdit() {
  if (!State().RadioOn) return;
  const std::optional<size_t> row = TargetOrComplain();
  if (!row) return;
  const std::string name = rows_[*row].Name;
  if (OpenProfileEditorForEdit(Window(), name)) return;
  if (!dynamic_cast<ProfileEditorPanel*>(Window().LowerPanel(LOWER_PANEL_PROFILE_EDITOR))) {
    ShowPageMessage(QStringLiteral("The profile editor is missing from this program: "
                                   "profiles cannot be edited here yet."));
  } else {
    ShowPageMessage(QStringLiteral("The profile \"%1\" could not be loaded.")
                        .arg(QString::fromStdString(name)));
  }
}

DeleteContext CPageProfileDlg::MakeDeleteContext() {
  DeleteContext context;
  context.activeName = currentName_;
  if (ActionQueue* queue = Queue()) {
    context.stationProfileInUse = &queue->activation().StationProfileInUse;
    context.wpsProfileInUse = queue->wps().WpsProfileInUse;
    const WpsCredentialTable& table = queue->wps().Table;
    const uint32_t index = queue->activation().AppliedCredentialIndex;
    if (index < table.Count && index < table.Credentials.size()) {
      const WpsCredential& credential = table.Credentials[index];
      context.wpsCredentialSsid.assign(
          reinterpret_cast<const char*>(credential.Ssid.data()),
          std::min<size_t>(credential.SsidLength, credential.Ssid.size()));
    }
    context.wpaReady = queue->adapter().wpaReady;
  }
  if (NativeWifiClient* wifi = Services().wifi) {
    context.service.exists = [wifi](const std::string& name) { return wifi->ServiceProfileExists(name); };
    context.service.remove = [wifi](const std::string& name) { wifi->DeleteServiceProfile(name); };
  }
  return context;
}

void CPageProfileDlg::OnDelete() {
  if (!State().RadioOn) return;
  ProfileStore* store = Services().store;
  const std::optional<size_t> row = TargetOrComplain();
  if (!row || !store) return;
  const DeleteOutcome outcome = DeleteProfileRow(*store, rows_, *row, MakeDeleteContext());
  if (outcome.wasActive) currentName_.clear();
  RefreshList();
  if (outcome.reactivate) {
    if (const std::optional<size_t> next = FindActiveRow(rows_, *outcome.reactivate)) {
      currentName_ = *outcome.reactivate;
      ActivateProfile(*next);
    }
  }
  SelectRow(outcome.selectRow);
  if (rows_.empty()) {
    SetButtons(false, false, false, false);
    ClearDetails();
  }
  ShowDetails();
}

void CPageProfileDlg::OnApply() {
  if (!State().RadioOn) return;
  if (const std::optional<size_t> row = TargetOrComplain()) ActivateProfile(*row);
}

void CPageProfileDlg::ActivateProfile(size_t row) {
  if (row >= rows_.size()) return;
  const std::string name = rows_[row].Name;
  currentName_ = name;
  Host().NoteAppliedProfile(name);
  ProfileStore* store = Services().store;
  ActionQueue* queue = Queue();
  std::vector<ProfileStore::KeyValue> answered;
  // A PEAP profile that lacks a credential asks for it first. Only an activation that writes the
  // active configuration can carry the answer; a standard user's applies what is stored.
  if (store && queue && MayChangeProfiles()) {
    if (const auto request = PeapPromptForProfile(ReadPeapPromptProfile(*store, name))) {
      QPointer<CPageProfileDlg> self(this);
      const std::optional<PeapPromptAnswer> answer = RunPeapSettingPrompt(Window(), *request);
      if (!self || !answer) return;  // declined, or the window went away: nothing is applied
      answered = PeapPromptActiveValues(*request, *answer);
    }
  }
  if (store && queue) {
    if (ActivateStoredProfile(*queue, *store, name, MayChangeProfiles(), 0, answered)) {
      connectAwaited_ = name;
    } else {
      ShowPageMessage(QStringLiteral("The profile \"%1\" was not applied: the profile store "
                                     "cannot be written.")
                          .arg(QString::fromStdString(name)));
    }
  }
  State().Survey.ClearConnectMarks();
  const std::optional<size_t> selected = SelectedRow();
  RefreshList();
  SelectRow(selected);
}

void CPageProfileDlg::OnImport() {
  ProfileStore* store = Services().store;
  if (!store || !dialogs_.importPath) return;
  const std::optional<std::string> path = dialogs_.importPath(window());
  if (!path) return;
  std::string problem;
  switch (store->ImportProfileSection(*path, &problem)) {
    case kImportOk: {
      const std::optional<size_t> selected = SelectedRow();
      RefreshList();
      SelectRow(selected);
      return;
    }
    case kImportMoreThanOneProfile: ShowPageMessage(UiText(IDS_IM_EXPORT_PROFILE_MORE_THAN_ONE)); return;
    case kImportNoProfile: ShowPageMessage(UiText(IDS_IM_EXPORT_PROFILE_NO_PROFILE)); return;
    case kImportNameExists: ShowPageMessage(UiText(IDS_IM_EXPORT_PROFILE_PROFILE_EXIST)); return;
    case kImportValueInvalid:
      ShowPageMessage(QStringLiteral("The profile in the file cannot be stored: %1")
                          .arg(QString::fromStdString(problem)));
      return;
    case kImportUnreadable:
      ShowPageMessage(QStringLiteral("The file cannot be read as a profile file: %1")
                          .arg(QString::fromStdString(problem)));
      return;
    default:
      ShowPageMessage(QStringLiteral("The profile could not be saved: the profile store cannot "
                                     "be written. %1")
                          .arg(QString::fromStdString(problem)));
      return;
  }
}

void CPageProfileDlg::OnExport() {
  ProfileStore* store = Services().store;
  const std::optional<size_t> row = TargetOrComplain();
  if (!row || !store || !dialogs_.exportPath) return;
  const std::optional<std::string> path = dialogs_.exportPath(window());
  if (!path) return;
  std::error_code error;
  if (std::filesystem::symlink_status(*path, error).type() != std::filesystem::file_type::not_found &&
      !error) {
    if (!dialogs_.confirmOverwrite ||
        !dialogs_.confirmOverwrite(UiText(IDS_IM_EXPORT_EXPORT_FILE_EXIST), window())) {
      return;
    }
  }
  // The store writes the file whole and replaces it once, so a failure leaves the old file.
  if (store->ExportProfileSection(rows_[*row].Name, *path) != kExportOk) {
    ShowPageMessage(UiText(IDS_IM_EXPORT_PROFILE_OPEN_FILE_FAIL));
  }
}

void CPageProfileDlg::ShowConnectFailure() {
  if (!connectAwaited_) return;
  const std::string name = *std::exchange(connectAwaited_, std::nullopt);
  NativeWifiClient* wifi = Services().wifi;
  const std::string reason =
      survey::ConnectFailureReason(wifi ? wifi->LastProfileRefusal() : std::nullopt,
                                   wifi ? wifi->LastConnectionFailure() : std::nullopt);
  ShowPageMessage(UiText(IDS_SITESUR_CONNECT_FAILED) + QStringLiteral("\n\n") +
                  QString::fromStdString(name + ": " + reason));
}

void CPageProfileDlg::OnMonitorMessage(const Message& message) {
  switch (message.message) {
    case WM_MON_CONNECT_DONE: connectAwaited_.reset(); return;
    case WM_MON_CONNECT_FAILED:
    case WM_MON_ATTEMPT_FAILED: ShowConnectFailure(); return;
    default: break;
  }
  if (message.message != WM_MON_EAP_UI_DONE) return;
  eapBusy_ = message.wParam != 1;
  for (QPushButton* button : {add_, edit_, delete_, apply_, import_, export_}) {
    button->setEnabled(!eapBusy_);
  }
  // Enabling again keeps what the user may do and what the list allows.
  if (!eapBusy_) {
    const std::optional<size_t> selected = SelectedRow();
    RefreshList();
    SelectRow(selected);
    ApplyRights();
  }
}

std::string CPageProfileDlg::NextDefaultProfileName() const {
  std::vector<std::string> names;
  names.reserve(rows_.size());
  for (const ProfileRow& row : rows_) names.push_back(row.Name);
  return ov::NextDefaultProfileName(names, LangText(IDS_PROF));
}

QWidget* MakeProfilePage(const PageContext& context, QWidget* parent) {
  return new CPageProfileDlg(context, parent);
}

}  // namespace ov
