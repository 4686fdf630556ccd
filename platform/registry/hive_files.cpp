#include "platform/registry/hive_files.h"

#include <cstdint>
#include <string>

#include "platform/system/machine_root.h"
#include "platform/system/user_folders.h"

namespace ov {

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

HKEY PredefinedForm(HKEY key) {
  const uint64_t value = reinterpret_cast<uintptr_t>(key);
  if ((value >> 32) != 0xFFFFFFFFu || (value & 0x80000000u) == 0) return key;
  return reinterpret_cast<HKEY>(static_cast<uintptr_t>(value & 0xFFFFFFFFu));
}

bool PredefinedHive(HKEY key, HiveId* hive) {
  key = PredefinedForm(key);
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
