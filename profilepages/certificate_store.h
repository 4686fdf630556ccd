#pragma once
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

// The certificate stores of the 802.1X page through OpenSSL: "MY" is the user's certificate
// folder (PEM, DER or password-less PKCS#12 files), "ROOT" the system trust bundle. Each
// certificate becomes a CertDesc keyed by the SHA-1 of its DER form.
namespace ov {

inline constexpr uint32_t kStorePersonal = 0;
inline constexpr uint32_t kStoreOther = 1;

struct CertDesc {
  std::string issuedTo;      // subject display name: CN, else O, else OU, else e-mail
  std::string issuedBy;      // the issuer's, the same way
  std::string expiration;    // not-after, in the caller's date format
  std::string friendlyName;  // the alias (PKCS#12 friendlyName), empty when absent
  std::vector<uint8_t> hash; // SHA-1 of the DER form
  bool hasFriendlyName = false;
  uint32_t storeKind = kStorePersonal;
  bool operator==(const CertDesc&) const = default;
};

using DateFormatter = std::function<std::string(std::time_t)>;

// Every certificate of the regular files directly in `folder`, in file-name order. Symlinks,
// FIFOs, oversized and unreadable files are skipped; a missing folder gives an empty list.
std::vector<CertDesc> EnumerateCertFolder(const std::string& folder, uint32_t storeKind,
                                          const DateFormatter& formatDate);
// Every certificate of one PEM bundle file (the system trust store), in file order.
std::vector<CertDesc> EnumerateCertBundle(const std::string& bundlePath, uint32_t storeKind,
                                          const DateFormatter& formatDate);

// The stores as DESIGN.md places them: $XDG_DATA_HOME/ovui/certs (else ~/.local/share/ovui/certs)
// and /etc/ssl/certs/ca-certificates.crt.
std::string PersonalCertFolder();
std::string SystemTrustBundle();

// "YYYY-MM-DD" in UTC, for callers without a locale.
std::string IsoDate(std::time_t when);

}  // namespace ov
