#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "driver/chip_family.h"
#include "driver/os_version.h"

namespace ov {

// The selected adapter, as discovery and start-up fill it; one process-wide instance, read on the
// UI thread. The text fields keep the lengths of the driver-facing buffers they stand for; use
// the Set... helpers below to fill them so the limits hold.
struct AdapterInfo {
  static constexpr size_t kHardwareIdLength = 21;       // 22-character field with its terminator
  static constexpr size_t kDescriptionMaxLength = 255;  // 256-character field
  static constexpr size_t kDevicePathMaxLength = 255;   // 256-character field

  ChipFamily chipFamily = CHIP_FAMILY_NONE;
  bool isUsbAdapter = false;
  bool isFirstGeneration = false;
  std::string hardwareId;        // first 21 characters of the first hardware id, upper-cased
  std::string description;       // friendly name, else device description
  std::string netCfgInstanceId;  // "{GUID}"
  std::string devicePath;        // "\\.\{GUID}"
  std::string adapterKeyPath;    // driver key under the local machine
  bool adapterChanged = false;   // stays set until its reader clears it
  bool htCapable = false;
  bool isAdmin = false;
  bool isWow64 = false;
  // The wireless service's own interface (NetworkManager): no vendor driver answers OIDs.
  bool noVendorDriver = false;
};

// At most `maxBytes` bytes of `text`, never ending inside a UTF-8 sequence.
std::string LimitText(std::string_view text, size_t maxBytes);

// The identifier tables compare on this: first 21 characters, ASCII upper-cased.
std::string HardwareIdPrefix(std::string_view hardwareId);

void SetHardwareId(AdapterInfo& info, std::string_view hardwareId);
void SetDescription(AdapterInfo& info, std::string_view description);
void SetDevicePath(AdapterInfo& info, std::string_view devicePath);

// "System\CurrentControlSet\Control\Class\<driver key>", or "...\Services\Class\..." below code 7.
std::string MakeAdapterKeyPath(OsVersionCode code, std::string_view driverKeyName);

// Records the new key path, setting adapterChanged when a different adapter key was selected
// before (a first selection is no change).
void SetAdapterKeyPath(AdapterInfo& info, std::string_view adapterKeyPath);

// 802.11n support: code 7 or more, a family that can be 802.11n, and the adapter key's
// "CountryWirelessMode" word missing (nothing) or with bits 24-27 or bits 8-11 equal to 1.
bool HtCapable(OsVersionCode code, int32_t family, std::optional<uint32_t> countryWirelessMode);

}  // namespace ov
