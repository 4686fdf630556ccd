#pragma once
#include <cstdint>
#include <functional>

// Time for the program's own logic. Everything timed (page polls, watchdogs, delayed
// re-applies) goes through this seam so that tests drive it with a virtual clock instead of
// waiting. A service belongs to one thread: start, kill and the callbacks all run there.
namespace ov {

// Identifies one started timer. Ids are never reused by a service, so a stale id kills nothing.
// 0 is never a valid id.
using TimerId = uint64_t;

enum class TimerMode {
  Repeating,  // fires every period until killed
  Once,       // fires once, then is gone
};

class TimerService {
 public:
  using Callback = std::function<void()>;

  virtual ~TimerService() = default;

  // Starts a timer due `ms` from now. A repeating timer's period below 1 ms counts as 1 ms, so a
  // zero period cannot spin.
  virtual TimerId start(uint32_t ms, TimerMode mode, Callback callback) = 0;

  // Stops a timer. Takes effect at once, also from inside any timer's callback: a killed timer
  // that was due at the same moment does not fire. Returns false when it was not running.
  virtual bool kill(TimerId id) = 0;

  virtual bool isActive(TimerId id) const = 0;

  // Milliseconds on this service's monotonic clock.
  virtual int64_t now() const = 0;

  TimerId startRepeating(uint32_t periodMs, Callback callback) {
    return start(periodMs, TimerMode::Repeating, std::move(callback));
  }
  TimerId startOnce(uint32_t delayMs, Callback callback) {
    return start(delayMs, TimerMode::Once, std::move(callback));
  }
};

}  // namespace ov
