// `ovuictl scan` against the real ovsimd: a row per network of the scenario, the JSON form, and
// its failures.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli.h"
#include "cli/scan_command.h"
#include "sim/scenario.h"
#include "tests/support/simulator_process.h"
#include "tests/support/temp_dir.h"

namespace ov::cli {
namespace {

namespace fs = std::filesystem;

const fs::path kDefaultScenario = fs::path(OVUI_SOURCE_DIR) / "data/scenarios/default.json";

struct CommandRun {
  int status;
  std::string out;
  std::string err;
};

CommandRun Scan(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = RunScanCommand(args, out, err);
  return {status, out.str(), err.str()};
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class ScanCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(sim::LoadScenarioFile(kDefaultScenario.string(), &scenario_, &error)) << error;
    simulator_.emplace(OVUI_BIN_DIR, kDefaultScenario, dir_.path());
    ASSERT_TRUE(simulator_->ready()) << simulator_->output();
  }

  test::TempDir dir_;
  test::ScopedMachineRoot root_{dir_.path()};
  sim::Scenario scenario_;
  std::optional<test::SimulatorProcess> simulator_;
};

TEST_F(ScanCommandTest, ARowPerNetworkLikeTheSiteSurvey) {
  const CommandRun run = Scan({});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_EQ(run.err, "");
  const auto lines = Lines(run.out);
  ASSERT_EQ(lines.size(), scenario_.accessPoints.size() + 2) << run.out;
  EXPECT_EQ(lines.front().rfind("SSID", 0), 0u);
  EXPECT_EQ(lines.back(), std::to_string(scenario_.accessPoints.size()) +
                              " BSSs on \"Orvane WXP4 Wireless LAN PCI Adapter\"");
  auto row = [&](const std::string& bssid) -> std::string {
    for (const std::string& line : lines) {
      if (line.find(bssid) != std::string::npos) return line;
    }
    return "";
  };
  // The two 802.11n networks with their security, and the hidden one without a name.
  const std::string wpa2 = row("02-5A-0F-10-00-05");
  EXPECT_EQ(wpa2.rfind("Orvane-WPA2-AES ", 0), 0u) << wpa2;
  EXPECT_NE(wpa2.find("  6 "), std::string::npos) << wpa2;
  EXPECT_NE(wpa2.find("WPA2-PSK / AES"), std::string::npos) << wpa2;
  EXPECT_EQ(wpa2.substr(wpa2.size() - 3), "yes") << wpa2;
  const std::string fiveGhz = row("02-5A-0F-10-00-0C");
  EXPECT_NE(fiveGhz.find(" 36 "), std::string::npos) << fiveGhz;
  const std::string pbc = row("02-5A-0F-10-00-0D");
  EXPECT_NE(pbc.find(" yes  yes"), std::string::npos) << "WPS and HT: " << pbc;
  const std::string hidden = row("02-5A-0F-10-00-0A");
  EXPECT_EQ(hidden.rfind(std::string(33, ' ') + "02-5A-0F-10-00-0A", 0), 0u) << hidden;
  for (const auto& ap : scenario_.accessPoints) {
    EXPECT_NE(run.out.find(ap.hidden ? "02-5A-0F-10-00-0A" : ap.ssid), std::string::npos) << ap.ssid;
  }
}

TEST_F(ScanCommandTest, JsonGivesEveryDecodedForm) {
  const CommandRun run = Scan({"--json", "--adapter", "Orvane WXP4 Wireless LAN PCI Adapter"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_NE(run.out.find("\"adapter\": \"Orvane WXP4 Wireless LAN PCI Adapter\""), std::string::npos);
  EXPECT_NE(run.out.find("\"interface\": \"{0F5A51D0-0000-4000-8000-025A0F000601}\""), std::string::npos);
  size_t entries = 0;
  for (size_t at = 0; (at = run.out.find("\"forms\": {", at)) != std::string::npos; ++at) ++entries;
  EXPECT_EQ(entries, scenario_.accessPoints.size());
  EXPECT_NE(run.out.find("\"ssid\": \"Orvane-5G-HT40\",\n      \"bssid\": \"02-5A-0F-10-00-0C\",\n"
                         "      \"channel\": 36,\n      \"dsConfigKHz\": 5180000"),
            std::string::npos)
      << run.out;
  ASSERT_GE(run.out.size(), 7u);
  EXPECT_EQ(run.out.substr(run.out.size() - 7), "\n  ]\n}\n");
}

TEST_F(ScanCommandTest, ArgumentsAndFailures) {
  const struct {
    const char* name;
    std::vector<std::string> args;
    int status;
    const char* errContains;
  } cases[] = {
      {"unknown option", {"--fast"}, kExitUsage, "unknown argument \"--fast\""},
      {"adapter without a name", {"--adapter"}, kExitUsage, "unknown argument \"--adapter\""},
      {"adapter the service does not have", {"--adapter", "Orvane WXP9"}, kExitFailed,
       "no interface for \"Orvane WXP9\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const CommandRun run = Scan(c.args);
    EXPECT_EQ(run.status, c.status);
    EXPECT_NE(run.err.find(c.errContains), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
  }
  EXPECT_EQ(Scan({"--help"}).status, kExitOk);
}

TEST(ScanCommand, WithoutAServiceItSaysSo) {
  test::TempDir dir;
  test::ScopedMachineRoot root(dir.path());
  std::ostringstream out, err;
  EXPECT_EQ(RunScanCommand({"--adapter", "Orvane WXP4 Wireless LAN PCI Adapter"}, out, err), kExitFailed);
  EXPECT_NE(err.str().find("does not answer"), std::string::npos) << err.str();
}

}  // namespace
}  // namespace ov::cli
