#include "profiles/sso_registry.h"

#include <algorithm>
#include <optional>

#include "driver/params/debug_trace.h"
#include "platform/registry/registry.h"
#include "platform/system/ascii_text.h"
#include "profiles/profile_keys.h"

namespace ov {

namespace {

constexpr char kStationProfiles[] = "\\Profile\\Station";
constexpr char kLeapOrFastProtocol[] = "3";

void TraceOpenFailed(const std::string& path) {
  DebugTrace("RegOpenKeyEx '%s' failed\n", path.c_str());
}

uint32_t WriteText(RegistryWriter& writer, const std::string& path, const char* name,
                   std::string_view text) {
  return writer.SetValue(HKEY_LOCAL_MACHINE, path, name, REG_SZ, EncodeString(text));
}

// Every direct subkey of the logon component's key, with whatever is below it. The names are
// read first: deleting while walking the indexes would skip every other key.
void DeleteSsoSubkeys(RegistryWriter& writer, HKEY ssoKey) {
  std::vector<std::string> names;
  if (RegListSubKeys(ssoKey, &names) != 0) return;
  for (const std::string& name : names) {
    if (writer.DeleteKeyTree(HKEY_LOCAL_MACHINE, kSsoKey, name) != 0)
      DebugTrace("RegDeleteKey '%s' failed\n", name.c_str());
  }
}

}  // namespace

std::optional<std::string> ReadSsoText(HKEY key, const char* name) {
  RegValue value;
  if (RegReadValue(key, "", name, &value) != 0) return std::nullopt;
  if (value.type != REG_SZ && value.type != REG_EXPAND_SZ) return std::nullopt;
  std::string text = DecodeString(value.data);
  if (text.size() > 255) return std::nullopt;
  return text;
}

bool SsoInstalled(bool isAdmin, bool allowStandardUserSetProfile) {
  if (!isAdmin && !allowStandardUserSetProfile) return false;
  RegKey key;
  if (key.open(HKEY_LOCAL_MACHINE, kSsoKey, KEY_READ) != 0) {
    TraceOpenFailed(kSsoKey);
    return false;
  }
  const std::optional<std::string> install = ReadSsoText(key.get(), kSsoInstallValue);
  if (!install) {
    DebugTrace("RegQueryValueEx 'REGSTR_SSO_INSTALL' failed\n");
    return false;
  }
  return *install == "1";
}

std::string SsoStationProfilesPath(const std::string& adapterKeyPath) {
  return adapterKeyPath + kStationProfiles;
}

std::string SsoStationProfilePath(const std::string& adapterKeyPath, const std::string& name) {
  return SsoStationProfilesPath(adapterKeyPath) + "\\" + name;
}

bool SsoProfileOrder(const std::string& a, const std::string& b) {
  const int folded = CompareIgnoringAsciiCase(a, b);
  return folded != 0 ? folded < 0 : a < b;
}

std::vector<std::string> ListSsoProfiles(const std::string& adapterKeyPath) {
  std::vector<std::string> listed;
  if (adapterKeyPath.empty()) return listed;
  const std::string path = SsoStationProfilesPath(adapterKeyPath);
  RegKey parent;
  if (parent.open(HKEY_LOCAL_MACHINE, path, KEY_READ) != 0) return listed;
  std::vector<std::string> names;
  if (RegListSubKeys(parent.get(), &names) != 0) return listed;
  for (const std::string& name : names) {
    RegKey profile;
    if (profile.open(parent.get(), name, KEY_READ) != 0) continue;
    const std::optional<std::string> protocol = ReadSsoText(profile.get(), "AuthenProtocol");
    if (protocol == kLeapOrFastProtocol || ReadSsoText(profile.get(), "LeapEnabled") == "1")
      listed.push_back(name);
  }
  std::sort(listed.begin(), listed.end(), SsoProfileOrder);
  return listed;
}

int FindSsoProfileByPrefix(const std::vector<std::string>& profiles, std::string_view prefix) {
  for (size_t i = 0; i < profiles.size(); ++i) {
    if (StartsWithIgnoringAsciiCase(profiles[i], prefix)) return static_cast<int>(i);
  }
  return -1;
}

SsoProfileDetails ReadSsoProfileDetails(const std::string& adapterKeyPath, const std::string& name) {
  SsoProfileDetails details;
  if (adapterKeyPath.empty() || name.empty()) return details;
  RegKey profile;
  if (profile.open(HKEY_LOCAL_MACHINE, SsoStationProfilePath(adapterKeyPath, name), KEY_READ) != 0)
    return details;
  details.opened = true;
  const bool fast = ReadSsoText(profile.get(), "AuthenProtocol") == kLeapOrFastProtocol;
  const bool leap = ReadSsoText(profile.get(), "LeapEnabled") == "1";
  if (fast || leap) {
    details.authentication = leap ? "LEAP" : "EAP-FAST";
    details.ssid = ReadSsoText(profile.get(), "SSID").value_or("");
  }
  return details;
}

uint32_t SaveCredentialSource(RegistryWriter& writer, int source) {
  const uint32_t result = WriteText(writer, kSsoKey, kSavedPasswordValue, std::to_string(source));
  if (result != 0) DebugTrace("RegQueryValueEx 'REGSTR_SSO_ENABLE' failed\n");
  return result;
}

void RemoveSso(RegistryWriter& writer) {
  RegKey sso;
  if (sso.open(HKEY_LOCAL_MACHINE, kSsoKey, KEY_READ) != 0) {
    TraceOpenFailed(kSsoKey);
  } else {
    if (WriteText(writer, kSsoKey, kSsoEnableValue, "0") != 0)
      DebugTrace("RegQueryValueEx 'REGSTR_SSO_ENABLE' failed\n");
    if (WriteText(writer, kSsoKey, kSsoCurProfileValue, "") != 0)
      DebugTrace("RegQueryValueEx 'REGSTR_SSO_ENABLE' failed\n");
    DeleteSsoSubkeys(writer, sso.get());
  }
  if (writer.DeleteValue(HKEY_LOCAL_MACHINE, kWinlogonKey, kGinaDllValue) != 0)
    DebugTrace("RegQueryValueEx 'REGSTR_WINLOGON_GINADLL' failed\n");
}

void InstallSso(RegistryWriter& writer, const SsoInstallRequest& request) {
  if (WriteText(writer, kWinlogonKey, kGinaDllValue, kGinaLibrary) != 0)
    DebugTrace("RegQueryValueEx 'REGSTR_WINLOGON_GINADLL' failed\n");

  RegKey sso;
  if (sso.open(HKEY_LOCAL_MACHINE, kSsoKey, KEY_READ) != 0) {
    TraceOpenFailed(kSsoKey);
    return;
  }
  if (WriteText(writer, kSsoKey, kSsoEnableValue, request.enabled ? "1" : "0") == 0)
    DeleteSsoSubkeys(writer, sso.get());
  else
    DebugTrace("RegQueryValueEx 'REGSTR_SSO_ENABLE' failed\n");

  if (WriteText(writer, kSsoKey, kSsoCurProfileValue, request.profileName) != 0)
    DebugTrace("RegQueryValueEx 'REGSTR_SSO_ENABLE' failed\n");
  const std::pair<const char*, std::string> named[] = {
      {kDeviceRegistryPathValue, request.adapterKeyPath},
      {kSsoProfilePathValue, SsoStationProfilePath(request.adapterKeyPath, request.profileName)},
      {kSsoProfileNameValue, "Profile Name: " + request.profileName},
  };
  for (const auto& [name, text] : named) {
    if (WriteText(writer, kSsoKey, name, text) != 0)
      DebugTrace("RegQueryValueEx 'REGSTR_PROFILENAME' failed\n");
  }

  const std::optional<std::string> description =
      RegReadString(HKEY_LOCAL_MACHINE, request.adapterKeyPath, "DriverDesc");
  if (!description || description->size() > 255) {
    DebugTrace("RegQueryValueEx 'REGSTR_DRIVER_DESC' failed\n");
    return;
  }
  if (WriteText(writer, kSsoKey, kCardNameValue, "Card Name: " + *description) != 0)
    DebugTrace("RegQueryValueEx 'REGSTR_CARDNAME' failed\n");
}

CopyValuesResult CopyRegistryValues(RegistryWriter& writer, const std::string& fromPath,
                                    const std::string& toPath) {
  CopyValuesResult result;
  RegKey from;
  if ((result.error = from.open(HKEY_LOCAL_MACHINE, fromPath, KEY_READ)) != 0) return result;
  std::vector<RegValue> values;
  if ((result.error = RegListValues(from.get(), &values)) != 0) return result;
  for (const RegValue& value : values) {
    if (!IsProfileKey(value.name)) {
      ++result.skipped;
      continue;
    }
    result.error = writer.SetValue(HKEY_LOCAL_MACHINE, toPath, value.name, value.type, value.data);
    if (result.error != 0) {
      DebugTrace("RegSetValueEx %s failed\n", value.name.c_str());
      return result;
    }
    ++result.copied;
  }
  return result;
}

}  // namespace ov
