#include "radio/block_ack_panels.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "driver/oid/oid_requests.h"
#include "nativewifi/native_wifi_client.h"
#include "platform/system/mac_address.h"
#include "radio/block_ack_rules.h"
#include "radio/text_rows_list.h"
#include "shell/ui/control_ids.h"
#include "shell/ui/main_window.h"
#include "shell/ui/ui_text.h"

namespace ov {

namespace {

constexpr int kPeerListWidth = 220;

}  // namespace

CBlockAckPanel::CBlockAckPanel(const PageContext& context, QWidget* parent, int dialogTemplate)
    : PageWidget(context, parent) {
  setObjectName(ControlName(dialogTemplate));
  auto* top = new QHBoxLayout(this);
  top->setContentsMargins(16, 10, 16, 10);
  top->setSpacing(24);

  form_ = new QGridLayout;
  form_->setVerticalSpacing(8);
  tidLabel_ = new QLabel(UiText(IDS_ADD_BLOCKACK_TID), this);
  tid_ = new QComboBox(this);
  for (int tid = 0; tid < 8; ++tid) tid_->addItem(QString::number(tid));
  tid_->setCurrentIndex(0);
  tid_->setFixedWidth(64);
  form_->addWidget(tidLabel_, 0, 0);
  form_->addWidget(tid_, 0, 1, Qt::AlignLeft);
  form_->setRowStretch(4, 1);
  top->addLayout(form_);

  auto* peerColumn = new QVBoxLayout;
  peerColumn->setSpacing(4);
  auto* peerLabel = new QLabel(UiText(IDS_ADD_BLOCKACK_AVAIL_BSSID), this);
  peerLabel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  peerColumn->addWidget(peerLabel);
  peers_ = new TextRowsList(QStringList{QStringLiteral("BSSID")}, {1.0}, kPeerListWidth, false, this);
  peers_->setFixedHeight(120);
  peerColumn->addWidget(peers_);
  peerColumn->addStretch();
  top->addLayout(peerColumn);

  auto* buttons = new QVBoxLayout;
  confirm_ = new QPushButton(UiText(IDS_ADD_BLOCKACK_CONFIRM), this);
  cancel_ = new QPushButton(UiText(IDS_ADD_BLOCKACK_CANCEL), this);
  for (QPushButton* button : {confirm_, cancel_}) {
    button->setAutoDefault(false);
    button->setFixedWidth(100);
    buttons->addWidget(button);
  }
  buttons->addStretch();
  top->addLayout(buttons);
  top->addStretch();

  connect(confirm_, &QPushButton::clicked, this, [this] { OnConfirm(); });
  connect(cancel_, &QPushButton::clicked, this, &CBlockAckPanel::OnCancel);
}

void CBlockAckPanel::LoadValues() {
  peers_->Rows().rows.clear();
  if (OidRequester* driver = Services().driver) {
    PeerTable table;
    QueryPeerTable(*driver, table);
    std::optional<MacAddress> current;
    MacAddress bssid{};
    if (NativeWifiClient* wifi = Services().wifi; wifi != nullptr && wifi->GetCurrentBssid(bssid)) {
      current = bssid;
    }
    for (const MacAddress& peer : BlockAckPeers(table, current)) {
      peers_->Rows().rows.push_back({FormatMacAddress(peer)});
    }
  }
  peers_->Reset();
  if (!peers_->Rows().rows.empty()) peers_->selectRow(0);
}

std::optional<BlockAckRequest> CBlockAckPanel::RequestOfSelection() {
  const int row = peers_->SelectedRow();
  std::optional<MacAddress> peer;
  if (row >= 0) peer = ParseMacText(peers_->CellText(row, 0).toStdString());
  if (!peer) {
    RejectInput(UiText(IDS_ADD_BLOCKACK_BSSID_ERR_MSG), peers_);
    return std::nullopt;
  }
  BlockAckRequest request;
  request.Role = originator_ ? BLOCK_ACK_ORIGINATOR : BLOCK_ACK_RECIPIENT;
  request.Peer = *peer;
  request.Tid = static_cast<uint8_t>(std::max(0, tid_->currentIndex()));
  return request;
}

void CBlockAckPanel::Close() { Window().ShowLowerPanel(LOWER_PANEL_LINK_STATUS); }

void CBlockAckPanel::OnCancel() { Close(); }

// ---- Add ----

CAddBlockAckDlg::CAddBlockAckDlg(const PageContext& context, QWidget* parent)
    : CBlockAckPanel(context, parent, IDD_ADD_BLOCK_ACK_DLG) {
  window_ = new QLineEdit(QString::number(kDefaultBlockAckWindow), this);
  window_->setValidator(new QIntValidator(1, kMaxBlockAckWindow, window_));
  window_->setMaxLength(2);
  window_->setFixedWidth(64);
  auto* windowLabel = new QLabel(UiText(IDS_ADD_BLOCKACK_WINDOW_SIZE), this);
  windowLabel->setBuddy(window_);
  Form()->addWidget(windowLabel, 1, 0);
  Form()->addWidget(window_, 1, 1, Qt::AlignLeft);
}

void CAddBlockAckDlg::OnConfirm() {
  std::optional<BlockAckRequest> request = RequestOfSelection();
  if (!request) return;
  // A window the agreement cannot have is refused here rather than cut to its low byte.
  bool number = false;
  const int size = window_->text().toInt(&number);
  if (!number || size < 1 || size > kMaxBlockAckWindow) {
    RejectInput(QStringLiteral("Please enter a window size between 1 and %1.").arg(kMaxBlockAckWindow),
                window_);
    return;
  }
  request->WindowSize = static_cast<uint8_t>(size);
  if (OidRequester* driver = Services().driver) SetBaTable(*driver, *request);
  Close();
}

// ---- Delete ----

CDeleteBlockAckDlg::CDeleteBlockAckDlg(const PageContext& context, QWidget* parent)
    : CBlockAckPanel(context, parent, IDD_DELETE_BLOCK_ACK_DLG) {}

void CDeleteBlockAckDlg::LoadValues() {
  CBlockAckPanel::LoadValues();
  TidList()->setVisible(single_);
  TidLabel()->setVisible(single_);
}

void CDeleteBlockAckDlg::OnConfirm() {
  std::optional<BlockAckRequest> request = RequestOfSelection();
  if (!request) return;
  request->DeleteAll = single_ ? 0 : 1;
  if (OidRequester* driver = Services().driver) SetDeleteBa(*driver, *request);
  Close();
}

QWidget* MakeAddBlockAckPanel(const PageContext& context, QWidget* parent) {
  return new CAddBlockAckDlg(context, parent);
}

QWidget* MakeDeleteBlockAckPanel(const PageContext& context, QWidget* parent) {
  return new CDeleteBlockAckDlg(context, parent);
}

}  // namespace ov
