// `ovuictl connect` and `ovuictl profile delete` against the real ovsimd on the default scenario:
// the survey's Connect with the secret read from standard input, and the profile list's Delete
// with the service's WLAN profiles and the re-activation of the next profile for the same SSID.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "cli/adapter_session.h"
#include "cli/cli.h"
#include "cli/connect_command.h"
#include "cli/profile_command.h"
#include "driver/oid/oid_requests.h"
#include "nativewifi/wlansvc/wlan_service_client.h"
#include "platform/ini/ini.h"
#include "tests/activation/service_profile_names.h"
#include "tests/support/simulator_process.h"
#include "tests/support/temp_dir.h"

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

class ConnectDeleteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    simulator_.emplace(kBin, kDefaultScenario, dir_.path());
    ASSERT_TRUE(simulator_->ready()) << simulator_->output();
    ASSERT_TRUE(probe_.Discover());
  }

  CommandRun Connect(const std::vector<std::string>& args, const std::string& input) {
    std::vector<std::string> all = {"--data-dir", data_.path().string()};
    all.insert(all.end(), args.begin(), args.end());
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = RunConnectCommandWithInput(all, out, err, &in);
    return {status, out.str(), err.str()};
  }
  CommandRun Profile(const std::vector<std::string>& args) {
    std::vector<std::string> all = {"--data-dir", data_.path().string()};
    all.insert(all.end(), args.begin(), args.end());
    std::ostringstream out, err;
    const int status = RunProfileCommand(all, out, err);
    return {status, out.str(), err.str()};
  }
  void Import(const std::string& exportText) {
    const std::string file = files_.file("import.prof");
    test::WriteFileBytes(file, exportText);
    const CommandRun run = Profile({"import", file});
    ASSERT_EQ(run.status, kExitOk) << run.err;
  }
  std::string AssociatedSsid() {
    NDIS_802_11_SSID ssid;
    EXPECT_TRUE(QuerySsid(probe_.Driver(), ssid));
    return std::string(NdisSsidText(ssid));
  }
  std::vector<std::string> ServiceProfiles() { return test::ServiceProfileNames(); }
  // An open WLAN profile stored with the service as another tool would.
  void AddOpenServiceProfile(const std::string& ssid) {
    std::string hex;
    for (unsigned char c : ssid) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      hex += kHex[c >> 4];
      hex += kHex[c & 0xF];
    }
    const std::string xml =
        "<?xml version=\"1.0\"?>\n<WLANProfile "
        "xmlns=\"http://www.microsoft.com/networking/WLAN/profile/v1\">\n  <name>" + ssid +
        "</name>\n  <SSIDConfig><SSID><hex>" + hex + "</hex><name>" + ssid +
        "</name></SSID></SSIDConfig>\n  <connectionType>ESS</connectionType>\n"
        "  <connectionMode>manual</connectionMode>\n  <MSM><security><authEncryption>"
        "<authentication>open</authentication>\n    <encryption>none</encryption><useOneX>false"
        "</useOneX></authEncryption></security></MSM>\n</WLANProfile>\n";
    wlan::WlanServiceClient service;
    wlan::ClientHandle handle = 0;
    uint32_t version = 0;
    ASSERT_EQ(service.OpenHandle(wlan::kClientVersion2, &version, &handle), ERROR_SUCCESS);
    std::vector<wlan::InterfaceInfo> interfaces;
    ASSERT_EQ(service.EnumInterfaces(handle, &interfaces), ERROR_SUCCESS);
    ASSERT_FALSE(interfaces.empty());
    uint32_t reason = 0;
    EXPECT_EQ(service.SetProfile(handle, interfaces[0].guid, 0, xml, true, &reason), ERROR_SUCCESS);
    service.CloseHandle(handle);
  }
  bool ServiceHolds(const std::string& name) {
    const auto names = ServiceProfiles();
    return std::find(names.begin(), names.end(), name) != names.end();
  }
  std::string StationFile(std::string_view suffix) const {
    return (data_.path() / ("WXP4_" + probe_.Adapter().netCfgInstanceId + std::string(suffix)))
        .string();
  }

  test::TempDir dir_, data_, files_;
  test::ScopedMachineRoot root_{dir_.path()};
  std::optional<test::SimulatorProcess> simulator_;
  AdapterSession probe_{AdapterSessionOptions{}};
};

TEST_F(ConnectDeleteTest, ConnectReadsTheSecretFromStandardInput) {
  const struct {
    const char* ssid;
    const char* input;
    int status;
    const char* expected;  // in stdout when connected, in stderr otherwise
  } rows[] = {
      {"Orvane-WPA2-AES", "orvane-sim-2\n", kExitOk,
       "Connected to \"Orvane-WPA2-AES\" (02-5A-0F-10-00-05, WPA2-PSK;AES)\n"},
      {"Orvane-WPA2-AES", "not the passphrase\n", kExitFailed,
       "the connection attempt failed: The pre-shared key does not match. (reason 0x48014)"},
      {"Orvane-WPA-TKIP", "tkip passphrase 1\r\n", kExitOk, "WPA-PSK;TKIP"},
      {"Orvane-WEP-Open", "0F5A0F5A0F5A0F5A0F5A0F5A0F\n", kExitOk, "Connected to \"Orvane-WEP-Open\""},
      {"Orvane-Open", "", kExitOk, "Connected to \"Orvane-Open\""},
      {"Orvane-WPA2-AES", "short\n", kExitFailed, "a passphrase is 8 to 63 printable characters"},
      {"Orvane-WPA2-AES", "", kExitFailed, "no Passphrase was given"},
      {"Orvane-Nowhere", "", kExitFailed, "no network with this SSID is in range"},
      {"Orvane-Corp", "Alice-Pass-1\n", kExitFailed, "an 802.1X network needs --identity"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.ssid) + " / " + row.input);
    const CommandRun run = Connect({row.ssid}, row.input);
    EXPECT_EQ(run.status, row.status) << run.out << run.err;
    const std::string& text = row.status == kExitOk ? run.out : run.err;
    EXPECT_NE(text.find(row.expected), std::string::npos) << text;
    if (row.status == kExitOk) {
      EXPECT_EQ(AssociatedSsid(), row.ssid);
    }
  }
}

TEST_F(ConnectDeleteTest, ConnectResetsTheActiveConfigurationAndAnswersInJson) {
  Import("[Home]\r\nSSID=Orvane-Open\r\nNetworkType=1\r\nAuthMode=0\r\nCipherMode=1\r\n");
  ASSERT_EQ(Profile({"activate", "Home"}).status, kExitOk);
  ASSERT_EQ(IniReadString(StationFile("_sta"), "Config", "CurProfile", ""), "Home");

  CommandRun run = Connect({"--identity", "alice", "--json", "Orvane-Corp"}, "Alice-Pass-1\n");
  EXPECT_EQ(run.status, kExitOk) << run.err;
  EXPECT_EQ(run.out,
            "{\n  \"ssid\": \"Orvane-Corp\",\n  \"bssid\": \"02-5A-0F-10-00-07\",\n"
            "  \"security\": \"WPA2;AES\",\n  \"connected\": true,\n  \"result\": \"connected\",\n"
            "  \"reason\": null,\n  \"message\": \"connected\"\n}\n");
  EXPECT_EQ(AssociatedSsid(), "Orvane-Corp");
  EXPECT_EQ(IniReadString(StationFile("_sta"), "Config", "CurProfile", ""), "")
      << "a connection from the survey uses no stored profile";

  run = Connect({"--json", "Orvane-WPA2-AES"}, "wrong passphrase\n");
  EXPECT_EQ(run.status, kExitFailed);
  EXPECT_NE(run.out.find("\"result\": \"attempt-failed\",\n  \"reason\": 294932,"), std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("The pre-shared key does not match."), std::string::npos) << run.out;
}

TEST_F(ConnectDeleteTest, SecretsAreRefusedOnTheCommandLine) {
  const CommandRun run = Connect({"--passphrase", "orvane-sim-2", "Orvane-WPA2-AES"}, "");
  EXPECT_EQ(run.status, kExitUsage);
  EXPECT_NE(run.err.find("secrets are never given as arguments"), std::string::npos) << run.err;
}

TEST_F(ConnectDeleteTest, DeleteFollowsTheProfileListsRules) {
  Import("[A]\r\nSSID=Orvane-WPA2-AES\r\nNetworkType=1\r\nAuthMode=7\r\nCipherMode=6\r\n"
         "WPAPSK=orvane-sim-2\r\n");
  Import("[B]\r\nSSID=Orvane-WPA2-AES\r\nNetworkType=1\r\nAuthMode=7\r\nCipherMode=6\r\n"
         "WPAPSK=orvane-sim-2\r\n");
  Import("[C]\r\nSSID=Orvane-Open\r\nNetworkType=1\r\nAuthMode=0\r\nCipherMode=1\r\n");
  // B was active once, then A: both have activation times; C never was.
  ASSERT_EQ(Profile({"activate", "B"}).status, kExitOk);
  ASSERT_EQ(Profile({"activate", "A"}).status, kExitOk);
  // Applying a profile replaces the service's one; C's comes from another tool.
  AddOpenServiceProfile("Orvane-Open");
  ASSERT_TRUE(ServiceHolds("Orvane-WPA2-AES"));
  ASSERT_TRUE(ServiceHolds("Orvane-Open"));

  // C is not active: its SSID's service profile goes with it.
  CommandRun run = Profile({"delete", "C", "--json"});
  EXPECT_EQ(run.status, kExitOk) << run.err;
  EXPECT_EQ(run.out,
            "{\n  \"profile\": \"C\",\n  \"deleted\": true,\n  \"serviceProfileRemoved\": true,\n"
            "  \"activeConfigurationReset\": false,\n  \"reactivated\": null,\n"
            "  \"connected\": null,\n  \"message\": \"deleted\"\n}\n");
  EXPECT_FALSE(ServiceHolds("Orvane-Open"));

  // A is active; B, which takes its place, is for the same SSID and was active before.
  run = Profile({"delete", "A", "--json"});
  EXPECT_EQ(run.status, kExitOk) << run.err;
  EXPECT_NE(run.out.find("\"activeConfigurationReset\": true"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\"reactivated\": \"B\",\n  \"connected\": true"), std::string::npos)
      << run.out;
  EXPECT_EQ(IniReadString(StationFile("_sta"), "Config", "CurProfile", ""), "B");
  EXPECT_EQ(AssociatedSsid(), "Orvane-WPA2-AES");
  EXPECT_TRUE(ServiceHolds("Orvane-WPA2-AES"));

  // The last profile, active, with nothing after it.
  run = Profile({"delete", "B"});
  EXPECT_EQ(run.status, kExitOk) << run.err;
  EXPECT_EQ(run.out,
            "Deleted \"B\" and the wireless service's profile of its SSID\n"
            "It was the active profile: nothing is active now\n");
  EXPECT_EQ(IniReadString(StationFile("_sta"), "Config", "CurProfile", ""), "");

  run = Profile({"delete", "B"});
  EXPECT_EQ(run.status, kExitFailed);
  EXPECT_EQ(run.err, "ERROR: no profile \"B\"\n");
}

}  // namespace
}  // namespace ov::cli
