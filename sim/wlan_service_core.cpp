#include "sim/wlan_service_core.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "sim/element_constants.h"
#include "sim/wapi_certificate_registry.h"
#include "sim/wlan_security.h"
#include "platform/system/ascii_text.h"

namespace ov::sim {

using namespace ov::wlan;
using namespace ov::wlan::protocol;

namespace {

constexpr uint32_t kServiceVersion = 2;
// 100 ns intervals between 1601-01-01 and 1970-01-01, the host's time origin.
constexpr uint64_t kFileTimeUnixEpoch = 116444736000000000ULL;
// The IHV diagnostic test: when each event comes after the request.
struct IhvStep {
  int64_t afterMs;
  uint32_t code;
};
constexpr IhvStep kDiagnosticTest[] = {
    {400, kIhvEventDiagChannelConnected},
    {800, 14},    // Beginning association test.
    {1200, 15},   // Beginning DHCP test.
    {1600, 17},   // Beginning DNS ping test.
    {2000, 21},   // Test complete.
    {2100, 22},   // Test passed.
    {2500, kIhvEventExitedDiagMode},
};
constexpr int64_t kIhvRefusalMs = 300;
constexpr uint8_t kIhvOui[3] = {0x00, 0x40, 0x96};
constexpr size_t kIhvHeaderSize = 8;  // OUI, 0x01, the u32 request code
constexpr size_t kIhvNameChars = 128;
constexpr char kDefaultSddl[] = "O:BAG:SYD:(A;;CCRC;;;BU)(A;;CCDCWPSDRCWD;;;BA)";
constexpr uint32_t kWlanWriteAccess = 0x70023;  // read, execute and write

uint32_t LinkQuality(int32_t rssi) {
  return static_cast<uint32_t>(std::clamp(2 * (rssi + 100), 0, 100));
}

// UTF-16LE up to the first NUL (or `maxChars`) → UTF-8.
std::string Utf16ToUtf8(std::span<const uint8_t> bytes, size_t maxChars) {
  std::string out;
  for (size_t i = 0; i + 1 < bytes.size() && i / 2 < maxChars; i += 2) {
    uint32_t c = bytes[i] | bytes[i + 1] << 8;
    if (c == 0) break;
    if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;  // no surrogate pairs in a profile name here
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | c >> 6);
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | c >> 12);
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

AuthCipherPair DefaultPair(ApSecurity s, bool wep40) {
  switch (s) {
    case ApSecurity::Open:
      return {DOT11_AUTH_ALGO_80211_OPEN, DOT11_CIPHER_ALGO_NONE};
    case ApSecurity::WepOpen:
      return {DOT11_AUTH_ALGO_80211_OPEN, wep40 ? DOT11_CIPHER_ALGO_WEP40 : DOT11_CIPHER_ALGO_WEP104};
    case ApSecurity::WepShared:
      return {DOT11_AUTH_ALGO_80211_SHARED_KEY, wep40 ? DOT11_CIPHER_ALGO_WEP40 : DOT11_CIPHER_ALGO_WEP104};
    case ApSecurity::WpaPsk:
      return {DOT11_AUTH_ALGO_WPA_PSK, DOT11_CIPHER_ALGO_TKIP};
    case ApSecurity::Wpa2Psk:
    case ApSecurity::WpaWpa2Psk:
      return {DOT11_AUTH_ALGO_RSNA_PSK, DOT11_CIPHER_ALGO_CCMP};
    case ApSecurity::Wpa2Enterprise:
      return {DOT11_AUTH_ALGO_RSNA, DOT11_CIPHER_ALGO_CCMP};
    case ApSecurity::Cckm:
      return {DOT11_AUTH_ALGO_WPA, DOT11_CIPHER_ALGO_TKIP};
    case ApSecurity::WapiPsk:
    case ApSecurity::WapiCert:
      return {DOT11_AUTH_ALGO_IHV_START, DOT11_CIPHER_ALGO_IHV_START};
    case ApSecurity::WpaNone:
      return {DOT11_AUTH_ALGO_WPA_NONE, DOT11_CIPHER_ALGO_TKIP};
  }
  return {};
}

}  // namespace

// ---- State ----

struct WlanServiceCore::Handle {
  ClientId client = 0;
  uint32_t mask = 0;
  bool ignoreDuplicate = false;
  std::optional<Notification> lastMsm;  // for duplicate suppression
};

struct WlanServiceCore::WorldAp {
  AccessPointSpec spec;
  BeaconFields beacon;
  int64_t bornMs = 0;  // its timer (TSF) counts from here
};

struct WlanServiceCore::StoredProfile {
  std::string name;
  std::string xml;
  uint32_t flags = 0;
  ProfileDocument document;
  std::optional<UserCredentials> credentials;
  std::string credentialsXml;  // as given, for the profile file
  std::vector<uint8_t> eapUserData;
};

struct WlanServiceCore::Connection {
  ConnectionMode mode = wlan_connection_mode_profile;
  std::string profileName;
  std::string profileXml;  // temporary profiles
  ProfileDocument document;
  std::optional<UserCredentials> credentials;
  uint32_t flags = 0;
  std::vector<MacAddress> desiredBssids;
  bool established = false;
  int64_t dueMs = 0;  // when the attempt ends (not established)
  // Once established:
  MacAddress bssid{};
  bool formedAdhoc = false;
  SecurityAttributes security;
  PhyType phyType = dot11_phy_type_unknown;
  uint32_t phyIndex = 0;
  uint32_t rateKbps = 0;
  uint32_t channel = 0;
  int32_t signalDbm = 0;
};

struct WlanServiceCore::Interface {
  SimulatedAdapter* adapter = nullptr;
  Guid guid{};
  std::string description;
  bool present = true;
  std::vector<PhyType> phys;
  std::vector<RadioState> software;  // per PHY
  bool hardwareOn = true;
  std::optional<int64_t> scanDueMs;
  std::vector<Ssid> directedSsids;  // probed by the running scan: hidden networks answer
  std::vector<BssEntry> cache;      // the last scan's results
  std::vector<StoredProfile> profiles;
  std::optional<Connection> connection;
  std::vector<std::pair<int64_t, uint32_t>> ihvEvents;  // due time, event code
  bool diagnosticMode = false;
};

WlanServiceCore::WlanServiceCore(const SimClock& clock)
    : clock_(clock),
      startMs_(clock.nowMs()),
      startFileTime_(kFileTimeUnixEpoch +
                     static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                               std::chrono::system_clock::now().time_since_epoch())
                                               .count()) *
                         10) {}

WlanServiceCore::~WlanServiceCore() = default;

WapiCertificateEvidence WlanServiceCore::wapiCertificateEvidence(const ProfileDocument& p) const {
  WapiCertificateEvidence evidence;
  if (!p.ihvWapi || p.wapiMode != "1") return evidence;
  evidence.installed = ReadInstalledWapiCertificate();
  evidence.unixSeconds =
      static_cast<int64_t>((hostTimestamp() - kFileTimeUnixEpoch) / 10000000ULL);
  return evidence;
}

uint64_t WlanServiceCore::hostTimestamp() const {
  return startFileTime_ + static_cast<uint64_t>(std::max<int64_t>(0, now() - startMs_)) * 10000;
}

int32_t WlanServiceCore::jitter() {
  random_ = random_ * 1664525u + 1013904223u;
  return static_cast<int32_t>((random_ >> 16) % (2 * kScanJitterDb + 1)) - kScanJitterDb;
}

// ---- The world ----

void WlanServiceCore::addInterface(SimulatedAdapter* adapter) {
  std::lock_guard lock(mutex_);
  auto iface = std::make_unique<Interface>();
  const AdapterSpec& spec = adapter->spec();
  iface->adapter = adapter;
  iface->guid = ParseGuid(spec.guid).value_or(Guid{});
  iface->description = spec.friendlyName.empty() ? spec.deviceDescription : spec.friendlyName;
  iface->phys = {dot11_phy_type_dsss, dot11_phy_type_hrdsss, dot11_phy_type_erp};
  if (spec.band5GHz) iface->phys.push_back(dot11_phy_type_ofdm);
  if (FamilySupportsHt(spec.family)) iface->phys.push_back(dot11_phy_type_ht);
  bool on = !adapter->radioOffByParameter();
  iface->software.assign(iface->phys.size(), on ? dot11_radio_state_on : dot11_radio_state_off);
  adapter->setRadio(on, true);
  if (!profileFolder_.empty()) loadProfiles(*iface);
  interfaces_.push_back(std::move(iface));
}

WlanServiceCore::Interface* WlanServiceCore::findInterface(const Guid& guid) {
  for (auto& i : interfaces_) {
    if (i->guid == guid && i->present) return i.get();
  }
  return nullptr;
}

WlanServiceCore::Interface* WlanServiceCore::findInterfaceByName(const std::string& name) {
  for (auto& i : interfaces_) {
    const std::string& own = i->adapter->spec().name;
    if (EqualsIgnoringAsciiCase(own, name)) {
      return i.get();
    }
  }
  return nullptr;
}

void WlanServiceCore::setInterfacePresent(const std::string& adapterName, bool present) {
  std::lock_guard lock(mutex_);
  Interface* iface = findInterfaceByName(adapterName);
  if (!iface || iface->present == present) return;
  if (!present) {
    if (iface->connection && iface->connection->established) {
      dropLink(*iface, WLAN_REASON_CODE_DRIVER_DISCONNECTED);
    }
    iface->connection.reset();
    iface->scanDueMs.reset();
    iface->ihvEvents.clear();
    iface->present = false;
    notify(WLAN_NOTIFICATION_SOURCE_ACM, wlan_notification_acm_interface_removal, iface->guid);
  } else {
    iface->present = true;
    iface->cache.clear();
    iface->adapter->setRadio(radioOn(*iface), iface->hardwareOn);
    notify(WLAN_NOTIFICATION_SOURCE_ACM, wlan_notification_acm_interface_arrival, iface->guid);
  }
}

void WlanServiceCore::accessPointModeChanged(const std::string& adapterName) {
  std::lock_guard lock(mutex_);
  Interface* iface = findInterfaceByName(adapterName);
  if (!iface || !iface->present || !iface->adapter->servesAccessPoint()) return;
  // Serving as an access point the adapter is no station: its link or attempt ends now and a
  // running scan ends without results when it falls due.
  if (iface->connection) {
    if (iface->connection->established) {
      dropLink(*iface, WLAN_REASON_CODE_DRIVER_DISCONNECTED);
    } else {
      failConnection(*iface, WLAN_REASON_CODE_DRIVER_DISCONNECTED);
    }
  }
}

bool WlanServiceCore::setHardwareRadio(const std::string& adapterName, bool on) {
  std::lock_guard lock(mutex_);
  Interface* iface = findInterfaceByName(adapterName);
  if (!iface) return false;
  if (iface->hardwareOn == on) return true;
  iface->hardwareOn = on;
  for (size_t i = 0; i < iface->phys.size(); ++i) radioChanged(*iface, i);
  return true;
}

bool WlanServiceCore::addAccessPoint(const AccessPointSpec& spec, std::string* error) {
  std::lock_guard lock(mutex_);
  if (findAp(spec.bssid)) {
    *error = "an access point with BSSID " + FormatMac(spec.bssid) + " exists already";
    return false;
  }
  auto ap = std::make_unique<WorldAp>();
  ap->spec = spec;
  ap->beacon = BuildBeacon(spec);
  // Access points were switched on at different times; their timers differ.
  ap->bornMs = now() - static_cast<int64_t>(3600000 + (spec.bssid[5] * 977 + spec.bssid[4] * 131) % 86400000);
  world_.push_back(std::move(ap));
  return true;
}

bool WlanServiceCore::removeAccessPoint(const MacAddress& bssid) {
  std::lock_guard lock(mutex_);
  auto it = std::find_if(world_.begin(), world_.end(),
                         [&](const auto& ap) { return ap->spec.bssid == bssid; });
  if (it == world_.end()) return false;
  for (auto& iface : interfaces_) {
    if (iface->connection && iface->connection->established && iface->connection->bssid == bssid) {
      dropLink(*iface, WLAN_REASON_CODE_NETWORK_NOT_AVAILABLE);
    }
  }
  world_.erase(it);
  return true;
}

bool WlanServiceCore::moveAccessPoint(const MacAddress& bssid, int32_t signalDbm) {
  std::lock_guard lock(mutex_);
  WorldAp* ap = findAp(bssid);
  if (!ap) return false;
  ap->spec.signalDbm = signalDbm;
  for (auto& iface : interfaces_) {
    Connection* c = iface->connection ? &*iface->connection : nullptr;
    if (!c || !c->established || c->bssid != bssid) continue;
    if (signalDbm < kAudibleDbm) {
      dropLink(*iface, WLAN_REASON_CODE_NETWORK_NOT_AVAILABLE);
      continue;
    }
    c->signalDbm = signalDbm;
    if (auto association = iface->adapter->association()) {
      association->signalDbm = signalDbm;
      association->linkQuality = LinkQuality(signalDbm);
      iface->adapter->setAssociation(association);
    }
  }
  return true;
}

std::vector<AccessPointSpec> WlanServiceCore::accessPoints() const {
  std::lock_guard lock(mutex_);
  std::vector<AccessPointSpec> out;
  for (const auto& ap : world_) out.push_back(ap->spec);
  return out;
}

// ---- Profile files ----
//
// One file per interface: "ovsimd-profiles 1", then per profile a line "profile FLAGS XMLBYTES
// USERBYTES" followed by the document and the user-credentials document, byte for byte. Written
// to a temporary file and renamed, so a crash leaves the old file or the new one.

namespace {
constexpr char kProfileFileMagic[] = "ovsimd-profiles 1\n";
}  // namespace

void WlanServiceCore::setProfileFolder(const std::string& folder) {
  std::lock_guard lock(mutex_);
  profileFolder_ = folder;
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  for (auto& iface : interfaces_) loadProfiles(*iface);
}

void WlanServiceCore::saveProfiles(const Interface& iface) {
  if (profileFolder_.empty()) return;
  std::filesystem::path path = std::filesystem::path(profileFolder_) / (FormatGuid(iface.guid) + ".profiles");
  std::filesystem::path temporary = path;
  temporary += ".new";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << kProfileFileMagic;
    for (const StoredProfile& p : iface.profiles) {
      out << "profile " << p.flags << " " << p.xml.size() << " " << p.credentialsXml.size() << "\n"
          << p.xml << p.credentialsXml;
    }
    if (!out.flush()) return;  // the old file stays
  }
  std::error_code ec;
  std::filesystem::rename(temporary, path, ec);
}

void WlanServiceCore::loadProfiles(Interface& iface) {
  std::filesystem::path path = std::filesystem::path(profileFolder_) / (FormatGuid(iface.guid) + ".profiles");
  std::ifstream in(path, std::ios::binary);
  if (!in) return;
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (text.rfind(kProfileFileMagic, 0) != 0) return;
  size_t at = sizeof kProfileFileMagic - 1;
  std::vector<StoredProfile> loaded;
  while (at < text.size()) {
    size_t newline = text.find('\n', at);
    if (newline == std::string::npos) break;
    std::istringstream header(text.substr(at, newline - at));
    std::string word;
    uint32_t flags = 0;
    size_t xmlBytes = 0;
    size_t userBytes = 0;
    if (!(header >> word >> flags >> xmlBytes >> userBytes) || word != "profile") break;
    at = newline + 1;
    if (xmlBytes > text.size() - at || userBytes > text.size() - at - xmlBytes) break;
    StoredProfile p;
    p.xml = text.substr(at, xmlBytes);
    p.credentialsXml = text.substr(at + xmlBytes, userBytes);
    at += xmlBytes + userBytes;
    // Each document is checked again: a file edited by hand cannot smuggle one in.
    uint32_t reason = 0;
    if ((flags & ~WLAN_PROFILE_USER) || !ParseProfileDocument(p.xml, &p.document, &reason)) continue;
    p.name = p.document.name;
    p.flags = flags;
    UserCredentials credentials;
    if (!p.credentialsXml.empty() && ParseUserCredentials(p.credentialsXml, &credentials)) {
      p.credentials = std::move(credentials);
    } else {
      p.credentialsXml.clear();
    }
    if (std::none_of(loaded.begin(), loaded.end(), [&](const StoredProfile& q) { return q.name == p.name; })) {
      loaded.push_back(std::move(p));
    }
  }
  iface.profiles = std::move(loaded);
}

WlanServiceCore::WorldAp* WlanServiceCore::findAp(const MacAddress& bssid) {
  for (auto& ap : world_) {
    if (ap->spec.bssid == bssid) return ap.get();
  }
  return nullptr;
}

WlanServiceCore::StoredProfile* WlanServiceCore::findProfile(Interface& iface,
                                                              const std::string& name) {
  for (StoredProfile& p : iface.profiles) {
    if (p.name == name) return &p;
  }
  return nullptr;
}

// ---- Notifications ----

void WlanServiceCore::notify(uint32_t source, uint32_t code, const Guid& guid,
                             std::optional<ConnectionNotificationData> connection,
                             std::optional<PhyRadioState> radio, std::optional<uint32_t> reason,
                             std::vector<uint8_t> data) {
  Notification n;
  n.source = source;
  n.code = code;
  n.interfaceGuid = guid;
  n.connection = std::move(connection);
  n.radio = radio;
  n.reasonCode = reason;
  n.data = std::move(data);
  for (auto& [id, handle] : handles_) {
    if (!(handle->mask & source)) continue;
    // Duplicates are those of the media-specific module's state reports (radio, signal): a
    // repeated scan or connection report is news.
    if (source == WLAN_NOTIFICATION_SOURCE_MSM && handle->ignoreDuplicate) {
      if (handle->lastMsm && *handle->lastMsm == n) continue;
      handle->lastMsm = n;
    }
    outbox_.push_back({handle->client, id, n});
  }
}

ConnectionNotificationData WlanServiceCore::connectionData(const Connection& c,
                                                           uint32_t reason) const {
  ConnectionNotificationData d;
  d.mode = c.mode;
  d.profileName = c.profileName;
  d.ssid = Ssid{c.document.ssid};
  d.bssType = c.document.adhoc ? dot11_BSS_type_independent : dot11_BSS_type_infrastructure;
  d.securityEnabled = !(c.document.authentication == "open" && c.document.encryption == "none") ||
                      c.document.ihvWapi;
  d.reasonCode = reason;
  d.flags = c.flags;
  d.profileXml = c.mode == wlan_connection_mode_temporary_profile ? c.profileXml : std::string();
  return d;
}

std::vector<OutgoingNotification> WlanServiceCore::takeNotifications() {
  std::lock_guard lock(mutex_);
  std::vector<OutgoingNotification> out;
  out.swap(outbox_);
  return out;
}

// ---- Time ----

std::optional<int64_t> WlanServiceCore::nextEventMs() const {
  std::lock_guard lock(mutex_);
  std::optional<int64_t> next;
  auto consider = [&](int64_t t) { next = next ? std::min(*next, t) : t; };
  for (const auto& iface : interfaces_) {
    if (iface->scanDueMs) consider(*iface->scanDueMs);
    if (iface->connection && !iface->connection->established) consider(iface->connection->dueMs);
    for (const auto& [due, code] : iface->ihvEvents) consider(due);
  }
  return next;
}

void WlanServiceCore::advance() {
  std::lock_guard lock(mutex_);
  int64_t t = now();
  for (auto& iface : interfaces_) {
    // In the order the events fall due.
    for (;;) {
      int64_t scanAt = iface->scanDueMs.value_or(INT64_MAX);
      int64_t connectAt = iface->connection && !iface->connection->established
                              ? iface->connection->dueMs
                              : INT64_MAX;
      int64_t ihvAt = iface->ihvEvents.empty() ? INT64_MAX : iface->ihvEvents.front().first;
      int64_t first = std::min({scanAt, connectAt, ihvAt});
      if (first > t) break;
      if (first == scanAt) {
        completeScan(*iface);
      } else if (first == connectAt) {
        completeConnection(*iface);
      } else {
        uint32_t code = iface->ihvEvents.front().second;
        iface->ihvEvents.erase(iface->ihvEvents.begin());
        if (code == kIhvEventDiagChannelConnected) iface->diagnosticMode = true;
        if (code == kIhvEventExitedDiagMode) iface->diagnosticMode = false;
        std::vector<uint8_t> data = {static_cast<uint8_t>(code), static_cast<uint8_t>(code >> 8),
                                     static_cast<uint8_t>(code >> 16),
                                     static_cast<uint8_t>(code >> 24)};
        notify(WLAN_NOTIFICATION_SOURCE_IHV, 0, iface->guid, std::nullopt, std::nullopt,
               std::nullopt, std::move(data));
      }
    }
  }
}

void WlanServiceCore::queueIhvEvent(Interface& iface, int64_t atMs, uint32_t code) {
  iface.ihvEvents.emplace_back(atMs, code);
  std::stable_sort(iface.ihvEvents.begin(), iface.ihvEvents.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
}

BssEntry WlanServiceCore::bssEntryOf(const WorldAp& ap, int32_t rssi) const {
  const AccessPointSpec& s = ap.spec;
  BssEntry e;
  if (!s.hidden) e.ssid = Ssid::FromText(s.ssid);
  e.bssid = s.bssid;
  e.bssType = s.adhoc ? dot11_BSS_type_independent : dot11_BSS_type_infrastructure;
  e.phyType = ap.beacon.phyType;
  e.rssi = rssi;
  e.linkQuality = LinkQuality(rssi);
  e.inRegDomain = true;
  e.beaconPeriod = s.beaconPeriod;
  e.timestamp = static_cast<uint64_t>(std::max<int64_t>(0, now() - ap.bornMs)) * 1000;
  e.hostTimestamp = hostTimestamp();
  e.capabilityInformation = ap.beacon.capability;
  e.centerFrequencyKHz = AccessPointFrequencyKHz(s);
  e.rates = ap.beacon.rates;
  e.informationElements = ap.beacon.elements;
  if (e.informationElements.size() > kMaxInformationElements) {
    e.informationElements.resize(kMaxInformationElements);
  }
  return e;
}

void WlanServiceCore::completeScan(Interface& iface) {
  iface.scanDueMs.reset();
  if (!radioOn(iface)) {
    notify(WLAN_NOTIFICATION_SOURCE_ACM, wlan_notification_acm_scan_fail, iface.guid,
           std::nullopt, std::nullopt, ERROR_NDIS_DOT11_POWER_STATE_INVALID);
    return;
  }
  if (iface.adapter->servesAccessPoint()) {
    notify(WLAN_NOTIFICATION_SOURCE_ACM, wlan_notification_acm_scan_fail, iface.guid,
           std::nullopt, std::nullopt, ERROR_INVALID_STATE);
    return;
  }
  iface.cache.clear();
  for (const auto& ap : world_) {
    if (!iface.adapter->offersChannel(ap->spec.channel)) continue;
    int32_t rssi = std::clamp(ap->spec.signalDbm + jitter(), -120, 0);
    if (rssi < kAudibleDbm) continue;
    BssEntry e = bssEntryOf(*ap, rssi);
    // A hidden network answers a probe for its name.
    if (ap->spec.hidden) {
      for (const Ssid& probed : iface.directedSsids) {
        if (probed.text() == ap->spec.ssid) e.ssid = probed;
      }
    }
    iface.cache.push_back(std::move(e));
  }
  iface.directedSsids.clear();
  notify(WLAN_NOTIFICATION_SOURCE_ACM, wlan_notification_acm_scan_complete, iface.guid);
}

// ---- Connections ----

bool WlanServiceCore::radioOn(const Interface& iface) const {
  if (!iface.hardwareOn) return false;
  return std::any_of(iface.software.begin(), iface.software.end(),
                     [](RadioState s) { return s == dot11_radio_state_on; });
}

void WlanServiceCore::radioChanged(Interface& iface, size_t phyIndex) {
  bool on = radioOn(iface);
  if (!on && iface.connection) {
    if (iface.connection->established) {
      dropLink(iface, WLAN_REASON_CODE_DRIVER_DISCONNECTED);
    } else {
      failConnection(iface, WLAN_REASON_CODE_DRIVER_DISCONNECTED);
    }
  }
  iface.adapter->setRadio(std::any_of(iface.software.begin(), iface.software.end(),
                                      [](RadioState s) { return s == dot11_radio_state_on; }),
                          iface.hardwareOn);
  PhyRadioState state{static_cast<uint32_t>(phyIndex), iface.software[phyIndex],
                      iface.hardwareOn ? dot11_radio_state_on : dot11_radio_state_off};
  notify(WLAN_NOTIFICATION_SOURCE_MSM, wlan_notification_msm_radio_state_change, iface.guid,
         std::nullopt, state);
}

void WlanServiceCore::failConnection(Interface& iface, uint32_t reason) {
  Connection c = std::move(*iface.connection);
  iface.connection.reset();
  notify(WLAN_NOTIFICATION_SOURCE_ACM, wlan_notification_acm_connection_attempt_fail, iface.guid,
         connectionData(c, reason));
  notify(WLAN_NOTIFICATION_SOURCE_ACM, wlan_notification_acm_connection_complete, iface.guid,
         connectionData(c, reason));
}

void WlanServiceCore::dropLink(Interface& iface, uint32_t reason) {
  Connection c = std::move(*iface.connection);
  iface.connection.reset();
  iface.adapter->setAssociation(std::nullopt);
  notify(WLAN_NOTIFICATION_SOURCE_ACM, wlan_notification_acm_disconnected, iface.guid,
         connectionData(c, reason));
}

void WlanServiceCore::completeConnection(Interface& iface) {
  Connection& c = *iface.connection;
  // The strongest audible access point of the network.
  WorldAp* best = nullptr;
  for (auto& ap : world_) {
    const AccessPointSpec& s = ap->spec;
    if (std::vector<uint8_t>(s.ssid.begin(), s.ssid.end()) != c.document.ssid) continue;
    if (s.adhoc != c.document.adhoc || s.signalDbm < kAudibleDbm) continue;
    if (!iface.adapter->offersChannel(s.channel)) continue;
    if (s.hidden && !c.document.nonBroadcast && !(c.flags & WLAN_CONNECTION_HIDDEN_NETWORK)) {
      continue;
    }
    if (!c.desiredBssids.empty() &&
        std::find(c.desiredBssids.begin(), c.desiredBssids.end(), s.bssid) == c.desiredBssids.end()) {
      continue;
    }
    if (!best || s.signalDbm > best->spec.signalDbm) best = ap.get();
  }
  if (!best) {
    if (c.document.adhoc && !(c.flags & WLAN_CONNECTION_ADHOC_JOIN_ONLY)) {
      // Nobody to join: this station starts the cell itself.
      c.established = true;
      c.formedAdhoc = true;
      c.channel = 11;
      c.phyType = dot11_phy_type_erp;
      c.security = {c.document.encryption != "none", false, DOT11_AUTH_ALGO_80211_OPEN,
                    DOT11_CIPHER_ALGO_NONE};
      c.signalDbm = 0;
      c.rateKbps = 54000;
      notify(WLAN_NOTIFICATION_SOURCE_ACM, wlan_notification_acm_connection_complete, iface.guid,
             connectionData(c, WLAN_REASON_CODE_SUCCESS));
      return;
    }
    failConnection(iface, WLAN_REASON_CODE_NETWORK_NOT_AVAILABLE);
    return;
  }
  ConnectionVerdict verdict =
      JudgeConnection(best->spec, c.document, c.credentials, wapiCertificateEvidence(c.document));
  if (verdict.reasonCode != WLAN_REASON_CODE_SUCCESS) {
    failConnection(iface, verdict.reasonCode);
    return;
  }
  const AccessPointSpec& s = best->spec;
  c.established = true;
  c.bssid = s.bssid;
  c.security = verdict.security;
  c.phyType = best->beacon.phyType;
  auto phy = std::find(iface.phys.begin(), iface.phys.end(), c.phyType);
  c.phyIndex = static_cast<uint32_t>(phy - iface.phys.begin());
  c.rateKbps = MaxRateKbps(s, best->beacon);
  c.channel = s.channel;
  c.signalDbm = s.signalDbm;

  Association a;
  a.ssid.assign(s.ssid.begin(), s.ssid.end());
  a.bssid = s.bssid;
  a.frequencyKHz = AccessPointFrequencyKHz(s);
  a.signalDbm = s.signalDbm;
  a.linkQuality = LinkQuality(s.signalDbm);
  a.txRate = c.rateKbps / 500;
  a.ht = s.ht;
  a.fortyMhz = s.ht && s.htWidthMhz == 40;
  a.mcs = static_cast<uint8_t>(s.ht ? 8 * std::min<uint32_t>(s.spatialStreams, 3) - 1 : 0);
  iface.adapter->setAssociation(a);
  notify(WLAN_NOTIFICATION_SOURCE_ACM, wlan_notification_acm_connection_complete, iface.guid,
         connectionData(c, WLAN_REASON_CODE_SUCCESS));
}

// ---- Requests ----

bool WlanServiceCore::validHandle(ClientId client, ClientHandle handle) const {
  auto it = handles_.find(handle);
  return it != handles_.end() && it->second->client == client;
}

uint32_t WlanServiceCore::resolve(ClientId client, ClientHandle handle, const Guid& guid,
                                  Interface** out) {
  if (!validHandle(client, handle)) return ERROR_INVALID_HANDLE;
  *out = findInterface(guid);
  return *out ? ERROR_SUCCESS : ERROR_NOT_FOUND;
}

OpenHandleResponse WlanServiceCore::openHandle(ClientId client, const OpenHandleRequest& r) {
  std::lock_guard lock(mutex_);
  if (r.clientVersion != 1 && r.clientVersion != 2) return {ERROR_INVALID_PARAMETER, 0, 0};
  ClientHandle id = nextHandle_++;
  if (nextHandle_ == 0) nextHandle_ = 1;
  auto handle = std::make_unique<Handle>();
  handle->client = client;
  handles_[id] = std::move(handle);
  return {ERROR_SUCCESS, std::min(r.clientVersion, kServiceVersion), id};
}

StatusResponse WlanServiceCore::closeHandle(ClientId client, const CloseHandleRequest& r) {
  std::lock_guard lock(mutex_);
  if (!validHandle(client, r.handle)) return {ERROR_INVALID_HANDLE};
  handles_.erase(r.handle);
  return {ERROR_SUCCESS};
}

void WlanServiceCore::clientGone(ClientId client) {
  std::lock_guard lock(mutex_);
  std::erase_if(handles_, [&](const auto& entry) { return entry.second->client == client; });
}

EnumInterfacesResponse WlanServiceCore::enumInterfaces(ClientId client,
                                                       const EnumInterfacesRequest& r) {
  std::lock_guard lock(mutex_);
  if (!validHandle(client, r.handle)) return {ERROR_INVALID_HANDLE, {}};
  EnumInterfacesResponse response;
  for (const auto& iface : interfaces_) {
    if (!iface->present) continue;
    InterfaceState state = wlan_interface_state_disconnected;
    if (iface->connection) {
      state = !iface->connection->established ? wlan_interface_state_associating
              : iface->connection->formedAdhoc ? wlan_interface_state_ad_hoc_network_formed
                                               : wlan_interface_state_connected;
    }
    response.interfaces.push_back({iface->guid, iface->description, state});
  }
  return response;
}

QueryInterfaceResponse WlanServiceCore::queryInterface(ClientId client,
                                                       const QueryInterfaceRequest& r) {
  std::lock_guard lock(mutex_);
  Interface* iface = nullptr;
  if (uint32_t status = resolve(client, r.handle, r.guid, &iface)) return {status, {}};
  QueryInterfaceResponse response;
  InterfaceQueryResult& q = response.result;
  q.opcode = r.opcode;
  const Connection* c = iface->connection ? &*iface->connection : nullptr;
  bool linked = c && c->established;
  InterfaceState state = wlan_interface_state_disconnected;
  if (c) {
    state = !c->established   ? wlan_interface_state_associating
            : c->formedAdhoc ? wlan_interface_state_ad_hoc_network_formed
                             : wlan_interface_state_connected;
  }
  switch (r.opcode) {
    case wlan_intf_opcode_interface_state:
      q.state = state;
      break;
    case wlan_intf_opcode_bss_type:
      q.bssType = !c ? dot11_BSS_type_any
                     : (c->document.adhoc ? dot11_BSS_type_independent : dot11_BSS_type_infrastructure);
      break;
    case wlan_intf_opcode_current_connection: {
      if (!linked) return {ERROR_INVALID_STATE, {}};
      ConnectionAttributes& a = q.connection;
      a.state = state;
      a.mode = c->mode;
      a.profileName = c->profileName;
      a.association.ssid = Ssid{c->document.ssid};
      a.association.bssType = c->document.adhoc ? dot11_BSS_type_independent
                                                : dot11_BSS_type_infrastructure;
      a.association.bssid = c->bssid;
      a.association.phyType = c->phyType;
      a.association.phyIndex = c->phyIndex;
      a.association.signalQuality = LinkQuality(c->signalDbm);
      a.association.rxRateKbps = c->rateKbps;
      a.association.txRateKbps = c->rateKbps;
      a.security = c->security;
      break;
    }
    case wlan_intf_opcode_radio_state:
      for (size_t i = 0; i < iface->phys.size(); ++i) {
        q.radio.push_back({static_cast<uint32_t>(i), iface->software[i],
                           iface->hardwareOn ? dot11_radio_state_on : dot11_radio_state_off});
      }
      break;
    case wlan_intf_opcode_channel_number:
      if (!linked) return {ERROR_INVALID_STATE, {}};
      q.channel = c->channel;
      break;
    case wlan_intf_opcode_supported_infrastructure_auth_cipher_pairs:
      q.pairs = {{DOT11_AUTH_ALGO_80211_OPEN, DOT11_CIPHER_ALGO_NONE},
                 {DOT11_AUTH_ALGO_80211_OPEN, DOT11_CIPHER_ALGO_WEP40},
                 {DOT11_AUTH_ALGO_80211_OPEN, DOT11_CIPHER_ALGO_WEP104},
                 {DOT11_AUTH_ALGO_80211_OPEN, DOT11_CIPHER_ALGO_WEP},
                 {DOT11_AUTH_ALGO_80211_SHARED_KEY, DOT11_CIPHER_ALGO_WEP40},
                 {DOT11_AUTH_ALGO_80211_SHARED_KEY, DOT11_CIPHER_ALGO_WEP104},
                 {DOT11_AUTH_ALGO_80211_SHARED_KEY, DOT11_CIPHER_ALGO_WEP},
                 {DOT11_AUTH_ALGO_WPA, DOT11_CIPHER_ALGO_TKIP},
                 {DOT11_AUTH_ALGO_WPA, DOT11_CIPHER_ALGO_CCMP},
                 {DOT11_AUTH_ALGO_WPA_PSK, DOT11_CIPHER_ALGO_TKIP},
                 {DOT11_AUTH_ALGO_WPA_PSK, DOT11_CIPHER_ALGO_CCMP},
                 {DOT11_AUTH_ALGO_RSNA, DOT11_CIPHER_ALGO_TKIP},
                 {DOT11_AUTH_ALGO_RSNA, DOT11_CIPHER_ALGO_CCMP},
                 {DOT11_AUTH_ALGO_RSNA_PSK, DOT11_CIPHER_ALGO_TKIP},
                 {DOT11_AUTH_ALGO_RSNA_PSK, DOT11_CIPHER_ALGO_CCMP}};
      break;
    case wlan_intf_opcode_supported_adhoc_auth_cipher_pairs:
      q.pairs = {{DOT11_AUTH_ALGO_80211_OPEN, DOT11_CIPHER_ALGO_NONE},
                 {DOT11_AUTH_ALGO_80211_OPEN, DOT11_CIPHER_ALGO_WEP40},
                 {DOT11_AUTH_ALGO_80211_OPEN, DOT11_CIPHER_ALGO_WEP104},
                 {DOT11_AUTH_ALGO_80211_OPEN, DOT11_CIPHER_ALGO_WEP},
                 {DOT11_AUTH_ALGO_WPA_NONE, DOT11_CIPHER_ALGO_TKIP},
                 {DOT11_AUTH_ALGO_RSNA_PSK, DOT11_CIPHER_ALGO_CCMP}};
      break;
    case wlan_intf_opcode_rssi:
      if (!linked) return {ERROR_INVALID_STATE, {}};
      q.rssi = c->signalDbm;
      break;
  }
  return response;
}

StatusResponse WlanServiceCore::setInterface(ClientId client, const SetInterfaceRequest& r) {
  std::lock_guard lock(mutex_);
  Interface* iface = nullptr;
  if (uint32_t status = resolve(client, r.handle, r.guid, &iface)) return {status};
  if (r.opcode != wlan_intf_opcode_radio_state) return {ERROR_NOT_SUPPORTED};
  if (r.radio.phyIndex >= iface->phys.size() || r.radio.software == dot11_radio_state_unknown) {
    return {ERROR_INVALID_PARAMETER};
  }
  // The hardware state belongs to the switch; asking for it to change is refused.
  if (r.radio.hardware != dot11_radio_state_unknown &&
      r.radio.hardware != (iface->hardwareOn ? dot11_radio_state_on : dot11_radio_state_off)) {
    return {ERROR_ACCESS_DENIED};
  }
  if (iface->software[r.radio.phyIndex] == r.radio.software) return {ERROR_SUCCESS};
  iface->software[r.radio.phyIndex] = r.radio.software;
  radioChanged(*iface, r.radio.phyIndex);
  return {ERROR_SUCCESS};
}

StatusResponse WlanServiceCore::scan(ClientId client, const ScanRequest& r) {
  std::lock_guard lock(mutex_);
  Interface* iface = nullptr;
  if (uint32_t status = resolve(client, r.handle, r.guid, &iface)) return {status};
  if (!radioOn(*iface)) return {ERROR_NDIS_DOT11_POWER_STATE_INVALID};
  if (iface->adapter->servesAccessPoint()) return {ERROR_INVALID_STATE};
  if (r.ssid) iface->directedSsids.push_back(*r.ssid);
  // A scan already running answers this request too.
  if (!iface->scanDueMs) iface->scanDueMs = now() + kScanDurationMs;
  return {ERROR_SUCCESS};
}

BssListResponse WlanServiceCore::getNetworkBssList(ClientId client,
                                                   const GetNetworkBssListRequest& r) {
  std::lock_guard lock(mutex_);
  Interface* iface = nullptr;
  if (uint32_t status = resolve(client, r.handle, r.guid, &iface)) return {status, {}};
  if (r.ssid && r.bssType == dot11_BSS_type_any) return {ERROR_INVALID_PARAMETER, {}};
  BssListResponse response;
  for (const BssEntry& e : iface->cache) {
    if (r.ssid) {
      bool privacy = (e.capabilityInformation & ie::kCapPrivacy) != 0;
      if (e.ssid != *r.ssid || e.bssType != r.bssType || privacy != r.securityEnabled) continue;
    } else if (r.bssType != dot11_BSS_type_any && e.bssType != r.bssType) {
      continue;
    }
    response.entries.push_back(e);
  }
  return response;
}

AvailableNetworkListResponse WlanServiceCore::getAvailableNetworkList(
    ClientId client, const GetAvailableNetworkListRequest& r) {
  std::lock_guard lock(mutex_);
  Interface* iface = nullptr;
  if (uint32_t status = resolve(client, r.handle, r.guid, &iface)) return {status, {}};
  if (r.flags & ~(WLAN_AVAILABLE_NETWORK_INCLUDE_ALL_ADHOC_PROFILES |
                  WLAN_AVAILABLE_NETWORK_INCLUDE_ALL_MANUAL_HIDDEN_PROFILES)) {
    return {ERROR_INVALID_PARAMETER, {}};
  }
  AvailableNetworkListResponse response;
  const Connection* c = iface->connection && iface->connection->established ? &*iface->connection : nullptr;
  for (const BssEntry& e : iface->cache) {
    if (e.ssid.bytes.empty()) continue;  // a hidden network has no name to list
    WorldAp* ap = findAp(e.bssid);
    AuthCipherPair pair = ap ? DefaultPair(ap->spec.security, ap->spec.wepKey.size() == 5)
                             : AuthCipherPair{};
    bool security = (e.capabilityInformation & ie::kCapPrivacy) != 0;
    auto same = [&](const AvailableNetwork& n) {
      return n.ssid == e.ssid && n.bssType == e.bssType && n.securityEnabled == security;
    };
    bool seen = std::any_of(response.networks.begin(), response.networks.end(), same);
    for (AvailableNetwork& n : response.networks) {
      if (!same(n)) continue;
      ++n.numberOfBssids;
      n.signalQuality = std::max(n.signalQuality, e.linkQuality);
      if (std::find(n.phyTypes.begin(), n.phyTypes.end(), e.phyType) == n.phyTypes.end() &&
          n.phyTypes.size() < 8) {
        n.phyTypes.push_back(e.phyType);
      }
    }
    if (seen) continue;
    AvailableNetwork base;
    base.ssid = e.ssid;
    base.bssType = e.bssType;
    base.numberOfBssids = 1;
    base.phyTypes = {e.phyType};
    base.signalQuality = e.linkQuality;
    base.securityEnabled = security;
    base.defaultAuth = pair.auth;
    base.defaultCipher = pair.cipher;
    // One entry per profile of the network, then the network itself.
    for (const StoredProfile& p : iface->profiles) {
      if (Ssid{p.document.ssid} != e.ssid || p.document.adhoc != (e.bssType == dot11_BSS_type_independent)) {
        continue;
      }
      AvailableNetwork n = base;
      n.profileName = p.name;
      n.flags = WLAN_AVAILABLE_NETWORK_HAS_PROFILE;
      if (c && c->profileName == p.name) n.flags |= WLAN_AVAILABLE_NETWORK_CONNECTED;
      response.networks.push_back(std::move(n));
    }
    if (c && c->profileName.empty() && Ssid{c->document.ssid} == e.ssid) {
      base.flags |= WLAN_AVAILABLE_NETWORK_CONNECTED;
    }
    response.networks.push_back(std::move(base));
  }
  return response;
}

StatusResponse WlanServiceCore::connect(ClientId client, const ConnectRequest& r) {
  std::lock_guard lock(mutex_);
  Interface* iface = nullptr;
  if (uint32_t status = resolve(client, r.handle, r.guid, &iface)) return {status};
  const ConnectionParameters& p = r.parameters;
  if (p.flags & ~(WLAN_CONNECTION_HIDDEN_NETWORK | WLAN_CONNECTION_ADHOC_JOIN_ONLY)) {
    return {ERROR_INVALID_PARAMETER};
  }
  Connection c;
  c.mode = p.mode;
  c.flags = p.flags;
  c.desiredBssids = p.desiredBssids;
  switch (p.mode) {
    case wlan_connection_mode_profile: {
      StoredProfile* stored = findProfile(*iface, p.profile);
      if (!stored) return {ERROR_NOT_FOUND};
      c.profileName = stored->name;
      c.document = stored->document;
      c.credentials = stored->credentials;
      break;
    }
    case wlan_connection_mode_temporary_profile: {
      uint32_t reason = 0;
      if (!ParseProfileDocument(p.profile, &c.document, &reason)) return {ERROR_BAD_PROFILE};
      c.profileName = c.document.name;
      c.profileXml = p.profile;
      break;
    }
    case wlan_connection_mode_discovery_secure:
    case wlan_connection_mode_discovery_unsecure: {
      if (!p.ssid || p.ssid->bytes.empty() || p.bssType == dot11_BSS_type_any) {
        return {ERROR_INVALID_PARAMETER};
      }
      // Discovery takes the network as it comes: without keys only an open one lets it in.
      c.document.ssid = p.ssid->bytes;
      c.document.adhoc = p.bssType == dot11_BSS_type_independent;
      c.document.nonBroadcast = (p.flags & WLAN_CONNECTION_HIDDEN_NETWORK) != 0;
      c.document.hasMsmSecurity = true;
      c.document.authentication = "open";
      c.document.encryption = "none";
      break;
    }
    default:
      return {ERROR_INVALID_PARAMETER};
  }
  if (p.bssType != dot11_BSS_type_any &&
      (p.bssType == dot11_BSS_type_independent) != c.document.adhoc) {
    return {ERROR_INVALID_PARAMETER};
  }
  if (!radioOn(*iface)) return {ERROR_NDIS_DOT11_POWER_STATE_INVALID};
  if (iface->adapter->servesAccessPoint()) return {ERROR_INVALID_STATE};

  // A running link or attempt ends first.
  if (iface->connection) {
    if (iface->connection->established) {
      dropLink(*iface, WLAN_REASON_CODE_SUCCESS);
    } else {
      failConnection(*iface, WLAN_REASON_CODE_USER_CANCELLED);
    }
  }
  int64_t duration = kAssociationMs;
  bool keyed = c.document.encryption != "none" || c.document.ihvWapi;
  if (keyed) duration += kKeyHandshakeMs;
  if (c.document.useOneX) duration += kEapExchangeMs;
  c.dueMs = now() + duration;
  iface->connection = std::move(c);
  notify(WLAN_NOTIFICATION_SOURCE_ACM, wlan_notification_acm_connection_start, iface->guid,
         connectionData(*iface->connection, WLAN_REASON_CODE_SUCCESS));
  return {ERROR_SUCCESS};
}

StatusResponse WlanServiceCore::disconnect(ClientId client, const DisconnectRequest& r) {
  std::lock_guard lock(mutex_);
  Interface* iface = nullptr;
  if (uint32_t status = resolve(client, r.handle, r.guid, &iface)) return {status};
  if (!iface->connection) return {ERROR_SUCCESS};
  if (iface->connection->established) {
    dropLink(*iface, WLAN_REASON_CODE_SUCCESS);
  } else {
    failConnection(*iface, WLAN_REASON_CODE_USER_CANCELLED);
  }
  return {ERROR_SUCCESS};
}

SetProfileResponse WlanServiceCore::setProfile(ClientId client, const SetProfileRequest& r) {
  std::lock_guard lock(mutex_);
  Interface* iface = nullptr;
  if (uint32_t status = resolve(client, r.handle, r.guid, &iface)) return {status, 0};
  if (r.flags & ~WLAN_PROFILE_USER) {
    return {r.flags & WLAN_PROFILE_GROUP_POLICY ? ERROR_ACCESS_DENIED : ERROR_INVALID_PARAMETER, 0};
  }
  StoredProfile profile;
  uint32_t reason = 0;
  if (!ParseProfileDocument(r.profileXml, &profile.document, &reason)) {
    return {ERROR_BAD_PROFILE, reason};
  }
  profile.name = profile.document.name;
  profile.xml = r.profileXml;
  profile.flags = r.flags;
  StoredProfile* existing = findProfile(*iface, profile.name);
  if (existing && !r.overwrite) return {ERROR_ALREADY_EXISTS, 0};
  if (existing) {
    *existing = std::move(profile);  // new settings, new credentials needed
  } else {
    iface->profiles.push_back(std::move(profile));
  }
  saveProfiles(*iface);
  notify(WLAN_NOTIFICATION_SOURCE_ACM, wlan_notification_acm_profile_change, iface->guid);
  return {ERROR_SUCCESS, WLAN_REASON_CODE_SUCCESS};
}

GetProfileResponse WlanServiceCore::getProfile(ClientId client, const GetProfileRequest& r) {
  std::lock_guard lock(mutex_);
  Interface* iface = nullptr;
  if (uint32_t status = resolve(client, r.handle, r.guid, &iface)) return {status, {}, 0};
  StoredProfile* p = findProfile(*iface, r.profileName);
  if (!p) return {ERROR_NOT_FOUND, {}, 0};
  return {ERROR_SUCCESS, p->xml, p->flags};
}

StatusResponse WlanServiceCore::deleteProfile(ClientId client, const DeleteProfileRequest& r) {
  std::lock_guard lock(mutex_);
  Interface* iface = nullptr;
  if (uint32_t status = resolve(client, r.handle, r.guid, &iface)) return {status};
  auto it = std::find_if(iface->profiles.begin(), iface->profiles.end(),
                         [&](const StoredProfile& p) { return p.name == r.profileName; });
  if (it == iface->profiles.end()) return {ERROR_NOT_FOUND};
  iface->profiles.erase(it);
  saveProfiles(*iface);
  notify(WLAN_NOTIFICATION_SOURCE_ACM, wlan_notification_acm_profile_change, iface->guid);
  return {ERROR_SUCCESS};
}

ProfileListResponse WlanServiceCore::getProfileList(ClientId client,
                                                    const GetProfileListRequest& r) {
  std::lock_guard lock(mutex_);
  Interface* iface = nullptr;
  if (uint32_t status = resolve(client, r.handle, r.guid, &iface)) return {status, {}};
  ProfileListResponse response;
  for (const StoredProfile& p : iface->profiles) response.profiles.push_back({p.name, p.flags});
  return response;
}

StatusResponse WlanServiceCore::setProfileEapUserData(ClientId client,
                                                      const SetProfileEapUserDataRequest& r) {
  std::lock_guard lock(mutex_);
  Interface* iface = nullptr;
  if (uint32_t status = resolve(client, r.handle, r.guid, &iface)) return {status};
  StoredProfile* p = findProfile(*iface, r.profileName);
  if (!p) return {ERROR_NOT_FOUND};
  if (!p->document.useOneX) return {ERROR_INVALID_PARAMETER};
  p->eapUserData = r.userData;
  return {ERROR_SUCCESS};
}

StatusResponse WlanServiceCore::setProfileEapXmlUserData(
    ClientId client, const SetProfileEapXmlUserDataRequest& r) {
  std::lock_guard lock(mutex_);
  Interface* iface = nullptr;
  if (uint32_t status = resolve(client, r.handle, r.guid, &iface)) return {status};
  StoredProfile* p = findProfile(*iface, r.profileName);
  if (!p) return {ERROR_NOT_FOUND};
  if (!p->document.useOneX) return {ERROR_INVALID_PARAMETER};
  if (r.userDataXml.empty()) {
    p->credentials.reset();
    p->credentialsXml.clear();
  } else {
    UserCredentials credentials;
    if (!ParseUserCredentials(r.userDataXml, &credentials)) return {ERROR_BAD_PROFILE};
    p->credentials = std::move(credentials);
    p->credentialsXml = r.userDataXml;
  }
  saveProfiles(*iface);
  return {ERROR_SUCCESS};
}

IhvControlResponse WlanServiceCore::ihvControl(ClientId client, const IhvControlRequest& r) {
  std::lock_guard lock(mutex_);
  Interface* iface = nullptr;
  if (uint32_t status = resolve(client, r.handle, r.guid, &iface)) return {status, {}};
  // Only the extension answers; the simulated driver has no IHV requests of its own.
  if (r.type != wlan_ihv_control_type_service) return {ERROR_NOT_SUPPORTED, {}};
  if (r.in.size() < kIhvHeaderSize || !std::equal(kIhvOui, kIhvOui + 3, r.in.begin()) ||
      r.in[3] != 0x01) {
    return {ERROR_INVALID_PARAMETER, {}};
  }
  uint32_t code = r.in[4] | r.in[5] << 8 | r.in[6] << 16 | static_cast<uint32_t>(r.in[7]) << 24;
  int64_t t = now();
  if (code == kIhvRequestDiagnose) {
    std::string name = Utf16ToUtf8(std::span<const uint8_t>(r.in).subspan(kIhvHeaderSize), kIhvNameChars);
    StoredProfile* p = findProfile(*iface, name);
    iface->ihvEvents.clear();
    if (!radioOn(*iface)) {
      queueIhvEvent(*iface, t, kIhvEventTestNotRun);
    } else if (iface->adapter->spec().ihvDiagnosticsSilent) {
      // Accepted, and never a word back: the utility's own watchdog has to end the test.
    } else if (!p || !p->document.diagnostics) {
      queueIhvEvent(*iface, t + kIhvRefusalMs, kIhvEventDiagChannelFailed);
    } else {
      for (const IhvStep& step : kDiagnosticTest) queueIhvEvent(*iface, t + step.afterMs, step.code);
    }
  } else if (code == kIhvRequestNormalMode) {
    bool testing = iface->diagnosticMode || !iface->ihvEvents.empty();
    iface->ihvEvents.clear();
    if (testing) queueIhvEvent(*iface, t, kIhvEventExitedDiagMode);
  } else {
    return {ERROR_NOT_SUPPORTED, {}};
  }
  // The extension's answer: a status word (0, accepted), the rest zero.
  return {ERROR_SUCCESS, std::vector<uint8_t>(r.outSize, 0)};
}

StatusResponse WlanServiceCore::setSecuritySettings(ClientId client,
                                                    const SetSecuritySettingsRequest& r) {
  std::lock_guard lock(mutex_);
  if (!validHandle(client, r.handle)) return {ERROR_INVALID_HANDLE};
  bool printable = std::all_of(r.sddl.begin(), r.sddl.end(),
                               [](unsigned char c) { return c >= 0x20 && c < 0x7F; });
  if (r.sddl.size() < 2 || !printable || (r.sddl.rfind("O:", 0) != 0 && r.sddl.rfind("D:", 0) != 0)) {
    return {ERROR_INVALID_PARAMETER};
  }
  securitySettings_[r.object] = r.sddl;
  return {ERROR_SUCCESS};
}

SecuritySettingsResponse WlanServiceCore::getSecuritySettings(
    ClientId client, const GetSecuritySettingsRequest& r) {
  std::lock_guard lock(mutex_);
  if (!validHandle(client, r.handle)) return {ERROR_INVALID_HANDLE, {}};
  SecuritySettingsResponse response;
  auto it = securitySettings_.find(r.object);
  response.settings.valueType = it == securitySettings_.end() ? wlan_opcode_value_type_query_only
                                                              : wlan_opcode_value_type_set_by_user;
  response.settings.sddl = it == securitySettings_.end() ? kDefaultSddl : it->second;
  response.settings.grantedAccess = kWlanWriteAccess;
  return response;
}

RegisterNotificationResponse WlanServiceCore::registerNotification(
    ClientId client, const RegisterNotificationRequest& r) {
  std::lock_guard lock(mutex_);
  if (!validHandle(client, r.handle)) return {ERROR_INVALID_HANDLE, 0};
  uint32_t known = WLAN_NOTIFICATION_SOURCE_ALL;
  if (r.sourceMask & ~known) return {ERROR_INVALID_PARAMETER, 0};
  Handle& h = *handles_[r.handle];
  uint32_t previous = h.mask;
  h.mask = r.sourceMask;
  h.ignoreDuplicate = r.ignoreDuplicate;
  h.lastMsm.reset();
  return {ERROR_SUCCESS, previous};
}

// ---- Dispatch ----

namespace {

template <typename Request, typename Method>
bool Dispatch(WlanServiceCore& core, ClientId client, std::span<const uint8_t> payload,
              std::vector<uint8_t>* out, Method method) {
  Request request;
  if (!DecodePayload(payload, &request)) return false;
  *out = EncodePayload((core.*method)(client, request));
  return true;
}

}  // namespace

bool WlanServiceCore::handleRequest(ClientId client, uint32_t type,
                                    std::span<const uint8_t> payload, std::vector<uint8_t>* out) {
  using C = WlanServiceCore;
  switch (type) {
    case kOpenHandle:
      return Dispatch<OpenHandleRequest>(*this, client, payload, out, &C::openHandle);
    case kCloseHandle:
      return Dispatch<CloseHandleRequest>(*this, client, payload, out, &C::closeHandle);
    case kEnumInterfaces:
      return Dispatch<EnumInterfacesRequest>(*this, client, payload, out, &C::enumInterfaces);
    case kQueryInterface:
      return Dispatch<QueryInterfaceRequest>(*this, client, payload, out, &C::queryInterface);
    case kSetInterface:
      return Dispatch<SetInterfaceRequest>(*this, client, payload, out, &C::setInterface);
    case kScan:
      return Dispatch<ScanRequest>(*this, client, payload, out, &C::scan);
    case kGetNetworkBssList:
      return Dispatch<GetNetworkBssListRequest>(*this, client, payload, out, &C::getNetworkBssList);
    case kGetAvailableNetworkList:
      return Dispatch<GetAvailableNetworkListRequest>(*this, client, payload, out,
                                                      &C::getAvailableNetworkList);
    case kConnect:
      return Dispatch<ConnectRequest>(*this, client, payload, out, &C::connect);
    case kDisconnect:
      return Dispatch<DisconnectRequest>(*this, client, payload, out, &C::disconnect);
    case kSetProfile:
      return Dispatch<SetProfileRequest>(*this, client, payload, out, &C::setProfile);
    case kGetProfile:
      return Dispatch<GetProfileRequest>(*this, client, payload, out, &C::getProfile);
    case kDeleteProfile:
      return Dispatch<DeleteProfileRequest>(*this, client, payload, out, &C::deleteProfile);
    case kGetProfileList:
      return Dispatch<GetProfileListRequest>(*this, client, payload, out, &C::getProfileList);
    case kSetProfileEapUserData:
      return Dispatch<SetProfileEapUserDataRequest>(*this, client, payload, out,
                                                    &C::setProfileEapUserData);
    case kSetProfileEapXmlUserData:
      return Dispatch<SetProfileEapXmlUserDataRequest>(*this, client, payload, out,
                                                       &C::setProfileEapXmlUserData);
    case kIhvControl:
      return Dispatch<IhvControlRequest>(*this, client, payload, out, &C::ihvControl);
    case kSetSecuritySettings:
      return Dispatch<SetSecuritySettingsRequest>(*this, client, payload, out,
                                                  &C::setSecuritySettings);
    case kGetSecuritySettings:
      return Dispatch<GetSecuritySettingsRequest>(*this, client, payload, out,
                                                  &C::getSecuritySettings);
    case kRegisterNotification:
      return Dispatch<RegisterNotificationRequest>(*this, client, payload, out,
                                                   &C::registerNotification);
    default:
      return false;
  }
}

}  // namespace ov::sim
