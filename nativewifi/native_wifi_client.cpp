#include "nativewifi/native_wifi_client.h"

#include <pugixml.hpp>

#include <algorithm>

#include "driver/adapter_info.h"
#include "driver/oid/oid_requests.h"
#include "nativewifi/diagnostic_messages.h"
#include "nativewifi/ihv_request.h"
#include "nativewifi/notification_dispatch.h"
#include "nativewifi/wlan_profile_xml.h"
#include "platform/time/monitor_messages.h"

namespace ov {

using namespace wlan;

namespace {

constexpr uint32_t kProfileInfrastructure = 1;
constexpr uint32_t kProfileAdhoc = 0;
constexpr uint32_t kInfrastructurePreamble = 2;

}  // namespace

bool ProfileXmlHasNode(std::string_view xml, const char* xpath) {
  pugi::xml_document document;
  if (!document.load_buffer(xml.data(), xml.size())) return false;
  try {
    return static_cast<bool>(document.select_node(xpath));
  } catch (const pugi::xpath_exception&) {
    return false;
  }
}

uint32_t PowerSavingLevel(uint32_t powerSave) {
  switch (powerSave) {
    case 1: return DOT11_POWER_SAVING_MAX_PSP;
    case 2: return DOT11_POWER_SAVING_FAST_PSP;
    case 3: return DOT11_POWER_SAVING_MAXIMUM_LEVEL;
    default: return DOT11_POWER_SAVING_NO_POWER_SAVING;
  }
}

// What the service's thread needs: fixed at Open, shared with the callback and the scan worker.
struct NativeWifiClient::Notifier {
  std::weak_ptr<WlanService> service;
  ClientHandle handle = 0;
  Guid guid{};
  MessageTarget target;
  WorkerLauncher launch;
  std::shared_ptr<ScanState> scan;
  std::shared_ptr<ConnectionReasons> reasons;

  void OnNotification(const Notification& n) const {
    RecordFailure(n);
    const NotificationReaction reaction = ReactToNotification(n, guid);
    if (reaction.post) target.post(*reaction.post);
    if (reaction.startScanWorker) StartScanWorker();
  }

  void RecordFailure(const Notification& n) const {
    if (n.source != WLAN_NOTIFICATION_SOURCE_ACM || !n.connection || n.interfaceGuid != guid) return;
    if (n.code != wlan_notification_acm_connection_attempt_fail &&
        n.code != wlan_notification_acm_connection_complete) {
      return;
    }
    if (n.connection->reasonCode == WLAN_REASON_CODE_SUCCESS) return;
    std::lock_guard lock(reasons->mutex);
    reasons->connectionFailure = n.connection->reasonCode;
  }

  // One scan worker at a time; a scan that completes while one runs is dropped.
  void StartScanWorker() const {
    if (scan->workerRunning.exchange(true)) return;
    launch([service = service, handle = handle, guid = guid, target = target, scan = scan] {
      std::vector<uint8_t> list(kBssidListBufferSize);
      if (auto s = service.lock()) {
        ScanToBssidList(*s, handle, guid, list);
      } else {
        BssidListWriter empty(list);
      }
      scan->slot.Publish(std::move(list));
      target.post(WM_MON_SCAN_DONE);
      scan->workerRunning = false;
    });
  }
};

NativeWifiClient::NativeWifiClient(NativeWifiClientServices services)
    : services_(std::move(services)) {}

NativeWifiClient::~NativeWifiClient() {
  Close();
  if (renewalTimer_ && services_.timers) services_.timers->kill(renewalTimer_);
}

WorkerLauncher NativeWifiClient::launcher() const {
  return services_.startWorker ? services_.startWorker : DetachedThreadLauncher();
}

// ---- Opening ----

uint32_t NativeWifiClient::Open(std::string_view deviceName, MessageTarget notifyWindow,
                                bool allUsersProfiles) {
  Close();
  notifyWindow_ = std::move(notifyWindow);
  allUsersProfiles_ = allUsersProfiles;
  if (!services_.service) return ERROR_SERVICE_NOT_ACTIVE;
  WlanService& service = *services_.service;

  uint32_t version = 0;
  uint32_t status = service.OpenHandle(kClientVersion2, &version, &handle_);
  if (status != ERROR_SUCCESS) {
    handle_ = 0;
    return status;
  }
  std::vector<InterfaceInfo> interfaces;
  status = service.EnumInterfaces(handle_, &interfaces);
  interfaceFound_ = status == ERROR_SUCCESS;
  // Descriptions compare as the adapter's name field holds them: at most 255 bytes, exactly.
  const std::string wanted = LimitText(deviceName, AdapterInfo::kDescriptionMaxLength);
  for (const InterfaceInfo& i : interfaces) {
    if (LimitText(i.description, AdapterInfo::kDescriptionMaxLength) == wanted) {
      interface_ = i;
      interfaceMatched_ = true;
      break;
    }
  }

  auto notifier = std::make_shared<Notifier>();
  notifier->service = services_.service;
  notifier->handle = handle_;
  notifier->guid = interface_.guid;
  notifier->target = notifyWindow_;
  notifier->launch = launcher();
  notifier->scan = scanState_;
  notifier->reasons = reasons_;
  notifier_ = notifier;
  service.RegisterNotification(
      handle_, kClientNotificationSources, true,
      [notifier](const Notification& n) { notifier->OnNotification(n); }, nullptr);
  return status;
}

void NativeWifiClient::Close() {
  if (handle_ && services_.service) services_.service->CloseHandle(handle_);
  handle_ = 0;
  notifier_.reset();
  interface_ = InterfaceInfo{};
  interfaceFound_ = false;
  interfaceMatched_ = false;
}

// ---- Profiles and connections ----

uint32_t NativeWifiClient::SetProfileAndConnect(const StationProfile& record, bool adhocJoinOnly,
                                                CertificateManager* certificateManager) {
  WlanProfileEnvironment environment;
  if (services_.lastScanList) environment.lastScanList = services_.lastScanList();
  environment.certificateManager = certificateManager;
  environment.registry = services_.registry;
  const WlanProfileDocuments documents = BuildWlanProfile(record, environment);

  {
    std::lock_guard lock(reasons_->mutex);
    reasons_->profileRefusal.reset();
    reasons_->connectionFailure.reset();
  }
  uint32_t result = ERROR_SUCCESS;
  if (services_.service && handle_) {
    WlanService& service = *services_.service;
    // The profile is replaced whole; a missing one is the usual case.
    service.DeleteProfile(handle_, interface_.guid, documents.profileName);
    const bool oneX = record.use8021X == 1;
    const bool allUsers = allUsersProfiles_ || record.useDiagnostic != 0 ||
                          (oneX && (record.ssoFlags & kSsoEnabled));
    uint32_t reason = 0;
    result = service.SetProfile(handle_, interface_.guid, allUsers ? 0 : WLAN_PROFILE_USER,
                                documents.profileXml, true, &reason);
    if (result != ERROR_SUCCESS && reason != WLAN_REASON_CODE_SUCCESS) {
      std::lock_guard lock(reasons_->mutex);
      reasons_->profileRefusal = reason;
    }
    if (oneX && !record.useSmartCard && !documents.userCredentialsXml.empty()) {
      const uint32_t status = service.SetProfileEapXmlUserData(
          handle_, interface_.guid, documents.profileName, 0, documents.userCredentialsXml);
      if (result == ERROR_SUCCESS) result = status;
    }
  }
  // The connect goes out even after a refused document: its failure is what tells the monitor
  // to try the activation again later (an open network may have come into range by then).
  const uint32_t connected = Connect(kConnectProfile, documents.profileName, documents.bssType, {},
                                     ConnectFlags{adhocJoinOnly, false});
  return result != ERROR_SUCCESS ? result : connected;
}

bool NativeWifiClient::ApplyProfile(uint32_t force, StationProfile& record, bool adhocJoinOnly,
                                    CertificateManager* certificateManager) {
  pending_ = 1;
  pendingNetworkType_ = record.networkType;
  pendingRtsThreshold_ = record.rtsThreshold;
  pendingFragThreshold_ = record.fragThreshold;
  pendingPowerSave_ = record.powerSave;

  OidRequester* driver = services_.driver;
  if (driver) SetConnectFlag(*driver, force ? 1 : 0);
  if (record.networkType == kProfileInfrastructure) record.preambleType = kInfrastructurePreamble;
  if (driver) SetPreamble(*driver, record.preambleType);
  DeleteOwnProfiles();
  if (driver && record.useBssid == 1) SetDesiredBssidList(*driver, record.bssid);
  if (driver && (record.networkType == kProfileAdhoc || force)) {
    UpdateConfigurationChannel(*driver, record.channelFrequency);
  }
  if (driver) SetTxPower(*driver, static_cast<int32_t>(record.txPowerLevel));
  return SetProfileAndConnect(record, adhocJoinOnly, certificateManager) == ERROR_SUCCESS;
}

std::optional<uint32_t> NativeWifiClient::LastProfileRefusal() const {
  std::lock_guard lock(reasons_->mutex);
  return reasons_->profileRefusal;
}

std::optional<uint32_t> NativeWifiClient::LastConnectionFailure() const {
  std::lock_guard lock(reasons_->mutex);
  return reasons_->connectionFailure;
}

void NativeWifiClient::ApplyDeferredSettings(uintptr_t wParam) {
  OidRequester* driver = services_.driver;
  if (driver && pendingNetworkType_ == kProfileInfrastructure) {
    SetPowerMgmtRequest(*driver, PowerSavingLevel(pendingPowerSave_));
  }
  if (driver && pending_ == 1 && wParam == 1) {
    SetRtsThreshold(*driver, pendingRtsThreshold_);
    SetFragmentationThreshold(*driver, pendingFragThreshold_);
  }
  pending_ = 0;
}

uint32_t NativeWifiClient::Connect(uint32_t mode, const std::string& profileOrXml, uint32_t bssType,
                                   const Ssid& ssid, ConnectFlags flags) {
  ConnectionParameters p;
  p.bssType = static_cast<BssType>(bssType);
  p.flags = flags.adhocJoinOnly ? WLAN_CONNECTION_ADHOC_JOIN_ONLY : 0;
  uint32_t status = ERROR_SUCCESS;
  switch (mode) {
    case kConnectProfile:
    case kConnectTemporaryProfile:
      p.mode = mode == kConnectProfile ? wlan_connection_mode_profile
                                       : wlan_connection_mode_temporary_profile;
      p.profile = profileOrXml;
      break;
    case kConnectDiscoverySecure:
    case kConnectDiscoveryUnsecure:
      p.mode = mode == kConnectDiscoverySecure ? wlan_connection_mode_discovery_secure
                                               : wlan_connection_mode_discovery_unsecure;
      p.ssid = ssid;
      if (mode == kConnectDiscoveryUnsecure && flags.hiddenNetwork) {
        p.flags = WLAN_CONNECTION_HIDDEN_NETWORK;
      }
      break;
    default:
      status = ERROR_INVALID_PARAMETER;
  }
  if (status == ERROR_SUCCESS) {
    status = services_.service && handle_
                 ? services_.service->Connect(handle_, interface_.guid, p)
                 : ERROR_INVALID_HANDLE;
  }
  if (status != ERROR_SUCCESS) notifyWindow_.post(WM_MON_CONNECT_FAILED, 0, 0);
  return status;
}

uint32_t NativeWifiClient::Disconnect() {
  if (!services_.service || !handle_) return ERROR_INVALID_HANDLE;
  return services_.service->Disconnect(handle_, interface_.guid);
}

uint32_t NativeWifiClient::Scan() {
  if (!services_.service || !handle_) return ERROR_INVALID_HANDLE;
  return services_.service->Scan(handle_, interface_.guid, std::nullopt, {});
}

// ---- Service profiles ----

std::vector<ProfileInfo> NativeWifiClient::profileList() {
  std::vector<ProfileInfo> profiles;
  if (!services_.service || !handle_ ||
      services_.service->GetProfileList(handle_, interface_.guid, &profiles) != ERROR_SUCCESS) {
    profiles.clear();
  }
  return profiles;
}

size_t NativeWifiClient::DeleteOwnProfiles() {
  size_t deleted = 0;
  for (const ProfileInfo& p : profileList()) {
    if (IsOwnProfile(p.name) && DeleteServiceProfile(p.name) == ERROR_SUCCESS) ++deleted;
  }
  return deleted;
}

size_t NativeWifiClient::DeleteAllProfiles() {
  size_t deleted = 0;
  for (const ProfileInfo& p : profileList()) {
    if (DeleteServiceProfile(p.name) == ERROR_SUCCESS) ++deleted;
  }
  return deleted;
}

uint32_t NativeWifiClient::DeleteServiceProfile(const std::string& name) {
  if (!services_.service || !handle_) return ERROR_INVALID_HANDLE;
  return services_.service->DeleteProfile(handle_, interface_.guid, name);
}

bool NativeWifiClient::ServiceProfileExists(const std::string& name) {
  const auto profiles = profileList();
  return std::any_of(profiles.begin(), profiles.end(),
                     [&](const ProfileInfo& p) { return p.name == name; });
}

uint32_t NativeWifiClient::GetServiceProfileXml(const std::string& name, std::string* xml) {
  if (!services_.service || !handle_) return ERROR_INVALID_HANDLE;
  uint32_t flags = 0;
  return services_.service->GetProfile(handle_, interface_.guid, name, xml, &flags);
}

bool NativeWifiClient::HasDiagnosticsSection(const std::string& name) {
  std::string xml;
  return GetServiceProfileXml(name, &xml) == ERROR_SUCCESS &&
         ProfileXmlHasNode(xml, kDiagnosticsNodePath);
}

bool NativeWifiClient::IsOwnProfile(const std::string& name) {
  std::string xml;
  return GetServiceProfileXml(name, &xml) == ERROR_SUCCESS &&
         ProfileXmlHasNode(xml, kOwnProfileNodePath);
}

// ---- Interface queries ----

bool NativeWifiClient::query(InterfaceOpcode opcode, InterfaceQueryResult* result) {
  return services_.service && handle_ &&
         services_.service->QueryInterface(handle_, interface_.guid, opcode, result) == ERROR_SUCCESS;
}

bool NativeWifiClient::queryConnection(ConnectionAttributes* connection) {
  InterfaceQueryResult q;
  if (!query(wlan_intf_opcode_current_connection, &q)) return false;
  *connection = q.connection;
  return true;
}

bool NativeWifiClient::IsConnected() {
  uint32_t state = 0;
  return GetInterfaceState(state) && state == wlan_interface_state_connected;
}

bool NativeWifiClient::GetInterfaceState(uint32_t& state) {
  state = 0;
  InterfaceQueryResult q;
  if (!query(wlan_intf_opcode_interface_state, &q)) return false;
  state = q.state;
  return true;
}

std::optional<bool> NativeWifiClient::QueryInterfaceConnected() {
  uint32_t state = 0;
  if (!GetInterfaceState(state)) return std::nullopt;
  return state == wlan_interface_state_connected;
}

bool NativeWifiClient::GetCurrentSsid(NDIS_802_11_SSID& ssid) {
  ssid = NDIS_802_11_SSID{};
  ConnectionAttributes c;
  if (!queryConnection(&c)) return false;
  const auto& bytes = c.association.ssid.bytes;
  ssid = MakeNdisSsid(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  return true;
}

bool NativeWifiClient::GetCurrentBssid(MacAddress& bssid) {
  bssid = MacAddress{};
  ConnectionAttributes c;
  if (!queryConnection(&c)) return false;
  bssid = c.association.bssid;
  return true;
}

bool NativeWifiClient::GetSignalQuality(uint32_t& quality) {
  quality = 0;
  ConnectionAttributes c;
  if (!queryConnection(&c)) return false;
  quality = std::min<uint32_t>(c.association.signalQuality, 100);
  return true;
}

bool NativeWifiClient::GetAuthAlgorithm(uint32_t& algorithm) {
  algorithm = 0;
  ConnectionAttributes c;
  if (!queryConnection(&c)) return false;
  algorithm = c.security.authAlgorithm;
  return true;
}

bool NativeWifiClient::GetCipherAlgorithm(uint32_t& algorithm) {
  algorithm = 0;
  ConnectionAttributes c;
  if (!queryConnection(&c)) return false;
  algorithm = c.security.cipherAlgorithm;
  return true;
}

bool NativeWifiClient::GetBssType(uint32_t& bssType) {
  bssType = 0;
  ConnectionAttributes c;
  if (!queryConnection(&c)) return false;
  bssType = c.association.bssType;
  return true;
}

bool NativeWifiClient::IsInfrastructure() {
  uint32_t type = 0;
  return GetBssType(type) && (type == dot11_BSS_type_infrastructure || type == dot11_BSS_type_any);
}

bool NativeWifiClient::GetConnectionMode(uint32_t& mode) {
  mode = 0;
  ConnectionAttributes c;
  if (!queryConnection(&c)) return false;
  mode = c.mode;
  return true;
}

bool NativeWifiClient::GetProfileName(std::string& name) {
  name.clear();
  ConnectionAttributes c;
  if (!queryConnection(&c)) return false;
  name = c.profileName;
  return true;
}

bool NativeWifiClient::GetChannel(uint32_t& channel) {
  channel = 0;
  InterfaceQueryResult q;
  if (!query(wlan_intf_opcode_channel_number, &q)) return false;
  channel = q.channel;
  return true;
}

bool NativeWifiClient::GetRadioState(bool& softwareOn, bool& hardwareOn) {
  softwareOn = false;
  hardwareOn = true;
  InterfaceQueryResult q;
  if (!query(wlan_intf_opcode_radio_state, &q)) return false;
  for (const PhyRadioState& phy : q.radio) {
    if (phy.software == dot11_radio_state_unknown) {
      softwareOn = true;
      hardwareOn = false;
      break;
    }
    if (phy.hardware == dot11_radio_state_off) {
      hardwareOn = false;
      break;
    }
    if (phy.software == dot11_radio_state_on) {
      softwareOn = true;
      break;
    }
  }
  return true;
}

bool NativeWifiClient::SetSoftwareRadio(bool on) {
  InterfaceQueryResult q;
  if (!query(wlan_intf_opcode_radio_state, &q)) return false;
  bool ok = true;
  for (PhyRadioState phy : q.radio) {
    phy.software = on ? dot11_radio_state_on : dot11_radio_state_off;
    ok = services_.service->SetInterface(handle_, interface_.guid, wlan_intf_opcode_radio_state,
                                         phy) == ERROR_SUCCESS && ok;
  }
  return ok;
}

bool NativeWifiClient::SupportsAdhocWpa2Psk() {
  InterfaceQueryResult q;
  if (!query(wlan_intf_opcode_supported_adhoc_auth_cipher_pairs, &q)) return false;
  return std::any_of(q.pairs.begin(), q.pairs.end(), [](const AuthCipherPair& p) {
    return p.auth == DOT11_AUTH_ALGO_RSNA_PSK && p.cipher == DOT11_CIPHER_ALGO_CCMP;
  });
}

// ---- The IHV extension ----

uint32_t NativeWifiClient::SendCcxEnable() {
  if (!services_.service || !handle_) return ERROR_INVALID_HANDLE;
  const auto request = EncodeIhvRequest(kIhvRequestNormalMode);
  std::vector<uint8_t> out;
  return services_.service->IhvControl(handle_, interface_.guid, wlan_ihv_control_type_service,
                                       std::vector<uint8_t>(request->begin(), request->end()), 0,
                                       &out);
}

uint32_t NativeWifiClient::SendCcxProfile(const std::string& profileName, bool grant) {
  if (!services_.service || !handle_) return ERROR_INVALID_HANDLE;
  const auto request = EncodeIhvRequest(kIhvRequestDiagnose, profileName);
  if (!request) return ERROR_INVALID_PARAMETER;
  WlanService& service = *services_.service;
  service.SetSecuritySettings(handle_, wlan_secure_ihv_control,
                              grant ? kIhvControlSddlGrant : kIhvControlSddlReadOnly);
  std::vector<uint8_t> out;
  return service.IhvControl(handle_, interface_.guid, wlan_ihv_control_type_service,
                            std::vector<uint8_t>(request->begin(), request->end()),
                            kIhvDiagnoseResponseSize, &out);
}

bool NativeWifiClient::FormatDiagnosticMessage(uint32_t code, std::string& text) {
  const std::optional<std::string> message = DiagnosticMessageText(code);
  if (!message) return false;
  text = *message;
  if (code == kDiagnosticDhcpTestCode && services_.timers) {
    // One renewal for a burst of announcements, as a window timer restarted by each.
    if (renewalTimer_) services_.timers->kill(renewalTimer_);
    renewalTimer_ = services_.timers->startOnce(kAddressRenewalDelayMs, [this] {
      renewalTimer_ = 0;
      if (services_.addressRenewal) services_.addressRenewal->RenewAddress();
    });
  }
  return true;
}

// ---- EAP-FAST workers ----

bool NativeWifiClient::StartEapFastDialog(MessageTarget window,
                                          std::shared_ptr<EapFastDialogResult> result) {
  std::shared_ptr<EapHost> host = services_.eapHost;
  if (!host || !result) return false;
  launcher()([host, window = std::move(window), result = std::move(result)] {
    RunEapFastDialog(*host, window, *result);
  });
  return true;
}

bool NativeWifiClient::StartEapFastSetup(MessageTarget window, std::string profileName,
                                         EapBlobStoreAccess store) {
  std::shared_ptr<EapHost> host = services_.eapHost;
  if (!host) return false;
  launcher()([host, window = std::move(window), profileName = std::move(profileName),
              store = std::move(store)] { RunEapFastSetup(*host, window, profileName, store); });
  return true;
}

}  // namespace ov
