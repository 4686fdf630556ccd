#include "platform/system/daemon_support.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace ov {

void UseMachineRootOption(const std::string& root) {
  if (root.empty()) return;
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(root, ec);
  ::setenv("OVUI_ROOT", (ec ? std::filesystem::path(root) : absolute).c_str(), 1);
}

int TakeInstanceLock(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (fd < 0) return -1;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

void OpenFolderToEveryone(const std::string& folder) {
  struct stat st{};
  if (::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid())
    ::chmod(folder.c_str(), ((st.st_mode & 07777) & ~022) | 0755);
}

}  // namespace ov
