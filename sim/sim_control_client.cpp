#include "sim/sim_control_client.h"

#include <unistd.h>

#include "platform/deviceio/socket_io.h"
#include "platform/system/machine_root.h"

namespace ov::sim {

namespace {
constexpr size_t kMaxReplyBytes = 64 * 1024;
}  // namespace

std::string ControlSocketPath() { return UnderRoot("run/ovui/ovsimd.ctl").string(); }

bool SimControlRequest(const std::string& line, std::string* reply, std::string* error,
                       int timeoutMs) {
  const std::string path = ControlSocketPath();
  int fd = ConnectUnixSocket(path, timeoutMs);
  if (fd < 0) {
    *error = "ovsimd is not running (nothing listens on " + path + ")";
    return false;
  }
  Deadline deadline(timeoutMs);
  std::string request = line + "\n";
  bool ok = SendAll(fd, request.data(), request.size(), deadline);
  std::string answer;
  char c = 0;
  while (ok && (ok = ReceiveAll(fd, &c, 1, deadline)) && c != '\n') {
    answer.push_back(c);
    if (answer.size() > kMaxReplyBytes) ok = false;
  }
  ::close(fd);
  if (!ok) {
    *error = "ovsimd did not answer on " + path;
    return false;
  }
  *reply = answer;
  return true;
}

}  // namespace ov::sim
