#pragma once
#include <optional>
#include <string>

#include "profilepages/peap_prompt_rules.h"
#include "profilepages/profile_editor_entry.h"
#include "shell/ui/page_contract.h"

class QEventLoop;
class QLabel;
class QLineEdit;
class QPushButton;

// CPeapSettingDlg, lower panel 8: the PEAP credential prompt. It asks, in one of three forms, for
// an identity and a password while its caller waits in a modal loop; OK hands both back and the
// lower frame returns to the link status. Cancel, another panel taking the frame, or the window
// going away end the wait with no answer.
namespace ov {

class COvUI2007Dlg;

inline constexpr int IDD_PEAP_SETTING = 165;
inline constexpr int IDC_PEAP_IDENTITY = 1102;
inline constexpr int IDC_PEAP_PASSWORD = 1104;

class CPeapSettingDlg : public PageWidget, public PeapPromptPanel {
  Q_OBJECT

 public:
  CPeapSettingDlg(const PageContext& context, QWidget* parent);
  ~CPeapSettingDlg() override;

  // The form of the request last prepared; showing keeps it (the caller prepares, then shows).
  void LoadValues() override;

  // Sets the form up for `request`, clears the password.
  void Prepare(const PeapPromptRequest& request);
  // Prepares, shows the panel (expanding the window) and waits until the prompt ends.
  std::optional<PeapPromptAnswer> Run(const PeapPromptRequest& request) override;
  bool Running() const { return loop_ != nullptr; }

  // OK: false (with the message shown) when the answer is refused.
  bool OnOk();
  void OnCancel();

  const PeapPromptLayout& Layout() const { return layout_; }
  QLabel* TitleLabel() const { return title_; }
  QLabel* DescriptionLabel() const { return description_; }
  QLabel* IdentityLabel() const { return identityLabel_; }
  QLabel* PasswordLabel() const { return passwordLabel_; }
  QLineEdit* IdentityEdit() const { return identity_; }
  QLineEdit* PasswordEdit() const { return password_; }
  QPushButton* OkButton() const { return ok_; }
  QPushButton* CancelButton() const { return cancel_; }

 protected:
  void hideEvent(QHideEvent* event) override;

 private:
  void Finish(std::optional<PeapPromptAnswer> answer);

  PeapPromptRequest request_;
  PeapPromptLayout layout_;
  QLabel* title_ = nullptr;
  QLabel* description_ = nullptr;
  QLabel* identityLabel_ = nullptr;
  QLabel* passwordLabel_ = nullptr;
  QLineEdit* identity_ = nullptr;
  QLineEdit* password_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QEventLoop* loop_ = nullptr;
  std::optional<PeapPromptAnswer> answer_;
};

QWidget* MakePeapSettingPanel(const PageContext& context, QWidget* parent);

}  // namespace ov
