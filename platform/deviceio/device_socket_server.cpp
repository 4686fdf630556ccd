#include "platform/deviceio/device_socket_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <list>
#include <map>

#include "platform/deviceio/device_protocol.h"
#include "platform/deviceio/socket_io.h"
#include "platform/deviceio/per_user_accept.h"

namespace ov {

namespace {

using Clock = std::chrono::steady_clock;

// After running out of descriptors, accepting waits this long instead of retrying at once.

struct Connection {
  int fd = -1;
  uid_t uid = 0;
  // The request arriving, header then payload: it grows with what came, not with what the
  // header announces.
  std::vector<uint8_t> in;
  size_t expected = kDeviceHeaderBytes;     // the whole request, once its header is known
  std::vector<uint8_t> out;                 // the answer not yet taken
  size_t sent = 0;
  Clock::time_point deadline;

  size_t heldBytes() const { return in.capacity() + out.capacity(); }
};

enum class Step { Keep, Close };

Step SendPending(Connection& c, const DeviceSocketLimits& limits) {
  while (c.sent < c.out.size()) {
    ssize_t n = ::send(c.fd, c.out.data() + c.sent, c.out.size() - c.sent,
                       MSG_DONTWAIT | MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return Step::Keep;
    if (n <= 0) return Step::Close;
    c.sent += static_cast<size_t>(n);
  }
  std::vector<uint8_t>().swap(c.out);  // an answer may be large: give the memory back
  c.sent = 0;
  c.deadline = Clock::now() + std::chrono::milliseconds(limits.idleMs);
  return Step::Keep;
}

Step Answer(Connection& c, const DeviceSocketServer::Handler& handler,
            const DeviceSocketLimits& limits) {
  DeviceRequestHeader header = DecodeRequestHeader(c.in.data());
  std::vector<uint8_t> buffer(c.in.begin() + kDeviceHeaderBytes, c.in.end());
  std::vector<uint8_t>().swap(c.in);
  c.expected = kDeviceHeaderBytes;

  uint32_t bytesReturned = 0;
  uint32_t status = handler(header.controlCode, header.oid, buffer, &bytesReturned);
  buffer.resize(header.outputSize);  // a handler cannot change the agreed size

  c.out.resize(kDeviceAnswerHeaderBytes + buffer.size());
  EncodeAnswerHeader(DeviceAnswerHeader{status, bytesReturned}, c.out.data());
  std::copy(buffer.begin(), buffer.end(), c.out.begin() + kDeviceAnswerHeaderBytes);
  c.sent = 0;
  c.deadline = Clock::now() + std::chrono::milliseconds(limits.requestMs);
  return SendPending(c, limits);
}

// Takes what the caller sent so far and answers a request once it is whole.
Step ReadFrom(Connection& c, const DeviceSocketServer::Handler& handler,
              const DeviceSocketLimits& limits) {
  uint8_t chunk[4096];
  while (c.out.empty()) {
    const size_t want = std::min(c.expected - c.in.size(), sizeof chunk);
    ssize_t n = ::recv(c.fd, chunk, want, MSG_DONTWAIT);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return Step::Keep;
    if (n <= 0) return Step::Close;
    // The deadline for a request runs from its first byte.
    if (c.in.empty()) c.deadline = Clock::now() + std::chrono::milliseconds(limits.requestMs);
    c.in.insert(c.in.end(), chunk, chunk + n);
    if (c.in.size() == kDeviceHeaderBytes && c.expected == kDeviceHeaderBytes) {
      DeviceRequestHeader header = DecodeRequestHeader(c.in.data());
      if (header.outputSize > kMaxDevicePayload) return Step::Close;
      c.expected = kDeviceHeaderBytes + header.outputSize;
    }
    if (c.in.size() == c.expected && Answer(c, handler, limits) == Step::Close) {
      return Step::Close;
    }
  }
  return Step::Keep;
}

int MillisecondsUntil(Clock::time_point when, Clock::time_point now) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(when - now).count();
  return left > 0 ? static_cast<int>(std::min<int64_t>(left + 1, 60000)) : 0;
}

}  // namespace

DeviceSocketServer::~DeviceSocketServer() { stop(); }

bool DeviceSocketServer::start(const std::string& socketPath, Handler handler) {
  stop();
  listenFd_ = ListenUnixSocketForEveryone(socketPath);
  if (listenFd_ < 0) return false;
  // Accepting runs until the queue is empty, which a blocking socket would wait out.
  ::fcntl(listenFd_, F_SETFL, ::fcntl(listenFd_, F_GETFL) | O_NONBLOCK);
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
  std::list<Connection> connections;
  PerUserAccept accepting(limits_.maxConnectionsPerUser);
  Clock::time_point acceptPausedUntil{};
  auto release = [&](std::list<Connection>::iterator it) {
    ::close(it->fd);
    accepting.Release(it->uid);
    return connections.erase(it);
  };
  auto publish = [&] {
    size_t held = 0;
    for (const auto& c : connections) held += c.heldBytes();
    openConnections_ = connections.size();
    bufferedBytes_ = held;
    if (held > peakBufferedBytes_) peakBufferedBytes_ = held;
  };
  for (;;) {
    publish();
    Clock::time_point now = Clock::now();

    // At the cap, or out of descriptors, new callers wait in the listening queue: polling it
    // then would only wake this thread again and again.
    const bool paused = now < acceptPausedUntil;
    const bool room = connections.size() < limits_.maxConnections && !paused;
    std::vector<pollfd> fds;
    fds.push_back({wakeFd_, POLLIN, 0});
    fds.push_back({listenFd_, static_cast<short>(room ? POLLIN : 0), 0});
    int wait = paused ? MillisecondsUntil(acceptPausedUntil, now) : -1;
    for (const auto& c : connections) {
      fds.push_back({c.fd, static_cast<short>(c.out.empty() ? POLLIN : POLLOUT), 0});
      const int ms = MillisecondsUntil(c.deadline, now);
      if (wait < 0 || ms < wait) wait = ms;
    }
    if (::poll(fds.data(), fds.size(), wait) < 0 && errno != EINTR) break;
    if (fds[0].revents != 0) break;

    // Existing connections first: their poll entries match the list as it was.
    size_t index = 2;
    now = Clock::now();
    for (auto it = connections.begin(); it != connections.end(); ++index) {
      const short revents = fds[index].revents;
      bool close = false;
      if (revents & POLLOUT) {
        close = SendPending(*it, limits_) == Step::Close;
      } else if ((revents & (POLLHUP | POLLERR)) && !it->out.empty()) {
        close = true;  // gone before taking its answer
      } else if (revents != 0) {
        close = ReadFrom(*it, handler_, limits_) == Step::Close;
      }
      // A request that is late, or a connection idle too long, lets its slot go.
      if (!close && Clock::now() >= it->deadline) close = true;
      it = close ? release(it) : std::next(it);
    }

    if (!(fds[1].revents & POLLIN)) continue;
    while (connections.size() < limits_.maxConnections) {
      int fd = -1;
      uid_t uid = 0;
      const PerUserAccept::Result taken = accepting.Accept(listenFd_, &fd, &uid);
      if (taken == PerUserAccept::Result::OutOfResources) {
        acceptPausedUntil = Clock::now() + PerUserAccept::kPause;
      }
      if (taken == PerUserAccept::Result::TurnedAway) continue;
      if (taken != PerUserAccept::Result::Taken) break;
      Connection c;
      c.fd = fd;
      c.uid = uid;
      c.deadline = Clock::now() + std::chrono::milliseconds(limits_.idleMs);
      connections.push_back(std::move(c));
      // Most callers have sent their request already: answer it now.
      auto it = std::prev(connections.end());
      if (ReadFrom(*it, handler_, limits_) == Step::Close) release(it);
      publish();
    }
  }
  for (auto& c : connections) ::close(c.fd);
  openConnections_ = 0;
}

}  // namespace ov
