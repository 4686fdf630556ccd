#include "nativewifi/nm/nm_wlan_service.h"

#include <QCryptographicHash>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>
#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <QUuid>

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>

#include "nativewifi/nm/nm_access_point.h"
#include "nativewifi/nm/nm_codes.h"
#include "nativewifi/nm/nm_eap_settings.h"
#include "nativewifi/nm/nm_wifi_settings.h"

using NmSettingsMap = QMap<QString, QVariantMap>;
Q_DECLARE_METATYPE(NmSettingsMap)

namespace ov::wlan::nm {
namespace {

const QString kService = QStringLiteral("org.freedesktop.NetworkManager");
const QString kManagerPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString kManagerIface = QStringLiteral("org.freedesktop.NetworkManager");
const QString kSettingsPath = QStringLiteral("/org/freedesktop/NetworkManager/Settings");
const QString kSettingsIface = QStringLiteral("org.freedesktop.NetworkManager.Settings");
const QString kConnectionIface = QStringLiteral("org.freedesktop.NetworkManager.Settings.Connection");
const QString kDeviceIface = QStringLiteral("org.freedesktop.NetworkManager.Device");
const QString kWirelessIface = QStringLiteral("org.freedesktop.NetworkManager.Device.Wireless");
const QString kApIface = QStringLiteral("org.freedesktop.NetworkManager.AccessPoint");
const QString kActiveIface = QStringLiteral("org.freedesktop.NetworkManager.Connection.Active");
const QString kPropertiesIface = QStringLiteral("org.freedesktop.DBus.Properties");
constexpr int kCallTimeoutMs = 10000;

// A D-Bus failure as the host's error number.
uint32_t ErrorOf(const QDBusError& e) {
  switch (e.type()) {
    case QDBusError::NoError: return ERROR_SUCCESS;
    case QDBusError::ServiceUnknown:
    case QDBusError::NoServer:
    case QDBusError::Disconnected:
    case QDBusError::NoReply:
      return ERROR_SERVICE_NOT_ACTIVE;
    case QDBusError::AccessDenied: return ERROR_ACCESS_DENIED;
    case QDBusError::InvalidArgs: return ERROR_INVALID_PARAMETER;
    case QDBusError::UnknownMethod:
    case QDBusError::UnknownInterface:
    case QDBusError::UnknownProperty:
      return ERROR_NOT_SUPPORTED;
    default: break;
  }
  const QString name = e.name();
  if (name.endsWith(QLatin1String("PermissionDenied"))) return ERROR_ACCESS_DENIED;
  if (name.endsWith(QLatin1String("UnknownConnection")) ||
      name.endsWith(QLatin1String("UnknownDevice")))
    return ERROR_NOT_FOUND;
  return ERROR_INVALID_STATE;  // NotAllowed, NotActive, ConnectionActivating, ...
}

// A stable interface GUID from the device's permanent address (its interface name when it has
// none), so that settings keyed by GUID survive a restart.
Guid GuidOfDevice(const QString& permanentAddress, const QString& interfaceName) {
  const QByteArray seed = "ovui-nm:" + (permanentAddress.isEmpty() ? interfaceName : permanentAddress).toUtf8();
  const QByteArray hash = QCryptographicHash::hash(seed, QCryptographicHash::Sha1);
  Guid g{};
  for (size_t i = 0; i < g.size(); ++i) g[i] = static_cast<uint8_t>(hash[static_cast<int>(i)]);
  return g;
}

// The 802-1x setting; empty texts are left out.
QVariantMap ToDbusEap(const EapSettings& e) {
  QVariantMap x{{QStringLiteral("eap"), QStringList{QString::fromStdString(e.method)}}};
  auto text = [&x](const char* key, const std::string& value) {
    if (!value.empty()) x[QString::fromLatin1(key)] = QString::fromStdString(value);
  };
  text("phase2-auth", e.phase2Auth);
  text("identity", e.identity);
  text("anonymous-identity", e.anonymousIdentity);
  text("password", e.password);
  text("domain-suffix-match", e.domainSuffixMatch);
  if (e.validateServer) x[QStringLiteral("system-ca-certs")] = true;
  return x;
}

NmSettingsMap ToDbusSettings(const WifiSettings& s) {
  NmSettingsMap m;
  m[QStringLiteral("connection")] = {
      {QStringLiteral("id"), QString::fromUtf8(kOwnConnectionPrefix) + QString::fromStdString(s.profileName)},
      {QStringLiteral("type"), QStringLiteral("802-11-wireless")},
      {QStringLiteral("autoconnect"), s.autoconnect},
  };
  QVariantMap wireless{
      {QStringLiteral("ssid"), QByteArray(reinterpret_cast<const char*>(s.ssid.data()), static_cast<int>(s.ssid.size()))},
      {QStringLiteral("mode"), s.adhoc ? QStringLiteral("adhoc") : QStringLiteral("infrastructure")},
      {QStringLiteral("hidden"), s.hidden},
  };
  if (!s.keyMgmt.empty()) {
    QVariantMap security{{QStringLiteral("key-mgmt"), QString::fromStdString(s.keyMgmt)}};
    if (!s.psk.empty()) security[QStringLiteral("psk")] = QString::fromStdString(s.psk);
    if (!s.authAlg.empty()) security[QStringLiteral("auth-alg")] = QString::fromStdString(s.authAlg);
    if (!s.wepKey.empty()) {
      security[QStringLiteral("wep-key%1").arg(s.wepKeyIndex)] = QString::fromStdString(s.wepKey);
      security[QStringLiteral("wep-key-type")] = 1u;  // NM_WEP_KEY_TYPE_KEY
      security[QStringLiteral("wep-tx-keyidx")] = s.wepKeyIndex;
    }
    m[QStringLiteral("802-11-wireless-security")] = security;
  }
  if (s.oneX) m[QStringLiteral("802-1x")] = ToDbusEap(s.eap);
  m[QStringLiteral("802-11-wireless")] = wireless;
  return m;
}

}  // namespace

InterfaceState InterfaceStateOfDevice(uint32_t s) {
  if (s <= kDeviceStateUnavailable) return wlan_interface_state_not_ready;
  if (s == kDeviceStateActivated) return wlan_interface_state_connected;
  if (s == kDeviceStateDeactivating) return wlan_interface_state_disconnecting;
  if (s == kDeviceStateNeedAuth) return wlan_interface_state_authenticating;
  if (s > kDeviceStateDisconnected && s < kDeviceStateActivated) return wlan_interface_state_associating;
  return wlan_interface_state_disconnected;  // disconnected, failed
}

uint32_t ReasonCodeOfFailure(uint32_t r) {
  switch (r) {
    case kReasonNoSecrets:
    case kReasonSupplicantDisconnect:
      return WLAN_REASON_CODE_MSMSEC_PSK_MISMATCH_SUSPECTED;
    case kReasonSupplicantTimeout: return WLAN_REASON_CODE_ASSOCIATION_FAILURE;
    case kReasonSsidNotFound: return WLAN_REASON_CODE_NETWORK_NOT_AVAILABLE;
    case kReasonUserRequested: return WLAN_REASON_CODE_USER_CANCELLED;
    default: return WLAN_REASON_CODE_UNKNOWN;
  }
}

// Receives NetworkManager's signals on the backend's thread.
class NmSignalSink : public QObject {
  Q_OBJECT
 public:
  explicit NmSignalSink(NmWlanService::Impl* impl) : impl_(impl) {}
 public Q_SLOTS:
  void OnDeviceStateChanged(const QDBusMessage& message);
  void OnPropertiesChanged(const QDBusMessage& message);

 private:
  NmWlanService::Impl* impl_;
};

struct NmWlanService::Impl {
  QDBusConnection bus{QStringLiteral("ovui-nm")};
  QThread thread;
  NmSignalSink* sink = nullptr;

  struct Device {
    QString path;
    QString interfaceName;
  };
  struct Attempt {
    ConnectionNotificationData data;
    bool started = false;
  };
  struct Registration {
    uint32_t mask = WLAN_NOTIFICATION_SOURCE_NONE;
    NotificationCallback callback;
  };

  std::mutex mutex;
  std::map<Guid, Device> devices;
  std::map<QString, Attempt> attempts;         // by device path
  std::map<ClientHandle, Registration> handles;
  ClientHandle nextHandle = 1;

  QDBusMessage Call(const QString& path, const QString& iface, const QString& method,
                    const QList<QVariant>& args = {}) {
    QDBusMessage m = QDBusMessage::createMethodCall(kService, path, iface, method);
    m.setArguments(args);
    return bus.call(m, QDBus::Block, kCallTimeoutMs);
  }

  uint32_t CallError(const QDBusMessage& reply) {
    if (reply.type() == QDBusMessage::ReplyMessage) return ERROR_SUCCESS;
    return ErrorOf(QDBusError(reply));
  }

  QVariantMap GetAll(const QString& path, const QString& iface, uint32_t* error) {
    const QDBusMessage reply = Call(path, kPropertiesIface, QStringLiteral("GetAll"), {iface});
    *error = CallError(reply);
    if (*error != ERROR_SUCCESS || reply.arguments().isEmpty()) return {};
    return qdbus_cast<QVariantMap>(reply.arguments().first());
  }

  QList<QDBusObjectPath> PathList(const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
    return qdbus_cast<QList<QDBusObjectPath>>(reply.arguments().first());
  }

  bool HandleValid(ClientHandle h) {
    std::lock_guard lock(mutex);
    return handles.count(h) != 0;
  }

  // Reads the Wi-Fi devices; refreshes the GUID map.
  uint32_t ReadDevices(std::vector<InterfaceInfo>* out) {
    const QDBusMessage reply = Call(kManagerPath, kManagerIface, QStringLiteral("GetDevices"));
    if (uint32_t e = CallError(reply); e != ERROR_SUCCESS) return e;
    std::map<Guid, Device> found;
    for (const QDBusObjectPath& p : PathList(reply)) {
      uint32_t e = 0;
      const QVariantMap dev = GetAll(p.path(), kDeviceIface, &e);
      if (e != ERROR_SUCCESS || dev.value(QStringLiteral("DeviceType")).toUInt() != kDeviceTypeWifi) continue;
      const QVariantMap wifi = GetAll(p.path(), kWirelessIface, &e);
      const QString name = dev.value(QStringLiteral("Interface")).toString();
      const Guid guid = GuidOfDevice(wifi.value(QStringLiteral("PermHwAddress")).toString(), name);
      found[guid] = Device{p.path(), name};
      if (out) {
        out->push_back(InterfaceInfo{guid, name.toStdString(),
                                     InterfaceStateOfDevice(dev.value(QStringLiteral("State")).toUInt())});
      }
    }
    std::lock_guard lock(mutex);
    devices = std::move(found);
    return ERROR_SUCCESS;
  }

  uint32_t DevicePath(const Guid& guid, QString* path) {
    for (int pass = 0; pass < 2; ++pass) {
      {
        std::lock_guard lock(mutex);
        if (auto it = devices.find(guid); it != devices.end()) {
          *path = it->second.path;
          return ERROR_SUCCESS;
        }
      }
      if (pass == 0) {
        if (uint32_t e = ReadDevices(nullptr); e != ERROR_SUCCESS) return e;
      }
    }
    return ERROR_NOT_FOUND;
  }

  std::optional<Guid> GuidOfPath(const QString& path) {
    std::lock_guard lock(mutex);
    for (const auto& [guid, dev] : devices)
      if (dev.path == path) return guid;
    return std::nullopt;
  }

  // Access points of a device with their properties (those that vanish meanwhile are skipped).
  uint32_t ReadAccessPoints(const QString& device,
                            std::vector<std::pair<QString, AccessPointProperties>>* out) {
    const QDBusMessage reply = Call(device, kWirelessIface, QStringLiteral("GetAllAccessPoints"));
    if (uint32_t e = CallError(reply); e != ERROR_SUCCESS) return e;
    for (const QDBusObjectPath& p : PathList(reply)) {
      AccessPointProperties ap;
      if (ReadAccessPoint(p.path(), &ap) == ERROR_SUCCESS) out->emplace_back(p.path(), std::move(ap));
    }
    return ERROR_SUCCESS;
  }

  uint32_t ReadAccessPoint(const QString& path, AccessPointProperties* ap) {
    uint32_t e = 0;
    const QVariantMap m = GetAll(path, kApIface, &e);
    if (e != ERROR_SUCCESS) return e;
    const QByteArray ssid = m.value(QStringLiteral("Ssid")).toByteArray();
    ap->ssid.assign(ssid.begin(), ssid.end());
    ap->hwAddress = m.value(QStringLiteral("HwAddress")).toString().toStdString();
    ap->frequencyMHz = m.value(QStringLiteral("Frequency")).toUInt();
    ap->maxBitrateKbps = m.value(QStringLiteral("MaxBitrate")).toUInt();
    ap->mode = m.value(QStringLiteral("Mode")).toUInt();
    ap->strength = static_cast<uint8_t>(m.value(QStringLiteral("Strength")).toUInt());
    ap->flags = m.value(QStringLiteral("Flags")).toUInt();
    ap->wpaFlags = m.value(QStringLiteral("WpaFlags")).toUInt();
    ap->rsnFlags = m.value(QStringLiteral("RsnFlags")).toUInt();
    return ERROR_SUCCESS;
  }

  // The access point a device is associated with: ActiveAccessPoint, else the active
  // connection's SpecificObject; empty when none.
  QString CurrentAccessPoint(const QString& device, QString* activeConnection = nullptr) {
    uint32_t e = 0;
    const QVariantMap dev = GetAll(device, kDeviceIface, &e);
    const QString active = qdbus_cast<QDBusObjectPath>(dev.value(QStringLiteral("ActiveConnection"))).path();
    if (activeConnection) *activeConnection = active;
    const QVariantMap wifi = GetAll(device, kWirelessIface, &e);
    QString ap = qdbus_cast<QDBusObjectPath>(wifi.value(QStringLiteral("ActiveAccessPoint"))).path();
    if ((ap.isEmpty() || ap == QLatin1String("/")) && !active.isEmpty() && active != QLatin1String("/")) {
      const QVariantMap conn = GetAll(active, kActiveIface, &e);
      ap = qdbus_cast<QDBusObjectPath>(conn.value(QStringLiteral("SpecificObject"))).path();
    }
    return ap == QLatin1String("/") ? QString() : ap;
  }

  // The manager's Wi-Fi switches as one PHY's radio state.
  std::optional<PhyRadioState> RadioState(uint32_t* error) {
    const QVariantMap m = GetAll(kManagerPath, kManagerIface, error);
    if (*error != ERROR_SUCCESS) return std::nullopt;
    auto state = [&m](const char* key) {
      return m.value(QString::fromLatin1(key), true).toBool() ? dot11_radio_state_on : dot11_radio_state_off;
    };
    return PhyRadioState{0, state("WirelessEnabled"), state("WirelessHardwareEnabled")};
  }

  std::vector<std::pair<Guid, QString>> DeviceList() {
    std::lock_guard lock(mutex);
    std::vector<std::pair<Guid, QString>> out;
    for (const auto& [guid, dev] : devices) out.emplace_back(guid, dev.path);
    return out;
  }

  // This utility's connections by profile name.
  uint32_t OwnConnections(std::map<std::string, QString>* out) {
    const QDBusMessage reply = Call(kSettingsPath, kSettingsIface, QStringLiteral("ListConnections"));
    if (uint32_t e = CallError(reply); e != ERROR_SUCCESS) return e;
    const QString prefix = QString::fromUtf8(kOwnConnectionPrefix);
    for (const QDBusObjectPath& p : PathList(reply)) {
      const QDBusMessage s = Call(p.path(), kConnectionIface, QStringLiteral("GetSettings"));
      if (s.type() != QDBusMessage::ReplyMessage || s.arguments().isEmpty()) continue;
      const NmSettingsMap settings = qdbus_cast<NmSettingsMap>(s.arguments().first());
      const QString id = settings.value(QStringLiteral("connection")).value(QStringLiteral("id")).toString();
      if (id.startsWith(prefix)) (*out)[id.mid(prefix.size()).toStdString()] = p.path();
    }
    return ERROR_SUCCESS;
  }

  void Deliver(const Notification& n) {
    std::vector<NotificationCallback> targets;
    {
      std::lock_guard lock(mutex);
      for (const auto& [h, r] : handles)
        if ((r.mask & n.source) && r.callback) targets.push_back(r.callback);
    }
    for (const auto& cb : targets) cb(n);
  }

  void Acm(const Guid& guid, uint32_t code, std::optional<ConnectionNotificationData> data = {}) {
    Notification n;
    n.source = WLAN_NOTIFICATION_SOURCE_ACM;
    n.code = code;
    n.interfaceGuid = guid;
    n.connection = std::move(data);
    Deliver(n);
  }

  // On the sink's thread: the host's order is start; complete, or attempt fail then complete
  // with the reason; disconnected when an established connection ends. An attempt begins with
  // the device's first activation state (a deactivation of the previous connection first is
  // not part of it).
  void DeviceStateChanged(const QString& path, uint32_t newState, uint32_t oldState, uint32_t reason) {
    const std::optional<Guid> guid = GuidOfPath(path);
    if (!guid) return;
    const bool activating = newState > kDeviceStateDisconnected && newState < kDeviceStateActivated;
    const bool activated = newState == kDeviceStateActivated;
    const bool failed = newState == kDeviceStateFailed;
    std::optional<Attempt> attempt;
    {
      std::lock_guard lock(mutex);
      auto it = attempts.find(path);
      if (it != attempts.end()) {
        Attempt& a = it->second;
        const bool ends = activated || failed || (a.started && newState <= kDeviceStateDisconnected);
        if (activating || ends) {
          attempt = a;
          a.started = true;
          if (ends) attempts.erase(it);
        }
      }
    }
    if (attempt) {
      if (!attempt->started) Acm(*guid, wlan_notification_acm_connection_start, attempt->data);
      if (activated) {
        Acm(*guid, wlan_notification_acm_connection_complete, attempt->data);
      } else if (!activating) {
        ConnectionNotificationData d = attempt->data;
        d.reasonCode = ReasonCodeOfFailure(reason);
        Acm(*guid, wlan_notification_acm_connection_attempt_fail, d);
        Acm(*guid, wlan_notification_acm_connection_complete, d);
      }
      return;
    }
    const bool wasUp = oldState == kDeviceStateActivated || oldState == kDeviceStateDeactivating;
    if (wasUp && (failed || newState <= kDeviceStateDisconnected))
      Acm(*guid, wlan_notification_acm_disconnected, ConnectionNotificationData{});
  }

  void LastScanChanged(const QString& path) {
    if (const std::optional<Guid> guid = GuidOfPath(path))
      Acm(*guid, wlan_notification_acm_scan_complete);
  }

  void Msm(const Guid& guid, uint32_t code, Notification n) {
    n.source = WLAN_NOTIFICATION_SOURCE_MSM;
    n.code = code;
    n.interfaceGuid = guid;
    Deliver(n);
  }

  // An access point's strength changed: the signal quality of each device associated with it,
  // as the host gives it (a 32-bit quality 0..100, little-endian).
  void StrengthChanged(const QString& apPath, uint32_t strength) {
    const uint32_t quality = std::min<uint32_t>(strength, 100);
    for (const auto& [guid, device] : DeviceList()) {
      if (CurrentAccessPoint(device) != apPath) continue;
      Notification n;
      n.data = {static_cast<uint8_t>(quality), 0, 0, 0};
      Msm(guid, wlan_notification_msm_signal_quality_change, std::move(n));
    }
  }

  // The Wi-Fi switches changed: the radio state of every device.
  void RadioChanged() {
    uint32_t e = 0;
    const std::optional<PhyRadioState> radio = RadioState(&e);
    if (!radio) return;
    for (const auto& [guid, device] : DeviceList()) {
      Notification n;
      n.radio = *radio;
      Msm(guid, wlan_notification_msm_radio_state_change, std::move(n));
    }
  }
};

void NmSignalSink::OnDeviceStateChanged(const QDBusMessage& m) {
  const QList<QVariant> a = m.arguments();
  if (a.size() < 3) return;
  impl_->DeviceStateChanged(m.path(), a[0].toUInt(), a[1].toUInt(), a[2].toUInt());
}

void NmSignalSink::OnPropertiesChanged(const QDBusMessage& m) {
  const QList<QVariant> a = m.arguments();
  if (a.size() < 2) return;
  const QString iface = a[0].toString();
  const QVariantMap changed = qdbus_cast<QVariantMap>(a[1]);
  if (iface == kWirelessIface && changed.contains(QStringLiteral("LastScan"))) impl_->LastScanChanged(m.path());
  if (iface == kApIface && changed.contains(QStringLiteral("Strength")))
    impl_->StrengthChanged(m.path(), changed.value(QStringLiteral("Strength")).toUInt());
  if (iface == kManagerIface && (changed.contains(QStringLiteral("WirelessEnabled")) ||
                                 changed.contains(QStringLiteral("WirelessHardwareEnabled"))))
    impl_->RadioChanged();
}

NmWlanService::NmWlanService(const std::string& busAddress) : impl_(std::make_unique<Impl>()) {
  qDBusRegisterMetaType<NmSettingsMap>();
  static std::atomic<int> instance{0};
  const QString name = QStringLiteral("ovui-nm-%1").arg(instance++);
  impl_->bus = busAddress.empty() ? QDBusConnection::connectToBus(QDBusConnection::SystemBus, name)
                                  : QDBusConnection::connectToBus(QString::fromStdString(busAddress), name);
  impl_->sink = new NmSignalSink(impl_.get());
  impl_->sink->moveToThread(&impl_->thread);
  impl_->thread.start();
  if (impl_->bus.isConnected()) {
    impl_->bus.connect(kService, QString(), kDeviceIface, QStringLiteral("StateChanged"), impl_->sink,
                       SLOT(OnDeviceStateChanged(QDBusMessage)));
    impl_->bus.connect(kService, QString(), kPropertiesIface, QStringLiteral("PropertiesChanged"),
                       impl_->sink, SLOT(OnPropertiesChanged(QDBusMessage)));
  }
}

NmWlanService::~NmWlanService() {
  const QString name = impl_->bus.name();
  impl_->bus.disconnect(kService, QString(), kDeviceIface, QStringLiteral("StateChanged"), impl_->sink,
                        SLOT(OnDeviceStateChanged(QDBusMessage)));
  impl_->bus.disconnect(kService, QString(), kPropertiesIface, QStringLiteral("PropertiesChanged"),
                        impl_->sink, SLOT(OnPropertiesChanged(QDBusMessage)));
  impl_->thread.quit();
  impl_->thread.wait();
  delete impl_->sink;
  impl_->bus = QDBusConnection(QString());
  QDBusConnection::disconnectFromBus(name);
}

bool NmWlanService::Available() const {
  if (!impl_->bus.isConnected()) return false;
  const QDBusReply<bool> owned = impl_->bus.interface()->isServiceRegistered(kService);
  return owned.isValid() && owned.value();
}

uint32_t NmWlanService::OpenHandle(uint32_t clientVersion, uint32_t* negotiatedVersion,
                                   ClientHandle* handle) {
  if (clientVersion != 1 && clientVersion != kClientVersion2) return ERROR_INVALID_PARAMETER;
  if (!impl_->bus.isConnected()) return ERROR_SERVICE_NOT_ACTIVE;
  std::lock_guard lock(impl_->mutex);
  const ClientHandle h = impl_->nextHandle++;
  impl_->handles[h] = {};
  if (negotiatedVersion) *negotiatedVersion = kClientVersion2;
  *handle = h;
  return ERROR_SUCCESS;
}

uint32_t NmWlanService::CloseHandle(ClientHandle handle) {
  std::lock_guard lock(impl_->mutex);
  return impl_->handles.erase(handle) != 0 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

uint32_t NmWlanService::EnumInterfaces(ClientHandle handle, std::vector<InterfaceInfo>* interfaces) {
  if (!impl_->HandleValid(handle)) return ERROR_INVALID_HANDLE;
  std::vector<InterfaceInfo> out;
  if (uint32_t e = impl_->ReadDevices(&out); e != ERROR_SUCCESS) return e;
  *interfaces = std::move(out);
  return ERROR_SUCCESS;
}

uint32_t NmWlanService::QueryInterface(ClientHandle handle, const Guid& guid, InterfaceOpcode opcode,
                                       InterfaceQueryResult* result) {
  if (!impl_->HandleValid(handle)) return ERROR_INVALID_HANDLE;
  QString path;
  if (uint32_t e = impl_->DevicePath(guid, &path); e != ERROR_SUCCESS) return e;
  uint32_t e = 0;
  InterfaceQueryResult r;
  r.opcode = opcode;
  if (opcode == wlan_intf_opcode_radio_state) {
    const std::optional<PhyRadioState> radio = impl_->RadioState(&e);
    if (!radio) return e;
    r.radio = {*radio};
    *result = r;
    return ERROR_SUCCESS;
  }
  const QVariantMap dev = impl_->GetAll(path, kDeviceIface, &e);
  if (e != ERROR_SUCCESS) return e;
  r.state = InterfaceStateOfDevice(dev.value(QStringLiteral("State")).toUInt());
  if (opcode == wlan_intf_opcode_interface_state) {
    *result = r;
    return ERROR_SUCCESS;
  }
  if (opcode != wlan_intf_opcode_current_connection && opcode != wlan_intf_opcode_rssi &&
      opcode != wlan_intf_opcode_channel_number && opcode != wlan_intf_opcode_bss_type)
    return ERROR_NOT_SUPPORTED;
  // The rest describe the association: none while not connected, as the host answers.
  if (r.state != wlan_interface_state_connected) return ERROR_INVALID_STATE;
  QString active;
  const QString apPath = impl_->CurrentAccessPoint(path, &active);
  AccessPointProperties ap;
  if (apPath.isEmpty() || impl_->ReadAccessPoint(apPath, &ap) != ERROR_SUCCESS) return ERROR_INVALID_STATE;
  const BssEntry bss = BssEntryFromAccessPoint(ap);
  r.rssi = bss.rssi;
  r.channel = ChannelOfFrequency(ap.frequencyMHz);
  r.bssType = bss.bssType;
  ConnectionAttributes& c = r.connection;
  c.state = r.state;
  const QString id = impl_->GetAll(active, kActiveIface, &e).value(QStringLiteral("Id")).toString();
  const QString prefix = QString::fromUtf8(kOwnConnectionPrefix);
  c.profileName = (id.startsWith(prefix) ? id.mid(prefix.size()) : id).toStdString();
  c.association.ssid = bss.ssid;
  c.association.bssType = bss.bssType;
  c.association.bssid = bss.bssid;
  c.association.phyType = bss.phyType;
  c.association.signalQuality = bss.linkQuality;
  const uint32_t bitrate = impl_->GetAll(path, kWirelessIface, &e).value(QStringLiteral("Bitrate")).toUInt();
  c.association.rxRateKbps = c.association.txRateKbps = bitrate;
  c.security.securityEnabled = (ap.flags & kApFlagsPrivacy) != 0;
  c.security.oneXEnabled = ((ap.wpaFlags | ap.rsnFlags) & kSecKeyMgmt8021x) != 0;
  *result = r;
  return ERROR_SUCCESS;
}

uint32_t NmWlanService::SetInterface(ClientHandle handle, const Guid& guid, InterfaceOpcode opcode,
                                     const PhyRadioState& radio) {
  if (!impl_->HandleValid(handle)) return ERROR_INVALID_HANDLE;
  QString path;
  if (uint32_t e = impl_->DevicePath(guid, &path); e != ERROR_SUCCESS) return e;
  if (opcode != wlan_intf_opcode_radio_state) return ERROR_NOT_SUPPORTED;
  if (radio.software != dot11_radio_state_on && radio.software != dot11_radio_state_off)
    return ERROR_INVALID_PARAMETER;
  // NetworkManager has one software switch for all its Wi-Fi devices.
  return impl_->CallError(impl_->Call(
      kManagerPath, kPropertiesIface, QStringLiteral("Set"),
      {kManagerIface, QStringLiteral("WirelessEnabled"),
       QVariant::fromValue(QDBusVariant(radio.software == dot11_radio_state_on))}));
}

uint32_t NmWlanService::Scan(ClientHandle handle, const Guid& guid, const std::optional<Ssid>& ssid,
                             const std::vector<uint8_t>&) {
  if (!impl_->HandleValid(handle)) return ERROR_INVALID_HANDLE;
  if (ssid && ssid->bytes.size() > kMaxSsidLength) return ERROR_INVALID_PARAMETER;
  QString path;
  if (uint32_t e = impl_->DevicePath(guid, &path); e != ERROR_SUCCESS) return e;
  QVariantMap options;
  if (ssid && !ssid->bytes.empty()) {
    const QByteArray bytes(reinterpret_cast<const char*>(ssid->bytes.data()),
                           static_cast<int>(ssid->bytes.size()));
    options[QStringLiteral("ssids")] = QVariant::fromValue(QList<QByteArray>{bytes});
  }
  return impl_->CallError(impl_->Call(path, kWirelessIface, QStringLiteral("RequestScan"), {options}));
}

uint32_t NmWlanService::GetNetworkBssList(ClientHandle handle, const Guid& guid,
                                          const std::optional<Ssid>& ssid, BssType bssType,
                                          bool securityEnabled, std::vector<BssEntry>* entries) {
  if (!impl_->HandleValid(handle)) return ERROR_INVALID_HANDLE;
  QString path;
  if (uint32_t e = impl_->DevicePath(guid, &path); e != ERROR_SUCCESS) return e;
  std::vector<std::pair<QString, AccessPointProperties>> aps;
  if (uint32_t e = impl_->ReadAccessPoints(path, &aps); e != ERROR_SUCCESS) return e;
  std::vector<BssEntry> out;
  for (const auto& [apPath, ap] : aps) {
    BssEntry entry = BssEntryFromAccessPoint(ap);
    if (ssid) {
      const bool secured = (ap.flags & kApFlagsPrivacy) != 0;
      if (entry.ssid != *ssid || secured != securityEnabled) continue;
      if (bssType != dot11_BSS_type_any && entry.bssType != bssType) continue;
    }
    out.push_back(std::move(entry));
  }
  *entries = std::move(out);
  return ERROR_SUCCESS;
}

uint32_t NmWlanService::GetAvailableNetworkList(ClientHandle handle, const Guid& guid, uint32_t,
                                                std::vector<AvailableNetwork>* networks) {
  if (!impl_->HandleValid(handle)) return ERROR_INVALID_HANDLE;
  QString path;
  if (uint32_t e = impl_->DevicePath(guid, &path); e != ERROR_SUCCESS) return e;
  std::vector<std::pair<QString, AccessPointProperties>> aps;
  if (uint32_t e = impl_->ReadAccessPoints(path, &aps); e != ERROR_SUCCESS) return e;
  const QString current = impl_->CurrentAccessPoint(path);
  std::vector<AccessPointProperties> list;
  std::optional<std::vector<uint8_t>> connectedSsid;
  for (auto& [apPath, ap] : aps) {
    if (apPath == current) connectedSsid = ap.ssid;
    list.push_back(std::move(ap));
  }
  *networks = AvailableNetworksFromAccessPoints(list, connectedSsid ? &*connectedSsid : nullptr);
  return ERROR_SUCCESS;
}

uint32_t NmWlanService::Connect(ClientHandle handle, const Guid& guid,
                                const ConnectionParameters& parameters) {
  if (!impl_->HandleValid(handle)) return ERROR_INVALID_HANDLE;
  QString device;
  if (uint32_t e = impl_->DevicePath(guid, &device); e != ERROR_SUCCESS) return e;

  ConnectionNotificationData data;
  data.mode = parameters.mode;
  QDBusMessage reply;
  if (parameters.mode == wlan_connection_mode_temporary_profile) {
    const TranslateResult t = TranslateProfile(parameters.profile);
    if (t.error != ERROR_SUCCESS) return ERROR_INVALID_PARAMETER;
    data.profileName = t.settings.profileName;
    data.ssid.bytes = t.settings.ssid;
    data.securityEnabled = !t.settings.keyMgmt.empty();
    data.profileXml = parameters.profile;
    // The strongest access point of the network, or "/" for NetworkManager's own choice.
    QString specific = QStringLiteral("/");
    std::vector<std::pair<QString, AccessPointProperties>> aps;
    if (impl_->ReadAccessPoints(device, &aps) == ERROR_SUCCESS) {
      int best = -1;
      for (const auto& [p, ap] : aps)
        if (ap.ssid == t.settings.ssid && ap.strength > best) {
          best = ap.strength;
          specific = p;
        }
    }
    {
      std::lock_guard lock(impl_->mutex);
      impl_->attempts[device] = {data, false};
    }
    reply = impl_->Call(kManagerPath, kManagerIface, QStringLiteral("AddAndActivateConnection"),
                        {QVariant::fromValue(ToDbusSettings(t.settings)),
                         QVariant::fromValue(QDBusObjectPath(device)),
                         QVariant::fromValue(QDBusObjectPath(specific))});
  } else if (parameters.mode == wlan_connection_mode_profile) {
    std::map<std::string, QString> own;
    if (uint32_t e = impl_->OwnConnections(&own); e != ERROR_SUCCESS) return e;
    const auto it = own.find(parameters.profile);
    if (it == own.end()) return ERROR_NOT_FOUND;
    data.profileName = parameters.profile;
    {
      std::lock_guard lock(impl_->mutex);
      impl_->attempts[device] = {data, false};
    }
    reply = impl_->Call(kManagerPath, kManagerIface, QStringLiteral("ActivateConnection"),
                        {QVariant::fromValue(QDBusObjectPath(it->second)),
                         QVariant::fromValue(QDBusObjectPath(device)),
                         QVariant::fromValue(QDBusObjectPath(QStringLiteral("/")))});
  } else {
    return ERROR_NOT_SUPPORTED;
  }
  const uint32_t e = impl_->CallError(reply);
  if (e != ERROR_SUCCESS) {
    // A refused request is reported by its result only.
    std::lock_guard lock(impl_->mutex);
    impl_->attempts.erase(device);
  }
  return e;
}

uint32_t NmWlanService::Disconnect(ClientHandle handle, const Guid& guid) {
  if (!impl_->HandleValid(handle)) return ERROR_INVALID_HANDLE;
  QString device;
  if (uint32_t e = impl_->DevicePath(guid, &device); e != ERROR_SUCCESS) return e;
  return impl_->CallError(impl_->Call(device, kDeviceIface, QStringLiteral("Disconnect")));
}

uint32_t NmWlanService::SetProfile(ClientHandle handle, const Guid& guid, uint32_t flags,
                                   const std::string& profileXml, bool overwrite,
                                   uint32_t* reasonCode) {
  if (!impl_->HandleValid(handle)) return ERROR_INVALID_HANDLE;
  if (flags != 0 && flags != WLAN_PROFILE_USER) return ERROR_INVALID_PARAMETER;
  QString device;
  if (uint32_t e = impl_->DevicePath(guid, &device); e != ERROR_SUCCESS) return e;
  const TranslateResult t = TranslateProfile(profileXml);
  if (t.error != ERROR_SUCCESS) {
    if (reasonCode) *reasonCode = t.reasonCode;
    return t.error;
  }
  std::map<std::string, QString> own;
  if (uint32_t e = impl_->OwnConnections(&own); e != ERROR_SUCCESS) return e;
  const QVariant settings = QVariant::fromValue(ToDbusSettings(t.settings));
  if (auto it = own.find(t.settings.profileName); it != own.end()) {
    if (!overwrite) return ERROR_ALREADY_EXISTS;
    return impl_->CallError(impl_->Call(it->second, kConnectionIface, QStringLiteral("Update"), {settings}));
  }
  return impl_->CallError(impl_->Call(kSettingsPath, kSettingsIface, QStringLiteral("AddConnection"), {settings}));
}

uint32_t NmWlanService::GetProfile(ClientHandle handle, const Guid&, const std::string&,
                                   std::string*, uint32_t*) {
  return impl_->HandleValid(handle) ? ERROR_NOT_SUPPORTED : ERROR_INVALID_HANDLE;
}

uint32_t NmWlanService::DeleteProfile(ClientHandle handle, const Guid& guid,
                                      const std::string& profileName) {
  if (!impl_->HandleValid(handle)) return ERROR_INVALID_HANDLE;
  QString device;
  if (uint32_t e = impl_->DevicePath(guid, &device); e != ERROR_SUCCESS) return e;
  std::map<std::string, QString> own;
  if (uint32_t e = impl_->OwnConnections(&own); e != ERROR_SUCCESS) return e;
  const auto it = own.find(profileName);
  if (it == own.end()) return ERROR_NOT_FOUND;
  return impl_->CallError(impl_->Call(it->second, kConnectionIface, QStringLiteral("Delete")));
}

uint32_t NmWlanService::GetProfileList(ClientHandle handle, const Guid& guid,
                                       std::vector<ProfileInfo>* profiles) {
  if (!impl_->HandleValid(handle)) return ERROR_INVALID_HANDLE;
  QString device;
  if (uint32_t e = impl_->DevicePath(guid, &device); e != ERROR_SUCCESS) return e;
  std::map<std::string, QString> own;
  if (uint32_t e = impl_->OwnConnections(&own); e != ERROR_SUCCESS) return e;
  profiles->clear();
  for (const auto& [name, path] : own) profiles->push_back(ProfileInfo{name, 0});
  return ERROR_SUCCESS;
}

uint32_t NmWlanService::SetProfileEapUserData(ClientHandle handle, const Guid&, const std::string&,
                                              const EapMethodType&, uint32_t,
                                              const std::vector<uint8_t>&) {
  return impl_->HandleValid(handle) ? ERROR_NOT_SUPPORTED : ERROR_INVALID_HANDLE;
}

uint32_t NmWlanService::SetProfileEapXmlUserData(ClientHandle handle, const Guid& guid,
                                                 const std::string& profileName, uint32_t,
                                                 const std::string& userDataXml) {
  if (!impl_->HandleValid(handle)) return ERROR_INVALID_HANDLE;
  QString device;
  if (uint32_t e = impl_->DevicePath(guid, &device); e != ERROR_SUCCESS) return e;
  const EapTranslation credentials = TranslateEapCredentials(userDataXml);
  if (credentials.reasonCode != 0) return ERROR_BAD_PROFILE;
  std::map<std::string, QString> own;
  if (uint32_t e = impl_->OwnConnections(&own); e != ERROR_SUCCESS) return e;
  const auto it = own.find(profileName);
  if (it == own.end()) return ERROR_NOT_FOUND;
  const QDBusMessage reply = impl_->Call(it->second, kConnectionIface, QStringLiteral("GetSettings"));
  if (uint32_t e = impl_->CallError(reply); e != ERROR_SUCCESS) return e;
  NmSettingsMap settings = qdbus_cast<NmSettingsMap>(reply.arguments().value(0));
  if (!settings.contains(QStringLiteral("802-1x"))) return ERROR_INVALID_PARAMETER;  // not an 802.1X profile
  // Only the account changes; the method and validation stay as the profile gave them.
  QVariantMap& x = settings[QStringLiteral("802-1x")];
  const EapSettings& c = credentials.settings;
  x[QStringLiteral("identity")] = QString::fromStdString(c.identity);
  if (!c.anonymousIdentity.empty())
    x[QStringLiteral("anonymous-identity")] = QString::fromStdString(c.anonymousIdentity);
  if (!c.password.empty()) x[QStringLiteral("password")] = QString::fromStdString(c.password);
  return impl_->CallError(
      impl_->Call(it->second, kConnectionIface, QStringLiteral("Update"), {QVariant::fromValue(settings)}));
}

uint32_t NmWlanService::IhvControl(ClientHandle handle, const Guid&, IhvControlType,
                                   const std::vector<uint8_t>&, uint32_t, std::vector<uint8_t>*) {
  return impl_->HandleValid(handle) ? ERROR_NOT_SUPPORTED : ERROR_INVALID_HANDLE;
}

uint32_t NmWlanService::SetSecuritySettings(ClientHandle handle, SecurableObject, const std::string&) {
  return impl_->HandleValid(handle) ? ERROR_NOT_SUPPORTED : ERROR_INVALID_HANDLE;
}

uint32_t NmWlanService::GetSecuritySettings(ClientHandle handle, SecurableObject, SecuritySettings*) {
  return impl_->HandleValid(handle) ? ERROR_NOT_SUPPORTED : ERROR_INVALID_HANDLE;
}

uint32_t NmWlanService::RegisterNotification(ClientHandle handle, uint32_t sourceMask, bool,
                                             NotificationCallback callback, uint32_t* previousMask) {
  std::lock_guard lock(impl_->mutex);
  auto it = impl_->handles.find(handle);
  if (it == impl_->handles.end()) return ERROR_INVALID_HANDLE;
  if (previousMask) *previousMask = it->second.mask;
  it->second.mask = sourceMask;
  it->second.callback = sourceMask == WLAN_NOTIFICATION_SOURCE_NONE ? NotificationCallback{} : std::move(callback);
  return ERROR_SUCCESS;
}

}  // namespace ov::wlan::nm

#include "nm_wlan_service.moc"
