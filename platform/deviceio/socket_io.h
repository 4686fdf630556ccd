#pragma once
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

// Bounded blocking I/O on stream sockets, shared by the device sockets' client and server.
namespace ov {

class Deadline {
 public:
  explicit Deadline(int timeoutMs)
      : end_(std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs)) {}
  // Milliseconds left, at least 0.
  int remainingMs() const;

 private:
  std::chrono::steady_clock::time_point end_;
};

// Connects to a UNIX stream socket; -1 when nothing listens there. The descriptor is
// non-blocking and close-on-exec.
int ConnectUnixSocket(const std::string& path, int timeoutMs);

// Listens on a UNIX stream socket, replacing a stale socket file; -1 on failure.
int ListenUnixSocket(const std::string& path, int backlog = 16);
// The same for a socket every local user may connect to (mode 0666 whatever the umask): the
// caller learns who is calling from the socket itself when that matters.
int ListenUnixSocketForEveryone(const std::string& path, int backlog = 16);

// Checks for input without sleeping for up to `spinMicros`: a peer on another core usually
// answers within that time, and not sleeping saves the wake-up, which costs more than the
// answer itself. Returns true when input is there.
bool SpinUntilReadable(int fd, int spinMicros);

// Sends or receives exactly `size` bytes before the deadline; false on timeout, error or EOF.
bool SendAll(int fd, const void* data, size_t size, const Deadline& deadline);
bool ReceiveAll(int fd, void* data, size_t size, const Deadline& deadline);

}  // namespace ov
