#include "services/registry_service_client.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

#include "platform/deviceio/socket_io.h"
#include "platform/system/machine_root.h"

namespace ov {

namespace {

enum class Attempt {
  Delivered,    // the message went out whole; the status (or its absence) is final
  NoService,    // nothing listens on the path
  TryAgain,     // the service could not take the connection, or took none of the message
  Busy,         // the service answered kServiceBusy without reading the message
};

uint32_t DecodeStatus(const uint8_t le[4]) {
  return static_cast<uint32_t>(le[0]) | static_cast<uint32_t>(le[1]) << 8 |
         static_cast<uint32_t>(le[2]) << 16 | static_cast<uint32_t>(le[3]) << 24;
}

// A blocking connect that waits at most until `deadline` for room in the service's queue: the
// kernel queues the caller fairly, where a non-blocking connect is refused outright when the
// queue is full.
int ConnectWithin(const std::string& path, const Deadline& deadline, Attempt* failure) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) {
    *failure = Attempt::NoService;
    return -1;
  }
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    *failure = Attempt::TryAgain;
    return -1;
  }
  const int ms = std::max(deadline.remainingMs(), 1);
  timeval wait{ms / 1000, (ms % 1000) * 1000};
  ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return fd;
  const int error = errno;
  ::close(fd);
  *failure = error == ENOENT || error == ECONNREFUSED || error == ENOTDIR || error == EACCES
                 ? Attempt::NoService
                 : Attempt::TryAgain;
  return -1;
}

Attempt SendOnce(const std::string& path, const RegistryMessageBytes& message,
                 const Deadline& deadline, uint32_t* serviceStatus) {
  Attempt failure = Attempt::TryAgain;
  const int fd = ConnectWithin(path, deadline, &failure);
  if (fd < 0) return failure;
  // The rest runs non-blocking against the same deadline.
  timeval none{0, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &none, sizeof none);
  if (!SendAll(fd, message.data(), message.size(), deadline)) {
    // A service that turned the connection away may have said so before closing it; either
    // way it did not take the whole message, so nothing was done.
    uint8_t le[4];
    const bool busy = ::recv(fd, le, sizeof le, MSG_DONTWAIT) == 4 && DecodeStatus(le) == kServiceBusy;
    ::close(fd);
    return busy ? Attempt::Busy : Attempt::TryAgain;
  }
  uint8_t le[4];
  const bool answered = ReceiveAll(fd, le, sizeof le, deadline);
  ::close(fd);
  if (answered && DecodeStatus(le) == kServiceBusy) return Attempt::Busy;
  if (answered && serviceStatus) *serviceStatus = DecodeStatus(le);
  return Attempt::Delivered;
}

}  // namespace

std::filesystem::path RegistryServiceSocketPath() {
  return UnderRoot("run/ovui/OrvaneRegistry");
}

SocketRegistryServiceClient::SocketRegistryServiceClient(std::filesystem::path socketPath,
                                                         int timeoutMs)
    : socketPath_(std::move(socketPath)), timeoutMs_(timeoutMs) {}

std::filesystem::path SocketRegistryServiceClient::path() const {
  return socketPath_.empty() ? RegistryServiceSocketPath() : socketPath_;
}

bool SocketRegistryServiceClient::IsListening() {
  const Deadline deadline(timeoutMs_);
  Attempt failure = Attempt::TryAgain;
  const int fd = ConnectWithin(path().string(), deadline, &failure);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

uint32_t SocketRegistryServiceClient::Send(const RegistryMessageBytes& message,
                                           uint32_t* serviceStatus) {
  if (serviceStatus) *serviceStatus = kNoServiceAnswer;
  const std::string target = path().string();
  const Deadline deadline(timeoutMs_);
  int pauseMs = 1;
  for (;;) {
    const Attempt attempt = SendOnce(target, message, deadline, serviceStatus);
    if (attempt == Attempt::Delivered) return 0;
    if (attempt == Attempt::NoService) return RPC_S_SERVER_UNAVAILABLE;
    const int left = deadline.remainingMs();
    if (left <= 0) {
      return attempt == Attempt::Busy ? RPC_S_SERVER_TOO_BUSY : RPC_S_SERVER_UNAVAILABLE;
    }
    // Real time on purpose: this waits for another process to make room.
    std::this_thread::sleep_for(std::chrono::milliseconds(std::min(pauseMs, left)));
    pauseMs = std::min(pauseMs * 2, 50);
  }
}

}  // namespace ov
