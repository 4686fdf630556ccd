#include "nativewifi/notification_dispatch.h"

#include "platform/time/monitor_messages.h"

namespace ov {

namespace {

using namespace wlan;

// The extension's diagnostic progress events, shown by the diagnostic page with their text.
constexpr uint32_t kFirstDiagServEvent = 1;
constexpr uint32_t kLastDiagServEvent = 33;
constexpr uint32_t kFirstTestEvent = 0x80000005;
constexpr uint32_t kLastTestEvent = 0x80000010;

Message Post(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) {
  return Message{message, wParam, lParam};
}

NotificationReaction Posting(Message message) { return NotificationReaction{false, message}; }

NotificationReaction AcmReaction(const Notification& n) {
  const ConnectionNotificationData* c = n.connection ? &*n.connection : nullptr;
  switch (n.code) {
    case wlan_notification_acm_scan_complete:
      return NotificationReaction{true, std::nullopt};
    case wlan_notification_acm_scan_fail:
      return Posting(Post(WM_MON_SCAN_FAILED));
    case wlan_notification_acm_connection_start:
      if (c && c->mode == wlan_connection_mode_profile) return Posting(Post(WM_MON_CONNECTING));
      return {};
    case wlan_notification_acm_connection_complete:
      if (!c) return {};
      if (c->reasonCode == WLAN_REASON_CODE_SUCCESS) {
        return Posting(Post(WM_MON_CONNECT_DONE, c->mode == wlan_connection_mode_profile ? 1 : 0));
      }
      // A network of our own that did not form is tried again by the monitor.
      if (c->bssType == dot11_BSS_type_independent && c->mode == wlan_connection_mode_profile) {
        return Posting(Post(WM_MON_CONNECT_FAILED, 1));
      }
      return {};
    case wlan_notification_acm_connection_attempt_fail:
      return Posting(Post(WM_MON_ATTEMPT_FAILED));
    case wlan_notification_acm_profile_change:
      return Posting(Post(WM_MON_PROFILE_CHANGED));
    case wlan_notification_acm_disconnected:
      return Posting(Post(WM_MON_DISCONNECTED));
    default:
      return {};
  }
}

NotificationReaction MsmReaction(const Notification& n) {
  switch (n.code) {
    case wlan_notification_msm_roaming_end:
      return Posting(Post(WM_MON_ROAMED));
    case wlan_notification_msm_radio_state_change:
      if (!n.radio) return {};
      if (n.radio->software == dot11_radio_state_on) return Posting(Post(WM_MON_RADIO_ON));
      if (n.radio->software == dot11_radio_state_off) return Posting(Post(WM_MON_RADIO_OFF));
      return {};
    default:
      return {};
  }
}

}  // namespace

std::optional<Message> IhvEventMessage(uint32_t code) {
  if ((code >= kFirstDiagServEvent && code <= kLastDiagServEvent) ||
      (code >= kFirstTestEvent && code <= kLastTestEvent)) {
    return Post(WM_MON_IHV_DIAG_EVENT, code);
  }
  switch (code) {
    case kIhvEventDiagChannelConnected: return Post(WM_MON_IHV_CHANNEL, 0, 1);
    case kIhvEventDiagChannelFailed: return Post(WM_MON_IHV_CHANNEL, 0, 0);
    case kIhvEventTestNotRun: return Post(WM_MON_IHV_TEST_FAILED);
    case kIhvEventExitedDiagMode: return Post(WM_MON_IHV_TEST_FINISHED);
    default: return std::nullopt;
  }
}

NotificationReaction ReactToNotification(const Notification& n, const Guid& interfaceGuid) {
  switch (n.source) {
    case WLAN_NOTIFICATION_SOURCE_ACM:
      if (n.code == wlan_notification_acm_interface_arrival) {
        return Posting(Post(WM_MON_IFACE_ARRIVED));
      }
      if (n.interfaceGuid != interfaceGuid) return {};
      return AcmReaction(n);
    case WLAN_NOTIFICATION_SOURCE_MSM:
      if (n.interfaceGuid != interfaceGuid) return {};
      return MsmReaction(n);
    case WLAN_NOTIFICATION_SOURCE_IHV: {
      if (n.data.size() < 4) return {};
      const uint32_t code = n.data[0] | n.data[1] << 8 | n.data[2] << 16 |
                            static_cast<uint32_t>(n.data[3]) << 24;
      if (auto message = IhvEventMessage(code)) return Posting(*message);
      return {};
    }
    default:
      return {};
  }
}

}  // namespace ov
