#include "nativewifi/loaded_certificate_manager.h"

namespace ov {

std::optional<WapiPskMaterial> LoadedCertificateManager::InstallPsk(int form,
                                                                    std::string_view preSharedKey) {
  auto out = module_.InstallPsk(form, std::string(preSharedKey));
  if (!out) return std::nullopt;
  return WapiPskMaterial{std::move(out->key), std::move(out->mac)};
}

std::optional<WapiCertMaterial> LoadedCertificateManager::InstallCert(std::string_view userCertPath,
                                                                      std::string_view asCertPath) {
  auto out = module_.InstallCert(std::string(userCertPath), std::string(asCertPath));
  if (!out) return std::nullopt;
  return WapiCertMaterial{std::move(out->certificate), std::move(out->mac)};
}

}  // namespace ov
