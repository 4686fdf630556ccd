#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "lang/language_table.h"
#include "tests/support/temp_dir.h"

namespace ov {
namespace {

namespace fs = std::filesystem;

// A program folder with a Languages subfolder to put language files into.
class ProgramFolderFixture : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(languages()); }

  fs::path languages() const { return dir_.path() / "Languages"; }

  void WriteLanguageFile(const std::string& name, const std::string& body) {
    test::WriteFileBytes(languages() / name, body);
  }

  test::TempDir dir_;
};

std::string FileWithFace(const std::string& face, const std::string& exitText) {
  return "[Font]\r\nCharSet=ANSI_CHARSET\r\nFaceName=" + face + "\r\n[Strings]\r\nIDS_TRAY_EXIT=" +
         exitText + "\r\n";
}

// Which file is read for a locale, and where the English fallback is looked for.
struct FallbackCase {
  const char* name;
  bool chinesePresent;      // Languages/Lang0804.ini
  bool englishPresent;      // Languages/Lang0409.ini
  bool englishInRootOnly;   // Lang0409.ini directly in the program folder
  bool chineseIsDirectory;  // Languages/Lang0804.ini is a folder, not a file
  const char* languageId;
  const char* expectedFace;
  const char* expectedExit;
};

void PrintTo(const FallbackCase& c, std::ostream* os) { *os << c.name; }

class LanguageFallback : public ProgramFolderFixture,
                         public ::testing::WithParamInterface<FallbackCase> {};

TEST_P(LanguageFallback, ChoosesTheLocaleFileElseTheEnglishFileOfTheSameFolder) {
  const FallbackCase& c = GetParam();
  if (c.chinesePresent) WriteLanguageFile("Lang0804.ini", FileWithFace("SimSun", "Tuichu"));
  if (c.chineseIsDirectory) fs::create_directories(languages() / "Lang0804.ini");
  if (c.englishPresent) WriteLanguageFile("Lang0409.ini", FileWithFace("Tahoma", "Exit"));
  if (c.englishInRootOnly) {
    test::WriteFileBytes(dir_.path() / "Lang0409.ini", FileWithFace("Tahoma", "Exit"));
  }

  const LanguageTable table = LoadLanguageTableFrom(dir_.path(), c.languageId);

  EXPECT_EQ(table.FaceName, c.expectedFace);
  EXPECT_EQ(table.Text(IDS_TRAY_EXIT), c.expectedExit);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LanguageFallback,
    ::testing::Values(
        FallbackCase{"LocaleFilePresent", true, true, false, false, "0804", "SimSun", "Tuichu"},
        FallbackCase{"LocaleFileAbsent", false, true, false, false, "0804", "Tahoma", "Exit"},
        FallbackCase{"EnglishLocale", false, true, false, false, "0409", "Tahoma", "Exit"},
        FallbackCase{"LocaleFileIsAFolder", false, true, false, true, "0804", "Tahoma", "Exit"},
        FallbackCase{"NeitherFile", false, false, false, false, "0804", "Trebuchet MS", ""},
        FallbackCase{"EnglishOnlyOutsideLanguages", false, false, true, false, "0804",
                     "Trebuchet MS", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// A country variant without a file of its own reads its language's file, not English.
struct RegionalCase {
  const char* name;
  std::vector<const char*> files;  // language identifiers with a file in Languages
  const char* languageId;
  const char* expectedFile;  // identifier of the file read
};

void PrintTo(const RegionalCase& c, std::ostream* os) { *os << c.name; }

class RegionalFallback : public ProgramFolderFixture,
                         public ::testing::WithParamInterface<RegionalCase> {};

TEST_P(RegionalFallback, ReadsTheLanguagesFileBeforeTheEnglishOne) {
  const RegionalCase& c = GetParam();
  for (const char* id : c.files) {
    WriteLanguageFile(std::string("Lang") + id + ".ini", FileWithFace("Face" + std::string(id), id));
  }

  EXPECT_EQ(LanguageFilePath(dir_.path(), c.languageId),
            languages() / (std::string("Lang") + c.expectedFile + ".ini"));
  EXPECT_EQ(LoadLanguageTableFrom(dir_.path(), c.languageId).Text(IDS_TRAY_EXIT),
            c.expectedFile);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegionalFallback,
    ::testing::Values(
        RegionalCase{"AustrianReadsGerman", {"0409", "0407"}, "0C07", "0407"},
        RegionalCase{"SwissReadsGerman", {"0409", "0407", "0804"}, "0807", "0407"},
        RegionalCase{"OwnFileFirst", {"0409", "0407", "0C07"}, "0C07", "0C07"},
        RegionalCase{"NoLanguageFileReadsEnglish", {"0409", "0804"}, "0C07", "0409"},
        RegionalCase{"SingaporeReadsSimplifiedChinese", {"0409", "0804"}, "1004", "0804"},
        RegionalCase{"TaiwanDoesNotReadSimplifiedChinese", {"0409", "0804"}, "0404", "0409"},
        RegionalCase{"HongKongDoesNotReadSimplifiedChinese", {"0409", "0804"}, "0C04", "0409"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProgramFolderFixture, FallbackPathIsTheEnglishFileInTheLanguagesFolder) {
  EXPECT_EQ(LanguageFilePath(dir_.path(), "0804"), languages() / "Lang0409.ini");
  WriteLanguageFile("Lang0804.ini", FileWithFace("SimSun", "Tuichu"));
  EXPECT_EQ(LanguageFilePath(dir_.path(), "0804"), languages() / "Lang0804.ini");
}

// [Font] "CharSet" through the name table.
struct CharSetCase {
  const char* name;
  const char* fontSection;  // nullptr: the file has no CharSet line
  int32_t expected;
};

void PrintTo(const CharSetCase& c, std::ostream* os) { *os << c.name; }

class CharSetNames : public ProgramFolderFixture,
                     public ::testing::WithParamInterface<CharSetCase> {};

TEST_P(CharSetNames, GiveThePublishedCode) {
  const CharSetCase& c = GetParam();
  std::string body = "[Font]\r\nFaceName=Tahoma\r\n";
  if (c.fontSection != nullptr) body += std::string("CharSet=") + c.fontSection + "\r\n";
  WriteLanguageFile("Lang0409.ini", body);

  EXPECT_EQ(LoadLanguageTableFrom(dir_.path(), "0409").CharSet, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CharSetNames,
    ::testing::Values(CharSetCase{"Ansi", "ANSI_CHARSET", 0},
                      CharSetCase{"Default", "DEFAULT_CHARSET", 1},
                      CharSetCase{"Symbol", "SYMBOL_CHARSET", 2},
                      CharSetCase{"Mac", "MAC_CHARSET", 77},
                      CharSetCase{"ShiftJis", "SHIFTJIS_CHARSET", 128},
                      CharSetCase{"Hangul", "HANGUL_CHARSET", 129},
                      CharSetCase{"Hangeul", "HANGEUL_CHARSET", 129},
                      CharSetCase{"Johab", "JOHAB_CHARSET", 130},
                      CharSetCase{"Gb2312", "GB2312_CHARSET", 134},
                      CharSetCase{"ChineseBig5", "CHINESEBIG5_CHARSET", 136},
                      CharSetCase{"Greek", "GREEK_CHARSET", 161},
                      CharSetCase{"Turkish", "TURKISH_CHARSET", 162},
                      CharSetCase{"Vietnamese", "VIETNAMESE_CHARSET", 163},
                      CharSetCase{"Hebrew", "HEBREW_CHARSET", 177},
                      CharSetCase{"Arabic", "ARABIC_CHARSET", 178},
                      CharSetCase{"Baltic", "BALTIC_CHARSET", 186},
                      CharSetCase{"Russian", "RUSSIAN_CHARSET", 204},
                      CharSetCase{"Thai", "THAI_CHARSET", 222},
                      CharSetCase{"EastEurope", "EASTEUROPE_CHARSET", 238},
                      CharSetCase{"Oem", "OEM_CHARSET", 255},
                      CharSetCase{"WrongCase", "hangeul_charset", 1},
                      CharSetCase{"MixedCase", "Ansi_Charset", 1},
                      CharSetCase{"NameWithSuffix", "ANSI_CHARSET2", 1},
                      CharSetCase{"Number", "128", 1},
                      CharSetCase{"EmptyValue", "", 1},
                      CharSetCase{"NoCharSetLine", nullptr, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProgramFolderFixture, FileWithoutFontSectionKeepsTheFontDefaultsButReadsTheTexts) {
  WriteLanguageFile("Lang0409.ini", "[Strings]\r\nIDS_OK=Okay\r\n");

  const LanguageTable table = LoadLanguageTableFrom(dir_.path(), "0409");

  EXPECT_EQ(table.FaceName, "Trebuchet MS");
  EXPECT_EQ(table.CharSet, 1);
  EXPECT_EQ(table.Text(IDS_OK), "Okay");
  EXPECT_EQ(table.Text(IDS_CANCEL), "");
}

TEST_F(ProgramFolderFixture, MissingFileLeavesEveryTextEmptyAndTheFontDefaults) {
  const LanguageTable table = LoadLanguageTableFrom(dir_.path(), "0409");

  EXPECT_EQ(table.FaceName, "Trebuchet MS");
  EXPECT_EQ(table.CharSet, 1);
  for (std::size_t i = 0; i < kLanguageKeyCount; ++i) {
    ASSERT_EQ(table.Texts[i], "") << kLanguageKeyNames[i];
  }
}

TEST_F(ProgramFolderFixture, EveryKeyReadsItsOwnLine) {
  // A distinct text per key: a key read under another key's name, or stored at another key's
  // place, shows up as a mismatch.
  std::string body = "[Font]\r\nCharSet=GB2312_CHARSET\r\nFaceName=SimSun\r\n[Strings]\r\n";
  for (std::size_t i = kLanguageKeyCount; i-- > 0;) {  // reverse order: the file order is free
    body += std::string(kLanguageKeyNames[i]) + "=text of " + std::string(kLanguageKeyNames[i]) +
            "\r\n";
  }
  WriteLanguageFile("Lang0804.ini", body);

  const LanguageTable table = LoadLanguageTableFrom(dir_.path(), "0804");

  EXPECT_EQ(table.CharSet, 134);
  EXPECT_EQ(table.FaceName, "SimSun");
  for (std::size_t i = 0; i < kLanguageKeyCount; ++i) {
    const auto key = static_cast<LanguageKey>(i);
    ASSERT_EQ(table.Text(key), "text of " + std::string(kLanguageKeyNames[i]));
  }
  EXPECT_EQ(table.Text(static_cast<LanguageKey>(kLanguageKeyCount)), "");
}

struct LengthCase {
  const char* name;
  std::size_t written;
  std::size_t kept;
};

void PrintTo(const LengthCase& c, std::ostream* os) { *os << c.name; }

class TextLength : public ProgramFolderFixture,
                   public ::testing::WithParamInterface<LengthCase> {};

TEST_P(TextLength, TextsAreCutAt511Characters) {
  const LengthCase& c = GetParam();
  std::string text;
  for (std::size_t i = 0; i < c.written; ++i) text += static_cast<char>('a' + i % 26);
  WriteLanguageFile("Lang0409.ini", "[Strings]\r\nIDS_HIDDEN_TEXT=" + text +
                                        "\r\nIDS_OK=after the long line\r\n");

  const LanguageTable table = LoadLanguageTableFrom(dir_.path(), "0409");

  EXPECT_EQ(table.Text(IDS_HIDDEN_TEXT), text.substr(0, c.kept));
  EXPECT_EQ(table.Text(IDS_OK), "after the long line");
}

INSTANTIATE_TEST_SUITE_P(Cases, TextLength,
                         ::testing::Values(LengthCase{"Short", 20, 20},
                                           LengthCase{"Exactly511", 511, 511},
                                           LengthCase{"Over511By1", 512, 511},
                                           LengthCase{"FarOver", 3000, 511}),
                         [](const auto& info) { return std::string(info.param.name); });

// A cut at 511 bytes never leaves half a UTF-8 character behind.
struct Utf8CutCase {
  const char* name;
  std::string head;  // written before the repeats
  std::string unit;  // repeated to make the rest of the text
  std::size_t repeats;
  std::size_t keptBytes;
};

void PrintTo(const Utf8CutCase& c, std::ostream* os) { *os << c.name; }

class Utf8TextLength : public ProgramFolderFixture,
                       public ::testing::WithParamInterface<Utf8CutCase> {};

TEST_P(Utf8TextLength, CutFallsBeforeTheCharacterThatDoesNotFit) {
  const Utf8CutCase& c = GetParam();
  std::string text = c.head;
  for (std::size_t i = 0; i < c.repeats; ++i) text += c.unit;
  WriteLanguageFile("Lang0804.ini", "[Strings]\r\nIDS_HIDDEN_TEXT=" + text + "\r\n");

  const LanguageTable table = LoadLanguageTableFrom(dir_.path(), "0804");

  EXPECT_EQ(table.Text(IDS_HIDDEN_TEXT), text.substr(0, c.keptBytes));
}

const char kNet[] = "\xE7\xBD\x91";  // a three-byte Chinese character

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8TextLength,
    ::testing::Values(
        Utf8CutCase{"ThreeByteEndsAtTheLimit", "x", kNet, 200, 511},
        Utf8CutCase{"ThreeByteSplitAfterItsFirstByte", "", kNet, 171, 510},
        Utf8CutCase{"ThreeByteSplitAfterItsSecondByte", "xy", kNet, 170, 509},
        Utf8CutCase{"TwoByteSplit", "", "\xC3\xA4", 256, 510},
        Utf8CutCase{"FourByteSplit", "", "\xF0\x9F\x93\xB6", 128, 508},
        Utf8CutCase{"WideTextUnderTheLimitIsWhole", "", kNet, 170, 510},
        // Bytes that are not UTF-8 are cut at the buffer as before.
        Utf8CutCase{"NotUtf8", "", "\x80", 600, 511}),
    [](const auto& info) { return std::string(info.param.name); });

// Sets an environment variable for the object's lifetime.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) {
      previous_ = old;
      hadPrevious_ = true;
    }
    if (value != nullptr) setenv(name, value, 1);
    else unsetenv(name);
  }
  ~ScopedEnvironment() {
    if (hadPrevious_) setenv(name_.c_str(), previous_.c_str(), 1);
    else unsetenv(name_.c_str());
  }

 private:
  std::string name_;
  std::string previous_;
  bool hadPrevious_ = false;
};

TEST(ProcessLanguageTable, LoadReadsTheEnglishFileShippedBesideTheProgram) {
  // The build copies the language files next to the test programs, as an installation does.
  ScopedEnvironment all("LC_ALL", "C");
  const LanguageTable previous = Language();

  LoadLanguageTable();

  EXPECT_EQ(LangText(IDS_TRAY_EXIT), "Exit");
  EXPECT_EQ(Language().FaceName, "Trebuchet MS");
  InstallLanguageTable(previous);
}

// The locale of the environment picks the shipped file: LC_ALL, then LC_MESSAGES, then LANG.
struct ProcessLocaleCase {
  const char* name;
  const char* lcAll;       // nullptr: unset
  const char* lcMessages;  // nullptr: unset
  const char* lang;        // nullptr: unset
  const char* exitText;
  const char* faceName;
};

void PrintTo(const ProcessLocaleCase& c, std::ostream* os) { *os << c.name; }

class ProcessLocale : public ::testing::TestWithParam<ProcessLocaleCase> {};

TEST_P(ProcessLocale, LoadPicksTheShippedFileOfTheMessagesLocale) {
  const ProcessLocaleCase& c = GetParam();
  ScopedEnvironment all("LC_ALL", c.lcAll);
  ScopedEnvironment messages("LC_MESSAGES", c.lcMessages);
  ScopedEnvironment lang("LANG", c.lang);
  const LanguageTable previous = Language();

  LoadLanguageTable();

  EXPECT_EQ(LangText(IDS_TRAY_EXIT), c.exitText);
  EXPECT_EQ(Language().FaceName, c.faceName);
  InstallLanguageTable(previous);
}

constexpr char kChineseExit[] = "\xE9\x80\x80\xE5\x87\xBA";

INSTANTIATE_TEST_SUITE_P(
    Table, ProcessLocale,
    ::testing::Values(
        ProcessLocaleCase{"ChineseLang", nullptr, nullptr, "zh_CN.UTF-8", kChineseExit,
                          "Noto Sans CJK SC"},
        ProcessLocaleCase{"GermanLang", nullptr, nullptr, "de_DE.UTF-8", "Beenden",
                          "Trebuchet MS"},
        ProcessLocaleCase{"EnglishLang", nullptr, nullptr, "en_US.UTF-8", "Exit", "Trebuchet MS"},
        ProcessLocaleCase{"LanguageWithoutAFile", nullptr, nullptr, "fr_FR.UTF-8", "Exit",
                          "Trebuchet MS"},
        ProcessLocaleCase{"NothingSet", nullptr, nullptr, nullptr, "Exit", "Trebuchet MS"},
        ProcessLocaleCase{"LcAllCOverridesLang", "C", nullptr, "de_DE.UTF-8", "Exit",
                          "Trebuchet MS"},
        ProcessLocaleCase{"LcAllOverridesLcMessages", "zh_CN.UTF-8", "de_DE.UTF-8", "en_US.UTF-8",
                          kChineseExit, "Noto Sans CJK SC"},
        ProcessLocaleCase{"LcMessagesOverridesLang", nullptr, "de_DE.UTF-8", "zh_CN.UTF-8",
                          "Beenden", "Trebuchet MS"},
        ProcessLocaleCase{"AustrianGermanLang", nullptr, nullptr, "de_AT.UTF-8", "Beenden",
                          "Trebuchet MS"},
        ProcessLocaleCase{"EmptyLcAllIsIgnored", "", nullptr, "de_DE.UTF-8", "Beenden",
                          "Trebuchet MS"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProcessLanguageTable, InstalledTableIsWhatLookupsSee) {
  const LanguageTable previous = Language();
  LanguageTable table;
  table.Texts[IDS_OK] = "Fine";
  table.CharSet = 204;

  InstallLanguageTable(table);

  EXPECT_EQ(LangText(IDS_OK), "Fine");
  EXPECT_EQ(LangText(IDS_CANCEL), "");
  EXPECT_EQ(Language().CharSet, 204);
  InstallLanguageTable(previous);
}

}  // namespace
}  // namespace ov
