// The WPS credential store in the profile store's files: saving, loading with its limits, the
// replace flag, MarkWpsUse, and the keys kept through the password-encryption library.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/ini/ini.h"
#include "profiles/ov_encrypt_codec.h"
#include "tests/profiles/store_test_support.h"
#include "wps/wps_store.h"

namespace ov::test {
namespace {

WpsCredential Credential(std::string_view ssid, uint32_t auth, uint32_t encr,
                         std::string_view key, uint32_t keyIndex, MacAddress mac) {
  WpsCredential c;
  c.SsidLength = static_cast<uint32_t>(ssid.size());
  std::copy(ssid.begin(), ssid.end(), c.Ssid.begin());
  c.AuthType = auth;
  c.EncryType = encr;
  c.KeyIndex = keyIndex;
  c.KeyLength = static_cast<uint32_t>(key.size());
  std::copy(key.begin(), key.end(), c.Key.begin());
  c.MacAddr = mac;
  return c;
}

class RecordingServiceProfiles final : public WpsServiceProfiles {
 public:
  std::vector<std::string> known;
  std::vector<std::string> deleted;
  bool ServiceProfileExists(std::string_view name) override {
    return std::find(known.begin(), known.end(), name) != known.end();
  }
  bool DeleteServiceProfile(std::string_view name) override {
    deleted.emplace_back(name);
    return true;
  }
};

class WpsStoreTest : public ::testing::Test {
 protected:
  std::string WpsFile() const { return store.FileName(StoreFileKind::Wps); }
  std::string Raw(const std::string& section, const std::string& key) const {
    return IniReadString(WpsFile(), section, key, "<missing>");
  }
  void WriteFile(const std::string& text) { WriteFileBytes(WpsFile(), text); }

  TempDir dir;
  MarkerSecretCodec codec;
  ProfileStore store{LocationIn(dir), &codec, true};
  RecordingServiceProfiles service;
};

TEST_F(WpsStoreTest, SavingTwoCredentialsWritesThemAndSixEmptySlots) {
  WpsStoreState state;
  state.Settings = {1, 1, 12345670, 11};
  state.Table.Count = 2;
  state.Table.Credentials[0] =
      Credential("Home", 32, 8, "passphrase!", 1, {0x02, 0xAB, 0xCD, 0x01, 0x02, 0x03});
  state.Table.Credentials[1] = Credential("Cafe", 1, 1, "", 0, {0x02, 0, 0, 0, 0, 0x0F});
  state.Table.Credentials[5] = Credential("stale", 32, 8, "leftover", 1, {1, 1, 1, 1, 1, 1});
  SaveWpsStore(store, &codec, state, false, nullptr);

  const std::map<std::string, std::string> common = {{"NumberofProfile", "2"},
                                                     {"ConfigMode", "1"},
                                                     {"Wireless Mode", "1"},
                                                     {"PinCode", "12345670"},
                                                     {"Channel", "11"}};
  for (const auto& [key, value] : common) EXPECT_EQ(Raw("Common", key), value) << key;

  EXPECT_EQ(Raw("Profile0", "SSID"), "486f6d65");
  EXPECT_EQ(Raw("Profile0", "SSID_inHex"), "1");
  EXPECT_EQ(Raw("Profile0", "AuthType"), "32");
  EXPECT_EQ(Raw("Profile0", "EncryType"), "8");
  EXPECT_EQ(Raw("Profile0", "KeyIndex"), "1");
  EXPECT_EQ(Raw("Profile0", "KeyLength"), "11");
  EXPECT_EQ(Raw("Profile0", "Key"), "ENC[!esarhpssap]") << "stored like the other secrets";
  EXPECT_EQ(Raw("Profile0", "MacAddress"), "02ABCD010203");
  EXPECT_EQ(Raw("Profile1", "SSID"), "43616665");
  EXPECT_EQ(Raw("Profile1", "Key"), "");
  EXPECT_EQ(Raw("Profile1", "MacAddress"), "02000000000F");
  for (int slot = 2; slot < 8; ++slot) {
    SCOPED_TRACE("slot " + std::to_string(slot));
    const std::string section = WpsProfileSection(slot);
    EXPECT_EQ(Raw(section, "SSID"), "");
    for (const char* key : {"AuthType", "EncryType", "KeyIndex", "KeyLength"}) {
      EXPECT_EQ(Raw(section, key), "0") << key;
    }
    EXPECT_EQ(Raw(section, "Key"), "");
    EXPECT_EQ(Raw(section, "MacAddress"), "000000000000");
  }

  WpsStoreState loaded;
  LoadWpsStore(store, &codec, loaded);
  WpsCredentialTable expected = state.Table;
  expected.Credentials[5] = WpsCredential{};
  EXPECT_EQ(loaded.Table, expected);
  EXPECT_EQ(loaded.Settings, state.Settings);
}

TEST_F(WpsStoreTest, LoadReadsOnlyTheCountedSlotsAndKeepsEveryLimit) {
  struct Row {
    const char* name;
    std::string file;
    uint32_t count;
    std::vector<std::string> ssids;  // of the loaded slots
    std::vector<std::string> keys;
  } rows[] = {
      {"count 2 with a third section",
       "[Common]\nNumberofProfile=2\n[Profile0]\nSSID=a\nKeyLength=3\nKey=k0k\n"
       "[Profile1]\nSSID=b\nKeyLength=3\nKey=k1k\n[Profile2]\nSSID=c\nKeyLength=3\nKey=k2k\n",
       2,
       {"a", "b"},
       {"k0k", "k1k"}},
      {"key longer than its length",
       "[Common]\nNumberofProfile=1\n[Profile0]\nSSID=a\nKeyLength=4\nKey=abcdefgh\n",
       1,
       {"a"},
       {"abcd"}},
      {"length longer than its key",
       "[Common]\nNumberofProfile=1\n[Profile0]\nSSID=a\nKeyLength=30\nKey=abc\n",
       1,
       {"a"},
       {"abc"}},
      {"length beyond the field", "[Common]\nNumberofProfile=1\n[Profile0]\nKeyLength=900\nKey=" +
                                      std::string(70, 'x') + "\n",
       1,
       {""},
       {std::string(64, 'x')}},
      {"SSID longer than 32 in plain text",
       "[Common]\nNumberofProfile=1\n[Profile0]\nSSID=" + std::string(40, 's') + "\n",
       1,
       {std::string(32, 's')},
       {""}},
      {"negative count", "[Common]\nNumberofProfile=-3\n[Profile0]\nSSID=a\n", 0, {}, {}},
      {"no count", "[Common]\nChannel=3\n[Profile0]\nSSID=a\n", 0, {}, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WriteFile(row.file);
    WpsStoreState state;
    LoadWpsStore(store, &codec, state);
    ASSERT_EQ(state.Table.Count, row.count);
    for (uint32_t i = 0; i < row.count; ++i) {
      EXPECT_EQ(WpsCredentialSsid(state.Table.Credentials[i]), row.ssids[i]);
      EXPECT_EQ(WpsCredentialKey(state.Table.Credentials[i]), row.keys[i]);
    }
    for (size_t i = row.count; i < WpsCredentialTable::kMaxCredentials; ++i) {
      EXPECT_EQ(state.Table.Credentials[i], WpsCredential{}) << "slot " << i;
    }
  }
}

TEST_F(WpsStoreTest, CountAboveEightReadsEightSlots) {
  std::string file = "[Common]\nNumberofProfile=12\n";
  for (int slot = 0; slot < 12; ++slot) {
    file += "[Profile" + std::to_string(slot) + "]\nSSID=net" + std::to_string(slot) +
            "\nAuthType=32\n";
  }
  WriteFile(file);
  WpsStoreState state;
  LoadWpsStore(store, &codec, state);
  ASSERT_EQ(state.Table.Count, 8u);
  EXPECT_EQ(WpsCredentialSsid(state.Table.Credentials[7]), "net7");
}

TEST_F(WpsStoreTest, MissingValuesLeaveTheSettingsAndTheMissingFileLoadsEmpty) {
  WpsStoreState state;
  state.WpsProfileInUse = 0;
  state.Settings = {1, 1, 4321, 9};
  state.Table.Count = 1;
  state.PeerAddress = {1, 2, 3, 4, 5, 6};
  LoadWpsStore(store, &codec, state);  // no station file, no WPS file
  EXPECT_EQ(state.WpsProfileInUse, 0) << "no \"WSC\": what the caller set stays";
  EXPECT_EQ(state.Settings, (WpsSettings{1, 1, 4321, 1}));
  EXPECT_EQ(state.Table, WpsCredentialTable{});
  EXPECT_EQ(state.PeerAddress, MacAddress{});

  store.WriteStoreValue(StoreFileKind::Station, "Config", "WSC", "1");
  WriteFile("[Common]\nConfigMode=0\nPinCode=\nChannel=44\n");
  LoadWpsStore(store, &codec, state);
  EXPECT_EQ(state.WpsProfileInUse, 1);
  EXPECT_EQ(state.Settings, (WpsSettings{0, 1, 4321, 44}));
}

TEST_F(WpsStoreTest, MacAddressTextIsTwelveHexadecimalDigits) {
  EXPECT_EQ(FormatWpsMacAddress({0x0A, 0xBC, 0xDE, 0xF0, 0x12, 0x34}), "0ABCDEF01234");
  struct Row {
    const char* text;
    std::optional<MacAddress> mac;
  } rows[] = {{"0abcdef01234", MacAddress{0x0A, 0xBC, 0xDE, 0xF0, 0x12, 0x34}},
              {"0ABCDEF0123", std::nullopt},
              {"0ABCDEF012345", std::nullopt},
              {"0ABCDEF0123G", std::nullopt}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(ParseWpsMacAddress(row.text), row.mac);
  }
  WriteFile("[Common]\nNumberofProfile=1\n[Profile0]\nMacAddress=zz\n");
  WpsStoreState state;
  state.Table.Credentials[0].MacAddr = {9, 9, 9, 9, 9, 9};
  LoadWpsStore(store, &codec, state);
  EXPECT_EQ(state.Table.Credentials[0].MacAddr, MacAddress{});
}

TEST_F(WpsStoreTest, ReplaceDeletesTheServiceProfilesOfTheStoredSsids) {
  WpsStoreState old;
  old.Table.Count = 3;
  old.Table.Credentials[0] = Credential("Old0", 32, 8, "passphrase", 1, {});
  old.Table.Credentials[1] = Credential("Old1", 32, 8, "passphrase", 1, {});
  old.Table.Credentials[2] = Credential("Gone", 32, 8, "passphrase", 1, {});
  SaveWpsStore(store, &codec, old, false, &service);
  EXPECT_TRUE(service.deleted.empty());

  service.known = {"Old0", "Old1", "Other"};
  WpsStoreState fresh;
  fresh.Table.Count = 1;
  fresh.Table.Credentials[0] = Credential("New", 32, 8, "passphrase", 1, {});
  SaveWpsStore(store, &codec, fresh, false, &service);
  EXPECT_TRUE(service.deleted.empty()) << "without the replace flag nothing is deleted";

  SaveWpsStore(store, &codec, old, false, &service);
  SaveWpsStore(store, &codec, fresh, true, &service);
  EXPECT_EQ(service.deleted, (std::vector<std::string>{"Old0", "Old1"}))
      << "only stored, non-empty SSIDs the service knows";
  service.deleted.clear();
  SaveWpsStore(store, &codec, fresh, true, nullptr);  // no service: nothing to ask
  EXPECT_EQ(Raw("Profile0", "SSID"), "4e6577");
}

TEST_F(WpsStoreTest, MarkWpsUseWritesWscAndChannel) {
  WpsStoreState state;
  state.WpsProfileInUse = 1;
  state.Settings.Channel = 149;
  MarkWpsUse(store, state);
  EXPECT_EQ(store.ReadStoreValue(StoreFileKind::Station, "Config", "WSC"), "1");
  EXPECT_EQ(Raw("Common", "Channel"), "149");
  state.WpsProfileInUse = 0;
  MarkWpsUse(store, state);
  EXPECT_EQ(store.ReadStoreValue(StoreFileKind::Station, "Config", "WSC"), "0");
}

TEST_F(WpsStoreTest, KeysWithEncryptionOffAndWithTheRealLibrary) {
  WpsStoreState state;
  state.Table.Count = 1;
  state.Table.Credentials[0] =
      Credential("Net", 32, 8, "a secret phrase", 1, {2, 0, 0, 0, 0, 1});

  store.setEncryptPasswords(false);
  SaveWpsStore(store, &codec, state, false, nullptr);
  EXPECT_EQ(Raw("Profile0", "Key"), "a secret phrase");
  WpsStoreState loaded;
  LoadWpsStore(store, &codec, loaded);
  EXPECT_EQ(loaded.Table, state.Table) << "a clear key written earlier still loads";

  OvEncryptSecretCodec library(std::string(OVUI_BIN_DIR) + "/libOvEncrypt.so");
  ProfileStore encrypted(LocationIn(dir), &library, true);
  SaveWpsStore(encrypted, &library, state, false, nullptr);
  const std::string fileText = ReadFileBytes(WpsFile());
  EXPECT_EQ(fileText.find("a secret phrase"), std::string::npos) << fileText;
  EXPECT_NE(Raw("Profile0", "Key"), "");
  WpsStoreState fromLibrary;
  LoadWpsStore(encrypted, &library, fromLibrary);
  EXPECT_EQ(fromLibrary.Table, state.Table);

  // A 64-digit key still fits the store's value once encrypted.
  state.Table.Credentials[0] = Credential("Net", 32, 8, std::string(64, 'f'), 1, {});
  SaveWpsStore(encrypted, &library, state, false, nullptr);
  LoadWpsStore(encrypted, &library, fromLibrary);
  EXPECT_EQ(WpsCredentialKey(fromLibrary.Table.Credentials[0]), std::string(64, 'f'));
}

TEST(WpsTable, ClampKeepsTheDriversLayout) {
  WpsCredentialTable table;
  table.Count = 9;
  table.Credentials[0].SsidLength = 40;
  table.Credentials[0].KeyLength = 80;
  table.Credentials[7].KeyLength = 12;
  ClampWpsCredentialTable(table);
  EXPECT_EQ(table.Count, 8u);
  EXPECT_EQ(table.Credentials[0].SsidLength, 32u);
  EXPECT_EQ(table.Credentials[0].KeyLength, 64u);
  EXPECT_EQ(table.Credentials[7].KeyLength, 12u);

  WpsStoreState state;
  WpsCredentialTable fromDriver;
  fromDriver.Count = 1;
  fromDriver.Credentials[0].SsidLength = 5;
  fromDriver.Credentials[3].SsidLength = 7;  // past the count
  TakeDriverCredentialTable(state, fromDriver);
  EXPECT_EQ(state.Table.Count, 1u);
  EXPECT_EQ(state.Table.Credentials[0].SsidLength, 5u);
  EXPECT_EQ(state.Table.Credentials[3], WpsCredential{});

  state.PeerAddress = {1, 1, 1, 1, 1, 1};
  state.Settings.Channel = 6;
  ResetWpsCredentials(state);
  EXPECT_EQ(state.Table, WpsCredentialTable{});
  EXPECT_EQ(state.PeerAddress, MacAddress{});
  EXPECT_EQ(state.Settings.Channel, 1);
}

}  // namespace
}  // namespace ov::test
