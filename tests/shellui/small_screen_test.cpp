#include <gtest/gtest.h>

#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "shell/ui/control_ids.h"
#include "shell/ui/main_window.h"
#include "tests/shellui/qt_app_environment.h"
#include "tests/shellui/shell_test_support.h"
#include "tests/support/temp_dir.h"
#include "widgets/bar_button.h"

namespace ov {
namespace {

namespace L = main_window_layout;
using B = TabButton;

class SmallScreenTest : public ::testing::Test {
 protected:
  void SetUp() override { test::InstallKeyNameTexts(); }

  std::unique_ptr<COvUI2007Dlg> MakeWindow(QRect screen, bool expanded) {
    state.SmallScreen = IsSmallScreen(screen.height());
    state.Expanded = expanded;
    COvUI2007Dlg::Options options{dir.path()};
    options.availableScreen = screen;
    auto window = std::make_unique<COvUI2007Dlg>(state, host, registry, options);
    window->show();
    return window;
  }

  // True when `widget` can be scrolled wholly into the window's view.
  static bool Reachable(COvUI2007Dlg& window, QWidget* widget) {
    window.ScrollArea()->ensureWidgetVisible(widget, 0, 0);
    QWidget* viewport = window.ScrollArea()->viewport();
    const QRect inView(widget->mapTo(viewport, QPoint(0, 0)), widget->size());
    return viewport->rect().contains(inView);
  }

  test::TempDir dir;
  ShellState state;
  test::RecordingHost host;
  PageRegistry registry;
};

TEST_F(SmallScreenTest, TheWindowFitsTheScreenAndScrollsOnlyWhenItMust) {
  struct Case {
    const char* name;
    QRect screen;
    bool expanded;
    bool scrolling;
  } cases[] = {
      {"1280x1024, captioned, expanded", QRect(0, 0, 1280, 1024), true, false},
      {"1024x600 caption-less, expanded: nothing cut", QRect(0, 0, 1024, 600), true, false},
      {"1024x600 caption-less, collapsed", QRect(0, 0, 1024, 600), false, false},
      {"640x400 (1280x800 at scale 2), collapsed", QRect(0, 0, 640, 400), false, true},
      {"640x400, expanded", QRect(0, 0, 640, 400), true, true},
      {"a desk panel takes the top of 800x600", QRect(0, 28, 800, 572), true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto window = MakeWindow(c.screen, c.expanded);
    const QSize body(L::kWidth, c.expanded ? window->ExpandedHeight() : window->CollapsedHeight());
    EXPECT_EQ(window->Body()->size(), body);
    EXPECT_EQ(window->Scrolling(), c.scrolling);
    EXPECT_LE(window->width(), c.screen.width());
    EXPECT_LE(window->height(), c.screen.height());
    if (!c.scrolling) {
      EXPECT_EQ(window->size(), body) << "the fixed layout, whole";
      EXPECT_FALSE(window->ScrollArea()->horizontalScrollBar()->isVisible());
      EXPECT_FALSE(window->ScrollArea()->verticalScrollBar()->isVisible());
      continue;
    }
    // Everything the user needs can be scrolled into view.
    std::vector<QWidget*> needed = {window->ControlButton(IDC_MORE_LESS),
                                    window->ControlButton(IDC_SCROLL_RIGHT),
                                    window->Button(B::Profile)};
    if (state.SmallScreen) needed.push_back(window->ControlButton(IDC_CLOSE_X));
    for (QWidget* widget : needed) {
      ASSERT_TRUE(widget->isVisible()) << widget->objectName().toStdString();
      EXPECT_TRUE(Reachable(*window, widget)) << widget->objectName().toStdString();
    }
    EXPECT_GE(window->maximumWidth(), body.width()) << "it may grow to the whole layout";
  }
}

TEST_F(SmallScreenTest, FoldingFollowsTheScreenToo) {
  auto window = MakeWindow(QRect(0, 0, 1024, 500), false);
  EXPECT_FALSE(window->Scrolling()) << "collapsed, the caption-less layout fits 500 pixels";
  window->ControlButton(IDC_MORE_LESS)->click();
  EXPECT_TRUE(window->Scrolling()) << "expanded, it does not";
  EXPECT_LE(window->height(), 500);
  EXPECT_TRUE(Reachable(*window, window->LowerPanel(LOWER_PANEL_LINK_STATUS)));
  window->ControlButton(IDC_MORE_LESS)->click();
  EXPECT_FALSE(window->Scrolling());
  EXPECT_EQ(window->height(), window->CollapsedHeight());
}

TEST_F(SmallScreenTest, HelpWithoutAViewerTellsTheUser) {
  std::vector<std::string> shown;
  struct Case {
    const char* name;
    bool manual;
    bool viewer;
    const char* startOfMessage;  // empty: no message
  } cases[] = {
      {"viewer and manual", true, true, ""},
      {"no viewer", true, false, "No program could show the manual:"},
      {"no manual", false, false, "The manual is not installed:"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir programDir;
    if (c.manual) {
      std::filesystem::create_directories(programDir.path() / "manual");
      test::WriteFileBytes(programDir.path() / kHelpFile, "<html></html>");
    }
    host.viewerPresent = c.viewer;
    COvUI2007Dlg::Options options{programDir.path()};
    options.availableScreen = QRect(0, 0, 1280, 1024);
    std::vector<std::string> messages;
    options.services.showMessage = [&](const QString& text, QWidget*) {
      messages.push_back(text.toStdString());
      return kMessageBoxOk;
    };
    COvUI2007Dlg window(state, host, registry, options);
    window.OnCommand(IDC_TAB_HELP);
    if (*c.startOfMessage == 0) {
      EXPECT_TRUE(messages.empty());
      continue;
    }
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind(c.startOfMessage, 0), 0u) << messages[0];
    EXPECT_NE(messages[0].find((programDir.path() / kHelpFile).string()), std::string::npos)
        << "the message names the file";
  }
}

}  // namespace
}  // namespace ov

namespace ov {
namespace {

// Records the mouse presses a window itself receives.
class PressRecorder final : public QObject {
 public:
  int presses = 0;
  bool eventFilter(QObject* watched, QEvent* event) override {
    (void)watched;
    if (event->type() == QEvent::MouseButtonPress) ++presses;
    return false;
  }
};

// Without a caption the body is the handle to drag the window by: a press on an empty spot of
// the body must reach the window through the scroll area around it.
TEST_F(SmallScreenTest, APressOnTheBodyReachesTheWindowInsideTheScrollArea) {
  auto window = MakeWindow(QRect(0, 0, 640, 400), false);
  ASSERT_TRUE(window->Scrolling());
  PressRecorder recorder;
  window->installEventFilter(&recorder);
  QWidget* lower = window->Body();
  const QPoint emptySpot(L::kWidth / 2, L::kUpperFrame.y() + 150);
  QWidget* target = lower->childAt(emptySpot);
  QWidget* receiver = target ? target : lower;
  QTest::mousePress(receiver, Qt::LeftButton, {}, receiver->mapFrom(lower, emptySpot));
  EXPECT_EQ(recorder.presses, 1);
}

}  // namespace
}  // namespace ov
