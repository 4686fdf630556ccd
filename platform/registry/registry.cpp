#include "platform/registry/registry.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <unordered_set>

#include "platform/registry/hive_files.h"
#include "platform/registry/hive_store.h"
#include "platform/system/error_codes.h"
#include "platform/system/machine_root.h"

namespace ov {

using registry_detail::AcquireHive;
using registry_detail::EnumCursor;
using registry_detail::HiveLease;
using registry_detail::HiveWritable;
using registry_detail::KeyCounts;
using registry_detail::kTopKeyId;
using registry_detail::StoredValue;

namespace {

constexpr REGSAM kDelete = 0x00010000;
constexpr REGSAM kWriteDac = 0x00040000;
constexpr REGSAM kWriteOwner = 0x00080000;
constexpr REGSAM kMaximumAllowed = 0x02000000;
constexpr REGSAM kGenericAll = 0x10000000;
constexpr REGSAM kGenericWrite = 0x40000000;
constexpr REGSAM kGenericRead = 0x80000000;
constexpr REGSAM kWriteRights =
    KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | kDelete | kWriteDac | kWriteOwner;

// One lock for the whole registry of this process: calls are short, and the SQLite connections
// and the handle table are shared.
std::mutex registryMutex;

struct KeyObject {
  HiveId hive;
  std::string file;  // fixed when the key was opened: a later change of root does not move it
  int64_t id;
  REGSAM rights;
  // Where the last walk over this key's values and subkeys stopped.
  EnumCursor valueCursor;
  EnumCursor keyCursor;
};

std::unordered_set<const KeyObject*> liveHandles;

// Where a call starts: a predefined handle's top key (HKEY_CLASSES_ROOT: with its machine-hive
// path in front) or an open key.
struct Start {
  HiveId hive = HiveId::Machine;
  std::string file;
  int64_t id = kTopKeyId;
  REGSAM rights = KEY_ALL_ACCESS;
  bool predefined = false;
  bool classesRoot = false;
  // The call names the start itself (no subkey): what a predefined handle stands for is then
  // never deleted.
  bool atStart = false;
  std::vector<std::string> prefix;
  KeyObject* object = nullptr;  // the open key's own record; none for a predefined handle
};

uint32_t ResolveStart(HKEY key, Start* start) {
  key = PredefinedForm(key);
  if (PredefinedHive(key, &start->hive)) {
    // A mistyped root must not silently become a new, empty machine.
    if (!MachineRootUsable(nullptr)) return ERROR_PATH_NOT_FOUND;
    start->file = HiveFile(start->hive).string();
    start->id = kTopKeyId;
    start->rights = KEY_ALL_ACCESS;
    start->predefined = true;
    if (key == HKEY_CLASSES_ROOT) {
      start->classesRoot = true;
      start->prefix = {"SOFTWARE", "Classes"};
    }
    return ERROR_SUCCESS;
  }
  auto* object = reinterpret_cast<KeyObject*>(key);
  if (key == nullptr || liveHandles.count(object) == 0) return ERROR_INVALID_HANDLE;
  start->object = object;
  start->hive = object->hive;
  start->file = object->file;
  start->id = object->id;
  start->rights = object->rights;
  return ERROR_SUCCESS;
}

// Backslash-separated names, as the host takes them: nullptr and "" are no names, trailing
// backslashes are dropped, a leading one is a bad path name (161) except on the classes root,
// whose merged view drops one (\clsid, and a lone \ for the root itself).
uint32_t SplitSubKey(const char* subKey, bool classesRoot, std::vector<std::string>* parts) {
  parts->clear();
  if (subKey == nullptr || *subKey == '\0') return ERROR_SUCCESS;
  std::string_view rest(subKey);
  if (classesRoot && rest.front() == '\\') rest.remove_prefix(1);
  if (rest.empty()) return ERROR_SUCCESS;
  if (rest.front() == '\\') return ERROR_BAD_PATHNAME;
  while (rest.back() == '\\') rest.remove_suffix(1);  // stops at the first name
  while (true) {
    size_t cut = rest.find('\\');
    std::string_view part = rest.substr(0, cut);
    if (part.empty() || part.size() > kMaxKeyNameChars) return ERROR_INVALID_PARAMETER;
    parts->emplace_back(part);
    if (cut == std::string_view::npos) break;
    rest.remove_prefix(cut + 1);
  }
  return ERROR_SUCCESS;
}

std::string_view ValueName(const char* name) { return name == nullptr ? "" : name; }

REGSAM EffectiveRights(REGSAM desired, bool hiveWritable) {
  REGSAM rights = desired & ~(KEY_WOW64_64KEY | KEY_WOW64_32KEY);
  if (rights & kGenericRead) rights |= KEY_READ;
  if (rights & kGenericWrite) rights |= KEY_WRITE;
  if (rights & kGenericAll) rights |= KEY_ALL_ACCESS;
  if (rights & kMaximumAllowed) rights |= hiveWritable ? KEY_ALL_ACCESS : KEY_READ;
  return rights & ~(kGenericRead | kGenericWrite | kGenericAll | kMaximumAllowed);
}

// The id of the start key plus `parts`. An open key that is gone gives ERROR_KEY_DELETED.
uint32_t Locate(HiveLease& lease, const Start& start, const std::vector<std::string>& parts,
                int64_t* id) {
  if (!start.predefined) {
    bool exists = false;
    if (uint32_t err = lease.keyExists(start.id, &exists)) return err;
    if (!exists) return ERROR_KEY_DELETED;
  }
  int64_t current = start.id;
  if (uint32_t err = lease.resolvePath(current, start.prefix, &current)) return err;
  if (uint32_t err = lease.resolvePath(current, parts, &current)) return err;
  *id = current;
  return ERROR_SUCCESS;
}

// Runs `body` on the key named by (key, subKey) inside one read transaction.
template <typename Body>
uint32_t WithKeyForRead(HKEY key, const char* subKey, REGSAM needed, Body&& body) {
  Start start;
  if (uint32_t err = ResolveStart(key, &start)) return err;
  if ((start.rights & needed) != needed) return ERROR_ACCESS_DENIED;
  std::vector<std::string> parts;
  if (uint32_t err = SplitSubKey(subKey, start.classesRoot, &parts)) return err;
  start.atStart = parts.empty();
  HiveLease lease;
  if (uint32_t err = AcquireHive(start.hive, start.file, false, &lease)) return err;
  if (uint32_t err = lease.begin(false)) return err;
  int64_t id = 0;
  uint32_t err = Locate(lease, start, parts, &id);
  if (err == ERROR_SUCCESS) err = body(lease, start, id);
  if (uint32_t end = lease.commit(); err == ERROR_SUCCESS) err = end;
  return err;
}

// Runs `body` on the key named by (key, subKey) inside one write transaction.
template <typename Body>
uint32_t WithKeyForWrite(HKEY key, const char* subKey, REGSAM needed, Body&& body) {
  Start start;
  if (uint32_t err = ResolveStart(key, &start)) return err;
  if ((start.rights & needed) != needed) return ERROR_ACCESS_DENIED;
  std::vector<std::string> parts;
  if (uint32_t err = SplitSubKey(subKey, start.classesRoot, &parts)) return err;
  start.atStart = parts.empty();
  HiveLease lease;
  if (uint32_t err = AcquireHive(start.hive, start.file, true, &lease)) return err;
  if (uint32_t err = lease.begin(true)) return err;
  int64_t id = 0;
  uint32_t err = Locate(lease, start, parts, &id);
  if (err == ERROR_SUCCESS) err = body(lease, start, id);
  if (err != ERROR_SUCCESS) {
    lease.rollback();
    return err;
  }
  return lease.commit();
}

// A hive's top key, or the key a predefined handle stands for (HKEY_CLASSES_ROOT is the machine
// hive's SOFTWARE\Classes, also when named by a lone backslash): never deleted.
bool IsPredefinedTop(const Start& start, int64_t id) {
  return id == kTopKeyId || (start.predefined && start.atStart);
}

HKEY NewHandle(const Start& start, int64_t id, REGSAM rights) {
  auto* object = new KeyObject{start.hive, start.file, id, rights, {}, {}};
  liveHandles.insert(object);
  return reinterpret_cast<HKEY>(object);
}

uint32_t CopyName(std::string_view name, char* buffer, uint32_t* chars) {
  if (*chars <= name.size()) {
    *chars = static_cast<uint32_t>(name.size());
    return ERROR_MORE_DATA;
  }
  std::memcpy(buffer, name.data(), name.size());
  buffer[name.size()] = '\0';
  *chars = static_cast<uint32_t>(name.size());
  return ERROR_SUCCESS;
}

bool IsStringType(uint32_t type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// The size protocol of value reads: no buffer asks for the size, a short one gets it back.
// `room` is the buffer size the caller passed, read before anything was written (the caller's
// type and size may be one variable); `*size` is written last. String data stored without its
// NUL gets one after it when the buffer has room, so C-string readers stop at its end; the size
// reported stays the stored one.
uint32_t CopyData(std::string_view data, uint32_t type, uint8_t* buffer, uint32_t room,
                  uint32_t* size) {
  const auto needed = static_cast<uint32_t>(data.size());
  if (buffer == nullptr) {
    if (size != nullptr) *size = needed;
    return ERROR_SUCCESS;
  }
  if (room < needed) {
    *size = needed;
    return ERROR_MORE_DATA;
  }
  if (needed > 0) std::memcpy(buffer, data.data(), needed);
  if (IsStringType(type) && room > needed && (data.empty() || data.back() != '\0')) {
    buffer[needed] = 0;
  }
  *size = needed;
  return ERROR_SUCCESS;
}

}  // namespace

uint32_t RegOpenKeyEx(HKEY key, const char* subKey, uint32_t /*options*/, REGSAM desired,
                      HKEY* result) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  std::lock_guard lock(registryMutex);
  // The host leaves the result alone for a bad handle and clears it for every other failure.
  HiveId hive;
  if (!PredefinedHive(key, &hive) && liveHandles.count(reinterpret_cast<KeyObject*>(key)) == 0) {
    return ERROR_INVALID_HANDLE;
  }
  *result = nullptr;
  Start start;
  int64_t id = 0;
  uint32_t err = WithKeyForRead(key, subKey, 0, [&](HiveLease&, const Start& s, int64_t found) {
    start = s;
    id = found;
    return ERROR_SUCCESS;
  });
  if (err) return err;
  const bool writable = HiveWritable(start.file);
  const REGSAM rights = EffectiveRights(desired, writable);
  if ((rights & kWriteRights) && !writable) return ERROR_ACCESS_DENIED;
  *result = NewHandle(start, id, rights);
  return ERROR_SUCCESS;
}

uint32_t RegCreateKeyEx(HKEY key, const char* subKey, uint32_t /*reserved*/, char* /*className*/,
                        uint32_t /*options*/, REGSAM desired, const void* /*security*/,
                        HKEY* result, uint32_t* disposition) {
  if (result == nullptr) return ERROR_BADKEY;
  if (subKey == nullptr) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  std::lock_guard lock(registryMutex);
  Start start;
  int64_t id = 0;
  uint32_t err = WithKeyForRead(key, subKey, 0, [&](HiveLease&, const Start& s, int64_t found) {
    start = s;
    id = found;
    return ERROR_SUCCESS;
  });
  bool created = false;
  if (err == ERROR_FILE_NOT_FOUND) {
    // The read above accepted the path, so it splits cleanly here.
    std::vector<std::string> parts;
    SplitSubKey(subKey, PredefinedForm(key) == HKEY_CLASSES_ROOT, &parts);
    err = WithKeyForWrite(key, nullptr, KEY_CREATE_SUB_KEY,
                          [&](HiveLease& lease, const Start& s, int64_t parent) {
                            start = s;
                            id = parent;
                            for (const std::string& part : parts) {
                              uint32_t e = lease.findChild(id, part, &id);
                              if (e == ERROR_FILE_NOT_FOUND) {
                                e = lease.createChild(id, part, &id);
                                created = true;
                              } else {
                                created = false;
                              }
                              if (e) return e;
                            }
                            return ERROR_SUCCESS;
                          });
  }
  if (err) return err;
  const bool writable = HiveWritable(start.file);
  const REGSAM rights = EffectiveRights(desired, writable);
  if ((rights & kWriteRights) && !writable) return ERROR_ACCESS_DENIED;
  if (disposition != nullptr) {
    *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  }
  *result = NewHandle(start, id, rights);
  return ERROR_SUCCESS;
}

uint32_t RegCloseKey(HKEY key) {
  HiveId hive;
  if (PredefinedHive(key, &hive)) return ERROR_SUCCESS;
  std::lock_guard lock(registryMutex);
  auto* object = reinterpret_cast<KeyObject*>(key);
  if (key == nullptr || liveHandles.erase(object) == 0) return ERROR_INVALID_HANDLE;
  delete object;
  return ERROR_SUCCESS;
}

uint32_t RegQueryValueEx(HKEY key, const char* valueName, uint32_t* /*reserved*/, uint32_t* type,
                         uint8_t* data, uint32_t* dataSize) {
  if (data != nullptr && dataSize == nullptr) return ERROR_INVALID_PARAMETER;
  const uint32_t room = dataSize != nullptr ? *dataSize : 0;
  std::lock_guard lock(registryMutex);
  // A missing value has no data: its size is 0, as the host reports it.
  auto missing = [&] {
    if (dataSize != nullptr) *dataSize = 0;
    return ERROR_FILE_NOT_FOUND;
  };
  // The common case, a value of an open key, is one statement without a transaction around it;
  // whether the key itself is gone only matters when the value is not found.
  Start start;
  if (ResolveStart(key, &start) == ERROR_SUCCESS && !start.predefined) {
    if ((start.rights & KEY_QUERY_VALUE) == 0) return ERROR_ACCESS_DENIED;
    HiveLease lease;
    if (uint32_t err = AcquireHive(start.hive, start.file, false, &lease)) return err;
    StoredValue value;
    uint32_t err = lease.getValue(start.id, ValueName(valueName), &value);
    if (err == ERROR_FILE_NOT_FOUND) {
      bool exists = false;
      if (uint32_t e = lease.keyExists(start.id, &exists)) return e;
      return exists ? missing() : ERROR_KEY_DELETED;
    }
    if (err) return err;
    if (type != nullptr) *type = value.type;
    return CopyData(value.data, value.type, data, room, dataSize);
  }
  return WithKeyForRead(key, nullptr, KEY_QUERY_VALUE,
                        [&](HiveLease& lease, const Start&, int64_t id) {
                          StoredValue value;
                          uint32_t err = lease.getValue(id, ValueName(valueName), &value);
                          if (err == ERROR_FILE_NOT_FOUND) return missing();
                          if (err) return err;
                          if (type != nullptr) *type = value.type;
                          return CopyData(value.data, value.type, data, room, dataSize);
                        });
}

uint32_t RegSetValueEx(HKEY key, const char* valueName, uint32_t /*reserved*/, uint32_t type,
                       const uint8_t* data, uint32_t dataSize) {
  if (data == nullptr && dataSize > 0) return ERROR_INVALID_PARAMETER;
  const std::string_view name = ValueName(valueName);
  if (name.size() > kMaxValueNameChars) return ERROR_INVALID_PARAMETER;
  std::lock_guard lock(registryMutex);
  const std::string_view bytes(reinterpret_cast<const char*>(data), data == nullptr ? 0 : dataSize);
  return WithKeyForWrite(key, nullptr, KEY_SET_VALUE,
                         [&](HiveLease& lease, const Start&, int64_t id) {
                           return lease.setValue(id, name, type, bytes);
                         });
}

uint32_t RegDeleteValue(HKEY key, const char* valueName) {
  std::lock_guard lock(registryMutex);
  return WithKeyForWrite(key, nullptr, KEY_SET_VALUE,
                         [&](HiveLease& lease, const Start&, int64_t id) {
                           return lease.deleteValue(id, ValueName(valueName));
                         });
}

uint32_t RegDeleteKey(HKEY key, const char* subKey) {
  if (subKey == nullptr) return ERROR_INVALID_PARAMETER;
  std::lock_guard lock(registryMutex);
  return WithKeyForWrite(key, subKey, 0, [&](HiveLease& lease, const Start& start, int64_t id) {
    if (IsPredefinedTop(start, id)) return ERROR_ACCESS_DENIED;
    bool any = false;
    if (uint32_t err = lease.hasSubKeys(id, &any)) return err;
    if (any) return ERROR_ACCESS_DENIED;
    return lease.deleteKey(id);
  });
}

uint32_t SHDeleteKey(HKEY key, const char* subKey) {
  std::lock_guard lock(registryMutex);
  return WithKeyForWrite(key, subKey, 0, [&](HiveLease& lease, const Start& start, int64_t id) {
    if (IsPredefinedTop(start, id)) return ERROR_ACCESS_DENIED;
    return lease.deleteTree(id);
  });
}

uint32_t RegEnumValue(HKEY key, uint32_t index, char* valueName, uint32_t* valueNameChars,
                      uint32_t* /*reserved*/, uint32_t* type, uint8_t* data, uint32_t* dataSize) {
  if (valueName == nullptr || valueNameChars == nullptr) return ERROR_INVALID_PARAMETER;
  if (data != nullptr && dataSize == nullptr) return ERROR_INVALID_PARAMETER;
  const uint32_t room = dataSize != nullptr ? *dataSize : 0;
  std::lock_guard lock(registryMutex);
  return WithKeyForRead(key, nullptr, KEY_QUERY_VALUE,
                        [&](HiveLease& lease, const Start& start, int64_t id) {
                          EnumCursor scratch;
                          EnumCursor* cursor = start.object ? &start.object->valueCursor : &scratch;
                          StoredValue value;
                          if (uint32_t err = lease.enumValue(id, index, cursor, &value)) return err;
                          if (type != nullptr) *type = value.type;
                          const uint32_t dataErr =
                              CopyData(value.data, value.type, data, room, dataSize);
                          // Only the data short: the name buffer and its length stay as the
                          // caller passed them, so growing the data buffer and retrying works.
                          if (dataErr != ERROR_SUCCESS && *valueNameChars > value.name.size()) {
                            return dataErr;
                          }
                          const uint32_t nameErr =
                              CopyName(value.name, valueName, valueNameChars);
                          return nameErr ? nameErr : dataErr;
                        });
}

uint32_t RegEnumKeyEx(HKEY key, uint32_t index, char* name, uint32_t* nameChars,
                      uint32_t* /*reserved*/, char* className, uint32_t* classChars,
                      void* /*lastWriteTime*/) {
  if (name == nullptr || nameChars == nullptr) return ERROR_INVALID_PARAMETER;
  if (className != nullptr && classChars == nullptr) return ERROR_INVALID_PARAMETER;
  std::lock_guard lock(registryMutex);
  return WithKeyForRead(key, nullptr, KEY_ENUMERATE_SUB_KEYS,
                        [&](HiveLease& lease, const Start& start, int64_t id) {
                          EnumCursor scratch;
                          EnumCursor* cursor = start.object ? &start.object->keyCursor : &scratch;
                          std::string found;
                          if (uint32_t err = lease.enumKey(id, index, cursor, &found)) return err;
                          if (className != nullptr && classChars != nullptr && *classChars > 0) {
                            className[0] = '\0';
                          }
                          if (classChars != nullptr) *classChars = 0;
                          return CopyName(found, name, nameChars);
                        });
}

uint32_t RegQueryInfoKey(HKEY key, char* className, uint32_t* classChars, uint32_t* /*reserved*/,
                         uint32_t* subKeys, uint32_t* maxSubKeyChars, uint32_t* maxClassChars,
                         uint32_t* values, uint32_t* maxValueNameChars, uint32_t* maxValueBytes,
                         uint32_t* securityDescriptorBytes, void* /*lastWriteTime*/) {
  if (className != nullptr && classChars == nullptr) return ERROR_INVALID_PARAMETER;
  std::lock_guard lock(registryMutex);
  return WithKeyForRead(key, nullptr, KEY_QUERY_VALUE,
                        [&](HiveLease& lease, const Start&, int64_t id) {
                          KeyCounts c;
                          if (uint32_t err = lease.counts(id, &c)) return err;
                          if (className != nullptr && classChars != nullptr && *classChars > 0) {
                            className[0] = '\0';
                          }
                          if (classChars != nullptr) *classChars = 0;
                          if (subKeys != nullptr) *subKeys = c.subKeys;
                          if (maxSubKeyChars != nullptr) *maxSubKeyChars = c.maxSubKeyChars;
                          if (maxClassChars != nullptr) *maxClassChars = 0;
                          if (values != nullptr) *values = c.values;
                          if (maxValueNameChars != nullptr) {
                            *maxValueNameChars = c.maxValueNameChars;
                          }
                          if (maxValueBytes != nullptr) *maxValueBytes = c.maxValueBytes;
                          if (securityDescriptorBytes != nullptr) *securityDescriptorBytes = 0;
                          return ERROR_SUCCESS;
                        });
}

uint32_t RegCopyValues(HKEY from, HKEY to) {
  std::lock_guard lock(registryMutex);
  std::vector<StoredValue> values;
  uint32_t err = WithKeyForRead(from, nullptr, KEY_QUERY_VALUE,
                                [&](HiveLease& lease, const Start&, int64_t id) {
                                  return lease.listValues(id, &values);
                                });
  if (err) return err;
  return WithKeyForWrite(to, nullptr, KEY_SET_VALUE,
                         [&](HiveLease& lease, const Start&, int64_t id) {
                           for (const StoredValue& v : values) {
                             if (uint32_t e = lease.setValue(id, v.name, v.type, v.data)) return e;
                           }
                           return ERROR_SUCCESS;
                         });
}

uint32_t RegQueryKeyPath(HKEY key, std::string* path) {
  if (path == nullptr) return ERROR_INVALID_PARAMETER;
  std::lock_guard lock(registryMutex);
  return WithKeyForRead(key, nullptr, 0, [&](HiveLease& lease, const Start&, int64_t id) {
    return lease.keyPath(id, path);
  });
}

uint32_t RegReadValue(HKEY key, std::string_view subKey, std::string_view name, RegValue* value) {
  const std::string path(subKey);
  std::lock_guard lock(registryMutex);
  return WithKeyForRead(key, path.c_str(), 0, [&](HiveLease& lease, const Start&, int64_t id) {
    StoredValue stored;
    if (uint32_t err = lease.getValue(id, name, &stored)) return err;
    *value = RegValue{std::move(stored.name), stored.type, std::move(stored.data)};
    return ERROR_SUCCESS;
  });
}

uint32_t RegListValues(HKEY key, std::vector<RegValue>* values) {
  values->clear();
  std::vector<StoredValue> stored;
  {
    std::lock_guard lock(registryMutex);
    uint32_t err = WithKeyForRead(key, nullptr, KEY_QUERY_VALUE,
                                  [&](HiveLease& lease, const Start&, int64_t id) {
                                    return lease.listValues(id, &stored);
                                  });
    if (err) return err;
  }
  values->reserve(stored.size());
  for (StoredValue& v : stored) {
    values->push_back(RegValue{std::move(v.name), v.type, std::move(v.data)});
  }
  return ERROR_SUCCESS;
}

uint32_t RegListSubKeys(HKEY key, std::vector<std::string>* names) {
  names->clear();
  std::lock_guard lock(registryMutex);
  return WithKeyForRead(key, nullptr, KEY_ENUMERATE_SUB_KEYS,
                        [&](HiveLease& lease, const Start&, int64_t id) {
                          return lease.listKeys(id, names);
                        });
}

namespace {

// One hive's part of a batch: its transaction stays open until every change is made.
struct BatchHive {
  HiveId hive = HiveId::Machine;
  size_t firstChange = 0;
  HiveLease lease;
  bool begun = false;
  // Keys this batch has resolved, by folded path: a file names each parent over and over.
  std::unordered_map<std::string, int64_t> resolved;
};

// The key named by `parts`, created with every missing key on the way when `create`.
uint32_t ResolveForBatch(BatchHive& h, const std::vector<std::string>& parts, bool create,
                         int64_t* id) {
  int64_t current = kTopKeyId;
  std::string path;
  for (const std::string& part : parts) {
    path += '\\';
    path += registry_detail::FoldName(part);
    if (auto known = h.resolved.find(path); known != h.resolved.end()) {
      current = known->second;
      continue;
    }
    uint32_t err = h.lease.findChild(current, part, &current);
    if (err == ERROR_FILE_NOT_FOUND && create) err = h.lease.createChild(current, part, &current);
    if (err) return err;
    h.resolved.emplace(path, current);
  }
  *id = current;
  return ERROR_SUCCESS;
}

uint32_t ApplyChange(BatchHive& h, const RegChange& change, const std::vector<std::string>& parts,
                     bool belowRoot) {
  int64_t id = 0;
  switch (change.kind) {
    case RegChange::Kind::CreateKey: return ResolveForBatch(h, parts, true, &id);
    case RegChange::Kind::SetValue:
      if (uint32_t err = ResolveForBatch(h, parts, true, &id)) return err;
      return h.lease.setValue(id, change.name, change.type, change.data);
    case RegChange::Kind::DeleteValue: {
      uint32_t err = ResolveForBatch(h, parts, false, &id);
      if (err == ERROR_SUCCESS) err = h.lease.deleteValue(id, change.name);
      return err == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : err;
    }
    case RegChange::Kind::DeleteTree: {
      if (!belowRoot) return ERROR_ACCESS_DENIED;
      uint32_t err = ResolveForBatch(h, parts, false, &id);
      if (err == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
      if (err) return err;
      h.resolved.clear();  // keys remembered below it are gone now
      return h.lease.deleteTree(id);
    }
  }
  return ERROR_INVALID_PARAMETER;
}

}  // namespace

uint32_t RegApplyChanges(const std::vector<RegChange>& changes, size_t* failedIndex) {
  std::lock_guard lock(registryMutex);
  // Ordered by file, so that two batches over the same hives take their locks in one order.
  std::map<std::string, std::unique_ptr<BatchHive>> hives;
  std::vector<BatchHive*> target(changes.size());
  std::vector<std::vector<std::string>> parts(changes.size());
  std::vector<bool> belowRoot(changes.size());
  auto rollbackAll = [&] {
    for (auto& [file, h] : hives) {
      if (h->begun) h->lease.rollback();
    }
  };
  auto fail = [&](size_t index, uint32_t err) {
    rollbackAll();
    if (failedIndex != nullptr) *failedIndex = index;
    return err;
  };

  for (size_t i = 0; i < changes.size(); ++i) {
    const RegChange& change = changes[i];
    HiveId hive;
    if (!PredefinedHive(change.root, &hive)) return fail(i, ERROR_INVALID_HANDLE);
    Start start;
    if (uint32_t err = ResolveStart(change.root, &start)) return fail(i, err);
    std::vector<std::string> below;
    if (uint32_t err = SplitSubKey(change.path.c_str(), start.classesRoot, &below)) return fail(i, err);
    if (change.name.size() > kMaxValueNameChars) return fail(i, ERROR_INVALID_PARAMETER);
    belowRoot[i] = !below.empty();
    parts[i] = start.prefix;
    parts[i].insert(parts[i].end(), below.begin(), below.end());
    auto& slot = hives[start.file];
    if (!slot) {
      slot = std::make_unique<BatchHive>();
      slot->hive = start.hive;
      slot->firstChange = i;
    }
    target[i] = slot.get();
  }
  for (auto& [file, h] : hives) {
    if (uint32_t err = AcquireHive(h->hive, file, true, &h->lease)) return fail(h->firstChange, err);
    if (uint32_t err = h->lease.begin(true)) return fail(h->firstChange, err);
    h->begun = true;
  }
  for (size_t i = 0; i < changes.size(); ++i) {
    if (uint32_t err = ApplyChange(*target[i], changes[i], parts[i], belowRoot[i])) {
      return fail(i, err);
    }
  }
  for (auto& [file, h] : hives) {
    if (uint32_t err = h->lease.commit()) {
      h->begun = false;  // commit rolled it back
      return fail(h->firstChange, err);
    }
    h->begun = false;
  }
  return ERROR_SUCCESS;
}

}  // namespace ov
