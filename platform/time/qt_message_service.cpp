#include "platform/time/qt_message_service.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <mutex>
#include <utility>

namespace ov {

namespace {

QEvent::Type MessageEventType() {
  static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

class MessageEvent final : public QEvent {
 public:
  explicit MessageEvent(const Message& message) : QEvent(MessageEventType()), message_(message) {}
  const Message& message() const { return message_; }

 private:
  Message message_;
};

class ReceiverObject final : public QObject {
 public:
  explicit ReceiverObject(MessageHandler handler) : handler_(std::move(handler)) {}

  bool event(QEvent* event) override {
    if (event->type() != MessageEventType()) return QObject::event(event);
    if (handler_ && !retired_) {
      inHandler_ = true;
      handler_(static_cast<MessageEvent*>(event)->message());
      inHandler_ = false;
    }
    return true;
  }

  // A window may destroy itself from its own handler: the object cannot be deleted under its own
  // event() then, so it handles nothing more and Qt deletes it once control is back in the loop.
  static void dispose(std::unique_ptr<ReceiverObject> object) {
    if (!object->inHandler_) return;
    object->retired_ = true;
    object.release()->deleteLater();
  }

 private:
  MessageHandler handler_;
  bool inHandler_ = false;
  bool retired_ = false;
};

// The posters' side. The lock makes "receiver still there" and "event handed to Qt" one step, so a
// post never reaches a QObject that is being destroyed; Qt discards events still queued for an
// object when it is deleted.
class QtSink final : public MessageSink {
 public:
  explicit QtSink(QObject* object) : object_(object) {}

  bool post(const Message& message) override {
    std::lock_guard lock(mutex_);
    if (object_ == nullptr) return false;
    QCoreApplication::postEvent(object_, new MessageEvent(message));
    return true;
  }

  void detach() {
    std::lock_guard lock(mutex_);
    object_ = nullptr;
  }

 private:
  std::mutex mutex_;
  QObject* object_;
};

class QtReceiver final : public MessageReceiver {
 public:
  explicit QtReceiver(MessageHandler handler)
      : object_(std::make_unique<ReceiverObject>(std::move(handler))),
        sink_(std::make_shared<QtSink>(object_.get())) {}

  ~QtReceiver() override {
    sink_->detach();
    ReceiverObject::dispose(std::move(object_));
  }

  MessageTarget target() const override { return MessageTarget(sink_); }

 private:
  std::unique_ptr<ReceiverObject> object_;
  std::shared_ptr<QtSink> sink_;
};

}  // namespace

std::unique_ptr<MessageReceiver> QtMessageService::createReceiver(MessageHandler handler) {
  return std::make_unique<QtReceiver>(std::move(handler));
}

}  // namespace ov
