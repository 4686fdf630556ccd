#include "profiles/store_encoding.h"
#include "platform/system/hex_text.h"

#include <algorithm>
#include <limits>

namespace ov {

namespace {

int HexValue(char c) { return HexDigitValue(c); }

}  // namespace

std::string HexLower(std::span<const uint8_t> bytes) { return HexEncode(bytes, HexCase::Lower); }

std::string HexLower(std::string_view bytes) {
  return HexEncode({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, HexCase::Lower);
}

std::string HexUpper(std::span<const uint8_t> bytes) { return HexEncode(bytes); }

std::string DecodeSsidHex(std::string_view text) {
  size_t count = std::min<size_t>(text.size() / 2, 32);
  std::string out;
  for (size_t i = 0; i < count; ++i) {
    int hi = HexValue(text[2 * i]);
    int lo = HexValue(text[2 * i + 1]);
    if (hi < 0 || lo < 0) break;  // reads as a NUL byte, which ends the string
    char c = static_cast<char>((hi << 4) | lo);
    if (c == '\0') break;
    out.push_back(c);
  }
  return out;
}

std::optional<std::vector<uint8_t>> DecodeHexBytes(std::string_view text) { return HexDecode(text); }

std::vector<uint8_t> DecodeHexLenient(std::string_view text, size_t count) {
  std::vector<uint8_t> out(count, 0);
  auto digit = [&](size_t i) {
    if (i >= text.size()) return 0;
    int v = HexValue(text[i]);
    return v < 0 ? 0 : v;
  };
  for (size_t i = 0; i < count; ++i) {
    out[i] = static_cast<uint8_t>((digit(2 * i) << 4) | digit(2 * i + 1));
  }
  return out;
}

int32_t ParseStoreInt(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t value = 0;
  constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = std::min(value * 10 + (text[i] - '0'), kLimit);
  }
  if (negative) value = -value;
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

std::string FormatStoreInt(int64_t value) { return std::to_string(value); }

std::string_view UpToNul(std::string_view text) {
  return text.substr(0, std::min(text.find('\0'), text.size()));
}

}  // namespace ov
