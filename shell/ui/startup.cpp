#include "shell/ui/startup.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/ini/ini.h"
#include "platform/system/machine_root.h"
#include "platform/time/monitor_messages.h"

namespace ov {

namespace {

std::string WithSlash(std::string path) {
  if (!path.empty() && path.back() != '/') path.push_back('/');
  return path;
}

}  // namespace

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
  dataDir_ = ChooseDataDirectory((paths_.programDir / kDataDirSettingsFile).string());
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
