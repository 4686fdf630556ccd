#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "driver/ndis_types.h"
#include "driver/oid/ndis_records.h"
#include "platform/system/error_codes.h"
#include "platform/system/mac_address.h"

// The wireless service's vocabulary without any platform type: the records, codes and error
// numbers of the host's native wireless API, with the host's numbers so that callers written
// against the host compare the same values. Text is UTF-8 here; the host's UTF-16 exists only at
// its own boundary.
namespace ov::wlan {

// ---- Error numbers the operations return (the host's) ----
using ov::ERROR_ACCESS_DENIED;        // 5: the caller may not do this
using ov::ERROR_INVALID_HANDLE;       // 6: no such client handle
using ov::ERROR_INVALID_PARAMETER;    // 87: a malformed argument
using ov::ERROR_NOT_ENOUGH_MEMORY;    // 8
using ov::ERROR_SUCCESS;              // 0
constexpr uint32_t ERROR_INVALID_DATA = 13;            // a message that does not decode
constexpr uint32_t ERROR_NOT_SUPPORTED = 50;           // an opcode or type the service lacks
constexpr uint32_t ERROR_ALREADY_EXISTS = 183;         // set profile without overwrite
constexpr uint32_t ERROR_SERVICE_NOT_ACTIVE = 1062;    // the service is not running
constexpr uint32_t ERROR_NOT_FOUND = 1168;             // no such interface or profile
constexpr uint32_t ERROR_NO_MATCH = 1169;              // no network matches the request
constexpr uint32_t ERROR_BAD_PROFILE = 1206;           // refused profile document; see the reason
constexpr uint32_t ERROR_INVALID_STATE = 5023;         // not possible in the interface's state
constexpr uint32_t ERROR_NDIS_DOT11_POWER_STATE_INVALID = 0x80342002;  // radio is off

// ---- Reason codes (connection results and profile refusals) ----
constexpr uint32_t WLAN_REASON_CODE_SUCCESS = 0;
constexpr uint32_t WLAN_REASON_CODE_UNKNOWN = 0x10001;  // e.g. the service went away mid-attempt
// Auto-configuration.
constexpr uint32_t WLAN_REASON_CODE_NETWORK_NOT_COMPATIBLE = 0x20001;
constexpr uint32_t WLAN_REASON_CODE_PROFILE_NOT_COMPATIBLE = 0x20002;
constexpr uint32_t WLAN_REASON_CODE_KEY_MISMATCH = 0x2800D;
constexpr uint32_t WLAN_REASON_CODE_NETWORK_NOT_AVAILABLE = 0x2800B;
constexpr uint32_t WLAN_REASON_CODE_PROFILE_CHANGED_OR_DELETED = 0x2800C;
// Media-specific module.
constexpr uint32_t WLAN_REASON_CODE_UNSUPPORTED_SECURITY_SET = 0x30002;
constexpr uint32_t WLAN_REASON_CODE_BSS_TYPE_UNMATCH = 0x30003;
constexpr uint32_t WLAN_REASON_CODE_USER_CANCELLED = 0x38001;
constexpr uint32_t WLAN_REASON_CODE_ASSOCIATION_FAILURE = 0x38002;
constexpr uint32_t WLAN_REASON_CODE_DRIVER_DISCONNECTED = 0x3800B;
// Security module: profile checks and the key handshake.
constexpr uint32_t WLAN_REASON_CODE_MSMSEC_PROFILE_INVALID_KEY_INDEX = 0x40001;
constexpr uint32_t WLAN_REASON_CODE_MSMSEC_PROFILE_PSK_PRESENT = 0x40002;
constexpr uint32_t WLAN_REASON_CODE_MSMSEC_PROFILE_KEY_LENGTH = 0x40003;
constexpr uint32_t WLAN_REASON_CODE_MSMSEC_PROFILE_PSK_LENGTH = 0x40004;
constexpr uint32_t WLAN_REASON_CODE_MSMSEC_PROFILE_INVALID_AUTH_CIPHER = 0x40009;
constexpr uint32_t WLAN_REASON_CODE_MSMSEC_PROFILE_ONEX_DISABLED = 0x4000A;
constexpr uint32_t WLAN_REASON_CODE_MSMSEC_PROFILE_ONEX_ENABLED = 0x4000B;
constexpr uint32_t WLAN_REASON_CODE_MSMSEC_PROFILE_PASSPHRASE_CHAR = 0x40016;
constexpr uint32_t WLAN_REASON_CODE_MSMSEC_PROFILE_KEYMATERIAL_CHAR = 0x40017;
constexpr uint32_t WLAN_REASON_CODE_MSMSEC_PROFILE_WRONG_KEYTYPE = 0x40018;
constexpr uint32_t WLAN_REASON_CODE_MSMSEC_PSK_MISMATCH_SUSPECTED = 0x48014;
// 802.1X.
constexpr uint32_t ONEX_REASON_CODE_IDENTITY_NOT_FOUND = 0x50002;
constexpr uint32_t ONEX_REASON_CODE_EAP_FAILURE_RECEIVED = 0x50005;
constexpr uint32_t ONEX_REASON_CODE_PROFILE_DISALLOWED_EAP_TYPE = 0x5000A;
// Profile documents.
constexpr uint32_t WLAN_REASON_CODE_INVALID_PROFILE_SCHEMA = 0x80001;
constexpr uint32_t WLAN_REASON_CODE_INVALID_PROFILE_NAME = 0x80003;
constexpr uint32_t WLAN_REASON_CODE_MSM_SECURITY_MISSING = 0x80006;
constexpr uint32_t WLAN_REASON_CODE_IHV_OUI_MISMATCH = 0x80008;
constexpr uint32_t WLAN_REASON_CODE_IHV_OUI_MISSING = 0x80009;
constexpr uint32_t WLAN_REASON_CODE_SECURITY_MISSING = 0x8000C;
constexpr uint32_t WLAN_REASON_CODE_INVALID_BSS_TYPE = 0x8000D;
constexpr uint32_t WLAN_REASON_CODE_INVALID_ADHOC_CONNECTION_MODE = 0x8000E;
constexpr uint32_t WLAN_REASON_CODE_NON_BROADCAST_SET_FOR_ADHOC = 0x8000F;
constexpr uint32_t WLAN_REASON_CODE_AUTO_SWITCH_SET_FOR_ADHOC = 0x80010;
constexpr uint32_t WLAN_REASON_CODE_AUTO_SWITCH_SET_FOR_MANUAL_CONNECTION = 0x80011;
constexpr uint32_t WLAN_REASON_CODE_PROFILE_SSID_INVALID = 0x80013;

// A short English text for a reason code, as the host's reason-to-string call gives; unknown
// codes give "Unknown reason code 0x...".
std::string ReasonCodeText(uint32_t reasonCode);

// ---- Identifiers ----
using Guid = std::array<uint8_t, 16>;  // in the host's memory order (Data1..3 little-endian)
using ClientHandle = uint32_t;  // 0 is never a valid handle

// "{8-4-4-4-12}" upper case, as the registry writes NetCfgInstanceId.
std::string FormatGuid(const Guid& guid);
std::optional<Guid> ParseGuid(std::string_view text);

constexpr size_t kMaxSsidLength = 32;
constexpr size_t kMaxNameLength = 255;     // profile names, descriptions
constexpr size_t kMaxProfileXml = 256 * 1024;
constexpr uint32_t kClientVersion2 = 2;

// ---- Enumerations (the host's values) ----
enum InterfaceState : uint32_t {
  wlan_interface_state_not_ready = 0,
  wlan_interface_state_connected = 1,
  wlan_interface_state_ad_hoc_network_formed = 2,
  wlan_interface_state_disconnecting = 3,
  wlan_interface_state_disconnected = 4,
  wlan_interface_state_associating = 5,
  wlan_interface_state_discovering = 6,
  wlan_interface_state_authenticating = 7,
};

enum BssType : uint32_t {
  dot11_BSS_type_infrastructure = 1,
  dot11_BSS_type_independent = 2,
  dot11_BSS_type_any = 3,
};

// PHY types are the driver model's DOT11_PHY_TYPE (IHV types from 0x80000000).
using PhyType = ov::DOT11_PHY_TYPE;

enum ConnectionMode : uint32_t {
  wlan_connection_mode_profile = 0,
  wlan_connection_mode_temporary_profile = 1,
  wlan_connection_mode_discovery_secure = 2,
  wlan_connection_mode_discovery_unsecure = 3,
  wlan_connection_mode_auto = 4,
};

// The authentication and cipher algorithms are the driver model's DOT11 enumerations; the
// host reserves the values from 0x80000000 for IHV algorithms.
using AuthAlgorithm = ov::Dot11AuthAlgorithm;
using CipherAlgorithm = ov::Dot11CipherAlgorithm;
constexpr AuthAlgorithm DOT11_AUTH_ALGO_IHV_START = static_cast<AuthAlgorithm>(0x80000000u);
constexpr CipherAlgorithm DOT11_CIPHER_ALGO_IHV_START = static_cast<CipherAlgorithm>(0x80000000u);

enum RadioState : uint32_t {
  dot11_radio_state_unknown = 0,
  dot11_radio_state_on = 1,
  dot11_radio_state_off = 2,
};

// Operations of query/set interface.
enum InterfaceOpcode : uint32_t {
  wlan_intf_opcode_radio_state = 4,
  wlan_intf_opcode_bss_type = 5,
  wlan_intf_opcode_interface_state = 6,
  wlan_intf_opcode_current_connection = 7,
  wlan_intf_opcode_channel_number = 8,
  wlan_intf_opcode_supported_infrastructure_auth_cipher_pairs = 9,
  wlan_intf_opcode_supported_adhoc_auth_cipher_pairs = 10,
  wlan_intf_opcode_rssi = 0x10000102,
};

// Profile flags (set and get profile, profile list).
constexpr uint32_t WLAN_PROFILE_GROUP_POLICY = 0x1;
constexpr uint32_t WLAN_PROFILE_USER = 0x2;
constexpr uint32_t WLAN_PROFILE_GET_PLAINTEXT_KEY = 0x4;

// Connect flags.
constexpr uint32_t WLAN_CONNECTION_HIDDEN_NETWORK = 0x1;
constexpr uint32_t WLAN_CONNECTION_ADHOC_JOIN_ONLY = 0x2;

// Available-network flags (entry) and list filters (request).
constexpr uint32_t WLAN_AVAILABLE_NETWORK_CONNECTED = 0x1;
constexpr uint32_t WLAN_AVAILABLE_NETWORK_HAS_PROFILE = 0x2;
constexpr uint32_t WLAN_AVAILABLE_NETWORK_INCLUDE_ALL_ADHOC_PROFILES = 0x1;
constexpr uint32_t WLAN_AVAILABLE_NETWORK_INCLUDE_ALL_MANUAL_HIDDEN_PROFILES = 0x2;

// IHV control types.
enum IhvControlType : uint32_t {
  wlan_ihv_control_type_service = 0,
  wlan_ihv_control_type_driver = 1,
};

// Securable objects of set/get security settings (the host numbers 0..16).
enum SecurableObject : uint32_t {
  wlan_secure_permit_list = 0,
  wlan_secure_ihv_control = 7,
  wlan_secure_add_new_all_user_profiles = 9,
  wlan_secure_object_count = 17,
};
enum SecurityValueType : uint32_t {
  wlan_opcode_value_type_query_only = 0,
  wlan_opcode_value_type_set_by_group_policy = 1,
  wlan_opcode_value_type_set_by_user = 2,
  wlan_opcode_value_type_invalid = 3,
};

// ---- Notifications ----
constexpr uint32_t WLAN_NOTIFICATION_SOURCE_NONE = 0x00;
constexpr uint32_t WLAN_NOTIFICATION_SOURCE_ONEX = 0x04;
constexpr uint32_t WLAN_NOTIFICATION_SOURCE_ACM = 0x08;
constexpr uint32_t WLAN_NOTIFICATION_SOURCE_MSM = 0x10;
constexpr uint32_t WLAN_NOTIFICATION_SOURCE_SECURITY = 0x20;
constexpr uint32_t WLAN_NOTIFICATION_SOURCE_IHV = 0x40;
constexpr uint32_t WLAN_NOTIFICATION_SOURCE_ALL = 0xFFFF;

enum AcmNotification : uint32_t {
  wlan_notification_acm_scan_complete = 7,
  wlan_notification_acm_scan_fail = 8,
  wlan_notification_acm_connection_start = 9,
  wlan_notification_acm_connection_complete = 10,
  wlan_notification_acm_connection_attempt_fail = 11,
  wlan_notification_acm_interface_arrival = 13,
  wlan_notification_acm_interface_removal = 14,
  wlan_notification_acm_profile_change = 15,
  wlan_notification_acm_disconnecting = 20,
  wlan_notification_acm_disconnected = 21,
};

enum MsmNotification : uint32_t {
  wlan_notification_msm_associating = 1,
  wlan_notification_msm_associated = 2,
  wlan_notification_msm_connected = 4,
  wlan_notification_msm_roaming_end = 6,
  wlan_notification_msm_radio_state_change = 7,
  wlan_notification_msm_signal_quality_change = 8,
  wlan_notification_msm_disconnected = 10,
};

// ---- Records ----
struct Ssid {
  std::vector<uint8_t> bytes;  // 0..32 octets, not text
  bool operator==(const Ssid&) const = default;
  static Ssid FromText(std::string_view text) { return Ssid{{text.begin(), text.end()}}; }
  std::string text() const { return std::string(bytes.begin(), bytes.end()); }
};

struct InterfaceInfo {
  Guid guid{};
  std::string description;  // the adapter's friendly name
  InterfaceState state = wlan_interface_state_not_ready;
  bool operator==(const InterfaceInfo&) const = default;
};

struct AssociationAttributes {
  Ssid ssid;
  BssType bssType = dot11_BSS_type_infrastructure;
  MacAddress bssid{};
  PhyType phyType = dot11_phy_type_unknown;
  uint32_t phyIndex = 0;
  uint32_t signalQuality = 0;  // 0..100
  uint32_t rxRateKbps = 0;
  uint32_t txRateKbps = 0;
  bool operator==(const AssociationAttributes&) const = default;
};

struct SecurityAttributes {
  bool securityEnabled = false;
  bool oneXEnabled = false;
  AuthAlgorithm authAlgorithm = DOT11_AUTH_ALGO_80211_OPEN;
  CipherAlgorithm cipherAlgorithm = DOT11_CIPHER_ALGO_NONE;
  bool operator==(const SecurityAttributes&) const = default;
};

struct ConnectionAttributes {
  InterfaceState state = wlan_interface_state_disconnected;
  ConnectionMode mode = wlan_connection_mode_profile;
  std::string profileName;
  AssociationAttributes association;
  SecurityAttributes security;
  bool operator==(const ConnectionAttributes&) const = default;
};

struct PhyRadioState {
  uint32_t phyIndex = 0;
  RadioState software = dot11_radio_state_unknown;
  RadioState hardware = dot11_radio_state_unknown;
  bool operator==(const PhyRadioState&) const = default;
};

struct AuthCipherPair {
  AuthAlgorithm auth = DOT11_AUTH_ALGO_80211_OPEN;
  CipherAlgorithm cipher = DOT11_CIPHER_ALGO_NONE;
  bool operator==(const AuthCipherPair&) const = default;
};

// The answer of query interface; only the part of the asked opcode is filled.
struct InterfaceQueryResult {
  InterfaceOpcode opcode = wlan_intf_opcode_interface_state;
  InterfaceState state = wlan_interface_state_not_ready;  // interface_state
  BssType bssType = dot11_BSS_type_any;                   // bss_type
  ConnectionAttributes connection;                        // current_connection
  std::vector<PhyRadioState> radio;                       // radio_state, one per PHY
  uint32_t channel = 0;                                   // channel_number
  std::vector<AuthCipherPair> pairs;                      // supported_*_auth_cipher_pairs
  int32_t rssi = 0;                                       // rssi, dBm
  bool operator==(const InterfaceQueryResult&) const = default;
};

struct BssEntry {
  Ssid ssid;
  uint32_t phyId = 0;
  MacAddress bssid{};
  BssType bssType = dot11_BSS_type_infrastructure;
  PhyType phyType = dot11_phy_type_unknown;
  int32_t rssi = 0;           // dBm
  uint32_t linkQuality = 0;   // 0..100
  bool inRegDomain = true;
  uint16_t beaconPeriod = 100;
  uint64_t timestamp = 0;      // the BSS's own timer (TSF), microseconds
  uint64_t hostTimestamp = 0;  // when received: 100 ns units since 1601-01-01, as the host counts
  uint16_t capabilityInformation = 0;
  uint32_t centerFrequencyKHz = 0;
  std::vector<uint16_t> rates;  // 500 kbit/s units, bit 15 marks a basic rate
  std::vector<uint8_t> informationElements;
  bool operator==(const BssEntry&) const = default;
};
constexpr uint16_t kBasicRateFlag = 0x8000;
constexpr size_t kMaxRates = 126;
constexpr size_t kMaxInformationElements = 2312;  // the largest frame body

struct AvailableNetwork {
  std::string profileName;  // empty for a network without a profile
  Ssid ssid;
  BssType bssType = dot11_BSS_type_infrastructure;
  uint32_t numberOfBssids = 0;
  bool connectable = true;
  uint32_t notConnectableReason = 0;
  std::vector<PhyType> phyTypes;
  uint32_t signalQuality = 0;
  bool securityEnabled = false;
  AuthAlgorithm defaultAuth = DOT11_AUTH_ALGO_80211_OPEN;
  CipherAlgorithm defaultCipher = DOT11_CIPHER_ALGO_NONE;
  uint32_t flags = 0;  // WLAN_AVAILABLE_NETWORK_CONNECTED, _HAS_PROFILE
  bool operator==(const AvailableNetwork&) const = default;
};

struct ProfileInfo {
  std::string name;
  uint32_t flags = 0;
  bool operator==(const ProfileInfo&) const = default;
};

struct ConnectionParameters {
  ConnectionMode mode = wlan_connection_mode_profile;
  std::string profile;  // a profile name (mode profile) or a profile document (temporary)
  std::optional<Ssid> ssid;
  std::vector<MacAddress> desiredBssids;
  BssType bssType = dot11_BSS_type_infrastructure;
  uint32_t flags = 0;
  bool operator==(const ConnectionParameters&) const = default;
};

// What connection notifications carry (start, complete, attempt fail, disconnected).
struct ConnectionNotificationData {
  ConnectionMode mode = wlan_connection_mode_profile;
  std::string profileName;
  Ssid ssid;
  BssType bssType = dot11_BSS_type_infrastructure;
  bool securityEnabled = false;
  uint32_t reasonCode = WLAN_REASON_CODE_SUCCESS;
  uint32_t flags = 0;
  std::string profileXml;
  bool operator==(const ConnectionNotificationData&) const = default;
};

// One notification as a callback receives it. `connection` for the ACM connection codes,
// `radio` for the MSM radio-state change, `reasonCode` for scan fail, `data` for IHV
// notifications (the extension's blob) and anything else.
struct Notification {
  uint32_t source = WLAN_NOTIFICATION_SOURCE_NONE;
  uint32_t code = 0;
  Guid interfaceGuid{};
  std::optional<ConnectionNotificationData> connection;
  std::optional<PhyRadioState> radio;
  std::optional<uint32_t> reasonCode;
  std::vector<uint8_t> data;
  bool operator==(const Notification&) const = default;
};

// EAP method of the binary user data call.
struct EapMethodType {
  uint8_t type = 0;
  uint32_t vendorId = 0;
  uint32_t vendorType = 0;
  uint32_t authorId = 0;
  bool operator==(const EapMethodType&) const = default;
};

struct SecuritySettings {
  SecurityValueType valueType = wlan_opcode_value_type_set_by_user;
  std::string sddl;
  uint32_t grantedAccess = 0;
  bool operator==(const SecuritySettings&) const = default;
};

// The IHV request the utility sends to the extension of this adapter's driver: organisation
// identifier 00-40-96, 0x01, a request code, and for code 0 a profile name (UTF-16LE, NUL-ended).
constexpr size_t kIhvRequestSize = 264;
constexpr uint32_t kIhvRequestDiagnose = 0;     // run the diagnostic test with the named profile
constexpr uint32_t kIhvRequestNormalMode = 1;   // leave diagnostic mode (CCX back to normal)
// IHV notification event codes (first u32 of the notification data).
constexpr uint32_t kIhvEventDiagChannelConnected = 0x80000000;
constexpr uint32_t kIhvEventDiagChannelFailed = 0x80000001;
constexpr uint32_t kIhvEventTestNotRun = 0x80000003;
constexpr uint32_t kIhvEventExitedDiagMode = 0x80000004;

}  // namespace ov::wlan
