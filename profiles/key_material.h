#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "nativewifi/station_profile.h"

// Key blocks built from stored key texts: the WEP keys and the ad hoc (WPA-None) pairwise
// master key.
namespace ov {

// The IEEE 802.11i passphrase-to-PSK mapping: PBKDF2-HMAC-SHA1 of the passphrase with the SSID
// as salt, 4096 iterations, 256 bits. Nothing for a passphrase of 64 characters or more, an SSID
// longer than 32 bytes, or when the computation fails.
std::optional<std::array<uint8_t, kPmkLength>> PassphraseToPmk(std::string_view passphrase,
                                                               std::string_view ssid);

// The ad hoc key block (71 bytes, KeyIndex 0x80000000, KeyLength 32): the 64-digit "WPAPSK" text
// decoded, or the passphrase mapped with the SSID. Nothing when the text is empty, a 64-character
// text is not hexadecimal, or the mapping is not possible.
std::optional<KeyBlock> BuildAdhocKeyBlock(std::string_view wpaPsk, std::string_view ssid);

// WEP key `keyNumber` (1..4) from its stored text: nothing for a text shorter than 2 characters;
// 10 or 11 characters give a 5-byte key, any other length a 13-byte key; the material is the
// hexadecimal decoding of the text (digits that are missing or not hexadecimal count as 0).
// KeyIndex is keyNumber - 1, with bit 31 set when `transmitKeyNumber` equals keyNumber.
std::optional<KeyBlock> BuildWepKeyBlock(int keyNumber, std::string_view text,
                                         int32_t transmitKeyNumber);

}  // namespace ov
