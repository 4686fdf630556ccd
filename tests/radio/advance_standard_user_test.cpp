// A standard user's Apply on the advanced page: the registry service writes the adapter key and
// the TCP values for the user when the program's policy allows it; otherwise the page says the
// user lacks the rights, and neither the registry nor the driver changes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <optional>

#include "driver/oid/oid_constants.h"
#include "platform/registry/hive_store.h"
#include "platform/registry/registry.h"
#include "driver/params/registry_writer.h"
#include "radio/page_advance.h"
#include "shell/registry_broker.h"
#include "tests/radio/advance_host.h"
#include "tests/regsvc/regsvc_process.h"
#include "tests/shellui/page_window_fixture.h"
#include "tests/support/other_user.h"

namespace ov {
namespace {

constexpr char kKey[] = "SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e972-e325-11ce-bfc1-08002be10318}\\0007";

// What the user's process saw, as exit-status bits.
constexpr int kSawMessage = 1;
constexpr int kSentPhyMode = 2;
constexpr int kCouldNotBecomeUser = 100;

class AdvanceStandardUserTest : public test::PageWindowFixture<test::AdvanceHost> {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) GTEST_SKIP() << "playing a standard user needs root to drop privileges";
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    ASSERT_EQ(::chmod(conf_.path().c_str(), 0755), 0);
    registry.RegisterPage(TabButton::Advance, MakeAdvancePage);
    state.Adapter.chipFamily = WXP4;
    state.Adapter.htCapable = true;
    state.Adapter.adapterKeyPath = kKey;
    host.radio.plan.region.regionChangeable24 = true;
    host.radio.plan.region.regionChangeable5 = true;
    ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, kKey, "WirelessMode", "9"), 0u);
    ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, kKey, "CountryRegion", "1"), 0u);
    // Every host has its TCP/IP parameters key.
    ASSERT_EQ(DirectRegistryWriter().CreateKey(HKEY_LOCAL_MACHINE, kTcpipParametersPath), 0u);
  }
  void TearDown() override { registry_detail::CloseConnections(); }

  // Runs Apply with the band changed to both bands as "nobody"; the exit status's bits.
  int ApplyAsStandardUser(const std::string& ini) {
    registry_detail::CloseConnections();
    const pid_t pid = ::fork();
    if (pid == 0) {
      if (!test::BecomeUser(test::NobodyUid())) _exit(kCouldNotBecomeUser);
      RegistryBroker broker(ini, false);
      std::vector<QString> messages;
      options.services.registry = &broker;
      options.services.showMessage = [&](const QString& text, QWidget*) {
        messages.push_back(text);
        return 1;
      };
      window = MakeWindow();
      window->ShowPage(TabButton::Advance);
      auto* page = dynamic_cast<CPageAdvanceDlg*>(window->Page(TabButton::Advance));
      if (page == nullptr) _exit(99);
      page->TcpWindowBox()->setChecked(true);
      page->BandList()->setCurrentIndex(2);
      emit page->BandList()->activated(2);
      page->ApplyButton()->click();
      int seen = 0;
      if (messages.size() == 1 && messages[0] == QString::fromLatin1(kNoAdministratorText)) seen |= kSawMessage;
      for (const auto& call : driver.Sets()) {
        if (call.oid == OID_VND_PHY_MODE.set) seen |= kSentPhyMode;
      }
      _exit(seen);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  static void Delete(const char* keyPath, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_ALL_ACCESS, &key) != 0) return;
    RegDeleteValue(key, name);
    RegCloseKey(key);
  }

  std::string WriteIni(const char* allow) {
    const std::string ini = conf_.file("OvUI.INI");
    test::WriteFileBytes(ini, std::string("[Advance]\nAllowStandardUserSetAdvance=") + allow + "\n");
    return ini;
  }

  test::ScopedMachineRoot root_{dir.path()};
  test::TempDir conf_;
};

TEST_F(AdvanceStandardUserTest, ThePolicyDecidesWhetherTheServiceWritesForTheUser) {
  struct Case { const char* allow; int seen; const char* wirelessMode; bool tcpWritten; } cases[] = {
      {"1", kSentPhyMode, "5", true},
      {"0", kSawMessage, "9", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("AllowStandardUserSetAdvance=") + c.allow);
    ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, kKey, "WirelessMode", "9"), 0u);
    for (const char* name : kTcpWindowValueNames) Delete(kTcpipParametersPath, name);
    Delete(kKey, kTcpWindowBackupName);
    const std::string ini = WriteIni(c.allow);
    test::RegistryServiceProcess service(dir.path(), ini);
    ASSERT_TRUE(service.ready()) << service.log();
    const int seen = ApplyAsStandardUser(ini);
    ASSERT_NE(seen, kCouldNotBecomeUser);
    EXPECT_EQ(seen, c.seen) << service.log();
    EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE, kKey, "WirelessMode").value_or("<missing>"), c.wirelessMode);
    EXPECT_EQ(RegReadDword(HKEY_LOCAL_MACHINE, kTcpipParametersPath, "TCPWindowSize").has_value(), c.tcpWritten) << service.log();
    registry_detail::CloseConnections();
  }
}

}  // namespace
}  // namespace ov
