#pragma once
#include <cstdint>

// NetworkManager's D-Bus numbers this backend reads (as its D-Bus types reference gives them).
namespace ov::wlan::nm {

constexpr uint32_t kDeviceTypeWifi = 2;

// NM80211ApFlags and NM80211ApSecurityFlags.
constexpr uint32_t kApFlagsPrivacy = 0x1;
constexpr uint32_t kSecPairWep40 = 0x1;
constexpr uint32_t kSecPairWep104 = 0x2;
constexpr uint32_t kSecPairTkip = 0x4;
constexpr uint32_t kSecPairCcmp = 0x8;
constexpr uint32_t kSecGroupWep40 = 0x10;
constexpr uint32_t kSecGroupWep104 = 0x20;
constexpr uint32_t kSecGroupTkip = 0x40;
constexpr uint32_t kSecGroupCcmp = 0x80;
constexpr uint32_t kSecKeyMgmtPsk = 0x100;
constexpr uint32_t kSecKeyMgmt8021x = 0x200;
constexpr uint32_t kSecKeyMgmtSae = 0x400;
constexpr uint32_t kSecKeyMgmtOwe = 0x800;

// NM80211Mode.
constexpr uint32_t kModeAdhoc = 1;
constexpr uint32_t kModeInfra = 2;

// NMDeviceState.
constexpr uint32_t kDeviceStateUnavailable = 20;
constexpr uint32_t kDeviceStateDisconnected = 30;
constexpr uint32_t kDeviceStatePrepare = 40;
constexpr uint32_t kDeviceStateConfig = 50;
constexpr uint32_t kDeviceStateNeedAuth = 60;
constexpr uint32_t kDeviceStateIpConfig = 70;
constexpr uint32_t kDeviceStateActivated = 100;
constexpr uint32_t kDeviceStateDeactivating = 110;
constexpr uint32_t kDeviceStateFailed = 120;

// NMDeviceStateReason (those mapped to a reason of their own).
constexpr uint32_t kReasonNoSecrets = 7;
constexpr uint32_t kReasonSupplicantDisconnect = 8;
constexpr uint32_t kReasonSupplicantTimeout = 11;
constexpr uint32_t kReasonUserRequested = 39;
constexpr uint32_t kReasonSsidNotFound = 53;

}  // namespace ov::wlan::nm
