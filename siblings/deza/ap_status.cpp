#include "siblings/deza/ap_status.h"

#include <sstream>

#include "driver/oid/oid_requests.h"
#include "driver/oid_channel.h"
#include "driver/os_version.h"
#include "platform/deviceio/device_io.h"
#include "platform/registry/registry.h"
#include "platform/time/virtual_clock.h"
#include "siblings/ovswap/sibling_switch.h"
#include "sim/sim_control_client.h"
#include "platform/system/ascii_text.h"
#include "platform/system/hex_text.h"

namespace ov::deza {

namespace {

constexpr std::string_view kDevicePrefix = "\\\\.\\";
// The control socket answers at once when it answers at all; the window must not hang on it.
constexpr int kControlTimeoutMs = 1000;

std::optional<int32_t> WholeNumber(std::string_view text, int32_t min, int32_t max) {
  if (text.empty() || text.size() > 11) return std::nullopt;
  size_t i = text[0] == '-' ? 1 : 0;
  if (i == text.size()) return std::nullopt;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  if (text[0] == '-') value = -value;
  if (value < min || value > max) return std::nullopt;
  return static_cast<int32_t>(value);
}

// "02:5a:0f:30:00:01" → "02-5A-0F-30-00-01"; nothing unless six two-digit hex octets.
std::optional<std::string> ProgramMacForm(std::string_view text) {
  if (text.size() != 17) return std::nullopt;
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (i % 3 == 2) {
      if (c != ':' && c != '-') return std::nullopt;
      out += '-';
    } else if (IsHexDigit(c)) {
      out += AsciiUpper(c);
    } else {
      return std::nullopt;
    }
  }
  return out;
}

}  // namespace

std::optional<std::vector<AssociatedStation>> ParseStationsReply(std::string_view reply,
                                                                 std::string* why) {
  std::istringstream in{std::string(reply)};
  std::string word;
  if (!(in >> word) || word != "ok") {
    *why = reply.starts_with("error ") ? std::string(reply.substr(6)) : "unexpected answer: " + std::string(reply);
    return std::nullopt;
  }
  std::vector<AssociatedStation> stations;
  while (in >> word) {
    const size_t slash = word.find('/');
    auto mac = ProgramMacForm(std::string_view(word).substr(0, slash));
    auto dbm = slash == std::string::npos ? std::nullopt
                                          : WholeNumber(std::string_view(word).substr(slash + 1), -120, 0);
    if (!mac || !dbm) {
      *why = "unexpected station entry: " + word;
      return std::nullopt;
    }
    stations.push_back({*mac, *dbm});
  }
  return stations;
}

std::string InstanceIdOfDevicePath(std::string_view devicePath) {
  if (!devicePath.starts_with(kDevicePrefix)) return {};
  std::string_view id = devicePath.substr(kDevicePrefix.size());
  if (id.size() < 3 || id.front() != '{' || id.back() != '}') return {};
  return std::string(id);
}

AccessPointStatus ReadAccessPointStatus(const std::string& hardwareId) {
  AccessPointStatus status;
  auto adapter = sibling::FindAdapter(hardwareId);
  if (!adapter) return status;

  SocketDeviceIo io;
  VirtualClock clock;  // one query, no retries
  OidChannel channel(io, clock);
  channel.setOsVersionCode(kLinuxOsVersionCode);
  channel.setDevicePath(adapter->devicePath);
  uint32_t mode = 0;
  if (!QueryOpMode(channel, mode)) {
    status.mode = AdapterMode::NoAnswer;
  } else {
    status.mode = mode == 1 ? AdapterMode::AccessPoint : AdapterMode::Station;
  }
  status.ssid = RegReadString(HKEY_LOCAL_MACHINE, adapter->adapterKeyPath, "SSID").value_or("");
  if (auto channelText = RegReadString(HKEY_LOCAL_MACHINE, adapter->adapterKeyPath, "Channel")) {
    if (auto number = WholeNumber(*channelText, 1, 255)) status.channel = static_cast<uint32_t>(*number);
  }
  if (status.mode != AdapterMode::AccessPoint) return status;

  const std::string id = InstanceIdOfDevicePath(adapter->devicePath);
  std::string reply, error;
  if (id.empty()) {
    status.stationsProblem = "the adapter's device path names no instance";
  } else if (!sim::SimControlRequest("stations " + id, &reply, &error, kControlTimeoutMs)) {
    status.stationsProblem = error;
  } else {
    status.stations = ParseStationsReply(reply, &status.stationsProblem);
  }
  return status;
}

std::string StatusText(const AccessPointStatus& status) {
  std::string text;
  switch (status.mode) {
    case AdapterMode::Absent:
      return "Adapter: not present\n";
    case AdapterMode::NoAnswer:
      text += "Mode: unknown (the driver does not answer)\n";
      break;
    case AdapterMode::Station:
      text += "Mode: station\n";
      break;
    case AdapterMode::AccessPoint:
      text += "Mode: access point\n";
      break;
  }
  text += "SSID: " + (status.ssid.empty() ? std::string("(none)") : status.ssid) + "\n";
  text += "Channel: " + (status.channel ? std::to_string(*status.channel) : std::string("(none)")) + "\n";
  if (status.mode != AdapterMode::AccessPoint) return text;
  if (!status.stations) return text + "Stations: unknown (" + status.stationsProblem + ")\n";
  text += "Stations: " + std::to_string(status.stations->size()) + "\n";
  for (const AssociatedStation& s : *status.stations) {
    text += "  " + s.mac + " " + std::to_string(s.signalDbm) + " dBm\n";
  }
  return text;
}

}  // namespace ov::deza
