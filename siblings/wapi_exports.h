#pragma once
#include <cstddef>
#include <cstdint>

// The exports of the two WAPI sibling libraries, libOvCertMgr.so and libWAPIDLL.so, with the
// buffers their callers pass. Both the libraries and the loaders are written against this one
// header, so a layout cannot drift between them. Every export returns 0 on success unless its
// line says otherwise; lengths are in/out where a pointer is passed: the capacity of the buffer
// going in, the bytes written coming out.
namespace ov::wapi {

// ---- libOvCertMgr.so -------------------------------------------------------------------------
inline constexpr const char* kCertMgrLibraryName = "libOvCertMgr.so";

// The certificate information record: the issuer's display name at byte 50 and the subject's at
// byte 100, each NUL-terminated and cut to its field.
inline constexpr size_t kCertInfoRecordSize = 256;
inline constexpr size_t kCertInfoIssuerOffset = 50;
inline constexpr size_t kCertInfoSubjectOffset = 100;

// Outputs of the installs: key and MAC buffers, the certificate buffer (the user certificate's
// DER form followed by the AS certificate's), and the UTF-16 text out (the user certificate's
// subject, NUL-terminated).
inline constexpr size_t kPskKeyBufferSize = 128;
inline constexpr size_t kMacBufferSize = 16;
inline constexpr size_t kCertBufferSize = 16384;
inline constexpr size_t kCertTextChars = 256;

// Forms of the pre-shared key handed to the PSK install.
inline constexpr int kPskFormHex = 0;
inline constexpr int kPskFormPassphrase = 1;

extern "C" {
// OvCertMgr_GetUserCertInfo, OvCertMgr_GetASCertInfo(path, record of kCertInfoRecordSize bytes,
// expiry as a FILETIME: 100 ns units since 1601-01-01 UTC).
using GetCertInfoExport = int (*)(const char* path, uint8_t* record, uint64_t* expiryFiletime);
// OvCertMgr_CheckSTACert, OvCertMgr_CheckASCert(path): 1 for a usable certificate, 0 otherwise.
using CheckCertExport = int (*)(const char* path);
// OvCertMgr_InstallPSK(form, key text, key out, key length, MAC out, MAC length).
using InstallPskExport = int (*)(int form, const char* preSharedKey, uint8_t* key,
                                 uint32_t* keyLength, uint8_t* mac, uint32_t* macLength);
// OvCertMgr_InstallCert(user path, AS path, certificate out, its length, MAC out of
// kMacBufferSize bytes, text out of kCertTextChars UTF-16 units).
using InstallCertExport = int (*)(const char* userPath, const char* asPath, uint8_t* certificate,
                                  uint32_t* certificateLength, uint8_t* mac, char16_t* text);
}

// ---- libWAPIDLL.so ---------------------------------------------------------------------------
inline constexpr const char* kWapiLibraryName = "libWAPIDLL.so";

// WapiCertRecord: u16 certificate identifier, u16 certificate length, 8192 bytes of certificate
// (the DER form), little-endian; with it a 257-byte buffer that receives the subject's display
// name, NUL-terminated.
inline constexpr size_t kCertRecordDataSize = 8192;
inline constexpr size_t kCertRecordSize = 4 + kCertRecordDataSize;
inline constexpr size_t kCertRecordExtraSize = 257;
inline constexpr uint16_t kCertIdUser = 1;
inline constexpr uint16_t kCertIdAs = 2;

// The enumeration fills up to 32 caller-allocated buffers of 8464 bytes each: u32 certificate
// kind (0 X.509; any other value a certificate whose validity is raw bytes), u16 identifier,
// u16 length, and the certificate's DER form from byte 8.
inline constexpr size_t kEnumBufferCount = 32;
inline constexpr size_t kEnumBufferSize = 8464;
inline constexpr size_t kEnumCertificateOffset = 8;
inline constexpr size_t kEnumCertificateMaxSize = kEnumBufferSize - kEnumCertificateOffset;

// Outputs of WAPIAPIGetCertificateManagerParam: a 520-byte buffer (the serial number as
// upper-case hexadecimal text), subject and issuer as a length byte and up to 255 characters,
// the certificate's version, and the validity times as a length byte and the ASN.1 time text
// (13 characters for a UTC time, 15 for a generalised time).
inline constexpr size_t kParamBufferSize = 520;
inline constexpr size_t kNameFieldSize = 256;
inline constexpr size_t kTimeFieldSize = 33;

extern "C" {
// WAPIAPILoadX509UserCertificate, WAPIAPILoadX509ASCertificate(path, record, extra).
using LoadCertExport = int (*)(const char* path, uint8_t* record, uint8_t* extra);
// WAPIAPISetupX509UserCertificate, WAPIAPISetupX509ASCertificate(path, loaded record, extra).
using SetupCertExport = int (*)(const char* path, const uint8_t* record, const uint8_t* extra);
// WAPIAPIEnumSystemCertificate(count out, kEnumBufferCount buffers).
using EnumCertExport = int (*)(int* count, uint8_t** buffers);
// WAPIAPIGetCertificateManagerParam(certificate from byte 8 of an enumerated buffer, outputs).
using CertParamExport = int (*)(const uint8_t* certificate, uint8_t* param, uint8_t* subject,
                                uint8_t* issuer, uint32_t* version, uint8_t* validFrom,
                                uint8_t* validTo);
// WAPIAPIDeleteCertificate(index of the enumeration).
using DeleteCertExport = int (*)(int index);
// WAPIAPIAccessUserCancle, WAPIAPIDisAssociate.
using PlainExport = int (*)();
}

}  // namespace ov::wapi
