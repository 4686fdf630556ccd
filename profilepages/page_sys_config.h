#pragma once
#include <QWidget>
#include <functional>
#include <span>
#include <string>

#include "profilepages/page_sys_config_rules.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;

// CPageSystemConfigDlg, the system-config tab of the profile editor: name, SSID, network type,
// power saving, TX power, preamble, the ad hoc channel, the RTS and fragmentation thresholds and
// the diagnostics mark. Its rules are page_sys_config_rules.
namespace ov {

class SliderLink;

inline constexpr int IDD_PAGE_SYSTEM_CONFIG = 244;

class CPageSystemConfigDlg : public QWidget {
  Q_OBJECT

 public:
  // Everything but the page's own fields that the channel list depends on, asked when it is
  // rebuilt.
  using ChannelInputsSource = std::function<ChannelListInputs()>;

  CPageSystemConfigDlg(ChannelInputsSource channelInputs, QWidget* parent = nullptr);
  ~CPageSystemConfigDlg() override;

  // The SSID combo's items from a scan list (BssidListBuffer layout).
  void FillSsids(std::span<const uint8_t> scanList);
  void PrepareNewProfile(const std::string& name, int psMode, uint32_t adhocWirelessMode);
  // `infrastructure` and `frequencyKHz` from the chosen scan entry.
  void PrepareFromSurvey(const std::string& name, const std::string& ssid, bool infrastructure,
                         uint32_t frequencyKHz, int psMode, uint32_t adhocWirelessMode);
  // After the loaded fields were set with SetFields.
  void PrepareForEdit(uint32_t adhocWirelessMode);

  void SetFields(const SysConfigFields& fields);
  // The fields, read from the controls.
  const SysConfigFields& Fields();

  void ChooseNetworkType(bool infrastructure);
  void ChooseTxPower(int code);
  void ChoosePreamble(int pagePreamble);
  void RebuildChannelList();
  // The ad hoc wireless mode the channel list follows (read from the driver by the editor).
  void SetAdhocWirelessMode(uint32_t mode);

  QLineEdit* NameEdit() const { return name_; }
  QComboBox* SsidCombo() const { return ssid_; }
  QPushButton* NetworkTypeButton() const { return networkType_; }
  QPushButton* TxPowerButton() const { return txPower_; }
  QPushButton* PreambleButton() const { return preamble_; }
  QRadioButton* CamRadio() const { return cam_; }
  QRadioButton* PsmRadio() const { return psm_; }
  QComboBox* ChannelList() const { return channel_; }
  QLabel* ChannelLabel() const { return channelLabel_; }
  QCheckBox* RtsBox() const { return useRts_; }
  QCheckBox* FragBox() const { return useFrag_; }
  SliderLink* Rts() const { return rts_; }
  SliderLink* Frag() const { return frag_; }
  QCheckBox* DiagnosticBox() const { return diagnostic_; }

 signals:
  void networkTypeChanged(bool infrastructure);

 private:
  void BuildLayout();
  void ReadControls();
  void ShowFields();
  void SelectSsid(const std::string& ssid, bool addWhenMissing);
  void EnableThresholds();

  ChannelInputsSource channelInputs_;
  SysConfigFields fields_;

  QLineEdit* name_ = nullptr;
  QComboBox* ssid_ = nullptr;
  QPushButton* networkType_ = nullptr;
  QRadioButton* cam_ = nullptr;
  QRadioButton* psm_ = nullptr;
  QPushButton* txPower_ = nullptr;
  QPushButton* preamble_ = nullptr;
  QLabel* channelLabel_ = nullptr;
  QComboBox* channel_ = nullptr;
  QCheckBox* useRts_ = nullptr;
  SliderLink* rts_ = nullptr;
  QCheckBox* useFrag_ = nullptr;
  SliderLink* frag_ = nullptr;
  QCheckBox* diagnostic_ = nullptr;
  QLineEdit* diagnosticSsid_ = nullptr;
};

}  // namespace ov
