// CPageWPSDlg in the real main window, offscreen, on the virtual clock, against a recording
// driver and a real action queue: the start requests, every polled status, the completion of
// the page's own runs (and not of the driver's), PIN checks, auto-select, config modes and the
// profile list's Connect and Delete.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <ostream>

#include "driver/oid/oid_constants.h"
#include "driver/oid/wps_records.h"
#include "platform/time/monitor_messages.h"
#include "profiles/profile_store.h"
#include "shell/ui/control_ids.h"
#include "tests/actionqueue/queue_test_support.h"
#include "tests/bssdescribe/element_builder.h"
#include "tests/shellui/page_window_fixture.h"
#include "views/ap_detail_dlg.h"
#include "widgets/filtering_edit.h"
#include "widgets/info_wnd.h"
#include "widgets/progress_ctrl_x.h"
#include "wps/wps_pin.h"
#include "wps/wps_registrar.h"
#include "wps/wps_status_text.h"
#include "profilepages/profile_editor.h"
#include "wpspages/page_wps.h"
#include "wpspages/wps_profile_panel.h"

namespace ov {
namespace {

constexpr char kGuid[] = "{5A0F1000-0000-4000-8000-00000000AB01}";

// The monitor's part: its scan list and its action queue.
class QueueHost final : public test::RecordingHost {
 public:
  std::vector<uint8_t> list = std::vector<uint8_t>(kBssidListBufferSize);
  ActionQueue* queue = nullptr;
  int scans = 0;
  bool mayManage = false;
  std::span<uint8_t> ScanList() override { return list; }
  void QueueScan() override { ++scans; }
  ActionQueue* ActivationQueue() override { return queue; }
  ConnectPolicy SurveyConnectPolicy() override { return {true, false, mayManage}; }
};

test::Bytes WpsAp(const MacAddress& bssid, const char* ssid, uint16_t passwordId) {
  BssDescription bss;
  bss.bssid = bssid;
  bss.ssid = ssid;
  bss.dsConfigKHz = 2437000;
  bss.infrastructureMode = Ndis802_11Infrastructure;
  const test::Bytes elements =
      test::WpsElement({test::WpsAttribute(ie::wps::kDevicePasswordId, test::Be16(passwordId))});
  bss.informationElements = elements;
  return MakeBssidEntry(bss);
}

constexpr MacAddress kPbcAp = {0x02, 0x5A, 0x0F, 0x10, 0x00, 0x01};
constexpr MacAddress kPinAp1 = {0x02, 0x5A, 0x0F, 0x10, 0x00, 0x02};
constexpr MacAddress kPinAp2 = {0x02, 0x5A, 0x0F, 0x10, 0x00, 0x03};

WpsCredential Credential(const std::string& ssid, const std::string& key) {
  WpsCredential c;
  c.SsidLength = static_cast<uint32_t>(ssid.size());
  std::copy(ssid.begin(), ssid.end(), c.Ssid.begin());
  c.AuthType = 32;
  c.EncryType = 8;
  c.KeyLength = static_cast<uint32_t>(key.size());
  std::copy(key.begin(), key.end(), c.Key.begin());
  c.MacAddr = kPinAp1;
  return c;
}

class WpsPageTest : public test::PageWindowFixture<QueueHost> {
 protected:
  void SetUp() override {
    services_.driver = &driver;
    services_.client = &client_;
    services_.store = &store_;
    services_.scanList = [this] { return std::span<const uint8_t>(host.list); };
    queue_ = std::make_unique<ActionQueue>(services_);
    queue_->adapter().radioOn = true;
    host.queue = queue_.get();
    options.services.store = &store_;
    options.services.showMessage = [this](const QString& text, QWidget*) {
      messages.push_back(text.toStdString());
      return 1;
    };
    registry.RegisterPage(TabButton::Wps, MakeWpsPage);
    state.RadioOn = true;
  }
  void Open() {
    window = MakeWindow();
    window->ShowPage(TabButton::Wps);
    ASSERT_NE(Page(), nullptr);
  }
  void TearDown() override { window.reset(); }
  CPageWPSDlg* Page() { return dynamic_cast<CPageWPSDlg*>(window->Page(TabButton::Wps)); }

  void ShowAps(const std::vector<test::Bytes>& entries) {
    host.list = test::ScanListOf(entries);
    Page()->OnMonitorMessage(Message{WM_MON_SCAN_DONE, 0, 0});
  }
  void AnswerStatus(uint32_t word) {
    driver.answers[OID_VND_WPS_STATUS.query] = {static_cast<uint8_t>(word), static_cast<uint8_t>(word >> 8),
                                                static_cast<uint8_t>(word >> 16), static_cast<uint8_t>(word >> 24)};
  }
  void AnswerWord(uint32_t oid, uint32_t value) {
    driver.answers[oid] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                           static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  }
  void AnswerTable(const WpsCredentialTable& table) {
    const auto bytes = EncodeWpsCredentialTable(table);
    driver.answers[OID_VND_WPS_PROFILE_TABLE.query] = {bytes.begin(), bytes.end()};
  }
  std::vector<uint32_t> SetOids() const {
    std::vector<uint32_t> oids;
    for (const auto& c : driver.Sets()) oids.push_back(c.oid);
    return oids;
  }
  int Queries(uint32_t oid) const {
    int n = 0;
    for (const auto& c : driver.calls) n += (!c.isSet && c.oid == oid) ? 1 : 0;
    return n;
  }
  std::optional<WpsStart> LastStart() const {
    std::optional<WpsStart> start;
    for (const auto& c : driver.Sets()) {
      WpsStart s;
      if (c.oid == OID_VND_WPS_START.set && DecodeWpsStart(c.bytes, s)) start = s;
    }
    return start;
  }
  std::string Status() { return Page()->StatusText()->text().toStdString(); }

  test::RecordingClient client_;
  ProfileStore store_{StoreLocation{dir.path().string() + "/", 4, kGuid}};
  ActionQueueServices services_;
  std::unique_ptr<ActionQueue> queue_;
  std::vector<std::string> messages;
};

TEST_F(WpsPageTest, PbcStartSendsTheRunInOrderAndPollsEvery200Ms) {
  Open();
  queue_->wps().Table.Count = 1;  // an enrollee run forgets the old credentials
  Page()->PbcButton()->click();
  EXPECT_EQ(SetOids(), (std::vector<uint32_t>{OID_VND_WPS_WIRELESS_MODE.set, OID_VND_WPS_START.set,
                                              OID_VND_WPS_PROFILE_TABLE.set, OID_VND_WPS_ASSOC_IE.set,
                                              OID_VND_WPS_PROBE_IE.set}));
  ASSERT_TRUE(LastStart());
  EXPECT_EQ(LastStart()->Mode, WPS_START_MODE_PBC);
  EXPECT_EQ(LastStart()->Role, WPS_ROLE_ENROLLEE);
  EXPECT_EQ(queue_->wps().Table.Count, 0u);
  EXPECT_EQ(Status(), "Start PBC connection");
  EXPECT_EQ(Page()->Progress()->position(), 5);
  EXPECT_FALSE(Page()->PbcButton()->isEnabled());
  EXPECT_FALSE(Page()->WirelessModeCombo()->isEnabled());
  EXPECT_EQ(Page()->SessionMode(), kWpsSessionPbc);

  AnswerStatus(2);
  clock.advance(199);
  EXPECT_EQ(Queries(OID_VND_WPS_STATUS.query), 0);
  clock.advance(1);
  EXPECT_EQ(Queries(OID_VND_WPS_STATUS.query), 1);
  EXPECT_EQ(Status(), "PBC - Scanning AP");
}

// One polled word: the text, the bar and whether the start buttons come back.
struct PollRow {
  const char* name;
  uint32_t word;
  std::string text;
  int progress;
  bool startsAgain;
};
void PrintTo(const PollRow& row, std::ostream* os) { *os << row.name; }

class WpsPagePollTest : public WpsPageTest, public ::testing::WithParamInterface<PollRow> {};

TEST_P(WpsPagePollTest, ShowsTheStatus) {
  Open();
  Page()->PbcButton()->click();
  AnswerStatus(4);
  clock.advance(200);
  AnswerStatus(GetParam().word);
  clock.advance(200);
  EXPECT_EQ(Status(), GetParam().text);
  EXPECT_EQ(Page()->Progress()->position(), GetParam().progress);
  EXPECT_EQ(Page()->PbcButton()->isEnabled(), GetParam().startsAgain);
}

constexpr uint32_t kPinBit = 1u << 28;
INSTANTIATE_TEST_SUITE_P(
    Rows, WpsPagePollTest,
    ::testing::Values(PollRow{"PinSendingM1", kPinBit | 18, "PIN - Sending M1", 40, false},
                      PollRow{"RegistrarReceivedM7", kPinBit | 41, "PIN - Received M7", 80, false},
                      PollRow{"DoneAt90", 27, "PBC - Sending EAP Response (Done)", 90, false},
                      PollRow{"AckKeepsTheBar", 7, "PBC - Sending EAP Response (ACK)", 20, false},
                      PollRow{"UnknownCodeShowsThePrefix", 99, "PBC - ", 20, false},
                      PollRow{"NoPbcAp", 258, "PBC - No PBC AP available", 20, true},
                      PollRow{"TooManyPbcAps", 257, "PBC - Too many PBC AP available", 20, true},
                      PollRow{"NotUsedEndsTheRun", 0, "PBC - WPS status is not used", 20, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WpsPageTest, FailedStatusQueryLeavesTheDisplay) {
  Open();
  Page()->PbcButton()->click();
  AnswerStatus(kPinBit | 22);
  clock.advance(200);
  driver.failingQueries.insert(OID_VND_WPS_STATUS.query);
  clock.advance(400);
  EXPECT_EQ(Status(), "PIN - Received M4");
  EXPECT_EQ(Page()->Progress()->position(), 65);
}

TEST_F(WpsPageTest, SuccessTakesStoresAndAppliesTheDriversCredentials) {
  Open();
  Page()->PbcButton()->click();
  WpsCredentialTable table;
  table.Count = 2;
  table.Credentials[0] = Credential("Orvane-A", "passphrase-a");
  table.Credentials[1] = Credential("Orvane-B", "passphrase-b");
  AnswerTable(table);
  AnswerWord(OID_VND_WPS_CHANNEL.query, 11);
  AnswerStatus(15);
  clock.advance(200);

  EXPECT_EQ(Status(), "PBC - Get WPS profile successfully.");
  EXPECT_EQ(Page()->Progress()->position(), 100);
  EXPECT_EQ(Page()->SessionMode(), kWpsSessionIdle);
  EXPECT_TRUE(Page()->PbcButton()->isEnabled());
  EXPECT_EQ(queue_->wps().Table, table);
  EXPECT_EQ(queue_->wps().Settings.Channel, 11);
  EXPECT_EQ(queue_->wps().WpsProfileInUse, 1);
  ASSERT_EQ(client_.applied.size(), 1u);
  EXPECT_EQ(client_.applied[0].ssid, "Orvane-A");
  ASSERT_EQ(Page()->ProfileList()->topLevelItemCount(), 2);
  EXPECT_EQ(Page()->ProfileList()->topLevelItem(1)->text(0).toStdString(), "Orvane-B");
  EXPECT_TRUE(Page()->RotateButton()->isEnabled());

  // What was stored is what loads.
  WpsStoreState loaded;
  LoadWpsStore(store_, nullptr, loaded);
  EXPECT_EQ(loaded.Table, table);
  EXPECT_EQ(loaded.WpsProfileInUse, 1);
  EXPECT_EQ(loaded.Settings.Channel, 11);

  // Polling is over; the connection monitor runs every 2 s.
  const int polls = Queries(OID_VND_WPS_STATUS.query);
  clock.advance(2000);
  EXPECT_EQ(Queries(OID_VND_WPS_STATUS.query), polls);
  EXPECT_EQ(Page()->TickCounter(), 2u);
}

TEST_F(WpsPageTest, DriverStartedPbcRunIsFollowedButCompletedOnlyByTheMonitor) {
  Open();
  AnswerWord(OID_VND_WPS_PBC_STARTED.query, 1);
  AnswerStatus(18);
  clock.advance(1000);
  EXPECT_TRUE(Page()->FollowingDriverRun());
  EXPECT_EQ(Status(), "Start PBC connection");
  EXPECT_FALSE(LastStart()) << "a run the driver started gets no start request";
  clock.advance(200);
  EXPECT_EQ(Status(), "PBC - Sending M1");

  // Still going: another second of the button's flag starts nothing anew.
  clock.advance(1000);
  EXPECT_TRUE(Page()->FollowingDriverRun());

  WpsCredentialTable table;
  table.Count = 1;
  table.Credentials[0] = Credential("Orvane-WPS-PBC", "from-the-button");
  AnswerTable(table);
  AnswerStatus(15);
  AnswerWord(OID_VND_WPS_PBC_STARTED.query, 0);
  clock.advance(200);
  EXPECT_EQ(Status(), "PBC - Get WPS profile successfully.");
  EXPECT_FALSE(Page()->FollowingDriverRun());
  EXPECT_EQ(Queries(OID_VND_WPS_PROFILE_TABLE.query), 0) << "the monitor takes the table, not the page";
  EXPECT_TRUE(client_.applied.empty()) << "the monitor applies it, not the page";

  // The monitor's completion lands in the shared table; the page's list follows it.
  queue_->wps().Table = table;
  clock.advance(2000);
  ASSERT_EQ(Page()->ProfileList()->topLevelItemCount(), 1);
  EXPECT_EQ(Page()->ProfileList()->topLevelItem(0)->text(0).toStdString(), "Orvane-WPS-PBC");
  EXPECT_TRUE(client_.applied.empty());
}

// The PIN edit's checks before a PIN run.
TEST_F(WpsPageTest, PinIsCheckedBeforeTheRun) {
  Open();
  ShowAps({WpsAp(kPinAp1, "Orvane-PIN", 0x0000)});
  Page()->ApList()->topLevelItem(0)->setSelected(true);
  Page()->ConfigModeCombo()->setCurrentIndex(1);
  Page()->OnConfigModeChanged(1);  // registrar: the PIN is typed
  driver.calls.clear();

  uint32_t generated = 0;
  ASSERT_EQ(CheckWpsPin(FormatWpsPin(static_cast<uint32_t>(queue_->wps().Settings.PinCode)), &generated),
            WpsPinCheck::Valid);

  Page()->PinEdit()->setText("1234567");
  Page()->PinButton()->click();
  ASSERT_NE(Page()->Note(), nullptr);
  EXPECT_EQ(Page()->Note()->text().trimmed().toStdString(), "Invaild Pin Code");
  EXPECT_TRUE(messages.empty());
  EXPECT_FALSE(LastStart());

  const std::string good = FormatWpsPin(generated);
  std::string bad = good;
  bad[7] = static_cast<char>('0' + (bad[7] - '0' + 1) % 10);
  Page()->PinEdit()->setText(QString::fromStdString(bad));
  Page()->PinButton()->click();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Pin Code error");
  EXPECT_FALSE(LastStart());

  Page()->PinEdit()->setText(QString::fromStdString(good));
  Page()->PinButton()->click();
  const std::optional<WpsStart> start = LastStart();
  ASSERT_TRUE(start);
  EXPECT_EQ(start->Mode, WPS_START_MODE_PIN);
  EXPECT_EQ(start->Role, WPS_ROLE_REGISTRAR);
  EXPECT_EQ(start->Bssid, kPinAp1);
  EXPECT_EQ(std::string(start->Pin.begin(), start->Pin.end()), good);
  EXPECT_EQ(Status(), "Start PIN connection - Orvane-PIN");
  // A PIN run sends the auto-select flag before the four sets of a push-button run.
  const std::vector<uint32_t> oids = SetOids();
  ASSERT_GE(oids.size(), 5u);
  EXPECT_EQ(std::vector<uint32_t>(oids.end() - 5, oids.end()),
            (std::vector<uint32_t>{OID_VND_WPS_AUTO_SELECT.set, OID_VND_WPS_START.set,
                                   OID_VND_WPS_PROFILE_TABLE.set, OID_VND_WPS_ASSOC_IE.set,
                                   OID_VND_WPS_PROBE_IE.set}));
}

TEST_F(WpsPageTest, AutoSelectSkipsPushButtonApsAndRescansAfterTheLast) {
  Open();
  ShowAps({WpsAp(kPbcAp, "Orvane-PBC", 0x0004), WpsAp(kPinAp1, "Orvane-PIN-1", 0x0000),
           WpsAp(kPbcAp, "Orvane-PBC-2", 0x0004), WpsAp(kPinAp2, "Orvane-PIN-2", 0x0001)});
  Page()->AutoSelectBox()->setChecked(true);
  EXPECT_TRUE(Page()->PinButton()->isEnabled()) << "auto-select needs no selected row";
  Page()->PinButton()->click();
  ASSERT_TRUE(LastStart());
  EXPECT_EQ(LastStart()->Bssid, kPinAp1);
  EXPECT_EQ(Page()->CurrentApIndex(), 1);

  // A wrong PIN moves on to the next PIN access point at once.
  AnswerStatus(kPinBit | 262);
  clock.advance(200);
  EXPECT_EQ(LastStart()->Bssid, kPinAp2);
  EXPECT_EQ(Page()->CurrentApIndex(), 3);

  // Five seconds without a connection: no row is left, so the page rescans.
  AnswerStatus(kPinBit | 3);
  const int scans = host.scans;
  clock.advance(5000);
  EXPECT_EQ(Page()->CurrentApIndex(), -1);
  EXPECT_EQ(host.scans, scans + 1);
  EXPECT_EQ(Status(), "IDS_RESCANNING");
  EXPECT_TRUE(Page()->PinButton()->isEnabled());
}

TEST_F(WpsPageTest, AutoSelectStopsAtTheOverallLimit) {
  Open();
  ShowAps({WpsAp(kPinAp1, "Orvane-PIN-1", 0x0000)});
  Page()->AutoSelectBox()->setChecked(true);
  Page()->PinButton()->click();
  AnswerStatus(kPinBit | 5);
  // Each 5-second retry restarts on the one row left... which is none: rescan.
  clock.advance(120000);
  EXPECT_EQ(Page()->SessionMode(), kWpsSessionIdle);
  EXPECT_EQ(Page()->CurrentApIndex(), -1);
  EXPECT_TRUE(Page()->PinButton()->isEnabled());
}

TEST_F(WpsPageTest, InformationOpensTheApDetailOnItsWpsTab) {
  registry.RegisterLowerPanel(LOWER_PANEL_AP_DETAIL, MakeApDetailPanel);
  Open();
  ShowAps({WpsAp(kPbcAp, "Orvane-PBC", 0x0004), WpsAp(kPinAp1, "Orvane-PIN-1", 0x0000)});
  EXPECT_FALSE(Page()->InformationButton()->isEnabled());
  Page()->ApList()->topLevelItem(1)->setSelected(true);
  ASSERT_TRUE(Page()->InformationButton()->isEnabled());
  Page()->InformationButton()->click();
  EXPECT_EQ(state.LowerPanel, LOWER_PANEL_AP_DETAIL);
  auto* detail = dynamic_cast<CAPDetailInfoDlg*>(window->LowerPanel(LOWER_PANEL_AP_DETAIL));
  ASSERT_NE(detail, nullptr);
  EXPECT_EQ(detail->Tabs()->currentIndex(), CAPDetailInfoDlg::kTabWps);
  EXPECT_EQ(detail->General(CAPDetailInfoDlg::GeneralField::Ssid)->text().toStdString(), "Orvane-PIN-1");
}

TEST_F(WpsPageTest, RegistrarTwiceKeepsTheCredentialBackAndForthMakesANewOne) {
  driver.answers[OID_802_3_CURRENT_ADDRESS] = {0x02, 0x5A, 0x0F, 0xAB, 0xCD, 0xEF};
  Open();
  Page()->OnConfigModeChanged(kWpsConfigRegistrar);
  ASSERT_EQ(queue_->wps().Table.Count, 1u);
  const WpsCredential first = queue_->wps().Table.Credentials[0];
  EXPECT_EQ(std::string(WpsCredentialSsid(first)), "ExRegNWABCDEF");
  EXPECT_FALSE(Page()->DeleteButton()->isVisibleTo(Page()));
  EXPECT_FALSE(Page()->PinEdit()->isReadOnly());
  EXPECT_FALSE(Page()->WirelessModeCombo()->isEnabled());

  Page()->OnConfigModeChanged(kWpsConfigRegistrar);
  EXPECT_EQ(queue_->wps().Table.Credentials[0], first);

  Page()->OnConfigModeChanged(kWpsConfigEnrollee);
  EXPECT_EQ(queue_->wps().Table.Count, 0u);
  EXPECT_TRUE(Page()->DeleteButton()->isVisibleTo(Page()));
  EXPECT_TRUE(Page()->PinEdit()->isReadOnly());
  Page()->OnConfigModeChanged(kWpsConfigRegistrar);
  ASSERT_EQ(queue_->wps().Table.Count, 1u);
  EXPECT_NE(queue_->wps().Table.Credentials[0].Key, first.Key) << "a new registrar key each time";

  WpsStoreState loaded;
  LoadWpsStore(store_, nullptr, loaded);
  EXPECT_EQ(loaded.Settings.ConfigMode, kWpsConfigRegistrar);
  EXPECT_EQ(loaded.Table.Count, 1u);
}

TEST_F(WpsPageTest, ProfileListButtonsFollowTheSelectionAndThePolicy) {
  queue_->wps().Table.Count = 2;
  queue_->wps().Table.Credentials[0] = Credential("Orvane-A", "passphrase-a");
  queue_->wps().Table.Credentials[1] = Credential("Orvane-B", "passphrase-b");
  Open();
  EXPECT_FALSE(Page()->ConnectButton()->isEnabled());
  EXPECT_FALSE(Page()->ProfileDetailButton()->isEnabled());
  EXPECT_FALSE(Page()->DeleteButton()->isEnabled());
  EXPECT_TRUE(Page()->RotateButton()->isEnabled());

  Page()->ProfileList()->topLevelItem(1)->setSelected(true);
  EXPECT_TRUE(Page()->ConnectButton()->isEnabled());
  EXPECT_TRUE(Page()->ProfileDetailButton()->isEnabled());
  EXPECT_FALSE(Page()->DeleteButton()->isEnabled()) << "a standard user without the policy";

  host.mayManage = true;
  Page()->ProfileList()->clearSelection();
  Page()->ProfileList()->topLevelItem(1)->setSelected(true);
  EXPECT_TRUE(Page()->DeleteButton()->isEnabled());

  std::vector<int> detailRows;
  int imports = 0;
  QObject::connect(Page(), &CPageWPSDlg::ProfileDetailRequested, [&](int row) { detailRows.push_back(row); });
  QObject::connect(Page(), &CPageWPSDlg::ImportProfileRequested, [&] { ++imports; });
  Page()->ProfileDetailButton()->click();
  Page()->ImportProfileButton()->click();
  EXPECT_EQ(detailRows, std::vector<int>{1});
  EXPECT_EQ(imports, 1);
}

// Profile Detail fills the credential panel with the selected row's credential, Import Profile
// stores every credential through the profile editor, and what a registrar saves in the panel
// shows in the page's list.
TEST_F(WpsPageTest, ProfileDetailImportAndTheRegistrarsSaveReachThePage) {
  registry.RegisterLowerPanel(LOWER_PANEL_WPS_PROFILE, MakeWpsProfilePanel);
  registry.RegisterLowerPanel(LOWER_PANEL_PROFILE_EDITOR, MakeProfileEditorPanel);
  queue_->wps().Table.Count = 2;
  queue_->wps().Table.Credentials[0] = Credential("Orvane-A", "passphrase-a");
  queue_->wps().Table.Credentials[1] = Credential("Orvane-B", "passphrase-b");
  Open();
  Page()->ProfileList()->topLevelItem(1)->setSelected(true);
  Page()->ProfileDetailButton()->click();
  auto* panel = dynamic_cast<CPageWPSProfile*>(window->LowerPanel(LOWER_PANEL_WPS_PROFILE));
  ASSERT_NE(panel, nullptr);
  EXPECT_TRUE(panel->isVisible());
  EXPECT_FALSE(panel->Editing()) << "an enrollee only looks at what it received";
  EXPECT_EQ(panel->SsidEdit()->text(), "Orvane-B");

  Page()->ImportProfileButton()->click();
  std::vector<std::string> ssids;
  for (const std::string& name : store_.ListProfileNames()) {
    ssids.push_back(store_.ReadStoreValue(StoreFileKind::Profiles, name, "SSID"));
  }
  EXPECT_EQ(ssids, (std::vector<std::string>{"Orvane-A", "Orvane-B"}));

  Page()->ConfigModeCombo()->setCurrentIndex(kWpsConfigRegistrar);
  ASSERT_GE(Page()->ProfileList()->topLevelItemCount(), 1);
  Page()->ProfileList()->topLevelItem(0)->setSelected(true);
  Page()->ProfileDetailButton()->click();
  ASSERT_TRUE(panel->Editing());
  panel->SsidEdit()->setText("Orvane-Registrar");
  panel->KeyEdit()->setText("registrar passphrase");
  ASSERT_TRUE(panel->OnOK());
  EXPECT_EQ(Page()->ProfileList()->topLevelItem(0)->text(0), "Orvane-Registrar");
}

TEST_F(WpsPageTest, ConnectAppliesTheSelectedCredentialAndRotationGoesRound) {
  queue_->wps().Table.Count = 3;
  queue_->wps().Table.Credentials[0] = Credential("Orvane-A", "passphrase-a");
  queue_->wps().Table.Credentials[1] = Credential("Orvane-B", "passphrase-b");
  queue_->wps().Table.Credentials[2] = Credential("Orvane-C", "passphrase-c");
  Open();
  Page()->ProfileList()->topLevelItem(1)->setSelected(true);
  Page()->ConnectButton()->click();
  ASSERT_EQ(client_.applied.size(), 1u);
  EXPECT_EQ(client_.applied[0].ssid, "Orvane-B");
  EXPECT_EQ(queue_->activation().AppliedCredentialIndex, 1u);
  EXPECT_EQ(queue_->wps().WpsProfileInUse, 1);

  // Rotation: the credential of tick / 5, going round a table of three (ticks 5..20).
  client_.applied.clear();
  Page()->RotateButton()->click();
  ASSERT_EQ(client_.applied.size(), 1u);
  client_.applied.clear();
  clock.advance(4 * 2000 * 5);
  std::vector<std::string> rotated;
  for (const auto& a : client_.applied) rotated.push_back(a.ssid);
  // Ticks 5, 10, 15, 20: tick / 5 = 1, 2, 3, 4 → credentials 1, 2, 0, 1.
  EXPECT_EQ(rotated, (std::vector<std::string>{"Orvane-B", "Orvane-C", "Orvane-A", "Orvane-B"}));
  EXPECT_LT(queue_->activation().AppliedCredentialIndex, 3u);
}

TEST_F(WpsPageTest, DeleteRemovesTheRowAndStopsWhenItWasApplied) {
  host.mayManage = true;
  queue_->wps().Table.Count = 2;
  queue_->wps().Table.Credentials[0] = Credential("Orvane-A", "passphrase-a");
  queue_->wps().Table.Credentials[1] = Credential("Orvane-B", "passphrase-b");
  Open();
  Page()->ProfileList()->topLevelItem(0)->setSelected(true);
  Page()->ConnectButton()->click();
  ASSERT_EQ(queue_->wps().WpsProfileInUse, 1);

  // Not the applied one: only removed.
  Page()->ProfileList()->clearSelection();
  Page()->ProfileList()->topLevelItem(1)->setSelected(true);
  Page()->DeleteButton()->click();
  EXPECT_EQ(queue_->wps().Table.Count, 1u);
  EXPECT_EQ(queue_->wps().WpsProfileInUse, 1);

  // The applied one: the stop sequence, then the last credential goes and the channel resets.
  Page()->ProfileList()->topLevelItem(0)->setSelected(true);
  Page()->DeleteButton()->click();
  EXPECT_EQ(queue_->wps().Table.Count, 0u);
  EXPECT_EQ(queue_->wps().WpsProfileInUse, 0);
  EXPECT_EQ(queue_->wps().Settings.Channel, 1);
  EXPECT_EQ(Status(), "");
  EXPECT_EQ(Page()->Progress()->position(), 0);
  EXPECT_EQ(Page()->ProfileList()->topLevelItemCount(), 0);
  EXPECT_FALSE(Page()->DeleteButton()->isEnabled());
  EXPECT_FALSE(Page()->RotateButton()->isEnabled());
  WpsStoreState loaded;
  LoadWpsStore(store_, nullptr, loaded);
  EXPECT_EQ(loaded.WpsProfileInUse, 0);
  EXPECT_EQ(loaded.Table.Count, 0u);
}

TEST_F(WpsPageTest, DisconnectStopsTheRunAndLeaves) {
  Open();
  Page()->PbcButton()->click();
  driver.calls.clear();
  Page()->DisconnectButton()->click();
  ASSERT_TRUE(LastStart());
  EXPECT_EQ(LastStart()->Mode, 0u) << "a start record without a mode ends the driver's run";
  EXPECT_EQ(SetOids().back(), OID_DOT11_DISCONNECT_REQUEST);
  EXPECT_EQ(Page()->SessionMode(), kWpsSessionIdle);
  EXPECT_EQ(Status(), "");
  EXPECT_TRUE(Page()->PbcButton()->isEnabled());
  const int polls = Queries(OID_VND_WPS_STATUS.query);
  clock.advance(1000);
  EXPECT_EQ(Queries(OID_VND_WPS_STATUS.query), polls);
}

}  // namespace
}  // namespace ov
