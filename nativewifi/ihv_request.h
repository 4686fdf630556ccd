#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "nativewifi/wlansvc/wlan_types.h"

// The request the utility sends to its driver's IHV extension through the wireless service.
//
// Layout (264 bytes): organisation identifier 00 40 96, 0x01, the request code (u32,
// little-endian), then 256 bytes: for code 0 the profile name as UTF-16LE with its terminating
// NUL (at most 127 characters), otherwise zero.
namespace ov {

constexpr size_t kIhvRequestNameOffset = 8;
constexpr size_t kIhvRequestNameMaxChars = 127;
// The response buffer of the diagnostic request; the extension's answer is not used.
constexpr uint32_t kIhvDiagnoseResponseSize = 37;

using IhvRequest = std::array<uint8_t, wlan::kIhvRequestSize>;

// The request; nothing when the name does not fit its field (a name cut short would name another
// profile, or none).
std::optional<IhvRequest> EncodeIhvRequest(uint32_t code, std::string_view profileName = {});

// The access rule set on the IHV control object before a diagnostic request, so that ordinary
// users may send IHV requests; the second leaves them read access only.
inline constexpr const char* kIhvControlSddlGrant =
    "O:SYG:SYD:(A;;CCRC;;;BU)(A;;CCDCWPSDRCWD;;;BU)(A;;CCRC;;;NO)(A;;CCDCWPSDRCWD;;;NO)"
    "(A;;CCRC;;;BA)(A;;CCDCWPSDRCWD;;;BA)(D;;FA;;;WD)";
inline constexpr const char* kIhvControlSddlReadOnly =
    "O:SYG:SYD:(A;;CCRC;;;BU)(A;;CCRC;;;NO)(A;;CCDCWPSDRCWD;;;NO)(A;;CCRC;;;BA)"
    "(A;;CCDCWPSDRCWD;;;BA)(D;;FA;;;WD)";

// UTF-16LE code units of UTF-8 text; a byte that starts no valid sequence stands for the
// Latin-1 character of its value (as the profile documents take such bytes).
std::u16string Utf8ToUtf16(std::string_view utf8);

}  // namespace ov
