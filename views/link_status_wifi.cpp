#include "views/link_status_wifi.h"

#include <algorithm>

namespace ov::link_status {

std::optional<bool> NativeWifiLinkStatus::QueryConnected() {
  if (!client_ || !client_->IsOpen() || !client_->InterfaceMatched()) return std::nullopt;
  return client_->QueryInterfaceConnected();
}

void NativeWifiLinkStatus::CurrentLink(std::string* ssid, MacAddress* bssid) {
  ssid->clear();
  *bssid = MacAddress{};
  if (!client_) return;
  NDIS_802_11_SSID current;
  if (client_->GetCurrentSsid(current)) {
    const size_t length = std::min<size_t>(current.SsidLength, current.Ssid.size());
    ssid->assign(reinterpret_cast<const char*>(current.Ssid.data()), length);
  }
  client_->GetCurrentBssid(*bssid);
}

std::optional<uint32_t> NativeWifiLinkStatus::BssType() {
  uint32_t type = 0;
  return client_ && client_->GetBssType(type) ? std::optional(type) : std::nullopt;
}

uint32_t NativeWifiLinkStatus::AuthAlgorithm() {
  uint32_t algorithm = 0;
  if (client_) client_->GetAuthAlgorithm(algorithm);
  return algorithm;
}

uint32_t NativeWifiLinkStatus::CipherAlgorithm() {
  uint32_t algorithm = 0;
  if (client_) client_->GetCipherAlgorithm(algorithm);
  return algorithm;
}

std::optional<uint32_t> NativeWifiLinkStatus::Channel() {
  uint32_t channel = 0;
  // The service says -1 when it has no channel.
  if (!client_ || !client_->GetChannel(channel) || channel == 0xFFFFFFFFu) return std::nullopt;
  return channel;
}

bool NativeWifiLinkStatus::ServiceAvailable() {
  return client_ && client_->IsOpen() && client_->InterfaceFound();
}

}  // namespace ov::link_status
