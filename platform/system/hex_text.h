#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Hexadecimal text of bytes, the one home for it: store values, WPS and EAP blobs, protocol
// dumps and the simulator's scenario all use these.
namespace ov {

enum class HexCase { Upper, Lower };

// 0-15 for 0-9, a-f, A-F; -1 for anything else.
constexpr int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
constexpr bool IsHexDigit(char c) { return HexDigitValue(c) >= 0; }

// Two digits per byte, no separator.
std::string HexEncode(std::span<const uint8_t> bytes, HexCase letterCase = HexCase::Upper);
// The bytes of an even number of digits; nothing for an odd length or a character that is not a
// digit.
std::optional<std::vector<uint8_t>> HexDecode(std::string_view text);

}  // namespace ov
