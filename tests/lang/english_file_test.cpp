#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "lang/language_table.h"
#include "tests/lang/lang_test_support.h"
#include "tests/lang/language_file_support.h"
#include "tests/support/temp_dir.h"

// The shipped English language file: complete, in the host's format, and carrying the texts and
// placeholders that the pages rely on.
namespace ov {
namespace {

namespace fs = std::filesystem;

using test::RawFile;
using test::RawLine;
using test::Unquoted;
using test::Conversions;

const RawFile& EnglishRaw() {
  static const RawFile file = test::ParseRaw(test::ReadFileBytes(test::EnglishLanguageFile()));
  return file;
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
