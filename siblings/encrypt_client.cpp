#include "siblings/encrypt_client.h"

#include <dlfcn.h>

#include <array>

#include "platform/system/machine_root.h"

namespace ov {

namespace {

using CipherExport = int (*)(const char* input, const char* inputAgain, char* output, int length);

constexpr size_t kBufferBytes = 256;

std::string Call(const std::filesystem::path& library, const char* exportName,
                 const std::string& text) {
  if (text.empty() || text.size() >= kBufferBytes || text.find('\0') != std::string::npos) {
    return text;
  }
  void* handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return text;
  std::string result = text;
  if (auto fn = reinterpret_cast<CipherExport>(::dlsym(handle, exportName))) {
    std::array<char, kBufferBytes> input{};
    std::array<char, kBufferBytes> output{};
    text.copy(input.data(), text.size());
    if (fn(input.data(), input.data(), output.data(), static_cast<int>(text.size())) == 0) {
      output.back() = '\0';  // whatever the library did, the text ends inside the buffer
      std::string produced(output.data());
      if (!produced.empty()) result = std::move(produced);
    }
  }
  ::dlclose(handle);
  return result;
}

}  // namespace

std::filesystem::path DefaultEncryptLibraryPath() {
  return ProgramFolder() / kEncryptLibraryName;
}

std::string EncryptSecret(const std::string& text) {
  return Call(DefaultEncryptLibraryPath(), "OV_Encrypt", text);
}

std::string DecryptSecret(const std::string& text) {
  return Call(DefaultEncryptLibraryPath(), "OV_Decrypt", text);
}

std::string EncryptSecretWith(const std::filesystem::path& library, const std::string& text) {
  return Call(library, "OV_Encrypt", text);
}

std::string DecryptSecretWith(const std::filesystem::path& library, const std::string& text) {
  return Call(library, "OV_Decrypt", text);
}

}  // namespace ov
