#pragma once
#include <filesystem>
#include <map>
#include <string>

#include "profiles/profile_store.h"
#include "profiles/secret_codec.h"
#include "tests/support/temp_dir.h"

namespace ov::test {

// Stands in for the password-encryption library: "ENC[" + the text reversed + "]". Decrypt
// recognises only its own output, as the library does, and counts its calls.
class MarkerSecretCodec final : public SecretCodec {
 public:
  std::optional<std::string> Encrypt(std::string_view clear) override {
    ++encryptCalls;
    return "ENC[" + std::string(clear.rbegin(), clear.rend()) + "]";
  }
  std::optional<std::string> Decrypt(std::string_view stored) override {
    ++decryptCalls;
    if (stored.size() < 5 || stored.substr(0, 4) != "ENC[" || stored.back() != ']') {
      return std::nullopt;
    }
    std::string_view inner = stored.substr(4, stored.size() - 5);
    return std::string(inner.rbegin(), inner.rend());
  }
  int encryptCalls = 0;
  int decryptCalls = 0;
};

inline StoreLocation LocationIn(const TempDir& dir, int32_t family = 4,
                                std::string id = "{6B29FC40-CA47-1067-B31D-00DD010662DA}") {
  return StoreLocation{dir.path().string() + "/", family, std::move(id)};
}

// Every file of a folder with its bytes, to show that an operation changed nothing.
inline std::map<std::string, std::string> Snapshot(const std::filesystem::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.is_regular_file()) {
      files[entry.path().filename().string()] = ReadFileBytes(entry.path());
    }
  }
  return files;
}

}  // namespace ov::test
