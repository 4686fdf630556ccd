#pragma once
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "driver/params/registry_writer.h"
#include "platform/registry/hive_store.h"
#include "platform/registry/registry.h"
#include "profiles/sso_registry.h"
#include "tests/support/temp_dir.h"

// A machine root of the test's own with the logon component installed and an adapter key;
// helpers to add registry-held station profiles and read what single sign-on wrote.
namespace ov::test {

inline const std::string kSsoAdapterKey =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e972-e325-11ce-bfc1-08002be10318}\\0007";

class SsoRegistryFixture {
 public:
  SsoRegistryFixture() : root_(dir_.path()) {}
  ~SsoRegistryFixture() { registry_detail::CloseConnections(); }

  const TempDir& Dir() const { return dir_; }

  static void Put(const std::string& path, const std::string& name, const std::string& text) {
    ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, path, name, text), 0u) << path << " " << name;
  }
  // The logon component as its installer leaves it; an empty `install` writes no "SSOInstall".
  static void InstallLogonComponent(const std::string& install = "1") {
    ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, kWinlogonKey, "Shell", "explorer.exe"), 0u);
    RegKey key;
    ASSERT_EQ(key.create(HKEY_LOCAL_MACHINE, kSsoKey), 0u);
    if (!install.empty()) Put(kSsoKey, kSsoInstallValue, install);
  }
  // A registry-held station profile; an empty text leaves the value out.
  static void AddProfile(const std::string& name, const std::string& authenProtocol,
                         const std::string& leapEnabled, const std::string& ssid = "") {
    const std::string path = SsoStationProfilePath(kSsoAdapterKey, name);
    RegKey key;
    ASSERT_EQ(key.create(HKEY_LOCAL_MACHINE, path), 0u);
    if (!authenProtocol.empty()) Put(path, "AuthenProtocol", authenProtocol);
    if (!leapEnabled.empty()) Put(path, "LeapEnabled", leapEnabled);
    if (!ssid.empty()) Put(path, "SSID", ssid);
  }
  static std::optional<std::string> Sso(const std::string& name) {
    return RegReadString(HKEY_LOCAL_MACHINE, kSsoKey, name);
  }
  static std::optional<std::string> Gina() {
    return RegReadString(HKEY_LOCAL_MACHINE, kWinlogonKey, kGinaDllValue);
  }
  static std::optional<std::string> Adapter(const std::string& name) {
    return RegReadString(HKEY_LOCAL_MACHINE, kSsoAdapterKey, name);
  }
  static std::vector<std::string> SsoSubkeys() {
    std::vector<std::string> names;
    RegKey key;
    if (key.open(HKEY_LOCAL_MACHINE, kSsoKey) == 0) RegListSubKeys(key.get(), &names);
    return names;
  }

 private:
  TempDir dir_;
  ScopedMachineRoot root_;
};

// Writes that all fail as for a user whose writes are refused and may not use the service.
class RefusingWriter final : public RegistryWriter {
 public:
  uint32_t SetValue(HKEY, const std::string&, const std::string& name, uint32_t,
                    std::string_view) override {
    attempts.push_back("set " + name);
    return 5;
  }
  uint32_t CreateKey(HKEY, const std::string&) override { return 5; }
  uint32_t DeleteValue(HKEY, const std::string&, const std::string& name) override {
    attempts.push_back("delete value " + name);
    return 5;
  }
  uint32_t DeleteKey(HKEY, const std::string&, const std::string& subKey) override {
    attempts.push_back("delete key " + subKey);
    return 5;
  }
  uint32_t DeleteKeyTree(HKEY, const std::string&, const std::string& subKey) override {
    attempts.push_back("delete tree " + subKey);
    return 5;
  }
  std::vector<std::string> attempts;
};

}  // namespace ov::test
