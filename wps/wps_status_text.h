#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The driver's WPS status codes (low 28 bits of OID_VND_WPS_STATUS) and what the WPS page and
// `ovuictl wps` show for them.
namespace ov {

namespace wps_status {
constexpr uint32_t kNotUsed = 0;
constexpr uint32_t kIdle = 1;
constexpr uint32_t kScanningAp = 2;
constexpr uint32_t kAssociating = 3;
constexpr uint32_t kAssociated = 4;
constexpr uint32_t kEapolStart = 5;
constexpr uint32_t kEapRspId = 6;
constexpr uint32_t kEapRspAck = 7;
constexpr uint32_t kEapReqNack = 9;
constexpr uint32_t kSuccess = 15;
// Enrollee side: M1 sent ... M8 received.
constexpr uint32_t kEnrolleeWpsStart = 17;
constexpr uint32_t kSendingM1 = 18;
constexpr uint32_t kReceivedM2 = 19;
constexpr uint32_t kReceivedM2D = 20;
constexpr uint32_t kSendingM3 = 21;
constexpr uint32_t kReceivedM4 = 22;
constexpr uint32_t kSendingM5 = 23;
constexpr uint32_t kReceivedM6 = 24;
constexpr uint32_t kSendingM7 = 25;
constexpr uint32_t kReceivedM8 = 26;
constexpr uint32_t kSendingDone = 27;
// Registrar side: M1 received ... M8 sent.
constexpr uint32_t kReceivedM1 = 34;
constexpr uint32_t kSendingM2 = 35;
constexpr uint32_t kSendingM2D = 36;
constexpr uint32_t kRegistrarSendingM3 = 37;
constexpr uint32_t kSendingM4 = 38;
constexpr uint32_t kReceivedM5 = 39;
constexpr uint32_t kSendingM6 = 40;
constexpr uint32_t kReceivedM7 = 41;
constexpr uint32_t kSendingM8 = 42;
constexpr uint32_t kReceivedDone = 43;
// Failures.
constexpr uint32_t kTooManyPbcAps = 257;
constexpr uint32_t kNoPbcAp = 258;
constexpr uint32_t kEapFail = 259;
constexpr uint32_t kWrongNonce = 260;
constexpr uint32_t kHmacMismatch = 261;
constexpr uint32_t kWrongPin = 262;
constexpr uint32_t kInvalidSsid = 513;
constexpr uint32_t kWrongSmiVendor = 514;
constexpr uint32_t kWrongVendorType = 515;
constexpr uint32_t kEapProcessFailed = 516;
constexpr uint32_t kWalkTimeExpired = 517;  // the walk-time limit ended the run
}  // namespace wps_status

// The text of a code without its prefix; empty for codes without a text (517 and unknown ones).
std::string_view WpsStatusCodeText(uint32_t code);

// One status word as the page shows it and the reactions it calls for.
struct WpsStatusView {
  bool pinSession = false;
  uint32_t code = 0;
  std::string text;             // "PIN - " or "PBC - " and the code's text
  std::optional<int> progress;  // the bar's new percentage; none keeps the bar
  bool stopsPolling = false;    // code 0: the run is over
  bool reenablesControls = false;
  bool stopsEnrolleeSession = false;  // 516 in enrollee mode
  bool success = false;               // 15: the credentials are ready
  bool failure = false;               // 257-262, 513-517: the run ended without credentials
  bool movesToNextAp = false;         // in auto-select PIN mode: 0, 259-262, 513-517
};
WpsStatusView DescribeWpsStatusWord(uint32_t word);

// The bar's colour band: 0 up to 34 %, 1 from 35 to 69 %, 2 from 70 %.
int WpsProgressBand(int percent);

}  // namespace ov
