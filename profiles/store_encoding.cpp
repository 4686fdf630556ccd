#include "profiles/store_encoding.h"

#include <algorithm>
#include <limits>

namespace ov {

namespace {

constexpr char kLowerDigits[] = "0123456789abcdef";
constexpr char kUpperDigits[] = "0123456789ABCDEF";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Hex(std::span<const uint8_t> bytes, const char* digits) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (uint8_t b : bytes) {
    out.push_back(digits[b >> 4]);
    out.push_back(digits[b & 0x0F]);
  }
  return out;
}

}  // namespace

std::string HexLower(std::span<const uint8_t> bytes) { return Hex(bytes, kLowerDigits); }

std::string HexLower(std::string_view bytes) {
  return Hex({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, kLowerDigits);
}

std::string HexUpper(std::span<const uint8_t> bytes) { return Hex(bytes, kUpperDigits); }

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

std::optional<std::vector<uint8_t>> DecodeHexBytes(std::string_view text) {
  if (text.size() % 2 != 0) return std::nullopt;
  std::vector<uint8_t> out(text.size() / 2);
  for (size_t i = 0; i < out.size(); ++i) {
    int hi = HexValue(text[2 * i]);
    int lo = HexValue(text[2 * i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    out[i] = static_cast<uint8_t>((hi << 4) | lo);
  }
  return out;
}

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
