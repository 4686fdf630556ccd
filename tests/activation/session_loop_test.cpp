// The pieces of ovuictl's adapter session that decide how the wait for a connection ends: the
// reading of the posted messages, the loop that hands them over with the timers, and the texts.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "cli/adapter_session.h"
#include "nativewifi/wlansvc/wlan_types.h"
#include "platform/time/monitor_messages.h"

namespace ov::cli {
namespace {

using Clock = std::chrono::steady_clock;

TEST(ConnectionWatch, TheFirstAnswerAfterTheStartDecides) {
  const struct {
    const char* name;
    std::vector<uint32_t> messages;
    std::optional<ConnectionResult> result;
    size_t decidedAt;  // index of the deciding message
  } rows[] = {
      {"connected", {WM_MON_CONNECTING, WM_MON_CONNECT_DONE}, ConnectionResult::Connected, 1},
      {"attempt failed", {WM_MON_CONNECTING, WM_MON_ATTEMPT_FAILED}, ConnectionResult::AttemptFailed, 1},
      {"connect request failed, no start", {WM_MON_CONNECT_FAILED}, ConnectionResult::ConnectFailed, 0},
      {"an earlier attempt's end before this start is not this one's",
       {WM_MON_ATTEMPT_FAILED, WM_MON_CONNECT_DONE, WM_MON_CONNECTING, WM_MON_CONNECT_DONE},
       ConnectionResult::Connected, 3},
      {"the old link going down is no answer",
       {WM_MON_DISCONNECTED, WM_MON_CONNECTING, WM_MON_PROFILE_CHANGED, WM_MON_ATTEMPT_FAILED},
       ConnectionResult::AttemptFailed, 3},
      {"started, no answer yet", {WM_MON_CONNECTING, WM_MON_SCAN_DONE, WM_MON_RADIO_ON}, std::nullopt, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ConnectionWatch watch;
    std::optional<ConnectionResult> result;
    size_t at = 0;
    for (size_t i = 0; i < row.messages.size() && !result; ++i) {
      result = watch.OnMessage(Message{row.messages[i], 0, 0});
      at = i;
    }
    EXPECT_EQ(result, row.result);
    if (row.result) {
      EXPECT_EQ(at, row.decidedAt);
    }
  }
}

TEST(DescribeOutcome, FailuresCarryTheServiceReason) {
  const std::chrono::milliseconds limit(20000);
  const struct {
    ConnectionOutcome outcome;
    const char* text;
  } rows[] = {
      {{ConnectionResult::Connected, std::nullopt}, "connected"},
      {{ConnectionResult::AttemptFailed, wlan::WLAN_REASON_CODE_MSMSEC_PSK_MISMATCH_SUSPECTED},
       "the connection attempt failed: The pre-shared key does not match. (reason 0x48014)"},
      {{ConnectionResult::AttemptFailed, std::nullopt}, "the connection attempt failed"},
      {{ConnectionResult::Refused, wlan::WLAN_REASON_CODE_PROFILE_SSID_INVALID},
       "the wireless service did not accept the profile: The profile's SSID is not valid. "
       "(reason 0x80013)"},
      {{ConnectionResult::TimedOut, std::nullopt},
       "the wireless service did not answer within 20 seconds"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(DescribeOutcome(row.outcome, limit), row.text);
  }
}

TEST(SteadyTimers, DueTimersFireInOrderAndAKilledOneStaysSilent) {
  SteadyTimers timers;
  std::vector<int> fired;
  TimerId third = 0;
  timers.startOnce(0, [&] { fired.push_back(1); });
  timers.startOnce(0, [&] {
    fired.push_back(2);
    timers.kill(third);
  });
  third = timers.startOnce(0, [&] { fired.push_back(3); });
  const TimerId repeating = timers.startRepeating(0, [&] { fired.push_back(4); });
  const TimerId later = timers.startOnce(60000, [&] { fired.push_back(5); });

  timers.FireDue();
  EXPECT_EQ(fired, (std::vector<int>{1, 2, 4}));
  // The repeating timer fired once and runs on; the one-shot timers are gone.
  EXPECT_TRUE(timers.isActive(repeating));
  EXPECT_TRUE(timers.isActive(later));
  EXPECT_FALSE(timers.isActive(third));
  ASSERT_TRUE(timers.NextDue().has_value());
  EXPECT_LE(*timers.NextDue(), timers.now() + 1);
}

TEST(SessionLoop, HandsOverQueuedMessagesUntilDone) {
  SessionLoop loop;
  std::vector<uint32_t> seen;
  int timerRuns = 0;
  loop.timers().startOnce(0, [&] { ++timerRuns; });
  MessageTarget target = loop.target();
  target.post(WM_MON_CONNECTING);
  target.post(WM_MON_CONNECT_DONE, 1);
  target.post(WM_MON_DISCONNECTED);
  const bool done = loop.Run([&](const Message& m) { seen.push_back(m.message); },
                             [&] { return !seen.empty() && seen.back() == WM_MON_CONNECT_DONE; },
                             Clock::now() + std::chrono::seconds(20));
  EXPECT_TRUE(done);
  EXPECT_EQ(timerRuns, 1);
  EXPECT_EQ(seen, (std::vector<uint32_t>{WM_MON_CONNECTING, WM_MON_CONNECT_DONE}));

  // What was left waits for the next run; a deadline already past ends a run at once.
  seen.clear();
  EXPECT_FALSE(loop.Run([&](const Message& m) { seen.push_back(m.message); },
                        [] { return false; }, Clock::now()));
  EXPECT_TRUE(loop.Run([&](const Message& m) { seen.push_back(m.message); },
                       [&] { return !seen.empty(); }, Clock::now() + std::chrono::seconds(20)));
  EXPECT_EQ(seen, (std::vector<uint32_t>{WM_MON_DISCONNECTED}));
}

}  // namespace
}  // namespace ov::cli
