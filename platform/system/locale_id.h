#pragma once
#include <functional>
#include <string>
#include <string_view>

// The locale's language identifier in the form the language files are named by: four upper-case
// hexadecimal digits of the Windows language identifier ("0409" English (United States), "0804"
// Chinese (PRC), "040C" French (France)).
namespace ov {

// Maps a POSIX locale name ("en_US.UTF-8", "de_DE@euro", "sr_RS@latin", "zh_TW", "de") to its
// identifier. A language without a territory gives the language's primary country. "C", "POSIX",
// the empty name and anything unknown give "0409".
std::string LanguageIdFromLocaleName(std::string_view localeName);

// The identifier of the same language in its primary country, for a country variant written in
// the same script: "0C07" German (Austria) and "0807" German (Switzerland) give "0407", "1004"
// Chinese (Singapore) gives "0804". "" for a primary identifier, an unknown one, and variants in
// another script (Traditional Chinese "0404", "0C04", "1404"; Serbian Latin "241A"), whose
// readers the primary country's texts would not serve.
std::string PrimaryCountryLanguageId(std::string_view languageId);

// Reads one environment variable; nullptr when it is not set.
using EnvironmentReader = std::function<const char*(const char*)>;

// The locale that governs the program's messages: the first of LC_ALL, LC_MESSAGES and LANG that
// is set and not empty; "" when none is.
std::string MessagesLocaleName(const EnvironmentReader& readEnvironment);

// LanguageIdFromLocaleName of the process environment's messages locale.
std::string CurrentLocaleLanguageId();

}  // namespace ov
