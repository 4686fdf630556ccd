// The site survey page in the real main window, offscreen, over a scan list the test lays out:
// the list after a scan, the sort written back, Show dBm, the rescan asked of the monitor.
#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QPushButton>
#include <QTableView>
#include <memory>

#include "driver/oid/bssid_list.h"
#include "platform/time/monitor_messages.h"
#include "platform/time/virtual_clock.h"
#include "shell/ui/main_window.h"
#include "tests/shellui/page_window_fixture.h"
#include "tests/shellui/shell_test_support.h"
#include "tests/support/temp_dir.h"
#include "views/page_site_survey.h"

namespace ov {
namespace {

class ScanHost final : public test::RecordingHost {
 public:
  std::vector<uint8_t> list = std::vector<uint8_t>(kBssidListBufferSize);
  int scans = 0;
  bool busy = false;
  std::span<uint8_t> ScanList() override { return list; }
  void QueueScan() override { ++scans; }
  bool ScanInProgress() override { return busy; }
};

void AddNetwork(BssidListWriter& writer, const char* ssid, int32_t rssi, uint8_t last) {
  BssDescription bss;
  bss.bssid = {0x02, 0x5A, 0x0F, 0x10, 0x00, last};
  bss.ssid = ssid;
  bss.rssi = rssi;
  bss.networkTypeInUse = Ndis802_11OFDM24;
  bss.dsConfigKHz = 2437000;
  ASSERT_TRUE(writer.Append(MakeBssidEntry(bss)));
}

class SiteSurveyPageTest : public test::PageWindowFixture<ScanHost> {
 protected:
  void SetUp() override {
    registry.RegisterPage(TabButton::SiteSurvey, MakeSiteSurveyPage);
    state.RadioOn = true;
    BssidListWriter writer(host.list);
    AddNetwork(writer, "beta", -40, 1);
    AddNetwork(writer, "Alpha", -70, 2);
    AddNetwork(writer, "gamma", -85, 3);
  }
  CPageSiteSurveyDlg* Page() {
    return dynamic_cast<CPageSiteSurveyDlg*>(window->Page(TabButton::SiteSurvey));
  }
  std::vector<std::string> Listed() {
    std::vector<std::string> out;
    for (const auto& row : Page()->Rows()) out.push_back(row.ssid);
    return out;
  }
  std::string Cell(int row, int column) {
    return Page()->List()->model()->index(row, column).data().toString().toStdString();
  }

};

TEST_F(SiteSurveyPageTest, ListsSortsAndRescans) {
  window = MakeWindow();
  window->ShowPage(TabButton::SiteSurvey);
  ASSERT_NE(Page(), nullptr);
  EXPECT_EQ(host.scans, 1) << "a radio that is on is scanned when the page is made";
  EXPECT_TRUE(state.Survey.rescanPending);
  EXPECT_FALSE(Page()->RescanButton()->isEnabled()) << "no rescan while one is pending";

  Page()->OnMonitorMessage(Message{WM_MON_SCAN_DONE, 0, 0});
  EXPECT_EQ(Listed(), (std::vector<std::string>{"Alpha", "beta", "gamma"}));
  EXPECT_EQ(Cell(0, 1), "Alpha");
  EXPECT_EQ(Cell(0, 9), "50%");
  EXPECT_EQ(Cell(1, 9), "100%");
  EXPECT_EQ(Cell(2, 9), "13%");
  EXPECT_TRUE(Page()->RescanButton()->isEnabled());

  // Signal order is taken at the next refresh, and written back into the monitor's list.
  Page()->SortButtons()->button(2)->click();
  host.busy = true;
  clock.advance(kSurveyRefreshMs);
  EXPECT_EQ(Listed(), (std::vector<std::string>{"Alpha", "beta", "gamma"})) << "not while scanning";
  host.busy = false;
  clock.advance(kSurveyRefreshMs);
  EXPECT_EQ(Listed(), (std::vector<std::string>{"beta", "Alpha", "gamma"})) << "-40, -70, -85";
  Page()->SortButtons()->button(1)->click();
  clock.advance(kSurveyRefreshMs);
  EXPECT_EQ(Listed(), (std::vector<std::string>{"beta", "Alpha", "gamma"}))
      << "one channel: the list's own order, which the signal sort wrote back";

  Page()->ShowDbmBox()->click();
  EXPECT_TRUE(state.ShowDbm);
  EXPECT_EQ(Cell(0, 9), "-40 dBm");

  Page()->RescanButton()->click();
  EXPECT_EQ(host.scans, 2);

  // The radio goes off: the list empties.
  state.RadioOn = false;
  state.Survey.rescanPending = false;
  clock.advance(kSurveyRefreshMs);
  EXPECT_TRUE(Page()->Rows().empty());
}

}  // namespace
}  // namespace ov
