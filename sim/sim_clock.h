#pragma once
#include <chrono>
#include <cstdint>

#include "platform/time/timer_service.h"

// Where the simulated hardware reads the time. Its counters, start-up delay and busy spells are
// functions of this clock, so a test drives them with a virtual clock and never waits.
namespace ov::sim {

class SimClock {
 public:
  virtual ~SimClock() = default;
  // Milliseconds on a monotonic clock. Must be callable from any thread.
  virtual int64_t nowMs() const = 0;
};

// The real monotonic clock, for ovsimd.
class SteadySimClock final : public SimClock {
 public:
  int64_t nowMs() const override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
};

// The time of a timer service (the virtual clock in tests). The service belongs to one thread, so
// this is only for a simulated adapter driven from that thread.
class TimerServiceSimClock final : public SimClock {
 public:
  explicit TimerServiceSimClock(const TimerService& service) : service_(service) {}
  int64_t nowMs() const override { return service_.now(); }

 private:
  const TimerService& service_;
};

}  // namespace ov::sim
