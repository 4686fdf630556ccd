// Writing private-profile files: output format, deletions, round trips and the file cache.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "platform/ini/ini.h"
#include "platform/system/error_codes.h"
#include "tests/support/temp_dir.h"

namespace ov {
namespace {

using namespace std::string_literals;

struct WriteCase {
  const char* name;
  std::optional<std::string> initial;  // nullopt: the file does not exist
  const char* section;
  const char* key;
  const char* value;
  bool expectedResult;
  std::optional<std::string> expectedContent;  // nullopt: the file must not exist
};

class IniWriteTest : public ::testing::TestWithParam<WriteCase> {};

TEST_P(IniWriteTest, ProducesFile) {
  const WriteCase& c = GetParam();
  test::TempDir dir;
  std::string file = dir.file("w.ini");
  if (c.initial) test::WriteFileBytes(file, *c.initial);
  EXPECT_EQ(WritePrivateProfileString(c.section, c.key, c.value, file.c_str()), c.expectedResult);
  if (c.expectedContent) {
    EXPECT_EQ(test::ReadFileBytes(file), *c.expectedContent);
  } else {
    EXPECT_FALSE(std::filesystem::exists(file));
  }
}

const std::string kTwo = "[App1]\r\nk1=v1\r\nk2=v2\r\n[App2]\r\nx=1\r\n";

INSTANTIATE_TEST_SUITE_P(
    Behaviours, IniWriteTest,
    ::testing::Values(
        WriteCase{"CreatesFileSectionAndKey", std::nullopt, "Sec", "key", "value", true,
                  "[Sec]\r\nkey=value\r\n"},
        WriteCase{"NewSectionAppendedWithoutBlankLine", kTwo, "App3", "a", "b", true,
                  kTwo + "[App3]\r\na=b\r\n"},
        WriteCase{"NewKeyAtEndOfItsSection", kTwo, "app1", "k3", "v3", true,
                  "[App1]\r\nk1=v1\r\nk2=v2\r\nk3=v3\r\n[App2]\r\nx=1\r\n"},
        WriteCase{"NewKeyBeforeBlankLinesOfItsSection", "[A]\r\nk=1\r\n\r\n[B]\r\n", "A", "n", "2",
                  true, "[A]\r\nk=1\r\nn=2\r\n\r\n[B]\r\n"},
        WriteCase{"ReplaceKeepsKeySpellingAndPlace", kTwo, "APP1", "K1", "new", true,
                  "[App1]\r\nk1=new\r\nk2=v2\r\n[App2]\r\nx=1\r\n"},
        WriteCase{"EmptyValue", kTwo, "App2", "x", "", true, "[App1]\r\nk1=v1\r\nk2=v2\r\n[App2]\r\nx=\r\n"},
        WriteCase{"NullValueDeletesKey", kTwo, "App1", "k1", nullptr, true,
                  "[App1]\r\nk2=v2\r\n[App2]\r\nx=1\r\n"},
        WriteCase{"NullValueOfMissingKeyChangesNothing", kTwo, "App1", "zz", nullptr, true, kTwo},
        WriteCase{"NullValueDeletesEveryCopy", "[A]\r\nk=1\r\nk=2\r\nj=3\r\n", "A", "K", nullptr,
                  true, "[A]\r\nj=3\r\n"},
        WriteCase{"DeletingLastKeyLeavesHeader", "[App3]\r\nk=v\r\n", "App3", "k", nullptr, true,
                  "[App3]\r\n"},
        WriteCase{"NullKeyDeletesSection", kTwo, "App1", nullptr, "ignored", true,
                  "[App2]\r\nx=1\r\n"},
        WriteCase{"NullKeyDeletesEveryCopyOfSection", "[A]\r\na=1\r\n[B]\r\n[a]\r\nb=2\r\n", "A",
                  nullptr, nullptr, true, "[B]\r\n"},
        WriteCase{"DeleteInMissingFileCreatesNothing", std::nullopt, "A", "k", nullptr, true,
                  std::nullopt},
        WriteCase{"DeleteSectionInMissingFileCreatesNothing", std::nullopt, "A", nullptr, nullptr,
                  true, std::nullopt},
        // A line of NUL bytes is blank: a new key goes before it, not after.
        WriteCase{"NewKeyBeforeNulOnlyLine", "[A]\r\nk=1\r\n\0\0\0\r\n[B]\r\nq=1\r\n"s, "A", "n",
                  "2", true, "[A]\r\nk=1\r\nn=2\r\n\0\0\0\r\n[B]\r\nq=1\r\n"s},
        WriteCase{"NullSectionFails", std::nullopt, nullptr, "k", "v", false, std::nullopt},
        WriteCase{"BytesBeforeFirstSectionKept", "junk\0\x01 here\r\n; note\r\n[A]\r\nk=1\r\n"s,
                  "A", "k", "2", true, "junk\0\x01 here\r\n; note\r\n[A]\r\nk=2\r\n"s},
        WriteCase{"CommentsAndLineEndingsKept", "[A]\n; keep me\nk=1\n\n[B]\nq=1\n", "B", "q",
                  "2", true, "[A]\n; keep me\nk=1\n\n[B]\nq=2\n"},
        WriteCase{"AppendAfterLastLineWithoutBreak", "[A]\r\nk=1", "A", "n", "2", true,
                  "[A]\r\nk=1\r\nn=2\r\n"},
        WriteCase{"SameValueLeavesFileAlone", kTwo, "App1", "k1", "v1", true, kTwo},
        WriteCase{"NamesTrimmedOnWrite", std::nullopt, " S ", " k ", "v", true,
                  "[S]\r\nk=v\r\n"},
        WriteCase{"LineBreakInValueRefused", kTwo, "App1", "k1", "a\r\n[Evil]\r\nx=1", false, kTwo},
        WriteCase{"LineBreakInKeyRefused", kTwo, "App1", "a\nb", "v", false, kTwo},
        WriteCase{"EqualsInKeyRefused", kTwo, "App1", "a=b", "v", false, kTwo},
        WriteCase{"LineBreakInSectionRefused", kTwo, "A]\r\n[B", "k", "v", false, kTwo}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IniWrite, EveryValueReadsBackAsWritten) {
  test::TempDir dir;
  std::string file = dir.file("r.ini");
  const char* values[] = {"plain",   "  lead",  "trail  ", " both ", "\"quoted\"", "'single'",
                          "\"half",  "half\"",  "\"",      "''",     "a=b=c",      "; not a comment",
                          "[x]",     "\t tab",  "",        "\" \"",  "mid \"q\" dle"};
  for (const char* value : values) {
    SCOPED_TRACE(std::string("value <") + value + ">");
    ASSERT_TRUE(IniWriteString(file, "S", "k", value));
    EXPECT_EQ(IniReadString(file, "S", "k", "<default>"), value);
  }
}

TEST(IniWrite, NewKeysEnumerateAtTheEnd) {
  test::TempDir dir;
  std::string file = dir.file("e.ini");
  test::WriteFileBytes(file, "[s]\r\nb=1\r\na=2\r\n");
  ASSERT_TRUE(IniWriteString(file, "s", "c", "3"));
  EXPECT_EQ(IniKeyNames(file, "s"), (std::vector<std::string>{"b", "a", "c"}));
}

TEST(IniWrite, EmptyOrNullFileNameFails) {
  SetLastError(0);
  EXPECT_FALSE(WritePrivateProfileString("s", "k", "v", ""));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(WritePrivateProfileString("s", "k", "v", nullptr));
}

TEST(IniWrite, NullSectionReportsFileNotFound) {
  test::TempDir dir;
  SetLastError(0);
  EXPECT_FALSE(WritePrivateProfileString(nullptr, "k", "v", dir.file("x.ini").c_str()));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST(IniWrite, AllNullFlushesAndSucceeds) {
  test::TempDir dir;
  EXPECT_TRUE(WritePrivateProfileString(nullptr, nullptr, nullptr, dir.file("x.ini").c_str()));
  EXPECT_FALSE(std::filesystem::exists(dir.file("x.ini")));
}

TEST(IniWrite, BareNameIsRelativeToCurrentDirectory) {
  test::TempDir dir;
  auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  bool written = WritePrivateProfileString("s", "k", "v", "bare.ini");
  std::string read = IniReadString("bare.ini", "s", "k");
  std::filesystem::current_path(previous);
  EXPECT_TRUE(written);
  EXPECT_EQ(read, "v");
  EXPECT_EQ(test::ReadFileBytes(dir.path() / "bare.ini"), "[s]\r\nk=v\r\n");
}

TEST(IniWrite, ReadOnlyFolderFailsAndKeepsFile) {
  test::TempDir dir;
  std::string file = dir.file("ro.ini");
  test::WriteFileBytes(file, "[s]\r\nk=1\r\n");
  chmod(file.c_str(), 0644);
  chmod(dir.path().c_str(), 0555);
  // Root writes anywhere, so the attempt runs in a child that gives up root first.
  pid_t child = fork();
  if (child == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
    bool written = WritePrivateProfileString("s", "k", "2", file.c_str());
    bool readable = IniReadString(file, "s", "k") == "1";
    _exit(!written && readable ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  chmod(dir.path().c_str(), 0755);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  EXPECT_EQ(test::ReadFileBytes(file), "[s]\r\nk=1\r\n");
}

TEST(IniWrite, MissingFolderFails) {
  test::TempDir dir;
  std::string file = dir.file("no/such/folder.ini");
  EXPECT_FALSE(WritePrivateProfileString("s", "k", "v", file.c_str()));
  EXPECT_NE(GetLastError(), ERROR_SUCCESS);
}

TEST(IniWrite, RewriteKeepsPermissionsAndLeavesNoTemporaryFiles) {
  test::TempDir dir;
  std::string file = dir.file("p.ini");
  test::WriteFileBytes(file, "[s]\r\nk=1\r\n");
  chmod(file.c_str(), 0640);
  ASSERT_TRUE(WritePrivateProfileString("s", "k", "2", file.c_str()));
  struct stat st{};
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  size_t entries = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.path())) {
    (void)e;
    ++entries;
  }
  EXPECT_EQ(entries, 1u);
}

TEST(IniWrite, SymlinkedFileIsUpdatedThroughTheLink) {
  test::TempDir dir;
  std::string real = dir.file("real.ini");
  std::string link = dir.file("link.ini");
  test::WriteFileBytes(real, "[s]\r\nk=1\r\n");
  std::filesystem::create_symlink(real, link);
  ASSERT_TRUE(WritePrivateProfileString("s", "k", "2", link.c_str()));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(test::ReadFileBytes(real), "[s]\r\nk=2\r\n");
}

TEST(IniCache, ExternalEditsAndDeletionAreSeenAtNextRead) {
  test::TempDir dir;
  std::string file = dir.file("c.ini");
  test::WriteFileBytes(file, "[s]\r\nk=old\r\n");
  EXPECT_EQ(IniReadString(file, "s", "k"), "old");
  // Same size, so only the identity of the replaced file tells the change.
  std::string other = dir.file("c2.ini");
  test::WriteFileBytes(other, "[s]\r\nk=new\r\n");
  std::filesystem::rename(other, file);
  EXPECT_EQ(IniReadString(file, "s", "k"), "new");
  // Rewritten in place with a different size.
  test::WriteFileBytes(file, "[s]\r\nk=longer\r\n");
  EXPECT_EQ(IniReadString(file, "s", "k"), "longer");
  std::filesystem::remove(file);
  EXPECT_EQ(IniReadString(file, "s", "k", "gone"), "gone");
}

TEST(IniCache, OwnWritesAreSeenAtOnce) {
  test::TempDir dir;
  std::string file = dir.file("o.ini");
  for (int i = 0; i < 50; ++i) {
    std::string value = std::to_string(i);
    ASSERT_TRUE(IniWriteString(file, "s", "k" + std::to_string(i % 7), value));
    ASSERT_EQ(IniReadString(file, "s", "k" + std::to_string(i % 7)), value);
  }
  EXPECT_EQ(IniKeyNames(file, "s").size(), 7u);
}

}  // namespace
}  // namespace ov
