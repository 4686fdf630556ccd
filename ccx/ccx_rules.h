#pragma once
#include <array>
#include <cstdint>
#include <optional>

#include "driver/oid/qos_records.h"

// The CCX page's rules, data in and data out: the "CCX2Control" word and its fields, the toggle
// rules, the limit check, and the admission-control (TSPEC) record.
namespace ov {

struct CcxOptions {
  bool ccxEnabled = false;             // bit 0
  bool cckm = false;                   // bit 1
  bool radioMeasurement = false;       // bit 2
  bool nonServingMeasurement = false;  // bit 3
  bool cacEnabled = false;             // bit 4
  bool networkEap = false;             // bit 6
  bool rotateProfile = false;          // bit 7
  int32_t measurementLimit = 250;      // ms, bits 16-25
  int32_t mfpMode = 0;                 // bits 26-27: 0 None, 1 Optional, 2 Required
  bool rfRoam = false;                 // bit 28
  bool bit29Option = false;            // bit 29
  bool operator==(const CcxOptions&) const = default;
};

inline constexpr int32_t kCcxDefaultMeasurementLimit = 250;
inline constexpr int32_t kCcxMaxMeasurementLimit = 2000;
// What bits 16-25 can hold.
inline constexpr int32_t kCcxStoredLimitMax = 0x3FF;

CcxOptions SplitCcxWord(uint32_t word);

// The word Apply writes and sends, from the options and the word read afresh (0 when unreadable).
// Bits 8-15 keep a roaming threshold the advanced page set (40..90) and are 70 otherwise; a limit
// above what 10 bits hold is stored as the highest value they hold.
uint32_t ComposeWord(const CcxOptions& options, uint32_t old);

// 0..2000 accepted.
bool MeasurementLimitValid(int32_t limit);

// The toggle rules: each takes the fields as read from the controls.
CcxOptions OnCcxToggled(CcxOptions options);
CcxOptions OnRadioMeasurementToggled(CcxOptions options);
CcxOptions OnNonServingToggled(CcxOptions options);

// Which option controls are enabled.
struct CcxControlStates {
  bool options = false;      // every option control but the CCX box, Apply and CAC
  bool nonServing = false;
  bool limit = false;
  bool diagnostics = false;
  bool operator==(const CcxControlStates&) const = default;
};
CcxControlStates ControlStatesFor(const CcxOptions& options);

// ---- Admission control ----

// The combo's items in order; SET sends action index + 1, so ADDTS(TSPEC only) is never sent.
inline constexpr std::array<const char*, 3> kCacComboItems = {"ADDTS(Directly send TS)", "DELTS",
                                                              "RESET"};
// The record SET sends for a combo index: the action, dialog token 1, every other field zero.
// Nothing for an index outside the combo.
std::optional<CcxTspec> CacRequestForComboIndex(int index);

}  // namespace ov
