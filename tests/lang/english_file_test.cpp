#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "lang/language_table.h"
#include "tests/lang/lang_test_support.h"
#include "tests/support/temp_dir.h"

// The shipped English language file: complete, in the host's format, and carrying the texts and
// placeholders that the pages rely on.
namespace ov {
namespace {

namespace fs = std::filesystem;

struct RawLine {
  std::size_t number;
  std::string text;
};

struct RawFile {
  std::vector<RawLine> lines;
  std::vector<std::size_t> bareLineFeeds;  // line numbers ending in "\n" without "\r"
  std::map<std::string, std::vector<RawLine>> sections;
};

RawFile ParseRaw(const std::string& bytes) {
  RawFile file;
  std::string current;
  std::size_t start = 0, number = 1;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    if (end < bytes.size()) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      else file.bareLineFeeds.push_back(number);
    }
    file.lines.push_back({number, line});
    if (!line.empty() && line.front() == '[' && line.back() == ']') {
      current = line.substr(1, line.size() - 2);
      file.sections[current];
    } else if (!line.empty()) {
      file.sections[current].push_back({number, line});
    }
    start = end + 1;
    ++number;
  }
  return file;
}

const RawFile& EnglishRaw() {
  static const RawFile file = ParseRaw(test::ReadFileBytes(test::EnglishLanguageFile()));
  return file;
}

// The value as the reader sees it: one pair of surrounding quotes removed.
std::string Unquoted(const std::string& value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

TEST(EnglishLanguageFile, IsAsciiWithCrLfLineEndings) {
  const std::string bytes = test::ReadFileBytes(test::EnglishLanguageFile());
  ASSERT_FALSE(bytes.empty()) << "cannot read " << test::EnglishLanguageFile();
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
  EXPECT_TRUE(EnglishRaw().bareLineFeeds.empty())
      << "first line ending without CR: " << EnglishRaw().bareLineFeeds.front();
  for (const RawLine& line : EnglishRaw().lines) {
    for (char c : line.text) {
      ASSERT_TRUE(c >= 0x20 && c < 0x7F) << "line " << line.number << " has byte "
                                         << static_cast<int>(static_cast<unsigned char>(c));
    }
  }
}

TEST(EnglishLanguageFile, FontSectionNamesAnAnsiFont) {
  std::map<std::string, std::string> font;
  for (const RawLine& line : EnglishRaw().sections.at("Font")) {
    const auto eq = line.text.find('=');
    ASSERT_NE(eq, std::string::npos) << "line " << line.number;
    font[line.text.substr(0, eq)] = line.text.substr(eq + 1);
  }
  EXPECT_TRUE(font["CharSet"] == "ANSI_CHARSET" || font["CharSet"] == "DEFAULT_CHARSET")
      << font["CharSet"];
  EXPECT_FALSE(font["FaceName"].empty());
}

TEST(EnglishLanguageFile, StringsSectionHasEveryListedKeyOnceAndNothingElse) {
  const std::vector<std::string> expected = test::ReadExpectedLanguageKeys();
  const std::set<std::string> expectedSet(expected.begin(), expected.end());
  ASSERT_EQ(EnglishRaw().sections.count("Strings"), 1u);

  std::map<std::string, int> seen;
  for (const RawLine& line : EnglishRaw().sections.at("Strings")) {
    SCOPED_TRACE("line " + std::to_string(line.number));
    const auto eq = line.text.find('=');
    ASSERT_NE(eq, std::string::npos) << line.text;
    const std::string key = line.text.substr(0, eq);
    const std::string value = line.text.substr(eq + 1);
    ++seen[key];
    EXPECT_EQ(seen[key], 1) << "repeated key " << key << " (only its first line would count)";
    EXPECT_TRUE(expectedSet.count(key)) << "key not in the list: " << key;
    EXPECT_FALSE(Unquoted(value).empty()) << key << " is empty";
    EXPECT_LE(Unquoted(value).size(), kLanguageTextMaxChars) << key;
    // The reader trims unquoted values, so blanks that matter must be inside quotes.
    EXPECT_FALSE(value.front() == ' ' || value.back() == ' ') << key << " has unquoted blanks";
  }
  for (const std::string& key : expected) {
    EXPECT_TRUE(seen.count(key)) << "missing key " << key;
  }
}

LanguageTable LoadEnglish() {
  // The file as shipped, read through the same path as at program start.
  return LoadLanguageTableFrom(fs::path(OVUI_SOURCE_DIR) / "data", "0409");
}

TEST(EnglishLanguageFile, LoadsWithEveryTextPresent) {
  const LanguageTable table = LoadEnglish();
  EXPECT_EQ(table.FaceName, "Trebuchet MS");
  EXPECT_EQ(table.CharSet, kAnsiCharset);
  for (std::size_t i = 0; i < kLanguageKeyCount; ++i) {
    EXPECT_FALSE(table.Texts[i].empty()) << kLanguageKeyNames[i];
  }
}

TEST(EnglishLanguageFile, EveryTextReadsBackAsWrittenInTheFile) {
  // Catches texts the reader would change: inline comment marks, stray quotes, trimmed blanks.
  const LanguageTable table = LoadEnglish();
  for (const RawLine& line : EnglishRaw().sections.at("Strings")) {
    const auto eq = line.text.find('=');
    ASSERT_NE(eq, std::string::npos);
    const std::string key = line.text.substr(0, eq);
    for (std::size_t i = 0; i < kLanguageKeyCount; ++i) {
      if (kLanguageKeyNames[i] != key) continue;
      EXPECT_EQ(table.Texts[i], Unquoted(line.text.substr(eq + 1))) << key;
    }
  }
}

TEST(EnglishLanguageFile, CarriesTheProgramsFixedEnglishTexts) {
  struct Row {
    LanguageKey key;
    const char* text;
  };
  const Row rows[] = {
      {IDS_TRAY_LAUNCH, "Launch Config Utilities "},
      {IDS_TRAY_EXIT, "Exit"},
      {IDS_TRAY_SWITCH_AP_MODE, "Switch to AP Mode"},
      {IDS_LINK_QUALITY, "Link Quality >> %d%%"},
      {IDS_LINK_STRENGTH, "Signal Strength >> %d%%"},
      {IDS_LINK_STRENGTH_DBM, "Signal Strength 1 >> %d dBm"},
      {IDS_NOISELEVEL_DBM, "Noise Strength >> %d dBm"},
      {IDS_STA_TXOK, "Frames Transmitted Successfully "},
      {IDS_STA_TXOKNORETRY, "Frames Transmitted Successfully  Without Retry"},
      {IDS_STA_TXOKRETRY, "Frames Retransmitted Successfully"},
      {IDS_STA_TXOKALLRETRY, "Frames Fail To Receive ACK After All Retries"},
      {IDS_STA_RTSOK, "RTS Frames Successfully Receive CTS"},
      {IDS_STA_RTSFAIL, "RTS Frames Fail To Receive CTS"},
      {IDS_STA_RXOK, "Frames Received Successfully "},
      {IDS_STA_RXCRC, "Frames Received With CRC Error"},
      {IDS_STA_DROP, "Frames Dropped Due To Out-of-Resource"},
      {IDS_STA_RXDUPLI, "Duplicate Frames Received"},
      {IDS_STA_RESETCOUNTER, "Reset Counter"},
      {IDS_BLOCKACK_ORIGINATOR, "Originator of"},
      {IDS_BLOCKACK_RECIPIENT, "Recipient of"},
      {IDS_POWER_SAVE_STATUS, "Power Save >>"},
      {IDS_DL, "Direct Link >>"},
      {IDS_INVALIDTIMEOUT, "Please enter a integer between 0 to 65535."},
  };
  const LanguageTable table = LoadEnglish();
  for (const Row& row : rows) {
    EXPECT_EQ(table.Text(row.key), row.text) << LanguageKeyName(row.key);
  }
}

// The printf conversions of a text, in order ("%d", "%s", "%%"; a lone "%" as itself).
std::vector<std::string> Conversions(const std::string& text) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    std::size_t j = i + 1;
    if (j < text.size() && text[j] == '%') {
      out.push_back("%%");
      i = j;
      continue;
    }
    while (j < text.size() && std::string("-+ #0").find(text[j]) != std::string::npos) ++j;
    while (j < text.size() && (std::isdigit(static_cast<unsigned char>(text[j])) || text[j] == '.')) {
      ++j;
    }
    while (j < text.size() && std::string("hlLqjztI64").find(text[j]) != std::string::npos) ++j;
    if (j < text.size() && std::isalpha(static_cast<unsigned char>(text[j]))) {
      out.push_back("%" + std::string(1, text[j]));
      i = j;
    } else {
      out.push_back("%");
    }
  }
  return out;
}

TEST(EnglishLanguageFile, FormattedTextsHaveExactlyThePlaceholdersTheirCallersPass) {
  using Signature = std::vector<std::string>;
  const Signature percentCaption = {"%d", "%%"};
  const Signature dbmCaption = {"%d"};
  const Signature withSsid = {"%s"};
  const Signature percentLabel = {"%"};
  const std::map<LanguageKey, Signature> formatted = {
      {IDS_LINK_QUALITY, percentCaption},       {IDS_LINK_STRENGTH, percentCaption},
      {IDS_LINK_STRENGTH2, percentCaption},     {IDS_LINK_STRENGTH3, percentCaption},
      {IDS_NOISELEVEL, percentCaption},         {IDS_LINK_STRENGTH_DBM, dbmCaption},
      {IDS_LINK_STRENGTH2_DBM, dbmCaption},     {IDS_LINK_STRENGTH3_DBM, dbmCaption},
      {IDS_NOISELEVEL_DBM, dbmCaption},         {IDS_ORVANE_GOOD, withSsid},
      {IDS_ORVANE_NORMAL, withSsid},            {IDS_ORVANE_WEAK, withSsid},
      {IDS_WHITE_ORVANE_GOOD, withSsid},        {IDS_WHITE_ORVANE_NORMAL, withSsid},
      {IDS_WHITE_ORVANE_WEAK, withSsid},
      // Plain captions that merely end in a percent sign; never passed through a formatter.
      {IDS_100PERCENT, percentLabel},           {IDS_75PERCENT, percentLabel},
      {IDS_50PERCENT, percentLabel},            {IDS_25PERCENT, percentLabel},
      {IDS_10PERCENT, percentLabel},
  };
  const LanguageTable table = LoadEnglish();
  for (std::size_t i = 0; i < kLanguageKeyCount; ++i) {
    const auto key = static_cast<LanguageKey>(i);
    const auto it = formatted.find(key);
    const Signature expected = it == formatted.end() ? Signature{} : it->second;
    EXPECT_EQ(Conversions(table.Text(key)), expected)
        << kLanguageKeyNames[i] << ": \"" << table.Text(key) << "\"";
  }
}

TEST(EnglishLanguageFile, TrayTooltipsFitTheTipWithTheLongestSsid) {
  const std::string longestSsid(32, 'W');
  const LanguageTable table = LoadEnglish();
  for (LanguageKey key : {IDS_ORVANE_GOOD, IDS_ORVANE_NORMAL, IDS_ORVANE_WEAK, IDS_ORVANE_LOST,
                          IDS_ORVANE_NOTEXIST, IDS_WHITE_ORVANE_GOOD, IDS_WHITE_ORVANE_NORMAL,
                          IDS_WHITE_ORVANE_WEAK, IDS_WHITE_ORVANE_LOST,
                          IDS_WHITE_ORVANE_NOTEXIST}) {
    std::string tip = table.Text(key);
    if (const auto at = tip.find("%s"); at != std::string::npos) tip.replace(at, 2, longestSsid);
    EXPECT_LE(tip.size(), 127u) << LanguageKeyName(key);
  }
}

}  // namespace
}  // namespace ov
