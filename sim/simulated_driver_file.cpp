#include "sim/simulated_driver_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace ov::sim {

bool WriteSimulatedDriverFile(const AdapterSpec& spec, std::string* error) {
  const std::filesystem::path path = DriverFilePath(spec.family);
  if (path.empty()) return true;  // no family, no file
  std::error_code ec;
  std::filesystem::create_directories(path.parent_path(), ec);
  if (ec) {
    *error = "cannot create " + path.parent_path().string() + ": " + ec.message();
    return false;
  }
  ::chmod(path.parent_path().c_str(), 0755);
  // Replaced whole, never written through a link someone left in its place.
  const std::string temporary = path.string() + ".new";
  ::unlink(temporary.c_str());
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) {
    *error = "cannot write " + temporary + ": " + std::strerror(errno);
    return false;
  }
  const std::string info = DriverFileInfo(kSimDriverVersion, spec.deviceDescription);
  const bool written = ::write(fd, info.data(), info.size()) == static_cast<ssize_t>(info.size());
  ::close(fd);
  if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
    *error = "cannot write " + path.string();
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace ov::sim
