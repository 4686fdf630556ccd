#include "views/hidden_ssid_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/ui/control_ids.h"
#include "shell/ui/main_window.h"
#include "shell/ui/ui_text.h"
#include "views/page_site_survey.h"
#include "views/survey_connect.h"

namespace ov {

namespace {

constexpr int kSsidCharacters = 32;

CPageSiteSurveyDlg* Survey(COvUI2007Dlg& window) {
  return dynamic_cast<CPageSiteSurveyDlg*>(window.Page(TabButton::SiteSurvey));
}

}  // namespace

CHiddenSsidDlg::CHiddenSsidDlg(const PageContext& context, QWidget* parent)
    : PageWidget(context, parent) {
  setObjectName(ControlName(IDD_HIDDEN_SSID_DLG));
  setFont(PageFont());
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(40, 36, 40, 36);
  layout->setSpacing(14);
  auto* label = new QLabel(UiText(IDS_HIDDEN_TEXT), this);
  label->setWordWrap(true);
  layout->addWidget(label);

  edit_ = new QLineEdit(this);
  edit_->setMaxLength(kSsidCharacters);
  edit_->setAccessibleName(UiText(IDS_HIDDEN_TEXT));
  layout->addWidget(edit_);
  label->setBuddy(edit_);

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
  // Enter in the name is OK.
  connect(edit_, &QLineEdit::returnPressed, this, &CHiddenSsidDlg::OnOk);
  connect(ok_, &QPushButton::clicked, this, &CHiddenSsidDlg::OnOk);
  connect(cancel_, &QPushButton::clicked, this, &CHiddenSsidDlg::OnCancel);
}

void CHiddenSsidDlg::LoadValues() {
  edit_->clear();
  edit_->setFocus();
}

void CHiddenSsidDlg::OnOk() {
  const survey::HiddenSsidInput input = survey::CheckHiddenSsid(edit_->text().toStdString());
  switch (input.problem) {
    case survey::HiddenSsidProblem::Empty:
      RejectInput(UiText(IDS_HIDDEN_TEXT), edit_);
      return;
    case survey::HiddenSsidProblem::TooLong:
      RejectInput(UiText(IDS_HIDDEN_SSID_TOO_LONG), edit_);
      return;
    case survey::HiddenSsidProblem::None:
      break;
  }
  if (CPageSiteSurveyDlg* survey = Survey(Window())) {
    survey->ContinueWithHiddenSsid(input.ssid);
  } else {
    Window().ShowLowerPanel(LOWER_PANEL_LINK_STATUS);
  }
}

void CHiddenSsidDlg::OnCancel() {
  if (CPageSiteSurveyDlg* survey = Survey(Window())) {
    survey->CancelHiddenSsid();
  } else {
    Window().ShowLowerPanel(LOWER_PANEL_LINK_STATUS);
  }
}

QWidget* MakeHiddenSsidPanel(const PageContext& context, QWidget* parent) {
  return new CHiddenSsidDlg(context, parent);
}

}  // namespace ov
