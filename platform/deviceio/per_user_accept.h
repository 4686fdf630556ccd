#pragma once
#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <map>

// Taking callers off a listening UNIX socket that every local user may reach, so that one user's
// connections never take the slots other users need: each user (by SO_PEERCRED) may hold a
// bounded number of connections, and a caller the system cannot name is turned away.
namespace ov {

class PerUserAccept {
 public:
  enum class Result {
    Taken,           // *fd and *uid are the new connection's (non-blocking, close-on-exec)
    TurnedAway,      // closed at once: its user holds the limit, or it cannot be named
    QueueEmpty,      // nobody is waiting
    OutOfResources,  // the process or system ran out of descriptors: try again after Pause()
  };
  // How long to stop accepting after OutOfResources, instead of spinning on the queue.
  static constexpr std::chrono::milliseconds kPause{200};

  explicit PerUserAccept(size_t perUserLimit) : limit_(perUserLimit) {}

  Result Accept(int listenFd, int* fd, uid_t* uid);
  // A connection Accept took has been closed.
  void Release(uid_t uid);

 private:
  size_t limit_;
  std::map<uid_t, size_t> open_;
};

}  // namespace ov
