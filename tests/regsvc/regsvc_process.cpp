#include "tests/regsvc/regsvc_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "platform/deviceio/socket_io.h"
#include "services/registry_service_client.h"
#include "tests/support/temp_dir.h"

namespace ov::test {

RegistryServiceProcess::RegistryServiceProcess(const std::filesystem::path& root,
                                               const std::filesystem::path& ini,
                                               const std::string& logName)
    : logFile_(root / logName) {
  int logFd = ::open(logFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  int out[2];
  if (logFd < 0 || ::pipe2(out, O_CLOEXEC) != 0) return;
  const std::string program = std::string(OVUI_BIN_DIR) + "/ovregsvc";
  pid_ = ::fork();
  if (pid_ == 0) {
    ::dup2(out[1], 1);
    ::dup2(logFd, 2);
    ::setenv("OVUI_ROOT", root.c_str(), 1);
    ::execl(program.c_str(), program.c_str(), "--root", root.c_str(), "--ini", ini.c_str(),
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(out[1]);
  ::close(logFd);
  // Real time bounds the wait for a real process; it is never part of what a test asserts.
  std::string said;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (pid_ > 0 && !ready_ && std::chrono::steady_clock::now() < deadline) {
    pollfd p{out[0], POLLIN, 0};
    if (::poll(&p, 1, 200) <= 0) continue;
    char chunk[256];
    ssize_t n = ::read(out[0], chunk, sizeof chunk);
    if (n <= 0) break;  // it ended before saying it was ready
    said.append(chunk, static_cast<size_t>(n));
    ready_ = said.find("ovregsvc ready\n") != std::string::npos;
  }
  ::close(out[0]);
}

RegistryServiceProcess::~RegistryServiceProcess() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  ::waitpid(pid_, nullptr, 0);
}

std::string RegistryServiceProcess::log() const { return ReadFileBytes(logFile_); }

bool RegistryServiceProcess::running() {
  if (pid_ <= 0) return false;
  if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
    pid_ = -1;
    return false;
  }
  return true;
}

ServiceAnswer SendRaw(const std::string& bytes) {
  ServiceAnswer answer;
  int fd = ConnectUnixSocket(RegistryServiceSocketPath().string(), 5000);
  if (fd < 0) return answer;
  Deadline deadline(10000);
  uint8_t le[4];
  if (SendAll(fd, bytes.data(), bytes.size(), deadline) && ::shutdown(fd, SHUT_WR) == 0 &&
      ReceiveAll(fd, le, sizeof le, deadline)) {
    answer.answered = true;
    answer.status = static_cast<uint32_t>(le[0]) | static_cast<uint32_t>(le[1]) << 8 |
                    static_cast<uint32_t>(le[2]) << 16 | static_cast<uint32_t>(le[3]) << 24;
  }
  ::close(fd);
  return answer;
}

ServiceAnswer SendMessage(const RegistryMessage& message) {
  RegistryMessageBytes bytes;
  if (!EncodeRegistryMessage(message, &bytes)) return {};
  return SendRaw(std::string(bytes.begin(), bytes.end()));
}

}  // namespace ov::test
