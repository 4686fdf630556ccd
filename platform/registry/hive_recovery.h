#pragma once
#include <cstdint>
#include <string>

struct sqlite3;

// A reader that may not write a hive cannot roll back the journal a writer left when it died in
// the middle of a commit, and SQLite then refuses it every read. Such a reader reads the last
// committed state from a private copy instead: the hive and its journal are copied while a
// shared lock keeps every writer from touching them, and the copy is rolled back where this
// process may write.
namespace ov::registry_detail {

// The journal SQLite keeps beside `file`.
std::string JournalOf(const std::string& file);

// Opens a rolled-back copy of `file` (read-only use; its files are already removed). Returns
// 0 with `*db` set; 0 with `*db` null when the journal went away meanwhile (a writer rolled it
// back: read the file itself again); ERROR_SHARING_VIOLATION when writers kept the file locked
// for longer than `waitMs`; another error when the copy could not be made.
uint32_t OpenRolledBackCopy(const std::string& file, int waitMs, sqlite3** db);

}  // namespace ov::registry_detail
