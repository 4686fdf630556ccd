#include "shell/action_queue.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "driver/ndis_types.h"
#include "driver/oid/bssid_list.h"
#include "driver/oid/oid_requests.h"
#include "driver/params/adapter_params.h"
#include "driver/params/debug_trace.h"
#include "platform/registry/registry.h"
#include "platform/system/error_codes.h"
#include "shell/wps_credential_profile.h"

namespace ov {
namespace {

constexpr uint32_t kChannel14FrequencyKHz = 2484000;

// The inner method whose one-time passwords are asked for when the connection starts: a scan
// queued behind such a profile would take the prompt's place, so the scan waits.
constexpr uint32_t kOneTimePasswordMode = 0;

bool IsInfrastructureWep(const StationProfile& p) {
  return p.networkType == 1 && (p.authMode == kAuthOpen || p.authMode == kAuthShared) &&
         p.cipherMode == kCipherWep;
}

HtPhySettings SettingsOf(const HtPhyMode& mode) {
  HtPhySettings s;
  s.PhyMode = mode.PhyMode;
  s.TransmitNo = mode.TransmitNo;
  s.HtMode = mode.HtMode;
  s.MCS = mode.MCS;
  s.BW = mode.BW;
  s.STBC = mode.STBC;
  s.SHORTGI = mode.SHORTGI;
  return s;
}

NDIS_802_11_RATES RatesOf(const DesiredRateList& list) {
  NDIS_802_11_RATES rates;
  std::copy(list.begin(), list.end(), rates.Rates.begin());
  return rates;
}

}  // namespace

std::unique_ptr<StationProfile> CopyStationProfile(const StationProfile* record) {
  if (record == nullptr) return nullptr;
  return std::make_unique<StationProfile>(*record);
}

bool AdhocSsidVisible(std::span<const uint8_t> scanList, const NDIS_802_11_SSID& ssid) {
  const size_t length = std::min<size_t>(ssid.SsidLength, ssid.Ssid.size());
  for (std::span<const uint8_t> bytes : BssidListEntries(scanList)) {
    NDIS_WLAN_BSSID_EX entry;
    if (!DecodeNdisWlanBssidEx(bytes, entry)) continue;
    if (entry.InfrastructureMode != Ndis802_11IBSS) continue;
    // The lengths too: a profile "abc" must not join a network "abcd".
    if (entry.Ssid.SsidLength != length) continue;
    if (std::equal(ssid.Ssid.begin(), ssid.Ssid.begin() + length, entry.Ssid.Ssid.begin())) {
      return true;
    }
  }
  return false;
}

std::string HtPhyModeTraceLine(const HtPhySettings& s) {
  char line[160];
  std::snprintf(line, sizeof line,
                "ActionExec: PhyMode = %d, HtMode = %d, TransmitNo = %d, BW = %d, SHORTGI = %d, "
                "STBC = %d, MCS = %d\n",
                static_cast<int>(s.PhyMode), s.HtMode, s.TransmitNo, s.BW, s.SHORTGI, s.STBC,
                s.MCS);
  return line;
}

ActionQueue::ActionQueue(ActionQueueServices services) : services_(std::move(services)) {}

ActionQueue::~ActionQueue() { Clear(); }

void ActionQueue::Clear() {
  queue_.clear();
  currentProfile_.reset();
}

std::unique_ptr<StationProfile> ActionQueue::CurrentProfileForReapply() const {
  auto copy = CopyStationProfile(currentProfile_.get());
  if (copy) copy->radioApply = 0;
  return copy;
}

std::span<const uint8_t> ActionQueue::ScanList() const {
  return services_.scanList ? services_.scanList() : std::span<const uint8_t>{};
}

// ---- QueueAction ----

bool ActionQueue::QueueAction(uint32_t kind, std::unique_ptr<StationProfile> data) {
  if (kind == kActionApplyProfile) currentProfile_ = CopyStationProfile(data.get());

  bool merged = false;
  for (size_t i = queue_.size(); i-- > 0;) {
    ACTION_DATA& entry = queue_[i];
    if (entry.ActionKind == kActionScan && kind == kActionScan) {
      queue_.erase(queue_.begin() + static_cast<std::ptrdiff_t>(i));
    } else if (entry.ActionKind == kActionApplyProfile && kind == kActionApplyProfile) {
      if (!merged) {
        entry.Data = std::move(data);  // the older record is released here
        merged = true;
      } else {
        queue_.erase(queue_.begin() + static_cast<std::ptrdiff_t>(i));
      }
    }
  }
  if (!merged) queue_.push_back(ACTION_DATA{kind, std::move(data)});
  return RunNowAnswer();
}

bool ActionQueue::RunNowAnswer() const {
  if (queue_.empty()) return false;
  if (queue_.size() == 1) return true;
  if (queue_[0].ActionKind == kActionScan) return false;
  if (queue_[0].ActionKind != kActionApplyProfile || queue_[1].ActionKind != kActionScan) {
    return true;
  }
  const StationProfile* current = currentProfile_.get();
  return !(current != nullptr && current->passwordMode == kOneTimePasswordMode &&
           current->tunnelProtocol == kInnerGtc);
}

void ActionQueue::QueueScan() {
  if (QueueAction(kActionScan, nullptr)) ActionExec();
}

// ---- ActionExec ----

void ActionQueue::ActionExec() {
  // Nothing the queue calls runs a message loop; a nested call would only find the entries the
  // outer run takes next.
  if (running_) return;
  running_ = true;
  while (!queue_.empty()) {
    // The entry leaves the queue before it runs, so its record has exactly one owner throughout.
    ACTION_DATA entry = std::move(queue_.front());
    queue_.erase(queue_.begin());
    if (entry.ActionKind == kActionScan) {
      monitorBusy_ = true;
      // A request the service refused brings no completion to clear the flag.
      if (services_.client == nullptr || !services_.client->Scan()) monitorBusy_ = false;
      break;
    }
    if (entry.ActionKind == kActionApplyProfile) ApplyAction(std::move(entry.Data));
  }
  running_ = false;
  if (services_.runEnded) services_.runEnded();
}

void ActionQueue::CallWapi() {
  if (services_.wapi == nullptr) return;
  services_.wapi->AccessUserCancel();
  services_.wapi->DisAssociate();
}

void ActionQueue::ApplyAction(std::unique_ptr<StationProfile> record) {
  if (!adapter_.radioOn) return;  // dropped: the record is released unapplied
  if (adapter_.wapiSupported) CallWapi();
  if (!record) return;
  StationProfile& p = *record;
  OidRequester* driver = services_.driver;

  if (adapter_.htCapable && driver != nullptr && !radio_.transmitSetting) {
    // The word was never composed (the radio was off at set-up): start from what the driver
    // uses rather than from zeros.
    HtPhyMode answer;
    if (QueryHtPhyMode(*driver, answer)) {
      radio_.transmitSetting = EncodeTransmitSetting(SettingsOf(answer), answer.Byte6);
    }
  }
  if (p.channelFrequency == kChannel14FrequencyKHz && radio_.transmitSetting) {
    *radio_.transmitSetting &= ~kTransmitSettingBandwidthBit;  // no 40 MHz on channel 14
  }
  if (adapter_.htCapable && driver != nullptr && radio_.transmitSetting) SendHtPhyMode();

  if (driver != nullptr) {
    if (p.radioApply != 0) {
      SendRadioSettings(p);
    } else {
      ResendRadioSettings();
    }
  }
  if (p.connectRequested == 1 && p.ssid.SsidLength != 0) Connect(p);
  if (IsInfrastructureWep(p) && services_.monitorTimers != nullptr) {
    services_.monitorTimers->start(kTimerExtraTick, kTimerExtraTickMs);
  }
}

void ActionQueue::SendHtPhyMode() {
  const HtPhySettings settings = DecodeTransmitSetting(*radio_.transmitSetting);
  if (services_.appendDebugTraceFile) {
    services_.appendDebugTraceFile(HtPhyModeTraceLine(settings));
  }
  // Read, overwrite the managed fields, write back: bytes 6 and 11 stay the driver's.
  UpdateHtPhyMode(*services_.driver, settings);
}

void ActionQueue::SendRadioSettings(StationProfile& p) {
  OidRequester& d = *services_.driver;
  const WirelessMode mode = radio_.plan.wirelessMode;
  if (p.skipPhyMode == 0) SetPhyMode(d, mode);

  StaConfig block;
  DecodeStaConfig(p.staConfigBlock, block);
  block.Offset24 = 0;
  p.staConfigBlock = EncodeStaConfig(block);
  SetStaConfig(d, block);

  const RegionState& region = radio_.plan.region;
  if (region.regionChangeable24 || region.regionChangeable5) {
    SetCountryRegion(d, p.countryRegion & 0xFF, (p.countryRegion >> 8) & 0xFF,
                     region.regionChangeable24, region.regionChangeable5);
    RunChannelPlan();
  }
  if (!SkipsDesiredRates(mode)) SetDesiredRates(d, RatesOf(p.desiredRates));
  SetCcxControl(d, p.useBssid == 1 ? 0 : 1, p.ccx2Control);
  SetWpsWirelessMode(d, static_cast<uint32_t>(wps_.Settings.WirelessMode));
}

void ActionQueue::ResendRadioSettings() {
  OidRequester& d = *services_.driver;
  if (!radio_.staConfig) {
    // Never loaded (the radio was off at set-up): send back the driver's own record, never a
    // record of zeros over the fields this program does not manage.
    StaConfig fromDriver;
    if (QueryStaConfig(d, fromDriver)) radio_.staConfig = fromDriver;
  }
  if (radio_.staConfig) {
    radio_.staConfig->Offset24 = 0;
    SetStaConfig(d, *radio_.staConfig);
  }
  const RegionState& region = radio_.plan.region;
  if (region.regionChangeable24 || region.regionChangeable5) {
    SetCountryRegion(d, region.regionWord & kRegionCodeMask,
                     (region.regionWord >> 8) & kRegionCodeMask, region.regionChangeable24,
                     region.regionChangeable5);
    RunChannelPlan();
  }
  SetDesiredRates(d, RatesOf(ReapplyDesiredRates(radio_.plan.wirelessMode,
                                                 radio_.transmitSetting.value_or(0))));
}

void ActionQueue::RunChannelPlan() {
  if (services_.driver == nullptr || services_.registry == nullptr) return;
  ChannelPlanInputs inputs;
  inputs.chipFamily = adapter_.chipFamily;
  inputs.showCountryRegion = adapter_.showCountryRegion;
  inputs.aBandCapable = adapter_.aBandCapable;
  inputs.htCapable = adapter_.htCapable;
  RunChannelPlanCheck(*services_.driver, *services_.registry, adapter_.adapterKeyPath, inputs,
                      radio_.plan);
}

void ActionQueue::Connect(StationProfile& p) {
  const bool join = p.networkType == 0 && AdhocSsidVisible(ScanList(), p.ssid);
  if (services_.client != nullptr) {
    services_.client->ApplyProfile(static_cast<uint32_t>(wps_.WpsProfileInUse), p, join,
                                   services_.certificateManager);
  }
  // The connection may have changed the driver's CCX options: send the adapter's word again.
  // Without a readable word nothing is sent, as everywhere the word is missing.
  if (services_.driver == nullptr) return;
  if (auto word = ReadWordParam(adapter_.adapterKeyPath, param::kCcx2Control)) {
    SetCcxControl(*services_.driver, 1, *word);
  }
}

// ---- LoadRadioSettings ----

bool ActionQueue::LoadRadioSettings(StationProfile& record, uint32_t radioApply,
                                    uint32_t radioValue) {
  const std::string& key = adapter_.adapterKeyPath;
  {
    RegKey adapterKey;
    if (adapterKey.open(HKEY_LOCAL_MACHINE, key, KEY_READ) != ERROR_SUCCESS) {
      DebugTrace("RegOpenKeyEx '%s' failed\n", key.c_str());
      return false;
    }
  }
  if (auto word = ReadWordParam(key, param::kCcx2Control)) record.ccx2Control = *word;

  StaConfig block;
  DecodeStaConfig(record.staConfigBlock, block);
  if (radioApply == 0) {
    record.radioApply = 0;
  } else {
    record.skipPhyMode = radioValue;
    record.radioApply = 1;
    const WirelessMode mode = ReadWirelessMode(key, radio_.plan.wirelessMode,
                                               adapter_.aBandCapable, adapter_.htCapable);
    radio_.plan.wirelessMode = mode;

    if (adapter_.htCapable && services_.driver != nullptr) {
      HtPhyMode answer;
      QueryHtPhyMode(*services_.driver, answer);  // a failed query reads as zeros
      radio_.transmitSetting =
          ComposeTransmitSetting(ReadTransmitSetting(key), radio_.transmitSetting.value_or(0),
                                 mode, answer.Byte6);
    }

    if (services_.driver != nullptr) QueryStaConfig(*services_.driver, block);
    block.AdhocRateMode = WirelessModeToAdhocRateMode(mode, block.AdhocRateMode);

    // A band whose value is missing keeps the region the driver answered, never region 0.
    const CountryRegionCodes regions = ReadCountryRegions(key, radio_.plan.region.regionWord);
    record.countryRegion = regions.region24 + 256 * regions.region5;

    if (auto v = ReadDecimalParam(key, param::kTxBurst)) block.TxBurst = static_cast<uint32_t>(*v);
    if (auto v = ReadDecimalParam(key, param::kTurboRate)) {
      block.TurboRate = static_cast<uint32_t>(*v);
    }
    if (auto v = ReadDecimalParam(key, param::kBgProtection)) {
      block.BgProtection = (mode == WIRELESS_MODE_BG_MIXED || mode == WIRELESS_MODE_ABG_MIXED)
                               ? static_cast<uint32_t>(*v)
                               : 0;
    }
    if (auto v = ReadDecimalParam(key, param::kShortSlot)) {
      block.ShortSlot = static_cast<uint32_t>(*v);
    }
    record.desiredRates = DesiredRatesForTransRate(mode, ReadDecimalParam(key, param::kTransRate),
                                                   radio_.transmitSetting.value_or(0));
    radio_.staConfig = block;
  }

  // Every activation rewrites "AdhocOfdm" from the process-wide mode.
  block.AdhocRateMode =
      WirelessModeToAdhocRateMode(radio_.plan.wirelessMode, block.AdhocRateMode);
  record.staConfigBlock = EncodeStaConfig(block);
  if (services_.registry != nullptr) {
    WriteDecimalParam(*services_.registry, key, param::kAdhocOfdm,
                      static_cast<int32_t>(block.AdhocRateMode));
  }
  return true;
}

// ---- WPS credential and active configuration ----

bool ActionQueue::ApplyWpsCredential() {
  wps_.WpsProfileInUse = 1;
  ClampWpsCredentialTable(wps_.Table);
  const uint32_t count = wps_.Table.Count;
  if (count == 0) return false;
  if (adapter_.wapiSupported) CallWapi();

  ActivationState& a = activation_;
  // The table may have shrunk since the indexes were set: they pick credentials below the count.
  if (a.AppliedCredentialIndex >= count) a.AppliedCredentialIndex = 0;
  if (a.NextCredentialIndex >= count) a.NextCredentialIndex = 0;
  if (a.CredentialCycling) {
    a.AppliedCredentialIndex = a.NextCredentialIndex;
  } else {
    a.NextCredentialIndex = a.AppliedCredentialIndex;
  }

  const WpsCredential& credential = wps_.Table.Credentials[a.AppliedCredentialIndex];
  const int32_t psMode = ReadDecimalParamOr(adapter_.adapterKeyPath, param::kPsMode);
  // With the radio off the profile is dropped unapplied, and so is its access point.
  if (services_.driver != nullptr && adapter_.radioOn) {
    SetDesiredBssidList(*services_.driver, credential.MacAddr);
  }
  const uint32_t frequency = FindChannelFrequency(
      ScanList(), static_cast<uint32_t>(wps_.Settings.Channel), credential.MacAddr);
  auto record = std::make_unique<StationProfile>(BuildProfileFromCredential(
      credential, static_cast<uint32_t>(std::max(psMode, 0)), frequency));

  if (QueueAction(kActionApplyProfile, std::move(record))) ActionExec();
  if (a.CredentialCycling) a.NextCredentialIndex = (a.NextCredentialIndex + 1) % count;
  return true;
}

void ActionQueue::ApplyActiveConfiguration(uint32_t radioApply, uint32_t force,
                                           uint32_t radioValue) {
  wps_.WpsProfileInUse = 0;
  auto record = std::make_unique<StationProfile>();
  if (services_.store != nullptr) LoadWpsStore(*services_.store, services_.secretCodec, wps_);
  LoadRadioSettings(*record, radioApply, radioValue);

  activation_.StationProfileInUse = 0;
  if (wps_.WpsProfileInUse != 0) {
    activation_.CredentialCycling = true;
    if (wps_.Table.Count != 0) {
      ApplyWpsCredential();
      if (services_.monitorTimers != nullptr) {
        services_.monitorTimers->start(kTimerWpsCheck, kTimerWpsCheckMs);
      }
    }
  } else {
    activation_.StationProfileInUse = 1;
    if (services_.store != nullptr) {
      ActiveProfileContext context;
      context.isAdmin = adapter_.isAdmin;
      context.allowStandardUserSetProfile = adapter_.allowStandardUserSetProfile;
      context.selectedProfileName = activation_.SelectedProfileName;
      context.wpaReady = adapter_.wpaReady;
      context.ndisVersion = adapter_.ndisVersion;
      context.rememberAdhocBssid = services_.rememberAdhocBssid;
      LoadActiveProfile(*services_.store, context, *record);
    }
  }

  const bool connected = services_.client != nullptr && services_.client->IsConnected();
  record->connectRequested = (wps_.WpsProfileInUse == 1 || (connected && force == 0)) ? 0 : 1;
  if (QueueAction(kActionApplyProfile, std::move(record))) ActionExec();
}

}  // namespace ov
