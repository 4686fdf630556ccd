#include "shell/monitor_qt.h"

#include <QCursor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
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
  shownState_.reset();
  Show(state, tip);
  icon_->show();
  return icon_->isVisible();
}

bool QtTrayIcon::Modify(TrayState state, const QString& tip) {
  if (!icon_ || !icon_->isVisible()) return false;
  Show(state, tip);
  return true;
}

void QtTrayIcon::Show(TrayState state, const QString& tip) {
  if (shownState_ != state) icon_->setIcon(TrayStateIcon(state));
  if (!shownState_ || shownTip_ != tip) icon_->setToolTip(PlainTip(tip));
  shownState_ = state;
  shownTip_ = tip;
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

void QtTrayIcon::ShowNotification(const QString& title, const QString& text) {
  // The desktop's own notice through the icon; a desktop without a notification area shows none.
  if (icon_ && icon_->isVisible() && QSystemTrayIcon::supportsMessages())
    icon_->showMessage(title, text, QSystemTrayIcon::Information, 5000);
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

namespace {

const QString kLogindService = QStringLiteral("org.freedesktop.login1");
const QString kSeatPath = QStringLiteral("/org/freedesktop/login1/seat/seat0");
const QString kSeatInterface = QStringLiteral("org.freedesktop.login1.Seat");
const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kActiveSession = QStringLiteral("ActiveSession");

}  // namespace

// Plain messages rather than QDBusInterface, which introspects its object with a blocking call
// each time one is made.
LogindSession::LogindSession() {
  QDBusConnection bus = QDBusConnection::systemBus();
  if (!bus.isConnected() || !bus.interface() ||
      !bus.interface()->isServiceRegistered(kLogindService).value()) {
    return;
  }
  available_ = true;
  bus.connect(kLogindService, QStringLiteral("/org/freedesktop/login1"),
              QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"),
              this, SLOT(PrepareForSleep(bool)));
  followsSeat_ = bus.connect(kLogindService, kSeatPath, kPropertiesInterface,
                             QStringLiteral("PropertiesChanged"), this,
                             SLOT(SeatPropertiesChanged(QString,QVariantMap,QStringList)));
}

uint32_t LogindSession::ActiveSession() {
  if (!available_) return 0;
  if (followsSeat_ && activeSession_) return *activeSession_;
  // A failed reading is not kept: the next check asks again.
  activeSession_ = ReadActiveSession();
  return activeSession_.value_or(0);
}

std::optional<uint32_t> LogindSession::ReadActiveSession() {
  // The seat's active session is a (name, object path) pair; its name identifies it.
  QDBusMessage call = QDBusMessage::createMethodCall(kLogindService, kSeatPath,
                                                     kPropertiesInterface, QStringLiteral("Get"));
  call << kSeatInterface << kActiveSession;
  QDBusReply<QDBusVariant> reply = QDBusConnection::systemBus().call(call);
  if (!reply.isValid()) return std::nullopt;
  const QDBusArgument argument = reply.value().variant().value<QDBusArgument>();
  QString name;
  QDBusObjectPath path;
  argument.beginStructure();
  argument >> name >> path;
  argument.endStructure();
  return static_cast<uint32_t>(qHash(name));
}

void LogindSession::SeatPropertiesChanged(const QString& interface, const QVariantMap& changed,
                                          const QStringList& invalidated) {
  if (interface != kSeatInterface) return;
  if (changed.contains(kActiveSession) || invalidated.contains(kActiveSession))
    activeSession_.reset();
}

void LogindSession::PrepareForSleep(bool start) {
  // A signal may have been missed while the machine slept.
  activeSession_.reset();
  if (sleepHandler_) sleepHandler_(start);
}

}  // namespace ov
