#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <grp.h>
#include <map>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/registry/hive_files.h"
#include "platform/system/error_codes.h"
#include "tests/registry/registry_fixture.h"

// Several processes on one hive, and a process that may not write the machine hive.
namespace ov::test {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;
constexpr gid_t kNoGroup = 65534;

// Runs `body` in a forked child whose exit status is body's result (clamped to 0..255).
template <typename Body>
pid_t Spawn(Body&& body) {
  pid_t pid = fork();
  if (pid == 0) {
    int status = 1;
    try {
      status = body();
    } catch (...) {
      status = 254;
    }
    _exit(status > 255 ? 255 : status);
  }
  return pid;
}

int WaitFor(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string ValueNameFor(int writer, int index) {
  return "w" + std::to_string(writer) + "_" + std::to_string(index);
}

TEST_F(RegistryTest, ThreeProcessesWritingOneHiveLoseNothing) {
  constexpr int kWriters = 3;
  constexpr int kValuesEach = 120;
  // The hive does not exist yet: the writers also race to create it.
  std::vector<pid_t> children;
  for (int w = 0; w < kWriters; ++w) {
    children.push_back(Spawn([w] {
      const std::string own = "SOFTWARE\\Writers\\" + std::to_string(w);
      for (int i = 0; i < kValuesEach; ++i) {
        // Each call is its own transaction: a value in a shared key and one in the writer's own.
        if (uint32_t err = RegWriteDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Shared",
                                         ValueNameFor(w, i), static_cast<uint32_t>(i))) {
          return static_cast<int>(err);
        }
        if (uint32_t err = RegWriteString(HKEY_LOCAL_MACHINE, own, "V" + std::to_string(i),
                                          std::to_string(w * 1000 + i))) {
          return static_cast<int>(err);
        }
      }
      return 0;
    }));
  }
  // Meanwhile this process reads: a reader waits out a writer's commit instead of failing.
  ASSERT_EQ(RegWriteDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Seed", "Value", 42), 0u);
  int reads = 0, failedReads = 0;
  std::vector<int> statuses(children.size(), -1);
  for (size_t running = children.size(); running > 0;) {
    ++reads;
    if (RegReadDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Seed", "Value") != 42u) ++failedReads;
    for (size_t c = 0; c < children.size(); ++c) {
      int status = 0;
      if (statuses[c] == -1 && waitpid(children[c], &status, WNOHANG) == children[c]) {
        statuses[c] = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        --running;
      }
    }
  }
  for (int status : statuses) EXPECT_EQ(status, 0) << "a writer failed";
  EXPECT_EQ(failedReads, 0) << "of " << reads << " reads during the writes";

  std::vector<RegValue> shared;
  RegKey key;
  ASSERT_EQ(key.open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Shared"), ERROR_SUCCESS);
  ASSERT_EQ(RegListValues(key.get(), &shared), ERROR_SUCCESS);
  EXPECT_EQ(shared.size(), static_cast<size_t>(kWriters * kValuesEach));
  for (int w = 0; w < kWriters; ++w) {
    for (int i = 0; i < kValuesEach; ++i) {
      ASSERT_EQ(RegReadDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Shared", ValueNameFor(w, i)),
                static_cast<uint32_t>(i))
          << ValueNameFor(w, i);
      ASSERT_EQ(RegReadString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Writers\\" + std::to_string(w),
                              "V" + std::to_string(i)),
                std::to_string(w * 1000 + i));
    }
  }
}

// The child reports "label=code" lines through a pipe.
std::map<std::string, uint32_t> RunAsNobody(const std::function<void(std::ostream&)>& body) {
  int fds[2];
  if (pipe(fds) != 0) return {};
  pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    std::ostringstream out;
    if (setgroups(0, nullptr) != 0 || setgid(kNoGroup) != 0 || setuid(kNobody) != 0) {
      out << "drop=1\n";
    } else {
      body(out);
    }
    const std::string text = out.str();
    ssize_t written = write(fds[1], text.data(), text.size());
    _exit(written == static_cast<ssize_t>(text.size()) ? 0 : 1);
  }
  close(fds[1]);
  std::string text;
  char buffer[512];
  ssize_t n;
  while ((n = read(fds[0], buffer, sizeof buffer)) > 0) text.append(buffer, n);
  close(fds[0]);
  EXPECT_EQ(WaitFor(pid), 0);
  std::map<std::string, uint32_t> results;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    size_t eq = line.find('=');
    if (eq != std::string::npos) results[line.substr(0, eq)] = std::stoul(line.substr(eq + 1));
  }
  return results;
}

TEST_F(RegistryTest, AnUnprivilegedProcessReadsTheMachineHiveButCannotWriteIt) {
  if (geteuid() != 0) {
    GTEST_SKIP() << "needs root to create the hive as root and drop to uid 65534 (CI runs as "
                    "root); ReadOnlyHiveFile covers the unprivileged side here";
  }
  // An installed system's modes, even when the creator's umask is strict.
  const mode_t oldMask = umask(077);
  ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvane", "SSID", "home"), 0u);
  ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, "", "TopValue", "top"), 0u);
  umask(oldMask);

  struct stat st {};
  ASSERT_EQ(stat(MachineHiveFile().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0644u);
  EXPECT_EQ(st.st_uid, 0u);
  for (fs::path folder = MachineHiveFile().parent_path(); folder != dir.path();
       folder = folder.parent_path()) {
    ASSERT_EQ(stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0755u) << folder;
    EXPECT_EQ(st.st_uid, 0u) << folder;
  }
  // The test's own folder stands in for "/": others may pass through it.
  ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);

  auto results = RunAsNobody([](std::ostream& out) {
    HKEY key = nullptr;
    out << "open-read=" << RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvane", 0, KEY_READ, &key)
        << "\n";
    out << "read-value=" << (RegReadString(key, "", "SSID") == "home" ? 0 : 1) << "\n";
    std::vector<RegValue> values;
    out << "enum=" << RegListValues(key, &values) << "\n";
    RegCloseKey(key);
    HKEY denied = nullptr;
    out << "open-write="
        << RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvane", 0, KEY_ALL_ACCESS, &denied)
        << "\n";
    const uint8_t data[] = {'x', 0};
    out << "set=" << RegSetValueEx(HKEY_LOCAL_MACHINE, "TopValue", 0, REG_SZ, data, 2) << "\n";
    out << "set-new=" << RegSetValueEx(HKEY_LOCAL_MACHINE, "Other", 0, REG_SZ, data, 2) << "\n";
    HKEY created = nullptr;
    out << "create=" << CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\New", &created) << "\n";
    out << "create-existing-for-write="
        << CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvane", &created) << "\n";
    out << "create-existing-for-read="
        << RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvane", 0, nullptr, 0, KEY_READ,
                          nullptr, &created, nullptr)
        << "\n";
    RegCloseKey(created);
    out << "delete-value=" << RegDeleteValue(HKEY_LOCAL_MACHINE, "TopValue") << "\n";
    out << "delete-key=" << RegDeleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvane") << "\n";
    out << "delete-tree=" << SHDeleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvane") << "\n";
    out << "classes=" << RegWriteString(HKEY_CLASSES_ROOT, ".ovp", "", "x") << "\n";
  });

  const std::map<std::string, uint32_t> expected = {
      {"open-read", ERROR_SUCCESS},
      {"read-value", 0},
      {"enum", ERROR_SUCCESS},
      {"open-write", ERROR_ACCESS_DENIED},
      {"set", ERROR_ACCESS_DENIED},
      {"set-new", ERROR_ACCESS_DENIED},
      {"create", ERROR_ACCESS_DENIED},
      {"create-existing-for-write", ERROR_ACCESS_DENIED},
      {"create-existing-for-read", ERROR_SUCCESS},
      {"delete-value", ERROR_ACCESS_DENIED},
      {"delete-key", ERROR_ACCESS_DENIED},
      {"delete-tree", ERROR_ACCESS_DENIED},
      {"classes", ERROR_ACCESS_DENIED},
  };
  EXPECT_EQ(results, expected);

  // Nothing changed.
  EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE, "", "TopValue"), "top");
  EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE, "", "Other"), std::nullopt);
  EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvane", "SSID"), "home");
  RegKey probe;
  EXPECT_EQ(probe.open(HKEY_LOCAL_MACHINE, "SOFTWARE\\New"), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, ReadOnlyHiveFile) {
  if (geteuid() == 0) {
    GTEST_SKIP() << "root ignores permission bits; the unprivileged-process test covers this";
  }
  ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvane", "SSID", "home"), 0u);
  const fs::path folder = MachineHiveFile().parent_path();
  ASSERT_EQ(chmod(MachineHiveFile().c_str(), 0444), 0);
  ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
  registry_detail::CloseConnections();

  EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvane", "SSID"), "home");
  EXPECT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvane", "SSID", "x"),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteValue(HKEY_LOCAL_MACHINE, "Anything"), ERROR_ACCESS_DENIED);
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvane", 0, KEY_WRITE, &key),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegReadString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvane", "SSID"), "home");
  chmod(folder.c_str(), 0755);
  chmod(MachineHiveFile().c_str(), 0644);
}

}  // namespace
}  // namespace ov::test
