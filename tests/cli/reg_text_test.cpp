#include <gtest/gtest.h>

#include "cli/reg_text.h"

namespace ov::cli {
namespace {

std::string B(const char* literal, size_t size) { return std::string(literal, size); }

TEST(RegKeyNameText, ParsesRootsAndPaths) {
  struct Case {
    const char* text;
    RegRoot root;
    const char* path;
  };
  const Case good[] = {
      {"HKLM\\SOFTWARE\\Orvane", RegRoot::LocalMachine, "SOFTWARE\\Orvane"},
      {"hkey_local_machine\\SYSTEM", RegRoot::LocalMachine, "SYSTEM"},
      {"HKCU", RegRoot::CurrentUser, ""},
      {"HKEY_CURRENT_USER\\", RegRoot::CurrentUser, ""},
      {"HKU\\.DEFAULT\\Software\\", RegRoot::Users, ".DEFAULT\\Software"},
      {"HKEY_CLASSES_ROOT\\.ovp", RegRoot::ClassesRoot, ".ovp"},
  };
  for (const Case& c : good) {
    SCOPED_TRACE(c.text);
    RegKeyName key;
    std::string error;
    ASSERT_TRUE(ParseKeyName(c.text, &key, &error)) << error;
    EXPECT_EQ(key.root, c.root);
    EXPECT_EQ(key.path, c.path);
  }
  const std::string tooLong = "HKLM\\" + std::string(256, 'k');
  const struct {
    std::string text;
    const char* complaint;
  } bad[] = {
      {"HKXX\\SOFTWARE", "unknown root"},
      {"", "unknown root"},
      {"SOFTWARE\\Orvane", "unknown root"},
      {"HKLM\\\\SOFTWARE", "empty key name"},
      {"HKLM\\A\\\\B", "empty key name"},
      {"HKLM\\A\\\\", "empty key name"},
      {"HKLM\\\\", "empty key name"},
      {tooLong, "longer than 255"},
  };
  for (const auto& c : bad) {
    SCOPED_TRACE(c.text);
    RegKeyName key;
    std::string error;
    EXPECT_FALSE(ParseKeyName(c.text, &key, &error));
    EXPECT_NE(error.find(c.complaint), std::string::npos) << error;
  }
  EXPECT_EQ(FormatKeyName({RegRoot::Users, "A\\B"}), "HKEY_USERS\\A\\B");
  EXPECT_EQ(FormatKeyName({RegRoot::ClassesRoot, ""}), "HKEY_CLASSES_ROOT");
}

TEST(RegValueDataText, BuildsDataFromArguments) {
  struct Case {
    const char* label;
    uint32_t type;
    std::vector<std::string> args;
    bool ok;
    std::string data;
  };
  const Case cases[] = {
      {"string gets its NUL", REG_SZ, {"home"}, true, B("home\0", 5)},
      {"empty string", REG_SZ, {""}, true, B("\0", 1)},
      {"expandable string", REG_EXPAND_SZ, {"%HOME%"}, true, B("%HOME%\0", 7)},
      {"string takes one argument", REG_SZ, {"a", "b"}, false, ""},
      {"decimal dword", REG_DWORD, {"10"}, true, B("\x0A\0\0\0", 4)},
      {"hex dword", REG_DWORD, {"0x1A2b"}, true, B("\x2B\x1A\0\0", 4)},
      {"largest dword", REG_DWORD, {"4294967295"}, true, B("\xFF\xFF\xFF\xFF", 4)},
      {"largest hex dword", REG_DWORD, {"0XFFFFFFFF"}, true, B("\xFF\xFF\xFF\xFF", 4)},
      {"dword overflow", REG_DWORD, {"4294967296"}, false, ""},
      {"hex dword overflow", REG_DWORD, {"0x100000000"}, false, ""},
      {"negative dword", REG_DWORD, {"-1"}, false, ""},
      {"bare 0x", REG_DWORD, {"0x"}, false, ""},
      {"hex digit in decimal", REG_DWORD, {"12a"}, false, ""},
      {"empty dword", REG_DWORD, {""}, false, ""},
      {"largest qword", REG_QWORD, {"0xFFFFFFFFFFFFFFFF"}, true, std::string(8, '\xFF')},
      {"qword overflow", REG_QWORD, {"18446744073709551616"}, false, ""},
      {"binary with commas", REG_BINARY, {"00,01,ff"}, true, B("\0\1\xFF", 3)},
      {"binary run", REG_BINARY, {"0001FF"}, true, B("\0\1\xFF", 3)},
      {"binary with blanks", REG_BINARY, {"00 01"}, true, B("\0\1", 2)},
      {"empty binary", REG_BINARY, {""}, true, ""},
      {"odd hex digits", REG_BINARY, {"001"}, false, ""},
      {"not hex", REG_BINARY, {"0g"}, false, ""},
      {"multi from separators and arguments", REG_MULTI_SZ, {"a\\0b", "c"}, true, B("a\0b\0c\0\0", 7)},
      {"empty multi", REG_MULTI_SZ, {""}, true, B("\0", 1)},
      {"empty item inside", REG_MULTI_SZ, {"a\\0\\0b"}, false, ""},
      {"empty item argument", REG_MULTI_SZ, {"a", ""}, false, ""},
      {"trailing separator", REG_MULTI_SZ, {"a\\0"}, false, ""},
      {"no data", REG_SZ, {}, false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    std::string data, error;
    EXPECT_EQ(ParseValueData(c.type, c.args, &data, &error), c.ok) << error;
    if (c.ok) {
      EXPECT_EQ(data, c.data);
    } else {
      EXPECT_FALSE(error.empty());
    }
  }
}

TEST(RegValueDataText, FormatsDataForPeopleAndJson) {
  struct Case {
    uint32_t type;
    std::string data;
    const char* text;
    const char* json;
  };
  const Case cases[] = {
      {REG_SZ, B("home\0", 5), "home", "\"home\""},
      {REG_SZ, B("a\"b\\c\n\0", 7), "a\"b\\c\n", "\"a\\\"b\\\\c\\n\""},
      {REG_SZ, B("bad\xFF\0", 5), "bad\xFF", "\"bad\xEF\xBF\xBD\""},
      {REG_EXPAND_SZ, B("%HOME%\0", 7), "%HOME%", "\"%HOME%\""},
      {REG_DWORD, B("\x1A\0\0\0", 4), "0x1a", "26"},
      {REG_DWORD, B("\x1A\0", 2), "1A00", "\"1a00\""},
      {REG_QWORD, B("\1\0\0\0\0\0\0\x80", 8), "0x8000000000000001", "9223372036854775809"},
      {REG_BINARY, B("\0\xAB", 2), "00AB", "\"00ab\""},
      {REG_BINARY, "", "", "\"\""},
      {REG_MULTI_SZ, B("a\0b\0\0", 5), "a\\0b", "[\"a\", \"b\"]"},
      {REG_MULTI_SZ, B("\0", 1), "", "[]"},
      {REG_NONE, "", "", "\"\""},
      {0x99, B("\x01", 1), "01", "\"01\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(TypeName(c.type) + " " + c.text);
    EXPECT_EQ(FormatValueData(c.type, c.data), c.text);
    EXPECT_EQ(JsonValueData(c.type, c.data), c.json);
  }
  EXPECT_EQ(TypeName(0x99), "REG_0x99");
  EXPECT_EQ(JsonString(B("\x01", 1)), "\"\\u0001\"");
}

TEST(Utf16Text, ConvertsBothWaysAndKeepsBytesThatAreNotUtf8) {
  EXPECT_EQ(NarrowToUtf16Le("A\xE2\x82\xAC\xF0\x9F\x98\x80"),
            B("A\0\xAC\x20\x3D\xD8\x00\xDE", 8));
  const std::string narrow[] = {
      "",
      B("a\0b\0\0", 5),
      "gr\xC3\xBC\xC3\x9F" "e",
      "\xF0\x9F\x98\x80",
      "\xFF\xFE raw",                 // not UTF-8 at all
      "\xC3",                         // cut short
      "\xE0\x80\x80",                 // overlong
      "\xED\xA0\x80",                 // an encoded surrogate
  };
  for (const std::string& text : narrow) {
    SCOPED_TRACE(text);
    std::string back;
    ASSERT_TRUE(Utf16LeToNarrow(NarrowToUtf16Le(text), &back));
    EXPECT_EQ(back, text);
  }
  std::string out;
  EXPECT_FALSE(Utf16LeToNarrow(B("A\0B", 3), &out)) << "odd byte count";
  EXPECT_FALSE(Utf16LeToNarrow(B("\x3D\xD8", 2), &out)) << "lone high surrogate";
  EXPECT_FALSE(Utf16LeToNarrow(B("\x00\xDC", 2), &out)) << "lone low surrogate outside escapes";
}

}  // namespace
}  // namespace ov::cli
