#include "platform/registry/hive_files.h"

#include <cstdlib>
#include <pwd.h>
#include <string>
#include <unistd.h>

#include "platform/system/machine_root.h"

namespace ov {

namespace {

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return home;
  if (const passwd* entry = getpwuid(geteuid()); entry != nullptr && entry->pw_dir != nullptr) {
    return entry->pw_dir;
  }
  return "/";
}

// The user's config folder as an absolute path on the real system; a relative XDG_CONFIG_HOME
// is ignored, as the base-directory convention says.
std::string UserConfigFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return config;
  return HomeFolder() + "/.config";
}

}  // namespace

std::filesystem::path MachineHiveFile() {
  return UnderRoot("var/lib/ovui/registry/machine.db");
}

std::filesystem::path UsersHiveFile() { return UnderRoot("var/lib/ovui/registry/users.db"); }

std::filesystem::path CurrentUserHiveFile() {
  return UnderRoot(UserConfigFolder() + "/ovui/registry/current_user.db");
}

std::filesystem::path HiveFile(HiveId hive) {
  switch (hive) {
    case HiveId::Machine: return MachineHiveFile();
    case HiveId::Users: return UsersHiveFile();
    case HiveId::CurrentUser: return CurrentUserHiveFile();
  }
  return MachineHiveFile();
}

bool PredefinedHive(HKEY key, HiveId* hive) {
  if (key == HKEY_LOCAL_MACHINE || key == HKEY_CLASSES_ROOT) {
    *hive = HiveId::Machine;
  } else if (key == HKEY_USERS) {
    *hive = HiveId::Users;
  } else if (key == HKEY_CURRENT_USER) {
    *hive = HiveId::CurrentUser;
  } else {
    return false;
  }
  return true;
}

}  // namespace ov
