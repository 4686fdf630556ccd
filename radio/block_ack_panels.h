#pragma once
#include <optional>
#include <vector>

#include "driver/oid/qos_records.h"
#include "shell/ui/page_contract.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

// The lower panels that ask the driver for a block-ack agreement (CAddBlockAckDlg, panel 9) and
// tear one down (CDeleteBlockAckDlg, panel 10). The 802.11n page sets the role (and, for the
// delete panel, single or all) before it shows them; each show lists the driver's peers with the
// current access point first. Confirm and Cancel give the lower frame back to the link status.
namespace ov {

class TextRowsList;

inline constexpr int IDD_ADD_BLOCK_ACK_DLG = 3242;
inline constexpr int IDD_DELETE_BLOCK_ACK_DLG = 3245;
inline constexpr int kDefaultBlockAckWindow = 32;
// The largest receive window a block-ack agreement can have.
inline constexpr int kMaxBlockAckWindow = 64;

// What both panels share: the TID list, the peer list, the role, Confirm and Cancel.
class CBlockAckPanel : public PageWidget {
  Q_OBJECT

 public:
  CBlockAckPanel(const PageContext& context, QWidget* parent, int dialogTemplate);

  // Show: the peer list rebuilt from the driver's peer table.
  void LoadValues() override;

  void SetOriginator(bool originator) { originator_ = originator; }
  bool Originator() const { return originator_; }

  QComboBox* TidList() const { return tid_; }
  QLabel* TidLabel() const { return tidLabel_; }
  TextRowsList* PeerList() const { return peers_; }
  QPushButton* ConfirmButton() const { return confirm_; }
  QPushButton* CancelButton() const { return cancel_; }

  virtual void OnConfirm() = 0;
  void OnCancel();

 protected:
  // The request of the selected peer and TID; nothing (after the message) without a peer.
  std::optional<BlockAckRequest> RequestOfSelection();
  void Close();
  // Rows of the form the subclass adds its own controls to.
  QGridLayout* Form() const { return form_; }

 private:
  bool originator_ = true;
  QGridLayout* form_ = nullptr;
  QLabel* tidLabel_ = nullptr;
  QComboBox* tid_ = nullptr;
  TextRowsList* peers_ = nullptr;
  QPushButton* confirm_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

class CAddBlockAckDlg : public CBlockAckPanel {
  Q_OBJECT

 public:
  CAddBlockAckDlg(const PageContext& context, QWidget* parent);
  void OnConfirm() override;
  QLineEdit* WindowSizeEdit() const { return window_; }

 private:
  QLineEdit* window_ = nullptr;
};

class CDeleteBlockAckDlg : public CBlockAckPanel {
  Q_OBJECT

 public:
  CDeleteBlockAckDlg(const PageContext& context, QWidget* parent);
  void LoadValues() override;
  void OnConfirm() override;
  // Single agreement (the TID list) or all of the peer's (the list hidden).
  void SetSingle(bool single) { single_ = single; }
  bool Single() const { return single_; }

 private:
  bool single_ = true;
};

QWidget* MakeAddBlockAckPanel(const PageContext& context, QWidget* parent);
QWidget* MakeDeleteBlockAckPanel(const PageContext& context, QWidget* parent);

}  // namespace ov
