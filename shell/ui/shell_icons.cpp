#include "shell/ui/shell_icons.h"

#include <functional>
#include <unordered_map>

#include "shell/ui/control_ids.h"

namespace ov {

int TrayIconResource(TrayState state) {
  switch (state) {
    case TrayState::Good: return 131;
    case TrayState::Normal: return 159;
    case TrayState::Weak: return 160;
    case TrayState::Lost: return 132;
    case TrayState::NotExist: return 161;
  }
  return 161;
}

QString TrayStateIconPath(TrayState state) {
  switch (state) {
    case TrayState::Good: return QStringLiteral(":/icons/tray_good.svg");
    case TrayState::Normal: return QStringLiteral(":/icons/tray_normal.svg");
    case TrayState::Weak: return QStringLiteral(":/icons/tray_weak.svg");
    case TrayState::Lost: return QStringLiteral(":/icons/tray_lost.svg");
    case TrayState::NotExist: return QStringLiteral(":/icons/tray_notexist.svg");
  }
  return QStringLiteral(":/icons/tray_notexist.svg");
}

namespace {

// Icons are asked for again on every tick and every more/less sync, and each would parse its SVG
// again. Kept for the program's life (never destroyed: the application may be gone when statics
// are).
QIcon CachedIcon(int key, const std::function<QIcon()>& make) {
  static auto* cache = new std::unordered_map<int, QIcon>;
  auto it = cache->find(key);
  if (it == cache->end()) it = cache->emplace(key, make()).first;
  return it->second;
}

constexpr int kTrayIconKeyBase = 1 << 20;  // apart from the bitmap ids

}  // namespace

QIcon TrayStateIcon(TrayState state) {
  return CachedIcon(kTrayIconKeyBase + static_cast<int>(state),
                    [state] { return QIcon(TrayStateIconPath(state)); });
}

QIcon AppIcon() { return QIcon(QStringLiteral(":/icons/app.svg")); }

QString BitmapIconPath(int bitmapId) {
  const char* name = nullptr;
  switch (bitmapId) {
    case IDB_TAB_PROFILE: name = "profile"; break;
    case IDB_TAB_SITESURVEY: name = "sitesurvey"; break;
    case IDB_TAB_ADVANCE: name = "advance"; break;
    case IDB_TAB_STATISTICS: name = "statistics"; break;
    case IDB_TAB_WMM: name = "wmm"; break;
    case IDB_TAB_WPS: name = "wps"; break;
    case IDB_TAB_SSO: name = "sso"; break;
    case IDB_TAB_CCX_CONFIG: name = "ccx"; break;
    case IDB_RADIO_ON: name = "radio_on"; break;
    case IDB_RADIO_OFF: name = "radio_off"; break;
    case IDB_TAB_ABOUT: name = "about"; break;
    case IDB_TAB_HELP: name = "help"; break;
    case IDB_TAB_80211N: name = "80211n"; break;
    case IDB_LESS: name = "less"; break;
    case IDB_MORE: name = "more"; break;
    case IDB_SCROLL_LEFT: name = "scroll_left"; break;
    case IDB_SCROLL_RIGHT: name = "scroll_right"; break;
    case IDB_CLOSE_X: name = "close"; break;
    case IDI_MESSAGE_BOX: name = "about"; break;
    default: return {};
  }
  return QStringLiteral(":/icons/bar/%1.svg").arg(QLatin1String(name));
}

QIcon BitmapIcon(int bitmapId) {
  const QString path = BitmapIconPath(bitmapId);
  if (path.isEmpty()) return QIcon();
  return CachedIcon(bitmapId, [path] { return QIcon(path); });
}

}  // namespace ov
