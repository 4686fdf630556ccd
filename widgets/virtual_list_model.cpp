#include "widgets/virtual_list_model.h"

#include <QColor>
#include <limits>

#include "widgets/colorref.h"
#include "widgets/signal_bar_delegate.h"

namespace ov {

namespace {

int ClampedRows(size_t rows) {
  return rows > static_cast<size_t>(std::numeric_limits<int>::max())
             ? std::numeric_limits<int>::max()
             : static_cast<int>(rows);
}

}  // namespace

VirtualListModel::VirtualListModel(RowSource& source, QStringList headers, QObject* parent)
    : QAbstractTableModel(parent),
      source_(source),
      headers_(std::move(headers)),
      rows_(ClampedRows(source.RowCount())) {}

void VirtualListModel::Reset() {
  beginResetModel();
  rows_ = ClampedRows(source_.RowCount());
  endResetModel();
}

int VirtualListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int VirtualListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

QVariant VirtualListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.column() >= columnCount()) return {};
  // The source may have shrunk since the last Reset: such rows answer nothing.
  const size_t row = static_cast<size_t>(index.row());
  if (index.row() < 0 || row >= source_.RowCount()) return {};
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
    case SignalPercentRole:
    case SignalColourRole:
    case Qt::DecorationRole:
      break;
    default:
      return {};
  }
  const ListCell cell = source_.Cell(row, index.column());
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
      return cell.text.empty() ? QVariant() : QVariant(QString::fromStdString(cell.text));
    case SignalPercentRole:
      return cell.percent ? QVariant(*cell.percent) : QVariant();
    case SignalColourRole:
      return cell.colourRef ? QVariant(FromColorRef(*cell.colourRef)) : QVariant();
    case Qt::DecorationRole:
      if (cell.icon < 0 || !icons_) return {};
      return icons_(cell.icon);
    default:
      return {};
  }
}

QVariant VirtualListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  if (section < 0 || section >= headers_.size()) return {};
  return headers_[section];
}

void VirtualListModel::sort(int column, Qt::SortOrder order) {
  if (column < 0 || column >= columnCount()) return;
  beginResetModel();
  source_.SortBy(column, order == Qt::AscendingOrder);
  rows_ = ClampedRows(source_.RowCount());
  endResetModel();
}

}  // namespace ov
