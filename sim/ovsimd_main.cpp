// ovsimd: the simulated adapters of one machine root, with their registry entries, device
// sockets, the wireless service's socket and a control socket. Prints "ovsimd ready" once everything is being served; SIGTERM
// or SIGINT remove the sockets and end it with status 0.
//
// Exit status: 0 after a signal, 1 when it cannot run (another ovsimd on the root, a socket or
// registry failure), 2 for a bad command line or a malformed scenario (nothing is created then).
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "platform/deviceio/socket_io.h"
#include "platform/system/daemon_support.h"
#include "platform/system/machine_root.h"
#include "sim/control_server.h"
#include "sim/scenario.h"
#include "sim/sim_control_client.h"
#include "sim/sim_daemon.h"
#include "platform/system/guarded_main.h"

namespace {

constexpr char kUsage[] = "usage: ovsimd --scenario <file> [--root <dir>] [--netns]\n";

struct Options {
  std::string scenario;
  std::string root;
  bool netns = false;
};

bool ParseArguments(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if ((arg == "--scenario" || arg == "--root") && i + 1 < argc) {
      (arg == "--scenario" ? options->scenario : options->root) = argv[++i];
    } else if (arg == "--netns") {
      options->netns = true;
    } else {
      return false;
    }
  }
  return !options->scenario.empty();
}

}  // namespace

static int RunProgram(int argc, char** argv) {
  Options options;
  if (!ParseArguments(argc, argv, &options)) {
    std::cerr << kUsage;
    return 2;
  }
  ov::UseMachineRootOption(options.root);

  ov::sim::Scenario scenario;
  std::string error;
  if (!ov::sim::LoadScenarioFile(options.scenario, &scenario, &error)) {
    std::cerr << "ovsimd: " << options.scenario << ": " << error << "\n";
    return 2;
  }

  const std::filesystem::path runFolder = ov::UnderRoot("run/ovui");
  std::error_code ec;
  std::filesystem::create_directories(runFolder, ec);
  if (ec) {
    std::cerr << "ovsimd: cannot create " << runFolder.string() << ": " << ec.message() << "\n";
    return 1;
  }
  // The device and service sockets are every local user's, as a device file is.
  for (const auto& folder : {runFolder.parent_path(), runFolder}) ov::OpenFolderToEveryone(folder);
  int lockFd = ov::TakeInstanceLock((runFolder / "ovsimd.lock").string());
  if (lockFd < 0) {
    std::cerr << "ovsimd: another ovsimd is already running on " << ov::MachineRoot().string()
              << "\n";
    return 1;
  }

  // The signals arrive as readable data on a descriptor, in the control loop; every thread
  // started from here on inherits the mask.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGINT);
  ::pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  int signalFd = ::signalfd(-1, &signals, SFD_CLOEXEC);
  ::signal(SIGPIPE, SIG_IGN);
  if (signalFd < 0) {
    std::cerr << "ovsimd: cannot watch for signals\n";
    return 1;
  }

  // Interfaces only where nothing of the machine's own network can be touched.
  std::optional<ov::sim::NetnsLinks> netns;
  if (options.netns) {
    const auto refusal = ov::sim::NetnsRefusal();
    const auto ip = ov::sim::NetnsLinks::FindIpProgram();
    if (refusal) {
      std::cerr << "ovsimd: " << *refusal << "; no interfaces are made\n";
    } else if (!ip) {
      std::cerr << "ovsimd: --netns needs iproute2's ip; no interfaces are made\n";
    } else {
      netns.emplace(*ip);
    }
  }

  ov::sim::SteadySimClock clock;
  ov::sim::SimDaemon daemon(clock);
  if (netns) daemon.useNetnsLinks(&*netns);
  if (!daemon.start(scenario, &error) || !daemon.startWlanService(&error)) {
    std::cerr << "ovsimd: " << error << "\n";
    daemon.stop();
    return 1;
  }
  const std::string controlPath = ov::sim::ControlSocketPath();
  int controlFd = ov::ListenUnixSocket(controlPath);
  // Unplugging adapters is the simulator owner's business only, whatever the umask.
  if (controlFd >= 0 && ::chmod(controlPath.c_str(), 0600) != 0) {
    ::close(controlFd);
    controlFd = -1;
  }
  if (controlFd < 0) {
    std::cerr << "ovsimd: cannot create the control socket " << controlPath << "\n";
    daemon.stop();
    return 1;
  }

  std::cout << "ovsimd ready" << std::endl;
  ov::sim::RunControlLoop(controlFd, signalFd,
                          [&daemon](std::string_view line) { return daemon.execute(line); });

  ::unlink(controlPath.c_str());
  ::close(controlFd);
  daemon.stop();
  if (netns) netns->RemoveAll();
  ::close(lockFd);
  return 0;
}

int main(int argc, char** argv) {
  return ov::GuardedMain("ovsimd", [&] { return RunProgram(argc, argv); });
}
