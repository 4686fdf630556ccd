#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "driver/adapter_info.h"
#include "driver/discovery/net_devices.h"
#include "cli/message_inbox.h"
#include "driver/oid_channel.h"
#include "nativewifi/native_wifi_client.h"
#include "nativewifi/wlansvc/wlan_service.h"
#include "platform/deviceio/device_io.h"
#include "platform/time/message_service.h"
#include "platform/time/timer_service.h"
#include "profiles/ov_encrypt_codec.h"
#include "profiles/data_directory.h"
#include "profiles/profile_store.h"
#include "shell/action_queue.h"
#include "shell/registry_broker.h"

// What ovuictl needs to apply a profile or a WPS credential the way the utility does, without
// its windows: the discovered adapter, the OID channel, the wireless client, the registry broker,
// the profile store and the action queue, plus a message loop that stands in for the monitor
// window while the command waits for the connection.
namespace ov::cli {

// Timers on the steady clock for a thread without an event loop: nothing fires until the owner
// calls FireDue (the session's loop does, while it waits).
class SteadyTimers final : public TimerService {
 public:
  TimerId start(uint32_t ms, TimerMode mode, Callback callback) override;
  bool kill(TimerId id) override;
  bool isActive(TimerId id) const override { return timers_.count(id) != 0; }
  int64_t now() const override;

  // Runs the callbacks of the timers due by now, earliest first (started first among equals).
  // A timer killed by an earlier callback does not fire; a repeating one is next due a period
  // after it fired, so a late loop does not make it fire in a burst.
  void FireDue();
  // When the next timer falls due, on now()'s clock.
  std::optional<int64_t> NextDue() const;

 private:
  struct Timer {
    int64_t due = 0;
    uint32_t period = 0;
    TimerMode mode = TimerMode::Once;
    uint64_t order = 0;
    std::shared_ptr<Callback> callback;
  };
  TimerId lastId_ = 0;
  uint64_t lastOrder_ = 0;
  std::map<TimerId, Timer> timers_;
};

// The command's message loop, standing in for the monitor window's thread: posted messages and
// timers (the channel's retried sets, the client's delays) handled on the command's thread.
class SessionLoop {
 public:
  TimerService& timers() { return timers_; }
  MessageTarget target() const { return MessageTarget(inbox_); }

  // Fires the timers that fall due and hands over each message, until `done` holds (asked before
  // waiting and after every message and timer run) or `deadline` passes. False on the deadline.
  bool Run(const MessageHandler& handle, const std::function<bool()>& done,
           std::chrono::steady_clock::time_point deadline);

 private:
  std::shared_ptr<MessageInbox> inbox_ = std::make_shared<MessageInbox>();
  SteadyTimers timers_;
};

// How a connection the queue started ended.
enum class ConnectionResult {
  Connected,         // 0x401
  ConnectFailed,     // 0x40A: the connect request failed, or an ad hoc network did not form
  AttemptFailed,     // 0x40B
  Refused,           // the profile did not reach the service, or the service refused it
  NothingToConnect,  // the queue asked for no connection (no SSID, radio off)
  TimedOut,          // no answer within the wait
};

// Follows the posted messages of one connection. The connect request's failure (0x40A) ends it at
// once; completion and attempt failure count only after the connection started (0x40C), so that
// the end of an earlier attempt, cut short by this one, is not taken for this one's.
class ConnectionWatch {
 public:
  std::optional<ConnectionResult> OnMessage(const Message& message);

 private:
  bool started_ = false;
};

struct ConnectionOutcome {
  ConnectionResult result = ConnectionResult::TimedOut;
  // The service's reason for a refusal or a failed attempt, when it gave one.
  std::optional<uint32_t> reasonCode;
};

// What happened, for the user; a failure with the service's reason.
std::string DescribeOutcome(const ConnectionOutcome& outcome, std::chrono::milliseconds limit);

// The ConnectionClient of the queue over the session's wireless client, counting what the queue
// asked of it.
class SessionConnection final : public ConnectionClient {
 public:
  explicit SessionConnection(NativeWifiClient& client) : client_(client) {}
  bool Scan() override { return client_.Scan() == ERROR_SUCCESS; }
  bool ApplyProfile(uint32_t force, StationProfile& record, bool joinOnly,
                    CertificateManager* certificateManager) override;
  bool IsConnected() override { return client_.IsConnected(); }

  int applyCalls() const { return applyCalls_; }
  bool lastApplyStarted() const { return lastApplyStarted_; }

 private:
  NativeWifiClient& client_;
  int applyCalls_ = 0;
  bool lastApplyStarted_ = false;
};

struct AdapterSessionOptions {
  std::string programIniPath;  // empty: DefaultProgramIniPath()
  // The wireless service (empty: the socket client of the default service path).
  std::shared_ptr<wlan::WlanService> service;
};

class AdapterSession {
 public:
  explicit AdapterSession(AdapterSessionOptions options);
  ~AdapterSession();
  AdapterSession(const AdapterSession&) = delete;
  AdapterSession& operator=(const AdapterSession&) = delete;

  // Finds the adapter as the utility does, accepting one that is still starting after the same
  // number of attempts the monitor makes.
  bool Discover();
  const AdapterInfo& Adapter() const { return adapter_; }

  // The part of the monitor's adapter set-up that applying needs: the profile store, the queue's
  // adapter facts (5 GHz and 802.11n capability, the radio switch, the driver's NDIS version),
  // the channel plan and the wireless interface, whose notifications come to the session's loop.
  // `dataDir` is the profile store's folder (ending in "/"); `sharedDataDir`: the service keeps
  // the profiles for all users. False with `error` set when the wireless service does not answer
  // or has no interface for the adapter. Sends no set to the driver.
  bool SetUp(const std::string& dataDir, bool sharedDataDir, std::string* error);

  bool RadioOn() const { return queue_->adapter().radioOn; }
  // The activation copies into the active configuration (otherwise it only names the profile).
  bool ActivationWritesStore() const;

  ProfileStore& Store() { return *store_; }
  ActionQueue& Queue() { return *queue_; }
  NativeWifiClient& Client() { return *client_; }
  SecretCodec& Codec() { return codec_; }
  OidChannel& Driver() { return channel_; }

  // The radio button's work: the interface's software radio, the adapter parameter "Radio"
  // ("1" off, "0" on) through the broker, and a scan when it comes on. False, with `failure` set,
  // when the parameter does not say so afterwards (the write and its forwarding both failed).
  bool SwitchRadio(bool on, std::string* failure);

  // Waits for the end of the connection the queue started: 0x401 applies the deferred
  // thresholds and power saving (as the monitor does) and ends the wait connected; 0x40A and
  // 0x40B end it failed. Then lets the driver's retried sets finish within the same limit.
  ConnectionOutcome WaitForConnection(std::chrono::milliseconds limit);

  // A scan as the survey's Rescan asks for it, and the scan list the scan worker builds, copied
  // into `list` (kBssidListBufferSize bytes). False, with `error` set, when the service refuses
  // the scan, reports its failure or does not finish within `limit`.
  bool ScanAndWait(std::vector<uint8_t>& list, std::chrono::milliseconds limit, std::string* error);
  // Handles the loop's timers and messages for `duration` (a command that polls the driver
  // waits here between polls).
  void Pause(std::chrono::milliseconds duration);

 private:
  void OnMessage(const Message& message);

  AdapterSessionOptions options_;
  SessionLoop loop_;
  RegistryNetDeviceSource devices_;
  SocketDeviceIo deviceIo_;
  OidChannel channel_;
  AdapterInfo adapter_;
  bool isAdmin_ = false;
  OvEncryptSecretCodec codec_;
  std::unique_ptr<RegistryBroker> broker_;
  std::unique_ptr<NativeWifiClient> client_;
  std::unique_ptr<SessionConnection> connection_;
  std::unique_ptr<ProfileStore> store_;
  std::unique_ptr<ActionQueue> queue_;
  ConnectionWatch watch_;
  std::optional<ConnectionResult> result_;
};

// The data folder given with --data-dir, or the one the utility chooses.
DataDirectory ChosenDataDirectory(const std::optional<std::string>& option);
// [AuthEncry] "EncryptedPassword" of the program INI (on when missing).
bool EncryptPasswordsSetting();

// The wait of a real process for the service's answer: a connection takes well under a second
// (802.1X included); this only bounds a service that never answers.
inline constexpr std::chrono::milliseconds kConnectionWait{20000};

}  // namespace ov::cli
