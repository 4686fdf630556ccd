#include <gtest/gtest.h>

#include <QLineEdit>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

#include "widgets/slider_link.h"

namespace ov {
namespace {

// The profile editor's two thresholds: RTS 0..2347 and fragmentation 256..2346.
TEST(SliderLink, TypedNumbersMoveTheSliderAndAreClampedIntoItsRange) {
  struct Case {
    const char* name;
    int minimum;
    int maximum;
    const char* typed;
    const char* shownWhileTyping;
    int slider;
    const char* shownAfterLeaving;
  } cases[] = {
      {"RTS 5000 shows the maximum at once", 0, 2347, "5000", "2347", 2347, "2347"},
      {"RTS in range", 0, 2347, "512", "512", 512, "512"},
      {"fragmentation 100 moves the slider to the minimum", 256, 2346, "100", "100", 256, "256"},
      {"fragmentation above", 256, 2346, "9999", "2346", 2346, "2346"},
      {"letters are refused", 0, 2347, "12ab", "12", 12, "12"},
      {"a number beyond int", 0, 2347, "999999999", "2347", 2347, "2347"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SliderLink link;
    link.setRange(c.minimum, c.maximum);
    link.setValue(c.minimum);
    link.edit()->clear();
    QTest::keyClicks(link.edit(), QString::fromLatin1(c.typed));
    EXPECT_EQ(link.edit()->text().toStdString(), c.shownWhileTyping);
    EXPECT_EQ(link.slider()->value(), c.slider);
    emit link.edit()->editingFinished();
    EXPECT_EQ(link.edit()->text().toStdString(), c.shownAfterLeaving);
    EXPECT_EQ(link.value(), c.slider);
  }
}

TEST(SliderLink, TheSliderWritesTheEditAndReportsItsValue) {
  SliderLink link;
  link.setRange(0, 2347);
  link.setSteps(32, 256);
  QSignalSpy changed(&link, &SliderLink::valueChanged);
  link.slider()->triggerAction(QAbstractSlider::SliderPageStepAdd);
  link.slider()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(link.value(), 288);
  EXPECT_EQ(link.edit()->text(), "288");
  EXPECT_EQ(changed.count(), 2);
  link.setValue(5000);
  EXPECT_EQ(link.value(), 2347);
  EXPECT_EQ(link.edit()->text(), "2347");

  // Clearing the edit reads as 0 and is put back into the range on leaving.
  link.setRange(256, 2346);
  link.edit()->clear();
  emit link.edit()->textEdited(QString());
  emit link.edit()->editingFinished();
  EXPECT_EQ(link.edit()->text(), "256");
  EXPECT_EQ(link.value(), 256);
}

}  // namespace
}  // namespace ov
