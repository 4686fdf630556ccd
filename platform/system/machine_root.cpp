#include "platform/system/machine_root.h"

#include <sys/stat.h>

#include <cstdlib>
#include <system_error>

namespace ov {

std::filesystem::path MachineRoot() {
  const char* root = std::getenv("OVUI_ROOT");
  if (root == nullptr || *root == '\0') return "/";
  return root;
}

bool MachineRootUsable(std::string* problem) {
  const char* root = std::getenv("OVUI_ROOT");
  if (root == nullptr || *root == '\0') return true;
  std::string why;
  struct stat st {};
  if (*root != '/') {
    why = "is not an absolute path";
  } else if (::stat(root, &st) != 0) {
    why = "does not exist";
  } else if (!S_ISDIR(st.st_mode)) {
    why = "is not a folder";
  } else {
    return true;
  }
  if (problem != nullptr) *problem = std::string("OVUI_ROOT \"") + root + "\" " + why;
  return false;
}

std::filesystem::path UnderRoot(const std::string& relative) {
  std::string rel = relative;
  while (!rel.empty() && rel.front() == '/') rel.erase(rel.begin());
  return MachineRoot() / rel;
}

std::filesystem::path ProgramFolder() {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return std::filesystem::current_path();
  return exe.parent_path();
}

}  // namespace ov
