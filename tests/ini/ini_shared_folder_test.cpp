// INI files in a folder other users can write: what another user plants there (a link to a
// root-only file, a FIFO, a folder) is refused, never followed, never waited on; and the
// temporary files of killed writers are cleared by the next writer of the same file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "platform/ini/ini.h"
#include "platform/ini/ini_file_store.h"
#include "platform/system/error_codes.h"
#include "tests/support/bounded_child.h"
#include "tests/support/temp_dir.h"

namespace ov {
namespace {

constexpr uid_t kOtherUser = 65534;
constexpr const char* kSecret = "[root]\r\nonly=1\r\n";

// Runs `plant` as another user: uid 65534 in a child when the test runs as root, else as the
// test's own user (the folder is writable by everyone either way).
bool PlantAsOtherUser(const std::function<bool()>& plant) {
  if (::geteuid() != 0) return plant();
  pid_t child = ::fork();
  if (child == 0) {
    if (::setgid(kOtherUser) != 0 || ::setuid(kOtherUser) != 0) _exit(2);
    _exit(plant() ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct SharedFolder {
  test::TempDir top;
  std::string shared, secret, file;
  SharedFolder() {
    ::chmod(top.path().c_str(), 0755);
    shared = top.file("shared");
    std::filesystem::create_directory(shared);
    ::chmod(shared.c_str(), 0777);
    secret = top.file("secret.ini");
    test::WriteFileBytes(secret, kSecret);
    ::chmod(secret.c_str(), 0600);
    file = shared + "/store.ini";
  }
};

enum class Planted { Link, Fifo, Folder };

struct PlantCase {
  const char* name;
  Planted planted;
};

class PlantedInSharedFolder : public ::testing::TestWithParam<PlantCase> {};

TEST_P(PlantedInSharedFolder, IsRefusedForReadAndWrite) {
  SharedFolder f;
  const PlantCase& c = GetParam();
  ASSERT_TRUE(PlantAsOtherUser([&] {
    switch (c.planted) {
      case Planted::Link: return ::symlink(f.secret.c_str(), f.file.c_str()) == 0;
      case Planted::Fifo: return ::mkfifo(f.file.c_str(), 0666) == 0;
      case Planted::Folder: return ::mkdir(f.file.c_str(), 0777) == 0;
    }
    return false;
  }));
  ini_detail::FlushCache();

  int read = test::ExitCodeWithin(5, [&] {
    uint32_t error = 0;
    auto doc = ini_detail::LoadDocument(f.file, &error);
    if (doc) return 1;  // something was read
    if (error != ERROR_CANT_ACCESS_FILE) return 2;
    return IniReadString(f.file, "root", "only", "none") == "none" ? 0 : 3;
  });
  EXPECT_EQ(read, 0);

  int write = test::ExitCodeWithin(5, [&] {
    if (WritePrivateProfileString("root", "added", "1", f.file.c_str())) return 1;
    return GetLastError() == ERROR_CANT_ACCESS_FILE ? 0 : 2;
  });
  EXPECT_EQ(write, 0);

  EXPECT_EQ(test::ReadFileBytes(f.secret), kSecret);
  struct stat st{};
  ASSERT_EQ(::lstat(f.file.c_str(), &st), 0);  // the planted entry is left as it is
  EXPECT_EQ(c.planted == Planted::Link, S_ISLNK(st.st_mode));
  EXPECT_EQ(c.planted == Planted::Fifo, S_ISFIFO(st.st_mode));
}

INSTANTIATE_TEST_SUITE_P(Ini, PlantedInSharedFolder,
                         ::testing::Values(PlantCase{"LinkToRootOnlyFile", Planted::Link},
                                           PlantCase{"Fifo", Planted::Fifo},
                                           PlantCase{"Folder", Planted::Folder}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(IniSharedFolder, RegularFileOfAnotherUserIsReadAndReplaced) {
  // The shared folder's purpose: every user edits the same files (no sticky bit).
  SharedFolder f;
  ASSERT_TRUE(PlantAsOtherUser([&] {
    int fd = ::open(f.file.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
    bool ok = fd >= 0 && ::write(fd, "[s]\r\nk=1\r\n", 10) == 10;
    if (fd >= 0) ::close(fd);
    return ok;
  }));
  EXPECT_EQ(IniReadString(f.file, "s", "k"), "1");
  ASSERT_TRUE(WritePrivateProfileString("s", "k", "2", f.file.c_str()));
  EXPECT_EQ(test::ReadFileBytes(f.file), "[s]\r\nk=2\r\n");
}

TEST(IniSharedFolder, LinkInPrivateFolderIsStillFollowed) {
  test::TempDir dir;
  ::chmod(dir.path().c_str(), 0700);
  std::string real = dir.file("real.ini"), link = dir.file("link.ini");
  test::WriteFileBytes(real, "[s]\r\nk=1\r\n");
  std::filesystem::create_symlink(real, link);
  EXPECT_EQ(IniReadString(link, "s", "k"), "1");
  ASSERT_TRUE(WritePrivateProfileString("s", "k", "2", link.c_str()));
  EXPECT_EQ(test::ReadFileBytes(real), "[s]\r\nk=2\r\n");
}

// A private link that points into the shared folder reaches the file there, but never a link
// another user planted in its place: links are followed one hop.
TEST(IniSharedFolder, PrivateLinkIntoTheSharedFolderIsFollowedOneHopOnly) {
  SharedFolder f;
  test::TempDir mine;
  ::chmod(mine.path().c_str(), 0700);
  const std::string link = mine.file("mine.ini");
  std::filesystem::create_symlink(f.file, link);

  test::WriteFileBytes(f.file, "[s]\r\nk=1\r\n");
  EXPECT_EQ(IniReadString(link, "s", "k"), "1") << "one hop to a regular file";

  std::filesystem::remove(f.file);
  ASSERT_TRUE(PlantAsOtherUser([&] { return ::symlink(f.secret.c_str(), f.file.c_str()) == 0; }));
  uint32_t error = ERROR_SUCCESS;
  EXPECT_EQ(ini_detail::LoadDocument(link, &error), nullptr) << "the planted second link was followed";
  EXPECT_EQ(error, ERROR_CANT_ACCESS_FILE);
  EXPECT_FALSE(WritePrivateProfileString("root", "injected", "1", link.c_str()));
  EXPECT_EQ(test::ReadFileBytes(f.secret), kSecret);
}

// Any user can open the shared folder and hold its lock: a writer gives up after a bounded wait
// instead of waiting for ever, and a reader is not held at all.
TEST(IniSharedFolder, AHeldFolderLockMakesWritersGiveUpNotHang) {
  SharedFolder f;
  test::WriteFileBytes(f.file, "[s]\r\nk=1\r\n");
  const int holder = ::open(f.shared.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(::flock(holder, LOCK_EX), 0);
  EXPECT_EQ(IniReadString(f.file, "s", "k"), "1");
  EXPECT_FALSE(WritePrivateProfileString("s", "k", "held", f.file.c_str()));
  EXPECT_EQ(test::ReadFileBytes(f.file), "[s]\r\nk=1\r\n");
  ::close(holder);
  EXPECT_TRUE(WritePrivateProfileString("s", "k", "2", f.file.c_str()));
}

TEST(IniSharedFolder, OversizedFileIsRefusedNotRead) {
  test::TempDir dir;
  std::string file = dir.file("huge.ini");
  test::WriteFileBytes(file, "[s]\r\nk=1\r\n");
  ASSERT_EQ(::truncate(file.c_str(), 200ll << 20), 0);  // sparse: costs no disk
  ini_detail::FlushCache();
  uint32_t error = 0;
  EXPECT_EQ(ini_detail::LoadDocument(file, &error), nullptr);
  EXPECT_EQ(error, ERROR_FILE_TOO_LARGE);
  EXPECT_FALSE(WritePrivateProfileString("s", "k", "2", file.c_str()));
}

TEST(IniStaleTemporaryFiles, NextWriterRemovesOnlyItsOwnDeadWritersFiles) {
  test::TempDir dir;
  std::string file = dir.file("p.ini");
  test::WriteFileBytes(file, "[s]\r\nk=1\r\n");
  std::string victim = dir.file("victim");
  test::WriteFileBytes(victim, "keep");
  struct Entry {
    const char* name;
    enum { File, Link, Folder } kind;
    bool removed;
  } entries[] = {
      {".p.ini.aB3xYz", Entry::File, true},     // what a killed writer leaves
      {".p.ini.000000", Entry::File, true},
      {".p.ini.aB3xY", Entry::File, false},     // not mkstemp's six characters
      {".p.ini.aB3xYz1", Entry::File, false},
      {".p.ini.aB-xYz", Entry::File, false},
      {".q.ini.aB3xYz", Entry::File, false},    // another file's
      {"p.ini.aB3xYz", Entry::File, false},     // not hidden
      {".p.ini.Lnk123", Entry::Link, false},    // never a link (nor its target)
      {".p.ini.Dir123", Entry::Folder, false},
  };
  for (const Entry& e : entries) {
    std::string path = dir.file(e.name);
    if (e.kind == Entry::File) test::WriteFileBytes(path, "stale");
    if (e.kind == Entry::Link) std::filesystem::create_symlink(victim, path);
    if (e.kind == Entry::Folder) std::filesystem::create_directory(path);
  }
  ASSERT_TRUE(WritePrivateProfileString("s", "k", "2", file.c_str()));
  for (const Entry& e : entries) {
    SCOPED_TRACE(e.name);
    EXPECT_EQ(std::filesystem::exists(std::filesystem::symlink_status(dir.file(e.name))), !e.removed);
  }
  EXPECT_EQ(test::ReadFileBytes(victim), "keep");
  EXPECT_EQ(test::ReadFileBytes(file), "[s]\r\nk=2\r\n");
}

TEST(IniStaleTemporaryFiles, KilledWritersLeaveNothingAfterTheNextWrite) {
  test::TempDir dir;
  std::string file = dir.file("k.ini");
  std::string big(1 << 20, 'x');
  ASSERT_TRUE(WritePrivateProfileString("s", "big", big.c_str(), file.c_str()));
  auto entries = [&] {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
      names.push_back(e.path().filename().string());
    }
    return names;
  };
  // Each writer is killed the moment its temporary file appears, i.e. inside its write.
  int watch = ::inotify_init1(IN_CLOEXEC);
  ASSERT_GE(watch, 0);
  ASSERT_GE(::inotify_add_watch(watch, dir.path().c_str(), IN_CREATE), 0);
  for (int round = 0; round < 5; ++round) {
    pid_t child = ::fork();
    if (child == 0) {
      for (int i = 0;; ++i) WritePrivateProfileString("s", "n", std::to_string(i).c_str(), file.c_str());
    }
    alignas(inotify_event) char buffer[4096];
    bool created = false;
    while (!created) {
      ssize_t n = ::read(watch, buffer, sizeof buffer);
      ASSERT_GT(n, 0);
      for (ssize_t at = 0; at < n;) {
        auto* event = reinterpret_cast<inotify_event*>(buffer + at);
        if (event->len > 0 && std::string(event->name).rfind(".k.ini.", 0) == 0) created = true;
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
  }
  ::close(watch);
  ASSERT_GT(entries().size(), 1u) << "no writer died holding its temporary file";
  ASSERT_TRUE(WritePrivateProfileString("s", "n", "last", file.c_str()));
  EXPECT_EQ(entries(), std::vector<std::string>{"k.ini"});
  EXPECT_EQ(IniReadString(file, "s", "big", "", 2u << 20), big);
}

}  // namespace
}  // namespace ov
