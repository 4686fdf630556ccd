#pragma once
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace ov::test {

// Runs `body` in a forked child that is killed after `seconds`, so that a call waiting on a FIFO
// (or otherwise hanging) fails the test at once instead of holding it until ctest's timeout.
// Returns the child's exit code, or -1 when it was killed.
inline int ExitCodeWithin(unsigned seconds, const std::function<int()>& body) {
  pid_t child = ::fork();
  if (child == 0) {
    ::alarm(seconds);
    _exit(body());
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace ov::test
