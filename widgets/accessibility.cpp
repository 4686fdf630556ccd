#include "widgets/accessibility.h"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QMetaEnum>
#include <QWidget>
#include <algorithm>
#include <set>

#include "widgets/bar_button.h"
#include "widgets/progress_ctrl_x.h"

namespace ov {

QString WithoutMnemonic(const QString& text) {
  QString shown;
  shown.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] != QLatin1Char('&')) {
      shown += text[i];
    } else if (i + 1 < text.size() && text[i + 1] == QLatin1Char('&')) {
      shown += QLatin1Char('&');
      ++i;
    }
  }
  return shown;
}

namespace {

// A bar button is read as a page tab (selected while its page shows) when it selects a page,
// as a push button otherwise; an icon-only face is read by its tooltip.
class AccessibleBarButton : public QAccessibleWidget {
 public:
  explicit AccessibleBarButton(BarButton* button) : QAccessibleWidget(button) {}

  QAccessible::Role role() const override {
    if (button()->decorative()) return QAccessible::Whitespace;
    return button()->isCheckable() ? QAccessible::PageTab : QAccessible::PushButton;
  }

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    if (button()->isCheckable()) {
      state.selectable = true;
      state.selected = button()->isChecked();
    }
    state.pressed = button()->isDown();
    return state;
  }

  QString text(QAccessible::Text kind) const override {
    const QString name = Name();
    if (kind == QAccessible::Name) return name;
    if (kind == QAccessible::Description) {
      // The tooltip is not read twice when it already is the name.
      const QString description = button()->accessibleDescription();
      if (!description.isEmpty() || button()->toolTip() == name) return description;
      return button()->toolTip();
    }
    return QAccessibleWidget::text(kind);
  }

  QStringList actionNames() const override {
    QStringList names = QAccessibleWidget::actionNames();
    if (button()->isEnabled() && !button()->decorative()) names.prepend(pressAction());
    return names;
  }

  void doAction(const QString& action) override {
    if (action == pressAction()) {
      if (button()->isEnabled() && !button()->decorative()) button()->click();
      return;
    }
    QAccessibleWidget::doAction(action);
  }

 private:
  BarButton* button() const { return static_cast<BarButton*>(widget()); }
  QString Name() const {
    QString name = button()->accessibleName();
    if (name.isEmpty()) name = WithoutMnemonic(button()->text()).trimmed();
    if (name.isEmpty()) name = button()->toolTip();
    return name;
  }
};

// A drawn bar (link quality, signal) is read as a progress bar: its caption as drawn is its
// name and value text, its position its value.
class AccessibleProgressBar : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit AccessibleProgressBar(CProgressCtrlX* bar)
      : QAccessibleWidget(bar, QAccessible::ProgressBar) {}

  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Name) {
      const QString name = bar()->accessibleName();
      return name.isEmpty() ? bar()->captionText() : name;
    }
    if (kind == QAccessible::Value) return bar()->captionText();
    return QAccessibleWidget::text(kind);
  }

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  QVariant currentValue() const override { return bar()->position(); }
  void setCurrentValue(const QVariant& value) override { (void)value; }  // shown, not set
  QVariant maximumValue() const override { return CProgressCtrlX::kMaximum; }
  QVariant minimumValue() const override { return CProgressCtrlX::kMinimum; }
  QVariant minimumStepSize() const override { return 1; }

 private:
  CProgressCtrlX* bar() const { return static_cast<CProgressCtrlX*>(widget()); }
};

QAccessibleInterface* KitInterface(const QString& className, QObject* object) {
  if (object == nullptr || !object->isWidgetType()) return nullptr;
  if (className == QLatin1String("ov::BarButton")) {
    return new AccessibleBarButton(static_cast<BarButton*>(object));
  }
  if (className == QLatin1String("ov::CProgressCtrlX")) {
    return new AccessibleProgressBar(static_cast<CProgressCtrlX*>(object));
  }
  return nullptr;
}

// Roles a user operates or reads a value from: each needs a name.
bool IsControl(QAccessible::Role role) {
  switch (role) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::SpinBox:
    case QAccessible::Slider:
    case QAccessible::Dial:
    case QAccessible::ScrollBar:
    case QAccessible::PageTab:
    case QAccessible::PageTabList:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::ButtonDropGrid:
    case QAccessible::HotkeyField:
    case QAccessible::List:
    case QAccessible::Table:
    case QAccessible::Tree:
    case QAccessible::ProgressBar:
    case QAccessible::Link:
      return true;
    default:
      return false;
  }
}

// Controls whose name is what the label beside them says.
bool TakesLabel(QAccessible::Role role) {
  switch (role) {
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::SpinBox:
    case QAccessible::Slider:
    case QAccessible::Dial:
    case QAccessible::HotkeyField:
    case QAccessible::List:
    case QAccessible::Table:
    case QAccessible::Tree:
    case QAccessible::ProgressBar:
      return true;
    default:
      return false;
  }
}

bool HasNamedLabel(QAccessibleInterface* iface) {
  for (const auto& [label, relation] : iface->relations(QAccessible::Label)) {
    if (label != nullptr && !label->text(QAccessible::Name).trimmed().isEmpty()) return true;
  }
  return false;
}

bool IsNamed(QWidget* widget, QAccessibleInterface* iface) {
  if (!widget->accessibleName().trimmed().isEmpty()) return true;
  // A combo box's name on this platform is its current item; what names it is its label.
  if (iface->role() == QAccessible::ComboBox) return HasNamedLabel(iface);
  if (iface->role() == QAccessible::PageTabList) {
    for (int i = 0; i < iface->childCount(); ++i) {
      QAccessibleInterface* tab = iface->child(i);
      if (tab != nullptr && tab->role() == QAccessible::PageTab &&
          tab->text(QAccessible::Name).trimmed().isEmpty()) {
        return false;
      }
    }
    return true;
  }
  return !iface->text(QAccessible::Name).trimmed().isEmpty() || HasNamedLabel(iface);
}

// The inner parts of a combo or spin box are read through it; a list, table or tree offers its
// items to assistive technology, not the widgets inside it (corner button, scroll bars).
bool InsideCompound(QWidget* widget, QWidget* root) {
  for (QWidget* up = widget->parentWidget(); up != nullptr && up != root->parentWidget();
       up = up->parentWidget()) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(up);
    if (iface == nullptr) continue;
    const QAccessible::Role role = iface->role();
    if (role == QAccessible::ComboBox || role == QAccessible::SpinBox || role == QAccessible::List ||
        role == QAccessible::Table || role == QAccessible::Tree) {
      return true;
    }
  }
  return false;
}

QRect RectIn(QWidget* widget, QWidget* root) {
  return QRect(widget->mapTo(root, QPoint(0, 0)), widget->size());
}

bool HasLetter(const QString& text) {
  return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); });
}

// The label a sighted user reads for `control`: the nearest on its left in the same row, else
// the nearest above it over the same columns.
QLabel* LabelFor(QWidget* control, QWidget* root, const std::vector<QLabel*>& labels) {
  constexpr int kMostLeft = 240;
  constexpr int kMostAbove = 60;
  constexpr int kSlack = 2;
  const QRect c = RectIn(control, root);
  QLabel* left = nullptr;
  QLabel* above = nullptr;
  int leftGap = kMostLeft + 1;
  int aboveGap = kMostAbove + 1;
  for (QLabel* label : labels) {
    const QRect l = RectIn(label, root);
    const bool sameRow = (l.center().y() >= c.top() && l.center().y() <= c.bottom()) ||
                         (c.center().y() >= l.top() && c.center().y() <= l.bottom());
    if (sameRow && l.right() <= c.left() + kSlack && c.left() - l.right() < leftGap) {
      left = label;
      leftGap = c.left() - l.right();
    }
    const bool sameColumns = l.left() < c.right() && l.right() > c.left();
    if (sameColumns && l.bottom() <= c.top() + kSlack && c.top() - l.bottom() < aboveGap) {
      above = label;
      aboveGap = c.top() - l.bottom();
    }
  }
  return left != nullptr ? left : above;
}

QString ObjectPath(QWidget* widget, QWidget* root) {
  QStringList parts;
  for (QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
    parts.prepend(w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                            : w->objectName());
    if (w == root) break;
  }
  return parts.join(QLatin1Char('/'));
}

QString RoleName(QAccessible::Role role) {
  const char* key = QMetaEnum::fromType<QAccessible::Role>().valueToKey(role);
  return key != nullptr ? QString::fromLatin1(key) : QString::number(role);
}

std::vector<QWidget*> ShownWidgets(QWidget* root) {
  std::vector<QWidget*> shown;
  if (root->isVisible()) shown.push_back(root);
  // Dialogs and notes parented to the root are windows of their own, read on their own.
  for (QWidget* w : root->findChildren<QWidget*>()) {
    if (w->isVisible() && w->window() == root->window()) shown.push_back(w);
  }
  return shown;
}

}  // namespace

void InstallAccessibleInterfaces() {
  static const bool installed = [] {
    QAccessible::installFactory(KitInterface);
    return true;
  }();
  (void)installed;
}

QString AccessibleNameOf(QWidget* widget) {
  QAccessibleInterface* iface = widget ? QAccessible::queryAccessibleInterface(widget) : nullptr;
  return iface != nullptr ? iface->text(QAccessible::Name) : QString();
}

void NameControlsFromLabels(QWidget* root) {
  if (root == nullptr) return;
  const std::vector<QWidget*> shown = ShownWidgets(root);
  std::vector<QLabel*> labels;
  for (QWidget* w : shown) {
    auto* label = qobject_cast<QLabel*>(w);
    if (label != nullptr && label->buddy() == nullptr && label->pixmap().isNull() &&
        HasLetter(label->text())) {
      labels.push_back(label);
    }
  }

  std::vector<QWidget*> scrollBars;
  for (QWidget* w : shown) {
    if (w->isWindow() || InsideCompound(w, root)) continue;
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    if (iface == nullptr || IsNamed(w, iface)) continue;
    const QAccessible::Role role = iface->role();
    if (role == QAccessible::ScrollBar) {
      scrollBars.push_back(w);
    } else if (TakesLabel(role)) {
      QLabel* label = LabelFor(w, root, labels);
      if (label == nullptr) continue;
      label->setBuddy(w);
      labels.erase(std::find(labels.begin(), labels.end(), label));
      // Only a sibling label names its buddy; lists and tables ignore labels altogether.
      if (!IsNamed(w, iface)) w->setAccessibleName(WithoutMnemonic(label->text()).trimmed());
    } else if (!w->toolTip().isEmpty()) {
      w->setAccessibleName(w->toolTip());
    }
  }
  // After the lists took their labels: a scroll bar is read as part of what it scrolls.
  for (QWidget* bar : scrollBars) {
    for (QWidget* up = bar->parentWidget(); up != nullptr; up = up->parentWidget()) {
      if (qobject_cast<QAbstractScrollArea*>(up) == nullptr) continue;
      const QString name = AccessibleNameOf(up);
      if (!name.isEmpty()) bar->setAccessibleName(name);
      break;
    }
  }
}

void OrderFocusByLayout(QWidget* root) {
  if (root == nullptr) return;
  struct Stop {
    QWidget* widget;
    QRect rect;
  };
  std::vector<Stop> stops;
  for (QWidget* w : root->findChildren<QWidget*>()) {
    if (w->window() != root->window() || !w->isVisibleTo(root) || w->focusProxy() != nullptr) {
      continue;
    }
    if ((w->focusPolicy() & Qt::TabFocus) == 0) continue;
    stops.push_back({w, RectIn(w, root)});
  }
  std::stable_sort(stops.begin(), stops.end(), [](const Stop& a, const Stop& b) {
    return a.rect.top() != b.rect.top() ? a.rect.top() < b.rect.top() : a.rect.left() < b.rect.left();
  });
  // Rows: a stop whose top lies above the middle of the row's first stop is in that row.
  for (size_t first = 0; first < stops.size();) {
    const int middle = stops[first].rect.center().y();
    size_t end = first + 1;
    while (end < stops.size() && stops[end].rect.top() <= middle) ++end;
    std::stable_sort(stops.begin() + static_cast<std::ptrdiff_t>(first),
                     stops.begin() + static_cast<std::ptrdiff_t>(end),
                     [](const Stop& a, const Stop& b) { return a.rect.left() < b.rect.left(); });
    first = end;
  }
  for (size_t i = 1; i < stops.size(); ++i) QWidget::setTabOrder(stops[i - 1].widget, stops[i].widget);
}

std::vector<QString> UnnamedControls(QWidget* root) {
  std::vector<QString> unnamed;
  if (root == nullptr) return unnamed;
  for (QWidget* w : ShownWidgets(root)) {
    if (w->isWindow() && w != root) continue;
    if (InsideCompound(w, root)) continue;
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    if (iface == nullptr || !IsControl(iface->role())) continue;
    if (!IsNamed(w, iface)) {
      unnamed.push_back(QStringLiteral("%1 (%2)").arg(ObjectPath(w, root), RoleName(iface->role())));
    }
  }
  return unnamed;
}

}  // namespace ov
