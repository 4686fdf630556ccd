#include "shell/ui/page_contract.h"

#include <QKeyEvent>
#include <QShowEvent>

#include "shell/ui/message_box.h"
#include "shell/ui/ui_text.h"
#include "widgets/accessibility.h"

namespace ov {

QFont PageFont() { return UiFont(kPageFontCellHeight); }

PageWidget::PageWidget(const PageContext& context, QWidget* parent)
    : QWidget(parent),
      window_(context.window),
      state_(context.state),
      host_(context.host),
      services_(context.services) {
  setFont(PageFont());
  if (services_.timers != nullptr) {
    timers_ = std::make_unique<WindowTimers>(*services_.timers, [this](int id) {
      if (id == kPageRefreshTimer) Refresh();
    });
  }
}

// The timers go first: a refresh must never reach a page half destroyed.
PageWidget::~PageWidget() { timers_.reset(); }

bool PageWidget::Refreshing() const {
  return timers_ != nullptr && timers_->isActive(kPageRefreshTimer);
}

int PageWidget::ShowPageMessage(const QString& text) {
  QWidget* owner = window();
  if (services_.showMessage) return services_.showMessage(text, owner);
  return ShowMessage(text, owner);
}

bool PageWidget::RejectInput(const QString& message, QWidget* field) {
  ShowPageMessage(message);
  if (field != nullptr) field->setFocus(Qt::OtherFocusReason);
  return false;
}

// Un-minimising or covering the window (spontaneous events) is not a show of the page.
void PageWidget::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (event->spontaneous()) return;
  LoadValues();
  // After the load: what the page shows now decides which controls are there to be named.
  NameControlsFromLabels(this);
  if (timers_ != nullptr && RefreshPeriodMs() > 0 && !timers_->isActive(kPageRefreshTimer)) {
    timers_->start(kPageRefreshTimer, RefreshPeriodMs());
  }
}

void PageWidget::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (event->spontaneous()) return;
  if (timers_ != nullptr && !RefreshWhileHidden()) timers_->kill(kPageRefreshTimer);
}

}  // namespace ov

namespace ov {

void PageWidget::SetKeyButtons(QAbstractButton* enter, QAbstractButton* escape) {
  enterButton_ = enter;
  escapeButton_ = escape;
}

// Keys the focused control did not take arrive here on their way to the window.
void PageWidget::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  QAbstractButton* button = nullptr;
  if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter) button = enterButton_;
    if (key == Qt::Key_Escape) button = escapeButton_;
  }
  if (button != nullptr && button->isVisible() && button->isEnabled()) {
    button->click();
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace ov
