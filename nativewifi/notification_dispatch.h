#pragma once
#include <cstdint>
#include <optional>

#include "nativewifi/wlansvc/wlan_types.h"
#include "platform/time/message_service.h"

// What the wireless client does with one notification of the service: the monitor's message to
// post, or the scan worker to start. Plain data in, plain data out; the client's callback carries
// it out on the service's thread.
namespace ov {

// The sources the client registers for: ACM, MSM and the IHV extension (0x58).
constexpr uint32_t kClientNotificationSources = wlan::WLAN_NOTIFICATION_SOURCE_ACM |
                                                wlan::WLAN_NOTIFICATION_SOURCE_MSM |
                                                wlan::WLAN_NOTIFICATION_SOURCE_IHV;

struct NotificationReaction {
  bool startScanWorker = false;
  std::optional<Message> post;
  friend bool operator==(const NotificationReaction&, const NotificationReaction&) = default;
};

// ACM and MSM notifications count only for `interfaceGuid` (interface arrival for any
// interface); IHV notifications are the extension's events, whose code is the first u32 of the
// data (little-endian; shorter data is no event).
NotificationReaction ReactToNotification(const wlan::Notification& notification,
                                         const wlan::Guid& interfaceGuid);

// The message of an IHV event code, if it has one.
std::optional<Message> IhvEventMessage(uint32_t eventCode);

}  // namespace ov
