#include "platform/deviceio/per_user_accept.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace ov {

PerUserAccept::Result PerUserAccept::Accept(int listenFd, int* fd, uid_t* uid) {
  const int taken = ::accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
  if (taken < 0) {
    if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM)
      return Result::OutOfResources;
    return Result::QueueEmpty;
  }
  ucred cred{};
  socklen_t length = sizeof cred;
  const bool known = ::getsockopt(taken, SOL_SOCKET, SO_PEERCRED, &cred, &length) == 0 &&
                     length == sizeof cred;
  if (!known) {
    ::close(taken);
    return Result::TurnedAway;
  }
  size_t& held = open_[cred.uid];
  if (held >= limit_) {
    if (held == 0) open_.erase(cred.uid);
    ::close(taken);
    return Result::TurnedAway;
  }
  ++held;
  *fd = taken;
  *uid = cred.uid;
  return Result::Taken;
}

void PerUserAccept::Release(uid_t uid) {
  auto it = open_.find(uid);
  if (it != open_.end() && --it->second == 0) open_.erase(it);
}

}  // namespace ov
