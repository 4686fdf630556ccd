#include "shell/ui/sel_card_dlg.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/ui/control_ids.h"
#include "widgets/modal_guard.h"

namespace ov {

namespace {

// This dialog keeps its template's own texts; the language table has none for it.
constexpr char kCaption[] = "Select a Wireless LAN card";
constexpr char kHeading[] = "Select wireless lan card";
constexpr char kFriendlyName[] = "Friendly Name : ";
constexpr char kDescription[] = "Device Description : ";
constexpr char kHardwareId[] = "Hardware ID : ";
constexpr char kLocation[] = "Location Infoamation : ";
constexpr char kManufacturer[] = "Manufactory : ";
constexpr char kOk[] = "OK";

QLineEdit* ReadOnlyField(QWidget* parent, int id) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(ControlName(id));
  field->setReadOnly(true);
  field->setMinimumWidth(300);
  return field;
}

}  // namespace

CSelCardDlg::CSelCardDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(ControlName(IDD_SELECT_CARD));
  setWindowTitle(QString::fromLatin1(kCaption));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  list_ = new QComboBox(this);
  list_->setObjectName(ControlName(IDC_CARD_LIST));
  description_ = ReadOnlyField(this, IDC_CARD_DESCRIPTION);
  hardwareId_ = ReadOnlyField(this, IDC_CARD_HARDWARE_ID);
  location_ = ReadOnlyField(this, IDC_CARD_LOCATION);
  manufacturer_ = ReadOnlyField(this, IDC_CARD_MANUFACTURER);

  auto* form = new QFormLayout;
  form->addRow(QString::fromLatin1(kFriendlyName), list_);
  form->addRow(QString::fromLatin1(kDescription), description_);
  form->addRow(QString::fromLatin1(kHardwareId), hardwareId_);
  form->addRow(QString::fromLatin1(kLocation), location_);
  form->addRow(QString::fromLatin1(kManufacturer), manufacturer_);

  auto* ok = new QPushButton(QString::fromLatin1(kOk), this);
  ok->setObjectName(ControlName(IDOK_BUTTON));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &CSelCardDlg::accept);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QString::fromLatin1(kHeading), this));
  layout->addLayout(form);
  layout->addLayout(buttons);

  connect(list_, &QComboBox::currentIndexChanged, this, &CSelCardDlg::ShowDetails);
}

void CSelCardDlg::SetCandidates(std::span<const AdapterCandidate> candidates) {
  candidates_.assign(candidates.begin(), candidates.end());
  chosen_.reset();
  const QSignalBlocker blocker(list_);
  list_->clear();
  for (const auto& candidate : candidates_) {
    list_->addItem(QString::fromStdString(candidate.displayName()));
  }
  list_->setCurrentIndex(candidates_.empty() ? -1 : 0);
  ShowDetails(list_->currentIndex());
}

void CSelCardDlg::ShowDetails(int index) {
  if (index < 0 || static_cast<size_t>(index) >= candidates_.size()) {
    description_->clear();
    hardwareId_->clear();
    location_->clear();
    manufacturer_->clear();
    return;
  }
  const AdapterCandidate& candidate = candidates_[static_cast<size_t>(index)];
  description_->setText(QString::fromStdString(candidate.deviceDescription));
  hardwareId_->setText(QString::fromStdString(candidate.hardwareId));
  location_->setText(QString::fromStdString(candidate.locationInformation));
  manufacturer_->setText(QString::fromStdString(candidate.manufacturer));
}

void CSelCardDlg::accept() {
  const int index = list_->currentIndex();
  if (index >= 0 && static_cast<size_t>(index) < candidates_.size()) {
    chosen_ = static_cast<size_t>(index);
  }
  QDialog::accept();
}

std::optional<size_t> CSelCardDlg::ChooseAdapter(std::span<const AdapterCandidate> candidates) {
  SetCandidates(candidates);
  if (candidates_.empty()) return std::nullopt;
  // A dialog deleted while it ran chose nothing.
  QPointer<CSelCardDlg> guard(this);
  if (RunModal(this, QDialog::Rejected) != QDialog::Accepted || !guard) return std::nullopt;
  return chosen_;
}

}  // namespace ov
