#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "driver/oid/ndis_records.h"

// Vendor records of the WPS requests: the credential and the 996-byte credential table in the
// driver's layout, the 56-byte start record and the status word. Encode gives the exact bytes;
// Decode fails, leaving the record untouched, when the buffer is shorter than the record.
namespace ov {

// ---- WpsCredential (124 bytes) ----
struct WpsCredential {
  static constexpr size_t kSsidBytes = 32;
  static constexpr size_t kKeyBytes = 64;
  uint32_t SsidLength = 0;                 // offset 0; decoded lengths above 32 are cut to 32
  std::array<uint8_t, kSsidBytes> Ssid{};  // offset 4
  uint32_t AuthType = 0;                   // offset 36: WPS_AUTH_... flags
  uint32_t EncryType = 0;                  // offset 40: WPS_ENCR_... flags
  uint32_t KeyIndex = 0;                   // offset 44
  uint32_t KeyLength = 0;                  // offset 48; decoded lengths above 64 are cut to 64
  std::array<uint8_t, kKeyBytes> Key{};    // offset 52
  MacAddress MacAddr{};                    // offset 116
  std::array<uint8_t, 2> Padding{};        // offset 122
  bool operator==(const WpsCredential&) const = default;
};
constexpr size_t kWpsCredentialSize = 124;
std::array<uint8_t, kWpsCredentialSize> EncodeWpsCredential(const WpsCredential& credential);
bool DecodeWpsCredential(std::span<const uint8_t> bytes, WpsCredential& credential);
// The SsidLength and KeyLength bytes as text (never past the fields).
std::string_view WpsCredentialSsid(const WpsCredential& credential);
std::string_view WpsCredentialKey(const WpsCredential& credential);

// ---- Credential table (996 bytes): ULONG count, 8 credentials ----
struct WpsCredentialTable {
  static constexpr size_t kMaxCredentials = 8;
  uint32_t Count = 0;  // decoded counts above 8 are cut to 8
  std::array<WpsCredential, kMaxCredentials> Credentials{};
  bool operator==(const WpsCredentialTable&) const = default;
};
constexpr size_t kWpsCredentialTableSize = 996;
std::array<uint8_t, kWpsCredentialTableSize> EncodeWpsCredentialTable(
    const WpsCredentialTable& table);
bool DecodeWpsCredentialTable(std::span<const uint8_t> bytes, WpsCredentialTable& table);

// ---- WPS start record (56 bytes, OID_VND_WPS_START) ----
constexpr uint32_t WPS_START_MODE_PIN = 0x10000000;
constexpr uint32_t WPS_START_MODE_PBC = 0x20000000;
constexpr uint8_t WPS_ROLE_ENROLLEE = 1;
constexpr uint8_t WPS_ROLE_REGISTRAR = 2;
struct WpsStart {
  uint32_t Mode = 0;                 // offset 0
  std::array<uint8_t, 8> Pin{};      // offset 4: 8 ASCII digits; zero for PBC
  NDIS_802_11_SSID Ssid;             // offset 12; zero for PBC
  MacAddress Bssid{};                // offset 48; zero for PBC
  uint8_t Channel = 0;               // offset 54; zero for PBC
  uint8_t Role = WPS_ROLE_ENROLLEE;  // offset 55
  bool operator==(const WpsStart&) const = default;
};
constexpr size_t kWpsStartSize = 56;
std::array<uint8_t, kWpsStartSize> EncodeWpsStart(const WpsStart& start);
bool DecodeWpsStart(std::span<const uint8_t> bytes, WpsStart& start);
// The PIN field: "%08u" of the PIN (PINs are eight digits; larger numbers keep their last eight).
std::array<uint8_t, 8> WpsPinDigits(uint32_t pin);

// ---- WPS status word (OID_VND_WPS_STATUS) ----
struct WpsStatus {
  uint32_t Code = 0;        // bits 0-27
  bool PinSession = false;  // bit 28: set for PIN, clear for push-button
  bool operator==(const WpsStatus&) const = default;
};
constexpr uint32_t kWpsStatusCodeMask = 0x0FFFFFFF;
constexpr uint32_t kWpsStatusPinBit = 1u << 28;
WpsStatus DecodeWpsStatus(uint32_t word);
uint32_t EncodeWpsStatus(const WpsStatus& status);

}  // namespace ov
