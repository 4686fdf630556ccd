// DescribeBss against hand-written elements: every element rule, the walk's limits, and the
// reads that must stop at the end of an element or an entry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/oid/byte_codec.h"
#include "tests/bssdescribe/element_builder.h"
#include "views/bss_describe.h"

namespace ov {
namespace {

using namespace ov::test;

const std::string kEmptyWps = "Unknown;Unknown;Unknown;Unknown;Unknown;Unknown;Unknown;Unknown;FALSE";
// Numbers 0 and flags FALSE, in the order of the 55 HT fields.
const std::string kEmptyHt =
    "0;FALSE;FALSE;FALSE;FALSE;FALSE;0;0;FALSE;FALSE;FALSE;FALSE;0;FALSE;0;FALSE;FALSE;FALSE;FALSE;"
    "FALSE;FALSE;0;0;FALSE;FALSE;0;FALSE;FALSE;FALSE;0;0;FALSE;FALSE;0;0;0;FALSE;FALSE;0;0;FALSE;"
    "FALSE;FALSE;FALSE;FALSE;FALSE;FALSE;FALSE;FALSE;FALSE;0;0;0;0;FALSE";

std::vector<std::string> Fields(const Bytes& entry, int form, OsVersionCode os = kLinuxOsVersionCode) {
  return SplitBssForm(DescribeBss(entry, form, nullptr, os));
}

// ---- Security summary ----

struct SecurityCase {
  const char* name;
  Bytes elements;
  uint32_t infrastructure;
  OsVersionCode os;
  const char* summary;  // form 0
  const char* ccx;      // form 1
};

const Bytes kOpenSsid = SsidElement("net");

std::vector<SecurityCase> SecurityCases() {
  using namespace ie;
  return {
      {"OpenNetwork", kOpenSsid, 1, 11, "Unknown;None", "FALSE;FALSE;FALSE"},
      {"WpaPskTkipAndRsnPskCcmp",
       Cat({kOpenSsid, WpaElement(Wfa(kCipherTkip), {Wfa(kCipherTkip)}, {Wfa(kAkmPsk)}),
            RsnElement(Rsn(kCipherCcmp), {Rsn(kCipherCcmp)}, {Rsn(kAkmPsk)})}),
       1, 11, "WPA-PSK+WPA2-PSK;TKIP+AES", "FALSE;FALSE;FALSE"},
      {"RsnEnterpriseMixedCiphers",
       Cat({kOpenSsid, RsnElement(Rsn(kCipherTkip), {Rsn(kCipherTkip), Rsn(kCipherCcmp)}, {Rsn(kAkm8021X)})}),
       1, 11, "WPA2;TKIP+AES", "FALSE;FALSE;FALSE"},
      {"RsnWrapCipherCountsAsAes",
       Cat({kOpenSsid, RsnElement(Rsn(kCipherWep40), {Rsn(kCipherWrap)}, {Rsn(kAkmPsk)})}),
       1, 11, "WPA2-PSK;AES", "FALSE;FALSE;FALSE"},
      {"AdHocRsnPskIsWpa2None",
       Cat({kOpenSsid, RsnElement(Rsn(kCipherCcmp), {Rsn(kCipherCcmp)}, {Rsn(kAkmPsk)})}),
       0, 11, "WPA2-NONE;AES", "FALSE;FALSE;FALSE"},
      {"AdHocWpaPskFromVersion11IsWpaPsk",
       Cat({kOpenSsid, WpaElement(Wfa(kCipherTkip), {Wfa(kCipherTkip)}, {Wfa(kAkmPsk)})}),
       0, 11, "WPA-PSK;TKIP", "FALSE;FALSE;FALSE"},
      {"AdHocWpaPskBeforeVersion11IsWpaNone",
       Cat({kOpenSsid, WpaElement(Wfa(kCipherTkip), {Wfa(kCipherTkip)}, {Wfa(kAkmPsk)})}),
       0, 10, "WPA-NONE;TKIP", "FALSE;FALSE;FALSE"},
      {"InfrastructureWpaPskBeforeVersion11IsWpaPsk",
       Cat({kOpenSsid, WpaElement(Wfa(kCipherTkip), {Wfa(kCipherTkip)}, {Wfa(kAkmPsk)})}),
       1, 8, "WPA-PSK;TKIP", "FALSE;FALSE;FALSE"},
      {"WpaNoneAkmOui",
       Cat({kOpenSsid, WpaElement(Wfa(kCipherTkip), {Wfa(kCipherTkip)}, {Suite(kOuiWpaNone, kAkmNone)})}),
       0, 10, "WPA-NONE;TKIP", "FALSE;FALSE;FALSE"},
      {"WapiPskWithSms4",
       Cat({kOpenSsid, WapiElement({Suite(kOuiWapi, kWapiAkmPsk)}, {Suite(kOuiWapi, kWapiCipherSms4)})}),
       1, 11, "WAPI-PSK;SMS4", "FALSE;FALSE;FALSE"},
      {"WapiCertificate",
       Cat({kOpenSsid, WapiElement({Suite(kOuiWapi, kWapiAkmCertificate)}, {Suite(kOuiWapi, kWapiCipherSms4)})}),
       1, 11, "WAPI-CA;SMS4", "FALSE;FALSE;FALSE"},
      // With two AKM suites the unicast list moves on by four octets; fixed offsets would take
      // the second AKM suite for the cipher.
      {"WapiTwoAkmsThenUnicastList",
       Cat({kOpenSsid, WapiElement({Suite(kOuiWapi, kWapiAkmPsk), Suite(kOuiWapi, kWapiAkmCertificate)},
                                   {Suite(kOuiWapi, kWapiCipherSms4)})}),
       1, 11, "WAPI-PSK+WAPI-CA;SMS4", "FALSE;FALSE;FALSE"},
      {"WapiCertificateAkmIsNotACipher",
       Cat({kOpenSsid, WapiElement({Suite(kOuiWapi, kWapiAkmPsk), Suite(kOuiWapi, kWapiAkmCertificate)}, {})}),
       1, 11, "WAPI-PSK+WAPI-CA;None", "FALSE;FALSE;FALSE"},
      {"CckmInRsn",
       Cat({kOpenSsid, RsnElement(Rsn(kCipherTkip), {Rsn(kCipherTkip)}, {Suite(kOuiCisco, 0)})}),
       1, 11, "WPA2;TKIP", "TRUE;FALSE;FALSE"},
      {"CiscoCkipCmicGroupAndCckmInWpa",
       Cat({kOpenSsid, WpaElement(Suite(kOuiCisco, kCiscoCkipCmic), {Wfa(kCipherTkip)}, {Suite(kOuiCisco, 0)})}),
       1, 11, "WPA;TKIP", "TRUE;TRUE;TRUE"},
      {"CiscoCmicGroupUnderCiscoOui",
       Cat({kOpenSsid, WpaElement(Suite(kOuiCisco, kCiscoCmic), {Wfa(kCipherCcmp)}, {}, Suite(kOuiCisco, 0x05))}),
       1, 11, "Unknown;AES", "FALSE;TRUE;FALSE"},
      {"CiscoCkipGroup",
       Cat({kOpenSsid, WpaElement(Suite(kOuiCisco, kCiscoCkip), {}, {Wfa(kAkm8021X)})}),
       1, 11, "WPA;None", "FALSE;FALSE;TRUE"},
      // The first pairwise suite under another OUI ends the list; the AKM list is still found
      // where the count places it.
      {"RsnPairwiseListEndsAtForeignSuite",
       Cat({kOpenSsid, RsnElement(Rsn(kCipherWep40), {Suite(kOuiCisco, kCipherTkip), Rsn(kCipherCcmp)}, {Rsn(kAkmPsk)})}),
       1, 11, "WPA2-PSK;None", "FALSE;FALSE;FALSE"},
      {"RsnGroupUnderForeignOuiIgnoresElement",
       Cat({kOpenSsid, RsnElement(Wfa(kCipherCcmp), {Rsn(kCipherCcmp)}, {Rsn(kAkmPsk)})}),
       1, 11, "Unknown;None", "FALSE;FALSE;FALSE"},
      {"WpaGroupUnderForeignOuiIgnoresElement",
       Cat({kOpenSsid, WpaElement(Rsn(kCipherTkip), {Wfa(kCipherTkip)}, {Wfa(kAkmPsk)})}),
       1, 11, "Unknown;None", "FALSE;FALSE;FALSE"},
      {"RsnShorterThan12Ignored",
       Cat({kOpenSsid, Element(kRsn, Cat({Le16(1), Rsn(kCipherCcmp), Le16(1), {0x00, 0x0F}}))}),
       1, 11, "Unknown;None", "FALSE;FALSE;FALSE"},
      // A WMM parameter element sits under the WPA element's rule but its octets are no suites.
      {"WmmParameterElementIsNoSecurity",
       Cat({kOpenSsid, Element(kVendorSpecific, Cat({Wfa(kWifiAllianceWmm), {0x01, 0x01, 0x83, 0x00},
                                                    {0x03, 0xA4, 0x00, 0x00, 0x27, 0xA4, 0x00, 0x00},
                                                    {0x42, 0x43, 0x5E, 0x00, 0x62, 0x32, 0x2F, 0x00}}))}),
       1, 11, "Unknown;None", "FALSE;FALSE;FALSE"},
  };
}

TEST(DescribeBssSecurity, SummaryAndCcxFlags) {
  for (const SecurityCase& c : SecurityCases()) {
    SCOPED_TRACE(c.name);
    const Bytes entry = EntryWith(c.elements, c.infrastructure);
    EXPECT_EQ(DescribeBss(entry, kBssFormSecurity, nullptr, c.os), c.summary);
    EXPECT_EQ(DescribeBss(entry, kBssFormCcx, nullptr, c.os), c.ccx);
  }
}

// An SSID element placed right after another element whose first four octets read as the
// suite `oui`-`type`: its id is the OUI's 0x00, its length the OUI's second octet, and its body
// starts with the third octet and the type. A decoder that reads one suite too far finds it.
Bytes SuiteLookalike(const ie::Oui& oui, uint8_t type) {
  Bytes body(oui[1], 0x00);
  body[0] = oui[2];
  body[1] = type;
  return Element(ie::kSsid, body);
}

// Counts that promise more suites than the element holds. Type 2 is TKIP as a cipher and PSK
// as an AKM, so a suite read past the element would show in the summary either way.
TEST(DescribeBssSecurity, SuiteCountsNeverReadPastTheElement) {
  using namespace ie;
  struct Case {
    const char* name;
    Bytes element;
    Bytes following;
    const char* summary;
  };
  const Bytes ieee = SuiteLookalike(kOuiIeee80211, 2);
  const Bytes wfa = SuiteLookalike(kOuiWifiAlliance, 2);
  const Bytes wapi = SuiteLookalike(kOuiWapi, kWapiAkmPsk);
  const std::vector<Case> cases = {
      {"RsnPairwiseCountPastEnd", Element(kRsn, Cat({Le16(1), Rsn(kCipherCcmp), Le16(3), Rsn(kCipherCcmp)})),
       ieee, "Unknown;AES"},
      {"RsnHugePairwiseCount", Element(kRsn, Cat({Le16(1), Rsn(kCipherCcmp), Le16(0xFFFF), Rsn(kCipherCcmp)})),
       ieee, "Unknown;AES"},
      {"RsnAkmCountPastEnd",
       Element(kRsn, Cat({Le16(1), Rsn(kCipherCcmp), Le16(1), Rsn(kCipherCcmp), Le16(2), Rsn(kAkm8021X)})), ieee,
       "WPA2;AES"},
      {"RsnAkmCountHalfOutside", Element(kRsn, Cat({Le16(1), Rsn(kCipherCcmp), Le16(1), Rsn(kCipherCcmp), {0x01}})),
       ieee, "Unknown;AES"},
      {"WpaPairwiseCountPastEnd", Element(kVendorSpecific, Cat({Wfa(1), Le16(1), Wfa(kCipherCcmp), Le16(4), Wfa(kCipherCcmp)})),
       wfa, "Unknown;AES"},
      {"WpaAkmCountPastEnd", Element(kVendorSpecific, Cat({Wfa(1), Le16(1), Wfa(kCipherCcmp), Le16(0), Le16(9), Wfa(kAkm8021X)})),
       wfa, "WPA;AES"},
      {"WapiAkmCountPastEnd", Element(kWapi, Cat({Le16(1), Le16(5), Suite(kOuiWapi, kWapiAkmCertificate)})), wapi,
       "WAPI-CA;None"},
      {"WapiTooShortForAnySuite", Element(kWapi, Cat({Le16(1), Le16(1)})), wapi, "Unknown;None"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DescribeBss(EntryWith(Cat({c.element, c.following})), kBssFormSecurity), c.summary);
  }
}

// ---- WPS ----

TEST(DescribeBssWps, Attributes) {
  using namespace ie::wps;
  struct Case {
    const char* name;
    Bytes element;
    const char* fields;
  };
  const Bytes uuid = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                      0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
  const std::vector<Case> cases = {
      {"EveryNamedAttribute",
       WpsElement({WpsAttribute(kVersion, {0x10}), WpsAttribute(kWifiProtectedSetupState, {kConfigured}),
                   WpsAttribute(kApSetupLocked, {0x01}), WpsAttribute(kSelectedRegistrar, {0x01}),
                   WpsAttribute(kDevicePasswordId, Be16(0x0004)), WpsAttribute(kUuidE, uuid),
                   WpsAttribute(kConfigMethods, Be16(0x0086)), WpsAttribute(kRfBands, {kBand5GHz})}),
       "0x0086;0x0004;TRUE;Configured;1.0;TRUE;00112233445566778899AABBCCDDEEFF;0x02 (5GHz);TRUE"},
      {"OneOctetAfterOuiAndType", WpsElement({{0x10}}), "Unknown;Unknown;Unknown;Unknown;Unknown;Unknown;Unknown;Unknown;TRUE"},
      {"LaterConfigMethodsWins",
       WpsElement({WpsAttribute(kConfigMethods, Be16(0x0086)), WpsAttribute(kSelectedRegistrarConfigMethods, Be16(0x2388))}),
       "0x2388;Unknown;Unknown;Unknown;Unknown;Unknown;Unknown;Unknown;TRUE"},
      {"NonceAppendsToSelectedRegistrar",
       WpsElement({WpsAttribute(kSelectedRegistrar, {0x00}), WpsAttribute(kEnrolleeNonce, uuid)}),
       "Unknown;Unknown;FALSE00112233445566778899AABBCCDDEEFF;Unknown;Unknown;Unknown;Unknown;Unknown;TRUE"},
      {"UnnamedStateAndBandsStayUnknown",
       WpsElement({WpsAttribute(kWifiProtectedSetupState, {0x07}), WpsAttribute(kRfBands, {0x04}),
                   WpsAttribute(kVersion, {0x20}), WpsAttribute(kApSetupLocked, {0x00})}),
       "Unknown;Unknown;Unknown;Unknown;2.0;FALSE;Unknown;Unknown;TRUE"},
      {"UnconfiguredDualBand",
       WpsElement({WpsAttribute(kWifiProtectedSetupState, {kUnconfigured}), WpsAttribute(kRfBands, {0x03})}),
       "Unknown;Unknown;Unknown;Unconfigured;Unknown;Unknown;Unknown;0x03;TRUE"},
      // Values shorter than their rule reads leave the attribute out.
      {"ShortValuesLeftOut",
       WpsElement({WpsAttribute(kConfigMethods, {0x01}), WpsAttribute(kUuidE, Bytes(15, 0xAB)),
                   WpsAttribute(kSelectedRegistrar, {}), WpsAttribute(kVersion, {0x10})}),
       "Unknown;Unknown;Unknown;Unknown;1.0;Unknown;Unknown;Unknown;TRUE"},
      // An attribute whose length runs past the element ends the walk; the element after it
      // holds what would be its value and must not be read.
      {"AttributeRunningPastTheElement",
       Cat({WpsElement({WpsAttribute(kVersion, {0x10}), Cat({Be16(kConfigMethods), Be16(2)})}),
            Element(ie::kCountry, Be16(0x0086))}),
       "Unknown;Unknown;Unknown;Unknown;1.0;Unknown;Unknown;Unknown;TRUE"},
      {"AttributeHeaderCutByTheElement",
       Cat({WpsElement({WpsAttribute(kVersion, {0x10}), Be16(kApSetupLocked)}), Element(ie::kSsid, {0x01})}),
       "Unknown;Unknown;Unknown;Unknown;1.0;Unknown;Unknown;Unknown;TRUE"},
      {"ElementOfOnlyOuiAndTypeIsNotWps", Element(ie::kVendorSpecific, Wfa(ie::kWifiAllianceWps)), kEmptyWps.c_str()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DescribeBss(EntryWith(Cat({kOpenSsid, c.element})), kBssFormWps), c.fields);
  }
}

// ---- HT ----

TEST(DescribeBssHt, CapabilitiesInfoFields) {
  struct Case {
    const char* name;
    uint16_t info;
    uint8_t ampdu;
    std::vector<std::pair<size_t, const char*>> fields;  // index, value
  };
  const std::vector<Case> cases = {
      {"AllBitsSet", 0xFFFF, 0x1F,
       {{4, "TRUE"}, {5, "TRUE"}, {6, "1"}, {7, "3"}, {8, "TRUE"}, {9, "TRUE"}, {10, "TRUE"}, {11, "TRUE"},
        {12, "3"}, {13, "TRUE"}, {14, "1"}, {15, "TRUE"}, {16, "TRUE"}, {17, "FALSE"}, {18, "FALSE"},
        {19, "TRUE"}, {20, "TRUE"}, {21, "3"}, {22, "7"}}},
      {"NoBitsSet", 0x0000, 0x00,
       {{4, "TRUE"}, {5, "FALSE"}, {6, "0"}, {7, "0"}, {8, "FALSE"}, {12, "0"}, {14, "0"}, {20, "FALSE"},
        {21, "0"}, {22, "0"}}},
      // 0x116e: channel width 1, SM power save 3, short GI both, Rx STBC 1, DSSS/CCK in 40 MHz.
      {"CapturedWord116e", 0x116E, 0x03,
       {{5, "FALSE"}, {6, "1"}, {7, "3"}, {8, "FALSE"}, {9, "TRUE"}, {10, "TRUE"}, {11, "FALSE"},
        {12, "1"}, {13, "FALSE"}, {14, "0"}, {15, "TRUE"}, {16, "FALSE"}, {19, "FALSE"}, {21, "3"}, {22, "0"}}},
      {"SingleBits", (1u << 2) | (1u << 9) | (1u << 14), 0x08,
       {{7, "1"}, {12, "2"}, {19, "TRUE"}, {15, "FALSE"}, {21, "0"}, {22, "2"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto ht = Fields(EntryWith(Cat({kOpenSsid, HtCapabilities(c.info, c.ampdu, Bytes(16, 0))})), kBssFormHt);
    ASSERT_EQ(ht.size(), kBssHtFieldCount);
    for (const auto& [index, value] : c.fields) EXPECT_EQ(ht[index], value) << "field " << index;
  }
}

TEST(DescribeBssHt, CapabilitiesElementMustBe26OctetsAndFillsTheMcsBuffer) {
  Bytes mcs(16, 0);
  mcs[0] = 0xFF;
  mcs[1] = 0x0F;
  const Bytes element26 = HtCapabilities(0x0002, 0x03, mcs);
  Bytes element28 = element26;
  element28[1] = 28;
  element28.insert(element28.end(), {0, 0});

  std::array<uint8_t, kHtMcsSetSize> out;
  out.fill(0xEE);
  EXPECT_EQ(Fields(EntryWith(element26), kBssFormHt)[kHtCapabilityPresent], "TRUE");
  DescribeBss(EntryWith(element26), kBssFormHt, &out);
  EXPECT_EQ(Bytes(out.begin(), out.end()), mcs);

  out.fill(0xEE);
  const auto ignored = Fields(EntryWith(element28), kBssFormHt);
  DescribeBss(EntryWith(element28), kBssFormHt, &out);
  EXPECT_EQ(ignored[kHtCapabilityPresent], "FALSE");
  EXPECT_EQ(ignored[kHtSupportedChannelWidthSet], "0");
  EXPECT_EQ(Bytes(out.begin(), out.end()), Bytes(16, 0)) << "no HT Capabilities element: zeros";
}

TEST(DescribeBssHt, TxMcsSetDefinedIsBitZeroOfOctet12) {
  for (const auto& [octet, expected] : std::vector<std::pair<uint8_t, const char*>>{
           {0x00, "FALSE"}, {0x01, "TRUE"}, {0x03, "TRUE"}, {0x11, "TRUE"}, {0x02, "FALSE"}, {0x1E, "FALSE"}}) {
    SCOPED_TRACE(static_cast<int>(octet));
    Bytes mcs(16, 0);
    mcs[12] = octet;
    EXPECT_EQ(Fields(EntryWith(HtCapabilities(0, 0, mcs)), kBssFormHt)[23], expected);
  }
}

TEST(DescribeBssHt, OperationElementFields) {
  Bytes basic(16, 0);
  basic[0] = 0xFF;  // MCS 0-7
  basic[12] = 0xFF;
  basic[13] = 0xFF;
  basic[14] = 0xFF;
  basic[15] = 0xFF;  // -1 as a signed word
  const auto ht = Fields(EntryWith(HtOperation(11, 0x0F | (5 << 5) | (1 << 4), 0x0016, 0x0FC0, basic)), kBssFormHt);
  const std::vector<std::pair<size_t, const char*>> expected = {
      {33, "11"}, {34, "3"}, {35, "1"}, {36, "TRUE"}, {37, "TRUE"}, {38, "5"},      // subset 1
      {39, "2"}, {40, "TRUE"}, {41, "FALSE"}, {42, "TRUE"},                         // subset 2
      {43, "TRUE"}, {44, "TRUE"}, {45, "TRUE"}, {46, "TRUE"}, {47, "TRUE"}, {48, "TRUE"},  // bits 6-11
      {49, "TRUE"}, {50, "255"}, {51, "0"}, {52, "0"}, {53, "-1"}, {54, "TRUE"}, {4, "FALSE"}};
  for (const auto& [index, value] : expected) EXPECT_EQ(ht[index], value) << "field " << index;

  // One bit at a time: each of the six flags sits on its own bit of subset 3.
  for (unsigned bit = 6; bit <= 11; ++bit) {
    SCOPED_TRACE(bit);
    const auto one = Fields(EntryWith(HtOperation(1, 0, 0, static_cast<uint16_t>(1u << bit))), kBssFormHt);
    for (size_t field = 43; field <= 48; ++field) {
      EXPECT_EQ(one[field], field - 43 == bit - 6 ? "TRUE" : "FALSE") << "field " << field;
    }
    EXPECT_EQ(one[49], "FALSE") << "no basic MCS";
  }
  // Bits below 6 are reserved and show nowhere.
  EXPECT_EQ(DescribeBss(EntryWith(HtOperation(0, 0, 0, 0x003F)), kBssFormHt),
            DescribeBss(EntryWith(HtOperation(0, 0, 0, 0x0000)), kBssFormHt));
}

TEST(DescribeBssHt, ShortOrOddElementsAreIgnored) {
  using namespace ie;
  struct Case {
    const char* name;
    Bytes element;
    size_t field;
    const char* value;
  };
  const Bytes op22 = HtOperation(6, 0, 0, 0);
  const Bytes op21 = Element(kHtOperation, Bytes(op22.begin() + 2, op22.end() - 1));
  Bytes nbr(13, 0);
  nbr[6 + 1] = (1 << 2) | (1 << 3);  // BSSID information bits 10 and 11
  const std::vector<Case> cases = {
      {"Operation22", op22, kHtInformationPresent, "TRUE"},
      {"Operation21", op21, kHtInformationPresent, "FALSE"},
      {"SecondaryChannelOffsetOneOctet", Element(kSecondaryChannelOffset, {3}), kHtSecondaryChannelOffset, "3"},
      {"SecondaryChannelOffsetThreeOctets", Element(kSecondaryChannelOffset, {1, 9, 9}), kHtSecondaryChannelOffset, "1"},
      {"ExtendedCapabilitiesBit0", Element(kExtendedCapabilities, {0x01, 0x00}), 1, "TRUE"},
      {"ExtendedCapabilitiesOtherBits", Element(kExtendedCapabilities, {0xFE}), 1, "FALSE"},
      {"NeighborReportMobilityDomain", Element(kNeighborReport, nbr), 2, "TRUE"},
      {"NeighborReportHighThroughput", Element(kNeighborReport, nbr), 3, "TRUE"},
      {"NeighborReportTooShort", Element(kNeighborReport, Bytes(nbr.begin(), nbr.end() - 1)), 2, "FALSE"},
      {"BroadcomHtCapabilities30", Element(kVendorSpecific, Cat({Suite(kOuiBroadcom, 0x33), Bytes(26, 0xFF)})),
       kHtCapabilityPresent, "TRUE"},
      {"BroadcomHtCapabilities29", Element(kVendorSpecific, Cat({Suite(kOuiBroadcom, 0x33), Bytes(25, 0xFF)})),
       kHtCapabilityPresent, "FALSE"},
      {"BroadcomHtInformation26", Element(kVendorSpecific, Cat({Suite(kOuiBroadcom, 0x34), Bytes(22, 0)})),
       kHtInformationPresent, "TRUE"},
      {"BroadcomHtInformation25", Element(kVendorSpecific, Cat({Suite(kOuiBroadcom, 0x34), Bytes(21, 0)})),
       kHtInformationPresent, "FALSE"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Fields(EntryWith(Cat({kOpenSsid, c.element})), kBssFormHt)[c.field], c.value);
  }
  // Neighbor report bits 8 and 9 (block ack) are no HT fields.
  nbr[7] = 0x03;
  const auto ht = Fields(EntryWith(Element(kNeighborReport, nbr)), kBssFormHt);
  EXPECT_EQ(ht[2], "FALSE");
  EXPECT_EQ(ht[3], "FALSE");
}

// ---- The walk ----

TEST(DescribeBssWalk, WhereTheWalkStops) {
  using namespace ie;
  const Bytes rsn = RsnElement(Rsn(kCipherCcmp), {Rsn(kCipherCcmp)}, {Rsn(kAkmPsk)});
  struct Case {
    const char* name;
    Bytes elements;
    const char* summary;
  };
  const std::vector<Case> cases = {
      {"SecondElementOfLength0EndsTheWalk", Cat({kOpenSsid, Element(kErp, {}), rsn}), "Unknown;None"},
      {"HiddenSsidFirstDoesNot", Cat({Element(kSsid, {}), rsn}), "WPA2-PSK;AES"},
      {"ZeroPaddingAfterTheElements", Cat({kOpenSsid, rsn, Bytes(8, 0)}), "WPA2-PSK;AES"},
      {"ElementRunningPastTheList", Cat({kOpenSsid, ElementClaiming(kRsn, 40, Bytes(rsn.begin() + 2, rsn.end()))}),
       "Unknown;None"},
      {"LoneIdOctetAtTheEnd", Cat({rsn, {kRsn}}), "WPA2-PSK;AES"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DescribeBss(EntryWith(c.elements), kBssFormSecurity), c.summary);
  }
}

TEST(DescribeBssWalk, ALastElementOfThreeOctetsIsRead) {
  // Element id, length 1, one octet: the list's last three octets.
  const Bytes entry = EntryWith(Cat({kOpenSsid, Element(ie::kExtendedCapabilities, {0x01})}));
  EXPECT_EQ(Fields(entry, kBssFormHt)[1], "TRUE");
  const Bytes only = EntryWith(Element(ie::kSecondaryChannelOffset, {3}));
  EXPECT_EQ(Fields(only, kBssFormHt)[0], "3");
}

// The element list ends at IELength, at the entry's Length and at the bytes given, whichever
// comes first; the same RSN bytes follow in each case, and must not be read.
TEST(DescribeBssWalk, ReadsStayInsideTheEntry) {
  using namespace ie;
  const Bytes rsn = RsnElement(Rsn(kCipherCcmp), {Rsn(kCipherCcmp)}, {Rsn(kAkmPsk)});
  const Bytes full = EntryWith(Cat({kOpenSsid, rsn}));
  ASSERT_EQ(DescribeBss(full, kBssFormSecurity), "WPA2-PSK;AES");
  const uint32_t cut = static_cast<uint32_t>(kOpenSsid.size() + rsn.size() - 1);

  Bytes shortIeLength = full;
  byte_codec::PutU32(shortIeLength, bssid_entry_offset::kIELength, cut);
  EXPECT_EQ(DescribeBss(shortIeLength, kBssFormSecurity), "Unknown;None") << "IELength";

  Bytes shortLength = full;
  byte_codec::PutU32(shortLength, bssid_entry_offset::kLength, 116 + cut);
  EXPECT_EQ(DescribeBss(shortLength, kBssFormSecurity), "Unknown;None") << "Length";

  const std::span<const uint8_t> fewerBytes(full.data(), full.size() - 1);
  EXPECT_EQ(DescribeBss(fewerBytes, kBssFormSecurity), "Unknown;None") << "bytes given";

  // Bytes past the entry's Length belong to the next entry of the list.
  Bytes followed = full;
  byte_codec::PutU32(followed, bssid_entry_offset::kLength, 116 + static_cast<uint32_t>(kOpenSsid.size()));
  EXPECT_EQ(DescribeBss(followed, kBssFormSecurity), "Unknown;None") << "next entry";
}

TEST(DescribeBssWalk, EntriesTooShortGiveTheEmptyResults) {
  const Bytes rsn = RsnElement(Rsn(ie::kCipherCcmp), {Rsn(ie::kCipherCcmp)}, {Rsn(ie::kAkmPsk)});
  Bytes lengthBetween104And116 = EntryWith(rsn);
  byte_codec::PutU32(lengthBetween104And116, bssid_entry_offset::kLength, 110);
  Bytes noElements = EntryWith({});
  const std::vector<std::pair<const char*, Bytes>> cases = {
      {"Nothing", {}},
      {"ShorterThanTheFixedPart", Bytes(115, 0)},
      {"Length110", lengthBetween104And116},
      {"NoElements", noElements},
  };
  for (const auto& [name, entry] : cases) {
    SCOPED_TRACE(name);
    std::array<uint8_t, kHtMcsSetSize> mcs;
    mcs.fill(0xEE);
    EXPECT_EQ(DescribeBss(entry, kBssFormSecurity, &mcs), "Unknown;None");
    EXPECT_EQ(Bytes(mcs.begin(), mcs.end()), Bytes(16, 0));
    EXPECT_EQ(DescribeBss(entry, kBssFormCcx), "FALSE;FALSE;FALSE");
    EXPECT_EQ(DescribeBss(entry, kBssFormWps), kEmptyWps);
    EXPECT_EQ(DescribeBss(entry, kBssFormHt), kEmptyHt);
  }
}

TEST(DescribeBssForms, FieldCountsAndUnknownForms) {
  const Bytes entry = EntryWith(Cat({kOpenSsid, HtCapabilities(0x116E, 3, Bytes(16, 0)), HtOperation(6, 0, 0, 0)}));
  EXPECT_EQ(Fields(entry, kBssFormSecurity).size(), kBssSecurityFieldCount);
  EXPECT_EQ(Fields(entry, kBssFormCcx).size(), kBssCcxFieldCount);
  EXPECT_EQ(Fields(entry, kBssFormWps).size(), kBssWpsFieldCount);
  EXPECT_EQ(Fields(entry, kBssFormHt).size(), kBssHtFieldCount);
  for (int form : {-1, 4, 100}) EXPECT_EQ(DescribeBss(entry, form), "") << "form " << form;
}

TEST(DescribeBssForms, SplitKeepsEmptyFields) {
  EXPECT_EQ(SplitBssForm("a;;b"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(SplitBssForm(""), (std::vector<std::string>{""}));
  EXPECT_EQ(SplitBssForm("x;"), (std::vector<std::string>{"x", ""}));
}

}  // namespace
}  // namespace ov
