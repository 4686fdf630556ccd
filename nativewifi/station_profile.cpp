#include "nativewifi/station_profile.h"

#include <algorithm>

#include "driver/oid/byte_codec.h"

namespace ov {

namespace bc = byte_codec;

namespace {
constexpr size_t kLengthOffset = 0;
constexpr size_t kKeyIndexOffset = 4;
constexpr size_t kKeyLengthOffset = 8;
constexpr size_t kBssidOffset = 12;
constexpr size_t kKeyRscOffset = 24;
}  // namespace

std::vector<uint8_t> EncodeKeyBlock(const KeyBlock& key) {
  std::vector<uint8_t> bytes(key.encodedSize(), 0);
  std::span<uint8_t> out(bytes);
  bc::PutU32(out, kLengthOffset, static_cast<uint32_t>(key.encodedSize()));
  bc::PutU32(out, kKeyIndexOffset, key.keyIndex);
  bc::PutU32(out, kKeyLengthOffset, static_cast<uint32_t>(key.material.size()));
  std::fill_n(bytes.begin() + kBssidOffset, 6, 0xFF);  // a group key: every BSSID
  bc::PutU64(out, kKeyRscOffset, 0);
  std::copy(key.material.begin(), key.material.end(), bytes.begin() + kKeyBlockMaterialOffset);
  return bytes;
}

bool DecodeKeyBlock(std::span<const uint8_t> bytes, KeyBlock& key) {
  if (bytes.size() < kKeyBlockMaterialOffset) return false;
  uint32_t length = bc::GetU32(bytes, kLengthOffset);
  uint32_t keyLength = bc::GetU32(bytes, kKeyLengthOffset);
  if (keyLength > bytes.size() - kKeyBlockMaterialOffset) return false;
  if (length != keyLength + kKeyBlockOverhead) return false;
  key.keyIndex = bc::GetU32(bytes, kKeyIndexOffset);
  key.material.assign(bytes.begin() + kKeyBlockMaterialOffset,
                      bytes.begin() + kKeyBlockMaterialOffset + keyLength);
  return true;
}

}  // namespace ov
