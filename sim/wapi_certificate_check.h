#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// How the simulated IHV extension judges a WAPI certificate station: the certificate buffer and
// check value the station's certificate install left in the registry, against the access point's
// authentication server (AS) certificate, at the host's time. Plain data in, verdict out.
namespace ov::sim {

// What the certificate install left for the IHV extension.
struct InstalledWapiCertificate {
  std::vector<uint8_t> buffer;  // the user certificate's DER form, then the AS certificate's
  std::vector<uint8_t> mac;     // the check value over the buffer
};

enum class WapiCertificateVerdict {
  Accepted,
  NothingInstalled,    // no certificate in the registry
  CheckValueWrong,     // the buffer did not arrive whole
  NotTwoCertificates,  // cut, padded, or not two DER certificates
  OtherAs,             // the second certificate is not this network's AS certificate
  NotSignedByAs,       // the user certificate was not issued by this network's AS
  OutsideValidity,     // the user certificate has expired or is not valid yet
};

// `asCertificate` is the DER form of the access point's AS certificate; `unixSeconds` the time.
WapiCertificateVerdict JudgeWapiCertificate(std::span<const uint8_t> asCertificate,
                                            const std::optional<InstalledWapiCertificate>& installed,
                                            int64_t unixSeconds);

// The reason code the service reports for a verdict (0 for Accepted).
uint32_t WapiCertificateReasonCode(WapiCertificateVerdict verdict);

// A certificate file (PEM or DER, read as the WAPI libraries read it) as its DER form; nothing
// with *error saying why when it cannot be read or holds no certificate.
std::optional<std::vector<uint8_t>> ReadCertificateDer(const std::string& path, std::string* error);

}  // namespace ov::sim
