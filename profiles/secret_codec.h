#pragma once
#include <optional>
#include <string>
#include <string_view>

// How the store protects its secret values: the seam in front of the password-encryption
// library. The store stays usable without the library, in clear text.
namespace ov {

class SecretCodec {
 public:
  virtual ~SecretCodec() = default;
  // The stored form of a non-empty secret; nothing when it cannot be encrypted (no library),
  // in which case the store writes the clear text.
  virtual std::optional<std::string> Encrypt(std::string_view clearText) = 0;
  // The clear text of a stored non-empty value; nothing when the value is not something
  // Encrypt produced (for example a secret written while encryption was off) or the library is
  // missing, in which case the store returns the stored text unchanged.
  virtual std::optional<std::string> Decrypt(std::string_view storedText) = 0;
};

// No library: every secret is stored and returned as it is.
class ClearTextSecretCodec final : public SecretCodec {
 public:
  std::optional<std::string> Encrypt(std::string_view) override { return std::nullopt; }
  std::optional<std::string> Decrypt(std::string_view) override { return std::nullopt; }
};

}  // namespace ov
