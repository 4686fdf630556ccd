#include "shell/ui/shell_icons.h"

#include <QApplication>
#include <QStyle>
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

// Icons are asked for again on every tick and every more/less sync; a style's standard icon is
// looked up in the desktop's icon theme on disk first, and a tray icon parses its SVG. Kept for
// the program's life (never destroyed: the application may be gone when statics are).
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

QIcon BitmapIcon(int bitmapId) {
  QStyle::StandardPixmap pixmap;
  switch (bitmapId) {
    case IDB_TAB_PROFILE: pixmap = QStyle::SP_FileDialogDetailedView; break;
    case IDB_TAB_SITESURVEY: pixmap = QStyle::SP_BrowserReload; break;
    case IDB_TAB_ADVANCE: pixmap = QStyle::SP_FileDialogContentsView; break;
    case IDB_TAB_STATISTICS: pixmap = QStyle::SP_FileDialogInfoView; break;
    case IDB_TAB_WMM: pixmap = QStyle::SP_MediaVolume; break;
    case IDB_TAB_WPS: pixmap = QStyle::SP_DialogYesButton; break;
    case IDB_TAB_SSO: pixmap = QStyle::SP_DialogApplyButton; break;
    case IDB_TAB_CCX_CONFIG: pixmap = QStyle::SP_ComputerIcon; break;
    case IDB_RADIO_ON: pixmap = QStyle::SP_MediaPlay; break;
    case IDB_RADIO_OFF: pixmap = QStyle::SP_MediaStop; break;
    case IDB_TAB_ABOUT: pixmap = QStyle::SP_MessageBoxInformation; break;
    case IDB_TAB_HELP: pixmap = QStyle::SP_DialogHelpButton; break;
    case IDB_TAB_80211N: pixmap = QStyle::SP_DriveNetIcon; break;
    case IDB_LESS: pixmap = QStyle::SP_ArrowUp; break;
    case IDB_MORE: pixmap = QStyle::SP_ArrowDown; break;
    case IDB_SCROLL_LEFT: pixmap = QStyle::SP_ArrowLeft; break;
    case IDB_SCROLL_RIGHT: pixmap = QStyle::SP_ArrowRight; break;
    case IDB_CLOSE_X: pixmap = QStyle::SP_TitleBarCloseButton; break;
    case IDI_MESSAGE_BOX: pixmap = QStyle::SP_MessageBoxInformation; break;
    default: return QIcon();
  }
  return CachedIcon(bitmapId, [pixmap] { return QApplication::style()->standardIcon(pixmap); });
}

}  // namespace ov
