#include "radio/page_about.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QUrl>
#include <sys/stat.h>

#include "driver/driver_file.h"
#include "driver/oid/oid_requests.h"
#include "platform/system/regular_file.h"
#include "radio/about_text.h"
#include "shell/ui/control_ids.h"
#include "shell/ui/main_window.h"
#include "shell/ui/ui_text.h"

#ifndef OVUI_VERSION_TEXT
#define OVUI_VERSION_TEXT "0.0.0.0"
#endif

namespace ov {

namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

CPageAboutDlg::CPageAboutDlg(const PageContext& context, QWidget* parent)
    : PageWidget(context, parent) {
  setObjectName(ControlName(IDD_PAGE_ABOUT_DLG));
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(24, 16, 24, 16);
  grid->setHorizontalSpacing(12);
  grid->setVerticalSpacing(10);

  legal_ = new QLabel(UiText(IDS_LEGAL_COPYRIGHT), this);
  legal_->setTextFormat(Qt::PlainText);
  legal_->setWordWrap(true);
  grid->addWidget(legal_, 0, 0, 1, 4);

  // Two label/value pairs a row: version and date, EEPROM and firmware; the MAC alone.
  struct Place {
    Row row;
    LanguageKey label;
    int gridRow;
    int gridColumn;
  };
  const Place places[] = {
      {Row::UtilityVersion, IDS_ABOUT_OV_VERSION, 1, 0}, {Row::UtilityDate, IDS_ABOUT_DATE, 1, 2},
      {Row::DriverVersion, IDS_ABOUT_VERSION, 2, 0},     {Row::DriverDate, IDS_ABOUT_DATE, 2, 2},
      {Row::Eeprom, IDS_EEPROMVERSION, 3, 0},            {Row::Firmware, IDS_FW_VERSION_NAME, 3, 2},
      {Row::Mac, IDS_ABOUT_PHY_ADDR, 4, 0},
  };
  for (const Place& place : places) {
    const int index = static_cast<int>(place.row);
    labels_[index] = new QLabel(UiText(place.label), this);
    values_[index] = new QLabel(this);
    values_[index]->setTextFormat(Qt::PlainText);
    values_[index]->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(labels_[index], place.gridRow, place.gridColumn);
    grid->addWidget(values_[index], place.gridRow, place.gridColumn + 1);
  }
  // The firmware row stays hidden until a version is read.
  Label(Row::Firmware)->hide();
  Value(Row::Firmware)->hide();

  web_ = new QPushButton(QString::fromLatin1(kOemWebAddress), this);
  web_->setAutoDefault(false);
  connect(web_, &QPushButton::clicked, this, &CPageAboutDlg::OnWebButton);
  grid->addWidget(web_, 5, 0, 1, 4, Qt::AlignHCenter);
  grid->setRowStretch(6, 1);
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);
}

QLabel* CPageAboutDlg::Value(Row row) const { return values_[static_cast<int>(row)]; }
QLabel* CPageAboutDlg::Label(Row row) const { return labels_[static_cast<int>(row)]; }

void CPageAboutDlg::LoadValues() {
  LoadUtility();
  LoadDriverFile();
  LoadDriverFacts();
}

// The driver file of the adapter's family: a file without a version leaves the texts as they
// were.
void CPageAboutDlg::LoadDriverFile() {
  const std::filesystem::path path = DriverFilePath(State().Adapter.chipFamily);
  if (path.empty()) return;
  std::string contents;
  if (ReadRegularFile(path.string(), kDriverFileMaxBytes, contents) != FileProblem::None) return;
  const std::optional<DriverFileVersion> version = ParseDriverFileVersion(contents);
  if (!version) return;
  Value(Row::DriverVersion)
      ->setText(Text(FileVersionText(version->major, version->minor, version->build, version->revision)));
  struct stat status {};
  if (::stat(path.c_str(), &status) == 0) Value(Row::DriverDate)->setText(Text(FileDateText(status.st_mtime)));
}

// The program's own file: its version is compiled in, its date is the file's.
void CPageAboutDlg::LoadUtility() {
  Value(Row::UtilityVersion)->setText(QString::fromLatin1(OVUI_VERSION_TEXT));
  struct stat status {};
  const QByteArray program = QCoreApplication::applicationFilePath().toLocal8Bit();
  if (!program.isEmpty() && ::stat(program.constData(), &status) == 0) {
    Value(Row::UtilityDate)->setText(Text(FileDateText(status.st_mtime)));
  }
}

void CPageAboutDlg::LoadDriverFacts() {
  OidRequester* driver = Services().driver;
  const auto showRow = [this](Row row, bool shown) {
    Label(row)->setVisible(shown);
    Value(row)->setVisible(shown);
  };

  uint32_t eeprom = 0;
  const bool eepromRead = driver != nullptr && QueryEepromVersion(*driver, eeprom);
  if (eepromRead) Value(Row::Eeprom)->setText(Text(EepromVersionText(eeprom)));
  showRow(Row::Eeprom, eepromRead);

  // A failed query shows all zeros, as the driver's zeroed buffer would.
  MacAddress mac{};
  if (driver != nullptr && !QueryCurrentAddress(*driver, mac)) mac = {};
  Value(Row::Mac)->setText(Text(MacAddressText(mac)));

  uint32_t firmware = 0;
  const bool firmwareRead = driver != nullptr &&
                            FamilyHasFirmwareVersion(State().Adapter.chipFamily) &&
                            QueryFirmwareVersion(*driver, firmware);
  if (firmwareRead) Value(Row::Firmware)->setText(Text(FirmwareVersionText(firmware)));
  showRow(Row::Firmware, firmwareRead);
}

void CPageAboutDlg::OnWebButton() {
  QPointer<CPageAboutDlg> self(this);
  Host().OpenUrl(QUrl(QString::fromLatin1(kOemWebAddress)), [self] {
    if (self) {
      self->ShowPageMessage(QStringLiteral("No program could open %1").arg(QLatin1String(kOemWebAddress)));
    }
  });
}

QWidget* MakeAboutPage(const PageContext& context, QWidget* parent) {
  return new CPageAboutDlg(context, parent);
}

}  // namespace ov
