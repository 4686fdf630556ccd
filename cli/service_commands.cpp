#include "cli/service_commands.h"

#include <algorithm>
#include <cstdio>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

#include "cli/cli.h"
#include "cli/secret_input.h"
#include "cli/survey_rows.h"
#include "platform/system/mac_address.h"
#include "nativewifi/xml_text.h"

namespace ov::cli {
namespace {

using namespace wlan;

constexpr const char* kStatusUsage = "usage: ovuictl status [--adapter NAME]\n";
constexpr const char* kConnectUsage = "usage: ovuictl connect [--adapter NAME] SSID\n";
constexpr const char* kProfileUsage = "usage: ovuictl profile list [--adapter NAME]\n";
constexpr auto kScanWait = std::chrono::seconds(20);

// A handle with the ACM notifications of one interface queued for the command's thread.
class ServiceHandle {
 public:
  explicit ServiceHandle(WlanService& service) : service_(service) {
    uint32_t version = 0;
    opened_ = service_.OpenHandle(kClientVersion2, &version, &handle_);
    if (opened_ != ERROR_SUCCESS) return;
    service_.RegisterNotification(
        handle_, WLAN_NOTIFICATION_SOURCE_ACM, false,
        [this](const Notification& n) {
          std::lock_guard lock(mutex_);
          queue_.push_back(n);
          arrived_.notify_all();
        },
        nullptr);
  }
  ~ServiceHandle() {
    if (opened_ == ERROR_SUCCESS) service_.CloseHandle(handle_);
  }
  uint32_t opened() const { return opened_; }
  ClientHandle handle() const { return handle_; }

  // The first notification of `guid` with one of `codes`, the others dropped; none by the deadline.
  std::optional<Notification> Wait(const Guid& guid, std::initializer_list<uint32_t> codes,
                                   std::chrono::steady_clock::time_point deadline) {
    std::unique_lock lock(mutex_);
    while (true) {
      while (!queue_.empty()) {
        Notification n = std::move(queue_.front());
        queue_.pop_front();
        if (n.interfaceGuid == guid && std::find(codes.begin(), codes.end(), n.code) != codes.end()) return n;
      }
      if (arrived_.wait_until(lock, deadline) == std::cv_status::timeout && queue_.empty()) return std::nullopt;
    }
  }

 private:
  WlanService& service_;
  ClientHandle handle_ = 0;
  uint32_t opened_ = ERROR_SERVICE_NOT_ACTIVE;
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<Notification> queue_;
};

// --adapter NAME and the remaining words; false on an unknown option.
bool ParseArgs(const std::vector<std::string>& args, std::string* adapter, std::vector<std::string>* words) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--adapter" && i + 1 < args.size()) {
      *adapter = args[++i];
    } else if (!args[i].empty() && args[i][0] == '-') {
      return false;
    } else {
      words->push_back(args[i]);
    }
  }
  return true;
}

const char* StateName(InterfaceState s) {
  switch (s) {
    case wlan_interface_state_connected: return "connected";
    case wlan_interface_state_ad_hoc_network_formed: return "ad hoc network formed";
    case wlan_interface_state_disconnecting: return "disconnecting";
    case wlan_interface_state_disconnected: return "disconnected";
    case wlan_interface_state_associating: return "associating";
    case wlan_interface_state_discovering: return "discovering";
    case wlan_interface_state_authenticating: return "authenticating";
    default: return "not ready";
  }
}

std::string Hex(const std::vector<uint8_t>& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (uint8_t b : bytes) {
    out += kDigits[b >> 4];
    out += kDigits[b & 0xF];
  }
  return out;
}

// The AKM suites (selector types) of an RSN or WPA element body after its group and pairwise
// lists: `oui` names the owner.
std::vector<uint8_t> AkmTypes(const uint8_t* p, size_t n, size_t start, const uint8_t (&oui)[3]) {
  std::vector<uint8_t> types;
  size_t at = start + 4;  // version already skipped; group suite
  if (at + 2 > n) return types;
  const size_t pairwise = p[at] | (p[at + 1] << 8);
  at += 2 + 4 * pairwise;
  if (at + 2 > n) return types;
  const size_t akms = p[at] | (p[at + 1] << 8);
  at += 2;
  for (size_t i = 0; i < akms && at + 4 <= n; ++i, at += 4)
    if (std::equal(oui, oui + 3, p + at)) types.push_back(p[at + 3]);
  return types;
}

// The handle's interface described as `adapter` (the first when empty); nothing, with the
// problem on `err`, when the service does not answer or has no such interface.
std::optional<InterfaceInfo> OpenInterface(WlanService& service, const ServiceHandle& h, const std::string& adapter,
                                           std::ostream& err) {
  if (h.opened() != ERROR_SUCCESS) {
    err << "ERROR: the wireless service does not answer (error " << h.opened() << ")\n";
    return std::nullopt;
  }
  std::optional<InterfaceInfo> chosen = FindServiceInterface(service, h.handle(), adapter);
  if (!chosen)
    err << "ERROR: no wireless interface" << (adapter.empty() ? "" : " described as \"" + adapter + "\"") << "\n";
  return chosen;
}

}  // namespace

std::string AnnouncedSecurity(const BssEntry& e) {
  static constexpr uint8_t kRsnOui[3] = {0x00, 0x0F, 0xAC};
  static constexpr uint8_t kWpaOui[3] = {0x00, 0x50, 0xF2};
  std::vector<uint8_t> rsn, wpa;
  bool haveRsn = false, haveWpa = false;
  const std::vector<uint8_t>& ies = e.informationElements;
  for (size_t i = 0; i + 2 <= ies.size() && i + 2 + ies[i + 1] <= ies.size(); i += 2 + ies[i + 1]) {
    const uint8_t* body = ies.data() + i + 2;
    const size_t len = ies[i + 1];
    if (ies[i] == 48 && len >= 2) {
      haveRsn = true;
      rsn = AkmTypes(body, len, 2, kRsnOui);
    } else if (ies[i] == 221 && len >= 6 && std::equal(kWpaOui, kWpaOui + 3, body) && body[3] == 1) {
      haveWpa = true;
      wpa = AkmTypes(body, len, 6, kWpaOui);
    }
  }
  auto kind = [](const std::vector<uint8_t>& akms, const char* family) {
    if (std::find(akms.begin(), akms.end(), 2) != akms.end()) return std::string(family) + "-PSK";
    return std::string(family) + "-802.1X";
  };
  if (haveRsn) return kind(rsn, "WPA2");
  if (haveWpa) return kind(wpa, "WPA");
  return (e.capabilityInformation & 0x0010) ? "WEP" : "open";
}

std::string ServiceConnectProfile(const Ssid& ssid, const std::string& security, const std::string& secret) {
  std::string auth, cipher, shared;
  if (security == "open") {
    auth = "open";
    cipher = "none";
  } else if (security == "WEP") {
    auth = "open";
    cipher = "WEP";
    // Text keys of 5 or 13 characters go as they are; hex keys too (the service tells them apart).
    shared = "<sharedKey><keyType>networkKey</keyType><protected>false</protected><keyMaterial>" +
             EscapeXmlText(secret) + "</keyMaterial></sharedKey>";
  } else if (security == "WPA2-PSK" || security == "WPA-PSK") {
    auth = security == "WPA2-PSK" ? "WPA2PSK" : "WPAPSK";
    cipher = security == "WPA2-PSK" ? "AES" : "TKIP";
    const char* type = secret.size() == 64 ? "networkKey" : "passPhrase";
    shared = std::string("<sharedKey><keyType>") + type + "</keyType><protected>false</protected><keyMaterial>" +
             EscapeXmlText(secret) + "</keyMaterial></sharedKey>";
  } else {
    return {};
  }
  const std::string text(ssid.bytes.begin(), ssid.bytes.end());
  return "<?xml version=\"1.0\"?><WLANProfile xmlns=\"http://www.microsoft.com/networking/WLAN/profile/v1\">"
         "<name>" + EscapeXmlText(ToXmlChars(text)) + "</name><SSIDConfig><SSID><hex>" + Hex(ssid.bytes) +
         "</hex></SSID></SSIDConfig><connectionType>ESS</connectionType><connectionMode>manual"
         "</connectionMode><MSM><security><authEncryption><authentication>" + auth +
         "</authentication><encryption>" + cipher + "</encryption><useOneX>false</useOneX>"
         "</authEncryption>" + shared + "</security></MSM></WLANProfile>";
}

std::optional<InterfaceInfo> FindServiceInterface(WlanService& service, ClientHandle handle, const std::string& name) {
  std::vector<InterfaceInfo> interfaces;
  if (service.EnumInterfaces(handle, &interfaces) != ERROR_SUCCESS) return std::nullopt;
  for (const InterfaceInfo& i : interfaces)
    if (name.empty() || i.description == name) return i;
  return std::nullopt;
}

int RunServiceStatus(WlanService& service, const std::vector<std::string>& args, std::ostream& out,
                     std::ostream& err) {
  std::string adapter;
  std::vector<std::string> words;
  if (!ParseArgs(args, &adapter, &words) || !words.empty()) return UsageError(err, "unexpected argument", kStatusUsage);
  ServiceHandle h(service);
  if (h.opened() != ERROR_SUCCESS) {
    err << "ERROR: the wireless service does not answer (error " << h.opened() << ")\n";
    return kExitFailed;
  }
  std::vector<InterfaceInfo> interfaces;
  if (const uint32_t e = service.EnumInterfaces(h.handle(), &interfaces); e != ERROR_SUCCESS) {
    err << "ERROR: the wireless service lists no interfaces (error " << e << ")\n";
    return kExitFailed;
  }
  out << "Driver: none (the wireless service's own interfaces; no vendor OIDs)\n";
  for (const InterfaceInfo& i : interfaces)
    out << "Interface: " << PrintableText(i.description, false) << " " << FormatGuid(i.guid) << " " << StateName(i.state) << "\n";
  const std::optional<InterfaceInfo> chosen = FindServiceInterface(service, h.handle(), adapter);
  if (!chosen) {
    err << "ERROR: no wireless interface" << (adapter.empty() ? "" : " described as \"" + adapter + "\"") << "\n";
    return kExitFailed;
  }
  InterfaceQueryResult q;
  if (service.QueryInterface(h.handle(), chosen->guid, wlan_intf_opcode_radio_state, &q) == ERROR_SUCCESS && !q.radio.empty())
    out << "Radio: software " << (q.radio[0].software == dot11_radio_state_off ? "off" : "on") << ", hardware "
        << (q.radio[0].hardware == dot11_radio_state_off ? "off" : "on") << "\n";
  if (service.QueryInterface(h.handle(), chosen->guid, wlan_intf_opcode_current_connection, &q) != ERROR_SUCCESS) {
    out << "Connection: none\n";
    return kExitOk;
  }
  const AssociationAttributes& a = q.connection.association;
  out << "Connection: " << PrintableText(q.connection.profileName, false) << "\n"
      << "SSID: " << PrintableText(a.ssid.text(), false) << "\n"
      << "BSSID: " << FormatMacAddress(a.bssid, ':') << "\n"
      << "Signal: " << a.signalQuality << "%\n";
  if (service.QueryInterface(h.handle(), chosen->guid, wlan_intf_opcode_channel_number, &q) == ERROR_SUCCESS)
    out << "Channel: " << q.channel << "\n";
  return kExitOk;
}

int RunServiceConnect(WlanService& service, const std::vector<std::string>& args, std::istream* secretInput,
                      std::ostream& out, std::ostream& err, std::chrono::milliseconds wait) {
  std::string adapter;
  std::vector<std::string> words;
  if (!ParseArgs(args, &adapter, &words) || words.size() != 1) return UsageError(err, "one SSID is needed", kConnectUsage);
  const Ssid ssid = Ssid::FromText(words[0]);
  if (ssid.bytes.empty() || ssid.bytes.size() > kMaxSsidLength) return UsageError(err, "an SSID has 1 to 32 bytes", kConnectUsage);
  ServiceHandle h(service);
  const std::optional<InterfaceInfo> chosen = OpenInterface(service, h, adapter, err);
  if (!chosen) return kExitFailed;
  const Guid guid = chosen->guid;
  if (const uint32_t e = service.Scan(h.handle(), guid, std::nullopt, {}); e != ERROR_SUCCESS) {
    err << "ERROR: the wireless service refused the scan (error " << e << ")\n";
    return kExitFailed;
  }
  const auto scanned = h.Wait(guid, {wlan_notification_acm_scan_complete, wlan_notification_acm_scan_fail},
                              std::chrono::steady_clock::now() + kScanWait);
  if (!scanned || scanned->code != wlan_notification_acm_scan_complete) {
    err << "ERROR: the scan did not complete\n";
    return kExitFailed;
  }
  std::vector<BssEntry> entries;
  if (const uint32_t e = service.GetNetworkBssList(h.handle(), guid, std::nullopt, dot11_BSS_type_any, false, &entries);
      e != ERROR_SUCCESS) {
    err << "ERROR: the wireless service gives no scan list (error " << e << ")\n";
    return kExitFailed;
  }
  const BssEntry* best = nullptr;
  for (const BssEntry& e : entries)
    if (e.ssid == ssid && (!best || e.linkQuality > best->linkQuality)) best = &e;
  if (!best) {
    err << "ERROR: no network \"" << PrintableText(words[0], false) << "\" in range\n";
    return kExitFailed;
  }
  const std::string security = AnnouncedSecurity(*best);
  std::string secret;
  if (security.find("802.1X") != std::string::npos) {
    err << "ERROR: \"" << PrintableText(words[0], false) << "\" uses " << security
        << ": make its profile in the utility, then activate it\n";
    return kExitFailed;
  }
  if (security != "open") {
    const std::string prompt = std::string(security == "WEP" ? "WEP key" : "passphrase") + " for \"" +
                               PrintableText(words[0], false) + "\": ";
    std::optional<std::string> given = ReadSecret(prompt, secretInput, err);
    if (!given || given->empty()) {
      err << "ERROR: no " << (security == "WEP" ? "WEP key" : "passphrase") << " was given (or it was too long)\n";
      return kExitFailed;
    }
    secret = std::move(*given);
    // Told here rather than as the service's bare refusal of the profile.
    const size_t n = secret.size();
    if (security == "WEP" && n != 5 && n != 13 && n != 10 && n != 26) {
      err << "ERROR: a WEP key has 5 or 13 characters or 10 or 26 hex digits\n";
      return kExitFailed;
    }
    if (security != "WEP" && (n < 8 || n > 64)) {
      err << "ERROR: a passphrase has 8 to 63 characters (or 64 hex digits)\n";
      return kExitFailed;
    }
  }
  ConnectionParameters p;
  p.mode = wlan_connection_mode_temporary_profile;
  p.profile = ServiceConnectProfile(ssid, security, secret);
  p.bssType = dot11_BSS_type_infrastructure;
  if (const uint32_t e = service.Connect(h.handle(), guid, p); e != ERROR_SUCCESS) {
    err << "ERROR: the wireless service refused the connection (error " << e << ")\n";
    return kExitFailed;
  }
  const auto end = h.Wait(guid, {wlan_notification_acm_connection_complete}, std::chrono::steady_clock::now() + wait);
  if (!end) {
    err << "ERROR: no answer within " << std::chrono::duration_cast<std::chrono::seconds>(wait).count() << " s\n";
    return kExitFailed;
  }
  const uint32_t reason = end->connection ? end->connection->reasonCode : WLAN_REASON_CODE_UNKNOWN;
  if (reason != WLAN_REASON_CODE_SUCCESS) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%X", reason);
    err << "ERROR: the connection to \"" << PrintableText(words[0], false) << "\" failed (reason " << code << ")\n";
    return kExitFailed;
  }
  out << "Connected to \"" << PrintableText(words[0], false) << "\" (" << security << ")\n";
  return kExitOk;
}

int RunServiceProfileList(WlanService& service, const std::vector<std::string>& args, std::ostream& out,
                          std::ostream& err) {
  std::string adapter;
  std::vector<std::string> words;
  if (!ParseArgs(args, &adapter, &words) || words != std::vector<std::string>{"list"})
    return UsageError(err, "without a vendor driver only \"profile list\" is offered", kProfileUsage);
  ServiceHandle h(service);
  const std::optional<InterfaceInfo> chosen = OpenInterface(service, h, adapter, err);
  if (!chosen) return kExitFailed;
  std::vector<ProfileInfo> profiles;
  if (const uint32_t e = service.GetProfileList(h.handle(), chosen->guid, &profiles); e != ERROR_SUCCESS) {
    err << "ERROR: the wireless service lists no profiles (error " << e << ")\n";
    return kExitFailed;
  }
  for (const ProfileInfo& p : profiles) out << PrintableText(p.name, false) << "\n";
  out << profiles.size() << (profiles.size() == 1 ? " profile" : " profiles") << " on \""
      << PrintableText(chosen->description, false) << "\"\n";
  return kExitOk;
}

}  // namespace ov::cli
