#pragma once
#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <string>

// Opening and reading files that someone else may have planted. A reader never blocks on a FIFO
// or a device, never reads a folder, and never follows a symbolic link that lies in a folder
// other users can write (the link could point anywhere, e.g. at a root-only file).
namespace ov {

enum class FileProblem {
  None,
  Missing,          // no such file (or folder on the way)
  NotRegular,       // a FIFO, socket, device or folder
  PlantedLink,      // a symbolic link in a folder other users can write
  TooLarge,         // over the size limit of its kind
  Unreadable,       // no permission or a read error
};

// The problem as a short phrase for messages: "is not a regular file", ...
const char* DescribeFileProblem(FileProblem problem);

// True when users other than this process's (and root) can create or replace entries in the
// folder described by `folder`: it is writable by group or others, or owned by another user.
bool OthersCanWrite(const struct stat& folder);
// The same for a file's folder, by the file's path; true when the folder cannot be examined.
bool FolderOfFileOthersCanWrite(const std::string& filePath);

// Opens an existing file for reading (close-on-exec, non-blocking open so a FIFO cannot hang
// it) and checks it is a regular file. A symbolic link as the last part of the path is followed
// only when its folder is private to the user. Returns the descriptor (>= 0) and fills `st`, or
// -1 with `problem` set.
int OpenRegularFileForRead(const std::string& path, struct stat* st, FileProblem* problem);

// Reads a whole regular file of at most `maxBytes` bytes, without ever holding more than
// maxBytes + one chunk in memory, whatever the file claims or does while it is read.
FileProblem ReadRegularFile(const std::string& path, size_t maxBytes, std::string& out);

}  // namespace ov
