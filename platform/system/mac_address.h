#pragma once
#include <array>
#include <cstdint>
#include <string>

// A MAC address (BSSID, adapter address): 6 bytes, the one type for it everywhere.
namespace ov {

using MacAddress = std::array<uint8_t, 6>;

// "%02X" per byte joined by `separator` ('-' as the utility shows addresses, ':' as Linux does;
// '\0' for none).
std::string FormatMacAddress(const MacAddress& mac, char separator = '-');

}  // namespace ov
