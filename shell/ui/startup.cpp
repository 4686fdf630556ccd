#include "shell/ui/startup.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "platform/ini/ini.h"
#include "platform/system/machine_root.h"
#include "platform/time/monitor_messages.h"

namespace ov {

namespace {

std::string WithSlash(std::string path) {
  if (!path.empty() && path.back() != '/') path.push_back('/');
  return path;
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return home;
  if (const passwd* entry = getpwuid(geteuid()); entry != nullptr && entry->pw_dir != nullptr) {
    return entry->pw_dir;
  }
  return "/";
}

// A relative XDG_DATA_HOME does not count, as the base-directory convention says.
std::string UserDataFolder() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data != nullptr && data[0] == '/') return data;
  return HomeFolder() + "/.local/share";
}

// Creates the folder with exactly `mode` when it is missing (the umask would narrow it);
// an existing folder is used as it is.
bool EnsureFolder(const std::filesystem::path& folder, mode_t mode) {
  std::error_code ec;
  if (std::filesystem::is_directory(folder, ec)) return true;
  std::filesystem::create_directories(folder.parent_path(), ec);
  if (::mkdir(folder.c_str(), mode) != 0 && errno != EEXIST) return false;
  if (!std::filesystem::is_directory(folder, ec)) return false;
  ::chmod(folder.c_str(), mode);
  return true;
}

std::string RootRelative(const std::string& absolute) {
  std::string relative = absolute;
  relative.erase(0, relative.find_first_not_of('/'));
  return relative;
}

}  // namespace

DataDirectory ChooseDataDirectory(const std::filesystem::path& programDir) {
  const std::string programFolder = WithSlash(programDir.string());
  const std::string settings = (programDir / kSettingsFileName).string();
  const int type = static_cast<int>(
      GetPrivateProfileInt(kSettingsSection, "type", 3, settings.c_str()));
  DataDirectory dir;
  switch (type) {
    case 1: {
      const auto folder = UnderRoot(RootRelative(UserDataFolder() + "/ovui"));
      if (EnsureFolder(folder, 0700)) dir.path = WithSlash(folder.string());
      dir.shared = false;
      break;
    }
    case 2:
      dir.path = WithSlash(IniReadString(settings, kSettingsSection, "dir", programFolder, 1023));
      break;
    case 3: {
      // Every local user reads and writes here, and replaces files others wrote (the stores
      // write by rename), so the folder is 0777 without the sticky bit.
      const auto folder = UnderRoot(kMachineDataFolder);
      dir.path = EnsureFolder(folder, 0777) ? WithSlash(folder.string()) : programFolder;
      break;
    }
    default:
      break;
  }
  return dir;
}

bool StartsInTrayOnly(const std::vector<std::string>& args) {
  std::string line;
  for (const auto& arg : args) {
    if (!line.empty()) line.push_back(' ');
    line += arg;
  }
  return line.size() == 2 && line[0] == '-' && (line[1] == 'S' || line[1] == 's');
}

bool DebugTraceEnabled(const std::string& programIniPath) {
  return IniReadString(programIniPath, "Advance", "OpenFile", "0", 255) == "1";
}

void AppendDebugTrace(const std::string& programIniPath, std::string_view text) {
  if (!DebugTraceEnabled(programIniPath)) return;
  const auto file = UnderRoot(kDebugTraceFile);
  // The trace lives in a folder every user may write: never follow a link planted there.
  const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) return;
  const char* data = text.data();
  size_t left = text.size();
  while (left > 0) {
    const ssize_t written = ::write(fd, data, left);
    if (written <= 0) {
      if (written < 0 && errno == EINTR) continue;
      break;
    }
    data += written;
    left -= static_cast<size_t>(written);
  }
  ::close(fd);
}

void AppendDebugTrace(std::string_view text) {
  AppendDebugTrace((ProgramFolder() / kProgramIniName).string(), text);
}

StartupPaths DefaultStartupPaths() { return {ProgramFolder(), DefaultRuntimeDirectory()}; }

COvUI2007::COvUI2007(StartupPaths paths)
    : paths_(std::move(paths)), instance_(paths_.runtimeDirectory) {}

COvUI2007::~COvUI2007() = default;

COvUI2007::StartResult COvUI2007::InitInstance(const std::vector<std::string>& args) {
  if (instance_.Acquire() == SingleInstance::Role::Second) {
    // Nobody listening yet (the first start is still coming up) is no error: nothing to open.
    SingleInstance::SendCommand(paths_.runtimeDirectory, IDM_TRAY_LAUNCH);
    return StartResult::HandedOff;
  }
  programDir_ = WithSlash(paths_.programDir.string());
  dataDir_ = ChooseDataDirectory(paths_.programDir);
  openMainOnStart_ = !StartsInTrayOnly(args);
  return StartResult::RunMonitor;
}

void COvUI2007::SetCommandHandler(SingleInstance::CommandHandler handler) {
  instance_.SetCommandHandler(std::move(handler));
}

int RunApplication(COvUI2007& app, const std::vector<std::string>& args,
                   const std::function<int(COvUI2007&)>& runMonitor) {
  if (app.InitInstance(args) == COvUI2007::StartResult::HandedOff) return 0;
  return runMonitor ? runMonitor(app) : 0;
}

}  // namespace ov
