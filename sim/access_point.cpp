#include "sim/access_point.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <cmath>
#include <filesystem>
#include <set>

#include "driver/channel_frequency.h"
#include "sim/element_constants.h"
#include "sim/pcap_beacon.h"
#include "sim/scenario.h"
#include "sim/wapi_certificate_check.h"
#include "platform/system/ascii_text.h"

namespace ov::sim {

namespace {

struct SecurityName {
  ApSecurity security;
  const char* name;
};
constexpr SecurityName kSecurityNames[] = {
    {ApSecurity::Open, "open"},
    {ApSecurity::WepOpen, "wep-open"},
    {ApSecurity::WepShared, "wep-shared"},
    {ApSecurity::WpaPsk, "wpa-psk"},
    {ApSecurity::Wpa2Psk, "wpa2-psk"},
    {ApSecurity::WpaWpa2Psk, "wpa-wpa2-psk"},
    {ApSecurity::Wpa2Enterprise, "wpa2-enterprise"},
    {ApSecurity::Cckm, "cckm"},
    {ApSecurity::WapiPsk, "wapi-psk"},
    {ApSecurity::WpaNone, "wpa-none"},
    {ApSecurity::WapiCert, "wapi-cert"},
};

bool IsHex(const std::string& text) {
  for (char c : text) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

std::vector<uint8_t> HexToBytes(const std::string& text) {
  std::vector<uint8_t> out;
  for (size_t i = 0; i + 1 < text.size(); i += 2) {
    out.push_back(static_cast<uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
  }
  return out;
}

class Fields {
 public:
  Fields(const QJsonObject& object, std::string* error) : object_(object), error_(error) {}

  bool onlyKnown(const std::set<QString>& known, const std::string& where) {
    for (auto it = object_.begin(); it != object_.end(); ++it) {
      if (!known.count(it.key())) {
        return fail(where + "unknown field \"" + it.key().toStdString() + "\"");
      }
    }
    return true;
  }
  bool has(const char* key) const { return object_.contains(key); }
  bool fail(const std::string& message) {
    *error_ = message;
    return false;
  }
  bool string(const char* key, std::string* out, size_t maxBytes) {
    if (!has(key)) return true;
    QJsonValue v = object_.value(key);
    std::string text = v.toString().toStdString();
    if (!v.isString() || text.size() > maxBytes || text.find('\0') != std::string::npos) {
      return fail(std::string(key) + ": must be a string of at most " + std::to_string(maxBytes) +
                  " bytes");
    }
    *out = text;
    return true;
  }
  bool boolean(const char* key, bool* out) {
    if (!has(key)) return true;
    if (!object_.value(key).isBool()) return fail(std::string(key) + ": must be true or false");
    *out = object_.value(key).toBool();
    return true;
  }
  bool integer(const char* key, int64_t min, int64_t max, int64_t* out) {
    if (!has(key)) return true;
    QJsonValue v = object_.value(key);
    double d = v.toDouble();
    if (!v.isDouble() || std::floor(d) != d || d < static_cast<double>(min) ||
        d > static_cast<double>(max)) {
      return fail(std::string(key) + ": must be a whole number from " + std::to_string(min) +
                  " to " + std::to_string(max));
    }
    *out = static_cast<int64_t>(d);
    return true;
  }
  QJsonValue value(const char* key) const { return object_.value(key); }

 private:
  const QJsonObject& object_;
  std::string* error_;
};

bool ReadUsers(const QJsonValue& value, std::vector<ApUser>* users, std::string* error) {
  if (!value.isArray()) {
    *error = "users: must be an array of accounts";
    return false;
  }
  QJsonArray array = value.toArray();
  for (qsizetype i = 0; i < array.size(); ++i) {
    std::string where = "users[" + std::to_string(i) + "].";
    if (!array[i].isObject()) {
      *error = where + ": must be an object";
      return false;
    }
    QJsonObject object = array[i].toObject();
    Fields f(object, error);
    if (!f.onlyKnown({"method", "identity", "password", "certificate_sha1", "comment"}, where)) {
      return false;
    }
    ApUser user;
    std::string method;
    if (!f.string("method", &method, 32) || !f.string("identity", &user.identity, 255) ||
        !f.string("password", &user.password, 255) ||
        !f.string("certificate_sha1", &user.certificateSha1, 40)) {
      *error = where + *error;
      return false;
    }
    if (method == "peap-mschapv2") {
      user.method = EapMethod::PeapMsChapV2;
    } else if (method == "eap-tls") {
      user.method = EapMethod::Tls;
    } else if (method == "leap") {
      user.method = EapMethod::Leap;
    } else if (method == "peap-gtc") {
      user.method = EapMethod::PeapGtc;
    } else if (method == "peap-tls") {
      user.method = EapMethod::PeapTls;
    } else if (method == "eap-fast") {
      user.method = EapMethod::EapFast;
    } else {
      *error = where + "method: \"" + method +
               "\" is not peap-mschapv2, peap-gtc, peap-tls, eap-tls, leap or eap-fast";
      return false;
    }
    if (user.identity.empty()) {
      *error = where + "identity: missing";
      return false;
    }
    if (!user.certificateSha1.empty() && (user.certificateSha1.size() != 40 || !IsHex(user.certificateSha1))) {
      *error = where + "certificate_sha1: must be 40 hexadecimal digits";
      return false;
    }
    user.certificateSha1 = AsciiLowered(user.certificateSha1);
    users->push_back(std::move(user));
  }
  return true;
}

bool ReadHt(const QJsonValue& value, AccessPointSpec* spec, std::string* error) {
  if (!value.isObject()) {
    *error = "ht: must be an object {\"width_mhz\": 20 or 40, \"secondary\": \"above\" or \"below\", \"streams\": 1..3}";
    return false;
  }
  QJsonObject object = value.toObject();
  Fields f(object, error);
  if (!f.onlyKnown({"width_mhz", "secondary", "streams", "comment"}, "ht.")) return false;
  int64_t width = 20;
  int64_t streams = 2;
  std::string secondary = "above";
  if (!f.integer("width_mhz", 20, 40, &width) || !f.integer("streams", 1, 3, &streams) ||
      !f.string("secondary", &secondary, 8)) {
    *error = "ht." + *error;
    return false;
  }
  if (width != 20 && width != 40) {
    *error = "ht.width_mhz: must be 20 or 40";
    return false;
  }
  if (secondary != "above" && secondary != "below") {
    *error = "ht.secondary: must be \"above\" or \"below\"";
    return false;
  }
  spec->ht = true;
  spec->htWidthMhz = static_cast<uint32_t>(width);
  spec->secondaryChannel = secondary == "above" ? 1 : -1;
  spec->spatialStreams = static_cast<uint32_t>(streams);
  return true;
}

bool ReadWps(const QJsonValue& value, AccessPointSpec* spec, std::string* error) {
  if (!value.isObject()) {
    *error = "wps: must be an object {\"mode\": \"idle\", \"push_button\" or \"pin\", ...}";
    return false;
  }
  QJsonObject object = value.toObject();
  Fields f(object, error);
  if (!f.onlyKnown({"mode", "configured", "locked", "pin", "comment"}, "wps.")) return false;
  std::string mode = "idle";
  if (!f.string("mode", &mode, 16) || !f.boolean("configured", &spec->wpsConfigured) ||
      !f.boolean("locked", &spec->wpsLocked) || !f.string("pin", &spec->wpsPin, 8)) {
    *error = "wps." + *error;
    return false;
  }
  if (!spec->wpsPin.empty() && (spec->wpsPin.size() != 8 ||
                                spec->wpsPin.find_first_not_of("0123456789") != std::string::npos)) {
    *error = "wps.pin: must be 8 digits";
    return false;
  }
  if (mode == "idle") {
    spec->wps = WpsMode::Idle;
  } else if (mode == "push_button") {
    spec->wps = WpsMode::PushButton;
  } else if (mode == "pin") {
    spec->wps = WpsMode::Pin;
  } else {
    *error = "wps.mode: \"" + mode + "\" is not idle, push_button or pin";
    return false;
  }
  return true;
}

// A WAPI certificate network's AS certificate, from a file beside the scenario.
bool ReadAsCertificate(Fields& f, const std::string& baseDir, AccessPointSpec* spec) {
  std::string file;
  if (!f.string("as_certificate", &file, 4096)) return false;
  if (spec->security != ApSecurity::WapiCert) {
    return !f.has("as_certificate") ||
           f.fail("as_certificate: only a wapi-cert network has an AS certificate");
  }
  if (file.empty()) return f.fail("as_certificate: missing (the AS certificate file, PEM or DER)");
  std::filesystem::path path(file);
  if (path.is_relative() && !baseDir.empty()) path = std::filesystem::path(baseDir) / path;
  std::string why;
  auto der = ReadCertificateDer(path.string(), &why);
  if (!der) return f.fail("as_certificate: " + why);
  spec->asCertificate = std::move(*der);
  return true;
}

bool CheckConsistent(const AccessPointSpec& s, std::string* error) {
  auto fail = [&](const std::string& message) {
    *error = message;
    return false;
  };
  if (!s.captured && s.ssid.empty() && !s.hidden) {
    return fail("ssid: missing (1 to 32 bytes; a hidden network still has one)");
  }
  if (IsPsk(s.security) && s.passphrase.empty() && s.psk.empty()) {
    return fail("passphrase: missing (security " + std::string(ApSecurityName(s.security)) +
                " needs \"passphrase\" or \"psk_hex\")");
  }
  if (!IsPsk(s.security) && (!s.passphrase.empty() || !s.psk.empty())) {
    return fail("passphrase: only the PSK kinds (wpa-psk, wpa2-psk, wpa-wpa2-psk, wapi-psk, wpa-none) take a key");
  }
  if (IsWep(s.security) != !s.wepKey.empty()) {
    return fail(IsWep(s.security) ? "wep_key: missing (10 or 26 hexadecimal digits)"
                                  : "wep_key: only the WEP kinds take a WEP key");
  }
  if (IsEnterprise(s.security) && s.users.empty()) {
    return fail("users: missing (an enterprise network needs at least one account)");
  }
  if (s.security == ApSecurity::WpaNone && !s.adhoc) {
    return fail("security: wpa-none is for ad hoc cells (\"bss_type\": \"adhoc\")");
  }
  if (s.adhoc && !(s.security == ApSecurity::Open || IsWep(s.security) ||
                   s.security == ApSecurity::WpaNone || s.security == ApSecurity::Wpa2Psk)) {
    return fail("security: an ad hoc cell is open, WEP, wpa-none or wpa2-psk");
  }
  if (s.adhoc && s.wps != WpsMode::Off) return fail("wps: an ad hoc cell has no WPS");
  if (AccessPointFrequencyKHz(s) == 0) {
    return fail("channel: " + std::to_string(s.channel) + " is no channel of the table");
  }
  if (s.ht && s.htWidthMhz == 40) {
    uint32_t secondary = static_cast<uint32_t>(static_cast<int32_t>(s.channel) +
                                               4 * s.secondaryChannel);
    if (FrequencyToChannel(ChannelToFrequency(secondary)) != secondary || secondary == 0 ||
        IsBand24Frequency(ChannelToFrequency(secondary)) != !IsAccessPoint5GHz(s)) {
      return fail("ht.secondary: channel " + std::to_string(secondary) + " is not in the band");
    }
  }
  return true;
}

}  // namespace

std::string_view ApSecurityName(ApSecurity security) {
  for (const SecurityName& n : kSecurityNames) {
    if (n.security == security) return n.name;
  }
  return "?";
}

bool IsWep(ApSecurity s) { return s == ApSecurity::WepOpen || s == ApSecurity::WepShared; }
bool IsPsk(ApSecurity s) {
  return s == ApSecurity::WpaPsk || s == ApSecurity::Wpa2Psk || s == ApSecurity::WpaWpa2Psk ||
         s == ApSecurity::WapiPsk || s == ApSecurity::WpaNone;
}
bool IsEnterprise(ApSecurity s) { return s == ApSecurity::Wpa2Enterprise || s == ApSecurity::Cckm; }

uint32_t AccessPointFrequencyKHz(const AccessPointSpec& spec) {
  uint32_t f = ChannelToFrequency(spec.channel);
  return FrequencyToChannel(f) == spec.channel ? f : 0;
}

bool IsAccessPoint5GHz(const AccessPointSpec& spec) {
  uint32_t f = AccessPointFrequencyKHz(spec);
  return f != 0 && !IsBand24Frequency(f);
}

bool ParseAccessPointJson(std::string_view json, const std::string& baseDir,
                          AccessPointSpec* out, std::string* error) {
  QJsonParseError parseError;
  QJsonDocument document = QJsonDocument::fromJson(
      QByteArray(json.data(), static_cast<qsizetype>(json.size())), &parseError);
  if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
    *error = "an access point must be a JSON object";
    return false;
  }
  QJsonObject object = document.object();
  Fields f(object, error);
  static const std::set<QString> kKnown = {
      "ssid",     "bssid",         "channel",       "signal_dbm",  "hidden",       "bss_type",
      "security", "cipher",        "passphrase",    "psk_hex",     "wep_key",      "wep_key_index",
      "users",    "ht",            "wmm",           "ccx_version", "device_name",  "beacon_period",
      "wps",      "beacon_pcap",   "beacon_frame",  "comment",     "as_certificate"};
  if (!f.onlyKnown(kKnown, "")) return false;

  AccessPointSpec s;
  std::string pcap;
  int64_t frame = 0;
  if (!f.string("beacon_pcap", &pcap, 4096) || !f.integer("beacon_frame", 0, 100000, &frame)) {
    return false;
  }
  if (!pcap.empty()) {
    std::filesystem::path path(pcap);
    if (path.is_relative() && !baseDir.empty()) path = std::filesystem::path(baseDir) / path;
    CapturedBeacon beacon;
    std::string why;
    if (!ReadBeaconFromPcapFile(path.string(), static_cast<uint32_t>(frame), &beacon, &why)) {
      return f.fail("beacon_pcap: " + why);
    }
    // What the capture says, unless the scenario says otherwise below.
    s.bssid = beacon.bssid;
    s.beaconPeriod = beacon.beaconPeriod;
    s.adhoc = (beacon.capability & ie::kCapIbss) != 0;
    auto ssid = FindElement(beacon.elements, ie::kSsid);
    if (ssid.size() > ie::kHeaderSize) {
      s.ssid.assign(ssid.begin() + ie::kHeaderSize, ssid.end());
    }
    s.hidden = s.ssid.empty() || s.ssid.find_first_not_of('\0') == std::string::npos;
    if (s.hidden) s.ssid.clear();
    auto ds = FindElement(beacon.elements, ie::kDsParameterSet);
    if (ds.size() == 3) s.channel = ds[2];
    s.ht = !FindElement(beacon.elements, ie::kHtCapabilities).empty();
    s.captured = std::move(beacon);
  }

  if (!f.string("ssid", &s.ssid, 32)) return false;
  std::string text;
  if (f.has("bssid")) {
    if (!f.string("bssid", &text, 32)) return false;
    auto mac = ParseMac(text);
    if (!mac || ((*mac)[0] & 0x01) || *mac == MacAddress{}) {
      return f.fail("bssid: \"" + text + "\" is not a unicast MAC address such as 02:5A:0F:10:00:01");
    }
    s.bssid = *mac;
  } else if (!s.captured) {
    return f.fail("bssid: missing (a unicast MAC address)");
  }
  int64_t number = s.channel;
  if (!s.captured && !f.has("channel")) return f.fail("channel: missing");
  if (!f.integer("channel", 1, 196, &number)) return false;
  s.channel = static_cast<uint32_t>(number);
  number = s.signalDbm;
  if (!f.integer("signal_dbm", -120, 0, &number)) return false;
  s.signalDbm = static_cast<int32_t>(number);
  if (!f.boolean("hidden", &s.hidden)) return false;

  text = s.adhoc ? "adhoc" : "infrastructure";
  if (!f.string("bss_type", &text, 16)) return false;
  if (text != "infrastructure" && text != "adhoc") {
    return f.fail("bss_type: \"" + text + "\" is not infrastructure or adhoc");
  }
  s.adhoc = text == "adhoc";

  text = "open";
  if (!f.string("security", &text, 32)) return false;
  bool known = false;
  for (const SecurityName& n : kSecurityNames) {
    if (text == n.name) {
      s.security = n.security;
      known = true;
    }
  }
  if (!known) {
    return f.fail("security: \"" + text +
                  "\" is not open, wep-open, wep-shared, wpa-psk, wpa2-psk, wpa-wpa2-psk, "
                  "wpa2-enterprise, cckm, wapi-psk, wapi-cert or wpa-none");
  }
  if (f.has("cipher")) {
    if (!f.string("cipher", &text, 8)) return false;
    if (text != "tkip" && text != "ccmp") return f.fail("cipher: must be \"tkip\" or \"ccmp\"");
    s.cipher = text == "tkip" ? ApCipher::Tkip : ApCipher::Ccmp;
  }

  if (!f.string("passphrase", &s.passphrase, 63)) return false;
  if (!s.passphrase.empty()) {
    if (s.passphrase.size() < 8) return f.fail("passphrase: must be 8 to 63 characters");
    for (char c : s.passphrase) {
      if (c < 0x20 || c > 0x7E) return f.fail("passphrase: only printable ASCII characters");
    }
  }
  if (f.has("psk_hex")) {
    if (!f.string("psk_hex", &text, 64)) return false;
    if (text.size() != 64 || !IsHex(text)) return f.fail("psk_hex: must be 64 hexadecimal digits");
    if (!s.passphrase.empty()) return f.fail("psk_hex: give \"passphrase\" or \"psk_hex\", not both");
    s.psk = HexToBytes(text);
  }
  if (f.has("wep_key")) {
    if (!f.string("wep_key", &text, 26)) return false;
    if ((text.size() != 10 && text.size() != 26) || !IsHex(text)) {
      return f.fail("wep_key: must be 10 or 26 hexadecimal digits");
    }
    s.wepKey = HexToBytes(text);
  }
  number = 0;
  if (!f.integer("wep_key_index", 0, 3, &number)) return false;
  s.wepKeyIndex = static_cast<uint32_t>(number);
  if (f.has("users") && !ReadUsers(f.value("users"), &s.users, error)) return false;
  if (f.has("ht") && !ReadHt(f.value("ht"), &s, error)) return false;
  if (!f.boolean("wmm", &s.wmm)) return false;
  if (f.has("ccx_version")) {
    if (!f.integer("ccx_version", 1, 5, &number)) return false;
    s.ccxVersion = static_cast<uint8_t>(number);
  }
  if (!f.string("device_name", &s.deviceName, ie::kCcx1DeviceNameSize)) return false;
  number = s.beaconPeriod;
  if (!f.integer("beacon_period", 20, 1000, &number)) return false;
  s.beaconPeriod = static_cast<uint16_t>(number);
  if (f.has("wps") && !ReadWps(f.value("wps"), &s, error)) return false;
  if (!ReadAsCertificate(f, baseDir, &s)) return false;
  if (!CheckConsistent(s, error)) return false;
  *out = std::move(s);
  return true;
}

}  // namespace ov::sim
