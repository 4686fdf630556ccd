#pragma once
#include <cstdint>

// The host's error numbers, kept as callers of the registry and INI functions compare them.
namespace ov {

constexpr uint32_t ERROR_SUCCESS = 0;
constexpr uint32_t ERROR_FILE_NOT_FOUND = 2;
constexpr uint32_t ERROR_PATH_NOT_FOUND = 3;
constexpr uint32_t ERROR_ACCESS_DENIED = 5;
constexpr uint32_t ERROR_INVALID_HANDLE = 6;
constexpr uint32_t ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr uint32_t ERROR_SHARING_VIOLATION = 32;
constexpr uint32_t ERROR_BAD_PATHNAME = 161;
constexpr uint32_t ERROR_INVALID_PARAMETER = 87;
constexpr uint32_t ERROR_MORE_DATA = 234;
constexpr uint32_t ERROR_NO_MORE_ITEMS = 259;
constexpr uint32_t ERROR_KEY_DELETED = 1018;
constexpr uint32_t ERROR_CHILD_MUST_BE_VOLATILE = 1021;
constexpr uint32_t ERROR_BADDB = 1009;
constexpr uint32_t ERROR_BADKEY = 1010;
constexpr uint32_t ERROR_FILE_TOO_LARGE = 223;
constexpr uint32_t ERROR_CANT_ACCESS_FILE = 1920;  // not a regular file, or a planted link

// Per-thread last error, as the private-profile functions report theirs.
void SetLastError(uint32_t code);
uint32_t GetLastError();

}  // namespace ov
