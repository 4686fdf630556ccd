#pragma once
#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// Whether the process has administrator standing: root, or a member of the group that may
// administer the machine ("sudo" on Debian-like systems, "wheel" elsewhere).
namespace ov {

// The groups that count as the administrators group.
inline const std::vector<std::string>& AdminGroupNames() {
  static const std::vector<std::string> names = {"sudo", "wheel"};
  return names;
}

struct ProcessCredentials {
  uid_t effectiveUid = 0;
  gid_t effectiveGid = 0;               // the primary group the process runs with
  std::vector<gid_t> supplementaryGids;
};

// Group id by name; nothing when no such group exists (or the lookup itself fails).
using GroupIdLookup = std::function<std::optional<gid_t>(const std::string& name)>;

ProcessCredentials CurrentProcessCredentials();

// getgrnam_r, with a buffer grown as the group database needs.
std::optional<gid_t> LookupGroupId(const std::string& name);

// The rule itself: effective uid 0, or the primary or a supplementary group is one of the
// administrators groups that exist. A missing group is simply no match.
bool IsInAdminGroup(const ProcessCredentials& credentials, const GroupIdLookup& lookup);

// The rule for the running process with the system's group database.
bool ProcessIsInAdminGroup();

}  // namespace ov
