#include "profiles/ov_encrypt_codec.h"

#include "siblings/encrypt_client.h"

namespace ov {

OvEncryptSecretCodec::OvEncryptSecretCodec() : library_(DefaultEncryptLibraryPath()) {}

std::optional<std::string> OvEncryptSecretCodec::Encrypt(std::string_view clearText) {
  std::string text(clearText);
  std::string stored = EncryptSecretWith(library_, text);
  if (stored == text) return std::nullopt;
  return stored;
}

std::optional<std::string> OvEncryptSecretCodec::Decrypt(std::string_view storedText) {
  std::string text(storedText);
  std::string clear = DecryptSecretWith(library_, text);
  if (clear == text) return std::nullopt;
  return clear;
}

}  // namespace ov
