#pragma once
#include <string>

// The invoking user's folders on the real system, as the base-directory convention names them.
// A relative XDG_* value is ignored, as the convention says.
namespace ov {

std::string UserHomeFolder();    // $HOME, else the password database's entry, else "/"
std::string UserConfigFolder();  // $XDG_CONFIG_HOME or <home>/.config
std::string UserDataFolder();    // $XDG_DATA_HOME or <home>/.local/share

}  // namespace ov
