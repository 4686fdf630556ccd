#include "sim/beacon_elements.h"

#include <algorithm>
#include <string>

#include "sim/element_constants.h"
#include "sim/pcap_beacon.h"
#include "platform/system/hex_text.h"

namespace ov::sim {

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint8_t kBasic = 0x80;  // basic-rate bit of a rate octet
// 2.4 GHz ERP: the four DSSS/CCK rates are basic; eight in Supported Rates, the rest extended.
constexpr uint8_t kRates24[] = {0x02 | kBasic, 0x04 | kBasic, 0x0B | kBasic, 0x16 | kBasic,
                                0x0C, 0x12, 0x18, 0x24};
constexpr uint8_t kExtendedRates24[] = {0x30, 0x48, 0x60, 0x6C};
// 5 GHz OFDM: 6, 12 and 24 Mbit/s basic.
constexpr uint8_t kRates5[] = {0x0C | kBasic, 0x12, 0x18 | kBasic, 0x24,
                               0x30 | kBasic, 0x48, 0x60, 0x6C};

void Element(Bytes& out, uint8_t id, const Bytes& body) {
  out.push_back(id);
  out.push_back(static_cast<uint8_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
}

void Le16(Bytes& b, uint16_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void Be16(Bytes& b, uint16_t v) {
  b.push_back(static_cast<uint8_t>(v >> 8));
  b.push_back(static_cast<uint8_t>(v));
}
void Suite(Bytes& b, const ie::Oui& oui, uint8_t type) {
  b.insert(b.end(), oui.begin(), oui.end());
  b.push_back(type);
}
void SuiteList(Bytes& b, const ie::Oui& oui, std::initializer_list<uint8_t> types) {
  Le16(b, static_cast<uint16_t>(types.size()));
  for (uint8_t t : types) Suite(b, oui, t);
}

uint8_t PairwiseCipher(const AccessPointSpec& s, uint8_t kindDefault) {
  if (s.cipher == ApCipher::Tkip) return ie::kCipherTkip;
  if (s.cipher == ApCipher::Ccmp) return ie::kCipherCcmp;
  return kindDefault;
}

std::optional<Bytes> RsnBody(const AccessPointSpec& s) {
  Bytes b;
  Le16(b, 1);  // version
  switch (s.security) {
    case ApSecurity::Wpa2Psk: {
      uint8_t pairwise = PairwiseCipher(s, ie::kCipherCcmp);
      Suite(b, ie::kOuiIeee80211, pairwise);
      SuiteList(b, ie::kOuiIeee80211, {pairwise});
      SuiteList(b, ie::kOuiIeee80211, {ie::kAkmPsk});
      Le16(b, 0);
      return b;
    }
    case ApSecurity::WpaWpa2Psk:
      Suite(b, ie::kOuiIeee80211, ie::kCipherTkip);  // the group key must suit WPA stations
      SuiteList(b, ie::kOuiIeee80211, {ie::kCipherCcmp, ie::kCipherTkip});
      SuiteList(b, ie::kOuiIeee80211, {ie::kAkmPsk});
      Le16(b, 0);
      return b;
    case ApSecurity::Wpa2Enterprise: {
      uint8_t pairwise = PairwiseCipher(s, ie::kCipherCcmp);
      Suite(b, ie::kOuiIeee80211, pairwise);
      SuiteList(b, ie::kOuiIeee80211, {pairwise});
      SuiteList(b, ie::kOuiIeee80211, {ie::kAkm8021X});
      Le16(b, ie::kRsnCapPreauth);
      return b;
    }
    default:
      return std::nullopt;
  }
}

std::optional<Bytes> WpaBody(const AccessPointSpec& s) {
  Bytes b;
  Suite(b, ie::kOuiWifiAlliance, ie::kWifiAllianceWpa);
  Le16(b, 1);  // version
  switch (s.security) {
    case ApSecurity::WpaPsk:
    case ApSecurity::WpaWpa2Psk: {
      uint8_t pairwise = s.security == ApSecurity::WpaPsk ? PairwiseCipher(s, ie::kCipherTkip)
                                                          : static_cast<uint8_t>(ie::kCipherTkip);
      Suite(b, ie::kOuiWifiAlliance, ie::kCipherTkip);
      SuiteList(b, ie::kOuiWifiAlliance, {pairwise});
      SuiteList(b, ie::kOuiWifiAlliance, {ie::kAkmPsk});
      return b;
    }
    case ApSecurity::Cckm:
      Suite(b, ie::kOuiWifiAlliance, ie::kCipherTkip);
      SuiteList(b, ie::kOuiWifiAlliance, {PairwiseCipher(s, ie::kCipherTkip)});
      Le16(b, 2);
      Suite(b, ie::kOuiCisco, ie::kCiscoAkmCckm);
      Suite(b, ie::kOuiWifiAlliance, ie::kAkm8021X);
      return b;
    case ApSecurity::WpaNone:
      Suite(b, ie::kOuiWifiAlliance, ie::kCipherTkip);
      SuiteList(b, ie::kOuiWifiAlliance, {ie::kCipherTkip});
      SuiteList(b, ie::kOuiWifiAlliance, {ie::kAkmNone});
      return b;
    default:
      return std::nullopt;
  }
}

Bytes WapiBody(uint8_t akm) {
  Bytes b;
  Le16(b, 1);  // version
  SuiteList(b, ie::kOuiWapi, {akm});
  SuiteList(b, ie::kOuiWapi, {ie::kWapiCipherSms4});
  Suite(b, ie::kOuiWapi, ie::kWapiCipherSms4);  // multicast
  Le16(b, 0);                                   // capabilities
  return b;
}

Bytes HtCapabilitiesBody(const AccessPointSpec& s) {
  bool forty = s.htWidthMhz == 40;
  uint16_t info = 0x000C /* SM power save disabled */ | ie::kHtCapShortGi20 | ie::kHtCapTxStbc |
                  (1u << ie::kHtCapRxStbcShift);
  if (forty) info |= ie::kHtCapChannelWidthSet | ie::kHtCapShortGi40;
  if (forty && !IsAccessPoint5GHz(s)) info |= ie::kHtCapDsssCck40;
  Bytes b;
  Le16(b, info);
  b.push_back(0x17);  // A-MPDU: 64 KiB, 8 us spacing
  Bytes mcs(ie::ht_capabilities::kMcsSetSize, 0);
  for (uint32_t stream = 0; stream < s.spatialStreams && stream < 4; ++stream) mcs[stream] = 0xFF;
  mcs[ie::ht_capabilities::kTxMcsSetOctet] = 0x01;  // Tx MCS set defined, equal to Rx
  b.insert(b.end(), mcs.begin(), mcs.end());
  Le16(b, 0);               // HT extended capabilities
  b.insert(b.end(), 4, 0);  // transmit beamforming
  b.push_back(0);           // antenna selection
  return b;
}

Bytes HtOperationBody(const AccessPointSpec& s) {
  Bytes b;
  b.push_back(static_cast<uint8_t>(s.channel));
  uint8_t subset1 = 0;
  if (s.htWidthMhz == 40) subset1 = static_cast<uint8_t>((s.secondaryChannel > 0 ? 1 : 3) | 0x04);
  b.push_back(subset1);
  Le16(b, 0);
  Le16(b, 0);
  b.insert(b.end(), ie::ht_operation::kBasicMcsSetSize, 0);
  return b;
}

Bytes WmmParameterBody() {
  Bytes b;
  Suite(b, ie::kOuiWifiAlliance, ie::kWifiAllianceWmm);
  b.push_back(ie::kWmmParameterSubtype);
  b.push_back(ie::kWmmVersion);
  b.push_back(0x00);  // QoS info
  b.push_back(0x00);  // reserved
  // ACI/AIFSN, ECWmin/ECWmax, TXOP limit for BE, BK, VI, VO (the usual defaults).
  const uint8_t records[4][4] = {{0x03, 0xA4, 0x00, 0x00},
                                 {0x27, 0xA4, 0x00, 0x00},
                                 {0x42, 0x43, 0x5E, 0x00},
                                 {0x62, 0x32, 0x2F, 0x00}};
  for (const auto& r : records) b.insert(b.end(), r, r + 4);
  return b;
}

void WpsAttribute(Bytes& b, uint16_t type, const Bytes& value) {
  Be16(b, type);
  Be16(b, static_cast<uint16_t>(value.size()));
  b.insert(b.end(), value.begin(), value.end());
}
Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }
Bytes U16Be(uint16_t v) {
  Bytes b;
  Be16(b, v);
  return b;
}

Bytes WpsBody(const AccessPointSpec& s) {
  using namespace ie::wps;
  using namespace ie::wps_more;
  Bytes b;
  Suite(b, ie::kOuiWifiAlliance, ie::kWifiAllianceWps);
  WpsAttribute(b, kVersion, {kVersion10});
  WpsAttribute(b, kWifiProtectedSetupState,
               {static_cast<uint8_t>(s.wpsConfigured ? kConfigured : kUnconfigured)});
  if (s.wpsLocked) WpsAttribute(b, kApSetupLocked, {1});
  if (s.wps == WpsMode::PushButton || s.wps == WpsMode::Pin) {
    bool pbc = s.wps == WpsMode::PushButton;
    WpsAttribute(b, kSelectedRegistrar, {1});
    WpsAttribute(b, kDevicePasswordId, U16Be(pbc ? kPasswordIdPushButton : kPasswordIdDefaultPin));
    WpsAttribute(b, kSelectedRegistrarConfigMethods,
                 U16Be(pbc ? kConfigPushButton : static_cast<uint16_t>(kConfigDisplay | kConfigKeypad)));
  }
  WpsAttribute(b, kResponseType, {kResponseTypeAp});
  // An invented UUID: a fixed prefix and the BSSID.
  Bytes uuid = {0x0F, 0x5A, 0x51, 0xD0, 0x00, 0x00, 0x40, 0x00, 0x80, 0x00};
  uuid.insert(uuid.end(), s.bssid.begin(), s.bssid.end());
  WpsAttribute(b, kUuidE, uuid);
  WpsAttribute(b, kManufacturer, Text("Orvane"));
  WpsAttribute(b, kModelName, Text("Orvane AP"));
  WpsAttribute(b, kModelNumber, Text("1"));
  const std::string serial = HexEncode(s.bssid);
  WpsAttribute(b, kSerialNumber, Text(serial));
  WpsAttribute(b, kPrimaryDeviceType,
               Bytes(std::begin(kPrimaryDeviceTypeAp), std::end(kPrimaryDeviceTypeAp)));
  WpsAttribute(b, kDeviceName, Text(s.deviceName));
  WpsAttribute(b, kConfigMethods, U16Be(kConfigPushButton | kConfigLabel));
  WpsAttribute(b, kRfBands, {static_cast<uint8_t>(IsAccessPoint5GHz(s) ? kBand5GHz : kBand24GHz)});
  return b;
}

Bytes Ccx1Body(const AccessPointSpec& s) {
  Bytes b(ie::kCcx1Length, 0);
  for (size_t i = 0; i < s.deviceName.size() && i < ie::kCcx1DeviceNameSize; ++i) {
    b[ie::kCcx1DeviceNameOffset + i] = static_cast<uint8_t>(s.deviceName[i]);
  }
  return b;
}

uint16_t Capability(const AccessPointSpec& s) {
  uint16_t c = s.adhoc ? ie::kCapIbss : ie::kCapEss;
  if (s.security != ApSecurity::Open) c |= ie::kCapPrivacy;
  if (!IsAccessPoint5GHz(s)) c |= ie::kCapShortPreamble | ie::kCapShortSlotTime;
  return c;
}

}  // namespace

std::vector<uint16_t> RatesFromElements(std::span<const uint8_t> elements) {
  std::vector<uint16_t> rates;
  for (uint8_t id : {ie::kSupportedRates, ie::kExtendedSupportedRates}) {
    std::span<const uint8_t> e = FindElement(elements, id);
    for (size_t i = ie::kHeaderSize; i < e.size() && rates.size() < wlan::kMaxRates; ++i) {
      uint16_t rate = e[i] & 0x7F;
      if (e[i] & kBasic) rate |= wlan::kBasicRateFlag;
      rates.push_back(rate);
    }
  }
  return rates;
}

BeaconFields BuildBeacon(const AccessPointSpec& s) {
  BeaconFields beacon;
  bool band5 = IsAccessPoint5GHz(s);
  beacon.phyType = s.ht ? ov::dot11_phy_type_ht
                        : (band5 ? ov::dot11_phy_type_ofdm : ov::dot11_phy_type_erp);
  if (s.captured) {
    beacon.capability = s.captured->capability;
    beacon.elements = s.captured->elements;
    beacon.rates = RatesFromElements(beacon.elements);
    return beacon;
  }
  beacon.capability = Capability(s);
  Bytes& e = beacon.elements;
  // Hidden networks beacon an empty SSID.
  Element(e, ie::kSsid, s.hidden ? Bytes{} : Text(s.ssid));
  if (band5) {
    Element(e, ie::kSupportedRates, Bytes(std::begin(kRates5), std::end(kRates5)));
  } else {
    Element(e, ie::kSupportedRates, Bytes(std::begin(kRates24), std::end(kRates24)));
  }
  Element(e, ie::kDsParameterSet, {static_cast<uint8_t>(s.channel)});
  if (s.adhoc) Element(e, ie::kIbssParameterSet, {0x00, 0x00});
  if (!band5) Element(e, ie::kErp, {0x00});
  if (s.ht) Element(e, ie::kHtCapabilities, HtCapabilitiesBody(s));
  if (auto rsn = RsnBody(s)) Element(e, ie::kRsn, *rsn);
  if (!band5) {
    Element(e, ie::kExtendedSupportedRates,
            Bytes(std::begin(kExtendedRates24), std::end(kExtendedRates24)));
  }
  if (s.ht) Element(e, ie::kHtOperation, HtOperationBody(s));
  if (s.security == ApSecurity::WapiPsk) Element(e, ie::kWapi, WapiBody(ie::kWapiAkmPsk));
  if (s.security == ApSecurity::WapiCert) Element(e, ie::kWapi, WapiBody(ie::kWapiAkmCertificate));
  if (s.ccxVersion) Element(e, ie::kCiscoCcx1CkipDeviceName, Ccx1Body(s));
  if (auto wpa = WpaBody(s)) Element(e, ie::kVendorSpecific, *wpa);
  if (s.wmm || s.ht) Element(e, ie::kVendorSpecific, WmmParameterBody());
  if (s.ccxVersion) {
    Bytes body;
    Suite(body, ie::kOuiCisco, ie::kCiscoCcxVersion);
    body.push_back(*s.ccxVersion);
    Element(e, ie::kVendorSpecific, body);
  }
  if (s.wps != WpsMode::Off) Element(e, ie::kVendorSpecific, WpsBody(s));
  beacon.rates = RatesFromElements(e);
  return beacon;
}

uint32_t MaxRateKbps(const AccessPointSpec& spec, const BeaconFields& beacon) {
  uint32_t best = 0;
  for (uint16_t rate : beacon.rates) best = std::max<uint32_t>(best, (rate & 0x7F) * 500u);
  if (spec.ht) {
    // MCS 7 per stream with the short guard interval: 72.2 Mbit/s at 20 MHz, 150 at 40.
    uint32_t perStream = spec.htWidthMhz == 40 ? 150000 : 72200;
    best = std::max(best, perStream * std::min<uint32_t>(spec.spatialStreams, 3));
  }
  return best;
}

}  // namespace ov::sim
