#include "platform/deviceio/device_socket_server.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/deviceio/device_protocol.h"
#include "platform/deviceio/socket_io.h"

namespace ov {

namespace {
// A client gets this long to deliver the rest of a request it has started sending.
constexpr int kRequestTimeoutMs = 1000;
}  // namespace

DeviceSocketServer::~DeviceSocketServer() { stop(); }

bool DeviceSocketServer::start(const std::string& socketPath, Handler handler) {
  stop();
  listenFd_ = ListenUnixSocketForEveryone(socketPath);
  if (listenFd_ < 0) return false;
  wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd_ < 0) {
    ::close(listenFd_);
    listenFd_ = -1;
    ::unlink(socketPath.c_str());
    return false;
  }
  path_ = socketPath;
  handler_ = std::move(handler);
  thread_ = std::thread([this] { serve(); });
  return true;
}

void DeviceSocketServer::stop() {
  if (!thread_.joinable()) return;
  // The socket file goes first, so that from this moment the device no longer opens.
  ::unlink(path_.c_str());
  uint64_t one = 1;
  (void)!::write(wakeFd_, &one, sizeof one);
  thread_.join();
  ::close(listenFd_);
  ::close(wakeFd_);
  listenFd_ = wakeFd_ = -1;
}

void DeviceSocketServer::serve() {
  std::vector<int> clients;
  for (;;) {
    std::vector<pollfd> fds;
    fds.push_back({wakeFd_, POLLIN, 0});
    fds.push_back({listenFd_, POLLIN, 0});
    for (int c : clients) fds.push_back({c, POLLIN, 0});
    if (::poll(fds.data(), fds.size(), -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (fds[0].revents != 0) break;
    std::vector<int> still;
    if (fds[1].revents & POLLIN) {
      int c = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
      if (c >= 0) still.push_back(c);
    }
    for (size_t i = 2; i < fds.size(); ++i) {
      int fd = fds[i].fd;
      if (fds[i].revents == 0 || answerOne(fd)) {
        still.push_back(fd);
      } else {
        ::close(fd);
      }
    }
    clients.swap(still);
  }
  for (int c : clients) ::close(c);
}

bool DeviceSocketServer::answerOne(int fd) {
  Deadline deadline(kRequestTimeoutMs);
  uint8_t headerBytes[kDeviceHeaderBytes];
  if (!ReceiveAll(fd, headerBytes, sizeof headerBytes, deadline)) return false;
  DeviceRequestHeader header = DecodeRequestHeader(headerBytes);
  if (header.outputSize > kMaxDevicePayload) return false;
  std::vector<uint8_t> buffer(header.outputSize);
  if (!ReceiveAll(fd, buffer.data(), buffer.size(), deadline)) return false;

  uint32_t bytesReturned = 0;
  uint32_t status = handler_(header.controlCode, header.oid, buffer, &bytesReturned);
  buffer.resize(header.outputSize);  // a handler cannot change the agreed size

  std::vector<uint8_t> answer(kDeviceAnswerHeaderBytes + buffer.size());
  EncodeAnswerHeader(DeviceAnswerHeader{status, bytesReturned}, answer.data());
  std::copy(buffer.begin(), buffer.end(), answer.begin() + kDeviceAnswerHeaderBytes);
  Deadline sendDeadline(kRequestTimeoutMs);
  return SendAll(fd, answer.data(), answer.size(), sendDeadline);
}

}  // namespace ov
