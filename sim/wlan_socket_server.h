#pragma once
#include <string>
#include <thread>

#include "sim/sim_clock.h"
#include "sim/wlan_service_core.h"

// The wireless service's socket (<root>/run/ovui/wlansvc): frames of the wire protocol in,
// answers and notifications out, on a thread of its own that also runs the service's timed
// events. A client that sends a malformed frame or request is dropped (its handles close);
// one that does not take its notifications is dropped once a backlog of kMaxBacklog builds up.
namespace ov::sim {

constexpr size_t kMaxBacklog = 8 * 1024 * 1024;

class WlanSocketServer {
 public:
  // The clock must be callable from the server's thread.
  WlanSocketServer(WlanServiceCore& core, const SimClock& clock);
  ~WlanSocketServer();
  WlanSocketServer(const WlanSocketServer&) = delete;
  WlanSocketServer& operator=(const WlanSocketServer&) = delete;

  bool start(const std::string& socketPath);
  // Removes the socket and drops every client.
  void stop();
  bool running() const { return thread_.joinable(); }
  // The world changed from outside (control socket): send what the service has to say now.
  void wake();

 private:
  void serve();

  WlanServiceCore& core_;
  const SimClock& clock_;
  std::string path_;
  int listenFd_ = -1;
  int wakeFd_ = -1;
  std::thread thread_;
};

}  // namespace ov::sim
