#include "cli/adapter_session.h"

#include <algorithm>
#include <cstdio>

#include "driver/discovery/adapter_discovery.h"
#include "driver/discovery/device_id_table.h"
#include "driver/oid/bssid_list.h"
#include "driver/oid/oid_requests.h"
#include "driver/os_version.h"
#include "driver/params/adapter_params.h"
#include "driver/params/debug_trace.h"
#include "nativewifi/wlansvc/wlan_service_client.h"
#include "platform/time/monitor_messages.h"
#include "shell/adapter_setup.h"

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

// ---- Shared by the commands ----

DataDirectory ChosenDataDirectory(const std::optional<std::string>& option) {
  if (!option) return ChooseDataDirectory();
  DataDirectory chosen;
  chosen.path = *option;
  if (!chosen.path.empty() && chosen.path.back() != '/') chosen.path += '/';
  return chosen;
}

bool EncryptPasswordsSetting() { return ReadProgramOptions(DefaultProgramIniPath()).encryptPasswords; }

// ---- SessionConnection ----

bool SessionConnection::ApplyProfile(uint32_t force, StationProfile& record, bool joinOnly,
                                     CertificateManager* certificateManager) {
  ++applyCalls_;
  lastApplyStarted_ = client_.ApplyProfile(force, record, joinOnly, certificateManager);
  return lastApplyStarted_;
}

// ---- AdapterSession ----

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
  const ProgramOptions programOptions = ReadProgramOptions(ini);
  broker_ = std::make_unique<RegistryBroker>(programOptions, isAdmin_);

  std::shared_ptr<wlan::WlanService> service = options_.service;
  if (!service) service = std::make_shared<wlan::WlanServiceClient>(wlan::DefaultServiceSocketPath());
  NativeWifiClientServices clientServices;
  clientServices.service = std::move(service);
  clientServices.driver = &channel_;
  clientServices.registry = broker_.get();
  clientServices.timers = &loop_.timers();
  client_ = std::make_unique<NativeWifiClient>(clientServices);
  connection_ = std::make_unique<SessionConnection>(*client_);

  ActionQueueServices queueServices;
  queueServices.driver = &channel_;
  queueServices.registry = broker_.get();
  queueServices.client = connection_.get();
  queueServices.secretCodec = &codec_;
  // The same HT PHY trace line the utility writes, under the same program INI switch.
  queueServices.appendDebugTraceFile = [ini](std::string_view text) {
    AppendDebugTraceFile(ini, text);
  };
  queue_ = std::make_unique<ActionQueue>(std::move(queueServices));

  AdapterSetupInputs inputs;
  inputs.driver = &channel_;
  inputs.registry = broker_.get();
  inputs.adapter = &adapter_;
  inputs.options = programOptions;
  inputs.isAdmin = isAdmin_;
  inputs.dataDir = dataDir;
  inputs.secretCodec = &codec_;
  AdapterSetupResult setup = SetUpAdapter(inputs, *queue_);
  store_ = std::move(setup.store);
  queue_->adapter().wpaReady = setup.facts.radioOn;

  const uint32_t opened = client_->Open(adapter_.description, loop_.target(), sharedDataDir);
  if (opened != ERROR_SUCCESS) {
    if (error) *error = "the wireless service does not answer (error " + std::to_string(opened) + ")";
    return false;
  }
  if (!client_->InterfaceMatched()) {
    if (error) *error = "the wireless service has no interface for \"" + adapter_.description + "\"";
    return false;
  }
  return true;
}

bool AdapterSession::SwitchRadio(bool on, std::string* failure) {
  const std::string& key = adapter_.adapterKeyPath;
  client_->SetSoftwareRadio(on);
  const uint32_t written = WriteDecimalParam(*broker_, key, param::kRadio, on ? 0 : 1);
  queue_->adapter().radioOn = on;
  if (on) queue_->QueueScan();
  // A forwarded write counts as delivered whatever the service did: the registry tells.
  if (ReadRadioOn(key) == on) return true;
  if (failure) {
    *failure = written != ERROR_SUCCESS
                   ? "cannot write the adapter parameter \"Radio\" (error " +
                         std::to_string(written) + ")"
                   : "the registry service did not write the adapter parameter \"Radio\" "
                     "(answer " + std::to_string(broker_->LastServiceStatus()) + ")";
  }
  return false;
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
    outcome.reasonCode = client_->LastProfileRefusal();
  } else {
    const bool answered = loop_.Run([this](const Message& m) { OnMessage(m); },
                                    [this] { return result_.has_value(); }, deadline);
    outcome.result = answered ? *result_ : ConnectionResult::TimedOut;
    if (outcome.result == ConnectionResult::AttemptFailed ||
        outcome.result == ConnectionResult::ConnectFailed) {
      outcome.reasonCode = client_->LastConnectionFailure();
    }
  }
  // Sets the driver refused while busy are retried every 500 ms: let them go out before the
  // command ends, within the same limit.
  loop_.Run([this](const Message& m) { OnMessage(m); },
            [this] { return channel_.PendingSetQueue().empty(); }, deadline);
  return outcome;
}

bool AdapterSession::ScanAndWait(std::vector<uint8_t>& list, std::chrono::milliseconds limit,
                                std::string* error) {
  const Clock::time_point deadline = Clock::now() + limit;
  const uint32_t status = client_->Scan();
  if (status != ERROR_SUCCESS) {
    if (error) *error = "the wireless service refused the scan (error " + std::to_string(status) + ")";
    return false;
  }
  std::optional<uint32_t> end;
  const bool answered = loop_.Run(
      [&](const Message& m) {
        if (m.message == WM_MON_SCAN_DONE || m.message == WM_MON_SCAN_FAILED) end = m.message;
        OnMessage(m);
      },
      [&] { return end.has_value(); }, deadline);
  if (!answered) {
    if (error) *error = "no scan result within " + std::to_string(limit.count() / 1000) + " seconds";
    return false;
  }
  if (*end == WM_MON_SCAN_FAILED) {
    if (error) *error = "the scan failed";
    return false;
  }
  list.assign(kBssidListBufferSize, 0);
  client_->CopyScanList(list);
  return true;
}

void AdapterSession::Pause(std::chrono::milliseconds duration) {
  loop_.Run([this](const Message& m) { OnMessage(m); }, [] { return false; },
            Clock::now() + duration);
}

}  // namespace ov::cli
