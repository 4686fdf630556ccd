#include "wps/wps_pin.h"

#include <cstdio>

namespace ov {

uint32_t WpsPinChecksum(uint32_t sevenDigits) {
  uint32_t sum = 0;
  uint32_t weight = 3;  // the last of the seven digits weighs 3
  for (uint32_t n = sevenDigits % 10000000; n != 0; n /= 10) {
    sum += weight * (n % 10);
    weight = weight == 3 ? 1 : 3;
  }
  return (10 - sum % 10) % 10;
}

uint32_t MakeWpsPin(uint8_t b0, uint8_t b1, uint8_t b2) {
  const uint32_t n = ((uint32_t{b0} * 256 + b1) * 256 + b2) % 10000000;
  return n * 10 + WpsPinChecksum(n);
}

std::string FormatWpsPin(uint32_t pin) {
  char text[16];
  std::snprintf(text, sizeof text, "%08u", pin % 100000000);
  return text;
}

WpsPinCheck CheckWpsPin(std::string_view text, uint32_t* pin) {
  // Letters would read as a number of their digit prefix and could pass as "00000000".
  if (text.size() != 8) return WpsPinCheck::WrongFormat;
  uint32_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return WpsPinCheck::WrongFormat;
    value = value * 10 + static_cast<uint32_t>(c - '0');
  }
  if (value % 10 != WpsPinChecksum(value / 10)) return WpsPinCheck::ChecksumError;
  if (pin) *pin = value;
  return WpsPinCheck::Valid;
}

}  // namespace ov
