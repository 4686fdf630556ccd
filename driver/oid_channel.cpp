#include "driver/oid_channel.h"

#include <memory>

#include "platform/deviceio/device_protocol.h"

namespace ov {

OidChannel::~OidChannel() {
  for (const auto& record : queue_) timers_.kill(record.Timer);
}

bool OidChannel::QueryOid(uint32_t oid, uint8_t* buffer, uint32_t size, uint32_t* bytesReturned) {
  auto device = device_.open(devicePath_);
  if (!device) return false;
  *bytesReturned = 0;
  return device->control(IOCTL_NDIS_QUERY_GLOBAL_STATS, oid, buffer, size, bytesReturned);
}

bool OidChannel::SetOid(uint32_t oid, uint8_t* buffer, uint32_t size, uint32_t* bytesReturned,
                        int retries) {
  auto device = device_.open(devicePath_);
  if (!device) return false;
  uint32_t marked = oid | OidSetMask;
  --retries;
  *bytesReturned = 0;
  bool ok;
  if (osVersionCode_ == 10) {
    std::vector<uint8_t> copy(buffer, buffer + size);
    ok = device->control(IOCTL_NDIS_QUERY_GLOBAL_STATS, marked, copy.data(), size, bytesReturned);
  } else {
    ok = device->control(IOCTL_NDIS_QUERY_GLOBAL_STATS, marked, buffer, size, bytesReturned);
  }
  device.reset();
  if (ok) return true;
  if (retries <= 0) return false;
  queueFailedSet(marked, buffer, size, *bytesReturned, retries);
  return false;
}

bool OidChannel::IsDevicePresent() { return device_.open(devicePath_) != nullptr; }

void OidChannel::queueFailedSet(uint32_t markedOid, const uint8_t* payload, uint32_t size,
                                uint32_t bytesReturned, int retriesLeft) {
  SetInformationData record;
  record.Oid = markedOid;
  if (size > 0) record.Data.assign(payload, payload + size);
  record.Size = size;
  record.BytesReturned = bytesReturned;
  record.RetriesLeft = retriesLeft;
  // The callback needs its own id, which exists only once the timer has started.
  auto id = std::make_shared<TimerId>(0);
  *id = timers_.startRepeating(kPendingSetRetryMs, [this, id] { RetryPendingSet(*id); });
  record.Timer = *id;
  queue_.push_back(std::move(record));
}

void OidChannel::removeRecord(size_t index) {
  timers_.kill(queue_[index].Timer);
  queue_.erase(queue_.begin() + static_cast<long>(index));
}

void OidChannel::dropQueue() {
  while (!queue_.empty()) removeRecord(0);
}

void OidChannel::RetryPendingSet(TimerId timer) {
  size_t index = 0;
  while (index < queue_.size() && queue_[index].Timer != timer) ++index;
  if (index == queue_.size()) {
    timers_.kill(timer);
    return;
  }
  if (queue_[index].RetriesLeft <= 0) {
    removeRecord(index);
    return;
  }
  auto device = device_.open(devicePath_);
  if (!device) {
    // The adapter is gone: nothing queued for it can ever be applied.
    dropQueue();
    return;
  }
  SetInformationData& record = queue_[index];
  bool ok = device->control(IOCTL_NDIS_QUERY_GLOBAL_STATS, record.Oid,
                            record.Size > 0 ? record.Data.data() : nullptr, record.Size,
                            &record.BytesReturned);
  if (ok || --record.RetriesLeft <= 0) removeRecord(index);
}

// The timers go too: a retry that fired after the channel is gone would reach freed state.
void OidChannel::FlushPendingSets() { dropQueue(); }

}  // namespace ov
