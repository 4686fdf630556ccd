#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "nativewifi/wlansvc/wlan_types.h"

// The wire protocol between the wireless service's socket client and the service
// (<root>/run/ovui/wlansvc, a UNIX stream socket).
//
// Every message is a frame: u32 length of what follows (at least 8, at most kMaxFrameBody),
// u32 message type, u32 request id, then the payload. All integers little-endian. The client
// numbers its requests (never 0); the service answers each with a frame of the request's type
// with kResponseBit set and the same id, and sends notifications unasked (type kNotification,
// id 0). Payload fields:
//   integers    u8/u16/u32/i32/u64 as named
//   bool        u8, 0 or 1 (anything else is malformed)
//   string      u32 byte count, UTF-8 bytes (each field has its own maximum)
//   bytes       u32 count, bytes (each field has its own maximum)
//   list        u32 count, the items (the count is checked against the bytes left first)
//   optional    bool present, then the value when present
//   guid, mac   16 and 6 raw bytes
// A response payload starts with the u32 status; its other fields follow only when the status
// is ERROR_SUCCESS (the set-profile response always carries its reason code).
//
// Decoding never trusts a length: a payload that is short, long, or holds an out-of-range
// field is refused as a whole, and the receiver drops the connection.
namespace ov::wlan::protocol {

constexpr uint32_t kFrameHeaderSize = 12;
constexpr uint32_t kMaxFrameBody = 4 * 1024 * 1024;
constexpr uint32_t kResponseBit = 0x8000;

enum MessageType : uint32_t {
  kOpenHandle = 1,
  kCloseHandle = 2,
  kEnumInterfaces = 3,
  kQueryInterface = 4,
  kSetInterface = 5,
  kScan = 6,
  kGetNetworkBssList = 7,
  kGetAvailableNetworkList = 8,
  kConnect = 9,
  kDisconnect = 10,
  kSetProfile = 11,
  kGetProfile = 12,
  kDeleteProfile = 13,
  kGetProfileList = 14,
  kSetProfileEapUserData = 15,
  kSetProfileEapXmlUserData = 16,
  kIhvControl = 17,
  kSetSecuritySettings = 18,
  kGetSecuritySettings = 19,
  kRegisterNotification = 20,
  kNotification = 0x4000,
};
bool IsRequestType(uint32_t type);

// ---- Requests ----
struct OpenHandleRequest {
  static constexpr MessageType kType = kOpenHandle;
  uint32_t clientVersion = kClientVersion2;
  bool operator==(const OpenHandleRequest&) const = default;
};
struct CloseHandleRequest {
  static constexpr MessageType kType = kCloseHandle;
  ClientHandle handle = 0;
  bool operator==(const CloseHandleRequest&) const = default;
};
struct EnumInterfacesRequest {
  static constexpr MessageType kType = kEnumInterfaces;
  ClientHandle handle = 0;
  bool operator==(const EnumInterfacesRequest&) const = default;
};
struct QueryInterfaceRequest {
  static constexpr MessageType kType = kQueryInterface;
  ClientHandle handle = 0;
  Guid guid{};
  InterfaceOpcode opcode = wlan_intf_opcode_interface_state;
  bool operator==(const QueryInterfaceRequest&) const = default;
};
struct SetInterfaceRequest {
  static constexpr MessageType kType = kSetInterface;
  ClientHandle handle = 0;
  Guid guid{};
  InterfaceOpcode opcode = wlan_intf_opcode_radio_state;
  PhyRadioState radio;
  bool operator==(const SetInterfaceRequest&) const = default;
};
struct ScanRequest {
  static constexpr MessageType kType = kScan;
  ClientHandle handle = 0;
  Guid guid{};
  std::optional<Ssid> ssid;
  std::vector<uint8_t> ieData;
  bool operator==(const ScanRequest&) const = default;
};
struct GetNetworkBssListRequest {
  static constexpr MessageType kType = kGetNetworkBssList;
  ClientHandle handle = 0;
  Guid guid{};
  std::optional<Ssid> ssid;
  BssType bssType = dot11_BSS_type_any;
  bool securityEnabled = false;
  bool operator==(const GetNetworkBssListRequest&) const = default;
};
struct GetAvailableNetworkListRequest {
  static constexpr MessageType kType = kGetAvailableNetworkList;
  ClientHandle handle = 0;
  Guid guid{};
  uint32_t flags = 0;
  bool operator==(const GetAvailableNetworkListRequest&) const = default;
};
struct ConnectRequest {
  static constexpr MessageType kType = kConnect;
  ClientHandle handle = 0;
  Guid guid{};
  ConnectionParameters parameters;
  bool operator==(const ConnectRequest&) const = default;
};
struct DisconnectRequest {
  static constexpr MessageType kType = kDisconnect;
  ClientHandle handle = 0;
  Guid guid{};
  bool operator==(const DisconnectRequest&) const = default;
};
struct SetProfileRequest {
  static constexpr MessageType kType = kSetProfile;
  ClientHandle handle = 0;
  Guid guid{};
  uint32_t flags = 0;
  std::string profileXml;
  bool overwrite = true;
  bool operator==(const SetProfileRequest&) const = default;
};
struct GetProfileRequest {
  static constexpr MessageType kType = kGetProfile;
  ClientHandle handle = 0;
  Guid guid{};
  std::string profileName;
  bool operator==(const GetProfileRequest&) const = default;
};
struct DeleteProfileRequest {
  static constexpr MessageType kType = kDeleteProfile;
  ClientHandle handle = 0;
  Guid guid{};
  std::string profileName;
  bool operator==(const DeleteProfileRequest&) const = default;
};
struct GetProfileListRequest {
  static constexpr MessageType kType = kGetProfileList;
  ClientHandle handle = 0;
  Guid guid{};
  bool operator==(const GetProfileListRequest&) const = default;
};
struct SetProfileEapUserDataRequest {
  static constexpr MessageType kType = kSetProfileEapUserData;
  ClientHandle handle = 0;
  Guid guid{};
  std::string profileName;
  EapMethodType eapType;
  uint32_t flags = 0;
  std::vector<uint8_t> userData;
  bool operator==(const SetProfileEapUserDataRequest&) const = default;
};
struct SetProfileEapXmlUserDataRequest {
  static constexpr MessageType kType = kSetProfileEapXmlUserData;
  ClientHandle handle = 0;
  Guid guid{};
  std::string profileName;
  uint32_t flags = 0;
  std::string userDataXml;
  bool operator==(const SetProfileEapXmlUserDataRequest&) const = default;
};
struct IhvControlRequest {
  static constexpr MessageType kType = kIhvControl;
  ClientHandle handle = 0;
  Guid guid{};
  IhvControlType type = wlan_ihv_control_type_service;
  std::vector<uint8_t> in;
  uint32_t outSize = 0;
  bool operator==(const IhvControlRequest&) const = default;
};
struct SetSecuritySettingsRequest {
  static constexpr MessageType kType = kSetSecuritySettings;
  ClientHandle handle = 0;
  SecurableObject object = wlan_secure_ihv_control;
  std::string sddl;
  bool operator==(const SetSecuritySettingsRequest&) const = default;
};
struct GetSecuritySettingsRequest {
  static constexpr MessageType kType = kGetSecuritySettings;
  ClientHandle handle = 0;
  SecurableObject object = wlan_secure_ihv_control;
  bool operator==(const GetSecuritySettingsRequest&) const = default;
};
struct RegisterNotificationRequest {
  static constexpr MessageType kType = kRegisterNotification;
  ClientHandle handle = 0;
  uint32_t sourceMask = 0;
  bool ignoreDuplicate = false;
  bool operator==(const RegisterNotificationRequest&) const = default;
};

// ---- Responses (framed with the request's type | kResponseBit) ----
struct StatusResponse {  // close, set interface, scan, connect, disconnect, delete, EAP data, set security
  uint32_t status = ERROR_SUCCESS;
  bool operator==(const StatusResponse&) const = default;
};
struct OpenHandleResponse {
  uint32_t status = ERROR_SUCCESS;
  uint32_t negotiatedVersion = 0;
  ClientHandle handle = 0;
  bool operator==(const OpenHandleResponse&) const = default;
};
struct EnumInterfacesResponse {
  uint32_t status = ERROR_SUCCESS;
  std::vector<InterfaceInfo> interfaces;
  bool operator==(const EnumInterfacesResponse&) const = default;
};
struct QueryInterfaceResponse {
  uint32_t status = ERROR_SUCCESS;
  InterfaceQueryResult result;
  bool operator==(const QueryInterfaceResponse&) const = default;
};
struct BssListResponse {
  uint32_t status = ERROR_SUCCESS;
  std::vector<BssEntry> entries;
  bool operator==(const BssListResponse&) const = default;
};
struct AvailableNetworkListResponse {
  uint32_t status = ERROR_SUCCESS;
  std::vector<AvailableNetwork> networks;
  bool operator==(const AvailableNetworkListResponse&) const = default;
};
struct SetProfileResponse {
  uint32_t status = ERROR_SUCCESS;
  uint32_t reasonCode = WLAN_REASON_CODE_SUCCESS;
  bool operator==(const SetProfileResponse&) const = default;
};
struct GetProfileResponse {
  uint32_t status = ERROR_SUCCESS;
  std::string profileXml;
  uint32_t flags = 0;
  bool operator==(const GetProfileResponse&) const = default;
};
struct ProfileListResponse {
  uint32_t status = ERROR_SUCCESS;
  std::vector<ProfileInfo> profiles;
  bool operator==(const ProfileListResponse&) const = default;
};
struct IhvControlResponse {
  uint32_t status = ERROR_SUCCESS;
  std::vector<uint8_t> out;
  bool operator==(const IhvControlResponse&) const = default;
};
struct SecuritySettingsResponse {
  uint32_t status = ERROR_SUCCESS;
  SecuritySettings settings;
  bool operator==(const SecuritySettingsResponse&) const = default;
};
struct RegisterNotificationResponse {
  uint32_t status = ERROR_SUCCESS;
  uint32_t previousMask = 0;
  bool operator==(const RegisterNotificationResponse&) const = default;
};

// ---- Notification (type kNotification, id 0) ----
struct NotificationMessage {
  static constexpr MessageType kType = kNotification;
  ClientHandle handle = 0;  // the registration it is for
  Notification notification;
  bool operator==(const NotificationMessage&) const = default;
};

// ---- Payload codecs: one pair per message ----
#define OV_WLAN_MESSAGE(M)                                      \
  std::vector<uint8_t> EncodePayload(const M& message);         \
  bool DecodePayload(std::span<const uint8_t> payload, M* message);
OV_WLAN_MESSAGE(OpenHandleRequest)
OV_WLAN_MESSAGE(CloseHandleRequest)
OV_WLAN_MESSAGE(EnumInterfacesRequest)
OV_WLAN_MESSAGE(QueryInterfaceRequest)
OV_WLAN_MESSAGE(SetInterfaceRequest)
OV_WLAN_MESSAGE(ScanRequest)
OV_WLAN_MESSAGE(GetNetworkBssListRequest)
OV_WLAN_MESSAGE(GetAvailableNetworkListRequest)
OV_WLAN_MESSAGE(ConnectRequest)
OV_WLAN_MESSAGE(DisconnectRequest)
OV_WLAN_MESSAGE(SetProfileRequest)
OV_WLAN_MESSAGE(GetProfileRequest)
OV_WLAN_MESSAGE(DeleteProfileRequest)
OV_WLAN_MESSAGE(GetProfileListRequest)
OV_WLAN_MESSAGE(SetProfileEapUserDataRequest)
OV_WLAN_MESSAGE(SetProfileEapXmlUserDataRequest)
OV_WLAN_MESSAGE(IhvControlRequest)
OV_WLAN_MESSAGE(SetSecuritySettingsRequest)
OV_WLAN_MESSAGE(GetSecuritySettingsRequest)
OV_WLAN_MESSAGE(RegisterNotificationRequest)
OV_WLAN_MESSAGE(StatusResponse)
OV_WLAN_MESSAGE(OpenHandleResponse)
OV_WLAN_MESSAGE(EnumInterfacesResponse)
OV_WLAN_MESSAGE(QueryInterfaceResponse)
OV_WLAN_MESSAGE(BssListResponse)
OV_WLAN_MESSAGE(AvailableNetworkListResponse)
OV_WLAN_MESSAGE(SetProfileResponse)
OV_WLAN_MESSAGE(GetProfileResponse)
OV_WLAN_MESSAGE(ProfileListResponse)
OV_WLAN_MESSAGE(IhvControlResponse)
OV_WLAN_MESSAGE(SecuritySettingsResponse)
OV_WLAN_MESSAGE(RegisterNotificationResponse)
OV_WLAN_MESSAGE(NotificationMessage)
#undef OV_WLAN_MESSAGE

// ---- Frames ----
struct FrameHeader {
  uint32_t bodyLength = 0;  // type + id + payload
  uint32_t type = 0;
  uint32_t id = 0;
};

std::vector<uint8_t> EncodeFrame(uint32_t type, uint32_t id, std::span<const uint8_t> payload);
// The 12 header bytes; false when the length is outside 8..kMaxFrameBody.
bool DecodeFrameHeader(std::span<const uint8_t> header, FrameHeader* frame);
inline uint32_t PayloadLength(const FrameHeader& header) { return header.bodyLength - 8; }

template <typename M>
std::vector<uint8_t> EncodeMessageFrame(const M& message, uint32_t id) {
  std::vector<uint8_t> payload = EncodePayload(message);
  return EncodeFrame(M::kType, id, payload);
}

}  // namespace ov::wlan::protocol
