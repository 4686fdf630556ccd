#include "driver/oid/oid_requests.h"

#include <algorithm>

#include "driver/oid/byte_codec.h"

namespace ov {

using namespace byte_codec;

namespace {

// Zeroes the buffer and asks for `size` of its bytes.
template <size_t N>
bool Ask(OidRequester& r, uint32_t oid, std::array<uint8_t, N>& buffer, uint32_t size = N,
         uint32_t* returned = nullptr) {
  buffer.fill(0);
  uint32_t bytesReturned = 0;
  const bool ok = r.QueryOid(oid, buffer.data(), std::min<uint32_t>(size, N), &bytesReturned);
  if (returned != nullptr) *returned = bytesReturned;
  return ok;
}

bool AskU32(OidRequester& r, uint32_t oid, uint32_t& value) {
  std::array<uint8_t, 4> buffer;
  const bool ok = Ask(r, oid, buffer);
  value = GetU32(buffer, 0);
  return ok;
}

bool AskI32(OidRequester& r, uint32_t oid, int32_t& value) {
  std::array<uint8_t, 4> buffer;
  const bool ok = Ask(r, oid, buffer);
  value = GetI32(buffer, 0);
  return ok;
}

bool AskMac(OidRequester& r, uint32_t oid, MacAddress& address) {
  std::array<uint8_t, 6> buffer;
  const bool ok = Ask(r, oid, buffer);
  address = buffer;
  return ok;
}

// A whole record: asked for, then decoded from the zeroed buffer whatever the answer was.
template <size_t N, typename Record>
bool AskRecord(OidRequester& r, uint32_t oid, Record& record,
               bool (*decode)(std::span<const uint8_t>, Record&)) {
  std::array<uint8_t, N> buffer;
  const bool ok = Ask(r, oid, buffer);
  decode(buffer, record);
  return ok;
}

// The payload is a copy: the channel may hand the buffer to the driver, which may write into it.
template <size_t N>
bool Send(OidRequester& r, uint32_t oid, std::array<uint8_t, N> payload) {
  uint32_t bytesReturned = 0;
  return r.SetOid(oid, N == 0 ? nullptr : payload.data(), N, &bytesReturned, kSetAttempts);
}

bool SendNothing(OidRequester& r, uint32_t oid) { return Send(r, oid, std::array<uint8_t, 0>{}); }

bool SendU32(OidRequester& r, uint32_t oid, uint32_t value) {
  std::array<uint8_t, 4> payload{};
  PutU32(payload, 0, value);
  return Send(r, oid, payload);
}

bool SendU8(OidRequester& r, uint32_t oid, uint8_t value) {
  return Send(r, oid, std::array<uint8_t, 1>{value});
}

SetResult ResultOf(bool sent) { return sent ? SetResult::Sent : SetResult::Failed; }

}  // namespace

// ---- Published NDIS general and 802.11 requests ----

bool QueryDriverVersion(OidRequester& r, uint16_t& version) {
  std::array<uint8_t, 2> buffer;
  const bool ok = Ask(r, OID_GEN_DRIVER_VERSION, buffer);
  version = GetU16(buffer, 0);
  return ok;
}

bool QueryRcvNoBuffer(OidRequester& r, uint32_t& count) {
  return AskU32(r, OID_GEN_RCV_NO_BUFFER, count);
}

bool QueryCurrentAddress(OidRequester& r, MacAddress& address) {
  return AskMac(r, OID_802_3_CURRENT_ADDRESS, address);
}

bool QuerySsid(OidRequester& r, NDIS_802_11_SSID& ssid) {
  return AskRecord<kNdis80211SsidSize>(r, OID_802_11_SSID, ssid, DecodeNdisSsid);
}

bool SetSsid(OidRequester& r, const NDIS_802_11_SSID& ssid) {
  return Send(r, OID_802_11_SSID, EncodeNdisSsid(ssid));
}

bool SetDisassociate(OidRequester& r) { return SendNothing(r, OID_802_11_DISASSOCIATE); }

bool SetDesiredRates(OidRequester& r, const NDIS_802_11_RATES& rates) {
  return Send(r, OID_802_11_DESIRED_RATES, EncodeNdisRates(rates));
}

// ---- Published native 802.11 requests ----

bool SetRtsThreshold(OidRequester& r, uint32_t threshold) {
  return SendU32(r, OID_DOT11_RTS_THRESHOLD, threshold);
}

bool SetFragmentationThreshold(OidRequester& r, uint32_t threshold) {
  return SendU32(r, OID_DOT11_FRAGMENTATION_THRESHOLD, threshold);
}

bool QuerySupportedPhyTypes(OidRequester& r, DOT11_SUPPORTED_PHY_TYPES& types) {
  return AskRecord<kDot11SupportedPhyTypesSize>(r, OID_DOT11_SUPPORTED_PHY_TYPES, types, DecodeDot11SupportedPhyTypes);
}

bool QueryDot11CurrentAddress(OidRequester& r, MacAddress& address) {
  return AskMac(r, OID_DOT11_CURRENT_ADDRESS, address);
}

bool SetFlushBssList(OidRequester& r) { return SendNothing(r, OID_DOT11_FLUSH_BSS_LIST); }

bool SetPowerMgmtRequest(OidRequester& r, uint32_t powerSavingLevel) {
  return SendU32(r, OID_DOT11_POWER_MGMT_REQUEST, powerSavingLevel);
}

bool SetDesiredBssidList(OidRequester& r, const MacAddress& bssid) {
  return Send(r, OID_DOT11_DESIRED_BSSID_LIST, EncodeDot11BssidList(MakeDesiredBssidList(bssid)));
}

bool SetDisconnectRequest(OidRequester& r) { return SendNothing(r, OID_DOT11_DISCONNECT_REQUEST); }

// ---- Vendor requests: radio ----

bool SetPhyMode(OidRequester& r, WirelessMode mode) {
  return SendU32(r, OID_VND_PHY_MODE.set, static_cast<uint32_t>(mode));
}

bool QueryCountryRegion(OidRequester& r, CountryRegion& region) {
  uint32_t word = 0;
  const bool ok = AskU32(r, OID_VND_COUNTRY_REGION.query, word);
  region = DecodeCountryRegionWord(word);
  return ok;
}

SetResult SetCountryRegion(OidRequester& r, uint32_t region24, uint32_t region5, bool changeable24,
                           bool changeable5) {
  if (!changeable24 && !changeable5) return SetResult::Skipped;
  return ResultOf(SendU32(r, OID_VND_COUNTRY_REGION.set, CountryRegionSetWord(region24, region5)));
}

bool QueryEepromVersion(OidRequester& r, uint32_t& version) {
  return AskU32(r, OID_VND_EEPROM_VERSION.query, version);
}

bool QueryFirmwareVersion(OidRequester& r, uint32_t& version) {
  return AskU32(r, OID_VND_FIRMWARE_VERSION.query, version);
}

bool QueryTxPower(OidRequester& r, int32_t& percent) {
  return AskI32(r, OID_VND_TX_POWER.query, percent);
}

bool SetTxPower(OidRequester& r, int32_t levelIndex) {
  return SendU32(r, OID_VND_TX_POWER.set, static_cast<uint32_t>(TxPowerForLevel(levelIndex)));
}

bool QueryRegister(OidRequester& r, uint32_t kind, uint32_t address, uint32_t& value) {
  std::array<uint8_t, kRegisterAccessSize> buffer;
  buffer.fill(0);
  PutU32(buffer, 0, kind);
  PutU32(buffer, 4, address);
  uint32_t bytesReturned = 0;
  const bool ok =
      r.QueryOid(OID_VND_REGISTER.query, buffer.data(), kRegisterAccessSize, &bytesReturned);
  value = GetU32(buffer, 8);
  return ok;
}

bool SetRegister(OidRequester& r, const RegisterAccess& access) {
  return Send(r, OID_VND_REGISTER.set, EncodeRegisterAccess(access));
}

bool QueryLinkStatus(OidRequester& r, int32_t chipFamily, LinkStatus& status) {
  std::array<uint8_t, kLinkStatusSize> buffer;
  const uint32_t size = LinkStatusSize(chipFamily);
  // Only the bytes asked for can be the driver's; the rest of the buffer stays zero.
  const bool ok = Ask(r, OID_VND_LINK_STATUS.query, buffer, size);
  DecodeLinkStatus(buffer, status);
  return ok;
}

bool QueryNoise(OidRequester& r, uint32_t& raw) { return AskU32(r, OID_VND_NOISE.query, raw); }

bool QueryDriverStatistics(OidRequester& r, DriverStatistics& stats) {
  return AskRecord<kDriverStatisticsSize>(r, OID_VND_DRIVER_STATISTICS.query, stats, DecodeDriverStatistics);
}

bool SetResetCounters(OidRequester& r) { return SendNothing(r, OID_VND_RESET_COUNTERS.set); }

bool QueryExtraInfo(OidRequester& r, uint32_t& code) {
  return AskU32(r, OID_VND_EXTRA_INFO.query, code);
}

bool QueryLastRxRate(OidRequester& r, uint32_t& rate) {
  return AskU32(r, OID_VND_LAST_RX_RATE.query, rate);
}

bool QueryLastTxRate(OidRequester& r, uint32_t& setting) {
  return AskU32(r, OID_VND_LAST_TX_RATE.query, setting);
}

bool QueryRssi0(OidRequester& r, int32_t& dBm) { return AskI32(r, OID_VND_RSSI0.query, dBm); }
bool QueryRssi1(OidRequester& r, int32_t& dBm) { return AskI32(r, OID_VND_RSSI1.query, dBm); }
bool QueryRssi2(OidRequester& r, int32_t& dBm) { return AskI32(r, OID_VND_RSSI2.query, dBm); }

bool QueryCombinedRssi(OidRequester& r, int32_t& dBm) {
  int32_t chain0 = 0;
  int32_t chain1 = 0;
  const bool have0 = QueryRssi0(r, chain0);
  const bool have1 = QueryRssi1(r, chain1);
  if (have0 && have1) {
    dBm = std::max(chain0, chain1);
  } else if (have0) {
    dBm = chain0;
  } else if (have1) {
    dBm = chain1;
  } else {
    dBm = 0;
  }
  return have0 || have1;
}

bool QuerySnr0(OidRequester& r, uint32_t& snr) { return AskU32(r, OID_VND_SNR0.query, snr); }
bool QuerySnr1(OidRequester& r, uint32_t& snr) { return AskU32(r, OID_VND_SNR1.query, snr); }

bool QueryOpMode(OidRequester& r, uint32_t& mode) { return AskU32(r, OID_VND_OP_MODE.query, mode); }
bool SetOpMode(OidRequester& r, uint32_t mode) { return SendU32(r, OID_VND_OP_MODE.set, mode); }

// ---- Vendor requests: HT ----

bool QueryHtPhyMode(OidRequester& r, HtPhyMode& mode) {
  return AskRecord<kHtPhyModeSize>(r, OID_VND_HT_PHY_MODE.query, mode, DecodeHtPhyMode);
}

bool SetHtPhyMode(OidRequester& r, const HtPhyMode& mode) {
  return Send(r, OID_VND_HT_PHY_MODE.set, EncodeHtPhyMode(mode));
}

bool UpdateHtPhyMode(OidRequester& r, const HtPhySettings& settings, HtPhyMode* sent) {
  HtPhyMode mode;
  QueryHtPhyMode(r, mode);  // a failed read leaves zeros in the bytes the driver owns
  ApplyHtPhySettings(mode, settings);
  if (sent != nullptr) *sent = mode;
  return SetHtPhyMode(r, mode);
}

bool QueryHtOptions(OidRequester& r, HtOptions& options) {
  return AskRecord<kHtOptionsSize>(r, OID_VND_HT_OPTIONS.query, options, DecodeHtOptions);
}

bool SetHtOptions(OidRequester& r, const HtOptions& options) {
  return Send(r, OID_VND_HT_OPTIONS.set, EncodeHtOptions(options));
}

bool QueryBaTable(OidRequester& r, BlockAckTable& table, uint32_t& bytesReturned) {
  std::array<uint8_t, kBlockAckTableSize> buffer;
  const bool ok = Ask(r, OID_VND_BA_TABLE.query, buffer, kBlockAckTableSize, &bytesReturned);
  DecodeBlockAckTable(buffer, table);
  return ok;
}

bool SetBaTable(OidRequester& r, const BlockAckRequest& request) {
  return Send(r, OID_VND_BA_TABLE.set, EncodeBlockAckRequest(request));
}

bool SetDeleteBa(OidRequester& r, const BlockAckRequest& request) {
  return Send(r, OID_VND_DELETE_BA.set, EncodeBlockAckRequest(request));
}

bool QueryPeerTable(OidRequester& r, PeerTable& table) {
  return AskRecord<kPeerTableSize>(r, OID_VND_PEER_TABLE.query, table, DecodePeerTable);
}

// ---- Vendor requests: station configuration ----

bool QueryStaConfig(OidRequester& r, StaConfig& config) {
  return AskRecord<kStaConfigSize>(r, OID_VND_STA_CONFIG.query, config, DecodeStaConfig);
}

bool SetStaConfig(OidRequester& r, const StaConfig& config) {
  StaConfig record = config;
  record.Offset24 = 0;
  return Send(r, OID_VND_STA_CONFIG.set, EncodeStaConfig(record));
}

SetResult UpdateStaConfig(OidRequester& r, const StaConfigChanges& changes, StaConfig* result) {
  StaConfig answer;
  if (!QueryStaConfig(r, answer)) return SetResult::ReadFailed;
  StaConfig record = answer;
  if (changes.TxBurst) record.TxBurst = *changes.TxBurst;
  if (changes.TurboRate) record.TurboRate = *changes.TurboRate;
  if (changes.BgProtection) record.BgProtection = *changes.BgProtection;
  if (changes.ShortSlot) record.ShortSlot = *changes.ShortSlot;
  if (changes.AdhocRateMode) record.AdhocRateMode = *changes.AdhocRateMode;
  record.Offset24 = 0;
  if (result != nullptr) *result = record;
  if (record == answer) return SetResult::Skipped;
  return ResultOf(SetStaConfig(r, record));
}

bool QueryConfiguration(OidRequester& r, NDIS_802_11_CONFIGURATION& config) {
  return AskRecord<kNdis80211ConfigurationSize>(r, OID_VND_CONFIGURATION.query, config, DecodeNdisConfiguration);
}

bool SetConfiguration(OidRequester& r, const NDIS_802_11_CONFIGURATION& config) {
  return Send(r, OID_VND_CONFIGURATION.set, EncodeNdisConfiguration(config));
}

SetResult UpdateConfigurationChannel(OidRequester& r, uint32_t dsConfigKHz) {
  NDIS_802_11_CONFIGURATION config;
  if (!QueryConfiguration(r, config)) return SetResult::ReadFailed;
  config.DSConfig = dsConfigKHz;
  return ResultOf(SetConfiguration(r, config));
}

bool SetConnectFlag(OidRequester& r, uint32_t flag) {
  return SendU32(r, OID_VND_CONNECT_FLAG.set, flag);
}

bool SetPreamble(OidRequester& r, uint32_t preambleType) {
  return SendU32(r, OID_VND_PREAMBLE.set, preambleType);
}

bool SetCcxControl(OidRequester& r, uint32_t bySsidFlag, uint32_t value) {
  return SendU32(r, OID_VND_CCX_CONTROL.set, CcxControlWordToSend(bySsidFlag, value));
}

bool QueryApIpAddress(OidRequester& r, std::array<uint8_t, 4>& address) {
  std::array<uint8_t, 4> buffer;
  const bool ok = Ask(r, OID_VND_AP_IP_ADDRESS.query, buffer);
  address = buffer;
  return ok;
}

bool QueryNicReady(OidRequester& r, uint32_t& ready) {
  return AskU32(r, OID_VND_NIC_READY.query, ready);
}

// ---- Vendor requests: WMM and direct link ----

bool QueryWmmFlags(OidRequester& r, uint32_t& flags) {
  return AskU32(r, OID_VND_WMM_FLAGS.query, flags);
}

bool SetWmmFlags(OidRequester& r, uint32_t flags) {
  return SendU32(r, OID_VND_WMM_FLAGS.set, flags);
}

bool SetWmmByteSwitch(OidRequester& r, uint8_t on) {
  return SendU8(r, OID_VND_WMM_BYTE_SWITCH.set, on);
}

bool SetDlsEnable(OidRequester& r, uint32_t on) { return SendU32(r, OID_VND_DLS_ENABLE.set, on); }

bool QueryDlsTable(OidRequester& r, DlsTable& table) {
  return AskRecord<kDlsTableSize>(r, OID_VND_DLS_TABLE.query, table, DecodeDlsTable);
}

bool SetDlsTable(OidRequester& r, const DlsEntry& request) {
  return Send(r, OID_VND_DLS_TABLE.set, EncodeDlsEntry(request));
}

// ---- Vendor requests: WPS ----

bool SetWpsStart(OidRequester& r, const WpsStart& start) {
  return Send(r, OID_VND_WPS_START.set, EncodeWpsStart(start));
}

bool SetWpsAssocIe(OidRequester& r, uint32_t on) {
  return SendU32(r, OID_VND_WPS_ASSOC_IE.set, on);
}

bool SetWpsProbeIe(OidRequester& r, uint32_t on) {
  return SendU32(r, OID_VND_WPS_PROBE_IE.set, on);
}

bool QueryWpsStatus(OidRequester& r, WpsStatus& status) {
  uint32_t word = 0;
  const bool ok = AskU32(r, OID_VND_WPS_STATUS.query, word);
  status = DecodeWpsStatus(word);
  return ok;
}

bool QueryWpsProfileTable(OidRequester& r, WpsCredentialTable& table) {
  return AskRecord<kWpsCredentialTableSize>(r, OID_VND_WPS_PROFILE_TABLE.query, table, DecodeWpsCredentialTable);
}

bool SetWpsProfileTable(OidRequester& r, const WpsCredentialTable& table) {
  return Send(r, OID_VND_WPS_PROFILE_TABLE.set, EncodeWpsCredentialTable(table));
}

bool QueryWpsPbcStarted(OidRequester& r, uint32_t& started) {
  return AskU32(r, OID_VND_WPS_PBC_STARTED.query, started);
}

bool SetWpsAutoSelect(OidRequester& r, uint32_t on) {
  return SendU32(r, OID_VND_WPS_AUTO_SELECT.set, on);
}

bool SetWpsWirelessMode(OidRequester& r, uint32_t mode) {
  return SendU32(r, OID_VND_WPS_WIRELESS_MODE.set, mode);
}

bool QueryWpsChannel(OidRequester& r, uint32_t& channel) {
  return AskU32(r, OID_VND_WPS_CHANNEL.query, channel);
}

// ---- Vendor requests: CCX ----

bool QueryCcxTspec(OidRequester& r, CcxTspec& tspec) {
  return AskRecord<kCcxTspecSize>(r, OID_VND_CCX_TSPEC.query, tspec, DecodeCcxTspec);
}

bool SetCcxTspec(OidRequester& r, const CcxTspec& tspec) {
  return Send(r, OID_VND_CCX_TSPEC.set, EncodeCcxTspec(tspec));
}

bool SetCcxDiag(OidRequester& r, uint8_t on) { return SendU8(r, OID_VND_CCX_DIAG.set, on); }

}  // namespace ov
