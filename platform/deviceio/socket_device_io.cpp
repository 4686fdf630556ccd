#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <vector>

#include "platform/deviceio/device_io.h"
#include "platform/deviceio/device_protocol.h"
#include "platform/deviceio/socket_io.h"

namespace ov {

namespace {

// Most answers arrive within this time; waiting for them awake halves a request's latency.
constexpr int kAnswerSpinMicros = 100;

class SocketDeviceHandle : public DeviceHandle {
 public:
  SocketDeviceHandle(int fd, int timeoutMs) : fd_(fd), timeoutMs_(timeoutMs) {}
  ~SocketDeviceHandle() override {
    if (fd_ >= 0) ::close(fd_);
  }

  bool control(uint32_t controlCode, uint32_t oid, uint8_t* buffer, uint32_t size,
               uint32_t* bytesReturned) override {
    if (fd_ < 0 || size > kMaxDevicePayload || (size > 0 && buffer == nullptr)) return false;
    Deadline deadline(timeoutMs_);
    // One write per request and one per answer: the other side wakes once.
    std::vector<uint8_t> request(kDeviceHeaderBytes + size);
    EncodeRequestHeader(DeviceRequestHeader{controlCode, oid, size}, request.data());
    if (size > 0) std::memcpy(request.data() + kDeviceHeaderBytes, buffer, size);
    if (!SendAll(fd_, request.data(), request.size(), deadline)) return broken();
    SpinUntilReadable(fd_, kAnswerSpinMicros);
    uint8_t answerBytes[kDeviceAnswerHeaderBytes];
    if (!ReceiveAll(fd_, answerBytes, sizeof answerBytes, deadline)) return broken();
    DeviceAnswerHeader answer = DecodeAnswerHeader(answerBytes);
    // The whole output buffer comes back; read it into a copy so that a malformed answer
    // never leaves the caller's buffer half written.
    std::vector<uint8_t> output(size);
    if (!ReceiveAll(fd_, output.data(), size, deadline)) return broken();
    if (answer.bytesReturned > size) return broken();
    if (size > 0) std::memcpy(buffer, output.data(), size);
    if (bytesReturned) *bytesReturned = answer.bytesReturned;
    return answer.status == 0;
  }

 private:
  // After a timeout or a torn answer the stream is out of step: later requests on this handle fail.
  bool broken() {
    ::close(fd_);
    fd_ = -1;
    return false;
  }

  int fd_;
  int timeoutMs_;
};

}  // namespace

std::unique_ptr<DeviceHandle> SocketDeviceIo::open(const std::string& devicePath) {
  auto socketPath = DeviceSocketPath(devicePath);
  if (!socketPath) return nullptr;
  int fd = ConnectUnixSocket(*socketPath, timeoutMs_);
  if (fd < 0) return nullptr;
  return std::make_unique<SocketDeviceHandle>(fd, timeoutMs_);
}

}  // namespace ov
