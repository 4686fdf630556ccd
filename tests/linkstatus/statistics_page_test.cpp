// The statistics page in the real main window, offscreen: refresh while shown, Reset Counter.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <cstring>
#include <memory>

#include "driver/oid/oid_constants.h"
#include "platform/time/virtual_clock.h"
#include "shell/ui/main_window.h"
#include "tests/oid/recording_requester.h"
#include "tests/shellui/page_window_fixture.h"
#include "tests/shellui/shell_test_support.h"
#include "tests/support/temp_dir.h"
#include "views/page_statistics.h"

namespace ov {
namespace {

class StatisticsPageTest : public test::PageWindowFixture<> {
 protected:
  void SetUp() override {
    registry.RegisterPage(TabButton::Statistics, MakeStatisticsPage);
    SetStatistics(5000, 40);
  }
  void SetStatistics(uint64_t sent, uint64_t retried) {
    DriverStatistics stats;
    stats.SetCounter(STAT_TX_SUCCESS, sent);
    stats.SetCounter(STAT_TX_RETRIED, retried);
    const auto bytes = EncodeDriverStatistics(stats);
    driver.answers[OID_VND_DRIVER_STATISTICS.query].assign(bytes.begin(), bytes.end());
  }
  CPageStatisticsDlg* Page() {
    return dynamic_cast<CPageStatisticsDlg*>(window->Page(TabButton::Statistics));
  }
  int Resets() const {
    int n = 0;
    for (const auto& c : driver.calls) n += c.isSet && c.oid == OID_VND_RESET_COUNTERS.set;
    return n;
  }

};

TEST_F(StatisticsPageTest, RefreshesWhileShownAndResets) {
  window = MakeWindow();
  window->ShowPage(TabButton::Statistics);
  ASSERT_NE(Page(), nullptr);
  EXPECT_EQ(Page()->TransmitValue(0)->text(), "5000") << "read when shown";
  SetStatistics(6000, 50);
  clock.advance(kStatisticsPollMs);
  EXPECT_EQ(Page()->TransmitValue(0)->text(), "6000");
  EXPECT_EQ(Page()->TransmitValue(2)->text(), "50");

  Page()->ResetButton()->click();
  EXPECT_EQ(Page()->TransmitValue(0)->text(), "0") << "zeros until the next refresh";
  EXPECT_EQ(Resets(), 1);
  clock.advance(kStatisticsPollMs);
  EXPECT_EQ(Page()->TransmitValue(0)->text(), "6000") << "the driver's counters again";

  // Another page on show: no more statistics queries.
  window->ShowPage(TabButton::About);
  const size_t calls = driver.calls.size();
  clock.advance(3 * kStatisticsPollMs);
  EXPECT_EQ(driver.calls.size(), calls);
}

}  // namespace
}  // namespace ov
