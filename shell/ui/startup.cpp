#include "shell/ui/startup.h"

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
