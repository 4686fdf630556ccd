// libOvCertMgr.so: the WAPI certificate manager. It reads certificate files (PEM or DER, through
// OpenSSL), says whether a file can serve as the station's or the authentication server's
// certificate, and turns the WAPI pre-shared key or the two certificates into the buffers the
// WLAN profile and the IHV extension's registry values carry. It keeps no state.
//
// Results: 0 success; 2 the file cannot be read or holds no certificate; 13 the key text is not
// of its form; 87 a missing argument or an unknown form; 122 a buffer too small.
#include <openssl/bio.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <ctime>
#include <string>

#include "platform/system/regular_file.h"
#include "siblings/wapi_exports.h"
#include "siblings/wapi_keys.h"
#include "siblings/x509_file.h"

namespace {

using namespace ov::wapi;

constexpr int kOk = 0;
constexpr int kErrorFile = 2;
constexpr int kErrorData = 13;
constexpr int kErrorParameter = 87;
constexpr int kErrorBuffer = 122;

// Seconds from 1601-01-01 to 1970-01-01, and FILETIME ticks per second.
constexpr uint64_t kEpochDifferenceSeconds = 11644473600ull;
constexpr uint64_t kTicksPerSecond = 10000000ull;

// Copies `text` into a field of `size` bytes, cut before a UTF-8 sequence that would not fit,
// always NUL-terminated.
void PutText(uint8_t* field, size_t size, const std::string& text) {
  size_t length = std::min(text.size(), size - 1);
  while (length > 0 && length < text.size() &&
         (static_cast<uint8_t>(text[length]) & 0xC0) == 0x80) {
    --length;
  }
  std::memcpy(field, text.data(), length);
  field[length] = 0;
}

bool ExpiryFiletime(X509* certificate, uint64_t* filetime) {
  struct tm when {};
  if (ASN1_TIME_to_tm(X509_get0_notAfter(certificate), &when) != 1) return false;
  const std::time_t seconds = timegm(&when);
  if (seconds < -static_cast<std::time_t>(kEpochDifferenceSeconds)) return false;
  *filetime = (static_cast<uint64_t>(seconds) + kEpochDifferenceSeconds) * kTicksPerSecond;
  return true;
}

int GetCertInfo(const char* path, uint8_t* record, uint64_t* expiryFiletime) {
  if (path == nullptr || record == nullptr || expiryFiletime == nullptr) return kErrorParameter;
  X509Ptr certificate = ReadCertificateFile(path);
  if (!certificate) return kErrorFile;
  std::memset(record, 0, kCertInfoRecordSize);
  PutText(record + kCertInfoIssuerOffset, kCertInfoSubjectOffset - kCertInfoIssuerOffset,
          DisplayName(X509_get_issuer_name(certificate.get())));
  PutText(record + kCertInfoSubjectOffset, kCertInfoRecordSize - kCertInfoSubjectOffset,
          DisplayName(X509_get_subject_name(certificate.get())));
  if (!ExpiryFiletime(certificate.get(), expiryFiletime)) *expiryFiletime = 0;
  return kOk;
}

// The station signs with its certificate's key, so the file must hold that key as well.
bool HoldsMatchingKey(const char* path, X509* certificate) {
  std::string bytes;
  if (ov::ReadRegularFile(path, kMaxCertificateFileBytes, bytes) != ov::FileProblem::None) {
    return false;
  }
  std::unique_ptr<BIO, decltype(&BIO_free)> bio(
      BIO_new_mem_buf(bytes.data(), static_cast<int>(bytes.size())), &BIO_free);
  if (!bio) return false;
  EVP_PKEY* key = PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr);
  if (key == nullptr) return false;
  const bool matches = X509_check_private_key(certificate, key) == 1;
  EVP_PKEY_free(key);
  return matches;
}

// The subject text for callers that take UTF-16; a truncated sequence ends the text.
void Utf8ToUtf16(const std::string& text, char16_t* out, size_t capacity) {
  size_t n = 0;
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<uint8_t>(text[i]);
    const size_t extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    if (i + extra >= text.size()) break;
    uint32_t code = extra == 0 ? lead : lead & (0x3Fu >> extra);
    for (size_t k = 1; k <= extra; ++k) code = (code << 6) | (static_cast<uint8_t>(text[i + k]) & 0x3F);
    i += extra + 1;
    const size_t units = code >= 0x10000 ? 2 : 1;
    if (n + units >= capacity) break;
    if (units == 2) {
      code -= 0x10000;
      out[n++] = static_cast<char16_t>(0xD800 + (code >> 10));
      out[n++] = static_cast<char16_t>(0xDC00 + (code & 0x3FF));
    } else {
      out[n++] = static_cast<char16_t>(code);
    }
  }
  out[n] = 0;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int OvCertMgr_GetUserCertInfo(const char* path, uint8_t* record,
                                                                     uint64_t* expiryFiletime) {
  return GetCertInfo(path, record, expiryFiletime);
}

__attribute__((visibility("default"))) int OvCertMgr_GetASCertInfo(const char* path, uint8_t* record,
                                                                   uint64_t* expiryFiletime) {
  return GetCertInfo(path, record, expiryFiletime);
}

// 1 when the file holds a certificate valid now together with its private key.
__attribute__((visibility("default"))) int OvCertMgr_CheckSTACert(const char* path) {
  if (path == nullptr) return 0;
  X509Ptr certificate = ReadCertificateFile(path);
  return certificate && IsCurrentlyValid(certificate.get()) &&
                 HoldsMatchingKey(path, certificate.get())
             ? 1
             : 0;
}

// 1 when the file holds a certificate valid now that may sign others (a certification authority).
__attribute__((visibility("default"))) int OvCertMgr_CheckASCert(const char* path) {
  if (path == nullptr) return 0;
  X509Ptr certificate = ReadCertificateFile(path);
  return certificate && IsCurrentlyValid(certificate.get()) && X509_check_ca(certificate.get()) >= 1
             ? 1
             : 0;
}

__attribute__((visibility("default"))) int OvCertMgr_InstallPSK(int form, const char* preSharedKey,
                                                                uint8_t* key, uint32_t* keyLength,
                                                                uint8_t* mac, uint32_t* macLength) {
  if (preSharedKey == nullptr || key == nullptr || keyLength == nullptr || mac == nullptr ||
      macLength == nullptr || (form != kPskFormHex && form != kPskFormPassphrase)) {
    return kErrorParameter;
  }
  auto bytes = PreSharedKeyBytes(form == kPskFormHex, preSharedKey);
  if (!bytes) return kErrorData;
  const std::vector<uint8_t> baseKey = DeriveBaseKey(*bytes);
  const std::vector<uint8_t> check = KeyCheckValue(baseKey);
  if (baseKey.empty() || check.empty()) return kErrorData;
  if (*keyLength < baseKey.size() || *macLength < check.size()) return kErrorBuffer;
  std::memcpy(key, baseKey.data(), baseKey.size());
  *keyLength = static_cast<uint32_t>(baseKey.size());
  std::memcpy(mac, check.data(), check.size());
  *macLength = static_cast<uint32_t>(check.size());
  return kOk;
}

__attribute__((visibility("default"))) int OvCertMgr_InstallCert(const char* userPath, const char* asPath,
                                                                 uint8_t* certificate,
                                                                 uint32_t* certificateLength,
                                                                 uint8_t* mac, char16_t* text) {
  if (userPath == nullptr || asPath == nullptr || certificate == nullptr ||
      certificateLength == nullptr || mac == nullptr || text == nullptr) {
    return kErrorParameter;
  }
  X509Ptr user = ReadCertificateFile(userPath);
  X509Ptr server = ReadCertificateFile(asPath);
  if (!user || !server) return kErrorFile;
  std::vector<uint8_t> buffer = DerBytes(user.get());
  const std::vector<uint8_t> serverDer = DerBytes(server.get());
  buffer.insert(buffer.end(), serverDer.begin(), serverDer.end());
  const std::vector<uint8_t> check = KeyCheckValue(buffer);
  if (check.size() != kMacBufferSize) return kErrorData;
  if (*certificateLength < buffer.size()) return kErrorBuffer;
  std::memcpy(certificate, buffer.data(), buffer.size());
  *certificateLength = static_cast<uint32_t>(buffer.size());
  std::memcpy(mac, check.data(), check.size());
  Utf8ToUtf16(DisplayName(X509_get_subject_name(user.get())), text, kCertTextChars);
  return kOk;
}

}  // extern "C"
