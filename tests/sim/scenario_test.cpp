// Scenario files: the shipped default loads as documented, and every malformed input is refused
// with a message that names the place.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "sim/scenario.h"
#include "tests/support/temp_dir.h"

namespace ov::sim {
namespace {

TEST(Scenario, DefaultFileDescribesOneWxp4PciAdapter) {
  Scenario scenario;
  std::string error;
  ASSERT_TRUE(LoadScenarioFile(std::string(OVUI_SOURCE_DIR) + "/data/scenarios/default.json",
                               &scenario, &error))
      << error;
  ASSERT_EQ(scenario.adapters.size(), 1u);
  const AdapterSpec& a = scenario.adapters[0];
  EXPECT_EQ(a.name, "wlan0");
  EXPECT_EQ(a.family, WXP4);
  EXPECT_EQ(a.hardwareId, "PCI\\VEN_0F5A&DEV_0601&SUBSYS_00010F5A");
  EXPECT_EQ(a.mac, (MacAddress{0x02, 0x5A, 0x0F, 0x00, 0x06, 0x01}));
  EXPECT_EQ(a.mac[0] & 0x03, 0x02);  // locally administered, unicast
  EXPECT_EQ(a.receiveChains, 3);
  EXPECT_TRUE(a.band5GHz);
  EXPECT_FALSE(a.friendlyName.empty());
  EXPECT_FALSE(a.deviceDescription.empty());
  // Derived identity: a GUID from the MAC, a PCI slot instance.
  EXPECT_EQ(a.guid, "{0F5A51D0-0000-4000-8000-025A0F000601}");
  EXPECT_EQ(a.instance, "4&0F000601&0&00E0");
  EXPECT_GE(scenario.accessPoints.size(), 14u);  // the kinds are checked in wlan_world_test
  ASSERT_EQ(a.apStations.size(), 2u);  // associated while it serves as an access point
  EXPECT_EQ(a.apStations[0].mac, (MacAddress{0x02, 0x5A, 0x0F, 0x30, 0x00, 0x01}));
  EXPECT_EQ(a.apStations[1].signalDbm, -66);
}

const char* kMinimalAdapter = R"({
  "name": "usb0", "chip_family": 7, "hardware_id": "USB\\VID_0F5A&PID_0701",
  "device_description": "USB stick", "mac": "02-5a-0f-00-07-01",
  "receive_chains": 1, "band_5ghz": false })";

TEST(Scenario, OptionalFieldsTakeTheirDefaults) {
  Scenario scenario;
  std::string error;
  std::string json = std::string(R"({"adapters": [)") + kMinimalAdapter +
                     R"(], "access_points": [{"ssid": "later", "bssid": "02:5A:0F:10:00:99", "channel": 6}]})";
  ASSERT_TRUE(ParseScenario(json, &scenario, &error)) << error;
  const AdapterSpec& a = scenario.adapters[0];
  EXPECT_EQ(a.family, WXU4);
  EXPECT_EQ(a.mac, (MacAddress{0x02, 0x5A, 0x0F, 0x00, 0x07, 0x01}));
  EXPECT_EQ(a.friendlyName, "");
  EXPECT_EQ(a.startupDelayMs, 0u);
  EXPECT_EQ(a.signalDbm, -55);
  EXPECT_EQ(a.manufacturer, "Orvane");
  EXPECT_EQ(a.instance, "025A0F000701");  // a USB device is named after its serial number
  EXPECT_EQ(a.guid, "{0F5A51D0-0000-4000-8000-025A0F000701}");
  ASSERT_EQ(scenario.accessPoints.size(), 1u);
  EXPECT_EQ(scenario.accessPoints[0].ssid, "later");
}

struct BadCase {
  const char* name;
  std::string json;
  const char* message;  // a part of the error text
};

// An adapter object with some fields replaced, added, or (value nullptr) removed.
std::string Adapter(std::vector<std::pair<std::string, const char*>> overrides) {
  std::vector<std::pair<std::string, std::string>> fields = {
      {"name", "\"wlan0\""},
      {"chip_family", "\"WXP4\""},
      {"hardware_id", R"("PCI\\VEN_0F5A&DEV_0601")"},
      {"device_description", "\"card\""},
      {"mac", "\"02:5A:0F:00:06:01\""},
      {"receive_chains", "2"},
      {"band_5ghz", "true"},
  };
  for (const auto& [key, value] : overrides) {
    auto it = std::find_if(fields.begin(), fields.end(), [&](const auto& f) { return f.first == key; });
    if (it == fields.end()) {
      if (value) fields.emplace_back(key, value);
    } else if (value) {
      it->second = value;
    } else {
      fields.erase(it);
    }
  }
  std::string out = "{";
  for (const auto& [key, value] : fields) {
    if (out.size() > 1) out += ", ";
    out += "\"" + key + "\": " + value;
  }
  return out + "}";
}

std::string WithField(const char* key, const char* value) { return Adapter({{key, value}}); }

std::string One(const std::string& adapter) { return "{\"adapters\": [" + adapter + "]}"; }
std::string Two(const std::string& first, const std::string& second) {
  return "{\"adapters\": [" + first + ", " + second + "]}";
}

std::vector<BadCase> BadCases() {
  std::string a = Adapter({});
  return {
      {"not JSON", "{\"adapters\": [", "not valid JSON at line 1"},
      {"trailing comma", "{\"adapters\": [],}", "not valid JSON"},
      {"top level array", "[]", "must be a JSON object"},
      {"no adapters", "{}", "adapters: missing"},
      {"adapters not an array", "{\"adapters\": {}}", "adapters: must be an array"},
      {"adapter not an object", "{\"adapters\": [3]}", "adapters[0]: must be an object"},
      {"unknown top-level field", "{\"adapters\": [], \"adaptors\": []}", "unknown field \"adaptors\""},
      {"access points not an array", "{\"adapters\": [], \"access_points\": 1}", "access_points: must be an array"},
      {"access point with a bad field", R"({"adapters": [], "access_points": [{"ssid": "a", "bssid": "02:00:00:00:00:01", "channel": 99}]})", "access_points[0].channel: 99 is no channel"},
      {"access points with one BSSID", R"({"adapters": [], "access_points": [{"ssid": "a", "bssid": "02:00:00:00:00:01", "channel": 1}, {"ssid": "b", "bssid": "02:00:00:00:00:01", "channel": 6}]})", "access_points[1].bssid: 02:00:00:00:00:01 is used already as access_points[0]"},
      {"missing name", One(WithField("name", nullptr)), "adapters[0].name: missing"},
      {"missing family", One(WithField("chip_family", nullptr)), "chip_family: missing"},
      {"missing hardware id", One(WithField("hardware_id", nullptr)), "hardware_id: missing"},
      {"missing description", One(WithField("device_description", nullptr)), "device_description: missing"},
      {"missing mac", One(WithField("mac", nullptr)), "mac: missing"},
      {"missing chains", One(WithField("receive_chains", nullptr)), "receive_chains: missing"},
      {"missing band", One(WithField("band_5ghz", nullptr)), "band_5ghz: missing"},
      {"misspelt field", One(WithField("recieve_chains", "2")), "unknown field \"recieve_chains\""},
      {"bad name", One(WithField("name", "\"wlan 0\"")), "name: \"wlan 0\" must be"},
      {"unknown extension behaviour", One(WithField("ihv_diagnostics", "\"mute\"")), "ihv_diagnostics: \"mute\" must be \"answer\" or \"silent\""},
      {"bad family name", One(WithField("chip_family", "\"WXP9\"")), "chip_family: \"WXP9\" is no chip family"},
      {"family out of range", One(WithField("chip_family", "11")), "chip_family: 11 is no chip family"},
      {"family not a whole number", One(WithField("chip_family", "6.5")), "is no chip family"},
      {"bus does not match family", One(WithField("hardware_id", R"("USB\\VID_0F5A&PID_0601")")), "is a PCI adapter but the identifier is on USB"},
      {"hardware id without bus", One(WithField("hardware_id", "\"VEN_0F5A\"")), "hardware_id: \"VEN_0F5A\" must be"},
      {"hardware id nested", One(WithField("hardware_id", R"("PCI\\VEN\\X")")), "must be PCI"},
      {"mac too short", One(WithField("mac", "\"02:5A:0F:00:06\"")), "is not a MAC address"},
      {"mac bad digit", One(WithField("mac", "\"02:5A:0F:00:06:0G\"")), "is not a MAC address"},
      {"mac mixed separators", One(WithField("mac", "\"02:5A-0F:00:06:01\"")), "is not a MAC address"},
      {"mac group address", One(WithField("mac", "\"01:00:5E:00:00:01\"")), "is a group address"},
      {"mac all zero", One(WithField("mac", "\"00:00:00:00:00:00\"")), "all-zero"},
      {"mac not a string", One(WithField("mac", "12")), "mac: must be a string"},
      {"no chains", One(WithField("receive_chains", "0")), "receive_chains: must be a whole number from 1 to 3"},
      {"four chains", One(WithField("receive_chains", "4")), "from 1 to 3"},
      {"band not bool", One(WithField("band_5ghz", "\"yes\"")), "band_5ghz: must be true or false"},
      {"negative delay", One(WithField("startup_delay_ms", "-1")), "startup_delay_ms: must be a whole number"},
      {"signal above 0", One(WithField("signal_dbm", "3")), "signal_dbm: must be"},
      {"bad guid", One(WithField("guid", "\"{1234}\"")), "guid: \"{1234}\" is not a GUID"},
      {"instance with backslash", One(WithField("instance", R"("a\\b")")), "instance:"},
      {"empty compatible id", One(WithField("compatible_ids", "[\"\"]")), "compatible_ids:"},
      {"duplicate names", Two(a, WithField("mac", "\"02:5A:0F:00:06:02\"")), "adapters[1].name: \"wlan0\" is used already as adapters[0]"},
      {"duplicate names ignoring case", Two(a, Adapter({{"name", "\"WLAN0\""}, {"mac", "\"02:5A:0F:00:06:03\""}})), "adapters[1].name: \"WLAN0\" is used already"},
      {"duplicate mac", Two(a, WithField("name", "\"wlan1\"")), "adapters[1].mac: 02:5A:0F:00:06:01 is used already"},
      {"duplicate guid ignoring case", Two(Adapter({{"guid", "\"{0F5A51D0-0000-4000-8000-0000000000AB}\""}}), Adapter({{"name", "\"w2\""}, {"mac", "\"02:5A:0F:00:06:04\""}, {"guid", "\"{0f5a51d0-0000-4000-8000-0000000000ab}\""}})), "adapters[1].guid: {0F5A51D0-0000-4000-8000-0000000000AB} is used already"},
      {"stations not an array", One(WithField("ap_stations", "{}")), "adapters[0].ap_stations: must be an array"},
      {"station not an object", One(WithField("ap_stations", "[1]")), "ap_stations[0]: must be an object"},
      {"station without mac", One(WithField("ap_stations", "[{\"signal_dbm\": -40}]")), "ap_stations[0].mac: must be a unicast MAC"},
      {"station group mac", One(WithField("ap_stations", "[{\"mac\": \"01:00:5E:00:00:01\"}]")), "ap_stations[0].mac: must be a unicast MAC"},
      {"station listed twice", One(WithField("ap_stations", "[{\"mac\": \"02:00:00:00:00:01\"}, {\"mac\": \"02-00-00-00-00-01\"}]")), "ap_stations[1].mac: 02:00:00:00:00:01 is listed twice"},
      {"station signal above 0", One(WithField("ap_stations", "[{\"mac\": \"02:00:00:00:00:01\", \"signal_dbm\": 1}]")), "ap_stations[0].signal_dbm: must be a whole number from -120 to 0"},
      {"station misspelt field", One(WithField("ap_stations", "[{\"mac\": \"02:00:00:00:00:01\", \"signal\": -3}]")), "ap_stations[0]: unknown field \"signal\""},
      {"duplicate instance of one device", Two(Adapter({{"instance", "\"X\""}}), Adapter({{"name", "\"w2\""}, {"mac", "\"02:5A:0F:00:06:04\""}, {"instance", "\"x\""}})), "adapters[1].instance: \"x\" of PCI\\VEN_0F5A&DEV_0601 is used already"},
  };
}

TEST(Scenario, AtMostThirtyTwoStationsAssociate) {
  auto stations = [](size_t count) {
    std::string list = "[";
    for (size_t i = 0; i < count; ++i) {
      char mac[64];
      std::snprintf(mac, sizeof mac, "%s{\"mac\": \"02:00:00:00:01:%02X\"}", i ? ", " : "", static_cast<unsigned>(i));
      list += mac;
    }
    return list + "]";
  };
  Scenario scenario;
  std::string error;
  ASSERT_TRUE(ParseScenario(One(WithField("ap_stations", stations(kMaxApStations).c_str())), &scenario, &error)) << error;
  EXPECT_EQ(scenario.adapters[0].apStations.size(), kMaxApStations);
  EXPECT_EQ(scenario.adapters[0].apStations.back().signalDbm, -60);  // the default
  EXPECT_FALSE(ParseScenario(One(WithField("ap_stations", stations(kMaxApStations + 1).c_str())), &scenario, &error));
  EXPECT_NE(error.find("ap_stations: at most 32 stations"), std::string::npos) << error;
}

TEST(Scenario, MalformedInputIsRefusedWithAClearMessage) {
  for (const BadCase& c : BadCases()) {
    SCOPED_TRACE(c.name);
    Scenario scenario;
    scenario.accessPoints.resize(1);
    scenario.accessPoints[0].ssid = "untouched";
    std::string error;
    EXPECT_FALSE(ParseScenario(c.json, &scenario, &error)) << c.json;
    EXPECT_NE(error.find(c.message), std::string::npos) << "message: " << error;
    ASSERT_EQ(scenario.accessPoints.size(), 1u);  // nothing half-filled
    EXPECT_EQ(scenario.accessPoints[0].ssid, "untouched");
  }
}

TEST(Scenario, MissingFileIsAnError) {
  Scenario scenario;
  std::string error;
  EXPECT_FALSE(LoadScenarioFile("/nonexistent/scenario.json", &scenario, &error));
  EXPECT_EQ(error, "cannot read the scenario file");
}

TEST(Scenario, FileThatIsNotARegularFileIsRefusedUnread) {
  test::TempDir dir;
  const std::string fifo = dir.file("pipe.json");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const struct {
    const char* name;
    std::string path;
  } rows[] = {{"folder", dir.path().string()}, {"FIFO", fifo}, {"endless device", "/dev/zero"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Scenario scenario;
    std::string error;
    EXPECT_FALSE(LoadScenarioFile(row.path, &scenario, &error));
    EXPECT_EQ(error, "cannot read the scenario file: it is not a regular file");
  }
}

TEST(Scenario, MacAddressesParseInEitherNotation) {
  EXPECT_EQ(ParseMac("02:5a:0F:00:06:01"), (MacAddress{2, 0x5A, 0x0F, 0, 6, 1}));
  EXPECT_EQ(ParseMac("02-5A-0F-00-06-01"), (MacAddress{2, 0x5A, 0x0F, 0, 6, 1}));
  for (const char* bad : {"", "02:5A:0F:00:06:01:", "025A0F000601", "02:5A:0F:00:06: 1",
                          "02.5A.0F.00.06.01"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(ParseMac(bad).has_value());
  }
  EXPECT_EQ(FormatMac({2, 0x5A, 0x0F, 0, 6, 1}, '-'), "02-5A-0F-00-06-01");
}

}  // namespace
}  // namespace ov::sim
