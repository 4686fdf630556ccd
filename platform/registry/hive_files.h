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

// A predefined handle as the host's 64-bit headers spell it (sign-extended, 0xFFFFFFFF80000002)
// in the project's form (0x80000002); every other handle unchanged. Other upper bits are not
// stripped: an open key's address may end in 0x80000000.
HKEY PredefinedForm(HKEY key);

// The hive a predefined handle (in either form) stands for; false for any other handle.
bool PredefinedHive(HKEY key, HiveId* hive);

}  // namespace ov
