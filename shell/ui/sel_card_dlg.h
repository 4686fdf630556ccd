#pragma once
#include <QDialog>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "driver/discovery/adapter_chooser.h"

class QComboBox;
class QLineEdit;

// Lets the user pick one adapter when discovery finds several. The monitor wraps it in
// BusyWhileChoosing so its ticks wait while the choice is open.
namespace ov {

class CSelCardDlg : public QDialog, public AdapterChooser {
  Q_OBJECT

 public:
  explicit CSelCardDlg(QWidget* parent = nullptr);

  // Lists the candidates, shows the first one's details and runs modally. The position of the
  // candidate chosen with OK, or nothing when the dialog was closed without it.
  std::optional<size_t> ChooseAdapter(std::span<const AdapterCandidate> candidates) override;

  // The dialog's parts, for the choice above and for tests that drive it.
  void SetCandidates(std::span<const AdapterCandidate> candidates);
  // The position chosen with OK (nothing until then).
  std::optional<size_t> Chosen() const { return chosen_; }

  void accept() override;

 private:
  void ShowDetails(int index);

  std::vector<AdapterCandidate> candidates_;
  std::optional<size_t> chosen_;
  QComboBox* list_ = nullptr;
  QLineEdit* description_ = nullptr;
  QLineEdit* hardwareId_ = nullptr;
  QLineEdit* location_ = nullptr;
  QLineEdit* manufacturer_ = nullptr;
};

// The dialog made only when a choice is asked for: most machines have one adapter, and the
// program's start does not pay for a dialog it never shows.
class SelCardOnDemand final : public AdapterChooser {
 public:
  std::optional<size_t> ChooseAdapter(std::span<const AdapterCandidate> candidates) override {
    if (!dialog_) dialog_ = std::make_unique<CSelCardDlg>();
    return dialog_->ChooseAdapter(candidates);
  }

 private:
  std::unique_ptr<CSelCardDlg> dialog_;
};

}  // namespace ov
