// The program INI's options: every key in its own section, its default, and "1" as the only on.
#include <gtest/gtest.h>

#include <string>

#include "driver/params/program_options.h"
#include "tests/support/temp_dir.h"

namespace ov {
namespace {

struct OptionRow {
  const char* section;
  const char* key;
  bool ProgramOptions::*field;
  bool byDefault;
};

const OptionRow kRows[] = {
    {"Account", "WarningMessageForGenUser", &ProgramOptions::warningMessageForGenUser, true},
    {"Advance", "OpenFile", &ProgramOptions::openFile, false},
    {"Advance", "AllowStandardUserSetAdvance", &ProgramOptions::allowStandardUserSetAdvance, true},
    {"Advance", "AllowStandardUserSetProfile", &ProgramOptions::allowStandardUserSetProfile, false},
    {"Advance", "ActiveProfileIcon", &ProgramOptions::activeProfileIcon, true},
    {"Advance", "EAPFastEnhancement", &ProgramOptions::eapFastEnhancement, false},
    {"Advance", "HT Setting", &ProgramOptions::htSetting, false},
    {"Advance", "TxRate", &ProgramOptions::txRate, false},
    {"Advance", "BgProtection", &ProgramOptions::bgProtection, false},
    {"Advance", "SupportPhyModeinWps", &ProgramOptions::supportPhyModeInWps, false},
    {"Advance", "Notify", &ProgramOptions::notify, true},
    {"AuthEncry", "ShowPassword", &ProgramOptions::showPassword, false},
    {"AuthEncry", "EncryptedPassword", &ProgramOptions::encryptPasswords, true},
    {"AuthEncry", "SupportWAPI", &ProgramOptions::supportWapi, false},
    {"CountryRegion", "ShowCountryRegion", &ProgramOptions::showCountryRegion, false},
    {"Page", "11n Setting", &ProgramOptions::page80211n, false},
};

class ProgramOptionsTest : public ::testing::Test {
 protected:
  ProgramOptions Read(const std::string& text) {
    test::WriteFileBytes(ini, text);
    return ReadProgramOptions(ini);
  }
  test::TempDir dir;
  std::string ini = dir.file("OvUI.INI");
};

TEST_F(ProgramOptionsTest, MissingFileGivesEveryDefault) {
  const ProgramOptions options = ReadProgramOptions(dir.file("absent.INI"));
  for (const OptionRow& row : kRows) EXPECT_EQ(options.*row.field, row.byDefault) << row.key;
  EXPECT_EQ(options, ProgramOptions{});
}

TEST_F(ProgramOptionsTest, EachKeyIsReadFromItsOwnSectionOnly) {
  for (const OptionRow& row : kRows) {
    SCOPED_TRACE(row.key);
    const char* flipped = row.byDefault ? "0" : "1";
    // In its section the key turns the option around, and nothing else changes.
    ProgramOptions expected;
    expected.*row.field = !row.byDefault;
    EXPECT_EQ(Read(std::string("[") + row.section + "]\r\n" + row.key + "=" + flipped + "\r\n"),
              expected);
    // The same key in a section of its own kind but not its own is not the option.
    const char* other = std::string(row.section) == "Advance" ? "Account" : "Advance";
    EXPECT_EQ(Read(std::string("[") + other + "]\r\n" + row.key + "=" + flipped + "\r\n"),
              ProgramOptions{});
  }
}

TEST_F(ProgramOptionsTest, OnlyTheTextOneIsOn) {
  const struct {
    const char* value;
    bool on;
  } values[] = {{"1", true}, {"0", false}, {"yes", false}, {"01", false}, {"", false}, {"2", false}};
  for (const auto& v : values) {
    SCOPED_TRACE(v.value);
    // An empty value is the default; ShowCountryRegion's is off.
    EXPECT_EQ(Read(std::string("[CountryRegion]\r\nShowCountryRegion=") + v.value + "\r\n")
                  .showCountryRegion,
              v.on);
  }
}

}  // namespace
}  // namespace ov
