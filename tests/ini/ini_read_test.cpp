// Reading private-profile files: each row is one documented behaviour of the host's functions.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/ini/ini.h"
#include "platform/system/error_codes.h"
#include "tests/support/temp_dir.h"

namespace ov {
namespace {

using namespace std::string_literals;

const std::string kBasic =
    "[section1]\r\nname1=val1\r\nname2=\"val2\"\r\nname3\r\nname4=\r\nname5=val5 \r\n"
    "[ section2 ]\r\nkey=two\r\n";

struct ReadCase {
  const char* name;
  std::string content;
  const char* section;  // nullptr lists the sections
  const char* key;      // nullptr lists the keys
  const char* defaultValue;
  uint32_t size;
  uint32_t expectedReturn;
  std::string expectedBytes;  // the buffer's first expectedBytes.size() bytes
};

class IniReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(IniReadTest, ReturnsValueAndBuffer) {
  const ReadCase& c = GetParam();
  test::TempDir dir;
  std::string file = dir.file("t.ini");
  test::WriteFileBytes(file, c.content);
  std::string buffer(c.size + 8, '#');
  uint32_t got = GetPrivateProfileString(c.section, c.key, c.defaultValue, buffer.data(), c.size,
                                         file.c_str());
  EXPECT_EQ(got, c.expectedReturn);
  EXPECT_EQ(buffer.substr(0, c.expectedBytes.size()), c.expectedBytes);
}

INSTANTIATE_TEST_SUITE_P(
    Behaviours, IniReadTest,
    ::testing::Values(
        ReadCase{"KeyCaseInsensitive", kBasic, "section1", "NaMe1", "def", 64, 4, "val1\0"s},
        ReadCase{"SectionCaseInsensitive", kBasic, "SECTION1", "name1", "def", 64, 4, "val1\0"s},
        ReadCase{"QuotesStripped", kBasic, "section1", "name2", "def", 64, 4, "val2\0"s},
        ReadCase{"SingleQuotesStripped", "[s]\r\nk='v'\r\n", "s", "k", "", 64, 1, "v\0"s},
        ReadCase{"LoneQuoteKept", "[s]\r\nk=\"\r\n", "s", "k", "", 64, 1, "\"\0"s},
        ReadCase{"UnbalancedQuotesKept", "[s]\r\nk=\"ab'\r\n", "s", "k", "", 64, 4, "\"ab'\0"s},
        ReadCase{"TrailingBlankOfValueTrimmed", kBasic, "section1", "name5", "", 64, 4, "val5\0"s},
        ReadCase{"BlanksAroundEqualsIgnored", "[s]\r\n  k  =  v w  \r\n", "s", "k", "", 64, 3,
                 "v w\0"s},
        ReadCase{"HeaderBlanksTrimmed", kBasic, "section2", "key", "", 64, 3, "two\0"s},
        ReadCase{"RequestedNamesTrimmed", kBasic, " section1 ", " name1 ", "", 64, 4, "val1\0"s},
        ReadCase{"DefaultTrailingBlanksStripped", kBasic, "section1", "none", "default  ", 64, 7,
                 "default\0"s},
        ReadCase{"DefaultInnerBlanksKept", kBasic, "section1", "none", "one two  ", 64, 7,
                 "one two\0"s},
        ReadCase{"MissingSectionGivesDefault", kBasic, "nosection", "name1", "def", 64, 3,
                 "def\0"s},
        ReadCase{"EmptyKeyNameGivesDefault", kBasic, "section1", "", "def", 64, 3, "def\0"s},
        ReadCase{"EmptySectionNameGivesDefault", "=x\r\n[]\r\nk=v\r\n", "", "k", "def", 64, 3,
                 "def\0"s},
        ReadCase{"EmptyNamedKeyNotReadable", "[s]\r\n=val_no_key\r\n", "s", "", "d", 64, 1,
                 "d\0"s},
        ReadCase{"NullDefaultGivesEmpty", kBasic, "section1", "none", nullptr, 64, 0, "\0"s},
        ReadCase{"KeyWithoutValueGivesEmpty", kBasic, "section1", "name4", "def", 64, 0, "\0"s},
        ReadCase{"LineWithoutEqualsIsNotAKey", kBasic, "section1", "name3", "def", 64, 3,
                 "def\0"s},
        ReadCase{"ExistingSectionMissingKeyEmptyDefault", kBasic, "section1", "x", "", 64, 0,
                 "\0"s},
        ReadCase{"CarriageReturnOnlyLines", "[s]\rk1=a\rk2=b\r", "s", "k2", "", 64, 1, "b\0"s},
        ReadCase{"LineFeedOnlyLines", "[s]\nk1=a\nk2=b", "s", "k2", "", 64, 1, "b\0"s},
        ReadCase{"CommentLineIgnored", "[s]\r\n;k=c\r\nk=v\r\n", "s", "k", "", 64, 1, "v\0"s},
        ReadCase{"NulInsideEntryIsData", "[s]\r\n\0\0\r\nk=\0v\r\n"s, "s", "k", "", 64, 2, "\0v\0"s},
        ReadCase{"FirstDuplicateKeyWins", "[s]\r\nk=1\r\nk=2\r\n", "s", "k", "", 64, 1, "1\0"s},
        ReadCase{"FirstDuplicateSectionWins", "[s]\r\na=1\r\n[t]\r\n[S]\r\na=2\r\nb=3\r\n", "s",
                 "b", "none", 64, 4, "none\0"s},
        ReadCase{"ValueTruncatedToBuffer", kBasic, "section1", "name1", "", 4, 3, "val\0"s},
        ReadCase{"SizeOneGivesEmpty", kBasic, "section1", "name1", "", 1, 0, "\0#"s},
        ReadCase{"DefaultTruncatedToBuffer", kBasic, "section1", "none", "default", 4, 3,
                 "def\0"s},
        ReadCase{"SectionNames", kBasic, nullptr, nullptr, "", 64, 18, "section1\0section2\0\0"s},
        ReadCase{"SectionNamesTruncated", kBasic, nullptr, nullptr, "", 16, 14,
                 "section1\0secti\0\0"s},
        ReadCase{"KeyNamesSkipLinesWithoutEquals", "[s]\r\nname1=val1\r\nname2=\r\nname3\r\n"
                 "name4=val4\r\n", "s", nullptr, "", 64, 18, "name1\0name2\0name4\0\0"s},
        ReadCase{"KeyNamesTruncated", "[s]\r\nname1=val1\r\nname2=\r\nname3\r\nname4=val4\r\n", "s",
                 nullptr, "", 16, 14, "name1\0name2\0na\0\0"s},
        ReadCase{"KeyNamesOfMissingSectionGiveDefault", kBasic, "none", nullptr, "def", 64, 3,
                 "def\0"s}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IniRead, MissingOrUnnamedFileGivesDefault) {
  test::TempDir dir;
  std::string missing = dir.file("absent.ini");
  for (const char* file : {static_cast<const char*>(nullptr), "", missing.c_str()}) {
    SCOPED_TRACE(file ? file : "(null)");
    char buffer[16];
    EXPECT_EQ(GetPrivateProfileString("s", "k", "def", buffer, sizeof buffer, file), 3u);
    EXPECT_STREQ(buffer, "def");
  }
}

TEST(IniRead, ZeroSizeLeavesBufferUntouched) {
  test::TempDir dir;
  test::WriteFileBytes(dir.file("t.ini"), kBasic);
  char buffer[4] = {'x', 'y', 'z', 'w'};
  EXPECT_EQ(GetPrivateProfileString("section1", "name1", "d", buffer, 0, dir.file("t.ini").c_str()),
            0u);
  EXPECT_EQ(std::string(buffer, 4), "xyzw");
}

TEST(IniRead, SectionNamesFitOnlyWithTwoSpareCharacters) {
  test::TempDir dir;
  std::string file = dir.file("t.ini");
  // Three names of 8 characters: 27 characters with their NULs.
  test::WriteFileBytes(file, "[section1]\r\n[section2]\r\n[section3]\r\n");
  struct Row { uint32_t size; uint32_t ret; std::string content; } rows[] = {
      {29, 27, "section1\0section2\0section3\0\0#"s},
      {28, 26, "section1\0section2\0section3\0\0#"s},
      {27, 25, "section1\0section2\0section\0\0#"s}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.size);
    std::string buffer(40, '#');
    EXPECT_EQ(GetPrivateProfileSectionNames(buffer.data(), row.size, file.c_str()), row.ret);
    EXPECT_EQ(buffer.substr(0, row.content.size()), row.content);
  }
  std::string buffer(8, '#');
  EXPECT_EQ(GetPrivateProfileSectionNames(buffer.data(), 8, dir.file("none.ini").c_str()), 0u);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(buffer[1], '#');
}

TEST(IniRead, SectionLinesAreRawLines) {
  test::TempDir dir;
  std::string file = dir.file("t.ini");
  const std::string fourLines =
      "[s]\r\nname1=val1\r\nname2=\r\nname3\r\nname4=val4\r\n[e]\r\n";
  struct Row {
    const char* label;
    std::string content;
    uint32_t size;
    uint32_t ret;
    std::string expected;
  };
  const Row rows[] = {
      {"whole section", fourLines, 64, 35, "name1=val1\0name2=\0name3\0name4=val4\0\0"s},
      {"cut to the buffer", fourLines, 24, 22, "name1=val1\0name2=\0name\0\0"s},
      // A line of NUL bytes is blank: listed, it would end the double-NUL list early.
      {"NUL-only line skipped", "[s]\r\nk=1\r\n\0\0\r\nj=2\r\n"s, 64, 8, "k=1\0j=2\0\0"s},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    test::WriteFileBytes(file, row.content);
    std::string buffer(64, '#');
    EXPECT_EQ(GetPrivateProfileSection("s", buffer.data(), row.size, file.c_str()), row.ret);
    EXPECT_EQ(buffer.substr(0, row.expected.size()), row.expected);
  }

  test::WriteFileBytes(file, fourLines);
  std::string buffer(64, '#');
  SetLastError(99);
  EXPECT_EQ(GetPrivateProfileSection("e", buffer.data(), 64, file.c_str()), 0u);
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);

  EXPECT_EQ(GetPrivateProfileSection(nullptr, buffer.data(), 64, file.c_str()), 0u);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(GetPrivateProfileSection("s", nullptr, 64, file.c_str()), 0u);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(IniRead, IntegersWrapAndStopAtTheFirstNonDigit) {
  test::TempDir dir;
  std::string file = dir.file("t.ini");
  struct Row { const char* text; uint32_t expected; } rows[] = {
      {"-1", 4294967295u},        {"+1", 1u},         {"4294967296", 0u},
      {"4294967297", 1u},         {"-4294967297", 4294967295u},
      {"42A94967297", 42u},       {"B4294967297", 0u}, {"  17  ", 17u}, {"\"  9\"", 9u},
      {"\"12\"", 12u},            {"0x10", 0u},
  };
  for (auto row : rows) {
    SCOPED_TRACE(row.text);
    test::WriteFileBytes(file, std::string("[n]\r\nempty=\r\nv=") + row.text + "\r\n");
    EXPECT_EQ(GetPrivateProfileInt("n", "v", 77, file.c_str()), row.expected);
  }
  EXPECT_EQ(GetPrivateProfileInt("n", "missing", 77, file.c_str()), 77u);
  EXPECT_EQ(GetPrivateProfileInt("n", "missing", -2, file.c_str()), 4294967294u);
  EXPECT_EQ(GetPrivateProfileInt("n", "empty", 5, file.c_str()), 5u);
}

}  // namespace
}  // namespace ov
