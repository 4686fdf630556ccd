// The advanced page in the real main window, offscreen, on the virtual clock, against a
// recording driver and a registry under the test's own root.
#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QKeyEvent>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <filesystem>
#include <fstream>

#include "driver/oid/oid_constants.h"
#include "driver/oid/radio_records.h"
#include "driver/params/registry_writer.h"
#include "platform/registry/registry.h"
#include "profilepages/profile_editor_entry.h"
#include "radio/page_advance.h"
#include "shell/ui/control_ids.h"
#include "shell/radio_page_host.h"
#include "tests/radio/advance_host.h"
#include "shell/ui/ui_text.h"
#include "tests/shellui/page_window_fixture.h"

namespace ov {
namespace {

using test::AdvanceHost;

constexpr char kKey[] = "SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e972-e325-11ce-bfc1-08002be10318}\\0007";

class AdvancePageTest : public test::PageWindowFixture<AdvanceHost> {
 protected:
  AdvancePageTest() : root(dir.path()) {
    registry.RegisterPage(TabButton::Advance, MakeAdvancePage);
    options.services.registry = &writer;
    state.Adapter.chipFamily = WXP4;
    state.Adapter.htCapable = true;
    state.Adapter.adapterKeyPath = kKey;
    host.radio.plan.region.regionChangeable24 = true;
    host.radio.plan.region.regionChangeable5 = true;
    host.options.htSetting = true;
    Set("WirelessMode", "9");
    Set("CountryRegion", "1");
    Set("CountryRegionABand", "7");
    RegWriteDword(HKEY_LOCAL_MACHINE, kKey, "TransmitSetting", 9u | 33u << 4 | 1u << 11 | 2u << 14);
  }
  static void Set(const char* name, const char* text) {
    ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, kKey, name, text), 0u);
  }
  static std::optional<std::string> Get(const char* name) { return RegReadString(HKEY_LOCAL_MACHINE, kKey, name); }
  CPageAdvanceDlg* Open() {
    window = MakeWindow();
    window->ShowPage(TabButton::Advance);
    return dynamic_cast<CPageAdvanceDlg*>(window->Page(TabButton::Advance));
  }
  static void Choose(QComboBox* list, int index) {
    list->setCurrentIndex(index);
    emit list->activated(index);
  }
  std::vector<uint32_t> SetOids() const {
    std::vector<uint32_t> oids;
    for (const auto& call : driver.Sets()) oids.push_back(call.oid);
    return oids;
  }

  test::ScopedMachineRoot root;
  DirectRegistryWriter writer;
};

TEST_F(AdvancePageTest, BandChangeDropsTheConnectionAndReconnectsByDiscovery) {
  host.connection.connected = true;
  host.connection.mode = 2;  // the connection came from a discovery-mode connect
  host.connection.auth = 1;
  host.connection.cipher = 0;
  CPageAdvanceDlg* page = Open();
  ASSERT_NE(page, nullptr);
  ASSERT_EQ(page->BandList()->count(), 3);
  Choose(page->BandList(), 2);  // 2.4 GHz + 5 GHz
  page->ApplyButton()->click();

  EXPECT_EQ(host.connection.calls, (std::vector<std::string>{"disconnect", "connect"}));
  ASSERT_EQ(host.connection.connects.size(), 1u);
  EXPECT_EQ(host.connection.connects[0].mode, 3u) << "open and unencrypted: discovery, unsecure";
  EXPECT_EQ(host.connection.connects[0].ssid, (std::vector<uint8_t>{'O', 'v'}));
  EXPECT_EQ(host.applies, 0);
  EXPECT_EQ(Get("WirelessMode"), "5");
  EXPECT_EQ(host.scans, 1) << "Rescan";
  const auto oids = SetOids();
  EXPECT_NE(std::find(oids.begin(), oids.end(), OID_DOT11_FLUSH_BSS_LIST), oids.end());
  EXPECT_NE(std::find(oids.begin(), oids.end(), OID_VND_PHY_MODE.set), oids.end());

  // Nothing changed since: no disconnect, but every OID again and a rescan.
  host.connection.connected = true;
  host.connection.calls.clear();
  driver.calls.clear();
  page->ApplyButton()->click();
  EXPECT_TRUE(host.connection.calls.empty());
  EXPECT_NE(std::find(SetOids().begin(), SetOids().end(), OID_VND_CCX_CONTROL.set), SetOids().end());
  EXPECT_EQ(host.scans, 2);
}

// Apply tells an open profile editor, so its channel list follows the new band and regions.
TEST_F(AdvancePageTest, ApplyTellsTheProfileEditor) {
  struct Editor final : PageWidget, ProfileEditorPanel {
    using PageWidget::PageWidget;
    void LoadValues() override {}
    void OpenForAdd() override {}
    void OpenFromSurvey(std::span<const uint8_t>) override {}
    bool OpenForEdit(const std::string&) override { return false; }
    void RadioSettingsApplied() override { ++told; }
    int told = 0;
  };
  registry.RegisterLowerPanel(LOWER_PANEL_PROFILE_EDITOR, [](const PageContext& c, QWidget* p) {
    return new Editor(c, p);
  });
  CPageAdvanceDlg* page = Open();
  page->ApplyButton()->click();
  auto* editor = dynamic_cast<Editor*>(window->LowerPanel(LOWER_PANEL_PROFILE_EDITOR));
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->told, 1);
}

// The CCX word goes as stored while the current profile joins by SSID; a profile that names its
// access point (UseBssid 1) gets the by-BSSID form.
TEST_F(AdvancePageTest, CcxWordTakesItsByBssidFormOnlyForAProfileThatNamesItsAccessPoint) {
  RegWriteDword(HKEY_LOCAL_MACHINE, kKey, "CCX2Control", 0x00465521u);
  CPageAdvanceDlg* page = Open();
  const auto lastCcxWord = [&] {
    std::vector<uint8_t> bytes;
    for (const auto& call : driver.calls)
      if (call.oid == OID_VND_CCX_CONTROL.set) bytes = call.bytes;
    EXPECT_EQ(bytes.size(), 4u);
    uint32_t word = 0;
    for (size_t i = 0; i < bytes.size() && i < 4; ++i) word |= uint32_t{bytes[i]} << (8 * i);
    return word;
  };
  page->ApplyButton()->click();
  const uint32_t bySsid = lastCcxWord();

  host.usesBssid = true;
  driver.calls.clear();
  page->ApplyButton()->click();
  const uint32_t byBssid = lastCcxWord();
  EXPECT_EQ(byBssid, CcxControlWordToSend(0, bySsid));
  EXPECT_NE(byBssid, bySsid);
}

TEST_F(AdvancePageTest, RegionChangeWithoutConnectionAppliesTheActiveConfiguration) {
  CPageAdvanceDlg* page = Open();
  Choose(page->RegionBgList(), 0);
  page->ApplyButton()->click();
  EXPECT_EQ(host.applies, 1);
  EXPECT_EQ(Get("CountryRegion"), "0");
  EXPECT_EQ(host.channelPlans, 1);
  const auto sets = driver.Sets();
  const auto region = std::find_if(sets.begin(), sets.end(), [](const auto& c) { return c.oid == OID_VND_COUNTRY_REGION.set; });
  ASSERT_NE(region, sets.end());
  EXPECT_EQ(region->bytes, (std::vector<uint8_t>{0, 7, 0, 0}));
}

TEST_F(AdvancePageTest, CcxByteOutOfRangeLoadsAsMinus70AndUncheckingStores70) {
  RegWriteDword(HKEY_LOCAL_MACHINE, kKey, "CCX2Control", 0x5F20);
  CPageAdvanceDlg* page = Open();
  EXPECT_TRUE(page->FastRoamingBox()->isChecked());
  EXPECT_EQ(page->ThresholdEdit()->text(), "-70");
  page->FastRoamingBox()->click();
  EXPECT_FALSE(page->ThresholdEdit()->isEnabled());
  page->ApplyButton()->click();
  EXPECT_EQ(RegReadDword(HKEY_LOCAL_MACHINE, kKey, "CCX2Control"), 0x4600u);
}

TEST_F(AdvancePageTest, ThresholdOutsideTheRangeWritesNothing) {
  std::vector<QString> messages;
  options.services.showMessage = [&](const QString& text, QWidget*) { messages.push_back(text); return 1; };
  CPageAdvanceDlg* page = Open();
  page->FastRoamingBox()->click();
  page->ThresholdEdit()->setText("-95");
  driver.calls.clear();
  page->ApplyButton()->click();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], UiText(IDS_INVALID_DBM));
  EXPECT_TRUE(driver.Sets().empty());
  EXPECT_FALSE(RegReadDword(HKEY_LOCAL_MACHINE, kKey, "CCX2Control").has_value());
}

TEST_F(AdvancePageTest, EepromWithout40MhzDisablesAutoAndStores20) {
  host.allowed24 = false;
  host.radio.plan.wirelessMode = 9;
  CPageAdvanceDlg* page = Open();
  EXPECT_TRUE(page->HtPanel()->isVisible());
  EXPECT_FALSE(page->BwGroup()->button(1)->isEnabled());
  EXPECT_TRUE(page->BwGroup()->button(0)->isChecked());
  page->ApplyButton()->click();
  const auto word = RegReadDword(HKEY_LOCAL_MACHINE, kKey, "TransmitSetting");
  ASSERT_TRUE(word.has_value());
  EXPECT_EQ((*word >> 11) & 1, 0u);

  // The 5 GHz band allows it.
  Choose(page->BandList(), 1);
  EXPECT_TRUE(page->BwGroup()->button(1)->isEnabled());
}

TEST_F(AdvancePageTest, FixedRegion31GetsItsOwnEntry) {
  host.radio.plan.region.regionChangeable24 = false;
  host.radio.plan.region.regionWord = 31 | 7 << 8;
  CPageAdvanceDlg* page = Open();
  ASSERT_EQ(page->RegionBgList()->count(), 9);
  EXPECT_EQ(page->RegionBgList()->currentText(), "31");
  EXPECT_FALSE(page->RegionBgList()->isEnabled());
  page->ApplyButton()->click();
  EXPECT_EQ(Get("CountryRegion"), "1") << "a fixed region is not written";
}

TEST_F(AdvancePageTest, McsAutoStores33AndLabelsTheRate) {
  CPageAdvanceDlg* page = Open();
  EXPECT_EQ(page->McsList()->currentIndex(), 0);
  page->BwGroup()->button(0)->click();
  EXPECT_EQ(page->RateLabel()->text(), "Tx Rate: Not Available");
  page->BwGroup()->button(1)->click();
  page->GiGroup()->button(0)->click();
  EXPECT_EQ(page->RateLabel()->text(), "Tx Rate: 39.00 Mbps");
  page->ApplyButton()->click();
  EXPECT_EQ((RegReadDword(HKEY_LOCAL_MACHINE, kKey, "TransmitSetting").value_or(0) >> 4) & 0x7F, 33u);
}

TEST_F(AdvancePageTest, TraceFileGetsTheHtSettingsOnlyWhenSwitchedOn) {
  CPageAdvanceDlg* page = Open();
  page->ApplyButton()->click();
  EXPECT_TRUE(host.traced.empty());
  host.options.openFile = true;
  page->ApplyButton()->click();
  EXPECT_EQ(host.traced, (std::vector<std::string>{
                             "SetOid: PhyMode = 9, HtMode = 0, TransmitNo = 2, BW = 1, SHORTGI = 0, "
                             "STBC = 0, MCS = 33\n"}))
      << "the stored word: 40 MHz, long guard interval, MCS Auto";
}

TEST_F(AdvancePageTest, HtPanelFollowsTheSettingsFileWithinASecond) {
  CPageAdvanceDlg* page = Open();
  EXPECT_TRUE(page->HtPanel()->isVisible());
  host.options.htSetting = false;
  clock.advance(kAdvanceHtSettingPollMs);
  EXPECT_FALSE(page->HtPanel()->isVisible());
  host.options.htSetting = true;
  clock.advance(kAdvanceHtSettingPollMs);
  EXPECT_TRUE(page->HtPanel()->isVisible());
}

TEST_F(AdvancePageTest, EnterAndEscapeDoNotCloseTheWindow) {
  CPageAdvanceDlg* page = Open();
  for (int key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(page->ThresholdEdit(), &press);
    EXPECT_TRUE(window->isVisible()) << "key " << key;
  }
  EXPECT_TRUE(driver.Sets().empty()) << "and Enter does not apply";
}

// Clearing the box leaves an administrator's TCP values; the page takes back only its own.
TEST_F(AdvancePageTest, TcpWindowKeepsAnAdministratorsValues) {
  const char* tcp = kTcpipParametersPath;
  RegWriteDword(HKEY_LOCAL_MACHINE, tcp, "TCPWindowSize", 32768);
  RegWriteDword(HKEY_LOCAL_MACHINE, tcp, "SackOpts", 0);
  CPageAdvanceDlg* page = Open();
  ASSERT_TRUE(page->TcpWindowBox()->isChecked());
  page->TcpWindowBox()->click();
  page->ApplyButton()->click();
  EXPECT_EQ(RegReadDword(HKEY_LOCAL_MACHINE, tcp, "TCPWindowSize"), 32768u);
  EXPECT_EQ(RegReadDword(HKEY_LOCAL_MACHINE, tcp, "SackOpts"), 0u);

  // Checked: the page's values, then cleared: the administrator's again.
  window->ShowPage(TabButton::Statistics);
  window->ShowPage(TabButton::Advance);
  page->TcpWindowBox()->setChecked(true);
  page->ApplyButton()->click();
  EXPECT_EQ(RegReadDword(HKEY_LOCAL_MACHINE, tcp, "TCPWindowSize"), 0x10000u);
  EXPECT_EQ(RegReadDword(HKEY_LOCAL_MACHINE, tcp, "TcpMaxDupAcks"), 2u);
  page->TcpWindowBox()->setChecked(false);
  page->ApplyButton()->click();
  EXPECT_EQ(RegReadDword(HKEY_LOCAL_MACHINE, tcp, "TCPWindowSize"), 32768u);
  EXPECT_EQ(RegReadDword(HKEY_LOCAL_MACHINE, tcp, "SackOpts"), 0u);
  EXPECT_FALSE(RegReadDword(HKEY_LOCAL_MACHINE, tcp, "TcpMaxDupAcks").has_value());
  EXPECT_FALSE(RegReadDword(HKEY_LOCAL_MACHINE, tcp, "Tcp1323Opts").has_value());
}

}  // namespace
}  // namespace ov
