// Hostile and oversized files: no crash, no memory beyond the file, no overflow of long lines.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/ini/ini.h"
#include "platform/ini/ini_document.h"
#include "tests/support/temp_dir.h"

namespace ov {
namespace {

TEST(IniBadInput, RandomBinaryFileIsReadAndWrittenSafely) {
  test::TempDir dir;
  std::string file = dir.file("bin.ini");
  std::mt19937 random(7);
  std::string bytes(1 << 20, '\0');
  for (char& b : bytes) b = static_cast<char>(random());
  bytes += "\n[Real]\nkey=found\n";
  test::WriteFileBytes(file, bytes);
  EXPECT_EQ(IniReadString(file, "Real", "key"), "found");
  char list[4096];
  GetPrivateProfileSectionNames(list, sizeof list, file.c_str());
  ASSERT_TRUE(IniWriteString(file, "Real", "key", "changed"));
  EXPECT_EQ(IniReadString(file, "Real", "key"), "changed");
  // Everything else of the file is kept byte for byte.
  std::string after = test::ReadFileBytes(file);
  EXPECT_EQ(after.substr(0, 1 << 20), bytes.substr(0, 1 << 20));
}

TEST(IniBadInput, HugeFileIsAnsweredWithoutAnIndex) {
  test::TempDir dir;
  std::string file = dir.file("huge.ini");
  // 50 MB of one-character lines: the worst case for any per-line structure.
  std::string bytes(50u << 20, '\n');
  for (size_t i = 0; i < bytes.size(); i += 2) bytes[i] = 'x';
  bytes += "[Tail]\nk=v\n";
  test::WriteFileBytes(file, bytes);
  EXPECT_EQ(IniReadString(file, "Tail", "k"), "v");
  EXPECT_EQ(IniReadString(file, "Tail", "none", "d"), "d");
  EXPECT_EQ(IniSectionNames(file), std::vector<std::string>{"Tail"});

  ini_detail::IniDocument doc(std::move(bytes));
  EXPECT_EQ(doc.rawValue("Tail", "k").value_or(""), "v");
  EXPECT_FALSE(doc.indexed());
}

TEST(IniBadInput, VeryLongLinesAreCutToTheBuffer) {
  test::TempDir dir;
  std::string file = dir.file("long.ini");
  std::string value(3u << 20, 'v');
  std::string longKey(100000, 'k');
  test::WriteFileBytes(file, "[s]\r\nk=" + value + "\r\n" + longKey + "=x\r\n[" +
                                 std::string(70000, 'S') + "]\r\nq=1\r\n");
  char small[512];
  EXPECT_EQ(GetPrivateProfileString("s", "k", "", small, sizeof small, file.c_str()), 511u);
  EXPECT_EQ(std::string(small), std::string(511, 'v'));
  EXPECT_EQ(IniReadString(file, "s", longKey), "x");
  EXPECT_EQ(IniReadString(file, "s", "k", "", 5u << 20), value);
  EXPECT_EQ(IniReadString(file, std::string(70000, 's'), "q"), "1");
  char list[16];
  EXPECT_EQ(GetPrivateProfileSectionNames(list, sizeof list, file.c_str()), 14u);
}

TEST(IniBadInput, UnterminatedHeadersAndStrayBytesAreNotSections) {
  test::TempDir dir;
  std::string file = dir.file("odd.ini");
  test::WriteFileBytes(file, std::string("[open\r\n]\r\n[]\r\nk=empty\r\n[ok]\r\n\0=\0\r\nv=1\r\n", 39));
  EXPECT_EQ(IniSectionNames(file), std::vector<std::string>{"ok"});
  EXPECT_EQ(IniReadString(file, "ok", "v"), "1");
}

}  // namespace
}  // namespace ov
