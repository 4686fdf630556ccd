// The advanced page against the real simulator: a band or region change reaches the driver over
// the device socket and shows in the next scan.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>

#include "driver/discovery/adapter_discovery.h"
#include "driver/discovery/device_id_table.h"
#include "driver/discovery/net_devices.h"
#include "driver/oid_channel.h"
#include "driver/params/registry_writer.h"
#include "platform/deviceio/device_io.h"
#include "radio/page_advance.h"
#include "tests/radio/advance_host.h"
#include "tests/shellui/page_window_fixture.h"
#include "tests/support/simulator_process.h"

namespace ov {
namespace {

const std::filesystem::path kBin = OVUI_BIN_DIR;

class AdvanceAgainstSimulator : public test::PageWindowFixture<test::AdvanceHost> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sim_.ready()) << sim_.output();
    AdapterInfo info;
    bool found = false;
    for (int attempt = 0; attempt <= kNotReadyAttempts && !found; ++attempt) {
      found = discovery_.DiscoverAdapter(info);
      if (!found && discovery_.readinessCounter() == 0) break;
    }
    ASSERT_TRUE(found);
    channel_.setDevicePath(info.devicePath);
    info.htCapable = true;
    state.Adapter = info;
    host.radio.plan.region.regionChangeable24 = true;
    host.radio.plan.region.regionChangeable5 = true;
    options.services.driver = &channel_;
    options.services.registry = &writer_;
    registry.RegisterPage(TabButton::Advance, MakeAdvancePage);
  }

  std::string Scan() {
    std::string out;
    EXPECT_EQ(test::RunProgram(kBin / "ovuictl", {"scan"}, dir.path(), &out), 0) << out;
    return out;
  }
  static void Choose(QComboBox* list, int index) {
    list->setCurrentIndex(index);
    emit list->activated(index);
  }

  test::ScopedMachineRoot scopedRoot_{dir.path()};
  test::SimulatorProcess sim_{kBin, std::filesystem::path(OVUI_SOURCE_DIR) / "data/scenarios/default.json",
                              dir.path()};
  RegistryNetDeviceSource devices_;
  SocketDeviceIo deviceIo_;
  VirtualClock channelClock_;
  OidChannel channel_{deviceIo_, channelClock_};
  AdapterDiscovery discovery_{devices_, deviceIo_, channel_,
                              LoadDeviceIdTables((kBin / "OvUI.INI").string())};
  DirectRegistryWriter writer_;
};

TEST_F(AdvanceAgainstSimulator, BandAndRegionChangesShowInTheNextScan) {
  window = MakeWindow();
  window->ShowPage(TabButton::Advance);
  auto* page = dynamic_cast<CPageAdvanceDlg*>(window->Page(TabButton::Advance));
  ASSERT_NE(page, nullptr);
  ASSERT_EQ(page->BandList()->currentIndex(), 2) << "the adapter starts on both bands";

  std::string list = Scan();
  EXPECT_NE(list.find("Orvane-5G-HT40"), std::string::npos) << list;
  EXPECT_NE(list.find("Orvane-Open"), std::string::npos) << list;

  Choose(page->BandList(), 0);  // 2.4 GHz only
  page->ApplyButton()->click();
  list = Scan();
  EXPECT_EQ(list.find("Orvane-5G-HT40"), std::string::npos) << "5 GHz is no longer scanned\n" << list;
  EXPECT_NE(list.find("Orvane-Open"), std::string::npos) << list;

  Choose(page->RegionBgList(), 2);  // "2: CH10-11"
  page->ApplyButton()->click();
  list = Scan();
  EXPECT_EQ(list.find("Orvane-Open"), std::string::npos) << "channel 1 is outside the region\n" << list;
  EXPECT_NE(list.find("Orvane-WEP-Open"), std::string::npos) << "channel 11 is inside\n" << list;
}

}  // namespace
}  // namespace ov
