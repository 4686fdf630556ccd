#pragma once
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "siblings/certmgr_client.h"
#include "siblings/wapi_exports.h"

// The WAPI library's certificate calls as the WAPI tab makes them. Each call loads
// libWAPIDLL.so by name (it is never released: the library holds its certificate list), looks
// the export up and returns its result, 0 for success; a missing library or export returns
// kWapiCallMissing. Tests put a double behind the interface.
namespace ov {

inline constexpr int kWapiCallMissing = -1;

using WapiCertRecordBuffer = std::array<uint8_t, wapi::kCertRecordSize>;
using WapiCertExtraBuffer = std::array<uint8_t, wapi::kCertRecordExtraSize>;
using WapiEnumBuffer = std::vector<uint8_t>;  // wapi::kEnumBufferSize bytes

// The outputs of WAPIAPIGetCertificateManagerParam, as the library wrote them.
struct WapiCertParamBuffers {
  std::array<uint8_t, wapi::kParamBufferSize> param{};
  std::array<uint8_t, wapi::kNameFieldSize> subject{};
  std::array<uint8_t, wapi::kNameFieldSize> issuer{};
  uint32_t version = 0;
  std::array<uint8_t, wapi::kTimeFieldSize> validFrom{};
  std::array<uint8_t, wapi::kTimeFieldSize> validTo{};
};

class WapiCertificateCalls {
 public:
  virtual ~WapiCertificateCalls() = default;
  // WAPIAPILoadX509UserCertificate / WAPIAPILoadX509ASCertificate.
  virtual int LoadCertificate(WapiCertKind kind, const std::string& path,
                              WapiCertRecordBuffer& record, WapiCertExtraBuffer& extra) = 0;
  // WAPIAPISetupX509UserCertificate / WAPIAPISetupX509ASCertificate.
  virtual int SetupCertificate(WapiCertKind kind, const std::string& path,
                               const WapiCertRecordBuffer& record,
                               const WapiCertExtraBuffer& extra) = 0;
  // WAPIAPIEnumSystemCertificate into `buffers` (32 buffers of 8464 bytes, made by the caller).
  // `count` is what the library said, unchecked.
  virtual int EnumSystemCertificate(int& count, std::vector<WapiEnumBuffer>& buffers) = 0;
  // WAPIAPIGetCertificateManagerParam on byte 8 of an enumerated buffer.
  virtual int GetCertificateManagerParam(const WapiEnumBuffer& enumerated,
                                         WapiCertParamBuffers& out) = 0;
  // WAPIAPIDeleteCertificate.
  virtual int DeleteCertificate(int index) = 0;
};

// <program folder>/libWAPIDLL.so
std::filesystem::path DefaultWapiLibraryPath();

class WapiDllLibrary final : public WapiCertificateCalls {
 public:
  WapiDllLibrary() : WapiDllLibrary(DefaultWapiLibraryPath()) {}
  explicit WapiDllLibrary(std::filesystem::path library) : library_(std::move(library)) {}

  int LoadCertificate(WapiCertKind kind, const std::string& path, WapiCertRecordBuffer& record,
                      WapiCertExtraBuffer& extra) override;
  int SetupCertificate(WapiCertKind kind, const std::string& path,
                       const WapiCertRecordBuffer& record, const WapiCertExtraBuffer& extra) override;
  int EnumSystemCertificate(int& count, std::vector<WapiEnumBuffer>& buffers) override;
  int GetCertificateManagerParam(const WapiEnumBuffer& enumerated,
                                 WapiCertParamBuffers& out) override;
  int DeleteCertificate(int index) override;
  // WAPIAPIAccessUserCancle, WAPIAPIDisAssociate.
  int AccessUserCancel();
  int DisAssociate();

 private:
  void* Export(const char* name) const;
  std::filesystem::path library_;
};

}  // namespace ov
