#pragma once
#include <memory>
#include <string>

#include "nativewifi/wlansvc/wlan_service.h"

// The wireless-service seam over NetworkManager's D-Bus API (QtDBus). Interfaces are its Wi-Fi
// devices; a scan is RequestScan, ended by the device's LastScan changing; the BSS and
// available-network lists are rebuilt from the access points (nm_access_point.h); connect and
// profiles use connections this utility created (nm_wifi_settings.h), never the user's others.
// Device state changes become the ACM connection notifications, the associated access point's
// Strength the MSM signal quality, the Wi-Fi switches the MSM radio state. Operations
// NetworkManager has no counterpart for (IHV control, binary EAP user data, security settings,
// reading a profile document back) return ERROR_NOT_SUPPORTED.
//
// Needs a QCoreApplication. Callbacks run on the backend's own thread, one at a time.
namespace ov::wlan::nm {

class NmWlanService : public WlanService {
 public:
  // `busAddress` empty: the system bus.
  explicit NmWlanService(const std::string& busAddress = {});
  ~NmWlanService() override;
  NmWlanService(const NmWlanService&) = delete;
  NmWlanService& operator=(const NmWlanService&) = delete;

  // Whether the bus answered and NetworkManager owns its name there.
  bool Available() const;

  uint32_t OpenHandle(uint32_t clientVersion, uint32_t* negotiatedVersion,
                      ClientHandle* handle) override;
  uint32_t CloseHandle(ClientHandle handle) override;
  uint32_t EnumInterfaces(ClientHandle handle, std::vector<InterfaceInfo>* interfaces) override;
  uint32_t QueryInterface(ClientHandle handle, const Guid& interfaceGuid, InterfaceOpcode opcode,
                          InterfaceQueryResult* result) override;
  uint32_t SetInterface(ClientHandle handle, const Guid& interfaceGuid, InterfaceOpcode opcode,
                        const PhyRadioState& radio) override;
  uint32_t Scan(ClientHandle handle, const Guid& interfaceGuid, const std::optional<Ssid>& ssid,
                const std::vector<uint8_t>& ieData) override;
  uint32_t GetNetworkBssList(ClientHandle handle, const Guid& interfaceGuid,
                             const std::optional<Ssid>& ssid, BssType bssType,
                             bool securityEnabled, std::vector<BssEntry>* entries) override;
  uint32_t GetAvailableNetworkList(ClientHandle handle, const Guid& interfaceGuid, uint32_t flags,
                                   std::vector<AvailableNetwork>* networks) override;
  uint32_t Connect(ClientHandle handle, const Guid& interfaceGuid,
                   const ConnectionParameters& parameters) override;
  uint32_t Disconnect(ClientHandle handle, const Guid& interfaceGuid) override;
  uint32_t SetProfile(ClientHandle handle, const Guid& interfaceGuid, uint32_t flags,
                      const std::string& profileXml, bool overwrite,
                      uint32_t* reasonCode) override;
  uint32_t GetProfile(ClientHandle handle, const Guid& interfaceGuid,
                      const std::string& profileName, std::string* profileXml,
                      uint32_t* flags) override;
  uint32_t DeleteProfile(ClientHandle handle, const Guid& interfaceGuid,
                         const std::string& profileName) override;
  uint32_t GetProfileList(ClientHandle handle, const Guid& interfaceGuid,
                          std::vector<ProfileInfo>* profiles) override;
  uint32_t SetProfileEapUserData(ClientHandle handle, const Guid& interfaceGuid,
                                 const std::string& profileName, const EapMethodType& eapType,
                                 uint32_t flags, const std::vector<uint8_t>& userData) override;
  uint32_t SetProfileEapXmlUserData(ClientHandle handle, const Guid& interfaceGuid,
                                    const std::string& profileName, uint32_t flags,
                                    const std::string& userDataXml) override;
  uint32_t IhvControl(ClientHandle handle, const Guid& interfaceGuid, IhvControlType type,
                      const std::vector<uint8_t>& in, uint32_t outSize,
                      std::vector<uint8_t>* out) override;
  uint32_t SetSecuritySettings(ClientHandle handle, SecurableObject object,
                               const std::string& sddl) override;
  uint32_t GetSecuritySettings(ClientHandle handle, SecurableObject object,
                               SecuritySettings* settings) override;
  uint32_t RegisterNotification(ClientHandle handle, uint32_t sourceMask, bool ignoreDuplicate,
                                NotificationCallback callback, uint32_t* previousMask) override;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

// The interface state of an NMDeviceState.
InterfaceState InterfaceStateOfDevice(uint32_t nmDeviceState);
// The reason code of a failed activation's NMDeviceStateReason.
uint32_t ReasonCodeOfFailure(uint32_t nmDeviceStateReason);

}  // namespace ov::wlan::nm
