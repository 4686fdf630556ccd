#include "tests/support/simulator_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>

#include "tests/support/other_user.h"
#include "tests/support/temp_dir.h"

namespace ov::test {

namespace {

// Starts `program` with OVUI_ROOT set, as `user` when given; its output goes to `outputFd`.
pid_t Spawn(const std::filesystem::path& program, const std::vector<std::string>& args,
            const std::filesystem::path& root, int outputFd,
            std::optional<uid_t> user = std::nullopt) {
  pid_t pid = fork();
  if (pid == 0) {
    if (user && !BecomeUser(*user)) _exit(126);
    dup2(outputFd, 1);
    dup2(outputFd, 2);
    close(outputFd);
    setenv("OVUI_ROOT", root.c_str(), 1);
    std::vector<char*> argv;
    std::string name = program.string();
    argv.push_back(name.data());
    std::vector<std::string> copy = args;
    for (auto& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(name.c_str(), argv.data());
    _exit(127);
  }
  return pid;
}

}  // namespace

SimulatorProcess::SimulatorProcess(const std::filesystem::path& binDir,
                                   const std::filesystem::path& scenario,
                                   const std::filesystem::path& root,
                                   const std::vector<std::string>& extraArgs) {
  // A file, not a pipe: the simulator keeps writing after the test stops reading.
  std::filesystem::path log = root / "ovsimd.log";
  int logFd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (logFd < 0) return;
  std::vector<std::string> args{"--scenario", scenario.string(), "--root", root.string()};
  args.insert(args.end(), extraArgs.begin(), extraArgs.end());
  pid_ = Spawn(binDir / "ovsimd", args, root, logFd);
  close(logFd);
  if (pid_ < 0) return;
  // Real time bounds the wait for a real process; it is never part of what a test asserts.
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!ready_ && std::chrono::steady_clock::now() < deadline) {
    output_ = ReadFileBytes(log);
    ready_ = output_.find("ovsimd ready") != std::string::npos;
    if (ready_) break;
    if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
      pid_ = -1;
      break;
    }
    poll(nullptr, 0, 20);
  }
}

SimulatorProcess::~SimulatorProcess() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  waitpid(pid_, nullptr, 0);
}

int RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
               const std::filesystem::path& root, std::string* out) {
  return RunProgramAs(std::nullopt, program, args, root, out);
}

int RunProgramAs(std::optional<uid_t> user, const std::filesystem::path& program,
                 const std::vector<std::string>& args, const std::filesystem::path& root,
                 std::string* out) {
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) return -1;
  pid_t pid = Spawn(program, args, root, pipeFds[1], user);
  close(pipeFds[1]);
  int fd = pipeFds[0];
  if (pid < 0) {
    close(fd);
    return -1;
  }
  char chunk[4096];
  ssize_t n;
  while ((n = read(fd, chunk, sizeof chunk)) > 0) {
    if (out) out->append(chunk, static_cast<size_t>(n));
  }
  close(fd);
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace ov::test
