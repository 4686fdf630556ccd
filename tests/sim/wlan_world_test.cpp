// The simulated radio world's pieces: access points as scenarios give them, the elements of
// their beacons, beacons taken from captures, the passphrase-to-key mapping, the service's
// reading of profile documents and its judgement of a profile against an access point.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "driver/oid/bssid_list.h"
#include "sim/beacon_elements.h"
#include "sim/element_constants.h"
#include "sim/pcap_beacon.h"
#include "sim/scenario.h"
#include "sim/wlan_security.h"
#include "siblings/wapi_keys.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_data.h"
#include "views/bss_describe.h"
#include "views/pcap_beacons.h"

namespace ov::sim {
namespace {

namespace fs = std::filesystem;
using namespace ov::wlan;

const fs::path kTestData = test::TestData();

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

AccessPointSpec Ap(const std::string& json) {
  AccessPointSpec spec;
  std::string error;
  EXPECT_TRUE(ParseAccessPointJson(json, "", &spec, &error)) << json << ": " << error;
  return spec;
}

Scenario DefaultScenario() {
  Scenario scenario;
  std::string error;
  EXPECT_TRUE(LoadScenarioFile(std::string(OVUI_SOURCE_DIR) + "/data/scenarios/default.json",
                               &scenario, &error))
      << error;
  return scenario;
}

std::string Hex(std::span<const uint8_t> bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (uint8_t b : bytes) {
    out += kHex[b >> 4];
    out += kHex[b & 0xF];
  }
  return out;
}

// The body of the first vendor element with this OUI and type.
std::span<const uint8_t> Vendor(std::span<const uint8_t> elements, const ie::Oui& oui, uint8_t type) {
  size_t at = 0;
  while (at + 2 <= elements.size() && at + 2 + elements[at + 1] <= elements.size()) {
    std::span<const uint8_t> e = elements.subspan(at, 2 + elements[at + 1]);
    if (e[0] == ie::kVendorSpecific && e.size() >= 6 && std::equal(oui.begin(), oui.end(), e.begin() + 2) &&
        e[5] == type) {
      return e.subspan(2);
    }
    at += e.size();
  }
  return {};
}

// ---- Access points from JSON ----

TEST(AccessPointSpecTest, OmittedFieldsTakeTheirDefaults) {
  AccessPointSpec s = Ap(R"({"ssid": "Cafe", "bssid": "02:5A:0F:20:00:01", "channel": 6})");
  EXPECT_EQ(s.signalDbm, -60);
  EXPECT_EQ(s.security, ApSecurity::Open);
  EXPECT_FALSE(s.adhoc);
  EXPECT_FALSE(s.hidden);
  EXPECT_FALSE(s.ht);
  EXPECT_TRUE(s.wmm);
  EXPECT_EQ(s.wps, WpsMode::Off);
  EXPECT_EQ(s.beaconPeriod, 100);
}

TEST(AccessPointSpecTest, InconsistentSettingsAreRefusedWithTheField) {
  struct Case {
    const char* name;
    const char* json;
    const char* message;
  };
  const Case cases[] = {
      {"not an object", "[]", "must be a JSON object"},
      {"unknown field", R"({"ssid":"a","bssid":"02:00:00:00:00:01","channel":1,"colour":1})", "unknown field \"colour\""},
      {"no bssid", R"({"ssid":"a","channel":1})", "bssid: missing"},
      {"group bssid", R"({"ssid":"a","bssid":"03:00:00:00:00:01","channel":1})", "bssid:"},
      {"no channel", R"({"ssid":"a","bssid":"02:00:00:00:00:01"})", "channel: missing"},
      {"channel 15", R"({"ssid":"a","bssid":"02:00:00:00:00:01","channel":15})", "channel: 15 is no channel"},
      {"SSID of 33 bytes", R"({"ssid":"123456789012345678901234567890123","bssid":"02:00:00:00:00:01","channel":1})", "ssid:"},
      {"PSK without key", R"({"ssid":"a","bssid":"02:00:00:00:00:01","channel":1,"security":"wpa2-psk"})", "passphrase: missing"},
      {"short passphrase", R"({"ssid":"a","bssid":"02:00:00:00:00:01","channel":1,"security":"wpa2-psk","passphrase":"1234567"})", "passphrase: must be 8 to 63"},
      {"passphrase and key", R"({"ssid":"a","bssid":"02:00:00:00:00:01","channel":1,"security":"wpa2-psk","passphrase":"12345678","psk_hex":"0000000000000000000000000000000000000000000000000000000000000000"})", "not both"},
      {"WEP key of 12 digits", R"({"ssid":"a","bssid":"02:00:00:00:00:01","channel":1,"security":"wep-open","wep_key":"0123456789AB"})", "wep_key: must be 10 or 26"},
      {"open network with a key", R"({"ssid":"a","bssid":"02:00:00:00:00:01","channel":1,"passphrase":"12345678"})", "only the PSK kinds"},
      {"enterprise without accounts", R"({"ssid":"a","bssid":"02:00:00:00:00:01","channel":1,"security":"wpa2-enterprise"})", "users: missing"},
      {"unknown EAP method", R"({"ssid":"a","bssid":"02:00:00:00:00:01","channel":1,"security":"wpa2-enterprise","users":[{"method":"md5","identity":"x"}]})", "users[0].method"},
      {"wpa-none in infrastructure", R"({"ssid":"a","bssid":"02:00:00:00:00:01","channel":1,"security":"wpa-none","passphrase":"12345678"})", "ad hoc cells"},
      {"ad hoc enterprise", R"({"ssid":"a","bssid":"02:00:00:00:00:01","channel":1,"bss_type":"adhoc","security":"cckm","users":[{"method":"leap","identity":"x","password":"y"}]})", "an ad hoc cell is"},
      {"40 MHz off the band", R"({"ssid":"a","bssid":"02:00:00:00:00:01","channel":13,"ht":{"width_mhz":40,"secondary":"above"}})", "ht.secondary"},
      {"unknown security", R"({"ssid":"a","bssid":"02:00:00:00:00:01","channel":1,"security":"wpa3"})", "security: \"wpa3\""},
      {"capture that is missing", R"({"beacon_pcap":"/nonexistent.pcap"})", "beacon_pcap: cannot read"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AccessPointSpec spec;
    std::string error;
    EXPECT_FALSE(ParseAccessPointJson(c.json, "", &spec, &error));
    EXPECT_NE(error.find(c.message), std::string::npos) << "message: " << error;
  }
}

TEST(AccessPointSpecTest, DefaultScenarioHasEveryKindOfNetwork) {
  Scenario scenario = DefaultScenario();
  auto has = [&](auto predicate) {
    return std::any_of(scenario.accessPoints.begin(), scenario.accessPoints.end(), predicate);
  };
  for (ApSecurity kind : {ApSecurity::Open, ApSecurity::WepOpen, ApSecurity::WepShared, ApSecurity::WpaPsk,
                          ApSecurity::Wpa2Psk, ApSecurity::WpaWpa2Psk, ApSecurity::Wpa2Enterprise,
                          ApSecurity::Cckm, ApSecurity::WapiPsk, ApSecurity::WapiCert}) {
    SCOPED_TRACE(std::string(ApSecurityName(kind)));
    EXPECT_TRUE(has([&](const AccessPointSpec& s) { return s.security == kind; }));
  }
  EXPECT_TRUE(has([](const AccessPointSpec& s) { return s.hidden; }));
  EXPECT_TRUE(has([](const AccessPointSpec& s) { return s.adhoc; }));
  EXPECT_TRUE(has([](const AccessPointSpec& s) { return IsAccessPoint5GHz(s) && s.htWidthMhz == 40; }));
  EXPECT_TRUE(has([](const AccessPointSpec& s) { return s.wps == WpsMode::PushButton; }));
  EXPECT_TRUE(has([](const AccessPointSpec& s) { return s.wps == WpsMode::Pin; }));
  EXPECT_TRUE(has([](const AccessPointSpec& s) {
    return std::any_of(s.users.begin(), s.users.end(), [](const ApUser& u) { return u.method == EapMethod::PeapMsChapV2; }) &&
           std::any_of(s.users.begin(), s.users.end(), [](const ApUser& u) { return u.method == EapMethod::Tls; });
  }));
  for (const AccessPointSpec& s : scenario.accessPoints) {
    SCOPED_TRACE(s.ssid);
    EXPECT_EQ(s.bssid[0], 0x02) << "BSSIDs are locally administered, invented addresses";
  }
}

// ---- Beacon elements ----

TEST(BeaconElementsTest, SecurityElementsCarryTheSuitesOfEachKind) {
  struct Case {
    const char* name;
    const char* json;
    const char* rsn;  // RSN element body in hex, "" for none
    const char* wpa;  // WPA vendor element body after OUI and type
  };
  const Case cases[] = {
      {"open", R"({"ssid":"a","bssid":"02:00:00:00:00:01","channel":1})", "", ""},
      {"WPA2-PSK",
       R"({"ssid":"a","bssid":"02:00:00:00:00:01","channel":1,"security":"wpa2-psk","passphrase":"12345678"})",
       "0100000fac040100000fac040100000fac020000", ""},
      {"WPA-PSK",
       R"({"ssid":"a","bssid":"02:00:00:00:00:01","channel":1,"security":"wpa-psk","passphrase":"12345678"})",
       "", "01000050f20201000050f20201000050f202"},
      {"mixed",
       R"({"ssid":"a","bssid":"02:00:00:00:00:01","channel":1,"security":"wpa-wpa2-psk","passphrase":"12345678"})",
       "0100000fac020200000fac04000fac020100000fac020000", "01000050f20201000050f20201000050f202"},
      {"WPA2-Enterprise",
       R"({"ssid":"a","bssid":"02:00:00:00:00:01","channel":1,"security":"wpa2-enterprise","users":[{"method":"eap-tls","identity":"x"}]})",
       "0100000fac040100000fac040100000fac010100", ""},
      {"CCKM",
       R"({"ssid":"a","bssid":"02:00:00:00:00:01","channel":1,"security":"cckm","users":[{"method":"leap","identity":"x","password":"y"}]})",
       "", "01000050f20201000050f2020200004096000050f201"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BeaconFields beacon = BuildBeacon(Ap(c.json));
    auto rsn = FindElement(beacon.elements, ie::kRsn);
    EXPECT_EQ(rsn.empty() ? "" : Hex(rsn.subspan(2)), c.rsn);
    auto wpa = Vendor(beacon.elements, ie::kOuiWifiAlliance, ie::kWifiAllianceWpa);
    EXPECT_EQ(wpa.empty() ? "" : Hex(wpa.subspan(4)), c.wpa);
    EXPECT_EQ((beacon.capability & ie::kCapPrivacy) != 0, std::string(c.name) != "open");
  }
}

TEST(BeaconElementsTest, EveryDefaultAccessPointHasWellFormedElements) {
  for (const AccessPointSpec& s : DefaultScenario().accessPoints) {
    SCOPED_TRACE(s.ssid);
    BeaconFields b = BuildBeacon(s);
    size_t at = 0;
    while (at + 2 <= b.elements.size()) at += 2 + b.elements[at + 1];
    EXPECT_EQ(at, b.elements.size());
    EXPECT_EQ(b.capability & (ie::kCapEss | ie::kCapIbss), s.adhoc ? ie::kCapIbss : ie::kCapEss);
    EXPECT_EQ(FindElement(b.elements, ie::kIbssParameterSet).empty(), !s.adhoc);
    EXPECT_FALSE(b.rates.empty());
    bool basic = std::any_of(b.rates.begin(), b.rates.end(), [](uint16_t r) { return r & kBasicRateFlag; });
    EXPECT_TRUE(basic);
    if (s.ht) {
      auto cap = FindElement(b.elements, ie::kHtCapabilities);
      ASSERT_EQ(cap.size(), 2u + ie::ht_capabilities::kLength);
      bool forty = (cap[2] & ie::kHtCapChannelWidthSet) != 0;
      EXPECT_EQ(forty, s.htWidthMhz == 40);
      auto op = FindElement(b.elements, ie::kHtOperation);
      ASSERT_EQ(op.size(), 2u + ie::ht_operation::kMinLength);
      EXPECT_EQ(op[2], s.channel);
      EXPECT_EQ(op[3] & 0x03, s.htWidthMhz == 40 ? (s.secondaryChannel > 0 ? 1 : 3) : 0);
      // One MCS octet per spatial stream.
      for (uint32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(cap[ie::ht_capabilities::kSupportedMcsSet + i], i < s.spatialStreams ? 0xFF : 0x00);
      }
    }
    if (s.ccxVersion) {
      auto version = Vendor(b.elements, ie::kOuiCisco, ie::kCiscoCcxVersion);
      ASSERT_EQ(version.size(), 5u);
      EXPECT_EQ(version[4], *s.ccxVersion);
      auto ccx1 = FindElement(b.elements, ie::kCiscoCcx1CkipDeviceName);
      ASSERT_EQ(ccx1.size(), 2u + ie::kCcx1Length);
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(ccx1.data()) + 2 + ie::kCcx1DeviceNameOffset),
                s.deviceName);
    }
    if (s.security == ApSecurity::WapiPsk) {
      auto wapi = FindElement(b.elements, ie::kWapi);
      EXPECT_EQ(Hex(wapi.subspan(2)), "0100010000147202010000147201001472010000");
    }
    if (s.security == ApSecurity::WapiCert) {
      auto wapi = FindElement(b.elements, ie::kWapi);
      EXPECT_EQ(Hex(wapi.subspan(2)), "0100010000147201010000147201001472010000");
    }
  }
}

// The WPS element's attributes, type → value, in big-endian type-length-value form.
std::map<uint16_t, std::vector<uint8_t>> WpsAttributes(std::span<const uint8_t> elements) {
  std::map<uint16_t, std::vector<uint8_t>> out;
  auto wps = Vendor(elements, ie::kOuiWifiAlliance, ie::kWifiAllianceWps);
  size_t at = 4;
  while (at + 4 <= wps.size()) {
    uint16_t type = static_cast<uint16_t>(wps[at] << 8 | wps[at + 1]);
    uint16_t length = static_cast<uint16_t>(wps[at + 2] << 8 | wps[at + 3]);
    if (at + 4 + length > wps.size()) break;
    out[type].assign(wps.begin() + at + 4, wps.begin() + at + 4 + length);
    at += 4 + length;
  }
  EXPECT_EQ(at, wps.size()) << "WPS attributes do not end on a boundary";
  return out;
}

TEST(BeaconElementsTest, WpsElementSaysWhichMethodTheRegistrarWaitsFor) {
  struct Case {
    const char* mode;
    bool selected;
    std::vector<uint8_t> passwordId;
  };
  const Case cases[] = {
      {"idle", false, {}},
      {"push_button", true, {0x00, 0x04}},
      {"pin", true, {0x00, 0x00}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    auto attributes = WpsAttributes(BuildBeacon(Ap(
        std::string(R"({"ssid":"a","bssid":"02:00:00:00:00:01","channel":1,"wps":{"mode":")") + c.mode +
        R"("}})")).elements);
    EXPECT_EQ(attributes[ie::wps::kVersion], std::vector<uint8_t>{0x10});
    EXPECT_EQ(attributes[ie::wps::kWifiProtectedSetupState], std::vector<uint8_t>{ie::wps::kConfigured});
    EXPECT_EQ(attributes.count(ie::wps::kSelectedRegistrar) == 1, c.selected);
    EXPECT_EQ(attributes[ie::wps::kDevicePasswordId], c.passwordId);
    EXPECT_EQ(attributes[ie::wps::kUuidE].size(), ie::wps::kUuidSize);
    EXPECT_EQ(attributes[ie::wps::kRfBands], std::vector<uint8_t>{ie::wps::kBand24GHz});
  }
}

// The utility's own decoder reads what each default access point sends as that kind.
TEST(BeaconElementsTest, TheScanListDecoderReadsEachKindAsItIs) {
  for (const AccessPointSpec& s : DefaultScenario().accessPoints) {
    SCOPED_TRACE(s.ssid);
    BeaconFields b = BuildBeacon(s);
    std::vector<uint8_t> rates;
    for (uint16_t r : b.rates) rates.push_back(static_cast<uint8_t>((r & 0x7F) | (r & kBasicRateFlag ? 0x80 : 0)));
    BssDescription description;
    description.bssid = s.bssid;
    description.ssid = s.ssid;
    description.privacy = (b.capability & ie::kCapPrivacy) != 0;
    description.rssi = s.signalDbm;
    description.beaconPeriod = s.beaconPeriod;
    description.dsConfigKHz = AccessPointFrequencyKHz(s);
    description.infrastructureMode = s.adhoc ? Ndis802_11IBSS : Ndis802_11Infrastructure;
    description.rates = rates;
    description.informationElements = b.elements;
    BssElements d = DecodeBssElements(MakeBssidEntry(description));
    switch (s.security) {
      case ApSecurity::WpaPsk:
        EXPECT_TRUE(d.wpaPsk && d.tkip && !d.wpa2Psk);
        break;
      case ApSecurity::Wpa2Psk:
        EXPECT_TRUE(d.wpa2Psk && d.aesType4 && !d.wpaPsk);
        break;
      case ApSecurity::WpaWpa2Psk:
        EXPECT_TRUE(d.wpaPsk && d.wpa2Psk && d.tkip && d.aesType4);
        break;
      case ApSecurity::Wpa2Enterprise:
        EXPECT_TRUE(d.wpa2 && d.aesType4 && !d.wpa2Psk);
        break;
      case ApSecurity::Cckm:
        EXPECT_TRUE(d.wpa && d.cckm && d.tkip);
        break;
      case ApSecurity::WapiPsk:
        EXPECT_TRUE(d.wapiPsk && d.sms4);
        break;
      case ApSecurity::WapiCert:
        EXPECT_TRUE(d.wapiCa && d.sms4 && !d.wapiPsk);
        break;
      default:
        EXPECT_FALSE(d.wpa || d.wpaPsk || d.wpa2 || d.wpa2Psk || d.wapiPsk || d.cckm);
        break;
    }
    EXPECT_EQ(d.wpsPresent, s.wps != WpsMode::Off);
    if (s.wps == WpsMode::PushButton) EXPECT_EQ(d.wpsDevicePasswordId, 0x0004);
    if (s.wps == WpsMode::Pin) EXPECT_EQ(d.wpsDevicePasswordId, 0x0000);
    EXPECT_EQ(d.htCapabilitiesPresent, s.ht);
    EXPECT_EQ(d.htInformationPresent, s.ht);
    if (s.ht) {
      EXPECT_EQ(d.primaryChannel, s.channel);
      EXPECT_EQ((d.htCapabilitiesInfo & ie::kHtCapChannelWidthSet) != 0, s.htWidthMhz == 40);
    }
  }
}

TEST(BeaconElementsTest, HiddenNetworkBeaconsAnEmptySsid) {
  BeaconFields b = BuildBeacon(Ap(R"({"ssid":"Secret","bssid":"02:00:00:00:00:01","channel":1,"hidden":true})"));
  EXPECT_EQ(Hex(FindElement(b.elements, ie::kSsid)), "0000");
}

// ---- Captured beacons ----

TEST(PcapBeaconTest, TakesTheElementsTheDecodersCaptureReaderTakes) {
  for (const char* file : {"test1.pcap", "wpa.cap", "wpa-psk-linksys.cap", "wep.open.system.authentication.cap"}) {
    SCOPED_TRACE(file);
    fs::path path = kTestData / "captures" / file;
    PcapBeacons reference;
    std::string error;
    ASSERT_TRUE(ReadPcapBeacons(path.string(), reference, error)) << error;
    ASSERT_FALSE(reference.frames.empty());
    for (uint32_t i = 0; i < reference.frames.size() && i < 5; ++i) {
      CapturedBeacon beacon;
      ASSERT_TRUE(ReadBeaconFromPcapFile(path.string(), i, &beacon, &error)) << error;
      // The decoder keeps the bytes as captured; the access point sends whole elements only, so
      // a cut-off last element (a frame check sequence not flagged as one) is left out.
      std::span<const uint8_t> all = BssidEntryElements(reference.frames[i].entry);
      size_t whole = 0;
      while (whole + 2 <= all.size() && whole + 2 + all[whole + 1] <= all.size()) whole += 2 + all[whole + 1];
      EXPECT_EQ(Hex(beacon.elements), Hex(all.first(whole)));
    }
  }
}

TEST(PcapBeaconTest, ScenarioAccessPointFromACaptureSendsItsElements) {
  test::TempDir dir;
  fs::copy_file(kTestData / "captures" / "test1.pcap", dir.path() / "beacon.pcap");
  AccessPointSpec spec;
  std::string error;
  ASSERT_TRUE(ParseAccessPointJson(R"({"beacon_pcap": "beacon.pcap", "signal_dbm": -50})",
                                   dir.path().string(), &spec, &error))
      << error;
  ASSERT_TRUE(spec.captured);
  EXPECT_EQ(BuildBeacon(spec).elements, spec.captured->elements);
  EXPECT_EQ(spec.bssid, spec.captured->bssid);
  EXPECT_EQ(spec.signalDbm, -50);
  EXPECT_FALSE(spec.ssid.empty());
  auto ds = FindElement(spec.captured->elements, ie::kDsParameterSet);
  ASSERT_EQ(ds.size(), 3u);
  EXPECT_EQ(spec.channel, ds[2]);
}

TEST(PcapBeaconTest, WhatIsNoCaptureIsRefused) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  std::vector<uint8_t> ethernet = {0xD4, 0xC3, 0xB2, 0xA1, 2, 0, 4, 0, 0, 0, 0, 0,
                                   0,    0,    0,    0,    0xFF, 0xFF, 0, 0, 1, 0, 0, 0};
  const Case cases[] = {
      {"empty", {}},
      {"text", std::vector<uint8_t>(40, 'x')},
      {"Ethernet capture", ethernet},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CapturedBeacon beacon;
    std::string error;
    EXPECT_FALSE(ReadBeaconFromPcap(c.bytes, 0, &beacon, &error));
    EXPECT_FALSE(error.empty());
  }
}

// ---- Keys ----

TEST(WlanSecurityTest, PassphraseToKeyFollowsThe80211iTestVectors) {
  auto ssid = [](const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); };
  EXPECT_EQ(Hex(PassphraseToPsk("password", ssid("IEEE"))),
            "f42c6fc52df0ebef9ebb4b90b38a5f902e83fe1b135a70e23aed762e9710a12e");
  EXPECT_EQ(Hex(PassphraseToPsk("ThisIsAPassword", ssid("ThisIsASSID"))),
            "0dc0d6eb90555ed6419756b9a15ec3e3209b63df707dd508d14581f8982721af");
}

// ---- Profile documents ----

TEST(ProfileDocumentTest, PublishedSamplesAreAccepted) {
  struct Case {
    const char* file;
    const char* authentication;
    const char* encryption;
    bool adhoc;
    std::optional<uint32_t> eapType;
  };
  const Case cases[] = {
      {"epr_ibss_wep_protected.xml", "open", "WEP", true, std::nullopt},
      {"epr_open.xml", "open", "none", false, std::nullopt},
      {"epr_wep_open_networkkey.xml", "open", "WEP", false, std::nullopt},
      {"epr_wpa2_peap_mschapv2_win10export.xml", "WPA2", "AES", false, 25},
      {"epr_wpa2psk_aes_v3macrand.xml", "WPA2PSK", "AES", false, std::nullopt},
      {"epr_wpa_tkip_peap.xml", "WPA", "TKIP", false, 25},
      {"epr_wpapsk_tkip.xml", "WPAPSK", "TKIP", false, std::nullopt},
      {"msdocs_fips_wpa2_configblob.xml", "WPA2", "AES", false, 25},
      {"msdocs_wpa2_eaptls.xml", "WPA2", "AES", false, 13},
      {"msdocs_wpa2_peap_mschapv2.xml", "WPA2", "AES", false, 25},
      {"msdocs_wpa2psk.xml", "WPA2PSK", "AES", false, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    ProfileDocument p;
    uint32_t reason = 0xFFFF;
    ASSERT_TRUE(ParseProfileDocument(ReadText(kTestData / "wlan-samples" / c.file), &p, &reason))
        << ReasonCodeText(reason);
    EXPECT_EQ(reason, WLAN_REASON_CODE_SUCCESS);
    EXPECT_EQ(p.authentication, c.authentication);
    EXPECT_EQ(p.encryption, c.encryption);
    EXPECT_EQ(p.adhoc, c.adhoc);
    EXPECT_EQ(p.eapType, c.eapType);
    EXPECT_FALSE(p.name.empty());
    EXPECT_FALSE(p.ssid.empty());
  }
}

// A document with one part replaced: the reason the service gives for refusing it.
TEST(ProfileDocumentTest, FaultyDocumentsAreRefusedWithTheHostsReason) {
  const std::string psk = ReadText(kTestData / "wlan-samples" / "epr_wpa2psk_aes_v3macrand.xml");
  const std::string wep = ReadText(kTestData / "wlan-samples" / "epr_wep_open_networkkey.xml");
  const std::string ibss = ReadText(kTestData / "wlan-samples" / "epr_ibss_wep_protected.xml");
  auto edit = [](std::string xml, const std::string& from, const std::string& to) {
    size_t at = xml.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) xml.replace(at, from.size(), to);
    return xml;
  };
  struct Case {
    const char* name;
    std::string xml;
    uint32_t reason;
  };
  const Case cases[] = {
      {"empty", "", WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA},
      {"cut short", psk.substr(0, psk.size() / 2), WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA},
      {"other root", "<Profile xmlns=\"http://www.microsoft.com/networking/WLAN/profile/v1\"/>",
       WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA},
      {"no namespace", edit(psk, "xmlns = \"http://www.microsoft.com/networking/WLAN/profile/v1\"", ""),
       WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA},
      {"empty name", edit(psk, "<name>Wpa2PskAesSecuredWiFi</name>", "<name></name>"),
       WLAN_REASON_CODE_INVALID_PROFILE_NAME},
      {"no SSID", edit(edit(psk, "<SSID>", "<Nothing>"), "</SSID>", "</Nothing>"),
       WLAN_REASON_CODE_PROFILE_SSID_INVALID},
      {"odd SSID hex", edit(psk, "<hex>", "<hex>0"), WLAN_REASON_CODE_PROFILE_SSID_INVALID},
      {"connection type BSS", edit(psk, "<connectionType>ESS", "<connectionType>BSS"),
       WLAN_REASON_CODE_INVALID_BSS_TYPE},
      {"WPA2-PSK with WEP", edit(psk, "<encryption>AES", "<encryption>WEP"),
       WLAN_REASON_CODE_MSMSEC_PROFILE_INVALID_AUTH_CIPHER},
      {"WPA2-PSK with 802.1X", edit(psk, "<useOneX>false", "<useOneX>true"),
       WLAN_REASON_CODE_MSMSEC_PROFILE_ONEX_ENABLED},
      {"passphrase of 7", edit(psk, "Password123", "Passwor"), WLAN_REASON_CODE_MSMSEC_PROFILE_PSK_LENGTH},
      {"passphrase of 64", edit(psk, "Password123", std::string(64, 'p')),
       WLAN_REASON_CODE_MSMSEC_PROFILE_PSK_LENGTH},
      {"network key that is not hex", edit(edit(psk, "passPhrase", "networkKey"), "Password123", std::string(64, 'g')),
       WLAN_REASON_CODE_MSMSEC_PROFILE_KEYMATERIAL_CHAR},
      {"WEP key of 7 digits", edit(wep, "5061737377", "5061737"), WLAN_REASON_CODE_MSMSEC_PROFILE_KEY_LENGTH},
      {"WEP passphrase", edit(wep, "networkKey", "passPhrase"), WLAN_REASON_CODE_MSMSEC_PROFILE_WRONG_KEYTYPE},
      {"key index 4", edit(wep, "<keyIndex>0</keyIndex>", "<keyIndex>4</keyIndex>"),
       WLAN_REASON_CODE_MSMSEC_PROFILE_INVALID_KEY_INDEX},
      {"ad hoc that connects by itself", edit(ibss, "<connectionMode>manual", "<connectionMode>auto"),
       WLAN_REASON_CODE_INVALID_ADHOC_CONNECTION_MODE},
      {"no security at all", edit(edit(psk, "<MSM>", "<!--"), "</MSM>", "-->"),
       WLAN_REASON_CODE_SECURITY_MISSING},
      {"another vendor's extension", edit(psk, "</MSM>", "</MSM><IHV><OUIHeader><OUI>001122</OUI><type>00</type></OUIHeader></IHV>"),
       WLAN_REASON_CODE_IHV_OUI_MISMATCH},
      {"extension without its identifier", edit(psk, "</MSM>", "</MSM><IHV><connectivity/></IHV>"),
       WLAN_REASON_CODE_IHV_OUI_MISSING},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ProfileDocument p;
    uint32_t reason = 0;
    EXPECT_FALSE(ParseProfileDocument(c.xml, &p, &reason));
    EXPECT_EQ(reason, c.reason) << "expected " << ReasonCodeText(c.reason) << ", came "
                                << ReasonCodeText(reason);
  }
}

TEST(ProfileDocumentTest, UserCredentialsNameTheAccount) {
  const std::string peap = R"(<?xml version="1.0"?>
<EapHostUserCredentials xmlns="http://www.microsoft.com/provisioning/EapHostUserCredentials" xmlns:eapCommon="http://www.microsoft.com/provisioning/EapCommon" xmlns:baseEap="http://www.microsoft.com/provisioning/BaseEapMethodUserCredentials"><EapMethod><eapCommon:Type>25</eapCommon:Type><eapCommon:AuthorId>0</eapCommon:AuthorId></EapMethod><Credentials xmlns:eapUser="http://www.microsoft.com/provisioning/EapUserPropertiesV1" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xmlns:baseEap="http://www.microsoft.com/provisioning/BaseEapUserPropertiesV1" xmlns:MsPeap="http://www.microsoft.com/provisioning/MsPeapUserPropertiesV1" xmlns:MsChapV2="http://www.microsoft.com/provisioning/MsChapV2UserPropertiesV1"><baseEap:Eap><baseEap:Type>25</baseEap:Type><MsPeap:EapType><MsPeap:RoutingIdentity>anonymous</MsPeap:RoutingIdentity><baseEap:Eap><baseEap:Type>26</baseEap:Type><MsChapV2:EapType><MsChapV2:Username>alice</MsChapV2:Username><MsChapV2:Password>Alice&#32;Pass</MsChapV2:Password><MsChapV2:LogonDomain></MsChapV2:LogonDomain></MsChapV2:EapType></baseEap:Eap></MsPeap:EapType></baseEap:Eap></Credentials></EapHostUserCredentials>)";
  UserCredentials c;
  ASSERT_TRUE(ParseUserCredentials(peap, &c));
  EXPECT_EQ(c.eapType, 25u);
  EXPECT_EQ(c.identity, "anonymous");
  EXPECT_EQ(c.username, "alice");
  EXPECT_EQ(c.password, "Alice Pass");
  for (const char* bad : {"", "<EapHostUserCredentials/>", "<Other><EapMethod><Type>25</Type></EapMethod><Credentials/></Other>",
                          "<EapHostUserCredentials><EapMethod><Type>x</Type></EapMethod><Credentials/></EapHostUserCredentials>"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(ParseUserCredentials(bad, &c));
  }
}

// ---- Profile against access point ----

ProfileDocument Profile(const std::string& auth, const std::string& cipher, const std::string& keyType = "",
                        const std::string& key = "", bool oneX = false, uint32_t keyIndex = 0) {
  ProfileDocument p;
  p.ssid = {'N', 'e', 't'};
  p.hasMsmSecurity = true;
  p.authentication = auth;
  p.encryption = cipher;
  p.useOneX = oneX;
  p.hasSharedKey = !keyType.empty();
  p.keyType = keyType;
  p.keyMaterial = key;
  p.keyIndex = keyIndex;
  return p;
}

TEST(WlanSecurityTest, ConnectionNeedsTheSameSecurityAndKey) {
  const std::string base = R"("ssid":"Net","bssid":"02:00:00:00:00:01","channel":1,)";
  auto ap = [&](const std::string& rest) { return Ap("{" + base + rest + "}"); };
  AccessPointSpec open = ap(R"("security":"open")");
  AccessPointSpec wep = ap(R"("security":"wep-open","wep_key":"0102030405","wep_key_index":1)");
  AccessPointSpec shared = ap(R"("security":"wep-shared","wep_key":"0102030405")");
  AccessPointSpec wpa2 = ap(R"("security":"wpa2-psk","passphrase":"correct horse")");
  AccessPointSpec wpa = ap(R"("security":"wpa-psk","passphrase":"correct horse")");
  AccessPointSpec mixed = ap(R"("security":"wpa-wpa2-psk","passphrase":"correct horse")");
  std::string pmk = Hex(PassphraseToPsk("correct horse", {'N', 'e', 't'}));
  AccessPointSpec wapi = ap(R"("security":"wapi-psk","passphrase":"wapi key 1")");
  ProfileDocument wapiProfile;
  wapiProfile.ssid = {'N', 'e', 't'};
  wapiProfile.ihvWapi = true;
  wapiProfile.wapiMode = "2";
  const std::string key1 = "wapi key 1";
  const std::vector<uint8_t> baseKey = wapi::DeriveBaseKey({key1.begin(), key1.end()});
  wapiProfile.wapiKey = Hex(baseKey);
  wapiProfile.wapiKeyCheck = Hex(wapi::KeyCheckValue(baseKey));
  ProfileDocument wapiWrongKey = wapiProfile;
  const std::string key2 = "wapi key 2";
  const std::vector<uint8_t> otherKey = wapi::DeriveBaseKey({key2.begin(), key2.end()});
  wapiWrongKey.wapiKey = Hex(otherKey);
  wapiWrongKey.wapiKeyCheck = Hex(wapi::KeyCheckValue(otherKey));
  ProfileDocument wapiBadCheck = wapiProfile;
  wapiBadCheck.wapiKeyCheck = Hex(wapi::KeyCheckValue(otherKey));
  ProfileDocument wapiNoKey = wapiProfile;
  wapiNoKey.wapiKey.clear();
  wapiNoKey.wapiKeyCheck.clear();

  struct Case {
    const char* name;
    const AccessPointSpec& ap;
    ProfileDocument profile;
    uint32_t reason;
    AuthAlgorithm auth;
  };
  const Case cases[] = {
      {"open on open", open, Profile("open", "none"), 0, DOT11_AUTH_ALGO_80211_OPEN},
      {"open on WEP", wep, Profile("open", "none"), WLAN_REASON_CODE_NETWORK_NOT_COMPATIBLE, {}},
      {"WEP hex key at its index", wep, Profile("open", "WEP", "networkKey", "0102030405", false, 1), 0,
       DOT11_AUTH_ALGO_80211_OPEN},
      {"WEP ASCII key of the same bytes", wep,
       Profile("open", "WEP", "networkKey", std::string("\x01\x02\x03\x04\x05"), false, 1), 0,
       DOT11_AUTH_ALGO_80211_OPEN},
      {"WEP key at another index", wep, Profile("open", "WEP", "networkKey", "0102030405", false, 0),
       WLAN_REASON_CODE_KEY_MISMATCH, DOT11_AUTH_ALGO_80211_OPEN},
      {"WEP wrong key", wep, Profile("open", "WEP", "networkKey", "0102030406", false, 1),
       WLAN_REASON_CODE_KEY_MISMATCH, DOT11_AUTH_ALGO_80211_OPEN},
      {"open-system WEP on shared-key AP", shared, Profile("open", "WEP", "networkKey", "0102030405"),
       WLAN_REASON_CODE_NETWORK_NOT_COMPATIBLE, {}},
      {"shared-key WEP", shared, Profile("shared", "WEP", "networkKey", "0102030405"), 0,
       DOT11_AUTH_ALGO_80211_SHARED_KEY},
      {"WPA2 passphrase", wpa2, Profile("WPA2PSK", "AES", "passPhrase", "correct horse"), 0,
       DOT11_AUTH_ALGO_RSNA_PSK},
      {"WPA2 key in hex", wpa2, Profile("WPA2PSK", "AES", "networkKey", pmk), 0, DOT11_AUTH_ALGO_RSNA_PSK},
      {"WPA2 wrong passphrase", wpa2, Profile("WPA2PSK", "AES", "passPhrase", "wrong horse"),
       WLAN_REASON_CODE_MSMSEC_PSK_MISMATCH_SUSPECTED, DOT11_AUTH_ALGO_RSNA_PSK},
      {"WPA2 without key", wpa2, Profile("WPA2PSK", "AES"), WLAN_REASON_CODE_MSMSEC_PSK_MISMATCH_SUSPECTED,
       DOT11_AUTH_ALGO_RSNA_PSK},
      {"WPA2 with TKIP on a CCMP AP", wpa2, Profile("WPA2PSK", "TKIP", "passPhrase", "correct horse"),
       WLAN_REASON_CODE_NETWORK_NOT_COMPATIBLE, {}},
      {"WPA on WPA2", wpa2, Profile("WPAPSK", "TKIP", "passPhrase", "correct horse"),
       WLAN_REASON_CODE_NETWORK_NOT_COMPATIBLE, {}},
      {"WPA TKIP", wpa, Profile("WPAPSK", "TKIP", "passPhrase", "correct horse"), 0, DOT11_AUTH_ALGO_WPA_PSK},
      {"mixed by WPA", mixed, Profile("WPAPSK", "TKIP", "passPhrase", "correct horse"), 0, DOT11_AUTH_ALGO_WPA_PSK},
      {"mixed by WPA2", mixed, Profile("WPA2PSK", "AES", "passPhrase", "correct horse"), 0,
       DOT11_AUTH_ALGO_RSNA_PSK},
      {"WAPI preshared key", wapi, wapiProfile, 0, DOT11_AUTH_ALGO_IHV_START},
      {"WAPI wrong preshared key", wapi, wapiWrongKey, WLAN_REASON_CODE_MSMSEC_PSK_MISMATCH_SUSPECTED,
       DOT11_AUTH_ALGO_IHV_START},
      {"WAPI key with another key's check value", wapi, wapiBadCheck,
       WLAN_REASON_CODE_MSMSEC_PSK_MISMATCH_SUSPECTED, DOT11_AUTH_ALGO_IHV_START},
      {"WAPI without a key", wapi, wapiNoKey, WLAN_REASON_CODE_MSMSEC_PSK_MISMATCH_SUSPECTED,
       DOT11_AUTH_ALGO_IHV_START},
      {"PSK on WAPI", wapi, Profile("WPA2PSK", "AES", "passPhrase", "wapi key 1"),
       WLAN_REASON_CODE_NETWORK_NOT_COMPATIBLE, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ConnectionVerdict v = JudgeConnection(c.ap, c.profile, std::nullopt);
    EXPECT_EQ(v.reasonCode, c.reason) << ReasonCodeText(v.reasonCode);
    if (c.reason == 0 || v.reasonCode != WLAN_REASON_CODE_NETWORK_NOT_COMPATIBLE) {
      EXPECT_EQ(v.security.authAlgorithm, c.auth);
    }
  }
}

// A user-credentials document's account: the inner user name, password and certificate hash.
std::optional<UserCredentials> Credentials(uint32_t type, const char* user, const char* password,
                                           const std::string& cert = "") {
  UserCredentials c;
  c.eapType = type;
  c.identity = "anonymous";
  c.username = user;
  c.password = password;
  c.userCert = cert;
  return c;
}

struct EnterpriseCase {
  const char* name;
  const AccessPointSpec& ap;
  ProfileDocument profile;
  std::optional<UserCredentials> credentials;
  uint32_t reason;
};

TEST(WlanSecurityTest, EnterpriseNetworksCheckTheAccount) {
  AccessPointSpec corp = Ap(R"({"ssid":"Net","bssid":"02:00:00:00:00:01","channel":1,"security":"wpa2-enterprise",
      "users":[{"method":"peap-mschapv2","identity":"alice","password":"Alice-1"},
               {"method":"eap-tls","identity":"bob","certificate_sha1":"0f5a51d00f5a51d00f5a51d00f5a51d00f5a51d0"}]})");
  AccessPointSpec cckm = Ap(R"({"ssid":"Net","bssid":"02:00:00:00:00:02","channel":1,"security":"cckm",
      "users":[{"method":"leap","identity":"carol","password":"Carol-1"}]})");
  auto eap = [](const char* auth, const char* cipher, uint32_t type) {
    ProfileDocument p = Profile(auth, cipher, "", "", true);
    p.eapType = type;
    return p;
  };
  ProfileDocument leap = eap("WPA", "TKIP", 17);
  leap.configIdentity = "carol";
  leap.configPassword = "Carol-1";
  ProfileDocument leapWrong = leap;
  leapWrong.configPassword = "Carol-2";
  using Case = EnterpriseCase;
  const Case cases[] = {
      {"PEAP right password", corp, eap("WPA2", "AES", 25), Credentials(25, "alice", "Alice-1"), 0},
      {"PEAP user name in other case", corp, eap("WPA2", "AES", 25), Credentials(25, "ALICE", "Alice-1"), 0},
      {"PEAP wrong password", corp, eap("WPA2", "AES", 25), Credentials(25, "alice", "alice-1"),
       ONEX_REASON_CODE_EAP_FAILURE_RECEIVED},
      {"PEAP unknown user", corp, eap("WPA2", "AES", 25), Credentials(25, "mallory", "Alice-1"),
       ONEX_REASON_CODE_EAP_FAILURE_RECEIVED},
      {"PEAP without credentials", corp, eap("WPA2", "AES", 25), std::nullopt, ONEX_REASON_CODE_IDENTITY_NOT_FOUND},
      {"TLS right certificate", corp, eap("WPA2", "AES", 13),
       Credentials(13, "bob", "", "0f5a51d00f5a51d00f5a51d00f5a51d00f5a51d0"), 0},
      {"TLS known by its certificate alone", corp, eap("WPA2", "AES", 13),
       Credentials(13, "", "", "0f5a51d00f5a51d00f5a51d00f5a51d00f5a51d0"), 0},
      {"TLS with neither name nor certificate", corp, eap("WPA2", "AES", 13), Credentials(13, "", "", ""),
       ONEX_REASON_CODE_IDENTITY_NOT_FOUND},
      {"TLS other certificate", corp, eap("WPA2", "AES", 13),
       Credentials(13, "bob", "", "1111111111111111111111111111111111111111"), ONEX_REASON_CODE_EAP_FAILURE_RECEIVED},
      {"method the network lacks", corp, eap("WPA2", "AES", 17), Credentials(17, "alice", "Alice-1"),
       ONEX_REASON_CODE_PROFILE_DISALLOWED_EAP_TYPE},
      {"WPA2 enterprise with TKIP", corp, eap("WPA2", "TKIP", 25), Credentials(25, "alice", "Alice-1"),
       WLAN_REASON_CODE_NETWORK_NOT_COMPATIBLE},
      {"CCKM with LEAP in the profile", cckm, leap, std::nullopt, 0},
      {"CCKM with a wrong LEAP password", cckm, leapWrong, std::nullopt, ONEX_REASON_CODE_EAP_FAILURE_RECEIVED},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ConnectionVerdict v = JudgeConnection(c.ap, c.profile, c.credentials);
    EXPECT_EQ(v.reasonCode, c.reason) << ReasonCodeText(v.reasonCode);
    if (c.reason == 0) EXPECT_TRUE(v.security.oneXEnabled);
  }
}

// Each method of the simulated authentication server takes its own kind of account: PEAP's
// inner method and EAP-FAST's provisioning decide as much as the password or certificate.
TEST(WlanSecurityTest, EachEapMethodTakesItsOwnAccount) {
  const std::string bobsCert = "d4bd3ab7af5b9bfdacbc3bb04ce3806c8a3f8106";
  AccessPointSpec corp = Ap(R"({"ssid":"Net","bssid":"02:00:00:00:00:01","channel":1,"security":"wpa2-enterprise",
      "users":[{"method":"peap-mschapv2","identity":"alice","password":"Alice-1"},
               {"method":"peap-gtc","identity":"erin","password":"Erin-1"},
               {"method":"peap-tls","identity":"bob","certificate_sha1":"D4BD3AB7AF5B9BFDACBC3BB04CE3806C8A3F8106"},
               {"method":"eap-fast","identity":"anonymous"}]})");
  AccessPointSpec mschapOnly = Ap(R"({"ssid":"Net","bssid":"02:00:00:00:00:02","channel":1,"security":"wpa2-enterprise",
      "users":[{"method":"peap-mschapv2","identity":"alice","password":"Alice-1"}]})");
  auto base = [](uint32_t type) {
    ProfileDocument p = Profile("WPA2", "AES", "", "", true);
    p.eapType = type;
    return p;
  };
  auto peap = [&](uint32_t inner) {
    ProfileDocument p = base(25);
    p.peapInnerType = inner;
    return p;
  };
  auto gtc = [&](const char* source, const char* user, const char* password) {
    ProfileDocument p = base(25);
    p.eapAuthor = 9;
    p.ccxInnerMethod = "eapGtc";
    p.passwordSource = source;
    p.outerIdentity = "anonymous";
    p.configIdentity = user;
    p.configPassword = password;
    return p;
  };
  auto fast = [&](const char* outer, bool unauthenticated, const char* pac) {
    ProfileDocument p = base(43);
    p.eapAuthor = 9;
    p.ccxFast = true;
    p.outerIdentity = outer;
    p.allowUnauthenticatedProvisioning = unauthenticated;
    p.pacFile = pac;
    return p;
  };
  ProfileDocument fastWithoutConfig = base(43);  // type 43, but not the CCX eapFast element
  using Case = EnterpriseCase;
  const Case cases[] = {
      {"PEAP MS-CHAP v2", corp, peap(26), Credentials(25, "alice", "Alice-1", ""), 0},
      {"PEAP MS-CHAP v2 with GTC's account", corp, peap(26), Credentials(25, "erin", "Erin-1", ""),
       ONEX_REASON_CODE_EAP_FAILURE_RECEIVED},
      {"PEAP without an inner method takes MS-CHAP v2", corp, base(25), Credentials(25, "alice", "Alice-1", ""), 0},
      {"PEAP without an inner method, GTC's account", corp, base(25), Credentials(25, "erin", "Erin-1", ""),
       ONEX_REASON_CODE_EAP_FAILURE_RECEIVED},
      {"PEAP with an inner method nobody offers", corp, peap(4), Credentials(25, "alice", "Alice-1", ""),
       ONEX_REASON_CODE_PROFILE_DISALLOWED_EAP_TYPE},
      {"GTC static password", corp, gtc("passwordFromProfile", "erin", "Erin-1"), std::nullopt, 0},
      {"GTC user name in other case", corp, gtc("passwordFromProfile", "ERIN", "Erin-1"), std::nullopt, 0},
      {"GTC wrong password", corp, gtc("passwordFromProfile", "erin", "erin-1"), std::nullopt,
       ONEX_REASON_CODE_EAP_FAILURE_RECEIVED},
      {"GTC wrong identity", corp, gtc("passwordFromProfile", "alice", "Erin-1"), std::nullopt,
       ONEX_REASON_CODE_EAP_FAILURE_RECEIVED},
      {"GTC empty identity", corp, gtc("passwordFromProfile", "", "Erin-1"), std::nullopt,
       ONEX_REASON_CODE_IDENTITY_NOT_FOUND},
      // Stale user data of an earlier PEAP profile does not stand in for GTC's own password.
      {"GTC ignores a user-credentials document", corp, gtc("passwordFromProfile", "erin", "wrong"),
       Credentials(25, "erin", "Erin-1", ""), ONEX_REASON_CODE_EAP_FAILURE_RECEIVED},
      {"GTC password from a token", corp, gtc("passwordFromOtherToken", "", ""), std::nullopt,
       ONEX_REASON_CODE_IDENTITY_NOT_FOUND},
      {"GTC password from the logon", corp, gtc("passwordFromLogon", "", ""), std::nullopt,
       ONEX_REASON_CODE_IDENTITY_NOT_FOUND},
      {"GTC password asked of the user", corp, gtc("passwordFromUser", "", ""), std::nullopt,
       ONEX_REASON_CODE_IDENTITY_NOT_FOUND},
      {"GTC on a network without GTC accounts", mschapOnly, gtc("passwordFromProfile", "alice", "Alice-1"),
       std::nullopt, ONEX_REASON_CODE_PROFILE_DISALLOWED_EAP_TYPE},
      {"PEAP TLS right certificate", corp, peap(13), Credentials(25, "bob", "", bobsCert), 0},
      {"PEAP TLS other certificate", corp, peap(13), Credentials(25, "bob", "", std::string(40, '1')),
       ONEX_REASON_CODE_EAP_FAILURE_RECEIVED},
      {"PEAP TLS other identity", corp, peap(13), Credentials(25, "mallory", "", bobsCert),
       ONEX_REASON_CODE_EAP_FAILURE_RECEIVED},
      {"PEAP TLS without credentials", corp, peap(13), std::nullopt, ONEX_REASON_CODE_IDENTITY_NOT_FOUND},
      {"PEAP TLS known by its certificate alone", corp, peap(13), Credentials(25, "", "", bobsCert), 0},
      {"PEAP TLS no name, other certificate", corp, peap(13), Credentials(25, "", "", std::string(40, '1')),
       ONEX_REASON_CODE_EAP_FAILURE_RECEIVED},

      {"PEAP TLS on a network without it", mschapOnly, peap(13), Credentials(25, "bob", "", bobsCert),
       ONEX_REASON_CODE_PROFILE_DISALLOWED_EAP_TYPE},
      {"EAP-TLS account does not take PEAP TLS", corp, base(13), Credentials(13, "bob", "", bobsCert),
       ONEX_REASON_CODE_PROFILE_DISALLOWED_EAP_TYPE},
      {"EAP-FAST unauthenticated provisioning", corp, fast("anonymous", true, ""), std::nullopt, 0},
      {"EAP-FAST empty outer identity is anonymous", corp, fast("", true, ""), std::nullopt, 0},
      {"EAP-FAST outer identity in other case", corp, fast("Anonymous", true, ""), std::nullopt, 0},
      {"EAP-FAST with a PAC file only", corp, fast("anonymous", false, "/home/u/office.pac"), std::nullopt, 0},
      {"EAP-FAST no provisioning and no PAC", corp, fast("anonymous", false, ""), std::nullopt,
       ONEX_REASON_CODE_EAP_FAILURE_RECEIVED},
      {"EAP-FAST unknown outer identity", corp, fast("guest", true, ""), std::nullopt,
       ONEX_REASON_CODE_EAP_FAILURE_RECEIVED},
      {"EAP-FAST on a network without it", mschapOnly, fast("anonymous", true, ""), std::nullopt,
       ONEX_REASON_CODE_PROFILE_DISALLOWED_EAP_TYPE},
      {"type 43 without the EAP-FAST configuration", corp, fastWithoutConfig, std::nullopt,
       ONEX_REASON_CODE_PROFILE_DISALLOWED_EAP_TYPE},
      {"TTLS", corp, base(21), Credentials(21, "alice", "Alice-1", ""), ONEX_REASON_CODE_PROFILE_DISALLOWED_EAP_TYPE},
      {"MD5-Challenge", corp, base(4), Credentials(4, "alice", "Alice-1", ""),
       ONEX_REASON_CODE_PROFILE_DISALLOWED_EAP_TYPE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ConnectionVerdict v = JudgeConnection(c.ap, c.profile, c.credentials);
    EXPECT_EQ(v.reasonCode, c.reason) << ReasonCodeText(v.reasonCode);
    EXPECT_EQ(v.security.authAlgorithm, DOT11_AUTH_ALGO_RSNA);
  }
}

// What the builder's EAP configurations say of their method, read back from the documents.
TEST(ProfileDocumentTest, EapConfigurationsTellTheirMethodApart) {
  const std::string head =
      R"(<?xml version="1.0"?><WLANProfile xmlns="http://www.microsoft.com/networking/WLAN/profile/v1"><name>N</name><SSIDConfig><SSID><name>Net</name></SSID></SSIDConfig><connectionType>ESS</connectionType><MSM><security><authEncryption><authentication>WPA2</authentication><encryption>AES</encryption><useOneX>true</useOneX></authEncryption><OneX xmlns="http://www.microsoft.com/networking/OneX/v1"><EAPConfig>)";
  const std::string tail = "</EAPConfig></OneX></security></MSM></WLANProfile>";
  const std::string method25 =
      R"(<EapMethod><Type xmlns="http://www.microsoft.com/provisioning/EapCommon">25</Type><AuthorId xmlns="http://www.microsoft.com/provisioning/EapCommon">0</AuthorId></EapMethod>)";
  const std::string peapTls =
      R"(<EapHostConfig xmlns="http://www.microsoft.com/provisioning/EapHostConfig" xmlns:b="http://www.microsoft.com/provisioning/BaseEapConnectionPropertiesV1" xmlns:p="http://www.microsoft.com/provisioning/MsPeapConnectionPropertiesV1">)" +
      method25 +
      R"(<Config><b:Eap><b:Type>25</b:Type><p:EapType><p:FastReconnect>false</p:FastReconnect><b:Eap><b:Type>13</b:Type></b:Eap></p:EapType></b:Eap></Config></EapHostConfig>)";
  const std::string gtcToken =
      R"(<EapHostConfig xmlns="http://www.microsoft.com/provisioning/EapHostConfig"><EapMethod><Type xmlns="http://www.microsoft.com/provisioning/EapCommon">25</Type><AuthorId xmlns="http://www.microsoft.com/provisioning/EapCommon">9</AuthorId></EapMethod><Config><eapPeap xmlns="urn:example:ccx"><unprotectedIdentityPattern>anonymous</unprotectedIdentityPattern><authMethods><builtinMethods><authenticateWithToken><tokenSource><passwordFromOtherToken /></tokenSource><methods><eapGtc /> </methods></authenticateWithToken></builtinMethods></authMethods></eapPeap></Config></EapHostConfig>)";
  const std::string fastPac =
      R"(<EapHostConfig xmlns="http://www.microsoft.com/provisioning/EapHostConfig"><EapMethod><Type xmlns="http://www.microsoft.com/provisioning/EapCommon">43</Type><AuthorId xmlns="http://www.microsoft.com/provisioning/EapCommon">9</AuthorId></EapMethod><Config><eapFast xmlns="urn:example:ccx"><unprotectedIdentityPattern>guest</unprotectedIdentityPattern><provisioning><allowUnauthenticatedProvisioning>false</allowUnauthenticatedProvisioning><usePac>true</usePac><pacFile> /p/a.pac </pacFile></provisioning></eapFast></Config></EapHostConfig>)";
  struct Case {
    const char* name;
    std::string config;
    uint32_t author;
    std::optional<uint32_t> inner;
    const char* ccxInner;
    const char* source;
    bool fast;
    const char* outer;
    bool unauthenticated;
    const char* pac;
  };
  const Case cases[] = {
      {"PEAP with TLS inside", peapTls, 0, 13, "", "", false, "", false, ""},
      {"PEAP GTC from a token", gtcToken, 9, std::nullopt, "eapGtc", "passwordFromOtherToken", false, "anonymous",
       false, ""},
      {"EAP-FAST with a PAC file", fastPac, 9, std::nullopt, "", "", true, "guest", false, "/p/a.pac"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ProfileDocument p;
    uint32_t reason = 0;
    ASSERT_TRUE(ParseProfileDocument(head + c.config + tail, &p, &reason)) << ReasonCodeText(reason);
    EXPECT_EQ(p.eapAuthor, c.author);
    EXPECT_EQ(p.peapInnerType, c.inner);
    EXPECT_EQ(p.ccxInnerMethod, c.ccxInner);
    EXPECT_EQ(p.passwordSource, c.source);
    EXPECT_EQ(p.ccxFast, c.fast);
    EXPECT_EQ(p.outerIdentity, c.outer);
    EXPECT_EQ(p.allowUnauthenticatedProvisioning, c.unauthenticated);
    EXPECT_EQ(p.pacFile, c.pac);
  }
}

}  // namespace
}  // namespace ov::sim
