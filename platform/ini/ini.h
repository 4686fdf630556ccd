#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Private-profile (INI) files with the host's semantics: case-insensitive sections and keys,
// quotes stripped on read, buffer truncation rules, CRLF output. On top of them: every write
// replaces the file atomically under an advisory lock, parsed files are cached per (mtime, size,
// inode), and values that would not read back as written are stored quoted.
//
// A bare or relative name is relative to the current directory. The C-style functions report
// failures through ov::GetLastError().
namespace ov {

// Copies the value (or `defaultValue` with trailing blanks stripped) into `buffer`, truncated to
// size-1 characters. section == nullptr lists section names, key == nullptr lists the section's
// key names, both as double-NUL lists. Returns the number of characters copied.
uint32_t GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                                 char* buffer, uint32_t size, const char* fileName);

// value == nullptr deletes the key; key == nullptr deletes the section. All three null flushes
// the cache. Returns false (with the last error set) when nothing could be written.
bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const char* fileName);

// Double-NUL list of section names. Returns the characters copied without the final NUL.
uint32_t GetPrivateProfileSectionNames(char* buffer, uint32_t size, const char* fileName);

// Double-NUL list of the section's raw lines ("key=value", and lines without '=').
uint32_t GetPrivateProfileSection(const char* section, char* buffer, uint32_t size,
                                  const char* fileName);

// Leading decimal number of the value (sign allowed, wraps modulo 2^32); default when missing.
uint32_t GetPrivateProfileInt(const char* section, const char* key, int defaultValue,
                              const char* fileName);

// C++ conveniences for callers that do not work with fixed buffers. Values longer than
// `maxChars` are cut as the buffer functions would cut them.
std::string IniReadString(const std::string& fileName, const std::string& section,
                          const std::string& key, const std::string& defaultValue = "",
                          uint32_t maxChars = 65535);
bool IniWriteString(const std::string& fileName, const std::string& section,
                    const std::string& key, const std::string& value);
std::vector<std::string> IniSectionNames(const std::string& fileName);
std::vector<std::string> IniKeyNames(const std::string& fileName, const std::string& section);

}  // namespace ov
