// The CCX page and the status log panel in the real main window, offscreen, on the virtual clock,
// against a recording driver, a registry under the test's own root and a scripted extension.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "ccx/authen_status_dlg.h"
#include "ccx/page_ccx.h"
#include "driver/oid/oid_constants.h"
#include "driver/oid/radio_records.h"
#include "driver/params/registry_writer.h"
#include "platform/registry/registry.h"
#include "platform/time/monitor_messages.h"
#include "profiles/profile_store.h"
#include "shell/ui/ui_text.h"
#include "tests/shellui/page_window_fixture.h"

namespace ov {
namespace {

constexpr char kKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e972-e325-11ce-bfc1-08002be10318}\\0003";
constexpr char kGuid[] = "{0F5A51D0-0000-4000-8000-025A0F000601}";

// The wireless client's side of a test, as the page sees it: service profiles by name.
struct ScriptedDiagnostics : CcxDiagnostics {
  std::map<std::string, bool> serviceProfiles;  // name → carries the diagnostics section
  std::vector<std::string> sentProfiles;
  int enables = 0;
  bool ServiceProfileExists(const std::string& name) override {
    return serviceProfiles.count(name) != 0;
  }
  bool HasDiagnosticsSection(const std::string& name) override {
    auto it = serviceProfiles.find(name);
    return it != serviceProfiles.end() && it->second;
  }
  uint32_t SendCcxProfile(const std::string& name) override {
    sentProfiles.push_back(name);
    return 0;
  }
  uint32_t SendCcxEnable() override {
    ++enables;
    return 0;
  }
  bool FormatDiagnosticMessage(uint32_t code, std::string& text) override {
    if (code != 7) return false;
    text = "Association test passed";
    return true;
  }
};

struct BssidHost : test::RecordingHost {
  bool CurrentProfileUsesBssid() override { return usesBssid; }
  bool usesBssid = false;
};

class CcxPageTest : public test::PageWindowFixture<BssidHost> {
 protected:
  CcxPageTest() : root(dir.path()) {
    auto* diagnostics = &scripted;
    registry.RegisterPage(TabButton::CcxConfig, [diagnostics](const PageContext& c, QWidget* p) {
      struct Forward : CcxDiagnostics {
        explicit Forward(CcxDiagnostics* to) : to(to) {}
        CcxDiagnostics* to;
        bool ServiceProfileExists(const std::string& n) override { return to->ServiceProfileExists(n); }
        bool HasDiagnosticsSection(const std::string& n) override { return to->HasDiagnosticsSection(n); }
        uint32_t SendCcxProfile(const std::string& n) override { return to->SendCcxProfile(n); }
        uint32_t SendCcxEnable() override { return to->SendCcxEnable(); }
        bool FormatDiagnosticMessage(uint32_t c, std::string& t) override {
          return to->FormatDiagnosticMessage(c, t);
        }
      };
      return new CPageCCXConfigDlg(c, p, std::make_unique<Forward>(diagnostics));
    });
    registry.RegisterLowerPanel(LOWER_PANEL_AUTHEN_STATUS, [this](const PageContext& c, QWidget* p) {
      return new CAuthenStatusDlg(c, p, [this] { return wallMs; });
    });
    options.services.registry = &writer;
    options.services.store = &store;
    options.services.showMessage = [this](const QString& text, QWidget*) {
      messages.push_back(text);
      return 1;
    };
    state.Adapter.adapterKeyPath = kKey;
    EXPECT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, kKey, "DriverDesc", "Test Adapter"), 0u);
  }

  CPageCCXConfigDlg* Open() {
    window = MakeWindow();
    window->ShowPage(TabButton::CcxConfig);
    return dynamic_cast<CPageCCXConfigDlg*>(window->Page(TabButton::CcxConfig));
  }
  CAuthenStatusDlg* Log() {
    return dynamic_cast<CAuthenStatusDlg*>(window->LowerPanel(LOWER_PANEL_AUTHEN_STATUS));
  }
  std::vector<std::string> LogLines() {
    std::vector<std::string> lines;
    for (const auto& e : Log()->Log().Entries()) lines.push_back(e.description);
    return lines;
  }
  static std::optional<uint32_t> Word() { return RegReadDword(HKEY_LOCAL_MACHINE, kKey, "CCX2Control"); }
  std::vector<RecordingRequester::Call> SetsOf(uint32_t oid) const {
    std::vector<RecordingRequester::Call> out;
    for (const auto& c : driver.Sets()) if (c.oid == oid) out.push_back(c);
    return out;
  }
  static std::vector<uint8_t> Le(uint32_t v) {
    return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
  }
  void AddProfile(const char* name, const char* ssid) {
    ASSERT_TRUE(store.WriteStoreValue(StoreFileKind::Profiles, name, "SSID", ssid));
  }
  // A diagnosable profile, selected, on a shown page.
  CPageCCXConfigDlg* OpenReadyForTest() {
    RegWriteDword(HKEY_LOCAL_MACHINE, kKey, "CCX2Control", 0x00FA460D);
    AddProfile("Office", "Corp-Net");
    scripted.serviceProfiles["Corp-Net"] = true;
    return Open();
  }

  test::ScopedMachineRoot root;
  DirectRegistryWriter writer;
  ProfileStore store{StoreLocation{dir.path().string() + "/", 4, kGuid}};
  ScriptedDiagnostics scripted;
  std::vector<QString> messages;
  int64_t wallMs = 36000000;  // 10:00:00.000
};

TEST_F(CcxPageTest, ApplyWritesAndSendsTheComposedWord) {
  // No stored word: the page keeps its defaults (limit 250) and composes from 0.
  struct Row { const char* what; std::optional<uint32_t> stored; bool usesBssid; uint32_t written;
               uint32_t flag; } rows[] = {
      {"switched on without a stored word", std::nullopt, false, 0x00FA460D, 1},
      {"switched off from all ones", 0xFFFFFFFF, true, 0xE0FA4620, 0},
  };
  for (const Row& r : rows) {
    if (r.stored) {
      RegWriteDword(HKEY_LOCAL_MACHINE, kKey, "CCX2Control", *r.stored);
    } else {
      writer.DeleteValue(HKEY_LOCAL_MACHINE, kKey, "CCX2Control");
    }
    host.usesBssid = r.usesBssid;
    driver.calls.clear();
    CPageCCXConfigDlg* page = Open();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->CcxBox()->isChecked(), r.stored.has_value()) << r.what;
    page->CcxBox()->click();
    page->ApplyButton()->click();
    EXPECT_EQ(Word(), r.written) << r.what;
    const auto sent = SetsOf(OID_VND_CCX_CONTROL.set);
    ASSERT_EQ(sent.size(), 1u) << r.what;
    EXPECT_EQ(sent[0].bytes, Le(CcxControlWordToSend(r.flag, r.written))) << r.what;
    window.reset();
  }
}

TEST_F(CcxPageTest, ApplyKeepsTheAdvancedPagesRoamingThreshold) {
  RegWriteDword(HKEY_LOCAL_MACHINE, kKey, "CCX2Control", 0x00FA3720);  // CCX off, fast roaming at -55 dBm
  CPageCCXConfigDlg* page = Open();
  page->CcxBox()->click();
  page->ApplyButton()->click();
  EXPECT_EQ(Word(), 0x00FA372Du);
}

TEST_F(CcxPageTest, LimitAbove2000IsRefusedAnd2000Accepted) {
  RegWriteDword(HKEY_LOCAL_MACHINE, kKey, "CCX2Control", 0x00FA460D);
  CPageCCXConfigDlg* page = Open();
  ASSERT_TRUE(page->LimitEdit()->isEnabled());
  page->LimitEdit()->setText("2001");
  page->ApplyButton()->click();
  EXPECT_EQ(messages, std::vector<QString>{UiText(IDS_INVALID_MEASURE_TIME)});
  EXPECT_EQ(Word(), 0x00FA460Du) << "nothing written";
  EXPECT_TRUE(SetsOf(OID_VND_CCX_CONTROL.set).empty());

  page->LimitEdit()->setText("2000");
  page->ApplyButton()->click();
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_EQ(Word(), 0x03FF460Du) << "the highest limit 10 bits hold";
}

TEST_F(CcxPageTest, ClearingRadioMeasurementClearsNonServingAndResetsTheLimit) {
  RegWriteDword(HKEY_LOCAL_MACHINE, kKey, "CCX2Control", 0x01F4460D);  // limit 500
  CPageCCXConfigDlg* page = Open();
  EXPECT_EQ(page->LimitEdit()->text(), "500");
  page->RadioMeasurementBox()->click();
  EXPECT_FALSE(page->NonServingBox()->isChecked());
  EXPECT_FALSE(page->NonServingBox()->isEnabled());
  EXPECT_FALSE(page->LimitEdit()->isEnabled());
  EXPECT_EQ(page->LimitEdit()->text(), "250");
  // CCX off disables every option and the diagnostics, not CAC or Apply.
  page->CcxBox()->click();
  EXPECT_FALSE(page->NetworkEapBox()->isEnabled());
  EXPECT_FALSE(page->DiagnoseButton()->isEnabled());
  EXPECT_FALSE(page->ProfileCombo()->isEnabled());
  EXPECT_TRUE(page->ApplyButton()->isEnabled());
  EXPECT_TRUE(page->CacSetButton()->isEnabled());
}

TEST_F(CcxPageTest, DiagnoseRefusals) {
  RegWriteDword(HKEY_LOCAL_MACHINE, kKey, "CCX2Control", 0x00FA460D);
  AddProfile("Home", "Home-Net");
  AddProfile("Office", "Corp-Net");
  AddProfile("Lab", "Lab-Net");
  // The service holds its copies by SSID; "Home" lacks the section, "Lab" has no copy.
  scripted.serviceProfiles["Home-Net"] = false;
  scripted.serviceProfiles["Corp-Net"] = true;
  CPageCCXConfigDlg* page = Open();
  ASSERT_EQ(page->ProfileCombo()->count(), 3);
  EXPECT_EQ(page->ProfileNameValue()->text(), "Home");
  EXPECT_EQ(page->SsidValue()->text(), "Home-Net");
  EXPECT_EQ(page->CapableValue()->text(), "NO");
  page->ProfileCombo()->setCurrentIndex(1);
  EXPECT_EQ(page->CapableValue()->text(), "YES");

  struct Row { int index; const char* message; } rows[] = {
      {0, "Please enable diagnostic function"},
      {2, "Please activate the profile before diagnosing"},
      {-1, "Please select a profile"},
  };
  for (const Row& r : rows) {
    messages.clear();
    page->ProfileCombo()->setCurrentIndex(r.index);
    page->DiagnoseButton()->click();
    EXPECT_EQ(messages, std::vector<QString>{r.message}) << r.index;
  }
  EXPECT_FALSE(page->TestRunning());
  EXPECT_TRUE(scripted.sentProfiles.empty());
}

TEST_F(CcxPageTest, UnansweredTestFailsAfter90Seconds) {
  CPageCCXConfigDlg* page = OpenReadyForTest();
  page->DiagnoseButton()->click();
  EXPECT_EQ(scripted.sentProfiles, std::vector<std::string>{"Corp-Net"});
  EXPECT_TRUE(page->TestRunning());
  EXPECT_FALSE(page->DiagnoseButton()->isEnabled());
  EXPECT_TRUE(Log()->isVisible()) << "the log is brought forward";
  EXPECT_TRUE(state.Expanded);
  EXPECT_EQ(LogLines(), std::vector<std::string>{"Test Started"});

  clock.advance(89999);
  EXPECT_TRUE(page->TestRunning());
  clock.advance(1);
  EXPECT_EQ(LogLines(), (std::vector<std::string>{
                            "Test Started",
                            "Could not connect to the Diagnostic Channel. Please try again later"}));
  EXPECT_FALSE(page->TestRunning());
  EXPECT_TRUE(page->DiagnoseButton()->isEnabled());
  EXPECT_EQ(scripted.enables, 1) << "the stop request";
  clock.advance(300000);
  page->OnMonitorMessage(Message{WM_MON_IHV_TEST_FINISHED, 0, 0});
  EXPECT_EQ(LogLines().size(), 2u) << "the watchdog is gone; a late event is not the test's";
}

TEST_F(CcxPageTest, AnsweredTestIsNotLoggedAsAFailure) {
  CPageCCXConfigDlg* page = OpenReadyForTest();
  page->DiagnoseButton()->click();
  clock.advance(10000);
  page->OnMonitorMessage(Message{WM_MON_IHV_CHANNEL, 0, 1});
  page->OnMonitorMessage(Message{WM_MON_IHV_DIAG_EVENT, 7, 0});
  page->OnMonitorMessage(Message{WM_MON_IHV_DIAG_EVENT, 99, 0});
  clock.advance(100000);
  EXPECT_TRUE(page->TestRunning()) << "a connected test runs until it finishes";
  page->OnMonitorMessage(Message{WM_MON_IHV_TEST_FINISHED, 0, 0});
  clock.advance(100000);
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"Test Started",
                                                  "Connect to the Diagnostic Channel successfully",
                                                  "Association test passed", "NULL STRING",
                                                  "Test finished"}));
  EXPECT_FALSE(page->TestRunning());
  EXPECT_TRUE(page->DiagnoseButton()->isEnabled());
  EXPECT_EQ(scripted.enables, 0);

  // A test the extension could not run ends there too.
  page->DiagnoseButton()->click();
  page->OnMonitorMessage(Message{WM_MON_IHV_TEST_FAILED, 0, 0});
  EXPECT_EQ(LogLines().back(), "The test could not be run");
  EXPECT_FALSE(page->TestRunning());
}

TEST_F(CcxPageTest, CancelInTheLogStopsTheTest) {
  CPageCCXConfigDlg* page = OpenReadyForTest();
  page->DiagnoseButton()->click();
  Log()->CancelButton()->click();
  EXPECT_FALSE(page->TestRunning());
  EXPECT_EQ(scripted.enables, 1);
  EXPECT_TRUE(Log()->Log().Entries().empty());
  EXPECT_EQ(state.LowerPanel, LOWER_PANEL_LINK_STATUS);
  EXPECT_FALSE(Log()->isVisible());
  clock.advance(200000);
  EXPECT_TRUE(Log()->Log().Entries().empty()) << "no watchdog left to fire";
}

TEST_F(CcxPageTest, CacSetSendsTheChosenAction) {
  CPageCCXConfigDlg* page = Open();
  ASSERT_EQ(page->CacCombo()->count(), 3);
  page->CacCombo()->setCurrentIndex(1);  // DELTS
  page->CacSetButton()->click();
  const auto sent = SetsOf(OID_VND_CCX_TSPEC.set);
  ASSERT_EQ(sent.size(), 1u);
  std::vector<uint8_t> expected(156, 0);
  expected[0] = 2;
  expected[2] = 1;
  EXPECT_EQ(sent[0].bytes, expected);
}

TEST_F(CcxPageTest, StatusLogLinesAndHeader) {
  EXPECT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, kKey, "CurProfile", "Office"), 0u);
  Open();
  CAuthenStatusDlg* log = Log();
  ASSERT_NE(log, nullptr);
  EXPECT_EQ(log->AdapterLabel()->text(), UiText(IDS_STATIC_CARDNAME) + " Test Adapter");
  EXPECT_EQ(log->ProfileLabel()->text(), UiText(IDS_STATIC_PROFILENAME) + " Office");
  log->AddLogLine("");
  log->AddLogLine("second");
  ASSERT_EQ(log->List()->topLevelItemCount(), 2);
  EXPECT_EQ(log->List()->topLevelItem(0)->text(0), "10:00:00.000 ");
  EXPECT_EQ(log->List()->topLevelItem(0)->text(1), "NULL STRING");
  EXPECT_EQ(log->List()->topLevelItem(1)->text(0), "10:00:00.100 ") << "100 ms apart";

  host.usesBssid = true;
  log->OkButton()->click();
  EXPECT_EQ(log->List()->topLevelItemCount(), 0);
  EXPECT_EQ(log->ProfileLabel()->text(), "") << "joined by BSSID";
  EXPECT_EQ(log->LogLineCount(), 2) << "kept until the panel is made again";
}

}  // namespace
}  // namespace ov
