#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "driver/params/debug_trace.h"
#include "driver/params/registry_writer.h"
#include "platform/registry/hive_store.h"
#include "platform/registry/registry.h"
#include "platform/system/error_codes.h"
#include "tests/support/temp_dir.h"

namespace ov::test {

constexpr const char* kAdapterKey =
    "System\\CurrentControlSet\\Control\\Class\\{4d36e972-e325-11ce-bfc1-08002be10318}\\0007";

// A machine root of its own with an empty machine hive, and the trace lines written meanwhile.
class RegistrySandbox : public ::testing::Test {
 protected:
  RegistrySandbox() {
    SetDebugTraceSink([this](std::string_view line) { traces.emplace_back(line); });
  }
  ~RegistrySandbox() override {
    SetDebugTraceSink(nullptr);
    registry_detail::CloseConnections();
  }

  static void Put(const std::string& path, const std::string& name, uint32_t type,
                  const std::string& data) {
    ASSERT_EQ(RegWriteValue(HKEY_LOCAL_MACHINE, path, name, type, data), ERROR_SUCCESS);
  }
  static void PutString(const std::string& path, const std::string& name,
                        const std::string& text) {
    Put(path, name, REG_SZ, EncodeString(text));
  }
  static std::optional<RegValue> Get(const std::string& path, const std::string& name) {
    RegValue value;
    if (RegReadValue(HKEY_LOCAL_MACHINE, path, name, &value) != ERROR_SUCCESS) return std::nullopt;
    return value;
  }
  static std::optional<std::string> GetString(const std::string& path, const std::string& name) {
    return RegReadString(HKEY_LOCAL_MACHINE, path, name);
  }
  static bool KeyExists(const std::string& path) {
    RegKey key;
    return key.open(HKEY_LOCAL_MACHINE, path, KEY_READ) == ERROR_SUCCESS;
  }
  bool Traced(const std::string& line) const {
    for (const auto& t : traces) {
      if (t == line) return true;
    }
    return false;
  }

  TempDir dir;
  ScopedMachineRoot root{dir.path()};
  std::vector<std::string> traces;
};

// The direct writer with a log of the operations and a switch to refuse chosen ones.
class RecordingWriter final : public RegistryWriter {
 public:
  struct Call {
    std::string op, keyPath, name;
    uint32_t type = 0;
    std::string data;
  };
  std::vector<Call> calls;
  // Refuses (with access denied, writing nothing) the operations it returns true for.
  std::function<bool(const Call&)> refuse;

  uint32_t SetValue(HKEY hive, const std::string& keyPath, const std::string& name, uint32_t type,
                    std::string_view data) override {
    return run({"set", keyPath, name, type, std::string(data)},
               [&] { return direct.SetValue(hive, keyPath, name, type, data); });
  }
  uint32_t CreateKey(HKEY hive, const std::string& keyPath) override {
    return run({"create", keyPath, "", 0, ""}, [&] { return direct.CreateKey(hive, keyPath); });
  }
  uint32_t DeleteValue(HKEY hive, const std::string& keyPath, const std::string& name) override {
    return run({"delete value", keyPath, name, 0, ""},
               [&] { return direct.DeleteValue(hive, keyPath, name); });
  }
  uint32_t DeleteKey(HKEY hive, const std::string& keyPath, const std::string& subKey) override {
    return run({"delete key", keyPath, subKey, 0, ""},
               [&] { return direct.DeleteKey(hive, keyPath, subKey); });
  }
  uint32_t DeleteKeyTree(HKEY hive, const std::string& keyPath,
                         const std::string& subKey) override {
    return run({"delete tree", keyPath, subKey, 0, ""},
               [&] { return direct.DeleteKeyTree(hive, keyPath, subKey); });
  }

 private:
  uint32_t run(Call call, const std::function<uint32_t()>& op) {
    calls.push_back(call);
    if (refuse && refuse(call)) return ERROR_ACCESS_DENIED;
    return op();
  }
  DirectRegistryWriter direct;
};

}  // namespace ov::test
