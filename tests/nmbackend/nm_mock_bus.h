#pragma once
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <string>

// A private D-Bus daemon with dbusmock's NetworkManager (extended by nm_mock.py) on it, for as
// long as the object lives. dbusmock runs under Debian's own python3.
namespace ov::test {

inline constexpr const char* kDebianPython = "/usr/bin/python3";

class NmMockBus {
 public:
  static bool DbusmockInstalled() { return QProcess::execute(kDebianPython, {"-c", "import dbusmock"}) == 0; }

  // False with `failure` set when the bus or the mock did not start.
  bool Start(std::string* failure) {
    bus_.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
    if (!bus_.waitForStarted() || !bus_.waitForReadyRead(10000)) return Fail(failure, "dbus-daemon did not start");
    address_ = bus_.readLine().trimmed().toStdString();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DBUS_SYSTEM_BUS_ADDRESS", QString::fromStdString(address_));
    env.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromStdString(address_));
    mock_.setProcessEnvironment(env);
    mock_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    mock_.start(kDebianPython, {QStringLiteral(OVUI_SOURCE_DIR "/tests/nmbackend/nm_mock.py")});
    if (!mock_.waitForReadyRead(30000)) return Fail(failure, "the mock did not start");
    if (mock_.readLine().trimmed() != "ready") return Fail(failure, "the mock did not say ready");
    return true;
  }

  ~NmMockBus() {
    if (mock_.state() != QProcess::NotRunning) {
      mock_.closeWriteChannel();
      if (!mock_.waitForFinished(10000)) mock_.kill();
    }
    if (bus_.state() != QProcess::NotRunning) {
      bus_.terminate();
      if (!bus_.waitForFinished(5000)) bus_.kill();
    }
  }

  const std::string& address() const { return address_; }

  // `gdbus call` on the mock's NetworkManager: the object, the method and its arguments in
  // GVariant text. Its exit status.
  int Call(const QString& object, const QString& method, const QStringList& args = {}) const {
    QStringList all{"call", "--address", QString::fromStdString(address_), "-d",
                    "org.freedesktop.NetworkManager", "-o", object, "-m", method};
    all += args;
    return QProcess::execute("gdbus", all);
  }
  // The same, with the call's printed reply.
  std::string CallOutput(const QString& object, const QString& method, const QStringList& args = {}) const {
    QProcess p;
    QStringList all{"call", "--address", QString::fromStdString(address_), "-d",
                    "org.freedesktop.NetworkManager", "-o", object, "-m", method};
    all += args;
    p.start("gdbus", all);
    p.waitForFinished(10000);
    return p.readAllStandardOutput().toStdString();
  }
  // Sets a property of a mocked object (PropertiesChanged follows).
  int SetProperty(const QString& object, const QString& iface, const QString& name, const QString& value) const {
    return Call(object, "org.freedesktop.DBus.Properties.Set", {iface, name, value});
  }

 private:
  bool Fail(std::string* failure, const char* what) {
    if (failure) *failure = what;
    return false;
  }

  QProcess bus_, mock_;
  std::string address_;
};

inline const QString kMockDevice = QStringLiteral("/org/freedesktop/NetworkManager/Devices/wlan0");
inline const QString kMockCafe = QStringLiteral("/org/freedesktop/NetworkManager/AccessPoint/cafe");
inline const QString kMockManager = QStringLiteral("/org/freedesktop/NetworkManager");

}  // namespace ov::test
