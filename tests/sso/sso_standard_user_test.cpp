// A real standard user turns single sign-on on and off: a child process that drops to "nobody"
// runs the page's rules with the registry broker, and the real ovregsvc does the writes.
// Needs root to drop privileges.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "platform/registry/hive_store.h"
#include "platform/system/admin_group.h"
#include "platform/system/error_codes.h"
#include "shell/registry_broker.h"
#include "ssopages/sso_page_rules.h"
#include "tests/regsvc/regsvc_process.h"
#include "tests/support/other_user.h"
#include "tests/sso/sso_test_registry.h"

namespace ov {
namespace {

using test::kSsoAdapterKey;

class SsoStandardUserTest : public ::testing::Test, public test::SsoRegistryFixture {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) GTEST_SKIP() << "dropping to a standard user needs root";
    // The unprivileged child must reach the root's files and the socket.
    ASSERT_EQ(::chmod(Dir().path().c_str(), 0755), 0);
    ini = Dir().file("OvUI.INI");
    InstallLogonComponent();
    Put(kSsoKey, kSsoEnableValue, "0");
    Put(kSsoKey + std::string("\\Cache"), "x", "1");
    Put(kSsoAdapterKey, "DriverDesc", "Test Wireless Adapter");
    Put(kSsoAdapterKey, "CurProfile", "Old");
    AddProfile("Office", "3", "0", "office-net");
  }

  void WritePolicy(const std::string& text) {
    test::WriteFileBytes(ini, text);
    ASSERT_EQ(::chmod(ini.c_str(), 0644), 0);
  }

  // Runs `body` as "nobody" in a child; its exit status (0 = every check held, else the bits of
  // those that failed).
  static int AsStandardUser(const std::function<int()>& body) {
    registry_detail::CloseConnections();  // the child must not write through root's connections
    const pid_t pid = ::fork();
    if (pid == 0) {
      if (!test::BecomeUser(test::NobodyUid())) _exit(100);
      if (::geteuid() == 0 || ProcessIsInAdminGroup()) _exit(101);
      _exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 200;
  }

  std::string ini;
};

TEST_F(SsoStandardUserTest, ApplyAndUncheckGoThroughTheRegistryService) {
  WritePolicy("[Advance]\r\nAllowStandardUserSetProfile=1\r\n");
  test::RegistryServiceProcess service(Dir().path(), ini);
  ASSERT_TRUE(service.ready()) << service.log();

  const int applyFailed = AsStandardUser([this] {
    int bits = 0;
    if (!SsoInstalled(false, true)) bits |= 1;
    DirectRegistryWriter direct;
    if (direct.SetValue(HKEY_LOCAL_MACHINE, kSsoKey, kSsoEnableValue, REG_SZ, EncodeString("1")) !=
        ERROR_ACCESS_DENIED)
      bits |= 2;  // the machine hive must be out of this user's reach
    RegistryBroker broker(ini, /*isAdmin=*/false);
    SsoPageModel model;
    ShowSsoPage(model, &broker, kSsoAdapterKey);
    if (!model.live || model.profileName != "Office") bits |= 4;
    ClickCredentialSource(model, 2, &broker);
    ClickSsoEnable(model, true, &broker);
    const SsoApplyResult result = ApplySso(model, &broker, kSsoAdapterKey);
    if (!result.applied || result.copied != 3) bits |= 8;
    return bits;
  });
  EXPECT_EQ(applyFailed, 0) << service.log();

  EXPECT_EQ(Gina(), kGinaLibrary);
  EXPECT_EQ(Sso(kSsoEnableValue), "1");
  EXPECT_EQ(Sso(kSavedPasswordValue), "2");
  EXPECT_EQ(Sso(kSsoCurProfileValue), "Office");
  EXPECT_EQ(Sso(kSsoProfilePathValue), kSsoAdapterKey + "\\Profile\\Station\\Office");
  EXPECT_EQ(Sso(kCardNameValue), "Card Name: Test Wireless Adapter");
  EXPECT_TRUE(SsoSubkeys().empty());
  EXPECT_EQ(Adapter("CurProfile"), "Office");
  EXPECT_EQ(Adapter("SSID"), "office-net");
  const std::string log = service.log();
  EXPECT_NE(log.find("done uid " + std::to_string(test::NobodyUid())), std::string::npos) << log;
  EXPECT_EQ(log.find("refused"), std::string::npos) << log;

  Put(kSsoKey + std::string("\\Cache"), "x", "1");
  const int uncheckFailed = AsStandardUser([this] {
    RegistryBroker broker(ini, /*isAdmin=*/false);
    SsoPageModel model;
    ShowSsoPage(model, &broker, kSsoAdapterKey);
    if (!model.ssoEnabled) return 1;
    ClickSsoEnable(model, false, &broker);
    return 0;
  });
  EXPECT_EQ(uncheckFailed, 0) << service.log();
  EXPECT_FALSE(Gina());
  EXPECT_TRUE(SsoSubkeys().empty());
  EXPECT_EQ(Sso(kSsoEnableValue), "0");
  EXPECT_EQ(Sso(kSsoCurProfileValue), "");
  EXPECT_EQ(Sso(kSavedPasswordValue), "2");
}

TEST_F(SsoStandardUserTest, WithoutTheProfilePolicyTheServiceRefusesTheLogonKeys) {
  // The page is not offered then; a broker used all the same gets its writes refused.
  WritePolicy("[Advance]\r\nAllowStandardUserSetProfile=0\r\n");
  test::RegistryServiceProcess service(Dir().path(), ini);
  ASSERT_TRUE(service.ready()) << service.log();

  const int failed = AsStandardUser([this] {
    int bits = 0;
    if (SsoInstalled(false, false)) bits |= 1;
    RegistryBroker broker(ini, /*isAdmin=*/false);
    SsoPageModel model;
    ShowSsoPage(model, &broker, kSsoAdapterKey);
    ClickSsoEnable(model, true, &broker);
    ApplySso(model, &broker, kSsoAdapterKey);
    return bits;
  });
  EXPECT_EQ(failed, 0) << service.log();
  EXPECT_FALSE(Gina());
  EXPECT_EQ(Sso(kSsoEnableValue), "0");
  EXPECT_EQ(Sso(kSsoCurProfileValue), std::nullopt);
  EXPECT_NE(service.log().find("refused"), std::string::npos) << service.log();
}

}  // namespace
}  // namespace ov
