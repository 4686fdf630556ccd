#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The EAP-FAST settings blob: what the project's EAP-FAST settings dialog produces, what the
// store keeps as a profile's EAP configuration blob, and its conversion to the EapHostConfig
// document of method 43 (vendor 0, vendor type 0, author 9).
//
// Layout (integers little-endian):
//   0  4  magic "OVEF"
//   4  1  major version (1); a blob of another major version is not understood
//   5  1  minor version (0); later minors only add fields
//   6  2  flags (EapFastFlag below)
//   8  .. fields, each: u8 tag, u16 length, that many bytes; unknown tags are skipped
// Tags: 1 inner method (1 byte: 26 MS-CHAP v2, 6 GTC, 13 TLS), 2 PAC file path, 3 outer
// (anonymous) identity, 4 server name to validate, 5 trusted root CA hash (1..152 bytes).
// Texts are UTF-8 without a terminator. A field that runs past the blob, a second copy of a
// field, or a value outside its range makes the whole blob invalid.
namespace ov {

enum EapFastFlag : uint16_t {
  kEapFastAllowUnauthenticatedProvisioning = 1u << 0,
  kEapFastAllowAuthenticatedProvisioning = 1u << 1,
  kEapFastUsePac = 1u << 2,
  kEapFastValidateServer = 1u << 3,
  kEapFastFastReconnect = 1u << 4,
};

struct EapFastSettings {
  uint16_t flags = kEapFastAllowUnauthenticatedProvisioning;
  uint8_t innerMethod = 26;
  std::string pacFilePath;
  std::string outerIdentity;  // "anonymous" when empty
  std::string serverName;
  std::vector<uint8_t> trustedRootHash;
  bool operator==(const EapFastSettings&) const = default;
};

constexpr uint8_t kEapFastBlobMajorVersion = 1;
constexpr uint8_t kEapFastBlobMinorVersion = 0;
constexpr size_t kEapFastTextMaxLength = 255;

std::vector<uint8_t> EncodeEapFastBlob(const EapFastSettings& settings);
std::optional<EapFastSettings> DecodeEapFastBlob(std::span<const uint8_t> blob);

// The EapHostConfig document (no XML declaration) for a blob; nothing when the blob is empty or
// not understood.
std::optional<std::string> EapFastBlobToXml(std::span<const uint8_t> blob);

}  // namespace ov
