#pragma once
#include <QString>

#include "shell/ui/page_contract.h"

class QLabel;
class QPushButton;

// CPageAboutDlg, the About page of the main window: each time it is shown it gathers the
// utility's version and file date, the driver's version and date, the adapter's EEPROM and
// firmware versions and its MAC address, under the legal notice line; a button opens the
// maker's web site. It writes nothing.
namespace ov {

inline constexpr int IDD_PAGE_ABOUT_DLG = 136;
// The maker's web address on the button (an address of our own, not a real maker's).
inline constexpr char kOemWebAddress[] = "https://www.orvane.example/";

class CPageAboutDlg : public PageWidget {
  Q_OBJECT

 public:
  // The value labels by row, for the page's callers and tests.
  enum class Row { UtilityVersion, UtilityDate, DriverVersion, DriverDate, Eeprom, Firmware, Mac };

  CPageAboutDlg(const PageContext& context, QWidget* parent);

  void LoadValues() override;

  QLabel* Value(Row row) const;
  QLabel* Label(Row row) const;
  QLabel* LegalNotice() const { return legal_; }
  QPushButton* WebButton() const { return web_; }

 private:
  void OnWebButton();
  void LoadUtility();
  void LoadDriverFacts();
  void LoadDriverFile();

  QLabel* legal_ = nullptr;
  QLabel* labels_[7] = {};
  QLabel* values_[7] = {};
  QPushButton* web_ = nullptr;
};

// The factory the main window's page registry takes.
QWidget* MakeAboutPage(const PageContext& context, QWidget* parent);

}  // namespace ov
