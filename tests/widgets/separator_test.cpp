#include <gtest/gtest.h>

#include "tests/widgets/widget_image.h"
#include "widgets/separator.h"

namespace ov {
namespace {

// The rule's dark line on the middle row, from its first pixel.
int FirstRulePixel(const QImage& image, const QColor& rule) {
  const int y = image.height() / 2;
  for (int x = 0; x < image.width(); ++x) {
    if (image.pixel(x, y) == rule.rgb()) return x;
  }
  return -1;
}

TEST(Separator, TheRuleStartsAfterItsCaptionAndTheCaptionIsNeverCut) {
  struct Case {
    const char* name;
    const char* caption;
  } cases[] = {{"no caption", ""}, {"HT", "HT"}, {"long caption", "WPS Profile List"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Separator separator(QString::fromLatin1(c.caption));
    separator.resize(300, separator.sizeHint().height());
    const int textWidth = separator.fontMetrics().horizontalAdvance(QString::fromLatin1(c.caption));
    EXPECT_GE(separator.sizeHint().width(), textWidth) << "the layout keeps room for the caption";
    const QImage image = test::Render(separator);
    const int first = FirstRulePixel(image, separator.palette().color(QPalette::Mid));

    if (*c.caption == 0) {
      EXPECT_EQ(first, 0);
    } else {
      EXPECT_GT(first, textWidth) << "the line does not run through the caption";
    }
  }
}

}  // namespace
}  // namespace ov
