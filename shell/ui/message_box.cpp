#include "shell/ui/message_box.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "shell/ui/control_ids.h"
#include "shell/ui/shell_icons.h"
#include "shell/ui/ui_text.h"
#include "widgets/modal_guard.h"

namespace ov {

namespace {
constexpr char kMessageBoxCaption[] = "Tamrin Wireless Utility";
constexpr char kMessageBoxFace[] = "Microsoft Sans Serif";
constexpr int kMessageBoxPointSize = 8;
}  // namespace

CMessageBoxDlg::CMessageBoxDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(ControlName(IDD_MESSAGE_BOX));
  setWindowTitle(QString::fromLatin1(kMessageBoxCaption));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  QFont font(QString::fromLatin1(kMessageBoxFace));
  font.setPointSize(kMessageBoxPointSize);
  setFont(font);

  auto* icon = new QLabel(this);
  icon->setObjectName(ControlName(IDI_MESSAGE_BOX));
  icon->setPixmap(BitmapIcon(IDI_MESSAGE_BOX).pixmap(32, 32));
  icon->setAlignment(Qt::AlignTop);

  text_ = new QLabel(this);
  text_->setObjectName(ControlName(IDC_MESSAGE_TEXT));
  text_->setWordWrap(true);
  text_->setTextFormat(Qt::PlainText);  // messages quote user input (names, SSIDs) verbatim
  text_->setMinimumWidth(240);
  text_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  ok_ = new QPushButton(this);
  ok_->setObjectName(ControlName(IDOK_BUTTON));
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &CMessageBoxDlg::accept);

  auto* body = new QHBoxLayout;
  body->addWidget(icon);
  body->addWidget(text_, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok_);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(body);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CMessageBoxDlg::SetMessage(const QString& text) { text_->setText(text); }

QString CMessageBoxDlg::Message() const { return text_->text(); }

void CMessageBoxDlg::showEvent(QShowEvent* event) {
  // The button's caption is the table's, read when the box starts.
  ok_->setText(UiText(IDS_OK));
  QDialog::showEvent(event);
}

void CMessageBoxDlg::CenterOverOwner() {
  ok_->setText(UiText(IDS_OK));
  adjustSize();
  QRect area;
  if (QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr) {
    area = owner->frameGeometry();
  } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
    area = screen->geometry();
  }
  if (area.isValid()) move(area.center() - QPoint(width() / 2, height() / 2));
}

void CMessageBoxDlg::accept() { done(kMessageBoxOk); }

void CMessageBoxDlg::reject() { done(kMessageBoxClosed); }

namespace {
bool* messageBusyFlag = nullptr;
}  // namespace

void BindMessageBusyFlag(bool* busy) { messageBusyFlag = busy; }

void UnbindMessageBusyFlag(const bool* busy) {
  if (messageBusyFlag == busy) messageBusyFlag = nullptr;
}

int ShowMessage(const QString& text, QWidget* parent) {
  // The monitor's ticks, tray clicks and tray commands wait while the box is up; a box shown from
  // inside another modal keeps the flag set until the outer one ends.
  bool* busy = messageBusyFlag;
  const bool wasBusy = busy && *busy;
  if (busy) *busy = true;
  QPointer<CMessageBoxDlg> box = new CMessageBoxDlg(parent);
  box->SetMessage(text);
  box->CenterOverOwner();
  const int result = RunModal(box, kMessageBoxClosed);
  delete box.data();
  if (busy && messageBusyFlag == busy) *busy = wasBusy;
  return result;
}

}  // namespace ov
