#include "platform/time/qt_timer_service.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimerEvent>
#include <algorithm>
#include <climits>
#include <map>
#include <utility>

namespace ov {

// QObject timers rather than one QTimer per timer: killing from inside a callback is then a plain
// killTimer, with no object deleted under its own signal.
class QtTimerService::Impl final : public QObject {
 public:
  Impl() { clock_.start(); }
  ~Impl() override {
    for (const auto& [id, timer] : timers_) killTimer(timer.qtId);
  }

  TimerId start(uint32_t ms, TimerMode mode, Callback callback) {
    uint32_t interval = (mode == TimerMode::Repeating && ms == 0) ? 1 : ms;
    // Coarse (within 5 %): Qt may then fire the monitor's second-long watches in one wake-up.
    int qtId = startTimer(static_cast<int>(std::min<uint32_t>(interval, INT_MAX)),
                          Qt::CoarseTimer);
    if (qtId == 0) return 0;
    TimerId id = ++lastId_;
    timers_.emplace(id, Timer{qtId, mode, std::make_shared<Callback>(std::move(callback))});
    byQtId_[qtId] = id;
    return id;
  }

  bool kill(TimerId id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return false;
    killTimer(it->second.qtId);
    byQtId_.erase(it->second.qtId);
    timers_.erase(it);
    return true;
  }

  bool isActive(TimerId id) const { return timers_.count(id) > 0; }
  int64_t now() const { return clock_.elapsed(); }

 protected:
  void timerEvent(QTimerEvent* event) override {
    auto byQt = byQtId_.find(event->timerId());
    if (byQt == byQtId_.end()) return;
    auto it = timers_.find(byQt->second);
    if (it == timers_.end()) return;
    // Held here: the callback may kill or restart its own timer, which drops the map's copy.
    std::shared_ptr<Callback> callback = it->second.callback;
    if (it->second.mode == TimerMode::Once) kill(it->first);
    if (*callback) (*callback)();
  }

 private:
  struct Timer {
    int qtId;
    TimerMode mode;
    std::shared_ptr<Callback> callback;
  };

  QElapsedTimer clock_;
  TimerId lastId_ = 0;
  std::map<TimerId, Timer> timers_;
  std::map<int, TimerId> byQtId_;
};

QtTimerService::QtTimerService() : impl_(std::make_unique<Impl>()) {}
QtTimerService::~QtTimerService() = default;

TimerId QtTimerService::start(uint32_t ms, TimerMode mode, Callback callback) {
  return impl_->start(ms, mode, std::move(callback));
}
bool QtTimerService::kill(TimerId id) { return impl_->kill(id); }
bool QtTimerService::isActive(TimerId id) const { return impl_->isActive(id); }
int64_t QtTimerService::now() const { return impl_->now(); }

}  // namespace ov
