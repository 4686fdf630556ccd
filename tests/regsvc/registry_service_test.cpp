// The service's handling of one message: policy, allow-list, the work on the machine hive and the
// log line of every request. Callers are described by their credentials, so standard users are
// tested here whoever runs the tests.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/ini/ini.h"
#include "platform/registry/hive_store.h"
#include "platform/registry/registry.h"
#include "platform/system/error_codes.h"
#include "services/registry_service.h"
#include "tests/support/temp_dir.h"

namespace ov {
namespace {

const std::string kAdapter =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e972-e325-11ce-bfc1-08002be10318}\\0007";
const std::string kSso = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Orvane";

class RegistryServiceTest : public ::testing::Test {
 protected:
  RegistryServiceTest() {
    ini = dir.file("OvUI.INI");
    test::WriteFileBytes(ini, "[Advance]\r\nOpenFile=0\r\n");
    EXPECT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, kAdapter, "Radio", "0"), ERROR_SUCCESS);
    EXPECT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Other", "X", "keep"), ERROR_SUCCESS);
  }
  ~RegistryServiceTest() override { registry_detail::CloseConnections(); }

  uint32_t Send(const RegistryMessage& m, const PeerCredentials& peer) {
    RegistryMessageBytes bytes;
    EXPECT_TRUE(EncodeRegistryMessage(m, &bytes));
    return service.Handle(bytes.data(), bytes.size(), peer);
  }
  static PeerCredentials User(uid_t uid) {
    PeerCredentials p;
    p.known = true;
    p.uid = uid;
    p.gid = uid;
    p.pid = 4242;
    return p;
  }
  static std::string Read(const std::string& path, const std::string& name) {
    return RegReadString(HKEY_LOCAL_MACHINE, path, name).value_or("<missing>");
  }
  bool Logged(const std::string& part) const {
    for (const auto& line : lines) {
      if (line.find(part) != std::string::npos) return true;
    }
    return false;
  }

  test::TempDir dir;
  test::ScopedMachineRoot root{dir.path()};
  std::string ini;
  std::vector<std::string> lines;
  // uid 0 is the administrator; everyone else a standard user.
  RegistryService service{{"", [this](const std::string& l) { lines.push_back(l); },
                           [](const PeerCredentials& p) { return p.uid == 0; }}};
  PeerCredentials standardUser = User(1000);
  PeerCredentials administrator = User(0);

  void UsePolicyFile() {
    service = RegistryService({ini, [this](const std::string& l) { lines.push_back(l); },
                               [](const PeerCredentials& p) { return p.uid == 0; }});
  }
};

RegistryMessage SetRadio(const std::string& value) {
  return {RegistryOp::SetValue, kAdapter, "Radio", REG_SZ, value + std::string(1, '\0'),
          kHiveLocalMachine};
}

TEST_F(RegistryServiceTest, PerformsAllowedWritesForAStandardUserByDefault) {
  UsePolicyFile();  // no AllowStandardUserSetAdvance key: "1"
  EXPECT_EQ(Send(SetRadio("1"), standardUser), ERROR_SUCCESS);
  EXPECT_EQ(Read(kAdapter, "Radio"), "1");
  EXPECT_TRUE(Logged("done uid 1000 pid 4242: set value HKLM\\" + kAdapter + " \"Radio\""));

  EXPECT_EQ(Send({RegistryOp::CreateKey, kAdapter + "\\Default", "", 0, "", 0}, standardUser),
            ERROR_SUCCESS);
  EXPECT_EQ(Send({RegistryOp::SetValue, kAdapter + "\\Default", "Radio", REG_SZ, "0", 0},
                 standardUser),
            ERROR_SUCCESS);
  EXPECT_EQ(Read(kAdapter + "\\Default", "Radio"), "0");
  EXPECT_EQ(Send({RegistryOp::DeleteValue, kAdapter, "Radio", 0, "", 0}, standardUser),
            ERROR_SUCCESS);
  EXPECT_EQ(Read(kAdapter, "Radio"), "<missing>");
  EXPECT_EQ(Send({RegistryOp::DeleteKeyTree, kAdapter, "Default", 0, "", 0}, standardUser),
            ERROR_SUCCESS);
  RegKey gone;
  EXPECT_EQ(gone.open(HKEY_LOCAL_MACHINE, kAdapter + "\\Default"), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryServiceTest, RefusesKeysOutsideTheAllowListForEveryone) {
  for (const PeerCredentials& peer : {standardUser, administrator}) {
    SCOPED_TRACE(peer.uid);
    lines.clear();
    EXPECT_EQ(Send({RegistryOp::SetValue, "SOFTWARE\\Other", "X", REG_SZ, "changed", 0}, peer),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(Read("SOFTWARE\\Other", "X"), "keep");
    EXPECT_TRUE(Logged("refused uid " + std::to_string(peer.uid) +
                       " pid 4242: set value HKLM\\SOFTWARE\\Other \"X\": outside the allowed keys"));
  }
}

TEST_F(RegistryServiceTest, HonoursThePolicyForStandardUsersOnly) {
  UsePolicyFile();
  ASSERT_TRUE(IniWriteString(ini, "Advance", "AllowStandardUserSetAdvance", "0"));
  EXPECT_EQ(Send(SetRadio("1"), standardUser), ERROR_ACCESS_DENIED);
  EXPECT_EQ(Read(kAdapter, "Radio"), "0");
  EXPECT_TRUE(Logged("refused uid 1000 pid 4242: set value HKLM\\" + kAdapter +
                     " \"Radio\": standard users may not change settings"));
  EXPECT_EQ(Send(SetRadio("1"), administrator), ERROR_SUCCESS);
  EXPECT_EQ(Read(kAdapter, "Radio"), "1");

  // The policy is read for each request: a change by root takes effect at once.
  ASSERT_TRUE(IniWriteString(ini, "Advance", "AllowStandardUserSetAdvance", "1"));
  EXPECT_EQ(Send(SetRadio("0"), standardUser), ERROR_SUCCESS);
  EXPECT_EQ(Read(kAdapter, "Radio"), "0");
}

TEST_F(RegistryServiceTest, LogonSettingsAlsoNeedTheProfilePolicy) {
  UsePolicyFile();
  const RegistryMessage enable{RegistryOp::SetValue, kSso, "SSOEnable", REG_SZ, "1", 0};
  ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, kSso, "SSOEnable", "0"), ERROR_SUCCESS);
  EXPECT_EQ(Send(enable, standardUser), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(Logged("AllowStandardUserSetProfile"));
  EXPECT_EQ(Read(kSso, "SSOEnable"), "0");
  ASSERT_TRUE(IniWriteString(ini, "Advance", "AllowStandardUserSetProfile", "1"));
  EXPECT_EQ(Send(enable, standardUser), ERROR_SUCCESS);
  EXPECT_EQ(Read(kSso, "SSOEnable"), "1");
}

TEST_F(RegistryServiceTest, APolicyFileOthersMayWriteIsIgnored) {
  UsePolicyFile();
  ASSERT_TRUE(IniWriteString(ini, "Advance", "AllowStandardUserSetAdvance", "1"));
  ASSERT_EQ(::chmod(ini.c_str(), 0666), 0);
  EXPECT_EQ(Send(SetRadio("1"), standardUser), ERROR_ACCESS_DENIED);
  EXPECT_EQ(Read(kAdapter, "Radio"), "0");
  EXPECT_TRUE(Logged("ignoring the program settings: " + ini + " may be written by other users"));
  EXPECT_EQ(Send(SetRadio("1"), administrator), ERROR_SUCCESS);
}

TEST_F(RegistryServiceTest, MalformedOrAnonymousRequestsChangeNothing) {
  RegistryMessageBytes bytes;
  ASSERT_TRUE(EncodeRegistryMessage(SetRadio("1"), &bytes));
  bytes[1] = 7;
  EXPECT_EQ(service.Handle(bytes.data(), bytes.size(), administrator), ERROR_INVALID_PARAMETER);
  EXPECT_TRUE(Logged("refused uid 0 pid 4242: malformed message (field count does not match"));

  EXPECT_EQ(Send(SetRadio("1"), PeerCredentials{}), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(Logged("refused unknown caller"));
  EXPECT_EQ(Read(kAdapter, "Radio"), "0");

  service.Incomplete(100, false, standardUser);
  EXPECT_TRUE(Logged("refused uid 1000 pid 4242: incomplete message (100 of 1024 bytes)"));
  const size_t before = lines.size();
  service.Incomplete(0, false, standardUser);  // a caller asking whether the service listens
  EXPECT_EQ(lines.size(), before);
}

TEST_F(RegistryServiceTest, OneUsersRefusalsCannotFloodTheLog) {
  RegistryMessageBytes bytes;
  ASSERT_TRUE(EncodeRegistryMessage(SetRadio("1"), &bytes));
  bytes[1] = 7;
  auto count = [this](const std::string& part) {
    size_t n = 0;
    for (const auto& line : lines) n += line.find(part) != std::string::npos;
    return n;
  };
  for (int i = 0; i < 100; ++i) service.Handle(bytes.data(), bytes.size(), standardUser);
  EXPECT_EQ(count("refused uid 1000 "), RegistryService::kRefusalLinesPerWindow);
  // Another user's refusal and every granted request are still logged.
  service.Handle(bytes.data(), bytes.size(), User(1001));
  EXPECT_EQ(count("refused uid 1001 "), 1u);
  EXPECT_EQ(Send(SetRadio("1"), standardUser), ERROR_SUCCESS);
  EXPECT_TRUE(Logged("done uid 1000"));
}

TEST_F(RegistryServiceTest, AFailedOperationIsAnsweredWithTheRegistryError) {
  EXPECT_EQ(Send({RegistryOp::SetValue, kAdapter + "\\Missing", "Radio", REG_SZ, "1", 0},
                 standardUser),
            ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(Logged("failed 2 uid 1000 pid 4242: set value"));
}

TEST(ServicePolicy, DefaultsAndTrust) {
  test::TempDir dir;
  const std::string ini = dir.file("OvUI.INI");
  ServicePolicy missing = ReadServicePolicy(ini);
  EXPECT_TRUE(missing.trusted);
  EXPECT_TRUE(missing.allowStandardUserSetAdvance);
  EXPECT_FALSE(missing.allowStandardUserSetProfile);

  test::WriteFileBytes(ini,
                       "[Advance]\r\nAllowStandardUserSetAdvance=0\r\n"
                       "AllowStandardUserSetProfile=1\r\n");
  ::chmod(ini.c_str(), 0644);
  ServicePolicy set = ReadServicePolicy(ini);
  EXPECT_FALSE(set.allowStandardUserSetAdvance);
  EXPECT_TRUE(set.allowStandardUserSetProfile);

  // A folder others may write lets them replace the file.
  ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
  ServicePolicy open = ReadServicePolicy(ini);
  EXPECT_FALSE(open.trusted);
  EXPECT_FALSE(open.allowStandardUserSetAdvance);
  EXPECT_FALSE(open.allowStandardUserSetProfile);
}

}  // namespace
}  // namespace ov
