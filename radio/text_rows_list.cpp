#include "radio/text_rows_list.h"

#include <QHeaderView>

namespace ov {

TextRowsList::TextRowsList(const QStringList& headers, const std::vector<double>& shares,
                           int width, bool gridLines, QWidget* parent)
    : QTableView(parent) {
  model_ = new VirtualListModel(rows_, headers, this);
  setModel(model_);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setShowGrid(gridLines);
  setWordWrap(false);
  verticalHeader()->hide();
  verticalHeader()->setDefaultSectionSize(20);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setMinimumSectionSize(8);
  setFixedWidth(width);
  // The frame and the scroll bar take their part before the columns share the rest.
  const int usable = width - 2 * frameWidth() - 16;
  for (size_t i = 0; i < shares.size(); ++i) {
    setColumnWidth(static_cast<int>(i), static_cast<int>(usable * shares[i]));
  }
}

void TextRowsList::Reset() { model_->Reset(); }

int TextRowsList::SelectedRow() const {
  const QModelIndexList rows = selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

QString TextRowsList::CellText(int row, int column) const {
  return model_->index(row, column).data().toString();
}

}  // namespace ov
