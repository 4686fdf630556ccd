// The CCX page's diagnostic test against the real ovsimd: the profile is applied from the profile
// page, the test is started from the CCX page, and the extension's events travel from the
// simulated service through the wireless client and the monitor to the status log. With an
// extension that never answers, the page's own watchdog ends the test on the virtual clock.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <cstdlib>

#include "ccx/authen_status_dlg.h"
#include "ccx/page_ccx.h"
#include "profilepages/page_profile.h"
#include "tests/monitor/monitor_sim_fixture.h"

namespace ov::test {
namespace {

constexpr char kOpenSsid[] = "Orvane-Open";

class CcxPageSimTest : public MonitorOnSimulatorTest {
 protected:
  using MonitorOnSimulatorTest::MonitorOnSimulatorTest;

  void RegisterPages(PageRegistry& pages) override {
    pages.RegisterPage(TabButton::Profile, MakeProfilePage);
    pages.RegisterPage(TabButton::CcxConfig, MakeCcxConfigPage);
    pages.RegisterLowerPanel(LOWER_PANEL_AUTHEN_STATUS, MakeAuthenStatusPanel);
  }

  // A diagnosable profile for the open network, applied and connected, and the CCX page shown
  // with CCX switched on.
  CPageCCXConfigDlg* PrepareTest() {
    EXPECT_TRUE(monitor_->Store()->WriteStoreValues(
        StoreFileKind::Profiles, "Diag",
        {{"SSID", kOpenSsid}, {"NetworkType", "1"}, {"AuthMode", "0"}, {"CipherMode", "1"},
         {"UseDiagnostic", "1"}, {"DiagnosticSSID", "Orvane-Diag"}}));
    monitor_->OpenMainWindow();
    COvUI2007Dlg* window = monitor_->MainWindow();
    window->ShowPage(TabButton::Profile);
    auto* profiles = dynamic_cast<CPageProfileDlg*>(window->Page(TabButton::Profile));
    if (!profiles) return nullptr;
    profiles->SelectRow(0);
    profiles->Button(IDC_PROF_ACTIVATE)->click();
    if (!WaitConnected(kOpenSsid)) return nullptr;

    window->ShowPage(TabButton::CcxConfig);
    auto* page = dynamic_cast<CPageCCXConfigDlg*>(window->Page(TabButton::CcxConfig));
    if (!page) return nullptr;
    if (!page->CcxBox()->isChecked()) page->CcxBox()->click();
    page->ApplyButton()->click();
    page->ProfileCombo()->setCurrentIndex(page->ProfileCombo()->findText("Diag"));
    EXPECT_EQ(page->CapableValue()->text(), "YES") << "the service's copy carries the section";
    return page;
  }
  // With OVUI_SCREENSHOT_DIR set (by hand, for the documentation), the widget as the user sees
  // it is saved there under `name`.
  static void MaybeSaveScreenshot(QWidget* widget, const char* name) {
    const char* dir = std::getenv("OVUI_SCREENSHOT_DIR");
    if (!dir || !widget) return;
    EXPECT_TRUE(widget->grab().save(QString::fromUtf8(dir) + "/" + name)) << name;
  }
  std::vector<std::string> LogLines() {
    auto* log = dynamic_cast<CAuthenStatusDlg*>(
        monitor_->MainWindow()->LowerPanel(LOWER_PANEL_AUTHEN_STATUS));
    std::vector<std::string> lines;
    if (!log) return lines;
    for (const auto& e : log->Log().Entries()) lines.push_back(e.description);
    return lines;
  }
};

TEST_F(CcxPageSimTest, AnsweredTestIsLoggedStepByStepAndEnds) {
  CPageCCXConfigDlg* page = PrepareTest();
  ASSERT_NE(page, nullptr);
  page->DiagnoseButton()->click();
  ASSERT_TRUE(page->TestRunning());
  ASSERT_TRUE(WaitFor([&] { return LogLines().size() >= 4; }));
  MaybeSaveScreenshot(monitor_->MainWindow(), "ccx-page-diagnostic-run.png");
  ASSERT_TRUE(WaitFor([&] { return !page->TestRunning(); }))
      << "lines so far: " << ::testing::PrintToString(LogLines());
  EXPECT_EQ(LogLines(), (std::vector<std::string>{
                            "Test Started", "Connect to the Diagnostic Channel successfully",
                            "[DiagServ]Beginning association test.",
                            "[DiagServ]Beginning DHCP test.", "[DiagServ]Beginning DNS ping test.",
                            "[DiagServ]Test complete.", "[DiagServ]Test passed.",
                            "Test finished"}));
  EXPECT_TRUE(page->DiagnoseButton()->isEnabled());
  auto* log = dynamic_cast<CAuthenStatusDlg*>(
      monitor_->MainWindow()->LowerPanel(LOWER_PANEL_AUTHEN_STATUS));
  ASSERT_NE(log, nullptr);
  ASSERT_TRUE(log->isVisible());
  QTreeWidget* list = log->List();
  const QRect newest = list->visualItemRect(list->topLevelItem(list->topLevelItemCount() - 1));
  EXPECT_TRUE(list->viewport()->rect().contains(newest)) << "the newest line is in view";
  MaybeSaveScreenshot(log, "status-log.png");
  clock_.advance(120000);
  EXPECT_EQ(LogLines().size(), 8u) << "no watchdog left to log a failure";
}

class SilentExtensionCcxPageSimTest : public CcxPageSimTest {
 protected:
  SilentExtensionCcxPageSimTest()
      : CcxPageSimTest(std::filesystem::path(OVUI_SOURCE_DIR) / "tests/ccx/silent_extension.json") {}
};

TEST_F(SilentExtensionCcxPageSimTest, UnansweredTestFailsOnTheWatchdog) {
  CPageCCXConfigDlg* page = PrepareTest();
  ASSERT_NE(page, nullptr);
  page->DiagnoseButton()->click();
  ASSERT_TRUE(page->TestRunning());
  // Whatever the simulator would say has had time to arrive; it says nothing.
  WaitFor([] { return false; }, 1);
  EXPECT_EQ(LogLines(), std::vector<std::string>{"Test Started"});
  clock_.advance(90000);
  EXPECT_EQ(LogLines(), (std::vector<std::string>{
                            "Test Started",
                            "Could not connect to the Diagnostic Channel. Please try again later"}));
  EXPECT_FALSE(page->TestRunning());
  EXPECT_TRUE(page->DiagnoseButton()->isEnabled());
}

}  // namespace
}  // namespace ov::test
