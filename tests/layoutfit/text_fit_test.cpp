#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <functional>
#include <memory>
#include <string>

#include "tests/layoutfit/text_fit.h"

// The fit check itself: it must see each kind of cut, and pass what fits.
namespace ov {
namespace {

constexpr char kLongText[] = "Verbindungsgeschwindigkeit und Signalstärke";
constexpr char kShortWords[] = "Die Karte ist bereit und das Netz ist da, der Kanal ist frei";

struct FitCase {
  const char* name;
  std::function<QWidget*(QWidget* page)> make;  // the control under test, on the page
  bool cut;
  const char* why;  // start of CutText::why when cut
};

void PrintTo(const FitCase& c, std::ostream* os) { *os << c.name; }

class TextFitCheck : public ::testing::TestWithParam<FitCase> {};

TEST_P(TextFitCheck, ReportsExactlyTheCutControl) {
  QWidget page;
  page.resize(400, 300);
  QWidget* control = GetParam().make(&page);
  control->setObjectName(QStringLiteral("probe"));
  page.show();
  QApplication::processEvents();

  const std::vector<test::CutText> cuts = test::CutTexts(&page);

  if (!GetParam().cut) {
    EXPECT_TRUE(cuts.empty()) << cuts.front().Describe().toStdString();
    return;
  }
  ASSERT_EQ(cuts.size(), 1u);
  EXPECT_TRUE(cuts[0].path.endsWith(QLatin1String("/probe"))) << cuts[0].path.toStdString();
  EXPECT_TRUE(cuts[0].why.startsWith(QLatin1String(GetParam().why)))
      << cuts[0].Describe().toStdString();
}

template <class Widget>
QWidget* Placed(QWidget* page, const QString& text, const QRect& at) {
  auto* widget = new Widget(text, page);
  widget->setGeometry(at);
  return widget;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextFitCheck,
    ::testing::Values(
        FitCase{"LabelFits",
                [](QWidget* p) { return Placed<QLabel>(p, "Kanal", QRect(0, 0, 200, 30)); }, false,
                ""},
        FitCase{"LabelTooNarrow",
                [](QWidget* p) { return Placed<QLabel>(p, kLongText, QRect(0, 0, 60, 30)); }, true,
                "width"},
        FitCase{"LabelTooLow",
                [](QWidget* p) { return Placed<QLabel>(p, "Kanal", QRect(0, 0, 200, 4)); }, true,
                "height"},
        FitCase{"WrappedLabelNeedsMoreLines",
                [](QWidget* p) {
                  auto* label = new QLabel(kShortWords, p);
                  label->setWordWrap(true);
                  label->setGeometry(0, 0, 120, 20);
                  return label;
                },
                true, "height"},
        FitCase{"WrappedLabelWithAWordWiderThanItself",
                [](QWidget* p) {
                  auto* label = new QLabel(kLongText, p);
                  label->setWordWrap(true);
                  label->setGeometry(0, 0, 60, 200);
                  return label;
                },
                true, "width"},
        FitCase{"WrappedLabelWithRoom",
                [](QWidget* p) {
                  auto* label = new QLabel(QString(kLongText) + " " + kLongText, p);
                  label->setWordWrap(true);
                  label->setGeometry(0, 0, 200, 200);
                  return label;
                },
                false, ""},
        FitCase{"LabelPastTheRightOfItsParent",
                [](QWidget* p) {
                  auto* frame = new QWidget(p);
                  frame->setGeometry(0, 0, 100, 50);
                  auto* label = new QLabel(kLongText, frame);
                  label->setGeometry(10, 0, 400, 30);
                  return label;
                },
                true, "clipped by"},
        FitCase{"PushButtonFits",
                [](QWidget* p) { return Placed<QPushButton>(p, "OK", QRect(0, 0, 76, 26)); },
                false, ""},
        FitCase{"PushButtonTooNarrow",
                [](QWidget* p) {
                  return Placed<QPushButton>(p, "Übernehmen und schließen", QRect(0, 0, 76, 26));
                },
                true, "width"},
        FitCase{"CheckBoxTooNarrow",
                [](QWidget* p) { return Placed<QCheckBox>(p, kLongText, QRect(0, 0, 90, 20)); },
                true, "width"},
        FitCase{"CheckBoxFits",
                [](QWidget* p) { return Placed<QCheckBox>(p, kLongText, QRect(0, 0, 390, 24)); },
                false, ""},
        FitCase{"GroupBoxTitleTooLong",
                [](QWidget* p) { return Placed<QGroupBox>(p, kLongText, QRect(0, 0, 80, 60)); },
                true, "width"},
        FitCase{"TabsThatMustShrink",
                [](QWidget* p) {
                  auto* tabs = new QTabWidget(p);
                  tabs->setGeometry(0, 0, 120, 80);
                  tabs->addTab(new QWidget, kLongText);
                  tabs->addTab(new QWidget, kLongText);
                  return tabs->findChild<QTabBar*>();
                },
                true, "width"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VisitEverySubPage, SeesEachTabOfATabWidgetAndEachTabButtonOnce) {
  QWidget page;
  page.resize(400, 300);
  auto* tabs = new QTabWidget(&page);
  tabs->setGeometry(0, 0, 400, 100);
  for (const char* name : {"a", "b", "c"}) tabs->addTab(new QWidget, name);
  auto* first = new QPushButton("Tab 1", &page);
  auto* second = new QPushButton("Tab 2", &page);
  auto* action = new QPushButton("Delete", &page);
  first->setCheckable(true);
  second->setCheckable(true);
  first->setChecked(true);
  first->setAutoExclusive(true);
  second->setAutoExclusive(true);
  second->setGeometry(100, 150, 80, 26);
  int actionPressed = 0;
  QObject::connect(action, &QPushButton::clicked, [&] { ++actionPressed; });
  page.show();
  QApplication::processEvents();

  std::vector<std::string> seen;
  test::VisitEverySubPage(&page, [&] {
    seen.push_back(std::to_string(tabs->currentIndex()) + (second->isChecked() ? "+2" : "+1"));
  });

  // Now, tabs b and c, then the second tab button; the first tab is current again afterwards.
  EXPECT_EQ(seen, (std::vector<std::string>{"0+1", "1+1", "2+1", "0+2"}));
  EXPECT_EQ(actionPressed, 0) << "an ordinary push button was pressed";
}

}  // namespace
}  // namespace ov
