#pragma once
#include "shell/ui/control_ids.h"
#include "shell/ui/page_contract.h"

class QLineEdit;
class QPushButton;

// CHiddenSsidDlg, lower panel 1: asks for the name of the hidden network the site survey's
// Connect chose. OK hands the trimmed name back to the survey, which connects or opens the
// security editor; Cancel goes back to the link status.
namespace ov {

inline constexpr int IDD_HIDDEN_SSID_DLG = 180;

class CHiddenSsidDlg : public PageWidget {
  Q_OBJECT

 public:
  CHiddenSsidDlg(const PageContext& context, QWidget* parent);

  // Each show starts from an empty name, with the cursor in it.
  void LoadValues() override;

  void OnOk();
  void OnCancel();

  QLineEdit* SsidEdit() const { return edit_; }
  QPushButton* OkButton() const { return ok_; }
  QPushButton* CancelButton() const { return cancel_; }

 private:
  QLineEdit* edit_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

QWidget* MakeHiddenSsidPanel(const PageContext& context, QWidget* parent);

}  // namespace ov
