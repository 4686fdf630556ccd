#include "siblings/deza/deza_window.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "siblings/ovswap/sibling_switch.h"

namespace ov::deza {

namespace {

QString Text(const std::string& s) { return QString::fromStdString(s); }

QString ModeText(AdapterMode mode, const std::string& hardwareId) {
  switch (mode) {
    case AdapterMode::Absent:
      return QStringLiteral("No adapter with the hardware identifier %1 is present.").arg(Text(hardwareId));
    case AdapterMode::NoAnswer:
      return QStringLiteral("The adapter's driver does not answer; its mode is unknown.");
    case AdapterMode::Station:
      return QStringLiteral("The adapter is in station mode and serves no access point.");
    case AdapterMode::AccessPoint:
      break;
  }
  return QStringLiteral("The adapter serves as an access point.");
}

}  // namespace

DezaWindow::DezaWindow(std::filesystem::path programFolder, std::string hardwareId,
                       StatusReader readStatus, QWidget* parent)
    : QWidget(parent),
      programFolder_(std::move(programFolder)),
      hardwareId_(std::move(hardwareId)),
      readStatus_(std::move(readStatus)) {
  setWindowTitle(QStringLiteral("DeZA - Orvane Wireless Access Point"));
  auto* layout = new QVBoxLayout(this);
  mode_ = new QLabel(this);
  mode_->setWordWrap(true);
  QFont bold = mode_->font();
  bold.setBold(true);
  mode_->setFont(bold);
  layout->addWidget(mode_);

  auto* form = new QFormLayout;
  auto* adapter = new QLabel(Text(hardwareId_), this);
  adapter->setTextInteractionFlags(Qt::TextSelectableByMouse);
  ssid_ = new QLabel(this);
  ssid_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  channel_ = new QLabel(this);
  form->addRow(QStringLiteral("Adapter:"), adapter);
  form->addRow(QStringLiteral("SSID:"), ssid_);
  form->addRow(QStringLiteral("Channel:"), channel_);
  layout->addLayout(form);

  layout->addWidget(new QLabel(QStringLiteral("Associated stations:"), this));
  stations_ = new QTableWidget(0, 2, this);
  stations_->setHorizontalHeaderLabels({QStringLiteral("MAC address"), QStringLiteral("Signal")});
  stations_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  stations_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  stations_->verticalHeader()->hide();
  stations_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  stations_->setSelectionBehavior(QAbstractItemView::SelectRows);
  layout->addWidget(stations_, 1);

  note_ = new QLabel(this);
  note_->setWordWrap(true);
  layout->addWidget(note_);

  return_ = new QPushButton(QStringLiteral("Return to station mode"), this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(return_);
  layout->addLayout(buttons);
  connect(return_, &QPushButton::clicked, this, [this] { returnToStationMode(); });

  timer_ = new QTimer(this);
  timer_->setInterval(kRefreshMs);
  connect(timer_, &QTimer::timeout, this, [this] { refresh(); });
  resize(420, 360);
  refresh();
}

void DezaWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  refresh();
  timer_->start();
}

void DezaWindow::hideEvent(QHideEvent* event) {
  timer_->stop();
  QWidget::hideEvent(event);
}

void DezaWindow::refresh() { display(readStatus_()); }

void DezaWindow::display(const AccessPointStatus& status) {
  mode_->setText(ModeText(status.mode, hardwareId_));
  const bool present = status.mode != AdapterMode::Absent;
  ssid_->setText(!present ? QString() : status.ssid.empty() ? QStringLiteral("(none)") : Text(status.ssid));
  channel_->setText(!present || !status.channel ? QString() : QString::number(*status.channel));

  const std::vector<AssociatedStation> none;
  const std::vector<AssociatedStation>& list = status.stations ? *status.stations : none;
  stations_->setRowCount(static_cast<int>(list.size()));
  for (size_t i = 0; i < list.size(); ++i) {
    const int row = static_cast<int>(i);
    stations_->setItem(row, 0, new QTableWidgetItem(Text(list[i].mac)));
    auto* signal = new QTableWidgetItem(QStringLiteral("%1 dBm").arg(list[i].signalDbm));
    signal->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    stations_->setItem(row, 1, signal);
  }
  if (status.mode != AdapterMode::AccessPoint) {
    note_->clear();
  } else if (!status.stations) {
    note_->setText(QStringLiteral("The associated stations are not known: %1.").arg(Text(status.stationsProblem)));
  } else if (list.empty()) {
    note_->setText(QStringLiteral("No station is associated."));
  } else {
    note_->clear();
  }
}

void DezaWindow::returnToStationMode() {
  return_->setEnabled(false);
  note_->setText(QStringLiteral("Returning the adapter to station mode..."));
  const QString tool = Text((programFolder_ / "OvSwap").string());
  QStringList arguments;
  for (const std::string& a : sibling::SwitchArguments(false, hardwareId_)) arguments << Text(a);

  auto* process = new QProcess(this);
  auto* deadline = new QTimer(process);
  deadline->setSingleShot(true);
  connect(deadline, &QTimer::timeout, process, [process] { process->kill(); });
  connect(process, &QProcess::finished, this, [this, process, deadline](int code, QProcess::ExitStatus how) {
    const bool timedOut = !deadline->isActive();
    deadline->stop();
    process->deleteLater();
    if (how != QProcess::NormalExit || code != 0) {
      refresh();
      note_->setText(timedOut ? QStringLiteral("OvSwap did not finish within %1 seconds; the adapter may "
                                               "still serve as an access point.")
                                    .arg(kHandBackTimeoutMs / 1000)
                              : QStringLiteral("OvSwap could not return the adapter to station mode "
                                               "(exit status %1).")
                                    .arg(how == QProcess::NormalExit ? code : -1));
      return_->setEnabled(true);
      return;
    }
    const QString station = Text((programFolder_ / "OvUI").string());
    if (!QProcess::startDetached(station, {})) {
      refresh();
      note_->setText(QStringLiteral("The adapter is in station mode, but %1 could not be started.").arg(station));
      return_->setEnabled(true);
      return;
    }
    close();
  });
  connect(process, &QProcess::errorOccurred, this, [this, process, tool](QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart) return;
    process->deleteLater();
    note_->setText(QStringLiteral("%1 could not be started.").arg(tool));
    return_->setEnabled(true);
  });
  deadline->start(kHandBackTimeoutMs);
  process->start(tool, arguments);
}

}  // namespace ov::deza
