// The AP detail panel (lower panel 4) in the real main window, offscreen, opened by a double
// click on a site-survey row: the right network, every tab filled, the 802.11n tab only for an
// HT network, the first tab on every opening, Close back to the link status.
#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>

#include "driver/oid/bssid_list.h"
#include "platform/time/monitor_messages.h"
#include "shell/ui/control_ids.h"
#include "shell/ui/main_window.h"
#include "tests/shellui/page_window_fixture.h"
#include "tests/support/test_data.h"
#include "views/ap_detail_dlg.h"
#include "views/page_site_survey.h"
#include "views/pcap_beacons.h"
#include "widgets/progress_ctrl_x.h"

namespace ov {
namespace {

using Field = CAPDetailInfoDlg::GeneralField;

class ScanHost final : public test::RecordingHost {
 public:
  std::vector<uint8_t> list = std::vector<uint8_t>(kBssidListBufferSize);
  std::span<uint8_t> ScanList() override { return list; }
};

std::vector<uint8_t> Captured(const char* file, uint32_t frame) {
  PcapBeacons beacons;
  std::string error;
  EXPECT_TRUE(ReadPcapBeacons((test::TestData() / "captures" / file).string(), beacons, error)) << error;
  for (const CapturedBss& b : beacons.frames) {
    if (b.frameNumber == frame) return b.entry;
  }
  ADD_FAILURE() << file << " frame " << frame;
  return {};
}

class ApDetailPanelTest : public test::PageWindowFixture<ScanHost> {
 protected:
  void SetUp() override {
    registry.RegisterPage(TabButton::SiteSurvey, MakeSiteSurveyPage);
    registry.RegisterLowerPanel(LOWER_PANEL_AP_DETAIL, MakeApDetailPanel);
    options.services.showMessage = [this](const QString& text, QWidget*) {
      messages.push_back(text.toStdString());
      return 1;
    };
    state.RadioOn = true;
    BssidListWriter writer(host.list);
    // Listed by SSID: "Smile)" (HT, WPA/WPA2), "teddy" (WEP), "~<b>x</b>" (open, a name like markup).
    ASSERT_TRUE(writer.Append(Captured("wep.open.system.authentication.cap", 1)));
    ASSERT_TRUE(writer.Append(Captured("test1.pcap", 1)));
    BssDescription markup;
    markup.bssid = {0x02, 0x5A, 0x0F, 0x10, 0x00, 0x07};
    markup.ssid = "~<b>x</b>";
    markup.dsConfigKHz = 2412000;
    ASSERT_TRUE(writer.Append(MakeBssidEntry(markup)));

    window = MakeWindow();
    window->ShowPage(TabButton::SiteSurvey);
    Survey()->OnMonitorMessage(Message{WM_MON_SCAN_DONE, 0, 0});
    ASSERT_EQ(Survey()->Rows().size(), 3u);
  }
  CPageSiteSurveyDlg* Survey() { return dynamic_cast<CPageSiteSurveyDlg*>(window->Page(TabButton::SiteSurvey)); }
  CAPDetailInfoDlg* Panel() { return dynamic_cast<CAPDetailInfoDlg*>(window->LowerPanel(LOWER_PANEL_AP_DETAIL)); }
  std::string General(Field f) { return Panel()->General(f)->text().toStdString(); }
  void DoubleClickRow(int row) {
    QTableView* list = Survey()->List();
    const QRect cell = list->visualRect(list->model()->index(row, 1));
    ASSERT_TRUE(cell.isValid()) << "row " << row << " is not on screen";
    // As a desktop sends it: the first click's press and release, then the double click.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
  }
  std::string TreeValue(const std::string& property) {
    QTreeWidget* tree = Panel()->HtTree();
    for (int h = 0; h < tree->topLevelItemCount(); ++h) {
      QTreeWidgetItem* heading = tree->topLevelItem(h);
      for (int c = 0; c < heading->childCount(); ++c) {
        if (heading->child(c)->text(0).toStdString() == property) return heading->child(c)->text(1).toStdString();
      }
    }
    ADD_FAILURE() << property << " is not in the tree";
    return {};
  }

  std::vector<std::string> messages;
};

TEST_F(ApDetailPanelTest, DoubleClickShowsTheRowsNetworkAndCloseGoesBack) {
  ASSERT_FALSE(state.Expanded);
  DoubleClickRow(1);  // teddy
  ASSERT_NE(Panel(), nullptr);
  EXPECT_TRUE(Panel()->isVisible());
  EXPECT_EQ(state.LowerPanel, LOWER_PANEL_AP_DETAIL);
  EXPECT_TRUE(state.Expanded) << "the window opens its lower frame";
  EXPECT_TRUE(messages.empty());

  EXPECT_EQ(General(Field::Ssid), "teddy");
  EXPECT_EQ(General(Field::MacAddress), "00-14-6C-7E-40-80");
  EXPECT_EQ(General(Field::Authentication), "Unknown");
  EXPECT_EQ(General(Field::Encryption), "WEP");
  EXPECT_EQ(General(Field::Channel), "9 <--> 2452 MHz");
  EXPECT_EQ(General(Field::NetworkType), "Infrastructure");
  EXPECT_EQ(General(Field::BeaconInterval), "100");
  EXPECT_EQ(Panel()->RatesBox()->text().toStdString(), "IDS_SUPPORT_RATE: 1, 2, 5.5, 11");
  EXPECT_EQ(Panel()->Ccx(CAPDetailInfoDlg::CcxField::Cckm)->text(), "FALSE");
  EXPECT_EQ(Panel()->Wps(1)->text(), "WEP") << "the WPS tab repeats the encryption";
  EXPECT_EQ(Panel()->Wps(3)->text(), "") << "an unknown Device Password ID is blank";
  EXPECT_FALSE(Panel()->Tabs()->isTabVisible(CAPDetailInfoDlg::kTabHt)) << "no HT information";
  EXPECT_EQ(TreeValue("Primary Channel"), "n/a");

  Panel()->Tabs()->setCurrentIndex(CAPDetailInfoDlg::kTabCcx);
  Panel()->CloseButton()->click();
  EXPECT_EQ(state.LowerPanel, LOWER_PANEL_LINK_STATUS);
  EXPECT_FALSE(Panel()->isVisible());

  DoubleClickRow(0);  // Smile)
  EXPECT_TRUE(Panel()->isVisible());
  EXPECT_EQ(Panel()->Tabs()->currentIndex(), CAPDetailInfoDlg::kTabGeneral) << "each opening starts on General";
  EXPECT_EQ(General(Field::Ssid), "Smile)");
  EXPECT_EQ(General(Field::Authentication), "WPA-PSK+WPA2-PSK");
  EXPECT_EQ(General(Field::Encryption), "AES");
  EXPECT_EQ(Panel()->SignalBar()->position(), 10) << "-86 dBm";
  EXPECT_EQ(Panel()->RatesBox()->text().toStdString(),
            "IDS_SUPPORT_RATE: 1, 2, 5.5, 6, 9, 11, 12, 18, 24, 36, 48, 54\n\nIDS_11N_MAX_SUPPORT_RATE: 150.0");
  EXPECT_EQ(Panel()->Wps(2)->text(), "0x0086");
  EXPECT_TRUE(Panel()->Tabs()->isTabVisible(CAPDetailInfoDlg::kTabHt));
  EXPECT_EQ(TreeValue("Primary Channel"), "6");
  EXPECT_EQ(TreeValue("Short GI for 40 MHz"), "TRUE");
}

TEST_F(ApDetailPanelTest, OpeningAgainWhileShownRefills) {
  DoubleClickRow(1);
  ASSERT_EQ(General(Field::Ssid), "teddy");
  Panel()->Tabs()->setCurrentIndex(CAPDetailInfoDlg::kTabWps);
  DoubleClickRow(0);
  EXPECT_EQ(General(Field::Ssid), "Smile)");
  EXPECT_EQ(Panel()->Tabs()->currentIndex(), CAPDetailInfoDlg::kTabGeneral);
}

// The survey rewrites the scan list in place on every rebuild; the panel shows what was chosen,
// also when the window is shown again after a rescan in another order.
TEST_F(ApDetailPanelTest, KeepsItsNetworkWhenTheListIsRewritten) {
  DoubleClickRow(1);
  ASSERT_EQ(General(Field::Ssid), "teddy");
  Survey()->SortButtons()->button(2)->click();  // signal: the list is rewritten in another order
  Survey()->OnMonitorMessage(Message{WM_MON_SCAN_DONE, 0, 0});
  ASSERT_NE(Survey()->Rows()[1].ssid, "teddy");
  window->hide();
  window->show();
  EXPECT_EQ(General(Field::Ssid), "teddy");
  EXPECT_EQ(General(Field::Encryption), "WEP");
}

TEST_F(ApDetailPanelTest, NoSelectionAsksForOne) {
  Survey()->List()->clearSelection();
  Survey()->OnListDoubleClick();
  EXPECT_EQ(messages, std::vector<std::string>{"IDS_NOSELECTEDITEM"});
  EXPECT_EQ(state.LowerPanel, LOWER_PANEL_LINK_STATUS);
  EXPECT_FALSE(Panel()->isVisible());
}

TEST_F(ApDetailPanelTest, ANameLikeMarkupIsShownAsWritten) {
  DoubleClickRow(2);
  EXPECT_EQ(General(Field::Ssid), "~<b>x</b>");
  EXPECT_EQ(Panel()->General(Field::Ssid)->textFormat(), Qt::PlainText);
  EXPECT_EQ(General(Field::Encryption), "None");
  EXPECT_EQ(General(Field::Channel), "1 <--> 2412 MHz");
}

}  // namespace
}  // namespace ov
