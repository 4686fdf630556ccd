#pragma once
#include <cstdint>
#include <optional>
#include <string>

// The texts of the IHV extension's diagnostic events, as the diagnostic page lists them.
namespace ov {

// Event 15 announces the address test; the address is renewed this long after it is shown.
constexpr uint32_t kDiagnosticDhcpTestCode = 15;
constexpr uint32_t kAddressRenewalDelayMs = 1000;

// Codes 1..33: "[DiagServ]" and the message (at most 240 characters in all); 0x80000004:
// "Exited diagnostic mode."; 0x80000005..0x80000010: the message alone (at most 230).
// Nothing for any other code.
std::optional<std::string> DiagnosticMessageText(uint32_t code);

}  // namespace ov
