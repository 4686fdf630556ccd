#pragma once
#include "nativewifi/certificate_manager.h"
#include "siblings/certmgr_client.h"

// The profile builder's certificate manager over the monitor's loaded module: nothing while the
// module is not loaded or lacks the export, so the builder leaves the WAPI parameters empty.
namespace ov {

class LoadedCertificateManager final : public CertificateManager {
 public:
  explicit LoadedCertificateManager(const CertificateManagerModule& module) : module_(module) {}
  std::optional<WapiPskMaterial> InstallPsk(int form, std::string_view preSharedKey) override;
  std::optional<WapiCertMaterial> InstallCert(std::string_view userCertPath,
                                              std::string_view asCertPath) override;

 private:
  const CertificateManagerModule& module_;
};

}  // namespace ov
