// The store's value operations: encodings on disk, secrets, blob records, list, delete, clear,
// copy to the active configuration and reset.
#include <gtest/gtest.h>

#include "nativewifi/station_profile.h"
#include "platform/ini/ini.h"
#include "profiles/profile_store.h"
#include "profiles/store_encoding.h"
#include "tests/profiles/store_test_support.h"

namespace ov {
namespace {

using test::ReadFileBytes;
using test::WriteFileBytes;

class ProfileStoreTest : public ::testing::Test {
 protected:
  std::string raw(StoreFileKind kind, const std::string& section, const std::string& key) {
    return IniReadString(store.FileName(kind), section, key, "<missing>", 4000);
  }
  std::string read(const std::string& section, const std::string& key) {
    return store.ReadStoreValue(StoreFileKind::Profiles, section, key);
  }
  bool write(const std::string& section, const std::string& key, const std::string& value) {
    return store.WriteStoreValue(StoreFileKind::Profiles, section, key, value);
  }

  test::TempDir dir;
  test::MarkerSecretCodec codec;
  ProfileStore store{test::LocationIn(dir), &codec, true};
};

TEST_F(ProfileStoreTest, SsidIsStoredHexadecimalAndReadsBackIdentical) {
  std::string ssid;
  for (int i = 0; i < 32; ++i) ssid.push_back(static_cast<char>(i % 2 ? 0x01 + i : 0x80 + i));
  ASSERT_TRUE(write("Home", "SSID", ssid));
  EXPECT_EQ(raw(StoreFileKind::Profiles, "Home", "SSID"), HexLower(ssid));
  EXPECT_EQ(raw(StoreFileKind::Profiles, "Home", "SSID").size(), 64u);
  EXPECT_EQ(raw(StoreFileKind::Profiles, "Home", "SSID_inHex"), "1");
  EXPECT_EQ(read("Home", "SSID"), ssid);
}

TEST_F(ProfileStoreTest, SsidEncodingEdgeCases) {
  // A NUL byte ends the SSID.
  ASSERT_TRUE(write("Nul", "SSID", std::string("ab\0cd", 5)));
  EXPECT_EQ(read("Nul", "SSID"), "ab");
  // Without the hexadecimal mark the text is the SSID itself.
  ASSERT_TRUE(IniWriteString(store.FileName(StoreFileKind::Profiles), "Plain", "SSID", "486f6d65"));
  EXPECT_EQ(read("Plain", "SSID"), "486f6d65");
  // The diagnostic SSID is always hexadecimal and also marks the section.
  ASSERT_TRUE(write("Diag", "DiagnosticSSID", "CCX-Diag"));
  EXPECT_EQ(raw(StoreFileKind::Profiles, "Diag", "DiagnosticSSID"), HexLower("CCX-Diag"));
  EXPECT_EQ(raw(StoreFileKind::Profiles, "Diag", "SSID_inHex"), "1");
  EXPECT_EQ(read("Diag", "DiagnosticSSID"), "CCX-Diag");
}

TEST_F(ProfileStoreTest, ValuesTheIniEngineWouldTrimOrUnquoteReadBackUnchanged) {
  const char* values[] = {" leading blank", "trailing blank ", "  both  ", "\"quoted\"",
                          "'single'",        "\"",             "a = b ; c", "\t tab"};
  int n = 0;
  for (const char* value : values) {
    SCOPED_TRACE(value);
    std::string section = "P" + std::to_string(n++);
    for (const char* key : {"WPAPSK", "ServerName"}) {  // secret and plain alike
      store.setEncryptPasswords(false);
      ASSERT_TRUE(write(section, key, value));
      EXPECT_EQ(read(section, key), value);
      store.setEncryptPasswords(true);
      ASSERT_TRUE(write(section, key, value));
      EXPECT_EQ(read(section, key), value);
    }
  }
}

TEST_F(ProfileStoreTest, SecretsAreEncryptedOnlyWhileEncryptionIsOn) {
  for (std::string_view key : EncryptedKeyList) {
    SCOPED_TRACE(key);
    std::string k(key);
    std::string secret = "secret-" + k;
    ASSERT_TRUE(write("On", k, secret));
    EXPECT_EQ(raw(StoreFileKind::Profiles, "On", k),
              "ENC[" + std::string(secret.rbegin(), secret.rend()) + "]");
    EXPECT_EQ(read("On", k), "secret-" + k);
  }
  ASSERT_TRUE(write("On", "DomainName", "CORP"));
  EXPECT_EQ(raw(StoreFileKind::Profiles, "On", "DomainName"), "CORP");
  ASSERT_TRUE(write("On", "ID", ""));
  EXPECT_EQ(raw(StoreFileKind::Profiles, "On", "ID"), "");  // empty values are not encrypted

  store.setEncryptPasswords(false);
  int before = codec.decryptCalls;
  ASSERT_TRUE(write("Off", "Password", "clear-text"));
  EXPECT_EQ(raw(StoreFileKind::Profiles, "Off", "Password"), "clear-text");
  // Reading still asks the library; a value it did not produce comes back unchanged.
  EXPECT_EQ(read("Off", "Password"), "clear-text");
  EXPECT_GT(codec.decryptCalls, before);
}

TEST_F(ProfileStoreTest, WithoutTheLibrarySecretsStayInClearText) {
  ProfileStore plain(test::LocationIn(dir), nullptr, true);
  ASSERT_TRUE(plain.WriteStoreValue(StoreFileKind::Profiles, "P", "WPAPSK", "passphrase"));
  EXPECT_EQ(raw(StoreFileKind::Profiles, "P", "WPAPSK"), "passphrase");
  EXPECT_EQ(plain.ReadStoreValue(StoreFileKind::Profiles, "P", "WPAPSK"), "passphrase");
  // And a store with the library reads what was written without it.
  EXPECT_EQ(read("P", "WPAPSK"), "passphrase");
}

TEST_F(ProfileStoreTest, ReadsAreCutToTheBuffer) {
  ASSERT_TRUE(write("P", "ServerName", std::string(300, 's')));
  EXPECT_EQ(read("P", "ServerName").size(), 255u);
  EXPECT_EQ(store.ReadStoreValue(StoreFileKind::Profiles, "P", "ServerName", 10), "sssssssss");
  EXPECT_EQ(read("Missing", "ServerName"), "");
}

TEST_F(ProfileStoreTest, BlobRecordsAreFoundByExactName) {
  ASSERT_TRUE(store.WriteStoreValue(StoreFileKind::ProfilesBlob, "MyHome", "EapConfigBlob", "AAAA"));
  ASSERT_TRUE(store.WriteStoreValue(StoreFileKind::ProfilesBlob, "Home", "EapConfigBlob", "0102"));
  ASSERT_TRUE(store.WriteStoreValue(StoreFileKind::ProfilesBlob, "Home2", "EapConfigBlob", "0304"));
  EXPECT_EQ(ReadFileBytes(store.FileName(StoreFileKind::ProfilesBlob)),
            "<MyHome>AAAA}<Home>0102}<Home2>0304}");
  EXPECT_EQ(store.ReadStoreValue(StoreFileKind::ProfilesBlob, "Home", "EapConfigBlob", 4), "0102");
  // Rewriting a record replaces it and moves it to the end.
  ASSERT_TRUE(store.WriteStoreValue(StoreFileKind::ProfilesBlob, "Home", "EapConfigBlob", "0A0B0C"));
  EXPECT_EQ(ReadFileBytes(store.FileName(StoreFileKind::ProfilesBlob)),
            "<MyHome>AAAA}<Home2>0304}<Home>0A0B0C}");
  // A record shorter than the length asked for reads as empty; a longer one gives its prefix.
  EXPECT_EQ(store.ReadStoreValue(StoreFileKind::ProfilesBlob, "Home2", "EapConfigBlob", 6), "");
  EXPECT_EQ(store.ReadStoreValue(StoreFileKind::ProfilesBlob, "Home", "EapConfigBlob", 4), "0A0B");
  // The station blob file holds one record.
  ASSERT_TRUE(store.WriteStoreValue(StoreFileKind::StationBlob, "Config", "EapConfigBlob", "11"));
  ASSERT_TRUE(store.WriteStoreValue(StoreFileKind::StationBlob, "Config", "EapConfigBlob", "22"));
  EXPECT_EQ(ReadFileBytes(store.FileName(StoreFileKind::StationBlob)), "<Config>22}");
}

TEST_F(ProfileStoreTest, ReadEapBlobChecksLengthAndRecord) {
  struct Row {
    const char* name;
    std::string length;
    std::string record;  // hex written for the profile
    std::optional<std::vector<uint8_t>> expected;
  } rows[] = {
      {"whole record", "2", "A1B2", std::vector<uint8_t>{0xA1, 0xB2}},
      {"no length", "", "A1B2", std::nullopt},
      {"zero length", "0", "A1B2", std::nullopt},
      {"negative length", "-2", "A1B2", std::nullopt},
      {"length above 3999", "4000", std::string(8000, 'A'), std::nullopt},
      {"record shorter than announced", "3", "A1B2", std::nullopt},
      {"largest blob", "3999", std::string(7998, 'F'), std::vector<uint8_t>(3999, 0xFF)},
  };
  int n = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string name = "B" + std::to_string(n++);
    ASSERT_TRUE(write(name, "EapConfigBlobLen", row.length));
    ASSERT_TRUE(store.WriteStoreValue(StoreFileKind::ProfilesBlob, name, "EapConfigBlob", row.record));
    EXPECT_EQ(store.ReadEapBlob(StoreFileKind::Profiles, StoreFileKind::ProfilesBlob, name),
              row.expected);
  }
}

TEST_F(ProfileStoreTest, ListsEveryProfileWhateverTheNamesAddUpTo) {
  std::vector<std::string> names;
  for (int i = 0; i < 120; ++i) {
    names.push_back("Profile-with-a-long-name-" + std::to_string(1000 + i));  // 29 characters
    ASSERT_TRUE(write(names.back(), "SSID", "net"));
  }
  EXPECT_EQ(store.ListProfileNames(), names);  // 3600 bytes of names, all listed, in file order
}

TEST_F(ProfileStoreTest, NameTestIsCaseSensitiveButSectionsAreNot) {
  ASSERT_TRUE(write("Office", "SSID", "corp"));
  EXPECT_TRUE(store.ProfileNameExists("Office"));
  EXPECT_FALSE(store.ProfileNameExists("office"));
  EXPECT_EQ(read("OFFICE", "SSID"), "corp");
}

TEST_F(ProfileStoreTest, DeleteLeavesOtherProfilesAndTheirBlobs) {
  std::string prof = store.FileName(StoreFileKind::Profiles);
  WriteFileBytes(prof, "; kept comment\r\n[Home]\r\nSSID=01\r\n[Home2]\r\nSSID=02\r\n"
                       "[home]\r\nSSID=03\r\n[MyHome]\r\nSSID=04\r\n");
  ASSERT_TRUE(store.WriteStoreValue(StoreFileKind::ProfilesBlob, "Home", "EapConfigBlob", "AA"));
  ASSERT_TRUE(store.WriteStoreValue(StoreFileKind::ProfilesBlob, "Home2", "EapConfigBlob", "BB"));
  ASSERT_TRUE(store.WriteStoreValue(StoreFileKind::ProfilesBlob, "MyHome", "EapConfigBlob", "CC"));
  ASSERT_TRUE(store.DeleteProfileSection("Home"));
  EXPECT_EQ(ReadFileBytes(prof),
            "; kept comment\r\n[Home2]\r\nSSID=02\r\n[home]\r\nSSID=03\r\n[MyHome]\r\nSSID=04\r\n");
  EXPECT_EQ(ReadFileBytes(store.FileName(StoreFileKind::ProfilesBlob)), "<Home2>BB}<MyHome>CC}");
  EXPECT_EQ(store.ListProfileNames(), (std::vector<std::string>{"Home2", "home", "MyHome"}));

  test::TempDir empty;
  ProfileStore none(test::LocationIn(empty));
  EXPECT_FALSE(none.DeleteProfileSection("Home"));  // no profiles file to open
  EXPECT_FALSE(none.RemoveBlobRecord("Home"));
}

TEST_F(ProfileStoreTest, RemoveBlobRecordOfAMissingNameChangesNothing) {
  ASSERT_TRUE(store.WriteStoreValue(StoreFileKind::ProfilesBlob, "A", "EapConfigBlob", "01"));
  EXPECT_TRUE(store.RemoveBlobRecord("B"));
  EXPECT_EQ(ReadFileBytes(store.FileName(StoreFileKind::ProfilesBlob)), "<A>01}");
  EXPECT_TRUE(store.RemoveBlobRecord("A"));
  EXPECT_EQ(ReadFileBytes(store.FileName(StoreFileKind::ProfilesBlob)), "");
}

TEST_F(ProfileStoreTest, ClearKeepsBlobLengthAndActiveTimeUnlessAsked) {
  for (std::string_view key : ProfileKeyList) {
    if (key == "EapConfigBlob") continue;
    ASSERT_TRUE(write("P", std::string(key), "7"));
  }
  store.ClearProfileSection("P", false);
  for (std::string_view key : ProfileKeyList) {
    SCOPED_TRACE(key);
    if (key == "EapConfigBlob") continue;
    bool kept = key == "EapConfigBlobLen" || key == "ActiveTime";
    // Writing the (empty) diagnostic SSID marks the section hexadecimal again.
    std::string expected = key == "SSID_inHex" ? "1" : kept ? "7" : "";
    EXPECT_EQ(read("P", std::string(key)), expected);
  }
  store.ClearProfileSection("P", true);
  EXPECT_EQ(read("P", "ActiveTime"), "");
  EXPECT_EQ(read("P", "EapConfigBlobLen"), "7");
}

TEST_F(ProfileStoreTest, CopyToActiveCarriesEveryKeyWithItsEncoding) {
  for (std::string_view key : ProfileKeyList) {
    if (key == "EapConfigBlob") continue;
    std::string value = std::string(key) == "EapConfigBlobLen" ? "2" : "v-" + std::string(key);
    if (key == "SSID_inHex") value = "1";
    ASSERT_TRUE(write("Office", std::string(key), value));
  }
  ASSERT_TRUE(store.WriteStoreValue(StoreFileKind::ProfilesBlob, "Office", "EapConfigBlob", "C0DE"));
  ASSERT_TRUE(store.CopyProfileToActive("Office"));
  for (std::string_view key : ProfileKeyList) {
    SCOPED_TRACE(key);
    std::string k(key);
    if (k == "EapConfigBlob") continue;
    EXPECT_EQ(store.ReadStoreValue(StoreFileKind::Station, "Config", k), read("Office", k));
    // On disk the two files agree too: secrets encrypted, the SSID hexadecimal.
    EXPECT_EQ(raw(StoreFileKind::Station, "Config", k), raw(StoreFileKind::Profiles, "Office", k));
  }
  EXPECT_EQ(ReadFileBytes(store.FileName(StoreFileKind::StationBlob)), "<Config>C0DE}");
}

TEST_F(ProfileStoreTest, ResetActiveConfigWritesNoActiveProfile) {
  ASSERT_TRUE(store.WriteStoreValues(StoreFileKind::Station, "Config",
                                     {{"SSID", "old"}, {"AuthMode", "7"}, {"CurProfile", "Home"},
                                      {"Use8021X", "1"}, {"TXPower", "3"}}));
  store.ResetActiveConfig();
  struct Row {
    const char* key;
    const char* value;
  } rows[] = {{"SSID", ""},         {"SSID_inHex", "1"},    {"NetworkType", "1"},
              {"AuthMode", "0"},    {"CipherMode", "1"},    {"CurProfile", ""},
              {"Use8021X", "0"},    {"ServerCertLen", "0"}, {"ClientCertLen", "0"},
              {"TunnelID", ""},     {"TXPower", "3"}};  // other keys keep their values
  for (const Row& row : rows) {
    SCOPED_TRACE(row.key);
    EXPECT_EQ(raw(StoreFileKind::Station, "Config", row.key), row.value);
  }
}

TEST_F(ProfileStoreTest, ActivationRecordsTheProfileAndCopiesIt) {
  ASSERT_TRUE(store.WriteStoreValues(StoreFileKind::Profiles, "Home",
                                     {{"SSID", "home-net"}, {"AuthMode", "7"}, {"WPAPSK", "pw"}}));
  ASSERT_TRUE(store.ActivateProfileInStore("Home", "2024, 5, 6, 7, 8, 9"));
  EXPECT_EQ(raw(StoreFileKind::Station, "Config", "CurProfile"), "Home");
  EXPECT_EQ(raw(StoreFileKind::Station, "Config", "WSC"), "0");
  EXPECT_EQ(store.ReadStoreValue(StoreFileKind::Station, "Config", "SSID"), "home-net");
  EXPECT_EQ(store.ReadStoreValue(StoreFileKind::Station, "Config", "WPAPSK"), "pw");
  EXPECT_EQ(read("Home", "ActiveTime"), "2024, 5, 6, 7, 8, 9");
}

TEST_F(ProfileStoreTest, AStoreWithoutUsableFileNamesReadsEmptyAndWritesNothing) {
  ProfileStore broken({dir.path().string() + "/", -1, "{X}"});
  EXPECT_FALSE(broken.valid());
  EXPECT_FALSE(broken.WriteStoreValue(StoreFileKind::Profiles, "P", "SSID", "x"));
  EXPECT_EQ(broken.ReadStoreValue(StoreFileKind::Profiles, "P", "SSID"), "");
  EXPECT_TRUE(broken.ListProfileNames().empty());
  EXPECT_TRUE(test::Snapshot(dir.path()).empty());
}

TEST_F(ProfileStoreTest, ValuesWithLineBreaksAreRefused) {
  EXPECT_FALSE(write("P", "ServerName", "a\r\n[Injected]"));
  EXPECT_FALSE(write("P\n[X]", "SSID", "a"));
  EXPECT_EQ(store.ListProfileNames(), std::vector<std::string>{});
}

}  // namespace
}  // namespace ov
