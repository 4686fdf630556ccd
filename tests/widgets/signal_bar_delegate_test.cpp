#include <gtest/gtest.h>

#include <QApplication>
#include <QPainter>
#include <QStandardItemModel>
#include <QStyleOptionViewItem>
#include <optional>

#include "tests/widgets/widget_image.h"
#include "widgets/signal_bar_delegate.h"

namespace ov {
namespace {

// One cell of 106x20 drawn by the delegate: a bar of 100 pixels inside its frame (x 3 to 102);
// its row 4 is what the tests read.
QImage PaintCell(const QStandardItem& prototype) {
  QStandardItemModel model(1, 1);
  model.setItem(0, 0, prototype.clone());
  SignalBarDelegate delegate;
  QStyleOptionViewItem option;
  option.rect = QRect(0, 0, 106, 20);
  option.state = QStyle::State_Enabled;
  option.palette = QApplication::palette();
  QImage image(106, 20, QImage::Format_ARGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  delegate.paint(&painter, option, model.index(0, 0));
  return image;
}

int ColouredColumns(const QImage& image, const QColor& colour) {
  int count = 0;
  for (int x = 0; x < image.width(); ++x) count += image.pixelColor(x, 4) == colour ? 1 : 0;
  return count;
}

TEST(SignalBarDelegate, FillsThePercentOfTheBarInTheCellsColour) {
  const QColor blue(0, 0, 255);
  struct Case {
    const char* name;
    std::optional<int> percent;
    int filled;  // of the 100 pixels of the bar
  } cases[] = {
      {"-40 dBm reads 100 %", 100, 100},
      {"-85 dBm reads 13 %", 13, 13},
      {"nothing", 0, 0},
      {"above 100 is full", 130, 100},
      {"below 0 is empty", -5, 0},
      {"no percentage: an ordinary cell", std::nullopt, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QStandardItem item(QStringLiteral("x"));
    if (c.percent) item.setData(*c.percent, SignalPercentRole);
    item.setData(blue, SignalColourRole);
    const QImage image = PaintCell(item);
    EXPECT_EQ(ColouredColumns(image, blue), c.filled);
    if (c.filled > 0) {
      EXPECT_EQ(image.pixelColor(3, 4), blue) << "the bar starts at the cell's left";
    }
  }
}

TEST(SignalBarDelegate, WithoutAColourTheBarTakesTheHighlight) {
  QStandardItem item;
  item.setData(50, SignalPercentRole);
  const QImage image = PaintCell(item);
  EXPECT_EQ(ColouredColumns(image, QApplication::palette().highlight().color()), 50);
}

}  // namespace
}  // namespace ov
