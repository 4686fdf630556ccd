#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/registry/hive_store.h"
#include "platform/registry/registry.h"
#include "tests/support/temp_dir.h"

namespace ov::test {

// Sets (or unsets, with nullopt) one environment variable for the object's lifetime.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) previous_ = old;
    if (value) setenv(name, value->c_str(), 1);
    else unsetenv(name);
  }
  ~ScopedEnv() {
    if (previous_) setenv(name_, previous_->c_str(), 1);
    else unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> previous_;
};

// Each test gets its own machine root, with the user's config folder inside it.
class RegistryTest : public ::testing::Test {
 protected:
  ~RegistryTest() override { registry_detail::CloseConnections(); }

  TempDir dir;
  ScopedMachineRoot root{dir.path()};
  ScopedEnv config{"XDG_CONFIG_HOME", std::string("/home/tester/.config")};
};

inline std::string Bytes(const char* literal, size_t size) { return std::string(literal, size); }

inline uint32_t SetValue(HKEY key, const char* name, uint32_t type, const std::string& data) {
  return RegSetValueEx(key, name, 0, type, reinterpret_cast<const uint8_t*>(data.data()),
                       static_cast<uint32_t>(data.size()));
}

inline uint32_t CreateKey(HKEY parent, const char* path, HKEY* key,
                          uint32_t* disposition = nullptr) {
  return RegCreateKeyEx(parent, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, key, disposition);
}

}  // namespace ov::test
