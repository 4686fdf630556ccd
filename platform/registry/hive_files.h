#pragma once
#include <filesystem>

#include "platform/registry/registry.h"

// Where each hive lives, computed at each call so that a change of OVUI_ROOT (or of the user's
// config folder) takes effect at once.
namespace ov {

enum class HiveId { Machine, Users, CurrentUser };

// <root>/var/lib/ovui/registry/machine.db
std::filesystem::path MachineHiveFile();
// <root>/var/lib/ovui/registry/users.db
std::filesystem::path UsersHiveFile();
// <root> + ($XDG_CONFIG_HOME, when absolute, or $HOME/.config) + /ovui/registry/current_user.db
std::filesystem::path CurrentUserHiveFile();

std::filesystem::path HiveFile(HiveId hive);

// The hive a predefined handle stands for; false for any other handle.
bool PredefinedHive(HKEY key, HiveId* hive);

}  // namespace ov
