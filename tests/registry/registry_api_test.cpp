#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <vector>

#include "platform/registry/hive_files.h"
#include "platform/system/error_codes.h"
#include "tests/registry/registry_fixture.h"

namespace ov::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;

std::vector<std::string> ValueNames(HKEY key) {
  std::vector<RegValue> values;
  EXPECT_EQ(RegListValues(key, &values), ERROR_SUCCESS);
  std::vector<std::string> names;
  for (const RegValue& v : values) names.push_back(v.name);
  return names;
}

std::vector<std::string> SubKeyNames(HKEY key) {
  std::vector<std::string> names;
  EXPECT_EQ(RegListSubKeys(key, &names), ERROR_SUCCESS);
  return names;
}

TEST_F(RegistryTest, KeyAndValueNamesIgnoreAsciiCaseAndKeepTheFirstSpelling) {
  RegKey adapter;
  uint32_t disposition = 0;
  ASSERT_EQ(adapter.create(HKEY_LOCAL_MACHINE, "Software\\Orvane\\Adapter", KEY_ALL_ACCESS,
                           &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);

  RegKey again;
  ASSERT_EQ(again.create(HKEY_LOCAL_MACHINE, "SOFTWARE\\orvane\\ADAPTER", KEY_ALL_ACCESS,
                         &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);

  RegKey software;
  ASSERT_EQ(software.open(HKEY_LOCAL_MACHINE, "software"), ERROR_SUCCESS);
  EXPECT_THAT(SubKeyNames(software.get()), ElementsAre("Classes", "Orvane"));
  std::string path;
  ASSERT_EQ(RegQueryKeyPath(again.get(), &path), ERROR_SUCCESS);
  EXPECT_EQ(path, "SOFTWARE\\Orvane\\Adapter");

  ASSERT_EQ(SetValue(adapter.get(), "WirelessMode", REG_SZ, EncodeString("5")), ERROR_SUCCESS);
  ASSERT_EQ(SetValue(again.get(), "WIRELESSMODE", REG_SZ, EncodeString("9")), ERROR_SUCCESS);
  EXPECT_THAT(ValueNames(adapter.get()), ElementsAre("WirelessMode"));
  EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE, "SOFTWARE\\ORVANE\\ADAPTER", "wirelessmode"), "9");

  // Folding is ASCII only: bytes of other letters compare exactly.
  ASSERT_EQ(SetValue(adapter.get(), "\xC3\x84rger", REG_SZ, EncodeString("upper")), 0u);
  ASSERT_EQ(SetValue(adapter.get(), "\xC3\xA4rger", REG_SZ, EncodeString("lower")), 0u);
  EXPECT_EQ(RegReadString(adapter.get(), "", "\xC3\x84RGER"), "upper");
  EXPECT_EQ(RegReadString(adapter.get(), "", "\xC3\xA4RGER"), "lower");
}

struct TypeCase {
  const char* label;
  uint32_t type;
  std::string data;
};

TEST_F(RegistryTest, EveryTypeAndPayloadComesBackByteForByte) {
  const TypeCase cases[] = {
      {"string with its NUL", REG_SZ, Bytes("hello\0", 6)},
      {"string without NUL", REG_SZ, "raw"},
      // The caller's size is the whole story, even when a NUL follows in memory (std::string).
      {"string whose NUL lies just past its size", REG_SZ, "fifteen chars!!"},
      {"UTF-8 string", REG_SZ, Bytes("gr\xC3\xBC\xC3\x9F" "e\0", 8)},
      {"empty string", REG_SZ, Bytes("\0", 1)},
      {"expandable string", REG_EXPAND_SZ, Bytes("%HOME%\\ovui\0", 12)},
      {"binary with zero bytes", REG_BINARY, Bytes("\x00\x01\xFF\x00\x7F", 5)},
      {"empty binary", REG_BINARY, ""},
      {"dword", REG_DWORD, Bytes("\x0A\x00\x00\x80", 4)},
      {"multi-string", REG_MULTI_SZ, Bytes("one\0two\0\0", 9)},
      {"empty multi-string", REG_MULTI_SZ, Bytes("\0", 1)},
      {"qword", REG_QWORD, Bytes("\x01\x02\x03\x04\x05\x06\x07\x08", 8)},
      {"none", REG_NONE, ""},
      {"type of no name", 0x1234, "xyz"},
      {"large binary", REG_BINARY, std::string(70000, '\x5A')},
  };
  RegKey key;
  ASSERT_EQ(key.create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Types"), ERROR_SUCCESS);
  for (const TypeCase& c : cases) {
    ASSERT_EQ(SetValue(key.get(), c.label, c.type, c.data), ERROR_SUCCESS) << c.label;
  }
  // Once through this process's connection, once through a fresh one reading the file.
  for (int pass = 0; pass < 2; ++pass) {
    for (const TypeCase& c : cases) {
      SCOPED_TRACE(std::string(c.label) + (pass ? " (fresh connection)" : ""));
      uint32_t type = 99, size = 0;
      ASSERT_EQ(RegQueryValueEx(key.get(), c.label, nullptr, &type, nullptr, &size), 0u);
      EXPECT_EQ(type, c.type);
      EXPECT_EQ(size, c.data.size());
      std::string data(size, '\0');
      ASSERT_EQ(RegQueryValueEx(key.get(), c.label, nullptr, &type,
                                reinterpret_cast<uint8_t*>(data.data()), &size),
                0u);
      EXPECT_EQ(data, c.data);
    }
    registry_detail::CloseConnections();
  }
}

TEST_F(RegistryTest, NullAndEmptyNameAreTheSameUnnamedValue) {
  RegKey key;
  ASSERT_EQ(key.create(HKEY_CURRENT_USER, "Software\\Orvane"), ERROR_SUCCESS);
  ASSERT_EQ(SetValue(key.get(), nullptr, REG_SZ, EncodeString("default")), ERROR_SUCCESS);
  EXPECT_EQ(RegReadString(key.get(), "", ""), "default");
  ASSERT_EQ(SetValue(key.get(), "", REG_SZ, EncodeString("again")), ERROR_SUCCESS);
  EXPECT_THAT(ValueNames(key.get()), ElementsAre(""));
  EXPECT_EQ(RegReadString(key.get(), "", ""), "again");
  EXPECT_EQ(RegDeleteValue(key.get(), nullptr), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValue(key.get(), ""), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, QueryValueFollowsTheSizeProtocol) {
  RegKey key;
  ASSERT_EQ(key.create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Size"), ERROR_SUCCESS);
  const std::string stored = EncodeString("0123456789");  // 11 bytes
  ASSERT_EQ(SetValue(key.get(), "Text", REG_SZ, stored), ERROR_SUCCESS);

  uint32_t type = 0, size = 0;
  EXPECT_EQ(RegQueryValueEx(key.get(), "Text", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 11u);
  EXPECT_EQ(type, REG_SZ);

  uint8_t buffer[16];
  std::memset(buffer, 0xAA, sizeof buffer);
  size = 10;
  EXPECT_EQ(RegQueryValueEx(key.get(), "Text", nullptr, &type, buffer, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 11u) << "the needed size comes back with ERROR_MORE_DATA";
  for (uint8_t b : buffer) ASSERT_EQ(b, 0xAA) << "a short buffer is left untouched";

  size = 11;
  EXPECT_EQ(RegQueryValueEx(key.get(), "Text", nullptr, &type, buffer, &size), ERROR_SUCCESS);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), size), stored);

  size = sizeof buffer;
  EXPECT_EQ(RegQueryValueEx(key.get(), "Text", nullptr, nullptr, buffer, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 11u) << "a larger buffer gets the actual size";

  type = 0;
  EXPECT_EQ(RegQueryValueEx(key.get(), "Text", nullptr, &type, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(RegQueryValueEx(key.get(), "Text", nullptr, &type, buffer, nullptr),
            ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryTest, EachFailureHasItsErrorNumber) {
  RegKey parent, readOnly, writeOnly, doomed;
  ASSERT_EQ(parent.create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Errors\\Child"), ERROR_SUCCESS);
  ASSERT_EQ(parent.create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Errors"), ERROR_SUCCESS);
  ASSERT_EQ(SetValue(parent.get(), "Present", REG_DWORD, Bytes("\1\0\0\0", 4)), 0u);
  ASSERT_EQ(readOnly.open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Errors", KEY_READ), ERROR_SUCCESS);
  ASSERT_EQ(writeOnly.open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Errors", KEY_WRITE), ERROR_SUCCESS);
  ASSERT_EQ(doomed.create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Doomed"), ERROR_SUCCESS);
  ASSERT_EQ(SHDeleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Doomed"), ERROR_SUCCESS);
  HKEY closed = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_READ, &closed), ERROR_SUCCESS);
  ASSERT_EQ(RegCloseKey(closed), ERROR_SUCCESS);

  HKEY out = nullptr;
  uint8_t buffer[8];
  uint32_t size = sizeof buffer;
  char name[8];
  char className[8];
  uint32_t chars = sizeof name;
  const std::string longName(kMaxKeyNameChars + 1, 'k');
  struct Case {
    const char* label;
    std::function<uint32_t()> call;
    uint32_t expected;
  };
  const Case cases[] = {
      {"open a missing key", [&] { return RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Nope", 0, KEY_READ, &out); }, ERROR_FILE_NOT_FOUND},
      {"open below a missing key", [&] { return RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Nope\\Deeper", 0, KEY_READ, &out); }, ERROR_FILE_NOT_FOUND},
      {"query a missing value", [&] { return RegQueryValueEx(parent.get(), "Absent", nullptr, nullptr, buffer, &size); }, ERROR_FILE_NOT_FOUND},
      {"delete a missing value", [&] { return RegDeleteValue(parent.get(), "Absent"); }, ERROR_FILE_NOT_FOUND},
      {"delete a missing key", [&] { return RegDeleteKey(parent.get(), "Absent"); }, ERROR_FILE_NOT_FOUND},
      {"delete a missing tree", [&] { return SHDeleteKey(parent.get(), "Absent"); }, ERROR_FILE_NOT_FOUND},
      {"enumerate values past the end", [&] { chars = sizeof name; return RegEnumValue(parent.get(), 1, name, &chars, nullptr, nullptr, nullptr, nullptr); }, ERROR_NO_MORE_ITEMS},
      {"enumerate keys past the end", [&] { chars = sizeof name; return RegEnumKeyEx(parent.get(), 1, name, &chars, nullptr, nullptr, nullptr, nullptr); }, ERROR_NO_MORE_ITEMS},
      {"delete a key that has subkeys", [&] { return RegDeleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Errors"); }, ERROR_ACCESS_DENIED},
      {"delete a hive's top key", [&] { return RegDeleteKey(HKEY_LOCAL_MACHINE, ""); }, ERROR_ACCESS_DENIED},
      {"delete a hive's top tree", [&] { return SHDeleteKey(HKEY_CURRENT_USER, ""); }, ERROR_ACCESS_DENIED},
      {"set through a read-only handle", [&] { return SetValue(readOnly.get(), "New", REG_SZ, EncodeString("x")); }, ERROR_ACCESS_DENIED},
      {"delete a value through a read-only handle", [&] { return RegDeleteValue(readOnly.get(), "Present"); }, ERROR_ACCESS_DENIED},
      {"create a subkey through a read-only handle", [&] { return CreateKey(readOnly.get(), "NewChild", &out); }, ERROR_ACCESS_DENIED},
      {"query through a write-only handle", [&] { return RegQueryValueEx(writeOnly.get(), "Present", nullptr, nullptr, nullptr, &size); }, ERROR_ACCESS_DENIED},
      {"enumerate subkeys through a write-only handle", [&] { chars = sizeof name; return RegEnumKeyEx(writeOnly.get(), 0, name, &chars, nullptr, nullptr, nullptr, nullptr); }, ERROR_ACCESS_DENIED},
      {"a closed handle", [&] { return RegQueryValueEx(closed, "Present", nullptr, nullptr, nullptr, &size); }, ERROR_INVALID_HANDLE},
      {"a null handle", [&] { return RegQueryValueEx(nullptr, "Present", nullptr, nullptr, nullptr, &size); }, ERROR_INVALID_HANDLE},
      {"close a closed handle", [&] { return RegCloseKey(closed); }, ERROR_INVALID_HANDLE},
      {"an empty path component", [&] { return RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\\\Errors", 0, KEY_READ, &out); }, ERROR_INVALID_PARAMETER},
      {"a leading backslash", [&] { return RegOpenKeyEx(HKEY_LOCAL_MACHINE, "\\SOFTWARE", 0, KEY_READ, &out); }, ERROR_BAD_PATHNAME},
      {"a leading backslash on the user's hive", [&] { return RegOpenKeyEx(HKEY_CURRENT_USER, "\\Software", 0, KEY_READ, &out); }, ERROR_BAD_PATHNAME},
      {"create with a leading backslash", [&] { return CreateKey(HKEY_CURRENT_USER, "\\Software\\New", &out); }, ERROR_BAD_PATHNAME},
      {"a leading backslash below an open key", [&] { return RegOpenKeyEx(parent.get(), "\\Child", 0, KEY_READ, &out); }, ERROR_BAD_PATHNAME},
      {"only backslashes", [&] { return RegOpenKeyEx(HKEY_USERS, "\\\\", 0, KEY_READ, &out); }, ERROR_BAD_PATHNAME},
      {"delete the classes root named by a backslash", [&] { return RegDeleteKey(HKEY_CLASSES_ROOT, "\\"); }, ERROR_ACCESS_DENIED},
      {"delete the classes root's tree named by a backslash", [&] { return SHDeleteKey(HKEY_CLASSES_ROOT, "\\"); }, ERROR_ACCESS_DENIED},
      {"two leading backslashes on the classes root", [&] { return RegOpenKeyEx(HKEY_CLASSES_ROOT, "\\\\CLSID", 0, KEY_READ, &out); }, ERROR_BAD_PATHNAME},
      {"create without a result pointer", [&] { return RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Errors", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, nullptr, nullptr); }, ERROR_BADKEY},
      {"enumerate subkeys with a class buffer but no length", [&] { chars = sizeof name; return RegEnumKeyEx(parent.get(), 0, name, &chars, nullptr, className, nullptr, nullptr); }, ERROR_INVALID_PARAMETER},
      {"key facts with a class buffer but no length", [&] { return RegQueryInfoKey(parent.get(), className, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr); }, ERROR_INVALID_PARAMETER},
      {"a handle with other upper bits", [&] { return RegOpenKeyEx(reinterpret_cast<HKEY>(uintptr_t{0x180000002u}), "SOFTWARE", 0, KEY_READ, &out); }, ERROR_INVALID_HANDLE},
      {"a key name over 255 characters", [&] { return CreateKey(parent.get(), longName.c_str(), &out); }, ERROR_INVALID_PARAMETER},
      {"data pointer missing", [&] { return RegSetValueEx(parent.get(), "X", 0, REG_BINARY, nullptr, 4); }, ERROR_INVALID_PARAMETER},
      {"result pointer missing", [&] { return RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_READ, nullptr); }, ERROR_INVALID_PARAMETER},
      {"query on a deleted key", [&] { return RegQueryValueEx(doomed.get(), "X", nullptr, nullptr, nullptr, &size); }, ERROR_KEY_DELETED},
      {"set on a deleted key", [&] { return SetValue(doomed.get(), "X", REG_SZ, EncodeString("x")); }, ERROR_KEY_DELETED},
      {"create below a deleted key", [&] { return CreateKey(doomed.get(), "Child", &out); }, ERROR_KEY_DELETED},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    out = nullptr;
    EXPECT_EQ(c.call(), c.expected);
    EXPECT_EQ(out, nullptr) << "no handle comes back from a failed open";
  }
}

TEST_F(RegistryTest, EnumerationOrderIsStable) {
  RegKey key;
  ASSERT_EQ(key.create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Order"), ERROR_SUCCESS);
  for (const char* name : {"b", "a", "C"}) {
    ASSERT_EQ(SetValue(key.get(), name, REG_SZ, EncodeString(name)), ERROR_SUCCESS);
  }
  // Values keep the order they were first written in; rewriting one keeps its place.
  ASSERT_EQ(SetValue(key.get(), "A", REG_DWORD, Bytes("\1\0\0\0", 4)), ERROR_SUCCESS);
  EXPECT_THAT(ValueNames(key.get()), ElementsAre("b", "a", "C"));
  ASSERT_EQ(RegDeleteValue(key.get(), "b"), ERROR_SUCCESS);
  ASSERT_EQ(SetValue(key.get(), "b", REG_SZ, EncodeString("back")), ERROR_SUCCESS);
  EXPECT_THAT(ValueNames(key.get()), ElementsAre("a", "C", "b"));

  // Subkeys come in upper-cased name order, so '_' sorts after the letters.
  for (const char* name : {"gamma", "_under", "Alpha2", "beta", "ALPHA"}) {
    HKEY child = nullptr;
    ASSERT_EQ(CreateKey(key.get(), name, &child), ERROR_SUCCESS);
    RegCloseKey(child);
  }
  const auto expected = ElementsAre("ALPHA", "Alpha2", "beta", "gamma", "_under");
  EXPECT_THAT(SubKeyNames(key.get()), expected);
  registry_detail::CloseConnections();
  EXPECT_THAT(SubKeyNames(key.get()), expected);
  EXPECT_THAT(ValueNames(key.get()), ElementsAre("a", "C", "b"));
}

TEST_F(RegistryTest, EnumValueReportsShortBuffers) {
  RegKey key;
  ASSERT_EQ(key.create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Enum"), ERROR_SUCCESS);
  ASSERT_EQ(SetValue(key.get(), "LongerName", REG_BINARY, Bytes("\1\2\3\4\5", 5)), 0u);

  struct Row {
    const char* label;
    uint32_t chars;     // name buffer size passed
    uint32_t size;      // data buffer size passed
    bool withData;      // false: only the size is asked
    uint32_t expected;
    uint32_t charsOut;
    uint32_t sizeOut;
    bool nameWritten;
  };
  const Row rows[] = {
      {"short name, size asked", 5, 0, false, ERROR_MORE_DATA, 10, 5, false},
      {"short name and short data", 5, 2, true, ERROR_MORE_DATA, 10, 5, false},
      // Only the data is short: the name buffer and its length stay as passed, so a caller
      // that grows only its data buffer can retry.
      {"short data only", 32, 2, true, ERROR_MORE_DATA, 32, 5, false},
      {"both fit", 32, 8, true, ERROR_SUCCESS, 10, 5, true},
      {"name fits, size asked", 32, 0, false, ERROR_SUCCESS, 10, 5, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    char name[32];
    std::memset(name, '#', sizeof name);
    uint8_t data[8];
    uint32_t chars = row.chars, size = row.size, type = 0;
    EXPECT_EQ(RegEnumValue(key.get(), 0, name, &chars, nullptr, &type,
                           row.withData ? data : nullptr, &size),
              row.expected);
    EXPECT_EQ(chars, row.charsOut);
    EXPECT_EQ(size, row.sizeOut);
    EXPECT_EQ(type, REG_BINARY);
    if (row.nameWritten) {
      EXPECT_EQ(std::string(name), "LongerName");
    } else {
      EXPECT_EQ(name[0], '#') << "the name buffer is left alone";
    }
    if (row.withData && row.expected == ERROR_SUCCESS) {
      EXPECT_EQ(std::string(reinterpret_cast<char*>(data), size), Bytes("\1\2\3\4\5", 5));
    }
  }

  // The host's retry loop: one name buffer, a data buffer grown to the size reported.
  RegKey retry;
  ASSERT_EQ(retry.create(HKEY_LOCAL_MACHINE, "SOFTWARE\\EnumRetry"), ERROR_SUCCESS);
  ASSERT_EQ(SetValue(retry.get(), "Big", REG_BINARY, std::string(300, '\x42')), 0u);
  char name[64];
  uint32_t chars = sizeof name;
  std::vector<uint8_t> data(16);
  uint32_t size = static_cast<uint32_t>(data.size());
  uint32_t err = ERROR_MORE_DATA;
  for (int attempt = 0; attempt < 3 && err == ERROR_MORE_DATA; ++attempt) {
    data.resize(size);
    err = RegEnumValue(retry.get(), 0, name, &chars, nullptr, nullptr, data.data(), &size);
  }
  ASSERT_EQ(err, ERROR_SUCCESS);
  EXPECT_EQ(std::string(name, chars), "Big");
  EXPECT_EQ(size, 300u);

  uint32_t subKeys = 9, values = 9, maxName = 0, maxData = 0;
  ASSERT_EQ(RegQueryInfoKey(key.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr,
                            &values, &maxName, &maxData, nullptr, nullptr),
            0u);
  EXPECT_EQ(subKeys, 0u);
  EXPECT_EQ(values, 1u);
  EXPECT_EQ(maxName, 10u);
  EXPECT_EQ(maxData, 5u);
}

TEST_F(RegistryTest, DeleteKeyRefusesSubkeysAndSHDeleteKeyRemovesTheTree) {
  ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tree\\A\\B\\C", "Deep", "1"), 0u);
  ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tree\\A\\B", "Mid", "2"), 0u);
  ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tree\\A", "Top", "3"), 0u);
  ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tree\\A2", "Sibling", "4"), 0u);
  RegKey middle;
  ASSERT_EQ(middle.open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tree\\A\\B"), ERROR_SUCCESS);

  EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tree\\A"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tree\\A", "Top"), "3");

  EXPECT_EQ(SHDeleteKey(HKEY_LOCAL_MACHINE, "software\\tree\\a"), ERROR_SUCCESS);
  RegKey probe;
  for (const char* gone : {"SOFTWARE\\Tree\\A", "SOFTWARE\\Tree\\A\\B", "SOFTWARE\\Tree\\A\\B\\C"}) {
    EXPECT_EQ(probe.open(HKEY_LOCAL_MACHINE, gone), ERROR_FILE_NOT_FOUND) << gone;
  }
  EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tree\\A2", "Sibling"), "4");
  uint32_t size = 0;
  EXPECT_EQ(RegQueryValueEx(middle.get(), "Mid", nullptr, nullptr, nullptr, &size),
            ERROR_KEY_DELETED);

  // A key made again under the same name starts empty: no value of the old tree survives.
  RegKey again;
  ASSERT_EQ(again.create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tree\\A\\B\\C"), ERROR_SUCCESS);
  EXPECT_THAT(ValueNames(again.get()), ::testing::IsEmpty());

  // RegDeleteKey removes a leaf, its values with it.
  EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tree\\A\\B\\C"), ERROR_SUCCESS);
  EXPECT_EQ(probe.open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tree\\A\\B\\C"), ERROR_FILE_NOT_FOUND);

  // What a predefined handle stands for is never deleted through it, the classes root included.
  ASSERT_EQ(RegWriteString(HKEY_CLASSES_ROOT, ".ovp", "", "OvUI.Profile"), ERROR_SUCCESS);
  for (HKEY top : {HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE}) {
    EXPECT_EQ(SHDeleteKey(top, ""), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKey(top, ""), ERROR_ACCESS_DENIED);
  }
  EXPECT_EQ(RegReadString(HKEY_CLASSES_ROOT, ".ovp", ""), "OvUI.Profile");
}

TEST_F(RegistryTest, CreateKeyMakesEveryMissingKeyOnTheWay) {
  RegKey key;
  uint32_t disposition = 0;
  ASSERT_EQ(key.create(HKEY_USERS, "X\\Y\\Z", KEY_ALL_ACCESS, &disposition), ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  ASSERT_EQ(key.create(HKEY_USERS, "X\\Y", KEY_ALL_ACCESS, &disposition), ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  ASSERT_EQ(key.create(HKEY_USERS, "X\\Y\\Z\\", KEY_ALL_ACCESS, &disposition), ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  RegKey child;
  ASSERT_EQ(child.create(key.get(), "W", KEY_ALL_ACCESS, &disposition), ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  std::string path;
  ASSERT_EQ(RegQueryKeyPath(child.get(), &path), ERROR_SUCCESS);
  EXPECT_EQ(path, "X\\Y\\Z\\W");
}

TEST_F(RegistryTest, KeyPathsTheHostAccepts) {
  ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Paths", "V", "x"), 0u);
  ASSERT_EQ(RegWriteString(HKEY_CLASSES_ROOT, "CLSID", "V", "x"), 0u);
  struct Row {
    const char* label;
    HKEY root;
    const char* path;
    bool create;
    const char* expectedPath;  // below the hive's top key
  };
  const Row rows[] = {
      {"two trailing backslashes", HKEY_LOCAL_MACHINE, "SOFTWARE\\Paths\\\\", false,
       "SOFTWARE\\Paths"},
      {"three trailing backslashes", HKEY_LOCAL_MACHINE, "SOFTWARE\\Paths\\\\\\", false,
       "SOFTWARE\\Paths"},
      {"create with trailing backslashes", HKEY_CURRENT_USER, "Software\\Test\\\\", true,
       "Software\\Test"},
      {"classes root with a leading backslash", HKEY_CLASSES_ROOT, "\\clsid", false,
       "SOFTWARE\\Classes\\CLSID"},
      {"classes root as a lone backslash", HKEY_CLASSES_ROOT, "\\", false, "SOFTWARE\\Classes"},
      {"create below the classes root with a leading backslash", HKEY_CLASSES_ROOT,
       "\\.ovx\\", true, "SOFTWARE\\Classes\\.ovx"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    HKEY key = nullptr;
    const uint32_t err = row.create ? CreateKey(row.root, row.path, &key)
                                    : RegOpenKeyEx(row.root, row.path, 0, KEY_READ, &key);
    ASSERT_EQ(err, ERROR_SUCCESS);
    RegKey owned(key);
    std::string path;
    ASSERT_EQ(RegQueryKeyPath(key, &path), ERROR_SUCCESS);
    EXPECT_EQ(path, row.expectedPath);
  }
}

// The predefined handles as the host's headers spell them on a 64-bit build: sign-extended.
HKEY SignExtended(HKEY key) {
  const auto low = static_cast<int32_t>(reinterpret_cast<uintptr_t>(key) & 0xFFFFFFFFu);
  return reinterpret_cast<HKEY>(static_cast<intptr_t>(low));
}

TEST_F(RegistryTest, ArgumentConventionsOfTheHost) {
  RegKey key;
  ASSERT_EQ(key.create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Args"), ERROR_SUCCESS);
  ASSERT_EQ(SetValue(key.get(), "Text", REG_SZ, EncodeString("0123456789")), 0u);
  HKEY closed = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_READ, &closed), 0u);
  ASSERT_EQ(RegCloseKey(closed), 0u);
  HKEY const untouched = reinterpret_cast<HKEY>(uintptr_t{0x5A5A});

  uint8_t buffer[32] = {};
  uint32_t size = 0, shared = 0;
  HKEY out = nullptr;
  struct Row {
    const char* label;
    std::function<uint32_t()> call;
    uint32_t expected;
    std::function<bool()> after;  // what else must hold
  };
  const Row rows[] = {
      {"a missing value's size is 0",
       [&] { size = 99; return RegQueryValueEx(key.get(), "Absent", nullptr, nullptr, nullptr, &size); },
       ERROR_FILE_NOT_FOUND, [&] { return size == 0; }},
      {"a missing value's size is 0 with a buffer too",
       [&] { size = sizeof buffer; return RegQueryValueEx(key.get(), "Absent", nullptr, nullptr, buffer, &size); },
       ERROR_FILE_NOT_FOUND, [&] { return size == 0; }},
      {"a missing value through a predefined handle",
       [&] { size = 99; return RegQueryValueEx(HKEY_LOCAL_MACHINE, "Absent", nullptr, nullptr, nullptr, &size); },
       ERROR_FILE_NOT_FOUND, [&] { return size == 0; }},
      // The size is read before the type is written, and written last.
      {"type and size in one variable",
       [&] { shared = sizeof buffer; return RegQueryValueEx(key.get(), "Text", nullptr, &shared, buffer, &shared); },
       ERROR_SUCCESS, [&] { return shared == 11 && std::string(reinterpret_cast<char*>(buffer)) == "0123456789"; }},
      {"a sign-extended predefined handle opens",
       [&] { return RegOpenKeyEx(SignExtended(HKEY_LOCAL_MACHINE), "SOFTWARE\\Args", 0, KEY_READ, &out); },
       ERROR_SUCCESS, [&] { return out != nullptr && RegCloseKey(out) == ERROR_SUCCESS; }},
      {"a sign-extended predefined handle writes its own hive",
       [&] { return RegWriteString(SignExtended(HKEY_CURRENT_USER), "Software\\Args", "V", "user"); },
       ERROR_SUCCESS, [&] { return RegReadString(HKEY_CURRENT_USER, "Software\\Args", "V") == "user"; }},
      {"an open through a closed handle leaves the result alone",
       [&] { out = untouched; return RegOpenKeyEx(closed, "X", 0, KEY_READ, &out); },
       ERROR_INVALID_HANDLE, [&] { return out == untouched; }},
      {"an open through a null handle leaves the result alone",
       [&] { out = untouched; return RegOpenKeyEx(nullptr, "X", 0, KEY_READ, &out); },
       ERROR_INVALID_HANDLE, [&] { return out == untouched; }},
      {"an open of a missing key clears the result",
       [&] { out = untouched; return RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Nope", 0, KEY_READ, &out); },
       ERROR_FILE_NOT_FOUND, [&] { return out == nullptr; }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(row.call(), row.expected);
    EXPECT_TRUE(row.after());
  }
}

// ANSI reads of string data stored without its NUL add one when the buffer has room for it,
// so that C-string readers stop at the data's end. The reported size stays the stored one.
TEST_F(RegistryTest, StringDataGetsItsNulWhenTheBufferHasRoom) {
  struct Row {
    const char* label;
    uint32_t type;
    std::string stored;
    uint32_t bufferSize;
    std::string expectedBuffer;  // all 8 bytes of the buffer, '#' where untouched
  };
  const Row rows[] = {
      {"string, one byte of room", REG_SZ, "abc", 4, Bytes("abc\0####", 8)},
      {"string, no room", REG_SZ, "abc", 3, "abc#####"},
      {"expandable string", REG_EXPAND_SZ, "%P%", 8, Bytes("%P%\0####", 8)},
      {"multi-string without its end", REG_MULTI_SZ, Bytes("a\0b", 3), 8, Bytes("a\0b\0####", 8)},
      {"empty string without NUL", REG_SZ, "", 8, Bytes("\0#######", 8)},
      {"string with its NUL", REG_SZ, Bytes("abc\0", 4), 8, Bytes("abc\0####", 8)},
      {"binary gets nothing", REG_BINARY, "abc", 8, "abc#####"},
      {"dword gets nothing", REG_DWORD, "abcd", 8, "abcd####"},
  };
  RegKey parent;
  ASSERT_EQ(parent.create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Unterminated"), ERROR_SUCCESS);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    RegKey key;
    ASSERT_EQ(key.create(parent.get(), row.label), ERROR_SUCCESS);
    ASSERT_EQ(SetValue(key.get(), "V", row.type, row.stored), ERROR_SUCCESS);

    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    uint32_t size = row.bufferSize;
    ASSERT_EQ(RegQueryValueEx(key.get(), "V", nullptr, nullptr,
                              reinterpret_cast<uint8_t*>(buffer), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(size, row.stored.size());
    EXPECT_EQ(std::string(buffer, sizeof buffer), row.expectedBuffer) << "query";

    std::memset(buffer, '#', sizeof buffer);
    size = row.bufferSize;
    char name[4];
    uint32_t chars = sizeof name;
    ASSERT_EQ(RegEnumValue(key.get(), 0, name, &chars, nullptr, nullptr,
                           reinterpret_cast<uint8_t*>(buffer), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(size, row.stored.size());
    EXPECT_EQ(std::string(buffer, sizeof buffer), row.expectedBuffer) << "enumeration";
  }
}

TEST_F(RegistryTest, ClassesRootIsTheMachineHivesSoftwareClasses) {
  ASSERT_EQ(RegWriteString(HKEY_CLASSES_ROOT, ".ovp", "", "OvUI.Profile"), ERROR_SUCCESS);
  EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\.ovp", ""), "OvUI.Profile");
  RegKey classes;
  ASSERT_EQ(classes.open(HKEY_CLASSES_ROOT, ""), ERROR_SUCCESS);
  EXPECT_THAT(SubKeyNames(classes.get()), ElementsAre(".ovp"));
}

TEST_F(RegistryTest, EachHiveHasItsOwnFileUnderTheMachineRoot) {
  ASSERT_EQ(RegWriteDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Where", "Hive", 1), 0u);
  ASSERT_EQ(RegWriteDword(HKEY_USERS, "SOFTWARE\\Where", "Hive", 2), 0u);
  ASSERT_EQ(RegWriteDword(HKEY_CURRENT_USER, "SOFTWARE\\Where", "Hive", 3), 0u);
  EXPECT_TRUE(fs::exists(dir.path() / "var/lib/ovui/registry/machine.db"));
  EXPECT_TRUE(fs::exists(dir.path() / "var/lib/ovui/registry/users.db"));
  EXPECT_TRUE(fs::exists(dir.path() / "home/tester/.config/ovui/registry/current_user.db"));
  EXPECT_EQ(RegReadDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Where", "Hive"), 1u);
  EXPECT_EQ(RegReadDword(HKEY_USERS, "SOFTWARE\\Where", "Hive"), 2u);
  EXPECT_EQ(RegReadDword(HKEY_CURRENT_USER, "SOFTWARE\\Where", "Hive"), 3u);

  struct PathCase {
    std::optional<std::string> xdg;
    std::optional<std::string> home;
    const char* expected;
  };
  const PathCase cases[] = {
      {"/cfg", "/home/u", "cfg/ovui/registry/current_user.db"},
      {std::nullopt, "/home/u", "home/u/.config/ovui/registry/current_user.db"},
      {"relative/cfg", "/home/u", "home/u/.config/ovui/registry/current_user.db"},
  };
  for (const PathCase& c : cases) {
    SCOPED_TRACE(c.expected);
    ScopedEnv xdg("XDG_CONFIG_HOME", c.xdg);
    ScopedEnv home("HOME", c.home);
    EXPECT_EQ(CurrentUserHiveFile(), dir.path() / c.expected);
  }
}

TEST_F(RegistryTest, ReadsNeverCreateAHive) {
  uint32_t size = 0;
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvane", 0, KEY_READ, &key),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegQueryValueEx(HKEY_CURRENT_USER, "X", nullptr, nullptr, nullptr, &size),
            ERROR_FILE_NOT_FOUND);
  char name[8];
  uint32_t chars = sizeof name;
  EXPECT_EQ(RegEnumKeyEx(HKEY_USERS, 0, name, &chars, nullptr, nullptr, nullptr, nullptr),
            ERROR_NO_MORE_ITEMS);
  EXPECT_TRUE(fs::is_empty(dir.path())) << "nothing may appear under the root";
}

TEST_F(RegistryTest, ChangingTheMachineRootSwitchesHivesButNotOpenKeys) {
  ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Root", "Which", "first"), 0u);
  RegKey firstKey;
  ASSERT_EQ(firstKey.open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Root", KEY_ALL_ACCESS), 0u);
  {
    TempDir other;
    ScopedMachineRoot second(other.path());
    EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Root", "Which"), std::nullopt);
    ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Root", "Which", "second"), 0u);
    EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Root", "Which"), "second");
    // An open key stays in the hive it was opened in.
    EXPECT_EQ(RegReadString(firstKey.get(), "", "Which"), "first");
  }
  EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Root", "Which"), "first");
}

TEST_F(RegistryTest, AHiveFileReplacedUnderneathIsReadAfresh) {
  ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Gone", "Value", "old"), 0u);
  ASSERT_TRUE(fs::remove(MachineHiveFile()));
  EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Gone", "Value"), std::nullopt);
  ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Gone", "Other", "new"), 0u);
  EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Gone", "Value"), std::nullopt);
  EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Gone", "Other"), "new");
}

TEST_F(RegistryTest, AnUnreadableHiveFileIsReportedNotRecreated) {
  fs::create_directories(MachineHiveFile().parent_path());
  WriteFileBytes(MachineHiveFile(), std::string(4096, 'x'));
  uint32_t size = 0;
  EXPECT_EQ(RegQueryValueEx(HKEY_LOCAL_MACHINE, "X", nullptr, nullptr, nullptr, &size),
            ERROR_BADDB);
  EXPECT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, "SOFTWARE", "X", "y"), ERROR_BADDB);
  EXPECT_EQ(ReadFileBytes(MachineHiveFile()), std::string(4096, 'x'));
}

TEST_F(RegistryTest, CopyValuesCopiesEveryValueWithItsType) {
  ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Adapter", "SSID", "home"), 0u);
  ASSERT_EQ(RegWriteDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Adapter", "BACapability", 7), 0u);
  ASSERT_EQ(RegWriteMultiString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Adapter", "List", {"a", "b"}), 0u);
  ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Adapter\\Sub", "Inner", "x"), 0u);
  ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Adapter\\Default", "SSID", "old"), 0u);
  ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Adapter\\Default", "Keep", "k"), 0u);

  RegKey from, to;
  ASSERT_EQ(from.open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Adapter"), 0u);
  ASSERT_EQ(to.open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Adapter\\Default", KEY_ALL_ACCESS), 0u);
  ASSERT_EQ(RegCopyValues(from.get(), to.get()), ERROR_SUCCESS);

  EXPECT_THAT(ValueNames(to.get()), ElementsAre("SSID", "Keep", "BACapability", "List"));
  EXPECT_EQ(RegReadString(to.get(), "", "SSID"), "home");
  EXPECT_EQ(RegReadDword(to.get(), "", "BACapability"), 7u);
  EXPECT_EQ(RegReadMultiString(to.get(), "", "List"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(RegReadString(to.get(), "", "Keep"), "k");
  EXPECT_THAT(SubKeyNames(to.get()), ::testing::IsEmpty());

  // Into another hive, too.
  RegKey user;
  ASSERT_EQ(user.create(HKEY_CURRENT_USER, "Saved"), 0u);
  ASSERT_EQ(RegCopyValues(from.get(), user.get()), ERROR_SUCCESS);
  EXPECT_THAT(ValueNames(user.get()), ElementsAre("SSID", "BACapability", "List"));
}

TEST_F(RegistryTest, TypedConveniencesCheckTheType) {
  ASSERT_EQ(RegWriteDword(HKEY_CURRENT_USER, "T", "Number", 0xDEADBEEF), 0u);
  ASSERT_EQ(RegWriteString(HKEY_CURRENT_USER, "T", "Text", "abc"), 0u);
  ASSERT_EQ(RegWriteString(HKEY_CURRENT_USER, "T", "Path", "%HOME%", REG_EXPAND_SZ), 0u);
  ASSERT_EQ(RegWriteMultiString(HKEY_CURRENT_USER, "T", "Empty", {}), 0u);
  ASSERT_EQ(RegWriteValue(HKEY_CURRENT_USER, "T", "Short", REG_DWORD, Bytes("\1\0", 2)), 0u);

  EXPECT_EQ(RegReadDword(HKEY_CURRENT_USER, "T", "Number"), 0xDEADBEEFu);
  EXPECT_EQ(RegReadDword(HKEY_CURRENT_USER, "T", "Text"), std::nullopt);
  EXPECT_EQ(RegReadDword(HKEY_CURRENT_USER, "T", "Short"), std::nullopt);
  EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, "T", "Text"), "abc");
  EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, "T", "Path"), "%HOME%");
  EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, "T", "Number"), std::nullopt);
  EXPECT_EQ(RegReadMultiString(HKEY_CURRENT_USER, "T", "Empty"), std::vector<std::string>{});
  EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, "Missing", "Text"), std::nullopt);

  RegValue raw;
  ASSERT_EQ(RegReadValue(HKEY_CURRENT_USER, "T", "Text", &raw), 0u);
  EXPECT_EQ(raw.data, Bytes("abc\0", 4)) << "strings are stored with their NUL";
}

TEST(MultiString, EncodesAndDecodes) {
  struct Case {
    std::vector<std::string> items;
    std::string data;
  };
  const Case cases[] = {
      {{}, Bytes("\0", 1)},
      {{"a"}, Bytes("a\0\0", 3)},
      {{"PCI\\VEN_1234&DEV_0001", "PCI\\VEN_1234"},
       Bytes("PCI\\VEN_1234&DEV_0001\0PCI\\VEN_1234\0\0", 36)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.data);
    EXPECT_EQ(EncodeMultiString(c.items), c.data);
    EXPECT_EQ(DecodeMultiString(c.data), c.items);
  }
  // What other writers leave: no final NUL, two final NULs, a stray empty item.
  EXPECT_EQ(DecodeMultiString(Bytes("a\0b", 3)), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(DecodeMultiString(Bytes("\0\0", 2)), std::vector<std::string>{});
  EXPECT_EQ(DecodeMultiString(Bytes("a\0\0b\0\0", 6)), std::vector<std::string>{"a"});
}

TEST_F(RegistryTest, KeptAndPerCallConnectionsBehaveAlike) {
  registry_detail::SetConnectionCaching(false);
  ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Mode", "Value", "per-call"), 0u);
  EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Mode", "Value"), "per-call");
  registry_detail::SetConnectionCaching(true);
  EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Mode", "Value"), "per-call");
}

}  // namespace
}  // namespace ov::test
