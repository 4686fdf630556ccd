#include "sim/wlan_socket_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <map>
#include <vector>

#include "nativewifi/wlansvc/wlan_protocol.h"
#include "platform/deviceio/socket_io.h"
#include "platform/deviceio/per_user_accept.h"

namespace ov::sim {

using namespace ov::wlan::protocol;

namespace {

using Steady = std::chrono::steady_clock;

// After running out of descriptors, accepting waits this long instead of retrying at once.

struct Client {
  ClientId id = 0;
  uid_t uid = 0;
  std::vector<uint8_t> in;
  std::vector<uint8_t> out;
  Steady::time_point frameDeadline;  // while `in` holds part of a frame

  size_t heldBytes() const { return in.capacity() + out.capacity(); }
};

// Answers the whole frames in the client's input while its unread answers stay below the
// limit; false when the client broke the protocol or announced a frame larger than any request.
bool AnswerFrames(WlanServiceCore& core, Client& client, const WlanSocketLimits& limits) {
  size_t at = 0;
  bool ok = true;
  while (client.in.size() - at >= kFrameHeaderSize && client.out.size() < limits.pauseReadingAt) {
    FrameHeader header;
    if (!DecodeFrameHeader(std::span<const uint8_t>(client.in).subspan(at, kFrameHeaderSize),
                           &header) ||
        !IsRequestType(header.type)) {
      ok = false;
      break;
    }
    if (header.bodyLength > limits.maxRequestBody) {
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
  if (client.in.empty()) std::vector<uint8_t>().swap(client.in);  // a large frame's memory goes
  return ok;
}

// Writes what the socket takes now; false when the client is gone.
bool Flush(int fd, Client& client) {
  while (!client.out.empty()) {
    ssize_t n = ::send(fd, client.out.data(), client.out.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
    if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    client.out.erase(client.out.begin(), client.out.begin() + n);
  }
  std::vector<uint8_t>().swap(client.out);
  return true;
}

}  // namespace

WlanSocketServer::WlanSocketServer(WlanServiceCore& core, const SimClock& clock,
                                   WlanSocketLimits limits)
    : core_(core), clock_(clock), limits_(limits) {}

WlanSocketServer::~WlanSocketServer() { stop(); }

bool WlanSocketServer::start(const std::string& socketPath) {
  stop();
  path_ = socketPath;
  listenFd_ = ListenUnixSocketForEveryone(socketPath);
  if (listenFd_ < 0) return false;
  // Accepting runs until the queue is empty, which a blocking socket would wait out.
  ::fcntl(listenFd_, F_SETFL, ::fcntl(listenFd_, F_GETFL) | O_NONBLOCK);
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
  PerUserAccept accepting(limits_.maxConnectionsPerUser);
  Steady::time_point acceptPausedUntil{};
  ClientId nextClient = 1;
  auto drop = [&](int fd) {
    Client& client = clients[fd];
    core_.clientGone(client.id);
    accepting.Release(client.uid);
    ::close(fd);
    clients.erase(fd);
  };
  auto msUntil = [](Steady::time_point when, Steady::time_point now) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(when - now).count();
    return left > 0 ? static_cast<int>(std::min<int64_t>(left + 1, 60000)) : 0;
  };
  auto publish = [&] {
    size_t held = 0;
    for (const auto& [fd, client] : clients) held += client.heldBytes();
    openConnections_ = clients.size();
    bufferedBytes_ = held;
    if (held > peakBufferedBytes_) peakBufferedBytes_ = held;
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
    const Steady::time_point now = Steady::now();
    for (auto& [fd, client] : clients) {
      bool ok = Flush(fd, client) && client.out.size() <= kMaxBacklog;
      // Requests that waited for their client to take its answers go on once it has.
      if (ok && !client.in.empty() && client.out.size() < limits_.pauseReadingAt) {
        ok = AnswerFrames(core_, client, limits_) && Flush(fd, client);
      }
      // A frame begun and not finished in time lets its memory and slot go.
      if (ok && !client.in.empty() && now >= client.frameDeadline) ok = false;
      if (!ok) gone.push_back(fd);
    }
    for (int fd : gone) drop(fd);

    publish();

    int timeout = -1;
    if (auto next = core_.nextEventMs()) {
      timeout = static_cast<int>(std::clamp<int64_t>(*next - clock_.nowMs(), 0, 60000));
    }
    const bool paused = now < acceptPausedUntil;
    if (paused) timeout = timeout < 0 ? msUntil(acceptPausedUntil, now)
                                      : std::min(timeout, msUntil(acceptPausedUntil, now));
    // At the cap, or out of descriptors, new clients wait in the listening queue: polling it
    // then would only wake this thread again and again.
    const bool room = clients.size() < limits_.maxConnections && !paused;
    std::vector<pollfd> fds = {{wakeFd_, POLLIN, 0},
                               {listenFd_, static_cast<short>(room ? POLLIN : 0), 0}};
    for (const auto& [fd, client] : clients) {
      const bool reading = client.out.size() < limits_.pauseReadingAt;
      fds.push_back({fd, static_cast<short>((reading ? POLLIN : 0) |
                                            (client.out.empty() ? 0 : POLLOUT)), 0});
      if (!client.in.empty()) {
        const int ms = msUntil(client.frameDeadline, now);
        timeout = timeout < 0 ? ms : std::min(timeout, ms);
      }
    }
    if (::poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR) break;
    if (fds[0].revents) {
      uint64_t count = 0;
      if (::read(wakeFd_, &count, sizeof count) == sizeof count && count >= (1ULL << 40)) break;
    }
    for (size_t i = 2; i < fds.size(); ++i) {
      const short revents = fds[i].revents;
      int fd = fds[i].fd;
      if (!(fds[i].events & POLLIN)) {
        if (revents & (POLLHUP | POLLERR)) drop(fd);  // gone before taking its answers
        continue;
      }
      if (!(revents & (POLLIN | POLLHUP | POLLERR))) continue;
      Client& client = clients[fd];
      uint8_t buffer[16384];
      ssize_t n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
      if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
      if (n <= 0) {
        drop(fd);
        continue;
      }
      if (client.in.empty()) {
        client.frameDeadline = Steady::now() + std::chrono::milliseconds(limits_.partialFrameMs);
      }
      client.in.insert(client.in.end(), buffer, buffer + n);
      const size_t before = client.in.size();
      if (!AnswerFrames(core_, client, limits_)) {
        drop(fd);
        continue;
      }
      // A new frame begun behind the answered ones gets a deadline of its own.
      if (!client.in.empty() && client.in.size() < before) {
        client.frameDeadline = Steady::now() + std::chrono::milliseconds(limits_.partialFrameMs);
      }
    }
    if (fds[1].revents & POLLIN) {
      while (clients.size() < limits_.maxConnections) {
        int fd = -1;
        uid_t uid = 0;
        const PerUserAccept::Result taken = accepting.Accept(listenFd_, &fd, &uid);
        if (taken == PerUserAccept::Result::OutOfResources) {
          acceptPausedUntil = Steady::now() + PerUserAccept::kPause;
        }
        if (taken == PerUserAccept::Result::TurnedAway) continue;
        if (taken != PerUserAccept::Result::Taken) break;
        Client& client = clients[fd];
        client.id = nextClient++;
        client.uid = uid;
      }
    }
    // Before the answers of this turn go out, so that a caller holding one sees this turn.
    publish();
  }
  for (auto& [fd, client] : clients) {
    core_.clientGone(client.id);
    ::close(fd);
  }
  openConnections_ = 0;
}

}  // namespace ov::sim
