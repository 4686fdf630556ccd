#include "shell/monitor_logic.h"

#include "driver/adapter_info.h"

namespace ov {

TrayState TrayStateForPercent(int32_t percent) {
  if (percent > 70) return TrayState::Good;
  if (percent > 40) return TrayState::Normal;
  return TrayState::Weak;
}

LanguageKey TrayTipKey(TrayState state) {
  switch (state) {
    case TrayState::Good: return IDS_ORVANE_GOOD;
    case TrayState::Normal: return IDS_ORVANE_NORMAL;
    case TrayState::Weak: return IDS_ORVANE_WEAK;
    case TrayState::Lost: return IDS_ORVANE_LOST;
    case TrayState::NotExist: break;
  }
  return IDS_ORVANE_NOTEXIST;
}

std::string FormatTrayTip(std::string_view text, std::string_view ssid) {
  std::string tip;
  bool ssidUsed = false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size()) {
      if (text[i + 1] == '%') {
        tip += '%';
        ++i;
        continue;
      }
      if (text[i + 1] == 's') {
        // Only the first "%s" has an argument; a second one stays as written.
        if (!ssidUsed) {
          tip.append(ssid);
          ssidUsed = true;
        } else {
          tip += "%s";
        }
        ++i;
        continue;
      }
    }
    tip += text[i];
  }
  return LimitText(tip, kTrayTipMaxBytes);
}

int TrayMenuResource(bool siblingsPresent, int32_t chipFamily, bool adapterPresent, bool isAdmin) {
  const bool apCapable = chipFamily >= 4 && chipFamily <= 10;
  return siblingsPresent && apCapable && adapterPresent && isAdmin ? kTrayMenuWithApSwitch
                                                                   : kTrayMenuPlain;
}

WpsPollOutcome ClassifyWpsStatus(uint32_t code) {
  switch (code) {
    case kWpsStatusSuccess: return WpsPollOutcome::Success;
    case 0: return WpsPollOutcome::StopKeepCheck;
    case 260: case 261: case 262: case 513: case 514: case 515: case 516:
      return WpsPollOutcome::StopAll;
    default: return WpsPollOutcome::KeepPolling;
  }
}

}  // namespace ov
