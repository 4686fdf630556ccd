#include "siblings/certmgr_client.h"

#include <dlfcn.h>

#include <array>
#include <cstring>

#include "platform/system/machine_root.h"
#include "siblings/wapi_exports.h"

namespace ov {

namespace {

// A NUL-terminated text inside `field`, never read past the field.
std::string FieldText(const uint8_t* field, size_t size) {
  const auto* begin = reinterpret_cast<const char*>(field);
  return std::string(begin, strnlen(begin, size));
}

bool HasPath(const std::string& path) { return !path.empty() && path.find('\0') == std::string::npos; }

}  // namespace

std::filesystem::path DefaultCertMgrLibraryPath() { return ProgramFolder() / wapi::kCertMgrLibraryName; }

CertificateManagerModule::~CertificateManagerModule() {
  if (handle_ != nullptr) ::dlclose(handle_);
}

bool CertificateManagerModule::Load(const std::filesystem::path& library) {
  void* handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return false;
  if (handle_ != nullptr) ::dlclose(handle_);
  handle_ = handle;
  return true;
}

void* CertificateManagerModule::Export(const char* name) const {
  return handle_ != nullptr ? ::dlsym(handle_, name) : nullptr;
}

std::optional<WapiCertificateInfo> CertificateManagerModule::GetCertInfo(
    WapiCertKind kind, const std::string& path) const {
  auto fn = reinterpret_cast<wapi::GetCertInfoExport>(
      Export(kind == WapiCertKind::User ? "OvCertMgr_GetUserCertInfo" : "OvCertMgr_GetASCertInfo"));
  if (fn == nullptr || !HasPath(path)) return std::nullopt;
  std::array<uint8_t, wapi::kCertInfoRecordSize> record{};
  uint64_t expiry = 0;
  if (fn(path.c_str(), record.data(), &expiry) != 0) return std::nullopt;
  WapiCertificateInfo info;
  info.issuedBy = FieldText(record.data() + wapi::kCertInfoIssuerOffset,
                            wapi::kCertInfoSubjectOffset - wapi::kCertInfoIssuerOffset);
  info.issuedTo = FieldText(record.data() + wapi::kCertInfoSubjectOffset,
                            wapi::kCertInfoRecordSize - wapi::kCertInfoSubjectOffset);
  info.expiryFiletime = expiry;
  return info;
}

std::optional<bool> CertificateManagerModule::CheckCert(WapiCertKind kind,
                                                        const std::string& path) const {
  auto fn = reinterpret_cast<wapi::CheckCertExport>(
      Export(kind == WapiCertKind::User ? "OvCertMgr_CheckSTACert" : "OvCertMgr_CheckASCert"));
  if (fn == nullptr) return std::nullopt;
  if (!HasPath(path)) return false;
  return fn(path.c_str()) != 0;
}

std::optional<WapiKeyOutput> CertificateManagerModule::InstallPsk(
    int form, const std::string& preSharedKey) const {
  auto fn = reinterpret_cast<wapi::InstallPskExport>(Export("OvCertMgr_InstallPSK"));
  if (fn == nullptr || preSharedKey.find('\0') != std::string::npos) return std::nullopt;
  std::array<uint8_t, wapi::kPskKeyBufferSize> key{};
  std::array<uint8_t, wapi::kMacBufferSize> mac{};
  uint32_t keyLength = key.size();
  uint32_t macLength = mac.size();
  if (fn(form, preSharedKey.c_str(), key.data(), &keyLength, mac.data(), &macLength) != 0) {
    return std::nullopt;
  }
  WapiKeyOutput out;
  out.key.assign(key.begin(), key.begin() + std::min<size_t>(keyLength, key.size()));
  out.mac.assign(mac.begin(), mac.begin() + std::min<size_t>(macLength, mac.size()));
  return out;
}

std::optional<WapiCertOutput> CertificateManagerModule::InstallCert(
    const std::string& userPath, const std::string& asPath) const {
  auto fn = reinterpret_cast<wapi::InstallCertExport>(Export("OvCertMgr_InstallCert"));
  if (fn == nullptr || !HasPath(userPath) || !HasPath(asPath)) return std::nullopt;
  std::vector<uint8_t> certificate(wapi::kCertBufferSize);
  uint32_t length = static_cast<uint32_t>(certificate.size());
  std::array<uint8_t, wapi::kMacBufferSize> mac{};
  std::array<char16_t, wapi::kCertTextChars> text{};
  if (fn(userPath.c_str(), asPath.c_str(), certificate.data(), &length, mac.data(), text.data()) != 0) {
    return std::nullopt;
  }
  text.back() = 0;
  WapiCertOutput out;
  certificate.resize(std::min<size_t>(length, certificate.size()));
  out.certificate = std::move(certificate);
  out.mac.assign(mac.begin(), mac.end());
  out.text = std::u16string(text.data());
  return out;
}

}  // namespace ov
