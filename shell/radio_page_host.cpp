#include "shell/radio_page_host.h"

#include <algorithm>

#include "nativewifi/native_wifi_client.h"

namespace ov {

bool NativeWifiRadioConnection::IsConnected() { return client_.IsConnected(); }
bool NativeWifiRadioConnection::GetConnectionMode(uint32_t& mode) {
  return client_.GetConnectionMode(mode);
}
bool NativeWifiRadioConnection::GetProfileName(std::string& name) {
  return client_.GetProfileName(name);
}
bool NativeWifiRadioConnection::GetBssType(uint32_t& bssType) { return client_.GetBssType(bssType); }
bool NativeWifiRadioConnection::GetCurrentSsid(std::vector<uint8_t>& ssid) {
  NDIS_802_11_SSID current{};
  if (!client_.GetCurrentSsid(current)) return false;
  const uint32_t length = std::min<uint32_t>(current.SsidLength, current.Ssid.size());
  ssid.assign(current.Ssid.begin(), current.Ssid.begin() + length);
  return true;
}
bool NativeWifiRadioConnection::GetAuthAlgorithm(uint32_t& algorithm) {
  return client_.GetAuthAlgorithm(algorithm);
}
bool NativeWifiRadioConnection::GetCipherAlgorithm(uint32_t& algorithm) {
  return client_.GetCipherAlgorithm(algorithm);
}
uint32_t NativeWifiRadioConnection::Disconnect() { return client_.Disconnect(); }
uint32_t NativeWifiRadioConnection::Connect(uint32_t mode, const std::string& profileName,
                                            uint32_t bssType, const std::vector<uint8_t>& ssid,
                                            bool adhocJoinOnly) {
  ConnectFlags flags;
  flags.adhocJoinOnly = adhocJoinOnly;
  return client_.Connect(mode, profileName, bssType, wlan::Ssid{ssid}, flags);
}

}  // namespace ov
