#include <gtest/gtest.h>

#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "platform/system/error_codes.h"
#include "tests/registry/registry_fixture.h"

// Walking a key by index remembers where it stopped; whatever order the indexes come in and
// whatever is written between two steps (by this process or another), each step must give what a
// one-pass listing of the key gives at that moment.
namespace ov::test {
namespace {

struct Step {
  uint32_t status = 0;
  std::string name, data;
  uint32_t type = 0;
};

Step EnumValueAt(HKEY key, uint32_t index) {
  Step s;
  std::string name(300, '\0'), data(300, '\0');
  uint32_t nameChars = static_cast<uint32_t>(name.size());
  uint32_t dataSize = static_cast<uint32_t>(data.size());
  s.status = RegEnumValue(key, index, name.data(), &nameChars, nullptr, &s.type,
                          reinterpret_cast<uint8_t*>(data.data()), &dataSize);
  if (s.status == ERROR_SUCCESS) {
    s.name = name.substr(0, nameChars);
    s.data = data.substr(0, dataSize);
  }
  return s;
}

Step EnumKeyAt(HKEY key, uint32_t index) {
  Step s;
  std::string name(300, '\0');
  uint32_t chars = static_cast<uint32_t>(name.size());
  s.status = RegEnumKeyEx(key, index, name.data(), &chars, nullptr, nullptr, nullptr, nullptr);
  if (s.status == ERROR_SUCCESS) s.name = name.substr(0, chars);
  return s;
}

// Another process changes the key: this process's cursor must notice.
void WriteFromAnotherProcess(const std::string& path, const std::string& name) {
  const pid_t pid = fork();
  if (pid == 0) _exit(static_cast<int>(RegWriteString(HKEY_LOCAL_MACHINE, path, name, "child")));
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST_F(RegistryTest, ValueEnumerationByIndexAgreesWithTheListingWhateverHappensBetweenSteps) {
  const std::string path = "SOFTWARE\\Walk";
  for (int i = 0; i < 40; ++i) {
    ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, path, "v" + std::to_string(i), std::to_string(i)),
              0u);
  }
  RegKey walker, other;
  ASSERT_EQ(walker.open(HKEY_LOCAL_MACHINE, path, KEY_ALL_ACCESS), 0u);
  ASSERT_EQ(other.open(HKEY_LOCAL_MACHINE, path, KEY_READ), 0u);
  std::mt19937 random(7);
  uint32_t index = 0;
  int fresh = 100;
  for (int step = 0; step < 3000; ++step) {
    const int what = static_cast<int>(random() % 100);
    if (what < 50) {
      ++index;  // the usual walk
    } else if (what < 58) {
      // the same index again, as a caller does after ERROR_MORE_DATA
    } else if (what < 66) {
      index = static_cast<uint32_t>(random() % 50);  // a jump, past the end at times
    } else if (what < 72) {
      index = 0;
    } else if (what < 80) {
      ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, path, "n" + std::to_string(fresh++), "new"), 0u);
    } else if (what < 86) {
      // a value whose name already exists keeps its place
      ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, path, "V" + std::to_string(random() % 40),
                               "again"), 0u);
    } else if (what < 94) {
      std::vector<RegValue> now;
      ASSERT_EQ(RegListValues(walker.get(), &now), 0u);
      if (!now.empty()) {
        RegDeleteValue(walker.get(), now[random() % now.size()].name.c_str());
      }
    } else if (what < 97) {
      EnumValueAt(other.get(), static_cast<uint32_t>(random() % 40));  // another handle walks
    } else {
      WriteFromAnotherProcess(path, "c" + std::to_string(fresh++));
    }
    std::vector<RegValue> expected;
    ASSERT_EQ(RegListValues(walker.get(), &expected), 0u);
    const Step got = EnumValueAt(walker.get(), index);
    SCOPED_TRACE("step " + std::to_string(step) + ", index " + std::to_string(index));
    if (index >= expected.size()) {
      ASSERT_EQ(got.status, ERROR_NO_MORE_ITEMS);
      index = 0;
      continue;
    }
    ASSERT_EQ(got.status, ERROR_SUCCESS);
    ASSERT_EQ(got.name, expected[index].name);
    ASSERT_EQ(got.type, expected[index].type);
    ASSERT_EQ(got.data, expected[index].data);
  }
}

TEST_F(RegistryTest, SubkeyEnumerationByIndexAgreesWithTheListingWhateverHappensBetweenSteps) {
  const std::string path = "SOFTWARE\\Tree";
  for (int i = 0; i < 30; ++i) {
    HKEY k = nullptr;
    ASSERT_EQ(CreateKey(HKEY_LOCAL_MACHINE, (path + "\\k" + std::to_string(i * 3)).c_str(), &k), 0u);
    RegCloseKey(k);
  }
  RegKey walker;
  ASSERT_EQ(walker.open(HKEY_LOCAL_MACHINE, path, KEY_ALL_ACCESS), 0u);
  std::mt19937 random(11);
  uint32_t index = 0;
  for (int step = 0; step < 2000; ++step) {
    const int what = static_cast<int>(random() % 100);
    if (what < 55) {
      ++index;
    } else if (what < 63) {
      // the same index again
    } else if (what < 72) {
      index = static_cast<uint32_t>(random() % 40);
    } else if (what < 84) {
      // New names land before, between and after the ones walked so far.
      HKEY k = nullptr;
      const std::string name = (random() % 2 ? "K" : "a") + std::to_string(random() % 200);
      ASSERT_EQ(CreateKey(walker.get(), name.c_str(), &k), 0u);
      RegCloseKey(k);
    } else if (what < 96) {
      std::vector<std::string> now;
      ASSERT_EQ(RegListSubKeys(walker.get(), &now), 0u);
      if (!now.empty()) SHDeleteKey(walker.get(), now[random() % now.size()].c_str());
    } else {
      WriteFromAnotherProcess(path + "\\b" + std::to_string(step), "x");
    }
    std::vector<std::string> expected;
    ASSERT_EQ(RegListSubKeys(walker.get(), &expected), 0u);
    const Step got = EnumKeyAt(walker.get(), index);
    SCOPED_TRACE("step " + std::to_string(step) + ", index " + std::to_string(index));
    if (index >= expected.size()) {
      ASSERT_EQ(got.status, ERROR_NO_MORE_ITEMS);
      index = 0;
      continue;
    }
    ASSERT_EQ(got.status, ERROR_SUCCESS);
    ASSERT_EQ(got.name, expected[index]);
  }
}

TEST_F(RegistryTest, ANamedValueIsReadWithItsStoredName) {
  ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Case", "MixedName", "x"), 0u);
  RegValue value;
  ASSERT_EQ(RegReadValue(HKEY_LOCAL_MACHINE, "software\\case", "MIXEDNAME", &value), 0u);
  EXPECT_EQ(value.name, "MixedName");
  EXPECT_EQ(DecodeString(value.data), "x");
  EXPECT_EQ(RegReadValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Case", "Other", &value),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegReadValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\None", "MixedName", &value),
            ERROR_FILE_NOT_FOUND);
}

// ---- batches ----

struct Expect {
  HKEY root;
  std::string path, name;
  std::optional<std::string> text;  // nullopt: the value (or its key) must not exist
};

struct BatchRow {
  const char* name;
  std::vector<RegChange> changes;
  uint32_t status;
  size_t failedIndex;  // checked when status != 0
  std::vector<Expect> after;
};

RegChange Set(HKEY root, std::string path, std::string name, std::string text) {
  return {RegChange::Kind::SetValue, root, std::move(path), std::move(name), REG_SZ,
          EncodeString(text)};
}
RegChange Create(HKEY root, std::string path) {
  return {RegChange::Kind::CreateKey, root, std::move(path), "", REG_NONE, ""};
}
RegChange DeleteTree(HKEY root, std::string path) {
  return {RegChange::Kind::DeleteTree, root, std::move(path), "", REG_NONE, ""};
}
RegChange DeleteValue(HKEY root, std::string path, std::string name) {
  return {RegChange::Kind::DeleteValue, root, std::move(path), std::move(name), REG_NONE, ""};
}

TEST_F(RegistryTest, ABatchAppliesAllOfItsChangesOrNone) {
  const HKEY lm = HKEY_LOCAL_MACHINE, cu = HKEY_CURRENT_USER, cr = HKEY_CLASSES_ROOT;
  const std::vector<BatchRow> rows = {
      {"a refusal at the end undoes every change before it, in every hive",
       {Set(lm, "SOFTWARE\\A", "x", "1"), Set(cu, "Software\\C", "y", "2"),
        DeleteValue(lm, "SOFTWARE\\Keep", "k"), DeleteTree(lm, "")},
       ERROR_ACCESS_DENIED, 3,
       {{lm, "SOFTWARE\\A", "x", std::nullopt}, {cu, "Software\\C", "y", std::nullopt},
        {lm, "SOFTWARE\\Keep", "k", "kept"}}},
      {"the classes root is the machine hive's SOFTWARE\\Classes, and cannot be deleted whole",
       {Set(cr, ".ovp", "", "OvUI.Profile"), DeleteTree(cr, "")}, ERROR_ACCESS_DENIED, 1,
       {{lm, "SOFTWARE\\Classes\\.ovp", "", std::nullopt}}},
      {"the classes root in a batch that succeeds",
       {Set(cr, ".ovp", "", "OvUI.Profile")}, ERROR_SUCCESS, 0,
       {{lm, "SOFTWARE\\Classes\\.ovp", "", "OvUI.Profile"}}},
      {"later changes see earlier ones, deletions included",
       {Create(lm, "SOFTWARE\\T\\B"), Set(lm, "SOFTWARE\\T\\B", "v", "1"),
        DeleteTree(lm, "software\\t"), Set(lm, "SOFTWARE\\T\\B", "w", "2"),
        DeleteValue(lm, "SOFTWARE\\Keep", "K")},
       ERROR_SUCCESS, 0,
       {{lm, "SOFTWARE\\T\\B", "v", std::nullopt}, {lm, "SOFTWARE\\T\\B", "w", "2"},
        {lm, "SOFTWARE\\Keep", "k", std::nullopt}}},
      {"deleting what is not there counts as done",
       {DeleteTree(lm, "SOFTWARE\\Never"), DeleteValue(lm, "SOFTWARE\\Never", "x"),
        DeleteValue(lm, "SOFTWARE\\Keep", "absent")},
       ERROR_SUCCESS, 0, {{lm, "SOFTWARE\\Keep", "k", "kept"}}},
      {"a name part longer than a key name may be",
       {Set(lm, "SOFTWARE\\Ok", "a", "1"), Create(lm, "SOFTWARE\\" + std::string(256, 'n'))},
       ERROR_INVALID_PARAMETER, 1, {{lm, "SOFTWARE\\Ok", "a", std::nullopt}}},
  };
  for (const BatchRow& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_EQ(SHDeleteKey(lm, "SOFTWARE"), 0u);
    SHDeleteKey(cu, "Software");
    ASSERT_EQ(RegWriteString(lm, "SOFTWARE\\Keep", "k", "kept"), 0u);
    size_t failed = 999;
    EXPECT_EQ(RegApplyChanges(row.changes, &failed), row.status);
    if (row.status != ERROR_SUCCESS) EXPECT_EQ(failed, row.failedIndex);
    for (const Expect& e : row.after) {
      EXPECT_EQ(RegReadString(e.root, e.path, e.name), e.text) << e.path << " " << e.name;
    }
  }

  RegKey opened;
  ASSERT_EQ(opened.open(lm, "SOFTWARE\\Keep"), 0u);
  size_t failed = 999;
  EXPECT_EQ(RegApplyChanges({Set(opened.get(), "", "k", "x")}, &failed), ERROR_INVALID_HANDLE)
      << "only predefined roots";
  EXPECT_EQ(failed, 0u);
}

}  // namespace
}  // namespace ov::test
