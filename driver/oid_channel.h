#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "driver/oid_requester.h"
#include "platform/deviceio/device_io.h"
#include "platform/time/timer_service.h"

// The only road to the adapter's driver. Both directions use the statistics-query I/O control;
// a set is tunnelled through it by marking the OID. A set whose first attempt fails is copied
// into a queue and retried every 500 ms on its own timer, so callers can fire and forget
// configuration changes while the driver is busy.
namespace ov {

constexpr uint32_t kPendingSetRetryMs = 500;

// One queued set request.
struct SetInformationData {
  uint32_t Oid = 0;            // already marked
  std::vector<uint8_t> Data;   // private copy of the payload; empty when Size is 0
  uint32_t Size = 0;
  uint32_t BytesReturned = 0;
  int32_t RetriesLeft = 0;
  TimerId Timer = 0;
};

class OidChannel : public OidRequester {
 public:
  OidChannel(DeviceIo& device, TimerService& timers) : device_(device), timers_(timers) {}
  ~OidChannel() override;
  OidChannel(const OidChannel&) = delete;
  OidChannel& operator=(const OidChannel&) = delete;

  // Written by adapter discovery; an empty or stale path makes every request fail.
  void setDevicePath(const std::string& path) { devicePath_ = path; }
  const std::string& devicePath() const { return devicePath_; }
  // Code 10 makes sets work on a private copy of the caller's payload.
  void setOsVersionCode(int code) { osVersionCode_ = code; }

  bool QueryOid(uint32_t oid, uint8_t* buffer, uint32_t size, uint32_t* bytesReturned) override;
  bool SetOid(uint32_t oid, uint8_t* buffer, uint32_t size, uint32_t* bytesReturned,
              int retries) override;
  bool IsDevicePresent();

  // The retry timer's callback.
  void RetryPendingSet(TimerId timer);
  // Empties the queue at shutdown.
  void FlushPendingSets();

  const std::vector<SetInformationData>& PendingSetQueue() const { return queue_; }

 private:
  void queueFailedSet(uint32_t markedOid, const uint8_t* payload, uint32_t size,
                      uint32_t bytesReturned, int retriesLeft);
  void dropQueue();
  void removeRecord(size_t index);

  DeviceIo& device_;
  TimerService& timers_;
  std::string devicePath_;
  int osVersionCode_ = 11;
  std::vector<SetInformationData> queue_;
};

}  // namespace ov
