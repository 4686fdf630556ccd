#include "ccx/authen_status_dlg.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ccx/page_ccx.h"
#include "driver/params/debug_trace.h"
#include "platform/registry/registry.h"
#include "shell/ui/main_window.h"
#include "shell/ui/ui_text.h"

namespace ov {

namespace {

constexpr size_t kHeaderValueBytes = 256;

int64_t LocalWallClock() {
  const QDateTime now = QDateTime::currentDateTime();
  return now.toMSecsSinceEpoch() + int64_t{now.offsetFromUtc()} * 1000;
}

std::optional<std::string> ReadHeaderValue(const std::string& key, const char* name) {
  std::optional<std::string> value = RegReadString(HKEY_LOCAL_MACHINE, key, name);
  if (value && value->size() >= kHeaderValueBytes) value->resize(kHeaderValueBytes - 1);
  return value;
}

}  // namespace

CAuthenStatusDlg::CAuthenStatusDlg(const PageContext& context, QWidget* parent, WallClock clock)
    : PageWidget(context, parent), clock_(clock ? std::move(clock) : WallClock(LocalWallClock)) {
  setObjectName(ControlName(IDD_AUTHEN_STATUS_DLG));
  setFont(PageFont());
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(12, 6, 12, 6);
  layout->setSpacing(4);

  auto* separator = new QLabel(UiText(IDS_AUTHEN_STATUS), this);
  QFont bold = separator->font();
  bold.setBold(true);
  separator->setFont(bold);
  layout->addWidget(separator);
  adapter_ = new QLabel(this);
  adapter_->setObjectName(ControlName(IDC_AUTHEN_ADAPTER));
  profile_ = new QLabel(this);
  profile_->setObjectName(ControlName(IDC_AUTHEN_PROFILE));
  auto* header = new QHBoxLayout;
  header->addWidget(adapter_, 1);
  header->addWidget(profile_, 1);
  layout->addLayout(header);

  list_ = new QTreeWidget(this);
  list_->setRootIsDecorated(false);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setHeaderLabels({QStringLiteral("Time"), QStringLiteral("Description")});
  list_->header()->setSectionsMovable(true);
  list_->setAccessibleName(UiText(IDS_AUTHEN_STATUS));
  list_->setColumnWidth(0, main_window_layout::kWidth * 3 / 10);
  layout->addWidget(list_, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  ok_ = new QPushButton(UiText(IDS_OK), this);
  ok_->setObjectName(ControlName(IDC_AUTHEN_OK));
  cancel_ = new QPushButton(UiText(IDS_CANCEL), this);
  cancel_->setObjectName(ControlName(IDC_AUTHEN_CANCEL));
  for (QPushButton* button : {ok_, cancel_}) {
    button->setAutoDefault(false);
    button->setMinimumWidth(90);
    buttons->addWidget(button);
  }
  layout->addLayout(buttons);
  connect(ok_, &QPushButton::clicked, this, &CAuthenStatusDlg::OnOk);
  connect(cancel_, &QPushButton::clicked, this, &CAuthenStatusDlg::OnCancel);
  SetKeyButtons(ok_, cancel_);

  lineCount_ = 0;
  ReloadHeader();
}

void CAuthenStatusDlg::AddLogLine(const QString& text) {
  const StatusLogEntry& entry = log_.Add(text.toStdString(), clock_());
  auto* item = new QTreeWidgetItem(
      {QString::fromStdString(entry.time), QString::fromStdString(entry.description)});
  list_->addTopLevelItem(item);
  ++lineCount_;
  // The newest line in view. A pixel offset set now would be clamped to the range before the
  // line was laid out and leave the newest line below the fold.
  list_->scrollToItem(item);
}

void CAuthenStatusDlg::ReloadHeader() {
  log_.Clear();
  list_->clear();
  QString adapterText = adapter_->text();
  QString profileText;
  const std::string& key = State().Adapter.adapterKeyPath;
  HKEY opened = nullptr;
  if (key.empty() || RegOpenKeyEx(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &opened) != 0) {
    DebugTrace("RegOpenKeyEx '%s' failed\n", key.c_str());
  } else {
    RegCloseKey(opened);
    if (const auto description = ReadHeaderValue(key, "DriverDesc")) {
      adapterText = UiText(IDS_STATIC_CARDNAME) + QLatin1Char(' ') +
                    QString::fromStdString(*description);
    } else {
      DebugTrace("RegQueryValueEx 'REGSTR_DRIVER_DESC' failed\n");
    }
    if (!Host().CurrentProfileUsesBssid()) {
      if (const auto name = ReadHeaderValue(key, "CurProfile")) {
        profileText = UiText(IDS_STATIC_PROFILENAME) + QLatin1Char(' ') +
                      QString::fromStdString(*name);
      } else {
        DebugTrace("RegQueryValueEx 'REGSTR_KEY_CURPROFILE' failed\n");
      }
    }
  }
  adapter_->setText(adapterText);
  profile_->setText(profileText);
}

void CAuthenStatusDlg::OnOk() {
  Window().ShowLowerPanel(LOWER_PANEL_LINK_STATUS);
  ReloadHeader();
}

void CAuthenStatusDlg::OnCancel() {
  if (auto* ccx = dynamic_cast<CPageCCXConfigDlg*>(Window().Page(TabButton::CcxConfig))) {
    ccx->StopDiagnosticTest();
  }
  Window().ShowLowerPanel(LOWER_PANEL_LINK_STATUS);
  ReloadHeader();
}

QWidget* MakeAuthenStatusPanel(const PageContext& context, QWidget* parent) {
  return new CAuthenStatusDlg(context, parent);
}

}  // namespace ov
