#pragma once
// Test doubles for the wireless client: a scripted wireless service that records what it is asked,
// a recording driver, a waiting message inbox and worker launchers that run jobs where the test
// says.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "driver/oid_requester.h"
#include "nativewifi/eap_fast_workers.h"
#include "nativewifi/wlansvc/wlan_service.h"
#include "platform/time/message_service.h"

namespace ov::test {

using namespace ov::wlan;

inline Guid MakeGuid(uint8_t last) {
  Guid g{};
  g[0] = 0x0F;
  g[15] = last;
  return g;
}

class FakeWlanService final : public WlanService {
 public:
  // ---- Script ----
  uint32_t openStatus = ERROR_SUCCESS;
  uint32_t enumStatus = ERROR_SUCCESS;
  std::vector<InterfaceInfo> interfaces;
  uint32_t networksStatus = ERROR_SUCCESS;
  std::vector<AvailableNetwork> networks;
  std::vector<BssEntry> bss;  // the last scan's entries, filtered as the host filters them
  struct StoredProfile {
    std::string name;
    std::string xml;
    uint32_t flags = 0;
  };
  std::vector<StoredProfile> profiles;
  uint32_t setProfileStatus = ERROR_SUCCESS;
  uint32_t connectStatus = ERROR_SUCCESS;
  uint32_t scanStatus = ERROR_SUCCESS;
  std::map<uint32_t, InterfaceQueryResult> queryAnswers;  // by opcode; absent: ERROR_INVALID_STATE
  uint32_t setInterfaceStatus = ERROR_SUCCESS;

  // ---- Record ----
  std::vector<std::string> calls;  // operation names in call order
  ClientHandle nextHandle = 7;
  std::vector<ClientHandle> closed;
  uint32_t registeredMask = 0;
  bool registeredIgnoreDuplicate = false;
  NotificationCallback callback;
  struct SetProfileCall {
    uint32_t flags;
    std::string xml;
    bool overwrite;
  };
  std::vector<SetProfileCall> setProfiles;
  std::vector<std::pair<std::string, std::string>> eapUserData;  // profile, document
  std::vector<ConnectionParameters> connects;
  std::vector<PhyRadioState> radioSets;
  struct IhvCall {
    std::vector<uint8_t> in;
    uint32_t outSize;
  };
  std::vector<IhvCall> ihv;
  std::vector<std::pair<SecurableObject, std::string>> securitySettings;
  std::vector<std::optional<Ssid>> bssListSsids;  // the SSID of each BSS-list request

  // Delivers a notification as the service's thread would.
  void notify(const Notification& n) {
    if (callback) callback(n);
  }

  uint32_t OpenHandle(uint32_t, uint32_t* negotiated, ClientHandle* handle) override {
    calls.push_back("OpenHandle");
    if (openStatus != ERROR_SUCCESS) return openStatus;
    *negotiated = kClientVersion2;
    *handle = nextHandle++;
    return ERROR_SUCCESS;
  }
  uint32_t CloseHandle(ClientHandle handle) override {
    calls.push_back("CloseHandle");
    closed.push_back(handle);
    callback = nullptr;
    return ERROR_SUCCESS;
  }
  uint32_t EnumInterfaces(ClientHandle, std::vector<InterfaceInfo>* out) override {
    calls.push_back("EnumInterfaces");
    if (enumStatus != ERROR_SUCCESS) return enumStatus;
    *out = interfaces;
    return ERROR_SUCCESS;
  }
  uint32_t QueryInterface(ClientHandle, const Guid&, InterfaceOpcode opcode,
                          InterfaceQueryResult* result) override {
    calls.push_back("QueryInterface");
    auto it = queryAnswers.find(opcode);
    if (it == queryAnswers.end()) return ERROR_INVALID_STATE;
    *result = it->second;
    return ERROR_SUCCESS;
  }
  uint32_t SetInterface(ClientHandle, const Guid&, InterfaceOpcode, const PhyRadioState& radio) override {
    calls.push_back("SetInterface");
    radioSets.push_back(radio);
    return setInterfaceStatus;
  }
  uint32_t Scan(ClientHandle, const Guid&, const std::optional<Ssid>& ssid,
                const std::vector<uint8_t>& ie) override {
    calls.push_back(ssid || !ie.empty() ? "Scan(directed)" : "Scan");
    return scanStatus;
  }
  uint32_t GetNetworkBssList(ClientHandle, const Guid&, const std::optional<Ssid>& ssid, BssType type,
                             bool security, std::vector<BssEntry>* out) override {
    calls.push_back("GetNetworkBssList");
    bssListSsids.push_back(ssid);
    out->clear();
    for (const BssEntry& e : bss) {
      const bool privacy = (e.capabilityInformation & 0x10) != 0;
      if (ssid && (e.ssid != *ssid || e.bssType != type || privacy != security)) continue;
      out->push_back(e);
    }
    return ERROR_SUCCESS;
  }
  uint32_t GetAvailableNetworkList(ClientHandle, const Guid&, uint32_t flags,
                                   std::vector<AvailableNetwork>* out) override {
    calls.push_back("GetAvailableNetworkList");
    EXPECT_EQ(flags, 0u);
    if (networksStatus != ERROR_SUCCESS) return networksStatus;
    *out = networks;
    return ERROR_SUCCESS;
  }
  uint32_t Connect(ClientHandle, const Guid&, const ConnectionParameters& p) override {
    calls.push_back("Connect");
    connects.push_back(p);
    return connectStatus;
  }
  uint32_t Disconnect(ClientHandle, const Guid&) override {
    calls.push_back("Disconnect");
    return ERROR_SUCCESS;
  }
  uint32_t SetProfile(ClientHandle, const Guid&, uint32_t flags, const std::string& xml, bool overwrite,
                      uint32_t* reason) override {
    calls.push_back("SetProfile");
    setProfiles.push_back({flags, xml, overwrite});
    *reason = 0;
    return setProfileStatus;
  }
  uint32_t GetProfile(ClientHandle, const Guid&, const std::string& name, std::string* xml,
                      uint32_t* flags) override {
    calls.push_back("GetProfile " + name);
    for (const StoredProfile& p : profiles) {
      if (p.name == name) {
        *xml = p.xml;
        *flags = p.flags;
        return ERROR_SUCCESS;
      }
    }
    return ERROR_NOT_FOUND;
  }
  uint32_t DeleteProfile(ClientHandle, const Guid&, const std::string& name) override {
    calls.push_back("DeleteProfile " + name);
    for (auto it = profiles.begin(); it != profiles.end(); ++it) {
      if (it->name == name) {
        profiles.erase(it);
        return ERROR_SUCCESS;
      }
    }
    return ERROR_NOT_FOUND;
  }
  uint32_t GetProfileList(ClientHandle, const Guid&, std::vector<ProfileInfo>* out) override {
    calls.push_back("GetProfileList");
    out->clear();
    for (const StoredProfile& p : profiles) out->push_back({p.name, p.flags});
    return ERROR_SUCCESS;
  }
  uint32_t SetProfileEapUserData(ClientHandle, const Guid&, const std::string&, const EapMethodType&,
                                 uint32_t, const std::vector<uint8_t>&) override {
    calls.push_back("SetProfileEapUserData");
    return ERROR_SUCCESS;
  }
  uint32_t SetProfileEapXmlUserData(ClientHandle, const Guid&, const std::string& name, uint32_t flags,
                                    const std::string& xml) override {
    calls.push_back("SetProfileEapXmlUserData");
    EXPECT_EQ(flags, 0u);
    eapUserData.emplace_back(name, xml);
    return ERROR_SUCCESS;
  }
  uint32_t IhvControl(ClientHandle, const Guid&, IhvControlType type, const std::vector<uint8_t>& in,
                      uint32_t outSize, std::vector<uint8_t>* out) override {
    calls.push_back("IhvControl");
    EXPECT_EQ(type, wlan_ihv_control_type_service);
    ihv.push_back({in, outSize});
    out->assign(outSize, 0);
    return ERROR_SUCCESS;
  }
  uint32_t SetSecuritySettings(ClientHandle, SecurableObject object, const std::string& sddl) override {
    calls.push_back("SetSecuritySettings");
    securitySettings.emplace_back(object, sddl);
    return ERROR_SUCCESS;
  }
  uint32_t GetSecuritySettings(ClientHandle, SecurableObject, SecuritySettings*) override {
    return ERROR_NOT_SUPPORTED;
  }
  uint32_t RegisterNotification(ClientHandle, uint32_t mask, bool ignoreDuplicate,
                                NotificationCallback cb, uint32_t*) override {
    calls.push_back("RegisterNotification");
    registeredMask = mask;
    registeredIgnoreDuplicate = ignoreDuplicate;
    callback = std::move(cb);
    return ERROR_SUCCESS;
  }
};

// Records every set and answers the queries it was given.
class RecordingDriver final : public OidRequester {
 public:
  struct Set {
    uint32_t oid;
    std::vector<uint8_t> data;
    uint32_t u32() const {
      return data.size() < 4 ? 0xFFFFFFFF : data[0] | data[1] << 8 | data[2] << 16 | static_cast<uint32_t>(data[3]) << 24;
    }
  };
  std::vector<Set> sets;
  std::map<uint32_t, std::vector<uint8_t>> answers;  // by query OID

  bool QueryOid(uint32_t oid, uint8_t* buffer, uint32_t size, uint32_t* bytesReturned) override {
    auto it = answers.find(oid);
    if (it == answers.end()) return false;
    const size_t n = std::min<size_t>(size, it->second.size());
    std::copy_n(it->second.begin(), n, buffer);
    *bytesReturned = static_cast<uint32_t>(n);
    return true;
  }
  bool SetOid(uint32_t oid, uint8_t* buffer, uint32_t size, uint32_t* bytesReturned, int) override {
    sets.push_back({oid, std::vector<uint8_t>(buffer, buffer + size)});
    *bytesReturned = size;
    return true;
  }
  std::vector<uint32_t> oids() const {
    std::vector<uint32_t> out;
    for (const Set& s : sets) out.push_back(s.oid);
    return out;
  }
};

// Where the client's messages land; the test thread takes them, waiting (bounded) when a thread of
// a real process posts them.
class MessageInbox final : public MessageSink {
 public:
  bool post(const Message& message) override {
    std::lock_guard lock(mutex_);
    messages_.push_back(message);
    changed_.notify_all();
    return true;
  }
  // Takes messages up to and including the first with number `message`; nothing when none came
  // before the bound. The ones passed on the way are kept in `skipped`.
  std::optional<Message> next(uint32_t message, std::chrono::milliseconds bound = std::chrono::seconds(20)) {
    std::unique_lock lock(mutex_);
    std::optional<Message> found;
    changed_.wait_for(lock, bound, [&] {
      while (!messages_.empty()) {
        const Message m = messages_.front();
        messages_.pop_front();
        if (m.message == message) {
          found = m;
          return true;
        }
        skipped.push_back(m);
      }
      return false;
    });
    return found;
  }
  // Everything posted so far and not yet taken.
  std::vector<Message> drain() {
    std::lock_guard lock(mutex_);
    std::vector<Message> out(messages_.begin(), messages_.end());
    messages_.clear();
    return out;
  }
  std::vector<Message> skipped;

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Message> messages_;
};

// Holds the jobs a client starts until the test runs them, in order, on its own thread.
class ManualLauncher {
 public:
  WorkerLauncher launcher() {
    return [this](std::function<void()> job) { jobs_.push_back(std::move(job)); };
  }
  size_t pending() const { return jobs_.size(); }
  void runAll() {
    while (!jobs_.empty()) {
      auto job = std::move(jobs_.front());
      jobs_.pop_front();
      job();
    }
  }

 private:
  std::deque<std::function<void()>> jobs_;
};

}  // namespace ov::test
