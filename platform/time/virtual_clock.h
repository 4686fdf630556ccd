#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <optional>

#include "platform/time/timer_service.h"

namespace ov {

// Timer service for tests: time stands still until the test advances it, and then every due
// timer fires at once, in time order, without any real waiting.
class VirtualClock final : public TimerService {
 public:
  VirtualClock() = default;
  explicit VirtualClock(int64_t startMs) : now_(startMs) {}

  TimerId start(uint32_t ms, TimerMode mode, Callback callback) override;
  bool kill(TimerId id) override;
  bool isActive(TimerId id) const override;
  int64_t now() const override { return now_; }

  // Moves time forward by `ms`, firing each timer due within the span at its own due time (now()
  // reads that time inside the callback). Timers due at the same moment fire in the order they
  // were started. A repeating timer fires as often as it falls due; timers started by callbacks
  // fire too when they fall due within the span. Not to be called from inside a callback.
  // Returns the number of callbacks run.
  int advance(int64_t ms);

  // Time from now until the next timer is due, or nothing when no timer runs.
  std::optional<int64_t> untilNext() const;
  size_t activeCount() const { return timers_.size(); }

 private:
  struct Timer {
    int64_t due = 0;
    uint32_t period = 0;
    TimerMode mode = TimerMode::Once;
    uint64_t order = 0;  // start order, breaks ties between timers due together
    std::shared_ptr<Callback> callback;
  };

  std::map<TimerId, Timer>::iterator nextDue(int64_t limit);

  int64_t now_ = 0;
  TimerId lastId_ = 0;
  uint64_t lastOrder_ = 0;
  bool advancing_ = false;
  std::map<TimerId, Timer> timers_;
};

}  // namespace ov
