#pragma once
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

// Little-endian field access at a byte offset, for the record codecs of this folder. Decoders
// check the record size before reading; these helpers check again, reading 0 and writing nothing
// outside the buffer, so a wrong offset can never touch memory that is not the record's.
namespace ov::byte_codec {

constexpr bool Fits(size_t bufferSize, size_t offset, size_t count) {
  return offset <= bufferSize && count <= bufferSize - offset;
}

inline uint64_t GetLittleEndian(std::span<const uint8_t> bytes, size_t offset, size_t width) {
  if (!Fits(bytes.size(), offset, width)) return 0;
  uint64_t value = 0;
  for (size_t i = 0; i < width; ++i) value |= static_cast<uint64_t>(bytes[offset + i]) << (8 * i);
  return value;
}

inline void PutLittleEndian(std::span<uint8_t> bytes, size_t offset, size_t width, uint64_t value) {
  if (!Fits(bytes.size(), offset, width)) return;
  for (size_t i = 0; i < width; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

inline uint8_t GetU8(std::span<const uint8_t> b, size_t off) {
  return static_cast<uint8_t>(GetLittleEndian(b, off, 1));
}
inline uint16_t GetU16(std::span<const uint8_t> b, size_t off) {
  return static_cast<uint16_t>(GetLittleEndian(b, off, 2));
}
inline uint32_t GetU32(std::span<const uint8_t> b, size_t off) {
  return static_cast<uint32_t>(GetLittleEndian(b, off, 4));
}
inline int32_t GetI32(std::span<const uint8_t> b, size_t off) {
  return static_cast<int32_t>(GetU32(b, off));
}
inline uint64_t GetU64(std::span<const uint8_t> b, size_t off) {
  return GetLittleEndian(b, off, 8);
}

inline void PutU8(std::span<uint8_t> b, size_t off, uint8_t v) { PutLittleEndian(b, off, 1, v); }
inline void PutU16(std::span<uint8_t> b, size_t off, uint16_t v) { PutLittleEndian(b, off, 2, v); }
inline void PutU32(std::span<uint8_t> b, size_t off, uint32_t v) { PutLittleEndian(b, off, 4, v); }
inline void PutI32(std::span<uint8_t> b, size_t off, int32_t v) {
  PutU32(b, off, static_cast<uint32_t>(v));
}
inline void PutU64(std::span<uint8_t> b, size_t off, uint64_t v) { PutLittleEndian(b, off, 8, v); }

// Copies N bytes out of / into the buffer (zeros when out of range on reads).
template <size_t N>
std::array<uint8_t, N> GetBytes(std::span<const uint8_t> b, size_t off) {
  std::array<uint8_t, N> out{};
  if (Fits(b.size(), off, N)) std::copy_n(b.begin() + static_cast<ptrdiff_t>(off), N, out.begin());
  return out;
}
template <size_t N>
void PutBytes(std::span<uint8_t> b, size_t off, const std::array<uint8_t, N>& in) {
  if (Fits(b.size(), off, N)) std::copy_n(in.begin(), N, b.begin() + static_cast<ptrdiff_t>(off));
}

}  // namespace ov::byte_codec
