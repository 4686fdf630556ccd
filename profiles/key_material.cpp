#include "profiles/key_material.h"

#include <openssl/evp.h>

#include "profiles/store_encoding.h"

namespace ov {

namespace {
constexpr int kPbkdf2Iterations = 4096;
}

std::optional<std::array<uint8_t, kPmkLength>> PassphraseToPmk(std::string_view passphrase,
                                                               std::string_view ssid) {
  if (passphrase.size() >= 2 * kPmkLength || ssid.size() > kSsidMaxLength) return std::nullopt;
  std::array<uint8_t, kPmkLength> pmk{};
  int ok = PKCS5_PBKDF2_HMAC_SHA1(passphrase.data(), static_cast<int>(passphrase.size()),
                                  reinterpret_cast<const unsigned char*>(ssid.data()),
                                  static_cast<int>(ssid.size()), kPbkdf2Iterations,
                                  static_cast<int>(pmk.size()), pmk.data());
  if (ok != 1) return std::nullopt;
  return pmk;
}

std::optional<KeyBlock> BuildAdhocKeyBlock(std::string_view wpaPsk, std::string_view ssid) {
  if (wpaPsk.empty()) return std::nullopt;
  KeyBlock key;
  key.keyIndex = kTransmitKeyBit;
  if (wpaPsk.size() == 2 * kPmkLength) {
    auto bytes = DecodeHexBytes(wpaPsk);
    if (!bytes) return std::nullopt;
    key.material = std::move(*bytes);
    return key;
  }
  auto pmk = PassphraseToPmk(wpaPsk, ssid);
  if (!pmk) return std::nullopt;
  key.material.assign(pmk->begin(), pmk->end());
  return key;
}

std::optional<KeyBlock> BuildWepKeyBlock(int keyNumber, std::string_view text,
                                         int32_t transmitKeyNumber) {
  if (keyNumber < 1 || keyNumber > 4 || text.size() < 2) return std::nullopt;
  size_t length = (text.size() == 10 || text.size() == 11) ? kWepKey40Length : kWepKey104Length;
  KeyBlock key;
  key.keyIndex = static_cast<uint32_t>(keyNumber - 1);
  if (transmitKeyNumber == keyNumber) key.keyIndex |= kTransmitKeyBit;
  key.material = DecodeHexLenient(text, length);
  return key;
}

}  // namespace ov
