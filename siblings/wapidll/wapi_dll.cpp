// libWAPIDLL.so: the WAPI library's certificate list and its two connection calls. Certificates
// are loaded from files into the caller's record, set up into the library's list (held in the
// process: the library stays loaded once a caller has loaded it), enumerated into the caller's
// buffers, described and deleted by index. The service performs the association itself, so the
// cancel and disassociate calls have no pending access to stop and succeed at once.
//
// Results: 0 success; 2 the file cannot be read or holds no certificate; 13 a record or buffer
// that does not hold a certificate of its kind; 87 a missing argument or an index outside the
// list; 122 a certificate over 8192 bytes; 1 the list is full (32 certificates).
#include <openssl/bn.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "siblings/wapi_exports.h"
#include "siblings/x509_file.h"

namespace {

using namespace ov::wapi;

constexpr int kOk = 0;
constexpr int kErrorFull = 1;
constexpr int kErrorFile = 2;
constexpr int kErrorData = 13;
constexpr int kErrorParameter = 87;
constexpr int kErrorSize = 122;

struct HeldCertificate {
  uint16_t id = 0;
  std::vector<uint8_t> der;
};

std::mutex listMutex;
std::vector<HeldCertificate> list;

void PutU16(uint8_t* at, uint16_t value) {
  at[0] = static_cast<uint8_t>(value & 0xFF);
  at[1] = static_cast<uint8_t>(value >> 8);
}
uint16_t GetU16(const uint8_t* at) { return static_cast<uint16_t>(at[0] | (at[1] << 8)); }

// A length byte, then at most 255 bytes of `text` (the field holds `size` bytes in all).
void PutCounted(uint8_t* field, size_t size, const std::string& text) {
  const size_t length = std::min({text.size(), size - 1, size_t{255}});
  field[0] = static_cast<uint8_t>(length);
  std::memcpy(field + 1, text.data(), length);
}

std::string TimeText(const ASN1_TIME* time) {
  if (time == nullptr) return {};
  return std::string(reinterpret_cast<const char*>(ASN1_STRING_get0_data(time)),
                     static_cast<size_t>(ASN1_STRING_length(time)));
}

std::string SerialText(X509* certificate) {
  BIGNUM* serial = ASN1_INTEGER_to_BN(X509_get0_serialNumber(certificate), nullptr);
  if (serial == nullptr) return {};
  char* hex = BN_bn2hex(serial);
  std::string text = hex != nullptr ? hex : "";
  OPENSSL_free(hex);
  BN_free(serial);
  return text;
}

int Load(uint16_t id, const char* path, uint8_t* record, uint8_t* extra) {
  if (path == nullptr || record == nullptr || extra == nullptr) return kErrorParameter;
  X509Ptr certificate = ReadCertificateFile(path);
  if (!certificate) return kErrorFile;
  const std::vector<uint8_t> der = DerBytes(certificate.get());
  if (der.empty()) return kErrorData;
  if (der.size() > kCertRecordDataSize) return kErrorSize;
  std::memset(record, 0, kCertRecordSize);
  PutU16(record, id);
  PutU16(record + 2, static_cast<uint16_t>(der.size()));
  std::memcpy(record + 4, der.data(), der.size());
  std::memset(extra, 0, kCertRecordExtraSize);
  const std::string subject = DisplayName(X509_get_subject_name(certificate.get()));
  std::memcpy(extra, subject.data(), std::min(subject.size(), kCertRecordExtraSize - 1));
  return kOk;
}

// The record must hold one whole certificate of the export's kind, as Load leaves it.
int Setup(uint16_t id, const char* path, const uint8_t* record, const uint8_t* extra) {
  if (path == nullptr || record == nullptr || extra == nullptr) return kErrorParameter;
  const uint16_t length = GetU16(record + 2);
  if (GetU16(record) != id || length == 0 || length > kCertRecordDataSize) return kErrorData;
  X509Ptr certificate = CertificateFromDer(record + 4, length);
  if (!certificate) return kErrorData;
  HeldCertificate held{id, DerBytes(certificate.get())};
  if (held.der.size() != length) return kErrorData;
  std::lock_guard lock(listMutex);
  auto same = std::find_if(list.begin(), list.end(), [&](const HeldCertificate& h) {
    return h.id == held.id && h.der == held.der;
  });
  if (same != list.end()) return kOk;
  if (list.size() >= kEnumBufferCount) return kErrorFull;
  list.push_back(std::move(held));
  return kOk;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int WAPIAPILoadX509UserCertificate(const char* path, uint8_t* record,
                                                                          uint8_t* extra) {
  return Load(kCertIdUser, path, record, extra);
}

__attribute__((visibility("default"))) int WAPIAPILoadX509ASCertificate(const char* path, uint8_t* record,
                                                                        uint8_t* extra) {
  return Load(kCertIdAs, path, record, extra);
}

__attribute__((visibility("default"))) int WAPIAPISetupX509UserCertificate(const char* path,
                                                                           const uint8_t* record,
                                                                           const uint8_t* extra) {
  return Setup(kCertIdUser, path, record, extra);
}

__attribute__((visibility("default"))) int WAPIAPISetupX509ASCertificate(const char* path,
                                                                         const uint8_t* record,
                                                                         const uint8_t* extra) {
  return Setup(kCertIdAs, path, record, extra);
}

__attribute__((visibility("default"))) int WAPIAPIEnumSystemCertificate(int* count, uint8_t** buffers) {
  if (count == nullptr || buffers == nullptr) return kErrorParameter;
  for (size_t i = 0; i < kEnumBufferCount; ++i) {
    if (buffers[i] == nullptr) return kErrorParameter;
  }
  std::lock_guard lock(listMutex);
  const size_t n = std::min(list.size(), kEnumBufferCount);
  for (size_t i = 0; i < n; ++i) {
    uint8_t* buffer = buffers[i];
    std::memset(buffer, 0, kEnumBufferSize);  // kind 0: X.509
    PutU16(buffer + 4, list[i].id);
    PutU16(buffer + 6, static_cast<uint16_t>(list[i].der.size()));
    std::memcpy(buffer + kEnumCertificateOffset, list[i].der.data(), list[i].der.size());
  }
  *count = static_cast<int>(n);
  return kOk;
}

// `certificate` is byte 8 of an enumerated buffer: at most the rest of that buffer is read.
__attribute__((visibility("default"))) int WAPIAPIGetCertificateManagerParam(
    const uint8_t* certificate, uint8_t* param, uint8_t* subject, uint8_t* issuer,
    uint32_t* version, uint8_t* validFrom, uint8_t* validTo) {
  if (certificate == nullptr || param == nullptr || subject == nullptr || issuer == nullptr ||
      version == nullptr || validFrom == nullptr || validTo == nullptr) {
    return kErrorParameter;
  }
  X509Ptr parsed = CertificateFromDer(certificate, kEnumCertificateMaxSize);
  if (!parsed) return kErrorData;
  std::memset(param, 0, kParamBufferSize);
  const std::string serial = SerialText(parsed.get());
  std::memcpy(param, serial.data(), std::min(serial.size(), kParamBufferSize - 1));
  PutCounted(subject, kNameFieldSize, DisplayName(X509_get_subject_name(parsed.get())));
  PutCounted(issuer, kNameFieldSize, DisplayName(X509_get_issuer_name(parsed.get())));
  *version = static_cast<uint32_t>(X509_get_version(parsed.get()) + 1);
  PutCounted(validFrom, kTimeFieldSize, TimeText(X509_get0_notBefore(parsed.get())));
  PutCounted(validTo, kTimeFieldSize, TimeText(X509_get0_notAfter(parsed.get())));
  return kOk;
}

__attribute__((visibility("default"))) int WAPIAPIDeleteCertificate(int index) {
  std::lock_guard lock(listMutex);
  if (index < 0 || static_cast<size_t>(index) >= list.size()) return kErrorParameter;
  list.erase(list.begin() + index);
  return kOk;
}

__attribute__((visibility("default"))) int WAPIAPIAccessUserCancle() { return kOk; }
__attribute__((visibility("default"))) int WAPIAPIDisAssociate() { return kOk; }

}  // extern "C"
