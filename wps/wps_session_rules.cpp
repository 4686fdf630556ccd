#include "wps/wps_session_rules.h"

#include <cstdio>

namespace ov {

int NextAutoSelectRow(std::span<const std::string> idTexts, int current) {
  const int rows = static_cast<int>(idTexts.size());
  for (int row = current < 0 ? 0 : current + 1; row < rows; ++row) {
    if (idTexts[static_cast<size_t>(row)] != kWpsPushButtonIdText) return row;
  }
  return -1;
}

std::string WpsPasswordIdText(uint16_t passwordId) {
  char text[24];
  std::snprintf(text, sizeof text, "ID : 0x%04X", passwordId);
  return text;
}

std::optional<uint32_t> RotationCredentialIndex(uint32_t tick, uint32_t credentialCount) {
  if (credentialCount == 0 || tick == 0 || tick % 5 != 0) return std::nullopt;
  return (tick / 5) % credentialCount;
}

}  // namespace ov
