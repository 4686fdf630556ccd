// The monitor's adapter set-up and commands where they meet the program options, the store, the
// WPS run, the radio command and message boxes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include "driver/oid/radio_records.h"
#include "driver/params/debug_trace.h"
#include "profiles/profile_keys.h"
#include "shell/adapter_setup.h"
#include "shell/ui/control_ids.h"
#include "siblings/wapi_exports.h"
#include "tests/monitor/monitor_fixture.h"
#include "wps/wps_store.h"

namespace ov::test {
namespace {

using MonitorSetupTest = MonitorFixture;

// Presses OK on the message box once its modal loop runs.
void AcceptMessageBoxSoon() {
  QTimer::singleShot(0, [] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* box = qobject_cast<CMessageBoxDlg*>(w); box && box->isVisible()) box->accept();
    }
  });
}

std::optional<uint32_t> LastSetWord(const ScriptedDriver& driver, uint32_t oid) {
  std::optional<uint32_t> word;
  for (const auto& [setOid, bytes] : driver.sets) {
    if (setOid != oid || bytes.size() < 4) continue;
    word = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
  }
  return word;
}

TEST_F(MonitorSetupTest, ShowCountryRegionIsTakenFromItsOwnSection) {
  const struct {
    const char* name;
    const char* ini;
    bool regionSent;
  } rows[] = {
      {"[CountryRegion]: the user's region goes out",
       "[Account]\nWarningMessageForGenUser=0\n[CountryRegion]\nShowCountryRegion=1\n", true},
      {"[Advance] is not where the option lives",
       "[Account]\nWarningMessageForGenUser=0\n[Advance]\nShowCountryRegion=1\n", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    monitor_.reset();
    adapter_.driver.sets.clear();
    WriteIni(row.ini);
    WriteParam("CountryRegion", "5");
    adapter_.driver.SetU32(OID_VND_COUNTRY_REGION.query, 0);  // no band fixed by the hardware
    Start();
    const std::optional<uint32_t> sent = LastSetWord(adapter_.driver, OID_VND_COUNTRY_REGION.set);
    if (row.regionSent) {
      ASSERT_TRUE(sent.has_value()) << "no country region was sent";
      EXPECT_EQ(*sent & 0x7F, 5u);
    } else {
      EXPECT_FALSE(sent.has_value());
    }
  }
}

TEST_F(MonitorSetupTest, StandardUserWhoMaySetProfilesGetsTheActiveConfigurationApplied) {
  const struct {
    const char* name;
    const char* ini;
    bool applied;
  } rows[] = {
      {"allowed: the active configuration", "[Account]\nWarningMessageForGenUser=0\n"
                                            "[Advance]\nAllowStandardUserSetProfile=1\n", true},
      {"not allowed: the selected profile, none yet", "[Account]\nWarningMessageForGenUser=0\n",
       false},
  };
  isAdmin_ = false;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    monitor_.reset();
    client_.applied.clear();
    WriteIni(row.ini);
    ProfileStore store(StoreLocation{Options().dataDir, adapter_.found.chipFamily,
                                     adapter_.found.netCfgInstanceId},
                       nullptr, false);
    ASSERT_TRUE(store.WriteStoreValues(StoreFileKind::Station, kActiveSection,
                                       {{"SSID", "OfficeNet"}, {"NetworkType", "1"}}));
    Start();
    EXPECT_EQ(monitor_->ProgramSettings().allowStandardUserSetProfile, row.applied);
    if (row.applied) {
      ASSERT_FALSE(client_.applied.empty()) << "the standard user's profile was never applied";
      EXPECT_EQ(client_.applied.back(), "OfficeNet");
    } else {
      for (const std::string& ssid : client_.applied) EXPECT_NE(ssid, "OfficeNet");
    }
  }
}

TEST_F(MonitorSetupTest, TraySignalUsesWhicheverChainAnswered) {
  Start();
  Connect("Home");
  adapter_.driver.answers.erase(OID_VND_RSSI0.query);
  adapter_.driver.SetI32(OID_VND_RSSI1.query, -70);
  Tick();
  EXPECT_EQ(Tray(), TrayState::Normal) << "a failed chain 0 is no reading, not 0 dBm";
}

TEST_F(MonitorSetupTest, WpsRunDeletesTheServiceProfilesOfTheCredentialsItReplaces) {
  Start();
  ASSERT_NE(monitor_->Store(), nullptr);
  ASSERT_TRUE(monitor_->Store()->WriteStoreValue(StoreFileKind::Wps, WpsProfileSection(0),
                                                 kWpsSsidKey, "OldNet"));
  wifi_.serviceProfiles = {"OldNet", "Unrelated"};

  WpsCredentialTable table;
  table.Count = 1;
  WpsCredential& c = table.Credentials[0];
  const std::string ssid = "NewNet";
  c.SsidLength = static_cast<uint32_t>(ssid.size());
  std::copy(ssid.begin(), ssid.end(), c.Ssid.begin());
  c.AuthType = 0x0001;  // open
  c.EncryType = 0x0001;
  const auto bytes = EncodeWpsCredentialTable(table);
  ScriptedDriver& d = adapter_.driver;
  d.answers[OID_VND_WPS_PROFILE_TABLE.query].assign(bytes.begin(), bytes.end());
  d.SetU32(OID_VND_WPS_CHANNEL.query, 6);
  d.SetU32(OID_VND_WPS_STATUS.query, 15);
  monitor_->Timers().start(kMonitorTimerWpsPoll, kWpsStatusPollMs);
  clock_.advance(kWpsStatusPollMs);

  EXPECT_EQ(wifi_.deletedServiceProfiles, std::vector<std::string>{"OldNet"});
  EXPECT_EQ(monitor_->Store()->ReadStoreValue(StoreFileKind::Wps, WpsProfileSection(0), kWpsSsidKey),
            "NewNet");
}

TEST_F(MonitorSetupTest, RadioCommandWritesWithItsTraceAndAsksForARescan) {
  // Only the radio command's own lines: set-up traces lines of its own.
  std::vector<std::string> traced;
  SetDebugTraceSink([&](std::string_view line) {
    if (line.find("REGSTR_RADIO") != std::string_view::npos ||
        line.find("Gone") != std::string_view::npos) {
      traced.emplace_back(line);
    }
  });
  Start();
  const int scans = client_.scans;
  monitor_->State().Survey.rescanPending = false;
  monitor_->State().Survey.securityClass = 4;
  monitor_->State().Survey.hiddenSsidInUse = true;

  monitor_->SwitchRadio(false);
  EXPECT_EQ(ReadParam("Radio"), "1");
  EXPECT_EQ(wifi_.radioSets.back(), false);
  EXPECT_TRUE(monitor_->State().Survey.rescanPending);
  EXPECT_EQ(client_.scans, scans + 1) << "the survey is rescanned after every switch";
  EXPECT_EQ(monitor_->State().Survey.securityClass, 4) << "turning off keeps the survey's marks";

  monitor_->Target().post(WM_MON_SCAN_DONE);
  messages_.deliverAll();
  monitor_->State().RadioOn = true;
  monitor_->SwitchRadio(true);
  EXPECT_EQ(ReadParam("Radio"), "0");
  EXPECT_EQ(client_.scans, scans + 2);
  EXPECT_EQ(monitor_->State().Survey.securityClass, 0);
  EXPECT_FALSE(monitor_->State().Survey.hiddenSsidInUse);
  EXPECT_TRUE(traced.empty());

  // The adapter key vanished: the first write fails, the second finds no key.
  monitor_->State().Adapter.adapterKeyPath = std::string(kAdapterKey) + "\\Gone";
  monitor_->SwitchRadio(false);
  SetDebugTraceSink(nullptr);
  EXPECT_EQ(traced, (std::vector<std::string>{
                        "RegSetValueEx REGSTR_RADIO '1' failed\n",
                        "RegOpenKeyEx '" + std::string(kAdapterKey) + "\\Gone' failed\n"}));
}

TEST_F(MonitorSetupTest, MessageBoxHoldsTheMonitorBusyWhileItIsUp) {
  Start();
  ASSERT_FALSE(monitor_->State().Busy);
  bool busyInside = false;
  QTimer::singleShot(0, [&] { busyInside = monitor_->State().Busy; });
  AcceptMessageBoxSoon();
  EXPECT_EQ(ShowMessage(QStringLiteral("a page's message")), kMessageBoxOk);
  EXPECT_TRUE(busyInside);
  EXPECT_FALSE(monitor_->State().Busy);

  // Inside another modal that holds it, the flag stays set afterwards.
  monitor_->State().Busy = true;
  AcceptMessageBoxSoon();
  ShowMessage(QStringLiteral("nested"));
  EXPECT_TRUE(monitor_->State().Busy);
  monitor_->State().Busy = false;

  // Once the monitor is gone no flag is held.
  monitor_.reset();
  AcceptMessageBoxSoon();
  EXPECT_EQ(ShowMessage(QStringLiteral("after the monitor")), kMessageBoxOk);
}

TEST(AdapterSetupRules, FiveGigahertzAndFortyMegahertzReadings) {
  DOT11_SUPPORTED_PHY_TYPES ofdm;
  ofdm.uNumOfEntries = 2;
  ofdm.dot11PHYType[0] = 2;
  ofdm.dot11PHYType[1] = kPhyTypeOfdm;
  DOT11_SUPPORTED_PHY_TYPES noOfdm;
  noOfdm.uNumOfEntries = 1;
  noOfdm.dot11PHYType[0] = 7;
  DOT11_SUPPORTED_PHY_TYPES ofdmPastCount = noOfdm;
  ofdmPastCount.dot11PHYType[1] = kPhyTypeOfdm;
  const struct {
    const char* name;
    const DOT11_SUPPORTED_PHY_TYPES* phys;
    std::optional<uint32_t> countryWirelessMode;
    bool expected;
  } bandRows[] = {
      {"no answer", nullptr, 0x10000000u, false},
      {"OFDM, no CountryWirelessMode", &ofdm, std::nullopt, true},
      {"OFDM, mode says 1", &ofdm, 0x1000ABCDu, true},
      {"OFDM, mode says 2", &ofdm, 0x20000000u, false},
      {"no OFDM", &noOfdm, 0x10000000u, false},
      {"OFDM past the count is not listed", &ofdmPastCount, std::nullopt, false},
  };
  for (const auto& row : bandRows) {
    EXPECT_EQ(IsABandCapable(row.phys, row.countryWirelessMode), row.expected) << row.name;
  }

  const struct {
    const char* name;
    std::optional<uint32_t> word;
    Bw40Permissions before;
    bool allowed24;
    bool allowed5;
  } bwRows[] = {
      {"no answer keeps", std::nullopt, {false, true}, false, true},
      {"0xFFFF keeps", 0xFFFFu, {false, false}, false, false},
      {"bit 8 forbids 2.4 GHz", 0x0100u, {true, true}, false, true},
      {"bit 9 forbids 5 GHz", 0x0200u, {true, true}, true, false},
      {"clear bits allow both", 0x0000u, {false, false}, true, true},
      {"only the low word counts", 0xABCD0000u, {false, false}, true, true},
  };
  for (const auto& row : bwRows) {
    Bw40Permissions p = row.before;
    ApplyBw40Word(row.word, p);
    EXPECT_EQ(p.allowed24, row.allowed24) << row.name;
    EXPECT_EQ(p.allowed5, row.allowed5) << row.name;
  }
}

}  // namespace
}  // namespace ov::test

namespace ov::test {
namespace {

TEST_F(MonitorSetupTest, LinkUpAndLostAreNoticedUnlessSwitchedOff) {
  const struct {
    const char* name;
    const char* ini;
    size_t notices;
  } rows[] = {
      {"on by default", "[Account]\nWarningMessageForGenUser=0\n", 2},
      {"[Advance] Notify=0", "[Account]\nWarningMessageForGenUser=0\n[Advance]\nNotify=0\n", 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    monitor_.reset();
    tray_.notifications.clear();
    wifi_.connected = false;
    WriteIni(row.ini);
    Start();
    Tick(2);
    EXPECT_TRUE(tray_.notifications.empty()) << "nothing changed yet";
    Connect("Home");
    Tick(2);
    wifi_.connected = false;
    Tick();
    ASSERT_EQ(tray_.notifications.size(), row.notices);
    if (row.notices) {
      EXPECT_NE(tray_.notifications[0].second.indexOf(QStringLiteral("Home")), -1)
          << tray_.notifications[0].second.toStdString();
      EXPECT_EQ(tray_.notifications[1].second, monitor_->TrayTip());
    }
  }
}

TEST_F(MonitorSetupTest, WapiSupportNeedsTheCertificateManagerTheOptionAndTheRadio) {
  const struct {
    const char* name;
    bool library;
    const char* supportWapi;
    const char* radio;
    bool supported;
  } rows[] = {
      // A library once loaded stays in the process, so the rows without it come first.
      {"option without the library", false, "1", "0", false},
      {"library and option, radio off", true, "1", "1", false},
      {"library without the option", true, "0", "0", false},
      {"library and option, radio on", true, "1", "0", true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    monitor_.reset();
    std::filesystem::remove(program_.path() / wapi::kCertMgrLibraryName);
    if (row.library) {
      std::filesystem::copy_file(std::filesystem::path(OVUI_BIN_DIR) / wapi::kCertMgrLibraryName,
                                 program_.path() / wapi::kCertMgrLibraryName);
    }
    WriteIni(std::string("[Account]\nWarningMessageForGenUser=0\n[AuthEncry]\nSupportWAPI=") +
             row.supportWapi + "\n");
    WriteParam("Radio", row.radio);
    CertificateManagerModule certificates;
    certificates_ = &certificates;
    Start();
    EXPECT_EQ(monitor_->WapiSupported(), row.supported);
    EXPECT_EQ(monitor_->State().WapiSupported, row.supported);
    EXPECT_EQ(certificates.Loaded(), row.library && std::string(row.radio) == "0");
    monitor_.reset();
    certificates_ = nullptr;
  }
}

}  // namespace
}  // namespace ov::test
