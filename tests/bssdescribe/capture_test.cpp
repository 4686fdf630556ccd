// DescribeBss on real beacons and probe responses, against an independent decoder's reading of
// the same bytes (tshark -V, kept beside the captures). Every expected value below is copied
// from that reading: the frame's fixed fields, the RSN and WPA suites, the WPS attributes and the
// HT Capabilities and HT Information fields as tshark names them.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "driver/channel_frequency.h"
#include "driver/oid/bssid_list.h"
#include "views/bss_describe.h"
#include "tests/support/test_data.h"
#include "views/pcap_beacons.h"

namespace ov {
namespace {

const std::string kCaptures = (test::TestData() / "captures").string() + "/";

// "HT Capabilities Info", "A-MPDU Parameters" and "Rx Supported Modulation and Coding Scheme
// Set" of an HT Capabilities element.
struct HtCapabilitiesReading {
  bool ldpc;
  int supportChannelWidth;  // 1: 20 and 40 MHz
  int smPowerSave;
  bool greenField;
  bool shortGi20;
  bool shortGi40;
  bool txStbc;
  int rxStbc;
  bool delayedBlockAck;
  int maxAmsdu;  // 0: 3839 bytes, 1: 7935 bytes
  bool dsssCck40;
  bool psmp;
  bool fortyMhzIntolerant;
  bool lsigTxopProtection;
  int maxRxAmpduLength;  // the exponent tshark prints in hex
  int mpduDensity;
  bool txMcsSetDefined;
  std::vector<uint8_t> rxBitmask;  // bits 0-7, 8-15, 16-23
};

// "HT Information" subsets; the bits tshark calls reserved are 0 in every capture.
struct HtInformationReading {
  int primaryChannel;
  int secondaryChannelOffset;
  int supportedChannelWidth;
  bool rifs;
  int htProtection;
  bool nonGreenfieldStasPresent;
  bool obssNonHtStasPresent;
  bool dualBeacon, dualCts, secondaryBeacon, lsigTxopFullSupport, pcoActive, pcoPhase;
};

struct CapturedFrame {
  const char* file;
  uint32_t frame;
  bool probeResponse;
  const char* ssid;
  MacAddress bssid;
  uint32_t channel;
  std::optional<int32_t> antennaSignal;
  uint32_t beaconInterval;  // time units
  bool privacy;
  const char* security;                  // RSN and WPA elements in form-0 terms
  std::vector<std::string> wps;          // form 2
  std::optional<HtCapabilitiesReading> htCapabilities;
  std::optional<HtInformationReading> htInformation;
  bool coexistenceSupport;  // Extended Capabilities octet 1 bit 0
};

// 0x116e: 20/40 MHz, SM power save disabled, short GI both widths, Rx STBC one stream,
// DSSS/CCK in 40 MHz.
const HtCapabilitiesReading kCaps116e = {false, 1, 3, false, true, true, false, 1, false, 0, true,
                                         false, false, false, 3, 0, false, {0xFF, 0x00, 0x00}};
// 0x186c: 20 MHz only, no Rx STBC, 7935-byte A-MSDU; A-MPDU 0x1b: density 8 us (6).
const HtCapabilitiesReading kCaps186c = {false, 0, 3, false, true, true, false, 0, false, 1, true,
                                         false, false, false, 3, 6, false, {0xFF, 0x00, 0x00}};
// 0x11ef: LDPC, 20/40 MHz, Tx STBC, Rx STBC one stream; three streams with the Tx set defined.
const HtCapabilitiesReading kCaps11efThreeStreams = {true, 1, 3, false, true, true, true, 1, false, 0,
                                                     true, false, false, false, 3, 6, true,
                                                     {0xFF, 0xFF, 0xFF}};
HtCapabilitiesReading TwoStreamsTxUndefined(HtCapabilitiesReading r) {
  r.txMcsSetDefined = false;
  r.rxBitmask = {0xFF, 0xFF, 0x00};
  return r;
}

const HtInformationReading kInfoCh6Below = {6, 3, 1, true, 2, true, false, false, false, false, false, false, false};
const HtInformationReading kInfoCh6Plain = {6, 0, 0, false, 0, false, false, false, false, false, false, false, false};
const HtInformationReading kInfoCh5Above = {5, 1, 1, true, 0, false, false, false, false, false, false, false, false};
const HtInformationReading kInfoCh7Below = {7, 3, 1, true, 0, false, false, false, false, false, false, false, false};

const std::vector<std::string> kNoWps = {"Unknown", "Unknown", "Unknown", "Unknown", "Unknown",
                                         "Unknown", "Unknown", "Unknown", "FALSE"};
const std::vector<std::string> kAvmWps = {"0x2388",  "Unknown", "Unknown",
                                          "Configured", "1.0", "Unknown",
                                          "D56C6368B016F7C309223481C4E7991B", "0x01 (2.4GHz)", "TRUE"};

const std::vector<CapturedFrame>& Frames() {
  static const std::vector<CapturedFrame> frames = {
      {"test1.pcap", 1, true, "Smile)", {0xF8, 0x1A, 0x67, 0xE5, 0x05, 0x62}, 6, -86, 100, true,
       "WPA-PSK+WPA2-PSK;AES",
       {"0x0086", "Unknown", "Unknown", "Configured", "1.0", "TRUE", "00000000000010000000F81A67E50510",
        "0x01 (2.4GHz)", "TRUE"},
       kCaps116e, kInfoCh6Below, false},
      {"test1.pcap", 2, true, "ogogo", {0x28, 0x10, 0x7B, 0x94, 0xBB, 0x29}, 6, -76, 100, true, "WPA2-PSK;AES",
       {"0x0084", "Unknown", "FALSE", "Configured", "1.0", "Unknown", "3810A5F931DB4BB8F5FE8737C4FB3D90",
        "0x01 (2.4GHz)", "TRUE"},
       kCaps186c, kInfoCh6Plain, true},
      {"test1.pcap", 19, true, "tmpAP", {0x00, 0x0D, 0x58, 0xEF, 0x88, 0x09}, 6, std::nullopt, 1600, true,
       "WPA2-PSK;AES", kAvmWps, kCaps11efThreeStreams, kInfoCh5Above, false},
      {"test1.pcap", 21, false, "Lekonora", {0x14, 0xCC, 0x20, 0xC1, 0xCB, 0x2C}, 7, -83, 100, true,
       "WPA-PSK+WPA2-PSK;AES",
       {"Unknown", "Unknown", "Unknown", "Configured", "1.0", "TRUE", "Unknown", "Unknown", "TRUE"},
       TwoStreamsTxUndefined(kCaps11efThreeStreams), kInfoCh7Below, false},
      {"test1.pcap", 43, true, "Intertelecom_FREE", {0x24, 0xA4, 0x3C, 0xFE, 0x22, 0x36}, 6, std::nullopt, 1600, true,
       "WPA2-PSK;AES", kAvmWps, kCaps11efThreeStreams, kInfoCh5Above, false},
      {"test1.pcap", 84, true, "Vodafone", {0x00, 0x0D, 0x58, 0xEF, 0x88, 0x0A}, 6, std::nullopt, 1600, true,
       "WPA2-PSK;AES", kAvmWps, kCaps11efThreeStreams, kInfoCh5Above, false},
      {"test1.pcap", 98, true, "veles3", {0x00, 0x0D, 0x58, 0xEF, 0x88, 0x0B}, 6, std::nullopt, 1600, true,
       "WPA2-PSK;AES", kAvmWps, kCaps11efThreeStreams, kInfoCh5Above, false},
      {"wep.open.system.authentication.cap", 1, false, "teddy", {0x00, 0x14, 0x6C, 0x7E, 0x40, 0x80}, 9,
       std::nullopt, 100, true, "Unknown;None", kNoWps, std::nullopt, std::nullopt, false},
      {"wpa-psk-linksys.cap", 9, false, "linksys", {0x00, 0x0B, 0x86, 0xC2, 0xA4, 0x85}, 1, std::nullopt, 100, true,
       "WPA-PSK;TKIP", kNoWps, std::nullopt, std::nullopt, false},
      {"wpa-psk-linksys.cap", 11, true, "linksys", {0x00, 0x0B, 0x86, 0xC2, 0xA4, 0x85}, 1, std::nullopt, 100, true,
       "WPA-PSK;TKIP", kNoWps, std::nullopt, std::nullopt, false},
      // Prism header; its last element claims more octets than the frame has.
      {"wpa.cap", 1, false, "test", {0x00, 0x0D, 0x93, 0xEB, 0xB0, 0x8C}, 7, std::nullopt, 100, true,
       "WPA-PSK;TKIP", kNoWps, std::nullopt, std::nullopt, false},
  };
  return frames;
}

std::string Flag(bool v) { return v ? "TRUE" : "FALSE"; }
std::string Number(int v) { return std::to_string(v); }

// The 55 HT fields as the readings say they must come out.
std::vector<std::string> ExpectedHt(const CapturedFrame& f) {
  std::vector<std::string> ht(kBssHtFieldCount, "FALSE");
  for (size_t numeric : {0, 6, 7, 12, 14, 21, 22, 25, 29, 30, 33, 34, 35, 38, 39, 50, 51, 52, 53}) ht[numeric] = "0";
  ht[1] = Flag(f.coexistenceSupport);
  if (const auto& c = f.htCapabilities) {
    ht[4] = "TRUE";
    ht[5] = Flag(c->ldpc);
    ht[6] = Number(c->supportChannelWidth);
    ht[7] = Number(c->smPowerSave);
    ht[8] = Flag(c->greenField);
    ht[9] = Flag(c->shortGi20);
    ht[10] = Flag(c->shortGi40);
    ht[11] = Flag(c->txStbc);
    ht[12] = Number(c->rxStbc);
    ht[13] = Flag(c->delayedBlockAck);
    ht[14] = Number(c->maxAmsdu);
    ht[15] = Flag(c->dsssCck40);
    ht[16] = Flag(c->psmp);
    ht[19] = Flag(c->fortyMhzIntolerant);
    ht[20] = Flag(c->lsigTxopProtection);
    ht[21] = Number(c->maxRxAmpduLength);
    ht[22] = Number(c->mpduDensity);
    ht[23] = Flag(c->txMcsSetDefined);
  }
  if (const auto& i = f.htInformation) {
    ht[33] = Number(i->primaryChannel);
    ht[34] = Number(i->secondaryChannelOffset);
    ht[35] = Number(i->supportedChannelWidth);
    ht[36] = Flag(i->rifs);
    ht[39] = Number(i->htProtection);
    ht[40] = Flag(i->nonGreenfieldStasPresent);
    ht[42] = Flag(i->obssNonHtStasPresent);
    ht[43] = Flag(i->dualBeacon);
    ht[44] = Flag(i->dualCts);
    ht[45] = Flag(i->secondaryBeacon);
    ht[46] = Flag(i->lsigTxopFullSupport);
    ht[47] = Flag(i->pcoActive);
    ht[48] = Flag(i->pcoPhase);
    ht[54] = "TRUE";  // every Basic MCS Set in the captures is empty: 49-53 stay FALSE and 0
  }
  return ht;
}

const PcapBeacons& Capture(const std::string& file) {
  static std::map<std::string, PcapBeacons> cache;
  auto found = cache.find(file);
  if (found == cache.end()) {
    PcapBeacons beacons;
    std::string error;
    EXPECT_TRUE(ReadPcapBeacons(kCaptures + file, beacons, error)) << error;
    found = cache.emplace(file, std::move(beacons)).first;
  }
  return found->second;
}

class CapturedBeaconTest : public testing::TestWithParam<CapturedFrame> {};

TEST_P(CapturedBeaconTest, AgreesWithTheIndependentReading) {
  const CapturedFrame& want = GetParam();
  const PcapBeacons& beacons = Capture(want.file);
  const auto frame = std::find_if(beacons.frames.begin(), beacons.frames.end(),
                                  [&](const CapturedBss& b) { return b.frameNumber == want.frame; });
  ASSERT_NE(frame, beacons.frames.end()) << "frame " << want.frame << " was not taken as a beacon";
  const std::vector<uint8_t>& entry = frame->entry;

  NDIS_WLAN_BSSID_EX fixed;
  ASSERT_TRUE(DecodeNdisWlanBssidEx(entry, fixed));
  EXPECT_EQ(frame->probeResponse, want.probeResponse);
  EXPECT_EQ(NdisSsidText(fixed.Ssid), want.ssid);
  EXPECT_EQ(fixed.MacAddress, want.bssid);
  EXPECT_EQ(FrequencyToChannel(fixed.Configuration.DSConfig), want.channel);
  EXPECT_EQ(fixed.Configuration.BeaconPeriod, want.beaconInterval);
  EXPECT_EQ(fixed.Privacy, want.privacy ? 1u : 0u);
  EXPECT_EQ(fixed.InfrastructureMode, static_cast<uint32_t>(Ndis802_11Infrastructure));
  EXPECT_EQ(frame->signalKnown, want.antennaSignal.has_value());
  EXPECT_EQ(fixed.Rssi, want.antennaSignal.value_or(0));

  EXPECT_EQ(DescribeBss(entry, kBssFormSecurity), want.security);
  EXPECT_EQ(DescribeBss(entry, kBssFormCcx), "FALSE;FALSE;FALSE");
  EXPECT_EQ(SplitBssForm(DescribeBss(entry, kBssFormWps)), want.wps);

  std::array<uint8_t, kHtMcsSetSize> mcs{};
  const auto ht = SplitBssForm(DescribeBss(entry, kBssFormHt, &mcs));
  const auto expected = ExpectedHt(want);
  ASSERT_EQ(ht.size(), expected.size());
  for (size_t i = 0; i < ht.size(); ++i) {
    EXPECT_EQ(ht[i], expected[i]) << "field " << i << " (" << kBssHtFieldLabels[i] << ")";
  }
  std::vector<uint8_t> rxBitmask(3, 0);
  if (want.htCapabilities) rxBitmask = want.htCapabilities->rxBitmask;
  EXPECT_EQ(std::vector<uint8_t>(mcs.begin(), mcs.begin() + 3), rxBitmask);
  EXPECT_TRUE(std::all_of(mcs.begin() + 3, mcs.begin() + 12, [](uint8_t b) { return b == 0; }));
}

INSTANTIATE_TEST_SUITE_P(Captures, CapturedBeaconTest, testing::ValuesIn(Frames()),
                         [](const testing::TestParamInfo<CapturedFrame>& info) {
                           std::string name = info.param.file;
                           name = name.substr(0, name.find('.'));
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name + "_frame" + std::to_string(info.param.frame);
                         });

// The reading lists every beacon and probe response of these captures, and only those.
TEST(CapturedBeacons, EveryBeaconAndProbeResponseIsTaken) {
  for (const char* file : {"test1.pcap", "wep.open.system.authentication.cap", "wpa.cap"}) {
    SCOPED_TRACE(file);
    std::vector<uint32_t> want, got;
    for (const CapturedFrame& f : Frames()) {
      if (std::string(f.file) == file) want.push_back(f.frame);
    }
    for (const CapturedBss& b : Capture(file).frames) got.push_back(b.frameNumber);
    EXPECT_EQ(got, want);
  }
}

}  // namespace
}  // namespace ov
