#include "platform/time/message_service.h"

#include <utility>

namespace ov {

namespace {

struct Endpoint {
  MessageHandler handler;
  bool alive = true;  // guarded by State::mutex
};

}  // namespace

struct ManualMessageService::State {
  mutable std::mutex mutex;
  std::deque<std::pair<std::shared_ptr<Endpoint>, Message>> queue;
};

namespace {

class ManualSink final : public MessageSink {
 public:
  ManualSink(std::shared_ptr<ManualMessageService::State> state, std::shared_ptr<Endpoint> endpoint)
      : state_(std::move(state)), endpoint_(std::move(endpoint)) {}

  bool post(const Message& message) override {
    std::lock_guard lock(state_->mutex);
    if (!endpoint_->alive) return false;
    state_->queue.emplace_back(endpoint_, message);
    return true;
  }

 private:
  std::shared_ptr<ManualMessageService::State> state_;
  std::shared_ptr<Endpoint> endpoint_;
};

class ManualReceiver final : public MessageReceiver {
 public:
  ManualReceiver(std::shared_ptr<ManualMessageService::State> state, MessageHandler handler)
      : state_(std::move(state)), endpoint_(std::make_shared<Endpoint>()) {
    endpoint_->handler = std::move(handler);
    target_ = MessageTarget(std::make_shared<ManualSink>(state_, endpoint_));
  }

  ~ManualReceiver() override {
    std::lock_guard lock(state_->mutex);
    endpoint_->alive = false;
  }

  MessageTarget target() const override { return target_; }

 private:
  std::shared_ptr<ManualMessageService::State> state_;
  std::shared_ptr<Endpoint> endpoint_;
  MessageTarget target_;
};

}  // namespace

ManualMessageService::ManualMessageService() : state_(std::make_shared<State>()) {}

ManualMessageService::~ManualMessageService() = default;

std::unique_ptr<MessageReceiver> ManualMessageService::createReceiver(MessageHandler handler) {
  return std::make_unique<ManualReceiver>(state_, std::move(handler));
}

bool ManualMessageService::deliverOne() {
  std::shared_ptr<Endpoint> endpoint;
  Message message;
  {
    std::lock_guard lock(state_->mutex);
    // Messages of receivers destroyed since posting are dropped on the way.
    while (!state_->queue.empty()) {
      auto [to, what] = std::move(state_->queue.front());
      state_->queue.pop_front();
      if (to->alive) {
        endpoint = std::move(to);
        message = what;
        break;
      }
    }
  }
  if (!endpoint) return false;
  // Receivers are destroyed only on this thread, so the endpoint stays alive for the call.
  if (endpoint->handler) endpoint->handler(message);
  return true;
}

size_t ManualMessageService::deliverAll(size_t limit) {
  size_t handled = 0;
  while (handled < limit && deliverOne()) ++handled;
  return handled;
}

size_t ManualMessageService::pending() const {
  std::lock_guard lock(state_->mutex);
  size_t count = 0;
  for (const auto& [to, what] : state_->queue) count += to->alive ? 1 : 0;
  return count;
}

}  // namespace ov
