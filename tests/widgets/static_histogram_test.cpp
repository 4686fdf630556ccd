#include <gtest/gtest.h>

#include "tests/widgets/widget_image.h"
#include "widgets/static_histogram.h"

namespace ov {
namespace {

// Columns of the plot area where the bar colour reaches row `y`.
std::vector<int> BarColumnsAtRow(const QImage& image, const QRect& plot, int y, const QColor& bar) {
  std::vector<int> columns;
  for (int x = plot.left(); x <= plot.right(); ++x) {
    if (image.pixelColor(x, y) == bar) columns.push_back(x);
  }
  return columns;
}

TEST(StaticHistogram, NewestSampleIsTheRightmostTwoPixelBar) {
  CStaticHistogramPellan graph(nullptr, 400);
  graph.resize(150, 52);
  graph.setBarColour(Qt::green);
  graph.setFullScale(4.0);
  graph.addSample(4.0);  // older: full height
  graph.addSample(2.0);  // newest: half height
  const QRect plot = graph.plotArea();
  EXPECT_EQ(plot, QRect(50, 0, 100, 52));

  const QImage image = test::Render(graph);
  // Half of (52 - 2) = 25 pixels high: row 52 - 25 = 27 is its top.
  EXPECT_EQ(BarColumnsAtRow(image, plot, 51, Qt::green), (std::vector<int>{146, 147, 148, 149}));
  EXPECT_EQ(BarColumnsAtRow(image, plot, 27, Qt::green), (std::vector<int>{146, 147, 148, 149}));
  EXPECT_EQ(BarColumnsAtRow(image, plot, 26, Qt::green), (std::vector<int>{146, 147}))
      << "only the older, taller bar reaches above the newest";
  EXPECT_EQ(BarColumnsAtRow(image, plot, 2, Qt::green), (std::vector<int>{146, 147}));
  EXPECT_EQ(image.pixelColor(100, 51), QColor(Qt::black)) << "the plot is black where no sample is";
}

TEST(StaticHistogram, ZeroFullScaleAndClearingDrawAnEmptyPlot) {
  CStaticHistogramPellan graph(nullptr, 400);
  graph.resize(150, 52);
  graph.setBarColour(Qt::green);
  graph.addSample(3.0);
  const QRect plot = graph.plotArea();
  graph.setFullScale(0.0);
  EXPECT_TRUE(BarColumnsAtRow(test::Render(graph), plot, 51, Qt::green).empty());
  graph.setFullScale(3.0);
  EXPECT_FALSE(BarColumnsAtRow(test::Render(graph), plot, 51, Qt::green).empty());
  graph.clear();
  EXPECT_TRUE(BarColumnsAtRow(test::Render(graph), plot, 51, Qt::green).empty());
}

TEST(StaticHistogram, MoreSamplesThanThePlotIsWideKeepTheNewest) {
  CStaticHistogramPellan graph(nullptr, 10);
  graph.resize(50 + 40, 30);  // 20 bars wide, but a ring of 10
  graph.setBarColour(Qt::yellow);
  graph.setFullScale(1.0);
  for (int i = 0; i < 25; ++i) graph.addSample(1.0);
  const auto columns = BarColumnsAtRow(test::Render(graph), graph.plotArea(), 29, Qt::yellow);
  EXPECT_EQ(columns.size(), 20u) << "ten bars of two pixels";
  EXPECT_EQ(columns.front(), 70);
  EXPECT_EQ(columns.back(), 89);
}

TEST(StaticHistogram, LabelsAreWhiteInTheirColumn) {
  CStaticHistogramPellan graph(nullptr, 100);
  graph.resize(150, 60);
  graph.setLabels({QStringLiteral("Max"), QStringLiteral("0.000 Mbps")});
  const QImage image = test::Render(graph);
  // Each label has its half of the height; somewhere in each half the text is drawn in white.
  auto whiteIn = [&](int top, int bottom) {
    for (int y = top; y < bottom; ++y) {
      for (int x = 0; x < 50; ++x) {
        if (test::Near(image.pixelColor(x, y), Qt::white, 60)) return true;
      }
    }
    return false;
  };
  EXPECT_TRUE(whiteIn(0, 30));
  EXPECT_TRUE(whiteIn(30, 60));
  CStaticHistogramPellan plain(nullptr, 100);
  plain.resize(150, 60);
  const QImage blank = test::Render(plain);
  EXPECT_EQ(blank.pixelColor(10, 15), QColor(Qt::black));
}

}  // namespace
}  // namespace ov
