#pragma once
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "lang/language_keys.h"

// The language table: every text the user sees, chosen by the locale from the language files
// in the Languages folder beside the program, plus the font every page is built with.
namespace ov {

// Font character-set codes as the language files name them in [Font] "CharSet".
inline constexpr int32_t kAnsiCharset = 0;
inline constexpr int32_t kDefaultCharset = 1;
inline constexpr char kDefaultCharsetName[] = "DEFAULT_CHARSET";
inline constexpr char kDefaultFaceName[] = "Trebuchet MS";

// A text is read into a 512-byte buffer, so at most this many characters survive.
inline constexpr std::size_t kLanguageTextMaxChars = 511;

struct LanguageTable {
  int32_t CharSet = kDefaultCharset;
  std::string FaceName = kDefaultFaceName;
  std::array<std::string, kLanguageKeyCount> Texts{};

  // Empty when the language file lacks the key.
  const std::string& Text(LanguageKey key) const;
};

// The code of a [Font] "CharSet" name; names are matched exactly (letter case included) and any
// other text gives DEFAULT_CHARSET (1).
int32_t CharSetFromName(std::string_view name);

// "<programFolder>/Languages/Lang<languageId>.ini" when that file exists, else the file of the
// same language's primary country when the identifier is a country variant in the same script
// ("0C07" reads "Lang0407.ini"), else the English file "<programFolder>/Languages/Lang0409.ini"
// (whether or not it exists).
std::filesystem::path LanguageFilePath(const std::filesystem::path& programFolder,
                                       std::string_view languageId);

// Reads one language file. A missing file or key leaves the defaults: empty texts, "Trebuchet MS"
// and DEFAULT_CHARSET.
LanguageTable ReadLanguageFile(const std::filesystem::path& file);

// LoadLanguageTable's work with its two inputs made explicit.
LanguageTable LoadLanguageTableFrom(const std::filesystem::path& programFolder,
                                    std::string_view languageId);

// The process-wide table: empty texts until LoadLanguageTable fills it. Read on the UI thread.
const LanguageTable& Language();

// Shorthand for Language().Text(key).
const std::string& LangText(LanguageKey key);

// Fills the process-wide table from ProgramFolder() and the process locale. Called once at start.
void LoadLanguageTable();

// Replaces the process-wide table (tests and tools that bring their own texts).
void InstallLanguageTable(LanguageTable table);

}  // namespace ov
