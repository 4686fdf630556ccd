#pragma once
#include <QStringList>
#include <QTableView>
#include <string>
#include <vector>

#include "widgets/row_source.h"
#include "widgets/virtual_list_model.h"

// The radio pages' lists: rows of texts the page keeps, shown through a virtual list whose
// columns take fixed shares of its width.
namespace ov {

class TextRows : public RowSource {
 public:
  std::vector<std::vector<std::string>> rows;
  size_t RowCount() const override { return rows.size(); }
  ListCell Cell(size_t row, int column) const override {
    const auto& cells = rows[row];
    ListCell cell;
    if (column >= 0 && static_cast<size_t>(column) < cells.size()) cell.text = cells[column];
    return cell;
  }
};

// A full-row, single-selection list over `rows` with the given headers; `shares` are the columns'
// parts of `width` (they need not add up to one).
class TextRowsList : public QTableView {
  Q_OBJECT

 public:
  TextRowsList(const QStringList& headers, const std::vector<double>& shares, int width,
               bool gridLines, QWidget* parent);

  TextRows& Rows() { return rows_; }
  const TextRows& Rows() const { return rows_; }
  // Tells the view the rows changed (the item count); the selection goes with them.
  void Reset();
  // The selected row, or -1.
  int SelectedRow() const;
  // The text of a cell, for callers and tests.
  QString CellText(int row, int column) const;

 private:
  TextRows rows_;
  VirtualListModel* model_ = nullptr;
};

}  // namespace ov
