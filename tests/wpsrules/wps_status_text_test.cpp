// The status word as the WPS page shows it: prefix, text, progress and reactions.
#include <gtest/gtest.h>

#include <ostream>

#include "driver/oid/wps_records.h"
#include "wps/wps_status_text.h"

namespace ov {
namespace {

struct StatusRow {
  const char* name;
  uint32_t word;
  const char* text;
  int progress;  // -1: the bar stays
};

void PrintTo(const StatusRow& row, std::ostream* os) { *os << row.name; }

class WpsStatusTable : public ::testing::TestWithParam<StatusRow> {};

TEST_P(WpsStatusTable, TextAndProgress) {
  const WpsStatusView v = DescribeWpsStatusWord(GetParam().word);
  EXPECT_EQ(v.text, GetParam().text);
  if (GetParam().progress < 0) {
    EXPECT_FALSE(v.progress.has_value()) << *v.progress;
  } else {
    ASSERT_TRUE(v.progress.has_value());
    EXPECT_EQ(*v.progress, GetParam().progress);
  }
}

constexpr uint32_t kPin = kWpsStatusPinBit;

INSTANTIATE_TEST_SUITE_P(
    Rows, WpsStatusTable,
    ::testing::Values(
        StatusRow{"NotUsedPbc", 0, "PBC - WPS status is not used", -1},
        StatusRow{"Idle", 1, "PBC - WPS status is idled", -1},
        StatusRow{"Scanning", kPin | 2, "PIN - Scanning AP", 10},
        StatusRow{"Associating", 3, "PBC - Begin associating to WPS AP", 15},
        StatusRow{"Associated", 4, "PBC - Associated to WPS AP", 20},
        StatusRow{"EapolStart", 5, "PBC - Sending EAPOL-Start", 25},
        StatusRow{"RspId", 6, "PBC - Sending EAP-Rsp(ID)", 30},
        StatusRow{"Ack", 7, "PBC - Sending EAP Response (ACK)", -1},
        StatusRow{"Nack", 9, "PBC - Receive EAP-Req (NACK)", -1},
        StatusRow{"Success", 15, "PBC - Get WPS profile successfully.", 100},
        StatusRow{"WpsStart", 17, "PBC - Receive EAPReq WPS_Start", 35},
        StatusRow{"PinSendingM1", kPin | 18, "PIN - Sending M1", 40},
        StatusRow{"ReceivedM2", 19, "PBC - Received M2", 45},
        StatusRow{"ReceivedM2D", 20, "PBC - Received M2D", 50},
        StatusRow{"SendingM3", 21, "PBC - Sending M3", 60},
        StatusRow{"ReceivedM4", 22, "PBC - Received M4", 65},
        StatusRow{"SendingM5", 23, "PBC - Sending M5", 70},
        StatusRow{"ReceivedM6", 24, "PBC - Received M6", 75},
        StatusRow{"SendingM7", 25, "PBC - Sending M7", 80},
        StatusRow{"ReceivedM8", 26, "PBC - Received M8", 85},
        StatusRow{"SendingDone", 27, "PBC - Sending EAP Response (Done)", 90},
        StatusRow{"RegReceivedM1", 34, "PBC - Received M1", 40},
        StatusRow{"RegSendingM2", 35, "PBC - Sending M2", 45},
        StatusRow{"RegSendingM2D", 36, "PBC - Sending M2D", 50},
        StatusRow{"RegSendingM3", 37, "PBC - Sending M3", 60},
        StatusRow{"RegSendingM4", 38, "PBC - Sending M4", 65},
        StatusRow{"RegReceivedM5", 39, "PBC - Received M5", 70},
        StatusRow{"RegSendingM6", 40, "PBC - Sending M6", 75},
        StatusRow{"RegReceivedM7", 41, "PBC - Received M7", 80},
        StatusRow{"RegSendingM8", 42, "PBC - Sending M8", 85},
        StatusRow{"RegReceivedDone", 43, "PBC - Received EAP Response (Done)", 90},
        StatusRow{"TooManyPbc", 257, "PBC - Too many PBC AP available", -1},
        StatusRow{"NoPbc", 258, "PBC - No PBC AP available", -1},
        StatusRow{"EapFail", 259, "PBC - Received EAP-FAIL", -1},
        StatusRow{"Nonce", 260, "PBC - Receive EAP with wrong NONCE", -1},
        StatusRow{"Hmac", 261, "PBC - Receive EAP without integrity (Hmac mismatch)", -1},
        StatusRow{"WrongPin", kPin | 262, "PIN - Error PIN Code (R-Hash mismatch)", -1},
        StatusRow{"InvalidSsid", kPin | 513, "PIN - Invalid SSID in PIN mode", -1},
        StatusRow{"SmiVendor", 514, "PBC - Receive EAP-Req with wrong WPS SMI Vendor Id", -1},
        StatusRow{"VendorType", 515, "PBC - Receive EAP-Req with wrong WPS Vendor Type", -1},
        StatusRow{"EapFailed", 516, "PBC - WPS Eap process failed", -1},
        StatusRow{"WalkTime517HasNoText", 517, "PBC - ", -1},
        StatusRow{"UnlistedCode", 8, "PBC - ", -1},
        StatusRow{"HighBitsBeyondThePinBitIgnored", 0xE0000000u | kPin | 18, "PIN - Sending M1", 40}),
    [](const auto& info) { return std::string(info.param.name); });

struct ReactionRow {
  const char* name;
  uint32_t code;
  bool stopsPolling, reenables, stopsEnrollee, success, failure, nextAp;
};

void PrintTo(const ReactionRow& row, std::ostream* os) { *os << row.name; }

class WpsStatusReactions : public ::testing::TestWithParam<ReactionRow> {};

TEST_P(WpsStatusReactions, Flags) {
  const ReactionRow& r = GetParam();
  const WpsStatusView v = DescribeWpsStatusWord(kPin | r.code);
  EXPECT_EQ(v.code, r.code);
  EXPECT_TRUE(v.pinSession);
  EXPECT_EQ(v.stopsPolling, r.stopsPolling);
  EXPECT_EQ(v.reenablesControls, r.reenables);
  EXPECT_EQ(v.stopsEnrolleeSession, r.stopsEnrollee);
  EXPECT_EQ(v.success, r.success);
  EXPECT_EQ(v.failure, r.failure);
  EXPECT_EQ(v.movesToNextAp, r.nextAp);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WpsStatusReactions,
    ::testing::Values(ReactionRow{"NotUsed", 0, true, true, false, false, false, true},
                      ReactionRow{"Progress", 22, false, false, false, false, false, false},
                      ReactionRow{"Success", 15, false, false, false, true, false, false},
                      ReactionRow{"TooManyPbc", 257, false, false, false, false, true, false},
                      ReactionRow{"NoPbc", 258, false, false, false, false, true, false},
                      ReactionRow{"EapFail", 259, false, false, false, false, true, true},
                      ReactionRow{"WrongPin", 262, false, false, false, false, true, true},
                      ReactionRow{"InvalidSsid", 513, false, true, false, false, true, true},
                      ReactionRow{"EapFailed", 516, false, true, true, false, true, true},
                      ReactionRow{"WalkTime", 517, false, false, false, false, true, true},
                      ReactionRow{"BetweenRanges", 300, false, false, false, false, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WpsStatus, ProgressBandsSplitAt35And70) {
  EXPECT_EQ(WpsProgressBand(0), 0);
  EXPECT_EQ(WpsProgressBand(34), 0);
  EXPECT_EQ(WpsProgressBand(35), 1);
  EXPECT_EQ(WpsProgressBand(69), 1);
  EXPECT_EQ(WpsProgressBand(70), 2);
  EXPECT_EQ(WpsProgressBand(100), 2);
}

}  // namespace
}  // namespace ov
