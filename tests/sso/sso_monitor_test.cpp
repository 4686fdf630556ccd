// The monitor offers the SSO bar button when the logon component is installed and the user may
// use it: administrators, and standard users while the program INI lets them manage profiles.
#include <gtest/gtest.h>

#include "platform/time/monitor_messages.h"
#include "profiles/sso_registry.h"
#include "shell/ui/main_window.h"
#include "tests/monitor/monitor_fixture.h"
#include "widgets/bar_button.h"

namespace ov::test {
namespace {

struct BarRow {
  const char* name;
  bool isAdmin;
  const char* advance;  // the program INI's [Advance] lines
  const char* install;  // "SSOInstall"; nullptr: no logon component
  bool offered;
};

class SsoBarButtonTest : public MonitorFixture, public ::testing::WithParamInterface<BarRow> {};

TEST_P(SsoBarButtonTest, FollowsTheLogonComponentAndTheUsersRights) {
  const BarRow& row = GetParam();
  isAdmin_ = row.isAdmin;
  WriteIni(std::string("[Account]\nWarningMessageForGenUser=0\n[Advance]\n") + row.advance);
  if (row.install) WriteParam(kSsoInstallValue, row.install, kSsoKey);
  Start();
  EXPECT_EQ(monitor_->SsoInstalled(), row.offered);

  monitor_->OnCommand(IDM_TRAY_LAUNCH);
  COvUI2007Dlg* window = monitor_->MainWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->BarLayout().Offered(TabButton::Sso), row.offered);
  EXPECT_EQ(window->Button(TabButton::Sso)->isVisible(), row.offered);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SsoBarButtonTest,
    ::testing::Values(
        BarRow{"AdminInstalled", true, "", "1", true},
        BarRow{"AdminNotInstalled", true, "", "0", false},
        BarRow{"AdminWithoutLogonComponent", true, "", nullptr, false},
        BarRow{"StandardUserAllowed", false, "AllowStandardUserSetProfile=1\n", "1", true},
        BarRow{"StandardUserByDefault", false, "", "1", false},
        BarRow{"StandardUserRefused", false, "AllowStandardUserSetProfile=0\n", "1", false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ov::test
