#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QToolButton>
#include <string>

#include "shell/ui/control_ids.h"
#include "shell/ui/main_window.h"
#include "tests/shellui/page_window_fixture.h"
#include "widgets/accessibility.h"
#include "widgets/bar_button.h"
#include "widgets/progress_ctrl_x.h"

namespace ov {
namespace {

QAccessibleInterface* Iface(QWidget* widget) { return QAccessible::queryAccessibleInterface(widget); }

std::string Name(QWidget* widget) { return Iface(widget)->text(QAccessible::Name).toStdString(); }

// The main window's bar and buttons as assistive technology reads them; every text is its key's
// name, so a name shows which language text it came from.
class WindowReadingTest : public test::PageWindowFixture<> {
 protected:
  // A page for each page button, so every page tab has something to select.
  void SetUp() override {
    for (const TabButtonEntry& entry : TabButtons()) {
      if (entry.pageTemplate == 0) continue;
      registry.RegisterPage(entry.button, [](const PageContext&, QWidget* parent) {
        return new QWidget(parent);
      });
    }
  }
};

TEST_F(WindowReadingTest, PageButtonsAreTabsAndOnlyTheShownPagesTabIsSelected) {
  window = MakeWindow();
  for (TabButton shown : {TabButton::SiteSurvey, TabButton::Statistics, TabButton::About}) {
    window->ShowPage(shown);
    for (const TabButtonEntry& entry : TabButtons()) {
      BarButton* button = window->Button(entry.button);
      if (!button->isVisible()) continue;
      SCOPED_TRACE(entry.pageClass ? entry.pageClass : "command");
      QAccessibleInterface* iface = Iface(button);
      if (entry.pageTemplate == 0) {
        EXPECT_EQ(iface->role(), QAccessible::PushButton);
        EXPECT_FALSE(iface->state().selected);
      } else {
        EXPECT_EQ(iface->role(), QAccessible::PageTab);
        EXPECT_TRUE(iface->state().selectable);
        EXPECT_EQ(iface->state().selected, entry.button == shown);
        EXPECT_FALSE(iface->state().checkable) << "read as a check box";
      }
    }
  }
}

TEST_F(WindowReadingTest, IconOnlyButtonsAreNamedFromTheLanguageTable) {
  struct Row {
    const char* what;
    bool smallScreen;
    bool expanded;
    int control;
    const char* name;
  } rows[] = {
      {"more", false, false, IDC_MORE_LESS, "IDS_BTN_MORE"},
      {"less", false, true, IDC_MORE_LESS, "IDS_BTN_LESS"},
      {"close, small screen", true, true, IDC_CLOSE_X, "IDS_MIN_WINDOW"},
      {"left arrow", false, true, IDC_SCROLL_LEFT, "IDS_BTN_SCROLL_LEFT"},
      {"right arrow", false, true, IDC_SCROLL_RIGHT, "IDS_BTN_SCROLL_RIGHT"},
      {"left arrow, small screen", true, true, IDC_SCROLL_LEFT, "IDS_BTN_SCROLL_LEFT"},
      {"radio", false, true, IDC_TAB_RADIO, "IDS_TAB_RADIO"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    state.SmallScreen = row.smallScreen;
    state.Expanded = row.expanded;
    window = MakeWindow();
    BarButton* button = window->ControlButton(row.control);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(Name(button), row.name);
    EXPECT_EQ(Iface(button)->role(), QAccessible::PushButton);
    window.reset();
  }
}

TEST_F(WindowReadingTest, MoreLessNameFollowsTheStateAndTheRadioSaysOnOrOff) {
  state.Expanded = false;
  window = MakeWindow();
  BarButton* moreLess = window->ControlButton(IDC_MORE_LESS);
  window->ToggleMoreLess();
  EXPECT_EQ(Name(moreLess), "IDS_BTN_LESS");
  window->ToggleMoreLess();
  EXPECT_EQ(Name(moreLess), "IDS_BTN_MORE");

  BarButton* radio = window->Button(TabButton::Radio);
  state.RadioOn = true;
  EXPECT_EQ(Iface(radio)->text(QAccessible::Description).toStdString(), "IDS_RADIOON");
  window->OnCommand(IDC_TAB_RADIO);
  EXPECT_EQ(Iface(radio)->text(QAccessible::Description).toStdString(), "IDS_RADIOOFF");
  window->OnCommand(IDC_TAB_RADIO);
  EXPECT_EQ(Iface(radio)->text(QAccessible::Description).toStdString(), "IDS_RADIOON");
}

TEST_F(WindowReadingTest, PressingATabThroughItsActionShowsItsPage) {
  window = MakeWindow();
  window->ShowPage(TabButton::SiteSurvey);
  QAccessibleActionInterface* action = Iface(window->Button(TabButton::Statistics))->actionInterface();
  ASSERT_NE(action, nullptr);
  ASSERT_TRUE(action->actionNames().contains(QAccessibleActionInterface::pressAction()));
  action->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(window->CurrentPage(), TabButton::Statistics);
  EXPECT_TRUE(Iface(window->Button(TabButton::Statistics))->state().selected);
}

// The bar's fillers stand in empty slots: nothing to press and nothing to name.
TEST_F(WindowReadingTest, BarFillersAreBlankSpaceThatCannotBePressed) {
  window = MakeWindow();
  const QList<BarButton*> fillers = window->findChildren<BarButton*>(ControlName(IDC_TAB_FILLER));
  ASSERT_EQ(fillers.size(), kFillerCount);
  for (BarButton* filler : fillers) {
    EXPECT_EQ(Iface(filler)->role(), QAccessible::Whitespace);
    EXPECT_TRUE(Iface(filler)->actionInterface()->actionNames().isEmpty());
    filler->setEnabled(true);  // even if one were enabled, pressing it does nothing
    EXPECT_FALSE(Iface(filler)->actionInterface()->actionNames().contains(
        QAccessibleActionInterface::pressAction()));
  }
}

TEST_F(WindowReadingTest, TheTraysStatusIsTheWindowsDescription) {
  window = MakeWindow();
  window->SetStatusText(QStringLiteral("Connected to LabNet, signal good"));
  EXPECT_EQ(Iface(window.get())->text(QAccessible::Description).toStdString(),
            "Connected to LabNet, signal good");
}

// The shared naming pass on a small form with fixed positions, as the pages' templates place
// their controls.
struct LabelRow {
  const char* what;
  QRect label;
  QRect control;
  bool named;
};

class LabelNamingTest : public ::testing::TestWithParam<LabelRow> {};

TEST_P(LabelNamingTest, AControlTakesTheLabelBesideOrAboveIt) {
  const LabelRow& row = GetParam();
  QWidget form;
  form.resize(600, 400);
  auto* label = new QLabel(QStringLiteral("&Key index"), &form);
  label->setGeometry(row.label);
  auto* edit = new QLineEdit(&form);
  edit->setGeometry(row.control);
  form.show();
  NameControlsFromLabels(&form);
  if (row.named) {
    EXPECT_EQ(Name(edit), "Key index");
    EXPECT_EQ(label->buddy(), edit) << "the label's mnemonic must reach the field";
    EXPECT_TRUE(UnnamedControls(&form).empty());
  } else {
    EXPECT_EQ(Name(edit), "");
    EXPECT_EQ(label->buddy(), nullptr);
    EXPECT_EQ(UnnamedControls(&form).size(), 1u);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Positions, LabelNamingTest,
    ::testing::Values(LabelRow{"left, same row", {10, 10, 80, 20}, {100, 8, 120, 24}, true},
                      LabelRow{"above, same column", {100, 10, 80, 20}, {100, 34, 120, 24}, true},
                      LabelRow{"right of the field", {240, 10, 80, 20}, {100, 8, 120, 24}, false},
                      LabelRow{"left but another row", {10, 60, 80, 20}, {100, 8, 120, 24}, false},
                      LabelRow{"above but far", {100, 10, 80, 20}, {100, 200, 120, 24}, false},
                      LabelRow{"above, other columns", {300, 10, 80, 20}, {100, 34, 120, 24}, false}),
    [](const auto& info) {
      std::string name = info.param.what;
      for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      return name;
    });

TEST(NamingPass, EachLabelNamesOneControlAndTheNearestWins) {
  QWidget form;
  form.resize(600, 400);
  auto* ssid = new QLabel(QStringLiteral("SSID"), &form);
  ssid->setGeometry(10, 10, 60, 20);
  auto* near = new QComboBox(&form);
  near->setGeometry(80, 8, 120, 24);
  near->addItem(QStringLiteral("LabNet"));
  auto* far = new QLineEdit(&form);  // same row, further right: the label is already taken
  far->setGeometry(220, 8, 120, 24);
  form.show();
  NameControlsFromLabels(&form);
  EXPECT_EQ(ssid->buddy(), near);
  const std::vector<QString> unnamed = UnnamedControls(&form);
  ASSERT_EQ(unnamed.size(), 1u);
  EXPECT_TRUE(unnamed[0].contains(QLatin1String("QLineEdit"))) << unnamed[0].toStdString();
}

TEST(NamingPass, ListsTakeTheirHeadingAndIconButtonsTheirTooltip) {
  QWidget form;
  form.resize(600, 400);
  auto* heading = new QLabel(QStringLiteral("AP list"), &form);
  heading->setGeometry(10, 10, 100, 20);
  auto* list = new QTableView(&form);
  list->setGeometry(10, 32, 400, 200);
  auto* icon = new QToolButton(&form);
  icon->setGeometry(420, 32, 24, 24);
  icon->setToolTip(QStringLiteral("Refresh"));
  form.show();
  const std::vector<QString> before = UnnamedControls(&form);
  EXPECT_EQ(before.size(), 2u) << QStringList(before.begin(), before.end()).join(QLatin1Char('\n')).toStdString();
  NameControlsFromLabels(&form);
  EXPECT_EQ(Name(list), "AP list");
  EXPECT_EQ(Name(icon), "Refresh");
  const std::vector<QString> after = UnnamedControls(&form);
  EXPECT_TRUE(after.empty()) << QStringList(after.begin(), after.end()).join(QLatin1Char('\n')).toStdString();
  // A second pass changes nothing.
  NameControlsFromLabels(&form);
  EXPECT_EQ(Name(list), "AP list");
}

TEST(NamingPass, MnemonicMarksLeaveTheName) {
  struct Row {
    const char* text;
    const char* shown;
  } rows[] = {{"&Apply", "Apply"}, {"Save && Apply", "Save & Apply"}, {"Plain", "Plain"},
              {"End&", "End"}, {"&&&Both", "&Both"}};
  for (const Row& row : rows) {
    EXPECT_EQ(WithoutMnemonic(QString::fromLatin1(row.text)).toStdString(), row.shown) << row.text;
    BarButton button;
    button.setFace(QString::fromLatin1(row.text), QIcon());
    EXPECT_EQ(Name(&button), row.shown) << row.text;
  }
}

// The link status's drawn bars: a screen reader hears the caption as drawn and the position.
TEST(NamingPass, DrawnBarsAreReadAsProgressBarsWithTheirCaption) {
  struct Row {
    const char* caption;
    CProgressCtrlX::CaptionMode mode;
    int position;
    const char* read;
  } rows[] = {{"Link Quality %d%%", CProgressCtrlX::CaptionMode::Percent, 72, "Link Quality 72%"},
              {"-61 dBm", CProgressCtrlX::CaptionMode::Text, 40, "-61 dBm"}};
  for (const Row& row : rows) {
    CProgressCtrlX bar;
    bar.setCaption(QString::fromLatin1(row.caption), row.mode);
    bar.setPosition(row.position);
    QAccessibleInterface* iface = Iface(&bar);
    EXPECT_EQ(iface->role(), QAccessible::ProgressBar);
    EXPECT_EQ(iface->text(QAccessible::Name).toStdString(), row.read);
    EXPECT_EQ(iface->text(QAccessible::Value).toStdString(), row.read);
    ASSERT_NE(iface->valueInterface(), nullptr);
    EXPECT_EQ(iface->valueInterface()->currentValue().toInt(), row.position);
    EXPECT_EQ(iface->valueInterface()->maximumValue().toInt(), 100);
  }
}

}  // namespace
}  // namespace ov
