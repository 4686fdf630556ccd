#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/registry/registry.h"

// Every registry write of the adapter parameters goes through this seam. The direct writer below
// calls the registry itself; the registry broker implements the same operations and, for a user
// who may not write the machine hive, hands them to the registry service. Reads never come here:
// they open the key for reading directly.
//
// Keys are named by hive and path ("System\CurrentControlSet\Control\Class\{...}\0007"), so a
// forwarded operation can carry the path as text. Every operation returns the registry's error
// number (0 success).
namespace ov {

class RegistryWriter {
 public:
  virtual ~RegistryWriter() = default;

  // Stores `data` verbatim with `type` in the existing key `keyPath`.
  virtual uint32_t SetValue(HKEY hive, const std::string& keyPath, const std::string& name,
                            uint32_t type, std::string_view data) = 0;
  // Opens or creates `keyPath` with every missing key on the way.
  virtual uint32_t CreateKey(HKEY hive, const std::string& keyPath) = 0;
  virtual uint32_t DeleteValue(HKEY hive, const std::string& keyPath, const std::string& name) = 0;
  // Deletes the subkey `subKey` of `keyPath`, which must have no subkeys of its own.
  virtual uint32_t DeleteKey(HKEY hive, const std::string& keyPath, const std::string& subKey) = 0;
  // Deletes the subkey `subKey` of `keyPath` with everything below it.
  virtual uint32_t DeleteKeyTree(HKEY hive, const std::string& keyPath,
                                 const std::string& subKey) = 0;
};

// Writes with the process's own rights.
class DirectRegistryWriter final : public RegistryWriter {
 public:
  uint32_t SetValue(HKEY hive, const std::string& keyPath, const std::string& name, uint32_t type,
                    std::string_view data) override;
  uint32_t CreateKey(HKEY hive, const std::string& keyPath) override;
  uint32_t DeleteValue(HKEY hive, const std::string& keyPath, const std::string& name) override;
  uint32_t DeleteKey(HKEY hive, const std::string& keyPath, const std::string& subKey) override;
  uint32_t DeleteKeyTree(HKEY hive, const std::string& keyPath,
                         const std::string& subKey) override;
};

}  // namespace ov
