#pragma once
#include <QString>
#include <cstdint>

#include "radio/advance_rules.h"
#include "radio/ht_table.h"
#include "shell/ui/page_contract.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QKeyEvent;
class QPaintEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

// CPageAdvanceDlg, the "Advance" page: the band, b/g protection, transmit burst, the host's TCP
// window, fast roaming, the authentication-status option, the two country regions and, for
// 802.11n adapters when [Advance] "HT Setting" is "1", the 802.11n transmit settings. Every
// show reads the adapter key and the TCP/IP key; Apply checks the threshold, writes the
// registry, sends the OIDs and, when the band or a region changed, drops the connection around
// it and makes it again.
namespace ov {

class RadioPageHost;

inline constexpr uint32_t kAdvanceHtSettingPollMs = 1000;
// The host's TCP/IP parameters, which the TCP window box writes.
inline constexpr char kTcpipParametersPath[] = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
// What Apply shows when the registry refuses the adapter key (a standard user whom the
// program's policy does not let change advanced settings).
inline constexpr char kNoAdministratorText[] =
    "You have no 'Administrator' privilege, so some features may not work successfully";

class CPageAdvanceDlg : public PageWidget {
  Q_OBJECT

 public:
  struct Fields {
    Band band = Band::Ghz24And5;
    int32_t bgProtection = 0;
    int32_t txRateIndex = 0;
    bool txBurst = false;
    bool tcpWindow = false;
    bool fastRoaming = false;
    int32_t roamThreshold = kDefaultRoamThreshold;
    int32_t regionBg = 0;
    int32_t regionA = 0;
    bool showAuthStatus = false;
    HtFields ht;  // ht.mcs 33 is the Auto entry
  };

  CPageAdvanceDlg(const PageContext& context, QWidget* parent);

  void LoadValues() override;
  void Refresh() override;
  uint32_t RefreshPeriodMs() const override { return kAdvanceHtSettingPollMs; }
  // The 802.11n panel follows the settings file from the first show until the page goes.
  bool RefreshWhileHidden() const override { return true; }

  void Apply();
  void OnBandChange();
  void OnRegionBgChange();
  void ChooseBgProtection(int32_t choice);

  const Fields& CurrentFields() const { return fields_; }

  QComboBox* BandList() const { return band_; }
  QPushButton* BgProtectionButton() const { return bgButton_; }
  QLabel* BgProtectionLabel() const { return bgLabel_; }
  QComboBox* TxRateList() const { return txRate_; }
  QCheckBox* TxBurstBox() const { return txBurst_; }
  QCheckBox* TcpWindowBox() const { return tcpWindow_; }
  QCheckBox* FastRoamingBox() const { return fastRoaming_; }
  QLineEdit* ThresholdEdit() const { return threshold_; }
  QCheckBox* ShowAuthStatusBox() const { return showAuth_; }
  QComboBox* RegionBgList() const { return regionBg_; }
  QComboBox* RegionAList() const { return regionA_; }
  QLabel* RegionBgLabel() const { return regionBgLabel_; }
  QLabel* RegionALabel() const { return regionALabel_; }
  QPushButton* ApplyButton() const { return apply_; }
  QGroupBox* HtPanel() const { return htPanel_; }
  QButtonGroup* HtModeGroup() const { return htMode_; }
  QButtonGroup* BwGroup() const { return bw_; }
  QButtonGroup* GiGroup() const { return gi_; }
  QButtonGroup* StbcGroup() const { return stbc_; }
  QComboBox* McsList() const { return mcs_; }
  QLabel* RateLabel() const { return rateLabel_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  RadioPageHost* Radio() const;
  WirelessMode Mode() const;
  bool Bw40Allowed24() const;
  bool Bw40Allowed5() const;
  bool RegionChangeable24() const;
  bool RegionChangeable5() const;
  bool HtSettingOn() const;

  void BuildControls();
  void Initialise();
  void LoadPage();
  void ReadControls();
  void WriteControls();
  void ApplyRegionRows(WirelessMode mode);
  void ApplyVisibility(bool panelOn, WirelessMode mode);
  void RefreshRateLabel();
  void OnFastRoamingClick();
  void OnThresholdEdit(const QString& text);
  // False when the registry refused the adapter key.
  bool SavePage();
  void SaveTcpWindow();
  void PushOids();
  void Reconnect(const RememberedConnection& remembered);
  uint32_t CcxWordToSave() const;

  CHTTable rates_;
  Fields fields_;
  uint32_t ccxWord_ = 0;
  bool writingControls_ = false;

  QLabel* bandLabel_ = nullptr;
  QComboBox* band_ = nullptr;
  QLabel* bgLabel_ = nullptr;
  QPushButton* bgButton_ = nullptr;
  QMenu* bgMenu_ = nullptr;
  QLabel* txRateLabel_ = nullptr;
  QComboBox* txRate_ = nullptr;
  QCheckBox* txBurst_ = nullptr;
  QCheckBox* tcpWindow_ = nullptr;
  QCheckBox* fastRoaming_ = nullptr;
  QLineEdit* threshold_ = nullptr;
  QLabel* dbmLabel_ = nullptr;
  QCheckBox* showAuth_ = nullptr;
  QGroupBox* regionGroup_ = nullptr;
  QLabel* regionBgLabel_ = nullptr;
  QComboBox* regionBg_ = nullptr;
  QLabel* regionALabel_ = nullptr;
  QComboBox* regionA_ = nullptr;
  QPushButton* apply_ = nullptr;
  QGroupBox* htPanel_ = nullptr;
  QButtonGroup* htMode_ = nullptr;
  QButtonGroup* bw_ = nullptr;
  QButtonGroup* gi_ = nullptr;
  QButtonGroup* stbc_ = nullptr;
  QButtonGroup* ext_ = nullptr;
  QWidget* extRow_ = nullptr;
  QComboBox* mcs_ = nullptr;
  QLabel* rateLabel_ = nullptr;
};

// The factory the main window's page registry takes.
QWidget* MakeAdvancePage(const PageContext& context, QWidget* parent);

}  // namespace ov
