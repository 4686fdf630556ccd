#pragma once
// Hand-written information elements and scan-list entries for the decoder's tests: each builder
// lays out its element exactly as the standard does, so a test reads as the bytes an access
// point would send.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "driver/oid/bssid_list.h"
#include "views/information_elements.h"

namespace ov::test {

using Bytes = std::vector<uint8_t>;

inline Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// An element with the length octet taken from the body.
inline Bytes Element(uint8_t id, const Bytes& body) {
  return Cat({{id, static_cast<uint8_t>(body.size())}, body});
}

// An element whose length octet says `length`, whatever the body holds.
inline Bytes ElementClaiming(uint8_t id, uint8_t length, const Bytes& body) {
  return Cat({{id, length}, body});
}

inline Bytes Suite(const ie::Oui& oui, uint8_t type) { return {oui[0], oui[1], oui[2], type}; }
inline Bytes Rsn(uint8_t type) { return Suite(ie::kOuiIeee80211, type); }
inline Bytes Wfa(uint8_t type) { return Suite(ie::kOuiWifiAlliance, type); }
inline Bytes Le16(uint16_t v) { return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)}; }
inline Bytes Be16(uint16_t v) { return {static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)}; }

// A counted suite list: little-endian count, then the suites.
inline Bytes SuiteList(const std::vector<Bytes>& suites) {
  Bytes out = Le16(static_cast<uint16_t>(suites.size()));
  for (const Bytes& s : suites) out.insert(out.end(), s.begin(), s.end());
  return out;
}

// RSNE: version 1, group suite, pairwise list, AKM list, capabilities 0.
inline Bytes RsnElement(const Bytes& group, const std::vector<Bytes>& pairwise,
                        const std::vector<Bytes>& akms) {
  return Element(ie::kRsn, Cat({Le16(1), group, SuiteList(pairwise), SuiteList(akms), Le16(0)}));
}

// WPA element under the Wi-Fi Alliance OUI (or another OUI and type), version 1.
inline Bytes WpaElement(const Bytes& group, const std::vector<Bytes>& pairwise,
                        const std::vector<Bytes>& akms, const Bytes& ouiAndType = Wfa(1)) {
  return Element(ie::kVendorSpecific, Cat({ouiAndType, Le16(1), group, SuiteList(pairwise), SuiteList(akms)}));
}

// WAPI parameter set: version 1, AKM list, unicast list, multicast suite, capabilities 0.
inline Bytes WapiElement(const std::vector<Bytes>& akms, const std::vector<Bytes>& unicast) {
  return Element(ie::kWapi, Cat({Le16(1), SuiteList(akms), SuiteList(unicast),
                                 Suite(ie::kOuiWapi, ie::kWapiCipherSms4), Le16(0)}));
}

inline Bytes WpsAttribute(uint16_t type, const Bytes& value) {
  return Cat({Be16(type), Be16(static_cast<uint16_t>(value.size())), value});
}

inline Bytes WpsElement(const std::vector<Bytes>& attributes) {
  Bytes body = Wfa(ie::kWifiAllianceWps);
  for (const Bytes& a : attributes) body.insert(body.end(), a.begin(), a.end());
  return Element(ie::kVendorSpecific, body);
}

// HT Capabilities: info word, A-MPDU parameters, the 16-octet MCS set, then zeros to 26 octets.
inline Bytes HtCapabilities(uint16_t info, uint8_t ampdu, const Bytes& mcsSet) {
  Bytes body = Cat({Le16(info), {ampdu}, mcsSet});
  body.resize(ie::ht_capabilities::kLength, 0);
  return Element(ie::kHtCapabilities, body);
}

// HT Operation: primary channel, the three subsets, the 16-octet basic MCS set.
inline Bytes HtOperation(uint8_t primary, uint8_t subset1, uint16_t subset2, uint16_t subset3,
                         Bytes basicMcs = Bytes(16, 0)) {
  basicMcs.resize(16, 0);
  return Element(ie::kHtOperation, Cat({{primary, subset1}, Le16(subset2), Le16(subset3), basicMcs}));
}

inline Bytes SsidElement(const char* text) {
  Bytes body;
  for (const char* c = text; *c; ++c) body.push_back(static_cast<uint8_t>(*c));
  return Element(ie::kSsid, body);
}

// A scan list holding the given entries.
inline Bytes ScanListOf(const std::vector<Bytes>& entries) {
  Bytes list(kBssidListBufferSize);
  BssidListWriter writer(list);
  for (const Bytes& entry : entries) EXPECT_TRUE(writer.Append(entry));
  return list;
}

constexpr MacAddress kTestBssid = {0x02, 0x00, 0x5E, 0x10, 0x20, 0x30};

// A scan-list entry around the given elements.
inline Bytes EntryWith(const Bytes& elements, uint32_t infrastructureMode = Ndis802_11Infrastructure) {
  BssDescription bss;
  bss.bssid = kTestBssid;
  bss.ssid = "net";
  bss.privacy = true;
  bss.rssi = -60;
  bss.beaconPeriod = 100;
  bss.dsConfigKHz = 2437000;
  bss.infrastructureMode = infrastructureMode;
  bss.informationElements = elements;
  return MakeBssidEntry(bss);
}

}  // namespace ov::test
