#include "nativewifi/diagnostic_messages.h"

#include <array>
#include <string_view>

#include "driver/adapter_info.h"

namespace ov {

namespace {

constexpr size_t kDiagServMaxChars = 240;
constexpr size_t kTestMessageMaxChars = 230;
constexpr uint32_t kExitedDiagnosticMode = 0x80000004;
constexpr uint32_t kFirstTestEvent = 0x80000005;

constexpr std::array<std::string_view, 33> kDiagServMessages = {
    "The SSID is invalid.",
    "The network settings are invalid.",
    "There is a WLAN capability mismatch.",
    "The user credentials are incorrect.",
    "Please call support.",
    "The problem is resolved.",
    "The problem has not been resolved.",
    "Please try again later.",
    "Please correct the indicated problem.",
    "Troubleshooting is refused by the network.",
    "Retrieving client reports.",
    "Retrieving client logs.",
    "Retrieval complete.",
    "Beginning association test.",
    "Beginning DHCP test.",
    "Beginning network connectivity test.",
    "Beginning DNS ping test.",
    "Beginning name resolution test.",
    "Beginning 802.1X authentication test.",
    "Redirecting client to a specific profile.",
    "Test complete.",
    "Test passed.",
    "Test failed.",
    "Cancel diagnostic channel operation or select a WLAN profile to resume normal operation.",
    "Log retrieval refused by the client.",
    "Client report retrieval refused by the client.",
    "Test request refused by  the client.",
    "Invalid network (IP) setting.",
    "There is a known outage or problem with the network.",
    "Scheduled maintenance period.",
    "The WLAN security method is not correct.",
    "The WLAN encryption method is not correct.",
    "The WLAN authentication method is not correct.",
};

constexpr std::array<std::string_view, 12> kTestMessages = {
    "Received DNS ping test request.",
    "Received name resolution test request.",
    "Received DHCP test request.",
    "Received name resolution test request.",
    "Received association test request.",
    "Received 802.1x authentication test request.",
    "Performing test.",
    "Test cannot be performed at this time.",
    "Test request is not supported.",
    "Sent test response.",
    "Test was aborted by network.",
    "Network has concluded all tests.",
};

}  // namespace

std::optional<std::string> DiagnosticMessageText(uint32_t code) {
  if (code >= 1 && code <= kDiagServMessages.size()) {
    return LimitText("[DiagServ]" + std::string(kDiagServMessages[code - 1]), kDiagServMaxChars);
  }
  if (code == kExitedDiagnosticMode) return std::string("Exited diagnostic mode.");
  if (code >= kFirstTestEvent && code - kFirstTestEvent < kTestMessages.size()) {
    return LimitText(kTestMessages[code - kFirstTestEvent], kTestMessageMaxChars);
  }
  return std::nullopt;
}

}  // namespace ov
