// The WPS page's decisions: button enabling, the reaction to each polled status word (who
// completes a run, when auto-select moves on) and the connection monitor's tick.
#include <gtest/gtest.h>

#include <ostream>

#include "wps/wps_status_text.h"
#include "wpspages/wps_page_rules.h"

namespace ov {
namespace {

// ---- Button enabling ----

struct ButtonRow {
  const char* name;
  WpsPageButtonInputs in;
  WpsPageButtons expected;
};
void PrintTo(const ButtonRow& row, std::ostream* os) { *os << row.name; }

class WpsPageButtonsTest : public ::testing::TestWithParam<ButtonRow> {};

TEST_P(WpsPageButtonsTest, Enabling) {
  const WpsPageButtons b = ComputeWpsPageButtons(GetParam().in);
  const WpsPageButtons& e = GetParam().expected;
  EXPECT_EQ(b.information, e.information);
  EXPECT_EQ(b.pin, e.pin);
  EXPECT_EQ(b.pbc, e.pbc);
  EXPECT_EQ(b.wirelessMode, e.wirelessMode);
  EXPECT_EQ(b.profileDetail, e.profileDetail);
  EXPECT_EQ(b.connect, e.connect);
  EXPECT_EQ(b.deleteEnabled, e.deleteEnabled);
  EXPECT_EQ(b.deleteShown, e.deleteShown);
  EXPECT_EQ(b.rotate, e.rotate);
}

//                     info   pin    pbc    band   detail conn   delEn  delShown rotate
INSTANTIATE_TEST_SUITE_P(
    Rows, WpsPageButtonsTest,
    ::testing::Values(
        ButtonRow{"NothingSelected", {false, false, false, false, 0, false, false},
                  {false, false, true, true, false, false, false, true, false}},
        ButtonRow{"NoApButAutoSelectOffersPin", {false, true, false, false, 0, false, false},
                  {false, true, true, true, false, false, false, true, false}},
        ButtonRow{"ApSelected", {true, false, false, false, 0, false, false},
                  {true, true, true, true, false, false, false, true, false}},
        ButtonRow{"ProfileSelectedStandardUser", {false, false, true, false, 2, false, false},
                  {false, false, true, true, true, true, false, true, true}},
        ButtonRow{"ProfileSelectedAllowed", {false, false, true, true, 2, false, false},
                  {false, false, true, true, true, true, true, true, true}},
        ButtonRow{"RegistrarHidesDeleteAndBand", {false, false, true, true, 1, true, false},
                  {false, false, true, false, true, true, true, false, true}},
        ButtonRow{"PollingBlocksStarts", {true, true, false, false, 0, false, true},
                  {true, false, false, false, false, false, false, true, false}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Reaction to a status word ----

struct PollRow {
  const char* name;
  uint32_t word;
  WpsPollContext context;
  WpsPollReaction expected;
};
void PrintTo(const PollRow& row, std::ostream* os) { *os << row.name; }

class WpsPollReactionTest : public ::testing::TestWithParam<PollRow> {};

TEST_P(WpsPollReactionTest, Reaction) {
  const WpsPollReaction r = ReactToWpsStatus(DescribeWpsStatusWord(GetParam().word), GetParam().context);
  const WpsPollReaction& e = GetParam().expected;
  EXPECT_EQ(r.stopPolling, e.stopPolling);
  EXPECT_EQ(r.reenableControls, e.reenableControls);
  EXPECT_EQ(r.stopSession, e.stopSession);
  EXPECT_EQ(r.takeCredentials, e.takeCredentials);
  EXPECT_EQ(r.showCompletion, e.showCompletion);
  EXPECT_EQ(r.tryNextAp, e.tryNextAp);
  EXPECT_EQ(r.forgetApIndex, e.forgetApIndex);
}

constexpr uint32_t kPin = 1u << 28;
const WpsPollContext kPagePbc{WpsRunOrigin::Page, kWpsSessionPbc, false, false, -1, 3};
const WpsPollContext kDriverPbc{WpsRunOrigin::Driver, kWpsSessionPbc, false, false, -1, 3};
const WpsPollContext kPinManual{WpsRunOrigin::Page, kWpsSessionPin, false, false, 1, 3};
const WpsPollContext kPinAuto{WpsRunOrigin::Page, kWpsSessionPin, true, false, 1, 3};
const WpsPollContext kPinAutoLastGone{WpsRunOrigin::Page, kWpsSessionPin, true, false, 3, 3};
const WpsPollContext kPinAutoNoIndex{WpsRunOrigin::Page, kWpsSessionPin, true, false, -1, 3};
const WpsPollContext kPinRegistrar{WpsRunOrigin::Page, kWpsSessionPin, false, true, 1, 3};

//                                      stop   reen   stopS  take   show   next   forget
INSTANTIATE_TEST_SUITE_P(
    Rows, WpsPollReactionTest,
    ::testing::Values(
        PollRow{"ProgressKeepsPolling", 18, kPagePbc, {false, false, false, false, false, false, false}},
        PollRow{"PageRunSuccessIsTakenByThePage", 15, kPagePbc, {true, true, false, true, false, false, false}},
        // The monitor completes the driver's own run: the page must not take it a second time.
        PollRow{"DriverRunSuccessIsOnlyShown", 15, kDriverPbc, {true, true, false, false, true, false, false}},
        PollRow{"NotUsedEndsThePoll", 0, kPagePbc, {true, true, false, false, false, false, false}},
        PollRow{"TooManyPbcEndsThePoll", 257, kPagePbc, {true, true, false, false, false, false, false}},
        PollRow{"WrongPinEndsAManualRun", kPin | 262, kPinManual, {true, true, false, false, false, false, false}},
        PollRow{"WrongPinMovesAutoSelectOn", kPin | 262, kPinAuto, {false, false, false, false, false, true, false}},
        PollRow{"NotUsedMovesAutoSelectOn", kPin | 0, kPinAuto, {false, true, false, false, false, true, false}},
        PollRow{"IndexPastTheRowsIsForgotten", kPin | 259, kPinAutoLastGone, {true, true, false, false, false, false, true}},
        PollRow{"NoIndexIsForgotten", kPin | 513, kPinAutoNoIndex, {true, true, false, false, false, false, true}},
        PollRow{"EapFailedStopsAnEnrollee", kPin | 516, kPinManual, {true, true, true, false, false, false, false}},
        PollRow{"EapFailedKeepsARegistrar", kPin | 516, kPinRegistrar, {true, true, false, false, false, false, false}},
        PollRow{"ScanningIsNoFailure", kPin | 2, kPinAuto, {false, false, false, false, false, false, false}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Connection monitor tick ----

struct TickRow {
  const char* name;
  WpsConnectionTickInputs in;
  bool stopTimer;
  bool markConnected;
  bool clearStatus;
  std::optional<uint32_t> apply;
};
void PrintTo(const TickRow& row, std::ostream* os) { *os << row.name; }

class WpsConnectionTickTest : public ::testing::TestWithParam<TickRow> {};

TEST_P(WpsConnectionTickTest, Tick) {
  const WpsConnectionTick t = DecideWpsConnectionTick(GetParam().in);
  EXPECT_EQ(t.stopTimer, GetParam().stopTimer);
  EXPECT_EQ(t.markConnected, GetParam().markConnected);
  EXPECT_EQ(t.connectedSeen, GetParam().markConnected);
  EXPECT_EQ(t.clearStatus, GetParam().clearStatus);
  EXPECT_EQ(t.applyCredential, GetParam().apply);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WpsConnectionTickTest,
    ::testing::Values(
        TickRow{"NoCredentialsStops", {true, true, true, 5, 0}, true, false, false, std::nullopt},
        TickRow{"ConnectedAndActiveMarks", {true, true, true, 5, 2}, false, true, false, std::nullopt},
        TickRow{"InactiveClearsAndStops", {true, false, false, 3, 2}, true, false, true, std::nullopt},
        TickRow{"WaitingWithoutRotation", {false, true, false, 5, 2}, false, false, false, std::nullopt},
        TickRow{"RotationBetweenFifths", {false, true, true, 7, 2}, false, false, false, std::nullopt},
        TickRow{"RotationTenthTick", {false, true, true, 10, 3}, false, false, false, 2u},
        // tick / 5 = 4 is past a table of 3: the index goes round instead.
        TickRow{"RotationIndexStaysInTheTable", {false, true, true, 20, 3}, false, false, false, 1u},
        TickRow{"RotationOneCredential", {false, true, true, 40, 1}, false, false, false, 0u}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ov
