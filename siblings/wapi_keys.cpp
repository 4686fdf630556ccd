#include "siblings/wapi_keys.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <string>

#include "platform/system/hex_text.h"

namespace ov::wapi {

namespace {

constexpr std::string_view kBaseKeyLabel =
    "preshared key expansion for authentication and key negotiation";
constexpr std::string_view kCheckLabel = "wapi key check";

std::vector<uint8_t> HmacSha256(const std::vector<uint8_t>& key, std::string_view text,
                                size_t keep) {
  if (key.empty()) return {};
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()),
           reinterpret_cast<const unsigned char*>(text.data()), text.size(), digest,
           &length) == nullptr ||
      length < keep) {
    return {};
  }
  return std::vector<uint8_t>(digest, digest + keep);
}

}  // namespace

std::optional<std::vector<uint8_t>> PreSharedKeyBytes(bool hexadecimal, std::string_view text) {
  if (text.empty()) return std::nullopt;
  if (!hexadecimal) return std::vector<uint8_t>(text.begin(), text.end());
  return HexDecode(text);
}

std::vector<uint8_t> DeriveBaseKey(const std::vector<uint8_t>& preSharedKey) {
  return HmacSha256(preSharedKey, kBaseKeyLabel, kBaseKeySize);
}

std::vector<uint8_t> KeyCheckValue(const std::vector<uint8_t>& material) {
  return HmacSha256(material, kCheckLabel, kKeyCheckSize);
}

}  // namespace ov::wapi
