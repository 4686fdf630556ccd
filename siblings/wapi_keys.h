#pragma once
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// The WAPI pre-shared key turned into the base key, and the check value that travels with it.
// The certificate-manager library produces both for the station; the simulated access point
// derives the same from its own key to judge the station's.
namespace ov::wapi {

inline constexpr size_t kBaseKeySize = 16;
inline constexpr size_t kKeyCheckSize = 16;

// The key bytes the user typed: hexadecimal digits (an even, non-zero number) or a passphrase
// (any non-empty text). Nothing for a hexadecimal text that is not one.
std::optional<std::vector<uint8_t>> PreSharedKeyBytes(bool hexadecimal, std::string_view text);

// BK = KD-HMAC-SHA256(key, "preshared key expansion for authentication and key negotiation"),
// its first 16 bytes.
std::vector<uint8_t> DeriveBaseKey(const std::vector<uint8_t>& preSharedKey);

// HMAC-SHA256 of a fixed label under `material`, first 16 bytes: lets the receiver see that a
// key or certificate buffer arrived whole.
std::vector<uint8_t> KeyCheckValue(const std::vector<uint8_t>& material);

}  // namespace ov::wapi
