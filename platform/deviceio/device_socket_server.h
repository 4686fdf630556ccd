#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

// The driver's end of a device socket: accepts connections and answers each request with a
// handler. Used by the simulated adapters and by tests that need a scripted driver.
namespace ov {

class DeviceSocketServer {
 public:
  // Answers one request: may change `buffer` (size fixed by the request) and sets
  // *bytesReturned; returns the status (0 success).
  using Handler = std::function<uint32_t(uint32_t controlCode, uint32_t oid,
                                         std::vector<uint8_t>& buffer, uint32_t* bytesReturned)>;

  DeviceSocketServer() = default;
  ~DeviceSocketServer();
  DeviceSocketServer(const DeviceSocketServer&) = delete;
  DeviceSocketServer& operator=(const DeviceSocketServer&) = delete;

  // Creates the socket file and serves it on a thread of its own. Handlers run on that thread,
  // one request at a time.
  bool start(const std::string& socketPath, Handler handler);
  // Removes the socket file and closes every connection: the device is gone.
  void stop();
  bool running() const { return thread_.joinable(); }

 private:
  void serve();
  bool answerOne(int fd);

  std::string path_;
  Handler handler_;
  int listenFd_ = -1;
  int wakeFd_ = -1;
  std::thread thread_;
};

}  // namespace ov
