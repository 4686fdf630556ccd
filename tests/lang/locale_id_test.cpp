#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <ostream>
#include <string>

#include "platform/system/locale_id.h"

namespace ov {
namespace {

struct LocaleCase {
  const char* locale;
  const char* id;
};

void PrintTo(const LocaleCase& c, std::ostream* os) { *os << "\"" << c.locale << "\""; }

class LocaleToLanguageId : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(LocaleToLanguageId, GivesTheFourDigitIdentifier) {
  EXPECT_EQ(LanguageIdFromLocaleName(GetParam().locale), GetParam().id)
      << "locale \"" << GetParam().locale << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Table, LocaleToLanguageId,
    ::testing::Values(
        // The ones the language files are named after.
        LocaleCase{"en_US.UTF-8", "0409"}, LocaleCase{"zh_CN", "0804"},
        LocaleCase{"zh_TW", "0404"}, LocaleCase{"ja_JP", "0411"}, LocaleCase{"ko_KR", "0412"},
        LocaleCase{"de_DE", "0407"}, LocaleCase{"fr_FR", "040C"},
        // Country variants.
        LocaleCase{"en_GB.UTF-8", "0809"}, LocaleCase{"de_AT", "0C07"},
        LocaleCase{"de_CH", "0807"}, LocaleCase{"fr_CA", "0C0C"}, LocaleCase{"fr_BE", "080C"},
        LocaleCase{"pt_BR", "0416"}, LocaleCase{"pt_PT", "0816"}, LocaleCase{"es_ES", "0C0A"},
        LocaleCase{"es_MX", "080A"}, LocaleCase{"zh_HK.Big5-HKSCS", "0C04"},
        LocaleCase{"zh_SG", "1004"}, LocaleCase{"nl_BE", "0813"}, LocaleCase{"sv_FI", "081D"},
        LocaleCase{"ar_EG", "0C01"},
        // Other common languages.
        LocaleCase{"it_IT", "0410"}, LocaleCase{"ru_RU.KOI8-R", "0419"},
        LocaleCase{"pl_PL", "0415"}, LocaleCase{"tr_TR", "041F"}, LocaleCase{"cs_CZ", "0405"},
        LocaleCase{"hu_HU", "040E"}, LocaleCase{"el_GR", "0408"}, LocaleCase{"he_IL", "040D"},
        LocaleCase{"th_TH", "041E"}, LocaleCase{"vi_VN", "042A"}, LocaleCase{"uk_UA", "0422"},
        LocaleCase{"nb_NO", "0414"}, LocaleCase{"nn_NO", "0814"}, LocaleCase{"fi_FI", "040B"},
        LocaleCase{"da_DK", "0406"}, LocaleCase{"id_ID", "0421"}, LocaleCase{"hi_IN", "0439"},
        LocaleCase{"fil_PH", "0464"},
        // The language alone gives its primary country.
        LocaleCase{"de", "0407"}, LocaleCase{"fr", "040C"}, LocaleCase{"en", "0409"},
        LocaleCase{"zh", "0804"}, LocaleCase{"ja", "0411"}, LocaleCase{"es", "0C0A"},
        LocaleCase{"pt.UTF-8", "0416"}, LocaleCase{"sr", "281A"},
        // A known language in a country without its own identifier.
        LocaleCase{"de_BE", "0407"}, LocaleCase{"en_NG", "0409"},
        // Codesets and modifiers.
        LocaleCase{"de_DE@euro", "0407"}, LocaleCase{"de_DE.ISO-8859-15@euro", "0407"},
        LocaleCase{"sr_RS", "281A"}, LocaleCase{"sr_RS@latin", "241A"},
        LocaleCase{"sr@latin", "241A"}, LocaleCase{"ca_ES.UTF-8@valencia", "0803"},
        LocaleCase{"uz_UZ@cyrillic", "0843"},
        // Spelling variants.
        LocaleCase{"EN_gb", "0809"}, LocaleCase{"en-GB", "0809"}, LocaleCase{"ZH_tw.utf8", "0404"},
        // Everything without a language of its own.
        LocaleCase{"C", "0409"}, LocaleCase{"C.UTF-8", "0409"}, LocaleCase{"POSIX", "0409"},
        LocaleCase{"", "0409"}, LocaleCase{"xx_YY", "0409"}, LocaleCase{"_US", "0409"},
        LocaleCase{"@latin", "0409"}, LocaleCase{"klingon", "0409"}),
    [](const auto& info) {
      std::string name = std::to_string(info.index) + "_";
      for (const char* c = info.param.locale; *c != '\0'; ++c) {
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
      }
      return name;
    });

struct PrimaryCase {
  const char* id;
  const char* primary;
};

void PrintTo(const PrimaryCase& c, std::ostream* os) { *os << "\"" << c.id << "\""; }

class PrimaryCountry : public ::testing::TestWithParam<PrimaryCase> {};

TEST_P(PrimaryCountry, GivesTheSameLanguageInItsPrimaryCountryOrNothing) {
  EXPECT_EQ(PrimaryCountryLanguageId(GetParam().id), GetParam().primary) << GetParam().id;
}

INSTANTIATE_TEST_SUITE_P(
    Table, PrimaryCountry,
    ::testing::Values(
        // Country variants of one script.
        PrimaryCase{"0C07", "0407"}, PrimaryCase{"0807", "0407"}, PrimaryCase{"1007", "0407"},
        PrimaryCase{"1407", "0407"}, PrimaryCase{"1004", "0804"}, PrimaryCase{"0809", "0409"},
        PrimaryCase{"080A", "0C0A"}, PrimaryCase{"0C0C", "040C"}, PrimaryCase{"0816", "0416"},
        PrimaryCase{"0c07", "0407"},
        // Primary identifiers have nothing further.
        PrimaryCase{"0407", ""}, PrimaryCase{"0804", ""}, PrimaryCase{"0409", ""},
        PrimaryCase{"0C0A", ""}, PrimaryCase{"0414", ""}, PrimaryCase{"0814", ""},
        // Another script: Traditional Chinese, Serbian Latin, Uzbek Cyrillic, Valencian.
        PrimaryCase{"0404", ""}, PrimaryCase{"0C04", ""}, PrimaryCase{"1404", ""},
        PrimaryCase{"241A", ""}, PrimaryCase{"0843", ""}, PrimaryCase{"0803", ""},
        // Not an identifier the table knows.
        PrimaryCase{"0000", ""}, PrimaryCase{"FFFF", ""}, PrimaryCase{"", ""},
        PrimaryCase{"407", ""}, PrimaryCase{"0407 ", ""}, PrimaryCase{"G407", ""},
        PrimaryCase{"../0407", ""}),
    [](const auto& info) {
      std::string name = std::to_string(info.index) + "_";
      for (const char* c = info.param.id; *c != '\0'; ++c) {
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
      }
      return name;
    });

struct EnvironmentCase {
  const char* name;
  std::map<std::string, std::string> variables;
  const char* expected;
};

void PrintTo(const EnvironmentCase& c, std::ostream* os) { *os << c.name; }

class MessagesLocale : public ::testing::TestWithParam<EnvironmentCase> {};

TEST_P(MessagesLocale, FollowsLcAllThenLcMessagesThenLang) {
  const auto& vars = GetParam().variables;
  const EnvironmentReader reader = [&vars](const char* name) -> const char* {
    const auto it = vars.find(name);
    return it == vars.end() ? nullptr : it->second.c_str();
  };
  EXPECT_EQ(MessagesLocaleName(reader), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MessagesLocale,
    ::testing::Values(
        EnvironmentCase{"AllThree",
                        {{"LC_ALL", "ja_JP"}, {"LC_MESSAGES", "de_DE"}, {"LANG", "fr_FR"}},
                        "ja_JP"},
        EnvironmentCase{"MessagesOverLang", {{"LC_MESSAGES", "de_DE"}, {"LANG", "fr_FR"}}, "de_DE"},
        EnvironmentCase{"EmptyLcAllIsUnset",
                        {{"LC_ALL", ""}, {"LC_MESSAGES", "de_DE"}, {"LANG", "fr_FR"}},
                        "de_DE"},
        EnvironmentCase{"LangOnly", {{"LANG", "zh_CN.UTF-8"}}, "zh_CN.UTF-8"},
        EnvironmentCase{"OtherCategoriesIgnored", {{"LC_CTYPE", "ko_KR"}, {"LANG", "en_GB"}},
                        "en_GB"},
        EnvironmentCase{"Nothing", {}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ov
