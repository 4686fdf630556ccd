#include "wps/wps_status_text.h"

#include "driver/oid/wps_records.h"

namespace ov {

namespace {

struct CodeRow {
  uint32_t code;
  std::string_view text;
  int progress;  // -1: the bar stays
};

constexpr CodeRow kCodes[] = {
    {0, "WPS status is not used", -1},
    {1, "WPS status is idled", -1},
    {2, "Scanning AP", 10},
    {3, "Begin associating to WPS AP", 15},
    {4, "Associated to WPS AP", 20},
    {5, "Sending EAPOL-Start", 25},
    {6, "Sending EAP-Rsp(ID)", 30},
    {7, "Sending EAP Response (ACK)", -1},
    {9, "Receive EAP-Req (NACK)", -1},
    {15, "Get WPS profile successfully.", 100},
    {17, "Receive EAPReq WPS_Start", 35},
    {18, "Sending M1", 40},
    {19, "Received M2", 45},
    {20, "Received M2D", 50},
    {21, "Sending M3", 60},
    {22, "Received M4", 65},
    {23, "Sending M5", 70},
    {24, "Received M6", 75},
    {25, "Sending M7", 80},
    {26, "Received M8", 85},
    {27, "Sending EAP Response (Done)", 90},
    {34, "Received M1", 40},
    {35, "Sending M2", 45},
    {36, "Sending M2D", 50},
    {37, "Sending M3", 60},
    {38, "Sending M4", 65},
    {39, "Received M5", 70},
    {40, "Sending M6", 75},
    {41, "Received M7", 80},
    {42, "Sending M8", 85},
    {43, "Received EAP Response (Done)", 90},
    {257, "Too many PBC AP available", -1},
    {258, "No PBC AP available", -1},
    {259, "Received EAP-FAIL", -1},
    {260, "Receive EAP with wrong NONCE", -1},
    {261, "Receive EAP without integrity (Hmac mismatch)", -1},
    {262, "Error PIN Code (R-Hash mismatch)", -1},
    {513, "Invalid SSID in PIN mode", -1},
    {514, "Receive EAP-Req with wrong WPS SMI Vendor Id", -1},
    {515, "Receive EAP-Req with wrong WPS Vendor Type", -1},
    {516, "WPS Eap process failed", -1},
};

const CodeRow* FindCode(uint32_t code) {
  for (const CodeRow& row : kCodes) {
    if (row.code == code) return &row;
  }
  return nullptr;
}

bool IsFailure(uint32_t code) {
  return (code >= wps_status::kTooManyPbcAps && code <= wps_status::kWrongPin) ||
         (code >= wps_status::kInvalidSsid && code <= wps_status::kWalkTimeExpired);
}

}  // namespace

std::string_view WpsStatusCodeText(uint32_t code) {
  const CodeRow* row = FindCode(code);
  return row ? row->text : std::string_view{};
}

WpsStatusView DescribeWpsStatusWord(uint32_t word) {
  const WpsStatus status = DecodeWpsStatus(word);
  WpsStatusView view;
  view.pinSession = status.PinSession;
  view.code = status.Code;
  view.text = std::string(status.PinSession ? "PIN - " : "PBC - ");
  if (const CodeRow* row = FindCode(status.Code)) {
    view.text += row->text;
    if (row->progress >= 0) view.progress = row->progress;
  }
  const uint32_t code = status.Code;
  view.stopsPolling = code == wps_status::kNotUsed;
  view.success = code == wps_status::kSuccess;
  view.failure = IsFailure(code);
  view.reenablesControls = code == wps_status::kNotUsed ||
                           (code >= wps_status::kInvalidSsid && code <= wps_status::kEapProcessFailed);
  view.stopsEnrolleeSession = code == wps_status::kEapProcessFailed;
  view.movesToNextAp = code == wps_status::kNotUsed ||
                       (code >= wps_status::kEapFail && code <= wps_status::kWrongPin) ||
                       (code >= wps_status::kInvalidSsid && code <= wps_status::kWalkTimeExpired);
  return view;
}

int WpsProgressBand(int percent) {
  if (percent < 35) return 0;
  if (percent < 70) return 1;
  return 2;
}

}  // namespace ov
