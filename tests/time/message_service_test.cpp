#include "platform/time/message_service.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <thread>
#include <vector>

#include "platform/time/monitor_messages.h"

namespace ov {
namespace {

struct Received {
  char who;
  Message message;
  bool operator==(const Received&) const = default;
};

TEST(ManualMessageServiceTest, DeliversInPostingOrderAcrossReceivers) {
  ManualMessageService service;
  std::vector<Received> log;
  auto monitor = service.createReceiver([&](const Message& m) { log.push_back({'m', m}); });
  auto survey = service.createReceiver([&](const Message& m) { log.push_back({'s', m}); });

  EXPECT_TRUE(monitor->target().post(WM_MON_SCAN_DONE));
  EXPECT_TRUE(survey->target().post(WM_COMMAND, 1015));
  EXPECT_TRUE(monitor->target().post(WM_MON_TRAY, 0, WM_RBUTTONDOWN));
  EXPECT_TRUE(log.empty()) << "nothing is handled before the test drains the queue";
  EXPECT_EQ(service.pending(), 3u);

  EXPECT_EQ(service.deliverAll(), 3u);
  EXPECT_EQ(log, (std::vector<Received>{{'m', {WM_MON_SCAN_DONE, 0, 0}},
                                        {'s', {WM_COMMAND, 1015, 0}},
                                        {'m', {WM_MON_TRAY, 0, WM_RBUTTONDOWN}}}));
}

TEST(ManualMessageServiceTest, MessagesPostedByHandlersAreDeliveredInTheSameDrain) {
  ManualMessageService service;
  std::vector<Received> log;
  auto page = service.createReceiver([&](const Message& m) { log.push_back({'p', m}); });
  MessageTarget toPage = page->target();
  // The monitor forwards a scan result to the page, as it does with 0x404.
  auto monitor = service.createReceiver([&](const Message& m) {
    log.push_back({'m', m});
    toPage.post(m);
  });
  monitor->target().post(WM_MON_SCAN_DONE);
  EXPECT_EQ(service.deliverAll(), 2u);
  EXPECT_EQ(log, (std::vector<Received>{{'m', {WM_MON_SCAN_DONE, 0, 0}},
                                        {'p', {WM_MON_SCAN_DONE, 0, 0}}}));
}

TEST(ManualMessageServiceTest, DestroyedReceiverGetsNothingMoreAndPostsToItFail) {
  ManualMessageService service;
  int handled = 0;
  auto page = service.createReceiver([&](const Message&) { ++handled; });
  MessageTarget target = page->target();
  target.post(WM_MON_EAP_CONFIG);
  page.reset();

  EXPECT_FALSE(target.post(WM_MON_EAP_CONFIG));
  EXPECT_EQ(service.pending(), 0u);
  EXPECT_EQ(service.deliverAll(), 0u);
  EXPECT_EQ(handled, 0);
  EXPECT_FALSE(MessageTarget().post(WM_MON_EAP_CONFIG)) << "an empty target posts nowhere";
}

TEST(ManualMessageServiceTest, ReceiverDestroyedByItsOwnHandlerDropsTheRest) {
  ManualMessageService service;
  int handled = 0;
  std::unique_ptr<MessageReceiver> dialog;
  dialog = service.createReceiver([&](const Message&) {
    ++handled;
    dialog.reset();
  });
  MessageTarget target = dialog->target();
  target.post(WM_MON_EAP_UI_DONE, 1);
  target.post(WM_MON_EAP_UI_DONE, 1);
  EXPECT_EQ(service.deliverAll(), 1u);
  EXPECT_EQ(handled, 1);
}

TEST(ManualMessageServiceTest, DeliverAllStopsAtItsLimit) {
  ManualMessageService service;
  std::unique_ptr<MessageReceiver> echo;
  echo = service.createReceiver([&](const Message& m) { echo->target().post(m); });
  echo->target().post(WM_USER);
  EXPECT_EQ(service.deliverAll(50), 50u);
  EXPECT_EQ(service.pending(), 1u);
}

TEST(ManualMessageServiceTest, PostsFromOtherThreadsAllArriveInEachThreadsOrder) {
  ManualMessageService service;
  std::map<uintptr_t, std::vector<intptr_t>> byThread;
  auto monitor = service.createReceiver(
      [&](const Message& m) { byThread[m.wParam].push_back(m.lParam); });
  MessageTarget target = monitor->target();

  constexpr int kThreads = 4;
  constexpr int kEach = 500;
  std::vector<std::thread> posters;
  for (int t = 0; t < kThreads; ++t) {
    posters.emplace_back([target, t] {
      for (int i = 0; i < kEach; ++i) target.post(WM_MON_CONNECT_DONE, t, i);
    });
  }
  for (auto& thread : posters) thread.join();

  EXPECT_EQ(service.deliverAll(), static_cast<size_t>(kThreads * kEach));
  ASSERT_EQ(byThread.size(), static_cast<size_t>(kThreads));
  for (const auto& [thread, values] : byThread) {
    SCOPED_TRACE(thread);
    ASSERT_EQ(values.size(), static_cast<size_t>(kEach));
    for (int i = 0; i < kEach; ++i) EXPECT_EQ(values[i], i);
  }
}

}  // namespace
}  // namespace ov
