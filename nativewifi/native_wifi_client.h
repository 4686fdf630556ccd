#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "driver/oid/ndis_records.h"
#include "driver/oid_requester.h"
#include "nativewifi/address_renewal.h"
#include "nativewifi/certificate_manager.h"
#include "nativewifi/eap_fast_workers.h"
#include "nativewifi/eap_host.h"
#include "nativewifi/scan_to_bssid_list.h"
#include "nativewifi/station_profile.h"
#include "nativewifi/wlansvc/wlan_service.h"
#include "platform/time/message_service.h"
#include "platform/time/timer_service.h"

namespace ov {
class RegistryWriter;
}

// NativeWifiClient: the utility's client of the host's wireless service for one adapter. The
// monitor window makes one, opens it when it has found the adapter and again after the adapter
// changed, and closes it at its end. Through it the program stores and connects WLAN profiles
// built from station records, inspects and deletes its own service profiles, reads the current
// connection and the radio state, scans, sends requests to the driver's IHV extension and runs the
// EAP-FAST settings dialog.
//
// Threads: every operation runs on the user-interface thread. The service's notifications arrive
// on the service's thread, where the client only posts the monitor's messages (0x401-0x412) and
// starts the scan worker; the scan worker and the EAP workers run on threads of their own and
// report by posted messages too. None of them touches the client object: what they use they hold
// shared, so closing or destroying the client while one runs is safe.
namespace ov {

// Connect modes (the service's connection modes 0..3).
enum ConnectMode : uint32_t {
  kConnectProfile = 0,            // a stored profile, by name
  kConnectTemporaryProfile = 1,   // a profile document that is not stored
  kConnectDiscoverySecure = 2,    // by SSID
  kConnectDiscoveryUnsecure = 3,  // by SSID, may be hidden
};

struct ConnectFlags {
  bool adhocJoinOnly = false;  // join an existing ad hoc network, never start one
  bool hiddenNetwork = false;  // mode 3 only: the network does not broadcast its SSID
};

// Where the profile inspections look (the own-profile marker and the diagnostic section of the
// IHV part the profile builder writes).
inline constexpr const char* kOwnProfileNodePath = "/WLANProfile/IHV/connectivity/CCX/OrvaneProfile";
inline constexpr const char* kDiagnosticsNodePath = "/WLANProfile/IHV/connectivity/CCX/Diagnostics";

// True when `xml` parses and the path selects a node; anything else (not XML, no such node, a
// malformed path) counts as no node.
bool ProfileXmlHasNode(std::string_view xml, const char* xpath);

// The power-saving level sent after a connection completes, for the record's PowerSave code.
uint32_t PowerSavingLevel(uint32_t powerSave);

// What the client talks to besides the service. Pointers may be null while the thing does not
// exist; the things they point to must outlive the client.
struct NativeWifiClientServices {
  std::shared_ptr<wlan::WlanService> service;
  OidRequester* driver = nullptr;       // the per-connection OIDs of ApplyProfile
  RegistryWriter* registry = nullptr;   // where the profile builder writes the WAPI values
  // The monitor's scan list (BssidListBuffer), read by the builder for a record without an SSID.
  std::function<std::span<const uint8_t>()> lastScanList;
  TimerService* timers = nullptr;       // the delay of the address renewal
  std::shared_ptr<AddressRenewal> addressRenewal;
  std::shared_ptr<EapHost> eapHost;     // null: no EAP host, the EAP workers do not start
  WorkerLauncher startWorker;           // empty: each worker is a detached thread
};

class NativeWifiClient {
 public:
  explicit NativeWifiClient(NativeWifiClientServices services);
  ~NativeWifiClient();
  NativeWifiClient(const NativeWifiClient&) = delete;
  NativeWifiClient& operator=(const NativeWifiClient&) = delete;

  // ---- Opening ----
  // Releases the previous opening, opens a service handle (client version 2), takes the first
  // interface whose description equals `deviceName` (the adapter's friendly name, or its device
  // description), and registers for the ACM, MSM and IHV notifications, which are posted to
  // `notifyWindow`. `allUsersProfiles`: profiles are stored for all users (shared data folder).
  // Returns the service's error of the handle or the enumeration.
  uint32_t Open(std::string_view deviceName, MessageTarget notifyWindow, bool allUsersProfiles);
  // Closes the handle, which ends the notifications.
  void Close();
  bool IsOpen() const { return handle_ != 0; }
  // The enumeration of the last Open succeeded (an interface may still not have matched).
  bool InterfaceFound() const { return interfaceFound_; }
  // An interface matched; without one every interface call fails.
  bool InterfaceMatched() const { return interfaceMatched_; }
  const wlan::InterfaceInfo& Interface() const { return interface_; }

  // ---- Profiles and connections ----
  // Builds the record's WLAN profile, stores it in place of any profile of that name and connects
  // with it. The first failure's error, ERROR_SUCCESS when the connection was started.
  uint32_t SetProfileAndConnect(const StationProfile& record, bool adhocJoinOnly,
                                CertificateManager* certificateManager);
  // The action queue's road: the per-connection OIDs (connect flag 1 when `force`; an
  // infrastructure record's preamble becomes 2), then SetProfileAndConnect. The thresholds and
  // power saving wait for the connection (ApplyDeferredSettings). True when the connection was
  // started.
  bool ApplyProfile(uint32_t force, StationProfile& record, bool adhocJoinOnly,
                    CertificateManager* certificateManager);
  // Why the service turned the last connection of the interface down, as it said it (reason
  // codes of the wireless service): the refusal of its profile document, and the failure of its
  // attempt (a failed attempt or a completion with a reason). Each starting connection clears
  // both; a failure is recorded on the service's thread before the monitor's message is posted,
  // so it is known by the time 0x40A or 0x40B is handled.
  std::optional<uint32_t> LastProfileRefusal() const;
  std::optional<uint32_t> LastConnectionFailure() const;
  // The monitor calls this on 0x401 with its wParam.
  void ApplyDeferredSettings(uintptr_t wParam);
  bool DeferredSettingsPending() const { return pending_ != 0; }

  // One connect request; a failure posts 0x40A (0, 0) to the notify window. `profileOrXml`: the
  // profile name (mode 0) or document (mode 1); `ssid` for modes 2 and 3.
  uint32_t Connect(uint32_t mode, const std::string& profileOrXml, uint32_t bssType,
                   const wlan::Ssid& ssid, ConnectFlags flags);
  uint32_t Disconnect();
  // Asks for a scan; the result arrives as 0x404 (or 0x406), and CopyScanList then gives it.
  uint32_t Scan();
  // Copies the scan worker's latest list into the monitor's BssidListBuffer; false before the
  // first list.
  bool CopyScanList(std::span<uint8_t> bssidListBuffer) const { return scanState_->slot.CopyTo(bssidListBuffer); }

  // ---- Service profiles ----
  // Deletes each profile that carries the own-profile marker; the number deleted.
  size_t DeleteOwnProfiles();
  size_t DeleteAllProfiles();
  uint32_t DeleteServiceProfile(const std::string& name);
  bool ServiceProfileExists(const std::string& name);
  uint32_t GetServiceProfileXml(const std::string& name, std::string* xml);
  bool HasDiagnosticsSection(const std::string& name);
  bool IsOwnProfile(const std::string& name);

  // ---- Interface queries: false when the query failed, the output then at its default ----
  bool IsConnected();
  // The interface state: nothing when the service did not answer, else whether it is connected.
  std::optional<bool> QueryInterfaceConnected();
  // The interface state itself (wlan_interface_state_*); it answers whether or not a link is up.
  bool GetInterfaceState(uint32_t& state);
  bool GetCurrentSsid(NDIS_802_11_SSID& ssid);
  bool GetCurrentBssid(MacAddress& bssid);
  bool GetAuthAlgorithm(uint32_t& algorithm);
  bool GetCipherAlgorithm(uint32_t& algorithm);
  // The current connection's signal quality (0..100) as the service measures it.
  bool GetSignalQuality(uint32_t& quality);
  bool GetBssType(uint32_t& bssType);
  // Infrastructure (or any) BSS type; false for independent or when the query failed.
  bool IsInfrastructure();
  bool GetConnectionMode(uint32_t& mode);
  bool GetProfileName(std::string& name);
  bool GetChannel(uint32_t& channel);
  // Software off and hardware on by default; the first PHY that says something decides.
  bool GetRadioState(bool& softwareOn, bool& hardwareOn);
  // Every PHY's software state on or off; false when the query or a set failed.
  bool SetSoftwareRadio(bool on);
  bool SupportsAdhocWpa2Psk();

  // ---- The IHV extension ----
  uint32_t SendCcxEnable();
  // Lets users send IHV requests (read access only when `grant` is false), then asks for the
  // diagnostic test with the named profile.
  uint32_t SendCcxProfile(const std::string& profileName, bool grant = true);
  // The text of a diagnostic event into `text`; false, and `text` unchanged, for a code without
  // one. Event 15 (the address test) also renews the adapter's address a second later.
  bool FormatDiagnosticMessage(uint32_t code, std::string& text);

  // ---- EAP-FAST workers (false when there is no EAP host) ----
  bool StartEapFastDialog(MessageTarget window, std::shared_ptr<EapFastDialogResult> result);
  bool StartEapFastSetup(MessageTarget window, std::string profileName, EapBlobStoreAccess store);

 private:
  struct ScanState {
    std::atomic<bool> workerRunning{false};
    ScanListSlot slot;
  };
  struct Notifier;
  struct ConnectionReasons {
    mutable std::mutex mutex;
    std::optional<uint32_t> profileRefusal;
    std::optional<uint32_t> connectionFailure;
  };

  bool query(wlan::InterfaceOpcode opcode, wlan::InterfaceQueryResult* result);
  bool queryConnection(wlan::ConnectionAttributes* connection);
  std::vector<wlan::ProfileInfo> profileList();
  WorkerLauncher launcher() const;

  NativeWifiClientServices services_;
  std::shared_ptr<ScanState> scanState_ = std::make_shared<ScanState>();
  std::shared_ptr<ConnectionReasons> reasons_ = std::make_shared<ConnectionReasons>();
  MessageTarget notifyWindow_;
  wlan::ClientHandle handle_ = 0;
  wlan::InterfaceInfo interface_;
  bool interfaceFound_ = false;
  bool interfaceMatched_ = false;
  bool allUsersProfiles_ = false;
  std::shared_ptr<Notifier> notifier_;

  // Remembered by ApplyProfile for the settings sent once the connection is complete.
  uint32_t pending_ = 0;
  uint32_t pendingNetworkType_ = 0;
  uint32_t pendingRtsThreshold_ = 0;
  uint32_t pendingFragThreshold_ = 0;
  uint32_t pendingPowerSave_ = 0;

  TimerId renewalTimer_ = 0;
};

}  // namespace ov
