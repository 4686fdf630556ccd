#include "widgets/signal_bar_delegate.h"

#include <QApplication>
#include <QPainter>
#include <algorithm>

namespace ov {

QRect SignalBarDelegate::BarRect(const QRect& cell) { return cell.adjusted(2, 2, -2, -2); }

QRect SignalBarDelegate::FillArea(const QRect& cell) { return BarRect(cell).adjusted(1, 1, -1, -1); }

int SignalBarDelegate::FilledWidth(const QRect& cell, int percent) {
  return std::max(0, FillArea(cell).width()) * std::clamp(percent, 0, 100) / 100;
}

void SignalBarDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
  const QVariant percent = index.data(SignalPercentRole);
  if (!percent.isValid()) {
    QStyledItemDelegate::paint(painter, option, index);
    return;
  }
  QStyleOptionViewItem cell = option;
  initStyleOption(&cell, index);
  const QString text = cell.text;
  // The selection and focus background as any cell has it, without the text.
  cell.text.clear();
  const QWidget* widget = option.widget;
  QStyle* style = widget ? widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);

  const QRect bar = BarRect(option.rect);
  const QRect fill = FillArea(option.rect);
  const QVariant colour = index.data(SignalColourRole);
  painter->save();
  painter->fillRect(QRect(fill.left(), fill.top(), FilledWidth(option.rect, percent.toInt()),
                          fill.height()),
                    colour.isValid() ? colour.value<QColor>() : option.palette.highlight().color());
  painter->setPen(option.palette.color(QPalette::Mid));
  painter->drawRect(bar.adjusted(0, 0, -1, -1));
  painter->setPen(option.palette.color(QPalette::Text));
  painter->drawText(bar, Qt::AlignCenter, text);
  painter->restore();
}

}  // namespace ov
