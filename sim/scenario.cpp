#include "sim/scenario.h"

#include "platform/system/regular_file.h"
#include "platform/system/ascii_text.h"
#include "platform/system/hex_text.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>

#include <cmath>
#include <filesystem>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

namespace ov::sim {

namespace {

std::string Quote(const QString& text) { return "\"" + text.toStdString() + "\""; }

std::string Upper(std::string_view text) { return AsciiUppered(text); }

// A JSON value as it would be written, for messages.
std::string ValueText(const QJsonValue& value) {
  QByteArray text = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
  return text.mid(1, text.size() - 2).toStdString();
}

bool IsPrintableAscii(std::string_view text) {
  for (unsigned char c : text) {
    if (c < 0x20 || c > 0x7E) return false;
  }
  return true;
}

std::string HexBytes(const uint8_t* bytes, size_t count) {
  return HexEncode(std::span<const uint8_t>(bytes, count));
}

// "{8-4-4-4-12}" in hexadecimal digits.
bool IsGuid(std::string_view text) {
  static constexpr std::string_view kShape = "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}";
  if (text.size() != kShape.size()) return false;
  for (size_t i = 0; i < kShape.size(); ++i) {
    if (kShape[i] == 'x' ? !IsHexDigit(text[i]) : text[i] != kShape[i]) return false;
  }
  return true;
}

bool IsAdapterName(std::string_view name) {
  if (name.empty() || name.size() > 32) return false;
  for (char c : name) {
    bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
              c == '_' || c == '-' || c == '.';
    if (!ok) return false;
  }
  return true;
}

// Reads one adapter object; `where` prefixes every message.
class AdapterReader {
 public:
  AdapterReader(const QJsonObject& object, std::string where)
      : object_(object), where_(std::move(where)) {}

  bool read(AdapterSpec* spec, std::string* error) {
    static const std::set<QString> kKnown = {
        "name",          "chip_family",        "hardware_id",      "compatible_ids",
        "friendly_name", "device_description", "manufacturer",     "location",
        "mac",           "receive_chains",     "band_5ghz",        "startup_delay_ms",
        "signal_dbm",    "guid",               "instance",         "ap_stations",
        "comment",       "no_40mhz_24ghz",     "no_40mhz_5ghz",    "ihv_diagnostics"};
    for (auto it = object_.begin(); it != object_.end(); ++it) {
      if (!kKnown.count(it.key())) return fail(error, "unknown field " + Quote(it.key()));
    }

    if (!requireString("name", &spec->name, error)) return false;
    if (!IsAdapterName(spec->name)) {
      return fail(error, "name: \"" + spec->name +
                             "\" must be 1 to 32 letters, digits, '_', '-' or '.'");
    }
    if (!readFamily(&spec->family, error)) return false;
    if (!readHardwareId(spec, error)) return false;
    if (!readCompatibleIds(&spec->compatibleIds, error)) return false;
    if (!optionalString("friendly_name", &spec->friendlyName, error)) return false;
    if (!requireString("device_description", &spec->deviceDescription, error)) return false;
    spec->manufacturer = "Orvane";
    if (!optionalString("manufacturer", &spec->manufacturer, error)) return false;
    spec->location = IsUsbFamily(spec->family) ? "Port_#0001.Hub_#0003"
                                               : "PCI bus 3, device 0, function 0";
    if (!optionalString("location", &spec->location, error)) return false;
    if (!readMac(&spec->mac, error)) return false;

    int64_t chains = 0;
    if (!requireInteger("receive_chains", 1, 3, &chains, error)) return false;
    spec->receiveChains = static_cast<int>(chains);
    if (!requireBool("band_5ghz", &spec->band5GHz, error)) return false;
    // The EEPROM's 40 MHz permissions, per band.
    if (object_.contains("no_40mhz_24ghz") && !requireBool("no_40mhz_24ghz", &spec->no40Mhz24, error)) return false;
    if (object_.contains("no_40mhz_5ghz") && !requireBool("no_40mhz_5ghz", &spec->no40Mhz5, error)) return false;
    int64_t delay = 0;
    if (!optionalInteger("startup_delay_ms", 0, 600000, &delay, error)) return false;
    spec->startupDelayMs = static_cast<uint32_t>(delay);
    int64_t signal = spec->signalDbm;
    if (!optionalInteger("signal_dbm", -120, 0, &signal, error)) return false;
    spec->signalDbm = static_cast<int32_t>(signal);
    std::string diagnostics = "answer";
    if (!optionalString("ihv_diagnostics", &diagnostics, error)) return false;
    if (diagnostics != "answer" && diagnostics != "silent") {
      return fail(error, "ihv_diagnostics: \"" + diagnostics + "\" must be \"answer\" or \"silent\"");
    }
    spec->ihvDiagnosticsSilent = diagnostics == "silent";

    if (!optionalString("guid", &spec->guid, error)) return false;
    if (spec->guid.empty()) {
      spec->guid = "{0F5A51D0-0000-4000-8000-" + HexBytes(spec->mac.data(), 6) + "}";
    } else if (!IsGuid(spec->guid)) {
      return fail(error, "guid: \"" + spec->guid +
                             "\" is not a GUID in braces such as {0F5A51D0-0000-4000-8000-025A0F000601}");
    }
    spec->guid = Upper(spec->guid);

    if (!optionalString("instance", &spec->instance, error)) return false;
    if (spec->instance.empty()) {
      // USB devices are named after their serial number, PCI devices after their slot.
      spec->instance = IsUsbFamily(spec->family)
                           ? HexBytes(spec->mac.data(), 6)
                           : "4&" + HexBytes(spec->mac.data() + 2, 4) + "&0&00E0";
    } else if (spec->instance.size() > 100 || !IsPrintableAscii(spec->instance) ||
               spec->instance.find('\\') != std::string::npos) {
      return fail(error, "instance: \"" + spec->instance +
                             "\" must be printable text without backslashes, at most 100 characters");
    }
    return readApStations(&spec->apStations, error);
  }

 private:
  bool fail(std::string* error, const std::string& message) {
    *error = where_ + "." + message;
    return false;
  }
  bool failMissing(std::string* error, const char* key, const char* what) {
    return fail(error, std::string(key) + ": missing (" + what + ")");
  }

  bool requireString(const char* key, std::string* out, std::string* error) {
    if (!object_.contains(key)) return failMissing(error, key, "a string");
    return optionalString(key, out, error);
  }
  bool optionalString(const char* key, std::string* out, std::string* error) {
    if (!object_.contains(key)) return true;
    QJsonValue v = object_.value(key);
    if (!v.isString()) return fail(error, std::string(key) + ": must be a string");
    std::string text = v.toString().toStdString();
    if (text.size() > 255 || text.find('\0') != std::string::npos) {
      return fail(error, std::string(key) + ": must be at most 255 bytes of text");
    }
    *out = text;
    return true;
  }
  bool requireBool(const char* key, bool* out, std::string* error) {
    if (!object_.contains(key)) return failMissing(error, key, "true or false");
    QJsonValue v = object_.value(key);
    if (!v.isBool()) return fail(error, std::string(key) + ": must be true or false");
    *out = v.toBool();
    return true;
  }
  bool requireInteger(const char* key, int64_t min, int64_t max, int64_t* out, std::string* error) {
    if (!object_.contains(key)) return failMissing(error, key, "a number");
    return optionalInteger(key, min, max, out, error);
  }
  bool optionalInteger(const char* key, int64_t min, int64_t max, int64_t* out,
                       std::string* error) {
    if (!object_.contains(key)) return true;
    QJsonValue v = object_.value(key);
    double d = v.toDouble();
    if (!v.isDouble() || std::floor(d) != d || d < static_cast<double>(min) ||
        d > static_cast<double>(max)) {
      return fail(error, std::string(key) + ": must be a whole number from " +
                             std::to_string(min) + " to " + std::to_string(max));
    }
    *out = static_cast<int64_t>(d);
    return true;
  }

  bool readFamily(ChipFamily* family, std::string* error) {
    if (!object_.contains("chip_family")) {
      return failMissing(error, "chip_family", "a family name WXP1..WXP5, WXU1..WXU6 or 0..10");
    }
    QJsonValue v = object_.value("chip_family");
    if (v.isString()) {
      auto named = ChipFamilyFromName(Upper(v.toString().toStdString()));
      if (named) {
        *family = *named;
        return true;
      }
    } else if (v.isDouble()) {
      double d = v.toDouble();
      if (std::floor(d) == d && d >= 0 && d <= 10) {
        *family = static_cast<ChipFamily>(static_cast<int>(d));
        return true;
      }
    }
    return fail(error, "chip_family: " + ValueText(v) +
                           " is no chip family (WXP1..WXP5, WXU1..WXU6 or 0..10)");
  }

  bool readHardwareId(AdapterSpec* spec, std::string* error) {
    if (!requireString("hardware_id", &spec->hardwareId, error)) return false;
    auto parts = SplitHardwareId(spec->hardwareId);
    if (!parts) {
      return fail(error, "hardware_id: \"" + spec->hardwareId +
                             "\" must be PCI\\<device> or USB\\<device>, printable, without spaces "
                             "or further backslashes");
    }
    std::string wanted = IsUsbFamily(spec->family) ? "USB" : "PCI";
    if (parts->bus != wanted) {
      return fail(error, "hardware_id: family " + std::string(ChipFamilyName(spec->family)) +
                             " is a " + wanted + " adapter but the identifier is on " + parts->bus);
    }
    return true;
  }

  bool readCompatibleIds(std::vector<std::string>* ids, std::string* error) {
    if (!object_.contains("compatible_ids")) return true;
    QJsonValue v = object_.value("compatible_ids");
    if (!v.isArray()) return fail(error, "compatible_ids: must be an array of strings");
    for (const QJsonValue& item : v.toArray()) {
      std::string text = item.toString().toStdString();
      if (!item.isString() || text.empty() || text.size() > 200 || !IsPrintableAscii(text)) {
        return fail(error, "compatible_ids: every item must be a non-empty printable string");
      }
      ids->push_back(text);
    }
    return true;
  }

  // [{"mac": "02:...", "signal_dbm": -50}, ...]: unicast, unique, at most kMaxApStations.
  bool readApStations(std::vector<ApStation>* stations, std::string* error) {
    if (!object_.contains("ap_stations")) return true;
    QJsonValue v = object_.value("ap_stations");
    if (!v.isArray()) return fail(error, "ap_stations: must be an array of stations");
    const QJsonArray items = v.toArray();
    if (items.size() > static_cast<qsizetype>(kMaxApStations)) {
      return fail(error, "ap_stations: at most " + std::to_string(kMaxApStations) + " stations");
    }
    for (qsizetype i = 0; i < items.size(); ++i) {
      const std::string at = "ap_stations[" + std::to_string(i) + "]";
      const QJsonObject item = items[i].toObject();
      if (!items[i].isObject()) return fail(error, at + ": must be an object");
      for (auto it = item.begin(); it != item.end(); ++it) {
        if (it.key() != "mac" && it.key() != "signal_dbm" && it.key() != "comment") {
          return fail(error, at + ": unknown field " + Quote(it.key()));
        }
      }
      ApStation station;
      auto mac = ParseMac(item.value("mac").toString().toStdString());
      if (!item.value("mac").isString() || !mac || ((*mac)[0] & 0x01) || *mac == MacAddress{}) {
        return fail(error, at + ".mac: must be a unicast MAC address such as 02:5A:0F:20:00:01");
      }
      for (const ApStation& other : *stations) {
        if (other.mac == *mac) return fail(error, at + ".mac: " + FormatMac(*mac) + " is listed twice");
      }
      station.mac = *mac;
      if (item.contains("signal_dbm")) {
        const QJsonValue dbm = item.value("signal_dbm");
        const double d = dbm.toDouble();
        if (!dbm.isDouble() || std::floor(d) != d || d < -120 || d > 0) {
          return fail(error, at + ".signal_dbm: must be a whole number from -120 to 0");
        }
        station.signalDbm = static_cast<int32_t>(d);
      }
      stations->push_back(station);
    }
    return true;
  }

  bool readMac(MacAddress* mac, std::string* error) {
    std::string text;
    if (!requireString("mac", &text, error)) return false;
    auto parsed = ParseMac(text);
    if (!parsed) {
      return fail(error, "mac: \"" + text +
                             "\" is not a MAC address (six hex octets such as 02:5A:0F:00:06:01)");
    }
    if ((*parsed)[0] & 0x01) {
      return fail(error, "mac: \"" + text + "\" is a group address; an adapter needs a unicast one");
    }
    if (*parsed == MacAddress{}) return fail(error, "mac: the all-zero address is no adapter address");
    *mac = *parsed;
    return true;
  }

  const QJsonObject& object_;
  std::string where_;
};

std::string DescribeOffset(std::string_view json, int offset) {
  int line = 1;
  int column = 1;
  for (int i = 0; i < offset && i < static_cast<int>(json.size()); ++i) {
    if (json[static_cast<size_t>(i)] == '\n') {
      ++line;
      column = 1;
    } else {
      ++column;
    }
  }
  return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

bool CheckUnique(const std::vector<AdapterSpec>& adapters, std::string* error) {
  for (size_t i = 0; i < adapters.size(); ++i) {
    for (size_t j = 0; j < i; ++j) {
      const AdapterSpec& a = adapters[j];
      const AdapterSpec& b = adapters[i];
      std::string where = "adapters[" + std::to_string(i) + "]";
      std::string other = " as adapters[" + std::to_string(j) + "]";
      if (Upper(a.name) == Upper(b.name)) {
        *error = where + ".name: \"" + b.name + "\" is used already" + other;
        return false;
      }
      if (a.mac == b.mac) {
        *error = where + ".mac: " + FormatMac(b.mac) + " is used already" + other;
        return false;
      }
      if (a.guid == b.guid) {
        *error = where + ".guid: " + b.guid + " is used already" + other;
        return false;
      }
      if (Upper(a.hardwareId) == Upper(b.hardwareId) && Upper(a.instance) == Upper(b.instance)) {
        *error = where + ".instance: \"" + b.instance + "\" of " + b.hardwareId +
                 " is used already" + other + " (give each an instance of its own)";
        return false;
      }
    }
  }
  return true;
}

}  // namespace

std::optional<MacAddress> ParseMac(std::string_view text) {
  if (text.size() != 17) return std::nullopt;
  char separator = text[2];
  if (separator != ':' && separator != '-') return std::nullopt;
  MacAddress mac{};
  for (size_t i = 0; i < 6; ++i) {
    char hi = text[i * 3];
    char lo = text[i * 3 + 1];
    if (!IsHexDigit(hi) || !IsHexDigit(lo)) return std::nullopt;
    if (i < 5 && text[i * 3 + 2] != separator) return std::nullopt;
    mac[i] = static_cast<uint8_t>(HexDigitValue(hi) << 4 | HexDigitValue(lo));
  }
  return mac;
}

std::string FormatMac(const MacAddress& mac, char separator) { return FormatMacAddress(mac, separator); }

std::optional<HardwareIdParts> SplitHardwareId(std::string_view hardwareId) {
  size_t slash = hardwareId.find('\\');
  if (slash == std::string_view::npos || hardwareId.size() > 200) return std::nullopt;
  HardwareIdParts parts{Upper(hardwareId.substr(0, slash)), std::string(hardwareId.substr(slash + 1))};
  if ((parts.bus != "PCI" && parts.bus != "USB") || parts.device.empty() ||
      parts.device.find('\\') != std::string::npos || !IsPrintableAscii(parts.device) ||
      parts.device.find(' ') != std::string::npos) {
    return std::nullopt;
  }
  return parts;
}

bool ParseScenario(std::string_view json, Scenario* scenario, std::string* error,
                   const std::string& baseDir) {
  QJsonParseError parseError;
  QJsonDocument document = QJsonDocument::fromJson(
      QByteArray(json.data(), static_cast<qsizetype>(json.size())), &parseError);
  if (parseError.error != QJsonParseError::NoError) {
    *error = "not valid JSON at " + DescribeOffset(json, parseError.offset) + ": " +
             parseError.errorString().toStdString();
    return false;
  }
  if (!document.isObject()) {
    *error = "the scenario must be a JSON object with an \"adapters\" array";
    return false;
  }
  QJsonObject top = document.object();
  for (auto it = top.begin(); it != top.end(); ++it) {
    if (it.key() != "adapters" && it.key() != "access_points" && it.key() != "comment") {
      *error = "unknown field " + Quote(it.key()) + " (expected \"adapters\", \"access_points\")";
      return false;
    }
  }
  if (!top.value("adapters").isArray()) {
    *error = top.contains("adapters") ? "adapters: must be an array"
                                      : "adapters: missing (an array of adapters)";
    return false;
  }
  Scenario result;
  QJsonArray adapters = top.value("adapters").toArray();
  for (qsizetype i = 0; i < adapters.size(); ++i) {
    std::string where = "adapters[" + std::to_string(i) + "]";
    if (!adapters[i].isObject()) {
      *error = where + ": must be an object";
      return false;
    }
    QJsonObject object = adapters[i].toObject();
    AdapterSpec spec;
    if (!AdapterReader(object, where).read(&spec, error)) return false;
    result.adapters.push_back(std::move(spec));
  }
  if (!CheckUnique(result.adapters, error)) return false;
  if (top.contains("access_points")) {
    if (!top.value("access_points").isArray()) {
      *error = "access_points: must be an array";
      return false;
    }
    QJsonArray points = top.value("access_points").toArray();
    for (qsizetype i = 0; i < points.size(); ++i) {
      std::string where = "access_points[" + std::to_string(i) + "]";
      if (!points[i].isObject()) {
        *error = where + ": must be an object";
        return false;
      }
      QByteArray text = QJsonDocument(points[i].toObject()).toJson(QJsonDocument::Compact);
      AccessPointSpec spec;
      std::string why;
      if (!ParseAccessPointJson(std::string_view(text.constData(), static_cast<size_t>(text.size())),
                                baseDir, &spec, &why)) {
        *error = where + "." + why;
        return false;
      }
      for (size_t j = 0; j < result.accessPoints.size(); ++j) {
        if (result.accessPoints[j].bssid == spec.bssid) {
          *error = where + ".bssid: " + FormatMac(spec.bssid) + " is used already as access_points[" +
                   std::to_string(j) + "]";
          return false;
        }
      }
      result.accessPoints.push_back(std::move(spec));
    }
  }
  *scenario = std::move(result);
  return true;
}

bool LoadScenarioFile(const std::string& path, Scenario* scenario, std::string* error) {
  // A scenario is a few kilobytes; a FIFO, a device or a huge file is refused, not read.
  constexpr size_t kScenarioMaxBytes = 4u << 20;
  std::string text;
  if (FileProblem problem = ReadRegularFile(path, kScenarioMaxBytes, text);
      problem != FileProblem::None) {
    *error = "cannot read the scenario file";
    if (problem == FileProblem::NotRegular || problem == FileProblem::TooLarge ||
        problem == FileProblem::PlantedLink) {
      *error += std::string(": it ") + DescribeFileProblem(problem);
    }
    return false;
  }
  return ParseScenario(text, scenario, error, std::filesystem::path(path).parent_path().string());
}

}  // namespace ov::sim
