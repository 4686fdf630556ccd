// The switch to access-point mode and the hand-back, on the monitor with recording doubles and
// a sandbox registry.
#include <gtest/gtest.h>

#include <QApplication>

#include "shell/ap_switch.h"
#include "tests/monitor/monitor_fixture.h"
#include "tests/shellui/qt_app_environment.h"

namespace ov::test {
namespace {

class ApSwitchTest : public MonitorFixture {
 protected:
  void SetUp() override {
    MonitorFixture::SetUp();
    AddSiblings();
    // An access-point set of the soft-AP utility; adapter set-up never overwrites it.
    const std::string apDefault = std::string(kAdapterKey) + "\\ApDefault";
    WriteParam("Channel", "1", apDefault);
    WriteParam("SSID", "SoftAP-01", apDefault);
    WriteParam("OpMode", "1", apDefault);
  }
  std::string Tool() const { return (program_.path() / kSwitchToolName).string(); }
  size_t OpModeSets(uint32_t value) const {
    size_t n = 0;
    for (const auto& [oid, bytes] : adapter_.driver.sets)
      n += oid == OID_VND_OP_MODE.set && bytes.size() == 4 && bytes[0] == value;
    return n;
  }
};

TEST_F(ApSwitchTest, RadioOffShowsNoticeAndChangesNothing) {
  WriteParam("Radio", "1");
  Start();
  monitor_->OnCommand(IDM_TRAY_LAUNCH);
  monitor_->OnCommand(IDM_TRAY_SWITCH_AP_MODE);
  EXPECT_TRUE(monitor_->NoticeDialog().isVisible());
  EXPECT_EQ(monitor_->NoticeDialog().Message().toStdString(),
            "The radio is switched off. Please switch the radio on first.");
  ASSERT_NE(monitor_->MainWindow(), nullptr);
  EXPECT_TRUE(monitor_->MainWindow()->isEnabled());
  EXPECT_EQ(wifi_.profilesDeleted, 0);
  EXPECT_TRUE(desktop_.programs.empty());
  EXPECT_EQ(ReadParam("OpMode"), "0");
  EXPECT_FALSE(ReadParam("Radio", std::string(kAdapterKey) + "\\Default")) << "no parameters saved";
  EXPECT_FALSE(monitor_->Ended());
  EXPECT_FALSE(monitor_->TrayMenuItems()[1].enabled);
  monitor_->NoticeDialog().hide();
}

TEST_F(ApSwitchTest, StoppedServiceShowsMessageAndManual) {
  wifi_.serviceRunning = false;
  Start();
  monitor_->OnCommand(IDM_TRAY_SWITCH_AP_MODE);
  ASSERT_EQ(desktop_.messages.size(), 1u);
  EXPECT_EQ(desktop_.messages[0].toStdString(), "Please turn on AutoConfig service");
  EXPECT_EQ(desktop_.busySeen, std::vector<bool>{true});
  ASSERT_EQ(desktop_.documents.size(), 1u);
  EXPECT_EQ(desktop_.documents[0], (program_.path() / "manual/index.html").string());
  EXPECT_EQ(wifi_.profilesDeleted, 0);
  EXPECT_TRUE(desktop_.programs.empty());
  EXPECT_EQ(ReadParam("OpMode"), "0");
  EXPECT_EQ(OpModeSets(1), 0u);
  EXPECT_FALSE(monitor_->Ended());
}

TEST_F(ApSwitchTest, HandOverLeavesApValuesAndStationDefaults) {
  Start();
  WriteParam("Channel", "11");  // the user's station channel just before the switch
  monitor_->OnCommand(IDM_TRAY_SWITCH_AP_MODE);
  EXPECT_EQ(wifi_.profilesDeleted, 1);
  EXPECT_TRUE(monitor_->Ended());
  EXPECT_TRUE(monitor_->ApSwitchDone());
  EXPECT_EQ(tray_.Count("remove"), 1u);
  EXPECT_EQ(ReadParam("Channel"), "1") << "the access-point set is loaded";
  EXPECT_EQ(ReadParam("SSID"), "SoftAP-01");
  EXPECT_EQ(ReadParam("OpMode"), "1");
  EXPECT_EQ(ReadParam("Channel", std::string(kAdapterKey) + "\\Default"), "11")
      << "Default keeps the station values, not the ones loaded afterwards";
  EXPECT_EQ(ReadParam("OpMode", std::string(kAdapterKey) + "\\Default"), "0");
  EXPECT_EQ(OpModeSets(1), 1u);
  ASSERT_EQ(desktop_.programs.size(), 1u);
  EXPECT_EQ(desktop_.programs[0].first, Tool());
  EXPECT_EQ(desktop_.programs[0].second,
            (std::vector<std::string>{"ON", "OvUI", "DeZA", "Orvane Wireless",
                                      "Orvane Wireless Utility", kHardwareId}));
}

TEST_F(ApSwitchTest, AdapterLeftInApModeIsHandedBackAtStart) {
  adapter_.driver.SetU32(OID_VND_OP_MODE.query, 1);
  WriteParam("OpMode", "1");
  Start();
  EXPECT_EQ(ReadParam("OpMode"), "0");
  EXPECT_EQ(OpModeSets(0), 1u);
  ASSERT_EQ(desktop_.programs.size(), 1u);
  EXPECT_EQ(desktop_.programs[0].first, Tool());
  EXPECT_EQ(desktop_.programs[0].second,
            (std::vector<std::string>{"OFF", "OvUI", "DeZA", "Orvane Wireless",
                                      "Orvane Wireless Utility", kHardwareId}));
  EXPECT_FALSE(monitor_->Ended());

  // A station adapter is left alone.
  monitor_.reset();
  desktop_.programs.clear();
  adapter_.driver.SetU32(OID_VND_OP_MODE.query, 0);
  Start();
  EXPECT_TRUE(desktop_.programs.empty());
}

}  // namespace
}  // namespace ov::test

[[maybe_unused]] static auto* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new ov::test::QtAppEnvironment<QApplication>);
