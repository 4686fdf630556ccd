#include "ccx/ccx_rules.h"

#include <algorithm>

namespace ov {
namespace {

constexpr uint32_t Bit(int n) { return 1u << n; }
constexpr uint32_t kLimitMask = 0x3FFu << 16;
constexpr uint32_t kMfpMask = 0x3u << 26;
// The advanced page stores |threshold| 40..90 in bits 8-15 (radio/advance_rules).
constexpr uint32_t kRoamByteLow = 40, kRoamByteHigh = 90, kRoamByteDefault = 70;

}  // namespace

CcxOptions SplitCcxWord(uint32_t word) {
  CcxOptions o;
  o.ccxEnabled = word & Bit(0);
  o.cckm = word & Bit(1);
  o.radioMeasurement = word & Bit(2);
  o.nonServingMeasurement = word & Bit(3);
  o.cacEnabled = word & Bit(4);
  o.networkEap = word & Bit(6);
  o.rotateProfile = word & Bit(7);
  o.measurementLimit = static_cast<int32_t>((word & kLimitMask) >> 16);
  o.mfpMode = static_cast<int32_t>((word & kMfpMask) >> 26);
  o.rfRoam = word & Bit(28);
  o.bit29Option = word & Bit(29);
  return o;
}

uint32_t ComposeWord(const CcxOptions& options, uint32_t old) {
  const uint32_t roamByte = (old >> 8) & 0xFF;
  const uint32_t keptByte =
      roamByte >= kRoamByteLow && roamByte <= kRoamByteHigh ? roamByte : kRoamByteDefault;
  // Bits 16-25 become 250 and bits 24-25 clear; bits 8-15 as above.
  uint32_t w = (old & 0xFCFA00FFu) | 0x00FA0000u | (keptByte << 8);
  if (options.ccxEnabled) {
    const bool nonServing = options.radioMeasurement && options.nonServingMeasurement;
    w |= Bit(0);
    w = (w & ~(Bit(1) | Bit(2) | Bit(3) | Bit(4) | Bit(6) | Bit(7) | kMfpMask | Bit(28) | Bit(29) |
               kLimitMask));
    if (options.cckm) w |= Bit(1);
    if (options.radioMeasurement) w |= Bit(2);
    if (nonServing) w |= Bit(3);
    if (options.cacEnabled) w |= Bit(4);
    if (options.networkEap) w |= Bit(6);
    if (options.rotateProfile) w |= Bit(7);
    w |= (static_cast<uint32_t>(options.mfpMode) & 0x3u) << 26;
    if (options.rfRoam) w |= Bit(28);
    if (options.bit29Option) w |= Bit(29);
    const int32_t limit = std::clamp(options.measurementLimit, 0, kCcxStoredLimitMax);
    w |= static_cast<uint32_t>(limit) << 16;
  } else {
    w &= 0xE3FFFF20u;
  }
  return w;
}

bool MeasurementLimitValid(int32_t limit) {
  return limit >= 0 && limit <= kCcxMaxMeasurementLimit;
}

CcxOptions OnCcxToggled(CcxOptions o) {
  o.cckm = o.networkEap = o.cacEnabled = o.rotateProfile = o.rfRoam = o.bit29Option = false;
  o.mfpMode = 0;
  o.radioMeasurement = o.nonServingMeasurement = o.ccxEnabled;
  if (!o.ccxEnabled) o.measurementLimit = kCcxDefaultMeasurementLimit;
  return o;
}

CcxOptions OnRadioMeasurementToggled(CcxOptions o) {
  if (!o.radioMeasurement) {
    o.nonServingMeasurement = false;
    o.measurementLimit = kCcxDefaultMeasurementLimit;
  }
  return o;
}

CcxOptions OnNonServingToggled(CcxOptions o) {
  if (!o.nonServingMeasurement) o.measurementLimit = kCcxDefaultMeasurementLimit;
  return o;
}

CcxControlStates ControlStatesFor(const CcxOptions& o) {
  CcxControlStates s;
  s.options = s.diagnostics = o.ccxEnabled;
  s.nonServing = o.ccxEnabled && o.radioMeasurement;
  s.limit = s.nonServing && o.nonServingMeasurement;
  return s;
}

std::optional<CcxTspec> CacRequestForComboIndex(int index) {
  if (index < 0 || index >= static_cast<int>(kCacComboItems.size())) return std::nullopt;
  CcxTspec request;
  request.Action = static_cast<uint16_t>(index + 1);
  request.DialogToken = 1;
  return request;
}

}  // namespace ov
