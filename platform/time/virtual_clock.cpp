#include "platform/time/virtual_clock.h"

#include <cassert>
#include <utility>

namespace ov {

TimerId VirtualClock::start(uint32_t ms, TimerMode mode, Callback callback) {
  Timer timer;
  timer.period = (mode == TimerMode::Repeating && ms == 0) ? 1 : ms;
  timer.due = now_ + timer.period;
  timer.mode = mode;
  timer.order = ++lastOrder_;
  timer.callback = std::make_shared<Callback>(std::move(callback));
  TimerId id = ++lastId_;
  timers_.emplace(id, std::move(timer));
  return id;
}

bool VirtualClock::kill(TimerId id) { return timers_.erase(id) > 0; }

bool VirtualClock::isActive(TimerId id) const { return timers_.count(id) > 0; }

std::map<TimerId, VirtualClock::Timer>::iterator VirtualClock::nextDue(int64_t limit) {
  auto best = timers_.end();
  for (auto it = timers_.begin(); it != timers_.end(); ++it) {
    const Timer& t = it->second;
    if (t.due > limit) continue;
    if (best == timers_.end() || t.due < best->second.due ||
        (t.due == best->second.due && t.order < best->second.order)) {
      best = it;
    }
  }
  return best;
}

int VirtualClock::advance(int64_t ms) {
  assert(!advancing_ && "advance() called from inside a timer callback");
  if (advancing_ || ms < 0) return 0;
  advancing_ = true;
  const int64_t target = now_ + ms;
  int fired = 0;
  for (auto it = nextDue(target); it != timers_.end(); it = nextDue(target)) {
    Timer& timer = it->second;
    now_ = timer.due;
    // Held here: the callback may kill or restart its own timer, which drops the map's copy.
    std::shared_ptr<Callback> callback = timer.callback;
    if (timer.mode == TimerMode::Once) {
      timers_.erase(it);
    } else {
      timer.due += timer.period;
    }
    if (*callback) (*callback)();
    ++fired;
  }
  now_ = target;
  advancing_ = false;
  return fired;
}

std::optional<int64_t> VirtualClock::untilNext() const {
  std::optional<int64_t> best;
  for (const auto& [id, timer] : timers_) {
    if (!best || timer.due < *best) best = timer.due;
  }
  if (best) return *best - now_;
  return std::nullopt;
}

}  // namespace ov
