// ovregsvc: the registry service. Performs, with its own rights, the registry writes that users
// without the right to write the machine hive send it on <root>/run/ovui/OrvaneRegistry, within
// the allow-list and the program's policy. Prints "ovregsvc ready" on standard output once it
// listens; every request is logged on standard error with its outcome. SIGTERM or SIGINT remove
// the socket and end it with status 0.
//
// Runs as root on an installed system; inside a sandbox root as the user who started it.
// Exit status: 0 after a signal, 1 when it cannot run (another ovregsvc on the root, no socket),
// 2 for a bad command line.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "platform/deviceio/socket_io.h"
#include "platform/system/daemon_support.h"
#include "platform/system/machine_root.h"
#include "services/registry_service.h"
#include "services/registry_service_client.h"
#include "platform/system/guarded_main.h"

namespace {

constexpr char kUsage[] = "usage: ovregsvc [--root <dir>] [--ini <program ini>]\n";

struct Options {
  std::string root;
  std::string ini;
};

bool ParseArguments(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if ((arg == "--root" || arg == "--ini") && i + 1 < argc) {
      (arg == "--root" ? options->root : options->ini) = argv[++i];
    } else {
      return false;
    }
  }
  return true;
}

void LogLine(const std::string& line) {
  std::string out = "ovregsvc: " + line + "\n";
  (void)::write(STDERR_FILENO, out.data(), out.size());
}

}  // namespace

static int RunProgram(int argc, char** argv) {
  Options options;
  if (!ParseArguments(argc, argv, &options)) {
    std::cerr << kUsage;
    return 2;
  }
  ov::UseMachineRootOption(options.root);
  if (options.ini.empty()) options.ini = (ov::ProgramFolder() / "OvUI.INI").string();

  const std::filesystem::path runFolder = ov::UnderRoot("run/ovui");
  std::error_code ec;
  std::filesystem::create_directories(runFolder, ec);
  if (ec) {
    LogLine("cannot create " + runFolder.string() + ": " + ec.message());
    return 1;
  }
  // Standard users must reach the socket whatever the umask was.
  for (const auto& folder : {runFolder.parent_path(), runFolder}) {
    struct stat st{};
    if (::stat(folder.c_str(), &st) == 0 && st.st_uid == ::geteuid()) {
      ::chmod(folder.c_str(), (st.st_mode & 07777) | 0755);
    }
  }
  int lockFd = ov::TakeInstanceLock((runFolder / "ovregsvc.lock").string());
  if (lockFd < 0) {
    LogLine("another ovregsvc is already running on " + ov::MachineRoot().string());
    return 1;
  }

  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGINT);
  ::sigprocmask(SIG_BLOCK, &signals, nullptr);
  int signalFd = ::signalfd(-1, &signals, SFD_CLOEXEC);
  ::signal(SIGPIPE, SIG_IGN);
  if (signalFd < 0) {
    LogLine("cannot watch for signals");
    return 1;
  }

  const std::string socketPath = ov::RegistryServiceSocketPath().string();
  // Room for every connection the service lets wait at once, plus its own files.
  rlimit files{};
  if (::getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max &&
      files.rlim_cur < 4096) {
    files.rlim_cur = std::min<rlim_t>(files.rlim_max, 4096);
    ::setrlimit(RLIMIT_NOFILE, &files);
  }
  int listenFd = ov::ListenUnixSocket(socketPath, ov::kServiceBacklog);
  // Every local user may connect: who is calling is learnt from the socket itself.
  if (listenFd < 0 || ::chmod(socketPath.c_str(), 0666) != 0) {
    LogLine("cannot listen on " + socketPath);
    return 1;
  }

  ov::RegistryService service({options.ini, LogLine, nullptr});
  LogLine("serving " + socketPath + " with the policy of " + options.ini);
  std::cout << "ovregsvc ready" << std::endl;
  ov::RunRegistryService(listenFd, signalFd, service);

  ::unlink(socketPath.c_str());
  ::close(listenFd);
  ::close(lockFd);
  return 0;
}

int main(int argc, char** argv) {
  return ov::GuardedMain("ovregsvc", [&] { return RunProgram(argc, argv); });
}
