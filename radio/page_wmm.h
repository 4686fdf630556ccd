#pragma once
#include <QString>
#include <array>
#include <string>

#include "driver/params/adapter_params.h"
#include "radio/wmm_rules.h"
#include "shell/ui/page_contract.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// CPageWMMDlg, the WMM page: WMM, its power save per access category and direct link (DLS)
// switched on and off, kept in the adapter's parameters and in the driver; direct links set up
// with a peer and a timeout and torn down, their table re-read every second while shown.
namespace ov {

class TextRowsList;

inline constexpr int IDD_PAGE_WMM_DLG = 262;
inline constexpr uint32_t kDirectLinkRefreshMs = 1000;
inline constexpr char kDefaultDlsTimeout[] = "60";

class CPageWMMDlg : public PageWidget {
  Q_OBJECT

 public:
  // The fields behind the controls.
  struct Fields {
    int32_t WmmEnable = 0;
    int32_t PsEnable = 0;
    int32_t DlsEnable = 0;
    WmmCategories Ac{};  // by WmmAccessCategory
    std::array<std::string, 6> MacParts;
    std::string TimeoutText = kDefaultDlsTimeout;
  };

  CPageWMMDlg(const PageContext& context, QWidget* parent);

  void LoadValues() override;  // Show
  void Refresh() override;     // OnTimer
  uint32_t RefreshPeriodMs() const override { return kDirectLinkRefreshMs; }

  void OnWmmEnable();
  void OnPsEnable();
  void OnAcClick();
  void OnDlsEnable();
  void OnSetup();
  void OnTearDown();
  void OnListClick();
  void OnListDoubleClick();

  const Fields& CurrentFields() const { return fields_; }
  int SelectedRow() const { return selectedRow_; }

  QCheckBox* WmmBox() const { return wmm_; }
  QCheckBox* PowerSaveBox() const { return powerSave_; }
  QCheckBox* CategoryBox(WmmAccessCategory category) const { return categories_[category]; }
  QCheckBox* DlsBox() const { return dls_; }
  QLineEdit* AddressEdit(int part) const { return address_[part]; }
  QLineEdit* TimeoutEdit() const { return timeout_; }
  QPushButton* SetupButton() const { return setup_; }
  QPushButton* TearDownButton() const { return tearDown_; }
  TextRowsList* LinkList() const { return list_; }
  QLabel* WmmStatus() const { return wmmStatus_; }
  QLabel* PowerSaveStatus() const { return powerSaveStatus_; }
  QLabel* DlsStatus() const { return dlsStatus_; }

 private:
  void ReadControls();
  void WriteControls();
  // Status texts and enable states of the fields.
  void ApplyStates();
  void ShowPowerSaveStatus();
  void SetDlsControlsEnabled(bool enabled);
  void WriteParam(const AdapterParam& param, int32_t value);
  // Disconnect and connect the same way again, when connected (and, with `tkipOrCcmpOnly`, only
  // for the ciphers whose keys follow the association).
  void Reconnect(bool tkipOrCcmpOnly);

  Fields fields_;
  int selectedRow_ = -1;
  std::string selectedMac_;

  QLabel* wmmStatus_ = nullptr;
  QLabel* powerSaveStatus_ = nullptr;
  QLabel* dlsStatus_ = nullptr;
  QCheckBox* wmm_ = nullptr;
  QCheckBox* powerSave_ = nullptr;
  std::array<QCheckBox*, 4> categories_{};
  QCheckBox* dls_ = nullptr;
  std::array<QLineEdit*, 6> address_{};
  QLineEdit* timeout_ = nullptr;
  QLabel* addressLabel_ = nullptr;
  QLabel* timeoutLabel_ = nullptr;
  QLabel* secondsLabel_ = nullptr;
  QPushButton* setup_ = nullptr;
  QPushButton* tearDown_ = nullptr;
  TextRowsList* list_ = nullptr;
};

QWidget* MakeWmmPage(const PageContext& context, QWidget* parent);

}  // namespace ov
