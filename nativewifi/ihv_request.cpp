#include "nativewifi/ihv_request.h"

#include <string>

namespace ov {

namespace {

constexpr uint8_t kIhvOui[3] = {0x00, 0x40, 0x96};
constexpr uint8_t kIhvRequestType = 0x01;

// Length of the valid UTF-8 sequence at `at` and its code point; 0 when there is none.
size_t DecodeUtf8(std::string_view s, size_t at, char32_t* cp) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(s[i]); };
  const uint8_t lead = byte(at);
  if (lead < 0x80) {
    *cp = lead;
    return 1;
  }
  size_t n = 0;
  char32_t min = 0;
  if ((lead & 0xE0) == 0xC0) n = 2, min = 0x80;
  else if ((lead & 0xF0) == 0xE0) n = 3, min = 0x800;
  else if ((lead & 0xF8) == 0xF0) n = 4, min = 0x10000;
  else return 0;
  if (at + n > s.size()) return 0;
  char32_t value = lead & (0x7F >> n);
  for (size_t i = 1; i < n; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
    value = value << 6 | (byte(at + i) & 0x3F);
  }
  if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  *cp = value;
  return n;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  for (size_t at = 0; at < utf8.size();) {
    char32_t cp = 0;
    size_t n = DecodeUtf8(utf8, at, &cp);
    if (n == 0) {
      cp = static_cast<uint8_t>(utf8[at]);
      n = 1;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    at += n;
  }
  return out;
}

std::optional<IhvRequest> EncodeIhvRequest(uint32_t code, std::string_view profileName) {
  IhvRequest request{};
  request[0] = kIhvOui[0];
  request[1] = kIhvOui[1];
  request[2] = kIhvOui[2];
  request[3] = kIhvRequestType;
  for (int i = 0; i < 4; ++i) request[4 + i] = static_cast<uint8_t>(code >> (8 * i));
  if (code == wlan::kIhvRequestDiagnose) {
    const std::u16string name = Utf8ToUtf16(profileName);
    if (name.size() > kIhvRequestNameMaxChars) return std::nullopt;
    size_t at = kIhvRequestNameOffset;
    for (char16_t unit : name) {
      request[at++] = static_cast<uint8_t>(unit & 0xFF);
      request[at++] = static_cast<uint8_t>(unit >> 8);
    }
  }
  return request;
}

}  // namespace ov
