#include "views/link_status_poll.h"

#include <algorithm>

#include "driver/oid/oid_constants.h"
#include "driver/oid/oid_requests.h"
#include "driver/signal_strength.h"
#include "lang/language_table.h"

namespace ov::link_status {

namespace {

bool IsLegacyFamily(int32_t f) { return f == 0 || f == 1 || f == 4 || f == 5; }
bool IsHtFamily(int32_t f) { return f >= 6 && f <= 10; }

constexpr LanguageKey kSignalPercent[3] = {IDS_LINK_STRENGTH, IDS_LINK_STRENGTH2, IDS_LINK_STRENGTH3};
constexpr LanguageKey kSignalDbm[3] = {IDS_LINK_STRENGTH_DBM, IDS_LINK_STRENGTH2_DBM, IDS_LINK_STRENGTH3_DBM};
constexpr LanguageKey kSignalNone[3] = {IDS_STRENGTH1, IDS_STRENGTH2, IDS_STRENGTH3};
constexpr LanguageKey kSignalEmptyDbm[3] = {IDS_LINK_STRENGTH_EMPTY_DBM, IDS_LINK_STRENGTH2_EMPTY_DBM,
                                           IDS_LINK_STRENGTH3_EMPTY_DBM};

std::optional<uint32_t> AskU32(bool (*query)(OidRequester&, uint32_t&), OidRequester& d) {
  uint32_t v = 0;
  return query(d, v) ? std::optional<uint32_t>(v) : std::nullopt;
}
std::optional<int32_t> AskI32(bool (*query)(OidRequester&, int32_t&), OidRequester& d) {
  int32_t v = 0;
  return query(d, v) ? std::optional<int32_t>(v) : std::nullopt;
}

}  // namespace

LinkStatusPoller::LinkStatusPoller(OidRequester& driver, LinkStatusWifi& wifi,
                                   AddressLookup addresses)
    : driver_(driver), wifi_(wifi), addresses_(std::move(addresses)) {}

void LinkStatusPoller::Initialise() {
  MacAddress mac{};
  if (QueryCurrentAddress(driver_, mac)) mac_ = mac;
  tx_.Clear();
  rx_.Clear();
}

ChainLayout LinkStatusPoller::OnShow() {
  table_.Build();
  ChainLayout layout;
  int32_t dBm = 0;
  layout.signal2 = QueryRssi1(driver_, dBm);
  layout.signal3 = layout.signal2 && QueryRssi2(driver_, dBm);
  return layout;
}

LinkStatusView LinkStatusPoller::Poll(const PollInputs& in) {
  LinkStatusView v;
  v.ht = ht_;
  const std::optional<uint32_t> extra = AskU32(QueryExtraInfo, driver_);
  v.extraInfo = ExtraInfoText(extra);
  const bool hardwareRadioOff = extra && *extra == EXTRA_INFO_HW_RADIO_OFF;

  // The last frame's transmit setting: whether it was an HT frame, its HT values and rate.
  uint32_t txWord = 0;
  if (!QueryLastTxRate(driver_, txWord)) txWord = 0;
  const HtSetting tx = DecodeHtSetting(txWord);
  const bool legacy = IsLegacy(tx);

  const std::optional<bool> connected = wifi_.QueryConnected();
  if (!connected || hardwareRadioOff) {
    Disconnected(v, in, legacy, connected.has_value(), hardwareRadioOff);
    return v;
  }
  std::string ssid;
  MacAddress bssid{};
  wifi_.CurrentLink(&ssid, &bssid);
  if (!*connected || bssid == MacAddress{}) {
    Disconnected(v, in, legacy, true, false);
    return v;
  }

  v.connected = true;
  const std::string power = TxPowerText(AskI32(QueryTxPower, driver_));
  std::array<uint8_t, 4> apIp{};
  const bool haveApIp = QueryApIpAddress(driver_, apIp);
  v.status = StatusText(ssid, bssid, haveApIp ? std::optional(apIp) : std::nullopt);
  v.networkType = NetworkTypeText(wifi_.BssType());
  v.authentication = AuthenticationText(wifi_.AuthAlgorithm());
  v.encryption = EncryptionText(wifi_.CipherAlgorithm());
  if (addresses_) {
    if (auto a = addresses_(mac_)) {
      v.ip = a->ip;
      v.mask = a->mask;
      v.gateway = a->gateway;
    }
  }
  Rates(v, in, tx);

  LinkStatus status;
  const bool haveStatus = LinkStatusSize(in.chipFamily) > 0 &&
                          QueryLinkStatus(driver_, in.chipFamily, status);
  v.channel = ChannelText(wifi_.Channel());
  if (haveStatus) {
    if (IsLegacyFamily(in.chipFamily)) v.txRate = RateText(status.CurrentTxRate * 0.5);
    if (IsHtFamily(in.chipFamily)) v.txRate = RateText(HtSettingRate(tx, table_));
    if (in.htCapable && in.centralChannelSuffix && !v.channel.empty()) {
      v.channel += "; " + LangText(IDS_LINKSTATUS_CENTRAL_CHANNEL) + " : " +
                   std::to_string(status.CentralChannel);
    }
    Throughput(v, status);
    previousQuality_ = LinkQualityPercent(status.LinkQuality, previousQuality_);
    v.bars[kBarQuality] = {previousQuality_, SignalColour(previousQuality_), IDS_LINK_QUALITY, false,
                           std::nullopt};
  }
  Signals(v, in, legacy);
  v.extraInfo += " [TxPower:" + power + "]";
  v.ht = ht_;
  return v;
}

void LinkStatusPoller::Rates(LinkStatusView& v, const PollInputs& in, const HtSetting& tx) {
  const bool legacy = IsLegacy(tx);
  if (in.htCapable) {
    if (legacy && !htNotAvailable_) {
      ht_ = HtView{};
      htNotAvailable_ = true;
    } else if (!legacy) {
      htNotAvailable_ = false;
    }
  }
  if (in.htCapable && !htNotAvailable_) {
    const HtTexts texts = HtSettingTexts(tx);
    ht_.bw = texts.bw;
    ht_.gi = texts.gi;
    ht_.stbc = texts.stbc;
    ht_.mcs = texts.mcs;
  }
  uint32_t rx = 0;
  const bool haveRx = QueryLastRxRate(driver_, rx);
  if (IsLegacyFamily(in.chipFamily)) {
    v.rxRate = RateText(LegacyRxRate(haveRx ? std::optional(rx) : std::nullopt));
  } else if (IsHtFamily(in.chipFamily)) {
    v.rxRate = RateText(HtSettingRate(DecodeHtSetting(haveRx ? rx : 0), table_));
  } else {
    v.rxRate = RateText(1.0);
  }
}

void LinkStatusPoller::Throughput(LinkStatusView& v, const LinkStatus& status) {
  if (firstSample_) {
    firstSample_ = false;
    previousTx_ = status.TxByteCount;
    previousRx_ = status.RxByteCount;
    v.txScaleText = ThroughputText(tx_.Maximum());
    v.rxScaleText = ThroughputText(rx_.Maximum());
    v.txScale = tx_.Maximum();
    v.rxScale = rx_.Maximum();
    return;
  }
  const double tx = ThroughputMbps(previousTx_, status.TxByteCount);
  const double rx = ThroughputMbps(previousRx_, status.RxByteCount);
  previousTx_ = status.TxByteCount;
  previousRx_ = status.RxByteCount;
  v.txThroughput = ThroughputText(tx);
  v.rxThroughput = ThroughputText(rx);
  AddSamples(v, tx, rx);
}

void LinkStatusPoller::AddSamples(LinkStatusView& v, double tx, double rx) {
  tx_.Push(tx);
  rx_.Push(rx);
  v.sampled = true;
  v.txSample = tx;
  v.rxSample = rx;
  v.txScale = tx_.Maximum();
  v.rxScale = rx_.Maximum();
  v.txScaleText = ThroughputText(v.txScale);
  v.rxScaleText = ThroughputText(v.rxScale);
}

void LinkStatusPoller::Signals(LinkStatusView& v, const PollInputs& in, bool legacy) {
  bool (*queries[3])(OidRequester&, int32_t&) = {QueryRssi0, QueryRssi1, QueryRssi2};
  NoiseInputs noise;
  noise.chipFamily = in.chipFamily;
  for (int chain = 0; chain < 3; ++chain) {
    const std::optional<int32_t> reading = AskI32(queries[chain], driver_);
    noise.rssi[chain] = reading;
    const int32_t dBm = reading.value_or(0);  // a failed query reads as 0 dBm
    int p = RssiToPercent(dBm);
    if (chain == 0) {
      p = Smooth(p, previousSignal1_);
      previousSignal1_ = p;
    }
    BarView& bar = v.bars[kBarSignal1 + chain];
    if (dBm == kNoRssiReading) {
      bar = {0, kGreen, kSignalNone[chain], true, std::nullopt};
      continue;
    }
    p = std::min(p, 100);
    bar = {p, SignalColour(p), in.showDbm ? kSignalDbm[chain] : kSignalPercent[chain], in.showDbm,
           in.showDbm ? std::optional(dBm) : std::nullopt};
  }
  if (in.htCapable) {
    std::optional<uint32_t> snr[2] = {AskU32(QuerySnr0, driver_), AskU32(QuerySnr1, driver_)};
    std::string* texts[2] = {&ht_.snr0, &ht_.snr1};
    for (int i = 0; i < 2; ++i) {
      noise.snr[i] = snr[i];
      if (!snr[i] || *snr[i] == kNoSnrReading) {
        *texts[i] = std::string(kNotAvailable);
      } else if (!legacy) {
        *texts[i] = std::to_string(static_cast<int32_t>(*snr[i]));
      }
    }
  }
  noise.raw = AskU32(QueryNoise, driver_);
  const NoiseReading n = Noise(noise);
  v.bars[kBarNoise] = {n.percent, n.colour, in.showDbm ? IDS_NOISELEVEL_DBM : IDS_NOISELEVEL,
                       in.showDbm, in.showDbm ? std::optional(n.dBm) : std::nullopt};
}

void LinkStatusPoller::Disconnected(LinkStatusView& v, const PollInputs& in, bool legacy,
                                    bool serviceAnswered, bool hardwareRadioOff) {
  if (hardwareRadioOff) {
    v.statusKey = IDS_RADIOOFF;
  } else if (!serviceAnswered) {
    v.statusKey = IDS_DRIVER_NOTOK;
    if (!wifi_.ServiceAvailable()) v.statusSuffix = "AutoConfig service is disable";
  } else {
    v.statusKey = in.radioOn ? IDS_DISCONNECTED : IDS_RADIOOFF;
  }
  v.extraInfo.clear();
  for (int chain = 0; chain < 3; ++chain) {
    v.bars[kBarSignal1 + chain] = {0, kGreen, in.showDbm ? kSignalEmptyDbm[chain] : kSignalPercent[chain],
                                   in.showDbm, std::nullopt};
  }
  v.bars[kBarNoise] = {0, kGreen, in.showDbm ? IDS_NOISELEVEL_EMPTY_DBM : IDS_NOISELEVEL, in.showDbm,
                       std::nullopt};
  if (!(legacy && htNotAvailable_)) {
    ht_ = HtView{};
    htNotAvailable_ = true;
  }
  v.ht = ht_;
  AddSamples(v, 0.0, 0.0);
}

}  // namespace ov::link_status
