#include "driver/driver_file.h"

#include "driver/chip_family.h"
#include "platform/system/machine_root.h"

namespace ov {

std::string DriverFileName(int32_t chipFamily) {
  const std::string_view name = ChipFamilyName(chipFamily);
  if (name.empty()) return {};
  std::string file;
  for (char c : name) file.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
  return file + ".ko";
}

std::filesystem::path DriverFilePath(int32_t chipFamily) {
  const std::string name = DriverFileName(chipFamily);
  if (name.empty()) return {};
  return UnderRoot(std::string(kDriverFileFolder) + "/" + name);
}

std::optional<DriverFileVersion> ParseDriverFileVersion(std::string_view contents) {
  static constexpr std::string_view kKey = "version=";
  size_t start = 0;
  while (start < contents.size()) {
    size_t end = contents.find('\0', start);
    if (end == std::string_view::npos) end = contents.size();
    const std::string_view entry = contents.substr(start, end - start);
    if (entry.substr(0, kKey.size()) == kKey) {
      uint32_t parts[4] = {};
      size_t count = 0;
      std::string_view rest = entry.substr(kKey.size());
      while (true) {
        const size_t dot = rest.find('.');
        const std::string_view part = rest.substr(0, dot);
        if (count == 4 || part.empty() || part.size() > 5) return std::nullopt;
        uint32_t value = 0;
        for (char c : part) {
          if (c < '0' || c > '9') return std::nullopt;
          value = value * 10 + static_cast<uint32_t>(c - '0');
        }
        if (value > 0xFFFF) return std::nullopt;
        parts[count++] = value;
        if (dot == std::string_view::npos) break;
        rest.remove_prefix(dot + 1);
      }
      return DriverFileVersion{parts[0], parts[1], parts[2], parts[3]};
    }
    start = end + 1;
  }
  return std::nullopt;
}

std::string DriverFileInfo(const DriverFileVersion& v, std::string_view description) {
  std::string info = "version=" + std::to_string(v.major) + "." + std::to_string(v.minor) + "." +
                     std::to_string(v.build) + "." + std::to_string(v.revision);
  info.push_back('\0');
  info += "description=";
  info += description;
  info.push_back('\0');
  return info;
}

}  // namespace ov
