#include "driver/chip_family.h"

#include <array>

namespace ov {

namespace {

constexpr std::array<std::string_view, 11> kFamilyNames = {
    "WXP1", "WXU1", "WXP2", "WXU2", "WXP3", "WXU3", "WXP4", "WXU4", "WXU5", "WXU6", "WXP5",
};

}  // namespace

std::string_view ChipFamilyName(int32_t family) {
  if (!IsKnownChipFamily(family)) return {};
  return kFamilyNames[static_cast<size_t>(family)];
}

std::optional<ChipFamily> ChipFamilyFromName(std::string_view name) {
  for (size_t i = 0; i < kFamilyNames.size(); ++i) {
    if (kFamilyNames[i] == name) return static_cast<ChipFamily>(i);
  }
  return std::nullopt;
}

AdapterBus ChipFamilyBus(int32_t family) {
  if (!IsKnownChipFamily(family)) return AdapterBus::None;
  return IsUsbFamily(family) ? AdapterBus::Usb : AdapterBus::Pci;
}

}  // namespace ov
