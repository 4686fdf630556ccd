#include "platform/system/regular_file.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace ov {

namespace {

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

FileProblem ProblemOfErrno(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR: return FileProblem::Missing;
    case ELOOP: return FileProblem::PlantedLink;
    default: return FileProblem::Unreadable;
  }
}

}  // namespace

const char* DescribeFileProblem(FileProblem problem) {
  switch (problem) {
    case FileProblem::None: return "is fine";
    case FileProblem::Missing: return "does not exist";
    case FileProblem::NotRegular: return "is not a regular file";
    case FileProblem::PlantedLink:
      return "is a symbolic link in a folder other users can write; it is not followed";
    case FileProblem::TooLarge: return "is too large for its kind";
    case FileProblem::Unreadable: return "cannot be read";
  }
  return "cannot be read";
}

bool OthersCanWrite(const struct stat& folder) {
  if (folder.st_mode & (S_IWGRP | S_IWOTH)) return true;
  return folder.st_uid != ::geteuid() && folder.st_uid != 0;
}

bool FolderOfFileOthersCanWrite(const std::string& filePath) {
  struct stat folder{};
  if (::stat(FolderOf(filePath).c_str(), &folder) != 0) return true;
  return OthersCanWrite(folder);
}

int OpenRegularFileForRead(const std::string& path, struct stat* st, FileProblem* problem) {
  *problem = FileProblem::None;
  struct stat link{};
  if (::lstat(path.c_str(), &link) != 0) {
    *problem = ProblemOfErrno(errno);
    return -1;
  }
  int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
  if (!S_ISLNK(link.st_mode) || FolderOfFileOthersCanWrite(path)) flags |= O_NOFOLLOW;
  int fd = ::open(path.c_str(), flags);
  if (fd < 0) {
    *problem = ProblemOfErrno(errno);
    return -1;
  }
  if (::fstat(fd, st) != 0 || !S_ISREG(st->st_mode)) {
    ::close(fd);
    *problem = FileProblem::NotRegular;
    return -1;
  }
  // Back to blocking reads: a regular file never blocks, and callers may use plain read loops.
  (void)::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

FileProblem ReadRegularFile(const std::string& path, size_t maxBytes, std::string& out) {
  out.clear();
  struct stat st{};
  FileProblem problem = FileProblem::None;
  int fd = OpenRegularFileForRead(path, &st, &problem);
  if (fd < 0) return problem;
  if (st.st_size < 0 || static_cast<uint64_t>(st.st_size) > maxBytes) {
    ::close(fd);
    return FileProblem::TooLarge;
  }
  out.reserve(static_cast<size_t>(st.st_size));
  char chunk[65536];
  for (;;) {
    ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) problem = FileProblem::Unreadable;
    if (n <= 0) break;
    // The file may grow while it is read.
    if (out.size() + static_cast<size_t>(n) > maxBytes) {
      problem = FileProblem::TooLarge;
      break;
    }
    out.append(chunk, static_cast<size_t>(n));
  }
  ::close(fd);
  if (problem != FileProblem::None) out.clear();
  return problem;
}

}  // namespace ov
