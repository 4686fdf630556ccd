#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "driver/oid/qos_records.h"

// The 802.11n page's fields and the rules between them, the driver's HtOptions record and the
// "BACapability" registry word; data in, data out.
namespace ov {

// The page's fields, at their defaults.
struct HtSettingsFields {
  int32_t AmsduEnable = 1;
  int32_t AmsduSize = 0;  // 0 "Max: 3839", 1 "Max: 7935"
  int32_t SmpsMode = 0;   // 0 "SM enable", 1 "Static SMPS", 2 "Dynamic SMPS"
  int32_t AggregationEnable = 1;
  int32_t AutoBlockAck = 1;  // 0 Manual, 1 Auto
  std::string MpduDensity = "0";
  int32_t WindowLimitA = 32;
  int32_t WindowLimitB = 32;
  bool operator==(const HtSettingsFields&) const = default;
};

// The densities the list offers, "0" to "7": the registry word keeps three bits.
inline constexpr int kMaxMpduDensity = 7;

// The density text as a number: its decimal value, 0 for no digits, held to 0-7 so that what
// the driver gets and what the registry keeps are the same density.
uint8_t MpduDensityValue(std::string_view text);

// The record of the fields (byte 2: 1 on, 2 off; byte 6: SM enable 3, static 0, dynamic 1).
HtOptions EncodeHtSettings(const HtSettingsFields& fields);
// The fields of a record: A-MSDU off keeps the size the fields had; an SMPS code other than 0
// and 1 is "SM enable"; aggregation and auto block-ack are on only for 1.
void DecodeHtSettings(const HtOptions& options, HtSettingsFields& fields);

// Which controls are enabled.
struct HtSettingsEnables {
  bool blockAckMode = false;  // Manual, Auto and the density list
  bool agreements = false;    // the "+" and "-" buttons beside the lists
  bool amsduSize = false;     // the A-MSDU size buttons
  bool operator==(const HtSettingsEnables&) const = default;
};
HtSettingsEnables HtSettingsEnableStates(const HtSettingsFields& fields);

}  // namespace ov
