#pragma once
#include <memory>

#include "platform/time/timer_service.h"

namespace ov {

// Timer service on the Qt event loop of the thread that creates it. Start, kill and the
// callbacks belong to that thread; timers fire only while its event loop runs.
class QtTimerService final : public TimerService {
 public:
  QtTimerService();
  ~QtTimerService() override;
  QtTimerService(const QtTimerService&) = delete;
  QtTimerService& operator=(const QtTimerService&) = delete;

  TimerId start(uint32_t ms, TimerMode mode, Callback callback) override;
  bool kill(TimerId id) override;
  bool isActive(TimerId id) const override;
  int64_t now() const override;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace ov
