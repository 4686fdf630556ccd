#include "tests/support/temp_dir.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace ov::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "ovui-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

ScopedMachineRoot::ScopedMachineRoot(const std::filesystem::path& root) {
  if (const char* old = std::getenv("OVUI_ROOT")) {
    previous_ = old;
    hadPrevious_ = true;
  }
  setenv("OVUI_ROOT", root.c_str(), 1);
}

ScopedMachineRoot::~ScopedMachineRoot() {
  if (hadPrevious_) setenv("OVUI_ROOT", previous_.c_str(), 1);
  else unsetenv("OVUI_ROOT");
}

std::string ReadFileBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteFileBytes(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << bytes;
}

}  // namespace ov::test
