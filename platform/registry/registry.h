#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The registry: hives kept in SQLite files under the machine root, reached through the host's
// registry calls with their argument conventions and error numbers.
//
//   HKEY_LOCAL_MACHINE  <root>/var/lib/ovui/registry/machine.db
//   HKEY_CLASSES_ROOT   SOFTWARE\Classes of the machine hive
//   HKEY_USERS          <root>/var/lib/ovui/registry/users.db
//   HKEY_CURRENT_USER   <root>/($XDG_CONFIG_HOME or $HOME/.config)/ovui/registry/current_user.db
//
// Key and value names are case-insensitive and case-preserving; folding is ASCII only (bytes above
// 0x7F compare exactly). Names and string data are narrow (UTF-8); REG_SZ data carries its NUL
// exactly as the caller passed it. Subkeys enumerate in case-folded name order, values in the order
// they were first written. Every write is one transaction; several processes may share a hive.
//
// Rights: a process that cannot write a hive's file gets ERROR_ACCESS_DENIED when it opens a key
// of that hive with any write right and on every write; reads keep working. A handle only allows
// what it was opened for (KEY_READ handles refuse writes with ERROR_ACCESS_DENIED); the predefined
// handles allow everything the process may do.
//
// All functions return the host's error numbers (platform/system/error_codes.h): 0 success,
// 2 key or value missing, 5 access denied, 6 bad handle, 87 bad argument, 161 subkey path
// starting with a backslash, 234 buffer too short, 259 end of enumeration, 1009 unreadable hive
// file, 1010 no place for the created key's handle, 1018 key deleted since it was opened,
// 32 hive locked by other processes for longer than the busy timeout.
//
// Subkey paths: trailing backslashes are dropped ("Software\Test\\" is "Software\Test"); a
// leading one gives 161, except on HKEY_CLASSES_ROOT, where one is dropped ("\clsid", "\").
// An empty name inside a path or a name over 255 characters gives 87.
namespace ov {

struct HKEY__;
using HKEY = HKEY__*;
using REGSAM = uint32_t;

inline HKEY const HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(uintptr_t{0x80000000u});
inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(uintptr_t{0x80000001u});
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(uintptr_t{0x80000002u});
inline HKEY const HKEY_USERS = reinterpret_cast<HKEY>(uintptr_t{0x80000003u});
// The same handles sign-extended (0xFFFFFFFF80000002), as the host's 64-bit headers make them,
// are accepted everywhere a predefined handle is.

// Value types.
constexpr uint32_t REG_NONE = 0;
constexpr uint32_t REG_SZ = 1;
constexpr uint32_t REG_EXPAND_SZ = 2;
constexpr uint32_t REG_BINARY = 3;
constexpr uint32_t REG_DWORD = 4;
constexpr uint32_t REG_MULTI_SZ = 7;
constexpr uint32_t REG_QWORD = 11;

// Access rights.
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_CREATE_LINK = 0x0020;
constexpr REGSAM KEY_WOW64_64KEY = 0x0100;  // accepted and ignored: there is one view
constexpr REGSAM KEY_WOW64_32KEY = 0x0200;  // accepted and ignored
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_EXECUTE = 0x20019;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

// RegCreateKeyEx options and dispositions. Volatile keys are stored like any other.
constexpr uint32_t REG_OPTION_NON_VOLATILE = 0;
constexpr uint32_t REG_OPTION_VOLATILE = 1;
constexpr uint32_t REG_CREATED_NEW_KEY = 1;
constexpr uint32_t REG_OPENED_EXISTING_KEY = 2;

// Longest key name component and value name, in characters.
constexpr uint32_t kMaxKeyNameChars = 255;
constexpr uint32_t kMaxValueNameChars = 16383;

// Opens `subKey` (backslash-separated, nullptr or "" = `key` itself) with the rights `desired`.
// `*result` is cleared on failure, except for a bad handle (6), where it is left as it was.
uint32_t RegOpenKeyEx(HKEY key, const char* subKey, uint32_t options, REGSAM desired,
                      HKEY* result);

// Opens or creates `subKey` with every missing key on the way. `disposition` (optional) tells
// whether the last key was created. `className` and `security` are ignored. No `result`
// gives 1010.
uint32_t RegCreateKeyEx(HKEY key, const char* subKey, uint32_t reserved, char* className,
                        uint32_t options, REGSAM desired, const void* security, HKEY* result,
                        uint32_t* disposition);

// Closing a predefined handle succeeds and does nothing.
uint32_t RegCloseKey(HKEY key);

// `valueName` nullptr or "" is the key's unnamed value. With `data` nullptr and `dataSize` set,
// stores the size needed. A short buffer gives ERROR_MORE_DATA with the needed size in
// `*dataSize` and leaves the buffer untouched. `type` is optional and may be the same variable
// as `dataSize` (the size is read first and written last). A missing value sets `*dataSize` to
// 0. REG_SZ, REG_EXPAND_SZ and REG_MULTI_SZ data stored without a final NUL get one after the
// data when the buffer has room for it; `*dataSize` stays the stored size.
uint32_t RegQueryValueEx(HKEY key, const char* valueName, uint32_t* reserved, uint32_t* type,
                         uint8_t* data, uint32_t* dataSize);

// Stores `dataSize` bytes of `data` verbatim with the given type; never reads past them, not
// even for the NUL that may follow a string in memory.
uint32_t RegSetValueEx(HKEY key, const char* valueName, uint32_t reserved, uint32_t type,
                       const uint8_t* data, uint32_t dataSize);

uint32_t RegDeleteValue(HKEY key, const char* valueName);

// Deletes `subKey` ("" = `key` itself), which must have no subkeys: ERROR_ACCESS_DENIED when it
// has some, as on the host. A hive's own top key cannot be deleted.
uint32_t RegDeleteKey(HKEY key, const char* subKey);

// Deletes `subKey` with everything below it, in one transaction.
uint32_t SHDeleteKey(HKEY key, const char* subKey);

// The index-th value. `valueNameChars` holds the buffer size in characters on entry and the
// name length without its NUL on return; a short name buffer gives ERROR_MORE_DATA with the
// needed sizes stored. When only the data buffer is short, ERROR_MORE_DATA stores the data size
// and leaves the name buffer and `*valueNameChars` as passed. String data as in RegQueryValueEx.
// ERROR_NO_MORE_ITEMS past the last value.
uint32_t RegEnumValue(HKEY key, uint32_t index, char* valueName, uint32_t* valueNameChars,
                      uint32_t* reserved, uint32_t* type, uint8_t* data, uint32_t* dataSize);

// The index-th subkey name. Classes are always empty (a class buffer without its length gives
// 87); `lastWriteTime` is ignored.
uint32_t RegEnumKeyEx(HKEY key, uint32_t index, char* name, uint32_t* nameChars,
                      uint32_t* reserved, char* className, uint32_t* classChars,
                      void* lastWriteTime);

// Counts and longest sizes (names in characters without NUL, data in bytes). Unused outputs may
// be nullptr; class, security descriptor and time are always empty (a class buffer without its
// length gives 87).
uint32_t RegQueryInfoKey(HKEY key, char* className, uint32_t* classChars, uint32_t* reserved,
                         uint32_t* subKeys, uint32_t* maxSubKeyChars, uint32_t* maxClassChars,
                         uint32_t* values, uint32_t* maxValueNameChars, uint32_t* maxValueBytes,
                         uint32_t* securityDescriptorBytes, void* lastWriteTime);

// Copies every value of `from` (with its type) into `to`, replacing values of the same names, in
// one transaction of the destination's hive. Subkeys are not copied.
uint32_t RegCopyValues(HKEY from, HKEY to);

// The key's path below its hive's top key, with the names' stored letter case ("" for the top).
// Keys reached through HKEY_CLASSES_ROOT report their machine-hive path (SOFTWARE\Classes\...).
uint32_t RegQueryKeyPath(HKEY key, std::string* path);

// ---- C++ conveniences over the calls above ----

struct RegValue {
  std::string name;
  uint32_t type = REG_NONE;
  std::string data;  // raw bytes
};

// Multi-string data: each item followed by a NUL, then one more NUL. Items must not be empty
// (an empty item would end the list); an empty list is a single NUL.
std::string EncodeMultiString(const std::vector<std::string>& items);
std::vector<std::string> DecodeMultiString(std::string_view data);

// String data with its terminating NUL.
std::string EncodeString(std::string_view text);
// String data without trailing NULs.
std::string DecodeString(std::string_view data);

// Reads one value of `subKey` of `key` ("" = `key` itself) with one lookup; `value->name` is the
// name as stored. Returns the error number.
uint32_t RegReadValue(HKEY key, std::string_view subKey, std::string_view name, RegValue* value);

// Typed reads: nullopt when the key or value is missing, unreadable or of another type
// (strings accept REG_SZ and REG_EXPAND_SZ, numbers REG_DWORD of 4 bytes).
std::optional<uint32_t> RegReadDword(HKEY key, std::string_view subKey, std::string_view name);
std::optional<std::string> RegReadString(HKEY key, std::string_view subKey, std::string_view name);
std::optional<std::vector<std::string>> RegReadMultiString(HKEY key, std::string_view subKey,
                                                            std::string_view name);

// Writes create `subKey` when it is missing. Return the error number.
uint32_t RegWriteValue(HKEY key, std::string_view subKey, std::string_view name, uint32_t type,
                       std::string_view data);
uint32_t RegWriteDword(HKEY key, std::string_view subKey, std::string_view name, uint32_t value);
uint32_t RegWriteString(HKEY key, std::string_view subKey, std::string_view name,
                        std::string_view text, uint32_t type = REG_SZ);
uint32_t RegWriteMultiString(HKEY key, std::string_view subKey, std::string_view name,
                             const std::vector<std::string>& items);

// Every value of an open key in enumeration order, and every subkey name in enumeration order,
// each read in one pass (linear in the key's size).
uint32_t RegListValues(HKEY key, std::vector<RegValue>* values);
uint32_t RegListSubKeys(HKEY key, std::vector<std::string>* names);

// One change of a batch, on a key named from a predefined handle.
struct RegChange {
  enum class Kind {
    CreateKey,    // the key and every missing key on the way
    DeleteTree,   // the key and everything below it; a missing key counts as done
    SetValue,     // creates the key when it is missing
    DeleteValue,  // a missing value or key counts as done
  };
  Kind kind = Kind::CreateKey;
  HKEY root = HKEY_LOCAL_MACHINE;
  std::string path;
  std::string name;
  uint32_t type = REG_NONE;
  std::string data;
};

// Applies `changes` in order as one transaction per hive: the transactions of every hive
// involved are all open before the first change and committed only after the last, so a
// refusal or a killed process leaves every hive as it was (only a kill between the commits of
// two hives can leave one changed). On failure `*failedIndex` (optional) is the change that
// failed, or the first change of the hive that could not be opened. Deleting a hive's top key
// (or HKEY_CLASSES_ROOT itself) gives ERROR_ACCESS_DENIED; a root that is not predefined gives
// ERROR_INVALID_HANDLE.
uint32_t RegApplyChanges(const std::vector<RegChange>& changes, size_t* failedIndex);

// Owns an open key and closes it.
class RegKey {
 public:
  RegKey() = default;
  explicit RegKey(HKEY key) : key_(key) {}
  ~RegKey() { reset(); }
  RegKey(RegKey&& other) noexcept : key_(other.key_) { other.key_ = nullptr; }
  RegKey& operator=(RegKey&& other) noexcept;
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;

  uint32_t open(HKEY parent, std::string_view subKey, REGSAM desired = KEY_READ);
  uint32_t create(HKEY parent, std::string_view subKey, REGSAM desired = KEY_ALL_ACCESS,
                  uint32_t* disposition = nullptr);
  void reset();
  HKEY get() const { return key_; }
  explicit operator bool() const { return key_ != nullptr; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace ov
