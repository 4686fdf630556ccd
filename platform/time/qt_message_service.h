#pragma once
#include <memory>

#include "platform/time/message_service.h"

namespace ov {

// Posted messages over Qt's event queue: each post becomes an event posted to a QObject living on
// the receiver's thread, so the handler runs there, in posting order, when that thread's event
// loop runs. Needs a QCoreApplication.
class QtMessageService final : public MessageService {
 public:
  std::unique_ptr<MessageReceiver> createReceiver(MessageHandler handler) override;
};

}  // namespace ov
