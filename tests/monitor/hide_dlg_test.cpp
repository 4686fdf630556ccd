// The monitor window on the virtual clock with recording doubles: tray states and tooltip,
// commands and clicks under Busy, the messages, session and power events, WPS background runs,
// the adapter check and the exit path.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>
#include <span>

#include "driver/discovery/adapter_chooser.h"

#include "driver/oid/wps_records.h"
#include "driver/signal_strength.h"
#include "shell/monitor_logic.h"
#include "shell/ui/control_ids.h"
#include "shell/ui/message_box.h"
#include "tests/monitor/monitor_fixture.h"
#include "tests/shellui/qt_app_environment.h"
#include "widgets/modal_guard.h"

namespace ov::test {
namespace {

using MonitorTest = MonitorFixture;

struct TrayCase {
  const char* name;
  bool connected;
  bool bssidSet;
  std::optional<uint32_t> extraInfo;  // nothing: the query fails
  std::optional<int32_t> rssi0;       // nothing: the query fails
  std::optional<int32_t> rssi1;
  TrayState expected;
};

TEST_F(MonitorTest, TrayStateFollowsLinkAndSignal) {
  const TrayCase cases[] = {
      {"-60 dBm, chain 1 fails: good", true, true, 0, -60, std::nullopt, TrayState::Good},
      {"-70 dBm: normal", true, true, 0, -70, std::nullopt, TrayState::Normal},
      {"-80 dBm: weak", true, true, 0, -80, std::nullopt, TrayState::Weak},
      {"chain 1 stronger counts", true, true, 0, -80, -60, TrayState::Good},
      {"hardware radio off with a valid BSSID: lost", true, true, 2, -50, std::nullopt,
       TrayState::Lost},
      {"failed extra-info query is no radio-off", true, true, std::nullopt, -60, std::nullopt,
       TrayState::Good},
      {"not connected: lost", false, true, 0, -50, std::nullopt, TrayState::Lost},
      {"all-zero BSSID: lost", true, false, 0, -50, std::nullopt, TrayState::Lost},
  };
  Start();
  for (const TrayCase& c : cases) {
    SCOPED_TRACE(c.name);
    wifi_.connected = c.connected;
    wifi_.ssid = "Home";
    wifi_.bssid = c.bssidSet ? kBssid : MacAddress{};
    auto& answers = adapter_.driver.answers;
    answers.erase(OID_VND_EXTRA_INFO.query);
    answers.erase(OID_VND_RSSI0.query);
    answers.erase(OID_VND_RSSI1.query);
    if (c.extraInfo) adapter_.driver.SetU32(OID_VND_EXTRA_INFO.query, *c.extraInfo);
    if (c.rssi0) adapter_.driver.SetI32(OID_VND_RSSI0.query, *c.rssi0);
    if (c.rssi1) adapter_.driver.SetI32(OID_VND_RSSI1.query, *c.rssi1);
    Tick();
    EXPECT_EQ(Tray(), c.expected);
    EXPECT_EQ(tray_.calls.back().state, c.expected);
  }
}

TEST_F(MonitorTest, FailedRssiQueryReadsAsZeroDbm) {
  Start();
  Connect("Home");
  adapter_.driver.answers.erase(OID_VND_RSSI0.query);
  Tick();
  EXPECT_EQ(Tray(), TrayStateForPercent(RssiToPercent(0)));
}

TEST_F(MonitorTest, TooltipShowsSsidLiterally) {
  const struct {
    const char* ssid;
    const char* tip;
  } cases[] = {
      {"50% & more", "Orvane Wireless - Connected to 50% & more (signal good)"},
      {"%s%d&&", "Orvane Wireless - Connected to %s%d&& (signal good)"},
      {"<b>net</b>", "Orvane Wireless - Connected to <b>net</b> (signal good)"},
  };
  Start();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ssid);
    Connect(c.ssid);
    Tick();
    EXPECT_EQ(monitor_->TrayTip().toStdString(), c.tip);
    EXPECT_EQ(tray_.calls.back().tip.toStdString(), c.tip);
  }
}

// A screen reader cannot reach the tray: the window it can reach says the same.
TEST_F(MonitorTest, TheMainWindowDescribesWhatTheTraySays) {
  Start();
  monitor_->OpenMainWindow();
  ASSERT_NE(monitor_->MainWindow(), nullptr);
  EXPECT_EQ(monitor_->MainWindow()->accessibleDescription().toStdString(),
            "Orvane Wireless - Not connected");
  Connect("Home");
  Tick();
  EXPECT_EQ(monitor_->MainWindow()->accessibleDescription().toStdString(),
            "Orvane Wireless - Connected to Home (signal good)");
  wifi_.connected = false;
  Tick();
  EXPECT_EQ(monitor_->MainWindow()->accessibleDescription(), monitor_->TrayTip());
  EXPECT_EQ(monitor_->TrayTip().toStdString(), "Orvane Wireless - Not connected");
}

TEST_F(MonitorTest, StartsWithLostOrNotExist) {
  Start();
  ASSERT_FALSE(tray_.calls.empty());
  EXPECT_EQ(tray_.calls.front().op, "add");
  EXPECT_EQ(tray_.calls.front().state, TrayState::Lost);
  EXPECT_EQ(tray_.calls.front().tip.toStdString(), "Orvane Wireless - Not connected");

  monitor_.reset();
  tray_.calls.clear();
  adapter_.present = false;
  Start();
  EXPECT_EQ(tray_.calls.front().state, TrayState::NotExist);
  EXPECT_EQ(tray_.calls.front().tip.toStdString(), "Orvane Wireless - No wireless adapter found");
}

TEST_F(MonitorTest, LostIconIsAddedAgainAndMissingTrayIsLoggedOnce) {
  Start();
  tray_.modifyFails = true;
  Tick();
  ASSERT_GE(tray_.calls.size(), 3u);
  const size_t n = tray_.calls.size();
  EXPECT_EQ(tray_.calls[n - 3].op, "modify");
  EXPECT_EQ(tray_.calls[n - 2].op, "remove");
  EXPECT_EQ(tray_.calls[n - 1].op, "add");

  monitor_.reset();
  tray_ = RecordingTray{};
  tray_.available = false;
  log_.clear();
  Start();
  Tick(5);
  EXPECT_FALSE(monitor_->TrayIconAdded());
  size_t trayLines = 0;
  for (const auto& line : log_) trayLines += line.find("notification area") != std::string::npos;
  EXPECT_EQ(trayLines, 1u) << "the missing notification area is said once";
  EXPECT_FALSE(monitor_->Ended());
  monitor_->OnCommand(IDM_TRAY_LAUNCH);  // what a second start sends
  EXPECT_NE(monitor_->MainWindow(), nullptr);
}

TEST_F(MonitorTest, BusyIgnoresClicksCommandsAndTicks) {
  Start();
  Connect("Home");
  monitor_->State().Busy = true;
  const size_t trayCalls = tray_.calls.size();
  monitor_->Target().post(WM_MON_TRAY, TRAY_ICON_ID, WM_LBUTTONDBLCLK);
  monitor_->Target().post(WM_MON_TRAY, TRAY_ICON_ID, WM_RBUTTONDOWN);
  monitor_->Target().post(WM_COMMAND, IDM_TRAY_LAUNCH, 0);
  monitor_->Target().post(WM_COMMAND, IDM_TRAY_EXIT, 0);
  Tick();
  EXPECT_EQ(monitor_->MainWindow(), nullptr);
  EXPECT_TRUE(tray_.menus.empty());
  EXPECT_TRUE(monitor_->ContextMenuItems().empty()) << "the desktop's own menu offers nothing";
  EXPECT_FALSE(monitor_->Ended());
  EXPECT_EQ(tray_.calls.size(), trayCalls) << "no tray update while Busy";

  monitor_->State().Busy = false;
  EXPECT_EQ(monitor_->ContextMenuItems(), monitor_->TrayMenuItems());
  monitor_->Target().post(WM_MON_TRAY, TRAY_ICON_ID, WM_LBUTTONDBLCLK);
  messages_.deliverAll();
  ASSERT_NE(monitor_->MainWindow(), nullptr);
  EXPECT_TRUE(monitor_->MainWindow()->isVisible());
  EXPECT_FALSE(monitor_->State().Expanded) << "opened in the collapsed layout";
}

// The adapter choice is open (its modal loop delivers the monitor's messages meanwhile): a
// double click on the tray, the launch command and the ticks wait.
class ClickingChooser final : public AdapterChooser {
 public:
  explicit ClickingChooser(std::function<void()> whileOpen) : whileOpen_(std::move(whileOpen)) {}
  std::optional<size_t> ChooseAdapter(std::span<const AdapterCandidate>) override {
    whileOpen_();
    return 0;
  }

 private:
  std::function<void()> whileOpen_;
};

TEST_F(MonitorTest, DoubleClickWhileAdapterChoiceIsOpenDoesNothing) {
  Start();
  Connect("Home");
  size_t trayCallsWhileOpen = 0;
  ClickingChooser inner([&] {
    const size_t before = tray_.calls.size();
    monitor_->Target().post(WM_MON_TRAY, TRAY_ICON_ID, WM_LBUTTONDBLCLK);
    monitor_->Target().post(WM_COMMAND, IDM_TRAY_LAUNCH, 0);
    messages_.deliverAll();
    clock_.advance(kMainTickMs);
    trayCallsWhileOpen = tray_.calls.size() - before;
  });
  BusyWhileChoosing chooser(inner, monitor_->State().Busy);
  const std::vector<AdapterCandidate> two(2);
  EXPECT_EQ(chooser.ChooseAdapter(two), 0u);
  EXPECT_EQ(monitor_->MainWindow(), nullptr);
  EXPECT_EQ(trayCallsWhileOpen, 0u);
  EXPECT_FALSE(monitor_->State().Busy);
  monitor_->Target().post(WM_MON_TRAY, TRAY_ICON_ID, WM_LBUTTONDBLCLK);
  messages_.deliverAll();
  EXPECT_NE(monitor_->MainWindow(), nullptr);
}

TEST_F(MonitorTest, OpenWithoutAdapterShowsDriverMessageUnderBusy) {
  adapter_.present = false;
  Start();
  monitor_->OpenMainWindow();
  ASSERT_EQ(desktop_.messages.size(), 1u);
  EXPECT_EQ(desktop_.messages[0].toStdString(), "The wireless adapter or its driver is not ready.");
  EXPECT_EQ(desktop_.busySeen, std::vector<bool>{true});
  EXPECT_FALSE(monitor_->State().Busy);
  EXPECT_EQ(monitor_->MainWindow(), nullptr);
}

TEST_F(MonitorTest, NonAdministratorIsWarnedUnlessTheIniSaysNo) {
  isAdmin_ = false;
  WriteIni("");
  Start();
  ASSERT_EQ(desktop_.messages.size(), 1u);
  EXPECT_EQ(desktop_.messages[0].toStdString(),
            "You have no 'Administrator' privilege, so some features may not work successfully");
  monitor_.reset();
  desktop_.messages.clear();
  WriteIni("[Account]\nWarningMessageForGenUser=0\n");
  Start();
  EXPECT_TRUE(desktop_.messages.empty());
}

TEST_F(MonitorTest, TrayMenuOffersApSwitchOnlyWhenItCanRun) {
  Start();
  monitor_->Target().post(WM_MON_TRAY, TRAY_ICON_ID, WM_RBUTTONDOWN);
  messages_.deliverAll();
  ASSERT_EQ(tray_.menus.size(), 1u);
  ASSERT_EQ(tray_.menus[0].size(), 2u) << "menu 150 without the sibling programs";
  EXPECT_EQ(tray_.menus[0][0].text.toStdString(), "Launch Config Utilities ");
  EXPECT_EQ(tray_.menus[0][1].command, IDM_TRAY_EXIT);

  AddSiblings();
  auto items = monitor_->TrayMenuItems();
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[1].command, IDM_TRAY_SWITCH_AP_MODE);
  EXPECT_EQ(items[1].text.toStdString(), "Switch to AP Mode");
  EXPECT_TRUE(items[1].enabled);
  monitor_->NoticeDialog().show();
  EXPECT_FALSE(monitor_->TrayMenuItems()[1].enabled) << "greyed while the notice shows";
  monitor_->NoticeDialog().hide();
}

TEST_F(MonitorTest, MessagesStartAndKillTheirTimers) {
  Start();
  WindowTimers& t = monitor_->Timers();
  monitor_->Target().post(WM_MON_RADIO_ON);
  messages_.deliverAll();
  EXPECT_TRUE(t.isActive(kMonitorTimerReapply));
  EXPECT_TRUE(t.isActive(kMonitorTimerSurveyRescan));
  monitor_->Target().post(WM_MON_CONNECTING);
  messages_.deliverAll();
  EXPECT_FALSE(t.isActive(kMonitorTimerReapply));
  monitor_->Target().post(WM_MON_CONNECT_FAILED);
  messages_.deliverAll();
  EXPECT_TRUE(t.isActive(kMonitorTimerReapply));
  monitor_->Target().post(WM_MON_CONNECT_DONE, 1);
  messages_.deliverAll();
  EXPECT_EQ(wifi_.completions, 1);

  monitor_->Queue().QueueScan();
  EXPECT_TRUE(monitor_->Queue().MonitorBusy());
  monitor_->Target().post(WM_MON_SCAN_DONE);
  messages_.deliverAll();
  EXPECT_FALSE(monitor_->Queue().MonitorBusy());
}

// A page that takes the monitor's messages, as the site-survey page does.
class RecordingPage final : public QWidget, public PageMessageSink {
 public:
  explicit RecordingPage(QWidget* parent, std::vector<Message>* received)
      : QWidget(parent), received_(received) {}
  void OnMonitorMessage(const Message& message) override { received_->push_back(message); }

 private:
  std::vector<Message>* received_;
};

// Pages of which only the site survey exists, recording what reaches it.
PageRegistry SurveyRecorder(std::vector<Message>* survey) {
  PageRegistry pages;
  pages.RegisterPage(TabButton::SiteSurvey, [survey](const PageContext&, QWidget* parent) {
    return new RecordingPage(parent, survey);
  });
  return pages;
}

TEST_F(MonitorTest, MessagesReachThePagesOfTheMainWindow) {
  std::vector<Message> survey;
  const PageRegistry pages = SurveyRecorder(&survey);
  pages_ = &pages;
  Start();
  monitor_->ScanList(kScanListCurrent)[0] = 3;
  // Without the main window nothing is forwarded and the lists stay.
  monitor_->Target().post(WM_MON_RADIO_OFF);
  messages_.deliverAll();
  QCoreApplication::processEvents();
  EXPECT_TRUE(survey.empty());
  EXPECT_EQ(monitor_->ScanList(kScanListCurrent)[0], 3);

  monitor_->OnCommand(IDM_TRAY_LAUNCH);
  ASSERT_NE(monitor_->MainWindow(), nullptr);
  monitor_->Target().post(WM_MON_SCAN_DONE);
  monitor_->Target().post(WM_MON_CONNECT_DONE, 1);
  monitor_->Target().post(WM_MON_RADIO_OFF);
  messages_.deliverAll();
  EXPECT_TRUE(survey.empty()) << "pages get the messages after the monitor's handler returned";
  ASSERT_TRUE(ProcessEventsUntil([&] { return survey.size() == 3; }));
  EXPECT_EQ(survey[0], (Message{WM_MON_SCAN_DONE, 0, 0}));
  EXPECT_EQ(survey[1], (Message{WM_COMMAND, IDC_SITESURVEY_RESCAN, 0}));
  EXPECT_EQ(survey[2], (Message{WM_MON_SCAN_DONE, 0, 0}));
  EXPECT_EQ(monitor_->ScanList(kScanListCurrent)[0], 0) << "radio off empties the lists";
}

// The EAP configuration dialog's messages: the whole window waits for the dialog, and the profile
// list hears of it too (its buttons stay disabled until the dialog has closed).
TEST_F(MonitorTest, EapDialogMessagesDisableTheWindowAndReachTheProfileList) {
  std::vector<Message> profileList;
  PageRegistry pages;
  pages.RegisterPage(TabButton::Profile, [&profileList](const PageContext&, QWidget* parent) {
    return new RecordingPage(parent, &profileList);
  });
  pages_ = &pages;
  Start();
  // Without the main window there is nothing to disable or tell.
  monitor_->MonitorTarget().post(WM_MON_EAP_UI_DONE, 0);
  messages_.deliverAll();
  QCoreApplication::processEvents();
  EXPECT_TRUE(profileList.empty());

  monitor_->OnCommand(IDM_TRAY_LAUNCH);
  ASSERT_NE(monitor_->MainWindow(), nullptr);
  monitor_->MonitorTarget().post(WM_MON_EAP_UI_DONE, 0);
  messages_.deliverAll();
  EXPECT_FALSE(monitor_->MainWindow()->isEnabled());
  ASSERT_TRUE(ProcessEventsUntil([&] { return profileList.size() == 1; }));
  EXPECT_EQ(profileList[0], (Message{WM_MON_EAP_UI_DONE, 0, 0}));

  monitor_->MonitorTarget().post(WM_MON_EAP_UI_DONE, 1);
  messages_.deliverAll();
  EXPECT_TRUE(monitor_->MainWindow()->isEnabled());
  ASSERT_TRUE(ProcessEventsUntil([&] { return profileList.size() == 2; }));
  EXPECT_EQ(profileList[1], (Message{WM_MON_EAP_UI_DONE, 1, 0}));
}

TEST_F(MonitorTest, EapFastEnhancementComesFromTheProgramIni) {
  for (const auto& [ini, expected] : std::vector<std::pair<std::string, bool>>{
           {"", false}, {"[Advance]\nEAPFastEnhancement=0\n", false},
           {"[Advance]\nEAPFastEnhancement=1\n", true}}) {
    WriteIni("[Account]\nWarningMessageForGenUser=0\n" + ini);
    Start();
    EXPECT_EQ(monitor_->State().EapFastEnhancement, expected) << ini;
    monitor_.reset();
  }
}

// The site survey's road through the monitor: its record is applied at once and ends the use of
// the stored and WPS profiles; a failed connection reaches the survey to be explained.
TEST_F(MonitorTest, SurveyConnectionIsAppliedAndItsFailuresReachTheSurvey) {
  std::vector<Message> survey;
  const PageRegistry pages = SurveyRecorder(&survey);
  pages_ = &pages;
  Start();
  monitor_->State().RadioOn = true;
  monitor_->Queue().adapter().radioOn = true;
  monitor_->Queue().activation().StationProfileInUse = 1;
  monitor_->Queue().wps().WpsProfileInUse = 1;
  auto record = std::make_unique<StationProfile>();
  record->ssid = MakeNdisSsid("Cafe");
  record->networkType = 1;
  record->connectRequested = 1;
  const size_t applied = client_.applied.size();
  EXPECT_TRUE(monitor_->ApplyStationProfile(std::move(record)));
  ASSERT_EQ(client_.applied.size(), applied + 1);
  EXPECT_EQ(client_.applied.back(), "Cafe");
  EXPECT_EQ(monitor_->Queue().activation().StationProfileInUse, 0);
  EXPECT_EQ(monitor_->Queue().wps().WpsProfileInUse, 0);

  monitor_->OnCommand(IDM_TRAY_LAUNCH);
  ASSERT_NE(monitor_->MainWindow(), nullptr);
  monitor_->Target().post(WM_MON_ATTEMPT_FAILED);
  monitor_->Target().post(WM_MON_CONNECT_FAILED);
  messages_.deliverAll();
  ASSERT_TRUE(ProcessEventsUntil([&] { return survey.size() == 2; }));
  EXPECT_EQ(survey[0].message, WM_MON_ATTEMPT_FAILED);
  EXPECT_EQ(survey[1].message, WM_MON_CONNECT_FAILED);
  EXPECT_TRUE(monitor_->Timers().isActive(kMonitorTimerReapply)) << "the monitor's own handling stays";
}

// The client renews the address of the interface with the adapter's MAC: the set-up reads it
// from the driver and hands it over before opening the interface; no answer gives nothing.
TEST_F(MonitorTest, AdapterSetUpHandsTheAdapterMacToTheWirelessClient) {
  const MacAddress mac{0x02, 0x5A, 0x0F, 0x00, 0x06, 0x01};
  for (const bool answers : {true, false}) {
    SCOPED_TRACE(answers);
    monitor_.reset();
    wifi_.adapterAddresses.clear();
    adapter_.driver.answers.erase(OID_802_3_CURRENT_ADDRESS);
    if (answers) {
      adapter_.driver.answers[OID_802_3_CURRENT_ADDRESS].assign(mac.begin(), mac.end());
    }
    Start();
    ASSERT_TRUE(monitor_->AdapterPresent());
    const std::vector<MacAddress> expected =
        answers ? std::vector<MacAddress>{mac} : std::vector<MacAddress>{};
    EXPECT_EQ(wifi_.adapterAddresses, expected);
  }
}

TEST_F(MonitorTest, UnplugClosesMainWindowAndReplugSetsUpAgain) {
  Start();
  monitor_->OnCommand(IDM_TRAY_LAUNCH);
  ASSERT_NE(monitor_->MainWindow(), nullptr);
  adapter_.present = false;
  Tick();
  EXPECT_EQ(Tray(), TrayState::NotExist);
  EXPECT_EQ(monitor_->MainWindow(), nullptr);
  EXPECT_TRUE(monitor_->Timers().isActive(kMonitorTimerMain)) << "discovery repeats every tick";

  adapter_.present = true;
  Connect("Home");
  const size_t before = tray_.calls.size();
  Tick();
  ASSERT_GT(tray_.calls.size(), before + 1);
  EXPECT_EQ(tray_.calls[before].state, TrayState::Lost) << "lost first, then the signal";
  EXPECT_EQ(Tray(), TrayState::Good);
}

// A modal dialog of the main window (one that does not hold the monitor busy, as a message box
// does) is open when the tick finds the adapter gone: the window goes away at once but is deleted
// only after the dialog's loop has returned.
TEST_F(MonitorTest, TeardownWaitsForModalLoopOfMainWindow) {
  Start();
  monitor_->OnCommand(IDM_TRAY_LAUNCH);
  QPointer<COvUI2007Dlg> window = monitor_->MainWindow();
  ASSERT_TRUE(window);
  bool aliveInsideLoop = false;
  WhenModalShown([&](QWidget*) {
    adapter_.present = false;
    Tick();
    aliveInsideLoop = !window.isNull();
    EXPECT_EQ(monitor_->MainWindow(), nullptr);
  });
  QPointer<QDialog> dialog = new QDialog(window);
  const int result = RunModal(dialog, QDialog::Rejected);
  delete dialog.data();
  EXPECT_TRUE(aliveInsideLoop) << "deleted under its own modal loop";
  EXPECT_EQ(result, QDialog::Rejected) << "the teardown closed the dialog";
  EXPECT_TRUE(ProcessEventsUntil([&] { return window.isNull(); }));
}

TEST_F(MonitorTest, SessionCheckReappliesOnlyAnExistingProfile) {
  // The radio is off at start: nothing has been applied, so there is nothing to re-apply.
  WriteParam("Radio", "1");
  Start();
  ASSERT_EQ(monitor_->Queue().CurrentProfile(), nullptr);
  monitor_->Queue().adapter().radioOn = true;
  const int runs = queueRuns_;
  session_.active = 2;
  Tick(3);
  EXPECT_EQ(queueRuns_, runs) << "no queue run for a profile that does not exist";
  EXPECT_TRUE(client_.applied.empty());
  EXPECT_TRUE(monitor_->Queue().Queue().empty());

  // Once a profile was applied, it is applied again on every check while another session has
  // the console, and once more when it is back.
  session_.active = 1;
  Tick();
  auto profile = std::make_unique<StationProfile>();
  const std::string ssid = "Home";
  profile->ssid.SsidLength = static_cast<uint32_t>(ssid.size());
  std::copy(ssid.begin(), ssid.end(), profile->ssid.Ssid.begin());
  profile->connectRequested = 1;
  WriteParam("Radio", "0");
  monitor_->State().RadioOn = true;
  monitor_->Queue().adapter().radioOn = true;
  if (monitor_->Queue().QueueAction(kActionApplyProfile, std::move(profile)))
    monitor_->Queue().ActionExec();
  const size_t applied = client_.applied.size();
  ASSERT_GE(applied, 1u);
  session_.active = 2;
  Tick();  // sees the change
  Tick();  // re-applies
  Tick();  // again
  session_.active = 1;
  Tick();  // once more when back
  Tick();  // then no more
  EXPECT_EQ(client_.applied.size(), applied + 3);
}

TEST_F(MonitorTest, ResumeWaitsForReadinessThenScans) {
  Start();
  adapter_.driver.SetU32(OID_VND_NIC_READY.query, 0);
  monitor_->OnSuspend();
  EXPECT_FALSE(monitor_->Timers().isActive(kMonitorTimerMain));
  EXPECT_FALSE(monitor_->Timers().isActive(kMonitorTimerWpsPbcStarted));
  const int scans = client_.scans;
  monitor_->OnResume();
  EXPECT_TRUE(monitor_->Timers().isActive(kMonitorTimerMain));
  EXPECT_TRUE(monitor_->Timers().isActive(kMonitorTimerWpsPbcStarted))
      << "the hardware-button WPS watch runs again after a resume";
  EXPECT_TRUE(monitor_->Timers().isActive(kMonitorTimerResume));
  Tick(3);
  EXPECT_EQ(client_.scans, scans) << "still waiting after three retries";
  Tick();
  EXPECT_EQ(client_.scans, scans + 1) << "the scan goes out when the retries are spent";
  EXPECT_FALSE(monitor_->Timers().isActive(kMonitorTimerResume));

  // An adapter that becomes ready during the waits is scanned at that tick.
  monitor_->Target().post(WM_MON_SCAN_DONE);
  messages_.deliverAll();
  monitor_->OnSuspend();
  monitor_->OnResume();
  Tick();
  adapter_.driver.SetU32(OID_VND_NIC_READY.query, 1);
  Tick();
  EXPECT_EQ(client_.scans, scans + 2);
  EXPECT_EQ(monitor_->ResumeRetries(), 0);
}

TEST_F(MonitorTest, PushButtonRunFromHardwareIsFollowedToItsCredential) {
  Start();
  ScriptedDriver& d = adapter_.driver;
  d.SetU32(OID_VND_WPS_PBC_STARTED.query, 1);
  clock_.advance(kWpsPbcPollMs);
  messages_.deliverAll();
  EXPECT_TRUE(monitor_->Timers().isActive(kMonitorTimerWpsPoll));
  EXPECT_EQ(monitor_->Queue().wps().WpsProfileInUse, 1);
  d.SetU32(OID_VND_WPS_PBC_STARTED.query, 0);

  d.SetU32(OID_VND_WPS_STATUS.query, 3);  // still running
  clock_.advance(kWpsStatusPollMs);
  EXPECT_TRUE(monitor_->Timers().isActive(kMonitorTimerWpsPoll));

  WpsCredentialTable table;
  table.Count = 1;
  WpsCredential& c = table.Credentials[0];
  const std::string ssid = "WpsNet";
  c.SsidLength = static_cast<uint32_t>(ssid.size());
  std::copy(ssid.begin(), ssid.end(), c.Ssid.begin());
  c.AuthType = 0x0020;  // WPA2-PSK
  c.EncryType = 0x0008; // AES
  const std::string key = "wps passphrase";
  c.KeyLength = static_cast<uint32_t>(key.size());
  std::copy(key.begin(), key.end(), c.Key.begin());
  const auto bytes = EncodeWpsCredentialTable(table);
  d.answers[OID_VND_WPS_PROFILE_TABLE.query].assign(bytes.begin(), bytes.end());
  d.SetU32(OID_VND_WPS_CHANNEL.query, 11);
  d.SetU32(OID_VND_WPS_STATUS.query, 15);
  const size_t applied = client_.applied.size();
  clock_.advance(kWpsStatusPollMs);
  EXPECT_FALSE(monitor_->Timers().isActive(kMonitorTimerWpsPoll));
  EXPECT_TRUE(monitor_->Timers().isActive(kMonitorTimerWpsCheck));
  ASSERT_EQ(client_.applied.size(), applied + 1);
  EXPECT_EQ(client_.applied.back(), "WpsNet");
  EXPECT_EQ(monitor_->Queue().wps().Settings.Channel, 11);

  // The link came up with the credential's security: the check ends.
  Connect("WpsNet");
  wifi_.auth = static_cast<uint32_t>(WpsAuthTypeToDot11(c.AuthType));
  wifi_.cipher = static_cast<uint32_t>(WpsEncryTypeToDot11(c.EncryType));
  clock_.advance(kWpsCheckMs);
  EXPECT_FALSE(monitor_->Timers().isActive(kMonitorTimerWpsCheck));
  EXPECT_EQ(client_.applied.size(), applied + 1);
}

TEST_F(MonitorTest, WpsFailureStopsPollAndCheck) {
  Start();
  for (uint32_t code : {260u, 261u, 262u, 513u, 514u, 515u, 516u}) {
    SCOPED_TRACE(code);
    monitor_->Timers().start(kMonitorTimerWpsPoll, kWpsStatusPollMs);
    monitor_->Timers().start(kMonitorTimerWpsCheck, kWpsCheckMs);
    adapter_.driver.SetU32(OID_VND_WPS_STATUS.query, code);
    clock_.advance(kWpsStatusPollMs);
    EXPECT_FALSE(monitor_->Timers().isActive(kMonitorTimerWpsPoll));
    EXPECT_FALSE(monitor_->Timers().isActive(kMonitorTimerWpsCheck));
  }
  monitor_->Timers().start(kMonitorTimerWpsPoll, kWpsStatusPollMs);
  monitor_->Timers().start(kMonitorTimerWpsCheck, kWpsCheckMs);
  adapter_.driver.SetU32(OID_VND_WPS_STATUS.query, 0);
  clock_.advance(kWpsStatusPollMs);
  EXPECT_FALSE(monitor_->Timers().isActive(kMonitorTimerWpsPoll));
  EXPECT_TRUE(monitor_->Timers().isActive(kMonitorTimerWpsCheck));
}

TEST_F(MonitorTest, ExitSavesStationParametersAndEmptiesQueue) {
  Start();
  monitor_->OnCommand(IDM_TRAY_LAUNCH);
  QPointer<COvUI2007Dlg> window = monitor_->MainWindow();
  monitor_->Queue().QueueScan();
  monitor_->Queue().QueueScan();
  monitor_->OnCommand(IDM_TRAY_EXIT);
  EXPECT_TRUE(monitor_->Ended());
  EXPECT_EQ(ends_, 1);
  EXPECT_EQ(tray_.calls.back().op, "remove");
  EXPECT_EQ(ReadParam("Channel", std::string(kAdapterKey) + "\\Default"), "6");
  EXPECT_TRUE(monitor_->Queue().Queue().empty());
  EXPECT_EQ(monitor_->Queue().CurrentProfile(), nullptr);
  EXPECT_EQ(monitor_->MainWindow(), nullptr);
  EXPECT_TRUE(ProcessEventsUntil([&] { return window.isNull(); }));
  // Nothing runs after the end.
  const size_t calls = tray_.calls.size();
  Tick(3);
  EXPECT_EQ(tray_.calls.size(), calls);
}

}  // namespace
}  // namespace ov::test

[[maybe_unused]] static auto* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new ov::test::QtAppEnvironment<QApplication>);
