#include "tests/layoutfit/text_fit.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <algorithm>

#include "widgets/bar_button.h"

namespace ov::test {
namespace {

QString PathOf(const QWidget* widget, const QWidget* root) {
  QStringList parts;
  for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
    parts.prepend(w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                            : w->objectName());
    if (w == root) break;
  }
  return parts.join(QLatin1Char('/'));
}

QString WithoutMnemonic(QString text) {
  QString out;
  for (int i = 0; i < text.size(); ++i) {
    if (text[i] == QLatin1Char('&') && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

// What a widget's text needs against what it has, in the widget's own coordinates.
struct Need {
  bool hasText = false;
  QString text;
  QSize needed;
  QSize available;
};

Need LabelNeed(const QLabel* label) {
  Need need;
  if (label->text().isEmpty() || !label->pixmap().isNull()) return need;
  need.hasText = true;
  need.text = label->text();
  if (label->wordWrap()) {
    // The longest word must fit the width; the wrapped lines the height.
    const QFontMetrics metrics = label->fontMetrics();
    int longestWord = 0;
    for (const QString& word : label->text().split(QRegularExpression(QStringLiteral("\\s+")),
                                                   Qt::SkipEmptyParts)) {
      longestWord = std::max(longestWord, metrics.horizontalAdvance(word));
    }
    const int chrome = label->width() - label->contentsRect().width() + 2 * label->margin();
    need.needed = QSize(longestWord + chrome, label->heightForWidth(label->width()));
  } else {
    need.needed = label->sizeHint();
  }
  need.available = label->size();
  return need;
}

Need PushButtonNeed(const QPushButton* button) {
  Need need;
  if (button->text().isEmpty()) return need;
  need.hasText = true;
  need.text = button->text();
  QStyleOptionButton option;
  option.initFrom(button);
  option.text = button->text();
  option.icon = button->icon();
  option.iconSize = button->iconSize();
  option.features = QStyleOptionButton::None;
  if (button->isFlat()) option.features |= QStyleOptionButton::Flat;
  if (button->menu() != nullptr) option.features |= QStyleOptionButton::HasMenu;
  const QStyle* style = button->style();
  const QRect contents = style->subElementRect(QStyle::SE_PushButtonContents, &option, button);
  const QFontMetrics metrics = button->fontMetrics();
  int width = metrics.horizontalAdvance(WithoutMnemonic(button->text()));
  if (!button->icon().isNull()) width += button->iconSize().width() + 4;
  if (button->menu() != nullptr) {
    width += style->pixelMetric(QStyle::PM_MenuButtonIndicator, &option, button);
  }
  need.needed = QSize(width, metrics.height());
  need.available = contents.size();
  return need;
}

Need HintedButtonNeed(const QAbstractButton* button) {
  // Check boxes, radio buttons and tool buttons: the size hint's width is the indicator or icon
  // plus the text, without a minimum of its own. Its height adds padding the text is drawn
  // without (centred in the whole height), so the height needed is the text's own.
  Need need;
  if (button->text().isEmpty()) return need;
  need.hasText = true;
  need.text = button->text();
  need.needed = QSize(button->sizeHint().width(), button->fontMetrics().height());
  need.available = button->size();
  return need;
}

Need GroupBoxNeed(const QGroupBox* box) {
  Need need;
  if (box->title().isEmpty()) return need;
  need.hasText = true;
  need.text = box->title();
  QStyleOptionGroupBox option;
  option.initFrom(box);
  option.text = box->title();
  option.lineWidth = 1;
  option.midLineWidth = 0;
  option.textAlignment = box->alignment();
  option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
  if (box->isCheckable()) option.subControls |= QStyle::SC_GroupBoxCheckBox;
  const QRect label =
      box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
  // The label rectangle is as wide as the title; what lies past the box is not drawn.
  need.needed = QSize(label.right() + 1, label.bottom() + 1);
  need.available = box->size();
  return need;
}

Need TabBarNeed(const QTabBar* bar) {
  // Tabs shrink and elide their texts only when their size hints together do not fit.
  Need need;
  QStringList texts;
  for (int i = 0; i < bar->count(); ++i) {
    if (bar->isTabVisible(i)) texts << bar->tabText(i);
  }
  if (texts.isEmpty()) return need;
  need.hasText = true;
  need.text = texts.join(QLatin1String(" | "));
  need.needed = bar->sizeHint();
  need.available = bar->size();
  return need;
}

Need NeedOf(const QWidget* widget) {
  if (qobject_cast<const BarButton*>(widget) != nullptr) return {};  // fits its own font
  if (const auto* label = qobject_cast<const QLabel*>(widget)) return LabelNeed(label);
  if (const auto* push = qobject_cast<const QPushButton*>(widget)) return PushButtonNeed(push);
  if (const auto* check = qobject_cast<const QCheckBox*>(widget)) return HintedButtonNeed(check);
  if (const auto* radio = qobject_cast<const QRadioButton*>(widget)) return HintedButtonNeed(radio);
  if (const auto* tool = qobject_cast<const QToolButton*>(widget)) {
    if (tool->toolButtonStyle() == Qt::ToolButtonIconOnly) return {};
    return HintedButtonNeed(tool);
  }
  if (const auto* box = qobject_cast<const QGroupBox*>(widget)) return GroupBoxNeed(box);
  if (const auto* bar = qobject_cast<const QTabBar*>(widget)) return TabBarNeed(bar);
  return {};
}

// The part of the widget's rectangle that its ancestors leave visible, in its own coordinates,
// and the ancestor that clips it most.
QRect VisiblePart(const QWidget* widget, const QWidget* scrollBoundary, QString* clipper) {
  QRect visible = widget->rect();
  QPoint offset(0, 0);  // widget origin in the ancestor's coordinates
  const QWidget* child = widget;
  for (const QWidget* parent = widget->parentWidget(); parent != nullptr && !child->isWindow();
       parent = parent->parentWidget()) {
    if (child == scrollBoundary) break;
    // A scroll area's viewport hides what scrolling reveals.
    if (qobject_cast<const QAbstractScrollArea*>(parent->parentWidget()) != nullptr) break;
    offset += child->pos();
    const QRect inParent = visible.translated(offset).intersected(parent->rect());
    const QRect clipped = inParent.translated(-offset);
    if (clipped != visible && clipper != nullptr) {
      *clipper = parent->objectName().isEmpty()
                     ? QString::fromLatin1(parent->metaObject()->className())
                     : parent->objectName();
    }
    visible = clipped;
    child = parent;
  }
  return visible;
}

}  // namespace

QString CutText::Describe() const {
  return QStringLiteral("%1 \"%2\": needs %3x%4, has %5x%6 (%7)")
      .arg(path, text)
      .arg(needed.width())
      .arg(needed.height())
      .arg(available.width())
      .arg(available.height())
      .arg(why);
}

std::vector<CutText> CutTexts(QWidget* root, const QWidget* scrollBoundary) {
  std::vector<CutText> cuts;
  if (root == nullptr) return cuts;
  QList<QWidget*> widgets = root->findChildren<QWidget*>();
  widgets.prepend(root);
  for (QWidget* widget : widgets) {
    if (!widget->isVisible() || widget->window() != root->window()) continue;
    const Need need = NeedOf(widget);
    if (!need.hasText) continue;
    CutText cut{PathOf(widget, root), need.text, need.needed, need.available, {}};
    if (need.needed.width() > need.available.width()) {
      cut.why = QStringLiteral("width");
    } else if (need.needed.height() > need.available.height()) {
      cut.why = QStringLiteral("height");
    } else {
      // The text fits its own rectangle; the frame around it may still hide part of it.
      QString clipper;
      const QRect visible = VisiblePart(widget, scrollBoundary, &clipper);
      const QSize shown = visible.size();
      const QSize used(std::min(need.needed.width(), widget->width()),
                       std::min(need.needed.height(), widget->height()));
      if (visible.isEmpty() || visible.left() > 0 || visible.top() > 0 ||
          shown.width() < used.width() || shown.height() < used.height()) {
        cut.available = shown;
        cut.why = QStringLiteral("clipped by ") + clipper;
      }
    }
    if (!cut.why.isEmpty()) cuts.push_back(cut);
  }
  return cuts;
}

void VisitEverySubPage(QWidget* root, const std::function<void()>& visit) {
  visit();
  if (root == nullptr) return;
  for (QTabWidget* tabs : root->findChildren<QTabWidget*>()) {
    if (!tabs->isVisible()) continue;
    const int original = tabs->currentIndex();
    for (int i = 0; i < tabs->count(); ++i) {
      if (i == original || !tabs->isTabVisible(i) || !tabs->isTabEnabled(i)) continue;
      tabs->setCurrentIndex(i);
      QApplication::processEvents();
      visit();
    }
    tabs->setCurrentIndex(original);
    QApplication::processEvents();
  }
  QList<QPointer<QPushButton>> tabButtons;
  for (QPushButton* button : root->findChildren<QPushButton*>()) {
    if (button->isCheckable() && button->isVisible() && button->isEnabled() &&
        !button->isChecked() && button->menu() == nullptr) {
      tabButtons << button;
    }
  }
  for (const QPointer<QPushButton>& button : tabButtons) {
    if (button.isNull() || !button->isVisible() || !button->isEnabled()) continue;
    button->click();
    QApplication::processEvents();
    visit();
  }
}

}  // namespace ov::test
