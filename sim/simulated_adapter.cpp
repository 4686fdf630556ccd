#include "sim/simulated_adapter.h"

#include "driver/params/channel_plan.h"

#include <algorithm>

#include "driver/channel_frequency.h"
#include "driver/chip_family.h"
#include "driver/oid/oid_constants.h"
#include "driver/wireless_mode.h"

namespace ov::sim {

namespace {

template <size_t N>
std::vector<uint8_t> Bytes(const std::array<uint8_t, N>& record) {
  return std::vector<uint8_t>(record.begin(), record.end());
}

std::vector<uint8_t> U32(uint32_t value) {
  return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
          static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
}

uint32_t GetU32(std::span<const uint8_t> bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

bool IsUnicastPeer(const MacAddress& mac) { return mac != MacAddress{} && (mac[0] & 0x01) == 0; }

// The record's first byte count (0 for family 2 and 3 drivers, which answer nothing useful).
constexpr uint32_t kEepromSize = 0x400;
constexpr uint32_t kRfRegisterCount = 64;

}  // namespace

struct SimulatedAdapter::QueryEntry {
  uint32_t oid;
  bool htOnly;  // only the 802.11n generation's driver answers it
  uint32_t (SimulatedAdapter::*answer)(std::span<const uint8_t>, Record&);
};

struct SimulatedAdapter::SetEntry {
  uint32_t oid;  // unmarked
  uint32_t size;
  bool htOnly;
  uint32_t (SimulatedAdapter::*apply)(std::span<const uint8_t>);
};

const std::vector<SimulatedAdapter::QueryEntry>& SimulatedAdapter::QueryTable() {
  using A = SimulatedAdapter;
  static const std::vector<QueryEntry> table = {
      {OID_GEN_DRIVER_VERSION, false, &A::queryDriverVersion},
      {OID_GEN_RCV_NO_BUFFER, false, &A::queryRcvNoBuffer},
      {OID_802_3_CURRENT_ADDRESS, false, &A::queryAddress},
      {OID_802_11_SSID, false, &A::querySsid},
      {OID_DOT11_SUPPORTED_PHY_TYPES, false, &A::querySupportedPhyTypes},
      {OID_DOT11_CURRENT_ADDRESS, false, &A::queryAddress},
      {OID_VND_COUNTRY_REGION.query, false, &A::queryCountryRegion},
      {OID_VND_EEPROM_VERSION.query, false, &A::queryEepromVersion},
      {OID_VND_FIRMWARE_VERSION.query, false, &A::queryFirmwareVersion},
      {OID_VND_TX_POWER.query, false, &A::queryTxPower},
      {OID_VND_REGISTER.query, false, &A::queryRegister},
      {OID_VND_LINK_STATUS.query, false, &A::queryLinkStatus},
      {OID_VND_NOISE.query, false, &A::queryNoise},
      {OID_VND_DRIVER_STATISTICS.query, false, &A::queryStatistics},
      {OID_VND_EXTRA_INFO.query, false, &A::queryExtraInfo},
      {OID_VND_LAST_RX_RATE.query, false, &A::queryLastRxRate},
      {OID_VND_RSSI0.query, false, &A::queryRssi0},
      {OID_VND_RSSI1.query, false, &A::queryRssi1},
      {OID_VND_OP_MODE.query, false, &A::queryOpMode},
      {OID_VND_LAST_TX_RATE.query, false, &A::queryLastTxRate},
      {OID_VND_RSSI2.query, false, &A::queryRssi2},
      {OID_VND_SNR0.query, true, &A::querySnr0},
      {OID_VND_SNR1.query, true, &A::querySnr1},
      {OID_VND_BA_TABLE.query, true, &A::queryBlockAckTable},
      {OID_VND_HT_OPTIONS.query, true, &A::queryHtOptions},
      {OID_VND_HT_PHY_MODE.query, true, &A::queryHtPhyMode},
      {OID_VND_PEER_TABLE.query, true, &A::queryPeerTable},
      {OID_VND_WPS_STATUS.query, false, &A::queryWpsStatus},
      {OID_VND_WPS_PROFILE_TABLE.query, false, &A::queryWpsProfileTable},
      {OID_VND_WPS_PBC_STARTED.query, false, &A::queryWpsPbcStarted},
      {OID_VND_CONFIGURATION.query, false, &A::queryConfiguration},
      {OID_VND_STA_CONFIG.query, false, &A::queryStaConfig},
      {OID_VND_AP_IP_ADDRESS.query, false, &A::queryApIpAddress},
      {OID_VND_WMM_FLAGS.query, false, &A::queryWmmFlags},
      {OID_VND_DLS_TABLE.query, false, &A::queryDlsTable},
      {OID_VND_WPS_CHANNEL.query, false, &A::queryWpsChannel},
      {OID_VND_CCX_TSPEC.query, false, &A::queryCcxTspec},
      {OID_VND_NIC_READY.query, false, &A::queryNicReady},
  };
  return table;
}

const std::vector<SimulatedAdapter::SetEntry>& SimulatedAdapter::SetTable() {
  using A = SimulatedAdapter;
  static const std::vector<SetEntry> table = {
      {OID_802_11_SSID, kNdis80211SsidSize, false, &A::setSsid},
      {OID_802_11_DISASSOCIATE, 0, false, &A::setKeep},
      {OID_802_11_DESIRED_RATES, kNdisRatesSize, false, &A::setKeep},
      {OID_DOT11_RTS_THRESHOLD, 4, false, &A::setKeep},
      {OID_DOT11_FRAGMENTATION_THRESHOLD, 4, false, &A::setKeep},
      {OID_DOT11_FLUSH_BSS_LIST, 0, false, &A::setKeep},
      {OID_DOT11_POWER_MGMT_REQUEST, 4, false, &A::setKeep},
      {OID_DOT11_DESIRED_BSSID_LIST, kDot11BssidListSize, false, &A::setDesiredBssidList},
      {OID_DOT11_DISCONNECT_REQUEST, 0, false, &A::setKeep},
      {OID_VND_PHY_MODE.set, 4, false, &A::setPhyMode},
      {OID_VND_COUNTRY_REGION.set, 4, false, &A::setCountryRegion},
      {OID_VND_TX_POWER.set, 4, false, &A::setTxPower},
      {OID_VND_REGISTER.set, kRegisterAccessSize, false, &A::setRegister},
      {OID_VND_RESET_COUNTERS.set, 0, false, &A::setResetCounters},
      {OID_VND_OP_MODE.set, 4, false, &A::setOpMode},
      {OID_VND_BA_TABLE.set, kBlockAckRequestSize, true, &A::setAddBlockAck},
      {OID_VND_HT_OPTIONS.set, kHtOptionsSize, true, &A::setHtOptions},
      {OID_VND_DELETE_BA.set, kBlockAckRequestSize, true, &A::setDeleteBlockAck},
      {OID_VND_HT_PHY_MODE.set, kHtPhyModeSize, true, &A::setHtPhyMode},
      {OID_VND_WPS_START.set, kWpsStartSize, false, &A::setWpsStart},
      {OID_VND_WPS_ASSOC_IE.set, 4, false, &A::setKeep},
      {OID_VND_WPS_PROBE_IE.set, 4, false, &A::setKeep},
      {OID_VND_WPS_PROFILE_TABLE.set, kWpsCredentialTableSize, false, &A::setWpsProfileTable},
      {OID_VND_CONNECT_FLAG.set, 4, false, &A::setKeep},
      {OID_VND_CONFIGURATION.set, kNdis80211ConfigurationSize, false, &A::setConfiguration},
      {OID_VND_WPS_AUTO_SELECT.set, 4, false, &A::setKeep},
      {OID_VND_PREAMBLE.set, 4, false, &A::setKeep},
      {OID_VND_STA_CONFIG.set, kStaConfigSize, false, &A::setStaConfig},
      {OID_VND_CCX_CONTROL.set, 4, false, &A::setKeep},
      {OID_VND_WMM_FLAGS.set, 4, false, &A::setWmmFlags},
      {OID_VND_WMM_BYTE_SWITCH.set, 1, false, &A::setKeep},
      {OID_VND_DLS_ENABLE.set, 4, false, &A::setDlsEnable},
      {OID_VND_DLS_TABLE.set, kDlsEntrySize, false, &A::setDlsEntry},
      {OID_VND_WPS_WIRELESS_MODE.set, 4, false, &A::setKeep},
      {OID_VND_CCX_TSPEC.set, kCcxTspecSize, false, &A::setCcxTspec},
      {OID_VND_CCX_DIAG.set, 1, false, &A::setKeep},
  };
  return table;
}

std::vector<uint32_t> SimulatedAdapter::QueryOids() {
  std::vector<uint32_t> oids;
  for (const QueryEntry& e : QueryTable()) oids.push_back(e.oid);
  return oids;
}

std::vector<uint32_t> SimulatedAdapter::SetOids() {
  std::vector<uint32_t> oids;
  for (const SetEntry& e : SetTable()) oids.push_back(e.oid);
  return oids;
}

SimulatedAdapter::SimulatedAdapter(AdapterSpec spec, const SimClock& clock)
    : spec_(std::move(spec)), clock_(clock), signalDbm_(spec_.signalDbm) {
  std::lock_guard lock(mutex_);
  apStations_ = spec_.apStations;
  parameters_ = DefaultAdapterParameters(spec_);
  startMs_ = statisticsBaseMs_ = now();
  resetState();
}

void SimulatedAdapter::start(const AdapterParameters& parameters) {
  bool before = false;
  {
    std::lock_guard lock(mutex_);
    before = association_.has_value();
    parameters_ = parameters;
    startMs_ = statisticsBaseMs_ = now();
    resetState();
  }
  reportLink(before, false);
}

void SimulatedAdapter::reportLink(bool before, bool after) {
  if (before != after && linkObserver_) linkObserver_(after);
}

void SimulatedAdapter::setLinkObserver(std::function<void(bool associated)> observer) {
  std::lock_guard lock(mutex_);
  linkObserver_ = std::move(observer);
}

void SimulatedAdapter::resetState() {
  const AdapterParameters& p = parameters_;
  phyMode_ = p.wirelessMode;
  countryRegion_ = CountryRegion{static_cast<uint8_t>(p.countryRegion & kRegionCodeMask), false,
                                 static_cast<uint8_t>(p.countryRegionABand & kRegionCodeMask), false};
  txPower_ = 100;
  opMode_ = p.opMode;
  desiredSsid_ = NDIS_802_11_SSID{};

  configuration_ = NDIS_802_11_CONFIGURATION{};
  configuration_.Length = kNdis80211ConfigurationSize;
  configuration_.BeaconPeriod = 100;
  configuration_.DSConfig = ChannelToFrequency(p.channel);
  configuration_.FHConfig.Length = 16;

  staConfig_ = StaConfig{};
  staConfig_.TxBurst = p.txBurst;
  staConfig_.TurboRate = p.turboRate;
  staConfig_.BgProtection = p.bgProtection;
  staConfig_.ShortSlot = p.shortSlot;
  staConfig_.AdhocRateMode = WirelessModeToAdhocRateMode(p.wirelessMode, 0);
  // The driver's own words, which writers must hand back unchanged.
  staConfig_.Offset20 = 1;
  staConfig_.Offset28 = 100;

  // MCS auto, 40 MHz, short guard interval, STBC, two transmit streams where there are two.
  htPhyMode_ = HtPhyMode{};
  htPhyMode_.PhyMode = static_cast<uint32_t>(p.wirelessMode);
  htPhyMode_.TransmitNo = spec_.receiveChains >= 2 ? 2 : 1;
  htPhyMode_.HtMode = 0;
  htPhyMode_.Byte6 = 1;
  htPhyMode_.MCS = kHtMcsAuto;
  htPhyMode_.BW = 1;
  htPhyMode_.STBC = 1;
  htPhyMode_.SHORTGI = 1;
  if (p.transmitSetting) {
    ApplyHtPhySettings(htPhyMode_, DecodeTransmitSetting(*p.transmitSetting));
    htPhyMode_.Byte6 = TransmitSettingByte6(*p.transmitSetting);
  }

  // Aggregation and A-MSDU on, automatic block-ack, windows of 32, no power save.
  htOptions_ = HtOptions{32, 32, HT_AGGREGATION_ON, 0, 1, 0, HT_SMPS_CODE_ENABLE, 1};
  if (p.baCapability) htOptions_ = DecodeBaCapability(*p.baCapability);

  blockAck_ = BlockAckTable{};
  dls_ = DlsTable{};
  dlsEnabled_ = p.wmmCapable && p.dlsCapable;
  wmmFlags_ = (p.apsdCapable ? 1u : 0u) | (p.apsdAc[0] ? 2u : 0u) | (p.apsdAc[1] ? 4u : 0u) |
              (p.apsdAc[2] ? 8u : 0u) | (p.apsdAc[3] ? 16u : 0u);
  wpsTable_ = WpsCredentialTable{};
  wpsStatus_ = 0;
  wpsRun_.reset();
  wpsRunDone_ = false;
  wpsChannel_ = 0;
  tspecBytes_ = {};

  macRegisters_.clear();
  bbpRegisters_.clear();
  rfRegisters_.clear();
  eeprom_.clear();
  // The EEPROM carries the station address and the 40 MHz permissions of the two bands (bit 8
  // for 2.4 GHz, bit 9 for 5 GHz; a set bit forbids).
  eeprom_[0x04] = static_cast<uint16_t>(spec_.mac[0] | spec_.mac[1] << 8);
  eeprom_[0x06] = static_cast<uint16_t>(spec_.mac[2] | spec_.mac[3] << 8);
  eeprom_[0x08] = static_cast<uint16_t>(spec_.mac[4] | spec_.mac[5] << 8);
  uint16_t bandwidth = 0;
  if (!isHt() || spec_.no40Mhz24) bandwidth |= 0x0100;
  if (!isHt() || !spec_.band5GHz || spec_.no40Mhz5) bandwidth |= 0x0200;
  eeprom_[kEepromBandwidthWordAddress] = bandwidth;

  lastSet_.clear();
  association_.reset();  // a restarted driver is not associated
}

bool SimulatedAdapter::radioOffByParameter() const {
  std::lock_guard lock(mutex_);
  return parameters_.radioOff;
}

bool SimulatedAdapter::isHt() const { return FamilySupportsHt(spec_.family); }

int64_t SimulatedAdapter::elapsedSinceStart() const { return std::max<int64_t>(0, now() - startMs_); }

uint64_t SimulatedAdapter::perSecond(uint32_t rate, int64_t sinceMs) const {
  int64_t elapsed = std::max<int64_t>(0, now() - sinceMs);
  return static_cast<uint64_t>(elapsed) * rate / 1000;
}

int32_t SimulatedAdapter::rssi(int chain) const { return signalDbm_ - chain * kChainStepDb; }

void SimulatedAdapter::setBusyFor(uint32_t ms) {
  std::lock_guard lock(mutex_);
  busyUntilMs_ = now() + ms;
}

void SimulatedAdapter::setSignal(int32_t dBm) {
  std::lock_guard lock(mutex_);
  signalDbm_ = dBm;
}

void SimulatedAdapter::setAssociation(std::optional<Association> association) {
  const bool after = association.has_value();
  bool before = false;
  {
    std::lock_guard lock(mutex_);
    before = association_.has_value();
    // Agreements and direct links belong to the link: a new link or none ends them.
    const bool newLink = !association || !association_ || association_->bssid != association->bssid;
    if (newLink) {
      blockAck_ = BlockAckTable{};
      dls_ = DlsTable{};
    }
    if (association) {
      if (!association_) associatedSinceMs_ = now();
      signalDbm_ = association->signalDbm;
      configuration_.DSConfig = association->frequencyKHz;
      desiredSsid_ = NDIS_802_11_SSID{};
      desiredSsid_.SsidLength = static_cast<uint32_t>(std::min<size_t>(association->ssid.size(), kNdisSsidMaxLength));
      std::copy_n(association->ssid.begin(), desiredSsid_.SsidLength, desiredSsid_.Ssid.begin());
    }
    association_ = std::move(association);
    if (newLink && association_) startAutomaticBlockAck();
  }
  reportLink(before, after);
}

// With aggregation on and automatic block-ack, an 802.11n link starts with an agreement each way
// for the best-effort TID.
void SimulatedAdapter::startAutomaticBlockAck() {
  if (!association_->ht || htOptions_.Aggregation != HT_AGGREGATION_ON || htOptions_.AutoBlockAck != 1) {
    return;
  }
  const auto window = [](uint8_t limit) { return limit == 0 || limit > 64 ? uint8_t{64} : limit; };
  addBlockAckSession(BlockAckRequest{BLOCK_ACK_ORIGINATOR, association_->bssid, 0, window(htOptions_.WindowLimitA), 0});
  addBlockAckSession(BlockAckRequest{BLOCK_ACK_RECIPIENT, association_->bssid, 0, window(htOptions_.WindowLimitB), 0});
}

std::optional<Association> SimulatedAdapter::association() const {
  std::lock_guard lock(mutex_);
  return association_;
}

void SimulatedAdapter::setRadio(bool softwareOn, bool hardwareOn) {
  bool before = false;
  bool after = false;
  {
    std::lock_guard lock(mutex_);
    before = association_.has_value();
    softwareRadioOn_ = softwareOn;
    hardwareRadioOn_ = hardwareOn;
    if (!softwareOn || !hardwareOn) association_.reset();
    after = association_.has_value();
  }
  reportLink(before, after);
}

uint64_t SimulatedAdapter::linkPerSecond(uint32_t rate, int64_t sinceMs) const {
  if (!association_) return 0;
  return perSecond(rate, std::max(sinceMs, associatedSinceMs_));
}

bool SimulatedAdapter::busy() const {
  std::lock_guard lock(mutex_);
  return now() < busyUntilMs_;
}

bool SimulatedAdapter::ready() const {
  std::lock_guard lock(mutex_);
  return elapsedSinceStart() >= spec_.startupDelayMs;
}

std::optional<std::vector<uint8_t>> SimulatedAdapter::lastSet(uint32_t oid) const {
  std::lock_guard lock(mutex_);
  auto it = lastSet_.find(oid);
  if (it == lastSet_.end()) return std::nullopt;
  return it->second;
}

uint32_t SimulatedAdapter::handleRequest(uint32_t controlCode, uint32_t oid,
                                         std::vector<uint8_t>& buffer, uint32_t* bytesReturned) {
  uint32_t status = 0;
  bool modeChanged = false;
  {
    std::lock_guard lock(mutex_);
    *bytesReturned = 0;
    if (controlCode != IOCTL_NDIS_QUERY_GLOBAL_STATS) return kStatusInvalidFunction;
    if ((oid & OidSetMask) != OidSetMask) return handleQuery(oid, buffer, bytesReturned);
    const uint32_t modeBefore = opMode_;
    status = handleSet(oid, buffer, bytesReturned);
    modeChanged = opMode_ != modeBefore;
  }
  // Outside the lock: the observer reaches the wireless service, which calls back into us.
  if (modeChanged && opModeObserver_) opModeObserver_();
  return status;
}

bool SimulatedAdapter::servesAccessPoint() const {
  std::lock_guard lock(mutex_);
  return opMode_ == 1;
}

void SimulatedAdapter::setOpModeObserver(std::function<void()> observer) {
  std::lock_guard lock(mutex_);
  opModeObserver_ = std::move(observer);
}

std::vector<ApStation> SimulatedAdapter::apStations() const {
  std::lock_guard lock(mutex_);
  return apStations_;
}

bool SimulatedAdapter::addApStation(const ApStation& station) {
  std::lock_guard lock(mutex_);
  if (apStations_.size() >= kMaxApStations) return false;
  for (const ApStation& s : apStations_) {
    if (s.mac == station.mac) return false;
  }
  apStations_.push_back(station);
  return true;
}

bool SimulatedAdapter::removeApStation(const MacAddress& mac) {
  std::lock_guard lock(mutex_);
  return std::erase_if(apStations_, [&](const ApStation& s) { return s.mac == mac; }) > 0;
}

uint32_t SimulatedAdapter::handleQuery(uint32_t oid, std::vector<uint8_t>& buffer,
                                       uint32_t* bytesReturned) {
  auto it = std::find_if(QueryTable().begin(), QueryTable().end(),
                         [oid](const QueryEntry& e) { return e.oid == oid; });
  if (it == QueryTable().end() || (it->htOnly && !isHt())) return kStatusNotSupported;
  Record record;
  if (uint32_t status = (this->*it->answer)(buffer, record)) return status;
  if (buffer.size() < record.size()) return kStatusInsufficientBuffer;
  std::copy(record.begin(), record.end(), buffer.begin());
  *bytesReturned = static_cast<uint32_t>(record.size());
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::handleSet(uint32_t markedOid, std::vector<uint8_t>& buffer,
                                     uint32_t* bytesReturned) {
  // The mark hides the OID's top bits; the settable OIDs' marked forms are all distinct.
  auto it = std::find_if(SetTable().begin(), SetTable().end(), [markedOid](const SetEntry& e) {
    return (e.oid | OidSetMask) == markedOid;
  });
  if (it == SetTable().end() || (it->htOnly && !isHt())) return kStatusNotSupported;
  if (now() < busyUntilMs_) return kStatusBusy;
  if (buffer.size() < it->size) return kStatusInsufficientBuffer;
  std::span<const uint8_t> payload(buffer.data(), it->size);
  if (uint32_t status = (this->*it->apply)(payload)) return status;
  lastSet_[it->oid] = std::vector<uint8_t>(payload.begin(), payload.end());
  *bytesReturned = it->size;
  return kStatusSuccess;
}

// ---- Queries ----

uint32_t SimulatedAdapter::queryDriverVersion(std::span<const uint8_t>, Record& r) {
  r = {static_cast<uint8_t>(kDriverNdisVersion & 0xFF), static_cast<uint8_t>(kDriverNdisVersion >> 8)};
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::queryRcvNoBuffer(std::span<const uint8_t>, Record& r) {
  r = U32(static_cast<uint32_t>(perSecond(kRxFramesPerSecond, startMs_) / 1000));
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::queryAddress(std::span<const uint8_t>, Record& r) {
  r.assign(spec_.mac.begin(), spec_.mac.end());
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::querySsid(std::span<const uint8_t>, Record& r) {
  NDIS_802_11_SSID ssid;  // empty while not associated
  if (association_) {
    ssid.SsidLength = static_cast<uint32_t>(std::min<size_t>(association_->ssid.size(), kNdisSsidMaxLength));
    std::copy_n(association_->ssid.begin(), ssid.SsidLength, ssid.Ssid.begin());
  }
  r = Bytes(EncodeNdisSsid(ssid));
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::querySupportedPhyTypes(std::span<const uint8_t>, Record& r) {
  DOT11_SUPPORTED_PHY_TYPES types;
  std::vector<uint32_t> list = {dot11_phy_type_dsss, dot11_phy_type_hrdsss, dot11_phy_type_erp};
  if (spec_.band5GHz) list.push_back(dot11_phy_type_ofdm);
  if (isHt()) list.push_back(dot11_phy_type_ht);
  for (size_t i = 0; i < list.size(); ++i) types.dot11PHYType[i] = list[i];
  types.uNumOfEntries = types.uTotalNumOfEntries = static_cast<uint32_t>(list.size());
  r = Bytes(EncodeDot11SupportedPhyTypes(types));
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::queryCountryRegion(std::span<const uint8_t>, Record& r) {
  r = U32(EncodeCountryRegionWord(countryRegion_));
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::queryEepromVersion(std::span<const uint8_t>, Record& r) {
  r = {1, 2, 0, 0};  // shown "1.2"
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::queryFirmwareVersion(std::span<const uint8_t>, Record& r) {
  if (!HasFirmwareVersion(spec_.family)) return kStatusNotSupported;
  r = {7, 1, 0, 0};  // shown "1.7"
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::queryTxPower(std::span<const uint8_t>, Record& r) {
  r = U32(static_cast<uint32_t>(txPower_));
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::queryRegister(std::span<const uint8_t> input, Record& r) {
  RegisterAccess access;
  if (!DecodeRegisterAccess(input, access)) return kStatusInsufficientBuffer;
  if (!registerAddressValid(access.kind, access.address)) return kStatusInvalidParameter;
  access.value = readRegister(access.kind, access.address);
  r = Bytes(EncodeRegisterAccess(access));
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::queryLinkStatus(std::span<const uint8_t>, Record& r) {
  LinkStatus status;
  status.CurrentTxRate = association_ ? association_->txRate : 0;
  status.LinkQuality = association_ ? association_->linkQuality : 0;
  status.TxByteCount = static_cast<uint32_t>(perSecond(kTxBytesPerSecond, startMs_) +
                                             linkPerSecond(kLinkTxBytesPerSecond, startMs_));
  status.RxByteCount = static_cast<uint32_t>(perSecond(kRxBytesPerSecond, startMs_) +
                                             linkPerSecond(kLinkRxBytesPerSecond, startMs_));
  status.CentralChannel = FrequencyToChannel(configuration_.DSConfig);
  auto bytes = EncodeLinkStatus(status);
  r.assign(bytes.begin(), bytes.begin() + LinkStatusSize(spec_.family));
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::queryNoise(std::span<const uint8_t>, Record& r) {
  r = U32(static_cast<uint32_t>(kNoiseFloorDbm + kNoiseRawOffset));
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::queryStatistics(std::span<const uint8_t>, Record& r) {
  uint64_t tx = perSecond(kTxFramesPerSecond, statisticsBaseMs_) +
                linkPerSecond(kLinkTxFramesPerSecond, statisticsBaseMs_);
  uint64_t rx = perSecond(kRxFramesPerSecond, statisticsBaseMs_) +
                linkPerSecond(kLinkRxFramesPerSecond, statisticsBaseMs_);
  DriverStatistics stats;
  stats.SetCounter(STAT_TX_SUCCESS, tx);
  stats.SetCounter(STAT_TX_FAIL_ALL_RETRIES, tx / 200);
  stats.SetCounter(STAT_TX_RETRIED, tx / 20);
  stats.SetCounter(STAT_RTS_SUCCESS, tx / 10);
  stats.SetCounter(STAT_RTS_FAILURE, tx / 500);
  stats.SetCounter(STAT_RX_DUPLICATE, rx / 300);
  stats.SetCounter(STAT_RX_CRC_ERROR, rx / 50);
  stats.SetCounter(STAT_RX_SUCCESS, rx);
  r = Bytes(EncodeDriverStatistics(stats));
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::queryExtraInfo(std::span<const uint8_t>, Record& r) {
  uint32_t code = EXTRA_INFO_LINK_DOWN;
  if (!hardwareRadioOn_) {
    code = EXTRA_INFO_HW_RADIO_OFF;
  } else if (parameters_.radioOff || !softwareRadioOn_) {
    code = EXTRA_INFO_SW_RADIO_OFF;
  } else if (association_) {
    code = EXTRA_INFO_LINK_UP;
  }
  r = U32(code);
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::queryLastRxRate(std::span<const uint8_t>, Record& r) {
  // Older families answer a legacy rate index (0 = 1 Mbit/s), the 802.11n ones a transmit
  // setting (OFDM 6 Mbit/s: the rate beacons come at).
  if (!IsHtGenerationForDisplay(spec_.family)) {
    r = U32(association_ ? 11 : 0);  // 54 Mbit/s on a link
  } else {
    r = U32(EncodeHtTransmitSetting(linkRateSetting()));
  }
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::queryLastTxRate(std::span<const uint8_t>, Record& r) {
  if (association_ && IsHtGenerationForDisplay(spec_.family)) {
    r = U32(EncodeHtTransmitSetting(linkRateSetting()));
    return kStatusSuccess;
  }
  uint8_t phy = IsHtGenerationForDisplay(spec_.family) ? HT_PHY_OFDM : HT_PHY_CCK;
  r = U32(EncodeHtTransmitSetting(HtTransmitSetting{0, 0, 0, 0, phy}));
  return kStatusSuccess;
}

HtTransmitSetting SimulatedAdapter::linkRateSetting() const {
  if (!association_) return HtTransmitSetting{0, 0, 0, 0, HT_PHY_OFDM};  // beacons' 6 Mbit/s
  // A legacy wireless mode talks OFDM even to an 802.11n access point.
  if (!association_->ht || !IsHtWirelessMode(phyMode_)) {
    return HtTransmitSetting{7, 0, 0, 0, HT_PHY_OFDM};  // 54 Mbit/s
  }
  // The transmit settings the utility sent: 40 MHz only where the access point and the EEPROM
  // allow it, a fixed MCS no higher than the link carries, the guard interval as set.
  const bool band5 = association_->frequencyKHz > 3000000;
  const uint16_t eeprom = eeprom_.count(kEepromBandwidthWordAddress) ? eeprom_.at(kEepromBandwidthWordAddress) : 0;
  const bool allowed40 = (eeprom & (band5 ? 0x0200 : 0x0100)) == 0;
  const bool forty = association_->fortyMhz && htPhyMode_.BW == 1 && allowed40;
  uint8_t mcs = association_->mcs;
  if (htPhyMode_.MCS == 32) {
    mcs = forty ? 32 : 0;
  } else if (htPhyMode_.MCS != kHtMcsAuto) {
    mcs = std::min(mcs, htPhyMode_.MCS);
  }
  return HtTransmitSetting{mcs, static_cast<uint8_t>(forty ? 1 : 0),
                           static_cast<uint8_t>(htPhyMode_.SHORTGI ? 1 : 0), 0, HT_PHY_HT_MIXED};
}

bool SimulatedAdapter::offersChannel(uint32_t channel) const {
  std::lock_guard lock(mutex_);
  const WirelessMode mode = phyMode_;
  const bool band5Mode = mode == 2 || mode == 3 || mode == 5 || mode == 8;
  const bool band24Mode = mode != 2 && mode != 8;
  // A family without a region table of a band offers every channel of it.
  const auto inRegion = [](const std::vector<uint32_t>& channels, uint32_t channel) {
    return channels.empty() || std::find(channels.begin(), channels.end(), channel) != channels.end();
  };
  if (channel <= 14) return band24Mode && inRegion(Channels24(spec_.family, countryRegion_.Region24), channel);
  return spec_.band5GHz && band5Mode && inRegion(Channels5(spec_.family, countryRegion_.Region5), channel);
}

uint32_t SimulatedAdapter::queryRssi0(std::span<const uint8_t>, Record& r) {
  r = U32(static_cast<uint32_t>(rssi(0)));
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::queryRssi1(std::span<const uint8_t>, Record& r) {
  if (spec_.receiveChains < 2) return kStatusNotSupported;
  r = U32(static_cast<uint32_t>(rssi(1)));
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::queryRssi2(std::span<const uint8_t>, Record& r) {
  if (spec_.receiveChains < 3) return kStatusNotSupported;
  r = U32(static_cast<uint32_t>(rssi(2)));
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::querySnr0(std::span<const uint8_t>, Record& r) {
  int32_t snr = std::clamp<int32_t>(rssi(0) - kNoiseFloorDbm, 0, kSnrMaxReported);
  r = U32(static_cast<uint32_t>(snr));
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::querySnr1(std::span<const uint8_t>, Record& r) {
  // A chain that is not there has no reading.
  int32_t snr = spec_.receiveChains < 2
                    ? static_cast<int32_t>(kSnrNoReading)
                    : std::clamp<int32_t>(rssi(1) - kNoiseFloorDbm, 0, kSnrMaxReported);
  r = U32(static_cast<uint32_t>(snr));
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::queryOpMode(std::span<const uint8_t>, Record& r) {
  r = U32(opMode_);
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::queryBlockAckTable(std::span<const uint8_t>, Record& r) {
  r = Bytes(EncodeBlockAckTable(blockAck_));
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::queryHtOptions(std::span<const uint8_t>, Record& r) {
  r = Bytes(EncodeHtOptions(htOptions_));
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::queryHtPhyMode(std::span<const uint8_t>, Record& r) {
  r = Bytes(EncodeHtPhyMode(htPhyMode_));
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::queryPeerTable(std::span<const uint8_t>, Record& r) {
  // The stations the driver keeps state for: the access point of the link, then the direct-link
  // peers, then any other peer of an agreement.
  PeerTable peers;
  const auto add = [&peers](const MacAddress& mac) {
    if (mac == MacAddress{} || peers.Count == PeerTable::kMaxEntries) return;
    for (uint32_t i = 0; i < peers.Count; ++i) {
      if (peers.Entries[i].Peer == mac) return;
    }
    peers.Entries[peers.Count++].Peer = mac;
  };
  if (association_) add(association_->bssid);
  for (const DlsEntry& e : dls_.Entries) {
    if (e.Wanted) add(e.Peer);
  }
  for (const BlockAckSide* side : {&blockAck_.Originator, &blockAck_.Recipient}) {
    for (const BlockAckEntry& e : *side) {
      if (e.TidBitmap != 0) add(e.Peer);
    }
  }
  r = Bytes(EncodePeerTable(peers));
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::queryWpsStatus(std::span<const uint8_t>, Record& r) {
  advanceWpsRun();
  r = U32(wpsStatus_);
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::queryWpsProfileTable(std::span<const uint8_t>, Record& r) {
  advanceWpsRun();
  r = Bytes(EncodeWpsCredentialTable(wpsTable_));
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::queryWpsPbcStarted(std::span<const uint8_t>, Record& r) {
  advanceWpsRun();
  r = U32(wpsRun_ && wpsRunByButton_ && !wpsRunDone_ ? 1 : 0);
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::queryConfiguration(std::span<const uint8_t>, Record& r) {
  r = Bytes(EncodeNdisConfiguration(configuration_));
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::queryStaConfig(std::span<const uint8_t>, Record& r) {
  r = Bytes(EncodeStaConfig(staConfig_));
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::queryApIpAddress(std::span<const uint8_t>, Record& r) {
  r = U32(0);  // unknown until associated
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::queryWmmFlags(std::span<const uint8_t>, Record& r) {
  r = U32(wmmFlags_);
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::queryDlsTable(std::span<const uint8_t>, Record& r) {
  r = Bytes(EncodeDlsTable(dls_));
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::queryWpsChannel(std::span<const uint8_t>, Record& r) {
  advanceWpsRun();
  r = U32(wpsChannel_);
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::queryCcxTspec(std::span<const uint8_t>, Record& r) {
  r = Bytes(tspecBytes_);
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::queryNicReady(std::span<const uint8_t>, Record& r) {
  r = U32(elapsedSinceStart() >= spec_.startupDelayMs ? 1 : 0);
  return kStatusSuccess;
}

// ---- Registers ----

bool SimulatedAdapter::registerAddressValid(uint32_t kind, uint32_t address) const {
  switch (kind) {
    case REGISTER_KIND_MAC:
      return address <= 0xFFFF;
    case REGISTER_KIND_BBP:
      return address <= 0xFF;
    case REGISTER_KIND_RF:
      return address < kRfRegisterCount;
    case REGISTER_KIND_EEPROM:
      return address < kEepromSize && address % 2 == 0;
    default:
      return false;
  }
}

uint32_t SimulatedAdapter::readRegister(uint32_t kind, uint32_t address) const {
  auto find = [address](const auto& store, uint32_t blank) -> uint32_t {
    auto it = store.find(address);
    return it == store.end() ? blank : it->second;
  };
  switch (kind) {
    case REGISTER_KIND_MAC:
      return find(macRegisters_, 0);
    case REGISTER_KIND_BBP:
      return find(bbpRegisters_, 0);
    case REGISTER_KIND_RF:
      return find(rfRegisters_, 0);
    default:
      return find(eeprom_, 0xFFFF);  // an unprogrammed word
  }
}

// ---- Sets ----

uint32_t SimulatedAdapter::setKeep(std::span<const uint8_t>) { return kStatusSuccess; }

uint32_t SimulatedAdapter::setSsid(std::span<const uint8_t> payload) {
  NDIS_802_11_SSID ssid;
  DecodeNdisSsid(payload, ssid);
  if (GetU32(payload) > kNdisSsidMaxLength) return kStatusInvalidParameter;
  // Remembered as the network to join; with nothing in range the adapter stays unassociated.
  desiredSsid_ = ssid;
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::setDesiredBssidList(std::span<const uint8_t> payload) {
  DOT11_BSSID_LIST list;
  DecodeDot11BssidList(payload, list);
  if (list.Header.Type != NDIS_OBJECT_TYPE_DEFAULT || list.uNumOfEntries > 1) {
    return kStatusInvalidParameter;
  }
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::setPhyMode(std::span<const uint8_t> payload) {
  uint32_t mode = GetU32(payload);
  if (mode > WIRELESS_MODE_BGN_MIXED) return kStatusInvalidParameter;
  phyMode_ = static_cast<WirelessMode>(mode);
  htPhyMode_.PhyMode = mode;
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::setCountryRegion(std::span<const uint8_t> payload) {
  CountryRegion wanted = DecodeCountryRegionWord(GetU32(payload));
  // A band whose region the hardware fixes keeps it.
  if (!countryRegion_.Fixed24) countryRegion_.Region24 = wanted.Region24;
  if (!countryRegion_.Fixed5) countryRegion_.Region5 = wanted.Region5;
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::setTxPower(std::span<const uint8_t> payload) {
  int32_t percent = static_cast<int32_t>(GetU32(payload));
  if (percent < -1 || percent > 100) return kStatusInvalidParameter;
  txPower_ = percent;
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::setRegister(std::span<const uint8_t> payload) {
  RegisterAccess access;
  DecodeRegisterAccess(payload, access);
  if (!registerAddressValid(access.kind, access.address)) return kStatusInvalidParameter;
  switch (access.kind) {
    case REGISTER_KIND_MAC:
      macRegisters_[access.address] = access.value;
      break;
    case REGISTER_KIND_BBP:
      if (access.value > 0xFF) return kStatusInvalidParameter;
      bbpRegisters_[access.address] = static_cast<uint8_t>(access.value);
      break;
    case REGISTER_KIND_RF:
      if (access.value > 0xFF) return kStatusInvalidParameter;
      rfRegisters_[access.address] = static_cast<uint8_t>(access.value);
      break;
    default:
      if (access.value > 0xFFFF) return kStatusInvalidParameter;
      eeprom_[access.address] = static_cast<uint16_t>(access.value);
      break;
  }
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::setResetCounters(std::span<const uint8_t>) {
  statisticsBaseMs_ = now();
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::setOpMode(std::span<const uint8_t> payload) {
  uint32_t mode = GetU32(payload);
  if (mode > 1) return kStatusInvalidParameter;
  opMode_ = mode;
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::setAddBlockAck(std::span<const uint8_t> payload) {
  BlockAckRequest request;
  DecodeBlockAckRequest(payload, request);
  if (request.Role > BLOCK_ACK_RECIPIENT || request.Tid > 7 || request.WindowSize == 0 ||
      request.WindowSize > 64 || !IsUnicastPeer(request.Peer) || request.Peer == spec_.mac ||
      htOptions_.Aggregation != HT_AGGREGATION_ON) {
    return kStatusInvalidParameter;
  }
  return addBlockAckSession(request);
}

uint32_t SimulatedAdapter::addBlockAckSession(const BlockAckRequest& request) {
  BlockAckSide& side = request.Role == BLOCK_ACK_ORIGINATOR ? blockAck_.Originator : blockAck_.Recipient;
  uint8_t& count = request.Role == BLOCK_ACK_ORIGINATOR ? blockAck_.OriginatorCount
                                                        : blockAck_.RecipientCount;
  // Entries are kept packed at the front, one per peer.
  auto entry = std::find_if(side.begin(), side.begin() + count,
                            [&](const BlockAckEntry& e) { return e.Peer == request.Peer; });
  if (entry == side.begin() + count) {
    if (count == kBlockAckEntriesPerSide) return kStatusInvalidParameter;
    *entry = BlockAckEntry{};
    entry->Peer = request.Peer;
    ++count;
  }
  entry->TidBitmap = static_cast<uint8_t>(entry->TidBitmap | 1u << request.Tid);
  entry->TidValue[request.Tid] = request.WindowSize;
  entry->TidWord[request.Tid] = 0;  // starting sequence number
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::setDeleteBlockAck(std::span<const uint8_t> payload) {
  BlockAckRequest request;
  DecodeBlockAckRequest(payload, request);
  if (request.Role > BLOCK_ACK_RECIPIENT || request.Tid > 7) return kStatusInvalidParameter;
  BlockAckSide& side = request.Role == BLOCK_ACK_ORIGINATOR ? blockAck_.Originator : blockAck_.Recipient;
  uint8_t& count = request.Role == BLOCK_ACK_ORIGINATOR ? blockAck_.OriginatorCount
                                                        : blockAck_.RecipientCount;
  auto entry = std::find_if(side.begin(), side.begin() + count,
                            [&](const BlockAckEntry& e) { return e.Peer == request.Peer; });
  if (entry == side.begin() + count) return kStatusSuccess;  // nothing to tear down
  if (request.DeleteAll) {
    entry->TidBitmap = 0;
  } else {
    entry->TidBitmap = static_cast<uint8_t>(entry->TidBitmap & ~(1u << request.Tid));
    entry->TidValue[request.Tid] = 0;
    entry->TidWord[request.Tid] = 0;
  }
  if (entry->TidBitmap == 0) {
    std::move(entry + 1, side.begin() + count, entry);
    --count;
    side[count] = BlockAckEntry{};
  }
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::setHtOptions(std::span<const uint8_t> payload) {
  DecodeHtOptions(payload, htOptions_);
  // Without aggregation there is nothing to acknowledge in blocks.
  if (htOptions_.Aggregation != HT_AGGREGATION_ON) blockAck_ = BlockAckTable{};
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::setHtPhyMode(std::span<const uint8_t> payload) {
  HtPhyMode mode;
  DecodeHtPhyMode(payload, mode);
  if (mode.PhyMode > WIRELESS_MODE_BGN_MIXED || (mode.MCS > 32 && mode.MCS != kHtMcsAuto) ||
      mode.BW > 1) {
    return kStatusInvalidParameter;
  }
  htPhyMode_ = mode;
  phyMode_ = static_cast<WirelessMode>(mode.PhyMode);
  return kStatusSuccess;
}

void SimulatedAdapter::setWpsWorld(std::vector<AccessPointSpec> world) {
  std::lock_guard lock(mutex_);
  wpsWorld_ = std::move(world);
}

void SimulatedAdapter::pressWpsButton() {
  std::lock_guard lock(mutex_);
  WpsStart start;
  start.Mode = WPS_START_MODE_PBC;
  start.Role = WPS_ROLE_ENROLLEE;
  startWpsRun(start, true);
}

// A start record with neither mode bit ends the run in progress.
uint32_t SimulatedAdapter::setWpsStart(std::span<const uint8_t> payload) {
  WpsStart start;
  if (!DecodeWpsStart(payload, start)) return kStatusInvalidParameter;
  if (start.Mode != WPS_START_MODE_PBC && start.Mode != WPS_START_MODE_PIN) {
    wpsRun_.reset();
    wpsStatus_ = 0;
    return kStatusSuccess;
  }
  startWpsRun(start, false);
  return kStatusSuccess;
}

void SimulatedAdapter::startWpsRun(const WpsStart& start, bool byButton) {
  wpsRun_ = PlanWpsRun(start, wpsWorld_);
  wpsRunStartMs_ = now();
  wpsRunByButton_ = byButton;
  wpsRunDone_ = false;
  advanceWpsRun();
}

void SimulatedAdapter::advanceWpsRun() {
  if (!wpsRun_ || wpsRunDone_) return;
  const int64_t elapsed = now() - wpsRunStartMs_;
  const uint32_t code = WpsRunStatusAt(*wpsRun_, elapsed);
  wpsStatus_ = code | (wpsRun_->pinSession ? kWpsStatusPinBit : 0u);
  if (!WpsRunFinished(*wpsRun_, elapsed)) return;
  wpsRunDone_ = true;
  if (wpsRun_->credential) {
    wpsTable_ = WpsCredentialTable{};
    wpsTable_.Count = 1;
    wpsTable_.Credentials[0] = *wpsRun_->credential;
    wpsChannel_ = wpsRun_->channel;
  }
}

uint32_t SimulatedAdapter::setWpsProfileTable(std::span<const uint8_t> payload) {
  DecodeWpsCredentialTable(payload, wpsTable_);
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::setConfiguration(std::span<const uint8_t> payload) {
  NDIS_802_11_CONFIGURATION config;
  DecodeNdisConfiguration(payload, config);
  if (FrequencyToChannel(config.DSConfig) == 0) return kStatusInvalidParameter;
  configuration_ = config;
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::setStaConfig(std::span<const uint8_t> payload) {
  DecodeStaConfig(payload, staConfig_);
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::setWmmFlags(std::span<const uint8_t> payload) {
  wmmFlags_ = GetU32(payload);
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::setDlsEnable(std::span<const uint8_t> payload) {
  dlsEnabled_ = GetU32(payload) != 0;
  if (!dlsEnabled_) dls_ = DlsTable{};  // switching direct link off tears every link down
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::setDlsEntry(std::span<const uint8_t> payload) {
  DlsEntry request;
  DecodeDlsEntry(payload, request);
  if (!IsUnicastPeer(request.Peer) || request.Peer == spec_.mac) return kStatusInvalidParameter;
  auto same = std::find_if(dls_.Entries.begin(), dls_.Entries.end(),
                           [&](const DlsEntry& e) { return e.Wanted && e.Peer == request.Peer; });
  if (request.Wanted == 0) {
    if (same != dls_.Entries.end()) *same = DlsEntry{};
    return kStatusSuccess;
  }
  if (!dlsEnabled_) return kStatusInvalidParameter;
  if (same == dls_.Entries.end()) {
    same = std::find_if(dls_.Entries.begin(), dls_.Entries.end(),
                        [](const DlsEntry& e) { return e.Wanted == 0; });
    if (same == dls_.Entries.end()) return kStatusInvalidParameter;  // four links at most
  }
  *same = DlsEntry{request.TimeoutSeconds, 0, request.Peer, DLS_LINK_ESTABLISHED, 1};
  return kStatusSuccess;
}

uint32_t SimulatedAdapter::setCcxTspec(std::span<const uint8_t> payload) {
  std::copy(payload.begin(), payload.end(), tspecBytes_.begin());
  return kStatusSuccess;
}

}  // namespace ov::sim
