#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

// Posted window messages: (message, wParam, lParam) carried to a window-like receiver and handled
// on the receiver's own thread, in posting order. Threads other than the UI thread (the wireless
// service's callback, the scan and EAP workers) reach the program's state only this way.
namespace ov {

struct Message {
  uint32_t message = 0;
  uintptr_t wParam = 0;
  intptr_t lParam = 0;

  friend bool operator==(const Message&, const Message&) = default;
};

using MessageHandler = std::function<void(const Message&)>;

// Where a poster's messages go. Implemented by each service for its receivers.
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  // Thread-safe. False when the receiver is gone; the message is then dropped.
  virtual bool post(const Message& message) = 0;
};

// A copyable, thread-safe handle for posting to one receiver. It may outlive the receiver:
// posting then fails, as posting to a destroyed window does. An empty handle posts nowhere.
class MessageTarget {
 public:
  MessageTarget() = default;
  explicit MessageTarget(std::shared_ptr<MessageSink> sink) : sink_(std::move(sink)) {}

  bool post(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) const {
    return post(Message{message, wParam, lParam});
  }
  bool post(const Message& message) const { return sink_ && sink_->post(message); }
  bool empty() const { return !sink_; }

 private:
  std::shared_ptr<MessageSink> sink_;
};

// A window's message endpoint. The handler runs on the thread that created the receiver; once
// the receiver is destroyed (on that thread) nothing more is delivered to it, queued or not.
class MessageReceiver {
 public:
  virtual ~MessageReceiver() = default;
  virtual MessageTarget target() const = 0;
};

class MessageService {
 public:
  virtual ~MessageService() = default;
  virtual std::unique_ptr<MessageReceiver> createReceiver(MessageHandler handler) = 0;
};

// For tests: one queue for all of its receivers, as a thread's message queue is; nothing is
// handled until the test drains it, on the test's thread.
class ManualMessageService final : public MessageService {
 public:
  ManualMessageService();
  ~ManualMessageService() override;

  std::unique_ptr<MessageReceiver> createReceiver(MessageHandler handler) override;

  // Handles queued messages in posting order, including those posted meanwhile, until the queue
  // is empty or `limit` messages were handled (a guard against handlers that re-post forever).
  // Returns the number handled.
  size_t deliverAll(size_t limit = 100000);
  // Handles the oldest message, if any. False when the queue was empty.
  bool deliverOne();
  size_t pending() const;

  struct State;

 private:
  std::shared_ptr<State> state_;
};

}  // namespace ov
