// The profile list page in the monitor's main window against the real ovsimd on the default
// scenario: Apply connects through the action queue and the wireless service, the active row's
// image follows the link on the page's 3-second timer, and Delete keeps or removes the service's
// WLAN profile and re-activates the next profile for the same SSID. Every timer is virtual; only
// the connection itself waits for the simulator, a real process.
#include <gtest/gtest.h>

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include "profilepages/page_profile.h"
#include "profilepages/peap_setting_dlg.h"
#include "shell/ui/control_ids.h"
#include "shell/ui/message_box.h"
#include "shell/ui/ui_text.h"
#include "tests/monitor/monitor_sim_fixture.h"

namespace ov::test {
namespace {

using namespace ov::wlan;

constexpr char kWpa2Ssid[] = "Orvane-WPA2-AES";

class ProfilePageSimTest : public MonitorOnSimulatorTest {
 protected:
  void RegisterPages(PageRegistry& pages) override {
    pages.RegisterPage(TabButton::Profile, MakeProfilePage);
  }
  void Put(const std::string& name, const std::string& ssid, const std::string& passphrase) {
    ASSERT_TRUE(monitor_->Store()->WriteStoreValues(
        StoreFileKind::Profiles, name,
        {{"SSID", ssid}, {"NetworkType", "1"}, {"AuthMode", "7"}, {"CipherMode", "6"},
         {"WPAPSK", passphrase}}));
  }
  void OpenPage() {
    monitor_->OpenMainWindow();
    ASSERT_NE(monitor_->MainWindow(), nullptr);
    monitor_->MainWindow()->ShowPage(TabButton::Profile);
    ASSERT_NE(Page(), nullptr);
  }
  CPageProfileDlg* Page() {
    return dynamic_cast<CPageProfileDlg*>(monitor_->MainWindow()->Page(TabButton::Profile));
  }
  size_t Row(const std::string& name) {
    for (size_t i = 0; i < Page()->Rows().size(); ++i) {
      if (Page()->Rows()[i].Name == name) return i;
    }
    ADD_FAILURE() << "no row " << name;
    return 0;
  }
  int StateImage(const std::string& name) {
    const QVariant cell = Page()->List()->model()->index(static_cast<int>(Row(name)), 0)
                              .data(Qt::DecorationRole);
    if (!cell.isValid()) return -1;
    const qint64 key = cell.value<QIcon>().cacheKey();
    for (int i = 0; i < kProfileImageCount; ++i) {
      if (!ProfileImage(i).isNull() && ProfileImage(i).cacheKey() == key) return i;
    }
    return -2;
  }
  // Apply on the named row, then the service's answer (a real process) handed to the monitor.
  void Apply(const std::string& name) {
    Page()->SelectRow(Row(name));
    Page()->Button(IDC_PROF_ACTIVATE)->click();
  }
  std::string Active() {
    return monitor_->Store()->ReadStoreValue(StoreFileKind::Station, kActiveSection, kCurProfileKey);
  }
};

TEST_F(ProfilePageSimTest, ApplyConnectsAndTheActiveImageFollowsTheLink) {
  Put("Home", kWpa2Ssid, "orvane-sim-2");
  Put("Wrong", kWpa2Ssid, "not the passphrase");
  OpenPage();
  RecordMessageBoxes();
  Apply("Home");
  ASSERT_TRUE(WaitConnected(kWpa2Ssid));
  EXPECT_EQ(Active(), "Home");
  clock_.advance(kActiveIconPeriodMs);
  EXPECT_EQ(StateImage("Home"), kProfileImageActiveConnected);
  EXPECT_EQ(StateImage("Wrong"), -1);

  EXPECT_TRUE(shownMessages_.empty()) << "a connection that came up is not reported";

  // The same network with the wrong key: active, but the link it asked for never comes, and the
  // page says why, once.
  Apply("Wrong");
  EXPECT_EQ(Active(), "Wrong");
  ASSERT_TRUE(WaitFor([&] { return !shownMessages_.empty(); }, 10));
  const auto failure = wifiClient_->LastConnectionFailure();
  ASSERT_TRUE(failure);
  EXPECT_EQ(shownMessages_.front(), UiText(IDS_SITESUR_CONNECT_FAILED).toStdString() + "\n\nWrong: " +
                                ReasonCodeText(*failure));
  EXPECT_FALSE(wifiClient_->IsConnected());
  clock_.advance(kActiveIconPeriodMs);
  EXPECT_EQ(StateImage("Wrong"), kProfileImageActiveNotConnected);
  EXPECT_EQ(StateImage("Home"), -1);
  // The monitor's own retries fail too; nobody asked again, so nothing more is shown.
  Tick(6);
  // The retry's answer comes from the simulator, a real process: give it a moment to arrive.
  WaitFor([] { return false; }, 1);
  EXPECT_EQ(shownMessages_.size(), 1u);
}

TEST_F(ProfilePageSimTest, DeletingTheActiveProfileActivatesTheNextForTheSameSsid) {
  Put("A", kWpa2Ssid, "orvane-sim-2");
  Put("B", kWpa2Ssid, "orvane-sim-2");
  Put("C", "Orvane-Open", "");
  OpenPage();
  Apply("B");
  ASSERT_TRUE(WaitConnected(kWpa2Ssid));
  Apply("A");
  ASSERT_TRUE(WaitConnected(kWpa2Ssid));
  ASSERT_EQ(Active(), "A");

  Page()->SelectRow(Row("A"));
  Page()->Button(IDC_PROF_DEL)->click();
  EXPECT_EQ(monitor_->Store()->ListProfileNames(), (std::vector<std::string>{"B", "C"}));
  EXPECT_EQ(Active(), "B") << "B was active before and takes A's place";
  EXPECT_EQ(Page()->CurrentName(), "B");
  ASSERT_TRUE(WaitConnected(kWpa2Ssid));
  EXPECT_TRUE(wifiClient_->ServiceProfileExists(kWpa2Ssid));
  clock_.advance(kActiveIconPeriodMs);
  EXPECT_EQ(StateImage("B"), kProfileImageActiveConnected);
  EXPECT_EQ(Page()->SelectedRow(), std::optional<size_t>(0)) << "the row at A's place";
}

TEST_F(ProfilePageSimTest, DeletingAnotherProfileOfTheActiveSsidKeepsTheServiceProfile) {
  Put("A", kWpa2Ssid, "orvane-sim-2");
  Put("B", kWpa2Ssid, "orvane-sim-2");
  OpenPage();
  Apply("A");
  ASSERT_TRUE(WaitConnected(kWpa2Ssid));
  Page()->SelectRow(Row("B"));
  Page()->Button(IDC_PROF_DEL)->click();
  EXPECT_EQ(monitor_->Store()->ListProfileNames(), std::vector<std::string>{"A"});
  EXPECT_TRUE(wifiClient_->ServiceProfileExists(kWpa2Ssid));
  EXPECT_EQ(Active(), "A");
  messages_.deliverAll();
  EXPECT_TRUE(wifiClient_->IsConnected());

  // The active one itself, the last row: its service profile goes and nothing is active.
  Page()->Button(IDC_PROF_DEL)->click();
  EXPECT_TRUE(monitor_->Store()->ListProfileNames().empty());
  EXPECT_FALSE(wifiClient_->ServiceProfileExists(kWpa2Ssid));
  EXPECT_EQ(Active(), "");
  EXPECT_EQ(monitor_->Queue().activation().StationProfileInUse, 0);
  EXPECT_FALSE(Page()->Button(IDC_PROF_ACTIVATE)->isEnabled());
}

// A PEAP profile stored without its tunnel password: Apply asks for it in the credential prompt
// (lower panel 8) and the answer reaches the service's authentication server; a declined prompt
// applies nothing.
TEST_F(ProfilePageSimTest, ApplyAsksForTheMissingPeapPasswordAndConnectsWithTheAnswer) {
  pages_.RegisterLowerPanel(LOWER_PANEL_PEAP_SETTING, MakePeapSettingPanel);
  ASSERT_TRUE(monitor_->Store()->WriteStoreValues(
      StoreFileKind::Profiles, "Corp",
      {{"SSID", "Orvane-Corp"}, {"NetworkType", "1"}, {"AuthMode", "6"}, {"CipherMode", "6"},
       {"Use8021X", "1"}, {"AuthenProtocol", "0"}, {"TunnelProtocol", "26"},
       {"PasswordMode", "1"}, {"ID", "alice"}, {"TunnelID", "alice"}, {"TunnelPassword", ""}}));
  OpenPage();
  auto prompt = [&] {
    return dynamic_cast<CPeapSettingDlg*>(monitor_->MainWindow()->LowerPanel(LOWER_PANEL_PEAP_SETTING));
  };

  // Declined: nothing is applied.
  QTimer::singleShot(0, monitor_->MainWindow(), [&] { prompt()->CancelButton()->click(); });
  Apply("Corp");
  EXPECT_EQ(Active(), "");
  EXPECT_FALSE(wifiClient_->IsConnected());

  std::string title;
  bool identityEnabled = true;
  QTimer::singleShot(0, monitor_->MainWindow(), [&] {
    title = prompt()->TitleLabel()->text().toStdString();
    identityEnabled = prompt()->IdentityEdit()->isEnabled();
    prompt()->PasswordEdit()->setText("Alice-Pass-1");
    prompt()->OkButton()->click();
  });
  Apply("Corp");
  EXPECT_EQ(title, "Enter your new password");
  EXPECT_FALSE(identityEnabled);
  EXPECT_EQ(Active(), "Corp");
  ASSERT_TRUE(WaitConnected("Orvane-Corp"));
  EXPECT_EQ(monitor_->Store()->ReadStoreValue(StoreFileKind::Profiles, "Corp", "TunnelPassword"), "")
      << "the answer is not stored in the profile";
}

}  // namespace
}  // namespace ov::test
