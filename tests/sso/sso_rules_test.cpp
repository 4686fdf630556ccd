// Single sign-on's registry rules and the SSO page's model over a registry in the test's own
// machine root, written directly (an administrator) or by a writer that is refused everything.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "driver/params/debug_trace.h"
#include "driver/params/registry_writer.h"
#include "profiles/sso_registry.h"
#include "ssopages/sso_page_rules.h"
#include "tests/sso/sso_test_registry.h"

namespace ov {
namespace {

using test::kSsoAdapterKey;

// Collects the debug trace for one test.
class TraceLines {
 public:
  TraceLines() {
    SetDebugTraceSink([this](std::string_view line) { lines.emplace_back(line); });
  }
  ~TraceLines() { SetDebugTraceSink(nullptr); }
  bool Has(const std::string& line) const {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  std::vector<std::string> lines;
};

class SsoRulesTest : public ::testing::Test, public test::SsoRegistryFixture {
 protected:
  SsoPageModel Shown() {
    SsoPageModel model;
    ShowSsoPage(model, &writer, kSsoAdapterKey);
    return model;
  }
  DirectRegistryWriter writer;
};

// ---- SsoInstalled ----

struct InstalledRow {
  const char* name;
  bool isAdmin;
  bool allowProfile;
  const char* install;  // "" = no "SSOInstall"; nullptr = no key at all
  bool expected;
};

class SsoInstalledTest : public SsoRulesTest, public ::testing::WithParamInterface<InstalledRow> {};

TEST_P(SsoInstalledTest, OffersThePageOnlyWhenInstalledAndAllowed) {
  const InstalledRow& row = GetParam();
  if (row.install) InstallLogonComponent(row.install);
  EXPECT_EQ(SsoInstalled(row.isAdmin, row.allowProfile), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SsoInstalledTest,
    ::testing::Values(InstalledRow{"AdminInstalled", true, false, "1", true},
                      InstalledRow{"StandardUserAllowed", false, true, "1", true},
                      InstalledRow{"StandardUserNotAllowed", false, false, "1", false},
                      InstalledRow{"InstallZero", true, true, "0", false},
                      InstalledRow{"InstallOtherText", true, true, "yes", false},
                      InstalledRow{"InstallMissing", true, true, "", false},
                      InstalledRow{"NoLogonKey", true, true, nullptr, false}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- ListSsoProfiles and the details ----

struct ProfileRow {
  const char* name;
  const char* authenProtocol;
  const char* leapEnabled;
  bool listed;
  const char* authentication;  // what the information group shows
};

class SsoProfileTest : public SsoRulesTest, public ::testing::WithParamInterface<ProfileRow> {};

TEST_P(SsoProfileTest, ListsOnlyLeapAndFastProfilesAndNamesTheirAuthentication) {
  const ProfileRow& row = GetParam();
  AddProfile("Work", row.authenProtocol, row.leapEnabled, "corp-net");
  const std::vector<std::string> listed = ListSsoProfiles(kSsoAdapterKey);
  EXPECT_EQ(listed, row.listed ? std::vector<std::string>{"Work"} : std::vector<std::string>{});
  const SsoProfileDetails details = ReadSsoProfileDetails(kSsoAdapterKey, "Work");
  EXPECT_EQ(details.authentication, row.authentication);
  EXPECT_EQ(details.ssid, row.listed ? "corp-net" : "");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SsoProfileTest,
    ::testing::Values(ProfileRow{"FastAndLeapIsListedOnceAsLeap", "3", "1", true, "LEAP"},
                      ProfileRow{"Fast", "3", "0", true, "EAP-FAST"},
                      ProfileRow{"FastWithoutLeapValue", "3", "", true, "EAP-FAST"},
                      ProfileRow{"Leap", "0", "1", true, "LEAP"},
                      ProfileRow{"LeapWithoutProtocol", "", "1", true, "LEAP"},
                      ProfileRow{"NeitherIsNotListed", "0", "0", false, ""},
                      ProfileRow{"PeapIsNotListed", "1", "", false, ""},
                      ProfileRow{"NoValues", "", "", false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SsoRulesTest, ListIsSortedWithoutRegardToLetterCase) {
  AddProfile("office", "3", "");
  AddProfile("Beta", "3", "");
  AddProfile("of2", "", "1");
  AddProfile("OFFICE2", "3", "");
  AddProfile("alpha", "3", "");
  EXPECT_EQ(ListSsoProfiles(kSsoAdapterKey),
            (std::vector<std::string>{"alpha", "Beta", "of2", "office", "OFFICE2"}));
}

TEST_F(SsoRulesTest, NothingIsListedWithoutAProfileKey) {
  EXPECT_TRUE(ListSsoProfiles(kSsoAdapterKey).empty());
  EXPECT_TRUE(ListSsoProfiles("").empty());
  EXPECT_FALSE(ReadSsoProfileDetails(kSsoAdapterKey, "Missing").opened);
}

// ---- Showing the page ----

struct LoadRow {
  const char* name;
  const char* ssoEnable;      // nullptr: missing
  const char* savedPassword;  // nullptr: missing
  bool enabled;
  int credentialSource;
  const char* enableAfter;    // "SSOEnable" after showing
};

class SsoLoadTest : public SsoRulesTest, public ::testing::WithParamInterface<LoadRow> {};

TEST_P(SsoLoadTest, ReadsTheSwitchAndTheCredentialSource) {
  const LoadRow& row = GetParam();
  InstallLogonComponent();
  AddProfile("Work", "3", "");
  if (row.ssoEnable) Put(kSsoKey, kSsoEnableValue, row.ssoEnable);
  if (row.savedPassword) Put(kSsoKey, kSavedPasswordValue, row.savedPassword);

  const SsoPageModel model = Shown();
  EXPECT_TRUE(model.live);
  EXPECT_EQ(model.ssoEnabled, row.enabled);
  EXPECT_EQ(model.credentialSource, row.credentialSource);
  EXPECT_EQ(Sso(kSsoEnableValue), std::optional<std::string>(row.enableAfter));
  // The groups follow the switch; the list has an entry and one is chosen ("CurProfile" missing).
  EXPECT_EQ(model.optionControls, row.enabled);
  EXPECT_EQ(model.listControls, row.enabled);
  EXPECT_EQ(model.detailControls, row.enabled);
  EXPECT_EQ(model.selected, 0);
  EXPECT_EQ(model.profileName, "Work");
  // "SavedPassword" is only ever written by a radio click.
  EXPECT_EQ(Sso(kSavedPasswordValue).has_value(), row.savedPassword != nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SsoLoadTest,
    ::testing::Values(LoadRow{"EnableMissingIsWrittenOff", nullptr, nullptr, false, 0, "0"},
                      LoadRow{"EnableOff", "0", "0", false, 0, "0"},
                      LoadRow{"EnableOn", "1", "1", true, 1, "1"},
                      LoadRow{"AnyOtherTextIsOn", "yes", "2", true, 2, "yes"},
                      LoadRow{"SavedPasswordSevenPrompts", "1", "7", true, 2, "1"},
                      LoadRow{"SavedPasswordEmptyPrompts", "1", "", true, 2, "1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SsoRulesTest, EnableMissingAndUnwritableLeavesTheSwitchAsItWas) {
  InstallLogonComponent();
  TraceLines trace;
  test::RefusingWriter refusing;
  SsoPageModel model;
  ShowSsoPage(model, &refusing, kSsoAdapterKey);
  EXPECT_TRUE(model.live);
  EXPECT_FALSE(model.ssoEnabled);
  EXPECT_FALSE(Sso(kSsoEnableValue));
  EXPECT_EQ(refusing.attempts, std::vector<std::string>{"set SSOEnable"});
  EXPECT_TRUE(trace.Has("RegSetValueEx REGSTR_SSO_ENABLE failed\n"));
}

struct InertRow {
  const char* name;
  const char* install;  // "" = missing
};

class SsoInertTest : public SsoRulesTest, public ::testing::WithParamInterface<InertRow> {};

TEST_P(SsoInertTest, PageIsInertAndWritesNothingUnlessInstalled) {
  InstallLogonComponent(GetParam().install);
  AddProfile("Work", "3", "");
  test::RefusingWriter recording;
  SsoPageModel model;
  ShowSsoPage(model, &recording, kSsoAdapterKey);
  ClickSsoEnable(model, false, &recording);
  ClickCredentialSource(model, 1, &recording);
  EXPECT_FALSE(ApplySso(model, &recording, kSsoAdapterKey).applied);
  EXPECT_FALSE(model.live);
  EXPECT_FALSE(model.optionControls || model.listControls || model.detailControls);
  EXPECT_TRUE(recording.attempts.empty());
}

INSTANTIATE_TEST_SUITE_P(Rows, SsoInertTest,
                         ::testing::Values(InertRow{"InstallZero", "0"},
                                           InertRow{"InstallMissing", ""}),
                         [](const auto& info) { return std::string(info.param.name); });

struct SelectionRow {
  const char* name;
  const char* curProfile;  // nullptr: missing
  int selected;
  const char* chosen;
};

class SsoSelectionTest : public SsoRulesTest, public ::testing::WithParamInterface<SelectionRow> {};

TEST_P(SsoSelectionTest, CurProfileChoosesTheFirstEntryItBegins) {
  const SelectionRow& row = GetParam();
  InstallLogonComponent();
  Put(kSsoKey, kSsoEnableValue, "1");
  AddProfile("Office", "3", "", "office-net");
  AddProfile("of2", "", "1", "of2-net");
  AddProfile("Zeta", "3", "", "zeta-net");
  if (row.curProfile) Put(kSsoKey, kSsoCurProfileValue, row.curProfile);

  const SsoPageModel model = Shown();
  EXPECT_EQ(model.profiles, (std::vector<std::string>{"of2", "Office", "Zeta"}));
  EXPECT_EQ(model.selected, row.selected);
  EXPECT_EQ(model.profileName, row.chosen);
  EXPECT_EQ(model.detailControls, row.selected >= 0);
  EXPECT_TRUE(model.listControls);
  if (row.selected < 0) {
    EXPECT_EQ(model.ssidValue, "");
    EXPECT_EQ(model.authenticationValue, "");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SsoSelectionTest,
    ::testing::Values(SelectionRow{"PrefixOfTakesTheFirstInListOrder", "Of", 0, "of2"},
                      SelectionRow{"PrefixIgnoresCase", "OFF", 1, "Office"},
                      SelectionRow{"WholeName", "zeta", 2, "Zeta"},
                      SelectionRow{"NoMatchChoosesNothing", "Home", -1, ""},
                      SelectionRow{"LongerThanTheName", "Office1", -1, ""},
                      SelectionRow{"EmptyMatchesTheFirst", "", 0, "of2"},
                      SelectionRow{"MissingChoosesTheFirst", nullptr, 0, "of2"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SsoRulesTest, SelectionChangeShowsThatProfilesDetails) {
  InstallLogonComponent();
  Put(kSsoKey, kSsoEnableValue, "1");
  AddProfile("Fast", "3", "0", "fast-net");
  AddProfile("Leap", "0", "1", "leap-net");
  SsoPageModel model = Shown();
  ASSERT_EQ(model.profileName, "Fast");
  EXPECT_EQ(model.authenticationValue, "EAP-FAST");
  EXPECT_EQ(model.ssidValue, "fast-net");

  SelectSsoProfile(model, 1, kSsoAdapterKey);
  EXPECT_EQ(model.profileName, "Leap");
  EXPECT_EQ(model.authenticationValue, "LEAP");
  EXPECT_EQ(model.ssidValue, "leap-net");

  // A profile whose key went away since the list was read shows no values.
  ASSERT_EQ(SHDeleteKey(HKEY_LOCAL_MACHINE, SsoStationProfilePath(kSsoAdapterKey, "Fast").c_str()), 0u);
  SelectSsoProfile(model, 0, kSsoAdapterKey);
  EXPECT_EQ(model.profileName, "Fast");
  EXPECT_EQ(model.authenticationValue, "");
  EXPECT_EQ(model.ssidValue, "");

  SelectSsoProfile(model, -1, kSsoAdapterKey);
  EXPECT_EQ(model.profileName, "");
  EXPECT_FALSE(model.detailControls);
}

TEST_F(SsoRulesTest, EmptyListLeavesListAndDetailsDisabled) {
  InstallLogonComponent();
  Put(kSsoKey, kSsoEnableValue, "1");
  AddProfile("Peap", "1", "0");
  const SsoPageModel model = Shown();
  EXPECT_TRUE(model.optionControls);
  EXPECT_FALSE(model.listControls);
  EXPECT_FALSE(model.detailControls);
  EXPECT_EQ(model.selected, -1);
}

// ---- The handlers ----

TEST_F(SsoRulesTest, RadioClickWritesTheCredentialSource) {
  InstallLogonComponent();
  Put(kSsoKey, kSsoEnableValue, "1");
  SsoPageModel model = Shown();
  for (int source : {2, 1, 0}) {
    ClickCredentialSource(model, source, &writer);
    EXPECT_EQ(model.credentialSource, source);
    EXPECT_EQ(Sso(kSavedPasswordValue), std::to_string(source));
  }
}

TEST_F(SsoRulesTest, CheckingWritesNothingUntilApply) {
  InstallLogonComponent();
  AddProfile("Work", "3", "");
  SsoPageModel model = Shown();
  ASSERT_FALSE(model.ssoEnabled);
  test::RefusingWriter recording;
  ClickSsoEnable(model, true, &recording);
  EXPECT_TRUE(recording.attempts.empty());
  EXPECT_TRUE(model.optionControls && model.listControls && model.detailControls);
}

TEST_F(SsoRulesTest, UncheckingRemovesTheLogonLibraryAndEverySubkey) {
  InstallLogonComponent();
  Put(kSsoKey, kSsoEnableValue, "1");
  Put(kSsoKey, kSsoCurProfileValue, "Work");
  Put(kSsoKey, kSavedPasswordValue, "1");
  Put(kWinlogonKey, kGinaDllValue, kGinaLibrary);
  // The logon component's own subkeys, one of them with a subkey of its own.
  for (const char* sub : {"Cache", "Users", "Users\\alice", "Zed"}) Put(kSsoKey + std::string("\\") + sub, "x", "1");
  AddProfile("Work", "3", "");
  SsoPageModel model = Shown();
  ASSERT_TRUE(model.ssoEnabled);

  ClickSsoEnable(model, false, &writer);
  EXPECT_FALSE(model.optionControls || model.listControls || model.detailControls);
  EXPECT_FALSE(Gina());
  EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE, kWinlogonKey, "Shell"), "explorer.exe");
  EXPECT_TRUE(SsoSubkeys().empty());
  EXPECT_EQ(Sso(kSsoEnableValue), "0");
  EXPECT_EQ(Sso(kSsoCurProfileValue), "");
  EXPECT_EQ(Sso(kSavedPasswordValue), "1");
  EXPECT_EQ(Sso(kSsoInstallValue), "1");

  // Showing again reads it as off.
  EXPECT_FALSE(Shown().ssoEnabled);
}

TEST_F(SsoRulesTest, UncheckingWithRefusedWritesTracesEachStep) {
  InstallLogonComponent();
  Put(kSsoKey, kSsoEnableValue, "1");
  Put(kSsoKey + std::string("\\Cache"), "x", "1");
  SsoPageModel model = Shown();
  TraceLines trace;
  test::RefusingWriter refusing;
  ClickSsoEnable(model, false, &refusing);
  EXPECT_EQ(refusing.attempts,
            (std::vector<std::string>{"set SSOEnable", "set CurProfile", "delete tree Cache",
                                      "delete value GinaDLL"}));
  EXPECT_TRUE(trace.Has("RegQueryValueEx 'REGSTR_SSO_ENABLE' failed\n"));
  EXPECT_TRUE(trace.Has("RegQueryValueEx 'REGSTR_WINLOGON_GINADLL' failed\n"));
}

// ---- Apply ----

class SsoApplyTest : public SsoRulesTest {
 protected:
  void SetUp() override {
    InstallLogonComponent();
    Put(kSsoKey, kSsoEnableValue, "1");
    Put(kSsoKey, kSsoCurProfileValue, "Work");
    Put(kSsoKey + std::string("\\Cache"), "x", "1");
    Put(kSsoAdapterKey, "DriverDesc", "Test Wireless Adapter");
    Put(kSsoAdapterKey, "NetCfgInstanceId", "{0F5A51D0-0000-4000-8000-025A0F000007}");
    Put(kSsoAdapterKey, "SSID", "old-net");
    Put(kSsoAdapterKey, "CurProfile", "Old");
    AddProfile("Work", "3", "0", "corp-net");
    profilePath = SsoStationProfilePath(kSsoAdapterKey, "Work");
  }
  std::string profilePath;
};

TEST_F(SsoApplyTest, InstallsTheLogonComponentAndMakesTheProfileTheAdapters) {
  const std::string blob(600, 'A');  // longer than a 260-byte read
  Put(profilePath, "EapConfigBlob", blob);
  ASSERT_EQ(RegWriteDword(HKEY_LOCAL_MACHINE, profilePath, "ClientCertLen", 20), 0u);
  // Values that are no profile keys stay behind.
  Put(profilePath, "DriverDesc", "Other Adapter");
  Put(profilePath, "NetCfgInstanceId", "{00000000-0000-0000-0000-000000000000}");
  Put(profilePath, "CurProfile", "Elsewhere");

  SsoPageModel model = Shown();
  ASSERT_EQ(model.profileName, "Work");
  ASSERT_TRUE(model.detailControls);
  const SsoApplyResult result = ApplySso(model, &writer, kSsoAdapterKey);
  EXPECT_TRUE(result.applied);
  EXPECT_EQ(result.copyError, 0u);
  EXPECT_EQ(result.copied, 5u);  // AuthenProtocol, LeapEnabled, SSID, EapConfigBlob, ClientCertLen

  EXPECT_EQ(Gina(), kGinaLibrary);
  const RegValue gina = [] {
    RegValue v;
    RegReadValue(HKEY_LOCAL_MACHINE, kWinlogonKey, kGinaDllValue, &v);
    return v;
  }();
  EXPECT_EQ(gina.type, REG_SZ);
  EXPECT_EQ(Sso(kSsoEnableValue), "1");
  EXPECT_EQ(Sso(kSsoCurProfileValue), "Work");
  EXPECT_EQ(Sso(kDeviceRegistryPathValue), kSsoAdapterKey);
  EXPECT_EQ(Sso(kSsoProfilePathValue), kSsoAdapterKey + "\\Profile\\Station\\Work");
  EXPECT_EQ(Sso(kSsoProfileNameValue), "Profile Name: Work");
  EXPECT_EQ(Sso(kCardNameValue), "Card Name: Test Wireless Adapter");
  EXPECT_TRUE(SsoSubkeys().empty());

  EXPECT_EQ(Adapter("CurProfile"), "Work");
  EXPECT_EQ(Adapter("SSID"), "corp-net");
  EXPECT_EQ(Adapter("AuthenProtocol"), "3");
  EXPECT_EQ(Adapter("EapConfigBlob"), blob);
  EXPECT_EQ(RegReadDword(HKEY_LOCAL_MACHINE, kSsoAdapterKey, "ClientCertLen"), 20u);
  EXPECT_EQ(Adapter("DriverDesc"), "Test Wireless Adapter");
  EXPECT_EQ(Adapter("NetCfgInstanceId"), "{0F5A51D0-0000-4000-8000-025A0F000007}");
}

TEST_F(SsoApplyTest, WithoutDriverDescriptionNoCardNameIsWritten) {
  {
    RegKey adapter;
    ASSERT_EQ(adapter.open(HKEY_LOCAL_MACHINE, kSsoAdapterKey, KEY_ALL_ACCESS), 0u);
    ASSERT_EQ(RegDeleteValue(adapter.get(), "DriverDesc"), 0u);
  }
  TraceLines trace;
  const SsoApplyResult result = ApplySso(Shown(), &writer, kSsoAdapterKey);
  EXPECT_TRUE(result.applied);
  EXPECT_FALSE(Sso(kCardNameValue));
  EXPECT_EQ(Sso(kSsoProfileNameValue), "Profile Name: Work");
  EXPECT_TRUE(trace.Has("RegQueryValueEx 'REGSTR_DRIVER_DESC' failed\n"));
}

TEST_F(SsoApplyTest, AProfileRemovedSinceTheListWasReadWritesNothing) {
  SsoPageModel model = Shown();
  ASSERT_EQ(model.profileName, "Work");
  ASSERT_EQ(SHDeleteKey(HKEY_LOCAL_MACHINE, profilePath.c_str()), 0u);
  test::RefusingWriter recording;
  TraceLines trace;
  EXPECT_FALSE(ApplySso(model, &recording, kSsoAdapterKey).applied);
  EXPECT_TRUE(recording.attempts.empty());
  EXPECT_TRUE(trace.Has("RegOpenKeyEx '" + profilePath + "' failed\n"));
  EXPECT_EQ(Adapter("CurProfile"), "Old");
}

TEST_F(SsoApplyTest, NothingIsAppliedWhileSingleSignOnIsOff) {
  Put(kSsoKey, kSsoEnableValue, "0");
  SsoPageModel model = Shown();
  EXPECT_FALSE(model.detailControls);
  test::RefusingWriter recording;
  EXPECT_FALSE(ApplySso(model, &recording, kSsoAdapterKey).applied);
  EXPECT_TRUE(recording.attempts.empty());
}

TEST_F(SsoApplyTest, CopyStopsAtTheFirstValueThatCannotBeWritten) {
  // Only the adapter key refuses: a writer that fails for every path but the logon keys.
  struct AdapterRefusing final : RegistryWriter {
    DirectRegistryWriter direct;
    uint32_t SetValue(HKEY h, const std::string& p, const std::string& n, uint32_t t,
                      std::string_view d) override {
      if (p.rfind("SYSTEM\\", 0) == 0 && n != "CurProfile") {
        refused.push_back(n);
        return 5;
      }
      return direct.SetValue(h, p, n, t, d);
    }
    uint32_t CreateKey(HKEY h, const std::string& p) override { return direct.CreateKey(h, p); }
    uint32_t DeleteValue(HKEY h, const std::string& p, const std::string& n) override {
      return direct.DeleteValue(h, p, n);
    }
    uint32_t DeleteKey(HKEY h, const std::string& p, const std::string& s) override {
      return direct.DeleteKey(h, p, s);
    }
    uint32_t DeleteKeyTree(HKEY h, const std::string& p, const std::string& s) override {
      return direct.DeleteKeyTree(h, p, s);
    }
    std::vector<std::string> refused;
  } adapterRefusing;
  TraceLines trace;
  const SsoApplyResult result = ApplySso(Shown(), &adapterRefusing, kSsoAdapterKey);
  EXPECT_FALSE(result.applied);
  EXPECT_EQ(result.copyError, 5u);
  EXPECT_EQ(result.copied, 0u);
  EXPECT_EQ(adapterRefusing.refused, std::vector<std::string>{"AuthenProtocol"});
  EXPECT_TRUE(trace.Has("RegSetValueEx AuthenProtocol failed\n"));
}

}  // namespace
}  // namespace ov
