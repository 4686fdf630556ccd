#include "sim/wapi_certificate_check.h"

#include <openssl/x509.h>

#include <algorithm>
#include <climits>
#include <ctime>

#include "nativewifi/wlansvc/wlan_types.h"
#include "platform/system/regular_file.h"
#include "siblings/wapi_keys.h"
#include "siblings/x509_file.h"

namespace ov::sim {

namespace {

// One DER certificate from the front of `bytes`; *used is how many bytes it took. d2i reads at
// most the length it is given, so a cut or lying length fails instead of reading further.
wapi::X509Ptr TakeCertificate(std::span<const uint8_t> bytes, size_t* used) {
  if (bytes.empty() || bytes.size() > static_cast<size_t>(LONG_MAX)) return nullptr;
  const unsigned char* p = bytes.data();
  wapi::X509Ptr certificate(d2i_X509(nullptr, &p, static_cast<long>(bytes.size())));
  if (!certificate) return nullptr;
  *used = static_cast<size_t>(p - bytes.data());
  return certificate;
}

bool ValidAt(X509* certificate, int64_t unixSeconds) {
  std::time_t now = static_cast<std::time_t>(unixSeconds);
  // X509_cmp_time: -1 when the certificate's time is at or before `now`, 1 after, 0 on error.
  return X509_cmp_time(X509_get0_notBefore(certificate), &now) == -1 &&
         X509_cmp_time(X509_get0_notAfter(certificate), &now) == 1;
}

}  // namespace

WapiCertificateVerdict JudgeWapiCertificate(std::span<const uint8_t> asCertificate,
                                            const std::optional<InstalledWapiCertificate>& installed,
                                            int64_t unixSeconds) {
  using V = WapiCertificateVerdict;
  if (!installed || installed->buffer.empty()) return V::NothingInstalled;
  const std::vector<uint8_t>& buffer = installed->buffer;
  if (installed->mac != wapi::KeyCheckValue(buffer)) return V::CheckValueWrong;

  size_t userSize = 0;
  wapi::X509Ptr user = TakeCertificate(buffer, &userSize);
  if (!user) return V::NotTwoCertificates;
  const std::span<const uint8_t> rest = std::span<const uint8_t>(buffer).subspan(userSize);
  size_t asSize = 0;
  wapi::X509Ptr as = TakeCertificate(rest, &asSize);
  if (!as || asSize != rest.size()) return V::NotTwoCertificates;

  if (!std::equal(rest.begin(), rest.end(), asCertificate.begin(), asCertificate.end())) {
    return V::OtherAs;
  }
  EVP_PKEY* asKey = X509_get0_pubkey(as.get());
  if (asKey == nullptr || X509_verify(user.get(), asKey) != 1) return V::NotSignedByAs;
  if (!ValidAt(user.get(), unixSeconds)) return V::OutsideValidity;
  return V::Accepted;
}

uint32_t WapiCertificateReasonCode(WapiCertificateVerdict verdict) {
  switch (verdict) {
    case WapiCertificateVerdict::Accepted:
      return wlan::WLAN_REASON_CODE_SUCCESS;
    case WapiCertificateVerdict::NothingInstalled:
      return wlan::ONEX_REASON_CODE_IDENTITY_NOT_FOUND;
    default:
      return wlan::ONEX_REASON_CODE_EAP_FAILURE_RECEIVED;
  }
}

std::optional<std::vector<uint8_t>> ReadCertificateDer(const std::string& path, std::string* error) {
  std::string bytes;
  if (FileProblem problem = ReadRegularFile(path, wapi::kMaxCertificateFileBytes, bytes);
      problem != FileProblem::None) {
    *error = path + " " + DescribeFileProblem(problem);
    return std::nullopt;
  }
  wapi::X509Ptr certificate = wapi::ReadCertificateFile(path);
  std::vector<uint8_t> der = certificate ? wapi::DerBytes(certificate.get()) : std::vector<uint8_t>{};
  if (der.empty()) {
    *error = path + " holds no certificate (PEM or DER)";
    return std::nullopt;
  }
  return der;
}

}  // namespace ov::sim
