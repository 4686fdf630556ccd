// CPageWPSDlg against the real ovsimd: the page's timers run on the virtual clock while the
// simulator walks its status codes in its own time; the loop hands the session's messages over
// between ticks. A push-button run ends connected, a wrong PIN in 262, two push-button access
// points in 257, auto-select tries only PIN access points, and deleting the applied credential
// leaves the network.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <chrono>
#include <functional>
#include <optional>
#include <set>

#include "cli/adapter_session.h"
#include "platform/time/monitor_messages.h"
#include "tests/shellui/page_window_fixture.h"
#include "tests/support/simulator_process.h"
#include "widgets/progress_ctrl_x.h"
#include "wps/wps_store.h"
#include "wpspages/page_wps.h"

namespace ov {
namespace {

namespace fs = std::filesystem;
const fs::path kBin = OVUI_BIN_DIR;
const fs::path kDefaultScenario = fs::path(OVUI_SOURCE_DIR) / "data/scenarios/default.json";
const fs::path kTwoPushButtons = fs::path(OVUI_SOURCE_DIR) / "tests/wpsrun/two_push_buttons.json";
// A real run takes some seconds; this only bounds a simulator that stopped answering.
constexpr auto kRealLimit = std::chrono::seconds(60);

// The monitor's part: the scan list and the action queue of an adapter session.
class SessionHost final : public test::RecordingHost {
 public:
  std::vector<uint8_t> list = std::vector<uint8_t>(kBssidListBufferSize);
  cli::AdapterSession* session = nullptr;
  std::span<uint8_t> ScanList() override { return list; }
  ActionQueue* ActivationQueue() override { return session ? &session->Queue() : nullptr; }
  ConnectPolicy SurveyConnectPolicy() override { return {true, false, true}; }
};

class WpsPageSimTest : public test::PageWindowFixture<SessionHost> {
 protected:
  void Start(const fs::path& scenario) {
    simulator_.emplace(kBin, scenario, dir.path());
    ASSERT_TRUE(simulator_->ready()) << simulator_->output();
    session_.emplace(cli::AdapterSessionOptions{});
    ASSERT_TRUE(session_->Discover()) << "no adapter";
    std::string problem;
    ASSERT_TRUE(session_->SetUp(data_.path().string() + "/", false, &problem)) << problem;
    ASSERT_TRUE(session_->ScanAndWait(host.list, std::chrono::seconds(20), &problem)) << problem;
    host.session = &*session_;
    options.services.driver = &session_->Driver();
    options.services.wifi = &session_->Client();
    options.services.store = &session_->Store();
    options.services.showMessage = [this](const QString& text, QWidget*) {
      messages.push_back(text.toStdString());
      return 1;
    };
    registry.RegisterPage(TabButton::Wps, MakeWpsPage);
    state.RadioOn = true;
    state.Adapter.isAdmin = true;
    window = MakeWindow();
    window->ShowPage(TabButton::Wps);
    ASSERT_NE(Page(), nullptr);
    Page()->OnMonitorMessage(Message{WM_MON_SCAN_DONE, 0, 0});
  }
  void TearDown() override {
    window.reset();
    session_.reset();
  }
  CPageWPSDlg* Page() { return dynamic_cast<CPageWPSDlg*>(window->Page(TabButton::Wps)); }
  std::string Status() { return Page()->StatusText()->text().toStdString(); }

  // Page ticks on the virtual clock, the session's messages between them, until `done`; every
  // status text shown on the way is kept in order.
  bool RunUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + kRealLimit;
    while (std::chrono::steady_clock::now() < deadline) {
      clock.advance(200);
      session_->Pause(std::chrono::milliseconds(50));
      Record();
      if (done()) return true;
    }
    return false;
  }
  void Record() {
    if (shown.empty() || shown.back() != Status()) shown.push_back(Status());
  }
  void Press(QPushButton* button) {
    button->click();
    Record();
  }
  bool StatusIs(const std::string& text) { return RunUntil([&] { return Status() == text; }); }
  int ApRow(const std::string& ssid) {
    for (size_t i = 0; i < Page()->ApRows().size(); ++i)
      if (Page()->ApRows()[i].ssid == ssid) return static_cast<int>(i);
    ADD_FAILURE() << "no WPS AP " << ssid;
    return 0;
  }
  bool Connected() { return session_->Client().QueryInterfaceConnected() == true; }
  std::string CurrentSsid() {
    NDIS_802_11_SSID ssid;
    return session_->Client().GetCurrentSsid(ssid) ? std::string(NdisSsidText(ssid)) : std::string();
  }

  test::TempDir data_;
  test::ScopedMachineRoot root_{dir.path()};
  std::optional<test::SimulatorProcess> simulator_;
  std::optional<cli::AdapterSession> session_;
  std::vector<std::string> messages;
  std::vector<std::string> shown;
};

TEST_F(WpsPageSimTest, PushButtonRunEndsConnectedAndDeletingItsCredentialLeaves) {
  ASSERT_NO_FATAL_FAILURE(Start(kDefaultScenario));
  Press(Page()->PbcButton());
  ASSERT_TRUE(StatusIs("PBC - Get WPS profile successfully.")) << "last: " << Status();
  // The enrollee's exchange in order.
  const std::vector<std::string> steps = {"Start PBC connection", "PBC - Scanning AP", "PBC - Sending M1",
                                          "PBC - Received M8", "PBC - Get WPS profile successfully."};
  size_t at = 0;
  for (const std::string& step : steps) {
    while (at < shown.size() && shown[at] != step) ++at;
    ASSERT_LT(at, shown.size()) << "\"" << step << "\" not shown in order";
  }
  EXPECT_EQ(Page()->Progress()->position(), 100);
  ASSERT_EQ(Page()->ProfileList()->topLevelItemCount(), 1);
  EXPECT_EQ(Page()->ProfileList()->topLevelItem(0)->text(0).toStdString(), "Orvane-WPS-PBC");

  ASSERT_TRUE(RunUntil([&] { return Connected() && Page()->RowMarkedConnected(0); }))
      << "the credential did not connect";
  EXPECT_EQ(CurrentSsid(), "Orvane-WPS-PBC");
  WpsStoreState stored;
  LoadWpsStore(session_->Store(), &session_->Codec(), stored);
  EXPECT_EQ(stored.Table.Count, 1u);
  EXPECT_EQ(stored.WpsProfileInUse, 1);
  EXPECT_TRUE(messages.empty());

  // Deleting the applied credential runs the stop sequence: off the network, its service
  // profile gone, the store no longer in use.
  Page()->ProfileList()->topLevelItem(0)->setSelected(true);
  ASSERT_TRUE(Page()->DeleteButton()->isEnabled());
  Page()->DeleteButton()->click();
  ASSERT_TRUE(RunUntil([&] { return !Connected(); })) << "still connected";
  EXPECT_FALSE(session_->Client().ServiceProfileExists("Orvane-WPS-PBC"));
  EXPECT_EQ(Page()->ProfileList()->topLevelItemCount(), 0);
  LoadWpsStore(session_->Store(), &session_->Codec(), stored);
  EXPECT_EQ(stored.Table.Count, 0u);
  EXPECT_EQ(stored.WpsProfileInUse, 0);
}

TEST_F(WpsPageSimTest, WrongPinEndsIn262) {
  ASSERT_NO_FATAL_FAILURE(Start(kTwoPushButtons));
  Page()->ApList()->topLevelItem(ApRow("Orvane-WPS-PIN"))->setSelected(true);
  Page()->PinEdit()->setText("49537109");  // a valid PIN, not the one the registrar holds
  Press(Page()->PinButton());
  EXPECT_EQ(shown.front(), "Start PIN connection - Orvane-WPS-PIN");
  ASSERT_TRUE(StatusIs("PIN - Error PIN Code (R-Hash mismatch)")) << "last: " << Status();
  EXPECT_EQ(Page()->SessionMode(), kWpsSessionIdle);
  EXPECT_TRUE(Page()->PinButton()->isEnabled());
  EXPECT_EQ(Page()->ProfileList()->topLevelItemCount(), 0);
  EXPECT_FALSE(Connected());
}

TEST_F(WpsPageSimTest, TwoPushButtonApsEndIn257) {
  ASSERT_NO_FATAL_FAILURE(Start(kTwoPushButtons));
  Press(Page()->PbcButton());
  ASSERT_TRUE(StatusIs("PBC - Too many PBC AP available")) << "last: " << Status();
  EXPECT_TRUE(Page()->PbcButton()->isEnabled());
  EXPECT_EQ(Page()->ProfileList()->topLevelItemCount(), 0);
  EXPECT_FALSE(Connected());
}

TEST_F(WpsPageSimTest, AutoSelectTriesOnlyThePinAccessPoint) {
  ASSERT_NO_FATAL_FAILURE(Start(kTwoPushButtons));
  ASSERT_EQ(Page()->ApRows().size(), 3u);
  Page()->AutoSelectBox()->setChecked(true);
  Press(Page()->PinButton());
  ASSERT_GE(Page()->CurrentApIndex(), 0);
  EXPECT_EQ(Page()->ApRows()[static_cast<size_t>(Page()->CurrentApIndex())].ssid, "Orvane-WPS-PIN");
  EXPECT_EQ(Status(), "Start PIN connection - Orvane-WPS-PIN");
  // The generated PIN is not the registrar's: after the refusal no access point is left.
  ASSERT_TRUE(RunUntil([&] { return Page()->CurrentApIndex() == -1; }));
  std::set<std::string> tried;
  for (const std::string& text : shown)
    if (text.rfind("Start PIN connection - ", 0) == 0) tried.insert(text);
  EXPECT_EQ(tried, std::set<std::string>{"Start PIN connection - Orvane-WPS-PIN"});
}

}  // namespace
}  // namespace ov
