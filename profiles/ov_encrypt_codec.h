#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "profiles/secret_codec.h"

// The store's secrets through the password-encryption library (libOvEncrypt.so), loaded for
// each call. The library leaves a text it cannot encrypt, and any text it did not produce on
// decryption, as it was; the codec reports those as "unchanged" so the store keeps the value.
namespace ov {

class OvEncryptSecretCodec final : public SecretCodec {
 public:
  // The library in the program's folder.
  OvEncryptSecretCodec();
  explicit OvEncryptSecretCodec(std::filesystem::path library) : library_(std::move(library)) {}

  std::optional<std::string> Encrypt(std::string_view clearText) override;
  std::optional<std::string> Decrypt(std::string_view storedText) override;

 private:
  std::filesystem::path library_;
};

}  // namespace ov
