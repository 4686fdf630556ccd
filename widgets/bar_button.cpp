#include "widgets/bar_button.h"

#include <QEvent>
#include <QPalette>

namespace ov {

BarButton::BarButton(QWidget* parent) : QToolButton(parent) {
  setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  setAutoRaise(false);
  setIconSize(QSize(24, 24));
  setFocusPolicy(Qt::TabFocus);
}

void BarButton::setFace(const QString& label, const QIcon& icon) {
  setText(label);
  icon_ = icon;
  applyFace();
}

void BarButton::setTextOnly(bool textOnly) {
  textOnly_ = textOnly;
  applyFace();
}

void BarButton::setIconWhenDisabled(bool show) {
  iconWhenDisabled_ = show;
  applyFace();
}

void BarButton::setAccent(bool accent) {
  accent_ = accent;
  QPalette palette = parentWidget() ? parentWidget()->palette() : QPalette();
  if (accent_) {
    palette.setColor(QPalette::Button, QColor(0x1f, 0x4e, 0x79));
    palette.setColor(QPalette::ButtonText, Qt::white);
  }
  setPalette(palette);
  setAutoFillBackground(accent_);
}

void BarButton::changeEvent(QEvent* event) {
  QToolButton::changeEvent(event);
  if (event->type() == QEvent::EnabledChange) applyFace();
}

void BarButton::applyFace() {
  const bool showIcon = !textOnly_ && !icon_.isNull() && (isEnabled() || iconWhenDisabled_);
  setIcon(showIcon ? icon_ : QIcon());
  setToolButtonStyle(showIcon ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonTextOnly);
}

}  // namespace ov
