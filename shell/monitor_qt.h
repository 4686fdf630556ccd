#pragma once
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariantMap>
#include <functional>
#include <memory>
#include <optional>

#include "platform/time/message_service.h"
#include "shell/monitor_seams.h"

class QMenu;
class QSystemTrayIcon;

// The monitor's desktop side on Qt: the notification-area icon, message boxes and programs, and
// the login session and sleep events from logind.
namespace ov {

// QSystemTrayIcon with one icon per state. Double click and right click come back to the
// monitor as posted WM_MON_TRAY messages; the menu's choice as a posted WM_COMMAND. Where the
// desktop hosts icons through a menu of its own (no right-click event), the same items are on
// the icon's context menu, filled when it opens.
class QtTrayIcon final : public QObject, public TrayIcon {
  Q_OBJECT

 public:
  QtTrayIcon();
  ~QtTrayIcon() override;

  // Where clicks and commands are posted; `menuItems` gives the items when the desktop opens
  // the context menu itself.
  void Connect(MessageTarget target, std::function<std::vector<TrayMenuItem>()> menuItems);

  bool Add(TrayState state, const QString& tip) override;
  bool Modify(TrayState state, const QString& tip) override;
  void Remove() override;
  void PopupMenu(const std::vector<TrayMenuItem>& items) override;
  void ShowNotification(const QString& title, const QString& text) override;

 private:
  void FillMenu(QMenu& menu, const std::vector<TrayMenuItem>& items);

  // What the icon shows now: a tick that changes nothing touches neither the icon nor the tray
  // host (each change is a repaint and a round of X events).
  void Show(TrayState state, const QString& tip);

  std::unique_ptr<QSystemTrayIcon> icon_;
  std::optional<TrayState> shownState_;
  QString shownTip_;
  std::unique_ptr<QMenu> contextMenu_;
  MessageTarget target_;
  std::function<std::vector<TrayMenuItem>()> menuItems_;
};

// Message boxes over no parent, programs started detached, documents with the desktop's viewer.
class QtMonitorDesktop final : public MonitorDesktop {
 public:
  void ShowModalMessage(const QString& text) override;
  void StartProgram(const std::string& program, const std::vector<std::string>& args) override;
  void OpenDocument(const std::string& path) override;
};

// The seat's active session and the sleep signal from logind on the system bus. Without logind
// the session stays 0 and no sleep event comes.
class LogindSession final : public QObject, public SessionSource {
  Q_OBJECT

 public:
  LogindSession();
  // Called with true before the machine sleeps and false after it woke.
  void OnSleep(std::function<void(bool)> handler) { sleepHandler_ = std::move(handler); }
  bool Available() const { return available_; }
  // Asked on every session check: answered from the last reading while logind has not said
  // that the seat's active session changed.
  uint32_t ActiveSession() override;

 private slots:
  void PrepareForSleep(bool start);
  void SeatPropertiesChanged(const QString& interface, const QVariantMap& changed,
                             const QStringList& invalidated);

 private:
  std::optional<uint32_t> ReadActiveSession();

  bool available_ = false;
  bool followsSeat_ = false;  // the change signal is subscribed, so a kept reading stays true
  std::optional<uint32_t> activeSession_;
  std::function<void(bool)> sleepHandler_;
};

}  // namespace ov
