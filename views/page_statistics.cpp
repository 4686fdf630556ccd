#include "views/page_statistics.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "driver/oid/oid_requests.h"
#include "shell/ui/control_ids.h"
#include "shell/ui/main_window.h"
#include "shell/ui/ui_text.h"
#include "views/link_status_dlg.h"

namespace ov {

namespace {

template <size_t N>
QWidget* RowsTab(const std::array<statistics::Row, N>& rows, std::array<QLabel*, N>& values,
                 QWidget* parent) {
  auto* tab = new QWidget(parent);
  auto* grid = new QGridLayout(tab);
  grid->setVerticalSpacing(6);
  for (size_t i = 0; i < N; ++i) {
    auto* label = new QLabel(UiText(rows[i].label), tab);
    values[i] = new QLabel(QStringLiteral("0"), tab);
    values[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    values[i]->setTextFormat(Qt::PlainText);
    grid->addWidget(label, static_cast<int>(i), 0);
    grid->addWidget(values[i], static_cast<int>(i), 1);
    label->setVisible(!rows[i].hidden);
    values[i]->setVisible(!rows[i].hidden);
  }
  grid->setColumnStretch(0, 1);
  grid->setRowStretch(static_cast<int>(N), 1);
  return tab;
}

}  // namespace

CPageStatisticsDlg::CPageStatisticsDlg(const PageContext& context, QWidget* parent)
    : PageWidget(context, parent) {
  setObjectName(ControlName(IDD_PAGE_STATISTICS_DLG));
  auto* layout = new QVBoxLayout(this);
  tabs_ = new QTabWidget(this);
  tabs_->addTab(RowsTab(statistics::kTransmitRows, transmit_, tabs_), UiText(IDS_STA_TX));
  tabs_->addTab(RowsTab(statistics::kReceiveRows, receive_, tabs_), UiText(IDS_STA_RX));
  layout->addWidget(tabs_, 1);
  reset_ = new QPushButton(UiText(IDS_STA_RESETCOUNTER), this);
  reset_->setAutoDefault(false);
  connect(reset_, &QPushButton::clicked, this, &CPageStatisticsDlg::ResetCounters);
  layout->addWidget(reset_, 0, Qt::AlignRight);
}

void CPageStatisticsDlg::Refresh() {
  OidRequester* driver = Services().driver;
  std::optional<DriverStatistics> stats;
  std::optional<uint32_t> noBuffer;
  if (driver) {
    DriverStatistics read;
    if (QueryDriverStatistics(*driver, read)) stats = read;
    uint32_t count = 0;
    if (QueryRcvNoBuffer(*driver, count)) noBuffer = count;
  }
  Show(statistics::FormatStatistics(stats, noBuffer));
}

void CPageStatisticsDlg::ResetCounters() {
  Show(statistics::ZeroValues());
  if (OidRequester* driver = Services().driver) SetResetCounters(*driver);
  if (auto* link = dynamic_cast<CLinkStatusDlg*>(Window().LowerPanel(0))) link->ResetThroughputCounters();
}

void CPageStatisticsDlg::Show(const statistics::Values& values) {
  for (size_t i = 0; i < transmit_.size(); ++i) transmit_[i]->setText(QString::fromStdString(values.transmit[i]));
  for (size_t i = 0; i < receive_.size(); ++i) receive_[i]->setText(QString::fromStdString(values.receive[i]));
}

QWidget* MakeStatisticsPage(const PageContext& context, QWidget* parent) {
  return new CPageStatisticsDlg(context, parent);
}

}  // namespace ov
