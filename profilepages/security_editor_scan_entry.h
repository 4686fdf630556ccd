#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "platform/system/mac_address.h"
#include "profilepages/page_auth_encry_rules.h"

// One scan-list entry as the editors' survey presets need it: SSID, BSSID, type, frequency and
// the security the entry announces (its security summary split into auth and cipher text).
namespace ov {

struct SurveyedNetwork {
  bool valid = false;      // the entry decoded
  std::string ssid;
  MacAddress bssid{};
  uint32_t frequencyKHz = 0;
  SurveyedSecurity security;
};

SurveyedNetwork DescribeSurveyedNetwork(std::span<const uint8_t> scanEntry);

}  // namespace ov
