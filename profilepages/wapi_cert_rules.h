#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "lang/language_keys.h"
#include "siblings/certmgr_client.h"
#include "siblings/wapi_client.h"

// The WAPI tab's certificate rules: which file Browse takes, the certificate details its pages
// show (from the certificate manager after Browse, from the WAPI library after an Edit), and
// the clearing and installing of the WAPI library's certificates.
namespace ov {

struct WapiCertDetails {
  std::string issuedTo;
  std::string issuedBy;
  std::string expiresOn;
  bool operator==(const WapiCertDetails&) const = default;
};

// Browse takes a file whose extension, upper-cased, is "CER".
bool IsCerFileName(const std::string& path);

// A FILETIME (100 ns since 1601-01-01 UTC) as "YYYY/MM/DD hh:mm:ss" in UTC.
std::string FormatFiletimeExpiry(uint64_t filetime);

// The expiry of an enumerated certificate from its kind word and its two counted validity
// fields (a length byte, then the bytes): the raw first four bytes of both for a non-X.509
// certificate, "YYYY/MM/DD hh:mm:ss" for a 13-character UTC time, else "<start>-<end>".
std::string FormatEnumeratedExpiry(uint32_t kindWord, std::span<const uint8_t> validFrom,
                                   std::span<const uint8_t> validTo);

// The text of a counted field (a length byte, then the text), never past the field.
std::string CountedText(std::span<const uint8_t> field);

// After Browse: the page's details from the certificate manager; empty details when the manager
// or its export is missing or the file does not read, so no other file's details stay shown.
WapiCertDetails CertificateInfoDetails(const CertificateManagerModule* manager, WapiCertKind kind,
                                       const std::string& path);

// Deletes every certificate the WAPI library holds, from the last index down to 0. The count the
// library gives is taken as at most the 32 buffers it was given.
void ClearWapiCertificates(WapiCertificateCalls& library);

// Loads and sets up one certificate, then describes what the library holds: the details of its
// last certificate. On a load or setup failure, the refusal to show and no details; after a
// failed enumeration (or nothing described) neither.
struct WapiInstallOutcome {
  std::optional<LanguageKey> refusal;
  std::optional<WapiCertDetails> details;
};
WapiInstallOutcome InstallAndShowCertificate(WapiCertificateCalls& library, WapiCertKind kind,
                                             const std::string& path);

}  // namespace ov
