#pragma once
#include <filesystem>
#include <string>

// The password-encryption library as its callers use it: libOvEncrypt.so from the program's
// folder, loaded for each call and released afterwards, its exports "OV_Encrypt" and
// "OV_Decrypt" called with 256-byte zero-filled buffers.
//
// A value comes back unchanged when the library (or the export) is missing, when the value is
// empty, longer than 255 characters or holds a NUL, or when the library reports an error: a
// secret is then stored as it is rather than lost.
namespace ov {

constexpr const char* kEncryptLibraryName = "libOvEncrypt.so";

// <program folder>/libOvEncrypt.so
std::filesystem::path DefaultEncryptLibraryPath();

std::string EncryptSecret(const std::string& text);
std::string DecryptSecret(const std::string& text);

// The same with the library at `library`.
std::string EncryptSecretWith(const std::filesystem::path& library, const std::string& text);
std::string DecryptSecretWith(const std::filesystem::path& library, const std::string& text);

}  // namespace ov
