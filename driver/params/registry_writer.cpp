#include "driver/params/registry_writer.h"

#include "platform/system/error_codes.h"

namespace ov {

uint32_t DirectRegistryWriter::SetValue(HKEY hive, const std::string& keyPath,
                                        const std::string& name, uint32_t type,
                                        std::string_view data) {
  RegKey key;
  if (uint32_t err = key.open(hive, keyPath, KEY_SET_VALUE)) return err;
  return RegSetValueEx(key.get(), name.c_str(), 0, type,
                       reinterpret_cast<const uint8_t*>(data.data()),
                       static_cast<uint32_t>(data.size()));
}

uint32_t DirectRegistryWriter::CreateKey(HKEY hive, const std::string& keyPath) {
  RegKey key;
  return key.create(hive, keyPath, KEY_ALL_ACCESS);
}

uint32_t DirectRegistryWriter::DeleteValue(HKEY hive, const std::string& keyPath,
                                           const std::string& name) {
  RegKey key;
  if (uint32_t err = key.open(hive, keyPath, KEY_SET_VALUE)) return err;
  return RegDeleteValue(key.get(), name.c_str());
}

uint32_t DirectRegistryWriter::DeleteKey(HKEY hive, const std::string& keyPath,
                                         const std::string& subKey) {
  // An empty name would delete the parent itself.
  if (subKey.empty()) return ERROR_INVALID_PARAMETER;
  RegKey key;
  if (uint32_t err = key.open(hive, keyPath, KEY_ALL_ACCESS)) return err;
  return RegDeleteKey(key.get(), subKey.c_str());
}

uint32_t DirectRegistryWriter::DeleteKeyTree(HKEY hive, const std::string& keyPath,
                                             const std::string& subKey) {
  if (subKey.empty()) return ERROR_INVALID_PARAMETER;
  RegKey key;
  if (uint32_t err = key.open(hive, keyPath, KEY_ALL_ACCESS)) return err;
  return SHDeleteKey(key.get(), subKey.c_str());
}

}  // namespace ov
