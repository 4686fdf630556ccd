// The monitor's wireless seam over the client: the adapter's MAC given at set-up reaches the
// address renewal the client runs after the address test's announcement.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "nativewifi/diagnostic_messages.h"
#include "nativewifi/native_wifi_client.h"
#include "platform/time/virtual_clock.h"
#include "shell/monitor_native_wifi.h"

namespace ov {
namespace {

struct RecordedRenewal final : AddressRenewal {
  MacAddress mac;
  std::vector<MacAddress>* renewed;
  RecordedRenewal(const MacAddress& m, std::vector<MacAddress>* out) : mac(m), renewed(out) {}
  void RenewAddress() override { renewed->push_back(mac); }
};

TEST(MonitorNativeWifiTest, TheAdapterMacReachesTheClientsAddressRenewal) {
  std::vector<MacAddress> renewed;
  auto renewal = std::make_shared<AdapterAddressRenewal>([&](const MacAddress& mac) {
    return std::make_unique<RecordedRenewal>(mac, &renewed);
  });
  VirtualClock clock;
  NativeWifiClientServices services;
  services.timers = &clock;
  services.addressRenewal = renewal;
  NativeWifiClient client(services);
  NativeWifiMonitorWifi wifi(client, nullptr, false, renewal);

  std::string text;
  auto announceAddressTest = [&] {
    ASSERT_TRUE(client.FormatDiagnosticMessage(kDiagnosticDhcpTestCode, text));
    clock.advance(kAddressRenewalDelayMs);
  };

  // Before any adapter set-up there is no address to renew.
  announceAddressTest();
  EXPECT_TRUE(renewed.empty());

  const MacAddress first{0x02, 0x5A, 0x0F, 0x00, 0x06, 0x01};
  const MacAddress second{0x02, 0x5A, 0x0F, 0x00, 0x06, 0x02};
  wifi.SetAdapterAddress(first);
  announceAddressTest();
  EXPECT_EQ(renewed, std::vector<MacAddress>{first});

  // A later set-up (another adapter, or the same one plugged in again) replaces it.
  wifi.SetAdapterAddress(second);
  announceAddressTest();
  EXPECT_EQ(renewed, (std::vector<MacAddress>{first, second}));
}

}  // namespace
}  // namespace ov
