#include "platform/time/window_timers.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "platform/time/virtual_clock.h"

namespace ov {
namespace {

struct Fired {
  int id;
  int64_t at;
  bool operator==(const Fired&) const = default;
};

TEST(WindowTimersTest, FixedIdsGoToTheWindowHandler) {
  VirtualClock clock;
  std::vector<Fired> fired;
  WindowTimers timers(clock, [&](int id) { fired.push_back({id, clock.now()}); });
  timers.start(1, 2000);
  timers.start(17, 3000);

  clock.advance(6000);
  EXPECT_EQ(fired, (std::vector<Fired>{{1, 2000}, {17, 3000}, {1, 4000}, {1, 6000}, {17, 6000}}));
}

TEST(WindowTimersTest, StartingARunningIdReplacesIt) {
  VirtualClock clock;
  std::vector<Fired> fired;
  WindowTimers timers(clock);
  timers.start(9, 4000, [&] { fired.push_back({4000, clock.now()}); });
  clock.advance(3000);
  // Restarted with a new period and callback, counted from now; the old one never fires.
  timers.start(9, 10000, [&] { fired.push_back({10000, clock.now()}); });
  EXPECT_EQ(clock.activeCount(), 1u);
  clock.advance(12000);
  EXPECT_EQ(fired, (std::vector<Fired>{{10000, 13000}}));
}

TEST(WindowTimersTest, OneShotIsFreeBeforeItsCallbackAndMayRestartItself) {
  VirtualClock clock;
  std::vector<int64_t> fired;
  WindowTimers timers(clock);
  std::function<void()> retry = [&] {
    EXPECT_FALSE(timers.isActive(8));
    fired.push_back(clock.now());
    if (fired.size() < 3) timers.startOnce(8, 4000, retry);
  };
  timers.startOnce(8, 8000, retry);

  clock.advance(60000);
  EXPECT_EQ(fired, (std::vector<int64_t>{8000, 12000, 16000}));
  EXPECT_FALSE(timers.isActive(8));
  EXPECT_EQ(clock.activeCount(), 0u);
}

TEST(WindowTimersTest, RepeatingTimerRestartedFromItsOwnCallback) {
  VirtualClock clock;
  std::vector<int64_t> fired;
  WindowTimers timers(clock);
  // The tick speeds itself up once, as a page does after its first poll.
  timers.start(1, 1000, [&] {
    fired.push_back(clock.now());
    if (fired.size() == 1) timers.start(1, 300, [&] { fired.push_back(clock.now()); });
  });
  clock.advance(2000);
  EXPECT_EQ(fired, (std::vector<int64_t>{1000, 1300, 1600, 1900}));
}

TEST(WindowTimersTest, KillOfAnotherDueTimerInsideACallback) {
  VirtualClock clock;
  std::vector<int> fired;
  WindowTimers timers(clock, [&](int id) {
    fired.push_back(id);
    if (id == 12 && fired.size() == 1) {
      EXPECT_TRUE(timers.kill(9));
      EXPECT_FALSE(timers.kill(42));
    }
  });
  timers.start(12, 500);
  timers.start(9, 500);
  clock.advance(1000);
  EXPECT_EQ(fired, (std::vector<int>{12, 12}));
}

TEST(WindowTimersTest, DestroyedWindowIsNeverCalledBack) {
  VirtualClock clock;
  int calls = 0;
  auto page = std::make_unique<WindowTimers>(clock, [&](int) { ++calls; });
  page->start(1, 100);
  page->startOnce(2, 150);
  clock.advance(100);
  page.reset();
  EXPECT_EQ(clock.activeCount(), 0u);
  clock.advance(1000);
  EXPECT_EQ(calls, 1);
}

TEST(WindowTimersTest, WindowMayDestroyItselfFromItsOwnTimer) {
  VirtualClock clock;
  int calls = 0;
  std::unique_ptr<WindowTimers> page;
  page = std::make_unique<WindowTimers>(clock, [&](int) {
    ++calls;
    page.reset();
  });
  page->start(1, 100);
  page->start(2, 100);
  clock.advance(1000);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(clock.activeCount(), 0u);
}

}  // namespace
}  // namespace ov
