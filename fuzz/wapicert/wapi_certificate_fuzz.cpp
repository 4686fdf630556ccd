// Arbitrary bytes as the certificate buffer a station left in the registry, with the check value
// made for them so that the judge reaches the certificates: judging never reads past the buffer
// and accepts only the buffer of the AS's own station certificate.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "siblings/wapi_keys.h"
#include "sim/wapi_certificate_check.h"

namespace {

const std::vector<uint8_t>& AsCertificate() {
  static const std::vector<uint8_t> der = [] {
    std::string error;
    return ov::sim::ReadCertificateDer(OVUI_WAPI_AS_CERTIFICATE, &error).value_or(std::vector<uint8_t>{});
  }();
  return der;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t>& as = AsCertificate();
  if (as.empty()) __builtin_trap();
  ov::sim::InstalledWapiCertificate installed;
  installed.buffer.assign(data, data + size);
  installed.mac = ov::wapi::KeyCheckValue(installed.buffer);
  // 2030-01-01: inside the test certificates' validity.
  const auto verdict = ov::sim::JudgeWapiCertificate(as, installed, 1893456000);
  // Whatever is accepted ends with the AS certificate itself.
  if (verdict == ov::sim::WapiCertificateVerdict::Accepted &&
      (size < as.size() || !std::equal(as.begin(), as.end(), data + size - as.size()))) {
    __builtin_trap();
  }
  return 0;
}
