#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <algorithm>
#include <string>
#include <vector>

#include "lang/language_table.h"
#include "shell/ovui_pages.h"
#include "shell/ui/control_ids.h"
#include "shell/ui/message_box.h"
#include "shell/ui/sel_card_dlg.h"
#include "tests/shellui/page_window_fixture.h"
#include "tests/shellui/qt_app_environment.h"
#include "widgets/accessibility.h"
#include "widgets/bar_button.h"

namespace ov {
namespace {

bool IsTabStop(QWidget* w) {
  return w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) != 0 &&
         w->focusProxy() == nullptr;
}

// The stops Tab visits from `start` round the chain back to it.
std::vector<QWidget*> TabStops(QWidget* start) {
  std::vector<QWidget*> stops{start};
  for (QWidget* w = start->nextInFocusChain(); w != start && stops.size() < 500;
       w = w->nextInFocusChain()) {
    if (IsTabStop(w)) stops.push_back(w);
  }
  return stops;
}

TEST(FocusOrder, FollowsRowsTopToBottomAndLeftToRightWhateverTheCreationOrder) {
  // Made in a scrambled order; the names give the reading order.
  struct Place {
    const char* name;
    QRect rect;
  } places[] = {
      {"4 apply", {300, 200, 80, 24}},      {"1 mode", {100, 10, 120, 24}},
      {"3 check", {10, 100, 150, 20}},      {"2 region", {300, 14, 120, 20}},  // same row, lower
      {"5 cancel", {400, 198, 80, 28}},     {"0 first", {10, 12, 60, 20}},
  };
  QWidget form;
  form.resize(600, 300);
  for (const Place& place : places) {
    auto* button = new QPushButton(QString::fromLatin1(place.name), &form);
    button->setObjectName(QString::fromLatin1(place.name));
    button->setGeometry(place.rect);
  }
  auto* hidden = new QPushButton(QStringLiteral("hidden"), &form);
  hidden->setGeometry(0, 0, 10, 10);
  hidden->hide();
  form.show();
  OrderFocusByLayout(&form);

  std::vector<std::string> order;
  for (QWidget* w : TabStops(form.findChild<QWidget*>(QStringLiteral("0 first")))) {
    order.push_back(w->objectName().toStdString());
  }
  EXPECT_EQ(order, (std::vector<std::string>{"0 first", "1 mode", "2 region", "3 check", "4 apply",
                                             "5 cancel"}));
}

class WindowKeyboardTest : public test::PageWindowFixture<> {
 protected:
  void SetUp() override {
    InstallLanguageTable(ReadLanguageFile(OVUI_SOURCE_DIR "/data/Languages/Lang0409.ini"));
    state.Expanded = true;
    RegisterProgramPages(registry);
  }
};

// Tab goes along the bar left to right, then through the page, then the window's own buttons,
// then the lower panel: the order the eye reads the window in.
TEST_F(WindowKeyboardTest, TabWalksTheBarThenThePageThenTheLowerPanel) {
  window = MakeWindow();
  window->ShowPage(TabButton::SiteSurvey);
  QApplication::processEvents();
  std::vector<BarButton*> bar;
  for (const TabButtonEntry& entry : TabButtons()) {
    BarButton* button = window->Button(entry.button);
    if (IsTabStop(button)) bar.push_back(button);
  }
  std::sort(bar.begin(), bar.end(), [](BarButton* a, BarButton* b) { return a->x() < b->x(); });
  ASSERT_GE(bar.size(), 2u);

  const std::vector<QWidget*> stops = TabStops(bar.front());
  auto position = [&stops](QWidget* w) {
    return std::find(stops.begin(), stops.end(), w) - stops.begin();
  };
  for (size_t i = 0; i < bar.size(); ++i) {
    EXPECT_EQ(position(bar[i]), static_cast<std::ptrdiff_t>(i)) << bar[i]->text().toStdString();
  }
  QWidget* page = window->Page(TabButton::SiteSurvey);
  QWidget* moreLess = window->ControlButton(IDC_MORE_LESS);
  ASSERT_LT(position(moreLess), static_cast<std::ptrdiff_t>(stops.size()));
  int pageStops = 0;
  for (size_t i = 0; i < stops.size(); ++i) {
    if (!page->isAncestorOf(stops[i])) continue;
    ++pageStops;
    EXPECT_GT(static_cast<std::ptrdiff_t>(i), position(bar.back()));
    EXPECT_LT(static_cast<std::ptrdiff_t>(i), position(moreLess))
        << stops[i]->metaObject()->className() << " comes after the more/less button";
  }
  EXPECT_GT(pageStops, 0);
  EXPECT_NE(window->ScrollArea()->focusPolicy() & Qt::TabFocus, Qt::TabFocus)
      << "the scroll area would take the focus out of sight";
}

TEST_F(WindowKeyboardTest, EnterOrSpaceOnAFocusedBarButtonPressesIt) {
  window = MakeWindow();
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
    window->ShowPage(TabButton::SiteSurvey);
    QTest::keyClick(window->Button(TabButton::Statistics), key);
    EXPECT_EQ(window->CurrentPage(), TabButton::Statistics) << "key " << key;
  }
}

// The focused bar button shows it: its face with the focus differs from the same face without.
TEST_F(WindowKeyboardTest, TheFocusedBarButtonLooksFocused) {
  window = MakeWindow();
  QApplication::setActiveWindow(window.get());
  ASSERT_TRUE(test::ProcessEventsUntil([&] { return window->isActiveWindow(); }));
  BarButton* button = window->Button(TabButton::Statistics);
  window->Button(TabButton::SiteSurvey)->setFocus(Qt::TabFocusReason);
  ASSERT_FALSE(button->hasFocus());
  const QImage plain = button->grab().toImage();
  button->setFocus(Qt::TabFocusReason);
  ASSERT_TRUE(button->hasFocus());
  EXPECT_NE(button->grab().toImage(), plain);
}

// A "&" in a bar label is its mnemonic: Alt and the letter press the button.
TEST_F(WindowKeyboardTest, AltAndTheMarkedLetterPressABarButton) {
  window = MakeWindow();
  QApplication::setActiveWindow(window.get());
  ASSERT_TRUE(test::ProcessEventsUntil([&] { return window->isActiveWindow(); }));
  window->ShowPage(TabButton::SiteSurvey);
  BarButton* statistics = window->Button(TabButton::Statistics);
  statistics->setFace(QStringLiteral("S&tatistics"), statistics->icon());
  QTest::keyClick(window.get(), Qt::Key_T, Qt::AltModifier);
  // A mnemonic presses the button as a click does, released a moment later.
  EXPECT_TRUE(test::ProcessEventsUntil(
      [&] { return window->CurrentPage() == TabButton::Statistics; }, 2000));
}

TEST_F(WindowKeyboardTest, ArrowsWalkTheBarWithoutPressingAndStopAtItsEnds) {
  window = MakeWindow();
  QApplication::setActiveWindow(window.get());
  ASSERT_TRUE(test::ProcessEventsUntil([&] { return window->isActiveWindow(); }));
  window->ShowPage(TabButton::SiteSurvey);
  std::vector<BarButton*> bar;
  for (const TabButtonEntry& entry : TabButtons()) {
    BarButton* button = window->Button(entry.button);
    if (IsTabStop(button)) bar.push_back(button);
  }
  std::sort(bar.begin(), bar.end(), [](BarButton* a, BarButton* b) { return a->x() < b->x(); });
  ASSERT_GE(bar.size(), 3u);

  bar.front()->setFocus(Qt::TabFocusReason);
  QTest::keyClick(bar.front(), Qt::Key_Left);
  EXPECT_TRUE(bar.front()->hasFocus()) << "the first button keeps the focus";
  for (size_t i = 1; i < bar.size(); ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(QApplication::focusWidget(), bar[i]) << i;
  }
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
  EXPECT_EQ(QApplication::focusWidget(), bar[bar.size() - 2]);
  EXPECT_EQ(window->CurrentPage(), TabButton::SiteSurvey) << "moving the focus selects nothing";
}

TEST_F(WindowKeyboardTest, EscapeHidesTheWindowAsItsCloseButtonDoes) {
  window = MakeWindow();
  QTest::keyClick(window->Button(TabButton::SiteSurvey), Qt::Key_Escape);
  EXPECT_FALSE(window->isVisible());
}

// A lower panel's editor with OK and Cancel, as the editors that replace the link status are.
class EditorPanel : public PageWidget {
 public:
  EditorPanel(const PageContext& context, QWidget* parent) : PageWidget(context, parent) {
    field = new QLineEdit(this);
    field->setGeometry(10, 10, 200, 24);
    ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(10, 50, 80, 24);
    cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setGeometry(100, 50, 80, 24);
    connect(ok, &QPushButton::clicked, [this] { ++oks; });
    connect(cancel, &QPushButton::clicked, [this] { ++cancels; });
  }
  void LoadValues() override {}
  QLineEdit* field;
  QPushButton* ok;
  QPushButton* cancel;
  int oks = 0;
  int cancels = 0;
};

TEST_F(WindowKeyboardTest, EnterAndEscapeInAPanelPressItsOwnButtons) {
  EditorPanel* panel = nullptr;
  registry.RegisterLowerPanel(LOWER_PANEL_PROFILE_EDITOR, [&](const PageContext& c, QWidget* parent) {
    panel = new EditorPanel(c, parent);
    return panel;
  });
  window = MakeWindow();
  window->ShowLowerPanel(LOWER_PANEL_PROFILE_EDITOR);
  ASSERT_NE(panel, nullptr);

  struct Row {
    const char* what;
    bool withButtons;
    bool okEnabled;
    Qt::Key key;
    int oks;
    int cancels;
    bool windowShown;
  } rows[] = {
      {"no buttons given: Escape hides the window", false, true, Qt::Key_Escape, 0, 0, false},
      {"Enter: OK", true, true, Qt::Key_Return, 1, 0, true},
      {"keypad Enter: OK", true, true, Qt::Key_Enter, 1, 0, true},
      {"Escape: Cancel, the window stays", true, true, Qt::Key_Escape, 0, 1, true},
      {"Enter with OK disabled: nothing", true, false, Qt::Key_Return, 0, 0, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    window->show();
    panel->oks = panel->cancels = 0;
    panel->ok->setEnabled(row.okEnabled);
    panel->SetKeyButtons(row.withButtons ? panel->ok : nullptr,
                         row.withButtons ? panel->cancel : nullptr);
    QTest::keyClick(panel->field, row.key);
    EXPECT_EQ(panel->oks, row.oks);
    EXPECT_EQ(panel->cancels, row.cancels);
    EXPECT_EQ(window->isVisible(), row.windowShown);
  }
}

TEST(DialogKeys, EnterTakesTheMessageBoxsOkAndEscapeClosesIt) {
  InstallLanguageTable(ReadLanguageFile(OVUI_SOURCE_DIR "/data/Languages/Lang0409.ini"));
  struct Row {
    Qt::Key key;
    int result;
  } rows[] = {{Qt::Key_Return, kMessageBoxOk}, {Qt::Key_Enter, kMessageBoxOk},
              {Qt::Key_Escape, kMessageBoxClosed}};
  for (const Row& row : rows) {
    std::vector<QString> unnamed{QStringLiteral("not shown")};
    test::WhenModalShown([&](QWidget* box) {
      unnamed = UnnamedControls(box);
      QTest::keyClick(box, row.key);
    });
    EXPECT_EQ(ShowMessage(QStringLiteral("Saved")), row.result) << "key " << row.key;
    EXPECT_TRUE(unnamed.empty()) << unnamed.front().toStdString();
  }
}

TEST(DialogKeys, TheAdapterChooserTakesEnterAsOkAndEscapeAsNoChoice) {
  std::vector<AdapterCandidate> candidates(2);
  candidates[0].friendlyName = "Lab PCI Adapter";
  candidates[1].friendlyName = "Desk USB Adapter";
  struct Row {
    Qt::Key key;
    std::optional<size_t> chosen;
  } rows[] = {{Qt::Key_Return, 1}, {Qt::Key_Escape, std::nullopt}};
  for (const Row& row : rows) {
    CSelCardDlg dialog;
    std::vector<QString> unnamed{QStringLiteral("not shown")};
    test::WhenModalShown([&](QWidget* modal) {
      // Read by its label, not by the entry it shows.
      unnamed = UnnamedControls(modal);
      auto* list = modal->findChild<QComboBox*>(ControlName(IDC_CARD_LIST));
      list->setCurrentIndex(1);
      QTest::keyClick(list, row.key);
    });
    EXPECT_EQ(dialog.ChooseAdapter(candidates), row.chosen) << "key " << row.key;
    EXPECT_TRUE(unnamed.empty()) << unnamed.front().toStdString();
  }
}

}  // namespace
}  // namespace ov
