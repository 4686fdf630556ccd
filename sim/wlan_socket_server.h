#pragma once
#include <atomic>
#include <cstddef>
#include <string>
#include <thread>

#include "sim/sim_clock.h"
#include "sim/wlan_service_core.h"

// The wireless service's socket (<root>/run/ovui/wlansvc): frames of the wire protocol in,
// answers and notifications out, on a thread of its own that also runs the service's timed
// events. A client that sends a malformed frame or request is dropped (its handles close);
// one that does not take its notifications is dropped once a backlog of kMaxBacklog builds up.
// The socket is open to every local user, so no user may make the service hold memory or slots
// without bound: a frame larger than the largest request is refused, a frame started must be
// finished within a deadline, a client's requests wait while it leaves its answers unread, and
// each user (and all together) may hold only so many connections. A client that sent nothing
// unfinished may stay idle: it may be waiting for notifications.
namespace ov::sim {

constexpr size_t kMaxBacklog = 8 * 1024 * 1024;

struct WlanSocketLimits {
  // The largest request the protocol decodes is a set-profile or EAP-user-data request with a
  // document of kMaxProfileXml bytes and a name; a frame body above this is refused at once.
  size_t maxRequestBody = 256 * 1024 + 8 * 1024;
  size_t maxConnections = 64;        // in total; beyond it new clients wait in the queue
  size_t maxConnectionsPerUser = 8;  // a user's further connections are closed at once
  int partialFrameMs = 5000;         // from a frame's first byte to its last
  // While this much of a client's answers is unread, its further requests wait.
  size_t pauseReadingAt = 64 * 1024;
};

class WlanSocketServer {
 public:
  // The clock must be callable from the server's thread.
  WlanSocketServer(WlanServiceCore& core, const SimClock& clock, WlanSocketLimits limits = {});
  ~WlanSocketServer();
  WlanSocketServer(const WlanSocketServer&) = delete;
  WlanSocketServer& operator=(const WlanSocketServer&) = delete;

  bool start(const std::string& socketPath);
  // Removes the socket and drops every client.
  void stop();
  bool running() const { return thread_.joinable(); }
  // The world changed from outside (control socket): send what the service has to say now.
  void wake();

  // The server's own accounting, updated on every turn of its loop.
  size_t openConnections() const { return openConnections_.load(); }
  // Bytes held for frames arriving and answers or notifications not yet taken.
  size_t bufferedBytes() const { return bufferedBytes_.load(); }
  size_t peakBufferedBytes() const { return peakBufferedBytes_.load(); }

 private:
  void serve();

  WlanServiceCore& core_;
  const SimClock& clock_;
  WlanSocketLimits limits_;
  std::string path_;
  int listenFd_ = -1;
  int wakeFd_ = -1;
  std::thread thread_;
  std::atomic<size_t> openConnections_{0};
  std::atomic<size_t> bufferedBytes_{0};
  std::atomic<size_t> peakBufferedBytes_{0};
};

}  // namespace ov::sim
