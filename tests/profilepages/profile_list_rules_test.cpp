// The profile list's rules without widgets: rows and images, the active row, details with
// stored codes outside their tables, default names, deletion and activation over a real store.
#include <gtest/gtest.h>

#include <set>

#include "lang/language_table.h"
#include "profilepages/profile_list_rules.h"
#include "profiles/profile_store.h"
#include "shell/action_queue.h"
#include "tests/actionqueue/queue_test_support.h"
#include "tests/profiles/store_test_support.h"
#include "tests/support/temp_dir.h"

namespace ov {
namespace {

struct RowCase {
  const char* name;
  ProfileRowValues values;
  bool wpaReady;
  bool secured;
  bool wapi;
  int securityImage;
  int networkTypeImage;
};

void PrintTo(const RowCase& c, std::ostream* os) { *os << c.name; }

class ProfileRowTest : public ::testing::TestWithParam<RowCase> {};

TEST_P(ProfileRowTest, SecurityAndNetworkType) {
  const RowCase& c = GetParam();
  const ProfileRow row = MakeProfileRow("P", c.values, c.wpaReady);
  EXPECT_EQ(row.Secured, c.secured);
  EXPECT_EQ(row.Wapi, c.wapi);
  EXPECT_EQ(SecurityImage(row), c.securityImage);
  EXPECT_EQ(NetworkTypeImage(row), c.networkTypeImage);
  EXPECT_EQ(row.State, kRowNotActive);
}

// values: ssid, authMode, use8021x, cipherMode, networkType
INSTANTIATE_TEST_SUITE_P(
    Rows, ProfileRowTest,
    ::testing::Values(
        RowCase{"OpenNoCipher", {"a", 0, 0, 1, 1}, true, false, false, -1, 1},
        RowCase{"OpenWep", {"a", 0, 0, 0, 1}, true, true, false, 5, 1},
        RowCase{"Open8021xWpaReady", {"a", 0, 1, 1, 1}, true, true, false, 5, 1},
        RowCase{"Open8021xWithoutWpa", {"a", 0, 1, 1, 1}, false, false, false, -1, 1},
        RowCase{"Wpa2PskIgnores8021x", {"a", 7, 0, 6, 1}, true, true, false, 5, 1},
        RowCase{"WapiPsk", {"a", 256, 0, 256, 1}, true, true, true, 10, 1},
        RowCase{"WapiCa", {"a", 512, 0, 256, 1}, true, true, true, 10, 1},
        RowCase{"AuthOutOfRangeCountsOpen", {"a", 9, 0, 1, 1}, true, false, false, -1, 1},
        RowCase{"NegativeAuthCountsOpen", {"a", -3, 0, 1, 1}, true, false, false, -1, 1},
        RowCase{"AdhocOpen", {"a", 0, 0, 1, 0}, true, false, false, -1, 0},
        RowCase{"AutoIsInfrastructure", {"a", 0, 0, 1, 2}, true, false, false, -1, 1}),
    [](const auto& info) { return std::string(info.param.name); });

struct LinkCase {
  const char* name;
  std::string rowSsid;
  LinkFacts link;
  int32_t state;
};

void PrintTo(const LinkCase& c, std::ostream* os) { *os << c.name; }

class ActiveStateTest : public ::testing::TestWithParam<LinkCase> {};

TEST_P(ActiveStateTest, ConnectedOnlyToItsOwnSsidFromThisList) {
  ProfileRow row;
  row.Ssid = GetParam().rowSsid;
  EXPECT_EQ(ActiveRowState(row, GetParam().link), GetParam().state);
}

// link: connected, bssidNonZero, stationProfileInUse, wpsProfileInUse, currentSsid
INSTANTIATE_TEST_SUITE_P(
    Link, ActiveStateTest,
    ::testing::Values(
        LinkCase{"ConnectedToItsSsid", "Home", {true, true, 1, 0, "Home"}, 0},
        LinkCase{"SsidComparedExactly", "Home", {true, true, 1, 0, "HOME"}, 1},
        LinkCase{"RowWithoutSsid", "", {true, true, 1, 0, "Any"}, 0},
        LinkCase{"OtherSsid", "Home", {true, true, 1, 0, "Cafe"}, 1},
        LinkCase{"NotConnected", "Home", {false, false, 1, 0, ""}, 1},
        LinkCase{"ZeroBssid", "Home", {true, false, 1, 0, "Home"}, 1},
        LinkCase{"ConnectionFromTheSurvey", "Home", {true, true, 0, 0, "Home"}, 1},
        LinkCase{"ConnectionFromWps", "Home", {true, true, 1, 1, "Home"}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileListRules, StateImagesAndMarking) {
  std::vector<ProfileRow> rows(3);
  MarkActiveRow(rows, 1, kRowActiveConnected);
  EXPECT_EQ(StateImage(rows[0], true), -1);
  EXPECT_EQ(StateImage(rows[1], true), kProfileImageActiveConnected);
  EXPECT_EQ(StateImage(rows[1], false), -1) << "no state image without ActiveProfileIcon";
  MarkActiveRow(rows, 2, kRowActiveNotConnected);
  EXPECT_EQ(rows[1].State, kRowNotActive) << "the previous active row loses its mark";
  EXPECT_EQ(StateImage(rows[2], true), kProfileImageActiveNotConnected);
  MarkActiveRow(rows, std::nullopt, kRowActiveConnected);
  for (const ProfileRow& row : rows) EXPECT_EQ(row.State, kRowNotActive);
}

TEST(ProfileListRules, TargetRowIsTheSelectionOrTheOnlyRow) {
  struct Case {
    std::optional<size_t> selected;
    size_t count;
    std::optional<size_t> target;
  };
  const Case cases[] = {{std::nullopt, 1, 0}, {std::nullopt, 2, std::nullopt},
                        {std::nullopt, 0, std::nullopt}, {1, 3, 1},
                        {5, 3, std::nullopt}, {5, 1, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(TargetRow(c.selected, c.count), c.target)
        << "selected " << (c.selected ? std::to_string(*c.selected) : "none") << " of " << c.count;
  }
}

TEST(ProfileListRules, FindActiveRowIgnoresCase) {
  std::vector<ProfileRow> rows(2);
  rows[0].Name = "Home";
  rows[1].Name = "Office";
  EXPECT_EQ(FindActiveRow(rows, "oFFICE"), std::optional<size_t>(1));
  EXPECT_EQ(FindActiveRow(rows, ""), std::nullopt);
  EXPECT_EQ(FindActiveRow(rows, "Offic"), std::nullopt);
}

TEST(ProfileListRules, NextDefaultProfileName) {
  struct Case {
    std::vector<std::string> names;
    const char* next;
  };
  const Case cases[] = {
      {{}, "PROF1"},
      {{"PROF1", "PROF7"}, "PROF8"},
      {{"PROF1", "prof3"}, "PROF2"},            // other case does not count
      {{"  PROF12 ", "Home"}, "PROF13"},        // trimmed before the prefix test
      {{"PROFabc"}, "PROF1"},                   // no number reads as 0
      {{"PROF4x", "PROF2"}, "PROF5"},           // leading digits only
      {{"PROF99999999999999999999"}, "PROF2147483648"},  // bounded, never overflows
      {{"XPROF9"}, "PROF1"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NextDefaultProfileName(c.names, "PROF"), c.next)
        << ::testing::PrintToString(c.names);
  }
}

TEST(ProfileListRules, TextTablesGiveNothingForCodesOutsideThem) {
  EXPECT_EQ(AuthenticationText(7), LangText(IDS_WPA2PSK));
  EXPECT_EQ(AuthenticationText(256), LangText(IDS_WAPIPSK));
  EXPECT_EQ(AuthenticationText(512), LangText(IDS_WAPICA));
  EXPECT_EQ(AuthenticationText(12), LangText(IDS_LEAP));
  EXPECT_EQ(EncryptionText(256), LangText(IDS_SMS4));
  EXPECT_EQ(EncryptionText(6), LangText(IDS_AES));
  EXPECT_EQ(TxPowerText(2), "75 %");
  EXPECT_EQ(LeapEncryptionText(2), "WPA2-AES");
  for (int32_t code : {-1, 13, 255, 1000, INT32_MIN, INT32_MAX}) {
    EXPECT_EQ(AuthenticationText(code), "") << code;
    EXPECT_EQ(EncryptionText(code), "") << code;
  }
  EXPECT_EQ(EncryptionText(3), "") << "a gap of the table";
  for (int32_t code : {-1, 3, 100}) EXPECT_EQ(NetworkTypeText(code), "") << code;
  for (int32_t code : {-1, 7, 100}) EXPECT_EQ(TxPowerText(code), "") << code;
  for (int32_t code : {-1, 3}) EXPECT_EQ(LeapEncryptionText(code), "") << code;
}

class StoreRulesTest : public ::testing::Test {
 protected:
  void Put(const std::string& name, std::vector<ProfileStore::KeyValue> values) {
    ASSERT_TRUE(store.WriteStoreValues(StoreFileKind::Profiles, name, values));
  }
  std::vector<std::string> Names() const { return store.ListProfileNames(); }
  std::string Active() const {
    return store.ReadStoreValue(StoreFileKind::Station, kActiveSection, kCurProfileKey);
  }

  test::TempDir dir;
  ProfileStore store{test::LocationIn(dir)};
};

TEST_F(StoreRulesTest, DetailsOfStoredProfiles) {
  Put("Adhoc", {{"SSID", "Peer"}, {"NetworkType", "0"}, {"Channel", "11"}, {"AuthMode", "0"},
                {"CipherMode", "1"}, {"TXPower", "3"}, {"ProfilePSMode", "1"}, {"UseRts", "1"},
                {"RtsThresh", "1500"}, {"UseFrag", "0"}, {"FragThresh", "2000"}});
  Put("Leap", {{"SSID", "Corp"}, {"NetworkType", "1"}, {"LeapEnabled", "1"},
               {"LeapEncryType", "1"}, {"AuthMode", "7"}, {"Use8021X", "1"}, {"ProfilePSMode", "1"}});
  // WPA2 with 802.1X as the editor stores it (the check box is hidden but set).
  Put("Corp", {{"SSID", "corp"}, {"NetworkType", "1"}, {"AuthMode", "6"}, {"CipherMode", "6"},
               {"Use8021X", "1"}, {"AuthenProtocol", "2"}});
  Put("Broken", {{"SSID", "X"}, {"NetworkType", "7"}, {"AuthMode", "40"}, {"CipherMode", "99"},
                 {"TXPower", "12"}, {"ProfilePSMode", "0"}});

  const ProfileDetails adhoc = ReadProfileDetails(store, "Adhoc");
  EXPECT_EQ(adhoc.ssid, "Peer");
  EXPECT_EQ(adhoc.networkType, LangText(IDS_ADHOC));
  EXPECT_EQ(adhoc.channel, "11");
  EXPECT_EQ(adhoc.authentication, LangText(IDS_OPENSYSTEM));
  EXPECT_EQ(adhoc.encryption, LangText(IDS_NONE));
  EXPECT_EQ(adhoc.use8021x, "NO");
  EXPECT_EQ(adhoc.txPower, "50 %");
  EXPECT_EQ(adhoc.powerSave, "") << "ad hoc has no power save mode";
  EXPECT_EQ(adhoc.rtsThreshold, "1500");
  EXPECT_EQ(adhoc.fragThreshold, "") << "UseFrag is off";

  const ProfileDetails leap = ReadProfileDetails(store, "Leap");
  EXPECT_EQ(leap.authentication, LangText(IDS_LEAP));
  EXPECT_EQ(leap.encryption, "WPA-TKIP");
  EXPECT_EQ(leap.use8021x, "YES");
  EXPECT_EQ(leap.channel, LangText(IDS_AUTO));
  EXPECT_EQ(leap.powerSave, LangText(IDS_SYS_PSM));

  const ProfileDetails corp = ReadProfileDetails(store, "Corp");
  EXPECT_EQ(corp.authentication, LangText(IDS_WPA2));
  EXPECT_EQ(corp.encryption, LangText(IDS_AES));
  EXPECT_EQ(corp.use8021x, "YES");

  // Codes no table holds show nothing rather than a text from beyond the table.
  const ProfileDetails broken = ReadProfileDetails(store, "Broken");
  EXPECT_EQ(broken.networkType, "");
  EXPECT_EQ(broken.authentication, "");
  EXPECT_EQ(broken.encryption, "");
  EXPECT_EQ(broken.txPower, "");
  EXPECT_EQ(broken.powerSave, LangText(IDS_SYS_CAM)) << "NetworkType 7 is not ad hoc";
}

TEST_F(StoreRulesTest, ActiveNameOfAStandardUserIsTheSelectedProfile) {
  Put("A", {{"SSID", "x"}});
  Put("B", {{"SSID", "y"}});
  ASSERT_TRUE(store.WriteStoreValue(StoreFileKind::Station, kActiveSection, kCurProfileKey, "A"));
  EXPECT_EQ(ActiveProfileName(store, true, "B"), "A");
  EXPECT_EQ(ActiveProfileName(store, false, "B"), "B")
      << "a standard user's activation names the profile the loader reads, not CurProfile";
  EXPECT_EQ(ActiveProfileName(store, false, ""), "");
}

// The rows A..: name and SSID; `activeTime` marks rows activated before.
struct DeleteCase {
  const char* name;
  std::vector<std::tuple<std::string, std::string, bool>> rows;  // name, SSID, activated before
  std::string active;
  size_t deleteIndex;
  int32_t stationInUse;
  int32_t wpsInUse;
  std::string wpsSsid;
  std::set<std::string> serviceHolds;
  // Expected:
  std::vector<std::string> remaining;
  std::optional<std::string> reactivate;
  std::set<std::string> serviceAfter;
  bool reset;
  std::optional<size_t> selectRow;
};

void PrintTo(const DeleteCase& c, std::ostream* os) { *os << c.name; }

class DeleteRulesTest : public ::testing::TestWithParam<DeleteCase> {};

TEST_P(DeleteRulesTest, Deletes) {
  const DeleteCase& c = GetParam();
  test::TempDir dir;
  ProfileStore store(test::LocationIn(dir));
  for (const auto& [name, ssid, activated] : c.rows) {
    std::vector<ProfileStore::KeyValue> values = {{"SSID", ssid}, {"NetworkType", "1"}};
    if (activated) values.push_back({"ActiveTime", "2026, 12, 1, 10, 0, 0"});
    ASSERT_TRUE(store.WriteStoreValues(StoreFileKind::Profiles, name, values));
  }
  if (!c.active.empty()) {
    ASSERT_TRUE(store.ActivateProfileInStore(c.active, "2026, 12, 2, 9, 0, 0"));
  }

  std::set<std::string> service = c.serviceHolds;
  int32_t stationInUse = c.stationInUse;
  DeleteContext context;
  context.activeName = c.active;
  context.stationProfileInUse = &stationInUse;
  context.wpsProfileInUse = c.wpsInUse;
  context.wpsCredentialSsid = c.wpsSsid;
  context.service.exists = [&](const std::string& n) { return service.count(n) != 0; };
  context.service.remove = [&](const std::string& n) { service.erase(n); };

  const std::vector<ProfileRow> rows = ReadProfileRows(store, true);
  const DeleteOutcome outcome = DeleteProfileRow(store, rows, c.deleteIndex, context);

  EXPECT_EQ(store.ListProfileNames(), c.remaining);
  ASSERT_EQ(outcome.rows.size(), c.remaining.size());
  EXPECT_EQ(outcome.reactivate, c.reactivate);
  EXPECT_EQ(service, c.serviceAfter);
  EXPECT_EQ(outcome.activeConfigurationReset, c.reset);
  if (c.reset) {
    EXPECT_EQ(stationInUse, 0);
    EXPECT_EQ(store.ReadStoreValue(StoreFileKind::Station, kActiveSection, kCurProfileKey), "");
  } else {
    EXPECT_EQ(stationInUse, c.stationInUse);
  }
  EXPECT_EQ(outcome.selectRow, c.selectRow);
}

INSTANTIATE_TEST_SUITE_P(
    Delete, DeleteRulesTest,
    ::testing::Values(
        DeleteCase{"ActiveWithActivatedSuccessorOfSameSsid",
                   {{"A", "X", true}, {"B", "X", true}, {"C", "Y", false}}, "A", 0, 1, 0, "", {"X", "Y"},
                   {"B", "C"}, "B", {"Y"}, true, 0},
        DeleteCase{"ActiveWithNeverActivatedSuccessor",
                   {{"A", "X", true}, {"B", "X", false}}, "A", 0, 1, 0, "", {"X"},
                   {"B"}, std::nullopt, {}, true, 0},
        DeleteCase{"SuccessorSsidDiffersInCase",
                   {{"A", "X", true}, {"B", "x", true}}, "A", 0, 1, 0, "", {},
                   {"B"}, std::nullopt, {}, true, 0},
        DeleteCase{"ActiveLastRowHasNoSuccessor",
                   {{"A", "X", true}, {"B", "X", true}}, "B", 1, 1, 0, "", {"X"},
                   {"A"}, std::nullopt, {}, true, 0},
        DeleteCase{"NotActiveSharingTheActiveSsidKeepsServiceProfile",
                   {{"A", "X", true}, {"B", "X", false}}, "A", 1, 1, 0, "", {"X"},
                   {"A"}, std::nullopt, {"X"}, false, 0},
        DeleteCase{"SsidComparedWithoutCaseForTheServiceProfile",
                   {{"A", "Home", true}, {"B", "HOME", false}}, "A", 1, 1, 0, "", {"HOME"},
                   {"A"}, std::nullopt, {"HOME"}, false, 0},
        DeleteCase{"NotActiveOtherSsidRemovesServiceProfile",
                   {{"A", "X", true}, {"B", "Y", false}, {"C", "Z", false}}, "A", 1, 1, 0, "",
                   {"X", "Y"}, {"A", "C"}, std::nullopt, {"X"}, false, 1},
        DeleteCase{"ServiceWithoutTheProfile",
                   {{"A", "X", false}}, "", 0, 0, 0, "", {"Q"},
                   {}, std::nullopt, {"Q"}, false, std::nullopt},
        DeleteCase{"ActiveButNotInUseKeepsActiveConfiguration",
                   {{"A", "X", true}, {"B", "X", true}}, "A", 0, 0, 0, "", {},
                   {"B"}, "B", {}, false, 0},
        DeleteCase{"WpsCredentialKeepsItsServiceProfileAndNothingIsReactivated",
                   {{"A", "X", true}, {"B", "X", true}}, "A", 0, 1, 1, "x", {"X"},
                   {"B"}, std::nullopt, {"X"}, true, 0},
        DeleteCase{"IndexPastTheList",
                   {{"A", "X", false}}, "", 3, 0, 0, "", {"X"},
                   {"A"}, std::nullopt, {"X"}, false, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

class ActivationRulesTest : public ::testing::Test {
 protected:
  ActivationRulesTest() {
    services.client = &client;
    services.store = &store;
    queue = std::make_unique<ActionQueue>(services);
    queue->adapter().radioOn = true;
  }
  test::TempDir dir;
  ProfileStore store{test::LocationIn(dir)};
  test::RecordingClient client;
  ActionQueueServices services;
  std::unique_ptr<ActionQueue> queue;
};

TEST_F(ActivationRulesTest, WritingUserRecordsAndApplies) {
  ASSERT_TRUE(store.WriteStoreValues(StoreFileKind::Profiles, "Home",
                                     {{"SSID", "Orvane-Home"}, {"NetworkType", "1"}}));
  ASSERT_TRUE(store.WriteStoreValue(StoreFileKind::Station, kActiveSection, kWscKey, "1"));
  queue->wps().WpsProfileInUse = 1;
  queue->adapter().isAdmin = true;  // the loader then reads the active configuration
  ASSERT_TRUE(ActivateStoredProfile(*queue, store, "Home", true, 0));
  EXPECT_EQ(store.ReadStoreValue(StoreFileKind::Station, kActiveSection, kCurProfileKey), "Home");
  EXPECT_EQ(store.ReadStoreValue(StoreFileKind::Station, kActiveSection, kWscKey), "0");
  EXPECT_FALSE(store.ReadStoreValue(StoreFileKind::Profiles, "Home", kActiveTimeKey).empty());
  EXPECT_EQ(queue->wps().WpsProfileInUse, 0);
  EXPECT_EQ(queue->activation().StationProfileInUse, 1);
  ASSERT_EQ(client.applied.size(), 1u);
  EXPECT_EQ(client.applied[0].ssid, "Orvane-Home");
}

TEST_F(ActivationRulesTest, StandardUserWritesNothingAndTheLoaderReadsTheSelectedSection) {
  ASSERT_TRUE(store.WriteStoreValues(StoreFileKind::Profiles, "Home", {{"SSID", "Orvane-Home"}}));
  ASSERT_TRUE(store.WriteStoreValues(StoreFileKind::Profiles, "Cafe", {{"SSID", "Orvane-Open"}}));
  ASSERT_TRUE(store.ActivateProfileInStore("Home", "2026, 1, 1, 0, 0, 0"));
  const auto before = test::Snapshot(dir.path());
  ASSERT_TRUE(ActivateStoredProfile(*queue, store, "Cafe", false, 0));
  EXPECT_EQ(test::Snapshot(dir.path()), before) << "the store is not written";
  EXPECT_EQ(queue->activation().SelectedProfileName, "Cafe");
  ASSERT_EQ(client.applied.size(), 1u);
  EXPECT_EQ(client.applied[0].ssid, "Orvane-Open");
}

TEST_F(ActivationRulesTest, UnwritableStoreAppliesNothing) {
  ASSERT_TRUE(store.WriteStoreValues(StoreFileKind::Profiles, "Home", {{"SSID", "Orvane-Home"}}));
  ProfileStore nowhere(StoreLocation{(dir.path() / "missing-folder/").string(), 4,
                                     "{6B29FC40-CA47-1067-B31D-00DD010662DA}"});
  EXPECT_FALSE(ActivateStoredProfile(*queue, nowhere, "Home", true, 0));
  EXPECT_TRUE(client.applied.empty());
}

TEST_F(ActivationRulesTest, ThePromptsValuesGoOnlyIntoTheActiveConfiguration) {
  ASSERT_TRUE(store.WriteStoreValues(StoreFileKind::Profiles, "Corp",
                                     {{"SSID", "Orvane-Corp"}, {"NetworkType", "1"},
                                      {"Use8021X", "1"}, {"TunnelID", "old"}}));
  queue->adapter().isAdmin = true;  // the loader then reads the active configuration
  ASSERT_TRUE(ActivateStoredProfile(*queue, store, "Corp", true, 0,
                                    {{"TunnelID", "new"}, {"TunnelPassword", "otp-1"}}));
  EXPECT_EQ(store.ReadStoreValue(StoreFileKind::Station, kActiveSection, "TunnelID"), "new");
  EXPECT_EQ(store.ReadStoreValue(StoreFileKind::Station, kActiveSection, "TunnelPassword"), "otp-1");
  EXPECT_EQ(store.ReadStoreValue(StoreFileKind::Profiles, "Corp", "TunnelID"), "old");
  EXPECT_EQ(store.ReadStoreValue(StoreFileKind::Profiles, "Corp", "TunnelPassword"), "");
  EXPECT_EQ(client.applied.size(), 1u);
}

TEST_F(ActivationRulesTest, PromptValuesAreReadAsStored) {
  ASSERT_TRUE(store.WriteStoreValues(StoreFileKind::Profiles, "Gtc",
                                     {{"Use8021X", "1"}, {"AuthenProtocol", "0"},
                                      {"TunnelProtocol", "6"}, {"TunnelID", "tok"}}));
  PeapPromptProfile p = ReadPeapPromptProfile(store, "Gtc");
  EXPECT_EQ(p.use8021x, 1u);
  EXPECT_EQ(p.tunnelProtocol, 6u);
  EXPECT_EQ(p.tunnelId, "tok");
  EXPECT_EQ(p.passwordMode, 1u) << "no stored mode is the static password, not a soft token";
  ASSERT_TRUE(store.WriteStoreValue(StoreFileKind::Profiles, "Gtc", "PasswordMode", "0"));
  EXPECT_EQ(ReadPeapPromptProfile(store, "Gtc").passwordMode, 0u);
}

}  // namespace
}  // namespace ov
