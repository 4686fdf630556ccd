#pragma once
#include <string>
#include <string_view>

// ASCII letter case, the one home for it: registry names, INI sections and keys, hardware
// identifiers and GUIDs compare this way. Only A-Z and a-z change; every other byte (UTF-8 bytes
// included) stays, whatever the process's locale.
namespace ov {

constexpr char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
constexpr char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string AsciiLowered(std::string_view text);
std::string AsciiUppered(std::string_view text);

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);
// Like std::string_view::compare on the upper-cased texts: < 0, 0 or > 0.
int CompareIgnoringAsciiCase(std::string_view a, std::string_view b);
bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix);

}  // namespace ov
