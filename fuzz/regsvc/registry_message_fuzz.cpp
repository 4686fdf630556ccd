// Feeds arbitrary bytes to the registry service's message reader as one 1024-byte message (cut
// or zero-padded), then to the allow-list. A message that reads must write back to the very same
// bytes: the reader accepts only the canonical layout.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "services/registry_allow_list.h"
#include "services/registry_message.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ov::RegistryMessageBytes bytes{};
  std::memcpy(bytes.data(), data, size < bytes.size() ? size : bytes.size());
  ov::RegistryMessage message;
  if (ov::DecodeRegistryMessage(bytes.data(), bytes.size(), &message) != ov::MessageFault::None) {
    return 0;
  }
  ov::RegistryMessageBytes again;
  if (!ov::EncodeRegistryMessage(message, &again) || again != bytes) __builtin_trap();
  ov::AllowDecision decision = ov::CheckAllowList(message);
  if (decision.allowed && decision.machineKeyPath.empty()) __builtin_trap();
  (void)ov::PrintableForLog(message.keyPath);
  return 0;
}
