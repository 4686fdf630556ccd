#include "services/registry_service.h"

#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <list>
#include <memory>

#include "platform/ini/ini.h"
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
  policy.allowStandardUserSetAdvance =
      IniReadString(programIniPath, "Advance", "AllowStandardUserSetAdvance", "1") == "1";
  policy.allowStandardUserSetProfile =
      IniReadString(programIniPath, "Advance", "AllowStandardUserSetProfile", "0") == "1";
  return policy;
}

RegistryService::RegistryService(Options options) : options_(std::move(options)) {}

void RegistryService::log(const std::string& line) const {
  if (options_.log) options_.log(line);
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
    log("refused " + Who(peer) + ": malformed message (" + DescribeMessageFault(fault) + ")");
    return ERROR_INVALID_PARAMETER;
  }
  if (!peer.known) {
    log("refused " + Who(peer) + ": " + Describe(m) + ": the caller cannot be identified");
    return ERROR_ACCESS_DENIED;
  }
  AllowDecision decision = CheckAllowList(m);
  if (!decision.allowed) {
    log("refused " + Who(peer) + ": " + Describe(m) + ": " + decision.explanation);
    return ERROR_ACCESS_DENIED;
  }
  if (!peerIsAdmin(peer)) {
    ServicePolicy policy = ReadServicePolicy(options_.programIniPath);
    if (!policy.trusted) {
      log("ignoring the program settings: " + policy.distrustReason);
    }
    if (!policy.allowStandardUserSetAdvance) {
      log("refused " + Who(peer) + ": " + Describe(m) +
          ": standard users may not change settings (AllowStandardUserSetAdvance)");
      return ERROR_ACCESS_DENIED;
    }
    if (decision.needsProfilePolicy && !policy.allowStandardUserSetProfile) {
      log("refused " + Who(peer) + ": " + Describe(m) +
          ": standard users may not change logon settings (AllowStandardUserSetProfile)");
      return ERROR_ACCESS_DENIED;
    }
  }
  const uint32_t result = Perform(m, decision.machineKeyPath);
  log((result == ERROR_SUCCESS ? "done " : "failed " + std::to_string(result) + " ") + Who(peer) +
      ": " + Describe(m));
  return result;
}

void RegistryService::Incomplete(size_t received, bool timedOut, const PeerCredentials& peer) {
  if (received == 0 && !timedOut) return;  // a caller checking that the service listens
  log("refused " + Who(peer) + ": incomplete message (" + std::to_string(received) + " of " +
      std::to_string(kRegistryMessageSize) + " bytes" + (timedOut ? ", timed out)" : ")"));
}

namespace {

struct Connection {
  int fd = -1;
  PeerCredentials peer;
  RegistryMessageBytes buffer{};
  size_t received = 0;
  std::chrono::steady_clock::time_point deadline;
};

constexpr size_t kMaxConnections = 32;

void Answer(int fd, uint32_t status) {
  const uint8_t le[4] = {static_cast<uint8_t>(status), static_cast<uint8_t>(status >> 8),
                         static_cast<uint8_t>(status >> 16), static_cast<uint8_t>(status >> 24)};
  // Four bytes always fit an empty socket buffer; a caller that went away simply misses them.
  (void)::send(fd, le, sizeof le, MSG_NOSIGNAL | MSG_DONTWAIT);
}

}  // namespace

void RunRegistryService(int listenFd, int stopFd, RegistryService& service, int timeoutMs) {
  std::list<Connection> connections;
  for (;;) {
    std::vector<pollfd> fds;
    fds.push_back({stopFd, POLLIN, 0});
    fds.push_back({listenFd, static_cast<short>(connections.size() < kMaxConnections ? POLLIN : 0), 0});
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

    if (fds[1].revents & POLLIN) {
      int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
      if (fd >= 0) {
        Connection c;
        c.fd = fd;
        c.peer = PeerOf(fd);
        c.deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        connections.push_back(std::move(c));
      }
    }

    size_t index = 2;
    now = std::chrono::steady_clock::now();
    for (auto it = connections.begin(); it != connections.end();) {
      // Connections accepted in this round have no poll entry yet.
      const short revents = index < fds.size() && fds[index].fd == it->fd ? fds[index].revents : 0;
      if (index < fds.size() && fds[index].fd == it->fd) ++index;
      bool done = false;
      if (revents != 0) {
        ssize_t got = ::recv(it->fd, it->buffer.data() + it->received,
                             it->buffer.size() - it->received, MSG_DONTWAIT);
        if (got > 0) {
          it->received += static_cast<size_t>(got);
          if (it->received == it->buffer.size()) {
            Answer(it->fd, service.Handle(it->buffer.data(), it->buffer.size(), it->peer));
            done = true;
          }
        } else if (got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
          service.Incomplete(it->received, false, it->peer);
          done = true;
        }
      }
      if (!done && now >= it->deadline) {
        service.Incomplete(it->received, true, it->peer);
        done = true;
      }
      if (done) {
        ::close(it->fd);
        it = connections.erase(it);
      } else {
        ++it;
      }
    }
  }
}

}  // namespace ov
