#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QPushButton>

#include "shell/ui/control_ids.h"
#include "shell/ui/main_window.h"
#include "shell/ui/message_box.h"
#include "tests/shellui/qt_app_environment.h"
#include "tests/shellui/shell_test_support.h"
#include "tests/support/temp_dir.h"
#include "widgets/modal_guard.h"

namespace ov {
namespace {

// A page that asks the user something and then goes on working on its own state, as the
// profile and WPS pages do after a message or a file dialog.
class AskingPage : public QWidget {
 public:
  explicit AskingPage(QWidget* parent) : QWidget(parent) {}

  // Shows `count` messages one after the other and records what each returned and whether the
  // window was still there when it returned.
  void Ask(int count) {
    for (int i = 0; i < count; ++i) {
      results.push_back(ShowMessage("Delete the profile?", this));
      windowAliveAfter.push_back(!window_.isNull());
    }
    finished = true;  // touches the page after the loops: must still be alive
  }

  void RememberWindow(QWidget* window) { window_ = window; }

  std::vector<int> results;
  std::vector<bool> windowAliveAfter;
  bool finished = false;

 private:
  QPointer<QWidget> window_;
};

class TeardownTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::InstallKeyNameTexts();
    registry.RegisterPage(TabButton::Profile, [this](const PageContext& context, QWidget* parent) {
      page = new AskingPage(parent);
      page->RememberWindow(&context.window);
      return page.data();
    });
    window = new COvUI2007Dlg(state, host, registry, COvUI2007Dlg::Options{dir.path()});
    window->show();
  }
  void TearDown() override { delete window.data(); }

  test::TempDir dir;
  ShellState state;
  test::RecordingHost host;
  PageRegistry registry;
  QPointer<COvUI2007Dlg> window;
  QPointer<AskingPage> page;
};

TEST_F(TeardownTest, WindowAskedToGoWhileItsPageShowsAMessageOutlivesTheMessage) {
  ASSERT_TRUE(page);
  int depthSeen = 0;
  bool aliveRightAfterTeardown = false;
  test::WhenModalShown([&](QWidget*) {
    // The monitor's tick finds the adapter gone while the page's message is open.
    depthSeen = ModalLoopDepth(window);
    window->Teardown();
    aliveRightAfterTeardown = !window.isNull() && !window->isVisible();
  });
  page->Ask(1);

  EXPECT_EQ(depthSeen, 1);
  EXPECT_TRUE(aliveRightAfterTeardown) << "hidden at once, not deleted under the loop";
  ASSERT_TRUE(page) << "the page survived its own message";
  EXPECT_TRUE(page->finished);
  EXPECT_EQ(page->results, std::vector<int>{kMessageBoxClosed}) << "the message was closed for it";
  EXPECT_EQ(page->windowAliveAfter, std::vector<bool>{true});
  EXPECT_TRUE(window->TornDown());

  EXPECT_TRUE(test::ProcessEventsUntil([&] { return window.isNull(); }))
      << "the window goes once the page is done";
  EXPECT_TRUE(page.isNull());
}

TEST_F(TeardownTest, AMessageOpenedAfterTheFirstAlsoHoldsTheDeletionBack) {
  int shown = 0;
  std::function<void(QWidget*)> onMessage = [&](QWidget* box) {
    ++shown;
    if (shown == 1) {
      window->Teardown();
      test::WhenModalShown(onMessage);  // the page's next message
      return;
    }
    // Deletion was scheduled when the first loop ended; it must wait for this one too.
    EXPECT_FALSE(window.isNull());
    EXPECT_EQ(ModalLoopDepth(window), 1);
    box->close();
  };
  test::WhenModalShown(onMessage);
  page->Ask(2);

  EXPECT_EQ(shown, 2);
  ASSERT_TRUE(page);
  EXPECT_TRUE(page->finished);
  EXPECT_EQ(page->windowAliveAfter, (std::vector<bool>{true, true}));
  EXPECT_TRUE(test::ProcessEventsUntil([&] { return window.isNull(); }));
}

TEST_F(TeardownTest, WithoutAModalLoopTheWindowGoesOnTheNextEventLoopPass) {
  window->Teardown();
  EXPECT_FALSE(window.isNull()) << "never deleted inside the caller's own frame";
  EXPECT_FALSE(window->isVisible());
  window->Teardown();  // asked twice: still one deletion
  EXPECT_TRUE(test::ProcessEventsUntil([&] { return window.isNull(); }));
}

}  // namespace
}  // namespace ov
