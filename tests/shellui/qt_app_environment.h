#pragma once
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <functional>
#include <memory>

namespace ov::test {

// One Qt application for the whole test program, on the offscreen platform so the widgets are
// real but nothing needs a display.
template <typename App>
class QtAppEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    app_ = std::make_unique<App>(argc_, argv_);
  }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[16] = "shellui_test";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<App> app_;
};

// Runs the event loop until `done` holds or a generous guard runs out (a hang becomes a
// failure). Returns whether `done` came true.
inline bool ProcessEventsUntil(const std::function<bool()>& done, int guardMs = 10000) {
  if (done()) return true;
  QEventLoop loop;
  bool timedOut = false;
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, &loop, [&] {
    timedOut = true;
    loop.quit();
  });
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (done()) loop.quit();
  });
  guard.start(guardMs);
  poll.start(0);
  loop.exec();
  return !timedOut && done();
}

}  // namespace ov::test

namespace ov::test {

// Calls `act` with the modal widget once one is up (from inside its modal loop). The call is
// checked for on every pass of whatever event loop runs, so it fires within the modal loop that
// the code under test starts.
inline void WhenModalShown(std::function<void(QWidget*)> act) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      poll->stop();
      poll->deleteLater();
      act(modal);
    }
  });
  poll->start(0);
}

}  // namespace ov::test
