#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/registry.h"

// Text forms of registry things for the command line: key names with their root, type names,
// value data typed by a user or shown to one, JSON, and the UTF-16 form of export files.
namespace ov::cli {

enum class RegRoot { LocalMachine, CurrentUser, Users, ClassesRoot };

struct RegKeyName {
  RegRoot root = RegRoot::LocalMachine;
  std::string path;  // below the root, "" for the root itself
};

// "HKLM\SOFTWARE\X" or "HKEY_LOCAL_MACHINE\SOFTWARE\X" (root names in any letter case).
// Rejects unknown roots, empty names ("A\\B") and names longer than 255 characters; one
// trailing backslash is dropped.
bool ParseKeyName(std::string_view text, RegKeyName* key, std::string* error);
// The long form: "HKEY_LOCAL_MACHINE\SOFTWARE\X".
std::string FormatKeyName(const RegKeyName& key);
const char* RootName(RegRoot root);
HKEY RootHandle(RegRoot root);

// "REG_SZ" ... for the known types; "REG_0x1234" for others.
std::string TypeName(uint32_t type);
// The known type names (any letter case) that `reg set` accepts.
bool ParseTypeName(std::string_view name, uint32_t* type);

// Builds value data from command-line arguments for `type`:
//   REG_SZ, REG_EXPAND_SZ: one argument, stored with its NUL;
//   REG_DWORD, REG_QWORD: decimal or 0x hexadecimal, in range;
//   REG_BINARY: hex digit pairs, optionally separated by commas or blanks;
//   REG_MULTI_SZ: the items, as several arguments and/or separated by the two characters \0;
//                 a single empty argument is the empty list.
bool ParseValueData(uint32_t type, const std::vector<std::string>& args, std::string* data,
                    std::string* error);

// Data as `reg query` prints it: strings without their NULs, numbers as 0x hex, binary as
// upper-case hex digits, multi-strings joined with \0.
std::string FormatValueData(uint32_t type, std::string_view data);

// The JSON form of a value's data: a string, a number, an array of strings, or (binary and
// malformed numbers) a string of lower-case hex digits. Invalid UTF-8 becomes U+FFFD.
std::string JsonValueData(uint32_t type, std::string_view data);
std::string JsonString(std::string_view text);

// Narrow (UTF-8) text to UTF-16LE bytes and back. Bytes that are not valid UTF-8 travel as the
// code units U+DC80..U+DCFF so that any narrow data survives the round trip.
std::string NarrowToUtf16Le(std::string_view narrow);
// False for an odd byte count or an unpaired surrogate other than those escapes.
bool Utf16LeToNarrow(std::string_view bytes, std::string* narrow);
bool IsValidUtf8(std::string_view text);

std::string HexBytes(std::string_view data, bool upper, std::string_view separator);

}  // namespace ov::cli
