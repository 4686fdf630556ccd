#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

// The language keys. Every visible text is looked up by one of these constants, never by a
// free string, so a text the program shows always belongs to the key list that the language
// files are written against.
namespace ov {

enum LanguageKey : uint16_t {
#define OV_LANGUAGE_KEY(name) name,
#include "lang/language_keys.inc"
#undef OV_LANGUAGE_KEY
  LANGUAGE_KEY_COUNT
};

inline constexpr std::size_t kLanguageKeyCount = LANGUAGE_KEY_COUNT;

// Key names as written in the [Strings] section, indexed by LanguageKey (the fixed key order).
inline constexpr std::array<std::string_view, kLanguageKeyCount> kLanguageKeyNames = {
#define OV_LANGUAGE_KEY(name) std::string_view(#name),
#include "lang/language_keys.inc"
#undef OV_LANGUAGE_KEY
};

constexpr std::string_view LanguageKeyName(LanguageKey key) {
  return key < kLanguageKeyCount ? kLanguageKeyNames[key] : std::string_view();
}

}  // namespace ov
