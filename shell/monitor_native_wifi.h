#pragma once
#include <memory>

#include "nativewifi/native_wifi_client.h"
#include "nativewifi/wlansvc/wlan_service.h"
#include "platform/time/message_service.h"
#include "shell/monitor_seams.h"

// The monitor's wireless calls over the program's NativeWifiClient, which posts the service's
// notifications to the monitor window itself.
namespace ov {

class NativeWifiMonitorWifi final : public MonitorWifi {
 public:
  // `client` and `service` (the one the client talks to) must outlive this object.
  // `allUsersProfiles`: the data folder is the machine-wide one.
  NativeWifiMonitorWifi(NativeWifiClient& client, std::shared_ptr<wlan::WlanService> service,
                        bool allUsersProfiles);

  // Where the client posts the service's notifications (0x401 ...).
  void SetMessageTarget(MessageTarget target) { target_ = std::move(target); }

  bool OpenInterface(const std::string& description) override;
  std::optional<bool> QueryConnected() override;
  bool CurrentLink(std::string* ssid, MacAddress* bssid) override;
  std::optional<uint32_t> CurrentAuthAlgorithm() override;
  std::optional<uint32_t> CurrentCipherAlgorithm() override;
  void SetSoftwareRadio(bool on) override;
  bool DeleteAllProfiles() override;
  void ConnectionComplete(bool fromProfile) override;
  bool ServiceRunning() override;
  bool CopyScanList(std::span<uint8_t> buffer) override;

 private:
  NativeWifiClient& client_;
  std::shared_ptr<wlan::WlanService> service_;
  bool allUsersProfiles_;
  MessageTarget target_;
};

}  // namespace ov
