// The road of an activation without the windows, against the real ovsimd on the default
// scenario: `ovuictl profile activate` and `ovuictl wps apply` write the active configuration,
// send the radio settings, store the WLAN profile with the service, connect and wait for the
// answer; `ovuictl status` then shows the link.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "cli/adapter_session.h"
#include "cli/cli.h"
#include "cli/profile_command.h"
#include "cli/wps_command.h"
#include "driver/discovery/device_id_table.h"
#include "driver/oid/oid_requests.h"
#include "driver/params/adapter_params.h"
#include "driver/params/debug_trace.h"
#include "nativewifi/wlansvc/wlan_service_client.h"
#include "platform/ini/ini.h"
#include "platform/registry/registry.h"
#include "profiles/ov_encrypt_codec.h"
#include "tests/activation/service_profile_names.h"
#include "tests/support/simulator_process.h"
#include "tests/support/temp_dir.h"
#include "wps/wps_store.h"

namespace ov::cli {
namespace {

namespace fs = std::filesystem;

const fs::path kBin = OVUI_BIN_DIR;
const fs::path kDefaultScenario = fs::path(OVUI_SOURCE_DIR) / "data/scenarios/default.json";

struct CommandRun {
  int status;
  std::string out;
  std::string err;
};

// Export files as a user would write them, with the default scenario's secrets.
const char* const kOpenProfile =
    "[Cafe]\r\nSSID=Orvane-Open\r\nNetworkType=1\r\nAuthMode=0\r\nCipherMode=1\r\n";
const char* const kWepProfile =
    "[Lab WEP]\r\nSSID=Orvane-WEP-Open\r\nNetworkType=1\r\nAuthMode=0\r\nCipherMode=0\r\n"
    "WEPKeyUse=1\r\nWEPKey1=0F5A0F5A0F5A0F5A0F5A0F5A0F\r\n";
const char* const kWpa2Profile =
    "[Home]\r\nSSID=Orvane-WPA2-AES\r\nNetworkType=1\r\nAuthMode=7\r\nCipherMode=6\r\n"
    "WPAPSK=orvane-sim-2\r\nUseRts=1\r\nRtsThresh=1500\r\n";
const char* const kPeapProfile =
    "[Office]\r\nSSID=Orvane-Corp\r\nNetworkType=1\r\nAuthMode=6\r\nCipherMode=6\r\nUse8021X=1\r\n"
    "AuthenProtocol=0\r\nTunnelProtocol=26\r\nID=alice\r\nTunnelID=alice\r\n"
    "TunnelPassword=Alice-Pass-1\r\nPasswordMode=1\r\n";

class ActivationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    simulator_.emplace(kBin, kDefaultScenario, dir_.path());
    ASSERT_TRUE(simulator_->ready()) << simulator_->output();
    ASSERT_TRUE(probe_.Discover());
    keyPath_ = probe_.Adapter().adapterKeyPath;
  }

  std::vector<std::string> WithDataDir(const std::vector<std::string>& args) const {
    std::vector<std::string> all = {"--data-dir", data_.path().string()};
    all.insert(all.end(), args.begin(), args.end());
    return all;
  }
  CommandRun Profile(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = RunProfileCommand(WithDataDir(args), out, err);
    return {status, out.str(), err.str()};
  }
  CommandRun Wps(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = RunWpsCommand(WithDataDir(args), out, err);
    return {status, out.str(), err.str()};
  }
  // The installed program, as a user runs it.
  CommandRun Program(const std::vector<std::string>& args) {
    std::string out;
    const int status = test::RunProgram(kBin / "ovuictl", args, dir_.path(), &out);
    return {status, out, ""};
  }
  void Import(const std::string& exportText) {
    const std::string file = files_.file("import.prof");
    test::WriteFileBytes(file, exportText);
    const CommandRun run = Profile({"import", file});
    ASSERT_EQ(run.status, kExitOk) << run.err;
  }

  // What the driver says about the link.
  std::string AssociatedSsid() {
    NDIS_802_11_SSID ssid;
    EXPECT_TRUE(QuerySsid(probe_.Driver(), ssid));
    return std::string(NdisSsidText(ssid));
  }
  uint32_t ExtraInfo() {
    uint32_t code = 99;
    EXPECT_TRUE(QueryExtraInfo(probe_.Driver(), code));
    return code;
  }
  uint32_t DriverPhyMode() {
    HtPhyMode mode;
    EXPECT_TRUE(QueryHtPhyMode(probe_.Driver(), mode));
    return mode.PhyMode;
  }
  void SetAdapterParam(std::string_view name, std::string_view value) {
    ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, keyPath_, name, value), ERROR_SUCCESS);
  }
  // The WLAN profiles the service keeps for the adapter.
  std::vector<std::string> ServiceProfiles() { return test::ServiceProfileNames(); }
  std::string StationFile(std::string_view suffix) const {
    return (data_.path() / ("WXP4_" + probe_.Adapter().netCfgInstanceId + std::string(suffix)))
        .string();
  }

  test::TempDir dir_, data_, files_;
  test::ScopedMachineRoot root_{dir_.path()};
  std::optional<test::SimulatorProcess> simulator_;
  AdapterSession probe_{AdapterSessionOptions{}};
  std::string keyPath_;
};

TEST_F(ActivationTest, EachKindOfSecurityConnects) {
  // A mode the driver does not run yet: seeing it there shows the radio settings were sent.
  const uint32_t startMode = DriverPhyMode();
  ASSERT_NE(startMode, 9u);
  SetAdapterParam("WirelessMode", "9");

  const struct {
    const char* exportText;
    const char* name;
    const char* ssid;
  } rows[] = {
      {kOpenProfile, "Cafe", "Orvane-Open"},
      {kWepProfile, "Lab WEP", "Orvane-WEP-Open"},
      {kWpa2Profile, "Home", "Orvane-WPA2-AES"},
      {kPeapProfile, "Office", "Orvane-Corp"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Import(row.exportText);
    const CommandRun run = Profile({"activate", row.name});
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.out, std::string("Activated \"") + row.name + "\": connected to \"" + row.ssid +
                           "\"\n");
    EXPECT_EQ(AssociatedSsid(), row.ssid);
    EXPECT_EQ(ExtraInfo(), 0u);  // "Link is Up"
    // The active configuration names it, and the service keeps its WLAN profile.
    EXPECT_EQ(IniReadString(StationFile("_sta"), "Config", "CurProfile", ""), row.name);
    EXPECT_EQ(IniReadString(StationFile("_sta"), "Config", "WSC", ""), "0");
    EXPECT_FALSE(IniReadString(StationFile("_prof"), row.name, "ActiveTime", "").empty());
    const auto stored = ServiceProfiles();
    EXPECT_NE(std::find(stored.begin(), stored.end(), row.ssid), stored.end());
    EXPECT_EQ(DriverPhyMode(), 9u);
  }
}

TEST_F(ActivationTest, FailuresAreReportedWithTheServiceReason) {
  // Each row: the profile's name, its export file, the reason given.
  const struct {
    const char* name;
    const char* exportText;
    const char* reason;
  } rows[] = {
      {"Bad PSK",
       "[Bad PSK]\r\nSSID=Orvane-WPA2-AES\r\nNetworkType=1\r\nAuthMode=7\r\nCipherMode=6\r\n"
       "WPAPSK=not the passphrase\r\n",
       "the connection attempt failed: The pre-shared key does not match. (reason 0x48014)"},
      {"Bad WEP",
       "[Bad WEP]\r\nSSID=Orvane-WEP-Open\r\nNetworkType=1\r\nAuthMode=0\r\nCipherMode=0\r\n"
       "WEPKeyUse=1\r\nWEPKey1=0F5A0F5A0F5A0F5A0F5A0F5A00\r\n",
       "the connection attempt failed: The network key does not match. (reason 0x2800D)"},
      {"Bad PEAP",
       "[Bad PEAP]\r\nSSID=Orvane-Corp\r\nNetworkType=1\r\nAuthMode=6\r\nCipherMode=6\r\n"
       "Use8021X=1\r\nAuthenProtocol=0\r\nTunnelProtocol=26\r\nID=alice\r\nTunnelID=alice\r\n"
       "TunnelPassword=guess\r\nPasswordMode=1\r\n",
       "the connection attempt failed: The network refused the credentials. (reason 0x50005)"},
      {"Away",
       "[Away]\r\nSSID=Orvane-Elsewhere\r\nNetworkType=1\r\nAuthMode=0\r\nCipherMode=1\r\n",
       "the connection attempt failed: The network is not available. (reason 0x2800B)"},
      {"Odd",
       "[Odd]\r\nSSID=Orvane-WPA2-AES\r\nNetworkType=1\r\nAuthMode=7\r\nCipherMode=0\r\n"
       "WPAPSK=orvane-sim-2\r\n",
       "the wireless service did not accept the profile: The authentication and cipher pair is "
       "not valid. (reason 0x40009)"},
      {"Blank",
       "[Blank]\r\nNetworkType=1\r\nAuthMode=0\r\nCipherMode=1\r\n",
       "no connection was requested (the profile has no SSID)"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Import(row.exportText);
    const CommandRun run = Profile({"activate", row.name});
    EXPECT_EQ(run.status, kExitFailed);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("did not connect: " + std::string(row.reason) + "\n"), std::string::npos)
        << run.err;
    EXPECT_EQ(AssociatedSsid(), "");
    EXPECT_NE(ExtraInfo(), 0u);
  }

  // The program's exit status says the same.
  EXPECT_EQ(Program({"profile", "--data-dir", data_.path().string(), "activate", "Bad PSK"}).status,
            kExitFailed);
}

TEST_F(ActivationTest, WithTheRadioOffNothingIsSentOrConnected) {
  Import(kOpenProfile);
  const uint32_t startMode = DriverPhyMode();
  ASSERT_NE(startMode, 9u);
  SetAdapterParam("WirelessMode", "9");
  // Only the adapter key says the radio is off: the driver would still take whatever came.
  SetAdapterParam("Radio", "1");

  const CommandRun off = Profile({"activate", "Cafe"});
  EXPECT_EQ(off.status, kExitFailed);
  EXPECT_NE(off.err.find("the radio is switched off; \"Cafe\" was not applied"), std::string::npos)
      << off.err;
  EXPECT_EQ(DriverPhyMode(), startMode);
  EXPECT_EQ(AssociatedSsid(), "");
  EXPECT_TRUE(ServiceProfiles().empty());
  EXPECT_EQ(IniReadString(StationFile("_sta"), "Config", "CurProfile", ""), "");
  EXPECT_EQ(IniReadString(StationFile("_prof"), "Cafe", "ActiveTime", ""), "");

  SetAdapterParam("Radio", "0");
  const CommandRun on = Profile({"activate", "Cafe"});
  EXPECT_EQ(on.status, kExitOk) << on.err;
  EXPECT_EQ(DriverPhyMode(), 9u);
  EXPECT_EQ(AssociatedSsid(), "Orvane-Open");
}

TEST_F(ActivationTest, StatusShowsTheLinkWithTheProfilesSsid) {
  Import(kWpa2Profile);
  const CommandRun before = Program({"status"});
  ASSERT_EQ(before.status, kExitOk);
  EXPECT_NE(before.out.find("  Link state:       Link is Down\n"), std::string::npos) << before.out;
  EXPECT_NE(before.out.find("  SSID:             (not associated)\n"), std::string::npos);

  const CommandRun activated =
      Program({"profile", "--data-dir", data_.path().string(), "activate", "Home"});
  ASSERT_EQ(activated.status, kExitOk);
  EXPECT_EQ(activated.out, "Activated \"Home\": connected to \"Orvane-WPA2-AES\"\n");

  const CommandRun text = Program({"status"});
  ASSERT_EQ(text.status, kExitOk);
  EXPECT_NE(text.out.find("  Link state:       Link is Up\n  SSID:             \"Orvane-WPA2-AES\"\n"),
            std::string::npos)
      << text.out;
  const CommandRun json = Program({"status", "--json"});
  EXPECT_NE(json.out.find("\"extra_info\": 0,\n    \"link_state\": \"Link is Up\",\n"
                          "    \"ssid\": \"Orvane-WPA2-AES\",\n"),
            std::string::npos)
      << json.out;
}

TEST_F(ActivationTest, AStoredWpsCredentialIsAppliedAndWaitedFor) {
  {
    // Two credentials as a WPS run leaves them: the first with a key the network does not take.
    OvEncryptSecretCodec codec;
    ProfileStore store({data_.path().string() + "/", probe_.Adapter().chipFamily,
                        probe_.Adapter().netCfgInstanceId},
                       &codec, true);
    WpsStoreState state;
    auto credential = [](std::string_view ssid, std::string_view key, MacAddress mac) {
      WpsCredential c;
      c.SsidLength = static_cast<uint32_t>(ssid.size());
      std::copy(ssid.begin(), ssid.end(), c.Ssid.begin());
      c.AuthType = WPS_AUTH_WPA2PSK;
      c.EncryType = WPS_ENCR_AES;
      c.KeyLength = static_cast<uint32_t>(key.size());
      std::copy(key.begin(), key.end(), c.Key.begin());
      c.MacAddr = mac;
      return c;
    };
    state.Table.Count = 2;
    state.Table.Credentials[0] =
        credential("Orvane-WPS-PIN", "wrong entry", {0x02, 0x5A, 0x0F, 0x10, 0x00, 0x0E});
    state.Table.Credentials[1] =
        credential("Orvane-WPS-PBC", "wps push button", {0x02, 0x5A, 0x0F, 0x10, 0x00, 0x0D});
    SaveWpsStore(store, &codec, state, false, nullptr);
  }

  const CommandRun list = Wps({"list"});
  ASSERT_EQ(list.status, kExitOk) << list.err;
  EXPECT_EQ(list.out,
            "WPS credential in use: no\n"
            "0  Orvane-WPS-PIN  WPA2-PSK / AES  key index 0, 11 characters  02-5A-0F-10-00-0E\n"
            "1  Orvane-WPS-PBC  WPA2-PSK / AES  key index 0, 15 characters  02-5A-0F-10-00-0D\n"
            "2 credentials\n");

  const CommandRun applied = Wps({"apply", "1"});
  EXPECT_EQ(applied.status, kExitOk) << applied.err;
  EXPECT_EQ(applied.out, "Applied WPS credential 1: connected to \"Orvane-WPS-PBC\"\n");
  EXPECT_EQ(AssociatedSsid(), "Orvane-WPS-PBC");
  EXPECT_EQ(IniReadString(StationFile("_sta"), "Config", "WSC", ""), "1");
  EXPECT_EQ(Wps({"list"}).out.rfind("WPS credential in use: yes\n", 0), 0u);

  // The default is the first credential; it is tried alone, not followed by the next.
  const CommandRun wrong = Wps({"apply"});
  EXPECT_EQ(wrong.status, kExitFailed);
  EXPECT_NE(wrong.err.find("WPS credential 0 (SSID \"Orvane-WPS-PIN\") did not connect: the "
                           "connection attempt failed: The pre-shared key does not match."),
            std::string::npos)
      << wrong.err;
  EXPECT_EQ(AssociatedSsid(), "");

  const struct {
    std::vector<std::string> args;
    int status;
    const char* err;
  } refusals[] = {
      {{"apply", "2"}, kExitFailed, "no WPS credential 2 (the store holds 2)"},
      {{"apply", "one"}, kExitUsage, "\"one\" is no credential number"},
      {{"apply", "0", "1"}, kExitUsage, "at most one credential number"},
      {{"forget"}, kExitUsage, "unknown action \"forget\""},
  };
  for (const auto& r : refusals) {
    SCOPED_TRACE(r.err);
    const CommandRun run = Wps(r.args);
    EXPECT_EQ(run.status, r.status);
    EXPECT_NE(run.err.find(r.err), std::string::npos) << run.err;
  }
}

TEST_F(ActivationTest, TheConnectionCompleteMessageSendsTheDeferredSettings) {
  Import(kWpa2Profile);
  AdapterSession session{AdapterSessionOptions{}};
  ASSERT_TRUE(session.Discover());
  std::string problem;
  ASSERT_TRUE(session.SetUp(data_.path().string() + "/", true, &problem)) << problem;
  ASSERT_TRUE(session.RadioOn());
  ASSERT_TRUE(session.Store().ActivateProfileInStore("Home", FormatActiveTime()));
  session.Queue().ApplyActiveConfiguration(1, 1, 0);
  // The thresholds wait for the connection; the monitor's handling of 0x401 sends them.
  EXPECT_TRUE(session.Client().DeferredSettingsPending());
  const ConnectionOutcome outcome = session.WaitForConnection(kConnectionWait);
  EXPECT_EQ(outcome.result, ConnectionResult::Connected);
  EXPECT_FALSE(session.Client().DeferredSettingsPending());
  EXPECT_TRUE(session.Driver().PendingSetQueue().empty());
}

TEST_F(ActivationTest, TheProgramIniSwitchesOnTheHtPhyTraceLine) {
  // The utility's own trace line for the HT transmit settings, from the session's queue as
  // `profile activate` drives it.
  SetAdapterParam("WirelessMode", "9");
  Import(kOpenProfile);
  const fs::path trace = dir_.path() / kDebugTraceFile;
  fs::create_directories(trace.parent_path());
  // The program's own INI (the adapter tables discovery needs) with the switch set.
  const std::string ini = files_.file("OvUI.INI");
  fs::copy_file(DefaultProgramIniPath(), ini);

  for (const char* openFile : {"0", "1"}) {
    SCOPED_TRACE(openFile);
    ASSERT_TRUE(IniWriteString(ini, "Advance", "OpenFile", openFile));
    AdapterSession session{AdapterSessionOptions{ini, nullptr}};
    ASSERT_TRUE(session.Discover());
    ASSERT_TRUE(session.Adapter().htCapable);
    std::string problem;
    ASSERT_TRUE(session.SetUp(data_.path().string() + "/", false, &problem)) << problem;
    ASSERT_TRUE(session.Store().ActivateProfileInStore("Cafe", "2026/01/01 00:00:00"));
    session.Queue().activation().StationProfileInUse = 1;
    session.Queue().ApplyActiveConfiguration(1, 1, 0);
    EXPECT_EQ(session.WaitForConnection(kConnectionWait).result, ConnectionResult::Connected);
  }
  const std::string text = test::ReadFileBytes(trace);
  // One line, from the enabled run only.
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
  EXPECT_EQ(text.rfind("ActionExec: PhyMode = 9, HtMode = ", 0), 0u) << text;
}

}  // namespace
}  // namespace ov::cli
