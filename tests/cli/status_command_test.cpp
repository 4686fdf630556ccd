// `ovuictl status` against the real simulator: the adapter is found as the utility finds it and
// the driver's answers are shown.
#include <gtest/gtest.h>

#include "tests/support/simulator_process.h"
#include "tests/support/temp_dir.h"

namespace ov {
namespace {

const std::filesystem::path kBin = OVUI_BIN_DIR;

std::string RunStatus(const std::filesystem::path& root, const std::vector<std::string>& args,
                      int* exitCode) {
  std::string out;
  *exitCode = test::RunProgram(kBin / "ovuictl", args, root, &out);
  return out;
}

TEST(StatusCommand, ShowsTheSimulatedAdapter) {
  test::TempDir root;
  test::SimulatorProcess sim(kBin, std::filesystem::path(OVUI_SOURCE_DIR) /
                                       "data/scenarios/default.json", root.path());
  ASSERT_TRUE(sim.ready()) << sim.output();

  int code = -1;
  std::string json = RunStatus(root.path(), {"status", "--json"}, &code);
  EXPECT_EQ(code, 0) << json;
  for (const char* expected :
       {"\"chip_family\": 6", "\"chip_family_name\": \"WXP4\"", "\"is_usb\": false",
        "\"hardware_id\": \"PCI\\\\VEN_0F5A&DEV_0601\"", "\"ht_capable\": true",
        "\"device_path\": \"\\\\\\\\.\\\\{", "\"link_status\": {", "\"country_region\": {"}) {
    EXPECT_NE(json.find(expected), std::string::npos) << "missing " << expected << " in\n" << json;
  }
  // Three receive chains, each answering with a reading.
  EXPECT_EQ(json.find("\"rssi_dbm\": [null"), std::string::npos) << json;
  EXPECT_EQ(json.find(", null]"), std::string::npos) << json;

  std::string text = RunStatus(root.path(), {"status"}, &code);
  EXPECT_EQ(code, 0);
  EXPECT_NE(text.find("Chip family:      6 (WXP4, PCI)"), std::string::npos) << text;
}

TEST(StatusCommand, ReportsNoAdapterOnAnEmptyMachine) {
  test::TempDir root;
  int code = -1;
  std::string json = RunStatus(root.path(), {"status", "--json"}, &code);
  EXPECT_EQ(code, 0);
  EXPECT_NE(json.find("\"adapter\": null"), std::string::npos) << json;
  EXPECT_NE(json.find("\"os_version_code\": 11"), std::string::npos) << json;
  std::string usage = RunStatus(root.path(), {"status", "--bogus"}, &code);
  EXPECT_EQ(code, 2);
}

}  // namespace
}  // namespace ov
