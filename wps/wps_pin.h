#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// WPS PINs: eight digits, the last one the checksum of the first seven.
namespace ov {

// The checksum digit of a seven-digit number (weights 3,1,3,1,3,1,3 from the left).
uint32_t WpsPinChecksum(uint32_t sevenDigits);

// A new PIN from three random bytes: ((b0*256 + b1)*256 + b2) mod 10^7, then its checksum.
uint32_t MakeWpsPin(uint8_t b0, uint8_t b1, uint8_t b2);

// "%08d": the PIN as the edit and the start record show it.
std::string FormatWpsPin(uint32_t pin);

enum class WpsPinCheck {
  Valid,
  WrongFormat,     // not exactly 8 decimal digits: the "Invaild Pin Code" note
  ChecksumError,   // the last digit is not the checksum: "Pin Code error"
};

// Checks the PIN edit's text; `pin` receives the number when it is valid.
WpsPinCheck CheckWpsPin(std::string_view text, uint32_t* pin);

}  // namespace ov
