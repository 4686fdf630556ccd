#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// The certificate-manager module: libOvCertMgr.so loaded once by the monitor at adapter set-up
// and kept; each caller looks up the export it needs by name. A missing library or export gives
// nothing (std::nullopt), and the caller skips that step.
namespace ov {

enum class WapiCertKind { User, As };

struct WapiCertificateInfo {
  std::string issuedTo;        // the subject's display name
  std::string issuedBy;        // the issuer's
  uint64_t expiryFiletime = 0; // 100 ns units since 1601-01-01 UTC
};

struct WapiKeyOutput {
  std::vector<uint8_t> key;  // at most 128 bytes
  std::vector<uint8_t> mac;  // at most 16 bytes
};

struct WapiCertOutput {
  std::vector<uint8_t> certificate;
  std::vector<uint8_t> mac;
  std::u16string text;
};

// <program folder>/libOvCertMgr.so
std::filesystem::path DefaultCertMgrLibraryPath();

class CertificateManagerModule {
 public:
  CertificateManagerModule() = default;
  ~CertificateManagerModule();
  CertificateManagerModule(const CertificateManagerModule&) = delete;
  CertificateManagerModule& operator=(const CertificateManagerModule&) = delete;

  // Loads the library (again) and keeps the newest handle; false when it does not load, in
  // which case an earlier handle stays.
  bool Load(const std::filesystem::path& library = DefaultCertMgrLibraryPath());
  bool Loaded() const { return handle_ != nullptr; }

  // OvCertMgr_GetUserCertInfo / OvCertMgr_GetASCertInfo; nothing when missing or failing.
  std::optional<WapiCertificateInfo> GetCertInfo(WapiCertKind kind, const std::string& path) const;
  // OvCertMgr_CheckSTACert / OvCertMgr_CheckASCert: whether the file may serve; nothing when
  // the export is missing (the check is skipped).
  std::optional<bool> CheckCert(WapiCertKind kind, const std::string& path) const;
  // OvCertMgr_InstallPSK(form 0 hexadecimal, 1 passphrase, key text).
  std::optional<WapiKeyOutput> InstallPsk(int form, const std::string& preSharedKey) const;
  // OvCertMgr_InstallCert(user path, AS path).
  std::optional<WapiCertOutput> InstallCert(const std::string& userPath,
                                            const std::string& asPath) const;

 private:
  void* Export(const char* name) const;
  void* handle_ = nullptr;
};

}  // namespace ov
