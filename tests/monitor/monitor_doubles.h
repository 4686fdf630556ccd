#pragma once
#include <QString>
#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "driver/oid/oid_constants.h"
#include "shell/connection_client.h"
#include "shell/monitor_seams.h"

// Recording doubles for the monitor's seams: what the monitor did is kept for the test to look
// at; what it asks is answered from fields the test sets.
namespace ov::test {

struct TrayCall {
  std::string op;  // "add", "modify", "remove", "menu"
  std::optional<TrayState> state;
  QString tip;
};

class RecordingTray final : public TrayIcon {
 public:
  bool available = true;       // the desktop has a notification area
  bool modifyFails = false;    // the notification area restarted: the icon is gone
  std::vector<TrayCall> calls;
  std::vector<std::vector<TrayMenuItem>> menus;

  bool Add(TrayState state, const QString& tip) override {
    calls.push_back({"add", state, tip});
    return available;
  }
  bool Modify(TrayState state, const QString& tip) override {
    calls.push_back({"modify", state, tip});
    return !modifyFails;
  }
  void Remove() override { calls.push_back({"remove", std::nullopt, {}}); }
  std::vector<std::pair<QString, QString>> notifications;
  void ShowNotification(const QString& title, const QString& text) override {
    notifications.emplace_back(title, text);
  }
  void PopupMenu(const std::vector<TrayMenuItem>& items) override {
    calls.push_back({"menu", std::nullopt, {}});
    menus.push_back(items);
  }
  size_t Count(const std::string& op) const {
    size_t n = 0;
    for (const auto& c : calls) n += c.op == op;
    return n;
  }
};

class RecordingDesktop final : public MonitorDesktop {
 public:
  std::vector<QString> messages;
  std::vector<std::pair<std::string, std::vector<std::string>>> programs;
  std::vector<std::string> documents;
  bool* busyDuringMessage = nullptr;  // the monitor's Busy flag, looked at inside the message
  std::vector<bool> busySeen;

  void ShowModalMessage(const QString& text) override {
    messages.push_back(text);
    if (busyDuringMessage) busySeen.push_back(*busyDuringMessage);
  }
  void StartProgram(const std::string& program, const std::vector<std::string>& args) override {
    programs.emplace_back(program, args);
  }
  void OpenDocument(const std::string& path) override { documents.push_back(path); }
};

class ScriptedSession final : public SessionSource {
 public:
  uint32_t active = 1;
  uint32_t ActiveSession() override { return active; }
};

class ScriptedWifi final : public MonitorWifi {
 public:
  std::optional<bool> connected = false;
  std::string ssid;
  MacAddress bssid{};
  std::optional<uint32_t> auth;
  std::optional<uint32_t> cipher;
  bool serviceRunning = true;
  std::vector<std::string> opened;
  std::vector<bool> radioSets;
  int profilesDeleted = 0;
  int completions = 0;

  bool OpenInterface(const std::string& description) override {
    opened.push_back(description);
    return true;
  }
  std::optional<bool> QueryConnected() override { return connected; }
  bool CurrentLink(std::string* s, MacAddress* b) override {
    *s = ssid;
    *b = bssid;
    return connected.value_or(false);
  }
  std::optional<uint32_t> CurrentAuthAlgorithm() override { return auth; }
  std::optional<uint32_t> CurrentCipherAlgorithm() override { return cipher; }
  void SetSoftwareRadio(bool on) override { radioSets.push_back(on); }
  bool DeleteAllProfiles() override {
    ++profilesDeleted;
    return true;
  }
  void ConnectionComplete(bool) override { ++completions; }
  bool ServiceRunning() override { return serviceRunning; }
  std::vector<MacAddress> adapterAddresses;
  void SetAdapterAddress(const MacAddress& mac) override { adapterAddresses.push_back(mac); }
  std::vector<std::string> serviceProfiles;  // stored in the service, by name
  std::vector<std::string> deletedServiceProfiles;
  bool ServiceProfileExists(std::string_view name) override {
    return std::find(serviceProfiles.begin(), serviceProfiles.end(), name) != serviceProfiles.end();
  }
  bool DeleteServiceProfile(std::string_view name) override {
    deletedServiceProfiles.emplace_back(name);
    std::erase(serviceProfiles, std::string(name));
    return true;
  }
};

// A driver that answers the OIDs the test put in `answers` (by query OID) and records sets.
class ScriptedDriver final : public OidRequester {
 public:
  std::map<uint32_t, std::vector<uint8_t>> answers;
  std::vector<std::pair<uint32_t, std::vector<uint8_t>>> sets;
  std::map<uint32_t, int> queries;

  void SetU32(uint32_t oid, uint32_t value) {
    std::vector<uint8_t> bytes(4);
    std::memcpy(bytes.data(), &value, 4);
    answers[oid] = bytes;
  }
  void SetI32(uint32_t oid, int32_t value) { SetU32(oid, static_cast<uint32_t>(value)); }

  bool QueryOid(uint32_t oid, uint8_t* buffer, uint32_t size, uint32_t* bytesReturned) override {
    ++queries[oid];
    auto it = answers.find(oid);
    if (it == answers.end() || it->second.size() > size) return false;
    std::memcpy(buffer, it->second.data(), it->second.size());
    if (bytesReturned) *bytesReturned = static_cast<uint32_t>(it->second.size());
    return true;
  }
  bool SetOid(uint32_t oid, uint8_t* buffer, uint32_t size, uint32_t* bytesReturned,
              int) override {
    sets.emplace_back(oid, std::vector<uint8_t>(buffer, buffer + size));
    if (bytesReturned) *bytesReturned = size;
    return true;
  }
  bool WasSet(uint32_t oid) const {
    for (const auto& s : sets)
      if (s.first == oid) return true;
    return false;
  }
};

class ScriptedAdapter final : public MonitorAdapter {
 public:
  ScriptedDriver driver;
  bool present = true;
  AdapterInfo found;
  int discoveries = 0;

  bool DiscoverAdapter(AdapterInfo& info) override {
    ++discoveries;
    if (!present) return false;
    info = found;
    return true;
  }
  bool IsDevicePresent() override { return present; }
  OidRequester& Driver() override { return driver; }
  void ClearUsbMatch() override {}
};

// The wireless client as the action queue sees it: scans and applications are counted.
class RecordingConnectionClient final : public ConnectionClient {
 public:
  int scans = 0;
  std::vector<std::string> applied;  // SSIDs of applied records
  bool connected = false;
  bool Scan() override {
    ++scans;
    return true;
  }
  bool ApplyProfile(uint32_t, StationProfile& record, bool, CertificateManager*) override {
    const size_t length = std::min<size_t>(record.ssid.SsidLength, record.ssid.Ssid.size());
    applied.emplace_back(reinterpret_cast<const char*>(record.ssid.Ssid.data()), length);
    return true;
  }
  bool IsConnected() override { return connected; }
};

}  // namespace ov::test
