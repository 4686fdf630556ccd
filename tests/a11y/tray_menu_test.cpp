#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QMenu>
#include <QTimer>
#include <string>
#include <vector>

#include "lang/language_table.h"
#include "shell/monitor_qt.h"
#include "platform/time/monitor_messages.h"
#include "shell/ui/ui_text.h"

// The tray's menu as a screen reader reads it: every entry named by its language text (a "&"
// marks a mnemonic, not a letter of the name), a greyed entry read as disabled.
namespace ov {
namespace {

struct ReadItem {
  std::string name;
  bool enabled;
  bool operator==(const ReadItem&) const = default;
};

TEST(TrayMenuReading, EveryEntryIsAMenuItemNamedByItsText) {
  InstallLanguageTable(ReadLanguageFile(OVUI_SOURCE_DIR "/data/Languages/Lang0409.ini"));
  const std::vector<TrayMenuItem> items = {
      {IDM_TRAY_LAUNCH, UiText(IDS_TRAY_LAUNCH), true},
      {IDM_TRAY_SWITCH_AP_MODE, QStringLiteral("Switch to &AP Mode"), false},
      {IDM_TRAY_EXIT, UiText(IDS_TRAY_EXIT), true},
  };
  std::vector<ReadItem> read;
  int roleMismatches = 0;
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, poll, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr) return;
    poll->stop();
    poll->deleteLater();
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(menu);
    for (int i = 0; i < iface->childCount(); ++i) {
      QAccessibleInterface* item = iface->child(i);
      if (item->role() != QAccessible::MenuItem) ++roleMismatches;
      read.push_back({item->text(QAccessible::Name).trimmed().toStdString(),
                      !item->state().disabled});
    }
    menu->close();
  });
  poll->start(0);
  QtTrayIcon tray;
  tray.PopupMenu(items);

  EXPECT_EQ(roleMismatches, 0);
  EXPECT_EQ(read, (std::vector<ReadItem>{{"Launch Config Utilities", true},
                                         {"Switch to AP Mode", false},
                                         {"Exit", true}}));
}

}  // namespace
}  // namespace ov
