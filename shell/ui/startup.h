#pragma once
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "profiles/data_directory.h"
#include "shell/ui/single_instance.h"

// The application object's start: one instance, the program and data folders, the start switch,
// then the monitor window's run, which is the program's whole life.
namespace ov {

// The program INI beside the program.
inline constexpr char kProgramIniName[] = "OvUI.INI";

// True when the start switch asks for the tray only: the arguments, joined by blanks, are
// exactly "-S" in either case.
bool StartsInTrayOnly(const std::vector<std::string>& args);

struct StartupPaths {
  std::filesystem::path programDir;        // the program's folder
  std::filesystem::path runtimeDirectory;  // where the instance lock and socket live
};
StartupPaths DefaultStartupPaths();

class COvUI2007 {
 public:
  enum class StartResult {
    RunMonitor,  // this is the running instance: run the monitor window
    HandedOff,   // another instance runs and was asked to open its main window: end
  };

  explicit COvUI2007(StartupPaths paths = DefaultStartupPaths());
  ~COvUI2007();
  COvUI2007(const COvUI2007&) = delete;
  COvUI2007& operator=(const COvUI2007&) = delete;

  // Single instance, ProgramDir, DataDir (by the settings file "setting" beside the program),
  // the start switch. `args` excludes the program name. Needs a QCoreApplication.
  StartResult InitInstance(const std::vector<std::string>& args);

  const std::string& ProgramDir() const { return programDir_; }
  const DataDirectory& DataDir() const { return dataDir_; }
  bool OpenMainOnStart() const { return openMainOnStart_; }
  std::string ProgramIniPath() const { return programDir_ + kProgramIniName; }

  // Where a command from a later start goes (32771: open the main window); the monitor installs
  // its WM_COMMAND handler here.
  void SetCommandHandler(SingleInstance::CommandHandler handler);
  SingleInstance& Instance() { return instance_; }

 private:
  StartupPaths paths_;
  SingleInstance instance_;
  std::string programDir_;
  DataDirectory dataDir_;
  bool openMainOnStart_ = true;
};

// InitInstance, then `runMonitor` (the monitor window's modal run) when this is the running
// instance; its result is the exit code. A handed-off start returns 0.
int RunApplication(COvUI2007& app, const std::vector<std::string>& args,
                   const std::function<int(COvUI2007&)>& runMonitor);

}  // namespace ov
