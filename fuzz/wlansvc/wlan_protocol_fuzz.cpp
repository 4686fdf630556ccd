// Arbitrary bytes as a payload of every message type of the wireless-service protocol: decoding
// never reads out of bounds, and whatever decodes re-encodes to a payload that decodes to the
// same message.
#include <cstddef>
#include <cstdint>
#include <span>

#include "nativewifi/wlansvc/wlan_protocol.h"

namespace {

template <typename M>
void RoundTrip(std::span<const uint8_t> bytes) {
  M message;
  if (!ov::wlan::protocol::DecodePayload(bytes, &message)) return;
  std::vector<uint8_t> again = ov::wlan::protocol::EncodePayload(message);
  M second;
  if (!ov::wlan::protocol::DecodePayload(again, &second) || !(second == message)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte picks the message, the rest is its payload.
  std::span<const uint8_t> payload(data + 1, size - 1);
  switch (data[0] % 33) {
    case 0: RoundTrip<ov::wlan::protocol::OpenHandleRequest>(payload); break;
    case 1: RoundTrip<ov::wlan::protocol::CloseHandleRequest>(payload); break;
    case 2: RoundTrip<ov::wlan::protocol::EnumInterfacesRequest>(payload); break;
    case 3: RoundTrip<ov::wlan::protocol::QueryInterfaceRequest>(payload); break;
    case 4: RoundTrip<ov::wlan::protocol::SetInterfaceRequest>(payload); break;
    case 5: RoundTrip<ov::wlan::protocol::ScanRequest>(payload); break;
    case 6: RoundTrip<ov::wlan::protocol::GetNetworkBssListRequest>(payload); break;
    case 7: RoundTrip<ov::wlan::protocol::GetAvailableNetworkListRequest>(payload); break;
    case 8: RoundTrip<ov::wlan::protocol::ConnectRequest>(payload); break;
    case 9: RoundTrip<ov::wlan::protocol::DisconnectRequest>(payload); break;
    case 10: RoundTrip<ov::wlan::protocol::SetProfileRequest>(payload); break;
    case 11: RoundTrip<ov::wlan::protocol::GetProfileRequest>(payload); break;
    case 12: RoundTrip<ov::wlan::protocol::DeleteProfileRequest>(payload); break;
    case 13: RoundTrip<ov::wlan::protocol::GetProfileListRequest>(payload); break;
    case 14: RoundTrip<ov::wlan::protocol::SetProfileEapUserDataRequest>(payload); break;
    case 15: RoundTrip<ov::wlan::protocol::SetProfileEapXmlUserDataRequest>(payload); break;
    case 16: RoundTrip<ov::wlan::protocol::IhvControlRequest>(payload); break;
    case 17: RoundTrip<ov::wlan::protocol::SetSecuritySettingsRequest>(payload); break;
    case 18: RoundTrip<ov::wlan::protocol::GetSecuritySettingsRequest>(payload); break;
    case 19: RoundTrip<ov::wlan::protocol::RegisterNotificationRequest>(payload); break;
    case 20: RoundTrip<ov::wlan::protocol::StatusResponse>(payload); break;
    case 21: RoundTrip<ov::wlan::protocol::OpenHandleResponse>(payload); break;
    case 22: RoundTrip<ov::wlan::protocol::EnumInterfacesResponse>(payload); break;
    case 23: RoundTrip<ov::wlan::protocol::QueryInterfaceResponse>(payload); break;
    case 24: RoundTrip<ov::wlan::protocol::BssListResponse>(payload); break;
    case 25: RoundTrip<ov::wlan::protocol::AvailableNetworkListResponse>(payload); break;
    case 26: RoundTrip<ov::wlan::protocol::SetProfileResponse>(payload); break;
    case 27: RoundTrip<ov::wlan::protocol::GetProfileResponse>(payload); break;
    case 28: RoundTrip<ov::wlan::protocol::ProfileListResponse>(payload); break;
    case 29: RoundTrip<ov::wlan::protocol::IhvControlResponse>(payload); break;
    case 30: RoundTrip<ov::wlan::protocol::SecuritySettingsResponse>(payload); break;
    case 31: RoundTrip<ov::wlan::protocol::RegisterNotificationResponse>(payload); break;
    default: RoundTrip<ov::wlan::protocol::NotificationMessage>(payload); break;
  }
  ov::wlan::protocol::FrameHeader header;
  if (size >= 12) (void)ov::wlan::protocol::DecodeFrameHeader(std::span<const uint8_t>(data, 12), &header);
  return 0;
}
