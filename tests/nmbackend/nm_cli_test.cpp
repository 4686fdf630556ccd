// ovuictl's commands over NetworkManager's backend (no vendor driver) against dbusmock's
// NetworkManager on a private bus, and the pieces they build on.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <sstream>

#include "cli/cli.h"
#include "cli/service_backend.h"
#include "cli/service_commands.h"
#include "nativewifi/nm/nm_access_point.h"
#include "nativewifi/nm/nm_codes.h"
#include "nativewifi/nm/nm_wifi_settings.h"
#include "nativewifi/nm/nm_wlan_service.h"
#include "tests/nmbackend/nm_mock_bus.h"

namespace ov::cli {
namespace {

using namespace ov::wlan;

TEST(ServiceConnect, AnnouncedSecurityOfEachKind) {
  struct Row {
    uint32_t flags, wpa, rsn;
    const char* security;
  };
  using namespace nm;
  const Row rows[] = {
      {0, 0, 0, "open"},
      {kApFlagsPrivacy, 0, 0, "WEP"},
      {kApFlagsPrivacy, kSecPairTkip | kSecGroupTkip | kSecKeyMgmtPsk, 0, "WPA-PSK"},
      {kApFlagsPrivacy, kSecPairTkip | kSecGroupTkip | kSecKeyMgmtPsk, kSecPairCcmp | kSecGroupCcmp | kSecKeyMgmtPsk, "WPA2-PSK"},
      {kApFlagsPrivacy, 0, kSecPairCcmp | kSecGroupCcmp | kSecKeyMgmt8021x, "WPA2-802.1X"},
      {kApFlagsPrivacy, kSecPairTkip | kSecGroupTkip | kSecKeyMgmt8021x, 0, "WPA-802.1X"},
      {kApFlagsPrivacy, 0, kSecPairCcmp | kSecGroupCcmp | kSecKeyMgmt8021x | kSecKeyMgmtPsk, "WPA2-PSK"},
  };
  for (const Row& row : rows) {
    AccessPointProperties ap;
    ap.ssid = {'n'};
    ap.frequencyMHz = 2412;
    ap.flags = row.flags;
    ap.wpaFlags = row.wpa;
    ap.rsnFlags = row.rsn;
    EXPECT_EQ(AnnouncedSecurity(nm::BssEntryFromAccessPoint(ap)), row.security) << row.security;
  }
}

TEST(ServiceConnect, ProfilesTranslateBackWithTheirSecret) {
  const Ssid ssid = Ssid::FromText("caf\xC3\xA9 <&>");
  struct Row {
    const char* security;
    std::string secret;
    const char* keyMgmt;
  };
  const Row rows[] = {
      {"open", "", ""},
      {"WEP", "ab<&>", "none"},
      {"WPA2-PSK", "pass <word> & more", "wpa-psk"},
      {"WPA-PSK", std::string(64, 'f'), "wpa-psk"},
  };
  for (const Row& row : rows) {
    const nm::TranslateResult t = nm::TranslateProfile(ServiceConnectProfile(ssid, row.security, row.secret));
    ASSERT_EQ(t.error, ERROR_SUCCESS) << row.security << ": " << t.why;
    EXPECT_EQ(t.settings.ssid, ssid.bytes) << row.security;
    EXPECT_EQ(t.settings.keyMgmt, row.keyMgmt) << row.security;
    EXPECT_EQ(row.secret, t.settings.keyMgmt == "none" ? t.settings.wepKey : t.settings.psk) << row.security;
  }
  EXPECT_EQ(ServiceConnectProfile(ssid, "WPA2-802.1X", "x"), "");
}

class NmCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::NmMockBus::DbusmockInstalled()) GTEST_SKIP() << "python3-dbusmock is not installed for /usr/bin/python3";
    std::string failure;
    ASSERT_TRUE(mock_.Start(&failure)) << failure;
    service_ = std::make_shared<nm::NmWlanService>(mock_.address());
    SetServiceBackendFactory([this] {
      ServiceBackend b;
      b.service = service_;
      b.noVendorDriver = true;
      b.why = "the mock";
      return b;
    });
  }
  void TearDown() override {
    SetServiceBackendFactory({});
    service_.reset();
  }

  int Run(const std::vector<std::string>& args) {
    out_.str({});
    err_.str({});
    return RunCli(args, out_, err_);
  }

  test::NmMockBus mock_;
  std::shared_ptr<nm::NmWlanService> service_;
  std::ostringstream out_, err_;
};

TEST_F(NmCliTest, ScanConnectStatusAndProfileList) {
  ASSERT_EQ(Run({"scan"}), kExitOk) << err_.str();
  EXPECT_NE(out_.str().find("Cafe"), std::string::npos) << out_.str();
  EXPECT_NE(out_.str().find("Locked"), std::string::npos) << out_.str();
  EXPECT_NE(out_.str().find("2 BSSs on \"wlan0\""), std::string::npos) << out_.str();

  ASSERT_EQ(Run({"status"}), kExitOk) << err_.str();
  EXPECT_NE(out_.str().find("Connection: none"), std::string::npos) << out_.str();

  ASSERT_EQ(Run({"connect", "Cafe"}), kExitOk) << err_.str();
  EXPECT_EQ(out_.str(), "Connected to \"Cafe\" (open)\n");

  ASSERT_EQ(Run({"status"}), kExitOk) << err_.str();
  const std::string status = out_.str();
  EXPECT_NE(status.find("Interface: wlan0 "), std::string::npos) << status;
  EXPECT_NE(status.find("connected"), std::string::npos) << status;
  EXPECT_NE(status.find("SSID: Cafe\n"), std::string::npos) << status;
  EXPECT_NE(status.find("BSSID: 02:00:00:00:00:01\n"), std::string::npos) << status;
  EXPECT_NE(status.find("Signal: 70%\n"), std::string::npos) << status;
  EXPECT_NE(status.find("Channel: 6\n"), std::string::npos) << status;

  ASSERT_EQ(Run({"profile", "list"}), kExitOk) << err_.str();
  EXPECT_EQ(out_.str(), "Cafe\n1 profile on \"wlan0\"\n");
  EXPECT_EQ(Run({"status", "--adapter", "wlan9"}), kExitFailed);
  EXPECT_NE(err_.str().find("no wireless interface described as \"wlan9\""), std::string::npos) << err_.str();
}

TEST_F(NmCliTest, AFailedConnectionSaysItsReason) {
  std::istringstream passphrase("not the passphrase\n");
  std::ostringstream out, err;
  EXPECT_EQ(RunServiceConnect(*service_, {"Locked"}, &passphrase, out, err), kExitFailed);
  EXPECT_EQ(err.str(), "ERROR: the connection to \"Locked\" failed (reason 0x48014)\n");
  EXPECT_EQ(out.str(), "");

  std::istringstream shortPassphrase("wrong\n");
  EXPECT_EQ(RunServiceConnect(*service_, {"Locked"}, &shortPassphrase, out, err), kExitFailed);
  EXPECT_NE(err.str().find("a passphrase has 8 to 63 characters"), std::string::npos) << err.str();
  std::istringstream none("");
  EXPECT_EQ(RunServiceConnect(*service_, {"Locked"}, &none, out, err), kExitFailed);
  EXPECT_NE(err.str().find("no passphrase was given"), std::string::npos) << err.str();
  EXPECT_EQ(RunServiceConnect(*service_, {"Elsewhere"}, nullptr, out, err), kExitFailed);
  EXPECT_NE(err.str().find("no network \"Elsewhere\" in range"), std::string::npos) << err.str();
}

}  // namespace
}  // namespace ov::cli

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);  // QtDBus needs one
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
