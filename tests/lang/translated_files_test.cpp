#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "lang/language_table.h"
#include "tests/lang/lang_test_support.h"
#include "tests/lang/language_file_support.h"
#include "tests/support/temp_dir.h"

// The shipped German and Chinese language files against the English one: the same keys, the
// same placeholders in the same order, in the format the reader takes.
namespace ov {
namespace {

namespace fs = std::filesystem;
using test::Conversions;
using test::RawFile;
using test::RawLine;
using test::Unquoted;

struct TranslationCase {
  const char* name;
  const char* languageId;
  const char* faceName;
  const char* charSetName;
  int32_t charSet;
  const char* exitText;  // IDS_TRAY_EXIT, to see the file really is the language's
};

void PrintTo(const TranslationCase& c, std::ostream* os) { *os << c.name; }

const TranslationCase kTranslations[] = {
    {"German", "0407", "Trebuchet MS", "ANSI_CHARSET", 0, "Beenden"},
    {"SimplifiedChinese", "0804", "Noto Sans CJK SC", "GB2312_CHARSET", 134,
     "\xE9\x80\x80\xE5\x87\xBA"},
};

fs::path LanguageFile(const char* languageId) {
  return fs::path(OVUI_SOURCE_DIR) / "data" / "Languages" /
         (std::string("Lang") + languageId + ".ini");
}

// key -> raw value of a [Strings] section, with the keys seen more than once.
struct StringsSection {
  std::map<std::string, std::string> values;
  std::vector<std::string> repeated;
  std::vector<std::size_t> linesWithoutEquals;
};

StringsSection ReadStrings(const RawFile& file) {
  StringsSection out;
  const auto it = file.sections.find("Strings");
  if (it == file.sections.end()) return out;
  for (const RawLine& line : it->second) {
    const auto eq = line.text.find('=');
    if (eq == std::string::npos) {
      out.linesWithoutEquals.push_back(line.number);
      continue;
    }
    const std::string key = line.text.substr(0, eq);
    if (!out.values.emplace(key, line.text.substr(eq + 1)).second) out.repeated.push_back(key);
  }
  return out;
}

const StringsSection& EnglishStrings() {
  static const StringsSection strings =
      ReadStrings(test::ParseRaw(test::ReadFileBytes(test::EnglishLanguageFile())));
  return strings;
}

// Length of the UTF-8 sequence starting at text[i], or 0 when it is not well formed (overlong
// forms, surrogates and code points past U+10FFFF included).
std::size_t Utf8SequenceAt(const std::string& text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) length = 2;
  else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  if (byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
  }
  return length;
}

// Mnemonic marks: "&" not doubled.
int MnemonicCount(const std::string& text) {
  int count = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (i + 1 < text.size() && text[i + 1] == '&') {
      ++i;
      continue;
    }
    ++count;
  }
  return count;
}

class TranslatedFile : public ::testing::TestWithParam<TranslationCase> {
 protected:
  const std::string& bytes() {
    if (bytes_.empty()) bytes_ = test::ReadFileBytes(LanguageFile(GetParam().languageId));
    return bytes_;
  }
  const RawFile& raw() {
    if (raw_.lines.empty()) raw_ = test::ParseRaw(bytes());
    return raw_;
  }
  LanguageTable load() {
    // Through the same path as at program start, with the locale's identifier.
    return LoadLanguageTableFrom(fs::path(OVUI_SOURCE_DIR) / "data", GetParam().languageId);
  }

 private:
  std::string bytes_;
  RawFile raw_;
};

TEST_P(TranslatedFile, IsUtf8WithoutByteOrderMarkAndHasCrLfLineEnds) {
  const std::string& data = bytes();
  ASSERT_FALSE(data.empty()) << "cannot read " << LanguageFile(GetParam().languageId);
  EXPECT_NE(data.substr(0, 3), "\xEF\xBB\xBF") << "a byte-order mark would become part of [Font]";
  EXPECT_EQ(data.substr(data.size() - 2), "\r\n");
  EXPECT_TRUE(raw().bareLineFeeds.empty())
      << "first line ending without CR: " << raw().bareLineFeeds.front();
  for (const RawLine& line : raw().lines) {
    for (std::size_t i = 0; i < line.text.size();) {
      const std::size_t length = Utf8SequenceAt(line.text, i);
      ASSERT_NE(length, 0u) << "line " << line.number << " is not UTF-8 at column " << i + 1;
      ASSERT_FALSE(length == 1 && static_cast<unsigned char>(line.text[i]) < 0x20)
          << "line " << line.number << " has control byte "
          << static_cast<int>(line.text[i]) << " at column " << i + 1;
      i += length;
    }
  }
}

TEST_P(TranslatedFile, HasExactlyTheKeysOfTheEnglishFile) {
  const StringsSection strings = ReadStrings(raw());
  EXPECT_TRUE(strings.repeated.empty()) << "repeated key " << strings.repeated.front();
  EXPECT_TRUE(strings.linesWithoutEquals.empty())
      << "line without '=': " << strings.linesWithoutEquals.front();
  for (const auto& [key, value] : EnglishStrings().values) {
    EXPECT_TRUE(strings.values.count(key)) << "missing key " << key;
  }
  for (const auto& [key, value] : strings.values) {
    EXPECT_TRUE(EnglishStrings().values.count(key)) << "key the English file lacks: " << key;
  }
  ASSERT_EQ(EnglishStrings().values.size(), test::ReadExpectedLanguageKeys().size());
}

TEST_P(TranslatedFile, EveryTextKeepsTheEnglishPlaceholdersInTheSameOrder) {
  const StringsSection strings = ReadStrings(raw());
  for (const auto& [key, english] : EnglishStrings().values) {
    const auto it = strings.values.find(key);
    if (it == strings.values.end()) continue;  // reported by HasExactlyTheKeysOfTheEnglishFile
    EXPECT_EQ(Conversions(Unquoted(it->second)), Conversions(Unquoted(english)))
        << key << ": \"" << it->second << "\" against \"" << english << "\"";
  }
}

TEST_P(TranslatedFile, KeepsAMnemonicWhereTheEnglishTextHasOne) {
  const StringsSection strings = ReadStrings(raw());
  for (const auto& [key, english] : EnglishStrings().values) {
    const auto it = strings.values.find(key);
    if (it == strings.values.end()) continue;
    const int translated = MnemonicCount(it->second);
    EXPECT_LE(translated, 1) << key << " marks more than one mnemonic: " << it->second;
    EXPECT_EQ(translated, std::min(MnemonicCount(english), 1)) << key << ": " << it->second;
  }
}

TEST_P(TranslatedFile, EveryTextLoadsWhole) {
  // Catches texts the reader would change or cut: trimmed blanks, stray quotes, texts that do
  // not fit the 512-byte buffer.
  const LanguageTable table = load();
  const StringsSection strings = ReadStrings(raw());
  for (std::size_t i = 0; i < kLanguageKeyCount; ++i) {
    const std::string key(kLanguageKeyNames[i]);
    const auto it = strings.values.find(key);
    if (it == strings.values.end()) continue;
    const std::string& value = it->second;
    ASSERT_FALSE(value.empty()) << key << " is empty";
    EXPECT_FALSE(value.front() == ' ' || value.back() == ' ') << key << " has unquoted blanks";
    EXPECT_LE(Unquoted(value).size(), kLanguageTextMaxChars) << key;
    EXPECT_EQ(table.Texts[i], Unquoted(value)) << key;
    EXPECT_FALSE(table.Texts[i].empty()) << key;
  }
}

TEST_P(TranslatedFile, FontSectionNamesTheLanguagesFaceAndCharacterSet) {
  std::map<std::string, std::string> font;
  ASSERT_TRUE(raw().sections.count("Font"));
  for (const RawLine& line : raw().sections.at("Font")) {
    const auto eq = line.text.find('=');
    ASSERT_NE(eq, std::string::npos) << "line " << line.number;
    font[line.text.substr(0, eq)] = line.text.substr(eq + 1);
  }
  EXPECT_EQ(font["CharSet"], GetParam().charSetName);
  EXPECT_EQ(font["FaceName"], GetParam().faceName);

  const LanguageTable table = load();
  EXPECT_EQ(table.CharSet, GetParam().charSet);
  EXPECT_EQ(table.FaceName, GetParam().faceName);
  EXPECT_EQ(table.Text(IDS_TRAY_EXIT), GetParam().exitText);
}

TEST_P(TranslatedFile, TrayTooltipsFitTheTipWithTheLongestSsid) {
  const std::string longestSsid(32, 'W');
  const LanguageTable table = load();
  for (LanguageKey key : {IDS_ORVANE_GOOD, IDS_ORVANE_NORMAL, IDS_ORVANE_WEAK, IDS_ORVANE_LOST,
                          IDS_ORVANE_NOTEXIST, IDS_ORVANE_WEP_ERROR, IDS_WHITE_ORVANE_GOOD,
                          IDS_WHITE_ORVANE_NORMAL, IDS_WHITE_ORVANE_WEAK, IDS_WHITE_ORVANE_LOST,
                          IDS_WHITE_ORVANE_NOTEXIST, IDS_WHITE_ORVANE_WEP_ERROR}) {
    std::string tip = table.Text(key);
    if (const auto at = tip.find("%s"); at != std::string::npos) tip.replace(at, 2, longestSsid);
    EXPECT_LE(tip.size(), 127u) << LanguageKeyName(key);
  }
}

INSTANTIATE_TEST_SUITE_P(Languages, TranslatedFile, ::testing::ValuesIn(kTranslations),
                         [](const auto& info) { return std::string(info.param.name); });

// The placeholder comparison itself: what it must tell apart.
struct ConversionCase {
  const char* text;
  std::vector<std::string> expected;
};

TEST(Conversions, SplitsATextIntoItsConversionsInOrder) {
  const ConversionCase rows[] = {
      {"Link Quality >> %d%%", {"%d", "%%"}},
      {"%s verbunden (%d dBm)", {"%s", "%d"}},
      {"%d dBm %s", {"%d", "%s"}},
      {"PIN %08d", {"%08d"}},
      {"%-5s|%5.2f|%ld", {"%-5s", "%5.2f", "%ld"}},
      {"100%", {"%"}},
      {"50%, half", {"%"}},
      {"50% done", {"% d"}},  // as printf reads it: a space flag and a conversion
      {"no placeholder", {}},
  };
  for (const ConversionCase& row : rows) {
    EXPECT_EQ(Conversions(row.text), row.expected) << row.text;
  }
  // Order matters: a translation that swaps %s and %d would crash a formatter.
  EXPECT_NE(Conversions("%s %d"), Conversions("%d %s"));
  EXPECT_NE(Conversions("%08d"), Conversions("%d"));
}

}  // namespace
}  // namespace ov
