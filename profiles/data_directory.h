#pragma once
#include <string>

// Where the per-installation data files (the profile store among them) live, chosen by the
// data-directory settings file: "setting" in the program folder (beside OvUI.INI), section "config", key
// "type" (default 3) and key "dir" (default the program folder, used by type 2).
//   1  the user's local data folder: <root>/<$XDG_DATA_HOME or ~/.local/share>/ovui/ (created
//      0700); not shared
//   2  "dir"; shared
//   3  the machine-wide folder <root>/var/lib/Orvane/, created with access for every local user
//      (0777) when missing, the program folder when it cannot be made; shared
//   any other type: empty (file names are then relative to the current directory)
// Every non-empty path ends in "/", as the store uses it as a plain prefix.
namespace ov {

struct DataDirectory {
  std::string path;
  bool shared = true;  // DataDirShared: false only for the per-user folder
};

inline constexpr const char* kDataDirSettingsFile = "setting";

// The settings file every front end reads: "setting" in the program folder. (A program started
// from the desktop has no meaningful current folder; reading it there would let the utility and
// ovuictl, started from different folders, choose different data folders.)
std::string DefaultDataDirSettingsFile();

DataDirectory ChooseDataDirectory(const std::string& settingsFile = DefaultDataDirSettingsFile());

}  // namespace ov
