#pragma once
#include <QStyledItemDelegate>

// Draws a list cell as a signal bar: the cell's SignalPercentRole (0-100) fills the cell from the
// left in its SignalColourRole colour, with the cell's text over it. A cell without a percentage
// is drawn as an ordinary cell.
namespace ov {

inline constexpr int SignalPercentRole = Qt::UserRole + 1;
inline constexpr int SignalColourRole = Qt::UserRole + 2;

class SignalBarDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;

  // The bar's frame inside a cell, the area inside the frame, and the filled width of that area
  // for `percent` (clamped to 0-100).
  static QRect BarRect(const QRect& cell);
  static QRect FillArea(const QRect& cell);
  static int FilledWidth(const QRect& cell, int percent);
};

}  // namespace ov
