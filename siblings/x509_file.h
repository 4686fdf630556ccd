#pragma once
#include <openssl/x509.h>

#include <memory>
#include <string>
#include <vector>

// Certificate files as the WAPI libraries and the simulated access point read them: a regular
// file of at most 1 MB (no FIFO, no link planted in a shared folder), holding one certificate in
// PEM or DER form.
namespace ov::wapi {

struct X509Free {
  void operator()(X509* x) const { X509_free(x); }
};
using X509Ptr = std::unique_ptr<X509, X509Free>;

inline constexpr size_t kMaxCertificateFileBytes = 1u << 20;

// The file's first certificate; null when the file cannot be read or holds none.
X509Ptr ReadCertificateFile(const std::string& path);
// A certificate from its DER form, reading at most `size` bytes.
X509Ptr CertificateFromDer(const uint8_t* der, size_t size);
std::vector<uint8_t> DerBytes(X509* certificate);

// The name as a person reads it: common name, else organisation, else unit, else e-mail.
std::string DisplayName(const X509_NAME* name);

// The certificate is within its validity period now.
bool IsCurrentlyValid(X509* certificate);

}  // namespace ov::wapi
