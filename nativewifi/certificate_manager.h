#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The WAPI certificate-manager library as the WLAN profile builder calls it. The implementation
// loads the sibling library and looks each export up by name; a missing library or export
// answers nothing, and the builder then leaves the WAPI parameters empty.
namespace ov {

// Largest outputs the builder takes from the library.
constexpr size_t kWapiKeyMaxLength = 128;
constexpr size_t kWapiMacMaxLength = 16;

struct WapiPskMaterial {
  std::vector<uint8_t> key;  // at most 128 bytes used
  std::vector<uint8_t> mac;  // at most 16 bytes used
};

struct WapiCertMaterial {
  std::vector<uint8_t> certificate;
  std::vector<uint8_t> mac;  // at most 16 bytes used
};

class CertificateManager {
 public:
  virtual ~CertificateManager() = default;
  // OvCertMgr_InstallPSK(form, pre-shared key, key out, key length, MAC out, MAC length); form 0
  // for a hexadecimal key, 1 for a passphrase.
  virtual std::optional<WapiPskMaterial> InstallPsk(int form, std::string_view preSharedKey) = 0;
  // OvCertMgr_InstallCert(user certificate path, AS certificate path, certificate out, its
  // length, MAC out, text out).
  virtual std::optional<WapiCertMaterial> InstallCert(std::string_view userCertPath,
                                                      std::string_view asCertPath) = 0;
};

}  // namespace ov
