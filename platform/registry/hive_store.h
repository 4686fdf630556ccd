#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/hive_files.h"

struct sqlite3;
struct sqlite3_stmt;

// The SQLite side of the registry: one database file per hive, keys as rows with a parent link,
// values as rows of their key. Used only by registry.cpp (and the benchmark's switches); every
// function expects the registry's process-wide lock to be held.
namespace ov::registry_detail {

// Every hive has this top key from its creation on.
constexpr int64_t kTopKeyId = 1;

struct StoredValue {
  std::string name;
  uint32_t type = 0;
  std::string data;
};

struct KeyCounts {
  uint32_t subKeys = 0;
  uint32_t maxSubKeyChars = 0;
  uint32_t values = 0;
  uint32_t maxValueNameChars = 0;
  uint32_t maxValueBytes = 0;
};

// Where the last enumeration of one key stopped, so that the next index is one indexed step
// instead of a walk from the start. It holds only while the hive is unchanged since (any write,
// by this process or another, changes the hive's data version) and on the same connection.
struct EnumCursor {
  uint64_t connection = 0;  // 0: nothing remembered
  uint32_t dataVersion = 0;
  int64_t key = 0;
  uint32_t index = 0;
  int64_t seq = 0;          // values: the row of `index`
  std::string folded;       // subkeys: the folded name of `index`
  std::string name;         // subkeys: the stored name of `index`
};

// ASCII upper-case: the form names are compared and ordered in.
std::string FoldName(std::string_view name);

class HiveConnection;

// The connection a registry call works with. An empty lease stands for a hive whose file does
// not exist yet (or holds no tables yet): it has the top key and nothing else.
class HiveLease {
 public:
  HiveLease() = default;
  ~HiveLease();
  HiveLease(const HiveLease&) = delete;
  HiveLease& operator=(const HiveLease&) = delete;

  bool empty() const { return connection_ == nullptr; }
  bool writable() const;

  uint32_t begin(bool write);
  uint32_t commit();
  void rollback();

  // 0 and the id, or ERROR_FILE_NOT_FOUND.
  uint32_t findChild(int64_t parent, std::string_view name, int64_t* child);
  uint32_t resolvePath(int64_t start, const std::vector<std::string>& parts, int64_t* id);
  uint32_t keyExists(int64_t id, bool* exists);
  uint32_t createChild(int64_t parent, std::string_view name, int64_t* child);
  uint32_t hasSubKeys(int64_t id, bool* any);
  uint32_t deleteKey(int64_t id);
  uint32_t deleteTree(int64_t id);
  uint32_t keyPath(int64_t id, std::string* path);
  uint32_t counts(int64_t id, KeyCounts* counts);

  // 0 or ERROR_FILE_NOT_FOUND. `value->name` is the name as stored.
  uint32_t getValue(int64_t key, std::string_view name, StoredValue* value);
  uint32_t setValue(int64_t key, std::string_view name, uint32_t type, std::string_view data);
  uint32_t deleteValue(int64_t key, std::string_view name);
  // 0 or ERROR_NO_MORE_ITEMS. With `cursor` at index i of the same key, indexes i and i+1 cost
  // one indexed lookup; any other index walks from the start. The cursor is updated.
  uint32_t enumValue(int64_t key, uint32_t index, EnumCursor* cursor, StoredValue* value);
  uint32_t enumKey(int64_t key, uint32_t index, EnumCursor* cursor, std::string* name);
  // Every value in enumeration order, every subkey name in enumeration order: one statement.
  uint32_t listValues(int64_t key, std::vector<StoredValue>* values);
  uint32_t listKeys(int64_t key, std::vector<std::string>* names);

 private:
  friend uint32_t AcquireHive(HiveId, const std::string&, bool, HiveLease*);
  HiveConnection* connection_ = nullptr;
};

// Attaches `lease` to the hive in `file`. For writing, a missing hive is created (with its
// folders) and a hive this process cannot write gives ERROR_ACCESS_DENIED; for reading, a missing
// hive gives an empty lease.
uint32_t AcquireHive(HiveId hive, const std::string& file, bool write, HiveLease* lease);

// Whether this process could write the hive in `file` (or create it when it does not exist),
// judged from the file's and folders' permissions without touching them.
bool HiveWritable(const std::string& file);

// Connections are kept per process and file unless switched off (the benchmark compares both).
void SetConnectionCaching(bool enabled);
// Closes every kept connection.
void CloseConnections();

}  // namespace ov::registry_detail
