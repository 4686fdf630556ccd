#include "platform/system/user_folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace ov {

namespace {

std::string AbsoluteEnvironment(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  if (value != nullptr && value[0] == '/') return value;
  return fallback;
}

}  // namespace

std::string UserHomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return home;
  if (const passwd* entry = getpwuid(geteuid()); entry != nullptr && entry->pw_dir != nullptr) {
    return entry->pw_dir;
  }
  return "/";
}

std::string UserConfigFolder() {
  return AbsoluteEnvironment("XDG_CONFIG_HOME", UserHomeFolder() + "/.config");
}

std::string UserDataFolder() {
  return AbsoluteEnvironment("XDG_DATA_HOME", UserHomeFolder() + "/.local/share");
}

}  // namespace ov
