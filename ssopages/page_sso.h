#pragma once
#include <array>

#include "shell/ui/page_contract.h"
#include "ssopages/sso_page_rules.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

// CPageSSODlg: configures the logon component for single sign-on — on or off, where the logon
// credentials come from, and which registry-held LEAP or EAP-FAST station profile it uses. Its
// Apply also makes that profile the adapter's current one. The rules are sso_page_rules; the
// page reads its controls into the model, runs a rule and shows the model.
namespace ov {

inline constexpr int IDC_SSO_ENABLE = 1330;
inline constexpr int IDC_SSO_CREDENTIAL_FIRST = 1332;  // 1332..1334
inline constexpr int IDC_SSO_PROFILE_GROUP = 1338;
inline constexpr int IDC_SSO_PROFILE_LABEL = 1339;
inline constexpr int IDC_SSO_PROFILE_LIST = 1340;
inline constexpr int IDC_SSO_APPLY = 1136;
inline constexpr int IDC_SSO_INFO_GROUP = 1341;
inline constexpr int IDC_SSO_NAME_VALUE = 1345;
inline constexpr int IDC_SSO_SSID_VALUE = 1346;
inline constexpr int IDC_SSO_AUTH_VALUE = 1347;

class CPageSSODlg : public PageWidget {
  Q_OBJECT

 public:
  CPageSSODlg(const PageContext& context, QWidget* parent);

  void LoadValues() override;

  void OnEnableClicked();
  void OnCredentialClicked(int source);
  void OnProfileChanged(int index);
  void OnApply();

  const SsoPageModel& Model() const { return model_; }
  QCheckBox* EnableBox() const { return enable_; }
  QRadioButton* CredentialRadio(int source) const { return credentials_[static_cast<size_t>(source)]; }
  QComboBox* ProfileList() const { return profiles_; }
  QPushButton* ApplyButton() const { return apply_; }
  QLabel* NameValue() const { return nameValue_; }
  QLabel* SsidValue() const { return ssidValue_; }
  QLabel* AuthenticationValue() const { return authValue_; }

 private:
  const std::string& AdapterKey() const;
  void ShowModel();
  void MarkProfileApplied();

  SsoPageModel model_;
  bool showing_ = false;  // ShowModel is writing the controls

  QCheckBox* enable_ = nullptr;
  std::array<QRadioButton*, 3> credentials_{};
  QGroupBox* profileGroup_ = nullptr;
  QLabel* profileLabel_ = nullptr;
  QComboBox* profiles_ = nullptr;
  QPushButton* apply_ = nullptr;
  QGroupBox* infoGroup_ = nullptr;
  std::array<QLabel*, 3> infoLabels_{};
  QLabel* nameValue_ = nullptr;
  QLabel* ssidValue_ = nullptr;
  QLabel* authValue_ = nullptr;
};

QWidget* MakeSsoPage(const PageContext& context, QWidget* parent);

}  // namespace ov
