#pragma once
#include <memory>
#include <string>
#include <vector>

#include "ccx/ccx_diagnostics.h"
#include "ccx/ccx_rules.h"
#include "shell/ui/control_ids.h"
#include "shell/ui/page_contract.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// CPageCCXConfigDlg: the "CCX2Control" options (read on every show, written on Apply and sent to
// the driver), the CCX diagnostic test against a stored profile, and the admission-control
// request. The test's steps and outcomes go to the status log (lower panel 5).
namespace ov {

class CAuthenStatusDlg;

inline constexpr int kCcxWatchdogTimer = 3;
inline constexpr uint32_t kCcxWatchdogPeriodMs = 30000;
// The third tick (90 s) ends a test whose channel never connected.
inline constexpr int kCcxWatchdogMaxTicks = 2;

struct DiagProfileRow {
  std::string name;
  std::string ssid;
  bool capable = false;
};

class CPageCCXConfigDlg : public PageWidget {
  Q_OBJECT

 public:
  // `diagnostics` replaces the wireless client (tests); null: the page's services.
  CPageCCXConfigDlg(const PageContext& context, QWidget* parent,
                    std::unique_ptr<CcxDiagnostics> diagnostics = nullptr);
  ~CPageCCXConfigDlg() override;

  void LoadValues() override;
  void OnMonitorMessage(const Message& message) override;

  void OnCcxClicked();
  void OnRadioMeasurementClicked();
  void OnNonServingClicked();
  void ApplyOptions();
  void StartDiagnosticTest();
  void StopDiagnosticTest();
  void OnCacSet();

  const CcxOptions& Options() const { return options_; }
  const std::vector<DiagProfileRow>& DiagProfiles() const { return rows_; }
  bool TestRunning() const { return testRunning_; }
  int TestTicks() const { return testTicks_; }

  QCheckBox* CcxBox() const { return ccx_; }
  QCheckBox* RadioMeasurementBox() const { return radio_; }
  QCheckBox* NonServingBox() const { return nonServing_; }
  QCheckBox* NetworkEapBox() const { return networkEap_; }
  QCheckBox* CacBox() const { return cac_; }
  QCheckBox* RfRoamBox() const { return rfRoam_; }
  QLineEdit* LimitEdit() const { return limit_; }
  QPushButton* ApplyButton() const { return apply_; }
  QComboBox* ProfileCombo() const { return profiles_; }
  QLabel* ProfileNameValue() const { return nameValue_; }
  QLabel* SsidValue() const { return ssidValue_; }
  QLabel* CapableValue() const { return capableValue_; }
  QPushButton* DiagnoseButton() const { return diagnose_; }
  QComboBox* CacCombo() const { return cacCombo_; }
  QPushButton* CacSetButton() const { return cacSet_; }

 private:
  void LoadOptions();
  void FillDiagnosticProfiles();
  void ShowSelectedProfile();
  void ReadControls();
  void PushControls();
  void UpdateControls();
  void OnWatchdogTick();
  void EndTest();
  void Log(const QString& line);
  void RevealLog();
  CAuthenStatusDlg* StatusLog();
  CcxDiagnostics& Diagnostics();

  CcxOptions options_;
  std::vector<DiagProfileRow> rows_;
  bool testRunning_ = false;
  int testTicks_ = 0;
  bool pushing_ = false;
  std::unique_ptr<CcxDiagnostics> diagnosticsOverride_;
  std::unique_ptr<CcxDiagnostics> clientDiagnostics_;

  QCheckBox* ccx_ = nullptr;
  QCheckBox* cckm_ = nullptr;
  QCheckBox* radio_ = nullptr;
  QCheckBox* nonServing_ = nullptr;
  QLineEdit* limit_ = nullptr;
  QLabel* limitUnit_ = nullptr;
  QCheckBox* networkEap_ = nullptr;
  QCheckBox* cac_ = nullptr;
  QCheckBox* rotate_ = nullptr;
  QPushButton* mfp_ = nullptr;
  QCheckBox* rfRoam_ = nullptr;
  QCheckBox* bit29_ = nullptr;
  QPushButton* apply_ = nullptr;
  QGroupBox* diagGroup_ = nullptr;
  QComboBox* profiles_ = nullptr;
  QLabel* nameValue_ = nullptr;
  QLabel* ssidValue_ = nullptr;
  QLabel* capableValue_ = nullptr;
  QPushButton* diagnose_ = nullptr;
  QComboBox* cacCombo_ = nullptr;
  QPushButton* cacSet_ = nullptr;
  std::vector<QWidget*> optionLabels_;
};

QWidget* MakeCcxConfigPage(const PageContext& context, QWidget* parent);

}  // namespace ov
