#include "profilepages/peap_setting_dlg.h"

#include <QEventLoop>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/ui/control_ids.h"
#include "shell/ui/main_window.h"
#include "shell/ui/ui_text.h"
#include "widgets/modal_guard.h"

namespace ov {

namespace {

// The store reads a value into 256 bytes: longer answers would be cut when applied.
constexpr int kAnswerCharacters = 255;

QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

CPeapSettingDlg::CPeapSettingDlg(const PageContext& context, QWidget* parent)
    : PageWidget(context, parent) {
  setObjectName(ControlName(IDD_PEAP_SETTING));
  setFont(PageFont());
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(40, 18, 40, 18);
  layout->setSpacing(10);

  title_ = new QLabel(this);
  QFont titleFont = font();
  titleFont.setBold(true);
  title_->setFont(titleFont);
  title_->setTextFormat(Qt::PlainText);
  layout->addWidget(title_);
  description_ = new QLabel(this);
  description_->setTextFormat(Qt::PlainText);
  layout->addWidget(description_);

  auto* fields = new QGridLayout;
  fields->setHorizontalSpacing(16);
  fields->setVerticalSpacing(8);
  identityLabel_ = new QLabel(UiText(IDS_TUNNEL_ID), this);
  passwordLabel_ = new QLabel(UiText(IDS_TUNNEL_PASSWORD), this);
  identity_ = new QLineEdit(this);
  identity_->setObjectName(ControlName(IDC_PEAP_IDENTITY));
  password_ = new QLineEdit(this);
  password_->setObjectName(ControlName(IDC_PEAP_PASSWORD));
  password_->setEchoMode(QLineEdit::Password);
  for (QLineEdit* edit : {identity_, password_}) {
    edit->setMaxLength(kAnswerCharacters);
    edit->setMinimumWidth(300);
  }
  identityLabel_->setBuddy(identity_);
  passwordLabel_->setBuddy(password_);
  fields->addWidget(identityLabel_, 0, 0);
  fields->addWidget(identity_, 0, 1);
  fields->addWidget(passwordLabel_, 1, 0);
  fields->addWidget(password_, 1, 1);
  fields->setColumnStretch(2, 1);
  layout->addLayout(fields);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  ok_ = new QPushButton(UiText(IDS_OK), this);
  cancel_ = new QPushButton(UiText(IDS_CANCEL), this);
  for (QPushButton* button : {ok_, cancel_}) {
    button->setAutoDefault(false);
    button->setMinimumWidth(90);
    buttons->addWidget(button);
  }
  layout->addLayout(buttons);
  layout->addStretch(1);
  SetKeyButtons(ok_, cancel_);
  connect(ok_, &QPushButton::clicked, this, [this] { OnOk(); });
  connect(cancel_, &QPushButton::clicked, this, &CPeapSettingDlg::OnCancel);
  Prepare(PeapPromptRequest{});
}

CPeapSettingDlg::~CPeapSettingDlg() {
  if (loop_) loop_->quit();
}

void CPeapSettingDlg::LoadValues() {
  QLineEdit* focus = layout_.focus == PeapPromptFocus::Password ? password_ : identity_;
  if (focus->isEnabled()) focus->setFocus();
}

void CPeapSettingDlg::Prepare(const PeapPromptRequest& request) {
  request_ = request;
  layout_ = ArrangePeapPrompt(request);
  title_->setText(Text(layout_.title));
  description_->setText(Text(layout_.description));
  identityLabel_->setText(Text(layout_.identityLabel));
  passwordLabel_->setText(Text(layout_.passwordLabel));
  identity_->setText(Text(layout_.identity));
  identity_->setEnabled(layout_.identityEnabled);
  identityLabel_->setEnabled(layout_.identityEnabled);
  password_->clear();
  password_->setEnabled(layout_.passwordEnabled);
  passwordLabel_->setEnabled(layout_.passwordEnabled);
  answer_.reset();
}

std::optional<PeapPromptAnswer> CPeapSettingDlg::Run(const PeapPromptRequest& request) {
  if (loop_) return std::nullopt;  // one prompt at a time
  Prepare(request);
  COvUI2007Dlg& window = Window();
  if (!State().Expanded) window.ToggleMoreLess();
  window.ShowLowerPanel(LOWER_PANEL_PEAP_SETTING);
  if (!isVisible()) return std::nullopt;  // a hidden window has nobody to ask
  LoadValues();

  QPointer<CPeapSettingDlg> self(this);
  QEventLoop loop;
  loop_ = &loop;
  {
    // Counted on the window, so a teardown meanwhile waits for this loop to return.
    ModalLoopScope scope(this);
    loop.exec(QEventLoop::DialogExec);
  }
  if (!self) return std::nullopt;
  loop_ = nullptr;
  return std::exchange(answer_, std::nullopt);
}

bool CPeapSettingDlg::OnOk() {
  const std::string identity = identity_->text().toStdString();
  const std::string password = password_->isEnabled() ? password_->text().toStdString() : "";
  const PeapPromptProblem problem = CheckPeapPromptAnswer(request_, identity, password);
  if (problem != PeapPromptProblem::None) {
    QLineEdit* field = problem == PeapPromptProblem::NoIdentity ? identity_ : password_;
    // A disabled identity cannot be typed into; the message still says what is missing.
    return RejectInput(QString::fromLatin1(PeapPromptProblemText(problem)),
                       field->isEnabled() ? field : nullptr);
  }
  Finish(PeapPromptAnswer{identity, password});
  Window().ShowLowerPanel(LOWER_PANEL_LINK_STATUS);
  return true;
}

void CPeapSettingDlg::OnCancel() {
  Finish(std::nullopt);
  Window().ShowLowerPanel(LOWER_PANEL_LINK_STATUS);
}

void CPeapSettingDlg::Finish(std::optional<PeapPromptAnswer> answer) {
  password_->clear();
  if (!loop_) return;
  answer_ = std::move(answer);
  loop_->quit();
}

void CPeapSettingDlg::hideEvent(QHideEvent* event) {
  PageWidget::hideEvent(event);
  // Another panel took the frame, or the window went away: nobody is answering any more.
  if (!event->spontaneous() && loop_ && !answer_) Finish(std::nullopt);
}

QWidget* MakePeapSettingPanel(const PageContext& context, QWidget* parent) {
  return new CPeapSettingDlg(context, parent);
}

}  // namespace ov
