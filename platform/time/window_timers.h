#pragma once
#include <cstdint>
#include <functional>
#include <map>

#include "platform/time/timer_service.h"

namespace ov {

// The timers of one window, addressed by the window's own numeric ids (timer 1, timer 9 ...),
// as window timers are: starting an id that is running replaces it (new period, new callback,
// counted from now), and the object's destruction kills every timer it still holds, so a
// destroyed page is never called back.
//
// Callbacks default to the handler given at construction (one OnTimer(id) per window); a start
// may also carry its own callback.
class WindowTimers {
 public:
  using Handler = std::function<void(int id)>;
  using Callback = std::function<void()>;

  explicit WindowTimers(TimerService& service, Handler onTimer = {});
  ~WindowTimers();
  WindowTimers(const WindowTimers&) = delete;
  WindowTimers& operator=(const WindowTimers&) = delete;

  // Periodic, until killed: the usual window timer.
  void start(int id, uint32_t periodMs);
  void start(int id, uint32_t periodMs, Callback callback);

  // Fires once; the id is free again before its callback runs, so the callback may start it anew.
  void startOnce(int id, uint32_t delayMs);
  void startOnce(int id, uint32_t delayMs, Callback callback);

  // False when the id was not running.
  bool kill(int id);
  void killAll();
  bool isActive(int id) const;

  TimerService& service() const { return service_; }

 private:
  void startTimer(int id, uint32_t ms, TimerMode mode, Callback callback);

  TimerService& service_;
  Handler onTimer_;
  std::map<int, TimerId> running_;
};

}  // namespace ov
