#pragma once
#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "profilepages/certificate_store.h"
#include "profilepages/page_8021x_rules.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QStackedWidget;

namespace ov {
class CPageProfileSSODlg;
}

// CPage8021XDlg, the 802.1X tab of the profile editor and of the connection security editor:
// the EAP and inner-method menus and five sub-pages in its own tab strip. Its rules are
// page_8021x_rules; the record's fields are the model, the controls show and edit them.
namespace ov {

inline constexpr int IDD_PAGE_8021X = 183;

class CPage8021XDlg : public QWidget {
  Q_OBJECT

 public:
  struct Inputs {
    std::function<bool()> showPasswordOption;  // the program option "ShowPassword"
    std::function<bool()> eapFastEnhancement;  // "Advance"/"EAPFastEnhancement" = "1"
    std::function<QString()> pickPacFile;      // empty: a file-open dialog on "*.pac"
    std::string personalCertFolder;            // empty: PersonalCertFolder()
    std::string trustBundle;                   // empty: SystemTrustBundle()
  };

  explicit CPage8021XDlg(Inputs inputs = {}, QWidget* parent = nullptr);

  // Entry points of the hosts.
  void Reset();
  void ReapplyLoaded(const EapFields& loaded);
  // The fields, read from the controls.
  EapFields& Fields();
  // The method the security page may change (MD5-Challenge becomes PEAP for WPA).
  uint32_t& EapMethod() { return fields_.authenProtocol; }
  // The message of the first failing check (already read from the controls); none passes.
  std::optional<QString> Validate();

  // The menu commands.
  void ChooseMethod(uint32_t method);
  void ChoosePeapInner(uint32_t innerEapType);
  void ChooseTtlsInner(uint32_t menuIndex);
  void ChooseProvisioningTunnel(uint32_t innerEapType);
  void SelectSubTab(EapSubTab tab);

  // Controls, for tests.
  QPushButton* MethodButton() const { return methodButton_; }
  QMenu* MethodMenu() const { return methodMenu_; }
  QPushButton* InnerButton() const { return innerButton_; }
  QMenu* InnerMenuOf(InnerMenu menu) const { return menu == InnerMenu::Ttls ? ttlsMenu_ : peapMenu_; }
  QPushButton* SubTabButton(EapSubTab tab) const { return tabButtons_[static_cast<size_t>(tab)]; }
  QWidget* SubPage(EapSubTab tab) const { return pages_[static_cast<size_t>(tab)]; }
  EapSubTab CurrentSubTab() const { return current_; }
  QLineEdit* IdentityEdit() const { return identity_; }
  QLineEdit* PasswordEdit() const { return password_; }
  QLineEdit* TunnelIdEdit() const { return tunnelId_; }
  QLineEdit* TunnelPasswordEdit() const { return tunnelPassword_; }
  QLineEdit* DomainEdit() const { return domain_; }
  QRadioButton* PasswordModeRadio(int mode) const { return modeRadios_[static_cast<size_t>(mode)]; }
  QCheckBox* ShowPasswordBox() const { return showPassword_; }
  QCheckBox* UseClientCertBox() const { return useClientCert_; }
  QComboBox* ClientCertCombo() const { return clientCombo_; }
  QLabel* ClientCertText(int i) const { return certTexts_[static_cast<size_t>(i)]; }
  QCheckBox* UseServerCertBox() const { return useServerCert_; }
  QComboBox* ServerCaCombo() const { return serverCombo_; }
  QLineEdit* ServerNameEdit() const { return serverName_; }
  QRadioButton* NameRuleRadio(int rule) const { return nameRules_[static_cast<size_t>(rule)]; }
  CPageProfileSSODlg* SsoPage() const { return ssoPage_; }
  QLabel* PacPathLabel() const { return pacPath_; }
  QPushButton* PacImportButton() const { return pacImport_; }
  QPushButton* PacRemoveButton() const { return pacRemove_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildLayout();
  QWidget* BuildCredentialsPage();
  QWidget* BuildEapFastPage();
  QWidget* BuildClientCertPage();
  QWidget* BuildServerCertPage();
  void ReadControls();
  void ShowState();
  void ApplyEchoModes();
  void FillClientCerts();
  void FillServerCas();
  void ShowClientCert(int index);
  bool FastEnhancement() const { return inputs_.eapFastEnhancement && inputs_.eapFastEnhancement(); }

  Inputs inputs_;
  EapFields fields_;
  EapSubTab current_ = EapSubTab::Credentials;
  bool showing_ = false;  // ShowState is writing the controls
  bool serverListStale_ = true;
  std::vector<CertDesc> clientCerts_;
  std::vector<CertDesc> serverCas_;

  QPushButton* methodButton_ = nullptr;
  QMenu* methodMenu_ = nullptr;
  QLabel* innerLabel_ = nullptr;
  QPushButton* innerButton_ = nullptr;
  QMenu* peapMenu_ = nullptr;
  QMenu* ttlsMenu_ = nullptr;
  QCheckBox* sessionResumption_ = nullptr;
  std::array<QPushButton*, 5> tabButtons_{};
  std::array<QWidget*, 5> pages_{};
  QStackedWidget* stack_ = nullptr;

  std::array<QLabel*, 5> credentialLabels_{};
  QLineEdit* identity_ = nullptr;
  QLineEdit* password_ = nullptr;
  QLineEdit* tunnelId_ = nullptr;
  QLineEdit* tunnelPassword_ = nullptr;
  QLineEdit* domain_ = nullptr;
  QLabel* modeLabel_ = nullptr;
  QButtonGroup* modeGroup_ = nullptr;
  std::array<QRadioButton*, 4> modeRadios_{};
  QCheckBox* showPassword_ = nullptr;

  QCheckBox* provisionMode_ = nullptr;
  QCheckBox* usePac_ = nullptr;
  QPushButton* provisioningButton_ = nullptr;
  QLabel* pacPath_ = nullptr;
  QPushButton* pacImport_ = nullptr;
  QPushButton* pacRemove_ = nullptr;

  QCheckBox* useClientCert_ = nullptr;
  QComboBox* clientCombo_ = nullptr;
  std::array<QLabel*, 4> certCaptions_{};
  std::array<QLabel*, 4> certTexts_{};
  QButtonGroup* cardGroup_ = nullptr;
  std::array<QRadioButton*, 2> cardRadios_{};

  QCheckBox* useServerCert_ = nullptr;
  QComboBox* serverCombo_ = nullptr;
  QCheckBox* intermediate_ = nullptr;
  QLabel* serverNameLabel_ = nullptr;
  QLineEdit* serverName_ = nullptr;
  QButtonGroup* nameRuleGroup_ = nullptr;
  std::array<QRadioButton*, 2> nameRules_{};

  CPageProfileSSODlg* ssoPage_ = nullptr;
};

}  // namespace ov
