#pragma once
#include "nativewifi/native_wifi_client.h"
#include "views/link_status_poll.h"

// The link-status panel's questions to the wireless service, asked through the program's
// NativeWifiClient.
namespace ov::link_status {

class NativeWifiLinkStatus final : public LinkStatusWifi {
 public:
  // `client` may be null (no adapter yet): the service then counts as not answering.
  explicit NativeWifiLinkStatus(NativeWifiClient* client) : client_(client) {}

  std::optional<bool> QueryConnected() override;
  void CurrentLink(std::string* ssid, MacAddress* bssid) override;
  std::optional<uint32_t> BssType() override;
  uint32_t AuthAlgorithm() override;
  uint32_t CipherAlgorithm() override;
  std::optional<uint32_t> Channel() override;
  bool ServiceAvailable() override;

 private:
  NativeWifiClient* client_;
};

}  // namespace ov::link_status
