#include "shell/monitor_qt.h"

#include <QCursor>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusArgument>
#include <QDBusVariant>
#include <QDesktopServices>
#include <QMenu>
#include <QMetaObject>
#include <QProcess>
#include <QSystemTrayIcon>
#include <QUrl>
#include <QTextDocument>

#include "platform/time/monitor_messages.h"
#include "shell/ui/message_box.h"

namespace ov {

namespace {

// Qt's tooltips take text that looks like markup as markup; the tip is shown as written.
QString PlainTip(const QString& tip) {
  if (!Qt::mightBeRichText(tip)) return tip;
  return QStringLiteral("<p style='white-space:pre'>%1</p>").arg(tip.toHtmlEscaped());
}

}  // namespace

QtTrayIcon::QtTrayIcon() = default;
QtTrayIcon::~QtTrayIcon() = default;

void QtTrayIcon::Connect(MessageTarget target,
                         std::function<std::vector<TrayMenuItem>()> menuItems) {
  target_ = std::move(target);
  menuItems_ = std::move(menuItems);
}

bool QtTrayIcon::Add(TrayState state, const QString& tip) {
  if (!QSystemTrayIcon::isSystemTrayAvailable()) return false;
  if (!icon_) {
    icon_ = std::make_unique<QSystemTrayIcon>();
    contextMenu_ = std::make_unique<QMenu>();
    connect(contextMenu_.get(), &QMenu::aboutToShow, this, [this] {
      const auto items = menuItems_ ? menuItems_() : std::vector<TrayMenuItem>{};
      FillMenu(*contextMenu_, items);
      // Nothing to offer (the monitor is busy): the menu closes again at once.
      if (items.empty()) QMetaObject::invokeMethod(contextMenu_.get(), &QMenu::close, Qt::QueuedConnection);
    });
    icon_->setContextMenu(contextMenu_.get());
    connect(icon_.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
              if (reason == QSystemTrayIcon::DoubleClick)
                target_.post(WM_MON_TRAY, TRAY_ICON_ID, WM_LBUTTONDBLCLK);
            });
  }
  icon_->setIcon(TrayStateIcon(state));
  icon_->setToolTip(PlainTip(tip));
  icon_->show();
  return icon_->isVisible();
}

bool QtTrayIcon::Modify(TrayState state, const QString& tip) {
  if (!icon_ || !icon_->isVisible()) return false;
  icon_->setIcon(TrayStateIcon(state));
  icon_->setToolTip(PlainTip(tip));
  return true;
}

void QtTrayIcon::Remove() {
  if (icon_) icon_->hide();
}

void QtTrayIcon::FillMenu(QMenu& menu, const std::vector<TrayMenuItem>& items) {
  menu.clear();
  for (const TrayMenuItem& item : items) {
    QAction* action = menu.addAction(item.text);
    action->setEnabled(item.enabled);
    const uint32_t command = item.command;
    connect(action, &QAction::triggered, this, [this, command] { target_.post(WM_COMMAND, command, 0); });
  }
}

void QtTrayIcon::PopupMenu(const std::vector<TrayMenuItem>& items) {
  QMenu menu;
  FillMenu(menu, items);
  menu.exec(QCursor::pos());
}

void QtMonitorDesktop::ShowModalMessage(const QString& text) { ShowMessage(text, nullptr); }

void QtMonitorDesktop::StartProgram(const std::string& program,
                                    const std::vector<std::string>& args) {
  QStringList list;
  for (const std::string& a : args) list << QString::fromStdString(a);
  QProcess::startDetached(QString::fromStdString(program), list);
}

void QtMonitorDesktop::OpenDocument(const std::string& path) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

LogindSession::LogindSession() {
  QDBusConnection bus = QDBusConnection::systemBus();
  if (!bus.isConnected()) return;
  QDBusInterface manager(QStringLiteral("org.freedesktop.login1"),
                         QStringLiteral("/org/freedesktop/login1"),
                         QStringLiteral("org.freedesktop.login1.Manager"), bus);
  if (!manager.isValid()) return;
  available_ = true;
  bus.connect(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
              QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"),
              this, SLOT(PrepareForSleep(bool)));
}

uint32_t LogindSession::ActiveSession() {
  if (!available_) return 0;
  // The seat's active session is a (name, object path) pair; its name identifies it.
  QDBusInterface seat(QStringLiteral("org.freedesktop.login1"),
                      QStringLiteral("/org/freedesktop/login1/seat/seat0"),
                      QStringLiteral("org.freedesktop.DBus.Properties"),
                      QDBusConnection::systemBus());
  QDBusReply<QDBusVariant> reply =
      seat.call(QStringLiteral("Get"), QStringLiteral("org.freedesktop.login1.Seat"),
                QStringLiteral("ActiveSession"));
  if (!reply.isValid()) return 0;
  const QDBusArgument argument = reply.value().variant().value<QDBusArgument>();
  QString name;
  QDBusObjectPath path;
  argument.beginStructure();
  argument >> name >> path;
  argument.endStructure();
  return static_cast<uint32_t>(qHash(name));
}

void LogindSession::PrepareForSleep(bool start) {
  if (sleepHandler_) sleepHandler_(start);
}

}  // namespace ov
