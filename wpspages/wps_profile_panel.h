#pragma once
#include <array>
#include <functional>

#include "driver/oid/wps_records.h"
#include "shell/ui/page_contract.h"
#include "wps/wps_credential_rules.h"
#include "wps/wps_registrar.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;

// CPageWPSProfile, lower panel 6: one WPS credential. In enrollee mode it shows the credential's
// texts (Profile Detail); in registrar mode it is the editor of credential 0, the credential the
// adapter hands an access point: OK checks the key, asks before an open network without
// encryption, writes credential 0 into the action queue's WPS table, resets the applied indexes,
// marks the WPS use, saves the WPS store and says so through credentialSaved.
namespace ov {

class CInfoWnd;
class FilteringEdit;

inline constexpr int IDD_WPS_PROFILE = 247;

class CPageWPSProfile : public PageWidget {
  Q_OBJECT

 public:
  // The fields of both modes; the four choices are combo boxes in registrar mode and texts
  // otherwise.
  enum class Choice { Auth = 0, Encryption, KeyLength, KeyIndex, Count };
  static constexpr int kChoiceCount = static_cast<int>(Choice::Count);

  // "Your configuration is not secure": true for OK.
  using AskOkCancel = std::function<bool(const QString& question, QWidget* parent)>;

  CPageWPSProfile(const PageContext& context, QWidget* parent);
  ~CPageWPSProfile() override;

  // What the panel shows next: `credential` as texts, or in registrar mode (config mode 1) as
  // the editor's choices.
  void ShowCredential(const WpsCredential& credential, int configMode);
  // Re-applies the "ShowPassword" option to the key; the rest stays as ShowCredential left it.
  void LoadValues() override;

  // Registrar mode: true when credential 0 was written and saved. Enrollee mode: closes.
  bool OnOK();
  // Back to the link status; nothing is written.
  void OnCancel();

  void SetAskOkCancel(AskOkCancel ask) { ask_ = std::move(ask); }

  bool Editing() const { return editing_; }
  QLineEdit* SsidEdit() const { return ssid_; }
  QLineEdit* MacText() const { return mac_; }
  QComboBox* ChoiceCombo(Choice c) const { return combos_[static_cast<int>(c)]; }
  QLineEdit* ChoiceText(Choice c) const { return texts_[static_cast<int>(c)]; }
  FilteringEdit* KeyEdit() const { return key_; }
  QCheckBox* ShowPasswordBox() const { return showPassword_; }
  QCheckBox* AsciiFormatBox() const { return ascii_; }
  QPushButton* OkButton() const { return ok_; }
  QPushButton* CancelButton() const { return cancel_; }
  CInfoWnd* Note() const { return note_; }

 signals:
  // Credential 0 was written and the store saved: the WPS page refills its profile list.
  void credentialSaved();

 private:
  void BuildLayout();
  void ShowDetail();
  void ShowEditor();
  void FillEncryptionCombo();
  void ReadEditor();
  void ApplyKeyRules();
  void ApplyEchoMode();
  void ShowDetailKey();
  void OnAuthChosen();
  void OnWepLengthChosen();
  void OnAsciiClicked(bool ascii);

  WpsCredential credential_{};
  WpsCredentialDetail detail_;
  RegistrarEditorInput input_;
  bool editing_ = false;
  bool showing_ = false;  // the controls are being written, not changed by the user
  bool encryptionForOpen_ = false;  // the encryption combo holds None/WEP (else TKIP/AES)
  AskOkCancel ask_;

  QLabel* title_ = nullptr;
  QLineEdit* ssid_ = nullptr;
  QLineEdit* mac_ = nullptr;
  std::array<QStackedWidget*, kChoiceCount> stacks_{};
  std::array<QComboBox*, kChoiceCount> combos_{};
  std::array<QLineEdit*, kChoiceCount> texts_{};
  FilteringEdit* key_ = nullptr;
  QCheckBox* showPassword_ = nullptr;
  QCheckBox* ascii_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
  CInfoWnd* note_ = nullptr;
};

QWidget* MakeWpsProfilePanel(const PageContext& context, QWidget* parent);

// Profile Detail of the WPS page: the credential shown is credential 0 in registrar mode and
// the selected row's otherwise; panel 6 is filled with it and shown, and the window switched to
// its expanded layout. False, with nothing changed, without a selection (`selectedRow` -1),
// for a row past the table's count, or without the panel.
bool ShowWpsProfileDetail(COvUI2007Dlg& window, const WpsCredentialTable& table, int selectedRow,
                          int configMode);

}  // namespace ov
