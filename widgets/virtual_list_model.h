#pragma once
#include <QAbstractTableModel>
#include <QIcon>
#include <QStringList>
#include <functional>

#include "widgets/row_source.h"

// A table model over a RowSource: it holds no rows of its own and asks the source for each cell
// the view draws. The page calls Reset() after its source changed (a new scan list), which is the
// only time the view learns a new row count.
namespace ov {

class VirtualListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  using IconLookup = std::function<QIcon(int icon)>;

  VirtualListModel(RowSource& source, QStringList headers, QObject* parent = nullptr);

  void setIconLookup(IconLookup lookup) { icons_ = std::move(lookup); }
  void Reset();

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  // Sorting is the source's: the view is reset after it.
  void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

 private:
  RowSource& source_;
  QStringList headers_;
  IconLookup icons_;
  int rows_ = 0;  // the count the view was last told
};

}  // namespace ov
