#include "profiles/data_directory.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/ini/ini.h"
#include "platform/system/machine_root.h"
#include "platform/system/user_folders.h"

namespace ov {

namespace {

std::string WithSlash(std::string path) {
  if (!path.empty() && path.back() != '/') path.push_back('/');
  return path;
}


bool MakeFolder(const std::filesystem::path& folder, std::filesystem::perms perms) {
  std::error_code ec;
  if (std::filesystem::is_directory(folder, ec)) return true;
  std::filesystem::create_directories(folder, ec);
  if (ec || !std::filesystem::is_directory(folder, ec)) return false;
  // Set after creation: the umask would otherwise narrow the rule.
  std::filesystem::permissions(folder, perms, std::filesystem::perm_options::replace, ec);
  return true;
}

}  // namespace

std::string DefaultDataDirSettingsFile() {
  return (ProgramFolder() / kDataDirSettingsFile).string();
}

DataDirectory ChooseDataDirectory(const std::string& settingsFile) {
  std::string programDir = WithSlash(ProgramFolder().string());
  std::string typeText = IniReadString(settingsFile, "config", "type", "3", 255);
  int type = std::atoi(typeText.c_str());
  DataDirectory dir;
  switch (type) {
    case 1: {
      auto folder = UnderRoot(UserDataFolder() + "/ovui");
      if (MakeFolder(folder, std::filesystem::perms::owner_all)) dir.path = WithSlash(folder.string());
      dir.shared = false;
      break;
    }
    case 2:
      dir.path = WithSlash(IniReadString(settingsFile, "config", "dir", programDir, 1023));
      break;
    case 3: {
      auto folder = UnderRoot("var/lib/Orvane");
      dir.path = MakeFolder(folder, std::filesystem::perms::all) ? WithSlash(folder.string())
                                                                 : programDir;
      break;
    }
    default:
      break;
  }
  return dir;
}

}  // namespace ov
