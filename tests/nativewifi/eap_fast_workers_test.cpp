// The EAP-FAST workers against a scripted EAP host and an in-memory profile store, and the
// address renewal's choice of DHCP client.
#include <gtest/gtest.h>

#include <map>
#include <thread>

#include "driver/params/debug_trace.h"
#include "nativewifi/address_renewal.h"
#include "nativewifi/eap_fast_blob.h"
#include "nativewifi/native_wifi_client.h"
#include "platform/time/monitor_messages.h"
#include "tests/nativewifi/fake_wlan_service.h"

namespace ov {
namespace {

using test::MessageInbox;

// Answers each dialog with the status and settings it was given; remembers what it was shown.
class ScriptedEapHost final : public EapHost {
 public:
  uint32_t status = ERROR_SUCCESS;
  std::vector<uint8_t> output;
  std::vector<std::vector<uint8_t>> inputs;
  std::vector<uint32_t> flags;
  std::vector<std::thread::id> threads;

  uint32_t InvokeConfigUI(uint32_t f, const wlan::EapMethodType& method, std::span<const uint8_t> input,
                          std::vector<uint8_t>* out) override {
    EXPECT_EQ(method, kEapFastMethodType);
    flags.push_back(f);
    inputs.emplace_back(input.begin(), input.end());
    threads.push_back(std::this_thread::get_id());
    if (status == ERROR_SUCCESS) *out = output;
    return status;
  }
};

// A profile store of (kind, section, key) -> value, read as the store reads: at most size - 1
// characters, and a blob record as exactly `size` characters or nothing.
struct MemoryStore {
  std::map<std::tuple<int, std::string, std::string>, std::string> values;
  EapBlobStoreAccess access() {
    return {[this](int kind, std::string_view section, std::string_view key, size_t size) {
              auto it = values.find({kind, std::string(section), std::string(key)});
              if (it == values.end()) return std::string();
              if (key == "EapConfigBlob") return it->second.size() >= size ? it->second.substr(0, size) : std::string();
              return it->second.substr(0, size - 1);
            },
            [this](int kind, std::string_view section, std::string_view key, std::string_view value) {
              values[{kind, std::string(section), std::string(key)}] = std::string(value);
              return true;
            }};
  }
  std::string get(int kind, const std::string& key) const {
    auto it = values.find({kind, "Corp", key});
    return it == values.end() ? "<none>" : it->second;
  }
};

std::vector<uint8_t> Blob(const std::string& server) {
  EapFastSettings s;
  s.flags = kEapFastValidateServer;
  s.serverName = server;
  return EncodeEapFastBlob(s);
}

TEST(EapFastDialogWorker, HandsOverConfirmedSettingsAndAlwaysReportsTheDialogClosed) {
  const struct {
    const char* name;
    uint32_t status;
    std::vector<uint8_t> output;
    bool blob;
  } cases[] = {
      {"confirmed", ERROR_SUCCESS, Blob("radius.example"), true},
      {"confirmed without settings", ERROR_SUCCESS, {}, false},
      {"cancelled", ERROR_CANCELLED, Blob("radius.example"), false},
      {"no dialog for the method", wlan::ERROR_NOT_SUPPORTED, {}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedEapHost host;
    host.status = c.status;
    host.output = c.output;
    auto inbox = std::make_shared<MessageInbox>();
    EapFastDialogResult result;
    RunEapFastDialog(host, MessageTarget(inbox), result);
    EXPECT_EQ(host.flags, std::vector<uint32_t>{0x00040000});
    EXPECT_TRUE(host.inputs.at(0).empty());
    const auto blob = result.Take();
    EXPECT_EQ(blob.has_value(), c.blob);
    if (c.blob) {
      EXPECT_EQ(*blob, c.output);
    }
    EXPECT_FALSE(result.Take()) << "the blob is handed over once";
    EXPECT_EQ(inbox->drain(), (std::vector<Message>{{WM_MON_EAP_UI_DONE, 1, 0}, {WM_MON_EAP_CONFIG, 1, 0}}));
  }
}

TEST(EapFastSetupWorker, StartsFromTheStoredBlobAndStoresWhatTheUserConfirmed) {
  MemoryStore store;
  const std::vector<uint8_t> old = Blob("old.example");
  store.values[{5, "Corp", "EapConfigBlob"}] = EncodeBlobHex(old);
  store.values[{2, "Corp", "EapConfigBlobLen"}] = std::to_string(old.size());
  ScriptedEapHost host;
  host.output = Blob("new.example");
  auto inbox = std::make_shared<MessageInbox>();
  RunEapFastSetup(host, MessageTarget(inbox), "Corp", store.access());
  EXPECT_EQ(host.inputs.at(0), old);
  EXPECT_EQ(store.get(5, "EapConfigBlob"), EncodeBlobHex(host.output));
  EXPECT_EQ(store.get(2, "EapConfigBlobLen"), std::to_string(host.output.size()));
  EXPECT_EQ(EncodeBlobHex(std::vector<uint8_t>{0x00, 0xAB, 0x0F}), "00AB0F");
  EXPECT_EQ(inbox->drain(), (std::vector<Message>{{WM_MON_EAP_UI_DONE, 1, 0}}));
}

TEST(EapFastSetupWorker, ACancelledOrFailedDialogKeepsTheStoredBlob) {
  for (uint32_t status : {ERROR_CANCELLED, wlan::ERROR_NOT_SUPPORTED}) {
    SCOPED_TRACE(status);
    MemoryStore store;
    const std::string hex = EncodeBlobHex(Blob("kept.example"));
    store.values[{5, "Corp", "EapConfigBlob"}] = hex;
    store.values[{2, "Corp", "EapConfigBlobLen"}] = std::to_string(hex.size() / 2);
    ScriptedEapHost host;
    host.status = status;
    auto inbox = std::make_shared<MessageInbox>();
    RunEapFastSetup(host, MessageTarget(inbox), "Corp", store.access());
    EXPECT_EQ(store.get(5, "EapConfigBlob"), hex);
    EXPECT_EQ(store.get(2, "EapConfigBlobLen"), std::to_string(hex.size() / 2));
    EXPECT_EQ(inbox->drain(), (std::vector<Message>{{WM_MON_EAP_UI_DONE, 1, 0}}));
  }
}

TEST(EapFastSetupWorker, AStoredBlobThatDoesNotReadBackIsNoStartingPoint) {
  const std::string hex = EncodeBlobHex(Blob("x"));
  const struct {
    const char* name;
    std::string length;
    std::string record;
  } cases[] = {
      {"no length", "", hex},
      {"length 0", "0", hex},
      {"length not a number", "12abc", hex},
      {"length beyond the store's limit", "4000", hex},
      {"record shorter than its length", std::to_string(hex.size() / 2 + 1), hex},
      {"record not hexadecimal", std::to_string(hex.size() / 2), std::string(hex.size() - 2, '0') + "ZZ"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryStore store;
    store.values[{5, "Corp", "EapConfigBlob"}] = c.record;
    if (!c.length.empty()) store.values[{2, "Corp", "EapConfigBlobLen"}] = c.length;
    ScriptedEapHost host;
    host.status = ERROR_CANCELLED;
    RunEapFastSetup(host, MessageTarget(), "Corp", store.access());
    EXPECT_TRUE(host.inputs.at(0).empty());
  }
}

TEST(EapFastSetupWorker, SettingsTooLongForTheStoreAreNotStored) {
  MemoryStore store;
  ScriptedEapHost host;
  host.output.assign(kStoredEapBlobMaxBytes + 1, 0x41);
  std::vector<std::string> traced;
  SetDebugTraceSink([&](std::string_view line) { traced.emplace_back(line); });
  RunEapFastSetup(host, MessageTarget(), "Corp", store.access());
  SetDebugTraceSink(nullptr);
  EXPECT_TRUE(store.values.empty());
  EXPECT_EQ(traced.size(), 1u);
}

TEST(EapFastWorkers, TheClientRunsThemOnWorkersAndOnlyWithAnEapHost) {
  auto service = std::make_shared<test::FakeWlanService>();
  NativeWifiClientServices services;
  services.service = service;
  NativeWifiClient without(services);
  auto inbox = std::make_shared<MessageInbox>();
  EXPECT_FALSE(without.StartEapFastDialog(MessageTarget(inbox), std::make_shared<EapFastDialogResult>()));
  EXPECT_FALSE(without.StartEapFastSetup(MessageTarget(inbox), "Corp", {}));

  auto host = std::make_shared<ScriptedEapHost>();
  host->output = Blob("radius.example");
  services.eapHost = host;  // and the default launcher: a thread of its own
  NativeWifiClient client(services);
  auto result = std::make_shared<EapFastDialogResult>();
  ASSERT_TRUE(client.StartEapFastDialog(MessageTarget(inbox), result));
  ASSERT_TRUE(inbox->next(WM_MON_EAP_CONFIG));
  EXPECT_EQ(result->Take(), host->output);
  EXPECT_NE(host->threads.at(0), std::this_thread::get_id());
}

TEST(AddressRenewal, TheCommandOfTheDhcpClientThisMachineHas) {
  const struct {
    const char* name;
    std::vector<std::string> programs;
    bool networkd;
    std::optional<std::vector<std::string>> command;
  } cases[] = {
      {"networkd", {"networkctl", "dhclient"}, true, std::vector<std::string>{"networkctl", "renew", "wlan0"}},
      {"networkctl without networkd", {"networkctl", "dhclient"}, false,
       std::vector<std::string>{"dhclient", "-1", "wlan0"}},
      {"dhclient alone", {"dhclient"}, false, std::vector<std::string>{"dhclient", "-1", "wlan0"}},
      {"networkd without its tool", {"dhclient"}, true, std::vector<std::string>{"dhclient", "-1", "wlan0"}},
      {"no DHCP client", {}, true, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto exists = [&](std::string_view p) {
      return std::find(c.programs.begin(), c.programs.end(), p) != c.programs.end();
    };
    EXPECT_EQ(AddressRenewalCommand("wlan0", exists, c.networkd), c.command);
  }
}

TEST(AddressRenewal, AnAdapterWithoutAKernelInterfaceIsOnlyLogged) {
  // A locally administered address that no interface of a test machine carries.
  const MacAddress simulated = {0x02, 0x5A, 0x0F, 0x7E, 0x57, 0x01};
  ASSERT_FALSE(FindInterfaceByMac(simulated));
  std::vector<std::string> traced;
  SetDebugTraceSink([&](std::string_view line) { traced.emplace_back(line); });
  SystemAddressRenewal(simulated).RenewAddress();
  SetDebugTraceSink(nullptr);
  EXPECT_EQ(traced, std::vector<std::string>{"Address renewal: no network interface has the adapter's address\n"});
}

}  // namespace
}  // namespace ov
