#include "platform/ini/ini_file_store.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <list>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/system/error_codes.h"

namespace ov::ini_detail {

namespace {

constexpr uint32_t ERROR_PATH_NOT_FOUND = 3;

// Cached texts are dropped, oldest first, beyond this many bytes.
constexpr size_t kCacheBudgetBytes = 64u << 20;

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

// Reads a whole open file; false on a read error.
bool ReadAll(int fd, off_t sizeHint, std::string& out) {
  out.clear();
  if (sizeHint > 0) out.reserve(static_cast<size_t>(sizeHint));
  char chunk[65536];
  for (;;) {
    ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return true;
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

// Loads the file's current document; `exists` tells a missing file from an unreadable one.
std::shared_ptr<const IniDocument> LoadFresh(const std::string& key, uint32_t* error,
                                             bool* exists, struct stat* statOut) {
  *exists = false;
  FileDescriptor fd(::open(key.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) {
    *error = ErrnoToError(errno);
    if (errno != ENOENT) *exists = true;
    return nullptr;
  }
  *exists = true;
  struct stat st{};
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
    *error = ERROR_ACCESS_DENIED;
    return nullptr;
  }
  if (statOut) *statOut = st;
  FileIdentity id = FileIdentity::Of(st);
  if (auto cached = CacheLookup(key, id)) return cached;
  std::string text;
  if (!ReadAll(fd.get(), st.st_size, text)) {
    *error = ERROR_ACCESS_DENIED;
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

std::string ResolveTarget(const std::string& key) {
  std::error_code ec;
  if (std::filesystem::is_symlink(key, ec)) {
    auto real = std::filesystem::weakly_canonical(key, ec);
    if (!ec) return real.string();
  }
  return key;
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
  if (::stat(key.c_str(), &st) != 0) {
    *error = ErrnoToError(errno);
    return nullptr;
  }
  if (auto cached = CacheLookup(key, FileIdentity::Of(st))) return cached;
  bool exists = false;
  return LoadFresh(key, error, &exists, nullptr);
}

uint32_t UpdateFile(const std::string& fileName, const IniEdit& edit, bool createIfMissing) {
  if (fileName.empty()) return ERROR_ACCESS_DENIED;
  std::string target = ResolveTarget(CacheKey(fileName));
  std::filesystem::path targetPath(target);
  std::string folder = targetPath.parent_path().string();
  if (folder.empty()) folder = "/";

  FileDescriptor folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folderFd.get() < 0) return errno == ENOENT ? ERROR_PATH_NOT_FOUND : ErrnoToError(errno);
  while (::flock(folderFd.get(), LOCK_EX) != 0) {
    if (errno != EINTR) return ERROR_SHARING_VIOLATION;
  }

  uint32_t error = ERROR_SUCCESS;
  bool exists = false;
  struct stat original{};
  auto current = LoadFresh(target, &error, &exists, &original);
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
