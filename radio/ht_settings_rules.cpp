#include "radio/ht_settings_rules.h"

#include <algorithm>

namespace ov {

uint8_t MpduDensityValue(std::string_view text) {
  // Leading blanks, then digits up to the first other character, as the driver reads numbers;
  // the value stops growing once it is past the largest density.
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  int value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = std::min(value * 10 + (text[i] - '0'), 1000);
  }
  return static_cast<uint8_t>(std::min(value, kMaxMpduDensity));
}

namespace {

uint8_t SmpsCodeOf(int32_t smpsMode) {
  switch (smpsMode) {
    case 1:
      return HT_SMPS_CODE_STATIC;
    case 2:
      return HT_SMPS_CODE_DYNAMIC;
    default:
      return HT_SMPS_CODE_ENABLE;
  }
}

int32_t SmpsModeOf(uint8_t code) {
  switch (code) {
    case HT_SMPS_CODE_STATIC:
      return 1;
    case HT_SMPS_CODE_DYNAMIC:
      return 2;
    default:
      return 0;
  }
}

}  // namespace

HtOptions EncodeHtSettings(const HtSettingsFields& f) {
  HtOptions o;
  o.WindowLimitB = static_cast<uint8_t>(f.WindowLimitB);
  o.WindowLimitA = static_cast<uint8_t>(f.WindowLimitA);
  o.Aggregation = f.AggregationEnable == 1 ? HT_AGGREGATION_ON : HT_AGGREGATION_OFF;
  o.MpduDensity = MpduDensityValue(f.MpduDensity);
  o.AmsduEnable = static_cast<uint8_t>(f.AmsduEnable);
  o.AmsduSize = static_cast<uint8_t>(f.AmsduSize);
  o.SmpsCode = SmpsCodeOf(f.SmpsMode);
  o.AutoBlockAck = f.AutoBlockAck == 1 ? 1 : 0;
  return o;
}

void DecodeHtSettings(const HtOptions& o, HtSettingsFields& f) {
  f.WindowLimitA = o.WindowLimitA;
  f.WindowLimitB = o.WindowLimitB;
  f.AggregationEnable = o.Aggregation == HT_AGGREGATION_ON ? 1 : 0;
  f.AutoBlockAck = o.AutoBlockAck == 1 ? 1 : 0;
  f.MpduDensity = std::to_string(o.MpduDensity);
  if (o.AmsduEnable == 1) {
    f.AmsduEnable = 1;
    f.AmsduSize = o.AmsduSize;
  } else {
    f.AmsduEnable = 0;
  }
  f.SmpsMode = SmpsModeOf(o.SmpsCode);
}

HtSettingsEnables HtSettingsEnableStates(const HtSettingsFields& f) {
  HtSettingsEnables e;
  e.blockAckMode = f.AggregationEnable == 1;
  e.agreements = f.AggregationEnable == 1 && f.AutoBlockAck == 0;
  e.amsduSize = f.AmsduEnable == 1;
  return e;
}

}  // namespace ov
