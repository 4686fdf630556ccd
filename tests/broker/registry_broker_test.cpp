// The registry broker: direct writes, the forwarding rule with its policy, the service message it
// sends, and the secret values encrypted on the way in and decrypted on the way out.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry/hive_store.h"
#include "platform/registry/registry.h"
#include "platform/system/error_codes.h"
#include "shell/registry_broker.h"
#include "siblings/encrypt_client.h"
#include "tests/support/temp_dir.h"

namespace ov {
namespace {

const std::string kAdapter =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e972-e325-11ce-bfc1-08002be10318}\\0007";
const std::string kWapi = "CLSID\\{5B7E2C10-3D4A-4F61-9A2E-7C0D1E8B4F53}\\Wapi_auth";

// The service side as the broker sees it: whether it listens, and every message it got.
struct ServiceRecord {
  bool listening = true;
  uint32_t answer = ERROR_SUCCESS;
  int probes = 0;
  std::vector<RegistryMessageBytes> sent;

  RegistryMessage message(size_t i) const {
    RegistryMessage m;
    EXPECT_EQ(DecodeRegistryMessage(sent.at(i).data(), sent.at(i).size(), &m), MessageFault::None);
    return m;
  }
};

class RecordingService final : public RegistryServiceClient {
 public:
  explicit RecordingService(ServiceRecord* record) : record_(record) {}
  bool IsListening() override {
    ++record_->probes;
    return record_->listening;
  }
  uint32_t Send(const RegistryMessageBytes& message, uint32_t* status) override {
    if (!record_->listening) return RPC_S_SERVER_UNAVAILABLE;
    record_->sent.push_back(message);
    if (status) *status = record_->answer;
    return 0;
  }

 private:
  ServiceRecord* record_;
};

// The registry as a user without rights to the machine hive sees it: reads work, every write
// and every open for writing is refused.
class StandardUserRegistry final : public RegistryCalls {
 public:
  uint32_t OpenKey(HKEY key, const char* subKey, uint32_t options, REGSAM access,
                   HKEY* result) override {
    if (access & (KEY_SET_VALUE | KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
    return RegistryCalls::OpenKey(key, subKey, options, access, result);
  }
  uint32_t CreateKey(HKEY, const char*, uint32_t, REGSAM, HKEY*, uint32_t*) override {
    return ERROR_ACCESS_DENIED;
  }
  uint32_t SetValue(HKEY key, const char*, uint32_t, const uint8_t*, uint32_t) override {
    return Denied(key);
  }
  uint32_t DeleteValue(HKEY key, const char*) override { return Denied(key); }
  uint32_t DeleteKey(HKEY key, const char*) override { return Denied(key); }
  uint32_t DeleteKeyTree(HKEY key, const char*) override { return Denied(key); }

 private:
  static uint32_t Denied(HKEY key) {
    return key == nullptr ? ERROR_INVALID_HANDLE : ERROR_ACCESS_DENIED;
  }
};

class RegistryBrokerTest : public ::testing::Test {
 protected:
  RegistryBrokerTest() {
    ini = dir.file("OvUI.INI");
    test::WriteFileBytes(ini, "[Advance]\r\nOpenFile=0\r\n");
    EXPECT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, kAdapter, "Radio", "0"), ERROR_SUCCESS);
  }
  ~RegistryBrokerTest() override { registry_detail::CloseConnections(); }

  std::unique_ptr<RegistryBroker> Make(bool isAdmin, bool standardUserRegistry) {
    RegistryBroker::Seams seams;
    seams.service = std::make_unique<RecordingService>(&service);
    if (standardUserRegistry) seams.registry = std::make_unique<StandardUserRegistry>();
    return std::make_unique<RegistryBroker>(ini, isAdmin, std::move(seams));
  }
  static std::string Stored(const std::string& path, const std::string& name) {
    RegValue v;
    if (RegReadValue(HKEY_LOCAL_MACHINE, path, name, &v) != ERROR_SUCCESS) return "<missing>";
    return v.data;
  }
  static const uint8_t* Bytes(const char* s) { return reinterpret_cast<const uint8_t*>(s); }

  test::TempDir dir;
  test::ScopedMachineRoot root{dir.path()};
  std::string ini;
  ServiceRecord service;
};

TEST_F(RegistryBrokerTest, AStandardUsersWriteIsForwardedWhenThePolicyIsMissing) {
  auto broker = Make(/*isAdmin=*/false, /*standardUserRegistry=*/true);
  EXPECT_TRUE(broker->AllowStandardUserSetAdvance());
  EXPECT_FALSE(broker->AllowStandardUserSetProfile());
  EXPECT_TRUE(broker->MayUseService());
  EXPECT_TRUE(broker->Bound());

  // The open for writing fails, the broker says 0 without a key, the write goes to the service.
  HKEY key = reinterpret_cast<HKEY>(1);
  ASSERT_EQ(broker->OpenKey(HKEY_LOCAL_MACHINE, kAdapter.c_str(), 0, KEY_ALL_ACCESS, &key),
            ERROR_SUCCESS);
  EXPECT_EQ(key, nullptr);
  EXPECT_EQ(broker->SetValue(key, "Radio", 0, REG_SZ, Bytes("1"), 1, kAdapter, HKEY_LOCAL_MACHINE,
                             false),
            ERROR_SUCCESS);
  ASSERT_EQ(service.sent.size(), 1u);
  EXPECT_EQ(service.message(0),
            (RegistryMessage{RegistryOp::SetValue, kAdapter, "Radio", REG_SZ, "1",
                             kHiveLocalMachine}));
  EXPECT_EQ(broker->LastServiceStatus(), ERROR_SUCCESS);

  // The same through the writer seam the parameter code uses.
  EXPECT_EQ(broker->SetValue(HKEY_LOCAL_MACHINE, kAdapter, "WirelessMode", REG_SZ, "5"),
            ERROR_SUCCESS);
  ASSERT_EQ(service.sent.size(), 2u);
  EXPECT_EQ(service.message(1).name, "WirelessMode");
  EXPECT_EQ(Stored(kAdapter, "Radio"), std::string("0\0", 2)) << "nothing is written directly";
}

TEST_F(RegistryBrokerTest, WithThePolicyOffAStandardUserGetsAccessDeniedAndNothingIsSent) {
  test::WriteFileBytes(ini, "[Advance]\r\nAllowStandardUserSetAdvance=0\r\n");
  auto broker = Make(false, true);
  EXPECT_FALSE(broker->MayUseService());
  HKEY key = nullptr;
  EXPECT_EQ(broker->OpenKey(HKEY_LOCAL_MACHINE, kAdapter.c_str(), 0, KEY_ALL_ACCESS, &key),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(broker->SetValue(HKEY_LOCAL_MACHINE, kAdapter, "Radio", REG_SZ, "1"),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(broker->CreateKey(HKEY_LOCAL_MACHINE, kAdapter + "\\Default"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(broker->DeleteKeyTree(HKEY_LOCAL_MACHINE, kAdapter, "Default"), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(service.sent.empty());

  // An administrator may always use the service.
  auto admin = Make(true, true);
  EXPECT_TRUE(admin->MayUseService());
  EXPECT_EQ(admin->SetValue(HKEY_LOCAL_MACHINE, kAdapter, "Radio", REG_SZ, "1"), ERROR_SUCCESS);
  EXPECT_EQ(service.sent.size(), 1u);
}

TEST_F(RegistryBrokerTest, AWriteThatCannotBeSentIsNotReportedAsDone) {
  service.listening = false;
  auto broker = Make(false, true);
  EXPECT_FALSE(broker->Bound());
  EXPECT_EQ(broker->SetValue(HKEY_LOCAL_MACHINE, kAdapter, "Radio", REG_SZ, "1"),
            ERROR_ACCESS_DENIED);
  EXPECT_FALSE(broker->Bound());
  EXPECT_TRUE(service.sent.empty());

  // Once the service listens, the next write binds again and goes through.
  service.listening = true;
  EXPECT_EQ(broker->SetValue(HKEY_LOCAL_MACHINE, kAdapter, "Radio", REG_SZ, "1"), ERROR_SUCCESS);
  EXPECT_TRUE(broker->Bound());
  EXPECT_EQ(service.sent.size(), 1u);

  // A service that went away meanwhile: the send fails, the state drops to unbound.
  service.listening = false;
  EXPECT_EQ(broker->DeleteValue(HKEY_LOCAL_MACHINE, kAdapter, "Radio"), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(broker->Bound());
}

TEST_F(RegistryBrokerTest, AServiceRefusalIsStillReportedAsDone) {
  service.answer = ERROR_ACCESS_DENIED;
  auto broker = Make(false, true);
  EXPECT_EQ(broker->SetValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Other", "X", REG_SZ, "1"),
            ERROR_SUCCESS);
  EXPECT_EQ(broker->LastServiceStatus(), ERROR_ACCESS_DENIED);
}

TEST_F(RegistryBrokerTest, OnlyAMissingRightIsHandedToTheService) {
  // An administrator writes directly; a key that does not exist is an error the service could
  // not mend, so it is returned rather than forwarded and reported as done.
  auto admin = Make(true, false);
  HKEY key = nullptr;
  EXPECT_EQ(admin->OpenKey(HKEY_LOCAL_MACHINE, (kAdapter + "\\Missing").c_str(), 0,
                           KEY_ALL_ACCESS, &key),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(admin->SetValue(HKEY_LOCAL_MACHINE, kAdapter + "\\Missing", "Radio", REG_SZ, "1"),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(admin->DeleteValue(HKEY_LOCAL_MACHINE, kAdapter, "NoSuchValue"), ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(service.sent.empty());

  EXPECT_EQ(admin->SetValue(HKEY_LOCAL_MACHINE, kAdapter, "Radio", REG_SZ, "1"), ERROR_SUCCESS);
  EXPECT_EQ(Stored(kAdapter, "Radio"), "1");
  EXPECT_TRUE(service.sent.empty());
}

TEST_F(RegistryBrokerTest, EveryOperationIsForwardedWithItsCode) {
  auto broker = Make(false, true);
  HKEY key = nullptr;
  uint32_t disposition = 0;
  ASSERT_EQ(broker->CreateKey(HKEY_LOCAL_MACHINE, (kAdapter + "\\Default").c_str(), 0,
                              KEY_ALL_ACCESS, &key, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(key, nullptr);
  EXPECT_EQ(broker->DeleteValue(key, "Radio", kAdapter, HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
  EXPECT_EQ(broker->DeleteKey(key, "Default", kAdapter, HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
  EXPECT_EQ(broker->DeleteKeyTree(key, "ApDefault", kAdapter, HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
  // The classes root: set and create carry its hive code; deletions carry no hive and so name
  // the key by its machine-hive path.
  EXPECT_EQ(broker->SetValue(HKEY_CLASSES_ROOT, kWapi + "\\Cert", "cert_already", REG_SZ, "1"),
            ERROR_SUCCESS);
  EXPECT_EQ(broker->DeleteKeyTree(HKEY_CLASSES_ROOT, kWapi, "X509Cert0"), ERROR_SUCCESS);

  const std::vector<RegistryMessage> expected = {
      {RegistryOp::CreateKey, kAdapter + "\\Default", "", 0, "", kHiveLocalMachine},
      {RegistryOp::DeleteValue, kAdapter, "Radio", 0, "", 0},
      {RegistryOp::DeleteKey, kAdapter, "Default", 0, "", 0},
      {RegistryOp::DeleteKeyTree, kAdapter, "ApDefault", 0, "", 0},
      {RegistryOp::SetValue, kWapi + "\\Cert", "cert_already", REG_SZ, "1", kHiveClassesRoot},
      {RegistryOp::DeleteKeyTree, "SOFTWARE\\Classes\\" + kWapi, "X509Cert0", 0, "", 0},
  };
  ASSERT_EQ(service.sent.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(service.message(i), expected[i]);
  }
}

TEST_F(RegistryBrokerTest, WhatTheServiceCannotDoForTheCallerIsNotSent) {
  auto broker = Make(false, true);
  // A user's own hive is not the service's: its deletions would land in the machine hive.
  EXPECT_EQ(broker->DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Orvane", "X"),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(broker->SetValue(HKEY_USERS, "S-1\\Software", "X", REG_SZ, "1"), ERROR_ACCESS_DENIED);
  // An empty subkey name would name the key itself.
  EXPECT_EQ(broker->DeleteKey(nullptr, "", kAdapter, HKEY_LOCAL_MACHINE), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(broker->DeleteKeyTree(HKEY_LOCAL_MACHINE, kAdapter, ""), ERROR_INVALID_PARAMETER);
  // Data that does not fit the 1024 bytes.
  EXPECT_EQ(broker->SetValue(HKEY_LOCAL_MACHINE, kAdapter, "Blob", REG_BINARY,
                             std::string(1000, 'x')),
            ERROR_ACCESS_DENIED);
  EXPECT_TRUE(service.sent.empty());
}

TEST_F(RegistryBrokerTest, SecretValuesAreStoredEncryptedAndReadBackInClear) {
  auto broker = Make(true, false);
  HKEY key = nullptr;
  ASSERT_EQ(broker->OpenKey(HKEY_LOCAL_MACHINE, kAdapter.c_str(), 0, KEY_ALL_ACCESS, &key),
            ERROR_SUCCESS);
  ASSERT_NE(key, nullptr);
  const char psk[] = "correct horse battery";
  ASSERT_EQ(broker->SetValue(key, "WPAPSK", 0, REG_SZ, Bytes(psk), sizeof psk, kAdapter,
                             HKEY_LOCAL_MACHINE, true),
            ERROR_SUCCESS);
  ASSERT_EQ(broker->SetValue(key, "SSID", 0, REG_SZ, Bytes("Home"), 5, kAdapter,
                             HKEY_LOCAL_MACHINE, true),
            ERROR_SUCCESS);
  ASSERT_EQ(broker->SetValue(key, "Password", 0, REG_SZ, Bytes("plain"), 6, kAdapter,
                             HKEY_LOCAL_MACHINE, false),
            ERROR_SUCCESS);

  const std::string stored = Stored(kAdapter, "WPAPSK");
  EXPECT_EQ(stored.rfind("$ov1$", 0), 0u) << stored;
  EXPECT_EQ(stored.find('\0'), std::string::npos) << "stored without a terminating NUL";
  EXPECT_EQ(DecryptSecret(stored), psk);
  EXPECT_EQ(Stored(kAdapter, "SSID"), std::string("Home\0", 5)) << "not a secret name";
  EXPECT_EQ(Stored(kAdapter, "Password"), std::string("plain\0", 6)) << "no secret flag";

  uint8_t buffer[256];
  std::memset(buffer, 0xAA, sizeof buffer);
  uint32_t size = sizeof buffer;
  uint32_t type = 0;
  ASSERT_EQ(broker->QueryValue(key, "WPAPSK", nullptr, &type, buffer, &size, true),
            ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(size, std::strlen(psk));
  EXPECT_STREQ(reinterpret_cast<char*>(buffer), psk);

  // Without the flag the stored form comes back.
  size = sizeof buffer;
  ASSERT_EQ(broker->QueryValue(key, "WPAPSK", nullptr, nullptr, buffer, &size, false),
            ERROR_SUCCESS);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), size), stored);
  RegCloseKey(key);
}

TEST_F(RegistryBrokerTest, AForwardedSecretTravelsEncrypted) {
  auto broker = Make(false, true);
  EXPECT_EQ(broker->SetValue(nullptr, "WEPKey1", 0, REG_SZ, Bytes("0123456789"), 11, kAdapter,
                             HKEY_LOCAL_MACHINE, true),
            ERROR_SUCCESS);
  ASSERT_EQ(service.sent.size(), 1u);
  const RegistryMessage m = service.message(0);
  EXPECT_EQ(m.data.rfind("$ov1$", 0), 0u) << m.data;
  EXPECT_EQ(m.data.find('\0'), std::string::npos);
  EXPECT_EQ(DecryptSecret(m.data), "0123456789");
}

TEST_F(RegistryBrokerTest, SecretsWrittenInClearReadBackUnchanged) {
  auto broker = Make(true, false);
  broker->SetEncryptPasswords(false);
  HKEY key = nullptr;
  ASSERT_EQ(broker->OpenKey(HKEY_LOCAL_MACHINE, kAdapter.c_str(), 0, KEY_ALL_ACCESS, &key),
            ERROR_SUCCESS);
  ASSERT_EQ(broker->SetValue(key, "WPAPSK", 0, REG_SZ, Bytes("clear-text-psk"), 15, kAdapter,
                             HKEY_LOCAL_MACHINE, true),
            ERROR_SUCCESS);
  EXPECT_EQ(Stored(kAdapter, "WPAPSK"), std::string("clear-text-psk\0", 15));
  broker->SetEncryptPasswords(true);  // turning encryption on later must not garble it

  // A buffer exactly as long as the text: no NUL is written past its end.
  uint8_t buffer[15 + 4];
  std::memset(buffer, 0xAA, sizeof buffer);
  uint32_t size = 15;
  ASSERT_EQ(broker->QueryValue(key, "WPAPSK", nullptr, nullptr, buffer, &size, true),
            ERROR_SUCCESS);
  EXPECT_EQ(size, 14u);
  EXPECT_STREQ(reinterpret_cast<char*>(buffer), "clear-text-psk");
  EXPECT_EQ(buffer[15], 0xAA);

  // Stored without a NUL, read into a buffer of exactly its length.
  ASSERT_EQ(RegSetValueEx(key, "Key", 0, REG_SZ, Bytes("abcd"), 4), ERROR_SUCCESS);
  std::memset(buffer, 0xAA, sizeof buffer);
  size = 4;
  ASSERT_EQ(broker->QueryValue(key, "Key", nullptr, nullptr, buffer, &size, true), ERROR_SUCCESS);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 4), "abcd");
  EXPECT_EQ(buffer[4], 0xAA);
  RegCloseKey(key);
}

TEST_F(RegistryBrokerTest, TheProgramIniDecidesWhetherSecretsAreEncrypted) {
  const struct {
    const char* name;
    const char* ini;
    bool encrypted;
  } rows[] = {
      {"missing key: encrypted", "[Advance]\r\nOpenFile=0\r\n", true},
      {"EncryptedPassword=0: clear", "[AuthEncry]\r\nEncryptedPassword=0\r\n", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    test::WriteFileBytes(ini, row.ini);
    auto broker = Make(true, false);
    HKEY key = nullptr;
    ASSERT_EQ(broker->OpenKey(HKEY_LOCAL_MACHINE, kAdapter.c_str(), 0, KEY_ALL_ACCESS, &key),
              ERROR_SUCCESS);
    ASSERT_EQ(broker->SetValue(key, "WPAPSK", 0, REG_SZ, Bytes("a-passphrase"), 13, kAdapter,
                               HKEY_LOCAL_MACHINE, true),
              ERROR_SUCCESS);
    RegCloseKey(key);
    const std::string stored = Stored(kAdapter, "WPAPSK");
    EXPECT_EQ(stored.rfind("$ov1$", 0) == 0, row.encrypted) << stored;
  }
}

TEST(SecretValueNames, TheTwelveNamesCompareExactly) {
  EXPECT_EQ(SecretValueNames().size(), 12u);
  for (const char* name : {"LeapPassword", "Password", "TunnelPassword", "WEPKey1", "WEPKey2",
                           "WEPKey3", "WEPKey4", "WPAPSK", "Key", "ID", "TunnelID",
                           "LeapUserName"}) {
    EXPECT_TRUE(IsSecretValueName(name)) << name;
  }
  for (const char* name : {"wpapsk", "SSID", "Id", "WEPKey5", "", "KeyIndex"}) {
    EXPECT_FALSE(IsSecretValueName(name)) << name;
  }
}

TEST(BrokerPolicy, ReadFromTheProgramIni) {
  test::TempDir dir;
  const std::string ini = dir.file("OvUI.INI");
  struct Row {
    const char* name;
    const char* text;  // nullptr: no file
    bool advance;
    bool profile;
  };
  const Row rows[] = {
      {"no file", nullptr, true, false},
      {"no keys", "[Advance]\r\n", true, false},
      {"both on", "[Advance]\r\nAllowStandardUserSetAdvance=1\r\nAllowStandardUserSetProfile=1\r\n",
       true, true},
      {"advance off", "[Advance]\r\nAllowStandardUserSetAdvance=0\r\n", false, false},
      {"only \"1\" is on", "[Advance]\r\nAllowStandardUserSetAdvance=yes\r\n"
                           "AllowStandardUserSetProfile=2\r\n", false, false},
      {"another section", "[Account]\r\nAllowStandardUserSetAdvance=0\r\n", true, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::filesystem::remove(ini);
    if (row.text) test::WriteFileBytes(ini, row.text);
    BrokerPolicy p = ReadBrokerPolicy(ini);
    EXPECT_EQ(p.allowStandardUserSetAdvance, row.advance);
    EXPECT_EQ(p.allowStandardUserSetProfile, row.profile);
  }
}

}  // namespace
}  // namespace ov
