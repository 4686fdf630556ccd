#pragma once
#include <cstdint>
#include <filesystem>

#include "services/registry_message.h"

// The caller's side of the registry service: one UNIX stream connection per message on
// <root>/run/ovui/OrvaneRegistry. The caller sends the 1024 bytes; the service performs the
// operation and answers a u32 status (little-endian) before closing, which makes the call as
// synchronous as the remote procedure it stands for.
namespace ov {

// Host error numbers of the remote-call runtime, kept for callers that trace them.
constexpr uint32_t RPC_S_NOT_LISTENING = 1715;
constexpr uint32_t RPC_S_SERVER_UNAVAILABLE = 1722;
constexpr uint32_t RPC_S_SERVER_TOO_BUSY = 1723;

// The service's status when it took the message but no answer came back in time.
constexpr uint32_t kNoServiceAnswer = 0xFFFFFFFFu;

// <root>/run/ovui/OrvaneRegistry, under the machine root of the moment.
std::filesystem::path RegistryServiceSocketPath();

class RegistryServiceClient {
 public:
  virtual ~RegistryServiceClient() = default;
  // Whether a service listens now.
  virtual bool IsListening() = 0;
  // Delivers one message and waits for the service to be done with it. Returns 0 once the
  // message was delivered, RPC_S_SERVER_UNAVAILABLE when it could not be (nothing listens, or
  // no attempt got through in time), RPC_S_SERVER_TOO_BUSY when the service kept answering
  // that it was busy. `serviceStatus` (optional) receives the service's answer,
  // kNoServiceAnswer when none came.
  virtual uint32_t Send(const RegistryMessageBytes& message, uint32_t* serviceStatus) = 0;
};

class SocketRegistryServiceClient final : public RegistryServiceClient {
 public:
  // An empty path means RegistryServiceSocketPath() at each call. `timeoutMs` bounds a whole
  // Send: a connection the service could not take yet (its queue full) or answered busy is
  // tried again, with growing pauses, until the message is delivered or the time is up; a
  // message that may have been performed is never sent twice.
  explicit SocketRegistryServiceClient(std::filesystem::path socketPath = {},
                                       int timeoutMs = 5000);

  bool IsListening() override;
  uint32_t Send(const RegistryMessageBytes& message, uint32_t* serviceStatus) override;

 private:
  std::filesystem::path path() const;

  std::filesystem::path socketPath_;
  int timeoutMs_;
};

}  // namespace ov
