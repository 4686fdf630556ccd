#include "sim/adapter_registry.h"

#include <cstdio>

#include "driver/chip_family.h"
#include "driver/wireless_mode.h"
#include "platform/registry/registry.h"
#include "platform/system/error_codes.h"
#include "platform/system/ascii_text.h"

namespace ov::sim {

namespace {

std::string Upper(std::string_view text) { return AsciiUppered(text); }
std::string Lower(std::string_view text) { return AsciiLowered(text); }
bool SameText(std::string_view a, std::string_view b) { return EqualsIgnoringAsciiCase(a, b); }

std::string Decimal(int64_t value) { return std::to_string(value); }

// The driver's decimal conversion: leading blanks, an optional sign, digits; nothing else counts.
std::optional<int64_t> ParseDecimal(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i >= text.size() || text[i] < '0' || text[i] > '9') return std::nullopt;
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > 0xFFFFFFFFLL) return std::nullopt;
  }
  return negative ? -value : value;
}

// A parameter as the driver reads it: a decimal string, or a number stored as REG_DWORD.
std::optional<int64_t> ReadNumber(const std::string& key, const char* name) {
  RegValue value;
  if (RegReadValue(HKEY_LOCAL_MACHINE, key, name, &value) != ERROR_SUCCESS) return std::nullopt;
  if (value.type == REG_DWORD && value.data.size() == 4) {
    return RegReadDword(HKEY_LOCAL_MACHINE, key, name);
  }
  if (value.type == REG_SZ || value.type == REG_EXPAND_SZ) return ParseDecimal(DecodeString(value.data));
  return std::nullopt;
}

template <typename T>
void ReadInto(const std::string& key, const char* name, T* field) {
  if (auto number = ReadNumber(key, name)) *field = static_cast<T>(*number);
}

void ReadFlag(const std::string& key, const char* name, bool* field) {
  if (auto number = ReadNumber(key, name)) *field = *number != 0;
}

class RegistryWriter {
 public:
  explicit RegistryWriter(std::string* error) : error_(error) {}

  bool string(const std::string& key, const char* name, const std::string& text) {
    return check(key, name, RegWriteString(HKEY_LOCAL_MACHINE, key, name, text));
  }
  bool multiString(const std::string& key, const char* name, const std::vector<std::string>& items) {
    return check(key, name, RegWriteMultiString(HKEY_LOCAL_MACHINE, key, name, items));
  }
  bool remove(const std::string& key, const char* name) {
    RegKey opened;
    uint32_t err = opened.open(HKEY_LOCAL_MACHINE, key, KEY_SET_VALUE);
    if (err == ERROR_SUCCESS) err = RegDeleteValue(opened.get(), name);
    return check(key, name, err == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : err);
  }
  // Keeps a value that exists, whatever its content: it may be the user's.
  bool stringIfMissing(const std::string& key, const std::string& name, const std::string& text) {
    RegValue existing;
    uint32_t err = RegReadValue(HKEY_LOCAL_MACHINE, key, name, &existing);
    if (err == ERROR_SUCCESS) return true;
    if (err != ERROR_FILE_NOT_FOUND) return check(key, name.c_str(), err);
    return string(key, name.c_str(), text);
  }

 private:
  bool check(const std::string& key, const char* name, uint32_t err) {
    if (err == ERROR_SUCCESS) return true;
    *error_ = "cannot write HKLM\\" + key + " value \"" + name + "\" (registry error " +
              std::to_string(err) + ")";
    return false;
  }
  std::string* error_;
};

// "{4d36e972-...}\NNNN" → "NNNN", when the name is a driver key of the network class.
std::optional<std::string> DriverKeyNumber(std::string_view driverKeyName) {
  std::string prefix = std::string(kNetClassGuid) + "\\";
  if (driverKeyName.size() != prefix.size() + 4 || !SameText(driverKeyName.substr(0, prefix.size()), prefix)) {
    return std::nullopt;
  }
  std::string number(driverKeyName.substr(prefix.size()));
  for (char c : number) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  return number;
}

// A class key is free for this adapter when nobody else's NetCfgInstanceId is in it.
bool ClassKeyUsableBy(const std::string& number, const std::string& guid) {
  std::string key = std::string(kNetClassKey) + "\\" + number;
  auto owner = RegReadString(HKEY_LOCAL_MACHINE, key, "NetCfgInstanceId");
  return !owner || owner->empty() || SameText(*owner, guid);
}

std::string ChooseDriverKeyNumber(const AdapterSpec& spec, const std::string& enumKey) {
  if (auto driver = RegReadString(HKEY_LOCAL_MACHINE, enumKey, "Driver")) {
    if (auto number = DriverKeyNumber(*driver); number && ClassKeyUsableBy(*number, spec.guid)) {
      return *number;
    }
  }
  std::vector<std::string> taken;
  RegKey classKey;
  if (classKey.open(HKEY_LOCAL_MACHINE, kNetClassKey, KEY_READ) == ERROR_SUCCESS) {
    RegListSubKeys(classKey.get(), &taken);
  }
  for (const std::string& name : taken) {
    auto owner = RegReadString(HKEY_LOCAL_MACHINE, std::string(kNetClassKey) + "\\" + name,
                               "NetCfgInstanceId");
    if (name.size() == 4 && owner && SameText(*owner, spec.guid)) return name;
  }
  for (int n = 0; n <= 9999; ++n) {
    char number[8];
    std::snprintf(number, sizeof number, "%04d", n);
    bool used = false;
    for (const std::string& name : taken) used = used || SameText(name, number);
    if (!used) return number;
  }
  return "9999";
}

}  // namespace

AdapterParameters DefaultAdapterParameters(const AdapterSpec& spec) {
  AdapterParameters p;
  bool ht = FamilySupportsHt(spec.family);
  if (ht) {
    p.wirelessMode = spec.band5GHz ? WIRELESS_MODE_ABGN_MIXED : WIRELESS_MODE_BGN_MIXED;
  } else {
    p.wirelessMode = spec.band5GHz ? WIRELESS_MODE_ABG_MIXED : WIRELESS_MODE_BG_MIXED;
  }
  // Channels 1-13: region 2 in the first generation's numbering, region 1 in the later one.
  p.countryRegion = IsFirstGeneration(spec.family) ? 2 : 1;
  p.countryRegionABand = 7;  // every 5 GHz channel
  p.channel = 6;
  p.txBurst = TxBurstDefaultOn(spec.family) ? 1 : 0;
  return p;
}

std::vector<std::pair<std::string, std::string>> DefaultParameterValues(const AdapterSpec& spec) {
  AdapterParameters p = DefaultAdapterParameters(spec);
  return {
      {"WirelessMode", Decimal(p.wirelessMode)},
      {"CountryRegion", Decimal(p.countryRegion)},
      {"CountryRegionABand", Decimal(p.countryRegionABand)},
      {"Channel", Decimal(p.channel)},
      {"TXBurst", Decimal(p.txBurst)},
      {"BGProtection", Decimal(p.bgProtection)},
      {"TurboRate", Decimal(p.turboRate)},
      {"ShortSlot", Decimal(p.shortSlot)},
      {"AdhocOfdm", "0"},
      {"TransRate", "0"},
      {"ShowAuthStatus", "0"},
      {"Radio", p.radioOff ? "1" : "0"},
      {"OpMode", Decimal(p.opMode)},
      {"PSMode", "0"},
      {"IEEE80211H", "0"},
      {"WMMCapable", p.wmmCapable ? "1" : "0"},
      {"APSDCapable", p.apsdCapable ? "1" : "0"},
      {"DLSCapable", p.dlsCapable ? "1" : "0"},
      {"APSDAC_BE", "0"},
      {"APSDAC_BK", "0"},
      {"APSDAC_VI", "0"},
      {"APSDAC_VO", "0"},
      {"WMMMacAddr", ""},
  };
}

std::vector<std::string> CompatibleIdsFor(const AdapterSpec& spec) {
  if (!spec.compatibleIds.empty()) return spec.compatibleIds;
  auto parts = SplitHardwareId(spec.hardwareId);
  if (!parts) return {};
  if (parts->bus == "USB") {
    return {"USB\\Class_FF&SubClass_FF&Prot_FF", "USB\\Class_FF&SubClass_FF", "USB\\Class_FF"};
  }
  // A network controller (class 02, subclass 80) of the vendor named in the identifier.
  std::string device = Upper(parts->device);
  std::vector<std::string> ids;
  size_t ven = device.find("VEN_");
  size_t dev = device.find("DEV_");
  if (ven != std::string::npos && dev != std::string::npos) {
    std::string vendor = device.substr(ven, 8);
    ids.push_back("PCI\\" + vendor + "&" + device.substr(dev, 8) + "&CC_028000");
    ids.push_back("PCI\\" + vendor + "&CC_028000");
    ids.push_back("PCI\\" + vendor);
  }
  ids.push_back("PCI\\CC_028000");
  ids.push_back("PCI\\CC_0280");
  return ids;
}

bool WriteAdapterRegistry(const AdapterSpec& spec, AdapterRegistryPaths* paths, std::string* error) {
  auto parts = SplitHardwareId(spec.hardwareId);
  if (!parts) {
    *error = "hardware identifier \"" + spec.hardwareId + "\" has no bus and device";
    return false;
  }
  AdapterRegistryPaths result;
  result.enumKey = std::string(kEnumRootKey) + "\\" + parts->bus + "\\" + parts->device + "\\" +
                   spec.instance;
  std::string number = ChooseDriverKeyNumber(spec, result.enumKey);
  result.driverKeyName = std::string(kNetClassGuid) + "\\" + number;
  result.driverKey = std::string(kNetClassKey) + "\\" + number;

  RegistryWriter w(error);
  const std::string& e = result.enumKey;
  bool ok = w.multiString(e, "HardwareID", {spec.hardwareId}) &&
            w.multiString(e, "CompatibleIDs", CompatibleIdsFor(spec)) &&
            (spec.friendlyName.empty() ? w.remove(e, "FriendlyName")
                                       : w.string(e, "FriendlyName", spec.friendlyName)) &&
            w.string(e, "DeviceDesc", spec.deviceDescription) &&
            w.string(e, "Driver", result.driverKeyName) &&
            w.string(e, "LocationInformation", spec.location) &&
            w.string(e, "Mfg", spec.manufacturer) && w.string(e, "ClassGUID", kNetClassGuid) &&
            w.string(e, "Class", "Net");
  if (!ok) return false;

  const std::string& d = result.driverKey;
  ok = w.string(d, "NetCfgInstanceId", spec.guid) &&
       w.string(d, "DriverDesc", spec.deviceDescription) &&
       w.string(d, "MatchingDeviceId", Lower(spec.hardwareId));
  if (!ok) return false;
  for (const auto& [name, value] : DefaultParameterValues(spec)) {
    if (!w.stringIfMissing(d, name, value)) return false;
  }
  *paths = std::move(result);
  return true;
}

AdapterParameters ReadAdapterParameters(const AdapterSpec& spec, const std::string& driverKey) {
  AdapterParameters p = DefaultAdapterParameters(spec);
  const std::string& k = driverKey;
  ReadInto(k, "WirelessMode", &p.wirelessMode);
  ReadInto(k, "CountryRegion", &p.countryRegion);
  ReadInto(k, "CountryRegionABand", &p.countryRegionABand);
  ReadInto(k, "Channel", &p.channel);
  ReadInto(k, "TXBurst", &p.txBurst);
  ReadInto(k, "BGProtection", &p.bgProtection);
  ReadInto(k, "TurboRate", &p.turboRate);
  ReadInto(k, "ShortSlot", &p.shortSlot);
  ReadFlag(k, "Radio", &p.radioOff);
  ReadInto(k, "OpMode", &p.opMode);
  ReadFlag(k, "WMMCapable", &p.wmmCapable);
  ReadFlag(k, "APSDCapable", &p.apsdCapable);
  ReadFlag(k, "DLSCapable", &p.dlsCapable);
  ReadFlag(k, "APSDAC_BE", &p.apsdAc[0]);
  ReadFlag(k, "APSDAC_BK", &p.apsdAc[1]);
  ReadFlag(k, "APSDAC_VI", &p.apsdAc[2]);
  ReadFlag(k, "APSDAC_VO", &p.apsdAc[3]);
  p.transmitSetting = RegReadDword(HKEY_LOCAL_MACHINE, k, "TransmitSetting");
  p.baCapability = RegReadDword(HKEY_LOCAL_MACHINE, k, "BACapability");
  p.ccx2Control = RegReadDword(HKEY_LOCAL_MACHINE, k, "CCX2Control");
  return p;
}

}  // namespace ov::sim
