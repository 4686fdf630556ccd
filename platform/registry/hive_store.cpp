#include "platform/registry/hive_store.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <list>
#include <memory>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/registry/hive_recovery.h"
#include "platform/system/error_codes.h"
#include "platform/system/ascii_text.h"

namespace ov::registry_detail {

namespace {

constexpr uint32_t ERROR_REGISTRY_IO_FAILED = 1016;

// Writers wait this long for other processes' transactions before giving up with
// ERROR_SHARING_VIOLATION. Transactions are a handful of row changes, so only a stuck process
// would ever hold a hive this long.
constexpr int kBusyTimeoutMs = 10000;

// Kept connections beyond this many (tests switch roots often) are closed, oldest first.
constexpr size_t kMaxKeptConnections = 8;

// Version of the table layout, kept in PRAGMA user_version; 0 means no tables yet. Version 2
// adds the per-key index of values in their order; a version-1 hive reads the same (only slower)
// and is brought to version 2 by its first writer.
constexpr int kSchemaVersion = 2;
constexpr int kOldestReadableSchema = 1;

// A rollback journal, not WAL: a WAL reader must be able to write the -shm file, and a process
// without write access to the machine hive must still read it. DELETE rather than TRUNCATE or
// PERSIST leaves no journal file behind between writes, so readers skip the hot-journal check's
// size probe. FULL sync because a torn hive would lose every setting in it.
constexpr const char* kWriterPragmas = "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL;";

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS keys(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  parent INTEGER NOT NULL,
  name TEXT NOT NULL,
  folded TEXT NOT NULL);
CREATE UNIQUE INDEX IF NOT EXISTS keys_by_parent ON keys(parent, folded);
CREATE TABLE IF NOT EXISTS vals(
  seq INTEGER PRIMARY KEY AUTOINCREMENT,
  key INTEGER NOT NULL,
  name TEXT NOT NULL,
  folded TEXT NOT NULL,
  type INTEGER NOT NULL,
  data BLOB NOT NULL);
CREATE UNIQUE INDEX IF NOT EXISTS vals_by_name ON vals(key, folded);
CREATE INDEX IF NOT EXISTS vals_by_key ON vals(key);
INSERT OR IGNORE INTO keys(id, parent, name, folded) VALUES(1, 0, '', '');
PRAGMA user_version = 2;
)sql";

// Keys every machine hive has, so that HKEY_CLASSES_ROOT always opens.
constexpr const char* kMachineSkeleton = R"sql(
INSERT OR IGNORE INTO keys(parent, name, folded) VALUES(1, 'SOFTWARE', 'SOFTWARE');
INSERT OR IGNORE INTO keys(parent, name, folded)
  SELECT id, 'Classes', 'CLASSES' FROM keys WHERE parent = 1 AND folded = 'SOFTWARE';
INSERT OR IGNORE INTO keys(parent, name, folded) VALUES(1, 'SYSTEM', 'SYSTEM');
)sql";

enum Statement {
  kBegin,
  kBeginImmediate,
  kCommit,
  kRollback,
  kFindChild,
  kKeyRow,
  kInsertKey,
  kHasChild,
  kDeleteKeyValues,
  kDeleteKeyRow,
  kDeleteTreeValues,
  kDeleteTreeKeys,
  kGetValue,
  kSetValue,
  kDeleteValue,
  kEnumValue,
  kEnumValueAfter,
  kEnumKey,
  kEnumKeyAfter,
  kListValues,
  kListKeys,
  kCountKeys,
  kCountValues,
  kStatementCount
};

constexpr const char* kTreeIds =
    "(WITH RECURSIVE t(id) AS (VALUES(?1) UNION ALL "
    "SELECT k.id FROM keys k JOIN t ON k.parent = t.id) SELECT id FROM t)";

const std::string& StatementText(Statement which) {
  static const std::string texts[kStatementCount] = {
      "BEGIN",
      "BEGIN IMMEDIATE",
      "COMMIT",
      "ROLLBACK",
      "SELECT id FROM keys WHERE parent = ?1 AND folded = ?2",
      "SELECT parent, name FROM keys WHERE id = ?1",
      "INSERT INTO keys(parent, name, folded) VALUES(?1, ?2, ?3)",
      "SELECT 1 FROM keys WHERE parent = ?1 LIMIT 1",
      "DELETE FROM vals WHERE key = ?1",
      "DELETE FROM keys WHERE id = ?1",
      std::string("DELETE FROM vals WHERE key IN ") + kTreeIds,
      std::string("DELETE FROM keys WHERE id IN ") + kTreeIds,
      "SELECT type, data, name FROM vals WHERE key = ?1 AND folded = ?2",
      "INSERT INTO vals(key, name, folded, type, data) VALUES(?1, ?2, ?3, ?4, ?5) "
      "ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, data = excluded.data",
      "DELETE FROM vals WHERE key = ?1 AND folded = ?2",
      "SELECT name, type, data, seq FROM vals WHERE key = ?1 ORDER BY seq LIMIT 1 OFFSET ?2",
      "SELECT name, type, data, seq FROM vals WHERE key = ?1 AND seq >= ?2 ORDER BY seq LIMIT 1",
      "SELECT name, folded FROM keys WHERE parent = ?1 ORDER BY folded LIMIT 1 OFFSET ?2",
      "SELECT name, folded FROM keys WHERE parent = ?1 AND folded > ?2 ORDER BY folded LIMIT 1",
      "SELECT name, type, data FROM vals WHERE key = ?1 ORDER BY seq",
      "SELECT name FROM keys WHERE parent = ?1 ORDER BY folded",
      "SELECT count(*), coalesce(max(length(CAST(name AS BLOB))), 0) FROM keys WHERE parent = ?1",
      "SELECT count(*), coalesce(max(length(CAST(name AS BLOB))), 0), "
      "coalesce(max(length(data)), 0) FROM vals WHERE key = ?1",
  };
  return texts[which];
}

uint32_t ErrorFromSqlite(int rc) {
  switch (rc & 0xFF) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE: return ERROR_SUCCESS;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return ERROR_SHARING_VIOLATION;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
    case SQLITE_CANTOPEN: return ERROR_ACCESS_DENIED;
    case SQLITE_NOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_SCHEMA:
    case SQLITE_ERROR: return ERROR_BADDB;
    default: return ERROR_REGISTRY_IO_FAILED;
  }
}

uint32_t ErrorFromErrno(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
    case EROFS: return ERROR_ACCESS_DENIED;
    case ENOENT:
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    default: return ERROR_REGISTRY_IO_FAILED;
  }
}

bool EffectiveAccess(const std::filesystem::path& path, int mode) {
  return faccessat(AT_FDCWD, path.c_str(), mode, AT_EACCESS) == 0;
}

bool IsSystemHive(HiveId hive) { return hive != HiveId::CurrentUser; }

// Folders and file of a new hive. The system hives get the modes of an installed system
// (root-owned when root creates them, 0755 folders, 0644 file) whatever the umask; the user's
// own hive stays private to the user.
uint32_t CreateHiveFile(HiveId hive, const std::string& file) {
  namespace fs = std::filesystem;
  const bool system = IsSystemHive(hive);
  std::vector<fs::path> missing;
  for (fs::path p = fs::path(file).parent_path(); !p.empty(); p = p.parent_path()) {
    struct stat st {};
    if (stat(p.c_str(), &st) == 0) {
      if (!S_ISDIR(st.st_mode)) return ERROR_PATH_NOT_FOUND;
      break;
    }
    missing.push_back(p);
    if (p == p.root_path()) break;
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    if (mkdir(it->c_str(), system ? 0755 : 0700) != 0) {
      if (errno == EEXIST) continue;
      return ErrorFromErrno(errno);
    }
    if (system) chmod(it->c_str(), 0755);
  }
  int fd = open(file.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, system ? 0644 : 0600);
  if (fd < 0) return errno == EEXIST ? ERROR_SUCCESS : ErrorFromErrno(errno);
  if (system) fchmod(fd, 0644);
  close(fd);
  return ERROR_SUCCESS;
}

}  // namespace

std::string FoldName(std::string_view name) { return AsciiUppered(name); }

namespace {
uint64_t lastConnectionSerial = 0;
}  // namespace

class HiveConnection {
 public:
  HiveConnection(sqlite3* db, std::string file, HiveId hive, const struct stat& st, bool writable)
      : db(db), file(std::move(file)), hive(hive), device(st.st_dev), inode(st.st_ino),
        size(st.st_size), modified(st.st_mtim), owner(getpid()), writable(writable),
        serial(++lastConnectionSerial) {}

  ~HiveConnection() {
    for (sqlite3_stmt*& s : statements) sqlite3_finalize(s);
    sqlite3_close_v2(db);
  }

  // Prepared once per connection: preparing costs more than running these statements.
  uint32_t prepare(Statement which, sqlite3_stmt** out) {
    if (statements[which] == nullptr) {
      const std::string& text = StatementText(which);
      int rc = sqlite3_prepare_v3(db, text.c_str(), static_cast<int>(text.size()),
                                  SQLITE_PREPARE_PERSISTENT, &statements[which], nullptr);
      if (rc != SQLITE_OK) return ErrorFromSqlite(rc);
    }
    *out = statements[which];
    return ERROR_SUCCESS;
  }

  sqlite3* db;
  std::string file;
  HiveId hive;
  dev_t device;
  ino_t inode;
  off_t size;          // of the file when opened: a rolled-back copy is current while they hold
  timespec modified;
  pid_t owner;
  bool writable;
  uint64_t serial;  // tells a cursor that its connection was replaced
  bool copy = false;  // a rolled-back copy of a file left with a hot journal
  int schemaVersion = 0;  // as last read; 0 until then
  sqlite3_stmt* statements[kStatementCount] = {};
};

namespace {

std::list<std::unique_ptr<HiveConnection>> kept;  // most recently used first
bool cachingEnabled = true;

// A child of fork() must not use its parent's SQLite connections; they are left alone (not
// closed, which could disturb the parent's locks) and forgotten.
void ForgetInheritedConnections() {
  const pid_t self = getpid();
  for (auto it = kept.begin(); it != kept.end();) {
    if ((*it)->owner != self) {
      (void)it->release();
      it = kept.erase(it);
    } else {
      ++it;
    }
  }
}

void DropConnection(const std::string& file) {
  kept.remove_if([&](const std::unique_ptr<HiveConnection>& c) { return c->file == file; });
}

// RAII over one use of a prepared statement: reset and unbound afterwards.
class Use {
 public:
  Use(HiveConnection* c, Statement which) { error_ = c->prepare(which, &stmt_); }
  ~Use() {
    if (stmt_ != nullptr) {
      sqlite3_reset(stmt_);
      sqlite3_clear_bindings(stmt_);
    }
  }
  uint32_t error() const { return error_; }
  Use& bind(int index, int64_t v) {
    sqlite3_bind_int64(stmt_, index, v);
    return *this;
  }
  Use& text(int index, std::string_view v) {
    sqlite3_bind_text(stmt_, index, v.data(), static_cast<int>(v.size()), SQLITE_STATIC);
    return *this;
  }
  Use& blob(int index, std::string_view v) {
    // A null pointer would bind NULL; the data column wants an empty blob.
    static const char kNothing = 0;
    sqlite3_bind_blob(stmt_, index, v.empty() ? &kNothing : v.data(), static_cast<int>(v.size()),
                      SQLITE_STATIC);
    return *this;
  }
  // SQLITE_ROW, SQLITE_DONE or an error code.
  int step() { return sqlite3_step(stmt_); }
  int64_t integer(int column) const { return sqlite3_column_int64(stmt_, column); }
  std::string bytes(int column) const {
    const void* p = sqlite3_column_blob(stmt_, column);
    int n = sqlite3_column_bytes(stmt_, column);
    return p == nullptr ? std::string() : std::string(static_cast<const char*>(p), n);
  }

 private:
  sqlite3_stmt* stmt_ = nullptr;
  uint32_t error_ = ERROR_SUCCESS;
};

uint32_t Run(HiveConnection* c, Statement which) {
  Use use(c, which);
  if (use.error()) return use.error();
  int rc = use.step();
  return rc == SQLITE_DONE || rc == SQLITE_ROW ? ERROR_SUCCESS : ErrorFromSqlite(rc);
}

uint32_t ReadSchemaVersion(HiveConnection* c, int* version) {
  sqlite3_stmt* stmt = nullptr;
  int rc = sqlite3_prepare_v2(c->db, "PRAGMA user_version", -1, &stmt, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_step(stmt);
  if (rc == SQLITE_ROW) *version = sqlite3_column_int(stmt, 0);
  sqlite3_finalize(stmt);
  return rc == SQLITE_ROW ? ERROR_SUCCESS : ErrorFromSqlite(rc);
}

uint32_t CreateSchema(HiveConnection* c) {
  std::string script = std::string("BEGIN IMMEDIATE;") + kSchema;
  if (c->hive == HiveId::Machine) script += kMachineSkeleton;
  script += "COMMIT;";
  int rc = sqlite3_exec(c->db, script.c_str(), nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_exec(c->db, "ROLLBACK", nullptr, nullptr, nullptr);
    return ErrorFromSqlite(rc);
  }
  return ERROR_SUCCESS;
}

uint32_t OpenConnection(HiveId hive, const std::string& file, const struct stat& st,
                        std::unique_ptr<HiveConnection>* out) {
  const std::filesystem::path folder = std::filesystem::path(file).parent_path();
  // The journal is created beside the file, so writing needs the folder as well.
  const bool mayWrite = EffectiveAccess(file, R_OK | W_OK) && EffectiveAccess(folder, W_OK | X_OK);
  const int flags = (mayWrite ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY) |
                    SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_EXRESCODE;
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(file.c_str(), &db, flags, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_close_v2(db);
    return ErrorFromSqlite(rc);
  }
  const bool writable = mayWrite && sqlite3_db_readonly(db, "main") == 0;
  auto connection = std::make_unique<HiveConnection>(db, file, hive, st, writable);
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  if (writable) {
    rc = sqlite3_exec(db, kWriterPragmas, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) return ErrorFromSqlite(rc);
  }
  *out = std::move(connection);
  return ERROR_SUCCESS;
}

// Whether a reader that may not write the file is shut out by a journal left hot by a writer that
// died mid-commit. Costs a stat while no journal exists, which is all the time between writes.
bool LeftWithHotJournal(HiveConnection* c) {
  struct stat st {};
  if (stat(JournalOf(c->file).c_str(), &st) != 0) return false;
  sqlite3_stmt* stmt = nullptr;
  int rc = sqlite3_prepare_v2(c->db, "PRAGMA user_version", -1, &stmt, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_step(stmt);
  sqlite3_finalize(stmt);
  return rc == SQLITE_READONLY_ROLLBACK;
}

// A copy stays current while the journal is still there and the file unchanged.
bool CopyStillCurrent(const HiveConnection& c, const struct stat& st) {
  struct stat journal {};
  return stat(JournalOf(c.file).c_str(), &journal) == 0 && st.st_size == c.size &&
         st.st_mtim.tv_sec == c.modified.tv_sec && st.st_mtim.tv_nsec == c.modified.tv_nsec;
}

// A rolled-back copy of the file; none (and 0) when the journal went away meanwhile.
uint32_t OpenCopy(HiveId hive, const std::string& file, const struct stat& st,
                  std::unique_ptr<HiveConnection>* out) {
  out->reset();
  sqlite3* db = nullptr;
  if (uint32_t err = OpenRolledBackCopy(file, kBusyTimeoutMs, &db)) return err;
  if (db == nullptr) return ERROR_SUCCESS;
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  *out = std::make_unique<HiveConnection>(db, file, hive, st, false);
  (*out)->copy = true;
  return ERROR_SUCCESS;
}

}  // namespace

HiveLease::~HiveLease() {
  if (connection_ != nullptr && !cachingEnabled) DropConnection(connection_->file);
}

bool HiveLease::writable() const { return connection_ != nullptr && connection_->writable; }

uint32_t AcquireHive(HiveId hive, const std::string& file, bool write, HiveLease* lease) {
  ForgetInheritedConnections();
  lease->connection_ = nullptr;

  struct stat st {};
  if (stat(file.c_str(), &st) != 0) {
    DropConnection(file);
    if (!write) return ERROR_SUCCESS;
    if (uint32_t err = CreateHiveFile(hive, file)) return err;
    if (stat(file.c_str(), &st) != 0) return ErrorFromErrno(errno);
  }

  auto it = kept.begin();
  for (; it != kept.end(); ++it) {
    if ((*it)->file == file) break;
  }
  if (it != kept.end()) {
    // A replaced file, or a writer's need where only a reader was opened: start afresh.
    const bool replaced = (*it)->device != st.st_dev || (*it)->inode != st.st_ino;
    if (replaced || (write && !(*it)->writable) || ((*it)->copy && !CopyStillCurrent(**it, st))) {
      kept.erase(it);
      it = kept.end();
    }
  }
  if (it == kept.end()) {
    std::unique_ptr<HiveConnection> opened;
    if (uint32_t err = OpenConnection(hive, file, st, &opened)) return err;
    kept.push_front(std::move(opened));
    while (kept.size() > kMaxKeptConnections) kept.pop_back();
    it = kept.begin();
  } else if (it != kept.begin()) {
    kept.splice(kept.begin(), kept, it);
    it = kept.begin();
  }

  HiveConnection* c = it->get();
  if (write && !c->writable) return ERROR_ACCESS_DENIED;
  if (!c->writable && !c->copy && LeftWithHotJournal(c)) {
    kept.erase(it);
    std::unique_ptr<HiveConnection> copy;
    if (uint32_t err = OpenCopy(hive, file, st, &copy)) return err;
    if (copy == nullptr) {
      // A writer rolled the journal back meanwhile: the file itself reads again.
      if (uint32_t err = OpenConnection(hive, file, st, &copy)) return err;
    }
    kept.push_front(std::move(copy));
    c = kept.front().get();
  }
  if (c->schemaVersion < kSchemaVersion && (write || c->schemaVersion < kOldestReadableSchema)) {
    int version = 0;
    if (uint32_t err = ReadSchemaVersion(c, &version)) return err;
    if (version < kSchemaVersion && write) {
      if (uint32_t err = CreateSchema(c)) return err;
      version = kSchemaVersion;
    }
    if (version > kSchemaVersion) return ERROR_BADDB;
    c->schemaVersion = version;
  }
  // A file without tables yet reads as empty.
  if (c->schemaVersion < kOldestReadableSchema) return ERROR_SUCCESS;
  lease->connection_ = c;
  return ERROR_SUCCESS;
}

bool HiveWritable(const std::string& file) {
  namespace fs = std::filesystem;
  struct stat st {};
  if (stat(file.c_str(), &st) == 0) {
    return EffectiveAccess(file, R_OK | W_OK) &&
           EffectiveAccess(fs::path(file).parent_path(), W_OK | X_OK);
  }
  for (fs::path p = fs::path(file).parent_path(); !p.empty(); p = p.parent_path()) {
    if (stat(p.c_str(), &st) == 0) return S_ISDIR(st.st_mode) && EffectiveAccess(p, W_OK | X_OK);
    if (p == p.root_path()) break;
  }
  return false;
}

void SetConnectionCaching(bool enabled) {
  cachingEnabled = enabled;
  if (!enabled) CloseConnections();
}

void CloseConnections() {
  ForgetInheritedConnections();
  kept.clear();
}

// ---- operations ----

uint32_t HiveLease::begin(bool write) {
  if (empty()) return ERROR_SUCCESS;
  return Run(connection_, write ? kBeginImmediate : kBegin);
}

uint32_t HiveLease::commit() {
  if (empty()) return ERROR_SUCCESS;
  uint32_t err = Run(connection_, kCommit);
  if (err) rollback();
  return err;
}

void HiveLease::rollback() {
  if (empty()) return;
  if (!sqlite3_get_autocommit(connection_->db)) Run(connection_, kRollback);
}

uint32_t HiveLease::findChild(int64_t parent, std::string_view name, int64_t* child) {
  if (empty()) return ERROR_FILE_NOT_FOUND;
  const std::string folded = FoldName(name);
  Use use(connection_, kFindChild);
  if (use.error()) return use.error();
  use.bind(1, parent).text(2, folded);
  int rc = use.step();
  if (rc == SQLITE_ROW) {
    *child = use.integer(0);
    return ERROR_SUCCESS;
  }
  return rc == SQLITE_DONE ? ERROR_FILE_NOT_FOUND : ErrorFromSqlite(rc);
}

uint32_t HiveLease::resolvePath(int64_t start, const std::vector<std::string>& parts,
                                int64_t* id) {
  int64_t current = start;
  for (const std::string& part : parts) {
    if (uint32_t err = findChild(current, part, &current)) return err;
  }
  *id = current;
  return ERROR_SUCCESS;
}

uint32_t HiveLease::keyExists(int64_t id, bool* exists) {
  if (empty()) {
    *exists = id == kTopKeyId;
    return ERROR_SUCCESS;
  }
  Use use(connection_, kKeyRow);
  if (use.error()) return use.error();
  use.bind(1, id);
  int rc = use.step();
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) return ErrorFromSqlite(rc);
  *exists = rc == SQLITE_ROW;
  return ERROR_SUCCESS;
}

uint32_t HiveLease::createChild(int64_t parent, std::string_view name, int64_t* child) {
  if (empty()) return ERROR_ACCESS_DENIED;
  const std::string folded = FoldName(name);
  Use use(connection_, kInsertKey);
  if (use.error()) return use.error();
  use.bind(1, parent).text(2, name).text(3, folded);
  int rc = use.step();
  if (rc != SQLITE_DONE) return ErrorFromSqlite(rc);
  *child = sqlite3_last_insert_rowid(connection_->db);
  return ERROR_SUCCESS;
}

uint32_t HiveLease::hasSubKeys(int64_t id, bool* any) {
  if (empty()) {
    *any = false;
    return ERROR_SUCCESS;
  }
  Use use(connection_, kHasChild);
  if (use.error()) return use.error();
  use.bind(1, id);
  int rc = use.step();
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) return ErrorFromSqlite(rc);
  *any = rc == SQLITE_ROW;
  return ERROR_SUCCESS;
}

uint32_t HiveLease::deleteKey(int64_t id) {
  if (empty()) return ERROR_ACCESS_DENIED;
  {
    Use use(connection_, kDeleteKeyValues);
    if (use.error()) return use.error();
    use.bind(1, id);
    if (int rc = use.step(); rc != SQLITE_DONE) return ErrorFromSqlite(rc);
  }
  Use use(connection_, kDeleteKeyRow);
  if (use.error()) return use.error();
  use.bind(1, id);
  if (int rc = use.step(); rc != SQLITE_DONE) return ErrorFromSqlite(rc);
  return ERROR_SUCCESS;
}

uint32_t HiveLease::deleteTree(int64_t id) {
  if (empty()) return ERROR_ACCESS_DENIED;
  for (Statement which : {kDeleteTreeValues, kDeleteTreeKeys}) {
    Use use(connection_, which);
    if (use.error()) return use.error();
    use.bind(1, id);
    if (int rc = use.step(); rc != SQLITE_DONE) return ErrorFromSqlite(rc);
  }
  return ERROR_SUCCESS;
}

uint32_t HiveLease::keyPath(int64_t id, std::string* path) {
  if (empty() && id != kTopKeyId) return ERROR_KEY_DELETED;
  std::vector<std::string> names;
  for (int64_t current = id; current != kTopKeyId;) {
    Use use(connection_, kKeyRow);
    if (use.error()) return use.error();
    use.bind(1, current);
    int rc = use.step();
    if (rc == SQLITE_DONE) return ERROR_KEY_DELETED;
    if (rc != SQLITE_ROW) return ErrorFromSqlite(rc);
    current = use.integer(0);
    names.push_back(use.bytes(1));
  }
  path->clear();
  for (auto it = names.rbegin(); it != names.rend(); ++it) {
    if (!path->empty()) path->push_back('\\');
    *path += *it;
  }
  return ERROR_SUCCESS;
}

uint32_t HiveLease::counts(int64_t id, KeyCounts* counts) {
  if (empty()) {
    *counts = KeyCounts{};
    return ERROR_SUCCESS;
  }
  {
    Use use(connection_, kCountKeys);
    if (use.error()) return use.error();
    use.bind(1, id);
    int rc = use.step();
    if (rc != SQLITE_ROW) return ErrorFromSqlite(rc);
    counts->subKeys = static_cast<uint32_t>(use.integer(0));
    counts->maxSubKeyChars = static_cast<uint32_t>(use.integer(1));
  }
  Use use(connection_, kCountValues);
  if (use.error()) return use.error();
  use.bind(1, id);
  int rc = use.step();
  if (rc != SQLITE_ROW) return ErrorFromSqlite(rc);
  counts->values = static_cast<uint32_t>(use.integer(0));
  counts->maxValueNameChars = static_cast<uint32_t>(use.integer(1));
  counts->maxValueBytes = static_cast<uint32_t>(use.integer(2));
  return ERROR_SUCCESS;
}

uint32_t HiveLease::getValue(int64_t key, std::string_view name, StoredValue* value) {
  if (empty()) return ERROR_FILE_NOT_FOUND;
  const std::string folded = FoldName(name);
  Use use(connection_, kGetValue);
  if (use.error()) return use.error();
  use.bind(1, key).text(2, folded);
  int rc = use.step();
  if (rc == SQLITE_DONE) return ERROR_FILE_NOT_FOUND;
  if (rc != SQLITE_ROW) return ErrorFromSqlite(rc);
  value->type = static_cast<uint32_t>(use.integer(0));
  value->data = use.bytes(1);
  value->name = use.bytes(2);
  return ERROR_SUCCESS;
}

uint32_t HiveLease::setValue(int64_t key, std::string_view name, uint32_t type,
                             std::string_view data) {
  if (empty()) return ERROR_ACCESS_DENIED;
  const std::string folded = FoldName(name);
  Use use(connection_, kSetValue);
  if (use.error()) return use.error();
  use.bind(1, key).text(2, name).text(3, folded).bind(4, type).blob(5, data);
  int rc = use.step();
  return rc == SQLITE_DONE ? ERROR_SUCCESS : ErrorFromSqlite(rc);
}

uint32_t HiveLease::deleteValue(int64_t key, std::string_view name) {
  if (empty()) return ERROR_ACCESS_DENIED;
  const std::string folded = FoldName(name);
  Use use(connection_, kDeleteValue);
  if (use.error()) return use.error();
  use.bind(1, key).text(2, folded);
  int rc = use.step();
  if (rc != SQLITE_DONE) return ErrorFromSqlite(rc);
  return sqlite3_changes(connection_->db) > 0 ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

namespace {

// The pager's data version: it changes with every commit to the file, whoever made it. Only
// meaningful inside a transaction that has read the file.
uint32_t DataVersion(HiveConnection* c) {
  unsigned int version = 0;
  sqlite3_file_control(c->db, "main", SQLITE_FCNTL_DATA_VERSION, &version);
  return version;
}

bool CursorHolds(const EnumCursor& cursor, HiveConnection* c, uint32_t version, int64_t key,
                 uint32_t index) {
  return cursor.connection == c->serial && cursor.dataVersion == version && cursor.key == key &&
         (index == cursor.index || index == cursor.index + 1);
}

}  // namespace

uint32_t HiveLease::enumValue(int64_t key, uint32_t index, EnumCursor* cursor,
                              StoredValue* value) {
  if (empty()) return ERROR_NO_MORE_ITEMS;
  const uint32_t version = DataVersion(connection_);
  const bool seek = CursorHolds(*cursor, connection_, version, key, index);
  cursor->connection = 0;
  Use use(connection_, seek ? kEnumValueAfter : kEnumValue);
  if (use.error()) return use.error();
  use.bind(1, key).bind(2, seek ? cursor->seq + (index == cursor->index ? 0 : 1) : int64_t{index});
  int rc = use.step();
  if (rc == SQLITE_DONE) return ERROR_NO_MORE_ITEMS;
  if (rc != SQLITE_ROW) return ErrorFromSqlite(rc);
  value->name = use.bytes(0);
  value->type = static_cast<uint32_t>(use.integer(1));
  value->data = use.bytes(2);
  *cursor = EnumCursor{connection_->serial, version, key, index, use.integer(3), {}, {}};
  return ERROR_SUCCESS;
}

uint32_t HiveLease::enumKey(int64_t key, uint32_t index, EnumCursor* cursor, std::string* name) {
  if (empty()) return ERROR_NO_MORE_ITEMS;
  const uint32_t version = DataVersion(connection_);
  const bool seek = CursorHolds(*cursor, connection_, version, key, index);
  if (seek && index == cursor->index) {
    *name = cursor->name;
    return ERROR_SUCCESS;
  }
  const std::string after = seek ? cursor->folded : std::string();
  cursor->connection = 0;
  Use use(connection_, seek ? kEnumKeyAfter : kEnumKey);
  if (use.error()) return use.error();
  use.bind(1, key);
  if (seek) {
    use.text(2, after);
  } else {
    use.bind(2, index);
  }
  int rc = use.step();
  if (rc == SQLITE_DONE) return ERROR_NO_MORE_ITEMS;
  if (rc != SQLITE_ROW) return ErrorFromSqlite(rc);
  *name = use.bytes(0);
  *cursor = EnumCursor{connection_->serial, version, key, index, 0, use.bytes(1), *name};
  return ERROR_SUCCESS;
}

uint32_t HiveLease::listValues(int64_t key, std::vector<StoredValue>* values) {
  values->clear();
  if (empty()) return ERROR_SUCCESS;
  Use use(connection_, kListValues);
  if (use.error()) return use.error();
  use.bind(1, key);
  int rc;
  while ((rc = use.step()) == SQLITE_ROW) {
    values->push_back(
        StoredValue{use.bytes(0), static_cast<uint32_t>(use.integer(1)), use.bytes(2)});
  }
  return rc == SQLITE_DONE ? ERROR_SUCCESS : ErrorFromSqlite(rc);
}

uint32_t HiveLease::listKeys(int64_t key, std::vector<std::string>* names) {
  names->clear();
  if (empty()) return ERROR_SUCCESS;
  Use use(connection_, kListKeys);
  if (use.error()) return use.error();
  use.bind(1, key);
  int rc;
  while ((rc = use.step()) == SQLITE_ROW) names->push_back(use.bytes(0));
  return rc == SQLITE_DONE ? ERROR_SUCCESS : ErrorFromSqlite(rc);
}

}  // namespace ov::registry_detail
