#pragma once
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "platform/registry/hive_store.h"

namespace ov::bench {

// A machine root of its own under the temp folder (on disk, not in memory) for the object's
// lifetime: OVUI_ROOT points at it, and it goes with everything in it.
class BenchMachineRoot {
 public:
  BenchMachineRoot() {
    std::string pattern = (std::filesystem::temp_directory_path() / "ovui-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
    setenv("OVUI_ROOT", path_.c_str(), 1);
  }
  ~BenchMachineRoot() {
    registry_detail::CloseConnections();
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
    unsetenv("OVUI_ROOT");
  }
  BenchMachineRoot(const BenchMachineRoot&) = delete;
  BenchMachineRoot& operator=(const BenchMachineRoot&) = delete;

 private:
  std::filesystem::path path_;
};

}  // namespace ov::bench
