#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <memory>
#include <thread>
#include <vector>

#include "platform/time/monitor_messages.h"
#include "platform/time/qt_message_service.h"
#include "platform/time/qt_timer_service.h"

namespace ov {
namespace {

class QtApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { app_ = std::make_unique<QCoreApplication>(argc_, argv_); }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[16] = "time_qt_test";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QCoreApplication> app_;
};

[[maybe_unused]] auto* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

// Runs the loop until something quits it; a generous guard turns a hang into a failure.
bool RunLoop(QEventLoop& loop) {
  bool timedOut = false;
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, &loop, [&] {
    timedOut = true;
    loop.quit();
  });
  guard.start(10000);
  loop.exec();
  return !timedOut;
}

TEST(QtTimerServiceTest, RunsRepeatingOnceAndKilledTimersOnTheEventLoop) {
  QtTimerService timers;
  QEventLoop loop;
  QThread* uiThread = QThread::currentThread();
  bool allOnUiThread = true;

  int onceCount = 0;
  timers.startOnce(1, [&] {
    ++onceCount;
    allOnUiThread &= QThread::currentThread() == uiThread;
  });

  int victimCount = 0;
  TimerId victim = timers.startRepeating(1, [&] { ++victimCount; });
  int victimAtKill = -1;

  int ticks = 0;
  TimerId tick = 0;
  const int64_t startedAt = timers.now();
  tick = timers.startRepeating(5, [&] {
    allOnUiThread &= QThread::currentThread() == uiThread;
    if (++ticks == 1) {
      EXPECT_TRUE(timers.kill(victim));
      victimAtKill = victimCount;
    }
    if (ticks == 3) {
      EXPECT_TRUE(timers.kill(tick));
      // Finish through a zero-delay one-shot, so the last step also goes through the service.
      timers.startOnce(0, [&] { loop.quit(); });
    }
  });

  ASSERT_TRUE(RunLoop(loop)) << "the timers never finished";
  EXPECT_EQ(ticks, 3);
  EXPECT_EQ(onceCount, 1);
  EXPECT_EQ(victimCount, victimAtKill) << "a killed timer fired again";
  EXPECT_FALSE(timers.isActive(tick));
  EXPECT_FALSE(timers.isActive(victim));
  EXPECT_FALSE(timers.kill(tick));
  EXPECT_TRUE(allOnUiThread);
  EXPECT_GE(timers.now(), startedAt);
}

TEST(QtMessageServiceTest, PostsFromAnotherThreadArriveInOrderOnTheReceiversThread) {
  QtMessageService service;
  QEventLoop loop;
  QThread* uiThread = QThread::currentThread();
  constexpr int kCount = 200;

  std::vector<Message> received;
  bool allOnUiThread = true;
  auto monitor = service.createReceiver([&](const Message& m) {
    allOnUiThread &= QThread::currentThread() == uiThread;
    received.push_back(m);
    if (received.size() == kCount) loop.quit();
  });

  MessageTarget target = monitor->target();
  std::thread callbackThread([target] {
    for (int i = 0; i < kCount; ++i) target.post(WM_MON_CONNECT_DONE, 1, i);
  });
  const bool finished = RunLoop(loop);
  callbackThread.join();

  ASSERT_TRUE(finished) << "only " << received.size() << " messages arrived";
  EXPECT_TRUE(allOnUiThread);
  for (int i = 0; i < kCount; ++i) {
    EXPECT_EQ(received[i], (Message{WM_MON_CONNECT_DONE, 1, i})) << "message " << i;
  }

  monitor.reset();
  EXPECT_FALSE(target.post(WM_MON_CONNECT_DONE)) << "posting to a destroyed receiver must fail";
}

TEST(QtMessageServiceTest, ReceiverDestroyedByItsOwnHandlerHandlesNothingMore) {
  QtMessageService service;
  QEventLoop loop;
  int handled = 0;
  std::unique_ptr<MessageReceiver> dialog;
  dialog = service.createReceiver([&](const Message&) {
    ++handled;
    dialog.reset();
  });
  auto sentinel = service.createReceiver([&](const Message&) { loop.quit(); });

  MessageTarget target = dialog->target();
  target.post(WM_MON_EAP_UI_DONE, 1);
  target.post(WM_MON_EAP_UI_DONE, 1);
  target.post(WM_MON_EAP_UI_DONE, 1);
  // Posted last: by the time it is handled, the earlier messages have been dealt with.
  sentinel->target().post(WM_USER);

  ASSERT_TRUE(RunLoop(loop));
  EXPECT_EQ(handled, 1);
  EXPECT_FALSE(target.post(WM_MON_EAP_UI_DONE));
}

}  // namespace
}  // namespace ov
