#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

// The chip families of the supported adapters. The value is a plain signed number because many
// rules are ranges of families ("4 to 10").
namespace ov {

enum ChipFamily : int32_t {
  CHIP_FAMILY_NONE = -1,  // no adapter recognised yet
  WXP1 = 0,
  WXU1 = 1,
  WXP2 = 2,  // never produced by the identifier tables, still given its own behaviour
  WXU2 = 3,  // likewise
  WXP3 = 4,
  WXU3 = 5,
  WXP4 = 6,
  WXU4 = 7,
  WXU5 = 8,
  WXU6 = 9,
  WXP5 = 10,
};

enum class AdapterBus { None, Pci, Usb };

constexpr bool IsKnownChipFamily(int32_t family) { return family >= WXP1 && family <= WXP5; }

// "WXP1" ... "WXU6"; "" for a value that is no family.
std::string_view ChipFamilyName(int32_t family);
// Inverse of ChipFamilyName (exact, upper-case names as the INI sections use them).
std::optional<ChipFamily> ChipFamilyFromName(std::string_view name);

AdapterBus ChipFamilyBus(int32_t family);
constexpr bool IsUsbFamily(int32_t family) {
  return family == WXU1 || family == WXU2 || family == WXU3 || family == WXU4 || family == WXU5 ||
         family == WXU6;
}

// Families whose adapters can be 802.11n capable (HtCapable still depends on more, see adapter_info.h).
constexpr bool FamilySupportsHt(int32_t family) {
  return family == WXP4 || family == WXU4 || family == WXU6 || family == WXP5;
}

// The first generation (families 0 and 1) has some main-window buttons disabled.
constexpr bool IsFirstGeneration(int32_t family) { return family == WXP1 || family == WXU1; }

// Shown as the 802.11n generation: three receive chains, SNR, HT rates.
constexpr bool IsHtGenerationForDisplay(int32_t family) { return family >= WXP4 && family <= WXP5; }

// Families whose driver reports a firmware version.
constexpr bool HasFirmwareVersion(int32_t family) { return family >= WXP3 && family <= WXP5; }

// Families whose transmit burst is on unless the adapter key says otherwise.
constexpr bool TxBurstDefaultOn(int32_t family) { return family >= WXP4 && family <= WXP5; }

}  // namespace ov
