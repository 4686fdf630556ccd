#include "sim/wps_registration.h"

#include <algorithm>
#include <string>

#include "driver/ndis_types.h"
#include "platform/system/hex_text.h"
#include "wps/wps_pin.h"
#include "wps/wps_status_text.h"

namespace ov::sim {

namespace {

using namespace wps_status;

void SetField(std::span<uint8_t> field, uint32_t& length, const std::string& text) {
  const size_t n = std::min(text.size(), field.size());
  std::copy_n(text.begin(), n, field.begin());
  length = static_cast<uint32_t>(n);
}

bool Printable(const std::vector<uint8_t>& bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b >= 0x20 && b < 0x7F; });
}

std::string Pin(const WpsStart& start) { return std::string(start.Pin.begin(), start.Pin.end()); }

// The steps in order, kWpsStepMs apart.
void Walk(WpsRunPlan& plan, std::initializer_list<uint32_t> codes) {
  int64_t at = plan.steps.empty() ? 0 : plan.steps.back().first + kWpsStepMs;
  for (uint32_t code : codes) {
    plan.steps.emplace_back(at, code);
    at += kWpsStepMs;
  }
}

void EndAtWalkTime(WpsRunPlan& plan, uint32_t code) { plan.steps.emplace_back(kWpsWalkTimeMs, code); }

void EnrolleeExchange(WpsRunPlan& plan, bool pinAccepted) {
  Walk(plan, {kAssociating, kAssociated, kEapolStart, kEapRspId, kEnrolleeWpsStart, kSendingM1,
              kReceivedM2, kSendingM3, kReceivedM4});
  // The registrar's R-Hash of the PIN halves arrives with M4.
  if (!pinAccepted) return Walk(plan, {kWrongPin});
  Walk(plan, {kSendingM5, kReceivedM6, kSendingM7, kReceivedM8, kSendingDone, kSuccess});
}

void RegistrarExchange(WpsRunPlan& plan, bool pinAccepted) {
  Walk(plan, {kAssociating, kAssociated, kEapolStart, kEapRspId, kReceivedM1, kSendingM2,
              kSendingM4, kReceivedM5});
  // The access point's E-Hash of the PIN halves is checked against M5.
  if (!pinAccepted) return Walk(plan, {kWrongPin});
  Walk(plan, {kSendingM6, kReceivedM7, kSendingM8, kReceivedDone, kSuccess});
}

const AccessPointSpec* FindAccessPoint(const std::vector<AccessPointSpec>& world,
                                       const MacAddress& bssid) {
  for (const AccessPointSpec& ap : world) {
    if (std::equal(ap.bssid.begin(), ap.bssid.end(), bssid.begin()) && !ap.adhoc) return &ap;
  }
  return nullptr;
}

}  // namespace

WpsCredential AccessPointCredential(const AccessPointSpec& ap) {
  WpsCredential c;
  SetField(c.Ssid, c.SsidLength, ap.ssid);
  std::copy(ap.bssid.begin(), ap.bssid.end(), c.MacAddr.begin());
  std::string key;
  switch (ap.security) {
    case ApSecurity::Open:
      c.AuthType = WPS_AUTH_OPEN;
      c.EncryType = WPS_ENCR_NONE;
      break;
    case ApSecurity::WepOpen:
    case ApSecurity::WepShared:
      c.AuthType = ap.security == ApSecurity::WepShared ? WPS_AUTH_SHARED : WPS_AUTH_OPEN;
      c.EncryType = WPS_ENCR_WEP;
      c.KeyIndex = ap.wepKeyIndex;
      key = Printable(ap.wepKey) ? std::string(ap.wepKey.begin(), ap.wepKey.end())
                                 : HexEncode(ap.wepKey);
      break;
    case ApSecurity::WpaPsk:
      c.AuthType = WPS_AUTH_WPAPSK;
      c.EncryType = ap.cipher == ApCipher::Ccmp ? WPS_ENCR_AES : WPS_ENCR_TKIP;
      break;
    case ApSecurity::Wpa2Psk:
      c.AuthType = WPS_AUTH_WPA2PSK;
      c.EncryType = ap.cipher == ApCipher::Tkip ? WPS_ENCR_TKIP : WPS_ENCR_AES;
      break;
    case ApSecurity::WpaWpa2Psk:
      c.AuthType = WPS_AUTH_WPAPSK | WPS_AUTH_WPA2PSK;
      c.EncryType = WPS_ENCR_TKIP | WPS_ENCR_AES;
      break;
    case ApSecurity::Wpa2Enterprise:
      c.AuthType = WPS_AUTH_WPA2;
      c.EncryType = WPS_ENCR_AES;
      break;
    default:
      c.AuthType = WPS_AUTH_WPA;
      c.EncryType = WPS_ENCR_TKIP;
      break;
  }
  if (IsPsk(ap.security)) key = !ap.passphrase.empty() ? ap.passphrase : HexEncode(ap.psk);
  SetField(c.Key, c.KeyLength, key);
  return c;
}

WpsRunPlan PlanWpsRun(const WpsStart& start, const std::vector<AccessPointSpec>& world) {
  WpsRunPlan plan;
  const bool registrar = start.Role == WPS_ROLE_REGISTRAR;
  const AccessPointSpec* target = nullptr;
  bool pinAccepted = true;
  if (start.Mode == WPS_START_MODE_PBC) {
    std::vector<const AccessPointSpec*> pushButton;
    for (const AccessPointSpec& ap : world) {
      if (ap.wps == WpsMode::PushButton && !ap.adhoc) pushButton.push_back(&ap);
    }
    Walk(plan, {kScanningAp});
    if (pushButton.empty()) {
      EndAtWalkTime(plan, kNoPbcAp);
      return plan;
    }
    if (pushButton.size() > 1) {
      Walk(plan, {kTooManyPbcAps});
      return plan;
    }
    target = pushButton.front();
  } else {
    plan.pinSession = true;
    if (start.Ssid.SsidLength == 0) {
      Walk(plan, {kInvalidSsid});
      return plan;
    }
    Walk(plan, {kScanningAp});
    target = FindAccessPoint(world, start.Bssid);
    if (!target || target->wps == WpsMode::Off) {
      EndAtWalkTime(plan, kWalkTimeExpired);
      return plan;
    }
    if (target->wps != WpsMode::Pin) {
      // The registrar answers but has no PIN to offer: M2D, then nothing until the walk ends.
      Walk(plan, {kAssociating, kAssociated, kEapolStart, kEapRspId, kEnrolleeWpsStart,
                  kSendingM1, kReceivedM2D});
      EndAtWalkTime(plan, kWalkTimeExpired);
      return plan;
    }
    const std::string pin = Pin(start);
    pinAccepted = CheckWpsPin(pin, nullptr) == WpsPinCheck::Valid &&
                  (target->wpsPin.empty() || target->wpsPin == pin);
  }
  if (registrar) {
    RegistrarExchange(plan, pinAccepted);
  } else {
    EnrolleeExchange(plan, pinAccepted);
  }
  if (pinAccepted) {
    // A registrar learns the access point's settings from M7; an enrollee gets them in M8.
    plan.credential = AccessPointCredential(*target);
    plan.channel = target->channel;
  }
  return plan;
}

uint32_t WpsRunStatusAt(const WpsRunPlan& plan, int64_t elapsedMs) {
  uint32_t code = kNotUsed;
  for (const auto& [at, step] : plan.steps) {
    if (at > elapsedMs) break;
    code = step;
  }
  return code;
}

bool WpsRunFinished(const WpsRunPlan& plan, int64_t elapsedMs) {
  return !plan.steps.empty() && plan.steps.back().first <= elapsedMs;
}

}  // namespace ov::sim
