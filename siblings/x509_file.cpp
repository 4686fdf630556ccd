#include "siblings/x509_file.h"

#include <openssl/bio.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>

#include <limits>

#include "platform/system/regular_file.h"

namespace ov::wapi {

X509Ptr ReadCertificateFile(const std::string& path) {
  std::string bytes;
  if (ReadRegularFile(path, kMaxCertificateFileBytes, bytes) != FileProblem::None) return nullptr;
  if (bytes.find("-----BEGIN") != std::string::npos) {
    std::unique_ptr<BIO, decltype(&BIO_free)> bio(
        BIO_new_mem_buf(bytes.data(), static_cast<int>(bytes.size())), &BIO_free);
    if (!bio) return nullptr;
    return X509Ptr(PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr));
  }
  return CertificateFromDer(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

X509Ptr CertificateFromDer(const uint8_t* der, size_t size) {
  if (der == nullptr || size == 0 || size > static_cast<size_t>(std::numeric_limits<long>::max())) {
    return nullptr;
  }
  const unsigned char* p = der;
  return X509Ptr(d2i_X509(nullptr, &p, static_cast<long>(size)));
}

std::vector<uint8_t> DerBytes(X509* certificate) {
  unsigned char* der = nullptr;
  const int length = i2d_X509(certificate, &der);
  if (length <= 0) return {};
  std::vector<uint8_t> out(der, der + length);
  OPENSSL_free(der);
  return out;
}

std::string DisplayName(const X509_NAME* name) {
  if (!name) return {};
  for (int nid : {NID_commonName, NID_organizationName, NID_organizationalUnitName,
                  NID_pkcs9_emailAddress}) {
    const int index = X509_NAME_get_index_by_NID(name, nid, -1);
    if (index < 0) continue;
    const ASN1_STRING* data = X509_NAME_ENTRY_get_data(X509_NAME_get_entry(name, index));
    unsigned char* utf8 = nullptr;
    const int length = ASN1_STRING_to_UTF8(&utf8, data);
    if (length < 0) continue;
    std::string text(reinterpret_cast<char*>(utf8), static_cast<size_t>(length));
    OPENSSL_free(utf8);
    if (!text.empty()) return text;
  }
  return {};
}

bool IsCurrentlyValid(X509* certificate) {
  return X509_cmp_current_time(X509_get0_notBefore(certificate)) < 0 &&
         X509_cmp_current_time(X509_get0_notAfter(certificate)) > 0;
}

}  // namespace ov::wapi
