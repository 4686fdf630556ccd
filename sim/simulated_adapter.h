#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "driver/oid/ndis_records.h"
#include "driver/oid/qos_records.h"
#include "driver/oid/radio_records.h"
#include "driver/oid/wps_records.h"
#include "driver/wireless_mode.h"
#include "sim/adapter_registry.h"
#include "sim/scenario.h"
#include "sim/sim_clock.h"
#include "sim/wps_registration.h"

// The vendor driver of one simulated adapter: the driver's side of the OID contract, without
// sockets (ovsimd puts a device socket in front of it).
//
//   - A request whose OID has all of the bits 0xFF800000 set is a set: it is applied to the
//     settable OID whose marked form it is (published and vendor OIDs alike). Anything else is a
//     query of the OID as given.
//   - An OID the driver does not know, or one this adapter lacks (the 802.11n requests on an
//     older family, a receive chain it does not have, the firmware version before family 4),
//     fails with kStatusNotSupported.
//   - A query whose buffer is shorter than the record fails with kStatusInsufficientBuffer,
//     leaving the buffer untouched and reporting 0 bytes: the device socket refuses a byte count
//     beyond the buffer, so the needed size cannot travel back. A longer buffer gets the record
//     at its start and the record's size as the count. A set shorter than its record fails the
//     same way; a set's count is the bytes it consumed.
//   - While busy every set fails with kStatusBusy; queries are still answered.
//   - OID_VND_NIC_READY answers 0 until the start-up delay has passed since the driver started.
//   - Counters move with the clock: statistics and byte counters are linear in the time since
//     the driver started (statistics since their last reset).
//
// Thread-safe: the device socket's thread asks while the control socket changes conditions.
namespace ov::sim {

// Host error numbers a request fails with.
constexpr uint32_t kStatusSuccess = 0;
constexpr uint32_t kStatusInvalidFunction = 1;       // not the statistics I/O control
constexpr uint32_t kStatusNotSupported = 50;         // unknown OID, or one this adapter lacks
constexpr uint32_t kStatusInvalidParameter = 87;     // a set whose content the driver refuses
constexpr uint32_t kStatusInsufficientBuffer = 122;  // buffer shorter than the record
constexpr uint32_t kStatusBusy = 170;                // sets while the driver is busy

// Radio figures of the simulation.
constexpr int32_t kNoiseFloorDbm = -92;
constexpr int32_t kChainStepDb = 2;      // each further receive chain reads this much lower
constexpr uint32_t kSnrMaxReported = 40;  // keeps clear of the "no reading" value 44
constexpr uint16_t kDriverNdisVersion = 0x0600;

// Traffic while not connected (beacons, probes): small but moving.
constexpr uint32_t kTxFramesPerSecond = 12;
constexpr uint32_t kRxFramesPerSecond = 30;
constexpr uint32_t kTxBytesPerSecond = 1800;
constexpr uint32_t kRxBytesPerSecond = 6000;
// Further traffic while associated.
constexpr uint32_t kLinkTxFramesPerSecond = 40;
constexpr uint32_t kLinkRxFramesPerSecond = 90;
constexpr uint32_t kLinkTxBytesPerSecond = 24000;
constexpr uint32_t kLinkRxBytesPerSecond = 96000;

// The link the wireless service made: what the driver reports while associated.
struct Association {
  std::vector<uint8_t> ssid;
  MacAddress bssid{};
  uint32_t frequencyKHz = 2412000;
  int32_t signalDbm = -55;
  uint32_t linkQuality = 0;  // percent
  uint32_t txRate = 0;       // 500 kbit/s units
  bool ht = false;
  bool fortyMhz = false;
  uint8_t mcs = 0;  // HT links: the MCS in use
};

class SimulatedAdapter {
 public:
  SimulatedAdapter(AdapterSpec spec, const SimClock& clock);

  const AdapterSpec& spec() const { return spec_; }

  // The driver starts (or starts again after a re-plug): it takes its parameters, every table
  // and counter starts afresh, and it is not ready until the start-up delay has passed.
  void start(const AdapterParameters& parameters);

  // One device request. `buffer` is the output buffer (its size is the request's size); the
  // answer is written into it. Returns the status (kStatusSuccess or a host error number).
  uint32_t handleRequest(uint32_t controlCode, uint32_t oid, std::vector<uint8_t>& buffer,
                         uint32_t* bytesReturned);

  // Every set fails for the next `ms` milliseconds (0 ends a busy spell).
  void setBusyFor(uint32_t ms);
  // The signal of chain 0 in dBm; further chains read kChainStepDb lower each.
  void setSignal(int32_t dBm);
  // The wireless service associated (or, with nothing, disassociated) the adapter: SSID, link
  // status, extra info, rates, channel and the counters follow the link. The signal becomes
  // the association's.
  void setAssociation(std::optional<Association> association);
  std::optional<Association> association() const;
  // The radio as the wireless service switched it (software) or the switch (hardware): with
  // either off the link is down and extra info says so.
  void setRadio(bool softwareOn, bool hardwareOn);
  // The "Radio" parameter the driver started with (1: the radio starts switched off).
  bool radioOffByParameter() const;

  // Operation mode 1 (OpMode, OID_VND_OP_MODE): the adapter serves as an access point and does
  // no station work.
  bool servesAccessPoint() const;
  // Called after a set of OID_VND_OP_MODE changed the mode, outside the driver's lock, on the
  // thread of the request. Set it before the adapter is plugged.
  void setOpModeObserver(std::function<void()> observer);
  // Called when the association comes or goes (a link, a drop, a radio switched off, a driver
  // restart), outside the driver's lock, before the wireless service tells its clients. Set it
  // before the adapter is plugged.
  void setLinkObserver(std::function<void(bool associated)> observer);
  // The stations that are associated while the adapter serves as an access point (kept whatever
  // the mode, and across driver restarts: they are the world's, not the driver's).
  std::vector<ApStation> apStations() const;
  // False when the MAC is listed already or kMaxApStations are.
  bool addApStation(const ApStation& station);
  bool removeApStation(const MacAddress& mac);

  // The access points a WPS run looks for (the daemon hands over the world whenever it changes).
  void setWpsWorld(std::vector<AccessPointSpec> world);
  // The adapter's WPS push button: the driver starts a push-button run of its own, which
  // OID_VND_WPS_PBC_STARTED reports until it ends.
  void pressWpsButton();

  bool busy() const;
  bool ready() const;
  // The channels the driver offers, scans and joins: those of its country regions in the bands
  // of its wireless mode.
  bool offersChannel(uint32_t channel) const;
  // The payload of the last accepted set of `oid` (the unmarked OID), for observers and tests.
  std::optional<std::vector<uint8_t>> lastSet(uint32_t oid) const;

  // The OIDs the driver answers as queries and accepts as sets (unmarked), in catalogue order.
  static std::vector<uint32_t> QueryOids();
  static std::vector<uint32_t> SetOids();

 private:
  using Record = std::vector<uint8_t>;
  struct QueryEntry;
  struct SetEntry;
  static const std::vector<QueryEntry>& QueryTable();
  static const std::vector<SetEntry>& SetTable();

  uint32_t handleQuery(uint32_t oid, std::vector<uint8_t>& buffer, uint32_t* bytesReturned);
  uint32_t handleSet(uint32_t markedOid, std::vector<uint8_t>& buffer, uint32_t* bytesReturned);

  int64_t now() const { return clock_.nowMs(); }
  int64_t elapsedSinceStart() const;
  uint64_t perSecond(uint32_t rate, int64_t sinceMs) const;
  // Counter growth on the link: since the later of `sinceMs` and the association.
  uint64_t linkPerSecond(uint32_t rate, int64_t sinceMs) const;
  int32_t rssi(int chain) const;
  HtTransmitSetting linkRateSetting() const;
  bool isHt() const;

  // Queries: fill `record` or fail.
  uint32_t queryDriverVersion(std::span<const uint8_t>, Record& r);
  uint32_t queryRcvNoBuffer(std::span<const uint8_t>, Record& r);
  uint32_t queryAddress(std::span<const uint8_t>, Record& r);
  uint32_t querySsid(std::span<const uint8_t>, Record& r);
  uint32_t querySupportedPhyTypes(std::span<const uint8_t>, Record& r);
  uint32_t queryCountryRegion(std::span<const uint8_t>, Record& r);
  uint32_t queryEepromVersion(std::span<const uint8_t>, Record& r);
  uint32_t queryFirmwareVersion(std::span<const uint8_t>, Record& r);
  uint32_t queryTxPower(std::span<const uint8_t>, Record& r);
  uint32_t queryRegister(std::span<const uint8_t> input, Record& r);
  uint32_t queryLinkStatus(std::span<const uint8_t>, Record& r);
  uint32_t queryNoise(std::span<const uint8_t>, Record& r);
  uint32_t queryStatistics(std::span<const uint8_t>, Record& r);
  uint32_t queryExtraInfo(std::span<const uint8_t>, Record& r);
  uint32_t queryLastRxRate(std::span<const uint8_t>, Record& r);
  uint32_t queryLastTxRate(std::span<const uint8_t>, Record& r);
  uint32_t queryRssi0(std::span<const uint8_t>, Record& r);
  uint32_t queryRssi1(std::span<const uint8_t>, Record& r);
  uint32_t queryRssi2(std::span<const uint8_t>, Record& r);
  uint32_t querySnr0(std::span<const uint8_t>, Record& r);
  uint32_t querySnr1(std::span<const uint8_t>, Record& r);
  uint32_t queryOpMode(std::span<const uint8_t>, Record& r);
  uint32_t queryBlockAckTable(std::span<const uint8_t>, Record& r);
  uint32_t queryHtOptions(std::span<const uint8_t>, Record& r);
  uint32_t queryHtPhyMode(std::span<const uint8_t>, Record& r);
  uint32_t queryPeerTable(std::span<const uint8_t>, Record& r);
  uint32_t queryWpsStatus(std::span<const uint8_t>, Record& r);
  uint32_t queryWpsProfileTable(std::span<const uint8_t>, Record& r);
  uint32_t queryWpsPbcStarted(std::span<const uint8_t>, Record& r);
  uint32_t queryConfiguration(std::span<const uint8_t>, Record& r);
  uint32_t queryStaConfig(std::span<const uint8_t>, Record& r);
  uint32_t queryApIpAddress(std::span<const uint8_t>, Record& r);
  uint32_t queryWmmFlags(std::span<const uint8_t>, Record& r);
  uint32_t queryDlsTable(std::span<const uint8_t>, Record& r);
  uint32_t queryWpsChannel(std::span<const uint8_t>, Record& r);
  uint32_t queryCcxTspec(std::span<const uint8_t>, Record& r);
  uint32_t queryNicReady(std::span<const uint8_t>, Record& r);

  // Sets: apply `payload` (exactly the record's size) or refuse it.
  uint32_t setKeep(std::span<const uint8_t>);  // accepted and only remembered
  uint32_t setSsid(std::span<const uint8_t> payload);
  uint32_t setDesiredBssidList(std::span<const uint8_t> payload);
  uint32_t setPhyMode(std::span<const uint8_t> payload);
  uint32_t setCountryRegion(std::span<const uint8_t> payload);
  uint32_t setTxPower(std::span<const uint8_t> payload);
  uint32_t setRegister(std::span<const uint8_t> payload);
  uint32_t setResetCounters(std::span<const uint8_t> payload);
  uint32_t setOpMode(std::span<const uint8_t> payload);
  uint32_t setAddBlockAck(std::span<const uint8_t> payload);
  // One agreement into its side of the table (a peer's entry gains the TID).
  uint32_t addBlockAckSession(const BlockAckRequest& request);
  void startAutomaticBlockAck();
  uint32_t setDeleteBlockAck(std::span<const uint8_t> payload);
  uint32_t setHtOptions(std::span<const uint8_t> payload);
  uint32_t setHtPhyMode(std::span<const uint8_t> payload);
  uint32_t setWpsProfileTable(std::span<const uint8_t> payload);
  uint32_t setWpsStart(std::span<const uint8_t> payload);
  void startWpsRun(const WpsStart& start, bool byButton);
  // Moves the run to the clock: on reaching success the table holds the access point's
  // credential.
  void advanceWpsRun();
  uint32_t setConfiguration(std::span<const uint8_t> payload);
  uint32_t setStaConfig(std::span<const uint8_t> payload);
  uint32_t setWmmFlags(std::span<const uint8_t> payload);
  uint32_t setDlsEnable(std::span<const uint8_t> payload);
  uint32_t setDlsEntry(std::span<const uint8_t> payload);
  uint32_t setCcxTspec(std::span<const uint8_t> payload);

  void resetState();
  bool registerAddressValid(uint32_t kind, uint32_t address) const;
  uint32_t readRegister(uint32_t kind, uint32_t address) const;

  const AdapterSpec spec_;
  const SimClock& clock_;
  mutable std::mutex mutex_;

  AdapterParameters parameters_;
  int64_t startMs_ = 0;
  int64_t statisticsBaseMs_ = 0;
  int64_t busyUntilMs_ = 0;
  int32_t signalDbm_ = -55;
  std::optional<Association> association_;
  int64_t associatedSinceMs_ = 0;
  bool softwareRadioOn_ = true;
  bool hardwareRadioOn_ = true;

  WirelessMode phyMode_ = 0;
  CountryRegion countryRegion_;
  int32_t txPower_ = 100;
  uint32_t opMode_ = 0;
  std::function<void()> opModeObserver_;
  std::function<void(bool)> linkObserver_;
  void reportLink(bool before, bool after);
  std::vector<ApStation> apStations_;
  NDIS_802_11_SSID desiredSsid_;
  NDIS_802_11_CONFIGURATION configuration_;
  StaConfig staConfig_;
  HtPhyMode htPhyMode_;
  HtOptions htOptions_;
  BlockAckTable blockAck_;
  DlsTable dls_;
  bool dlsEnabled_ = false;
  uint32_t wmmFlags_ = 0;
  WpsCredentialTable wpsTable_;
  uint32_t wpsStatus_ = 0;
  std::vector<AccessPointSpec> wpsWorld_;
  std::optional<WpsRunPlan> wpsRun_;
  int64_t wpsRunStartMs_ = 0;
  bool wpsRunByButton_ = false;
  bool wpsRunDone_ = false;
  uint32_t wpsChannel_ = 0;
  std::array<uint8_t, kCcxTspecSize> tspecBytes_{};
  std::map<uint32_t, uint32_t> macRegisters_;
  std::map<uint32_t, uint8_t> bbpRegisters_;
  std::map<uint32_t, uint8_t> rfRegisters_;
  std::map<uint32_t, uint16_t> eeprom_;
  std::map<uint32_t, std::vector<uint8_t>> lastSet_;
};

}  // namespace ov::sim
