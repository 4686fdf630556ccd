// The monitor's data-in, data-out rules: signal to tray state, the tooltip text, the tray menu
// choice and the WPS poll outcome.
#include <gtest/gtest.h>

#include "driver/signal_strength.h"
#include "shell/monitor_logic.h"

namespace ov {
namespace {

TEST(MonitorLogic, SignalPercentToTrayState) {
  const struct {
    int32_t percent;
    TrayState state;
  } cases[] = {{100, TrayState::Good}, {71, TrayState::Good},   {70, TrayState::Normal},
               {41, TrayState::Normal}, {40, TrayState::Weak}, {0, TrayState::Weak}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.percent);
    EXPECT_EQ(TrayStateForPercent(c.percent), c.state);
  }
  // The dBm figures the tray is known by.
  EXPECT_EQ(RssiToPercent(-60), 76);
  EXPECT_EQ(RssiToPercent(-70), 50);
  EXPECT_EQ(RssiToPercent(-80), 24);
}

TEST(MonitorLogic, TooltipFormatting) {
  const struct {
    const char* name;
    const char* text;
    std::string ssid;
    std::string tip;
  } cases[] = {
      {"plain", "Connected to %s (good)", "Home", "Connected to Home (good)"},
      {"percent and ampersand in the SSID stay", "To %s", "50%&s %d", "To 50%&s %d"},
      {"doubled percent of the text reads single", "100%% to %s", "x", "100% to x"},
      {"second %s has no argument", "%s and %s", "a", "a and %s"},
      {"text without %s", "Not connected", "ignored", "Not connected"},
      {"trailing lone percent", "50%", "", "50%"},
      {"cut to 127 bytes", "%s", std::string(200, 'x'), std::string(127, 'x')},
      {"never inside a UTF-8 sequence", "%s", std::string(126, 'x') + "\xC3\xA9",
       std::string(126, 'x')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FormatTrayTip(c.text, c.ssid), c.tip);
  }
}

TEST(MonitorLogic, TrayMenuChoice) {
  const struct {
    const char* name;
    bool siblings;
    int32_t family;
    bool present;
    bool admin;
    int menu;
  } cases[] = {
      {"all conditions", true, 4, true, true, kTrayMenuWithApSwitch},
      {"family 10", true, 10, true, true, kTrayMenuWithApSwitch},
      {"family 3", true, 3, true, true, kTrayMenuPlain},
      {"family 11", true, 11, true, true, kTrayMenuPlain},
      {"no siblings", false, 4, true, true, kTrayMenuPlain},
      {"no adapter", true, 4, false, true, kTrayMenuPlain},
      {"standard user", true, 4, true, false, kTrayMenuPlain},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(TrayMenuResource(c.siblings, c.family, c.present, c.admin), c.menu);
  }
}

TEST(MonitorLogic, WpsStatusOutcome) {
  EXPECT_EQ(ClassifyWpsStatus(15), WpsPollOutcome::Success);
  EXPECT_EQ(ClassifyWpsStatus(0), WpsPollOutcome::StopKeepCheck);
  for (uint32_t code : {260u, 261u, 262u, 513u, 514u, 515u, 516u})
    EXPECT_EQ(ClassifyWpsStatus(code), WpsPollOutcome::StopAll) << code;
  for (uint32_t code : {1u, 14u, 16u, 259u, 263u, 512u, 517u})
    EXPECT_EQ(ClassifyWpsStatus(code), WpsPollOutcome::KeepPolling) << code;
}

}  // namespace
}  // namespace ov
