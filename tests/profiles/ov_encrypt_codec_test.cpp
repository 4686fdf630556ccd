// The store with the real password-encryption library.
#include <gtest/gtest.h>

#include "platform/ini/ini.h"
#include "profiles/ov_encrypt_codec.h"
#include "profiles/profile_store.h"
#include "tests/profiles/store_test_support.h"

namespace ov {
namespace {

std::filesystem::path Library() { return std::filesystem::path(OVUI_BIN_DIR) / "libOvEncrypt.so"; }

TEST(OvEncryptCodec, SecretsAreEncryptedOnDiskAndReadBack) {
  ASSERT_TRUE(std::filesystem::exists(Library())) << Library();
  test::TempDir dir;
  OvEncryptSecretCodec codec(Library());
  ProfileStore store(test::LocationIn(dir), &codec, true);
  for (const char* secret : {"passphrase", " blanks ", "\"quoted\"", "p@ss=w;rd[1]"}) {
    SCOPED_TRACE(secret);
    ASSERT_TRUE(store.WriteStoreValue(StoreFileKind::Profiles, "P", "WPAPSK", secret));
    std::string onDisk = IniReadString(store.FileName(StoreFileKind::Profiles), "P", "WPAPSK", "", 400);
    EXPECT_EQ(onDisk.rfind("$ov1$", 0), 0u) << onDisk;
    EXPECT_EQ(store.ReadStoreValue(StoreFileKind::Profiles, "P", "WPAPSK"), secret);
  }

  // Written while encryption was off: clear on disk, and read back unchanged.
  store.setEncryptPasswords(false);
  ASSERT_TRUE(store.WriteStoreValue(StoreFileKind::Profiles, "P", "Password", "$ov1$not-really"));
  EXPECT_EQ(store.ReadStoreValue(StoreFileKind::Profiles, "P", "Password"), "$ov1$not-really");
  ASSERT_TRUE(store.WriteStoreValue(StoreFileKind::Profiles, "P", "ID", "clear id"));
  EXPECT_EQ(store.ReadStoreValue(StoreFileKind::Profiles, "P", "ID"), "clear id");
}

TEST(OvEncryptCodec, MissingLibraryLeavesSecretsInClearText) {
  test::TempDir dir;
  OvEncryptSecretCodec codec(dir.path() / "libOvEncrypt.so");
  ProfileStore store(test::LocationIn(dir), &codec, true);
  ASSERT_TRUE(store.WriteStoreValue(StoreFileKind::Profiles, "P", "WPAPSK", "passphrase"));
  EXPECT_EQ(IniReadString(store.FileName(StoreFileKind::Profiles), "P", "WPAPSK", ""), "passphrase");
  EXPECT_EQ(store.ReadStoreValue(StoreFileKind::Profiles, "P", "WPAPSK"), "passphrase");
}

TEST(OvEncryptCodec, ExportedSecretsImportOnAnotherStore) {
  ASSERT_TRUE(std::filesystem::exists(Library())) << Library();
  test::TempDir a, b, files;
  OvEncryptSecretCodec codec(Library());
  ProfileStore source(test::LocationIn(a), &codec, true);
  ProfileStore target(test::LocationIn(b), &codec, true);
  ASSERT_TRUE(source.WriteStoreValues(StoreFileKind::Profiles, "Home",
                                      {{"SSID", "home"}, {"AuthMode", "7"}, {"WPAPSK", "secret pass"},
                                       {"TunnelPassword", "inner"}}));
  std::string file = files.file("home.prof");
  ASSERT_EQ(source.ExportProfileSection("Home", file), kExportOk);
  EXPECT_EQ(IniReadString(file, "Home", "WPAPSK", "").rfind("$ov1$", 0), 0u);
  ASSERT_EQ(target.ImportProfileSection(file), kImportOk);
  EXPECT_EQ(target.ReadStoreValue(StoreFileKind::Profiles, "Home", "WPAPSK"), "secret pass");
  EXPECT_EQ(target.ReadStoreValue(StoreFileKind::Profiles, "Home", "TunnelPassword"), "inner");
}

}  // namespace
}  // namespace ov
