#pragma once
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "nativewifi/address_renewal.h"
#include "nativewifi/native_wifi_client.h"
#include "nativewifi/wlansvc/wlan_service.h"
#include "platform/time/message_service.h"
#include "shell/monitor_seams.h"

// The monitor's wireless calls over the program's NativeWifiClient, which posts the service's
// notifications to the monitor window itself.
namespace ov {

// The client's address renewal (NativeWifiClientServices::addressRenewal). The client is built
// before any adapter is found, so the MAC address comes later, at each adapter set-up; a request
// before the first set-up renews nothing.
class AdapterAddressRenewal final : public AddressRenewal {
 public:
  // Makes the renewal for one MAC address (default: SystemAddressRenewal).
  using Factory = std::function<std::unique_ptr<AddressRenewal>(const MacAddress& mac)>;
  explicit AdapterAddressRenewal(Factory make = {});

  void SetAdapterAddress(const MacAddress& mac);
  void RenewAddress() override;

 private:
  Factory make_;
  std::mutex mutex_;  // the client's timer and the monitor's set-up may be on different threads
  std::optional<MacAddress> mac_;
};

class NativeWifiMonitorWifi final : public MonitorWifi {
 public:
  // `client` and `service` (the one the client talks to) must outlive this object.
  // `allUsersProfiles`: the data folder is the machine-wide one.
  // `renewal` (may be null) is the one the client was built with.
  NativeWifiMonitorWifi(NativeWifiClient& client, std::shared_ptr<wlan::WlanService> service,
                        bool allUsersProfiles,
                        std::shared_ptr<AdapterAddressRenewal> renewal = nullptr);

  // Where the client posts the service's notifications (0x401 ...).
  void SetMessageTarget(MessageTarget target) { target_ = std::move(target); }

  bool OpenInterface(const std::string& description) override;
  std::optional<bool> QueryConnected() override;
  bool CurrentLink(std::string* ssid, MacAddress* bssid) override;
  std::optional<uint32_t> CurrentSignalQuality() override;
  std::optional<uint32_t> CurrentAuthAlgorithm() override;
  std::optional<uint32_t> CurrentCipherAlgorithm() override;
  void SetSoftwareRadio(bool on) override;
  bool DeleteAllProfiles() override;
  void ConnectionComplete(bool fromProfile) override;
  bool ServiceRunning() override;
  void SetAdapterAddress(const MacAddress& mac) override;
  bool CopyScanList(std::span<uint8_t> buffer) override;
  bool ServiceProfileExists(std::string_view name) override;
  bool DeleteServiceProfile(std::string_view name) override;

 private:
  NativeWifiClient& client_;
  std::shared_ptr<wlan::WlanService> service_;
  bool allUsersProfiles_;
  std::shared_ptr<AdapterAddressRenewal> renewal_;
  MessageTarget target_;
};

}  // namespace ov
