// `ovuictl connect` for the networks beyond PSK, WEP and PEAP, against the real ovsimd on a
// scenario of its own: a hidden network joined by name, an ad hoc WPA-None cell, and the 802.1X
// methods the authentication server takes (LEAP, PEAP with GTC, EAP-TLS and PEAP-TLS with a
// certificate of the personal folder made in the test, EAP-FAST with the dialog's defaults).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "cli/adapter_session.h"
#include "cli/cli.h"
#include "cli/connect_command.h"
#include "driver/oid/oid_requests.h"
#include "tests/support/simulator_process.h"
#include "tests/support/temp_dir.h"

namespace ov::cli {
namespace {

namespace fs = std::filesystem;

const fs::path kBin = OVUI_BIN_DIR;

bool Sh(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

// The SHA-1 of a PEM certificate's DER form, in lower-case hexadecimal.
std::string Sha1Hex(const fs::path& pem) {
  std::string out;
  FILE* pipe = ::popen(("openssl x509 -noout -fingerprint -sha1 -in '" + pem.string() + "' 2>/dev/null").c_str(), "r");
  char buffer[256];
  while (pipe && std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
  if (pipe) ::pclose(pipe);
  std::string hex;
  const size_t start = out.find('=');
  for (size_t i = start == std::string::npos ? out.size() : start + 1; i < out.size(); ++i) {
    if (std::isxdigit(static_cast<unsigned char>(out[i]))) hex += static_cast<char>(std::tolower(out[i]));
  }
  return hex;
}

std::string Scenario(const std::string& tlsSha1) {
  return R"({
  "adapters": [{
    "name": "wlan0", "chip_family": "WXP4", "hardware_id": "PCI\\VEN_0F5A&DEV_0601&SUBSYS_00010F5A",
    "friendly_name": "Orvane WXP4 Wireless LAN PCI Adapter",
    "device_description": "Orvane 802.11n Wireless LAN Card", "mac": "02:5A:0F:00:06:01",
    "receive_chains": 2, "band_5ghz": false
  }],
  "access_points": [
    {"ssid": "Orvane-Hidden", "bssid": "02:5A:0F:10:00:0A", "channel": 8, "signal_dbm": -50,
     "hidden": true, "security": "wpa2-psk", "passphrase": "hidden network"},
    {"ssid": "Orvane-Cell", "bssid": "02:5A:0F:20:00:01", "channel": 6, "signal_dbm": -55,
     "bss_type": "adhoc", "security": "wpa-none", "passphrase": "cell passphrase"},
    {"ssid": "Orvane-Corp", "bssid": "02:5A:0F:10:00:07", "channel": 1, "signal_dbm": -52,
     "security": "wpa2-enterprise", "users": [
       {"method": "peap-mschapv2", "identity": "alice", "password": "Alice-Pass-1"},
       {"method": "leap", "identity": "carol", "password": "Carol-Pass-1"},
       {"method": "eap-tls", "identity": "bob", "certificate_sha1": ")" + tlsSha1 + R"("},
       {"method": "peap-gtc", "identity": "erin", "password": "Erin-Token-1"},
       {"method": "peap-tls", "identity": "bob", "certificate_sha1": ")" + tlsSha1 + R"("},
       {"method": "eap-fast", "identity": "anonymous"}]}
  ]
})";
}

struct CommandRun {
  int status;
  std::string out;
  std::string err;
};

class ConnectKindsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The personal certificate folder: bob's certificate, and another that the server does not know.
    const fs::path certs = dir_.path() / "xdg/ovui/certs";
    fs::create_directories(certs);
    const std::string c = certs.string();
    ASSERT_TRUE(Sh("cd '" + c + "' && openssl req -x509 -newkey rsa:2048 -nodes -keyout /dev/null"
                   " -out bob.pem -days 10 -subj '/CN=bob'"));
    ASSERT_TRUE(Sh("cd '" + c + "' && openssl req -x509 -newkey rsa:2048 -nodes -keyout /dev/null"
                   " -out mallory.pem -days 10 -subj '/CN=mallory'"));
    bobSha1_ = Sha1Hex(certs / "bob.pem");
    ASSERT_EQ(bobSha1_.size(), 40u);
    const char* saved = std::getenv("XDG_DATA_HOME");
    if (saved) savedXdg_ = saved;
    ::setenv("XDG_DATA_HOME", (dir_.path() / "xdg").c_str(), 1);

    const fs::path scenario = dir_.path() / "scenario.json";
    std::ofstream(scenario) << Scenario(bobSha1_);
    simulator_.emplace(kBin, scenario, dir_.path());
    ASSERT_TRUE(simulator_->ready()) << simulator_->output();
    ASSERT_TRUE(probe_.Discover());
  }
  void TearDown() override {
    if (savedXdg_) ::setenv("XDG_DATA_HOME", savedXdg_->c_str(), 1);
    else ::unsetenv("XDG_DATA_HOME");
  }

  CommandRun Connect(const std::vector<std::string>& args, const std::string& input) {
    std::vector<std::string> all = {"--data-dir", data_.path().string()};
    all.insert(all.end(), args.begin(), args.end());
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = RunConnectCommandWithInput(all, out, err, &in);
    return {status, out.str(), err.str()};
  }
  std::string AssociatedSsid() {
    NDIS_802_11_SSID ssid;
    EXPECT_TRUE(QuerySsid(probe_.Driver(), ssid));
    return std::string(NdisSsidText(ssid));
  }

  test::TempDir dir_, data_;
  test::ScopedMachineRoot root_{dir_.path()};
  std::optional<test::SimulatorProcess> simulator_;
  AdapterSession probe_{AdapterSessionOptions{}};
  std::string bobSha1_;
  std::optional<std::string> savedXdg_;
};

TEST_F(ConnectKindsTest, EachKindConnectsWithItsSecretAndFailsWithTheServicesReason) {
  const struct {
    const char* name;
    std::vector<std::string> args;
    const char* input;
    int status;
    const char* expected;  // in stdout when connected, in stderr otherwise
  } rows[] = {
      {"hidden by name", {"--hidden", "Orvane-Hidden"}, "hidden network\n", kExitOk,
       "Connected to \"Orvane-Hidden\" (02-5A-0F-10-00-0A, WPA2-PSK;AES)\n"},
      {"hidden chosen by BSSID", {"--hidden", "--bssid", "02:5a:0f:10:00:0a", "Orvane-Hidden"},
       "hidden network\n", kExitOk, "Connected to \"Orvane-Hidden\""},
      {"hidden with the wrong passphrase", {"--hidden", "Orvane-Hidden"}, "not the passphrase\n",
       kExitFailed, "(reason 0x48014)"},
      {"hidden needs --hidden", {"Orvane-Hidden"}, "hidden network\n", kExitFailed,
       "no network with this SSID is in range"},
      {"hidden BSSID not in range", {"--hidden", "--bssid", "02-5A-0F-10-00-99", "Orvane-Hidden"},
       "", kExitFailed, "neither a network with this SSID nor a hidden one is in range"},
      {"ad hoc WPA-None", {"Orvane-Cell"}, "cell passphrase\n", kExitOk,
       "Connected to \"Orvane-Cell\" (02-5A-0F-20-00-01, WPA-PSK;TKIP)"},
      {"LEAP", {"--eap", "leap", "--identity", "carol", "Orvane-Corp"}, "Carol-Pass-1\n", kExitOk,
       "Connected to \"Orvane-Corp\""},
      {"LEAP with the wrong password", {"--eap", "leap", "--identity", "carol", "Orvane-Corp"},
       "Alice-Pass-1\n", kExitFailed, "the connection attempt failed"},
      {"EAP-TLS by name", {"--eap", "tls", "--identity", "bob", "--certificate", "bob", "Orvane-Corp"},
       "", kExitOk, "Connected to \"Orvane-Corp\""},
      {"EAP-TLS by SHA-1", {"--eap", "tls", "--identity", "bob", "--certificate", "BOBSHA1", "Orvane-Corp"},
       "", kExitOk, "Connected to \"Orvane-Corp\""},
      {"EAP-TLS with a certificate the server does not know",
       {"--eap", "tls", "--identity", "bob", "--certificate", "mallory", "Orvane-Corp"}, "",
       kExitFailed, "the connection attempt failed"},
      {"EAP-TLS with no such certificate",
       {"--eap", "tls", "--identity", "bob", "--certificate", "nobody", "Orvane-Corp"}, "",
       kExitFailed, "no certificate of the personal folder"},
      {"EAP-TLS without --certificate", {"--eap", "tls", "--identity", "bob", "Orvane-Corp"}, "",
       kExitFailed, "EAP-TLS needs --certificate"},
      {"PEAP with GTC", {"--eap", "peap-gtc", "--identity", "erin", "Orvane-Corp"}, "Erin-Token-1\n",
       kExitOk, "Connected to \"Orvane-Corp\""},
      {"PEAP with GTC and the wrong password",
       {"--eap", "peap-gtc", "--identity", "erin", "Orvane-Corp"}, "Erin-Token-2\n", kExitFailed,
       "the connection attempt failed"},
      {"PEAP with GTC and another method's account",
       {"--eap", "peap-gtc", "--identity", "carol", "Orvane-Corp"}, "Carol-Pass-1\n", kExitFailed,
       "the connection attempt failed"},
      {"PEAP-TLS", {"--eap", "peap-tls", "--identity", "bob", "--certificate", "bob", "Orvane-Corp"},
       "", kExitOk, "Connected to \"Orvane-Corp\""},
      {"PEAP-TLS with a certificate the server does not know",
       {"--eap", "peap-tls", "--identity", "bob", "--certificate", "mallory", "Orvane-Corp"}, "",
       kExitFailed, "the connection attempt failed"},
      {"PEAP-TLS without --certificate", {"--eap", "peap-tls", "--identity", "bob", "Orvane-Corp"},
       "", kExitFailed, "PEAP-TLS needs --certificate"},
      // No input: EAP-FAST reads no password.
      {"EAP-FAST with the default outer identity", {"--eap", "fast", "Orvane-Corp"}, "", kExitOk,
       "Connected to \"Orvane-Corp\""},
      {"EAP-FAST with the outer identity in another case",
       {"--eap", "fast", "--outer-identity", "Anonymous", "Orvane-Corp"}, "", kExitOk,
       "Connected to \"Orvane-Corp\""},
      {"EAP-FAST with an outer identity the server does not know",
       {"--eap", "fast", "--outer-identity", "mallory", "Orvane-Corp"}, "", kExitFailed,
       "the connection attempt failed"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<std::string> args = row.args;
    for (std::string& arg : args) {
      if (arg == "BOBSHA1") arg = bobSha1_;
    }
    const CommandRun run = Connect(args, row.input);
    EXPECT_EQ(run.status, row.status) << run.out << run.err;
    const std::string& text = row.status == kExitOk ? run.out : run.err;
    EXPECT_NE(text.find(row.expected), std::string::npos) << text;
    if (row.status == kExitOk) EXPECT_EQ(AssociatedSsid(), args.back());
  }
}

// The service's reason reaches --json for the new methods as for the others: the EAP failure of
// an outer identity the server does not know, and the connection with a GTC password.
TEST_F(ConnectKindsTest, NewMethodsAnswerInJson) {
  CommandRun run = Connect({"--json", "--eap", "fast", "--outer-identity", "mallory", "Orvane-Corp"}, "");
  EXPECT_EQ(run.status, kExitFailed);
  EXPECT_NE(run.out.find("\"connected\": false,\n  \"result\": \"attempt-failed\",\n"
                         "  \"reason\": 327685,"),
            std::string::npos)
      << run.out;

  run = Connect({"--json", "--eap", "peap-gtc", "--identity", "erin", "Orvane-Corp"}, "Erin-Token-1\n");
  EXPECT_EQ(run.status, kExitOk) << run.out << run.err;
  EXPECT_NE(run.out.find("\"security\": \"WPA2;AES\",\n  \"connected\": true,\n"
                         "  \"result\": \"connected\",\n  \"reason\": null,"),
            std::string::npos)
      << run.out;
  EXPECT_EQ(AssociatedSsid(), "Orvane-Corp");
}

TEST_F(ConnectKindsTest, MethodsTheServerDoesNotTakeAreRefusedBeforeAnythingIsSent) {
  const struct {
    std::vector<std::string> args;
    const char* expected;
  } rows[] = {
      {{"--eap", "ttls"}, "--eap ttls: the wireless service takes no EAP-TTLS profile"},
      {{"--eap", "md5"}, "--eap md5: the wireless service takes no MD5-Challenge profile"},
      {{"--eap", "gtc"}, "--eap is peap, peap-gtc, peap-tls, tls, leap or fast"},
      {{"--outer-identity", "anonymous"}, "--outer-identity is EAP-FAST's (--eap fast)"},
      {{"--eap", "peap", "--outer-identity", "anonymous"}, "--outer-identity is EAP-FAST's"},
      {{"--bssid", "02:5A:0F:10:00:0A"}, "--bssid chooses among hidden networks"},
  };
  for (const auto& row : rows) {
    std::vector<std::string> args = row.args;
    args.insert(args.end(), {"--identity", "x", "Orvane-Corp"});
    SCOPED_TRACE(args[1]);
    const CommandRun run = Connect(args, "Alice-Pass-1\n");
    EXPECT_EQ(run.status, kExitUsage);
    EXPECT_NE(run.err.find(row.expected), std::string::npos) << run.err;
  }
  EXPECT_EQ(AssociatedSsid(), "") << "nothing was connected";
}

}  // namespace
}  // namespace ov::cli
