#include <gtest/gtest.h>

#include <sstream>

#include "cli/reg_file.h"

namespace ov::cli {
namespace {

std::string B(const char* literal, size_t size) { return std::string(literal, size); }

// One line per key and value, for comparing parsed files readably.
std::string Describe(const RegFile& file) {
  std::ostringstream out;
  for (const RegFileKey& key : file.keys) {
    out << (key.remove ? "-" : "") << FormatKeyName(key.key) << "\n";
    for (const RegFileValue& v : key.values) {
      out << "  [" << v.name << "] ";
      if (v.remove) {
        out << "remove\n";
      } else {
        out << TypeName(v.type) << " " << HexBytes(v.data, false, " ") << "\n";
      }
    }
  }
  return out.str();
}

constexpr const char* kHead = "Windows Registry Editor Version 5.00\n\n";

TEST(RegFileParse, ReadsEveryForm) {
  struct Case {
    const char* label;
    std::string text;
    std::string expected;
  };
  const Case cases[] = {
      {"string with escapes and the unnamed value",
       std::string(kHead) + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\O]\n\"N\\\"q\\\\\"=\"a\\\\b \\\"c\\\"\"\n@=\"d\"\n",
       "HKEY_LOCAL_MACHINE\\SOFTWARE\\O\n  [N\"q\\] REG_SZ 61 5c 62 20 22 63 22 00\n  [] REG_SZ 64 00\n"},
      {"dword, short dword, upper-case hex",
       std::string(kHead) + "[HKLM\\A]\n\"D\"=dword:0000000a\n\"E\"=DWORD:1A\n",
       "HKEY_LOCAL_MACHINE\\A\n  [D] REG_DWORD 0a 00 00 00\n  [E] REG_DWORD 1a 00 00 00\n"},
      {"binary, empty binary, trailing comma",
       std::string(kHead) + "[HKU\\A]\n\"B\"=hex:00,FF,7f\n\"E\"=hex:\n\"T\"=hex:01,\n",
       "HKEY_USERS\\A\n  [B] REG_BINARY 00 ff 7f\n  [E] REG_BINARY \n  [T] REG_BINARY 01\n"},
      {"multi-string and expandable string as UTF-16",
       std::string(kHead) + "[HKCU\\A]\n\"M\"=hex(7):61,00,00,00,e9,00,00,00,00,00\n\"X\"=hex(2):25,00,00,00\n",
       "HKEY_CURRENT_USER\\A\n  [M] REG_MULTI_SZ 61 00 c3 a9 00 00\n  [X] REG_EXPAND_SZ 25 00\n"},
      {"qword and unknown types raw",
       std::string(kHead) + "[HKLM\\A]\n\"Q\"=hex(b):01,00,00,00,00,00,00,00\n\"Z\"=hex(0):\n",
       "HKEY_LOCAL_MACHINE\\A\n  [Q] REG_QWORD 01 00 00 00 00 00 00 00\n  [Z] REG_NONE \n"},
      {"continued hex lines",
       std::string(kHead) + "[HKLM\\A]\n\"B\"=hex:01,02,\\\n  03,04,\\\n\t05\n\"C\"=dword:00000001\n",
       "HKEY_LOCAL_MACHINE\\A\n  [B] REG_BINARY 01 02 03 04 05\n  [C] REG_DWORD 01 00 00 00\n"},
      {"deletions",
       std::string(kHead) + "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Old]\n\n[HKLM\\A]\n\"Gone\"=-\n@=-\n",
       "-HKEY_LOCAL_MACHINE\\SOFTWARE\\Old\nHKEY_LOCAL_MACHINE\\A\n  [Gone] remove\n  [] remove\n"},
      {"comments, blanks and CRLF",
       "Windows Registry Editor Version 5.00\r\n\r\n; note\r\n[HKLM\\A]\r\n  \"S\" = \"x\"  \r\n",
       "HKEY_LOCAL_MACHINE\\A\n  [S] REG_SZ 78 00\n"},
      {"UTF-8 byte order mark",
       "\xEF\xBB\xBF" + std::string(kHead) + "[HKLM\\\xC3\xA9]\n",
       "HKEY_LOCAL_MACHINE\\\xC3\xA9\n"},
      {"older header keeps hex(7) narrow",
       "REGEDIT4\n\n[HKLM\\A]\n\"M\"=hex(7):61,00,62,00,00\n",
       "HKEY_LOCAL_MACHINE\\A\n  [M] REG_MULTI_SZ 61 00 62 00 00\n"},
      {"empty file body", kHead, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    RegFile file;
    RegFileError error;
    ASSERT_TRUE(ParseRegFile(c.text, &file, &error)) << error.line << ": " << error.message;
    EXPECT_EQ(Describe(file), c.expected);
  }
}

TEST(RegFileParse, ReadsUtf16Files) {
  const std::string text = std::string(kHead) + "[HKLM\\A]\n\"S\"=\"\xC3\xA9t\xC3\xA9\"\r\n";
  std::string bytes = "\xFF\xFE" + NarrowToUtf16Le(text);
  RegFile file;
  RegFileError error;
  ASSERT_TRUE(ParseRegFile(bytes, &file, &error)) << error.message;
  EXPECT_EQ(Describe(file), "HKEY_LOCAL_MACHINE\\A\n  [S] REG_SZ c3 a9 74 c3 a9 00\n");
}

TEST(RegFileParse, RejectsMalformedFilesWithTheLine) {
  struct Case {
    const char* label;
    std::string text;
    int line;
    const char* complaint;
  };
  const std::string h = kHead;
  const Case cases[] = {
      {"no header", "[HKLM\\A]\n", 1, "not a registry file"},
      {"empty file", "\n\n", 0, "empty"},
      {"value before any key", h + "\"A\"=\"b\"\n", 3, "before the first [key]"},
      {"unknown root", h + "[HKEY_NOWHERE\\A]\n", 3, "unknown root"},
      {"missing bracket", h + "[HKLM\\A\n", 3, "missing ']'"},
      {"empty key name", h + "[HKLM\\A\\\\B]\n", 3, "empty key name"},
      {"deleting a hive", h + "[-HKLM]\n", 3, "top key"},
      {"value under a deleted key", h + "[-HKLM\\A]\n\"x\"=\"y\"\n", 4, "[-key]"},
      {"unterminated name", h + "[HKLM\\A]\n\"x=\"y\"\n", 4, "missing '='"},
      {"unterminated string", h + "[HKLM\\A]\n\"x\"=\"y\n", 4, "closing quote"},
      {"unknown escape", h + "[HKLM\\A]\n\"x\"=\"a\\nb\"\n", 4, "unknown escape"},
      {"text after string", h + "[HKLM\\A]\n\"x\"=\"a\" junk\n", 4, "after the closing quote"},
      {"missing equals", h + "[HKLM\\A]\n\"x\" \"a\"\n", 4, "missing '='"},
      {"dword too long", h + "[HKLM\\A]\n\"x\"=dword:000000001\n", 4, "dword"},
      {"dword not hex", h + "[HKLM\\A]\n\"x\"=dword:12g\n", 4, "dword"},
      {"bad hex byte", h + "[HKLM\\A]\n\"x\"=hex:01,zz\n", 4, "not a hex byte"},
      {"hex byte too wide", h + "[HKLM\\A]\n\"x\"=hex:123\n", 4, "not a hex byte"},
      {"double comma", h + "[HKLM\\A]\n\"x\"=hex:01,,02\n", 4, "not a hex byte"},
      {"bad hex type", h + "[HKLM\\A]\n\"x\"=hex(q):01\n", 4, "hex(...)"},
      {"missing colon", h + "[HKLM\\A]\n\"x\"=hex(7)01\n", 4, "missing ':'"},
      {"odd UTF-16", h + "[HKLM\\A]\n\"x\"=hex(7):61,00,00\n", 4, "UTF-16"},
      {"unknown data", h + "[HKLM\\A]\n\"x\"=word:1\n", 4, "unknown data"},
      {"continuation at the end", h + "[HKLM\\A]\n\"x\"=hex:01,\\\n", 4, "past the end"},
      {"stray text", h + "[HKLM\\A]\nname=1\n", 4, "expected a [key] line"},
      {"bad line after good ones", h + "[HKLM\\A]\n\"ok\"=\"1\"\n[HKLM\\B]\n\"x\"=dword:\n", 6, "dword"},
      {"big-endian UTF-16", "\xFE\xFF" + h, 0, "big-endian"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    RegFile file;
    RegFileError error;
    EXPECT_FALSE(ParseRegFile(c.text, &file, &error));
    EXPECT_EQ(error.line, c.line);
    EXPECT_NE(error.message.find(c.complaint), std::string::npos) << error.message;
  }
}

TEST(RegFileFormat, EveryValueReadsBackAsWritten) {
  RegFile file;
  RegFileKey key;
  key.key = {RegRoot::LocalMachine, "SOFTWARE\\Round \"Trip\"]"};
  const std::vector<std::pair<uint32_t, std::string>> values = {
      {REG_SZ, B("plain\0", 6)},
      {REG_SZ, B("quote \" and \\ backslash\0", 25)},
      {REG_SZ, "no final NUL"},
      {REG_SZ, B("inner\0NUL\0", 10)},
      {REG_SZ, B("two\nlines\0", 10)},
      {REG_SZ, B("bytes \xFF\xFE\0", 9)},
      {REG_SZ, ""},
      {REG_EXPAND_SZ, B("%HOME%\\x\0", 9)},
      {REG_EXPAND_SZ, B("\xC3\xA9\xF0\x9F\x98\x80\0", 7)},
      {REG_BINARY, ""},
      {REG_BINARY, std::string(300, '\xAB')},
      {REG_DWORD, B("\x78\x56\x34\x12", 4)},
      {REG_DWORD, B("\x01\x02\x03", 3)},
      {REG_MULTI_SZ, B("one\0tw\xC3\xB6\0\0", 10)},
      {REG_MULTI_SZ, B("\0", 1)},
      {REG_QWORD, B("\1\2\3\4\5\6\7\x08", 8)},
      {REG_NONE, ""},
      {0x1234, B("\0\1", 2)},
  };
  for (size_t i = 0; i < values.size(); ++i) {
    key.values.push_back(RegFileValue{"v" + std::to_string(i) + " \"\\", false, values[i].first,
                                      values[i].second, 0});
  }
  key.values.push_back(RegFileValue{"", false, REG_SZ, B("default\0", 8), 0});
  key.values.push_back(RegFileValue{"gone", true, REG_NONE, "", 0});
  file.keys.push_back(key);
  file.keys.push_back(RegFileKey{{RegRoot::CurrentUser, "Old"}, true, {}, 0});

  std::string text, error;
  ASSERT_TRUE(FormatRegFile(file, &text, &error)) << error;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    EXPECT_LE(line.size(), 80u) << line;
  }
  RegFile back;
  RegFileError parseError;
  ASSERT_TRUE(ParseRegFile(text, &back, &parseError))
      << parseError.line << ": " << parseError.message << "\n" << text;
  EXPECT_EQ(Describe(back), Describe(file)) << text;
}

TEST(RegFileFormat, RefusesNamesWithLineBreaks) {
  std::string text, error;
  RegFile file;
  file.keys.push_back(RegFileKey{{RegRoot::LocalMachine, "A\nB"}, false, {}, 0});
  EXPECT_FALSE(FormatRegFile(file, &text, &error));
  file.keys[0].key.path = "A";
  file.keys[0].values.push_back(RegFileValue{"x\ry", false, REG_SZ, B("\0", 1), 0});
  EXPECT_FALSE(FormatRegFile(file, &text, &error));
  EXPECT_NE(error.find("line break"), std::string::npos);
}

}  // namespace
}  // namespace ov::cli
