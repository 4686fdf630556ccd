#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Value encodings of the profile store files.
namespace ov {

// Two lower-case hexadecimal digits per byte: "SSID", "DiagnosticSSID", certificate hashes.
std::string HexLower(std::span<const uint8_t> bytes);
std::string HexLower(std::string_view bytes);
// Two upper-case digits per byte: blob records.
std::string HexUpper(std::span<const uint8_t> bytes);

// The stored SSID text back to the SSID: half the text length in bytes, at most 32, each pair of
// digits in either case; a pair that is not hexadecimal reads as a NUL byte. The result ends at
// its first NUL byte, as the store's readers treat it as a string.
std::string DecodeSsidHex(std::string_view text);

// Strict decoding of a whole hexadecimal text (either case); nothing for an odd length or a
// character that is no hexadecimal digit.
std::optional<std::vector<uint8_t>> DecodeHexBytes(std::string_view text);

// Decoding of the first `count` bytes of a text that should be hexadecimal: missing digits and
// digits that are not hexadecimal count as 0 (WEP key texts of unusual lengths).
std::vector<uint8_t> DecodeHexLenient(std::string_view text, size_t count);

// The store's numbers: "%d" on write; on read leading blanks, an optional sign and decimal digits,
// 0 for text that is not a number, clamped to the 32-bit range.
int32_t ParseStoreInt(std::string_view text);
std::string FormatStoreInt(int64_t value);

// The NUL-terminated prefix of a text, as a reader of a C string sees it.
std::string_view UpToNul(std::string_view text);

}  // namespace ov
