// The 802.11n page, the WMM page and the block-ack panels in the real main window, offscreen, on
// the virtual clock, against a recording driver, a registry under the test's own root and a
// scripted wireless service.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "driver/oid/ndis_records.h"
#include "driver/oid/oid_constants.h"
#include "driver/oid/radio_records.h"
#include "driver/params/adapter_params.h"
#include "driver/params/registry_writer.h"
#include "nativewifi/native_wifi_client.h"
#include "radio/block_ack_panels.h"
#include "radio/page_80211n.h"
#include "radio/page_wmm.h"
#include "radio/text_rows_list.h"
#include "shell/ui/control_ids.h"
#include "tests/nativewifi/fake_wlan_service.h"
#include "tests/shellui/page_window_fixture.h"

namespace ov {
namespace {

constexpr const char* kAdapterKey =
    "System\\CurrentControlSet\\Control\\Class\\{4d36e972-e325-11ce-bfc1-08002be10318}\\0007";
constexpr const char* kAdapterName = "Orvane Test Adapter";
const MacAddress kOwnAddress{0x02, 0x5A, 0x0F, 0x00, 0x00, 0x01};
const MacAddress kAccessPoint{0x02, 0x5A, 0x0F, 0x10, 0x00, 0x03};

class QosHost final : public test::RecordingHost {
 public:
  void QueueScan() override { ++scans; }
  bool CurrentProfileUsesBssid() override { return usesBssid; }
  int scans = 0;
  bool usesBssid = false;
};

template <size_t N>
std::vector<uint8_t> Bytes(const std::array<uint8_t, N>& record) {
  return {record.begin(), record.end()};
}
std::vector<uint8_t> U32(uint32_t v) {
  return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
}

class QosPagesTest : public test::PageWindowFixture<QosHost> {
 protected:
  void SetUp() override {
    ASSERT_EQ(writer.CreateKey(HKEY_LOCAL_MACHINE, kAdapterKey), ERROR_SUCCESS);
    state.Adapter.adapterKeyPath = kAdapterKey;
    state.RadioOn = true;
    options.services.registry = &writer;
    options.services.showMessage = [this](const QString& text, QWidget*) {
      messages.push_back(text.toStdString());
      return kMessageBoxOk;
    };
    registry.RegisterPage(TabButton::Ht80211n, Make80211nPage);
    registry.RegisterPage(TabButton::Wmm, MakeWmmPage);
    registry.RegisterLowerPanel(LOWER_PANEL_ADD_BLOCK_ACK, MakeAddBlockAckPanel);
    registry.RegisterLowerPanel(LOWER_PANEL_DELETE_BLOCK_ACK, MakeDeleteBlockAckPanel);
    driver.answers[OID_802_3_CURRENT_ADDRESS] = {kOwnAddress.begin(), kOwnAddress.end()};
  }

  // A wireless client connected to kAccessPoint with the given profile and cipher.
  void Connect(uint32_t mode, uint32_t cipher) {
    service->interfaces = {{test::MakeGuid(1), kAdapterName, wlan::wlan_interface_state_connected}};
    wlan::InterfaceQueryResult state;
    state.state = wlan::wlan_interface_state_connected;
    service->queryAnswers[wlan::wlan_intf_opcode_interface_state] = state;
    wlan::InterfaceQueryResult connection;
    connection.connection.state = wlan::wlan_interface_state_connected;
    connection.connection.mode = static_cast<wlan::ConnectionMode>(mode);
    connection.connection.profileName = "Home";
    connection.connection.association.ssid = wlan::Ssid::FromText("Home");
    connection.connection.association.bssid = kAccessPoint;
    connection.connection.association.bssType = wlan::dot11_BSS_type_infrastructure;
    connection.connection.security.authAlgorithm = DOT11_AUTH_ALGO_RSNA_PSK;
    connection.connection.security.cipherAlgorithm = static_cast<Dot11CipherAlgorithm>(cipher);
    service->queryAnswers[wlan::wlan_intf_opcode_current_connection] = connection;
    NativeWifiClientServices s;
    s.service = service;
    s.timers = &clock;
    s.startWorker = launcher.launcher();
    client = std::make_unique<NativeWifiClient>(s);
    ASSERT_EQ(client->Open(kAdapterName, MessageTarget(inbox), false), ERROR_SUCCESS);
    options.services.wifi = client.get();
  }

  std::vector<RecordingRequester::Call> SetsOf(uint32_t oid) const {
    std::vector<RecordingRequester::Call> out;
    for (const auto& call : driver.Sets()) {
      if (call.oid == oid) out.push_back(call);
    }
    return out;
  }
  size_t QueriesOf(uint32_t oid) const {
    size_t n = 0;
    for (const auto& call : driver.calls) n += !call.isSet && call.oid == oid;
    return n;
  }
  static void PutDecimal(const AdapterParam& param, int32_t value) {
    DirectRegistryWriter w;
    ASSERT_EQ(WriteDecimalParam(w, kAdapterKey, param, value), ERROR_SUCCESS);
  }

  CPage80211nSettingDlg* HtPage() {
    return dynamic_cast<CPage80211nSettingDlg*>(window->Page(TabButton::Ht80211n));
  }
  CPageWMMDlg* WmmPage() { return dynamic_cast<CPageWMMDlg*>(window->Page(TabButton::Wmm)); }
  CAddBlockAckDlg* AddPanel() {
    return dynamic_cast<CAddBlockAckDlg*>(window->LowerPanel(LOWER_PANEL_ADD_BLOCK_ACK));
  }
  CDeleteBlockAckDlg* DeletePanel() {
    return dynamic_cast<CDeleteBlockAckDlg*>(window->LowerPanel(LOWER_PANEL_DELETE_BLOCK_ACK));
  }
  static std::vector<std::string> Rows(const TextRowsList* list) {
    std::vector<std::string> out;
    for (int row = 0; row < list->model()->rowCount(); ++row) {
      std::string text;
      for (int column = 0; column < list->model()->columnCount(); ++column) {
        text += (column ? " " : "") + list->CellText(row, column).toStdString();
      }
      out.push_back(text);
    }
    return out;
  }

  test::ScopedMachineRoot root{dir.path()};
  DirectRegistryWriter writer;
  std::vector<std::string> messages;
  std::shared_ptr<test::FakeWlanService> service = std::make_shared<test::FakeWlanService>();
  test::ManualLauncher launcher;
  std::shared_ptr<test::MessageInbox> inbox = std::make_shared<test::MessageInbox>();
  std::unique_ptr<NativeWifiClient> client;
};

// ---- The 802.11n page ----

TEST_F(QosPagesTest, ZeroCapabilityLoadsAllOffAndApplyStoresAggregationOffAsTwo) {
  ASSERT_EQ(writer.SetValue(HKEY_LOCAL_MACHINE, kAdapterKey, "BACapability", REG_DWORD, EncodeWordValue(0)),
            ERROR_SUCCESS);
  window = MakeWindow();
  window->ShowPage(TabButton::Ht80211n);
  CPage80211nSettingDlg* page = HtPage();
  ASSERT_NE(page, nullptr);

  EXPECT_FALSE(page->AmsduBox()->isChecked());
  EXPECT_TRUE(page->SmpsButton(1)->isChecked()) << "Static SMPS";
  EXPECT_FALSE(page->AggregationBox()->isChecked());
  EXPECT_TRUE(page->ManualButton()->isChecked());
  EXPECT_EQ(page->DensityList()->currentText(), "0");
  // The show sends the stored options.
  const auto shown = SetsOf(OID_VND_HT_OPTIONS.set);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].bytes, (std::vector<uint8_t>{0, 0, 2, 0, 0, 0, 0, 0}));
  EXPECT_EQ(shown[0].retries, kSetAttempts);
  // Aggregation off: no agreement button, so no panel can be opened from here.
  EXPECT_FALSE(page->PlusButton()->isEnabled());
  EXPECT_FALSE(page->MinusButton(CPage80211nSettingDlg::Side::Originator)->isEnabled());
  EXPECT_FALSE(page->MinusButton(CPage80211nSettingDlg::Side::Recipient)->isEnabled());
  EXPECT_FALSE(page->ManualButton()->isEnabled());
  EXPECT_FALSE(page->AmsduSizeButton(0)->isEnabled());

  page->ApplyButton()->click();
  EXPECT_EQ(ReadWordParam(kAdapterKey, param::kBaCapability), 2u << 17) << "byte 2 as 2, byte 6 as 0";

  // Aggregation on in Manual: the buttons come at once.
  page->AggregationBox()->click();
  EXPECT_TRUE(page->PlusButton()->isEnabled());
  EXPECT_TRUE(page->ManualButton()->isEnabled());
  page->ApplyButton()->click();
  const auto applied = SetsOf(OID_VND_HT_OPTIONS.set);
  ASSERT_EQ(applied.size(), 3u);
  EXPECT_EQ(applied[2].bytes, (std::vector<uint8_t>{0, 0, 1, 0, 0, 0, 0, 0}));
  EXPECT_EQ(ReadWordParam(kAdapterKey, param::kBaCapability), 1u << 17);
}

TEST_F(QosPagesTest, AutoFollowsAtApplyAndTheDefaultsAreSentWithoutAStoredWord) {
  window = MakeWindow();
  window->ShowPage(TabButton::Ht80211n);
  CPage80211nSettingDlg* page = HtPage();
  const auto shown = SetsOf(OID_VND_HT_OPTIONS.set);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].bytes, (std::vector<uint8_t>{32, 32, 1, 0, 1, 0, 3, 1}));
  EXPECT_FALSE(page->PlusButton()->isEnabled()) << "Auto";

  page->ManualButton()->click();
  EXPECT_FALSE(page->PlusButton()->isEnabled()) << "Manual takes effect at Apply";
  page->DensityList()->setEditText("5");
  page->SmpsButton(2)->click();
  page->ApplyButton()->click();
  EXPECT_TRUE(page->PlusButton()->isEnabled());
  EXPECT_EQ(SetsOf(OID_VND_HT_OPTIONS.set).back().bytes, (std::vector<uint8_t>{32, 32, 1, 5, 1, 0, 1, 0}));
  EXPECT_EQ(ReadWordParam(kAdapterKey, param::kBaCapability),
            EncodeBaCapability(HtOptions{32, 32, 1, 5, 1, 0, 1, 0}));

  page->AmsduBox()->click();
  EXPECT_FALSE(page->AmsduSizeButton(0)->isEnabled()) << "the size follows the box at once";
}

TEST_F(QosPagesTest, AgreementListsFollowTheDriversTableEverySecond) {
  BlockAckTable table;
  auto entry = [](uint8_t last, uint8_t bitmap, uint8_t window) {
    BlockAckEntry e;
    e.Peer = {0x02, 0x5A, 0x0F, 0x10, 0x00, last};
    e.TidBitmap = bitmap;
    for (int tid = 0; tid < 8; ++tid) e.TidValue[tid] = window;
    return e;
  };
  table.Originator[0] = entry(1, 0, 64);  // no agreement left
  table.Originator[1] = entry(2, 0x01, 64);
  table.Originator[2] = entry(3, 0x21, 32);
  table.Originator[3] = entry(4, 0x80, 8);
  table.Originator[4] = entry(5, 0x01, 8);
  table.OriginatorCount = 3;
  table.Recipient[0] = entry(3, 0x02, 16);
  table.RecipientCount = 1;
  driver.answers[OID_VND_BA_TABLE.query] = Bytes(EncodeBlockAckTable(table));

  window = MakeWindow();
  window->ShowPage(TabButton::Ht80211n);
  CPage80211nSettingDlg* page = HtPage();
  EXPECT_TRUE(Rows(page->List(CPage80211nSettingDlg::Side::Originator)).empty()) << "not before the timer";
  clock.advance(kBlockAckListRefreshMs);
  EXPECT_EQ(Rows(page->List(CPage80211nSettingDlg::Side::Originator)),
            (std::vector<std::string>{"02-5A-0F-10-00-02 64 - - - - - - -",
                                      "02-5A-0F-10-00-03 32 - - - - 32 - -",
                                      "02-5A-0F-10-00-04 - - - - - - - 8"}));
  EXPECT_EQ(Rows(page->List(CPage80211nSettingDlg::Side::Recipient)),
            (std::vector<std::string>{"02-5A-0F-10-00-03 - 16 - - - - - -"}));

  // A driver that answers nothing leaves the rows.
  driver.answers.erase(OID_VND_BA_TABLE.query);
  clock.advance(kBlockAckListRefreshMs);
  EXPECT_EQ(Rows(page->List(CPage80211nSettingDlg::Side::Originator)).size(), 3u);

  // Hidden, the page stops asking.
  window->ShowPage(TabButton::Wmm);
  const size_t asked = QueriesOf(OID_VND_BA_TABLE.query);
  clock.advance(5 * kBlockAckListRefreshMs);
  EXPECT_EQ(QueriesOf(OID_VND_BA_TABLE.query), asked);
}

// ---- The block-ack panels ----

class BlockAckPanelsTest : public QosPagesTest {
 protected:
  void SetUp() override {
    QosPagesTest::SetUp();
    PeerTable peers;
    peers.Entries[0].Peer = {0x02, 0x5A, 0x0F, 0x20, 0x00, 0x01};
    peers.Entries[1].Peer = MacAddress{};
    peers.Entries[2].Peer = kAccessPoint;
    peers.Count = 3;
    driver.answers[OID_VND_PEER_TABLE.query] = Bytes(EncodePeerTable(peers));
    // Manual block-ack, so the page offers its buttons.
    HtOptions manual{32, 32, HT_AGGREGATION_ON, 0, 1, 0, HT_SMPS_CODE_ENABLE, 0};
    ASSERT_EQ(writer.SetValue(HKEY_LOCAL_MACHINE, kAdapterKey, "BACapability", REG_DWORD,
                              EncodeWordValue(EncodeBaCapability(manual))),
              ERROR_SUCCESS);
  }
};

TEST_F(BlockAckPanelsTest, PlusOpensTheAddPanelWithTheAccessPointFirst) {
  Connect(wlan::wlan_connection_mode_profile, DOT11_CIPHER_ALGO_CCMP);
  window = MakeWindow();
  window->ShowPage(TabButton::Ht80211n);
  ASSERT_FALSE(state.Expanded);
  HtPage()->PlusButton()->click();
  EXPECT_EQ(state.LowerPanel, LOWER_PANEL_ADD_BLOCK_ACK);
  EXPECT_TRUE(state.Expanded);
  CAddBlockAckDlg* add = AddPanel();
  ASSERT_NE(add, nullptr);
  EXPECT_TRUE(add->isVisible());
  EXPECT_TRUE(add->Originator());
  EXPECT_EQ(Rows(add->PeerList()), (std::vector<std::string>{"02-5A-0F-10-00-03", "02-5A-0F-20-00-01"}));
  EXPECT_EQ(add->PeerList()->SelectedRow(), 0);
  EXPECT_EQ(add->WindowSizeEdit()->text(), "32");

  add->TidList()->setCurrentIndex(5);
  add->PeerList()->selectRow(1);
  add->ConfirmButton()->click();
  const auto sent = SetsOf(OID_VND_BA_TABLE.set);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].bytes, (std::vector<uint8_t>{0, 0x02, 0x5A, 0x0F, 0x20, 0x00, 0x01, 5, 32, 0, 0, 0, 0, 0}));
  EXPECT_EQ(state.LowerPanel, LOWER_PANEL_LINK_STATUS);
}

TEST_F(BlockAckPanelsTest, AddPanelRefusesNoPeerAndAWindowTheAgreementCannotHave) {
  window = MakeWindow();
  window->ShowPage(TabButton::Ht80211n);
  HtPage()->PlusButton()->click();
  CAddBlockAckDlg* add = AddPanel();
  EXPECT_EQ(Rows(add->PeerList()).front(), "02-5A-0F-20-00-01") << "no connection: table order";

  add->WindowSizeEdit()->setText("65");
  add->ConfirmButton()->click();
  add->WindowSizeEdit()->setText("0");
  add->ConfirmButton()->click();
  EXPECT_EQ(messages.size(), 2u);
  EXPECT_TRUE(SetsOf(OID_VND_BA_TABLE.set).empty());
  EXPECT_EQ(state.LowerPanel, LOWER_PANEL_ADD_BLOCK_ACK) << "the panel stays";

  driver.answers.erase(OID_VND_PEER_TABLE.query);
  window->ShowLowerPanel(LOWER_PANEL_LINK_STATUS);
  HtPage()->PlusButton()->click();
  EXPECT_TRUE(Rows(add->PeerList()).empty());
  add->WindowSizeEdit()->setText("64");
  add->ConfirmButton()->click();
  EXPECT_EQ(messages.back(), "IDS_ADD_BLOCKACK_BSSID_ERR_MSG");
  EXPECT_TRUE(SetsOf(OID_VND_BA_TABLE.set).empty());
  EXPECT_EQ(state.LowerPanel, LOWER_PANEL_ADD_BLOCK_ACK);

  add->CancelButton()->click();
  EXPECT_EQ(state.LowerPanel, LOWER_PANEL_LINK_STATUS);
  EXPECT_TRUE(SetsOf(OID_VND_BA_TABLE.set).empty());
}

TEST_F(BlockAckPanelsTest, MinusOfEachListTearsDownOneAgreementInItsRole) {
  window = MakeWindow();
  window->ShowPage(TabButton::Ht80211n);
  const struct {
    CPage80211nSettingDlg::Side side;
    uint8_t role;
  } rows[] = {{CPage80211nSettingDlg::Side::Originator, BLOCK_ACK_ORIGINATOR},
              {CPage80211nSettingDlg::Side::Recipient, BLOCK_ACK_RECIPIENT}};
  for (const auto& row : rows) {
    driver.calls.clear();
    HtPage()->MinusButton(row.side)->click();
    CDeleteBlockAckDlg* remove = DeletePanel();
    ASSERT_NE(remove, nullptr);
    EXPECT_EQ(state.LowerPanel, LOWER_PANEL_DELETE_BLOCK_ACK);
    EXPECT_TRUE(remove->Single());
    EXPECT_TRUE(remove->TidList()->isVisible());
    remove->TidList()->setCurrentIndex(7);
    remove->ConfirmButton()->click();
    const auto sent = SetsOf(OID_VND_DELETE_BA.set);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].bytes,
              (std::vector<uint8_t>{row.role, 0x02, 0x5A, 0x0F, 0x20, 0x00, 0x01, 7, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(state.LowerPanel, LOWER_PANEL_LINK_STATUS);
  }
  // The all mode, which no button of the page reaches, hides the TID list and says so.
  DeletePanel()->SetSingle(false);
  window->ShowLowerPanel(LOWER_PANEL_DELETE_BLOCK_ACK);
  EXPECT_FALSE(DeletePanel()->TidList()->isVisible());
  EXPECT_FALSE(DeletePanel()->TidLabel()->isVisible());
  DeletePanel()->ConfirmButton()->click();
  EXPECT_EQ(SetsOf(OID_VND_DELETE_BA.set).back().bytes[12], 1);
}

// ---- The WMM page ----

TEST_F(QosPagesTest, WmmShowReadsTheSwitchesTheCategoriesAndTheLastPeer) {
  PutDecimal(param::kWmmCapable, 1);
  PutDecimal(param::kApsdCapable, 1);
  PutDecimal(param::kDlsCapable, 0);
  DirectRegistryWriter w;
  ASSERT_EQ(WriteTextParam(w, kAdapterKey, param::kWmmMacAddr, "025A0F2000"), ERROR_SUCCESS);
  driver.answers[OID_VND_WMM_FLAGS.query] = U32(0x01 | 0x02 | 0x08);  // power save, BE, VI
  window = MakeWindow();
  window->ShowPage(TabButton::Wmm);
  CPageWMMDlg* page = WmmPage();
  ASSERT_NE(page, nullptr);

  EXPECT_TRUE(page->WmmBox()->isChecked());
  EXPECT_TRUE(page->PowerSaveBox()->isChecked());
  EXPECT_TRUE(page->CategoryBox(kAcBe)->isChecked());
  EXPECT_FALSE(page->CategoryBox(kAcBk)->isChecked());
  EXPECT_TRUE(page->CategoryBox(kAcVi)->isChecked());
  EXPECT_TRUE(page->CategoryBox(kAcBk)->isEnabled());
  EXPECT_EQ(page->WmmStatus()->text(), "IDS_ENABLED");
  EXPECT_EQ(page->PowerSaveStatus()->text(), "IDS_ENABLED:AC_BE:AC_VI");
  EXPECT_EQ(page->DlsStatus()->text(), "IDS_DISABLED");
  EXPECT_TRUE(page->DlsBox()->isEnabled());
  EXPECT_FALSE(page->SetupButton()->isEnabled());
  EXPECT_FALSE(page->AddressEdit(0)->isEnabled());
  EXPECT_EQ(page->AddressEdit(0)->text(), "02");
  EXPECT_EQ(page->AddressEdit(4)->text(), "00");
  EXPECT_EQ(page->AddressEdit(5)->text(), "");
  EXPECT_EQ(page->TimeoutEdit()->text(), "60");
  EXPECT_TRUE(driver.Sets().empty()) << "showing writes nothing";
}

TEST_F(QosPagesTest, WmmOffClearsTheSwitchesSendsTheMaskedWordAndReconnects) {
  PutDecimal(param::kWmmCapable, 1);
  PutDecimal(param::kApsdCapable, 1);
  PutDecimal(param::kDlsCapable, 1);
  driver.answers[OID_VND_WMM_FLAGS.query] = U32(0x9F);
  Connect(wlan::wlan_connection_mode_profile, DOT11_CIPHER_ALGO_CCMP);
  window = MakeWindow();
  window->ShowPage(TabButton::Wmm);
  CPageWMMDlg* page = WmmPage();
  page->TimeoutEdit()->setText("300");
  service->calls.clear();

  page->WmmBox()->click();
  EXPECT_EQ(ReadDecimalParam(kAdapterKey, param::kWmmCapable), 0);
  EXPECT_EQ(ReadDecimalParam(kAdapterKey, param::kApsdCapable), 0);
  EXPECT_EQ(ReadDecimalParam(kAdapterKey, param::kDlsCapable), 0);
  ASSERT_EQ(SetsOf(OID_VND_WMM_FLAGS.set).size(), 1u);
  EXPECT_EQ(SetsOf(OID_VND_WMM_FLAGS.set)[0].bytes, U32(0x9F & 0x7E));
  EXPECT_EQ(SetsOf(OID_VND_DLS_ENABLE.set).at(0).bytes, U32(0));
  EXPECT_EQ(SetsOf(OID_VND_WMM_BYTE_SWITCH.set).at(0).bytes, (std::vector<uint8_t>{0}));
  EXPECT_FALSE(page->PowerSaveBox()->isChecked());
  EXPECT_FALSE(page->PowerSaveBox()->isEnabled());
  EXPECT_FALSE(page->DlsBox()->isChecked());
  EXPECT_EQ(page->TimeoutEdit()->text(), "60");
  EXPECT_EQ(page->PowerSaveStatus()->text(), "IDS_DISABLED");
  // Down and up again with the same profile, then the survey scans.
  const std::vector<std::string> expected{"Disconnect", "Connect"};
  std::vector<std::string> linkCalls;
  for (const std::string& call : service->calls) {
    if (call == "Disconnect" || call == "Connect") linkCalls.push_back(call);
  }
  EXPECT_EQ(linkCalls, expected);
  ASSERT_EQ(service->connects.size(), 1u);
  EXPECT_EQ(service->connects[0].mode, wlan::wlan_connection_mode_profile);
  EXPECT_EQ(service->connects[0].profile, "Home");
  EXPECT_EQ(host.scans, 1);
  EXPECT_TRUE(state.Survey.rescanPending);

  // On again: WMM alone, power save kept off in the word.
  driver.calls.clear();
  page->WmmBox()->click();
  EXPECT_EQ(ReadDecimalParam(kAdapterKey, param::kWmmCapable), 1);
  EXPECT_EQ(SetsOf(OID_VND_WMM_FLAGS.set).at(0).bytes, U32(0x9F & 0x7E));
  EXPECT_EQ(SetsOf(OID_VND_WMM_BYTE_SWITCH.set).at(0).bytes, (std::vector<uint8_t>{1}));
  EXPECT_TRUE(page->PowerSaveBox()->isEnabled());
}

TEST_F(QosPagesTest, DirectLinkSwitchReconnectsOnlyForAssociationKeyedCiphers) {
  PutDecimal(param::kWmmCapable, 1);
  const struct {
    uint32_t cipher;
    size_t connects;
  } rows[] = {{DOT11_CIPHER_ALGO_TKIP, 1}, {DOT11_CIPHER_ALGO_WEP, 0}, {0x80000002u, 1}};
  for (const auto& row : rows) {
    Connect(wlan::wlan_connection_mode_discovery_secure, row.cipher);
    window = MakeWindow();
    window->ShowPage(TabButton::Wmm);
    service->connects.clear();
    driver.calls.clear();
    WmmPage()->DlsBox()->click();
    EXPECT_EQ(SetsOf(OID_VND_DLS_ENABLE.set).at(0).bytes, U32(1));
    EXPECT_EQ(ReadDecimalParam(kAdapterKey, param::kDlsCapable), 1);
    EXPECT_EQ(WmmPage()->DlsStatus()->text(), "IDS_ENABLED");
    EXPECT_TRUE(WmmPage()->SetupButton()->isEnabled());
    ASSERT_EQ(service->connects.size(), row.connects) << std::hex << row.cipher;
    if (row.connects) {
      EXPECT_EQ(service->connects[0].mode, wlan::wlan_connection_mode_discovery_secure);
      EXPECT_EQ(service->connects[0].ssid, std::optional<wlan::Ssid>(wlan::Ssid::FromText("Home")));
    }
    window.reset();
    PutDecimal(param::kDlsCapable, 0);
  }
}

TEST_F(QosPagesTest, CategoryChangeSendsTheWordStoresItAndReassociates) {
  PutDecimal(param::kWmmCapable, 1);
  PutDecimal(param::kApsdCapable, 1);
  ASSERT_EQ(WriteWordParam(writer, kAdapterKey, param::kCcx2Control, 0x0120), ERROR_SUCCESS);
  NDIS_802_11_SSID ssid;
  ssid.SsidLength = 4;
  std::copy_n("Home", 4, ssid.Ssid.begin());
  driver.answers[OID_802_11_SSID] = Bytes(EncodeNdisSsid(ssid));
  host.usesBssid = true;
  window = MakeWindow();
  window->ShowPage(TabButton::Wmm);
  WmmPage()->CategoryBox(kAcVo)->click();
  WmmPage()->CategoryBox(kAcBk)->click();

  EXPECT_EQ(SetsOf(OID_VND_WMM_FLAGS.set).back().bytes, U32(0x01 | 0x04 | 0x10));
  EXPECT_EQ(ReadDecimalParam(kAdapterKey, param::kApsdAcVo), 1);
  EXPECT_EQ(ReadDecimalParam(kAdapterKey, param::kApsdAcBk), 1);
  EXPECT_EQ(ReadDecimalParam(kAdapterKey, param::kApsdAcBe), 0);
  EXPECT_EQ(WmmPage()->PowerSaveStatus()->text(), "IDS_ENABLED:AC_BK:AC_VO");
  // Disassociate, then the same SSID again; the CCX word in its by-BSSID form; a scan.
  std::vector<uint32_t> order;
  for (const auto& call : driver.Sets()) order.push_back(call.oid);
  const std::vector<uint32_t> one{OID_VND_WMM_FLAGS.set, OID_802_11_DISASSOCIATE, OID_802_11_SSID,
                                  OID_VND_CCX_CONTROL.set};
  EXPECT_EQ(std::vector<uint32_t>(order.begin(), order.begin() + 4), one);
  EXPECT_EQ(SetsOf(OID_802_11_SSID).back().bytes, Bytes(EncodeNdisSsid(ssid)));
  EXPECT_EQ(SetsOf(OID_VND_CCX_CONTROL.set).back().bytes, U32(CcxControlWordToSend(0, 0x0120)));
  EXPECT_EQ(host.scans, 2);
}

TEST_F(QosPagesTest, SetupRefusesOurOwnAndGroupAddressesAndTimeoutsBeyond65535) {
  PutDecimal(param::kWmmCapable, 1);
  PutDecimal(param::kDlsCapable, 1);
  window = MakeWindow();
  window->ShowPage(TabButton::Wmm);
  CPageWMMDlg* page = WmmPage();
  auto type = [&](const std::array<const char*, 6>& parts, const char* timeout) {
    for (int i = 0; i < 6; ++i) page->AddressEdit(i)->setText(parts[i]);
    page->TimeoutEdit()->setText(timeout);
    page->SetupButton()->click();
  };

  type({"02", "5A", "0F", "00", "00", "01"}, "60");  // the adapter's own
  type({"01", "00", "5E", "00", "00", "01"}, "60");
  EXPECT_EQ(messages, (std::vector<std::string>{"IDS_INVALIDMACADDR", "IDS_NOTACCEPTB"}));
  EXPECT_FALSE(ReadTextParam(kAdapterKey, param::kWmmMacAddr).has_value());

  type({"02", "aa", "bb", "cc", "dd", "ee"}, "65536");
  EXPECT_EQ(messages.back(), "IDS_INVALIDTIMEOUT");
  EXPECT_EQ(ReadTextParam(kAdapterKey, param::kWmmMacAddr), "02aabbccddee") << "stored before the timeout check";
  EXPECT_TRUE(SetsOf(OID_VND_DLS_TABLE.set).empty());

  type({"02", "aa", "bb", "cc", "dd", "ee"}, "65535");
  EXPECT_EQ(messages.size(), 3u);
  ASSERT_EQ(SetsOf(OID_VND_DLS_TABLE.set).size(), 1u);
  EXPECT_EQ(SetsOf(OID_VND_DLS_TABLE.set)[0].bytes,
            (std::vector<uint8_t>{0xFF, 0xFF, 0, 0, 0x02, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0, 1}));
}

TEST_F(QosPagesTest, LinkListShowsEstablishedLinksAndTearDownSendsTheSelectedOneBack) {
  PutDecimal(param::kWmmCapable, 1);
  PutDecimal(param::kDlsCapable, 1);
  const MacAddress a{0x02, 0, 0, 0, 0, 0xA}, b{0x02, 0, 0, 0, 0, 0xB};
  DlsTable table;
  table.Entries[0] = DlsEntry{30, 0, a, 0, 1};  // wanted, not established: not listed
  table.Entries[1] = DlsEntry{120, 0, b, DLS_LINK_ESTABLISHED, 1};
  driver.answers[OID_VND_DLS_TABLE.query] = Bytes(EncodeDlsTable(table));
  window = MakeWindow();
  window->ShowPage(TabButton::Wmm);
  CPageWMMDlg* page = WmmPage();
  clock.advance(kDirectLinkRefreshMs);
  EXPECT_EQ(Rows(page->LinkList()), (std::vector<std::string>{"02-00-00-00-00-0B 120"}));

  page->TearDownButton()->click();
  EXPECT_EQ(messages, (std::vector<std::string>{"IDS_NOSELECTEDITEM"}));
  EXPECT_TRUE(SetsOf(OID_VND_DLS_TABLE.set).empty());

  page->LinkList()->selectRow(0);
  page->OnListDoubleClick();
  EXPECT_EQ(page->AddressEdit(5)->text(), "0B");
  EXPECT_EQ(page->TimeoutEdit()->text(), "120");
  // The driver stops reporting the link as established: no longer listed, but the selected
  // address is kept and Tear Down still finds the wanted entry.
  table.Entries[1].LinkState = 0;
  driver.answers[OID_VND_DLS_TABLE.query] = Bytes(EncodeDlsTable(table));
  clock.advance(kDirectLinkRefreshMs);
  EXPECT_TRUE(Rows(page->LinkList()).empty());
  page->TearDownButton()->click();
  ASSERT_EQ(SetsOf(OID_VND_DLS_TABLE.set).size(), 1u);
  EXPECT_EQ(SetsOf(OID_VND_DLS_TABLE.set)[0].bytes,
            (std::vector<uint8_t>{120, 0, 0, 0, 0x02, 0, 0, 0, 0, 0xB, 0, 0}));
}

}  // namespace
}  // namespace ov
