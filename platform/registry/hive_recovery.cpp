#include "platform/registry/hive_recovery.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/system/error_codes.h"

namespace ov::registry_detail {

namespace {

constexpr uint32_t ERROR_REGISTRY_IO_FAILED = 1016;

// SQLite's lock bytes on POSIX (os_unix.c): a reader holds a read lock on the shared range,
// taken while it holds a read lock on the pending byte; a writer needs a write lock on the whole
// shared range to change the file, so a held read lock keeps the file and its journal as they are.
constexpr off_t kPendingByte = 0x40000000;
constexpr off_t kSharedFirst = kPendingByte + 2;
constexpr off_t kSharedSize = 510;

bool Lock(int fd, short type, off_t start, off_t length) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = start;
  lock.l_len = length;
  return fcntl(fd, F_SETLK, &lock) == 0;
}

// The whole of a file, read through `fd`.
bool ReadAll(int fd, std::string* bytes) {
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
  // A hive or journal larger than this is not ours to copy into memory.
  constexpr off_t kMaxCopyBytes = off_t{1} << 30;
  if (st.st_size < 0 || st.st_size > kMaxCopyBytes) return false;
  bytes->assign(static_cast<size_t>(st.st_size), '\0');
  size_t done = 0;
  while (done < bytes->size()) {
    const ssize_t n = pread(fd, bytes->data() + done, bytes->size() - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

bool WriteAll(const std::string& path, const std::string& bytes) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  close(fd);
  return done == bytes.size();
}

// Holds SQLite's shared lock on a hive file for its lifetime. Only this process's registry
// opens hive files, and it has closed its own connection to this one first: closing `fd` would
// otherwise drop that connection's locks too.
class SharedLock {
 public:
  explicit SharedLock(int fd) : fd_(fd) {}
  ~SharedLock() {
    if (held_) Lock(fd_, F_UNLCK, kSharedFirst, kSharedSize);
  }
  bool take(int waitMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
      if (Lock(fd_, F_RDLCK, kPendingByte, 1)) {
        held_ = Lock(fd_, F_RDLCK, kSharedFirst, kSharedSize);
        Lock(fd_, F_UNLCK, kPendingByte, 1);
        if (held_) return true;
      }
      if (std::chrono::steady_clock::now() >= end) return false;
      // A writer is in the middle of its commit or its rollback; they take milliseconds.
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }

 private:
  int fd_;
  bool held_ = false;
};

std::string PrivateFolder() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base != nullptr && *base == '/' ? base : "/tmp") +
                        "/ovui-hive-XXXXXX";
  return mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
}

}  // namespace

std::string JournalOf(const std::string& file) { return file + "-journal"; }

uint32_t OpenRolledBackCopy(const std::string& file, int waitMs, sqlite3** db) {
  *db = nullptr;
  std::string hiveBytes, journalBytes;
  {
    const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return errno == EACCES ? ERROR_ACCESS_DENIED : ERROR_REGISTRY_IO_FAILED;
    bool copied = false;
    uint32_t err = ERROR_SUCCESS;
    {
      SharedLock lock(fd);
      if (!lock.take(waitMs)) {
        err = ERROR_SHARING_VIOLATION;
      } else {
        const int journal =
            open(JournalOf(file).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (journal >= 0) {
          copied = ReadAll(fd, &hiveBytes) && ReadAll(journal, &journalBytes);
          close(journal);
          if (!copied) err = ERROR_REGISTRY_IO_FAILED;
        } else if (errno != ENOENT) {
          err = errno == EACCES ? ERROR_ACCESS_DENIED : ERROR_REGISTRY_IO_FAILED;
        }
      }
    }
    close(fd);
    if (err) return err;
    if (!copied) return ERROR_SUCCESS;  // rolled back meanwhile
  }

  const std::string folder = PrivateFolder();
  if (folder.empty()) return ERROR_REGISTRY_IO_FAILED;
  const std::string copy = folder + "/hive.db";
  uint32_t err = ERROR_REGISTRY_IO_FAILED;
  if (WriteAll(copy, hiveBytes) && WriteAll(JournalOf(copy), journalBytes)) {
    sqlite3* opened = nullptr;
    int rc = sqlite3_open_v2(copy.c_str(), &opened,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_EXRESCODE,
                             nullptr);
    // The first read finds the journal hot and rolls the copy back; reading the whole schema
    // makes sure it did before the files go.
    if (rc == SQLITE_OK) {
      rc = sqlite3_exec(opened, "PRAGMA journal_mode=DELETE; SELECT count(*) FROM sqlite_schema;",
                        nullptr, nullptr, nullptr);
    }
    struct stat st {};
    if (rc == SQLITE_OK && stat(JournalOf(copy).c_str(), &st) != 0) {
      *db = opened;
      err = ERROR_SUCCESS;
    } else {
      sqlite3_close_v2(opened);
      err = rc == SQLITE_CORRUPT || rc == SQLITE_NOTADB ? ERROR_BADDB : ERROR_REGISTRY_IO_FAILED;
    }
  }
  unlink(JournalOf(copy).c_str());
  unlink(copy.c_str());
  rmdir(folder.c_str());
  return err;
}

}  // namespace ov::registry_detail
