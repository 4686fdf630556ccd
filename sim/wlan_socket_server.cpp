#include "sim/wlan_socket_server.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <vector>

#include "nativewifi/wlansvc/wlan_protocol.h"
#include "platform/deviceio/socket_io.h"

namespace ov::sim {

using namespace ov::wlan::protocol;

namespace {

struct Client {
  ClientId id = 0;
  std::vector<uint8_t> in;
  std::vector<uint8_t> out;
};

// Answers every whole frame in the client's input; false when the client broke the protocol.
bool AnswerFrames(WlanServiceCore& core, Client& client) {
  size_t at = 0;
  bool ok = true;
  while (client.in.size() - at >= kFrameHeaderSize) {
    FrameHeader header;
    if (!DecodeFrameHeader(std::span<const uint8_t>(client.in).subspan(at, kFrameHeaderSize),
                           &header) ||
        !IsRequestType(header.type)) {
      ok = false;
      break;
    }
    size_t whole = kFrameHeaderSize + PayloadLength(header);
    if (client.in.size() - at < whole) break;
    std::span<const uint8_t> payload =
        std::span<const uint8_t>(client.in).subspan(at + kFrameHeaderSize, PayloadLength(header));
    std::vector<uint8_t> answer;
    if (!core.handleRequest(client.id, header.type, payload, &answer)) {
      ok = false;
      break;
    }
    std::vector<uint8_t> frame = EncodeFrame(header.type | kResponseBit, header.id, answer);
    client.out.insert(client.out.end(), frame.begin(), frame.end());
    at += whole;
  }
  client.in.erase(client.in.begin(), client.in.begin() + static_cast<ptrdiff_t>(at));
  return ok;
}

// Writes what the socket takes now; false when the client is gone.
bool Flush(int fd, Client& client) {
  while (!client.out.empty()) {
    ssize_t n = ::send(fd, client.out.data(), client.out.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
    if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    client.out.erase(client.out.begin(), client.out.begin() + n);
  }
  return true;
}

}  // namespace

WlanSocketServer::WlanSocketServer(WlanServiceCore& core, const SimClock& clock)
    : core_(core), clock_(clock) {}

WlanSocketServer::~WlanSocketServer() { stop(); }

bool WlanSocketServer::start(const std::string& socketPath) {
  stop();
  path_ = socketPath;
  listenFd_ = ListenUnixSocketForEveryone(socketPath);
  if (listenFd_ < 0) return false;
  wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd_ < 0) {
    ::close(listenFd_);
    listenFd_ = -1;
    return false;
  }
  thread_ = std::thread([this] { serve(); });
  return true;
}

void WlanSocketServer::stop() {
  if (!thread_.joinable()) return;
  uint64_t stopValue = 1ULL << 40;  // larger than any number of wakes
  (void)!::write(wakeFd_, &stopValue, sizeof stopValue);
  thread_.join();
  ::unlink(path_.c_str());
  ::close(listenFd_);
  ::close(wakeFd_);
  listenFd_ = wakeFd_ = -1;
}

void WlanSocketServer::wake() {
  uint64_t one = 1;
  if (wakeFd_ >= 0) (void)!::write(wakeFd_, &one, sizeof one);
}

void WlanSocketServer::serve() {
  std::map<int, Client> clients;
  ClientId nextClient = 1;
  auto drop = [&](int fd) {
    core_.clientGone(clients[fd].id);
    ::close(fd);
    clients.erase(fd);
  };
  for (;;) {
    // Due events first, then what they and the requests produced.
    core_.advance();
    for (OutgoingNotification& n : core_.takeNotifications()) {
      for (auto& [fd, client] : clients) {
        if (client.id != n.client) continue;
        std::vector<uint8_t> frame =
            EncodeMessageFrame(NotificationMessage{n.handle, std::move(n.notification)}, 0);
        client.out.insert(client.out.end(), frame.begin(), frame.end());
      }
    }
    std::vector<int> gone;
    for (auto& [fd, client] : clients) {
      if (!Flush(fd, client) || client.out.size() > kMaxBacklog) gone.push_back(fd);
    }
    for (int fd : gone) drop(fd);

    int timeout = -1;
    if (auto next = core_.nextEventMs()) {
      timeout = static_cast<int>(std::clamp<int64_t>(*next - clock_.nowMs(), 0, 60000));
    }
    std::vector<pollfd> fds = {{wakeFd_, POLLIN, 0}, {listenFd_, POLLIN, 0}};
    for (const auto& [fd, client] : clients) {
      fds.push_back({fd, static_cast<short>(POLLIN | (client.out.empty() ? 0 : POLLOUT)), 0});
    }
    if (::poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR) break;
    if (fds[0].revents) {
      uint64_t count = 0;
      if (::read(wakeFd_, &count, sizeof count) == sizeof count && count >= (1ULL << 40)) break;
    }
    for (size_t i = 2; i < fds.size(); ++i) {
      if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      int fd = fds[i].fd;
      Client& client = clients[fd];
      uint8_t buffer[16384];
      ssize_t n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
      if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
      if (n <= 0) {
        drop(fd);
        continue;
      }
      client.in.insert(client.in.end(), buffer, buffer + n);
      if (!AnswerFrames(core_, client)) drop(fd);
    }
    if (fds[1].revents & POLLIN) {
      int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
      if (fd >= 0) clients[fd].id = nextClient++;
    }
  }
  for (auto& [fd, client] : clients) {
    core_.clientGone(client.id);
    ::close(fd);
  }
}

}  // namespace ov::sim
