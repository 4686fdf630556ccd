#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "driver/oid/radio_records.h"
#include "driver/oid_requester.h"
#include "lang/language_keys.h"
#include "platform/system/mac_address.h"
#include "radio/ht_table.h"
#include "views/link_status_rules.h"

// One poll of the link-status panel as data: what the driver, the wireless service and the
// system's address table answer, turned into the panel's texts, bars, HT values and throughput
// samples. The panel only draws what a poll returns.
namespace ov::link_status {

// What the panel asks the wireless service about the adapter's interface.
class LinkStatusWifi {
 public:
  virtual ~LinkStatusWifi() = default;
  // Nothing when the service did not answer; else whether the interface is connected.
  virtual std::optional<bool> QueryConnected() = 0;
  virtual void CurrentLink(std::string* ssid, MacAddress* bssid) = 0;
  virtual std::optional<uint32_t> BssType() = 0;  // nothing when the query failed
  virtual uint32_t AuthAlgorithm() = 0;           // 0 when the query failed
  virtual uint32_t CipherAlgorithm() = 0;
  virtual std::optional<uint32_t> Channel() = 0;
  // The wireless service runs (otherwise the status says so).
  virtual bool ServiceAvailable() = 0;
};

// The adapter's IPv4 address, mask and default gateway from the system, by its MAC address.
struct AdapterAddresses {
  std::string ip;
  std::string mask;
  std::string gateway;
};
using AddressLookup = std::function<std::optional<AdapterAddresses>(const MacAddress&)>;

enum Bar : int { kBarQuality = 0, kBarSignal1, kBarSignal2, kBarSignal3, kBarNoise, kBarCount };

struct BarView {
  int position = 0;
  uint32_t colour = kGreen;
  LanguageKey caption = IDS_LINK_QUALITY;
  // Text mode: the caption is formatted by the panel with `dBm` (or shown as it is without one);
  // percent mode: the bar fills its own position into the caption.
  bool textMode = false;
  std::optional<int32_t> dBm;
};

struct HtView {
  std::string bw{kNotAvailable}, gi{kNotAvailable}, stbc{kNotAvailable}, mcs{kNotAvailable};
  std::string snr0{kNotAvailable}, snr1{kNotAvailable};
};

struct LinkStatusView {
  bool connected = false;
  // The status line is the text, or a language text when `statusKey` is set, followed by
  // `statusSuffix`.
  std::string status;
  std::optional<LanguageKey> statusKey;
  std::string statusSuffix;
  std::string extraInfo, channel, authentication, encryption, networkType;
  std::string ip, mask, gateway;
  std::string txRate, txThroughput, rxRate, rxThroughput;
  std::array<BarView, kBarCount> bars;
  HtView ht;
  // The samples this poll added to the graphs (none on the first connected poll, which only
  // stores the counters), and the graphs' new scales.
  bool sampled = false;
  double txSample = 0, rxSample = 0;
  double txScale = 0, rxScale = 0;
  std::string txScaleText, rxScaleText;
};

// Which signal bars the adapter has: chain 2 and 3 answer their RSSI query.
struct ChainLayout {
  bool signal2 = true;
  bool signal3 = true;
};

struct PollInputs {
  int32_t chipFamily = 0;
  bool htCapable = false;
  bool radioOn = true;
  bool showDbm = false;
  // The advanced page's wireless mode is 802.11n and the survey's connected row is a 40 MHz one.
  bool centralChannelSuffix = false;
};

class LinkStatusPoller {
 public:
  LinkStatusPoller(OidRequester& driver, LinkStatusWifi& wifi, AddressLookup addresses);

  // Once, when the panel is made: the adapter's MAC address; both histories empty.
  void Initialise();
  // Each show: which chain bars exist. The graphs restart from an empty scale.
  ChainLayout OnShow();
  LinkStatusView Poll(const PollInputs& in);
  // The driver's counters were cleared: the next sample is taken against zero.
  void ResetCounters() {
    previousTx_ = 0;
    previousRx_ = 0;
  }

  const ThroughputHistory& TxHistory() const { return tx_; }
  const ThroughputHistory& RxHistory() const { return rx_; }

 private:
  void Disconnected(LinkStatusView& v, const PollInputs& in, bool legacy, bool serviceAnswered,
                    bool hardwareRadioOff);
  // The receive rate and the HT group, from the last frame's transmit setting.
  void Rates(LinkStatusView& v, const PollInputs& in, const HtSetting& tx);
  void Throughput(LinkStatusView& v, const LinkStatus& status);
  void AddSamples(LinkStatusView& v, double tx, double rx);
  void Signals(LinkStatusView& v, const PollInputs& in, bool legacy);

  OidRequester& driver_;
  LinkStatusWifi& wifi_;
  AddressLookup addresses_;
  CHTTable table_;
  MacAddress mac_{};
  int previousQuality_ = 0;
  int previousSignal1_ = 0;
  uint32_t previousTx_ = 0;
  uint32_t previousRx_ = 0;
  bool firstSample_ = true;
  bool htNotAvailable_ = false;
  HtView ht_;
  ThroughputHistory tx_;
  ThroughputHistory rx_;
};

}  // namespace ov::link_status
