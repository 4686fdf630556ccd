#include "platform/ini/ini_file_store.h"

#include <cctype>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <chrono>
#include <climits>
#include <filesystem>
#include <list>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "platform/system/error_codes.h"
#include "platform/system/regular_file.h"

namespace ov::ini_detail {

namespace {

// A writer waits this long for another writer of the same folder (a user may hold the lock).
constexpr int kFolderLockWaitMs = 5000;

constexpr uint32_t ERROR_PATH_NOT_FOUND = 3;

// Cached texts are dropped, oldest first, beyond this many bytes.
constexpr size_t kCacheBudgetBytes = 64u << 20;
// Larger files are refused: the biggest real ones (a store of 1000 profiles) are a few MB.
constexpr size_t kFileMaxBytes = 64u << 20;

struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified{};

  static FileIdentity Of(const struct stat& st) {
    return FileIdentity{st.st_dev, st.st_ino, st.st_size, st.st_mtim};
  }
  bool operator==(const FileIdentity& o) const {
    return device == o.device && inode == o.inode && size == o.size &&
           modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec;
  }
};

struct CacheEntry {
  std::string path;
  FileIdentity identity;
  std::shared_ptr<const IniDocument> document;
};

std::mutex cacheMutex;
std::list<CacheEntry> cache;  // most recently used first

std::string CacheKey(const std::string& fileName) {
  if (!fileName.empty() && fileName.front() == '/') return fileName;
  std::error_code ec;
  auto absolute = std::filesystem::absolute(fileName, ec);
  return ec ? fileName : absolute.string();
}

std::shared_ptr<const IniDocument> CacheLookup(const std::string& key, const FileIdentity& id) {
  std::lock_guard lock(cacheMutex);
  for (auto it = cache.begin(); it != cache.end(); ++it) {
    if (it->path != key) continue;
    if (!(it->identity == id)) {
      cache.erase(it);
      return nullptr;
    }
    cache.splice(cache.begin(), cache, it);
    return cache.front().document;
  }
  return nullptr;
}

void CacheStore(const std::string& key, const FileIdentity& id,
                std::shared_ptr<const IniDocument> document) {
  std::lock_guard lock(cacheMutex);
  cache.remove_if([&](const CacheEntry& e) { return e.path == key; });
  if (document->text().size() > kCacheBudgetBytes) return;
  cache.push_front(CacheEntry{key, id, std::move(document)});
  size_t total = 0;
  for (auto it = cache.begin(); it != cache.end();) {
    total += it->document->text().size();
    if (total > kCacheBudgetBytes && it != cache.begin()) {
      it = cache.erase(it);
    } else {
      ++it;
    }
  }
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd = -1) : fd_(fd) {}
  ~FileDescriptor() { reset(); }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  void reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  int release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

uint32_t ErrnoToError(int err) {
  switch (err) {
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    default: return ERROR_ACCESS_DENIED;
  }
}

// Reads a whole open file of at most kFileMaxBytes; the file may grow while it is read.
uint32_t ReadAll(int fd, off_t sizeHint, std::string& out) {
  out.clear();
  if (sizeHint > 0) out.reserve(static_cast<size_t>(sizeHint));
  char chunk[65536];
  for (;;) {
    ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      return ERROR_ACCESS_DENIED;
    }
    if (n == 0) return ERROR_SUCCESS;
    if (out.size() + static_cast<size_t>(n) > kFileMaxBytes) return ERROR_FILE_TOO_LARGE;
    out.append(chunk, static_cast<size_t>(n));
  }
}

bool WriteAll(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

std::string FolderOf(const std::string& key) {
  std::string folder = std::filesystem::path(key).parent_path().string();
  return folder.empty() ? "/" : folder;
}

// Where a symbolic link points, one hop only: its text resolved against the link's folder. A
// chain is never walked, so a link that another user planted further along cannot steer us.
std::string ResolveTarget(const std::string& key) {
  char text[PATH_MAX];
  const ssize_t n = ::readlink(key.c_str(), text, sizeof text - 1);
  if (n <= 0) return key;
  std::filesystem::path link(std::string(text, static_cast<size_t>(n)));
  if (link.is_relative()) link = std::filesystem::path(key).parent_path() / link;
  return link.lexically_normal().string();
}

// What the last part of the path is, without following it. A symbolic link is accepted (and
// then followed one hop, to a regular file, never to another link) only in a folder no other
// user can write; anything but a regular file, or such a link to one, is refused. `openPath` is
// what to open: the path itself, or the link's target.
uint32_t CheckEntry(const std::string& key, std::string* openPath, struct stat* st) {
  *openPath = key;
  if (::lstat(key.c_str(), st) != 0) return ErrnoToError(errno);
  if (S_ISLNK(st->st_mode)) {
    if (FolderOfFileOthersCanWrite(key)) return ERROR_CANT_ACCESS_FILE;
    *openPath = ResolveTarget(key);
    if (::lstat(openPath->c_str(), st) != 0) return ErrnoToError(errno);
    if (S_ISLNK(st->st_mode)) return ERROR_CANT_ACCESS_FILE;
  }
  if (!S_ISREG(st->st_mode)) return ERROR_CANT_ACCESS_FILE;
  if (static_cast<uint64_t>(st->st_size) > kFileMaxBytes) return ERROR_FILE_TOO_LARGE;
  return ERROR_SUCCESS;
}

// Loads the file's current document, cached under `key`; `exists` tells a missing file from an
// unreadable one. The open never blocks (a FIFO planted in place of the file cannot hang the
// reader) and never follows a link: `openPath` is the file itself or the target CheckEntry chose.
std::shared_ptr<const IniDocument> LoadFresh(const std::string& key, const std::string& openPath,
                                             uint32_t* error, bool* exists,
                                             struct stat* statOut) {
  *exists = false;
  const int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW;
  FileDescriptor fd(::open(openPath.c_str(), flags));
  if (fd.get() < 0) {
    *error = errno == ELOOP ? ERROR_CANT_ACCESS_FILE : ErrnoToError(errno);
    if (errno != ENOENT) *exists = true;
    return nullptr;
  }
  *exists = true;
  struct stat st{};
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
    *error = ERROR_CANT_ACCESS_FILE;
    return nullptr;
  }
  if (static_cast<uint64_t>(st.st_size) > kFileMaxBytes) {
    *error = ERROR_FILE_TOO_LARGE;
    return nullptr;
  }
  if (statOut) *statOut = st;
  FileIdentity id = FileIdentity::Of(st);
  if (auto cached = CacheLookup(key, id)) return cached;
  std::string text;
  if (uint32_t readError = ReadAll(fd.get(), st.st_size, text); readError != ERROR_SUCCESS) {
    *error = readError;
    return nullptr;
  }
  // Another process may have rewritten the file in place while it was read; only cache a text
  // whose identity still matches what was read.
  struct stat after{};
  auto document = std::make_shared<const IniDocument>(std::move(text));
  if (::fstat(fd.get(), &after) == 0 && FileIdentity::Of(after) == id) {
    CacheStore(key, id, document);
  }
  return document;
}

// The folder's writer lock, waited for at most kFolderLockWaitMs.
bool LockFolder(int folderFd) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kFolderLockWaitMs);
  for (;;) {
    if (::flock(folderFd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK && errno != EINTR) return false;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    ::poll(nullptr, 0, 10);
  }
}

// True for "." + base + "." + six characters of mkstemp's alphabet.
bool IsTempNameOf(std::string_view entry, std::string_view base) {
  constexpr size_t kSuffix = 6;
  if (entry.size() != base.size() + 2 + kSuffix || entry.front() != '.' ||
      entry.substr(1, base.size()) != base || entry[1 + base.size()] != '.') {
    return false;
  }
  for (char c : entry.substr(base.size() + 2)) {
    if (!std::isalnum(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

// Removes the temporary files of `base` that killed writers left in the folder. Called with the
// folder lock held: every writer holds that lock from creating its temporary file to renaming
// or removing it, so a temporary file seen now belongs to a writer that died. Only regular files
// are removed; the entry is examined and removed by name in the locked folder, never followed.
void RemoveStaleTempFiles(int folderFd, const std::string& base) {
  int listFd = ::dup(folderFd);
  if (listFd < 0) return;
  DIR* dir = ::fdopendir(listFd);
  if (dir == nullptr) {
    ::close(listFd);
    return;
  }
  ::rewinddir(dir);
  std::vector<std::string> stale;
  while (dirent* entry = ::readdir(dir)) {
    if (!IsTempNameOf(entry->d_name, base)) continue;
    struct stat st{};
    if (::fstatat(folderFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode)) {
      stale.emplace_back(entry->d_name);
    }
  }
  ::closedir(dir);
  for (const std::string& name : stale) (void)::unlinkat(folderFd, name.c_str(), 0);
}

}  // namespace

std::shared_ptr<const IniDocument> LoadDocument(const std::string& fileName, uint32_t* error) {
  uint32_t ignored = 0;
  if (error == nullptr) error = &ignored;
  *error = ERROR_SUCCESS;
  if (fileName.empty()) {
    *error = ERROR_FILE_NOT_FOUND;
    return nullptr;
  }
  std::string key = CacheKey(fileName);
  struct stat st{};
  std::string openPath;
  if (uint32_t problem = CheckEntry(key, &openPath, &st); problem != ERROR_SUCCESS) {
    *error = problem;
    return nullptr;
  }
  if (auto cached = CacheLookup(key, FileIdentity::Of(st))) return cached;
  bool exists = false;
  return LoadFresh(key, openPath, error, &exists, nullptr);
}

uint32_t UpdateFile(const std::string& fileName, const IniEdit& edit, bool createIfMissing) {
  if (fileName.empty()) return ERROR_ACCESS_DENIED;
  std::string key = CacheKey(fileName);
  // A link is replaced at its target, but only when it lies in a folder no other user can
  // write: in a shared folder it may have been planted to aim our write at another file.
  std::string target = key;
  struct stat entry{};
  if (::lstat(key.c_str(), &entry) == 0) {
    if (S_ISLNK(entry.st_mode)) {
      if (FolderOfFileOthersCanWrite(key)) return ERROR_CANT_ACCESS_FILE;
      target = ResolveTarget(key);
    } else if (!S_ISREG(entry.st_mode)) {
      return ERROR_CANT_ACCESS_FILE;
    }
  }
  std::filesystem::path targetPath(target);
  std::string folder = FolderOf(target);

  FileDescriptor folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folderFd.get() < 0) return errno == ENOENT ? ERROR_PATH_NOT_FOUND : ErrnoToError(errno);
  // Any user who can open the folder can lock it: wait a bounded time, then give up as the host
  // does for a file another program holds.
  if (!LockFolder(folderFd.get())) return ERROR_SHARING_VIOLATION;
  RemoveStaleTempFiles(folderFd.get(), targetPath.filename().string());

  uint32_t error = ERROR_SUCCESS;
  bool exists = false;
  struct stat original{};
  // The target itself is never followed: a link put there since the check above is refused.
  auto current = LoadFresh(target, target, &error, &exists, &original);
  if (!current) {
    if (exists) return error;  // present but unreadable: never overwrite what we cannot read
    if (!createIfMissing) return ERROR_SUCCESS;
    current = std::make_shared<const IniDocument>(std::string());
  }
  std::optional<std::string> updated = edit(*current);
  if (!updated) return ERROR_SUCCESS;

  std::string tempName = folder + "/." + targetPath.filename().string() + ".XXXXXX";
  FileDescriptor tempFd(::mkostemp(tempName.data(), O_CLOEXEC));
  if (tempFd.get() < 0) return ErrnoToError(errno);
  auto discardTemp = [&](uint32_t code) {
    ::unlink(tempName.c_str());
    return code;
  };
  if (exists) {
    (void)::fchmod(tempFd.get(), original.st_mode & 07777);
    if (::geteuid() == 0) (void)::fchown(tempFd.get(), original.st_uid, original.st_gid);
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    (void)::fchmod(tempFd.get(), 0666 & ~mask);
  }
  if (!WriteAll(tempFd.get(), *updated) || ::fdatasync(tempFd.get()) != 0) {
    return discardTemp(ERROR_ACCESS_DENIED);
  }
  struct stat written{};
  if (::fstat(tempFd.get(), &written) != 0) return discardTemp(ERROR_ACCESS_DENIED);
  if (::close(tempFd.release()) != 0) return discardTemp(ERROR_ACCESS_DENIED);
  if (::rename(tempName.c_str(), target.c_str()) != 0) return discardTemp(ErrnoToError(errno));
  (void)::fsync(folderFd.get());

  CacheStore(target, FileIdentity::Of(written),
             std::make_shared<const IniDocument>(std::move(*updated)));
  return ERROR_SUCCESS;
}

void FlushCache() {
  std::lock_guard lock(cacheMutex);
  cache.clear();
}

}  // namespace ov::ini_detail
