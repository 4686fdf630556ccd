#include "platform/time/virtual_clock.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace ov {
namespace {

// What fired, and when by the clock.
struct Log {
  std::vector<std::pair<std::string, int64_t>> events;
  TimerService::Callback note(VirtualClock& clock, std::string name) {
    return [this, &clock, name] { events.emplace_back(name, clock.now()); };
  }
};

using Events = std::vector<std::pair<std::string, int64_t>>;

TEST(VirtualClockTest, FiresDueTimersInTimeOrderWithTiesInStartOrder) {
  VirtualClock clock;
  Log log;
  clock.startOnce(300, log.note(clock, "c300"));
  clock.startOnce(100, log.note(clock, "a100"));
  clock.startOnce(200, log.note(clock, "b200-first"));
  clock.startOnce(200, log.note(clock, "b200-second"));
  clock.startOnce(301, log.note(clock, "late"));

  EXPECT_EQ(clock.advance(300), 4);
  EXPECT_EQ(log.events,
            (Events{{"a100", 100}, {"b200-first", 200}, {"b200-second", 200}, {"c300", 300}}));
  EXPECT_EQ(clock.now(), 300);
  EXPECT_EQ(clock.untilNext(), 1);

  EXPECT_EQ(clock.advance(1), 1);
  EXPECT_EQ(log.events.back(), (std::pair<std::string, int64_t>{"late", 301}));
  EXPECT_EQ(clock.activeCount(), 0u);
  EXPECT_EQ(clock.untilNext(), std::nullopt);
}

TEST(VirtualClockTest, RepeatingTimersFireAsOftenAsTheyFallDueInOneAdvance) {
  VirtualClock clock(1000);
  Log log;
  TimerId fast = clock.startRepeating(100, log.note(clock, "fast"));
  clock.startRepeating(150, log.note(clock, "slow"));

  clock.advance(350);
  // At 1300 both are due: the one started first fires first, also after being rescheduled.
  EXPECT_EQ(log.events, (Events{{"fast", 1100},
                                {"slow", 1150},
                                {"fast", 1200},
                                {"fast", 1300},
                                {"slow", 1300}}));
  log.events.clear();
  clock.advance(50);
  EXPECT_EQ(log.events, (Events{{"fast", 1400}}));
  EXPECT_TRUE(clock.isActive(fast));
}

TEST(VirtualClockTest, TimerStartedInsideACallbackFiresWhenDueWithinTheSpan) {
  VirtualClock clock;
  Log log;
  clock.startOnce(100, [&] {
    log.events.emplace_back("outer", clock.now());
    clock.startOnce(50, log.note(clock, "inner-50"));
    clock.startOnce(0, log.note(clock, "inner-0"));
    clock.startOnce(500, log.note(clock, "inner-500"));
  });

  clock.advance(200);
  EXPECT_EQ(log.events, (Events{{"outer", 100}, {"inner-0", 100}, {"inner-50", 150}}));
  clock.advance(400);
  EXPECT_EQ(log.events.back(), (std::pair<std::string, int64_t>{"inner-500", 600}));
}

TEST(VirtualClockTest, KillInsideACallbackTakesEffectAtOnce) {
  VirtualClock clock;
  Log log;

  // A repeating timer that stops itself on its third tick.
  int ticks = 0;
  TimerId self = 0;
  self = clock.startRepeating(10, [&] {
    if (++ticks == 3) {
      EXPECT_TRUE(clock.kill(self));
    }
  });

  // Two timers due together: the first kills the second, which then must not fire.
  TimerId victim = 0;
  clock.startOnce(100, [&] {
    log.events.emplace_back("killer", clock.now());
    EXPECT_TRUE(clock.kill(victim));
  });
  victim = clock.startOnce(100, log.note(clock, "victim"));

  // A repeating timer killed by an earlier timer in the same span.
  TimerId later = clock.startRepeating(150, log.note(clock, "later"));
  clock.startOnce(120, [&] { clock.kill(later); });

  clock.advance(1000);
  EXPECT_EQ(ticks, 3);
  EXPECT_FALSE(clock.isActive(self));
  EXPECT_EQ(log.events, (Events{{"killer", 100}}));
  EXPECT_EQ(clock.activeCount(), 0u);
}

TEST(VirtualClockTest, CallbackMayKillAndRestartTimersWhileItRuns) {
  VirtualClock clock;
  std::vector<int64_t> fired;
  TimerId id = 0;
  // Each run replaces its own timer with a longer one: the running callback must survive that.
  std::function<void()> step;
  int64_t next = 100;
  step = [&] {
    fired.push_back(clock.now());
    clock.kill(id);
    next *= 2;
    if (fired.size() < 4) id = clock.startRepeating(static_cast<uint32_t>(next), step);
  };
  id = clock.startRepeating(100, step);
  clock.advance(10000);
  EXPECT_EQ(fired, (std::vector<int64_t>{100, 300, 700, 1500}));
}

TEST(VirtualClockTest, StaleIdsAreNotReusedAndKillNothing) {
  VirtualClock clock;
  int first = 0;
  int second = 0;
  TimerId a = clock.startOnce(10, [&] { ++first; });
  clock.advance(10);
  TimerId b = clock.startOnce(10, [&] { ++second; });
  EXPECT_NE(a, b);
  EXPECT_FALSE(clock.kill(a));
  EXPECT_FALSE(clock.kill(0));
  clock.advance(10);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 1);
}

TEST(VirtualClockTest, ZeroPeriodRepeatingTimerCountsAsOneMillisecond) {
  VirtualClock clock;
  int count = 0;
  clock.startRepeating(0, [&] { ++count; });
  EXPECT_EQ(clock.advance(5), 5);
  EXPECT_EQ(count, 5);
}

}  // namespace
}  // namespace ov
