#pragma once
#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "services/registry_message.h"

// ovregsvc's work: performs the registry operations that callers without the right to write the
// machine hive send it, within the allow-list (registry_allow_list.h) and the program's policy,
// and logs every request with its outcome. Nothing in a message is trusted before the codec and
// the allow-list have passed it; a refused or malformed request changes nothing.
namespace ov {

// Who sent a message, as the kernel reports the connecting process.
struct PeerCredentials {
  bool known = false;
  uid_t uid = 0;
  gid_t gid = 0;
  pid_t pid = 0;
  std::vector<gid_t> groups;  // supplementary groups
};

// SO_PEERCRED, and SO_PEERGROUPS where the kernel has it (else the user's groups from the
// group database).
PeerCredentials PeerOf(int socketFd);

// The program INI's policy as the service reads it. The file decides only while nobody but root
// (or the service's own user) can change it: a file or folder that others may write is ignored
// and both flags read as off.
struct ServicePolicy {
  bool allowStandardUserSetAdvance = true;
  bool allowStandardUserSetProfile = false;
  bool trusted = true;
  std::string distrustReason;
};
ServicePolicy ReadServicePolicy(const std::string& programIniPath);

// What the service answers: 0 done, the registry's error when performing failed,
// ERROR_ACCESS_DENIED when refused, ERROR_INVALID_PARAMETER when malformed.
class RegistryService {
 public:
  struct Options {
    std::string programIniPath;
    std::function<void(const std::string& line)> log;
    // Whether the peer counts as an administrator; the system's group rule when empty.
    std::function<bool(const PeerCredentials&)> isAdmin;
  };

  explicit RegistryService(Options options);

  uint32_t Handle(const uint8_t* bytes, size_t size, const PeerCredentials& peer);
  // A connection that closed or timed out before a whole message arrived.
  void Incomplete(size_t received, bool timedOut, const PeerCredentials& peer);
  // A message with more bytes behind it: refused unread (ERROR_INVALID_PARAMETER).
  uint32_t Oversized(const PeerCredentials& peer);
  // Connections turned away because their user already had too many waiting.
  void TooManyWaiting(const PeerCredentials& peer, size_t refused);

 // A user's refusals are logged at most this often per window; the rest are counted and said in
  // one line when the window turns, so a user cannot flood the log.
  static constexpr size_t kRefusalLinesPerWindow = 20;
  static constexpr std::chrono::seconds kRefusalWindow{10};

 private:
  void log(const std::string& line) const;
  void logRefusal(const PeerCredentials& peer, const std::string& line);
  bool peerIsAdmin(const PeerCredentials& peer) const;

  struct RefusalWindow {
    std::chrono::steady_clock::time_point start{};
    size_t logged = 0;
    size_t unlogged = 0;
  };
  Options options_;
  std::map<uid_t, RefusalWindow> refusals_;
};

// How the service shares itself between callers. A caller whose message is already there when
// its connection is taken is served at once; only connections still owing their message wait,
// each for at most `messageMs`. A user with `maxWaitingPerUser` connections waiting gets
// kServiceBusy on the next one (the client tries again), so one user's idle connections never
// take the slots of others; with `maxWaiting` in all, new callers wait in the listening queue.
struct ServiceLimits {
  size_t maxWaiting = 512;
  size_t maxWaitingPerUser = 16;
  int messageMs = 1000;
};

// The listening queue ovregsvc asks for (the kernel may cap it at net.core.somaxconn).
constexpr int kServiceBacklog = 1024;

// Serves `listenFd` until `stopFd` turns readable (a signalfd or a pipe), one thread, one poll.
void RunRegistryService(int listenFd, int stopFd, RegistryService& service,
                        const ServiceLimits& limits = {});

}  // namespace ov
