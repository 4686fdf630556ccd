#pragma once
#include <cstdint>
#include <memory>
#include <string>

// The adapter's device file: open it, issue I/O controls on it, close it.
namespace ov {

class DeviceHandle {
 public:
  virtual ~DeviceHandle() = default;
  // One I/O control with an OID as input and `buffer` as the output buffer (size bytes). The
  // driver may write into the buffer; *bytesReturned gets its count. False when the driver
  // refused the request, answered malformed, or did not answer in time.
  virtual bool control(uint32_t controlCode, uint32_t oid, uint8_t* buffer, uint32_t size,
                       uint32_t* bytesReturned) = 0;
};

class DeviceIo {
 public:
  virtual ~DeviceIo() = default;
  // Null when the device does not open (absent adapter, stale path).
  virtual std::unique_ptr<DeviceHandle> open(const std::string& devicePath) = 0;
};

// The device sockets of the machine root, each request bounded by a timeout so that a driver
// that hangs or vanishes mid-request fails the request instead of blocking the caller.
class SocketDeviceIo : public DeviceIo {
 public:
  explicit SocketDeviceIo(int timeoutMs = 1000) : timeoutMs_(timeoutMs) {}
  std::unique_ptr<DeviceHandle> open(const std::string& devicePath) override;

 private:
  int timeoutMs_;
};

}  // namespace ov
