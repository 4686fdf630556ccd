#include "platform/system/locale_id.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include "platform/system/ascii_text.h"

namespace ov {
namespace {

struct LocaleRow {
  std::string_view language;   // lower case
  std::string_view territory;  // upper case
  std::string_view modifier;   // lower case, "" for none
  uint16_t id;
};

// Windows language identifiers of the common locales. The first row of a language (without a
// modifier) is its primary country, used when a locale names the language alone.
constexpr LocaleRow kLocaleRows[] = {
    {"af", "ZA", "", 0x0436}, {"am", "ET", "", 0x045E},
    {"ar", "SA", "", 0x0401}, {"ar", "IQ", "", 0x0801}, {"ar", "EG", "", 0x0C01},
    {"ar", "LY", "", 0x1001}, {"ar", "DZ", "", 0x1401}, {"ar", "MA", "", 0x1801},
    {"ar", "TN", "", 0x1C01}, {"ar", "OM", "", 0x2001}, {"ar", "YE", "", 0x2401},
    {"ar", "SY", "", 0x2801}, {"ar", "JO", "", 0x2C01}, {"ar", "LB", "", 0x3001},
    {"ar", "KW", "", 0x3401}, {"ar", "AE", "", 0x3801}, {"ar", "BH", "", 0x3C01},
    {"ar", "QA", "", 0x4001},
    {"as", "IN", "", 0x044D}, {"az", "AZ", "", 0x042C}, {"be", "BY", "", 0x0423},
    {"bg", "BG", "", 0x0402}, {"bn", "IN", "", 0x0445}, {"bn", "BD", "", 0x0845},
    {"br", "FR", "", 0x047E}, {"bs", "BA", "", 0x141A},
    {"ca", "ES", "", 0x0403}, {"ca", "ES", "valencia", 0x0803},
    {"cs", "CZ", "", 0x0405}, {"cy", "GB", "", 0x0452}, {"da", "DK", "", 0x0406},
    {"de", "DE", "", 0x0407}, {"de", "CH", "", 0x0807}, {"de", "AT", "", 0x0C07},
    {"de", "LU", "", 0x1007}, {"de", "LI", "", 0x1407},
    {"el", "GR", "", 0x0408},
    {"en", "US", "", 0x0409}, {"en", "GB", "", 0x0809}, {"en", "AU", "", 0x0C09},
    {"en", "CA", "", 0x1009}, {"en", "NZ", "", 0x1409}, {"en", "IE", "", 0x1809},
    {"en", "ZA", "", 0x1C09}, {"en", "JM", "", 0x2009}, {"en", "BZ", "", 0x2809},
    {"en", "TT", "", 0x2C09}, {"en", "ZW", "", 0x3009}, {"en", "PH", "", 0x3409},
    {"en", "IN", "", 0x4009}, {"en", "MY", "", 0x4409}, {"en", "SG", "", 0x4809},
    {"es", "ES", "", 0x0C0A}, {"es", "MX", "", 0x080A}, {"es", "GT", "", 0x100A},
    {"es", "CR", "", 0x140A}, {"es", "PA", "", 0x180A}, {"es", "DO", "", 0x1C0A},
    {"es", "VE", "", 0x200A}, {"es", "CO", "", 0x240A}, {"es", "PE", "", 0x280A},
    {"es", "AR", "", 0x2C0A}, {"es", "EC", "", 0x300A}, {"es", "CL", "", 0x340A},
    {"es", "UY", "", 0x380A}, {"es", "PY", "", 0x3C0A}, {"es", "BO", "", 0x400A},
    {"es", "SV", "", 0x440A}, {"es", "HN", "", 0x480A}, {"es", "NI", "", 0x4C0A},
    {"es", "PR", "", 0x500A}, {"es", "US", "", 0x540A},
    {"et", "EE", "", 0x0425}, {"eu", "ES", "", 0x042D}, {"fa", "IR", "", 0x0429},
    {"fi", "FI", "", 0x040B}, {"fil", "PH", "", 0x0464}, {"fo", "FO", "", 0x0438},
    {"fr", "FR", "", 0x040C}, {"fr", "BE", "", 0x080C}, {"fr", "CA", "", 0x0C0C},
    {"fr", "CH", "", 0x100C}, {"fr", "LU", "", 0x140C}, {"fr", "MC", "", 0x180C},
    {"fy", "NL", "", 0x0462}, {"ga", "IE", "", 0x083C}, {"gd", "GB", "", 0x0491},
    {"gl", "ES", "", 0x0456}, {"gu", "IN", "", 0x0447}, {"he", "IL", "", 0x040D},
    {"hi", "IN", "", 0x0439}, {"hr", "HR", "", 0x041A}, {"hr", "BA", "", 0x101A},
    {"hu", "HU", "", 0x040E}, {"hy", "AM", "", 0x042B}, {"id", "ID", "", 0x0421},
    {"is", "IS", "", 0x040F}, {"it", "IT", "", 0x0410}, {"it", "CH", "", 0x0810},
    {"ja", "JP", "", 0x0411}, {"ka", "GE", "", 0x0437}, {"kk", "KZ", "", 0x043F},
    {"km", "KH", "", 0x0453}, {"kn", "IN", "", 0x044B}, {"ko", "KR", "", 0x0412},
    {"ky", "KG", "", 0x0440}, {"lb", "LU", "", 0x046E}, {"lo", "LA", "", 0x0454},
    {"lt", "LT", "", 0x0427}, {"lv", "LV", "", 0x0426}, {"mk", "MK", "", 0x042F},
    {"ml", "IN", "", 0x044C}, {"mn", "MN", "", 0x0450}, {"mr", "IN", "", 0x044E},
    {"ms", "MY", "", 0x043E}, {"ms", "BN", "", 0x083E}, {"mt", "MT", "", 0x043A},
    {"nb", "NO", "", 0x0414}, {"nn", "NO", "", 0x0814}, {"no", "NO", "", 0x0414},
    {"ne", "NP", "", 0x0461}, {"nl", "NL", "", 0x0413}, {"nl", "BE", "", 0x0813},
    {"pa", "IN", "", 0x0446}, {"pl", "PL", "", 0x0415}, {"ps", "AF", "", 0x0463},
    {"pt", "BR", "", 0x0416}, {"pt", "PT", "", 0x0816},
    {"ro", "RO", "", 0x0418}, {"ru", "RU", "", 0x0419}, {"rw", "RW", "", 0x0487},
    {"si", "LK", "", 0x045B}, {"sk", "SK", "", 0x041B}, {"sl", "SI", "", 0x0424},
    {"sq", "AL", "", 0x041C},
    // Serbian is written in Cyrillic unless the locale asks for Latin.
    {"sr", "RS", "", 0x281A}, {"sr", "RS", "latin", 0x241A},
    {"sv", "SE", "", 0x041D}, {"sv", "FI", "", 0x081D}, {"sw", "KE", "", 0x0441},
    {"ta", "IN", "", 0x0449}, {"te", "IN", "", 0x044A}, {"tg", "TJ", "", 0x0428},
    {"th", "TH", "", 0x041E}, {"tk", "TM", "", 0x0442}, {"tr", "TR", "", 0x041F},
    {"tt", "RU", "", 0x0444}, {"uk", "UA", "", 0x0422}, {"ur", "PK", "", 0x0420},
    {"uz", "UZ", "", 0x0443}, {"uz", "UZ", "cyrillic", 0x0843},
    {"vi", "VN", "", 0x042A}, {"xh", "ZA", "", 0x0434},
    {"zh", "CN", "", 0x0804}, {"zh", "TW", "", 0x0404}, {"zh", "HK", "", 0x0C04},
    {"zh", "SG", "", 0x1004}, {"zh", "MO", "", 0x1404},
    {"zu", "ZA", "", 0x0435},
};

constexpr uint16_t kEnglishUnitedStates = 0x0409;

struct LocaleParts {
  std::string language;
  std::string territory;
  std::string modifier;
};

std::string Lower(std::string_view text) { return AsciiLowered(text); }
std::string Upper(std::string_view text) { return AsciiUppered(text); }

// language[_territory][.codeset][@modifier]; "-" is accepted for "_" as in "en-US".
LocaleParts SplitLocaleName(std::string_view name) {
  LocaleParts parts;
  if (const auto at = name.find('@'); at != std::string_view::npos) {
    parts.modifier = Lower(name.substr(at + 1));
    name = name.substr(0, at);
  }
  if (const auto dot = name.find('.'); dot != std::string_view::npos) name = name.substr(0, dot);
  const auto separator = name.find_first_of("_-");
  parts.language = Lower(name.substr(0, separator));
  if (separator != std::string_view::npos) parts.territory = Upper(name.substr(separator + 1));
  return parts;
}

const LocaleRow* FindRow(const LocaleParts& parts) {
  const LocaleRow* sameTerritory = nullptr;
  const LocaleRow* sameModifier = nullptr;
  const LocaleRow* primary = nullptr;
  for (const LocaleRow& row : kLocaleRows) {
    if (row.language != parts.language) continue;
    const bool territoryMatches = row.territory == parts.territory;
    const bool modifierMatches = row.modifier == parts.modifier;
    if (territoryMatches && modifierMatches) return &row;
    if (territoryMatches && row.modifier.empty() && sameTerritory == nullptr) sameTerritory = &row;
    if (parts.territory.empty() && !parts.modifier.empty() && modifierMatches &&
        sameModifier == nullptr) {
      sameModifier = &row;
    }
    if (row.modifier.empty() && primary == nullptr) primary = &row;
  }
  if (sameTerritory != nullptr) return sameTerritory;
  if (sameModifier != nullptr) return sameModifier;
  return primary;
}

std::string FormatLanguageId(uint16_t id) {
  char text[8];
  std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(id));
  return text;
}

}  // namespace

std::string LanguageIdFromLocaleName(std::string_view localeName) {
  const LocaleParts parts = SplitLocaleName(localeName);
  if (parts.language.empty() || parts.language == "c" || parts.language == "posix") {
    return FormatLanguageId(kEnglishUnitedStates);
  }
  const LocaleRow* row = FindRow(parts);
  return FormatLanguageId(row != nullptr ? row->id : kEnglishUnitedStates);
}

std::string PrimaryCountryLanguageId(std::string_view languageId) {
  if (languageId.size() != 4) return "";
  unsigned id = 0;
  for (char c : languageId) {
    const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                      : (c >= 'A' && c <= 'F')                    ? c - 'A' + 10
                      : (c >= 'a' && c <= 'f')                    ? c - 'a' + 10
                                                                  : -1;
    if (digit < 0) return "";
    id = id * 16 + static_cast<unsigned>(digit);
  }
  // Chinese in Taiwan, Hong Kong and Macao is written in Traditional characters.
  if (id == 0x0404 || id == 0x0C04 || id == 0x1404) return "";
  const LocaleRow* variant = nullptr;
  for (const LocaleRow& row : kLocaleRows) {
    if (row.id == id) {
      variant = &row;
      break;
    }
  }
  if (variant == nullptr || !variant->modifier.empty()) return "";
  const LocaleRow* primary = FindRow(LocaleParts{std::string(variant->language), "", ""});
  if (primary == nullptr || primary->id == id || !primary->modifier.empty()) return "";
  return FormatLanguageId(primary->id);
}

std::string MessagesLocaleName(const EnvironmentReader& readEnvironment) {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = readEnvironment ? readEnvironment(variable) : nullptr;
    if (value != nullptr && *value != '\0') return value;
  }
  return "";
}

std::string CurrentLocaleLanguageId() {
  return LanguageIdFromLocaleName(
      MessagesLocaleName([](const char* name) -> const char* { return std::getenv(name); }));
}

}  // namespace ov
