#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "nativewifi/wlansvc/wlan_types.h"

// The seam to the host's wireless service: the operations of the host's native wireless API,
// with the records of wlan_types.h. The utility talks only to this interface; the socket client
// of ovsimd's service is one implementation, and a backend over NetworkManager could be another.
//
// Every operation returns an error number of wlan_types.h (ERROR_SUCCESS on success) and fills
// its outputs only on success. Operations are safe to call from any thread, notification
// callbacks included.
namespace ov::wlan {

using NotificationCallback = std::function<void(const Notification&)>;

class WlanService {
 public:
  virtual ~WlanService() = default;

  // Opens a client handle. `clientVersion` 1 or 2; the service's version comes back.
  virtual uint32_t OpenHandle(uint32_t clientVersion, uint32_t* negotiatedVersion,
                              ClientHandle* handle) = 0;
  // Closes the handle, ending its notification registration.
  virtual uint32_t CloseHandle(ClientHandle handle) = 0;

  virtual uint32_t EnumInterfaces(ClientHandle handle, std::vector<InterfaceInfo>* interfaces) = 0;
  virtual uint32_t QueryInterface(ClientHandle handle, const Guid& interfaceGuid,
                                  InterfaceOpcode opcode, InterfaceQueryResult* result) = 0;
  // Only wlan_intf_opcode_radio_state is settable: one PHY's software state (the hardware
  // state is the switch's and cannot be set).
  virtual uint32_t SetInterface(ClientHandle handle, const Guid& interfaceGuid,
                                InterfaceOpcode opcode, const PhyRadioState& radio) = 0;

  // Starts a scan; its end is the ACM scan-complete (or scan-fail) notification.
  virtual uint32_t Scan(ClientHandle handle, const Guid& interfaceGuid,
                        const std::optional<Ssid>& ssid, const std::vector<uint8_t>& ieData) = 0;
  // The BSS entries of the last scan; with an SSID only those of that network and BSS type.
  virtual uint32_t GetNetworkBssList(ClientHandle handle, const Guid& interfaceGuid,
                                     const std::optional<Ssid>& ssid, BssType bssType,
                                     bool securityEnabled, std::vector<BssEntry>* entries) = 0;
  virtual uint32_t GetAvailableNetworkList(ClientHandle handle, const Guid& interfaceGuid,
                                           uint32_t flags,
                                           std::vector<AvailableNetwork>* networks) = 0;

  // Starts a connection; its progress arrives as notifications.
  virtual uint32_t Connect(ClientHandle handle, const Guid& interfaceGuid,
                           const ConnectionParameters& parameters) = 0;
  virtual uint32_t Disconnect(ClientHandle handle, const Guid& interfaceGuid) = 0;

  // Stores a profile document. `flags` 0 (all users) or WLAN_PROFILE_USER. A refused document
  // returns ERROR_BAD_PROFILE with the reason in *reasonCode.
  virtual uint32_t SetProfile(ClientHandle handle, const Guid& interfaceGuid, uint32_t flags,
                              const std::string& profileXml, bool overwrite,
                              uint32_t* reasonCode) = 0;
  virtual uint32_t GetProfile(ClientHandle handle, const Guid& interfaceGuid,
                              const std::string& profileName, std::string* profileXml,
                              uint32_t* flags) = 0;
  virtual uint32_t DeleteProfile(ClientHandle handle, const Guid& interfaceGuid,
                                 const std::string& profileName) = 0;
  virtual uint32_t GetProfileList(ClientHandle handle, const Guid& interfaceGuid,
                                  std::vector<ProfileInfo>* profiles) = 0;
  virtual uint32_t SetProfileEapUserData(ClientHandle handle, const Guid& interfaceGuid,
                                         const std::string& profileName,
                                         const EapMethodType& eapType, uint32_t flags,
                                         const std::vector<uint8_t>& userData) = 0;
  // The user-credentials document (EapHostUserCredentials) of an 802.1X profile.
  virtual uint32_t SetProfileEapXmlUserData(ClientHandle handle, const Guid& interfaceGuid,
                                            const std::string& profileName, uint32_t flags,
                                            const std::string& userDataXml) = 0;

  // Bytes to the driver's IHV extension (type service) or the driver (type driver); at most
  // `outSize` bytes come back.
  virtual uint32_t IhvControl(ClientHandle handle, const Guid& interfaceGuid,
                              IhvControlType type, const std::vector<uint8_t>& in,
                              uint32_t outSize, std::vector<uint8_t>* out) = 0;

  virtual uint32_t SetSecuritySettings(ClientHandle handle, SecurableObject object,
                                       const std::string& sddl) = 0;
  virtual uint32_t GetSecuritySettings(ClientHandle handle, SecurableObject object,
                                       SecuritySettings* settings) = 0;

  // Registers (or with mask WLAN_NOTIFICATION_SOURCE_NONE ends) the handle's notifications.
  // The callback runs on a thread of the implementation, never on the caller's, one
  // notification at a time in the order the service sent them.
  virtual uint32_t RegisterNotification(ClientHandle handle, uint32_t sourceMask,
                                        bool ignoreDuplicate, NotificationCallback callback,
                                        uint32_t* previousMask) = 0;
};

}  // namespace ov::wlan
