#include "cli/adapter_session.h"

#include <algorithm>
#include <cstdio>

#include "driver/discovery/adapter_discovery.h"
#include "driver/discovery/device_id_table.h"
#include "driver/oid/oid_requests.h"
#include "driver/os_version.h"
#include "driver/params/adapter_params.h"
#include "driver/params/debug_trace.h"
#include "nativewifi/wlansvc/wlan_service_client.h"
#include "platform/ini/ini.h"
#include "platform/time/monitor_messages.h"
#include "wps/wps_store.h"

namespace ov::cli {

using Clock = std::chrono::steady_clock;

// ---- SteadyTimers ----

TimerId SteadyTimers::start(uint32_t ms, TimerMode mode, Callback callback) {
  const TimerId id = ++lastId_;
  Timer timer;
  timer.due = now() + ms;
  timer.period = std::max<uint32_t>(ms, 1);
  timer.mode = mode;
  timer.order = ++lastOrder_;
  timer.callback = std::make_shared<Callback>(std::move(callback));
  timers_.emplace(id, std::move(timer));
  return id;
}

bool SteadyTimers::kill(TimerId id) { return timers_.erase(id) != 0; }

int64_t SteadyTimers::now() const {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch())
      .count();
}

void SteadyTimers::FireDue() {
  const int64_t at = now();
  // Each timer fires at most once per call, so a callback that restarts itself cannot spin here.
  std::vector<TimerId> fired;
  for (;;) {
    auto next = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
      if (it->second.due > at) continue;
      if (std::find(fired.begin(), fired.end(), it->first) != fired.end()) continue;
      if (next == timers_.end() || it->second.due < next->second.due ||
          (it->second.due == next->second.due && it->second.order < next->second.order)) {
        next = it;
      }
    }
    if (next == timers_.end()) return;
    fired.push_back(next->first);
    std::shared_ptr<Callback> callback = next->second.callback;
    if (next->second.mode == TimerMode::Once) {
      timers_.erase(next);
    } else {
      next->second.due = at + next->second.period;
    }
    if (*callback) (*callback)();
  }
}

std::optional<int64_t> SteadyTimers::NextDue() const {
  std::optional<int64_t> due;
  for (const auto& [id, timer] : timers_) {
    if (!due || timer.due < *due) due = timer.due;
  }
  return due;
}

// ---- SessionLoop ----

bool SessionLoop::Run(const MessageHandler& handle, const std::function<bool()>& done,
                      Clock::time_point deadline) {
  for (;;) {
    timers_.FireDue();
    if (done()) return true;
    const Clock::time_point now = Clock::now();
    if (now >= deadline) return false;
    Clock::time_point wake = deadline;
    if (auto due = timers_.NextDue()) {
      wake = std::min(wake, now + std::chrono::milliseconds(std::max<int64_t>(*due - timers_.now(), 0)));
    }
    if (auto message = inbox_->take(wake)) {
      if (handle) handle(*message);
      if (done()) return true;
    }
  }
}

// ---- Connection results ----

std::optional<ConnectionResult> ConnectionWatch::OnMessage(const Message& message) {
  switch (message.message) {
    case WM_MON_CONNECTING:
      started_ = true;
      return std::nullopt;
    case WM_MON_CONNECT_FAILED:
      return ConnectionResult::ConnectFailed;
    case WM_MON_CONNECT_DONE:
      if (started_) return ConnectionResult::Connected;
      return std::nullopt;
    case WM_MON_ATTEMPT_FAILED:
      if (started_) return ConnectionResult::AttemptFailed;
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

std::string DescribeOutcome(const ConnectionOutcome& outcome, std::chrono::milliseconds limit) {
  std::string reason;
  if (outcome.reasonCode) {
    char code[32];
    std::snprintf(code, sizeof code, " (reason 0x%X)", *outcome.reasonCode);
    reason = ": " + wlan::ReasonCodeText(*outcome.reasonCode) + code;
  }
  switch (outcome.result) {
    case ConnectionResult::Connected:
      return "connected";
    case ConnectionResult::ConnectFailed:
      return "the wireless service could not start the connection" + reason;
    case ConnectionResult::AttemptFailed:
      return "the connection attempt failed" + reason;
    case ConnectionResult::Refused:
      return "the wireless service did not accept the profile" + reason;
    case ConnectionResult::NothingToConnect:
      return "no connection was requested (the profile has no SSID)";
    case ConnectionResult::TimedOut:
      return "the wireless service did not answer within " + std::to_string(limit.count() / 1000) +
             " seconds";
  }
  return "unknown outcome";
}

// ---- ReasonRecordingService ----

// Forwards every call; keeps the reasons the service gives. The notification callback holds the
// reasons by a shared pointer, as it may run on the service's thread after this object is gone.
class ReasonRecordingService final : public wlan::WlanService {
 public:
  explicit ReasonRecordingService(std::shared_ptr<wlan::WlanService> inner)
      : inner_(std::move(inner)) {}

  void setInterface(const wlan::Guid& guid) {
    std::lock_guard lock(reasons_->mutex);
    reasons_->guid = guid;
  }
  std::optional<uint32_t> profileRefusal() const {
    std::lock_guard lock(reasons_->mutex);
    return reasons_->profileRefusal;
  }
  std::optional<uint32_t> connectionFailure() const {
    std::lock_guard lock(reasons_->mutex);
    return reasons_->connectionFailure;
  }

  uint32_t OpenHandle(uint32_t clientVersion, uint32_t* negotiatedVersion,
                      wlan::ClientHandle* handle) override {
    return inner_->OpenHandle(clientVersion, negotiatedVersion, handle);
  }
  uint32_t CloseHandle(wlan::ClientHandle handle) override { return inner_->CloseHandle(handle); }
  uint32_t EnumInterfaces(wlan::ClientHandle handle,
                          std::vector<wlan::InterfaceInfo>* interfaces) override {
    return inner_->EnumInterfaces(handle, interfaces);
  }
  uint32_t QueryInterface(wlan::ClientHandle handle, const wlan::Guid& guid,
                          wlan::InterfaceOpcode opcode, wlan::InterfaceQueryResult* result) override {
    return inner_->QueryInterface(handle, guid, opcode, result);
  }
  uint32_t SetInterface(wlan::ClientHandle handle, const wlan::Guid& guid,
                        wlan::InterfaceOpcode opcode, const wlan::PhyRadioState& radio) override {
    return inner_->SetInterface(handle, guid, opcode, radio);
  }
  uint32_t Scan(wlan::ClientHandle handle, const wlan::Guid& guid,
                const std::optional<wlan::Ssid>& ssid, const std::vector<uint8_t>& ieData) override {
    return inner_->Scan(handle, guid, ssid, ieData);
  }
  uint32_t GetNetworkBssList(wlan::ClientHandle handle, const wlan::Guid& guid,
                             const std::optional<wlan::Ssid>& ssid, wlan::BssType bssType,
                             bool securityEnabled, std::vector<wlan::BssEntry>* entries) override {
    return inner_->GetNetworkBssList(handle, guid, ssid, bssType, securityEnabled, entries);
  }
  uint32_t GetAvailableNetworkList(wlan::ClientHandle handle, const wlan::Guid& guid,
                                   uint32_t flags,
                                   std::vector<wlan::AvailableNetwork>* networks) override {
    return inner_->GetAvailableNetworkList(handle, guid, flags, networks);
  }
  uint32_t Connect(wlan::ClientHandle handle, const wlan::Guid& guid,
                   const wlan::ConnectionParameters& parameters) override {
    return inner_->Connect(handle, guid, parameters);
  }
  uint32_t Disconnect(wlan::ClientHandle handle, const wlan::Guid& guid) override {
    return inner_->Disconnect(handle, guid);
  }
  uint32_t SetProfile(wlan::ClientHandle handle, const wlan::Guid& guid, uint32_t flags,
                      const std::string& profileXml, bool overwrite,
                      uint32_t* reasonCode) override {
    uint32_t reason = wlan::WLAN_REASON_CODE_SUCCESS;
    const uint32_t status = inner_->SetProfile(handle, guid, flags, profileXml, overwrite, &reason);
    if (reasonCode) *reasonCode = reason;
    if (status != ERROR_SUCCESS && reason != wlan::WLAN_REASON_CODE_SUCCESS) {
      std::lock_guard lock(reasons_->mutex);
      reasons_->profileRefusal = reason;
    }
    return status;
  }
  uint32_t GetProfile(wlan::ClientHandle handle, const wlan::Guid& guid,
                      const std::string& profileName, std::string* profileXml,
                      uint32_t* flags) override {
    return inner_->GetProfile(handle, guid, profileName, profileXml, flags);
  }
  uint32_t DeleteProfile(wlan::ClientHandle handle, const wlan::Guid& guid,
                         const std::string& profileName) override {
    return inner_->DeleteProfile(handle, guid, profileName);
  }
  uint32_t GetProfileList(wlan::ClientHandle handle, const wlan::Guid& guid,
                          std::vector<wlan::ProfileInfo>* profiles) override {
    return inner_->GetProfileList(handle, guid, profiles);
  }
  uint32_t SetProfileEapUserData(wlan::ClientHandle handle, const wlan::Guid& guid,
                                 const std::string& profileName,
                                 const wlan::EapMethodType& eapType, uint32_t flags,
                                 const std::vector<uint8_t>& userData) override {
    return inner_->SetProfileEapUserData(handle, guid, profileName, eapType, flags, userData);
  }
  uint32_t SetProfileEapXmlUserData(wlan::ClientHandle handle, const wlan::Guid& guid,
                                    const std::string& profileName, uint32_t flags,
                                    const std::string& userDataXml) override {
    return inner_->SetProfileEapXmlUserData(handle, guid, profileName, flags, userDataXml);
  }
  uint32_t IhvControl(wlan::ClientHandle handle, const wlan::Guid& guid,
                      wlan::IhvControlType type, const std::vector<uint8_t>& in, uint32_t outSize,
                      std::vector<uint8_t>* out) override {
    return inner_->IhvControl(handle, guid, type, in, outSize, out);
  }
  uint32_t SetSecuritySettings(wlan::ClientHandle handle, wlan::SecurableObject object,
                               const std::string& sddl) override {
    return inner_->SetSecuritySettings(handle, object, sddl);
  }
  uint32_t GetSecuritySettings(wlan::ClientHandle handle, wlan::SecurableObject object,
                               wlan::SecuritySettings* settings) override {
    return inner_->GetSecuritySettings(handle, object, settings);
  }
  uint32_t RegisterNotification(wlan::ClientHandle handle, uint32_t sourceMask,
                                bool ignoreDuplicate, wlan::NotificationCallback callback,
                                uint32_t* previousMask) override {
    wlan::NotificationCallback recording;
    if (callback) {
      recording = [reasons = reasons_, callback = std::move(callback)](const wlan::Notification& n) {
        reasons->Record(n);
        callback(n);
      };
    }
    return inner_->RegisterNotification(handle, sourceMask, ignoreDuplicate, std::move(recording),
                                        previousMask);
  }

 private:
  struct Reasons {
    mutable std::mutex mutex;
    wlan::Guid guid{};
    std::optional<uint32_t> profileRefusal;
    std::optional<uint32_t> connectionFailure;

    void Record(const wlan::Notification& n) {
      if (n.source != wlan::WLAN_NOTIFICATION_SOURCE_ACM || !n.connection) return;
      if (n.code != wlan::wlan_notification_acm_connection_attempt_fail &&
          n.code != wlan::wlan_notification_acm_connection_complete) {
        return;
      }
      if (n.connection->reasonCode == wlan::WLAN_REASON_CODE_SUCCESS) return;
      std::lock_guard lock(mutex);
      if (n.interfaceGuid == guid) connectionFailure = n.connection->reasonCode;
    }
  };

  std::shared_ptr<wlan::WlanService> inner_;
  std::shared_ptr<Reasons> reasons_ = std::make_shared<Reasons>();
};

// ---- SessionConnection ----

bool SessionConnection::ApplyProfile(uint32_t force, StationProfile& record, bool joinOnly,
                                     CertificateManager* certificateManager) {
  ++applyCalls_;
  lastApplyStarted_ = client_.ApplyProfile(force, record, joinOnly, certificateManager);
  return lastApplyStarted_;
}

// ---- AdapterSession ----

namespace {

constexpr uint32_t kPhyTypeOfdm = 4;  // the 5 GHz PHY

std::string ProgramIniOption(const std::string& ini, const char* section, const char* key,
                             const char* fallback) {
  return IniReadString(ini, section, key, fallback, 255);
}

}  // namespace

AdapterSession::AdapterSession(AdapterSessionOptions options)
    : options_(std::move(options)), channel_(deviceIo_, loop_.timers()) {
  if (options_.programIniPath.empty()) options_.programIniPath = DefaultProgramIniPath();
}

AdapterSession::~AdapterSession() {
  // The queue and the client use the channel and the broker; they go first.
  queue_.reset();
  if (client_) client_->Close();
  client_.reset();
  channel_.FlushPendingSets();
}

bool AdapterSession::Discover() {
  const OsVersionCode code = CurrentOsVersionCode();
  isAdmin_ = ov::IsAdmin(code);
  channel_.setOsVersionCode(code);
  AdapterDiscovery discovery(devices_, deviceIo_, channel_,
                             LoadDeviceIdTables(options_.programIniPath), code);
  AdapterInfo info;
  info.isAdmin = isAdmin_;
  for (int attempt = 0; attempt <= kNotReadyAttempts; ++attempt) {
    if (discovery.DiscoverAdapter(info)) {
      adapter_ = info;
      channel_.setDevicePath(info.devicePath);
      return true;
    }
    if (discovery.readinessCounter() == 0) break;
  }
  return false;
}

bool AdapterSession::ActivationWritesStore() const {
  return isAdmin_ || (broker_ && broker_->AllowStandardUserSetProfile());
}

bool AdapterSession::SetUp(const std::string& dataDir, bool sharedDataDir, std::string* error) {
  const std::string& ini = options_.programIniPath;
  const std::string& key = adapter_.adapterKeyPath;
  broker_ = std::make_unique<RegistryBroker>(ini, isAdmin_);
  const bool encrypt = ProgramIniOption(ini, "AuthEncry", "EncryptedPassword", "1") == "1";
  broker_->SetEncryptPasswords(encrypt);
  store_ = std::make_unique<ProfileStore>(
      StoreLocation{dataDir, adapter_.chipFamily, adapter_.netCfgInstanceId}, &codec_,
      encrypt);

  std::shared_ptr<wlan::WlanService> service = options_.service;
  if (!service) service = std::make_shared<wlan::WlanServiceClient>(wlan::DefaultServiceSocketPath());
  service_ = std::make_shared<ReasonRecordingService>(std::move(service));
  NativeWifiClientServices clientServices;
  clientServices.service = service_;
  clientServices.driver = &channel_;
  clientServices.registry = broker_.get();
  clientServices.timers = &loop_.timers();
  client_ = std::make_unique<NativeWifiClient>(clientServices);
  connection_ = std::make_unique<SessionConnection>(*client_);

  ActionQueueServices queueServices;
  queueServices.driver = &channel_;
  queueServices.registry = broker_.get();
  queueServices.client = connection_.get();
  queueServices.store = store_.get();
  queueServices.secretCodec = &codec_;
  // The same HT PHY trace line the utility writes, under the same program INI switch.
  queueServices.appendDebugTraceFile = [ini](std::string_view text) {
    AppendDebugTraceFile(ini, text);
  };
  queue_ = std::make_unique<ActionQueue>(std::move(queueServices));

  // The adapter facts the monitor's set-up gathers for the queue.
  AdapterContext& a = queue_->adapter();
  a.adapterKeyPath = key;
  a.chipFamily = adapter_.chipFamily;
  a.htCapable = adapter_.htCapable;
  a.isAdmin = isAdmin_;
  a.allowStandardUserSetProfile = broker_->AllowStandardUserSetProfile();
  a.showCountryRegion = ProgramIniOption(ini, "Advance", "ShowCountryRegion", "0") == "1";
  DOT11_SUPPORTED_PHY_TYPES phys;
  if (QuerySupportedPhyTypes(channel_, phys)) {
    for (uint32_t i = 0; i < phys.uNumOfEntries && i < phys.dot11PHYType.size(); ++i) {
      if (phys.dot11PHYType[i] == kPhyTypeOfdm) a.aBandCapable = true;
    }
    if (a.aBandCapable) {
      if (auto mode = ReadCountryWirelessMode(key)) a.aBandCapable = ((*mode >> 28) & 0xF) == 1;
    }
  }
  QueryDriverVersion(channel_, a.ndisVersion);
  a.radioOn = ReadRadioOn(key);
  a.wpaReady = a.radioOn;
  ResetWpsCredentials(queue_->wps());
  queue_->RunChannelPlan();

  const uint32_t opened = client_->Open(adapter_.description, loop_.target(), sharedDataDir);
  if (opened != ERROR_SUCCESS) {
    if (error) *error = "the wireless service does not answer (error " + std::to_string(opened) + ")";
    return false;
  }
  if (!client_->InterfaceMatched()) {
    if (error) *error = "the wireless service has no interface for \"" + adapter_.description + "\"";
    return false;
  }
  service_->setInterface(client_->Interface().guid);
  return true;
}

void AdapterSession::OnMessage(const Message& message) {
  // As the monitor does on every completion, whoever started it.
  if (message.message == WM_MON_CONNECT_DONE) client_->ApplyDeferredSettings(message.wParam);
  if (!result_) result_ = watch_.OnMessage(message);
}

ConnectionOutcome AdapterSession::WaitForConnection(std::chrono::milliseconds limit) {
  const Clock::time_point deadline = Clock::now() + limit;
  ConnectionOutcome outcome;
  if (connection_->applyCalls() == 0) {
    outcome.result = ConnectionResult::NothingToConnect;
  } else if (!connection_->lastApplyStarted()) {
    outcome.result = ConnectionResult::Refused;
    outcome.reasonCode = service_->profileRefusal();
  } else {
    const bool answered = loop_.Run([this](const Message& m) { OnMessage(m); },
                                    [this] { return result_.has_value(); }, deadline);
    outcome.result = answered ? *result_ : ConnectionResult::TimedOut;
    if (outcome.result == ConnectionResult::AttemptFailed ||
        outcome.result == ConnectionResult::ConnectFailed) {
      outcome.reasonCode = service_->connectionFailure();
    }
  }
  // Sets the driver refused while busy are retried every 500 ms: let them go out before the
  // command ends, within the same limit.
  loop_.Run([this](const Message& m) { OnMessage(m); },
            [this] { return channel_.PendingSetQueue().empty(); }, deadline);
  return outcome;
}

}  // namespace ov::cli
