#include "widgets/bar_button.h"

#include <QAccessible>
#include <QEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPalette>
#include <QStyle>
#include <algorithm>

#include "widgets/accessibility.h"

namespace ov {

QColor BarButton::AccentFace() { return QColor(0x1f, 0x4e, 0x79); }
QColor BarButton::SelectedFace() { return QColor(0xfd, 0xf0, 0xd5); }
QColor BarButton::SelectedMark() { return QColor(0xe8, 0x89, 0x0c); }

BarButton::BarButton(QWidget* parent) : QToolButton(parent) {
  setAttribute(Qt::WA_Hover);
  setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  setAutoRaise(false);
  setIconSize(QSize(24, 24));
  setFocusPolicy(Qt::TabFocus);
  InstallAccessibleInterfaces();
  // A page tab is read as selected or not; tell a listening reader when that changes.
  connect(this, &QToolButton::toggled, this, [this] {
    QAccessible::State changed;
    changed.selected = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
  });
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
    palette.setColor(QPalette::Button, AccentFace());
    palette.setColor(QPalette::ButtonText, Qt::white);
  }
  setPalette(palette);
  setAutoFillBackground(accent_);
}

void BarButton::changeEvent(QEvent* event) {
  QToolButton::changeEvent(event);
  if (event->type() == QEvent::EnabledChange) applyFace();
}

// Enter presses a focused button as Space does, as a push button in a dialog behaves; the
// arrows move along the bar.
void BarButton::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
      (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && !event->isAutoRepeat()) {
    if (!decorative_) click();
    event->accept();
    return;
  }
  // At the bar's ends the focus stays (the button's own arrows would leave the bar).
  if ((event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) &&
      event->modifiers() == Qt::NoModifier) {
    FocusNeighbour(event->key() == Qt::Key_Right);
    event->accept();
    return;
  }
  QToolButton::keyPressEvent(event);
}

// Left and Right walk the bar as in any tab list: to the nearest shown, enabled button of the
// same bar on that side.
bool BarButton::FocusNeighbour(bool right) {
  BarButton* best = nullptr;
  for (QObject* child : parent() ? parent()->children() : QObjectList()) {
    auto* other = qobject_cast<BarButton*>(child);
    if (other == nullptr || other == this || !other->isVisible() || !other->isEnabled() ||
        other->decorative() || other->y() != y()) {
      continue;
    }
    const int gap = right ? other->x() - x() : x() - other->x();
    if (gap <= 0) continue;
    const int bestGap = best == nullptr ? 0 : (right ? best->x() - x() : x() - best->x());
    if (best == nullptr || gap < bestGap) best = other;
  }
  if (best == nullptr) return false;
  best->setFocus(right ? Qt::TabFocusReason : Qt::BacktabFocusReason);
  return true;
}

// A label's longest word must fit the button's width (the scroll buttons' "<==" in their narrow
// slots): the font shrinks for it, never below 8 pixels, rather than the label being cut. Under
// an icon there is room for one line only, so there the whole label must fit ("Single Sign-On"
// wrapped and lost its second line).
QFont BarButton::FittingFont(int width, bool oneLine) const {
  QFont fitted = font();
  const QString label = WithoutMnemonic(text());
  const QStringList words =
      oneLine ? QStringList{label} : label.split(QLatin1Char(' '), Qt::SkipEmptyParts);
  auto widest = [&words](const QFont& f) {
    const QFontMetrics metrics(f);
    int most = 0;
    for (const QString& word : words) most = std::max(most, metrics.horizontalAdvance(word));
    return most;
  };
  if (fitted.pixelSize() <= 0) fitted.setPixelSize(QFontInfo(fitted).pixelSize());
  while (widest(fitted) > width && fitted.pixelSize() > 8) fitted.setPixelSize(fitted.pixelSize() - 1);
  return fitted;
}

void BarButton::paintEvent(QPaintEvent* event) {
  (void)event;
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing, false);
  const QRect area = rect();

  QColor face = accent_ ? AccentFace() : palette().color(QPalette::Button);
  if (isChecked() && !accent_) face = SelectedFace();
  if (isDown()) {
    face = face.darker(112);
  } else if (underMouse() && isEnabled()) {
    face = accent_ ? face.lighter(125) : face.lighter(104);
  }
  painter.fillRect(area, face);
  painter.setPen(accent_ ? AccentFace().darker(140) : palette().color(QPalette::Mid));
  painter.drawRect(area.adjusted(0, 0, -1, -1));
  if (isChecked()) {
    painter.fillRect(QRect(1, area.height() - 1 - kSelectedMarkHeight, area.width() - 2,
                           kSelectedMarkHeight),
                     SelectedMark());
  }
  if (hasFocus()) {
    QPen pen(accent_ ? QColor(Qt::white) : palette().color(QPalette::Highlight));
    pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    painter.drawRect(area.adjusted(2, 2, -3, -3));
  }

  const QIcon shown = icon();
  const bool withIcon = !shown.isNull();
  const bool withText = !text().isEmpty() && toolButtonStyle() != Qt::ToolButtonIconOnly;
  const int side = std::max(0, std::min(iconSize().height(), area.height() - 4));
  const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;

  QColor ink = accent_ ? QColor(Qt::white) : palette().color(QPalette::ButtonText);
  if (!isEnabled()) ink = accent_ ? QColor(0xb8, 0xc7, 0xd6) : palette().color(QPalette::Disabled, QPalette::ButtonText);
  painter.setPen(ink);
  painter.setFont(FittingFont(area.width() - 6, withIcon && withText));
  // A "&" in a label marks its mnemonic (Alt and the letter press the button), drawn as the
  // style draws mnemonics.
  const int mnemonic = style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, this)
                           ? Qt::TextShowMnemonic
                           : Qt::TextHideMnemonic;
  const int textFlags = Qt::AlignHCenter | Qt::TextWordWrap | mnemonic;

  if (withIcon && withText) {
    const QRect iconRect((area.width() - side) / 2, kIconTop, side, side);
    shown.paint(&painter, iconRect, Qt::AlignCenter, mode);
    const int textTop = iconRect.bottom() + 3;
    painter.drawText(QRect(3, textTop, area.width() - 6, area.height() - textTop - kSelectedMarkHeight - 1),
                     textFlags | Qt::AlignTop, text());
  } else if (withIcon) {
    shown.paint(&painter, QRect((area.width() - side) / 2, (area.height() - side) / 2, side, side),
                Qt::AlignCenter, mode);
  } else if (withText) {
    painter.drawText(area.adjusted(3, 2, -3, -2), textFlags | Qt::AlignVCenter, text());
  }
}

void BarButton::applyFace() {
  const bool showIcon = !textOnly_ && !icon_.isNull() && (isEnabled() || iconWhenDisabled_);
  setIcon(showIcon ? icon_ : QIcon());
  setToolButtonStyle(showIcon ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonTextOnly);
}

}  // namespace ov
