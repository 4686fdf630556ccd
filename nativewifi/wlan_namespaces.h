#pragma once

// The published namespace URIs of the WLAN profile documents and their EAP parts.
namespace ov::wlan_ns {

inline constexpr const char* kWlan = "http://www.microsoft.com/networking/WLAN/profile/v1";
inline constexpr const char* kOneX = "http://www.microsoft.com/networking/OneX/v1";
inline constexpr const char* kEapHostConfig = "http://www.microsoft.com/provisioning/EapHostConfig";
inline constexpr const char* kEapCommon = "http://www.microsoft.com/provisioning/EapCommon";
inline constexpr const char* kBaseEapConnection =
    "http://www.microsoft.com/provisioning/BaseEapConnectionPropertiesV1";
inline constexpr const char* kPeapConnection =
    "http://www.microsoft.com/provisioning/MsPeapConnectionPropertiesV1";
inline constexpr const char* kMsChapV2Connection =
    "http://www.microsoft.com/provisioning/MsChapV2ConnectionPropertiesV1";
inline constexpr const char* kMsChapV3Connection =
    "http://www.microsoft.com/provisioning/MsChapV3ConnectionPropertiesV1";
inline constexpr const char* kTlsConnection =
    "http://www.microsoft.com/provisioning/EapTlsConnectionPropertiesV1";
inline constexpr const char* kBaseEapMethodConfig =
    "http://www.microsoft.com/provisioning/BaseEapMethodConfig";
inline constexpr const char* kEapHostUserCredentials =
    "http://www.microsoft.com/provisioning/EapHostUserCredentials";
inline constexpr const char* kBaseEapMethodUserCredentials =
    "http://www.microsoft.com/provisioning/BaseEapMethodUserCredentials";
inline constexpr const char* kEapUserProperties =
    "http://www.microsoft.com/provisioning/EapUserPropertiesV1";
inline constexpr const char* kBaseEapUserProperties =
    "http://www.microsoft.com/provisioning/BaseEapUserPropertiesV1";
inline constexpr const char* kPeapUserProperties =
    "http://www.microsoft.com/provisioning/MsPeapUserPropertiesV1";
inline constexpr const char* kMsChapV2UserProperties =
    "http://www.microsoft.com/provisioning/MsChapV2UserPropertiesV1";
inline constexpr const char* kTlsUserProperties =
    "http://www.microsoft.com/provisioning/EapTlsUserPropertiesV1";
inline constexpr const char* kXsi = "http://www.w3.org/2001/XMLSchema-instance";
inline constexpr const char* kCcx = "http://www.cisco.com/CCX";
inline constexpr const char* kWapi = "http://www.iwncomm.com/wlan/profile";

}  // namespace ov::wlan_ns
