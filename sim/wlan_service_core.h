#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "nativewifi/wlansvc/wlan_protocol.h"
#include "sim/access_point.h"
#include "sim/beacon_elements.h"
#include "sim/sim_clock.h"
#include "sim/simulated_adapter.h"
#include "sim/wlan_profile_document.h"
#include "sim/wlan_security.h"

// The simulated wireless service: one interface per simulated adapter (GUID = the adapter's
// NetCfgInstanceId, description = its friendly name), the radio world's access points, the
// stored profiles, scans, connections, the IHV extension's diagnostic test and the
// notifications, in the order the host service sends them. No sockets: the socket server feeds
// it decoded requests and sends what it answers and notifies. Time comes from the SimClock;
// whoever drives it calls advance() when nextEventMs() has come.
//
// Timings on the simulator's clock: a scan takes kScanDurationMs; an association
// kAssociationMs, plus kKeyHandshakeMs with a key, plus kEapExchangeMs with 802.1X.
//
// Thread-safe: one mutex around everything.
namespace ov::sim {

namespace protocol = ov::wlan::protocol;
using ClientId = uint64_t;  // one per connection of the socket server

constexpr int64_t kScanDurationMs = 1200;
constexpr int64_t kAssociationMs = 120;
constexpr int64_t kKeyHandshakeMs = 80;
constexpr int64_t kEapExchangeMs = 600;
constexpr int32_t kAudibleDbm = -95;  // access points weaker than this are not heard
constexpr int32_t kScanJitterDb = 3;  // each scan reads a signal within ± this

struct OutgoingNotification {
  ClientId client = 0;
  wlan::ClientHandle handle = 0;
  wlan::Notification notification;
};

class WlanServiceCore {
 public:
  explicit WlanServiceCore(const SimClock& clock);
  ~WlanServiceCore();
  WlanServiceCore(const WlanServiceCore&) = delete;
  WlanServiceCore& operator=(const WlanServiceCore&) = delete;

  // ---- The world (ovsimd and the control socket) ----
  // Keeps the interfaces' profiles in this folder (one file per interface GUID), as the host
  // keeps them across restarts, and loads what is there now. Without it profiles live only as
  // long as the service.
  void setProfileFolder(const std::string& folder);
  // The adapter must outlive the service. Its radio starts as its "Radio" parameter says.
  void addInterface(SimulatedAdapter* adapter);
  // Plugging or unplugging the adapter: the interface arrives or goes (ACM 13 / 14).
  void setInterfacePresent(const std::string& adapterName, bool present);
  // The adapter's operation mode changed (OID_VND_OP_MODE, or a driver restart with OpMode 1).
  // Serving as an access point it does no station work: its link drops (ACM 21, or an attempt
  // fails), and scans and connections are refused with ERROR_INVALID_STATE until it is a station
  // again; the link comes back when a client connects again.
  void accessPointModeChanged(const std::string& adapterName);
  // The hardware radio switch of an adapter; false when there is no such adapter.
  bool setHardwareRadio(const std::string& adapterName, bool on);
  // False with *error when the BSSID is in use already.
  bool addAccessPoint(const AccessPointSpec& spec, std::string* error);
  // Removing the access point a station is on disconnects it.
  bool removeAccessPoint(const MacAddress& bssid);
  // A new signal (the station moved relative to it); a link that becomes inaudible drops.
  bool moveAccessPoint(const MacAddress& bssid, int32_t signalDbm);
  std::vector<AccessPointSpec> accessPoints() const;

  // ---- Clients (the socket server) ----
  // One request; false when the payload does not decode (the server then drops the client).
  bool handleRequest(ClientId client, uint32_t type, std::span<const uint8_t> payload,
                     std::vector<uint8_t>* responsePayload);
  // The connection of a client ended: its handles close.
  void clientGone(ClientId client);
  // Runs everything due by now.
  void advance();
  // When advance() has something to do next; nothing when idle.
  std::optional<int64_t> nextEventMs() const;
  // Notifications produced since the last call, in order.
  std::vector<OutgoingNotification> takeNotifications();

  // ---- The operations, as the protocol's requests (for the server and the tests) ----
  protocol::OpenHandleResponse openHandle(ClientId, const protocol::OpenHandleRequest&);
  protocol::StatusResponse closeHandle(ClientId, const protocol::CloseHandleRequest&);
  protocol::EnumInterfacesResponse enumInterfaces(ClientId, const protocol::EnumInterfacesRequest&);
  protocol::QueryInterfaceResponse queryInterface(ClientId, const protocol::QueryInterfaceRequest&);
  protocol::StatusResponse setInterface(ClientId, const protocol::SetInterfaceRequest&);
  protocol::StatusResponse scan(ClientId, const protocol::ScanRequest&);
  protocol::BssListResponse getNetworkBssList(ClientId, const protocol::GetNetworkBssListRequest&);
  protocol::AvailableNetworkListResponse getAvailableNetworkList(
      ClientId, const protocol::GetAvailableNetworkListRequest&);
  protocol::StatusResponse connect(ClientId, const protocol::ConnectRequest&);
  protocol::StatusResponse disconnect(ClientId, const protocol::DisconnectRequest&);
  protocol::SetProfileResponse setProfile(ClientId, const protocol::SetProfileRequest&);
  protocol::GetProfileResponse getProfile(ClientId, const protocol::GetProfileRequest&);
  protocol::StatusResponse deleteProfile(ClientId, const protocol::DeleteProfileRequest&);
  protocol::ProfileListResponse getProfileList(ClientId, const protocol::GetProfileListRequest&);
  protocol::StatusResponse setProfileEapUserData(ClientId,
                                                 const protocol::SetProfileEapUserDataRequest&);
  protocol::StatusResponse setProfileEapXmlUserData(
      ClientId, const protocol::SetProfileEapXmlUserDataRequest&);
  protocol::IhvControlResponse ihvControl(ClientId, const protocol::IhvControlRequest&);
  protocol::StatusResponse setSecuritySettings(ClientId,
                                               const protocol::SetSecuritySettingsRequest&);
  protocol::SecuritySettingsResponse getSecuritySettings(
      ClientId, const protocol::GetSecuritySettingsRequest&);
  protocol::RegisterNotificationResponse registerNotification(
      ClientId, const protocol::RegisterNotificationRequest&);

 private:
  struct Handle;
  struct WorldAp;
  struct StoredProfile;
  struct Connection;
  struct Interface;

  int64_t now() const { return clock_.nowMs(); }
  bool validHandle(ClientId client, wlan::ClientHandle handle) const;
  Interface* findInterface(const wlan::Guid& guid);
  Interface* findInterfaceByName(const std::string& adapterName);
  // Checks handle and interface; the error number when either is wrong.
  uint32_t resolve(ClientId client, wlan::ClientHandle handle, const wlan::Guid& guid,
                   Interface** out);
  WorldAp* findAp(const MacAddress& bssid);
  void saveProfiles(const Interface& iface);
  void loadProfiles(Interface& iface);
  StoredProfile* findProfile(Interface& iface, const std::string& name);

  void notify(uint32_t source, uint32_t code, const wlan::Guid& guid,
              std::optional<wlan::ConnectionNotificationData> connection = std::nullopt,
              std::optional<wlan::PhyRadioState> radio = std::nullopt,
              std::optional<uint32_t> reason = std::nullopt, std::vector<uint8_t> data = {});
  wlan::ConnectionNotificationData connectionData(const Connection& c, uint32_t reason) const;

  bool radioOn(const Interface& iface) const;
  void radioChanged(Interface& iface, size_t phyIndex);
  void completeScan(Interface& iface);
  void completeConnection(Interface& iface);
  void failConnection(Interface& iface, uint32_t reason);
  void dropLink(Interface& iface, uint32_t reason);
  void queueIhvEvent(Interface& iface, int64_t atMs, uint32_t code);
  wlan::BssEntry bssEntryOf(const WorldAp& ap, int32_t rssi) const;
  uint64_t hostTimestamp() const;
  // For a WAPI certificate profile: the certificate installed in the registry, at the host's time.
  WapiCertificateEvidence wapiCertificateEvidence(const ProfileDocument& p) const;
  int32_t jitter();

  const SimClock& clock_;
  mutable std::mutex mutex_;
  const int64_t startMs_;
  const uint64_t startFileTime_;
  uint32_t random_ = 0x0F5A51D0;
  wlan::ClientHandle nextHandle_ = 1;
  std::map<wlan::ClientHandle, std::unique_ptr<Handle>> handles_;
  std::vector<std::unique_ptr<Interface>> interfaces_;
  std::vector<std::unique_ptr<WorldAp>> world_;
  std::map<uint32_t, std::string> securitySettings_;
  std::vector<OutgoingNotification> outbox_;
  std::string profileFolder_;
};

}  // namespace ov::sim
