// The notification dispatch table: every source and code the client reacts to, what it posts,
// and what it leaves alone.
#include <gtest/gtest.h>

#include "nativewifi/notification_dispatch.h"
#include "platform/time/monitor_messages.h"
#include "tests/nativewifi/fake_wlan_service.h"

namespace ov {
namespace {

using namespace ov::wlan;

const Guid kOurs = test::MakeGuid(1);
const Guid kOther = test::MakeGuid(2);

Notification Acm(uint32_t code, const Guid& guid = kOurs) {
  Notification n;
  n.source = WLAN_NOTIFICATION_SOURCE_ACM;
  n.code = code;
  n.interfaceGuid = guid;
  return n;
}

Notification Connection(uint32_t code, ConnectionMode mode, uint32_t reason,
                        BssType type = dot11_BSS_type_infrastructure, const Guid& guid = kOurs) {
  Notification n = Acm(code, guid);
  ConnectionNotificationData c;
  c.mode = mode;
  c.reasonCode = reason;
  c.bssType = type;
  n.connection = c;
  return n;
}

Notification Msm(uint32_t code, const Guid& guid = kOurs) {
  Notification n = Acm(code, guid);
  n.source = WLAN_NOTIFICATION_SOURCE_MSM;
  return n;
}

Notification Radio(RadioState software, const Guid& guid = kOurs) {
  Notification n = Msm(wlan_notification_msm_radio_state_change, guid);
  n.radio = PhyRadioState{0, software, dot11_radio_state_on};
  return n;
}

Notification Ihv(std::vector<uint8_t> data, const Guid& guid = kOurs) {
  Notification n;
  n.source = WLAN_NOTIFICATION_SOURCE_IHV;
  n.code = 0;
  n.interfaceGuid = guid;
  n.data = std::move(data);
  return n;
}

Notification IhvCode(uint32_t code) {
  return Ihv({static_cast<uint8_t>(code), static_cast<uint8_t>(code >> 8), static_cast<uint8_t>(code >> 16),
              static_cast<uint8_t>(code >> 24), 0xAA, 0xBB});
}

NotificationReaction Posts(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) {
  return NotificationReaction{false, Message{message, wParam, lParam}};
}
const NotificationReaction kNothing{};
const NotificationReaction kScanWorker{true, std::nullopt};

struct Row {
  const char* name;
  Notification notification;
  NotificationReaction reaction;
};

TEST(NotificationDispatch, EveryRowOfTheTable) {
  const Row rows[] = {
      // ACM
      {"scan complete starts the scan worker", Acm(wlan_notification_acm_scan_complete), kScanWorker},
      {"scan fail", Acm(wlan_notification_acm_scan_fail), Posts(WM_MON_SCAN_FAILED)},
      {"connection start from a profile",
       Connection(wlan_notification_acm_connection_start, wlan_connection_mode_profile, 0),
       Posts(WM_MON_CONNECTING)},
      {"connection start by discovery",
       Connection(wlan_notification_acm_connection_start, wlan_connection_mode_discovery_secure, 0), kNothing},
      {"connection start from a temporary profile",
       Connection(wlan_notification_acm_connection_start, wlan_connection_mode_temporary_profile, 0), kNothing},
      {"connected from a profile",
       Connection(wlan_notification_acm_connection_complete, wlan_connection_mode_profile, 0),
       Posts(WM_MON_CONNECT_DONE, 1)},
      {"connected by discovery",
       Connection(wlan_notification_acm_connection_complete, wlan_connection_mode_discovery_unsecure, 0),
       Posts(WM_MON_CONNECT_DONE, 0)},
      {"connected from a temporary profile",
       Connection(wlan_notification_acm_connection_complete, wlan_connection_mode_temporary_profile, 0),
       Posts(WM_MON_CONNECT_DONE, 0)},
      {"ad hoc profile that did not connect",
       Connection(wlan_notification_acm_connection_complete, wlan_connection_mode_profile,
                  WLAN_REASON_CODE_NETWORK_NOT_AVAILABLE, dot11_BSS_type_independent),
       Posts(WM_MON_CONNECT_FAILED, 1)},
      {"infrastructure profile that did not connect",
       Connection(wlan_notification_acm_connection_complete, wlan_connection_mode_profile,
                  WLAN_REASON_CODE_MSMSEC_PSK_MISMATCH_SUSPECTED),
       kNothing},
      {"ad hoc discovery that did not connect",
       Connection(wlan_notification_acm_connection_complete, wlan_connection_mode_discovery_secure,
                  WLAN_REASON_CODE_NETWORK_NOT_AVAILABLE, dot11_BSS_type_independent),
       kNothing},
      {"connection complete without its data", Acm(wlan_notification_acm_connection_complete), kNothing},
      {"attempt fail",
       Connection(wlan_notification_acm_connection_attempt_fail, wlan_connection_mode_profile,
                  WLAN_REASON_CODE_MSMSEC_PSK_MISMATCH_SUSPECTED),
       Posts(WM_MON_ATTEMPT_FAILED)},
      {"interface arrival", Acm(wlan_notification_acm_interface_arrival), Posts(WM_MON_IFACE_ARRIVED)},
      {"interface arrival of another interface", Acm(wlan_notification_acm_interface_arrival, kOther),
       Posts(WM_MON_IFACE_ARRIVED)},
      {"profile change", Acm(wlan_notification_acm_profile_change), Posts(WM_MON_PROFILE_CHANGED)},
      {"disconnected", Acm(wlan_notification_acm_disconnected), Posts(WM_MON_DISCONNECTED)},
      {"interface removal", Acm(wlan_notification_acm_interface_removal), kNothing},
      {"disconnecting", Acm(wlan_notification_acm_disconnecting), kNothing},
      // Another interface's ACM notifications.
      {"scan complete of another interface", Acm(wlan_notification_acm_scan_complete, kOther), kNothing},
      {"connected on another interface",
       Connection(wlan_notification_acm_connection_complete, wlan_connection_mode_profile, 0,
                  dot11_BSS_type_infrastructure, kOther),
       kNothing},
      {"disconnected on another interface", Acm(wlan_notification_acm_disconnected, kOther), kNothing},
      // MSM
      {"roaming end", Msm(wlan_notification_msm_roaming_end), Posts(WM_MON_ROAMED)},
      {"software radio on", Radio(dot11_radio_state_on), Posts(WM_MON_RADIO_ON)},
      {"software radio off", Radio(dot11_radio_state_off), Posts(WM_MON_RADIO_OFF)},
      {"software radio unknown", Radio(dot11_radio_state_unknown), kNothing},
      {"radio change without its data", Msm(wlan_notification_msm_radio_state_change), kNothing},
      {"radio on of another interface", Radio(dot11_radio_state_on, kOther), kNothing},
      {"roaming end of another interface", Msm(wlan_notification_msm_roaming_end, kOther), kNothing},
      {"associated", Msm(wlan_notification_msm_associated), kNothing},
      {"signal quality change", Msm(wlan_notification_msm_signal_quality_change), kNothing},
      // Sources the client did not ask for.
      {"802.1X source", [] { Notification n = Acm(wlan_notification_acm_scan_complete);
                             n.source = WLAN_NOTIFICATION_SOURCE_ONEX; return n; }(), kNothing},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ReactToNotification(row.notification, kOurs), row.reaction);
  }
}

TEST(NotificationDispatch, IhvEventCodes) {
  const struct {
    const char* name;
    uint32_t code;
    NotificationReaction reaction;
  } rows[] = {
      {"0 is no event", 0, kNothing},
      {"first diagnostic text", 1, Posts(WM_MON_IHV_DIAG_EVENT, 1)},
      {"diagnostic text 20", 20, Posts(WM_MON_IHV_DIAG_EVENT, 20)},
      {"last diagnostic text", 33, Posts(WM_MON_IHV_DIAG_EVENT, 33)},
      {"34 is no event", 34, kNothing},
      {"diagnostic channel connected", 0x80000000, Posts(WM_MON_IHV_CHANNEL, 0, 1)},
      {"diagnostic channel failed", 0x80000001, Posts(WM_MON_IHV_CHANNEL, 0, 0)},
      {"0x80000002 is no event", 0x80000002, kNothing},
      {"test not run", 0x80000003, Posts(WM_MON_IHV_TEST_FAILED)},
      {"exited diagnostic mode", 0x80000004, Posts(WM_MON_IHV_TEST_FINISHED)},
      {"first test event", 0x80000005, Posts(WM_MON_IHV_DIAG_EVENT, 0x80000005)},
      {"last test event", 0x80000010, Posts(WM_MON_IHV_DIAG_EVENT, 0x80000010)},
      {"past the last test event", 0x80000011, kNothing},
      {"all ones", 0xFFFFFFFF, kNothing},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ReactToNotification(IhvCode(row.code), kOurs), row.reaction);
    // The extension's events are not tied to the interface in the notification.
    Notification other = IhvCode(row.code);
    other.interfaceGuid = kOther;
    EXPECT_EQ(ReactToNotification(other, kOurs), row.reaction);
  }
}

TEST(NotificationDispatch, IhvDataShorterThanAnEventCodeIsNoEvent) {
  for (size_t size = 0; size < 4; ++size) {
    SCOPED_TRACE(size);
    EXPECT_EQ(ReactToNotification(Ihv(std::vector<uint8_t>(size, 0x01)), kOurs), kNothing);
  }
}

}  // namespace
}  // namespace ov
