#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <vector>
#include <sys/types.h>

namespace ov::test {

// Runs the real ovsimd on a scenario under a machine root for the object's lifetime.
class SimulatorProcess {
 public:
  SimulatorProcess(const std::filesystem::path& binDir, const std::filesystem::path& scenario,
                   const std::filesystem::path& root, const std::vector<std::string>& extraArgs = {});
  ~SimulatorProcess();
  SimulatorProcess(const SimulatorProcess&) = delete;
  SimulatorProcess& operator=(const SimulatorProcess&) = delete;

  // True once the simulator said "ovsimd ready"; otherwise `output()` tells why.
  bool ready() const { return ready_; }
  const std::string& output() const { return output_; }

 private:
  pid_t pid_ = -1;
  bool ready_ = false;
  std::string output_;
};

// Runs a program to completion and returns its exit status; stdout lands in *out.
int RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
               const std::filesystem::path& root, std::string* out);
// The same as the user `user` with no supplementary groups (exit status 126 when the process
// could not become that user; only root can).
int RunProgramAs(std::optional<uid_t> user, const std::filesystem::path& program,
                 const std::vector<std::string>& args, const std::filesystem::path& root,
                 std::string* out);

}  // namespace ov::test
