#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <string>

#include "platform/time/virtual_clock.h"
#include "widgets/filtering_edit.h"
#include "widgets/info_wnd.h"

namespace ov {
namespace {

TEST(InfoWnd, ShowsThePaddedTextBelowTheControlForFourSeconds) {
  VirtualClock clock;
  QWidget page;
  page.setGeometry(100, 100, 400, 200);
  auto* pin = new QLineEdit(&page);
  pin->setGeometry(20, 30, 120, 24);
  page.show();
  CInfoWnd note(clock);

  note.ShowNear(pin, QStringLiteral("Invaild Pin Code"));
  EXPECT_TRUE(note.isVisible());
  EXPECT_EQ(note.text(), " Invaild Pin Code ");
  EXPECT_EQ(note.textFormat(), Qt::PlainText) << "a key the user typed is never markup";
  const QPoint controlBottomLeft = pin->mapToGlobal(QPoint(0, pin->height()));
  EXPECT_EQ(note.pos().x(), controlBottomLeft.x());
  EXPECT_GT(note.pos().y(), controlBottomLeft.y() - 1);
  EXPECT_LT(note.pos().y(), controlBottomLeft.y() + 10) << "near the control";

  clock.advance(3999);
  EXPECT_TRUE(note.isVisible());
  clock.advance(1);
  EXPECT_FALSE(note.isVisible());

  // A second note restarts the four seconds.
  note.ShowNear(pin, QStringLiteral("first"));
  clock.advance(3000);
  note.ShowNear(pin, QStringLiteral("second"));
  clock.advance(3000);
  EXPECT_TRUE(note.isVisible());
  EXPECT_EQ(note.text(), " second ");
  clock.advance(1000);
  EXPECT_FALSE(note.isVisible());
  EXPECT_EQ(clock.activeCount(), 0u);
}

TEST(InfoWnd, PlacementStaysOnTheScreen) {
  const QRect screen(0, 0, 640, 400);
  const QSize note(200, 20);
  struct Case {
    const char* name;
    QRect control;
    QPoint at;
  } cases[] = {
      {"below, left-aligned", QRect(50, 50, 100, 24), QPoint(50, 76)},
      {"no room below: above", QRect(50, 380, 100, 20), QPoint(50, 357)},
      {"too far right: pulled in", QRect(600, 50, 40, 24), QPoint(440, 76)},
      {"left of the screen: pulled in", QRect(-30, 50, 40, 24), QPoint(0, 76)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CInfoWnd::Placement(c.control, note, screen), c.at) << c.name;
  }
}

TEST(InfoWnd, DestroyedWhileShownLeavesNoTimer) {
  VirtualClock clock;
  {
    CInfoWnd note(clock);
    note.ShowNear(nullptr, QStringLiteral("x"));
    EXPECT_EQ(clock.activeCount(), 1u);
  }
  EXPECT_EQ(clock.activeCount(), 0u);
  clock.advance(5000);
}

TEST(FilteringEdit, KeepsOnlyTheCharactersOfItsField) {
  struct Case {
    const char* name;
    CharacterClass allowed;
    const char* typed;
    const char* kept;
  } cases[] = {
      {"hex key", CharacterClass::Hex, "0aF9-xyZ1", "0aF91"},
      {"PIN digits", CharacterClass::Decimal, "1234 56a78", "12345678"},
      {"ASCII key keeps blanks and symbols", CharacterClass::PrintableAscii, "a b~!", "a b~!"},
      {"anything", CharacterClass::Any, "a-b c", "a-b c"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FilteringEdit edit(c.allowed);
    QTest::keyClicks(&edit, QString::fromLatin1(c.typed));
    EXPECT_EQ(edit.text().toStdString(), c.kept);
  }
}

TEST(FilteringEdit, PastedTextIsCheckedWhole) {
  FilteringEdit edit(CharacterClass::Hex);
  edit.setMaxLength(26);
  edit.insert(QStringLiteral("00112233"));
  edit.insert(QStringLiteral("44zz"));  // refused as a whole: no half paste
  EXPECT_EQ(edit.text(), "00112233");
  edit.insert(QString::fromUtf8("é"));
  EXPECT_EQ(edit.text(), "00112233");
  edit.setCharacterClass(CharacterClass::PrintableAscii);
  edit.insert(QString::fromUtf8("\t"));
  EXPECT_EQ(edit.text(), "00112233") << "a tab is no printable ASCII";
  edit.insert(QStringLiteral("44556677889900112233445566"));
  EXPECT_EQ(edit.text().size(), 26) << "the length limit holds";

  const std::u16string ascii = u"Key 1!";
  const std::u16string accented = u"Kéy";
  EXPECT_TRUE(TextOfClass(ascii, CharacterClass::PrintableAscii));
  EXPECT_FALSE(TextOfClass(accented, CharacterClass::PrintableAscii));
  EXPECT_TRUE(TextOfClass(u"", CharacterClass::Decimal)) << "an empty field is the user's to fill";
}

}  // namespace
}  // namespace ov
