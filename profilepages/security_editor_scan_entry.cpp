#include "profilepages/security_editor_scan_entry.h"

#include "driver/oid/bssid_list.h"
#include "views/bss_describe.h"
#include "views/survey_rules.h"

namespace ov {

SurveyedNetwork DescribeSurveyedNetwork(std::span<const uint8_t> scanEntry) {
  SurveyedNetwork network;
  NDIS_WLAN_BSSID_EX entry;
  if (!DecodeNdisWlanBssidEx(scanEntry, entry)) return network;
  network.valid = true;
  network.ssid = std::string(NdisSsidText(entry.Ssid));
  network.bssid = entry.MacAddress;
  network.frequencyKHz = entry.Configuration.DSConfig;
  network.security.infrastructure = entry.InfrastructureMode != 0;
  network.security.privacy = entry.Privacy != 0;
  // Form 0 is "auth;cipher".
  const std::string summary = DescribeBss(scanEntry, 0);
  const auto split = summary.find(';');
  const std::string auth = summary.substr(0, split);
  network.security.cipherText = split == std::string::npos ? "" : summary.substr(split + 1);
  network.security.securityClass = survey::SurveySecurityCode(auth);
  if (auth == "WAPI-CA") network.security.securityClass = 7;
  return network;
}

}  // namespace ov
