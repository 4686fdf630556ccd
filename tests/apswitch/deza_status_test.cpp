// What the access-point utility makes of the simulator's station list and of a device path.
#include <gtest/gtest.h>

#include "siblings/deza/ap_status.h"

namespace ov::deza {
namespace {

TEST(DezaStatus, StationRepliesAreReadOrRefusedWithTheReason) {
  using Stations = std::vector<std::pair<std::string, int32_t>>;
  const struct {
    const char* reply;
    std::optional<Stations> stations;
    const char* why;
  } cases[] = {
      {"ok", Stations{}, ""},
      {"ok 02:5a:0f:30:00:01/-41 02-5A-0F-30-00-0A/0",
       Stations{{"02-5A-0F-30-00-01", -41}, {"02-5A-0F-30-00-0A", 0}}, ""},
      {"ok  02:5A:0F:30:00:01/-120 ", Stations{{"02-5A-0F-30-00-01", -120}}, ""},
      {"error wlan0 is a station, not an access point", std::nullopt,
       "wlan0 is a station, not an access point"},
      {"", std::nullopt, "unexpected answer: "},
      {"okay", std::nullopt, "unexpected answer: okay"},
      {"ok 02:5A:0F:30:00:01", std::nullopt, "unexpected station entry: 02:5A:0F:30:00:01"},
      {"ok 02:5A:0F:30:00:01/-121", std::nullopt, "unexpected station entry: 02:5A:0F:30:00:01/-121"},
      {"ok 02:5A:0F:30:00:01/5", std::nullopt, "unexpected station entry: 02:5A:0F:30:00:01/5"},
      {"ok 02:5A:0F:30:00:01/-4x", std::nullopt, "unexpected station entry: 02:5A:0F:30:00:01/-4x"},
      {"ok 02:5A:0F:30:00/-40", std::nullopt, "unexpected station entry: 02:5A:0F:30:00/-40"},
      {"ok 02:5A:0F:30:00:0G/-40", std::nullopt, "unexpected station entry: 02:5A:0F:30:00:0G/-40"},
      {"ok 02.5A.0F.30.00.01/-40", std::nullopt, "unexpected station entry: 02.5A.0F.30.00.01/-40"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reply);
    std::string why;
    auto parsed = ParseStationsReply(c.reply, &why);
    ASSERT_EQ(parsed.has_value(), c.stations.has_value()) << why;
    EXPECT_EQ(why, c.why);
    if (!parsed) continue;
    Stations got;
    for (const AssociatedStation& s : *parsed) got.emplace_back(s.mac, s.signalDbm);
    EXPECT_EQ(got, *c.stations);
  }
}

TEST(DezaStatus, InstanceIdComesOnlyFromADevicePath) {
  const struct {
    const char* path;
    const char* id;
  } cases[] = {
      {"\\\\.\\{0F5A51D0-0000-4000-8000-025A0F000601}", "{0F5A51D0-0000-4000-8000-025A0F000601}"},
      {"{0F5A51D0-0000-4000-8000-025A0F000601}", ""},
      {"\\\\.\\wlan0", ""},
      {"\\\\.\\{}", ""},
      {"\\\\.\\{x", ""},
      {"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(InstanceIdOfDevicePath(c.path), c.id);
  }
}

TEST(DezaStatus, TextSaysWhatIsKnownAndWhyTheRestIsNot) {
  AccessPointStatus serving{AdapterMode::AccessPoint, "SoftAP-01", 6u,
                            std::vector<AssociatedStation>{{"02-5A-0F-30-00-01", -48}}, ""};
  AccessPointStatus blind{AdapterMode::AccessPoint, "", std::nullopt, std::nullopt,
                          "ovsimd is not running (nothing listens on /run/ovui/ovsimd.ctl)"};
  const struct {
    const char* name;
    AccessPointStatus status;
    const char* text;
  } cases[] = {
      {"absent", {}, "Adapter: not present\n"},
      {"serving", serving,
       "Mode: access point\nSSID: SoftAP-01\nChannel: 6\nStations: 1\n  02-5A-0F-30-00-01 -48 dBm\n"},
      {"stations unknown", blind,
       "Mode: access point\nSSID: (none)\nChannel: (none)\nStations: unknown (ovsimd is not running "
       "(nothing listens on /run/ovui/ovsimd.ctl))\n"},
      {"station mode", {AdapterMode::Station, "Home", 11u, std::nullopt, ""},
       "Mode: station\nSSID: Home\nChannel: 11\n"},
      {"silent driver", {AdapterMode::NoAnswer, "", std::nullopt, std::nullopt, ""},
       "Mode: unknown (the driver does not answer)\nSSID: (none)\nChannel: (none)\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(StatusText(c.status), c.text);
  }
}

}  // namespace
}  // namespace ov::deza
