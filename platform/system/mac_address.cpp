#include "platform/system/mac_address.h"

#include "platform/system/hex_text.h"

namespace ov {

std::string FormatMacAddress(const MacAddress& mac, char separator) {
  std::string out;
  for (size_t i = 0; i < mac.size(); ++i) {
    if (i && separator) out.push_back(separator);
    out += HexEncode(std::span<const uint8_t>(&mac[i], 1));
  }
  return out;
}

}  // namespace ov
