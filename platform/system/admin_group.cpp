#include "platform/system/admin_group.h"

#include <algorithm>
#include <cerrno>
#include <grp.h>
#include <unistd.h>

namespace ov {

ProcessCredentials CurrentProcessCredentials() {
  ProcessCredentials credentials;
  credentials.effectiveUid = geteuid();
  credentials.effectiveGid = getegid();
  // The list may change between the two calls; try again when it grew.
  for (int attempt = 0; attempt < 4; ++attempt) {
    int count = getgroups(0, nullptr);
    if (count <= 0) break;
    credentials.supplementaryGids.resize(static_cast<size_t>(count));
    int got = getgroups(count, credentials.supplementaryGids.data());
    if (got >= 0) {
      credentials.supplementaryGids.resize(static_cast<size_t>(got));
      break;
    }
    credentials.supplementaryGids.clear();
    if (errno != EINVAL) break;
  }
  return credentials;
}

std::optional<gid_t> LookupGroupId(const std::string& name) {
  long suggested = sysconf(_SC_GETGR_R_SIZE_MAX);
  size_t size = suggested > 0 ? static_cast<size_t>(suggested) : 1024;
  constexpr size_t kMaxBuffer = 1 << 20;  // a group with a member list beyond this is not credible
  std::vector<char> buffer;
  while (size <= kMaxBuffer) {
    buffer.resize(size);
    group entry{};
    group* found = nullptr;
    int error = getgrnam_r(name.c_str(), &entry, buffer.data(), buffer.size(), &found);
    if (error == ERANGE) {
      size *= 2;
      continue;
    }
    if (error != 0 || found == nullptr) return std::nullopt;
    return found->gr_gid;
  }
  return std::nullopt;
}

bool IsInAdminGroup(const ProcessCredentials& credentials, const GroupIdLookup& lookup) {
  if (credentials.effectiveUid == 0) return true;
  for (const std::string& name : AdminGroupNames()) {
    std::optional<gid_t> gid = lookup ? lookup(name) : std::nullopt;
    if (!gid) continue;
    if (credentials.effectiveGid == *gid) return true;
    const auto& groups = credentials.supplementaryGids;
    if (std::find(groups.begin(), groups.end(), *gid) != groups.end()) return true;
  }
  return false;
}

bool ProcessIsInAdminGroup() { return IsInAdminGroup(CurrentProcessCredentials(), LookupGroupId); }

}  // namespace ov
