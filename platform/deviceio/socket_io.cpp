#include "platform/deviceio/socket_io.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace ov {

namespace {

bool FillAddress(const std::string& path, sockaddr_un& address) {
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return true;
}

bool WaitFor(int fd, short events, const Deadline& deadline) {
  for (;;) {
    pollfd p{fd, events, 0};
    int n = ::poll(&p, 1, deadline.remainingMs());
    if (n > 0) return true;
    if (n == 0) return false;
    if (errno != EINTR) return false;
  }
}

}  // namespace

int Deadline::remainingMs() const {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      end_ - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

int ConnectUnixSocket(const std::string& path, int timeoutMs) {
  sockaddr_un address;
  if (!FillAddress(path, address)) return -1;
  // A listener with a full backlog: a non-blocking connect would fail at once (and polling the
  // unconnected socket reports it writable), so connect blocking, for no longer than the
  // request may take, then switch to non-blocking.
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  timeval limit{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
  if (timeoutMs <= 0) limit = {0, 1000};  // zero would mean no limit at all
  timeval none{0, 0};
  if (::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit) == 0 &&
      ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &none, sizeof none) == 0 &&
      ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK) == 0) {
    return fd;
  }
  ::close(fd);
  return -1;
}

int ListenUnixSocket(const std::string& path, int backlog) {
  sockaddr_un address;
  if (!FillAddress(path, address)) return -1;
  struct stat st{};
  if (::lstat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode)) ::unlink(path.c_str());
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(fd, backlog) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

int ListenUnixSocketForEveryone(const std::string& path, int backlog) {
  const int fd = ListenUnixSocket(path, backlog);
  if (fd >= 0 && ::chmod(path.c_str(), 0666) != 0) {
    ::close(fd);
    ::unlink(path.c_str());
    return -1;
  }
  return fd;
}

bool SpinUntilReadable(int fd, int spinMicros) {
  auto end = std::chrono::steady_clock::now() + std::chrono::microseconds(spinMicros);
  do {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 0) > 0) return true;
  } while (std::chrono::steady_clock::now() < end);
  return false;
}

bool SendAll(int fd, const void* data, size_t size, const Deadline& deadline) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = ::send(fd, p, size, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
      p += n;
      size -= static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (!WaitFor(fd, POLLOUT, deadline)) return false;
      continue;
    }
    return false;
  }
  return true;
}

bool ReceiveAll(int fd, void* data, size_t size, const Deadline& deadline) {
  char* p = static_cast<char*>(data);
  while (size > 0) {
    ssize_t n = ::recv(fd, p, size, MSG_DONTWAIT);
    if (n > 0) {
      p += n;
      size -= static_cast<size_t>(n);
      continue;
    }
    if (n == 0) return false;
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
      if (!WaitFor(fd, POLLIN, deadline)) return false;
      continue;
    }
    return false;
  }
  return true;
}

}  // namespace ov
