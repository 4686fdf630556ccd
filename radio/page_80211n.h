#pragma once
#include "radio/ht_settings_rules.h"
#include "shell/ui/page_contract.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

// CPage80211nSettingDlg, the 802.11n page: the adapter's HT options (A-MSDU, spatial-multiplexing
// power save, MPDU aggregation with its block-ack mode and density), kept in "BACapability" and in
// the driver, and the driver's block-ack agreements, re-read every second while shown, with the
// buttons that open the add and delete panels.
//
// Each show reads "BACapability" and sends the options it holds to the driver, so the driver
// carries the stored options once the page has been opened: the one write outside Apply.
namespace ov {

class TextRowsList;

inline constexpr int IDD_PAGE_80211N_DLG = 3243;
inline constexpr uint32_t kBlockAckListRefreshMs = 1000;

class CPage80211nSettingDlg : public PageWidget {
  Q_OBJECT

 public:
  enum class Side { Originator, Recipient };

  CPage80211nSettingDlg(const PageContext& context, QWidget* parent);

  // Show: the lists emptied, the registry's options read and sent, the controls filled.
  void LoadValues() override;
  // OnTimer: the lists rebuilt from the driver's table.
  void Refresh() override;
  uint32_t RefreshPeriodMs() const override { return kBlockAckListRefreshMs; }

  void Apply();
  const HtSettingsFields& Fields() const { return fields_; }

  QCheckBox* AmsduBox() const { return amsdu_; }
  QRadioButton* AmsduSizeButton(int size) const { return amsduSize_[size]; }
  QRadioButton* SmpsButton(int mode) const { return smps_[mode]; }
  QCheckBox* AggregationBox() const { return aggregation_; }
  QRadioButton* ManualButton() const { return manual_; }
  QRadioButton* AutoButton() const { return auto_; }
  QComboBox* DensityList() const { return density_; }
  QPushButton* ApplyButton() const { return apply_; }
  TextRowsList* List(Side side) const { return side == Side::Originator ? originator_ : recipient_; }
  QPushButton* PlusButton() const { return originatorPlus_; }
  QPushButton* MinusButton(Side side) const {
    return side == Side::Originator ? originatorMinus_ : recipientMinus_;
  }

 private:
  void OnAmsduClick();
  void OnAggregationClick();
  void OnPlus();
  void OnMinus(Side side);
  void ReadControls();
  void WriteControls();
  void UpdateEnableStates();
  void OpenPanel(int panel);

  HtSettingsFields fields_;
  QCheckBox* amsdu_ = nullptr;
  QRadioButton* amsduSize_[2] = {};
  QButtonGroup* amsduSizeGroup_ = nullptr;
  QRadioButton* smps_[3] = {};
  QButtonGroup* smpsGroup_ = nullptr;
  QCheckBox* aggregation_ = nullptr;
  QRadioButton* manual_ = nullptr;
  QRadioButton* auto_ = nullptr;
  QComboBox* density_ = nullptr;
  QLabel* densityLabel_ = nullptr;
  QPushButton* apply_ = nullptr;
  TextRowsList* originator_ = nullptr;
  TextRowsList* recipient_ = nullptr;
  QPushButton* originatorPlus_ = nullptr;
  QPushButton* originatorMinus_ = nullptr;
  QPushButton* recipientMinus_ = nullptr;
};

QWidget* Make80211nPage(const PageContext& context, QWidget* parent);

}  // namespace ov
