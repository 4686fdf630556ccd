#include "driver/oid/oid_constants.h"

#include <array>

namespace ov {

std::string_view ExtraInfoText(uint32_t code) {
  // Shown exactly as written, spelling included: users and support scripts match on them.
  static constexpr std::array<std::string_view, kExtraInfoCodeCount> kTexts = {
      "Link is Up",
      "Link is Down",
      "Hardware radio off",
      "Software radio off",
      "Open authentication fail",
      "Shared authentication fail",
      "Association failed",
      "Deauthencation because MIC failure",
      "Deauthencation on 4-way handshake timeout",
      "Deauthencation on group key handshake timeout",
      "EAP succeed",
  };
  return code < kTexts.size() ? kTexts[code] : std::string_view{};
}

}  // namespace ov
