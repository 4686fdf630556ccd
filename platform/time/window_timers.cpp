#include "platform/time/window_timers.h"

#include <utility>

namespace ov {

WindowTimers::WindowTimers(TimerService& service, Handler onTimer)
    : service_(service), onTimer_(std::move(onTimer)) {}

WindowTimers::~WindowTimers() { killAll(); }

void WindowTimers::start(int id, uint32_t periodMs) {
  startTimer(id, periodMs, TimerMode::Repeating, {});
}

void WindowTimers::start(int id, uint32_t periodMs, Callback callback) {
  startTimer(id, periodMs, TimerMode::Repeating, std::move(callback));
}

void WindowTimers::startOnce(int id, uint32_t delayMs) {
  startTimer(id, delayMs, TimerMode::Once, {});
}

void WindowTimers::startOnce(int id, uint32_t delayMs, Callback callback) {
  startTimer(id, delayMs, TimerMode::Once, std::move(callback));
}

void WindowTimers::startTimer(int id, uint32_t ms, TimerMode mode, Callback callback) {
  kill(id);
  // The wrapper must not touch `this` after the user's code ran: that code may destroy the window.
  auto fire = [this, id, mode, callback = std::move(callback)]() {
    if (mode == TimerMode::Once) running_.erase(id);
    if (callback) {
      callback();
    } else if (onTimer_) {
      // A copy, as the handler may destroy the window and with it onTimer_.
      Handler handler = onTimer_;
      handler(id);
    }
  };
  running_[id] = service_.start(ms, mode, std::move(fire));
}

bool WindowTimers::kill(int id) {
  auto it = running_.find(id);
  if (it == running_.end()) return false;
  TimerId handle = it->second;
  running_.erase(it);
  return service_.kill(handle);
}

void WindowTimers::killAll() {
  auto running = std::move(running_);
  running_.clear();
  for (const auto& [id, handle] : running) service_.kill(handle);
}

bool WindowTimers::isActive(int id) const {
  auto it = running_.find(id);
  return it != running_.end() && service_.isActive(it->second);
}

}  // namespace ov
