#include "driver/params/program_options.h"

#include "platform/ini/ini.h"

namespace ov {

namespace {

struct OptionKey {
  const char* section;
  const char* key;
  bool ProgramOptions::*field;
};

constexpr OptionKey kOptionKeys[] = {
    {"Account", "WarningMessageForGenUser", &ProgramOptions::warningMessageForGenUser},
    {"Advance", "OpenFile", &ProgramOptions::openFile},
    {"Advance", "AllowStandardUserSetAdvance", &ProgramOptions::allowStandardUserSetAdvance},
    {"Advance", "AllowStandardUserSetProfile", &ProgramOptions::allowStandardUserSetProfile},
    {"Advance", "ActiveProfileIcon", &ProgramOptions::activeProfileIcon},
    {"Advance", "EAPFastEnhancement", &ProgramOptions::eapFastEnhancement},
    {"Advance", "HT Setting", &ProgramOptions::htSetting},
    {"Advance", "TxRate", &ProgramOptions::txRate},
    {"Advance", "BgProtection", &ProgramOptions::bgProtection},
    {"Advance", "SupportPhyModeinWps", &ProgramOptions::supportPhyModeInWps},
    {"Advance", "Notify", &ProgramOptions::notify},
    {"AuthEncry", "ShowPassword", &ProgramOptions::showPassword},
    {"AuthEncry", "EncryptedPassword", &ProgramOptions::encryptPasswords},
    {"AuthEncry", "SupportWAPI", &ProgramOptions::supportWapi},
    {"CountryRegion", "ShowCountryRegion", &ProgramOptions::showCountryRegion},
    {"Page", "11n Setting", &ProgramOptions::page80211n},
};

}  // namespace

ProgramOptions ReadProgramOptions(const std::string& programIniPath) {
  ProgramOptions options;
  for (const OptionKey& option : kOptionKeys) {
    bool& value = options.*option.field;
    value = IniReadString(programIniPath, option.section, option.key, value ? "1" : "0", 255) == "1";
  }
  return options;
}

}  // namespace ov
