// The site survey's Connect against the real ovsimd: the page in the real main window, offscreen,
// with a host that applies the record through the real wireless client as the monitor's queue
// does. The waits are for the simulator's own notifications (a real process answers); nothing
// asserted depends on how long anything took.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <filesystem>
#include <optional>

#include "nativewifi/native_wifi_client.h"
#include "nativewifi/wlansvc/wlan_service_client.h"
#include "platform/system/machine_root.h"
#include "platform/time/monitor_messages.h"
#include "shell/ui/control_ids.h"
#include "tests/nativewifi/fake_wlan_service.h"
#include "tests/shellui/page_window_fixture.h"
#include "tests/support/simulator_process.h"
#include "views/hidden_ssid_dlg.h"
#include "views/page_site_survey.h"

namespace ov {
namespace {

namespace fs = std::filesystem;

const fs::path kScenario = fs::path(OVUI_SOURCE_DIR) / "tests/linkstatus/data/survey_connect.json";
constexpr char kDescription[] = "Orvane WXP4 Wireless LAN PCI Adapter";

// The monitor's part: scans into its list and applies a record through the client.
class ClientHost final : public test::RecordingHost {
 public:
  std::vector<uint8_t> list = std::vector<uint8_t>(kBssidListBufferSize);
  NativeWifiClient* client = nullptr;
  std::span<uint8_t> ScanList() override { return list; }
  ConnectPolicy SurveyConnectPolicy() override { return {true, true, true}; }
  bool ApplyStationProfile(std::unique_ptr<StationProfile> record) override {
    return client->ApplyProfile(0, *record, false, nullptr);
  }
};

class SurveySimTest : public test::PageWindowFixture<ClientHost> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(simulator_.ready()) << simulator_.output();
    NativeWifiClientServices services;
    services.service = std::make_shared<wlan::WlanServiceClient>(UnderRoot("run/ovui/wlansvc").string());
    client_.emplace(services);
    ASSERT_EQ(client_->Open(kDescription, MessageTarget(inbox_), false), ERROR_SUCCESS);
    ASSERT_TRUE(client_->InterfaceMatched());
    host.client = &*client_;
    options.services.wifi = &*client_;
    options.services.showMessage = [this](const QString& text, QWidget*) {
      messages.push_back(text.toStdString());
      return 1;
    };
    registry.RegisterPage(TabButton::SiteSurvey, MakeSiteSurveyPage);
    registry.RegisterLowerPanel(LOWER_PANEL_HIDDEN_SSID, MakeHiddenSsidPanel);
    state.RadioOn = true;
    state.Adapter.isAdmin = true;

    // The scan the page asks for when it is made, as the monitor runs it.
    ASSERT_EQ(client_->Scan(), ERROR_SUCCESS);
    ASSERT_TRUE(inbox_->next(WM_MON_SCAN_DONE)) << "no scan-done message";
    ASSERT_TRUE(client_->CopyScanList(host.list));
    window = MakeWindow();
    window->ShowPage(TabButton::SiteSurvey);
    Page()->OnMonitorMessage(Message{WM_MON_SCAN_DONE, 0, 0});
  }
  void TearDown() override {
    window.reset();
    client_.reset();
  }
  CPageSiteSurveyDlg* Page() {
    return dynamic_cast<CPageSiteSurveyDlg*>(window->Page(TabButton::SiteSurvey));
  }
  CHiddenSsidDlg* Prompt() {
    return dynamic_cast<CHiddenSsidDlg*>(window->LowerPanel(LOWER_PANEL_HIDDEN_SSID));
  }
  int RowOf(const std::string& ssid) {
    const auto& rows = Page()->Rows();
    for (size_t i = 0; i < rows.size(); ++i)
      if (rows[i].ssid == ssid) return static_cast<int>(i);
    ADD_FAILURE() << "no row " << ssid;
    return 0;
  }
  void ConnectRow(int row) {
    Page()->List()->selectRow(row);
    ASSERT_TRUE(Page()->ConnectButton()->isEnabled());
    Page()->ConnectButton()->click();
  }
  std::string CurrentSsid() {
    NDIS_802_11_SSID ssid;
    return client_->GetCurrentSsid(ssid) ? std::string(NdisSsidText(ssid)) : std::string();
  }

  test::ScopedMachineRoot root_{dir.path()};
  test::SimulatorProcess simulator_{OVUI_BIN_DIR, kScenario, dir.path()};
  std::shared_ptr<test::MessageInbox> inbox_ = std::make_shared<test::MessageInbox>();
  std::optional<NativeWifiClient> client_;
  std::vector<std::string> messages;
};

TEST_F(SurveySimTest, OpenNetworkConnects) {
  ASSERT_EQ(Page()->Rows().size(), 2u);
  ConnectRow(RowOf("Orvane-Open"));
  const auto done = inbox_->next(WM_MON_CONNECT_DONE);
  ASSERT_TRUE(done) << "the connection did not complete";
  EXPECT_EQ(client_->QueryInterfaceConnected(), std::optional<bool>(true));
  EXPECT_EQ(CurrentSsid(), "Orvane-Open");
  EXPECT_TRUE(messages.empty());
}

TEST_F(SurveySimTest, HiddenOpenNetworkConnectsByTheTypedName) {
  ConnectRow(RowOf(""));
  ASSERT_EQ(state.LowerPanel, LOWER_PANEL_HIDDEN_SSID);
  Prompt()->SsidEdit()->setText(" Orvane-Quiet ");
  Prompt()->OkButton()->click();
  ASSERT_TRUE(inbox_->next(WM_MON_CONNECT_DONE)) << "the connection did not complete";
  EXPECT_EQ(CurrentSsid(), "Orvane-Quiet");
  EXPECT_EQ(state.LowerPanel, LOWER_PANEL_LINK_STATUS);
  EXPECT_TRUE(messages.empty());
}

TEST_F(SurveySimTest, FailedConnectionShowsTheServicesReason) {
  ConnectRow(RowOf(""));
  Prompt()->SsidEdit()->setText("Nobody-Here");
  Prompt()->OkButton()->click();
  // The monitor forwards the failure to the survey.
  const auto failed = inbox_->next(WM_MON_ATTEMPT_FAILED);
  ASSERT_TRUE(failed) << "the simulator did not fail the attempt";
  Page()->OnMonitorMessage(*failed);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("IDS_SITESUR_CONNECT_FAILED"), std::string::npos) << messages[0];
  EXPECT_NE(messages[0].find("Nobody-Here: " +
                             wlan::ReasonCodeText(wlan::WLAN_REASON_CODE_NETWORK_NOT_AVAILABLE)),
            std::string::npos)
      << messages[0];

  // One failure, one message: the completion that follows says nothing more.
  Page()->OnMonitorMessage(Message{WM_MON_CONNECT_FAILED, 0, 0});
  EXPECT_EQ(messages.size(), 1u);
}

}  // namespace
}  // namespace ov
