// Export files and import: round trips between stores, and malformed files that change nothing.
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

// A value for every key that its field can hold, with the encodings that matter: a 32-byte SSID
// with bytes below 0x10 and above 0x7F, secrets with blanks and quotes, a certificate hash.
std::vector<ProfileStore::KeyValue> FullProfile() {
  std::vector<ProfileStore::KeyValue> values;
  for (std::string_view key : ProfileKeyList) {
    std::string k(key);
    std::string v = "1";
    if (k == "EapConfigBlob") continue;
    if (k == "SSID") v = std::string("\x01\x02 home \x7f\x80\xff", 10) + std::string(22, 'x');
    if (k == "DiagnosticSSID") v = "diag net";
    if (k == "WPAPSK") v = " \"pass phrase\" ";
    if (k == "ID" || k == "TunnelID") v = "user@example.org";
    if (k == "Password" || k == "TunnelPassword" || k == "LeapPassword") v = "p'w \"x\"";
    if (k == "LeapUserName") v = "leap user";
    if (k.rfind("WEPKey", 0) == 0 && k.size() == 7) v = "0102030405060708090a0b0c0d";
    if (k == "ClientCertData" || k == "ServerCertData") v = std::string(40, 'a');
    if (k == "ClientCertLen" || k == "ServerCertLen") v = "20";
    if (k == "EapConfigBlobLen") v = "3";
    if (k == "ActiveTime") v = "2023, 1, 2, 3, 4, 5";
    if (k == "AuthMode") v = "6";
    if (k == "CipherMode") v = "10";
    if (k == "ServerName") v = "radius.example.org";
    values.emplace_back(k, v);
  }
  return values;
}

class TransferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(source.WriteStoreValues(StoreFileKind::Profiles, "Office", FullProfile()));
    ASSERT_TRUE(source.WriteStoreValue(StoreFileKind::ProfilesBlob, "Office", "EapConfigBlob",
                                       "A1B2C3"));
  }
  std::string exportFile() { return files.file("office.prof"); }

  test::TempDir sourceDir, targetDir, files;
  test::MarkerSecretCodec codec;
  ProfileStore source{test::LocationIn(sourceDir), &codec, true};
  ProfileStore target{test::LocationIn(targetDir, 6, "{00000000-1111-2222-3333-444444444444}"),
                      &codec, true};
};

TEST_F(TransferTest, ExportThenImportRoundTripsEveryKey) {
  ASSERT_EQ(source.ExportProfileSection("Office", exportFile()), kExportOk);
  std::string file = exportFile();
  // The export file: one section with every key but ActiveTime, secrets encrypted, the SSID
  // hexadecimal, AuthMode and CipherMode repeated under their other names, and the blob record.
  EXPECT_EQ(IniSectionNames(file), std::vector<std::string>{"Office"});
  EXPECT_EQ(IniReadString(file, "Office", "ActiveTime", "<none>"), "<none>");
  EXPECT_EQ(IniReadString(file, "Office", "WPAPSK", ""), "ENC[ \"esarhp ssap\" ]");
  EXPECT_EQ(IniReadString(file, "Office", "SSID_inHex", ""), "1");
  EXPECT_EQ(IniReadString(file, "Office", "AuthenType", ""), "6");
  EXPECT_EQ(IniReadString(file, "Office", "Encryption", ""), "10");
  EXPECT_EQ(IniReadString(file, "Office", "EapConfigBlobLen", ""), "3");
  EXPECT_NE(ReadFileBytes(file).find("<Office_ConfigBlob>A1B2C3}"), std::string::npos);

  ASSERT_EQ(target.ImportProfileSection(file), kImportOk);
  EXPECT_EQ(target.ListProfileNames(), std::vector<std::string>{"Office"});
  for (std::string_view key : ProfileKeyList) {
    SCOPED_TRACE(key);
    std::string k(key);
    if (k == "EapConfigBlob" || k == "ActiveTime") continue;
    EXPECT_EQ(target.ReadStoreValue(StoreFileKind::Profiles, "Office", k, 400),
              source.ReadStoreValue(StoreFileKind::Profiles, "Office", k, 400));
  }
  EXPECT_EQ(target.ReadStoreValue(StoreFileKind::Profiles, "Office", "ActiveTime"), "");
  EXPECT_EQ(target.ReadEapBlob(StoreFileKind::Profiles, StoreFileKind::ProfilesBlob, "Office"),
            (std::vector<uint8_t>{0xA1, 0xB2, 0xC3}));
  // Secrets are encrypted in the target store as well.
  EXPECT_EQ(IniReadString(target.FileName(StoreFileKind::Profiles), "Office", "ID", ""),
            "ENC[gro.elpmaxe@resu]");
}

TEST_F(TransferTest, ImportTakesActiveTimeWhenTheFileHasOne) {
  WriteFileBytes(exportFile(), "[Trip]\r\nSSID=74726970\r\nSSID_inHex=1\r\nActiveTime=2020, 1, 1, 0, 0, 0\r\n");
  ASSERT_EQ(target.ImportProfileSection(exportFile()), kImportOk);
  EXPECT_EQ(target.ReadStoreValue(StoreFileKind::Profiles, "Trip", "ActiveTime"), "2020, 1, 1, 0, 0, 0");
  EXPECT_EQ(target.ReadStoreValue(StoreFileKind::Profiles, "Trip", "SSID"), "trip");
}

TEST_F(TransferTest, ExportOfAMissingProfileWritesNothing) {
  EXPECT_EQ(source.ExportProfileSection("Nowhere", exportFile()), kExportNoProfile);
  EXPECT_FALSE(std::filesystem::exists(exportFile()));
}

TEST_F(TransferTest, MalformedImportsReturnTheirResultAndChangeNothing) {
  // The target already holds one profile.
  ASSERT_TRUE(target.WriteStoreValues(StoreFileKind::Profiles, "Home", {{"SSID", "home"}}));
  ASSERT_TRUE(target.WriteStoreValue(StoreFileKind::ProfilesBlob, "Home", "EapConfigBlob", "01"));

  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage.push_back(static_cast<char>((i * 7919 + 13) % 256));
  std::string huge = "[Big]\r\nSSID=61\r\nServerName=" + std::string(10u << 20, 'x') + "\r\n";

  struct Row {
    const char* name;
    std::string content;
    int expected;
  } rows[] = {
      {"no section", "SSID=686f6d65\r\nAuthMode=0\r\n", kImportNoProfile},
      {"empty file", "", kImportNoProfile},
      {"two sections", "[A]\r\nSSID=61\r\n[B]\r\nSSID=62\r\n", kImportMoreThanOneProfile},
      {"section without keys", "[Lonely]\r\n", kImportNoProfile},
      {"section with foreign keys only", "[Other]\r\nColour=blue\r\n", kImportNoProfile},
      {"binary garbage", garbage, kImportNoProfile},
      {"10 MB file", huge, kImportUnreadable},
      {"name exists", "[Home]\r\nSSID=61\r\n", kImportNameExists},
      {"name exists in another case", "[HOME]\r\nSSID=61\r\n", kImportNameExists},
      {"name too long", "[" + std::string(33, 'n') + "]\r\nSSID=61\r\n", kImportValueInvalid},
      {"identity of 128 bytes", "[P]\r\nID=" + std::string(128, 'i') + "\r\n", kImportValueInvalid},
      {"password of 128 bytes", "[P]\r\nTunnelPassword=" + std::string(128, 'p') + "\r\n",
       kImportValueInvalid},
      {"pre-shared key of 65", "[P]\r\nWPAPSK=" + std::string(65, 'k') + "\r\n", kImportValueInvalid},
      {"plain SSID of 33", "[P]\r\nSSID=" + std::string(33, 's') + "\r\n", kImportValueInvalid},
      {"server name of 256", "[P]\r\nServerName=" + std::string(256, 's') + "\r\n",
       kImportValueInvalid},
      {"certificate hash of 153 bytes", "[P]\r\nClientCertData=" + std::string(306, 'a') + "\r\n",
       kImportValueInvalid},
      {"certificate length of 153", "[P]\r\nServerCertLen=153\r\n", kImportValueInvalid},
      {"negative certificate length", "[P]\r\nClientCertLen=-1\r\n", kImportValueInvalid},
      {"blob length above 3999", "[P]\r\nEapConfigBlobLen=4000\r\n", kImportValueInvalid},
      {"negative blob length", "[P]\r\nEapConfigBlobLen=-5\r\n", kImportValueInvalid},
      {"blob announced but absent", "[P]\r\nEapConfigBlobLen=2\r\n", kImportValueInvalid},
      {"blob shorter than announced", "[P]\r\nEapConfigBlobLen=3\r\n<P_ConfigBlob>0102}",
       kImportValueInvalid},
  };
  auto before = test::Snapshot(targetDir.path());
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WriteFileBytes(exportFile(), row.content);
    EXPECT_EQ(target.ImportProfileSection(exportFile()), row.expected);
    EXPECT_EQ(test::Snapshot(targetDir.path()), before);
  }
  EXPECT_EQ(target.ImportProfileSection(files.file("does-not-exist.prof")), kImportUnreadable);
  EXPECT_EQ(test::Snapshot(targetDir.path()), before);
}

TEST_F(TransferTest, ImportedSecretsWrittenWithoutEncryptionStillReadBack) {
  // An export made while encryption was off holds clear text; importing keeps it readable.
  source.setEncryptPasswords(false);
  ASSERT_TRUE(source.WriteStoreValue(StoreFileKind::Profiles, "Office", "WPAPSK", "clear pass"));
  ASSERT_EQ(source.ExportProfileSection("Office", exportFile()), kExportOk);
  EXPECT_EQ(IniReadString(exportFile(), "Office", "WPAPSK", ""), "clear pass");
  ASSERT_EQ(target.ImportProfileSection(exportFile()), kImportOk);
  EXPECT_EQ(target.ReadStoreValue(StoreFileKind::Profiles, "Office", "WPAPSK"), "clear pass");
}

}  // namespace
}  // namespace ov
