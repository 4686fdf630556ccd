// `ovuictl wps pbc|pin` against the real simulator: a push-button run that ends connected with
// the access point's credential stored, and runs that end with the status's reason.
#include <gtest/gtest.h>

#include <ostream>

#include <optional>
#include <sstream>

#include "cli/adapter_session.h"
#include "cli/cli.h"
#include "cli/wps_command.h"
#include "driver/oid/oid_requests.h"
#include "tests/support/simulator_process.h"
#include "tests/support/temp_dir.h"
#include "wps/wps_store.h"

namespace ov::cli {
namespace {

namespace fs = std::filesystem;
const fs::path kBin = OVUI_BIN_DIR;
const fs::path kDefaultScenario = fs::path(OVUI_SOURCE_DIR) / "data/scenarios/default.json";
const fs::path kTwoPushButtons = fs::path(OVUI_SOURCE_DIR) / "tests/wpsrun/two_push_buttons.json";

struct CommandRun {
  int status = 0;
  std::string out;
  std::string err;
};

class WpsRunTest : public ::testing::Test {
 protected:
  void Start(const fs::path& scenario) {
    simulator_.emplace(kBin, scenario, dir_.path());
    ASSERT_TRUE(simulator_->ready()) << simulator_->output();
  }
  CommandRun Wps(std::vector<std::string> args) {
    args.insert(args.begin(), {"--data-dir", data_.path().string() + "/"});
    std::ostringstream out, err;
    const int status = RunWpsCommand(args, out, err);
    return {status, out.str(), err.str()};
  }
  std::string AssociatedSsid() {
    AdapterSession probe{AdapterSessionOptions{}};
    if (!probe.Discover()) return "<no adapter>";
    NDIS_802_11_SSID ssid;
    if (!QuerySsid(probe.Driver(), ssid)) return "<no answer>";
    return std::string(NdisSsidText(ssid));
  }

  test::TempDir dir_, data_;
  test::ScopedMachineRoot root_{dir_.path()};
  std::optional<test::SimulatorProcess> simulator_;
};

TEST_F(WpsRunTest, PushButtonRunEndsConnectedWithTheStoredCredential) {
  Start(kDefaultScenario);
  const CommandRun run = Wps({"pbc"});
  ASSERT_EQ(run.status, kExitOk) << run.out << run.err;
  // Progress in order, through the enrollee's messages, to the credential.
  const std::vector<std::string> steps = {"Start PBC connection", "PBC - Scanning AP  (10 %)",
                                          "PBC - Sending M1  (40 %)", "PBC - Received M8  (85 %)",
                                          "PBC - Get WPS profile successfully.  (100 %)",
                                          "Connected to \"Orvane-WPS-PBC\""};
  size_t at = 0;
  for (const std::string& step : steps) {
    const size_t found = run.out.find(step, at);
    ASSERT_NE(found, std::string::npos) << "expected \"" << step << "\" after offset " << at
                                        << " in:\n" << run.out;
    at = found;
  }
  EXPECT_EQ(AssociatedSsid(), "Orvane-WPS-PBC");

  const CommandRun list = Wps({"list"});
  ASSERT_EQ(list.status, kExitOk) << list.err;
  EXPECT_NE(list.out.find("WPS credential in use: yes"), std::string::npos) << list.out;
  EXPECT_NE(list.out.find("0  Orvane-WPS-PBC  WPA2-PSK / AES  key index 0, 15 characters  02-5A-0F-10-00-0D"),
            std::string::npos) << list.out;
}

struct FailedRunRow {
  const char* name;
  std::vector<std::string> args;
  int status;
  const char* lastProgress;  // in the output
  const char* error;         // in the error output
};

void PrintTo(const FailedRunRow& row, std::ostream* os) { *os << row.name; }

class WpsFailedRun : public WpsRunTest, public ::testing::WithParamInterface<FailedRunRow> {};

TEST_P(WpsFailedRun, EndsWithTheStatusReason) {
  Start(kTwoPushButtons);
  const FailedRunRow& r = GetParam();
  const CommandRun run = Wps(r.args);
  EXPECT_EQ(run.status, r.status) << run.out << run.err;
  EXPECT_NE(run.out.find(r.lastProgress), std::string::npos) << run.out;
  EXPECT_NE(run.err.find(r.error), std::string::npos) << run.err;
  EXPECT_EQ(run.out.find("Connected"), std::string::npos) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WpsFailedRun,
    ::testing::Values(
        FailedRunRow{"TwoPushButtonAps", {"pbc"}, kExitFailed, "PBC - Too many PBC AP available",
                     "status 257 (Too many PBC AP available)"},
        FailedRunRow{"WrongPin", {"pin", "49537109", "02:5A:0F:10:00:0E"}, kExitFailed,
                     "PIN - Error PIN Code (R-Hash mismatch)", "status 262"},
        FailedRunRow{"PinWithBadChecksumNeverStarts", {"pin", "12345671"}, kExitUsage, "",
                     "Pin Code error"},
        FailedRunRow{"PushButtonAtAPinAccessPoint", {"pbc", "02:5A:0F:10:00:0E"}, kExitFailed, "",
                     "does not offer push-button setup"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WpsRunTest, RightPinAtTheAccessPointsRegistrarConnects) {
  Start(kTwoPushButtons);
  const CommandRun run = Wps({"pin", "12345670", "02-5A-0F-10-00-0E"});
  ASSERT_EQ(run.status, kExitOk) << run.out << run.err;
  EXPECT_NE(run.out.find("Start PIN connection - Orvane-WPS-PIN"), std::string::npos) << run.out;
  EXPECT_EQ(AssociatedSsid(), "Orvane-WPS-PIN");
}

}  // namespace
}  // namespace ov::cli
