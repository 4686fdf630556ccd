#pragma once
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

#include "platform/time/message_service.h"

// Where ovuictl's commands receive what the wireless client and the driver channel post, in
// place of the monitor window.
namespace ov::cli {

// Posted messages kept for the command's thread. Thread-safe: the wireless service's callback
// and worker threads post here.
class MessageInbox final : public MessageSink {
 public:
  bool post(const Message& message) override {
    std::lock_guard lock(mutex_);
    messages_.push_back(message);
    changed_.notify_all();
    return true;
  }

  // The oldest message, waiting for one until `deadline`.
  std::optional<Message> take(std::chrono::steady_clock::time_point deadline) {
    std::unique_lock lock(mutex_);
    if (!changed_.wait_until(lock, deadline, [&] { return !messages_.empty(); })) {
      return std::nullopt;
    }
    Message message = messages_.front();
    messages_.pop_front();
    return message;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Message> messages_;
};

}  // namespace ov::cli
