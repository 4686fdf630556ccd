#include "driver/params/parameter_sets.h"

#include <cstdio>
#include <utility>
#include <vector>

#include "driver/oid/oid_requests.h"
#include "driver/params/adapter_params.h"
#include "driver/params/debug_trace.h"
#include "platform/system/error_codes.h"

namespace ov {
CopyResult CopyParameterValues(RegistryWriter& writer, const std::string& from,
                               const std::string& to) {
  CopyResult result;
  RegKey source;
  if (source.open(HKEY_LOCAL_MACHINE, from, KEY_READ) != ERROR_SUCCESS) {
    DebugTrace("RegOpenKeyEx '%s' failed\n", from.c_str());
    result.outcome = CopyOutcome::SourceMissing;
    return result;
  }
  if (writer.CreateKey(HKEY_LOCAL_MACHINE, to) != ERROR_SUCCESS) {
    DebugTrace("RegCreateKeyEx '%s' failed\n", to.c_str());
    result.outcome = CopyOutcome::TargetFailed;
    return result;
  }
  for (uint32_t index = 0;; ++index) {
    char name[kParameterCopyLimit];
    uint8_t data[kParameterCopyLimit];
    uint32_t nameChars = sizeof name;
    uint32_t dataSize = sizeof data;
    uint32_t type = REG_NONE;
    const uint32_t err =
        RegEnumValue(source.get(), index, name, &nameChars, nullptr, &type, data, &dataSize);
    if (err == ERROR_NO_MORE_ITEMS) break;
    if (err == ERROR_MORE_DATA) {
      ++result.skipped;
      continue;
    }
    if (err != ERROR_SUCCESS) break;  // the key went away under us: keep what was copied
    const std::string valueName(name, nameChars);
    if (writer.SetValue(HKEY_LOCAL_MACHINE, to, valueName, type,
                        std::string_view(reinterpret_cast<const char*>(data), dataSize)) !=
        ERROR_SUCCESS) {
      DebugTrace("RegSetValueEx %s failed\n", valueName.c_str());
      result.outcome = CopyOutcome::WriteFailed;
      return result;
    }
    ++result.copied;
  }
  return result;
}

CopyResult SaveDefaults(RegistryWriter& writer, const std::string& adapterKeyPath) {
  return CopyParameterValues(writer, adapterKeyPath, SubKeyPath(adapterKeyPath, kDefaultSubKey));
}

CopyResult LoadApDefaults(RegistryWriter& writer, const std::string& adapterKeyPath) {
  return CopyParameterValues(writer, SubKeyPath(adapterKeyPath, kApDefaultSubKey), adapterKeyPath);
}

ApDefaultOutcome CreateApDefault(RegistryWriter& writer, OidRequester& driver,
                                 const std::string& adapterKeyPath, bool htCapable) {
  const std::string path = SubKeyPath(adapterKeyPath, kApDefaultSubKey);
  {
    RegKey existing;
    if (existing.open(HKEY_LOCAL_MACHINE, path, KEY_READ) == ERROR_SUCCESS) {
      return ApDefaultOutcome::AlreadyExists;
    }
  }
  if (writer.CreateKey(HKEY_LOCAL_MACHINE, path) != ERROR_SUCCESS) {
    DebugTrace("RegCreateKeyEx '%s' failed\n", path.c_str());
    return ApDefaultOutcome::CreateFailed;
  }

  MacAddress address{};
  QueryDot11CurrentAddress(driver, address);  // no answer leaves zeros
  char ssid[16];
  std::snprintf(ssid, sizeof ssid, "SoftAP-%02X", address[5]);

  const std::string emptyList = EncodeMultiString({});
  // In the order the soft-AP utility's set is written; "TXPower" is written twice.
  const std::vector<std::pair<const char*, std::string>> strings = {
      {"SSID", ssid},
      {"Radio", "0"},
      {"WirelessMode", htCapable ? "9" : "0"},
      {"TransRate", "0"},
      {"TurboRate", "0"},
      {"BGProtection", "0"},
      {"ShortSlot", "1"},
      {"Channel", "1"},
      {"PreambleType", "0"},
      {"TXPower", "0"},
      {"RtsThresh", "2347"},
      {"FragThresh", "0"},
      {"AuthMode", "1"},
      {"CipherMode", "0"},
      {"WPAPSK", ""},
      {"WAPIPSK_KEYTYPE", "0"},
      {"WEPKey1Type", "0"},
      {"WEPKey2Type", "0"},
      {"WEPKey3Type", "0"},
      {"WEPKey4Type", "0"},
      {"WEPKeyUse", "1"},
      {"WEPKey1", ""},
      {"WEPKey2", ""},
      {"WEPKey3", ""},
      {"WEPKey4", ""},
      {"RekeyInterval", "60"},
      {"RekeyMethod", "0"},
      {"TXPower", "0"},
      {"RadiusIP", ""},
      {"RadiusPort", ""},
      {"RadiusKey", ""},
      {"AccessControlPolicy", "0"},
  };
  ApDefaultOutcome outcome = ApDefaultOutcome::Created;
  auto set = [&](const char* name, uint32_t type, std::string_view data) {
    if (writer.SetValue(HKEY_LOCAL_MACHINE, path, name, type, data) != ERROR_SUCCESS) {
      DebugTrace("RegSetValueEx %s failed\n", name);
      outcome = ApDefaultOutcome::WriteFailed;
    }
  };
  for (const auto& [name, text] : strings) set(name, REG_SZ, EncodeString(text));
  set("AccessControlList", REG_MULTI_SZ, emptyList);
  set("WdsEnable", REG_SZ, EncodeString("1"));
  set("WdsList", REG_MULTI_SZ, emptyList);
  set("AutoChannelSelect", REG_SZ, EncodeString("0"));
  set("NoForwarding", REG_SZ, EncodeString("0"));
  set("HideSSID", REG_SZ, EncodeString("0"));
  set("BeaconPeriod", REG_SZ, EncodeString("100"));
  return outcome;
}

}  // namespace ov
