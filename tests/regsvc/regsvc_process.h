#pragma once
#include <sys/types.h>

#include <filesystem>
#include <string>

#include "services/registry_message.h"

namespace ov::test {

// Runs the real build/bin/ovregsvc on a machine root for the object's lifetime. Its log
// (standard error) goes to <root>/<logName>.
class RegistryServiceProcess {
 public:
  RegistryServiceProcess(const std::filesystem::path& root, const std::filesystem::path& ini,
                         const std::string& logName = "ovregsvc.log");
  ~RegistryServiceProcess();
  RegistryServiceProcess(const RegistryServiceProcess&) = delete;
  RegistryServiceProcess& operator=(const RegistryServiceProcess&) = delete;

  // True once it said "ovregsvc ready"; otherwise log() tells why.
  bool ready() const { return ready_; }
  std::string log() const;
  // Whether the process is still running.
  bool running();

 private:
  std::filesystem::path logFile_;
  pid_t pid_ = -1;
  bool ready_ = false;
};

// Sends raw bytes to the service socket, ends the sending side, and returns the service's u32
// answer; nothing when the connection failed or no answer came.
struct ServiceAnswer {
  bool answered = false;
  uint32_t status = 0;
};
ServiceAnswer SendRaw(const std::string& bytes);
ServiceAnswer SendMessage(const RegistryMessage& message);

}  // namespace ov::test
