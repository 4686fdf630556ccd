#include "sim/control_server.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <vector>

#include "platform/deviceio/socket_io.h"

namespace ov::sim {

namespace {

// A client gets this long to take its reply.
constexpr int kReplyTimeoutMs = 1000;

bool Reply(int fd, const std::string& text) {
  std::string line = text + "\n";
  return SendAll(fd, line.data(), line.size(), Deadline(kReplyTimeoutMs));
}

// Answers every complete line in `pending`; false when the client is to be dropped.
bool AnswerLines(int fd, std::string& pending, const ControlHandler& handler) {
  size_t newline;
  while ((newline = pending.find('\n')) != std::string::npos) {
    std::string line = pending.substr(0, newline);
    pending.erase(0, newline + 1);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!Reply(fd, handler(line))) return false;
  }
  if (pending.size() > kMaxControlLine) {
    Reply(fd, "error line too long");
    return false;
  }
  return true;
}

}  // namespace

void RunControlLoop(int listenFd, int stopFd, const ControlHandler& handler) {
  std::map<int, std::string> clients;  // descriptor → bytes of an unfinished line
  for (;;) {
    std::vector<pollfd> fds = {{stopFd, POLLIN, 0}, {listenFd, POLLIN, 0}};
    for (const auto& [fd, pending] : clients) fds.push_back({fd, POLLIN, 0});
    if (::poll(fds.data(), fds.size(), -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (fds[0].revents != 0) break;
    for (size_t i = 2; i < fds.size(); ++i) {
      if (fds[i].revents == 0) continue;
      int fd = fds[i].fd;
      char buffer[512];
      ssize_t n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
      if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
      std::string& pending = clients[fd];
      if (n > 0) pending.append(buffer, static_cast<size_t>(n));
      if (n <= 0 || !AnswerLines(fd, pending, handler)) {
        ::close(fd);
        clients.erase(fd);
      }
    }
    if (fds[1].revents & POLLIN) {
      int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
      if (fd >= 0) clients[fd];
    }
  }
  for (const auto& [fd, pending] : clients) ::close(fd);
}

}  // namespace ov::sim
