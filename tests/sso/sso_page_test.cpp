// The SSO page in the real main window and the editor's single-sign-on sub-page, offscreen, on
// the virtual clock, over a registry in the test's own machine root.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "driver/params/registry_writer.h"
#include "profilepages/page_8021x.h"
#include "profilepages/page_profile_sso.h"
#include "ssopages/page_sso.h"
#include "tests/shellui/page_window_fixture.h"
#include "tests/sso/sso_test_registry.h"

namespace ov {
namespace {

using test::kSsoAdapterKey;

class SsoPageTest : public test::PageWindowFixture<>, public test::SsoRegistryFixture {
 protected:
  SsoPageTest() {
    registry.RegisterPage(TabButton::Sso, MakeSsoPage);
    options.services.registry = &writer;
    state.Adapter.adapterKeyPath = kSsoAdapterKey;
    host.ssoInstalled = true;
    InstallLogonComponent();
  }

  CPageSSODlg* Open() {
    window = MakeWindow();
    window->ShowPage(TabButton::Sso);
    return dynamic_cast<CPageSSODlg*>(window->Page(TabButton::Sso));
  }
  static std::vector<QString> Entries(QComboBox* combo) {
    std::vector<QString> out;
    for (int i = 0; i < combo->count(); ++i) out.push_back(combo->itemText(i));
    return out;
  }

  DirectRegistryWriter writer;
};

TEST_F(SsoPageTest, ShowingWithoutSwitchWritesItOffAndShowsThePageOff) {
  AddProfile("Work", "3", "0", "corp-net");
  Put(kSsoKey, kSavedPasswordValue, "7");
  CPageSSODlg* page = Open();
  ASSERT_NE(page, nullptr);

  EXPECT_EQ(Sso(kSsoEnableValue), "0");
  EXPECT_TRUE(page->EnableBox()->isEnabled());
  EXPECT_FALSE(page->EnableBox()->isChecked());
  // "7" is the third button, prompt at logon.
  EXPECT_TRUE(page->CredentialRadio(2)->isChecked());
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(page->CredentialRadio(i)->isEnabled());
  EXPECT_FALSE(page->ProfileList()->isEnabled());
  EXPECT_FALSE(page->ApplyButton()->isEnabled());
  EXPECT_EQ(Entries(page->ProfileList()), std::vector<QString>{"Work"});
}

TEST_F(SsoPageTest, PrefixChoosesTheFirstSortedEntryAndShowsItsDetails) {
  Put(kSsoKey, kSsoEnableValue, "1");
  Put(kSsoKey, kSsoCurProfileValue, "Of");
  AddProfile("Office", "3", "0", "office-net");
  AddProfile("of2", "3", "1", "of2-net");
  AddProfile("Peap", "1", "0", "peap-net");
  CPageSSODlg* page = Open();
  ASSERT_NE(page, nullptr);

  EXPECT_EQ(Entries(page->ProfileList()), (std::vector<QString>{"of2", "Office"}));
  EXPECT_EQ(page->ProfileList()->currentIndex(), 0);
  EXPECT_EQ(page->NameValue()->text(), "of2");
  EXPECT_EQ(page->SsidValue()->text(), "of2-net");
  EXPECT_EQ(page->AuthenticationValue()->text(), "LEAP");
  EXPECT_TRUE(page->ApplyButton()->isEnabled());

  page->ProfileList()->setCurrentIndex(1);
  EXPECT_EQ(page->NameValue()->text(), "Office");
  EXPECT_EQ(page->AuthenticationValue()->text(), "EAP-FAST");
  EXPECT_EQ(page->SsidValue()->text(), "office-net");
}

TEST_F(SsoPageTest, UnmatchedCurProfileLeavesNothingChosenAndApplyDisabled) {
  Put(kSsoKey, kSsoEnableValue, "1");
  Put(kSsoKey, kSsoCurProfileValue, "Home");
  AddProfile("Office", "3", "0", "office-net");
  CPageSSODlg* page = Open();
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->ProfileList()->currentIndex(), -1);
  EXPECT_TRUE(page->ProfileList()->isEnabled());
  EXPECT_FALSE(page->ApplyButton()->isEnabled());
  EXPECT_EQ(page->NameValue()->text(), "");
}

TEST_F(SsoPageTest, RadioClickWritesAndUncheckingRemovesSingleSignOn) {
  Put(kSsoKey, kSsoEnableValue, "1");
  Put(kSsoKey + std::string("\\Cache"), "x", "1");
  Put(kWinlogonKey, kGinaDllValue, kGinaLibrary);
  AddProfile("Office", "3", "0", "office-net");
  CPageSSODlg* page = Open();
  ASSERT_NE(page, nullptr);

  page->CredentialRadio(1)->click();
  EXPECT_EQ(Sso(kSavedPasswordValue), "1");

  page->EnableBox()->click();
  EXPECT_FALSE(page->EnableBox()->isChecked());
  EXPECT_FALSE(Gina());
  EXPECT_TRUE(SsoSubkeys().empty());
  EXPECT_EQ(Sso(kSsoEnableValue), "0");
  EXPECT_EQ(Sso(kSavedPasswordValue), "1");
  EXPECT_FALSE(page->CredentialRadio(0)->isEnabled());
  EXPECT_FALSE(page->ApplyButton()->isEnabled());

  // Checking again writes nothing until Apply.
  page->EnableBox()->click();
  EXPECT_EQ(Sso(kSsoEnableValue), "0");
  EXPECT_TRUE(page->ApplyButton()->isEnabled());
  EXPECT_TRUE(page->CredentialRadio(0)->isEnabled());
}

TEST_F(SsoPageTest, ApplyMakesTheProfileTheAdaptersAndClearsTheSurveysMarks) {
  Put(kSsoAdapterKey, "DriverDesc", "Test Wireless Adapter");
  AddProfile("Office", "3", "0", "office-net");
  state.Survey.securityClass = 2;
  state.Survey.hiddenSsidInUse = true;
  CPageSSODlg* page = Open();
  ASSERT_NE(page, nullptr);
  page->EnableBox()->click();
  ASSERT_TRUE(page->ApplyButton()->isEnabled());
  page->ApplyButton()->click();

  EXPECT_EQ(Gina(), kGinaLibrary);
  EXPECT_EQ(Sso(kSsoEnableValue), "1");
  EXPECT_EQ(Sso(kSsoCurProfileValue), "Office");
  EXPECT_EQ(Sso(kCardNameValue), "Card Name: Test Wireless Adapter");
  EXPECT_EQ(Adapter("CurProfile"), "Office");
  EXPECT_EQ(Adapter("SSID"), "office-net");
  EXPECT_EQ(state.Survey.securityClass, 0);
  EXPECT_FALSE(state.Survey.hiddenSsidInUse);
}

TEST_F(SsoPageTest, NotInstalledKeepsEveryControlDisabled) {
  Put(kSsoKey, kSsoInstallValue, "0");
  AddProfile("Office", "3", "0", "office-net");
  CPageSSODlg* page = Open();
  ASSERT_NE(page, nullptr);
  EXPECT_FALSE(page->EnableBox()->isEnabled());
  EXPECT_FALSE(page->ProfileList()->isEnabled());
  EXPECT_FALSE(page->ApplyButton()->isEnabled());
  EXPECT_FALSE(Sso(kSsoEnableValue));
}

// ---- The editor's sub-page ----

struct SubPageRow {
  const char* name;
  bool enabled;
  bool machine;
  int logonType;
  uint32_t flags;
};

class ProfileSsoSubPageTest : public ::testing::TestWithParam<SubPageRow> {};

TEST_P(ProfileSsoSubPageTest, ControlsGiveTheProfilesBits) {
  const SubPageRow& row = GetParam();
  CPageProfileSSODlg page;
  page.show();
  if (row.enabled) page.EnableBox()->click();
  ASSERT_EQ(page.MachineBox()->isEnabled(), row.enabled);
  ASSERT_EQ(page.LogonTypeRadio(1)->isEnabled(), row.enabled);
  if (row.machine) page.MachineBox()->click();
  if (row.logonType == 1) page.LogonTypeRadio(1)->click();
  EXPECT_EQ(page.Flags(), row.flags);

  CPageProfileSSODlg loaded;
  loaded.SetFlags(row.flags | 0xF8u);
  EXPECT_EQ(loaded.Flags(), row.flags);
  EXPECT_EQ(loaded.MachineBox()->isEnabled(), row.enabled);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ProfileSsoSubPageTest,
    ::testing::Values(SubPageRow{"Off", false, false, 0, 0},
                      SubPageRow{"PreLogon", true, false, 0, 1},
                      SubPageRow{"PostLogonUserOnly", true, false, 1, 5},
                      SubPageRow{"PostLogonMachine", true, true, 1, 7},
                      SubPageRow{"PreLogonMachine", true, true, 0, 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileSsoSubPage, TheEditorsEapTabKeepsTheBitsThroughItsSubPage) {
  test::InstallKeyNameTexts();
  CPage8021XDlg eap;
  EapFields loaded = eap.Fields();
  loaded.authenProtocol = kEapLeap;
  loaded.ssoFlags = 5;
  eap.ReapplyLoaded(loaded);
  EXPECT_TRUE(eap.SsoPage()->EnableBox()->isChecked());
  EXPECT_TRUE(eap.SsoPage()->LogonTypeRadio(1)->isChecked());
  eap.SsoPage()->MachineBox()->click();
  EXPECT_EQ(eap.Fields().ssoFlags, 7u);
  eap.Reset();
  EXPECT_EQ(eap.Fields().ssoFlags, 0u);
}

}  // namespace
}  // namespace ov
