#include "views/bss_describe.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "driver/oid/bssid_list.h"
#include "driver/oid/byte_codec.h"
#include "views/information_elements.h"
#include "platform/system/hex_text.h"

namespace ov {

namespace {

using byte_codec::Fits;
using Element = std::span<const uint8_t>;  // one element, from its id octet to its last body octet

// ---- Reads inside one element ----

uint16_t Le16(Element e, size_t at) { return byte_codec::GetU16(e, at); }
uint16_t Be16(Element e, size_t at) {
  return Fits(e.size(), at, 2) ? static_cast<uint16_t>(e[at] << 8 | e[at + 1]) : 0;
}
uint8_t BodyLength(Element e) { return e[ie::kLengthOffset]; }

// A suite selector with its OUI as one number, so that comparing OUIs is one comparison.
struct Suite {
  uint32_t oui = 0;
  uint8_t type = 0;
};
constexpr uint32_t OuiCode(const ie::Oui& oui) {
  return static_cast<uint32_t>(oui[0]) << 16 | static_cast<uint32_t>(oui[1]) << 8 | oui[2];
}
constexpr uint32_t kIeee80211 = OuiCode(ie::kOuiIeee80211);
constexpr uint32_t kWifiAlliance = OuiCode(ie::kOuiWifiAlliance);
constexpr uint32_t kCisco = OuiCode(ie::kOuiCisco);
constexpr uint32_t kWpaNone = OuiCode(ie::kOuiWpaNone);
constexpr uint32_t kWapi = OuiCode(ie::kOuiWapi);
constexpr uint32_t kBroadcom = OuiCode(ie::kOuiBroadcom);

// Only called where the four octets are known to be inside the element.
Suite SuiteAt(Element e, size_t at) {
  return {static_cast<uint32_t>(e[at]) << 16 | static_cast<uint32_t>(e[at + 1]) << 8 | e[at + 2], e[at + 3]};
}

// Visits the suites of a counted list whose count sits at `countAt`, stopping at the element's
// end whatever the count says, or when `visit` returns false. Returns the offset where the
// list would end by its count, so that a following list can be found as the layout places it.
template <typename Visit>
size_t ForEachSuite(Element e, size_t countAt, Visit visit) {
  if (!Fits(e.size(), countAt, ie::kSuiteCountSize)) return e.size();
  const size_t count = Le16(e, countAt);
  const size_t first = countAt + ie::kSuiteCountSize;
  for (size_t i = 0; i < count; ++i) {
    const size_t at = first + i * ie::kSuiteSize;
    if (!Fits(e.size(), at, ie::kSuiteSize)) break;
    if (!visit(SuiteAt(e, at))) break;
  }
  return first + count * ie::kSuiteSize;
}

void AppendHexOctets(std::string& out, std::span<const uint8_t> bytes) { out += HexEncode(bytes); }

// "0x%04X".
std::string Hex16(uint16_t value) {
  std::string text = "0x";
  const uint8_t octets[] = {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
  AppendHexOctets(text, octets);
  return text;
}

const char* TrueFalse(bool value) { return value ? "TRUE" : "FALSE"; }

// ---- The walk ----

class ElementDecoder {
 public:
  ElementDecoder(BssElements& out, bool infrastructure, OsVersionCode osVersion)
      : out_(out), infrastructure_(infrastructure), osVersion_(osVersion) {}

  // The first element is always taken, so a hidden network's empty SSID does not end the walk;
  // after it an element of length 0 does, as the list's zero padding would. An element whose
  // body runs past the list ends it too: nothing past the list is read.
  void Walk(std::span<const uint8_t> elements) {
    size_t at = 0;
    bool first = true;
    while (Fits(elements.size(), at, ie::kHeaderSize)) {
      const uint8_t length = elements[at + ie::kLengthOffset];
      if (!first && length == 0) break;
      if (!Fits(elements.size(), at, ie::kHeaderSize + length)) break;
      Handle(elements.subspan(at, ie::kHeaderSize + length));
      at += ie::kHeaderSize + length;
      first = false;
    }
  }

 private:
  void Handle(Element e) {
    switch (e[ie::kIdOffset]) {
      case ie::kHtCapabilities: HtCapabilities(e); break;
      case ie::kRsn: Rsn(e); break;
      case ie::kNeighborReport: NeighborReport(e); break;
      case ie::kHtOperation: HtOperation(e); break;
      case ie::kSecondaryChannelOffset: SecondaryChannelOffset(e); break;
      case ie::kWapi: Wapi(e); break;
      case ie::kExtendedCapabilities: ExtendedCapabilities(e); break;
      case ie::kVendorSpecific: Vendor(e); break;
      default: break;
    }
  }

  void HtCapabilities(Element e) {
    namespace h = ie::ht_capabilities;
    if (BodyLength(e) != h::kLength) return;
    out_.htCapabilitiesPresent = true;
    out_.htCapabilitiesInfo = Le16(e, h::kCapabilitiesInfo);
    out_.ampduParameters = e[h::kAmpduParameters];
    std::copy_n(e.begin() + h::kSupportedMcsSet, h::kMcsSetSize, out_.supportedMcsSet.begin());
  }

  // Group and pairwise ciphers of an RSNE or a WPA element.
  void Cipher(uint8_t type) {
    switch (type) {
      case ie::kCipherTkip: out_.tkip = true; break;
      case ie::kCipherWrap: out_.aesType3 = true; break;
      case ie::kCipherCcmp: out_.aesType4 = true; break;
      default: break;
    }
  }

  void Rsn(Element e) {
    namespace r = ie::rsn;
    if (BodyLength(e) < r::kMinLength) return;
    const Suite group = SuiteAt(e, r::kGroupSuite);
    if (group.oui != kIeee80211) return;
    Cipher(group.type);
    const size_t akmCountAt = ForEachSuite(e, r::kPairwiseCount, [&](Suite s) {
      if (s.oui != kIeee80211) return false;
      Cipher(s.type);
      return true;
    });
    ForEachSuite(e, akmCountAt, [&](Suite s) {
      if (s.oui == kCisco) {
        out_.cckm = true;
        out_.wpa2 = true;
      } else if (s.oui == kIeee80211) {
        if (s.type == ie::kAkm8021X) {
          out_.wpa2 = true;
        } else if (s.type == ie::kAkmNone || s.type == ie::kAkmPsk) {
          (infrastructure_ ? out_.wpa2Psk : out_.wpa2None) = true;
        }
      }
      return true;
    });
  }

  // The WPA element, and elements laid out like it under the Wi-Fi Alliance and Cisco OUIs.
  void Wpa(Element e) {
    namespace w = ie::wpa;
    if (BodyLength(e) < w::kMinLength) return;
    const Suite group = SuiteAt(e, w::kGroupSuite);
    if (group.oui == kWifiAlliance) {
      Cipher(group.type);
    } else if (group.oui == kCisco) {
      if (group.type == ie::kCiscoCkip || group.type == ie::kCiscoCkipCmic) out_.ckip = true;
      if (group.type == ie::kCiscoCkipCmic || group.type == ie::kCiscoCmic) out_.cmic = true;
    } else {
      return;
    }
    const size_t akmCountAt = ForEachSuite(e, w::kPairwiseCount, [&](Suite s) {
      if (s.oui != kWifiAlliance) return false;
      Cipher(s.type);
      return true;
    });
    ForEachSuite(e, akmCountAt, [&](Suite s) {
      if (s.oui == kCisco) {
        out_.cckm = true;
        out_.wpa = true;
      } else if (s.oui == kWifiAlliance || s.oui == kWpaNone) {
        if (s.type == ie::kAkm8021X) {
          out_.wpa = true;
        } else if (s.type == ie::kAkmNone || s.type == ie::kAkmPsk) {
          // Systems from version code 11 on report the ad hoc preshared key as WPA-PSK.
          const bool psk = osVersion_ >= 11 || infrastructure_;
          (psk ? out_.wpaPsk : out_.wpaNone) = true;
        }
      }
      return true;
    });
  }

  void NeighborReport(Element e) {
    namespace n = ie::neighbor_report;
    if (BodyLength(e) < n::kMinLength) return;
    const uint16_t info = Le16(e, n::kBssidInformation);
    out_.mobilityDomain = (info >> n::kMobilityDomainBit) & 1;
    out_.highThroughput = (info >> n::kHighThroughputBit) & 1;
  }

  void HtOperation(Element e) {
    namespace h = ie::ht_operation;
    if (BodyLength(e) < h::kMinLength) return;
    out_.htInformationPresent = true;
    out_.primaryChannel = e[h::kPrimaryChannel];
    out_.htInformationSubset1 = e[h::kSubset1];
    out_.htInformationSubset2 = Le16(e, h::kSubset2);
    out_.htInformationSubset3 = Le16(e, h::kSubset3);
    std::copy_n(e.begin() + h::kBasicMcsSet, h::kBasicMcsSetSize, out_.basicMcsSet.begin());
  }

  // The element's body is one octet; longer bodies are read for their first octet as well.
  void SecondaryChannelOffset(Element e) {
    if (BodyLength(e) < 1) return;
    out_.secondaryChannelOffset = e[ie::kBodyOffset];
  }

  void ExtendedCapabilities(Element e) {
    if (BodyLength(e) < 1) return;
    out_.htInformationExchange = e[ie::kBodyOffset] & ie::kExtCapHtInformationExchange;
  }

  void Wapi(Element e) {
    namespace w = ie::wapi;
    const size_t unicastCountAt = ForEachSuite(e, w::kAkmCount, [&](Suite s) {
      if (s.oui == kWapi) {
        if (s.type == ie::kWapiAkmPsk) out_.wapiPsk = true;
        if (s.type == ie::kWapiAkmCertificate) out_.wapiCa = true;
      }
      return true;
    });
    ForEachSuite(e, unicastCountAt, [&](Suite s) {
      if (s.oui == kWapi && s.type == ie::kWapiCipherSms4) out_.sms4 = true;
      return true;
    });
  }

  void Vendor(Element e) {
    if (BodyLength(e) < ie::kSuiteSize) return;  // no OUI and type to go by
    const Suite kind = SuiteAt(e, ie::kBodyOffset);
    if (kind.oui == kWifiAlliance) {
      if (kind.type == ie::kWifiAllianceWpa || kind.type == ie::kWifiAllianceWmm) {
        Wpa(e);
      } else if (kind.type == ie::kWifiAllianceWps && BodyLength(e) > ie::kSuiteSize) {
        Wps(e);
      }
    } else if (kind.oui == kCisco) {
      Wpa(e);
    } else if (kind.oui == kBroadcom) {
      if (kind.type == ie::kBroadcomHtCapabilities &&
          BodyLength(e) == ie::kBroadcomHtCapabilitiesLength) {
        out_.htCapabilitiesPresent = true;
      } else if (kind.type == ie::kBroadcomHtInformation &&
                 BodyLength(e) >= ie::kBroadcomHtInformationMinLength) {
        out_.htInformationPresent = true;
      }
    }
  }

  // Attributes are walked while a whole one fits in the element; a value shorter than what an
  // attribute's rule reads leaves that attribute out.
  void Wps(Element e) {
    namespace w = ie::wps;
    out_.wpsPresent = true;
    size_t at = w::kFirstAttribute;
    while (Fits(e.size(), at, w::kAttributeHeaderSize)) {
      const uint16_t type = Be16(e, at);
      const size_t length = Be16(e, at + 2);
      if (!Fits(e.size(), at + w::kAttributeHeaderSize, length)) break;
      WpsAttribute(type, e.subspan(at + w::kAttributeHeaderSize, length));
      at += w::kAttributeHeaderSize + length;
    }
  }

  void WpsAttribute(uint16_t type, std::span<const uint8_t> v) {
    namespace w = ie::wps;
    switch (type) {
      case w::kConfigMethods:
      case w::kSelectedRegistrarConfigMethods:
        if (v.size() >= 2) out_.wpsConfigMethods = Be16(v, 0);
        break;
      case w::kDevicePasswordId:
        if (v.size() >= 2) out_.wpsDevicePasswordId = Be16(v, 0);
        break;
      case w::kSelectedRegistrar:
        if (!v.empty()) out_.wpsSelectedRegistrar = TrueFalse(v[0] != 0);
        break;
      case w::kEnrolleeNonce:
        if (v.size() >= w::kNonceSize) AppendHexOctets(out_.wpsSelectedRegistrar, v.first(w::kNonceSize));
        break;
      case w::kWifiProtectedSetupState:
        if (!v.empty()) out_.wpsState = v[0];
        break;
      case w::kVersion:
        if (!v.empty()) out_.wpsVersion = v[0];
        break;
      case w::kApSetupLocked:
        if (!v.empty()) out_.wpsApSetupLocked = v[0] != 0;
        break;
      case w::kUuidE:
        if (v.size() >= w::kUuidSize) {
          std::array<uint8_t, w::kUuidSize> uuid;
          std::copy_n(v.begin(), w::kUuidSize, uuid.begin());
          out_.wpsUuidE = uuid;
        }
        break;
      case w::kRfBands:
        if (!v.empty()) out_.wpsRfBands = v[0];
        break;
      default: break;
    }
  }

  BssElements& out_;
  bool infrastructure_;
  OsVersionCode osVersion_;
};

// ---- Rendering ----

// Builds a ";"-separated list of short fields in a buffer of its own, so that the list is made
// without touching the heap until the text is handed out.
class FieldList {
 public:
  void Add(std::string_view field) {
    if (length_ + field.size() + 1 > kCapacity) return;  // never, with fields this short
    if (length_) text_[length_++] = ';';
    std::memcpy(text_ + length_, field.data(), field.size());
    length_ += field.size();
  }
  void AddFlag(unsigned value) { Add(value == 1 ? std::string_view("TRUE") : std::string_view("FALSE")); }
  void AddNumber(int64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    Add(std::string_view(digits, static_cast<size_t>(end - digits)));
  }
  std::string Take() const { return std::string(text_, length_); }

 private:
  // Fifty-five fields of at most eleven characters and their separators.
  static constexpr size_t kCapacity = 55 * 12;
  char text_[kCapacity];
  size_t length_ = 0;
};

// Joins the names of the set flags with "+", or gives `none`.
std::string JoinFlags(std::initializer_list<std::pair<bool, std::string_view>> flags,
                      std::string_view none) {
  std::string out;
  for (const auto& [set, name] : flags) {
    if (!set) continue;
    if (!out.empty()) out.push_back('+');
    out.append(name);
  }
  return out.empty() ? std::string(none) : out;
}

std::string FormatSecurity(const BssElements& b) {
  std::string auth = JoinFlags({{b.wpa, "WPA"},
                                {b.wpaPsk, "WPA-PSK"},
                                {b.wpaNone, "WPA-NONE"},
                                {b.wpa2, "WPA2"},
                                {b.wpa2Psk, "WPA2-PSK"},
                                {b.wpa2None, "WPA2-NONE"},
                                {b.wapiPsk, "WAPI-PSK"},
                                {b.wapiCa, "WAPI-CA"}},
                               "Unknown");
  const std::string cipher =
      JoinFlags({{b.tkip, "TKIP"}, {b.aesType3 || b.aesType4, "AES"}, {b.sms4, "SMS4"}}, "None");
  return auth + ";" + cipher;
}

std::string FormatCcx(const BssElements& b) {
  FieldList f;
  f.AddFlag(b.cckm);
  f.AddFlag(b.cmic);
  f.AddFlag(b.ckip);
  return f.Take();
}

std::string FormatWps(const BssElements& b) {
  namespace w = ie::wps;
  std::string text;
  text.reserve(96 + b.wpsSelectedRegistrar.size());
  const auto add = [&](std::string_view field) {
    if (!text.empty()) text.push_back(';');
    text.append(field.empty() ? std::string_view("Unknown") : field);
  };
  const auto addHex16 = [&](const std::optional<uint16_t>& v) {
    if (!v) return add("");
    if (!text.empty()) text.push_back(';');
    text.append(Hex16(*v));
  };
  addHex16(b.wpsConfigMethods);
  addHex16(b.wpsDevicePasswordId);
  add(b.wpsSelectedRegistrar);
  add(!b.wpsState                       ? ""
      : *b.wpsState == w::kUnconfigured ? "Unconfigured"
      : *b.wpsState == w::kConfigured   ? "Configured"
                                        : "");
  if (b.wpsVersion) {
    // "%u.%u" of the high and low nibble.
    text.push_back(';');
    text.append(std::to_string(*b.wpsVersion >> 4));
    text.push_back('.');
    text.append(std::to_string(*b.wpsVersion & 0x0F));
  } else {
    add("");
  }
  add(b.wpsApSetupLocked ? TrueFalse(*b.wpsApSetupLocked) : "");
  if (b.wpsUuidE) {
    text.push_back(';');
    AppendHexOctets(text, *b.wpsUuidE);
  } else {
    add("");
  }
  add(!b.wpsRfBands                                     ? ""
      : *b.wpsRfBands == w::kBand24GHz                  ? "0x01 (2.4GHz)"
      : *b.wpsRfBands == w::kBand5GHz                   ? "0x02 (5GHz)"
      : *b.wpsRfBands == (w::kBand24GHz | w::kBand5GHz) ? "0x03"
                                                        : "");
  text.append(b.wpsPresent ? ";TRUE" : ";FALSE");
  return text;
}

unsigned Bits(unsigned word, unsigned shift, unsigned width) {
  return (word >> shift) & ((1u << width) - 1);
}

std::string FormatHt(const BssElements& b) {
  FieldList f;
  const unsigned cap = b.htCapabilitiesInfo;
  f.AddNumber(b.secondaryChannelOffset);                  // 0
  f.AddFlag(b.htInformationExchange);                     // 1
  f.AddFlag(b.mobilityDomain);                            // 2
  f.AddFlag(b.highThroughput);                            // 3
  f.AddFlag(b.htCapabilitiesPresent);                     // 4
  f.AddFlag(Bits(cap, 0, 1));                             // 5 LDPC
  f.AddNumber(Bits(cap, 1, 1));                           // 6 channel width set
  f.AddNumber(Bits(cap, ie::kHtCapSmPowerSaveShift, 2));  // 7
  f.AddFlag(Bits(cap, 4, 1));                             // 8 greenfield
  f.AddFlag(Bits(cap, 5, 1));                             // 9 short GI 20
  f.AddFlag(Bits(cap, 6, 1));                             // 10 short GI 40
  f.AddFlag(Bits(cap, 7, 1));                             // 11 Tx STBC
  f.AddNumber(Bits(cap, ie::kHtCapRxStbcShift, 2));       // 12
  f.AddFlag(Bits(cap, 10, 1));                            // 13 delayed block ack
  f.AddNumber(Bits(cap, 11, 1));                          // 14 max A-MSDU length
  f.AddFlag(Bits(cap, 12, 1));                            // 15 DSSS/CCK in 40 MHz
  f.AddFlag(Bits(cap, 13, 1));                            // 16 PSMP
  f.Add("FALSE");                                         // 17
  f.Add("FALSE");                                         // 18
  f.AddFlag(Bits(cap, 14, 1));                            // 19 forty MHz intolerant
  f.AddFlag(Bits(cap, 15, 1));                            // 20 L-SIG TXOP protection
  f.AddNumber(Bits(b.ampduParameters, 0, 2));             // 21
  f.AddNumber(Bits(b.ampduParameters, 2, 3));             // 22
  f.AddFlag(Bits(b.supportedMcsSet[ie::ht_capabilities::kTxMcsSetOctet], 0, 1));  // 23
  f.Add("FALSE");                                         // 24
  f.Add("0");                                             // 25
  f.Add("FALSE");                                         // 26
  f.Add("FALSE");                                         // 27
  f.Add("FALSE");                                         // 28
  f.Add("0");                                             // 29
  f.Add("0");                                             // 30
  f.Add("FALSE");                                         // 31
  f.Add("FALSE");                                         // 32
  f.AddNumber(b.primaryChannel);                          // 33
  const unsigned s1 = b.htInformationSubset1;
  f.AddNumber(Bits(s1, 0, 2));                            // 34 secondary channel offset
  f.AddNumber(Bits(s1, 2, 1));                            // 35 STA channel width
  f.AddFlag(Bits(s1, 3, 1));                              // 36 RIFS
  f.AddFlag(Bits(s1, 4, 1));                              // 37 PSMP STAs only
  f.AddNumber(Bits(s1, 5, 3));                            // 38 service interval granularity
  const unsigned s2 = b.htInformationSubset2;
  f.AddNumber(Bits(s2, 0, 2));                            // 39 operating mode
  f.AddFlag(Bits(s2, 2, 1));                              // 40 non-greenfield STAs present
  f.AddFlag(Bits(s2, 3, 1));                              // 41 transmit burst limit
  f.AddFlag(Bits(s2, 4, 1));                              // 42 OBSS non-HT STAs present
  const unsigned s3 = b.htInformationSubset3;
  namespace op = ie::ht_operation;
  for (unsigned bit : {op::kDualBeaconBit, op::kDualCtsProtectionBit, op::kStbcBeaconBit,
                       op::kLsigTxopFullSupportBit, op::kPcoActiveBit, op::kPcoPhaseBit}) {
    f.AddFlag(Bits(s3, bit, 1));                          // 43-48
  }
  // The standard has no Basic MCS Set flag: the row says whether the set names any MCS.
  f.AddFlag(std::any_of(b.basicMcsSet.begin(), b.basicMcsSet.end(), [](uint8_t v) { return v; }));  // 49
  for (size_t word = 0; word < 4; ++word) {
    f.AddNumber(byte_codec::GetI32(b.basicMcsSet, word * 4));  // 50-53
  }
  f.AddFlag(b.htInformationPresent);                      // 54
  return f.Take();
}

}  // namespace

const std::array<std::string_view, kBssHtFieldCount> kBssHtFieldLabels = {
    "Secondary Channel Offset",
    "HT Information Exchange Support",
    "Mobility Domain",
    "High Throughput",
    "HT Capability",
    "LDPC Coding Capability",
    "Supported Channel Width Set",
    "SM Power Save",
    "Greenfield",
    "Short GI for 20 MHz",
    "Short GI for 40 MHz",
    "Tx STBC",
    "Rx STBC",
    "HT-delayed BlockAck",
    "Maximum A-MSDU Length",
    "DSSS/CCK Mode in 40MHz",
    "PSMP Support",
    "HT Capability PSMP Support",
    "Maximum A-MSDU Length",
    "Forty MHz Intolerant",
    "L-SIG TXOP Protection Support",
    "Maximum Rx A-MPDU Factor",
    "Minimum MPDU Start Spacing",
    "Tx MCS Set Defined",
    "Tx Rx MCS Set Not Equal",
    "Tx Maximum Number Spatial Streams Supported",
    "Tx Unequal Modulation Support",
    "DSS/CCK Mode in 40 MHz",
    "HT Information PSMP Support",
    "Maximum Rx A-MPDU Factor",
    "Minimum MPDU Start Spacing",
    "+HTC Support",
    "RD Responder",
    "Primary Channel",
    "HT Information Secondary Channel Offset",
    "STA Channel Width",
    "RIFS Mode",
    "PSMP STAs Only",
    "Service Interval Granularity",
    "Operating Mode",
    "Non-greenfield STAs Present",
    "Transmit Burst Limit",
    "OBSS None-HT STAs Present",
    "Dual Beacon",
    "Dual CTS Protection",
    "Secondary Beacon",
    "L-SIG TXOP Protection Full Support",
    "PCO Active",
    "PCP Phase",
    "Basic MCS Set",
    "Basic MCS Set 0",
    "Basic MCS Set 1",
    "Basic MCS Set 2",
    "Basic MCS Set 3",
    "HT Information",
};

const std::array<std::string_view, kBssWpsFieldCount> kBssWpsFieldLabels = {
    "Config Methods", "Device Password ID", "Selected Registrar", "State", "Version",
    "AP Setup Locked", "UUID-E", "RF Bands", "WPS",
};

BssElements DecodeBssElements(std::span<const uint8_t> entry, OsVersionCode osVersion) {
  BssElements out;
  if (entry.size() < kNdisWlanBssidExFixedSize) return out;
  // Of the fixed part only the network's mode matters here: it decides PSK against NONE.
  const uint32_t mode = byte_codec::GetU32(entry, bssid_entry_offset::kInfrastructureMode);
  ElementDecoder decoder(out, mode != Ndis802_11IBSS, osVersion);
  decoder.Walk(BssidEntryElements(entry));
  return out;
}

std::string FormatBssForm(const BssElements& elements, int form) {
  switch (form) {
    case kBssFormSecurity: return FormatSecurity(elements);
    case kBssFormCcx: return FormatCcx(elements);
    case kBssFormWps: return FormatWps(elements);
    case kBssFormHt: return FormatHt(elements);
    default: return {};
  }
}

std::string DescribeBss(std::span<const uint8_t> entry, int form,
                        std::array<uint8_t, kHtMcsSetSize>* mcsSet, OsVersionCode osVersion) {
  const BssElements elements = DecodeBssElements(entry, osVersion);
  // Only an HT Capabilities element fills the set; without one it stays zero.
  if (mcsSet) *mcsSet = elements.supportedMcsSet;
  return FormatBssForm(elements, form);
}

std::vector<std::string> SplitBssForm(std::string_view text) {
  std::vector<std::string> fields;
  size_t start = 0;
  while (true) {
    const size_t end = text.find(';', start);
    fields.emplace_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return fields;
}

}  // namespace ov
