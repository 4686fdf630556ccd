#include "services/registry_service.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <iterator>
#include <list>
#include <map>
#include <memory>

#include "driver/params/program_options.h"
#include "platform/registry/registry.h"
#include "platform/system/admin_group.h"
#include "platform/system/error_codes.h"
#include "services/registry_allow_list.h"

namespace ov {

namespace {

std::vector<gid_t> GroupsFromDatabase(uid_t uid, gid_t gid) {
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr) {
    return {};
  }
  int count = 64;
  std::vector<gid_t> groups(static_cast<size_t>(count));
  if (getgrouplist(found->pw_name, gid, groups.data(), &count) < 0) {
    groups.resize(static_cast<size_t>(count));
    if (getgrouplist(found->pw_name, gid, groups.data(), &count) < 0) return {};
  }
  groups.resize(static_cast<size_t>(count));
  return groups;
}

// Whether only root or this process's user can change `path`.
bool OnlyTrustedMayWrite(const std::filesystem::path& path, std::string* why) {
  struct stat st{};
  if (::stat(path.c_str(), &st) != 0) return true;  // nothing there to distrust
  if (st.st_uid != 0 && st.st_uid != ::geteuid()) {
    *why = path.string() + " belongs to another user";
    return false;
  }
  if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
    *why = path.string() + " may be written by other users";
    return false;
  }
  return true;
}

std::string HiveName(const RegistryMessage& m) {
  switch (m.hive) {
    case kHiveLocalMachine: return "HKLM";
    case kHiveClassesRoot: return "HKCR";
    default: return "hive " + std::to_string(m.hive);
  }
}

std::string Describe(const RegistryMessage& m) {
  std::string text = OperationName(static_cast<uint8_t>(m.op)) + " " + HiveName(m) + "\\" +
                     PrintableForLog(m.keyPath);
  if (!m.name.empty()) text += " \"" + PrintableForLog(m.name) + "\"";
  return text;
}

std::string Who(const PeerCredentials& peer) {
  if (!peer.known) return "unknown caller";
  return "uid " + std::to_string(peer.uid) + " pid " + std::to_string(peer.pid);
}

uint32_t Perform(const RegistryMessage& m, const std::string& keyPath) {
  RegKey key;
  switch (m.op) {
    case RegistryOp::SetValue:
      if (uint32_t err = key.open(HKEY_LOCAL_MACHINE, keyPath, KEY_SET_VALUE)) return err;
      return RegSetValueEx(key.get(), m.name.c_str(), 0, m.valueType,
                           reinterpret_cast<const uint8_t*>(m.data.data()),
                           static_cast<uint32_t>(m.data.size()));
    case RegistryOp::CreateKey:
      return key.create(HKEY_LOCAL_MACHINE, keyPath, KEY_ALL_ACCESS);
    case RegistryOp::DeleteValue:
      if (uint32_t err = key.open(HKEY_LOCAL_MACHINE, keyPath, KEY_SET_VALUE)) return err;
      return RegDeleteValue(key.get(), m.name.c_str());
    case RegistryOp::DeleteKey:
      if (uint32_t err = key.open(HKEY_LOCAL_MACHINE, keyPath, KEY_ALL_ACCESS)) return err;
      return RegDeleteKey(key.get(), m.name.c_str());
    case RegistryOp::DeleteKeyTree:
      if (uint32_t err = key.open(HKEY_LOCAL_MACHINE, keyPath, KEY_ALL_ACCESS)) return err;
      return SHDeleteKey(key.get(), m.name.c_str());
  }
  return ERROR_INVALID_PARAMETER;
}

}  // namespace

PeerCredentials PeerOf(int socketFd) {
  PeerCredentials peer;
  ucred cred{};
  socklen_t length = sizeof cred;
  if (::getsockopt(socketFd, SOL_SOCKET, SO_PEERCRED, &cred, &length) != 0 ||
      length != sizeof cred) {
    return peer;
  }
  peer.known = true;
  peer.uid = cred.uid;
  peer.gid = cred.gid;
  peer.pid = cred.pid;
#ifdef SO_PEERGROUPS
  std::vector<gid_t> groups(64);
  socklen_t bytes = static_cast<socklen_t>(groups.size() * sizeof(gid_t));
  int rc = ::getsockopt(socketFd, SOL_SOCKET, SO_PEERGROUPS, groups.data(), &bytes);
  if (rc != 0 && errno == ERANGE) {
    groups.resize(bytes / sizeof(gid_t));
    rc = ::getsockopt(socketFd, SOL_SOCKET, SO_PEERGROUPS, groups.data(), &bytes);
  }
  if (rc == 0) {
    groups.resize(bytes / sizeof(gid_t));
    peer.groups = std::move(groups);
    return peer;
  }
#endif
  peer.groups = GroupsFromDatabase(peer.uid, peer.gid);
  return peer;
}

ServicePolicy ReadServicePolicy(const std::string& programIniPath) {
  ServicePolicy policy;
  const std::filesystem::path file(programIniPath);
  std::string why;
  if (!OnlyTrustedMayWrite(file, &why) || !OnlyTrustedMayWrite(file.parent_path(), &why)) {
    policy.allowStandardUserSetAdvance = false;
    policy.allowStandardUserSetProfile = false;
    policy.trusted = false;
    policy.distrustReason = why;
    return policy;
  }
  const ProgramOptions options = ReadProgramOptions(programIniPath);
  policy.allowStandardUserSetAdvance = options.allowStandardUserSetAdvance;
  policy.allowStandardUserSetProfile = options.allowStandardUserSetProfile;
  return policy;
}

RegistryService::RegistryService(Options options) : options_(std::move(options)) {}

void RegistryService::log(const std::string& line) const {
  if (options_.log) options_.log(line);
}

void RegistryService::logRefusal(const PeerCredentials& peer, const std::string& line) {
  RefusalWindow& w = refusals_[peer.uid];
  const auto now = std::chrono::steady_clock::now();
  if (now - w.start >= kRefusalWindow) {
    if (w.unlogged > 0) {
      log("refused " + Who(peer) + ": " + std::to_string(w.unlogged) +
          " more refusals of this user were not logged");
    }
    w = RefusalWindow{now, 0, 0};
  }
  if (w.logged < kRefusalLinesPerWindow) {
    ++w.logged;
    log(line);
  } else {
    ++w.unlogged;
  }
}

bool RegistryService::peerIsAdmin(const PeerCredentials& peer) const {
  if (options_.isAdmin) return options_.isAdmin(peer);
  ProcessCredentials credentials;
  credentials.effectiveUid = peer.uid;
  credentials.effectiveGid = peer.gid;
  credentials.supplementaryGids = peer.groups;
  return IsInAdminGroup(credentials, LookupGroupId);
}

uint32_t RegistryService::Handle(const uint8_t* bytes, size_t size, const PeerCredentials& peer) {
  RegistryMessage m;
  if (MessageFault fault = DecodeRegistryMessage(bytes, size, &m); fault != MessageFault::None) {
    logRefusal(peer, "refused " + Who(peer) + ": malformed message (" + DescribeMessageFault(fault) + ")");
    return ERROR_INVALID_PARAMETER;
  }
  if (!peer.known) {
    logRefusal(peer, "refused " + Who(peer) + ": " + Describe(m) + ": the caller cannot be identified");
    return ERROR_ACCESS_DENIED;
  }
  AllowDecision decision = CheckAllowList(m);
  if (!decision.allowed) {
    logRefusal(peer, "refused " + Who(peer) + ": " + Describe(m) + ": " + decision.explanation);
    return ERROR_ACCESS_DENIED;
  }
  if (!peerIsAdmin(peer)) {
    ServicePolicy policy = ReadServicePolicy(options_.programIniPath);
    if (!policy.trusted) {
      log("ignoring the program settings: " + policy.distrustReason);
    }
    if (!policy.allowStandardUserSetAdvance) {
      logRefusal(peer, "refused " + Who(peer) + ": " + Describe(m) +
                           ": standard users may not change settings (AllowStandardUserSetAdvance)");
      return ERROR_ACCESS_DENIED;
    }
    if (decision.needsProfilePolicy && !policy.allowStandardUserSetProfile) {
      logRefusal(peer, "refused " + Who(peer) + ": " + Describe(m) +
                           ": standard users may not change logon settings (AllowStandardUserSetProfile)");
      return ERROR_ACCESS_DENIED;
    }
  }
  const uint32_t result = Perform(m, decision.machineKeyPath);
  log((result == ERROR_SUCCESS ? "done " : "failed " + std::to_string(result) + " ") + Who(peer) +
      ": " + Describe(m));
  return result;
}

uint32_t RegistryService::Oversized(const PeerCredentials& peer) {
  logRefusal(peer, "refused " + Who(peer) + ": more than " + std::to_string(kRegistryMessageSize) +
                       " bytes (a message followed by extra bytes)");
  return ERROR_INVALID_PARAMETER;
}

void RegistryService::TooManyWaiting(const PeerCredentials& peer, size_t refused) {
  log("refused " + Who(peer) + ": too many connections of this user waiting to send (" +
      std::to_string(refused) + " refused since the last such line)");
}

void RegistryService::Incomplete(size_t received, bool timedOut, const PeerCredentials& peer) {
  if (received == 0 && !timedOut) return;  // a caller checking that the service listens
  logRefusal(peer, "refused " + Who(peer) + ": incomplete message (" + std::to_string(received) +
                       " of " + std::to_string(kRegistryMessageSize) + " bytes" +
                       (timedOut ? ", timed out)" : ")"));
}

namespace {

struct Connection {
  int fd = -1;
  PeerCredentials peer;
  // One byte more than a message, so that extra bytes behind it are seen.
  std::array<uint8_t, kRegistryMessageSize + 1> buffer{};
  size_t received = 0;
  std::chrono::steady_clock::time_point deadline;
};

void Answer(int fd, uint32_t status) {
  const uint8_t le[4] = {static_cast<uint8_t>(status), static_cast<uint8_t>(status >> 8),
                         static_cast<uint8_t>(status >> 16), static_cast<uint8_t>(status >> 24)};
  // Four bytes always fit an empty socket buffer; a caller that went away simply misses them.
  (void)::send(fd, le, sizeof le, MSG_NOSIGNAL | MSG_DONTWAIT);
}

enum class Progress { Waiting, Finished };

// Reads what the caller sent so far; answers and finishes once the message is complete, or
// when the caller closed or sent more than one message.
Progress ReadFrom(Connection& c, RegistryService& service) {
  for (;;) {
    const ssize_t got = ::recv(c.fd, c.buffer.data() + c.received, c.buffer.size() - c.received,
                               MSG_DONTWAIT);
    if (got > 0) {
      c.received += static_cast<size_t>(got);
      if (c.received < kRegistryMessageSize) continue;
      uint8_t more = 0;
      if (c.received > kRegistryMessageSize ||
          ::recv(c.fd, &more, 1, MSG_DONTWAIT | MSG_PEEK) > 0) {
        Answer(c.fd, service.Oversized(c.peer));
      } else {
        Answer(c.fd, service.Handle(c.buffer.data(), kRegistryMessageSize, c.peer));
      }
      return Progress::Finished;
    }
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return Progress::Waiting;
    service.Incomplete(c.received, false, c.peer);
    return Progress::Finished;
  }
}

// Refusals for too many waiting connections, logged at most once a second per user.
class BusyLog {
 public:
  void refused(uid_t uid, const PeerCredentials& peer, RegistryService& service) {
    Entry& e = entries_[uid];
    ++e.unlogged;
    const auto now = std::chrono::steady_clock::now();
    if (now - e.logged < std::chrono::seconds(1)) return;
    service.TooManyWaiting(peer, e.unlogged);
    e.unlogged = 0;
    e.logged = now;
  }
  void forget(uid_t uid) {
    auto it = entries_.find(uid);
    if (it != entries_.end() && it->second.unlogged == 0) entries_.erase(it);
  }

 private:
  struct Entry {
    size_t unlogged = 0;
    std::chrono::steady_clock::time_point logged{};
  };
  std::map<uid_t, Entry> entries_;
};

}  // namespace

void RunRegistryService(int listenFd, int stopFd, RegistryService& service,
                        const ServiceLimits& limits) {
  // Accepting runs until the queue is empty, which a blocking socket would wait out.
  ::fcntl(listenFd, F_SETFL, ::fcntl(listenFd, F_GETFL) | O_NONBLOCK);
  std::list<Connection> connections;
  std::map<uid_t, size_t> waitingByUid;  // callers' connections still owing their message
  BusyLog busy;
  auto release = [&](std::list<Connection>::iterator it) {
    ::close(it->fd);
    const uid_t uid = it->peer.uid;
    if (--waitingByUid[uid] == 0) {
      waitingByUid.erase(uid);
      busy.forget(uid);
    }
    return connections.erase(it);
  };
  for (;;) {
    std::vector<pollfd> fds;
    fds.push_back({stopFd, POLLIN, 0});
    // With every slot taken, new callers wait in the listening queue until one frees.
    const bool room = connections.size() < limits.maxWaiting;
    fds.push_back({listenFd, static_cast<short>(room ? POLLIN : 0), 0});
    auto now = std::chrono::steady_clock::now();
    int wait = -1;
    for (const auto& c : connections) {
      fds.push_back({c.fd, POLLIN, 0});
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(c.deadline - now).count();
      int ms = left > 0 ? static_cast<int>(left) + 1 : 0;
      if (wait < 0 || ms < wait) wait = ms;
    }
    int n = ::poll(fds.data(), fds.size(), wait);
    if (n < 0 && errno != EINTR) return;
    if (fds[0].revents != 0) return;

    // Existing connections first: their poll entries match the list as it was.
    size_t index = 2;
    now = std::chrono::steady_clock::now();
    for (auto it = connections.begin(); it != connections.end(); ++index) {
      const short revents = fds[index].revents;
      bool done = revents != 0 && ReadFrom(*it, service) == Progress::Finished;
      if (!done && now >= it->deadline) {
        service.Incomplete(it->received, true, it->peer);
        done = true;
      }
      it = done ? release(it) : std::next(it);
    }

    if (!(fds[1].revents & POLLIN)) continue;
    // Take every caller that is queued: most have sent their message already and are served
    // at once without holding a slot.
    while (connections.size() < limits.maxWaiting) {
      const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
      if (fd < 0) break;
      Connection c;
      c.fd = fd;
      c.peer = PeerOf(fd);
      if (ReadFrom(c, service) == Progress::Finished) {
        ::close(fd);
        continue;
      }
      const uid_t uid = c.peer.uid;
      if (waitingByUid[uid] >= limits.maxWaitingPerUser) {
        // One user's idle connections must not take the slots other users need.
        Answer(fd, kServiceBusy);
        ::close(fd);
        busy.refused(uid, c.peer, service);
        continue;
      }
      ++waitingByUid[uid];
      c.deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limits.messageMs);
      connections.push_back(std::move(c));
    }
  }
}

}  // namespace ov
