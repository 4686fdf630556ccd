#include "services/registry_service_client.h"

#include <unistd.h>

#include "platform/deviceio/socket_io.h"
#include "platform/system/machine_root.h"

namespace ov {

std::filesystem::path RegistryServiceSocketPath() {
  return UnderRoot("run/ovui/OrvaneRegistry");
}

SocketRegistryServiceClient::SocketRegistryServiceClient(std::filesystem::path socketPath,
                                                         int timeoutMs)
    : socketPath_(std::move(socketPath)), timeoutMs_(timeoutMs) {}

std::filesystem::path SocketRegistryServiceClient::path() const {
  return socketPath_.empty() ? RegistryServiceSocketPath() : socketPath_;
}

bool SocketRegistryServiceClient::IsListening() {
  int fd = ConnectUnixSocket(path().string(), timeoutMs_);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

uint32_t SocketRegistryServiceClient::Send(const RegistryMessageBytes& message,
                                           uint32_t* serviceStatus) {
  if (serviceStatus) *serviceStatus = kNoServiceAnswer;
  int fd = ConnectUnixSocket(path().string(), timeoutMs_);
  if (fd < 0) return RPC_S_SERVER_UNAVAILABLE;
  Deadline deadline(timeoutMs_);
  if (!SendAll(fd, message.data(), message.size(), deadline)) {
    ::close(fd);
    return RPC_S_SERVER_UNAVAILABLE;
  }
  uint8_t answer[4];
  if (ReceiveAll(fd, answer, sizeof answer, deadline) && serviceStatus) {
    *serviceStatus = static_cast<uint32_t>(answer[0]) | static_cast<uint32_t>(answer[1]) << 8 |
                     static_cast<uint32_t>(answer[2]) << 16 |
                     static_cast<uint32_t>(answer[3]) << 24;
  }
  ::close(fd);
  return 0;
}

}  // namespace ov
