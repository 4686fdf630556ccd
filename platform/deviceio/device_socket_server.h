#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

// The driver's end of a device socket: accepts connections and answers each request with a
// handler. Used by the simulated adapters and by tests that need a scripted driver.
// The socket is open to every local user, so one user's slow or idle connections must not keep
// another's requests waiting: reads never block, a request must arrive within a short deadline,
// an idle connection is dropped, and each user (and all together) may hold only so many.
namespace ov {

struct DeviceSocketLimits {
  size_t maxConnections = 64;         // in total; beyond it new callers wait in the queue
  size_t maxConnectionsPerUser = 8;   // a user's further connections are closed at once
  int requestMs = 1000;               // from a request's first byte to its answer taken
  int idleMs = 10000;                 // a connection between requests
};

class DeviceSocketServer {
 public:
  // Answers one request: may change `buffer` (size fixed by the request) and sets
  // *bytesReturned; returns the status (0 success).
  using Handler = std::function<uint32_t(uint32_t controlCode, uint32_t oid,
                                         std::vector<uint8_t>& buffer, uint32_t* bytesReturned)>;

  DeviceSocketServer() = default;
  explicit DeviceSocketServer(DeviceSocketLimits limits) : limits_(limits) {}
  ~DeviceSocketServer();
  DeviceSocketServer(const DeviceSocketServer&) = delete;
  DeviceSocketServer& operator=(const DeviceSocketServer&) = delete;

  // Creates the socket file and serves it on a thread of its own. Handlers run on that thread,
  // one request at a time.
  bool start(const std::string& socketPath, Handler handler);
  // Removes the socket file and closes every connection: the device is gone.
  void stop();
  bool running() const { return thread_.joinable(); }

  // The server's own accounting, updated on every turn of its loop.
  size_t openConnections() const { return openConnections_.load(); }
  // Bytes held for requests still arriving and answers not yet taken.
  size_t bufferedBytes() const { return bufferedBytes_.load(); }
  size_t peakBufferedBytes() const { return peakBufferedBytes_.load(); }

 private:
  void serve();

  DeviceSocketLimits limits_;
  std::string path_;
  Handler handler_;
  int listenFd_ = -1;
  int wakeFd_ = -1;
  std::thread thread_;
  std::atomic<size_t> openConnections_{0};
  std::atomic<size_t> bufferedBytes_{0};
  std::atomic<size_t> peakBufferedBytes_{0};
};

}  // namespace ov
