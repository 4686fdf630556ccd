#include "radio/about_text.h"

#include <cstdio>

namespace ov {

std::string EepromVersionText(uint32_t answer) {
  return std::to_string(answer & 0xFF) + "." + std::to_string((answer >> 8) & 0xFF);
}

std::string FirmwareVersionText(uint32_t answer) {
  return std::to_string((answer >> 8) & 0xFF) + "." + std::to_string(answer & 0xFF);
}

std::string FileVersionText(uint32_t major, uint32_t minor, uint32_t build, uint32_t revision) {
  return std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(build) + "." +
         std::to_string(revision);
}

std::string FileDateText(std::time_t modified) {
  std::tm local{};
  if (localtime_r(&modified, &local) == nullptr) return {};
  char text[32];
  const size_t n = std::strftime(text, sizeof text, "%m-%d-%Y", &local);
  return std::string(text, n);
}

std::string MacAddressText(const MacAddress& mac) {
  char text[18];
  std::snprintf(text, sizeof text, "%02X-%02X-%02X-%02X-%02X-%02X", mac[0], mac[1], mac[2], mac[3],
                mac[4], mac[5]);
  return text;
}

bool FamilyHasFirmwareVersion(int32_t chipFamily) { return chipFamily >= 4 && chipFamily <= 10; }

}  // namespace ov
