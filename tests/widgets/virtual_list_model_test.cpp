#include <gtest/gtest.h>

#include <QPixmap>
#include <QSignalSpy>
#include <algorithm>
#include <string>
#include <vector>

#include "widgets/colorref.h"
#include "widgets/signal_bar_delegate.h"
#include "widgets/virtual_list_model.h"

namespace ov {
namespace {

// Rows of (SSID, signal percent); column 1 is drawn as a bar, column 2 is an icon.
class SurveyRows final : public RowSource {
 public:
  std::vector<std::pair<std::string, int>> rows;
  mutable int cellsAsked = 0;

  size_t RowCount() const override { return rows.size(); }
  ListCell Cell(size_t row, int column) const override {
    ++cellsAsked;
    ListCell cell;
    const auto& [ssid, percent] = rows.at(row);
    if (column == 0) cell.text = ssid;
    if (column == 1) {
      cell.text = std::to_string(percent) + "%";
      cell.percent = percent;
      cell.colourRef = percent < 35 ? 0x0000FF : 0xFF0000;
    }
    if (column == 2) cell.icon = percent > 50 ? 7 : -1;
    return cell;
  }
  bool SortBy(int column, bool ascending) override {
    if (column != 1) return false;
    std::stable_sort(rows.begin(), rows.end(), [&](const auto& a, const auto& b) {
      return ascending ? a.second < b.second : a.second > b.second;
    });
    return true;
  }
};

QIcon IconNumbered(int icon) {
  QPixmap pixmap(4, 4);
  pixmap.fill(icon == 7 ? Qt::red : Qt::gray);
  return QIcon(pixmap);
}

TEST(VirtualListModel, AnswersEachRoleFromTheSourceCell) {
  SurveyRows rows;
  rows.rows = {{"lab", 100}, {"café", 13}};
  VirtualListModel model(rows, {QStringLiteral("SSID"), QStringLiteral("Signal"), QString()});
  model.setIconLookup(IconNumbered);
  EXPECT_EQ(model.rowCount(), 2);
  EXPECT_EQ(model.columnCount(), 3);
  EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "Signal");
  EXPECT_FALSE(model.headerData(3, Qt::Horizontal).isValid());
  EXPECT_FALSE(model.headerData(0, Qt::Vertical).isValid());

  EXPECT_EQ(model.data(model.index(1, 0)).toString(), QString::fromUtf8("café")) << "UTF-8 text";
  EXPECT_EQ(model.data(model.index(1, 1), SignalPercentRole).toInt(), 13);
  EXPECT_EQ(model.data(model.index(1, 1), SignalColourRole).value<QColor>(), QColor(255, 0, 0))
      << "0x0000FF is red in the pages' colour notation";
  EXPECT_FALSE(model.data(model.index(0, 0), SignalPercentRole).isValid());
  EXPECT_FALSE(model.data(model.index(0, 2)).isValid()) << "an empty text is no text";
  EXPECT_FALSE(model.data(model.index(0, 2), Qt::DecorationRole).value<QIcon>().isNull());
  EXPECT_FALSE(model.data(model.index(1, 2), Qt::DecorationRole).isValid()) << "icon -1";
  EXPECT_FALSE(model.data(model.index(0, 0), Qt::EditRole).isValid());
}

TEST(VirtualListModel, ASourceThatShrankBeforeTheResetAnswersNothing) {
  SurveyRows rows;
  rows.rows = {{"a", 1}, {"b", 2}, {"c", 3}};
  VirtualListModel model(rows, {QStringLiteral("SSID"), QStringLiteral("Signal")});
  const QModelIndex last = model.index(2, 0);
  rows.rows.resize(1);  // a new, shorter scan list; the page has not reset yet
  EXPECT_EQ(model.rowCount(), 3) << "the view learns the count only at Reset";
  EXPECT_FALSE(model.data(last).isValid());

  QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
  model.Reset();
  EXPECT_EQ(reset.count(), 1);
  EXPECT_EQ(model.rowCount(), 1);
  EXPECT_FALSE(model.index(2, 0).isValid());
}

TEST(VirtualListModel, AsksOnlyForTheCellsItIsAskedFor) {
  SurveyRows rows;
  rows.rows.assign(100000, {"net", 50});
  VirtualListModel model(rows, {QStringLiteral("SSID"), QStringLiteral("Signal")});
  model.Reset();
  EXPECT_EQ(model.rowCount(), 100000);
  EXPECT_EQ(rows.cellsAsked, 0) << "a reset builds no rows";
  model.data(model.index(99999, 1));
  model.data(model.index(99999, 1), Qt::SizeHintRole);  // a role the cells do not have
  EXPECT_EQ(rows.cellsAsked, 1);
}

TEST(VirtualListModel, SortingIsTheSourcesAndResetsTheView) {
  SurveyRows rows;
  rows.rows = {{"a", 40}, {"b", 90}, {"c", 40}, {"d", 10}};
  VirtualListModel model(rows, {QStringLiteral("SSID"), QStringLiteral("Signal")});
  QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
  model.sort(1, Qt::DescendingOrder);
  EXPECT_EQ(reset.count(), 1);
  std::string order;
  for (int row = 0; row < model.rowCount(); ++row) order += model.data(model.index(row, 0)).toString().toStdString();
  EXPECT_EQ(order, "bacd") << "equal signals keep their order";
  model.sort(7);  // no such column: nothing happens
  EXPECT_EQ(reset.count(), 1);
}

}  // namespace
}  // namespace ov
