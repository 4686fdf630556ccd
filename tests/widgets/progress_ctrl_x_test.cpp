#include <gtest/gtest.h>

#include "platform/time/virtual_clock.h"
#include "tests/widgets/widget_image.h"
#include "widgets/colorref.h"
#include "widgets/progress_ctrl_x.h"

namespace ov {
namespace {

using Mode = CProgressCtrlX::CaptionMode;

TEST(ProgressCtrlX, CaptionFollowsItsModeAndTheClampedPosition) {
  struct Case {
    const char* name;
    const char* caption;
    Mode mode;
    int position;
    int shownPosition;
    const char* text;
  } cases[] = {
      {"percent mode fills the position", "Link Quality >> %d%%", Mode::Percent, 76, 76,
       "Link Quality >> 76%"},
      {"text mode is shown unchanged", "Signal Strength 1 >> -61 dBm", Mode::Text, 40, 40,
       "Signal Strength 1 >> -61 dBm"},
      {"text mode keeps its own percent signs", "%d%%", Mode::Text, 40, 40, "%d%%"},
      {"below the range", "%d%%", Mode::Percent, -20, 0, "0%"},
      {"above the range", "%d%%", Mode::Percent, 250, 100, "100%"},
      {"a caption from a bad language file", "%s %n %d", Mode::Percent, 5, 5, "%s %n 5"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CProgressCtrlX bar;
    bar.setCaption(QString::fromLatin1(c.caption), c.mode);
    bar.setPosition(c.position);
    EXPECT_EQ(bar.position(), c.shownPosition);
    EXPECT_EQ(bar.shownPosition(), c.shownPosition) << "without a timer the bar jumps";
    EXPECT_EQ(bar.captionText().toStdString(), c.text);
  }
}

TEST(ProgressCtrlX, DrawsTheGradientUpToThePositionOnly) {
  CProgressCtrlX bar;
  bar.resize(202, 24);
  const QColor red = FromColorRef(0x0000FF);
  bar.setBarColour(red);
  bar.setCaption(QString(), Mode::Text);
  struct Case {
    int position;
    int filled;  // of the 200 inner pixels
  } cases[] = {{0, 0}, {40, 80}, {100, 200}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "position " << c.position);
    bar.setPosition(c.position);
    EXPECT_EQ(bar.filledWidth(), c.filled);
    const QImage image = test::Render(bar);
    const QColor base = bar.palette().base().color();
    // Inner pixels start at x = 1; the top row is the first colour stop, the middle the second.
    for (int x = 1; x <= 200; ++x) {
      const bool inside = x <= c.filled;
      ASSERT_EQ(test::Near(image.pixelColor(x, 1), red), inside) << "x " << x;
      ASSERT_EQ(test::Near(image.pixelColor(x, 1), base), !inside) << "x " << x;
    }
    if (c.filled > 0) {
      EXPECT_TRUE(test::Near(image.pixelColor(1, 12), BarMiddleColour(), 24));
    }
  }
}

TEST(ProgressCtrlX, AnimatesTowardTheNewPositionIn55msSteps) {
  VirtualClock clock;
  CProgressCtrlX bar(nullptr, &clock);
  bar.setCaption(QStringLiteral("%d%%"), Mode::Percent);
  bar.setPosition(80);
  EXPECT_EQ(bar.position(), 80);
  EXPECT_EQ(bar.captionText().toStdString(), "80%") << "the caption tells the target at once";
  EXPECT_EQ(bar.shownPosition(), 0);
  clock.advance(54);
  EXPECT_EQ(bar.shownPosition(), 0);
  clock.advance(1);
  EXPECT_EQ(bar.shownPosition(), 20) << "a quarter of the way";
  clock.advance(55 * 40);
  EXPECT_EQ(bar.shownPosition(), 80);
  EXPECT_EQ(clock.activeCount(), 0u) << "the step timer stops at the target";

  // Downward, and a new target while moving.
  bar.setPosition(0);
  clock.advance(55);
  EXPECT_EQ(bar.shownPosition(), 60);
  bar.setPosition(70);
  clock.advance(55 * 40);
  EXPECT_EQ(bar.shownPosition(), 70);
  EXPECT_EQ(clock.activeCount(), 0u);
}

TEST(ProgressCtrlX, DestroyedWhileAnimatingLeavesNoTimer) {
  VirtualClock clock;
  {
    CProgressCtrlX bar(nullptr, &clock);
    bar.setPosition(100);
    EXPECT_EQ(clock.activeCount(), 1u);
  }
  EXPECT_EQ(clock.activeCount(), 0u);
  clock.advance(1000);  // nothing may call into the destroyed bar
}

}  // namespace
}  // namespace ov
