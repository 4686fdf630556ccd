#include "profilepages/certificate_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/pkcs12.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "siblings/x509_file.h"

namespace ov {

namespace {

constexpr size_t kMaxCertFileBytes = 1u << 20;     // one user certificate file
constexpr size_t kMaxBundleBytes = 16u << 20;      // the whole trust bundle
constexpr size_t kMaxFolderEntries = 4096;

struct X509Free { void operator()(X509* x) const { X509_free(x); } };
using X509Ptr = std::unique_ptr<X509, X509Free>;

// Reads a regular file without following a symlink or blocking on a FIFO, up to `limit` bytes.
bool ReadRegularFile(const std::string& path, size_t limit, std::string& out) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<size_t>(st.st_size) <= limit;
  if (ok) {
    out.resize(static_cast<size_t>(st.st_size));
    size_t got = 0;
    while (got < out.size()) {
      const ssize_t n = ::read(fd, out.data() + got, out.size() - got);
      if (n <= 0) break;
      got += static_cast<size_t>(n);
    }
    out.resize(got);
  }
  ::close(fd);
  return ok;
}

using wapi::DisplayName;

std::time_t NotAfter(const X509* cert) {
  struct tm when {};
  if (ASN1_TIME_to_tm(X509_get0_notAfter(cert), &when) != 1) return 0;
  return timegm(&when);
}

// A certificate without a subject display name or a hash is dropped.
void Describe(X509* cert, uint32_t storeKind, const DateFormatter& formatDate,
              std::vector<CertDesc>& out) {
  CertDesc d;
  d.issuedTo = DisplayName(X509_get_subject_name(cert));
  if (d.issuedTo.empty()) return;
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (X509_digest(cert, EVP_sha1(), digest, &length) != 1) return;
  d.hash.assign(digest, digest + length);
  d.issuedBy = DisplayName(X509_get_issuer_name(cert));
  d.expiration = formatDate ? formatDate(NotAfter(cert)) : IsoDate(NotAfter(cert));
  int aliasLength = 0;
  if (const unsigned char* alias = X509_alias_get0(cert, &aliasLength); alias && aliasLength > 0) {
    d.friendlyName.assign(reinterpret_cast<const char*>(alias), static_cast<size_t>(aliasLength));
    d.hasFriendlyName = true;
  }
  d.storeKind = storeKind;
  out.push_back(std::move(d));
}

// PEM (one or more certificates), else DER, else a PKCS#12 file without a password.
void DescribeFile(const std::string& bytes, uint32_t storeKind, const DateFormatter& formatDate,
                  std::vector<CertDesc>& out) {
  const int size = static_cast<int>(bytes.size());
  if (bytes.find("-----BEGIN") != std::string::npos) {
    BIO* bio = BIO_new_mem_buf(bytes.data(), size);
    while (X509* cert = PEM_read_bio_X509_AUX(bio, nullptr, nullptr, nullptr)) {
      Describe(cert, storeKind, formatDate, out);
      X509_free(cert);
    }
    BIO_free(bio);
    return;
  }
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  if (X509Ptr cert{d2i_X509(nullptr, &p, size)}) {
    Describe(cert.get(), storeKind, formatDate, out);
    return;
  }
  p = reinterpret_cast<const unsigned char*>(bytes.data());
  PKCS12* p12 = d2i_PKCS12(nullptr, &p, size);
  if (!p12) return;
  EVP_PKEY* key = nullptr;
  X509* cert = nullptr;
  if (PKCS12_parse(p12, "", &key, &cert, nullptr) == 1 ||
      PKCS12_parse(p12, nullptr, &key, &cert, nullptr) == 1) {
    if (cert) Describe(cert, storeKind, formatDate, out);
  }
  X509_free(cert);
  EVP_PKEY_free(key);
  PKCS12_free(p12);
}

}  // namespace

std::vector<CertDesc> EnumerateCertFolder(const std::string& folder, uint32_t storeKind,
                                          const DateFormatter& formatDate) {
  std::vector<CertDesc> out;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return out;
  std::vector<std::string> names;
  while (dirent* entry = ::readdir(dir)) {
    if (entry->d_name[0] == '.') continue;
    names.emplace_back(entry->d_name);
    if (names.size() >= kMaxFolderEntries) break;
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) {
    std::string bytes;
    if (ReadRegularFile(folder + "/" + name, kMaxCertFileBytes, bytes))
      DescribeFile(bytes, storeKind, formatDate, out);
  }
  return out;
}

std::vector<CertDesc> EnumerateCertBundle(const std::string& bundlePath, uint32_t storeKind,
                                          const DateFormatter& formatDate) {
  std::vector<CertDesc> out;
  std::string bytes;
  // The system bundle itself may be a link managed by the distribution (root-owned).
  const int fd = ::open(bundlePath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return out;
  struct stat st {};
  const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                       static_cast<size_t>(st.st_size) <= kMaxBundleBytes;
  ::close(fd);
  if (!regular) return out;
  std::string resolved = bundlePath;
  if (char* real = ::realpath(bundlePath.c_str(), nullptr)) {
    resolved = real;
    std::free(real);
  }
  if (ReadRegularFile(resolved, kMaxBundleBytes, bytes)) DescribeFile(bytes, storeKind, formatDate, out);
  return out;
}

std::string PersonalCertFolder() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && *data == '/') return std::string(data) + "/ovui/certs";
  const char* home = std::getenv("HOME");
  return std::string(home ? home : "") + "/.local/share/ovui/certs";
}

std::string SystemTrustBundle() { return "/etc/ssl/certs/ca-certificates.crt"; }

std::string IsoDate(std::time_t when) {
  struct tm parts {};
  gmtime_r(&when, &parts);
  char text[16];
  std::strftime(text, sizeof text, "%Y-%m-%d", &parts);
  return text;
}

}  // namespace ov
