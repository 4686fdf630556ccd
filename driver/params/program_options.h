#pragma once
#include <string>

// The program INI's options (OvUI.INI beside the program), every key in the section it belongs
// to. Values are text; "1" means on, anything else off; a missing key takes its default. The
// utility, ovuictl and the registry service read them through this one reader, so the front ends
// cannot disagree on a key's section or default. (The device-identifier sections are the
// discovery's own table.)
namespace ov {

struct ProgramOptions {
  // [Account]
  bool warningMessageForGenUser = true;  // "WarningMessageForGenUser"
  // [Advance]
  bool openFile = false;                      // "OpenFile": the debug trace file
  bool allowStandardUserSetAdvance = true;    // "AllowStandardUserSetAdvance"
  bool allowStandardUserSetProfile = false;   // "AllowStandardUserSetProfile"
  bool activeProfileIcon = true;              // "ActiveProfileIcon"
  bool eapFastEnhancement = false;            // "EAPFastEnhancement"
  bool htSetting = false;                     // "HT Setting"
  bool txRate = false;                        // "TxRate"
  bool bgProtection = false;                  // "BgProtection"
  bool supportPhyModeInWps = false;           // "SupportPhyModeinWps"
  bool notify = true;                         // "Notify": desktop notices when the link changes
  // [AuthEncry]
  bool showPassword = false;      // "ShowPassword"
  bool encryptPasswords = true;   // "EncryptedPassword"
  bool supportWapi = false;       // "SupportWAPI"
  // [CountryRegion]
  bool showCountryRegion = false;  // "ShowCountryRegion"
  // [Page]
  bool page80211n = false;  // "11n Setting"

  bool operator==(const ProgramOptions&) const = default;
};

// One reading of the file; a missing or unreadable file gives the defaults.
ProgramOptions ReadProgramOptions(const std::string& programIniPath);

}  // namespace ov
