#include <gtest/gtest.h>

#include <QPixmap>

#include "tests/widgets/widget_image.h"
#include "widgets/bar_button.h"

namespace ov {
namespace {

QIcon Square() {
  QPixmap pixmap(24, 24);
  pixmap.fill(Qt::darkCyan);
  return QIcon(pixmap);
}

// The selection must be seen on every button, and never be mistaken for the accent scheme.
TEST(BarButton, SelectionIsMarkedAndDistinctFromTheAccent) {
  struct Case {
    const char* name;
    bool accent;
    bool checked;
    QColor face;
    bool marked;
  } cases[] = {
      {"plain", false, false, QColor(), false},
      {"plain, selected", false, true, BarButton::SelectedFace(), true},
      {"accent", true, false, BarButton::AccentFace(), false},
      {"accent, selected", true, true, BarButton::AccentFace(), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QWidget bar;
    auto* button = new BarButton(&bar);
    button->setFace(QStringLiteral("Survey"), Square());
    button->setCheckable(true);
    button->setAccent(c.accent);
    button->setChecked(c.checked);
    button->resize(90, 64);
    const QImage image = test::Render(*button);
    const QColor face = image.pixelColor(3, 3);
    if (c.face.isValid()) {
      EXPECT_EQ(face, c.face);
    }
    const QColor mark = image.pixelColor(45, 64 - 3);
    EXPECT_EQ(mark == BarButton::SelectedMark(), c.marked);
    EXPECT_NE(face, BarButton::SelectedMark());
  }
  EXPECT_NE(BarButton::SelectedFace(), BarButton::AccentFace());
}

// Icons and labels sit at the same places on every button, so the labels of a bar line up.
TEST(BarButton, IconAndLabelPlacesDoNotDependOnTheLabel) {
  auto firstInkRow = [](const QImage& image, int fromRow, const QColor& face) {
    for (int y = fromRow; y < image.height(); ++y) {
      for (int x = 4; x < image.width() - 4; ++x) {
        if (image.pixelColor(x, y) != face && image.pixelColor(x, y) != QColor(Qt::darkCyan)) return y;
      }
    }
    return -1;
  };
  QWidget bar;
  auto* shortLabel = new BarButton(&bar);
  auto* longLabel = new BarButton(&bar);
  shortLabel->setFace(QStringLiteral("WPS"), Square());
  longLabel->setFace(QStringLiteral("HELP DESK"), Square());
  for (BarButton* button : {shortLabel, longLabel}) button->resize(90, 64);
  const QImage a = test::Render(*shortLabel);
  const QImage b = test::Render(*longLabel);
  EXPECT_EQ(a.pixelColor(45, BarButton::kIconTop + 2), QColor(Qt::darkCyan));
  EXPECT_EQ(b.pixelColor(45, BarButton::kIconTop + 2), QColor(Qt::darkCyan));
  const int textFrom = BarButton::kIconTop + 24 + 1;
  const QColor face = a.pixelColor(3, 3);
  EXPECT_EQ(firstInkRow(a, textFrom, face), firstInkRow(b, textFrom, face));
  EXPECT_GT(firstInkRow(a, textFrom, face), textFrom);
}

}  // namespace
}  // namespace ov

namespace ov {
namespace {

// The caption-less bar labels its narrow scroll buttons "<==" and "==>": shrunk, never cut.
TEST(BarButton, ANarrowTextButtonShrinksItsLabelInsteadOfCuttingIt) {
  QWidget bar;
  auto* scroll = new BarButton(&bar);
  QFont font = scroll->font();
  font.setPixelSize(13);
  scroll->setFont(font);
  scroll->setFace(QStringLiteral("<=="), QIcon());
  scroll->resize(28, 64);
  ASSERT_GT(QFontMetrics(font).horizontalAdvance(QStringLiteral("<==")), 28 - 6)
      << "at its own size the label would not fit";
  const QImage image = test::Render(*scroll);
  const QColor face = image.pixelColor(3, 3);
  // The label's ink lies inside the button's border, clear of its first and last columns.
  int left = image.width();
  int right = -1;
  for (int y = 8; y < 56; ++y) {
    for (int x = 1; x < image.width() - 1; ++x) {
      if (image.pixelColor(x, y) != face) {
        left = std::min(left, x);
        right = std::max(right, x);
      }
    }
  }
  ASSERT_GE(right, 0) << "the label is drawn";
  EXPECT_GE(left, 2);
  EXPECT_LE(right, image.width() - 3);
}

// Under an icon a label has one line: a long one shrinks onto it instead of wrapping onto a
// second line the button has no room for.
TEST(BarButton, ALongLabelUnderItsIconStaysOnOneLine) {
  QWidget bar;
  auto* button = new BarButton(&bar);
  QFont font = button->font();
  font.setPixelSize(13);
  button->setFont(font);
  const QString label = QStringLiteral("Single Sign-On");
  button->setFace(label, Square());
  button->resize(90, 64);
  ASSERT_GT(QFontMetrics(font).horizontalAdvance(label), 90 - 6)
      << "at its own size the label would need two lines";
  const QImage image = test::Render(*button);
  const QColor face = image.pixelColor(3, 3);
  int top = image.height();
  int bottom = -1;
  for (int y = BarButton::kIconTop + 24 + 2; y < image.height() - 1; ++y) {
    for (int x = 1; x < image.width() - 1; ++x) {
      if (image.pixelColor(x, y) != face) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
    }
  }
  ASSERT_GE(bottom, 0) << "the label is drawn";
  EXPECT_LT(bottom - top, QFontMetrics(font).height()) << "one line of text";
  EXPECT_LT(bottom, image.height() - 2) << "inside the button";
}

}  // namespace
}  // namespace ov
