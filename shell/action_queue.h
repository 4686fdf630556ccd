#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "driver/chip_family.h"
#include "driver/oid_requester.h"
#include "driver/params/registry_writer.h"
#include "nativewifi/certificate_manager.h"
#include "nativewifi/station_profile.h"
#include "platform/time/window_timers.h"
#include "profiles/load_active_profile.h"
#include "profiles/profile_store.h"
#include "profiles/secret_codec.h"
#include "shell/connection_client.h"
#include "shell/radio_settings.h"
#include "wps/wps_store.h"

// The action queue: the one road by which scans and profile applications reach the adapter.
// Requesters queue an action and, when the queue answers true, run it at once with ActionExec,
// on the user-interface thread; a scan ends a run so that what is queued behind it waits for the
// next one. A StationProfile handed to the queue is the queue's from then on: it is released
// exactly once, when it has been applied, replaced by a newer apply action, dropped because the
// radio is off, or when the queue is emptied.
namespace ov {

enum ActionKind : uint32_t {
  kActionScan = 0,
  kActionApplyProfile = 1,
};

// One queued action: its kind and, for an apply action, the record it owns (null for a scan).
struct ACTION_DATA {
  uint32_t ActionKind = kActionScan;
  std::unique_ptr<StationProfile> Data;
};

// The deep copy every requester that copies CurrentProfile uses (null gives null). The record
// owns its key blocks and blob, so the copy shares nothing with the original.
std::unique_ptr<StationProfile> CopyStationProfile(const StationProfile* record);

// 1 when the scan list holds an IBSS with exactly this SSID: an ad hoc profile then joins it
// instead of starting a network of its own. "abc" does not match a visible "abcd".
bool AdhocSsidVisible(std::span<const uint8_t> scanList, const NDIS_802_11_SSID& ssid);

// The trace line of the HT PHY mode set, with its seven values.
std::string HtPhyModeTraceLine(const HtPhySettings& settings);

// The process-wide state of where the current connection came from.
struct ActivationState {
  // The activated profile for a user whose activation does not copy into the active
  // configuration.
  std::string SelectedProfileName;
  // 1 after a profile was activated from the profile list and while the last
  // ApplyActiveConfiguration loaded a station profile.
  int32_t StationProfileInUse = 0;
  // The credential applied last and the one to apply next; both stay below the table's count.
  uint32_t AppliedCredentialIndex = 0;
  uint32_t NextCredentialIndex = 0;
  // Set while the WPS logic tries the credentials one after another.
  bool CredentialCycling = false;
};

// The adapter and program facts the queue reads (owned by the monitor, refreshed at adapter
// set-up).
struct AdapterContext {
  std::string adapterKeyPath;
  int32_t chipFamily = CHIP_FAMILY_NONE;
  bool htCapable = false;
  bool aBandCapable = false;
  bool radioOn = false;
  bool wapiSupported = false;
  bool showCountryRegion = false;  // program INI option, for the channel-plan check
  // What loading the active profile reads besides the store (the selected profile name comes
  // from ActivationState).
  bool isAdmin = false;
  bool allowStandardUserSetProfile = false;
  bool wpaReady = false;
  uint16_t ndisVersion = 0;
};

// The monitor's timers the queue starts.
inline constexpr int kTimerExtraTick = 3;      // after an infrastructure WEP profile
inline constexpr uint32_t kTimerExtraTickMs = 10000;
inline constexpr int kTimerWpsCheck = 4;       // after the WPS credential was applied
inline constexpr uint32_t kTimerWpsCheckMs = 10000;

// The outside things the queue talks to. The references must outlive the queue; the pointers
// may be null while the thing does not exist (no client yet, no monitor window, no WAPI).
struct ActionQueueServices {
  OidRequester* driver = nullptr;
  RegistryWriter* registry = nullptr;
  ConnectionClient* client = nullptr;
  WapiControl* wapi = nullptr;
  CertificateManager* certificateManager = nullptr;
  WindowTimers* monitorTimers = nullptr;  // the monitor window's timers
  ProfileStore* store = nullptr;
  SecretCodec* secretCodec = nullptr;     // the WPS keys, as the store's secrets
  // The monitor's scan list (BssidListBuffer).
  std::function<std::span<const uint8_t>()> scanList;
  // Appends to the debug trace file; it writes only when [Advance] "OpenFile" is "1".
  std::function<void(std::string_view)> appendDebugTraceFile;
  // Resets the advanced page's pending-apply code when a run ends.
  std::function<void()> runEnded;
  // An ad hoc profile is being loaded: remember the current connection's BSSID.
  std::function<void()> rememberAdhocBssid;
};

class ActionQueue {
 public:
  explicit ActionQueue(ActionQueueServices services);
  ~ActionQueue();
  ActionQueue(const ActionQueue&) = delete;
  ActionQueue& operator=(const ActionQueue&) = delete;

  // Adds or merges an action and answers whether the caller should run the queue now. An apply
  // action first replaces CurrentProfile by a copy of `data`, then takes the place of the last
  // queued apply action (the older ones are released); a scan removes the queued scans and is
  // appended.
  bool QueueAction(uint32_t kind, std::unique_ptr<StationProfile> data);

  // Runs the queue from its head until it is empty or a scan was started.
  void ActionExec();

  // QueueAction(scan), and the run when it says so.
  void QueueScan();

  // Converts the credential to apply into a profile and queues it; false when the table is
  // empty.
  bool ApplyWpsCredential();

  // Loads the active configuration (the radio settings, then the WPS credential or the active
  // station profile) and queues it.
  void ApplyActiveConfiguration(uint32_t radioApply, uint32_t force, uint32_t radioValue);

  // Fills a zeroed record's radio fields from the adapter parameters; false when the adapter key
  // does not open.
  bool LoadRadioSettings(StationProfile& record, uint32_t radioApply, uint32_t radioValue);

  // Empties the queue, releasing every record, and releases CurrentProfile (the monitor's end).
  void Clear();

  // The channel-plan check into radio().plan: the driver's region word with its two
  // RegionChangeable flags, the normalised "WirelessMode", the allowed channels and "Channel".
  // Adapter set-up runs it before the first activation; the queue runs it after every
  // country-region set.
  void RunChannelPlan();

  // The copy of the record of the most recent apply action queued; null before the first.
  const StationProfile* CurrentProfile() const { return currentProfile_.get(); }
  // A copy of it with RadioApply 0, to requeue (null when there is none).
  std::unique_ptr<StationProfile> CurrentProfileForReapply() const;

  // Set while a scan started by the queue has not completed; the monitor clears it on the scan's
  // completion or failure.
  bool MonitorBusy() const { return monitorBusy_; }
  void ClearMonitorBusy() { monitorBusy_ = false; }

  const std::vector<ACTION_DATA>& Queue() const { return queue_; }

  AdapterContext& adapter() { return adapter_; }
  RadioSettingsState& radio() { return radio_; }
  ActivationState& activation() { return activation_; }
  WpsStoreState& wps() { return wps_; }
  const ActionQueueServices& services() const { return services_; }
  ActionQueueServices& services() { return services_; }

 private:
  bool RunNowAnswer() const;
  // One apply action; the record is released when this returns.
  void ApplyAction(std::unique_ptr<StationProfile> record);
  void SendHtPhyMode();
  void SendRadioSettings(StationProfile& p);
  void ResendRadioSettings();
  void Connect(StationProfile& p);
  void CallWapi();
  std::span<const uint8_t> ScanList() const;

  ActionQueueServices services_;
  AdapterContext adapter_;
  RadioSettingsState radio_;
  ActivationState activation_;
  WpsStoreState wps_;
  std::vector<ACTION_DATA> queue_;
  std::unique_ptr<StationProfile> currentProfile_;
  bool monitorBusy_ = false;
  bool running_ = false;
};

}  // namespace ov
