// The simulated driver's WPS runs: the status codes a start walks through, how it ends for the
// world it meets, and the access point's credentials in the table after success.
#include <gtest/gtest.h>

#include <ostream>

#include "driver/ndis_types.h"
#include "driver/oid/oid_requests.h"
#include "platform/time/virtual_clock.h"
#include "sim/simulated_adapter.h"
#include "sim/wps_registration.h"
#include "tests/sim/sim_test_support.h"
#include "wps/wps_status_text.h"
#include "wpspages/wps_ap_rows.h"

namespace ov::sim {
namespace {

using namespace wps_status;

AccessPointSpec Ap(std::string ssid, uint8_t last, WpsMode wps, uint32_t channel = 6) {
  AccessPointSpec ap;
  ap.ssid = std::move(ssid);
  ap.bssid = {0x02, 0x5A, 0x0F, 0x10, 0x00, last};
  ap.channel = channel;
  ap.security = ApSecurity::Wpa2Psk;
  ap.passphrase = "secret passphrase";
  ap.wps = wps;
  return ap;
}

WpsStart Pbc(uint8_t role = WPS_ROLE_ENROLLEE) { return MakePbcStart(role); }

// The start record the utility makes for the access point's row in the AP list.
WpsStart PinAt(const AccessPointSpec& ap, uint32_t pin, uint8_t role) {
  WpsApRow row;
  row.ssid = ap.ssid;
  std::copy(ap.bssid.begin(), ap.bssid.end(), row.bssid.begin());
  row.channel = ap.channel;
  return MakePinStart(row, pin, role);
}

std::vector<uint32_t> Codes(const WpsRunPlan& plan) {
  std::vector<uint32_t> codes;
  for (const auto& step : plan.steps) codes.push_back(step.second);
  return codes;
}

struct PlanRow {
  const char* name;
  std::vector<AccessPointSpec> world;
  WpsStart start;
  uint32_t lastCode;
  bool credential;
  int64_t endsAtMs;  // -1: before the walk time
};

void PrintTo(const PlanRow& row, std::ostream* os) { *os << row.name; }

class WpsPlan : public ::testing::TestWithParam<PlanRow> {};

TEST_P(WpsPlan, EndsAsTheWorldSays) {
  const PlanRow& r = GetParam();
  const WpsRunPlan plan = PlanWpsRun(r.start, r.world);
  ASSERT_FALSE(plan.steps.empty());
  EXPECT_EQ(plan.steps.back().second, r.lastCode);
  EXPECT_EQ(plan.credential.has_value(), r.credential);
  EXPECT_EQ(plan.pinSession, r.start.Mode == WPS_START_MODE_PIN);
  if (r.endsAtMs >= 0) {
    EXPECT_EQ(plan.steps.back().first, r.endsAtMs);
  } else {
    EXPECT_LT(plan.steps.back().first, kWpsWalkTimeMs);
  }
  for (size_t i = 1; i < plan.steps.size(); ++i) {
    EXPECT_LT(plan.steps[i - 1].first, plan.steps[i].first) << "steps in time order";
  }
}

const AccessPointSpec kPbcAp = Ap("Push", 0x0D, WpsMode::PushButton);
const AccessPointSpec kPinAp = [] {
  AccessPointSpec ap = Ap("Pin", 0x0E, WpsMode::Pin, 11);
  ap.wpsPin = "12345670";
  return ap;
}();
const AccessPointSpec kAnyPinAp = Ap("AnyPin", 0x0F, WpsMode::Pin);
const AccessPointSpec kPlainAp = Ap("Plain", 0x01, WpsMode::Off);

INSTANTIATE_TEST_SUITE_P(
    Rows, WpsPlan,
    ::testing::Values(
        PlanRow{"PbcOneAp", {kPlainAp, kPbcAp, kPinAp}, Pbc(), kSuccess, true, -1},
        PlanRow{"PbcTwoAps", {kPbcAp, Ap("Push2", 0x1D, WpsMode::PushButton)}, Pbc(), kTooManyPbcAps, false, -1},
        PlanRow{"PbcNoneWaitsTheWalkTime", {kPlainAp, kPinAp}, Pbc(), kNoPbcAp, false, kWpsWalkTimeMs},
        PlanRow{"PinRight", {kPinAp}, PinAt(kPinAp, 12345670, WPS_ROLE_ENROLLEE), kSuccess, true, -1},
        PlanRow{"PinWrong", {kPinAp}, PinAt(kPinAp, 49537109, WPS_ROLE_ENROLLEE), kWrongPin, false, -1},
        PlanRow{"RegistrarPinWrong", {kPinAp}, PinAt(kPinAp, 49537109, WPS_ROLE_REGISTRAR), kWrongPin, false, -1},
        PlanRow{"RegistrarPinRight", {kPinAp}, PinAt(kPinAp, 12345670, WPS_ROLE_REGISTRAR), kSuccess, true, -1},
        PlanRow{"AnyValidPinTaken", {kAnyPinAp}, PinAt(kAnyPinAp, 49537109, WPS_ROLE_ENROLLEE), kSuccess, true, -1},
        PlanRow{"BadChecksumRefused", {kAnyPinAp}, PinAt(kAnyPinAp, 12345671, WPS_ROLE_ENROLLEE), kWrongPin, false, -1},
        PlanRow{"PinAtPushButtonAp", {kPbcAp}, PinAt(kPbcAp, 12345670, WPS_ROLE_ENROLLEE), kWalkTimeExpired, false, kWpsWalkTimeMs},
        PlanRow{"PinAtMissingAp", {}, PinAt(kPinAp, 12345670, WPS_ROLE_ENROLLEE), kWalkTimeExpired, false, kWpsWalkTimeMs},
        PlanRow{"PinWithoutSsid", {kPinAp}, [] { WpsStart s = PinAt(kPinAp, 12345670, 1); s.Ssid = {}; return s; }(), kInvalidSsid, false, -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WpsPlanSequence, EnrolleeAndRegistrarWalkTheirOwnMessages) {
  const WpsRunPlan enrollee = PlanWpsRun(PinAt(kPinAp, 12345670, WPS_ROLE_ENROLLEE), {kPinAp});
  EXPECT_EQ(Codes(enrollee), (std::vector<uint32_t>{2, 3, 4, 5, 6, 17, 18, 19, 21, 22, 23, 24, 25, 26, 27, 15}));
  const WpsRunPlan registrar = PlanWpsRun(PinAt(kPinAp, 12345670, WPS_ROLE_REGISTRAR), {kPinAp});
  EXPECT_EQ(Codes(registrar), (std::vector<uint32_t>{2, 3, 4, 5, 6, 34, 35, 38, 39, 40, 41, 42, 43, 15}));
  // A wrong PIN shows up where the PIN halves are proven: M4 for the enrollee, M5 for the registrar.
  const WpsRunPlan wrong = PlanWpsRun(PinAt(kPinAp, 49537109, WPS_ROLE_REGISTRAR), {kPinAp});
  EXPECT_EQ(Codes(wrong), (std::vector<uint32_t>{2, 3, 4, 5, 6, 34, 35, 38, 39, 262}));
}

struct CredentialRow {
  const char* name;
  AccessPointSpec ap;
  uint32_t auth, encr;
  const char* key;
};

void PrintTo(const CredentialRow& row, std::ostream* os) { *os << row.name; }

class WpsApCredential : public ::testing::TestWithParam<CredentialRow> {};

TEST_P(WpsApCredential, CarriesTheAccessPointsSecurity) {
  const CredentialRow& r = GetParam();
  const WpsCredential c = AccessPointCredential(r.ap);
  EXPECT_EQ(WpsCredentialSsid(c), r.ap.ssid);
  EXPECT_EQ(c.AuthType, r.auth);
  EXPECT_EQ(c.EncryType, r.encr);
  EXPECT_EQ(WpsCredentialKey(c), r.key);
  EXPECT_TRUE(std::equal(r.ap.bssid.begin(), r.ap.bssid.end(), c.MacAddr.begin()));
}

AccessPointSpec WithSecurity(ApSecurity security, std::string passphrase = "",
                             std::vector<uint8_t> wep = {}, std::vector<uint8_t> psk = {}) {
  AccessPointSpec ap = Ap("Net", 0x20, WpsMode::PushButton);
  ap.security = security;
  ap.passphrase = std::move(passphrase);
  ap.wepKey = std::move(wep);
  ap.psk = std::move(psk);
  return ap;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WpsApCredential,
    ::testing::Values(
        CredentialRow{"Open", WithSecurity(ApSecurity::Open), 1, 1, ""},
        CredentialRow{"Wpa2Psk", WithSecurity(ApSecurity::Wpa2Psk, "wps push button"), 32, 8, "wps push button"},
        CredentialRow{"WpaPsk", WithSecurity(ApSecurity::WpaPsk, "passphrase"), 2, 4, "passphrase"},
        CredentialRow{"Mixed", WithSecurity(ApSecurity::WpaWpa2Psk, "passphrase"), 34, 12, "passphrase"},
        CredentialRow{"RawPsk", WithSecurity(ApSecurity::Wpa2Psk, "", {}, std::vector<uint8_t>(32, 0xAB)), 32, 8,
                      "ABABABABABABABABABABABABABABABABABABABABABABABABABABABABABABABAB"},
        CredentialRow{"WepAscii", WithSecurity(ApSecurity::WepOpen, "", {'a', 'b', 'c', 'd', 'e'}), 1, 2, "abcde"},
        CredentialRow{"WepBinary", WithSecurity(ApSecurity::WepShared, "", {0, 1, 2, 3, 0xFF}), 4, 2, "00010203FF"}),
    [](const auto& info) { return std::string(info.param.name); });

// Through the driver's OIDs on the virtual clock.
class WpsDriverRun : public ::testing::Test {
 protected:
  WpsDriverRun() {
    adapter_.start(DefaultAdapterParameters(adapter_.spec()));
    adapter_.setWpsWorld({kPlainAp, kPbcAp, kPinAp});
  }
  uint32_t Status() {
    WpsStatus status;
    EXPECT_TRUE(QueryWpsStatus(driver_, status));
    return EncodeWpsStatus(status);
  }
  uint32_t PbcStarted() {
    uint32_t started = 7;
    EXPECT_TRUE(QueryWpsPbcStarted(driver_, started));
    return started;
  }

  VirtualClock clock_;
  TimerServiceSimClock simClock_{clock_};
  SimulatedAdapter adapter_{test::MakeSpec(), simClock_};
  test::DirectRequester driver_{adapter_};
};

TEST_F(WpsDriverRun, PbcStartEndsWithTheCredentialAndChannel) {
  ASSERT_TRUE(SetWpsStart(driver_, Pbc()));
  EXPECT_EQ(Status(), kScanningAp);
  EXPECT_EQ(PbcStarted(), 0u) << "the utility started this run";
  WpsCredentialTable table;
  clock_.advance(kWpsStepMs * 6);  // scan, associate, associated, EAPOL, identity, WPS start
  EXPECT_EQ(Status(), kSendingM1);
  ASSERT_TRUE(QueryWpsProfileTable(driver_, table));
  EXPECT_EQ(table.Count, 0u) << "nothing before success";
  clock_.advance(kWpsWalkTimeMs);
  EXPECT_EQ(Status(), kSuccess);
  ASSERT_TRUE(QueryWpsProfileTable(driver_, table));
  ASSERT_EQ(table.Count, 1u);
  EXPECT_EQ(WpsCredentialSsid(table.Credentials[0]), "Push");
  EXPECT_EQ(WpsCredentialKey(table.Credentials[0]), "secret passphrase");
  uint32_t channel = 0;
  ASSERT_TRUE(QueryWpsChannel(driver_, channel));
  EXPECT_EQ(channel, 6u);
}

TEST_F(WpsDriverRun, WrongPinEndsIn262WithThePinBit) {
  ASSERT_TRUE(SetWpsStart(driver_, PinAt(kPinAp, 49537109, WPS_ROLE_ENROLLEE)));
  clock_.advance(kWpsWalkTimeMs);
  EXPECT_EQ(Status(), kWpsStatusPinBit | kWrongPin);
  WpsCredentialTable table;
  ASSERT_TRUE(QueryWpsProfileTable(driver_, table));
  EXPECT_EQ(table.Count, 0u);
}

TEST_F(WpsDriverRun, ButtonRunIsReportedUntilItEnds) {
  EXPECT_EQ(PbcStarted(), 0u);
  adapter_.pressWpsButton();
  EXPECT_EQ(PbcStarted(), 1u);
  clock_.advance(kWpsStepMs * 3);
  EXPECT_EQ(PbcStarted(), 1u) << "still running";
  clock_.advance(kWpsWalkTimeMs);
  EXPECT_EQ(PbcStarted(), 0u);
  EXPECT_EQ(Status(), kSuccess);
}

TEST_F(WpsDriverRun, AStartWithoutModeStopsTheRun) {
  ASSERT_TRUE(SetWpsStart(driver_, Pbc()));
  clock_.advance(kWpsStepMs * 4);
  ASSERT_TRUE(SetWpsStart(driver_, WpsStart{}));
  clock_.advance(kWpsWalkTimeMs);
  EXPECT_EQ(Status(), kNotUsed);
  WpsCredentialTable table;
  ASSERT_TRUE(QueryWpsProfileTable(driver_, table));
  EXPECT_EQ(table.Count, 0u);
}

}  // namespace
}  // namespace ov::sim
