// The service's allow-list: which operations on which keys a caller may have performed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/registry/registry.h"
#include "services/registry_allow_list.h"

namespace ov {
namespace {

const std::string kClass =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e972-e325-11ce-bfc1-08002be10318}";
const std::string kAdapter = kClass + "\\0007";
const std::string kWinlogon = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
const std::string kSso = kWinlogon + "\\Orvane";
const std::string kTcp = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
const std::string kWapi = "CLSID\\{5B7E2C10-3D4A-4F61-9A2E-7C0D1E8B4F53}\\Wapi_auth";

RegistryMessage Set(std::string path, std::string name, uint32_t type = REG_SZ,
                    std::string data = "1", uint32_t hive = kHiveLocalMachine) {
  return {RegistryOp::SetValue, std::move(path), std::move(name), type, std::move(data), hive};
}
RegistryMessage Create(std::string path, uint32_t hive = kHiveLocalMachine) {
  return {RegistryOp::CreateKey, std::move(path), "", 0, "", hive};
}
RegistryMessage Remove(RegistryOp op, std::string path, std::string name) {
  return {op, std::move(path), std::move(name), 0, "", kHiveLocalMachine};
}
std::string Dword(uint32_t v) {
  return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                     static_cast<char>(v >> 24)};
}

struct Case {
  const char* name;
  RegistryMessage message;
  bool allowed;
  bool needsProfilePolicy = false;
};

TEST(RegistryAllowList, OnlyTheUtilitysOwnKeysAndValues) {
  const std::vector<Case> cases = {
      // Adapter driver keys.
      {"adapter value", Set(kAdapter, "Radio"), true},
      {"adapter value, other letter case",
       Set("system\\currentcontrolset\\control\\class\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\0007",
           "Radio"), true},
      {"adapter subkey value", Set(kAdapter + "\\Default", "Radio"), true},
      {"adapter registry profile", Set(kAdapter + "\\Profile\\Station\\Home", "SSID"), true},
      {"create the Default subkey", Create(kAdapter + "\\Default"), true},
      {"delete an adapter value", Remove(RegistryOp::DeleteValue, kAdapter, "Radio"), true},
      {"delete the Default subkey", Remove(RegistryOp::DeleteKeyTree, kAdapter, "Default"), true},
      {"delete a key below Default", Remove(RegistryOp::DeleteKey, kAdapter + "\\Default", "X"), true},
      {"delete a driver key", Remove(RegistryOp::DeleteKeyTree, kClass, "0007"), false},
      {"value of the class key itself", Set(kClass, "Class"), false},
      {"a key that is not a driver key", Set(kClass + "\\Properties", "X"), false},
      {"five-digit instance", Set(kClass + "\\00071", "Radio"), false},
      {"another device class",
       Set("SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e96b-e325-11ce-bfc1-08002be10318}\\0000",
           "X"), false},
      {"adapter key in the classes root", Set(kAdapter, "Radio", REG_SZ, "1", kHiveClassesRoot),
       false},
      // Single sign-on key, and the one value of the logon key.
      {"single sign-on value", Set(kSso, "SSOEnable"), true, true},
      {"create the single sign-on key", Create(kSso), true, true},
      {"delete a single sign-on subkey", Remove(RegistryOp::DeleteKey, kSso, "Cache"), true, true},
      {"delete the single sign-on key", Remove(RegistryOp::DeleteKeyTree, kWinlogon, "Orvane"),
       false},
      {"logon library", Set(kWinlogon, "GinaDLL", REG_SZ, "OrvaneGina.DLL"), true, true},
      {"logon library in a 256-byte buffer",
       Set(kWinlogon, "GinaDLL", REG_SZ, "OrvaneGina.DLL" + std::string(242, '\0')), true, true},
      {"logon library removed", Remove(RegistryOp::DeleteValue, kWinlogon, "GinaDLL"), true, true},
      {"another logon library", Set(kWinlogon, "GinaDLL", REG_SZ, "/tmp/evil.so"), false},
      {"logon library with more after it",
       Set(kWinlogon, "GinaDLL", REG_SZ, std::string("OrvaneGina.DLL\0x", 16)), false},
      {"logon shell", Set(kWinlogon, "Shell", REG_SZ, "evil"), false},
      {"logon key subkey", Set(kWinlogon + "\\Notify", "DllName"), false},
      {"create below the logon key", Create(kWinlogon + "\\Notify"), false},
      // TCP/IP parameters of the advanced page.
      {"TCP window size", Set(kTcp, "TCPWindowSize", REG_DWORD, Dword(65536)), true},
      {"TCP option removed", Remove(RegistryOp::DeleteValue, kTcp, "Tcp1323Opts"), true},
      {"TCP value as text", Set(kTcp, "SackOpts", REG_SZ, "1"), false},
      {"other TCP value", Set(kTcp, "Hostname", REG_SZ, "x"), false},
      {"TCP interface key", Set(kTcp + "\\Interfaces", "TCPWindowSize", REG_DWORD, Dword(1)), false},
      {"delete the TCP parameters", Remove(RegistryOp::DeleteKeyTree, "SYSTEM\\CurrentControlSet\\Services\\Tcpip", "Parameters"), false},
      // WAPI key under the classes root.
      {"WAPI value", Set(kWapi + "\\Cert", "cert_already", REG_SZ, "1", kHiveClassesRoot), true},
      {"create the WAPI key", Create(kWapi + "\\Cert", kHiveClassesRoot), true},
      {"WAPI key by its machine path",
       Set("SOFTWARE\\Classes\\" + kWapi + "\\Cert", "CertState", REG_SZ, "20"), true},
      {"delete a WAPI subkey by its machine path",
       Remove(RegistryOp::DeleteKeyTree, "SOFTWARE\\Classes\\" + kWapi, "X509Cert0"), true},
      {"other class", Set("CLSID\\{00000000-0000-0000-0000-000000000000}", "X", REG_SZ, "1",
                          kHiveClassesRoot), false},
      // Everything else.
      {"software key", Set("SOFTWARE\\Other", "X"), false},
      {"services", Set("SYSTEM\\CurrentControlSet\\Services\\ovsvc", "ImagePath"), false},
      {"current user hive", Set("Software\\Orvane", "X", REG_SZ, "1", kHiveCurrentUser), false},
      {"users hive", Set(kAdapter, "Radio", REG_SZ, "1", kHiveUsers), false},
      {"current configuration hive", Set(kAdapter, "Radio", REG_SZ, "1", kHiveCurrentConfig), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    AllowDecision d = CheckAllowList(c.message);
    EXPECT_EQ(d.allowed, c.allowed) << d.explanation;
    EXPECT_FALSE(d.explanation.empty());
    if (c.allowed) {
      EXPECT_EQ(d.needsProfilePolicy, c.needsProfilePolicy);
    }
  }
}

TEST(RegistryAllowList, TheClassesRootActsOnTheMachineHivesClassesKey) {
  AllowDecision d = CheckAllowList(Set(kWapi + "\\Cert", "WAPI", REG_SZ, "", kHiveClassesRoot));
  ASSERT_TRUE(d.allowed);
  EXPECT_EQ(d.machineKeyPath, "SOFTWARE\\Classes\\" + kWapi + "\\Cert");
  d = CheckAllowList(Remove(RegistryOp::DeleteKeyTree, kAdapter, "Default"));
  ASSERT_TRUE(d.allowed);
  EXPECT_EQ(d.machineKeyPath, kAdapter) << "deletions name the parent key";
}

}  // namespace
}  // namespace ov
