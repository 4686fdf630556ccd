#include <cstring>

#include "platform/registry/registry.h"
#include "platform/system/error_codes.h"

namespace ov {

std::string EncodeMultiString(const std::vector<std::string>& items) {
  std::string data;
  for (const std::string& item : items) {
    data += item;
    data.push_back('\0');
  }
  data.push_back('\0');
  return data;
}

std::vector<std::string> DecodeMultiString(std::string_view data) {
  std::vector<std::string> items;
  while (!data.empty()) {
    size_t end = data.find('\0');
    std::string_view item = data.substr(0, end);
    if (item.empty()) break;  // the empty string ends the list
    items.emplace_back(item);
    if (end == std::string_view::npos) break;
    data.remove_prefix(end + 1);
  }
  return items;
}

std::string EncodeString(std::string_view text) {
  std::string data(text);
  data.push_back('\0');
  return data;
}

std::string DecodeString(std::string_view data) {
  while (!data.empty() && data.back() == '\0') data.remove_suffix(1);
  return std::string(data);
}

std::optional<uint32_t> RegReadDword(HKEY key, std::string_view subKey, std::string_view name) {
  RegValue value;
  if (RegReadValue(key, subKey, name, &value) != ERROR_SUCCESS) return std::nullopt;
  if (value.type != REG_DWORD || value.data.size() != 4) return std::nullopt;
  uint32_t number = 0;
  for (int i = 3; i >= 0; --i) number = (number << 8) | static_cast<uint8_t>(value.data[i]);
  return number;
}

std::optional<std::string> RegReadString(HKEY key, std::string_view subKey,
                                         std::string_view name) {
  RegValue value;
  if (RegReadValue(key, subKey, name, &value) != ERROR_SUCCESS) return std::nullopt;
  if (value.type != REG_SZ && value.type != REG_EXPAND_SZ) return std::nullopt;
  return DecodeString(value.data);
}

std::optional<std::vector<std::string>> RegReadMultiString(HKEY key, std::string_view subKey,
                                                            std::string_view name) {
  RegValue value;
  if (RegReadValue(key, subKey, name, &value) != ERROR_SUCCESS) return std::nullopt;
  if (value.type != REG_MULTI_SZ) return std::nullopt;
  return DecodeMultiString(value.data);
}

uint32_t RegWriteValue(HKEY key, std::string_view subKey, std::string_view name, uint32_t type,
                       std::string_view data) {
  RegKey opened;
  if (uint32_t err = opened.create(key, subKey, KEY_SET_VALUE)) return err;
  const std::string valueName(name);
  return RegSetValueEx(opened.get(), valueName.c_str(), 0, type,
                       reinterpret_cast<const uint8_t*>(data.data()),
                       static_cast<uint32_t>(data.size()));
}

uint32_t RegWriteDword(HKEY key, std::string_view subKey, std::string_view name, uint32_t value) {
  const char bytes[4] = {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF),
                         static_cast<char>((value >> 16) & 0xFF),
                         static_cast<char>((value >> 24) & 0xFF)};
  return RegWriteValue(key, subKey, name, REG_DWORD, std::string_view(bytes, 4));
}

uint32_t RegWriteString(HKEY key, std::string_view subKey, std::string_view name,
                        std::string_view text, uint32_t type) {
  return RegWriteValue(key, subKey, name, type, EncodeString(text));
}

uint32_t RegWriteMultiString(HKEY key, std::string_view subKey, std::string_view name,
                             const std::vector<std::string>& items) {
  return RegWriteValue(key, subKey, name, REG_MULTI_SZ, EncodeMultiString(items));
}

RegKey& RegKey::operator=(RegKey&& other) noexcept {
  if (this != &other) {
    reset();
    key_ = other.key_;
    other.key_ = nullptr;
  }
  return *this;
}

uint32_t RegKey::open(HKEY parent, std::string_view subKey, REGSAM desired) {
  reset();
  const std::string path(subKey);
  return RegOpenKeyEx(parent, path.c_str(), 0, desired, &key_);
}

uint32_t RegKey::create(HKEY parent, std::string_view subKey, REGSAM desired,
                        uint32_t* disposition) {
  reset();
  const std::string path(subKey);
  return RegCreateKeyEx(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, desired,
                        nullptr, &key_, disposition);
}

void RegKey::reset() {
  if (key_ != nullptr) RegCloseKey(key_);
  key_ = nullptr;
}

}  // namespace ov
