#include "siblings/wapi_client.h"

#include <dlfcn.h>

#include "platform/system/machine_root.h"

namespace ov {

namespace {

bool UsablePath(const std::string& path) { return path.find('\0') == std::string::npos; }

}  // namespace

std::filesystem::path DefaultWapiLibraryPath() { return ProgramFolder() / wapi::kWapiLibraryName; }

// Loaded for each call and never released: the library's certificate list lives in it.
void* WapiDllLibrary::Export(const char* name) const {
  void* handle = ::dlopen(library_.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  return handle != nullptr ? ::dlsym(handle, name) : nullptr;
}

int WapiDllLibrary::LoadCertificate(WapiCertKind kind, const std::string& path,
                                    WapiCertRecordBuffer& record, WapiCertExtraBuffer& extra) {
  auto fn = reinterpret_cast<wapi::LoadCertExport>(Export(
      kind == WapiCertKind::User ? "WAPIAPILoadX509UserCertificate" : "WAPIAPILoadX509ASCertificate"));
  if (fn == nullptr || !UsablePath(path)) return kWapiCallMissing;
  return fn(path.c_str(), record.data(), extra.data());
}

int WapiDllLibrary::SetupCertificate(WapiCertKind kind, const std::string& path,
                                     const WapiCertRecordBuffer& record,
                                     const WapiCertExtraBuffer& extra) {
  auto fn = reinterpret_cast<wapi::SetupCertExport>(Export(
      kind == WapiCertKind::User ? "WAPIAPISetupX509UserCertificate" : "WAPIAPISetupX509ASCertificate"));
  if (fn == nullptr || !UsablePath(path)) return kWapiCallMissing;
  return fn(path.c_str(), record.data(), extra.data());
}

int WapiDllLibrary::EnumSystemCertificate(int& count, std::vector<WapiEnumBuffer>& buffers) {
  auto fn = reinterpret_cast<wapi::EnumCertExport>(Export("WAPIAPIEnumSystemCertificate"));
  if (fn == nullptr) return kWapiCallMissing;
  buffers.resize(wapi::kEnumBufferCount);
  std::array<uint8_t*, wapi::kEnumBufferCount> pointers{};
  for (size_t i = 0; i < pointers.size(); ++i) {
    buffers[i].assign(wapi::kEnumBufferSize, 0);
    pointers[i] = buffers[i].data();
  }
  return fn(&count, pointers.data());
}

int WapiDllLibrary::GetCertificateManagerParam(const WapiEnumBuffer& enumerated,
                                               WapiCertParamBuffers& out) {
  auto fn = reinterpret_cast<wapi::CertParamExport>(Export("WAPIAPIGetCertificateManagerParam"));
  if (fn == nullptr || enumerated.size() < wapi::kEnumBufferSize) return kWapiCallMissing;
  return fn(enumerated.data() + wapi::kEnumCertificateOffset, out.param.data(), out.subject.data(),
            out.issuer.data(), &out.version, out.validFrom.data(), out.validTo.data());
}

int WapiDllLibrary::DeleteCertificate(int index) {
  auto fn = reinterpret_cast<wapi::DeleteCertExport>(Export("WAPIAPIDeleteCertificate"));
  return fn != nullptr ? fn(index) : kWapiCallMissing;
}

int WapiDllLibrary::AccessUserCancel() {
  auto fn = reinterpret_cast<wapi::PlainExport>(Export("WAPIAPIAccessUserCancle"));
  return fn != nullptr ? fn() : kWapiCallMissing;
}

int WapiDllLibrary::DisAssociate() {
  auto fn = reinterpret_cast<wapi::PlainExport>(Export("WAPIAPIDisAssociate"));
  return fn != nullptr ? fn() : kWapiCallMissing;
}

}  // namespace ov
