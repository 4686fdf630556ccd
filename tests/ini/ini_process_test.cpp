// Several processes on one INI file: no lost keys, and a killed writer never leaves a torn file.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <string>

#include "platform/ini/ini.h"
#include "tests/support/temp_dir.h"

namespace ov {
namespace {

constexpr int kSections = 200;
constexpr int kKeysPerSection = 60;

std::string BigProfileFile(const std::string& marker) {
  std::string text;
  for (int s = 0; s < kSections; ++s) {
    text += "[Profile" + std::to_string(s) + "]\r\n";
    for (int k = 0; k < kKeysPerSection; ++k) {
      text += "Key" + std::to_string(k) + "=value-" + std::to_string(s) + "-" + std::to_string(k) +
              "\r\n";
    }
  }
  text += "[End]\r\nMarker=" + marker + "\r\n";
  return text;
}

// Runs `body` in a child process and returns its pid; the child exits 0 when body returns true.
template <typename Body>
pid_t Spawn(Body body) {
  pid_t pid = fork();
  if (pid == 0) _exit(body() ? 0 : 1);
  return pid;
}

int WaitExitCode(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(IniProcesses, TwoWritersOfDifferentKeysLoseNothing) {
  test::TempDir dir;
  std::string file = dir.file("shared.ini");
  constexpr int kWrites = 150;
  auto writer = [&](const char* prefix) {
    return Spawn([&, prefix] {
      for (int i = 0; i < kWrites; ++i) {
        // Both writers share the section, so every write rewrites the other's keys too.
        if (!IniWriteString(file, "Shared", prefix + std::to_string(i), std::to_string(i))) {
          return false;
        }
      }
      return true;
    });
  };
  pid_t a = writer("a");
  pid_t b = writer("b");
  EXPECT_EQ(WaitExitCode(a), 0);
  EXPECT_EQ(WaitExitCode(b), 0);
  for (const char* prefix : {"a", "b"}) {
    for (int i = 0; i < kWrites; ++i) {
      ASSERT_EQ(IniReadString(file, "Shared", prefix + std::to_string(i), "lost"),
                std::to_string(i))
          << "key " << prefix << i;
    }
  }
}

TEST(IniProcesses, KilledWriterLeavesOldOrNewFile) {
  test::TempDir dir;
  std::string file = dir.file("big.ini");
  std::mt19937 random(12345);
  for (int round = 0; round < 15; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    test::WriteFileBytes(file, BigProfileFile("start"));
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t child = Spawn([&] {
      close(ready[0]);
      for (int i = 0;; ++i) {
        // Growing values so that every rewrite changes the file's size.
        IniWriteString(file, "Profile" + std::to_string(i % kSections), "Key0",
                       std::string(static_cast<size_t>(i % 50), 'x'));
        IniWriteString(file, "End", "Marker", "m" + std::to_string(i));
        if (i == 2) (void)!write(ready[1], "r", 1);
      }
      return true;
    });
    close(ready[1]);
    char c;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    close(ready[0]);
    // Let the writer run into the middle of a later rewrite before it dies.
    volatile unsigned spin = std::uniform_int_distribution<unsigned>(0, 2000000)(random);
    while (spin > 0) spin = spin - 1;
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);

    // A torn file would lose its tail: every section and key must be there.
    std::string marker = IniReadString(file, "End", "Marker", "missing");
    EXPECT_TRUE(marker == "start" || marker.rfind("m", 0) == 0) << marker;
    auto sections = IniSectionNames(file);
    ASSERT_EQ(sections.size(), static_cast<size_t>(kSections + 1));
    for (int s = 0; s < kSections; s += 37) {
      EXPECT_EQ(IniKeyNames(file, "Profile" + std::to_string(s)).size(),
                static_cast<size_t>(kKeysPerSection));
    }
  }
  // Leftover temporary files of killed writers never replace the file itself.
  EXPECT_TRUE(std::filesystem::exists(file));
}

}  // namespace
}  // namespace ov
