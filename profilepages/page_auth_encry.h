#pragma once
#include <QWidget>
#include <array>
#include <functional>

#include "profilepages/page_auth_encry_rules.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;

// CPageAuthEncryDlg, the authentication and security tab of the profile editor and of the
// connection security editor. Its rules are page_auth_encry_rules; this class reads the controls
// into an AuthEncryState, runs the rule and shows the state again.
namespace ov {

class CInfoWnd;
class FilteringEdit;
class TimerService;

inline constexpr int IDD_PAGE_AUTH_ENCRY = 182;

class CPageAuthEncryDlg : public QWidget {
  Q_OBJECT

 public:
  // What the page reads from its host and the monitor, asked each time it is needed.
  struct Inputs {
    std::function<SecurityContext()> context;
    std::function<bool()> showPasswordOption;  // the program option "ShowPassword"
    // The 802.1X page's EAP method, which an enterprise choice may change.
    std::function<uint32_t&()> eapMethod;
  };

  CPageAuthEncryDlg(bool hostedByEditor, TimerService* timers, Inputs inputs,
                    QWidget* parent = nullptr);
  ~CPageAuthEncryDlg() override;

  // Entry points of the hosts.
  void ResetForAdd();
  void ReapplyLoaded(const AuthEncryState& loaded);
  void PresetFromSurvey(const SurveyedSecurity& network, bool requirePrivacy);
  void SetInfrastructure(bool infrastructure);
  // Validate: false after the reason was shown beside the field (the note, for 4 s).
  bool Validate();

  // The page's fields, read from the controls.
  const AuthEncryState& Fields();

  // The menu commands, as the drop-downs send them.
  void ChooseAuth(AuthChoice choice);
  void ChooseCipher(CipherChoice choice);
  void ChooseKeyFormat(int key, bool hex);
  void ChooseWapiKeyFormat(bool hex);

  // Controls, for the hosts' focus and for tests.
  QPushButton* AuthButton() const { return authButton_; }
  QPushButton* CipherButton() const { return cipherButton_; }
  QMenu* AuthMenu() const { return authMenu_; }
  QMenu* CipherMenu() const { return cipherMenu_; }
  QCheckBox* Use8021XBox() const { return use8021X_; }
  QRadioButton* KeyRadio(int k) const { return keyRadios_[k]; }
  QPushButton* KeyFormatButton(int k) const { return keyFormat_[k]; }
  FilteringEdit* KeyEdit(int k) const { return keyEdits_[k]; }
  FilteringEdit* PskEdit() const { return psk_; }
  QPushButton* WapiKeyFormatButton() const { return wapiFormat_; }
  QCheckBox* ShowPasswordBox() const { return showPassword_; }
  QLineEdit* LeapUserEdit() const { return leapUser_; }
  QLineEdit* LeapPasswordEdit() const { return leapPassword_; }
  QLineEdit* LeapDomainEdit() const { return leapDomain_; }
  QRadioButton* LeapEncryptionRadio(int i) const { return leapRadios_[i]; }
  CInfoWnd* Note() const { return note_; }

 signals:
  // The choices changed what the host's 802.1X and WAPI tab buttons allow.
  void tabsChanged(bool tab8021XEnabled, bool tabWapiEnabled);
  // Validate wants the host's security tab in front.
  void bringForward();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildLayout();
  void ReadControls();
  void ShowState();
  void ApplyEchoModes();
  void ApplyKeyFormats();
  void EnableAuthMenu();
  void EnableCipherMenu();
  uint32_t& EapMethod();

  bool hostedByEditor_;
  Inputs inputs_;
  AuthEncryState state_;
  uint32_t ownEapMethod_ = kEapMethodPeap;  // without an 802.1X page
  bool showing_ = false;                    // ShowState is writing the controls

  QLabel* authLabel_ = nullptr;
  QPushButton* authButton_ = nullptr;
  QMenu* authMenu_ = nullptr;
  QLabel* cipherLabel_ = nullptr;
  QPushButton* cipherButton_ = nullptr;
  QMenu* cipherMenu_ = nullptr;
  QCheckBox* use8021X_ = nullptr;
  QLabel* pskLabel_ = nullptr;
  FilteringEdit* psk_ = nullptr;
  QPushButton* wapiFormat_ = nullptr;
  QCheckBox* showPassword_ = nullptr;
  QWidget* keySeparator_ = nullptr;
  QButtonGroup* keyGroup_ = nullptr;
  std::array<QRadioButton*, 4> keyRadios_{};
  std::array<QPushButton*, 4> keyFormat_{};
  std::array<FilteringEdit*, 4> keyEdits_{};
  std::array<QLabel*, 3> leapLabels_{};
  QLineEdit* leapUser_ = nullptr;
  QLineEdit* leapPassword_ = nullptr;
  QLineEdit* leapDomain_ = nullptr;
  QButtonGroup* leapGroup_ = nullptr;
  std::array<QRadioButton*, 3> leapRadios_{};
  CInfoWnd* note_ = nullptr;
};

}  // namespace ov
