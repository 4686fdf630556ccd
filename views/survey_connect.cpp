#include "views/survey_connect.h"

#include <algorithm>

#include "driver/oid/bssid_list.h"
#include "driver/params/adapter_params.h"
#include "nativewifi/wlansvc/wlan_types.h"
#include "views/bss_describe.h"

namespace ov::survey {

namespace {

constexpr uint32_t kPreambleAuto = 2;
constexpr uint32_t kRtsThresholdOff = 2347;

bool IsWpaClass(int securityClass) { return securityClass >= 1 && securityClass <= 5; }
bool IsWapiClass(int securityClass) { return securityClass == 6 || securityClass == 7; }

bool IsWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

std::optional<ChosenNetwork> DescribeNetwork(std::span<const uint8_t> entry) {
  NDIS_WLAN_BSSID_EX e;
  if (!DecodeNdisWlanBssidEx(entry, e) || e.Length > entry.size()) return std::nullopt;
  ChosenNetwork n;
  n.entry.assign(entry.begin(), entry.begin() + e.Length);
  n.ssid = std::string(NdisSsidText(e.Ssid));
  const std::string summary = FormatBssForm(DecodeBssElements(n.entry), kBssFormSecurity);
  const size_t split = summary.find(';');
  n.authText = summary.substr(0, split);
  n.cipherText = split == std::string::npos ? std::string() : summary.substr(split + 1);
  n.secured = e.Privacy != 0 || summary != "Unknown;None";
  n.securityClass = SurveySecurityCode(n.authText);
  n.infrastructureMode = e.InfrastructureMode;
  n.bssid = e.MacAddress;
  n.frequencyKHz = e.Configuration.DSConfig;
  return n;
}

ConnectButtonStates ConnectButtons(const ConnectButtonInputs& in) {
  if (!in.serviceAvailable || in.rescanPending || !in.radioOn || !in.hasRows) return {};
  if (!in.wpaReady && IsWpaClass(in.securityClass)) return {};
  if (!in.wapiSupported && IsWapiClass(in.securityClass)) return {};
  return {true, in.isAdmin || in.standardUserMayManageProfiles};
}

std::optional<ChosenNetwork> ChooseNetwork(std::span<const uint8_t> list, const SurveyEntry& row) {
  const auto entries = BssidListEntries(list);
  auto matches = [&](std::span<const uint8_t> entry) {
    NDIS_WLAN_BSSID_EX e;
    return DecodeNdisWlanBssidEx(entry, e) && e.MacAddress == row.bssid &&
           NdisSsidText(e.Ssid) == row.ssid;
  };
  if (row.listIndex < entries.size() && matches(entries[row.listIndex])) {
    return DescribeNetwork(entries[row.listIndex]);
  }
  for (auto entry : entries) {
    if (matches(entry)) return DescribeNetwork(entry);
  }
  return std::nullopt;
}

std::vector<uint8_t> EntryWithSsid(const ChosenNetwork& network, std::string_view ssid) {
  std::vector<uint8_t> entry = network.entry;
  NDIS_WLAN_BSSID_EX fixed;
  if (!DecodeNdisWlanBssidEx(entry, fixed)) return entry;
  fixed.Ssid = MakeNdisSsid(ssid);
  const auto bytes = EncodeNdisWlanBssidEx(fixed);
  std::copy(bytes.begin(), bytes.end(), entry.begin());
  return entry;
}

ConnectRoute RouteConnect(const ChosenNetwork& network, bool wpaReady) {
  if (!wpaReady && IsWpaClass(network.securityClass)) return ConnectRoute::Nothing;
  if (network.infrastructureMode == 0 && network.securityClass == 6) return ConnectRoute::Nothing;
  if (network.infrastructureMode == 1 && network.ssid.empty()) return ConnectRoute::HiddenSsidPrompt;
  return network.secured ? ConnectRoute::SecurityEditor : ConnectRoute::ConnectNow;
}

ConnectRoute RouteAfterHiddenSsid(const ChosenNetwork& network) {
  return network.secured ? ConnectRoute::SecurityEditor : ConnectRoute::ConnectNow;
}

HiddenSsidInput CheckHiddenSsid(std::string_view typed) {
  size_t first = 0;
  size_t last = typed.size();
  while (first < last && IsWhiteSpace(typed[first])) ++first;
  while (last > first && IsWhiteSpace(typed[last - 1])) --last;
  HiddenSsidInput out;
  out.ssid = std::string(typed.substr(first, last - first));
  if (out.ssid.empty()) {
    out.problem = HiddenSsidProblem::Empty;
  } else if (out.ssid.size() > kSsidMaxLength) {
    // Characters beyond ASCII take several bytes: 32 of them may not fit an SSID.
    out.problem = HiddenSsidProblem::TooLong;
  }
  return out;
}

StationProfile BuildDirectConnectProfile(const ChosenNetwork& network,
                                         const std::optional<std::string>& hiddenSsid,
                                         int32_t powerSaveMode) {
  StationProfile p;
  p.ssid = MakeNdisSsid(hiddenSsid ? *hiddenSsid : network.ssid);
  if (network.infrastructureMode == 1 && !network.ssid.empty()) {
    p.bssid = network.bssid;
    p.useBssid = 1;
  }
  p.networkType = network.infrastructureMode;
  p.channelFrequency = network.frequencyKHz;
  p.preambleType = kPreambleAuto;
  p.rtsThreshold = kRtsThresholdOff;
  p.powerSave = static_cast<uint32_t>(powerSaveMode);
  p.authMode = kAuthOpen;
  p.cipherMode = kCipherNone;
  // A zeroed record asks for no connection, and the queue would only send its radio settings.
  p.connectRequested = 1;
  return p;
}

std::string ConnectFailureReason(std::optional<uint32_t> profileRefusal,
                                 std::optional<uint32_t> connectionFailure) {
  if (profileRefusal) return wlan::ReasonCodeText(*profileRefusal);
  if (connectionFailure) return wlan::ReasonCodeText(*connectionFailure);
  return "The wireless service gave no reason.";
}

bool CentralChannelSuffixApplies(std::optional<int32_t> wirelessMode, bool htCapable,
                                 const std::vector<SurveyEntry>& rows) {
  if (!wirelessMode || !htCapable) return false;
  // As the advanced page shows it; the 5 GHz capability cannot move a mode across 5.
  const WirelessMode shown = NormaliseWirelessMode(static_cast<WirelessMode>(*wirelessMode),
                                                   true, htCapable);
  if (shown < WIRELESS_MODE_ABGN_MIXED) return false;
  for (const SurveyEntry& row : rows) {
    if (row.connected == 1) return row.fortyMhz;
  }
  return false;
}

}  // namespace ov::survey
