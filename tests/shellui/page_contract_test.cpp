#include <gtest/gtest.h>

#include <QLineEdit>
#include <memory>
#include <string>
#include <vector>

#include "lang/language_table.h"
#include "platform/time/monitor_messages.h"
#include "platform/time/virtual_clock.h"
#include "shell/ui/control_ids.h"
#include "shell/ui/main_window.h"
#include "shell/ui/page_contract.h"
#include "tests/shellui/qt_app_environment.h"
#include "tests/shellui/shell_test_support.h"
#include "tests/support/temp_dir.h"
#include "widgets/bar_button.h"

namespace ov {
namespace {

using B = TabButton;

// A page that records what the contract calls on it.
class RecordingPage final : public PageWidget {
 public:
  RecordingPage(const PageContext& context, QWidget* parent, uint32_t periodMs, bool whileHidden)
      : PageWidget(context, parent), periodMs_(periodMs), whileHidden_(whileHidden) {
    field = new QLineEdit(this);
  }
  void LoadValues() override { ++loads; }
  void Refresh() override { ++refreshes; }
  uint32_t RefreshPeriodMs() const override { return periodMs_; }
  bool RefreshWhileHidden() const override { return whileHidden_; }
  void OnMonitorMessage(const Message& message) override { messages.push_back(message); }

  int loads = 0;
  int refreshes = 0;
  std::vector<Message> messages;
  QLineEdit* field = nullptr;

 private:
  uint32_t periodMs_;
  bool whileHidden_;
};

class PageContractTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::InstallKeyNameTexts();
    LanguageTable table = Language();
    table.FaceName = "Contract Face";
    InstallLanguageTable(std::move(table));
    options.availableScreen = QRect(0, 0, 1280, 1024);
    options.services.timers = &clock;
    options.services.showMessage = [this](const QString& text, QWidget* parent) {
      shownMessages.push_back(text.toStdString());
      messageParents.push_back(parent);
      return kMessageBoxOk;
    };
  }

  // The survey and statistics pages, each a RecordingPage; `period` for both.
  std::unique_ptr<COvUI2007Dlg> MakeWindow(uint32_t period, bool whileHidden = false) {
    for (B button : {B::SiteSurvey, B::Statistics}) {
      registry.RegisterPage(button, [this, period, whileHidden, button](const PageContext& context,
                                                                       QWidget* parent) {
        auto* page = new RecordingPage(context, parent, period, whileHidden);
        pages[button == B::SiteSurvey ? 0 : 1] = page;
        return page;
      });
    }
    auto window = std::make_unique<COvUI2007Dlg>(state, host, registry, options);
    window->show();
    window->MakeAllPages();
    return window;
  }

  test::TempDir dir;
  VirtualClock clock;
  ShellState state;
  test::RecordingHost host;
  PageRegistry registry;
  COvUI2007Dlg::Options options{dir.path()};
  RecordingPage* pages[2] = {};
  std::vector<std::string> shownMessages;
  std::vector<QWidget*> messageParents;
};

TEST_F(PageContractTest, LoadsOnEveryShowAndRefreshesOnlyWhileShown) {
  auto window = MakeWindow(2000);
  RecordingPage* survey = pages[0];
  RecordingPage* statistics = pages[1];
  window->ShowPage(B::SiteSurvey);
  EXPECT_EQ(survey->loads, 1);
  EXPECT_EQ(statistics->loads, 0) << "a page never shown reads nothing";

  clock.advance(4000);
  EXPECT_EQ(survey->refreshes, 2);
  EXPECT_EQ(statistics->refreshes, 0);

  window->ShowPage(B::Statistics);
  EXPECT_EQ(statistics->loads, 1);
  clock.advance(6000);
  EXPECT_EQ(survey->refreshes, 2) << "a hidden page does not poll";
  EXPECT_EQ(statistics->refreshes, 3);

  // Closing the window hides its pages; opening it again loads the page on show afresh.
  window->hide();
  clock.advance(6000);
  EXPECT_EQ(statistics->refreshes, 3);
  window->show();
  EXPECT_EQ(statistics->loads, 2);
  EXPECT_TRUE(statistics->Refreshing());
  EXPECT_FALSE(survey->Refreshing());

  window->ShowPage(B::SiteSurvey);
  EXPECT_EQ(survey->loads, 2);
}

TEST_F(PageContractTest, APageMayKeepPollingWhileHiddenAndNoneOutlivesItsWindow) {
  auto window = MakeWindow(1000, /*whileHidden=*/true);
  window->ShowPage(B::Statistics);
  window->ShowPage(B::SiteSurvey);
  clock.advance(3000);
  EXPECT_EQ(pages[1]->refreshes, 3) << "it said it polls while hidden";
  EXPECT_EQ(pages[0]->refreshes, 3);
  window.reset();
  EXPECT_EQ(clock.activeCount(), 0u) << "a destroyed page is never called back";
  clock.advance(5000);
}

TEST_F(PageContractTest, APageWithoutAPeriodOrATimerServiceNeverPolls) {
  auto window = MakeWindow(0);
  window->ShowPage(B::SiteSurvey);
  EXPECT_EQ(clock.activeCount(), 0u);

  options.services.timers = nullptr;
  auto second = MakeWindow(2000);
  second->ShowPage(B::SiteSurvey);
  EXPECT_EQ(pages[0]->loads, 1) << "it still loads on show";
  EXPECT_EQ(pages[0]->Timers(), nullptr);
}

TEST_F(PageContractTest, RejectedInputShowsTheMessageAndFocusesTheField) {
  auto window = MakeWindow(0);
  window->ShowPage(B::SiteSurvey);
  window->activateWindow();
  RecordingPage* page = pages[0];
  EXPECT_FALSE(page->RejectInput(QStringLiteral("Invalid WEP Key length"), page->field));
  ASSERT_EQ(shownMessages, (std::vector<std::string>{"Invalid WEP Key length"}));
  EXPECT_EQ(messageParents[0], window.get()) << "over the page's window";
  EXPECT_EQ(window->focusWidget(), page->field);
}

TEST_F(PageContractTest, PagesTakeTheLanguageTablesFaceAndTheMonitorsMessages) {
  auto window = MakeWindow(0);
  EXPECT_EQ(pages[0]->font().family(), "Contract Face");
  EXPECT_EQ(pages[1]->font().family(), "Contract Face");

  // The monitor reaches a page through the sink it finds on the page.
  auto* sink = dynamic_cast<PageMessageSink*>(window->Page(B::SiteSurvey));
  ASSERT_NE(sink, nullptr);
  const Message scanDone{WM_MON_SCAN_DONE, 0, 0};
  sink->OnMonitorMessage(scanDone);
  EXPECT_EQ(pages[0]->messages, (std::vector<Message>{scanDone}));
}

TEST_F(PageContractTest, PagesAreGivenTheWindowsServices) {
  auto window = MakeWindow(0);
  EXPECT_EQ(pages[0]->Services().timers, &clock);
  EXPECT_EQ(&pages[0]->Window(), window.get());
  EXPECT_EQ(&pages[0]->State(), &state);
  EXPECT_EQ(&pages[0]->Host(), &host);
}

}  // namespace
}  // namespace ov
