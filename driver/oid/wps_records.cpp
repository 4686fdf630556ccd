#include "driver/oid/wps_records.h"

#include <algorithm>

#include "driver/oid/byte_codec.h"

namespace ov {

using namespace byte_codec;

// ---- WpsCredential ----

namespace {

void PutCredential(std::span<uint8_t> out, size_t at, const WpsCredential& c) {
  PutU32(out, at + 0, c.SsidLength);
  PutBytes(out, at + 4, c.Ssid);
  PutU32(out, at + 36, c.AuthType);
  PutU32(out, at + 40, c.EncryType);
  PutU32(out, at + 44, c.KeyIndex);
  PutU32(out, at + 48, c.KeyLength);
  PutBytes(out, at + 52, c.Key);
  PutBytes(out, at + 116, c.MacAddr);
  PutBytes(out, at + 122, c.Padding);
}

WpsCredential GetCredential(std::span<const uint8_t> bytes, size_t at) {
  WpsCredential c;
  // Readers copy SsidLength and KeyLength bytes out of the fixed fields; longer lengths from a
  // driver would run past them.
  c.SsidLength = std::min<uint32_t>(GetU32(bytes, at + 0), WpsCredential::kSsidBytes);
  c.Ssid = GetBytes<WpsCredential::kSsidBytes>(bytes, at + 4);
  c.AuthType = GetU32(bytes, at + 36);
  c.EncryType = GetU32(bytes, at + 40);
  c.KeyIndex = GetU32(bytes, at + 44);
  c.KeyLength = std::min<uint32_t>(GetU32(bytes, at + 48), WpsCredential::kKeyBytes);
  c.Key = GetBytes<WpsCredential::kKeyBytes>(bytes, at + 52);
  c.MacAddr = GetBytes<6>(bytes, at + 116);
  c.Padding = GetBytes<2>(bytes, at + 122);
  return c;
}

}  // namespace

std::array<uint8_t, kWpsCredentialSize> EncodeWpsCredential(const WpsCredential& credential) {
  std::array<uint8_t, kWpsCredentialSize> out{};
  PutCredential(out, 0, credential);
  return out;
}

bool DecodeWpsCredential(std::span<const uint8_t> bytes, WpsCredential& credential) {
  if (bytes.size() < kWpsCredentialSize) return false;
  credential = GetCredential(bytes, 0);
  return true;
}

std::string_view WpsCredentialSsid(const WpsCredential& c) {
  return {reinterpret_cast<const char*>(c.Ssid.data()),
          std::min<size_t>(c.SsidLength, WpsCredential::kSsidBytes)};
}

std::string_view WpsCredentialKey(const WpsCredential& c) {
  return {reinterpret_cast<const char*>(c.Key.data()),
          std::min<size_t>(c.KeyLength, WpsCredential::kKeyBytes)};
}

// ---- Credential table ----

std::array<uint8_t, kWpsCredentialTableSize> EncodeWpsCredentialTable(
    const WpsCredentialTable& table) {
  std::array<uint8_t, kWpsCredentialTableSize> out{};
  PutU32(out, 0, table.Count);
  for (size_t i = 0; i < WpsCredentialTable::kMaxCredentials; ++i) {
    PutCredential(out, 4 + i * kWpsCredentialSize, table.Credentials[i]);
  }
  return out;
}

bool DecodeWpsCredentialTable(std::span<const uint8_t> bytes, WpsCredentialTable& table) {
  if (bytes.size() < kWpsCredentialTableSize) return false;
  // The table has room for 8; a larger count from the driver would send readers past it.
  table.Count = std::min<uint32_t>(GetU32(bytes, 0), WpsCredentialTable::kMaxCredentials);
  for (size_t i = 0; i < WpsCredentialTable::kMaxCredentials; ++i) {
    table.Credentials[i] = GetCredential(bytes, 4 + i * kWpsCredentialSize);
  }
  return true;
}

// ---- WPS start record ----

std::array<uint8_t, kWpsStartSize> EncodeWpsStart(const WpsStart& s) {
  std::array<uint8_t, kWpsStartSize> out{};
  PutU32(out, 0, s.Mode);
  PutBytes(out, 4, s.Pin);
  PutBytes(out, 12, EncodeNdisSsid(s.Ssid));
  PutBytes(out, 48, s.Bssid);
  PutU8(out, 54, s.Channel);
  PutU8(out, 55, s.Role);
  return out;
}

bool DecodeWpsStart(std::span<const uint8_t> bytes, WpsStart& s) {
  if (bytes.size() < kWpsStartSize) return false;
  s.Mode = GetU32(bytes, 0);
  s.Pin = GetBytes<8>(bytes, 4);
  DecodeNdisSsid(bytes.subspan(12, kNdis80211SsidSize), s.Ssid);
  s.Bssid = GetBytes<6>(bytes, 48);
  s.Channel = GetU8(bytes, 54);
  s.Role = GetU8(bytes, 55);
  return true;
}

std::array<uint8_t, 8> WpsPinDigits(uint32_t pin) {
  std::array<uint8_t, 8> digits{};
  for (size_t i = digits.size(); i-- > 0;) {
    digits[i] = static_cast<uint8_t>('0' + pin % 10);
    pin /= 10;
  }
  return digits;
}

// ---- WPS status word ----

WpsStatus DecodeWpsStatus(uint32_t word) {
  return {word & kWpsStatusCodeMask, (word & kWpsStatusPinBit) != 0};
}

uint32_t EncodeWpsStatus(const WpsStatus& status) {
  return (status.Code & kWpsStatusCodeMask) | (status.PinSession ? kWpsStatusPinBit : 0);
}

}  // namespace ov
