#pragma once
#include <array>
#include <cstdint>
#include <optional>

#include "driver/oid/ndis_records.h"
#include "driver/oid/oid_constants.h"
#include "driver/oid/qos_records.h"
#include "driver/oid/radio_records.h"
#include "driver/oid/wps_records.h"
#include "driver/oid_requester.h"
#include "driver/wireless_mode.h"

// One typed request per OID and direction, over the two channel primitives. Queries zero their
// buffer, ask, and decode the buffer into the caller's record whatever the answer: a failed or
// short answer leaves zeros, which is what the pages show for "no reading". They return the
// primitive's result. Sets encode the record, send the set value with kSetAttempts attempts and
// return the primitive's result (true only when the first attempt succeeded; a failed set may
// still be applied by a retry).
namespace ov {

// Outcome of the sets that may send nothing.
enum class SetResult {
  Sent,        // the first attempt succeeded
  Failed,      // the first attempt failed; retries may still apply it
  Skipped,     // nothing needed sending
  ReadFailed,  // the read of a read-modify-write failed; nothing was sent
};

// ---- Published NDIS general and 802.11 requests ----
bool QueryDriverVersion(OidRequester& r, uint16_t& version);  // major in the high byte
bool QueryRcvNoBuffer(OidRequester& r, uint32_t& count);
bool QueryCurrentAddress(OidRequester& r, MacAddress& address);  // OID_802_3_CURRENT_ADDRESS
bool QuerySsid(OidRequester& r, NDIS_802_11_SSID& ssid);
bool SetSsid(OidRequester& r, const NDIS_802_11_SSID& ssid);
bool SetDisassociate(OidRequester& r);
bool SetDesiredRates(OidRequester& r, const NDIS_802_11_RATES& rates);

// ---- Published native 802.11 requests ----
bool SetRtsThreshold(OidRequester& r, uint32_t threshold);
bool SetFragmentationThreshold(OidRequester& r, uint32_t threshold);
bool QuerySupportedPhyTypes(OidRequester& r, DOT11_SUPPORTED_PHY_TYPES& types);
bool QueryDot11CurrentAddress(OidRequester& r, MacAddress& address);
bool SetFlushBssList(OidRequester& r);
bool SetPowerMgmtRequest(OidRequester& r, uint32_t powerSavingLevel);  // DOT11_POWER_SAVING_...
// One BSSID, with the list's header filled (type 0x80, revision 1, size 20).
bool SetDesiredBssidList(OidRequester& r, const MacAddress& bssid);
bool SetDisconnectRequest(OidRequester& r);

// ---- Vendor requests: radio ----
bool SetPhyMode(OidRequester& r, WirelessMode mode);
bool QueryCountryRegion(OidRequester& r, CountryRegion& region);
// Sends (region5 << 8) | region24 (7 bits each) only when at least one band's region may change;
// Skipped otherwise.
SetResult SetCountryRegion(OidRequester& r, uint32_t region24, uint32_t region5, bool changeable24,
                           bool changeable5);
bool QueryEepromVersion(OidRequester& r, uint32_t& version);    // byte 0 "." byte 1
bool QueryFirmwareVersion(OidRequester& r, uint32_t& version);  // byte 1 "." byte 0
bool QueryTxPower(OidRequester& r, int32_t& percent);
// Sends the percent of the profile's level index (TxPowerForLevel).
bool SetTxPower(OidRequester& r, int32_t levelIndex);
// Asks for one register; the request carries kind and address, the answer fills the value.
bool QueryRegister(OidRequester& r, uint32_t kind, uint32_t address, uint32_t& value);
bool SetRegister(OidRequester& r, const RegisterAccess& access);
// Asks with the family's size (16, 20, or 0 for families 2, 3 and unknown ones).
bool QueryLinkStatus(OidRequester& r, int32_t chipFamily, LinkStatus& status);
bool QueryNoise(OidRequester& r, uint32_t& raw);
bool QueryDriverStatistics(OidRequester& r, DriverStatistics& stats);
bool SetResetCounters(OidRequester& r);
bool QueryExtraInfo(OidRequester& r, uint32_t& code);
bool QueryLastRxRate(OidRequester& r, uint32_t& rate);
bool QueryLastTxRate(OidRequester& r, uint32_t& setting);
bool QueryRssi0(OidRequester& r, int32_t& dBm);
bool QueryRssi1(OidRequester& r, int32_t& dBm);  // fails on one-chain adapters
bool QueryRssi2(OidRequester& r, int32_t& dBm);
// The signal of the adapter: the largest reading of chains 0 and 1 among those that answered.
// A one-chain adapter refuses chain 1; that is its normal answer, and chain 0 alone counts.
// False only when no chain answered (dBm is then 0).
bool QueryCombinedRssi(OidRequester& r, int32_t& dBm);
bool QuerySnr0(OidRequester& r, uint32_t& snr);
bool QuerySnr1(OidRequester& r, uint32_t& snr);
bool QueryOpMode(OidRequester& r, uint32_t& mode);
bool SetOpMode(OidRequester& r, uint32_t mode);

// ---- Vendor requests: HT ----
bool QueryHtPhyMode(OidRequester& r, HtPhyMode& mode);
bool SetHtPhyMode(OidRequester& r, const HtPhyMode& mode);
// Read-modify-write: reads the record, overwrites the managed fields, and writes it back whole
// so that bytes 6 and 11 keep the driver's values. A failed read still leads to the set (the
// managed fields are all there), with bytes 6 and 11 zero. `sent` receives the record sent.
bool UpdateHtPhyMode(OidRequester& r, const HtPhySettings& settings, HtPhyMode* sent = nullptr);
bool QueryHtOptions(OidRequester& r, HtOptions& options);
bool SetHtOptions(OidRequester& r, const HtOptions& options);
// The session table; `bytesReturned` is the driver's count (0: keep what is shown).
bool QueryBaTable(OidRequester& r, BlockAckTable& table, uint32_t& bytesReturned);
bool SetBaTable(OidRequester& r, const BlockAckRequest& request);   // adds one session
bool SetDeleteBa(OidRequester& r, const BlockAckRequest& request);  // tears one down
bool QueryPeerTable(OidRequester& r, PeerTable& table);

// ---- Vendor requests: station configuration ----
bool QueryStaConfig(OidRequester& r, StaConfig& config);
// Sends the record with offset 24 as 0.
bool SetStaConfig(OidRequester& r, const StaConfig& config);
// The fields a writer changes; absent ones keep the driver's values.
struct StaConfigChanges {
  std::optional<uint32_t> TxBurst;
  std::optional<uint32_t> TurboRate;
  std::optional<uint32_t> BgProtection;
  std::optional<uint32_t> ShortSlot;
  std::optional<uint32_t> AdhocRateMode;
};
// Read-modify-write: reads the record, changes the given fields, sets offset 24 to 0 and writes
// the record back only when it differs from what was read (Skipped otherwise). Offsets 20 and 28
// go back as read. When the read fails nothing is sent (ReadFailed): a record made up of zeros
// would overwrite driver fields this system does not manage. `result` receives the record as it
// now stands (unless the read failed).
SetResult UpdateStaConfig(OidRequester& r, const StaConfigChanges& changes,
                          StaConfig* result = nullptr);
bool QueryConfiguration(OidRequester& r, NDIS_802_11_CONFIGURATION& config);
bool SetConfiguration(OidRequester& r, const NDIS_802_11_CONFIGURATION& config);
// Read-modify-write of DSConfig (kHz); the rest of the record goes back as read. Nothing is sent
// when the read fails (ReadFailed).
SetResult UpdateConfigurationChannel(OidRequester& r, uint32_t dsConfigKHz);
bool SetConnectFlag(OidRequester& r, uint32_t flag);
bool SetPreamble(OidRequester& r, uint32_t preambleType);
// Sends CcxControlWordToSend(bySsidFlag, value).
bool SetCcxControl(OidRequester& r, uint32_t bySsidFlag, uint32_t value);
bool QueryApIpAddress(OidRequester& r, std::array<uint8_t, 4>& address);  // first byte first
bool QueryNicReady(OidRequester& r, uint32_t& ready);

// ---- Vendor requests: WMM and direct link ----
bool QueryWmmFlags(OidRequester& r, uint32_t& flags);
bool SetWmmFlags(OidRequester& r, uint32_t flags);
bool SetWmmByteSwitch(OidRequester& r, uint8_t on);
bool SetDlsEnable(OidRequester& r, uint32_t on);
bool QueryDlsTable(OidRequester& r, DlsTable& table);
bool SetDlsTable(OidRequester& r, const DlsEntry& request);

// ---- Vendor requests: WPS ----
bool SetWpsStart(OidRequester& r, const WpsStart& start);
bool SetWpsAssocIe(OidRequester& r, uint32_t on);
bool SetWpsProbeIe(OidRequester& r, uint32_t on);
bool QueryWpsStatus(OidRequester& r, WpsStatus& status);
bool QueryWpsProfileTable(OidRequester& r, WpsCredentialTable& table);
// Sent under the driver's own set value, 0xFF8C0049.
bool SetWpsProfileTable(OidRequester& r, const WpsCredentialTable& table);
bool QueryWpsPbcStarted(OidRequester& r, uint32_t& started);
bool SetWpsAutoSelect(OidRequester& r, uint32_t on);
bool SetWpsWirelessMode(OidRequester& r, uint32_t mode);
bool QueryWpsChannel(OidRequester& r, uint32_t& channel);

// ---- Vendor requests: CCX ----
bool QueryCcxTspec(OidRequester& r, CcxTspec& tspec);
bool SetCcxTspec(OidRequester& r, const CcxTspec& tspec);
bool SetCcxDiag(OidRequester& r, uint8_t on);

}  // namespace ov
