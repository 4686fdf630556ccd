// The site survey's Connect and Add to Profile in the real main window, offscreen, with the
// hidden-network prompt as lower panel 1: the route each kind of network takes, the prompt's
// checks, the record handed to the monitor, and the plain message while an editor is missing.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <memory>

#include "driver/oid/bssid_list.h"
#include "platform/time/monitor_messages.h"
#include "profilepages/profile_editor_entry.h"
#include "shell/ui/control_ids.h"
#include "tests/bssdescribe/element_builder.h"
#include "tests/shellui/page_window_fixture.h"
#include "views/hidden_ssid_dlg.h"
#include "views/page_site_survey.h"

namespace ov {
namespace {

using test::Bytes;

class ConnectHost final : public test::RecordingHost {
 public:
  std::vector<uint8_t> list = std::vector<uint8_t>(kBssidListBufferSize);
  ConnectPolicy policy{true, true, false};
  bool service = true;
  std::vector<StationProfile> applied;

  std::span<uint8_t> ScanList() override { return list; }
  bool WirelessServiceAvailable() override { return service; }
  ConnectPolicy SurveyConnectPolicy() override { return policy; }
  bool ApplyStationProfile(std::unique_ptr<StationProfile> record) override {
    applied.push_back(*record);
    return true;
  }
};

// Stands in for the security editor the profile pages will register as panel 3.
class FakeSecurityEditor final : public PageWidget, public SecurityEditorPanel {
 public:
  using PageWidget::PageWidget;
  void LoadValues() override {}
  void OpenForConnect(std::span<const uint8_t> scanEntry) override {
    NDIS_WLAN_BSSID_EX e;
    ASSERT_TRUE(DecodeNdisWlanBssidEx(scanEntry, e));
    opened.emplace_back(NdisSsidText(e.Ssid));
  }
  static inline std::vector<std::string> opened;
};

const Bytes kWpa2Psk = test::RsnElement(test::Rsn(ie::kCipherCcmp), {test::Rsn(ie::kCipherCcmp)},
                                        {test::Rsn(ie::kAkmPsk)});

void Add(BssidListWriter& writer, const char* ssid, uint8_t last, bool secured) {
  BssDescription bss;
  bss.bssid = {0x02, 0x5A, 0x0F, 0x10, 0x00, last};
  bss.ssid = ssid;
  bss.rssi = -50;
  bss.privacy = secured;
  bss.networkTypeInUse = Ndis802_11OFDM24;
  bss.dsConfigKHz = 2412000;
  if (secured) bss.informationElements = kWpa2Psk;
  ASSERT_TRUE(writer.Append(MakeBssidEntry(bss)));
}

class SurveyConnectPageTest : public test::PageWindowFixture<ConnectHost> {
 protected:
  void SetUp() override {
    registry.RegisterPage(TabButton::SiteSurvey, MakeSiteSurveyPage);
    registry.RegisterLowerPanel(LOWER_PANEL_HIDDEN_SSID, MakeHiddenSsidPanel);
    options.services.showMessage = [this](const QString& text, QWidget*) {
      messages.push_back(text.toStdString());
      return 1;
    };
    state.RadioOn = true;
    state.Adapter.isAdmin = true;
    BssidListWriter writer(host.list);
    // In SSID order, so rows and list agree: "" sorts first.
    Add(writer, "", 1, false);             // hidden, open
    Add(writer, "", 2, true);              // hidden, WPA2-PSK
    Add(writer, "Cafe", 3, false);         // open
    Add(writer, "Corp", 4, true);          // WPA2-PSK
    FakeSecurityEditor::opened.clear();
  }
  void Open() {
    window = MakeWindow();
    window->ShowPage(TabButton::SiteSurvey);
    ASSERT_NE(Page(), nullptr);
    Page()->OnMonitorMessage(Message{WM_MON_SCAN_DONE, 0, 0});
    ASSERT_EQ(Page()->Rows().size(), 4u);
  }
  CPageSiteSurveyDlg* Page() {
    return dynamic_cast<CPageSiteSurveyDlg*>(window->Page(TabButton::SiteSurvey));
  }
  CHiddenSsidDlg* Prompt() {
    return dynamic_cast<CHiddenSsidDlg*>(window->LowerPanel(LOWER_PANEL_HIDDEN_SSID));
  }
  void Select(int row) { Page()->List()->selectRow(row); }
  void Connect(int row) {
    Select(row);
    ASSERT_TRUE(Page()->ConnectButton()->isEnabled());
    Page()->ConnectButton()->click();
  }

  std::vector<std::string> messages;
};

TEST_F(SurveyConnectPageTest, OpenNetworkIsHandedToTheMonitorAtOnce) {
  Open();
  Connect(2);
  ASSERT_EQ(host.applied.size(), 1u);
  const StationProfile& p = host.applied[0];
  EXPECT_EQ(NdisSsidText(p.ssid), "Cafe");
  EXPECT_EQ(p.useBssid, 1);
  EXPECT_EQ(p.bssid[5], 3);
  EXPECT_EQ(p.connectRequested, 1u);
  EXPECT_EQ(state.LowerPanel, LOWER_PANEL_LINK_STATUS);
  EXPECT_TRUE(messages.empty());
}

TEST_F(SurveyConnectPageTest, HiddenNetworkAsksItsNameInPanelOne) {
  Open();
  ASSERT_FALSE(state.Expanded);
  Connect(0);
  EXPECT_EQ(state.LowerPanel, LOWER_PANEL_HIDDEN_SSID);
  ASSERT_NE(Prompt(), nullptr);
  EXPECT_TRUE(Prompt()->isVisible());
  EXPECT_TRUE(state.Expanded) << "the prompt is in the lower frame, which must be on show";
  EXPECT_TRUE(state.Survey.hiddenSsidInUse);
  EXPECT_TRUE(host.applied.empty());

  // Blank is refused with the prompt's own text, and nothing else happens.
  Prompt()->SsidEdit()->setText("   ");
  Prompt()->OkButton()->click();
  EXPECT_EQ(messages, std::vector<std::string>{"IDS_HIDDEN_TEXT"});
  EXPECT_EQ(state.LowerPanel, LOWER_PANEL_HIDDEN_SSID);
  EXPECT_TRUE(host.applied.empty());

  Prompt()->SsidEdit()->setText("  Quiet Net\t");
  Prompt()->OkButton()->click();
  ASSERT_EQ(host.applied.size(), 1u);
  EXPECT_EQ(NdisSsidText(host.applied[0].ssid), "Quiet Net");
  EXPECT_EQ(host.applied[0].useBssid, 0) << "a hidden network is found by its name";
  EXPECT_EQ(state.LowerPanel, LOWER_PANEL_LINK_STATUS);
}

TEST_F(SurveyConnectPageTest, PromptStartsEmptyAndCancelGoesBack) {
  Open();
  Connect(0);
  Prompt()->SsidEdit()->setText("half typed");
  Prompt()->CancelButton()->click();
  EXPECT_EQ(state.LowerPanel, LOWER_PANEL_LINK_STATUS);
  EXPECT_FALSE(state.Survey.hiddenSsidInUse);
  EXPECT_TRUE(host.applied.empty());

  Connect(0);
  EXPECT_TRUE(Prompt()->SsidEdit()->text().isEmpty());
  // Two-byte characters: 20 fit the box's 32 characters, not an SSID's 32 bytes.
  Prompt()->SsidEdit()->setText(QString(20, QChar(0x00E9)));
  Prompt()->OkButton()->click();
  EXPECT_EQ(messages, std::vector<std::string>{"IDS_HIDDEN_SSID_TOO_LONG"});
  EXPECT_TRUE(host.applied.empty());
}

TEST_F(SurveyConnectPageTest, SecuredNetworkSaysTheEditorIsMissingAndConnectsNothing) {
  Open();
  Connect(3);
  EXPECT_EQ(messages, std::vector<std::string>{"IDS_SITESUR_NO_SECURITY_EDITOR"});
  EXPECT_TRUE(host.applied.empty());

  // A hidden secured network gets the same answer after its name.
  messages.clear();
  Connect(1);
  EXPECT_EQ(state.LowerPanel, LOWER_PANEL_HIDDEN_SSID);
  Prompt()->SsidEdit()->setText("Quiet Corp");
  Prompt()->OkButton()->click();
  EXPECT_EQ(messages, std::vector<std::string>{"IDS_SITESUR_NO_SECURITY_EDITOR"});
  EXPECT_EQ(state.LowerPanel, LOWER_PANEL_LINK_STATUS);
  EXPECT_TRUE(host.applied.empty());

  messages.clear();
  Select(2);
  Page()->AddToProfileButton()->click();
  EXPECT_EQ(messages, std::vector<std::string>{"IDS_SITESUR_NO_PROFILE_EDITOR"});
}

TEST_F(SurveyConnectPageTest, SecuredNetworkOpensTheSecurityEditorWhenThereIsOne) {
  registry.RegisterLowerPanel(LOWER_PANEL_SECURITY_EDITOR, [](const PageContext& c, QWidget* parent) {
    return new FakeSecurityEditor(c, parent);
  });
  Open();
  Connect(3);
  EXPECT_EQ(FakeSecurityEditor::opened, std::vector<std::string>{"Corp"});
  EXPECT_EQ(state.LowerPanel, LOWER_PANEL_SECURITY_EDITOR);
  EXPECT_TRUE(state.Expanded);

  // After the prompt the editor gets the entry with the typed name in it.
  Connect(1);
  Prompt()->SsidEdit()->setText("Quiet Corp");
  Prompt()->OkButton()->click();
  EXPECT_EQ(FakeSecurityEditor::opened, (std::vector<std::string>{"Corp", "Quiet Corp"}));
  EXPECT_EQ(state.LowerPanel, LOWER_PANEL_SECURITY_EDITOR);
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(host.applied.empty());
}

TEST_F(SurveyConnectPageTest, ButtonsFollowTheSelectionAndTheMonitorsFlags) {
  host.policy.wpaReady = false;
  state.Adapter.isAdmin = false;
  Open();
  Select(3);  // WPA2-PSK: its class needs WPA support
  EXPECT_FALSE(Page()->ConnectButton()->isEnabled());
  EXPECT_FALSE(Page()->AddToProfileButton()->isEnabled());
  Select(2);  // open
  EXPECT_TRUE(Page()->ConnectButton()->isEnabled());
  EXPECT_FALSE(Page()->AddToProfileButton()->isEnabled()) << "a standard user manages no profiles";

  host.service = false;
  Page()->Refresh();
  EXPECT_FALSE(Page()->ConnectButton()->isEnabled());
  EXPECT_FALSE(Page()->RescanButton()->isEnabled());
}

TEST_F(SurveyConnectPageTest, ConnectWithoutSelectionSaysSo) {
  Open();
  Page()->List()->clearSelection();
  Page()->OnConnect();
  EXPECT_EQ(messages, std::vector<std::string>{"IDS_NOSELECTEDITEM"});
  EXPECT_TRUE(host.applied.empty());
}

}  // namespace
}  // namespace ov
