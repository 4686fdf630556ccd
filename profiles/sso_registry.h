#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "driver/params/registry_writer.h"

// Single sign-on in the registry: the logon component's key, the logon library value, and the
// registry-held station profiles under the adapter key that the logon component may use. Reads
// open the machine hive directly; every write goes through a RegistryWriter (the registry broker,
// so a standard user's writes reach ovregsvc). Failures write the trace lines of the program's
// debug trace and go on as each function says; nothing here shows a message.
namespace ov {

inline constexpr char kSsoKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Orvane";
inline constexpr char kWinlogonKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
inline constexpr char kGinaDllValue[] = "GinaDLL";
inline constexpr char kGinaLibrary[] = "OrvaneGina.DLL";

inline constexpr char kSsoInstallValue[] = "SSOInstall";
inline constexpr char kSsoEnableValue[] = "SSOEnable";
inline constexpr char kSavedPasswordValue[] = "SavedPassword";
inline constexpr char kSsoCurProfileValue[] = "CurProfile";
inline constexpr char kDeviceRegistryPathValue[] = "DeviceRegistryPath";
inline constexpr char kSsoProfilePathValue[] = "SSOProfilePath";
inline constexpr char kSsoProfileNameValue[] = "ProfileName";
inline constexpr char kCardNameValue[] = "CardName";

// Where the logon credentials come from ("SavedPassword").
enum SsoCredentialSource : int {
  kSsoCredentialsFromLogon = 0,
  kSsoCredentialsFromProfile = 1,
  kSsoCredentialsPrompt = 2,
};

// A text value of an open key as the host's 256-byte reads get it: nothing when it is missing,
// not text, or longer than 255 characters.
std::optional<std::string> ReadSsoText(HKEY key, const char* name);

// The page and the bar button exist for administrators, and for standard users while the
// program INI lets them manage profiles, when the logon component says it is installed.
bool SsoInstalled(bool isAdmin, bool allowStandardUserSetProfile);

// `adapterKeyPath` + "\Profile\Station", and one profile's key below it.
std::string SsoStationProfilesPath(const std::string& adapterKeyPath);
std::string SsoStationProfilePath(const std::string& adapterKeyPath, const std::string& name);

// The drop-down list's order: letter case ignored, then byte order, so "of2" comes before
// "Office" as in the host's sorted lists.
bool SsoProfileOrder(const std::string& a, const std::string& b);

// The LEAP and EAP-FAST profiles ("AuthenProtocol" "3" or "LeapEnabled" "1") in list order.
std::vector<std::string> ListSsoProfiles(const std::string& adapterKeyPath);

// The first entry that begins with `prefix`, letter case ignored; -1 when none does.
int FindSsoProfileByPrefix(const std::vector<std::string>& profiles, std::string_view prefix);

// What the information group shows for one profile: "LEAP" wins over "EAP-FAST"; nothing when
// the profile's key does not open or it is neither.
struct SsoProfileDetails {
  bool opened = false;
  std::string ssid;
  std::string authentication;
};
SsoProfileDetails ReadSsoProfileDetails(const std::string& adapterKeyPath, const std::string& name);

// "SavedPassword" = the source as decimal text. The writer's result.
uint32_t SaveCredentialSource(RegistryWriter& writer, int source);

// Single sign-on off: "SSOEnable" "0", "CurProfile" "", every subkey of the logon component's
// key gone (with what is below it), and the logon library unregistered. "SavedPassword" stays.
void RemoveSso(RegistryWriter& writer);

// Registers the logon library and tells the logon component which profile to use.
struct SsoInstallRequest {
  bool enabled = false;
  std::string profileName;
  std::string adapterKeyPath;
};
void InstallSso(RegistryWriter& writer, const SsoInstallRequest& request);

// Copies the station profile's values (the profile keys only, whole, with their types) from
// `fromPath` into `toPath`, both under the machine hive, in the key's value order; stops at the
// first value that cannot be written. Values that are not profile keys are left behind, so a
// profile key cannot rename or detach the adapter ("DriverDesc", "NetCfgInstanceId" ...).
struct CopyValuesResult {
  uint32_t error = 0;   // 0, the open's error, or the first failed write's
  size_t copied = 0;
  size_t skipped = 0;   // values that are not profile keys
};
CopyValuesResult CopyRegistryValues(RegistryWriter& writer, const std::string& fromPath,
                                    const std::string& toPath);

}  // namespace ov
