#include "sim/wapi_certificate_registry.h"

#include <string>

#include "nativewifi/wlan_profile_xml.h"
#include "platform/registry/registry.h"
#include "platform/system/error_codes.h"
#include "siblings/wapi_exports.h"

namespace ov::sim {

namespace {

// One value of `type` and at most `maxBytes`; the registry refuses to copy a larger one.
std::optional<std::vector<uint8_t>> ReadBounded(HKEY key, const char* name, uint32_t wanted,
                                                size_t maxBytes) {
  std::vector<uint8_t> data(maxBytes);
  uint32_t type = REG_NONE;
  uint32_t size = static_cast<uint32_t>(data.size());
  if (RegQueryValueEx(key, name, nullptr, &type, data.data(), &size) != ERROR_SUCCESS ||
      type != wanted || size > data.size()) {
    return std::nullopt;
  }
  data.resize(size);
  return data;
}

}  // namespace

std::optional<InstalledWapiCertificate> ReadInstalledWapiCertificate() {
  const std::string base = kWapiAuthKeyPath;
  // The install names one X.509 certificate; a PSK install since then leaves "0".
  RegKey cert;
  if (cert.open(HKEY_CLASSES_ROOT, base + "\\Cert", KEY_QUERY_VALUE) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  auto count = ReadBounded(cert.get(), "CertX509Num", REG_SZ, 8);
  if (!count || DecodeString(std::string_view(reinterpret_cast<const char*>(count->data()),
                                              count->size())) != "1") {
    return std::nullopt;
  }
  RegKey key;
  if (key.open(HKEY_CLASSES_ROOT, base + "\\X509Cert0", KEY_QUERY_VALUE) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  auto buffer = ReadBounded(key.get(), "value", REG_BINARY, wapi::kCertBufferSize);
  auto mac = ReadBounded(key.get(), "mac", REG_BINARY, wapi::kMacBufferSize);
  if (!buffer || !mac) return std::nullopt;
  return InstalledWapiCertificate{std::move(*buffer), std::move(*mac)};
}

}  // namespace ov::sim
