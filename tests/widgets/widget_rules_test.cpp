#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "widgets/caption_format.h"
#include "widgets/histogram_ring.h"

namespace ov {
namespace {

TEST(CaptionFormat, FillsOneIntegerAndNeverTrustsTheRest) {
  struct Case {
    const char* name;
    const char* format;
    int64_t value;
    const char* shown;
  } cases[] = {
      {"percent caption", "Link Quality >> %d%%", 76, "Link Quality >> 76%"},
      {"dBm caption", "Signal Strength 1 >> %d dBm", -61, "Signal Strength 1 >> -61 dBm"},
      {"%i and %u fill too", "%i/%u", 5, "5/%u"},
      {"only the first placeholder", "%d and %d", 3, "3 and %d"},
      {"a string conversion is shown, not read", "%s >> %d%%", 9, "%s >> 9%"},
      {"a width is not a conversion", "%5d", 1, "%5d"},
      {"no placeholder", "Noise", 40, "Noise"},
      {"a lone percent at the end", "100%", 1, "100%"},
      {"empty", "", 7, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatIntCaption(c.format, c.value), c.shown) << c.name;
  }
}

TEST(HistogramRing, KeepsTheNewestSamplesInOrderAndWraps) {
  HistogramRing ring(3);
  ring.Add(1);
  ring.Add(2);
  EXPECT_EQ(ring.Newest(0), 2);
  EXPECT_EQ(ring.Newest(1), 1);
  EXPECT_EQ(ring.Newest(2), 0) << "an empty slot is a zero sample";
  ring.Add(3);
  ring.Add(4);  // pushes 1 out
  EXPECT_EQ(ring.Newest(0), 4);
  EXPECT_EQ(ring.Newest(1), 3);
  EXPECT_EQ(ring.Newest(2), 2);
  EXPECT_EQ(ring.Newest(3), 0) << "beyond the ring";

  ring.Add(-5);
  ring.Add(std::nan(""));
  EXPECT_EQ(ring.Newest(0), 0) << "not a number";
  EXPECT_EQ(ring.Newest(1), 0) << "negative";
  ring.Clear();
  for (size_t age = 0; age < ring.Capacity(); ++age) EXPECT_EQ(ring.Newest(age), 0);

  HistogramRing none(0);
  EXPECT_EQ(none.Capacity(), 1u) << "a ring always holds the newest sample";
}

TEST(HistogramRing, BarHeightFollowsTheFullScale) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* name;
    int plot;
    double sample;
    double scale;
    int height;
  } cases[] = {
      {"full scale sample", 52, 4.0, 4.0, 50},
      {"half", 52, 2.0, 4.0, 25},
      {"zero full scale draws nothing", 52, 4.0, 0.0, 0},
      {"negative full scale draws nothing", 52, 4.0, -1.0, 0},
      {"above the scale is capped at the plot", 52, 40.0, 4.0, 52},
      {"zero sample", 52, 0.0, 4.0, 0},
      {"tiny sample rounds down", 52, 0.01, 4.0, 0},
      {"infinite sample is capped", 52, inf, 4.0, 52},
      {"infinite scale draws nothing", 52, 1.0, inf, 0},
      {"no plot", 0, 1.0, 1.0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HistogramBarHeight(c.plot, c.sample, c.scale), c.height) << c.name;
  }
}

}  // namespace
}  // namespace ov
