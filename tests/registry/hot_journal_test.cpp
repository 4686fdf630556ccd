#include <gtest/gtest.h>
#include <grp.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <random>
#include <string>

#include "platform/registry/hive_files.h"
#include "platform/registry/hive_recovery.h"
#include "platform/system/error_codes.h"
#include "tests/registry/registry_fixture.h"

// A writer of the machine hive killed in the middle of its commit leaves a hot journal that only
// a process allowed to write the hive can roll back. A reader without that right must still read
// the last committed state, whole.
namespace ov::test {
namespace {

namespace fs = std::filesystem;

constexpr int kValues = 600;
const std::string kKey = "SOFTWARE\\Generation";

std::vector<RegChange> Generation(char letter) {
  std::vector<RegChange> changes;
  for (int i = 0; i < kValues; ++i) {
    changes.push_back({RegChange::Kind::SetValue, HKEY_LOCAL_MACHINE, kKey,
                       "v" + std::to_string(i), REG_BINARY, std::string(200, letter)});
  }
  return changes;
}

// "A" when every value holds generation A, else what was wrong.
std::string Summary() {
  RegKey key;
  if (uint32_t err = key.open(HKEY_LOCAL_MACHINE, kKey, KEY_READ)) {
    return "open failed " + std::to_string(err);
  }
  std::vector<RegValue> values;
  if (uint32_t err = RegListValues(key.get(), &values)) return "list failed " + std::to_string(err);
  if (values.size() != kValues) return std::to_string(values.size()) + " values";
  for (const RegValue& v : values) {
    if (v.data != std::string(200, values[0].data[0])) return "mixed generations";
  }
  RegValue one;
  if (uint32_t err = RegReadValue(HKEY_LOCAL_MACHINE, kKey, "v7", &one)) {
    return "read failed " + std::to_string(err);
  }
  return values[0].data.substr(0, 1);
}

class HotJournalTest : public RegistryTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(RegApplyChanges(Generation('A'), nullptr), 0u);
    // The reader's own temporary files stay inside the test's folder.
    ASSERT_TRUE(fs::create_directory(scratch));
    ASSERT_EQ(chmod(scratch.c_str(), 01777), 0);
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
  }

  // Summary() as seen by a process that may not write the machine hive: uid 65534 when the test
  // runs as root, else this user with the hive's file and folder made read-only.
  std::string ReadAsStandardUser() {
    const fs::path hive = MachineHiveFile();
    const bool root = geteuid() == 0;
    if (!root) {
      chmod(hive.c_str(), 0444);
      chmod(hive.parent_path().c_str(), 0555);
    }
    int fds[2];
    if (pipe(fds) != 0) return "no pipe";
    const pid_t pid = fork();
    if (pid == 0) {
      close(fds[0]);
      setenv("TMPDIR", scratch.c_str(), 1);
      std::string text = "could not drop privileges";
      if (!root || (setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0)) {
        text = Summary();
      }
      const ssize_t n = write(fds[1], text.data(), text.size());
      _exit(n == static_cast<ssize_t>(text.size()) ? 0 : 1);
    }
    close(fds[1]);
    std::string text;
    char buffer[256];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0) text.append(buffer, n);
    close(fds[0]);
    waitpid(pid, nullptr, 0);
    if (!root) {
      chmod(hive.parent_path().c_str(), 0755);
      chmod(hive.c_str(), 0644);
    }
    return text;
  }

  static bool HotJournalLeft() { return fs::exists(registry_detail::JournalOf(MachineHiveFile())); }

  fs::path scratch = dir.path() / "tmp";
};

// A writer that dies on its own at a chosen point of its transaction, through SQLite itself.
void DieInTransaction(int cacheSize, bool inCommitHook) {
  registry_detail::CloseConnections();
  const pid_t pid = fork();
  if (pid == 0) {
    sqlite3* db = nullptr;
    if (sqlite3_open(MachineHiveFile().c_str(), &db) != SQLITE_OK) _exit(1);
    const std::string setup = "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL; "
                              "PRAGMA cache_size=" + std::to_string(cacheSize) + ";";
    sqlite3_exec(db, setup.c_str(), nullptr, nullptr, nullptr);
    if (inCommitHook) {
      sqlite3_commit_hook(db, [](void*) -> int { raise(SIGKILL); return 0; }, nullptr);
    }
    sqlite3_exec(db, "BEGIN IMMEDIATE; UPDATE vals SET data = zeroblob(200);", nullptr, nullptr,
                 nullptr);
    if (!inCommitHook) raise(SIGKILL);  // with the transaction open, spilled or not
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    _exit(2);  // the hook never returns
  }
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the writer was meant to die mid-transaction";
}

TEST_F(HotJournalTest, AReaderWithoutWriteRightsReadsTheLastCommittedState) {
  struct Row {
    const char* name;
    int cacheSize;
    bool inCommitHook;
  };
  const Row rows[] = {
      {"journal written, hive untouched", 2000, false},
      {"pages spilled into the hive before the commit", 2, false},
      {"killed as the commit starts", 2000, true},
  };
  char committed = 'A';
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    DieInTransaction(row.cacheSize, row.inCommitHook);
    ASSERT_TRUE(HotJournalLeft());
    EXPECT_EQ(ReadAsStandardUser(), std::string(1, committed));
    // The journal is still there for the next writer to roll back, which it does.
    EXPECT_TRUE(HotJournalLeft());
    committed = static_cast<char>(committed + 1);
    ASSERT_EQ(RegApplyChanges(Generation(committed), nullptr), 0u);
    EXPECT_FALSE(HotJournalLeft());
    EXPECT_EQ(ReadAsStandardUser(), std::string(1, committed));
  }
}

TEST_F(HotJournalTest, WritersKilledAtRandomMomentsLeaveOneWholeGeneration) {
  std::mt19937 random(3);
  char committed = 'A';
  int hot = 0;
  for (int kill = 0; kill < 8; ++kill) {
    const char next = static_cast<char>('A' + (committed - 'A' + 1) % 26);
    registry_detail::CloseConnections();
    const pid_t pid = fork();
    if (pid == 0) _exit(static_cast<int>(RegApplyChanges(Generation(next), nullptr)));
    // Real time only picks the moment of the fault; what is checked does not depend on it.
    usleep(static_cast<useconds_t>(random() % 30000));
    ::kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    hot += HotJournalLeft() ? 1 : 0;
    const std::string seen = ReadAsStandardUser();
    ASSERT_TRUE(seen == std::string(1, committed) || seen == std::string(1, next))
        << "after kill " << kill << ": " << seen;
    committed = seen[0];
    EXPECT_EQ(Summary(), seen) << "a writer sees the same";
  }
  RecordProperty("kills_that_left_a_hot_journal", hot);
}

}  // namespace
}  // namespace ov::test
