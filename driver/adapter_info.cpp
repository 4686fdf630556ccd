#include "driver/adapter_info.h"
#include "platform/system/ascii_text.h"

namespace ov {

std::string LimitText(std::string_view text, size_t maxBytes) {
  if (text.size() <= maxBytes) return std::string(text);
  size_t cut = maxBytes;
  // Step back over continuation bytes so a multi-byte character is dropped whole.
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return std::string(text.substr(0, cut));
}

std::string HardwareIdPrefix(std::string_view hardwareId) {
  return AsciiUppered(LimitText(hardwareId, AdapterInfo::kHardwareIdLength));
}

void SetHardwareId(AdapterInfo& info, std::string_view hardwareId) {
  info.hardwareId = HardwareIdPrefix(hardwareId);
}

void SetDescription(AdapterInfo& info, std::string_view description) {
  info.description = LimitText(description, AdapterInfo::kDescriptionMaxLength);
}

void SetDevicePath(AdapterInfo& info, std::string_view devicePath) {
  info.devicePath = LimitText(devicePath, AdapterInfo::kDevicePathMaxLength);
}

std::string MakeAdapterKeyPath(OsVersionCode code, std::string_view driverKeyName) {
  std::string path = code < 7 ? "System\\CurrentControlSet\\Services\\Class"
                              : "System\\CurrentControlSet\\Control\\Class";
  path += '\\';
  path += driverKeyName;
  return path;
}

void SetAdapterKeyPath(AdapterInfo& info, std::string_view adapterKeyPath) {
  if (!info.adapterKeyPath.empty() && info.adapterKeyPath != adapterKeyPath) {
    info.adapterChanged = true;
  }
  info.adapterKeyPath = std::string(adapterKeyPath);
}

bool HtCapable(OsVersionCode code, int32_t family, std::optional<uint32_t> countryWirelessMode) {
  if (code < 7 || !FamilySupportsHt(family)) return false;
  if (!countryWirelessMode) return true;
  const uint32_t word = *countryWirelessMode;
  return ((word >> 24) & 0xF) == 1 || ((word >> 8) & 0xF) == 1;
}

}  // namespace ov
